#pragma once

#include "shell/AppContext.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::calc {
class TboRentReckoning;
}
namespace korvex::reference {
class TboRentServiceCost;
}

namespace korvex::billing {

// The price-list row that applies to a service on an object.
struct TPriceListEntry {
    double costNcu = 0;
    double costCurr = 0;
    int typeReckoningKey = 0;  // 0: none
    bool ncuReckoning = false;
};

// The two prices the reckoning engine computed for a position.
struct TReckonedPrice {
    double costNcu = 0;
    double costCurr = 0;
};

// The engine's answer for one position: the prices, or why there are none.
struct TReckonResult {
    std::optional<TReckonedPrice> price;
    QString failure;
};

// Prices of contract positions, the same for every billing document: the
// price list, and the reckoning engine on stored positions. A loop over
// positions prices inside one pricing run, so the engine reads what the
// positions share (steps, price list, rates, variables) once.
class TPositionPricing
{
public:
    explicit TPositionPricing(korvex::shell::TAppContext &context);
    ~TPositionPricing();
    TPositionPricing(const TPositionPricing &) = delete;
    TPositionPricing &operator=(const TPositionPricing &) = delete;

    // The price-list row of the service on the object (0: none); none
    // without a row.
    std::optional<TPriceListEntry> priceList(int serviceKey, int objectKey);
    // The same for many positions (service, object) in one pricing run.
    QList<std::optional<TPriceListEntry>> priceLists(const QList<QPair<int, int>> &serviceObjects);

    // Runs the engine on each stored position (LoadContractService, the
    // rate given - 0: the engine's own -, Reckon), all in one pricing run
    // inside the caller's transaction. One answer per key, in order.
    QList<TReckonResult> reckon(const QList<int> &contractServiceKeys, double rate);

    korvex::calc::TboRentReckoning &engine() { return *m_engine; }

private:
    std::unique_ptr<korvex::calc::TboRentReckoning> m_engine;
    std::unique_ptr<korvex::reference::TboRentServiceCost> m_prices;
};

} // namespace korvex::billing
