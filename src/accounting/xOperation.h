#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::shell {
class TUserLogin;
}

namespace korvex::accounting {

// Who writes the operations: the subsystem, session and user recorded on
// each. Without a login (the command-line tool) the lease subsystem 230 and
// no session or user.
struct TOperationAuthor {
    int SubSystemKey = 230;
    int SessionKey = -1;  // -1: none
    int UserKey = -1;     // -1: none

    static TOperationAuthor from(const korvex::shell::TUserLogin *login);
};

// One bookkeeping operation being written: the operation, its analyses and
// its entries, whose amounts are formulas of the operation type's entry
// templates. The object is reused; Reset() starts each operation and the
// other properties keep their values until the caller sets them.
class TxOperation
{
public:
    explicit TxOperation(korvex::db::TxDatabase &db, const TOperationAuthor &author = {});

    int OpType = -1;
    int DocumentKey = -1;   // the source document line; -1 none
    int OperationKey = -1;  // -1 while not stored
    QDateTime DateDoc;
    double SumNCU = 0;
    double SumCurr = 0;
    int Curr = -1;          // -1 none
    QString Comment;
    QDateTime StartTime;
    QDateTime FinishTime;
    bool Error = false;     // the last Post was refused by the server
    QStringList Variables;  // NAME=VALUE lines for the entry formulas
    QStringList Analyzes;   // "analysis key=value key" lines
    QString EntryExtKey;    // the register entry of an imported operation

    // The server's text when the last Post was refused.
    QString ErrorText;

    void Reset();

    // Writes the operation, its analyses and its entries in one transaction
    // (its own, or a savepoint in the caller's): a failure in any step leaves
    // nothing of the operation. A refused operation (the server does not
    // accept it) sets Error and returns; any other failure raises.
    void Post();

    // OperationKey := the stored operation of OpType made from DocumentKey,
    // or -1 when there is none. Returns whether one was found.
    bool FindByDocument();
    // Deletes every operation of OpType made from DocumentKey with all that
    // is attached to it; returns how many were deleted.
    int DeleteByDocument();

    // A line of Analyzes as key and value (-1 where not a number; at most
    // 255 characters of value are read).
    struct Analysis {
        int key = -1;
        int value = -1;
    };
    static Analysis parseAnalysis(const QString &line);

private:
    void writeAnalyses(const QList<Analysis> &analyses);
    void writeEntries(const QList<Analysis> &analyses);
    void writeEntrySide(const QList<Analysis> &analyses, int entryId, int account, int entryType, int side);

    korvex::db::TxDatabase &m_db;
    TOperationAuthor m_author;
};

} // namespace korvex::accounting
