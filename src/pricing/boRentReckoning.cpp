#include "boRentReckoning.h"

#include "amount/xAmount.h"
#include "calc/boRentVariable.h"
#include "calc/xCalc.h"
#include "debt/boRentDebt.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "db/xRowWriter.h"
#include "reference/boCurrency.h"
#include "reference/boRentServiceCost.h"
#include "shell/mmOptions.h"

#include <QHash>
#include <QSet>
#include <array>
#include <stdexcept>

namespace korvex::calc {

using namespace korvex::db;

TboRentReckoning::TboRentReckoning(korvex::shell::TAppContext &context, QObject *owner)
    : QObject(owner)
    , m_context(context)
{
}

TboRentReckoning::~TboRentReckoning() = default;

// --- The pricing engine -----------------------------------------------------------

namespace {

// Positions in builtInNames(), in the order the engine loads them.
enum BuiltIn {
    PriceNcu, PriceCurr, PriceListNcu, PriceListCurr, Rate, DebtNcu, DebtCurr, CustomerDebtNcu, CustomerDebtCurr,
    ContractDebtNcu, ContractDebtCurr, CountObjects, ServiceValue, ServiceCount, ServiceSum, Coef1, Coef2, Coef3,
};

constexpr quint32 bit(int builtIn)
{
    return 1u << builtIn;
}

// Latin letters and the Cyrillic А to я (the letters of the Windows-1251
// range 0xC0-0xFF): the letters of which a formula's words are made.
bool isWordLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= 0x0410 && u <= 0x044F);
}

// The run of characters from i on that belong (empty when the one at i does
// not); i moves past it.
template<class Belongs>
QString takeRun(const QString &text, qsizetype &i, Belongs belongs)
{
    const qsizetype start = i;
    while (i < text.size() && belongs(text.at(i)))
        ++i;
    return text.mid(start, i - start);
}

const QHash<QString, int> &builtInIndex()
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (qsizetype i = 0; i < TboRentReckoningType::builtInNames().size(); ++i)
            h.insert(TboRentReckoningType::builtInNames().at(i), int(i));
        return h;
    }();
    return index;
}

const QString SqlContractService = QStringLiteral(
    "SELECT cs.objectkey, cs.servicekey, c.customerkey, cs.contractkey, cs.typereckoningkey, cs.ncureckoning, "
    "cs.costncu, cs.costcurr, cs.countobject "
    "FROM rent_contractservice cs JOIN rent_contract c ON c.id = cs.contractkey WHERE cs.id = ?");
const QString SqlSteps = QStringLiteral(
    "SELECT number, name, formula, rounding FROM rent_reckoning WHERE typereckoningkey = ? ORDER BY number, id");
const QString SqlObject = QStringLiteral("SELECT parent, coef1, coef2, coef3 FROM rent_object WHERE id = ?");
const QString SqlCurrService = QStringLiteral("SELECT currservice FROM rent_service WHERE id = ?");
const QString SqlVariable = QStringLiteral(
    "SELECT id, COALESCE(lockobject, 0), COALESCE(lockservice, 0), COALESCE(lockcustomer, 0) "
    "FROM rent_variable WHERE name = ?");
const QString SqlVariableValues = QStringLiteral(
    "SELECT COALESCE(objectkey, 0), COALESCE(servicekey, 0), COALESCE(customerkey, 0), valuevariable "
    "FROM rent_valuevariable WHERE variablekey = ? AND valuevariable IS NOT NULL");

// The three procedures of СТОИМУСЛУГИ, КОЛУСЛУГ and СУММАУСЛУГ.
struct ServiceProcedure {
    const char *name;
    const char *output;
};
constexpr std::array<ServiceProcedure, 3> ServiceProcedures = {{
    {"RENT_P_GETSERVICEVALUE", "SERVICEVALUE"},
    {"RENT_P_GETCOUNTSERVICE", "SERVICECOUNT"},
    {"RENT_P_GETSUMSERVICE", "SERVICESUM"},
}};

