#pragma once

#include <QString>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::calc {

// The values of user variables: one row per combination of the keys a
// variable is bound to (object, service, customer). A value given for an
// object serves every object below it unless one of them has its own.
class TboRentValueVariable
{
public:
    explicit TboRentValueVariable(korvex::db::TxDatabase &db);

    // Finds the value of the variable for the object, service and customer
    // (0 = none). Keys of bindings the variable does not have are ignored;
    // only the object key climbs the object tree. A row whose value is not
    // set does not count: the search goes on up the tree as for a missing
    // row. Returns false for an unknown name or when nothing is found; the
    // previous value is cleared either way.
    bool FindValue(const QString &name, int objectKey, int serviceKey, int customerKey);
    double Value() const { return m_value; }

    // Whether the dictionary knows the name (letter case ignored).
    bool IsVariable(const QString &name);

private:
    korvex::db::TxDatabase &m_db;
    double m_value = 0;
};

} // namespace korvex::calc
