#include "common/testMain.h"
#include "common/testPrompt.h"
#include "reference/referenceFixture.h"

#include "calc/boRentVariable.h"
#include "calc/calcDialogs.h"
#include "calc/ui/dlgRentChooseVariable.h"
#include "db/xBusinessError.h"
#include "pricing/ui/dlgFine.h"
#include "pricing/ui/dlgRentVariable.h"
#include "pricing/ui/ptVariable.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace korvex::calc;
using namespace korvex::db;
using korvex::test::TestDatabase;
using korvex::widgets::TxMessage;
using korvex::widgets::TxMessages;
using korvex::test::TxPromptRecorder;

namespace {

// Answers every question as told and records what was shown; the chooser
// answers with a fixed name.
struct RecordingDialogs : TCalcDialogs {
    TxPromptRecorder prompts{true};
    QString chosen;
    korvex::widgets::TxPrompt &prompt() override { return prompts; }
    QString chooseVariableFrom(TboRentVariable &) override { return chosen; }
};

QVariant scalar(TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return TxQuery::scalar(db, sql, values);
}

bool valueRowExists(TxDatabase &db, int id)
{
    return scalar(db, QStringLiteral("SELECT 1 FROM rent_valuevariable WHERE id = ?"), {id}).isValid();
}

QStringList texts(const QList<TxMessage> &messages)
{
    QStringList list;
    for (const TxMessage &m : messages)
        list << m.text;
    return list;
}

} // namespace

