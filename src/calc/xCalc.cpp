#include "calc/xCalc.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

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

namespace {

using Fault = TFoCalFault;
using Text = std::u16string_view;

[[noreturn]] void raise(Fault fault)
{
    EFoCalError::raise(fault);
}

constexpr int kStackSize = 200;   // entries of each value stack and operator stack
constexpr int kMaxNesting = 200;  // groups inside one another; far beyond any real formula

// ---------------------------------------------------------------------------
// Characters. The language was defined over Windows-1251 text: its letters are
// A-Z and the Cyrillic А-я (not Ё/ё). Upper-casing follows the Russian locale
// for the letters that code page holds.

char16_t upperChar(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return char16_t(c - 0x20);
    if (c >= 0x0430 && c <= 0x044F)  // а-я
        return char16_t(c - 0x20);
    if (c >= 0x0450 && c <= 0x045F)  // ё, ђ, ѓ, є, ѕ, і, ї, ј, љ, њ, ћ, ќ, ў, џ
        return char16_t(c - 0x50);
    if (c == 0x0491)  // ґ
        return 0x0490;
    return c;
}

QString upperCased(const QString &s)
{
    QString r = s;
    for (QChar &c : r)
        c = QChar(upperChar(c.unicode()));
    return r;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isOperatorChar(char16_t c)
{
    switch (c) {
    case u'%': case u'*': case u'+': case u'-': case u'/': case u'<': case u'=': case u'>': case u'^':
        return true;
    default:
        return false;
    }
}

bool isIdentifierChar(char16_t c)
{
    return c == u'$' || c == u'_' || isDigit(c) || (c >= u'A' && c <= u'Z') || (c >= 0x0410 && c <= 0x044F);
}

// Spaces and tabs removed, letters upper-cased; everything else stays.
std::u16string normalized(const QString &s)
{
    std::u16string r;
    r.reserve(size_t(s.size()));
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u != u' ' && u != u'\t')
            r.push_back(upperChar(u));
    }
    return r;
}

QString toQString(Text s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

// ---------------------------------------------------------------------------
// Numbers

enum class NumberParse { Ok, Invalid, Overflow };

// [sign] digits [. digits] [(E|e) [sign] digits], at least one mantissa digit,
// the whole text; out of range upwards is Overflow, downwards 0.
NumberParse parseDecimal(std::string_view s, double &out)
{
    size_t i = 0;
    const size_t n = s.size();
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const size_t mantissaBegin = i;
    int intDigits = 0, fracDigits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9')
        ++i, ++intDigits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            ++i, ++fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return NumberParse::Invalid;
    long long exponent = 0;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            expNegative = s[i++] == '-';
        const size_t expBegin = i;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 100000000)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expBegin)
            return NumberParse::Invalid;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return NumberParse::Invalid;

    double v = 0;
    const auto r = std::from_chars(s.data() + mantissaBegin, s.data() + n, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow by the decimal exponent of the first
        // significant digit.
        long long firstSignificant = 0;
        bool found = false;
        int position = 0;
        for (size_t k = mantissaBegin; k < n && !found; ++k) {
            const char c = s[k];
            if (c == '.')
                continue;
            if (c < '0' || c > '9')
                break;
            if (c != '0') {
                firstSignificant = intDigits - 1 - position;
                found = true;
            }
            ++position;
        }
        if (found && firstSignificant + exponent > 0)
            return NumberParse::Overflow;
        v = 0;
    } else if (r.ec != std::errc() || r.ptr != s.data() + n) {
        return NumberParse::Invalid;
    }
    out = negative ? -v : v;
    return NumberParse::Ok;
}

// The end of the number run that starts at i: digits, separators, and an E
// only together with the sign that follows it.
size_t numberRunEnd(Text s, size_t i)
{
    while (i < s.size()) {
        const char16_t c = s[i];
        if (isDigit(c) || c == u'.' || c == u',')
            ++i;
        else if (c == u'E' && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-'))
            ++i;
        else if ((c == u'+' || c == u'-') && i > 0 && s[i - 1] == u'E')
            ++i;
        else
            break;
    }
    return i;
}

// Converts a number run, in which both separators are the decimal point;
// false with the fault when it is no number.
bool convertNumber(Text run, double &out, Fault &fault)
{
    std::string ascii;
    ascii.reserve(run.size());
    for (const char16_t c : run)
        ascii.push_back(c == u',' ? '.' : char(c));
    switch (parseDecimal(ascii, out)) {
    case NumberParse::Ok: return true;
    case NumberParse::Overflow: fault = Fault::FloatingPointOverflow; return false;
    case NumberParse::Invalid: break;
    }
    fault = Fault::InvalidNumberFormat;
    return false;
}

size_t identifierEnd(Text s, size_t i)
{
    while (i < s.size() && isIdentifierChar(s[i]))
        ++i;
    return i;
}

// The position of the ")" that closes the "(" at open, or npos.
size_t closingParenthesis(Text s, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == u'(')
            ++depth;
        else if (s[i] == u')' && --depth == 0)
            return i;
    }
    return Text::npos;
}

// ---------------------------------------------------------------------------
// Operators

