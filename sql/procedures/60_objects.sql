/* Leased objects, variable values and plan figures as trees; object use. */
SET TERM ^ ;

/* rent_p_testreplaceobject: replace 1 when object id may be moved under the
   object groupobject: both exist and the target is neither the object
   itself nor one of its descendants. A target of NULL or 0 (the top level)
   is always allowed for an existing object. */
CREATE OR ALTER PROCEDURE rent_p_testreplaceobject (id INTEGER, groupobject INTEGER)
RETURNS (replace SMALLINT)
AS
BEGIN
  replace = 0;
  IF (NOT EXISTS (SELECT 1 FROM rent_object WHERE id = :id)) THEN EXIT;
  IF (COALESCE(groupobject, 0) = 0) THEN replace = 1;
  ELSE IF (EXISTS (SELECT 1 FROM rent_object WHERE id = :groupobject)) THEN
    replace = 1 - fin_f_tree_under(2, groupobject, id);
END^

/* rent_p_testreplacevaluevariable: the same rule for the value rows. */
CREATE OR ALTER PROCEDURE rent_p_testreplacevaluevariable (id INTEGER, groupvaluevariable INTEGER)
RETURNS (replace SMALLINT)
AS
BEGIN
  replace = 0;
  IF (NOT EXISTS (SELECT 1 FROM rent_valuevariable WHERE id = :id)) THEN EXIT;
  IF (COALESCE(groupvaluevariable, 0) = 0) THEN replace = 1;
  ELSE IF (EXISTS (SELECT 1 FROM rent_valuevariable WHERE id = :groupvaluevariable)) THEN
    replace = 1 - fin_f_tree_under(3, groupvaluevariable, id);
END^

/* rent_p_testreplaceobjectgraph: the same rule for the plan figures. */
CREATE OR ALTER PROCEDURE rent_p_testreplaceobjectgraph (objectgraphkey INTEGER, groupobjectgraph INTEGER)
RETURNS (replace SMALLINT)
AS
BEGIN
  replace = 0;
  IF (NOT EXISTS (SELECT 1 FROM rent_objectgraph WHERE id = :objectgraphkey)) THEN EXIT;
  IF (COALESCE(groupobjectgraph, 0) = 0) THEN replace = 1;
  ELSE IF (EXISTS (SELECT 1 FROM rent_objectgraph WHERE id = :groupobjectgraph)) THEN
    replace = 1 - fin_f_tree_under(4, groupobjectgraph, objectgraphkey);
END^

/* rent_p_deleteobjectgraph: deletes a figure with every figure drawn inside
   it, the deepest first. */
CREATE OR ALTER PROCEDURE rent_p_deleteobjectgraph (objectgraphkey INTEGER)
AS
DECLARE VARIABLE fig INTEGER;
BEGIN
  FOR WITH RECURSIVE branch (id, depth) AS (
        SELECT id, 0 FROM rent_objectgraph WHERE id = :objectgraphkey
        UNION ALL
        SELECT g.id, b.depth + 1 FROM rent_objectgraph g JOIN branch b ON g.parent = b.id
         WHERE b.depth < 1000)
      SELECT id FROM branch ORDER BY depth DESC
      INTO :fig
  DO
    DELETE FROM rent_objectgraph WHERE id = :fig;
END^

/* rent_p_useobject: useful 0 when the object is free, 1 when an open
   contract rents it. It reads the flag the contract dialog keeps on the
   object rather than the contracts themselves: the dialog releases the
   objects of the contract it edits first, and that contract must not count
   as "another" one while it is saved. An unknown object is free. */
CREATE OR ALTER PROCEDURE rent_p_useobject (objectkey INTEGER)
RETURNS (useful SMALLINT)
AS
BEGIN
  useful = COALESCE((SELECT IIF(COALESCE(useful, 0) = 0, 0, 1) FROM rent_object WHERE id = :objectkey), 0);
END^

/* rent_p_useobjectgraph: the occupancy of every object bound to a figure of
   the plan below objectgraphkey (the figure itself included; the whole plan
   when it is NULL), one row per object, by the rule of rent_p_useobject.
   The plan reads it once per redraw instead of once per figure. */
