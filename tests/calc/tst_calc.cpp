#include "common/testMain.h"

#include "calc/xCalc.h"

#include <QLocale>
#include <QProcess>
#include <QTest>
#include <cmath>
#include <random>

using namespace korvex::calc;

namespace {

// A value or an error as text, exact to the last bit ("-0" differs from "0").
QString outcome(const std::function<double()> &evaluate)
{
    try {
        const double v = evaluate();
        if (!std::isfinite(v))
            return QStringLiteral("non-finite value!");
        return shortestDecimalText(v);
    } catch (const EFoCalError &e) {
        return QStringLiteral("error %1 (%2)").arg(e.message()).arg(int(e.fault()));
    }
}

QString compiled(TxFoCal &c, const QString &text)
{
    return outcome([&] { return c.Evaluate(text); });
}

QString leftToRight(TxFoCal &c, const QString &text)
{
    return outcome([&] { return c.EvaluateLeftToRight(text); });
}

QString errorText(const char *message)
{
    return QStringLiteral("error %1").arg(QLatin1String(message));
}

// Drops the fault number so that rows can name the message alone.
QString withoutFault(const QString &o)
{
    return o.startsWith(QLatin1String("error ")) ? o.left(o.lastIndexOf(QLatin1String(" ("))) : o;
}

struct LocaleGuard {
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

// ---------------------------------------------------------------------------
class FoCalTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void evaluate_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("expected");  // shortest decimal text, or "error <message>"
        const auto value = [](const char *expr, double v) {
            QTest::newRow(expr) << QString::fromUtf8(expr) << shortestDecimalText(v);
        };
        const auto error = [](const char *expr, const char *message) {
            QTest::newRow(expr) << QString::fromUtf8(expr) << errorText(message);
        };
        // Precedence, associativity, signs.
        value("10-2*3+4", 8);
        value("2^3^2", 64);
        value("8/4/2", 1);
        value("3-2-1", 0);
        value("-2*3", -6);
        value("-(2)*3", -6);
        value("+++5", 5);
        error("2*-3", "Error in expression");
        value("2*(-3)", -6);
        error("-2^2", "Invalid floating point operation");
        value("5%200", 10);
        value("2^3%50", std::pow(2, 1.5));  // % binds tighter than ^
        // DIV and MOD: three letters only, truncation toward zero.
        value("7MOD3", 1);
        value("-7MOD3", -1);
        value("7DIV2", 3);
        value("-7DIV2", -3);
        value("10 div 3", 3);
        value("(10)MOD(4)", 2);
        value("-7.5MOD2", -1.5);
        value("8MODPI", 8 - 2 * M_PI);
        error("A MOD 3", "Unknown identifier");
        // Numbers.
        value("1 000", 1000);
        value("1,5", 1.5);
        value("1.5", 1.5);
        value(".5", 0.5);
        value("1E+3", 1000);
        value("1e-2", 0.01);
        error("1E3", "Unknown identifier");
        error("2E", "Invalid expression");
        error("1E+", "Invalid number format");
        error("1.2.3", "Invalid number format");
        error("1,2.3", "Invalid number format");
        error(".", "Invalid number format");
        error("1E+400", "Floating point overflow");
        value("1E-400", 0);
        // Comparisons.
        value("(1<2)+(2<=2)+(3=3)", 3);
        value("(1>2)+(2>=3)+(0.1+0.2=0.3)", 0);
        error("1<>2", "Error in expression");
        // Structure.
        value("2 3", 23);
        error("( )", "Empty expression");
        error("", "Empty expression");
        error("+", "Empty expression");
        error("-", "Error in expression");
        error("2+", "Error in expression");
        error("*2", "Error in expression");
        error("2(3)", "Invalid expression");
        error("2(3)+", "Invalid expression");   // the stray operator does not hide the missing one
        error("*2(3)", "Invalid expression");
        error("SIN+1", "Opening parenthesis expected");
        error("((1)", "Closing parenthesis mismatch");
        error("2*(3", "Closing parenthesis mismatch");
        error("1)", "Invalid identifier");
        error("2!", "Invalid identifier");
        QTest::newRow("line break") << QStringLiteral("1\n+2") << errorText("Invalid identifier");
        error("ё", "Invalid identifier");
        error("UNKNOWN", "Unknown identifier");
        error("$", "Unknown identifier");
        error("FOO(1)", "Unknown function name");
        error("FOO((", "Unknown function name");   // the argument is never looked at
        error("SIN((", "Closing parenthesis mismatch");
        // The first error wins.
        error("1/0+(2", "Division by zero");
        error("(2+1/0", "Closing parenthesis mismatch");
        error("1/0+UNKNOWN", "Division by zero");
        error("UNKNOWN+1/0", "Unknown identifier");
        error("LN(0)*(1E+3", "Floating point division by zero");
        // Arithmetic faults.
        error("7/0", "Division by zero");
        error("7DIV0", "Division by zero");
        error("7MOD0", "Division by zero");
        error("2^(-1)", "Invalid operation");
        error("0^2", "Floating point division by zero");
        value("4^0.5", 2);
        error("LN(0)", "Floating point division by zero");
        error("LN(-1)", "Invalid floating point operation");
        error("SQRT(-1)", "Invalid floating point operation");
        error("EXP(1000)", "Floating point overflow");
        error("1E+308*10", "Floating point overflow");
        error("1E+300^2", "Floating point overflow");
        error("1E+300/1E-300", "Floating point overflow");
        error("1E+300DIV1E-300", "Floating point overflow");
        // Functions.
        value("ROUND(2.5)", 2);
        value("ROUND(3.5)", 4);
        value("ROUND(-2.5)", -2);
        value("ROUND(2.4999999999999996)", 2);
        value("ROUND10(25)", 20);
        value("ROUND10(35)", 40);
        value("ROUND100(250)", 200);
        value("ROUND1000(1500)", 2000);
        error("ROUND(1E+19)", "Invalid floating point operation");
        value("FRAC(-2.75)", -0.75);
        value("INT(-2.75)", -2);
        value("ABS(-3)+SQR(3)+SQRT(16)", 16);
        value("SIN(0)+COS(0)+TAN(0)+ARCTAN(0)+EXP(0)+LN(1)", 2);
        value("pi", M_PI);
        value("E", std::exp(1.0));
        // Nesting and the 200-entry stacks.
        QTest::newRow("200 nested groups") << QString(200, QLatin1Char('(')) + QLatin1Char('1') + QString(200, QLatin1Char(')'))
                                           << QStringLiteral("1");
        QTest::newRow("201 nested groups") << QString(201, QLatin1Char('(')) + QLatin1Char('1') + QString(201, QLatin1Char(')'))
                                           << errorText("Stack overflow");
        QTest::newRow("200 values") << QStringLiteral("(1)").repeated(200) << errorText("Invalid expression");
        QTest::newRow("201 values") << QStringLiteral("(1)").repeated(201) << errorText("Stack overflow");
    }
    void evaluate()
    {
        QFETCH(QString, expression);
        QFETCH(QString, expected);
        TxFoCal c;
        QCOMPARE(withoutFault(compiled(c, expression)), expected);
        QCOMPARE(withoutFault(leftToRight(c, expression)), expected);
        QCOMPARE(withoutFault(compiled(c, expression)), expected);  // from the cache
    }

