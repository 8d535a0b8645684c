/* The tree of places (countries, regions, towns, streets) and the address
   text built from it. */

CREATE OR ALTER EXCEPTION fin_e_place_hierarchy 'Нарушена иерархия в населенных пунктах';
CREATE OR ALTER EXCEPTION fin_e_place_missing 'Населенный пункт не найден';

SET TERM ^ ;

/* FIN_P_PLC_PLACE2STR: the full address of a place, from the top level down,
   parts joined by ", ". Each place takes part unless its inaddress is 0; its
   kind's abbreviation stands before the name (stand 1), after it (stand 2)
   or nowhere (0). The climb stops above a place whose usehighlevel is 0.
   NULL flags count as 1, the column defaults. No place gives ''. */
CREATE OR ALTER PROCEDURE fin_p_plc_place2str (placekey INTEGER)
RETURNS (fulladdress d_str1000)
AS
DECLARE VARIABLE cur INTEGER;
DECLARE VARIABLE nextcur INTEGER;
DECLARE VARIABLE depth INTEGER = 0;
DECLARE VARIABLE pname d_str60;
DECLARE VARIABLE abbr d_str20;
DECLARE VARIABLE stand INTEGER;
DECLARE VARIABLE inaddress SMALLINT;
DECLARE VARIABLE usehighlevel SMALLINT;
DECLARE VARIABLE part d_str1000;
BEGIN
  fulladdress = '';
  cur = placekey;
  WHILE (cur IS NOT NULL AND depth < 1000) DO
  BEGIN
    nextcur = NULL;
    SELECT p.parent, TRIM(p.name), TRIM(k.abbr), k.stand, p.inaddress, p.usehighlevel
      FROM fin_place p LEFT JOIN fin_placekind k ON k.placekindkey = p.placekind
     WHERE p.placekey = :cur
      INTO :nextcur, :pname, :abbr, :stand, :inaddress, :usehighlevel;
    IF (ROW_COUNT = 0) THEN LEAVE;
    IF (COALESCE(inaddress, 1) <> 0 AND COALESCE(pname, '') <> '') THEN
    BEGIN
      part = pname;
      IF (COALESCE(abbr, '') <> '' AND stand = 1) THEN part = abbr || ' ' || part;
      ELSE IF (COALESCE(abbr, '') <> '' AND stand = 2) THEN part = part || ' ' || abbr;
      fulladdress = IIF(fulladdress = '', part, part || ', ' || fulladdress);
    END
    IF (COALESCE(usehighlevel, 1) = 0) THEN LEAVE;
    cur = nextcur;
    depth = depth + 1;
  END
END^

/* cst_p_placekind_list: every kind of place; the page shows them as a tree
   by grade and parent. */
CREATE OR ALTER PROCEDURE cst_p_placekind_list
RETURNS (placekindkey INTEGER, grade INTEGER, parent INTEGER, abbr d_str20, name d_str60,
         stand INTEGER, disabled SMALLINT, security INTEGER, icon INTEGER, reserved INTEGER)
AS
BEGIN
  FOR SELECT placekindkey, grade, parent, abbr, name, stand, disabled, security, icon, reserved
        FROM fin_placekind
        INTO :placekindkey, :grade, :parent, :abbr, :name, :stand, :disabled, :security, :icon, :reserved
  DO SUSPEND;
END^

/* cst_p_parentplace: the places above a place, the direct parent first
   (placelevel 1), then its parent and so on up to the top, so that a tree
   loaded on demand can open the path to a stored place. */
CREATE OR ALTER PROCEDURE cst_p_parentplace (aplacekey INTEGER)
RETURNS (placelevel INTEGER, placekey INTEGER, parent INTEGER, placekind INTEGER,
         name d_str60, comment d_str180, inaddress SMALLINT, usehighlevel SMALLINT,
         abbr d_str20, kindname d_str60)
