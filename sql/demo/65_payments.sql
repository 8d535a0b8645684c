/* Demonstration data: a payment received through the bookkeeping system,
   as its register import leaves it (an operation of type 1700 with the
   customer's analysis), not yet made into a pay bill: customer 3 paid 3000
   three days ago towards invoice 2. */

SET TERM ^ ;
EXECUTE BLOCK
AS
DECLARE VARIABLE k INTEGER;
BEGIN
  INSERT INTO fin_operation (type, commitdate, enterdate, sumncu, sumcurr, subsystem)
    VALUES (1700, DATEADD(-3 DAY TO CURRENT_DATE), DATEADD(-3 DAY TO CURRENT_DATE), 3000, 0, 230)
    RETURNING operationkey INTO :k;
  INSERT INTO fin_opanalyzeval (operationkey, analyzekey, analyzevalue) VALUES (:k, 10, 3);
END^
SET TERM ; ^
