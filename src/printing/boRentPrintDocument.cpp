#include "boRentPrintDocument.h"

#include "printDialogs.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "debt/boRentDebt.h"
#include "documents/xReportData.h"
#include "pricing/boRentReckoning.h"
#include "shell/AppContext.h"
#include "shell/UserLogin.h"
#include "shell/mmOptions.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xSqlFilter.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlField>
#include <QSqlRecord>

namespace korvex::documents {

using korvex::db::TxDatabase;
using korvex::db::TxQuery;
using korvex::widgets::TxSqlFilter;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TboRentPrintDocument", text);
}

const char *const kContractServices =
    " SELECT s.name as servicecal, i.name as objectcal,    i.attribute, i.description as attribute2, sc.*,"
    "   loc.name as location, ot.name as objecttype, i.*,  s.description1 as sdescription1,"
    " s.description2 as sdescription2, s.description3  as sdescription3"
    "  FROM rent_service s, rent_contractservice sc  LEFT JOIN rent_object i ON (sc.objectkey = i.id)"
    "  LEFT JOIN rent_location loc ON (loc.id = i.locationkey)"
    "  LEFT JOIN rent_objecttype ot ON (ot.id = i.objecttypekey)"
    "  WHERE sc.contractkey = ? AND sc.servicekey = s.id AND    s.printservice = 1";

const char *const kPricedContract =
    "SELECT rent_contract.number, rent_contract.name as contractname, rent_contract.signdate,"
    " rent_contract.expriredate, rent_contract.paymentday, rent_contract.sumcurr, rent_contract.sumncu,"
    " rent_contract.customerkey FROM rent_contract WHERE id = ?";

const char *const kPricedServices =
    " SELECT s.name as servicecal, sc.*, i.*,    loc.name as location, ot.name as objecttype,"
    "  s.description1 as sdescription1, s.description2 as sdescription2, s.description3  as sdescription3"
    "  FROM rent_service s, rent_contractservice sc  LEFT JOIN rent_object i ON (sc.objectkey = i.id)"
    "  LEFT JOIN rent_location loc ON (loc.id = i.locationkey)"
    "  LEFT JOIN rent_objecttype ot ON (ot.id = i.objecttypekey)"
    "  WHERE sc.contractkey = ? AND sc.servicekey = s.id AND    s.printservice = 1";

const char *const kInvoiceGrouped =
    "SELECT inv.id as InvoiceKey, inv.Number, con.Number as Number_1, con.SignDate,"
    "        inv.InvoiceDate, cst.UNN, SUM(invs.CostNCU) as CostNCU, SUM(cs.CountObject) as CountObject,"
    "        inv.customerkey, ser.Name, ser.id as servicekey, cst.domicile , inv.Information, inv.SumNCU"
    "  FROM rent_invoice inv, rent_contract con, rent_invoiceservice invs,"
    "        rent_contractservice cs, rent_service ser, cst_customer cst"
    "  WHERE inv.contractkey = con.id AND inv.id = invs.invoicekey"
    "    AND invs.contractservicekey = cs.id"
    "    AND ser.id = (SELECT servicekey FROM rent_p_get_parentservice(cs.servicekey))"
    "    AND cst.id = inv.customerkey ";

const char *const kInvoiceLines =
    " SELECT * FROM rent_service ser, rent_invoicetype it, rent_invoiceservice invs,"
    "       rent_invoice inv, rent_payment pm, rent_contract con,  cst_customer cst, rent_contractservice cs"
    "  LEFT JOIN rent_object obj ON (cs.objectkey = obj.id)"
    "  WHERE invs.contractservicekey = cs.id AND  ser.id = cs.servicekey AND inv.id = invs.invoicekey AND"
    "  inv.paymentkey = pm.id AND it.id = inv.invoicetypekey AND"
    "  inv.contractkey = con.id AND cst.id = inv.customerkey ";

const char *const kInvoiceGroupBy =
    "GROUP BY inv.id, inv.Number, ser.name, ser.id, con.Number, con.SignDate, inv.InvoiceDate, cst.UNN,"
    " inv.customerkey, cst.domicile, inv.Information, inv.SumNCU";

