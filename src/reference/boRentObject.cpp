#include "boRentObject.h"

#include "referenceDialogs.h"

#include "db/xDatabase.h"
#include "db/xRowWriter.h"
#include "widgets/xDialogPort.h"
#include "widgets/xConfirmDelete.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "widgets/xTreeModel.h"

#include <QStringList>
#include <stdexcept>

namespace korvex::reference {

using namespace korvex::db;
using korvex::widgets::editThroughDialog;
using korvex::widgets::newThroughDialog;
using korvex::widgets::confirmAndDelete;
using korvex::widgets::recordDeleteTexts;
using korvex::widgets::TxTreeModel;

namespace {

const char *const SqlObjectColumns =
    "id, parent, name, locationkey, objecttypekey, description, attribute, boolattribute, complete, isgroup, "
    "disabled, coef1, coef2, coef3";

// The page lists every object, so that none can get out of reach; the
// chooser offers only objects that have both a location and a type.
const char *const SqlObjectTree =
    "SELECT o.id, o.parent, o.name, l.name AS locationname, t.name AS objecttypename, o.coef1, o.coef2, o.coef3"
    " FROM rent_object o"
    " LEFT JOIN rent_location l ON l.id = o.locationkey"
    " LEFT JOIN rent_objecttype t ON t.id = o.objecttypekey"
    " ORDER BY o.name, o.id";
const char *const SqlChooserTree =
    "SELECT o.id, o.parent, o.name, l.name AS locationname, t.name AS objecttypename"
    " FROM rent_object o"
    " JOIN rent_location l ON l.id = o.locationkey"
    " JOIN rent_objecttype t ON t.id = o.objecttypekey"
    " ORDER BY o.name, o.id";

bool flag(const QVariant &v)
{
    return v.toInt() == 1;
}

} // namespace

TboRentObject::TboRentObject(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TReferenceDialogs &TboRentObject::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentObject");
}

TRentObjectRecord TboRentObject::newRecord(std::optional<int> parent) const
{
    TRentObjectRecord r;
    if (parent && *parent > 0)
        r.parent = parent;
    r.locationKey = m_context.options.GetIntegerOption(QStringLiteral("rentlocationkey"));
    r.objectTypeKey = m_context.options.GetIntegerOption(QStringLiteral("rentobjecttypekey"));
    return r;
}

bool TboRentObject::NewObject(int parent, int *newKey)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().objectDialog(*this, r, isNew, saved);
    };
    return newThroughDialog(newRecord(parent), dialog, newKey);
}

bool TboRentObject::EditObject(int key)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().objectDialog(*this, r, isNew, saved);
    };
    return editThroughDialog(readObject(key), dialog);
}

bool TboRentObject::DeleteObject(int key)
{
    return confirmAndDelete(m_context.db, requireDialogs().prompt(), recordDeleteTexts(),
                            QStringLiteral("DELETE FROM rent_object WHERE id = ?"), {key});
}

bool TboRentObject::MoveObject(int key, int target)
{
    if (key == target)
        return true;
    TxWriteScope t(m_context.db);
    if (target != 0) {
        TxStoredProc test(m_context.db, QStringLiteral("rent_p_testreplaceobject"));
        test.setParam(QStringLiteral("id"), key);
        test.setParam(QStringLiteral("groupobject"), target);
        test.execute();
        if (test.output(QStringLiteral("replace")).toInt() != 1)
            return false;
    }
    const int n = TxQuery::execute(m_context.db, QStringLiteral("UPDATE rent_object SET parent = ? WHERE id = ?"),
                                   {nullableInt(target == 0 ? std::nullopt : std::optional<int>(target)), key});
    t.commit();
    return n == 1;
}

bool TboRentObject::ChooseObject(int &objectKey, QString *list, bool showSwitches, bool *allObjects,
                                 bool *includeGroup)
{
    TObjectChoice choice;
    choice.objectKey = objectKey;
    choice.showSwitches = showSwitches;
    if (!requireDialogs().chooseObject(*this, choice) || choice.objectKey <= 0)
        return false;
    objectKey = choice.objectKey;
    if (list)
        *list = choiceList(choice.marked, choice.objectKey);
    if (allObjects)
        *allObjects = showSwitches && choice.allObjects;
    if (includeGroup)
        *includeGroup = showSwitches && choice.includeGroup;
    return true;
}

QString TboRentObject::choiceList(const QList<int> &marked, int chosen)
{
    if (marked.isEmpty())
        return QString::number(chosen);
    QStringList keys;
    for (int k : marked)
        keys << QString::number(k);
    return keys.join(QLatin1Char('\n'));
}

