#pragma once

#include <QStringList>

// What a working account must not be able to do, whatever path the SQL
// reaches the server by (the SQL console runs any text): become an
// administrator, read password keys or account passwords, write users or
// rights, or change the schema. Users 1 and 2 exist; user 2 holds right 0.
inline QStringList forbiddenForWorkingAccounts()
{
    return {
        QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (2, 230, 10)"),
        QStringLiteral("UPDATE fin_userright SET userright = 10 WHERE userkey = 2"),
        QStringLiteral("DELETE FROM fin_userright WHERE userkey = 1"),
        QStringLiteral("UPDATE fin_user SET name = 'admin2' WHERE userkey = 1"),
        QStringLiteral("INSERT INTO fin_user (userkey, name) VALUES (999, 'intruder')"),
        QStringLiteral("SELECT keyhash, salt FROM fin_userpassw"),
        QStringLiteral("UPDATE fin_userpassw SET keyhash = NULL"),
        QStringLiteral("SELECT ibname, ibpassw FROM fin_dbaccount"),
        QStringLiteral("UPDATE fin_dbaccount SET accountkind = 10"),
        QStringLiteral("SELECT secret FROM fin_dbsecret"),
        QStringLiteral("CREATE TABLE t_intruder (a INTEGER)"),
        QStringLiteral("CREATE PROCEDURE t_intruder AS BEGIN END"),
        QStringLiteral("ALTER TABLE fin_userright ADD t_intruder INTEGER"),
        QStringLiteral("CREATE OR ALTER PROCEDURE FIN_P_SEC_SETRIGHT AS BEGIN END"),
        QStringLiteral("GRANT INSERT ON fin_userright TO PUBLIC"),
        QStringLiteral("CREATE ROLE t_intruder"),
    };
}

// User administration: only the administrators' account may run these.
inline QStringList administratorsOnly()
{
    return {
        QStringLiteral("EXECUTE PROCEDURE FIN_P_SEC_SETRIGHT(2, 230, 10, 1)"),
        QStringLiteral("EXECUTE PROCEDURE FIN_P_SEC_ADDUSER('intruder', NULL)"),
        QStringLiteral("EXECUTE PROCEDURE FIN_P_SEC_SETPASSWORD(1, '00112233445566778899aabbccddeeff', 100000, "
                       "'0000000000000000000000000000000000000000000000000000000000000000')"),
        QStringLiteral("SELECT * FROM FIN_P_SEC_USERLIST"),
    };
}