// The keys a value row of a user variable is bound to (0: none).
struct Binding {
    int object = 0;
    int service = 0;
    int customer = 0;
    bool operator==(const Binding &) const = default;
};

size_t qHash(const Binding &b, size_t seed = 0)
{
    return qHashMulti(seed, b.object, b.service, b.customer);
}

quint64 pairKey(int a, int b)
{
    return (quint64(quint32(a)) << 32) | quint32(b);
}

} // namespace

struct TboRentReckoning::Step {
    QString number;  // as shown in messages
    QString name;
    QString formula;
    std::optional<double> rounding;
    // The step's name and formula as the calculator resolved them; a run
    // keeps its steps, so the lookups happen once per run.
    mutable TFoCalVariableHandle result;
    mutable TFoCalFormulaHandle compiled;
};

// What the engine needs to know of a formula's text.
struct TboRentReckoning::Words {
    quint32 used = 0;       // the built-in names written exactly
    QStringList userWords;  // the other words (no built-in name in any letter case), each once
    mutable std::vector<TFoCalVariableHandle> userHandles;  // one per user word
};

struct TboRentReckoning::ObjectRow {
    bool exists = false;
    std::optional<int> parent;
    std::array<std::optional<double>, 3> coef;
};

// A user variable as a run keeps it: its dictionary row and all its set
// values by binding, so that finding a value up the object tree reads
// nothing more.
struct TboRentReckoning::Variable {
    bool exists = false;
    int id = 0;
    bool byObject = false;
    bool byService = false;
    bool byCustomer = false;
    QHash<Binding, double> values;
};

// What a pricing run keeps; its statements stay prepared on the connection
// for the run's transaction (TxDatabase::statements()).
struct TboRentReckoning::Run {
    QDate today;
    QHash<int, QList<Step>> steps;
    QHash<QString, Words> words;
    QHash<quint64, std::optional<std::pair<double, double>>> prices;
    QHash<int, ObjectRow> objects;
    QHash<int, int> currServices;
    QHash<int, std::optional<double>> serviceValues;  // СТОИМУСЛУГИ by service, today
    std::optional<std::optional<int>> currencyOption;
    std::optional<std::optional<double>> todayRate;
    QHash<QString, Variable> variables;
};

struct TboRentReckoning::Engine {
    explicit Engine(korvex::shell::TAppContext &context)
        : values(context.db)
        , prices(context)
        , debt(context.db)
        , currency(context)
    {
    }
    TxFoCal calc;
    // The built-in names, resolved once for the engine's life.
    std::array<TFoCalVariableHandle, 18> builtIns = [this] {
        std::array<TFoCalVariableHandle, 18> h;
        for (size_t i = 0; i < h.size(); ++i)
            h[i] = calc.VariableHandle(TboRentReckoningType::builtInNames().at(qsizetype(i)));
        return h;
    }();
    TboRentValueVariable values;
    korvex::reference::TboRentServiceCost prices;
    korvex::billing::TboRentDebt debt;
    korvex::reference::TboCurrency currency;
    // The names of the steps computed so far in the current run of a type,
    // and which of them are built-in names.
    QStringList computed;
    quint32 computedBuiltIns = 0;
    std::unique_ptr<Run> run;
};

TboRentReckoning::Engine &TboRentReckoning::engine()
{
    if (!m_engine)
        m_engine = std::make_unique<Engine>(m_context);
    return *m_engine;
}

bool TboRentReckoning::fail(const QString &reason)
{
    m_failure = reason;
    return false;
}

QString TboRentReckoning::failureReason() const
{
    if (m_failure.isEmpty())
        return m_failure;
    return m_failure.at(0).toUpper() + m_failure.mid(1);
}

QDate TboRentReckoning::today() const
{
    return m_engine && m_engine->run ? m_engine->run->today : QDate::currentDate();
}

TxQuery &TboRentReckoning::query(TxQuery &own, const QString &sql, const QVariantList &values)
{
    return TxStatementCache::exec(m_context.db, own, sql, values);
}

// --- Context ------------------------------------------------------------------------

