#include "boRentService.h"

#include "referenceDialogs.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xRowWriter.h"
#include "widgets/xDialogPort.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xPrompt.h"
#include "widgets/xTreeModel.h"

#include <QSet>
#include <stdexcept>

namespace korvex::reference {

using namespace korvex::db;
using korvex::widgets::editThroughDialog;
using korvex::widgets::newThroughDialog;
using korvex::widgets::confirmAndDelete;
using korvex::widgets::recordDeleteTexts;
using korvex::widgets::TDeleteTexts;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxTreeModel;

namespace {

const char *const SqlServiceColumns =
    "id, parent, name, priority, description1, description2, description3, mainservice, startdate, enddate, "
    "currservice, printservice, rejectdebt";

QVariant nullableDate(const QDate &d)
{
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDate>());
}

// Every digit, decimal comma: a number as it is typed.
QString numberText(double v)
{
    return korvex::amount::formatNumberField(v);
}

// An integer cell: empty is none, anything else must be a whole number.
bool parseIntCell(const QVariant &value, std::optional<int> &out)
{
    const QString text = value.toString().trimmed();
    if (text.isEmpty()) {
        out.reset();
        return true;
    }
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        out = n;
    return ok;
}

QVariant intCell(const std::optional<int> &v)
{
    return v ? QVariant(QString::number(*v)) : QVariant(QString());
}

} // namespace

TboRentService::TboRentService(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TReferenceDialogs &TboRentService::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentService");
}

// --- Operations -------------------------------------------------------------------

bool TboRentService::ChooseServices()
{
    QList<int> keys = ServiceKeys;
    if (!requireDialogs().chooseServices(*this, keys))
        return false;
    ServiceKeys = keys;
    return true;
}

bool TboRentService::NewService(int parent, const QString &name, int *newKey)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().serviceDialog(*this, r, isNew, saved);
    };
    return newThroughDialog(newRecord(parent > 0 ? std::optional<int>(parent) : std::nullopt, name), dialog, newKey);
}

bool TboRentService::EditService(int key)
{
    requireDialogs();
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().serviceDialog(*this, r, isNew, saved);
    };
    return editThroughDialog(readService(key), dialog);
}

bool TboRentService::DeleteService(int key)
{
    const QString caption = TxPrompt::attentionBang();
    const TDeleteTexts texts{tr("Удалить услугу?"), caption, tr("Данная услуга уже где-то используется"), caption};
    // The dated values and the operation rows belong to the service alone;
    // anything else that names it keeps it (and them) in place.
    return confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                            {{QStringLiteral("DELETE FROM rent_servicevalue WHERE servicekey = ?"), {key}},
                             {QStringLiteral("DELETE FROM rent_serviceoperation WHERE servicekey = ?"), {key}},
                             {QStringLiteral("DELETE FROM rent_service WHERE id = ?"), {key}}});
}

// --- Services ---------------------------------------------------------------------

TServiceRecord TboRentService::newRecord(std::optional<int> parent, const QString &name) const
{
    TServiceRecord r;
    if (parent && *parent > 0)
        r.parent = parent;
    r.name = name.trimmed().left(60);
    r.startDate = QDate::currentDate();
    r.endDate = QDate::currentDate();
    return r;
}

std::optional<TServiceRecord> TboRentService::readService(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_service WHERE id = ?").arg(QLatin1String(SqlServiceColumns)), {key});
    if (!q.next())
        return std::nullopt;
    TServiceRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.parent = optionalInt(q.value(QStringLiteral("parent")));
    r.name = q.value(QStringLiteral("name")).toString().trimmed();
    r.priority = optionalInt(q.value(QStringLiteral("priority")));
    r.description1 = q.value(QStringLiteral("description1")).toString();
    r.description2 = q.value(QStringLiteral("description2")).toString();
    r.description3 = q.value(QStringLiteral("description3")).toString();
    r.mainService = optionalInt(q.value(QStringLiteral("mainservice")));
    r.startDate = q.value(QStringLiteral("startdate")).toDate();
    r.endDate = q.value(QStringLiteral("enddate")).toDate();
    r.currService = q.value(QStringLiteral("currservice")).toInt() == 1;
    r.printService = q.value(QStringLiteral("printservice")).toInt() == 1;
    r.rejectDebt = q.value(QStringLiteral("rejectdebt")).toInt() == 1;
    return r;
}

