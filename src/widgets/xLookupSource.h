#pragma once

#include "xSqlFilter.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

struct TxLookupRow {
    QVariant key;
    QString text;
};

// What a lookup box offers and how it turns typed text into a key. The pick
// list is read on first use and kept until reload().
class TxLookupSource
{
public:
    virtual ~TxLookupSource();

    const QList<TxLookupRow> &rows();
    void reload();
    // Grows by one whenever the list is read, so a box knows to refill.
    int generation() const { return m_generation; }

    // The row a typed text names (nullopt: none). currentKey is the box's key.
    virtual std::optional<TxLookupRow> findText(const QString &text, const QVariant &currentKey) = 0;
    // The row of a key, read again from the server when the list lacks it
    // (a row added since the list was read).
    std::optional<TxLookupRow> findKey(const QVariant &key);

protected:
    virtual QList<TxLookupRow> readRows() = 0;
    std::optional<TxLookupRow> findInRows(const QString &text) const;

private:
    QList<TxLookupRow> m_rows;
    bool m_loaded = false;
    int m_generation = 0;
};

// Rows of a table or a query: a key column and a display column. Typed text
// names the row whose display text equals it, letter case and outer blanks
// ignored (the first such row in list order).
class TxTableLookup : public TxLookupSource
{
public:
    // SELECT key, text FROM table [filter] ORDER BY text. The filter is
    // appended as it is built ("WHERE disabled = ?", 0).
    TxTableLookup(db::TxDatabase &db, const QString &table, const QString &keyField, const QString &textField,
                  const TxSqlFilter &filter = {});
    // Any SELECT returning the two columns, ordered as the list should be.
    TxTableLookup(db::TxDatabase &db, const TxSqlFilter &select, const QString &keyField, const QString &textField);

    std::optional<TxLookupRow> findText(const QString &text, const QVariant &currentKey) override;

protected:
    QList<TxLookupRow> readRows() override;

private:
    db::TxDatabase &m_db;
    TxSqlFilter m_select;
    QString m_keyField;
    QString m_textField;
};

// The pick lists of customers, currencies, places and reckoning sets: a view
// procedure read as
//   SELECT * FROM <view>(:input, ...) ORDER BY <text> COLLATE PXW_CYRL
// and a search procedure taking ID (the current key), Text (the typed text)
// and Type (the search kind) and answering OK (non-zero: found), OUTID and
// OUTText. Procedure and column names come from code; values are bound.
class TxProcLookup : public TxLookupSource
{
public:
    TxProcLookup(db::TxDatabase &db, const QString &viewProcedure, const QString &searchProcedure,
                 const QString &keyField, const QString &textField);

    // Value of an input of the view procedure (inputs not set go as NULL).
    void setViewInput(const QString &name, const QVariant &value);
    void setSearchType(const QVariant &type) { m_searchType = type; }

    std::optional<TxLookupRow> findText(const QString &text, const QVariant &currentKey) override;

protected:
    QList<TxLookupRow> readRows() override;

private:
    db::TxDatabase &m_db;
    QString m_view;
    QString m_search;
    QString m_keyField;
    QString m_textField;
    QHash<QString, QVariant> m_inputs;  // upper-case name
    QVariant m_searchType = 0;
};

} // namespace korvex::widgets
