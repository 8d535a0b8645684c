#include "dlgCustomerList.h"

#include "dlgCustAttributes.h"
#include "uiCommon.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xTransaction.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlError>
#include <QSqlRecord>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

TCheckedCustomerModel::TCheckedCustomerModel(korvex::db::TxDatabase &db, QObject *parent)
    : QSqlTableModel(parent, db.sql())
{
    // Upper case: the driver quotes the name, and the server keeps names so.
    setTable(QStringLiteral("CST_CUSTOMER"));
    setEditStrategy(QSqlTableModel::OnManualSubmit);
    setFilter(QStringLiteral("kind <> 2"));
    m_nameColumn = fieldIndex(QStringLiteral("name"));
    m_keyColumn = fieldIndex(QStringLiteral("customerkey"));
    setSort(m_nameColumn, Qt::AscendingOrder);
}

int TCheckedCustomerModel::keyAt(int row) const
{
    return QSqlTableModel::data(index(row, m_keyColumn)).toInt();
}

QList<int> TCheckedCustomerModel::checkedKeys() const
{
    QList<int> keys(m_checked.cbegin(), m_checked.cend());
    std::sort(keys.begin(), keys.end());
    return keys;
}

void TCheckedCustomerModel::clearChecks()
{
    m_checked.clear();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, m_nameColumn), index(rowCount() - 1, m_nameColumn), {Qt::CheckStateRole});
}

QVariant TCheckedCustomerModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole && index.column() == m_nameColumn)
        return m_checked.contains(keyAt(index.row())) ? Qt::Checked : Qt::Unchecked;
    return QSqlTableModel::data(index, role);
}

bool TCheckedCustomerModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::CheckStateRole && index.column() == m_nameColumn) {
        if (value.toInt() == Qt::Checked)
            m_checked.insert(keyAt(index.row()));
        else
            m_checked.remove(keyAt(index.row()));
        Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    return QSqlTableModel::setData(index, value, role);
}

Qt::ItemFlags TCheckedCustomerModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QSqlTableModel::flags(index);
    if (index.column() == m_nameColumn)
        f |= Qt::ItemIsUserCheckable;
    // The keys are the server's.
    if (index.column() == m_keyColumn || index.column() == fieldIndex(QStringLiteral("id")))
        f &= ~Qt::ItemIsEditable;
    return f;
}

// ---------------------------------------------------------------------------

TdlgCustomerList::TdlgCustomerList(korvex::db::TxDatabase &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setWindowTitle(tr("Клиенты"));
    setObjectName(QStringLiteral("dlgCustomerList"));
    auto *layout = new QVBoxLayout(this);
    m_model = new TCheckedCustomerModel(db, this);
    if (!m_model->select())
        throw korvex::db::EDatabaseError::fromSqlError(m_model->lastError());
    m_grid = new TxDBGrid(this);
    m_grid->setModel(m_model);
    m_grid->setKeyField(QStringLiteral("customerkey"));
    m_grid->setReadOnly(false);
    m_grid->setSortingByTitle(false);
    for (const QString &hidden : {QStringLiteral("customerkey"), QStringLiteral("id"), QStringLiteral("kind"),
                                  QStringLiteral("companykindkey"), QStringLiteral("propertykindkey"),
                                  QStringLiteral("placekey"), QStringLiteral("externalkey")})
        m_grid->setFieldVisible(hidden, false);
    m_grid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_grid->setFieldTitle(QStringLiteral("fullname"), tr("Полное наименование"));
    m_grid->setFieldWidth(QStringLiteral("name"), 240);
    layout->addWidget(m_grid, 1);

    QHBoxLayout *row = confirmRow(this, tr("Ок"), tr("Отмена"), [this] { return saveEdits(); });
    auto *attributes = new QPushButton(tr("Аттрибуты"), this);
    attributes->setObjectName(QStringLiteral("attributes"));
    row->insertWidget(0, attributes);
    layout->addLayout(row);
    connect(attributes, &QPushButton::clicked, this, [this] { guarded(this, [this] { editAttributes(); }); });
    resize(760, 520);
}

void TdlgCustomerList::editAttributes()
{
    QList<int> customers = m_model->checkedKeys();
    const bool several = !customers.isEmpty();
    if (!several) {
        const QVariant current = m_grid->currentKey();
        if (current.isNull())
            return;
        customers << current.toInt();
    }
    // Checked customers get the attributes chosen afresh; the current one
    // sees his own.
    TdlgCustAttributes dialog(m_db, customers, !several, this);
    if (dialog.exec() == QDialog::Accepted && several)
        m_model->clearChecks();
}

bool TdlgCustomerList::saveEdits()
{
    return guarded(this, [this] {
        korvex::db::TxTransaction tr(m_db);
        if (!m_model->submitAll())
            throw korvex::db::EDatabaseError::fromSqlError(m_model->lastError());
        tr.commit();
    });
}

} // namespace korvex::customers
