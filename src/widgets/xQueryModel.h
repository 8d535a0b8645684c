#pragma once

#include "xSqlFilter.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlRecord>
#include <deque>
#include <memory>

namespace korvex::db {
class TxDatabase;
class TxQuery;
}

namespace korvex::widgets {

// True when two keys name the same row: numbers compare by value whatever
// integer type the driver returned; NULL matches nothing.
bool sameKey(const QVariant &a, const QVariant &b);

// A read-only list over a parameterised SELECT.
//
// Rows come from the server in chunks as a view scrolls: opening a result of
// 100,000 rows reads no more than opening one of 1,000.
//
// The statement is given without ORDER BY; the default order separately.
// sort() runs the statement again ordered by the column. Values are bound
// positionally ("?", as TxSqlFilter builds them) or by name (":name" with
// setParam()); one statement uses one kind.
//
// A list with a key field (setKeyField: a field that tells rows apart and is
// never NULL) is read by the place of its rows in the order, so that nothing
// depends on how long the list is:
// - the statement runs as a derived table, ordered by field names with the
//   key last: the default order's fields (names or positions in the select,
//   each optionally DESC), or the sorted column and the key in its direction;
// - locate() finds a row by its key without reading the rows before it: it
//   reads the row's values of the order and opens the rows from it on;
//   the rows before it come back, in chunks, by fetchBefore() as a view
//   scrolls up; openAtEnd() does the same from the last row;
// - each step is one indexed statement when the table has an index matching
//   the order (its first field and the key, in the order's direction), so
//   a list's indexes are part of its definition.
// The rows the model holds are then a window of the list: row numbers count
// from its first row held, not from the start of the list. Without a key
// field the model reads from the start, and locate() reads on to the row.
//
// The result sets stay open on the server while the model holds them. Open
// models outside an edit dialog's transaction (or run requery() after its
// commit): a cursor of a finished transaction can fetch no further rows.
class TxQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TxQueryModel(db::TxDatabase &db, QObject *parent = nullptr);
    ~TxQueryModel() override;

    void setStatement(const QString &select, const QVariantList &values = {}, const QString &orderBy = {});
    void setStatement(const TxSqlFilter &select, const QString &orderBy = {});
    // New values for the positional placeholders; takes effect on requery().
    void setValues(const QVariantList &values);
    // A value for a ":name" placeholder; takes effect on requery().
    void setParam(const QString &name, const QVariant &value);
    // The field that tells rows apart (see the class comment); empty: none.
    void setKeyField(const QString &field);
    QString keyField() const { return m_keyField; }

    // Runs the statement from the first row; throws EDatabaseError and then
    // keeps the rows it had.
    void open();
    void requery() { open(); }
    void close();
    bool isOpen() const { return m_open; }

    // Runs the statement again ordered by the column (-1: the default order).
    // Throws EDatabaseError like open().
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The row of the list whose field holds the value, -1 when the list has
    // none. With the key field of a keyed list, a row outside the rows held
    // is found by its place (the rows held become those from it on);
    // otherwise further chunks are read until the row comes. Throws
    // EDatabaseError.
    int locate(const QString &field, const QVariant &value);
    // The rows before the first one held (keyed lists only).
    bool canFetchBefore() const;
    // Reads the next chunk of them; returns how many rows came.
    int fetchBefore();
    // Holds the last rows of the list (keyed lists; otherwise reads to the end).
    void openAtEnd();

    // Column of a field, letter case ignored; -1 when the result has none.
    int fieldIndex(const QString &field) const;
    QVariant value(int row, const QString &field) const;
    QSqlRecord record() const { return m_record; }

    // The text last run, ORDER BY included (diagnostics and tests).
    QString lastStatement() const { return m_lastSql; }

    // Row whose column holds the value in any model, fetching further chunks
    // while the row is not among those read; -1 when the result has no such
    // row.
    static int findRow(QAbstractItemModel &model, int column, const QVariant &value);

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Titles by column; Qt::UserRole gives the field name.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent = {}) const override;
    void fetchMore(const QModelIndex &parent = {}) override;

private:
    struct OrderItem {
        QString field;  // exact name in the result, or as given until the result is known
        bool descending = false;
    };
    struct Cursor;
    using Row = QList<QVariant>;

    bool keyed() const { return !m_keyField.isEmpty(); }
    QString wrapped() const;
    QList<OrderItem> currentOrder() const;
    QString orderText(const QList<OrderItem> &order, bool reversed) const;
    QVariantList statementValues() const;
    std::unique_ptr<Cursor> newCursor(const QList<std::pair<QString, QVariantList>> &segments) const;
    // Reads up to n rows of a cursor (in its own order).
    QList<Row> read(Cursor &cursor, int n);
    void resolveOrder(const QSqlRecord &record);
    void reset(std::unique_ptr<Cursor> down, std::unique_ptr<Cursor> up, bool fromEnd);
    int windowRow(int column, const QVariant &value) const;

    db::TxDatabase &m_db;
    QString m_select;
    QString m_orderBy;
    QVariantList m_values;
    QHash<QString, QVariant> m_named;
    QString m_keyField;
    QList<OrderItem> m_defaultOrder;  // parsed from m_orderBy (keyed lists)
    bool m_orderResolved = false;
    QString m_lastSql;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_open = false;

    QSqlRecord m_record;
    QHash<int, QVariant> m_titles;  // column -> title set by setHeaderData
    std::deque<Row> m_rows;
    std::unique_ptr<Cursor> m_down;  // rows after the last one held
    std::unique_ptr<Cursor> m_up;    // rows before the first one held, nearest first
};

} // namespace korvex::widgets
