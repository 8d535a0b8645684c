#pragma once

#include "db/xQuery.h"
#include "db/xStoredProc.h"

#include <QDate>
#include <QMap>
#include <QStringList>
#include <cmath>

// The balances rent_debt holds: per position and date, rounded as the
// server rounds them.
using Balances = QMap<std::pair<int, QDate>, std::pair<double, double>>;

inline Balances readBalances(korvex::db::TxDatabase &db)
{
    Balances b;
    korvex::db::TxQuery q(db);
    q.exec(QStringLiteral("SELECT contractservicekey, debtdate, costncu, costcurr FROM rent_debt"));
    while (q.next())
        b[{q.value(0).toInt(), q.value(1).toDate()}] = {q.value(2).toDouble(), q.value(3).toDouble()};
    return b;
}

inline QString show(const Balances &b)
{
    QStringList parts;
    for (auto it = b.cbegin(); it != b.cend(); ++it)
        parts << QStringLiteral("%1@%2=%3/%4")
                     .arg(it.key().first)
                     .arg(it.key().second.toString(Qt::ISODate))
                     .arg(it.value().first)
                     .arg(it.value().second);
    return parts.join(QLatin1Char(' '));
}

inline bool sameBalances(const Balances &a, const Balances &b)
{
    if (a.keys() != b.keys())
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const auto other = b.value(it.key());
        if (std::abs(it.value().first - other.first) > 1e-6 || std::abs(it.value().second - other.second) > 1e-6)
            return false;
    }
    return true;
}

// True when the balances equal what a full rebuild of the debts from the
// booked documents (rent_p_newdebt) gives; the rebuild replaces them.
inline bool debtsEqualRebuild(korvex::db::TxDatabase &db, QString *report)
{
    const Balances booked = readBalances(db);
    korvex::db::TxStoredProc rebuild(db, QStringLiteral("rent_p_newdebt"));
    rebuild.execute();
    const Balances rebuilt = readBalances(db);
    if (report)
        *report = QStringLiteral("booked: %1\nrebuilt: %2").arg(show(booked), show(rebuilt));
    return sameBalances(booked, rebuilt);
}
