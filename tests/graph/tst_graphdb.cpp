#include "common/testMain.h"
#include "common/testPrompt.h"
#include "graphFixture.h"
#include "reference/referenceFixture.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "graph/boRentGraph.h"
#include "graph/graphBreakdown.h"
#include "graph/graphDialogs.h"
#include "graph/graphStyle.h"
#include "graph/ui/graphPrint.h"
#include "graph/ui/xGraphControl.h"
#include "widgets/xTreeModel.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>

KORVEX_TEST_GUI_PROGRAM()

using namespace korvex::db;
using namespace korvex::graph;
using korvex::test::TestDatabase;
using korvex::widgets::TxTreeModel;

Q_DECLARE_METATYPE(TAlignment)

namespace {

// Dialogs that answer as told and record what they were shown.
struct FakeGraphDialogs : TGraphDialogs {
    korvex::test::TxPromptRecorder prompts{true};
    std::function<bool(TBreakdownParams &, int, int)> onBreakdown;
    std::function<bool(TboRentGraph &, TRentFigure &, bool)> onFigure;
    int chosenObject = 0;

    korvex::widgets::TxPrompt &prompt() override { return prompts; }
    bool figureDialog(TboRentGraph &bo, TRentFigure &f, bool isNew) override
    {
        return onFigure ? onFigure(bo, f, isNew) : false;
    }
    bool breakdownDialog(TBreakdownParams &p, int w, int h) override { return onBreakdown ? onBreakdown(p, w, h) : false; }
    bool chooseObject(int &key) override
    {
        key = chosenObject;
        return chosenObject > 0;
    }
};

} // namespace