    void errorClasses()
    {
        TxFoCal c;
        QVERIFY_THROWS_EXCEPTION(ExCustomFoCalError, c.Evaluate(QStringLiteral("1/0")));
        QVERIFY_THROWS_EXCEPTION(EFoCalMathError, c.Evaluate(QStringLiteral("LN(0)")));
        QVERIFY_THROWS_EXCEPTION(EDoubleStackError, c.Evaluate(QStringLiteral("(1)").repeated(201)));
        QVERIFY_THROWS_EXCEPTION(EDoubleStackError, c.EvaluateLeftToRight(QStringLiteral("(1)").repeated(201)));
    }

    void expressionAndValue()
    {
        TxFoCal c;
        QCOMPARE(c.Expression(), QStringLiteral("0"));
        QCOMPARE(c.Value(), 0.0);
        c.SetExpression(QStringLiteral("2*3"));
        QCOMPARE(c.Value(), 6.0);
        QCOMPARE(c.Expression(), QStringLiteral("2*3"));
        c.SetExpression(QStringLiteral("1/0"));
        QCOMPARE(c.Value(), 0.0);
        QCOMPARE(c.Expression(), QStringLiteral("Error"));
        c.SetExpression(QStringLiteral(" "));
        QCOMPARE(c.Expression(), QStringLiteral("Error"));
        c.SetExpression(QString());
        QCOMPARE(c.Value(), 0.0);
        QCOMPARE(c.Expression(), QStringLiteral("0"));

        // Any error of a handler is swallowed too.
        c.SetOnFunction([](const QString &, double &) -> bool { throw std::runtime_error("handler"); });
        c.SetExpression(QStringLiteral("F(1)"));
        QCOMPARE(c.Expression(), QStringLiteral("Error"));

        c.SetValue(0.1);
        QCOMPARE(c.Value(), 0.1);
        QCOMPARE(c.Expression(), QStringLiteral("0.1"));
        c.SetValue(-2.5e20);
        QCOMPARE(c.Expression(), QStringLiteral("-2.5e+20"));
        QCOMPARE(c.Evaluate(c.Expression()), -2.5e20);  // the text reads back in the language
    }

