/* The reference schema shared with the other modules of the product family:
   customers and their classifiers, places, currencies and rates, options,
   per-user grid layouts and the bookkeeping operations with their analyses.

   Conventions of every table of the database:
   - text is WIN1251 compared and sorted with PXW_CYRL (the domains below
     say so explicitly, whatever the database default is);
   - flags are SMALLINT 0/1, NULL reading as 0 unless a column says otherwise;
   - money is DOUBLE PRECISION (an amount in NCU and one in currency);
   - business dates are DATE: the client never stores a time of day, and a
     DATE column cannot let one slip into an "on or before" comparison;
   - a key the server assigns comes from a sequence through a BEFORE INSERT
     trigger that fills it only when the row arrives without one, so that
     imports and the demonstration data may bring their own keys. */

CREATE DOMAIN d_key AS INTEGER;
CREATE DOMAIN d_int AS INTEGER;
CREATE DOMAIN d_flag AS SMALLINT;
CREATE DOMAIN d_money AS DOUBLE PRECISION;
CREATE DOMAIN d_float AS DOUBLE PRECISION;
CREATE DOMAIN d_date AS DATE;
CREATE DOMAIN d_char1 AS VARCHAR(1) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str8 AS VARCHAR(8) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str10 AS VARCHAR(10) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str20 AS VARCHAR(20) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str30 AS VARCHAR(30) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str40 AS VARCHAR(40) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str60 AS VARCHAR(60) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str80 AS VARCHAR(80) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str100 AS VARCHAR(100) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str180 AS VARCHAR(180) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str254 AS VARCHAR(254) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str255 AS VARCHAR(255) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str1000 AS VARCHAR(1000) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_str8000 AS VARCHAR(8000) CHARACTER SET WIN1251 COLLATE PXW_CYRL;
CREATE DOMAIN d_text AS BLOB SUB_TYPE TEXT CHARACTER SET WIN1251;

/* ---------------------------------------------------------------- classifiers */

CREATE TABLE fin_companykind (
  companykindkey  d_key NOT NULL PRIMARY KEY,
  name            d_str20,
  fullname        d_str100
);

CREATE TABLE fin_propertykind (
  propertykindkey d_key NOT NULL PRIMARY KEY,
  name            d_str60
);

CREATE TABLE fin_branch (
  branchkey       d_key NOT NULL PRIMARY KEY,
  name            d_str60
);

CREATE TABLE fin_actcategory (
  actcategorykey  d_key NOT NULL PRIMARY KEY,
  name            d_str60
);

/* Kinds of places (country, region, town, street ...). stand tells where the
   abbreviation stands in an address: 0 not shown, 1 before, 2 after. */
CREATE TABLE fin_placekind (
  placekindkey    d_key NOT NULL PRIMARY KEY,
  grade           d_int,
  parent          d_key REFERENCES fin_placekind (placekindkey),
  abbr            d_str20,
  name            d_str60,
  stand           d_int DEFAULT 1,
  disabled        d_flag DEFAULT 0,
  security        d_int,
  icon            d_int,
  reserved        d_int
);

/* The tree of places used in addresses. inaddress and usehighlevel default
   to 1: a place takes part in the address, with the levels above it. */
CREATE TABLE fin_place (
  placekey        d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES fin_place (placekey),
  placekind       d_key REFERENCES fin_placekind (placekindkey),
  name            d_str60,
  comment         d_str180,
  inaddress       d_flag DEFAULT 1,
  usehighlevel    d_flag DEFAULT 1
);
CREATE INDEX fin_place_name ON fin_place (name);

/* ------------------------------------------------------------------ customers */

/* kind: 1 enterprise, 2 bank, 3 private person, 4 private entrepreneur.
   id always equals customerkey (trigger below): the lease tables join on id,
   the customer forms on customerkey. */
CREATE TABLE cst_customer (
  customerkey     d_key NOT NULL PRIMARY KEY,
  id              d_key NOT NULL UNIQUE,
  kind            d_int DEFAULT 1 NOT NULL,
  name            d_str60,
  fullname        d_str180,
  code            d_str20,
  companykindkey  d_key REFERENCES fin_companykind (companykindkey),
  propertykindkey d_key REFERENCES fin_propertykind (propertykindkey),
  placekey        d_key REFERENCES fin_place (placekey),
  zipcode         d_str10,
  pobox           d_str20,
  domicile        d_str254,
  phone           d_str40,
  fax             d_str40,
  email           d_str60,
  url             d_str80,
  unn             d_str20,
  okpo            d_str20,
  okonh           d_str20,
  soato           d_str20,
  soou            d_str20,
  externalkey     d_int,
  disabled        d_flag DEFAULT 0
);
CREATE INDEX cst_customer_name ON cst_customer (name);
CREATE INDEX cst_customer_kind ON cst_customer (kind);
CREATE INDEX cst_customer_externalkey ON cst_customer (externalkey);

