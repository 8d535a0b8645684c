#include "graphPrint.h"

#include "graph/boRentGraph.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <stdexcept>

namespace korvex::graph {

void printPlan(const TboRentGraph &graph, QPrinter &printer)
{
    const QSize size = graph.planSize();
    printer.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error(
            QCoreApplication::translate("TboRentGraph", "Не удалось начать печать").toStdString());
    graph.drawPage(painter, QRectF(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
    painter.end();
}

bool printPlanWithDialog(const TboRentGraph &graph, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("TboRentGraph", "Печать плана"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printPlan(graph, printer);
    return true;
}

} // namespace korvex::graph
