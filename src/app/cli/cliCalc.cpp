// korvex-rent-cli calc: evaluates a formula the way the reckoning engine does.

#include "cliCommon.h"

#include "amount/xAmount.h"
#include "calc/xCalc.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] = "Usage: korvex-rent-cli calc [--var NAME=VALUE]... [--lax] [--] EXPRESSION";

[[noreturn]] void badVariable(const QString &option)
{
    throw std::invalid_argument(QStringLiteral("Option --var needs NAME=NUMBER, not '%1'.").arg(option).toStdString());
}

// A script should not depend on the locale: '.' and ',' are both the decimal
// point, as they are inside formulas.
double parseVariableValue(const QString &text, const QString &option)
{
    const std::optional<double> v = korvex::amount::parseNumber(text);
    if (!v)
        badVariable(option);
    return *v;
}

int calcRun(const QStringList &args)
{
    const Args a = parseArgs(args, {QStringLiteral("var")}, {QStringLiteral("lax")});
    if (a.positional.size() != 1)
        throw std::invalid_argument(kUsage);

    calc::TxFoCal calculator;
    for (const QString &option : a.values(QStringLiteral("var"))) {
        const qsizetype eq = option.indexOf(QLatin1Char('='));
        if (eq < 0)
            badVariable(option);
        calculator.SetVariable(option.left(eq), parseVariableValue(option.mid(eq + 1), option));
    }
    if (a.has(QStringLiteral("lax")))
        calculator.SetStrictVars(false);
    try {
        outLine(calc::shortestDecimalText(calculator.Evaluate(a.positional.first())));
    } catch (const calc::EFoCalError &e) {
        err(e.message());
        return 1;
    }
    return 0;
}

} // namespace

Command calcCommand()
{
    return {QStringLiteral("calc"),
            QStringLiteral("  calc [--var NAME=VALUE]... [--lax] [--] EXPRESSION\n"
                           "                            evaluate a formula with the variables given\n"
                           "                            (--lax: an unknown name counts as 0)"),
            calcRun};
}

} // namespace korvex::cli
