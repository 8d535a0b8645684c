/* Debts. An invoice line raises the debt of its contract service on the
   invoice date, a pay-bill line lowers it on the payment date. Each booking
   is kept in rent_debtmove; rent_debt holds, per contract service and date
   with bookings, the balance of all bookings up to that date. Booking a
   document again first withdraws what it booked before, so a document is
   never counted twice, and withdrawing removes exactly what was booked. */

CREATE OR ALTER EXCEPTION rent_e_document_missing 'Документ не найден';
CREATE OR ALTER EXCEPTION rent_e_document_undated 'У документа не указана дата';

SET TERM ^ ;

/* rent_p_debt_refresh: recomputes the balances of a contract service from a
   date on. Balances are rounded to 6 decimals so that sums of fractions do
   not leave a phantom debt of 1e-14 behind. */
CREATE OR ALTER PROCEDURE rent_p_debt_refresh (contractservicekey INTEGER, fromdate DATE)
AS
DECLARE VARIABLE d DATE;
DECLARE VARIABLE ncu DOUBLE PRECISION;
DECLARE VARIABLE curr DOUBLE PRECISION;
BEGIN
  DELETE FROM rent_debt b
   WHERE b.contractservicekey = :contractservicekey AND b.debtdate >= :fromdate
     AND NOT EXISTS (SELECT 1 FROM rent_debtmove m
                      WHERE m.contractservicekey = b.contractservicekey AND m.debtdate = b.debtdate);
  FOR SELECT DISTINCT debtdate FROM rent_debtmove
       WHERE contractservicekey = :contractservicekey AND debtdate >= :fromdate
       ORDER BY debtdate
        INTO :d
  DO
  BEGIN
    SELECT ROUND(COALESCE(SUM(costncu), 0), 6), ROUND(COALESCE(SUM(costcurr), 0), 6)
      FROM rent_debtmove
     WHERE contractservicekey = :contractservicekey AND debtdate <= :d
      INTO :ncu, :curr;
    UPDATE OR INSERT INTO rent_debt (contractservicekey, debtdate, costncu, costcurr)
      VALUES (:contractservicekey, :d, :ncu, :curr)
      MATCHING (contractservicekey, debtdate);
  END
END^

/* rent_p_debt_withdraw: removes the bookings of one invoice or one pay bill
   (the other key NULL) and recomputes the balances they touched. */
CREATE OR ALTER PROCEDURE rent_p_debt_withdraw (invoicekey INTEGER, paybillkey INTEGER)
AS
DECLARE VARIABLE cs INTEGER;
DECLARE VARIABLE d DATE;
BEGIN
  FOR SELECT contractservicekey, MIN(debtdate) FROM rent_debtmove
       WHERE (invoicekey = :invoicekey OR paybillkey = :paybillkey)
       GROUP BY contractservicekey
        INTO :cs, :d
  DO
  BEGIN
    DELETE FROM rent_debtmove
     WHERE contractservicekey = :cs AND (invoicekey = :invoicekey OR paybillkey = :paybillkey);
    EXECUTE PROCEDURE rent_p_debt_refresh(:cs, :d);
  END
END^

/* rent_p_deleteinvoicedebt: withdraws the debt an invoice booked (before it
   is changed or deleted). An invoice that booked nothing changes nothing. */
CREATE OR ALTER PROCEDURE rent_p_deleteinvoicedebt (invoicekey INTEGER)
AS
BEGIN
  EXECUTE PROCEDURE rent_p_debt_withdraw(:invoicekey, NULL);
END^

/* rent_p_addinvoicedebt: books the invoice's lines as debt of their contract
   services on the invoice date (lines of one position summed, zero lines and
   lines without position left out) and stores the invoice's NCU total. */
