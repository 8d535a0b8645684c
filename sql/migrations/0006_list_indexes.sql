/* The indexes the lists walk.

   A list is read in its order from any row on: the server walks an index
   whose segments are the order's field and the row's key, in the order's
   direction, from the row on (and, for the rows above it, the index of the
   other direction). So every column a list may be ordered by has both.

   The customer directory (enterprises, persons, banks): ordered by name, and
   by any of the identifying columns it shows. The name index replaces the
   one of the name alone, which serves every look-up by name as well. Long
   texts (full name, address) and the names of company forms are ordered by
   sorting the rows. */

DROP INDEX cst_customer_name;
CREATE INDEX cst_customer_name_a ON cst_customer (name, customerkey);
CREATE DESCENDING INDEX cst_customer_name_d ON cst_customer (name, customerkey);
CREATE INDEX cst_customer_unn_a ON cst_customer (unn, customerkey);
CREATE DESCENDING INDEX cst_customer_unn_d ON cst_customer (unn, customerkey);
CREATE INDEX cst_customer_code_a ON cst_customer (code, customerkey);
CREATE DESCENDING INDEX cst_customer_code_d ON cst_customer (code, customerkey);
CREATE INDEX cst_customer_okpo_a ON cst_customer (okpo, customerkey);
CREATE DESCENDING INDEX cst_customer_okpo_d ON cst_customer (okpo, customerkey);
CREATE INDEX cst_customer_phone_a ON cst_customer (phone, customerkey);
CREATE DESCENDING INDEX cst_customer_phone_d ON cst_customer (phone, customerkey);
CREATE INDEX cst_customer_zipcode_a ON cst_customer (zipcode, customerkey);
CREATE DESCENDING INDEX cst_customer_zipcode_d ON cst_customer (zipcode, customerkey);
CREATE INDEX cst_customer_email_a ON cst_customer (email, customerkey);
CREATE DESCENDING INDEX cst_customer_email_d ON cst_customer (email, customerkey);