const QString kCustomerProc = QStringLiteral("FIN_P_CUSTOMER_GETVALUE");

// "prefix + column + separator + value" for every column of the first row.
void appendRow(QStringList &lines, TxQuery &q, const QString &prefix, const QString &separator)
{
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i)
        lines << prefix + r.fieldName(i) + separator + reportValueText(q.value(i));
}

void copyRecord(TxMemoryReportDataSource &data, TxQuery &q, int fields)
{
    data.appendRow();
    for (int i = 0; i < fields; ++i)
        data.setValue(i, q.value(i));
}

} // namespace

QStringList customerValueLines(TxDatabase &db, int customerKey)
{
    QStringList lines;
    korvex::db::TxStoredProc proc(db, kCustomerProc);
    proc.setParam(QStringLiteral("customerkey"), customerKey);
    proc.execute();
    lines << QStringLiteral("custcustomerkey = ") + QString::number(customerKey);
    for (const QString &name : proc.outputNames())
        lines << QStringLiteral("cust") + name + QStringLiteral(" = ") + reportValueText(proc.output(name));

    TxQuery customer(db);
    customer.exec(QStringLiteral("SELECT * FROM cst_customer WHERE id = ?"), {customerKey});
    if (customer.next())
        appendRow(lines, customer, QStringLiteral("customer"), QStringLiteral(" = "));
    TxQuery person(db);
    person.exec(QStringLiteral("SELECT * FROM cst_person WHERE customerkey = ?"), {customerKey});
    if (person.next())
        appendRow(lines, person, QStringLiteral("person"), QStringLiteral(" = "));
    TxQuery factory(db);
    factory.exec(QStringLiteral("SELECT * FROM cst_factory WHERE customerkey = ?"), {customerKey});
    if (factory.next())
        appendRow(lines, factory, QStringLiteral("factory"), QStringLiteral(" = "));
    return lines;
}

