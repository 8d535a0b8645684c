#include "accountingFixture.h"
#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"

#include "accounting/ui/bookkeepingWindows.h"
#include "accounting/ui/frmEnterInterval.h"
#include "accounting/ui/frmImportOperation.h"
#include "accounting/xBookkeepIni.h"
#include "accounting/xImportKorvex.h"
#include "accounting/xParadox.h"
#include "db/xQuery.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTest>

KORVEX_TEST_GUI_PROGRAM()

using namespace korvex::db;
using namespace korvex::accounting;
using namespace korvex::test;
using korvex::shell::TAppContext;
using korvex::shell::TmmOptions;
using korvex::widgets::TxMessages;

// The windows of the exchange over the small Paradox tables of the tests:
// the entry chooser of the import, the period of the export and the link of
// the main window.
class AccountingWindowsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<TmmOptions> m_options;
    TxDatabase &db() { return m_t->db(); }

    static QStringList checkedKeys(TfrmImportOperation &dlg)
    {
        QStringList keys = dlg.choice().Keys.values();
        keys.sort();
        return keys;
    }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        exchangeFixture(db());
        m_options = std::make_unique<TmmOptions>(db(), 5);
    }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        m_options.reset();
        m_t.reset();
    }

    // The chooser lists the entry templates ticked, the register rows of the
    // ticked entries and the period unticked; rows of one number and date
    // are ticked together; the period is the user's.
    void entryChooser()
    {
        Bookkeeping b;
        exchangeTables(b);
        TxBookkeepIni ini(b.ini());
        TxImportKorvex import(db(), ini);
        import.OpType = 1700;
        m_options->SetDateOption(QStringLiteral("dlgimportoperation_datebegin"), true, QDate(2026, 3, 1));
        m_options->SetDateOption(QStringLiteral("dlgimportoperation_dateend"), true, QDate(2026, 3, 31));

        TfrmImportOperation dlg(import, *m_options);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Операции"));
        QCOMPARE(dlg.beginEdit()->date(), QDate(2026, 3, 1));
        QAbstractItemModel *entries = dlg.entryGrid()->model();
        QCOMPARE(entries->rowCount(), 1);
        QCOMPARE(entries->index(0, 0).data().toString(), QStringLiteral("51 - 62"));
        QCOMPARE(entries->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(dlg.registerGrid()->model()->rowCount(), 0);

        dlg.findChild<QPushButton *>(QStringLiteral("ShowRegister"))->click();
        QAbstractItemModel *reg = dlg.registerGrid()->model();
        QCOMPARE(reg->rowCount(), 3);  // the 51-62 rows of March
        QCOMPARE(reg->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Выбрать"));
        QCOMPARE(reg->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Аналитика по дебету"));
        QCOMPARE(reg->index(0, 6).data().toString(), QStringLiteral("ООО Тест; Аренда"));
        QCOMPARE(reg->index(0, 7).data().toString(), QStringLiteral("Оплата по счету 17"));
        QVERIFY(checkedKeys(dlg).isEmpty());

        // Two rows of entry 0000002 of 11.03 share their tick.
        QVERIFY(reg->setData(reg->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(reg->index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(checkedKeys(dlg), QStringList{QStringLiteral("0000002|2026-03-11")});
        dlg.registerGrid()->setCurrentIndex(reg->index(1, 3));
        dlg.checkAll();
        QCOMPARE(checkedKeys(dlg).size(), 2);
        QCOMPARE(dlg.registerGrid()->currentIndex().row(), 1);
        dlg.uncheckAll();
        QVERIFY(checkedKeys(dlg).isEmpty());

        // No entry ticked: the register list stays empty.
        QVERIFY(entries->setData(entries->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        dlg.findChild<QPushButton *>(QStringLiteral("ShowRegister"))->click();
        QCOMPARE(reg->rowCount(), 0);

        // Closing remembers the period for the user.
        dlg.endEdit()->setDate(QDate(2026, 4, 30));
        dlg.reject();
        QCOMPARE(m_options->GetDateOption(QStringLiteral("dlgimportoperation_dateend")), std::optional<QDate>(QDate(2026, 4, 30)));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT userkey FROM fin_options WHERE name = 'DLGIMPORTOPERATION_DATEEND'")).toInt(), 5);
    }

    // The pay-bill page's import: the chooser opens, the rows ticked become
    // operations; cancelled, nothing is written.
    void paymentImportThroughTheChooser()
    {
        Bookkeeping b;
        exchangeTables(b);
        TAppContext context{db(), *m_options, nullptr};
        TBookkeepingWindows link(context, b.ini());
        QWidget window;
        std::unique_ptr<TPaymentImportWindow> import = link.paymentImport(&window);
        m_options->SetDateOption(QStringLiteral("dlgimportoperation_datebegin"), true, QDate(2026, 3, 1));
        m_options->SetDateOption(QStringLiteral("dlgimportoperation_dateend"), true, QDate(2026, 3, 31));

        whenModal<TfrmImportOperation>(this, [](TfrmImportOperation *dlg) {
            dlg->findChild<QPushButton *>(QStringLiteral("ShowRegister"))->click();
            QAbstractItemModel *reg = dlg->registerGrid()->model();
            reg->setData(reg->index(0, 0), Qt::Checked, Qt::CheckStateRole);
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        const std::optional<QList<int>> keys = import->ImportPaymentOperations(1700, nullptr);
        QVERIFY(keys);
        QCOMPARE(keys->size(), 1);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1700 AND externalkey = '0000001'")), 1);

        whenModal<TfrmImportOperation>(this, [](TfrmImportOperation *dlg) { dlg->reject(); });
        QCOMPARE(import->ImportPaymentOperations(1700, nullptr), std::nullopt);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1700")), 1);
    }

    // "Экспорт данных в бухгалтерию": the period comes from the common
    // options and goes back there whichever button closes the dialog; the
    // operations of type 1800 of the period are appended to newreg.db.
    void exportThroughThePeriodDialog()
    {
        Bookkeeping b;
        exchangeTables(b);
        makeTable(b.work(), QStringLiteral("newreg.db"), kNewRegFields, 0, {});
        TxOperation op(db());
        op.Reset();
        op.OpType = 1800;
        op.DateDoc = QDate(2026, 3, 5).startOfDay();
        op.SumNCU = 40;
        op.Analyzes = {QStringLiteral("10=1")};
        op.Post();
        QVERIFY(!op.Error);

        TAppContext context{db(), *m_options, nullptr};
        TBookkeepingWindows link(context, b.ini());
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        whenModal<TfrmEnterInterval>(this, [](TfrmEnterInterval *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Установка периода"));
            QCOMPARE(dlg->DateBegin(), QDate::currentDate());
            dlg->beginEdit()->setDate(QDate(2026, 3, 1));
            dlg->endEdit()->setDate(QDate(2026, 3, 31));
            dlg->reject();
        });
        link.exportOperations(nullptr);
        QCOMPARE(prompts.messages.size(), 0);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT optionsvalue || '/' || COALESCE(userkey, -99) FROM fin_options "
                                                      "WHERE name = 'ENTERINTERVALDATEBEGIN'")).toString(),
                 TmmOptions::dateText(QDate(2026, 3, 1)) + QStringLiteral("/-99"));

        whenModal<TfrmEnterInterval>(this, [](TfrmEnterInterval *dlg) {
            QCOMPARE(dlg->DateEnd(), QDate(2026, 3, 31));
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        link.exportOperations(nullptr);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, QStringLiteral("Передано проводок: 1"));
        TxTable newreg(b.work(), QStringLiteral("newreg.db"));
        newreg.Open();
        QCOMPARE(newreg.RecordCount(), 1);
    }

    // The link of the main window is the one customer synchronisation;
    // without a configured link its actions say so and change nothing.
    void unlinkedCustomerSync()
    {
        Bookkeeping b(0);
        TAppContext context{db(), *m_options, nullptr};
        TBookkeepingWindows link(context, b.ini());
        QCOMPARE(TBookkeepingWindows::instance(), &link);
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        link.takeOverCustomers(nullptr);
        link.transferCustomers(nullptr);
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(prompts.messages.first().text.startsWith(QStringLiteral("Связь с бухгалтерией не настроена")));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer")), 4);
    }
};

KORVEX_TEST_CLASS(AccountingWindowsTest)

#include "tst_accountingwindows.moc"