enum Oper : quint8 { opNeg, opPct, opPow, opMul, opDiv, opIntDiv, opMod, opAdd, opSub, opLt, opLe, opEq, opGe, opGt, opCount };

constexpr int kPrecedence[opCount] = {5, 4, 3, 2, 2, 2, 2, 1, 1, 0, 0, 0, 0, 0};

// A result that left the doubles becomes the fault that produced it.
inline double finite(double r)
{
    if (std::isfinite(r)) [[likely]]
        return r;
    raise(std::isnan(r) ? Fault::InvalidFloatingPointOperation : Fault::FloatingPointOverflow);
}

// Checked arithmetic raises each fault where it happens. Unchecked arithmetic
// lets overflow and division by zero run on as infinities or NaN, which
// raise the processor's floating-point flags; a run that raised one is
// repeated checked to find its first fault.
template <bool Checked>
[[gnu::always_inline]] inline double result(double r)
{
    if constexpr (Checked)
        return finite(r);
    else
        return r;
}

template <bool Checked>
double power(double l, double r)
{
    if (r < 0)
        raise(Fault::InvalidOperation);
    // Defined as e raised to r * ln l: the logarithm fails for l <= 0.
    if (l == 0)
        raise(Fault::FloatingPointDivisionByZero);
    if (l < 0)
        raise(Fault::InvalidFloatingPointOperation);
    return result<Checked>(std::pow(l, r));
}

template <bool Checked>
[[gnu::always_inline]] inline void divisor(double r)
{
    if constexpr (Checked)
        if (r == 0)
            raise(Fault::DivisionByZero);
}

template <bool Checked = true>
[[gnu::always_inline]] inline double applyOperator(Oper op, double l, double r)
{
    switch (op) {
    case opNeg:
    case opSub: return result<Checked>(l - r);
    case opPct: return result<Checked>(l / 100 * r);
    case opPow: return power<Checked>(l, r);
    case opMul: return result<Checked>(l * r);
    case opDiv: divisor<Checked>(r); return result<Checked>(l / r);
    case opIntDiv: divisor<Checked>(r); return std::trunc(result<Checked>(l / r));
    case opMod: divisor<Checked>(r); return result<Checked>(l - r * std::trunc(result<Checked>(l / r)));
    case opAdd: return result<Checked>(l + r);
    case opLt: return l < r ? 1 : 0;
    case opLe: return l <= r ? 1 : 0;
    case opEq: return l == r ? 1 : 0;
    case opGe: return l >= r ? 1 : 0;
    case opGt: return l > r ? 1 : 0;
    case opCount: break;
    }
    return 0;
}

// The binary operator that starts at s[i]; len is how many characters it takes.
Oper binaryOperator(Text s, size_t i, size_t &len)
{
    len = 1;
    const bool equalFollows = i + 1 < s.size() && s[i + 1] == u'=';
    switch (s[i]) {
    case u'%': return opPct;
    case u'^': return opPow;
    case u'*': return opMul;
    case u'/': return opDiv;
    case u'+': return opAdd;
    case u'-': return opSub;
    case u'=': return opEq;
    case u'<':
        if (equalFollows)
            len = 2;
        return equalFollows ? opLe : opLt;
    default:  // '>'
        if (equalFollows)
            len = 2;
        return equalFollows ? opGe : opGt;
    }
}

// DIV or MOD at the start of an identifier: only those three letters are the operator.
bool wordOperator(Text name, Oper &op)
{
    if (name.substr(0, 3) == u"DIV")
        op = opIntDiv;
    else if (name.substr(0, 3) == u"MOD")
        op = opMod;
    else
        return false;
    return true;
}

// ---------------------------------------------------------------------------
// Built-in functions

// The nearest integer, a tie to the even one, carried out on a 64-bit integer.
double roundToEven64(double x)
{
    x += 1e-26;
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0))
        raise(Fault::InvalidFloatingPointOperation);
    // Beyond 2^52 every double is whole, so t + 1 cannot leave the range.
    std::int64_t t = std::int64_t(x);
    const double f = x - double(t);
    if (f > 0.5 || (f == 0.5 && (t & 1)))
        ++t;
    else if (f < -0.5 || (f == -0.5 && (t & 1)))
        --t;
    return double(t);
}

double fnSin(double x) { return std::sin(x); }
double fnCos(double x) { return std::cos(x); }
double fnTan(double x) { return std::sin(x) / std::cos(x); }
double fnAbs(double x) { return std::fabs(x); }
double fnArcTan(double x) { return std::atan(x); }
double fnExp(double x) { return std::exp(x); }
double fnFrac(double x) { return x - std::trunc(x); }
double fnInt(double x) { return std::trunc(x); }
double fnLn(double x)
{
    if (x == 0)
        raise(Fault::FloatingPointDivisionByZero);
    if (x < 0)
        raise(Fault::InvalidFloatingPointOperation);
    return std::log(x);
}
double fnSqr(double x) { return x * x; }
double fnSqrt(double x)
{
    if (x < 0)
        raise(Fault::InvalidFloatingPointOperation);
    return std::sqrt(x);
}
double fnRound(double x) { return roundToEven64(x); }
double fnRound10(double x) { return 10 * roundToEven64(x / 10); }
double fnRound100(double x) { return 100 * roundToEven64(x / 100); }
double fnRound1000(double x) { return 1000 * roundToEven64(x / 1000); }