// The variable and value dialogs on the demo data: ПЛОЩАДЬ (id 2) is bound
// to the object and has a value for object 5; ПЕНЯ (id 4) is bound to the
// customer; ИНДЕКС (id 3) to nothing.
class VariableDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    RecordingDialogs m_dialogs;
    TxPromptRecorder m_messages;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo); }
    void cleanupTestCase() { m_s.reset(); }
    void init() { m_messages.messages.clear(); }

    void variableName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");  // empty: stored
        const QString letters = QStringLiteral(
            "Некоректно введено наименование переменной. В переменной не должно быть пробелов, цифр и знаков");
        QTest::newRow("empty") << QString() << QStringLiteral("Введите наименование");
        QTest::newRow("digit") << QStringLiteral("АРЕНДА2") << letters;
        QTest::newRow("inner blank") << QStringLiteral("АР ЕНДА") << letters;
        QTest::newRow("sign") << QStringLiteral("АРЕНДА_1") << letters;
        QTest::newRow("Ё is no formula letter") << QStringLiteral("ЁМКОСТЬ") << letters;
        QTest::newRow("built-in name") << QStringLiteral("курс")
                                       << QStringLiteral("Имя \"курс\" занято: так называется стандартная переменная "
                                                         "или слово языка формул");
        QTest::newRow("name taken") << QStringLiteral("площадь") << QStringLiteral("Такая переменная уже существует");
        QTest::newRow("Cyrillic letters") << QStringLiteral("Аренда") << QString();
        QTest::newRow("Latin letters") << QStringLiteral("Rent") << QString();
    }
    // "Ок" checks the name first; a refused name keeps the dialog open with
    // the cursor on the name and stores nothing.
    void variableName()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TxMessages::Intercept intercept(m_messages);
        TboRentVariable bo(m_s->context, &m_dialogs);
        const int before = scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_variable")).toInt();
        TdlgRentVariable dlg(bo, bo.newRecord(1, name), true);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        if (message.isEmpty()) {
            QCOMPARE(texts(m_messages.messages), QStringList());
            QVERIFY(dlg.savedKey() > 0);
            QCOMPARE(scalar(db(), QStringLiteral("SELECT name FROM rent_variable WHERE id = ?"), {dlg.savedKey()}).toString(),
                     name.toUpper());
            QCOMPARE(scalar(db(), QStringLiteral("SELECT parent FROM rent_variable WHERE id = ?"), {dlg.savedKey()}).toInt(), 1);
            TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_variable WHERE id = ?"), {dlg.savedKey()});
        } else {
            QCOMPARE(texts(m_messages.messages), QStringList{message});
            QCOMPARE(m_messages.messages.at(0).caption, QStringLiteral("Внимание!"));
            QVERIFY(dlg.isVisible());
            QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_variable")).toInt(), before);
        }
        QVERIFY(!db().inTransaction());
    }

    // Editing shows the bindings without letting them change.
    void bindingsFixedOnEdit()
    {
        TboRentVariable bo(m_s->context, &m_dialogs);
        TdlgRentVariable dlg(bo, *bo.readVariable(2), false);
        QVERIFY(dlg.objectCheck()->isChecked());
        QVERIFY(!dlg.objectCheck()->isEnabled());
        QVERIFY(dlg.nextButton()->isHidden());
    }

    void valueChecks_data()
    {
        QTest::addColumn<int>("variable");
        QTest::addColumn<int>("object");
        QTest::addColumn<int>("customer");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("message");
        QTest::newRow("no variable") << 0 << 5 << 3 << false << QStringLiteral("Выберите переменную.");
        QTest::newRow("bound object missing") << 2 << 0 << 3 << false << QStringLiteral("Выберите объект");
        QTest::newRow("bound customer missing") << 4 << 5 << 0 << false << QStringLiteral("Выберите клиента");
        QTest::newRow("same row by Ок") << 2 << 5 << 0 << false << QStringLiteral("Такая переменная уже существует");
        QTest::newRow("same row by Следующий") << 2 << 5 << 0 << true << QStringLiteral("Такая переменная уже существует");
        QTest::newRow("customer ignored: same row") << 2 << 5 << 3 << false
                                                    << QStringLiteral("Такая переменная уже существует");
        QTest::newRow("unbound variable: its one row exists") << 3 << 5 << 3 << true
                                                              << QStringLiteral("Такая переменная уже существует");
        QTest::newRow("new object") << 2 << 39 << 3 << true << QString();
    }
    // The checks in their order; a row is stored with the keys of the boxes
    // the variable opens only.
    void valueChecks()
    {
        QFETCH(int, variable);
        QFETCH(int, object);
        QFETCH(int, customer);
        QFETCH(bool, next);
        QFETCH(QString, message);
        TxMessages::Intercept intercept(m_messages);
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        const int before = scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_valuevariable")).toInt();
        TValueVariableRecord record = bo.newRecord(2);
        if (variable)
            record.variableKey = variable;
        if (object)
            record.objectKey = object;
        if (customer)
            record.customerKey = customer;
        record.value = 12.5;
        TdlgRentValueVariable dlg(bo, record, true, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.objectBox()->isEnabled(), variable == 2);
        QCOMPARE(dlg.serviceBox()->isEnabled(), false);
        QCOMPARE(dlg.customerBox()->isEnabled(), variable == 4);
        QTest::mouseClick(next ? dlg.nextButton() : dlg.okButton(), Qt::LeftButton);
        if (!message.isEmpty()) {
            QCOMPARE(texts(m_messages.messages), QStringList{message});
            QCOMPARE(m_messages.messages.at(0).caption, QStringLiteral("Внимание!"));
            QVERIFY(dlg.isVisible());
            QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_valuevariable")).toInt(), before);
            return;
        }
        QCOMPARE(texts(m_messages.messages), QStringList());
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT parent, variablekey, objectkey, servicekey, customerkey, valuevariable "
                              "FROM rent_valuevariable WHERE id = ?"),
               {dlg.savedKey()});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        QCOMPARE(q.value(1).toInt(), variable);
        QCOMPARE(q.value(2).toInt(), object);
        QVERIFY(q.value(3).isNull());
        QVERIFY(q.value(4).isNull());  // the customer box was closed
        QCOMPARE(q.value(5).toDouble(), 12.5);
        // "&Следующий" starts the next row of the same variable.
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.variableBox()->key().toInt(), variable);
        QVERIFY(dlg.objectBox()->key().isNull());
        TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_valuevariable WHERE id = ?"), {dlg.savedKey()});
    }

    // The chooser lists the dictionary beside the built-ins and answers from
    // the list shown last; the operation pads the name with blanks.
    void chooser()
    {
        TdlgRentChooseVariable dlg(db());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.tabs()->count(), 2);
        QCOMPARE(dlg.tabs()->tabText(TdlgRentChooseVariable::UserTab), QStringLiteral("Пользовательские переменные"));
        dlg.standardList()->setCurrentRow(4);
        dlg.tabs()->setCurrentIndex(TdlgRentChooseVariable::UserTab);
        QVERIFY(dlg.userTree()->setCurrentId(2));
        dlg.accept();
        QCOMPARE(dlg.chosenName(), QStringLiteral("ПЛОЩАДЬ"));

        TdlgRentChooseVariable again(db());
        again.show();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        again.standardList()->setCurrentRow(4);
        again.accept();
        QCOMPARE(again.chosenName(), QStringLiteral("КУРС"));

        m_dialogs.chosen = QStringLiteral("ПЛОЩАДЬ");
        QCOMPARE(TboRentVariable(m_s->context, &m_dialogs).ChooseVariable(), QStringLiteral(" ПЛОЩАДЬ "));
        m_dialogs.chosen.clear();
        QCOMPARE(TboRentVariable(m_s->context, &m_dialogs).ChooseVariable(), QString());
    }
};

