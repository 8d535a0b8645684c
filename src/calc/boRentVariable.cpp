#include "boRentVariable.h"

#include "boRentReckoningType.h"
#include "calcDialogs.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "db/xRowWriter.h"
#include "db/xBusinessError.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "shell/AppContext.h"
#include "widgets/xProgress.h"
#include "widgets/xPrompt.h"
#include "widgets/xTreeModel.h"

#include <QSet>
#include <stdexcept>

namespace korvex::calc {

using namespace korvex::db;
using korvex::widgets::editThroughDialog;
using korvex::widgets::newThroughDialog;
using korvex::widgets::TxProgress;
using korvex::widgets::TxProgressGuard;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxTreeModel;

// --- The default windows: none ------------------------------------------------------

QString TCalcDialogs::chooseVariableFrom(TboRentVariable &)
{
    return {};
}

bool TCalcDialogs::variableDialog(TboRentVariable &, TVariableRecord &, bool, int &)
{
    return false;
}

bool TCalcDialogs::valueVariableDialog(TboRentValueVariable &, TValueVariableRecord &, bool, int &)
{
    return false;
}

std::unique_ptr<TxProgress> TCalcDialogs::openProgress(const QString &)
{
    return nullptr;
}

namespace {

bool flag(const QVariant &v)
{
    return v.toInt() == 1;
}

// The letters a formula's words are made of: Latin, and Cyrillic А to я
// (Ё and ё are not among them, so a name with them could never be read).
bool isNameLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'А' && u <= u'я');
}

} // namespace

// --- TboRentVariable ----------------------------------------------------------------

TboRentVariable::TboRentVariable(korvex::shell::TAppContext &context, TCalcDialogs *dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
{
}

TCalcDialogs &TboRentVariable::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentVariable");
}

TVariableRecord TboRentVariable::newRecord(std::optional<int> parent, const QString &name) const
{
    TVariableRecord r;
    if (parent && *parent > 0)
        r.parent = parent;
    r.name = name;
    return r;
}

bool TboRentVariable::NewVariable(int parent, const QString &name, int *newKey)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().variableDialog(*this, r, isNew, saved);
    };
    return newThroughDialog(newRecord(parent, name), dialog, newKey);
}

bool TboRentVariable::EditVariable(int key)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().variableDialog(*this, r, isNew, saved);
    };
    return editThroughDialog(readVariable(key), dialog);
}

bool TboRentVariable::DeleteVariable(int key)
{
    return korvex::widgets::confirmAndDelete(m_context.db, requireDialogs().prompt(),
                                               korvex::widgets::recordDeleteTexts(),
                                               QStringLiteral("DELETE FROM rent_variable WHERE id = ?"), {key});
}

QString TboRentVariable::ChooseVariable()
{
    const QString name = requireDialogs().chooseVariableFrom(*this).trimmed();
    return name.isEmpty() ? QString() : QLatin1Char(' ') + name + QLatin1Char(' ');
}

std::optional<TVariableRecord> TboRentVariable::readVariable(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, parent, name, description, lockobject, lockservice, lockcustomer "
                          "FROM rent_variable WHERE id = ?"),
           {key});
    if (!q.next())
        return std::nullopt;
    TVariableRecord r;
    r.id = q.value(0).toInt();
    r.parent = optionalInt(q.value(1));
    r.name = q.value(2).toString().trimmed();
    r.description = q.value(3).toString();
    r.lockObject = flag(q.value(4));
    r.lockService = flag(q.value(5));
    r.lockCustomer = flag(q.value(6));
    return r;
}

void TboRentVariable::writeVariable(TVariableRecord &r)
{
    try {
        r.id = writeRow(
            m_context.db, QStringLiteral("rent_variable"), QStringLiteral("gen_rent_variable"), r.id,
            {QStringLiteral("parent"), QStringLiteral("name"), QStringLiteral("description"),
             QStringLiteral("lockobject"), QStringLiteral("lockservice"), QStringLiteral("lockcustomer")},
            {nullableInt(r.parent), r.name.trimmed(), nullableText(r.description), r.lockObject ? 1 : 0,
             r.lockService ? 1 : 0, r.lockCustomer ? 1 : 0},
            tr("Переменная удалена другим пользователем"));
    } catch (const EDatabaseError &e) {
        if (e.isDuplicate())
            throw EDatabaseError(tr("Такая переменная уже существует"), e.sqlCode(), e.statement());
        throw;
    }
}

