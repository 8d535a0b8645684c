#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "app/desktop/MAINFORM_UNIT.h"
#include "app/desktop/PageTable.h"
#include "app/desktop/ptOptions.h"
#include "app/desktop/ptReference.h"
#include "widgets/ui/Part.h"
#include "widgets/ui/xAppRegistry.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xEditDialog.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <QDialog>
#include <QToolButton>
#include <QVBoxLayout>

KORVEX_TEST_GUI_PROGRAM()

using namespace korvex::db;
using namespace korvex::shell;
using namespace korvex::widgets;
using korvex::test::TxPromptRecorder;
using korvex::test::TestDatabase;

// ---------------------------------------------------------------------------
class MainFormTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<TmmOptions> m_options;
    std::unique_ptr<TAppContext> m_context;

    std::optional<int> storedPage() { return m_options->GetIntegerOption(QStringLiteral("rent_contractpart")); }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        m_options = std::make_unique<TmmOptions>(m_t->db(), 5);
        m_context.reset(new TAppContext{m_t->db(), *m_options, nullptr});
    }
    void cleanup()
    {
        m_context.reset();
        m_options.reset();
        m_t.reset();
    }

    void switchingAndTitle()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        QTest::mouseClick(form.link(10), Qt::LeftButton);
        QCOMPARE(form.currentPageCode(), 10);
        QCOMPARE(form.windowTitle(), QStringLiteral("Аренда Корвекса - Договора"));
        QVERIFY(!form.startScreen()->isVisible());
        QTest::mouseClick(form.link(30), Qt::LeftButton);
        QCOMPARE(form.windowTitle(), QStringLiteral("Аренда Корвекса - Платежи"));
        QCOMPARE(form.previousPageCode(), 10);
        QCOMPARE(storedPage(), std::optional<int>(30));
    }

    // A second click on the link of the page shown closes it; "Back" then
    // shows the page that was closed.
    void secondClickClosesAndBackReopens()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        form.switchToPage(20);
        form.switchToPage(20);
        QCOMPARE(form.currentPageCode(), -1);
        QVERIFY(form.startScreen()->isVisible());
        QCOMPARE(form.windowTitle(), QStringLiteral("Аренда Корвекса"));
        form.back();
        QCOMPARE(form.currentPageCode(), 20);
        QCOMPARE(form.currentPage()->caption(), QStringLiteral("Счета фактуры"));
    }

    void codeWithoutPageIsStillStored()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        form.switchToPage(555);
        QCOMPARE(form.currentPageCode(), -1);
        QVERIFY(form.startScreen()->isVisible());
        QCOMPARE(storedPage(), std::optional<int>(555));
    }

    void storedPageOpensOnFirstActivation()
    {
        m_options->SetIntegerOption(QStringLiteral("rent_contractpart"), true, 916);
        TAPPMAINFORM form(*m_context);
        form.show();
        QTRY_COMPARE(form.currentPageCode(), 916);
        form.switchToPage(916);  // closed again
        form.restoreStoredPage();  // only the first activation restores
        QCOMPARE(form.currentPageCode(), -1);
    }

    // A page asks for another page through the queued message: its own
    // handler finishes before it is destroyed.
    void pageSwitchFromAPageIsQueued()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        form.switchToPage(916);
        auto *reference = qobject_cast<TptReference *>(form.currentPage());
        QVERIFY(reference);
        QPointer<TptReference> alive(reference);
        reference->openItem(reference->items()->item(1));  // "Курсы валют"
        QVERIFY(alive);  // still there after its handler returned
        QCOMPARE(form.currentPageCode(), 916);
        QTRY_COMPARE(form.currentPageCode(), 300);
        QVERIFY(!alive);
    }

    // A switch asked for while a page's message box is open waits until the
    // box is closed: the page must outlive the box it shows.
    void pageSwitchWaitsForAModalWindow()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        form.switchToPage(916);
        QPointer<TPart> page(form.currentPage());
        QVERIFY(page);
        int seenDuringBox = 0;
        {
            // As a page's own box: on the stack, a child of the page, gone
            // before control returns to the event loop.
            QDialog box(page);
            box.setModal(true);
            QTimer::singleShot(0, &box, [&] {
                form.postSwitchToPage(300);
                QTest::qWait(200);
                seenDuringBox = form.currentPageCode();
                box.accept();
            });
            box.exec();
        }
        QCOMPARE(seenDuringBox, 916);
        QVERIFY(page);
        QTRY_COMPARE(form.currentPageCode(), 300);
        QVERIFY(!page);
    }

    // The denominations are pending rows written together on "Закрыть": a
    // row typed in and a row removed, or nothing at all on "Отмена".
    void denominationGridEdits()
    {
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO rent_denomination (id, number, coeff) VALUES (1, '2016', 10000)"));
        auto count = [&] { return TxQuery::scalar(m_t->db(), QStringLiteral("SELECT COUNT(*) FROM rent_denomination")).toInt(); };
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        {
            TptDenominasion dialog(*m_context);
            auto *view = dialog.findChild<QTableView *>(QStringLiteral("grDenomination"));
            QVERIFY(view);
            QCOMPARE(view->model()->rowCount(), 1);
            korvex::reference::TDenominationModel *rows = dialog.rows();
            rows->removeRecord(0);
            const int row = rows->appendRecord({});
            QVERIFY(rows->setData(rows->index(row, korvex::reference::TDenominationModel::NumberColumn), QStringLiteral("2000")));
            QVERIFY(rows->setData(rows->index(row, korvex::reference::TDenominationModel::CoeffColumn), QStringLiteral("1 000,5")));
            QVERIFY(!rows->setData(rows->index(row, korvex::reference::TDenominationModel::CoeffColumn), QStringLiteral("x")));
            QCOMPARE(prompts.messages.size(), 1);
            dialog.reject();
            QCOMPARE(count(), 1);
            QVERIFY(dialog.save());
        }
        QCOMPARE(count(), 1);
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT number FROM rent_denomination")).toString().trimmed(),
                 QStringLiteral("2000"));
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT coeff FROM rent_denomination")).toDouble(), 1000.5);
        QVERIFY(!m_t->db().inTransaction());
    }

    void hintLineBreaks()
    {
        QCOMPARE(TAPPMAINFORM::hintText(QStringLiteral("Первая\\nвторая")), QStringLiteral("Первая\nвторая"));
    }

    void workAreaAndParentAreRequired()
    {
        TMainForm bare(*m_context);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, bare.attachWorkArea());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, TPart(*m_context, 1, nullptr));
    }

    // A page opens again on the tab it was left on, its list and its
    // contents both there.
    void pageRemembersItsTab()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        form.switchToPage(60);
        QCOMPARE(form.currentPage()->currentTab(), 0);
        form.currentPage()->setCurrentTab(2);
        form.switchToPage(916);
        form.switchToPage(60);
        QCOMPARE(form.currentPage()->currentTab(), 2);
        auto *pages = form.currentPage()->findChild<QStackedWidget *>(QStringLiteral("PartPages"));
        QVERIFY(pages);
        QCOMPARE(pages->currentIndex(), 2);
        form.currentPage()->setCurrentTab(0);
    }

    // "Настройки" reaches its pages and starts its actions, with the
    // bookkeeping link of the main window.
    void optionsPageItems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");  // -1: an action, not a page
        QTest::addColumn<bool>("enabled");
        QTest::newRow("variables") << "Переменные" << 120 << true;
        QTest::newRow("formulas") << "Формулы" << 196 << true;
        QTest::newRow("SQL") << "SQL - запросы" << 123 << true;
        QTest::newRow("common options") << "Общие настройки" << 110 << true;
        QTest::newRow("user options") << "Настройки пользователя" << 111 << true;
        QTest::newRow("grid settings") << "Визуальные настройки таблиц" << 999 << true;
        QTest::newRow("take over customers") << "Синхронизация клиентов из Бугалтерии" << -1 << true;
        QTest::newRow("transfer customers") << "Перенос клиентов в бухгалтерию" << -1 << true;
        QTest::newRow("export") << "Экспорт данных в бухгалтерию" << -1 << true;
        QTest::newRow("debts") << "Перерасчет задолженностей" << -1 << true;
        QTest::newRow("delete operations") << "Удаление операций за период" << -1 << true;
    }
    void optionsPageItems()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(bool, enabled);
        TAPPMAINFORM form(*m_context);
        form.show();
        QTRY_VERIFY(form.storedPageRestored());
        if (form.currentPageCode() != 100)
            QTest::mouseClick(form.link(100), Qt::LeftButton);
        auto *options = qobject_cast<TptOptions *>(form.currentPage());
        QVERIFY(options);
        QCOMPARE(options->chapter(), QStringLiteral("Настройки системы"));
        QCOMPARE(options->items()->count(), 11);
        QListWidgetItem *item = options->item(text);
        QVERIFY(item);
        QCOMPARE(bool(item->flags() & Qt::ItemIsEnabled), enabled);
        if (code < 0)
            return;
        options->openItem(item);
        if (enabled) {
            QTRY_COMPARE(form.currentPageCode(), code);
            QCOMPARE(form.currentPage()->section(), QStringLiteral("Настройки"));
        } else {
            QTest::qWait(50);
            QCOMPARE(form.currentPageCode(), 100);
        }
    }

    // Pages with a menu and pages without one sit in the same frame, and the
    // keyboard is in the page's list as soon as it shows.
    void everyPageHasTheSameFrame()
    {
        TAPPMAINFORM form(*m_context);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QRect start = form.workArea()->geometry();
        for (int code : {60, 300, 120, 916}) {
            form.switchToPage(code);
            QCOMPARE(form.workArea()->geometry(), start);
        }
        QTRY_COMPARE(QApplication::focusWidget(), qobject_cast<TptReference *>(form.currentPage())->items());
    }

    // Every page opens under its caption, every tab of it without an error,
    // and no list on any of its tabs shows a database column name for a title.
    void everyPageCodeOpens()
    {
        // A database name: one word of Latin letters, digits and underscores
        // ("URL" is the program's own title).
        static const QRegularExpression fieldName(QStringLiteral("^(?!URL$)[A-Za-z_][A-Za-z0-9_]*$"));
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TAPPMAINFORM form(*m_context);
        form.show();
        QTRY_VERIFY(form.storedPageRestored());
        for (int code : pageCodes()) {
            form.switchToPage(code);
            QCOMPARE(form.currentPageCode(), code);
            QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - ") + pageInfo(code)->caption));
            TPart *page = form.currentPage();
            for (int tab = 0; tab < page->tabList()->count(); ++tab) {
                page->setCurrentTab(tab);
                for (QHeaderView *header : page->findChildren<QHeaderView *>()) {
                    if (header->orientation() != Qt::Horizontal || !header->isVisibleTo(page) || !header->model())
                        continue;
                    for (int c = 0; c < header->count(); ++c) {
                        const QString title = header->model()->headerData(c, Qt::Horizontal).toString();
                        QVERIFY2(header->isSectionHidden(c) || !fieldName.match(title.trimmed()).hasMatch(),
                                 qPrintable(QStringLiteral("page %1, tab %2: %3").arg(code).arg(tab).arg(title)));
                    }
                }
                QVERIFY2(prompts.messages.isEmpty(), qPrintable(QStringLiteral("page %1, tab %2: %3")
                                                                    .arg(code).arg(tab).arg(prompts.messages.value(0).text)));
            }
        }
    }
};

