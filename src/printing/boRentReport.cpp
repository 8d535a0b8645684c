#include "boRentReport.h"

#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xTransaction.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "shell/AppContext.h"
#include "shell/UserLogin.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xProgress.h"
#include "widgets/xPrompt.h"
#include "widgets/xSqlFilter.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSqlError>
#include <QSqlRecord>
#include <map>

namespace korvex::documents {

using korvex::db::TxQuery;
using korvex::widgets::TxSqlFilter;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TboRentReport", text);
}

struct TypeEntry {
    QString name;
    TReportRunner runner;
};

std::map<int, TypeEntry> &types();

std::map<int, TypeEntry> builtInTypes()
{
    std::map<int, TypeEntry> t;
    t[TboRentReport::SqlReport] = {tr("SQL-отчет"), {}};
    t[TboRentReport::DebtsByObjects] = {tr("Задолженност в разрезе клиентов, услуг и объектов"), {}};
    t[TboRentReport::FreeObjects] = {tr("Свободные объекты"), {}};
    t[TboRentReport::UsedObjects] = {tr("Задействованные объекты"), {}};
    t[TboRentReport::Tenants] = {tr("Арендаторы"), {}};
    t[TboRentReport::DebtorTenants] = {tr("Арендаторы должники"), {}};
    t[TboRentReport::Violations] = {tr("Нарушения клиентов"), {}};
    t[TboRentReport::DebtsByServices] = {tr("Задолженност в разрезе клиентов, услуг"), {}};
    return t;
}

std::map<int, TypeEntry> &types()
{
    static std::map<int, TypeEntry> all = builtInTypes();
    return all;
}

QVariant nullInt()
{
    return QVariant(QMetaType(QMetaType::Int));
}

} // namespace

TboRentReport::TboRentReport(korvex::shell::TAppContext &context, TPrintDialogs *dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
{
}

void TboRentReport::registerReportType(int type, const QString &name, TReportRunner runner)
{
    types()[type] = {name, std::move(runner)};
}

QList<std::pair<int, QString>> TboRentReport::reportTypes()
{
    QList<std::pair<int, QString>> list;
    for (const auto &[type, entry] : types())
        list.append({type, entry.name});
    return list;
}

QString TboRentReport::typeName(int type)
{
    const auto it = types().find(type);
    return it == types().end() ? QString() : it->second.name;
}

TPrintDialogs &TboRentReport::dialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentReport");
}

TRentReportRecord TboRentReport::newRecord(int parent) const
{
    TRentReportRecord r;
    r.parent = parent;
    return r;
}

std::optional<TRentReportRecord> TboRentReport::readReport(int id) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT * FROM rent_printreport WHERE id = ?"), {id});
    if (!q.next())
        return std::nullopt;
    TRentReportRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.parent = q.value(QStringLiteral("parent")).toInt();
    r.name = q.value(QStringLiteral("name")).toString();
    r.fileName = q.value(QStringLiteral("filename")).toString();
    r.typeReport = q.value(QStringLiteral("typereport")).toInt();
    r.icon = q.value(QStringLiteral("icon")).toInt();
    const QVariant text = q.value(QStringLiteral("textsql"));
    r.textSql = text.typeId() == QMetaType::QByteArray ? QString::fromUtf8(text.toByteArray()) : text.toString();
    r.userKey = q.value(QStringLiteral("userkey")).toInt();
    return r;
}

void TboRentReport::writeReport(TRentReportRecord &record)
{
    if (record.name.trimmed().isEmpty())
        throw korvex::db::EBusinessError(tr("Введите наименование"));
    record.userKey = m_context.login ? std::max(0, m_context.login->UserKey) : 0;
    record.id = korvex::db::writeRow(
        m_context.db, QStringLiteral("rent_printreport"), QStringLiteral("gen_rent_printreport"), record.id,
        {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("filename"), QStringLiteral("typereport"),
         QStringLiteral("icon"), QStringLiteral("textsql"), QStringLiteral("userkey")},
        {record.parent > 0 ? QVariant(record.parent) : nullInt(), record.name,
         korvex::db::nullableText(record.fileName), record.typeReport, record.icon,
         korvex::db::nullableText(record.textSql), record.userKey},
        tr("Отчет удален другим пользователем."));
}

