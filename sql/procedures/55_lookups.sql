/* Lookup procedures of the drop-down pick lists. Each list reads a view
   procedure (the rows it offers) and resolves typed text through a search
   procedure:
     inputs  ID (the current key), Text (the typed text), Type (search kind)
     outputs OK (1 found, 0 not), OUTID (the key found), OUTText (its text)
   Search kinds: 0 the row whose key is ID, whatever its state (so that a
   stored key always shows its text); 1 the name equals Text; 2 the name
   starts with Text; 3 the name contains Text; any other value tries 1, then
   2. Text kinds ignore letter case and surrounding blanks, look only at the
   rows the view offers, take the first by name when several match, and find
   nothing for an empty Text. */
SET TERM ^ ;

/* Views: the rows a list offers. Disabled customers and currencies are not
   offered for new choices; tenant lists leave out the banks (kind 2). */

CREATE OR ALTER PROCEDURE cst_p_customer_view
RETURNS (customerkey INTEGER, name d_str60, fullname d_str180, kind INTEGER, unn d_str20,
         code d_str20)
AS
BEGIN
  FOR SELECT customerkey, name, fullname, kind, unn, code FROM cst_customer
       WHERE COALESCE(disabled, 0) = 0
        INTO :customerkey, :name, :fullname, :kind, :unn, :code
  DO SUSPEND;
END^

CREATE OR ALTER PROCEDURE rent_p_customer_view
RETURNS (customerkey INTEGER, name d_str60, fullname d_str180, kind INTEGER, unn d_str20,
         code d_str20)
AS
BEGIN
  FOR SELECT customerkey, name, fullname, kind, unn, code FROM cst_customer
       WHERE COALESCE(disabled, 0) = 0 AND kind <> 2
        INTO :customerkey, :name, :fullname, :kind, :unn, :code
  DO SUSPEND;
END^

CREATE OR ALTER PROCEDURE fin_p_curr_view
RETURNS (currkey INTEGER, name d_str60, shortname d_str8, code d_str10, sign d_str10,
         isncu SMALLINT)
AS
BEGIN
  FOR SELECT id, name, shortname, code, sign, isncu FROM fin_curr
       WHERE COALESCE(disabled, 0) = 0
        INTO :currkey, :name, :shortname, :code, :sign, :isncu
  DO SUSPEND;
END^

CREATE OR ALTER PROCEDURE cst_p_place_view
RETURNS (placekey INTEGER, name d_str60, parent INTEGER, placekind INTEGER, abbr d_str20,
         kindname d_str60)
AS
BEGIN
  FOR SELECT p.placekey, p.name, p.parent, p.placekind, k.abbr, k.name
        FROM fin_place p LEFT JOIN fin_placekind k ON k.placekindkey = p.placekind
        INTO :placekey, :name, :parent, :placekind, :abbr, :kindname
  DO SUSPEND;
END^

CREATE OR ALTER PROCEDURE rent_p_typereckoning_view
RETURNS (id INTEGER, name d_str60, description d_str254, parent INTEGER)
AS
BEGIN
  FOR SELECT id, name, description, parent FROM rent_typereckoning
        INTO :id, :name, :description, :parent
  DO SUSPEND;
END^

/* fin_p_lookup_search: the search of every list, by source: 1 customers,
   2 tenants, 3 currencies, 4 places, 5 reckoning types. */
