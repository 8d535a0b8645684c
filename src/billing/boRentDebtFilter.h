#pragma once

#include "debtDialogs.h"
#include "shell/AppContext.h"
#include "widgets/xQueryModel.h"
#include "widgets/xSqlFilter.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::billing {

// What the debts page shows: the debts on a date, narrowed to a customer, a
// contract, a payment form, services and objects, and to debts or
// overpayments; the sort order of the list and the period of the history.
struct TDebtFilter {
    enum Sort { ByCustomer = 0, ByContract = 1, ByService = 2, ByObject = 3, Unsorted = 4 };
    enum Selection { DebtsAndOverpayments = 0, Debts = 1, Overpayments = 2 };

    QDate debtDate = QDate::currentDate();
    bool allCustomers = true;
    int customerKey = 0;
    bool allPayments = true;
    int paymentKey = 0;
    bool allObjects = true;
    QList<int> objectKeys;
    bool allServices = true;
    QList<int> serviceKeys;
    bool allContracts = true;
    int contractKey = 0;
    int sortOrder = ByCustomer;
    int selectionType = DebtsAndOverpayments;
    QDate historyStart = QDate::currentDate();
    QDate historyEnd = QDate::currentDate();
    bool historyUnlimited = true;

    bool operator==(const TDebtFilter &) const = default;
};

// The debt list of the debts page with its filter, remembered per user, the
// history of a row, and the debt chooser. The figures themselves are the
// server's; everything here reads them.
class TboRentDebtFilter : public QObject
{
    Q_OBJECT
public:
    enum class History { ContractService, Customer, Service };

    // Loads the filter; it is stored only when confirmed (EditFilter) or when
    // a sort order is chosen.
    explicit TboRentDebtFilter(korvex::shell::TAppContext &context, TDebtDialogs *dialogs = nullptr,
                               QObject *owner = nullptr);

    korvex::shell::TAppContext &context() const { return m_context; }
    const TDebtFilter &filter() const { return m_filter; }
    // Takes a filter over, with the sort order and selection kept in range.
    void setFilter(const TDebtFilter &filter);

    // The debt date is read from rent_Debt_Debtdate but stored under
    // rent_Debt_startDebtdate, so every new filter starts on today's debts.
    void LoadFilter();
    // Every field in one write.
    void SaveFilter() const;
    // "Фильтрация задолженностей"; on "Ок" the filter is taken and stored.
    bool EditFilter();
    // A sort entry of the page: taken and stored at once.
    void setSortOrder(int order);

    // --- The list of the debts page ----------------------------------------------
    // Every debt row on the filter's date that is not zero in both amounts,
    // with its contract, customer, service and object, and "nds" (the NCU debt
    // over 6, shown rounded: TDebtListModel); without ORDER BY.
    korvex::widgets::TxSqlFilter listStatement() const;
    // The ORDER BY of a sort order (empty: unsorted).
    static QString listOrder(int sortOrder);
    struct Totals {
        double ncu = 0;
        double curr = 0;
        int count = 0;
    };
    // "Сумма в рублях", "Сумма в валюте", "Количество позиций" of the list,
    // summed by the server.
    Totals totals() const;

    // The movements of a row's debt, one row per date, within the filter's
    // history period unless it is unlimited: of the contract service, of the
    // customer, or of the service of the customer (over the payment forms as
    // the filter says).
    korvex::widgets::TxSqlFilter historyStatement(History kind, int contractServiceKey, int customerKey,
                                                  int serviceKey) const;
    static QString historyOrder() { return QStringLiteral("historydate"); }

    // --- The filter dialog ---------------------------------------------------------
    // The contracts of a customer: id, number, name, by number.
    static korvex::widgets::TxSqlFilter customerContracts(int customerKey);
    // The service and object trees, with marks that tick the rows below.
    void setUpServiceTree(korvex::widgets::TxTreeModel &model) const;
    void setUpObjectTree(korvex::widgets::TxTreeModel &model) const;

    // --- The debt chooser ----------------------------------------------------------
    // "Выбор услуг по задолженностям" for a customer (0: false at once); keys
    // receives the contract-service keys of the ticked rows.
    bool ChooseDebts(int customerKey, bool customerChangeable, QList<int> &keys, int contractKey = 0);
    // The customer's debts on the date for services of at most the priority,
    // of one contract (none: all contracts; 0: the customer has none, no row).
    static korvex::widgets::TxSqlFilter chooserStatement(int customerKey, std::optional<int> contractKey,
                                                         const QDate &date, int priorityLimit);
    // The typed priority limit; 20 when the text is no whole number.
    static int priorityLimit(const QString &text);
    // A sum in fixed point with 4 decimals, as the chooser's "Итого:" shows it.
    static double fixedSum(const QList<double> &values);

    // "НДС" of an NCU debt: a sixth, rounded to a whole unit (a tie to the
    // even one).
    static double vatOf(double ncu);

private:
    korvex::shell::TAppContext &m_context;
    TDebtDialogs *m_dialogs;
    TDebtFilter m_filter;
};

// The list of the debts page: the statement's rows, with "nds" shown as
// vatOf(costncu).
class TDebtListModel : public korvex::widgets::TxQueryModel
{
    Q_OBJECT
public:
    using TxQueryModel::TxQueryModel;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

} // namespace korvex::billing