struct BuiltIn {
    const char *name;
    TFunction function;
};

constexpr BuiltIn kBuiltIns[] = {
    {"SIN", fnSin},     {"COS", fnCos},         {"TAN", fnTan},           {"ABS", fnAbs},
    {"ARCTAN", fnArcTan}, {"EXP", fnExp},       {"FRAC", fnFrac},         {"INT", fnInt},
    {"LN", fnLn},       {"SQR", fnSqr},         {"SQRT", fnSqrt},         {"ROUND", fnRound},
    {"FRAC", fnFrac},   {"ROUND10", fnRound10}, {"ROUND100", fnRound100}, {"ROUND1000", fnRound1000},
};

struct TFunctionRec {
    QString name;
    QString upperName;
    TFunction function;
    bool builtIn;
};

// ---------------------------------------------------------------------------
// Compiled form: a straight-line program over one stack of doubles. Every
// push, reduction and failure of the left-to-right algorithm is fixed by the
// text and by which names are variables; only the values are not. So the
// compiler runs the algorithm once without values, emitting each reduction as
// an instruction and each structural failure as a Raise at the point where
// the algorithm would stop. Before a program runs, every name it was compiled
// for is checked to be still a variable, or still not one.

enum Kind : quint8 {
    kConst,        // push c
    kVar,          // push variable a
    kCall,         // top = function(top)
    kRaise,        // raise fault a
    kEnd,          // the result is the only value
    kBin,          // (kBin + op) top = below op top, below popped
    kBinConst = kBin + int(opCount),          // top = top op c
    kBinVar = kBinConst + int(opCount),       // top = top op variable a
    kConstBin = kBinVar + int(opCount),       // top = c op top
    kVarBinConst = kConstBin + int(opCount),  // push variable a op c
    kVarBinVar = kVarBinConst + int(opCount), // push variable a op variable b
    kKindCount = kVarBinVar + int(opCount),
};

struct Instr {
    Instr(quint8 k = kConst) : kind(k) {}
    quint8 kind;
    int a = 0;
    int b = 0;
    union {
        double c = 0;
        TFunction function;
    };
};

struct Program {
    std::vector<Instr> code;
    std::vector<int> variables;     // symbols compiled as variables
    std::vector<int> notVariables;  // symbols compiled as functions or unknown names
    int maxDepth = 0;
    quint64 configVersion = 0;
    quint64 namesChecked = 0;  // the names version the lists above were last found true at
    bool interpret = false;    // reaches OnFunction, which may change the calculator
};

struct CacheEntry {
    QString key;
    Program program;
};

} // namespace

QString shortestDecimalText(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}

double roundHalfEven(double x)
{
    const double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return r;
}

double roundToStep(double value, double step)
{
    if (step == 0)
        return value;
    const double q = value / step;
    if (!(std::fabs(q) <= 2000000000.0))
        return value;
    return step * roundHalfEven(q + 0.000001);
}

// ---------------------------------------------------------------------------

struct TxCustomFoCal::Private {
    // Every name the calculator has met is a symbol: the upper-cased name
    // mapped to a number that compiled programs refer to. A symbol is a
    // variable or not; its value is kept with the symbol.
    QHash<QString, int> symbols;
    std::vector<int> symbolVar;       // symbol -> position in the variable list, or -1
    std::vector<double> symbolValue;  // symbol -> value while it is a variable
    quint64 namesVersion = 1;         // changes whenever a symbol becomes or stops being a variable
    bool mayHoldNonFinite = false;    // a variable may be NaN or infinite: check every read

    // The variables in creation order.
    QStringList varNames;
    std::vector<int> varSymbols;

    std::vector<TFunctionRec> functions;
    bool strictVars = true;
    TFunctionEvent onFunction;
    quint64 configVersion = 1;  // functions, StrictVars, OnFunction

    QString expression = QStringLiteral("0");
    double value = 0;
    bool loading = false;
    int running = 0;  // compiled programs running (a registered function may evaluate again)

    std::unordered_map<QString, CacheEntry> cache;
    // The texts and names callers passed lately, by the address of their
    // characters. A caller's string with a reference count is kept as an
    // alias: while we hold it its characters cannot change, so the same
    // address and length mean the same text without comparing it.
    struct RecentText {
        QString alias;
        CacheEntry *entry = nullptr;
    };
    std::array<RecentText, 16> recent{};
    struct RecentName {
        QString alias;
        int symbol = -1;
    };
    std::array<RecentName, 16> recentNames{};

