#include "payBillFixture.h"

#include "common/testMain.h"
#include "common/testPrompt.h"

#include "billing/boRentPayBill.h"
#include "billing/payBillDialogs.h"
#include "accounting/boRentOperation.h"
#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "shell/DocumentCounter.h"
#include "widgets/xProgress.h"

#include <QProcess>
#include <QTest>
#include <cmath>

using namespace korvex::billing;
using korvex::db::TxQuery;

namespace {

class FakePayBillDialogs : public TPayBillDialogs
{
public:
    korvex::widgets::TxPrompt &prompt() override { return recorder; }
    korvex::test::TxPromptRecorder recorder;
};

// "cs:ncu[:curr]" separated by blanks.
QList<TPayBillLine> parseLines(const QString &text)
{
    QList<TPayBillLine> result;
    for (const QString &item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = item.split(QLatin1Char(':'));
        TPayBillLine line;
        line.contractServiceKey = f.at(0).toInt();
        line.ncu = f.at(1).toDouble();
        line.curr = f.size() > 2 ? f.at(2).toDouble() : 0.0;
        result << line;
    }
    return result;
}

QString showLines(const QList<TPayBillLine> &lines)
{
    QStringList parts;
    for (const TPayBillLine &l : lines)
        parts << QStringLiteral("%1:%2:%3").arg(l.contractServiceKey).arg(l.ncu, 0, 'f', 2).arg(l.curr, 0, 'f', 2);
    return parts.join(QLatin1Char(' '));
}

int scalarInt(korvex::db::TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return TxQuery::scalar(db, sql, values).toInt();
}

double debtOf(korvex::db::TxDatabase &db, int contractServiceKey)
{
    TboRentDebt debt(db);
    debt.DebtOfContractService(contractServiceKey);
    return debt.ncu();
}

int counter(korvex::db::TxDatabase &db)
{
    return scalarInt(db, QStringLiteral("SELECT CAST(optionsvalue AS INTEGER) FROM fin_options WHERE userkey IS NULL "
                                        "AND name = 'PAYBILLNUMBER'"));
}

void resetCounter(korvex::db::TxDatabase &db, int next)
{
    TxQuery::execute(db, QStringLiteral("DELETE FROM fin_options WHERE name = 'PAYBILLNUMBER'"));
    korvex::shell::TxDocumentCounter::advancePast(db, QStringLiteral("PayBillnumber"), QString::number(next - 1));
}

// A trigger that makes the next write of the kind fail, as a server error
// in the middle of a save would.
void failWhen(korvex::db::TxDatabase &db, const QString &table, const QString &condition)
{
    TxQuery::execute(db, QStringLiteral("CREATE OR ALTER EXCEPTION test_e_fail 'сбой'"));
    TxQuery::execute(db, QStringLiteral("CREATE OR ALTER TRIGGER test_fail FOR %1 ACTIVE BEFORE INSERT POSITION 9 AS "
                                        "BEGIN IF (%2) THEN EXCEPTION test_e_fail; END")
                             .arg(table, condition));
}

} // namespace

