#include "boRentPayBill.h"

#include "payBillDialogs.h"

#include "accounting/boRentOperation.h"
#include "accounting/xBookkeepingLink.h"
#include "amount/xAmount.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "debt/boRentDebt.h"
#include "reference/boCurrency.h"
#include "shell/DocumentCounter.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"
#include "widgets/xDialogPort.h"
#include "widgets/xProgress.h"
#include "widgets/xPrompt.h"

#include <QHash>

namespace korvex::billing {

using namespace korvex::db;
using korvex::shell::TxDocumentCounter;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxSqlFilter;

namespace {

const QString CounterOption = QStringLiteral("PayBillnumber");
// The payment operations of the bookkeeping system's register.
constexpr int PaymentOperationType = 1700;
constexpr int CustomerAnalysis = 10;
constexpr int ServiceAnalysis = 610;

QVariant nullableDate(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDate>());
}

std::optional<int> positiveKey(const QVariant &v)
{
    if (v.isNull() || v.toInt() <= 0)
        return std::nullopt;
    return v.toInt();
}

std::optional<int> positiveKey(int key)
{
    return key > 0 ? std::optional<int>(key) : std::nullopt;
}

void executeProcedure(TxDatabase &db, const QString &name, int payBillKey)
{
    TxStoredProc p(db, name);
    p.setParam(QStringLiteral("PAYBILLKEY"), payBillKey);
    p.execute();
}

// What the stored procedures do to the debts: put back what the pay bill
// settled, or settle its lines.
void withdraw(TxDatabase &db, int payBillKey)
{
    executeProcedure(db, QStringLiteral("RENT_P_ADDPAYBILLDEBT"), payBillKey);
}

void settle(TxDatabase &db, int payBillKey)
{
    executeProcedure(db, QStringLiteral("RENT_P_DELETEPAYBILLDEBT"), payBillKey);
}

} // namespace

TboRentPayBill::TboRentPayBill(korvex::shell::TAppContext &context, TPayBillDialogs *dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
    , m_options(std::make_unique<korvex::shell::TxOptionFilter>(context.options, QStringLiteral("rent_")))
{
    const QDate today = QDate::currentDate();
    m_options->bindDate(QStringLiteral("PayBill_startPayBilldate"), &m_filter.startPayBillDate, today);
    m_options->bindDate(QStringLiteral("PayBill_endPayBilldate"), &m_filter.endPayBillDate, today);
    m_options->bindInt(QStringLiteral("PayBill_PayBilldate"), &m_flags.payBillDate, 1);
    m_options->bindDate(QStringLiteral("Operation_startOperationdate"), &m_filter.startOperationDate, today);
    m_options->bindDate(QStringLiteral("Operation_endOperationdate"), &m_filter.endOperationDate, today);
    m_options->bindInt(QStringLiteral("Operation_Operationdate"), &m_flags.operationDate, 1);
    m_options->bindInt(QStringLiteral("PayBill_Customer"), &m_flags.customer, 1);
    m_options->bindInt(QStringLiteral("PayBill_CustomerKey"), &m_filter.customerKey, 0);
    m_options->bindInt(QStringLiteral("PayBill_Payment"), &m_flags.payment, 1);
    m_options->bindInt(QStringLiteral("PayBill_PaymentKey"), &m_filter.paymentKey, 0);
    m_options->bindInt(QStringLiteral("PayBill_sortPayBill"), &m_filter.sortOrder, TPayBillFilter::ByNumber);
    LoadFilter();
}

TboRentPayBill::~TboRentPayBill()
{
    if (!m_filterChanged)
        return;
    try {
        SaveFilter();
    } catch (const std::exception &e) {
        // A destructor must not throw; the filter is only a convenience.
        qWarning("The pay-bill filter was not stored: %s", e.what());
    }
}

TPayBillDialogs &TboRentPayBill::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentPayBill");
}

// --- Filter -------------------------------------------------------------------------------

