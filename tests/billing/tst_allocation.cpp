#include "debtFixture.h"

#include "common/testMain.h"

#include "billing/boRentAllocation.h"

#include <QProcess>
#include <QTest>
#include <cmath>

using korvex::billing::TboRentAllocation;
using korvex::billing::TCSCost;

Q_DECLARE_METATYPE(QList<TCSCost>)

namespace {

// "key:ncu:curr[:r]" separated by blanks; r marks a line written off only
// by debt.
QList<TCSCost> lines(const QString &text)
{
    QList<TCSCost> result;
    for (const QString &item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = item.split(QLatin1Char(':'));
        result << TCSCost{f.at(0).toInt(), f.at(1).toDouble(), f.at(2).toDouble(), f.size() > 3 ? 1 : 0};
    }
    return result;
}

QString show(const QList<TCSCost> &list)
{
    QStringList parts;
    for (const TCSCost &c : list)
        parts << QStringLiteral("%1:%2:%3%4").arg(c.contractServiceKey).arg(c.ncu, 0, 'g', 12).arg(c.curr, 0, 'g', 12)
                     .arg(c.rejectDebt ? QStringLiteral(":r") : QString());
    return parts.join(QLatin1Char(' '));
}

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-6;
}

} // namespace

class AllocationTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<DebtSession>(); }
    void cleanupTestCase() { m_s.reset(); }

    void allocate_data()
    {
        QTest::addColumn<int>("customer");
        QTest::addColumn<int>("service");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("amount");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected");

        // Customer 1 owes, at rate 3: 100 + 300 (100 in currency) + 30 (a
        // closed contract) in priority 1, 200 in priority 2, 20 written off
        // only by debt in priority 3; zero and overpaid rows take no part.
        QTest::newRow("less than the first debt") << 1 << -1 << 3.0 << 50.0 << true << "100:50:0";
        QTest::newRow("rest in currency at the rate") << 1 << -1 << 3.0 << 120.0 << true << "100:100:0 101:20:6.666666667";
        QTest::newRow("closed contract paid in its priority")
            << 1 << -1 << 3.0 << 420.0 << true << "100:100:0 101:300:100 110:20:0";
        QTest::newRow("exactly the debts: the last by the rest rule")
            << 1 << -1 << 3.0 << 650.0 << true << "100:100:0 101:300:100 110:30:0 102:200:0 103:20:0:r";
        QTest::newRow("surplus spread over ordinary lines, remainder on the last")
            << 1 << -1 << 3.0 << 700.5 << true
            << "100:108:0 101:324:108.015873 110:32:0 102:216.5:0 103:20:0:r";
        // 0.7 + 0.1 falls short of 0.8 in binary: compared to the kopeck the
        // last debt takes the rest, instead of a phantom surplus rounding
        // 0.7 up to 1 and the other line to -0.2.
        QTest::newRow("debts that add up in kopecks only") << 9 << -1 << 0.0 << 0.8 << true << "800:0.7:0 801:0.1:0";
        // A service without priority counts as priority 0: its debt is paid,
        // not skipped.
        QTest::newRow("a service without priority") << 10 << -1 << 0.0 << 30.0 << true << "901:25:0 900:5:0";
        QTest::newRow("rate 0: a currency debt costs no NCU")
            << 1 << -1 << 0.0 << 120.0 << true << "100:100:0 101:0:100 110:20:0";
        QTest::newRow("rate 0 in the rest case: currency 0") << 1 << 2 << 0.0 << 0.0 << true << "101:0:0";
        QTest::newRow("a service with its main service") << 1 << 5 << 3.0 << 50.0 << true << "102:50:0";
        QTest::newRow("amount 0") << 1 << -1 << 3.0 << 0.0 << true << "100:0:0";

        // Customer 2 owes nothing (one position overpaid): the advance goes to
        // the open positions by their prices 100, 300 and 10 in currency (30
        // at rate 3); the written-off-only-by-debt one and the closed
        // contract get nothing.
        QTest::newRow("no positive debt: advance by prices") << 2 << -1 << 3.0 << 215.0 << true
                                                             << "200:50:0 201:150:0 203:15:5";
        QTest::newRow("advance remainder on the last line") << 2 << -1 << 3.0 << 250.3 << true
                                                            << "200:58:0 201:175:0 203:17.3:5.82093023";
        QTest::newRow("advance for one service") << 2 << 3 << 3.0 << 99.5 << true << "201:99.5:0";
        QTest::newRow("no open position of the service") << 2 << 5 << 3.0 << 10.0 << false << "";
        QTest::newRow("only a closed contract") << 3 << -1 << 3.0 << 100.0 << false << "";
        // Customer 4 owes 30 on a position written off only by debt: the rest
        // of an overpayment goes to the advance distribution.
        QTest::newRow("by-debt debts paid, the rest in advance")
            << 4 << -1 << 0.0 << 100.0 << true << "400:30:0:r 401:70:0";
        // Customer 5's positions price to 0: factor 1, the whole amount on the
        // last line.
        QTest::newRow("all prices 0: the amount on the last line") << 5 << -1 << 0.0 << 80.0 << true
                                                                   << "500:0:0 501:80:0";
        // A position that cannot be priced is left out; with none priced the
        // allocation fails.
        QTest::newRow("unpriced position left out") << 6 << -1 << 0.0 << 100.0 << true << "601:100:0";
        QTest::newRow("nothing prices") << 7 << -1 << 0.0 << 100.0 << false << "";
    }
    void allocate()
    {
        QFETCH(int, customer);
        QFETCH(int, service);
        QFETCH(double, rate);
        QFETCH(double, amount);
        QFETCH(bool, ok);
        QFETCH(QString, expected);

        TboRentAllocation allocation(m_s->context);
        QList<TCSCost> made = {TCSCost{999, 1, 1, 0}};  // stale content must go
        QCOMPARE(allocation.AllocatePayment(customer, service, made, rate, amount), ok);
        QVERIFY(!m_s->t.db().inTransaction());
        if (!ok) {
            QVERIFY(made.isEmpty());
            QVERIFY(!allocation.failureReason().isEmpty());
            return;
        }
        const QList<TCSCost> want = lines(expected);
        QCOMPARE(made.size(), want.size());
        double total = 0;
        for (int i = 0; i < want.size(); ++i) {
            const TCSCost &m = made.at(i);
            const TCSCost &w = want.at(i);
            if (m.contractServiceKey != w.contractServiceKey || !near(m.ncu, w.ncu) || !near(m.curr, w.curr)
                || m.rejectDebt != w.rejectDebt)
                QFAIL(qPrintable(QStringLiteral("got %1, expected %2").arg(show(made), expected)));
            total += m.ncu;
        }
        // The NCU lines always add up to the payment.
        QVERIFY2(std::abs(total - amount) < 1e-9, qPrintable(show(made)));
    }

    // The position that did not price is named with the reason.
    void unpricedNamed()
    {
        TboRentAllocation allocation(m_s->context);
        QList<TCSCost> made;
        QVERIFY(allocation.AllocatePayment(6, -1, made, 0, 100));
        QCOMPARE(allocation.unpriced().size(), 1);
        QCOMPARE(allocation.unpriced().first().contractServiceKey, 600);
        QVERIFY(!allocation.unpriced().first().reason.isEmpty());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("code");
        QTest::newRow("debts") << QStringList{"1", "120", "--rate", "3"} << "100 100 0\n101 20 6.666666666666667\n" << 0;
        QTest::newRow("defaults: all services, rate 0") << QStringList{"1", "120"} << "100 100 0\n101 0 100\n110 20 0\n"
                                                        << 0;
        QTest::newRow("decimal comma, one service") << QStringList{"2", "99,5", "--service", "3"} << "201 99.5 0\n" << 0;
        QTest::newRow("amount 0") << QStringList{"1", "0", "--service", "2"} << "101 0 0\n" << 0;
        QTest::newRow("fails") << QStringList{"3", "100"} << "" << 1;
        QTest::newRow("negative amount") << QStringList{"1", "-5"} << "" << 1;
        QTest::newRow("bad customer") << QStringList{"x", "5"} << "" << 1;
        QTest::newRow("bad rate") << QStringList{"1", "5", "--rate", "abc"} << "" << 1;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(int, code);
        const QString db = m_s->t.path();
        m_s->t.db().close();  // the embedded engine allows one process per file
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI_PATH), QStringList{QStringLiteral("allocate")} + args + QStringList{db});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        korvex::db::TxConnectionParams params;
        params.setServerName(db);
        m_s->t.db().open(params, QStringLiteral("SYSDBA"), QString());
        QCOMPARE(p.exitCode(), code);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        if (code != 0)
            QCOMPARE(err.trimmed().count(QLatin1Char('\n')), 0);  // one line
        if (code != 0)
            QVERIFY(!err.trimmed().isEmpty());
    }
};

#include "tst_allocation.moc"

KORVEX_TEST_CLASS(AllocationTest)
