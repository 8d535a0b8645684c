#pragma once

#include <QString>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

class TmmOptions;

// The counter of a kind of document (contracts, invoices, pay bills): a
// common option of type integer holding the number proposed for the next new
// document. It only moves forward: writing a document numbered n makes it
// max(counter, n + 1), so editing an old document can never bring a used
// number back.
//
//   TxDocumentCounter counter(options, QStringLiteral("rentcontractnumber"));
//   record.number = counter.proposal();
//   ... write the document, then in the same write scope:
//   counter.advancePast(record.number);
class TxDocumentCounter
{
public:
    TxDocumentCounter(TmmOptions &options, const QString &optionName);

    // The number for a new document: the counter, "1" when it is not set.
    QString proposal() const;

    // After a document numbered number was written, in the caller's write
    // scope (its transaction decides): when the number is an integer n the
    // counter becomes max(counter, n + 1) and true is answered; other
    // numbers leave it alone.
    bool advancePast(const QString &number) const;

    // The same on any connection: one statement that reads and raises the
    // stored value, so two workstations saving at once can neither move the
    // counter back nor both leave it at the same value (the second waits for
    // the first, or its transaction fails with a lock conflict). A stored
    // value that is no integer counts as absent.
    static bool advancePast(korvex::db::TxDatabase &db, const QString &optionName, const QString &number);

    // The integer a document number stands for: digits with an optional
    // sign and outer blanks; none for anything else or beyond the counter's
    // range.
    static std::optional<int> integerNumber(const QString &number);

private:
    TmmOptions &m_options;
    QString m_name;
};

} // namespace korvex::shell
