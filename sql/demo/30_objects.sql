/* Demonstration data: the premises. Two business centres with
   floors of offices and shops, a basement store and two car parks. coef1 is
   the position coefficient of a room, coef2 that of its finish, coef3 that
   of its heating; the area is the user variable ПЛОЩАДЬ (40_services.sql). */

INSERT INTO rent_location (id, parent, name) VALUES (1, NULL, 'Минск');
INSERT INTO rent_location (id, parent, name) VALUES (2, 1, 'ул. Немига, 5');
INSERT INTO rent_location (id, parent, name) VALUES (3, 1, 'пр-т Независимости, 95');
INSERT INTO rent_location (id, parent, name) VALUES (4, 2, 'Немига, подземный паркинг');
INSERT INTO rent_location (id, parent, name) VALUES (5, 3, 'Независимости, открытая стоянка');
INSERT INTO rent_objecttype (id, parent, name) VALUES (1, NULL, 'Здания');
INSERT INTO rent_objecttype (id, parent, name) VALUES (2, 1, 'Бизнес-центр');
INSERT INTO rent_objecttype (id, parent, name) VALUES (3, 1, 'Этаж');
INSERT INTO rent_objecttype (id, parent, name) VALUES (4, NULL, 'Помещения');
INSERT INTO rent_objecttype (id, parent, name) VALUES (5, 4, 'Офис');
INSERT INTO rent_objecttype (id, parent, name) VALUES (6, 4, 'Торговое помещение');
INSERT INTO rent_objecttype (id, parent, name) VALUES (7, 4, 'Склад');
INSERT INTO rent_objecttype (id, parent, name) VALUES (8, NULL, 'Стоянка');
INSERT INTO rent_objecttype (id, parent, name) VALUES (9, 8, 'Машиноместо');
INSERT INTO rent_objecttype (id, parent, name) VALUES (10, 8, 'Парковка');
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (1, NULL, 'БЦ «Немига»', 2, 2, 'Шестиэтажное здание 1998 года, центр города', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (2, 1, 'Немига, 1 этаж', 2, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (3, 1, 'Немига, 2 этаж', 2, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (4, 1, 'Немига, 3 этаж', 2, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (5, 2, 'Немига, пом. 101', 2, 6, 'Витрина на улицу', 1.3, 1.1, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (6, 2, 'Немига, пом. 102', 2, 6, NULL, 1.25, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (7, 2, 'Немига, пом. 103', 2, 6, NULL, 1.1, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (8, 3, 'Немига, оф. 201', 2, 5, NULL, 1.0, 1.1, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (9, 3, 'Немига, оф. 202', 2, 5, NULL, 1.0, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (10, 3, 'Немига, оф. 203', 2, 5, NULL, 1.0, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (11, 3, 'Немига, оф. 204', 2, 5, 'Переговорная и кабинет', 1.0, 1.2, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (12, 4, 'Немига, оф. 301', 2, 5, NULL, 0.95, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (13, 4, 'Немига, оф. 302', 2, 5, NULL, 0.95, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (14, 4, 'Немига, оф. 303', 2, 5, NULL, 0.95, 0.9, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (15, 1, 'Немига, паркинг', 4, 10, 'Подземный паркинг на 6 мест', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (16, 15, 'Немига, машиноместо П-1', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (17, 15, 'Немига, машиноместо П-2', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (18, 15, 'Немига, машиноместо П-3', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (19, 15, 'Немига, машиноместо П-4', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (20, 15, 'Немига, машиноместо П-5', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (21, 15, 'Немига, машиноместо П-6', 4, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (22, NULL, 'БЦ «Независимость»', 3, 2, 'Четырехэтажное здание с торговой галереей', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (23, 22, 'Независимости, 1 этаж', 3, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (24, 22, 'Независимости, 2 этаж', 3, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (25, 22, 'Независимости, 3 этаж', 3, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (26, 22, 'Независимости, цокольный этаж', 3, 3, NULL, 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (27, 23, 'Независимости, пом. 101', 3, 6, NULL, 1.2, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (28, 23, 'Независимости, пом. 102', 3, 6, NULL, 1.15, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (29, 23, 'Независимости, пом. 103', 3, 6, NULL, 1.1, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (30, 24, 'Независимости, оф. 201', 3, 5, NULL, 1.0, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (31, 24, 'Независимости, оф. 202', 3, 5, NULL, 1.0, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (32, 24, 'Независимости, оф. 203', 3, 5, NULL, 1.0, 1.1, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (33, 24, 'Независимости, оф. 204', 3, 5, NULL, 1.0, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (34, 25, 'Независимости, оф. 301', 3, 5, NULL, 0.95, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (35, 25, 'Независимости, оф. 302', 3, 5, NULL, 0.95, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (36, 25, 'Независимости, оф. 305', 3, 5, NULL, 0.95, 1.0, 1.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (37, 26, 'Независимости, склад С-1', 3, 7, NULL, 0.8, 1.0, 0.5, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (38, 26, 'Независимости, склад С-2', 3, 7, NULL, 0.8, 1.0, 0.5, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (39, 22, 'Независимости, стоянка', 5, 10, 'Открытая охраняемая стоянка', 1, 1, 1, 1, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (40, 39, 'Независимости, место С-1', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (41, 39, 'Независимости, место С-2', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (42, 39, 'Независимости, место С-3', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (43, 39, 'Независимости, место С-4', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (44, 39, 'Независимости, место С-5', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);
INSERT INTO rent_object (id, parent, name, locationkey, objecttypekey, description, coef1, coef2, coef3, isgroup, disabled, complete, boolattribute, useful) VALUES (45, 39, 'Независимости, место С-6', 5, 9, NULL, 1.0, 1.0, 0.0, 0, 0, 0, 0, 0);

/* A plan of the first floor of the first business centre. */
INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linecolor, graphcolor, uselinecolor, usegraphcolor, linewidth, objectfontname, objectfontsize, objectfontcolor, objectfontstyle) VALUES (1, NULL, 'БЦ «Немига», 1 этаж', 2, 0, 0, 400, 240, 0, 'clBlack', 'clWhite', 'clBlack', 'clRed', 2, 'Arial', 10, 'clBlack', 'B');
INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linecolor, graphcolor, uselinecolor, usegraphcolor, linewidth, objectfontname, objectfontsize, objectfontcolor, objectfontstyle) VALUES (2, 1, 'пом. 101', 5, 10, 10, 160, 150, 0, 'clBlack', 'clWhite', 'clBlack', 'clRed', 1, 'Arial', 8, 'clBlack', '');
INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linecolor, graphcolor, uselinecolor, usegraphcolor, linewidth, objectfontname, objectfontsize, objectfontcolor, objectfontstyle) VALUES (3, 1, 'пом. 102', 6, 165, 10, 285, 150, 0, 'clBlack', 'clWhite', 'clBlack', 'clRed', 1, 'Arial', 8, 'clBlack', '');
INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linecolor, graphcolor, uselinecolor, usegraphcolor, linewidth, objectfontname, objectfontsize, objectfontcolor, objectfontstyle) VALUES (4, 1, 'пом. 103', 7, 290, 10, 390, 150, 0, 'clBlack', 'clWhite', 'clBlack', 'clRed', 1, 'Arial', 8, 'clBlack', '');
INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linecolor, graphcolor, uselinecolor, usegraphcolor, linewidth, objectfontname, objectfontsize, objectfontcolor, objectfontstyle) VALUES (5, 1, 'Вход', NULL, 150, 200, 250, 235, 3, 'clBlack', 'clWhite', 'clBlack', 'clRed', 1, 'Arial', 9, 'clNavy', 'I');
