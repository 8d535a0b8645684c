#include "dlgRentContractList.h"

#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"

#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;

// --- TContractListModel ----------------------------------------------------------------------

TContractListModel::TContractListModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("CUSTOMERCAL"), QStringLiteral("NUMBER"), QStringLiteral("NAME"),
                          QStringLiteral("SIGNDATE"), QStringLiteral("EXPRIREDATE"), QStringLiteral("ACTIONDATE")},
                         parent)
{
}

QList<TContractListRow> TContractListModel::changedRows() const
{
    QList<TContractListRow> rows;
    for (const TContractListRow &r : m_records)
        if (m_changed.contains(r.id))
            rows << r;
    return rows;
}

QVariant TContractListModel::data(const QModelIndex &index, int role) const
{
    const TContractListRow *r = recordAt(index);
    if (!r || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    auto date = [role](const QDate &d) {
        return role == Qt::EditRole ? QVariant(d) : QVariant(d.toString(QStringLiteral("dd.MM.yyyy")));
    };
    switch (index.column()) {
    case CustomerColumn: return r->customerName;
    case NumberColumn: return r->number;
    case NameColumn: return r->name;
    case SignColumn: return date(r->signDate);
    case ExpireColumn: return date(r->expireDate);
    case ActionColumn: return date(r->actionDate);
    default: return {};
    }
}

Qt::ItemFlags TContractListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxFieldTableModel::flags(index);
    return index.column() == CustomerColumn ? f & ~Qt::ItemIsEditable : f;
}

bool TContractListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index) || index.column() == CustomerColumn)
        return false;
    TContractListRow &r = m_records[index.row()];
    switch (index.column()) {
    case NumberColumn:
    case NameColumn: {
        const QString text = value.toString().trimmed();
        const int limit = index.column() == NumberColumn ? 8 : 60;
        if (text.size() > limit) {
            Q_EMIT cellRefused(tr("Текст длиннее %1 знаков").arg(limit));
            return false;
        }
        (index.column() == NumberColumn ? r.number : r.name) = text;
        break;
    }
    default: {
        const QDate date = value.toDate();
        if (!date.isValid()) {
            Q_EMIT cellRefused(tr("Введите дату"));
            return false;
        }
        (index.column() == SignColumn ? r.signDate : index.column() == ExpireColumn ? r.expireDate : r.actionDate) = date;
    }
    }
    m_changed.insert(r.id);
    Q_EMIT dataChanged(index, index);
    return true;
}

// --- TdlgRentContractList -------------------------------------------------------------------

TdlgRentContractList::TdlgRentContractList(TboRentContract &bo, QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
{
    setObjectName(QStringLiteral("dlgRentContractList"));
    setWindowTitle(tr("Договора"));
    auto *layout = new QVBoxLayout(this);
    m_model = new TContractListModel(this);
    m_grid = new TxDBGrid(this);
    m_grid->setObjectName(QStringLiteral("ContractListGrid"));
    m_grid->setSortingByTitle(false);
    m_grid->setModel(m_model);
    m_grid->setReadOnly(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setFieldTitle(QStringLiteral("CUSTOMERCAL"), tr("Клиент"));
    m_grid->setFieldTitle(QStringLiteral("NUMBER"), tr("Номер"));
    m_grid->setFieldTitle(QStringLiteral("NAME"), tr("Наименование"));
    m_grid->setFieldTitle(QStringLiteral("SIGNDATE"), tr("Дата заключения"));
    m_grid->setFieldTitle(QStringLiteral("EXPRIREDATE"), tr("Дата окончания"));
    m_grid->setFieldTitle(QStringLiteral("ACTIONDATE"), tr("Дата действия"));
    m_grid->setFieldWidth(QStringLiteral("CUSTOMERCAL"), 220);
    m_grid->setFieldWidth(QStringLiteral("NAME"), 260);
    layout->addWidget(m_grid, 1);
    connect(m_model, &TContractListModel::cellRefused, this,
            [this](const QString &message) { TxMessages::warning(this, message, korvex::widgets::TxPrompt::attentionBang()); });
    layout->addLayout(korvex::widgets::confirmRow(this, [this] { return saveEdits(); }).layout);
    korvex::widgets::guarded(this, [&] { m_model->setRecords(bo.readOpenContracts()); });
    resize(900, 520);
}

TdlgRentContractList::~TdlgRentContractList() = default;

bool TdlgRentContractList::saveEdits()
{
    const QList<TContractListRow> rows = m_model->changedRows();
    if (rows.isEmpty())
        return true;
    if (!korvex::widgets::guarded(this, [&] { m_bo.writeContractList(rows); }))
        return false;
    m_saved = int(rows.size());
    return true;
}

} // namespace korvex::billing