TboRentPrintDocument::TboRentPrintDocument(korvex::shell::TAppContext &context, TPrintDialogs *dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
{
}

TboRentPrintDocument::~TboRentPrintDocument() = default;

QStringList TboRentPrintDocument::typeNames()
{
    return {tr("Группа"), tr("Договор"), tr("Договор с рассчетными ценами"), tr("Формирование задолженности"),
            tr("Погашение задолженности")};
}

QString TboRentPrintDocument::monthName(int month)
{
    static const char *const names[] = {"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                                        "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

QList<TPrintMenuEntry> TboRentPrintDocument::printMenu(int type, const QString &registerTable) const
{
    QList<TPrintMenuEntry> entries;
    const auto entry = [&entries](TxQuery &q, bool isRegister) {
        TPrintMenuEntry e;
        e.isRegister = isRegister;
        const QString nameField = isRegister ? QStringLiteral("registername") : QStringLiteral("name");
        const QString pathField = isRegister ? QStringLiteral("registerpath") : QStringLiteral("path");
        while (q.next())
            e.items << TPrintMenuItem{q.value(QStringLiteral("id")).toInt(), q.value(nameField).toString(),
                                      q.value(pathField).toString()};
        if (e.items.isEmpty())
            return;
        if (e.items.size() == 1) {
            e.caption = (isRegister ? tr("Печать реестра: ") : tr("Печать: ")) + e.items.first().caption;
            e.items.first().caption = e.caption;
        } else {
            e.caption = isRegister ? tr("Печать реестра:") : tr("Печать");
        }
        entries << e;
    };
    if (type != -1) {
        TxQuery q(m_context.db);
        q.exec(QStringLiteral("SELECT * FROM rent_printdocument WHERE typedocument = ? ORDER BY id"), {type});
        entry(q, false);
    }
    // The list name a page asks for is compared ignoring letter case, so a
    // name typed in small letters still finds its page.
    if (!registerTable.trimmed().isEmpty()) {
        TxQuery q(m_context.db);
        q.exec(QStringLiteral("SELECT * FROM rent_printdocument WHERE UPPER(registertable) = ? ORDER BY id"),
               {registerTable.trimmed().toUpper()});
        entry(q, true);
    }
    return entries;
}

TPrintFormRecord TboRentPrintDocument::newRecord(int parent) const
{
    TPrintFormRecord r;
    r.parent = parent;
    return r;
}

std::optional<TPrintFormRecord> TboRentPrintDocument::readForm(int id) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT * FROM rent_printdocument WHERE id = ?"), {id});
    if (!q.next())
        return std::nullopt;
    TPrintFormRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.parent = q.value(QStringLiteral("parent")).toInt();
    r.name = q.value(QStringLiteral("name")).toString();
    r.path = q.value(QStringLiteral("path")).toString();
    r.typeDocument = q.value(QStringLiteral("typedocument")).toInt();
    r.group = q.value(QStringLiteral("flag")).toInt() == 1;
    r.registerName = q.value(QStringLiteral("registername")).toString();
    r.registerPath = q.value(QStringLiteral("registerpath")).toString();
    r.registerTable = q.value(QStringLiteral("registertable")).toString();
    r.userKey = q.value(QStringLiteral("userkey")).toInt();
    return r;
}

void TboRentPrintDocument::writeForm(TPrintFormRecord &record)
{
    record.registerTable = record.registerTable.trimmed().toUpper();
    record.userKey = m_context.login ? std::max(0, m_context.login->UserKey) : 0;
    record.id = korvex::db::writeRow(
        m_context.db, QStringLiteral("rent_printdocument"), QStringLiteral("gen_rent_printdocument"), record.id,
        {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("path"), QStringLiteral("typedocument"),
         QStringLiteral("flag"), QStringLiteral("registername"), QStringLiteral("registerpath"),
         QStringLiteral("registertable"), QStringLiteral("userkey")},
        {record.parent > 0 ? QVariant(record.parent) : QVariant(QMetaType(QMetaType::Int)), record.name,
         korvex::db::nullableText(record.path), record.typeDocument,
         record.group ? QVariant(1) : QVariant(QMetaType(QMetaType::Int)),
         korvex::db::nullableText(record.registerName), korvex::db::nullableText(record.registerPath),
         korvex::db::nullableText(record.registerTable),
         record.userKey > 0 ? QVariant(record.userKey) : QVariant(QMetaType(QMetaType::Int))},
        tr("Печатная форма удалена другим пользователем."));
}

bool TboRentPrintDocument::AddPrintForm(int parent, int *newId)
{
    TPrintDialogs &d = korvex::widgets::requirePort(m_dialogs, "TboRentPrintDocument::AddPrintForm");
    return korvex::widgets::newThroughDialog(
        newRecord(parent),
        [&](TPrintFormRecord &r, bool isNew, int &saved) { return d.printFormDialog(*this, r, isNew, saved); },
        newId);
}

bool TboRentPrintDocument::EditPrintForm(int id)
{
    TPrintDialogs &d = korvex::widgets::requirePort(m_dialogs, "TboRentPrintDocument::EditPrintForm");
    return korvex::widgets::editThroughDialog(
        readForm(id),
        [&](TPrintFormRecord &r, bool isNew, int &saved) { return d.printFormDialog(*this, r, isNew, saved); });
}

bool TboRentPrintDocument::DeletePrintForm(int id)
{
    TPrintDialogs &d = korvex::widgets::requirePort(m_dialogs, "TboRentPrintDocument::DeletePrintForm");
    korvex::widgets::TDeleteTexts texts = korvex::widgets::recordDeleteTexts();
    texts.question = tr("Удалить печатную форму?");
    texts.questionCaption = tr("Внимание!");
    return korvex::widgets::confirmAndDelete(m_context.db, d.prompt(), texts,
                                             QStringLiteral("DELETE FROM rent_printdocument WHERE id = ?"), {id});
}

void TboRentPrintDocument::storeContractFile(int contractKey, const QString &fileName)
{
    korvex::db::runInTransaction(m_context.db, [&] {
        TxQuery::execute(m_context.db, QStringLiteral("UPDATE rent_contract SET filename = ? WHERE id = ?"),
                         {korvex::db::nullableText(fileName), contractKey});
    });
}

QStringList TboRentPrintDocument::customerValues(int customerKey)
{
    return customerValueLines(m_context.db, customerKey);
}

std::optional<TPrintJob> TboRentPrintDocument::registerJob(int formId, std::shared_ptr<TxMemoryReportDataSource> list)
{
    const auto form = readForm(formId);
    if (!form || !list)
        return std::nullopt;
    TPrintJob job;
    job.kind = TPrintJob::Register;
    job.typeDocument = form->typeDocument;
    job.title = form->registerName;
    job.templateFile = form->registerPath;
    job.data = std::move(list);
    return job;
}

std::optional<TPrintJob> TboRentPrintDocument::documentJob(int formId, int recordId, const QList<int> &keys)
{
    const auto form = readForm(formId);
    if (!form)
        return std::nullopt;
    switch (form->typeDocument) {
    case Contract:
        return contractJob(*form, recordId, false);
    case ContractPriced:
        return contractJob(*form, recordId, true);
    case Invoice:
        return invoiceJob(*form, recordId, keys);
    default:
        return std::nullopt;
    }
}

void TboRentPrintDocument::PrintDocument(int formId, int recordId, std::shared_ptr<TxMemoryReportDataSource> list,
                                         const QList<int> &keys)
{
    TPrintDialogs &d = korvex::widgets::requirePort(m_dialogs, "TboRentPrintDocument::PrintDocument");
    std::optional<TPrintJob> job = list ? registerJob(formId, std::move(list)) : documentJob(formId, recordId, keys);
    if (!job)
        return;
    if (d.showReport(*job) && job->contractKey > 0)
        storeContractFile(job->contractKey, job->fileName);
}

std::optional<TPrintJob> TboRentPrintDocument::contractJob(const TPrintFormRecord &form, int contractId, bool priced)
{
    TPrintJob job;
    job.kind = TPrintJob::Document;
    job.typeDocument = form.typeDocument;
    job.title = form.name;
    job.templateFile = form.path;
    job.contractKey = contractId;
    TxDatabase &db = m_context.db;

    QString number;
    {
        TxQuery q(db);
        q.exec(priced ? QString::fromLatin1(kPricedContract)
                      : QStringLiteral("SELECT * FROM rent_contract WHERE id = ?"),
               {contractId});
        if (q.next()) {
            appendRow(job.vars, q, priced ? QString() : QStringLiteral("contract"), QStringLiteral("="));
            number = q.value(QStringLiteral("number")).toString();
            job.vars << customerValueLines(db, q.value(QStringLiteral("customerkey")).toInt());
        }
    }
    TxQuery services(db);
    services.exec(QString::fromLatin1(priced ? kPricedServices : kContractServices), {contractId});
    auto data = std::make_shared<TxMemoryReportDataSource>();
    data->addFields(services.record());
    const int fields = services.record().count();
    if (!priced) {
        while (services.next())
            copyRecord(*data, services, fields);
    } else {
        korvex::calc::TboRentReckoning engine(m_context);
        korvex::calc::TReckoningRun run(engine);
        const int costNcu = data->fieldIndex(QStringLiteral("costncu"));
        const int costCurr = data->fieldIndex(QStringLiteral("costcurr"));
        while (services.next()) {
            copyRecord(*data, services, fields);
            // A printed price is a kopeck amount, so that the printed total is
            // the sum of the printed lines.
            if (engine.LoadContractService(services.value(QStringLiteral("id")).toInt()) && engine.Reckon()) {
                if (engine.CostNCU != 0)
                    data->setValue(costNcu, korvex::amount::roundToStep(engine.CostNCU, 0.01));
                if (engine.CostCurr != 0)
                    data->setValue(costCurr, korvex::amount::roundToStep(engine.CostCurr, 0.01));
            }
        }
    }
    data->first();
    job.data = data;
    if (form.typeDocument == Contract) {
        job.fileNameBox = true;
        const QString dir = m_context.options.stringOption(QStringLiteral("contractpath"));
        job.fileName = dir + number + QStringLiteral(".rtf");
    }
    return job;
}

std::optional<TPrintJob> TboRentPrintDocument::invoiceJob(const TPrintFormRecord &form, int recordId,
                                                          const QList<int> &keys)
{
    if (recordId <= 0 && keys.isEmpty())
        return std::nullopt;
    TxDatabase &db = m_context.db;
    TxSqlFilter sql(QString::fromLatin1(form.group ? kInvoiceGrouped : kInvoiceLines));
    if (recordId > 0) {
        sql.add(QStringLiteral("AND inv.id = ?"), recordId);
    } else {
        QVariantList v;
        for (int k : keys)
            v << k;
        sql.addIn(QStringLiteral("AND"), QStringLiteral("inv.id"), v);
    }
    if (form.group)
        sql.add(QString::fromLatin1(kInvoiceGroupBy));
    sql.add(QStringLiteral("ORDER BY inv.id"));

    TxQuery lines(db);
    lines.exec(sql.text(), sql.values());
    auto data = std::make_shared<TxMemoryReportDataSource>();
    data->addFields(lines.record());
    const int fields = lines.record().count();

    // The customer's values on every row, read once per customer.
    korvex::db::TxStoredProc proc(db, kCustomerProc);
    QHash<int, QVariantList> customers;
    QStringList procNames;
    QList<int> spFields;
    korvex::billing::TboRentDebt debt(db);
    int debtNcu = -1, month = -1, debtCurr = -1, costNcuCur = -1, debtNcuCur = -1;
    bool first = true;
    while (lines.next()) {
        const int customerKey = lines.value(QStringLiteral("customerkey")).toInt();
        if (!customers.contains(customerKey)) {
            proc.setParam(QStringLiteral("customerkey"), customerKey);
            proc.execute();
            QVariantList values;
            for (const QString &name : proc.outputNames())
                values << proc.output(name);
            customers.insert(customerKey, values);
            if (first)
                procNames = proc.outputNames();
        }
        if (first) {
            for (const QString &name : procNames)
                spFields << data->addField(QStringLiteral("sp") + name, TxReportDataSource::Text);
            if (!form.group) {
                debtNcu = data->addField(QStringLiteral("debtcostncu"), TxReportDataSource::Float);
                month = data->addField(QStringLiteral("month"), TxReportDataSource::Text);
                debtCurr = data->addField(QStringLiteral("debtcostcurr"), TxReportDataSource::Float);
                costNcuCur = data->addField(QStringLiteral("costncucur"), TxReportDataSource::Text);
                debtNcuCur = data->addField(QStringLiteral("debtcostncucur"), TxReportDataSource::Text);
            }
            first = false;
        }
        copyRecord(*data, lines, fields);
        const QVariantList values = customers.value(customerKey);
        for (int i = 0; i < spFields.size() && i < values.size(); ++i)
            data->setValue(spFields.at(i), values.at(i));
        if (!form.group) {
            const QDate date = lines.value(QStringLiteral("invoicedate")).toDate();
            debt.DebtOfContractService(lines.value(QStringLiteral("contractservicekey")).toInt(), date);
            data->setValue(debtNcu, debt.ncu());
            data->setValue(debtCurr, debt.curr());
            const double costCurr = lines.value(QStringLiteral("costcurr")).toDouble();
            data->setValue(costNcuCur, costCurr != 0 ? QVariant(0) : lines.value(QStringLiteral("costncu")));
            data->setValue(debtNcuCur, debt.curr() != 0 ? QVariant(0) : QVariant(debt.ncu()));
            data->setValue(month, monthName(date.month()));
        }
    }
    data->first();

    TPrintJob job;
    job.kind = TPrintJob::Document;
    job.typeDocument = form.typeDocument;
    job.title = form.name;
    job.templateFile = form.path;
    job.data = data;
    return job;
}

} // namespace korvex::documents
