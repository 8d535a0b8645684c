#include "dlgRentDebtFilter.h"

#include "billingLookups.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xLookupSource.h"
#include "widgets/xTreeModel.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace korvex::billing {

using namespace korvex::widgets;

TdlgRentDebtFilter::TdlgRentDebtFilter(TboRentDebtFilter &bo, const TDebtFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentDebtFilter"));
    setWindowTitle(tr("Фильтрация задолженностей"));
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildDateTab(), tr("Дата"));
    m_tabs->addTab(buildTreeTab(m_allServices, tr("Все услуги"), m_serviceModel, m_serviceTree,
                                QStringLiteral("Service")),
                   tr("Услуги"));
    m_tabs->addTab(buildTreeTab(m_allObjects, tr("Все объекты"), m_objectModel, m_objectTree,
                                QStringLiteral("Object")),
                   tr("Объекты"));
    layout->addWidget(m_tabs, 1);
    layout->addLayout(confirmRow(this, [this] {
        confirm();
        return true;
    }).layout);

    m_bo.setUpServiceTree(*m_serviceModel);
    m_bo.setUpObjectTree(*m_objectModel);
    guarded(this, [&] { display(); });
    resize(620, 560);
}

TdlgRentDebtFilter::~TdlgRentDebtFilter() = default;

QWidget *TdlgRentDebtFilter::buildDateTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);

    auto *dateBox = new QGroupBox(tr("Дата на которую необходимо видеть задолженность"), page);
    auto *dateLayout = new QVBoxLayout(dateBox);
    m_calendar = new QCalendarWidget(dateBox);
    m_calendar->setObjectName(QStringLiteral("DebtDate"));
    m_calendar->setGridVisible(true);
    dateLayout->addWidget(m_calendar);
    layout->addWidget(dateBox);

    auto *grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString &caption, QWidget *field, QCheckBox *&all, const QString &allText,
                      const QString &allName) {
        grid->addWidget(new QLabel(caption, page), row, 0);
        grid->addWidget(field, row, 1);
        all = new QCheckBox(allText, page);
        all->setObjectName(allName);
        grid->addWidget(all, row++, 2);
        connect(all, &QCheckBox::toggled, this, &TdlgRentDebtFilter::enableFields);
    };
    m_customer = newTenantBox(m_bo.context().db, QStringLiteral("Customer"), page);
    addRow(tr("Клиент"), m_customer, m_allCustomers, tr("Все клиенты"), QStringLiteral("AllCustomers"));
    m_contract = newContractBox(m_bo.context().db, 0, false, QStringLiteral("Contract"), page);
    addRow(tr("Договор"), m_contract, m_allContracts, tr("Все договора"), QStringLiteral("AllContracts"));
    m_payment = newPaymentBox(m_bo.context().db, QStringLiteral("Payment"), page);
    addRow(tr("Форма"), m_payment, m_allPayments, tr("По всем формам"), QStringLiteral("AllPayments"));
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto *bottom = new QHBoxLayout;
    auto *selectionBox = new QGroupBox(tr("Тип отбора"), page);
    selectionBox->setObjectName(QStringLiteral("Selection"));
    auto *selectionLayout = new QVBoxLayout(selectionBox);
    m_selection = new QButtonGroup(this);
    const QString kinds[] = {tr("Задолженности и переплаты"), tr("Задолженности"), tr("Переплаты")};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QRadioButton(kinds[i], selectionBox);
        m_selection->addButton(button, i);
        selectionLayout->addWidget(button);
    }
    bottom->addWidget(selectionBox);

    auto *historyBox = new QGroupBox(tr("Дата просмотра истории"), page);
    auto *historyLayout = new QGridLayout(historyBox);
    m_historyStart = new QDateEdit(historyBox);
    m_historyStart->setObjectName(QStringLiteral("HistoryStart"));
    m_historyStart->setCalendarPopup(true);
    m_historyEnd = new QDateEdit(historyBox);
    m_historyEnd->setObjectName(QStringLiteral("HistoryEnd"));
    m_historyEnd->setCalendarPopup(true);
    m_unlimited = new QCheckBox(tr("Неограниченный период"), historyBox);
    m_unlimited->setObjectName(QStringLiteral("Unlimited"));
    historyLayout->addWidget(new QLabel(tr("с"), historyBox), 0, 0);
    historyLayout->addWidget(m_historyStart, 0, 1);
    historyLayout->addWidget(new QLabel(tr("по"), historyBox), 1, 0);
    historyLayout->addWidget(m_historyEnd, 1, 1);
    historyLayout->addWidget(m_unlimited, 2, 0, 1, 2);
    connect(m_unlimited, &QCheckBox::toggled, this, &TdlgRentDebtFilter::enableFields);
    bottom->addWidget(historyBox);
    layout->addLayout(bottom);
    layout->addStretch();

    connect(m_customer, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { loadContracts(); }); });
    // Entering the contract field asks for the customer first.
    m_contract->comboBox()->installEventFilter(this);
    if (m_contract->lineEdit())
        m_contract->lineEdit()->installEventFilter(this);
    return page;
}

