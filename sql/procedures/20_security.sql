/* Security: the password hash, the login procedure, the rights reader and
   the password setter.

   The start-up account OPENERUSR may execute FIN_P_SEC_LOGINUSER and nothing
   else; the procedure reads what it needs through grants of its own. */

CREATE OR ALTER EXCEPTION fin_e_security 'Security error';

SET TERM ^ ;

/* fin_p_sec_sha256_blocks: the SHA-256 compression of whole 64-byte blocks,
   starting from a given state. The password check needs a cryptographic hash
   and the server's built-in functions offer none, so it is written here on
   64-bit integers, one 32-bit word per variable. Starting from a given state
   lets the key derivation reuse the state of its fixed first block. */
CREATE OR ALTER PROCEDURE fin_p_sec_sha256_blocks (
  msg VARCHAR(8192) CHARACTER SET OCTETS,
  ih0 BIGINT, ih1 BIGINT, ih2 BIGINT, ih3 BIGINT, ih4 BIGINT, ih5 BIGINT, ih6 BIGINT, ih7 BIGINT)
RETURNS (h0 BIGINT, h1 BIGINT, h2 BIGINT, h3 BIGINT, h4 BIGINT, h5 BIGINT, h6 BIGINT, h7 BIGINT)
AS
DECLARE VARIABLE k VARCHAR(640) CHARACTER SET OCTETS;
DECLARE VARIABLE nblocks INTEGER;
DECLARE VARIABLE blk INTEGER;
DECLARE VARIABLE t INTEGER;
DECLARE VARIABLE p INTEGER;
DECLARE VARIABLE a BIGINT;
DECLARE VARIABLE b BIGINT;
DECLARE VARIABLE c BIGINT;
DECLARE VARIABLE d BIGINT;
DECLARE VARIABLE e BIGINT;
DECLARE VARIABLE f BIGINT;
DECLARE VARIABLE g BIGINT;
DECLARE VARIABLE h BIGINT;
DECLARE VARIABLE w0 BIGINT; DECLARE VARIABLE w1 BIGINT; DECLARE VARIABLE w2 BIGINT; DECLARE VARIABLE w3 BIGINT;
DECLARE VARIABLE w4 BIGINT; DECLARE VARIABLE w5 BIGINT; DECLARE VARIABLE w6 BIGINT; DECLARE VARIABLE w7 BIGINT;
DECLARE VARIABLE w8 BIGINT; DECLARE VARIABLE w9 BIGINT; DECLARE VARIABLE w10 BIGINT; DECLARE VARIABLE w11 BIGINT;
DECLARE VARIABLE w12 BIGINT; DECLARE VARIABLE w13 BIGINT; DECLARE VARIABLE w14 BIGINT; DECLARE VARIABLE w15 BIGINT;
DECLARE VARIABLE wt BIGINT;
DECLARE VARIABLE t1 BIGINT;
DECLARE VARIABLE t2 BIGINT;
BEGIN
  /* The 64 round constants, ten decimal digits each. */
  k = '1116352408189944744130493234713921009573096198716315089709932453635748287076322136243810800310598401' ||
    '0607225278142688198719250783882162078206261488810332482225803835390401402222477402643470780604807628' ||
    '0770255983124915012215550816921996064986255422088228218343492952996808321031367133365718913584528711' ||
    '0113926993033824189506663072050773529912129475737213961822911695183700198666105121770263502456956037' ||
    '2730485921282030241132597308003345764771351606581736003528044094571909027542334404302277340506948616' ||
    '0659060556088399787709581395711322822218153700206317478737791955562222202410481522277304522361852424' ||
    '2428436474275673418732040314793329325298';
  h0 = ih0; h1 = ih1; h2 = ih2; h3 = ih3; h4 = ih4; h5 = ih5; h6 = ih6; h7 = ih7;
  nblocks = OCTET_LENGTH(msg) / 64;
  blk = 0;
  WHILE (blk < nblocks) DO
  BEGIN
    a = h0; b = h1; c = h2; d = h3; e = h4; f = h5; g = h6; h = h7;
    w0 = 0; w1 = 0; w2 = 0; w3 = 0; w4 = 0; w5 = 0; w6 = 0; w7 = 0;
    w8 = 0; w9 = 0; w10 = 0; w11 = 0; w12 = 0; w13 = 0; w14 = 0; w15 = 0;
    t = 0;
    WHILE (t < 64) DO
    BEGIN
      IF (t < 16) THEN
      BEGIN
        p = blk * 64 + t * 4 + 1;
        wt = BIN_OR(BIN_OR(BIN_SHL(ASCII_VAL(SUBSTRING(msg FROM p FOR 1)), 24),
                           BIN_SHL(ASCII_VAL(SUBSTRING(msg FROM p + 1 FOR 1)), 16)),
                    BIN_OR(BIN_SHL(ASCII_VAL(SUBSTRING(msg FROM p + 2 FOR 1)), 8),
                           ASCII_VAL(SUBSTRING(msg FROM p + 3 FOR 1))));
      END
      ELSE
        wt = BIN_AND(w0 + BIN_XOR(BIN_XOR(BIN_OR(BIN_SHR(w1, 7), BIN_AND(BIN_SHL(w1, 25), 4294967295)), BIN_OR(BIN_SHR(w1, 18), BIN_AND(BIN_SHL(w1, 14), 4294967295))), BIN_SHR(w1, 3))
                     + w9 + BIN_XOR(BIN_XOR(BIN_OR(BIN_SHR(w14, 17), BIN_AND(BIN_SHL(w14, 15), 4294967295)), BIN_OR(BIN_SHR(w14, 19), BIN_AND(BIN_SHL(w14, 13), 4294967295))), BIN_SHR(w14, 10)), 4294967295);
      w0 = w1; w1 = w2; w2 = w3; w3 = w4; w4 = w5; w5 = w6; w6 = w7; w7 = w8;
      w8 = w9; w9 = w10; w10 = w11; w11 = w12; w12 = w13; w13 = w14; w14 = w15; w15 = wt;

      t1 = h + BIN_XOR(BIN_XOR(BIN_OR(BIN_SHR(e, 6), BIN_AND(BIN_SHL(e, 26), 4294967295)), BIN_OR(BIN_SHR(e, 11), BIN_AND(BIN_SHL(e, 21), 4294967295))), BIN_OR(BIN_SHR(e, 25), BIN_AND(BIN_SHL(e, 7), 4294967295)))
             + BIN_XOR(BIN_AND(e, f), BIN_AND(BIN_XOR(e, 4294967295), g))
             + CAST(SUBSTRING(k FROM t * 10 + 1 FOR 10) AS BIGINT)
             + wt;
      t2 = BIN_XOR(BIN_XOR(BIN_OR(BIN_SHR(a, 2), BIN_AND(BIN_SHL(a, 30), 4294967295)), BIN_OR(BIN_SHR(a, 13), BIN_AND(BIN_SHL(a, 19), 4294967295))), BIN_OR(BIN_SHR(a, 22), BIN_AND(BIN_SHL(a, 10), 4294967295)))
           + BIN_XOR(BIN_XOR(BIN_AND(a, b), BIN_AND(a, c)), BIN_AND(b, c));
      h = g; g = f; f = e;
      e = BIN_AND(d + t1, 4294967295);
      d = c; c = b; b = a;
      a = BIN_AND(t1 + t2, 4294967295);
      t = t + 1;
    END
    h0 = BIN_AND(h0 + a, 4294967295); h1 = BIN_AND(h1 + b, 4294967295); h2 = BIN_AND(h2 + c, 4294967295); h3 = BIN_AND(h3 + d, 4294967295);
    h4 = BIN_AND(h4 + e, 4294967295); h5 = BIN_AND(h5 + f, 4294967295); h6 = BIN_AND(h6 + g, 4294967295); h7 = BIN_AND(h7 + h, 4294967295);
    blk = blk + 1;
  END
