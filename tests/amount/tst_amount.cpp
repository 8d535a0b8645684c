#include "common/testMain.h"

#include "amount/xAmount.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <optional>

using namespace korvex::amount;

Q_DECLARE_METATYPE(std::optional<double>)

class AmountTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every field, grid cell and stored option reads a number this way.
    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("expected");
        const std::optional<double> none;
        QTest::newRow("comma") << "12,5" << std::optional(12.5);
        QTest::newRow("point") << "12.5" << std::optional(12.5);
        QTest::newRow("groups by spaces") << "1 234 567,89" << std::optional(1234567.89);
        QTest::newRow("no-break space") << QStringLiteral("1\u00A0234,5") << std::optional(1234.5);
        QTest::newRow("narrow no-break space") << QStringLiteral("1\u202F234,5") << std::optional(1234.5);
        QTest::newRow("blanks around") << "  7 \t" << std::optional(7.0);
        QTest::newRow("minus") << "-0,75" << std::optional(-0.75);
        QTest::newRow("minus sign") << QStringLiteral("\u22120,75") << std::optional(-0.75);
        QTest::newRow("plus") << "+3" << std::optional(3.0);
        QTest::newRow("leading separator") << ",5" << std::optional(0.5);
        QTest::newRow("exponent as stored") << "1e-05" << std::optional(0.00001);
        QTest::newRow("empty") << "" << none;
        QTest::newRow("blank") << "   " << none;
        QTest::newRow("letters") << "12a" << none;
        QTest::newRow("two separators") << "1,2,3" << none;
        QTest::newRow("mixed separators") << "1.234,5" << none;
        QTest::newRow("separator alone") << "," << none;
        QTest::newRow("double minus") << "--1" << none;
        QTest::newRow("infinity") << "inf" << none;
        QTest::newRow("not a number") << "nan" << none;
        QTest::newRow("beyond the doubles") << "1e400" << none;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, expected);
        const std::optional<double> got = korvex::amount::parseNumber(text);
        QCOMPARE(got.has_value(), expected.has_value());
        if (expected)
            QCOMPARE(*got, *expected);
    }

    // Amounts are the same when they show the same kopecks; sums of doubles
    // that stand for whole kopecks compare equal.
    void sameAmount_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << 0.3 << true;
        QTest::newRow("lines and total") << 33.37 + 33.37 + 33.36 << 100.10 << true;
        QTest::newRow("one kopeck apart") << 10.00 << 10.01 << false;
        QTest::newRow("half kopeck written two ways") << 0.285 << 0.28 + 0.005 << true;
        QTest::newRow("half kopeck rounds away") << 0.005 << 0.0 << false;
        QTest::newRow("below half a kopeck") << 10.004 << 10.0 << true;
        QTest::newRow("sign of nothing") << -0.004 << 0.004 << true;
        QTest::newRow("negative amounts") << -12.345 << -12.35 << true;
        QTest::newRow("large amounts") << 1e9 + 0.01 << 1e9 << false;
    }
    void sameAmount()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(bool, same);
        QCOMPARE(korvex::amount::sameAmount(a, b), same);
        QCOMPARE(korvex::amount::sameAmount(b, a), same);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");
        QTest::newRow("half to even down") << 2.5 << 2.0;
        QTest::newRow("half to even up") << 1.5 << 2.0;
        QTest::newRow("half to zero") << 0.5 << 0.0;
        QTest::newRow("negative half") << -1.5 << -2.0;
        QTest::newRow("not a half") << 2.4999 << 2.0;
    }
    void roundHalfEven()
    {
        QFETCH(double, x);
        QFETCH(double, expected);
        QCOMPARE(korvex::amount::roundHalfEven(x), expected);
    }

    // s x round(v / s + 0.000001); unchanged for s = 0 and |v / s| > 2e9.
    void roundToStep_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("expected");
        QTest::newRow("to tens") << 1234.5 << 10.0 << 1230.0;
        QTest::newRow("positive half goes up") << 125.0 << 10.0 << 130.0;
        QTest::newRow("negative half toward zero") << -125.0 << 10.0 << -120.0;
        QTest::newRow("to kopecks") << 0.125 << 0.01 << 0.13;
        QTest::newRow("whole units, half") << 2.5 << 1.0 << 3.0;
        QTest::newRow("halves") << 7.3 << 0.5 << 7.5;
        QTest::newRow("step 0") << 5.55 << 0.0 << 5.55;
        QTest::newRow("quotient at the limit") << 2e10 << 10.0 << 2e10;
        QTest::newRow("quotient beyond the limit") << 30000000001.0 << 10.0 << 30000000001.0;
        QTest::newRow("negative step") << 1234.0 << -100.0 << 1200.0;
        // A penalty: the small bias breaks a tie upward.
        QTest::newRow("penalty half to a unit") << 1234.5 << 1.0 << 1235.0;
        QTest::newRow("penalty to tens") << 1234.0 << 10.0 << 1230.0;
        QTest::newRow("penalty, step 0") << 1234.5 << 0.0 << 1234.5;
        QTest::newRow("penalty quotient beyond the limit") << 2000000000.5 << 0.5 << 2000000000.5;
    }
    void roundToStep()
    {
        QFETCH(double, value);
        QFETCH(double, step);
        QFETCH(double, expected);
        QCOMPARE(korvex::amount::roundToStep(value, step), expected);
    }

    // The display rule: every screen shows numbers these ways, with the
    // Russian separators, and what it shows reads back as the same value.
    void display_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("money: two decimals") << "money" << 90.0 << QStringLiteral("90,00");
        QTest::newRow("money: thousands grouped") << "money" << 1234567.8 << QStringLiteral("1\u00A0234\u00A0567,80");
        QTest::newRow("money: float noise dropped") << "money" << 0.1 + 0.2 << QStringLiteral("0,30");
        QTest::newRow("money: a tariff keeps its digits") << "money" << 0.0125 << QStringLiteral("0,0125");
        QTest::newRow("money: negative") << "money" << -1500.5 << QStringLiteral("-1\u00A0500,50");
        QTest::newRow("money: minus zero") << "money" << -0.0 << QStringLiteral("0,00");
        QTest::newRow("money field: all digits, not grouped") << "field" << 1234.125678 << QStringLiteral("1234,125678");
        QTest::newRow("money field: two decimals at least") << "field" << 90.0 << QStringLiteral("90,00");
        QTest::newRow("number field: not grouped") << "number" << 12345.5 << QStringLiteral("12345,5");
        QTest::newRow("number field: a reciprocal whole") << "number" << 1 / 3.265 << QStringLiteral("0,306278713629403");
        QTest::newRow("rate: the digits it has") << "rate" << 92.5 << QStringLiteral("92,5");
        QTest::newRow("rate: whole") << "rate" << 3.0 << QStringLiteral("3");
        QTest::newRow("rate: small") << "rate" << 0.0001 << QStringLiteral("0,0001");
        QTest::newRow("rate: noise dropped") << "rate" << 0.1 + 0.2 << QStringLiteral("0,3");
        QTest::newRow("rate: grouped") << "rate" << 12345.5 << QStringLiteral("12\u00A0345,5");
        QTest::newRow("reciprocal: six digits") << "significant" << 1 / 92.5 << QStringLiteral("0,0108108");
        QTest::newRow("reciprocal: whole part kept") << "significant" << 1234567.891 << QStringLiteral("1\u00A0234\u00A0568");
        QTest::newRow("reciprocal: short stays short") << "significant" << 0.25 << QStringLiteral("0,25");
    }
    void display()
    {
        QFETCH(QString, kind);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        const QString text = kind == QLatin1String("money")   ? formatMoney(value)
                           : kind == QLatin1String("field")   ? formatMoneyField(value)
                           : kind == QLatin1String("number")  ? formatNumberField(value)
                           : kind == QLatin1String("rate")    ? formatRate(value)
                                                               : formatSignificant(value);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, shown);
        // Read back: exactly for fields and rates, to what is shown otherwise.
        const std::optional<double> back = korvex::amount::parseNumber(text);
        QVERIFY(back);
        if (kind == QLatin1String("field") || kind == QLatin1String("number") || kind == QLatin1String("rate"))
            QVERIFY(std::fabs(*back - value) <= 1e-12 * std::fabs(value) + 1e-15);
    }
};
KORVEX_TEST_CLASS(AmountTest)

#include "tst_amount.moc"
