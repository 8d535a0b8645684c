#include "boRentInvoice.h"

#include "billingDialogs.h"

#include "accounting/boRentOperation.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "reference/boCurrency.h"
#include "shell/DocumentCounter.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xProgress.h"
#include "widgets/xPrompt.h"
#include "widgets/xSqlFilter.h"

#include <QDebug>
#include <QHash>

namespace korvex::billing {

using namespace korvex::db;
using korvex::shell::TxDocumentCounter;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxSqlFilter;

namespace {

const QString CounterOption = QStringLiteral("invoicenumber");

QVariant nullableDate(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDate>());
}

QString text(const QVariant &v)
{
    return v.toString().trimmed();
}

QStringList invoiceColumns()
{
    return {QStringLiteral("number"),     QStringLiteral("invoicedate"),   QStringLiteral("expiredate"),
            QStringLiteral("operationdate"), QStringLiteral("customerkey"), QStringLiteral("contractkey"),
            QStringLiteral("currkey"),    QStringLiteral("paymentkey"),    QStringLiteral("invoicetypekey"),
            QStringLiteral("information")};
}

QVariantList invoiceValues(const TInvoiceRecord &r)
{
    return {nullableText(r.number),       nullableDate(r.invoiceDate),   nullableDate(r.expireDate),
            nullableDate(r.operationDate), nullableInt(r.customerKey),   nullableInt(r.contractKey),
            nullableInt(r.currKey),       nullableInt(r.paymentKey),     nullableInt(r.invoiceTypeKey),
            nullableText(r.information)};
}

// The position columns of a line, after its own: service, object, their
// names and the currency flag.
const char *const SqlPositionColumns =
    " cs.servicekey, cs.objectkey, s.name, o.name, COALESCE(s.currservice, 0)"
    " FROM rent_contractservice cs"
    " LEFT JOIN rent_service s ON s.id = cs.servicekey"
    " LEFT JOIN rent_object o ON o.id = cs.objectkey";

void readPosition(const TxQuery &q, int first, TInvoiceLineRecord &line)
{
    line.serviceKey = q.value(first).toInt();
    line.objectKey = optionalInt(q.value(first + 1));
    line.serviceName = text(q.value(first + 2));
    line.objectName = text(q.value(first + 3));
    line.currService = q.value(first + 4).toInt() == 1;
}

void executeWithInvoice(TxDatabase &db, const QString &procedure, int invoiceKey)
{
    TxStoredProc proc(db, procedure);
    proc.setParam(QStringLiteral("INVOICEKEY"), invoiceKey);
    proc.execute();
}

} // namespace

// --- TboRentInvoice ---------------------------------------------------------------------

