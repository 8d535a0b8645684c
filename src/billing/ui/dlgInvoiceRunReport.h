#pragma once

#include "billing/boRentContract.h"

#include <QDialog>

class QTableWidget;

namespace korvex::billing {

// What a billing run could not do, listed after it: the positions left out
// of their invoices because the engine could not price them, and the
// contracts whose invoice failed, each with the reason.
class TdlgInvoiceRunReport : public QDialog
{
    Q_OBJECT
public:
    explicit TdlgInvoiceRunReport(const TInvoiceRun &run, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    // Whether the run left anything to report.
    static bool hasFindings(const TInvoiceRun &run);

private:
    QTableWidget *m_table;
};

} // namespace korvex::billing
