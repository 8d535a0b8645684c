#include "boRentGraph.h"

#include "graphBreakdown.h"
#include "graphDialogs.h"
#include "graphStyle.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "db/xRowWriter.h"
#include "shell/mmOptions.h"
#include "widgets/xProgress.h"
#include "widgets/xPrompt.h"
#include "widgets/xTreeModel.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvex::graph {

using namespace korvex::db;
using korvex::amount::roundHalfEven;

namespace {

const char *const SqlFigureColumns =
    "id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linewidth, linecolor, graphcolor, uselinecolor, "
    "usegraphcolor, objectfontname, objectfontsize, objectfontcolor, objectfontstyle";

// The occupancy of the objects in a branch of the plan, by the server's own
// rule (rent_p_useobject), in one statement for a whole redraw.
const char *const SqlOccupancy = "SELECT objectkey, useful FROM rent_p_useobjectgraph(?)";

// Colours of a figure whose colour texts name no colour: the options' defaults.
const QColor DefaultLine = Qt::black;
const QColor DefaultFill = Qt::white;
const QColor DefaultUseLine = Qt::black;
const QColor DefaultUseFill = Qt::red;

// Screen coordinates stay far inside the painter's range, whatever the
// figures and the scale hold.
constexpr qint64 PixelLimit = qint64(1) << 28;

int clampPixel(qint64 v)
{
    return int(std::clamp(v, -PixelLimit, PixelLimit));
}

// round(v x scale) as a screen offset.
int scaled(int v, double scale)
{
    const double r = roundHalfEven(double(v) * scale);
    if (!(std::fabs(r) < double(PixelLimit)))
        return r < 0 ? int(-PixelLimit) : int(PixelLimit);
    return int(r);
}

// Screen travel back to plan units.
int unscaled(int pixels, double scale)
{
    return int(std::clamp(roundHalfEven(double(pixels) / scale), -2147483647.0, 2147483647.0));
}

QRect normalised(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

TRentFigure figureFrom(const TxQuery &q)
{
    TRentFigure f;
    f.id = q.value(QStringLiteral("id")).toInt();
    f.parent = optionalInt(q.value(QStringLiteral("parent")));
    f.name = q.value(QStringLiteral("name")).toString().trimmed();
    f.objectKey = optionalInt(q.value(QStringLiteral("objectkey")));
    f.x1 = q.value(QStringLiteral("x1")).toInt();
    f.y1 = q.value(QStringLiteral("y1")).toInt();
    f.x2 = q.value(QStringLiteral("x2")).toInt();
    f.y2 = q.value(QStringLiteral("y2")).toInt();
    f.graphType = q.value(QStringLiteral("graphtype")).toInt();
    const QVariant width = q.value(QStringLiteral("linewidth"));
    f.lineWidth = width.isNull() ? 1 : width.toInt();
    f.lineColor = q.value(QStringLiteral("linecolor")).toString().trimmed();
    f.graphColor = q.value(QStringLiteral("graphcolor")).toString().trimmed();
    f.useLineColor = q.value(QStringLiteral("uselinecolor")).toString().trimmed();
    f.useGraphColor = q.value(QStringLiteral("usegraphcolor")).toString().trimmed();
    f.fontName = q.value(QStringLiteral("objectfontname")).toString().trimmed();
    f.fontSize = q.value(QStringLiteral("objectfontsize")).toInt();
    f.fontColor = q.value(QStringLiteral("objectfontcolor")).toString().trimmed();
    f.fontStyle = q.value(QStringLiteral("objectfontstyle")).toString().trimmed();
    return f;
}

// The figure's font in plan pixels, the same size on every device.
QFont drawingFont(const TRentFigure &f)
{
    QFont font = TboRentGraph::figureFont(f);
    font.setPixelSize(fontPixelSize(f.fontSize != 0 ? f.fontSize : QFont().pointSize()));
    return font;
}

bool hasLeft(TGrip g)
{
    return g == TGrip::Left || g == TGrip::TopLeft || g == TGrip::BottomLeft;
}
bool hasRight(TGrip g)
{
    return g == TGrip::Right || g == TGrip::TopRight || g == TGrip::BottomRight;
}
bool hasTop(TGrip g)
{
    return g == TGrip::Top || g == TGrip::TopLeft || g == TGrip::TopRight;
}
bool hasBottom(TGrip g)
{
    return g == TGrip::Bottom || g == TGrip::BottomLeft || g == TGrip::BottomRight;
}

} // namespace

TGraphDialogs::~TGraphDialogs() = default;

bool TGraphDialogs::figureDialog(TboRentGraph &, TRentFigure &, bool)
{
    return false;
}

bool TGraphDialogs::breakdownDialog(TBreakdownParams &, int, int)
{
    return false;
}

bool TGraphDialogs::chooseObject(int &)
{
    return false;
}

// One drawn figure: its corners on the screen as computed, before normalising.
struct TboRentGraph::Placed {
    int key = 0;
    int sx1 = 0, sy1 = 0, sx2 = 0, sy2 = 0;
};

struct TboRentGraph::Plot {
    std::optional<int> start;
    QList<Placed> placed;  // in drawing order
    QList<TbgObject> hits;
    std::optional<QRect> selection;
    bool flipX = false;
    bool flipY = false;
};

TboRentGraph::TboRentGraph(korvex::shell::TAppContext &context, TGraphDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TboRentGraph::~TboRentGraph() = default;

// --- The figure table -----------------------------------------------------------

void TboRentGraph::load()
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_objectgraph ORDER BY id").arg(QLatin1String(SqlFigureColumns)));
    QList<TRentFigure> figures;
    while (q.next())
        figures << figureFrom(q);
    setFigures(figures);
}

void TboRentGraph::setFigures(const QList<TRentFigure> &figures)
{
    m_figures = figures;
    std::sort(m_figures.begin(), m_figures.end(), [](const TRentFigure &a, const TRentFigure &b) { return a.id < b.id; });
    reindex();
}

void TboRentGraph::reindex()
{
    m_index.clear();
    m_children.clear();
    m_top.clear();
    for (int i = 0; i < m_figures.size(); ++i)
        m_index.insert(m_figures[i].id, i);
    for (const TRentFigure &f : std::as_const(m_figures)) {
        // A figure whose parent is gone, or is itself, stands at the top.
        if (f.parent && *f.parent != f.id && m_index.contains(*f.parent))
            m_children[*f.parent] << f.id;
        else
            m_top << f.id;
    }
}

const TRentFigure *TboRentGraph::figure(int key) const
{
    const auto it = m_index.constFind(key);
    return it == m_index.cend() ? nullptr : &m_figures[*it];
}

QList<int> TboRentGraph::childrenOf(std::optional<int> key) const
{
    return key ? m_children.value(*key) : m_top;
}

int TboRentGraph::topOf(int key) const
{
    // A damaged table may hold a ring of parents: stop where it closes.
    QSet<int> seen{key};
    int k = key;
    for (;;) {
        const TRentFigure *f = figure(k);
        if (!f || !f->parent || !m_index.contains(*f->parent) || seen.contains(*f->parent))
            return k;
        k = *f->parent;
        seen.insert(k);
    }
}

// --- What is drawn --------------------------------------------------------------

bool TboRentGraph::setScale(double scale)
{
    if (!std::isfinite(scale) || scale <= 0)
        return false;
    m_scale = scale;
    return true;
}

int TboRentGraph::scalePercent(const QString &text, int previous)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v > 0 ? v : previous;
}

