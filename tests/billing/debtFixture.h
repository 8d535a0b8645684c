#pragma once

#include "common/testDatabase.h"

#include "db/xQuery.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <QDate>
#include <QStringList>

// Customers with debts and open and closed contracts, for the allocation,
// the debt list and the debt dialogs. Debts are rent_debt rows dated a month
// ago; services (priority, currency, written off only by debt):
//   1 Аренда       1 NCU           4 Пеня           3 by debt
//   2 Валюта       1 currency      5 Коммунальные   2 NCU, main service 3
//   3 Свет         2 NCU            6 Прочее         none, NCU
// customer 1, contract 10 (open, payment form 1):
//   100 s1 obj 11 debt 100 | 101 s2 obj 12 debt 290 / 100 | 102 s3 debt 200
//   103 s4 debt 20         | 104 s1 debt 0 / 0            | 105 s3 overpaid -50
// customer 1, contract 11 (closed, payment form 2): 110 s1 obj 13 debt 30
// customer 2, contract 20 (open): 200 s1 price 100 (overpaid -10),
//   201 s3 price 300, 202 s4 price 40, 203 s2 price 10 in currency;
//   contract 21 (closed): 210 s1 price 500
// customer 3, contract 30 (closed): 300 s1 price 100
// customer 4, contract 40 (open): 400 s4 debt 30, 401 s1 price 70
// customer 5, contract 50 (open): 500 s1 price 0, 501 s3 price 0
// customer 6, contract 60 (open): 600 s1 priced by a failing formula, 601 s3 price 50
// customer 7, contract 70 (open): 700 s1 priced by the failing formula
// customer 9, contract 80 (open): 800 s1 debt 0.7, 801 s1 debt 0.1
// customer 10, contract 90 (open): 900 s1 debt 40, 901 s6 (no priority) debt 25
// Objects: 1 Корпус with 11, 12 and 11's child 13; 2 Склад.
inline QDate debtFixtureDate()
{
    return QDate::currentDate().addDays(-30);
}

inline void debtFixture(korvex::db::TxDatabase &db)
{
    using korvex::db::TxQuery;
    const QStringList statements = {
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1)",
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (2, 'Доллар США', 'USD', 0)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (1, 'ООО Альфа', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (2, 'ООО Бета', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (3, 'ООО Гамма', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (4, 'ООО Дельта', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (5, 'ООО Эпсилон', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (6, 'ООО Дзета', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (7, 'ООО Эта', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (9, 'ООО Тета', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (10, 'ООО Йота', 1)",
        "INSERT INTO rent_payment (id, name, shortname) VALUES (1, 'Безналичный расчет', 'б/н')",
        "INSERT INTO rent_payment (id, name, shortname) VALUES (2, 'Наличные', 'нал')",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt) VALUES (1, 'Аренда', 1, 0, 0)",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt) VALUES (2, 'Валюта', 1, 1, 0)",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt) VALUES (3, 'Свет', 2, 0, 0)",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt) VALUES (4, 'Пеня', 3, 0, 1)",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt, mainservice) "
        "VALUES (5, 'Коммунальные', 2, 0, 0, 3)",
        "INSERT INTO rent_service (id, name, priority, currservice, rejectdebt) VALUES (6, 'Прочее', NULL, NULL, NULL)",
        "INSERT INTO rent_object (id, parent, name) VALUES (1, NULL, 'Корпус')",
        "INSERT INTO rent_object (id, parent, name) VALUES (2, NULL, 'Склад')",
        "INSERT INTO rent_object (id, parent, name) VALUES (11, 1, 'Офис 11')",
        "INSERT INTO rent_object (id, parent, name) VALUES (12, 1, 'Офис 12')",
        "INSERT INTO rent_object (id, parent, name) VALUES (13, 11, 'Кабинет 13')",
        "INSERT INTO rent_typereckoning (id, name) VALUES (1, 'Ошибка')",
        "INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula) VALUES (1, 1, 1, 'ИТОГ', 'НЕИЗВЕСТНО+1')",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (10, 1, 2, '10', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (11, 1, 2, '11', 2, 1)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (20, 2, 2, '20', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (21, 2, 2, '21', 1, 1)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (30, 3, 2, '30', 1, 1)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (40, 4, 2, '40', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (50, 5, 2, '50', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (60, 6, 2, '60', 1, NULL)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (70, 7, 2, '70', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (80, 9, 2, '80', 1, 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (90, 10, 2, '90', 1, 0)",
    };
    for (const QString &s : statements)
        TxQuery::execute(db, s);

    struct Position {
        int id, contract, service;
        QVariant object;
        double costNcu, costCurr;
        QVariant type;
    };
    const QVariant none;
    const Position positions[] = {
        {100, 10, 1, 11, 0, 0, none},   {101, 10, 2, 12, 0, 0, none},  {102, 10, 3, none, 0, 0, none},
        {103, 10, 4, none, 0, 0, none}, {104, 10, 1, none, 0, 0, none}, {105, 10, 3, none, 0, 0, none},
        {110, 11, 1, 13, 0, 0, none},   {200, 20, 1, none, 100, 0, none}, {201, 20, 3, none, 300, 0, none},
        {202, 20, 4, none, 40, 0, none}, {203, 20, 2, none, 0, 10, none}, {210, 21, 1, none, 500, 0, none},
        {300, 30, 1, none, 100, 0, none}, {400, 40, 4, none, 0, 0, none}, {401, 40, 1, none, 70, 0, none},
        {500, 50, 1, none, 0, 0, none}, {501, 50, 3, none, 0, 0, none}, {600, 60, 1, none, 80, 0, 1},
        {601, 60, 3, none, 50, 0, none}, {700, 70, 1, none, 90, 0, 1},  {800, 80, 1, none, 0, 0, none},
        {801, 80, 1, none, 0, 0, none}, {900, 90, 1, none, 0, 0, none}, {901, 90, 6, none, 0, 0, none},
    };
    for (const Position &p : positions)
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, "
                                        "costcurr, typereckoningkey, ncureckoning, countobject) VALUES (?, ?, ?, ?, ?, ?, ?, 1, 1)"),
                         {p.id, p.contract, p.service, p.object, p.costNcu, p.costCurr, p.type});

    // The currency position is priced in currency; the rest in NCU.
    TxQuery::execute(db, QStringLiteral("UPDATE rent_contractservice SET ncureckoning = 0 WHERE id = 203"));

    const std::tuple<int, double, double> debts[] = {
        {100, 100, 0}, {101, 290, 100}, {102, 200, 0}, {103, 20, 0}, {104, 0, 0},
        {105, -50, 0}, {110, 30, 0},   {200, -10, 0}, {400, 30, 0}, {800, 0.7, 0},
        {801, 0.1, 0}, {900, 40, 0}, {901, 25, 0},
    };
    for (const auto &[cs, ncu, curr] : debts)
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_debt (contractservicekey, debtdate, costncu, costcurr) "
                                        "VALUES (?, ?, ?, ?)"),
                         {cs, debtFixtureDate(), ncu, curr});
}

// A database with the fixture, the options store and the context every
// business object takes.
struct DebtSession {
    DebtSession()
        : options((debtFixture(t.db()), t.db()), korvex::shell::TmmOptions::DefaultUserKey)
        , context{t.db(), options, nullptr}
    {
    }
    korvex::test::TestDatabase t;
    korvex::shell::TmmOptions options;
    korvex::shell::TAppContext context;
};
