#include "dlgRentPayment.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace korvex::billing {

TdlgRentPayment::TdlgRentPayment(TboRentPayment &bo, const TPaymentRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
{
    setObjectName(QStringLiteral("dlgRentPayment"));
    setWindowTitle(tr("Форма оплаты"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    m_name = new QLineEdit(record.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_shortName = new QLineEdit(record.shortName, this);
    m_shortName->setObjectName(QStringLiteral("shortname"));
    m_shortName->setMaxLength(20);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Краткое наименование"), m_shortName);
    addRequired(m_name, tr("Введите наименование"));
    addRequired(m_shortName, tr("Введите краткое наименование"));
    setNextEnabled(isNew);
    setRecordKey(record.id);
}

int TdlgRentPayment::writeRecord()
{
    TPaymentRecord r{recordKey(), m_name->text(), m_shortName->text()};
    return m_bo.writePayment(r);
}

void TdlgRentPayment::startNextRecord()
{
    m_name->clear();
    m_shortName->clear();
    m_name->setFocus();
}

} // namespace korvex::billing
