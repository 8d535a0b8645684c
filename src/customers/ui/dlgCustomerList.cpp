#include "dlgCustomerList.h"

#include "dlgCustAttributes.h"
#include "uiCommon.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "widgets/ui/mmRunTimeStore.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QHash>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

namespace {

// The texts of a customer row as the list shows them, by field.
QString TCustomerRecord::*textMember(const QString &field)
{
    static const QHash<QString, QString TCustomerRecord::*> members{
        {QStringLiteral("name"), &TCustomerRecord::name},         {QStringLiteral("fullname"), &TCustomerRecord::fullname},
        {QStringLiteral("code"), &TCustomerRecord::code},         {QStringLiteral("phone"), &TCustomerRecord::phone},
        {QStringLiteral("fax"), &TCustomerRecord::fax},           {QStringLiteral("email"), &TCustomerRecord::email},
        {QStringLiteral("url"), &TCustomerRecord::url},           {QStringLiteral("pobox"), &TCustomerRecord::pobox},
        {QStringLiteral("zipcode"), &TCustomerRecord::zipcode},   {QStringLiteral("domicile"), &TCustomerRecord::domicile},
        {QStringLiteral("unn"), &TCustomerRecord::unn},           {QStringLiteral("okpo"), &TCustomerRecord::okpo},
        {QStringLiteral("okonh"), &TCustomerRecord::okonh},       {QStringLiteral("soato"), &TCustomerRecord::soato},
        {QStringLiteral("soou"), &TCustomerRecord::soou},
    };
    return members.value(field, nullptr);
}

const QStringList ListFields{QStringLiteral("name"),     QStringLiteral("fullname"), QStringLiteral("code"),
                             QStringLiteral("phone"),    QStringLiteral("fax"),      QStringLiteral("email"),
                             QStringLiteral("url"),      QStringLiteral("pobox"),    QStringLiteral("zipcode"),
                             QStringLiteral("domicile"), QStringLiteral("unn"),      QStringLiteral("okpo"),
                             QStringLiteral("okonh"),    QStringLiteral("soato"),    QStringLiteral("soou"),
                             QStringLiteral("disabled")};

} // namespace

TCheckedCustomerModel::TCheckedCustomerModel(QObject *parent)
    : TxRecordTableModel(ListFields, parent)
{
}

int TCheckedCustomerModel::keyAt(int row) const
{
    return row >= 0 && row < m_records.size() ? m_records.at(row).key : 0;
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
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

QList<TCustomerRecord> TCheckedCustomerModel::changedRecords() const
{
    QList<TCustomerRecord> rows;
    for (const TCustomerRecord &r : m_records) {
        if (m_changed.contains(r.key))
            rows << r;
    }
    return rows;
}

void TCheckedCustomerModel::setRecordsUnchanged(const QList<TCustomerRecord> &records)
{
    m_changed.clear();
    setRecords(records);
}

QVariant TCheckedCustomerModel::data(const QModelIndex &index, int role) const
{
    const TCustomerRecord *r = recordAt(index);
    if (!r)
        return {};
    const QString field = fields().at(index.column());
    if (role == Qt::CheckStateRole && field == QLatin1String("name"))
        return m_checked.contains(r->key) ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (field == QLatin1String("disabled"))
        return r->disabled ? 1 : 0;
    if (QString TCustomerRecord::*member = textMember(field))
        return r->*member;
    return {};
}

bool TCheckedCustomerModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!recordAt(index))
        return false;
    TCustomerRecord &r = m_records[index.row()];
    const QString field = fields().at(index.column());
    if (role == Qt::CheckStateRole && field == QLatin1String("name")) {
        if (value.toInt() == Qt::Checked)
            m_checked.insert(r.key);
        else
            m_checked.remove(r.key);
        Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    if (field == QLatin1String("disabled")) {
        bool ok = false;
        const int flag = value.toString().trimmed().toInt(&ok);
        if (!ok || (flag != 0 && flag != 1)) {
            Q_EMIT cellRefused(tr("Введите 0 или 1"));
            return false;
        }
        r.disabled = flag == 1;
    } else if (QString TCustomerRecord::*member = textMember(field)) {
        r.*member = value.toString().trimmed();
    } else {
        return false;
    }
    m_changed.insert(r.key);
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags TCheckedCustomerModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (fields().at(index.column()) == QLatin1String("name"))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

// ---------------------------------------------------------------------------

TdlgCustomerList::TdlgCustomerList(korvex::db::TxDatabase &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setWindowTitle(tr("Клиенты"));
    setObjectName(QStringLiteral("dlgCustomerList"));
    // The customer list keeps its grid layout apart from other customer lists.
    setProperty(korvex::widgets::TmmRunTimeStore::ContextProperty, 10);
    auto *layout = new QVBoxLayout(this);
    m_model = new TCheckedCustomerModel(this);
    m_model->setRecordsUnchanged(TboCustomer::readTenants(db));
    connect(m_model, &TCheckedCustomerModel::cellRefused, this,
            [this](const QString &message) { TxMessages::warning(this, message); });
    m_grid = new TxDBGrid(this);
    m_grid->setModel(m_model);
    m_grid->setReadOnly(false);
    m_grid->setSortingByTitle(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_grid->setFieldTitle(QStringLiteral("fullname"), tr("Полное наименование"));
    m_grid->setFieldWidth(QStringLiteral("name"), 240);
    layout->addWidget(m_grid, 1);

    QHBoxLayout *row = confirmRow(this, tr("Ок"), tr("Отмена"), [this] { return saveEdits(); }).layout;
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
        const QModelIndex current = m_grid->currentIndex();
        if (!current.isValid())
            return;
        customers << m_model->keyAt(current.row());
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
        TboCustomer::writeListed(m_db, m_model->changedRecords());
        m_model->setRecordsUnchanged(m_model->records());
    });
}

} // namespace korvex::customers