std::optional<TRentObjectRecord> TboRentObject::readObject(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM rent_object WHERE id = ?").arg(QLatin1String(SqlObjectColumns)), {key});
    if (!q.next())
        return std::nullopt;
    TRentObjectRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.parent = optionalInt(q.value(QStringLiteral("parent")));
    r.name = q.value(QStringLiteral("name")).toString().trimmed();
    r.locationKey = optionalInt(q.value(QStringLiteral("locationkey")));
    r.objectTypeKey = optionalInt(q.value(QStringLiteral("objecttypekey")));
    r.description = q.value(QStringLiteral("description")).toString();
    r.attribute = q.value(QStringLiteral("attribute")).toString();
    r.boolAttribute = flag(q.value(QStringLiteral("boolattribute")));
    r.complete = flag(q.value(QStringLiteral("complete")));
    r.isGroup = flag(q.value(QStringLiteral("isgroup")));
    r.disabled = flag(q.value(QStringLiteral("disabled")));
    r.coef1 = optionalDouble(q.value(QStringLiteral("coef1")));
    r.coef2 = optionalDouble(q.value(QStringLiteral("coef2")));
    r.coef3 = optionalDouble(q.value(QStringLiteral("coef3")));
    return r;
}

void TboRentObject::writeObject(TRentObjectRecord &r)
{
    r.id = writeRow(m_context.db, QStringLiteral("rent_object"), QStringLiteral("gen_rent_object"), r.id,
                    {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("locationkey"),
                     QStringLiteral("objecttypekey"), QStringLiteral("description"), QStringLiteral("attribute"),
                     QStringLiteral("boolattribute"), QStringLiteral("complete"), QStringLiteral("isgroup"),
                     QStringLiteral("disabled"), QStringLiteral("coef1"), QStringLiteral("coef2"), QStringLiteral("coef3")},
                    {nullableInt(r.parent), r.name, nullableInt(r.locationKey), nullableInt(r.objectTypeKey),
                     nullableText(r.description), nullableText(r.attribute), r.boolAttribute ? 1 : 0,
                     r.complete ? 1 : 0, r.isGroup ? 1 : 0, r.disabled ? 1 : 0, nullableDouble(r.coef1),
                     nullableDouble(r.coef2), nullableDouble(r.coef3)},
                    tr("Объект удален другим пользователем"));
}

void TboRentObject::writeCoefficient(qint64 key, const QString &field, const QVariant &value)
{
    static const QStringList fields{QStringLiteral("COEF1"), QStringLiteral("COEF2"), QStringLiteral("COEF3")};
    const QString column = field.toUpper();
    if (!fields.contains(column))
        throw std::invalid_argument("TboRentObject::writeCoefficient: not a coefficient");
    const QVariant number = value.isNull() ? QVariant(QMetaType::fromType<double>()) : QVariant(value.toDouble());
    TxWriteScope t(m_context.db);
    const int n = TxQuery::execute(m_context.db, QStringLiteral("UPDATE rent_object SET %1 = ? WHERE id = ?").arg(column),
                                   {number, key});
    if (n == 0)
        throw EDatabaseError(tr("Объект удален другим пользователем"));
    t.commit();
}

void TboRentObject::setUpTree(TxTreeModel &model, bool forChooser)
{
    model.setTable(QStringLiteral("rent_object"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QString::fromLatin1(forChooser ? SqlChooserTree : SqlObjectTree));
    model.setMarkable(true);
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    model.setFieldTitle(QStringLiteral("locationname"), tr("Место расположения"));
    model.setFieldTitle(QStringLiteral("objecttypename"), tr("Тип объекта"));
    if (forChooser)
        return;
    model.setFieldTitle(QStringLiteral("coef1"), tr("Коэффициент 1"));
    model.setFieldTitle(QStringLiteral("coef2"), tr("Коэффициент 2"));
    model.setFieldTitle(QStringLiteral("coef3"), tr("Коэффициент 3"));
    const TxTreeModel::CellWriter writer = [this](qint64 id, const QString &field, const QVariant &value) {
        writeCoefficient(id, field, value);
    };
    for (const char *f : {"coef1", "coef2", "coef3"})
        model.setNumberField(QString::fromLatin1(f), writer, true);
    model.setReloadAfterEdit(true);
    model.setMoveTest({QStringLiteral("rent_p_testreplaceobject"), QStringLiteral("id"), QStringLiteral("groupobject"),
                       QStringLiteral("replace")});
}

QString TboRentObject::usedInContractsSql()
{
    return QStringLiteral("SELECT g.contractkey, g.number, g.signdate, c.name AS customername"
                          " FROM rent_p_getcontract(?) g"
                          " LEFT JOIN cst_customer c ON c.customerkey = g.customerkey");
}

QString TboRentObject::contractHistorySql()
{
    return QStringLiteral("SELECT k.id AS contractkey, k.number, k.signdate, c.name AS customername"
                          " FROM rent_contract k"
                          " LEFT JOIN cst_customer c ON c.customerkey = k.customerkey"
                          " WHERE EXISTS (SELECT 1 FROM rent_contractservice cs"
                          "               WHERE cs.contractkey = k.id AND cs.objectkey = ?)");
}

} // namespace korvex::reference