CREATE TABLE cst_factory (
  customerkey     d_key NOT NULL PRIMARY KEY REFERENCES cst_customer (customerkey),
  director        d_str60,
  bookkeeper      d_str60,
  founddate       d_date,
  reception       d_str40,
  accounting      d_str40,
  personal        d_str40,
  mareketing      d_str40,
  supply          d_str40,
  sales           d_str40,
  mfo             d_str20,
  code            d_str20
);

CREATE TABLE cst_person (
  customerkey     d_key NOT NULL PRIMARY KEY REFERENCES cst_customer (customerkey),
  lastname        d_str40,
  name            d_str40,
  medname         d_str40,
  psprtseria      d_str10,
  psprtnumber     d_str20,
  psprtdate       d_date,
  psprtadmin      d_str180,
  regnumber       d_str30,
  regdate         d_date,
  regadmin        d_str180
);

CREATE TABLE ir_executor (
  customerkey     d_key NOT NULL PRIMARY KEY REFERENCES cst_customer (customerkey),
  name            d_str60,
  phone           d_str40,
  fax             d_str40,
  email           d_str60
);

/* bankkey names the bank, itself a customer of kind 2. */
CREATE TABLE cst_bankaccount (
  bankaccountkey  d_key NOT NULL PRIMARY KEY,
  customerkey     d_key NOT NULL REFERENCES cst_customer (customerkey),
  bankkey         d_key REFERENCES cst_customer (customerkey),
  name            d_str60,
  account         d_str40,
  disabled        d_flag DEFAULT 0
);

CREATE TABLE ph_attr (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES ph_attr (id),
  name            d_str60,
  shortname       d_str20,
  rating          d_int,
  tokem           d_str180,
  icon            d_int,
  disabled        d_flag DEFAULT 0,
  hotkey          d_int
);

/* Column order matters: the client inserts (customerkey, attrkey) by position. */
CREATE TABLE cst_custattr (
  customerkey     d_key NOT NULL REFERENCES cst_customer (customerkey),
  attrkey         d_key NOT NULL REFERENCES ph_attr (id),
  PRIMARY KEY (customerkey, attrkey)
);

/* ----------------------------------------------------------------- currencies */

/* place: position of the sign, 0 after the amount, 1 before it. */
CREATE TABLE fin_curr (
  id              d_key NOT NULL PRIMARY KEY,
  name            d_str60,
  shortname       d_str8,
  code            d_str10,
  sign            d_str10,
  place           d_flag DEFAULT 0,
  fullcentname    d_str60,
  shortcentname   d_str20,
  centbase        d_int,
  decdigits       d_int,
  disabled        d_flag DEFAULT 0,
  isncu           d_flag DEFAULT 0
);

/* One unit of fromcurr is coeff units of tocurr on fordate; one row per
   triple, the rate of a later date replacing it from that date on. */
CREATE TABLE fin_currrate (
  fromcurr        d_key NOT NULL REFERENCES fin_curr (id),
  tocurr          d_key NOT NULL REFERENCES fin_curr (id),
  fordate         d_date NOT NULL,
  coeff           d_float,
  PRIMARY KEY (fromcurr, tocurr, fordate)
);
CREATE DESCENDING INDEX fin_currrate_latest ON fin_currrate (fromcurr, tocurr, fordate);

/* -------------------------------------------------------------------- options */

/* userkey: a user's own option, -1 the default user's, NULL common to all.
   Names are kept upper case; one row per owner, subsystem and name. */
CREATE TABLE fin_options (
  optionkey       d_key NOT NULL PRIMARY KEY,
  userkey         d_key,
  subsystemkey    d_key NOT NULL,
  name            d_str60 NOT NULL,
  optionsvalue    d_str8000,
  optionstype     d_char1
);
CREATE UNIQUE INDEX fin_options_owner_name ON fin_options
  COMPUTED BY (COALESCE(userkey, -2147483648) || '|' || subsystemkey || '|' || name);
CREATE INDEX fin_options_name ON fin_options (subsystemkey, name);

/* --------------------------------------------------------------- grid layouts */