// Deleting, moving and grouping value rows, on a tree of our own:
// 100 > 101 > 102, 103 at the top, 104 at the top.
class ValueRowsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    RecordingDialogs m_dialogs;

    TxDatabase &db() { return m_s->t.db(); }

    std::optional<int> parentOf(int id)
    {
        const QVariant p = scalar(db(), QStringLiteral("SELECT parent FROM rent_valuevariable WHERE id = ?"), {id});
        return p.isNull() ? std::nullopt : std::optional<int>(p.toInt());
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_dialogs.prompts.messages.clear();
        m_dialogs.prompts.answer = true;
        const char *rows[] = {
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (100, NULL, 2, 22)",
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (101, 100, 2, 23)",
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (102, 101, 2, 24)",
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (103, NULL, 2, 25)",
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (104, NULL, 2, 26)",
        };
        for (const char *sql : rows)
            TxQuery::execute(db(), QString::fromUtf8(sql));
    }
    void cleanup() { m_s.reset(); }

    // A group still holding an unmarked row is refused and counted; the rows
    // before and after it are deleted for good, each on its own.
    void deleteCountsRefused()
    {
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        TValueDeleteResult result;
        QVERIFY(bo.DeleteValueVariables(103, {100, 103, 104}, &result));
        QCOMPARE(result.deleted, 2);
        QCOMPARE(result.refused, 1);
        QCOMPARE(texts(m_dialogs.prompts.messages),
                 (QStringList{QStringLiteral("Удалить выделенные переменные?"),
                              QStringLiteral("Не удалено переменных: 1. Эти записи уже где-то используются.")}));
        QVERIFY(!db().inTransaction());
        std::unique_ptr<TxDatabase> other = m_s->t.connect(QStringLiteral("other"));
        for (int id : {103, 104})
            QVERIFY2(!valueRowExists(*other, id), qPrintable(QString::number(id)));
        for (int id : {100, 101, 102})
            QVERIFY2(valueRowExists(*other, id), qPrintable(QString::number(id)));

        // Marked with everything below it, the group goes after its rows.
        QVERIFY(bo.DeleteValueVariables(0, {100, 101, 102}, &result));
        QCOMPARE(result.deleted, 3);
        QCOMPARE(result.refused, 0);
    }

    // Without marks the current row is asked about and deleted; a refusal
    // is said.
    void deleteCurrent()
    {
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        m_dialogs.prompts.answer = false;
        QVERIFY(!bo.DeleteValueVariables(104, {}));
        QVERIFY(valueRowExists(db(), 104));
        m_dialogs.prompts.answer = true;
        QVERIFY(bo.DeleteValueVariables(101, {}));
        QVERIFY(valueRowExists(db(), 101));
        QVERIFY(bo.DeleteValueVariables(104, {}));
        QVERIFY(!valueRowExists(db(), 104));
        QCOMPARE(texts(m_dialogs.prompts.messages),
                 (QStringList{QStringLiteral("Удалить переменную?"), QStringLiteral("Удалить переменную?"),
                              QStringLiteral("Данная запись уже где-то используется!"),
                              QStringLiteral("Удалить переменную?")}));
    }

    // The menu's delete stops at the first refusal and shows the server's
    // text; what it deleted before stays deleted.
    void deleteMarkedStopsAtRefusal()
    {
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        TValueDeleteResult result;
        QVERIFY(bo.DeleteMarkedValueVariables({103, 100, 104}, &result));
        QCOMPARE(result.deleted, 1);
        QCOMPARE(m_dialogs.prompts.messages.size(), 2);
        QCOMPARE(m_dialogs.prompts.messages.at(0).text, QStringLiteral("Удалить веделенные записи?"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).kind, korvex::widgets::TxMessageKind::Error);
        QVERIFY(!db().inTransaction());
        QVERIFY(!valueRowExists(db(), 104));
        QVERIFY(valueRowExists(db(), 100));
        QVERIFY(valueRowExists(db(), 103));
    }

    void move_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<int>("parent");  // 0: NULL
        QTest::newRow("onto itself: done, unchanged") << 101 << 101 << true << 100;
        QTest::newRow("to the top") << 102 << 0 << true << 0;
        QTest::newRow("under another row") << 103 << 102 << true << 102;
        QTest::newRow("under its own descendant") << 100 << 102 << false << 0;
        QTest::newRow("under a missing row") << 103 << 999 << false << 0;
        QTest::newRow("a missing row") << 999 << 0 << false << -1;
    }
    void move()
    {
        QFETCH(int, row);
        QFETCH(int, target);
        QFETCH(bool, moved);
        QFETCH(int, parent);
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        QCOMPARE(bo.MoveValueVariable(row, target), moved);
        QVERIFY(!db().inTransaction());
        if (parent >= 0)
            QCOMPARE(parentOf(row).value_or(0), parent);
    }

    // One run makes one group headed by the first row it inserted, even when
    // a larger key is already in the table; customers that have a row are
    // left alone.
    void customerGroup()
    {
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_valuevariable (id, variablekey) VALUES (900, 1)"));
        TboRentValueVariable bo(m_s->context, &m_dialogs);
        QCOMPARE(bo.MakeCustomerValues(4, {3, 5, 7, 5}), 2);
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT id, parent, customerkey, valuevariable FROM rent_valuevariable "
                              "WHERE variablekey = 4 AND customerkey IN (5, 7) ORDER BY customerkey"));
        QVERIFY(q.next());
        const int head = q.value(0).toInt();
        QVERIFY(head != 900);
        QVERIFY(q.value(1).isNull());
        QVERIFY(q.value(3).isNull());
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toInt(), head);
        QCOMPARE(q.value(2).toInt(), 7);
        QVERIFY(!q.next());
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_valuevariable WHERE variablekey = 4 AND customerkey = 3"))
                     .toInt(),
                 1);
        QVERIFY_THROWS_EXCEPTION(EBusinessError, bo.MakeCustomerValues(2, {5}));
    }
};

