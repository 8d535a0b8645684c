/* The exchange with the bookkeeping system: the entry templates the import
   offers, the entries the export sends, and the take-over of its clients. */

CREATE OR ALTER EXCEPTION fin_e_customer_import 'Клиент не принят';

SET TERM ^ ;

/* fin_p_operation_entrylist: the entry templates of an operation type with
   the numbers of their accounts, in template order. */
CREATE OR ALTER PROCEDURE fin_p_operation_entrylist (optypekey INTEGER)
RETURNS (ID INTEGER, DEBIT d_str20, CREDIT d_str20, DEBITKEY INTEGER, CREDITKEY INTEGER,
         OPTYPE INTEGER)
AS
BEGIN
  FOR SELECT t.id, d.num, c.num, t.debitid, t.creditid, t.optypekey
        FROM fin_entrytype t
        LEFT JOIN fin_account d ON d.id = t.debitid
        LEFT JOIN fin_account c ON c.id = t.creditid
       WHERE t.optypekey = :optypekey
       ORDER BY t.id
        INTO :ID, :DEBIT, :CREDIT, :DEBITKEY, :CREDITKEY, :OPTYPE
  DO SUSPEND;
END^

/* fin_p_entry_kau: the analyses of one entry side as the export sends them:
   items "analysis key_value key." in the level order of the side's account,
   analyses the account does not list last. */
CREATE OR ALTER PROCEDURE fin_p_entry_kau (entrykey INTEGER, side INTEGER, accountkey INTEGER)
RETURNS (kau VARCHAR(1000))
AS
DECLARE VARIABLE a INTEGER;
DECLARE VARIABLE v INTEGER;
BEGIN
  kau = '';
  FOR SELECT e.analyzekey, e.analyzevalue
        FROM fin_entryanalyze e
        LEFT JOIN fin_accountanalyze l ON l.accountkey = :accountkey AND l.analyzekey = e.analyzekey
       WHERE e.entrykey = :entrykey AND e.debitcredit = :side AND e.analyzevalue IS NOT NULL
       ORDER BY COALESCE(l.levelno, 1000), e.analyzekey
        INTO :a, :v
  DO
    kau = kau || a || '_' || v || '.';
END^

/* fin_p_entrylist_export: the entries of the operations of a type dated
   within the period (both ends included), by date, operation and entry.
   NameOper is the operation type's name; COMMENT the entry's text (for an
   invoice line its number). */
CREATE OR ALTER PROCEDURE fin_p_entrylist_export (OpType INTEGER, DateBegin DATE, DateEnd DATE)
RETURNS (DateEntry DATE, Debit d_str20, Credit d_str20, DebitKAU VARCHAR(1000),
         CreditKAU VARCHAR(1000), SumNCU DOUBLE PRECISION, SumCurr DOUBLE PRECISION,
         NameOper d_str100, "COMMENT" d_str254)
AS
DECLARE VARIABLE entrykey INTEGER;
DECLARE VARIABLE debitkey INTEGER;
DECLARE VARIABLE creditkey INTEGER;
BEGIN
  FOR SELECT o.commitdate, e.id, e.debit, e.credit, d.num, c.num, e.sumncu, e.sumcurr,
             t.name, e.comment
        FROM fin_operation o
        JOIN fin_entrylist e ON e.operationkey = o.operationkey
        LEFT JOIN fin_optype t ON t.optypekey = o.type
        LEFT JOIN fin_account d ON d.id = e.debit
        LEFT JOIN fin_account c ON c.id = e.credit
       WHERE o.type = :OpType AND o.commitdate BETWEEN :DateBegin AND :DateEnd
       ORDER BY o.commitdate, o.operationkey, e.id
        INTO :DateEntry, :entrykey, :debitkey, :creditkey, :Debit, :Credit, :SumNCU, :SumCurr,
             :NameOper, :"COMMENT"
  DO
  BEGIN
    EXECUTE PROCEDURE fin_p_entry_kau(:entrykey, 1, :debitkey) RETURNING_VALUES :DebitKAU;
    EXECUTE PROCEDURE fin_p_entry_kau(:entrykey, 0, :creditkey) RETURNING_VALUES :CreditKAU;
    SUSPEND;
  END
END^

/* fin_f_text_date: a date written as text (YYYY-MM-DD or DD.MM.YYYY); NULL
   when empty or not a date. */
