#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace korvex::db {

class TxDatabase;

// The rows of a business object are written through these helpers: the
// object keeps a record struct per row, turns it into column values here and
// reads it back with the optional* helpers. Table and column names come from
// code and are checked to be plain identifiers; every value is bound.

// The name when it is a plain SQL identifier; std::invalid_argument otherwise.
QString sqlIdentifier(const QString &name);

// Values of nullable columns: an empty optional or blank text is NULL.
QVariant nullableInt(const std::optional<int> &v);
QVariant nullableDouble(const std::optional<double> &v);
QVariant nullableText(const QString &s);
std::optional<int> optionalInt(const QVariant &v);
std::optional<double> optionalDouble(const QVariant &v);

// A fresh key from a sequence (generator).
int nextKey(TxDatabase &db, const QString &sequence);

// Inserts one row whose key column is keyColumn.
void insertRow(TxDatabase &db, const QString &table, const QString &keyColumn, const QVariant &key,
               const QStringList &columns, const QVariantList &values);
// Updates the columns of the row with the key; returns the rows touched (0:
// the row is gone).
int updateRow(TxDatabase &db, const QString &table, const QString &keyColumn, const QVariant &key,
              const QStringList &columns, const QVariantList &values);

// Writes one row keyed by "id" in a write scope of its own or inside the
// caller's: id 0 takes a key from the sequence and inserts the row, any
// other id updates it. Returns the row's key. A row another workstation
// deleted meanwhile is reported with goneText (EDatabaseError).
int writeRow(TxDatabase &db, const QString &table, const QString &sequence, int id, const QStringList &columns,
             const QVariantList &values, const QString &goneText);

// The detail rows of a list a dialog edits: deletes the rows of table whose
// parentColumn is parentKey (parentColumn empty: every row of the table) and
// whose key is not in keep, in the caller's transaction; returns the keys of
// the rows that remain.
QSet<int> deleteRowsNotIn(TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                          const QList<int> &keep, const QString &keyColumn = QStringLiteral("id"));

// One row of a detail list: its key "id" (0: new) and its column values.
struct TxDetailRow {
    int id = 0;
    QVariantList values;
};

// Stores the detail rows of one parent as a dialog lists them, in a write
// scope: rows no longer listed are deleted, listed stored rows updated, the
// others inserted with a key from the sequence (a row another workstation
// deleted meanwhile comes back as new). The parent column is written with
// parentKey before the columns given; parentColumn empty: the rows are the
// whole table. Returns the rows' keys in their order.
QList<int> writeDetailRows(TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                           const QString &sequence, const QStringList &columns, const QList<TxDetailRow> &rows);

} // namespace korvex::db
