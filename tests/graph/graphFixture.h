#pragma once

#include "graph/boRentGraph.h"

#include <QImage>
#include <QPainter>

// Draws the plan into an image of the control's size, as the control does.
inline QImage drawPlan(korvex::graph::TboRentGraph &g, QSize control, const QColor &background = Qt::lightGray)
{
    QImage image(control, QImage::Format_RGB32);
    QPainter p(&image);
    g.Draw(p, control, background);
    return image;
}

// Where the last Draw put a figure: the selection, or its hit-test rectangle.
inline QRect placedRect(const korvex::graph::TboRentGraph &g, int key)
{
    if (g.SelectedFigure() == key)
        return g.selectionRect().value_or(QRect());
    for (const korvex::graph::TbgObject &h : g.hitList())
        if (h.key == key)
            return h.rect;
    return {};
}
