#pragma once

#include "widgets/ui/xTreeChooser.h"
#include "customers/CustomerFilter.h"
#include "shell/AppContext.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QListWidget;

namespace korvex::widgets {
class TxDBTreeView;
class TxLookupBox;
class TxTreeModel;
}

namespace korvex::customers {

// "Фильтрация клиентов": which tenants the report choice lists.
class TdlgCustomerFilter : public korvex::widgets::TdlgTreeChooser
{
    Q_OBJECT
public:
    TdlgCustomerFilter(korvex::shell::TAppContext &context, QWidget *parent = nullptr);

    TCustomerFilter filter() const;
    QCheckBox *allKindsCheck() const { return m_allKinds; }
    QCheckBox *allAttributesCheck() const { return m_allAttributes; }
    QComboBox *kindList() const { return m_kind; }
    korvex::widgets::TxTreeModel *attributes() const { return model(); }

    // "Ок" remembers the filter.
    void accept() override;

private:
    korvex::shell::TAppContext &m_context;
    QCheckBox *m_allKinds;
    QComboBox *m_kind;
    QCheckBox *m_allAttributes;
};

// "Выбор клиентов": the customers, period and form of payment of a report.
// The answers are remembered on "Ок" only.
class TdlgChooseCustomer : public QDialog
{
    Q_OBJECT
public:
    // Picks one service for "Выбор по услуге"; nullopt: none chosen.
    using ServiceChooser = std::function<std::optional<int>(QWidget *parent)>;

    TdlgChooseCustomer(korvex::shell::TAppContext &context, QWidget *parent = nullptr);

    void setServiceChooser(ServiceChooser chooser) { m_serviceChooser = std::move(chooser); }
    // Reports that do not filter by the form of payment hide its controls;
    // the choice then covers every form, and the remembered one is kept.
    void setPaymentsVisible(bool visible);
    bool paymentsVisible() const;

    QList<int> checkedCustomers() const;
    QDate startDate() const;
    QDate endDate() const;
    bool unlimitedPeriod() const;
    bool allCustomers() const;
    bool allPayments() const;
    int paymentKey() const;

    QListWidget *list() const { return m_list; }
    // Reads the list again through the list filter, keeping the checks.
    void reloadList();
    void checkAll(bool on);
    // Checks every customer with an open contract for the service.
    void checkByService(int serviceKey);

private:
    void runFilter();
    void chooseService();
    void updateEnabled();
    void fill(const korvex::widgets::TxSqlFilter &select, bool checkOnly);

    korvex::shell::TAppContext &m_context;
    TCustomerFilter m_filter;
    ServiceChooser m_serviceChooser;
    QListWidget *m_list;
    QDateEdit *m_start;
    QDateEdit *m_end;
    QCheckBox *m_unlimited;
    QCheckBox *m_all;
    QCheckBox *m_allPayments;
    korvex::widgets::TxLookupBox *m_payment;
    QWidget *m_paymentGroup;
};

} // namespace korvex::customers
