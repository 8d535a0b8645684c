#include "common/testMain.h"

#include "documents/NumConv.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace korvex::documents;

namespace {

// The message of the converter's exception, or an empty text when none came.
template <typename F>
QString errorOf(F &&f)
{
    try {
        f();
    } catch (const ENumberConvertError &e) {
        return e.message();
    }
    return {};
}

QString russian(double value, TGender gender = TGender::gMale, int precision = 0)
{
    TNumberConvert c;
    c.setLanguage(TLanguage::lRussian);
    c.setGender(gender);
    c.setPrecision(precision);
    c.setValue(value);
    return c.numeral();
}

QString english(double value)
{
    TNumberConvert c;
    c.setUpperCase(false);
    c.setValue(value);
    return c.numeral();
}

} // namespace

// ---------------------------------------------------------------------------
class RussianWordsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void table_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("words");
        QTest::newRow("0") << 0.0 << "ноль";
        QTest::newRow("1") << 1.0 << "один";
        QTest::newRow("21") << 21.0 << "двадцать один";
        QTest::newRow("115") << 115.0 << "сто пятнадцать";
        QTest::newRow("1000") << 1000.0 << "одна тысяча";
        QTest::newRow("2000") << 2000.0 << "две тысячи";
        QTest::newRow("5000") << 5000.0 << "пять тысяч";
        QTest::newRow("11000") << 11000.0 << "одиннадцать тысяч";
        QTest::newRow("21000") << 21000.0 << "двадцать одна тысяча";
        QTest::newRow("1000000") << 1000000.0 << "один миллион";
        QTest::newRow("1234567") << 1234567.0
                                 << "один миллион двести тридцать четыре тысячи пятьсот шестьдесят семь";
        QTest::newRow("-5") << -5.0 << "минус пять";
        QTest::newRow("12.99 truncated") << 12.99 << "двенадцать";
        QTest::newRow("-12.99 truncated") << -12.99 << "минус двенадцать";
        QTest::newRow("-0.4 is zero, unsigned") << -0.4 << "ноль";
        QTest::newRow("hundreds") << 349.0 << "триста сорок девять";
        QTest::newRow("every hundred") << 987654.0 << "девятьсот восемьдесят семь тысяч шестьсот пятьдесят четыре";
        QTest::newRow("tens") << 50070.0 << "пятьдесят тысяч семьдесят";
        QTest::newRow("teens") << 13014.0 << "тринадцать тысяч четырнадцать";
        QTest::newRow("empty middle groups") << 2000000003.0 << "два миллиарда три";
        QTest::newRow("largest") << 999999999999999.0
                                 << "девятьсот девяносто девять триллионов девятьсот девяносто девять миллиардов "
                                    "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
                                    "девятьсот девяносто девять";
    }
    // Upper case is on by default and must leave Cyrillic alone.
    void table()
    {
        QFETCH(double, value);
        QFETCH(QString, words);
        QCOMPARE(russian(value), words);
    }

    void scaleForms_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("words");
        struct Count {
            int n;
            const char *male;
            const char *female;
            int form;
        };
        const Count counts[] = {
            {1, "один", "одна", 0},
            {2, "два", "две", 1},
            {5, "пять", "пять", 2},
            {11, "одиннадцать", "одиннадцать", 2},
            {12, "двенадцать", "двенадцать", 2},
            {21, "двадцать один", "двадцать одна", 0},
            {22, "двадцать два", "двадцать две", 1},
            {111, "сто одиннадцать", "сто одиннадцать", 2},
        };
        struct Scale {
            double size;
            bool female;
            const char *forms[3];
        };
        const Scale scales[] = {
            {1e3, true, {"тысяча", "тысячи", "тысяч"}},
            {1e6, false, {"миллион", "миллиона", "миллионов"}},
            {1e9, false, {"миллиард", "миллиарда", "миллиардов"}},
            {1e12, false, {"триллион", "триллиона", "триллионов"}},
        };
        for (const Scale &s : scales)
            for (const Count &c : counts)
                QTest::addRow("%d %s", c.n, s.forms[2])
                    << c.n * s.size
                    << QString::fromUtf8(s.female ? c.female : c.male) + u' ' + QString::fromUtf8(s.forms[c.form]);
    }
    // Written in the neuter so that a gender leaking out of the units group shows.
    void scaleForms()
    {
        QFETCH(double, value);
        QFETCH(QString, words);
        QCOMPARE(russian(value, TGender::gNeuter), words);
    }

    void genders_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<TGender>("gender");
        QTest::addColumn<QString>("words");
        QTest::newRow("1 m") << 1.0 << TGender::gMale << "один";
        QTest::newRow("1 f") << 1.0 << TGender::gFemale << "одна";
        QTest::newRow("1 n") << 1.0 << TGender::gNeuter << "одно";
        QTest::newRow("2 m") << 2.0 << TGender::gMale << "два";
        QTest::newRow("2 f") << 2.0 << TGender::gFemale << "две";
        QTest::newRow("2 n") << 2.0 << TGender::gNeuter << "два";
        QTest::newRow("3 f") << 3.0 << TGender::gFemale << "три";
        QTest::newRow("1001 m") << 1001.0 << TGender::gMale << "одна тысяча один";
        QTest::newRow("1001 n") << 1001.0 << TGender::gNeuter << "одна тысяча одно";
        QTest::newRow("2002 m") << 2002.0 << TGender::gMale << "две тысячи два";
        QTest::newRow("2002 f") << 2002.0 << TGender::gFemale << "две тысячи две";
        QTest::newRow("1000001 f") << 1000001.0 << TGender::gFemale << "один миллион одна";
        QTest::newRow("2000002 f") << 2000002.0 << TGender::gFemale << "два миллиона две";
        QTest::newRow("21 f") << 21.0 << TGender::gFemale << "двадцать одна";
        QTest::newRow("12 f, no gender in teens") << 12.0 << TGender::gFemale << "двенадцать";
        QTest::newRow("222 f") << 222.0 << TGender::gFemale << "двести двадцать две";
    }
    void genders()
    {
        QFETCH(double, value);
        QFETCH(TGender, gender);
        QFETCH(QString, words);
        QCOMPARE(russian(value, gender), words);
    }

    void precision_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<TGender>("gender");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("words");
        const TGender m = TGender::gMale;
        QTest::newRow("3.5") << 3.5 << m << 1 << "три целых пять десятых ";
        QTest::newRow("1.05") << 1.05 << m << 2 << "один целый пять сотых ";
        QTest::newRow("0.1") << 0.1 << m << 1 << "ноль целых одна десятая ";
        QTest::newRow("1.1") << 1.1 << m << 1 << "один целый одна десятая ";
        QTest::newRow("11.1") << 11.1 << m << 1 << "одиннадцать целых одна десятая ";
        QTest::newRow("0.01") << 0.01 << m << 2 << "ноль целых одна сотая ";
        QTest::newRow("0.11") << 0.11 << m << 2 << "ноль целых одиннадцать сотых ";
        QTest::newRow("0.001") << 0.001 << m << 3 << "ноль целых одна тысячная ";
        QTest::newRow("0.011") << 0.011 << m << 3 << "ноль целых одиннадцать тысячных ";
        QTest::newRow("2.21") << 2.21 << m << 2 << "два целых двадцать одна сотая ";
        QTest::newRow("5.022") << 5.022 << m << 3 << "пять целых двадцать две тысячных ";
        QTest::newRow("0.999") << 0.999 << m << 3 << "ноль целых девятьсот девяносто девять тысячных ";
        QTest::newRow("whole number, two blanks") << 7.0 << m << 2 << "семь  ";
        QTest::newRow("zero") << 0.0 << m << 1 << "ноль  ";
        QTest::newRow("1.999 carries") << 1.999 << m << 2 << "два  ";
        QTest::newRow("0.9996 carries") << 0.9996 << m << 3 << "один  ";
        QTest::newRow("999.96 carries") << 999.96 << TGender::gFemale << 1 << "одна тысяча  ";
        QTest::newRow("1.5 f") << 1.5 << TGender::gFemale << 1 << "одна целая пять десятых ";
        QTest::newRow("1.5 n") << 1.5 << TGender::gNeuter << 1 << "одно целое пять десятых ";
        QTest::newRow("2.5 f") << 2.5 << TGender::gFemale << 1 << "две целых пять десятых ";
        QTest::newRow("11.5") << 11.5 << m << 1 << "одиннадцать целых пять десятых ";
        QTest::newRow("21.5") << 21.5 << m << 1 << "двадцать один целый пять десятых ";
        QTest::newRow("1001.5") << 1001.5 << m << 1 << "одна тысяча один целый пять десятых ";
        QTest::newRow("1011.5") << 1011.5 << m << 1 << "одна тысяча одиннадцать целых пять десятых ";
        QTest::newRow("-3.5") << -3.5 << m << 1 << "минус три целых пять десятых ";
        QTest::newRow("-0.4") << -0.4 << m << 1 << "минус ноль целых четыре десятых ";
        QTest::newRow("-0.04 rounds to zero") << -0.04 << m << 1 << "ноль  ";
        QTest::newRow("half to even down") << 0.25 << m << 1 << "ноль целых две десятых ";
        QTest::newRow("half to even up") << 0.75 << m << 1 << "ноль целых восемь десятых ";
        QTest::newRow("kopecks") << 1234.56 << m << 2
                                 << "одна тысяча двести тридцать четыре целых пятьдесят шесть сотых ";
    }
    void precision()
    {
        QFETCH(double, value);
        QFETCH(TGender, gender);
        QFETCH(int, precision);
        QFETCH(QString, words);
        QCOMPARE(russian(value, gender, precision), words);
    }

    void beyondTablesRefused_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("precision");
        QTest::newRow("10^15") << 1e15 << 0;
        QTest::newRow("-10^15") << -1e15 << 0;
        QTest::newRow("10^18") << 1e18 << 2;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0;
    }
    void beyondTablesRefused()
    {
        QFETCH(double, value);
        QFETCH(int, precision);
        QCOMPARE(errorOf([&] { russian(value, TGender::gMale, precision); }),
                 QStringLiteral("Number is too large to write in words"));
    }

    void precisionAboveThreeRefused()
    {
        TNumberConvert c;
        c.setPrecision(2);
        QCOMPARE(errorOf([&] { c.setPrecision(4); }),
                 QStringLiteral("Поддерживается не более трех знаков после запятой!"));
        QCOMPARE(errorOf([&] { c.setPrecision(-1); }),
                 QStringLiteral("Поддерживается не более трех знаков после запятой!"));
        QCOMPARE(c.precision(), 2);
    }

    void readingRussianRefused()
    {
        TNumberConvert c;
        c.setLanguage(TLanguage::lRussian);
        c.setValue(7);
        QCOMPARE(errorOf([&] { c.setNumeral(QStringLiteral("семь")); }),
                 QStringLiteral("Sorry, this language isn't supported"));
        QCOMPARE(c.value(), 7.0);
    }
};