void TboRentPayBill::LoadFilter()
{
    m_options->load();
    m_filter.payBillDateUnlimited = m_flags.payBillDate == 1;
    m_filter.operationDateUnlimited = m_flags.operationDate == 1;
    m_filter.allCustomers = m_flags.customer == 1;
    m_filter.allPayments = m_flags.payment == 1;
    if (m_filter.sortOrder < TPayBillFilter::ByNumber || m_filter.sortOrder > TPayBillFilter::ByCustomer)
        m_filter.sortOrder = TPayBillFilter::ByNumber;
}

void TboRentPayBill::SaveFilter()
{
    m_flags.payBillDate = m_filter.payBillDateUnlimited ? 1 : 0;
    m_flags.operationDate = m_filter.operationDateUnlimited ? 1 : 0;
    m_flags.customer = m_filter.allCustomers ? 1 : 0;
    m_flags.payment = m_filter.allPayments ? 1 : 0;
    runInTransaction(m_context.db, [this] { m_options->save(); });
    m_filterChanged = false;
}

bool TboRentPayBill::EditFilter()
{
    TPayBillFilter edited = m_filter;
    if (!requireDialogs().payBillFilterDialog(*this, edited))
        return false;
    m_filter = edited;
    SaveFilter();
    return true;
}

void TboRentPayBill::SetSortOrder(int order)
{
    m_filter.sortOrder = order;
    SaveFilter();
}

TxSqlFilter TboRentPayBill::listStatement(const TPayBillFilter &f)
{
    // A pay bill whose form of payment is missing is still listed: money
    // received must never drop out of sight.
    TxSqlFilter select(QStringLiteral("SELECT pb.*, cus.name AS customercal, cus.unn, pay.name AS paymentcal"
                                      " FROM rent_paybill pb"
                                      " INNER JOIN cst_customer cus ON (pb.customerkey = cus.customerkey)"
                                      " LEFT JOIN rent_payment pay ON (pay.id = pb.paymentkey)"));
    QString glue = QStringLiteral("WHERE ");
    auto where = [&](const QString &condition, const QVariantList &values) {
        select.addList(glue + condition, values);
        glue = QStringLiteral("AND ");
    };
    if (!f.payBillDateUnlimited)
        where(QStringLiteral("pb.paybilldate >= ? AND pb.paybilldate <= ?"),
              {nullableDate(f.startPayBillDate), nullableDate(f.endPayBillDate)});
    if (!f.operationDateUnlimited)
        where(QStringLiteral("pb.operationdate >= ? AND pb.operationdate <= ?"),
              {nullableDate(f.startOperationDate), nullableDate(f.endOperationDate)});
    if (!f.allCustomers)
        where(QStringLiteral("pb.customerkey = ?"), {f.customerKey});
    if (!f.allPayments)
        where(QStringLiteral("pb.paymentkey = ?"), {f.paymentKey});
    return select;
}

QString TboRentPayBill::listOrder(int sortOrder)
{
    switch (sortOrder) {
    case TPayBillFilter::ByNumber: return QStringLiteral("number");
    case TPayBillFilter::ByDate: return QStringLiteral("paybilldate");
    case TPayBillFilter::ByCustomer: return QStringLiteral("customercal");
    default: return {};
    }
}