CREATE OR ALTER FUNCTION fin_f_text_date (t VARCHAR(255))
RETURNS DATE
AS
BEGIN
  IF (TRIM(COALESCE(t, '')) = '') THEN RETURN NULL;
  RETURN CAST(TRIM(t) AS DATE);
  WHEN ANY DO RETURN NULL;
END^

/* FIN_P_CUSTOMER_IMPORT: takes one client of the bookkeeping system over
   into the customer directory. The inputs are the fields of its client
   table in order, each as text; they mirror the outputs of
   fin_p_customer_getvalue (KodKAU first).
   - The customer is the one whose externalkey is KodKAU; a client not yet
     known becomes a new customer with that externalkey. A client without a
     numeric code is refused.
   - Its values replace the customer's: an empty text clears the value;
     kind keeps its value unless the text is 1 to 4 (a new customer: 1).
   - Company and property forms are matched by name, the enterprise details
     (director, chief accountant) and the person details are stored for the
     kinds that have them, the contact person always. The bank account is
     stored when a bank with that МФО exists; an account of the same number
     is updated.
   - The address and the kind's name are derived values and are not read
     back. */
CREATE OR ALTER PROCEDURE FIN_P_CUSTOMER_IMPORT (
  KodKAU VARCHAR(255), name VARCHAR(255), fullname VARCHAR(255), code VARCHAR(255),
  kind VARCHAR(255), kindname VARCHAR(255), zipcode VARCHAR(255), pobox VARCHAR(255),
  address VARCHAR(255), domicile VARCHAR(255), phone VARCHAR(255), fax VARCHAR(255),
  email VARCHAR(255), url VARCHAR(255), unn VARCHAR(255), okpo VARCHAR(255),
  okonh VARCHAR(255), soato VARCHAR(255), soou VARCHAR(255), companykind VARCHAR(255),
  propertykind VARCHAR(255), director VARCHAR(255), bookkeeper VARCHAR(255),
  lastname VARCHAR(255), firstname VARCHAR(255), medname VARCHAR(255),
  psprtseria VARCHAR(255), psprtnumber VARCHAR(255), psprtdate VARCHAR(255),
  psprtadmin VARCHAR(255), regnumber VARCHAR(255), regdate VARCHAR(255),
  regadmin VARCHAR(255), account VARCHAR(255), bankname VARCHAR(255), bankmfo VARCHAR(255),
  contactname VARCHAR(255), contactphone VARCHAR(255))
