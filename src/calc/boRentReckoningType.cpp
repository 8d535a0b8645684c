#include "boRentReckoningType.h"

#include "calcDialogs.h"
#include "xCalc.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "db/xRowWriter.h"
#include "db/xBusinessError.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xPrompt.h"
#include "widgets/xTreeModel.h"

#include <stdexcept>

namespace korvex::calc {

using namespace korvex::db;

namespace {

// Lengths of the rent_typereckoning and rent_reckoning columns.
constexpr int TypeNameLength = 60;
constexpr int DescriptionLength = 254;
constexpr int StepNameLength = 60;
constexpr int FormulaLength = 254;

} // namespace

TCalcDialogs::~TCalcDialogs() = default;

bool TCalcDialogs::reckoningTypeDialog(TboRentReckoningType &, TReckoningType &, bool, int &)
{
    return false;
}

TboRentReckoningType::TboRentReckoningType(korvex::shell::TAppContext &context, TCalcDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

TCalcDialogs &TboRentReckoningType::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentReckoningType");
}

// --- Operations -------------------------------------------------------------------

bool TboRentReckoningType::NewReckoningType(int parent, const QString &name, int *newKey)
{
    // The port first: a new type takes a key from the server.
    TCalcDialogs &dialogs = requireDialogs();
    auto dialog = [&](auto &t, bool isNew, int &saved) { return dialogs.reckoningTypeDialog(*this, t, isNew, saved); };
    return korvex::widgets::newThroughDialog(newType(parent > 0 ? std::optional<int>(parent) : std::nullopt, name),
                                             dialog, newKey);
}

bool TboRentReckoningType::EditReckoningType(int key)
{
    TCalcDialogs &dialogs = requireDialogs();
    auto dialog = [&](auto &t, bool isNew, int &saved) { return dialogs.reckoningTypeDialog(*this, t, isNew, saved); };
    return korvex::widgets::editThroughDialog(readType(key), dialog);
}

bool TboRentReckoningType::DeleteReckoningType(int key)
{
    TCalcDialogs &dialogs = requireDialogs();
    if (!TxQuery::scalar(m_context.db, QStringLiteral("SELECT 1 FROM rent_typereckoning WHERE id = ?"), {key}).isValid())
        return false;
    return korvex::widgets::confirmAndDelete(
        m_context.db, dialogs.prompt(), korvex::widgets::recordDeleteTexts(),
        {{QStringLiteral("DELETE FROM rent_reckoning WHERE typereckoningkey = ?"), {key}},
         {QStringLiteral("DELETE FROM rent_typereckoning WHERE id = ?"), {key}}});
}

// --- Rows -------------------------------------------------------------------------

int TboRentReckoningType::newTypeKey()
{
    TxStoredProc proc(m_context.db, QStringLiteral("RENT_P_GETTYPERECKONINGKEY"));
    proc.execute();
    const QVariant key = proc.output(QStringLiteral("TYPERECKONINGKEY"));
    if (key.isNull() || key.toInt() <= 0)
        throw EDatabaseError(tr("Процедура RENT_P_GETTYPERECKONINGKEY не выдала ключ"));
    return key.toInt();
}

TReckoningType TboRentReckoningType::newType(std::optional<int> parent, const QString &name)
{
    TReckoningType type;
    type.id = newTypeKey();
    type.parent = parent;
    type.name = name.trimmed().left(TypeNameLength);
    return type;
}

std::optional<TReckoningType> TboRentReckoningType::readType(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, parent, name, description FROM rent_typereckoning WHERE id = ?"), {key});
    if (!q.next())
        return std::nullopt;
    TReckoningType type;
    type.id = q.value(0).toInt();
    type.stored = true;
    type.parent = optionalInt(q.value(1));
    type.name = q.value(2).toString().trimmed();
    type.description = q.value(3).toString();

    TxQuery s(m_context.db);
    s.exec(QStringLiteral("SELECT id, number, name, formula, rounding FROM rent_reckoning "
                          "WHERE typereckoningkey = ? ORDER BY number, id"),
           {key});
    while (s.next()) {
        TReckoningStep step;
        step.id = s.value(0).toInt();
        step.number = optionalInt(s.value(1));
        step.name = s.value(2).toString().trimmed();
        step.formula = s.value(3).toString();
        step.rounding = optionalDouble(s.value(4));
        type.steps << step;
    }
    return type;
}

void TboRentReckoningType::writeType(TReckoningType &type)
{
    if (const std::optional<TStepFault> fault = checkSteps(type.steps))
        throw EBusinessError(fault->message);
    if (type.id <= 0)
        throw std::invalid_argument("TboRentReckoningType::writeType: the type has no key");

    TReckoningType written = type;
    TxDatabase &db = m_context.db;
    TxWriteScope t(db);

    const QVariantList typeValues{nullableInt(written.parent), written.name, nullableText(written.description),
                                  written.id};
    if (written.stored) {
        if (TxQuery::execute(db,
                             QStringLiteral("UPDATE rent_typereckoning SET parent = ?, name = ?, description = ? "
                                            "WHERE id = ?"),
                             typeValues)
            == 0)
            throw EDatabaseError(tr("Формула удалена другим пользователем"));
    } else {
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_typereckoning (parent, name, description, id) "
                                        "VALUES (?, ?, ?, ?)"),
                         typeValues);
    }

    QList<TxDetailRow> steps;
    for (const TReckoningStep &step : std::as_const(written.steps))
        steps.append({step.id, {nullableInt(step.number), step.name, nullableText(step.formula), nullableDouble(step.rounding)}});
    const QList<int> keys = writeDetailRows(
        db, QStringLiteral("rent_reckoning"), QStringLiteral("typereckoningkey"), written.id,
        QStringLiteral("gen_rent_reckoning"),
        {QStringLiteral("number"), QStringLiteral("name"), QStringLiteral("formula"), QStringLiteral("rounding")}, steps);
    for (qsizetype i = 0; i < keys.size(); ++i)
        written.steps[i].id = keys.at(i);
    t.commit();
    written.stored = true;
    type = written;
}

