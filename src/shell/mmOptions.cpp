#include "mmOptions.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <QLocale>
#include <cmath>

namespace korvex::shell {

using namespace korvex::db;

namespace {
TmmOptions *g_instance = nullptr;
}

TmmOptions::TmmOptions(TxDatabase &db, int userKey)
    : m_db(db)
    , m_userKey(userKey)
{
    if (g_instance)
        throw EDatabaseError(QStringLiteral("Only one instance of TmmOptions allowed"));
    g_instance = this;
}

TmmOptions::~TmmOptions()
{
    if (g_instance == this)
        g_instance = nullptr;
}

TmmOptions *TmmOptions::instance()
{
    return g_instance;
}

QString TmmOptions::dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

std::optional<QDate> TmmOptions::parseDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const QString &fmt : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("d.M.yyyy"), QStringLiteral("yyyy-MM-dd"),
                               QStringLiteral("dd.MM.yy")}) {
        QDate d = QDate::fromString(t, fmt);
        if (d.isValid()) {
            if (fmt == QLatin1String("dd.MM.yy") && d.year() < 1950)
                d = d.addYears(100);
            return d;
        }
    }
    return std::nullopt;
}

QString TmmOptions::floatText(double v)
{
    return QString::number(v, 'g', 17);
}

std::optional<TmmOptions::Stored> TmmOptions::read(const QString &name) const
{
    const QString upper = name.trimmed().toUpper();
    auto lookup = [&](const QString &sql, const QVariantList &values) -> std::optional<Stored> {
        TxQuery q(m_db);
        q.exec(sql, values);
        if (!q.next())
            return std::nullopt;
        const QString type = q.value(1).toString().trimmed().toUpper();
        return Stored{q.value(0).toString(), type.isEmpty() ? QChar() : type.at(0)};
    };
    static const QString perUser = QStringLiteral(
        "SELECT optionsvalue, optionstype FROM fin_options WHERE userkey = ? AND subsystemkey = ? AND name = ?");
    if (auto s = lookup(perUser, {m_userKey, SubSystemKey, upper}))
        return s;
    if (m_userKey != DefaultUserKey) {
        if (auto s = lookup(perUser, {DefaultUserKey, SubSystemKey, upper}))
            return s;
    }
    return lookup(QStringLiteral("SELECT optionsvalue, optionstype FROM fin_options "
                                 "WHERE userkey IS NULL AND subsystemkey = ? AND name = ?"),
                  {SubSystemKey, upper});
}

void TmmOptions::write(const QString &name, bool perUser, const QString &value, QChar type)
{
    const QString upper = name.trimmed().toUpper();
    TxWriteScope tr(m_db);
    int changed = 0;
    if (perUser) {
        changed = TxQuery::execute(m_db,
                                   QStringLiteral("UPDATE fin_options SET optionsvalue = ?, optionstype = ? "
                                                  "WHERE userkey = ? AND subsystemkey = ? AND name = ?"),
                                   {value, QString(type), m_userKey, SubSystemKey, upper});
        if (changed == 0)
            TxQuery::execute(m_db,
                             QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) "
                                            "VALUES (?, ?, ?, ?, ?)"),
                             {m_userKey, SubSystemKey, upper, value, QString(type)});
    } else {
        changed = TxQuery::execute(m_db,
                                   QStringLiteral("UPDATE fin_options SET optionsvalue = ?, optionstype = ? "
                                                  "WHERE userkey IS NULL AND subsystemkey = ? AND name = ?"),
                                   {value, QString(type), SubSystemKey, upper});
        if (changed == 0)
            TxQuery::execute(m_db,
                             QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) "
                                            "VALUES (NULL, ?, ?, ?, ?)"),
                             {SubSystemKey, upper, value, QString(type)});
    }
    tr.commit();
}

void TmmOptions::SetDateOption(const QString &name, bool perUser, const QDate &value)
{
    write(name, perUser, dateText(value), QLatin1Char('D'));
}

void TmmOptions::SetFloatOption(const QString &name, bool perUser, double value)
{
    write(name, perUser, floatText(value), QLatin1Char('F'));
}

void TmmOptions::SetIntegerOption(const QString &name, bool perUser, int value)
{
    write(name, perUser, QString::number(value), QLatin1Char('I'));
}

void TmmOptions::SetStringOption(const QString &name, bool perUser, const QString &value)
{
    write(name, perUser, value, QLatin1Char('S'));
}

std::optional<QDate> TmmOptions::GetDateOption(const QString &name) const
{
    const auto s = read(name);
    if (!s || s->type != QLatin1Char('D'))
        return std::nullopt;
    return parseDate(s->value);
}

std::optional<double> TmmOptions::GetFloatOption(const QString &name) const
{
    const auto s = read(name);
    if (!s || s->type != QLatin1Char('F'))
        return std::nullopt;
    return korvex::amount::parseNumber(s->value);
}

std::optional<int> TmmOptions::GetIntegerOption(const QString &name) const
{
    const auto s = read(name);
    if (!s || s->type != QLatin1Char('I'))
        return std::nullopt;
    bool ok = false;
    const int v = s->value.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QString> TmmOptions::GetStringOption(const QString &name) const
{
    const auto s = read(name);
    if (!s)
        return std::nullopt;
    return s->value;
}

} // namespace korvex::shell
