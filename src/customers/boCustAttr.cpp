#include "boCustAttr.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "widgets/xPrompt.h"
#include "widgets/xSqlFilter.h"

#include <QSet>
#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;
using korvex::widgets::TxSqlFilter;

namespace {

TCachedRow attrRow()
{
    return TCachedRow(QStringLiteral("ph_attr"), QStringLiteral("id"),
                      {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("shortname"),
                       QStringLiteral("rating"), QStringLiteral("tokem"), QStringLiteral("icon"),
                       QStringLiteral("disabled"), QStringLiteral("hotkey")});
}

QVariantList keys(const QList<int> &list)
{
    QVariantList out;
    for (int k : list)
        out << k;
    return out;
}

} // namespace

TCustAttributes::TCustAttributes(TxDatabase &db)
    : m_db(db)
{
}

QList<int> TCustAttributes::attributesOf(int customerKey) const
{
    QList<int> out;
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT attrkey FROM cst_custattr WHERE customerkey = ? ORDER BY attrkey"), {customerKey});
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

bool TCustAttributes::replace(const QList<int> &customers, const QList<int> &attributes, korvex::widgets::TxPrompt &prompt)
{
    const QSet<int> wanted(attributes.cbegin(), attributes.cend());
    if (customers.size() > 1) {
        // Customers that would lose an attribute they have now.
        TxSqlFilter losing(QStringLiteral("SELECT COUNT(DISTINCT customerkey) FROM cst_custattr WHERE 1 = 1"));
        losing.addIn(QStringLiteral("AND"), QStringLiteral("customerkey"), keys(customers));
        if (!wanted.isEmpty()) {
            TxSqlFilter notIn;
            notIn.addIn(QStringLiteral("AND NOT"), QStringLiteral("attrkey"), keys(QList<int>(wanted.cbegin(), wanted.cend())));
            losing.append(notIn);
        }
        const int count = TxQuery::scalar(m_db, losing.text(), losing.values()).toInt();
        if (count > 1
            && !prompt.confirm(tr("У %1 клиентов будут удалены аттрибуты, которые не отмечены. Продолжить?").arg(count)))
            return false;
    }
    runInTransaction(m_db, [&] {
        for (int customer : customers) {
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM cst_custattr WHERE customerkey = ?"), {customer});
            for (int attr : wanted)
                TxQuery::execute(m_db, QStringLiteral("INSERT INTO cst_custattr (customerkey, attrkey) VALUES (?, ?)"),
                                 {customer, attr});
        }
    });
    return true;
}

TCachedRow TCustAttributes::newAttribute(const QVariant &parent)
{
    TCachedRow row = attrRow();
    row.setNew(TxQuery::scalar(m_db, QStringLiteral("SELECT NEXT VALUE FOR gen_ph_attr FROM rdb$database")).toInt());
    row.setValue(QStringLiteral("parent"), parent);
    row.setValue(QStringLiteral("rating"), 1);
    row.setValue(QStringLiteral("disabled"), 0);
    return row;
}

TCachedRow TCustAttributes::attribute(int id)
{
    TCachedRow row = attrRow();
    if (!row.load(m_db, id))
        throw std::logic_error(QStringLiteral("ph_attr has no row %1").arg(id).toStdString());
    return row;
}

void TCustAttributes::deleteAttribute(int id)
{
    runInTransaction(m_db, [&] { TxQuery::execute(m_db, QStringLiteral("DELETE FROM ph_attr WHERE id = ?"), {id}); });
}

} // namespace korvex::customers
