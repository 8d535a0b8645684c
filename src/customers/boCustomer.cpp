#include "boCustomer.h"

#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;

namespace {

const QStringList CustomerColumns{
    QStringLiteral("kind"), QStringLiteral("externalkey"), QStringLiteral("code"), QStringLiteral("propertykindkey"),
    QStringLiteral("companykindkey"), QStringLiteral("name"), QStringLiteral("fullname"), QStringLiteral("phone"),
    QStringLiteral("fax"), QStringLiteral("email"), QStringLiteral("url"), QStringLiteral("pobox"),
    QStringLiteral("zipcode"), QStringLiteral("placekey"), QStringLiteral("domicile"), QStringLiteral("disabled"),
    QStringLiteral("okonh"), QStringLiteral("soato"), QStringLiteral("unn"), QStringLiteral("okpo"),
    QStringLiteral("soou")};
const QStringList FactoryColumns{QStringLiteral("founddate"), QStringLiteral("director"), QStringLiteral("bookkeeper"),
                                 QStringLiteral("reception"), QStringLiteral("accounting"), QStringLiteral("personal"),
                                 QStringLiteral("mareketing"), QStringLiteral("supply"), QStringLiteral("sales"),
                                 QStringLiteral("mfo"), QStringLiteral("code")};
const QStringList PersonColumns{QStringLiteral("lastname"), QStringLiteral("name"), QStringLiteral("medname"),
                                QStringLiteral("psprtseria"), QStringLiteral("psprtnumber"), QStringLiteral("psprtdate"),
                                QStringLiteral("psprtadmin"), QStringLiteral("regnumber"), QStringLiteral("regdate"),
                                QStringLiteral("regadmin")};
const QStringList ExecutorColumns{QStringLiteral("name"), QStringLiteral("phone"), QStringLiteral("fax"),
                                  QStringLiteral("email")};

QVariant nullableDate(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDate>());
}

QString text(const TxQuery &q, const QString &column)
{
    return q.value(column).toString().trimmed();
}

// Reads the detail row of the customer; false when it has none.
bool readDetail(TxDatabase &db, const QString &table, const QStringList &columns, int key, TxQuery &q)
{
    q.exec(QStringLiteral("SELECT %1 FROM %2 WHERE customerkey = ?").arg(columns.join(QStringLiteral(", ")), table), {key});
    return q.next();
}

bool blank(const QVariantList &values)
{
    for (const QVariant &v : values) {
        if (!v.isNull())
            return false;
    }
    return true;
}

TCustomerRecord customerOf(const TxQuery &q)
{
    TCustomerRecord c;
    c.kind = q.value(QStringLiteral("kind")).toInt();
    c.externalKey = optionalInt(q.value(QStringLiteral("externalkey")));
    c.code = text(q, QStringLiteral("code"));
    c.propertyKindKey = optionalInt(q.value(QStringLiteral("propertykindkey")));
    c.companyKindKey = optionalInt(q.value(QStringLiteral("companykindkey")));
    c.name = text(q, QStringLiteral("name"));
    c.fullname = text(q, QStringLiteral("fullname"));
    c.phone = text(q, QStringLiteral("phone"));
    c.fax = text(q, QStringLiteral("fax"));
    c.email = text(q, QStringLiteral("email"));
    c.url = text(q, QStringLiteral("url"));
    c.pobox = text(q, QStringLiteral("pobox"));
    c.zipcode = text(q, QStringLiteral("zipcode"));
    c.placeKey = optionalInt(q.value(QStringLiteral("placekey")));
    c.domicile = text(q, QStringLiteral("domicile"));
    c.disabled = q.value(QStringLiteral("disabled")).toInt() != 0;
    c.okonh = text(q, QStringLiteral("okonh"));
    c.soato = text(q, QStringLiteral("soato"));
    c.unn = text(q, QStringLiteral("unn"));
    c.okpo = text(q, QStringLiteral("okpo"));
    c.soou = text(q, QStringLiteral("soou"));
    return c;
}

QVariantList customerValues(const TCustomerRecord &c)
{
    return {c.kind, nullableInt(c.externalKey), nullableText(c.code), nullableInt(c.propertyKindKey),
            nullableInt(c.companyKindKey), nullableText(c.name), nullableText(c.fullname),
            nullableText(c.phone), nullableText(c.fax), nullableText(c.email), nullableText(c.url),
            nullableText(c.pobox), nullableText(c.zipcode), nullableInt(c.placeKey),
            nullableText(c.domicile), c.disabled ? 1 : 0, nullableText(c.okonh),
            nullableText(c.soato), nullableText(c.unn), nullableText(c.okpo), nullableText(c.soou)};
}

} // namespace