void TboRentService::writeService(TServiceRecord &r)
{
    r.id = writeRow(m_context.db, QStringLiteral("rent_service"), QStringLiteral("gen_rent_service"), r.id,
                    {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("priority"),
                     QStringLiteral("description1"), QStringLiteral("description2"), QStringLiteral("description3"),
                     QStringLiteral("mainservice"), QStringLiteral("startdate"), QStringLiteral("enddate"),
                     QStringLiteral("currservice"), QStringLiteral("printservice"), QStringLiteral("rejectdebt")},
                    {nullableInt(r.parent), r.name, nullableInt(r.priority), nullableText(r.description1),
                     nullableText(r.description2), nullableText(r.description3), nullableInt(r.mainService),
                     nullableDate(r.startDate), nullableDate(r.endDate), r.currService ? 1 : 0,
                     r.printService ? 1 : 0, r.rejectDebt ? 1 : 0},
                    tr("Услуга удалена другим пользователем"));
}

// --- Operation rows -----------------------------------------------------------------

QList<TServiceOperationRecord> TboRentService::readOperations(int serviceKey) const
{
    QList<TServiceOperationRecord> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, rentoperation, typecustomer, operationkey FROM rent_serviceoperation "
                          "WHERE servicekey = ? ORDER BY rentoperation, typecustomer, id"),
           {serviceKey});
    while (q.next())
        rows.append({q.value(0).toInt(), optionalInt(q.value(1)), optionalInt(q.value(2)), optionalInt(q.value(3))});
    return rows;
}

void TboRentService::writeOperations(int serviceKey, const QList<TServiceOperationRecord> &rows)
{
    QList<TxDetailRow> details;
    for (const TServiceOperationRecord &r : rows)
        details.append({r.id, {nullableInt(r.rentOperation), nullableInt(r.typeCustomer), nullableInt(r.operationKey)}});
    writeDetailRows(m_context.db, QStringLiteral("rent_serviceoperation"), QStringLiteral("servicekey"), serviceKey,
                    QStringLiteral("gen_rent_serviceoperation"),
                    {QStringLiteral("rentoperation"), QStringLiteral("typecustomer"), QStringLiteral("operationkey")},
                    details);
}

QString TboRentService::operationKindName(int kind)
{
    switch (kind) {
    case 0: return tr("Позиция счета");
    case 1: return tr("Позиция платежа");
    case 2: return tr("Курсовая разница (задолженность)");
    case 3: return tr("Курсовая разница (счет)");
    case 4: return tr("Курсовая разница (платеж)");
    default: return {};
    }
}

QString TboRentService::customerKindName(int kind)
{
    switch (kind) {
    case 1: return tr("Предприятие");
    case 2: return tr("Банк");
    case 3: return tr("Физическое лицо");
    case 4: return tr("Частный предпрениматель");
    default: return {};
    }
}

QString TboRentService::operationCaption(std::optional<int> rentOperation, std::optional<int> typeCustomer)
{
    QString caption;
    if (rentOperation && *rentOperation >= 0 && *rentOperation <= 4)
        caption = operationKindName(*rentOperation) + QStringLiteral(" | ");
    if (typeCustomer)
        caption += customerKindName(*typeCustomer);
    return caption;
}

// --- Dated values ---------------------------------------------------------------------

QList<TServiceValueRecord> TboRentService::readValues(int serviceKey) const
{
    QList<TServiceValueRecord> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, servicedate, servicevalue FROM rent_servicevalue WHERE servicekey = ? "
                          "ORDER BY servicedate, id"),
           {serviceKey});
    while (q.next())
        rows.append({q.value(0).toInt(), serviceKey, q.value(1).toDate(), optionalDouble(q.value(2))});
    return rows;
}

