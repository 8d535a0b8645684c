/* Services: prices from the price list, dated values, quantities. */
SET TERM ^ ;

/* rent_p_getservicecost: the one price-list row that applies to a service on
   an object. A row for the object itself wins; else the row for its nearest
   ancestor in the object tree (a price set for a building serves its rooms);
   else a row for any object (objectkey NULL). Rows of the same rank: the
   oldest (smallest id). No object (NULL or 0) looks only at rows for any
   object. No row at all: no price. */
CREATE OR ALTER PROCEDURE rent_p_getservicecost (servicekey INTEGER, objectkey INTEGER)
RETURNS (costncu DOUBLE PRECISION, costcurr DOUBLE PRECISION, typereckoningkey INTEGER,
         ncureckoning SMALLINT, servicecostkey INTEGER, currkey INTEGER)
AS
DECLARE VARIABLE obj INTEGER;
DECLARE VARIABLE depth INTEGER = 0;
BEGIN
  obj = NULLIF(objectkey, 0);
  WHILE (obj IS NOT NULL AND depth < 1000) DO
  BEGIN
    servicecostkey = NULL;
    SELECT FIRST 1 id, costncu, costcurr, typereckoningkey, ncureckoning, currkey
      FROM rent_servicecost
     WHERE servicekey = :servicekey AND objectkey = :obj
     ORDER BY id
      INTO :servicecostkey, :costncu, :costcurr, :typereckoningkey, :ncureckoning, :currkey;
    IF (servicecostkey IS NOT NULL) THEN
    BEGIN
      SUSPEND;
      EXIT;
    END
    obj = (SELECT parent FROM rent_object WHERE id = :obj);
    depth = depth + 1;
  END
  servicecostkey = NULL;
  SELECT FIRST 1 id, costncu, costcurr, typereckoningkey, ncureckoning, currkey
    FROM rent_servicecost
   WHERE servicekey = :servicekey AND objectkey IS NULL
   ORDER BY id
    INTO :servicecostkey, :costncu, :costcurr, :typereckoningkey, :ncureckoning, :currkey;
  IF (servicecostkey IS NOT NULL) THEN SUSPEND;
END^

/* rent_p_getservicevalue: the value of a service valid on date D, the one
   dated last on or before D; NULL when the service has none by then. */
CREATE OR ALTER PROCEDURE rent_p_getservicevalue (servicekey INTEGER, D DATE)
RETURNS (servicevalue DOUBLE PRECISION)
AS
BEGIN
  servicevalue = NULL;
  SELECT FIRST 1 v.servicevalue FROM rent_servicevalue v
   WHERE v.servicekey = :servicekey AND v.servicedate <= :D
   ORDER BY v.servicedate DESC, v.id DESC
    INTO :servicevalue;
END^

/* rent_p_get_parentservice: the top-level service above a service (itself
   when it has no parent), under which registers group its lines. */
CREATE OR ALTER PROCEDURE rent_p_get_parentservice (aservicekey INTEGER)
RETURNS (servicekey INTEGER)
AS
DECLARE VARIABLE up INTEGER;
DECLARE VARIABLE depth INTEGER = 0;
BEGIN
  servicekey = (SELECT id FROM rent_service WHERE id = :aservicekey);
  up = (SELECT parent FROM rent_service WHERE id = :servicekey);
  WHILE (up IS NOT NULL AND depth < 1000) DO
  BEGIN
    servicekey = up;
    up = (SELECT parent FROM rent_service WHERE id = :servicekey);
    depth = depth + 1;
  END
  IF (servicekey IS NOT NULL) THEN SUSPEND;
END^

/* rent_p_getcountservice and rent_p_getsumservice read the dated values of a
   contract service (its "values by position", e.g. meter readings) within
   the period of validity of its service, as the contract page lists them:
   servicecount is how many there are, servicesum their total (0 for none).
   An open end of the period (NULL date) does not limit. */
CREATE OR ALTER PROCEDURE rent_p_getcountservice (contractservicekey INTEGER)
RETURNS (servicecount INTEGER)
AS
BEGIN
  servicecount = (SELECT COUNT(*)
                    FROM rent_contractservicevalue v
                    JOIN rent_contractservice cs ON cs.id = v.contractservicekey
                    JOIN rent_service s ON s.id = cs.servicekey
                   WHERE v.contractservicekey = :contractservicekey
                     AND (s.startdate IS NULL OR v.contractservicedate >= s.startdate)
                     AND (s.enddate IS NULL OR v.contractservicedate <= s.enddate));
END^

CREATE OR ALTER PROCEDURE rent_p_getsumservice (id INTEGER)
RETURNS (servicesum DOUBLE PRECISION)
AS
BEGIN
  servicesum = COALESCE((SELECT SUM(v.contractservicevalue)
                           FROM rent_contractservicevalue v
                           JOIN rent_contractservice cs ON cs.id = v.contractservicekey
                           JOIN rent_service s ON s.id = cs.servicekey
                          WHERE v.contractservicekey = :id
                            AND (s.startdate IS NULL OR v.contractservicedate >= s.startdate)
                            AND (s.enddate IS NULL OR v.contractservicedate <= s.enddate)), 0);
END^

SET TERM ; ^