// The page on the demo data: value row 2 (ПЛОЩАДЬ of building section 5)
// heads rows 3 to 35; rows 1, 36, 37 and 38 stand at the top.
class VariablePageTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<QWidget> m_window;
    TxPromptRecorder m_messages;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_window = std::make_unique<QWidget>();
        m_messages.messages.clear();
    }
    void cleanup()
    {
        m_window.reset();
        m_s.reset();
    }

    // Three marked rows moved under row 3, one of them its own ancestor:
    // two go, one stays marked, and the count says so.
    void moveMarked()
    {
        TxMessages::Intercept intercept(m_messages);
        TptVariable page(m_s->context, m_window.get());
        QCOMPARE(page.valueModel()->count(), 38);
        QCOMPARE(page.variableModel()->count(), 4);
        QVERIFY(!page.valueAction(TptVariable::MoveHere)->isEnabled());
        page.valueModel()->setMarked({1, 36, 2}, true);
        QVERIFY(page.valueTree()->setCurrentId(3));
        page.valueAction(TptVariable::MoveHere)->trigger();
        QCOMPARE(texts(m_messages.messages),
                 QStringList{QStringLiteral("Количество перенесенных объектов: 2\nКоличество не перенесенных объектов: 1")});
        QCOMPARE(page.valueModel()->markedIds(), QList<qint64>{2});
        QCOMPARE(page.valueModel()->parentOf(36), std::optional<qint64>(3));
        QCOMPARE(scalar(db(), QStringLiteral("SELECT parent FROM rent_valuevariable WHERE id = 1")).toInt(), 3);

        page.assignToMarked(7.5);
        QCOMPARE(page.valueModel()->value(2, QStringLiteral("valuevariable")).toDouble(), 7.5);
    }

    // "Формирование переменных по клиентам" only for a variable bound to the
    // customer, and only on the dictionary tab.
    void customerValuesEnabled()
    {
        TptVariable page(m_s->context, m_window.get());
        page.setCurrentTab(TptVariable::DictionaryTab);
        QVERIFY(page.variableTree()->setCurrentId(2));
        QVERIFY(!page.customerValuesAction()->isEnabled());
        QVERIFY(page.variableTree()->setCurrentId(4));
        QVERIFY(page.customerValuesAction()->isEnabled());
        page.makeCustomerValues({1, 2});
        QCOMPARE(page.valueModel()->count(), 40);
        page.setCurrentTab(TptVariable::ValuesTab);
        QVERIFY(!page.customerValuesAction()->isEnabled());
    }
};