std::optional<int> TboRentGraph::startFigure() const
{
    if (m_figures.isEmpty())
        return std::nullopt;
    if (!figure(m_selected))
        return m_top.isEmpty() ? std::nullopt : std::optional<int>(m_top.first());
    return m_drawOuterLevels ? topOf(m_selected) : m_selected;
}

TboRentGraph::Plot TboRentGraph::layOut(const QSize &control) const
{
    Plot plot;
    plot.start = startFigure();
    if (!plot.start)
        return plot;
    const TRentFigure &s = *figure(*plot.start);
    const double S = m_scale;
    const int x0 = clampPixel(qint64(roundHalfEven((control.width() - s.width() * S) / 2 - s.x1 * S)));
    const int y0 = clampPixel(qint64(roundHalfEven((control.height() - s.height() * S) / 2 - s.y1 * S)));

    // Depth first, a figure before its children, children in key order; a
    // figure is drawn once even when the table's parents form a ring.
    struct Item {
        int key, ox, oy;
    };
    QList<Item> stack{{*plot.start, x0, y0}};
    QSet<int> drawn;
    while (!stack.isEmpty()) {
        const Item it = stack.takeLast();
        if (drawn.contains(it.key))
            continue;
        drawn.insert(it.key);
        const TRentFigure &f = *figure(it.key);
        Placed p;
        p.key = f.id;
        p.sx1 = clampPixel(qint64(scaled(f.x1, S)) + it.ox);
        p.sy1 = clampPixel(qint64(scaled(f.y1, S)) + it.oy);
        p.sx2 = clampPixel(qint64(scaled(f.x2, S)) + it.ox);
        p.sy2 = clampPixel(qint64(scaled(f.y2, S)) + it.oy);
        plot.placed << p;
        const QRect r = normalised(p.sx1, p.sy1, p.sx2, p.sy2);
        if (f.id == m_selected) {
            plot.selection = r;
            plot.flipX = p.sx2 < p.sx1;
            plot.flipY = p.sy2 < p.sy1;
        } else {
            plot.hits << TbgObject{r, f.id};
        }
        const QList<int> kids = m_children.value(f.id);
        for (auto k = kids.crbegin(); k != kids.crend(); ++k)
            stack << Item{*k, p.sx1, p.sy1};
    }
    return plot;
}

