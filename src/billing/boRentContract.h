#pragma once

#include "boContractService.h"
#include "PositionPricing.h"
#include "shell/AppContext.h"
#include "widgets/xSqlFilter.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace korvex::accounting {
class TCustomerSyncLink;
}
namespace korvex::shell {
class TxOptionFilter;
}

namespace korvex::billing {

class TBillingDialogs;

// One row of rent_contract as the contract dialog edits it.
struct TContractRecord {
    int id = 0;  // a new contract has its key before it is stored
    QString number;
    QString name;
    std::optional<int> customerKey;
    std::optional<int> currKey;
    std::optional<int> supContractKey;  // carried with the row, shown nowhere
    QDate signDate;                     // invalid: none
    QDate expireDate;
    QDate actionDate;
    std::optional<int> paymentDay;
    std::optional<int> paymentKey;
    bool disabled = false;  // "Закрытый договор"
    QString fileName;
};

// A supplementary document of a contract (rent_supplement).
struct TSupplementRecord {
    int id = 0;  // 0: not stored yet
    QString number;
    QDate supDate;
    QString name;
    QString description;
    QString fileName;  // an RTF file
};

// A rate typed in "Курс": one unit of the currency is rate NCU on the date.
struct TTypedRate {
    int currKey = 0;
    QDate date;
    double rate = 0;
};

// What the contract dialog edits: the contract, its positions and its
// supplements, held in the client and written together by writeContract().
struct TContractEdit {
    enum class Kind { New, Edit, Renewal };
    Kind kind = Kind::New;
    TContractRecord contract;
    QList<TContractServiceRecord> services;
    QList<TSupplementRecord> supplements;
    // Renewal: the contract renewed, closed by the save with this end date.
    int renewedKey = 0;
    QDate renewedEnd;
    // Rates typed in "Курс", recorded with the save.
    QList<TTypedRate> typedRates;
    // A customer card was saved from the dialog: the new customers go to the
    // bookkeeping system after the save.
    bool customerCardSaved = false;

    bool isNew() const { return kind != Kind::Edit; }
};

// The contract filter of the contracts page, remembered per user under
// "rent_contract_".
struct TContractFilter {
    enum Sort { ByNumber = 0, BySignDate, ByExpireDate, ByName, ByCustomer, Unsorted };
    enum Activity { AllContracts = 0, OpenOnly, ClosedOnly };

    QDate startSignDate;
    QDate endSignDate;
    QDate startExpireDate;
    QDate endExpireDate;
    bool signDateUnlimited = true;
    bool expireDateUnlimited = true;
    bool allCustomers = true;
    int customerKey = 0;
    bool allPayments = true;
    int paymentKey = 0;
    int sortOrder = ByNumber;
    int activity = AllContracts;
};

// A row of the quick list of open contracts.
struct TContractListRow {
    int id = 0;
    QString customerName;
    QString number;
    QString name;
    QDate signDate;
    QDate expireDate;
    QDate actionDate;
};

// What "Выбор услуг" is asked and answers.
struct TContractServiceChoice {
    int customerKey = 0;
    bool customerChangeable = false;
    int contractKey = 0;   // 0: "Все договора"
    QList<int> keys;       // out: the ticked positions
};

// A service (with an object or without) to add to a contract.
struct TServiceObjectPair {
    int serviceKey = 0;
    std::optional<int> objectKey;
    QString serviceName;
    QString objectName;
};

// A contract's and its customer's debts today.
struct TContractDebts {
    double contractNcu = 0;
    double contractCurr = 0;
    double customerNcu = 0;
    double customerCurr = 0;
};

// Lease contracts: a customer, a term, and the positions that later
// documents bill. The object keeps the contract filter of its page, opens
// the contract dialogs through its port, and writes a contract with its
// positions and supplements as one: the occupancy of the leased objects
// (rent_object.useful) follows the open contracts, the totals are summed by
// the server, and the contract counter only moves forward.
class TboRentContract : public QObject
{
    Q_OBJECT
public:
    // dialogs: the windows of the operations that show one; sync: the
    // customer synchronisation with the bookkeeping system (none: nothing
    // is synchronised).
    explicit TboRentContract(korvex::shell::TAppContext &context, TBillingDialogs *dialogs = nullptr,
                             korvex::accounting::TCustomerSyncLink *sync = nullptr, QObject *owner = nullptr);
    // Stores a filter set by setFilter() and not stored since.
    ~TboRentContract() override;