CREATE TABLE fin_rts (
  storekey        d_key NOT NULL PRIMARY KEY,
  userkey         d_key,
  context         d_int,
  tablename       d_str100,
  fontcolor       d_str30,
  fontsize        d_int,
  fontstyle       d_str8,
  fontname        d_str60,
  titlefontcolor  d_str30,
  titlefontsize   d_int,
  titlefontstyle  d_str8,
  titlefontname   d_str60,
  color           d_str30,
  titlecolor      d_str30,
  colorselected   d_str30,
  striped         d_flag,
  stripeone       d_str30,
  stripetwo       d_str30,
  scalecolumns    d_flag,
  condformat      d_flag,
  showlines       d_flag,
  settings        BLOB SUB_TYPE 0
);
CREATE INDEX fin_rts_owner ON fin_rts (userkey, context, tablename);

/* Deleting a layout on the settings page takes its columns with it. */
CREATE TABLE fin_rtsfield (
  fieldkey        d_key NOT NULL PRIMARY KEY,
  storekey        d_key NOT NULL REFERENCES fin_rts (storekey) ON DELETE CASCADE,
  fieldname       d_str60,
  fieldorder      d_int,
  visible         d_flag,
  displaylabel    d_str100,
  displayformat   d_str60,
  displaywidth    d_int,
  alignment       d_char1,
  editmask        d_str60,
  titlefontcolor  d_str30,
  titlefontsize   d_int,
  titlefontstyle  d_str8,
  titlefontname   d_str60,
  titlealignment  d_char1,
  titlecolor      d_str30,
  fontcolor       d_str30,
  fontsize        d_int,
  fontstyle       d_str8,
  fontname        d_str60,
  color           d_str30,
  resizeable      d_flag,
  maxwidth        d_int,
  minwidth        d_int
);

/* ----------------------------------------------------------------- bookkeeping */

/* Operation types (optypekey), e.g. 1700 payments imported as pay bills. */
CREATE TABLE fin_optype (
  optypekey       d_key NOT NULL PRIMARY KEY,
  name            d_str100
);

/* The chart of accounts that entry templates and entries name. */
CREATE TABLE fin_account (
  id              d_key NOT NULL PRIMARY KEY,
  num             d_str20 NOT NULL,
  name            d_str100,
  disabled        d_flag DEFAULT 0
);
CREATE UNIQUE INDEX fin_account_num ON fin_account (num);

/* Analysis kinds. tablename names the table whose rows are the values (it has
   id and externalkey); empty when the values live in fin_antablevalue. */
CREATE TABLE fin_analyzetable (
  id              d_key NOT NULL PRIMARY KEY,
  name            d_str60,
  externalkey     d_int,
  tablename       d_str80
);

CREATE TABLE fin_antablevalue (
  id              d_key NOT NULL PRIMARY KEY,
  analyzekey      d_key NOT NULL REFERENCES fin_analyzetable (id),
  externalkey     d_int,
  name            d_str100
);
CREATE INDEX fin_antablevalue_ext ON fin_antablevalue (analyzekey, externalkey);

/* The analyses each level of an account carries (levelno 1 to 4). */
CREATE TABLE fin_accountanalyze (
  accountkey      d_key NOT NULL REFERENCES fin_account (id),
  levelno         d_int NOT NULL,
  analyzekey      d_key NOT NULL REFERENCES fin_analyzetable (id),
  PRIMARY KEY (accountkey, levelno)
);

CREATE TABLE fin_optypeanalyze (
  optypekey       d_key NOT NULL REFERENCES fin_optype (optypekey),
  analyzekey      d_key NOT NULL REFERENCES fin_analyzetable (id),
  PRIMARY KEY (optypekey, analyzekey)
);

/* Entry templates: the amounts are formulas over SumNCU, SumCurr and the
   poster's variables. */
CREATE TABLE fin_entrytype (
  id              d_key NOT NULL PRIMARY KEY,
  optypekey       d_key NOT NULL REFERENCES fin_optype (optypekey),
  debitid         d_key REFERENCES fin_account (id),
  creditid        d_key REFERENCES fin_account (id),
  expression      d_str254,
  expressioncurr  d_str254,
  name            d_str100
);

CREATE TABLE fin_operation (
  operationkey    d_key NOT NULL PRIMARY KEY,
  type            d_key REFERENCES fin_optype (optypekey),
  commitdate      d_date,
  enterdate       d_date,
  duration        d_int,
  sumncu          d_money,
  sumcurr         d_money,
  curr            d_key REFERENCES fin_curr (id),
  subsystem       d_int,
  session         d_int,
  operator        d_int,
  cost            d_money,
  enterprise      d_int,
  system          d_int,
  process         d_int,
  subprocess      d_int,
  enterduration   d_int,
  obsolete        d_flag,
  script          d_str255,
  disabled        d_flag,
  security        d_int,
  reserved        d_int
);
CREATE INDEX fin_operation_type_date ON fin_operation (type, commitdate);

