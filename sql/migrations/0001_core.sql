/* Core of the database: the schema version, subsystems, users with their
   rights and sessions, and the database accounts the login hands out. */

CREATE TABLE fin_dbversion (
  versionnum   INTEGER NOT NULL PRIMARY KEY,
  description  VARCHAR(120),
  applied      TIMESTAMP
);

CREATE TABLE fin_subsystem (
  subsystemkey INTEGER NOT NULL PRIMARY KEY,
  name         VARCHAR(60) NOT NULL,
  disabled     SMALLINT DEFAULT 0
);

/* Database accounts under which the working connection is opened. Only the
   login procedure reads this table; no account is granted access to it. */
CREATE TABLE fin_dbaccount (
  ibname       VARCHAR(31) CHARACTER SET UTF8 NOT NULL PRIMARY KEY,
  ibpassw      VARCHAR(64) CHARACTER SET UTF8
);

/* Users of the product family. The password is kept only as a salted
   PBKDF2-HMAC-SHA-256 hash with its iteration count. */
CREATE TABLE fin_user (
  userkey      INTEGER NOT NULL PRIMARY KEY,
  name         VARCHAR(60) NOT NULL,
  fullname     VARCHAR(120),
  peoplekey    INTEGER,
  ibname       VARCHAR(31) CHARACTER SET UTF8 REFERENCES fin_dbaccount (ibname),
  passwsalt    VARCHAR(32) CHARACTER SET OCTETS,
  passwhash    VARCHAR(32) CHARACTER SET OCTETS,
  passwiter    INTEGER,
  disabled     SMALLINT DEFAULT 0
);
CREATE UNIQUE INDEX fin_user_name ON fin_user COMPUTED BY (UPPER(name));
CREATE SEQUENCE fin_g_user;

/* Rights of a user in a subsystem: 0 enter, 10 administer, 20 back up,
   30 restore, 40 change the interface. */
CREATE TABLE fin_userright (
  userkey      INTEGER NOT NULL REFERENCES fin_user (userkey) ON DELETE CASCADE,
  subsystemkey INTEGER NOT NULL REFERENCES fin_subsystem (subsystemkey),
  userright    INTEGER NOT NULL,
  PRIMARY KEY (userkey, subsystemkey, userright)
);

CREATE TABLE fin_session (
  sessionkey   INTEGER NOT NULL PRIMARY KEY,
  userkey      INTEGER,
  subsystemkey INTEGER,
  starttime    TIMESTAMP
);
CREATE SEQUENCE fin_g_session;

INSERT INTO fin_subsystem (subsystemkey, name, disabled) VALUES (230, 'Аренда', 0);
INSERT INTO fin_dbaccount (ibname, ibpassw) VALUES ('KORVEX', NULL);
