/* Bookkeeping operations: writing one operation with its analyses and
   entries, reading the analysis layout of an account, and deleting
   operations. The client writes an operation in one transaction: the
   operation, then its analyses, then each entry with the analyses of its
   two sides. */

CREATE OR ALTER EXCEPTION fin_e_operation_refused 'Операция не принята';

SET TERM ^ ;

/* fin_p_operation_clear: removes what hangs on an operation (entry
   analyses, entries, operation analyses) and keeps the operation row and
   its document link. */
CREATE OR ALTER PROCEDURE fin_p_operation_clear (operationkey INTEGER)
AS
BEGIN
  DELETE FROM fin_entryanalyze
   WHERE entrykey IN (SELECT id FROM fin_entrylist WHERE operationkey = :operationkey);
  DELETE FROM fin_entrylist WHERE operationkey = :operationkey;
  DELETE FROM fin_opanalyzeval WHERE operationkey = :operationkey;
END^

/* fin_p_operation_delete: deletes an operation with everything attached. */
CREATE OR ALTER PROCEDURE fin_p_operation_delete (operationkey INTEGER)
AS
BEGIN
  EXECUTE PROCEDURE fin_p_operation_clear(:operationkey);
  DELETE FROM fin_opdocvalue WHERE operationkey = :operationkey;
  DELETE FROM fin_operation WHERE operationkey = :operationkey;
END^

/* fin_p_addoperation: stores an operation and returns its key.
   - Refused (fin_e_operation_refused) when the operation type is unknown or
     the date is missing; nothing is written then.
   - The document (DocumentKey; -1 or NULL: none) is linked in
     fin_opdocvalue. An operation of the same type already made from the same
     document is replaced, keeping its key: posting a document line again
     never doubles the bookkeeping.
   - OperationKey > 0 replaces that operation (the import passes the
     operation made earlier from the same register entry); an unknown key is
     refused.
   - Replacing clears the old analyses and entries; the caller writes the
     new ones. EntryExtKey is kept on the operation as its external key. */
CREATE OR ALTER PROCEDURE fin_p_addoperation (
  CommitDate DATE, EnterDate DATE, Duration INTEGER,
  SubSystemKey INTEGER, SessionKey INTEGER, UserKey INTEGER,
  SumNCU DOUBLE PRECISION, SumCurr DOUBLE PRECISION, Curr INTEGER,
  OperationKey INTEGER, OpTypeKey INTEGER, DocumentKey INTEGER, EntryExtKey VARCHAR(60))
RETURNS (OutOperationKey INTEGER)
AS
DECLARE VARIABLE hasdocument SMALLINT;
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM fin_optype WHERE optypekey = :OpTypeKey)) THEN
    EXCEPTION fin_e_operation_refused 'Неизвестный тип операции ' || COALESCE(CAST(:OpTypeKey AS VARCHAR(12)), '');
  IF (CommitDate IS NULL) THEN
    EXCEPTION fin_e_operation_refused 'У операции не указана дата';
  IF (Curr = -1) THEN Curr = NULL;
  hasdocument = IIF(DocumentKey IS NOT NULL AND DocumentKey <> -1, 1, 0);

  OutOperationKey = NULL;
  IF (OperationKey IS NOT NULL AND OperationKey > 0) THEN
  BEGIN
    SELECT operationkey FROM fin_operation WHERE operationkey = :OperationKey INTO :OutOperationKey;
    IF (OutOperationKey IS NULL) THEN
      EXCEPTION fin_e_operation_refused 'Операция ' || OperationKey || ' не найдена';
  END
  ELSE IF (hasdocument = 1) THEN
    SELECT FIRST 1 d.operationkey
      FROM fin_opdocvalue d JOIN fin_operation o ON o.operationkey = d.operationkey
     WHERE d.optype = :OpTypeKey AND d.documentkey = :DocumentKey
     ORDER BY d.operationkey
      INTO :OutOperationKey;

  IF (OutOperationKey IS NULL) THEN
    INSERT INTO fin_operation (type, commitdate, enterdate, duration, sumncu, sumcurr, curr,
                               subsystem, session, operator, externalkey)
    VALUES (:OpTypeKey, :CommitDate, :EnterDate, :Duration, :SumNCU, :SumCurr, :Curr,
            :SubSystemKey, :SessionKey, :UserKey, :EntryExtKey)
    RETURNING operationkey INTO :OutOperationKey;
  ELSE
  BEGIN
    EXECUTE PROCEDURE fin_p_operation_clear(:OutOperationKey);
    DELETE FROM fin_opdocvalue WHERE operationkey = :OutOperationKey;
    UPDATE fin_operation
       SET type = :OpTypeKey, commitdate = :CommitDate, enterdate = :EnterDate,
           duration = :Duration, sumncu = :SumNCU, sumcurr = :SumCurr, curr = :Curr,
           subsystem = :SubSystemKey, session = :SessionKey, operator = :UserKey,
           externalkey = :EntryExtKey
     WHERE operationkey = :OutOperationKey;
  END

  IF (hasdocument = 1) THEN
    INSERT INTO fin_opdocvalue (operationkey, optype, documentkey)
    VALUES (:OutOperationKey, :OpTypeKey, :DocumentKey);
