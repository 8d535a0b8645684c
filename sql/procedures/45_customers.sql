/* The customer directory: deleting a customer, bank accounts and banks, the
   filtered directory lists and the printable values of a customer. */
SET TERM ^ ;

/* cst_p_deletecustomer: deletes a customer with the details that belong to
   it alone (enterprise or person details, contact person, own bank
   accounts, attributes). A customer still named elsewhere (contracts,
   invoices, pay bills, variable values, or as the bank of someone's
   account) is refused by the database, and nothing is deleted. */
CREATE OR ALTER PROCEDURE cst_p_deletecustomer (customerkey INTEGER)
AS
BEGIN
  DELETE FROM cst_custattr WHERE customerkey = :customerkey;
  DELETE FROM ir_executor WHERE customerkey = :customerkey;
  DELETE FROM cst_person WHERE customerkey = :customerkey;
  DELETE FROM cst_factory WHERE customerkey = :customerkey;
  DELETE FROM cst_bankaccount WHERE customerkey = :customerkey;
  DELETE FROM cst_customer WHERE customerkey = :customerkey;
END^

/* cst_p_bankaccountlist: the bank accounts of a customer (NULL: of every
   customer) with the bank's name, by account name. state NULL lists all,
   0 the active accounts only, 1 the disabled ones. */
CREATE OR ALTER PROCEDURE cst_p_bankaccountlist (acustomerkey INTEGER, state SMALLINT)
RETURNS (bankaccountkey INTEGER, name d_str60, bankkey INTEGER, bankname d_str60,
         account d_str40, customerkey INTEGER, disabled SMALLINT)
AS
BEGIN
  FOR SELECT a.bankaccountkey, a.name, a.bankkey, b.name, a.account, a.customerkey, a.disabled
        FROM cst_bankaccount a LEFT JOIN cst_customer b ON b.customerkey = a.bankkey
       WHERE (:acustomerkey IS NULL OR a.customerkey = :acustomerkey)
         AND (:state IS NULL OR COALESCE(a.disabled, 0) = :state)
       ORDER BY a.name, a.bankaccountkey
        INTO :bankaccountkey, :name, :bankkey, :bankname, :account, :customerkey, :disabled
  DO SUSPEND;
END^

/* cst_p_bank_list: the banks (customers of kind 2) by name. disabledvalue
   NULL or -1 lists all, 0 the active, 1 the inactive ones. name is the
   bank's own name; displayname adds the bank code (МФО) where stand puts
   it, as in an address: 0 or NULL not shown, 1 before, 2 after the name. */
CREATE OR ALTER PROCEDURE cst_p_bank_list (disabledvalue INTEGER, stand INTEGER)
RETURNS (customerkey INTEGER, name d_str60, displayname d_str100, mfo d_str20, code d_str20,
         disabled SMALLINT)
AS
BEGIN
  FOR SELECT c.customerkey, c.name, TRIM(f.mfo), f.code, c.disabled
        FROM cst_customer c LEFT JOIN cst_factory f ON f.customerkey = c.customerkey
       WHERE c.kind = 2
         AND (:disabledvalue IS NULL OR :disabledvalue = -1 OR COALESCE(c.disabled, 0) = :disabledvalue)
       ORDER BY c.name, c.customerkey
        INTO :customerkey, :name, :mfo, :code, :disabled
  DO
  BEGIN
    displayname = name;
    IF (COALESCE(mfo, '') <> '' AND stand = 1) THEN displayname = mfo || ' ' || name;
    ELSE IF (COALESCE(mfo, '') <> '' AND stand = 2) THEN displayname = name || ' ' || mfo;
    SUSPEND;
  END
END^

