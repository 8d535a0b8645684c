#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::reference {

// The texts of a delete: the question and the answer to a row still in use.
struct TDeleteTexts {
    QString question;
    QString questionCaption;
    QString inUse;
    QString inUseCaption;
};

// One statement of a delete, with its positional values.
struct TDeleteStatement {
    QString sql;
    QVariantList values;
};

// Asks, then runs the delete statements in order in one transaction of its
// own or the caller's. A row other rows still reference is reported with the
// in-use text and nothing is deleted: false. Other failures throw
// EDatabaseError.
bool confirmAndDelete(korvex::db::TxDatabase &db, korvex::widgets::TxPrompt &prompt, const TDeleteTexts &texts,
                      const QList<TDeleteStatement> &statements);
bool confirmAndDelete(korvex::db::TxDatabase &db, korvex::widgets::TxPrompt &prompt, const TDeleteTexts &texts,
                      const QString &sql, const QVariantList &values);

// The common texts of the object, location and type deletes.
TDeleteTexts recordDeleteTexts();

// Values of nullable columns.
QVariant nullableInt(const std::optional<int> &v);
QVariant nullableDouble(const std::optional<double> &v);
QVariant nullableText(const QString &s);
std::optional<int> optionalInt(const QVariant &v);
std::optional<double> optionalDouble(const QVariant &v);
// A fresh key from a sequence.
int nextKey(korvex::db::TxDatabase &db, const QString &sequence);

// Writes one row by its key "id" in a transaction of its own or the
// caller's: id 0 takes a key from the sequence and inserts the row, any other
// id updates it. Returns the row's key. A row another workstation deleted
// meanwhile is reported with goneText (EDatabaseError).
int writeRow(korvex::db::TxDatabase &db, const QString &table, const QString &sequence, int id,
             const QStringList &columns, const QVariantList &values, const QString &goneText);

// The detail rows of a list a dialog edits: deletes the rows of table whose
// parentColumn is parentKey and whose id is not in keep, in the caller's
// transaction; returns the ids of the rows that remain.
QSet<int> deleteRowsNotIn(korvex::db::TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                          const QList<int> &keep);

} // namespace korvex::reference
