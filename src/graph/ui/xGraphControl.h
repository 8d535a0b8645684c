#pragma once

#include <QImage>
#include <QWidget>

namespace korvex::graph {

class TboRentGraph;

// The drawing control of the plan: keeps an off-screen picture of the plan
// as TboRentGraph draws it, shows it with the selection rectangle as a focus
// rectangle, and turns the mouse and the arrow keys into the plan's events.
// The control changes no figure itself: its owner applies the changes and
// calls Draw() again.
class TxGraphControl : public QWidget
{
    Q_OBJECT
public:
    explicit TxGraphControl(TboRentGraph &graph, QWidget *parent = nullptr);

    TboRentGraph &graph() const { return m_graph; }

    // Redraws the whole plan into the picture and repaints. Throws
    // EDatabaseError when the occupancy cannot be read; the picture is then
    // left as it was.
    void Draw();
    const QImage &picture() const { return m_picture; }

    QSize sizeHint() const override { return {640, 480}; }

Q_SIGNALS:
    // A figure was picked with the mouse: the owner selects it and redraws.
    void OnNewObject(int ObjectGraphKey);
    // The amounts to add to a figure's corners, in plan units, from dragging
    // or the arrow keys.
    void OnNewChangeObject(int ObjectGraphKey, int X1, int Y1, int X2, int Y2);
    // A redraw the control started itself (on resizing) failed.
    void drawFailed(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateCursor();

    TboRentGraph &m_graph;
    QImage m_picture;
};

} // namespace korvex::graph
