#pragma once

#include <QList>
#include <optional>

namespace korvex::widgets {
class TxProgress;
}

namespace korvex::accounting {

// What contracts ask of the exchange with the bookkeeping system. The
// contract dialog is given one of these: the program's one customer
// synchronisation (TxSyncCustomer) or, where no link is set up and in tests,
// this default, which does nothing.
class TCustomerSyncLink
{
public:
    virtual ~TCustomerSyncLink() = default;

    // As the contract dialog opens, before its transaction: the clients the
    // bookkeeping system changed are taken over into the directory.
    virtual void ProcessChangeQueue(korvex::widgets::TxProgress *progress = nullptr) { (void)progress; }
    // After the dialog saved, when a customer card was saved from it: the
    // customers not yet known to the bookkeeping system are sent there.
    virtual void TransferNewCustomers(korvex::widgets::TxProgress *progress = nullptr) { (void)progress; }
};

// What pay bills ask of it: the payment operations to make pay bills from.
// The default imports nothing (as if the user cancelled).
class TPaymentImportLink
{
public:
    virtual ~TPaymentImportLink() = default;

    // Lets the user choose register entries of the bookkeeping system and
    // writes them as operations of the type; the keys of the operations
    // written, in register order, -1 for an operation the server refused.
    // No value when the user cancelled. Raises on failure, leaving nothing
    // written.
    virtual std::optional<QList<int>> ImportPaymentOperations(int opType, korvex::widgets::TxProgress *progress)
    {
        (void)opType;
        (void)progress;
        return std::nullopt;
    }
};

} // namespace korvex::accounting
