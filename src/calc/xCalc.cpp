#include "calc/xCalc.h"

#include "xCalcLanguage.h"

#include <QLocale>
#include <atomic>
#include <cctype>

namespace korvex::calc {

// ---------------------------------------------------------------------------
// Errors

EFoCalError::EFoCalError(TFoCalFault fault)
    : std::runtime_error(messageOf(fault))
    , m_fault(fault)
{
}

const char *EFoCalError::messageOf(TFoCalFault fault)
{
    switch (fault) {
    case TFoCalFault::EmptyExpression: return "Empty expression";
    case TFoCalFault::InvalidExpression: return "Invalid expression";
    case TFoCalFault::ErrorInExpression: return "Error in expression";
    case TFoCalFault::UnknownIdentifier: return "Unknown identifier";
    case TFoCalFault::UnknownFunctionName: return "Unknown function name";
    case TFoCalFault::InvalidIdentifier: return "Invalid identifier";
    case TFoCalFault::InvalidNumberFormat: return "Invalid number format";
    case TFoCalFault::OpeningParenthesisExpected: return "Opening parenthesis expected";
    case TFoCalFault::ClosingParenthesisMismatch: return "Closing parenthesis mismatch";
    case TFoCalFault::DivisionByZero: return "Division by zero";
    case TFoCalFault::InvalidOperation: return "Invalid operation";
    case TFoCalFault::TooDeepNesting:
    case TFoCalFault::ValueStackOverflow:
    case TFoCalFault::OperatorStackOverflow: return "Stack overflow";
    case TFoCalFault::ValueStackUnderflow:
    case TFoCalFault::OperatorStackUnderflow: return "Stack underflow";
    case TFoCalFault::FloatingPointOverflow: return "Floating point overflow";
    case TFoCalFault::FloatingPointDivisionByZero: return "Floating point division by zero";
    case TFoCalFault::InvalidFloatingPointOperation: return "Invalid floating point operation";
    }
    return "Invalid expression";
}

void EFoCalError::raise(TFoCalFault fault)
{
    switch (fault) {
    case TFoCalFault::ValueStackOverflow:
    case TFoCalFault::ValueStackUnderflow: throw EDoubleStackError(fault);
    case TFoCalFault::OperatorStackOverflow:
    case TFoCalFault::OperatorStackUnderflow: throw EOpStackError(fault);
    case TFoCalFault::FloatingPointOverflow:
    case TFoCalFault::FloatingPointDivisionByZero:
    case TFoCalFault::InvalidFloatingPointOperation: throw EFoCalMathError(fault);
    default: throw ExCustomFoCalError(fault);
    }
}


QString shortestDecimalText(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}


namespace {
std::atomic<quint64> g_calculators{0};
} // namespace

TxCustomFoCal::Private::Private()
    : serial(++g_calculators)
{
}

void TxCustomFoCal::Private::renumber()
{
    cache.clear();
    ++cacheEpoch;
    QHash<QString, int> kept;
    decltype(spellings) keptSpellings;
    std::vector<int> keptVar;
    std::vector<double> keptValue;
    std::vector<QString> keptSpelling;
    for (size_t v = 0; v < varSymbols.size(); ++v) {
        const QString &name = varName(v);
        kept.insert(upperCased(name), int(v));
        keptSpellings.emplace(name, int(v));
        keptVar.push_back(int(v));
        keptValue.push_back(symbolValue[size_t(varSymbols[v])]);
        keptSpelling.push_back(name);
    }
    for (size_t v = 0; v < varSymbols.size(); ++v)
        varSymbols[v] = int(v);
    symbolSpelling = std::move(keptSpelling);
    symbols = std::move(kept);
    spellings = std::move(keptSpellings);
    symbolVar = std::move(keptVar);
    symbolValue = std::move(keptValue);
    ++symbolEpoch;
    ++namesVersion;
}

CacheEntry &TxCustomFoCal::Private::entryFor(const QString &text)
{
    auto it = cache.find(text);
    if (it != cache.end())
        return it->second;
    if (cache.size() >= kMaxPrograms || symbols.size() >= kMaxSymbols)
        renumber();
    const QString key(text.constData(), text.size());  // a copy of its own: the caller's may be raw data
    it = cache.emplace(key, CacheEntry{key, Program{}}).first;
    it->second.program.configVersion = 0;  // compiled at first use
    return it->second;
}

// ---------------------------------------------------------------------------

TxCustomFoCal::TxCustomFoCal(QObject *owner)
    : QObject(owner)
    , d(std::make_unique<Private>())
{
    d->setVariable(QStringLiteral("PI"), 3.141592653589793);
    d->setVariable(QStringLiteral("E"), std::exp(1.0));
    for (const BuiltIn &b : kBuiltIns) {
        const QString name = QString::fromLatin1(b.name);
        d->functions.push_back({name, name, b.function, true});
    }
}

TxCustomFoCal::~TxCustomFoCal() = default;

QString TxCustomFoCal::Expression() const
{
    return d->expression;
}

void TxCustomFoCal::SetExpression(const QString &text)
{
    d->expression = text;
    if (d->loading)
        return;
    if (text.isEmpty()) {
        d->value = 0;
        d->expression = QStringLiteral("0");
        return;
    }
    try {
        d->value = Evaluate(text);
    } catch (...) {
        d->value = 0;
        d->expression = QStringLiteral("Error");
    }
}

double TxCustomFoCal::Value() const
{
    return d->value;
}

void TxCustomFoCal::SetValue(double value)
{
    d->value = value;
    d->expression = shortestDecimalText(value);
}

double TxCustomFoCal::Evaluate(const QString &text)
{
    // While a program runs, neither it nor the cache may change: a registered
    // function that evaluates on this very calculator gets the plain scan.
    if (d->running > 0)
        return d->interpret(text);
    return d->evaluate(d->entryFor(text));
}

double TxCustomFoCal::Evaluate(TFoCalFormulaHandle &formula)
{
    Private &p = *d;
    if (p.running > 0)
        return p.interpret(formula.m_text);
    if (formula.m_owner != p.serial || formula.m_epoch != p.cacheEpoch || !formula.m_entry) {
        CacheEntry &entry = p.entryFor(formula.m_text);
        formula.m_owner = p.serial;
        formula.m_epoch = p.cacheEpoch;
        formula.m_entry = &entry;
    }
    return p.evaluate(*static_cast<CacheEntry *>(formula.m_entry));
}

TFoCalFormulaHandle TxCustomFoCal::FormulaHandle(const QString &text)
{
    TFoCalFormulaHandle formula;
    formula.m_text = Private::owned(text);
    return formula;
}

double TxCustomFoCal::EvaluateLeftToRight(const QString &text)
{
    return d->interpret(text);
}

void TxCustomFoCal::SetVariable(const QString &name, double value)
{
    d->setVariable(name, value);
}

void TxCustomFoCal::SetVariable(TFoCalVariableHandle &variable, double value)
{
    // Kept small: this runs for every variable of every formula the engine
    // evaluates. Anything unusual goes to resolve().
    Private &p = *d;
    if (variable.m_owner != p.serial || variable.m_epoch != p.symbolEpoch) [[unlikely]]
        p.resolve(variable);
    const size_t symbol = size_t(variable.m_symbol);
    p.symbolValue[symbol] = value;
    if (!std::isfinite(value)) [[unlikely]]
        p.mayHoldNonFinite = true;
    if (p.symbolVar[symbol] >= 0)
        return;
    p.symbolVar[symbol] = int(p.varSymbols.size());
    p.varSymbols.push_back(int(symbol));
    ++p.namesVersion;
    if (!p.symbolSpelling[symbol].isSharedWith(variable.m_name)) [[unlikely]]
        p.symbolSpelling[symbol] = variable.m_name;
}

void TxCustomFoCal::Private::resolve(TFoCalVariableHandle &variable)
{
    if (running == 0 && symbols.size() >= kMaxSymbols)
        renumber();
    variable.m_symbol = symbolOf(upperCased(variable.m_name));
    variable.m_owner = serial;
    variable.m_epoch = symbolEpoch;
}

TFoCalVariableHandle TxCustomFoCal::VariableHandle(const QString &name)
{
    TFoCalVariableHandle variable;
    variable.m_name = Private::owned(name);
    return variable;
}

void TxCustomFoCal::AddFunction(const QString &name, TFunction function)
{
    d->functions.push_back({name, upperCased(name), function, false});
    ++d->configVersion;
}

void TxCustomFoCal::ClearVariables()
{
    d->clearVariables();
}

QStringList TxCustomFoCal::Variables() const
{
    const QString point = QLocale().decimalPoint();
    QStringList lines;
    for (size_t v = 0; v < d->varSymbols.size(); ++v) {
        // 15 significant digits, an exponent of a sign and at least three digits.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, d->symbolValue[size_t(d->varSymbols[size_t(v)])],
                                     std::chars_format::scientific, 14);
        std::string text(buf, r.ptr);
        const size_t e = text.find('e');
        if (e != std::string::npos) {
            std::string digits = text.substr(e + 2);
            while (digits.size() < 3)
                digits.insert(digits.begin(), '0');
            text = text.substr(0, e) + 'E' + text[e + 1] + digits;
        } else {
            for (char &c : text)
                c = char(std::toupper(static_cast<unsigned char>(c)));
        }
        QString number = QString::fromLatin1(text);
        number.replace(QLatin1Char('.'), point);
        lines << d->varName(v) + QLatin1String(" = ") + number;
    }
    return lines;
}

