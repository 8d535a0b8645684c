#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::customers {

// The classifiers of the customer directory that share one way of being
// created, edited and deleted.
enum class TClassifier { PropertyKind, CompanyKind, Branch, ActCategory, PlaceKind, Place };

struct TClassifierInfo {
    QString table;
    QString keyField;
    QString keyProcedure;  // executable, returns the key in keyOutput
    QString keyOutput;
    QStringList fields;       // the columns the dialog edits
    QStringList nameFields;   // columns a new row takes the initial text into
    QString caption;          // the dialog's caption
    QString deleteQuestion;   // empty: deleted without a question
    QString inUseMessage;     // a refused delete
    QString inUseInCallerMessage;  // the same inside the caller's transaction
    // A failed save shows this text before the server's; empty: the server's
    // text alone.
    QString saveFailedMessage;
};

class TClassifiers
{
    Q_DECLARE_TR_FUNCTIONS(TClassifiers)
public:
    static const TClassifierInfo &info(TClassifier kind);
};

// One row of a classifier as its dialog edits it. A kind stores the members
// its columns name (TClassifierInfo::fields); the others are not used.
struct TClassifierRecord {
    int key = 0;                       // from the key procedure when new
    QString name;                      // every kind
    QString fullname;                  // company kinds
    QString abbr;                      // place kinds
    std::optional<int> grade;          // place kinds
    std::optional<int> parent;         // place kinds and places
    std::optional<int> stand;          // place kinds: 0 not shown, 1 before, 2 after
    bool disabled = false;             // place kinds
    std::optional<int> placeKind;      // places
    QString comment;                   // places
    bool inAddress = true;             // places
    bool useHighLevel = true;          // places
};

// One row of a classifier while its dialog edits it.
class TboClassifier
{
    Q_DECLARE_TR_FUNCTIONS(TboClassifier)
public:
    TboClassifier(korvex::db::TxDatabase &db, TClassifier kind);

    TClassifier kind() const { return m_kind; }
    const TClassifierInfo &info() const { return TClassifiers::info(m_kind); }

    // A new row: the key procedure gives the key, the name columns take the
    // initial text; defaults gives the rest (grade; parent and placekind).
    void openNew(const QString &initialName, const TClassifierRecord &defaults = {});
    // An existing row; a missing one is the caller's error (std::logic_error).
    // A place whose kind is gone fails with "Тип места отстутсвует в
    // справочнике" (EBusinessError).
    void open(int key);

    TClassifierRecord &record() { return m_record; }
    const TClassifierRecord &record() const { return m_record; }
    int key() const { return m_record.key; }
    bool isNew() const { return !m_stored; }

    // Writes the row inside the current transaction; confirm() once it
    // committed.
    void write();
    void confirm() { m_stored = true; }
    // Writes it in a write scope of its own, or inside the caller's.
    void save();

private:
    QVariant columnValue(const QString &column) const;

    korvex::db::TxDatabase &m_db;
    TClassifier m_kind;
    TClassifierRecord m_record;
    bool m_stored = false;
};

} // namespace korvex::customers
