#include "xGraphControl.h"

#include "graph/boRentGraph.h"

#include "db/xDbError.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace korvex::graph {

TxGraphControl::TxGraphControl(TboRentGraph &graph, QWidget *parent)
    : QWidget(parent)
    , m_graph(graph)
{
    setObjectName(QStringLiteral("RentGraph"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the grips follow the mouse while no button is held
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TxGraphControl::Draw()
{
    const qreal ratio = devicePixelRatioF();
    QImage picture(size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    {
        QPainter painter(&picture);
        m_graph.Draw(painter, size(), palette().color(QPalette::Window));
    }
    m_picture = picture;
    updateCursor();
    update();
}

void TxGraphControl::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), palette().color(QPalette::Window));
    else
        painter.drawImage(0, 0, m_picture);
    if (const std::optional<QRect> sel = m_graph.selectionRect()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = *sel;
        option.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
        // The style's focus frame may be faint; a dotted outline keeps the
        // selection visible on any fill.
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(*sel);
    }
}

void TxGraphControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    try {
        Draw();
    } catch (const korvex::db::EDatabaseError &e) {
        Q_EMIT drawFailed(e.message());
    }
}

void TxGraphControl::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const std::optional<int> picked = m_graph.mousePress(event->position().toPoint(), event->button());
    update();
    if (picked)
        Q_EMIT OnNewObject(*picked);
}

void TxGraphControl::mouseMoveEvent(QMouseEvent *event)
{
    const bool dragging = m_graph.dragState() != TDragState::None;
    m_graph.mouseMove(event->position().toPoint());
    if (dragging)
        update();
    else
        updateCursor();
}

void TxGraphControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<TFigureChange> change = m_graph.mouseRelease(event->position().toPoint());
    update();
    updateCursor();
    if (change)
        Q_EMIT OnNewChangeObject(change->key, change->x1, change->y1, change->x2, change->y2);
}

void TxGraphControl::keyPressEvent(QKeyEvent *event)
{
    const std::optional<TFigureChange> change = m_graph.keyPress(event->key(), event->modifiers());
    if (!change) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT OnNewChangeObject(change->key, change->x1, change->y1, change->x2, change->y2);
}

void TxGraphControl::updateCursor()
{
    switch (m_graph.grip()) {
    case TGrip::Left:
    case TGrip::Right: setCursor(Qt::SizeHorCursor); break;
    case TGrip::Top:
    case TGrip::Bottom: setCursor(Qt::SizeVerCursor); break;
    case TGrip::TopLeft:
    case TGrip::BottomRight: setCursor(Qt::SizeFDiagCursor); break;
    case TGrip::TopRight:
    case TGrip::BottomLeft: setCursor(Qt::SizeBDiagCursor); break;
    case TGrip::None: unsetCursor(); break;
    }
}

} // namespace korvex::graph
