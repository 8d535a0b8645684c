/* Demonstration data: the print forms and reports of the lease module, over
   the templates that come with the program ("%templates/..." is the
   program's folder). */

INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (1, NULL, 'Договоры', NULL, 0, NULL, NULL, NULL, NULL, NULL);
INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (2, 1, 'Договор аренды', '%templates/contract.rtf', 1, 'Реестр договоров', '%templates/contracts-register.rtf', 'QRYCONTRACT', NULL, NULL);
INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (3, NULL, 'Счета и платежи', NULL, 0, NULL, NULL, NULL, NULL, NULL);
INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (4, 3, 'Счет-фактура', '%templates/invoice.rtf', 3, NULL, NULL, NULL, NULL, NULL);
INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (5, 3, 'Платежи', NULL, 4, 'Реестр платежей', '%templates/paybills-register.rtf', 'QRYPAYBILL', NULL, NULL);

INSERT INTO rent_printreport (id, parent, name, filename, typereport, icon, textsql, userkey) VALUES (1, NULL, 'Задолженность по клиентам и услугам', '%templates/debts.rtf', 7, 65, NULL, NULL);
INSERT INTO rent_printreport (id, parent, name, filename, typereport, icon, textsql, userkey) VALUES (2, NULL, 'Свободные помещения', '%templates/free-objects.rtf', 2, 74, NULL, NULL);
INSERT INTO rent_printreport (id, parent, name, filename, typereport, icon, textsql, userkey) VALUES (3, NULL, 'Занятые помещения', '%templates/used-objects.rtf', 3, 75, NULL, NULL);
INSERT INTO rent_printreport (id, parent, name, filename, typereport, icon, textsql, userkey) VALUES (4, NULL, 'Возрастная структура задолженности', NULL, 8, 53, NULL, NULL);
INSERT INTO rent_printdocument (id, parent, name, path, typedocument, registername, registerpath, registertable, userkey, flag) VALUES (6, 1, 'Расчет арендной платы', '%templates/price-appendix.rtf', 2, NULL, NULL, NULL, NULL, NULL);
