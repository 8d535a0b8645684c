#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace korvex::widgets {
class TxPrompt;
class TxProgress;
}

namespace korvex::documents {

class TboRentPrintDocument;
class TboRentReport;
struct TPrintFormRecord;
struct TRentReportRecord;
struct TPrintJob;

// The object question of a report: the marked objects (or the current one)
// as the server procedure reads them, and the two switches.
struct TReportObjectChoice {
    QList<int> objects;
    bool allObjects = false;    // "Все объекты"
    bool includeGroup = false;  // "Включать группу в отчет"
    // The keys joined with ";", as rent_p_getobjects takes them.
    QString objectText() const;
};

// The customer question of a report.
struct TReportCustomerChoice {
    QDate startDate;
    QDate endDate;
    bool unlimited = false;     // "Неограниченный период"
    bool allPayments = true;    // "По всем формам"
    int paymentKey = 0;
    bool allCustomers = true;   // "Все клиенты"
    QList<int> customers;       // the marked ones
};

// The windows of print forms and reports, supplied by the window layer
// (TPrintWindows); the command-line tool answers the questions from its
// arguments and writes the document to a file. The defaults answer
// "cancelled".
class TPrintDialogs
{
public:
    virtual ~TPrintDialogs();

    virtual korvex::widgets::TxPrompt &prompt() = 0;
    // Where a long report shows how far it is and can be stopped (null: nowhere).
    virtual korvex::widgets::TxProgress *progress() { return nullptr; }

    // "Печатная форма": true when at least one row was stored.
    virtual bool printFormDialog(TboRentPrintDocument &bo, TPrintFormRecord &record, bool isNew, int &savedKey);
    // "Отчет".
    virtual bool reportDialog(TboRentReport &bo, TRentReportRecord &record, bool isNew, int &savedKey);
    // "Печать отчета": shows the filled document; true when the user saved it
    // (job.fileName then holds the file-name box).
    virtual bool showReport(TPrintJob &job);

    // The questions of the reports.
    virtual bool chooseObjects(TReportObjectChoice &choice);
    virtual bool chooseCustomers(TReportCustomerChoice &choice, bool showPayments);
    virtual bool chooseServices(QList<int> &keys);
    // "Параметры": the values typed for the names; apply answers an error
    // text that keeps the dialog open, or empty. False: "Отменить".
    virtual bool sqlParams(const QStringList &names,
                           const std::function<QString(const QStringList &values)> &apply);
};

} // namespace korvex::documents
