#include "boCustAttr.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xTransaction.h"
#include "widgets/xPrompt.h"
#include "widgets/xSqlFilter.h"

#include <QSet>
#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;
using korvex::widgets::TxSqlFilter;

namespace {

const QStringList AttrColumns{QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("shortname"),
                               QStringLiteral("rating"), QStringLiteral("tokem"), QStringLiteral("icon"),
                               QStringLiteral("disabled"), QStringLiteral("hotkey")};

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

TAttributeRecord TCustAttributes::newAttribute(std::optional<int> parent)
{
    TAttributeRecord r;
    r.id = nextKey(m_db, QStringLiteral("gen_ph_attr"));
    r.parent = parent;
    return r;
}

TAttributeRecord TCustAttributes::attribute(int id)
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT %1 FROM ph_attr WHERE id = ?").arg(AttrColumns.join(QStringLiteral(", "))), {id});
    if (!q.next())
        throw std::logic_error(QStringLiteral("ph_attr has no row %1").arg(id).toStdString());
    TAttributeRecord r;
    r.id = id;
    r.stored = true;
    r.parent = optionalInt(q.value(QStringLiteral("parent")));
    r.name = q.value(QStringLiteral("name")).toString().trimmed();
    r.shortname = q.value(QStringLiteral("shortname")).toString().trimmed();
    r.tokem = q.value(QStringLiteral("tokem")).toString().trimmed();
    r.icon = optionalInt(q.value(QStringLiteral("icon")));
    r.disabled = q.value(QStringLiteral("disabled")).toInt() != 0;
    r.hotkey = optionalInt(q.value(QStringLiteral("hotkey")));
    if (r.hotkey == 0)
        r.hotkey.reset();
    return r;
}

void TCustAttributes::writeAttribute(const TAttributeRecord &r)
{
    const QVariantList values{nullableInt(r.parent), nullableText(r.name), nullableText(r.shortname), 1,
                              nullableText(r.tokem), nullableInt(r.icon), r.disabled ? 1 : 0, nullableInt(r.hotkey)};
    TxWriteScope scope(m_db);
    if (!r.stored)
        insertRow(m_db, QStringLiteral("ph_attr"), QStringLiteral("id"), r.id, AttrColumns, values);
    else if (updateRow(m_db, QStringLiteral("ph_attr"), QStringLiteral("id"), r.id, AttrColumns, values) == 0)
        throw EDatabaseError(tr("Запись удалена другим пользователем"));
    scope.commit();
}

void TCustAttributes::deleteAttribute(int id)
{
    runInTransaction(m_db, [&] { TxQuery::execute(m_db, QStringLiteral("DELETE FROM ph_attr WHERE id = ?"), {id}); });
}

} // namespace korvex::customers
