#pragma once

#include "shell/AppContext.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdlib>
#include <optional>

class QPainter;

namespace korvex::widgets {
class TxProgress;
class TxPrompt;
class TxTreeModel;
}

namespace korvex::graph {

class TGraphDialogs;
struct TBreakdownParams;

enum class TGraphType { Rectangle = 0, Line = 1, Ellipse = 2, Text = 3 };

// One figure of the plan, a row of rent_objectgraph. Corners are plan units
// relative to the parent's (x1, y1) corner; colours are colour texts (see
// graphStyle.h), the font style its letters.
struct TRentFigure {
    int id = 0;  // 0: a new figure
    std::optional<int> parent;
    QString name;
    std::optional<int> objectKey;
    int x1 = 0, y1 = 0, x2 = 50, y2 = 50;
    int graphType = int(TGraphType::Rectangle);
    int lineWidth = 1;
    QString lineColor, graphColor, useLineColor, useGraphColor;
    QString fontName;
    int fontSize = 0;  // points; 0: the default font's
    QString fontColor;
    QString fontStyle;

    int width() const { return std::abs(x2 - x1); }
    int height() const { return std::abs(y2 - y1); }
};

// A drawn figure the mouse can pick: its screen rectangle and its key.
struct TbgObject {
    QRect rect;
    int key = 0;
};

// The part of the selection rectangle under the mouse.
enum class TGrip { None, Left, Right, Top, Bottom, TopLeft, BottomLeft, TopRight, BottomRight };
enum class TDragState { None, Resizing, Moving };

// Amounts to add to a figure's corners, in plan units.
struct TFigureChange {
    int key = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool isNull() const { return x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0; }
    bool operator==(const TFigureChange &) const = default;
};

// The alignment buttons: to an edge of the parent, or stretched to it.
enum class TAlignment { Left, Right, Top, Bottom, StretchLeft, StretchRight, StretchTop, StretchBottom };

// The four colours of a figure: outline and fill, free and in use.
enum class TFigureColor { Line, Fill, UseLine, UseFill };

// The plan of the premises: the figures of rent_objectgraph, drawn as a tree
// of figures inside their parents onto any painter (the screen control, an
// image, a printer or a PDF file share this one drawing code), with the
// geometry of picking, grips, dragging and the arrow keys that the control
// turns into its events, and the operations of the plan editor.
class TboRentGraph : public QObject
{
    Q_OBJECT
public:
    // How many plan pixels a grip reaches beyond or inside an edge.
    static constexpr int GripTolerance = 3;

    explicit TboRentGraph(korvex::shell::TAppContext &context, TGraphDialogs *dialogs = nullptr,
                          QObject *owner = nullptr);
    ~TboRentGraph() override;

    korvex::shell::TAppContext &context() const { return m_context; }

    // --- The figure table ----------------------------------------------------
    // Reads every figure of the database (throws EDatabaseError, keeping the
    // figures it had).
    void load();
    // Draws these figures instead (they need not be stored).
    void setFigures(const QList<TRentFigure> &figures);
    const QList<TRentFigure> &figures() const { return m_figures; }
    const TRentFigure *figure(int key) const;
    // Children in the order they are drawn (by key); nullopt: the top level.
    QList<int> childrenOf(std::optional<int> key) const;
    // The top figure above key (key itself at the top).
    int topOf(int key) const;

    // --- What is drawn ----------------------------------------------------------
    int SelectedFigure() const { return m_selected; }
    void setSelectedFigure(int key) { m_selected = key; }
    bool DrawOuterLevels() const { return m_drawOuterLevels; }
    void setDrawOuterLevels(bool on) { m_drawOuterLevels = on; }
    bool ShowUse() const { return m_showUse; }
    void setShowUse(bool on) { m_showUse = on; }
    double Scale() const { return m_scale; }
    // A scale must be a finite number above 0; false keeps the old one.
    bool setScale(double scale);
    // The scale box: a whole percentage above 0 becomes the scale; any other
    // text gives the previous percentage back.
    static int scalePercent(const QString &text, int previous);

    // The figure drawing starts from: SelectedFigure (or its top figure with
    // DrawOuterLevels); the first top figure when SelectedFigure is unknown.
    std::optional<int> startFigure() const;

    // Draws the plan as the control shows it: the picture filled with the
    // background and framed, the start figure centred, every figure inside
    // it. Keeps the hit-test list and the selection rectangle for picking.
    // With ShowUse the occupancy of the drawn objects is read in one query
    // before anything is painted (throws EDatabaseError then).
    void Draw(QPainter &painter, const QSize &control, const QColor &background);
    // The plan alone, fitted into a page rectangle (printer, PDF), drawn as
    // the control draws it; the control's state is not touched.
    void drawPage(QPainter &painter, const QRectF &page) const;
    // The size the plan takes at the current scale, with a margin.
    QSize planSize() const;
    // Writes the plan as a PDF file of one page: the file is complete, or it
    // is not there (an earlier file of that name stays). Throws
    // std::runtime_error with the reason.
    void SavePdf(const QString &fileName) const;

    // --- Picking, grips, dragging (screen pixels of the last Draw) -------------
    const QList<TbgObject> &hitList() const { return m_hits; }
    // The selected figure's rectangle (normalised); none when not drawn.
    std::optional<QRect> selectionRect() const { return m_selection; }
    // The last figure drawn whose rectangle holds the point strictly inside:
    // children before their parents.
    std::optional<int> figureAt(const QPoint &p) const;
    TGrip gripAt(const QPoint &p) const;
    TDragState dragState() const { return m_drag; }
    TGrip grip() const { return m_grip; }

