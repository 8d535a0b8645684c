#pragma once

#include "viotationDialogs.h"
#include "shell/AppContext.h"
#include "widgets/xSqlFilter.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::shell {
class TxOptionFilter;
}

namespace korvex::billing {

// One row of rent_viotation as the violation dialog edits it.
struct TViotationRecord {
    int id = 0;  // 0: a new violation
    QString number;
    QDate viotationDate;
    std::optional<int> customerKey;
    std::optional<int> contractKey;
    std::optional<int> currKey;
    double costNcu = 0;
    double costCurr = 0;
    QString info;
};

// The filter of the violations page, remembered per user under
// "rent_Viotation_".
struct TViotationFilter {
    enum Sort { ByNumber = 0, ByDate = 1, ByCustomer = 2, Unsorted = 3 };

    bool allCustomers = true;
    int customerKey = 0;
    bool allContracts = true;
    int contractKey = 0;
    int sortOrder = ByNumber;
    QDate startDate = QDate::currentDate();
    QDate endDate = QDate::currentDate();
    bool dateUnlimited = true;

    bool operator==(const TViotationFilter &) const = default;
};

// The register of violations: each a customer's (under a contract or not),
// dated, with an amount in NCU and in a currency. The object keeps the
// filter of its page, opens the violation dialogs through its port and
// writes the rows.
class TboRentViotation : public QObject
{
    Q_OBJECT
public:
    // Loads the filter; it is stored when confirmed, when a sort order is
    // chosen, and when the object goes.
    explicit TboRentViotation(korvex::shell::TAppContext &context, TViotationDialogs *dialogs = nullptr,
                              QObject *owner = nullptr);
    ~TboRentViotation() override;

    korvex::shell::TAppContext &context() const { return m_context; }

    // --- Filter ----------------------------------------------------------------------
    const TViotationFilter &filter() const { return m_filter; }
    // Takes a filter over, the sort order kept in range.
    void setFilter(const TViotationFilter &filter);
    void LoadFilter();
    void SaveFilter();
    // "Фильтрация нарушений"; on "Ок" the filter is taken and stored.
    bool EditFilter();
    void setSortOrder(int order);

    // The violations the filter lists, with the customer's name ("name") and
    // the contract's number ("contractnumber"); a violation without a
    // contract is listed too. Keyed by listKey(), ordered by listOrder().
    static korvex::widgets::TxSqlFilter listStatement(const TViotationFilter &filter);
    korvex::widgets::TxSqlFilter listStatement() const { return listStatement(m_filter); }
    static QString listOrder(int sortOrder);
    static QString listKey() { return QStringLiteral("id"); }

    // --- Operations ------------------------------------------------------------------
    bool NewViotation(int *newKey = nullptr);
    bool EditViotation(int key);
    // "Удалить нарушение?"
    bool DeleteViotation(int key);

    // --- The violation dialog's rows --------------------------------------------------
    // A new violation dated today.
    TViotationRecord newViotation() const;
    std::optional<TViotationRecord> readViotation(int key) const;
    // Stores the record in one write scope and returns its key; a violation
    // needs a number, a date and a customer (EBusinessError otherwise).
    int writeViotation(const TViotationRecord &record);

    // Today's rate of the currency to the NCU (0: none known, or no currency).
    double rateToday(std::optional<int> currKey) const;
    // A rate typed in "Курс" is recorded as today's rate of the currency.
    void setRateToday(int currKey, double rate);
    // The amount buttons: NCU from the currency amount and back at the rate;
    // 0 when the rate is 0.
    static double ncuFromCurrency(double curr, double rate);
    static double currencyFromNcu(double ncu, double rate);

private:
    TViotationDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TViotationDialogs *m_dialogs;
    TViotationFilter m_filter;
    std::unique_ptr<korvex::shell::TxOptionFilter> m_options;
    bool m_filterChanged = false;
};

} // namespace korvex::billing