END^

/* fin_f_sec_sha256_pad: the SHA-256 padding of a message that follows
   'prefixlen' bytes already compressed: 0x80, zeros, and the total bit length
   as a 64-bit big-endian number. */
CREATE OR ALTER FUNCTION fin_f_sec_sha256_pad (data VARCHAR(8000) CHARACTER SET OCTETS, prefixlen INTEGER)
RETURNS VARCHAR(8192) CHARACTER SET OCTETS
AS
DECLARE VARIABLE len BIGINT;
DECLARE VARIABLE msg VARCHAR(8192) CHARACTER SET OCTETS;
DECLARE VARIABLE i INTEGER;
BEGIN
  len = OCTET_LENGTH(data);
  msg = RPAD(data || x'80', ((len + 8) / 64 + 1) * 64 - 8, x'00');
  len = (len + prefixlen) * 8;
  i = 7;
  WHILE (i >= 0) DO
  BEGIN
    msg = msg || CAST(ASCII_CHAR(BIN_AND(BIN_SHR(len, i * 8), 255)) AS CHAR(1) CHARACTER SET OCTETS);
    i = i - 1;
  END
  RETURN msg;
END^

/* fin_f_sec_words2bytes: eight 32-bit words as 32 bytes, big-endian. */
CREATE OR ALTER FUNCTION fin_f_sec_words2bytes (h0 BIGINT, h1 BIGINT, h2 BIGINT, h3 BIGINT, h4 BIGINT, h5 BIGINT, h6 BIGINT, h7 BIGINT)
RETURNS VARCHAR(32) CHARACTER SET OCTETS
AS
DECLARE VARIABLE res VARCHAR(32) CHARACTER SET OCTETS = '';
DECLARE VARIABLE i INTEGER = 0;
DECLARE VARIABLE v BIGINT;
BEGIN
  WHILE (i < 8) DO
  BEGIN
    v = DECODE(i, 0, h0, 1, h1, 2, h2, 3, h3, 4, h4, 5, h5, 6, h6, h7);
    res = res || CAST(ASCII_CHAR(BIN_AND(BIN_SHR(v, 24), 255)) AS CHAR(1) CHARACTER SET OCTETS)
              || CAST(ASCII_CHAR(BIN_AND(BIN_SHR(v, 16), 255)) AS CHAR(1) CHARACTER SET OCTETS)
              || CAST(ASCII_CHAR(BIN_AND(BIN_SHR(v, 8), 255)) AS CHAR(1) CHARACTER SET OCTETS)
              || CAST(ASCII_CHAR(BIN_AND(v, 255)) AS CHAR(1) CHARACTER SET OCTETS);
    i = i + 1;
  END
  RETURN res;