AS
DECLARE VARIABLE code_ INTEGER;
DECLARE VARIABLE ck INTEGER;
DECLARE VARIABLE k INTEGER;
DECLARE VARIABLE companykindkey INTEGER;
DECLARE VARIABLE propertykindkey INTEGER;
DECLARE VARIABLE bankkey INTEGER;
BEGIN
  BEGIN
    code_ = CAST(TRIM(KodKAU) AS INTEGER);
    WHEN ANY DO code_ = NULL;
  END
  IF (code_ IS NULL) THEN
    EXCEPTION fin_e_customer_import 'Код клиента "' || COALESCE(KodKAU, '') || '" не является числом';

  k = NULL;
  IF (TRIM(COALESCE(kind, '')) IN ('1', '2', '3', '4')) THEN k = CAST(TRIM(kind) AS INTEGER);
  SELECT FIRST 1 companykindkey FROM fin_companykind
   WHERE UPPER(TRIM(name)) = UPPER(TRIM(:companykind)) INTO :companykindkey;
  SELECT FIRST 1 propertykindkey FROM fin_propertykind
   WHERE UPPER(TRIM(name)) = UPPER(TRIM(:propertykind)) INTO :propertykindkey;

  ck = NULL;
  SELECT FIRST 1 customerkey FROM cst_customer WHERE externalkey = :code_ ORDER BY customerkey INTO :ck;
  IF (ck IS NULL) THEN
  BEGIN
    ck = NEXT VALUE FOR gen_cst_customer;
    WHILE (EXISTS (SELECT 1 FROM cst_customer WHERE customerkey = :ck)) DO
      ck = NEXT VALUE FOR gen_cst_customer;
    INSERT INTO cst_customer (customerkey, kind, externalkey, disabled)
    VALUES (:ck, COALESCE(:k, 1), :code_, 0);
  END

  UPDATE cst_customer
     SET kind = COALESCE(:k, kind),
         name = NULLIF(LEFT(TRIM(:name), 60), ''), fullname = NULLIF(LEFT(TRIM(:fullname), 180), ''),
         code = NULLIF(LEFT(TRIM(:code), 20), ''), zipcode = NULLIF(LEFT(TRIM(:zipcode), 10), ''),
         pobox = NULLIF(LEFT(TRIM(:pobox), 20), ''), domicile = NULLIF(LEFT(TRIM(:domicile), 254), ''),
         phone = NULLIF(LEFT(TRIM(:phone), 40), ''), fax = NULLIF(LEFT(TRIM(:fax), 40), ''),
         email = NULLIF(LEFT(TRIM(:email), 60), ''), url = NULLIF(LEFT(TRIM(:url), 80), ''),
         unn = NULLIF(LEFT(TRIM(:unn), 20), ''), okpo = NULLIF(LEFT(TRIM(:okpo), 20), ''),
         okonh = NULLIF(LEFT(TRIM(:okonh), 20), ''), soato = NULLIF(LEFT(TRIM(:soato), 20), ''),
         soou = NULLIF(LEFT(TRIM(:soou), 20), ''),
         companykindkey = :companykindkey, propertykindkey = :propertykindkey
   WHERE customerkey = :ck
   RETURNING kind INTO :k;

  IF (k IN (1, 2)) THEN
    UPDATE OR INSERT INTO cst_factory (customerkey, director, bookkeeper)
    VALUES (:ck, NULLIF(LEFT(TRIM(:director), 60), ''), NULLIF(LEFT(TRIM(:bookkeeper), 60), ''))
    MATCHING (customerkey);
  IF (k IN (3, 4)) THEN
    UPDATE OR INSERT INTO cst_person (customerkey, lastname, name, medname, psprtseria,
                                      psprtnumber, psprtdate, psprtadmin, regnumber, regdate,
                                      regadmin)
    VALUES (:ck, NULLIF(LEFT(TRIM(:lastname), 40), ''), NULLIF(LEFT(TRIM(:firstname), 40), ''),
            NULLIF(LEFT(TRIM(:medname), 40), ''), NULLIF(LEFT(TRIM(:psprtseria), 10), ''),
            NULLIF(LEFT(TRIM(:psprtnumber), 20), ''), fin_f_text_date(:psprtdate),
            NULLIF(LEFT(TRIM(:psprtadmin), 180), ''), NULLIF(LEFT(TRIM(:regnumber), 30), ''),
            fin_f_text_date(:regdate), NULLIF(LEFT(TRIM(:regadmin), 180), ''))
    MATCHING (customerkey);

  IF (TRIM(COALESCE(contactname, '')) <> '' OR TRIM(COALESCE(contactphone, '')) <> ''
      OR EXISTS (SELECT 1 FROM ir_executor WHERE customerkey = :ck)) THEN
    UPDATE OR INSERT INTO ir_executor (customerkey, name, phone)
    VALUES (:ck, NULLIF(LEFT(TRIM(:contactname), 60), ''), NULLIF(LEFT(TRIM(:contactphone), 40), ''))
    MATCHING (customerkey);

  IF (TRIM(COALESCE(account, '')) <> '' AND TRIM(COALESCE(bankmfo, '')) <> '') THEN
  BEGIN
    SELECT FIRST 1 c.customerkey FROM cst_customer c JOIN cst_factory f ON f.customerkey = c.customerkey
     WHERE c.kind = 2 AND TRIM(f.mfo) = TRIM(:bankmfo)
     ORDER BY c.customerkey
      INTO :bankkey;
    IF (bankkey IS NOT NULL) THEN
    BEGIN
      IF (EXISTS (SELECT 1 FROM cst_bankaccount WHERE customerkey = :ck AND TRIM(account) = TRIM(:account))) THEN
        UPDATE cst_bankaccount SET bankkey = :bankkey
         WHERE customerkey = :ck AND TRIM(account) = TRIM(:account);
      ELSE
        INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, account, disabled)
        VALUES (NEXT VALUE FOR gen_cst_bankaccount, :ck, :bankkey, LEFT(TRIM(:account), 40), LEFT(TRIM(:account), 40), 0);
    END
  END
END^

SET TERM ; ^
