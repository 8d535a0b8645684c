#include "payBillFixture.h"

#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"

#include "billing/boPayBillLine.h"
#include "billing/ui/dlgRentChooseDebt.h"
#include "billing/ui/dlgRentMakePayBill.h"
#include "billing/ui/dlgRentPayBill.h"
#include "billing/ui/dlgRentPayBillFilter.h"
#include "billing/ui/dlgRentPayment.h"
#include "billing/ui/ptPayBill.h"
#include "billing/boRentPayment.h"
#include "accounting/xBookkeepingLink.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xCheckedQueryModel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTest>

using namespace korvex::billing;
using korvex::db::TxQuery;
using korvex::test::TxPromptRecorder;
using korvex::test::whenModal;
using korvex::widgets::TxMessages;

namespace {

TPayBillLine line(bool currService, double ncu = 0, double curr = 0)
{
    TPayBillLine l;
    l.contractServiceKey = currService ? 101 : 100;
    l.currService = currService;
    l.ncu = ncu;
    l.curr = curr;
    return l;
}

int count(korvex::db::TxDatabase &db, const QString &sql)
{
    return TxQuery::scalar(db, sql).toInt();
}

} // namespace

// The amounts of the pay-bill lines convert one another at the rate, and a
// converted amount never converts back.
class PayBillLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversion_data()
    {
        QTest::addColumn<bool>("currService");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("action");
        QTest::addColumn<double>("ncu");
        QTest::addColumn<double>("curr");

        // Each line starts at 30 NCU and 10 in currency.
        QTest::newRow("NCU typed on a currency line") << true << 3.0 << "ncu 60" << 60.0 << 20.0;
        QTest::newRow("currency typed on a currency line") << true << 3.0 << "curr 5" << 15.0 << 5.0;
        QTest::newRow("currency typed on an NCU line is 0") << false << 3.0 << "curr 5" << 30.0 << 0.0;
        QTest::newRow("NCU typed on an NCU line") << false << 3.0 << "ncu 45" << 45.0 << 10.0;
        QTest::newRow("rate 0 converts to 0") << true << 0.0 << "ncu 60" << 60.0 << 0.0;
        QTest::newRow("written as they are") << true << 3.0 << "both 100 7" << 100.0 << 7.0;
        QTest::newRow("all NCU from the rate") << true << 4.0 << "ncuAll" << 40.0 << 10.0;
        QTest::newRow("all NCU keeps an NCU line") << false << 4.0 << "ncuAll" << 30.0 << 10.0;
        QTest::newRow("all currency from the rate") << true << 4.0 << "currAll" << 30.0 << 7.5;
        QTest::newRow("all currency on an NCU line is 0") << false << 4.0 << "currAll" << 30.0 << 0.0;
    }
    void conversion()
    {
        QFETCH(bool, currService);
        QFETCH(double, rate);
        QFETCH(QString, action);
        QFETCH(double, ncu);
        QFETCH(double, curr);
        TPayBillLineModel model;
        model.setRate(rate);
        model.setRecords({line(currService, 30, 10)});
        const QStringList a = action.split(QLatin1Char(' '));
        if (a.at(0) == QLatin1String("ncu"))
            QVERIFY(model.setData(model.index(0, TPayBillLineModel::NcuColumn), a.at(1)));
        else if (a.at(0) == QLatin1String("curr"))
            QVERIFY(model.setData(model.index(0, TPayBillLineModel::CurrColumn), a.at(1)));
        else if (a.at(0) == QLatin1String("both"))
            model.writeUnconverted(0, a.at(1).toDouble(), a.at(2).toDouble());
        else if (a.at(0) == QLatin1String("ncuAll"))
            model.ncuFromRateAll();
        else
            model.currFromRateAll();
        QCOMPARE(model.records().at(0).ncu, ncu);
        QCOMPARE(model.records().at(0).curr, curr);
        QVERIFY(!model.busy());
    }

    // "Выбор услуг из договора": a currency debt comes in currency with its
    // NCU at the rate; an NCU debt converts as typed.
    void contractLines()
    {
        TPayBillLineModel model;
        model.setRate(3);
        model.setRecords({line(false, 5, 0)});
        model.addContractLines({line(true, 290, 100), line(true, 60, 0), line(false, 40, 0)});
        QCOMPARE(model.rowCount(), 4);  // adding never removes
        QCOMPARE(model.records().at(1).ncu, 300.0);
        QCOMPARE(model.records().at(1).curr, 100.0);
        QCOMPARE(model.records().at(2).curr, 20.0);
        QCOMPARE(model.records().at(3).curr, 0.0);
        QCOMPARE(model.sumNcu(), 405.0);

        QString refused;
        connect(&model, &TPayBillLineModel::cellRefused, this, [&](const QString &m) { refused = m; });
        QVERIFY(!model.setData(model.index(0, TPayBillLineModel::NcuColumn), QStringLiteral("abc")));
        QCOMPARE(refused, QStringLiteral("Введите число"));
        QCOMPARE(model.records().at(0).ncu, 5.0);
    }
};