END^

/* fin_f_sec_sha256: SHA-256 of a byte string. */
CREATE OR ALTER FUNCTION fin_f_sec_sha256 (data VARCHAR(8000) CHARACTER SET OCTETS)
RETURNS VARCHAR(32) CHARACTER SET OCTETS
AS
DECLARE VARIABLE h0 BIGINT;
DECLARE VARIABLE h1 BIGINT;
DECLARE VARIABLE h2 BIGINT;
DECLARE VARIABLE h3 BIGINT;
DECLARE VARIABLE h4 BIGINT;
DECLARE VARIABLE h5 BIGINT;
DECLARE VARIABLE h6 BIGINT;
DECLARE VARIABLE h7 BIGINT;
BEGIN
  EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_sha256_pad(COALESCE(data, ''), 0), 1779033703, 3144134277, 1013904242, 2773480762, 1359893119, 2600822924, 528734635, 1541459225)
    RETURNING_VALUES :h0, :h1, :h2, :h3, :h4, :h5, :h6, :h7;
  RETURN fin_f_sec_words2bytes(h0, h1, h2, h3, h4, h5, h6, h7);
END^

/* fin_f_sec_xorbytes: byte-wise exclusive or of two strings of equal length. */
CREATE OR ALTER FUNCTION fin_f_sec_xorbytes (x VARCHAR(64) CHARACTER SET OCTETS, y VARCHAR(64) CHARACTER SET OCTETS)
RETURNS VARCHAR(64) CHARACTER SET OCTETS
AS
DECLARE VARIABLE res VARCHAR(64) CHARACTER SET OCTETS = '';
DECLARE VARIABLE i INTEGER = 1;
BEGIN
  WHILE (i <= OCTET_LENGTH(x)) DO
  BEGIN
    res = res || CAST(ASCII_CHAR(BIN_XOR(ASCII_VAL(SUBSTRING(x FROM i FOR 1)), ASCII_VAL(SUBSTRING(y FROM i FOR 1))))
                      AS CHAR(1) CHARACTER SET OCTETS);
    i = i + 1;
  END
  RETURN res;
END^

