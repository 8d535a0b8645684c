/* Bookkeeping operations written by the lease module and the exchange with
   the bookkeeping system.

   - fin_operation.externalkey: the register entry an imported operation was
     made from, so that importing the same entries again replaces those
     operations instead of adding new ones (an operation type without entry
     templates has no entry to carry the key).
   - fin_accountanalyze.fixedvalue: a value an account fixes for one of its
     analyses; it is stored on every entry side of that account that gets no
     value from its operation. NULL or 0: none. */

ALTER TABLE fin_operation ADD externalkey d_str60;
CREATE INDEX fin_operation_external ON fin_operation (type, externalkey);

ALTER TABLE fin_accountanalyze ADD fixedvalue d_int;
