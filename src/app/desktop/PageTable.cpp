#include "PageTable.h"

#include "ptCommonOptions.h"
#include "ptOptions.h"
#include "ptReference.h"
#include "ptUserOptions.h"
#include "ptVisualSettings.h"
#include "billing/ui/ptContract.h"
#include "billing/ui/ptDebt.h"
#include "billing/ui/ptInvoice.h"
#include "billing/ui/ptViotation.h"
#include "billing/ui/ptPayBill.h"
#include "accounting/ui/bookkeepingWindows.h"
#include "customers/ui/ptCustomer.h"
#include "calc/ui/ptReckoning.h"
#include "calc/ui/ptSQL.h"
#include "pricing/ui/ptVariable.h"
#include "printing/ui/ptReport.h"
#include "reference/ui/ptCurrency.h"
#include "reference/ui/ptObject.h"
#include "reference/ui/ptService.h"
#include "reference/ui/ptServiceCost.h"
#include "widgets/ui/Part.h"

#include <QCoreApplication>
#include <QHash>
#include <QLabel>

namespace korvex::shell {

using korvex::widgets::TPart;

namespace {

// A page not built yet: the common frame with its caption only.
TPart *emptyPage(TAppContext &ctx, QWidget *parent, int code, const QString &caption)
{
    auto *page = new TPart(ctx, code, parent);
    page->setCaption(caption);
    page->setSection(caption, QString());
    auto *note = new QLabel(QCoreApplication::translate("TAPPMAINFORM", "Этот раздел появится в одной из следующих версий программы."),
                            page);
    note->setAlignment(Qt::AlignCenter);
    page->addTab(caption, note);
    return page;
}

// The pay-bill page with the payment import of the program's link with the
// bookkeeping system (none where the link is not made).
TPart *newPayBillPage(TAppContext &ctx, QWidget *parent)
{
    korvex::billing::TptPayBill::ImportFactory import;
    if (korvex::accounting::TBookkeepingWindows *link = korvex::accounting::TBookkeepingWindows::instance())
        import = [link](QWidget *over) -> std::unique_ptr<korvex::accounting::TPaymentImportLink> {
            return link->paymentImport(over);
        };
    return new korvex::billing::TptPayBill(ctx, parent, import);
}

QList<TPageInfo> buildTable()
{
    auto tr = [](const char *s) { return QCoreApplication::translate("TAPPMAINFORM", s); };
    QList<TPageInfo> pages = {
        {10, tr("Договора"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::billing::TptContract(ctx, parent, ctx.customerSync); }},
        {20, tr("Счета фактуры"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::billing::TptInvoice(ctx, parent); }},
        {30, tr("Платежи"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return newPayBillPage(ctx, parent); }},
        {50, tr("Отчеты"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::documents::TptReport(ctx, parent); }},
        {60, tr("Объекты"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::reference::TptObject(ctx, parent); }},
        {90, tr("Нарушения"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::billing::TptViotation(ctx, parent); }},
        {100, tr("Настройки"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new TptOptions(ctx, parent); }},
        {110, tr("Общие настройки"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new TptCommonOptions(ctx, parent); }},
        {111, tr("Настройки пользователя"),
         [](TAppContext &ctx, QWidget *parent) -> TPart * { return new TptUserOptions(ctx, parent); }},
        {120, tr("Переменные"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::calc::TptVariable(ctx, parent); }},
        {123, tr("SQL- запросы"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::calc::TptSQL(ctx, parent); }},
        {190, tr("Задолженности"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::billing::TptDebt(ctx, parent); }},
        {196, tr("Формулы для расчета"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::calc::TptReckoning(ctx, parent); }},
        {300, tr("Курсы валют"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::reference::TptCurrency(ctx, parent); }},
        {725, tr("Услуги"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::reference::TptService(ctx, parent); }},
        {832, tr("Прайс листы"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::reference::TptServiceCost(ctx, parent); }},
        {916, tr("Справочники"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new TptReference(ctx, parent); }},
        {918, tr("Справочник клиентов"),
         [](TAppContext &ctx, QWidget *parent) -> TPart * { return new korvex::customers::TptCustomer(ctx, parent); }},
        {999, tr("Настройки таблиц"), [](TAppContext &ctx, QWidget *parent) -> TPart * { return new TptVisualSettings(ctx, parent); }},
    };
    for (TPageInfo &p : pages) {
        p.built = bool(p.create);
        if (!p.create) {
            const int code = p.code;
            const QString caption = p.caption;
            p.create = [code, caption](TAppContext &ctx, QWidget *parent) { return emptyPage(ctx, parent, code, caption); };
        }
    }
    return pages;
}

const QList<TPageInfo> &table()
{
    static const QList<TPageInfo> pages = buildTable();
    return pages;
}

} // namespace

const TPageInfo *pageInfo(int code)
{
    for (const TPageInfo &p : table()) {
        if (p.code == code)
            return &p;
    }
    return nullptr;
}

bool pageBuilt(int code)
{
    const TPageInfo *info = pageInfo(code);
    return info && info->built;
}

QList<int> pageCodes()
{
    QList<int> codes;
    for (const TPageInfo &p : table())
        codes << p.code;
    return codes;
}

} // namespace korvex::shell