bool TboRentReport::hasChildren(int id) const
{
    return TxQuery::scalar(m_context.db, QStringLiteral("SELECT COUNT(*) FROM rent_printreport WHERE parent = ?"), {id})
               .toInt()
        > 0;
}

bool TboRentReport::AddReport(int parent, int *newId)
{
    TPrintDialogs &d = dialogs();
    return korvex::widgets::newThroughDialog(
        newRecord(parent), [&](TRentReportRecord &r, bool isNew, int &saved) { return d.reportDialog(*this, r, isNew, saved); },
        newId);
}

bool TboRentReport::EditReport(int id)
{
    TPrintDialogs &d = dialogs();
    return korvex::widgets::editThroughDialog(
        readReport(id), [&](TRentReportRecord &r, bool isNew, int &saved) { return d.reportDialog(*this, r, isNew, saved); });
}

bool TboRentReport::DeleteReport(int id)
{
    korvex::widgets::TDeleteTexts texts = korvex::widgets::recordDeleteTexts();
    texts.question = tr("Удалить печатную форму?");
    texts.questionCaption = tr("Внимание!");
    return korvex::widgets::confirmAndDelete(m_context.db, dialogs().prompt(), texts,
                                             QStringLiteral("DELETE FROM rent_printreport WHERE id = ?"), {id});
}

void TboRentReport::RunReport(int id)
{
    std::optional<TPrintJob> job = reportJob(id);
    if (job)
        dialogs().showReport(*job);
}

std::optional<TPrintJob> TboRentReport::reportJob(int id)
{
    const auto report = readReport(id);
    if (!report)
        return std::nullopt;
    switch (report->typeReport) {
    case SqlReport:
        return sqlReport(*report);
    case DebtsByObjects:
        return debtReport(*report, true);
    case DebtsByServices:
        return debtReport(*report, false);
    case FreeObjects:
    case UsedObjects:
    case Tenants:
    case DebtorTenants:
    case Violations:
        return objectReport(*report);
    default: {
        const auto it = types().find(report->typeReport);
        if (it == types().end() || !it->second.runner)
            return std::nullopt;
        return it->second.runner(*this, *report);
    }
    }
}

TPrintJob TboRentReport::jobFor(const TRentReportRecord &report, const TxSqlFilter &sql, const QStringList &vars) const
{
    // Reading only: whatever a procedure of the statement might write is undone.
    korvex::db::TxReadScope readOnly(m_context.db);
    QSqlQuery query(m_context.db.sql());
    query.setForwardOnly(true);
    if (!query.prepare(sql.text()))
        throw korvex::db::EDatabaseError::fromSqlError(query.lastError(), sql.text());
    const QVariantList values = sql.values();
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    TPrintJob job;
    job.kind = TPrintJob::Report;
    job.title = report.name;
    job.templateFile = report.fileName;
    job.vars = vars;
    job.data = readAll(query);
    return job;
}

bool TboRentReport::addCustomerFilter(TxSqlFilter &sql, const TReportCustomerChoice &choice,
                                      const QString &column) const
{
    if (choice.allCustomers)
        return true;
    if (choice.customers.isEmpty()) {
        dialogs().prompt().warning(tr("Необходио выбрать хотя бы одного клиента"), tr("Внимание!"));
        return false;
    }
    QVariantList keys;
    for (int k : choice.customers)
        keys << k;
    sql.addIn(QStringLiteral("AND"), column, keys);
    return true;
}

QStringList TboRentReport::sqlParameterNames(const QString &sql)
{
    QStringList names;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = sql.indexOf(c, i + 1);
            if (close < 0)
                break;
            i = close;
        } else if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype nl = sql.indexOf(QLatin1Char('\n'), i);
            if (nl < 0)
                break;
            i = nl;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                break;
            i = end + 1;
        } else if (c == QLatin1Char(':')) {
            qsizetype j = i + 1;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
                names << name;
            i = j - 1;
        }
    }
    return names;
}

