#include "dlgRentSupplement.h"

#include "documentFiles.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xGuard.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace korvex::billing {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedEdit;

// --- TSupplementModel --------------------------------------------------------------------

TSupplementModel::TSupplementModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("NUMBER"), QStringLiteral("SUPDATE"), QStringLiteral("NAME"),
                          QStringLiteral("DESCRIPTION"), QStringLiteral("FILENAME")},
                         parent)
{
}

void TSupplementModel::replaceRecord(int row, const TSupplementRecord &record)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_records[row] = record;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QVariant TSupplementModel::data(const QModelIndex &index, int role) const
{
    const TSupplementRecord *r = recordAt(index);
    if (!r || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    switch (index.column()) {
    case 0: return r->number;
    case 1: return r->supDate.toString(QStringLiteral("dd.MM.yyyy"));
    case 2: return r->name;
    case 3: return r->description;
    case 4: return r->fileName;
    default: return {};
    }
}

Qt::ItemFlags TSupplementModel::flags(const QModelIndex &index) const
{
    return TxFieldTableModel::flags(index) & ~Qt::ItemIsEditable;
}

// --- TdlgRentSupplement ------------------------------------------------------------------

TdlgRentSupplement::TdlgRentSupplement(korvex::db::TxDatabase &db, const TSupplementRecord &record, bool isNew,
                                       Store store, QWidget *parent)
    : TxEditDialog(db, parent)
    , m_record(record)
    , m_store(std::move(store))
{
    setObjectName(QStringLiteral("dlgRentSupplement"));
    setWindowTitle(tr("Сопутсвующий документ"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("filename"));
    m_file->setMaxLength(255);
    auto *fileButton = new QToolButton(this);
    fileButton->setObjectName(QStringLiteral("chooseFile"));
    fileButton->setText(QStringLiteral("..."));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(fileButton);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setMaxLength(254);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setMaxLength(20);
    m_date = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_date->setObjectName(QStringLiteral("supdate"));
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Файл"), fileRow);
    form->addRow(tr("Описание"), m_description);
    form->addRow(tr("Номер"), m_number);
    form->addRow(tr("Дата"), m_date);

    auto *view = new QPushButton(tr("&Просмотр"), this);
    view->setObjectName(QStringLiteral("view"));
    buttonLayout()->insertWidget(0, view);
    connect(fileButton, &QToolButton::clicked, this, [this] { guarded(this, [&] { chooseDocumentFile(this, m_file); }); });
    connect(view, &QPushButton::clicked, this, [this] { guarded(this, [&] { openDocumentFile(this, m_file->text()); }); });

    setNextEnabled(isNew);
    display(m_record);
    resize(520, 240);
}

TdlgRentSupplement::~TdlgRentSupplement() = default;

void TdlgRentSupplement::display(const TSupplementRecord &r)
{
    m_name->setText(r.name);
    m_file->setText(r.fileName);
    m_description->setText(r.description);
    m_number->setText(r.number);
    if (r.supDate.isValid())
        m_date->setDateValue(r.supDate);
    else
        m_date->clear();
}

int TdlgRentSupplement::writeRecord()
{
    TSupplementRecord r = m_record;
    r.name = m_name->text().trimmed();
    r.fileName = m_file->text().trimmed();
    r.description = m_description->text().trimmed();
    r.number = m_number->text().trimmed();
    r.supDate = m_date->dateValue().value_or(QDate());
    m_store(r);
    m_record = r;
    return r.id;
}

void TdlgRentSupplement::startNextRecord()
{
    m_record = TSupplementRecord{};
    m_record.supDate = QDate::currentDate();
    display(m_record);
    m_name->setFocus();
}

} // namespace korvex::billing