/* documentkey: for the lease module a rent_invoiceservice or rent_paybillrelat id. */
CREATE TABLE fin_opdocvalue (
  operationkey    d_key NOT NULL REFERENCES fin_operation (operationkey),
  optype          d_key NOT NULL,
  documentkey     d_key NOT NULL,
  PRIMARY KEY (operationkey, optype, documentkey)
);
CREATE INDEX fin_opdocvalue_document ON fin_opdocvalue (optype, documentkey);

CREATE TABLE fin_opanalyzeval (
  operationkey    d_key NOT NULL REFERENCES fin_operation (operationkey),
  analyzekey      d_key NOT NULL REFERENCES fin_analyzetable (id),
  analyzevalue    d_int,
  PRIMARY KEY (operationkey, analyzekey)
);

CREATE TABLE fin_entrylist (
  id              d_key NOT NULL PRIMARY KEY,
  operationkey    d_key NOT NULL REFERENCES fin_operation (operationkey),
  debit           d_key REFERENCES fin_account (id),
  credit          d_key REFERENCES fin_account (id),
  sumncu          d_money,
  sumcurr         d_money,
  curr            d_key REFERENCES fin_curr (id),
  comment         d_str254,
  externalkey     d_str60
);

/* debitcredit: 1 the debit side of the entry, 0 the credit side. */
CREATE TABLE fin_entryanalyze (
  entrykey        d_key NOT NULL REFERENCES fin_entrylist (id),
  debitcredit     d_flag NOT NULL,
  analyzekey      d_key NOT NULL REFERENCES fin_analyzetable (id),
  analyzevalue    d_int,
  PRIMARY KEY (entrykey, debitcredit, analyzekey)
);

/* ---------------------------------------------------------- keys and triggers */

/* Key procedures and insert triggers of one table share its sequence. */
CREATE SEQUENCE gen_fin_companykind;
CREATE SEQUENCE gen_fin_propertykind;
CREATE SEQUENCE gen_fin_branch;
CREATE SEQUENCE gen_fin_actcategory;
CREATE SEQUENCE gen_fin_placekind;
CREATE SEQUENCE gen_fin_place;
CREATE SEQUENCE gen_cst_customer;
CREATE SEQUENCE gen_cst_bankaccount;
CREATE SEQUENCE gen_ph_attr;
CREATE SEQUENCE gen_fin_curr;
CREATE SEQUENCE gen_fin_options;
CREATE SEQUENCE gen_fin_rts;
CREATE SEQUENCE gen_fin_rtsfield;
CREATE SEQUENCE gen_fin_account;
CREATE SEQUENCE gen_fin_antablevalue;
CREATE SEQUENCE gen_fin_entrytype;
CREATE SEQUENCE gen_fin_operation;
CREATE SEQUENCE gen_fin_entrylist;

SET TERM ^ ;

/* The customer key comes from cst_p_customer_customerkey; id mirrors it. A
   row arriving with only id (an import) takes that as its key. */
CREATE TRIGGER cst_customer_biu FOR cst_customer ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
BEGIN
  IF (INSERTING AND NEW.customerkey IS NULL) THEN
    NEW.customerkey = COALESCE(NEW.id, NEXT VALUE FOR gen_cst_customer);
  NEW.id = NEW.customerkey;
END^

CREATE TRIGGER ph_attr_bi FOR ph_attr ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_ph_attr;
END^

CREATE TRIGGER fin_curr_bi FOR fin_curr ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_fin_curr;
END^

/* Option names are matched whatever the case a caller writes them in. */
CREATE TRIGGER fin_options_biu FOR fin_options ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
BEGIN
  IF (INSERTING AND NEW.optionkey IS NULL) THEN NEW.optionkey = NEXT VALUE FOR gen_fin_options;
  NEW.name = UPPER(NEW.name);
  NEW.optionstype = UPPER(NEW.optionstype);
END^

CREATE TRIGGER fin_rtsfield_bi FOR fin_rtsfield ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.fieldkey IS NULL) THEN NEW.fieldkey = NEXT VALUE FOR gen_fin_rtsfield;
END^

CREATE TRIGGER fin_account_bi FOR fin_account ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_fin_account;
END^

CREATE TRIGGER fin_antablevalue_bi FOR fin_antablevalue ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_fin_antablevalue;
END^

CREATE TRIGGER fin_entrytype_bi FOR fin_entrytype ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_fin_entrytype;
END^

CREATE TRIGGER fin_operation_bi FOR fin_operation ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.operationkey IS NULL) THEN NEW.operationkey = NEXT VALUE FOR gen_fin_operation;
END^

CREATE TRIGGER fin_entrylist_bi FOR fin_entrylist ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_fin_entrylist;
END^

SET TERM ; ^
