#pragma once

#include "shell/AppContext.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::reference {

class TReferenceDialogs;

// One row of the price list (rent_servicecost) as the price row dialog edits
// it. ncuReckoning: 0 the formula gives the currency price, 1 the NCU price.
struct TServiceCostRecord {
    int id = 0;  // 0: a new row
    std::optional<int> parent;
    std::optional<int> serviceKey;
    std::optional<int> objectKey;  // none: any object
    std::optional<int> currKey;
    std::optional<double> costNcu;
    std::optional<double> costCurr;
    std::optional<int> typeReckoningKey;
    int ncuReckoning = 0;
};

// The price list: default prices, currency and reckoning type of a service,
// for one object, a group of objects or any object.
class TboRentServiceCost : public QObject
{
    Q_OBJECT
public:
    explicit TboRentServiceCost(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                                QObject *owner = nullptr);

    // --- The last FindServiceCost (all 0 when it found no row) ------------------
    double CostNCU = 0;
    double CostCurr = 0;
    int TypeReckoningKey = 0;
    bool NCUReckoning = false;

    // The price-list row that applies to the service on the object (0: no
    // object), as rent_p_getservicecost chooses it. Without a row the values
    // above are cleared and the answer is false.
    bool FindServiceCost(int serviceKey, int objectKey);
    // A new row under parent (0: at the top). newKey: the last row stored.
    bool NewServiceCost(int parent, int *newKey = nullptr);
    bool EditServiceCost(int key);
    // Asks first; a row still referenced is reported and kept.
    bool DeleteServiceCost(int key);

    // --- Rows, for the dialogs and pages ---------------------------------------
    // A new row; its switch starts from the option rentNCUReckoning.
    TServiceCostRecord newRecord(std::optional<int> parent) const;
    std::optional<TServiceCostRecord> readServiceCost(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeServiceCost(TServiceCostRecord &record);
    // Stores a price typed into the price list ("costncu" or "costcurr").
    void writePrice(qint64 key, const QString &field, const QVariant &value);

    // The rate a rate field gives: a positive number, none otherwise.
    static std::optional<double> rateFromText(const QString &text);
    // What the conversion buttons give: the currency price at the rate in
    // NCU, and the NCU price at the rate in currency.
    static double ncuFromCurr(double costCurr, double rate) { return costCurr * rate; }
    static double currFromNcu(double costNcu, double rate) { return costNcu / rate; }

    // The price list as a tree of rows shown by their service's name, with
    // the object, the currency sign and the two prices typed in place.
    void setUpTree(korvex::widgets::TxTreeModel &model);

    korvex::shell::TAppContext &context() const { return m_context; }
    TReferenceDialogs *dialogs() const { return m_dialogs; }

private:
    TReferenceDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TReferenceDialogs *m_dialogs;
};

} // namespace korvex::reference
