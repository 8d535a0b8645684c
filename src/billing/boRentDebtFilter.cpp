#include "boRentDebtFilter.h"

#include "amount/xAmount.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "reference/boRentService.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"
#include "widgets/xDialogPort.h"
#include "widgets/xTreeModel.h"

#include <cmath>

namespace korvex::billing {

using korvex::db::TxQuery;
using korvex::shell::TxOptionFilter;
using korvex::widgets::TxSqlFilter;
using korvex::widgets::TxTreeModel;

namespace {

const char *const DebtDateRead = "rent_Debt_Debtdate";
const char *const DebtDateWrite = "rent_Debt_startDebtdate";

// The remembered fields under "rent_" + name (the debt date aside).
void bindFilter(TxOptionFilter &o, TDebtFilter &f)
{
    const QDate today = QDate::currentDate();
    o.bindBool(QStringLiteral("Debt_Customer"), &f.allCustomers, true);
    o.bindInt(QStringLiteral("Debt_CustomerKey"), &f.customerKey, 0);
    o.bindBool(QStringLiteral("Debt_Payment"), &f.allPayments, true);
    o.bindInt(QStringLiteral("Debt_PaymentKey"), &f.paymentKey, 0);
    o.bindBool(QStringLiteral("Debt_object"), &f.allObjects, true);
    o.bindKeys(QStringLiteral("Debt_objectList"), &f.objectKeys);
    o.bindBool(QStringLiteral("Debt_service"), &f.allServices, true);
    o.bindKeys(QStringLiteral("Debt_servicelist"), &f.serviceKeys);
    o.bindBool(QStringLiteral("Debt_contract"), &f.allContracts, true);
    o.bindInt(QStringLiteral("Debt_contractKey"), &f.contractKey, 0);
    o.bindInt(QStringLiteral("Debt_sortDebt"), &f.sortOrder, TDebtFilter::ByCustomer);
    o.bindInt(QStringLiteral("Debt_TypeDebt"), &f.selectionType, TDebtFilter::DebtsAndOverpayments);
    o.bindDate(QStringLiteral("History_startHistorydate"), &f.historyStart, today);
    o.bindDate(QStringLiteral("History_endHistorydate"), &f.historyEnd, today);
    o.bindBool(QStringLiteral("History_Historydate"), &f.historyUnlimited, true);
}

QVariantList keyValues(const QList<int> &keys)
{
    QVariantList values;
    for (int k : keys)
        values << k;
    return values;
}

} // namespace

TboRentDebtFilter::TboRentDebtFilter(korvex::shell::TAppContext &context, TDebtDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
    LoadFilter();
}

void TboRentDebtFilter::setFilter(const TDebtFilter &filter)
{
    m_filter = filter;
    if (m_filter.sortOrder < TDebtFilter::ByCustomer || m_filter.sortOrder > TDebtFilter::Unsorted)
        m_filter.sortOrder = TDebtFilter::ByCustomer;
    if (m_filter.selectionType < TDebtFilter::DebtsAndOverpayments || m_filter.selectionType > TDebtFilter::Overpayments)
        m_filter.selectionType = TDebtFilter::DebtsAndOverpayments;
    if (!m_filter.debtDate.isValid())
        m_filter.debtDate = QDate::currentDate();
}

void TboRentDebtFilter::LoadFilter()
{
    TDebtFilter f;
    TxOptionFilter options(m_context.options, QStringLiteral("rent_"));
    bindFilter(options, f);
    options.load();
    f.debtDate = m_context.options.dateOption(QString::fromLatin1(DebtDateRead), QDate::currentDate());
    setFilter(f);
}

void TboRentDebtFilter::SaveFilter() const
{
    TDebtFilter f = m_filter;
    TxOptionFilter options(m_context.options, QStringLiteral("rent_"));
    bindFilter(options, f);
    korvex::db::TxWriteScope scope(m_context.db);
    options.save();
    m_context.options.SetDateOption(QString::fromLatin1(DebtDateWrite), true, f.debtDate);
    scope.commit();
}

bool TboRentDebtFilter::EditFilter()
{
    TDebtFilter edited = m_filter;
    if (!korvex::widgets::requirePort(m_dialogs, "EditFilter").debtFilterDialog(*this, edited))
        return false;
    setFilter(edited);
    SaveFilter();
    return true;
}

void TboRentDebtFilter::setSortOrder(int order)
{
    TDebtFilter f = m_filter;
    f.sortOrder = order;
    setFilter(f);
    SaveFilter();
}

TxSqlFilter TboRentDebtFilter::listStatement() const
{
    const TDebtFilter &f = m_filter;
    TxSqlFilter q(QStringLiteral(
                      "SELECT rent_p_getdebt.*, cs.servicekey, cs.objectkey, cs.contractkey, rent_contract.number, "
                      "rent_contract.customerkey, cust.name AS customercal, ser.name AS servicecal, obj.name AS objectcal, "
                      "rent_p_getdebt.costncu / 6 AS nds "
                      "FROM rent_p_getdebt(?), rent_contract, cst_customer cust, rent_contractservice cs "
                      "INNER JOIN rent_service ser ON (cs.servicekey = ser.id) "
                      "LEFT JOIN rent_object obj ON (cs.objectkey = obj.id) "
                      "WHERE (rent_p_getdebt.contractservicekey = cs.id) AND (cust.id = rent_contract.customerkey) "
                      "AND (rent_contract.id = cs.contractkey) "
                      "AND NOT (rent_p_getdebt.costcurr = 0 AND rent_p_getdebt.costncu = 0)"),
                  {f.debtDate});
    q.addIf(!f.allCustomers, QStringLiteral("AND rent_contract.customerkey = ?"), f.customerKey);
    q.addIf(!f.allContracts, QStringLiteral("AND rent_contract.id = ?"), f.contractKey);
    q.addIf(!f.allPayments, QStringLiteral("AND rent_contract.paymentkey = ?"), f.paymentKey);
    // An empty list narrows nothing, as "all" does.
    if (!f.allObjects && !f.objectKeys.isEmpty())
        q.addIn(QStringLiteral("AND"), QStringLiteral("obj.id"), keyValues(f.objectKeys));
    if (!f.allServices && !f.serviceKeys.isEmpty())
        q.addIn(QStringLiteral("AND"), QStringLiteral("ser.id"), keyValues(f.serviceKeys));
    q.addIf(f.selectionType == TDebtFilter::Debts, QStringLiteral("AND rent_p_getdebt.costncu > 0"));
    q.addIf(f.selectionType == TDebtFilter::Overpayments, QStringLiteral("AND rent_p_getdebt.costncu < 0"));
    return q;
}

QString TboRentDebtFilter::listOrder(int sortOrder)
{
    switch (sortOrder) {
    case TDebtFilter::ByCustomer: return QStringLiteral("cust.name");
    case TDebtFilter::ByContract: return QStringLiteral("rent_contract.number");
    case TDebtFilter::ByService: return QStringLiteral("ser.name");
    case TDebtFilter::ByObject: return QStringLiteral("obj.name");
    default: return {};
    }
}

TboRentDebtFilter::Totals TboRentDebtFilter::totals() const
{
    const TxSqlFilter list = listStatement();
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT SUM(t.costncu), SUM(t.costcurr), COUNT(*) FROM (") + list.text()
               + QStringLiteral(") t"),
           list.values());
    Totals t;
    if (q.next()) {
        t.ncu = q.value(0).toDouble();  // NULL over no rows reads as 0
        t.curr = q.value(1).toDouble();
        t.count = q.value(2).toInt();
    }
    return t;
}

TxSqlFilter TboRentDebtFilter::historyStatement(History kind, int contractServiceKey, int customerKey,
                                                int serviceKey) const
{
    const QString columns = QStringLiteral(
        "SELECT gh.*, (gh.enddebtcostncu - gh.startdebtcostncu - gh.ccostncu + gh.dcostncu) AS adddebtcostncu FROM ");
    TxSqlFilter q;
    switch (kind) {
    case History::ContractService:
        q = TxSqlFilter(columns + QStringLiteral("rent_p_gethistoryCS(?) gh"), {contractServiceKey});
        break;
    case History::Customer:
        q = TxSqlFilter(columns + QStringLiteral("rent_p_gethistoryCustomer(?) gh"), {customerKey});
        break;
    case History::Service:
        q = TxSqlFilter(columns + QStringLiteral("rent_p_gethistoryservice(?, ?, ?, ?) gh"),
                        {serviceKey, customerKey, m_filter.allPayments ? 1 : 0, m_filter.paymentKey});
        break;
    }
    q.addIf(!m_filter.historyUnlimited, QStringLiteral("WHERE gh.historydate >= ? AND gh.historydate <= ?"),
            m_filter.historyStart, m_filter.historyEnd);
    return q;
}

TxSqlFilter TboRentDebtFilter::customerContracts(int customerKey)
{
    return TxSqlFilter(QStringLiteral("SELECT con.id, con.number, con.name FROM rent_contract con "
                                      "WHERE (con.customerkey = ?) ORDER BY number, id"),
                       {customerKey});
}

void TboRentDebtFilter::setUpServiceTree(TxTreeModel &model) const
{
    korvex::reference::TboRentService services(m_context);
    services.setUpTree(model, false);
    model.setMarkable(true);
    model.setMarkCascades(true);
}

void TboRentDebtFilter::setUpObjectTree(TxTreeModel &model) const
{
    // Every object, with or without location and type.
    model.setTable(QStringLiteral("rent_object"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QStringLiteral("SELECT o.id, o.parent, o.name, l.name AS locationname FROM rent_object o "
                                  "LEFT JOIN rent_location l ON l.id = o.locationkey ORDER BY o.name, o.id"));
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    model.setFieldTitle(QStringLiteral("locationname"), tr("Место расположения"));
    model.setMarkable(true);
    model.setMarkCascades(true);
}

bool TboRentDebtFilter::ChooseDebts(int customerKey, bool customerChangeable, QList<int> &keys, int contractKey)
{
    if (customerKey == 0)
        return false;
    TDebtChoice choice;
    choice.customerKey = customerKey;
    choice.customerChangeable = customerChangeable;
    choice.contractKey = contractKey;
    if (!korvex::widgets::requirePort(m_dialogs, "ChooseDebts").chooseDebts(*this, choice))
        return false;
    keys = choice.keys;
    return true;
}

TxSqlFilter TboRentDebtFilter::chooserStatement(int customerKey, std::optional<int> contractKey, const QDate &date,
                                                int priorityLimit)
{
    TxSqlFilter q(QStringLiteral(
                      "SELECT rent_p_getdebt.*, ser.name AS servicecal, obj.name AS objectcal, rent_contract.number, "
                      "cust.name AS customercal, ser.priority "
                      "FROM rent_contract, cst_customer cust, rent_contractservice cs "
                      "LEFT JOIN rent_service ser ON (cs.servicekey = ser.id) "
                      "LEFT JOIN rent_object obj ON (cs.objectkey = obj.id), rent_p_getdebt(?) "
                      "WHERE (rent_p_getdebt.contractservicekey = cs.id) AND (rent_contract.id = cs.contractkey) "
                      "AND (cust.id = rent_contract.customerkey) AND rent_contract.customerkey = ? "
                      "AND COALESCE(ser.priority, 0) <= ?"),
                  {date, customerKey, priorityLimit});
    q.addIf(contractKey.has_value(), QStringLiteral("AND rent_contract.id = ?"), contractKey.value_or(0));
    return q;
}

int TboRentDebtFilter::priorityLimit(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 20;
}

double TboRentDebtFilter::fixedSum(const QList<double> &values)
{
    qint64 units = 0;
    for (double v : values)
        units += std::llround(v * 10000.0);
    return double(units) / 10000.0;
}

double TboRentDebtFilter::vatOf(double ncu)
{
    return korvex::amount::roundHalfEven(ncu / 6.0);
}

// --- TDebtListModel ------------------------------------------------------------------

QVariant TDebtListModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && (role == Qt::DisplayRole || role == Qt::EditRole)
        && index.column() == fieldIndex(QStringLiteral("nds"))) {
        const QVariant ncu = value(index.row(), QStringLiteral("costncu"));
        if (ncu.isNull())
            return QVariant();
        return TboRentDebtFilter::vatOf(ncu.toDouble());
    }
    return TxQueryModel::data(index, role);
}

} // namespace korvex::billing