TboCustomer::TboCustomer(TxDatabase &db)
    : m_db(db)
{
}

void TboCustomer::open(int key, const QString &name, int kind)
{
    m_accounts.clear();
    m_removedAccounts.clear();
    m_address.clear();
    m_factory = {};
    m_person = {};
    m_executor = {};
    m_stored = {};
    m_written = {};
    if (key == -1) {
        m_customer = {};
        m_customer.key = m_db.newKey(QStringLiteral("CST_P_CUSTOMER_CUSTOMERKEY"), QStringLiteral("customerkey"));
        m_customer.name = name.trimmed();
        m_customer.kind = kind;
        return;
    }
    TxQuery q(m_db);
    if (!readDetail(m_db, QStringLiteral("cst_customer"), CustomerColumns, key, q))
        throw std::logic_error(QStringLiteral("cst_customer has no customer %1").arg(key).toStdString());
    m_customer = customerOf(q);
    m_customer.key = key;
    const TCustomerRecord &c = m_customer;
    m_stored.customer = true;
    m_address = placeAddress(m_db, c.placeKey);

    TxQuery f(m_db);
    if (readDetail(m_db, QStringLiteral("cst_factory"), FactoryColumns, key, f)) {
        m_factory.foundDate = f.value(QStringLiteral("founddate")).toDate();
        m_factory.director = text(f, QStringLiteral("director"));
        m_factory.bookkeeper = text(f, QStringLiteral("bookkeeper"));
        m_factory.reception = text(f, QStringLiteral("reception"));
        m_factory.accounting = text(f, QStringLiteral("accounting"));
        m_factory.personal = text(f, QStringLiteral("personal"));
        m_factory.marketing = text(f, QStringLiteral("mareketing"));
        m_factory.supply = text(f, QStringLiteral("supply"));
        m_factory.sales = text(f, QStringLiteral("sales"));
        m_factory.mfo = text(f, QStringLiteral("mfo"));
        m_factory.code = text(f, QStringLiteral("code"));
        m_stored.factory = true;
    }
    TxQuery p(m_db);
    if (readDetail(m_db, QStringLiteral("cst_person"), PersonColumns, key, p)) {
        m_person.lastName = text(p, QStringLiteral("lastname"));
        m_person.name = text(p, QStringLiteral("name"));
        m_person.middleName = text(p, QStringLiteral("medname"));
        m_person.passportSeries = text(p, QStringLiteral("psprtseria"));
        m_person.passportNumber = text(p, QStringLiteral("psprtnumber"));
        m_person.passportDate = p.value(QStringLiteral("psprtdate")).toDate();
        m_person.passportIssuer = text(p, QStringLiteral("psprtadmin"));
        m_person.regNumber = text(p, QStringLiteral("regnumber"));
        m_person.regDate = p.value(QStringLiteral("regdate")).toDate();
        m_person.regIssuer = text(p, QStringLiteral("regadmin"));
        m_stored.person = true;
    }
    TxQuery e(m_db);
    if (readDetail(m_db, QStringLiteral("ir_executor"), ExecutorColumns, key, e)) {
        m_executor.name = text(e, QStringLiteral("name"));
        m_executor.phone = text(e, QStringLiteral("phone"));
        m_executor.fax = text(e, QStringLiteral("fax"));
        m_executor.email = text(e, QStringLiteral("email"));
        m_stored.executor = true;
    }

    TxQuery a(m_db);
    a.exec(QStringLiteral("SELECT bankaccountkey, name, bankkey, bankname, account, disabled "
                          "FROM cst_p_bankaccountlist(?, NULL)"),
           {key});
    while (a.next()) {
        TBankAccount acc;
        acc.key = a.value(0);
        acc.name = a.value(1).toString();
        acc.bankKey = a.value(2);
        acc.bankName = a.value(3).toString();
        acc.account = a.value(4).toString();
        acc.disabled = a.value(5);
        acc.stored = true;
        m_accounts << acc;
    }
}

QString TboCustomer::placeAddress(TxDatabase &db, std::optional<int> placeKey)
{
    if (!placeKey)
        return {};
    TxStoredProc proc(db, QStringLiteral("FIN_P_PLC_PLACE2STR"));
    proc.setParam(QStringLiteral("placekey"), *placeKey);
    proc.execute();
    return proc.output(QStringLiteral("fulladdress")).toString();
}

