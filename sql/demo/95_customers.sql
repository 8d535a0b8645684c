/* Demonstration data of the customer directory: more places (a second
   country, streets of the regional towns), forms of ownership and company
   forms, a second bank with accounts at it, and attributes. Rows take their
   keys from the sequences (which 90_finish.sql moved past the keys brought
   along) and find the rows they name by name, so this file does not depend
   on the keys of the others. */

INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (NEXT VALUE FOR gen_fin_placekind, 30, NULL, 'пос.', 'Поселок', 1, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (NEXT VALUE FOR gen_fin_placekind, 40, NULL, 'б-р', 'Бульвар', 1, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (NEXT VALUE FOR gen_fin_placekind, 40, NULL, 'пл.', 'Площадь', 1, 0);

INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, NULL, (SELECT placekindkey FROM fin_placekind WHERE name = 'Страна'), 'Россия', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Россия'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Область'), 'Смоленская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Смоленская'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Город'), 'Смоленск', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Смоленск'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Улица'), 'Большая Советская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Брест'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Бульвар'), 'Шевченко', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Брест'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Улица'), 'Гоголя', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Гродно'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Площадь'), 'Советская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Гродно'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Улица'), 'Горького', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Минск'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Проспект'), 'Победителей', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (NEXT VALUE FOR gen_fin_place, (SELECT placekey FROM fin_place WHERE name = 'Минский'), (SELECT placekindkey FROM fin_placekind WHERE name = 'Поселок'), 'Ждановичи', 1, 1);

INSERT INTO fin_propertykind (propertykindkey, name) VALUES (NEXT VALUE FOR gen_fin_propertykind, 'Общественных объединений');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (NEXT VALUE FOR gen_fin_companykind, 'ОДО', 'Общество с дополнительной ответственностью');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (NEXT VALUE FOR gen_fin_companykind, 'ИП', 'Индивидуальный предприниматель');

/* A second bank in Brest, and accounts there for a few tenants. */
INSERT INTO cst_customer (customerkey, kind, name, fullname, code, companykindkey, propertykindkey, placekey, zipcode, domicile, phone, email, url, unn, okpo, disabled)
  VALUES (NEXT VALUE FOR gen_cst_customer, 2, 'ОАО «Брестский Промбанк»', 'Открытое акционерное общество «Брестский Промбанк»', '712',
          (SELECT companykindkey FROM fin_companykind WHERE name = 'ОАО'), (SELECT propertykindkey FROM fin_propertykind WHERE name = 'Смешанная'),
          (SELECT placekey FROM fin_place WHERE name = 'Гоголя'), '224030', '224030, г. Брест, ул. Гоголя, 17', '+375 162 53-40-00', 'info@brestprombank.by', 'www.brestprombank.by', '200111222', '200111225000', 0);
INSERT INTO cst_factory (customerkey, director, bookkeeper, founddate, reception, accounting, mfo, code)
  SELECT customerkey, 'Савицкий Юрий Антонович', 'Климович Ирина Львовна', DATE '1994-06-21', '+375 162 53-40-00', '+375 162 53-40-12', '153001712', '712'
    FROM cst_customer WHERE name = 'ОАО «Брестский Промбанк»';
INSERT INTO ir_executor (customerkey, name, phone, email)
  SELECT customerkey, 'Климович Ирина', '+375 162 53-40-12', 'corp@brestprombank.by' FROM cst_customer WHERE name = 'ОАО «Брестский Промбанк»';

INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, account, disabled)
  SELECT NEXT VALUE FOR gen_cst_bankaccount, c.customerkey, b.customerkey, 'Валютный счет', 'BY12BRPB30120000' || LPAD(c.customerkey, 8, '0') || '0840', 0
    FROM cst_customer c, cst_customer b
   WHERE b.name = 'ОАО «Брестский Промбанк»' AND c.name IN ('ЗАО «Белпромснаб»', 'ИП Козлова М.А.', 'ООО «Типография Формат»');
INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, account, disabled)
  SELECT NEXT VALUE FOR gen_cst_bankaccount, c.customerkey, b.customerkey, 'Закрытый счет', 'BY70BRPB30120000' || LPAD(c.customerkey, 8, '0') || '0933', 1
    FROM cst_customer c, cst_customer b
   WHERE b.name = 'ОАО «Брестский Промбанк»' AND c.name = 'ООО «Альфа-Трейд»';

/* Attributes: a second branch of the tree, assigned to a few tenants. */
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (NEXT VALUE FOR gen_ph_attr, NULL, 'Особые условия', 'Условия', 1, '', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (NEXT VALUE FOR gen_ph_attr, (SELECT id FROM ph_attr WHERE name = 'Особые условия'), 'Субарендатор', 'Субаренда', 1, 'субаренд', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (NEXT VALUE FOR gen_ph_attr, (SELECT id FROM ph_attr WHERE name = 'Особые условия'), 'Оплата в валюте', 'Валюта', 1, 'валют', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (NEXT VALUE FOR gen_ph_attr, (SELECT id FROM ph_attr WHERE name = 'Особые условия'), 'Круглосуточный доступ', 'Доступ 24/7', 1, '', 0);
INSERT INTO cst_custattr (customerkey, attrkey)
  SELECT c.customerkey, a.id FROM cst_customer c, ph_attr a
   WHERE a.name = 'Оплата в валюте' AND c.name IN ('ЗАО «Белпромснаб»', 'ООО «Типография Формат»');
INSERT INTO cst_custattr (customerkey, attrkey)
  SELECT c.customerkey, a.id FROM cst_customer c, ph_attr a
   WHERE a.name = 'Круглосуточный доступ' AND c.name IN ('ООО «Кофейня Зерно»', 'ООО «Фитнес Лайф»');

/* The directory lists of a user who has not set a filter of his own show
   every customer: the default user's conditions switch the name condition
   off (the program's built-in default compares the name). */
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (-1, 230, 'IR_FACTORY_USENAME', '-1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (-1, 230, 'IR_FACTORY_NAMEMASK', '', 'S');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (-1, 230, 'IR_BANK_USENAME', '-1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (-1, 230, 'IR_BANK_NAMEMASK', '', 'S');

EXECUTE PROCEDURE fin_p_sync_keys;
