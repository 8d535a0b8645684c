#include "UserAdmin.h"

#include "PasswordKey.h"

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
    const QVariant key = TxQuery::scalar(m_db, QStringLiteral("SELECT userkey FROM FIN_P_SEC_USERLIST WHERE UPPER(name) = UPPER(?)"),
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
    TxStoredProc add(m_db, QStringLiteral("FIN_P_SEC_ADDUSER"));
    add.setParam(QStringLiteral("NAME"), n);
    add.setParam(QStringLiteral("FULLNAME"), fullName);
    add.execute();
    const int key = add.output(QStringLiteral("USERKEY")).toInt();
    for (int r : rights) {
        TxStoredProc set(m_db, QStringLiteral("FIN_P_SEC_SETRIGHT"));
        set.setParam(QStringLiteral("USERKEY"), key);
        set.setParam(QStringLiteral("SUBSYSTEMKEY"), LeaseSubSystem);
        set.setParam(QStringLiteral("USERRIGHT"), r);
        set.setParam(QStringLiteral("HOLDS"), 1);
        set.execute();
    }
    tr.commit();
    return key;
}

void TUserAdmin::setRight(const QString &name, int right, bool holds)
{
    TxStoredProc set(m_db, QStringLiteral("FIN_P_SEC_SETRIGHT"));
    set.setParam(QStringLiteral("USERKEY"), userKey(name));
    set.setParam(QStringLiteral("SUBSYSTEMKEY"), LeaseSubSystem);
    set.setParam(QStringLiteral("USERRIGHT"), right);
    set.setParam(QStringLiteral("HOLDS"), holds ? 1 : 0);
    set.execute();
}

void TUserAdmin::setPassword(const QString &name, const QString &password)
{
    setPassword(name, password, TPasswordKey::DefaultIterations);
}

void TUserAdmin::setPassword(const QString &name, const QString &password, int iterations)
{
    // The server sees the key only; an empty password is refused here.
    if (password.isEmpty())
        throw EDatabaseError(QStringLiteral("The password must not be empty."));
    if (iterations < TPasswordKey::MinIterations || iterations > TPasswordKey::MaxIterations)
        throw EDatabaseError(QStringLiteral("The iteration count must be from %1 to %2.")
                                 .arg(TPasswordKey::MinIterations)
                                 .arg(TPasswordKey::MaxIterations));
    const int key = userKey(name);
    const QByteArray salt = TPasswordKey::newSalt();
    TxStoredProc p(m_db, QStringLiteral("FIN_P_SEC_SETPASSWORD"));
    p.setParam(QStringLiteral("USERKEY"), key);
    p.setParam(QStringLiteral("SALT"), QString::fromLatin1(salt.toHex()));
    p.setParam(QStringLiteral("ITERATIONS"), iterations);
    p.setParam(QStringLiteral("PASSWKEY"), QString::fromLatin1(TPasswordKey::derive(password, salt, iterations).toHex()));
    p.execute();
}

QList<TUserAdmin::User> TUserAdmin::users()
{
    QList<User> list;
    TxQuery q(m_db, QStringLiteral("SELECT userkey, name, fullname, disabled, haspassword FROM FIN_P_SEC_USERLIST"));
    q.exec();
    while (q.next()) {
        User u;
        u.key = q.value(0).toInt();
        u.name = q.value(1).toString();
        u.fullName = q.value(2).toString();
        u.disabled = q.value(3).toInt() != 0;
        u.hasPassword = q.value(4).toInt() != 0;
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

void TUserAdmin::setDbAccount(const QString &account, const QString &password, bool forAdministrators)
{
    const QString a = account.trimmed().toUpper();
    if (a.isEmpty())
        throw EDatabaseError(QStringLiteral("The account name must not be empty."));
    // The server's administrator would hand every user the whole server; the
    // start-up account may do nothing but log in.
    if (a == QLatin1String("SYSDBA") || a == TxSchema::startupAccount())
        throw EDatabaseError(QStringLiteral("%1 cannot be a working account.").arg(a));
    const int kind = forAdministrators ? TxSchema::AdminAccountKind : TxSchema::EveryoneAccountKind;
    const int other = forAdministrators ? TxSchema::EveryoneAccountKind : TxSchema::AdminAccountKind;
    {
        TxWriteScope tr(m_db);
        // One account per role, and never the same for both: the account for
        // everyone must not get the administrators' procedures or back.
        if (TxQuery::scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM fin_dbaccount WHERE ibname = ? AND accountkind = ?"),
                            {a, other})
                .toInt()
            > 0)
            throw EDatabaseError(QStringLiteral("%1 is already the %2 account.")
                                     .arg(a, forAdministrators ? QStringLiteral("everyone's") : QStringLiteral("administrators'")));
        TxQuery::execute(m_db, QStringLiteral("UPDATE fin_dbaccount SET accountkind = NULL WHERE accountkind = ? AND ibname <> ?"),
                         {kind, a});
        if (TxQuery::execute(m_db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = ?, accountkind = ? WHERE ibname = ?"),
                             {password, kind, a})
            == 0)
            TxQuery::execute(m_db, QStringLiteral("INSERT INTO fin_dbaccount (ibname, ibpassw, accountkind) VALUES (?, ?, ?)"),
                             {a, password, kind});
        tr.commit();
    }
    TxSchema::grantWorkingAccounts(m_db);
}

} // namespace korvex::shell
