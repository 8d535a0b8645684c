#include "dlgPrintDocument.h"

#include "documents/ui/xRTFView.h"
#include "shell/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::documents {

TdlgPrintDocument::TdlgPrintDocument(TboRentPrintDocument &bo, const TPrintFormRecord &record, bool isNew,
                                     QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgPrintDocument"));
    setWindowTitle(tr("Печатная форма"));
    m_type = new QComboBox(this);
    m_type->addItems(TboRentPrintDocument::typeNames());
    m_name = new QLineEdit(this);
    m_path = new QLineEdit(this);
    m_group = new QCheckBox(tr("Группировать"), this);
    m_registerName = new QLineEdit(this);
    m_registerPath = new QLineEdit(this);
    m_table = new QLineEdit(this);

    auto form = new QFormLayout;
    form->addRow(tr("Тип документа"), m_type);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Файл"), fileRow(m_path));
    form->addRow(QString(), m_group);
    auto registerBox = new QGroupBox(tr("Реестр"), this);
    auto registerForm = new QFormLayout(registerBox);
    registerForm->addRow(tr("Наименование"), m_registerName);
    registerForm->addRow(tr("Файл для реестра"), fileRow(m_registerPath));
    registerForm->addRow(tr("Таблица"), m_table);
    contentLayout()->addLayout(form);
    contentLayout()->addWidget(registerBox);
    for (QLineEdit *box : {m_name, m_registerName, m_table})
        box->installEventFilter(this);

    showRecord(record);
    setRecordKey(record.id);
    setNextEnabled(isNew);
}

QWidget *TdlgPrintDocument::fileRow(QLineEdit *box)
{
    auto row = new QWidget(this);
    auto h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(box, 1);
    auto choose = new QPushButton(QStringLiteral("..."), row);
    choose->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, [this, box] {
        const QString file = QFileDialog::getOpenFileName(this, tr("Файл"), box->text(), QStringLiteral("*.rtf"));
        if (!file.isEmpty())
            box->setText(file);
    });
    auto view = new QPushButton(tr("Просмотр"), row);
    view->setAutoDefault(false);
    connect(view, &QPushButton::clicked, this, [box] { OpenInWord(box->text()); });
    h->addWidget(choose);
    h->addWidget(view);
    return row;
}

void TdlgPrintDocument::showRecord(const TPrintFormRecord &r)
{
    m_type->setCurrentIndex(std::clamp(r.typeDocument, 0, m_type->count() - 1));
    m_name->setText(r.name);
    m_path->setText(r.path);
    m_group->setChecked(r.group);
    m_registerName->setText(r.registerName);
    m_registerPath->setText(r.registerPath);
    m_table->setText(r.registerTable);
}

bool TdlgPrintDocument::eventFilter(QObject *watched, QEvent *event)
{
    // Entering a name box names an unnamed form after its type.
    if (event->type() == QEvent::FocusIn && m_name->text().trimmed().isEmpty())
        m_name->setText(m_type->currentText());
    return TxEditDialog::eventFilter(watched, event);
}

int TdlgPrintDocument::writeRecord()
{
    m_record.id = recordKey();
    m_record.typeDocument = m_type->currentIndex();
    m_record.name = m_name->text().trimmed();
    m_record.path = m_path->text().trimmed();
    m_record.group = m_group->isChecked();
    m_record.registerName = m_registerName->text().trimmed();
    m_record.registerPath = m_registerPath->text().trimmed();
    m_record.registerTable = m_table->text();
    m_bo.writeForm(m_record);
    return m_record.id;
}

void TdlgPrintDocument::startNextRecord()
{
    TPrintFormRecord next = m_bo.newRecord(m_record.parent);
    next.typeDocument = m_type->currentIndex();
    m_record = next;
    showRecord(next);
}

} // namespace korvex::documents
