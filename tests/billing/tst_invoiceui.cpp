#include "debtFixture.h"

#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"

#include "billing/boInvoiceService.h"
#include "billing/boRentInvoice.h"
#include "billing/ui/billingWindows.h"
#include "billing/ui/dlgRentInvoice.h"
#include "billing/ui/dlgRentInvoiceFilter.h"
#include "billing/ui/dlgRentInvoiceType.h"
#include "billing/ui/dlgRentMakeInvoice.h"
#include "billing/ui/dlgRentPayment.h"
#include "billing/ui/ptInvoice.h"
#include "db/xQuery.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xCheckedQueryModel.h"

#include <QAction>
#include <QCheckBox>
#include <QScopeGuard>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace korvex::billing;
using korvex::db::TxQuery;
using korvex::test::TxPromptRecorder;
using korvex::test::whenModal;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxMessages;

namespace {

template<class T = QLineEdit>
T *field(QWidget *dialog, const char *name)
{
    T *f = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!f)
        qFatal("no field %s", name);
    return f;
}

void typeRate(TdlgRentInvoice &d, const QString &text)
{
    d.rateEdit()->setText(text);
    Q_EMIT d.rateEdit()->editingFinished();
}

// The lines as "position:ncu/curr".
QString linesOf(const TInvoiceLineModel &m)
{
    QStringList lines;
    for (const TInvoiceLineRecord &l : m.records())
        lines << QStringLiteral("%1:%2/%3").arg(l.contractServiceKey).arg(l.costNcu).arg(l.costCurr);
    return lines.join(QLatin1Char(' '));
}

} // namespace

