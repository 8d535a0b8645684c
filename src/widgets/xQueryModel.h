#pragma once

#include "xSqlFilter.h"

#include <QHash>
#include <QSqlQueryModel>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

// True when two keys name the same row: numbers compare by value whatever
// integer type the driver returned; NULL matches nothing.
bool sameKey(const QVariant &a, const QVariant &b);

// A read-only list over a parameterised SELECT.
//
// Rows come from the server in chunks as a view scrolls: opening a result of
// 100,000 rows reads no more than opening one of 1,000. Nothing in this class
// reads the whole result except findRow() when the row sought lies far down.
//
// The statement is given without ORDER BY; the default order separately.
// sort() runs the statement again ordered by the column's position (no column
// name enters the text), the default order following as a tie-break.
// Values are bound positionally ("?", as TxSqlFilter builds them) or by name
// (":name" with setParam()); one statement uses one kind.
//
// The result set stays open on the server while the model holds it. Open
// models outside an edit dialog's transaction (or run requery() after its
// commit): a cursor of a finished transaction can fetch no further rows.
class TxQueryModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    explicit TxQueryModel(db::TxDatabase &db, QObject *parent = nullptr);

    void setStatement(const QString &select, const QVariantList &values = {}, const QString &orderBy = {});
    void setStatement(const TxSqlFilter &select, const QString &orderBy = {});
    // New values for the positional placeholders; takes effect on requery().
    void setValues(const QVariantList &values);
    // A value for a ":name" placeholder; takes effect on requery().
    void setParam(const QString &name, const QVariant &value);

    // Runs the statement; throws EDatabaseError and then keeps the rows it had.
    void open();
    void requery() { open(); }
    void close();
    bool isOpen() const { return m_open; }

    // Runs the statement again ordered by the column (-1: the default order).
    // Throws EDatabaseError like open().
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Column of a field, letter case ignored; -1 when the result has none.
    int fieldIndex(const QString &field) const;
    QVariant value(int row, const QString &field) const;

    // The text last run, ORDER BY included (diagnostics and tests).
    QString lastStatement() const { return m_lastSql; }

    // Row whose column holds the value, fetching further chunks while the
    // row is not among those read; -1 when the result has no such row.
    static int findRow(QAbstractItemModel &model, int column, const QVariant &value);

private:
    db::TxDatabase &m_db;
    QString m_select;
    QString m_orderBy;
    QVariantList m_values;
    QHash<QString, QVariant> m_named;
    QString m_lastSql;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_open = false;
};

} // namespace korvex::widgets