/* fin_f_sec_pbkdf2: PBKDF2 with HMAC-SHA-256, one 32-byte block of output.
   The states after the fixed inner and outer key blocks are computed once,
   so each iteration costs two compressions. */
CREATE OR ALTER FUNCTION fin_f_sec_pbkdf2 (
  passw VARCHAR(512) CHARACTER SET OCTETS,
  salt VARCHAR(64) CHARACTER SET OCTETS,
  iterations INTEGER)
RETURNS VARCHAR(32) CHARACTER SET OCTETS
AS
DECLARE VARIABLE k VARCHAR(512) CHARACTER SET OCTETS;
DECLARE VARIABLE u VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE acc VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE n INTEGER;
DECLARE VARIABLE i0 BIGINT;
DECLARE VARIABLE i1 BIGINT;
DECLARE VARIABLE i2 BIGINT;
DECLARE VARIABLE i3 BIGINT;
DECLARE VARIABLE i4 BIGINT;
DECLARE VARIABLE i5 BIGINT;
DECLARE VARIABLE i6 BIGINT;
DECLARE VARIABLE i7 BIGINT;
DECLARE VARIABLE o0 BIGINT;
DECLARE VARIABLE o1 BIGINT;
DECLARE VARIABLE o2 BIGINT;
DECLARE VARIABLE o3 BIGINT;
DECLARE VARIABLE o4 BIGINT;
DECLARE VARIABLE o5 BIGINT;
DECLARE VARIABLE o6 BIGINT;
DECLARE VARIABLE o7 BIGINT;
DECLARE VARIABLE h0 BIGINT;
DECLARE VARIABLE h1 BIGINT;
DECLARE VARIABLE h2 BIGINT;
DECLARE VARIABLE h3 BIGINT;
DECLARE VARIABLE h4 BIGINT;
DECLARE VARIABLE h5 BIGINT;
DECLARE VARIABLE h6 BIGINT;
DECLARE VARIABLE h7 BIGINT;
BEGIN
  k = COALESCE(passw, '');
  IF (OCTET_LENGTH(k) > 64) THEN k = fin_f_sec_sha256(k);
  k = RPAD(k, 64, x'00');
  EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_xorbytes(k, RPAD(x'36', 64, x'36')), 1779033703, 3144134277, 1013904242, 2773480762, 1359893119, 2600822924, 528734635, 1541459225)
    RETURNING_VALUES :i0, :i1, :i2, :i3, :i4, :i5, :i6, :i7;
  EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_xorbytes(k, RPAD(x'5C', 64, x'5C')), 1779033703, 3144134277, 1013904242, 2773480762, 1359893119, 2600822924, 528734635, 1541459225)
    RETURNING_VALUES :o0, :o1, :o2, :o3, :o4, :o5, :o6, :o7;

  /* U1 = HMAC(P, S || INT(1)) */
  EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_sha256_pad(COALESCE(salt, '') || x'00000001', 64),
                                            i0, i1, i2, i3, i4, i5, i6, i7)
    RETURNING_VALUES :h0, :h1, :h2, :h3, :h4, :h5, :h6, :h7;
  EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_sha256_pad(fin_f_sec_words2bytes(h0, h1, h2, h3, h4, h5, h6, h7), 64),
                                            o0, o1, o2, o3, o4, o5, o6, o7)
    RETURNING_VALUES :h0, :h1, :h2, :h3, :h4, :h5, :h6, :h7;
  u = fin_f_sec_words2bytes(h0, h1, h2, h3, h4, h5, h6, h7);
  acc = u;
  n = 1;
  WHILE (n < iterations) DO
  BEGIN
    EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_sha256_pad(u, 64), i0, i1, i2, i3, i4, i5, i6, i7)
      RETURNING_VALUES :h0, :h1, :h2, :h3, :h4, :h5, :h6, :h7;
    EXECUTE PROCEDURE fin_p_sec_sha256_blocks(fin_f_sec_sha256_pad(fin_f_sec_words2bytes(h0, h1, h2, h3, h4, h5, h6, h7), 64),
                                              o0, o1, o2, o3, o4, o5, o6, o7)
      RETURNING_VALUES :h0, :h1, :h2, :h3, :h4, :h5, :h6, :h7;
    u = fin_f_sec_words2bytes(h0, h1, h2, h3, h4, h5, h6, h7);
    acc = fin_f_sec_xorbytes(acc, u);
    n = n + 1;
  END
  RETURN acc;