QWidget *TdlgRentDebtFilter::buildTreeTab(QCheckBox *&all, const QString &allText, TxTreeModel *&model,
                                          TxDBTreeView *&tree, const QString &name)
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    all = new QCheckBox(allText, page);
    all->setObjectName(QStringLiteral("All") + name + QStringLiteral("s"));
    layout->addWidget(all);
    model = new TxTreeModel(m_bo.context().db, this);
    tree = new TxDBTreeView(page);
    tree->setObjectName(name + QStringLiteral("Tree"));
    tree->setTreeModel(model);
    tree->setFieldWidth(QStringLiteral("name"), 320);
    layout->addWidget(tree, 1);
    connect(all, &QCheckBox::toggled, this, &TdlgRentDebtFilter::enableFields);
    return page;
}

void TdlgRentDebtFilter::display()
{
    const TDebtFilter f = m_filter;
    m_calendar->setSelectedDate(f.debtDate);
    m_allCustomers->setChecked(f.allCustomers);
    // The stored contract stays when it is the customer's; else the first one.
    m_contract->setKey(f.contractKey > 0 ? QVariant(f.contractKey) : QVariant());
    m_customer->setKey(f.customerKey > 0 ? QVariant(f.customerKey) : QVariant());
    loadContracts();
    m_allContracts->setChecked(f.allContracts);
    m_allPayments->setChecked(f.allPayments);
    m_payment->setKey(f.paymentKey > 0 ? QVariant(f.paymentKey) : QVariant());
    m_selection->button(f.selectionType)->setChecked(true);
    m_historyStart->setDate(f.historyStart);
    m_historyEnd->setDate(f.historyEnd);
    m_unlimited->setChecked(f.historyUnlimited);
    m_allServices->setChecked(f.allServices);
    m_allObjects->setChecked(f.allObjects);
    if (m_serviceTree->reload())
        m_serviceModel->setMarked(QList<qint64>(f.serviceKeys.begin(), f.serviceKeys.end()), true);
    if (m_objectTree->reload())
        m_objectModel->setMarked(QList<qint64>(f.objectKeys.begin(), f.objectKeys.end()), true);
    enableFields();
}

void TdlgRentDebtFilter::enableFields()
{
    m_customer->setEnabled(!m_allCustomers->isChecked());
    m_contract->setEnabled(!m_allContracts->isChecked());
    m_payment->setEnabled(!m_allPayments->isChecked());
    m_historyStart->setEnabled(!m_unlimited->isChecked());
    m_historyEnd->setEnabled(!m_unlimited->isChecked());
    m_serviceTree->setEnabled(!m_allServices->isChecked());
    m_objectTree->setEnabled(!m_allObjects->isChecked());
}

bool TdlgRentDebtFilter::hasContractList() const
{
    return m_customer->intKey().has_value();
}

void TdlgRentDebtFilter::loadContracts()
{
    const QVariant shown = m_contract->key();
    setContractsOf(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), false);
    const QList<TxLookupRow> &rows = m_contract->source()->rows();
    QVariant key;
    for (const TxLookupRow &r : rows)
        if (korvex::widgets::sameKey(r.key, shown))
            key = r.key;
    if (!key.isValid() && !rows.isEmpty())
        key = rows.first().key;
    m_contract->setKey(key);
}

bool TdlgRentDebtFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && !hasContractList() && !m_askingCustomer) {
        m_askingCustomer = true;
        // After the focus change has finished: the message takes the focus.
        QTimer::singleShot(0, this, [this] {
            TxMessages::warning(this, tr("Выберите клиента"), TxPrompt::attentionBang());
            if (m_allCustomers->isChecked())
                m_allCustomers->setChecked(false);
            m_customer->setFocus();
            m_askingCustomer = false;
        });
    }
    return QDialog::eventFilter(watched, event);
}

void TdlgRentDebtFilter::confirm()
{
    TDebtFilter f = m_filter;
    f.debtDate = m_calendar->selectedDate();
    f.allCustomers = m_allCustomers->isChecked();
    f.customerKey = m_customer->intKey().value_or(0);
    f.allContracts = m_allContracts->isChecked();
    f.contractKey = m_contract->intKey().value_or(0);
    f.allPayments = m_allPayments->isChecked();
    f.paymentKey = m_payment->intKey().value_or(0);
    f.selectionType = qMax(0, m_selection->checkedId());
    f.historyStart = m_historyStart->date();
    f.historyEnd = m_historyEnd->date();
    f.historyUnlimited = m_unlimited->isChecked();
    f.allServices = m_allServices->isChecked();
    f.serviceKeys = m_serviceModel->markedKeys();
    f.allObjects = m_allObjects->isChecked();
    f.objectKeys = m_objectModel->markedKeys();
    m_filter = f;
}

} // namespace korvex::billing
