#include "boRentContract.h"

#include "billingDialogs.h"

#include "accounting/xBookkeepingLink.h"
#include "customers/boCustomer.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "debt/boRentDebt.h"
#include "reference/boCurrency.h"
#include "shell/DocumentCounter.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xPrompt.h"

#include <QDebug>

namespace korvex::billing {

using namespace korvex::db;
using korvex::shell::TxDocumentCounter;
using korvex::widgets::TxSqlFilter;

namespace {

const QString CounterOption = QStringLiteral("rentcontractnumber");

const char *const SqlContractColumns =
    "id, customerkey, currkey, supcontractkey, number, name, signdate, expriredate, actiondate, paymentday, "
    "paymentkey, disabled, filename";

const char *const SqlPositions =
    "SELECT cs.id, cs.servicekey, cs.objectkey, cs.costncu, cs.costcurr, cs.typereckoningkey, cs.ncureckoning,"
    " cs.countobject, cs.description, cs.description2, s.name AS servicename, o.name AS objectname,"
    " COALESCE(s.currservice, 0) AS currservice"
    " FROM rent_contractservice cs"
    " JOIN rent_service s ON s.id = cs.servicekey"
    " LEFT JOIN rent_object o ON o.id = cs.objectkey"
    " WHERE cs.contractkey = ? ORDER BY cs.id";

// The objects of a contract are released only where no other open contract
// holds them: two contracts may share an object (an old closed one and its
// renewal, or a service without occupancy).
const char *const SqlReleaseObjects =
    "UPDATE rent_object o SET o.useful = 0"
    " WHERE o.id IN (SELECT cs.objectkey FROM rent_contractservice cs WHERE cs.contractkey = ?)"
    "   AND NOT EXISTS (SELECT 1 FROM rent_contractservice cs2 JOIN rent_contract c ON c.id = cs2.contractkey"
    "                    WHERE cs2.objectkey = o.id AND c.id <> ? AND COALESCE(c.disabled, 0) = 0)";
const char *const SqlMarkObjects =
    "UPDATE rent_object SET useful = 1"
    " WHERE id IN (SELECT objectkey FROM rent_contractservice WHERE contractkey = ?)";

// The object is held by the open contract and by no other open contract.
const char *const SqlHeldOnlyBy =
    "SELECT 1 FROM rent_contract c"
    " WHERE c.id = ? AND COALESCE(c.disabled, 0) = 0"
    "   AND EXISTS (SELECT 1 FROM rent_contractservice cs WHERE cs.contractkey = c.id AND cs.objectkey = ?)"
    "   AND NOT EXISTS (SELECT 1 FROM rent_contractservice cs JOIN rent_contract x ON x.id = cs.contractkey"
    "                    WHERE cs.objectkey = ? AND x.id <> c.id AND COALESCE(x.disabled, 0) = 0)";

QVariant nullableDate(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDate>());
}

QString text(const QVariant &v)
{
    return v.toString().trimmed();
}

QStringList contractColumns()
{
    return {QStringLiteral("customerkey"), QStringLiteral("currkey"), QStringLiteral("supcontractkey"),
            QStringLiteral("number"), QStringLiteral("name"), QStringLiteral("signdate"),
            QStringLiteral("expriredate"), QStringLiteral("actiondate"), QStringLiteral("paymentday"),
            QStringLiteral("paymentkey"), QStringLiteral("disabled"), QStringLiteral("filename")};
}

QVariantList contractValues(const TContractRecord &c)
{
    return {nullableInt(c.customerKey), nullableInt(c.currKey), nullableInt(c.supContractKey), nullableText(c.number),
            nullableText(c.name), nullableDate(c.signDate), nullableDate(c.expireDate), nullableDate(c.actionDate),
            nullableInt(c.paymentDay), nullableInt(c.paymentKey), c.disabled ? 1 : 0, nullableText(c.fileName)};
}

bool isOpen(TxDatabase &db, int contractKey, bool *exists = nullptr)
{
    const QVariant disabled =
        TxQuery::scalar(db, QStringLiteral("SELECT COALESCE(disabled, 0) FROM rent_contract WHERE id = ?"), {contractKey});
    if (exists)
        *exists = disabled.isValid();
    return disabled.isValid() && disabled.toInt() == 0;
}

} // namespace

