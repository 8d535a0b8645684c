/* Security: hashing, the login, the rights reader and user administration.

   A password is checked by a key the client derives from it with
   PBKDF2-HMAC-SHA-256, from the salt and iteration count that
   FIN_P_SEC_LOGINSALT hands out; the server keeps and compares SHA-256 of
   the key only (fin_userpassw). The PBKDF2 written here in PSQL serves only
   to replace a password stored the old way, at its owner's next login.

   The start-up account OPENERUSR may execute the login procedures and
   nothing else. The two working accounts (fin_dbaccount.accountkind 0 and
   10) read users and rights but write neither; user administration goes
   through FIN_P_SEC_ADDUSER, FIN_P_SEC_SETRIGHT, FIN_P_SEC_SETPASSWORD and
   FIN_P_SEC_USERLIST, which only the administrators' account may execute
   (granted by the program with the other working-account rights). Every
   procedure reads what it needs through grants of its own. */

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


/* fin_f_sec_standinsalt: the salt handed out for a name that has no usable
   password: SHA-256 of the database's secret and the name, cut to a salt's
   length. The same name always gets the same salt, and it cannot be told
   from a real one. */
CREATE OR ALTER FUNCTION fin_f_sec_standinsalt (username VARCHAR(60) CHARACTER SET UTF8)
RETURNS VARCHAR(16) CHARACTER SET OCTETS
AS
DECLARE VARIABLE secret VARCHAR(32) CHARACTER SET OCTETS;
BEGIN
  SELECT FIRST 1 secret FROM fin_dbsecret INTO :secret;
  RETURN LEFT(fin_f_sec_sha256(COALESCE(secret, '') ||
                               CAST(UPPER(TRIM(COALESCE(username, ''))) AS VARCHAR(240) CHARACTER SET OCTETS)), 16);
END^

/* FIN_P_SEC_LOGINSALT: the salt (hex) and iteration count the client derives
   the user's key with. A user unknown, disabled or without a password gets
   the stand-in salt and the default count (100000, the client's default
   too). LEGACY is 1 for a user whose password is still stored the old way:
   the client then replaces it through FIN_P_SEC_REPLACELEGACY. The stand-in
   salt is computed for every name, so every answer takes the same work. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_LOGINSALT (USERNAME VARCHAR(60) CHARACTER SET UTF8)
RETURNS (SALT VARCHAR(64) CHARACTER SET ASCII, ITERATIONS INTEGER, LEGACY SMALLINT)
AS
DECLARE VARIABLE standin VARCHAR(16) CHARACTER SET OCTETS;
DECLARE VARIABLE s VARCHAR(16) CHARACTER SET OCTETS;
DECLARE VARIABLE it INTEGER;
DECLARE VARIABLE k VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE lh VARCHAR(32) CHARACTER SET OCTETS;
BEGIN
  standin = fin_f_sec_standinsalt(USERNAME);
  LEGACY = 0;
  SELECT FIRST 1 p.salt, p.iterations, p.keyhash, p.legacyhash
    FROM fin_user u JOIN fin_userpassw p ON p.userkey = u.userkey
   WHERE UPPER(u.name) = UPPER(TRIM(:USERNAME)) AND COALESCE(u.disabled, 0) = 0
    INTO :s, :it, :k, :lh;
  IF (k IS NOT NULL AND s IS NOT NULL AND it IS NOT NULL) THEN
  BEGIN
    SALT = fin_f_sec_tohex(s);
    ITERATIONS = it;
  END
  ELSE
  BEGIN
    SALT = fin_f_sec_tohex(standin);
    ITERATIONS = 100000;
    IF (k IS NULL AND lh IS NOT NULL) THEN LEGACY = 1;
  END
END^

/* fin_p_sec_storekey: stores a user's new key: the salt (hex, 16 bytes),
   the iteration count (100000 to 10000000) and SHA-256 of the key (given as
   64 hex digits); an old-form password goes with it. */
CREATE OR ALTER PROCEDURE fin_p_sec_storekey (
  USERKEY    INTEGER,
  SALT       VARCHAR(64) CHARACTER SET ASCII,
  ITERATIONS INTEGER,
  PASSWKEY   VARCHAR(128) CHARACTER SET ASCII)