CREATE OR ALTER PROCEDURE fin_p_lookup_search (source INTEGER, id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
DECLARE VARIABLE mode INTEGER;
DECLARE VARIABLE pass INTEGER = 1;
DECLARE VARIABLE match INTEGER;
BEGIN
  outid = NULL;
  outtext = NULL;
  IF (type = 0) THEN
  BEGIN
    IF (source IN (1, 2)) THEN
      SELECT customerkey, name FROM cst_customer WHERE customerkey = :id INTO :outid, :outtext;
    ELSE IF (source = 3) THEN
      SELECT id, name FROM fin_curr WHERE id = :id INTO :outid, :outtext;
    ELSE IF (source = 4) THEN
      SELECT placekey, name FROM fin_place WHERE placekey = :id INTO :outid, :outtext;
    ELSE IF (source = 5) THEN
      SELECT id, name FROM rent_typereckoning WHERE id = :id INTO :outid, :outtext;
  END
  ELSE IF (TRIM(COALESCE(text, '')) <> '') THEN
  BEGIN
    mode = IIF(type BETWEEN 1 AND 3, type, 0);
    WHILE (outid IS NULL AND pass <= 2) DO
    BEGIN
      -- Kind 0 runs twice: the exact name first, then the beginning. The
      -- search kinds 1, 2, 3 are the match modes 0, 2, 1 of fin_f_textmatch.
      match = DECODE(IIF(mode = 0, pass, mode), 1, 0, 2, 2, 3, 1);
      IF (source = 1) THEN
        SELECT FIRST 1 customerkey, name FROM cst_p_customer_view
         WHERE fin_f_textmatch(name, :match, :text) = 1 ORDER BY name, customerkey
          INTO :outid, :outtext;
      ELSE IF (source = 2) THEN
        SELECT FIRST 1 customerkey, name FROM rent_p_customer_view
         WHERE fin_f_textmatch(name, :match, :text) = 1 ORDER BY name, customerkey
          INTO :outid, :outtext;
      ELSE IF (source = 3) THEN
        SELECT FIRST 1 currkey, name FROM fin_p_curr_view
         WHERE fin_f_textmatch(name, :match, :text) = 1 ORDER BY name, currkey
          INTO :outid, :outtext;
      ELSE IF (source = 4) THEN
        SELECT FIRST 1 placekey, name FROM cst_p_place_view
         WHERE fin_f_textmatch(name, :match, :text) = 1 ORDER BY name, placekey
          INTO :outid, :outtext;
      ELSE IF (source = 5) THEN
        SELECT FIRST 1 id, name FROM rent_p_typereckoning_view
         WHERE fin_f_textmatch(name, :match, :text) = 1 ORDER BY name, id
          INTO :outid, :outtext;
      pass = IIF(mode = 0, pass + 1, 3);
    END
  END
  ok = IIF(outid IS NULL, 0, 1);
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE cst_p_customer_search (id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
BEGIN
  SELECT ok, outid, outtext FROM fin_p_lookup_search(1, :id, :text, :type) INTO :ok, :outid, :outtext;
END^

CREATE OR ALTER PROCEDURE rent_p_customer_search (id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
BEGIN
  SELECT ok, outid, outtext FROM fin_p_lookup_search(2, :id, :text, :type) INTO :ok, :outid, :outtext;
END^

CREATE OR ALTER PROCEDURE fin_p_curr_search (id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
BEGIN
  SELECT ok, outid, outtext FROM fin_p_lookup_search(3, :id, :text, :type) INTO :ok, :outid, :outtext;
END^

CREATE OR ALTER PROCEDURE cst_p_place_search (id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
BEGIN
  SELECT ok, outid, outtext FROM fin_p_lookup_search(4, :id, :text, :type) INTO :ok, :outid, :outtext;
END^

CREATE OR ALTER PROCEDURE rent_p_typereckoning_search (id INTEGER, text d_str1000, type INTEGER)
RETURNS (ok SMALLINT, outid INTEGER, outtext d_str254)
AS
BEGIN
  SELECT ok, outid, outtext FROM fin_p_lookup_search(5, :id, :text, :type) INTO :ok, :outid, :outtext;
END^

/* rent_p_searchcustomer: incremental search among the tenants (customers
   that are not banks), in name order.
   mode 1 the first match, 2 the next match after the customer currentkey,
   3 the previous match before it (none past either end: found 0); without
   a current customer, or with any other mode, as 1.
   anywhere 0: the name starts with the text; 1: contains it.
   includedisabled 1 also searches inactive customers.
   Outputs: the customer found, its name, found 1 or 0. */
CREATE OR ALTER PROCEDURE rent_p_searchcustomer (
  mode INTEGER, anywhere INTEGER, includedisabled INTEGER, text d_str1000, currentkey INTEGER)
RETURNS (customerkey INTEGER, name d_str60, found SMALLINT)
AS
DECLARE VARIABLE curname d_str60;
DECLARE VARIABLE match INTEGER;
BEGIN
  customerkey = NULL;
  name = NULL;
  match = IIF(anywhere = 1, 1, 2);
  curname = (SELECT c.name FROM cst_customer c WHERE c.customerkey = :currentkey);
  IF (mode = 2 AND curname IS NOT NULL) THEN
    SELECT FIRST 1 c.customerkey, c.name FROM cst_customer c
     WHERE c.kind <> 2 AND (COALESCE(c.disabled, 0) = 0 OR :includedisabled = 1)
       AND fin_f_textmatch(c.name, :match, :text) = 1
       AND (c.name > :curname OR (c.name = :curname AND c.customerkey > :currentkey))
     ORDER BY c.name, c.customerkey
      INTO :customerkey, :name;
  ELSE IF (mode = 3 AND curname IS NOT NULL) THEN
    SELECT FIRST 1 c.customerkey, c.name FROM cst_customer c
     WHERE c.kind <> 2 AND (COALESCE(c.disabled, 0) = 0 OR :includedisabled = 1)
       AND fin_f_textmatch(c.name, :match, :text) = 1
       AND (c.name < :curname OR (c.name = :curname AND c.customerkey < :currentkey))
     ORDER BY c.name DESC, c.customerkey DESC
      INTO :customerkey, :name;
  ELSE
    SELECT FIRST 1 c.customerkey, c.name FROM cst_customer c
     WHERE c.kind <> 2 AND (COALESCE(c.disabled, 0) = 0 OR :includedisabled = 1)
       AND fin_f_textmatch(c.name, :match, :text) = 1
     ORDER BY c.name, c.customerkey
      INTO :customerkey, :name;
  found = IIF(customerkey IS NULL, 0, 1);
END^

SET TERM ; ^