QHash<int, bool> TboRentGraph::readOccupancy(int start) const
{
    // The server's calling rule: a failed read is tried once more.
    for (int attempt = 1;; ++attempt) {
        try {
            QHash<int, bool> inUse;
            TxQuery q(m_context.db);
            q.exec(QLatin1String(SqlOccupancy), {start});
            while (q.next())
                inUse.insert(q.value(0).toInt(), q.value(1).toInt() == 1);
            return inUse;
        } catch (const EDatabaseError &) {
            if (attempt >= 2)
                throw;
        }
    }
}

QHash<int, bool> TboRentGraph::occupancyFor(const Plot &plot) const
{
    if (!m_showUse || !plot.start)
        return {};
    const bool anyBound = std::any_of(plot.placed.cbegin(), plot.placed.cend(),
                                      [this](const Placed &p) { return figure(p.key)->objectKey.has_value(); });
    return anyBound ? readOccupancy(*plot.start) : QHash<int, bool>{};
}

void TboRentGraph::paint(QPainter &painter, const Plot &plot, const QHash<int, bool> &inUse) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Placed &p : plot.placed) {
        const TRentFigure &f = *figure(p.key);
        const bool used = m_showUse && f.objectKey && inUse.value(*f.objectKey, false);
        QPen pen(used ? colorOr(f.useLineColor, DefaultUseLine) : colorOr(f.lineColor, DefaultLine));
        pen.setWidth(std::max(1, f.lineWidth));
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(used ? colorOr(f.useGraphColor, DefaultUseFill) : colorOr(f.graphColor, DefaultFill));
        // Rectangles and ellipses cover their left and top edges but not their
        // right and bottom ones, so that neighbours sharing an edge do not overlap.
        const QRect r = normalised(p.sx1, p.sy1, p.sx2, p.sy2);
        const QRect inner(r.topLeft(), QSize(std::max(0, r.width() - 2), std::max(0, r.height() - 2)));
        switch (TGraphType(f.graphType)) {
        case TGraphType::Line:
            painter.drawLine(p.sx1, p.sy1, p.sx2, p.sy2);
            break;
        case TGraphType::Ellipse:
            painter.drawEllipse(inner);
            break;
        case TGraphType::Text:
            painter.setFont(drawingFont(f));
            painter.setPen(colorOr(f.fontColor, Qt::black));
            painter.drawText(QRect(p.sx1, p.sy1, 1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, f.name);
            break;
        case TGraphType::Rectangle:
        default:
            painter.drawRect(inner);
            break;
        }
    }
    painter.restore();
}