// ---------------------------------------------------------------------------
class EnglishWordsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void table_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("words");
        QTest::newRow("0") << 0.0 << "zero";
        QTest::newRow("115") << 115.0 << "one hundred and fifteen";
        QTest::newRow("250") << 250.0 << "two hundreds and fifty";
        QTest::newRow("2001") << 2001.0 << "two thousands one";
        QTest::newRow("21") << 21.0 << "twenty one";
        QTest::newRow("-3") << -3.0 << "minus three";
        QTest::newRow("10") << 10.0 << "ten";
        QTest::newRow("11") << 11.0 << "eleven";
        QTest::newRow("19") << 19.0 << "nineteen";
        QTest::newRow("40") << 40.0 << "forty";
        QTest::newRow("100") << 100.0 << "one hundred";
        QTest::newRow("1000") << 1000.0 << "one thousand";
        QTest::newRow("1000001") << 1000001.0 << "one million one";
        QTest::newRow("1001000") << 1001000.0 << "one million one thousand";
        QTest::newRow("200000") << 200000.0 << "two hundreds thousands";
        QTest::newRow("2000000000") << 2000000000.0 << "two milliards";
        QTest::newRow("largest") << 999999999999.0
                                 << "nine hundreds and ninety nine milliards nine hundreds and ninety nine millions "
                                    "nine hundreds and ninety nine thousands nine hundreds and ninety nine";
        QTest::newRow("12.5 to even") << 12.5 << "twelve";
        QTest::newRow("13.5 to even") << 13.5 << "fourteen";
        QTest::newRow("999.5 carries") << 999.5 << "one thousand";
        QTest::newRow("0.4") << 0.4 << "zero";
        QTest::newRow("-0.4, no sign") << -0.4 << "zero";
        QTest::newRow("-0.6") << -0.6 << "minus one";
    }
    void table()
    {
        QFETCH(double, value);
        QFETCH(QString, words);
        QCOMPARE(english(value), words);
    }

    void upperCaseByDefault()
    {
        TNumberConvert c;
        c.setValue(-115);
        QCOMPARE(c.numeral(), QStringLiteral("MINUS ONE HUNDRED AND FIFTEEN"));
    }

    void beyondTablesRefused_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("10^12") << 1e12;
        QTest::newRow("-10^12") << -1e12;
        QTest::newRow("rounds up to 10^12") << 999999999999.5;
        QTest::newRow("infinity") << -std::numeric_limits<double>::infinity();
    }
    void beyondTablesRefused()
    {
        QFETCH(double, value);
        QCOMPARE(errorOf([&] { english(value); }), QStringLiteral("Number is too large to write in words"));
    }

    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("zero") << "zero" << 0.0;
        QTest::newRow("115") << "one hundred and fifteen" << 115.0;
        QTest::newRow("250") << "two hundreds and fifty" << 250.0;
        QTest::newRow("2001") << "two thousands one" << 2001.0;
        QTest::newRow("21") << "twenty one" << 21.0;
        QTest::newRow("-3") << "minus three" << -3.0;
        QTest::newRow("capitals") << "ONE HUNDRED AND FIFTEEN" << 115.0;
        QTest::newRow("blanks and tabs") << "  two\t\tthousands   one " << 2001.0;
        QTest::newRow("plus") << "plus five" << 5.0;
        QTest::newRow("billion") << "one billion" << 1e9;
        QTest::newRow("billions") << "three billions five" << 3000000005.0;
        QTest::newRow("milliards") << "two milliards" << 2e9;
        QTest::newRow("null") << "null" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("hundred without and") << "one hundred five" << 105.0;
        QTest::newRow("twelve hundred") << "twelve hundred" << 1200.0;
        QTest::newRow("zero thousand") << "zero thousand" << 0.0;
        QTest::newRow("every scale") << "one milliard two millions three thousands four" << 1002003004.0;
        QTest::newRow("largest")
            << "nine hundreds and ninety nine milliards nine hundreds and ninety nine millions "
               "nine hundreds and ninety nine thousands nine hundreds and ninety nine"
            << 999999999999.0;
    }
    void read()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        TNumberConvert c;
        c.setValue(42);
        c.setNumeral(text);
        QCOMPARE(c.value(), value);
    }

    void readErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown word") << "five apples";
        QTest::newRow("two tens") << "twenty twenty";
        QTest::newRow("teen and unit") << "eleven one";
        QTest::newRow("ten and unit") << "ten one";
        QTest::newRow("two units") << "one two";
        QTest::newRow("dangling and") << "one hundred and";
        QTest::newRow("and without hundred") << "one and two";
        QTest::newRow("scale alone") << "thousand";
        QTest::newRow("hundred alone") << "hundred";
        QTest::newRow("scales out of order") << "one thousand one million";
        QTest::newRow("hyphen") << "twenty-one";
        QTest::newRow("digits") << "12";
    }
    void readErrors()
    {
        QFETCH(QString, text);
        TNumberConvert c;
        c.setValue(42);
        QCOMPARE(errorOf([&] { c.setNumeral(text); }), QStringLiteral("Invalid numeral"));
        QCOMPARE(c.value(), 42.0);
    }

    // Whatever the converter writes, it reads back (in its default capitals).
    void roundTrip()
    {
        TNumberConvert writer;
        TNumberConvert reader;
        QList<qint64> values;
        for (qint64 v = 0; v <= 2100; ++v)
            values << v;
        for (qint64 i = 1; i <= 2000; ++i)
            values << i * 982451653 % 1000000000000;
        for (const qint64 v : std::as_const(values)) {
            for (const double signedValue : {double(v), -double(v)}) {
                writer.setValue(signedValue);
                reader.setNumeral(writer.numeral());
                QCOMPARE(reader.value(), signedValue);
            }
        }
    }
};

