#pragma once

// The formula language as the calculator's own files share it: characters,
// numbers, operators, built-in functions, the compiled form and the
// calculator's private state. Included by xCalc.cpp, xCalcInterpreter.cpp and
// xCalcCompiler.cpp only.
//
// There are two evaluators of one language, and they must agree:
// - the interpreter (xCalcInterpreter.cpp) scans the text from left to
//   right with a value stack and an operator stack. It is the reference: the
//   plain algorithm the language is defined by, kept simple on purpose, and
//   the evaluator of texts that reach OnFunction;
// - the compiler (xCalcCompiler.cpp) walks the text the same way once,
//   emitting a straight-line program that later evaluations run.
// For every text and every set of variables, functions and settings both
// give the same value to the bit or raise the same first fault. A change to
// one is a change to both: FoCalTest::agreesWithLeftToRight
// (tests/calc/tst_calc.cpp) compares them on generated formulas, and the
// fuzz target fuzz/calc/fuzzCalc.cpp (its corpus replayed by every test run)
// on arbitrary input.

#include "calc/xCalc.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvex::calc::focal {

using Fault = TFoCalFault;
using Text = std::u16string_view;

[[noreturn]] inline void raise(Fault fault)
{
    EFoCalError::raise(fault);
}

constexpr int kStackSize = 200;   // entries of each value stack and operator stack
constexpr int kMaxNesting = 200;  // groups inside one another; far beyond any real formula

// ---------------------------------------------------------------------------
// Characters. The language was defined over Windows-1251 text: its letters are
// A-Z and the Cyrillic А-я (not Ё/ё). Upper-casing follows the Russian locale
// for the letters that code page holds.

inline char16_t upperChar(char16_t c)
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

inline QString upperCased(const QString &s)
{
    QString r = s;
    for (QChar &c : r)
        c = QChar(upperChar(c.unicode()));
    return r;
}

inline bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

inline bool isOperatorChar(char16_t c)
{
    switch (c) {
    case u'%': case u'*': case u'+': case u'-': case u'/': case u'<': case u'=': case u'>': case u'^':
        return true;
    default:
        return false;
    }
}

inline bool isIdentifierChar(char16_t c)
{
    return c == u'$' || c == u'_' || isDigit(c) || (c >= u'A' && c <= u'Z') || (c >= 0x0410 && c <= 0x044F);
}

// Spaces and tabs removed, letters upper-cased; everything else stays.
inline std::u16string normalized(const QString &s)
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

inline QString toQString(Text s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

// ---------------------------------------------------------------------------
// Numbers

enum class NumberParse { Ok, Invalid, Overflow };

// [sign] digits [. digits] [(E|e) [sign] digits], at least one mantissa digit,
// the whole text; out of range upwards is Overflow, downwards 0.
inline NumberParse parseDecimal(std::string_view s, double &out)
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
inline size_t numberRunEnd(Text s, size_t i)
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
inline bool convertNumber(Text run, double &out, Fault &fault)
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

inline size_t identifierEnd(Text s, size_t i)
{
    while (i < s.size() && isIdentifierChar(s[i]))
        ++i;
    return i;
}

// The position of the ")" that closes the "(" at open, or npos.
inline size_t closingParenthesis(Text s, size_t open)
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

inline constexpr int kPrecedence[opCount] = {5, 4, 3, 2, 2, 2, 2, 1, 1, 0, 0, 0, 0, 0};

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
inline double power(double l, double r)
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
inline Oper binaryOperator(Text s, size_t i, size_t &len)
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
inline bool wordOperator(Text name, Oper &op)
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
inline double roundToEven64(double x)
{
    x += 1e-26;
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0))
        raise(Fault::InvalidFloatingPointOperation);
    // Beyond 2^52 every double is whole, so t + 1 cannot leave the range.
    // Without branches: on amounts the fraction is as good as random.
    const std::int64_t t = std::int64_t(x);
    const double f = x - double(t);
    const std::int64_t odd = t & 1;
    const std::int64_t up = std::int64_t(f > 0.5) | (std::int64_t(f == 0.5) & odd);
    const std::int64_t down = std::int64_t(f < -0.5) | (std::int64_t(f == -0.5) & odd);
    return double(t + up - down);
}

inline double fnSin(double x) { return std::sin(x); }
inline double fnCos(double x) { return std::cos(x); }
inline double fnTan(double x) { return std::sin(x) / std::cos(x); }
inline double fnAbs(double x) { return std::fabs(x); }
inline double fnArcTan(double x) { return std::atan(x); }
inline double fnExp(double x) { return std::exp(x); }
inline double fnFrac(double x) { return x - std::trunc(x); }
inline double fnInt(double x) { return std::trunc(x); }
inline double fnLn(double x)
{
    if (x == 0)
        raise(Fault::FloatingPointDivisionByZero);
    if (x < 0)
        raise(Fault::InvalidFloatingPointOperation);
    return std::log(x);
}
inline double fnSqr(double x) { return x * x; }
inline double fnSqrt(double x)
{
    if (x < 0)
        raise(Fault::InvalidFloatingPointOperation);
    return std::sqrt(x);
}
inline double fnRound(double x) { return roundToEven64(x); }
inline double fnRound10(double x) { return 10 * roundToEven64(x / 10); }
inline double fnRound100(double x) { return 100 * roundToEven64(x / 100); }
inline double fnRound1000(double x) { return 1000 * roundToEven64(x / 1000); }

