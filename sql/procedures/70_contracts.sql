/* Contracts: totals and whether a position may go. */
SET TERM ^ ;

/* rent_p_sumcontract: the contract's totals, the sums of its positions'
   prices in NCU and in currency (0 without positions). */
CREATE OR ALTER PROCEDURE rent_p_sumcontract (contractkey INTEGER)
AS
BEGIN
  UPDATE rent_contract c
     SET c.sumncu = COALESCE((SELECT SUM(cs.costncu) FROM rent_contractservice cs WHERE cs.contractkey = c.id), 0),
         c.sumcurr = COALESCE((SELECT SUM(cs.costcurr) FROM rent_contractservice cs WHERE cs.contractkey = c.id), 0)
   WHERE c.id = :contractkey;
END^

/* rent_p_testcontractservice: ok 1 when the position may be deleted: no
   invoice line, pay-bill line or debt booking names it. A billed position
   stays, with its history. */
CREATE OR ALTER PROCEDURE rent_p_testcontractservice (contractservicekey INTEGER)
RETURNS (ok SMALLINT)
AS
BEGIN
  ok = IIF(EXISTS (SELECT 1 FROM rent_invoiceservice WHERE contractservicekey = :contractservicekey)
           OR EXISTS (SELECT 1 FROM rent_paybillrelat WHERE contractservicekey = :contractservicekey)
           OR EXISTS (SELECT 1 FROM rent_debtmove WHERE contractservicekey = :contractservicekey),
           0, 1);
END^

SET TERM ; ^