std::optional<QString> TboRentVariable::checkName(const QString &name)
{
    const QString n = name.trimmed();
    if (n.isEmpty())
        return tr("Введите наименование");
    for (const QChar c : n) {
        if (!isNameLetter(c))
            return tr("Некоректно введено наименование переменной. В переменной не должно быть пробелов, цифр "
                      "и знаков");
    }
    // A formula reads a built-in name as the built-in value, and a word of
    // the formula language not at all: values under such a name would never
    // be used.
    bool builtIn = false;
    for (const TBuiltInVariable &v : TboRentReckoningType::builtInVariables())
        builtIn = builtIn || v.name.compare(n, Qt::CaseInsensitive) == 0;
    if (builtIn || !TboRentReckoningType::isFormulaName(n))
        return tr("Имя \"%1\" занято: так называется стандартная переменная или слово языка формул").arg(n);
    return std::nullopt;
}

void TboRentVariable::setUpTree(TxTreeModel &model) const
{
    model.setTable(QStringLiteral("rent_variable"));
    model.setQuery(QStringLiteral("SELECT id, parent, name, description, lockobject, lockservice, lockcustomer "
                                  "FROM rent_variable ORDER BY name, id"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setDisplayFields({QStringLiteral("description")});
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    model.setFieldTitle(QStringLiteral("description"), tr("Описание"));
}

// --- TboRentValueVariable -----------------------------------------------------------

TboRentValueVariable::TboRentValueVariable(TxDatabase &db)
    : m_db(db)
{
}

TboRentValueVariable::TboRentValueVariable(korvex::shell::TAppContext &context, TCalcDialogs *dialogs)
    : m_db(context.db)
    , m_context(&context)
    , m_dialogs(dialogs)
{
}

korvex::shell::TAppContext &TboRentValueVariable::context() const
{
    if (!m_context)
        throw std::logic_error("TboRentValueVariable: made for finding values only");
    return *m_context;
}

TCalcDialogs &TboRentValueVariable::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentValueVariable");
}

bool TboRentValueVariable::IsVariable(const QString &name)
{
    return TxQuery::scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM rent_variable WHERE name = ?"),
                           {name.trimmed().toUpper()})
               .toInt()
           > 0;
}

bool TboRentValueVariable::FindValue(const QString &name, int objectKey, int serviceKey, int customerKey)
{
    m_value = 0;
    // Inside a transaction the statements stay prepared on the connection:
    // a dialog that prices again and again does not prepare them anew.
    TxQuery ownVariable(m_db);
    TxQuery &v = TxStatementCache::exec(
        m_db, ownVariable,
        QStringLiteral("SELECT id, COALESCE(lockobject, 0), COALESCE(lockservice, 0), COALESCE(lockcustomer, 0) "
                       "FROM rent_variable WHERE name = ?"),
        {name.trimmed().toUpper()});
    if (!v.next())
        return false;
    const int variableKey = v.value(0).toInt();
    if (v.value(1).toInt() == 0)
        objectKey = 0;
    if (v.value(2).toInt() == 0)
        serviceKey = 0;
    if (v.value(3).toInt() == 0)
        customerKey = 0;

    // A key of 0 asks for the row without that binding; the comparison with
    // NULL is written out so that every value stays a bound parameter.
    static const QString rowSql = QStringLiteral(
        "SELECT FIRST 1 valuevariable FROM rent_valuevariable WHERE variablekey = ? "
        "AND ((? = 0 AND objectkey IS NULL) OR objectkey = ?) "
        "AND ((? = 0 AND servicekey IS NULL) OR servicekey = ?) "
        "AND ((? = 0 AND customerkey IS NULL) OR customerkey = ?) "
        "AND valuevariable IS NOT NULL");
    // The object tree has no cycles; the bound only guards against a damaged one.
    for (int depth = 0; depth < 1000; ++depth) {
        TxQuery ownRow(m_db);
        TxQuery &q = TxStatementCache::exec(m_db, ownRow, rowSql,
                                            {variableKey, objectKey, objectKey, serviceKey, serviceKey, customerKey, customerKey});
        if (q.next()) {
            m_value = q.value(0).toDouble();
            return true;
        }
        if (objectKey == 0)
            return false;
        TxQuery ownParent(m_db);
        TxQuery &up = TxStatementCache::exec(m_db, ownParent, QStringLiteral("SELECT parent FROM rent_object WHERE id = ?"), {objectKey});
        if (!up.next() || up.value(0).isNull())
            return false;
        objectKey = up.value(0).toInt();
    }
    return false;
}

