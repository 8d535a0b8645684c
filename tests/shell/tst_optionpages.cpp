#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"

#include "app/desktop/OptionActions.h"
#include "app/desktop/PageTable.h"
#include "app/desktop/dlgRentPeriod.h"
#include "app/desktop/ptCommonOptions.h"
#include "app/desktop/ptUserOptions.h"
#include "app/desktop/ptVisualSettings.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "shell/OptionSettings.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xRtsTables.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace korvex::db;
using namespace korvex::shell;
using namespace korvex::widgets;
using korvex::test::TestDatabase;
using korvex::test::TxPromptRecorder;

namespace {

// name -> "value/type" of the stored rows of one owner (NULL: the common ones).
QMap<QString, QString> stored(TxDatabase &db, std::optional<int> userKey)
{
    TxQuery q(db);
    if (userKey)
        q.exec(QStringLiteral("SELECT name, optionsvalue, optionstype FROM fin_options WHERE userkey = ?"), {*userKey});
    else
        q.exec(QStringLiteral("SELECT name, optionsvalue, optionstype FROM fin_options WHERE userkey IS NULL"));
    QMap<QString, QString> out;
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString() + QLatin1Char('/') + q.value(2).toString());
    return out;
}

// A work area for the pages, and the options of one user.
struct Session {
    TestDatabase t;
    TmmOptions options;
    TAppContext context;
    QWidget area;

    explicit Session(TestDatabase::Content content = TestDatabase::Content::Schema, int user = 5)
        : t(content), options(t.db(), user), context{t.db(), options, nullptr}
    {
        area.resize(900, 600);
    }
    TxDatabase &db() { return t.db(); }
};

} // namespace