TboRentContract::TboRentContract(korvex::shell::TAppContext &context, TBillingDialogs *dialogs,
                                 korvex::accounting::TCustomerSyncLink *sync, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
    , m_sync(sync)
    , m_pricing(std::make_unique<TPositionPricing>(context))
    , m_options(std::make_unique<korvex::shell::TxOptionFilter>(context.options, QStringLiteral("rent_contract_")))
{
    const QDate today = QDate::currentDate();
    m_options->bindDate(QStringLiteral("startsigndate"), &m_filter.startSignDate, today);
    m_options->bindDate(QStringLiteral("endsigndate"), &m_filter.endSignDate, today);
    m_options->bindDate(QStringLiteral("startExpriredate"), &m_filter.startExpireDate, today);
    m_options->bindDate(QStringLiteral("endExpriredate"), &m_filter.endExpireDate, today);
    m_options->bindInt(QStringLiteral("signdate"), &m_flags.signDate, 1);
    m_options->bindInt(QStringLiteral("Expriredate"), &m_flags.expireDate, 1);
    m_options->bindInt(QStringLiteral("Customer"), &m_flags.customer, 1);
    m_options->bindInt(QStringLiteral("CustomerKey"), &m_filter.customerKey, 0);
    m_options->bindInt(QStringLiteral("Payment"), &m_flags.payment, 1);
    m_options->bindInt(QStringLiteral("PaymentKey"), &m_filter.paymentKey, 0);
    m_options->bindInt(QStringLiteral("sortcontract"), &m_filter.sortOrder, TContractFilter::ByNumber);
    m_options->bindInt(QStringLiteral("ActiveContract"), &m_filter.activity, TContractFilter::AllContracts);
    LoadFilter();
}

TboRentContract::~TboRentContract()
{
    if (!m_filterChanged)
        return;
    try {
        SaveFilter();
    } catch (const std::exception &e) {
        // A destructor must not throw; the filter is only a convenience.
        qWarning("The contract filter was not stored: %s", e.what());
    }
}

TBillingDialogs &TboRentContract::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentContract");
}

korvex::accounting::TCustomerSyncLink &TboRentContract::sync() const
{
    static korvex::accounting::TCustomerSyncLink none;
    return m_sync ? *m_sync : none;
}

// --- Filter ----------------------------------------------------------------------------

void TboRentContract::LoadFilter()
{
    m_options->load();
    // A flag is set only by a stored 1.
    m_filter.signDateUnlimited = m_flags.signDate == 1;
    m_filter.expireDateUnlimited = m_flags.expireDate == 1;
    m_filter.allCustomers = m_flags.customer == 1;
    m_filter.allPayments = m_flags.payment == 1;
    if (m_filter.sortOrder < TContractFilter::ByNumber || m_filter.sortOrder > TContractFilter::Unsorted)
        m_filter.sortOrder = TContractFilter::ByNumber;
    if (m_filter.activity < TContractFilter::AllContracts || m_filter.activity > TContractFilter::ClosedOnly)
        m_filter.activity = TContractFilter::AllContracts;
}

void TboRentContract::SaveFilter()
{
    m_flags.signDate = m_filter.signDateUnlimited ? 1 : 0;
    m_flags.expireDate = m_filter.expireDateUnlimited ? 1 : 0;
    m_flags.customer = m_filter.allCustomers ? 1 : 0;
    m_flags.payment = m_filter.allPayments ? 1 : 0;
    runInTransaction(m_context.db, [this] { m_options->save(); });
    m_filterChanged = false;
}

bool TboRentContract::EditFilter()
{
    TContractFilter edited = m_filter;
    if (!requireDialogs().contractFilterDialog(*this, edited))
        return false;
    m_filter = edited;
    SaveFilter();
    return true;
}

void TboRentContract::SetSortOrder(int order)
{
    m_filter.sortOrder = order;
    SaveFilter();
}

TxSqlFilter TboRentContract::listStatement(const TContractFilter &f)
{
    TxSqlFilter select(QStringLiteral("SELECT cus.name AS customercal, con.* FROM rent_contract con"
                                      " INNER JOIN cst_customer cus ON (con.customerkey = cus.customerkey)"));
    QString glue = QStringLiteral("WHERE ");
    auto where = [&](const QString &condition, const QVariantList &values) {
        select.addList(glue + condition, values);
        glue = QStringLiteral("AND ");
    };
    if (!f.signDateUnlimited)
        where(QStringLiteral("con.signdate >= ? AND con.signdate <= ?"),
              {nullableDate(f.startSignDate), nullableDate(f.endSignDate)});
    if (!f.expireDateUnlimited)
        where(QStringLiteral("con.expriredate >= ? AND con.expriredate <= ?"),
              {nullableDate(f.startExpireDate), nullableDate(f.endExpireDate)});
    if (!f.allCustomers)
        where(QStringLiteral("con.customerkey = ?"), {f.customerKey});
    if (!f.allPayments)
        where(QStringLiteral("con.paymentkey = ?"), {f.paymentKey});
    if (f.activity == TContractFilter::OpenOnly || f.activity == TContractFilter::ClosedOnly)
        where(QStringLiteral("COALESCE(con.disabled, 0) = ?"), {f.activity == TContractFilter::ClosedOnly ? 1 : 0});
    return select;
}

