/* Demonstration data: the shared reference data of a small
   landlord in Minsk: currencies with dated rates (relative to today, so the
   demo stays current), places, classifiers, payment forms, invoice types. */

INSERT INTO fin_curr (id, name, shortname, code, sign, place, fullcentname, shortcentname, centbase, decdigits, disabled, isncu) VALUES (1, 'Белорусский рубль', 'BYN', '933', 'р.', 0, 'копейка', 'коп.', 100, 2, 0, 1);
INSERT INTO fin_curr (id, name, shortname, code, sign, place, fullcentname, shortcentname, centbase, decdigits, disabled, isncu) VALUES (2, 'Доллар США', 'USD', '840', '$', 1, 'цент', 'ц.', 100, 2, 0, 0);
INSERT INTO fin_curr (id, name, shortname, code, sign, place, fullcentname, shortcentname, centbase, decdigits, disabled, isncu) VALUES (3, 'Евро', 'EUR', '978', '€', 1, 'евроцент', 'евроц.', 100, 2, 0, 0);
INSERT INTO fin_curr (id, name, shortname, code, sign, place, fullcentname, shortcentname, centbase, decdigits, disabled, isncu) VALUES (4, 'Российский рубль', 'RUB', '643', 'р.р.', 0, 'копейка', 'коп.', 100, 2, 1, 0);

/* Weekly rates of the National Bank for the last twenty weeks: one unit of
   the currency in Belarusian roubles. */
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-140 DAY TO CURRENT_DATE), 3.2787);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-140 DAY TO CURRENT_DATE), 3.4942);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-133 DAY TO CURRENT_DATE), 3.2686);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-133 DAY TO CURRENT_DATE), 3.5244);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-126 DAY TO CURRENT_DATE), 3.2845);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-126 DAY TO CURRENT_DATE), 3.539);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-119 DAY TO CURRENT_DATE), 3.3129);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-119 DAY TO CURRENT_DATE), 3.5324);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-112 DAY TO CURRENT_DATE), 3.3308);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-112 DAY TO CURRENT_DATE), 3.5091);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-105 DAY TO CURRENT_DATE), 3.3231);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-105 DAY TO CURRENT_DATE), 3.4816);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-98 DAY TO CURRENT_DATE), 3.2942);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-98 DAY TO CURRENT_DATE), 3.4641);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-91 DAY TO CURRENT_DATE), 3.2643);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-91 DAY TO CURRENT_DATE), 3.4664);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-84 DAY TO CURRENT_DATE), 3.2547);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-84 DAY TO CURRENT_DATE), 3.4886);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-77 DAY TO CURRENT_DATE), 3.271);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-77 DAY TO CURRENT_DATE), 3.5219);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-70 DAY TO CURRENT_DATE), 3.2994);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-70 DAY TO CURRENT_DATE), 3.5519);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-63 DAY TO CURRENT_DATE), 3.3169);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-63 DAY TO CURRENT_DATE), 3.566);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-56 DAY TO CURRENT_DATE), 3.3088);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-56 DAY TO CURRENT_DATE), 3.5589);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-49 DAY TO CURRENT_DATE), 3.2796);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-49 DAY TO CURRENT_DATE), 3.5354);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-42 DAY TO CURRENT_DATE), 3.25);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-42 DAY TO CURRENT_DATE), 3.5079);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-35 DAY TO CURRENT_DATE), 3.2408);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-35 DAY TO CURRENT_DATE), 3.4909);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-28 DAY TO CURRENT_DATE), 3.2575);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-28 DAY TO CURRENT_DATE), 3.4936);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-21 DAY TO CURRENT_DATE), 3.286);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-21 DAY TO CURRENT_DATE), 3.5163);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-14 DAY TO CURRENT_DATE), 3.3031);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-14 DAY TO CURRENT_DATE), 3.5496);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATEADD(-7 DAY TO CURRENT_DATE), 3.2944);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, DATEADD(-7 DAY TO CURRENT_DATE), 3.5794);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, CURRENT_DATE, 3.265);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 1, CURRENT_DATE, 3.593);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (3, 2, CURRENT_DATE, 1.0867);
INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (4, 1, DATEADD(-28 DAY TO CURRENT_DATE), 0.0356);