// Figures stored, changed, aligned, deleted, split and moved in the database.
class GraphStoreTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    FakeGraphDialogs m_dialogs;
    std::unique_ptr<TboRentGraph> m_g;

    TxDatabase &db() { return m_s->t.db(); }

    // A 100 x 60 floor at (0, 0) holding a room at (10, 10)-(40, 30).
    int floorWithRoom(int *room = nullptr)
    {
        TRentFigure floor = m_g->newFigure(std::nullopt);
        floor.name = QStringLiteral("Этаж");
        floor.x2 = 100;
        floor.y2 = 60;
        m_g->writeFigure(floor);
        TRentFigure r = m_g->newFigure(floor.id);
        r.name = QStringLiteral("Комната");
        r.x1 = 10;
        r.y1 = 10;
        r.x2 = 40;
        r.y2 = 30;
        m_g->writeFigure(r);
        if (room)
            *room = r.id;
        return floor.id;
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Schema);
        m_dialogs = FakeGraphDialogs{};
        m_g = std::make_unique<TboRentGraph>(m_s->context, &m_dialogs);
    }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        m_g.reset();
        m_s.reset();
    }

    // A new figure takes the options that are set; the row reads back as written.
    void storeAndRead()
    {
        m_s->options.SetStringOption(QStringLiteral("rentobjectusegraphcolor"), false, QStringLiteral("$0000A5FF"));
        m_s->options.SetStringOption(QStringLiteral("rentobjectfontname"), false, QStringLiteral("Arial"));
        m_s->options.SetIntegerOption(QStringLiteral("rentobjectfontsize"), false, 9);
        TRentFigure f = m_g->newFigure(std::nullopt);
        QCOMPARE(f.x2, 50);
        QCOMPARE(f.lineColor, QStringLiteral("clBlack"));
        QCOMPARE(f.graphColor, QStringLiteral("clWhite"));
        QCOMPARE(f.useGraphColor, QStringLiteral("$0000A5FF"));
        QCOMPARE(f.fontName, QStringLiteral("Arial"));
        f.name = QStringLiteral("Склад");
        f.graphType = int(TGraphType::Ellipse);
        f.fontStyle = QStringLiteral("BI");
        m_g->writeFigure(f);
        QVERIFY(f.id > 0);
        const std::optional<TRentFigure> back = m_g->readFigure(f.id);
        QVERIFY(back);
        QCOMPARE(back->name, f.name);
        QCOMPARE(back->graphType, 2);
        QCOMPARE(back->useGraphColor, f.useGraphColor);
        QCOMPARE(back->fontSize, 9);
        QCOMPARE(back->fontStyle, QStringLiteral("BI"));
        QVERIFY(!back->parent && !back->objectKey);
        QCOMPARE(m_g->figure(f.id)->name, f.name);
    }

    // Changes add to the corners on the server; a figure deleted meanwhile
    // is reported.
    void applyChange()
    {
        int room = 0;
        floorWithRoom(&room);
        TxQuery::execute(db(), QStringLiteral("UPDATE rent_objectgraph SET y2 = 35 WHERE id = ?"), {room});  // another workstation
        m_g->applyChange({room, 2, -1, 3, 4});
        const std::optional<TRentFigure> r = m_g->readFigure(room);
        QCOMPARE(QList<int>({r->x1, r->y1, r->x2, r->y2}), QList<int>({12, 9, 43, 39}));
        QCOMPARE(m_g->figure(room)->y2, 39);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_g->applyChange({9999, 1, 1, 1, 1}));
    }

    void align_data()
    {
        QTest::addColumn<TAlignment>("alignment");
        QTest::addColumn<QRect>("result");  // x1, y1 topLeft; x2, y2 bottomRight
        QTest::newRow("left") << TAlignment::Left << QRect(QPoint(0, 10), QPoint(30, 30));
        QTest::newRow("right") << TAlignment::Right << QRect(QPoint(70, 10), QPoint(100, 30));
        QTest::newRow("top") << TAlignment::Top << QRect(QPoint(10, 0), QPoint(40, 20));
        QTest::newRow("bottom") << TAlignment::Bottom << QRect(QPoint(10, 40), QPoint(40, 60));
        QTest::newRow("stretch left") << TAlignment::StretchLeft << QRect(QPoint(0, 10), QPoint(40, 30));
        QTest::newRow("stretch right") << TAlignment::StretchRight << QRect(QPoint(10, 10), QPoint(100, 30));
        QTest::newRow("stretch top") << TAlignment::StretchTop << QRect(QPoint(10, 0), QPoint(40, 30));
        QTest::newRow("stretch bottom") << TAlignment::StretchBottom << QRect(QPoint(10, 10), QPoint(40, 60));
    }
    void align()
    {
        QFETCH(TAlignment, alignment);
        QFETCH(QRect, result);
        int room = 0;
        const int floor = floorWithRoom(&room);
        QVERIFY(m_g->alignFigure(room, alignment));
        const std::optional<TRentFigure> r = m_g->readFigure(room);
        QCOMPARE(QRect(QPoint(r->x1, r->y1), QPoint(r->x2, r->y2)), result);
        QVERIFY(!m_g->alignFigure(floor, alignment));  // a top figure has nothing to align to
    }

    void lineWidth()
    {
        int room = 0;
        floorWithRoom(&room);
        m_g->changeLineWidth(room, 1);
        QCOMPARE(m_g->readFigure(room)->lineWidth, 2);
        m_g->changeLineWidth(room, -1);
        m_g->changeLineWidth(room, -1);
        QCOMPARE(m_g->readFigure(room)->lineWidth, 1);
    }

    // "Удалить" asks, then the server deletes the figure with those inside it.
    void deleteFigure()
    {
        int room = 0;
        const int floor = floorWithRoom(&room);
        m_g->load();
        m_dialogs.prompts.answer = false;
        QVERIFY(!m_g->DeleteFigure(floor));
        QCOMPARE(m_dialogs.prompts.messages.last().text, QStringLiteral("Удалить объект?"));
        QCOMPARE(m_dialogs.prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph")), QList<int>{2});
        m_dialogs.prompts.answer = true;
        QVERIFY(m_g->DeleteFigure(floor));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph")), QList<int>{0});
        QVERIFY(m_g->figures().isEmpty());
    }

    // The cells are children of the figure, made in the chosen order (keys
    // ascending with the numbers), with the options' colours; the editor's
    // font when no font option is set.
    void breakdownInTheDatabase()
    {
        int room = 0;
        const int floor = floorWithRoom(&room);
        m_s->options.SetStringOption(QStringLiteral("rentobjectgraphcolor"), false, QStringLiteral("clCream"));
        TBreakdownParams p;
        p.rows = 2;
        p.columns = 3;
        p.order = 6;
        QFont editor(QStringLiteral("Liberation Sans"), 11);
        editor.setBold(true);
        QCOMPARE(m_g->breakdownFigure(floor, p, editor), 6);
        QVERIFY(!db().inTransaction());
        const QString cells = QStringLiteral("FROM rent_objectgraph WHERE parent = ? AND id <> ? ORDER BY id");
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name ") + cells, {floor, room}),
                 QStringList({"Комната № 1", "Комната № 2", "Комната № 3", "Комната № 4", "Комната № 5", "Комната № 6"}));
        // Order 6 starts at the bottom right.
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT x1 ") + cells, {floor, room}), QList<int>({66, 66, 33, 33, 0, 0}));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT y1 ") + cells, {floor, room}), QList<int>({30, 0, 30, 0, 30, 0}));
        const TRentFigure cell = *m_g->figure(m_g->childrenOf(floor).last());
        QCOMPARE(cell.graphColor, QStringLiteral("clCream"));
        QCOMPARE(cell.useGraphColor, QStringLiteral("clRed"));
        QCOMPARE(cell.lineWidth, 1);
        QCOMPARE(cell.fontName, QStringLiteral("Liberation Sans"));
        QCOMPARE(cell.fontSize, 11);
        QCOMPARE(cell.fontStyle, QStringLiteral("B"));
        // With a font colour among the options, the options' font.
        m_s->options.SetStringOption(QStringLiteral("rentobjectfontcolor"), false, QStringLiteral("clNavy"));
        m_s->options.SetStringOption(QStringLiteral("rentobjectfontname"), false, QStringLiteral("Arial"));
        p.rows = p.columns = 1;
        QCOMPARE(m_g->breakdownFigure(room, p, editor), 1);
        const TRentFigure inner = *m_g->figure(m_g->childrenOf(room).first());
        QCOMPARE(inner.fontName, QStringLiteral("Arial"));
        QCOMPARE(inner.fontColor, QStringLiteral("clNavy"));
    }

    // A refused breakdown writes nothing; a cell the database refuses takes
    // the whole breakdown back.
    void breakdownAllOrNothing()
    {
        int room = 0;
        floorWithRoom(&room);
        TBreakdownParams p;
        p.rows = 0;
        p.columns = 2;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, m_g->breakdownFigure(room, p));
        p.rows = 2;
        p.name = QString(59, QLatin1Char('x'));  // the second cell's name no longer fits the column
        p.start = 9;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_g->breakdownFigure(room, p));
        QVERIFY(!db().inTransaction());
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph")), QList<int>{2});
    }

    // The dialog starts from the options and its values are kept on "Ок".
    void breakdownDialogAndOptions()
    {
        const int floor = floorWithRoom();
        m_s->options.SetIntegerOption(QStringLiteral("rentbreakdowntype"), false, 3);
        m_s->options.SetStringOption(QStringLiteral("rentbreakdownname"), false, QStringLiteral("Бокс "));
        int askedWidth = 0;
        m_dialogs.onBreakdown = [&](TBreakdownParams &p, int w, int h) {
            askedWidth = w;
            [&] {
                QCOMPARE(p.order, 3);
                QCOMPARE(p.name, QStringLiteral("Бокс "));
                QCOMPARE(p.start, 1);
                QCOMPARE(h, 60);
            }();
            p.rows = 1;
            p.columns = 4;
            p.start = 7;
            p.step = 2;
            return true;
        };
        QCOMPARE(m_g->BreakdownFigure(floor), 4);
        QCOMPARE(askedWidth, 100);
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentbreakdownnumber")), std::optional<int>(7));
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentbreakdownStep")), std::optional<int>(2));
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentbreakdownnumbercheck")), std::optional<int>(1));
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name FROM rent_objectgraph WHERE name STARTING WITH ? ORDER BY id"),
                            {QStringLiteral("Бокс")}),
                 QStringList({"Бокс 7", "Бокс 9", "Бокс 11", "Бокс 13"}));
        m_dialogs.onBreakdown = [](TBreakdownParams &, int, int) { return false; };
        QCOMPARE(m_g->BreakdownFigure(floor), 0);
    }

    void bindObject()
    {
        int room = 0;
        floorWithRoom(&room);
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_object (id, name) VALUES (7, 'Офис')"));
        m_dialogs.chosenObject = 0;
        QVERIFY(!m_g->BindObject(room));
        m_dialogs.chosenObject = 7;
        QVERIFY(m_g->BindObject(room));
        QCOMPARE(m_g->readFigure(room)->objectKey, std::optional<int>(7));
    }

    // Marked figures move under the current one when the server allows it;
    // a figure cannot go below itself and keeps its mark.
    void moveMarked()
    {
        int room = 0;
        const int floor = floorWithRoom(&room);
        TRentFigure a = m_g->newFigure(std::nullopt), b = m_g->newFigure(std::nullopt);
        a.name = QStringLiteral("Гараж");
        b.name = QStringLiteral("Склад");
        m_g->writeFigure(a);
        m_g->writeFigure(b);
        TxTreeModel model(db());
        m_g->setUpTree(model);
        model.load();
        model.setMarked(QList<qint64>{floor, a.id, b.id}, true);
        const TxTreeModel::MoveResult result = model.moveMarked(room);
        QCOMPARE(result.moved, 2);
        QCOMPARE(result.refused, 1);
        QCOMPARE(TxTreeModel::moveMessage(result),
                 QStringLiteral("Количество перенесенных объектов: 2\nКоличество не перенесенных объектов: 1"));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT id FROM rent_objectgraph WHERE parent = ? ORDER BY id"), {room}),
                 QList<int>({a.id, b.id}));
        QVERIFY(model.isMarked(floor));
        QVERIFY(!model.isMarked(a.id));
        // The server refuses a target another workstation deleted meanwhile.
        model.setMarked(floor, false);
        model.setMarked(a.id, true);
        TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_objectgraph WHERE id = ?"), {b.id});
        const TxTreeModel::MoveResult refused = model.moveMarked(b.id);
        QCOMPARE(refused.moved, 0);
        QCOMPARE(refused.refused, 1);
        // To the top without a test.
        const TxTreeModel::MoveResult top = model.moveMarked(std::nullopt);
        QCOMPARE(top.moved, 1);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph WHERE parent IS NULL")),
                 QList<int>{2});
    }

    // The editor's switches: a new installation shows the whole plan with the
    // rented rooms; what the user leaves is what the next one finds.
    void editorOptions()
    {
        m_g->readEditorOptions();
        QVERIFY(m_g->ShowUse());
        QVERIFY(m_g->DrawOuterLevels());
        QCOMPARE(m_g->Scale(), 1.0);
        m_g->setShowUse(false);
        m_g->setScale(1.5);
        m_g->writeEditorOptions();
        TboRentGraph other(m_s->context);
        other.readEditorOptions();
        QVERIFY(!other.ShowUse());
        QCOMPARE(other.Scale(), 1.5);
        m_s->options.SetIntegerOption(QStringLiteral("rentgraphscale"), false, 0);
        other.readEditorOptions();
        QCOMPARE(other.Scale(), 1.5);  // a stored 0 is no scale
    }
};
KORVEX_TEST_CLASS(GraphStoreTest)