QString TboRentContract::listOrder(int sortOrder)
{
    // Each order but the customer's name has its index with the key in both
    // directions; that one is sorted on the server (its migration says why).
    switch (sortOrder) {
    case TContractFilter::ByNumber: return QStringLiteral("number");
    case TContractFilter::BySignDate: return QStringLiteral("signdate");
    case TContractFilter::ByExpireDate: return QStringLiteral("expriredate");
    case TContractFilter::ByName: return QStringLiteral("name");
    case TContractFilter::ByCustomer: return QStringLiteral("customercal");
    default: return {};
    }
}

QList<int> TboRentContract::openListedKeys() const
{
    const TxSqlFilter list = listStatement(m_filter);
    TxSqlFilter select(QStringLiteral("SELECT l.id FROM (") + list.text()
                           + QStringLiteral(") l WHERE COALESCE(l.disabled, 0) = 0"),
                       list.values());
    QList<int> keys;
    TxQuery q(m_context.db);
    q.exec(select.text(), select.values());
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

// --- Operations ------------------------------------------------------------------------

bool TboRentContract::openDialog(TContractEdit edit, int *savedKey)
{
    TBillingDialogs &dialogs = requireDialogs();
    // The customers the bookkeeping system changed come first, so that the
    // dialog offers them as they are now.
    sync().ProcessChangeQueue();
    int saved = 0;
    const bool stored = dialogs.contractDialog(*this, edit, saved);
    if (stored && savedKey)
        *savedKey = saved;
    return stored;
}

bool TboRentContract::NewContract(int *newKey)
{
    requireDialogs();
    return openDialog(newContract(), newKey);
}

bool TboRentContract::EditContract(int key)
{
    requireDialogs();
    const std::optional<TContractEdit> edit = readContract(key);
    return edit && openDialog(*edit, nullptr);
}

bool TboRentContract::RenewContract(int key, int *newKey)
{
    requireDialogs();
    const std::optional<TContractEdit> edit = renewalOf(key);
    return edit && openDialog(*edit, newKey);
}

bool TboRentContract::DeleteContract(int key)
{
    const korvex::widgets::TDeleteTexts texts{tr("Удалить договор?"), tr("Вниание!"), tr("Договор уже где-то используется"),
                                              korvex::widgets::TxPrompt::attention()};
    // An open contract that goes frees its objects with it.
    return korvex::widgets::confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                                             {{QString::fromLatin1(SqlReleaseObjects), {key, key}},
                                              {QStringLiteral("DELETE FROM rent_contract WHERE id = ?"), {key}}});
}

bool TboRentContract::CloseContract(int key, bool ask)
{
    if (!isOpen(m_context.db, key))
        return false;
    if (ask && !requireDialogs().prompt().confirm(tr("Закрыть договор?"), korvex::widgets::TxPrompt::attentionBang()))
        return false;
    TxWriteScope scope(m_context.db);
    TxQuery::execute(m_context.db, QStringLiteral("UPDATE rent_contract SET disabled = 1 WHERE id = ?"), {key});
    markObjects(key, false);
    scope.commit();
    return true;
}

void TboRentContract::ReleaseObjects(int key)
{
    runInTransaction(m_context.db, [&] { markObjects(key, false); });
}

void TboRentContract::markObjects(int contractKey, bool inUse)
{
    if (inUse)
        TxQuery::execute(m_context.db, QString::fromLatin1(SqlMarkObjects), {contractKey});
    else
        TxQuery::execute(m_context.db, QString::fromLatin1(SqlReleaseObjects), {contractKey, contractKey});
}

bool TboRentContract::ShowOpenContracts()
{
    return requireDialogs().contractListDialog(*this);
}

bool TboRentContract::ChooseContractServices(int customerKey, bool customerChangeable, QStringList &keys,
                                             int contractKey)
{
    if (customerKey == 0)
        return false;
    TContractServiceChoice choice{customerKey, customerChangeable, contractKey, {}};
    if (!requireDialogs().chooseContractServices(*this, choice))
        return false;
    keys.clear();
    for (int key : std::as_const(choice.keys))
        keys << QString::number(key);
    return true;
}

// --- The contract dialog's rows --------------------------------------------------------

