#include "boRentOperation.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

#include <QCoreApplication>

using namespace korvex::db;

namespace korvex::accounting {

namespace {

const char *const kInvoiceLines =
    "SELECT i.number, ris.costncu, ris.costcurr, ris.id, cs.servicekey, cs.objectkey, i.customerkey, "
    "i.paymentkey, i.invoicetypekey, obj.locationkey, obj.objecttypekey "
    "FROM rent_invoiceservice ris JOIN rent_invoice i ON ris.invoicekey = i.id "
    "JOIN rent_contractservice cs ON ris.contractservicekey = cs.id "
    "LEFT JOIN rent_object obj ON cs.objectkey = obj.id "
    "WHERE i.id = ? ORDER BY ris.id";

const char *const kPayBillLines =
    "SELECT CAST(NULL AS VARCHAR(20)), ris.costncu, ris.costcurr, ris.id, cs.servicekey, cs.objectkey, "
    "i.customerkey, i.paymentkey, CAST(NULL AS INTEGER), obj.locationkey, obj.objecttypekey "
    "FROM rent_paybillrelat ris JOIN rent_paybill i ON ris.paybillkey = i.id "
    "JOIN rent_contractservice cs ON ris.contractservicekey = cs.id "
    "LEFT JOIN rent_object obj ON cs.objectkey = obj.id "
    "WHERE i.id = ? ORDER BY ris.id";

QString analysis(int key, const QVariant &value)
{
    return QStringLiteral("%1=%2").arg(key).arg(value.isNull() ? QString() : value.toString());
}

} // namespace

TboRentOperation::TboRentOperation(TxDatabase &db, const TOperationAuthor &author)
    : m_db(db), m_operation(db, author)
{
}

int TboRentOperation::rentOperationOf(int callerCode)
{
    switch (callerCode) {
    case InvoiceLine: return 0;
    case PayBillLine: return 1;
    case RateDifferenceDebt: return 2;
    case RateDifferenceInvoice: return 3;
    case RateDifferencePayment: return 4;
    default: return 0;
    }
}

QList<int> TboRentOperation::OperationTypesFor(int serviceKey, int customerKey, int callerCode)
{
    TxQuery q(m_db, QStringLiteral("SELECT so.operationkey FROM cst_customer cst, rent_serviceoperation so "
                                   "WHERE cst.kind = so.typecustomer AND so.servicekey = :s AND cst.id = :c "
                                   "AND so.rentoperation = :r ORDER BY so.id"));
    q.bind(QStringLiteral(":s"), serviceKey).bind(QStringLiteral(":c"), customerKey)
        .bind(QStringLiteral(":r"), rentOperationOf(callerCode));
    q.exec();
    QList<int> types;
    while (q.next())
        if (!q.value(0).isNull())
            types << q.value(0).toInt();
    return types;
}

QList<TPostedOperation> TboRentOperation::postLines(const QString &sql, int documentKey, const QDate &d,
                                                    int callerCode, bool invoice)
{
    struct Line {
        QString number;
        double ncu, curr;
        int id;
        int service;
        QVariant object;
        int customer;
        QVariant payment, invoiceType, location, objectType;
    };
    QList<Line> lines;
    {
        TxQuery q(m_db);
        q.exec(sql, {documentKey});
        while (q.next())
            lines.append({q.value(0).toString(), q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toInt(),
                          q.value(4).toInt(), q.value(5), q.value(6).toInt(), q.value(7), q.value(8), q.value(9),
                          q.value(10)});
    }
    QList<TPostedOperation> result;
    TxOperation &op = m_operation;
    for (const Line &line : lines) {
        for (int type : OperationTypesFor(line.service, line.customer, callerCode)) {
            op.Reset();
            op.DocumentKey = line.id;
            op.DateDoc = d.startOfDay();
            op.SumNCU = line.ncu;
            op.SumCurr = line.curr;
            op.Analyzes = {analysis(10, line.customer), analysis(610, line.service), analysis(650, line.payment)};
            if (invoice)
                op.Analyzes << analysis(660, line.invoiceType);
            if (!line.object.isNull())
                op.Analyzes << analysis(620, line.object) << analysis(630, line.objectType)
                            << analysis(640, line.location);
            op.OpType = type;
            op.Comment = invoice ? line.number : QString();
            op.Post();
            result.append({line.id, type, op.Error ? -1 : op.OperationKey, op.Error, op.ErrorText});
        }
    }
    return result;
}

QList<TPostedOperation> TboRentOperation::PostInvoice(int invoiceKey, const QDate &d)
{
    return postLines(QString::fromLatin1(kInvoiceLines), invoiceKey, d, InvoiceLine, true);
}

QList<TPostedOperation> TboRentOperation::PostPayBill(int payBillKey, const QDate &d)
{
    return postLines(QString::fromLatin1(kPayBillLines), payBillKey, d, PayBillLine, false);
}

QDate TboRentOperation::documentDate(const QString &sql, int key, const QString &missing)
{
    TxQuery q(m_db);
    q.exec(sql, {key});
    if (!q.next())
        throw EDatabaseError(missing.arg(key));
    return q.value(1).isNull() ? q.value(0).toDate() : q.value(1).toDate();
}

QDate TboRentOperation::invoiceOperationDate(int invoiceKey)
{
    return documentDate(QStringLiteral("SELECT invoicedate, operationdate FROM rent_invoice WHERE id = ?"), invoiceKey,
                        QCoreApplication::translate("TboRentOperation", "Счет %1 не найден"));
}

QDate TboRentOperation::payBillOperationDate(int payBillKey)
{
    return documentDate(QStringLiteral("SELECT paybilldate, operationdate FROM rent_paybill WHERE id = ?"), payBillKey,
                        QCoreApplication::translate("TboRentOperation", "Платеж %1 не найден"));
}

int TboRentOperation::DeletePayBillOperations(int payBillKey)
{
    struct Line {
        int id, service, customer;
    };
    QList<Line> lines;
    {
        TxQuery q(m_db);
        q.exec(QStringLiteral("SELECT iser.id, cs.servicekey, i.customerkey FROM rent_paybillrelat iser "
                              "JOIN rent_paybill i ON iser.paybillkey = i.id "
                              "JOIN rent_contractservice cs ON cs.id = iser.contractservicekey "
                              "WHERE i.id = ? ORDER BY iser.id"),
               {payBillKey});
        while (q.next())
            lines.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()});
    }
    int deleted = 0;
    runInTransaction(m_db, [&] {
        for (const Line &line : lines) {
            for (int type : OperationTypesFor(line.service, line.customer, PayBillLine)) {
                m_operation.OpType = type;
                m_operation.DocumentKey = line.id;
                deleted += m_operation.DeleteByDocument();
            }
        }
    });
    return deleted;
}

int TboRentOperation::DeleteOperations(int opType, const QDate &begin, const QDate &end, bool all)
{
    int deleted = 0;
    runInTransaction(m_db, [&] {
        const QString counting = QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = ?");
        const int before = TxQuery::scalar(m_db, counting, {opType}).toInt();
        TxStoredProc p(m_db, QStringLiteral("fin_p_deleteoperation"));
        p.setParam(QStringLiteral("optypekey"), opType);
        p.setParam(QStringLiteral("datebegin"), begin);
        p.setParam(QStringLiteral("dateend"), end);
        p.setParam(QStringLiteral("Alloperation"), all ? 1 : 0);
        p.execute();
        deleted = before - TxQuery::scalar(m_db, counting, {opType}).toInt();
    });
    return deleted;
}

} // namespace korvex::accounting
