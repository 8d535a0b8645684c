#pragma once

#include "boRentContract.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::shell {
class TxOptionFilter;
}
namespace korvex::widgets {
class TxProgress;
}

namespace korvex::billing {

class TBillingDialogs;

// One row of rent_invoice as the invoice dialog edits it.
struct TInvoiceRecord {
    int id = 0;  // a new invoice has its key before it is stored
    QString number;
    QDate invoiceDate;  // invalid: none
    QDate expireDate;
    QDate operationDate;
    std::optional<int> customerKey;
    std::optional<int> contractKey;
    std::optional<int> currKey;
    std::optional<int> paymentKey;
    std::optional<int> invoiceTypeKey;
    QString information;
};

// One line of an invoice (rent_invoiceservice): a contract position with
// the amounts charged for it.
struct TInvoiceLineRecord {
    int id = 0;  // 0: not stored yet
    int contractServiceKey = 0;
    double costNcu = 0;
    double costCurr = 0;
    QString description;
    // Shown, not stored: the position's service and object, and whether the
    // service is priced in currency.
    int serviceKey = 0;
    std::optional<int> objectKey;
    QString serviceName;
    QString objectName;
    bool currService = false;
};

// What the invoice dialog edits: the invoice and its lines, held in the
// client and written together by writeInvoice().
struct TInvoiceEdit {
    enum class Kind { New, Edit };
    Kind kind = Kind::New;
    TInvoiceRecord invoice;
    QList<TInvoiceLineRecord> lines;
    // Rates typed in "Курс", recorded with the save.
    QList<TTypedRate> typedRates;

    bool isNew() const { return kind == Kind::New; }
};

// The filter of the invoices page, remembered per user under "rent_Invoice_".
struct TInvoiceFilter {
    enum Sort { ByNumber = 0, ByInvoiceDate = 1, ByExpireDate = 2, ByCustomer = 3, ByContract = 4, Unsorted = 7 };

    QDate startInvoiceDate;
    QDate endInvoiceDate;
    bool invoiceDateUnlimited = true;
    QDate startExpireDate;
    QDate endExpireDate;
    bool expireDateUnlimited = true;
    QDate startOperationDate;
    QDate endOperationDate;
    bool operationDateUnlimited = true;
    bool allCustomers = true;
    int customerKey = 0;
    bool allPayments = true;
    int paymentKey = 0;
    bool allInvoiceTypes = true;
    int invoiceTypeKey = 0;
    int sortOrder = ByNumber;
};

// What posting ticked invoices as bookkeeping operations did.
struct TInvoicePosting {
    int invoices = 0;    // invoices posted
    int operations = 0;  // operations written
    int refused = 0;     // operations the bookkeeping refused
    QStringList refusals;  // "invoice number: the server's reason", one per refusal
    bool stopped = false;
};

// Invoices ("счет", on the screens also "задолженность"): lines charging a
// customer for contract positions, each booked as debt of its position by
// the server when the invoice is saved (RENT_P_ADDINVOICEDEBT) and withdrawn
// before it is changed or deleted (RENT_P_DELETEINVOICEDEBT). The object
// keeps the filter of the invoices page, opens the invoice dialogs through
// its port and writes an invoice with its lines and its debt as one.
class TboRentInvoice : public QObject
{
    Q_OBJECT
public:
    explicit TboRentInvoice(korvex::shell::TAppContext &context, TBillingDialogs *dialogs = nullptr,
                            QObject *owner = nullptr);
    // Stores a filter set by setFilter() and not stored since.
    ~TboRentInvoice() override;

    // --- Filter of the invoices page --------------------------------------------
    const TInvoiceFilter &filter() const { return m_filter; }
    void setFilter(const TInvoiceFilter &filter)
    {
        m_filter = filter;
        m_filterChanged = true;
    }
    void LoadFilter();
    void SaveFilter();
    // "Фильтрация счетов"; on "Ок" the filter is taken and stored.
    bool EditFilter();
    // A sort entry of the page: stored at once.
    void SetSortOrder(int order);

    // The invoice list of a filter, for a TxQueryModel ordered by
    // listOrder() (fields of the result; empty: unsorted, by the key) and
    // keyed by listKey(): conditions only for the fields in use, every value
    // bound.
    static korvex::widgets::TxSqlFilter listStatement(const TInvoiceFilter &filter);
    static QString listOrder(int sortOrder);
    static QString listKey() { return QStringLiteral("id"); }
    korvex::widgets::TxSqlFilter listStatement() const { return listStatement(m_filter); }
    // The keys of every invoice the filter lists ("Выделить все").
    QList<int> listedKeys() const;
    // The lines of one invoice with their service and object (one value: the invoice).
    static QString linesSql();
    // The forms of payment the page lists.
    static QString paymentListSql() { return QStringLiteral("SELECT id, name, shortname FROM rent_payment"); }

