#pragma once

#include "db/xTransaction.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::customers {

// One row of a table held in the client while a dialog edits it: read by its
// key, changed field by field, and written back - INSERT while it is new,
// UPDATE of the changed columns once stored - with every value bound. Table
// and column names come from code and are checked to be plain identifiers.
class TCachedRow
{
public:
    TCachedRow(const QString &table, const QString &keyField, const QStringList &fields);

    QString table() const { return m_table; }
    QString keyField() const { return m_keyField; }
    QStringList fields() const { return m_fields; }

    // A new row with the key: nothing read, every field empty.
    void setNew(const QVariant &key);
    // Reads the row; when there is none, returns false and holds a new row
    // with that key.
    bool load(korvex::db::TxDatabase &db, const QVariant &key);

    QVariant key() const { return m_key; }
    // A detail row follows its owner's key (a new customer's details).
    void setKey(const QVariant &key) { m_key = key; }
    bool exists() const { return m_exists; }
    bool isModified() const { return !m_changed.isEmpty(); }
    // True while no field holds a value (a detail row nobody filled in).
    bool isBlank() const;

    QVariant value(const QString &field) const;
    QString text(const QString &field) const { return value(field).toString(); }
    // Blank text is stored as NULL. A field the row does not hold is a
    // programming error (std::invalid_argument).
    void setValue(const QString &field, const QVariant &value);

    // Sends the row inside the connection's current transaction. Throws
    // EDatabaseError. The row keeps counting as new or changed until
    // confirm(), called once the transaction committed: a save that was
    // rolled back can then be sent again whole.
    void write(korvex::db::TxDatabase &db) const;
    void confirm();

private:
    QString normal(const QString &field) const;

    QString m_table;
    QString m_keyField;
    QStringList m_fields;
    QHash<QString, QVariant> m_values;  // lower-case field
    QSet<QString> m_changed;
    QVariant m_key;
    bool m_exists = false;
};

// runInTransaction() comes from the database layer (db/xTransaction.h).
using korvex::db::runInTransaction;

} // namespace korvex::customers
