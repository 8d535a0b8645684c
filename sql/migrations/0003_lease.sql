/* The lease module's own tables (prefix rent_).

   Every table has the integer key id. Contracts, invoices, pay bills and
   reckoning types take theirs from key procedures before the row is written;
   every other table gets its key from its sequence when the row arrives
   without one.

   Deletes: a row that other rows still reference cannot be deleted (the
   client reports "in use"). A contract takes its positions, their dated
   values and its supplements with it, and a position its debt balances, so
   that an un-billed contract can be deleted; once invoices, pay bills or
   violations point at it, the delete is refused. The trees of print forms
   and reports keep 0 or NULL at the top and have no reference on parent. */

/* ------------------------------------------------------------ reference data */

CREATE TABLE rent_location (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_location (id),
  name            d_str60,
  externalkey     d_int
);

CREATE TABLE rent_objecttype (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_objecttype (id),
  name            d_str60,
  externalkey     d_int
);

/* useful: 1 while an open contract rents the object (kept by the contract
   dialog, read by rent_p_useobject). */
CREATE TABLE rent_object (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_object (id),
  name            d_str60,
  locationkey     d_key REFERENCES rent_location (id),
  objecttypekey   d_key REFERENCES rent_objecttype (id),
  description     d_str254,
  attribute       d_str60,
  boolattribute   d_flag DEFAULT 0,
  coef1           d_float,
  coef2           d_float,
  coef3           d_float,
  complete        d_flag DEFAULT 0,
  disabled        d_flag DEFAULT 0,
  isgroup         d_flag DEFAULT 0,
  useful          d_flag DEFAULT 0,
  externalkey     d_int
);
CREATE INDEX rent_object_name ON rent_object (name);

CREATE TABLE rent_payment (
  id              d_key NOT NULL PRIMARY KEY,
  name            d_str60,
  shortname       d_str20,
  externalkey     d_int
);

CREATE TABLE rent_invoicetype (
  id              d_key NOT NULL PRIMARY KEY,
  name            d_str60,
  externalkey     d_int
);

/* ------------------------------------------------------- reckoning and prices */

CREATE TABLE rent_typereckoning (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_typereckoning (id),
  name            d_str60,
  description     d_str254
);
CREATE INDEX rent_typereckoning_name ON rent_typereckoning (name);

/* The steps of a reckoning type, run in number order; rounding NULL = none. */
CREATE TABLE rent_reckoning (
  id              d_key NOT NULL PRIMARY KEY,
  typereckoningkey d_key NOT NULL REFERENCES rent_typereckoning (id),
  number          d_int,
  name            d_str60,
  formula         d_str254,
  rounding        d_float
);
CREATE INDEX rent_reckoning_type ON rent_reckoning (typereckoningkey, number);

CREATE TABLE rent_service (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_service (id),
  name            d_str60,
  priority        d_int,
  mainservice     d_key REFERENCES rent_service (id),
  startdate       d_date,
  enddate         d_date,
  currservice     d_flag DEFAULT 0,
  printservice    d_flag DEFAULT 1,
  rejectdebt      d_flag DEFAULT 1,
  description1    d_str254,
  description2    d_str254,
  description3    d_str254,
  externalkey     d_int
);
CREATE INDEX rent_service_name ON rent_service (name);

CREATE TABLE rent_servicevalue (
  id              d_key NOT NULL PRIMARY KEY,
  servicekey      d_key NOT NULL REFERENCES rent_service (id),
  servicedate     d_date,
  servicevalue    d_float
);
CREATE INDEX rent_servicevalue_date ON rent_servicevalue (servicekey, servicedate);

/* rentoperation: 0 invoice line, 1 pay-bill line, 2..4 exchange differences;
   typecustomer: a customer kind; operationkey: the bookkeeping type posted. */
CREATE TABLE rent_serviceoperation (
  id              d_key NOT NULL PRIMARY KEY,
  servicekey      d_key NOT NULL REFERENCES rent_service (id),
  rentoperation   d_int,
  typecustomer    d_int,
  operationkey    d_key REFERENCES fin_optype (optypekey)
);

/* The price list, a tree for grouping. objectkey NULL: any object.
   ncureckoning: 1 the formula gives the NCU price, 0 the currency price. */
CREATE TABLE rent_servicecost (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_servicecost (id),
  servicekey      d_key REFERENCES rent_service (id),
  objectkey       d_key REFERENCES rent_object (id),
  currkey         d_key REFERENCES fin_curr (id),
  costncu         d_money,
  costcurr        d_money,
  typereckoningkey d_key REFERENCES rent_typereckoning (id),
  ncureckoning    d_flag
);
CREATE INDEX rent_servicecost_service ON rent_servicecost (servicekey, objectkey);