// "Расчет пени" on the demo data: customer 2 is charged 4335.47 of service 2
// 30 days ago and pays 1357.59 of it 25 days ago; customer 3 has no debt of
// that service.
class FineDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<QWidget> m_window;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_window = std::make_unique<QWidget>();
    }
    void cleanup()
    {
        m_window.reset();
        m_s.reset();
    }

    // Each marked row with a customer gets its customer's penalty rounded
    // to the step; a row without a customer keeps its value.
    void fineIntoMarked()
    {
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_valuevariable (id, variablekey, customerkey, valuevariable) "
                                              "VALUES (200, 4, 2, 5)"));
        TptVariable page(m_s->context, m_window.get());
        page.valueModel()->setMarked({1, 200, 36}, true);  // 36: customer 3
        QVERIFY(page.valueAction(TptVariable::ComputeFine)->isEnabled());
        TFineParameters p;
        p.serviceKey = 2;
        p.coefficient = 0.001;
        p.startDate = QDate::currentDate().addDays(-40);
        p.endDate = QDate::currentDate().addDays(-1);
        p.roundStep = 0.01;
        QCOMPARE(page.fineToMarked(p), 2);
        // 5 days x 4335.47 + 25 days x 2977.88, at 0.001: 96.12435
        QCOMPARE(page.valueModel()->value(200, QStringLiteral("valuevariable")).toDouble(), 96.12);
        QCOMPARE(page.valueModel()->value(36, QStringLiteral("valuevariable")).toDouble(), 0.0);
        QCOMPARE(page.valueModel()->value(1, QStringLiteral("valuevariable")).toDouble(), 1.0);

        // Without a service every row would get 0: refused, nothing written.
        p.serviceKey = 0;
        QVERIFY_THROWS_EXCEPTION(EBusinessError, page.fineToMarked(p));
        QCOMPARE(scalar(db(), QStringLiteral("SELECT valuevariable FROM rent_valuevariable WHERE id = 200")).toDouble(),
                 96.12);
    }

    // The fields come back as they were left, however the dialog closed;
    // the payment form starts on all forms every time.
    void rememberedFields()
    {
        {
            TdlgFine dlg(m_s->context, m_window.get());
            QCOMPARE(dlg.coefficientEdit()->text(), QStringLiteral("0"));
            QCOMPARE(dlg.roundEdit()->floatValue(), std::optional<double>(1));
            QVERIFY(dlg.allPaymentsBox()->isChecked());
            QVERIFY(!dlg.paymentBox()->isEnabled());
            dlg.coefficientEdit()->setFloatValue(0.2);
            dlg.serviceBox()->setIntKey(2);
            dlg.penaltyBox()->setIntKey(10);
            dlg.startEdit()->setDate(QDate(2026, 1, 1));
            dlg.endEdit()->setDate(QDate(2026, 1, 31));
            dlg.roundEdit()->setFloatValue(0.01);
            dlg.allPaymentsBox()->setChecked(false);
            QVERIFY(dlg.paymentBox()->isEnabled());
            dlg.reject();
        }
        TdlgFine dlg(m_s->context, m_window.get());
        const TFineParameters p = dlg.parameters();
        QCOMPARE(p.coefficient, 0.2);
        QCOMPARE(p.serviceKey, 2);
        QCOMPARE(p.penaltyServiceKey, 10);
        QCOMPARE(p.startDate, QDate(2026, 1, 1));
        QCOMPARE(p.endDate, QDate(2026, 1, 31));
        QCOMPARE(p.roundStep, 0.01);
        QVERIFY(p.allPayments);
    }

    // "abc" in "Округлить до" with Enter: the step before comes back and the
    // dialog stays open; a missing service is asked for.
    void badStepKeepsDialog()
    {
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TdlgFine dlg(m_s->context, m_window.get());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.activateWindow();
        dlg.roundEdit()->setFocus();
        QTRY_VERIFY(dlg.roundEdit()->hasFocus());
        dlg.roundEdit()->setText(QStringLiteral("abc"));
        QTest::keyClick(dlg.roundEdit(), Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.roundEdit()->text(), QStringLiteral("1"));
        QTRY_VERIFY(dlg.roundEdit()->hasFocus());

        prompts.messages.clear();
        QTest::keyClick(dlg.roundEdit(), Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(texts(prompts.messages), QStringList{QStringLiteral("Выберите услугу")});
        dlg.serviceBox()->setIntKey(2);
        QTest::keyClick(dlg.roundEdit(), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
};

KORVEX_TEST_CLASS(FineDialogTest)
KORVEX_TEST_CLASS(VariableDialogTest)
KORVEX_TEST_CLASS(VariablePageTest)
KORVEX_TEST_CLASS(ValueRowsTest)

#include "tst_variableedit.moc"