AS
BEGIN
  IF (COALESCE(SALT, '') NOT SIMILAR TO '[0-9a-fA-F]{32}') THEN
    EXCEPTION fin_e_security 'The salt must be 16 bytes in hex.';
  IF (COALESCE(PASSWKEY, '') NOT SIMILAR TO '[0-9a-fA-F]{64}') THEN
    EXCEPTION fin_e_security 'The password key must be 32 bytes in hex.';
  IF (ITERATIONS IS NULL OR ITERATIONS < 100000 OR ITERATIONS > 10000000) THEN
    EXCEPTION fin_e_security 'The iteration count must be from 100000 to 10000000.';
  IF (NOT EXISTS (SELECT 1 FROM fin_user WHERE userkey = :USERKEY)) THEN
    EXCEPTION fin_e_security 'No user with the key ' || COALESCE(:USERKEY, 'NULL') || '.';
  UPDATE OR INSERT INTO fin_userpassw (userkey, salt, iterations, keyhash, legacysalt, legacyhash, legacyiter, changed)
  VALUES (:USERKEY, fin_f_sec_fromhex(:SALT), :ITERATIONS, fin_f_sec_sha256(fin_f_sec_fromhex(:PASSWKEY)),
          NULL, NULL, NULL, CURRENT_TIMESTAMP)
  MATCHING (userkey);
END^

/* FIN_P_SEC_LOGINUSER: checks subsystem, user and password and opens a
   session. PASSW is the key derived from the password (64 hex digits).
   RESULT: 0 accepted, -4 unknown or disabled subsystem, -1 unknown or
   disabled user, -2 wrong password (also a user without a password), -3 no
   right 0 (enter) in the subsystem. The subsystem may be given by name
   (letter case ignored) or by its number. The key is hashed before the user
   is looked up, so an unknown user and a wrong password take the same time.
   The account handed out follows the user's rights: the administrators'
   (kind 10) to a user with right 10 in the subsystem, the one for everyone
   (kind 0) otherwise. Every accepted call gets a new session key. */
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
DECLARE VARIABLE valid SMALLINT;
DECLARE VARIABLE given VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE stored VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE kind INTEGER;
BEGIN
  RESULT = -4;
  USERKEY = NULL; IBNAME = NULL; IBPASSW = NULL; SESSION = NULL; SUBSYSTEMKEY = NULL;

  SELECT FIRST 1 s.subsystemkey FROM fin_subsystem s
   WHERE COALESCE(s.disabled, 0) = 0
     AND (UPPER(s.name) = UPPER(TRIM(:SUBSYSTEM)) OR CAST(s.subsystemkey AS VARCHAR(20)) = TRIM(:SUBSYSTEM))
    INTO :SUBSYSTEMKEY;
  IF (SUBSYSTEMKEY IS NULL) THEN
    EXIT;

  valid = IIF(COALESCE(PASSW, '') SIMILAR TO '[0-9a-fA-F]{64}', 1, 0);
  given = fin_f_sec_sha256(IIF(valid = 1, fin_f_sec_fromhex(PASSW), RPAD(x'00', 32, x'00')));

  RESULT = -1;
  SELECT FIRST 1 u.userkey, p.keyhash
    FROM fin_user u LEFT JOIN fin_userpassw p ON p.userkey = u.userkey
   WHERE UPPER(u.name) = UPPER(TRIM(:USERNAME)) AND COALESCE(u.disabled, 0) = 0
    INTO :USERKEY, :stored;
  IF (USERKEY IS NULL) THEN
  BEGIN
    SUBSYSTEMKEY = NULL;
    EXIT;
  END

  RESULT = -2;
  IF (valid = 0 OR stored IS NULL OR stored <> given) THEN
  BEGIN
    USERKEY = NULL; SUBSYSTEMKEY = NULL;
    EXIT;
  END

  RESULT = -3;
  IF (NOT EXISTS (SELECT 1 FROM fin_userright r
                   WHERE r.userkey = :USERKEY AND r.subsystemkey = :SUBSYSTEMKEY AND r.userright = 0)) THEN
  BEGIN
    USERKEY = NULL; SUBSYSTEMKEY = NULL;
    EXIT;
  END

  kind = IIF(EXISTS (SELECT 1 FROM fin_userright r
                      WHERE r.userkey = :USERKEY AND r.subsystemkey = :SUBSYSTEMKEY AND r.userright = 10), 10, 0);
  SELECT FIRST 1 a.ibname, a.ibpassw FROM fin_dbaccount a
   WHERE a.accountkind = :kind OR a.accountkind = 0
   ORDER BY IIF(a.accountkind = :kind, 0, 1)
    INTO :IBNAME, :IBPASSW;
  IF (IBNAME IS NULL) THEN
    EXCEPTION fin_e_security 'No database account is recorded for the login (korvex-rent-cli user dbaccount).';
  SESSION = NEXT VALUE FOR fin_g_session;
  INSERT INTO fin_session (sessionkey, userkey, subsystemkey, starttime)
  VALUES (:SESSION, :USERKEY, :SUBSYSTEMKEY, CURRENT_TIMESTAMP);
  RESULT = 0;
END^