    static size_t slotOf(const QString &s) { return (reinterpret_cast<quintptr>(s.constData()) >> 4) & 15; }
    static bool sameText(const QString &a, const QString &b)
    {
        return a.size() == b.size()
               && std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(QChar)) == 0;
    }
    static bool isAlias(const QString &alias, const QString &s)
    {
        return alias.data_ptr().isSharedWith(s.data_ptr()) && alias.constData() == s.constData()
               && alias.size() == s.size();
    }
    // A string from raw data could change under us: only a copy may be kept.
    static QString keepable(const QString &s) { return s.data_ptr().isMutable() ? s : QString(s.constData(), s.size()); }

    int symbolOf(const QString &upperName)
    {
        const auto it = symbols.constFind(upperName);
        if (it != symbols.constEnd())
            return it.value();
        const int s = int(symbolVar.size());
        symbols.insert(upperName, s);
        symbolVar.push_back(-1);
        symbolValue.push_back(0);
        return s;
    }

    // The symbol of a variable of this name, or -1.
    int variableOf(Text upperName) const
    {
        const auto it = symbols.constFind(toQString(upperName));
        return it == symbols.constEnd() || symbolVar[size_t(it.value())] < 0 ? -1 : it.value();
    }

    template <bool Checked = true>
    [[gnu::always_inline]] double variableValue(int symbol) const
    {
        return result<Checked>(symbolValue[size_t(symbol)]);
    }

    const TFunctionRec *findFunction(Text upperName) const
    {
        const QString n = toQString(upperName);
        for (const TFunctionRec &f : functions)
            if (f.upperName == n)
                return &f;
        return nullptr;
    }

    void storeValue(int symbol, double v)
    {
        symbolValue[size_t(symbol)] = v;
        if (!std::isfinite(v))
            mayHoldNonFinite = true;
    }

    void setVariable(const QString &name, double v)
    {
        RecentName &slot = recentNames[slotOf(name)];
        int symbol;
        if (slot.symbol >= 0 && (isAlias(slot.alias, name) || sameText(slot.alias, name))) {
            symbol = slot.symbol;
        } else {
            symbol = symbolOf(upperCased(name));
            slot.alias = keepable(name);
            slot.symbol = symbol;
        }
        storeValue(symbol, v);
        if (symbolVar[size_t(symbol)] >= 0)
            return;
        symbolVar[size_t(symbol)] = int(varNames.size());
        varNames.append(name);
        varSymbols.push_back(symbol);
        ++namesVersion;
    }

    void clearVariables()
    {
        for (const int s : varSymbols)
            symbolVar[size_t(s)] = -1;
        varNames.clear();
        varSymbols.clear();
        mayHoldNonFinite = false;
        ++namesVersion;
    }

    // Whether every name of the program is still what it was compiled for.
    bool namesHold(Program &program) const
    {
        if (program.namesChecked == namesVersion)
            return true;
        for (const int symbol : program.variables)
            if (symbolVar[size_t(symbol)] < 0)
                return false;
        for (const int symbol : program.notVariables)
            if (symbolVar[size_t(symbol)] >= 0)
                return false;
        program.namesChecked = namesVersion;
        return true;
    }

    class LeftToRight;
    class Compiler;

    CacheEntry &entryFor(const QString &text);
    double evaluate(const QString &text);
    void compile(CacheEntry &entry);
    double run(const Program &program);
    template <bool Checked>
    double execute(const Program &program);
    double interpret(const QString &text);
};

// ---------------------------------------------------------------------------
// The left-to-right algorithm itself: the reference the compiled form agrees
// with, and the evaluator of expressions that reach OnFunction.

namespace {

class TDoubleStack
{
public:
    void Push(double v)
    {
        if (m_count == kStackSize)
            raise(Fault::ValueStackOverflow);
        m_items[m_count++] = v;
    }
    double Pop()
    {
        if (m_count == 0)
            raise(Fault::ValueStackUnderflow);
        return m_items[--m_count];
    }
    int Count() const { return m_count; }

private:
    double m_items[kStackSize];
    int m_count = 0;
};

class TOpStack
{
public:
    void Push(Oper op)
    {
        if (m_count == kStackSize)
            raise(Fault::OperatorStackOverflow);
        m_items[m_count++] = op;
    }
    Oper Pop()
    {
        if (m_count == 0)
            raise(Fault::OperatorStackUnderflow);
        return m_items[--m_count];
    }
    Oper Top() const { return m_items[m_count - 1]; }
    int Count() const { return m_count; }

private:
    Oper m_items[kStackSize];
    int m_count = 0;
};

} // namespace

class TxCustomFoCal::Private::LeftToRight
{
public:
    explicit LeftToRight(Private &d) : d(d) {}