CREATE OR ALTER PROCEDURE rent_p_useobjectgraph (objectgraphkey INTEGER)
RETURNS (objectkey INTEGER, useful SMALLINT)
AS
BEGIN
  FOR WITH RECURSIVE branch (id, depth) AS (
        SELECT id, 0 FROM rent_objectgraph
         WHERE id = :objectgraphkey OR (:objectgraphkey IS NULL AND parent IS NULL)
        UNION ALL
        SELECT g.id, b.depth + 1 FROM rent_objectgraph g JOIN branch b ON g.parent = b.id
         WHERE b.depth < 1000)
      SELECT DISTINCT g.objectkey FROM branch b JOIN rent_objectgraph g ON g.id = b.id
       WHERE g.objectkey IS NOT NULL
        INTO :objectkey
  DO
  BEGIN
    EXECUTE PROCEDURE rent_p_useobject(:objectkey) RETURNING_VALUES :useful;
    SUSPEND;
  END
END^

/* rent_p_getcontract: every contract, open or closed, with a position on the
   object, by signing date: where the object is used, and what keeps it
   from being deleted. */
CREATE OR ALTER PROCEDURE rent_p_getcontract (objectkey INTEGER)
RETURNS (contractkey INTEGER, number d_str8, signdate DATE, customerkey INTEGER, disabled SMALLINT)
AS
BEGIN
  FOR SELECT c.id, c.number, c.signdate, c.customerkey, c.disabled
        FROM rent_contract c
       WHERE EXISTS (SELECT 1 FROM rent_contractservice cs
                      WHERE cs.contractkey = c.id AND cs.objectkey = :objectkey)
       ORDER BY c.signdate, c.id
        INTO :contractkey, :number, :signdate, :customerkey, :disabled
  DO SUSPEND;
END^

/* rent_p_getuseobject: the objects rented by open contracts, one row per
   object and contract. */
CREATE OR ALTER PROCEDURE rent_p_getuseobject
RETURNS (objectkey INTEGER, contractkey INTEGER)
AS
BEGIN
  FOR SELECT DISTINCT cs.objectkey, cs.contractkey
        FROM rent_contractservice cs JOIN rent_contract c ON c.id = cs.contractkey
       WHERE cs.objectkey IS NOT NULL AND COALESCE(c.disabled, 0) = 0
        INTO :objectkey, :contractkey
  DO SUSPEND;
END^

/* rent_p_getobjects: the objects a report covers. objects holds the chosen
   object keys separated by line breaks (any character that is not a digit
   separates). allobjects 1: every object, the list ignored. Otherwise each
   chosen object and every object below it. Group rows (isgroup 1) are
   returned only when includegroup is 1. Each object once. */
CREATE OR ALTER PROCEDURE rent_p_getobjects (objects d_str8000, allobjects INTEGER, includegroup INTEGER)
RETURNS (objectkey INTEGER)
AS
DECLARE VARIABLE keys d_str8000 = ',';
DECLARE VARIABLE num d_str20 = '';
DECLARE VARIABLE i INTEGER = 1;
DECLARE VARIABLE n INTEGER;
DECLARE VARIABLE ch CHAR(1);
BEGIN
  IF (allobjects = 1) THEN
  BEGIN
    FOR SELECT id FROM rent_object
         WHERE COALESCE(isgroup, 0) = 0 OR :includegroup = 1
         ORDER BY id
          INTO :objectkey
    DO SUSPEND;
    EXIT;
  END
  -- Collect the keys as ",k1,k2,...," for the membership test below.
  n = CHAR_LENGTH(COALESCE(objects, ''));
  WHILE (i <= n + 1) DO
  BEGIN
    ch = IIF(i <= n, SUBSTRING(objects FROM i FOR 1), ' ');
    IF (ch BETWEEN '0' AND '9') THEN
    BEGIN
      IF (CHAR_LENGTH(num) < 9) THEN num = num || ch;
    END
    ELSE IF (num <> '') THEN
    BEGIN
      keys = keys || CAST(CAST(num AS INTEGER) AS VARCHAR(10)) || ',';
      num = '';
    END
    i = i + 1;
  END
  IF (keys = ',') THEN EXIT;
  FOR WITH RECURSIVE branch (id, depth) AS (
        SELECT id, 0 FROM rent_object WHERE POSITION(',' || id || ',' IN :keys) > 0
        UNION ALL
        SELECT o.id, b.depth + 1 FROM rent_object o JOIN branch b ON o.parent = b.id
         WHERE b.depth < 1000)
      SELECT DISTINCT b.id FROM branch b JOIN rent_object o ON o.id = b.id
       WHERE COALESCE(o.isgroup, 0) = 0 OR :includegroup = 1
      INTO :objectkey
  DO SUSPEND;
END^

SET TERM ; ^
