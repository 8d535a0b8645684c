#include "OptionSettings.h"

#include "mmOptions.h"

#include "db/xTransaction.h"

namespace korvex::shell {

namespace {

void writeOptional(TmmOptions &o, const QString &name, bool perUser, const std::optional<int> &v)
{
    if (v)
        o.SetIntegerOption(name, perUser, *v);
}

} // namespace

TCommonSettings TCommonSettings::read(const TmmOptions &o)
{
    TCommonSettings s;
    s.CurrKey = o.GetIntegerOption(QStringLiteral("rentcurrkey"));
    s.PaymentKey = o.GetIntegerOption(QStringLiteral("rentpaymentkey"));
    s.NCUReckoning = o.GetIntegerOption(QStringLiteral("rentNCUReckoning"));
    s.BreakPayBillService = o.GetIntegerOption(QStringLiteral("rentBreakPayBillService"));
    s.BreakPayBillObject = o.GetIntegerOption(QStringLiteral("rentBreakPayBillObject"));
    s.ContractNumber = o.integerOption(QStringLiteral("rentContractNumber"), 1);
    s.ContractPaymentDay = o.integerOption(QStringLiteral("rentContractPaymentDay"), 1);
    s.ContractExpireDate = o.dateOption(QStringLiteral("rentcontractEXPRIREDATE"), QDate::currentDate());
    s.CountContractDay = o.integerOption(QStringLiteral("rentCountContractDay"), 1);
    s.AutoReplaceReckoning = o.integerOption(QStringLiteral("rentautoreplacereckoning"), 0) == 1;
    s.InvoiceNumber = o.integerOption(QStringLiteral("invoicenumber"), 1);
    s.PayBillNumber = o.integerOption(QStringLiteral("PayBillnumber"), 1);
    s.InvoiceTypeKey = o.GetIntegerOption(QStringLiteral("rentinvoicetypekey"));
    s.ObjectLineColor = o.stringOption(QStringLiteral("rentobjectlinecolor"), s.ObjectLineColor);
    s.ObjectGraphColor = o.stringOption(QStringLiteral("rentobjectgraphcolor"), s.ObjectGraphColor);
    s.ObjectUseLineColor = o.stringOption(QStringLiteral("rentobjectuselinecolor"), s.ObjectUseLineColor);
    s.ObjectUseGraphColor = o.stringOption(QStringLiteral("rentobjectusegraphcolor"), s.ObjectUseGraphColor);
    s.ObjectFontName = o.GetStringOption(QStringLiteral("rentobjectfontname"));
    s.ObjectFontSize = o.GetIntegerOption(QStringLiteral("rentobjectfontsize"));
    s.ObjectFontStyle = o.GetStringOption(QStringLiteral("rentobjectfontstyle"));
    s.ObjectFontColor = o.GetStringOption(QStringLiteral("rentobjectfontcolor"));
    return s;
}

void TCommonSettings::write(TmmOptions &o) const
{
    // All of the page or none of it.
    korvex::db::runInTransaction(o.database(), [&] {
        writeOptional(o, QStringLiteral("rentcurrkey"), false, CurrKey);
        writeOptional(o, QStringLiteral("rentpaymentkey"), false, PaymentKey);
        writeOptional(o, QStringLiteral("rentNCUReckoning"), false, NCUReckoning);
        writeOptional(o, QStringLiteral("rentBreakPayBillService"), false, BreakPayBillService);
        writeOptional(o, QStringLiteral("rentBreakPayBillObject"), false, BreakPayBillObject);
        o.SetIntegerOption(QStringLiteral("rentContractNumber"), false, ContractNumber);
        o.SetIntegerOption(QStringLiteral("rentContractPaymentDay"), false, ContractPaymentDay);
        o.SetDateOption(QStringLiteral("rentcontractEXPRIREDATE"), false, ContractExpireDate);
        o.SetIntegerOption(QStringLiteral("rentCountContractDay"), false, CountContractDay);
        o.SetIntegerOption(QStringLiteral("rentautoreplacereckoning"), false, AutoReplaceReckoning ? 1 : 0);
        o.SetIntegerOption(QStringLiteral("invoicenumber"), false, InvoiceNumber);
        o.SetIntegerOption(QStringLiteral("PayBillnumber"), false, PayBillNumber);
        writeOptional(o, QStringLiteral("rentinvoicetypekey"), false, InvoiceTypeKey);
        o.SetStringOption(QStringLiteral("rentobjectlinecolor"), false, ObjectLineColor);
        o.SetStringOption(QStringLiteral("rentobjectgraphcolor"), false, ObjectGraphColor);
        o.SetStringOption(QStringLiteral("rentobjectuselinecolor"), false, ObjectUseLineColor);
        o.SetStringOption(QStringLiteral("rentobjectusegraphcolor"), false, ObjectUseGraphColor);
        if (ObjectFontName)
            o.SetStringOption(QStringLiteral("rentobjectfontname"), false, *ObjectFontName);
        writeOptional(o, QStringLiteral("rentobjectfontsize"), false, ObjectFontSize);
        if (ObjectFontStyle)
            o.SetStringOption(QStringLiteral("rentobjectfontstyle"), false, *ObjectFontStyle);
        if (ObjectFontColor)
            o.SetStringOption(QStringLiteral("rentobjectfontcolor"), false, *ObjectFontColor);
    });
}

TUserSettings TUserSettings::read(const TmmOptions &o)
{
    TUserSettings s;
    s.LocationKey = o.GetIntegerOption(QStringLiteral("rentlocationkey"));
    s.ObjectTypeKey = o.GetIntegerOption(QStringLiteral("rentObjectTypekey"));
    s.ContractPath = o.stringOption(QStringLiteral("contractpath"));
    return s;
}

void TUserSettings::write(TmmOptions &o) const
{
    korvex::db::runInTransaction(o.database(), [&] {
        writeOptional(o, QStringLiteral("rentlocationkey"), true, LocationKey);
        writeOptional(o, QStringLiteral("rentObjectTypekey"), true, ObjectTypeKey);
        o.SetStringOption(QStringLiteral("contractpath"), true, ContractPath);
    });
}

TPeriodSettings TPeriodSettings::read(const TmmOptions &o)
{
    TPeriodSettings s;
    s.Begin = o.dateOption(QStringLiteral("rent_periodbegindate"), QDate::currentDate());
    s.End = o.dateOption(QStringLiteral("rent_periodenddate"), QDate::currentDate());
    s.All = o.integerOption(QStringLiteral("rent_operationall"), 0) == 1;
    return s;
}

void TPeriodSettings::write(TmmOptions &o) const
{
    korvex::db::runInTransaction(o.database(), [&] {
        o.SetDateOption(QStringLiteral("rent_periodbegindate"), true, Begin);
        o.SetDateOption(QStringLiteral("rent_periodenddate"), true, End);
        o.SetIntegerOption(QStringLiteral("rent_operationall"), true, All ? 1 : 0);
    });
}

} // namespace korvex::shell
