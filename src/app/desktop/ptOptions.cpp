#include "ptOptions.h"

#include "OptionActions.h"
#include "PageTable.h"

#include "accounting/ui/bookkeepingWindows.h"

#include <QListWidget>
#include <functional>

namespace korvex::shell {

using korvex::accounting::TBookkeepingWindows;

namespace {

// An action of the program's link with the bookkeeping system; none without
// the link (a page shown outside the main window).
std::function<void()> bookkeeping(QWidget *page, void (TBookkeepingWindows::*action)(QWidget *))
{
    if (!TBookkeepingWindows::instance())
        return {};
    return [page, action] {
        if (TBookkeepingWindows *link = TBookkeepingWindows::instance())
            (link->*action)(page);
    };
}

} // namespace

TptOptions::TptOptions(TAppContext &context, QWidget *parent)
    : TLauncherPart(context, 100, parent)
{
    setTitles(QStringLiteral("ptOptions"), tr("Настройки"), tr("Настройки"));
    setSection(tr("Настройки"), tr("Настройки системы"));
    items()->setObjectName(QStringLiteral("OptionItems"));
    addPageItem(tr("Общие настройки"), QStyle::SP_ComputerIcon, 110, pageBuilt(110));
    addPageItem(tr("Настройки пользователя"), QStyle::SP_DirHomeIcon, 111, pageBuilt(111));
    addPageItem(tr("Переменные"), QStyle::SP_FileDialogListView, 120, pageBuilt(120));
    addPageItem(tr("Формулы"), QStyle::SP_FileDialogContentsView, 196, pageBuilt(196));
    addPageItem(tr("Визуальные настройки таблиц"), QStyle::SP_FileDialogDetailedView, 999, pageBuilt(999));
    addItem(tr("Синхронизация клиентов из Бугалтерии"), QStyle::SP_ArrowDown,
            bookkeeping(this, &TBookkeepingWindows::takeOverCustomers));
    addItem(tr("Перенос клиентов в бухгалтерию"), QStyle::SP_ArrowUp, bookkeeping(this, &TBookkeepingWindows::transferCustomers));
    addPageItem(tr("SQL - запросы"), QStyle::SP_FileDialogInfoView, 123, pageBuilt(123));
    addItem(tr("Экспорт данных в бухгалтерию"), QStyle::SP_DialogSaveButton,
            bookkeeping(this, &TBookkeepingWindows::exportOperations));
    addItem(tr("Перерасчет задолженностей"), QStyle::SP_BrowserReload, [this] { rebuildDebts(this->context(), this); });
    addItem(tr("Удаление операций за период"), QStyle::SP_TrashIcon, [this] { deleteOperationsForPeriod(this->context(), this); });
    finishItems(tr("Настройки"));
}

} // namespace korvex::shell