    void variableNameIgnoresCaseAndKeepsSpelling()
    {
        TxFoCal c;
        c.SetVariable(QStringLiteral("Цена"), 5);
        QCOMPARE(c.Evaluate(QStringLiteral("ЦЕНА")), 5.0);
        QCOMPARE(c.Evaluate(QStringLiteral("цена*2")), 10.0);
        c.SetVariable(QStringLiteral("ЦЕНА"), 7);
        QCOMPARE(c.Evaluate(QStringLiteral("цЕнА")), 7.0);
        QCOMPARE(c.Variables(), QStringList({QStringLiteral("PI = 3.14159265358979E+000"),
                                             QStringLiteral("E = 2.71828182845905E+000"),
                                             QStringLiteral("Цена = 7.00000000000000E+000")}));
    }

    void clearVariablesRemovesConstants()
    {
        TxFoCal c;
        QCOMPARE(c.Evaluate(QStringLiteral("PI*2")), 2 * M_PI);
        c.ClearVariables();
        QCOMPARE(c.Variables(), QStringList());
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("PI*2"))), errorText("Unknown identifier"));
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("E"))), errorText("Unknown identifier"));
        c.SetVariable(QStringLiteral("pi"), 3);
        QCOMPARE(c.Evaluate(QStringLiteral("PI*2")), 6.0);
    }

    void laxNamesAndFunctionHandler()
    {
        TxFoCal c;
        c.SetStrictVars(false);
        QCOMPARE(c.Evaluate(QStringLiteral("UNKNOWN+2")), 2.0);
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("UNKNOWN(1)"))), errorText("Unknown function name"));

        QStringList asked;
        c.SetOnFunction([&](const QString &name, double &v) {
            asked << name;
            if (name == QLatin1String("DOUBLE")) {
                v *= 2;
                return true;
            }
            if (name == QLatin1String("BROKEN")) {
                v = std::nan("");
                return true;
            }
            return false;
        });
        QCOMPARE(c.Evaluate(QStringLiteral("double(20+1)")), 42.0);
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("UNKNOWN(1)"))), errorText("Unknown function name"));
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("BROKEN(1)"))), errorText("Invalid floating point operation"));
        QCOMPARE(asked, QStringList({QStringLiteral("DOUBLE"), QStringLiteral("UNKNOWN"), QStringLiteral("BROKEN")}));
        // With a handler the argument is evaluated, and its error comes first.
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("UNKNOWN(1/0)"))), errorText("Division by zero"));
    }

    void functions()
    {
        TxFoCal c;
        QCOMPARE(c.Functions(), QStringLiteral("SIN COS TAN ABS ARCTAN EXP FRAC INT LN SQR SQRT ROUND FRAC ROUND10 "
                                               "ROUND100 ROUND1000")
                                    .split(QLatin1Char(' ')));
        c.AddFunction(QStringLiteral("sin"), [](double) { return 99.0; });
        c.AddFunction(QStringLiteral("Twice"), [](double x) { return 2 * x; });
        c.AddFunction(QStringLiteral("Huge"), [](double) { return HUGE_VAL; });
        QCOMPARE(c.Evaluate(QStringLiteral("SIN(0)")), 0.0);  // the first record wins
        QCOMPARE(c.Evaluate(QStringLiteral("TWICE(2)")), 4.0);
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("HUGE(1)"))), errorText("Floating point overflow"));
        QCOMPARE(c.Functions().last(), QStringLiteral("Huge"));
        c.SetFunctions({});
        QCOMPARE(c.Functions().size(), 19);
        // A variable hides a function of the same name.
        c.SetVariable(QStringLiteral("Sin"), 2);
        QCOMPARE(c.Evaluate(QStringLiteral("SIN*3")), 6.0);
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("SIN(0)"))), errorText("Invalid expression"));
    }

    void nonFiniteVariable()
    {
        TxFoCal c;
        c.SetVariable(QStringLiteral("N"), std::nan(""));
        c.SetVariable(QStringLiteral("I"), -HUGE_VAL);
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("N*0"))), errorText("Invalid floating point operation"));
        QCOMPARE(withoutFault(compiled(c, QStringLiteral("1+I"))), errorText("Floating point overflow"));
    }

    void variablesListing_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("pi") << "C" << M_PI << "X = 3.14159265358979E+000";
        QTest::newRow("negative") << "C" << -1234.5 << "X = -1.23450000000000E+003";
        QTest::newRow("zero") << "C" << 0.0 << "X = 0.00000000000000E+000";
        QTest::newRow("tiny") << "C" << 1e-300 << "X = 1.00000000000000E-300";
        QTest::newRow("rounded to 15 digits") << "C" << 0.1 + 0.2 << "X = 3.00000000000000E-001";
        QTest::newRow("russian point") << "ru_RU" << 1.5 << "X = 1,50000000000000E+000";
    }
    void variablesListing()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, line);
        LocaleGuard guard{QLocale(locale)};
        TxFoCal c;
        c.ClearVariables();
        c.SetVariable(QStringLiteral("X"), value);
        QCOMPARE(c.Variables(), QStringList(line));
        // What the listing writes, the variable list reads back.
        TxFoCal back;
        back.SetVariables(c.Variables());
        QCOMPARE(back.Variables(), c.Variables());
    }

    void variablesWrite_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("listing");  // after the write
        QTest::addColumn<QString>("message");      // or the error
        QTest::newRow("names, blanks, skipped lines")
            << "C" << QStringList{"a = 1.5", "no sign here", "  b c\t=  -3e2 ", "Цена=2", "A=4"}
            << QStringList{"A = 4.00000000000000E+000", "BC = -3.00000000000000E+002", "ЦЕНА = 2.00000000000000E+000"}
            << "";
        QTest::newRow("empty list removes everything") << "C" << QStringList{} << QStringList{} << "";
        QTest::newRow("value cut at 255 characters")
            << "C" << QStringList{QStringLiteral("x=7") + QString(254, QLatin1Char(' ')) + QStringLiteral("9")}
            << QStringList{"X = 7.00000000000000E+000"} << "";
        QTest::newRow("russian comma") << "ru_RU" << QStringList{"x = 1,5"} << QStringList{"X = 1,50000000000000E+000"} << "";
        const QStringList untouched{"PI = 3.14159265358979E+000", "E = 2.71828182845905E+000"};
        QTest::newRow("comma in C locale") << "C" << QStringList{"a=1", "x = 1,5"} << untouched << "Invalid number format";
        QTest::newRow("point in russian locale") << "ru_RU" << QStringList{"x = 1.5"}
                                                 << QStringList{"PI = 3,14159265358979E+000", "E = 2,71828182845905E+000"}
                                                 << "Invalid number format";
        QTest::newRow("second equals sign") << "C" << QStringList{"x=1=2"} << untouched << "Invalid number format";
        QTest::newRow("empty value") << "C" << QStringList{"x ="} << untouched << "Invalid number format";
        QTest::newRow("infinity") << "C" << QStringList{"x = inf"} << untouched << "Invalid number format";
        QTest::newRow("overflow") << "C" << QStringList{"x = 1e999"} << untouched << "Invalid number format";
    }
    void variablesWrite()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, listing);
        QFETCH(QString, message);
        LocaleGuard guard{QLocale(locale)};
        TxFoCal c;
        QString raised;
        try {
            c.SetVariables(lines);
        } catch (const ExCustomFoCalError &e) {
            raised = e.message();
        }
        QCOMPARE(raised, message);
        QCOMPARE(c.Variables(), listing);  // a bad line loses nothing
    }

    void persistence()
    {
        TxFoCal saved;
        saved.SetVariable(QStringLiteral("Площадь"), 12.5);
        saved.SetStrictVars(false);
        saved.SetExpression(QStringLiteral("площадь*PI+UNKNOWN"));
        const QVariantMap state = saved.SaveState();

        TxFoCal loaded;
        loaded.ClearVariables();
        loaded.LoadState(state);
        QCOMPARE(loaded.Variables(), saved.Variables());
        QCOMPARE(loaded.Value(), 12.5 * M_PI);

        // An item that is no text ends the list.
        QVariantMap broken = state;
        broken.insert(QStringLiteral("_variables_"), QVariantList{QStringLiteral("A"), 1.0, 2.0, QStringLiteral("B"), 3.0});
        broken.insert(QStringLiteral("Expression"), QStringLiteral("A+B"));
        TxFoCal partial;
        partial.LoadState(broken);
        QCOMPARE(partial.Variables().size(), 3);  // PI, E, A
        QCOMPARE(partial.Value(), 1.0);           // B counts as 0: StrictVars false was loaded too

        TxFoCal empty;
        empty.ClearVariables();
        QVERIFY(!empty.SaveState().contains(QStringLiteral("_variables_")));
    }
};