bool TboRentReckoningType::isFormulaName(const QString &name)
{
    if (name.isEmpty())
        return false;
    // The calculator itself decides: a name is usable when a formula made of
    // that name alone reads the variable back.
    TxFoCal calc;
    calc.ClearVariables();
    const double probe = 7654321.125;
    calc.SetVariable(name, probe);
    try {
        return calc.Evaluate(name) == probe;
    } catch (const EFoCalError &) {
        return false;
    }
}

std::optional<TStepFault> TboRentReckoningType::checkSteps(const QList<TReckoningStep> &steps)
{
    for (int row = 0; row < steps.size(); ++row) {
        const TReckoningStep &s = steps.at(row);
        const QString number = QString::number(s.number.value_or(row + 1));
        if (s.name.trimmed().isEmpty())
            return TStepFault{row, tr("Позиция %1: введите наименование").arg(number)};
        if (s.name.size() > StepNameLength)
            return TStepFault{row, tr("Позиция %1: наименование \"%2\" длиннее %3 знаков")
                                       .arg(number, s.name)
                                       .arg(StepNameLength)};
        if (!isFormulaName(s.name))
            return TStepFault{row, tr("Позиция %1: наименование \"%2\" нельзя использовать в формулах. "
                                      "Наименование начинается с буквы, состоит из букв, цифр и знаков _ и $, "
                                      "без пробелов, и не начинается с DIV или MOD")
                                       .arg(number, s.name)};
        if (s.formula.size() > FormulaLength)
            return TStepFault{row, tr("Позиция %1 (\"%2\"): формула длиннее %3 знаков")
                                       .arg(number, s.name)
                                       .arg(FormulaLength)};
    }
    return std::nullopt;
}

const QStringList &TboRentReckoningType::builtInNames()
{
    // In the order the engine loads them (see the BuiltIn indexes);
    // КОЭФI, КОЭФII and КОЭФIII end in the Latin capital letter I.
    static const QStringList names = {
        QStringLiteral("ЦЕНАРУБ"),         QStringLiteral("ЦЕНАВАЛ"),         QStringLiteral("ЦЕНАПРАЙСРУБ"),
        QStringLiteral("ЦЕНАПРАЙСВАЛ"),    QStringLiteral("КУРС"),            QStringLiteral("ДОЛГРУБ"),
        QStringLiteral("ДОЛГВАЛ"),         QStringLiteral("ДОЛГКЛИЕНТРУБ"),   QStringLiteral("ДОЛГКЛИЕНТВАЛ"),
        QStringLiteral("ДОЛГКОНТРАКТРУБ"), QStringLiteral("ДОЛГКОНТРАКТВАЛ"), QStringLiteral("КОЛОБЪЕКТ"),
        QStringLiteral("СТОИМУСЛУГИ"),     QStringLiteral("КОЛУСЛУГ"),        QStringLiteral("СУММАУСЛУГ"),
        QStringLiteral("КОЭФI"),           QStringLiteral("КОЭФII"),          QStringLiteral("КОЭФIII"),
    };
    return names;
}