    double expression(Text s, int nesting)
    {
        TDoubleStack values;
        TOpStack ops;
        // Two operands side by side (2(3), 2A): never a valid formula, even
        // when a stray operator elsewhere would consume the extra value.
        bool lastWasValue = false;
        bool juxtaposed = false;
        const auto pushValue = [&](double v) {
            juxtaposed = juxtaposed || lastWasValue;
            values.Push(v);
            lastWasValue = true;
        };
        const auto reduce = [&] {
            const Oper op = ops.Pop();
            if (values.Count() < 2)
                raise(Fault::ErrorInExpression);
            const double r = values.Pop();
            const double l = values.Pop();
            values.Push(applyOperator(op, l, r));
        };
        const auto pushOperator = [&](Oper op) {
            while (ops.Count() > 0 && kPrecedence[ops.Top()] >= kPrecedence[op])
                reduce();
            ops.Push(op);
            lastWasValue = false;
        };

        size_t i = 0;
        while (i < s.size()) {
            const char16_t c = s[i];
            if (isOperatorChar(c)) {
                size_t len = 1;
                if (values.Count() == 0 && c == u'-') {
                    values.Push(0);
                    ops.Push(opNeg);
                } else if (!(values.Count() == 0 && c == u'+')) {
                    pushOperator(binaryOperator(s, i, len));
                }
                i += len;
            } else if (c == u'(') {
                pushValue(group(s, i, nesting));
            } else if (isDigit(c) || c == u'.' || c == u',') {
                const size_t end = numberRunEnd(s, i);
                double v = 0;
                Fault fault;
                if (!convertNumber(s.substr(i, end - i), v, fault))
                    raise(fault);
                pushValue(v);
                i = end;
            } else {
                const size_t end = identifierEnd(s, i);
                if (end == i)
                    raise(Fault::InvalidIdentifier);
                const Text name = s.substr(i, end - i);
                Oper op;
                if (wordOperator(name, op)) {
                    pushOperator(op);
                    i += 3;
                    continue;
                }
                const int var = d.variableOf(name);
                if (var >= 0) {
                    pushValue(d.variableValue(var));
                    i = end;
                    continue;
                }
                if (const TFunctionRec *f = d.findFunction(name)) {
                    const TFunction function = f->function;  // the record may move while the argument runs
                    i = end;
                    if (i >= s.size() || s[i] != u'(')
                        raise(Fault::OpeningParenthesisExpected);
                    const double x = group(s, i, nesting);
                    pushValue(finite(function(x)));
                    continue;
                }
                if (end < s.size() && s[end] == u'(') {
                    if (d.onFunction) {
                        i = end;
                        double v = group(s, i, nesting);
                        const TFunctionEvent handler = d.onFunction;
                        if (handler(toQString(name), v)) {
                            pushValue(finite(v));
                            continue;
                        }
                    }
                    raise(Fault::UnknownFunctionName);
                }
                if (d.strictVars)
                    raise(Fault::UnknownIdentifier);
                pushValue(0);
                i = end;
            }
        }
        while (ops.Count() > 0)
            reduce();
        if (values.Count() == 0)
            raise(Fault::EmptyExpression);
        if (values.Count() > 1 || juxtaposed)
            raise(Fault::InvalidExpression);
        return values.Pop();
    }

private:
    // The group that opens at s[i]; moves i past its ")".
    double group(Text s, size_t &i, int nesting)
    {
        if (i >= s.size() || s[i] != u'(')
            raise(Fault::OpeningParenthesisExpected);
        const size_t close = closingParenthesis(s, i);
        if (close == Text::npos)
            raise(Fault::ClosingParenthesisMismatch);
        if (nesting >= kMaxNesting)
            raise(Fault::TooDeepNesting);
        const double v = expression(s.substr(i + 1, close - i - 1), nesting + 1);
        i = close + 1;
        return v;
    }

    Private &d;
};

double TxCustomFoCal::Private::interpret(const QString &text)
{
    const std::u16string s = normalized(text);
    return LeftToRight(*this).expression(s, 0);
}

// ---------------------------------------------------------------------------
// The compiler: the same walk as LeftToRight, emitting instead of computing.

class TxCustomFoCal::Private::Compiler
{
public:
    Compiler(Private &d, Program &p) : d(d), p(p) {}

    void compile(Text s)
    {
        p.code.clear();
        p.variables.clear();
        p.notVariables.clear();
        p.namesChecked = 0;
        p.interpret = false;
        try {
            expression(s, 0);
            put({kEnd});
        } catch (const Stop &) {
        }
        if (p.interpret)
            p.code.clear();
        for (std::vector<int> *list : {&p.variables, &p.notVariables}) {
            std::sort(list->begin(), list->end());
            list->erase(std::unique(list->begin(), list->end()), list->end());
        }
        // The deepest the stack gets, for the runner's buffer.
        int depth = 0;
        p.maxDepth = 1;
        for (const Instr &in : p.code) {
            if (in.kind == kConst || in.kind == kVar || in.kind >= kVarBinConst)
                ++depth;
            else if (in.kind >= kBin && in.kind < kBinConst)
                --depth;
            p.maxDepth = std::max(p.maxDepth, depth);
        }
    }

private:
    struct Stop {};  // the program has ended: a fault is emitted, or OnFunction is reached

    struct Level {
        int values = 0;
        int opCount = 0;
        Oper ops[kStackSize];
        bool lastWasValue = false;
        bool juxtaposed = false;
    };

    void put(Instr in) { p.code.push_back(in); }

    [[noreturn]] void emitRaise(Fault f)
    {
        Instr in{kRaise};
        in.a = int(f);
        put(in);
        throw Stop{};
    }

    // Pushes: where each value on the stack begins in the code is kept, so
    // that an operand made by one instruction can be merged into the next.
    void emitConst(double c)
    {
        starts.push_back(p.code.size());
        Instr in{kConst};
        in.c = c;
        put(in);
    }

    void emitVariable(int symbol)
    {
        starts.push_back(p.code.size());
        Instr in{kVar};
        in.a = symbol;
        put(in);
    }

