#include "xFbCreate.h"

#include "xDbError.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <ibase.h>

namespace korvex::db {

namespace {

QString statusText(const ISC_STATUS *status)
{
    QString text;
    char buf[1024];
    const ISC_STATUS *p = status;
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromUtf8(buf);
    }
    return text.isEmpty() ? QStringLiteral("Firebird error") : text;
}

QByteArray quoted(const QString &s)
{
    // CREATE DATABASE takes no parameters: quote the literal by doubling.
    QString q = s;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return "'" + q.toUtf8() + "'";
}

QByteArray buildDpb(const QString &user, const QString &password)
{
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    auto add = [&dpb](char tag, const QByteArray &value) {
        dpb.append(tag);
        dpb.append(char(value.size()));
        dpb.append(value);
    };
    add(char(isc_dpb_user_name), user.toUtf8());
    if (!password.isEmpty())
        add(char(isc_dpb_password), password.toUtf8());
    add(char(isc_dpb_lc_ctype), QByteArrayLiteral("UTF8"));
    return dpb;
}

} // namespace

QString firebirdConnectString(const TxConnectionParams::Target &target)
{
    if (target.isEmbedded())
        return target.path;
    QString s = target.host;
    if (target.port > 0)
        s += QLatin1Char('/') + QString::number(target.port);
    return s + QLatin1Char(':') + target.path;
}

void createFirebirdDatabase(const TxConnectionParams::Target &target, const QString &user,
                            const QString &password)
{
    if (target.path.isEmpty())
        throw EDatabaseError(QStringLiteral("No database path given."));
    if (target.isEmbedded()) {
        const QFileInfo fi(target.path);
        if (fi.exists())
            throw EDatabaseError(QStringLiteral("The database file %1 already exists.").arg(target.path));
        if (!QDir().mkpath(fi.absolutePath()))
            throw EDatabaseError(QStringLiteral("Cannot create the folder %1.").arg(fi.absolutePath()));
    }

    QByteArray sql = "CREATE DATABASE " + quoted(firebirdConnectString(target)) + " USER "
                   + quoted(user.isEmpty() ? QStringLiteral("SYSDBA") : user);
    if (!password.isEmpty())
        sql += " PASSWORD " + quoted(password);
    sql += " PAGE_SIZE 16384 DEFAULT CHARACTER SET WIN1251 COLLATION PXW_CYRL";

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr))
        throw EDatabaseError(statusText(status), int(isc_sqlcode(status)));
    isc_detach_database(status, &db);
}

void setFirebirdForcedWrites(const TxConnectionParams::Target &target, const QString &user,
                             const QString &password, bool on)
{
    const QByteArray name = firebirdConnectString(target).toUtf8();
    QByteArray dpb = buildDpb(user.isEmpty() ? QStringLiteral("SYSDBA") : user, password);
    dpb.append(char(isc_dpb_force_write));
    dpb.append(char(1));
    dpb.append(char(on ? 1 : 0));
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, name.constData(), &db, short(dpb.size()), dpb.constData()))
        throw EDatabaseError(statusText(status), int(isc_sqlcode(status)));
    isc_detach_database(status, &db);
}

void dropFirebirdDatabase(const TxConnectionParams::Target &target, const QString &user,
                          const QString &password)
{
    const QByteArray name = firebirdConnectString(target).toUtf8();
    const QByteArray dpb = buildDpb(user.isEmpty() ? QStringLiteral("SYSDBA") : user, password);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, name.constData(), &db, short(dpb.size()), dpb.constData()))
        throw EDatabaseError(statusText(status), int(isc_sqlcode(status)));
    if (isc_drop_database(status, &db))
        throw EDatabaseError(statusText(status), int(isc_sqlcode(status)));
}

} // namespace korvex::db
