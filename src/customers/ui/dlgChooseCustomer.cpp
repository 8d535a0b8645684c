#include "dlgChooseCustomer.h"

#include "uiCommon.h"
#include "db/xQuery.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xTreeChooser.h"
#include "widgets/xTreeModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

namespace {

// "Выбор услуг" while no service chooser is handed in: the service tree.
std::optional<int> chooseServiceFromTree(korvex::db::TxDatabase &db, QWidget *parent)
{
    TdlgTreeChooser dialog(
        db, [](TxTreeModel &model) { model.setQuery(QStringLiteral("SELECT id, parent, name FROM rent_service ORDER BY name")); },
        parent);
    dialog.setWindowTitle(QCoreApplication::translate("TdlgChooseCustomer", "Выбор услуг"));
    dialog.resize(420, 480);
    if (!dialog.load(std::nullopt, {}, true) || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.currentKey();
}

} // namespace

// ---------------------------------------------------------------------------

TdlgCustomerFilter::TdlgCustomerFilter(korvex::shell::TAppContext &context, QWidget *parent)
    : TdlgTreeChooser(
          context.db,
          [](TxTreeModel &model) {
              model.setTable(QStringLiteral("ph_attr"));
              model.setDisplayFields({QStringLiteral("shortname")});
              model.setMarkable(true);
          },
          parent)
    , m_context(context)
{
    setWindowTitle(tr("Фильтрация клиентов"));
    setObjectName(QStringLiteral("dlgCustomerFilter"));
    setCurrentRequired(false);
    TCustomerFilter stored;
    stored.read(context.options);

    auto *kindRow = new QHBoxLayout;
    m_allKinds = new QCheckBox(tr("Все типы"), this);
    m_kind = new QComboBox(this);
    m_kind->addItems({tr("Предприятие"), tr("Банк"), tr("Физическое лиц"), tr("Частный предприниматель")});
    kindRow->addWidget(m_allKinds);
    kindRow->addWidget(m_kind, 1);
    topLayout()->addLayout(kindRow);
    m_allAttributes = new QCheckBox(tr("Все аттрибуты"), this);
    topLayout()->addWidget(m_allAttributes);

    connect(m_allKinds, &QCheckBox::toggled, m_kind, &QWidget::setDisabled);
    connect(m_allAttributes, &QCheckBox::toggled, tree(), &QWidget::setDisabled);
    m_allKinds->setChecked(stored.allKinds);
    m_kind->setCurrentIndex(stored.kindIndex);
    m_kind->setDisabled(stored.allKinds);
    m_allAttributes->setChecked(stored.allAttributes);
    tree()->setDisabled(stored.allAttributes);
    load(std::nullopt, stored.attributes, true);
    resize(420, 480);
}

void TdlgCustomerFilter::accept()
{
    if (guarded(this, [this] { filter().write(m_context.options); }))
        TdlgTreeChooser::accept();
}

TCustomerFilter TdlgCustomerFilter::filter() const
{
    TCustomerFilter f;
    f.allKinds = m_allKinds->isChecked();
    f.kindIndex = qMax(0, m_kind->currentIndex());
    f.allAttributes = m_allAttributes->isChecked();
    f.attributes = markedKeys();
    return f;
}

// ---------------------------------------------------------------------------

TdlgChooseCustomer::TdlgChooseCustomer(korvex::shell::TAppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setWindowTitle(tr("Выбор клиентов"));
    setObjectName(QStringLiteral("dlgChooseCustomer"));
    m_filter.read(context.options);
    TChooseCustomerOptions options;
    options.read(context.options, QDate::currentDate());

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("customers"));
    left->addWidget(m_list, 1);
    auto *listButtons = new QHBoxLayout;
    auto button = [&](const QString &text, const std::function<void()> &handler) {
        auto *b = new QPushButton(text, this);
        listButtons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded(this, handler); });
    };
    button(tr("Выделить все"), [this] { checkAll(true); });
    button(tr("Снять выделение"), [this] { checkAll(false); });
    button(tr("Фильтр"), [this] { runFilter(); });
    button(tr("Выбор по услуге"), [this] { chooseService(); });
    left->addLayout(listButtons);
    layout->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    auto *period = new QGroupBox(tr("Период"), this);
    auto *periodForm = new QFormLayout(period);
    m_start = new QDateEdit(options.startDate, period);
    m_start->setCalendarPopup(true);
    m_end = new QDateEdit(options.endDate, period);
    m_end->setCalendarPopup(true);
    m_unlimited = new QCheckBox(tr("Неограниченный период"), period);
    periodForm->addRow(tr("с"), m_start);
    periodForm->addRow(tr("по"), m_end);
    periodForm->addRow(m_unlimited);
    right->addWidget(period);
    m_all = new QCheckBox(tr("Все клиенты"), this);
    right->addWidget(m_all);
    auto *payment = new QGroupBox(tr("Форма оплаты"), this);
    m_paymentGroup = payment;
    auto *paymentLayout = new QVBoxLayout(payment);
    m_allPayments = new QCheckBox(tr("По всем формам"), payment);
    m_payment = new TxLookupBox(payment);
    m_payment->setChooserVisible(false);
    m_payment->setSource(std::make_unique<TxTableLookup>(context.db, QStringLiteral("rent_payment"), QStringLiteral("id"),
                                                         QStringLiteral("name")));
    paymentLayout->addWidget(m_allPayments);
    paymentLayout->addWidget(m_payment);
    right->addWidget(payment);
    right->addStretch();
    right->addLayout(confirmRow(this, tr("Ок"), tr("Отмена"), [this] {
        return guarded(this, [this] {
            TChooseCustomerOptions o;
            o.startDate = startDate();
            o.endDate = endDate();
            o.unlimited = unlimitedPeriod();
            o.allCustomers = allCustomers();
            o.allPayments = m_allPayments->isChecked();
            o.paymentKey = paymentKey();
            o.write(m_context.options);
        });
    }).layout);
    layout->addLayout(right);

    m_unlimited->setChecked(options.unlimited);
    m_all->setChecked(options.allCustomers);
    m_allPayments->setChecked(options.allPayments);
    if (options.paymentKey > 0)
        m_payment->setKey(options.paymentKey);
    connect(m_unlimited, &QCheckBox::toggled, this, &TdlgChooseCustomer::updateEnabled);
    connect(m_allPayments, &QCheckBox::toggled, this, &TdlgChooseCustomer::updateEnabled);
    updateEnabled();
    reloadList();
    resize(720, 480);
}

