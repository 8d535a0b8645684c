#include "common/testDatabase.h"
#include "common/testMain.h"
#include "historyFixture.h"

#include "amount/xAmount.h"
#include "billing/AgedDebtReport.h"
#include "billing/ui/ptDebt.h"
#include "shell/mmOptions.h"
#include "documents/xReport.h"
#include "documents/xRTF.h"
#include "documents/xRTFPrint.h"
#include "debt/boRentAgedDebt.h"
#include "debt/boRentDebt.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using korvex::billing::TAgedDebt;
using korvex::billing::TboRentAgedDebt;
using korvex::billing::TboRentDebt;
using korvex::test::TestDatabase;

namespace {

QList<double> parts(const TAgedDebt &d)
{
    return {d.notDue, d.days1To30, d.days31To60, d.days61To90, d.over90};
}

// The parts add up to the total, and the total is the look-ups' debt.
void checkAddsUp(korvex::db::TxDatabase &db, const TAgedDebt &d, const QDate &date)
{
    double sum = 0;
    for (double p : parts(d))
        sum += p;
    QVERIFY2(korvex::amount::sameAmount(sum, d.total), qPrintable(QString::number(d.customerKey)));
    TboRentDebt debt(db);
    debt.DebtOfCustomer(d.customerKey, date);
    QVERIFY2(korvex::amount::sameAmount(debt.ncu(), d.total), qPrintable(QString::number(d.customerKey)));
}

} // namespace

