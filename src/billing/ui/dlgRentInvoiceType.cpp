#include "dlgRentInvoiceType.h"

#include "widgets/xPrompt.h"

#include <QFormLayout>
#include <QLineEdit>

namespace korvex::billing {

TdlgRentInvoiceType::TdlgRentInvoiceType(TboRentInvoiceType &bo, const TInvoiceTypeRecord &record, bool isNew,
                                         QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentInvoiceType"));
    setWindowTitle(tr("Тип задолженности"));
    setMessageCaption(korvex::widgets::TxPrompt::attentionBang());
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    m_name = new QLineEdit(record.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_name->setMinimumWidth(320);
    form->addRow(tr("Наименование"), m_name);
    addRequired(m_name, tr("Введите наименование"));
    setRecordKey(record.id);
    setNextEnabled(isNew);
}

int TdlgRentInvoiceType::writeRecord()
{
    TInvoiceTypeRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    m_bo.writeType(r);
    m_record = r;
    return r.id;
}

void TdlgRentInvoiceType::startNextRecord()
{
    m_record = TInvoiceTypeRecord{};
    m_name->clear();
    m_name->setFocus();
}

} // namespace korvex::billing
