#include "debtFixture.h"

#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"

#include "billing/ui/debtWindows.h"
#include "billing/ui/dlgRentChooseDebt.h"
#include "billing/ui/dlgRentDebtFilter.h"
#include "billing/ui/ptDebt.h"
#include "db/xQuery.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xLookupSource.h"
#include "widgets/xTreeModel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace korvex::billing;
using korvex::db::TxQuery;
using korvex::test::TxPromptRecorder;
using korvex::widgets::TxMessages;

KORVEX_TEST_GUI_PROGRAM()

namespace {

// Saves what a window shows when KORVEX_SCREENSHOTS names a folder.
void keepPicture(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("KORVEX_SCREENSHOTS");
    if (!dir.isEmpty())
        w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

QList<int> listed(korvex::widgets::TxQueryModel &model)
{
    while (model.canFetchMore())
        model.fetchMore();
    QList<int> keys;
    for (int row = 0; row < model.rowCount(); ++row)
        keys << model.value(row, QStringLiteral("contractservicekey")).toInt();
    std::sort(keys.begin(), keys.end());
    return keys;
}

QList<int> rowsOfSource(korvex::widgets::TxLookupBox *box)
{
    QList<int> keys;
    for (const korvex::widgets::TxLookupRow &r : box->source()->rows())
        keys << r.key.toInt();
    return keys;
}

} // namespace

class DebtUiTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DebtSession> m_s;
    std::unique_ptr<QWidget> m_area;
    TxPromptRecorder m_prompts;

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<DebtSession>();
        // One invoice booked on position 100, for the history tabs.
        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, customerkey, "
                                                     "contractkey) VALUES (1, '1', ?, 1, 10)"),
                         {debtFixtureDate()});
        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO rent_debtmove (contractservicekey, debtdate, costncu, "
                                                     "costcurr, invoicekey) VALUES (100, ?, 100, 0, 1)"),
                         {debtFixtureDate()});
        m_area = std::make_unique<QWidget>();
        m_area->resize(1100, 620);
        m_prompts.messages.clear();
    }
    void cleanup()
    {
        m_area.reset();
        m_s.reset();
    }

    // The list, its sums and "НДС", the sort menu and the history of the
    // current row.
    void page()
    {
        auto *page = new TptDebt(m_s->context, m_area.get());
        page->resize(m_area->size());
        m_area->show();
        QCOMPARE(listed(*page->debtModel()), (QList<int>{100, 101, 102, 103, 105, 110, 200, 400, 800, 801, 900, 901}));
        QCOMPARE(page->ncuTotal()->text(), QLocale().toString(675.8, 'f', 2));
        QCOMPARE(page->currTotal()->text(), QLocale().toString(100.0, 'f', 2));
        QCOMPARE(page->countTotal()->text(), QStringLiteral("12"));
        QVERIFY(page->debtGrid()->locateKey(100));
        const int nds = page->debtGrid()->fieldColumn(QStringLiteral("nds"));
        QCOMPARE(page->debtModel()->data(page->debtModel()->index(page->debtGrid()->currentIndex().row(), nds)).toDouble(),
                 17.0);
        keepPicture(*page, QStringLiteral("ptDebt"));

        // A sort entry sorts at once and is remembered.
        QMenu *sort = page->sortMenu();
        QCOMPARE(sort->actions().size(), 7);
        sort->actions().at(TDebtFilter::ByService)->trigger();
        QCOMPARE(page->sortButton()->text(), QStringLiteral("Сортировать: По услугам"));
        QCOMPARE(page->debtModel()->value(0, QStringLiteral("servicecal")).toString(), QStringLiteral("Аренда"));
        QCOMPARE(TboRentDebtFilter(m_s->context).filter().sortOrder, int(TDebtFilter::ByService));

        // History of the row's position, customer and service.
        QVERIFY(page->debtGrid()->locateKey(100));
        for (TptDebt::Tab tab : {TptDebt::PositionHistoryTab, TptDebt::CustomerHistoryTab, TptDebt::ServiceHistoryTab}) {
            page->setCurrentTab(tab);
            QCOMPARE(page->historyModel(tab)->rowCount(), 1);
            QCOMPARE(page->historyModel(tab)->value(0, QStringLiteral("ccostncu")).toDouble(), 100.0);
        }
        QCOMPARE(page->historyHead(TptDebt::ServiceHistoryTab)->text(), QStringLiteral("Клиент: ООО Альфа   Услуга: Аренда"));
        keepPicture(*page, QStringLiteral("ptDebt-history"));
        // Another row without movements: its history is empty.
        QVERIFY(page->debtGrid()->locateKey(400));
        QCOMPARE(page->historyModel(TptDebt::ServiceHistoryTab)->rowCount(), 0);
        page->setCurrentTab(TptDebt::DebtsTab);

        // The filter from the sort menu: one customer's debts.
        korvex::test::whenModal<TdlgRentDebtFilter>(this, [](TdlgRentDebtFilter *dlg) {
            dlg->allCustomers()->setChecked(false);
            dlg->customerBox()->setKey(4);
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        sort->actions().last()->trigger();
        QCOMPARE(listed(*page->debtModel()), QList<int>{400});
        QCOMPARE(page->countTotal()->text(), QStringLiteral("1"));

        // An empty list: the history tabs are empty too.
        TDebtFilter f = page->debts().filter();
        f.debtDate = QDate::currentDate().addDays(-100);
        page->debts().setFilter(f);
        page->loadDebts();
        QCOMPARE(page->debtModel()->rowCount(), 0);
        QCOMPARE(page->ncuTotal()->text(), QLocale().toString(0.0, 'f', 2));
        page->setCurrentTab(TptDebt::PositionHistoryTab);
        QCOMPARE(page->historyModel(TptDebt::PositionHistoryTab)->rowCount(), 0);
    }

    // Every "all" box disables what it covers; the contracts follow the
    // customer; ticking an object ticks the objects below it.
    void filterDialog()
    {
        TboRentDebtFilter bo(m_s->context);
        TDebtFilter start;
        start.allContracts = false;
        start.contractKey = 11;
        start.allCustomers = false;
        start.customerKey = 1;
        TdlgRentDebtFilter dlg(bo, start);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Фильтрация задолженностей"));
        QVERIFY(dlg.customerBox()->isEnabled());
        QVERIFY(!dlg.paymentBox()->isEnabled());
        QVERIFY(!dlg.historyStart()->isEnabled());
        QVERIFY(!dlg.serviceTree()->isEnabled());
        QCOMPARE(dlg.contractBox()->intKey(), std::optional<int>(11));
        QCOMPARE(rowsOfSource(dlg.contractBox()), (QList<int>{10, 11}));
        dlg.allPayments()->setChecked(false);
        QVERIFY(dlg.paymentBox()->isEnabled());
        dlg.historyUnlimited()->setChecked(false);
        QVERIFY(dlg.historyStart()->isEnabled());

        // Another customer: its contracts, the first one shown.
        dlg.customerBox()->setKey(2);
        QCOMPARE(rowsOfSource(dlg.contractBox()), (QList<int>{20, 21}));
        QCOMPARE(dlg.contractBox()->intKey(), std::optional<int>(20));
        // A customer without contracts: no contract.
        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO cst_customer (customerkey, name, kind) VALUES (8, 'ИП Новый', 4)"));
        dlg.customerBox()->reload();
        dlg.customerBox()->setKey(8);
        QVERIFY(!dlg.contractBox()->intKey());

        dlg.allObjects()->setChecked(false);
        korvex::widgets::TxTreeModel *objects = dlg.objectModel();
        QVERIFY(objects->setData(objects->indexOf(1), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(objects->markedKeys(), (QList<int>{1, 11, 13, 12}));
        QVERIFY(objects->setData(objects->indexOf(11), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(objects->markedKeys(), (QList<int>{1, 12}));
        dlg.allServices()->setChecked(false);
        QVERIFY(dlg.serviceModel()->setData(dlg.serviceModel()->indexOf(3), Qt::Checked, Qt::CheckStateRole));
        dlg.selection()->button(TDebtFilter::Overpayments)->click();
        dlg.calendar()->setSelectedDate(QDate(2025, 2, 3));
        dlg.customerBox()->setKey(1);
        dlg.paymentBox()->setKey(2);
        dlg.tabs()->setCurrentIndex(TdlgRentDebtFilter::ObjectsTab);
        keepPicture(dlg, QStringLiteral("dlgRentDebtFilter-objects"));
        dlg.tabs()->setCurrentIndex(TdlgRentDebtFilter::DateTab);
        keepPicture(dlg, QStringLiteral("dlgRentDebtFilter"));

        dlg.confirm();
        const TDebtFilter &f = dlg.filter();
        QCOMPARE(f.debtDate, QDate(2025, 2, 3));
        QCOMPARE(f.allCustomers, false);
        QCOMPARE(f.customerKey, 1);
        QCOMPARE(f.allContracts, false);
        QCOMPARE(f.contractKey, 10);
        QCOMPARE(f.allPayments, false);
        QCOMPARE(f.paymentKey, 2);
        QCOMPARE(f.selectionType, int(TDebtFilter::Overpayments));
        QCOMPARE(f.historyUnlimited, false);
        QCOMPARE(f.allObjects, false);
        QCOMPARE(f.objectKeys, (QList<int>{1, 12}));
        QCOMPARE(f.allServices, false);
        QCOMPARE(f.serviceKeys, QList<int>{3});
    }

    // Entering the contract field before a customer is chosen asks for the
    // customer and moves there.
    void filterAsksCustomerFirst()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentDebtFilter bo(m_s->context);
        TDebtFilter start;
        start.allContracts = false;
        TdlgRentDebtFilter dlg(bo, start);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.contractBox()->comboBox()->setFocus();
        QTRY_COMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.first().text, QStringLiteral("Выберите клиента"));
        QCOMPARE(m_prompts.messages.first().caption, QStringLiteral("Внимание!"));
        QVERIFY(dlg.customerBox()->isEnabled());
        QTRY_VERIFY(dlg.customerBox()->isAncestorOf(QApplication::focusWidget()));
    }

    // The chooser lists the customer's debts up to the priority, of one
    // contract or all; ticks, sums and answers the ticked positions.
    void chooser()
    {
        TboRentDebtFilter bo(m_s->context);
        TDebtChoice start;
        start.customerKey = 1;
        TdlgRentChooseDebt dlg(bo, start);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Выбор услуг по задолженностям"));
        QVERIFY(dlg.allContracts()->isChecked());
        QVERIFY(!dlg.customerBox()->isEnabled());
        QCOMPARE(dlg.priorityEdit()->text(), QStringLiteral("10"));
        QCOMPARE(dlg.dateEdit()->date(), QDate::currentDate());
        QCOMPARE(listed(*dlg.model()), (QList<int>{100, 101, 102, 103, 104, 105, 110}));

        dlg.priorityEdit()->setText(QStringLiteral("1"));
        Q_EMIT dlg.priorityEdit()->editingFinished();
        QCOMPARE(listed(*dlg.model()), (QList<int>{100, 101, 104, 110}));
        dlg.findChild<QPushButton *>(QStringLiteral("markAll"))->click();
        QCOMPARE(dlg.model()->checkedCount(), 4);
        dlg.findChild<QPushButton *>(QStringLiteral("Calculate"))->click();
        QCOMPARE(dlg.totalLabel()->text(), QStringLiteral(" в рублях: %1   в валюте: %2")
                                               .arg(QLocale().toString(420.0, 'f', QLocale::FloatingPointShortest),
                                                    QLocale().toString(100.0, 'f', QLocale::FloatingPointShortest)));
        keepPicture(dlg, QStringLiteral("dlgRentChooseDebt"));
        dlg.findChild<QPushButton *>(QStringLiteral("clearMarks"))->click();
        QCOMPARE(dlg.model()->checkedCount(), 0);

        // One contract; a date before the debts lists nothing.
        dlg.allContracts()->setChecked(false);
        dlg.contractBox()->setKey(11);
        QCOMPARE(listed(*dlg.model()), QList<int>{110});
        dlg.dateEdit()->setDate(QDate::currentDate().addDays(-40));
        QCOMPARE(dlg.model()->rowCount(), 0);
    }

    // ChooseDebts opens the chooser on the contract given and answers the
    // ticked positions; without a customer it answers false at once.
    void chooseDebts()
    {
        QWidget window;
        TDebtWindows windows(&window);
        TboRentDebtFilter bo(m_s->context, &windows);
        QList<int> keys;
        QVERIFY(!bo.ChooseDebts(0, true, keys, 0));

        bool opened = false;
        korvex::test::whenModal<TdlgRentChooseDebt>(this, [&opened](TdlgRentChooseDebt *dlg) {
            opened = true;
            if (dlg->allContracts()->isChecked() || dlg->contractBox()->intKey() != std::optional<int>(10)) {
                dlg->reject();
                return;
            }
            dlg->model()->setCheckedKeys({QVariant(102), QVariant(100)});
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        QVERIFY(bo.ChooseDebts(1, false, keys, 10));
        QVERIFY(opened);
        QCOMPARE(keys, (QList<int>{102, 100}));
    }
};

#include "tst_debtui.moc"

KORVEX_TEST_CLASS(DebtUiTest)