QList<int> TboRentPayBill::listedKeys() const
{
    const TxSqlFilter list = listStatement(m_filter);
    QList<int> keys;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT l.id FROM (") + list.text() + QStringLiteral(") l"), list.values());
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

QString TboRentPayBill::linesSql()
{
    return QStringLiteral("SELECT r.id, r.paybillkey, r.contractservicekey, r.costncu, r.costcurr,"
                          " ser.name AS servicecal, obj.name AS objectcal"
                          " FROM rent_paybillrelat r"
                          " JOIN rent_contractservice cs ON (r.contractservicekey = cs.id)"
                          " INNER JOIN rent_service ser ON (cs.servicekey = ser.id)"
                          " LEFT JOIN rent_object obj ON (cs.objectkey = obj.id)"
                          " WHERE r.paybillkey = ?");
}

// --- Operations ---------------------------------------------------------------------------

bool TboRentPayBill::openDialog(TPayBillEdit edit, int *savedKey)
{
    int saved = 0;
    const bool stored = requireDialogs().payBillDialog(*this, edit, saved);
    if (stored && savedKey)
        *savedKey = saved;
    return stored;
}

bool TboRentPayBill::NewPayBill(int *newKey)
{
    requireDialogs();
    return openDialog(newPayBill(), newKey);
}

bool TboRentPayBill::EditPayBill(int key)
{
    requireDialogs();
    const std::optional<TPayBillEdit> edit = readPayBill(key);
    return edit && openDialog(*edit, nullptr);
}

void TboRentPayBill::deletePayBill(int key)
{
    TxWriteScope scope(m_context.db);
    withdraw(m_context.db, key);
    TxQuery::execute(m_context.db, QStringLiteral("DELETE FROM rent_paybillrelat WHERE paybillkey = ?"), {key});
    TxQuery::execute(m_context.db, QStringLiteral("DELETE FROM rent_paybill WHERE id = ?"), {key});
    scope.commit();
}

bool TboRentPayBill::DeletePayBills(int currentKey, const QList<int> &ticked, korvex::widgets::TxProgress *progress)
{
    TPayBillDialogs &port = requireDialogs();
    QList<int> keys = ticked;
    if (keys.isEmpty() && currentKey > 0)
        keys << currentKey;
    if (keys.isEmpty())
        return false;
    const QString question = ticked.isEmpty() ? tr("Удалить платеж?") : tr("Удалить выделенные платежи?");
    if (!port.prompt().confirm(question, TxPrompt::attentionBang()))
        return false;
    korvex::widgets::TxProgressGuard guard(ticked.isEmpty() ? nullptr : progress, tr("Удаление платежей"), keys.size());
    int deleted = 0;
    for (int i = 0; i < keys.size() && !guard.stopped(); ++i) {
        deletePayBill(keys.at(i));
        ++deleted;
        guard.advance(i + 1);
    }
    return deleted > 0;
}

// --- The pay-bill dialog's rows -----------------------------------------------------------

TPayBillEdit TboRentPayBill::newPayBill() const
{
    TPayBillEdit edit;
    TPayBillRecord &b = edit.bill;
    b.number = TxDocumentCounter(m_context.options, CounterOption).proposal();
    b.payBillDate = QDate::currentDate();
    b.currKey = positiveKey(m_context.options.integerOption(QStringLiteral("rentcurrkey"), 0));
    b.paymentKey = positiveKey(m_context.options.integerOption(QStringLiteral("rentpaymentkey"), 0));
    return edit;
}

std::optional<TPayBillEdit> TboRentPayBill::readPayBill(int key) const
{
    TPayBillEdit edit;
    {
        TxQuery q(m_context.db);
        q.exec(QStringLiteral("SELECT id, number, paybilldate, operationdate, customerkey, currkey, paymentkey, sumncu,"
                              " operationkey FROM rent_paybill WHERE id = ?"),
               {key});
        if (!q.next())
            return std::nullopt;
        TPayBillRecord &b = edit.bill;
        b.id = q.value(0).toInt();
        b.number = q.value(1).toString().trimmed();
        b.payBillDate = q.value(2).toDate();
        b.operationDate = q.value(3).toDate();
        b.customerKey = positiveKey(q.value(4));
        b.currKey = positiveKey(q.value(5));
        b.paymentKey = positiveKey(q.value(6));
        b.sumNcu = q.value(7).toDouble();
        b.operationKey = optionalInt(q.value(8));
    }
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT r.id, r.contractservicekey, r.costncu, r.costcurr, ser.name, obj.name,"
                          " COALESCE(ser.currservice, 0)"
                          " FROM rent_paybillrelat r"
                          " LEFT JOIN rent_contractservice cs ON (r.contractservicekey = cs.id)"
                          " LEFT JOIN rent_service ser ON (cs.servicekey = ser.id)"
                          " LEFT JOIN rent_object obj ON (cs.objectkey = obj.id)"
                          " WHERE r.paybillkey = ? ORDER BY r.id"),
           {key});
    while (q.next())
        edit.lines << TPayBillLine{q.value(0).toInt(),          q.value(1).toInt(),
                                   q.value(2).toDouble(),       q.value(3).toDouble(),
                                   q.value(4).toString().trimmed(), q.value(5).toString().trimmed(),
                                   q.value(6).toInt() == 1};
    return edit;
}

