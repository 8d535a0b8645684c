/* The indexes the contract list walks.

   Keyed by the contract's id, the list is read in its order from any row on
   (see 0006): every order the contracts page offers, from its sort menu or
   a column title, has an index of the field and the id in both directions;
   unsorted, the list goes by the id alone. These replace the indexes of the
   field alone, which serve the filter's look-ups as well.

   The customer's name is the one order left to sorting the rows: it lies
   in another table, and a join walks an index of its first table only,
   while the contracts of one customer would still have to come in the
   order of their ids. */

DROP INDEX rent_contract_number;
DROP INDEX rent_contract_signdate;
DROP INDEX rent_contract_expriredate;
DROP INDEX rent_contract_name;

CREATE DESCENDING INDEX rent_contract_id_d ON rent_contract (id);
CREATE INDEX rent_contract_number_a ON rent_contract (number, id);
CREATE DESCENDING INDEX rent_contract_number_d ON rent_contract (number, id);
CREATE INDEX rent_contract_name_a ON rent_contract (name, id);
CREATE DESCENDING INDEX rent_contract_name_d ON rent_contract (name, id);
CREATE INDEX rent_contract_signdate_a ON rent_contract (signdate, id);
CREATE DESCENDING INDEX rent_contract_signdate_d ON rent_contract (signdate, id);
CREATE INDEX rent_contract_expriredate_a ON rent_contract (expriredate, id);
CREATE DESCENDING INDEX rent_contract_expriredate_d ON rent_contract (expriredate, id);
CREATE INDEX rent_contract_actiondate_a ON rent_contract (actiondate, id);
CREATE DESCENDING INDEX rent_contract_actiondate_d ON rent_contract (actiondate, id);
CREATE INDEX rent_contract_paymentday_a ON rent_contract (paymentday, id);
CREATE DESCENDING INDEX rent_contract_paymentday_d ON rent_contract (paymentday, id);
CREATE INDEX rent_contract_sumncu_a ON rent_contract (sumncu, id);
CREATE DESCENDING INDEX rent_contract_sumncu_d ON rent_contract (sumncu, id);
CREATE INDEX rent_contract_sumcurr_a ON rent_contract (sumcurr, id);
CREATE DESCENDING INDEX rent_contract_sumcurr_d ON rent_contract (sumcurr, id);
CREATE INDEX rent_contract_disabled_a ON rent_contract (disabled, id);
CREATE DESCENDING INDEX rent_contract_disabled_d ON rent_contract (disabled, id);
CREATE INDEX rent_contract_filename_a ON rent_contract (filename, id);
CREATE DESCENDING INDEX rent_contract_filename_d ON rent_contract (filename, id);
