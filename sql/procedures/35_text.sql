/* Text matching shared by the customer filter and the lookup searches. */
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

SET TERM ; ^
