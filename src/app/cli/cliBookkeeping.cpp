// korvex-rent-cli bookkeeping: the exchange with the bookkeeping system
// without windows (the nightly import, export and customer synchronisation).

#include "cliCommon.h"

#include "accounting/xBookkeepIni.h"
#include "accounting/xImportKorvex.h"
#include "accounting/xSyncCustomer.h"
#include "db/xDatabase.h"
#include "widgets/xProgress.h"

#include <QDir>
#include <stdexcept>

using namespace korvex::accounting;

namespace korvex::cli {

namespace {

const char *const kUsage =
    "Usage: korvex-rent-cli bookkeeping import --type T --from YYYY-MM-DD --to YYYY-MM-DD [--ini FILE] DATABASE\n"
    "       korvex-rent-cli bookkeeping export --type T --from YYYY-MM-DD --to YYYY-MM-DD [--ini FILE] DATABASE\n"
    "       korvex-rent-cli bookkeeping customers (take-over|transfer [--new]|queue) [--ini FILE] DATABASE";

// Progress on standard error: the text, then a line per tenth of the work.
class TStderrProgress final : public korvex::widgets::TxProgress
{
public:
    void begin(const QString &text, qint64 total) override
    {
        m_text = text;
        m_total = total;
        m_step = 0;
        err(QStringLiteral("%1: %2").arg(text).arg(total));
    }
    void setText(const QString &text) override { m_text = text; }
    void setPosition(qint64 done) override
    {
        if (m_total <= 0)
            return;
        const qint64 step = done * 10 / m_total;
        if (step > m_step) {
            m_step = step;
            err(QStringLiteral("%1: %2/%3").arg(m_text).arg(done).arg(m_total));
        }
    }
    bool wasStopped() const override { return false; }
    void end() override {}

private:
    QString m_text;
    qint64 m_total = 0;
    qint64 m_step = 0;
};

QDate requiredDate(const Args &a, const QString &name)
{
    const QDate d = dateOption(a, name);
    if (!d.isValid())
        throw std::invalid_argument(kUsage);
    return d;
}

int typeOption(const Args &a)
{
    if (!a.has(QStringLiteral("type")))
        throw std::invalid_argument(kUsage);
    return intArgument(a.value(QStringLiteral("type")), QStringLiteral("--type"));
}

TxBookkeepIni iniOf(const Args &a)
{
    return a.has(QStringLiteral("ini")) ? TxBookkeepIni(QDir::current().absoluteFilePath(a.value(QStringLiteral("ini"))))
                                        : TxBookkeepIni();
}

int runImportExport(const Args &a, bool import)
{
    if (a.positional.size() != 2)
        throw std::invalid_argument(kUsage);
    const int type = typeOption(a);
    const QDate from = requiredDate(a, QStringLiteral("from")), to = requiredDate(a, QStringLiteral("to"));
    const TxBookkeepIni ini = iniOf(a);
    auto db = openDatabase(a.positional.at(1), a);
    TxImportKorvex engine(*db, ini);
    engine.OpType = type;
    TStderrProgress progress;
    if (import) {
        TChooseAllEntries all(from, to);
        engine.ImportOperations(all, &progress);
        for (int key : engine.OperationKeys)
            if (key != -1)
                outLine(QString::number(key));
        err(QStringLiteral("Imported %1 operations (%2 replaced earlier ones), %3 refused.")
                .arg(engine.OperationKeys.size() - engine.RefusedCount)
                .arg(engine.ReplacedCount)
                .arg(engine.RefusedCount));
        return engine.RefusedCount > 0 ? 2 : 0;
    }
    engine.ExportOperations(from, to, &progress);
    err(QStringLiteral("Exported %1 entries to %2.")
            .arg(engine.ExportedCount)
            .arg(QDir::toNativeSeparators(QDir(ini.WorkingDir()).filePath(QStringLiteral("newreg.db")))));
    return 0;
}

int runCustomers(const Args &a)
{
    if (a.positional.size() != 3)
        throw std::invalid_argument(kUsage);
    const QString action = a.positional.at(1);
    if (action != QLatin1String("take-over") && action != QLatin1String("transfer") && action != QLatin1String("queue"))
        throw std::invalid_argument(kUsage);
    if (a.has(QStringLiteral("new")) && action != QLatin1String("transfer"))
        throw std::invalid_argument(kUsage);
    const TxBookkeepIni ini = iniOf(a);
    auto db = openDatabase(a.positional.at(2), a);
    TxSyncCustomer sync(*db, ini);
    TStderrProgress progress;
    if (action == QLatin1String("take-over"))
        sync.TakeOverCustomers(&progress);
    else if (action == QLatin1String("transfer"))
        sync.TransferCustomers(a.has(QStringLiteral("new")), &progress);
    else
        sync.ProcessChangeQueue(&progress);
    const TxSyncCustomer::Summary &s = sync.LastSummary();
    if (!s.Opened) {
        if (ini.SystemCode() <= 0)
            err(QStringLiteral("The link with the bookkeeping system is not set up (CodeSystem in %1).")
                    .arg(QDir::toNativeSeparators(ini.fileName())));
        else
            err(QStringLiteral("The bookkeeping system's tables could not be opened (they are missing or held by "
                               "another program)."));
        return 1;
    }
    if (action == QLatin1String("take-over"))
        err(QStringLiteral("Took over %1 clients.").arg(s.Done));
    else if (action == QLatin1String("transfer"))
        err(QStringLiteral("Transferred %1 customers (%2 under a new code taken because theirs was in use), %3 given up.")
                .arg(s.Done)
                .arg(s.Recoded)
                .arg(s.Skipped));
    else
        err(QStringLiteral("Worked off %1 queued clients, %2 unknown to the client table.").arg(s.Done).arg(s.Skipped));
    return s.Skipped > 0 && action == QLatin1String("transfer") ? 2 : 0;
}

} // namespace

Command bookkeepingCommand()
{
    return {QStringLiteral("bookkeeping"),
            QStringLiteral("  bookkeeping import --type T --from YYYY-MM-DD --to YYYY-MM-DD [--ini FILE] DATABASE\n"
                           "                            import the bookkeeping register's entries of the period as\n"
                           "                            operations of type T; prints their keys\n"
                           "  bookkeeping export --type T --from YYYY-MM-DD --to YYYY-MM-DD [--ini FILE] DATABASE\n"
                           "                            append the entries of type T of the period to newreg.db\n"
                           "  bookkeeping customers (take-over|transfer [--new]|queue) [--ini FILE] DATABASE\n"
                           "                            take the clients over, send the customers (only new ones)\n"
                           "                            or work off the change queue (kept beside the INI file)"),
            [](const QStringList &args) -> int {
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("type") << QStringLiteral("from") << QStringLiteral("to")
                             << QStringLiteral("ini");
                const Args a = parseArgs(args, valueOptions, {QStringLiteral("new")});
                if (a.positional.isEmpty())
                    throw std::invalid_argument(kUsage);
                const QString what = a.positional.at(0);
                if (what == QLatin1String("import") || what == QLatin1String("export")) {
                    if (a.has(QStringLiteral("new")))
                        throw std::invalid_argument(kUsage);
                    return runImportExport(a, what == QLatin1String("import"));
                }
                if (what == QLatin1String("customers")) {
                    if (a.has(QStringLiteral("type")) || a.has(QStringLiteral("from")) || a.has(QStringLiteral("to")))
                        throw std::invalid_argument(kUsage);
                    return runCustomers(a);
                }
                throw std::invalid_argument(kUsage);
            }};
}

} // namespace korvex::cli