TValueVariableRecord TboRentValueVariable::newRecord(std::optional<int> parent) const
{
    TValueVariableRecord r;
    if (parent && *parent > 0)
        r.parent = parent;
    return r;
}

bool TboRentValueVariable::NewValueVariable(int parent, int *newKey)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().valueVariableDialog(*this, r, isNew, saved);
    };
    return newThroughDialog(newRecord(parent), dialog, newKey);
}

bool TboRentValueVariable::EditValueVariable(int key)
{
    auto dialog = [this](auto &r, bool isNew, int &saved) {
        return requireDialogs().valueVariableDialog(*this, r, isNew, saved);
    };
    return editThroughDialog(readValueVariable(key), dialog);
}

void TboRentValueVariable::deleteRows(const QList<int> &keys, bool stopOnRefusal, bool withProgress,
                                      TValueDeleteResult &result)
{
    const QString caption = tr("Удаление переменных");
    std::unique_ptr<TxProgress> window = withProgress ? requireDialogs().openProgress(caption) : nullptr;
    TxProgressGuard progress(window.get(), caption, keys.size());
    // Marks come parents first: from the last, the rows below a group go
    // before the group itself.
    for (qsizetype i = keys.size() - 1; i >= 0 && !progress.stopped(); --i) {
        try {
            TxWriteScope t(m_db);
            const int n = TxQuery::execute(m_db, QStringLiteral("DELETE FROM rent_valuevariable WHERE id = ?"),
                                           {keys.at(i)});
            t.commit();
            if (n > 0)
                ++result.deleted;
        } catch (const EDatabaseError &e) {
            if (stopOnRefusal || !(e.isInUse() || e.isLockConflict()))
                throw;
            ++result.refused;
        }
        progress.advance(keys.size() - i);
    }
}

bool TboRentValueVariable::DeleteValueVariables(int currentKey, const QList<int> &marked, TValueDeleteResult *result)
{
    TCalcDialogs &dialogs = requireDialogs();
    TValueDeleteResult done;
    if (!marked.isEmpty()) {
        if (!dialogs.prompt().confirm(tr("Удалить выделенные переменные?"), TxPrompt::attentionBang()))
            return false;
        deleteRows(marked, false, true, done);
        if (done.refused > 0)
            dialogs.prompt().warning(tr("Не удалено переменных: %1. Эти записи уже где-то используются.")
                                         .arg(done.refused),
                                     TxPrompt::attentionBang());
    } else {
        if (currentKey <= 0 || !dialogs.prompt().confirm(tr("Удалить переменную?"), TxPrompt::attentionBang()))
            return false;
        deleteRows({currentKey}, false, false, done);
        if (done.refused > 0)
            dialogs.prompt().warning(tr("Данная запись уже где-то используется!"), TxPrompt::attention());
    }
    if (result)
        *result = done;
    return true;
}

bool TboRentValueVariable::DeleteMarkedValueVariables(const QList<int> &marked, TValueDeleteResult *result)
{
    TCalcDialogs &dialogs = requireDialogs();
    if (marked.isEmpty() || !dialogs.prompt().confirm(tr("Удалить веделенные записи?"), TxPrompt::attentionBang()))
        return false;
    TValueDeleteResult done;
    try {
        deleteRows(marked, true, false, done);
    } catch (const EDatabaseError &e) {
        dialogs.prompt().error(e.message());
    }
    if (result)
        *result = done;
    return true;
}