std::optional<TPrintJob> TboRentReport::sqlReport(const TRentReportRecord &report)
{
    const QString text = report.textSql;
    const auto sqlError = [this] { dialogs().prompt().warning(tr("Ошибка в SQL"), tr("Внимание!")); };
    // A report reads: anything but one SELECT is refused before it reaches the server.
    if (!TxSqlReportDataSource::isSingleSelect(text)) {
        sqlError();
        return std::nullopt;
    }
    QString statement = text.trimmed();
    while (statement.endsWith(QLatin1Char(';')))
        statement.chop(1);
    const QStringList names = sqlParameterNames(statement);
    std::optional<TPrintJob> job;
    const auto run = [&](const QStringList &values) {
        korvex::db::TxReadScope readOnly(m_context.db);
        QSqlQuery query(m_context.db.sql());
        query.setForwardOnly(true);
        if (!query.prepare(statement))
            throw korvex::db::EDatabaseError::fromSqlError(query.lastError(), statement);
        for (int i = 0; i < names.size(); ++i)
            query.bindValue(QLatin1Char(':') + names.at(i), values.value(i));
        TPrintJob j;
        j.kind = TPrintJob::Report;
        j.title = report.name;
        j.templateFile = report.fileName;
        j.data = readAll(query);
        job = std::move(j);
    };
    try {
        if (names.isEmpty()) {
            run({});
        } else {
            const bool applied = dialogs().sqlParams(names, [&](const QStringList &values) -> QString {
                try {
                    run(values);
                    return {};
                } catch (const korvex::db::EDatabaseError &e) {
                    return e.message();
                }
            });
            if (!applied)
                return std::nullopt;
        }
    } catch (const korvex::db::EDatabaseError &) {
        sqlError();
        return std::nullopt;
    }
    return job;
}