QList<TBuiltInVariable> TboRentReckoningType::builtInVariables()
{
    const QStringList descriptions = {
        tr("Цена рублевая"),
        tr("Цена валютная"),
        tr("Цена рублевая из прайса"),
        tr("Цена валютная из прайса"),
        tr("Курс валюты"),
        tr("Задолженность в рублях по позиции договора"),
        tr("Задолженность в валюте по позиции договора"),
        tr("Задолженность в рублях по клиенту"),
        tr("Задолженность в валюте по клиенту"),
        tr("Задолженность в рублях договору"),
        tr("Задолженность в валюте договору"),
        tr("Количество объектов"),
        tr("Стоимость услуги"),
        tr("Количество услуг"),
        tr("Сумма услуги"),
        tr("Коэффициент объекта 1"),
        tr("Коэффициент объекта 2"),
        tr("Коэффициент объекта 3"),
    };
    QList<TBuiltInVariable> list;
    for (qsizetype i = 0; i < descriptions.size(); ++i)
        list << TBuiltInVariable{builtInNames().at(i), descriptions.at(i)};
    return list;
}

void TboRentReckoningType::setUpTree(korvex::widgets::TxTreeModel &model) const
{
    model.setTable(QStringLiteral("rent_typereckoning"));
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QStringLiteral("SELECT id, parent, name, description FROM rent_typereckoning ORDER BY name, id"));
    model.setDisplayFields({QStringLiteral("description")});
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    model.setFieldTitle(QStringLiteral("description"), tr("Описание"));
}

QString TboRentReckoningType::stepsSql()
{
    return QStringLiteral("SELECT id, number, name, formula, rounding FROM rent_reckoning WHERE typereckoningkey = ?");
}

TReckoningStepModel::TReckoningStepModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("NUMBER"), QStringLiteral("NAME"), QStringLiteral("FORMULA"),
                          QStringLiteral("ROUNDING")},
                         parent)
{
}

int TReckoningStepModel::appendStep()
{
    int last = 0;
    for (const TReckoningStep &s : std::as_const(m_records))
        last = qMax(last, s.number.value_or(0));
    TReckoningStep step;
    step.number = last + 1;
    return appendRecord(step);
}

void TReckoningStepModel::appendToFormula(int row, const QString &text)
{
    if (row < 0 || row >= m_records.size() || text.isEmpty())
        return;
    m_records[row].formula += text;
    const QModelIndex cell = index(row, FormulaColumn);
    Q_EMIT dataChanged(cell, cell);
}

QVariant TReckoningStepModel::data(const QModelIndex &index, int role) const
{
    const TReckoningStep *step = recordAt(index);
    if (!step)
        return {};
    const TReckoningStep &s = *step;
    if (role == Qt::TextAlignmentRole && (index.column() == NumberColumn || index.column() == RoundingColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case NumberColumn: return s.number ? QVariant(QString::number(*s.number)) : QVariant(QString());
    case NameColumn: return s.name;
    case FormulaColumn: return s.formula;
    case RoundingColumn:
        // Every digit, decimal comma, as it is typed.
        return s.rounding ? QVariant(korvex::amount::formatNumberField(*s.rounding)) : QVariant(QString());
    default: return {};
    }
}

bool TReckoningStepModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index))
        return false;
    TReckoningStep &s = m_records[index.row()];
    const QString text = value.toString().trimmed();
    switch (index.column()) {
    case NumberColumn:
        if (text.isEmpty()) {
            s.number.reset();
        } else {
            bool ok = false;
            const int n = text.toInt(&ok);
            if (!ok) {
                Q_EMIT cellRefused(tr("Введите целое число"));
                return false;
            }
            s.number = n;
        }
        break;
    case NameColumn: s.name = text; break;
    case FormulaColumn: s.formula = value.toString(); break;
    case RoundingColumn:
        if (text.isEmpty()) {
            s.rounding.reset();
        } else if (const std::optional<double> v = korvex::amount::parseNumber(text)) {
            s.rounding = *v;
        } else {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
        break;
    default: return false;
    }
    Q_EMIT dataChanged(index, index);
    return true;
}

} // namespace korvex::calc