// The save rules of a pay bill, in their order, and the counter.
class PayBillSaveTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<PayBillSession> m_s;

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<PayBillSession>(); }
    void cleanupTestCase() { m_s.reset(); }

    void rules_data()
    {
        QTest::addColumn<int>("customer");
        QTest::addColumn<int>("payment");
        QTest::addColumn<bool>("dated");
        QTest::addColumn<double>("sum");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("counterAfter");

        QTest::newRow("no customer, checked first") << 0 << 0 << false << 1.0 << "100:5" << "7" << "Выберите клиента!" << 5;
        QTest::newRow("no payment form, before the date") << 1 << 0 << false << 5.0 << "100:5" << "7"
                                                          << "Выберите форму оплаты" << 5;
        QTest::newRow("no date") << 1 << 1 << false << 5.0 << "100:5" << "7" << "Введиете дату" << 5;
        QTest::newRow("999.5 against 1000") << 1 << 1 << true << 1000.0 << "100:99.5 102:900" << "7"
                                            << "Общая сумма не соответствует сумме позиций" << 5;
        QTest::newRow("a kopeck short") << 1 << 1 << true << 10.0 << "100:9.99" << "7"
                                        << "Общая сумма не соответствует сумме позиций" << 5;
        QTest::newRow("999.999999 is 1000") << 1 << 1 << true << 1000.0 << "100:99.999999 102:900" << "7" << "" << 8;
        QTest::newRow("tenths that add up in kopecks") << 1 << 1 << true << 0.3 << "100:0.1 102:0.2" << "12" << ""
                                                       << 13;
        QTest::newRow("an old number leaves the counter") << 1 << 1 << true << 1.0 << "100:1" << "3" << "" << 5;
        QTest::newRow("a number that is no integer") << 1 << 1 << true << 1.0 << "100:1" << "П-9" << "" << 5;
    }
    void rules()
    {
        QFETCH(int, customer);
        QFETCH(int, payment);
        QFETCH(bool, dated);
        QFETCH(double, sum);
        QFETCH(QString, lines);
        QFETCH(QString, number);
        QFETCH(QString, refusal);
        QFETCH(int, counterAfter);

        korvex::db::TxDatabase &db = m_s->t.db();
        resetCounter(db, 5);
        TboRentPayBill bo(m_s->context);
        TPayBillEdit edit = bo.newPayBill();
        QCOMPARE(edit.bill.number, QStringLiteral("5"));
        edit.bill.customerKey = customer ? std::optional<int>(customer) : std::nullopt;
        edit.bill.paymentKey = payment ? std::optional<int>(payment) : std::nullopt;
        if (!dated)
            edit.bill.payBillDate = QDate();
        edit.bill.sumNcu = sum;
        edit.bill.number = number;
        edit.lines = parseLines(lines);
        const QStringList debtsBefore = debtRows(db);
        const int billsBefore = scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill"));

        const std::optional<TPayBillProblem> problem = TboRentPayBill::checkPayBill(edit);
        QCOMPARE(problem ? problem->message : QString(), refusal);
        if (refusal.isEmpty()) {
            const int key = bo.writePayBill(edit);
            QVERIFY(key > 0);
            QCOMPARE(edit.bill.id, key);
            QVERIFY(debtsAsRebuilt(db));
        } else {
            QVERIFY_THROWS_EXCEPTION(korvex::db::EBusinessError, bo.writePayBill(edit));
            QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), billsBefore);
            QCOMPARE(debtRows(db), debtsBefore);
        }
        QVERIFY(!db.inTransaction());
        QCOMPARE(counter(db), counterAfter);
    }
};