void TboRentGraph::Draw(QPainter &painter, const QSize &control, const QColor &background)
{
    const Plot plot = layOut(control);
    const QHash<int, bool> inUse = occupancyFor(plot);  // may throw: nothing painted yet

    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), control), background);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, std::max(0, control.width() - 1), std::max(0, control.height() - 1)));
    painter.restore();
    paint(painter, plot, inUse);

    m_hits = plot.hits;
    m_selection = plot.selection;
    m_flipX = plot.flipX;
    m_flipY = plot.flipY;
    m_drag = TDragState::None;
    m_grip = TGrip::None;
}

namespace {

// The area the drawn figures cover, with a margin.
QRect planBounds(const QList<TbgObject> &hits, const std::optional<QRect> &selection)
{
    QRect bounds = selection.value_or(QRect());
    for (const TbgObject &h : hits)
        bounds = bounds.isNull() ? h.rect : bounds.united(h.rect);
    return bounds.isNull() ? QRect() : bounds.adjusted(-10, -10, 10, 10);
}

} // namespace

QSize TboRentGraph::planSize() const
{
    const Plot plot = layOut(QSize());
    return planBounds(plot.hits, plot.selection).size();
}

void TboRentGraph::drawPage(QPainter &painter, const QRectF &page) const
{
    const Plot plot = layOut(QSize());
    const QHash<int, bool> inUse = occupancyFor(plot);
    const QRect bounds = planBounds(plot.hits, plot.selection);
    if (bounds.isEmpty() || page.isEmpty())
        return;
    const double fit = std::min(page.width() / bounds.width(), page.height() / bounds.height());
    painter.save();
    painter.translate(page.center());
    painter.scale(fit, fit);
    painter.translate(-QRectF(bounds).center());
    paint(painter, plot, inUse);
    painter.restore();
}

void TboRentGraph::SavePdf(const QString &fileName) const
{
    auto fail = [&](const QString &why) {
        throw std::runtime_error(tr("Невозможно сохранить файл '%1': %2").arg(fileName, why).toStdString());
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Korvex Rent"));
        if (const std::optional<int> start = startFigure())
            pdf.setTitle(figure(*start)->name);
        const QSize size = planSize();
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&pdf))
            fail(tr("ошибка записи PDF"));
        drawPage(painter, QRectF(QPointF(0, 0), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()));
        if (!painter.end())
            fail(tr("ошибка записи PDF"));
    }
    if (!file.commit())
        fail(file.errorString());
}

// --- Picking, grips, dragging --------------------------------------------------------

std::optional<int> TboRentGraph::figureAt(const QPoint &p) const
{
    for (auto it = m_hits.crbegin(); it != m_hits.crend(); ++it)
        if (it->rect.contains(p, true))
            return it->key;
    return std::nullopt;
}

TGrip TboRentGraph::gripAt(const QPoint &p) const
{
    if (!m_selection)
        return TGrip::None;
    const QRect &r = *m_selection;
    const int t = GripTolerance;
    const bool nearL = std::abs(p.x() - r.left()) <= t;
    const bool nearR = std::abs(p.x() - r.right()) <= t;
    const bool nearT = std::abs(p.y() - r.top()) <= t;
    const bool nearB = std::abs(p.y() - r.bottom()) <= t;
    const bool alongX = p.x() >= r.left() - t && p.x() <= r.right() + t;
    const bool alongY = p.y() >= r.top() - t && p.y() <= r.bottom() + t;
    if (nearT && nearL)
        return TGrip::TopLeft;
    if (nearB && nearL)
        return TGrip::BottomLeft;
    if (nearT && nearR)
        return TGrip::TopRight;
    if (nearB && nearR)
        return TGrip::BottomRight;
    if (nearL && alongY)
        return TGrip::Left;
    if (nearR && alongY)
        return TGrip::Right;
    if (nearT && alongX)
        return TGrip::Top;
    if (nearB && alongX)
        return TGrip::Bottom;
    return TGrip::None;
}

