#include "common/testDatabase.h"
#include "common/testMain.h"

#include "debt/boRentDebt.h"
#include "db/xQuery.h"

#include <QProcess>
#include <QTest>

using namespace korvex::db;
using korvex::billing::TboRentDebt;
using korvex::test::TestDatabase;

// Two customers; customer 1 has contract 10 with positions 100 (service 1)
// and 101 (service 2) and contract 11 with position 110 (service 1);
// customer 2 has no contract.
static void debtFixture(TxDatabase &db)
{
    const QStringList statements = {
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (1, 'ООО Тест', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (2, 'ИП Без договоров', 4)",
        "INSERT INTO rent_service (id, name, priority) VALUES (1, 'Аренда', 10)",
        "INSERT INTO rent_service (id, name, priority) VALUES (2, 'Электроэнергия', 20)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (10, 1, 1, '10')",
        "INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (11, 1, 1, '11')",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (100, 10, 1)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (101, 10, 2)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (110, 11, 1)",
        "INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (1, 100, '2026-03-01', 100, 40)",
        "INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (2, 100, '2026-03-05', 150, 60)",
        "INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (3, 100, '2026-04-01', -20, -8)",
        "INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (4, 101, '2026-03-02', 30.5, 12.2)",
        "INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (5, 110, '2026-02-01', 7, 0)",
    };
    for (const QString &s : statements)
        TxQuery::execute(db, s);
}

class DebtLookupTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        debtFixture(m_t->db());
    }
    void cleanupTestCase() { m_t.reset(); }

    // The latest row on or before the date counts; a later row is ignored.
    void contractService_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("ncu");
        QTest::addColumn<double>("curr");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QDate>("debtDate");
        QTest::newRow("before any row") << 100 << QDate(2026, 2, 28) << 0.0 << 0.0 << false << QDate();
        QTest::newRow("on the first date") << 100 << QDate(2026, 3, 1) << 100.0 << 40.0 << true << QDate(2026, 3, 1);
        QTest::newRow("between rows") << 100 << QDate(2026, 3, 31) << 150.0 << 60.0 << true << QDate(2026, 3, 5);
        QTest::newRow("overpaid") << 100 << QDate(2026, 5, 1) << -20.0 << -8.0 << true << QDate(2026, 4, 1);
        QTest::newRow("unknown position") << 999 << QDate(2026, 5, 1) << 0.0 << 0.0 << false << QDate();
    }
    void contractService()
    {
        QFETCH(int, key);
        QFETCH(QDate, date);
        QFETCH(double, ncu);
        QFETCH(double, curr);
        QFETCH(bool, found);
        QFETCH(QDate, debtDate);
        TboRentDebt debt(m_t->db());
        debt.DebtOfContractService(100, QDate(2026, 3, 5));  // a previous answer must not leak
        debt.DebtOfContractService(key, date);
        QCOMPARE(debt.ncu(), ncu);
        QCOMPARE(debt.curr(), curr);
        QCOMPARE(debt.found(), found);
        if (found)
            QCOMPARE(debt.lastDebtDate(), debtDate);
    }

    void sums_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("key");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("ncu");
        QTest::addColumn<double>("curr");
        QTest::newRow("contract") << "contract" << 10 << QDate(2026, 3, 31) << 180.5 << 72.2;
        QTest::newRow("contract, later rows ignored") << "contract" << 10 << QDate(2026, 3, 3) << 130.5 << 52.2;
        QTest::newRow("contract without rows yet") << "contract" << 11 << QDate(2026, 1, 1) << 0.0 << 0.0;
        QTest::newRow("customer over two contracts") << "customer" << 1 << QDate(2026, 3, 31) << 187.5 << 72.2;
        QTest::newRow("customer without contracts") << "customer" << 2 << QDate(2026, 3, 31) << 0.0 << 0.0;
        QTest::newRow("customer's service") << "service1" << 1 << QDate(2026, 3, 31) << 157.0 << 60.0;
        QTest::newRow("customer's other service") << "service2" << 1 << QDate(2026, 3, 31) << 30.5 << 12.2;
    }
    void sums()
    {
        QFETCH(QString, kind);
        QFETCH(int, key);
        QFETCH(QDate, date);
        QFETCH(double, ncu);
        QFETCH(double, curr);
        TboRentDebt debt(m_t->db());
        if (kind == QLatin1String("contract"))
            debt.DebtOfContract(key, date);
        else if (kind == QLatin1String("customer"))
            debt.DebtOfCustomer(key, date);
        else
            debt.DebtOfCustomerService(kind == QLatin1String("service1") ? 1 : 2, key, date);
        QCOMPARE(debt.ncu(), ncu);
        QCOMPARE(debt.curr(), curr);
        QVERIFY(debt.found());  // a sum always returns its row
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("code");
        QTest::newRow("position") << QStringList{"contractservice", "100", "--date", "2026-03-31"} << "150 60 found\n" << 0;
        QTest::newRow("no row") << QStringList{"contractservice", "100", "--date", "2026-01-01"} << "0 0 none\n" << 0;
        QTest::newRow("contract") << QStringList{"contract", "10", "--date", "2026-03-31"} << "180.5 72.2 found\n" << 0;
        QTest::newRow("customer") << QStringList{"customer", "2", "--date", "2026-03-31"} << "0 0 found\n" << 0;
        QTest::newRow("bad kind") << QStringList{"invoice", "1"} << "" << 1;
        QTest::newRow("bad date") << QStringList{"contract", "10", "--date", "31.03.2026"} << "" << 1;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(int, code);
        QProcess p;
        const QString db = m_t->path();
        m_t->db().close();  // the embedded engine allows one process per file
        p.start(QStringLiteral(KORVEX_CLI_PATH), QStringList{QStringLiteral("debt")} + args + QStringList{db});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), code);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        if (code != 0)
            QVERIFY(!err.trimmed().isEmpty());
        TxConnectionParams params;
        params.setServerName(db);
        m_t->db().open(params, QStringLiteral("SYSDBA"), QString());
    }
};

#include "tst_debt.moc"

KORVEX_TEST_CLASS(DebtLookupTest)
