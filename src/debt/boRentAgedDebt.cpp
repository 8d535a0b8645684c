#include "boRentAgedDebt.h"

#include "db/xQuery.h"

#include <QHash>
#include <cmath>

namespace korvex::billing {

using korvex::db::TxQuery;

namespace {

// Amounts are settled in whole millionths (the precision the server keeps
// balances in), so the parts add up to the total exactly.
qint64 micros(double v)
{
    return std::llround(v * 1e6);
}

double amount(qint64 micros)
{
    return micros == 0 ? 0.0 : double(micros) / 1e6;
}

} // namespace

TboRentAgedDebt::TboRentAgedDebt(korvex::db::TxDatabase &db)
    : m_db(db)
{
}

void TboRentAgedDebt::age(TAgedDebt &debt, const QList<Charge> &charges, double paid, const QDate &date)
{
    const qint64 total = micros(debt.total);
    debt.total = amount(total);
    qint64 parts[5] = {0, 0, 0, 0, 0};
    if (total > 0) {
        qint64 charged = 0;
        for (const Charge &c : charges)
            charged += micros(c.ncu);
        qint64 left = micros(paid);
        const qint64 unexplained = total - (charged - left);
        if (unexplained > 0)
            parts[4] += unexplained;
        else
            left -= unexplained;
        for (const Charge &c : charges) {
            qint64 open = micros(c.ncu);
            const qint64 settled = std::min(open, left);
            open -= settled;
            left -= settled;
            if (open <= 0)
                continue;
            const qint64 days = c.due.daysTo(date);
            const int part = days <= 0 ? 0 : days <= 30 ? 1 : days <= 60 ? 2 : days <= 90 ? 3 : 4;
            parts[part] += open;
        }
    }
    debt.notDue = amount(parts[0]);
    debt.days1To30 = amount(parts[1]);
    debt.days31To60 = amount(parts[2]);
    debt.days61To90 = amount(parts[3]);
    debt.over90 = amount(parts[4]);
}

QList<TAgedDebt> TboRentAgedDebt::read(const QDate &date, std::optional<int> customerKey, bool positiveOnly)
{
    // The debts as the look-ups give them, and the customers' names.
    QList<TAgedDebt> debts;
    QHash<int, qsizetype> index;
    {
        const QString source = customerKey ? QStringLiteral("rent_p_getdebtcustomer(?, ?)") : QStringLiteral("rent_p_getdebt(?)");
        QVariantList values{date};
        if (customerKey)
            values << *customerKey;
        TxQuery q(m_db);
        q.exec(QStringLiteral("SELECT c.customerkey, MAX(cust.name), SUM(d.costncu) FROM %1 d "
                              "JOIN rent_contractservice cs ON cs.id = d.contractservicekey "
                              "JOIN rent_contract c ON c.id = cs.contractkey "
                              "LEFT JOIN cst_customer cust ON cust.customerkey = c.customerkey "
                              "GROUP BY c.customerkey ORDER BY c.customerkey")
                   .arg(source),
               values);
        while (q.next()) {
            TAgedDebt d;
            d.customerKey = q.value(0).toInt();
            d.customerName = q.value(1).toString();
            d.total = q.value(2).toDouble();
            if (positiveOnly && micros(d.total) <= 0)
                continue;
            index.insert(d.customerKey, debts.size());
            debts << d;
        }
    }
    if (debts.isEmpty())
        return debts;

    // Every booking up to the date: invoice lines that raise a debt are
    // charges, everything else pays.
    QHash<int, QList<Charge>> charges;
    QHash<int, double> paid;
    TxQuery q(m_db);
    QString sql = QStringLiteral(
        "SELECT c.customerkey, COALESCE(i.expiredate, i.invoicedate) AS due, m.costncu, m.invoicekey "
        "FROM rent_debtmove m "
        "JOIN rent_contractservice cs ON cs.id = m.contractservicekey "
        "JOIN rent_contract c ON c.id = cs.contractkey "
        "LEFT JOIN rent_invoice i ON i.id = m.invoicekey "
        "WHERE m.debtdate <= ?");
    QVariantList values{date};
    if (customerKey) {
        sql += QStringLiteral(" AND c.customerkey = ?");
        values << *customerKey;
    }
    sql += QStringLiteral(" ORDER BY 1, 2, i.invoicedate, m.invoicekey, m.id");
    q.exec(sql, values);
    while (q.next()) {
        const int customer = q.value(0).toInt();
        if (!index.contains(customer))
            continue;
        const double ncu = q.value(2).toDouble();
        if (!q.value(3).isNull() && ncu > 0)
            charges[customer] << Charge{q.value(1).toDate(), ncu};
        else
            paid[customer] -= ncu;
    }
    for (TAgedDebt &d : debts)
        age(d, charges.value(d.customerKey), paid.value(d.customerKey), date);
    return debts;
}

QList<TAgedDebt> TboRentAgedDebt::AgedDebts(const QDate &date, std::optional<int> customerKey)
{
    return read(date, customerKey, true);
}

TAgedDebt TboRentAgedDebt::AgedDebtOfCustomer(int customerKey, const QDate &date)
{
    const QList<TAgedDebt> one = read(date, customerKey, false);
    if (!one.isEmpty())
        return one.first();
    TAgedDebt none;
    none.customerKey = customerKey;
    return none;
}

} // namespace korvex::billing
