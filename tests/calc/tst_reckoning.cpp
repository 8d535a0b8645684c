#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"
#include "reference/referenceFixture.h"

#include "calc/boRentReckoningType.h"
#include "calc/calcDialogs.h"
#include "calc/ui/calcWindows.h"
#include "calc/ui/dlgRentChooseVariable.h"
#include "calc/ui/dlgRentReckoning.h"
#include "calc/ui/ptReckoning.h"
#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/xTreeModel.h"
#include "widgets/ui/xMessages.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace korvex::calc;
using namespace korvex::db;
using korvex::test::TestDatabase;
using korvex::test::whenModal;
using korvex::widgets::TxMessages;
using korvex::test::TxPromptRecorder;

KORVEX_TEST_GUI_PROGRAM()

namespace {

// The type dialog is never opened here: the operations are driven by what
// the dialog would have stored.
struct FakeCalcDialogs : TCalcDialogs {
    TxPromptRecorder prompts{true};
    korvex::widgets::TxPrompt &prompt() override { return prompts; }
};

TReckoningStep step(int number, const QString &name, const QString &formula, std::optional<double> rounding = {})
{
    TReckoningStep s;
    s.number = number;
    s.name = name;
    s.formula = formula;
    s.rounding = rounding;
    return s;
}

int count(TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return TxQuery::scalar(db, sql, values).toInt();
}

int stepCount(TxDatabase &db, int type)
{
    return count(db, QStringLiteral("SELECT COUNT(*) FROM rent_reckoning WHERE typereckoningkey = ?"), {type});
}

bool typeExists(TxDatabase &db, int type)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT 1 FROM rent_typereckoning WHERE id = ?"), {type}).isValid();
}

} // namespace