TboRentInvoice::TboRentInvoice(korvex::shell::TAppContext &context, TBillingDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
    , m_contracts(new TboRentContract(context, dialogs, context.customerSync, this))
    , m_options(std::make_unique<korvex::shell::TxOptionFilter>(context.options, QStringLiteral("rent_Invoice_")))
{
    const QDate today = QDate::currentDate();
    m_options->bindDate(QStringLiteral("startInvoicedate"), &m_filter.startInvoiceDate, today);
    m_options->bindDate(QStringLiteral("endInvoicedate"), &m_filter.endInvoiceDate, today);
    m_options->bindInt(QStringLiteral("Invoicedate"), &m_flags.invoiceDate, 1);
    m_options->bindDate(QStringLiteral("startExpriredate"), &m_filter.startExpireDate, today);
    m_options->bindDate(QStringLiteral("endExpriredate"), &m_filter.endExpireDate, today);
    m_options->bindInt(QStringLiteral("Expriredate"), &m_flags.expireDate, 1);
    m_options->bindDate(QStringLiteral("startOperationdate"), &m_filter.startOperationDate, today);
    m_options->bindDate(QStringLiteral("endOperationdate"), &m_filter.endOperationDate, today);
    m_options->bindInt(QStringLiteral("Operationdate"), &m_flags.operationDate, 1);
    m_options->bindInt(QStringLiteral("Customer"), &m_flags.customer, 1);
    m_options->bindInt(QStringLiteral("CustomerKey"), &m_filter.customerKey, 0);
    m_options->bindInt(QStringLiteral("Payment"), &m_flags.payment, 1);
    m_options->bindInt(QStringLiteral("PaymentKey"), &m_filter.paymentKey, 0);
    m_options->bindInt(QStringLiteral("InvoiceType"), &m_flags.invoiceType, 1);
    m_options->bindInt(QStringLiteral("InvoiceTypeKey"), &m_filter.invoiceTypeKey, 0);
    m_options->bindInt(QStringLiteral("sortInvoice"), &m_filter.sortOrder, TInvoiceFilter::ByNumber);
    LoadFilter();
}

TboRentInvoice::~TboRentInvoice()
{
    if (!m_filterChanged)
        return;
    try {
        SaveFilter();
    } catch (const std::exception &e) {
        // A destructor must not throw; the filter is only a convenience.
        qWarning("The invoice filter was not stored: %s", e.what());
    }
}

TBillingDialogs &TboRentInvoice::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentInvoice");
}

// --- Filter -------------------------------------------------------------------------------

void TboRentInvoice::LoadFilter()
{
    m_options->load();
    // A flag is set only by a stored 1.
    m_filter.invoiceDateUnlimited = m_flags.invoiceDate == 1;
    m_filter.expireDateUnlimited = m_flags.expireDate == 1;
    m_filter.operationDateUnlimited = m_flags.operationDate == 1;
    m_filter.allCustomers = m_flags.customer == 1;
    m_filter.allPayments = m_flags.payment == 1;
    m_filter.allInvoiceTypes = m_flags.invoiceType == 1;
    const int order = m_filter.sortOrder;
    if (order != TInvoiceFilter::Unsorted && (order < TInvoiceFilter::ByNumber || order > TInvoiceFilter::ByContract))
        m_filter.sortOrder = TInvoiceFilter::ByNumber;
}

void TboRentInvoice::SaveFilter()
{
    m_flags.invoiceDate = m_filter.invoiceDateUnlimited ? 1 : 0;
    m_flags.expireDate = m_filter.expireDateUnlimited ? 1 : 0;
    m_flags.operationDate = m_filter.operationDateUnlimited ? 1 : 0;
    m_flags.customer = m_filter.allCustomers ? 1 : 0;
    m_flags.payment = m_filter.allPayments ? 1 : 0;
    m_flags.invoiceType = m_filter.allInvoiceTypes ? 1 : 0;
    runInTransaction(m_context.db, [this] { m_options->save(); });
    m_filterChanged = false;
}

bool TboRentInvoice::EditFilter()
{
    TInvoiceFilter edited = m_filter;
    if (!requireDialogs().invoiceFilterDialog(*this, edited))
        return false;
    m_filter = edited;
    SaveFilter();
    return true;
}

void TboRentInvoice::SetSortOrder(int order)
{
    m_filter.sortOrder = order;
    SaveFilter();
}