TContractEdit TboRentContract::newContract() const
{
    const korvex::shell::TmmOptions &options = m_context.options;
    const QDate today = QDate::currentDate();
    TContractEdit edit;
    edit.kind = TContractEdit::Kind::New;
    TContractRecord &c = edit.contract;
    c.id = m_context.db.newKeySelect(QStringLiteral("rent_p_getcontractkey"), QStringLiteral("contractkey"));
    c.signDate = today;
    c.actionDate = today;
    c.number = TxDocumentCounter(m_context.options, CounterOption).proposal();
    c.paymentDay = options.integerOption(QStringLiteral("rentcontractpaymentday"), 1);
    c.expireDate = options.dateOption(QStringLiteral("rentcontractEXPRIREDATE"), today);
    c.currKey = options.GetIntegerOption(QStringLiteral("rentcurrkey"));
    return edit;
}

std::optional<TContractEdit> TboRentContract::readContract(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_contract WHERE id = ?").arg(QLatin1String(SqlContractColumns)), {key});
    if (!q.next())
        return std::nullopt;
    TContractEdit edit;
    edit.kind = TContractEdit::Kind::Edit;
    TContractRecord &c = edit.contract;
    c.id = q.value(QStringLiteral("id")).toInt();
    c.customerKey = optionalInt(q.value(QStringLiteral("customerkey")));
    c.currKey = optionalInt(q.value(QStringLiteral("currkey")));
    c.supContractKey = optionalInt(q.value(QStringLiteral("supcontractkey")));
    c.number = text(q.value(QStringLiteral("number")));
    c.name = text(q.value(QStringLiteral("name")));
    c.signDate = q.value(QStringLiteral("signdate")).toDate();
    c.expireDate = q.value(QStringLiteral("expriredate")).toDate();
    c.actionDate = q.value(QStringLiteral("actiondate")).toDate();
    c.paymentDay = optionalInt(q.value(QStringLiteral("paymentday")));
    c.paymentKey = optionalInt(q.value(QStringLiteral("paymentkey")));
    c.disabled = q.value(QStringLiteral("disabled")).toInt() == 1;
    c.fileName = text(q.value(QStringLiteral("filename")));
    edit.services = readPositions(key);
    edit.supplements = readSupplements(key);
    return edit;
}

std::optional<TContractEdit> TboRentContract::renewalOf(int key) const
{
    std::optional<TContractEdit> old = readContract(key);
    if (!old || old->contract.disabled)
        return std::nullopt;
    TContractEdit edit;
    edit.kind = TContractEdit::Kind::Renewal;
    // The new contract is the old one as it stood, open, with its end date:
    // the user sets the new term in the dialog.
    edit.contract = old->contract;
    edit.contract.id = m_context.db.newKeySelect(QStringLiteral("rent_p_getcontractkey"), QStringLiteral("contractkey"));
    edit.contract.signDate = QDate::currentDate();
    edit.contract.disabled = false;
    edit.services = old->services;
    for (TContractServiceRecord &s : edit.services)
        s.id = 0;
    edit.renewedKey = key;
    const int days = m_context.options.integerOption(QStringLiteral("rentCountContractDay"), 0);
    edit.renewedEnd = QDate::currentDate().addDays(-days);
    return edit;
}

QList<TContractServiceRecord> TboRentContract::readPositions(int contractKey) const
{
    QList<TContractServiceRecord> rows;
    TxQuery q(m_context.db);
    q.exec(QString::fromLatin1(SqlPositions), {contractKey});
    while (q.next()) {
        TContractServiceRecord r;
        r.id = q.value(0).toInt();
        r.serviceKey = q.value(1).toInt();
        r.objectKey = optionalInt(q.value(2));
        r.costNcu = q.value(3).toDouble();
        r.costCurr = q.value(4).toDouble();
        r.typeReckoningKey = optionalInt(q.value(5));
        r.ncuReckoning = optionalInt(q.value(6));
        r.countObject = optionalDouble(q.value(7));
        r.description = q.value(8).toString();
        r.description2 = q.value(9).toString();
        r.serviceName = text(q.value(10));
        r.objectName = text(q.value(11));
        r.currService = q.value(12).toInt() == 1;
        rows << r;
    }
    return rows;
}

QList<TSupplementRecord> TboRentContract::readSupplements(int contractKey) const
{
    QList<TSupplementRecord> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, number, supdate, name, description, filename FROM rent_supplement"
                          " WHERE contractkey = ? ORDER BY id"),
           {contractKey});
    while (q.next())
        rows << TSupplementRecord{q.value(0).toInt(), text(q.value(1)), q.value(2).toDate(), text(q.value(3)),
                                  q.value(4).toString(), text(q.value(5))};
    return rows;
}

