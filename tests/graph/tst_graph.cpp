#include "common/testMain.h"
#include "graphFixture.h"
#include "reference/referenceFixture.h"

#include "graph/boRentGraph.h"
#include "graph/graphBreakdown.h"
#include "graph/graphStyle.h"

#include <QTest>
#include <cmath>

using namespace korvex::graph;
using korvex::test::TestDatabase;

Q_DECLARE_METATYPE(TGrip)
Q_DECLARE_METATYPE(TFigureChange)

namespace {

TRentFigure rect(int id, std::optional<int> parent, int x1, int y1, int x2, int y2)
{
    TRentFigure f;
    f.id = id;
    f.parent = parent;
    f.name = QStringLiteral("Фигура %1").arg(id);
    f.x1 = x1;
    f.y1 = y1;
    f.x2 = x2;
    f.y2 = y2;
    return f;
}

} // namespace

// Where figures land on the screen, how the mouse and the keys pick and
// change them: the plan without a database behind its figures.
class GraphGeometryTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<TboRentGraph> m_g;

    // A 100 x 60 figure with a child at (10, 10)-(30, 30) and a grandchild,
    // the parent selected, drawn in 400 x 300 at scale 1.
    void drawNested(double scale = 1.0)
    {
        m_g->setFigures({rect(1, std::nullopt, 0, 0, 100, 60), rect(2, 1, 10, 10, 30, 30), rect(3, 2, 5, 5, 15, 15)});
        m_g->setSelectedFigure(1);
        m_g->setScale(scale);
        drawPlan(*m_g, {400, 300});
    }

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Schema); }
    void cleanupTestCase() { m_s.reset(); }
    void init() { m_g = std::make_unique<TboRentGraph>(m_s->context); }

    // The start figure is centred whatever its own corner; children are
    // placed from their parent's rounded corner, so rounding adds up level by
    // level, a tie going to the even number.
    void geometry_data()
    {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QRect>("parent");      // x1, y1 as topLeft, x2, y2 as bottomRight
        QTest::addColumn<QPoint>("child");      // x1, y1 inside the parent; 20 x 20
        QTest::addColumn<QPoint>("grandchild"); // x1, y1 inside the child; 10 x 10
        QTest::addColumn<QPoint>("parentAt");
        QTest::addColumn<QPoint>("childAt");
        QTest::addColumn<QPoint>("grandchildAt");
        QTest::addColumn<QPoint>("childEnd");

        const QRect p(QPoint(0, 0), QPoint(100, 60));
        QTest::newRow("scale 1") << QSize(400, 300) << 1.0 << p << QPoint(10, 10) << QPoint(5, 5) << QPoint(150, 120)
                                 << QPoint(160, 130) << QPoint(165, 135) << QPoint(180, 150);
        QTest::newRow("scale 2") << QSize(400, 300) << 2.0 << p << QPoint(10, 10) << QPoint(5, 5) << QPoint(100, 90)
                                 << QPoint(120, 110) << QPoint(130, 120) << QPoint(160, 150);
        QTest::newRow("start corner off the origin")
            << QSize(400, 300) << 1.0 << QRect(QPoint(20, 30), QPoint(120, 90)) << QPoint(10, 10) << QPoint(5, 5)
            << QPoint(150, 120) << QPoint(160, 130) << QPoint(165, 135) << QPoint(180, 150);
        // x0 = round(125.5) = 126, y0 = round(105.5) = 106; 3 x 1.5 = 4.5 -> 4,
        // 5 x 1.5 = 7.5 -> 8, 23 x 1.5 = 34.5 -> 34, 25 x 1.5 = 37.5 -> 38.
        QTest::newRow("halves to even") << QSize(401, 301) << 1.5 << p << QPoint(3, 5) << QPoint(3, 5)
                                        << QPoint(126, 106) << QPoint(130, 114) << QPoint(134, 122)
                                        << QPoint(160, 144);
        // 0.5: x0 = round(175) = 175; 7 x 0.5 = 3.5 -> 4 and 5 x 0.5 = 2.5 -> 2 at each level.
        QTest::newRow("scale one half") << QSize(400, 300) << 0.5 << p << QPoint(7, 5) << QPoint(7, 5)
                                        << QPoint(175, 135) << QPoint(179, 137) << QPoint(183, 139)
                                        << QPoint(189, 147);
    }
    void geometry()
    {
        QFETCH(QSize, control);
        QFETCH(double, scale);
        QFETCH(QRect, parent);
        QFETCH(QPoint, child);
        QFETCH(QPoint, grandchild);
        m_g->setFigures({rect(1, std::nullopt, parent.left(), parent.top(), parent.right(), parent.bottom()),
                         rect(2, 1, child.x(), child.y(), child.x() + 20, child.y() + 20),
                         rect(3, 2, grandchild.x(), grandchild.y(), grandchild.x() + 10, grandchild.y() + 10)});
        m_g->setSelectedFigure(1);
        QVERIFY(m_g->setScale(scale));
        drawPlan(*m_g, control);
        QTEST(placedRect(*m_g, 1).topLeft(), "parentAt");
        QTEST(placedRect(*m_g, 2).topLeft(), "childAt");
        QTEST(placedRect(*m_g, 3).topLeft(), "grandchildAt");
        QTEST(placedRect(*m_g, 2).bottomRight(), "childEnd");
    }

    // With DrawOuterLevels the top figure is centred and the selected one
    // inside it is the selection; without, the selected figure alone.
    void outerLevels()
    {
        m_g->setFigures({rect(1, std::nullopt, 0, 0, 100, 60), rect(2, 1, 10, 10, 30, 30), rect(3, 2, 5, 5, 15, 15),
                         rect(4, std::nullopt, 0, 0, 10, 10)});
        m_g->setSelectedFigure(2);
        m_g->setDrawOuterLevels(true);
        drawPlan(*m_g, {400, 300});
        QCOMPARE(m_g->selectionRect(), QRect(QPoint(160, 130), QPoint(180, 150)));
        QCOMPARE(m_g->hitList().size(), 2);  // the outline and the grandchild; not the other top figure
        m_g->setDrawOuterLevels(false);
        drawPlan(*m_g, {400, 300});
        QCOMPARE(m_g->selectionRect(), QRect(QPoint(190, 140), QPoint(210, 160)));
        QCOMPARE(m_g->hitList().size(), 1);
        // An unknown selection draws the first top figure and selects nothing.
        m_g->setSelectedFigure(99);
        drawPlan(*m_g, {400, 300});
        QVERIFY(!m_g->selectionRect());
        QCOMPARE(placedRect(*m_g, 1).topLeft(), QPoint(150, 120));
    }

    // A ring of parents in a damaged table is drawn once and climbed once.
    void ringOfParents()
    {
        m_g->setFigures({rect(1, 2, 0, 0, 100, 60), rect(2, 1, 10, 10, 30, 30)});
        m_g->setSelectedFigure(2);
        m_g->setDrawOuterLevels(true);
        drawPlan(*m_g, {400, 300});
        QCOMPARE(m_g->hitList().size(), 1);
        QVERIFY(m_g->selectionRect());
    }

    // Children are found before their parents, a later sibling before an
    // earlier one, only strictly inside a rectangle, never the selected one.
    void hitTesting()
    {
        m_g->setFigures({rect(1, std::nullopt, 0, 0, 100, 60), rect(2, 1, 10, 10, 50, 50), rect(3, 2, 5, 5, 15, 15),
                         rect(4, 1, 40, 20, 90, 55)});
        m_g->setSelectedFigure(1);
        drawPlan(*m_g, {400, 300});  // origin (150, 120)
        QCOMPARE(m_g->figureAt({170, 140}), std::optional<int>(3));  // grandchild inside child
        QCOMPARE(m_g->figureAt({162, 162}), std::optional<int>(2));
        QCOMPARE(m_g->figureAt({195, 150}), std::optional<int>(4));  // both 2 and 4: the later one
        QCOMPARE(m_g->figureAt({160, 150}), std::nullopt);            // on 2's left edge, inside the selected 1
        QCOMPARE(m_g->figureAt({245, 175}), std::nullopt);            // only the selected figure
        QCOMPARE(m_g->mousePress({170, 140}, Qt::RightButton), std::optional<int>(3));
        m_g->setSelectedFigure(2);
        m_g->setDrawOuterLevels(true);
        drawPlan(*m_g, {400, 300});
        QCOMPARE(m_g->mousePress({162, 162}, Qt::RightButton), std::optional<int>(1));  // 2 itself is selected
        QCOMPARE(m_g->mousePress({245, 175}, Qt::LeftButton), std::optional<int>(1));   // outside the selection
    }

    void grips_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<TGrip>("grip");
        // The selection is (160, 130)-(180, 150).
        QTest::newRow("left edge") << QPoint(160, 140) << TGrip::Left;
        QTest::newRow("left, 3 outside") << QPoint(157, 140) << TGrip::Left;
        QTest::newRow("left, 4 outside") << QPoint(156, 140) << TGrip::None;
        QTest::newRow("right, 3 inside") << QPoint(177, 140) << TGrip::Right;
        QTest::newRow("top") << QPoint(170, 133) << TGrip::Top;
        QTest::newRow("bottom") << QPoint(170, 153) << TGrip::Bottom;
        QTest::newRow("top-left") << QPoint(158, 128) << TGrip::TopLeft;
        QTest::newRow("bottom-left") << QPoint(161, 151) << TGrip::BottomLeft;
        QTest::newRow("top-right") << QPoint(183, 127) << TGrip::TopRight;
        QTest::newRow("bottom-right") << QPoint(180, 150) << TGrip::BottomRight;
        QTest::newRow("inside") << QPoint(170, 140) << TGrip::None;
        QTest::newRow("beside the edge's line") << QPoint(160, 160) << TGrip::None;
    }
    void grips()
    {
        QFETCH(QPoint, point);
        m_g->setFigures({rect(1, std::nullopt, 0, 0, 100, 60), rect(2, 1, 10, 10, 30, 30)});
        m_g->setSelectedFigure(2);
        m_g->setDrawOuterLevels(true);
        drawPlan(*m_g, {400, 300});
        QTEST(m_g->gripAt(point), "grip");
        m_g->mouseMove(point);
        QTEST(m_g->grip(), "grip");
    }

    // A left press on a grip resizes, inside the selection moves; the change
    // is the travel of each edge divided by the scale and rounded.
    void dragChanges_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("flipped");  // the figure stored right to left
        QTest::addColumn<QPoint>("press");  // relative to the selection's top left
        QTest::addColumn<QPoint>("travel");
        QTest::addColumn<TFigureChange>("change");
        QTest::addColumn<QRect>("selection");  // relative, after the release

        QTest::newRow("move") << 1.0 << false << QPoint(10, 10) << QPoint(7, -3) << TFigureChange{2, 7, -3, 7, -3}
                              << QRect(QPoint(7, -3), QPoint(27, 17));
        QTest::newRow("move at scale 2, halves to even")
            << 2.0 << false << QPoint(20, 20) << QPoint(5, 7) << TFigureChange{2, 2, 4, 2, 4}
            << QRect(QPoint(5, 7), QPoint(45, 47));
        QTest::newRow("right edge") << 1.0 << false << QPoint(20, 10) << QPoint(10, 50) << TFigureChange{2, 0, 0, 10, 0}
                                    << QRect(QPoint(0, 0), QPoint(30, 20));
        QTest::newRow("right edge past the left one stops a pixel right of it")
            << 1.0 << false << QPoint(20, 10) << QPoint(-40, 0) << TFigureChange{2, 0, 0, -19, 0}
            << QRect(QPoint(0, 0), QPoint(1, 20));
        QTest::newRow("top edge past the bottom one")
            << 1.0 << false << QPoint(10, 0) << QPoint(0, 30) << TFigureChange{2, 0, 19, 0, 0}
            << QRect(QPoint(0, 19), QPoint(20, 20));
        QTest::newRow("top-left corner") << 1.0 << false << QPoint(0, 0) << QPoint(-5, -6)
                                         << TFigureChange{2, -5, -6, 0, 0} << QRect(QPoint(-5, -6), QPoint(20, 20));
        QTest::newRow("bottom-left corner at scale 2")
            << 2.0 << false << QPoint(0, 40) << QPoint(-6, 10) << TFigureChange{2, -3, 0, 0, 5}
            << QRect(QPoint(-6, 0), QPoint(40, 50));
        QTest::newRow("left edge of a figure stored right to left is its x2")
            << 1.0 << true << QPoint(0, 10) << QPoint(-10, 0) << TFigureChange{2, 0, 0, -10, 0}
            << QRect(QPoint(-10, 0), QPoint(20, 20));
    }
    void dragChanges()
    {
        QFETCH(double, scale);
        QFETCH(bool, flipped);
        QFETCH(QPoint, press);
        QFETCH(QPoint, travel);
        QFETCH(QRect, selection);
        m_g->setFigures({rect(1, std::nullopt, 0, 0, 100, 60),
                         flipped ? rect(2, 1, 30, 10, 10, 30) : rect(2, 1, 10, 10, 30, 30)});
        m_g->setSelectedFigure(2);
        m_g->setDrawOuterLevels(true);
        QVERIFY(m_g->setScale(scale));
        drawPlan(*m_g, {400, 300});
        const QPoint origin = m_g->selectionRect()->topLeft();
        QCOMPARE(m_g->mousePress(origin + press, Qt::LeftButton), std::nullopt);
        QVERIFY(m_g->dragState() != TDragState::None);
        m_g->mouseMove(origin + press + travel / 2);
        const std::optional<TFigureChange> change = m_g->mouseRelease(origin + press + travel);
        QVERIFY(change);
        QTEST(*change, "change");
        QCOMPARE(m_g->selectionRect()->translated(-origin), selection);
        QCOMPARE(m_g->dragState(), TDragState::None);
    }

    // A click inside the selection without travel changes nothing.
    void clickWithoutTravel()
    {
        drawNested();
        const QPoint centre = m_g->selectionRect()->center();
        QCOMPARE(m_g->mousePress(centre, Qt::LeftButton), std::nullopt);
        QCOMPARE(m_g->dragState(), TDragState::Moving);
        QCOMPARE(m_g->mouseRelease(centre), std::nullopt);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<TFigureChange>("change");
        QTest::newRow("left") << int(Qt::Key_Left) << false << TFigureChange{1, -1, 0, -1, 0};
        QTest::newRow("right") << int(Qt::Key_Right) << false << TFigureChange{1, 1, 0, 1, 0};
        QTest::newRow("up") << int(Qt::Key_Up) << false << TFigureChange{1, 0, -1, 0, -1};
        QTest::newRow("down") << int(Qt::Key_Down) << false << TFigureChange{1, 0, 1, 0, 1};
        QTest::newRow("shift+right widens") << int(Qt::Key_Right) << true << TFigureChange{1, 0, 0, 1, 0};
        QTest::newRow("shift+up lowers the bottom") << int(Qt::Key_Up) << true << TFigureChange{1, 0, 0, 0, -1};
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, shift);
        drawNested();
        const std::optional<TFigureChange> change = m_g->keyPress(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(change);
        QTEST(*change, "change");
        QCOMPARE(m_g->keyPress(Qt::Key_A, Qt::NoModifier), std::nullopt);
    }

    // The scale stays above 0; the scale box takes whole percentages only.
    void scale()
    {
        QVERIFY(m_g->setScale(1.5));
        for (double bad : {0.0, -1.0, std::nan(""), double(INFINITY)})
            QVERIFY(!m_g->setScale(bad));
        QCOMPARE(m_g->Scale(), 1.5);
        QCOMPARE(TboRentGraph::scalePercent(QStringLiteral("150"), 100), 150);
        QCOMPARE(TboRentGraph::scalePercent(QStringLiteral(" 50 "), 100), 50);
        for (const char *bad : {"0", "-50", "1.5", "abc", ""})
            QCOMPARE(TboRentGraph::scalePercent(QLatin1String(bad), 200), 200);
    }

    void colours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");  // invalid: no colour
        QTest::newRow("name") << "clRed" << QColor(255, 0, 0);
        QTest::newRow("name in any case") << "CLMONEYGREEN" << QColor(192, 220, 192);
        QTest::newRow("hex is 00BBGGRR") << "$00FF0000" << QColor(0, 0, 255);
        QTest::newRow("hex of a named colour") << "$000000FF" << QColor(255, 0, 0);
        QTest::newRow("short hex") << "$FF" << QColor(255, 0, 0);
        QTest::newRow("decimal") << "32768" << QColor(0, 128, 0);
        QTest::newRow("system colour by index") << "$80000005" << QColor(255, 255, 255);
        QTest::newRow("system colour by name") << "clBtnFace" << QColor(240, 240, 240);
        QTest::newRow("empty") << "" << QColor();
        QTest::newRow("clNone") << "clNone" << QColor();
        QTest::newRow("nine digits") << "$000000FF0" << QColor();
        QTest::newRow("not hex") << "$00GG0000" << QColor();
        QTest::newRow("unknown name") << "clSunset" << QColor();
    }
    void colours()
    {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        const std::optional<QColor> c = colorFromText(text);
        QCOMPARE(c.has_value(), colour.isValid());
        if (c)
            QCOMPARE(c->rgb(), colour.rgb());
    }

    void colourTexts()
    {
        QCOMPARE(colorToText(Qt::red), QStringLiteral("clRed"));
        QCOMPARE(colorToText(QColor(192, 192, 192)), QStringLiteral("clSilver"));
        QCOMPARE(colorToText(QColor(1, 2, 3)), QStringLiteral("$00030201"));
        QCOMPARE(colorToText(QColor(0xAB, 0xCD, 0xEF)), QStringLiteral("$00EFCDAB"));
        QCOMPARE(colorFromText(colorToText(QColor(0xAB, 0xCD, 0xEF)))->rgb(), QColor(0xAB, 0xCD, 0xEF).rgb());
    }

    void fontStyles()
    {
        QFont f;
        applyFontStyle(f, QStringLiteral("SB"));
        QVERIFY(f.bold() && f.strikeOut() && !f.italic() && !f.underline());
        QCOMPARE(fontStyleText(f), QStringLiteral("BS"));
        f.setItalic(true);
        f.setUnderline(true);
        QCOMPARE(fontStyleText(f), QStringLiteral("BIUS"));
        applyFontStyle(f, QString());
        QCOMPARE(fontStyleText(f), QString());
        QCOMPARE(fontPixelSize(9), 12);
        QCOMPARE(fontPixelSize(10), 13);
    }
};
KORVEX_TEST_CLASS(GraphGeometryTest)

