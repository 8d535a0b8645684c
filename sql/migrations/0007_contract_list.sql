/* The contract list opens at once however many contracts there are: each
   order the contracts page offers reads along an index instead of sorting
   the whole table (the number has its index since 0003, the customer name
   since 0002). */

CREATE INDEX rent_contract_signdate ON rent_contract (signdate);
CREATE INDEX rent_contract_expriredate ON rent_contract (expriredate);
CREATE INDEX rent_contract_name ON rent_contract (name);