// A type and its steps are one thing: stored, changed and deleted together.
class ReckoningTypeTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    FakeCalcDialogs m_dialogs;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_dialogs.prompts.messages.clear();
        m_dialogs.prompts.answer = true;
    }
    void cleanup() { m_s.reset(); }

    void createEditDelete()
    {
        TboRentReckoningType bo(m_s->context, &m_dialogs);
        TReckoningType type = bo.newType(1, QStringLiteral("Офис"));
        QVERIFY(type.id > 0);
        QVERIFY(!typeExists(db(), type.id));
        type.steps = {step(1, QStringLiteral("БАЗА"), QStringLiteral("ЦЕНАПРАЙСРУБ*КОЛОБЪЕКТ")),
                      step(2, QStringLiteral("СКИДКА"), QStringLiteral("БАЗА*0,1"), 0.01),
                      step(3, QStringLiteral("ИТОГ"), QStringLiteral("БАЗА-СКИДКА"), 1)};
        bo.writeType(type);
        QVERIFY(type.stored);
        QVERIFY(type.steps.at(0).id > 0);
        std::optional<TReckoningType> read = bo.readType(type.id);
        QVERIFY(read.has_value());
        QCOMPARE(read->parent, std::optional<int>(1));
        QCOMPARE(read->name, QStringLiteral("Офис"));
        QCOMPARE(read->steps.size(), 3);
        QCOMPARE(read->steps.at(1).rounding, std::optional<double>(0.01));
        QCOMPARE(read->steps.at(2).formula, QStringLiteral("БАЗА-СКИДКА"));

        // One step dropped, one changed, one added: the stored steps follow.
        read->name = QStringLiteral("Офис со скидкой");
        read->steps.removeAt(1);
        read->steps[1].formula = QStringLiteral("БАЗА*0,9");
        read->steps.append(step(4, QStringLiteral("НДС"), QStringLiteral("ИТОГ*0,2")));
        const int kept = read->steps.at(0).id;
        bo.writeType(*read);
        const std::optional<TReckoningType> again = bo.readType(type.id);
        QCOMPARE(again->name, QStringLiteral("Офис со скидкой"));
        QCOMPARE(again->steps.size(), 3);
        QCOMPARE(again->steps.at(0).id, kept);
        QCOMPARE(again->steps.at(1).formula, QStringLiteral("БАЗА*0,9"));
        QCOMPARE(again->steps.at(2).name, QStringLiteral("НДС"));

        QVERIFY(bo.DeleteReckoningType(type.id));
        QCOMPARE(m_dialogs.prompts.messages.size(), 1);
        QCOMPARE(m_dialogs.prompts.messages.at(0).text, QStringLiteral("Удалить запись?"));
        QCOMPARE(m_dialogs.prompts.messages.at(0).caption, QStringLiteral("Внимание"));
        QVERIFY(!typeExists(db(), type.id));
        QCOMPARE(stepCount(db(), type.id), 0);
        QVERIFY(!bo.DeleteReckoningType(type.id));
        QVERIFY(!bo.EditReckoningType(type.id));
    }

    // Type 2 prices rows of the price list: neither it nor its steps go.
    void referencedTypeKept()
    {
        TboRentReckoningType bo(m_s->context, &m_dialogs);
        const int steps = stepCount(db(), 2);
        QVERIFY(steps > 0);
        QVERIFY(!bo.DeleteReckoningType(2));
        QCOMPARE(m_dialogs.prompts.messages.size(), 2);
        QCOMPARE(m_dialogs.prompts.messages.at(1).text, QStringLiteral("Данная запись уже где-то используется!"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).caption, QStringLiteral("Внимание"));
        QVERIFY(typeExists(db(), 2));
        QCOMPARE(stepCount(db(), 2), steps);
        QVERIFY(!db().inTransaction());

        m_dialogs.prompts.answer = false;
        TReckoningType unused = bo.newType({}, QStringLiteral("Пустая"));
        bo.writeType(unused);
        QVERIFY(!bo.DeleteReckoningType(unused.id));
        QVERIFY(typeExists(db(), unused.id));
    }

    // A step the server refuses takes the type's own changes back with it.
    void failedStepWritesNothing()
    {
        TxQuery::execute(db(), QStringLiteral("CREATE EXCEPTION e_test_refused 'refused'"));
        TxQuery::execute(db(), QStringLiteral("CREATE TRIGGER t_test_refuse FOR rent_reckoning BEFORE INSERT OR UPDATE "
                                              "AS BEGIN IF (NEW.formula = 'REFUSE') THEN EXCEPTION e_test_refused; END"));
        TboRentReckoningType bo(m_s->context, &m_dialogs);

        TReckoningType fresh = bo.newType({}, QStringLiteral("Новая"));
        fresh.steps = {step(1, QStringLiteral("А"), QStringLiteral("1")), step(2, QStringLiteral("Б"), QStringLiteral("REFUSE"))};
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, bo.writeType(fresh));
        QVERIFY(!fresh.stored);
        QVERIFY(!typeExists(db(), fresh.id));
        QCOMPARE(stepCount(db(), fresh.id), 0);

        std::optional<TReckoningType> old = bo.readType(3);
        const int steps = stepCount(db(), 3);
        old->name = QStringLiteral("Переименованная");
        old->steps.clear();
        old->steps << step(1, QStringLiteral("ИТОГ"), QStringLiteral("REFUSE"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, bo.writeType(*old));
        QCOMPARE(bo.readType(3)->name, QStringLiteral("Аренда в рублях по площади"));
        QCOMPARE(stepCount(db(), 3), steps);
        QVERIFY(!db().inTransaction());
    }

    void stepNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("cyrillic") << QStringLiteral("ИТОГ") << true;
        QTest::newRow("lower case") << QStringLiteral("итог2") << true;
        QTest::newRow("latin, _ and $") << QStringLiteral("base_$1") << true;
        QTest::newRow("a function's name") << QStringLiteral("ROUND") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("blank inside") << QStringLiteral("ЦЕНА БАЗ") << false;
        QTest::newRow("operator") << QStringLiteral("А-Б") << false;
        QTest::newRow("digit first") << QStringLiteral("1А") << false;
        QTest::newRow("a number") << QStringLiteral("1E+3") << false;
        QTest::newRow("DIV first") << QStringLiteral("DIVIDEND") << false;
        QTest::newRow("mod first") << QStringLiteral("model") << false;
        QTest::newRow("letter Ё") << QStringLiteral("ЁМКОСТЬ") << false;
        QTest::newRow("parenthesis") << QStringLiteral("(А)") << false;
    }
    void stepNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(TboRentReckoningType::isFormulaName(name), usable);
        const QList<TReckoningStep> steps{step(1, QStringLiteral("БАЗА"), QStringLiteral("1")),
                                          step(5, name, QStringLiteral("БАЗА*2"))};
        const std::optional<TStepFault> fault = TboRentReckoningType::checkSteps(steps);
        QCOMPARE(fault.has_value(), !usable);
        if (!fault)
            return;
        QCOMPARE(fault->row, 1);
        QVERIFY2(fault->message.startsWith(QStringLiteral("Позиция 5")), qPrintable(fault->message));
        if (!name.isEmpty())
            QVERIFY2(fault->message.contains(name), qPrintable(fault->message));

        // Refused by the writer too, before anything is written.
        TboRentReckoningType bo(m_s->context, &m_dialogs);
        TReckoningType type = bo.newType({}, QStringLiteral("Т"));
        type.steps = steps;
        QVERIFY_THROWS_EXCEPTION(EBusinessError, bo.writeType(type));
        QVERIFY(!typeExists(db(), type.id));
    }
};

