/* Helpers shared by the procedures: text matching and tree climbing. */
SET TERM ^ ;

/* fin_f_textmatch: 1 when val matches mask in the given mode, 0 otherwise.
   Modes: 0 equals, 1 contains, 2 starts with, 3 ends with; -1, NULL or any
   other value means the condition is off (always 1). Both texts are
   compared without letter case and without the blanks around them; the mask
   is plain text, not a pattern. An empty mask matches everything except in
   mode 0, where it matches an empty or missing value. */
CREATE OR ALTER FUNCTION fin_f_textmatch (val d_str1000, mode INTEGER, mask d_str1000)
RETURNS SMALLINT
AS
DECLARE VARIABLE v d_str1000;
DECLARE VARIABLE m d_str1000;
BEGIN
  IF (mode IS NULL OR mode NOT BETWEEN 0 AND 3) THEN RETURN 1;
  v = UPPER(TRIM(COALESCE(val, '')));
  m = UPPER(TRIM(COALESCE(mask, '')));
  IF (mode = 0) THEN RETURN IIF(v = m, 1, 0);
  IF (m = '') THEN RETURN 1;
  IF (mode = 1) THEN RETURN IIF(POSITION(m IN v) > 0, 1, 0);
  IF (mode = 2) THEN RETURN IIF(v STARTING WITH m, 1, 0);
  RETURN IIF(CHAR_LENGTH(v) >= CHAR_LENGTH(m) AND RIGHT(v, CHAR_LENGTH(m)) = m, 1, 0);
END^

/* fin_f_tree_under: 1 when row p is row a or lies below it in its tree,
   0 otherwise. tree: 1 places, 2 leased objects, 3 variable values, 4 plan
   figures. A cycle left by hand-made data ends the climb after 1000 levels. */
CREATE OR ALTER FUNCTION fin_f_tree_under (tree SMALLINT, p INTEGER, a INTEGER)
RETURNS SMALLINT
AS
DECLARE VARIABLE depth INTEGER = 0;
BEGIN
  WHILE (p IS NOT NULL AND depth < 1000) DO
  BEGIN
    IF (p = a) THEN RETURN 1;
    IF (tree = 1) THEN p = (SELECT parent FROM fin_place WHERE placekey = :p);
    ELSE IF (tree = 2) THEN p = (SELECT parent FROM rent_object WHERE id = :p);
    ELSE IF (tree = 3) THEN p = (SELECT parent FROM rent_valuevariable WHERE id = :p);
    ELSE IF (tree = 4) THEN p = (SELECT parent FROM rent_objectgraph WHERE id = :p);
    ELSE p = NULL;
    depth = depth + 1;
  END
  RETURN 0;
END^

SET TERM ; ^
