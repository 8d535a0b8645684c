/* Accounts and passwords on a shared server.

   Two working accounts: the login hands out the one of the user's rights,
   kind 10 to the user administrators (right 10 in the subsystem), kind 0 to
   everyone else; an account no longer handed out keeps a NULL kind. The
   account no longer follows the user row, so fin_user.ibname goes.

   Passwords leave fin_user, which every working account reads, for
   fin_userpassw, which only the security procedures read. The client derives
   a key from the password with PBKDF2-HMAC-SHA-256 and the salt and count
   kept here; the table keeps SHA-256 of that key. A password stored the old
   way (PBKDF2 computed by the server) cannot be converted without the
   password: it stays in the legacy columns until the user's next successful
   login replaces it.

   fin_dbsecret holds a random secret of this database, from which the
   stand-in salt of an unknown user name is derived: asking for the salt of a
   name tells nothing about whether the user exists. */

ALTER TABLE fin_dbaccount ADD accountkind INTEGER;
CREATE UNIQUE INDEX fin_dbaccount_kind ON fin_dbaccount (accountkind);
/* The account most users had becomes the one for everyone. */
UPDATE fin_dbaccount SET accountkind = 0
 WHERE ibname = COALESCE((SELECT FIRST 1 u.ibname FROM fin_user u WHERE u.ibname IS NOT NULL
                           GROUP BY u.ibname ORDER BY COUNT(*) DESC, u.ibname), 'KORVEX');
INSERT INTO fin_dbaccount (ibname, ibpassw, accountkind)
  SELECT 'KORVEXADM', NULL, 10 FROM rdb$database
   WHERE NOT EXISTS (SELECT 1 FROM fin_dbaccount WHERE ibname = 'KORVEXADM');
UPDATE fin_dbaccount SET accountkind = 10 WHERE ibname = 'KORVEXADM' AND accountkind IS NULL;

CREATE TABLE fin_userpassw (
  userkey      INTEGER NOT NULL PRIMARY KEY REFERENCES fin_user (userkey) ON DELETE CASCADE,
  salt         VARCHAR(16) CHARACTER SET OCTETS,
  iterations   INTEGER,
  keyhash      VARCHAR(32) CHARACTER SET OCTETS,
  legacysalt   VARCHAR(32) CHARACTER SET OCTETS,
  legacyhash   VARCHAR(32) CHARACTER SET OCTETS,
  legacyiter   INTEGER,
  changed      TIMESTAMP
);
INSERT INTO fin_userpassw (userkey, legacysalt, legacyhash, legacyiter, changed)
  SELECT userkey, passwsalt, passwhash, passwiter, CURRENT_TIMESTAMP FROM fin_user
   WHERE passwhash IS NOT NULL AND passwsalt IS NOT NULL AND passwiter IS NOT NULL;

CREATE TABLE fin_dbsecret (
  secret       VARCHAR(32) CHARACTER SET OCTETS NOT NULL
);
INSERT INTO fin_dbsecret (secret) VALUES (GEN_UUID() || GEN_UUID());

/* The old procedures read the columns that go: they are emptied here and
   written anew with the other procedures after the migrations. */
SET TERM ^ ;
CREATE OR ALTER PROCEDURE FIN_P_SEC_LOGINUSER AS BEGIN END^
CREATE OR ALTER PROCEDURE FIN_P_SEC_SETPASSWORD AS BEGIN END^
SET TERM ; ^

ALTER TABLE fin_user DROP passwsalt;
ALTER TABLE fin_user DROP passwhash;
ALTER TABLE fin_user DROP passwiter;
ALTER TABLE fin_user DROP ibname;