// ---------------------------------------------------------------------------
class RegistryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void componentPaths()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("dlgContract"));
        auto *panel = new QWidget(&form);
        auto *grid = new QListWidget(panel);
        grid->setObjectName(QStringLiteral("grServices"));
        QCOMPARE(TxAppRegistry::componentPath(grid), QStringLiteral("dlgContract/Widget/grServices"));
        QWidget unnamed;
        unnamed.setProperty("tag", 3);
        QCOMPARE(TxAppRegistry::componentPath(&unnamed), QStringLiteral("Widget #3"));
    }

    void placementIsRestoredAndForgotten()
    {
        {
            QWidget form;
            form.setObjectName(QStringLiteral("frmPlace"));
            form.setGeometry(100, 120, 400, 300);
            TFormPlaceSaver saver(&form);
            saver.save();
        }
        QWidget form;
        form.setObjectName(QStringLiteral("frmPlace"));
        form.setGeometry(0, 0, 200, 100);
        TFormPlaceSaver saver(&form);
        saver.restore();
        QCOMPARE(form.geometry().size(), QSize(400, 300));

        QVERIFY(TxAppRegistry::handleCommandLine({QStringLiteral("korvex-rent"), QStringLiteral("/e")}));
        QWidget fresh;
        fresh.setObjectName(QStringLiteral("frmPlace"));
        fresh.setGeometry(0, 0, 200, 100);
        TFormPlaceSaver saver2(&fresh);
        saver2.restore();
        QCOMPARE(fresh.geometry().size(), QSize(200, 100));
        QVERIFY(!TxAppRegistry::handleCommandLine({QStringLiteral("korvex-rent"), QStringLiteral("/X")}));
    }

    // On a first start nothing is stored: a window is centred on its screen
    // with its title bar on it, never put at the screen's corner. A place
    // stored on a screen no longer there comes back onto this one.
    void windowPlacementStaysOnTheScreen_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("nothing stored") << false << QPoint();
        QTest::newRow("far left") << true << QPoint(-5000, 40);
        QTest::newRow("above the screen") << true << QPoint(30, -300);
        QTest::newRow("far right and down") << true << QPoint(9000, 9000);
    }
    void windowPlacementStaysOnTheScreen()
    {
        QFETCH(bool, stored);
        QFETCH(QPoint, place);
        TxAppRegistry::forgetAll();
        if (stored) {
            TxAppRegistry reg;
            reg.writeInt(QStringLiteral("frmFirst/FormData"), QStringLiteral("Left"), place.x());
            reg.writeInt(QStringLiteral("frmFirst/FormData"), QStringLiteral("Top"), place.y());
        }
        QWidget form;
        form.setObjectName(QStringLiteral("frmFirst"));
        form.resize(5000, 300);  // wider than any screen
        TFormPlaceSaver(&form, true).restore();
        const QRect area = form.screen()->availableGeometry();
        QVERIFY2(area.contains(form.geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                 .arg(form.geometry().x()).arg(form.geometry().y())
                                                                 .arg(form.width()).arg(form.height())));
        QVERIFY(form.geometry().top() >= area.top() + 20);  // room for the title bar
        if (!stored)
            QVERIFY(qAbs(form.geometry().center().x() - area.center().x()) <= 1);
        TxAppRegistry::forgetAll();
    }

    // Grid layouts are the user's, kept in the database: the registry keeps
    // window placements and tabs only.
    void gridLayoutStaysOutOfRegistry()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("frmGrid"));
        auto *model = new QStandardItemModel(2, 3, &form);
        model->setObjectName(QStringLiteral("qryList"));
        model->setHorizontalHeaderLabels({QStringLiteral("NUMBER"), QStringLiteral("NAME"), QStringLiteral("SUMNCU")});
        auto *view = new QTableView(&form);
        view->setObjectName(QStringLiteral("grList"));
        view->setModel(model);
        view->horizontalHeader()->resizeSection(1, 230);
        TFormPlaceSaver(&form).save();
        TxAppRegistry reg;
        QCOMPARE(reg.readInt(QStringLiteral("frmGrid/qryList"), QStringLiteral("NAME.DisplayWidth")), std::nullopt);
        QCOMPARE(reg.readString(QStringLiteral("frmGrid/grList/Font"), QStringLiteral("Style")), std::nullopt);
        QVERIFY(reg.readString(QStringLiteral("frmGrid/FormData"), QStringLiteral("State")).has_value());
    }
};