void TxCustomFoCal::SetVariables(const QStringList &lines)
{
    // All lines are read before anything changes, so a bad one loses nothing.
    const QString point = QLocale().decimalPoint();
    std::vector<std::pair<QString, double>> parsed;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        QString name;
        for (const QChar c : line.left(eq))
            if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
                name.append(QChar(upperChar(c.unicode())));
        QString text = line.mid(eq + 1).left(255);
        qsizetype b = 0, e = text.size();
        while (b < e && (text[b] == QLatin1Char(' ') || text[b] == QLatin1Char('\t')))
            ++b;
        while (e > b && (text[e - 1] == QLatin1Char(' ') || text[e - 1] == QLatin1Char('\t')))
            --e;
        text = text.mid(b, e - b);
        // The locale's decimal point becomes '.', any other character that
        // is not part of a number makes the text invalid.
        std::string ascii;
        for (qsizetype k = 0; k < text.size();) {
            if (!point.isEmpty() && QStringView(text).mid(k).startsWith(point)) {
                ascii.push_back('.');
                k += point.size();
                continue;
            }
            const char16_t c = text[k].unicode();
            const bool allowed = isDigit(c) || c == u'+' || c == u'-' || c == u'e' || c == u'E';
            ascii.push_back(allowed ? char(c) : '#');
            ++k;
        }
        double v = 0;
        if (parseDecimal(ascii, v) != NumberParse::Ok)
            raise(Fault::InvalidNumberFormat);
        parsed.emplace_back(name, v);
    }
    d->clearVariables();
    for (const auto &[name, v] : parsed)
        d->setVariable(name, v);
}