std::optional<int> TboRentGraph::mousePress(const QPoint &p, Qt::MouseButton button)
{
    m_drag = TDragState::None;
    if (button == Qt::LeftButton && m_selection) {
        m_grip = gripAt(p);
        if (m_grip != TGrip::None || m_selection->contains(p)) {
            m_drag = m_grip != TGrip::None ? TDragState::Resizing : TDragState::Moving;
            m_dragStart = p;
            m_dragFrom = *m_selection;
            return std::nullopt;
        }
    }
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return std::nullopt;
    return figureAt(p);
}

void TboRentGraph::mouseMove(const QPoint &p)
{
    if (m_drag == TDragState::None) {
        m_grip = gripAt(p);
        return;
    }
    const int dx = p.x() - m_dragStart.x();
    const int dy = p.y() - m_dragStart.y();
    if (m_drag == TDragState::Moving) {
        m_selection = m_dragFrom.translated(dx, dy);
        return;
    }
    int l = m_dragFrom.left(), t = m_dragFrom.top(), r = m_dragFrom.right(), b = m_dragFrom.bottom();
    if (hasLeft(m_grip))
        l = std::min(l + dx, r - 1);
    if (hasRight(m_grip))
        r = std::max(r + dx, l + 1);
    if (hasTop(m_grip))
        t = std::min(t + dy, b - 1);
    if (hasBottom(m_grip))
        b = std::max(b + dy, t + 1);
    m_selection = QRect(QPoint(l, t), QPoint(r, b));
}

std::optional<TFigureChange> TboRentGraph::mouseRelease(const QPoint &p)
{
    if (m_drag == TDragState::None || !m_selection)
        return std::nullopt;
    mouseMove(p);
    const TDragState drag = m_drag;
    m_drag = TDragState::None;
    m_grip = gripAt(p);

    TFigureChange c;
    c.key = m_selected;
    if (drag == TDragState::Moving) {
        c.x1 = c.x2 = unscaled(p.x() - m_dragStart.x(), m_scale);
        c.y1 = c.y2 = unscaled(p.y() - m_dragStart.y(), m_scale);
    } else {
        const int dl = unscaled(m_selection->left() - m_dragFrom.left(), m_scale);
        const int dr = unscaled(m_selection->right() - m_dragFrom.right(), m_scale);
        const int dt = unscaled(m_selection->top() - m_dragFrom.top(), m_scale);
        const int db = unscaled(m_selection->bottom() - m_dragFrom.bottom(), m_scale);
        // The left edge is x1 unless the figure was stored right to left.
        c.x1 = m_flipX ? dr : dl;
        c.x2 = m_flipX ? dl : dr;
        c.y1 = m_flipY ? db : dt;
        c.y2 = m_flipY ? dt : db;
    }
    if (c.isNull())
        return std::nullopt;
    return c;
}

std::optional<TFigureChange> TboRentGraph::keyPress(int key, Qt::KeyboardModifiers modifiers) const
{
    if (!figure(m_selected))
        return std::nullopt;
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: return std::nullopt;
    }
    TFigureChange c;
    c.key = m_selected;
    c.x2 = dx;
    c.y2 = dy;
    if (!(modifiers & Qt::ShiftModifier)) {
        c.x1 = dx;
        c.y1 = dy;
    }
    return c;
}

// --- Rows ------------------------------------------------------------------------------

TRentFigure TboRentGraph::newFigure(std::optional<int> parent) const
{
    const korvex::shell::TmmOptions &o = m_context.options;
    TRentFigure f;
    if (parent && *parent > 0)
        f.parent = parent;
    f.lineColor = o.stringOption(QStringLiteral("rentobjectlinecolor"), QStringLiteral("clBlack"));
    f.graphColor = o.stringOption(QStringLiteral("rentobjectgraphcolor"), QStringLiteral("clWhite"));
    f.useLineColor = o.stringOption(QStringLiteral("rentobjectuselinecolor"), QStringLiteral("clBlack"));
    f.useGraphColor = o.stringOption(QStringLiteral("rentobjectusegraphcolor"), QStringLiteral("clRed"));
    f.fontName = o.stringOption(QStringLiteral("rentobjectfontname"));
    f.fontSize = o.integerOption(QStringLiteral("rentobjectfontsize"), 0);
    f.fontColor = o.stringOption(QStringLiteral("rentobjectfontcolor"));
    f.fontStyle = o.stringOption(QStringLiteral("rentobjectfontstyle"));
    return f;
}