    // Two constants fold (a failure becomes a Raise in their place); operands
    // made by a single push go into the instruction. A constant left operand
    // may move after the right one, as a push has no effect to order; a
    // variable may not, as reading it can fail.
    void emitBinary(Oper op)
    {
        std::vector<Instr> &code = p.code;
        const size_t n = code.size();
        const size_t right = starts.back();
        starts.pop_back();
        const size_t left = starts.back();
        const bool rightSingle = right == n - 1;
        const bool leftSingle = left + 1 == right;
        const quint8 rk = code[right].kind;
        const quint8 lk = code[left].kind;
        if (rightSingle && leftSingle && lk == kConst && rk == kConst) {
            const double l = code[left].c;
            const double r = code[right].c;
            code.resize(left);
            starts.pop_back();
            double v = 0;
            try {
                v = applyOperator(op, l, r);
            } catch (const EFoCalError &e) {
                emitRaise(e.fault());
            }
            emitConst(v);
        } else if (rightSingle && leftSingle && lk == kVar && rk == kConst) {
            code[left].kind = quint8(kVarBinConst + int(op));
            code[left].c = code[right].c;
            code.pop_back();
        } else if (rightSingle && leftSingle && lk == kVar && rk == kVar) {
            code[left].kind = quint8(kVarBinVar + int(op));
            code[left].b = code[right].a;
            code.pop_back();
        } else if (rightSingle && rk == kConst) {
            code[right].kind = quint8(kBinConst + int(op));
        } else if (rightSingle && rk == kVar) {
            code[right].kind = quint8(kBinVar + int(op));
        } else if (leftSingle && lk == kConst) {
            Instr in{quint8(kConstBin + int(op))};
            in.c = code[left].c;
            code.erase(code.begin() + std::ptrdiff_t(left));
            put(in);
        } else {
            put({quint8(kBin + int(op))});
        }
    }

    void emitCall(const TFunctionRec &f)
    {
        std::vector<Instr> &code = p.code;
        if (f.builtIn && starts.back() == code.size() - 1 && code.back().kind == kConst) {
            const double x = code.back().c;
            code.pop_back();
            starts.pop_back();
            double v = 0;
            try {
                v = finite(f.function(x));
            } catch (const EFoCalError &e) {
                emitRaise(e.fault());
            }
            emitConst(v);
            return;
        }
        Instr in{kCall};
        in.function = f.function;
        put(in);
    }

    void valuePushed(Level &l)
    {
        l.juxtaposed = l.juxtaposed || l.lastWasValue;
        if (l.values == kStackSize)
            emitRaise(Fault::ValueStackOverflow);
        ++l.values;
        l.lastWasValue = true;
    }

    void reduce(Level &l)
    {
        const Oper op = l.ops[--l.opCount];
        if (l.values < 2)
            emitRaise(Fault::ErrorInExpression);
        emitBinary(op);
        --l.values;
    }

    void pushOperator(Level &l, Oper op)
    {
        while (l.opCount > 0 && kPrecedence[l.ops[l.opCount - 1]] >= kPrecedence[op])
            reduce(l);
        if (l.opCount == kStackSize)
            emitRaise(Fault::OperatorStackOverflow);
        l.ops[l.opCount++] = op;
        l.lastWasValue = false;
    }

    size_t group(Text s, size_t i, int nesting)
    {
        if (i >= s.size() || s[i] != u'(')
            emitRaise(Fault::OpeningParenthesisExpected);
        const size_t close = closingParenthesis(s, i);
        if (close == Text::npos)
            emitRaise(Fault::ClosingParenthesisMismatch);
        if (nesting >= kMaxNesting)
            emitRaise(Fault::TooDeepNesting);
        expression(s.substr(i + 1, close - i - 1), nesting + 1);
        return close + 1;
    }

    void expression(Text s, int nesting)
    {
        Level l;
        size_t i = 0;
        while (i < s.size()) {
            const char16_t c = s[i];
            if (isOperatorChar(c)) {
                size_t len = 1;
                if (l.values == 0 && c == u'-') {
                    emitConst(0);
                    ++l.values;
                    if (l.opCount == kStackSize)
                        emitRaise(Fault::OperatorStackOverflow);
                    l.ops[l.opCount++] = opNeg;
                } else if (!(l.values == 0 && c == u'+')) {
                    pushOperator(l, binaryOperator(s, i, len));
                }
                i += len;
            } else if (c == u'(') {
                i = group(s, i, nesting);
                valuePushed(l);
            } else if (isDigit(c) || c == u'.' || c == u',') {
                const size_t end = numberRunEnd(s, i);
                double v = 0;
                Fault fault;
                if (!convertNumber(s.substr(i, end - i), v, fault))
                    emitRaise(fault);
                emitConst(v);
                valuePushed(l);
                i = end;
            } else {
                const size_t end = identifierEnd(s, i);
                if (end == i)
                    emitRaise(Fault::InvalidIdentifier);
                const Text name = s.substr(i, end - i);
                Oper op;
                if (wordOperator(name, op)) {
                    pushOperator(l, op);
                    i += 3;
                    continue;
                }
                const int symbol = d.symbolOf(toQString(name));
                if (d.symbolVar[size_t(symbol)] >= 0) {
                    p.variables.push_back(symbol);
                    emitVariable(symbol);
                    valuePushed(l);
                    i = end;
                    continue;
                }
                p.notVariables.push_back(symbol);
                if (const TFunctionRec *f = d.findFunction(name)) {
                    const TFunctionRec function = *f;
                    i = group(s, end, nesting);
                    emitCall(function);
                    valuePushed(l);
                    continue;
                }
                if (end < s.size() && s[end] == u'(') {
                    if (d.onFunction) {
                        p.interpret = true;
                        throw Stop{};
                    }
                    emitRaise(Fault::UnknownFunctionName);
                }
                if (d.strictVars)
                    emitRaise(Fault::UnknownIdentifier);
                emitConst(0);
                valuePushed(l);
                i = end;
            }
        }
        while (l.opCount > 0)
            reduce(l);
        if (l.values == 0)
            emitRaise(Fault::EmptyExpression);
        if (l.values > 1 || l.juxtaposed)
            emitRaise(Fault::InvalidExpression);
    }