bool TboRentReckoning::LoadContractService(int key)
{
    ContractServiceKey = key;
    TxTransaction reads(m_context.db);
    TxQuery own(m_context.db);
    TxQuery &q = query(own, SqlContractService, {key});
    if (!q.next()) {
        // Pricing the previous position under this key would be wrong money.
        ObjectKey = ServiceKey = CustomerKey = ContractKey = TypeReckoningKey = 0;
        NCUReckoning = false;
        CostNCU = CostCurr = CountObject = 0;
        m_loadFailed = true;
        return fail(tr("позиция договора %1 не найдена").arg(key));
    }
    ObjectKey = q.value(0).toInt();
    ServiceKey = q.value(1).toInt();
    CustomerKey = q.value(2).toInt();
    ContractKey = q.value(3).toInt();
    TypeReckoningKey = q.value(4).toInt();
    NCUReckoning = q.value(5).toInt() == 1;
    CostNCU = q.value(6).toDouble();
    CostCurr = q.value(7).toDouble();
    CountObject = q.value(8).toDouble();
    m_loadFailed = false;
    m_failure.clear();
    return true;
}

void TboRentReckoning::LoadEditedContractService(const TContractServiceEdit &row, double rate)
{
    // A row added in the dialog may not be stored yet: its own values count.
    LoadContractService(row.id);
    ContractKey = row.contractKey;
    ObjectKey = row.objectKey;
    ServiceKey = row.serviceKey;
    CostNCU = row.costNcu;
    CostCurr = row.costCurr;
    if (row.countObject)
        CountObject = *row.countObject;
    CustomerKey = row.customerKey;
    ReckoningRate = rate;
}

int TboRentReckoning::ncuReckoningFor(const TContractServiceEdit &row) const
{
    const int value = row.ncuReckoning ? *row.ncuReckoning
                                       : m_context.options.GetIntegerOption(QStringLiteral("rentNCUReckoning")).value_or(1);
    return value == 1 ? 1 : 0;
}

// --- Cached reads -------------------------------------------------------------------

const QList<TboRentReckoning::Step> &TboRentReckoning::stepsOf(int typeKey, QList<Step> &own)
{
    Run *run = engine().run.get();
    if (run) {
        const auto it = run->steps.constFind(typeKey);
        if (it != run->steps.constEnd())
            return it.value();
    }
    QList<Step> steps;
    TxQuery q(m_context.db);
    TxQuery &rows = query(q, SqlSteps, {typeKey});
    while (rows.next()) {
        Step s;
        s.number = rows.value(0).isNull() ? QString() : QString::number(rows.value(0).toInt());
        s.name = rows.value(1).toString().trimmed();
        s.formula = rows.value(2).toString();
        s.rounding = optionalDouble(rows.value(3));
        s.result = TxFoCal::VariableHandle(s.name);
        s.compiled = TxFoCal::FormulaHandle(s.formula);
        steps << s;
    }
    if (run)
        return run->steps.insert(typeKey, steps).value();
    own = steps;
    return own;
}

const TboRentReckoning::ObjectRow &TboRentReckoning::objectRow(int key, ObjectRow &own)
{
    Run *run = engine().run.get();
    if (run) {
        const auto it = run->objects.constFind(key);
        if (it != run->objects.constEnd())
            return it.value();
    }
    ObjectRow row;
    TxQuery q(m_context.db);
    TxQuery &r = query(q, SqlObject, {key});
    if (r.next()) {
        row.exists = true;
        row.parent = optionalInt(r.value(0));
        for (int i = 0; i < 3; ++i)
            row.coef[size_t(i)] = optionalDouble(r.value(1 + i));
    }
    if (run)
        return run->objects.insert(key, row).value();
    own = row;
    return own;
}

int TboRentReckoning::currService(int serviceKey)
{
    Run *run = engine().run.get();
    if (run) {
        const auto it = run->currServices.constFind(serviceKey);
        if (it != run->currServices.constEnd())
            return it.value();
    }
    TxQuery own(m_context.db);
    TxQuery &q = query(own, SqlCurrService, {serviceKey});
    const int value = q.next() ? q.value(0).toInt() : 0;
    if (run)
        run->currServices.insert(serviceKey, value);
    return value;
}