TxSqlFilter TboRentInvoice::listStatement(const TInvoiceFilter &f)
{
    TxSqlFilter select(QStringLiteral(
        "SELECT inv.*, cus.name AS customercal, con.number AS contractcal, pay.name AS paymentcal,"
        " typ.name AS invoicetypecal"
        " FROM rent_invoice inv"
        " JOIN cst_customer cus ON cus.customerkey = inv.customerkey"
        " JOIN rent_contract con ON con.id = inv.contractkey"
        " JOIN rent_payment pay ON pay.id = inv.paymentkey"
        " LEFT JOIN rent_invoicetype typ ON typ.id = inv.invoicetypekey"));
    QString glue = QStringLiteral("WHERE ");
    auto where = [&](const QString &condition, const QVariantList &values) {
        select.addList(glue + condition, values);
        glue = QStringLiteral("AND ");
    };
    if (!f.invoiceDateUnlimited)
        where(QStringLiteral("inv.invoicedate >= ? AND inv.invoicedate <= ?"),
              {nullableDate(f.startInvoiceDate), nullableDate(f.endInvoiceDate)});
    if (!f.expireDateUnlimited)
        where(QStringLiteral("inv.expiredate >= ? AND inv.expiredate <= ?"),
              {nullableDate(f.startExpireDate), nullableDate(f.endExpireDate)});
    if (!f.operationDateUnlimited)
        where(QStringLiteral("inv.operationdate >= ? AND inv.operationdate <= ?"),
              {nullableDate(f.startOperationDate), nullableDate(f.endOperationDate)});
    if (!f.allCustomers)
        where(QStringLiteral("inv.customerkey = ?"), {f.customerKey});
    if (!f.allPayments)
        where(QStringLiteral("inv.paymentkey = ?"), {f.paymentKey});
    if (!f.allInvoiceTypes)
        where(QStringLiteral("inv.invoicetypekey = ?"), {f.invoiceTypeKey});
    return select;
}