/* FIN_P_SEC_REPLACELEGACY: for a user whose password is still stored the old
   way (PBKDF2 by the server), checks the password against it and, when it
   matches, stores the new key the client derived (salt, count, key as for
   fin_p_sec_storekey). RESULT 0 replaced, -2 no old-form password or a wrong
   one. Runs once per user, at the first login after the upgrade. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_REPLACELEGACY (
  USERNAME   VARCHAR(60) CHARACTER SET UTF8,
  PASSW      VARCHAR(128) CHARACTER SET UTF8,
  SALT       VARCHAR(64) CHARACTER SET ASCII,
  ITERATIONS INTEGER,
  PASSWKEY   VARCHAR(128) CHARACTER SET ASCII)
RETURNS (RESULT INTEGER)
AS
DECLARE VARIABLE uk INTEGER;
DECLARE VARIABLE lsalt VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE lhash VARCHAR(32) CHARACTER SET OCTETS;
DECLARE VARIABLE liter INTEGER;
BEGIN
  RESULT = -2;
  SELECT FIRST 1 u.userkey, p.legacysalt, p.legacyhash, p.legacyiter
    FROM fin_user u JOIN fin_userpassw p ON p.userkey = u.userkey
   WHERE UPPER(u.name) = UPPER(TRIM(:USERNAME)) AND COALESCE(u.disabled, 0) = 0
     AND p.keyhash IS NULL AND p.legacyhash IS NOT NULL
    INTO :uk, :lsalt, :lhash, :liter;
  IF (uk IS NULL OR liter IS NULL OR liter < 1) THEN
    EXIT;
  IF (fin_f_sec_pbkdf2(CAST(COALESCE(PASSW, '') AS VARCHAR(512) CHARACTER SET OCTETS), lsalt, liter) <> lhash) THEN
    EXIT;
  EXECUTE PROCEDURE fin_p_sec_storekey(:uk, :SALT, :ITERATIONS, :PASSWKEY);
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

/* FIN_P_SEC_ADDUSER: a new user (enabled, no password, no rights) with a
   fresh key. The name must not be empty; a name taken in any letter case is
   refused by the unique index. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_ADDUSER (
  NAME     VARCHAR(60) CHARACTER SET UTF8,
  FULLNAME VARCHAR(120) CHARACTER SET UTF8)
RETURNS (USERKEY INTEGER)
AS
BEGIN
  IF (TRIM(COALESCE(NAME, '')) = '') THEN
    EXCEPTION fin_e_security 'The user name must not be empty.';
  USERKEY = NEXT VALUE FOR fin_g_user;
  INSERT INTO fin_user (userkey, name, fullname, disabled) VALUES (:USERKEY, TRIM(:NAME), :FULLNAME, 0);
END^

/* FIN_P_SEC_SETRIGHT: gives (HOLDS 1) or takes (HOLDS 0) one right of a user
   in a subsystem; rights are 0, 10, 20, 30 and 40. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_SETRIGHT (
  USERKEY      INTEGER,
  SUBSYSTEMKEY INTEGER,
  USERRIGHT    INTEGER,
  HOLDS        SMALLINT)
AS
BEGIN
  IF (USERRIGHT IS NULL OR USERRIGHT NOT IN (0, 10, 20, 30, 40)) THEN
    EXCEPTION fin_e_security 'Unknown right ' || COALESCE(:USERRIGHT, 'NULL') || ' (rights are 0, 10, 20, 30, 40).';
  IF (COALESCE(HOLDS, 0) <> 0) THEN
    UPDATE OR INSERT INTO fin_userright (userkey, subsystemkey, userright)
    VALUES (:USERKEY, :SUBSYSTEMKEY, :USERRIGHT)
    MATCHING (userkey, subsystemkey, userright);
  ELSE
    DELETE FROM fin_userright
     WHERE userkey = :USERKEY AND subsystemkey = :SUBSYSTEMKEY AND userright = :USERRIGHT;
END^

/* FIN_P_SEC_SETPASSWORD: a user's new password, as the key the client
   derived (see fin_p_sec_storekey). The server never sees the password. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_SETPASSWORD (
  USERKEY    INTEGER,
  SALT       VARCHAR(64) CHARACTER SET ASCII,
  ITERATIONS INTEGER,
  PASSWKEY   VARCHAR(128) CHARACTER SET ASCII)
AS
BEGIN
  EXECUTE PROCEDURE fin_p_sec_storekey(:USERKEY, :SALT, :ITERATIONS, :PASSWKEY);
END^

/* FIN_P_SEC_USERLIST: every user, by name, with whether a password is set. */
CREATE OR ALTER PROCEDURE FIN_P_SEC_USERLIST
RETURNS (
  USERKEY     INTEGER,
  NAME        VARCHAR(60),
  FULLNAME    VARCHAR(120),
  DISABLED    SMALLINT,
  HASPASSWORD SMALLINT)
