#pragma once

#include "common/testDatabase.h"
#include "common/testProcess.h"
#include "db/xConnectionParams.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"

#include <QDate>
#include <QStringList>

// Debts with a history, booked through the server's own procedures from
// invoices and pay bills (dates in 2026):
//   customer 1: contract 10 (payment form 1): 100 Аренда, 101 Свет;
//               contract 11 (payment form 2): 110 Аренда
//   customer 2: contract 20 (payment form 1): 200 Аренда
//   customer 3: contract 30, no documents
// invoices (date, pay until, position, NCU):
//   1  01-10  01-20  100  1000      3  02-20  03-05  100  300
//   2  01-15  none   110   500      4  02-10  02-25  101  999
//   5  02-10  none   200    50
// pay bills (date, position, NCU): 1 02-05 100 400; 2 02-10 110 500;
//   3 01-20 200 100 (customer 2 is always overpaid)
inline void historyFixture(korvex::db::TxDatabase &db)
{
    using korvex::db::TxQuery;
    const QStringList statements = {
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (1, 'ООО Альфа', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (2, 'ООО Бета', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (3, 'ООО Гамма', 1)",
        "INSERT INTO rent_payment (id, name, shortname) VALUES (1, 'Безналичный расчет', 'б/н')",
        "INSERT INTO rent_payment (id, name, shortname) VALUES (2, 'Наличные', 'нал')",
        "INSERT INTO rent_service (id, name, priority) VALUES (1, 'Аренда', 1)",
        "INSERT INTO rent_service (id, name, priority) VALUES (2, 'Свет', 2)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (10, 1, 1, '10', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (11, 1, 1, '11', 2, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (20, 2, 1, '20', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (30, 3, 1, '30', 1, 0)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (100, 10, 1)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (101, 10, 2)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (110, 11, 1)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (200, 20, 1)",
    };
    for (const QString &s : statements)
        TxQuery::execute(db, s);

    struct Document {
        int id;
        QDate date;
        QVariant payUntil;
        int customer, contract, position;
        double ncu;
    };
    const QVariant none;
    const Document invoices[] = {
        {1, QDate(2026, 1, 10), QDate(2026, 1, 20), 1, 10, 100, 1000},
        {2, QDate(2026, 1, 15), none, 1, 11, 110, 500},
        {3, QDate(2026, 2, 20), QDate(2026, 3, 5), 1, 10, 100, 300},
        {4, QDate(2026, 2, 10), QDate(2026, 2, 25), 1, 10, 101, 999},
        {5, QDate(2026, 2, 10), none, 2, 20, 200, 50},
    };
    for (const Document &d : invoices) {
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, expiredate, customerkey, "
                                        "contractkey) VALUES (?, ?, ?, ?, ?, ?)"),
                         {d.id, QString::number(d.id), d.date, d.payUntil, d.customer, d.contract});
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, "
                                        "costcurr) VALUES (?, ?, ?, 0)"),
                         {d.id, d.position, d.ncu});
        korvex::db::TxStoredProc book(db, QStringLiteral("rent_p_addinvoicedebt"));
        book.setParam(QStringLiteral("invoicekey"), d.id);
        book.execute();
    }
    const Document payBills[] = {
        {1, QDate(2026, 2, 5), none, 1, 10, 100, 400},
        {2, QDate(2026, 2, 10), none, 1, 11, 110, 500},
        {3, QDate(2026, 1, 20), none, 2, 20, 200, 100},
    };
    for (const Document &d : payBills) {
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_paybill (id, number, paybilldate, customerkey) "
                                        "VALUES (?, ?, ?, ?)"),
                         {d.id, QString::number(d.id), d.date, d.customer});
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_paybillrelat (paybillkey, contractservicekey, costncu, "
                                        "costcurr) VALUES (?, ?, ?, 0)"),
                         {d.id, d.position, d.ncu});
        korvex::db::TxStoredProc book(db, QStringLiteral("rent_p_deletepaybilldebt"));
        book.setParam(QStringLiteral("paybillkey"), d.id);
        book.execute();
    }
}

// Runs the command-line tool on the test database, which is closed meanwhile
// (the embedded engine allows one process per file) and opened again.
inline korvex::test::ProgramRun runCli(korvex::test::TestDatabase &t, const QStringList &args)
{
    const QString path = t.path();
    t.db().close();
    korvex::test::ProgramRun run = korvex::test::runProgram(QStringLiteral(KORVEX_CLI_PATH), args + QStringList{path});
    korvex::db::TxConnectionParams params;
    params.setServerName(path);
    t.db().open(params, QStringLiteral("SYSDBA"), QString());
    return run;
}