QList<int> TboRentInvoice::listedKeys() const
{
    QList<int> keys;
    const TxSqlFilter list = listStatement();
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT l.id FROM (") + list.text() + QStringLiteral(") l"), list.values());
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

QString TboRentInvoice::listOrder(int sortOrder)
{
    // The invoice's own fields have their indexes with the key; the names of
    // customer and contract lie in other tables and are sorted.
    switch (sortOrder) {
    case TInvoiceFilter::ByNumber: return QStringLiteral("number");
    case TInvoiceFilter::ByInvoiceDate: return QStringLiteral("invoicedate");
    case TInvoiceFilter::ByExpireDate: return QStringLiteral("expiredate");
    case TInvoiceFilter::ByCustomer: return QStringLiteral("customercal");
    case TInvoiceFilter::ByContract: return QStringLiteral("contractcal");
    default: return {};
    }
}

QString TboRentInvoice::linesSql()
{
    return QStringLiteral("SELECT iss.id, s.name AS servicecal, o.name AS objectcal, iss.costncu, iss.costcurr,"
                          " iss.description, con.number AS contractcal"
                          " FROM rent_invoiceservice iss"
                          " LEFT JOIN rent_contractservice cs ON cs.id = iss.contractservicekey"
                          " LEFT JOIN rent_contract con ON con.id = cs.contractkey"
                          " LEFT JOIN rent_service s ON s.id = cs.servicekey"
                          " LEFT JOIN rent_object o ON o.id = cs.objectkey"
                          " WHERE iss.invoicekey = ?");
}

// --- Operations ---------------------------------------------------------------------------

bool TboRentInvoice::NewInvoice(int *newKey)
{
    TBillingDialogs &dialogs = requireDialogs();
    int saved = 0;
    TInvoiceEdit edit = newInvoice();
    const bool stored = dialogs.invoiceDialog(*this, edit, saved);
    if (stored && newKey)
        *newKey = saved;
    return stored;
}

bool TboRentInvoice::EditInvoice(int key)
{
    TBillingDialogs &dialogs = requireDialogs();
    std::optional<TInvoiceEdit> edit = readInvoice(key);
    if (!edit)
        return false;
    int saved = 0;
    return dialogs.invoiceDialog(*this, *edit, saved);
}

bool TboRentInvoice::DeleteInvoices(int currentKey, const QList<int> &tickedKeys, korvex::widgets::TxProgress *progress)
{
    auto statements = [](int key) -> QList<korvex::widgets::TDeleteStatement> {
        return {{QStringLiteral("EXECUTE PROCEDURE rent_p_deleteinvoicedebt(?)"), {key}},
                {QStringLiteral("DELETE FROM rent_invoiceservice WHERE invoicekey = ?"), {key}},
                {QStringLiteral("DELETE FROM rent_invoice WHERE id = ?"), {key}}};
    };
    TxPrompt &prompt = requireDialogs().prompt();
    if (tickedKeys.isEmpty()) {
        if (currentKey <= 0)
            return false;
        korvex::widgets::TDeleteTexts texts = korvex::widgets::recordDeleteTexts();
        texts.question = tr("Удалить счет?");
        texts.questionCaption = TxPrompt::attentionBang();
        return korvex::widgets::confirmAndDelete(m_context.db, prompt, texts, statements(currentKey));
    }
    if (!prompt.confirm(tr("Удалить выделенные счета?"), TxPrompt::attentionBang()))
        return false;
    int deleted = 0;
    int kept = 0;
    korvex::widgets::TxProgressGuard shown(progress, tr("Удаление счетов"), tickedKeys.size());
    for (qsizetype i = 0; i < tickedKeys.size() && !shown.stopped(); ++i) {
        try {
            TxWriteScope scope(m_context.db);
            for (const korvex::widgets::TDeleteStatement &s : statements(tickedKeys.at(i)))
                TxQuery::execute(m_context.db, s.sql, s.values);
            scope.commit();
            ++deleted;
        } catch (const EDatabaseError &e) {
            if (!e.isInUse())
                throw;
            ++kept;
        }
        shown.advance(i + 1);
    }
    if (kept > 0)
        prompt.warning(korvex::widgets::recordDeleteTexts().inUse, TxPrompt::attentionBang());
    return deleted > 0;
}

bool TboRentInvoice::SetAttributes(const QList<int> &tickedKeys)
{
    if (tickedKeys.isEmpty())
        return false;
    TInvoiceParams params = m_contracts->defaultInvoiceParams();
    if (!requireDialogs().makeInvoiceDialog(m_context, params, false))
        return false;
    TxWriteScope scope(m_context.db);
    korvex::reference::TboCurrency currency(m_context);
    for (const TTypedRate &r : std::as_const(params.typedRates)) {
        if (r.currKey > 0 && r.rate > 0)
            currency.SetRate(r.currKey, {}, r.rate, r.date);
    }
    TxQuery own(m_context.db);
    for (int key : tickedKeys)
        TxStatementCache::exec(m_context.db, own,
                               QStringLiteral("UPDATE rent_invoice SET expiredate = ?, paymentkey = ?, invoicetypekey = ?,"
                                              " operationdate = ?, currkey = ? WHERE id = ?"),
                               {nullableDate(params.expireDate),
                                params.paymentKey > 0 ? QVariant(params.paymentKey) : QVariant(QMetaType::fromType<int>()),
                                params.invoiceTypeKey > 0 ? QVariant(params.invoiceTypeKey)
                                                          : QVariant(QMetaType::fromType<int>()),
                                nullableDate(params.operationDate), nullableInt(params.currKey), key});
    scope.commit();
    return true;
}

QList<int> TboRentInvoice::FindInvoicesWithErrors() const
{
    QList<int> keys;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT DISTINCT i.id FROM rent_invoiceservice iss"
                          " JOIN rent_contractservice cs ON cs.id = iss.contractservicekey"
                          " JOIN rent_contract c ON c.id = cs.contractkey"
                          " JOIN rent_invoice i ON i.id = iss.invoicekey"
                          " WHERE i.customerkey <> c.customerkey ORDER BY i.id"));
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

