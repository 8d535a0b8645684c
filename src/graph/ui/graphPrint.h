#pragma once

class QPrinter;
class QWidget;

namespace korvex::graph {

class TboRentGraph;

// Prints the plan as it is drawn (start figure, scale, occupancy) on one page
// of the printer, in the orientation that suits its shape. Throws
// std::runtime_error when the printer cannot be started.
void printPlan(const TboRentGraph &graph, QPrinter &printer);

// Asks for the printer with the print dialog and prints; false when the user
// cancelled.
bool printPlanWithDialog(const TboRentGraph &graph, QWidget *parent);

} // namespace korvex::graph