// A pay bill and its settlement are written, changed and removed as one;
// the debts are always those a full rebuild gives.
class PayBillDebtTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveEditDelete()
    {
        PayBillSession s;
        korvex::db::TxDatabase &db = s.t.db();
        FakePayBillDialogs port;
        TboRentPayBill bo(s.context, &port);

        TPayBillEdit edit = bo.newPayBill();
        edit.bill.customerKey = 1;
        edit.bill.paymentKey = 1;
        edit.lines = bo.debtLines(edit, {100, 102});
        QCOMPARE(showLines(edit.lines), QStringLiteral("100:100.00:0.00 102:200.00:0.00"));
        edit.lines[0].ncu = 60;
        edit.lines[1].ncu = 40;
        edit.bill.sumNcu = 100;
        const int key = bo.writePayBill(edit);
        QVERIFY(debtsAsRebuilt(db));
        QCOMPARE(debtOf(db, 100), 40.0);
        QCOMPARE(debtOf(db, 102), 160.0);

        // While edited, the pay bill's own settlement does not count: its
        // lines see the debts as they were before it, and nothing changes.
        std::optional<TPayBillEdit> stored = bo.readPayBill(key);
        QVERIFY(stored);
        QCOMPARE(showLines(bo.debtLines(*stored, {100})), QStringLiteral("100:100.00:0.00"));
        QList<TPayBillLine> split;
        QVERIFY(bo.allocate(key, 1, -1, 3, 150, split));
        QCOMPARE(showLines(split), QStringLiteral("100:100.00:0.00 101:50.00:16.67"));
        QCOMPARE(debtOf(db, 100), 40.0);
        QVERIFY(!db.inTransaction());

        stored->lines[0].ncu = 30;
        stored->lines << parseLines(QStringLiteral("103:10"));
        stored->bill.sumNcu = 80;
        QCOMPARE(bo.writePayBill(*stored), key);
        QVERIFY(debtsAsRebuilt(db));
        QCOMPARE(debtOf(db, 100), 70.0);
        QCOMPARE(debtOf(db, 103), 10.0);

        // A failure while the debts are settled leaves the pay bill and the
        // debts as they were.
        const QStringList debtsBefore = debtRows(db);
        failWhen(db, QStringLiteral("rent_debtmove"), QStringLiteral("NEW.costncu = -13"));
        TPayBillEdit failing = *bo.readPayBill(key);
        failing.lines[0].ncu = 13;
        failing.bill.sumNcu = 63;
        QVERIFY_THROWS_EXCEPTION(korvex::db::EDatabaseError, bo.writePayBill(failing));
        QCOMPARE(showLines(bo.readPayBill(key)->lines), showLines(stored->lines));
        QCOMPARE(bo.readPayBill(key)->bill.sumNcu, 80.0);
        QCOMPARE(debtRows(db), debtsBefore);
        TPayBillEdit failingNew = bo.newPayBill();
        failingNew.bill.customerKey = 1;
        failingNew.bill.paymentKey = 1;
        failingNew.lines = parseLines(QStringLiteral("102:13"));
        failingNew.bill.sumNcu = 13;
        QVERIFY_THROWS_EXCEPTION(korvex::db::EDatabaseError, bo.writePayBill(failingNew));
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 1);
        QVERIFY(!db.inTransaction());

        port.recorder.answer = false;
        QVERIFY(!bo.DeletePayBills(key, {}));
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 1);
        port.recorder.answer = true;
        QVERIFY(bo.DeletePayBills(key, {}));
        QCOMPARE(port.recorder.messages.last().text, QStringLiteral("Удалить платеж?"));
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 0);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybillrelat")), 0);
        QVERIFY(debtsAsRebuilt(db));
        QCOMPARE(debtOf(db, 100), 100.0);
        QCOMPARE(debtOf(db, 103), 20.0);
    }

    // Without a rate a currency debt would be written off for no money.
    void rateZeroRefused()
    {
        PayBillSession s;
        TboRentPayBill bo(s.context);
        QList<TPayBillLine> split;
        QString reason;
        QVERIFY(!bo.allocate(0, 1, -1, 0, 150, split, &reason));
        QVERIFY(split.isEmpty());
        QVERIFY2(reason.contains(QStringLiteral("Валюта")), qPrintable(reason));
        // Within the NCU debts the rate does not matter.
        QVERIFY(bo.allocate(0, 1, -1, 0, 60, split, &reason));
        QCOMPARE(showLines(split), QStringLiteral("100:60.00:0.00"));
    }
};

// Pay bills made from the bookkeeping system's payment operations.
class PayBillImportTest : public QObject
{
    Q_OBJECT

    static TPayBillImport params(TboRentPayBill &bo)
    {
        TPayBillImport p = bo.importDefaults();
        p.currKey = 2;
        p.paymentKey = 2;
        return p;
    }

    static int operationsOf(korvex::db::TxDatabase &db, int payBillKey)
    {
        return scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM fin_opdocvalue d JOIN rent_paybillrelat r ON "
                                            "r.id = d.documentkey WHERE d.optype = 1850 AND r.paybillkey = ?"),
                         {payBillKey});
    }

