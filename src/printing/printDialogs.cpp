#include "printDialogs.h"

namespace korvex::documents {

QString TReportObjectChoice::objectText() const
{
    QStringList keys;
    for (int k : objects)
        keys << QString::number(k);
    return keys.join(QLatin1Char(';'));
}

TPrintDialogs::~TPrintDialogs() = default;

bool TPrintDialogs::printFormDialog(TboRentPrintDocument &, TPrintFormRecord &, bool, int &)
{
    return false;
}

bool TPrintDialogs::reportDialog(TboRentReport &, TRentReportRecord &, bool, int &)
{
    return false;
}

bool TPrintDialogs::showReport(TPrintJob &)
{
    return false;
}

bool TPrintDialogs::chooseObjects(TReportObjectChoice &)
{
    return false;
}

bool TPrintDialogs::chooseCustomers(TReportCustomerChoice &, bool)
{
    return false;
}

bool TPrintDialogs::chooseServices(QList<int> &)
{
    return false;
}

bool TPrintDialogs::sqlParams(const QStringList &, const std::function<QString(const QStringList &)> &)
{
    return false;
}

} // namespace korvex::documents
