#include "xSyncCustomer.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "widgets/xProgress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

using namespace korvex::db;
using korvex::widgets::TxProgress;
using korvex::widgets::TxProgressGuard;

namespace korvex::accounting {

namespace {

TxSyncCustomer *g_instance = nullptr;

} // namespace

TxSyncCustomer::TxSyncCustomer(TxDatabase &db, const TxBookkeepIni &ini)
    : QueueDir(QFileInfo(ini.fileName()).absolutePath()), m_db(db), m_ini(ini)
{
    Q_ASSERT_X(!g_instance, "TxSyncCustomer", "the program has one customer synchronisation");
    g_instance = this;
}

TxSyncCustomer::~TxSyncCustomer()
{
    if (g_instance == this)
        g_instance = nullptr;
}

QList<TxFieldDef> TxSyncCustomer::clientTableFields()
{
    const QList<QPair<const char *, int>> alpha = {
        {"name", 60}, {"fullname", 180}, {"code", 20}, {"kind", 2}, {"kindname", 30},
        {"zipcode", 10}, {"pobox", 20}, {"address", 255}, {"domicile", 254}, {"phone", 40},
        {"fax", 40}, {"email", 60}, {"url", 80}, {"unn", 20}, {"okpo", 20}, {"okonh", 20},
        {"soato", 20}, {"soou", 20}, {"companykind", 20}, {"propertykind", 60}, {"director", 60},
        {"bookkeeper", 60}, {"lastname", 40}, {"firstname", 40}, {"medname", 40}, {"psprtseria", 10},
        {"psprtnumber", 20}, {"psprtdate", 10}, {"psprtadmin", 180}, {"regnumber", 30}, {"regdate", 10},
        {"regadmin", 180}, {"account", 40}, {"bankname", 60}, {"bankmfo", 20}, {"contactname", 60},
        {"contactphone", 40},
    };
    QList<TxFieldDef> fields{{QStringLiteral("KodKAU"), TxFieldType::Long, 4}};
    for (const auto &[name, size] : alpha)
        fields.append({QString::fromLatin1(name), TxFieldType::Alpha, size});
    return fields;
}

bool TxSyncCustomer::OpenClientTable(bool forWriting)
{
    m_clients.Close();
    if (m_ini.SystemCode() <= 0)
        return false;
    m_clients.DatabaseName = m_ini.MainDir();
    m_clients.TableName = QStringLiteral("klient.db");
    m_clients.UseOEMFormat = true;
    m_clients.LockTimeoutMs = ClientLockTimeoutMs;
    try {
        m_clients.Open(forWriting);
    } catch (const EParadoxError &) {
        return false;
    }
    return m_clients.FieldIndex(QStringLiteral("KodKAU")) == 0;
}

void TxSyncCustomer::ImportClientRow(int row)
{
    const QStringList inputs = m_db.procedureInfo(ImportProcedure).inputs;
    TxStoredProc proc(m_db, ImportProcedure);
    const int n = std::min<int>(int(inputs.size()), int(m_clients.Fields().size()));
    for (int i = 0; i < n; ++i)
        proc.setParam(inputs[i], m_clients.Text(row, i));
    proc.execute();
}

void TxSyncCustomer::TakeOverCustomers(TxProgress *progress)
{
    m_summary = {};
    if (!OpenClientTable())
        return;
    m_summary.Opened = true;
    TxWriteScope scope(m_db);
    {
        TxProgressGuard guard(progress, tr("Перенос клиентов из Бухгалтерии"), m_clients.RecordCount());
        for (int r = 0; r < m_clients.RecordCount(); ++r) {
            if (guard.stopped())
                break;
            ImportClientRow(r);
            ++m_summary.Done;
            guard.advance(r + 1);
        }
    }
    scope.commit();
    m_clients.Close();
}

bool TxSyncCustomer::transferOne(int customerKey)
{
    if (!TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM cst_customer WHERE customerkey = ?"), {customerKey}).isValid())
        return false;  // an empty client row would be all it could write
    TxStoredProc values(m_db, QStringLiteral("fin_p_customer_getvalue"));
    values.setParam(QStringLiteral("customerkey"), customerKey);
    values.execute();
    const QStringList outputs = values.outputNames();
    const QVariant kod = values.output(QStringLiteral("KodKAU"));

    TxRecord rec = m_clients.NewRecord();
    int row = -1;
    int code = 0;
    bool newCode = false;
    if (kod.isNull() || !kod.isValid()) {
        const QList<int> order = m_clients.KeyOrder();
        code = order.isEmpty() ? 1 : m_clients.Value(m_clients.Record(order.last()), 0).toInt() + 1;
        newCode = true;
    } else {
        code = kod.toInt();
        row = m_clients.FindKey({code});
        if (row >= 0)
            rec = m_clients.Record(row);
    }
    m_clients.SetValue(rec, 0, code);
    for (int i = 1; i < outputs.size() && i < m_clients.Fields().size(); ++i) {
        const TxFieldDef &f = m_clients.Fields()[i];
        QString text = values.output(outputs[i]).toString();
        if (f.type == TxFieldType::Alpha)
            text = text.left(f.size);  // derived values (the address) may be longer than the field
        m_clients.SetText(rec, i, text);
    }

    if (row >= 0) {
        // An edit never re-codes the client: its failure is the caller's.
        m_clients.Update(row, rec);
        return true;
    }
    QElapsedTimer timer;
    timer.start();
    bool recoded = false;
    for (;;) {
        if (BeforeClientAppend && newCode)
            BeforeClientAppend(m_clients, code);
        try {
            m_clients.Append(rec);
            break;
        } catch (const EParadoxError &e) {
            if (e.kind() != EParadoxError::Kind::KeyViolation)
                throw;
            if (timer.elapsed() >= PostTimeoutMs)
                return false;  // the row is dropped; the customer keeps no code
            ++code;
            m_clients.SetValue(rec, 0, code);
            newCode = true;
            recoded = true;
        }
    }
    if (recoded)
        ++m_summary.Recoded;
    if (newCode)
        TxQuery::execute(m_db, QStringLiteral("UPDATE cst_customer SET externalkey = ? WHERE customerkey = ?"),
                         {code, customerKey});
    return true;
}

void TxSyncCustomer::TransferCustomers(bool newOnly, TxProgress *progress)
{
    m_summary = {};
    QList<int> keys;
    {
        TxQuery q(m_db);
        q.exec(QStringLiteral("SELECT customerkey FROM cst_customer WHERE kind <> 2")
               + (newOnly ? QStringLiteral(" AND externalkey IS NULL") : QString())
               + QStringLiteral(" ORDER BY customerkey"));
        while (q.next())
            keys << q.value(0).toInt();
    }
    if (!OpenClientTable(true))
        return;
    m_summary.Opened = true;
    TxWriteScope scope(m_db);
    {
        TxProgressGuard guard(progress, tr("Перенос клиентов в Бухгалтерии"), keys.size());
        for (int i = 0; i < keys.size(); ++i) {
            if (guard.stopped())
                break;
            if (transferOne(keys[i]))
                ++m_summary.Done;
            else
                ++m_summary.Skipped;
            guard.advance(i + 1);
        }
    }
    // The codes are recorded only together with the table that holds them.
    m_clients.Save();
    scope.commit();
    m_clients.Close();
}

bool TxSyncCustomer::TransferCustomer(int customerKey)
{
    m_summary = {};
    if (!OpenClientTable(true))
        return false;
    m_summary.Opened = true;
    TxWriteScope scope(m_db);
    const bool written = transferOne(customerKey);
    m_clients.Save();
    scope.commit();
    m_clients.Close();
    ++(written ? m_summary.Done : m_summary.Skipped);
    return written;
}

void TxSyncCustomer::ProcessChangeQueue(TxProgress *progress)
{
    m_summary = {};
    if (NameLocalTable.isEmpty() || !OpenClientTable())
        return;
    TxTable queue(QueueDir, NameLocalTable);
    queue.LockTimeoutMs = QueueTimeoutMs;
    try {
        queue.Open(true);
    } catch (const EParadoxError &) {
        m_clients.Close();
        return;  // left for the next time
    }
    m_summary.Opened = true;
    TxWriteScope scope(m_db);
    {
        TxProgressGuard guard(progress, tr("Перенос клиентов из Бухгалтерии"), queue.RecordCount());
        int done = 0;
        while (queue.RecordCount() > 0 && !guard.stopped()) {
            bool ok = false;
            const int code = queue.Text(0, 0).trimmed().toInt(&ok);
            const int row = ok ? m_clients.FindKey({code}) : -1;
            // A code the client table no longer holds has nothing to take over.
            if (row >= 0) {
                ImportClientRow(row);
                ++m_summary.Done;
            } else {
                ++m_summary.Skipped;
            }
            queue.Delete(0);
            guard.advance(++done);
        }
    }
    queue.Save();
    scope.commit();
    queue.Close();
    m_clients.Close();
}

} // namespace korvex::accounting