private Q_SLOTS:
    void madeReplacedNotMade()
    {
        PayBillSession s;
        korvex::db::TxDatabase &db = s.t.db();
        resetCounter(db, 41);
        TboRentPayBill bo(s.context);
        const TPayBillImport p = params(bo);
        const QDate opDate = QDate::currentDate().addDays(-1);

        int key = 0;
        QCOMPARE(bo.PayBillFromOperation(901, p, &key), int(Made));
        std::optional<TPayBillEdit> made = bo.readPayBill(key);
        QVERIFY(made);
        QCOMPARE(showLines(made->lines), QStringLiteral("100:100.00:0.00 101:50.00:16.67"));
        QCOMPARE(made->bill.sumNcu, 150.0);
        QCOMPARE(made->bill.payBillDate, opDate);
        QCOMPARE(made->bill.operationDate, opDate);
        QCOMPARE(made->bill.paymentKey, std::optional<int>(1));  // the contract's form
        QCOMPARE(made->bill.currKey, std::optional<int>(2));
        QCOMPARE(made->bill.number, QStringLiteral("41"));
        QCOMPARE(debtOf(db, 100), 0.0);
        QVERIFY(debtsAsRebuilt(db));

        // One service (with its main one); the default form when not taken
        // from the contract; another operation date; the next number.
        TPayBillImport own = p;
        own.paymentFromContract = false;
        own.sameDate = false;
        own.operationDate = QDate(2026, 1, 15);
        int key2 = 0;
        QCOMPARE(bo.PayBillFromOperation(902, own, &key2), int(Made));
        made = bo.readPayBill(key2);
        QCOMPARE(showLines(made->lines), QStringLiteral("102:70.00:0.00"));
        QCOMPARE(made->bill.paymentKey, std::optional<int>(2));
        QCOMPARE(made->bill.operationDate, QDate(2026, 1, 15));
        QCOMPARE(made->bill.number, QStringLiteral("42"));
        QCOMPARE(counter(db), 43);

        // Nothing made: no customer analytics, no such operation.
        int none = 0;
        QString reason;
        QCOMPARE(bo.PayBillFromOperation(903, p, &none, &reason), int(NotMade));
        QCOMPARE(none, -1);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(bo.PayBillFromOperation(99, p, &none), int(NotMade));

        // Imported again: replaced under a new key, its operations gone
        // with it, the debt settled once.
        bo.PostPayBills({key});
        QCOMPARE(operationsOf(db, key), 1);  // service 2 posts nothing
        const QStringList debtsBefore = debtRows(db);
        int again = 0;
        QCOMPARE(bo.PayBillFromOperation(901, p, &again), int(Replaced));
        QVERIFY(again != key);
        QVERIFY(!bo.readPayBill(key));
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill WHERE operationkey = 901")), 1);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1850")), 0);
        QCOMPARE(debtRows(db), debtsBefore);
        QVERIFY(debtsAsRebuilt(db));
        QVERIFY(!db.inTransaction());

        // The whole loop counts; -1 (an operation the server refused) is not made.
        const TPayBillImportCounts counts = bo.payBillsFromOperations({901, 904, 903, -1}, p);
        QCOMPARE(counts.made, 1);
        QCOMPARE(counts.replaced, 1);
        QCOMPARE(counts.notMade, 2);
        QCOMPARE(TboRentPayBill::importReport(counts),
                 QStringLiteral("Количество сформированных платежей: 1\n\rКоличество измененных платежей: 1\n\r"
                                "Количество несформированных платежей: 2"));
    }

    // A replacement that fails leaves the earlier pay bill, its settlement
    // and its operations as they were.
    void failedReplacementKeepsTheOld()
    {
        PayBillSession s;
        korvex::db::TxDatabase &db = s.t.db();
        TboRentPayBill bo(s.context);
        const TPayBillImport p = params(bo);
        int key = 0;
        QCOMPARE(bo.PayBillFromOperation(901, p, &key), int(Made));
        bo.PostPayBills({key});
        const QString lines = showLines(bo.readPayBill(key)->lines);
        const QStringList debts = debtRows(db);

        failWhen(db, QStringLiteral("rent_paybill"), QStringLiteral("NEW.operationkey = 901"));
        int again = 0;
        QVERIFY_THROWS_EXCEPTION(korvex::db::EDatabaseError, bo.PayBillFromOperation(901, p, &again));
        QVERIFY(bo.readPayBill(key));
        QCOMPARE(showLines(bo.readPayBill(key)->lines), lines);
        QCOMPARE(operationsOf(db, key), 1);  // service 2 posts nothing
        QCOMPARE(debtRows(db), debts);
        QVERIFY(!db.inTransaction());

        // Nor does an allocation that fails (the customer has become one
        // with no position): the payment stays where it was.
        TxQuery::execute(db, QStringLiteral("UPDATE fin_opanalyzeval SET analyzevalue = 3 WHERE operationkey = 901 "
                                            "AND analyzekey = 10"));
        QString reason;
        QCOMPARE(bo.PayBillFromOperation(901, p, &again, &reason), int(NotMade));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(showLines(bo.readPayBill(key)->lines), lines);
        QCOMPARE(debtRows(db), debts);
    }

    // A stop ends the loop at the next operation; "Аттрибуты платежей"
    // sets the operation date, form and currency of the pay bills given.
    void stopAndAttributes()
    {
        PayBillSession s;
        korvex::db::TxDatabase &db = s.t.db();
        TboRentPayBill bo(s.context);
        class StopAfterOne : public korvex::widgets::TxProgress
        {
        public:
            void begin(const QString &, qint64) override {}
            void setText(const QString &) override {}
            void setPosition(qint64 done) override { stopped = done >= 1; }
            bool wasStopped() const override { return stopped; }
            void end() override {}
            bool stopped = false;
        } progress;
        const TPayBillImportCounts counts = bo.payBillsFromOperations({901, 902, 904}, params(bo), &progress);
        QCOMPARE(counts.made + counts.replaced + counts.notMade, 1);
        QCOMPARE(scalarInt(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 1);

        const int key = scalarInt(db, QStringLiteral("SELECT id FROM rent_paybill"));
        TPayBillImport attributes = params(bo);
        attributes.sameDate = false;
        attributes.operationDate = QDate(2026, 5, 4);
        attributes.paymentKey = 2;
        attributes.currKey = 1;
        bo.setAttributes({key}, attributes);
        const TPayBillRecord b = bo.readPayBill(key)->bill;
        QCOMPARE(b.operationDate, QDate(2026, 5, 4));
        QCOMPARE(b.paymentKey, std::optional<int>(2));
        QCOMPARE(b.currKey, std::optional<int>(1));
        attributes.sameDate = true;
        bo.setAttributes({key}, attributes);
        QCOMPARE(bo.readPayBill(key)->bill.operationDate, b.payBillDate);
    }

    void rateZeroNotMade()
    {
        PayBillSession s;
        TboRentPayBill bo(s.context);
        TPayBillImport p = params(bo);
        p.currKey = 0;  // no currency: no rate
        int key = 0;
        QString reason;
        QCOMPARE(bo.PayBillFromOperation(901, p, &key, &reason), int(NotMade));
        QCOMPARE(key, -1);
        QCOMPARE(TxQuery::scalar(s.t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_paybill")).toInt(), 0);
    }
};


// "paybill from-operation" as scripts use it.
class PayBillCliTest : public QObject
{
    Q_OBJECT

    struct Run {
        int code = -1;
        QString out, err;
    };
    static Run cli(PayBillSession &s, const QStringList &args)
    {
        const QString db = s.t.path();
        s.t.db().close();  // the embedded engine allows one process per file
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI_PATH), QStringList{QStringLiteral("paybill")} + args + QStringList{db});
        Run r;
        if (p.waitForFinished(60000)) {
            r.code = p.exitCode();
            r.out = QString::fromUtf8(p.readAllStandardOutput());
            r.err = QString::fromUtf8(p.readAllStandardError());
        }
        korvex::db::TxConnectionParams params;
        params.setServerName(db);
        s.t.db().open(params, QStringLiteral("SYSDBA"), QString());
        return r;
    }

private Q_SLOTS:
    void fromOperation()
    {
        PayBillSession s;
        TxQuery::execute(s.t.db(), QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, "
                                                  "optionstype) VALUES (NULL, 230, 'RENTCURRKEY', '2', 'I')"));
        Run r = cli(s, {QStringLiteral("from-operation"), QStringLiteral("901"), QStringLiteral("903"),
                        QStringLiteral("--payment"), QStringLiteral("2"), QStringLiteral("--operation-date"),
                        QStringLiteral("2026-02-01")});
        QCOMPARE(r.code, 0);
        const int key = TxQuery::scalar(s.t.db(), QStringLiteral("SELECT id FROM rent_paybill WHERE operationkey = 901")).toInt();
        QCOMPARE(r.out, QStringLiteral("901 1 %1\n903 0 -1\n").arg(key));
        QCOMPARE(r.err.trimmed(), QStringLiteral("Made 1, replaced 0, not made 1."));
        TboRentPayBill bo(s.context);
        const std::optional<TPayBillEdit> made = bo.readPayBill(key);
        QCOMPARE(made->bill.paymentKey, std::optional<int>(2));
        QCOMPARE(made->bill.currKey, std::optional<int>(2));  // rentcurrkey
        QCOMPARE(made->bill.operationDate, QDate(2026, 2, 1));
        QCOMPARE(showLines(made->lines), QStringLiteral("100:100.00:0.00 101:50.00:16.67"));

        r = cli(s, {QStringLiteral("from-operation"), QStringLiteral("901"), QStringLiteral("--payment-from-contract")});
        QCOMPARE(r.code, 0);
        const int replaced = TxQuery::scalar(s.t.db(), QStringLiteral("SELECT id FROM rent_paybill WHERE operationkey = 901")).toInt();
        QVERIFY(replaced != key);
        QCOMPARE(r.out, QStringLiteral("901 2 %1\n").arg(replaced));
        QCOMPARE(r.err.trimmed(), QStringLiteral("Made 0, replaced 1, not made 0."));
        QCOMPARE(bo.readPayBill(replaced)->bill.paymentKey, std::optional<int>(1));
        QCOMPARE(bo.readPayBill(replaced)->bill.operationDate, bo.readPayBill(replaced)->bill.payBillDate);
        QVERIFY(debtsAsRebuilt(s.t.db()));

        r = cli(s, {QStringLiteral("from-operation"), QStringLiteral("x")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.isEmpty());
        r = cli(s, {QStringLiteral("from-operation"), QStringLiteral("901"), QStringLiteral("--type"), QStringLiteral("1700")});
        QCOMPARE(r.code, 1);
    }

    // On the demonstration database the payment the bookkeeping system
    // brought settles the customer's debts, as a full rebuild has them.
    void demoPayment()
    {
        korvex::test::TestDatabase t(korvex::test::TestDatabase::Content::Demo);
        const int op = TxQuery::scalar(t.db(), QStringLiteral("SELECT MAX(operationkey) FROM fin_operation WHERE type = 1700"))
                           .toInt();
        QVERIFY(op > 0);
        const QString path = t.path();
        t.db().close();
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI_PATH),
                {QStringLiteral("paybill"), QStringLiteral("from-operation"), QString::number(op), path});
        QVERIFY(p.waitForFinished(60000));
        korvex::db::TxConnectionParams params;
        params.setServerName(path);
        t.db().open(params, QStringLiteral("SYSDBA"), QString());
        QCOMPARE(p.exitCode(), 0);
        const int key = TxQuery::scalar(t.db(), QStringLiteral("SELECT id FROM rent_paybill WHERE operationkey = ?"), {op}).toInt();
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("%1 1 %2\n").arg(op).arg(key));
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT SUM(costncu) FROM rent_paybillrelat WHERE paybillkey = ?"), {key})
                     .toDouble(),
                 3000.0);
        QVERIFY(debtsAsRebuilt(t.db()));
    }
};

#include "tst_paybills.moc"

KORVEX_TEST_CLASS(PayBillSaveTest)
KORVEX_TEST_CLASS(PayBillDebtTest)
KORVEX_TEST_CLASS(PayBillImportTest)
KORVEX_TEST_CLASS(PayBillCliTest)