/* ------------------------------------------------------------------ contracts */

CREATE TABLE rent_contract (
  id              d_key NOT NULL PRIMARY KEY,
  customerkey     d_key REFERENCES cst_customer (customerkey),
  currkey         d_key REFERENCES fin_curr (id),
  supcontractkey  d_key REFERENCES rent_contract (id),
  number          d_str8,
  name            d_str60,
  signdate        d_date,
  expriredate     d_date,
  actiondate      d_date,
  paymentday      d_int,
  paymentkey      d_key REFERENCES rent_payment (id),
  sumncu          d_money,
  sumcurr         d_money,
  disabled        d_flag DEFAULT 0,
  filename        d_str255
);
CREATE INDEX rent_contract_number ON rent_contract (number);

CREATE TABLE rent_contractservice (
  id              d_key NOT NULL PRIMARY KEY,
  contractkey     d_key NOT NULL REFERENCES rent_contract (id) ON DELETE CASCADE,
  servicekey      d_key REFERENCES rent_service (id),
  objectkey       d_key REFERENCES rent_object (id),
  costncu         d_money,
  costcurr        d_money,
  typereckoningkey d_key REFERENCES rent_typereckoning (id),
  ncureckoning    d_flag,
  countobject     d_float,
  description     d_str180,
  description2    d_str180
);

CREATE TABLE rent_contractservicevalue (
  id              d_key NOT NULL PRIMARY KEY,
  contractservicekey d_key NOT NULL REFERENCES rent_contractservice (id) ON DELETE CASCADE,
  contractservicedate d_date,
  contractservicevalue d_float
);
CREATE INDEX rent_contractservicevalue_date ON rent_contractservicevalue (contractservicekey, contractservicedate);

CREATE TABLE rent_supplement (
  id              d_key NOT NULL PRIMARY KEY,
  contractkey     d_key NOT NULL REFERENCES rent_contract (id) ON DELETE CASCADE,
  number          d_str20,
  name            d_str60,
  supdate         d_date,
  description     d_str254,
  filename        d_str255
);

/* -------------------------------------------------------- invoices, payments */

CREATE TABLE rent_invoice (
  id              d_key NOT NULL PRIMARY KEY,
  number          d_str20,
  invoicedate     d_date,
  operationdate   d_date,
  expiredate      d_date,
  information     d_str254,
  customerkey     d_key REFERENCES cst_customer (customerkey),
  contractkey     d_key REFERENCES rent_contract (id),
  paymentkey      d_key REFERENCES rent_payment (id),
  invoicetypekey  d_key REFERENCES rent_invoicetype (id),
  currkey         d_key REFERENCES fin_curr (id),
  sumncu          d_money
);
CREATE INDEX rent_invoice_date ON rent_invoice (invoicedate);

CREATE TABLE rent_invoiceservice (
  id              d_key NOT NULL PRIMARY KEY,
  invoicekey      d_key NOT NULL REFERENCES rent_invoice (id),
  contractservicekey d_key REFERENCES rent_contractservice (id),
  costncu         d_money,
  costcurr        d_money,
  description     d_str20
);

/* operationkey: the bookkeeping operation an imported pay bill was made from. */
CREATE TABLE rent_paybill (
  id              d_key NOT NULL PRIMARY KEY,
  number          d_str8,
  paybilldate     d_date,
  operationdate   d_date,
  customerkey     d_key REFERENCES cst_customer (customerkey),
  paymentkey      d_key REFERENCES rent_payment (id),
  currkey         d_key REFERENCES fin_curr (id),
  sumncu          d_money,
  sumcurr         d_money,
  operationkey    d_key
);
CREATE INDEX rent_paybill_date ON rent_paybill (paybilldate);
CREATE INDEX rent_paybill_operation ON rent_paybill (operationkey);

CREATE TABLE rent_paybillrelat (
  id              d_key NOT NULL PRIMARY KEY,
  paybillkey      d_key NOT NULL REFERENCES rent_paybill (id),
  contractservicekey d_key REFERENCES rent_contractservice (id),
  costncu         d_money,
  costcurr        d_money
);

/* ---------------------------------------------------------------------- debts */

/* What each booked document line did to the debt of its position, signed:
   an invoice line raises it, a pay-bill line lowers it. Withdrawing a
   document removes exactly what it booked, whatever its lines became. */
CREATE TABLE rent_debtmove (
  id              d_key NOT NULL PRIMARY KEY,
  contractservicekey d_key NOT NULL REFERENCES rent_contractservice (id),
  debtdate        d_date NOT NULL,
  costncu         d_money,
  costcurr        d_money,
  invoicekey      d_key REFERENCES rent_invoice (id),
  paybillkey      d_key REFERENCES rent_paybill (id)
);
CREATE INDEX rent_debtmove_cs_date ON rent_debtmove (contractservicekey, debtdate);