void TboRentContract::writeRows(TContractEdit &edit)
{
    const TContractRecord &c = edit.contract;
    if (edit.isNew()) {
        insertRow(m_context.db, QStringLiteral("rent_contract"), QStringLiteral("id"), c.id, contractColumns(),
                  contractValues(c));
    } else if (updateRow(m_context.db, QStringLiteral("rent_contract"), QStringLiteral("id"), c.id, contractColumns(),
                         contractValues(c))
               == 0) {
        throw EDatabaseError(tr("Договор удален другим пользователем"));
    }
    QList<TxDetailRow> rows;
    for (const TContractServiceRecord &s : std::as_const(edit.services))
        rows << TxDetailRow{s.id,
                            {s.serviceKey, nullableInt(s.objectKey), s.costNcu, s.costCurr, nullableInt(s.typeReckoningKey),
                             nullableInt(s.ncuReckoning), nullableDouble(s.countObject), nullableText(s.description),
                             nullableText(s.description2)}};
    const QList<int> keys = writeDetailRows(
        m_context.db, QStringLiteral("rent_contractservice"), QStringLiteral("contractkey"), c.id,
        QStringLiteral("gen_rent_contractservice"),
        {QStringLiteral("servicekey"), QStringLiteral("objectkey"), QStringLiteral("costncu"), QStringLiteral("costcurr"),
         QStringLiteral("typereckoningkey"), QStringLiteral("ncureckoning"), QStringLiteral("countobject"),
         QStringLiteral("description"), QStringLiteral("description2")},
        rows);
    for (qsizetype i = 0; i < keys.size(); ++i)
        edit.services[i].id = keys.at(i);
}

QStringList TboRentContract::objectsUsedElsewhere(const TContractEdit &edit) const
{
    QStringList names;
    QList<int> asked;
    TxStoredProc useObject(m_context.db, QStringLiteral("RENT_P_USEOBJECT"));
    for (const TContractServiceRecord &s : edit.services) {
        if (!s.objectKey || asked.contains(*s.objectKey))
            continue;
        asked << *s.objectKey;
        useObject.setParam(QStringLiteral("OBJECTKEY"), *s.objectKey);
        useObject.execute();
        if (useObject.output(QStringLiteral("USEFUL")).toInt() != 0)
            names << s.objectName;
    }
    return names;
}

int TboRentContract::writeContract(TContractEdit &edit)
{
    TxDatabase &db = m_context.db;
    TContractEdit written = edit;
    const int key = written.contract.id;
    TxWriteScope scope(db);
    // The contract's own objects (and the renewed contract's) must not count
    // as used elsewhere.
    if (written.kind == TContractEdit::Kind::Edit && isOpen(db, key))
        markObjects(key, false);
    if (written.kind == TContractEdit::Kind::Renewal) {
        markObjects(written.renewedKey, false);
        TxQuery::execute(db, QStringLiteral("UPDATE rent_contract SET disabled = 1, expriredate = ? WHERE id = ?"),
                         {nullableDate(written.renewedEnd), written.renewedKey});
    }
    if (!written.contract.disabled) {
        const QStringList used = objectsUsedElsewhere(written);
        if (!used.isEmpty()) {
            QString names;
            for (const QString &name : used)
                names += name + QLatin1Char(' ');
            throw EBusinessError(tr("Договор не может быть открытым, т.к. объекты: ") + names
                                 + tr(" уже используются в других договорах"));
        }
    }
    writeRows(written);
    QList<TxDetailRow> supplements;
    for (const TSupplementRecord &s : std::as_const(written.supplements))
        supplements << TxDetailRow{s.id,
                                   {nullableText(s.number), nullableDate(s.supDate), nullableText(s.name),
                                    nullableText(s.description), nullableText(s.fileName)}};
    const QList<int> supplementKeys = writeDetailRows(
        db, QStringLiteral("rent_supplement"), QStringLiteral("contractkey"), key, QStringLiteral("gen_rent_supplement"),
        {QStringLiteral("number"), QStringLiteral("supdate"), QStringLiteral("name"), QStringLiteral("description"),
         QStringLiteral("filename")},
        supplements);
    for (qsizetype i = 0; i < supplementKeys.size(); ++i)
        written.supplements[i].id = supplementKeys.at(i);
    if (!written.contract.disabled)
        markObjects(key, true);
    TxStoredProc sum(db, QStringLiteral("RENT_P_SUMCONTRACT"));
    sum.setParam(QStringLiteral("CONTRACTKEY"), key);
    sum.execute();
    TxDocumentCounter(m_context.options, CounterOption).advancePast(written.contract.number);
    korvex::reference::TboCurrency currency(m_context);
    for (const TTypedRate &r : std::as_const(written.typedRates)) {
        if (r.currKey > 0 && r.rate > 0)
            currency.SetRate(r.currKey, {}, r.rate, r.date);
    }
    scope.commit();
    written.typedRates.clear();
    edit = written;
    return key;
}