TInvoicePosting TboRentInvoice::PostInvoices(const QList<int> &keys, korvex::widgets::TxProgress *progress)
{
    TInvoicePosting result;
    korvex::accounting::TboRentOperation posting(m_context.db,
                                                 korvex::accounting::TOperationAuthor::from(m_context.login));
    korvex::widgets::TxProgressGuard shown(progress, tr("Формирование операций"), keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (shown.stopped()) {
            result.stopped = true;
            break;
        }
        const int key = keys.at(i);
        runInTransaction(m_context.db, [&] {
            const QDate date = posting.invoiceOperationDate(key);
            const QString number =
                text(TxQuery::scalar(m_context.db, QStringLiteral("SELECT number FROM rent_invoice WHERE id = ?"), {key}));
            for (const korvex::accounting::TPostedOperation &p : posting.PostInvoice(key, date)) {
                if (p.Refused) {
                    ++result.refused;
                    result.refusals << tr("Счет %1: %2").arg(number, p.ErrorText);
                } else {
                    ++result.operations;
                }
            }
        });
        ++result.invoices;
        shown.advance(i + 1);
    }
    return result;
}

// --- The invoice dialog's rows ----------------------------------------------------------

TInvoiceEdit TboRentInvoice::newInvoice() const
{
    const korvex::shell::TmmOptions &options = m_context.options;
    TInvoiceEdit edit;
    edit.kind = TInvoiceEdit::Kind::New;
    TInvoiceRecord &r = edit.invoice;
    r.id = m_context.db.newKey(QStringLiteral("RENT_P_GETINVOICEKEY"), QStringLiteral("INVOICEKEY"));
    r.invoiceDate = r.operationDate = QDate::currentDate();
    r.number = TxDocumentCounter(m_context.options, CounterOption).proposal();
    r.currKey = options.GetIntegerOption(QStringLiteral("rentcurrkey"));
    r.paymentKey = options.GetIntegerOption(QStringLiteral("rentpaymentkey"));
    r.invoiceTypeKey = options.GetIntegerOption(QStringLiteral("rentinvoicetypekey"));
    return edit;
}

std::optional<TInvoiceEdit> TboRentInvoice::readInvoice(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, number, invoicedate, expiredate, operationdate, customerkey, contractkey, currkey,"
                          " paymentkey, invoicetypekey, information FROM rent_invoice WHERE id = ?"),
           {key});
    if (!q.next())
        return std::nullopt;
    TInvoiceEdit edit;
    edit.kind = TInvoiceEdit::Kind::Edit;
    TInvoiceRecord &r = edit.invoice;
    r.id = q.value(0).toInt();
    r.number = text(q.value(1));
    r.invoiceDate = q.value(2).toDate();
    r.expireDate = q.value(3).toDate();
    r.operationDate = q.value(4).toDate();
    r.customerKey = optionalInt(q.value(5));
    r.contractKey = optionalInt(q.value(6));
    r.currKey = optionalInt(q.value(7));
    r.paymentKey = optionalInt(q.value(8));
    r.invoiceTypeKey = optionalInt(q.value(9));
    r.information = text(q.value(10));

    TxQuery lines(m_context.db);
    lines.exec(QStringLiteral("SELECT iss.id, iss.contractservicekey, iss.costncu, iss.costcurr, iss.description,")
                   + QString::fromLatin1(SqlPositionColumns)
                   + QStringLiteral(" RIGHT JOIN rent_invoiceservice iss ON iss.contractservicekey = cs.id"
                                    " WHERE iss.invoicekey = ? ORDER BY iss.id"),
               {key});
    while (lines.next()) {
        TInvoiceLineRecord line;
        line.id = lines.value(0).toInt();
        line.contractServiceKey = lines.value(1).toInt();
        line.costNcu = lines.value(2).toDouble();
        line.costCurr = lines.value(3).toDouble();
        line.description = lines.value(4).toString().trimmed();
        readPosition(lines, 5, line);
        edit.lines << line;
    }
    return edit;
}

