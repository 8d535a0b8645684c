#include "bookkeepingWindows.h"

#include "frmEnterInterval.h"

#include "accounting/xOperation.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xProgressDialog.h"

#include <QApplication>
#include <QDir>

namespace korvex::accounting {

using korvex::widgets::TxMessages;
using korvex::widgets::TxProgressDialog;

namespace {

TBookkeepingWindows *g_instance = nullptr;

} // namespace

TPaymentImportWindow::TPaymentImportWindow(korvex::shell::TAppContext &context, const TxBookkeepIni &ini, QWidget *parent)
    : m_chooser(context.options, parent)
    , m_import(context.db, ini, TOperationAuthor::from(context.login))
{
    m_import.Chooser = &m_chooser;
}

std::optional<QList<int>> TPaymentImportWindow::ImportPaymentOperations(int opType, korvex::widgets::TxProgress *progress)
{
    return m_import.ImportPaymentOperations(opType, progress);
}

TBookkeepingWindows::TBookkeepingWindows(korvex::shell::TAppContext &context, const QString &iniPath)
    : m_context(context)
    , m_ini(iniPath.isEmpty() ? TxBookkeepIni() : TxBookkeepIni(iniPath))
    , m_sync(context.db, m_ini)
{
    m_sync.QueueDir = QCoreApplication::applicationDirPath();
    g_instance = this;
}

TBookkeepingWindows::~TBookkeepingWindows()
{
    if (g_instance == this)
        g_instance = nullptr;
}

TBookkeepingWindows *TBookkeepingWindows::instance()
{
    return g_instance;
}

bool TBookkeepingWindows::reportUnlinked(QWidget *parent)
{
    const TxSyncCustomer::Summary &s = m_sync.LastSummary();
    if (s.Opened)
        return false;
    if (m_ini.SystemCode() <= 0)
        TxMessages::warning(parent, tr("Связь с бухгалтерией не настроена (параметр CodeSystem в файле %1).")
                                        .arg(QDir::toNativeSeparators(m_ini.fileName())));
    else
        TxMessages::warning(parent, tr("Таблицы бухгалтерии не удалось открыть: их нет или они заняты другой программой."));
    return true;
}

void TBookkeepingWindows::takeOverCustomers(QWidget *parent)
{
    TxProgressDialog progress(parent);
    progress.setWindowTitle(tr("Синхронизация клиентов из Бугалтерии"));
    m_sync.TakeOverCustomers(&progress);
    progress.end();
    if (reportUnlinked(parent))
        return;
    TxMessages::information(parent, progress.wasStopped()
                                        ? tr("Перенос прерван. Перенесено клиентов: %1").arg(m_sync.LastSummary().Done)
                                        : tr("Перенесено клиентов: %1").arg(m_sync.LastSummary().Done));
}

void TBookkeepingWindows::transferCustomers(QWidget *parent)
{
    TxProgressDialog progress(parent);
    progress.setWindowTitle(tr("Перенос клиентов в бухгалтерию"));
    m_sync.TransferCustomers(false, &progress);
    progress.end();
    if (reportUnlinked(parent))
        return;
    const TxSyncCustomer::Summary &s = m_sync.LastSummary();
    QString text = (progress.wasStopped() ? tr("Перенос прерван. ") : QString()) + tr("Перенесено клиентов: %1").arg(s.Done);
    if (s.Recoded > 0)
        text += QLatin1Char('\n') + tr("Под новым кодом (их код был занят): %1").arg(s.Recoded);
    if (s.Skipped > 0)
        text += QLatin1Char('\n') + tr("Не перенесено: %1").arg(s.Skipped);
    TxMessages::information(parent, text);
}

void TBookkeepingWindows::exportOperations(QWidget *parent)
{
    TfrmEnterInterval period(m_context.options, parent);
    if (period.exec() != QDialog::Accepted)
        return;
    TxImportKorvex engine(m_context.db, m_ini, TOperationAuthor::from(m_context.login));
    engine.OpType = 1800;
    TxProgressDialog progress(parent);
    progress.setWindowTitle(tr("Экспорт данных в бухгалтерию"));
    const int count = engine.ExportOperations(period.DateBegin(), period.DateEnd(), &progress);
    progress.end();
    TxMessages::information(parent, progress.wasStopped() ? tr("Экспорт прерван, в бухгалтерию ничего не записано.")
                                                          : tr("Передано проводок: %1").arg(count));
}

std::unique_ptr<TPaymentImportWindow> TBookkeepingWindows::paymentImport(QWidget *parent)
{
    return std::make_unique<TPaymentImportWindow>(m_context, m_ini, parent);
}

} // namespace korvex::accounting