std::optional<TPayBillProblem> TboRentPayBill::checkPayBill(const TPayBillEdit &edit)
{
    const TPayBillRecord &b = edit.bill;
    if (!b.customerKey || *b.customerKey <= 0)
        return TPayBillProblem{TPayBillField::Customer, tr("Выберите клиента!")};
    if (!b.paymentKey || *b.paymentKey <= 0)
        return TPayBillProblem{TPayBillField::Payment, tr("Выберите форму оплаты")};
    if (!b.payBillDate.isValid())
        return TPayBillProblem{TPayBillField::Date, tr("Введиете дату")};
    double sum = 0;
    for (const TPayBillLine &line : edit.lines)
        sum += line.ncu;
    // To the kopeck: lines that add up to 999.999999 pay 1000.
    if (!korvex::amount::sameAmount(sum, b.sumNcu))
        return TPayBillProblem{TPayBillField::Sum, tr("Общая сумма не соответствует сумме позиций")};
    return std::nullopt;
}

void TboRentPayBill::writeRows(TPayBillEdit &edit)
{
    TxDatabase &db = m_context.db;
    TPayBillRecord &b = edit.bill;
    const QStringList columns = {QStringLiteral("number"),     QStringLiteral("paybilldate"), QStringLiteral("operationdate"),
                                 QStringLiteral("customerkey"), QStringLiteral("currkey"),    QStringLiteral("paymentkey"),
                                 QStringLiteral("sumncu"),      QStringLiteral("operationkey")};
    const QVariantList values = {nullableText(b.number),      nullableDate(b.payBillDate), nullableDate(b.operationDate),
                                 nullableInt(b.customerKey),  nullableInt(b.currKey),      nullableInt(b.paymentKey),
                                 b.sumNcu,                    nullableInt(b.operationKey)};
    if (b.id == 0) {
        TxStoredProc key(db, QStringLiteral("RENT_P_GETPAYBILLKEY"));
        key.execute();
        b.id = key.output(QStringLiteral("PAYBILLKEY")).toInt();
        insertRow(db, QStringLiteral("rent_paybill"), QStringLiteral("id"), b.id, columns, values);
    } else if (updateRow(db, QStringLiteral("rent_paybill"), QStringLiteral("id"), b.id, columns, values) == 0) {
        throw EBusinessError(tr("Платеж удален другим пользователем"));
    }
    QList<TxDetailRow> rows;
    for (const TPayBillLine &line : std::as_const(edit.lines))
        rows << TxDetailRow{line.id, {line.contractServiceKey, line.ncu, line.curr}};
    const QList<int> keys = writeDetailRows(db, QStringLiteral("rent_paybillrelat"), QStringLiteral("paybillkey"), b.id,
                                            QStringLiteral("gen_rent_paybillrelat"),
                                            {QStringLiteral("contractservicekey"), QStringLiteral("costncu"),
                                             QStringLiteral("costcurr")},
                                            rows);
    for (qsizetype i = 0; i < keys.size(); ++i)
        edit.lines[i].id = keys.at(i);
}

int TboRentPayBill::writePayBill(TPayBillEdit &edit)
{
    if (const std::optional<TPayBillProblem> problem = checkPayBill(edit))
        throw EBusinessError(problem->message);
    TxDatabase &db = m_context.db;
    TPayBillEdit written = edit;
    TxWriteScope scope(db);
    if (written.bill.id != 0)
        withdraw(db, written.bill.id);
    writeRows(written);
    settle(db, written.bill.id);
    TxDocumentCounter(m_context.options, CounterOption).advancePast(written.bill.number);
    korvex::reference::TboCurrency currency(m_context);
    for (const TPayBillRate &r : std::as_const(written.typedRates))
        if (r.currKey > 0 && r.rate > 0)
            currency.SetRate(r.currKey, {}, r.rate, r.date);
    scope.commit();
    written.typedRates.clear();
    edit = written;
    return edit.bill.id;
}

