/* fin_p_ver_getdbversion: the version text of the database, the number of
   the last schema migration it received. */
SET TERM ^ ;
CREATE OR ALTER PROCEDURE fin_p_ver_getdbversion
RETURNS (VersionString VARCHAR(40))
AS
BEGIN
  SELECT CAST(COALESCE(MAX(versionnum), 0) AS VARCHAR(40)) FROM fin_dbversion INTO :VersionString;
END^
SET TERM ; ^