void TboRentContract::contractSaved(TContractEdit &edit)
{
    if (!edit.customerCardSaved)
        return;
    edit.customerCardSaved = false;
    sync().TransferNewCustomers();
}

void TboRentContract::addPositions(TContractServiceModel &model, const QList<TServiceObjectPair> &pairs)
{
    const bool takeFormula = m_context.options.integerOption(QStringLiteral("rentautoreplacereckoning"), 0) == 1;
    QList<QPair<int, int>> asked;
    for (const TServiceObjectPair &p : pairs)
        asked.append({p.serviceKey, p.objectKey.value_or(0)});
    const QList<std::optional<TPriceListEntry>> entries = m_pricing->priceLists(asked);
    TxQuery currService(m_context.db);
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const TServiceObjectPair &p = pairs.at(i);
        TContractServiceRecord r;
        r.serviceKey = p.serviceKey;
        r.objectKey = p.objectKey;
        r.serviceName = p.serviceName;
        r.objectName = p.objectName;
        currService.exec(QStringLiteral("SELECT COALESCE(currservice, 0) FROM rent_service WHERE id = ?"), {p.serviceKey});
        r.currService = currService.next() && currService.value(0).toInt() == 1;
        const int row = model.appendRecord(r);
        if (!entries.at(i))
            continue;
        model.takePriceListPrices(row, *entries.at(i));
        if (takeFormula)
            model.takePriceListFormula(row, *entries.at(i));
    }
}

bool TboRentContract::objectAvailable(int objectKey, const TContractEdit &edit) const
{
    TxStoredProc useObject(m_context.db, QStringLiteral("RENT_P_USEOBJECT"));
    useObject.setParam(QStringLiteral("OBJECTKEY"), objectKey);
    useObject.execute();
    if (useObject.output(QStringLiteral("USEFUL")).toInt() == 0)
        return true;
    // Saving releases the objects of the contract edited (or renewed) first.
    const int own = edit.kind == TContractEdit::Kind::Edit      ? edit.contract.id
                  : edit.kind == TContractEdit::Kind::Renewal ? edit.renewedKey
                                                                : 0;
    return own > 0
        && TxQuery::scalar(m_context.db, QString::fromLatin1(SqlHeldOnlyBy), {own, objectKey, objectKey}).isValid();
}

bool TboRentContract::mayDeletePosition(int contractServiceKey) const
{
    if (contractServiceKey <= 0)
        return true;
    TxStoredProc test(m_context.db, QStringLiteral("RENT_P_TESTCONTRACTSERVICE"));
    test.setParam(QStringLiteral("CONTRACTSERVICEKEY"), contractServiceKey);
    test.execute();
    return test.output(QStringLiteral("OK")).toInt() == 1;
}

QList<TReckonResult> TboRentContract::reckonPositions(const TContractEdit &edit, const QList<int> &rows, double rate)
{
    // The engine reads positions from the database: the edit is written for
    // it inside a scope that is never committed.
    TContractEdit written = edit;
    TxReadScope scope(m_context.db);
    writeRows(written);
    QList<int> keys;
    for (int row : rows)
        keys << (row >= 0 && row < written.services.size() ? written.services.at(row).id : 0);
    return m_pricing->reckon(keys, rate);
}

double TboRentContract::rateOn(std::optional<int> currKey, const QDate &date) const
{
    if (!currKey || *currKey <= 0 || !date.isValid())
        return 0;
    korvex::reference::TboCurrency currency(m_context);
    return currency.FindRate(*currKey, {}, date) ? currency.Rate : 0;
}

QHash<int, QString> TboRentContract::reckoningTypeNames() const
{
    QHash<int, QString> names;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, name FROM rent_typereckoning"));
    while (q.next())
        names.insert(q.value(0).toInt(), text(q.value(1)));
    return names;
}

// --- Quick list ----------------------------------------------------------------------------

QList<TContractListRow> TboRentContract::readOpenContracts() const
{
    QList<TContractListRow> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT cus.name AS customercal, con.id, con.number, con.name, con.signdate, con.expriredate,"
                          " con.actiondate FROM rent_contract con"
                          " JOIN cst_customer cus ON cus.customerkey = con.customerkey"
                          " WHERE COALESCE(con.disabled, 0) = 0"
                          " ORDER BY con.number, cus.name, con.signdate"));
    while (q.next())
        rows << TContractListRow{q.value(1).toInt(), text(q.value(0)), text(q.value(2)), text(q.value(3)),
                                 q.value(4).toDate(), q.value(5).toDate(), q.value(6).toDate()};
    return rows;
}

