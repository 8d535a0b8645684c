/* The indexes the violation list walks.

   Keyed by the violation's id, the list is read in its order from any row
   on (see 0006): by number and by date, each with the id in both
   directions; unsorted, by the id alone. The customer's name lies in
   another table and is left to sorting the rows (see 0009). The date index
   also serves the filter's period. */

CREATE DESCENDING INDEX rent_viotation_id_d ON rent_viotation (id);
CREATE INDEX rent_viotation_number_a ON rent_viotation (number, id);
CREATE DESCENDING INDEX rent_viotation_number_d ON rent_viotation (number, id);
CREATE INDEX rent_viotation_date_a ON rent_viotation (viotationdate, id);
CREATE DESCENDING INDEX rent_viotation_date_d ON rent_viotation (viotationdate, id);
