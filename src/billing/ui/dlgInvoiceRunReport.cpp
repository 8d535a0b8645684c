#include "dlgInvoiceRunReport.h"

#include "widgets/ui/xConfirmRow.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvex::billing {

TdlgInvoiceRunReport::TdlgInvoiceRunReport(const TInvoiceRun &run, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgInvoiceRunReport"));
    setWindowTitle(tr("Позиции без счета"));
    auto *layout = new QVBoxLayout(this);
    auto *note = new QLabel(tr("Эти позиции не вошли в счета (счета сформированы без них), по этим договорам счета "
                               "не сформированы:"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("Findings"));
    m_table->setHorizontalHeaderLabels({tr("Договор"), tr("Услуга"), tr("Объект"), tr("Причина")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto add = [this](const QString &contract, const QString &service, const QString &object, const QString &reason) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QString texts[] = {contract, service, object, reason};
        for (int column = 0; column < 4; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
    };
    for (const TMakeInvoiceResult &r : run.contracts) {
        for (const TUnpricedInvoicePosition &p : r.unpriced)
            add(p.contractNumber, p.serviceName, p.objectName, p.reason);
        if (!r.failure.isEmpty())
            add(QString::number(r.contractKey), tr("счет не сформирован"), QString(), r.failure);
    }
    m_table->setColumnWidth(0, 80);
    m_table->setColumnWidth(1, 200);
    m_table->setColumnWidth(2, 160);
    layout->addWidget(m_table, 1);
    layout->addLayout(korvex::widgets::confirmRow(this).layout);
    resize(820, 360);
}

bool TdlgInvoiceRunReport::hasFindings(const TInvoiceRun &run)
{
    return run.failed() > 0 || !run.unpriced().isEmpty();
}

} // namespace korvex::billing