void TboRentInvoice::writeRows(TInvoiceEdit &edit)
{
    const TInvoiceRecord &r = edit.invoice;
    if (edit.isNew()) {
        insertRow(m_context.db, QStringLiteral("rent_invoice"), QStringLiteral("id"), r.id, invoiceColumns(),
                  invoiceValues(r));
    } else if (updateRow(m_context.db, QStringLiteral("rent_invoice"), QStringLiteral("id"), r.id, invoiceColumns(),
                         invoiceValues(r))
               == 0) {
        throw EDatabaseError(tr("Счет удален другим пользователем"));
    }
    QList<TxDetailRow> rows;
    for (const TInvoiceLineRecord &l : std::as_const(edit.lines))
        rows << TxDetailRow{l.id,
                            {l.contractServiceKey > 0 ? QVariant(l.contractServiceKey) : QVariant(QMetaType::fromType<int>()),
                             l.costNcu, l.costCurr, nullableText(l.description)}};
    const QList<int> keys = writeDetailRows(
        m_context.db, QStringLiteral("rent_invoiceservice"), QStringLiteral("invoicekey"), r.id,
        QStringLiteral("gen_rent_invoiceservice"),
        {QStringLiteral("contractservicekey"), QStringLiteral("costncu"), QStringLiteral("costcurr"),
         QStringLiteral("description")},
        rows);
    for (qsizetype i = 0; i < keys.size(); ++i)
        edit.lines[i].id = keys.at(i);
}

int TboRentInvoice::writeInvoice(TInvoiceEdit &edit)
{
    // The dialog asks for these in turn; a caller without one is refused the same way.
    const TInvoiceRecord &r = edit.invoice;
    const std::pair<bool, const char *> required[] = {
        {r.customerKey.has_value(), QT_TR_NOOP("Выберите клиента")},
        {r.contractKey.has_value(), QT_TR_NOOP("Выберите договор")},
        {r.paymentKey.has_value(), QT_TR_NOOP("Выберите форму оплаты")},
        {r.invoiceTypeKey.has_value(), QT_TR_NOOP("Выберите тип задолженности")},
        {r.invoiceDate.isValid(), QT_TR_NOOP("Введиете дату")},
    };
    for (const auto &[filled, message] : required) {
        if (!filled)
            throw EBusinessError(tr(message));
    }
    TxDatabase &db = m_context.db;
    TInvoiceEdit written = edit;
    TxWriteScope scope(db);
    // The debt the stored invoice booked goes first, so that its lines as
    // they are now are booked once.
    if (!written.isNew())
        executeWithInvoice(db, QStringLiteral("RENT_P_DELETEINVOICEDEBT"), written.invoice.id);
    writeRows(written);
    TxDocumentCounter(m_context.options, CounterOption).advancePast(written.invoice.number);
    executeWithInvoice(db, QStringLiteral("RENT_P_ADDINVOICEDEBT"), written.invoice.id);
    korvex::reference::TboCurrency currency(m_context);
    for (const TTypedRate &t : std::as_const(written.typedRates)) {
        if (t.currKey > 0 && t.rate > 0)
            currency.SetRate(t.currKey, {}, t.rate, t.date);
    }
    scope.commit();
    written.typedRates.clear();
    written.kind = TInvoiceEdit::Kind::Edit;
    edit = written;
    return edit.invoice.id;
}

QList<TInvoiceLineRecord> TboRentInvoice::linesFor(const QList<int> &contractServiceKeys) const
{
    QHash<int, TInvoiceLineRecord> found;
    if (!contractServiceKeys.isEmpty()) {
        QVariantList keys;
        for (int key : contractServiceKeys)
            keys << key;
        TxSqlFilter select(QStringLiteral("SELECT cs.id,") + QString::fromLatin1(SqlPositionColumns));
        select.addIn(QStringLiteral("WHERE"), QStringLiteral("cs.id"), keys);
        TxQuery q(m_context.db);
        q.exec(select.text(), select.values());
        while (q.next()) {
            TInvoiceLineRecord line;
            line.contractServiceKey = q.value(0).toInt();
            readPosition(q, 1, line);
            found.insert(line.contractServiceKey, line);
        }
    }
    QList<TInvoiceLineRecord> lines;
    for (int key : contractServiceKeys) {
        if (found.contains(key))
            lines << found.value(key);
    }
    return lines;
}