AS
DECLARE VARIABLE cur INTEGER;
BEGIN
  placelevel = 0;
  cur = (SELECT parent FROM fin_place WHERE placekey = :aplacekey);
  WHILE (cur IS NOT NULL AND placelevel < 1000) DO
  BEGIN
    placelevel = placelevel + 1;
    SELECT p.placekey, p.parent, p.placekind, p.name, p.comment, p.inaddress, p.usehighlevel, k.abbr, k.name
      FROM fin_place p LEFT JOIN fin_placekind k ON k.placekindkey = p.placekind
     WHERE p.placekey = :cur
      INTO :placekey, :parent, :placekind, :name, :comment, :inaddress, :usehighlevel, :abbr, :kindname;
    IF (ROW_COUNT = 0) THEN LEAVE;
    SUSPEND;
    cur = parent;
  END
END^

/* cst_p_childplacecount: the number of places directly below a place; NULL or
   0 counts the top-level places. */
CREATE OR ALTER PROCEDURE cst_p_childplacecount (aplacekey INTEGER)
RETURNS (childcount INTEGER)
AS
BEGIN
  IF (COALESCE(aplacekey, 0) = 0) THEN
    childcount = (SELECT COUNT(*) FROM fin_place WHERE parent IS NULL);
  ELSE
    childcount = (SELECT COUNT(*) FROM fin_place WHERE parent = :aplacekey);
  SUSPEND;
END^

/* cst_p_childplacelist: the places directly below a place (NULL or 0: the
   top-level places) by name, each with its own number of children so that
   the tree knows at once which rows can open. */
CREATE OR ALTER PROCEDURE cst_p_childplacelist (aplacekey INTEGER)
RETURNS (placekey INTEGER, parent INTEGER, placekind INTEGER, name d_str60, comment d_str180,
         inaddress SMALLINT, usehighlevel SMALLINT, abbr d_str20, kindname d_str60,
         childcount INTEGER)
AS
BEGIN
  FOR SELECT p.placekey, p.parent, p.placekind, p.name, p.comment, p.inaddress, p.usehighlevel,
             k.abbr, k.name,
             (SELECT COUNT(*) FROM fin_place c WHERE c.parent = p.placekey)
        FROM fin_place p LEFT JOIN fin_placekind k ON k.placekindkey = p.placekind
       WHERE (COALESCE(:aplacekey, 0) = 0 AND p.parent IS NULL) OR p.parent = :aplacekey
       ORDER BY p.name, p.placekey
        INTO :placekey, :parent, :placekind, :name, :comment, :inaddress, :usehighlevel,
             :abbr, :kindname, :childcount
  DO SUSPEND;
END^

/* cst_p_sendplace: moves place Source under place Target (NULL or 0: to the
   top). Refused when Target is Source itself or lies below it, which would
   cut the branch off the tree. */
CREATE OR ALTER PROCEDURE cst_p_sendplace (Source INTEGER, Target INTEGER)
AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM fin_place WHERE placekey = :Source)) THEN
    EXCEPTION fin_e_place_missing;
  IF (COALESCE(Target, 0) = 0) THEN
    Target = NULL;
  ELSE
  BEGIN
    IF (NOT EXISTS (SELECT 1 FROM fin_place WHERE placekey = :Target)) THEN
      EXCEPTION fin_e_place_missing;
    IF (fin_f_tree_under(1, Target, Source) = 1) THEN
      EXCEPTION fin_e_place_hierarchy;
  END
  UPDATE fin_place SET parent = :Target WHERE placekey = :Source;
END^

/* cst_p_replace_place: replaces place Source by place Target everywhere (the
   addresses of customers, the places below Source) and deletes Source, the
   way duplicate entries are merged. Refused when Target is Source or lies
   below it; a table of another module still naming Source refuses the
   delete, and with it the whole replacement. */
CREATE OR ALTER PROCEDURE cst_p_replace_place (Source INTEGER, Target INTEGER)
AS
BEGIN
  IF (NOT EXISTS (SELECT 1 FROM fin_place WHERE placekey = :Source)
      OR NOT EXISTS (SELECT 1 FROM fin_place WHERE placekey = :Target)) THEN
    EXCEPTION fin_e_place_missing;
  IF (fin_f_tree_under(1, Target, Source) = 1) THEN
    EXCEPTION fin_e_place_hierarchy;
  UPDATE cst_customer SET placekey = :Target WHERE placekey = :Source;
  UPDATE fin_place SET parent = :Target WHERE parent = :Source;
  DELETE FROM fin_place WHERE placekey = :Source;
END^

SET TERM ; ^
