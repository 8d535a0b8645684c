/* Demonstration data: services with priorities and dated tariffs,
   reckoning types whose steps price the positions, the user variables they
   read, and the price list (prices for any object, for a building and for
   single rooms). */

INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (1, NULL, 'Аренда', 1, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 1, 0, NULL);
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (2, 1, 'Аренда офисных помещений', 1, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 1, 1, 0, 'Арендная плата за офисное помещение');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (3, 1, 'Аренда торговых помещений', 1, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 1, 1, 0, 'Арендная плата за торговое помещение');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (4, 1, 'Аренда складских помещений', 1, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 1, 0, 'Арендная плата за складское помещение');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (5, 1, 'Аренда машиноместа', 2, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 1, 0, 'Плата за машиноместо');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (6, NULL, 'Коммунальные услуги', 3, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 1, 0, NULL);
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (7, 6, 'Электроэнергия', 3, 6, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 0, 0, 'Возмещение стоимости электроэнергии');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (8, 6, 'Теплоснабжение', 3, 6, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 0, 0, 'Возмещение стоимости теплоснабжения');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (9, 6, 'Водоснабжение и водоотведение', 3, 6, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 0, 0, 'Возмещение стоимости водоснабжения');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (10, 6, 'Вывоз твердых бытовых отходов', 4, 6, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 0, 0, 'Вывоз ТБО');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (11, NULL, 'Эксплуатационные расходы', 2, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 1, 0, 'Содержание и обслуживание здания');
INSERT INTO rent_service (id, parent, name, priority, mainservice, startdate, enddate, currservice, printservice, rejectdebt, description1) VALUES (12, NULL, 'Пеня за просрочку платежа', 10, NULL, DATEADD(-730 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), 0, 0, 1, 'Пеня');

/* Tariffs: electricity per kWh, heat and maintenance per square metre,
   waste collection per month; a later row replaces the earlier one. */
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (1, 7, DATEADD(-150 DAY TO CURRENT_DATE), 0.2875);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (2, 7, DATEADD(-40 DAY TO CURRENT_DATE), 0.3012);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (3, 8, DATEADD(-150 DAY TO CURRENT_DATE), 2.15);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (4, 8, DATEADD(-60 DAY TO CURRENT_DATE), 2.31);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (5, 9, DATEADD(-150 DAY TO CURRENT_DATE), 1.42);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (6, 11, DATEADD(-180 DAY TO CURRENT_DATE), 4.5);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (7, 11, DATEADD(-45 DAY TO CURRENT_DATE), 4.8);
INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (8, 10, DATEADD(-150 DAY TO CURRENT_DATE), 35.0);

