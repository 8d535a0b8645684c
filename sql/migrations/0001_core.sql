/* Core of the database: the schema version, subsystems, users, their rights
   and sessions, and the database accounts the login hands out. */

CREATE TABLE fin_dbversion (
  versionnum   INTEGER NOT NULL PRIMARY KEY,
  description  VARCHAR(120),
  applied      TIMESTAMP
);