std::optional<double> TboRentReckoning::currencyRate(QString &reason)
{
    if (ReckoningRate != 0)
        return ReckoningRate;
    Engine &e = engine();
    Run *run = e.run.get();
    std::optional<int> currency;
    if (run && run->currencyOption) {
        currency = *run->currencyOption;
    } else {
        currency = m_context.options.GetIntegerOption(QStringLiteral("rentcurrkey"));
        if (run)
            run->currencyOption = currency;
    }
    if (!currency) {
        reason = tr("не задан курс и не выбрана валюта расчетов (настройка rentcurrkey)");
        return std::nullopt;
    }
    std::optional<double> rate;
    if (run && run->todayRate) {
        rate = *run->todayRate;
    } else {
        if (e.currency.FindRate(*currency, std::nullopt, today()))
            rate = e.currency.Rate;
        if (run)
            run->todayRate = rate;
    }
    if (!rate) {
        const QString name = e.currency.shortName(*currency);
        reason = tr("нет курса валюты %1 на %2")
                     .arg(name.isEmpty() ? QString::number(*currency) : name, today().toString(QStringLiteral("dd.MM.yyyy")));
    }
    return rate;
}

std::optional<double> TboRentReckoning::userValue(const QString &word)
{
    Engine &e = engine();
    Run *run = e.run.get();
    if (!run)
        return e.values.FindValue(word, ObjectKey, ServiceKey, CustomerKey) ? std::optional<double>(e.values.Value())
                                                                            : std::nullopt;
    const QString name = word.trimmed().toUpper();
    auto it = run->variables.find(name);
    if (it == run->variables.end()) {
        Variable v;
        TxQuery q(m_context.db);
        TxQuery &row = query(q, SqlVariable, {name});
        if (row.next()) {
            v.exists = true;
            v.id = row.value(0).toInt();
            v.byObject = row.value(1).toInt() != 0;
            v.byService = row.value(2).toInt() != 0;
            v.byCustomer = row.value(3).toInt() != 0;
            TxQuery vq(m_context.db);
            TxQuery &values = query(vq, SqlVariableValues, {v.id});
            while (values.next())
                v.values.insert({values.value(0).toInt(), values.value(1).toInt(), values.value(2).toInt()},
                                values.value(3).toDouble());
        }
        it = run->variables.insert(name, v);
    }
    const Variable &v = it.value();
    if (!v.exists)
        return std::nullopt;
    // As the value-variable finder does: the object key alone climbs the tree.
    Binding b{v.byObject ? ObjectKey : 0, v.byService ? ServiceKey : 0, v.byCustomer ? CustomerKey : 0};
    for (int depth = 0; depth < 1000; ++depth) {
        const auto found = v.values.constFind(b);
        if (found != v.values.constEnd())
            return found.value();
        if (b.object == 0)
            return std::nullopt;
        ObjectRow own;
        const ObjectRow &object = objectRow(b.object, own);
        if (!object.exists || !object.parent)
            return std::nullopt;
        b.object = *object.parent;
    }
    return std::nullopt;
}

bool TboRentReckoning::isUserVariable(const QString &word)
{
    Engine &e = engine();
    if (Run *run = e.run.get()) {
        const auto it = run->variables.constFind(word.trimmed().toUpper());
        if (it != run->variables.constEnd())
            return it->exists;
    }
    return e.values.IsVariable(word);
}