AS
BEGIN
  FOR SELECT u.userkey, u.name, u.fullname, COALESCE(u.disabled, 0),
             IIF(p.keyhash IS NOT NULL OR p.legacyhash IS NOT NULL, 1, 0)
        FROM fin_user u LEFT JOIN fin_userpassw p ON p.userkey = u.userkey
       ORDER BY u.name
        INTO :USERKEY, :NAME, :FULLNAME, :DISABLED, :HASPASSWORD
  DO
    SUSPEND;
END^

SET TERM ; ^

GRANT EXECUTE ON PROCEDURE FIN_P_SEC_LOGINUSER TO OPENERUSR;
GRANT EXECUTE ON PROCEDURE FIN_P_SEC_LOGINSALT TO OPENERUSR;
GRANT EXECUTE ON PROCEDURE FIN_P_SEC_REPLACELEGACY TO OPENERUSR;

GRANT SELECT ON fin_subsystem TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_user TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_userpassw TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_userright TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT SELECT ON fin_dbaccount TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT INSERT ON fin_session TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT USAGE ON SEQUENCE fin_g_session TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256 TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT EXECUTE ON FUNCTION fin_f_sec_fromhex TO PROCEDURE FIN_P_SEC_LOGINUSER;

GRANT SELECT ON fin_user TO PROCEDURE FIN_P_SEC_LOGINSALT;
GRANT SELECT ON fin_userpassw TO PROCEDURE FIN_P_SEC_LOGINSALT;
GRANT EXECUTE ON FUNCTION fin_f_sec_standinsalt TO PROCEDURE FIN_P_SEC_LOGINSALT;
GRANT EXECUTE ON FUNCTION fin_f_sec_tohex TO PROCEDURE FIN_P_SEC_LOGINSALT;
GRANT SELECT ON fin_dbsecret TO FUNCTION fin_f_sec_standinsalt;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256 TO FUNCTION fin_f_sec_standinsalt;

GRANT SELECT ON fin_user TO PROCEDURE FIN_P_SEC_REPLACELEGACY;
GRANT SELECT ON fin_userpassw TO PROCEDURE FIN_P_SEC_REPLACELEGACY;
GRANT EXECUTE ON FUNCTION fin_f_sec_pbkdf2 TO PROCEDURE FIN_P_SEC_REPLACELEGACY;
GRANT EXECUTE ON PROCEDURE fin_p_sec_storekey TO PROCEDURE FIN_P_SEC_REPLACELEGACY;

GRANT SELECT ON fin_user TO PROCEDURE fin_p_sec_storekey;
GRANT SELECT, INSERT, UPDATE ON fin_userpassw TO PROCEDURE fin_p_sec_storekey;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256 TO PROCEDURE fin_p_sec_storekey;
GRANT EXECUTE ON FUNCTION fin_f_sec_fromhex TO PROCEDURE fin_p_sec_storekey;
GRANT EXECUTE ON PROCEDURE fin_p_sec_storekey TO PROCEDURE FIN_P_SEC_SETPASSWORD;

GRANT SELECT ON fin_userright TO PROCEDURE fin_p_sec_getrightsforuser;
GRANT SELECT, INSERT ON fin_user TO PROCEDURE FIN_P_SEC_ADDUSER;
GRANT USAGE ON SEQUENCE fin_g_user TO PROCEDURE FIN_P_SEC_ADDUSER;
GRANT SELECT, INSERT, UPDATE, DELETE ON fin_userright TO PROCEDURE FIN_P_SEC_SETRIGHT;
GRANT SELECT ON fin_user TO PROCEDURE FIN_P_SEC_USERLIST;
GRANT SELECT ON fin_userpassw TO PROCEDURE FIN_P_SEC_USERLIST;

GRANT EXECUTE ON FUNCTION fin_f_sec_sha256 TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_xorbytes TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256_pad TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_words2bytes TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON PROCEDURE fin_p_sec_sha256_blocks TO FUNCTION fin_f_sec_pbkdf2;
GRANT EXECUTE ON FUNCTION fin_f_sec_sha256_pad TO FUNCTION fin_f_sec_sha256;
GRANT EXECUTE ON FUNCTION fin_f_sec_words2bytes TO FUNCTION fin_f_sec_sha256;
GRANT EXECUTE ON PROCEDURE fin_p_sec_sha256_blocks TO FUNCTION fin_f_sec_sha256;
GRANT USAGE ON EXCEPTION fin_e_security TO PROCEDURE FIN_P_SEC_LOGINUSER;
GRANT USAGE ON EXCEPTION fin_e_security TO PROCEDURE fin_p_sec_storekey;
GRANT USAGE ON EXCEPTION fin_e_security TO PROCEDURE FIN_P_SEC_ADDUSER;
GRANT USAGE ON EXCEPTION fin_e_security TO PROCEDURE FIN_P_SEC_SETRIGHT;