// ---------------------------------------------------------------------------
class NumberConvertTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaults()
    {
        const TNumberConvert c;
        QCOMPARE(c.value(), 0.0);
        QCOMPARE(c.width(), 0);
        QCOMPARE(c.blankChar(), QLatin1Char(' '));
        QCOMPARE(c.upperCase(), true);
        QCOMPARE(c.language(), TLanguage::lEnglish);
        QCOMPARE(c.gender(), TGender::gMale);
        QCOMPARE(c.signBeforePrefix(), true);
        QCOMPARE(c.prefixBeforeBlank(), false);
        QCOMPARE(c.freeStyleDigits(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
        QCOMPARE(c.precision(), 0);
        QCOMPARE(c.hexPrefix(), QStringLiteral("$"));
        QCOMPARE(c.octPrefix(), QStringLiteral("0"));
        QCOMPARE(c.binPostfix(), QStringLiteral("b"));
        for (const QString &empty : {c.decPrefix(), c.binPref(), c.romPrefix(), c.freeStylePref(), c.numPrefix(),
                                     c.decPostfix(), c.hexPostfix(), c.octPostfix(), c.romPostfix(),
                                     c.freeStylePostfix(), c.numPostfix()})
            QCOMPARE(empty, QString());
    }

    void digitStrings_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("text");
        QTest::newRow("dec") << "dec" << 255.0 << true << "255";
        QTest::newRow("dec negative") << "dec" << -7.0 << true << "-7";
        QTest::newRow("dec zero") << "dec" << 0.0 << true << "0";
        QTest::newRow("dec negative zero") << "dec" << -0.0 << true << "0";
        QTest::newRow("hex") << "hex" << 255.0 << true << "$FF";
        QTest::newRow("hex lower") << "hex" << 255.0 << false << "$ff";
        QTest::newRow("hex negative") << "hex" << -255.0 << true << "-$FF";
        QTest::newRow("hex 2^32-1") << "hex" << 4294967295.0 << true << "$FFFFFFFF";
        QTest::newRow("hex 2^53") << "hex" << 9007199254740992.0 << true << "$20000000000000";
        QTest::newRow("oct") << "oct" << 8.0 << true << "010";
        QTest::newRow("oct zero") << "oct" << 0.0 << true << "00";
        QTest::newRow("bin") << "bin" << 5.0 << true << "101b";
        QTest::newRow("bin zero") << "bin" << 0.0 << true << "0b";
        QTest::newRow("free style zero") << "freeStyle" << 0.0 << true << "A";
        QTest::newRow("free style 26") << "freeStyle" << 26.0 << true << "BA";
        QTest::newRow("free style lower") << "freeStyle" << 27.0 << false << "bb";
        QTest::newRow("dec largest") << "dec" << 18446744073709549568.0 << true << "18446744073709549568";
    }
    // Written and read back through the published property.
    void digitStrings()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(bool, upper);
        QFETCH(QString, text);
        TNumberConvert c;
        c.setUpperCase(upper);
        c.setValue(value);
        QCOMPARE(c.property(property.toLatin1()).toString(), text);
        TNumberConvert reader;
        reader.setValue(42);
        QVERIFY(reader.setProperty(property.toLatin1(), text));
        QCOMPARE(reader.value(), value);
    }

    void readDigits_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("hex without prefix, any case") << "hex" << "ff" << 255.0;
        QTest::newRow("sign before prefix, trimmed") << "hex" << " -$ff " << -255.0;
        QTest::newRow("sign after prefix") << "hex" << "$-FF" << -255.0;
        QTest::newRow("octal zero is not a prefix") << "oct" << "0" << 0.0;
        QTest::newRow("octal without prefix") << "oct" << "17" << 15.0;
        QTest::newRow("postfix in capitals") << "bin" << "101B" << 5.0;
        QTest::newRow("no postfix") << "bin" << "101" << 5.0;
        QTest::newRow("empty is zero") << "dec" << "" << 0.0;
        QTest::newRow("blank is zero") << "dec" << "   " << 0.0;
        QTest::newRow("minus zero") << "dec" << "-0" << 0.0;
        QTest::newRow("free style") << "freeStyle" << "ba" << 26.0;
    }
    void readDigits()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QFETCH(double, value);
        TNumberConvert c;
        c.setValue(42);
        QVERIFY(c.setProperty(property.toLatin1(), text));
        QCOMPARE(c.value(), value);
    }

    void readDigitErrors_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Invalid number");
        const QString tooLarge = QStringLiteral("Number is too large for a digit string");
        QTest::newRow("foreign digit") << "hex" << "$FG" << invalid;
        QTest::newRow("prefix alone") << "hex" << "$" << invalid;
        QTest::newRow("sign alone") << "dec" << "-" << invalid;
        QTest::newRow("fraction") << "dec" << "1.5" << invalid;
        QTest::newRow("inner blank") << "dec" << "1 2" << invalid;
        QTest::newRow("binary 2") << "bin" << "102" << invalid;
        QTest::newRow("octal 8") << "oct" << "08" << invalid;
        QTest::newRow("two signs") << "dec" << "--1" << invalid;
        QTest::newRow("beyond 64 bits") << "dec" << "18446744073709551616" << tooLarge;
        QTest::newRow("hex beyond 64 bits") << "hex" << "$10000000000000000" << tooLarge;
        QTest::newRow("not held exactly") << "dec" << "9007199254740993" << tooLarge;
    }
    // A refused text leaves the value as it was.
    void readDigitErrors()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TNumberConvert c;
        c.setValue(42);
        QCOMPARE(errorOf([&] { c.setProperty(property.toLatin1(), text); }), message);
        QCOMPARE(c.value(), 42.0);
    }

    void writeErrors_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("fraction") << "dec" << 1.5 << "Numbers must be integer";
        QTest::newRow("negative fraction") << "hex" << -0.5 << "Numbers must be integer";
        QTest::newRow("free style fraction") << "freeStyle" << 2.25 << "Numbers must be integer";
        QTest::newRow("2^64") << "bin" << 18446744073709551616.0 << "Number is too large for a digit string";
        QTest::newRow("infinity") << "oct" << std::numeric_limits<double>::infinity()
                                  << "Number is too large for a digit string";
        QTest::newRow("NaN digits") << "dec" << std::nan("") << "Value is not a number";
        QTest::newRow("NaN words") << "numeral" << std::nan("") << "Value is not a number";
    }
    void writeErrors()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(QString, message);
        TNumberConvert c;
        c.setValue(value);
        QCOMPARE(errorOf([&] { c.property(property.toLatin1()); }), message);
    }

    void freeStyleDigits()
    {
        TNumberConvert c;
        for (const QString &bad : {QStringLiteral("ABA"), QStringLiteral("A"), QString(), QStringLiteral("0 1"),
                                   QStringLiteral("-01"), QStringLiteral("01\t")})
            QCOMPARE(errorOf([&] { c.setFreeStyleDigits(bad); }), QStringLiteral("Invalid FreeStyle digits"));
        QCOMPARE(c.freeStyleDigits(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));

        c.setFreeStyleDigits(QStringLiteral("01234567"));
        c.setValue(8);
        QCOMPARE(c.freeStyle(), QStringLiteral("10"));

        // Digits that differ only in case keep their case both ways.
        c.setFreeStyleDigits(QStringLiteral("aA"));
        c.setValue(2);
        QCOMPARE(c.freeStyle(), QStringLiteral("Aa"));
        c.setFreeStyle(QStringLiteral("AA"));
        QCOMPARE(c.value(), 3.0);
        c.setFreeStyle(QStringLiteral("aA"));
        QCOMPARE(c.value(), 1.0);
    }

    void roman_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1.0 << true << "I";
        QTest::newRow("4") << 4.0 << true << "IV";
        QTest::newRow("9") << 9.0 << true << "IX";
        QTest::newRow("14") << 14.0 << true << "XIV";
        QTest::newRow("40") << 40.0 << true << "XL";
        QTest::newRow("90") << 90.0 << true << "XC";
        QTest::newRow("400") << 400.0 << true << "CD";
        QTest::newRow("900") << 900.0 << true << "CM";
        QTest::newRow("1994") << 1994.0 << true << "MCMXCIV";
        QTest::newRow("3888") << 3888.0 << true << "MMMDCCCLXXXVIII";
        QTest::newRow("3999") << 3999.0 << true << "MMMCMXCIX";
        QTest::newRow("4000") << 4000.0 << true << "";
        QTest::newRow("huge") << 1e300 << true << "";
        QTest::newRow("0") << 0.0 << true << "";
        QTest::newRow("-14") << -14.0 << true << "-XIV";
        QTest::newRow("-0.4") << -0.4 << true << "";
        QTest::newRow("2.5 to even") << 2.5 << true << "II";
        QTest::newRow("3.5 to even") << 3.5 << true << "IV";
        QTest::newRow("3999.4") << 3999.4 << true << "MMMCMXCIX";
        QTest::newRow("3999.5 rounds beyond") << 3999.5 << true << "";
        QTest::newRow("lower") << 14.0 << false << "xiv";
    }
    void roman()
    {
        QFETCH(double, value);
        QFETCH(bool, upper);
        QFETCH(QString, text);
        TNumberConvert c;
        c.setUpperCase(upper);
        c.setValue(value);
        QCOMPARE(c.roman(), text);
    }

    void romanRoundTrip()
    {
        TNumberConvert writer;
        TNumberConvert reader;
        for (int n = -3999; n <= 3999; ++n) {
            writer.setValue(n);
            reader.setRoman(writer.roman());
            QCOMPARE(reader.value(), double(n));
        }
        reader.setRoman(QStringLiteral(" -mcmxciv "));
        QCOMPARE(reader.value(), -1994.0);
    }

    void romanErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString digit = QStringLiteral("Invalid roman digit");
        const QString number = QStringLiteral("Invalid roman number");
        QTest::newRow("foreign letter") << "XIZ" << digit;
        QTest::newRow("inner blank") << "X I" << digit;
        QTest::newRow("arabic digit") << "X1" << digit;
        QTest::newRow("four ones") << "IIII" << number;
        QTest::newRow("IM") << "IM" << number;
        QTest::newRow("VX") << "VX" << number;
        QTest::newRow("IIX") << "IIX" << number;
        QTest::newRow("XLX") << "XLX" << number;
        QTest::newRow("4000") << "MMMM" << number;
        QTest::newRow("sign alone") << "-" << number;
    }
    void romanErrors()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        TNumberConvert c;
        c.setValue(42);
        QCOMPARE(errorOf([&] { c.setRoman(text); }), message);
        QCOMPARE(c.value(), 42.0);
    }

    void finishing_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("prefixBeforeBlank");
        QTest::addColumn<bool>("signBeforePrefix");
        QTest::addColumn<QString>("text");
        QTest::newRow("fill, sign, prefix") << "hex" << -255.0 << 8 << false << true << "....-$FF";
        QTest::newRow("sign, prefix, fill") << "hex" << -255.0 << 8 << true << true << "-$....FF";
        QTest::newRow("fill, prefix, sign") << "hex" << -255.0 << 8 << false << false << "....$-FF";
        QTest::newRow("prefix, fill, sign") << "hex" << -255.0 << 8 << true << false << "$....-FF";
        QTest::newRow("exact width") << "hex" << 255.0 << 3 << false << true << "$FF";
        QTest::newRow("width too small") << "hex" << 255.0 << 2 << false << true << "$FF";
        QTest::newRow("postfix counted") << "bin" << 5.0 << 6 << false << true << "..101b";
        QTest::newRow("roman") << "roman" << -14.0 << 6 << false << true << "..-XIV";
        QTest::newRow("fill of 255") << "dec" << 7.0 << 256 << false << true << QString(255, u'.') + u'7';
        QTest::newRow("fill above 255 gives none") << "dec" << 7.0 << 257 << false << true << "7";
    }
    void finishing()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(bool, prefixBeforeBlank);
        QFETCH(bool, signBeforePrefix);
        QFETCH(QString, text);
        TNumberConvert c;
        c.setBlankChar(u'.');
        c.setWidth(width);
        c.setPrefixBeforeBlank(prefixBeforeBlank);
        c.setSignBeforePrefix(signBeforePrefix);
        c.setValue(value);
        QCOMPARE(c.property(property.toLatin1()).toString(), text);
    }

    void numeralFinishing_data()
    {
        QTest::addColumn<TLanguage>("language");
        QTest::addColumn<int>("precision");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("prefixBeforeBlank");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("postfix");
        QTest::addColumn<QString>("text");
        const TLanguage en = TLanguage::lEnglish;
        const TLanguage ru = TLanguage::lRussian;
        QTest::newRow("fill before prefix") << en << 0 << 5.0 << 10 << false << "(" << ")" << "****(FIVE)";
        QTest::newRow("fill after prefix") << en << 0 << 5.0 << 10 << true << "(" << ")" << "(****FIVE)";
        QTest::newRow("sign is a word") << en << 0 << -5.0 << 12 << true << "" << "" << "**MINUS FIVE";
        QTest::newRow("affixes keep their case") << en << 0 << 5.0 << 0 << false << "ab" << "xy" << "abFIVExy";
        QTest::newRow("russian affixes") << ru << 0 << 5.0 << 0 << false << "Сумма: " << " руб." << "Сумма: пять руб.";
        QTest::newRow("trailing blanks counted") << ru << 2 << 2.0 << 8 << false << "" << "" << "***два  ";
    }
    void numeralFinishing()
    {
        QFETCH(TLanguage, language);
        QFETCH(int, precision);
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(bool, prefixBeforeBlank);
        QFETCH(QString, prefix);
        QFETCH(QString, postfix);
        QFETCH(QString, text);
        TNumberConvert c;
        c.setLanguage(language);
        c.setPrecision(precision);
        c.setBlankChar(u'*');
        c.setWidth(width);
        c.setPrefixBeforeBlank(prefixBeforeBlank);
        c.setNumPrefix(prefix);
        c.setNumPostfix(postfix);
        c.setValue(value);
        QCOMPARE(c.numeral(), text);
    }

    // Only a real change of the value notifies, whichever property wrote it.
    void onChange()
    {
        TNumberConvert c;
        QSignalSpy spy(&c, &TNumberConvert::changed);
        c.setValue(0);
        QCOMPARE(spy.count(), 0);
        c.setValue(1);
        QCOMPARE(spy.count(), 1);
        c.setHex(QStringLiteral("$1"));
        QCOMPARE(spy.count(), 1);
        c.setDec(QStringLiteral("2"));
        QCOMPARE(spy.count(), 2);
        c.setNumeral(QStringLiteral("three"));
        QCOMPARE(spy.count(), 3);
        c.setRoman(QStringLiteral("IV"));
        QCOMPARE(spy.count(), 4);
        errorOf([&] { c.setBin(QStringLiteral("12")); });
        QCOMPARE(spy.count(), 4);
        c.setWidth(10);
        c.setLanguage(TLanguage::lRussian);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(c.value(), 4.0);
    }
};

