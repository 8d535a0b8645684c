#include "boRentServiceCost.h"

#include "referenceDialogs.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xRowWriter.h"
#include "widgets/xDialogPort.h"
#include "widgets/xConfirmDelete.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "widgets/xTreeModel.h"

#include <cmath>
#include <stdexcept>

namespace korvex::reference {

using namespace korvex::db;
using korvex::widgets::editThroughDialog;
using korvex::widgets::newThroughDialog;
using korvex::widgets::confirmAndDelete;
using korvex::widgets::recordDeleteTexts;
using korvex::widgets::TxTreeModel;

namespace {

const char *const SqlCostColumns =
    "id, parent, servicekey, objectkey, currkey, costncu, costcurr, typereckoningkey, ncureckoning";

// The price list by service name and object name; rows without a service
// cannot be shown by name and are left out, as the inner join does.
const char *const SqlCostTree =
    "SELECT sc.id, sc.parent, s.name, o.name AS objectname, c.sign AS currsign, sc.costncu, sc.costcurr"
    " FROM rent_servicecost sc"
    " JOIN rent_service s ON s.id = sc.servicekey"
    " LEFT JOIN rent_object o ON o.id = sc.objectkey"
    " LEFT JOIN fin_curr c ON c.id = sc.currkey"
    " ORDER BY s.name, o.name, sc.id";

} // namespace

TboRentServiceCost::TboRentServiceCost(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs,
                                       QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TReferenceDialogs &TboRentServiceCost::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentServiceCost");
}

bool TboRentServiceCost::FindServiceCost(int serviceKey, int objectKey)
{
    TxQuery own(m_context.db);
    TxQuery &q = TxStatementCache::exec(
        m_context.db, own,
        QStringLiteral("SELECT costncu, costcurr, typereckoningkey, ncureckoning FROM rent_p_getservicecost(?, ?)"),
        {serviceKey, objectKey});
    if (!q.next()) {
        // A caller that reads the values anyway must not get another lookup's price.
        CostNCU = 0;
        CostCurr = 0;
        TypeReckoningKey = 0;
        NCUReckoning = false;
        return false;
    }
    CostNCU = q.value(0).toDouble();
    CostCurr = q.value(1).toDouble();
    TypeReckoningKey = q.value(2).toInt();
    NCUReckoning = q.value(3).toInt() == 1;
    return true;
}

bool TboRentServiceCost::NewServiceCost(int parent, int *newKey)
{
    requireDialogs();
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().serviceCostDialog(*this, r, isNew, saved);
    };
    return newThroughDialog(newRecord(parent > 0 ? std::optional<int>(parent) : std::nullopt), dialog, newKey);
}

bool TboRentServiceCost::EditServiceCost(int key)
{
    requireDialogs();
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().serviceCostDialog(*this, r, isNew, saved);
    };
    return editThroughDialog(readServiceCost(key), dialog);
}

bool TboRentServiceCost::DeleteServiceCost(int key)
{
    return confirmAndDelete(m_context.db, requireDialogs().prompt(), recordDeleteTexts(),
                            QStringLiteral("DELETE FROM rent_servicecost WHERE id = ?"), {key});
}

TServiceCostRecord TboRentServiceCost::newRecord(std::optional<int> parent) const
{
    TServiceCostRecord r;
    if (parent && *parent > 0)
        r.parent = parent;
    r.ncuReckoning = m_context.options.GetIntegerOption(QStringLiteral("rentNCUReckoning")).value_or(0) == 1 ? 1 : 0;
    return r;
}

std::optional<TServiceCostRecord> TboRentServiceCost::readServiceCost(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_servicecost WHERE id = ?").arg(QLatin1String(SqlCostColumns)), {key});
    if (!q.next())
        return std::nullopt;
    TServiceCostRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.parent = optionalInt(q.value(QStringLiteral("parent")));
    r.serviceKey = optionalInt(q.value(QStringLiteral("servicekey")));
    r.objectKey = optionalInt(q.value(QStringLiteral("objectkey")));
    r.currKey = optionalInt(q.value(QStringLiteral("currkey")));
    r.costNcu = optionalDouble(q.value(QStringLiteral("costncu")));
    r.costCurr = optionalDouble(q.value(QStringLiteral("costcurr")));
    r.typeReckoningKey = optionalInt(q.value(QStringLiteral("typereckoningkey")));
    r.ncuReckoning = q.value(QStringLiteral("ncureckoning")).toInt() == 1 ? 1 : 0;
    return r;
}

void TboRentServiceCost::writeServiceCost(TServiceCostRecord &r)
{
    r.id = writeRow(m_context.db, QStringLiteral("rent_servicecost"), QStringLiteral("gen_rent_servicecost"), r.id,
                    {QStringLiteral("parent"), QStringLiteral("servicekey"), QStringLiteral("objectkey"),
                     QStringLiteral("currkey"), QStringLiteral("costncu"), QStringLiteral("costcurr"),
                     QStringLiteral("typereckoningkey"), QStringLiteral("ncureckoning")},
                    {nullableInt(r.parent), nullableInt(r.serviceKey), nullableInt(r.objectKey), nullableInt(r.currKey),
                     nullableDouble(r.costNcu), nullableDouble(r.costCurr), nullableInt(r.typeReckoningKey),
                     r.ncuReckoning == 1 ? 1 : 0},
                    tr("Запись удалена другим пользователем"));
}

void TboRentServiceCost::writePrice(qint64 key, const QString &field, const QVariant &value)
{
    const QString column = field.toLower();
    if (column != QLatin1String("costncu") && column != QLatin1String("costcurr"))
        throw std::invalid_argument("TboRentServiceCost::writePrice: not a price");
    bool ok = false;
    const double price = value.toDouble(&ok);
    if (!ok || !std::isfinite(price))
        throw std::invalid_argument("TboRentServiceCost::writePrice: not a number");
    TxWriteScope t(m_context.db);
    if (TxQuery::execute(m_context.db, QStringLiteral("UPDATE rent_servicecost SET %1 = ? WHERE id = ?").arg(column),
                         {price, key})
        == 0)
        throw EDatabaseError(tr("Запись удалена другим пользователем"));
    t.commit();
}

std::optional<double> TboRentServiceCost::rateFromText(const QString &text)
{
    const std::optional<double> rate = korvex::amount::parseNumber(text);
    if (!rate || *rate <= 0)
        return std::nullopt;
    return rate;
}

void TboRentServiceCost::setUpTree(TxTreeModel &model)
{
    model.setTable(QStringLiteral("rent_servicecost"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QString::fromLatin1(SqlCostTree));
    model.setFieldTitle(QStringLiteral("name"), tr("Услуга"));
    model.setFieldTitle(QStringLiteral("objectname"), tr("Объект"));
    model.setFieldTitle(QStringLiteral("currsign"), tr("Валюта"));
    model.setFieldTitle(QStringLiteral("costncu"), tr("Цена в рублях"));
    model.setFieldTitle(QStringLiteral("costcurr"), tr("Цена в валюте"));
    const TxTreeModel::CellWriter writer = [this](qint64 id, const QString &field, const QVariant &value) {
        writePrice(id, field, value);
    };
    model.setNumberField(QStringLiteral("costncu"), writer);
    model.setNumberField(QStringLiteral("costcurr"), writer);
    model.setReloadAfterEdit(true);
}

} // namespace korvex::reference