// "Общие настройки" and "Настройки пользователя": what they show when
// nothing is stored, and what they write, with which owner and type.
class OptionPagesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // On a database without currencies, payment forms and invoice types the
    // pick lists are empty and nothing is written for them; the rest is
    // written as common options of its type.
    void commonPageOnEmptyTables()
    {
        Session s;
        {
            TptCommonOptions page(s.context, &s.area);
            QCOMPARE(page.currencyBox()->intKey(), std::nullopt);
            QCOMPARE(page.contractNumberEdit()->text(), QStringLiteral("1"));
            QCOMPARE(page.reckoningGroup()->checkedId(), -1);
        }
        const QMap<QString, QString> common = stored(s.db(), std::nullopt);
        for (const char *absent : {"RENTCURRKEY", "RENTPAYMENTKEY", "RENTINVOICETYPEKEY", "RENTNCURECKONING",
                                   "RENTOBJECTFONTNAME"})
            QVERIFY2(!common.contains(QString::fromLatin1(absent)), absent);
        QCOMPARE(common.value(QStringLiteral("RENTCONTRACTNUMBER")), QStringLiteral("1/I"));
        QCOMPARE(common.value(QStringLiteral("INVOICENUMBER")), QStringLiteral("1/I"));
        QCOMPARE(common.value(QStringLiteral("PAYBILLNUMBER")), QStringLiteral("1/I"));
        QCOMPARE(common.value(QStringLiteral("RENTCONTRACTEXPRIREDATE")),
                 TmmOptions::dateText(QDate::currentDate()) + QStringLiteral("/D"));
        QCOMPARE(common.value(QStringLiteral("RENTAUTOREPLACERECKONING")), QStringLiteral("0/I"));
        QCOMPARE(common.value(QStringLiteral("RENTOBJECTUSEGRAPHCOLOR")), QStringLiteral("clRed/S"));
        QVERIFY(stored(s.db(), 5).isEmpty());
    }

    // A new user sets the default currency, payment form, invoice type and
    // counter, written as common options (so every user sees them); text
    // that is no number keeps the number it replaced.
    void commonPageWritesForEveryone()
    {
        Session s;
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO fin_curr (id, name, shortname) VALUES (7, 'Евро', 'EUR')"));
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO rent_payment (id, name) VALUES (3, 'Безналичный')"));
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO rent_invoicetype (id, name) VALUES (4, 'Аренда')"));
        {
            TptCommonOptions page(s.context, &s.area);
            s.area.show();
            QVERIFY(QTest::qWaitForWindowExposed(&s.area));
            page.currencyBox()->setIntKey(7);
            QCOMPARE(page.currencyBox()->text(), QStringLiteral("EUR"));
            page.paymentBox()->setIntKey(3);
            page.invoiceTypeBox()->setIntKey(4);
            page.reckoningGroup()->button(1)->setChecked(true);
            page.invoiceNumberEdit()->setText(QStringLiteral("120"));
            page.setCurrentTab(1);
            TxCheckedEdit *number = page.contractNumberEdit();
            s.area.activateWindow();
            number->setFocus();
            QTRY_VERIFY(number->hasFocus());
            number->setText(QStringLiteral("12a"));
            TxPromptRecorder prompts;
            TxMessages::Intercept intercept(prompts);
            page.invoiceNumberEdit()->setFocus();
            QCOMPARE(number->text(), QStringLiteral("1"));
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.messages.first().text, QStringLiteral("Ошибка"));
        }
        const QMap<QString, QString> common = stored(s.db(), std::nullopt);
        QCOMPARE(common.value(QStringLiteral("RENTCURRKEY")), QStringLiteral("7/I"));
        QCOMPARE(common.value(QStringLiteral("RENTPAYMENTKEY")), QStringLiteral("3/I"));
        QCOMPARE(common.value(QStringLiteral("RENTINVOICETYPEKEY")), QStringLiteral("4/I"));
        QCOMPARE(common.value(QStringLiteral("RENTNCURECKONING")), QStringLiteral("1/I"));
        QCOMPARE(common.value(QStringLiteral("INVOICENUMBER")), QStringLiteral("120/I"));
        QCOMPARE(common.value(QStringLiteral("RENTCONTRACTNUMBER")), QStringLiteral("1/I"));
        // Read back as the page reads it.
        const TCommonSettings seen = TCommonSettings::read(s.options);
        QCOMPARE(seen.CurrKey, std::optional<int>(7));
        QCOMPARE(seen.InvoiceNumber, 120);
    }

    void userPageWritesForTheUser()
    {
        Session s;
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO rent_location (id, name) VALUES (2, 'Корпус 1')"));
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO rent_objecttype (id, name) VALUES (6, 'Офис')"));
        {
            TptUserOptions page(s.context, &s.area);
            QCOMPARE(page.locationBox()->intKey(), std::nullopt);
            page.locationBox()->setIntKey(2);
            page.objectTypeBox()->setIntKey(6);
            page.takeFolderOf(QStringLiteral("/srv/dogovora.2026/shablon.rtf"));
            QCOMPARE(page.pathEdit()->text(), QDir::toNativeSeparators(QStringLiteral("/srv/dogovora.2026")));
        }
        const QMap<QString, QString> own = stored(s.db(), 5);
        QCOMPARE(own.value(QStringLiteral("RENTLOCATIONKEY")), QStringLiteral("2/I"));
        QCOMPARE(own.value(QStringLiteral("RENTOBJECTTYPEKEY")), QStringLiteral("6/I"));
        QCOMPARE(own.value(QStringLiteral("CONTRACTPATH")), QDir::toNativeSeparators(QStringLiteral("/srv/dogovora.2026")) + QStringLiteral("/S"));
        QVERIFY(stored(s.db(), std::nullopt).isEmpty());
        TptUserOptions again(s.context, &s.area);
        QCOMPARE(again.objectTypeBox()->intKey(), std::optional<int>(6));
    }

    void pagesOpenFromTheTable()
    {
        Session s;
        for (int code : {110, 111, 999}) {
            std::unique_ptr<TPart> page(pageInfo(code)->create(s.context, &s.area));
            QCOMPARE(page->pageCode(), code);
            QCOMPARE(page->caption(), pageInfo(code)->caption);
        }
    }
};

// The maintenance actions: the period dialog and the deletion of operations,
// the rebuilding of the debts.
class MaintenanceTest : public QObject
{
    Q_OBJECT

