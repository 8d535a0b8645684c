// korvex-rent-cli print: prints contracts and invoices through a stored print
// form, and runs a stored report, into an RTF or PDF file, as the program's
// report window would build them.

#include "cliCommon.h"
#include "cliDocuments.h"

#include "billing/AgedDebtReport.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "documents/xRTFMessages.h"
#include "documents/xReport.h"
#include "printing/boRentPrintDocument.h"
#include "printing/boRentReport.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/xPrompt.h"

#include <QRegularExpression>
#include <stdexcept>

namespace korvex::cli {

using namespace korvex::documents;
using korvex::db::TxQuery;

namespace {

const char *const kUsage =
    "Usage: korvex-rent-cli print (contract|contract-priced|invoice) KEY[,KEY...] --form PRINTFORM "
    "--out OUTPUT(.rtf|.pdf) DATABASE, or korvex-rent-cli print report REPORT --out OUTPUT(.rtf|.pdf) [--param NAME=VALUE]... DATABASE";

class FailingPrompt : public korvex::widgets::TxPrompt
{
public:
    bool show(const korvex::widgets::TxMessage &message) override { oneLine(message.text); }
};

QList<int> keyList(const QString &text, const QString &what)
{
    QList<int> keys;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        keys << intArgument(part.trimmed(), what);
    if (keys.isEmpty())
        throw std::invalid_argument(QStringLiteral("%1 must be a number: %2").arg(what, text).toStdString());
    return keys;
}

QList<int> keyParam(const QString &text)
{
    QList<int> keys;
    for (const QString &part : text.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts))
        keys << intArgument(part, QStringLiteral("--param"));
    return keys;
}

// The report questions answered by --param, and the document written to the output.
class CliAnswers : public TPrintDialogs
{
public:
    CliAnswers(const QMap<QString, QString> &params, QString output)
        : m_params(params)
        , m_output(std::move(output))
    {
    }
    korvex::widgets::TxPrompt &prompt() override { return m_prompt; }

    bool showReport(TPrintJob &job) override
    {
        writeJob(job, m_output);
        written = true;
        return false;
    }
    bool chooseObjects(TReportObjectChoice &choice) override
    {
        choice.objects = keyParam(value(QStringLiteral("objects")));
        choice.allObjects = choice.objects.isEmpty() || flag(QStringLiteral("allobjects"));
        choice.includeGroup = flag(QStringLiteral("includegroup"));
        return true;
    }
    bool chooseCustomers(TReportCustomerChoice &choice, bool) override
    {
        choice.customers = keyParam(value(QStringLiteral("customers")));
        choice.allCustomers = !m_params.contains(QStringLiteral("customers"));
        choice.startDate = date(QStringLiteral("from"));
        choice.endDate = date(QStringLiteral("to"));
        choice.unlimited = !choice.startDate.isValid() && !choice.endDate.isValid();
        if (!choice.unlimited && (!choice.startDate.isValid() || !choice.endDate.isValid()))
            throw std::invalid_argument("--param from=YYYY-MM-DD and to=YYYY-MM-DD go together");
        choice.allPayments = !m_params.contains(QStringLiteral("payment"));
        if (!choice.allPayments)
            choice.paymentKey = intArgument(value(QStringLiteral("payment")), QStringLiteral("--param payment"));
        return true;
    }
    bool chooseServices(QList<int> &keys) override
    {
        keys = keyParam(value(QStringLiteral("services")));
        return true;
    }
    bool sqlParams(const QStringList &names, const std::function<QString(const QStringList &)> &apply) override
    {
        QStringList values;
        for (const QString &name : names) {
            if (!m_params.contains(name.toLower()))
                throw std::invalid_argument(
                    QStringLiteral("The report asks for --param %1=VALUE").arg(name).toStdString());
            values << value(name);
        }
        const QString error = apply(values);
        if (!error.isEmpty())
            oneLine(error);
        return true;
    }

    bool written = false;

private:
    QString value(const QString &name) const { return m_params.value(name.toLower()); }
    bool flag(const QString &name) const { return value(name) == QLatin1String("1"); }
    QDate date(const QString &name) const
    {
        if (!m_params.contains(name))
            return {};
        const QDate d = QDate::fromString(value(name), Qt::ISODate);
        if (!d.isValid())
            throw std::invalid_argument(
                QStringLiteral("--param %1 takes a date YYYY-MM-DD: %2").arg(name, value(name)).toStdString());
        return d;
    }

