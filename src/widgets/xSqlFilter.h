#pragma once

#include <QString>
#include <QVariant>

namespace korvex::widgets {

// Builds a statement whose conditions depend on a filter. Every piece of text
// is appended together with the values of its "?" placeholders, so a value
// never becomes part of the text. The number of placeholders must equal the
// number of values; a mismatch is a programming error (std::invalid_argument).
//
//   TxSqlFilter q("SELECT c.id, c.number FROM rent_contract c WHERE c.disabled = ?", {0});
//   q.addIf(customerKey > 0, "AND c.customerkey = ?", customerKey);
//   q.addIn("AND", "c.id", markedKeys);
//
// Pieces are joined by a blank. The result goes to TxQueryModel::setStatement
// or to TxQuery::exec(text(), values()).
class TxSqlFilter
{
public:
    TxSqlFilter() = default;
    explicit TxSqlFilter(const QString &text, const QVariantList &values = {});

    template <typename... V>
    TxSqlFilter &add(const QString &text, const V &...values)
    {
        return addList(text, QVariantList{QVariant(values)...});
    }
    template <typename... V>
    TxSqlFilter &addIf(bool condition, const QString &text, const V &...values)
    {
        return condition ? addList(text, QVariantList{QVariant(values)...}) : *this;
    }
    TxSqlFilter &addList(const QString &text, const QVariantList &values);

    // "<conjunction> <column> IN (?, ?, ...)" over the keys. Long lists are
    // split into groups joined by OR (the server limits one IN list); an empty
    // list appends a condition that holds for no row.
    TxSqlFilter &addIn(const QString &conjunction, const QString &column, const QVariantList &keys);

    TxSqlFilter &append(const TxSqlFilter &other);

    QString text() const { return m_text; }
    QVariantList values() const { return m_values; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // The "?" placeholders of a text, not counting those inside quotes or
    // comments.
    static int countPlaceholders(const QString &text);

    // Returns name when it is a plain SQL identifier (letters, digits, "_" and
    // "$", not starting with a digit); throws std::invalid_argument otherwise.
    // Table, column and procedure names come from code; this keeps a slip from
    // ever turning into pasted text.
    static QString identifier(const QString &name);

private:
    QString m_text;
    QVariantList m_values;
};

} // namespace korvex::widgets