// The invoice dialog: the required fields in their order, the lines of a
// contract priced at the typed rate, the conversion guard, rate 0, saving
// with the debt, "&Следующий", and cancelling an edit.
class InvoiceDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TBillingWindows> m_windows;
    std::unique_ptr<TboRentInvoice> m_bo;
    TxPromptRecorder m_prompts{true};

    korvex::db::TxDatabase &db() { return m_s->t.db(); }
    QVariant scalar(const QString &sql, const QVariantList &values = {}) { return TxQuery::scalar(db(), sql, values); }

    void expectRefused(TdlgRentInvoice &d, const QString &message, QWidget *focus)
    {
        const qsizetype before = m_prompts.messages.size();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), before + 1);
        QCOMPARE(m_prompts.messages.last().text, message);
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY2(focus->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == focus,
                 qPrintable(message));
        QVERIFY(d.isVisible());
    }
    // Customer 2, contract 20, payment form and type set; every position of
    // the contract added at rate 3.
    void fillContract20(TdlgRentInvoice &d)
    {
        d.customerBox()->setKey(2);
        d.contractBox()->setKey(20);
        field<korvex::widgets::TxLookupBox>(&d, "payment")->setKey(1);
        field<korvex::widgets::TxLookupBox>(&d, "invoicetype")->setKey(1);
        d.currencyBox()->setKey(2);
        typeRate(d, QStringLiteral("3"));
        QTest::mouseClick(field<QPushButton>(&d, "addContractPositions"), Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<DebtSession>();
        // Type 1, taken from the sequence as the program takes its keys.
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_invoicetype (id, name) "
                                              "VALUES (NEXT VALUE FOR gen_rent_invoicetype, 'Аренда')"));
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TBillingWindows>(m_window.get());
        m_bo = std::make_unique<TboRentInvoice>(m_s->context, m_windows.get());
        m_prompts.messages.clear();
        m_prompts.answer = true;
    }
    void cleanup()
    {
        m_bo.reset();
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    void requiredOrder()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentInvoice d(*m_bo, m_bo->newInvoice());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(field(&d, "number")->text(), QStringLiteral("1"));
        expectRefused(d, QStringLiteral("Выберите клиента"), d.customerBox());
        d.customerBox()->setKey(2);
        expectRefused(d, QStringLiteral("Выберите договор"), d.contractBox());
        d.contractBox()->setKey(20);
        auto *payment = field<korvex::widgets::TxLookupBox>(&d, "payment");
        expectRefused(d, QStringLiteral("Выберите форму оплаты"), payment);
        payment->setKey(1);
        auto *type = field<korvex::widgets::TxLookupBox>(&d, "invoicetype");
        expectRefused(d, QStringLiteral("Выберите тип задолженности"), type);
        type->setKey(1);
        auto *date = field<TxCheckedEdit>(&d, "invoicedate");
        date->clear();
        expectRefused(d, QStringLiteral("Введиете дату"), date);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoice")).toInt(), 0);
    }

    // "Выбрать все позиции договора" prices every position at the rate and
    // keeps those not 0; a changed amount converts the other through the
    // guard; "Ок" saves the invoice, its lines and its debt, and moves the
    // counter past the number. "&Следующий" offers the next number.
    void linesAndSave()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentInvoice d(*m_bo, m_bo->newInvoice());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        fillContract20(d);
        QCOMPARE(linesOf(*d.lines()), QStringLiteral("200:100/0 201:300/0 202:40/0 203:30/10"));
        d.lines()->setNcu(3, 60);  // the currency line follows at the rate
        QCOMPARE(linesOf(*d.lines()), QStringLiteral("200:100/0 201:300/0 202:40/0 203:60/20"));
        d.lines()->setCurr(0, 5);  // an NCU line has no currency amount
        QCOMPARE(linesOf(*d.lines()), QStringLiteral("200:100/0 201:300/0 202:40/0 203:60/20"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.value(0).text));
        const int key = d.savedKey();
        QCOMPARE(scalar(QStringLiteral("SELECT number FROM rent_invoice WHERE id = ?"), {key}).toString().trimmed(),
                 QStringLiteral("1"));
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(costncu) FROM rent_debtmove WHERE invoicekey = ?"), {key}).toDouble(),
                 500.0);
        QCOMPARE(scalar(QStringLiteral("SELECT sumncu FROM rent_invoice WHERE id = ?"), {key}).toDouble(), 500.0);
        QCOMPARE(field(&d, "number")->text(), QStringLiteral("2"));
        QCOMPARE(d.lines()->rowCount(), 0);
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoice")).toInt(), 1);
        QVERIFY(!db().inTransaction());
    }

    // "Ок" converts the currency amounts at the rate: at rate 0 it would
    // wipe them, so it is refused with the reason and nothing is lost.
    void rateZeroBlocks()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentInvoice d(*m_bo, m_bo->newInvoice());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        fillContract20(d);
        typeRate(d, QString());
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY(m_prompts.messages.last().text.contains(QStringLiteral("курс")));
        QCOMPARE(linesOf(*d.lines()), QStringLiteral("200:100/0 201:300/0 202:40/0 203:30/10"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoice")).toInt(), 0);
        typeRate(d, QStringLiteral("abc"));
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Ошибка!"));
        typeRate(d, QStringLiteral("2,5"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(scalar(QStringLiteral("SELECT costcurr FROM rent_invoiceservice WHERE contractservicekey = 203"))
                     .toDouble(),
                 12.0);  // 30 / 2.5
    }

    // Cancelling an edit leaves the invoice and its debt as they were, even
    // after every line was deleted in the dialog; "Удалить все" asks first.
    void cancelKeepsDebt()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentContract contracts(m_s->context);
        TInvoiceParams p;
        p.paymentKey = p.invoiceTypeKey = 1;
        p.invoiceDate = QDate(2026, 12, 1);
        const int key = contracts.MakeInvoice(20, {1, 3}, p).invoiceKey;
        const QVariant booked = scalar(QStringLiteral("SELECT SUM(costncu) FROM rent_debtmove WHERE invoicekey = ?"), {key});
        QCOMPARE(booked.toDouble(), 400.0);
        whenModal<TdlgRentInvoice>(this, [](TdlgRentInvoice *d) {
            QTest::mouseClick(field<QPushButton>(d, "deleteAllLines"), Qt::LeftButton);
            QCOMPARE(d->lines()->rowCount(), 0);
            d->cancelButton()->click();
        });
        QVERIFY(!m_bo->EditInvoice(key));
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Удалить все позиции"));
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(costncu) FROM rent_debtmove WHERE invoicekey = ?"), {key}), booked);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoiceservice WHERE invoicekey = ?"), {key}).toInt(), 2);
        QVERIFY(!db().inTransaction());
    }

    // "Формирование счетов": the currency's rate on the invoice date, a rate
    // that is no number refused, the payment form required, a typed rate
    // kept to be recorded with the invoices.
    void makeInvoiceDialog()
    {
        TxMessages::Intercept intercept(m_prompts);
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, ?, 3.25)"),
                         {QDate(2026, 11, 20)});
        TInvoiceParams p;
        p.currKey = 2;
        p.invoiceDate = p.expireDate = p.operationDate = QDate(2026, 12, 1);
        TdlgRentMakeInvoice d(m_s->context, p, false);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(!d.invoiceDateEdit()->isEnabled());
        d.currencyBox()->setKey(1);
        d.currencyBox()->setKey(2);
        QCOMPARE(d.rateEdit()->text(), QStringLiteral("3,25"));
        d.rateEdit()->setText(QStringLiteral("abc"));
        Q_EMIT d.rateEdit()->editingFinished();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Ошибка!"));
        d.rateEdit()->setText(QStringLiteral("3,5"));
        QTest::mouseClick(field<QPushButton>(&d, "ok"), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Выберите форму оплаты"));
        QVERIFY(d.isVisible());
        d.paymentBox()->setKey(1);
        d.typeBox()->setKey(1);
        QTest::mouseClick(field<QPushButton>(&d, "ok"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(p.rate, 3.5);
        QCOMPARE(p.paymentKey, 1);
        QCOMPARE(p.typedRates.size(), 1);
        QCOMPARE(p.typedRates.first().date, QDate(2026, 12, 1));
    }

    // Invoice types: the name required, "&Следующий" stores and offers
    // another, a type in use is kept with its message.
    void invoiceTypes()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentInvoiceType types(m_s->context, m_windows.get());
        whenModal<TdlgRentInvoiceType>(this, [this](TdlgRentInvoiceType *d) {
            auto close = qScopeGuard([d] { if (d->isVisible()) d->reject(); });
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
            QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Введите наименование"));
            field(d, "name")->setText(QStringLiteral("Коммунальные"));
            QTest::mouseClick(d->nextButton(), Qt::LeftButton);
            QCOMPARE(field(d, "name")->text(), QString());
            field(d, "name")->setText(QStringLiteral("Пеня"));
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        int key = 0;
        QVERIFY(types.NewInvoiceType(&key));
        QCOMPARE(scalar(QStringLiteral("SELECT name FROM rent_invoicetype WHERE id = ?"), {key}).toString().trimmed(),
                 QStringLiteral("Пеня"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoicetype")).toInt(), 3);

        TboRentContract contracts(m_s->context);
        TInvoiceParams p;
        p.paymentKey = p.invoiceTypeKey = 1;
        p.invoiceDate = QDate(2026, 12, 1);
        QVERIFY(contracts.MakeInvoice(20, {1}, p).made);
        QVERIFY(!types.DeleteInvoiceType(1));
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Данный тип задолженности уже где-то используется"));
        QVERIFY(types.DeleteInvoiceType(key));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoicetype")).toInt(), 2);
    }

    // The invoices page: the ticked-invoice actions, and deleting the ticked
    // invoices withdraws their debt.
    void invoicePage()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentContract contracts(m_s->context);
        TInvoiceParams p;
        p.paymentKey = p.invoiceTypeKey = 1;
        p.invoiceDate = QDate(2026, 12, 1);
        const TInvoiceRun run = contracts.MakeInvoices({20, 40, 60}, {1, 3}, p);
        QCOMPARE(run.made(), 3);
        TptInvoice page(m_s->context, m_window.get());
        QCOMPARE(page.invoiceModel()->rowCount(), 3);
        QCOMPARE(page.sortButton()->text(), QStringLiteral("Сортировать: По номеру"));
        page.setSortOrder(TInvoiceFilter::ByExpireDate);
        QCOMPARE(page.sortButton()->text(), QStringLiteral("Сортировать: По дате \"Заплатить до\""));
        QCOMPARE(TboRentInvoice(m_s->context).filter().sortOrder, int(TInvoiceFilter::ByExpireDate));
        QCOMPARE(page.invoiceModel()->rowCount(), 3);
        QAction *attributes = nullptr;
        for (QAction *a : page.invoiceMenu()->actions())
            if (a->text() == QStringLiteral("Аттрибуты счетов"))
                attributes = a;
        QVERIFY(attributes && !attributes->isEnabled());
        page.checkAll();
        QVERIFY(attributes->isEnabled());
        page.invoiceModel()->setChecked(run.contracts.at(1).invoiceKey, false);

        // "Фильтрация счетов": a box disables what it covers; the customer
        // chosen narrows the list.
        TInvoiceFilter filter = page.invoice().filter();
        {
            TdlgRentInvoiceFilter d(page.invoice(), filter);
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            auto *all = field<QCheckBox>(&d, "allCustomers");
            auto *customer = field<korvex::widgets::TxLookupBox>(&d, "customer");
            QVERIFY(all->isChecked() && !customer->isEnabled());
            QVERIFY(!field<TxCheckedEdit>(&d, "invoicedateFrom")->isEnabled());
            all->setChecked(false);
            QVERIFY(customer->isEnabled());
            customer->setKey(4);
            QTest::mouseClick(field<QPushButton>(&d, "ok"), Qt::LeftButton);
            QCOMPARE(d.result(), int(QDialog::Accepted));
        }
        QVERIFY(!filter.allCustomers);
        QCOMPARE(filter.customerKey, 4);
        TInvoiceFilter all = page.invoice().filter();
        page.invoice().setFilter(filter);
        QCOMPARE(page.invoice().listedKeys(), QList<int>{run.contracts.at(1).invoiceKey});
        page.invoice().setFilter(all);
        page.findInvoicesWithErrors();  // none: the ticks are cleared
        QCOMPARE(page.invoiceModel()->checkedCount(), 0);
        page.invoiceModel()->setChecked(run.contracts.at(0).invoiceKey, true);
        page.invoiceModel()->setChecked(run.contracts.at(2).invoiceKey, true);
        QVERIFY(page.invoice().DeleteInvoices(0, page.invoiceModel()->checkedIntKeys()));
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Удалить выделенные счета?"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_invoice")).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_debtmove WHERE invoicekey IS NOT NULL")).toInt(), 1);

        // The payment-form tab: the buttons add, edit and delete forms.
        TxQuery::execute(db(), QStringLiteral("ALTER SEQUENCE gen_rent_payment RESTART WITH 100"));
        page.setCurrentTab(TptInvoice::PaymentsTab);
        const int forms = page.paymentGrid()->model()->rowCount();
        whenModal<TdlgRentPayment>(this, [](TdlgRentPayment *d) {
            auto close = qScopeGuard([d] { if (d->isVisible()) d->reject(); });
            d->nameEdit()->setText(QStringLiteral("Вексель"));
            d->shortNameEdit()->setText(QStringLiteral("векс"));
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        page.trigger(TptInvoice::Action::Add);
        QCOMPARE(page.paymentGrid()->model()->rowCount(), forms + 1);
        const QVariant added = page.paymentGrid()->currentKey();
        QCOMPARE(scalar(QStringLiteral("SELECT name FROM rent_payment WHERE id = ?"), {added}).toString().trimmed(),
                 QStringLiteral("Вексель"));
        whenModal<TdlgRentPayment>(this, [](TdlgRentPayment *d) {
            auto close = qScopeGuard([d] { if (d->isVisible()) d->reject(); });
            QCOMPARE(d->shortNameEdit()->text(), QStringLiteral("векс"));
            d->nameEdit()->setText(QStringLiteral("Простой вексель"));
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        page.trigger(TptInvoice::Action::Edit);
        QCOMPARE(scalar(QStringLiteral("SELECT name FROM rent_payment WHERE id = ?"), {added}).toString().trimmed(),
                 QStringLiteral("Простой вексель"));
        page.trigger(TptInvoice::Action::Delete);
        QCOMPARE(page.paymentGrid()->model()->rowCount(), forms);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM rent_payment WHERE id = ?"), {added}).toInt(), 0);
    }
};

#include "tst_invoiceui.moc"

KORVEX_TEST_CLASS(InvoiceDialogTest)