    static int operations(TxDatabase &db, int type)
    {
        return TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = ?"), {type}).toInt();
    }
    static void addOperations(TxDatabase &db)
    {
        for (int type : {1800, 1700})
            TxQuery::execute(db, QStringLiteral("UPDATE OR INSERT INTO fin_optype (optypekey, name) VALUES (?, 'x') "
                                                "MATCHING (optypekey)"),
                             {type});
        const QList<std::pair<int, QDate>> rows{{1800, {2026, 1, 15}}, {1800, {2026, 2, 15}}, {1800, {2026, 3, 15}},
                                                {1700, {2026, 2, 15}}};
        int key = 900;
        for (const auto &[type, date] : rows)
            TxQuery::execute(db, QStringLiteral("INSERT INTO fin_operation (operationkey, type, commitdate) VALUES (?, ?, ?)"),
                             {++key, type, date});
    }

private Q_SLOTS:
    void deletesOperationsOfThePeriod()
    {
        Session s;
        addOperations(s.db());
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        korvex::test::whenModal<TdlgRentPeriod>(&s.area, [](TdlgRentPeriod *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Период"));
            dlg->beginEdit()->setDate(QDate(2026, 2, 1));
            dlg->endEdit()->setDate(QDate(2026, 3, 1));
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        QVERIFY(deleteOperationsForPeriod(s.context, &s.area));
        QCOMPARE(operations(s.db(), 1800), 2);
        QCOMPARE(operations(s.db(), 1700), 1);
        QCOMPARE(prompts.messages.last().text, QStringLiteral("Удалено операций: 1"));
        // The dialog remembers its values for the user.
        const TPeriodSettings p = TPeriodSettings::read(s.options);
        QCOMPARE(p.Begin, QDate(2026, 2, 1));
        QCOMPARE(p.All, false);

        // "Удалить все операции" takes every lease operation whatever its date.
        korvex::test::whenModal<TdlgRentPeriod>(&s.area, [](TdlgRentPeriod *dlg) {
            QCOMPARE(dlg->beginEdit()->date(), QDate(2026, 2, 1));
            dlg->allBox()->setChecked(true);
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        QVERIFY(deleteOperationsForPeriod(s.context, &s.area));
        QCOMPARE(operations(s.db(), 1800), 0);
        QCOMPARE(operations(s.db(), 1700), 1);
        QCOMPARE(TPeriodSettings::read(s.options).All, true);
        QVERIFY(!s.db().inTransaction());

        // A period that ends before it begins is refused, the dialog stays.
        korvex::test::whenModal<TdlgRentPeriod>(&s.area, [&](TdlgRentPeriod *dlg) {
            dlg->allBox()->setChecked(false);
            dlg->beginEdit()->setDate(QDate(2026, 5, 1));
            dlg->endEdit()->setDate(QDate(2026, 4, 1));
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
            QVERIFY(dlg->isVisible());
            QCOMPARE(prompts.messages.last().text, QStringLiteral("Начало периода позже его окончания."));
            dlg->reject();
        });
        QVERIFY(!deleteOperationsForPeriod(s.context, &s.area));
    }

    // The rebuild asks first, runs in one transaction and gives the debts
    // that booking the documents one by one gave.
    void rebuildsDebts()
    {
        Session s(TestDatabase::Content::Demo);
        auto balances = [&] {
            TxQuery q(s.db());
            q.exec(QStringLiteral("SELECT contractservicekey, debtdate, costncu, costcurr FROM rent_debt "
                                  "ORDER BY contractservicekey, debtdate"));
            QStringList out;
            while (q.next())
                out << QStringLiteral("%1@%2=%3/%4").arg(q.value(0).toInt()).arg(q.value(1).toDate().toString(Qt::ISODate))
                           .arg(q.value(2).toDouble(), 0, 'f', 2).arg(q.value(3).toDouble(), 0, 'f', 2);
            return out;
        };
        const QStringList booked = balances();
        QVERIFY(!booked.isEmpty());
        TxQuery::execute(s.db(), QStringLiteral("DELETE FROM rent_debt"));

        TxPromptRecorder no(false);
        {
            TxMessages::Intercept intercept(no);
            QVERIFY(!rebuildDebts(s.context, &s.area));
        }
        QCOMPARE(no.messages.size(), 1);
        QCOMPARE(no.messages.first().kind, TxMessageKind::Question);
        QVERIFY(balances().isEmpty());

        TxPromptRecorder yes(true);
        TxMessages::Intercept intercept(yes);
        QVERIFY(rebuildDebts(s.context, &s.area));
        QCOMPARE(balances(), booked);

        // A failure half way leaves the debts as they were.
        TxQuery::execute(s.db(), QStringLiteral("CREATE TABLE t_fail (x INTEGER)"));
        TxQuery::execute(s.db(), QStringLiteral("CREATE TRIGGER t_fail_debt FOR rent_debtmove AFTER INSERT AS "
                                                "BEGIN IF (EXISTS (SELECT 1 FROM t_fail)) THEN "
                                                "EXCEPTION rent_e_document_missing 'сбой'; END"));
        TxQuery::execute(s.db(), QStringLiteral("INSERT INTO t_fail VALUES (1)"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, rebuildDebts(s.context, &s.area));
        QCOMPARE(balances(), booked);
        QVERIFY(!s.db().inTransaction());
    }
};

// "Настройки таблиц": the stored layouts edited in place.
class VisualSettingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void editsAndDeletesLayouts()
    {
        Session s;
        TRunTimeStoreTables tables(s.db());
        const int first = tables.appendLayout(5, -1, QStringLiteral("ptCurrency.CurrencyGrid"));
        TCachedStore column;
        column.FieldName = QStringLiteral("NAME");
        column.DisplayWidth = 20;
        tables.appendField(first, column, false);
        const int second = tables.appendLayout(6, 10, QStringLiteral("ptContract.ContractGrid"));

        TxPromptRecorder prompts(true);
        TxMessages::Intercept intercept(prompts);
        TptVisualSettings page(s.context, &s.area);
        QCOMPARE(page.layouts()->rowCount(), 2);
        QCOMPARE(page.layouts()->keyOf(0), first);
        QCOMPARE(page.columns()->rowCount(), 1);

        // A typed value is written at once; text in a number column is refused.
        const int widthColumn = page.columnGrid()->fieldColumn(QStringLiteral("DISPLAYWIDTH"));
        QVERIFY(page.columns()->setData(page.columns()->index(0, widthColumn), QStringLiteral("35")));
        QCOMPARE(TxQuery::scalar(s.db(), QStringLiteral("SELECT displaywidth FROM fin_rtsfield")).toInt(), 35);
        QVERIFY(!page.columns()->setData(page.columns()->index(0, widthColumn), QStringLiteral("широко")));
        QCOMPARE(prompts.messages.size(), 1);
        const int nameColumn = page.layoutGrid()->fieldColumn(QStringLiteral("TABLENAME"));
        QVERIFY(page.layouts()->setData(page.layouts()->index(1, nameColumn), QStringLiteral("ptContract.Grid")));
        QCOMPARE(TxQuery::scalar(s.db(), QStringLiteral("SELECT tablename FROM fin_rts WHERE storekey = ?"), {second}).toString(),
                 QStringLiteral("ptContract.Grid"));

        // Deleting a layout takes its columns: the user gets the design back.
        page.layoutGrid()->setCurrentIndex(page.layouts()->index(0, 1));
        page.trigger(TPart::Action::Delete);
        QCOMPARE(page.layouts()->rowCount(), 1);
        QCOMPARE(TxQuery::scalar(s.db(), QStringLiteral("SELECT COUNT(*) FROM fin_rtsfield")).toInt(), 0);
        QCOMPARE(tables.findStore(5, -1, QStringLiteral("ptCurrency.CurrencyGrid")), std::nullopt);
        QVERIFY(!s.db().inTransaction());
    }
};

KORVEX_TEST_CLASS(OptionPagesTest)
KORVEX_TEST_CLASS(MaintenanceTest)
KORVEX_TEST_CLASS(VisualSettingsTest)

#include "tst_optionpages.moc"
