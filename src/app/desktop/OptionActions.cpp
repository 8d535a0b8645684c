#include "OptionActions.h"

#include "dlgRentPeriod.h"

#include "accounting/boRentOperation.h"
#include "accounting/xOperation.h"
#include "debt/boRentDebt.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xProgressDialog.h"

#include <QCoreApplication>

namespace korvex::shell {

using korvex::widgets::TxMessages;
using korvex::widgets::TxProgressDialog;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TptOptions", text);
}

// A progress window for one call that cannot be stopped.
struct BusyWindow {
    TxProgressDialog window;
    BusyWindow(QWidget *parent, const QString &text)
        : window(parent)
    {
        window.setWindowTitle(text);
        window.setStoppable(false);
        window.begin(text, 0);
    }
    ~BusyWindow() { window.end(); }
};

} // namespace

bool deleteOperationsForPeriod(TAppContext &context, QWidget *parent)
{
    TdlgRentPeriod dlg(context.options, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const TPeriodSettings p = dlg.period();
    int deleted = 0;
    {
        BusyWindow busy(parent, tr("Удаление операций за период"));
        korvex::accounting::TboRentOperation operations(context.db,
                                                        korvex::accounting::TOperationAuthor::from(context.login));
        deleted = operations.DeleteOperations(1800, p.Begin, p.End, p.All);
    }
    TxMessages::information(parent, tr("Удалено операций: %1").arg(deleted));
    return true;
}

bool rebuildDebts(TAppContext &context, QWidget *parent)
{
    if (!TxMessages::confirm(parent, tr("Пересчитать все задолженности по счетам и платежам заново?")))
        return false;
    {
        BusyWindow busy(parent, tr("Перерасчет задолженностей"));
        korvex::billing::TboRentDebt::RebuildDebts(context.db);
    }
    TxMessages::information(parent, tr("Задолженности пересчитаны."));
    return true;
}

} // namespace korvex::shell