END^

/* FIN_P_SEC_LOGINUSER: checks subsystem, user and password and opens a
   session. RESULT: 0 accepted, -4 unknown or disabled subsystem, -1 unknown
   or disabled user, -2 wrong password (also a user without a password),
   -3 no right 0 (enter) in the subsystem. The subsystem may be given by name
   (letter case ignored) or by its number. Every accepted call gets a new
   session key. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_LOGINUSER (
  SUBSYSTEM VARCHAR(60) CHARACTER SET UTF8,
  USERNAME  VARCHAR(60) CHARACTER SET UTF8,
  PASSW     VARCHAR(128) CHARACTER SET UTF8)
RETURNS (
  RESULT       INTEGER,
  USERKEY      INTEGER,
  IBNAME       VARCHAR(31) CHARACTER SET UTF8,
  IBPASSW      VARCHAR(64) CHARACTER SET UTF8,
  SESSION      INTEGER,
  SUBSYSTEMKEY INTEGER)
AS
DECLARE VARIABLE salt VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE hash VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE iter INTEGER;
BEGIN
  RESULT = -4;
  USERKEY = NULL; IBNAME = NULL; IBPASSW = NULL; SESSION = NULL; SUBSYSTEMKEY = NULL;

  SELECT FIRST 1 s.subsystemkey FROM fin_subsystem s
   WHERE COALESCE(s.disabled, 0) = 0
     AND (UPPER(s.name) = UPPER(TRIM(:SUBSYSTEM)) OR CAST(s.subsystemkey AS VARCHAR(20)) = TRIM(:SUBSYSTEM))
    INTO :SUBSYSTEMKEY;
  IF (SUBSYSTEMKEY IS NULL) THEN
    EXIT;

  RESULT = -1;
  SELECT FIRST 1 u.userkey, u.passwsalt, u.passwhash, u.passwiter, COALESCE(u.ibname, 'KORVEX')
    FROM fin_user u
   WHERE UPPER(u.name) = UPPER(TRIM(:USERNAME)) AND COALESCE(u.disabled, 0) = 0
    INTO :USERKEY, :salt, :hash, :iter, :IBNAME;
  IF (USERKEY IS NULL) THEN
  BEGIN
    SUBSYSTEMKEY = NULL;
    EXIT;
  END

  RESULT = -2;
  IF (hash IS NULL OR salt IS NULL OR iter IS NULL OR iter < 1
      OR fin_f_sec_pbkdf2(CAST(COALESCE(PASSW, '') AS VARCHAR(512) CHARACTER SET OCTETS), salt, iter) <> hash) THEN
  BEGIN
    USERKEY = NULL; IBNAME = NULL; SUBSYSTEMKEY = NULL;
    EXIT;
  END

  RESULT = -3;
  IF (NOT EXISTS (SELECT 1 FROM fin_userright r
                   WHERE r.userkey = :USERKEY AND r.subsystemkey = :SUBSYSTEMKEY AND r.userright = 0)) THEN
  BEGIN
    USERKEY = NULL; IBNAME = NULL; SUBSYSTEMKEY = NULL;
    EXIT;
  END

  SELECT a.ibpassw FROM fin_dbaccount a WHERE a.ibname = :IBNAME INTO :IBPASSW;
  SESSION = NEXT VALUE FOR fin_g_session;
  INSERT INTO fin_session (sessionkey, userkey, subsystemkey, starttime)
  VALUES (:SESSION, :USERKEY, :SUBSYSTEMKEY, CURRENT_TIMESTAMP);
  RESULT = 0;
END^

/* fin_p_sec_getrightsforuser: one row per right the user holds in the
   subsystem (0, 10, 20, 30, 40), in ascending order. */
CREATE OR ALTER PROCEDURE fin_p_sec_getrightsforuser (UK INTEGER, SS INTEGER)
RETURNS (userright INTEGER)
AS
BEGIN
  FOR SELECT r.userright FROM fin_userright r
       WHERE r.userkey = :UK AND r.subsystemkey = :SS
       ORDER BY r.userright
      INTO :userright
  DO
    SUSPEND;
END^