// Customer 1 is charged 1000 (due 01-20), 500 (due 01-15, no pay-until
// date), 999 (due 02-25) and 300 (due 03-05) and pays 400 + 500: the 500
// due first is settled, then 400 of the 1000, whatever contract each was on.
class AgedDebtTest : public QObject
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

    void buckets_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QList<double>>("expected");  // not due, 1-30, 31-60, 61-90, over 90
        QTest::newRow("before any payment") << QDate(2026, 1, 31) << QList<double>{0, 1500, 0, 0, 0};
        QTest::newRow("one charge not yet due") << QDate(2026, 2, 28) << QList<double>{300, 999, 600, 0, 0};
        QTest::newRow("due on the date is not yet due") << QDate(2026, 3, 5) << QList<double>{300, 999, 600, 0, 0};
        QTest::newRow("a day later") << QDate(2026, 3, 6) << QList<double>{0, 1299, 600, 0, 0};
        QTest::newRow("months later") << QDate(2026, 6, 1) << QList<double>{0, 0, 0, 300, 1599};
    }
    void buckets()
    {
        QFETCH(QDate, date);
        QFETCH(QList<double>, expected);
        TboRentAgedDebt aged(m_t->db());
        const QList<TAgedDebt> all = aged.AgedDebts(date);
        QCOMPARE(all.size(), 1);  // customer 2 is overpaid, customer 3 owes nothing
        QCOMPARE(all.first().customerKey, 1);
        QCOMPARE(all.first().customerName, QStringLiteral("ООО Альфа"));
        QCOMPARE(parts(all.first()), expected);
        checkAddsUp(m_t->db(), all.first(), date);
    }

    // An overpaid customer is not listed; asked for, it has no parts.
    void overpaid()
    {
        TboRentAgedDebt aged(m_t->db());
        QVERIFY(aged.AgedDebts(QDate(2026, 3, 10), 2).isEmpty());
        const TAgedDebt d = aged.AgedDebtOfCustomer(2, QDate(2026, 3, 10));
        QCOMPARE(d.total, -50.0);
        QCOMPARE(parts(d), (QList<double>{0, 0, 0, 0, 0}));
        QCOMPARE(aged.AgedDebtOfCustomer(3, QDate(2026, 3, 10)).total, 0.0);
    }

    // A balance no document explains keeps the parts adding up to the debt.
    void unexplainedBalance()
    {
        const QDate date(2026, 3, 10);
        const QList<TboRentAgedDebt::Charge> charges{{date.addDays(-5), 100}};
        TAgedDebt more;
        more.total = 130;
        TboRentAgedDebt::age(more, charges, 0, date);
        QCOMPARE(parts(more), (QList<double>{0, 100, 0, 0, 30}));
        TAgedDebt less;
        less.total = 70;
        TboRentAgedDebt::age(less, charges, 0, date);
        QCOMPARE(parts(less), (QList<double>{0, 70, 0, 0, 0}));
        // Kopecks add up exactly.
        TAgedDebt kopecks;
        kopecks.total = 0.3;
        TboRentAgedDebt::age(kopecks, {{date, 0.1}, {date.addDays(-1), 0.2}}, 0, date);
        QCOMPARE(kopecks.notDue + kopecks.days1To30, 0.3);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("every customer") << QStringList{"--date", "2026-03-10"} << 0 << "1 0 1299 600 0 0 1899\n";
        QTest::newRow("one customer") << QStringList{"--date", "2026-02-28", "--customer", "1"} << 0
                                      << "1 300 999 600 0 0 1899\n";
        QTest::newRow("overpaid customer") << QStringList{"--date", "2026-03-10", "--customer", "2"} << 0 << "";
        QTest::newRow("no date") << QStringList{"--customer", "1"} << 1 << "";
        QTest::newRow("bad customer") << QStringList{"--date", "2026-03-10", "--customer", "x"} << 1 << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        const korvex::test::ProgramRun run = runCli(*m_t, QStringList{QStringLiteral("aging")} + args);
        QCOMPARE(run.code, code);
        QCOMPARE(run.out, out);
    }

    // The report's own template filled with the rows, and saved as PDF.
    void report()
    {
        korvex::billing::TAgedDebtReport data(m_t->db(), QDate(2026, 3, 10));
        QCOMPARE(data.rowCount(), 1);
        korvex::documents::TxReport report;
        data.prepare(report);
        report.SetDestination(korvex::documents::TxReport::dsUserEvent);
        std::unique_ptr<korvex::documents::TxRTFFile> document;
        report.SetOnReportReady([&](korvex::documents::TxReport &, std::unique_ptr<korvex::documents::TxRTFFile> &doc) {
            document = std::move(doc);
        });
        QVERIFY(report.Execute());
        QVERIFY(document);
        const QString text = document->text();
        QVERIFY2(text.contains(QStringLiteral("Возрастная структура задолженности на ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("ООО Альфа")), qPrintable(text));
        QVERIFY2(text.count(QStringLiteral("1 899,00")) + text.count(QStringLiteral("1,899.00"))
                     + text.count(QStringLiteral("1 899,00")) == 2, qPrintable(text));  // the row and the total
        QVERIFY2(!text.contains(QStringLiteral("NOTDUE")), qPrintable(text));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("aged.pdf"));
        korvex::documents::writePdf(*document, pdf, korvex::billing::TAgedDebtReport::caption());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(4), QByteArray("%PDF"));
    }

    // The debts page shows the report on its debt date in the preview.
    void fromDebtsPage()
    {
        struct Preview : korvex::documents::TxReportDisplay {
            void preview(korvex::documents::TxReport &, std::unique_ptr<korvex::documents::TxRTFFile> &doc) override
            {
                texts << doc->text();
            }
            bool print(korvex::documents::TxRTFFile &, bool) override { return true; }
            QString askRescueFile() override { return {}; }
            QStringList texts;
        } preview;
        korvex::documents::TxReportDisplay::setShared(&preview);
        korvex::shell::TmmOptions options(m_t->db(), korvex::shell::TmmOptions::DefaultUserKey);
        korvex::shell::TAppContext context{m_t->db(), options, nullptr};
        QWidget window;
        auto *page = new korvex::billing::TptDebt(context, &window);
        korvex::billing::TDebtFilter f = page->debts().filter();
        f.debtDate = QDate(2026, 2, 28);
        page->debts().setFilter(f);
        page->findChild<QAction *>(QStringLiteral("AgedDebtsAction"))->trigger();
        korvex::documents::TxReportDisplay::setShared(nullptr);
        QCOMPARE(preview.texts.size(), 1);
        QVERIFY2(preview.texts.first().contains(QStringLiteral("ООО Альфа")), qPrintable(preview.texts.first()));
        QVERIFY2(preview.texts.first().contains(QLocale().toString(QDate(2026, 2, 28), QLocale::ShortFormat)),
                 qPrintable(preview.texts.first()));
    }

    // On the demo data every customer with a debt is listed, and only they,
    // on dates across the documents' due dates.
    void demoAgainstLookups()
    {
        TestDatabase demo(TestDatabase::Content::Demo, QStringLiteral("demo"));
        TboRentAgedDebt aged(demo.db());
        TboRentDebt debt(demo.db());
        const QList<int> customers = [&] {
            QList<int> keys;
            korvex::db::TxQuery q(demo.db());
            q.exec(QStringLiteral("SELECT customerkey FROM cst_customer ORDER BY customerkey"));
            while (q.next())
                keys << q.value(0).toInt();
            return keys;
        }();
        int listed = 0;
        for (int days : {-26, -22, -10, 0, 45, 120}) {
            const QDate date = QDate::currentDate().addDays(days);
            QList<int> owing;
            for (int c : customers) {
                debt.DebtOfCustomer(c, date);
                if (korvex::amount::kopecks(debt.ncu()) > 0)
                    owing << c;
            }
            QList<int> keys;
            for (const TAgedDebt &d : aged.AgedDebts(date)) {
                keys << d.customerKey;
                checkAddsUp(demo.db(), d, date);
            }
            QCOMPARE(keys, owing);
            listed += keys.size();
        }
        QVERIFY(listed > 0);
    }
};

#include "tst_aging.moc"

KORVEX_TEST_CLASS(AgedDebtTest)
