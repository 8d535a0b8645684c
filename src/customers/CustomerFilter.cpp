#include "CustomerFilter.h"

#include "db/xTransaction.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"


namespace korvex::customers {

using korvex::shell::TmmOptions;
using korvex::widgets::TxSqlFilter;

namespace {
const QString TypeOption = QStringLiteral("rent_customerfiltertype");
const QString AllAttrOption = QStringLiteral("rent_customerfilterallattr");
const QString KindOption = QStringLiteral("rent_customerfilterkind");
const QString AttrOption = QStringLiteral("rent_customerfilterattr");
} // namespace

QList<int> TCustomerFilter::parseKeys(const QString &text)
{
    return korvex::shell::TxOptionFilter::parseKeys(text);
}

QString TCustomerFilter::keysText(const QList<int> &keys)
{
    return korvex::shell::TxOptionFilter::keysText(keys, QStringLiteral(","));
}

void TCustomerFilter::read(const TmmOptions &options)
{
    allKinds = options.integerOption(TypeOption, 1) != 0;
    allAttributes = options.integerOption(AllAttrOption, 1) != 0;
    kindIndex = qBound(0, options.integerOption(KindOption, 0), 3);
    attributes = parseKeys(options.stringOption(AttrOption));
}

void TCustomerFilter::write(TmmOptions &options) const
{
    korvex::db::TxWriteScope tr(options.database());
    options.SetIntegerOption(TypeOption, true, allKinds ? 1 : 0);
    options.SetIntegerOption(AllAttrOption, true, allAttributes ? 1 : 0);
    options.SetIntegerOption(KindOption, true, kindIndex);
    options.SetStringOption(AttrOption, true, keysText(attributes));
    tr.commit();
}

TxSqlFilter TCustomerFilter::tenantStatement() const
{
    TxSqlFilter q(allAttributes
                      ? QStringLiteral("SELECT DISTINCT cust.id, cust.name FROM cst_customer cust, rent_contract con "
                                       "WHERE con.customerkey = cust.id")
                      : QStringLiteral("SELECT DISTINCT cust.id, cust.name FROM cst_customer cust, rent_contract con, "
                                       "cst_custattr a WHERE con.customerkey = cust.id AND a.customerkey = cust.id"));
    if (!allAttributes && !attributes.isEmpty()) {
        QVariantList keys;
        for (int k : attributes)
            keys << k;
        q.addIn(QStringLiteral("AND"), QStringLiteral("a.attrkey"), keys);
    }
    q.addIf(!allKinds, QStringLiteral("AND cust.kind = ?"), kindIndex + 1);
    return q;
}

TxSqlFilter customersWithService(int serviceKey)
{
    return TxSqlFilter(QStringLiteral("SELECT DISTINCT cust.id, cust.name FROM cst_customer cust, rent_contract con, "
                                      "rent_contractservice cs WHERE con.customerkey = cust.id AND cs.contractkey = con.id "
                                      "AND cs.servicekey = ? AND COALESCE(con.disabled, 0) <> 1"),
                       {serviceKey});
}

void TChooseCustomerOptions::read(const TmmOptions &options, const QDate &today)
{
    startDate = options.dateOption(QStringLiteral("rent_ReportDebtStartdate"), today);
    endDate = options.dateOption(QStringLiteral("rent_ReportDebtEnddate"), today);
    unlimited = options.integerOption(QStringLiteral("rent_ReportDebtdate"), 0) != 0;
    allCustomers = options.integerOption(QStringLiteral("rent_DebtReportAllCustomer"), 0) != 0;
    allPayments = options.integerOption(QStringLiteral("rent_contract_Payment"), 1) != 0;
    paymentKey = options.integerOption(QStringLiteral("rent_contract_PaymentKey"), 0);
}

void TChooseCustomerOptions::write(TmmOptions &options) const
{
    korvex::db::TxWriteScope tr(options.database());
    if (startDate.isValid())
        options.SetDateOption(QStringLiteral("rent_ReportDebtStartdate"), true, startDate);
    if (endDate.isValid())
        options.SetDateOption(QStringLiteral("rent_ReportDebtEnddate"), true, endDate);
    options.SetIntegerOption(QStringLiteral("rent_ReportDebtdate"), true, unlimited ? 1 : 0);
    options.SetIntegerOption(QStringLiteral("rent_DebtReportAllCustomer"), true, allCustomers ? 1 : 0);
    options.SetIntegerOption(QStringLiteral("rent_contract_Payment"), true, allPayments ? 1 : 0);
    options.SetIntegerOption(QStringLiteral("rent_contract_PaymentKey"), true, paymentKey);
    tr.commit();
}

} // namespace korvex::customers