bool TboRentValueVariable::MoveValueVariable(int key, int target)
{
    if (key == target)
        return true;
    TxWriteScope t(m_db);
    if (target != 0) {
        TxStoredProc test(m_db, QStringLiteral("rent_p_testreplaceValueVariable"));
        test.setParam(QStringLiteral("id"), key);
        test.setParam(QStringLiteral("groupValueVariable"), target);
        test.execute();
        if (test.output(QStringLiteral("replace")).toInt() != 1)
            return false;
    }
    const int n = TxQuery::execute(m_db, QStringLiteral("UPDATE rent_valuevariable SET parent = ? WHERE id = ?"),
                                   {nullableInt(target == 0 ? std::nullopt : std::optional<int>(target)), key});
    t.commit();
    return n == 1;
}

void TboRentValueVariable::AssignValue(const QList<int> &keys, std::optional<double> value)
{
    TxWriteScope t(m_db);
    for (int key : keys)
        TxQuery::execute(m_db, QStringLiteral("UPDATE rent_valuevariable SET valuevariable = ? WHERE id = ?"),
                         {nullableDouble(value), key});
    t.commit();
}

int TboRentValueVariable::MakeCustomerValues(int variableKey, const QList<int> &customerKeys)
{
    const std::optional<TVariableBindings> b = bindings(variableKey);
    if (!b || !b->customer)
        throw EBusinessError(tr("Переменная не привязана к клиенту"));
    TxWriteScope t(m_db);
    std::optional<int> group;
    int inserted = 0;
    QSet<int> seen;
    for (int customer : customerKeys) {
        if (seen.contains(customer))
            continue;
        seen.insert(customer);
        if (TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM rent_valuevariable WHERE variablekey = ? AND customerkey = ?"),
                            {variableKey, customer})
                .isValid())
            continue;
        // The group's head is the row this run inserted first, known by its
        // own key: another workstation's rows never become the parent.
        const int id = nextKey(m_db, QStringLiteral("gen_rent_valuevariable"));
        TxQuery::execute(m_db,
                         QStringLiteral("INSERT INTO rent_valuevariable (id, parent, variablekey, customerkey) "
                                        "VALUES (?, ?, ?, ?)"),
                         {id, nullableInt(group), variableKey, customer});
        if (!group)
            group = id;
        ++inserted;
    }
    t.commit();
    return inserted;
}

std::optional<TValueVariableRecord> TboRentValueVariable::readValueVariable(int key) const
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT id, parent, variablekey, objectkey, servicekey, customerkey, valuevariable "
                          "FROM rent_valuevariable WHERE id = ?"),
           {key});
    if (!q.next())
        return std::nullopt;
    TValueVariableRecord r;
    r.id = q.value(0).toInt();
    r.parent = optionalInt(q.value(1));
    r.variableKey = optionalInt(q.value(2));
    r.objectKey = optionalInt(q.value(3));
    r.serviceKey = optionalInt(q.value(4));
    r.customerKey = optionalInt(q.value(5));
    r.value = optionalDouble(q.value(6));
    return r;
}

std::optional<TVariableBindings> TboRentValueVariable::bindings(int variableKey) const
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT lockobject, lockservice, lockcustomer FROM rent_variable WHERE id = ?"), {variableKey});
    if (!q.next())
        return std::nullopt;
    return TVariableBindings{flag(q.value(0)), flag(q.value(1)), flag(q.value(2))};
}

std::optional<TValueFault> TboRentValueVariable::checkValueVariable(const TValueVariableRecord &r) const
{
    const std::optional<TVariableBindings> b = r.variableKey ? bindings(*r.variableKey) : std::nullopt;
    if (!b)
        return TValueFault{TValueFault::Variable, tr("Выберите переменную.")};
    if (b->object && !r.objectKey)
        return TValueFault{TValueFault::Object, tr("Выберите объект")};
    if (b->service && !r.serviceKey)
        return TValueFault{TValueFault::Service, tr("Выберите услугу")};
    if (b->customer && !r.customerKey)
        return TValueFault{TValueFault::Customer, tr("Выберите клиента")};
    // NULL counts as a value of its own, as in the table's unique index.
    auto key = [](bool bound, const std::optional<int> &k) { return bound ? k.value_or(0) : 0; };
    const bool taken =
        TxQuery::scalar(m_db,
                        QStringLiteral("SELECT 1 FROM rent_valuevariable WHERE variablekey = ? AND id <> ? "
                                       "AND COALESCE(objectkey, 0) = ? AND COALESCE(servicekey, 0) = ? "
                                       "AND COALESCE(customerkey, 0) = ?"),
                        {*r.variableKey, r.id, key(b->object, r.objectKey), key(b->service, r.serviceKey),
                         key(b->customer, r.customerKey)})
            .isValid();
    if (taken)
        return TValueFault{TValueFault::Variable, tr("Такая переменная уже существует")};
    return std::nullopt;
}

