/* The indexes the pay-bill list walks.

   Keyed by the pay bill's id, the list is read in its order from any row on
   (see 0006): the orders of the pay-bill page, by number and by payment
   date, have an index of the field and the id in both directions; unsorted,
   the list goes by the id alone. The filter's operation-date range has its
   own. The customer's name lies in another table and is sorted on the
   server (see 0009). */

DROP INDEX rent_paybill_date;

CREATE DESCENDING INDEX rent_paybill_id_d ON rent_paybill (id);
CREATE INDEX rent_paybill_number_a ON rent_paybill (number, id);
CREATE DESCENDING INDEX rent_paybill_number_d ON rent_paybill (number, id);
CREATE INDEX rent_paybill_paybilldate_a ON rent_paybill (paybilldate, id);
CREATE DESCENDING INDEX rent_paybill_paybilldate_d ON rent_paybill (paybilldate, id);
CREATE INDEX rent_paybill_operationdate ON rent_paybill (operationdate);
