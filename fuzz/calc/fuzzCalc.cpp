// Fuzz target for the formula calculator. The first byte chooses the set-up
// (strict names or not, registered functions, a handler, cleared or odd
// variables); the rest is the formula, its bytes read as Windows-1251 text
// so that Cyrillic names are one byte away. Every input is evaluated by the
// compiled form and by the plain left-to-right scan, before and after the
// variables change: both must give the same value to the bit or the same
// fault, the value must be finite, and a failure must carry one of the
// calculator's own messages.

#include "calc/xCalc.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace korvex::calc;

namespace {

const char *const kMessages[] = {
    "Empty expression",           "Invalid expression",       "Error in expression",
    "Unknown identifier",         "Unknown function name",    "Invalid identifier",
    "Invalid number format",      "Opening parenthesis expected", "Closing parenthesis mismatch",
    "Division by zero",           "Invalid operation",        "Stack overflow",
    "Stack underflow",            "Floating point overflow",  "Floating point division by zero",
    "Invalid floating point operation",
};

[[noreturn]] void fail(const char *what, const QString &text, const QString &detail = {})
{
    std::fprintf(stderr, "calc fuzz: %s\n  formula: %s\n  %s\n", what, text.toUtf8().constData(),
                 detail.toUtf8().constData());
    std::abort();
}

QString decode(const uint8_t *data, size_t size)
{
    QString s;
    s.reserve(qsizetype(size));
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b >= 0xC0)
            s.append(QChar(char16_t(0x0410 + (b - 0xC0))));  // А-я
        else if (b == 0xA8)
            s.append(QChar(char16_t(0x0401)));  // Ё
        else if (b == 0xB8)
            s.append(QChar(char16_t(0x0451)));  // ё
        else
            s.append(QChar(char16_t(b)));
    }
    return s;
}

struct Outcome {
    bool ok = false;
    double value = 0;
    TFoCalFault fault = TFoCalFault::EmptyExpression;
};

template <typename F>
Outcome outcome(F evaluate, const QString &text)
{
    Outcome o;
    try {
        o.value = evaluate();
        o.ok = true;
        if (!std::isfinite(o.value))
            fail("a value that is not finite", text);
    } catch (const EFoCalError &e) {
        o.fault = e.fault();
        bool known = false;
        for (const char *m : kMessages)
            known = known || std::strcmp(m, e.what()) == 0;
        if (!known)
            fail("a message of no calculator error", text, e.message());
    }
    return o;
}

void compare(TxFoCal &cached, TxFoCal &fresh, const QString &text, const char *when)
{
    const Outcome a = outcome([&] { return cached.Evaluate(text); }, text);
    const Outcome b = outcome([&] { return fresh.EvaluateLeftToRight(text); }, text);
    const bool same = a.ok == b.ok
                      && (a.ok ? std::memcmp(&a.value, &b.value, sizeof(double)) == 0 : a.fault == b.fault);
    if (!same)
        fail("the compiled form and the left-to-right scan disagree", text,
             QStringLiteral("%1: compiled %2 / %3, left to right %4 / %5")
                 .arg(QLatin1String(when))
                 .arg(a.ok ? shortestDecimalText(a.value) : QString::fromLatin1(EFoCalError::messageOf(a.fault)))
                 .arg(int(a.fault))
                 .arg(b.ok ? shortestDecimalText(b.value) : QString::fromLatin1(EFoCalError::messageOf(b.fault)))
                 .arg(int(b.fault)));
}

double twice(double x)
{
    return 2 * x;
}

double infinite(double)
{
    return HUGE_VAL;
}

void setUp(TxFoCal &c, uint8_t flags)
{
    c.SetVariable(QStringLiteral("A"), 2.5);
    c.SetVariable(QStringLiteral("Цена"), 100);
    c.SetVariable(QStringLiteral("x"), -3);
    c.SetVariable(QStringLiteral("Big"), 1e300);
    c.SetVariable(QStringLiteral("Tiny"), 1e-300);
    c.SetVariable(QStringLiteral("Zero"), 0);
    if (flags & 1)
        c.SetStrictVars(false);
    if (flags & 2) {
        c.AddFunction(QStringLiteral("Twice"), twice);
        c.AddFunction(QStringLiteral("INF"), infinite);
    }
    if (flags & 4) {
        c.SetOnFunction([](const QString &name, double &v) {
            if (name == QLatin1String("F")) {
                v *= 3;
                return true;
            }
            if (name == QLatin1String("NANF")) {
                v = std::nan("");
                return true;
            }
            return false;
        });
    }
    if (flags & 8)
        c.ClearVariables();
    if (flags & 16)
        c.SetVariable(QStringLiteral("sin"), 0.5);
    if (flags & 32)
        c.SetVariable(QStringLiteral("N"), std::nan(""));
}

// The second round: values change, a name comes and one goes.
void change(TxFoCal &c, uint8_t flags)
{
    c.SetVariable(QStringLiteral("a"), -0.0);
    c.SetVariable(QStringLiteral("B"), 7);
    if (flags & 64)
        c.SetVariables({QStringLiteral("X=1"), QStringLiteral("ROUND=2"), QStringLiteral("E=-1")});
    if (flags & 128)
        c.SetStrictVars(!c.StrictVars());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    const QString text = decode(data + 1, size - 1);

    TxFoCal cached;
    TxFoCal fresh;
    setUp(cached, flags);
    setUp(fresh, flags);
    compare(cached, fresh, text, "first");
    compare(cached, fresh, text, "again");
    change(cached, flags);
    change(fresh, flags);
    compare(cached, fresh, text, "changed");

    // Assigning the expression swallows every error.
    cached.SetExpression(text);
    if (!std::isfinite(cached.Value()))
        fail("Value is not finite", text);
    const QString e = cached.Expression();
    if (e != text && e != QLatin1String("Error") && !(text.isEmpty() && e == QLatin1String("0")))
        fail("Expression is neither the text nor Error", text, e);
    return 0;
}