CREATE OR ALTER PROCEDURE rent_p_addinvoicedebt (invoicekey INTEGER)
AS
DECLARE VARIABLE d DATE;
DECLARE VARIABLE cs INTEGER;
DECLARE VARIABLE ncu DOUBLE PRECISION;
DECLARE VARIABLE curr DOUBLE PRECISION;
BEGIN
  SELECT invoicedate FROM rent_invoice WHERE id = :invoicekey INTO :d;
  IF (ROW_COUNT = 0) THEN EXCEPTION rent_e_document_missing 'Счет ' || COALESCE(CAST(invoicekey AS VARCHAR(12)), '') || ' не найден';
  IF (d IS NULL) THEN EXCEPTION rent_e_document_undated 'У счета не указана дата';
  EXECUTE PROCEDURE rent_p_debt_withdraw(:invoicekey, NULL);
  FOR SELECT contractservicekey, COALESCE(SUM(costncu), 0), COALESCE(SUM(costcurr), 0)
        FROM rent_invoiceservice
       WHERE invoicekey = :invoicekey AND contractservicekey IS NOT NULL
       GROUP BY contractservicekey
        INTO :cs, :ncu, :curr
  DO
  BEGIN
    IF (ncu <> 0 OR curr <> 0) THEN
    BEGIN
      INSERT INTO rent_debtmove (contractservicekey, debtdate, costncu, costcurr, invoicekey)
        VALUES (:cs, :d, :ncu, :curr, :invoicekey);
      EXECUTE PROCEDURE rent_p_debt_refresh(:cs, :d);
    END
  END
  UPDATE rent_invoice
     SET sumncu = COALESCE((SELECT SUM(costncu) FROM rent_invoiceservice WHERE invoicekey = :invoicekey), 0)
   WHERE id = :invoicekey;
END^

/* rent_p_addpaybilldebt: puts back on the debts what a pay bill settled
   (before it is changed, deleted or replaced). */
CREATE OR ALTER PROCEDURE rent_p_addpaybilldebt (paybillkey INTEGER)
AS
BEGIN
  EXECUTE PROCEDURE rent_p_debt_withdraw(NULL, :paybillkey);
END^

/* rent_p_deletepaybilldebt: settles the pay bill's lines against the debts
   of their contract services on the payment date (lines of one position
   summed, zero lines and lines without position left out). */
CREATE OR ALTER PROCEDURE rent_p_deletepaybilldebt (paybillkey INTEGER)
AS
DECLARE VARIABLE d DATE;
DECLARE VARIABLE cs INTEGER;
DECLARE VARIABLE ncu DOUBLE PRECISION;
DECLARE VARIABLE curr DOUBLE PRECISION;
BEGIN
  SELECT paybilldate FROM rent_paybill WHERE id = :paybillkey INTO :d;
  IF (ROW_COUNT = 0) THEN EXCEPTION rent_e_document_missing 'Платеж ' || COALESCE(CAST(paybillkey AS VARCHAR(12)), '') || ' не найден';
  IF (d IS NULL) THEN EXCEPTION rent_e_document_undated 'У платежа не указана дата';
  EXECUTE PROCEDURE rent_p_debt_withdraw(NULL, :paybillkey);
  FOR SELECT contractservicekey, COALESCE(SUM(costncu), 0), COALESCE(SUM(costcurr), 0)
        FROM rent_paybillrelat
       WHERE paybillkey = :paybillkey AND contractservicekey IS NOT NULL
       GROUP BY contractservicekey
        INTO :cs, :ncu, :curr
  DO
  BEGIN
    IF (ncu <> 0 OR curr <> 0) THEN
    BEGIN
      INSERT INTO rent_debtmove (contractservicekey, debtdate, costncu, costcurr, paybillkey)
        VALUES (:cs, :d, -:ncu, -:curr, :paybillkey);
      EXECUTE PROCEDURE rent_p_debt_refresh(:cs, :d);
    END
  END
END^

/* rent_p_newdebt: rebuilds every debt from the invoices and pay bills as
   they stand: all bookings are dropped and every dated document is booked
   anew. */