double TboRentPayBill::rateOn(std::optional<int> currKey, const QDate &date) const
{
    if (!currKey || *currKey <= 0 || !date.isValid())
        return 0;
    korvex::reference::TboCurrency currency(m_context);
    return currency.FindRate(*currKey, {}, date) ? currency.Rate : 0;
}

QList<TPayBillLine> TboRentPayBill::linesFor(const QList<int> &contractServiceKeys) const
{
    QHash<int, TPayBillLine> found;
    if (!contractServiceKeys.isEmpty()) {
        QVariantList keys;
        for (int k : contractServiceKeys)
            keys << k;
        TxSqlFilter select(QStringLiteral("SELECT cs.id, ser.name, obj.name, COALESCE(ser.currservice, 0)"
                                          " FROM rent_contractservice cs"
                                          " INNER JOIN rent_service ser ON (cs.servicekey = ser.id)"
                                          " LEFT JOIN rent_object obj ON (cs.objectkey = obj.id)"));
        select.addIn(QStringLiteral("WHERE"), QStringLiteral("cs.id"), keys);
        TxQuery q(m_context.db);
        q.exec(select.text(), select.values());
        while (q.next()) {
            TPayBillLine line;
            line.contractServiceKey = q.value(0).toInt();
            line.serviceName = q.value(1).toString().trimmed();
            line.objectName = q.value(2).toString().trimmed();
            line.currService = q.value(3).toInt() == 1;
            found.insert(line.contractServiceKey, line);
        }
    }
    QList<TPayBillLine> lines;
    for (int k : contractServiceKeys)
        if (found.contains(k))
            lines << found.value(k);
    return lines;
}

template<class Body>
void TboRentPayBill::withWithdrawn(int payBillKey, const Body &body) const
{
    if (payBillKey <= 0) {
        body();
        return;
    }
    // Never committed: the withdrawal is only for what the body reads.
    TxWriteScope reading(m_context.db);
    withdraw(m_context.db, payBillKey);
    body();
}

QList<TPayBillLine> TboRentPayBill::debtLines(const TPayBillEdit &edit, const QList<int> &contractServiceKeys) const
{
    QList<TPayBillLine> lines = linesFor(contractServiceKeys);
    withWithdrawn(edit.bill.id, [&] {
        TboRentDebt debt(m_context.db);
        for (TPayBillLine &line : lines) {
            debt.DebtOfContractService(line.contractServiceKey);
            line.ncu = debt.ncu();
            line.curr = debt.curr();
        }
    });
    return lines;
}

bool TboRentPayBill::allocate(int payBillKey, int customerKey, int serviceKey, double rate, double amount,
                              QList<TPayBillLine> &lines, QString *reason)
{
    lines.clear();
    QList<TCSCost> made;
    bool ok = false;
    QString failure;
    withWithdrawn(payBillKey, [&] {
        TboRentAllocation allocation(m_context);
        ok = allocation.AllocatePayment(customerKey, serviceKey, made, rate, amount);
        failure = allocation.failureReason();
    });
    auto refuse = [&](const QString &text) {
        if (reason)
            *reason = text;
        lines.clear();
        return false;
    };
    if (!ok)
        return refuse(tr("Ошибка в формулах договора или данный клиент не является арендатором")
                      + (failure.isEmpty() ? QString() : QStringLiteral(": ") + failure));
    QList<TCSCost> paid;
    QList<int> keys;
    for (const TCSCost &c : std::as_const(made)) {
        if (c.ncu == 0 && c.curr == 0)
            continue;
        paid << c;
        keys << c.contractServiceKey;
    }
    const QList<TPayBillLine> described = linesFor(keys);
    QHash<int, TPayBillLine> byKey;
    for (const TPayBillLine &l : described)
        byKey.insert(l.contractServiceKey, l);
    for (const TCSCost &c : std::as_const(paid)) {
        TPayBillLine line = byKey.value(c.contractServiceKey);
        line.contractServiceKey = c.contractServiceKey;
        // Without a rate a currency debt would be written off for no money,
        // or paid in NCU while its currency debt stayed.
        if (line.currService && rate <= 0)
            return refuse(tr("Не задан курс валюты на дату платежа: платеж по валютной услуге \"%1\" нельзя разбить")
                              .arg(line.serviceName));
        line.ncu = c.ncu;
        line.curr = c.curr;
        lines << line;
    }
    return true;
}