    // --- Filter of the contracts page ---------------------------------------------
    const TContractFilter &filter() const { return m_filter; }
    void setFilter(const TContractFilter &filter)
    {
        m_filter = filter;
        m_filterChanged = true;
    }
    void LoadFilter();
    void SaveFilter();
    // "Фильтрация договоров"; on "Ок" the filter is taken and stored.
    bool EditFilter();
    // A sort entry of the page: stored at once.
    void SetSortOrder(int order);

    // The contract list of a filter: conditions only for the fields in use,
    // every value bound; for a TxQueryModel ordered by listOrder() (fields of
    // the result; empty: unsorted, by the key) and keyed by listKey(), so
    // that a long list opens, sorts and finds a row along an index.
    static korvex::widgets::TxSqlFilter listStatement(const TContractFilter &filter);
    static QString listOrder(int sortOrder);
    static QString listKey() { return QStringLiteral("id"); }
    korvex::widgets::TxSqlFilter listStatement() const { return listStatement(m_filter); }
    // The open contracts among those the filter lists.
    QList<int> openListedKeys() const;

    // --- Operations ------------------------------------------------------------------
    bool NewContract(int *newKey = nullptr);
    bool EditContract(int key);
    // "Удалить договор?"; a contract in use is reported and kept.
    bool DeleteContract(int key);
    // Closes an open contract (asking first when ask) and releases its
    // objects; false for a closed or missing contract.
    bool CloseContract(int key, bool ask);
    // Opens the dialog on a copy of an open contract; saving it closes the
    // old one. False for a closed or missing contract.
    bool RenewContract(int key, int *newKey = nullptr);
    // useful = 0 for the contract's objects that no other open contract uses.
    void ReleaseObjects(int key);
    // "Договора": the open contracts, edited in place.
    bool ShowOpenContracts();
    // "Выбор услуг": keys receives the ticked positions (decimal keys).
    bool ChooseContractServices(int customerKey, bool customerChangeable, QStringList &keys, int contractKey = 0);

    // --- The contract dialog's rows --------------------------------------------------
    // A new contract with a fresh key and the defaults of the options.
    TContractEdit newContract() const;
    std::optional<TContractEdit> readContract(int key) const;
    // The renewal of an open contract: a copy with a fresh key, signed today,
    // and the old contract's positions; none for a closed or missing one.
    std::optional<TContractEdit> renewalOf(int key) const;
    // Saves the edit in one write scope: releases the objects of the stored
    // contract (and of a renewed one, which is closed), refuses objects other
    // open contracts use, writes the contract, its positions and supplements,
    // marks the objects of an open contract in use, sums the contract and
    // advances the counter. The positions' and supplements' keys come back in
    // the edit. Returns the contract's key.
    int writeContract(TContractEdit &edit);
    // After a save committed: a customer card saved from the dialog sends
    // the new customers to the bookkeeping system.
    void contractSaved(TContractEdit &edit);

