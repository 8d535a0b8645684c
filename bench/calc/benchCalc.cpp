// The reckoning engine evaluates the same few formulas for thousands of
// positions with new variable values each time. This measures exactly that:
// ten reckoning-style formulas, each evaluated 10^6 times with one variable
// changing every time, by TxFoCal and by muparser on the same values.
//
// Usage: bench_calc [EVALUATIONS]   (default 1000000 per formula)

#include "calc/xCalc.h"

#include <muParser.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using korvex::calc::TxFoCal;

namespace {

struct Formula {
    const char *text;      // in our language; spaces are dropped by it
    const char *changing;  // the variable that takes a new value every time
};

// Latin names; products of prices, coefficients, comparisons in parentheses,
// ROUND and MOD. Written so that both languages read them the same way.
const Formula kFormulas[] = {
    {"PRICE*AREA*(1+VAT/100)", "AREA"},
    {"ROUND(PRICE*AREA*RATE*100)/100", "PRICE"},
    {"(AREA>100)*PRICE*0.9+(AREA<=100)*PRICE", "AREA"},
    {"BASE+(MONTH) MOD 3*QFEE+(MONTH>6)*BASE", "MONTH"},
    {"ROUND(AREA*PRICE/12)*KOEF+DEBT*0.01", "AREA"},
    {"(DAYS>=30)*PRICE+(DAYS<30)*PRICE*DAYS/30", "DAYS"},
    {"PRICE*(1+INDEX/100)^YEARS", "PRICE"},
    {"ROUND(SUMMA*RATE*100)/100-ROUND(SUMMA*RATE/1.2*100)/100", "SUMMA"},
    {"(AREA*PRICE-DISCOUNT)*(AREA*PRICE>DISCOUNT)", "AREA"},
    {"ABS(DEBT)*PENALTY/100*DAYS+FEE*(DAYS>0)", "DEBT"},
};

const std::map<std::string, double> kStartValues = {
    {"PRICE", 812.5}, {"AREA", 64.3},   {"VAT", 20},      {"RATE", 92.17},   {"BASE", 1500},
    {"MONTH", 7},     {"QFEE", 240},    {"KOEF", 1.15},   {"DEBT", -1250.4}, {"DAYS", 17},
    {"INDEX", 4.5},   {"YEARS", 3},     {"SUMMA", 48210.75}, {"DISCOUNT", 30000}, {"PENALTY", 0.1},
    {"FEE", 350},
};

// The value of the changing variable at evaluation i: varies every time.
double valueAt(long i)
{
    return 1 + double(i % 997) * 0.37;
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

} // namespace

int main(int argc, char **argv)
{
    const long n = argc > 1 ? std::atol(argv[1]) : 1000000;
    if (n <= 0) {
        std::fprintf(stderr, "Usage: bench_calc [EVALUATIONS]\n");
        return 2;
    }

    double oursTotal = 0, muTotal = 0, checksum = 0;
    int mismatches = 0;
    std::printf("%-58s %10s %10s %7s\n", "formula", "ours ns", "muparser", "ratio");
    for (const Formula &f : kFormulas) {
        // Ours: the variables as the reckoning engine sets them.
        TxFoCal calc;
        for (const auto &[name, v] : kStartValues)
            calc.SetVariable(QString::fromLatin1(name.c_str()), v);
        const QString text = QString::fromLatin1(f.text);
        const QString changing = QString::fromLatin1(f.changing);

        // muparser: the same variables, bound by address.
        std::map<std::string, double> vars = kStartValues;
        mu::Parser parser;
        for (auto &[name, v] : vars)
            parser.DefineVar(name, &v);
        parser.DefineFun("ROUND", roundToEven64);
        parser.DefineFun("ABS", static_cast<double (*)(double)>(std::fabs));
        parser.DefineOprt("MOD", remainderOf, mu::prMUL_DIV, mu::oaLEFT);
        parser.SetExpr(f.text);
        double &muVar = vars.at(f.changing);

        // Both must agree before either is timed.
        for (long i = 0; i < 1000; ++i) {
            calc.SetVariable(changing, valueAt(i));
            muVar = valueAt(i);
            const double a = calc.Evaluate(text);
            const double b = parser.Eval();
            if (std::fabs(a - b) > 1e-9 * std::max(1.0, std::fabs(b)))
                ++mismatches;
        }

        // The two run in alternating rounds, so that a machine shared with
        // other work slows both alike.
        constexpr long kRounds = 20;
        double ours = 0, mu = 0, sum = 0, muSum = 0;
        for (long round = 0; round < kRounds; ++round) {
            const long from = n * round / kRounds;
            const long to = n * (round + 1) / kRounds;
            auto start = std::chrono::steady_clock::now();
            for (long i = from; i < to; ++i) {
                calc.SetVariable(changing, valueAt(i));
                sum += calc.Evaluate(text);
            }
            ours += seconds(std::chrono::steady_clock::now() - start);

            start = std::chrono::steady_clock::now();
            for (long i = from; i < to; ++i) {
                muVar = valueAt(i);
                muSum += parser.Eval();
            }
            mu += seconds(std::chrono::steady_clock::now() - start);
        }

        checksum += sum - muSum;
        oursTotal += ours;
        muTotal += mu;
        std::printf("%-58s %10.1f %10.1f %7.2f\n", f.text, ours / double(n) * 1e9, mu / double(n) * 1e9, ours / mu);
    }
    const double evaluations = double(n) * double(std::size(kFormulas));
    std::printf("%-58s %10.1f %10.1f %7.2f\n", "all ten", oursTotal / evaluations * 1e9, muTotal / evaluations * 1e9,
                oursTotal / muTotal);
    std::printf("ratio ours/muparser: %.2f (goal <= 1.00); results differ in %d of %zu checks; checksum %.6g\n",
                oursTotal / muTotal, mismatches, 1000 * std::size(kFormulas), checksum);
    return mismatches == 0 ? 0 : 1;
}