void TboCustomer::setPlace(std::optional<int> placeKey)
{
    m_customer.placeKey = placeKey;
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
    // A customer without a name cannot be found or told apart anywhere.
    if (m_customer.name.trimmed().isEmpty())
        throw korvex::db::EBusinessError(tr("Введите наименование"));
    const QVariantList customer = customerValues(m_customer);
    const TFactoryRecord &f = m_factory;
    const QVariantList factory{nullableDate(f.foundDate), nullableText(f.director), nullableText(f.bookkeeper),
                               nullableText(f.reception), nullableText(f.accounting), nullableText(f.personal),
                               nullableText(f.marketing), nullableText(f.supply), nullableText(f.sales),
                               nullableText(f.mfo), nullableText(f.code)};
    const TPersonRecord &p = m_person;
    const QVariantList person{nullableText(p.lastName), nullableText(p.name), nullableText(p.middleName),
                              nullableText(p.passportSeries), nullableText(p.passportNumber), nullableDate(p.passportDate),
                              nullableText(p.passportIssuer), nullableText(p.regNumber), nullableDate(p.regDate),
                              nullableText(p.regIssuer)};
    const TExecutorRecord &e = m_executor;
    const QVariantList executor{nullableText(e.name), nullableText(e.phone), nullableText(e.fax), nullableText(e.email)};

    const QString keyColumn = QStringLiteral("customerkey");
    TxWriteScope scope(m_db);
    if (m_stored.customer) {
        if (updateRow(m_db, QStringLiteral("cst_customer"), keyColumn, key(), CustomerColumns, customer) == 0)
            throw EDatabaseError(tr("Клиент удален другим пользователем"));
    } else {
        insertRow(m_db, QStringLiteral("cst_customer"), keyColumn, key(), CustomerColumns, customer);
    }
    writeAccounts();
    // Details nobody filled in are not written: an enterprise gets no person
    // row, a person no enterprise row.
    auto details = [&](const QString &table, const QStringList &columns, const QVariantList &values, bool stored,
                       bool wanted) {
        if (stored)
            updateRow(m_db, table, keyColumn, key(), columns, values);
        else if (wanted && !blank(values))
            insertRow(m_db, table, keyColumn, key(), columns, values);
        else
            return false;
        return true;
    };
    Stored written;
    written.customer = true;
    written.factory = details(QStringLiteral("cst_factory"), FactoryColumns, factory, m_stored.factory,
                              hasFactoryDetails(kind()));
    written.person = details(QStringLiteral("cst_person"), PersonColumns, person, m_stored.person,
                             !hasFactoryDetails(kind()));
    written.executor = details(QStringLiteral("ir_executor"), ExecutorColumns, executor, m_stored.executor, true);
    scope.commit();
    m_written = written;
}

int TboCustomer::save()
{
    write();
    confirm();
    return key();
}

void TboCustomer::confirm()
{
    // Only after the commit: a refused write leaves the card as it was held,
    // ready to be sent again whole.
    m_stored.customer = m_stored.customer || m_written.customer;
    m_stored.factory = m_stored.factory || m_written.factory;
    m_stored.person = m_stored.person || m_written.person;
    m_stored.executor = m_stored.executor || m_written.executor;
    m_written = {};
    for (TBankAccount &a : m_accounts) {
        a.stored = true;
        a.changed = false;
    }
    m_removedAccounts.clear();
}

QList<TCustomerRecord> TboCustomer::readTenants(TxDatabase &db)
{
    QList<TCustomerRecord> rows;
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT customerkey, %1 FROM cst_customer WHERE kind <> 2 ORDER BY name, customerkey")
               .arg(CustomerColumns.join(QStringLiteral(", "))));
    while (q.next()) {
        TCustomerRecord c = customerOf(q);
        c.key = q.value(QStringLiteral("customerkey")).toInt();
        rows << c;
    }
    return rows;
}

void TboCustomer::writeListed(TxDatabase &db, const QList<TCustomerRecord> &rows)
{
    TxWriteScope scope(db);
    for (const TCustomerRecord &c : rows) {
        if (updateRow(db, QStringLiteral("cst_customer"), QStringLiteral("customerkey"), c.key, CustomerColumns,
                      customerValues(c))
            == 0)
            throw EDatabaseError(tr("Клиент удален другим пользователем"));
    }
    scope.commit();
}

} // namespace korvex::customers
