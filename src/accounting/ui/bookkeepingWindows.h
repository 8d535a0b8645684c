#pragma once

#include "accounting/xBookkeepIni.h"
#include "accounting/xBookkeepingLink.h"
#include "accounting/xImportKorvex.h"
#include "accounting/xSyncCustomer.h"
#include "frmImportOperation.h"
#include "shell/AppContext.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

class QWidget;

namespace korvex::accounting {

// The payment import with the entry chooser window, for the pay-bill page:
// the chooser opens over the page and the import shows its progress.
class TPaymentImportWindow : public TPaymentImportLink
{
public:
    TPaymentImportWindow(korvex::shell::TAppContext &context, const TxBookkeepIni &ini, QWidget *parent);
    std::optional<QList<int>> ImportPaymentOperations(int opType, korvex::widgets::TxProgress *progress) override;
    TxImportKorvex &import() { return m_import; }

private:
    TImportChooserWindow m_chooser;
    TxImportKorvex m_import;
};

// The program's link with the bookkeeping system: its settings (the INI file
// beside the program) and its one customer synchronisation, which lives as
// long as the main window and is reachable from everywhere through
// instance() and the context's customerSync. The actions of the options page
// run here, each under a progress window that can be stopped.
class TBookkeepingWindows
{
    Q_DECLARE_TR_FUNCTIONS(TBookkeepingWindows)

public:
    // iniPath empty: the running program's INI file.
    TBookkeepingWindows(korvex::shell::TAppContext &context, const QString &iniPath = {});
    ~TBookkeepingWindows();
    TBookkeepingWindows(const TBookkeepingWindows &) = delete;
    TBookkeepingWindows &operator=(const TBookkeepingWindows &) = delete;

    static TBookkeepingWindows *instance();

    TxBookkeepIni &ini() { return m_ini; }
    TxSyncCustomer &customerSync() { return m_sync; }

    // "Синхронизация клиентов из Бугалтерии"
    void takeOverCustomers(QWidget *parent);
    // "Перенос клиентов в бухгалтерию"
    void transferCustomers(QWidget *parent);
    // "Экспорт данных в бухгалтерию": the operations of type 1800 of a period.
    void exportOperations(QWidget *parent);
    // The payment import of the pay-bill page.
    std::unique_ptr<TPaymentImportWindow> paymentImport(QWidget *parent);

private:
    bool reportUnlinked(QWidget *parent);

    korvex::shell::TAppContext &m_context;
    TxBookkeepIni m_ini;
    TxSyncCustomer m_sync;
};

} // namespace korvex::accounting
