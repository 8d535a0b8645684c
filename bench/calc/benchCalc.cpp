// The calculator as the reckoning engine uses it, against muparser.
//
// The engine prices position after position with one calculator: for every
// position it clears the variables, and for every step sets each variable
// the step's formula reads (built-in values, user variables, earlier steps)
// and evaluates the formula. This runs exactly that pattern: one calculator,
// ten reckoning-style formulas, and for each of 10^5 "positions" all
// variables cleared, then for each formula all its variables set to new
// values and the formula evaluated.
//
// Figures, all measured in this run:
//   muparser   the reference: one parser per formula with its variables
//              bound by address, so setting a variable is storing a double;
//   handles    ours as the engine does it: variable names and formula texts
//              resolved once, set and evaluated by handle (goal: at most
//              1.0 times muparser);
//   by name    ours with every variable set by its name and every formula
//              found by its text, as occasional callers do (for information).
//
// Usage: bench_calc [POSITIONS]   (default 100000)

#include "calc/xCalc.h"

#include <muParser.h>

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using korvex::calc::TFoCalFormulaHandle;
using korvex::calc::TFoCalVariableHandle;
using korvex::calc::TxFoCal;

namespace {

struct Formula {
    const char *text;                    // in our language; spaces are dropped by it
    std::vector<const char *> variables; // every variable it reads
};

// Latin names; products of prices, coefficients, comparisons in parentheses,
// ROUND and MOD. Written so that both languages read them the same way.
const Formula kFormulas[] = {
    {"PRICE*AREA*(1+VAT/100)", {"PRICE", "AREA", "VAT"}},
    {"ROUND(PRICE*AREA*RATE*100)/100", {"PRICE", "AREA", "RATE"}},
    {"(AREA>100)*PRICE*0.9+(AREA<=100)*PRICE", {"AREA", "PRICE"}},
    {"BASE+(MONTH) MOD 3*QFEE+(MONTH>6)*BASE", {"BASE", "MONTH", "QFEE"}},
    {"ROUND(AREA*PRICE/12)*KOEF+DEBT*0.01", {"AREA", "PRICE", "KOEF", "DEBT"}},
    {"(DAYS>=30)*PRICE+(DAYS<30)*PRICE*DAYS/30", {"DAYS", "PRICE"}},
    {"PRICE*(1+INDEX/100)^YEARS", {"PRICE", "INDEX", "YEARS"}},
    {"ROUND(SUMMA*RATE*100)/100-ROUND(SUMMA*RATE/1.2*100)/100", {"SUMMA", "RATE"}},
    {"(AREA*PRICE-DISCOUNT)*(AREA*PRICE>DISCOUNT)", {"AREA", "PRICE", "DISCOUNT"}},
    {"ABS(DEBT)*PENALTY/100*DAYS+FEE*(DAYS>0)", {"DEBT", "PENALTY", "DAYS", "FEE"}},
};

const std::map<std::string, double> kBaseValues = {
    {"PRICE", 812.5}, {"AREA", 64.3},   {"VAT", 20},         {"RATE", 92.17},     {"BASE", 1500},
    {"MONTH", 7},     {"QFEE", 240},    {"KOEF", 1.15},      {"DEBT", -1250.4},   {"DAYS", 17},
    {"INDEX", 4.5},   {"YEARS", 3},     {"SUMMA", 48210.75}, {"DISCOUNT", 30000}, {"PENALTY", 0.1},
    {"FEE", 350},
};

// The value of a variable at position i: new for every position, and for
// MONTH, DAYS and YEARS whole numbers as they are in real formulas.
double valueAt(long i, int variable, double base)
{
    const double step = double((i + 7 * variable) % 997);
    if (base == std::floor(base) && base < 100)
        return base + double((i + variable) % 12);
    return base * (0.5 + step / 997.0);
}

// The same rounding and remainder as the calculator's, for muparser.
double roundToEven64(double x)
{
    return double(std::int64_t(std::nearbyint(x + 1e-26)));
}
double remainderOf(double l, double r)
{
    return l - r * std::trunc(l / r);
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// One formula's variables as positions in the variable table.
struct Bound {
    std::vector<int> variables;
};

} // namespace

int main(int argc, char **argv)
{
    const long n = argc > 1 ? std::atol(argv[1]) : 100000;
    if (n <= 0) {
        std::fprintf(stderr, "Usage: bench_calc [POSITIONS]\n");
        return 2;
    }

    // The variable table, shared by all three.
    std::vector<std::string> names;
    std::vector<double> bases;
    for (const auto &[name, v] : kBaseValues) {
        names.push_back(name);
        bases.push_back(v);
    }
    std::vector<Bound> bound;
    for (const Formula &f : kFormulas) {
        Bound b;
        for (const char *v : f.variables)
            b.variables.push_back(int(std::find(names.begin(), names.end(), std::string(v)) - names.begin()));
        bound.push_back(b);
    }
    const size_t formulaCount = std::size(kFormulas);
    // The values, worked out beforehand so that no pattern pays for them.
    constexpr long kValueRows = 1024;
    std::vector<std::vector<double>> table(kValueRows, std::vector<double>(names.size()));
    for (long i = 0; i < kValueRows; ++i)
        for (size_t v = 0; v < names.size(); ++v)
            table[size_t(i)][v] = valueAt(i, int(v), bases[v]);
    auto value = [&table](long i, int v) { return table[size_t(i & (kValueRows - 1))][size_t(v)]; };

    // muparser: one parser per formula over one array of doubles.
    std::vector<double> muValues(bases);
    std::vector<mu::Parser> parsers(formulaCount);
    for (size_t k = 0; k < formulaCount; ++k) {
        mu::Parser &p = parsers[k];
        for (size_t v = 0; v < names.size(); ++v)
            p.DefineVar(names[v], &muValues[v]);
        p.DefineFun("ROUND", roundToEven64);
        p.DefineFun("ABS", static_cast<double (*)(double)>(std::fabs));
        p.DefineOprt("MOD", remainderOf, mu::prMUL_DIV, mu::oaLEFT);
        p.SetExpr(kFormulas[k].text);
    }
    auto muPosition = [&](long i) {
        double sum = 0;
        for (size_t k = 0; k < formulaCount; ++k) {
            for (const int v : bound[k].variables)
                muValues[size_t(v)] = value(i, v);
            sum += parsers[k].Eval();
        }
        return sum;
    };

    // Ours by handle, as the engine works.
    TxFoCal calc;
    std::vector<TFoCalVariableHandle> variables;
    for (const std::string &name : names)
        variables.push_back(calc.VariableHandle(QString::fromStdString(name)));
    std::vector<TFoCalFormulaHandle> formulas;
    for (const Formula &f : kFormulas)
        formulas.push_back(calc.FormulaHandle(QString::fromLatin1(f.text)));
    auto handlePosition = [&](long i) {
        double sum = 0;
        calc.ClearVariables();
        for (size_t k = 0; k < formulaCount; ++k) {
            for (const int v : bound[k].variables)
                calc.SetVariable(variables[size_t(v)], value(i, v));
            sum += calc.Evaluate(formulas[k]);
        }
        return sum;
    };

    // Ours by name and text.
    TxFoCal named;
    QStringList nameTexts;
    for (const std::string &name : names)
        nameTexts << QString::fromStdString(name);
    QStringList formulaTexts;
    for (const Formula &f : kFormulas)
        formulaTexts << QString::fromLatin1(f.text);
    auto namePosition = [&](long i) {
        double sum = 0;
        named.ClearVariables();
        for (size_t k = 0; k < formulaCount; ++k) {
            for (const int v : bound[k].variables)
                named.SetVariable(nameTexts.at(v), value(i, v));
            sum += named.Evaluate(formulaTexts.at(qsizetype(k)));
        }
        return sum;
    };

    // All three must agree before any is timed.
    int mismatches = 0;
    for (long i = 0; i < 2000; ++i) {
        const double a = handlePosition(i), b = namePosition(i), c = muPosition(i);
        if (std::fabs(a - c) > 1e-9 * std::max(1.0, std::fabs(c)) || std::fabs(b - c) > 1e-9 * std::max(1.0, std::fabs(c)))
            ++mismatches;
    }

    // The three run in short alternating rounds, and each figure is the
    // median over the rounds, so that a machine shared with other work
    // slows all alike and a disturbed round does not count.
    constexpr long kRounds = 200;
    std::vector<double> mus, handles, byNames, handleRatios, nameRatios;
    double checksum = 0;  // keeps the work from being dropped
    for (long round = 0; round < kRounds; ++round) {
        const long from = n * round / kRounds;
        const long to = n * (round + 1) / kRounds;
        auto start = std::chrono::steady_clock::now();
        for (long i = from; i < to; ++i)
            checksum += muPosition(i);
        const double mu = seconds(std::chrono::steady_clock::now() - start);

        start = std::chrono::steady_clock::now();
        for (long i = from; i < to; ++i)
            checksum -= handlePosition(i);
        const double byHandle = seconds(std::chrono::steady_clock::now() - start);

        start = std::chrono::steady_clock::now();
        for (long i = from; i < to; ++i)
            checksum += namePosition(i);
        const double byName = seconds(std::chrono::steady_clock::now() - start);

        const double per = 1e9 / double(to - from);
        mus.push_back(mu * per);
        handles.push_back(byHandle * per);
        byNames.push_back(byName * per);
        handleRatios.push_back(byHandle / mu);
        nameRatios.push_back(byName / mu);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };

    std::printf("positions: %ld, formulas per position: %zu, variables set per position: %zu\n", n, formulaCount,
                [&] { size_t c = 0; for (const Bound &b : bound) c += b.variables.size(); return c; }());
    std::printf("muparser (reference):   %8.1f ns per position\n", median(mus));
    std::printf("ours, by handle:        %8.1f ns per position  ratio %.2f (goal <= 1.00)\n", median(handles),
                median(handleRatios));
    std::printf("ours, by name and text: %8.1f ns per position  ratio %.2f\n", median(byNames), median(nameRatios));
    std::printf("results differ in %d of 2000 positions; checksum %.6g\n", mismatches, checksum);
    return mismatches == 0 ? 0 : 1;
}