std::optional<TRentFigure> TboRentGraph::readFigure(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_objectgraph WHERE id = ?").arg(QLatin1String(SqlFigureColumns)), {key});
    if (!q.next())
        return std::nullopt;
    return figureFrom(q);
}

void TboRentGraph::writeFigure(TRentFigure &f)
{
    f.id = writeRow(
        m_context.db, QStringLiteral("rent_objectgraph"), QStringLiteral("gen_rent_objectgraph"), f.id,
        {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("objectkey"), QStringLiteral("x1"),
         QStringLiteral("y1"), QStringLiteral("x2"), QStringLiteral("y2"), QStringLiteral("graphtype"),
         QStringLiteral("linewidth"), QStringLiteral("linecolor"), QStringLiteral("graphcolor"),
         QStringLiteral("uselinecolor"), QStringLiteral("usegraphcolor"), QStringLiteral("objectfontname"),
         QStringLiteral("objectfontsize"), QStringLiteral("objectfontcolor"), QStringLiteral("objectfontstyle")},
        {nullableInt(f.parent), f.name, nullableInt(f.objectKey), f.x1, f.y1, f.x2, f.y2, f.graphType, f.lineWidth,
         nullableText(f.lineColor), nullableText(f.graphColor), nullableText(f.useLineColor),
         nullableText(f.useGraphColor), nullableText(f.fontName), f.fontSize, nullableText(f.fontColor),
         f.fontStyle},
        tr("Объект удален другим пользователем"));
    if (const auto it = m_index.constFind(f.id); it != m_index.cend())
        m_figures[*it] = f;
    else
        m_figures << f;  // keys grow, so the table stays in key order
    reindex();
}

void TboRentGraph::storeCorners(const TRentFigure &f)
{
    TxWriteScope scope(m_context.db);
    const int n = TxQuery::execute(m_context.db,
                                   QStringLiteral("UPDATE rent_objectgraph SET x1 = ?, y1 = ?, x2 = ?, y2 = ? WHERE id = ?"),
                                   {f.x1, f.y1, f.x2, f.y2, f.id});
    if (n == 0)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    scope.commit();
    if (const auto it = m_index.constFind(f.id); it != m_index.cend())
        m_figures[*it] = f;
}

void TboRentGraph::applyChange(const TFigureChange &c)
{
    // Added on the server, so that a change made meanwhile on another
    // workstation is kept.
    TxWriteScope scope(m_context.db);
    const int n = TxQuery::execute(m_context.db,
                                   QStringLiteral("UPDATE rent_objectgraph SET x1 = x1 + ?, y1 = y1 + ?, x2 = x2 + ?,"
                                                  " y2 = y2 + ? WHERE id = ?"),
                                   {c.x1, c.y1, c.x2, c.y2, c.key});
    if (n == 0)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    const std::optional<TRentFigure> f = readFigure(c.key);
    scope.commit();
    if (const auto it = m_index.constFind(c.key); f && it != m_index.cend())
        m_figures[*it] = *f;
}

bool TboRentGraph::alignFigure(int key, TAlignment alignment)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    const std::optional<TRentFigure> parent = f->parent ? readFigure(*f->parent) : std::nullopt;
    if (!parent)
        return false;
    const int pw = parent->x2 - parent->x1;
    const int ph = parent->y2 - parent->y1;
    switch (alignment) {
    case TAlignment::Left:
        f->x2 = f->x2 - f->x1;
        f->x1 = 0;
        break;
    case TAlignment::Right:
        f->x1 = pw - (f->x2 - f->x1);
        f->x2 = pw;
        break;
    case TAlignment::Top:
        f->y2 = f->y2 - f->y1;
        f->y1 = 0;
        break;
    case TAlignment::Bottom:
        f->y1 = ph - (f->y2 - f->y1);
        f->y2 = ph;
        break;
    case TAlignment::StretchLeft: f->x1 = 0; break;
    case TAlignment::StretchRight: f->x2 = pw; break;
    case TAlignment::StretchTop: f->y1 = 0; break;
    case TAlignment::StretchBottom: f->y2 = ph; break;
    }
    storeCorners(*f);
    return true;
}