QStringList TxCustomFoCal::Functions() const
{
    QStringList names;
    for (const TFunctionRec &f : d->functions)
        names << f.name;
    return names;
}

bool TxCustomFoCal::StrictVars() const
{
    return d->strictVars;
}

void TxCustomFoCal::SetStrictVars(bool strict)
{
    if (d->strictVars == strict)
        return;
    d->strictVars = strict;
    ++d->configVersion;
}

const TFunctionEvent &TxCustomFoCal::OnFunction() const
{
    return d->onFunction;
}

void TxCustomFoCal::SetOnFunction(TFunctionEvent handler)
{
    d->onFunction = std::move(handler);
    ++d->configVersion;
}

QVariantMap TxCustomFoCal::SaveState() const
{
    QVariantMap state;
    state.insert(QStringLiteral("Expression"), d->expression);
    state.insert(QStringLiteral("StrictVars"), d->strictVars);
    if (!d->varSymbols.empty()) {
        QVariantList pairs;
        for (size_t v = 0; v < d->varSymbols.size(); ++v)
            pairs << d->varName(v) << d->symbolValue[size_t(d->varSymbols[v])];
        state.insert(QStringLiteral("_variables_"), pairs);
    }
    return state;
}

void TxCustomFoCal::LoadState(const QVariantMap &state)
{
    d->loading = true;
    if (state.contains(QStringLiteral("Expression")))
        SetExpression(state.value(QStringLiteral("Expression")).toString());
    if (state.contains(QStringLiteral("StrictVars")))
        SetStrictVars(state.value(QStringLiteral("StrictVars")).toBool());
    const QVariantList pairs = state.value(QStringLiteral("_variables_")).toList();
    for (qsizetype k = 0; k + 1 < pairs.size(); k += 2) {
        if (pairs.at(k).typeId() != QMetaType::QString)
            break;
        bool ok = false;
        const double v = pairs.at(k + 1).toDouble(&ok);
        if (!ok)
            break;
        SetVariable(pairs.at(k).toString(), v);
    }
    d->loading = false;
    SetExpression(d->expression);
}

} // namespace korvex::calc
