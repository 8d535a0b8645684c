#pragma once

#include "xOperation.h"

#include <QDate>
#include <QList>
#include <QString>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::accounting {

// What became of one operation a document line asked for.
struct TPostedOperation {
    int LineKey = -1;       // rent_invoiceservice.id or rent_paybillrelat.id
    int OpType = -1;
    int OperationKey = -1;  // -1 when refused
    bool Refused = false;
    QString ErrorText;      // the server's reason for a refusal
};

// The lease driver of the bookkeeping: turns invoice and pay-bill lines into
// operations, one per line and per operation type its service is set up to
// produce for the customer's kind.
class TboRentOperation
{
public:
    // The codes by which callers ask for a kind of lease operation.
    enum CallerCode {
        InvoiceLine = 1810,
        PayBillLine = 1850,
        RateDifferenceDebt = 1840,
        RateDifferenceInvoice = 1820,
        RateDifferencePayment = 1830,
    };

    explicit TboRentOperation(korvex::db::TxDatabase &db, const TOperationAuthor &author = {});

    // The rent_serviceoperation.rentoperation value of a caller's code; any
    // other code gives 0.
    static int rentOperationOf(int callerCode);

    // The operation types a line of this service produces for this customer.
    QList<int> OperationTypesFor(int serviceKey, int customerKey, int callerCode);

    // Posts every line of the invoice (pay bill) dated d. A line posted again
    // replaces its earlier operation of the same type. Refused operations are
    // in the result, flagged; they do not stop the others.
    QList<TPostedOperation> PostInvoice(int invoiceKey, const QDate &d);
    QList<TPostedOperation> PostPayBill(int payBillKey, const QDate &d);

    // The date a document is posted on: its operation date, else its own.
    QDate invoiceOperationDate(int invoiceKey);
    QDate payBillOperationDate(int payBillKey);

    // Deletes the operations of the pay bill's lines (before the pay bill
    // made from a bookkeeping operation is replaced); returns how many.
    int DeletePayBillOperations(int payBillKey);
    // Deletes the operations of the type dated within the period (both ends
    // included), or every one of the type when all is set, with everything
    // attached to them (fin_p_deleteoperation), in one write scope; returns
    // how many operations went.
    int DeleteOperations(int opType, const QDate &begin, const QDate &end, bool all);

    TxOperation &operation() { return m_operation; }

private:
    QDate documentDate(const QString &sql, int key, const QString &missing);
    QList<TPostedOperation> postLines(const QString &sql, int documentKey, const QDate &d, int callerCode,
                                      bool invoice);

    korvex::db::TxDatabase &m_db;
    TxOperation m_operation;
};

} // namespace korvex::accounting
