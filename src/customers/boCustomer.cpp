#include "boCustomer.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"

#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;

namespace {

QStringList names(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *n : list)
        out << QString::fromLatin1(n);
    return out;
}

} // namespace

TboCustomer::TboCustomer(TxDatabase &db)
    : m_db(db)
    , m_customer(QStringLiteral("cst_customer"), QStringLiteral("customerkey"),
                 names({"kind", "externalkey", "code", "propertykindkey", "companykindkey", "name", "fullname", "phone",
                        "fax", "email", "url", "pobox", "zipcode", "placekey", "domicile", "disabled", "okonh", "soato",
                        "unn", "okpo", "soou"}))
    , m_factory(QStringLiteral("cst_factory"), QStringLiteral("customerkey"),
                names({"founddate", "director", "bookkeeper", "reception", "accounting", "personal", "mareketing",
                       "supply", "sales", "mfo", "code"}))
    , m_person(QStringLiteral("cst_person"), QStringLiteral("customerkey"),
               names({"lastname", "name", "medname", "psprtseria", "psprtnumber", "psprtdate", "psprtadmin", "regnumber",
                      "regdate", "regadmin"}))
    , m_executor(QStringLiteral("ir_executor"), QStringLiteral("customerkey"), names({"name", "phone", "fax", "email"}))
{
}

void TboCustomer::open(int key, const QString &name, int kind)
{
    m_accounts.clear();
    m_removedAccounts.clear();
    m_address.clear();
    if (key == -1) {
        const int newKey = m_db.newKey(QStringLiteral("CST_P_CUSTOMER_CUSTOMERKEY"), QStringLiteral("customerkey"));
        m_customer.setNew(newKey);
        m_customer.setValue(QStringLiteral("name"), name);
        m_customer.setValue(QStringLiteral("kind"), kind);
        m_customer.setValue(QStringLiteral("disabled"), 0);
        for (TCachedRow *r : {&m_factory, &m_person, &m_executor})
            r->setNew(newKey);
        return;
    }
    if (!m_customer.load(m_db, key))
        throw std::logic_error(QStringLiteral("cst_customer has no customer %1").arg(key).toStdString());
    m_address = placeAddress(m_db, m_customer.value(QStringLiteral("placekey")));
    for (TCachedRow *r : {&m_factory, &m_person, &m_executor})
        r->load(m_db, key);

    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT bankaccountkey, name, bankkey, bankname, account, disabled "
                          "FROM cst_p_bankaccountlist(?, NULL)"),
           {key});
    while (q.next()) {
        TBankAccount a;
        a.key = q.value(0);
        a.name = q.value(1).toString();
        a.bankKey = q.value(2);
        a.bankName = q.value(3).toString();
        a.account = q.value(4).toString();
        a.disabled = q.value(5);
        a.stored = true;
        m_accounts << a;
    }
}

int TboCustomer::kind() const
{
    return m_customer.value(QStringLiteral("kind")).toInt();
}

void TboCustomer::setKind(int kind)
{
    m_customer.setValue(QStringLiteral("kind"), kind);
}

QString TboCustomer::placeAddress(TxDatabase &db, const QVariant &placeKey)
{
    if (placeKey.isNull())
        return {};
    TxStoredProc proc(db, QStringLiteral("FIN_P_PLC_PLACE2STR"));
    proc.setParam(QStringLiteral("placekey"), placeKey);
    proc.execute();
    return proc.output(QStringLiteral("fulladdress")).toString();
}

void TboCustomer::setPlace(const QVariant &placeKey)
{
    m_customer.setValue(QStringLiteral("placekey"), placeKey);
    m_address = placeAddress(m_db, placeKey);
}

void TboCustomer::addAccount(const TBankAccount &account)
{
    TBankAccount a = account;
    a.stored = false;
    a.changed = true;
    m_accounts << a;
}

void TboCustomer::changeAccount(int index, const TBankAccount &account)
{
    TBankAccount &a = m_accounts[index];
    const bool stored = a.stored;
    a = account;
    a.stored = stored;
    a.changed = true;
}

void TboCustomer::removeAccount(int index)
{
    if (m_accounts.at(index).stored)
        m_removedAccounts << m_accounts.at(index).key;
    m_accounts.removeAt(index);
}

void TboCustomer::writeAccounts()
{
    for (const QVariant &key : std::as_const(m_removedAccounts))
        TxQuery::execute(m_db, QStringLiteral("DELETE FROM cst_bankaccount WHERE bankaccountkey = ?"), {key});
    for (const TBankAccount &a : std::as_const(m_accounts)) {
        if (!a.changed)
            continue;
        const QVariant name = a.name.trimmed().isEmpty() ? QVariant() : QVariant(a.name);
        const QVariant account = a.account.trimmed().isEmpty() ? QVariant() : QVariant(a.account);
        const QVariant disabled = a.disabled.isNull() ? QVariant(0) : a.disabled;
        if (a.stored)
            TxQuery::execute(m_db,
                             QStringLiteral("UPDATE cst_bankaccount SET bankkey = ?, name = ?, account = ?, disabled = ? "
                                            "WHERE bankaccountkey = ?"),
                             {a.bankKey, name, account, disabled, a.key});
        else
            TxQuery::execute(m_db,
                             QStringLiteral("INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, "
                                            "account, disabled) VALUES (?, ?, ?, ?, ?, ?)"),
                             {a.key, key(), a.bankKey, name, account, disabled});
    }
}

void TboCustomer::write()
{
    m_written = {&m_customer};
    m_customer.write(m_db);
    writeAccounts();
    // Details nobody filled in are not written: an enterprise gets no person
    // row, a person no enterprise row.
    auto details = [this](TCachedRow &row, bool wanted) {
        row.setKey(key());
        if (row.exists() ? row.isModified() : (wanted && !row.isBlank())) {
            row.write(m_db);
            m_written << &row;
        }
    };
    details(m_factory, hasFactoryDetails(kind()));
    details(m_person, !hasFactoryDetails(kind()));
    details(m_executor, true);
}

int TboCustomer::save()
{
    runInTransaction(m_db, [this] { write(); });
    confirm();
    return key();
}

void TboCustomer::confirm()
{
    // Only after the commit: a refused write leaves every row as it was held,
    // ready to be sent again whole.
    for (TCachedRow *r : std::as_const(m_written))
        r->confirm();
    m_written.clear();
    for (TBankAccount &a : m_accounts) {
        a.stored = true;
        a.changed = false;
    }
    m_removedAccounts.clear();
}

} // namespace korvex::customers
