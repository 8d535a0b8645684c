/* Demo users: admin (every right) and buh (may enter, nothing else). */
INSERT INTO fin_user (userkey, name, fullname, ibname) VALUES (1, 'admin', 'Администратор', 'KORVEX');
INSERT INTO fin_user (userkey, name, fullname, ibname) VALUES (2, 'buh', 'Бухгалтер Иванова О.П.', 'KORVEX');
EXECUTE PROCEDURE FIN_P_SEC_SETPASSWORD(1, 'admin', 1000);
EXECUTE PROCEDURE FIN_P_SEC_SETPASSWORD(2, 'buh', 1000);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 0);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 10);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 20);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 30);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 40);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (2, 230, 0);
ALTER SEQUENCE fin_g_user RESTART WITH 2;
