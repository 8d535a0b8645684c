#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

class TxPrompt;

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

// THE delete of a business object: asks, then runs the statements in order in
// one write scope (its own transaction or a savepoint in the caller's). A
// row other rows still reference is reported with the in-use text and
// nothing is deleted: false. Other failures throw EDatabaseError.
bool confirmAndDelete(korvex::db::TxDatabase &db, TxPrompt &prompt, const TDeleteTexts &texts,
                      const QList<TDeleteStatement> &statements);
bool confirmAndDelete(korvex::db::TxDatabase &db, TxPrompt &prompt, const TDeleteTexts &texts, const QString &sql,
                      const QVariantList &values);

// The common texts of a record delete: "Удалить запись?" and "Данная запись
// уже где-то используется!".
TDeleteTexts recordDeleteTexts();

} // namespace korvex::widgets
