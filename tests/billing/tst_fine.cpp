#include "common/testDatabase.h"
#include "common/testMain.h"
#include "historyFixture.h"

#include "calc/xCalc.h"
#include "debt/boRentDebt.h"

#include <QTest>

using korvex::billing::TboRentDebt;
using korvex::test::TestDatabase;

// The penalty on an overdue debt over the booked history of the fixture.
class FineTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        historyFixture(m_t->db());
    }
    void cleanupTestCase() { m_t.reset(); }

    // Rate 0.01 a day. Customer 1 owes 1000 (form 1) + 500 (form 2) of
    // Аренда before February; pays 400 on 02-05 and 500 (form 2) on 02-10;
    // is charged 300 on 02-20.
    void computeFine_data()
    {
        QTest::addColumn<int>("service");
        QTest::addColumn<int>("customer");
        QTest::addColumn<int>("payment");  // 0: all payment forms
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<double>("fine");
        const QDate feb1(2026, 2, 1), feb28(2026, 2, 28);
        // 4 x 1500 + 5 x 1100 + 10 x 600 + 9 x 900 debt-days
        QTest::newRow("payments and charges inside") << 1 << 1 << 0 << feb1 << feb28 << 256.0;
        // 5 x 1100 + 10 x 600 + 9 x 900: the first interval has length 0
        QTest::newRow("a row on the start date") << 1 << 1 << 0 << QDate(2026, 2, 5) << feb28 << 196.0;
        // the last stretch runs to the end date included: 6 x 600
        QTest::newRow("end before the last rows") << 1 << 1 << 0 << feb1 << QDate(2026, 2, 15) << 151.0;
        // only form 1 from its own opening 1000: 4 x 1000 + 15 x 600 + 9 x 900
        QTest::newRow("one payment form") << 1 << 1 << 1 << feb1 << feb28 << 211.0;
        // form 2: 500 until paid on 02-10
        QTest::newRow("the other payment form") << 1 << 1 << 2 << feb1 << feb28 << 45.0;
        // Свет: charged 999 on 02-10, owed for 19 days
        QTest::newRow("a charge inside, no opening debt") << 2 << 1 << 0 << feb1 << feb28 << 189.81;
        QTest::newRow("never a positive debt") << 1 << 2 << 0 << feb1 << feb28 << 0.0;
        QTest::newRow("before any debt") << 1 << 1 << 0 << QDate(2025, 12, 1) << QDate(2025, 12, 31) << 0.0;
        QTest::newRow("no documents") << 1 << 3 << 0 << feb1 << feb28 << 0.0;
        QTest::newRow("empty period") << 1 << 1 << 0 << feb28 << feb1 << 0.0;
    }
    void computeFine()
    {
        QFETCH(int, service);
        QFETCH(int, customer);
        QFETCH(int, payment);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(double, fine);
        TboRentDebt debt(m_t->db());
        const double got = debt.ComputeFine(service, customer, payment, payment == 0, to, from, 0.01);
        QVERIFY2(std::abs(got - fine) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
    }

    // A negative change that is neither charge nor payment lowers the
    // running debt; a positive one does not raise it.
    void adjustments()
    {
        using M = TboRentDebt::Movement;
        const QDate from(2026, 3, 1), to(2026, 3, 10);
        // 100 owed; on 03-03 the balance drops by 40 with no payment (which
        // counts from the previous date on), on 03-06 it rises by 70 with no
        // charge: 2 x 60 + 3 x 60 + 5 x 60
        const QList<M> history = {{QDate(2026, 3, 3), 100, 60, 0, 0}, {QDate(2026, 3, 6), 60, 130, 0, 0}};
        QCOMPARE(TboRentDebt::fineOverHistory(100, history, from, to, 1), 600.0);
        // A debt paid to the kopeck leaves no debt of 1e-17 behind to fine.
        const QList<M> paid = {{QDate(2026, 3, 2), 0.3, 0, 0, 0.3}};
        QCOMPARE(korvex::calc::shortestDecimalText(TboRentDebt::fineOverHistory(0.1 + 0.2, paid, QDate(2026, 3, 2), to, 1)),
                 QStringLiteral("0"));
    }

    // The command line prints exactly what ComputeFine gives, unrounded.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("payment");  // -1: the command must fail
        QTest::newRow("all forms") << QStringList{"1", "1", "--from", "2026-02-01", "--to", "2026-02-28", "--rate", "0.001"}
                                   << 0;
        QTest::newRow("one form, decimal comma")
            << QStringList{"1", "1", "--from", "2026-02-01", "--to", "2026-02-28", "--rate", "0,003", "--payment", "1"} << 1;
        QTest::newRow("no positive debt") << QStringList{"1", "2", "--from", "2026-02-01", "--to", "2026-02-28", "--rate", "1"}
                                          << 0;
        QTest::newRow("rate missing") << QStringList{"1", "1", "--from", "2026-02-01", "--to", "2026-02-28"} << -1;
        QTest::newRow("bad rate") << QStringList{"1", "1", "--from", "2026-02-01", "--to", "2026-02-28", "--rate", "x"}
                                  << -1;
        QTest::newRow("to before from")
            << QStringList{"1", "1", "--from", "2026-02-28", "--to", "2026-02-01", "--rate", "1"} << -1;
        QTest::newRow("bad date") << QStringList{"1", "1", "--from", "2026-02-30", "--to", "2026-03-01", "--rate", "1"}
                                  << -1;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, payment);
        QString expected;
        if (payment >= 0) {
            const int from = args.indexOf("--from") + 1, to = args.indexOf("--to") + 1, rate = args.indexOf("--rate") + 1;
            TboRentDebt debt(m_t->db());
            expected = korvex::calc::shortestDecimalText(
                           debt.ComputeFine(args[0].toInt(), args[1].toInt(), payment, payment == 0,
                                            QDate::fromString(args[to], Qt::ISODate),
                                            QDate::fromString(args[from], Qt::ISODate),
                                            QString(args[rate]).replace(',', '.').toDouble()))
                       + "\n";
        }
        const korvex::test::ProgramRun run = runCli(*m_t, QStringList{QStringLiteral("fine")} + args);
        if (payment < 0) {
            QCOMPARE(run.code, 1);
            QVERIFY(!run.err.trimmed().isEmpty());
            return;
        }
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, expected);
        QVERIFY(expected != "0\n" || args[1] == "2");
    }
};

#include "tst_fine.moc"

KORVEX_TEST_CLASS(FineTest)
