#pragma once

#include "RowCache.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariantMap>

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

// One row of a classifier while its dialog edits it.
class TboClassifier
{
    Q_DECLARE_TR_FUNCTIONS(TboClassifier)
public:
    TboClassifier(korvex::db::TxDatabase &db, TClassifier kind);

    TClassifier kind() const { return m_kind; }
    const TClassifierInfo &info() const { return TClassifiers::info(m_kind); }

    // A new row: the key procedure gives the key, the name columns take the
    // initial text, then the defaults apply (grade; parent and placekind).
    void openNew(const QString &initialName, const QVariantMap &defaults = {});
    // An existing row; a missing one is the caller's error (std::logic_error).
    // A place whose kind is gone fails with "Тип места отстутсвует в
    // справочнике" (std::runtime_error).
    void open(int key);

    TCachedRow &row() { return m_row; }
    const TCachedRow &row() const { return m_row; }
    int key() const { return m_row.key().toInt(); }
    bool isNew() const { return !m_row.exists(); }

    // Writes the row inside the current transaction; confirm() once it
    // committed.
    void write();
    void confirm() { m_row.confirm(); }
    // Writes it in a transaction of its own, or inside the caller's.
    void save();

private:
    korvex::db::TxDatabase &m_db;
    TClassifier m_kind;
    TCachedRow m_row;
};

} // namespace korvex::customers
