#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::customers {

// One row of ph_attr, the attribute tree.
struct TAttributeRecord {
    int id = 0;
    bool stored = false;
    std::optional<int> parent;
    QString name;
    QString shortname;
    QString tokem;
    bool disabled = false;
    std::optional<int> hotkey;  // the key combination, as QKeyCombination::toCombined()
    std::optional<int> icon;
};

// Customer attributes: the tree of ph_attr and the attributes assigned to
// customers in cst_custattr.
class TCustAttributes
{
    Q_DECLARE_TR_FUNCTIONS(TCustAttributes)
public:
    explicit TCustAttributes(korvex::db::TxDatabase &db);

    QList<int> attributesOf(int customerKey) const;

    // Gives every customer exactly the attributes listed, in one
    // transaction: all customers change or none. When that would take
    // attributes away from more than one customer, the user is asked first;
    // false when he declined and nothing changed.
    bool replace(const QList<int> &customers, const QList<int> &attributes, korvex::widgets::TxPrompt &prompt);

    // An attribute row for the attribute dialog: new (parent given, key from
    // the sequence) or stored.
    TAttributeRecord newAttribute(std::optional<int> parent);
    TAttributeRecord attribute(int id);
    // Stores the row (its rating is always 1) in a write scope of its own or
    // inside the caller's.
    void writeAttribute(const TAttributeRecord &record);
    // Deletes an attribute; one still assigned or with attributes below it
    // is refused (EDatabaseError, isInUse()).
    void deleteAttribute(int id);

private:
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::customers
