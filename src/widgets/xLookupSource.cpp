#include "xLookupSource.h"

#include "xQueryModel.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"

#include <QSqlRecord>

namespace korvex::widgets {

using db::TxQuery;

namespace {

QList<TxLookupRow> readPairs(TxQuery &q, const QString &keyField, const QString &textField)
{
    const QSqlRecord rec = q.record();
    int keyIndex = -1, textIndex = -1;
    for (int i = 0; i < rec.count(); ++i) {
        if (rec.fieldName(i).trimmed().compare(keyField, Qt::CaseInsensitive) == 0)
            keyIndex = i;
        if (rec.fieldName(i).trimmed().compare(textField, Qt::CaseInsensitive) == 0)
            textIndex = i;
    }
    if (keyIndex < 0 || textIndex < 0)
        throw db::EDatabaseError(QStringLiteral("The lookup list lacks the column %1 or %2.").arg(keyField, textField),
                                 0, q.lastSql());
    QList<TxLookupRow> rows;
    while (q.next())
        rows.append({q.value(keyIndex), q.value(textIndex).toString().trimmed()});
    return rows;
}

} // namespace

// --- TxLookupSource -----------------------------------------------------------

TxLookupSource::~TxLookupSource() = default;

const QList<TxLookupRow> &TxLookupSource::rows()
{
    if (!m_loaded) {
        m_rows = readRows();
        m_loaded = true;
        ++m_generation;
    }
    return m_rows;
}

void TxLookupSource::reload()
{
    m_loaded = false;
    rows();
}

std::optional<TxLookupRow> TxLookupSource::findKey(const QVariant &key)
{
    if (key.isNull())
        return std::nullopt;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            reload();
        for (const TxLookupRow &row : rows()) {
            if (sameKey(row.key, key))
                return row;
        }
    }
    return std::nullopt;
}

std::optional<TxLookupRow> TxLookupSource::findInRows(const QString &text) const
{
    const QString t = text.trimmed();
    for (const TxLookupRow &row : m_rows) {
        if (row.text.compare(t, Qt::CaseInsensitive) == 0)
            return row;
    }
    return std::nullopt;
}

// --- TxTableLookup ------------------------------------------------------------

TxTableLookup::TxTableLookup(db::TxDatabase &db, const QString &table, const QString &keyField,
                             const QString &textField, const TxSqlFilter &filter)
    : m_db(db)
    , m_keyField(TxSqlFilter::identifier(keyField))
    , m_textField(TxSqlFilter::identifier(textField))
{
    m_select = TxSqlFilter(QStringLiteral("SELECT %1, %2 FROM %3")
                               .arg(m_keyField, m_textField, TxSqlFilter::identifier(table)));
    m_select.append(filter);
    m_select.add(QStringLiteral("ORDER BY %1").arg(m_textField));
}

TxTableLookup::TxTableLookup(db::TxDatabase &db, const TxSqlFilter &select, const QString &keyField,
                             const QString &textField)
    : m_db(db)
    , m_select(select)
    , m_keyField(keyField)
    , m_textField(textField)
{
}

QList<TxLookupRow> TxTableLookup::readRows()
{
    TxQuery q(m_db);
    q.exec(m_select.text(), m_select.values());
    return readPairs(q, m_keyField, m_textField);
}

std::optional<TxLookupRow> TxTableLookup::findText(const QString &text, const QVariant &)
{
    rows();
    if (auto row = findInRows(text))
        return row;
    // The row may have been added since the list was read.
    reload();
    return findInRows(text);
}

// --- TxProcLookup -------------------------------------------------------------

TxProcLookup::TxProcLookup(db::TxDatabase &db, const QString &viewProcedure, const QString &searchProcedure,
                           const QString &keyField, const QString &textField)
    : m_db(db)
    , m_view(TxSqlFilter::identifier(viewProcedure))
    , m_search(TxSqlFilter::identifier(searchProcedure))
    , m_keyField(TxSqlFilter::identifier(keyField))
    , m_textField(TxSqlFilter::identifier(textField))
{
}

void TxProcLookup::setViewInput(const QString &name, const QVariant &value)
{
    m_inputs.insert(name.trimmed().toUpper(), value);
}

QList<TxLookupRow> TxProcLookup::readRows()
{
    const QStringList inputs = m_db.procedureInfo(m_view).inputs;
    QString sql = QStringLiteral("SELECT * FROM ") + m_view;
    if (!inputs.isEmpty()) {
        QStringList marks;
        for (const QString &name : inputs)
            marks << QLatin1Char(':') + TxSqlFilter::identifier(name);
        sql += QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    sql += QStringLiteral(" ORDER BY %1 COLLATE PXW_CYRL").arg(m_textField);
    TxQuery q(m_db, sql);
    for (const QString &name : inputs)
        q.bind(QLatin1Char(':') + name, m_inputs.value(name.toUpper()));
    q.exec();
    return readPairs(q, m_keyField, m_textField);
}

std::optional<TxLookupRow> TxProcLookup::findText(const QString &text, const QVariant &currentKey)
{
    db::TxStoredProc search(m_db, m_search);
    search.setParam(QStringLiteral("ID"), currentKey);
    search.setParam(QStringLiteral("Text"), text.trimmed());
    search.setParam(QStringLiteral("Type"), m_searchType);
    search.execute();
    if (search.output(QStringLiteral("OK")).toInt() == 0)
        return std::nullopt;
    return TxLookupRow{search.output(QStringLiteral("OUTID")),
                       search.output(QStringLiteral("OUTText")).toString().trimmed()};
}

} // namespace korvex::widgets
