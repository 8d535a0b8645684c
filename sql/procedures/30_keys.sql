/* Key procedures: each call hands out a key never handed out before. The
   keys come from sequences, which are outside transactions, so a key taken
   by a dialog that is then cancelled is simply never used. A table's key
   procedure and its insert trigger share one sequence. */
SET TERM ^ ;

/* rent_p_getcontractkey: a new contract's key (read as a row: SELECT * FROM rent_p_getcontractkey). */
CREATE OR ALTER PROCEDURE rent_p_getcontractkey
RETURNS (contractkey INTEGER)
AS
BEGIN
  contractkey = NEXT VALUE FOR gen_rent_contract;
  SUSPEND;
END^

/* rent_p_getinvoicekey: a new invoice's key, under both names its callers read. */
CREATE OR ALTER PROCEDURE rent_p_getinvoicekey
RETURNS (invoicekey INTEGER, id INTEGER)
AS
BEGIN
  invoicekey = NEXT VALUE FOR gen_rent_invoice;
  id = invoicekey;
END^

/* rent_p_getpaybillkey: a new pay bill's key. */
CREATE OR ALTER PROCEDURE rent_p_getpaybillkey
RETURNS (paybillkey INTEGER)
AS
BEGIN
  paybillkey = NEXT VALUE FOR gen_rent_paybill;
END^

/* rent_p_gettypereckoningkey: a new reckoning type's key. */
CREATE OR ALTER PROCEDURE rent_p_gettypereckoningkey
RETURNS (typereckoningkey INTEGER)
AS
BEGIN
  typereckoningkey = NEXT VALUE FOR gen_rent_typereckoning;
END^

/* cst_p_customer_customerkey: a new customer's key. */
CREATE OR ALTER PROCEDURE cst_p_customer_customerkey
RETURNS (customerkey INTEGER)
AS
BEGIN
  customerkey = NEXT VALUE FOR gen_cst_customer;
END^

/* cst_p_bankaccount_accountkey: a new bank account's key. */
CREATE OR ALTER PROCEDURE cst_p_bankaccount_accountkey
RETURNS (bankaccountkey INTEGER)
AS
BEGIN
  bankaccountkey = NEXT VALUE FOR gen_cst_bankaccount;
END^

/* cst_p_companykind_kindkey: a new company form's key. */
CREATE OR ALTER PROCEDURE cst_p_companykind_kindkey
RETURNS (companykindkey INTEGER)
AS
BEGIN
  companykindkey = NEXT VALUE FOR gen_fin_companykind;
END^

/* cst_p_propertykind_kindkey: a new form of ownership's key. */
CREATE OR ALTER PROCEDURE cst_p_propertykind_kindkey
RETURNS (propertykindkey INTEGER)
AS
BEGIN
  propertykindkey = NEXT VALUE FOR gen_fin_propertykind;
END^

/* cst_p_branchkey: a new branch of industry's key. */
CREATE OR ALTER PROCEDURE cst_p_branchkey
RETURNS (branchkey INTEGER)
AS
BEGIN
  branchkey = NEXT VALUE FOR gen_fin_branch;
END^

/* cst_p_actcategorykey: a new kind of activity's key. */
CREATE OR ALTER PROCEDURE cst_p_actcategorykey
RETURNS (actcategorykey INTEGER)
AS
BEGIN
  actcategorykey = NEXT VALUE FOR gen_fin_actcategory;
END^

/* cst_p_placekey: a new place's key. */
CREATE OR ALTER PROCEDURE cst_p_placekey
RETURNS (placekey INTEGER)
AS
BEGIN
  placekey = NEXT VALUE FOR gen_fin_place;
END^

/* cst_p_placekindkey: a new kind of place's key. */
CREATE OR ALTER PROCEDURE cst_p_placekindkey
RETURNS (placekindkey INTEGER)
AS
BEGIN
  placekindkey = NEXT VALUE FOR gen_fin_placekind;
END^