    // The positions for pairs of the adding dialog: each with the prices of
    // its price-list row that are not 0 (through the guard of the model's
    // conversion, as typed prices), and the reckoning type when the option
    // rentautoreplacereckoning is 1.
    void addPositions(TContractServiceModel &model, const QList<TServiceObjectPair> &pairs);
    // Whether the object may be added to the edited contract: not in use,
    // or used only by the contract itself (or the one it renews) while open.
    bool objectAvailable(int objectKey, const TContractEdit &edit) const;
    // RENT_P_TESTCONTRACTSERVICE: the position may be deleted (a new one may).
    bool mayDeletePosition(int contractServiceKey) const;
    // Runs the engine on positions of the edit at the rate: the contract and
    // its positions are written for the engine to read and undone at once.
    // One answer per row asked.
    QList<TReckonResult> reckonPositions(const TContractEdit &edit, const QList<int> &rows, double rate);
    TPositionPricing &pricing() { return *m_pricing; }

    // The rate of the currency to the NCU on the date; 0 when none is known.
    double rateOn(std::optional<int> currKey, const QDate &date) const;
    QHash<int, QString> reckoningTypeNames() const;

    // --- Quick list ----------------------------------------------------------------------
    QList<TContractListRow> readOpenContracts() const;
    // Writes the rows in one write scope; the counter follows every number.
    void writeContractList(const QList<TContractListRow> &rows);

    // --- Choosing positions ----------------------------------------------------------
    static korvex::widgets::TxSqlFilter customerContracts(int customerKey, bool openOnly);
    // Positions of the customer's contracts whose service priority is at
    // most the priority text (20 when it is no integer): of one contract
    // (contractKey 0: the customer has none, so no position), or of all
    // (contractKey -1); only of open contracts when openOnly. Key field id.
    static korvex::widgets::TxSqlFilter choiceStatement(int customerKey, int contractKey, bool openOnly,
                                                        const QString &priorityText);

    // --- What the page lists ---------------------------------------------------------
    static QString positionsSql();         // one value: the contract
    static QString supplementsSql();       // one value: the contract
    static QString bankAccountsSql();      // one value: the customer
    static QString usedObjectsSql();       // one value: the customer
    static QString rentalHistorySql();     // one value: the customer
    // The customer's row as caption and value pairs ("Реквизиты").
    QList<QPair<QString, QString>> customerRequisites(int customerKey) const;
    TContractDebts debtsOf(int contractKey, int customerKey) const;

    // --- Values of a position -----------------------------------------------------
    QList<korvex::widgets::TxDatedValue> readValues(int contractServiceKey) const;
    // Inserts (id 0, which then receives the key) or updates the value.
    void writeValue(korvex::widgets::TxDatedValue &value);
    void deleteValue(int id);

    korvex::shell::TAppContext &context() const { return m_context; }
    TBillingDialogs *dialogs() const { return m_dialogs; }

private:
    TBillingDialogs &requireDialogs() const;
    korvex::accounting::TCustomerSyncLink &sync() const;
    // The contract dialog with the synchronisation queue worked off first.
    bool openDialog(TContractEdit edit, int *savedKey);
    QList<TContractServiceRecord> readPositions(int contractKey) const;
    QList<TSupplementRecord> readSupplements(int contractKey) const;
    // The contract row and its positions as they stand in the edit.
    void writeRows(TContractEdit &edit);
    // useful = 1 or 0 for the contract's objects (0 only where no other open
    // contract uses the object).
    void markObjects(int contractKey, bool inUse);
    QStringList objectsUsedElsewhere(const TContractEdit &edit) const;

    korvex::shell::TAppContext &m_context;
    TBillingDialogs *m_dialogs;
    korvex::accounting::TCustomerSyncLink *m_sync;
    std::unique_ptr<TPositionPricing> m_pricing;
    TContractFilter m_filter;
    // The filter's flags as the options store holds them (1/0).
    struct StoredFlags {
        int signDate = 1;
        int expireDate = 1;
        int customer = 1;
        int payment = 1;
    } m_flags;
    std::unique_ptr<korvex::shell::TxOptionFilter> m_options;
    // Stored only when changed: an object that outlives another one's change
    // must not write back the filter it read.
    bool m_filterChanged = false;
};

} // namespace korvex::billing