struct BuiltIn {
    const char *name;
    TFunction function;
};

inline constexpr BuiltIn kBuiltIns[] = {
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
    kRound,        // top = c * round(top / c): the built-in ROUND, ROUND10, ROUND100, ROUND1000
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

// A quick hash of a text's characters: the calculator finds formulas and
// names by their text on every evaluation, where Qt's seeded hash costs more
// than the evaluation itself.
struct TextHash {
    size_t operator()(const QString &s) const noexcept
    {
        return std::hash<std::u16string_view>{}(std::u16string_view(reinterpret_cast<const char16_t *>(s.constData()), size_t(s.size())));
    }
};

} // namespace korvex::calc::focal

namespace korvex::calc {

using namespace focal;

struct TxCustomFoCal::Private {
    // Every name the calculator has met is a symbol: the upper-cased name
    // mapped to a number that compiled programs refer to. A symbol is a
    // variable or not; its value is kept with the symbol.
    QHash<QString, int> symbols;
    std::vector<int> symbolVar;       // symbol -> position in the variable list, or -1
    std::vector<double> symbolValue;  // symbol -> value while it is a variable
    quint64 namesVersion = 1;         // changes whenever a symbol becomes or stops being a variable
    bool mayHoldNonFinite = false;    // a variable may be NaN or infinite: check every read

    // The variables in creation order, and how each symbol was spelled when
    // it last became a variable.
    std::vector<int> varSymbols;
    std::vector<QString> symbolSpelling;

    const QString &varName(size_t v) const { return symbolSpelling[size_t(varSymbols[v])]; }

    std::vector<TFunctionRec> functions;
    bool strictVars = true;
    TFunctionEvent onFunction;
    quint64 configVersion = 1;  // functions, StrictVars, OnFunction

    QString expression = QStringLiteral("0");
    double value = 0;
    bool loading = false;
    int running = 0;  // compiled programs running (a registered function may evaluate again)

    // Compiled programs by the text of their formula. Entries stay where
    // they are until the cache is dropped (cacheEpoch changes), so a formula
    // handle may point at one.
    std::unordered_map<QString, CacheEntry, TextHash> cache;
    quint64 cacheEpoch = 1;
    // Names as callers spelled them, for SetVariable by name without
    // upper-casing each time; a memo of symbols, rebuilt with them.
    std::unordered_map<QString, int, TextHash> spellings;
    quint64 symbolEpoch = 1;  // changes when symbols are numbered anew
    const quint64 serial;     // tells this calculator's handles from others'

    Private();

    int symbolOf(const QString &upperName)
    {
        const auto it = symbols.constFind(upperName);
        if (it != symbols.constEnd())
            return it.value();
        const int s = int(symbolVar.size());
        symbols.insert(upperName, s);
        symbolVar.push_back(-1);
        symbolValue.push_back(0);
        symbolSpelling.emplace_back();
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

    [[gnu::always_inline]] void storeValue(int symbol, double v)
    {
        symbolValue[size_t(symbol)] = v;
        if (!std::isfinite(v))
            mayHoldNonFinite = true;
    }

    // A text the calculator may keep: a string over raw data (whose owner
    // may free it) is copied.
    static QString owned(const QString &s) { return s.data_ptr().isMutable() ? s : QString(s.constData(), s.size()); }

    int symbolOfSpelling(const QString &name)
    {
        const auto it = spellings.find(name);
        if (it != spellings.end())
            return it->second;
        if (qsizetype(spellings.size()) >= kMaxSpellings)
            spellings.clear();
        const int symbol = symbolOf(upperCased(name));
        spellings.emplace(owned(name), symbol);
        return symbol;
    }

    // The symbol takes the value; when it is no variable yet, it becomes one
    // spelled as given.
    [[gnu::always_inline]] void setSymbol(int symbol, const QString &spelling, double v)
    {
        storeValue(symbol, v);
        if (symbolVar[size_t(symbol)] >= 0)
            return;
        symbolVar[size_t(symbol)] = int(varSymbols.size());
        QString &kept = symbolSpelling[size_t(symbol)];
        if (!kept.isSharedWith(spelling))
            kept = owned(spelling);
        varSymbols.push_back(symbol);
        ++namesVersion;
    }

    void setVariable(const QString &name, double v)
    {
        if (running == 0 && symbols.size() >= kMaxSymbols)
            renumber();
        setSymbol(symbolOfSpelling(name), name, v);
    }

    void clearVariables()
    {
        for (const int s : varSymbols)
            symbolVar[size_t(s)] = -1;
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
    [[gnu::noinline]] void resolve(TFoCalVariableHandle &variable);
    // Drops every compiled program and numbers the symbols anew, keeping
    // only those of the variables: bounded memory for callers that meet
    // endless distinct texts or names.
    void renumber();
    static constexpr size_t kMaxPrograms = 4096;
    static constexpr qsizetype kMaxSymbols = 65536;
    static constexpr qsizetype kMaxSpellings = 65536;
    double evaluate(CacheEntry &entry)
    {
        Program &program = entry.program;
        if (program.configVersion != configVersion || !namesHold(program))
            compile(entry);
        if (program.interpret)
            return interpret(entry.key);
        return run(program);
    }
    void compile(CacheEntry &entry);
    double run(const Program &program);
    template <bool Checked>
    double execute(const Program &program);
    double interpret(const QString &text);
};

} // namespace korvex::calc