void TboRentContract::writeContractList(const QList<TContractListRow> &rows)
{
    TxWriteScope scope(m_context.db);
    const TxDocumentCounter counter(m_context.options, CounterOption);
    for (const TContractListRow &r : rows) {
        const int n = updateRow(m_context.db, QStringLiteral("rent_contract"), QStringLiteral("id"), r.id,
                                {QStringLiteral("signdate"), QStringLiteral("expriredate"), QStringLiteral("number"),
                                 QStringLiteral("name"), QStringLiteral("actiondate")},
                                {nullableDate(r.signDate), nullableDate(r.expireDate), nullableText(r.number),
                                 nullableText(r.name), nullableDate(r.actionDate)});
        if (n == 0)
            throw EDatabaseError(tr("Договор %1 удален другим пользователем").arg(r.number));
        counter.advancePast(r.number);
    }
    scope.commit();
}

// --- Choosing positions --------------------------------------------------------------------

TxSqlFilter TboRentContract::customerContracts(int customerKey, bool openOnly)
{
    TxSqlFilter select(QStringLiteral("SELECT con.id, con.number, con.name FROM rent_contract con WHERE con.customerkey = ?"),
                       {customerKey});
    select.addIf(openOnly, QStringLiteral("AND COALESCE(con.disabled, 0) = ?"), 0);
    select.add(QStringLiteral("ORDER BY con.number, con.id"));
    return select;
}

TxSqlFilter TboRentContract::choiceStatement(int customerKey, int contractKey, bool openOnly, const QString &priorityText)
{
    bool ok = false;
    int priority = priorityText.trimmed().toInt(&ok);
    if (!ok)
        priority = 20;
    TxSqlFilter select(QStringLiteral(
                           "SELECT cs.id, s.name AS servicecal, s.priority, o.name AS objectcal, con.number AS contractcal,"
                           " cus.name AS customercal, cs.costncu, cs.costcurr"
                           " FROM rent_contractservice cs"
                           " JOIN rent_contract con ON con.id = cs.contractkey"
                           " JOIN rent_service s ON s.id = cs.servicekey"
                           " LEFT JOIN rent_object o ON o.id = cs.objectkey"
                           " JOIN cst_customer cus ON cus.customerkey = con.customerkey"
                           " WHERE con.customerkey = ? AND s.priority <= ?"),
                       {customerKey, priority});
    // contractKey 0 while one contract is asked: the customer has none.
    select.addIf(contractKey >= 0, QStringLiteral("AND con.id = ?"), contractKey);
    select.addIf(openOnly, QStringLiteral("AND COALESCE(con.disabled, 0) = ?"), 0);
    return select;
}

// --- What the page lists ---------------------------------------------------------------

QString TboRentContract::positionsSql()
{
    return QStringLiteral("SELECT cs.id, s.name AS servicecal, o.name AS objectcal, cs.costncu, cs.costcurr,"
                          " cs.countobject, t.name AS typereckoningcal, cs.description, cs.description2"
                          " FROM rent_contractservice cs"
                          " JOIN rent_service s ON s.id = cs.servicekey"
                          " LEFT JOIN rent_object o ON o.id = cs.objectkey"
                          " LEFT JOIN rent_typereckoning t ON t.id = cs.typereckoningkey"
                          " WHERE cs.contractkey = ?");
}

QString TboRentContract::supplementsSql()
{
    return QStringLiteral("SELECT id, number, supdate, name, description, filename FROM rent_supplement"
                          " WHERE contractkey = ?");
}

QString TboRentContract::bankAccountsSql()
{
    return QStringLiteral("SELECT ba.bankaccountkey, ba.name, b.name AS bankname, ba.account"
                          " FROM cst_bankaccount ba LEFT JOIN cst_customer b ON b.customerkey = ba.bankkey"
                          " WHERE ba.customerkey = ?");
}

QString TboRentContract::usedObjectsSql()
{
    return QStringLiteral("SELECT o.id, o.name, l.name AS locationname, t.name AS objecttypename"
                          " FROM rent_object o"
                          " LEFT JOIN rent_location l ON l.id = o.locationkey"
                          " LEFT JOIN rent_objecttype t ON t.id = o.objecttypekey"
                          " WHERE o.id IN (SELECT cs.objectkey FROM rent_contractservice cs"
                          "                JOIN rent_contract c ON c.id = cs.contractkey"
                          "                WHERE c.customerkey = ? AND COALESCE(c.disabled, 0) = 0)");
}