void TboRentService::writeValue(TServiceValueRecord &r)
{
    if (r.serviceKey <= 0)
        throw std::invalid_argument("TboRentService::writeValue: no service");
    r.id = writeRow(m_context.db, QStringLiteral("rent_servicevalue"), QStringLiteral("gen_rent_servicevalue"), r.id,
                    {QStringLiteral("servicekey"), QStringLiteral("servicedate"), QStringLiteral("servicevalue")},
                    {r.serviceKey, nullableDate(r.serviceDate), nullableDouble(r.value)},
                    tr("Запись удалена другим пользователем"));
}

bool TboRentService::deleteValue(int id)
{
    return confirmAndDelete(m_context.db, requireDialogs().prompt(), recordDeleteTexts(),
                            QStringLiteral("DELETE FROM rent_servicevalue WHERE id = ?"), {id});
}

void TboRentService::setUpTree(TxTreeModel &model, bool forChooser) const
{
    model.setTable(QStringLiteral("rent_service"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    // The chooser lists every service on one level, each with its mark.
    model.setQuery(forChooser ? QStringLiteral("SELECT id, CAST(NULL AS INTEGER) AS parent, name FROM rent_service "
                                               "ORDER BY name, id")
                              : QStringLiteral("SELECT id, parent, name FROM rent_service ORDER BY name, id"));
    model.setMarkable(forChooser);
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
}

// --- TServiceOperationModel -------------------------------------------------------------

TServiceOperationModel::TServiceOperationModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("RENTOPERATION"), QStringLiteral("TYPECUSTOMER"), QStringLiteral("OPERATIONNAME"),
                          QStringLiteral("OPERATIONKEY")},
                         parent)
{
}

QVariant TServiceOperationModel::data(const QModelIndex &index, int role) const
{
    const TServiceOperationRecord *record = recordAt(index);
    if (!record)
        return {};
    const TServiceOperationRecord &r = *record;
    if (role == Qt::TextAlignmentRole && index.column() != CaptionColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case RentOperationColumn: return intCell(r.rentOperation);
    case TypeCustomerColumn: return intCell(r.typeCustomer);
    case CaptionColumn: return TboRentService::operationCaption(r.rentOperation, r.typeCustomer);
    case OperationKeyColumn: return intCell(r.operationKey);
    default: return {};
    }
}

bool TServiceOperationModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index))
        return false;
    TServiceOperationRecord &r = m_records[index.row()];
    std::optional<int> *field = nullptr;
    switch (index.column()) {
    case RentOperationColumn: field = &r.rentOperation; break;
    case TypeCustomerColumn: field = &r.typeCustomer; break;
    case OperationKeyColumn: field = &r.operationKey; break;
    default: return false;
    }
    if (!parseIntCell(value, *field)) {
        Q_EMIT cellRefused(tr("Введите целое число"));
        return false;
    }
    // The computed column follows its two inputs.
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), OperationKeyColumn));
    return true;
}

Qt::ItemFlags TServiceOperationModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != CaptionColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

// --- TServiceValueModel -----------------------------------------------------------------

TServiceValueModel::TServiceValueModel(TboRentService &bo, QObject *parent)
    : TxDatedValueModel(QStringLiteral("SERVICEDATE"), QStringLiteral("SERVICEVALUE"), parent)
    , m_bo(bo)
{
}

QList<korvex::widgets::TxDatedValue> TServiceValueModel::readRows(int serviceKey)
{
    QList<korvex::widgets::TxDatedValue> rows;
    for (const TServiceValueRecord &r : m_bo.readValues(serviceKey))
        rows << korvex::widgets::TxDatedValue{r.id, r.serviceKey, r.serviceDate, r.value};
    return rows;
}

void TServiceValueModel::writeRow(korvex::widgets::TxDatedValue &row)
{
    TServiceValueRecord r{row.id, row.ownerKey, row.date, row.value};
    m_bo.writeValue(r);
    row.id = r.id;
}

} // namespace korvex::reference
