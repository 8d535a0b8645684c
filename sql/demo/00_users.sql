/* Demo users: admin (every right) and buh (may enter, nothing else), with
   the passwords admin and buh. The keys were derived beforehand (PBKDF2-
   HMAC-SHA-256, 100000 iterations, the salts below); the table keeps their
   SHA-256, as FIN_P_SEC_SETPASSWORD would. */
INSERT INTO fin_user (userkey, name, fullname) VALUES (1, 'admin', 'Администратор');
INSERT INTO fin_user (userkey, name, fullname) VALUES (2, 'buh', 'Бухгалтер Иванова О.П.');
INSERT INTO fin_userpassw (userkey, salt, iterations, keyhash, changed)
  VALUES (1, x'042a5e8e501a3bd1ca245c3891a52480', 100000,
          x'616216c1db3fc06cc2a311df7336191f40a5cfa91580612d02ceb8d08d5aec24', CURRENT_TIMESTAMP);
INSERT INTO fin_userpassw (userkey, salt, iterations, keyhash, changed)
  VALUES (2, x'7d09dbb1d5c9d08fb2ed79cd904d4223', 100000,
          x'ba5c053ee5f6c767e0bfbc03d856a6a7e9afdcdafeb91809b9ea64ff8ab76b77', CURRENT_TIMESTAMP);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 0);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 10);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 20);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 30);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 40);
INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (2, 230, 0);
ALTER SEQUENCE fin_g_user RESTART WITH 2;
