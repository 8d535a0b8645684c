#pragma once

#include "RowCache.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::customers {

// One bank account as the card holds it until the card is saved.
struct TBankAccount {
    QVariant key;       // bankaccountkey
    QString name;
    QVariant bankKey;   // the bank, a customer of kind 2
    QString bankName;
    QString account;
    QVariant disabled;
    bool stored = false;   // read from the database
    bool changed = false;  // edited since
};

// The customer card's data: the customer row, its enterprise or person
// details, its contact person and its bank accounts, all held in the client
// until save() sends them - customer, bank accounts, enterprise details,
// person details, contact person - in one transaction.
class TboCustomer
{
    Q_DECLARE_TR_FUNCTIONS(TboCustomer)
public:
    explicit TboCustomer(korvex::db::TxDatabase &db);

    // key -1: a new customer with a fresh key, the name and kind given. An
    // existing customer must exist (std::logic_error otherwise).
    void open(int key, const QString &name = {}, int kind = 1);

    int key() const { return m_customer.key().toInt(); }
    bool isNew() const { return !m_customer.exists(); }
    int kind() const;
    void setKind(int kind);
    // Kinds 1 and 2 keep enterprise details, 3 and 4 person details.
    static bool hasFactoryDetails(int kind) { return kind == 1 || kind == 2; }

    TCachedRow &customer() { return m_customer; }
    TCachedRow &factory() { return m_factory; }
    TCachedRow &person() { return m_person; }
    TCachedRow &executor() { return m_executor; }

    // The address text of the customer's place.
    QString addressText() const { return m_address; }
    void setPlace(const QVariant &placeKey);
    static QString placeAddress(korvex::db::TxDatabase &db, const QVariant &placeKey);

    const QList<TBankAccount> &accounts() const { return m_accounts; }
    void addAccount(const TBankAccount &account);
    void changeAccount(int index, const TBankAccount &account);
    void removeAccount(int index);

    // Sends the changes inside the current transaction.
    void write();
    // After the transaction that write() ran in committed: what was sent
    // counts as stored.
    void confirm();
    // Sends them in a transaction of its own (committed) or inside the
    // caller's; nothing stays written when a write is refused. Returns the
    // customer's key.
    int save();

private:
    void writeAccounts();

    korvex::db::TxDatabase &m_db;
    TCachedRow m_customer;
    TCachedRow m_factory;
    TCachedRow m_person;
    TCachedRow m_executor;
    QList<TBankAccount> m_accounts;
    QList<QVariant> m_removedAccounts;
    QList<TCachedRow *> m_written;
    QString m_address;
};

} // namespace korvex::customers