// ---------------------------------------------------------------------------
class FoCalCacheTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // One formula evaluated again and again while the names around it change.
    void followsTheNamesAround()
    {
        TxFoCal c;
        const QString f = QStringLiteral("A*2+SIN(0)+B");
        const auto check = [&](const char *expected) {
            const QString fresh = leftToRight(c, f);
            QCOMPARE(compiled(c, f), fresh);
            QCOMPARE(withoutFault(fresh), QString::fromUtf8(expected));
        };
        check("error Unknown identifier");
        c.SetVariable(QStringLiteral("A"), 1);
        c.SetVariable(QStringLiteral("B"), 0.5);
        check("2.5");
        c.SetVariable(QStringLiteral("a"), 5);
        check("10.5");
        c.ClearVariables();
        check("error Unknown identifier");
        c.SetStrictVars(false);
        check("0");
        c.SetVariable(QStringLiteral("sin"), 3);
        check("error Invalid expression");
        c.SetStrictVars(true);
        c.SetVariable(QStringLiteral("b"), 1);
        check("error Unknown identifier");
        c.SetVariable(QStringLiteral("a"), 1);
        check("error Invalid expression");
        c.SetVariables({QStringLiteral("A=1"), QStringLiteral("B=2")});
        check("4");
    }

    // A formula is found by its text: the same characters at a new address
    // are the same formula, new characters at the same address a new one.
    void findsFormulasByText()
    {
        TxFoCal c;
        c.SetVariable(QStringLiteral("A"), 3);
        char16_t buffer[] = u"A+1";
        const QString raw = QString::fromRawData(reinterpret_cast<const QChar *>(buffer), 3);
        QCOMPARE(c.Evaluate(raw), 4.0);
        buffer[1] = u'*';  // same address and length, other text
        QCOMPARE(c.Evaluate(raw), 3.0);
        buffer[1] = u'-';
        QCOMPARE(c.Evaluate(raw), 2.0);

        // Equal texts at different addresses share one compiled form and
        // answer alike; a handle keeps a copy of its own text.
        QString first = QStringLiteral("A*10");
        QString second = QStringLiteral("A*") + QString::number(10);
        QVERIFY(first.constData() != second.constData());
        TFoCalFormulaHandle handle = c.FormulaHandle(first);
        QCOMPARE(c.Evaluate(first), 30.0);
        QCOMPARE(c.Evaluate(second), 30.0);
        first[2] = QLatin1Char('2');
        QCOMPARE(c.Evaluate(handle), 30.0);
        QCOMPARE(c.Evaluate(first), 60.0);
        QCOMPARE(handle.text(), QStringLiteral("A*10"));

        // A name given over a caller's buffer is kept as it was given.
        char16_t name[] = u"Цена";
        c.SetVariable(QString::fromRawData(reinterpret_cast<const QChar *>(name), 4), 7);
        name[0] = u'X';
        QVERIFY(c.Variables().join(QLatin1Char('|')).contains(QStringLiteral("Цена = ")));
        QCOMPARE(c.Evaluate(QStringLiteral("ЦЕНА")), 7.0);
    }

    // A handle set after the variables changed under it sets the variable
    // of its name, and no other.
    void setsByHandleSafely_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("variables cleared") << 0;
        QTest::newRow("variables replaced by lines") << 1;
        QTest::newRow("set by name in other letters") << 2;
        QTest::newRow("look-up tables rebuilt") << 3;
        QTest::newRow("handle of another calculator") << 4;
    }
    void setsByHandleSafely()
    {
        QFETCH(int, change);
        TxFoCal other;
        TxFoCal c;
        // Names met before the variables: numbered anew, the variables move.
        QCOMPARE(c.Evaluate(QStringLiteral("SIN(0)+COS(0)")), 1.0);
        c.SetVariable(QStringLiteral("Цена"), 1);
        c.SetVariable(QStringLiteral("X"), 2);
        TFoCalVariableHandle price = (change == 4 ? other : c).VariableHandle(QStringLiteral("Цена"));
        TFoCalVariableHandle count = c.VariableHandle(QStringLiteral("КОЛ"));
        c.SetVariable(price, 5);
        c.SetVariable(count, 7);
        TFoCalFormulaHandle total = c.FormulaHandle(QStringLiteral("ЦЕНА*100+КОЛ"));
        if (change != 4)
            QCOMPARE(c.Evaluate(total), 507.0);
        switch (change) {
        case 0: c.ClearVariables(); break;
        case 1: c.SetVariables({QStringLiteral("Y=9"), QStringLiteral("X=2")}); break;
        case 2: c.SetVariable(QStringLiteral("цена"), 6); break;
        case 3:
            // Endless distinct formulas drop the compiled forms and number
            // the names anew.
            for (int i = 0; i < 5000; ++i)
                c.Evaluate(QStringLiteral("X+%1").arg(i));
            break;
        default: break;
        }
        c.SetVariable(price, 11);
        c.SetVariable(count, 13);
        QCOMPARE(c.Evaluate(QStringLiteral("ЦЕНА")), 11.0);
        QCOMPARE(c.Evaluate(QStringLiteral("кол")), 13.0);
        QCOMPARE(c.Evaluate(QStringLiteral("ЦЕНА*100+КОЛ")), 1113.0);
        QCOMPARE(c.Evaluate(total), 1113.0);
        if (change != 0) {
            QCOMPARE(c.Evaluate(QStringLiteral("X")), 2.0);
        }
        // The variable keeps the spelling it was created with.
        const QStringList names = [&] {
            QStringList n;
            for (const QString &line : c.Variables())
                n << line.section(QLatin1String(" = "), 0, 0);
            return n;
        }();
        QCOMPARE(names.count(QStringLiteral("Цена")) + names.count(QStringLiteral("цена")), 1);
        QCOMPARE(names.count(QStringLiteral("КОЛ")), 1);
        // The handle's calculator is unchanged by its use elsewhere.
        if (change == 4)
            QVERIFY(other.Variables().isEmpty() || !other.Variables().join(QLatin1Char(' ')).contains(QStringLiteral("11")));
    }

    // The engine's way: names and texts resolved once, every variable set
    // and every formula evaluated by handle, the variables cleared between
    // rounds; it answers as setting by name and evaluating by text does.
    void handlesAgreeWithNames()
    {
        const QStringList formulas{QStringLiteral("ROUND(A*B*100)/100"), QStringLiteral("ROUND10(A)+ROUND1000(B*1000)"),
                                   QStringLiteral("(A>B)*A+(A<=B)*B"), QStringLiteral("A MOD 3+C"),
                                   QStringLiteral("ROUND100(A*B)-ROUND(-2.5)")};
        TxFoCal byHandle, byName;
        QList<TFoCalVariableHandle> variables;
        for (const char *n : {"A", "B", "C"})
            variables << byHandle.VariableHandle(QString::fromLatin1(n));
        QList<TFoCalFormulaHandle> compiledFormulas;
        for (const QString &f : formulas)
            compiledFormulas << byHandle.FormulaHandle(f);
        for (int round = 0; round < 200; ++round) {
            byHandle.ClearVariables();
            byName.ClearVariables();
            const double values[] = {round * 0.37 - 20, 12.5 - round * 0.05, double(round % 7)};
            for (int f = 0; f < formulas.size(); ++f) {
                // C only for the formulas that read it: the others see it unset.
                const int count = formulas.at(f).contains(QLatin1Char('C')) ? 3 : 2;
                for (int v = 0; v < count; ++v) {
                    byHandle.SetVariable(variables[v], values[v]);
                    byName.SetVariable(QString(QChar(u'A' + v)), values[v]);
                }
                const QString a = outcome([&] { return byHandle.Evaluate(compiledFormulas[f]); });
                const QString b = outcome([&] { return byName.Evaluate(formulas.at(f)); });
                QCOMPARE(a, b);
                QCOMPARE(a, leftToRight(byName, formulas.at(f)));
            }
        }
    }

    // Random formulas, valid and broken, under changing variable sets: the
    // compiled form answers exactly as a fresh left-to-right scan.
    void agreesWithLeftToRight()
    {
        std::mt19937 rng(20240601);
        const auto pick = [&](const QStringList &list) { return list.at(int(rng() % unsigned(list.size()))); };
        const QStringList numbers{"0", "1", "2", "3", "10", "2.5", "1,5", ".5", "0.1", "1E+3", "1E-2", "1E+300", "7"};
        const QStringList names{"A", "b", "Цена", "цена", "PI", "E", "X", "(A)", "(2)"};
        const QStringList functions{"SIN", "ROUND", "FRAC", "LN", "SQRT", "ROUND10", "INT", "ABS", "EXP", "F"};
        const QStringList operators{"+", "-", "*", "/", "%", "^", "<", "<=", "=", ">=", ">", "DIV", "MOD"};
        const QStringList noise{" ", "\t", "!", "ё", ")", "(", "--", ",", "E+", "<>", "1E+", "1.2.3", "1E+400", "E3", "$",
                                "UNK", "_Q", "MODEL", "DIVA", "SIN"};

        // Mostly well-formed, with a slip now and then.
        std::function<QString(int)> expr = [&](int depth) -> QString {
            QString s;
            if (rng() % 6 == 0)
                s += QLatin1Char('-');
            const int terms = 1 + int(rng() % 4);
            for (int t = 0; t < terms; ++t) {
                if (t > 0)
                    s += pick(operators);
                const unsigned kind = rng() % 10;
                if (depth < 4 && kind < 2)
                    s += QLatin1Char('(') + expr(depth + 1) + QLatin1Char(')');
                else if (depth < 4 && kind < 4)
                    s += pick(functions) + QLatin1Char('(') + expr(depth + 1) + QLatin1Char(')');
                else if (kind < 7)
                    s += pick(numbers);
                else
                    s += pick(names);
                if (rng() % 25 == 0)
                    s += pick(noise);
            }
            return s;
        };
        // Token soup.
        const auto soup = [&] {
            QString s;
            const int n = 1 + int(rng() % 12);
            for (int k = 0; k < n; ++k) {
                switch (rng() % 5) {
                case 0: s += pick(numbers); break;
                case 1: s += pick(names); break;
                case 2: s += pick(functions); break;
                case 3: s += pick(operators); break;
                default: s += pick(noise); break;
                }
            }
            return s;
        };

        // The variable sets the formulas meet in turn; the cache lives on.
        const auto setUp = [&](TxFoCal &c, int state) {
            switch (state) {
            case 0:
                c.SetVariables({"A=2", "B=0.5", "ЦЕНА=100", "X=-3"});
                c.SetStrictVars(true);
                break;
            case 1:
                c.SetVariable(QStringLiteral("a"), 0);
                c.SetVariable(QStringLiteral("unk"), 1e300);
                c.SetVariable(QStringLiteral("Sin"), 0.25);
                break;
            case 2:
                c.ClearVariables();
                c.SetStrictVars(false);
                break;
            default:
                c.SetVariable(QStringLiteral("F"), 4);
                c.SetVariable(QStringLiteral("e3"), -1);
                c.SetVariable(QStringLiteral("Q"), 5);
                break;
            }
        };

        TxFoCal cached;
        TxFoCal fresh;
        int errors = 0, values = 0;
        for (int round = 0; round < 4000; ++round) {
            const QString text = round % 3 == 0 ? soup() : expr(0);
            for (int state = 0; state < 4; ++state) {
                setUp(cached, state);
                setUp(fresh, state);
                const QString a = compiled(cached, text);
                const QString b = leftToRight(fresh, text);
                if (a != b)
                    QFAIL(qPrintable(QStringLiteral("%1 in state %2: compiled %3, left to right %4")
                                         .arg(text).arg(state).arg(a, b)));
                (a.startsWith(QLatin1String("error")) ? errors : values)++;
            }
        }
        // Both kinds of outcome were exercised in earnest.
        QVERIFY2(values > 3000 && errors > 3000, qPrintable(QStringLiteral("%1 values, %2 errors").arg(values).arg(errors)));
    }
};