void TdlgChooseCustomer::updateEnabled()
{
    m_start->setEnabled(!m_unlimited->isChecked());
    m_end->setEnabled(!m_unlimited->isChecked());
    m_payment->setEnabled(!m_allPayments->isChecked());
}

void TdlgChooseCustomer::fill(const TxSqlFilter &select, bool checkOnly)
{
    TxSqlFilter ordered = select;
    ordered.add(QStringLiteral("ORDER BY cust.name"));
    korvex::db::TxQuery q(m_context.db);
    q.exec(ordered.text(), ordered.values());
    if (checkOnly) {
        QSet<int> keys;
        while (q.next())
            keys.insert(q.value(0).toInt());
        for (int i = 0; i < m_list->count(); ++i) {
            QListWidgetItem *item = m_list->item(i);
            if (keys.contains(item->data(Qt::UserRole).toInt()))
                item->setCheckState(Qt::Checked);
        }
        return;
    }
    const QList<int> checked = checkedCustomers();
    m_list->clear();
    while (q.next()) {
        auto *item = new QListWidgetItem(q.value(1).toString().trimmed(), m_list);
        item->setData(Qt::UserRole, q.value(0).toInt());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(q.value(0).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
}

void TdlgChooseCustomer::reloadList()
{
    fill(m_filter.tenantStatement(), false);
}

void TdlgChooseCustomer::checkAll(bool on)
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void TdlgChooseCustomer::checkByService(int serviceKey)
{
    fill(customersWithService(serviceKey), true);
}

void TdlgChooseCustomer::runFilter()
{
    TdlgCustomerFilter dialog(m_context, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_filter = dialog.filter();
    reloadList();
}

void TdlgChooseCustomer::chooseService()
{
    const std::optional<int> service =
        m_serviceChooser ? m_serviceChooser(this) : chooseServiceFromTree(m_context.db, this);
    if (service)
        checkByService(*service);
}

QList<int> TdlgChooseCustomer::checkedCustomers() const
{
    QList<int> keys;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked)
            keys << m_list->item(i)->data(Qt::UserRole).toInt();
    }
    return keys;
}

QDate TdlgChooseCustomer::startDate() const
{
    return m_start->date();
}

QDate TdlgChooseCustomer::endDate() const
{
    return m_end->date();
}

bool TdlgChooseCustomer::unlimitedPeriod() const
{
    return m_unlimited->isChecked();
}

bool TdlgChooseCustomer::allCustomers() const
{
    return m_all->isChecked();
}

void TdlgChooseCustomer::setPaymentsVisible(bool visible)
{
    m_paymentGroup->setVisible(visible);
}

bool TdlgChooseCustomer::paymentsVisible() const
{
    return !m_paymentGroup->isHidden();
}

bool TdlgChooseCustomer::allPayments() const
{
    return !paymentsVisible() || m_allPayments->isChecked();
}

int TdlgChooseCustomer::paymentKey() const
{
    return m_payment->key().isNull() ? 0 : m_payment->key().toInt();
}

} // namespace korvex::customers