void TboRentValueVariable::writeValueVariable(TValueVariableRecord &r)
{
    TxWriteScope t(m_db);
    if (const std::optional<TValueFault> fault = checkValueVariable(r))
        throw EBusinessError(fault->message);
    const TVariableBindings b = *bindings(*r.variableKey);
    if (!b.object)
        r.objectKey.reset();
    if (!b.service)
        r.serviceKey.reset();
    if (!b.customer)
        r.customerKey.reset();
    try {
        r.id = writeRow(
            m_db, QStringLiteral("rent_valuevariable"), QStringLiteral("gen_rent_valuevariable"), r.id,
            {QStringLiteral("parent"), QStringLiteral("variablekey"), QStringLiteral("objectkey"),
             QStringLiteral("servicekey"), QStringLiteral("customerkey"), QStringLiteral("valuevariable")},
            {nullableInt(r.parent), *r.variableKey, nullableInt(r.objectKey), nullableInt(r.serviceKey),
             nullableInt(r.customerKey), nullableDouble(r.value)},
            tr("Значение переменной удалено другим пользователем"));
    } catch (const EDatabaseError &e) {
        // Another workstation stored the same row since the check.
        if (e.isDuplicate())
            throw EDatabaseError(tr("Такая переменная уже существует"), e.sqlCode(), e.statement());
        throw;
    }
    t.commit();
}

void TboRentValueVariable::writeValue(qint64 key, const QVariant &value)
{
    const QVariant number = value.isNull() ? QVariant(QMetaType::fromType<double>()) : QVariant(value.toDouble());
    TxWriteScope t(m_db);
    if (TxQuery::execute(m_db, QStringLiteral("UPDATE rent_valuevariable SET valuevariable = ? WHERE id = ?"),
                         {number, key})
        == 0)
        throw EDatabaseError(tr("Значение переменной удалено другим пользователем"));
    t.commit();
}

void TboRentValueVariable::setUpTree(TxTreeModel &model)
{
    model.setTable(QStringLiteral("rent_valuevariable"));
    model.setQuery(QStringLiteral(
        "SELECT v.id, v.parent, r.name, c.name AS customername, o.name AS objectname, s.name AS servicename, "
        "v.valuevariable"
        " FROM rent_valuevariable v"
        " JOIN rent_variable r ON r.id = v.variablekey"
        " LEFT JOIN cst_customer c ON c.customerkey = v.customerkey"
        " LEFT JOIN rent_object o ON o.id = v.objectkey"
        " LEFT JOIN rent_service s ON s.id = v.servicekey"
        " ORDER BY c.name, o.name, v.id"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setDisplayFields({QStringLiteral("customername"), QStringLiteral("objectname"), QStringLiteral("servicename"),
                            QStringLiteral("valuevariable")});
    model.setFieldTitle(QStringLiteral("name"), tr("Переменная"));
    model.setFieldTitle(QStringLiteral("customername"), tr("Клиент"));
    model.setFieldTitle(QStringLiteral("objectname"), tr("Объект"));
    model.setFieldTitle(QStringLiteral("servicename"), tr("Услуга"));
    model.setFieldTitle(QStringLiteral("valuevariable"), tr("Значение"));
    model.setMarkable(true);
    // An emptied cell clears the value: a value not set is no value.
    model.setNumberField(
        QStringLiteral("valuevariable"), [this](qint64 id, const QString &, const QVariant &value) { writeValue(id, value); },
        true);
    model.setMover([this](qint64 id, std::optional<qint64> target) {
        return MoveValueVariable(int(id), int(target.value_or(0)));
    });
}

} // namespace korvex::calc