    QMap<QString, QString> m_params;
    QString m_output;
    FailingPrompt m_prompt;
};

// A stored row by its key or, failing that, by its name.
int findRow(korvex::db::TxDatabase &db, const QString &table, const QString &text, const QString &what)
{
    bool isKey = false;
    const int key = text.toInt(&isKey);
    const QVariant found = isKey
        ? TxQuery::scalar(db, QStringLiteral("SELECT id FROM %1 WHERE id = ?").arg(table), {key})
        : TxQuery::scalar(db, QStringLiteral("SELECT id FROM %1 WHERE UPPER(name) = UPPER(?) ORDER BY id").arg(table),
                          {text});
    if (found.isNull())
        oneLine(QStringLiteral("%1 not found: %2").arg(what, text));
    return found.toInt();
}

void requireRows(korvex::db::TxDatabase &db, const QString &table, const QList<int> &keys, const QString &what)
{
    for (int k : keys)
        if (TxQuery::scalar(db, QStringLiteral("SELECT id FROM %1 WHERE id = ?").arg(table), {k}).isNull())
            oneLine(QStringLiteral("%1 %2 does not exist.").arg(what).arg(k));
}

int runPrint(const Args &a)
{
    const QString output = a.value(QStringLiteral("out"));
    if (a.positional.size() != 3 || output.isEmpty())
        throw std::invalid_argument(kUsage);
    const QString kind = a.positional.at(0);
    const bool isReport = kind == QLatin1String("report");
    int type = 0;
    if (kind == QLatin1String("contract"))
        type = TboRentPrintDocument::Contract;
    else if (kind == QLatin1String("contract-priced"))
        type = TboRentPrintDocument::ContractPriced;
    else if (kind == QLatin1String("invoice"))
        type = TboRentPrintDocument::Invoice;
    else if (!isReport)
        throw std::invalid_argument(kUsage);
    if (!isReport && (!a.has(QStringLiteral("form")) || a.value(QStringLiteral("form")).isEmpty()))
        throw std::invalid_argument(kUsage);
    if (isReport && a.has(QStringLiteral("form")))
        throw std::invalid_argument(kUsage);
    QMap<QString, QString> params;
    for (const QString &p : a.values(QStringLiteral("param"))) {
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw std::invalid_argument(QStringLiteral("--param takes NAME=VALUE: %1").arg(p).toStdString());
        params.insert(p.left(eq).trimmed().toLower(), p.mid(eq + 1));
    }
    if (!isReport && !params.isEmpty())
        throw std::invalid_argument("--param belongs to print report");
    const QList<int> keys = isReport ? QList<int>() : keyList(a.positional.at(1), QStringLiteral("KEY"));
    if (!isReport && type != TboRentPrintDocument::Invoice && keys.size() != 1)
        throw std::invalid_argument("A contract is printed one at a time: give one KEY.");

    QuietMessages messages;
    auto db = openDatabase(a.positional.at(2), a);
    korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
    korvex::shell::TAppContext context{*db, options, nullptr};
    CliAnswers answers(params, output);
    // Printing reads: whatever a procedure might write is undone.
    korvex::db::TxReadScope readOnly(*db);
    {
        if (isReport) {
            korvex::billing::TAgedDebtReport::registerReportType();
            TboRentReport reports(context, &answers);
            reports.RunReport(findRow(*db, QStringLiteral("rent_printreport"), a.positional.at(1),
                                      QStringLiteral("Report")));
        } else {
            const int form = findRow(*db, QStringLiteral("rent_printdocument"), a.value(QStringLiteral("form")),
                                     QStringLiteral("Print form"));
            TboRentPrintDocument printing(context, &answers);
            const auto record = printing.readForm(form);
            if (!record || record->typeDocument != type)
                oneLine(QStringLiteral("Print form %1 does not print a %2.").arg(a.value(QStringLiteral("form")), kind));
            requireRows(*db, type == TboRentPrintDocument::Invoice ? QStringLiteral("rent_invoice")
                                                                   : QStringLiteral("rent_contract"),
                        keys, type == TboRentPrintDocument::Invoice ? QStringLiteral("Invoice")
                                                                    : QStringLiteral("Contract"));
            if (type == TboRentPrintDocument::Invoice)
                printing.PrintDocument(form, keys.size() == 1 ? keys.first() : -1, {},
                                       keys.size() == 1 ? QList<int>() : keys);
            else
                printing.PrintDocument(form, keys.first());
        }
    }
    // The output is written aside and renamed into place: a failure leaves none.
    if (!answers.written)
        oneLine(QStringLiteral("Nothing to print: the report found no rows."));
    return 0;
}

} // namespace

Command printCommand()
{
    return {QStringLiteral("print"),
            QStringLiteral("  print (contract|contract-priced|invoice) KEY[,KEY...] --form PRINTFORM\n"
                           "        --out OUTPUT.rtf|OUTPUT.pdf DATABASE\n"
                           "                            print documents through a stored print form (its id\n"
                           "                            or name); several invoice keys print together\n"
                           "  print report REPORT --out OUTPUT.rtf|OUTPUT.pdf [--param NAME=VALUE]... DATABASE\n"
                           "                            run a stored report (id or name); --param answers its\n"
                           "                            questions: objects=K;K, allobjects=1, includegroup=1,\n"
                           "                            customers=K,K, from=/to=YYYY-MM-DD, payment=K,\n"
                           "                            services=K,K, and the :NAME parameters of an SQL report"),
            [](const QStringList &args) -> int {
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("out") << QStringLiteral("form") << QStringLiteral("param");
                const Args a = parseArgs(args, valueOptions, {});
                return runWithOneLineErrors([&a] { return runPrint(a); });
            },
            true};
}

} // namespace korvex::cli