/* cst_p_client_listex: the customers matching the directory filter, by name.
   - cstkind 2 lists the banks; 1 lists every customer that is not a bank
     (enterprises, private persons and entrepreneurs: the directory has no
     other list for the last two); 3 or 4 that kind only; NULL or 0 all.
   - disabledvalue -1 any state, 0 active (NULL counts as active), 1 inactive;
     companykindvalue, propertykindvalue -1 any, else that key.
   - placevalue -1 any, else customers whose address lies in that place or
     any place below it (a town finds its streets).
   - each use.../...mask pair compares one column by fin_f_textmatch: -1 off,
     0 equals, 1 contains, 2 starts with, 3 ends with, without letter case. */
CREATE OR ALTER PROCEDURE cst_p_client_listex (
  disabledvalue INTEGER, companykindvalue INTEGER, propertykindvalue INTEGER,
  usename INTEGER, namemask d_str1000,
  usezipcode INTEGER, zipcodemask d_str1000,
  placevalue INTEGER,
  usepobox INTEGER, poboxmask d_str1000,
  useunn INTEGER, unnmask d_str1000,
  useokpo INTEGER, okpomask d_str1000,
  usephone INTEGER, phonemask d_str1000,
  usefax INTEGER, faxmask d_str1000,
  useemail INTEGER, emailmask d_str1000,
  useurl INTEGER, urlmask d_str1000,
  cstkind INTEGER)
RETURNS (customerkey INTEGER, id INTEGER, kind INTEGER, name d_str60, fullname d_str180,
         code d_str20, companykindkey INTEGER, propertykindkey INTEGER, placekey INTEGER,
         zipcode d_str10, pobox d_str20, domicile d_str254, phone d_str40, fax d_str40,
         email d_str60, url d_str80, unn d_str20, okpo d_str20, okonh d_str20, soato d_str20,
         soou d_str20, externalkey INTEGER, disabled SMALLINT,
         companykindname d_str20, propertykindname d_str60)
AS
BEGIN
  FOR SELECT c.customerkey, c.id, c.kind, c.name, c.fullname, c.code, c.companykindkey,
             c.propertykindkey, c.placekey, c.zipcode, c.pobox, c.domicile, c.phone, c.fax,
             c.email, c.url, c.unn, c.okpo, c.okonh, c.soato, c.soou, c.externalkey, c.disabled,
             ck.name, pk.name
        FROM cst_customer c
        LEFT JOIN fin_companykind ck ON ck.companykindkey = c.companykindkey
        LEFT JOIN fin_propertykind pk ON pk.propertykindkey = c.propertykindkey
       WHERE (COALESCE(:cstkind, 0) = 0
              OR (:cstkind = 1 AND c.kind <> 2)
              OR (:cstkind <> 1 AND c.kind = :cstkind))
         AND (COALESCE(:disabledvalue, -1) = -1 OR COALESCE(c.disabled, 0) = :disabledvalue)
         AND (COALESCE(:companykindvalue, -1) = -1 OR c.companykindkey = :companykindvalue)
         AND (COALESCE(:propertykindvalue, -1) = -1 OR c.propertykindkey = :propertykindvalue)
         AND (COALESCE(:placevalue, -1) <= 0 OR fin_f_tree_under(1, c.placekey, :placevalue) = 1)
         AND fin_f_textmatch(c.name, :usename, :namemask) = 1
         AND fin_f_textmatch(c.zipcode, :usezipcode, :zipcodemask) = 1
         AND fin_f_textmatch(c.pobox, :usepobox, :poboxmask) = 1
         AND fin_f_textmatch(c.unn, :useunn, :unnmask) = 1
         AND fin_f_textmatch(c.okpo, :useokpo, :okpomask) = 1
         AND fin_f_textmatch(c.phone, :usephone, :phonemask) = 1
         AND fin_f_textmatch(c.fax, :usefax, :faxmask) = 1
         AND fin_f_textmatch(c.email, :useemail, :emailmask) = 1
         AND fin_f_textmatch(c.url, :useurl, :urlmask) = 1
       ORDER BY c.name, c.customerkey
        INTO :customerkey, :id, :kind, :name, :fullname, :code, :companykindkey,
             :propertykindkey, :placekey, :zipcode, :pobox, :domicile, :phone, :fax,
             :email, :url, :unn, :okpo, :okonh, :soato, :soou, :externalkey, :disabled,
             :companykindname, :propertykindname
  DO SUSPEND;