// --- Pay bills from bookkeeping operations ------------------------------------------------

void TboRentPayBill::removeImported(int payBillKey)
{
    korvex::accounting::TboRentOperation operations(m_context.db,
                                                    korvex::accounting::TOperationAuthor::from(m_context.login));
    operations.DeletePayBillOperations(payBillKey);
    deletePayBill(payBillKey);
}

TPayBillImport TboRentPayBill::importDefaults() const
{
    TPayBillImport p;
    p.currKey = m_context.options.integerOption(QStringLiteral("rentcurrkey"), 0);
    p.paymentKey = m_context.options.integerOption(QStringLiteral("rentpaymentkey"), 0);
    return p;
}

int TboRentPayBill::PayBillFromOperation(int operationKey, const TPayBillImport &params, int *keyOut, QString *reasonOut)
{
    TxDatabase &db = m_context.db;
    if (keyOut)
        *keyOut = -1;
    auto notMade = [&](const QString &why) {
        if (reasonOut)
            *reasonOut = why;
        return int(NotMade);
    };
    // The removal of earlier pay bills and the new one are one write: a
    // failure leaves the earlier ones, their settlement and operations.
    TxWriteScope scope(db);
    double amount = 0;
    QDate payDate;
    {
        TxQuery q(db);
        q.exec(QStringLiteral("SELECT sumncu, commitdate FROM fin_operation WHERE operationkey = ?"), {operationKey});
        if (!q.next())
            return notMade(tr("Операция %1 не найдена").arg(operationKey));
        amount = q.value(0).toDouble();
        payDate = q.value(1).toDate();
    }
    std::optional<int> customer;
    int service = -1;
    {
        TxQuery q(db);
        q.exec(QStringLiteral("SELECT analyzekey, analyzevalue FROM fin_opanalyzeval WHERE operationkey = ?"),
               {operationKey});
        while (q.next()) {
            if (q.value(0).toInt() == CustomerAnalysis && !q.value(1).isNull())
                customer = q.value(1).toInt();
            else if (q.value(0).toInt() == ServiceAnalysis && !q.value(1).isNull())
                service = q.value(1).toInt();
        }
    }
    if (!customer)
        return notMade(tr("В операции не указан клиент"));

    QList<int> earlier;
    {
        TxQuery q(db);
        q.exec(QStringLiteral("SELECT id FROM rent_paybill WHERE operationkey = ? ORDER BY id"), {operationKey});
        while (q.next())
            earlier << q.value(0).toInt();
    }
    for (int key : std::as_const(earlier))
        removeImported(key);

    const std::optional<int> currKey = positiveKey(params.currKey);
    const double rate = rateOn(currKey, payDate);
    QList<TPayBillLine> lines;
    QString why;
    if (!allocate(0, *customer, service, rate, amount, lines, &why))
        return notMade(why);

    std::optional<int> payment = positiveKey(params.paymentKey);
    if (params.paymentFromContract && !lines.isEmpty()) {
        const QVariant fromContract = TxQuery::scalar(
            db,
            QStringLiteral("SELECT c.paymentkey FROM rent_contract c JOIN rent_contractservice cs ON c.id = cs.contractkey"
                           " WHERE cs.id = ?"),
            {lines.first().contractServiceKey});
        if (positiveKey(fromContract))
            payment = positiveKey(fromContract);
    }

    TPayBillEdit edit;
    TPayBillRecord &b = edit.bill;
    b.number = TxDocumentCounter(m_context.options, CounterOption).proposal();
    b.payBillDate = payDate;
    b.operationDate = params.sameDate ? payDate : params.operationDate;
    b.customerKey = customer;
    b.currKey = currKey;
    b.paymentKey = payment;
    b.sumNcu = amount;
    b.operationKey = operationKey;
    edit.lines = lines;
    if (const std::optional<TPayBillProblem> problem = checkPayBill(edit))
        return notMade(problem->message);
    const int key = writePayBill(edit);
    scope.commit();
    if (keyOut)
        *keyOut = key;
    return earlier.isEmpty() ? Made : Replaced;
}