QString TboRentContract::rentalHistorySql()
{
    return QStringLiteral("SELECT DISTINCT o.name AS objectname, c.number, c.signdate, c.expriredate,"
                          " t.name AS objecttypename, l.name AS locationname"
                          " FROM rent_contract c"
                          " JOIN rent_contractservice cs ON cs.contractkey = c.id"
                          " JOIN rent_object o ON o.id = cs.objectkey"
                          " LEFT JOIN rent_location l ON l.id = o.locationkey"
                          " LEFT JOIN rent_objecttype t ON t.id = o.objecttypekey"
                          " WHERE c.customerkey = ?");
}

QList<QPair<QString, QString>> TboRentContract::customerRequisites(int customerKey) const
{
    QList<QPair<QString, QString>> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT name, fullname, code, unn, okpo, okonh, soato, soou, phone, fax, email, url, pobox,"
                          " zipcode, placekey, domicile FROM cst_customer WHERE customerkey = ?"),
           {customerKey});
    if (!q.next())
        return rows;
    const std::pair<const char *, const char *> fields[] = {
        {"name", QT_TR_NOOP("Наименование")},   {"fullname", QT_TR_NOOP("Полное наименование")},
        {"code", QT_TR_NOOP("Код")},            {"unn", QT_TR_NOOP("УНН")},
        {"okpo", QT_TR_NOOP("ОКПО")},           {"okonh", QT_TR_NOOP("ОКОНХ")},
        {"soato", QT_TR_NOOP("СОАТО")},         {"soou", QT_TR_NOOP("СООУ")},
        {"phone", QT_TR_NOOP("Телефон")},       {"fax", QT_TR_NOOP("Факс")},
        {"email", QT_TR_NOOP("e-mail")},        {"url", QT_TR_NOOP("URL")},
        {"pobox", QT_TR_NOOP("Почтовый ящик")}, {"zipcode", QT_TR_NOOP("Индекс")},
    };
    for (const auto &[field, caption] : fields)
        rows << qMakePair(tr(caption), text(q.value(QString::fromLatin1(field))));
    rows << qMakePair(tr("Адрес"), korvex::customers::TboCustomer::placeAddress(
                                       m_context.db, optionalInt(q.value(QStringLiteral("placekey")))));
    rows << qMakePair(tr("Юридический адрес"), text(q.value(QStringLiteral("domicile"))));
    return rows;
}

TContractDebts TboRentContract::debtsOf(int contractKey, int customerKey) const
{
    TContractDebts debts;
    TboRentDebt debt(m_context.db);
    debt.DebtOfContract(contractKey);
    debts.contractNcu = debt.ncu();
    debts.contractCurr = debt.curr();
    debt.DebtOfCustomer(customerKey);
    debts.customerNcu = debt.ncu();
    debts.customerCurr = debt.curr();
    return debts;
}

// --- Values of a position --------------------------------------------------------------

QList<korvex::widgets::TxDatedValue> TboRentContract::readValues(int contractServiceKey) const
{
    // The period of the position's service, as the engine's КОЛУСЛУГ and
    // СУММАУСЛУГ count it.
    QList<korvex::widgets::TxDatedValue> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT v.id, v.contractservicedate, v.contractservicevalue"
                          " FROM rent_contractservicevalue v"
                          " JOIN rent_contractservice cs ON cs.id = v.contractservicekey"
                          " JOIN rent_service s ON s.id = cs.servicekey"
                          " WHERE v.contractservicekey = ?"
                          "   AND (s.startdate IS NULL OR v.contractservicedate >= s.startdate)"
                          "   AND (s.enddate IS NULL OR v.contractservicedate <= s.enddate)"
                          " ORDER BY v.contractservicedate, v.id"),
           {contractServiceKey});
    while (q.next())
        rows << korvex::widgets::TxDatedValue{q.value(0).toInt(), contractServiceKey, q.value(1).toDate(),
                                              optionalDouble(q.value(2))};
    return rows;
}

void TboRentContract::writeValue(korvex::widgets::TxDatedValue &r)
{
    r.id = writeRow(m_context.db, QStringLiteral("rent_contractservicevalue"), QStringLiteral("gen_rent_contractservicevalue"),
                    r.id,
                    {QStringLiteral("contractservicekey"), QStringLiteral("contractservicedate"),
                     QStringLiteral("contractservicevalue")},
                    {r.ownerKey, nullableDate(r.date), nullableDouble(r.value)},
                    tr("Значение удалено другим пользователем"));
}

void TboRentContract::deleteValue(int id)
{
    runInTransaction(m_context.db, [&] {
        TxQuery::execute(m_context.db, QStringLiteral("DELETE FROM rent_contractservicevalue WHERE id = ?"), {id});
    });
}

} // namespace korvex::billing
