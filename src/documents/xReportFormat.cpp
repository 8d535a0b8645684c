// Numbers as report fields read and write them.

#include "xReport.h"

#include <QHash>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

namespace korvex::documents {

namespace {

QString decimalPoint()
{
    return QLocale().decimalPoint();
}

} // namespace

bool reportText::readNumber(const QString &text, double &value)
{
    // The locale's decimal separator counts; so does "." wherever it cannot
    // be a group separator, so that 1234.5 never reads as 12345.
    const QLocale locale;
    const QString point = locale.decimalPoint();
    const bool dotIsPoint = point == QLatin1String(".") || locale.groupSeparator() != QLatin1String(".");
    std::string ascii;
    ascii.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if ((u >= '0' && u <= '9') || u == '+' || u == '-' || u == 'E' || u == 'e')
            ascii.push_back(char(u));
        else if (u == 0x2212)  // minus sign of some locales
            ascii.push_back('-');
        else if (QStringView(text).mid(i).startsWith(point))
            ascii.push_back('.');
        else if (u == '.' && dotIsPoint)
            ascii.push_back('.');
    }
    if (ascii.empty()) {
        value = 0;
        return true;
    }
    const char *b = ascii.data();
    const char *e = b + ascii.size();
    if (*b == '+')
        ++b;
    double v = 0;
    const auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString reportText::numberText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0)
        value = 0;  // no "-0"
    // Runs for every number of every row: straight to characters, then the
    // locale's decimal separator.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buf, r.ptr - buf);
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
    return text;
}

namespace {

struct Token {
    enum Kind { Literal, Zero, Hash, Point, Exponent };
    Kind kind;
    QString text;        // literal text; exponent sign
    int expDigits = 0;
};

QStringList splitSections(const QString &pattern)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

QList<Token> tokenize(const QString &section, bool &grouping)
{
    QList<Token> tokens;
    grouping = false;
    bool point = false;
    const auto literal = [&tokens](const QString &s) {
        if (!tokens.isEmpty() && tokens.back().kind == Token::Literal)
            tokens.back().text += s;
        else
            tokens.append(Token{Token::Literal, s});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype close = section.indexOf(c, i + 1);
            literal(section.mid(i + 1, (close < 0 ? section.size() : close) - i - 1));
            i = close < 0 ? section.size() : close;
        } else if (c == QLatin1Char('0')) {
            tokens.append(Token{Token::Zero, {}});
        } else if (c == QLatin1Char('#')) {
            tokens.append(Token{Token::Hash, {}});
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            tokens.append(Token{Token::Point, {}});
        } else if (c == QLatin1Char(',')) {
            grouping = true;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < section.size()
                   && (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
            Token t{Token::Exponent, QString(section[i]) + section[i + 1]};
            i += 2;
            while (i < section.size() && section[i] == QLatin1Char('0')) {
                ++t.expDigits;
                ++i;
            }
            --i;
            tokens.append(t);
        } else {
            literal(QString(c));
        }
    }
    return tokens;
}

// The digits of |value| at 15 significant digits, rounded half away from zero
// at the given number of decimals: the rounding a reader of the number
// expects, not the one of its binary neighbour (2.675 gives 2.68).
void decimalDigits(double value, int decimals, QString &whole, QString &fraction)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string s(buf, r.ptr);
    const size_t e = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
    const int exponent = std::atoi(s.c_str() + e + 1);
    const int pointPos = exponent + 1;  // digits before the decimal point
    std::string w, f;
    if (pointPos <= 0) {
        f = std::string(size_t(-pointPos), '0') + digits;
    } else if (pointPos >= int(digits.size())) {
        w = digits + std::string(size_t(pointPos) - digits.size(), '0');
    } else {
        w = digits.substr(0, size_t(pointPos));
        f = digits.substr(size_t(pointPos));
    }
    const bool up = int(f.size()) > decimals && f[size_t(decimals)] >= '5';
    f.resize(size_t(decimals), '0');
    if (up) {
        // Carry through the fraction into the whole part.
        std::string all = w + f;
        int i = int(all.size()) - 1;
        for (; i >= 0 && all[size_t(i)] == '9'; --i)
            all[size_t(i)] = '0';
        if (i < 0)
            all.insert(all.begin(), '1');
        else
            ++all[size_t(i)];
        w = all.substr(0, all.size() - f.size());
        f = all.substr(all.size() - f.size());
    }
    size_t lead = 0;
    while (lead < w.size() && w[lead] == '0')
        ++lead;
    whole = QString::fromLatin1(w.substr(lead));
    fraction = QString::fromLatin1(f);
}

QString grouped(const QString &digits)
{
    const QString sep = QLocale().groupSeparator();
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += sep;
        out += digits[i];
    }
    return out;
}

} // namespace

