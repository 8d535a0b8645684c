/* Demonstration data, last step: the objects of open contracts are in use,
   the contract totals are summed, and every key sequence moves past the
   keys the demonstration brought along. */

UPDATE rent_object SET useful = 1
 WHERE id IN (SELECT cs.objectkey FROM rent_contractservice cs JOIN rent_contract c ON c.id = cs.contractkey
               WHERE c.disabled = 0);

SET TERM ^ ;
EXECUTE BLOCK
AS
DECLARE VARIABLE k INTEGER;
BEGIN
  FOR SELECT id FROM rent_contract INTO :k DO
    EXECUTE PROCEDURE rent_p_sumcontract(:k);
END^
SET TERM ; ^

EXECUTE PROCEDURE fin_p_sync_keys;
