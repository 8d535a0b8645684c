#include "common/testMain.h"
#include "common/testPrompt.h"
#include "debtFixture.h"

#include "billing/boRentViotation.h"
#include "billing/ui/dlgRentViotation.h"
#include "billing/ui/dlgRentViotationFilter.h"
#include "billing/ui/ptViotation.h"
#include "billing/ui/viotationWindows.h"
#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xQueryModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace korvex::billing;
using korvex::db::TxQuery;
using korvex::test::TxPromptRecorder;
using korvex::widgets::TxMessages;

namespace {

// Violations: 1 of customer 1 under contract 10, 2 of customer 1 without a
// contract, 3 of customer 2 under contract 20.
void viotations(korvex::db::TxDatabase &db)
{
    const QStringList statements = {
        "INSERT INTO rent_viotation (id, number, viotationdate, customerkey, contractkey, costncu) "
        "VALUES (1, 'Н-2', '2026-03-01', 1, 10, 100)",
        "INSERT INTO rent_viotation (id, number, viotationdate, customerkey, contractkey, costncu) "
        "VALUES (2, 'Н-1', '2026-03-05', 1, NULL, 50)",
        "INSERT INTO rent_viotation (id, number, viotationdate, customerkey, contractkey, costncu) "
        "VALUES (3, 'Н-3', '2026-02-20', 2, 20, 70)",
        "ALTER SEQUENCE gen_rent_viotation RESTART WITH 10",
    };
    for (const QString &s : statements)
        TxQuery::execute(db, s);
}

struct FakeDialogs : TViotationDialogs {
    TxPromptRecorder prompts{true};
    korvex::widgets::TxPrompt &prompt() override { return prompts; }
};

QList<int> listed(korvex::db::TxDatabase &db, const TViotationFilter &f)
{
    const korvex::widgets::TxSqlFilter s = TboRentViotation::listStatement(f);
    QList<int> keys;
    TxQuery q(db);
    const QString order = TboRentViotation::listOrder(f.sortOrder);
    q.exec(s.text() + (order.isEmpty() ? QStringLiteral(" ORDER BY id") : QStringLiteral(" ORDER BY ") + order + ", id"),
           s.values());
    while (q.next())
        keys << q.value(QStringLiteral("id")).toInt();
    return keys;
}

} // namespace

// The register of violations: what the filter lists, the filter kept per
// user, the rows written and deleted.
class ViotationTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<DebtSession>();
        viotations(m_s->t.db());
    }
    void cleanup() { m_s.reset(); }

    void list_data()
    {
        QTest::addColumn<TViotationFilter>("filter");
        QTest::addColumn<QList<int>>("keys");
        TViotationFilter all;
        QTest::newRow("all, by number; without a contract too") << all << QList<int>{2, 1, 3};
        TViotationFilter byDate = all;
        byDate.sortOrder = TViotationFilter::ByDate;
        QTest::newRow("by date") << byDate << QList<int>{3, 1, 2};
        TViotationFilter customer = all;
        customer.allCustomers = false;
        customer.customerKey = 1;
        customer.sortOrder = TViotationFilter::ByCustomer;
        QTest::newRow("one customer") << customer << QList<int>{1, 2};
        TViotationFilter contract = all;
        contract.allContracts = false;
        contract.contractKey = 10;
        QTest::newRow("one contract") << contract << QList<int>{1};
        TViotationFilter period = all;
        period.dateUnlimited = false;
        period.startDate = QDate(2026, 3, 1);
        period.endDate = QDate(2026, 3, 4);
        QTest::newRow("a period, both ends in") << period << QList<int>{1};
    }
    void list()
    {
        QFETCH(TViotationFilter, filter);
        QFETCH(QList<int>, keys);
        QCOMPARE(listed(m_s->t.db(), filter), keys);
    }

    // Stored when confirmed or sorted, read back by a new object; the
    // flags are kept as 1/0.
    void filterKept()
    {
        FakeDialogs dialogs;
        TViotationFilter f;
        f.allCustomers = false;
        f.customerKey = 2;
        f.dateUnlimited = false;
        f.startDate = QDate(2026, 1, 1);
        f.endDate = QDate(2026, 1, 31);
        {
            TboRentViotation bo(m_s->context, &dialogs);
            bo.setFilter(f);
            bo.setSortOrder(TViotationFilter::ByCustomer);
        }
        f.sortOrder = TViotationFilter::ByCustomer;
        TboRentViotation bo(m_s->context, &dialogs);
        QCOMPARE(bo.filter(), f);
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rent_Viotation_Customer")), std::optional<int>(0));
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rent_Viotation_Viotationdate")), std::optional<int>(0));
    }

    // Written and read back whole; deleted only when the question is
    // answered yes.
    void writeAndDelete()
    {
        FakeDialogs dialogs;
        TboRentViotation bo(m_s->context, &dialogs);
        TViotationRecord r = bo.newViotation();
        QCOMPARE(r.viotationDate, QDate::currentDate());
        r.number = QStringLiteral("Н-9");
        QVERIFY_THROWS_EXCEPTION(korvex::db::EBusinessError, bo.writeViotation(r));  // no customer
        r.customerKey = 4;
        r.currKey = 2;
        r.costNcu = 30.5;
        r.costCurr = 10;
        r.info = QStringLiteral("Курение в помещении");
        r.id = bo.writeViotation(r);
        QVERIFY(r.id > 3);
        const std::optional<TViotationRecord> read = bo.readViotation(r.id);
        QVERIFY(read);
        QCOMPARE(read->number, r.number);
        QCOMPARE(read->customerKey, r.customerKey);
        QCOMPARE(read->contractKey, std::optional<int>());
        QCOMPARE(read->currKey, r.currKey);
        QCOMPARE(read->costNcu, 30.5);
        QCOMPARE(read->info, r.info);

        dialogs.prompts.answer = false;
        QVERIFY(!bo.DeleteViotation(r.id));
        QVERIFY(bo.readViotation(r.id));
        dialogs.prompts.answer = true;
        QVERIFY(bo.DeleteViotation(r.id));
        QVERIFY(!bo.readViotation(r.id));
        QCOMPARE(dialogs.prompts.messages.last().text, QStringLiteral("Удалить нарушение?"));
        QCOMPARE(dialogs.prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY(!m_s->t.db().inTransaction());
    }

    // The amount buttons at a rate; at rate 0 the amount computed is 0.
    void conversion()
    {
        QCOMPARE(TboRentViotation::ncuFromCurrency(10, 3.25), 32.5);
        QCOMPARE(TboRentViotation::currencyFromNcu(32.5, 3.25), 10.0);
        QCOMPARE(TboRentViotation::ncuFromCurrency(10, 0), 0.0);
        QCOMPARE(TboRentViotation::currencyFromNcu(32.5, 0), 0.0);
    }
};

