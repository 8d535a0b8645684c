/* The indexes the invoice list walks.

   Keyed by the invoice's id, the list is read in its order from any row on
   (see 0006): the orders of its sort menu and of its column titles that lie
   in the invoice itself have an index of the field and the id in both
   directions; unsorted, the list goes by the id alone. The index of the
   invoice date alone gives way to its pair, which serves the filter's date
   range as well. The names of customer and contract lie in other tables
   and are sorted. The invoice types are few and listed by name. */

DROP INDEX rent_invoice_date;

CREATE DESCENDING INDEX rent_invoice_id_d ON rent_invoice (id);
CREATE INDEX rent_invoice_number_a ON rent_invoice (number, id);
CREATE DESCENDING INDEX rent_invoice_number_d ON rent_invoice (number, id);
CREATE INDEX rent_invoice_invoicedate_a ON rent_invoice (invoicedate, id);
CREATE DESCENDING INDEX rent_invoice_invoicedate_d ON rent_invoice (invoicedate, id);
CREATE INDEX rent_invoice_expiredate_a ON rent_invoice (expiredate, id);
CREATE DESCENDING INDEX rent_invoice_expiredate_d ON rent_invoice (expiredate, id);
CREATE INDEX rent_invoice_operationdate_a ON rent_invoice (operationdate, id);
CREATE DESCENDING INDEX rent_invoice_operationdate_d ON rent_invoice (operationdate, id);
CREATE INDEX rent_invoice_sumncu_a ON rent_invoice (sumncu, id);
CREATE DESCENDING INDEX rent_invoice_sumncu_d ON rent_invoice (sumncu, id);
CREATE INDEX rent_invoice_information_a ON rent_invoice (information, id);
CREATE DESCENDING INDEX rent_invoice_information_d ON rent_invoice (information, id);

CREATE INDEX rent_invoicetype_name_a ON rent_invoicetype (name, id);
CREATE DESCENDING INDEX rent_invoicetype_name_d ON rent_invoicetype (name, id);
