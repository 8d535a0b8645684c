#include "DocumentCounter.h"

#include "mmOptions.h"

#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <limits>

namespace korvex::shell {

using namespace korvex::db;

namespace {

// One row per option: the counter's row is raised in place or made. A
// stored value that is not an integer option is replaced. (No "?" in the
// pattern: the driver would take it for a placeholder.)
const char *const SqlAdvance =
    "MERGE INTO fin_options o"
    " USING (SELECT CAST(? AS INTEGER) AS subsystemkey, CAST(? AS VARCHAR(60)) AS name,"
    "               CAST(? AS INTEGER) AS nextvalue FROM rdb$database) s"
    " ON (o.userkey IS NULL AND o.subsystemkey = s.subsystemkey AND o.name = s.name)"
    " WHEN MATCHED THEN UPDATE SET"
    "   o.optionsvalue = CAST(MAXVALUE(s.nextvalue,"
    "       CASE WHEN o.optionstype = 'I' AND TRIM(o.optionsvalue) SIMILAR TO '[-]{0,1}[0-9]{1,9}'"
    "            THEN CAST(TRIM(o.optionsvalue) AS BIGINT) ELSE s.nextvalue END) AS VARCHAR(20)),"
    "   o.optionstype = 'I'"
    " WHEN NOT MATCHED THEN INSERT (userkey, subsystemkey, name, optionsvalue, optionstype)"
    "   VALUES (NULL, s.subsystemkey, s.name, CAST(s.nextvalue AS VARCHAR(20)), 'I')";

} // namespace

TxDocumentCounter::TxDocumentCounter(TmmOptions &options, const QString &optionName)
    : m_options(options)
    , m_name(optionName)
{
}

QString TxDocumentCounter::proposal() const
{
    return QString::number(m_options.integerOption(m_name, 1));
}

bool TxDocumentCounter::advancePast(const QString &number) const
{
    return advancePast(m_options.database(), m_name, number);
}

bool TxDocumentCounter::advancePast(TxDatabase &db, const QString &optionName, const QString &number)
{
    const std::optional<int> n = integerNumber(number);
    if (!n)
        return false;
    TxWriteScope scope(db);
    TxQuery::execute(db, QString::fromLatin1(SqlAdvance),
                     {TmmOptions::SubSystemKey, optionName.trimmed().toUpper(), *n + 1});
    scope.commit();
    return true;
}

std::optional<int> TxDocumentCounter::integerNumber(const QString &number)
{
    bool ok = false;
    const int n = number.trimmed().toInt(&ok);
    // The next number must still be an integer.
    if (!ok || n == std::numeric_limits<int>::max())
        return std::nullopt;
    return n;
}

} // namespace korvex::shell