CREATE OR ALTER PROCEDURE rent_p_newdebt
AS
DECLARE VARIABLE k INTEGER;
BEGIN
  DELETE FROM rent_debtmove;
  DELETE FROM rent_debt;
  FOR SELECT id FROM rent_invoice WHERE invoicedate IS NOT NULL ORDER BY invoicedate, id INTO :k
  DO EXECUTE PROCEDURE rent_p_addinvoicedebt(:k);
  FOR SELECT id FROM rent_paybill WHERE paybilldate IS NOT NULL ORDER BY paybilldate, id INTO :k
  DO EXECUTE PROCEDURE rent_p_deletepaybilldebt(:k);
END^

/* rent_p_debt_rows: the debt of each contract service on a date: its latest
   balance on or before fromdate (debtkey is that rent_debt id), with the
   contract's currency. Positions without a balance by then give no row.
   contractkey and customerkey, when not NULL, narrow it to one contract or
   one customer. A NULL date means today. The contracts are found first, by
   their own index for each narrowing, and then their positions: one
   customer's debt reads that customer's rows, never every position (pricing
   asks for it once per position). */
CREATE OR ALTER PROCEDURE rent_p_debt_rows (fromdate DATE, contractkey INTEGER, customerkey INTEGER)
RETURNS (debtkey INTEGER, currkey INTEGER, contractservicekey INTEGER, debtdate DATE,
         costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION)
AS
  DECLARE PROCEDURE contract_rows (k INTEGER, d DATE)
  RETURNS (debtkey INTEGER, contractservicekey INTEGER, debtdate DATE, costncu DOUBLE PRECISION,
           costcurr DOUBLE PRECISION)
  AS
  BEGIN
    FOR SELECT cs.id FROM rent_contractservice cs WHERE cs.contractkey = :k INTO :contractservicekey
    DO
    BEGIN
      debtkey = NULL;
      SELECT FIRST 1 b.id, b.debtdate, b.costncu, b.costcurr FROM rent_debt b
       WHERE b.contractservicekey = :contractservicekey AND b.debtdate <= :d
       ORDER BY b.debtdate DESC
        INTO :debtkey, :debtdate, :costncu, :costcurr;
      IF (debtkey IS NOT NULL) THEN SUSPEND;
    END
  END
  DECLARE VARIABLE k INTEGER;
BEGIN
  fromdate = COALESCE(fromdate, CURRENT_DATE);
  IF (contractkey IS NOT NULL) THEN
    FOR SELECT c.id, c.currkey FROM rent_contract c
         WHERE c.id = :contractkey AND (:customerkey IS NULL OR c.customerkey = :customerkey)
          INTO :k, :currkey
    DO
      FOR SELECT debtkey, contractservicekey, debtdate, costncu, costcurr FROM contract_rows(:k, :fromdate)
            INTO :debtkey, :contractservicekey, :debtdate, :costncu, :costcurr
      DO SUSPEND;
  ELSE IF (customerkey IS NOT NULL) THEN
    FOR SELECT c.id, c.currkey FROM rent_contract c WHERE c.customerkey = :customerkey
          INTO :k, :currkey
    DO
      FOR SELECT debtkey, contractservicekey, debtdate, costncu, costcurr FROM contract_rows(:k, :fromdate)
            INTO :debtkey, :contractservicekey, :debtdate, :costncu, :costcurr
      DO SUSPEND;
  ELSE
    FOR SELECT c.id, c.currkey FROM rent_contract c
          INTO :k, :currkey
    DO
      FOR SELECT debtkey, contractservicekey, debtdate, costncu, costcurr FROM contract_rows(:k, :fromdate)
            INTO :debtkey, :contractservicekey, :debtdate, :costncu, :costcurr
      DO SUSPEND;
END^

/* rent_p_getdebt: one row per contract service with its debt on the date;
   positive amounts are owed, negative overpaid. */