// ---------------------------------------------------------------------------
class CalcCliTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void calc_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("value") << QStringList{"2*3"} << "6\n" << "" << 0;
        QTest::newRow("shortest round trip") << QStringList{"0.1+0.2"} << "0.30000000000000004\n" << "" << 0;
        QTest::newRow("exponent") << QStringList{"1E+20*10"} << "1e+21\n" << "" << 0;
        QTest::newRow("variables and --") << QStringList{"--var", "Цена=2.5", "--var", "k=0,5", "--", "-цена*K"}
                                          << "-1.25\n" << "" << 0;
        QTest::newRow("later --var replaces") << QStringList{"--var", "x=1", "--var", "X=2", "x"} << "2\n" << "" << 0;
        QTest::newRow("strict") << QStringList{"UNK+1"} << "" << "Unknown identifier\n" << 1;
        QTest::newRow("lax") << QStringList{"--lax", "UNK+1"} << "1\n" << "" << 0;
        QTest::newRow("division by zero") << QStringList{"1/0"} << "" << "Division by zero\n" << 1;
        QTest::newRow("overflow") << QStringList{"EXP(1000)"} << "" << "Floating point overflow\n" << 1;
        QTest::newRow("bad variable") << QStringList{"--var", "x=abc", "x"} << ""
                                      << "Option --var needs NAME=NUMBER, not 'x=abc'.\n" << 1;
    }
    void calc()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, exitCode);
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI), QStringList{QStringLiteral("calc")} + args);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()), err);
        QCOMPARE(p.exitCode(), exitCode);
    }
};

#include "tst_calc.moc"

KORVEX_TEST_CLASS(FoCalTest)
KORVEX_TEST_CLASS(FoCalCacheTest)
KORVEX_TEST_CLASS(CalcCliTest)