QString reportText::formatFloat(const QString &pattern, double value)
{
    if (!std::isfinite(value))
        return numberText(value);
    const QStringList sections = splitSections(pattern);
    QString section = sections.value(0);
    bool ownSign = false;
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        section = sections[1];
        ownSign = true;
    } else if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    if (section.isEmpty())
        return numberText(value);

    // A report writes the same few patterns on every row: each is read once.
    struct Parsed {
        QList<Token> tokens;
        bool grouping = false;
    };
    static thread_local QHash<QString, Parsed> parsed;
    auto cached = parsed.constFind(section);
    if (cached == parsed.constEnd()) {
        if (parsed.size() > 256)
            parsed.clear();
        Parsed p;
        p.tokens = tokenize(section, p.grouping);
        cached = parsed.insert(section, p);
    }
    const bool grouping = cached->grouping;
    const QList<Token> tokens = cached->tokens;
    int first = -1, last = -1, pointAt = -1, expAt = -1;
    for (int i = 0; i < tokens.size(); ++i) {
        const Token::Kind k = tokens[i].kind;
        if (k == Token::Zero || k == Token::Hash) {
            if (first < 0)
                first = i;
            last = i;
        } else if (k == Token::Point) {
            pointAt = i;
        } else if (k == Token::Exponent && expAt < 0) {
            expAt = i;
        }
    }
    if (first < 0) {
        QString text;
        for (const Token &t : tokens)
            if (t.kind == Token::Literal)
                text += t.text;
        return text;
    }
    const int intEnd = pointAt >= 0 ? pointAt : (expAt >= 0 ? expAt : last + 1);
    int intPlaces = 0, minInt = 0, fracPlaces = 0, minFrac = 0;
    bool seenZero = false;
    for (int i = first; i < intEnd && i < tokens.size(); ++i) {
        if (tokens[i].kind == Token::Zero || tokens[i].kind == Token::Hash) {
            ++intPlaces;
            seenZero = seenZero || tokens[i].kind == Token::Zero;
            if (seenZero)
                ++minInt;
        }
    }
    const int fracEnd = expAt >= 0 ? expAt : int(tokens.size());
    if (pointAt >= 0) {
        for (int i = pointAt + 1; i < fracEnd; ++i) {
            if (tokens[i].kind == Token::Zero || tokens[i].kind == Token::Hash) {
                ++fracPlaces;
                if (tokens[i].kind == Token::Zero)
                    minFrac = fracPlaces;
            }
        }
    }

    double magnitude = std::fabs(value);
    int exponent = 0;
    if (expAt >= 0 && magnitude != 0) {
        const int places = qMax(1, intPlaces);
        exponent = int(std::floor(std::log10(magnitude))) - (places - 1);
        magnitude /= std::pow(10.0, exponent);
    }
    QString whole, fraction;
    decimalDigits(magnitude, fracPlaces, whole, fraction);
    if (expAt >= 0 && whole.size() > qMax(1, intPlaces) && magnitude != 0) {
        // Rounding carried into one more digit.
        ++exponent;
        decimalDigits(std::fabs(value) / std::pow(10.0, exponent), fracPlaces, whole, fraction);
    }
    while (fraction.size() > minFrac && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (whole.size() < minInt)
        whole.prepend(QLatin1Char('0'));
    const bool isZero = whole.count(QLatin1Char('0')) == whole.size() && fraction.count(QLatin1Char('0')) == fraction.size();

    // Integer part: digits fill the placeholders from the right; the leftmost
    // one takes what is left over. Literals among them stay in place.
    bool intLiterals = false;
    for (int i = first; i < intEnd && i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Literal)
            intLiterals = true;
    QString intText;
    if (!intLiterals) {
        intText = grouping ? grouped(whole) : whole;
    } else {
        qsizetype remaining = whole.size();
        int placesLeft = intPlaces;
        QStringList parts;
        for (int i = qMin(intEnd, int(tokens.size())) - 1; i >= first; --i) {
            const Token &t = tokens[i];
            if (t.kind == Token::Literal) {
                if (remaining > 0)
                    parts.prepend(t.text);
                continue;
            }
            --placesLeft;
            if (placesLeft == 0) {
                parts.prepend(whole.left(remaining));
                remaining = 0;
            } else if (remaining > 0) {
                parts.prepend(whole.mid(remaining - 1, 1));
                --remaining;
            }
        }
        intText = parts.join(QString());
    }

    QString out;
    if (value < 0 && !ownSign && !isZero)
        out += QLatin1Char('-');
    for (int i = 0; i < first; ++i)
        if (tokens[i].kind == Token::Literal)
            out += tokens[i].text;
    out += intText;
    if (pointAt >= 0) {
        if (!fraction.isEmpty())
            out += decimalPoint();
        qsizetype used = 0;
        for (int i = pointAt + 1; i < fracEnd; ++i) {
            const Token &t = tokens[i];
            if (t.kind == Token::Literal) {
                if (i < last)
                    out += t.text;
                continue;
            }
            if (used < fraction.size())
                out += fraction[used++];
        }
    }
    if (expAt >= 0) {
        const Token &t = tokens[expAt];
        QString digits = QString::number(std::abs(exponent));
        while (digits.size() < t.expDigits)
            digits.prepend(QLatin1Char('0'));
        out += t.text.left(1);
        if (exponent < 0)
            out += QLatin1Char('-');
        else if (t.text.endsWith(QLatin1Char('+')))
            out += QLatin1Char('+');
        out += digits;
    }
    for (int i = qMax(last, expAt) + 1; i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Literal)
            out += tokens[i].text;
    return out;
}

} // namespace korvex::documents
