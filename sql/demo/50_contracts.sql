/* Demonstration data: lease contracts with their positions. Prices are what
   the reckoning types give at 3.265 roubles to the dollar; metered positions
   are priced when invoiced. Contract 12 was renewed by contract 16, and
   contract 9 is closed. */

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (1, 2, 2, NULL, '1', 'Аренда офиса 201 и 204', DATEADD(-420 DAY TO CURRENT_DATE), DATEADD(310 DAY TO CURRENT_DATE), DATEADD(-419 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (1, 1, 2, 8, 1357.59, 415.8, 2, 0, 31.5, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (2, 1, 2, 11, 2977.88, 912.06, 2, 0, 56.3, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (3, 1, 11, 8, 151.2, 0, 6, 1, 31.5, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (4, 1, 11, 11, 270.24, 0, 6, 1, 56.3, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (5, 1, 7, 8, 0, 0, 7, 1, 1, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (6, 1, 10, NULL, 35.0, 0, NULL, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (2, 3, 2, NULL, '2', 'Аренда торгового помещения 101', DATEADD(-390 DAY TO CURRENT_DATE), DATEADD(705 DAY TO CURRENT_DATE), DATEADD(-389 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (7, 2, 3, 5, 4992.05, 1528.96, 2, 0, 48.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (8, 2, 11, 5, 233.28, 0, 6, 1, 48.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (9, 2, 8, 5, 112.27, 0, 8, 1, 48.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (10, 2, 7, 5, 0, 0, 7, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (3, 6, 2, NULL, '3', 'Кофейня, помещение 102', DATEADD(-365 DAY TO CURRENT_DATE), DATEADD(730 DAY TO CURRENT_DATE), DATEADD(-364 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (11, 3, 3, 6, 2659.34, 814.5, 2, 0, 36.2, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (12, 3, 11, 6, 173.76, 0, 6, 1, 36.2, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (13, 3, 8, 6, 83.62, 0, 8, 1, 36.2, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (14, 3, 10, NULL, 35.0, 0, NULL, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (4, 5, 2, NULL, '4', 'Офисы 201-202, Независимости', DATEADD(-340 DAY TO CURRENT_DATE), DATEADD(390 DAY TO CURRENT_DATE), DATEADD(-339 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (15, 4, 2, 30, 1185.19, 363.0, 2, 0, 33.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (16, 4, 2, 31, 1185.19, 363.0, 2, 0, 33.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (17, 4, 11, 30, 158.4, 0, 6, 1, 33.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (18, 4, 11, 31, 158.4, 0, 6, 1, 33.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (19, 4, 5, 40, 70.0, 0, 4, 1, 1, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (20, 4, 5, 41, 70.0, 0, 4, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (5, 7, 1, NULL, '5', 'Склад С-1', DATEADD(-300 DAY TO CURRENT_DATE), DATEADD(65 DAY TO CURRENT_DATE), DATEADD(-299 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (21, 5, 4, 37, 1008, 0, 3, 1, 84.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (22, 5, 8, 37, 97.02, 0, 8, 1, 84.0, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (6, 8, 2, NULL, '6', 'Салон оптики, помещение 102', DATEADD(-280 DAY TO CURRENT_DATE), DATEADD(450 DAY TO CURRENT_DATE), DATEADD(-279 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (23, 6, 3, 28, 2825.07, 865.26, 2, 0, 41.8, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (24, 6, 11, 28, 200.64, 0, 6, 1, 41.8, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (7, 9, 2, NULL, '7', 'Офис разработчиков 203', DATEADD(-250 DAY TO CURRENT_DATE), DATEADD(845 DAY TO CURRENT_DATE), DATEADD(-249 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (25, 7, 2, 32, 1801.5, 551.76, 2, 0, 45.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (26, 7, 11, 32, 218.88, 0, 6, 1, 45.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (27, 7, 8, 32, 105.34, 0, 8, 1, 45.6, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (28, 7, 5, 42, 70.0, 0, 4, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (8, 10, 1, NULL, '8', 'Цветочный павильон 103', DATEADD(-230 DAY TO CURRENT_DATE), DATEADD(135 DAY TO CURRENT_DATE), DATEADD(-229 DAY TO CURRENT_DATE), 10, 2, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (29, 8, 3, 7, 1448.09, 443.52, 2, 0, 22.4, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (30, 8, 11, 7, 107.52, 0, 6, 1, 22.4, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (9, 4, 1, NULL, '9', 'Склад С-2 (расторгнут)', DATEADD(-400 DAY TO CURRENT_DATE), DATEADD(-35 DAY TO CURRENT_DATE), DATEADD(-399 DAY TO CURRENT_DATE), 10, 1, 1, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (31, 9, 4, 38, 750, 0, 3, 1, 62.5, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (10, 12, 2, NULL, '10', 'Юридическая фирма, офис 305', DATEADD(-200 DAY TO CURRENT_DATE), DATEADD(530 DAY TO CURRENT_DATE), DATEADD(-199 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (32, 10, 2, 36, 1798.1, 550.72, 2, 0, 52.7, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (33, 10, 11, 36, 252.96, 0, 6, 1, 52.7, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (11, 14, 2, NULL, '11', 'Фитнес-студия, помещение 101', DATEADD(-180 DAY TO CURRENT_DATE), DATEADD(915 DAY TO CURRENT_DATE), DATEADD(-179 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (34, 11, 3, 27, 4513.54, 1382.4, 2, 0, 64.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (35, 11, 11, 27, 307.2, 0, 6, 1, 64.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (36, 11, 8, 27, 147.84, 0, 8, 1, 64.0, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (12, 16, 1, NULL, '12', 'ИП Петров, офис 202 (до продления)', DATEADD(-500 DAY TO CURRENT_DATE), DATEADD(-135 DAY TO CURRENT_DATE), DATEADD(-499 DAY TO CURRENT_DATE), 10, 2, 1, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (37, 12, 2, 9, 732.67, 224.4, 2, 0, 18.7, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (13, 17, 2, NULL, '13', 'ИП Шевченко, офис 203', DATEADD(-150 DAY TO CURRENT_DATE), DATEADD(215 DAY TO CURRENT_DATE), DATEADD(-149 DAY TO CURRENT_DATE), 10, 1, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (38, 13, 2, 10, 940.32, 288.0, 2, 0, 24.0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (39, 13, 11, 10, 115.2, 0, 6, 1, 24.0, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (14, 18, 1, NULL, '14', 'ИП Рыбаков, машиноместо', DATEADD(-120 DAY TO CURRENT_DATE), DATEADD(245 DAY TO CURRENT_DATE), DATEADD(-119 DAY TO CURRENT_DATE), 10, 2, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (40, 14, 5, 16, 90.0, 0, 4, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (15, 21, 1, NULL, '15', 'Иванова А.М., машиноместо', DATEADD(-100 DAY TO CURRENT_DATE), DATEADD(265 DAY TO CURRENT_DATE), DATEADD(-99 DAY TO CURRENT_DATE), 10, 2, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (41, 15, 5, 17, 90.0, 0, 4, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (16, 16, 2, 12, '16', 'ИП Петров, офис 202', DATEADD(-135 DAY TO CURRENT_DATE), DATEADD(230 DAY TO CURRENT_DATE), DATEADD(-134 DAY TO CURRENT_DATE), 10, 2, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (42, 16, 2, 9, 732.67, 224.4, 2, 0, 18.7, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (43, 16, 11, 9, 89.76, 0, 6, 1, 18.7, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (17, 22, 1, NULL, '17', 'Ковальчук Д.С., машиноместо', DATEADD(-60 DAY TO CURRENT_DATE), DATEADD(305 DAY TO CURRENT_DATE), DATEADD(-59 DAY TO CURRENT_DATE), 10, 2, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (44, 17, 5, 43, 70.0, 0, 4, 1, 1, NULL);

INSERT INTO rent_contract (id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, paymentkey, disabled, filename) VALUES (18, 13, 2, NULL, '18', 'Белпромснаб, офисы 301-302', DATEADD(-30 DAY TO CURRENT_DATE), DATEADD(700 DAY TO CURRENT_DATE), DATEADD(-29 DAY TO CURRENT_DATE), 10, 3, 0, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (45, 18, 2, 12, 1038.47, 318.06, 2, 0, 27.9, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (46, 18, 2, 13, 1038.47, 318.06, 2, 0, 27.9, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (47, 18, 11, 12, 133.92, 0, 6, 1, 27.9, NULL);
INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, typereckoningkey, ncureckoning, countobject, description) VALUES (48, 18, 11, 13, 133.92, 0, 6, 1, 27.9, NULL);

/* Monthly electricity readings (kWh) of the metered positions. */
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (1, 5, DATEADD(-120 DAY TO CURRENT_DATE), 477);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (2, 5, DATEADD(-90 DAY TO CURRENT_DATE), 520);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (3, 5, DATEADD(-60 DAY TO CURRENT_DATE), 463);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (4, 5, DATEADD(-30 DAY TO CURRENT_DATE), 495);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (5, 10, DATEADD(-120 DAY TO CURRENT_DATE), 542);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (6, 10, DATEADD(-90 DAY TO CURRENT_DATE), 585);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (7, 10, DATEADD(-60 DAY TO CURRENT_DATE), 528);
INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) VALUES (8, 10, DATEADD(-30 DAY TO CURRENT_DATE), 560);

INSERT INTO rent_supplement (id, contractkey, number, name, supdate, description, filename) VALUES (1, 1, '1', 'Дополнительное соглашение о площади', DATEADD(-200 DAY TO CURRENT_DATE), 'Добавлен офис 204', NULL);
INSERT INTO rent_supplement (id, contractkey, number, name, supdate, description, filename) VALUES (2, 2, '1', 'Акт приема-передачи', DATEADD(-389 DAY TO CURRENT_DATE), 'Помещение передано с витринным остеклением', NULL);
INSERT INTO rent_supplement (id, contractkey, number, name, supdate, description, filename) VALUES (3, 16, '1', 'Соглашение о продлении аренды', DATEADD(-135 DAY TO CURRENT_DATE), 'Продление договора 12 на новый срок', NULL);