/* FIN_P_SEC_SETPASSWORD: stores a new password of a user as a fresh random
   salt, the PBKDF2 hash and its iteration count (1000 when none is given).
   An empty password is refused: a user without a password cannot log in. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_SETPASSWORD (
  USERKEY    INTEGER,
  PASSW      VARCHAR(128) CHARACTER SET UTF8,
  ITERATIONS INTEGER)
AS
DECLARE VARIABLE salt VARCHAR(32) CHARACTER SET OCTETS;
BEGIN
  IF (COALESCE(PASSW, '') = '') THEN
    EXCEPTION fin_e_security 'The password must not be empty.';
  IF (ITERATIONS IS NULL OR ITERATIONS < 1) THEN
    ITERATIONS = 1000;
  salt = GEN_UUID();
  UPDATE fin_user u
     SET u.passwsalt = :salt,
         u.passwhash = fin_f_sec_pbkdf2(CAST(:PASSW AS VARCHAR(512) CHARACTER SET OCTETS), :salt, :ITERATIONS),
         u.passwiter = :ITERATIONS
   WHERE u.userkey = :USERKEY;
  IF (ROW_COUNT = 0) THEN
    EXCEPTION fin_e_security 'No user with the key ' || :USERKEY || '.';
END^

/* fin_f_sec_tohex / fin_f_sec_fromhex: byte strings as lower-case hex text
   and back, for tools that cannot carry raw bytes (hash checks, exports). */
CREATE OR ALTER FUNCTION fin_f_sec_tohex (data VARCHAR(4000) CHARACTER SET OCTETS)
RETURNS VARCHAR(8000) CHARACTER SET ASCII
AS
DECLARE VARIABLE res VARCHAR(8000) CHARACTER SET ASCII = '';
DECLARE VARIABLE i INTEGER = 1;
DECLARE VARIABLE v INTEGER;
BEGIN
  IF (data IS NULL) THEN RETURN NULL;
  WHILE (i <= OCTET_LENGTH(data)) DO
  BEGIN
    v = ASCII_VAL(SUBSTRING(data FROM i FOR 1));
    res = res || SUBSTRING('0123456789abcdef' FROM v / 16 + 1 FOR 1) || SUBSTRING('0123456789abcdef' FROM MOD(v, 16) + 1 FOR 1);
    i = i + 1;
  END
  RETURN res;
END^

CREATE OR ALTER FUNCTION fin_f_sec_fromhex (hex VARCHAR(8000) CHARACTER SET ASCII)
RETURNS VARCHAR(4000) CHARACTER SET OCTETS
AS
DECLARE VARIABLE res VARCHAR(4000) CHARACTER SET OCTETS = '';
DECLARE VARIABLE i INTEGER = 1;
BEGIN
  IF (hex IS NULL) THEN RETURN NULL;
  hex = LOWER(hex);
  WHILE (i < CHAR_LENGTH(hex)) DO
  BEGIN
    res = res || CAST(ASCII_CHAR((POSITION(SUBSTRING(hex FROM i FOR 1) IN '0123456789abcdef') - 1) * 16
                                 + POSITION(SUBSTRING(hex FROM i + 1 FOR 1) IN '0123456789abcdef') - 1)
                      AS CHAR(1) CHARACTER SET OCTETS);
    i = i + 2;
  END
  RETURN res;
END^

SET TERM ; ^

GRANT EXECUTE ON PROCEDURE FIN_P_SEC_LOGINUSER TO OPENERUSR;
GRANT SELECT ON fin_subsystem TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_user TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_userright TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_dbaccount TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT INSERT ON fin_session TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT USAGE ON SEQUENCE fin_g_session TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT EXECUTE ON FUNCTION fin_f_sec_pbkdf2 TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT EXECUTE ON FUNCTION fin_f_sec_pbkdf2 TO PROCEDURE FIN_P_SEC_SETPASSWORD;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256 TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_xorbytes TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256_pad TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_words2bytes TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON PROCEDURE fin_p_sec_sha256_blocks TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256_pad TO FUNCTION fin_f_sec_sha256;
GRANT EXECUTE ON FUNCTION fin_f_sec_words2bytes TO FUNCTION fin_f_sec_sha256;
GRANT EXECUTE ON PROCEDURE fin_p_sec_sha256_blocks TO FUNCTION fin_f_sec_sha256;
