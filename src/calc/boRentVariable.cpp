#include "boRentVariable.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"

namespace korvex::calc {

using namespace korvex::db;

TboRentValueVariable::TboRentValueVariable(TxDatabase &db)
    : m_db(db)
{
}

bool TboRentValueVariable::IsVariable(const QString &name)
{
    return TxQuery::scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM rent_variable WHERE name = ?"),
                           {name.trimmed().toUpper()})
               .toInt()
           > 0;
}

bool TboRentValueVariable::FindValue(const QString &name, int objectKey, int serviceKey, int customerKey)
{
    m_value = 0;
    TxQuery v(m_db);
    v.exec(QStringLiteral("SELECT id, COALESCE(lockobject, 0), COALESCE(lockservice, 0), COALESCE(lockcustomer, 0) "
                          "FROM rent_variable WHERE name = ?"),
           {name.trimmed().toUpper()});
    if (!v.next())
        return false;
    const int variableKey = v.value(0).toInt();
    if (v.value(1).toInt() == 0)
        objectKey = 0;
    if (v.value(2).toInt() == 0)
        serviceKey = 0;
    if (v.value(3).toInt() == 0)
        customerKey = 0;

    // A key of 0 asks for the row without that binding; the comparison with
    // NULL is written out so that every value stays a bound parameter.
    static const QString rowSql = QStringLiteral(
        "SELECT FIRST 1 valuevariable FROM rent_valuevariable WHERE variablekey = ? "
        "AND ((? = 0 AND objectkey IS NULL) OR objectkey = ?) "
        "AND ((? = 0 AND servicekey IS NULL) OR servicekey = ?) "
        "AND ((? = 0 AND customerkey IS NULL) OR customerkey = ?) "
        "AND valuevariable IS NOT NULL");
    // The object tree has no cycles; the bound only guards against a damaged one.
    for (int depth = 0; depth < 1000; ++depth) {
        TxQuery q(m_db);
        q.exec(rowSql, {variableKey, objectKey, objectKey, serviceKey, serviceKey, customerKey, customerKey});
        if (q.next()) {
            m_value = q.value(0).toDouble();
            return true;
        }
        if (objectKey == 0)
            return false;
        const QVariant parent = TxQuery::scalar(m_db, QStringLiteral("SELECT parent FROM rent_object WHERE id = ?"), {objectKey});
        if (!parent.isValid() || parent.isNull())
            return false;
        objectKey = parent.toInt();
    }
    return false;
}

} // namespace korvex::calc