    Private &d;
    Program &p;
    std::vector<size_t> starts;
};

void TxCustomFoCal::Private::compile(CacheEntry &entry)
{
    const std::u16string s = normalized(entry.key);
    Compiler(*this, entry.program).compile(s);
    entry.program.configVersion = configVersion;
}

CacheEntry &TxCustomFoCal::Private::entryFor(const QString &text)
{
    RecentText &slot = recent[slotOf(text)];
    if (slot.entry && isAlias(slot.alias, text))
        return *slot.entry;
    if (slot.entry && sameText(slot.entry->key, text)) {
        slot.alias = keepable(text);
        return *slot.entry;
    }
    auto it = cache.find(text);
    if (it == cache.end()) {
        if (cache.size() >= 4096) {
            // Bounded memory for callers that evaluate endless distinct texts;
            // the symbols of names no variable holds go with the programs.
            cache.clear();
            recent.fill(RecentText());
            recentNames.fill(RecentName());
            QHash<QString, int> kept;
            std::vector<int> keptVar;
            std::vector<double> keptValue;
            for (size_t v = 0; v < varSymbols.size(); ++v) {
                kept.insert(upperCased(varNames.at(qsizetype(v))), int(v));
                keptVar.push_back(int(v));
                keptValue.push_back(symbolValue[size_t(varSymbols[v])]);
                varSymbols[v] = int(v);
            }
            symbols = std::move(kept);
            symbolVar = std::move(keptVar);
            symbolValue = std::move(keptValue);
            ++namesVersion;
        }
        const QString key(text.constData(), text.size());  // a copy of its own: the caller's may be raw data
        it = cache.emplace(key, CacheEntry{key, Program{}}).first;
        it->second.program.configVersion = 0;  // compiled at first use
    }
    slot.alias = keepable(text);
    slot.entry = &it->second;
    return it->second;
}

#define KORVEX_FOCAL_OPERATORS(X)                                                                   \
    X(opNeg) X(opPct) X(opPow) X(opMul) X(opDiv) X(opIntDiv) X(opMod) X(opAdd) X(opSub) X(opLt) X(opLe) \
        X(opEq) X(opGe) X(opGt)

// Runs a compiled program whose names hold. Each instruction jumps straight
// to the next one's code.
template <bool Checked>
[[gnu::noinline]] double TxCustomFoCal::Private::execute(const Program &program)
{
    // The top of the stack lives in a register; the stack holds what is
    // below it (and one spilled dummy at the bottom).
    double local[64];
    std::unique_ptr<double[]> heap;
    double *stack = local;
    if (program.maxDepth + 1 > 64) {
        heap.reset(new double[size_t(program.maxDepth) + 1]);
        stack = heap.get();
    }
    double *sp = stack;
    double top = 0;

#define KORVEX_FOCAL_LABELS(OP) &&bin_##OP,
#define KORVEX_FOCAL_LABELS_C(OP) &&binConst_##OP,
#define KORVEX_FOCAL_LABELS_V(OP) &&binVar_##OP,
#define KORVEX_FOCAL_LABELS_CB(OP) &&constBin_##OP,
#define KORVEX_FOCAL_LABELS_VC(OP) &&varBinConst_##OP,
#define KORVEX_FOCAL_LABELS_VV(OP) &&varBinVar_##OP,
    static const void *const labels[] = {
        &&push_const, &&push_var, &&call, &&fail, &&end,
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_C)
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_V) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_CB)
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_VC) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_VV)
    };
    static_assert(sizeof labels / sizeof labels[0] == kKindCount);

    const Instr *in = program.code.data();
