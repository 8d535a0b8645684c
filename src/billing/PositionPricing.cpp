#include "PositionPricing.h"

#include "pricing/boRentReckoning.h"
#include "reference/boRentServiceCost.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"

namespace korvex::billing {

using korvex::calc::TboRentReckoning;
using korvex::calc::TReckoningRun;

TPositionPricing::TPositionPricing(korvex::shell::TAppContext &context)
    : m_engine(std::make_unique<TboRentReckoning>(context))
    , m_prices(std::make_unique<korvex::reference::TboRentServiceCost>(context))
{
}

TPositionPricing::~TPositionPricing() = default;

std::optional<TPriceListEntry> TPositionPricing::priceList(int serviceKey, int objectKey)
{
    return priceLists({{serviceKey, objectKey}}).value(0);
}

QList<std::optional<TPriceListEntry>> TPositionPricing::priceLists(const QList<QPair<int, int>> &serviceObjects)
{
    QList<std::optional<TPriceListEntry>> entries;
    entries.reserve(serviceObjects.size());
    // The run's transaction keeps the price-list statement prepared.
    TReckoningRun run(*m_engine);
    for (const auto &[service, object] : serviceObjects) {
        if (m_prices->FindServiceCost(service, object))
            entries.append(TPriceListEntry{m_prices->CostNCU, m_prices->CostCurr, m_prices->TypeReckoningKey,
                                           m_prices->NCUReckoning});
        else
            entries.append(std::nullopt);
    }
    return entries;
}

QList<TReckonResult> TPositionPricing::reckon(const QList<int> &contractServiceKeys, double rate)
{
    QList<TReckonResult> results;
    results.reserve(contractServiceKeys.size());
    TReckoningRun run(*m_engine);
    for (int key : contractServiceKeys) {
        TReckonResult r;
        if (m_engine->LoadContractService(key)) {
            m_engine->ReckoningRate = rate;
            if (m_engine->Reckon())
                r.price = TReckonedPrice{m_engine->CostNCU, m_engine->CostCurr};
        }
        if (!r.price)
            r.failure = m_engine->failureReason();
        results.append(r);
    }
    return results;
}

} // namespace korvex::billing