std::optional<double> TboRentReckoning::serviceProcedure(int which, QString &reason)
{
    const ServiceProcedure &p = ServiceProcedures[size_t(which)];
    // The value of a service is reference data, kept by a run; the other two
    // belong to the position.
    Run *run = engine().run.get();
    if (run && which == 0) {
        const auto kept = run->serviceValues.constFind(ServiceKey);
        if (kept != run->serviceValues.constEnd()) {
            if (!*kept)
                reason = tr("у услуги %1 нет стоимости на %2").arg(ServiceKey).arg(today().toString(QStringLiteral("dd.MM.yyyy")));
            return *kept;
        }
    }
    // Inside the operation's transaction the statement stays prepared on the connection.
    TxStoredProc proc(m_context.db, QLatin1String(p.name));
    switch (which) {
    case 0:
        proc.setParam(QStringLiteral("servicekey"), ServiceKey);
        proc.setParam(QStringLiteral("D"), today());
        break;
    case 1: proc.setParam(QStringLiteral("contractservicekey"), ContractServiceKey); break;
    default: proc.setParam(QStringLiteral("id"), ContractServiceKey); break;
    }
    proc.execute();
    const QVariant v = proc.output(QLatin1String(p.output));
    if (run && which == 0)
        run->serviceValues.insert(ServiceKey, v.isNull() ? std::nullopt : std::optional<double>(v.toDouble()));
    if (v.isNull()) {
        // A value the database does not have is no value, never a zero price.
        reason = which == 0 ? tr("у услуги %1 нет стоимости на %2").arg(ServiceKey).arg(today().toString(QStringLiteral("dd.MM.yyyy")))
                            : tr("процедура %1 не вернула значение").arg(QLatin1String(p.name));
        return std::nullopt;
    }
    return v.toDouble();
}

// --- Formulas -----------------------------------------------------------------------

TboRentReckoning::Words TboRentReckoning::analyse(const QString &formula)
{
    Words w;
    QSet<QString> seen;
    const qsizetype n = formula.size();
    for (qsizetype i = 0; i < n;) {
        const QString word = takeRun(formula, i, isWordLetter);
        if (word.isEmpty()) {
            ++i;
            continue;
        }
        const auto exact = builtInIndex().constFind(word);
        if (exact != builtInIndex().constEnd()) {
            w.used |= bit(exact.value());
            continue;
        }
        if (builtInIndex().contains(word.toUpper()) || seen.contains(word))
            continue;
        seen.insert(word);
        w.userWords << word;
    }
    for (const QString &word : std::as_const(w.userWords))
        w.userHandles.push_back(TxFoCal::VariableHandle(word));
    return w;
}

const TboRentReckoning::Words &TboRentReckoning::wordsOf(const QString &formula, Words &own)
{
    Run *run = engine().run.get();
    if (!run) {
        own = analyse(formula);
        return own;
    }
    auto it = run->words.constFind(formula);
    if (it == run->words.constEnd())
        it = run->words.insert(formula, analyse(formula));
    return it.value();
}

bool TboRentReckoning::EvaluateFormula(const QString &formula, double &value)
{
    TxTransaction reads(m_context.db);
    Words ownWords;
    return evaluate(formula, nullptr, wordsOf(formula, ownWords), value);
}

