#pragma once

#include "boRentAllocation.h"
#include "shell/AppContext.h"
#include "widgets/xSqlFilter.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::accounting {
class TPaymentImportLink;
}
namespace korvex::shell {
class TxOptionFilter;
}
namespace korvex::widgets {
class TxProgress;
}

namespace korvex::billing {

class TPayBillDialogs;

// One row of rent_paybill as the pay-bill dialog edits it.
struct TPayBillRecord {
    int id = 0;  // 0 until the pay bill is first stored
    QString number;
    QDate payBillDate;    // invalid: none
    QDate operationDate;  // invalid: none
    std::optional<int> customerKey;
    std::optional<int> currKey;
    std::optional<int> paymentKey;
    double sumNcu = 0;
    std::optional<int> operationKey;  // the bookkeeping operation it was made from
};

// A line of a pay bill (rent_paybillrelat) with what the dialog shows of
// its contract service.
struct TPayBillLine {
    int id = 0;  // 0: not stored yet
    int contractServiceKey = 0;
    double ncu = 0;
    double curr = 0;
    QString serviceName;
    QString objectName;
    bool currService = false;  // the service is priced in currency
};

// A rate typed in "Курс": one unit of the currency is rate NCU on the date.
struct TPayBillRate {
    int currKey = 0;
    QDate date;
    double rate = 0;
};

// What the pay-bill dialog edits, held in the client and written whole by
// writePayBill().
struct TPayBillEdit {
    TPayBillRecord bill;
    QList<TPayBillLine> lines;
    QList<TPayBillRate> typedRates;
    bool isNew() const { return bill.id == 0; }
};

// The field a refused save points at.
enum class TPayBillField { None, Customer, Payment, Date, Sum };

struct TPayBillProblem {
    TPayBillField field = TPayBillField::None;
    QString message;
};

// The pay-bill filter of the pay-bill page, remembered per user.
struct TPayBillFilter {
    enum Sort { ByNumber = 0, ByDate, Unsorted, ByCustomer };

    QDate startPayBillDate = QDate::currentDate();
    QDate endPayBillDate = QDate::currentDate();
    bool payBillDateUnlimited = true;
    QDate startOperationDate = QDate::currentDate();
    QDate endOperationDate = QDate::currentDate();
    bool operationDateUnlimited = true;
    bool allCustomers = true;
    int customerKey = 0;
    bool allPayments = true;
    int paymentKey = 0;
    int sortOrder = ByNumber;
};

// The parameters of making pay bills from bookkeeping operations
// ("Формирование платежей"), also those of "Аттрибуты платежей".
struct TPayBillImport {
    bool sameDate = true;  // the operation date is the payment date
    QDate operationDate = QDate::currentDate();
    int currKey = 0;
    bool paymentFromContract = true;
    int paymentKey = 0;
};

// What PayBillFromOperation did.
enum TPayBillMade { NotMade = 0, Made = 1, Replaced = 2 };

struct TPayBillImportCounts {
    int made = 0;
    int replaced = 0;
    int notMade = 0;
};

// Pay bills: money received from a customer, split over contract services.
// A stored pay bill is settled against the debts of its lines
// (RENT_P_DELETEPAYBILLDEBT); the pay bill and its settlement are written,
// changed and removed together in one write scope, so there is never one
// without the other. The object keeps the filter of the pay-bill page and
// opens the pay-bill dialogs through its port.
class TboRentPayBill
{
    Q_DECLARE_TR_FUNCTIONS(TboRentPayBill)
public:
    explicit TboRentPayBill(korvex::shell::TAppContext &context, TPayBillDialogs *dialogs = nullptr);
    // Stores the filter when it was changed and not stored since.
    ~TboRentPayBill();

    // --- Filter of the pay-bill page ---------------------------------------------
    const TPayBillFilter &filter() const { return m_filter; }
    void setFilter(const TPayBillFilter &filter)
    {
        m_filter = filter;
        m_filterChanged = true;
    }
    void LoadFilter();
    void SaveFilter();
    bool EditFilter();
    void SetSortOrder(int order);

    // The pay-bill list of a filter, every value bound, for a TxQueryModel
    // ordered by listOrder() and keyed by listKey().
    static korvex::widgets::TxSqlFilter listStatement(const TPayBillFilter &filter);
    static QString listOrder(int sortOrder);
    static QString listKey() { return QStringLiteral("id"); }
    korvex::widgets::TxSqlFilter listStatement() const { return listStatement(m_filter); }
    // The pay bills the filter lists ("Выделить все").
    QList<int> listedKeys() const;
    // "Позиции платежа": one value, the pay bill.
    static QString linesSql();

