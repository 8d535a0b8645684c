/* Currencies and rates. */
SET TERM ^ ;

/* fin_p_curr_getcurr: the currencies that form the columns of the rate
   matrix of a base currency: every currency but the base itself, by short
   name; onlyactive 1 leaves out the disabled ones. With each comes the rate
   base -> currency valid on enddate (the latest fordate not after it, NULL
   when there is none) and how many rates of the pair, in either direction,
   are dated within startdate .. enddate. */
CREATE OR ALTER PROCEDURE fin_p_curr_getcurr (
  basecurr INTEGER, startdate DATE, enddate DATE, onlyactive INTEGER)
RETURNS (id INTEGER, shortname d_str8, name d_str60, fordate DATE, coeff DOUBLE PRECISION,
         ratecount INTEGER)
AS
BEGIN
  FOR SELECT c.id, c.shortname, c.name
        FROM fin_curr c
       WHERE c.id IS DISTINCT FROM :basecurr
         AND (COALESCE(:onlyactive, 0) <> 1 OR COALESCE(c.disabled, 0) = 0)
       ORDER BY c.shortname, c.id
        INTO :id, :shortname, :name
  DO
  BEGIN
    fordate = NULL;
    coeff = NULL;
    SELECT FIRST 1 r.fordate, r.coeff FROM fin_currrate r
     WHERE r.fromcurr = :basecurr AND r.tocurr = :id AND r.fordate <= :enddate
     ORDER BY r.fordate DESC
      INTO :fordate, :coeff;
    ratecount = (SELECT COUNT(*) FROM fin_currrate r
                  WHERE ((r.fromcurr = :basecurr AND r.tocurr = :id)
                         OR (r.fromcurr = :id AND r.tocurr = :basecurr))
                    AND r.fordate BETWEEN :startdate AND :enddate);
    SUSPEND;
  END
END^

SET TERM ; ^
