#pragma once

#include "db/xQuery.h"
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

// One column of a query's rows.
inline QList<int> intColumn(korvex::db::TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QList<int> list;
    korvex::db::TxQuery q(db);
    q.exec(sql, values);
    while (q.next())
        list << q.value(0).toInt();
    return list;
}

inline QStringList textColumn(korvex::db::TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QStringList list;
    korvex::db::TxQuery q(db);
    q.exec(sql, values);
    while (q.next())
        list << q.value(0).toString().trimmed();
    return list;
}

// The figure of the demonstration plan with that name bound to that object.
inline int figureKey(korvex::db::TxDatabase &db, const QString &name, int objectKey)
{
    return korvex::db::TxQuery::scalar(db, QStringLiteral("SELECT id FROM rent_objectgraph WHERE name = ? AND objectkey = ?"),
                                       {name, objectKey})
        .toInt();
}