bool TboRentReckoning::evaluate(const QString &formula, TFoCalFormulaHandle *compiled, const Words &words, double &value)
{
    Engine &e = engine();
    TxFoCal &calc = e.calc;
    auto set = [&](int builtIn, double v) { calc.SetVariable(e.builtIns[size_t(builtIn)], v); };
    const quint32 used = words.used | e.computedBuiltIns;
    QString reason;

    set(PriceNcu, CostNCU);
    set(PriceCurr, CostCurr);
    set(CountObjects, CountObject);

    if (used & (bit(PriceListNcu) | bit(PriceListCurr))) {
        std::optional<std::pair<double, double>> price;
        Run *run = e.run.get();
        const quint64 key = pairKey(ServiceKey, ObjectKey);
        if (run && run->prices.contains(key)) {
            price = run->prices.value(key);
        } else {
            if (e.prices.FindServiceCost(ServiceKey, ObjectKey))
                price = std::make_pair(e.prices.CostNCU, e.prices.CostCurr);
            if (run)
                run->prices.insert(key, price);
        }
        if (!price)
            return fail(tr("нет цены в прайсе для услуги %1 и объекта %2").arg(ServiceKey).arg(ObjectKey));
        set(PriceListNcu, price->first);
        set(PriceListCurr, price->second);
    }

    if (used & (bit(Coef1) | bit(Coef2) | bit(Coef3))) {
        ObjectRow own;
        const ObjectRow &object = objectRow(ObjectKey, own);
        if (!object.exists)
            return fail(tr("объект %1 не найден").arg(ObjectKey));
        for (int i = 0; i < 3; ++i) {
            if (!(used & bit(Coef1 + i)))
                continue;
            // An empty coefficient is no value: multiplying by it would price the position at zero.
            if (!object.coef[size_t(i)])
                return fail(tr("у объекта %1 не задан коэффициент %2").arg(ObjectKey).arg(i + 1));
            set(Coef1 + i, *object.coef[size_t(i)]);
        }
    }

    for (int i = 0; i < 3; ++i) {
        if (!(used & bit(ServiceValue + i)))
            continue;
        const std::optional<double> v = serviceProcedure(i, reason);
        if (!v)
            return fail(reason);
        set(ServiceValue + i, *v);
    }

    if (used & bit(Rate)) {
        const std::optional<double> rate = currencyRate(reason);
        if (!rate)
            return fail(reason);
        set(Rate, *rate);
    }

    if (used & (bit(DebtNcu) | bit(DebtCurr))) {
        e.debt.DebtOfContractService(ContractServiceKey, today());
        set(DebtNcu, e.debt.ncu());
        set(DebtCurr, e.debt.curr());
    }
    if (used & (bit(CustomerDebtNcu) | bit(CustomerDebtCurr))) {
        e.debt.DebtOfCustomer(CustomerKey, today());
        set(CustomerDebtNcu, e.debt.ncu());
        set(CustomerDebtCurr, e.debt.curr());
    }
    if (used & (bit(ContractDebtNcu) | bit(ContractDebtCurr))) {
        e.debt.DebtOfContract(ContractKey, today());
        set(ContractDebtNcu, e.debt.ncu());
        set(ContractDebtCurr, e.debt.curr());
    }

    // A user variable with a value replaces a step result of the same name.
    for (qsizetype i = 0; i < words.userWords.size(); ++i)
        if (const std::optional<double> v = userValue(words.userWords.at(i)))
            calc.SetVariable(words.userHandles[size_t(i)], *v);

    try {
        value = compiled ? calc.Evaluate(*compiled) : calc.Evaluate(formula);
    } catch (const EFoCalError &error) {
        if (error.fault() == TFoCalFault::UnknownIdentifier)
            return fail(unknownNameReason(formula, error.message()));
        return fail(error.message());
    }
    m_failure.clear();
    return true;
}

QString TboRentReckoning::unknownNameReason(const QString &formula, const QString &message)
{
    // The first identifier of the formula that is neither a variable of the
    // calculator nor a function nor an operator is the one it stopped at.
    TxFoCal &calc = engine().calc;
    QSet<QString> known = {QStringLiteral("DIV"), QStringLiteral("MOD")};
    for (const QString &line : calc.Variables())
        known.insert(line.left(line.lastIndexOf(QLatin1String(" = "))).toUpper());
    for (const QString &f : calc.Functions())
        known.insert(f.toUpper());
    const qsizetype n = formula.size();
    auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    auto identifierChar = [&](QChar c) {
        return isWordLetter(c) || c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = formula.at(i);
        if (isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            // A number, as the calculator reads one: an exponent only with its sign (1E+5).
            while (i < n) {
                const QChar d = formula.at(i);
                if (isDigit(d) || d == QLatin1Char('.') || d == QLatin1Char(','))
                    ++i;
                else if ((d == QLatin1Char('E') || d == QLatin1Char('e')) && i + 2 < n
                         && (formula.at(i + 1) == QLatin1Char('+') || formula.at(i + 1) == QLatin1Char('-')))
                    i += 2;
                else
                    break;
            }
            continue;
        }
        const QString name = takeRun(formula, i, identifierChar);
        if (name.isEmpty()) {
            ++i;
            continue;
        }
        if (known.contains(name.toUpper()))
            continue;
        if (isUserVariable(name))
            return tr("нет значения переменной %1 (объект %2, услуга %3, клиент %4)")
                .arg(name)
                .arg(ObjectKey)
                .arg(ServiceKey)
                .arg(CustomerKey);
        return message + QStringLiteral(": ") + name;
    }
    return message;
}

