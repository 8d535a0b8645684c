#include "xRowWriter.h"

#include "xDatabase.h"
#include "xDbError.h"
#include "xQuery.h"
#include "xTransaction.h"

#include <stdexcept>

namespace korvex::db {

QString sqlIdentifier(const QString &name)
{
    bool ok = !name.isEmpty();
    for (qsizetype i = 0; ok && i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool letter = (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                         || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('_');
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        ok = letter || (i > 0 && (digit || c == QLatin1Char('$')));
    }
    if (!ok)
        throw std::invalid_argument(QStringLiteral("\"%1\" is not an SQL identifier").arg(name).toStdString());
    return name;
}

QVariant nullableInt(const std::optional<int> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<int>());
}

QVariant nullableDouble(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<double>());
}

QVariant nullableText(const QString &s)
{
    return s.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s);
}

std::optional<int> optionalInt(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toInt();
}

std::optional<double> optionalDouble(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toDouble();
}

int nextKey(TxDatabase &db, const QString &sequence)
{
    const QString sql = QStringLiteral("SELECT NEXT VALUE FOR %1 FROM rdb$database").arg(sqlIdentifier(sequence));
    return TxQuery::scalar(db, sql).toInt();
}

namespace {

QStringList identifiers(const QStringList &columns)
{
    QStringList names;
    for (const QString &c : columns)
        names << sqlIdentifier(c);
    return names;
}

} // namespace

void insertRow(TxDatabase &db, const QString &table, const QString &keyColumn, const QVariant &key,
               const QStringList &columns, const QVariantList &values)
{
    QStringList names = identifiers(columns);
    names << sqlIdentifier(keyColumn);
    QVariantList bound = values;
    bound << key;
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    TxQuery::execute(db,
                     QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(sqlIdentifier(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                     bound);
}

int updateRow(TxDatabase &db, const QString &table, const QString &keyColumn, const QVariant &key,
              const QStringList &columns, const QVariantList &values)
{
    if (columns.isEmpty())
        return 1;
    QStringList sets;
    for (const QString &name : identifiers(columns))
        sets << name + QStringLiteral(" = ?");
    QVariantList bound = values;
    bound << key;
    return TxQuery::execute(db,
                            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                .arg(sqlIdentifier(table), sets.join(QStringLiteral(", ")), sqlIdentifier(keyColumn)),
                            bound);
}

int writeRow(TxDatabase &db, const QString &table, const QString &sequence, int id, const QStringList &columns,
             const QVariantList &values, const QString &goneText)
{
    TxWriteScope scope(db);
    if (id == 0) {
        id = nextKey(db, sequence);
        insertRow(db, table, QStringLiteral("id"), id, columns, values);
    } else if (updateRow(db, table, QStringLiteral("id"), id, columns, values) == 0) {
        throw EDatabaseError(goneText);
    }
    scope.commit();
    return id;
}

QSet<int> deleteRowsNotIn(TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                          const QList<int> &keep, const QString &keyColumn)
{
    const QString name = sqlIdentifier(table);
    const QString key = sqlIdentifier(keyColumn);
    const QSet<int> wanted(keep.cbegin(), keep.cend());
    QSet<int> kept;
    QList<int> gone;
    TxQuery q(db);
    if (parentColumn.isEmpty())
        q.exec(QStringLiteral("SELECT %1 FROM %2").arg(key, name));
    else
        q.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(key, name, sqlIdentifier(parentColumn)), {parentKey});
    while (q.next()) {
        const int id = q.value(0).toInt();
        if (wanted.contains(id))
            kept.insert(id);
        else
            gone << id;
    }
    for (int id : std::as_const(gone))
        TxQuery::execute(db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(name, key), {id});
    return kept;
}

QList<int> writeDetailRows(TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                           const QString &sequence, const QStringList &columns, const QList<TxDetailRow> &rows)
{
    TxWriteScope scope(db);
    QList<int> listed;
    for (const TxDetailRow &r : rows)
        listed << r.id;
    const QSet<int> kept = deleteRowsNotIn(db, table, parentColumn, parentKey, listed);
    QStringList names = columns;
    if (!parentColumn.isEmpty())
        names.prepend(parentColumn);
    QList<int> keys;
    for (const TxDetailRow &r : rows) {
        QVariantList values = r.values;
        if (!parentColumn.isEmpty())
            values.prepend(parentKey);
        int id = r.id;
        if (id != 0 && kept.contains(id)) {
            updateRow(db, table, QStringLiteral("id"), id, names, values);
        } else {
            id = nextKey(db, sequence);
            insertRow(db, table, QStringLiteral("id"), id, names, values);
        }
        keys << id;
    }
    scope.commit();
    return keys;
}

} // namespace korvex::db