TPayBillImportCounts TboRentPayBill::payBillsFromOperations(const QList<int> &keys, const TPayBillImport &params,
                                                            korvex::widgets::TxProgress *progress,
                                                            QList<std::pair<int, int>> *results)
{
    TPayBillImportCounts counts;
    korvex::widgets::TxProgressGuard guard(progress, tr("Перенос платежей"), keys.size());
    for (int i = 0; i < keys.size() && !guard.stopped(); ++i) {
        int made = NotMade;
        int payBillKey = -1;
        if (keys.at(i) != -1)
            made = PayBillFromOperation(keys.at(i), params, &payBillKey);
        (made == Made ? counts.made : made == Replaced ? counts.replaced : counts.notMade) += 1;
        if (results)
            *results << std::pair{made, payBillKey};
        guard.advance(i + 1);
    }
    return counts;
}

std::optional<TPayBillImportCounts> TboRentPayBill::ImportPayments(korvex::accounting::TPaymentImportLink &link,
                                                                   korvex::widgets::TxProgress *progress)
{
    TPayBillImport params = importDefaults();
    if (!requireDialogs().makePayBillDialog(*this, params))
        return std::nullopt;
    const std::optional<QList<int>> keys = link.ImportPaymentOperations(PaymentOperationType, progress);
    if (!keys)
        return std::nullopt;
    return payBillsFromOperations(*keys, params, progress);
}

QString TboRentPayBill::importReport(const TPayBillImportCounts &counts)
{
    return tr("Количество сформированных платежей: ") + QString::number(counts.made) + QStringLiteral("\n\r")
           + tr("Количество измененных платежей: ") + QString::number(counts.replaced) + QStringLiteral("\n\r")
           + tr("Количество несформированных платежей: ") + QString::number(counts.notMade);
}

// --- Ticked pay bills ---------------------------------------------------------------------

void TboRentPayBill::PostPayBills(const QList<int> &keys, korvex::widgets::TxProgress *progress)
{
    korvex::accounting::TboRentOperation operations(m_context.db,
                                                    korvex::accounting::TOperationAuthor::from(m_context.login));
    korvex::widgets::TxProgressGuard guard(progress, tr("Формирование операций"), keys.size());
    for (int i = 0; i < keys.size() && !guard.stopped(); ++i) {
        runInTransaction(m_context.db, [&] {
            operations.PostPayBill(keys.at(i), operations.payBillOperationDate(keys.at(i)));
        });
        guard.advance(i + 1);
    }
}

void TboRentPayBill::setAttributes(const QList<int> &keys, const TPayBillImport &params)
{
    runInTransaction(m_context.db, [&] {
        for (int key : keys) {
            if (params.sameDate)
                TxQuery::execute(m_context.db,
                                 QStringLiteral("UPDATE rent_paybill SET operationdate = paybilldate, paymentkey = ?,"
                                                " currkey = ? WHERE id = ?"),
                                 {nullableInt(positiveKey(params.paymentKey)), nullableInt(positiveKey(params.currKey)), key});
            else
                TxQuery::execute(m_context.db,
                                 QStringLiteral("UPDATE rent_paybill SET operationdate = ?, paymentkey = ?, currkey = ?"
                                                " WHERE id = ?"),
                                 {nullableDate(params.operationDate), nullableInt(positiveKey(params.paymentKey)),
                                  nullableInt(positiveKey(params.currKey)), key});
        }
    });
}

QList<int> TboRentPayBill::payBillsWithErrors() const
{
    QList<int> keys;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT DISTINCT i.id FROM rent_paybillrelat iss, rent_contractservice cs, rent_contract c,"
                          " rent_paybill i WHERE i.customerkey <> c.customerkey AND iss.contractservicekey = cs.id"
                          " AND cs.contractkey = c.id AND iss.paybillkey = i.id ORDER BY i.id"));
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

} // namespace korvex::billing