// The dialog "Формула" as the user drives it.
class ReckoningDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowedSession<TCalcWindows>> m_s;
    TxPromptRecorder m_prompts;

    TxDatabase &db() { return m_s->t.db(); }
    TCalcWindows *windows() { return &m_s->windows; }
    QWidget *window() { return m_s->window.get(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<WindowedSession<TCalcWindows>>(TestDatabase::Content::Demo);
        m_prompts.messages.clear();
    }
    void cleanup() { m_s.reset(); }

    // A key was taken for the new type, yet nothing is left of it.
    void cancelledNewType()
    {
        TboRentReckoningType bo(m_s->context, windows());
        const int types = count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_typereckoning"));
        int key = 0;
        whenModal<TdlgRentReckoning>(this, [&](TdlgRentReckoning *dlg) {
            key = dlg->typeKey();
            QCOMPARE(dlg->findChild<QLineEdit *>(QStringLiteral("name"))->text(), QStringLiteral("Склад"));
            dlg->addStep();
            dlg->steps()->setData(dlg->steps()->index(0, TReckoningStepModel::NameColumn), QStringLiteral("ИТОГ"));
            dlg->cancelButton()->click();
        });
        int newKey = -1;
        QVERIFY(!bo.NewReckoningType(0, QStringLiteral("Склад"), &newKey));
        QCOMPARE(newKey, -1);
        QVERIFY(key > 0);
        QVERIFY(!typeExists(db(), key));
        QCOMPARE(stepCount(db(), key), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_typereckoning")), types);
    }

    // "&Следующий" twice stores two types and starts a third, each with a
    // key of its own.
    void nextTwice()
    {
        TboRentReckoningType bo(m_s->context, windows());
        QList<int> keys;
        whenModal<TdlgRentReckoning>(this, [&](TdlgRentReckoning *dlg) {
            QVERIFY(dlg->nextButton()->isVisible());
            auto *name = dlg->findChild<QLineEdit *>(QStringLiteral("name"));
            for (const char *typed : {"First", "Second"}) {
                keys << dlg->typeKey();
                name->clear();
                QTest::keyClicks(name, QString::fromLatin1(typed));
                dlg->addStep();
                dlg->steps()->setData(dlg->steps()->index(0, TReckoningStepModel::NameColumn), QStringLiteral("X"));
                dlg->steps()->setData(dlg->steps()->index(0, TReckoningStepModel::FormulaColumn), QStringLiteral("2"));
                QTest::mouseClick(dlg->nextButton(), Qt::LeftButton);
                QVERIFY(name->text().isEmpty());
                QCOMPARE(dlg->steps()->rowCount(), 0);
            }
            keys << dlg->typeKey();
            dlg->cancelButton()->click();
        });
        int newKey = 0;
        QVERIFY(bo.NewReckoningType(1, QString(), &newKey));
        QCOMPARE(keys.size(), 3);
        QVERIFY(keys.at(0) != keys.at(1) && keys.at(1) != keys.at(2) && keys.at(0) != keys.at(2));
        QCOMPARE(newKey, keys.at(1));
        QCOMPARE(bo.readType(keys.at(0))->name, QStringLiteral("First"));
        QCOMPARE(bo.readType(keys.at(1))->name, QStringLiteral("Second"));
        QCOMPARE(bo.readType(keys.at(1))->parent, std::optional<int>(1));
        QCOMPARE(stepCount(db(), keys.at(0)), 1);
        QCOMPARE(stepCount(db(), keys.at(1)), 1);
        QVERIFY(!typeExists(db(), keys.at(2)));
    }

    // The formula cell's button posts the edit, then appends the chosen
    // variable with a space on either side.
    void formulaChooser()
    {
        TboRentReckoningType bo(m_s->context, windows());
        TdlgRentReckoning dlg(bo, *bo.readType(3), false);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(!dlg.nextButton()->isVisible());
        const QModelIndex formula = dlg.steps()->index(0, TReckoningStepModel::FormulaColumn);
        dlg.stepGrid()->setCurrentIndex(formula);
        dlg.stepGrid()->edit(formula);
        auto *line = dlg.stepGrid()->findChild<QLineEdit *>(QStringLiteral("formulaEdit"));
        QVERIFY(line);
        line->setText(QStringLiteral("2*"));

        QStringList lines;
        whenModal<TdlgRentChooseVariable>(this, [&](TdlgRentChooseVariable *chooser) {
            QListWidget *list = chooser->standardList();
            for (int i = 0; i < list->count(); ++i)
                lines << list->item(i)->text();
            list->setCurrentRow(list->count() - 1);
            chooser->accept();
        });
        auto *button = dlg.stepGrid()->findChild<QToolButton *>(QStringLiteral("chooseVariable"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(dlg.steps()->steps().at(0).formula, QStringLiteral("2* КОЭФIII "));
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines.first(), QStringLiteral("ЦЕНАРУБ: Цена рублевая"));
        QCOMPARE(lines.at(4), QStringLiteral("КУРС: Курс валюты"));
        QCOMPARE(lines.last(), QStringLiteral("КОЭФIII: Коэффициент объекта 3"));
        QVERIFY(lines.last().startsWith(QStringLiteral("КОЭФ") + QStringLiteral("III")));  // Latin I
    }

    // A step name later formulas could not read is refused by name; nothing
    // is stored and the dialog stays open.
    void badStepNameRefused()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentReckoningType bo(m_s->context, windows());
        TdlgRentReckoning dlg(bo, *bo.readType(7), false);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.steps()->setData(dlg.steps()->index(1, TReckoningStepModel::NameColumn), QStringLiteral("ЦЕНА ЗА КВТ"));
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY2(m_prompts.messages.at(0).text.contains(QStringLiteral("\"ЦЕНА ЗА КВТ\"")),
                 qPrintable(m_prompts.messages.at(0).text));
        QCOMPARE(m_prompts.messages.at(0).caption, QStringLiteral("Внимание!"));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.stepGrid()->currentIndex().row(), 1);
        QCOMPARE(bo.readType(7)->steps.at(1).name, QStringLiteral("ИТОГ"));
    }

    // "&Добавить" on an empty tree makes a top-level type; the page selects
    // it and lists its steps on the second tab.
    void pageAddOnEmptyTree()
    {
        m_s.reset();  // one options store at a time
        m_s = std::make_unique<WindowedSession<TCalcWindows>>(TestDatabase::Content::Schema);
        TptReckoning page(m_s->context, window());
        QCOMPARE(page.typeModel()->count(), 0);
        whenModal<TdlgRentReckoning>(this, [&](TdlgRentReckoning *dlg) {
            QTest::keyClicks(dlg->findChild<QLineEdit *>(QStringLiteral("name")), QStringLiteral("Rent"));
            const char *steps[][2] = {{"BASE", "ЦЕНАПРАЙСРУБ"}, {"AREA", "BASE*КОЭФI"}, {"TOTAL", "AREA*1,2"}};
            for (int i = 0; i < 3; ++i) {
                dlg->addStep();
                dlg->steps()->setData(dlg->steps()->index(i, TReckoningStepModel::NameColumn), QString::fromUtf8(steps[i][0]));
                dlg->steps()->setData(dlg->steps()->index(i, TReckoningStepModel::FormulaColumn), QString::fromUtf8(steps[i][1]));
            }
            QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
        });
        page.trigger(korvex::widgets::TPart::Action::Add);
        QCOMPARE(page.typeModel()->count(), 1);
        const std::optional<qint64> current = page.typeTree()->currentId();
        QVERIFY(current.has_value());
        QCOMPARE(page.typeModel()->parentOf(*current), std::optional<qint64>());
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT parent FROM rent_typereckoning WHERE id = ?"),
                                 {*current})
                     .isNull(),
                 true);
        page.setCurrentTab(TptReckoning::StepsTab);
        QCOMPARE(page.stepGrid()->model()->rowCount(), 3);
        QCOMPARE(page.stepGrid()->model()->index(2, page.stepGrid()->fieldColumn(QStringLiteral("name"))).data().toString(),
                 QStringLiteral("TOTAL"));
    }
};

KORVEX_TEST_CLASS(ReckoningTypeTest)
KORVEX_TEST_CLASS(ReckoningDialogTest)

#include "tst_reckoning.moc"