/* Kinds of places: stand 1 puts the abbreviation before the name, 2 after. */
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (1, 10, NULL, '', 'Страна', 0, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (2, 20, NULL, 'обл.', 'Область', 2, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (3, 25, NULL, 'р-н', 'Район', 2, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (4, 30, NULL, 'г.', 'Город', 1, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (5, 40, NULL, 'ул.', 'Улица', 1, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (6, 40, NULL, 'пр-т', 'Проспект', 1, 0);
INSERT INTO fin_placekind (placekindkey, grade, parent, abbr, name, stand, disabled) VALUES (7, 40, NULL, 'пер.', 'Переулок', 1, 0);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (1, NULL, 1, 'Беларусь', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (2, 1, 4, 'Минск', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (3, 2, 5, 'Немига', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (4, 2, 6, 'Независимости', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (5, 2, 5, 'Притыцкого', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (6, 2, 5, 'Сурганова', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (7, 2, 5, 'Кальварийская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (8, 2, 5, 'Якуба Коласа', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (9, 2, 7, 'Казарменный', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (10, 1, 2, 'Брестская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (11, 10, 4, 'Брест', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (12, 11, 5, 'Советская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (13, 11, 5, 'Московская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (14, 1, 2, 'Гродненская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (15, 14, 4, 'Гродно', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (16, 15, 5, 'Ожешко', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (17, 1, 2, 'Минская', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (18, 17, 3, 'Минский', 1, 1);
INSERT INTO fin_place (placekey, parent, placekind, name, inaddress, usehighlevel) VALUES (19, 18, 4, 'Заславль', 1, 1);

INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (1, 'ООО', 'Общество с ограниченной ответственностью');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (2, 'ОАО', 'Открытое акционерное общество');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (3, 'ЗАО', 'Закрытое акционерное общество');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (4, 'ЧУП', 'Частное унитарное предприятие');
INSERT INTO fin_companykind (companykindkey, name, fullname) VALUES (5, 'УП', 'Унитарное предприятие');
INSERT INTO fin_propertykind (propertykindkey, name) VALUES (1, 'Частная');
INSERT INTO fin_propertykind (propertykindkey, name) VALUES (2, 'Государственная');
INSERT INTO fin_propertykind (propertykindkey, name) VALUES (3, 'Коммунальная');
INSERT INTO fin_propertykind (propertykindkey, name) VALUES (4, 'Иностранная');
INSERT INTO fin_propertykind (propertykindkey, name) VALUES (5, 'Смешанная');
INSERT INTO fin_branch (branchkey, name) VALUES (1, 'Торговля');
INSERT INTO fin_branch (branchkey, name) VALUES (2, 'Общественное питание');
INSERT INTO fin_branch (branchkey, name) VALUES (3, 'Информационные технологии');
INSERT INTO fin_branch (branchkey, name) VALUES (4, 'Бытовые услуги');
INSERT INTO fin_branch (branchkey, name) VALUES (5, 'Финансы и банки');
INSERT INTO fin_branch (branchkey, name) VALUES (6, 'Строительство');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (1, 'Розничная торговля');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (2, 'Оптовая торговля');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (3, 'Разработка программного обеспечения');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (4, 'Ремонт и обслуживание');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (5, 'Банковские услуги');
INSERT INTO fin_actcategory (actcategorykey, name) VALUES (6, 'Консалтинг');
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (1, NULL, 'Категории арендаторов', 'Категории', 1, '', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (2, 1, 'Надежный плательщик', 'Надежный', 1, 'надежн', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (3, 1, 'Допускает просрочки платежей', 'Должник', 1, 'долг', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (4, 1, 'Долгосрочная аренда', 'Долгосрочный', 1, '', 0);
INSERT INTO ph_attr (id, parent, name, shortname, rating, tokem, disabled) VALUES (5, NULL, 'Требует внимания юриста', 'Юрист', 1, '', 0);

INSERT INTO rent_payment (id, name, shortname) VALUES (1, 'Безналичный расчет', 'Безнал');
INSERT INTO rent_payment (id, name, shortname) VALUES (2, 'Наличный расчет', 'Нал');
INSERT INTO rent_payment (id, name, shortname) VALUES (3, 'Взаимозачет', 'Зачет');
INSERT INTO rent_invoicetype (id, name, externalkey) VALUES (1, 'Арендная плата', 1);
INSERT INTO rent_invoicetype (id, name, externalkey) VALUES (2, 'Коммунальные и эксплуатационные услуги', 2);
INSERT INTO rent_invoicetype (id, name, externalkey) VALUES (3, 'Штрафные санкции', 3);

/* Common settings: the contract currency, payment form and invoice type
   offered by default, and the counters of documents. */
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTCURRKEY', '2', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTPAYMENTKEY', '1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTINVOICETYPEKEY', '1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTNCURECKONING', '0', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTAUTOREPLACERECKONING', '1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTCONTRACTNUMBER', '19', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'RENTCONTRACTPAYMENTDAY', '10', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'INVOICENUMBER', '1', 'I');
INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) VALUES (NULL, 230, 'PAYBILLNUMBER', '1', 'I');
