#pragma once

#include "printJob.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace korvex::shell {
struct TAppContext;
}
namespace korvex::db {
class TxDatabase;
}

namespace korvex::documents {

class TPrintDialogs;

// One row of rent_printdocument: a document template (printed for one
// record) and, independently, a register template (printed for a list).
struct TPrintFormRecord {
    int id = 0;
    int parent = 0;  // 0: at the top
    QString name;
    QString path;
    int typeDocument = 0;  // 0 group, 1 contract, 2 contract with reckoned prices, 3 invoices, 4 pay bills
    bool group = false;    // "Группировать"
    QString registerName;
    QString registerPath;
    QString registerTable;  // in capitals, as the pages ask for it
    int userKey = 0;
};

// One item of a page's print menu: the print form and what the item shows.
struct TPrintMenuItem {
    int formId = 0;
    QString caption;
    QString hint;  // the template
};

// What BuildPrintMenu adds for one query: one item ("Печать: " + name) or a
// sub-menu ("Печать") of several.
struct TPrintMenuEntry {
    bool isRegister = false;
    QString caption;
    QList<TPrintMenuItem> items;  // one: the entry itself is the item
};

// The print forms: which template is printed for a contract, an invoice or
// a page's list, and the data gathered for it.
class TboRentPrintDocument
{
public:
    enum Type { Group = 0, Contract = 1, ContractPriced = 2, Invoice = 3, PayBill = 4 };

    explicit TboRentPrintDocument(korvex::shell::TAppContext &context, TPrintDialogs *dialogs = nullptr);
    ~TboRentPrintDocument();

    static QStringList typeNames();

    // The entries of a page's print menu: the documents of the type (none for
    // -1) and the registers of the list name (compared in capitals).
    QList<TPrintMenuEntry> printMenu(int type, const QString &registerTable) const;

    // Prints through the port's report window: a register of the list when
    // one is given, else the document of the record (or of the marked keys:
    // invoices). A print form that is gone prints nothing.
    void PrintDocument(int formId, int recordId, std::shared_ptr<TxMemoryReportDataSource> list = {},
                       const QList<int> &keys = {});
    // The same job without a window; nullopt when nothing is to be printed.
    std::optional<TPrintJob> documentJob(int formId, int recordId, const QList<int> &keys = {});
    std::optional<TPrintJob> registerJob(int formId, std::shared_ptr<TxMemoryReportDataSource> list);

    bool AddPrintForm(int parent, int *newId = nullptr);
    bool DeletePrintForm(int id);
    bool EditPrintForm(int id);

    TPrintFormRecord newRecord(int parent) const;
    std::optional<TPrintFormRecord> readForm(int id) const;
    // Inserts (id 0, which then receives the key) or updates; the table name
    // is kept in capitals and the user who saved it is recorded.
    void writeForm(TPrintFormRecord &record);

    // The values of a customer for a template, "name = value" lines.
    QStringList customerValues(int customerKey);
    // The file a saved contract document was written to.
    void storeContractFile(int contractKey, const QString &fileName);

    static QString monthName(int month);

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    std::optional<TPrintJob> contractJob(const TPrintFormRecord &form, int contractId, bool priced);
    std::optional<TPrintJob> invoiceJob(const TPrintFormRecord &form, int recordId, const QList<int> &keys);

    korvex::shell::TAppContext &m_context;
    TPrintDialogs *m_dialogs;
};

// The customer values of a template for a customer key, in order: the
// outputs of FIN_P_CUSTOMER_GETVALUE ("cust" + name), the customer's columns
// ("customer" + name), its person's and its company's ("person", "factory")
// when it has them.
QStringList customerValueLines(korvex::db::TxDatabase &db, int customerKey);

} // namespace korvex::documents