#define KORVEX_FOCAL_NEXT goto *labels[(++in)->kind]
#define KORVEX_FOCAL_HANDLERS(OP)                                                                  \
    bin_##OP : top = applyOperator<Checked>(OP, *--sp, top);                                       \
    KORVEX_FOCAL_NEXT;                                                                             \
    binConst_##OP : top = applyOperator<Checked>(OP, top, in->c);                                  \
    KORVEX_FOCAL_NEXT;                                                                             \
    binVar_##OP : top = applyOperator<Checked>(OP, top, variableValue<Checked>(in->a));            \
    KORVEX_FOCAL_NEXT;                                                                             \
    constBin_##OP : top = applyOperator<Checked>(OP, in->c, top);                                  \
    KORVEX_FOCAL_NEXT;                                                                             \
    varBinConst_##OP : *sp++ = top;                                                                \
    top = applyOperator<Checked>(OP, variableValue<Checked>(in->a), in->c);                        \
    KORVEX_FOCAL_NEXT;                                                                             \
    varBinVar_##OP : *sp++ = top;                                                                  \
    top = variableValue<Checked>(in->a);                                                           \
    top = applyOperator<Checked>(OP, top, variableValue<Checked>(in->b));                          \
    KORVEX_FOCAL_NEXT;

    goto *labels[in->kind];
push_const:
    *sp++ = top;
    top = in->c;
    KORVEX_FOCAL_NEXT;
push_var:
    *sp++ = top;
    top = variableValue<Checked>(in->a);
    KORVEX_FOCAL_NEXT;
call:
    top = finite(in->function(top));
    KORVEX_FOCAL_NEXT;
fail:
    raise(Fault(in->a));
end:
    return top;
    KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_HANDLERS)

#undef KORVEX_FOCAL_HANDLERS
#undef KORVEX_FOCAL_NEXT
#undef KORVEX_FOCAL_LABELS
#undef KORVEX_FOCAL_LABELS_C
#undef KORVEX_FOCAL_LABELS_V
#undef KORVEX_FOCAL_LABELS_CB
#undef KORVEX_FOCAL_LABELS_VC
#undef KORVEX_FOCAL_LABELS_VV
}

namespace {

#if defined(__SSE2__)
constexpr unsigned kFaultFlags = _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;

// Clears the fault flags for one run and gives the caller's back after it.
class FaultFlags
{
public:
    FaultFlags() : m_before(_mm_getcsr())
    {
        if (m_before & kFaultFlags)
            _mm_setcsr(m_before & ~kFaultFlags);
    }
    ~FaultFlags()
    {
        const unsigned now = _mm_getcsr();
        if ((now ^ m_before) & kFaultFlags)
            _mm_setcsr((now & ~kFaultFlags) | (m_before & kFaultFlags));
    }
    bool raised() const { return _mm_getcsr() & kFaultFlags; }

private:
    unsigned m_before;
};

// Emulators such as valgrind do not keep the flags; there every run is checked.
bool faultFlagsWork()
{
    FaultFlags flags;
    volatile double big = 1e308;
    volatile double product = big * 10;
    (void)product;
    return flags.raised();
}
#endif

} // namespace

double TxCustomFoCal::Private::run(const Program &program)
{
    ++running;
    struct Running {
        int &count;
        ~Running() { --count; }
    } runningGuard{running};
#if defined(__SSE2__)
    static const bool flagsWork = faultFlagsWork();
    if (!mayHoldNonFinite && flagsWork) {
        FaultFlags flags;
        try {
            const double r = execute<false>(program);
            if (!flags.raised() && std::isfinite(r))
                return r;
        } catch (...) {
            if (!flags.raised())
                throw;
        }
        return execute<true>(program);
    }
#endif
    return execute<true>(program);
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
    // The path of a formula evaluated again: the caller's very text, its
    // program current. Anything else goes the long way.
    Private &p = *d;
    const Private::RecentText &slot = p.recent[Private::slotOf(text)];
    if (slot.entry && Private::isAlias(slot.alias, text)) {
        Program &program = slot.entry->program;
        if (program.configVersion == p.configVersion && !program.interpret && p.namesHold(program))
            return p.run(program);
    }
    return p.evaluate(text);
}

double TxCustomFoCal::Private::evaluate(const QString &text)
{
    // While a program runs, neither it nor the cache may change: a registered
    // function that evaluates on this very calculator gets the plain scan.
    if (running > 0)
        return interpret(text);
    CacheEntry &entry = entryFor(text);
    if (entry.program.configVersion != configVersion || !namesHold(entry.program))
        compile(entry);
    if (entry.program.interpret)
        return interpret(text);
    return run(entry.program);
}

double TxCustomFoCal::EvaluateLeftToRight(const QString &text)
{
    return d->interpret(text);
}

void TxCustomFoCal::SetVariable(const QString &name, double value)
{
    // The path of a variable set again by the caller's very name string.
    const Private::RecentName &slot = d->recentNames[Private::slotOf(name)];
    if (slot.symbol >= 0 && Private::isAlias(slot.alias, name) && d->symbolVar[size_t(slot.symbol)] >= 0) {
        d->storeValue(slot.symbol, value);
        return;
    }
    d->setVariable(name, value);
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
    for (qsizetype v = 0; v < d->varNames.size(); ++v) {
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
        lines << d->varNames.at(v) + QLatin1String(" = ") + number;
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
    if (!d->varNames.isEmpty()) {
        QVariantList pairs;
        for (qsizetype v = 0; v < d->varNames.size(); ++v)
            pairs << d->varNames.at(v) << d->symbolValue[size_t(d->varSymbols[size_t(v)])];
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