void TboRentGraph::changeLineWidth(int key, int delta)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    f->lineWidth = std::max(1, f->lineWidth + delta);
    writeFigure(*f);
}

void TboRentGraph::changeColor(int key, TFigureColor which, const QColor &color)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    setFigureColor(*f, which, color);
    writeFigure(*f);
}

void TboRentGraph::changeFont(int key, const QFont &font, const QColor &color)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    setFigureFont(*f, font, color);
    writeFigure(*f);
}

QColor TboRentGraph::figureColor(const TRentFigure &f, TFigureColor which)
{
    switch (which) {
    case TFigureColor::Line: return colorOr(f.lineColor, DefaultLine);
    case TFigureColor::Fill: return colorOr(f.graphColor, DefaultFill);
    case TFigureColor::UseLine: return colorOr(f.useLineColor, DefaultUseLine);
    case TFigureColor::UseFill: return colorOr(f.useGraphColor, DefaultUseFill);
    }
    return DefaultLine;
}

void TboRentGraph::setFigureColor(TRentFigure &f, TFigureColor which, const QColor &color)
{
    const QString text = colorToText(color);
    switch (which) {
    case TFigureColor::Line: f.lineColor = text; break;
    case TFigureColor::Fill: f.graphColor = text; break;
    case TFigureColor::UseLine: f.useLineColor = text; break;
    case TFigureColor::UseFill: f.useGraphColor = text; break;
    }
}

QFont TboRentGraph::figureFont(const TRentFigure &f)
{
    QFont font;
    if (!f.fontName.isEmpty())
        font.setFamily(f.fontName);
    if (f.fontSize != 0)
        font.setPointSize(std::abs(f.fontSize));
    applyFontStyle(font, f.fontStyle);
    return font;
}

QColor TboRentGraph::figureFontColor(const TRentFigure &f)
{
    return colorOr(f.fontColor, Qt::black);
}

void TboRentGraph::setFigureFont(TRentFigure &f, const QFont &font, const QColor &color)
{
    f.fontName = font.family();
    f.fontSize = font.pointSize() > 0 ? font.pointSize() : 0;
    f.fontColor = colorToText(color);
    f.fontStyle = fontStyleText(font);
}

void TboRentGraph::deleteFigure(int key)
{
    TxWriteScope scope(m_context.db);
    TxStoredProc proc(m_context.db, QStringLiteral("RENT_P_DELETEOBJECTGRAPH"));
    proc.setParam(QStringLiteral("OBJECTGRAPHKEY"), key);
    proc.execute();
    scope.commit();
    load();
}

int TboRentGraph::breakdownFigure(int key, const TBreakdownParams &params, const QFont &editorFont,
                                  korvex::widgets::TxProgress *progress)
{
    const std::optional<TRentFigure> parent = readFigure(key);
    if (!parent)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    const QList<TBreakdownCell> cells = breakdownCells(parent->width(), parent->height(), params);

    TRentFigure cell = newFigure(key);
    if (m_context.options.stringOption(QStringLiteral("rentobjectfontcolor")).isEmpty())
        setFigureFont(cell, editorFont, Qt::black);

    TxWriteScope scope(m_context.db);
    TxQuery insert(m_context.db);
    insert.prepare(QStringLiteral(
        "INSERT INTO rent_objectgraph (id, parent, name, objectkey, x1, y1, x2, y2, graphtype, linewidth, linecolor,"
        " graphcolor, uselinecolor, usegraphcolor, objectfontname, objectfontsize, objectfontcolor, objectfontstyle)"
        " VALUES (NEXT VALUE FOR gen_rent_objectgraph, ?, ?, NULL, ?, ?, ?, ?, 0, 1, ?, ?, ?, ?, ?, ?, ?, ?)"));
    korvex::widgets::TxProgressGuard guard(progress, tr("Разбиение объекта на сектора"), cells.size());
    for (int i = 0; i < cells.size(); ++i) {
        if (guard.stopped())
            return 0;  // the scope drops the cells made so far
        const TBreakdownCell &c = cells[i];
        const QVariantList values{key, c.name, c.x1, c.y1, c.x2, c.y2, nullableText(cell.lineColor),
                                  nullableText(cell.graphColor), nullableText(cell.useLineColor),
                                  nullableText(cell.useGraphColor), nullableText(cell.fontName), cell.fontSize,
                                  nullableText(cell.fontColor), cell.fontStyle};
        for (int v = 0; v < values.size(); ++v)
            insert.bind(v, values[v]);
        insert.exec();
        guard.advance(i + 1);
    }
    scope.commit();
    load();
    return int(cells.size());
}