// The demonstration plan: what a new installation shows, prints and saves.
class DemoPlanTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<TboRentGraph> m_g;
    int m_rented = 0;   // оф. 201 of «Немига», rented
    int m_free = 0;     // оф. 303 of «Немига», free
    int m_building = 0;

    TxDatabase &db() { return m_s->t.db(); }

    QImage draw() { return drawPlan(*m_g, {700, 520}); }

private Q_SLOTS:
    void initTestCase()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_rented = figureKey(db(), QStringLiteral("оф. 201"), 8);
        m_free = figureKey(db(), QStringLiteral("оф. 303"), 14);
        m_building = figureKey(db(), QStringLiteral("БЦ «Немига», ул. Немига, 5"), 1);
        QVERIFY(m_rented && m_free && m_building);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT useful FROM rent_object WHERE id = 8")).toInt(), 1);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT useful FROM rent_object WHERE id = 14")).toInt(), 0);
    }
    void cleanupTestCase() { m_s.reset(); }
    void init()
    {
        m_g = std::make_unique<TboRentGraph>(m_s->context);
        m_g->load();
        m_g->readEditorOptions();
        m_g->setSelectedFigure(m_rented);
    }

    // A rented room is red, a free one keeps its colour; every object the
    // plan shows is bound to a leased object of the demonstration.
    void rentedRoomsAreRed()
    {
        const QImage image = draw();
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::lightGray));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));  // the control's frame
        const QRect rented = placedRect(*m_g, m_rented);
        const QRect free = placedRect(*m_g, m_free);
        QVERIFY(!rented.isEmpty() && !free.isEmpty());
        QCOMPARE(image.pixelColor(rented.center() + QPoint(0, 10)), QColor(Qt::red));
        QCOMPARE(image.pixelColor(free.center() + QPoint(0, 10)), colorFromText(QStringLiteral("clMoneyGreen")).value());
        QCOMPARE(image.pixelColor(rented.topLeft()), QColor(Qt::black));  // the outline
        m_g->setShowUse(false);
        const QImage plain = draw();
        QCOMPARE(plain.pixelColor(rented.center() + QPoint(0, 10)), colorFromText(QStringLiteral("clMoneyGreen")).value());
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_objectgraph g WHERE g.graphtype = 0 "
                                                      "AND NOT EXISTS (SELECT 1 FROM rent_object o WHERE o.id = g.objectkey)"))
                     .toInt(),
                 0);
    }

    // The occupancy is read once per redraw, and not at all without
    // "Задействованные объекты".
    void oneQueryPerRedraw()
    {
        quint64 before = TxQuery::executions();
        draw();
        QCOMPARE(TxQuery::executions() - before, quint64(1));
        m_g->setShowUse(false);
        before = TxQuery::executions();
        draw();
        draw();
        QCOMPARE(TxQuery::executions() - before, quint64(0));
        // The objects of the drawn building only, by the server's rule.
        const QHash<int, bool> use = m_g->readOccupancy(m_building);
        QCOMPARE(use.value(8), true);
        QCOMPARE(use.value(14, true), false);
        QVERIFY(!use.contains(27));  // a room of the other building
        QCOMPARE(use.size(), 21);    // the building, 3 floors, the car park, 16 rooms and places
    }

    // The whole building fits a page; the PDF is complete, and a failed save
    // leaves the earlier file as it was.
    void savePdf()
    {
        const QString file = m_s->t.dir() + QStringLiteral("/plan.pdf");
        m_g->SavePdf(file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.trimmed().endsWith("%%EOF"));
        const QSize size = m_g->planSize();
        QCOMPARE(size, QSize(661, 491));  // the building outline and a margin

        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_g->SavePdf(m_s->t.dir() + QStringLiteral("/none/plan.pdf")));
        QVERIFY(!QFile::exists(m_s->t.dir() + QStringLiteral("/none/plan.pdf")));
    }

    // A save that fails half way (the occupancy cannot be read) leaves the
    // earlier file as it was.
    void failedSaveKeepsTheEarlierFile()
    {
        const QString file = m_s->t.dir() + QStringLiteral("/kept.pdf");
        m_g->SavePdf(file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        TxQuery::execute(db(), QStringLiteral("DROP PROCEDURE rent_p_useobjectgraph"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_g->SavePdf(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        // A fresh database for the tests after this one.
        m_g.reset();
        m_s.reset();
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
    }

    // Printing draws the same plan on the printer's page.
    void print()
    {
        m_g->setShowUse(false);  // prints as drawn; the occupancy is covered above
        const QString file = m_s->t.dir() + QStringLiteral("/printed.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printPlan(*m_g, printer);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF-"));
    }

    // The control: a right click picks the room under the mouse, dragging
    // the selection and the arrow keys report changes, nothing is stored.
    void control()
    {
        TxGraphControl view(*m_g);
        view.resize(700, 520);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.Draw();
        QCOMPARE(view.picture().pixelColor(placedRect(*m_g, m_rented).center() + QPoint(0, 10)), QColor(Qt::red));

        QSignalSpy picked(&view, &TxGraphControl::OnNewObject);
        QSignalSpy changed(&view, &TxGraphControl::OnNewChangeObject);
        QTest::mouseClick(&view, Qt::RightButton, {}, placedRect(*m_g, m_free).center() + QPoint(0, 10));
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.first().first().toInt(), m_free);

        const QPoint inside = m_g->selectionRect()->center() + QPoint(0, 10);
        QTest::mousePress(&view, Qt::LeftButton, {}, inside);
        QTest::mouseMove(&view, inside + QPoint(4, 0));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, inside + QPoint(8, 5));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.takeFirst(), QVariantList({m_rented, 8, 5, 8, 5}));

        QTest::keyClick(&view, Qt::Key_Left);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0), QVariantList({m_rented, -1, 0, -1, 0}));
        QCOMPARE(changed.at(1), QVariantList({m_rented, 0, 0, 0, 1}));
        QCOMPARE(m_g->readFigure(m_rented)->x1, m_g->figure(m_rented)->x1);  // the owner applies changes
    }
};
KORVEX_TEST_CLASS(DemoPlanTest)

#include "tst_graphdb.moc"