// ---------------------------------------------------------------------------
// A dialog over a tiny table: a header row and one detail row written on "Ок".
class TinyDialog : public TxEditDialog
{
public:
    QLineEdit *name;
    QLineEdit *code;
    TxCheckedEdit *amount;
    int key = 2;  // row 1 of t_detail exists: failDetail collides with it
    bool failDetail = false;
    bool refuse = false;  // a business rule refuses the record after its first row

    explicit TinyDialog(TxDatabase &db)
        : TxEditDialog(db)
    {
        name = new QLineEdit(this);
        code = new QLineEdit(this);
        amount = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
        contentLayout()->addWidget(name);
        contentLayout()->addWidget(code);
        contentLayout()->addWidget(amount);
        addRequired(name, QStringLiteral("Введите наименование"));
        addRequired(code, QStringLiteral("Введите код"));
        setNextEnabled(true);
    }

protected:
    int writeRecord() override
    {
        const std::optional<double> value = amount->floatValue();
        TxQuery::execute(db(), QStringLiteral("INSERT INTO t_head (id, name, code, amount) VALUES (?, ?, ?, ?)"),
                         {key, name->text(), code->text(), value ? QVariant(*value) : QVariant(QMetaType::fromType<double>())});
        if (refuse)
            throw EBusinessError(QStringLiteral("Код уже занят"));
        TxQuery::execute(db(), QStringLiteral("INSERT INTO t_detail (id, headkey) VALUES (?, ?)"),
                         {failDetail ? 1 : key, key});
        return key;
    }
    void startNextRecord() override
    {
        ++key;
        name->clear();
        code->clear();
    }
};

class EditDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    int count(const QString &table)
    {
        return TxQuery::scalar(m_t->db(), QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_t = TestDatabase::empty();
        TxQuery::execute(m_t->db(), QStringLiteral("CREATE TABLE t_head (id INTEGER NOT NULL PRIMARY KEY, "
                                                   "name VARCHAR(20), code VARCHAR(5), amount DOUBLE PRECISION)"));
        TxQuery::execute(m_t->db(), QStringLiteral("CREATE TABLE t_detail (id INTEGER NOT NULL PRIMARY KEY, headkey INTEGER)"));
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO t_detail (id, headkey) VALUES (1, 0)"));
    }
    void cleanup() { m_t.reset(); }

    // Required fields are checked in order: the first empty one is named and
    // gets the cursor, and the dialog stays open.
    void requiredFieldsInOrder()
    {
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TinyDialog d(m_t->db());
        d.key = 5;
        d.show();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.last().text, QStringLiteral("Введите наименование"));
        QCOMPARE(prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QCOMPARE(d.focusWidget(), d.name);
        QVERIFY(d.isVisible());

        QTest::keyClicks(d.name, QStringLiteral("Store"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages.last().text, QStringLiteral("Введите код"));
        QCOMPARE(d.focusWidget(), d.code);
        QCOMPARE(count(QStringLiteral("t_head")), 0);

        QTest::keyClicks(d.code, QStringLiteral("S1"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(count(QStringLiteral("t_head")), 1);
        QCOMPARE(prompts.messages.size(), 2);
    }

    // The dialog opens with the cursor in its first field, whatever was
    // made first: typing goes there, and Space presses no button. The
    // buttons come last in the Tab order.
    void opensWithTheCursorInTheFirstField()
    {
        TinyDialog d(m_t->db());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_COMPARE(QApplication::focusWidget(), d.name);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("A B"));
        QCOMPARE(d.name->text(), QStringLiteral("A B"));
        QVERIFY(d.isVisible());
        QCOMPARE(count(QStringLiteral("t_head")), 0);
        d.amount->setFocus();
        QTest::keyClick(d.amount, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d.okButton());
        QVERIFY(!d.okButton()->isDefault());
    }

    // Enter in a field moves on to the next one and stores nothing; on a
    // button it presses the button.
    void enterMovesToTheNextField()
    {
        TinyDialog d(m_t->db());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_COMPARE(QApplication::focusWidget(), d.name);
        QTest::keyClicks(d.name, QStringLiteral("Store"));
        QTest::keyClick(d.name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d.code);
        QTest::keyClicks(d.code, QStringLiteral("S1"));
        QTest::keyClick(d.code, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), d.amount);
        QTest::keyClick(d.amount, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d.okButton());
        QVERIFY(d.isVisible());
        QCOMPARE(count(QStringLiteral("t_head")), 0);
        QTest::keyClick(d.okButton(), Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(count(QStringLiteral("t_head")), 1);
    }

    // Text that is no number is never stored in place of the value: saving
    // says "Ошибка" (with what is expected) and keeps the cursor in the
    // field; leaving the field brings back the value it had.
    void badNumberIsNeverStored()
    {
        TinyDialog d(m_t->db());
        d.name->setText(QStringLiteral("A"));
        d.code->setText(QStringLiteral("B"));
        d.amount->setFloatValue(1.5);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.amount->setFocus();
        QTRY_VERIFY(d.amount->hasFocus());
        d.amount->selectAll();
        QTest::keyClicks(d.amount, QStringLiteral("abc"));
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        d.okButton()->click();  // as the mnemonic or a script: the focus stays
        QVERIFY(d.isVisible());
        QCOMPARE(count(QStringLiteral("t_head")), 0);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.last().text, QStringLiteral("Ошибка"));
        QCOMPARE(prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY(!prompts.messages.last().detail.isEmpty());
        QTRY_VERIFY(d.amount->hasFocus());

        QTest::keyClick(d.amount, Qt::Key_Tab);
        QCOMPARE(d.amount->text(), QStringLiteral("1,5"));
        QCOMPARE(prompts.messages.size(), 2);
        d.okButton()->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT amount FROM t_head")).toDouble(), 1.5);
    }

    // A long text shows its start, in a field sized for what it may hold.
    void longTextShowsItsStart()
    {
        TinyDialog d(m_t->db());
        d.name->setMaxLength(60);
        d.code->setText(QStringLiteral("220073, г. Минск, ул. Кальварийская, д. 9, корп. 2, кв. 14"));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.code->cursorPosition(), 0);
        const int letter = d.fontMetrics().averageCharWidth();
        QVERIFY2(d.name->width() >= 30 * letter, qPrintable(QString::number(d.name->width())));
        QVERIFY(d.code->width() >= 30 * letter);
    }

    // A refused write shows the server's text, leaves nothing behind and
    // keeps the dialog open for another try.
    void databaseErrorRollsBack()
    {
        TinyDialog d(m_t->db());
        d.name->setText(QStringLiteral("A"));
        d.code->setText(QStringLiteral("B"));
        d.failDetail = true;
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QVERIFY(!d.save());
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.messages.last().text.contains(QStringLiteral("PRIMARY")), qPrintable(prompts.messages.last().text));
        QCOMPARE(count(QStringLiteral("t_head")), 0);
        QVERIFY(!m_t->db().inTransaction());
        d.failDetail = false;
        QVERIFY(d.save());
        QCOMPARE(count(QStringLiteral("t_head")), 1);
    }

    // Inside the caller's transaction the dialog neither commits nor touches
    // the caller's earlier work when its own write fails.
    void joinsCallersTransaction()
    {
        TxTransaction outer(m_t->db());
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO t_head (id, name) VALUES (100, 'caller')"));
        {
            TinyDialog d(m_t->db());
            d.name->setText(QStringLiteral("A"));
            d.code->setText(QStringLiteral("B"));
            d.failDetail = true;
            TxPromptRecorder prompts;
            TxMessages::Intercept intercept(prompts);
            QVERIFY(!d.save());
            QVERIFY(m_t->db().inTransaction());
            QCOMPARE(count(QStringLiteral("t_head")), 1);  // the caller's row only
            d.failDetail = false;
            QVERIFY(d.save());
            QCOMPARE(count(QStringLiteral("t_head")), 2);
        }
        QVERIFY(m_t->db().inTransaction());
        outer.rollback();
        QCOMPARE(count(QStringLiteral("t_head")), 0);
    }

    void nextStoresAndStartsANewRecord()
    {
        TinyDialog d(m_t->db());
        d.key = 10;
        d.name->setText(QStringLiteral("A"));
        d.code->setText(QStringLiteral("B"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QCOMPARE(d.key, 11);
        QVERIFY(d.name->text().isEmpty());
        QCOMPARE(d.savedKey(), 10);
        QCOMPARE(d.recordKey(), 0);  // the next record is new
        d.name->setText(QStringLiteral("C"));
        d.code->setText(QStringLiteral("D"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(count(QStringLiteral("t_head")), 2);
        QCOMPARE(d.savedCount(), 2);
        QCOMPARE(d.savedKey(), 11);
        QCOMPARE(d.recordKey(), 11);
    }

    // A business rule that refuses the record is shown like a database
    // error: the dialog stays open and the rows written before it are undone.
    void businessRuleRefusal()
    {
        TinyDialog d(m_t->db());
        d.name->setText(QStringLiteral("A"));
        d.code->setText(QStringLiteral("B"));
        d.refuse = true;
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QVERIFY(!d.save());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.last().text, QStringLiteral("Код уже занят"));
        QCOMPARE(prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QCOMPARE(count(QStringLiteral("t_head")), 0);
        QCOMPARE(d.savedKey(), 0);
        QVERIFY(!m_t->db().inTransaction());
    }

    // No failure of a slot reaches the event loop: the one guard shows it.
    void guardShowsEveryFailure_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("rule") << 0 << QStringLiteral("Правило");
        QTest::newRow("database") << 1 << QStringLiteral("База");
        QTest::newRow("other") << 2 << QStringLiteral("Другое");
    }
    void guardShowsEveryFailure()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QPushButton button;
        QObject::connect(&button, &QPushButton::clicked, &button, [&] {
            korvex::widgets::guarded(&button, [&] {
                if (kind == 0)
                    throw EBusinessError(text);
                if (kind == 1)
                    throw EDatabaseError(text);
                throw std::runtime_error(text.toStdString());
            });
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.at(0).text, text);
        QCOMPARE(prompts.messages.at(0).kind, korvex::widgets::TxMessageKind::Error);
    }
};

#include "tst_mainform.moc"

KORVEX_TEST_CLASS(MainFormTest)
KORVEX_TEST_CLASS(RegistryTest)
KORVEX_TEST_CLASS(EditDialogTest)