    // --- Operations -------------------------------------------------------------------
    // "Формирование задолженности" on a new invoice; newKey: the last one stored.
    bool NewInvoice(int *newKey = nullptr);
    bool EditInvoice(int key);
    // The ticked invoices after "Удалить выделенные счета?", else the
    // current one after "Удалить счет?": each with its debt withdrawn and
    // its lines, in a write scope of its own (the progress can stop between
    // two). Operations already posted for them stay. False when nothing was
    // deleted.
    bool DeleteInvoices(int currentKey, const QList<int> &tickedKeys, korvex::widgets::TxProgress *progress = nullptr);
    // "Аттрибуты счетов": the dialog of the invoice parameters with the
    // invoice date fixed; on "Ок" the pay-until and operation dates, the
    // payment form, the type and the currency of every ticked invoice
    // become the dialog's. False with nothing ticked or on cancel.
    bool SetAttributes(const QList<int> &tickedKeys);
    // The invoices holding a line of another customer's contract.
    QList<int> FindInvoicesWithErrors() const;
    // "Формирование операции": each invoice posted as bookkeeping operations
    // on its operation date (its invoice date when it has none), one write
    // scope per invoice; operations the bookkeeping refuses are counted and
    // named, the others written.
    TInvoicePosting PostInvoices(const QList<int> &keys, korvex::widgets::TxProgress *progress = nullptr);

    // --- The invoice dialog's rows ------------------------------------------------------
    // A new invoice with a fresh key, today's dates, the number from the
    // counter and the currency, payment form and type of the options.
    TInvoiceEdit newInvoice() const;
    std::optional<TInvoiceEdit> readInvoice(int key) const;
    // Saves the edit in one write scope: the debt the stored invoice booked is
    // withdrawn, the invoice and its lines are written, the counter advanced
    // past a numeric number and the invoice booked as debt again. The lines'
    // keys come back in the edit. Returns the invoice's key.
    int writeInvoice(TInvoiceEdit &edit);

    // Lines for positions ("Добавить", "Выбрать все позиции договора"): the
    // position's service, object and currency flag, amounts 0.
    QList<TInvoiceLineRecord> linesFor(const QList<int> &contractServiceKeys) const;
    // The positions of a contract in their order.
    QList<int> contractPositions(int contractKey) const;
    // The engine on the positions at the rate, as the edited invoice sees
    // them: its own stored debt withdrawn (the engine's debt variables read
    // the debt without the invoice being edited); nothing is written. One
    // answer per key.
    QList<TReckonResult> reckonLines(const TInvoiceEdit &edit, const QList<int> &contractServiceKeys, double rate);
    // The price-list rows of the lines' services and objects.
    QList<std::optional<TPriceListEntry>> priceListOf(const QList<TInvoiceLineRecord> &lines);

    // The rate of the currency to the NCU on the date; 0 when none is known.
    double rateOn(std::optional<int> currKey, const QDate &date) const;

    korvex::shell::TAppContext &context() const { return m_context; }
    TBillingDialogs *dialogs() const { return m_dialogs; }
    // The contracts the invoice dialog chooses positions of.
    TboRentContract &contracts() { return *m_contracts; }

private:
    TBillingDialogs &requireDialogs() const;
    void writeRows(TInvoiceEdit &edit);

    korvex::shell::TAppContext &m_context;
    TBillingDialogs *m_dialogs;
    TboRentContract *m_contracts;
    TInvoiceFilter m_filter;
    // The filter's flags as the options store holds them (1/0).
    struct StoredFlags {
        int invoiceDate = 1;
        int expireDate = 1;
        int operationDate = 1;
        int customer = 1;
        int payment = 1;
        int invoiceType = 1;
    } m_flags;
    std::unique_ptr<korvex::shell::TxOptionFilter> m_options;
    bool m_filterChanged = false;
};

// The reference of invoice types ("Тип задолженности").
struct TInvoiceTypeRecord {
    int id = 0;  // 0: a new type
    QString name;
    std::optional<int> externalKey;  // not edited here
};

class TboRentInvoiceType : public QObject
{
    Q_OBJECT
public:
    explicit TboRentInvoiceType(korvex::shell::TAppContext &context, TBillingDialogs *dialogs = nullptr,
                                QObject *owner = nullptr);

    // newKey: the last type stored ("&Следующий" may store several).
    bool NewInvoiceType(int *newKey = nullptr);
    bool EditInvoiceType(int key);
    // "Удалить тип задолженности?"; a type in use is reported and kept.
    bool DeleteInvoiceType(int key);

    std::optional<TInvoiceTypeRecord> readType(int key) const;
    // Inserts (id 0, which then receives the key) or updates the row.
    void writeType(TInvoiceTypeRecord &record);
    static QString listSql();

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    TBillingDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TBillingDialogs *m_dialogs;
};

} // namespace korvex::billing
