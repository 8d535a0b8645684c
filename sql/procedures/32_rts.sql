/* Grid layouts kept per user, form context and table. */
SET TERM ^ ;

/* fin_p_rts_findstore: the stored layout of a user, context and table name.
   TheStoreKey is NULL and Exist 0 when there is none; with several (two
   workstations saved a first layout at once) the oldest one counts. The
   table name is compared exactly as the grid store writes it. */
CREATE OR ALTER PROCEDURE fin_p_rts_findstore (
  AnUserKey INTEGER,
  AContext INTEGER,
  ATableName d_str100)
RETURNS (TheStoreKey INTEGER, Exist SMALLINT)
AS
BEGIN
  TheStoreKey = NULL;
  SELECT FIRST 1 storekey FROM fin_rts
   WHERE userkey IS NOT DISTINCT FROM :AnUserKey
     AND context IS NOT DISTINCT FROM :AContext
     AND tablename = :ATableName
   ORDER BY storekey
    INTO :TheStoreKey;
  Exist = IIF(TheStoreKey IS NULL, 0, 1);
END^

SET TERM ; ^
