#include "RowCache.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "widgets/xSqlFilter.h"

#include <optional>
#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;
using korvex::widgets::TxSqlFilter;

TCachedRow::TCachedRow(const QString &table, const QString &keyField, const QStringList &fields)
    : m_table(TxSqlFilter::identifier(table))
    , m_keyField(TxSqlFilter::identifier(keyField))
{
    for (const QString &f : fields)
        m_fields << TxSqlFilter::identifier(f).toLower();
}

QString TCachedRow::normal(const QString &field) const
{
    const QString f = field.toLower();
    if (!m_fields.contains(f))
        throw std::invalid_argument(QStringLiteral("%1 has no field %2").arg(m_table, field).toStdString());
    return f;
}

void TCachedRow::setNew(const QVariant &key)
{
    m_key = key;
    m_values.clear();
    m_changed.clear();
    m_exists = false;
}

bool TCachedRow::load(TxDatabase &db, const QVariant &key)
{
    setNew(key);
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(m_fields.join(QStringLiteral(", ")), m_table, m_keyField),
           {key});
    if (!q.next())
        return false;
    for (int i = 0; i < m_fields.size(); ++i)
        m_values.insert(m_fields.at(i), q.value(i));
    m_exists = true;
    return true;
}

bool TCachedRow::isBlank() const
{
    for (const QVariant &v : m_values) {
        if (!v.isNull() && !(v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()))
            return false;
    }
    return true;
}

QVariant TCachedRow::value(const QString &field) const
{
    return m_values.value(normal(field));
}

void TCachedRow::setValue(const QString &field, const QVariant &value)
{
    const QString f = normal(field);
    QVariant v = value;
    if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
        v = QVariant();
    const QVariant old = m_values.value(f);
    if (old.isNull() && v.isNull())
        return;
    if (!old.isNull() && !v.isNull() && old == v)
        return;
    m_values.insert(f, v);
    m_changed.insert(f);
}

void TCachedRow::write(TxDatabase &db) const
{
    if (m_key.isNull())
        throw std::logic_error(QStringLiteral("%1: a row without a key").arg(m_table).toStdString());
    if (m_exists && m_changed.isEmpty())
        return;
    QStringList columns;
    QVariantList values;
    for (const QString &f : std::as_const(m_fields)) {
        if (f == m_keyField.toLower() || (m_exists && !m_changed.contains(f)) || (!m_exists && !m_values.contains(f)))
            continue;
        columns << f;
        values << m_values.value(f);
    }
    if (m_exists) {
        QStringList sets;
        for (const QString &c : std::as_const(columns))
            sets << c + QStringLiteral(" = ?");
        values << m_key;
        TxQuery::execute(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(m_table, sets.join(QStringLiteral(", ")), m_keyField),
                         values);
    } else {
        columns.prepend(m_keyField);
        values.prepend(m_key);
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        TxQuery::execute(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(m_table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                         values);
    }
}

void TCachedRow::confirm()
{
    m_exists = true;
    m_changed.clear();
}


} // namespace korvex::customers