/* The balance of a position after all moves dated on or before debtdate,
   one row per position and date that has moves. Positive: owed. */
CREATE TABLE rent_debt (
  id              d_key NOT NULL PRIMARY KEY,
  contractservicekey d_key NOT NULL REFERENCES rent_contractservice (id) ON DELETE CASCADE,
  debtdate        d_date NOT NULL,
  costncu         d_money,
  costcurr        d_money,
  UNIQUE (contractservicekey, debtdate)
);
CREATE INDEX rent_debt_date ON rent_debt (debtdate);
CREATE DESCENDING INDEX rent_debt_latest ON rent_debt (contractservicekey, debtdate);

CREATE TABLE rent_viotation (
  id              d_key NOT NULL PRIMARY KEY,
  number          d_str20,
  viotationdate   d_date,
  customerkey     d_key REFERENCES cst_customer (customerkey),
  contractkey     d_key REFERENCES rent_contract (id),
  currkey         d_key REFERENCES fin_curr (id),
  costncu         d_money,
  costcurr        d_money,
  info            d_str254
);

/* ----------------------------------------------------------------- variables */

/* Names are kept upper case (trigger below): formulas find a variable
   whatever case they write it in, and two names differing only in case
   cannot both exist. */
CREATE TABLE rent_variable (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_variable (id),
  name            d_str60 NOT NULL UNIQUE,
  description     d_str180,
  lockobject      d_flag DEFAULT 0,
  lockservice     d_flag DEFAULT 0,
  lockcustomer    d_flag DEFAULT 0
);

/* One value per variable and combination of bindings, NULL counting as a
   value of its own (the unique index below). */
CREATE TABLE rent_valuevariable (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_valuevariable (id),
  variablekey     d_key NOT NULL REFERENCES rent_variable (id),
  objectkey       d_key REFERENCES rent_object (id),
  servicekey      d_key REFERENCES rent_service (id),
  customerkey     d_key REFERENCES cst_customer (customerkey),
  valuevariable   d_float
);
CREATE UNIQUE INDEX rent_valuevariable_binding ON rent_valuevariable
  COMPUTED BY (variablekey || '/' || COALESCE(objectkey, 0) || '/' || COALESCE(servicekey, 0)
               || '/' || COALESCE(customerkey, 0));
CREATE INDEX rent_valuevariable_variable ON rent_valuevariable (variablekey);

/* ------------------------------------------------------------ plan, documents */

/* A figure outlives the object it showed: the tie is cleared. */
CREATE TABLE rent_objectgraph (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key REFERENCES rent_objectgraph (id),
  name            d_str60,
  objectkey       d_key REFERENCES rent_object (id) ON DELETE SET NULL,
  x1              d_int,
  y1              d_int,
  x2              d_int,
  y2              d_int,
  graphtype       d_int DEFAULT 0,
  linecolor       d_str30,
  graphcolor      d_str30,
  uselinecolor    d_str30,
  usegraphcolor   d_str30,
  linewidth       d_int DEFAULT 1,
  objectfontname  d_str60,
  objectfontsize  d_int,
  objectfontcolor d_str30,
  objectfontstyle d_str8
);

CREATE TABLE rent_printdocument (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key,
  name            d_str100,
  path            d_str255,
  typedocument    d_int,
  registername    d_str100,
  registerpath    d_str255,
  registertable   d_str60,
  userkey         d_key,
  flag            d_int
);

CREATE TABLE rent_printreport (
  id              d_key NOT NULL PRIMARY KEY,
  parent          d_key,
  name            d_str100,
  filename        d_str255,
  typereport      d_int,
  icon            d_int,
  textsql         d_text,
  userkey         d_key
);

/* A denomination: from denomdate on, coeff old units of the currency make
   one new unit. */
CREATE TABLE rent_denomination (
  id              d_key NOT NULL PRIMARY KEY,
  number          d_str20,
  denomdate       d_date,
  currkey         d_key REFERENCES fin_curr (id),
  coeff           d_float,
  description     d_str254
);

/* ---------------------------------------------------------- keys and triggers */