    // --- Operations ------------------------------------------------------------------
    bool NewPayBill(int *newKey = nullptr);
    bool EditPayBill(int key);
    // The ticked pay bills ("Удалить выделенные платежи?") or, with none
    // ticked, the current one ("Удалить платеж?"): each withdrawn from the
    // debts and deleted in one write scope. Operations already posted for
    // them stay. True when something was deleted.
    bool DeletePayBills(int currentKey, const QList<int> &ticked, korvex::widgets::TxProgress *progress = nullptr);

    // Makes a pay bill from a payment operation of the bookkeeping system:
    // its amount allocated over the customer's debts. Pay bills made earlier
    // from the same operation are replaced (their operations deleted, their
    // settlement undone) in the same write scope as the new one, so that a
    // failure leaves them as they were. keyOut receives the new key, -1
    // when nothing was made; reasonOut why not.
    int PayBillFromOperation(int operationKey, const TPayBillImport &params, int *keyOut = nullptr,
                             QString *reasonOut = nullptr);
    // PayBillFromOperation for each key (keys -1 count as not made).
    TPayBillImportCounts payBillsFromOperations(const QList<int> &keys, const TPayBillImport &params,
                                                korvex::widgets::TxProgress *progress = nullptr,
                                                QList<std::pair<int, int>> *results = nullptr);
    // "Импорт платежей": the parameters, the register import of payment
    // operations (type 1700) through the link, then a pay bill for each.
    // None when cancelled.
    std::optional<TPayBillImportCounts> ImportPayments(korvex::accounting::TPaymentImportLink &link,
                                                       korvex::widgets::TxProgress *progress = nullptr);
    // The counts as the import reports them.
    static QString importReport(const TPayBillImportCounts &counts);
    // The defaults of the import parameters (options rentcurrkey, rentpaymentkey).
    TPayBillImport importDefaults() const;

    // "Формирование операций": posts the pay bills on their operation dates.
    void PostPayBills(const QList<int> &keys, korvex::widgets::TxProgress *progress = nullptr);
    // "Аттрибуты платежей": operation date, payment form and currency of the
    // pay bills, in one write scope.
    void setAttributes(const QList<int> &keys, const TPayBillImport &params);
    // "Поиск платежей с ошибками": pay bills with a line of another customer's contract.
    QList<int> payBillsWithErrors() const;

    // --- The pay-bill dialog ---------------------------------------------------------
    // A new pay bill dated today with the counter's number and the default
    // currency and payment form.
    TPayBillEdit newPayBill() const;
    std::optional<TPayBillEdit> readPayBill(int key) const;
    // The save rules in order: customer, payment form, date, then the lines
    // summing to the amount to the kopeck. None: the edit may be saved.
    static std::optional<TPayBillProblem> checkPayBill(const TPayBillEdit &edit);
    // Checks (EBusinessError) and saves in one write scope: a stored pay bill
    // is withdrawn from the debts first, the pay bill and its lines written,
    // the pay bill settled, the counter moved past its number, the typed
    // rates recorded. The keys come back in the edit; returns the pay bill's.
    int writePayBill(TPayBillEdit &edit);

    // The rate of the currency to the NCU on the date; 0 when none is known.
    double rateOn(std::optional<int> currKey, const QDate &date) const;
    // Lines of contract services with their names and currency flags.
    QList<TPayBillLine> linesFor(const QList<int> &contractServiceKeys) const;
    // A line per contract service with its debt today, as the pay bill being
    // edited would find it were it withdrawn.
    QList<TPayBillLine> debtLines(const TPayBillEdit &edit, const QList<int> &contractServiceKeys) const;
    // The allocation of the amount at the rate over the customer's debts, as
    // the edited pay bill would find them were it withdrawn; only lines with
    // an amount. False with the reason when it cannot be made, including a
    // currency service to be paid at rate 0 (its currency debt would be
    // written off for nothing).
    bool allocate(int payBillKey, int customerKey, int serviceKey, double rate, double amount,
                  QList<TPayBillLine> &lines, QString *reason = nullptr);

    korvex::shell::TAppContext &context() const { return m_context; }
    TPayBillDialogs *dialogs() const { return m_dialogs; }

private:
    TPayBillDialogs &requireDialogs() const;
    bool openDialog(TPayBillEdit edit, int *savedKey);
    void writeRows(TPayBillEdit &edit);
    void deletePayBill(int key);
    void removeImported(int payBillKey);
    // Runs the reading with the pay bill withdrawn from the debts, and undoes
    // the withdrawal after it.
    template<class Body>
    void withWithdrawn(int payBillKey, const Body &body) const;

    korvex::shell::TAppContext &m_context;
    TPayBillDialogs *m_dialogs;
    TPayBillFilter m_filter;
    struct StoredFlags {
        int payBillDate = 1;
        int operationDate = 1;
        int customer = 1;
        int payment = 1;
    } m_flags;
    std::unique_ptr<korvex::shell::TxOptionFilter> m_options;
    bool m_filterChanged = false;
};

} // namespace korvex::billing
