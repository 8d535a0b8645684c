#include "debtBalances.h"
#include "debtFixture.h"

#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/testServer.h"

#include "billing/billingDialogs.h"
#include "billing/boRentContract.h"
#include "widgets/xProgress.h"
#include "db/xDbError.h"
#include "db/xQuery.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using korvex::billing::TboRentContract;
using korvex::billing::TInvoiceParams;
using korvex::billing::TInvoiceRun;
using korvex::billing::TMakeInvoiceResult;
using korvex::db::EDatabaseError;
using korvex::db::TxQuery;

namespace {

// The invoice's lines as "position:ncu/curr", in the order of the positions.
QString linesOf(korvex::db::TxDatabase &db, int invoiceKey)
{
    QStringList lines;
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT contractservicekey, costncu, costcurr FROM rent_invoiceservice WHERE invoicekey = ?"
                          " ORDER BY contractservicekey"),
           {invoiceKey});
    while (q.next())
        lines << QStringLiteral("%1:%2/%3").arg(q.value(0).toInt()).arg(q.value(1).toDouble()).arg(q.value(2).toDouble());
    return lines.join(QLatin1Char(' '));
}

// What the invoice booked as debt, in the same form.
QString bookedOf(korvex::db::TxDatabase &db, int invoiceKey)
{
    QStringList lines;
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT contractservicekey, costncu, costcurr FROM rent_debtmove WHERE invoicekey = ?"
                          " ORDER BY contractservicekey"),
           {invoiceKey});
    while (q.next())
        lines << QStringLiteral("%1:%2/%3").arg(q.value(0).toInt()).arg(q.value(1).toDouble()).arg(q.value(2).toDouble());
    return lines.join(QLatin1Char(' '));
}

int count(korvex::db::TxDatabase &db, const QString &table)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

// The stored counter, empty when absent.
QString counter(korvex::db::TxDatabase &db)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT optionsvalue FROM fin_options WHERE userkey IS NULL AND name = "
                                              "'INVOICENUMBER'"))
        .toString()
        .trimmed();
}

// The next number the counter gives (1 when absent).
int counterValue(korvex::db::TxDatabase &db)
{
    const QString stored = counter(db);
    return stored.isEmpty() ? 1 : stored.toInt();
}

// Statements on a table fail for position 201 (contract 20).
void refusePosition201(korvex::db::TxDatabase &db, const QString &table)
{
    TxQuery::execute(db, QStringLiteral("CREATE EXCEPTION e_test_refused 'refused'"));
    TxQuery::execute(db, QStringLiteral("CREATE TRIGGER t_test_refuse FOR %1 BEFORE INSERT OR UPDATE "
                                        "AS BEGIN IF (NEW.contractservicekey = 201) THEN EXCEPTION e_test_refused; END")
                             .arg(table));
}

// The port of the contracts page: the services and parameters asked, a
// progress window whose stop button is pressed after the first contract.
struct RunDialogs : korvex::billing::TBillingDialogs {
    korvex::test::TxPromptRecorder prompts{true};
    TInvoiceParams params;
    QList<int> services;
    int stopAfter = -1;
    int reports = 0;

    struct StoppingProgress : korvex::widgets::TxProgress {
        int stopAfter;
        qint64 done = 0;
        explicit StoppingProgress(int after) : stopAfter(after) {}
        void begin(const QString &, qint64) override {}
        void setText(const QString &) override {}
        void setPosition(qint64 position) override { done = position; }
        bool wasStopped() const override { return stopAfter >= 0 && done >= stopAfter; }
        void end() override {}
    };

    korvex::widgets::TxPrompt &prompt() override { return prompts; }
    bool chooseServices(korvex::shell::TAppContext &, QList<int> &keys) override
    {
        keys = services;
        return true;
    }
    bool makeInvoiceDialog(korvex::shell::TAppContext &, TInvoiceParams &p, bool) override
    {
        p = params;
        return true;
    }
    void invoiceRunReport(const TInvoiceRun &) override { ++reports; }
    std::unique_ptr<korvex::widgets::TxProgress> openProgress(const QString &) override
    {
        return std::make_unique<StoppingProgress>(stopAfter);
    }
};

} // namespace

