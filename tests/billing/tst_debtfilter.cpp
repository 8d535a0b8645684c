#include "debtFixture.h"

#include "common/testMain.h"

#include "billing/boRentDebtFilter.h"
#include "db/xQuery.h"
#include "widgets/xQueryModel.h"

#include <QTest>
#include <algorithm>

using korvex::billing::TboRentDebtFilter;
using korvex::billing::TDebtFilter;
using korvex::db::TxQuery;
using korvex::widgets::TxSqlFilter;

namespace {

QList<int> keys(const QString &text)
{
    QList<int> result;
    for (const QString &k : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        result << k.toInt();
    return result;
}

// The contract services a statement returns, in key order.
QList<int> positionsOf(korvex::db::TxDatabase &db, const TxSqlFilter &select)
{
    TxQuery q(db);
    q.exec(select.text(), select.values());
    QList<int> result;
    while (q.next())
        result << q.value(QStringLiteral("contractservicekey")).toInt();
    std::sort(result.begin(), result.end());
    return result;
}

// Applies "name=value" settings separated by ';' to a filter that starts
// as "everything".
TDebtFilter filterFrom(const QString &spec)
{
    TDebtFilter f;
    for (const QString &item : spec.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = item.section(QLatin1Char('='), 0, 0);
        const QString value = item.section(QLatin1Char('='), 1);
        if (name == QLatin1String("customer")) {
            f.allCustomers = false;
            f.customerKey = value.toInt();
        } else if (name == QLatin1String("contract")) {
            f.allContracts = false;
            f.contractKey = value.toInt();
        } else if (name == QLatin1String("payment")) {
            f.allPayments = false;
            f.paymentKey = value.toInt();
        } else if (name == QLatin1String("objects")) {
            f.allObjects = false;
            f.objectKeys = keys(value);
        } else if (name == QLatin1String("services")) {
            f.allServices = false;
            f.serviceKeys = keys(value);
        } else if (name == QLatin1String("type")) {
            f.selectionType = value.toInt();
        } else if (name == QLatin1String("days")) {
            f.debtDate = QDate::currentDate().addDays(value.toInt());
        }
    }
    return f;
}

} // namespace

class DebtFilterTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<DebtSession>(); }
    void cleanupTestCase() { m_s.reset(); }

    void list_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("positions");
        QTest::addColumn<double>("ncu");
        QTest::newRow("everything not zero") << "" << "100,101,102,103,105,110,200,400,800,801,900,901" << 675.8;
        QTest::newRow("one customer") << "customer=1" << "100,101,102,103,105,110" << 590.0;
        QTest::newRow("one contract") << "contract=11" << "110" << 30.0;
        QTest::newRow("one payment form") << "payment=2" << "110" << 30.0;
        QTest::newRow("objects") << "objects=11,13" << "100,110" << 130.0;
        QTest::newRow("no object ticked narrows nothing") << "objects=" << "100,101,102,103,105,110,200,400,800,801,900,901" << 675.8;
        QTest::newRow("one service") << "services=1" << "100,110,200,800,801,900" << 160.8;
        QTest::newRow("two services") << "services=3,4" << "102,103,105,400" << 200.0;
        QTest::newRow("debts") << "type=1" << "100,101,102,103,110,400,800,801,900,901" << 735.8;
        QTest::newRow("overpayments") << "type=2" << "105,200" << -60.0;
        QTest::newRow("before the debts") << "days=-40" << "" << 0.0;
        QTest::newRow("combined") << "customer=1;services=1;type=1" << "100,110" << 130.0;
    }
    void list()
    {
        QFETCH(QString, filter);
        QFETCH(QString, positions);
        QFETCH(double, ncu);
        TboRentDebtFilter bo(m_s->context);
        bo.setFilter(filterFrom(filter));
        const TxSqlFilter select = bo.listStatement();
        QCOMPARE(positionsOf(m_s->t.db(), select), keys(positions));
        const TboRentDebtFilter::Totals totals = bo.totals();
        QCOMPARE(totals.count, int(keys(positions).size()));
        QCOMPARE(totals.ncu, ncu);
        // Every order runs.
        for (int order = TDebtFilter::ByCustomer; order <= TDebtFilter::Unsorted; ++order) {
            korvex::widgets::TxQueryModel model(m_s->t.db());
            model.setStatement(select, TboRentDebtFilter::listOrder(order));
            model.open();
            QCOMPARE(model.rowCount(), int(keys(positions).size()));
        }
    }

    // The list is sorted by the name the order says.
    void order()
    {
        TboRentDebtFilter bo(m_s->context);
        bo.setFilter(filterFrom(QStringLiteral("customer=1")));
        korvex::widgets::TxQueryModel model(m_s->t.db());
        model.setStatement(bo.listStatement(), TboRentDebtFilter::listOrder(TDebtFilter::ByService));
        model.open();
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << model.value(row, QStringLiteral("servicecal")).toString();
        QCOMPARE(names.first(), QStringLiteral("Аренда"));
        QCOMPARE(names.last(), QStringLiteral("Свет"));
    }

    // The filter is remembered per user; the debt date is stored under
    // another name than it is read from, so a new filter starts today.
    void remembered()
    {
        TDebtFilter f = filterFrom(QStringLiteral("customer=1;contract=10;payment=2;objects=11,13;services=3;type=2"));
        f.debtDate = QDate(2024, 5, 6);
        f.sortOrder = TDebtFilter::ByObject;
        f.historyUnlimited = false;
        f.historyStart = QDate(2024, 1, 1);
        f.historyEnd = QDate(2024, 3, 31);
        {
            TboRentDebtFilter bo(m_s->context);
            bo.setFilter(f);
            bo.SaveFilter();
        }
        QVERIFY(!m_s->t.db().inTransaction());
        TboRentDebtFilter again(m_s->context);
        TDebtFilter expected = f;
        expected.debtDate = QDate::currentDate();
        QCOMPARE(again.filter(), expected);
        QCOMPARE(m_s->options.GetDateOption(QStringLiteral("rent_Debt_startDebtdate")), std::optional(QDate(2024, 5, 6)));
        QVERIFY(!m_s->options.GetDateOption(QStringLiteral("rent_Debt_Debtdate")));
        QCOMPARE(m_s->options.GetStringOption(QStringLiteral("rent_Debt_objectList")), std::optional(QStringLiteral("11\n13")));

        // A sort entry is stored at once.
        again.setSortOrder(TDebtFilter::ByContract);
        QCOMPARE(TboRentDebtFilter(m_s->context).filter().sortOrder, int(TDebtFilter::ByContract));
    }

    // Stored values are read defensively: a switch is on only for 1, orders
    // out of range fall back, and a key list yields whole numbers only,
    // which the statement binds.
    void storedValuesChecked()
    {
        {
            TboRentDebtFilter everything(m_s->context);
            everything.setFilter(TDebtFilter());
            everything.SaveFilter();
        }
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_Customer"), true, 2);
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_CustomerKey"), true, 1);
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_object"), true, 0);
        m_s->options.SetStringOption(QStringLiteral("rent_Debt_objectList"), true,
                                     QStringLiteral("11\n13) OR (1=1\nabc"));
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_sortDebt"), true, 9);
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_TypeDebt"), true, -1);
        TboRentDebtFilter bo(m_s->context);
        QCOMPARE(bo.filter().allCustomers, false);
        QCOMPARE(bo.filter().objectKeys, (QList<int>{11, 13, 1}));
        QCOMPARE(bo.filter().sortOrder, int(TDebtFilter::ByCustomer));
        QCOMPARE(bo.filter().selectionType, int(TDebtFilter::DebtsAndOverpayments));
        const TxSqlFilter select = bo.listStatement();
        QVERIFY(!select.text().contains(QStringLiteral("1=1")));
        QCOMPARE(positionsOf(m_s->t.db(), select), (QList<int>{100, 110}));
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_object"), true, 1);
        m_s->options.SetIntegerOption(QStringLiteral("rent_Debt_Customer"), true, 1);
    }

    void chooser_data()
    {
        QTest::addColumn<int>("customer");
        QTest::addColumn<int>("contract");  // -1: all contracts
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QString>("positions");
        QTest::newRow("priority 1") << 1 << -1 << "1" << "100,101,104,110";
        QTest::newRow("priority 2") << 1 << -1 << "2" << "100,101,102,104,105,110";
        QTest::newRow("one contract") << 1 << 11 << "10" << "110";
        QTest::newRow("not a number: 20") << 1 << 10 << "десять" << "100,101,102,103,104,105";
        QTest::newRow("no contract") << 1 << 0 << "10" << "";
        QTest::newRow("another customer") << 4 << -1 << "10" << "400";
    }
    void chooser()
    {
        QFETCH(int, customer);
        QFETCH(int, contract);
        QFETCH(QString, priority);
        QFETCH(QString, positions);
        const TxSqlFilter select = TboRentDebtFilter::chooserStatement(
            customer, contract < 0 ? std::nullopt : std::optional<int>(contract), QDate::currentDate(),
            TboRentDebtFilter::priorityLimit(priority));
        QCOMPARE(positionsOf(m_s->t.db(), select), keys(positions));
    }

    void figures()
    {
        QCOMPARE(TboRentDebtFilter::vatOf(100), 17.0);
        QCOMPARE(TboRentDebtFilter::vatOf(75), 12.0);
        QCOMPARE(TboRentDebtFilter::vatOf(-100), -17.0);
        QCOMPARE(TboRentDebtFilter::priorityLimit(QStringLiteral(" 7 ")), 7);
        QCOMPARE(TboRentDebtFilter::priorityLimit(QString()), 20);
        QCOMPARE(TboRentDebtFilter::fixedSum({0.1, 0.2}), 0.3);
        QCOMPARE(TboRentDebtFilter::fixedSum({100.00004, 0.00004}), 100.0);
    }

    // The history of a position, a customer and a service of the customer,
    // within the period or unlimited.
    void history()
    {
        m_s.reset();  // one session at a time
        m_s = std::make_unique<DebtSession>();
        DebtSession &s = *m_s;
        const QDate d1 = QDate::currentDate().addDays(-20);
        const QDate d2 = QDate::currentDate().addDays(-10);
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, customerkey, "
                                                  "contractkey) VALUES (1, '1', ?, 1, 10)"),
                         {d1});
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, "
                                                  "costncu, costcurr) VALUES (1, 100, 60, 0)"));
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, "
                                                  "costncu, costcurr) VALUES (1, 102, 40, 0)"));
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO rent_paybill (id, number, paybilldate, customerkey) "
                                                  "VALUES (1, '1', ?, 1)"),
                         {d2});
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO rent_paybillrelat (paybillkey, contractservicekey, "
                                                  "costncu, costcurr) VALUES (1, 100, 25, 0)"));
        TxQuery::execute(s.t.db(), QStringLiteral("EXECUTE PROCEDURE rent_p_addinvoicedebt(1)"));
        TxQuery::execute(s.t.db(), QStringLiteral("EXECUTE PROCEDURE rent_p_deletepaybilldebt(1)"));

        TboRentDebtFilter bo(s.context);
        auto rows = [&](TboRentDebtFilter::History kind, int service) {
            const TxSqlFilter select = bo.historyStatement(kind, 100, 1, service);
            TxQuery q(s.t.db());
            q.exec(select.text() + QStringLiteral(" ORDER BY ") + TboRentDebtFilter::historyOrder(), select.values());
            QStringList result;
            while (q.next())
                result << QStringLiteral("%1:%2:%3:%4")
                              .arg(q.value(QStringLiteral("startdebtcostncu")).toDouble())
                              .arg(q.value(QStringLiteral("ccostncu")).toDouble())
                              .arg(q.value(QStringLiteral("dcostncu")).toDouble())
                              .arg(q.value(QStringLiteral("enddebtcostncu")).toDouble());
            return result.join(QLatin1Char(' '));
        };
        using H = TboRentDebtFilter::History;
        QCOMPARE(rows(H::ContractService, 0), QStringLiteral("0:60:0:60 60:0:25:35"));
        QCOMPARE(rows(H::Customer, 0), QStringLiteral("0:100:0:100 100:0:25:75"));
        QCOMPARE(rows(H::Service, 3), QStringLiteral("0:40:0:40"));
        TDebtFilter f = bo.filter();
        f.historyUnlimited = false;
        f.historyStart = d2;
        f.historyEnd = d2;
        bo.setFilter(f);
        QCOMPARE(rows(H::ContractService, 0), QStringLiteral("60:0:25:35"));
        f.allPayments = false;
        f.paymentKey = 2;  // contract 10 pays by form 1
        f.historyUnlimited = true;
        bo.setFilter(f);
        QCOMPARE(rows(H::Service, 1), QString());
    }
};

#include "tst_debtfilter.moc"

KORVEX_TEST_CLASS(DebtFilterTest)