// The violation dialog, its filter and the page, offscreen.
class ViotationDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TViotationWindows> m_windows;
    std::unique_ptr<TboRentViotation> m_bo;
    TxPromptRecorder m_prompts{true};

    void expectRefused(TdlgRentViotation &d, QPushButton *press, const QString &message)
    {
        const qsizetype before = m_prompts.messages.size();
        QTest::mouseClick(press, Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), before + 1);
        QCOMPARE(m_prompts.messages.last().text, message);
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY(d.isVisible());
    }
    int count() { return TxQuery::scalar(m_s->t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_viotation")).toInt(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<DebtSession>();
        viotations(m_s->t.db());
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TViotationWindows>(m_window.get());
        m_bo = std::make_unique<TboRentViotation>(m_s->context, m_windows.get());
        m_prompts.messages.clear();
    }
    void cleanup()
    {
        m_bo.reset();
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    // Number, date and customer are asked for in this order; no contract
    // is needed, and "&Следующий" stores and starts a new violation today.
    void requiredAndNext()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentViotation d(*m_bo, m_bo->newViotation());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.dateEdit()->dateValue(), std::optional<QDate>(QDate::currentDate()));
        d.dateEdit()->clear();
        expectRefused(d, d.okButton(), QStringLiteral("Введите номер"));
        d.numberEdit()->setText(QStringLiteral("Н-10"));
        expectRefused(d, d.nextButton(), QStringLiteral("Введите дату"));
        d.dateEdit()->setDateValue(QDate(2026, 4, 1));
        expectRefused(d, d.okButton(), QStringLiteral("Выберите клиента"));
        QCOMPARE(count(), 3);
        d.customerBox()->setKey(1);
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY2(m_prompts.messages.size() == 3, qPrintable(m_prompts.messages.last().text));
        QCOMPARE(count(), 4);
        QVERIFY(d.isVisible());
        QVERIFY(d.numberEdit()->text().isEmpty());
        QVERIFY(!d.customerBox()->intKey());
        QCOMPARE(d.dateEdit()->dateValue(), std::optional<QDate>(QDate::currentDate()));
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(count(), 4);
        QCOMPARE(d.savedCount(), 1);
    }

    // The contract list is the chosen customer's; another customer's
    // contract does not stay chosen.
    void contractsOfCustomer()
    {
        TdlgRentViotation d(*m_bo, *m_bo->readViotation(1));
        QCOMPARE(d.contractBox()->intKey(), std::optional<int>(10));
        QCOMPARE(d.contractBox()->text(), QStringLiteral("10"));
        d.customerBox()->setKey(2);
        QVERIFY(!d.contractBox()->intKey());
        d.contractBox()->setKey(20);
        QCOMPARE(d.contractBox()->text(), QStringLiteral("20"));
    }

    // The rate is today's of the currency; the buttons convert at the rate
    // shown; a bad rate is refused and brought back to the field; a typed
    // rate is recorded with the save, not before.
    void rateAndAmounts()
    {
        TxMessages::Intercept intercept(m_prompts);
        m_bo->setRateToday(2, 2.5);
        TdlgRentViotation d(*m_bo, *m_bo->readViotation(1));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.currencyBox()->setKey(2);
        QCOMPARE(d.rateEdit()->text(), QStringLiteral("2,5"));
        d.currEdit()->setFloatValue(10);
        QTest::mouseClick(d.ncuButton(), Qt::LeftButton);
        QCOMPARE(d.ncuEdit()->floatValue(), std::optional<double>(25));
        d.ncuEdit()->setFloatValue(30);
        QTest::mouseClick(d.currButton(), Qt::LeftButton);
        QCOMPARE(d.currEdit()->floatValue(), std::optional<double>(12));

        d.rateEdit()->setFocus();
        QTRY_VERIFY(d.rateEdit()->hasFocus());
        d.rateEdit()->setText(QStringLiteral("abc"));
        d.infoEdit()->setFocus();
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Ошибка!"));
        QTRY_VERIFY(d.rateEdit()->hasFocus());

        d.rateEdit()->setText(QStringLiteral("0"));
        QTest::mouseClick(d.ncuButton(), Qt::LeftButton);
        QCOMPARE(d.ncuEdit()->floatValue(), std::optional<double>(0));

        d.rateEdit()->setText(QStringLiteral("3"));
        d.infoEdit()->setFocus();
        QCOMPARE(m_bo->rateToday(2), 2.5);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_bo->rateToday(2), 3.0);
        QCOMPARE(m_bo->readViotation(1)->currKey, std::optional<int>(2));
    }

    // The filter dialog: each "all" box disables what it covers; on "Ок" the
    // contract is the one shown.
    void filterDialog()
    {
        TViotationFilter f;
        f.allCustomers = false;
        f.customerKey = 1;
        f.allContracts = false;
        f.contractKey = 11;
        TdlgRentViotationFilter d(*m_bo, f);
        QCOMPARE(d.contractBox()->text(), QStringLiteral("11"));
        QVERIFY(d.customerBox()->isEnabled());
        QVERIFY(!d.startEdit()->isEnabled());
        d.allCustomersBox()->setChecked(true);
        QVERIFY(!d.customerBox()->isEnabled());
        d.unlimitedBox()->setChecked(false);
        QVERIFY(d.startEdit()->isEnabled() && d.endEdit()->isEnabled());
        d.contractBox()->setKey(10);
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
        QVERIFY(f.allCustomers);
        QVERIFY(!f.dateUnlimited);
        QCOMPARE(f.contractKey, 10);
    }

    // The page lists every violation, one without a contract too, and
    // keeps the sort order chosen.
    void page()
    {
        TptViotation page(m_s->context, m_window.get());
        QCOMPARE(page.model()->rowCount(), 3);
        QCOMPARE(page.sortButton()->text(), QStringLiteral("Сортировать: По номеру"));
        QVERIFY(page.grid()->locateKey(2));
        QVERIFY(page.grid()->currentValue(QStringLiteral("contractnumber")).toString().isEmpty());
        page.setSortOrder(TViotationFilter::ByDate);
        QCOMPARE(page.currentViotation(), std::optional<int>(2));
        QCOMPARE(page.sortButton()->text(), QStringLiteral("Сортировать: По дате"));
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rent_Viotation_sortViotation")), std::optional<int>(1));
        QCOMPARE(page.model()->data(page.model()->index(0, page.grid()->fieldColumn(QStringLiteral("id")))).toInt(), 3);
        page.setSortOrder(TViotationFilter::ByCustomer);
        QCOMPARE(page.model()->rowCount(), 3);
        QCOMPARE(page.model()->value(2, QStringLiteral("name")).toString(), QStringLiteral("ООО Бета"));
    }
};

#include "tst_viotation.moc"

KORVEX_TEST_CLASS(ViotationTest)
KORVEX_TEST_CLASS(ViotationDialogTest)