END^

/* fin_p_customer_getvalue: the printable values of a customer; documents see
   each output as cust<name>. KodKAU is the customer's code in the
   bookkeeping system, NULL until the customer was transferred there. The
   bank details are those of the customer's first active account (by name).
   An unknown customer gives NULL everywhere. */
CREATE OR ALTER PROCEDURE fin_p_customer_getvalue (customerkey INTEGER)
RETURNS (KodKAU INTEGER, name d_str60, fullname d_str180, code d_str20, kind INTEGER,
         kindname d_str30, zipcode d_str10, pobox d_str20, address d_str1000,
         domicile d_str254, phone d_str40, fax d_str40, email d_str60, url d_str80,
         unn d_str20, okpo d_str20, okonh d_str20, soato d_str20, soou d_str20,
         companykind d_str20, propertykind d_str60,
         director d_str60, bookkeeper d_str60,
         lastname d_str40, firstname d_str40, medname d_str40,
         psprtseria d_str10, psprtnumber d_str20, psprtdate DATE, psprtadmin d_str180,
         regnumber d_str30, regdate DATE, regadmin d_str180,
         account d_str40, bankname d_str60, bankmfo d_str20,
         contactname d_str60, contactphone d_str40)
AS
DECLARE VARIABLE placekey INTEGER;
BEGIN
  SELECT c.externalkey, c.name, c.fullname, c.code, c.kind, c.zipcode, c.pobox, c.placekey,
         c.domicile, c.phone, c.fax, c.email, c.url, c.unn, c.okpo, c.okonh, c.soato, c.soou,
         ck.name, pk.name
    FROM cst_customer c
    LEFT JOIN fin_companykind ck ON ck.companykindkey = c.companykindkey
    LEFT JOIN fin_propertykind pk ON pk.propertykindkey = c.propertykindkey
   WHERE c.customerkey = :customerkey
    INTO :KodKAU, :name, :fullname, :code, :kind, :zipcode, :pobox, :placekey,
         :domicile, :phone, :fax, :email, :url, :unn, :okpo, :okonh, :soato, :soou,
         :companykind, :propertykind;
  IF (ROW_COUNT = 0) THEN EXIT;

  kindname = DECODE(kind, 1, 'Предприятие', 2, 'Банк', 3, 'Физическое лицо', 4, 'Частный предприниматель');
  EXECUTE PROCEDURE fin_p_plc_place2str(:placekey) RETURNING_VALUES :address;

  SELECT director, bookkeeper FROM cst_factory WHERE customerkey = :customerkey
    INTO :director, :bookkeeper;
  SELECT lastname, name, medname, psprtseria, psprtnumber, psprtdate, psprtadmin,
         regnumber, regdate, regadmin
    FROM cst_person WHERE customerkey = :customerkey
    INTO :lastname, :firstname, :medname, :psprtseria, :psprtnumber, :psprtdate, :psprtadmin,
         :regnumber, :regdate, :regadmin;
  SELECT FIRST 1 a.account, b.name, f.mfo
    FROM cst_bankaccount a
    LEFT JOIN cst_customer b ON b.customerkey = a.bankkey
    LEFT JOIN cst_factory f ON f.customerkey = a.bankkey
   WHERE a.customerkey = :customerkey AND COALESCE(a.disabled, 0) = 0
   ORDER BY a.name, a.bankaccountkey
    INTO :account, :bankname, :bankmfo;
  SELECT name, phone FROM ir_executor WHERE customerkey = :customerkey
    INTO :contactname, :contactphone;
END^

SET TERM ; ^
