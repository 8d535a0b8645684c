#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"
#include "graphFixture.h"
#include "reference/referenceFixture.h"

#include "app/desktop/ptReference.h"
#include "db/xQuery.h"
#include "graph/graphStyle.h"
#include "graph/ui/dlgBreakdownObject.h"
#include "graph/ui/dlgRentObjectGraph.h"
#include "graph/ui/frmRentEditorObjectGraph.h"
#include "graph/ui/xGraphControl.h"
#include "reference/ui/dlgRentObject.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xColorBox.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace korvex::db;
using namespace korvex::graph;
using korvex::test::TestDatabase;
using korvex::test::TxPromptRecorder;
using korvex::test::whenModal;
using korvex::widgets::TxMessages;

namespace {

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

// Replaces a field's text as the user would (typing in Cyrillic included).
void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
}

// The colour of the plan where a figure was drawn, a little below its name.
QColor fillOf(TfrmRentEditorObjectGraph &editor, int key)
{
    const QRect r = placedRect(editor.graph(), key);
    return r.isEmpty() ? QColor() : editor.view()->picture().pixelColor(r.center() + QPoint(0, 10));
}

} // namespace

// The plan editor on the demonstration database, driven as a user drives it.
class GraphEditorTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<QWidget> m_window;
    TxPromptRecorder m_prompts{true};
    std::unique_ptr<TxMessages::Intercept> m_intercept;
    int m_rented = 0;  // оф. 201 of «Немига», rented
    int m_free = 0;    // оф. 303 of «Немига», free

    TxDatabase &db() { return m_s->t.db(); }

    std::unique_ptr<TfrmRentEditorObjectGraph> openEditor()
    {
        auto editor = std::make_unique<TfrmRentEditorObjectGraph>(m_s->context, m_window.get());
        editor->show();
        if (!QTest::qWaitForWindowExposed(editor.get()))
            return nullptr;
        return editor;
    }
    static QAction *action(QWidget *editor, const char *name)
    {
        return editor->findChild<QAction *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_window = std::make_unique<QWidget>();
        m_prompts.messages.clear();
        m_intercept = std::make_unique<TxMessages::Intercept>(m_prompts);
        m_rented = figureKey(db(), QStringLiteral("оф. 201"), 8);
        m_free = figureKey(db(), QStringLiteral("оф. 303"), 14);
        QVERIFY(m_rented && m_free);
    }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        m_intercept.reset();
        m_window.reset();
        m_s.reset();
    }

    // "Визуальное отображение объектов" opens the editor, which shows the
    // rented rooms in red; the switches and the scale the user leaves are
    // what the next opening finds.
    void openFromReferencesPage()
    {
        korvex::shell::TptReference page(m_s->context, m_window.get());
        QListWidgetItem *item = nullptr;
        for (int i = 0; i < page.items()->count(); ++i) {
            if (page.items()->item(i)->text() == QStringLiteral("Визуальное отображение объектов"))
                item = page.items()->item(i);
        }
        QVERIFY(item);
        QString title;
        QColor rented, free, plain;
        double scale = 0;
        whenModal<TfrmRentEditorObjectGraph>(&page, [&](TfrmRentEditorObjectGraph *editor) {
            title = editor->windowTitle();
            editor->selectFigure(m_rented);
            rented = fillOf(*editor, m_rented);
            free = fillOf(*editor, m_free);
            editor->showUseSwitch()->click();
            plain = fillOf(*editor, m_rented);
            // Scaled last: the window is no larger than the screen, and at
            // 150% the room may lie beyond the view.
            retype(editor->scaleBox()->lineEdit(), QStringLiteral("150"));
            QTest::keyClick(editor->scaleBox()->lineEdit(), Qt::Key_Return);
            scale = editor->graph().Scale();
            editor->reject();
        });
        page.openItem(item);
        QCOMPARE(title, QStringLiteral("Графический редактор объектов"));
        QCOMPARE(rented, QColor(Qt::red));
        QCOMPARE(free, colorFromText(QStringLiteral("clMoneyGreen")).value());
        QCOMPARE(scale, 1.5);
        QCOMPARE(plain, colorFromText(QStringLiteral("clMoneyGreen")).value());
        QCOMPARE(m_s->options.integerOption(QStringLiteral("rentgraphscale"), 0), 150);
        QCOMPARE(m_s->options.integerOption(QStringLiteral("rentgraphuseobject"), 1), 0);
        QCOMPARE(m_s->options.integerOption(QStringLiteral("rentgraphparent"), 0), 1);

        const auto editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->scaleBox()->currentText(), QStringLiteral("150"));
        QVERIFY(!editor->showUseSwitch()->isChecked());
        QVERIFY(editor->outerLevelsSwitch()->isChecked());
    }

    // A new floor through the figure dialog, split into four rooms through
    // the breakdown dialog, one of them bound to a rented object (and red),
    // then the plan saved as PDF.
    void floorSplitBoundAndSaved()
    {
        const int building = figureKey(db(), QStringLiteral("БЦ «Независимость», пр-т Независимости, 95"), 22);
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(editor->selectFigure(building));

        QStringList defaults;
        whenModal<TdlgRentObjectGraph>(editor.get(), [&](TdlgRentObjectGraph *d) {
            defaults << field(d, "x1")->text() << field(d, "x2")->text()
                     << d->findChild<QComboBox *>(QStringLiteral("graphtype"))->currentText() << d->sample()->text();
            retype(field(d, "name"), QStringLiteral("Мансарда"));
            retype(field(d, "x1"), QStringLiteral("10"));
            retype(field(d, "y1"), QStringLiteral("30"));
            retype(field(d, "x2"), QStringLiteral("630"));
            retype(field(d, "y2"), QStringLiteral("110"));
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        action(editor.get(), "actAddChild")->trigger();
        QCOMPARE(defaults, QStringList({"0", "50", "Прямоугольник", "ABC abc АБВ абв"}));
        const int floor = editor->currentFigure().value_or(0);
        const std::optional<TRentFigure> stored = editor->graph().readFigure(floor);
        QVERIFY(stored);
        QCOMPARE(stored->name, QStringLiteral("Мансарда"));
        QCOMPARE(stored->parent, std::optional<int>(building));
        QCOMPARE(QList<int>({stored->x1, stored->y1, stored->x2, stored->y2}), QList<int>({10, 30, 630, 110}));
        QCOMPARE(QStringList({stored->lineColor, stored->graphColor, stored->useLineColor, stored->useGraphColor}),
                 QStringList({"clBlack", "clWhite", "clBlack", "clRed"}));

        int maxRows = 0;
        whenModal<TdlgBreakdownObject>(editor.get(), [&](TdlgBreakdownObject *d) {
            maxRows = d->rowsBox()->maximum();
            d->rowsBox()->setValue(1);
            d->columnsBox()->setValue(4);
            retype(field(d, "name"), QStringLiteral("Офис "));
            retype(field(d, "start"), QStringLiteral("401"));
            QTest::mouseClick(d->orderButton(8), Qt::LeftButton);  // right to left
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        action(editor.get(), "actBreakdown")->trigger();
        QCOMPARE(maxRows, 20);  // 80 units high, cells of at least 4
        const QString cells = QStringLiteral("FROM rent_objectgraph WHERE parent = ? ORDER BY x1");
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name ") + cells, {floor}),
                 QStringList({"Офис 404", "Офис 403", "Офис 402", "Офис 401"}));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT x2 - x1 ") + cells, {floor}), QList<int>({155, 155, 155, 155}));
        QCOMPARE(m_s->options.integerOption(QStringLiteral("rentbreakdowntype"), 0), 8);
        const QList<int> rooms = intColumn(db(), QStringLiteral("SELECT id ") + cells, {floor});
        for (int room : rooms)
            QVERIFY(editor->treeModel()->contains(room));

        // Bound to a rented object, the room turns red.
        const int room = rooms.at(1);
        QVERIFY(editor->selectFigure(room));
        QCOMPARE(fillOf(*editor, room), QColor(Qt::white));
        editor->selectFigure(floor);
        whenModal<korvex::reference::TdlgRentChooseObject>(editor.get(), [&](korvex::reference::TdlgRentChooseObject *d) {
            d->tree()->setCurrentId(8);
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        editor->selectFigure(room);
        action(editor.get(), "actBind")->trigger();
        QCOMPARE(editor->graph().readFigure(room)->objectKey, std::optional<int>(8));
        editor->selectFigure(floor);
        QCOMPARE(fillOf(*editor, room), QColor(Qt::red));
        QCOMPARE(fillOf(*editor, rooms.at(0)), QColor(Qt::white));

        const QString file = m_s->t.dir() + QStringLiteral("/plan");
        whenModal<QFileDialog>(editor.get(), [&](QFileDialog *d) {
            // The name typed, as a user does: the dialog may apply its own
            // initial selection after a selectFile() made this early.
            auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(file);
            static_cast<QDialog *>(d)->accept();
        });
        action(editor.get(), "actSavePdf")->trigger();
        QFile pdf(file + QStringLiteral(".pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.trimmed().endsWith("%%EOF"));
        QVERIFY(m_prompts.messages.isEmpty());
    }

    // The figure dialog: a name is required; the object comes from the
    // chooser and goes with an empty box; the font with its colour.
    void figureDialog()
    {
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(editor->selectFigure(m_free));
        QString objectShown;
        bool refusedKeptOpen = false;
        whenModal<TdlgRentObjectGraph>(editor.get(), [&](TdlgRentObjectGraph *d) {
            auto *object = d->findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("object"));
            objectShown = object->text();
            field(d, "name")->clear();
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
            refusedKeptOpen = d->isVisible();
            retype(field(d, "name"), QStringLiteral("Кладовая"));
            whenModal<korvex::reference::TdlgRentChooseObject>(d, [](korvex::reference::TdlgRentChooseObject *c) {
                c->tree()->setCurrentId(13);
                QTest::mouseClick(c->okButton(), Qt::LeftButton);
            });
            QTest::mouseClick(object->chooserButton(), Qt::LeftButton);
            d->findChild<korvex::widgets::TxColorBox *>(QStringLiteral("graphcolor"))->setColor(QColor(0xC0, 0xC0, 0xC0));
            d->findChild<QComboBox *>(QStringLiteral("graphtype"))->setCurrentIndex(int(TGraphType::Ellipse));
            whenModal<korvex::widgets::TxFontDialog>(d, [](korvex::widgets::TxFontDialog *f) {
                QFont font(QStringLiteral("DejaVu Serif"), 10);
                font.setBold(true);
                font.setItalic(true);
                f->fontDialog()->setCurrentFont(font);
                f->colorBox()->setColor(Qt::blue);
                QTest::mouseClick(f->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
            });
            QTest::mouseClick(d->fontButton(), Qt::LeftButton);
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        action(editor.get(), "actEdit")->trigger();
        QCOMPARE(objectShown, QStringLiteral("Немига, оф. 303"));
        QVERIFY(refusedKeptOpen);
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.first().text, QStringLiteral("Введите наименование объекта"));
        const std::optional<TRentFigure> f = editor->graph().readFigure(m_free);
        QCOMPARE(f->name, QStringLiteral("Кладовая"));
        QCOMPARE(f->objectKey, std::optional<int>(13));
        QCOMPARE(f->graphColor, QStringLiteral("clSilver"));
        QCOMPARE(f->graphType, int(TGraphType::Ellipse));
        QCOMPARE(f->fontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(f->fontStyle, QStringLiteral("BI"));
        QCOMPARE(f->fontColor, QStringLiteral("clBlue"));
        QCOMPARE(editor->treeModel()->value(m_free, QStringLiteral("name")).toString().trimmed(), f->name);

        // An emptied object box unbinds the figure.
        whenModal<TdlgRentObjectGraph>(editor.get(), [&](TdlgRentObjectGraph *d) {
            auto *object = d->findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("object"));
            object->lineEdit()->clear();
            object->resolveText();
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
        });
        action(editor.get(), "actEdit")->trigger();
        QVERIFY(!editor->graph().readFigure(m_free)->objectKey);
    }

    // A figure too small to split is refused in the dialog, which stays open;
    // nothing is written.
    void breakdownRefused()
    {
        TboRentGraph bo(m_s->context);
        TRentFigure tiny = bo.newFigure(m_free);
        tiny.name = QStringLiteral("Ниша");
        tiny.x2 = 3;
        tiny.y2 = 30;
        bo.writeFigure(tiny);
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(editor->selectFigure(tiny.id));
        bool keptOpen = false;
        whenModal<TdlgBreakdownObject>(editor.get(), [&](TdlgBreakdownObject *d) {
            QTest::mouseClick(d->okButton(), Qt::LeftButton);
            keptOpen = d->isVisible();
            d->reject();
        });
        action(editor.get(), "actBreakdown")->trigger();
        QVERIFY(keptOpen);
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.first().text, QStringLiteral("Объект слишком мал для разбиения"));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph WHERE parent = ?"), {tiny.id}),
                 QList<int>{0});
    }

    // Marked figures move under the current one: a floor cannot go into its
    // own room and keeps its mark; the counts are shown. Then to the top.
    void moveMarked()
    {
        const int floor2 = figureKey(db(), QStringLiteral("2 этаж"), 3);
        const auto editor = openEditor();
        QVERIFY(editor);
        QAction *move = action(editor.get(), "actMove");
        QAction *moveTop = action(editor.get(), "actMoveTop");
        QVERIFY(!move->isEnabled() && !moveTop->isEnabled());
        editor->treeModel()->setMarked(QList<qint64>{floor2, m_free}, true);
        QVERIFY(editor->selectFigure(m_rented));  // a room of the second floor
        QVERIFY(move->isEnabled() && moveTop->isEnabled());
        move->trigger();
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.last().text,
                 QStringLiteral("Количество перенесенных объектов: 1\nКоличество не перенесенных объектов: 1"));
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QCOMPARE(editor->graph().readFigure(m_free)->parent, std::optional<int>(m_rented));
        QVERIFY(editor->treeModel()->isMarked(floor2));
        QVERIFY(!editor->treeModel()->isMarked(m_free));
        QCOMPARE(editor->graph().figure(m_free)->parent, std::optional<int>(m_rented));  // drawn there

        moveTop->trigger();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Количество перенесенных объектов: 1"));
        QVERIFY(!editor->graph().readFigure(floor2)->parent);
        QVERIFY(!move->isEnabled() && !moveTop->isEnabled());
    }

    // The drawing tool bar stores the current figure at once; alignment is
    // offered only inside a parent; the scale takes whole percentages above 0.
    void drawingToolBar()
    {
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(editor->selectFigure(m_free));  // 412, 22 - 610, 98 on a floor 620 x 105
        action(editor.get(), "actWidthUp")->trigger();
        action(editor.get(), "actAlignRight")->trigger();
        action(editor.get(), "actStretchTop")->trigger();
        whenModal<QColorDialog>(editor.get(), [](QColorDialog *d) {
            d->setCurrentColor(Qt::blue);
            d->accept();
        });
        action(editor.get(), "actUseGraphColor")->trigger();
        whenModal<korvex::widgets::TxFontDialog>(editor.get(), [](korvex::widgets::TxFontDialog *d) {
            d->colorBox()->setColor(Qt::red);
            QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
        });
        action(editor.get(), "actFont")->trigger();
        std::optional<TRentFigure> f = editor->graph().readFigure(m_free);
        QCOMPARE(f->lineWidth, 2);
        QCOMPARE(QList<int>({f->x1, f->y1, f->x2, f->y2}), QList<int>({422, 0, 620, 98}));
        QCOMPARE(f->useGraphColor, QStringLiteral("clBlue"));
        QCOMPARE(f->fontColor, QStringLiteral("clRed"));
        QCOMPARE(editor->graph().figure(m_free)->x1, 422);  // drawn as stored

        // The arrow keys and dragging on the plan move the figure and store
        // it; a right click picks another one.
        TxGraphControl *view = editor->view();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(editor->graph().readFigure(m_free)->x1, 421);
        const QPoint inside = editor->graph().selectionRect()->center() + QPoint(0, 10);
        QTest::mousePress(view, Qt::LeftButton, {}, inside);
        QTest::mouseMove(view, inside + QPoint(-3, 0));
        QTest::mouseRelease(view, Qt::LeftButton, {}, inside + QPoint(-6, 2));
        f = editor->graph().readFigure(m_free);
        QCOMPARE(QList<int>({f->x1, f->y1, f->x2, f->y2}), QList<int>({415, 2, 613, 100}));
        QTest::mouseClick(view, Qt::RightButton, {}, placedRect(editor->graph(), m_rented).center() + QPoint(0, 10));
        QCOMPARE(editor->currentFigure(), std::optional<int>(m_rented));

        const int building = editor->graph().topOf(m_free);
        QVERIFY(editor->selectFigure(building));
        QVERIFY(!action(editor.get(), "actAlignLeft")->isEnabled());
        QVERIFY(action(editor.get(), "actWidthUp")->isEnabled());

        QLineEdit *scale = editor->scaleBox()->lineEdit();
        for (const char *bad : {"abc", "0", "-50", "1.5"}) {
            retype(scale, QString::fromLatin1(bad));
            QTest::keyClick(scale, Qt::Key_Return);
            QCOMPARE(scale->text(), QStringLiteral("100"));
        }
        QCOMPARE(editor->graph().Scale(), 1.0);
        editor->scaleBox()->setCurrentIndex(3);
        Q_EMIT editor->scaleBox()->activated(3);
        QCOMPARE(editor->graph().Scale(), 2.0);
    }

    // "Добавить" makes a figure beside the current one, at the top of an
    // empty plan; a sub-level needs a figure to go into.
    void addToAnEmptyPlan()
    {
        TboRentGraph bo(m_s->context);
        bo.load();
        for (int top : bo.childrenOf(std::nullopt))
            bo.deleteFigure(top);
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(!editor->currentFigure());
        QVERIFY(action(editor.get(), "actAdd")->isEnabled());
        QVERIFY(!action(editor.get(), "actAddChild")->isEnabled());
        auto named = [&](const QString &name) {
            whenModal<TdlgRentObjectGraph>(editor.get(), [name](TdlgRentObjectGraph *d) {
                retype(field(d, "name"), name);
                QTest::mouseClick(d->okButton(), Qt::LeftButton);
            });
        };
        named(QStringLiteral("Склад"));
        action(editor.get(), "actAdd")->trigger();
        const std::optional<int> first = editor->currentFigure();
        QVERIFY(first);
        named(QStringLiteral("Ангар"));
        action(editor.get(), "actAdd")->trigger();
        QVERIFY(editor->currentFigure() != first);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph WHERE parent IS NULL")),
                 QList<int>{2});
        QVERIFY(action(editor.get(), "actAddChild")->isEnabled());
    }

    // "Удалить" asks, and the figure goes with those inside it; the tree
    // shows the parent.
    void deleteFigure()
    {
        const int floor3 = figureKey(db(), QStringLiteral("3 этаж"), 4);
        const auto editor = openEditor();
        QVERIFY(editor);
        QVERIFY(editor->selectFigure(floor3));
        m_prompts.answer = false;
        action(editor.get(), "actDelete")->trigger();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Удалить объект?"));
        QVERIFY(editor->graph().readFigure(floor3));
        m_prompts.answer = true;
        action(editor.get(), "actDelete")->trigger();
        QVERIFY(!editor->graph().readFigure(floor3));
        QVERIFY(!editor->graph().readFigure(m_free));
        QVERIFY(!editor->treeModel()->contains(m_free));
        QCOMPARE(editor->currentFigure(), std::optional<int>(editor->graph().topOf(m_rented)));
    }
};
KORVEX_TEST_CLASS(GraphEditorTest)

#include "tst_grapheditor.moc"