// --- The editor's operations ----------------------------------------------------------------

TGraphDialogs &TboRentGraph::requireDialogs() const
{
    if (!m_dialogs)
        throw std::logic_error("TboRentGraph: this operation needs the dialogs of the window layer");
    return *m_dialogs;
}

korvex::widgets::TxPrompt &TboRentGraph::prompt() const
{
    return requireDialogs().prompt();
}

bool TboRentGraph::NewFigure(std::optional<int> parent, int *newKey)
{
    TRentFigure f = newFigure(parent);
    if (!requireDialogs().figureDialog(*this, f, true))
        return false;
    if (newKey)
        *newKey = f.id;
    return true;
}

bool TboRentGraph::EditFigure(int key)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        return false;
    return requireDialogs().figureDialog(*this, *f, false);
}

bool TboRentGraph::DeleteFigure(int key)
{
    if (!prompt().confirm(tr("Удалить объект?"), korvex::widgets::TxPrompt::attentionBang()))
        return false;
    deleteFigure(key);
    return true;
}

int TboRentGraph::BreakdownFigure(int key, const QFont &editorFont, korvex::widgets::TxProgress *progress)
{
    const std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        return 0;
    TBreakdownParams params = TBreakdownParams::fromOptions(m_context.options);
    if (!requireDialogs().breakdownDialog(params, f->width(), f->height()))
        return 0;
    params.toOptions(m_context.options);
    return breakdownFigure(key, params, editorFont, progress);
}

bool TboRentGraph::BindObject(int key)
{
    std::optional<TRentFigure> f = readFigure(key);
    if (!f)
        return false;
    int object = f->objectKey.value_or(0);
    if (!requireDialogs().chooseObject(object) || object <= 0)
        return false;
    f->objectKey = object;
    writeFigure(*f);
    return true;
}

void TboRentGraph::setUpTree(korvex::widgets::TxTreeModel &model) const
{
    model.setTable(QStringLiteral("rent_objectgraph"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QStringLiteral("SELECT id, parent, name FROM rent_objectgraph ORDER BY id"));
    model.setMarkable(true);
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    model.setMoveTest({QStringLiteral("rent_p_testreplaceobjectgraph"), QStringLiteral("objectgraphkey"),
                       QStringLiteral("groupobjectgraph"), QStringLiteral("replace")});
}

void TboRentGraph::readEditorOptions()
{
    const korvex::shell::TmmOptions &o = m_context.options;
    // A new installation shows the whole plan with its rented rooms.
    m_showUse = o.integerOption(QStringLiteral("rentgraphuseobject"), 1) != 0;
    m_drawOuterLevels = o.integerOption(QStringLiteral("rentgraphparent"), 1) != 0;
    setScale(o.integerOption(QStringLiteral("rentgraphscale"), 100) / 100.0);
}

void TboRentGraph::writeEditorOptions() const
{
    korvex::shell::TmmOptions &o = m_context.options;
    o.SetIntegerOption(QStringLiteral("rentgraphuseobject"), false, m_showUse ? 1 : 0);
    o.SetIntegerOption(QStringLiteral("rentgraphparent"), false, m_drawOuterLevels ? 1 : 0);
    o.SetIntegerOption(QStringLiteral("rentgraphscale"), false, int(roundHalfEven(m_scale * 100)));
}

} // namespace korvex::graph
