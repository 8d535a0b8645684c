#include "NumConv.h"

#include "amount/xAmount.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace korvex::documents {

ENumberConvertError::ENumberConvertError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

namespace {

const char *const kInvalidFreeStyleDigits = "Invalid FreeStyle digits";
const char *const kNotInteger = "Numbers must be integer";
const char *const kInvalidNumber = "Invalid number";
const char *const kNotSupported = "Sorry, this language isn't supported";
const char *const kInvalidNumeral = "Invalid numeral";
const char *const kInvalidRomanDigit = "Invalid roman digit";
const char *const kInvalidRomanNumber = "Invalid roman number";
const char *const kNotANumber = "Value is not a number";
const char *const kTooLargeForWords = "Number is too large to write in words";
const char *const kTooLargeForDigits = "Number is too large for a digit string";

[[noreturn]] void fail(const char *message)
{
    throw ENumberConvertError(QString::fromLatin1(message));
}

bool isLatinLower(QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); }
bool isLatinUpper(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }

// Only a to z change case: Cyrillic words and other letters stay as written.
QString latinUpper(QString s)
{
    for (QChar &c : s)
        if (isLatinLower(c))
            c = QChar(c.unicode() - 32);
    return s;
}

QString latinLower(QString s)
{
    for (QChar &c : s)
        if (isLatinUpper(c))
            c = QChar(c.unicode() + 32);
    return s;
}

bool hasRepeats(const QString &s)
{
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s.indexOf(s.at(i), i + 1) >= 0)
            return true;
    return false;
}

// Largest magnitudes with group words: 10^15 in Russian, 10^12 in English.
constexpr double kRussianLimit = 1e15;
constexpr double kEnglishLimit = 1e12;
// 2^64: every integral double below it converts to quint64 exactly.
constexpr double kDigitLimit = 18446744073709551616.0;

// ---------------------------------------------------------------- Russian