// The eight orders of "Разбиение объекта", the numbering and the refusals.
class BreakdownTest : public QObject
{
    Q_OBJECT

    // The cells' numbers laid out as the grid, row by row.
    static QString grid(const QList<TBreakdownCell> &cells, int rows, int columns)
    {
        QStringList numbers(rows * columns);
        for (const TBreakdownCell &c : cells)
            numbers[(c.row - 1) * columns + (c.column - 1)] = c.name.section(QLatin1Char(' '), -1);
        return numbers.join(QLatin1Char(','));
    }

private Q_SLOTS:
    void orders_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("grid");  // 2 rows x 3 columns, top row first
        QTest::newRow("1 rows down, columns right") << 1 << "1,2,3,4,5,6";
        QTest::newRow("2 columns right, rows down") << 2 << "1,3,5,2,4,6";
        QTest::newRow("3 rows up, columns right") << 3 << "4,5,6,1,2,3";
        QTest::newRow("4 columns right, rows up") << 4 << "2,4,6,1,3,5";
        QTest::newRow("5 rows up, columns left") << 5 << "6,5,4,3,2,1";
        QTest::newRow("6 columns left, rows up") << 6 << "6,4,2,5,3,1";
        QTest::newRow("7 columns left, rows down") << 7 << "5,3,1,6,4,2";
        QTest::newRow("8 rows down, columns left") << 8 << "3,2,1,6,5,4";
    }
    void orders()
    {
        QFETCH(int, order);
        TBreakdownParams p;
        p.rows = 2;
        p.columns = 3;
        p.order = order;
        const QList<TBreakdownCell> cells = breakdownCells(100, 60, p);
        QCOMPARE(cells.size(), 6);
        QTEST(grid(cells, 2, 3), "grid");
        for (const TBreakdownCell &c : cells) {
            QCOMPARE(c.x2 - c.x1, 33);
            QCOMPARE(c.y2 - c.y1, 30);
            QCOMPARE(c.x1, (c.column - 1) * 33);
            QCOMPARE(c.y1, (c.row - 1) * 30);
        }
    }

    void numbering()
    {
        TBreakdownParams p;
        p.rows = 2;
        p.columns = 3;
        const QList<TBreakdownCell> first = breakdownCells(100, 60, p);
        QCOMPARE(first.first().name, QStringLiteral("Комната № 1"));
        QCOMPARE(first.last().name, QStringLiteral("Комната № 6"));
        QCOMPARE(first.last().x2, 99);
        QCOMPARE(first.last().y2, 60);
        p.start = 10;
        p.step = -3;
        p.name = QStringLiteral("Место ");
        const QList<TBreakdownCell> counted = breakdownCells(100, 60, p);
        QCOMPARE(counted[0].name, QStringLiteral("Место 10"));
        QCOMPARE(counted[5].name, QStringLiteral("Место -5"));
        p.numbering = false;
        for (const TBreakdownCell &c : breakdownCells(100, 60, p))
            QCOMPARE(c.name, QStringLiteral("Место "));
    }

    // No division by zero, no cell under 4 units, no figure too small.
    void refusals_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero rows") << 100 << 60 << 0 << 3 << "Количество строк должно быть от 1 до 15";
        QTest::newRow("zero columns") << 100 << 60 << 2 << 0 << "Количество столбцов должно быть от 1 до 25";
        QTest::newRow("negative rows") << 100 << 60 << -2 << 3 << "Количество строк должно быть от 1 до 15";
        QTest::newRow("rows over h div 4") << 100 << 60 << 16 << 3 << "Количество строк должно быть от 1 до 15";
        QTest::newRow("too narrow") << 3 << 60 << 1 << 1 << "Объект слишком мал для разбиения";
        QTest::newRow("flat") << 100 << 0 << 1 << 1 << "Объект слишком мал для разбиения";
        QTest::newRow("a typing slip") << 40000 << 40000 << 10000 << 10000
                                       << "Слишком много секторов: не более 100000";
    }
    void refusals()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QString, message);
        TBreakdownParams p;
        p.rows = rows;
        p.columns = columns;
        QCOMPARE(p.check(width, height), message);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, breakdownCells(width, height, p));
    }

    void largestGrid()
    {
        TBreakdownParams p;
        p.rows = TBreakdownParams::maxRows(60);
        p.columns = TBreakdownParams::maxColumns(-100);  // a figure stored right to left
        QCOMPARE(p.rows, 15);
        QCOMPARE(p.columns, 25);
        QCOMPARE(p.check(-100, 60), QString());
        QCOMPARE(breakdownCells(-100, 60, p).size(), 15 * 25);
    }
};
KORVEX_TEST_CLASS(BreakdownTest)

#include "tst_graph.moc"