/* Reckoning types. Each step's result is known to the later steps by the
   step's name; the last step is the price. КОЭФI, КОЭФII, КОЭФIII end in the
   Latin letter I. */
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (1, NULL, 'Аренда', NULL);
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (2, 1, 'Аренда в валюте по площади', 'Цена прайса в валюте за кв. м * площадь * коэффициенты помещения');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (3, 1, 'Аренда в рублях по площади', 'Цена прайса в рублях за кв. м * площадь * коэффициент расположения');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (4, 1, 'Машиноместо', 'Цена прайса в рублях с индексацией');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (5, NULL, 'Коммунальные', NULL);
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (6, 5, 'По тарифу и площади', 'Тариф услуги * площадь помещения');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (7, 5, 'По показаниям счетчика', 'Сумма показаний по позиции * тариф');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (8, 5, 'Теплоснабжение', 'Тариф * площадь * коэффициент отопления');
INSERT INTO rent_typereckoning (id, parent, name, description) VALUES (9, 1, 'Аренда в валюте с пересчетом в рубли', 'Рублевая цена по курсу, округленная до рубля');
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (1, 2, 1, 'БАЗА', 'ЦЕНАПРАЙСВАЛ*КОЛОБЪЕКТ', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (2, 2, 2, 'ИТОГ', 'БАЗА*КОЭФI*КОЭФII*ИНДЕКС', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (3, 3, 1, 'ИТОГ', 'ЦЕНАПРАЙСРУБ*КОЛОБЪЕКТ*КОЭФI', 1);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (4, 4, 1, 'ИТОГ', 'ЦЕНАПРАЙСРУБ*ИНДЕКС', 1);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (5, 6, 1, 'ИТОГ', 'СТОИМУСЛУГИ*ПЛОЩАДЬ', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (6, 7, 1, 'КВТЧ', 'СУММАУСЛУГ', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (7, 7, 2, 'ИТОГ', 'КВТЧ*СТОИМУСЛУГИ', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (8, 8, 1, 'ИТОГ', 'СТОИМУСЛУГИ*ПЛОЩАДЬ*КОЭФIII', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (9, 9, 1, 'ВАЛ', 'ЦЕНАПРАЙСВАЛ*КОЛОБЪЕКТ*КОЭФI', NULL);
INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (10, 9, 2, 'РУБ', 'ВАЛ*КУРС', 1);

/* User variables: the area of each room (bound to the object), an index
   applied to rents (no binding: one value for all) and a per-customer daily
   penalty rate. */
INSERT INTO rent_variable (id, parent, name, description, lockobject, lockservice, lockcustomer) VALUES (1, NULL, 'ПОМЕЩЕНИЯ', 'Параметры помещений', 0, 0, 0);
INSERT INTO rent_variable (id, parent, name, description, lockobject, lockservice, lockcustomer) VALUES (2, 1, 'ПЛОЩАДЬ', 'Площадь помещения, кв. м', 1, 0, 0);
INSERT INTO rent_variable (id, parent, name, description, lockobject, lockservice, lockcustomer) VALUES (3, NULL, 'ИНДЕКС', 'Коэффициент индексации арендной платы', 0, 0, 0);
INSERT INTO rent_variable (id, parent, name, description, lockobject, lockservice, lockcustomer) VALUES (4, NULL, 'ПЕНЯ', 'Ставка пени за день просрочки, %', 0, 0, 1);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (1, NULL, 3, NULL, NULL, NULL, 1.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (2, NULL, 2, 5, NULL, NULL, 48.6);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (3, 2, 2, 6, NULL, NULL, 36.2);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (4, 2, 2, 7, NULL, NULL, 22.4);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (5, 2, 2, 8, NULL, NULL, 31.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (6, 2, 2, 9, NULL, NULL, 18.7);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (7, 2, 2, 10, NULL, NULL, 24.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (8, 2, 2, 11, NULL, NULL, 56.3);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (9, 2, 2, 12, NULL, NULL, 27.9);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (10, 2, 2, 13, NULL, NULL, 27.9);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (11, 2, 2, 14, NULL, NULL, 15.2);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (12, 2, 2, 16, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (13, 2, 2, 17, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (14, 2, 2, 18, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (15, 2, 2, 19, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (16, 2, 2, 20, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (17, 2, 2, 21, NULL, NULL, 13.25);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (18, 2, 2, 27, NULL, NULL, 64.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (19, 2, 2, 28, NULL, NULL, 41.8);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (20, 2, 2, 29, NULL, NULL, 29.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (21, 2, 2, 30, NULL, NULL, 33.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (22, 2, 2, 31, NULL, NULL, 33.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (23, 2, 2, 32, NULL, NULL, 45.6);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (24, 2, 2, 33, NULL, NULL, 21.3);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (25, 2, 2, 34, NULL, NULL, 38.4);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (26, 2, 2, 35, NULL, NULL, 26.1);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (27, 2, 2, 36, NULL, NULL, 52.7);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (28, 2, 2, 37, NULL, NULL, 84.0);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (29, 2, 2, 38, NULL, NULL, 62.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (30, 2, 2, 40, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (31, 2, 2, 41, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (32, 2, 2, 42, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (33, 2, 2, 43, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (34, 2, 2, 44, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (35, 2, 2, 45, NULL, NULL, 12.5);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (36, NULL, 4, NULL, NULL, 3, 0.1);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (37, NULL, 4, NULL, NULL, 6, 0.1);
INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable) VALUES (38, NULL, 4, NULL, NULL, 16, 0.05);

/* The price list: a row for any object, rows for a building that serve
   every room in it, and rows for single rooms that win over both. */
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (1, NULL, 2, NULL, 2, 0, 12.0, 2, 0);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (2, 1, 2, 22, 2, 0, 11.0, 2, 0);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (3, 1, 2, 11, 2, 0, 13.5, 2, 0);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (4, NULL, 3, NULL, 2, 0, 18.0, 2, 0);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (5, 4, 3, 5, 2, 0, 22.0, 2, 0);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (6, NULL, 4, NULL, 1, 15.0, 0, 3, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (7, NULL, 5, NULL, 1, 90.0, 0, 4, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (8, 7, 5, 39, 1, 70.0, 0, 4, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (9, NULL, 11, NULL, 1, 0, 0, 6, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (10, NULL, 7, NULL, 1, 0, 0, 7, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (11, NULL, 8, NULL, 1, 0, 0, 8, 1);
INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning) VALUES (12, NULL, 10, NULL, 1, 35.0, 0, NULL, 1);