/* fin_p_rts_storekey: a new grid layout's key. */
CREATE OR ALTER PROCEDURE fin_p_rts_storekey
RETURNS (storekey INTEGER)
AS
BEGIN
  storekey = NEXT VALUE FOR gen_fin_rts;
END^

/* fin_p_sync_keys: moves every key sequence past the largest key stored in
   its table (never back), for rows that arrived with keys of their own:
   the demonstration data, imports, restored copies. */
CREATE OR ALTER PROCEDURE fin_p_sync_keys
AS
DECLARE VARIABLE m BIGINT;
BEGIN
  m = COALESCE((SELECT MAX(companykindkey) FROM fin_companykind), 0) - GEN_ID(gen_fin_companykind, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_companykind, m);
  m = COALESCE((SELECT MAX(propertykindkey) FROM fin_propertykind), 0) - GEN_ID(gen_fin_propertykind, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_propertykind, m);
  m = COALESCE((SELECT MAX(branchkey) FROM fin_branch), 0) - GEN_ID(gen_fin_branch, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_branch, m);
  m = COALESCE((SELECT MAX(actcategorykey) FROM fin_actcategory), 0) - GEN_ID(gen_fin_actcategory, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_actcategory, m);
  m = COALESCE((SELECT MAX(placekindkey) FROM fin_placekind), 0) - GEN_ID(gen_fin_placekind, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_placekind, m);
  m = COALESCE((SELECT MAX(placekey) FROM fin_place), 0) - GEN_ID(gen_fin_place, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_place, m);
  m = COALESCE((SELECT MAX(customerkey) FROM cst_customer), 0) - GEN_ID(gen_cst_customer, 0);
  IF (m > 0) THEN m = GEN_ID(gen_cst_customer, m);
  m = COALESCE((SELECT MAX(bankaccountkey) FROM cst_bankaccount), 0) - GEN_ID(gen_cst_bankaccount, 0);
  IF (m > 0) THEN m = GEN_ID(gen_cst_bankaccount, m);
  m = COALESCE((SELECT MAX(id) FROM ph_attr), 0) - GEN_ID(gen_ph_attr, 0);
  IF (m > 0) THEN m = GEN_ID(gen_ph_attr, m);
  m = COALESCE((SELECT MAX(id) FROM fin_curr), 0) - GEN_ID(gen_fin_curr, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_curr, m);
  m = COALESCE((SELECT MAX(optionkey) FROM fin_options), 0) - GEN_ID(gen_fin_options, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_options, m);
  m = COALESCE((SELECT MAX(storekey) FROM fin_rts), 0) - GEN_ID(gen_fin_rts, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_rts, m);
  m = COALESCE((SELECT MAX(fieldkey) FROM fin_rtsfield), 0) - GEN_ID(gen_fin_rtsfield, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_rtsfield, m);
  m = COALESCE((SELECT MAX(id) FROM fin_account), 0) - GEN_ID(gen_fin_account, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_account, m);
  m = COALESCE((SELECT MAX(id) FROM fin_antablevalue), 0) - GEN_ID(gen_fin_antablevalue, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_antablevalue, m);
  m = COALESCE((SELECT MAX(id) FROM fin_entrytype), 0) - GEN_ID(gen_fin_entrytype, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_entrytype, m);
  m = COALESCE((SELECT MAX(operationkey) FROM fin_operation), 0) - GEN_ID(gen_fin_operation, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_operation, m);
  m = COALESCE((SELECT MAX(id) FROM fin_entrylist), 0) - GEN_ID(gen_fin_entrylist, 0);
  IF (m > 0) THEN m = GEN_ID(gen_fin_entrylist, m);
  m = COALESCE((SELECT MAX(id) FROM rent_location), 0) - GEN_ID(gen_rent_location, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_location, m);
  m = COALESCE((SELECT MAX(id) FROM rent_objecttype), 0) - GEN_ID(gen_rent_objecttype, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_objecttype, m);
  m = COALESCE((SELECT MAX(id) FROM rent_object), 0) - GEN_ID(gen_rent_object, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_object, m);
  m = COALESCE((SELECT MAX(id) FROM rent_payment), 0) - GEN_ID(gen_rent_payment, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_payment, m);
  m = COALESCE((SELECT MAX(id) FROM rent_invoicetype), 0) - GEN_ID(gen_rent_invoicetype, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_invoicetype, m);
  m = COALESCE((SELECT MAX(id) FROM rent_typereckoning), 0) - GEN_ID(gen_rent_typereckoning, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_typereckoning, m);
  m = COALESCE((SELECT MAX(id) FROM rent_reckoning), 0) - GEN_ID(gen_rent_reckoning, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_reckoning, m);
  m = COALESCE((SELECT MAX(id) FROM rent_service), 0) - GEN_ID(gen_rent_service, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_service, m);
  m = COALESCE((SELECT MAX(id) FROM rent_servicevalue), 0) - GEN_ID(gen_rent_servicevalue, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_servicevalue, m);
  m = COALESCE((SELECT MAX(id) FROM rent_serviceoperation), 0) - GEN_ID(gen_rent_serviceoperation, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_serviceoperation, m);
  m = COALESCE((SELECT MAX(id) FROM rent_servicecost), 0) - GEN_ID(gen_rent_servicecost, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_servicecost, m);
  m = COALESCE((SELECT MAX(id) FROM rent_contract), 0) - GEN_ID(gen_rent_contract, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_contract, m);
  m = COALESCE((SELECT MAX(id) FROM rent_contractservice), 0) - GEN_ID(gen_rent_contractservice, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_contractservice, m);
  m = COALESCE((SELECT MAX(id) FROM rent_contractservicevalue), 0) - GEN_ID(gen_rent_contractservicevalue, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_contractservicevalue, m);
  m = COALESCE((SELECT MAX(id) FROM rent_supplement), 0) - GEN_ID(gen_rent_supplement, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_supplement, m);
  m = COALESCE((SELECT MAX(id) FROM rent_invoice), 0) - GEN_ID(gen_rent_invoice, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_invoice, m);
  m = COALESCE((SELECT MAX(id) FROM rent_invoiceservice), 0) - GEN_ID(gen_rent_invoiceservice, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_invoiceservice, m);
  m = COALESCE((SELECT MAX(id) FROM rent_paybill), 0) - GEN_ID(gen_rent_paybill, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_paybill, m);
  m = COALESCE((SELECT MAX(id) FROM rent_paybillrelat), 0) - GEN_ID(gen_rent_paybillrelat, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_paybillrelat, m);
  m = COALESCE((SELECT MAX(id) FROM rent_debtmove), 0) - GEN_ID(gen_rent_debtmove, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_debtmove, m);
  m = COALESCE((SELECT MAX(id) FROM rent_debt), 0) - GEN_ID(gen_rent_debt, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_debt, m);
  m = COALESCE((SELECT MAX(id) FROM rent_viotation), 0) - GEN_ID(gen_rent_viotation, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_viotation, m);
  m = COALESCE((SELECT MAX(id) FROM rent_variable), 0) - GEN_ID(gen_rent_variable, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_variable, m);
  m = COALESCE((SELECT MAX(id) FROM rent_valuevariable), 0) - GEN_ID(gen_rent_valuevariable, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_valuevariable, m);
  m = COALESCE((SELECT MAX(id) FROM rent_objectgraph), 0) - GEN_ID(gen_rent_objectgraph, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_objectgraph, m);
  m = COALESCE((SELECT MAX(id) FROM rent_printdocument), 0) - GEN_ID(gen_rent_printdocument, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_printdocument, m);
  m = COALESCE((SELECT MAX(id) FROM rent_printreport), 0) - GEN_ID(gen_rent_printreport, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_printreport, m);
  m = COALESCE((SELECT MAX(id) FROM rent_denomination), 0) - GEN_ID(gen_rent_denomination, 0);
  IF (m > 0) THEN m = GEN_ID(gen_rent_denomination, m);
END^

SET TERM ; ^