END^

/* fin_p_entrylist_append: appends one entry to an operation; curr -1 and
   NULL both mean none. */
CREATE OR ALTER PROCEDURE fin_p_entrylist_append (
  operation INTEGER, debit INTEGER, credit INTEGER,
  sumncu DOUBLE PRECISION, sumcurr DOUBLE PRECISION, curr INTEGER,
  comment VARCHAR(254), externalkey VARCHAR(60))
RETURNS (EntryId INTEGER)
AS
BEGIN
  IF (curr = -1) THEN curr = NULL;
  INSERT INTO fin_entrylist (operationkey, debit, credit, sumncu, sumcurr, curr, comment, externalkey)
  VALUES (:operation, :debit, :credit, :sumncu, :sumcurr, :curr, :comment, :externalkey)
  RETURNING id INTO :EntryId;
END^

/* fin_p_getantypevalue: the analyses an entry side on this account carries,
   one row per analysis level of the account in level order: analyzeid is
   the level's analysis kind, valueid the value the account fixes for it or
   0. The layout belongs to the account, so the entry template and the side
   do not change the answer. */
CREATE OR ALTER PROCEDURE fin_p_getantypevalue (accountkey INTEGER, entrytypekey INTEGER, side INTEGER)
RETURNS (analyzeid INTEGER, valueid INTEGER)
AS
BEGIN
  FOR SELECT analyzekey, COALESCE(fixedvalue, 0)
        FROM fin_accountanalyze
       WHERE accountkey = :accountkey
       ORDER BY levelno
        INTO :analyzeid, :valueid
  DO SUSPEND;
END^

/* fin_p_entryanalyze_insert: the value of one analysis of an entry side
   (DebitCredit 1 debit, 0 credit). A second value for the same analysis of
   the same side replaces the first. */
CREATE OR ALTER PROCEDURE fin_p_entryanalyze_insert (
  entrykey INTEGER, analyzetable INTEGER, analyzevalue INTEGER, DebitCredit INTEGER)
AS
BEGIN
  UPDATE OR INSERT INTO fin_entryanalyze (entrykey, debitcredit, analyzekey, analyzevalue)
  VALUES (:entrykey, :DebitCredit, :analyzetable, :analyzevalue)
  MATCHING (entrykey, debitcredit, analyzekey);
END^

/* fin_p_opanalyzeval_insert: the value of one analysis of an operation; a
   second value for the same analysis replaces the first. */
CREATE OR ALTER PROCEDURE fin_p_opanalyzeval_insert (
  operationkey INTEGER, analyzetable INTEGER, analyzevalue INTEGER)
AS
BEGIN
  UPDATE OR INSERT INTO fin_opanalyzeval (operationkey, analyzekey, analyzevalue)
  VALUES (:operationkey, :analyzetable, :analyzevalue)
  MATCHING (operationkey, analyzekey);
END^

/* fin_p_deleteoperation: deletes the operations of a type with everything
   attached: Alloperation 1 every operation of the type whatever its date,
   otherwise those dated within the period (both ends included). */
CREATE OR ALTER PROCEDURE fin_p_deleteoperation (
  optypekey INTEGER, datebegin DATE, dateend DATE, Alloperation INTEGER)
AS
DECLARE VARIABLE k INTEGER;
BEGIN
  FOR SELECT operationkey FROM fin_operation
       WHERE type = :optypekey
         AND (:Alloperation = 1 OR commitdate BETWEEN :datebegin AND :dateend)
        INTO :k
  DO
    EXECUTE PROCEDURE fin_p_operation_delete(:k);
END^

SET TERM ; ^