std::optional<TPrintJob> TboRentReport::objectReport(const TRentReportRecord &report)
{
    const int type = report.typeReport;
    TReportObjectChoice objects;
    if (type != Violations && !dialogs().chooseObjects(objects))
        return std::nullopt;
    TReportCustomerChoice customers;
    if (type != FreeObjects && !dialogs().chooseCustomers(customers, type != DebtorTenants))
        return std::nullopt;
    const QVariantList objectArgs{objects.objectText(), objects.allObjects ? 1 : 0, objects.includeGroup ? 1 : 0};
    TxSqlFilter sql;
    switch (type) {
    case FreeObjects:
        sql.addList(QStringLiteral(
                        " SELECT * FROM rent_object obj, rent_location loc,    rent_objecttype ot,"
                        " rent_p_getobjects(?, ?, ?) go WHERE (obj.useful = 0 OR obj.useful IS NULL)"
                        "  AND (isgroup = 0 OR isgroup IS NULL)  AND (disabled = 0 OR disabled IS NULL)"
                        "  AND loc.id = obj.locationkey AND ot.id = obj.objecttypekey  AND go.objectkey = obj.id"),
                    objectArgs);
        sql.add(QStringLiteral("ORDER BY obj.name"));
        break;
    case UsedObjects:
        sql.addList(QStringLiteral(
                        " SELECT * FROM rent_p_getuseobject ub, rent_object obj, rent_location loc,"
                        " rent_objecttype ot,    rent_contract con, cst_customer cust, rent_p_getobjects(?, ?, ?) go"
                        " WHERE obj.id = ub.objectkey    AND go.objectkey = obj.id    AND cust.id = con.customerkey"
                        "    AND con.id = ub.contractkey    AND loc.id = obj.locationkey"
                        "    AND ot.id = obj.objecttypekey "),
                    objectArgs);
        sql.addIf(!customers.allPayments, QStringLiteral("AND con.paymentkey = ?"), customers.paymentKey);
        if (!addCustomerFilter(sql, customers, QStringLiteral("cust.id")))
            return std::nullopt;
        sql.add(QStringLiteral("ORDER BY obj.name"));
        break;
    case Tenants:
        sql.addList(QStringLiteral(
                        " SELECT DISTINCT *  FROM rent_contractservice cs, rent_object obj, rent_contract con,"
                        "    cst_customer cst, rent_p_getobjects(?, ?, ?) go,    rent_location loc, rent_objecttype ot"
                        "  WHERE cs.objectkey = obj.id AND con.id = cs.contractkey AND"
                        "    cst.id = con.customerkey AND con.disabled = 0"
                        "    AND go.objectkey = obj.id AND loc.id = obj.locationkey AND ot.id = obj.objecttypekey "),
                    objectArgs);
        sql.addIf(!customers.allPayments, QStringLiteral("AND con.paymentkey = ?"), customers.paymentKey);
        if (!addCustomerFilter(sql, customers, QStringLiteral("cst.id")))
            return std::nullopt;
        sql.add(QStringLiteral("ORDER BY cst.name, obj.name"));
        break;
    case DebtorTenants: {
        QVariantList args{QDate::currentDate()};
        args << objectArgs;
        sql.addList(QStringLiteral(
                        " SELECT * FROM rent_p_getcustomer(?) gc, rent_object obj, cst_customer cust,"
                        "   rent_location loc, rent_objecttype ot, rent_p_getobjects(?, ?, ?) go"
                        " WHERE gc.objectkey = obj.id AND    obj.locationkey = loc.id AND"
                        "    ot.id = obj.objecttypekey AND   cust.id = gc.customerkey AND"
                        "   go.objectkey = obj.id AND   NOT (gc.costncu = 0 and gc.costcurr = 0) "),
                    args);
        if (!addCustomerFilter(sql, customers, QStringLiteral("cust.id")))
            return std::nullopt;
        sql.add(QStringLiteral(" ORDER BY cust.name, obj.name"));
        break;
    }
    case Violations:
        sql.add(QStringLiteral(" SELECT cst.fullname as customer, vio.*, c.number as contractnumber"
                               "  FROM cst_customer cst, rent_viotation vio, rent_contract c"
                               "  WHERE cst.id = vio.customerkey and c.id = vio.contractkey "));
        if (!addCustomerFilter(sql, customers, QStringLiteral("cst.id")))
            return std::nullopt;
        sql.addIf(!customers.unlimited, QStringLiteral("AND viotationdate >= ? AND viotationdate <= ?"),
                  customers.startDate, customers.endDate);
        sql.add(QStringLiteral(" ORDER BY cst.name, vio.viotationdate"));
        break;
    default:
        return std::nullopt;
    }
    return jobFor(report, sql);
}