// Invoices made for a contract: numbered from the counter, lines from the
// positions of the services asked priced by the engine, booked as debt; a
// failure leaves nothing of the invoice behind.
class MakeInvoiceTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;
    TInvoiceParams m_params;

    korvex::db::TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<DebtSession>();
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_invoicetype (id, name) VALUES (1, 'Аренда')"));
        m_params = {};
        m_params.currKey = 2;
        m_params.paymentKey = 1;
        m_params.invoiceTypeKey = 1;
        m_params.invoiceDate = m_params.expireDate = m_params.operationDate = QDate(2026, 12, 1);
        m_params.rate = 3;
        m_params.information = QStringLiteral("Декабрь");
    }
    void cleanup() { m_s.reset(); }

    void makeInvoice_data()
    {
        QTest::addColumn<int>("contract");
        QTest::addColumn<QList<int>>("services");
        QTest::addColumn<QString>("counterBefore");  // empty: absent
        QTest::addColumn<bool>("made");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QList<int>>("unpriced");
        QTest::addColumn<QString>("counterAfter");

        QTest::newRow("priced positions, first number") << 20 << QList<int>{1, 3, 4} << "" << true << "1"
                                                        << "200:100/0 201:300/0 202:40/0" << QList<int>{} << "2";
        QTest::newRow("currency position at the rate") << 20 << QList<int>{2} << "41" << true << "41" << "203:30/10"
                                                       << QList<int>{} << "42";
        QTest::newRow("no matching position: counter still moves")
            << 20 << QList<int>{5} << "7" << false << "7" << "" << QList<int>{} << "8";
        QTest::newRow("every position 0: invoice without lines") << 50 << QList<int>{1, 3} << "" << true << "1" << ""
                                                                 << QList<int>{} << "2";
        QTest::newRow("failing position reported, the others billed")
            << 60 << QList<int>{1, 3} << "" << true << "1" << "601:50/0" << QList<int>{600} << "2";
        QTest::newRow("no services: nothing") << 20 << QList<int>{} << "" << false << "" << "" << QList<int>{} << "";
    }
    void makeInvoice()
    {
        QFETCH(int, contract);
        QFETCH(QList<int>, services);
        QFETCH(QString, counterBefore);
        QFETCH(bool, made);
        QFETCH(QString, number);
        QFETCH(QString, lines);
        QFETCH(QList<int>, unpriced);
        QFETCH(QString, counterAfter);
        if (!counterBefore.isEmpty())
            m_s->options.SetIntegerOption(QStringLiteral("invoicenumber"), false, counterBefore.toInt());

        TboRentContract bo(m_s->context);
        const TMakeInvoiceResult r = bo.MakeInvoice(contract, services, m_params);
        QVERIFY(!db().inTransaction());
        QCOMPARE(r.made, made);
        QCOMPARE(r.number, number);
        QCOMPARE(counter(db()), counterAfter);
        QList<int> failed;
        for (const auto &p : r.unpriced) {
            failed << p.contractServiceKey;
            QVERIFY(!p.reason.isEmpty());
        }
        QCOMPARE(failed, unpriced);
        QCOMPARE(count(db(), QStringLiteral("rent_invoice")), made ? 1 : 0);
        if (!made)
            return;
        QVERIFY(r.invoiceKey > 0);
        const auto row = TxQuery::scalar(db(), QStringLiteral("SELECT number || '|' || contractkey || '|' || customerkey"
                                                              " || '|' || invoicedate || '|' || information"
                                                              " FROM rent_invoice WHERE id = ?"),
                                         {r.invoiceKey});
        QCOMPARE(row.toString(), QStringLiteral("%1|%2|%3|2026-12-01|Декабрь")
                                     .arg(number)
                                     .arg(contract)
                                     .arg(TxQuery::scalar(db(), QStringLiteral("SELECT customerkey FROM rent_contract "
                                                                               "WHERE id = ?"),
                                                          {contract})
                                              .toInt()));
        QCOMPARE(linesOf(db(), r.invoiceKey), lines);
        QCOMPARE(bookedOf(db(), r.invoiceKey), lines);
    }

    // A statement that fails - a line, or the debt booking - takes the whole
    // invoice back: no header, no line, no debt, the counter as it was.
    void failingStatementLeavesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("line") << "rent_invoiceservice";
        QTest::newRow("debt booking") << "rent_debtmove";
    }
    void failingStatementLeavesNothing()
    {
        QFETCH(QString, table);
        refusePosition201(db(), table);
        const Balances before = readBalances(db());
        TboRentContract bo(m_s->context);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, bo.MakeInvoice(20, {1, 3}, m_params));
        QVERIFY(!db().inTransaction());
        QCOMPARE(count(db(), QStringLiteral("rent_invoice")), 0);
        QCOMPARE(count(db(), QStringLiteral("rent_invoiceservice")), 0);
        QCOMPARE(count(db(), QStringLiteral("rent_debtmove WHERE invoicekey IS NOT NULL")), 0);
        QVERIFY(sameBalances(readBalances(db()), before));
        QCOMPARE(counter(db()), QString());
    }

    // A run over several contracts in one pricing run: a contract that fails
    // is reported and takes its number back; the others are billed with
    // consecutive numbers.
    void runGoesOnPastAFailure()
    {
        refusePosition201(db(), QStringLiteral("rent_invoiceservice"));
        TboRentContract bo(m_s->context);
        const TInvoiceRun run = bo.MakeInvoices({40, 20, 60, 50}, {1, 3, 4}, m_params);
        QVERIFY(!db().inTransaction());
        QCOMPARE(run.contracts.size(), 4);
        QCOMPARE(run.made(), 3);
        QCOMPARE(run.failed(), 1);
        QVERIFY(!run.contracts.at(1).failure.isEmpty());
        QCOMPARE(run.unpriced().size(), 1);
        QStringList numbers;
        for (const TMakeInvoiceResult &r : run.contracts)
            if (r.made)
                numbers << r.number;
        QCOMPARE(numbers, (QStringList{"1", "2", "3"}));
        QCOMPARE(counter(db()), QStringLiteral("4"));
        QCOMPARE(linesOf(db(), run.contracts.at(0).invoiceKey), QStringLiteral("401:70/0"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_invoice WHERE contractkey = 20")).toInt(), 0);
    }

    // From the contracts page: the user's answer for one contract, the
    // counts for the ticked ones, the positions left out listed; the stop
    // button ends the run and keeps what was made.
    void fromContractsPage()
    {
        RunDialogs dialogs;
        dialogs.params = m_params;
        dialogs.services = {1, 3};
        TboRentContract bo(m_s->context, &dialogs);
        QVERIFY(bo.InvoiceContracts({20}));
        QCOMPARE(dialogs.prompts.messages.last().text, QStringLiteral("Счет сформировался"));
        QCOMPARE(dialogs.reports, 0);

        const std::optional<TInvoiceRun> run = bo.InvoiceContracts({60, 70, 40});
        QCOMPARE(run->made(), 3);
        QCOMPARE(dialogs.prompts.messages.last().text, QStringLiteral("Количество сформированных счетов:3"));
        QCOMPARE(dialogs.reports, 1);  // positions 600 and 700 were not priced

        dialogs.stopAfter = 1;
        const std::optional<TInvoiceRun> stopped = bo.InvoiceContracts({50, 20});
        QVERIFY(stopped->stopped);
        QCOMPARE(stopped->made(), 1);
        QCOMPARE(dialogs.prompts.messages.last().text,
                 QStringLiteral("Количество сформированных счетов:1\n\rКоличество не сформированных счетов:1"));
        QCOMPARE(count(db(), QStringLiteral("rent_invoice")), 5);
    }

    // korvex-rent-cli bill: one line per invoice made, progress and summary on
    // standard error, exit 2 when positions could not be priced, 1 with one
    // line on a bad argument.
    void billCommand_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("made");  // "NUMBER CONTRACT"
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stderrHas");

        const QStringList base{"--date", "2026-12-01", "--payment", "1", "--type", "1", "--currency", "2", "--rate", "3"};
        QTest::newRow("listed contracts") << base + QStringList{"--contracts", "20,50", "--services", "1,3"}
                                          << QStringList{"1 20", "2 50"} << 0
                                          << "Invoices made: 2; contracts without matching positions: 0; failed: 0";
        QTest::newRow("unpriced position exits 2") << base + QStringList{"--contracts", "60,20", "--services", "1"}
                                                   << QStringList{"1 60", "2 20"} << 2 << "position 600";
        // Contract 40 has no position of the service: its number is used up.
        QTest::newRow("every open contract, options as defaults")
            << QStringList{"--date", "2026-12-01", "--services", "3"} << QStringList{"1 10", "2 20", "4 50", "5 60"} << 0
            << "contracts without matching positions: 4";
        QTest::newRow("no date") << QStringList{"--payment", "1"} << QStringList{} << 1 << "--date";
        QTest::newRow("bad date") << QStringList{"--date", "2026-13-01"} << QStringList{} << 1 << "--date";
        QTest::newRow("unknown contract") << base + QStringList{"--contracts", "20,999"} << QStringList{} << 1 << "999";
        QTest::newRow("bad key list") << base + QStringList{"--services", "1,x"} << QStringList{} << 1 << "--services";
        QTest::newRow("unknown payment form") << QStringList{"--date", "2026-12-01", "--payment", "77"}
                                              << QStringList{} << 1 << "77";
    }
    void billCommand()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, made);
        QFETCH(int, code);
        QFETCH(QString, stderrHas);
        m_s->options.SetIntegerOption(QStringLiteral("rentpaymentkey"), false, 1);
        m_s->options.SetIntegerOption(QStringLiteral("rentinvoicetypekey"), false, 1);
        m_s->options.SetIntegerOption(QStringLiteral("rentcurrkey"), false, 2);
        const QString path = m_s->t.path();
        db().close();  // the embedded engine allows one process per file
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI_PATH), QStringList{QStringLiteral("bill")} + args + QStringList{path});
        QVERIFY(p.waitForFinished(120000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        korvex::db::TxConnectionParams params;
        params.setServerName(path);
        db().open(params, QStringLiteral("SYSDBA"), QString());
        QVERIFY2(p.exitCode() == code, qPrintable(err));
        QVERIFY2(err.contains(stderrHas), qPrintable(err));
        if (code == 1) {
            QCOMPARE(out, QString());
            QCOMPARE(err.trimmed().count(QLatin1Char('\n')), 0);
            QCOMPARE(count(db(), QStringLiteral("rent_invoice")), 0);
            return;
        }
        QStringList shown;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(QLatin1Char(' '));
            QCOMPARE(parts.size(), 3);
            // The key names the invoice with that number and contract.
            QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT TRIM(number) || ' ' || contractkey FROM rent_invoice"
                                                          " WHERE id = ?"),
                                     {parts.at(0).toInt()})
                         .toString(),
                     parts.at(1) + QLatin1Char(' ') + parts.at(2));
            shown << parts.at(1) + QLatin1Char(' ') + parts.at(2);
        }
        QCOMPARE(shown, made);
        QCOMPARE(count(db(), QStringLiteral("rent_invoice")), made.size());
        QVERIFY(err.contains(QStringLiteral("Invoices made: %1;").arg(made.size())));
    }

    // Two workstations run the billing on one server database at once: every
    // invoice has its own key and number, the counter ends past all of them,
    // and the debts equal a rebuild from the invoices.
    void concurrentBilling()
    {
        const QString host = korvex::test::TestServerDatabase::host();
        if (host.isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        korvex::test::TestServerDatabase server;
        korvex::db::TxDatabase &a = server.admin();
        const int payment = TxQuery::scalar(a, QStringLiteral("SELECT MIN(id) FROM rent_payment")).toInt();
        int type = TxQuery::scalar(a, QStringLiteral("SELECT MIN(id) FROM rent_invoicetype")).toInt();
        if (type == 0) {
            TxQuery::execute(a, QStringLiteral("INSERT INTO rent_invoicetype (id, name) VALUES (1, 'Аренда')"));
            type = 1;
        }
        const int start = counterValue(a);
        const int invoicesBefore = count(a, QStringLiteral("rent_invoice"));
        const int open = TxQuery::scalar(a, QStringLiteral("SELECT COUNT(*) FROM rent_contract WHERE COALESCE(disabled, 0) = 0"))
                             .toInt();
        QVERIFY(open > 0);

        const QString target = server.params().serverName();
        const QStringList args{QStringLiteral("bill"), QStringLiteral("--date"), QStringLiteral("2026-12-01"),
                               QStringLiteral("--payment"), QString::number(payment), QStringLiteral("--type"),
                               QString::number(type), QStringLiteral("--rate"), QStringLiteral("2.5"), target};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ISC_USER"), server.adminAccount());
        env.insert(QStringLiteral("ISC_PASSWORD"), server.adminPassword());
        QProcess first, second;
        for (QProcess *p : {&first, &second}) {
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(KORVEX_CLI_PATH), args);
        }
        QSet<int> keys;
        QSet<QString> numbers;
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(300000));
            const QString err = QString::fromUtf8(p->readAllStandardError());
            QVERIFY2(p->exitCode() == 0 || p->exitCode() == 2, qPrintable(err));
            const QStringList lines = QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            QVERIFY(!lines.isEmpty());
            for (const QString &line : lines) {
                keys << line.section(' ', 0, 0).toInt();
                numbers << line.section(' ', 1, 1);
            }
            for (const QString &line : err.split('\n'))
                if (line.startsWith(QLatin1String("Begun again")) || line.startsWith(QLatin1String("Invoices made")))
                    qInfo("%s", qPrintable(line));
        }
        const int made = count(a, QStringLiteral("rent_invoice")) - invoicesBefore;
        qInfo("two runs made %d invoices, numbers %d..%d", made, start, start + made - 1);
        QCOMPARE(keys.size(), made);
        QCOMPARE(numbers.size(), made);
        QCOMPARE(counterValue(a), start + made);
        QCOMPARE(TxQuery::scalar(a, QStringLiteral("SELECT COUNT(DISTINCT number) FROM rent_invoice WHERE invoicedate = ?"),
                                 {QDate(2026, 12, 1)})
                     .toInt(),
                 made);
        QString report;
        QVERIFY2(debtsEqualRebuild(a, &report), qPrintable(report));
    }
};

#include "tst_invoices.moc"

KORVEX_TEST_CLASS(MakeInvoiceTest)
