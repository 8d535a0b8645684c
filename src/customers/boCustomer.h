#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

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

// One row of cst_customer. kind: 1 enterprise, 2 bank, 3 private person,
// 4 private entrepreneur.
struct TCustomerRecord {
    int key = 0;  // customerkey
    int kind = 1;
    std::optional<int> externalKey;
    QString code;
    std::optional<int> propertyKindKey;
    std::optional<int> companyKindKey;
    QString name;
    QString fullname;
    QString phone;
    QString fax;
    QString email;
    QString url;
    QString pobox;
    QString zipcode;
    std::optional<int> placeKey;
    QString domicile;
    bool disabled = false;
    QString okonh;
    QString soato;
    QString unn;
    QString okpo;
    QString soou;
};

// The enterprise details of a customer (cst_factory).
struct TFactoryRecord {
    QDate foundDate;
    QString director;
    QString bookkeeper;
    QString reception;
    QString accounting;
    QString personal;
    QString marketing;
    QString supply;
    QString sales;
    QString mfo;
    QString code;
};

// The person details of a customer (cst_person).
struct TPersonRecord {
    QString lastName;
    QString name;
    QString middleName;
    QString passportSeries;
    QString passportNumber;
    QDate passportDate;
    QString passportIssuer;
    QString regNumber;
    QDate regDate;
    QString regIssuer;
};

// The contact person of a customer (ir_executor).
struct TExecutorRecord {
    QString name;
    QString phone;
    QString fax;
    QString email;
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

    int key() const { return m_customer.key; }
    bool isNew() const { return !m_stored.customer; }
    int kind() const { return m_customer.kind; }
    void setKind(int kind) { m_customer.kind = kind; }
    // Kinds 1 and 2 keep enterprise details, 3 and 4 person details.
    static bool hasFactoryDetails(int kind) { return kind == 1 || kind == 2; }

    TCustomerRecord &customer() { return m_customer; }
    TFactoryRecord &factory() { return m_factory; }
    TPersonRecord &person() { return m_person; }
    TExecutorRecord &executor() { return m_executor; }

    // The address text of the customer's place.
    QString addressText() const { return m_address; }
    void setPlace(std::optional<int> placeKey);
    static QString placeAddress(korvex::db::TxDatabase &db, std::optional<int> placeKey);

    const QList<TBankAccount> &accounts() const { return m_accounts; }
    void addAccount(const TBankAccount &account);
    void changeAccount(int index, const TBankAccount &account);
    void removeAccount(int index);

    // Sends the card inside the current transaction.
    void write();
    // After the transaction that write() ran in committed: what was sent
    // counts as stored.
    void confirm();
    // Sends it in a write scope of its own (committed) or inside the
    // caller's; nothing stays written when a write is refused. Returns the
    // customer's key.
    int save();

    // The tenants (customers that are not banks) by name, for the list
    // edited in place ("Клиенты").
    static QList<TCustomerRecord> readTenants(korvex::db::TxDatabase &db);
    // Stores the customer rows of that list (not their details) in one
    // write scope: all of them or none.
    static void writeListed(korvex::db::TxDatabase &db, const QList<TCustomerRecord> &rows);

private:
    // Which rows exist in the database.
    struct Stored {
        bool customer = false;
        bool factory = false;
        bool person = false;
        bool executor = false;
    };

    void writeAccounts();

    korvex::db::TxDatabase &m_db;
    TCustomerRecord m_customer;
    TFactoryRecord m_factory;
    TPersonRecord m_person;
    TExecutorRecord m_executor;
    Stored m_stored;
    Stored m_written;  // what write() sent, stored once committed
    QList<TBankAccount> m_accounts;
    QList<QVariant> m_removedAccounts;
    QString m_address;
};

} // namespace korvex::customers