CREATE SEQUENCE gen_rent_location;
CREATE SEQUENCE gen_rent_objecttype;
CREATE SEQUENCE gen_rent_object;
CREATE SEQUENCE gen_rent_payment;
CREATE SEQUENCE gen_rent_invoicetype;
CREATE SEQUENCE gen_rent_typereckoning;
CREATE SEQUENCE gen_rent_reckoning;
CREATE SEQUENCE gen_rent_service;
CREATE SEQUENCE gen_rent_servicevalue;
CREATE SEQUENCE gen_rent_serviceoperation;
CREATE SEQUENCE gen_rent_servicecost;
CREATE SEQUENCE gen_rent_contract;
CREATE SEQUENCE gen_rent_contractservice;
CREATE SEQUENCE gen_rent_contractservicevalue;
CREATE SEQUENCE gen_rent_supplement;
CREATE SEQUENCE gen_rent_invoice;
CREATE SEQUENCE gen_rent_invoiceservice;
CREATE SEQUENCE gen_rent_paybill;
CREATE SEQUENCE gen_rent_paybillrelat;
CREATE SEQUENCE gen_rent_debtmove;
CREATE SEQUENCE gen_rent_debt;
CREATE SEQUENCE gen_rent_viotation;
CREATE SEQUENCE gen_rent_variable;
CREATE SEQUENCE gen_rent_valuevariable;
CREATE SEQUENCE gen_rent_objectgraph;
CREATE SEQUENCE gen_rent_printdocument;
CREATE SEQUENCE gen_rent_printreport;
CREATE SEQUENCE gen_rent_denomination;

SET TERM ^ ;

CREATE TRIGGER rent_location_bi FOR rent_location ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_location; END^

CREATE TRIGGER rent_objecttype_bi FOR rent_objecttype ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_objecttype; END^

CREATE TRIGGER rent_object_bi FOR rent_object ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_object; END^

CREATE TRIGGER rent_payment_bi FOR rent_payment ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_payment; END^

CREATE TRIGGER rent_invoicetype_bi FOR rent_invoicetype ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_invoicetype; END^

CREATE TRIGGER rent_reckoning_bi FOR rent_reckoning ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_reckoning; END^

CREATE TRIGGER rent_service_bi FOR rent_service ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_service; END^

CREATE TRIGGER rent_servicevalue_bi FOR rent_servicevalue ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_servicevalue; END^

CREATE TRIGGER rent_serviceoperation_bi FOR rent_serviceoperation ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_serviceoperation; END^

CREATE TRIGGER rent_servicecost_bi FOR rent_servicecost ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_servicecost; END^

CREATE TRIGGER rent_contractservice_bi FOR rent_contractservice ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_contractservice; END^

CREATE TRIGGER rent_contractservicevalue_bi FOR rent_contractservicevalue ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_contractservicevalue; END^

CREATE TRIGGER rent_supplement_bi FOR rent_supplement ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_supplement; END^

CREATE TRIGGER rent_invoiceservice_bi FOR rent_invoiceservice ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_invoiceservice; END^

CREATE TRIGGER rent_paybillrelat_bi FOR rent_paybillrelat ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_paybillrelat; END^

CREATE TRIGGER rent_debtmove_bi FOR rent_debtmove ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_debtmove; END^

CREATE TRIGGER rent_debt_bi FOR rent_debt ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_debt; END^

CREATE TRIGGER rent_viotation_bi FOR rent_viotation ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_viotation; END^

CREATE TRIGGER rent_variable_biu FOR rent_variable ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
BEGIN
  IF (INSERTING AND NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_variable;
  NEW.name = UPPER(NEW.name);
END^

CREATE TRIGGER rent_valuevariable_bi FOR rent_valuevariable ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_valuevariable; END^

CREATE TRIGGER rent_objectgraph_bi FOR rent_objectgraph ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_objectgraph; END^

CREATE TRIGGER rent_printdocument_bi FOR rent_printdocument ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_printdocument; END^

CREATE TRIGGER rent_printreport_bi FOR rent_printreport ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_printreport; END^

CREATE TRIGGER rent_denomination_bi FOR rent_denomination ACTIVE BEFORE INSERT POSITION 0
AS BEGIN IF (NEW.id IS NULL) THEN NEW.id = NEXT VALUE FOR gen_rent_denomination; END^

SET TERM ; ^

/* ------------------------------------------------ constants the module needs */

/* The operation types and analysis kinds the lease module relies on. */
INSERT INTO fin_optype (optypekey, name) VALUES (1700, 'Платежи из бухгалтерии');
INSERT INTO fin_optype (optypekey, name) VALUES (1800, 'Операции для экспорта в бухгалтерию');

INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (10, 'Клиент', 1, 'cst_customer');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (610, 'Услуга', NULL, 'rent_service');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (620, 'Объект аренды', 2, 'rent_object');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (630, 'Тип объекта', NULL, 'rent_objecttype');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (640, 'Место положения', NULL, 'rent_location');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (650, 'Форма оплаты', 11, 'rent_payment');
INSERT INTO fin_analyzetable (id, name, externalkey, tablename) VALUES (660, 'Тип задолженности', NULL, 'rent_invoicetype');
