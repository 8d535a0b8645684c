#include "UserAdmin.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

namespace korvex::shell {

using namespace korvex::db;

int TUserAdmin::userKey(const QString &name)
{
    const QVariant key = TxQuery::scalar(m_db, QStringLiteral("SELECT userkey FROM fin_user WHERE UPPER(name) = UPPER(?)"),
                                         {name.trimmed()});
    if (!key.isValid())
        throw EDatabaseError(QStringLiteral("No user named %1.").arg(name));
    return key.toInt();
}

int TUserAdmin::addUser(const QString &name, const QString &fullName, const QList<int> &rights)
{
    const QString n = name.trimmed();
    if (n.isEmpty())
        throw EDatabaseError(QStringLiteral("The user name must not be empty."));
    for (int r : rights) {
        if (r != 0 && r != 10 && r != 20 && r != 30 && r != 40)
            throw EDatabaseError(QStringLiteral("Unknown right %1 (rights are 0, 10, 20, 30, 40).").arg(r));
    }
    TxWriteScope tr(m_db);
    const int key = TxQuery::scalar(m_db, QStringLiteral("SELECT NEXT VALUE FOR fin_g_user FROM rdb$database")).toInt();
    TxQuery::execute(m_db, QStringLiteral("INSERT INTO fin_user (userkey, name, fullname, ibname, disabled) "
                                          "VALUES (?, ?, ?, ?, 0)"),
                     {key, n, fullName, TxSchema::defaultWorkingAccount()});
    for (int r : rights)
        TxQuery::execute(m_db, QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) "
                                              "VALUES (?, ?, ?)"),
                         {key, LeaseSubSystem, r});
    tr.commit();
    return key;
}

void TUserAdmin::setPassword(const QString &name, const QString &password, int iterations)
{
    TxStoredProc p(m_db, QStringLiteral("FIN_P_SEC_SETPASSWORD"));
    p.setParam(QStringLiteral("USERKEY"), userKey(name));
    p.setParam(QStringLiteral("PASSW"), password);
    p.setParam(QStringLiteral("ITERATIONS"), iterations);
    p.execute();
}

QList<TUserAdmin::User> TUserAdmin::users()
{
    QList<User> list;
    TxQuery q(m_db, QStringLiteral("SELECT userkey, name, fullname, ibname, COALESCE(disabled, 0), "
                                   "CASE WHEN passwhash IS NULL THEN 0 ELSE 1 END FROM fin_user ORDER BY name"));
    q.exec();
    while (q.next()) {
        User u;
        u.key = q.value(0).toInt();
        u.name = q.value(1).toString();
        u.fullName = q.value(2).toString();
        u.ibName = q.value(3).toString();
        u.disabled = q.value(4).toInt() != 0;
        u.hasPassword = q.value(5).toInt() != 0;
        list << u;
    }
    for (User &u : list) {
        TxQuery r(m_db, QStringLiteral("SELECT userright FROM fin_p_sec_getrightsforuser(?, ?)"));
        r.bind(0, u.key).bind(1, LeaseSubSystem);
        r.exec();
        while (r.next())
            u.rights << r.value(0).toInt();
    }
    return list;
}

void TUserAdmin::setDbAccount(const QString &account, const QString &password)
{
    const QString a = account.trimmed().toUpper();
    if (a.isEmpty())
        throw EDatabaseError(QStringLiteral("The account name must not be empty."));
    {
        TxWriteScope tr(m_db);
        if (TxQuery::execute(m_db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = ? WHERE ibname = ?"), {password, a})
            == 0)
            TxQuery::execute(m_db, QStringLiteral("INSERT INTO fin_dbaccount (ibname, ibpassw) VALUES (?, ?)"),
                             {a, password});
        tr.commit();
    }
    TxSchema::grantWorkingAccounts(m_db);
}

} // namespace korvex::shell