QList<int> TboRentInvoice::contractPositions(int contractKey) const
{
    QList<int> keys;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id FROM rent_contractservice WHERE contractkey = ? ORDER BY id"), {contractKey});
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

QList<TReckonResult> TboRentInvoice::reckonLines(const TInvoiceEdit &edit, const QList<int> &contractServiceKeys,
                                                 double rate)
{
    // Never committed: the withdrawn debt comes back when the scope ends.
    TxReadScope scope(m_context.db);
    if (!edit.isNew())
        executeWithInvoice(m_context.db, QStringLiteral("RENT_P_DELETEINVOICEDEBT"), edit.invoice.id);
    return m_contracts->pricing().reckon(contractServiceKeys, rate);
}

QList<std::optional<TPriceListEntry>> TboRentInvoice::priceListOf(const QList<TInvoiceLineRecord> &lines)
{
    QList<QPair<int, int>> asked;
    for (const TInvoiceLineRecord &l : lines)
        asked.append({l.serviceKey, l.objectKey.value_or(0)});
    return m_contracts->pricing().priceLists(asked);
}

double TboRentInvoice::rateOn(std::optional<int> currKey, const QDate &date) const
{
    return m_contracts->rateOn(currKey, date);
}

// --- TboRentInvoiceType ---------------------------------------------------------------------

TboRentInvoiceType::TboRentInvoiceType(korvex::shell::TAppContext &context, TBillingDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TBillingDialogs &TboRentInvoiceType::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentInvoiceType");
}

bool TboRentInvoiceType::NewInvoiceType(int *newKey)
{
    auto dialog = [this](TInvoiceTypeRecord &r, bool isNew, int &saved) {
        return requireDialogs().invoiceTypeDialog(*this, r, isNew, saved);
    };
    requireDialogs();
    return korvex::widgets::newThroughDialog(TInvoiceTypeRecord{}, dialog, newKey);
}

bool TboRentInvoiceType::EditInvoiceType(int key)
{
    auto dialog = [this](TInvoiceTypeRecord &r, bool isNew, int &saved) {
        return requireDialogs().invoiceTypeDialog(*this, r, isNew, saved);
    };
    requireDialogs();
    return korvex::widgets::editThroughDialog(readType(key), dialog);
}

bool TboRentInvoiceType::DeleteInvoiceType(int key)
{
    const korvex::widgets::TDeleteTexts texts{tr("Удалить тип задолженности?"), TxPrompt::attentionBang(),
                                              tr("Данный тип задолженности уже где-то используется"),
                                              TxPrompt::attentionBang()};
    return korvex::widgets::confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                                             QStringLiteral("DELETE FROM rent_invoicetype WHERE id = ?"), {key});
}

std::optional<TInvoiceTypeRecord> TboRentInvoiceType::readType(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, name, externalkey FROM rent_invoicetype WHERE id = ?"), {key});
    if (!q.next())
        return std::nullopt;
    return TInvoiceTypeRecord{q.value(0).toInt(), text(q.value(1)), optionalInt(q.value(2))};
}

void TboRentInvoiceType::writeType(TInvoiceTypeRecord &r)
{
    if (r.name.trimmed().isEmpty())
        throw EBusinessError(tr("Введите наименование"));
    r.id = writeRow(m_context.db, QStringLiteral("rent_invoicetype"), QStringLiteral("gen_rent_invoicetype"), r.id,
                    {QStringLiteral("name"), QStringLiteral("externalkey")},
                    {r.name.trimmed(), nullableInt(r.externalKey)}, tr("Тип задолженности удален другим пользователем"));
}

QString TboRentInvoiceType::listSql()
{
    return QStringLiteral("SELECT id, name FROM rent_invoicetype");
}

} // namespace korvex::billing