// ---------------------------------------------------------------------------
class WordsCliTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("exitCode");
        const auto row = [](const char *name, const QStringList &args, const QString &out, const QString &err = {},
                            int exitCode = 0) { QTest::newRow(name) << args << out << err << exitCode; };
        row("english by default", {"2001"}, "TWO THOUSANDS ONE\n");
        row("lower", {"--lower", "250"}, "two hundreds and fifty\n");
        row("russian", {"--lang", "ru", "1234567"},
            "один миллион двести тридцать четыре тысячи пятьсот шестьдесят семь\n");
        row("trailing blanks kept", {"--lang", "ru", "--precision", "2", "1.999"}, "два  \n");
        row("negative after --", {"--lang", "ru", "--gender", "f", "--precision", "1", "--", "-1.5"},
            "минус одна целая пять десятых \n");
        row("leading fill kept", {"--width", "8", "--blank", "*", "--prefix", "<", "--postfix", ">", "--lower", "5"},
            "**<five>\n");
        row("hex", {"--as", "hex", "--", "-255"}, "-$FF\n");
        row("bin affixes", {"--as", "bin", "--prefix", "%", "--postfix", "", "5"}, "%101\n");
        row("roman", {"--as", "roman", "--lower", "1994"}, "mcmxciv\n");
        row("free style", {"--as", "freestyle", "26"}, "BA\n");
        row("parse english", {"--parse-en", "Two Hundreds and Fifty"}, "250\n");
        row("parse negative", {"--parse-en", "minus three"}, "-3\n");
        row("parse roman", {"--parse-roman", "MCMXCIV"}, "1994\n");
        row("bad numeral", {"--parse-en", "two apples"}, "", "Invalid numeral\n", 1);
        row("bad roman", {"--parse-roman", "IIII"}, "", "Invalid roman number\n", 1);
        row("precision 4", {"--lang", "ru", "--precision", "4", "1"}, "",
            "Поддерживается не более трех знаков после запятой!\n", 1);
        row("too large", {"--lang", "ru", "1e15"}, "", "Number is too large to write in words\n", 1);
        row("fraction to hex", {"--as", "hex", "1.5"}, "", "Numbers must be integer\n", 1);
        row("russian reading", {"--lang", "ru", "--parse-en", "one"}, "", "Sorry, this language isn't supported\n",
            1);
        row("not a number", {"abc"}, "", "'abc' is not a number.\n", 1);
    }
    void run()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, exitCode);
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI), QStringList{QStringLiteral("words")} + args);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()), err);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        QCOMPARE(p.exitCode(), exitCode);
    }
};

#include "tst_words.moc"

KORVEX_TEST_CLASS(RussianWordsTest)
KORVEX_TEST_CLASS(EnglishWordsTest)
KORVEX_TEST_CLASS(NumberConvertTest)
KORVEX_TEST_CLASS(WordsCliTest)
