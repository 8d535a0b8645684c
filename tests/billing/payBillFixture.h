#pragma once

#include "debtFixture.h"

#include "debt/boRentDebt.h"

#include <QStringList>

// The debt fixture with its debts booked from an invoice (so that a full
// rebuild of the debts gives them back): customer 1 owes on contract 10
// 100 on 100, 290 / 100 in currency on 101, 200 on 102 and 20 on 103
// (written off only by debt). Currency 2 is worth 3 NCU since a week ago.
// Payment operations of the bookkeeping system (type 1700, dated
// yesterday): 901 pays 150 for customer 1, 902 pays 70 for customer 1's
// service 3, 903 pays 50 with no customer, 904 pays 30 for customer 2 (who
// owes nothing: an advance). Pay-bill lines of services 1 and 3 post
// operations of type 1850 (no entries) for enterprises (kind 1).
inline void payBillFixture(korvex::db::TxDatabase &db)
{
    using korvex::db::TxQuery;
    debtFixture(db);
    const QDate invoiceDate = debtFixtureDate();
    const QDate opDate = QDate::currentDate().addDays(-1);
    TxQuery::execute(db, QStringLiteral("DELETE FROM rent_debt"));
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, "
                                        "paymentkey, currkey) VALUES (1, '1', ?, 1, 10, 1, 2)"),
                     {invoiceDate});
    const std::tuple<int, double, double> lines[] = {{100, 100, 0}, {101, 290, 100}, {102, 200, 0}, {103, 20, 0}};
    for (const auto &[cs, ncu, curr] : lines)
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, "
                                        "costcurr) VALUES (1, ?, ?, ?)"),
                         {cs, ncu, curr});
    TxQuery::execute(db, QStringLiteral("EXECUTE PROCEDURE rent_p_addinvoicedebt(1)"));
    TxQuery::execute(db, QStringLiteral("INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) "
                                        "VALUES (2, 1, CURRENT_DATE - 7, 3)"));
    const QStringList statements = {
        "INSERT INTO fin_optype (optypekey, name) VALUES (1850, 'Оплата аренды')",
        "INSERT INTO rent_serviceoperation (id, servicekey, rentoperation, typecustomer, operationkey) VALUES (1, 1, 1, 1, 1850)",
        "INSERT INTO rent_serviceoperation (id, servicekey, rentoperation, typecustomer, operationkey) VALUES (2, 3, 1, 1, 1850)",
    };
    for (const QString &s : statements)
        TxQuery::execute(db, s);
    const std::tuple<int, double, int, int> operations[] = {{901, 150, 1, -1}, {902, 70, 1, 3}, {903, 50, -1, -1}, {904, 30, 2, -1}};
    for (const auto &[key, amount, customer, service] : operations) {
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO fin_operation (operationkey, type, commitdate, sumncu) "
                                        "VALUES (?, 1700, ?, ?)"),
                         {key, opDate, amount});
        if (customer > 0)
            TxQuery::execute(db, QStringLiteral("INSERT INTO fin_opanalyzeval (operationkey, analyzekey, analyzevalue) "
                                                "VALUES (?, 10, ?)"),
                             {key, customer});
        if (service > 0)
            TxQuery::execute(db, QStringLiteral("INSERT INTO fin_opanalyzeval (operationkey, analyzekey, analyzevalue) "
                                                "VALUES (?, 610, ?)"),
                             {key, service});
    }
}

// The debts as they stand, one text per balance row.
inline QStringList debtRows(korvex::db::TxDatabase &db)
{
    QStringList rows;
    korvex::db::TxQuery q(db);
    q.exec(QStringLiteral("SELECT contractservicekey, debtdate, costncu, costcurr FROM rent_debt "
                          "ORDER BY contractservicekey, debtdate"));
    while (q.next())
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(q.value(0).toInt())
                    .arg(q.value(1).toDate().toString(Qt::ISODate))
                    .arg(q.value(2).toDouble(), 0, 'f', 4)
                    .arg(q.value(3).toDouble(), 0, 'f', 4);
    return rows;
}

// The debts equal what a full rebuild from the documents gives (the
// rebuild is kept: it changes nothing when they are equal).
inline bool debtsAsRebuilt(korvex::db::TxDatabase &db)
{
    const QStringList before = debtRows(db);
    korvex::billing::TboRentDebt::RebuildDebts(db);
    const QStringList after = debtRows(db);
    if (before != after)
        qWarning("debts %s\nrebuilt %s", qPrintable(before.join(QLatin1String(" | "))),
                 qPrintable(after.join(QLatin1String(" | "))));
    return before == after;
}

struct PayBillSession {
    PayBillSession()
        : options((payBillFixture(t.db()), t.db()), korvex::shell::TmmOptions::DefaultUserKey)
        , context{t.db(), options, nullptr}
    {
    }
    korvex::test::TestDatabase t;
    korvex::shell::TmmOptions options;
    korvex::shell::TAppContext context;
};