std::optional<TPrintJob> TboRentReport::debtReport(const TRentReportRecord &report, bool byObjects)
{
    QList<int> services;
    if (!dialogs().chooseServices(services))
        return std::nullopt;
    TReportCustomerChoice customers;
    if (!dialogs().chooseCustomers(customers, true))
        return std::nullopt;
    const QLocale locale;
    const QString period = customers.unlimited
        ? tr("весь период")
        : locale.toString(customers.startDate, QLocale::ShortFormat) + QStringLiteral(" - ")
            + locale.toString(customers.endDate, QLocale::ShortFormat);
    const QStringList vars{QStringLiteral("datereport = ") + period};

    // By objects, each row is one position: its own history is the one shown.
    TxSqlFilter sql(byObjects ? QStringLiteral(" SELECT DISTINCT cust.*, obj.name as objectname,    ser.name as servicename,"
                                               " cs.id as contractservicekey, cs.servicekey")
                              : QStringLiteral(" SELECT DISTINCT cust.*,  ser.name as servicename, cs.servicekey"));
    sql.add(QStringLiteral(" FROM rent_contract con, rent_p_getdebt(?) db, cst_customer cust,    rent_contractservice cs "
                           " INNER JOIN rent_service ser ON (cs.servicekey = ser.id) "),
            QDate::currentDate());
    sql.addIf(byObjects, QStringLiteral(" LEFT JOIN rent_object obj ON (cs.objectkey = obj.id) "));
    sql.add(QStringLiteral(" WHERE    db.contractservicekey = cs.id AND    cs.contractkey = con.id AND"
                           "    cust.id = con.customerkey "));
    sql.addIf(!customers.allPayments, QStringLiteral(" AND con.paymentkey = ?"), customers.paymentKey);
    if (!addCustomerFilter(sql, customers, QStringLiteral("cust.id")))
        return std::nullopt;
    if (!services.isEmpty()) {
        QVariantList keys;
        for (int k : services)
            keys << k;
        sql.addIn(QStringLiteral("AND"), QStringLiteral("cs.servicekey"), keys);
    }
    sql.add(byObjects ? QStringLiteral(" ORDER BY cust.name, obj.id ") : QStringLiteral(" ORDER BY cust.name, ser.id "));

    korvex::db::TxReadScope readOnly(m_context.db);
    TxQuery rows(m_context.db);
    rows.exec(sql.text(), sql.values());
    const QSqlRecord rowRecord = rows.record();
    // The procedure's arguments are bound per row, the period once.
    QString historySql = byObjects
        ? QStringLiteral(" SELECT DISTINCT gh.*,  (gh.enddebtcostncu - gh.startdebtcostncu + gh.dcostncu"
                         " - gh.ccostncu)  as adddebtcostncu  FROM rent_p_gethistoryCS(?) gh ")
        : QStringLiteral(" SELECT DISTINCT gh.*,  (gh.enddebtcostncu - gh.startdebtcostncu + gh.dcostncu"
                         " - gh.ccostncu)  as adddebtcostncu  FROM rent_p_gethistoryService(?, ?, ?, ?) gh ");
    QVariantList period2;
    if (!customers.unlimited) {
        historySql += QStringLiteral("WHERE Historydate >= ? AND Historydate <= ?");
        period2 << customers.startDate << customers.endDate;
    }
    historySql += QStringLiteral(" ORDER BY historydate");

    // The customer-service rows first, so that the progress knows its end.
    QList<QVariantList> keys;
    const int rowFields = rowRecord.count();
    while (rows.next()) {
        QVariantList values;
        for (int i = 0; i < rowFields; ++i)
            values << rows.value(i);
        keys << values;
    }
    auto data = std::make_shared<TxMemoryReportDataSource>();
    bool first = true;
    korvex::widgets::TxProgressGuard progress(dialogs().progress(), tr("Создание отчета"), keys.size());
    for (qsizetype n = 0; n < keys.size(); ++n) {
        if (progress.stopped())
            return std::nullopt;
        const QVariantList &row = keys.at(n);
        const auto field = [&](const char *name) { return row.value(rowRecord.indexOf(QLatin1String(name))); };
        QVariantList values;
        if (byObjects)
            values << field("contractservicekey");
        else
            values << field("servicekey") << field("id") << (customers.allPayments ? 1 : 0) << customers.paymentKey;
        values << period2;
        TxQuery h(m_context.db);
        h.exec(historySql, values);
        if (first) {
            data->addFields(rowRecord);
            data->addFields(h.record());
            first = false;
        }
        const int historyFields = h.record().count();
        while (h.next()) {
            data->appendRow();
            for (int i = 0; i < rowFields; ++i)
                data->setValue(i, row.at(i));
            for (int i = 0; i < historyFields; ++i)
                data->setValue(rowFields + i, h.value(i));
        }
        progress.advance(n + 1);
    }
    if (first)
        return std::nullopt;  // no customer owes for these services
    data->first();
    TPrintJob job;
    job.kind = TPrintJob::Report;
    job.title = report.name;
    job.templateFile = report.fileName;
    job.vars = vars;
    job.data = data;
    return job;
}

} // namespace korvex::documents