    // A press: the right button picks, the left one starts resizing on a grip,
    // moving inside the selection, and picks elsewhere. Returns the figure
    // picked (the control's OnNewObject).
    std::optional<int> mousePress(const QPoint &p, Qt::MouseButton button);
    // Mouse travel: drags the selection's edges or the whole of it while a
    // drag runs, otherwise finds the grip under the mouse.
    void mouseMove(const QPoint &p);
    // Ends a drag: the change of the figure's corners, the travel divided by
    // the scale and rounded (the control's OnNewChangeObject); none when
    // nothing changed.
    std::optional<TFigureChange> mouseRelease(const QPoint &p);
    // The arrow keys move the selected figure by one plan unit; with Shift
    // they move its second corner only, which resizes it.
    std::optional<TFigureChange> keyPress(int key, Qt::KeyboardModifiers modifiers) const;

    // --- Rows -------------------------------------------------------------------
    // A new figure under parent: 0, 0, 50, 50, a rectangle of line width 1,
    // the colours and font of the options that are set.
    TRentFigure newFigure(std::optional<int> parent) const;
    std::optional<TRentFigure> readFigure(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row, and
    // keeps the figure table in step.
    void writeFigure(TRentFigure &figure);
    // Adds the change to the figure's corners and stores it.
    void applyChange(const TFigureChange &change);
    // Aligns a figure that has a parent to an edge of it; false for a top figure.
    bool alignFigure(int key, TAlignment alignment);
    // Line width plus or minus; never below 1.
    void changeLineWidth(int key, int delta);
    // One of the figure's colours, stored at once.
    void changeColor(int key, TFigureColor which, const QColor &color);
    // The figure's font and its colour, stored at once.
    void changeFont(int key, const QFont &font, const QColor &color);

    // The colour a figure is drawn with (the default for a text that names none).
    static QColor figureColor(const TRentFigure &figure, TFigureColor which);
    static void setFigureColor(TRentFigure &figure, TFigureColor which, const QColor &color);
    // The figure's font in points, as a font dialog shows it, and its colour.
    static QFont figureFont(const TRentFigure &figure);
    static QColor figureFontColor(const TRentFigure &figure);
    static void setFigureFont(TRentFigure &figure, const QFont &font, const QColor &color);
    // Deletes the figure and the figures inside it (RENT_P_DELETEOBJECTGRAPH).
    void deleteFigure(int key);
    // Splits the figure into a grid of new child cells in one transaction:
    // rectangles of line width 1 with the colours of the options and the
    // font of the options when rentobjectfontcolor is set, else editorFont.
    // Throws std::invalid_argument when the values cannot split the figure.
    // Returns the number of cells made; 0 when stopped (nothing is kept).
    int breakdownFigure(int key, const TBreakdownParams &params, const QFont &editorFont = QFont(),
                        korvex::widgets::TxProgress *progress = nullptr);

    // --- The editor's operations (through the dialogs port) ---------------------
    bool NewFigure(std::optional<int> parent, int *newKey = nullptr);
    bool EditFigure(int key);
    // Asks "Удалить объект?" first.
    bool DeleteFigure(int key);
    // "Разбиение объекта": the dialog starts from the options and stores its
    // values there on "Ок".
    int BreakdownFigure(int key, const QFont &editorFont = QFont(), korvex::widgets::TxProgress *progress = nullptr);
    // "Привязка к объекту": the chosen object is stored into the figure.
    bool BindObject(int key);

    // The figure tree (id, parent, name) with marks; marked figures move under
    // another one when rent_p_testreplaceobjectgraph allows it.
    void setUpTree(korvex::widgets::TxTreeModel &model) const;

    // The editor's switches and scale in the options.
    void readEditorOptions();
    void writeEditorOptions() const;

    // The objects of the branch below start that are in use, read in one query.
    QHash<int, bool> readOccupancy(int start) const;

private:
    struct Placed;
    struct Plot;
    void reindex();
    Plot layOut(const QSize &control) const;
    QHash<int, bool> occupancyFor(const Plot &plot) const;
    void paint(QPainter &painter, const Plot &plot, const QHash<int, bool> &inUse) const;
    korvex::widgets::TxPrompt &prompt() const;
    TGraphDialogs &requireDialogs() const;
    void storeCorners(const TRentFigure &f);

    korvex::shell::TAppContext &m_context;
    TGraphDialogs *m_dialogs;

    QList<TRentFigure> m_figures;  // by key
    QHash<int, int> m_index;       // key -> position in m_figures
    QHash<int, QList<int>> m_children;
    QList<int> m_top;

    int m_selected = 0;
    bool m_drawOuterLevels = false;
    bool m_showUse = false;
    double m_scale = 1.0;

    QList<TbgObject> m_hits;
    std::optional<QRect> m_selection;
    bool m_flipX = false;  // the selected figure's x2 lies left of its x1
    bool m_flipY = false;
    TDragState m_drag = TDragState::None;
    TGrip m_grip = TGrip::None;
    QPoint m_dragStart;
    QRect m_dragFrom;
};

} // namespace korvex::graph