bool TboRentReckoning::RunReckoningType(int typeKey, double &value)
{
    TxTransaction reads(m_context.db);
    Engine &e = engine();
    e.calc.ClearVariables();
    e.computed.clear();
    e.computedBuiltIns = 0;
    QList<Step> own;
    const QList<Step> &steps = stepsOf(typeKey, own);
    if (steps.isEmpty())
        return fail(tr("формула расчета %1 не найдена или в ней нет позиций").arg(typeKey));
    for (const Step &step : steps) {
        Words ownWords;
        if (!evaluate(step.formula, &step.compiled, wordsOf(step.formula, ownWords), value))
            return fail(tr("позиция %1 (%2): %3").arg(step.number, step.name, m_failure));
        if (step.rounding)
            value = korvex::amount::roundToStep(value, korvex::amount::roundHalfEven(*step.rounding));
        if (step.name.isEmpty())
            continue;
        e.calc.SetVariable(step.result, value);
        e.computed << step.name;
        const auto builtIn = builtInIndex().constFind(step.name);
        if (builtIn != builtInIndex().constEnd())
            e.computedBuiltIns |= bit(builtIn.value());
    }
    m_failure.clear();
    return true;
}

bool TboRentReckoning::Reckon()
{
    // One transaction for all the reads of one pricing (the caller's or a
    // run's when there is one): its statements are prepared once and its
    // values are of one moment.
    TxTransaction reads(m_context.db);
    if (m_loadFailed)
        return fail(tr("позиция договора %1 не найдена").arg(ContractServiceKey));
    const double loadedNcu = CostNCU;
    const double loadedCurr = CostCurr;
    // On failure the caller keeps the prices it had, never a half-run result.
    auto failKeeping = [&](const QString &reason) {
        CostNCU = loadedNcu;
        CostCurr = loadedCurr;
        return fail(reason);
    };

    bool computed = false;
    if (TypeReckoningKey != 0) {
        if (!RunReckoningType(TypeReckoningKey, NCUReckoning ? CostNCU : CostCurr))
            return failKeeping(m_failure);
        computed = true;
    }

    // A currency service has its two prices tied by the rate; otherwise only
    // a computed currency price gives the NCU price.
    const bool currencyService = currService(ServiceKey) == 1;
    if (!currencyService && !(computed && !NCUReckoning)) {
        m_failure.clear();
        return true;
    }
    QString reason;
    const std::optional<double> rate = currencyRate(reason);
    if (!rate || *rate == 0) {
        if (!computed) {
            // Nothing was computed: both prices stay as they are.
            m_failure.clear();
            return true;
        }
        // The counterpart of the computed price would be stale or zero.
        return failKeeping((reason.isEmpty() ? tr("курс валюты равен нулю") : reason)
                           + (NCUReckoning ? tr(": валютную цену нельзя получить из рублевой")
                                           : tr(": рублевую цену нельзя получить из валютной")));
    }
    if (NCUReckoning)
        CostCurr = CostNCU / *rate;
    else
        CostNCU = CostCurr * *rate;
    m_failure.clear();
    return true;
}

// --- Pricing runs -------------------------------------------------------------------

TReckoningRun::TReckoningRun(TboRentReckoning &engine)
    : m_engine(engine)
{
    TboRentReckoning::Engine &e = engine.engine();
    if (e.run)
        return;
    m_transaction = std::make_unique<TxTransaction>(engine.m_context.db);
    e.run = std::make_unique<TboRentReckoning::Run>();
    e.run->today = QDate::currentDate();
    m_outer = true;
}

TReckoningRun::~TReckoningRun()
{
    if (!m_outer)
        return;
    // An own transaction only read, so the guard's rollback loses nothing;
    // the statements kept for it go with it.
    m_engine.engine().run.reset();
    m_transaction.reset();
}

// --- The steps being edited ----------------------------------------------------------

} // namespace korvex::calc