// The pay-bill dialog: the save rules as the user meets them, the
// allocation into lines, "&Следующий", cancelling, the rate field.
class PayBillDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<PayBillSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TPayBillWindows> m_windows;
    std::unique_ptr<TboRentPayBill> m_bo;
    TxPromptRecorder m_prompts{true};

    void expectRefused(TdlgRentPayBill &d, QPushButton *press, const QString &message, QWidget *focus)
    {
        const qsizetype before = m_prompts.messages.size();
        QTest::mouseClick(press, Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), before + 1);
        QCOMPARE(m_prompts.messages.last().text, message);
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY2(focus->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == focus,
                 qPrintable(message));
        QVERIFY(d.isVisible());
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<PayBillSession>();
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TPayBillWindows>(m_window.get());
        m_bo = std::make_unique<TboRentPayBill>(m_s->context, m_windows.get());
        m_prompts.messages.clear();
    }
    void cleanup()
    {
        m_bo.reset();
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    void saveRules()
    {
        korvex::db::TxDatabase &db = m_s->t.db();
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentPayBill d(*m_bo, m_bo->newPayBill());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.paymentBox()->setIntKey(std::nullopt);
        expectRefused(d, d.okButton(), QStringLiteral("Выберите клиента!"), d.customerBox());
        d.customerBox()->setKey(1);
        expectRefused(d, d.okButton(), QStringLiteral("Выберите форму оплаты"), d.paymentBox());
        d.paymentBox()->setKey(2);
        d.dateField()->clear();
        expectRefused(d, d.nextButton(), QStringLiteral("Введиете дату"), d.dateField());
        d.dateField()->setDateValue(QDate::currentDate());

        // "Сумма" 0 splits nothing; 150 at the rate of the currency.
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        QCOMPARE(d.lines()->rowCount(), 0);
        d.currencyBox()->setKey(2);
        QCOMPARE(d.rateEdit()->text(), QStringLiteral("3"));
        d.sumField()->setFloatValue(150);
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        QCOMPARE(d.lines()->rowCount(), 2);
        QCOMPARE(d.ncuTotal()->text(), QLocale().toString(150.0, 'f', 2));
        d.lines()->setNcu(0, 99.5);  // the currency line stays: 149.5 against 150
        expectRefused(d, d.okButton(), QStringLiteral("Общая сумма не соответствует сумме позиций"), d.sumField());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 0);
        d.lines()->setNcu(0, 100);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY2(m_prompts.messages.size() == 4, qPrintable(m_prompts.messages.last().text));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybillrelat")), 2);
        QVERIFY(debtsAsRebuilt(db));
        QCOMPARE(debtOfLine(100), 0.0);
    }

    // "&Следующий" stores the pay bill and shows a new one numbered from the
    // counter; cancelling then stores nothing more.
    void nextAndCancel()
    {
        korvex::db::TxDatabase &db = m_s->t.db();
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentPayBill d(*m_bo, m_bo->newPayBill());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.numberEdit()->text(), QStringLiteral("1"));
        d.customerBox()->setKey(1);
        d.paymentBox()->setKey(1);
        d.sumField()->setFloatValue(50);
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.value(0).text));
        QCOMPARE(d.savedCount(), 1);
        QCOMPARE(d.numberEdit()->text(), QStringLiteral("2"));
        QCOMPARE(d.lines()->rowCount(), 0);
        QCOMPARE(d.recordKey(), 0);
        d.customerBox()->setKey(1);
        d.sumField()->setFloatValue(20);
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        const QStringList debts = debtRows(db);
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 1);
        QCOMPARE(debtRows(db), debts);
        QVERIFY(debtsAsRebuilt(db));
        QVERIFY(!db.inTransaction());

        // Editing through the page's operation: the lines come back, and
        // cancelling leaves the settlement as it was.
        const int key = d.savedKey();
        whenModal<TdlgRentPayBill>(this, [](TdlgRentPayBill *e) {
            QCOMPARE(e->lines()->rowCount(), 1);
            e->lineAction(TdlgRentPayBill::LineAction::DeleteAll)->trigger();
            QCOMPARE(e->lines()->rowCount(), 0);
            e->cancelButton()->click();
        });
        QVERIFY(!m_bo->EditPayBill(key));
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Удалить все позиции"));
        QCOMPARE(debtRows(db), debts);
    }

    // "Курс": a non-number says "Ошибка!"; a rate typed converts the lines
    // and is recorded for the pay-bill date; the allocation at rate 0 is
    // refused when it meets a currency debt.
    void rateField()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentPayBill d(*m_bo, m_bo->newPayBill());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.customerBox()->setKey(1);
        d.paymentBox()->setKey(1);
        d.sumField()->setFloatValue(150);
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        QCOMPARE(d.lines()->rowCount(), 0);
        QVERIFY(m_prompts.messages.last().text.startsWith(QStringLiteral("Не задан курс валюты")));

        d.currencyBox()->setKey(2);
        d.rateEdit()->setFocus();
        d.rateEdit()->selectAll();
        QTest::keyClicks(d.rateEdit(), QStringLiteral("abc"));
        d.lineGrid()->setFocus();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Ошибка!"));
        QTRY_COMPARE(QApplication::focusWidget(), d.rateEdit());
        d.rateEdit()->selectAll();
        QTest::keyClicks(d.rateEdit(), QStringLiteral("5"));
        d.lineGrid()->setFocus();
        QCOMPARE(d.lines()->rate(), 5.0);
        d.lineAction(TdlgRentPayBill::LineAction::Allocate)->trigger();
        QCOMPARE(d.lines()->records().at(1).curr, 10.0);  // 50 at 5
        QVERIFY(d.save());
        QCOMPARE(TxQuery::scalar(m_s->t.db(), QStringLiteral("SELECT coeff FROM fin_currrate WHERE fromcurr = 2 AND "
                                                             "tocurr = 1 AND fordate = CURRENT_DATE"))
                     .toDouble(),
                 5.0);
    }

    // "Форма оплаты": both names in their order.
    void paymentForm()
    {
        TxMessages::Intercept intercept(m_prompts);
        TxQuery::execute(m_s->t.db(), QStringLiteral("ALTER SEQUENCE gen_rent_payment RESTART WITH 100"));
        TboRentPayment forms(m_s->context, m_windows.get());
        TdlgRentPayment d(forms, {}, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Введите наименование"));
        d.nameEdit()->setText(QStringLiteral("Вексель"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Введите краткое наименование"));
        d.shortNameEdit()->setText(QStringLiteral("векс"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY(d.nameEdit()->text().isEmpty());
        QCOMPARE(count(m_s->t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_payment WHERE shortname = 'векс'")), 1);
        // A form in use stays.
        QVERIFY(!forms.DeletePayment(1));
        QCOMPARE(count(m_s->t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_payment WHERE id = 1")), 1);
    }

private:
    double debtOfLine(int contractServiceKey)
    {
        TboRentDebt debt(m_s->t.db());
        debt.DebtOfContractService(contractServiceKey);
        return debt.ncu();
    }
};

// A payment import that makes the given payment operations.
class FakeImport : public korvex::accounting::TPaymentImportLink
{
public:
    explicit FakeImport(QList<int> keys) : m_keys(std::move(keys)) {}
    std::optional<QList<int>> ImportPaymentOperations(int opType, korvex::widgets::TxProgress *) override
    {
        asked = opType;
        return m_keys;
    }
    int asked = 0;

private:
    QList<int> m_keys;
};

// The pay-bill page: "Импорт платежей" with its counts, the ticked pay
// bills' actions and their delete.
class PayBillPageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importTickPostDelete()
    {
        PayBillSession s;
        korvex::db::TxDatabase &db = s.t.db();
        TxPromptRecorder prompts{true};
        TxMessages::Intercept intercept(prompts);
        QWidget window;
        FakeImport *made = nullptr;
        TptPayBill page(s.context, &window, [&made](QWidget *) {
            auto link = std::make_unique<FakeImport>(QList<int>{901, 902, 903});
            made = link.get();
            return link;
        });
        whenModal<TdlgRentMakePayBill>(this, [](TdlgRentMakePayBill *d) {
            QVERIFY(d->sameDateBox()->isChecked());
            QVERIFY(!d->operationDateField()->isEnabled());
            d->sameDateBox()->setChecked(false);
            QVERIFY(d->operationDateField()->isEnabled());
            d->operationDateField()->setDateValue(QDate(2026, 3, 1));
            d->findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("currency"))->setKey(2);
            d->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        page.importPayments();
        QCOMPARE(made->asked, 1700);

        QCOMPARE(prompts.messages.last().text,
                 QStringLiteral("Количество сформированных платежей: 2\n\rКоличество измененных платежей: 0\n\r"
                                "Количество несформированных платежей: 1"));
        QCOMPARE(page.payBillModel()->rowCount(), 2);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM rent_paybill WHERE operationdate = '2026-03-01' "
                                          "AND currkey = 2")), 2);

        // Ticked: posted, then deleted together with their settlement.
        page.checkAll();
        QCOMPARE(page.tickedKeys().size(), 2);
        page.postTicked();
        QVERIFY(page.tickedKeys().isEmpty());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1850")), 2);
        page.checkAll();
        page.trigger(korvex::widgets::TPart::Action::Delete);
        QCOMPARE(prompts.messages.at(prompts.messages.size() - 1).text, QStringLiteral("Удалить выделенные платежи?"));
        QCOMPARE(page.payBillModel()->rowCount(), 0);
        QVERIFY(debtsAsRebuilt(db));
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1850")), 2);  // kept
    }

    // The filter: "Все клиенты" disables the customer; the filter chosen
    // lists only its pay bills and is remembered, as is the sort order.
    void filterAndSort()
    {
        PayBillSession s;
        TboRentPayBill maker(s.context);
        TPayBillImport p = maker.importDefaults();
        p.currKey = 2;
        maker.PayBillFromOperation(901, p);
        maker.PayBillFromOperation(904, p);
        QWidget window;
        TptPayBill page(s.context, &window);
        QCOMPARE(page.payBillModel()->rowCount(), 2);
        whenModal<TdlgRentPayBillFilter>(this, [](TdlgRentPayBillFilter *d) {
            auto *all = d->findChild<QCheckBox *>(QStringLiteral("allCustomers"));
            auto *customer = d->findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("customer"));
            QVERIFY(all->isChecked());
            QVERIFY(!customer->isEnabled());
            all->setChecked(false);
            QVERIFY(customer->isEnabled());
            customer->setKey(2);
            d->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        page.editFilter();
        QCOMPARE(page.payBillModel()->rowCount(), 1);
        page.setSortOrder(TPayBillFilter::ByCustomer);
        QCOMPARE(page.sortButton()->text(), QStringLiteral("Сортировать: По клиенту"));
        TboRentPayBill again(s.context);
        QVERIFY(!again.filter().allCustomers);
        QCOMPARE(again.filter().customerKey, 2);
        QCOMPARE(again.filter().sortOrder, int(TPayBillFilter::ByCustomer));
    }
};

#include "tst_paybillui.moc"

KORVEX_TEST_CLASS(PayBillLineTest)
KORVEX_TEST_CLASS(PayBillDialogTest)
KORVEX_TEST_CLASS(PayBillPageTest)