CREATE OR ALTER PROCEDURE rent_p_getdebt (fromdate DATE)
RETURNS (debtkey INTEGER, currkey INTEGER, contractservicekey INTEGER, debtdate DATE,
         costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_debt_rows(:fromdate, NULL, NULL)
        INTO :debtkey, :currkey, :contractservicekey, :debtdate, :costncu, :costcurr
  DO SUSPEND;
END^

/* rent_p_getdebtcontract: the rows of rent_p_getdebt for one contract. */
CREATE OR ALTER PROCEDURE rent_p_getdebtcontract (fromdate DATE, contractkey INTEGER)
RETURNS (debtkey INTEGER, currkey INTEGER, contractservicekey INTEGER, debtdate DATE,
         costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_debt_rows(:fromdate, :contractkey, NULL)
        INTO :debtkey, :currkey, :contractservicekey, :debtdate, :costncu, :costcurr
  DO SUSPEND;
END^

/* rent_p_getdebtcustomer: the rows of rent_p_getdebt for one customer, over
   all the customer's contracts. */
CREATE OR ALTER PROCEDURE rent_p_getdebtcustomer (fromdate DATE, customerkey INTEGER)
RETURNS (debtkey INTEGER, currkey INTEGER, contractservicekey INTEGER, debtdate DATE,
         costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_debt_rows(:fromdate, NULL, :customerkey)
        INTO :debtkey, :currkey, :contractservicekey, :debtdate, :costncu, :costcurr
  DO SUSPEND;
END^

/* rent_p_gethistory: the dated movements of a set of contract services, one
   row per date with bookings, in date order:
     startdebt..  the balance before the date, enddebt.. after it;
     c..          charged by invoices that day (raises the debt);
     d..          paid by pay bills that day (lowers it);
     cost..       the day's change, c - d.
   The set: mode 1 the contract service key; mode 2 every position of the
   customer key; mode 3 the positions of the customer key for servicekey,
   of contracts with payment form paymentkey unless allpayments is 1. */
CREATE OR ALTER PROCEDURE rent_p_gethistory (
  mode INTEGER, akey INTEGER, servicekey INTEGER, allpayments INTEGER, paymentkey INTEGER)
RETURNS (historydate DATE,
         startdebtcostncu DOUBLE PRECISION, enddebtcostncu DOUBLE PRECISION,
         costncu DOUBLE PRECISION, ccostncu DOUBLE PRECISION, dcostncu DOUBLE PRECISION,
         startdebtcostcurr DOUBLE PRECISION, enddebtcostcurr DOUBLE PRECISION,
         costcurr DOUBLE PRECISION, ccostcurr DOUBLE PRECISION, dcostcurr DOUBLE PRECISION)
AS
BEGIN
  enddebtcostncu = 0;
  enddebtcostcurr = 0;
  FOR SELECT m.debtdate,
             COALESCE(SUM(IIF(m.invoicekey IS NOT NULL, m.costncu, 0)), 0),
             COALESCE(SUM(IIF(m.invoicekey IS NULL, -m.costncu, 0)), 0),
             COALESCE(SUM(IIF(m.invoicekey IS NOT NULL, m.costcurr, 0)), 0),
             COALESCE(SUM(IIF(m.invoicekey IS NULL, -m.costcurr, 0)), 0)
        FROM rent_debtmove m
        JOIN rent_contractservice cs ON cs.id = m.contractservicekey
        JOIN rent_contract c ON c.id = cs.contractkey
       WHERE (:mode = 1 AND m.contractservicekey = :akey)
          OR (:mode = 2 AND c.customerkey = :akey)
          OR (:mode = 3 AND c.customerkey = :akey AND cs.servicekey = :servicekey
              AND (:allpayments = 1 OR c.paymentkey = :paymentkey))
       GROUP BY m.debtdate
       ORDER BY m.debtdate
        INTO :historydate, :ccostncu, :dcostncu, :ccostcurr, :dcostcurr
  DO
  BEGIN
    startdebtcostncu = enddebtcostncu;
    startdebtcostcurr = enddebtcostcurr;
    costncu = ccostncu - dcostncu;
    costcurr = ccostcurr - dcostcurr;
    enddebtcostncu = ROUND(startdebtcostncu + costncu, 6);
    enddebtcostcurr = ROUND(startdebtcostcurr + costcurr, 6);
    SUSPEND;
  END
END^

/* rent_p_gethistorycs: the movements of one contract service. */
CREATE OR ALTER PROCEDURE rent_p_gethistorycs (contractservicekey INTEGER)
RETURNS (historydate DATE,
         startdebtcostncu DOUBLE PRECISION, enddebtcostncu DOUBLE PRECISION,
         costncu DOUBLE PRECISION, ccostncu DOUBLE PRECISION, dcostncu DOUBLE PRECISION,
         startdebtcostcurr DOUBLE PRECISION, enddebtcostcurr DOUBLE PRECISION,
         costcurr DOUBLE PRECISION, ccostcurr DOUBLE PRECISION, dcostcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_gethistory(1, :contractservicekey, NULL, NULL, NULL)
        INTO :historydate, :startdebtcostncu, :enddebtcostncu, :costncu, :ccostncu, :dcostncu,
             :startdebtcostcurr, :enddebtcostcurr, :costcurr, :ccostcurr, :dcostcurr
  DO SUSPEND;
END^

/* rent_p_gethistorycustomer: the movements of all positions of a customer. */
CREATE OR ALTER PROCEDURE rent_p_gethistorycustomer (customerkey INTEGER)
RETURNS (historydate DATE,
         startdebtcostncu DOUBLE PRECISION, enddebtcostncu DOUBLE PRECISION,
         costncu DOUBLE PRECISION, ccostncu DOUBLE PRECISION, dcostncu DOUBLE PRECISION,
         startdebtcostcurr DOUBLE PRECISION, enddebtcostcurr DOUBLE PRECISION,
         costcurr DOUBLE PRECISION, ccostcurr DOUBLE PRECISION, dcostcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_gethistory(2, :customerkey, NULL, NULL, NULL)
        INTO :historydate, :startdebtcostncu, :enddebtcostncu, :costncu, :ccostncu, :dcostncu,
             :startdebtcostcurr, :enddebtcostcurr, :costcurr, :ccostcurr, :dcostcurr
  DO SUSPEND;
END^

/* rent_p_gethistoryservice: the movements of one service of a customer; with
   allpayments 0 only contracts with the payment form paymentkey count. */
CREATE OR ALTER PROCEDURE rent_p_gethistoryservice (
  servicekey INTEGER, customerkey INTEGER, allpayments INTEGER, paymentkey INTEGER)
RETURNS (historydate DATE,
         startdebtcostncu DOUBLE PRECISION, enddebtcostncu DOUBLE PRECISION,
         costncu DOUBLE PRECISION, ccostncu DOUBLE PRECISION, dcostncu DOUBLE PRECISION,
         startdebtcostcurr DOUBLE PRECISION, enddebtcostcurr DOUBLE PRECISION,
         costcurr DOUBLE PRECISION, ccostcurr DOUBLE PRECISION, dcostcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT * FROM rent_p_gethistory(3, :customerkey, :servicekey, :allpayments, :paymentkey)
        INTO :historydate, :startdebtcostncu, :enddebtcostncu, :costncu, :ccostncu, :dcostncu,
             :startdebtcostcurr, :enddebtcostcurr, :costcurr, :ccostcurr, :dcostcurr
  DO SUSPEND;
END^

/* rent_p_getcustomer: the debt of each customer per leased object on a date
   (positions without object under a NULL object), summed over the
   customer's contracts, open or closed. */
CREATE OR ALTER PROCEDURE rent_p_getcustomer (fromdate DATE)
RETURNS (customerkey INTEGER, objectkey INTEGER, costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION)
AS
BEGIN
  FOR SELECT c.customerkey, cs.objectkey, SUM(g.costncu), SUM(g.costcurr)
        FROM rent_p_getdebt(:fromdate) g
        JOIN rent_contractservice cs ON cs.id = g.contractservicekey
        JOIN rent_contract c ON c.id = cs.contractkey
       GROUP BY c.customerkey, cs.objectkey
        INTO :customerkey, :objectkey, :costncu, :costcurr
  DO SUSPEND;
END^

SET TERM ; ^