const std::array<const char *, 10> kRuHundreds = {
    "", "сто", "двести", "триста", "четыреста", "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};
const std::array<const char *, 10> kRuTeens = {
    "десять", "одиннадцать", "двенадцать", "тринадцать", "четырнадцать",
    "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
const std::array<const char *, 10> kRuTens = {
    "", "", "двадцать", "тридцать", "сорок", "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
const std::array<const char *, 10> kRuUnits = {
    "", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};

QString ruUnit(int u, TGender gender)
{
    if (u == 1 && gender == TGender::gFemale)
        return QStringLiteral("одна");
    if (u == 1 && gender == TGender::gNeuter)
        return QStringLiteral("одно");
    if (u == 2 && gender == TGender::gFemale)
        return QStringLiteral("две");
    return QString::fromUtf8(kRuUnits[size_t(u)]);
}

// Words of 0..999; a group of 0 gives an empty text.
QString ruGroup(int n, TGender gender)
{
    QStringList words;
    if (n / 100)
        words << QString::fromUtf8(kRuHundreds[size_t(n / 100)]);
    const int r = n % 100;
    if (r >= 10 && r <= 19) {
        words << QString::fromUtf8(kRuTeens[size_t(r - 10)]);
    } else {
        if (r / 10)
            words << QString::fromUtf8(kRuTens[size_t(r / 10)]);
        if (r % 10)
            words << ruUnit(r % 10, gender);
    }
    return words.join(QLatin1Char(' '));
}

// 0 for "одна тысяча", 1 for "две тысячи", 2 for "пять тысяч".
int ruForm(qint64 n)
{
    const qint64 d = n % 10;
    const qint64 dd = n % 100;
    if (d == 1 && dd != 11)
        return 0;
    if (d >= 2 && d <= 4 && !(dd >= 12 && dd <= 14))
        return 1;
    return 2;
}

struct RuScale {
    double size;
    TGender gender;
    std::array<const char *, 3> forms;
};

const std::array<RuScale, 4> kRuScales = {{
    {1e12, TGender::gMale, {" триллион ", " триллиона ", " триллионов "}},
    {1e9, TGender::gMale, {" миллиард ", " миллиарда ", " миллиардов "}},
    {1e6, TGender::gMale, {" миллион ", " миллиона ", " миллионов "}},
    {1e3, TGender::gFemale, {" тысяча ", " тысячи ", " тысяч "}},
}};

// Whole number below 10^15 in words; "ноль" for 0.
QString ruWhole(qint64 n, TGender gender)
{
    QString text;
    for (const RuScale &scale : kRuScales) {
        const qint64 size = qint64(scale.size);
        const int group = int(n / size % 1000);
        if (group)
            text += ruGroup(group, scale.gender) + QString::fromUtf8(scale.forms[size_t(ruForm(group))]);
    }
    text += ruGroup(int(n % 1000), gender);
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("ноль") : text;
}

const std::array<std::array<const char *, 2>, 4> kRuDenominators = {{
    {"", ""},
    {" десятая ", " десятых "},
    {" сотая ", " сотых "},
    {" тысячная ", " тысячных "},
}};

QString ruWholeWord(qint64 n, TGender gender)
{
    if (ruForm(n) != 0)
        return QStringLiteral("целых");
    switch (gender) {
    case TGender::gFemale:
        return QStringLiteral("целая");
    case TGender::gNeuter:
        return QStringLiteral("целое");
    case TGender::gMale:
        break;
    }
    return QStringLiteral("целый");
}

// ---------------------------------------------------------------- English

const std::array<const char *, 10> kEnUnits = {
    "", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};
const std::array<const char *, 10> kEnTeens = {
    "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const std::array<const char *, 10> kEnTens = {
    "", "ten", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

QString enGroup(int n)
{
    QString text;
    const int h = n / 100;
    const int r = n % 100;
    if (h) {
        text = QLatin1String(kEnUnits[size_t(h)]) + QLatin1String(h > 1 ? " hundreds" : " hundred");
        if (r)
            text += QLatin1String(" and ");
    }
    if (r >= 10 && r <= 19) {
        text += QLatin1String(kEnTeens[size_t(r - 10)]);
    } else if (r) {
        text += QLatin1String(kEnTens[size_t(r / 10)]);
        if (r / 10 && r % 10)
            text += QLatin1Char(' ');
        text += QLatin1String(kEnUnits[size_t(r % 10)]);
    }
    return text;
}

// A number below 100 of one or two words; empty, "zero" and "null" are 0.
qint64 enSmall(const QStringList &words)
{
    const auto indexIn = [](const std::array<const char *, 10> &table, const QString &word) -> int {
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i][0] && word == QLatin1String(table[i]))
                return int(i);
        return -1;
    };
    if (words.isEmpty())
        return 0;
    if (words.size() == 1) {
        const QString &w = words.first();
        if (w == QLatin1String("zero") || w == QLatin1String("null"))
            return 0;
        if (const int teen = indexIn(kEnTeens, w); teen >= 0)
            return 10 + teen;
        if (const int tens = indexIn(kEnTens, w); tens >= 0)
            return 10 * tens;
        if (const int unit = indexIn(kEnUnits, w); unit >= 0)
            return unit;
    } else if (words.size() == 2) {
        const int tens = indexIn(kEnTens, words.at(0));
        const int unit = indexIn(kEnUnits, words.at(1));
        if (tens >= 2 && unit >= 1)
            return 10 * tens + unit;
    }
    fail(kInvalidNumeral);
}

bool isWord(const QString &word, const char *singular)
{
    return word == QLatin1String(singular) || word == QLatin1String(singular) + QLatin1Char('s');
}

// "[small hundred[s] [and]] small"
qint64 enReadGroup(const QStringList &words)
{
    qsizetype at = -1;
    for (qsizetype i = 0; i < words.size(); ++i)
        if (isWord(words.at(i), "hundred")) {
            at = i;
            break;
        }
    if (at < 0)
        return enSmall(words);
    if (at == 0)
        fail(kInvalidNumeral);
    QStringList rest = words.mid(at + 1);
    if (!rest.isEmpty() && rest.first() == QLatin1String("and")) {
        rest.removeFirst();
        if (rest.isEmpty())
            fail(kInvalidNumeral);
    }
    return enSmall(words.mid(0, at)) * 100 + enSmall(rest);
}

// ---------------------------------------------------------------- Roman

const std::array<std::array<const char *, 10>, 4> kRoman = {{
    {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"},
    {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"},
    {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"},
    {"", "M", "MM", "MMM", "", "", "", "", "", ""},
}};

constexpr int kRomanLimit = 3999;

QString romanDigits(int n)
{
    QString s;
    for (int pos = 3, scale = 1000; pos >= 0; --pos, scale /= 10)
        s += QLatin1String(kRoman[size_t(pos)][size_t(n / scale % 10)]);
    return s;
}

int romanLetterValue(QChar c)
{
    switch (c.unicode()) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
    default: return 0;
    }
}

struct SignedDigits {
    QString digits;
    bool negative = false;
};

// Strips sign, prefix and postfix from a trimmed, case-folded text; the sign
// may stand before or after the prefix.
SignedDigits splitSigned(QString s, const QString &prefix, const QString &postfix, const char *emptyError)
{
    SignedDigits r;
    const auto takeSign = [&] {
        if (!r.negative && s.startsWith(QLatin1Char('-'))) {
            r.negative = true;
            s = s.mid(1).trimmed();
        }
    };
    takeSign();
    // An affix alone is read as digits: a lone "0" is the octal zero, not
    // the octal prefix.
    if (!prefix.isEmpty() && s.startsWith(prefix) && s.size() > prefix.size())
        s = s.mid(prefix.size()).trimmed();
    takeSign();
    if (!postfix.isEmpty() && s.endsWith(postfix) && s.size() > postfix.size())
        s = s.chopped(postfix.size()).trimmed();
    if (s.isEmpty())
        fail(emptyError);
    r.digits = s;
    return r;
}

} // namespace

struct TNumberConvert::Base {
    QString digits;
    bool foldsCase;  // Latin letters follow UpperCase and are read in either case

    explicit Base(const QString &set)
        : digits(set)
        , foldsCase(!hasRepeats(latinUpper(set)))
    {
    }
};

TNumberConvert::TNumberConvert(QObject *parent)
    : QObject(parent)
{
}

void TNumberConvert::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT changed();
}

void TNumberConvert::setFreeStyleDigits(const QString &digits)
{
    // A digit set must have a base of at least 2, and blanks or a minus
    // among the digits could not be read back.
    const bool unreadable = std::any_of(digits.begin(), digits.end(),
                                        [](QChar c) { return c.isSpace() || c == QLatin1Char('-'); });
    if (digits.size() < 2 || hasRepeats(digits) || unreadable)
        fail(kInvalidFreeStyleDigits);
    m_freeStyleDigits = digits;
}

void TNumberConvert::setPrecision(int precision)
{
    if (precision < 0 || precision > 3)
        throw ENumberConvertError(
            QCoreApplication::translate("TNumberConvert", "Поддерживается не более трех знаков после запятой!"));
    m_precision = precision;
}

QString TNumberConvert::finish(const QString &body, const QString &prefix, const QString &postfix,
                               bool negative) const
{
    QString head = prefix;
    QString tail = body + postfix;
    if (negative) {
        if (m_signBeforePrefix)
            head.prepend(QLatin1Char('-'));
        else
            tail.prepend(QLatin1Char('-'));
    }
    const qsizetype fill = qsizetype(m_width) - head.size() - tail.size();
    if (fill < 1 || fill > 255)
        return head + tail;
    const QString blanks(fill, m_blankChar);
    return m_prefixBeforeBlank ? head + blanks + tail : blanks + head + tail;
}

// ---------------------------------------------------------------- digit strings

QString TNumberConvert::digitString(const Base &base, const QString &prefix, const QString &postfix) const
{
    if (std::isnan(m_value))
        fail(kNotANumber);
    const double magnitude = std::fabs(m_value);
    if (magnitude >= kDigitLimit)
        fail(kTooLargeForDigits);
    if (magnitude != std::trunc(magnitude))
        fail(kNotInteger);
    quint64 n = quint64(magnitude);
    const quint64 radix = quint64(base.digits.size());
    QString digits;
    do {
        digits.prepend(base.digits.at(qsizetype(n % radix)));
        n /= radix;
    } while (n);
    if (base.foldsCase)
        digits = m_upperCase ? latinUpper(digits) : latinLower(digits);
    return finish(digits, prefix, postfix, m_value < 0);
}

void TNumberConvert::readDigitString(const QString &text, const Base &base, const QString &prefix,
                                     const QString &postfix)
{
    QString s = text.trimmed();
    if (s.isEmpty()) {
        setValue(0);
        return;
    }
    QString digits = base.digits;
    QString pre = prefix;
    QString post = postfix;
    if (base.foldsCase) {
        s = latinUpper(s);
        digits = latinUpper(digits);
        pre = latinUpper(pre);
        post = latinUpper(post);
    }
    const SignedDigits sd = splitSigned(s, pre, post, kInvalidNumber);
    const quint64 radix = quint64(digits.size());
    quint64 n = 0;
    for (QChar c : sd.digits) {
        const qsizetype d = digits.indexOf(c);
        if (d < 0)
            fail(kInvalidNumber);
        if (n > (~quint64(0) - quint64(d)) / radix)
            fail(kTooLargeForDigits);
        n = n * radix + quint64(d);
    }
    // The value is a double: a number it cannot hold exactly is refused
    // rather than silently changed.
    const double magnitude = double(n);
    if (magnitude >= kDigitLimit || quint64(magnitude) != n)
        fail(kTooLargeForDigits);
    setValue(sd.negative && n ? -magnitude : magnitude);
}

namespace {
const QString kDecDigits = QStringLiteral("0123456789");
const QString kHexDigits = QStringLiteral("0123456789ABCDEF");
const QString kOctDigits = QStringLiteral("01234567");
const QString kBinDigits = QStringLiteral("01");
} // namespace

QString TNumberConvert::dec() const { return digitString(Base(kDecDigits), m_decPrefix, m_decPostfix); }
void TNumberConvert::setDec(const QString &text) { readDigitString(text, Base(kDecDigits), m_decPrefix, m_decPostfix); }
QString TNumberConvert::hex() const { return digitString(Base(kHexDigits), m_hexPrefix, m_hexPostfix); }
void TNumberConvert::setHex(const QString &text) { readDigitString(text, Base(kHexDigits), m_hexPrefix, m_hexPostfix); }
QString TNumberConvert::oct() const { return digitString(Base(kOctDigits), m_octPrefix, m_octPostfix); }
void TNumberConvert::setOct(const QString &text) { readDigitString(text, Base(kOctDigits), m_octPrefix, m_octPostfix); }
QString TNumberConvert::bin() const { return digitString(Base(kBinDigits), m_binPref, m_binPostfix); }
void TNumberConvert::setBin(const QString &text) { readDigitString(text, Base(kBinDigits), m_binPref, m_binPostfix); }

QString TNumberConvert::freeStyle() const
{
    return digitString(Base(m_freeStyleDigits), m_freeStylePref, m_freeStylePostfix);
}

void TNumberConvert::setFreeStyle(const QString &text)
{
    readDigitString(text, Base(m_freeStyleDigits), m_freeStylePref, m_freeStylePostfix);
}

// ---------------------------------------------------------------- Roman

QString TNumberConvert::roman() const
{
    const double rounded = korvex::amount::roundHalfEven(std::fabs(m_value));
    if (!(rounded <= kRomanLimit))  // NaN included
        return {};
    QString letters = romanDigits(int(rounded));
    if (!m_upperCase)
        letters = latinLower(letters);
    return finish(letters, m_romPrefix, m_romPostfix, m_value < 0 && rounded != 0);
}

void TNumberConvert::setRoman(const QString &text)
{
    const QString s = latinUpper(text.trimmed());
    if (s.isEmpty()) {
        setValue(0);
        return;
    }
    const SignedDigits sd = splitSigned(s, latinUpper(m_romPrefix), latinUpper(m_romPostfix), kInvalidRomanNumber);
    int n = 0;
    for (qsizetype i = 0; i < sd.digits.size(); ++i) {
        const int v = romanLetterValue(sd.digits.at(i));
        if (!v)
            fail(kInvalidRomanDigit);
        const int next = i + 1 < sd.digits.size() ? romanLetterValue(sd.digits.at(i + 1)) : 0;
        n += v < next ? -v : v;
    }
    // Only the canonical form is a number: IIII, IC, VX and MMMM are not.
    if (n < 1 || n > kRomanLimit || romanDigits(n) != sd.digits)
        fail(kInvalidRomanNumber);
    setValue(sd.negative ? -n : n);
}

// ---------------------------------------------------------------- words

QString TNumberConvert::numeral() const
{
    if (std::isnan(m_value))
        fail(kNotANumber);
    QString words = m_language == TLanguage::lRussian ? russianNumeral() : englishNumeral();
    if (m_upperCase)
        words = latinUpper(words);
    return finish(words, m_numPrefix, m_numPostfix, false);
}

QString TNumberConvert::russianNumeral() const
{
    const double magnitude = std::fabs(m_value);
    // The fraction is rounded to the written places before anything is
    // written, so that 1.999 at two places carries into the whole part.
    double whole = std::trunc(magnitude);
    double fraction = 0;
    if (m_precision > 0) {
        const double scale = std::pow(10.0, m_precision);
        fraction = korvex::amount::roundHalfEven((magnitude - whole) * scale);
        if (fraction >= scale) {
            whole += 1;
            fraction = 0;
        }
    }
    if (whole >= kRussianLimit)
        fail(kTooLargeForWords);
    const qint64 n = qint64(whole);
    const int f = int(fraction);

    // A value written as zero carries no sign: -0.4 is "ноль", not "минус".
    QString text = ruWhole(n, m_gender);
    if (m_value < 0 && (n || f))
        text.prepend(QStringLiteral("минус "));
    if (m_precision == 0)
        return text;

    // With decimals the blanks are kept as they fall: a whole number ends in
    // two blanks, a fraction in the blank after its denominator word.
    QString wholeWord;
    QString fractionWords;
    if (f) {
        wholeWord = ruWholeWord(n, m_gender);
        fractionWords = ruGroup(f, TGender::gFemale)
                        + QString::fromUtf8(kRuDenominators[size_t(m_precision)][ruForm(f) == 0 ? 0 : 1]);
    }
    return text + QLatin1Char(' ') + wholeWord + QLatin1Char(' ') + fractionWords;
}

QString TNumberConvert::englishNumeral() const
{
    // The fraction is rounded into the units before the groups are cut, so
    // that 999.5 becomes "one thousand" rather than a units group of 1000.
    const double magnitude = korvex::amount::roundHalfEven(std::fabs(m_value));
    if (magnitude >= kEnglishLimit)
        fail(kTooLargeForWords);
    const qint64 n = qint64(magnitude);
    if (n == 0)
        return QStringLiteral("zero");

    struct Scale {
        qint64 size;
        const char *word;
    };
    static const std::array<Scale, 4> scales = {{
        {1000000000, " milliard"},
        {1000000, " million"},
        {1000, " thousand"},
        {1, ""},
    }};
    QString text = m_value < 0 ? QStringLiteral("minus ") : QString();
    for (const Scale &scale : scales) {
        const int group = int(n / scale.size % 1000);
        if (!group)
            continue;
        text += enGroup(group) + QLatin1String(scale.word);
        text += QLatin1String(group > 1 && scale.size > 1 ? "s " : " ");
    }
    text.chop(1);
    return text;
}

void TNumberConvert::setNumeral(const QString &text)
{
    if (m_language != TLanguage::lEnglish)
        fail(kNotSupported);
    QString lowered = text.toLower();
    lowered.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QStringList words = lowered.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool negative = false;
    if (!words.isEmpty() && words.first() == QLatin1String("minus")) {
        negative = true;
        words.removeFirst();
    } else if (!words.isEmpty() && words.first() == QLatin1String("plus")) {
        words.removeFirst();
    }

    struct Scale {
        const char *word;
        const char *alias;
        qint64 size;
    };
    static const std::array<Scale, 3> scales = {{
        {"milliard", "billion", 1000000000},
        {"million", nullptr, 1000000},
        {"thousand", nullptr, 1000},
    }};
    qint64 n = 0;
    for (const Scale &scale : scales) {
        qsizetype at = -1;
        for (qsizetype i = 0; i < words.size() && at < 0; ++i)
            if (isWord(words.at(i), scale.word) || (scale.alias && isWord(words.at(i), scale.alias)))
                at = i;
        if (at < 0)
            continue;
        // "thousand" alone is not taken for nought thousands.
        if (at == 0)
            fail(kInvalidNumeral);
        n += enReadGroup(words.mid(0, at)) * scale.size;
        words = words.mid(at + 1);
    }
    n += enReadGroup(words);
    setValue(negative && n ? -double(n) : double(n));
}

} // namespace korvex::documents
