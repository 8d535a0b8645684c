#pragma once

#include "xBookkeepIni.h"
#include "xBookkeepingLink.h"
#include "xOperation.h"

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxProgress;
}

namespace korvex::accounting {

class TxImportKorvex;
class TxAccountLayouts;

// One entry template of an operation type, as the entry chooser lists it.
struct TEntryTemplateRow {
    int Id = 0;
    QString Debit;   // account numbers
    QString Credit;
    int DebitKey = 0;
    int CreditKey = 0;
    int OpType = -1;
};

// One record of the bookkeeping system's register ("register.db").
struct TRegisterRow {
    QString NomPP;
    QDate Date;
    QString Debet, Kredit;
    double Summa = 0;
    double SummaInCurrency = 0;
    QString KauDebet, KauKredit;
    QString NameOperation;  // converted from OEM
    QString NumberPayment;
    QString Currency;

    // "NomPP|date": the rows the chooser checks together.
    QString Key() const { return NomPP + QLatin1Char('|') + Date.toString(Qt::ISODate); }
};

// What the user chose in the entry chooser.
struct TImportChoice {
    QDate DateBegin;
    QDate DateEnd;
    QList<int> EntryIds;  // the checked entry templates
    QSet<QString> Keys;   // the checked register rows (TRegisterRow::Key)
};

// The entry chooser: the window lists the entry templates of the operation
// type and, for the checked ones and a period, the register rows, and lets
// the user check rows. Returns false when cancelled.
class TEntryChooser
{
public:
    virtual ~TEntryChooser() = default;
    virtual bool choose(TxImportKorvex &import, TImportChoice &choice) = 0;
};

// The command line's chooser: every entry template and every register row
// of the period.
class TChooseAllEntries : public TEntryChooser
{
public:
    TChooseAllEntries(const QDate &begin, const QDate &end) : m_begin(begin), m_end(end) {}
    bool choose(TxImportKorvex &import, TImportChoice &choice) override;

private:
    QDate m_begin, m_end;
};

// The import of register entries of the bookkeeping system as operations,
// and the export of operations into its table of new register records.
class TxImportKorvex : public TPaymentImportLink
{
    Q_DECLARE_TR_FUNCTIONS(TxImportKorvex)

public:
    TxImportKorvex(korvex::db::TxDatabase &db, const TxBookkeepIni &ini, const TOperationAuthor &author = {});

    int OpType = -1;
    // The keys of the operations written by the last import, in import
    // order; -1 for an operation the server refused.
    QList<int> OperationKeys;
    // Of the last import: operations refused, and operations that replaced
    // those made earlier from the same register entries.
    int RefusedCount = 0;
    int ReplacedCount = 0;
    // Of the last export: the records appended.
    int ExportedCount = 0;

    // How long the export waits for the bookkeeping system's files.
    int FileTimeoutMs = 10000;

    // The chooser ImportPaymentOperations shows (the window sets it).
    TEntryChooser *Chooser = nullptr;

    const TxBookkeepIni &ini() const { return m_ini; }

    // The chooser's entry list: the entry templates of the operation type.
    QList<TEntryTemplateRow> entryList(int opType);
    // The register rows of the period (both ends included) whose debit and
    // credit accounts are those of one of the entries, in table order. No
    // entries: no rows (the list is not opened).
    QList<TRegisterRow> registerRows(const QDate &begin, const QDate &end, const QList<TEntryTemplateRow> &entries);

    // Shows the chooser and writes the checked register rows as operations
    // of OpType, all in one transaction (the caller's, or its own): an error
    // or a stop leaves nothing of the import. Rows imported before (the same
    // entry number and date) replace the operations they made then. False
    // when the chooser was cancelled or the work stopped.
    bool ImportOperations(TEntryChooser &chooser, korvex::widgets::TxProgress *progress = nullptr);

    // Appends the entries of the operations of OpType dated within the period
    // to "newreg.db" in the working directory, each with the next running
    // number. The table gets all the records or none: a running-number file
    // held by another program too long aborts the export with
    // ERunningNumberBusy. Returns the number of records appended.
    int ExportOperations(const QDate &begin, const QDate &end, korvex::widgets::TxProgress *progress = nullptr);

    // The bookkeeping codes of a side's analysis items ("10_5.610_2.").
    QString translateKau(const QString &items);

    std::optional<QList<int>> ImportPaymentOperations(int opType, korvex::widgets::TxProgress *progress) override;

private:
    struct Level {
        int analysisKey = 0;
        QString tableName;
    };
    QList<Level> accountLevels(TxAccountLayouts &layouts, const QString &account);
    int valueKey(const Level &level, int code);
    void addAnalyses(TxAccountLayouts &layouts, const QString &account, const QString &codes);

    korvex::db::TxDatabase &m_db;
    const TxBookkeepIni &m_ini;
    TxOperation m_operation;
    QHash<QString, QList<Level>> m_levels;
};

// A table name read from the database, checked before it goes into a
// statement: letters, digits, "_" and "$" only. Raises otherwise.
QString checkedTableName(const QString &name);

} // namespace korvex::accounting
