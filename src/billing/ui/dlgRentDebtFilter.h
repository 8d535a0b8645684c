#pragma once

#include "billing/boRentDebtFilter.h"

#include <QDialog>

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QTabWidget;

namespace korvex::widgets {
class TxDBTreeView;
class TxLookupBox;
class TxTreeModel;
}

namespace korvex::billing {

// "Фильтрация задолженностей": the debt date, customer, contract, payment
// form, selection and history period, and the services and objects, each
// "all" box disabling what it covers. Works on a copy of the filter; after
// "Ок" the caller takes filter().
class TdlgRentDebtFilter : public QDialog
{
    Q_OBJECT
public:
    enum Tab { DateTab = 0, ServicesTab = 1, ObjectsTab = 2 };

    TdlgRentDebtFilter(TboRentDebtFilter &bo, const TDebtFilter &filter, QWidget *parent = nullptr);
    ~TdlgRentDebtFilter() override;

    // The filter as the dialog shows it (after "Ок": as confirmed).
    const TDebtFilter &filter() const { return m_filter; }
    // Takes the controls' state into the filter, as "Ок" does.
    void confirm();

    QTabWidget *tabs() const { return m_tabs; }
    QCalendarWidget *calendar() const { return m_calendar; }
    QCheckBox *allCustomers() const { return m_allCustomers; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    QCheckBox *allContracts() const { return m_allContracts; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }
    QCheckBox *allPayments() const { return m_allPayments; }
    korvex::widgets::TxLookupBox *paymentBox() const { return m_payment; }
    QButtonGroup *selection() const { return m_selection; }
    QDateEdit *historyStart() const { return m_historyStart; }
    QDateEdit *historyEnd() const { return m_historyEnd; }
    QCheckBox *historyUnlimited() const { return m_unlimited; }
    QCheckBox *allServices() const { return m_allServices; }
    korvex::widgets::TxTreeModel *serviceModel() const { return m_serviceModel; }
    korvex::widgets::TxDBTreeView *serviceTree() const { return m_serviceTree; }
    QCheckBox *allObjects() const { return m_allObjects; }
    korvex::widgets::TxTreeModel *objectModel() const { return m_objectModel; }
    korvex::widgets::TxDBTreeView *objectTree() const { return m_objectTree; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildDateTab();
    QWidget *buildTreeTab(QCheckBox *&all, const QString &allText, korvex::widgets::TxTreeModel *&model,
                          korvex::widgets::TxDBTreeView *&tree, const QString &name);
    void display();
    void enableFields();
    // The contracts of the customer shown; the contract shown stays when it
    // is one of them, else the first one is shown.
    void loadContracts();
    bool hasContractList() const;

    TboRentDebtFilter &m_bo;
    TDebtFilter m_filter;
    QTabWidget *m_tabs;
    QCalendarWidget *m_calendar;
    QCheckBox *m_allCustomers;
    korvex::widgets::TxLookupBox *m_customer;
    QCheckBox *m_allContracts;
    korvex::widgets::TxLookupBox *m_contract;
    QCheckBox *m_allPayments;
    korvex::widgets::TxLookupBox *m_payment;
    QButtonGroup *m_selection;
    QDateEdit *m_historyStart;
    QDateEdit *m_historyEnd;
    QCheckBox *m_unlimited;
    QCheckBox *m_allServices;
    korvex::widgets::TxTreeModel *m_serviceModel;
    korvex::widgets::TxDBTreeView *m_serviceTree;
    QCheckBox *m_allObjects;
    korvex::widgets::TxTreeModel *m_objectModel;
    korvex::widgets::TxDBTreeView *m_objectTree;
    bool m_askingCustomer = false;
};

} // namespace korvex::billing
