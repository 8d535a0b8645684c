#pragma once

#include "xBookkeepIni.h"
#include "xBookkeepingLink.h"
#include "xParadox.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <functional>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxProgress;
}

namespace korvex::accounting {

// The customer synchronisation with the bookkeeping system: its clients
// ("klient.db" in its main directory, the code "KodKAU" first) are taken over
// into the customer directory, customers are written there, and the queue
// of clients it changed ("changecl.db") is worked off. Nothing happens while
// the link is not set up (system code not above 0). There is one per
// program.
class TxSyncCustomer : public TCustomerSyncLink
{
    Q_DECLARE_TR_FUNCTIONS(TxSyncCustomer)

public:
    TxSyncCustomer(korvex::db::TxDatabase &db, const TxBookkeepIni &ini);
    ~TxSyncCustomer() override;

    QString NameLocalTable = QStringLiteral("changecl.db");
    // The directory of the change queue: the link settings' (the program's).
    QString QueueDir;
    QString ImportProcedure = QStringLiteral("FIN_P_CUSTOMER_IMPORT");

    int ClientLockTimeoutMs = 2000;  // opening the client table for writing
    int PostTimeoutMs = 10000;       // taking the next code while the code is taken
    int QueueTimeoutMs = 20000;      // opening the queue exclusively

    // Runs just before a client row is appended under a new code; the tests
    // play the bookkeeping system writing at the same moment with it.
    std::function<void(TxTable &clients, int code)> BeforeClientAppend;

    // What the last call did.
    struct Summary {
        bool Opened = false;  // the tables could be opened
        int Done = 0;         // customers taken over or transferred, queue rows worked off
        int Skipped = 0;      // transfers given up, queued codes without a client
        int Recoded = 0;      // customers that had to take another code
    };
    const Summary &LastSummary() const { return m_summary; }

    // The client table, for reading or for writing; false (no message) when
    // the link is not set up or the table does not open.
    bool OpenClientTable(bool forWriting = false);
    TxTable &ClientTable() { return m_clients; }
    // The client row into the customer directory (the take-over procedure
    // with the row's fields as text, in field order).
    void ImportClientRow(int row);

    void TakeOverCustomers(korvex::widgets::TxProgress *progress = nullptr);
    // Customers other than banks (only those without a client code when
    // newOnly), in one transaction with one write of the client table.
    void TransferCustomers(bool newOnly, korvex::widgets::TxProgress *progress = nullptr);
    // Returns whether the customer was written.
    bool TransferCustomer(int customerKey);
    void ProcessChangeQueue(korvex::widgets::TxProgress *progress = nullptr) override;
    void TransferNewCustomers(korvex::widgets::TxProgress *progress = nullptr) override
    {
        TransferCustomers(true, progress);
    }

    // The fields of the client table this program writes: "KodKAU" and then
    // the customer's values in the order fin_p_customer_getvalue gives them.
    static QList<TxFieldDef> clientTableFields();

private:
    bool transferOne(int customerKey);

    korvex::db::TxDatabase &m_db;
    const TxBookkeepIni &m_ini;
    TxTable m_clients;
    Summary m_summary;
};

} // namespace korvex::accounting
