#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace korvex::documents {

// Every failure of the number converter; what() is the message in UTF-8.
class ENumberConvertError : public std::runtime_error
{
public:
    explicit ENumberConvertError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

enum class TLanguage { lEnglish, lRussian };
enum class TGender { gMale, gFemale, gNeuter };

// Turns a number into words (Russian or English), digit strings in several
// bases and Roman numerals, and reads them back. Printed documents write every
// amount in words through it.
//
// Each text result is finished the same way: the suffix is appended, the sign
// and prefix go in front, and BlankChar fills up to Width on the left.
class TNumberConvert : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY changed)
    Q_PROPERTY(int width READ width WRITE setWidth)
    Q_PROPERTY(QChar blankChar READ blankChar WRITE setBlankChar)
    Q_PROPERTY(bool upperCase READ upperCase WRITE setUpperCase)
    Q_PROPERTY(korvex::documents::TLanguage language READ language WRITE setLanguage)
    Q_PROPERTY(korvex::documents::TGender gender READ gender WRITE setGender)
    Q_PROPERTY(bool signBeforePrefix READ signBeforePrefix WRITE setSignBeforePrefix)
    Q_PROPERTY(bool prefixBeforeBlank READ prefixBeforeBlank WRITE setPrefixBeforeBlank)
    Q_PROPERTY(QString freeStyleDigits READ freeStyleDigits WRITE setFreeStyleDigits)
    Q_PROPERTY(QString dec READ dec WRITE setDec STORED false)
    Q_PROPERTY(QString hex READ hex WRITE setHex STORED false)
    Q_PROPERTY(QString oct READ oct WRITE setOct STORED false)
    Q_PROPERTY(QString bin READ bin WRITE setBin STORED false)
    Q_PROPERTY(QString freeStyle READ freeStyle WRITE setFreeStyle STORED false)
    Q_PROPERTY(QString roman READ roman WRITE setRoman STORED false)
    Q_PROPERTY(QString decPrefix READ decPrefix WRITE setDecPrefix)
    Q_PROPERTY(QString hexPrefix READ hexPrefix WRITE setHexPrefix)
    Q_PROPERTY(QString octPrefix READ octPrefix WRITE setOctPrefix)
    Q_PROPERTY(QString binPref READ binPref WRITE setBinPref)
    Q_PROPERTY(QString romPrefix READ romPrefix WRITE setRomPrefix)
    Q_PROPERTY(QString freeStylePref READ freeStylePref WRITE setFreeStylePref)
    Q_PROPERTY(QString numPrefix READ numPrefix WRITE setNumPrefix)
    Q_PROPERTY(QString decPostfix READ decPostfix WRITE setDecPostfix)
    Q_PROPERTY(QString hexPostfix READ hexPostfix WRITE setHexPostfix)
    Q_PROPERTY(QString octPostfix READ octPostfix WRITE setOctPostfix)
    Q_PROPERTY(QString binPostfix READ binPostfix WRITE setBinPostfix)
    Q_PROPERTY(QString romPostfix READ romPostfix WRITE setRomPostfix)
    Q_PROPERTY(QString freeStylePostfix READ freeStylePostfix WRITE setFreeStylePostfix)
    Q_PROPERTY(QString numPostfix READ numPostfix WRITE setNumPostfix)
    Q_PROPERTY(QString numeral READ numeral WRITE setNumeral STORED false)
    Q_PROPERTY(int precision READ precision WRITE setPrecision)

public:
    explicit TNumberConvert(QObject *parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);  // emits changed() only when the value differs

    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    QChar blankChar() const { return m_blankChar; }
    void setBlankChar(QChar c) { m_blankChar = c; }
    bool upperCase() const { return m_upperCase; }
    void setUpperCase(bool on) { m_upperCase = on; }
    TLanguage language() const { return m_language; }
    void setLanguage(TLanguage language) { m_language = language; }
    TGender gender() const { return m_gender; }
    void setGender(TGender gender) { m_gender = gender; }
    bool signBeforePrefix() const { return m_signBeforePrefix; }
    void setSignBeforePrefix(bool on) { m_signBeforePrefix = on; }
    bool prefixBeforeBlank() const { return m_prefixBeforeBlank; }
    void setPrefixBeforeBlank(bool on) { m_prefixBeforeBlank = on; }

    // At least two characters, none repeated.
    QString freeStyleDigits() const { return m_freeStyleDigits; }
    void setFreeStyleDigits(const QString &digits);

    // The whole value in base 10, 16, 8, 2 or the free-style base. Reading a
    // fractional value throws; writing reads the text into the value, an empty
    // text being 0.
    QString dec() const;
    void setDec(const QString &text);
    QString hex() const;
    void setHex(const QString &text);
    QString oct() const;
    void setOct(const QString &text);
    QString bin() const;
    void setBin(const QString &text);
    QString freeStyle() const;
    void setFreeStyle(const QString &text);

    // Roman numerals of the rounded value; empty beyond 3999.
    QString roman() const;
    void setRoman(const QString &text);

    QString decPrefix() const { return m_decPrefix; }
    void setDecPrefix(const QString &s) { m_decPrefix = s; }
    QString hexPrefix() const { return m_hexPrefix; }
    void setHexPrefix(const QString &s) { m_hexPrefix = s; }
    QString octPrefix() const { return m_octPrefix; }
    void setOctPrefix(const QString &s) { m_octPrefix = s; }
    QString binPref() const { return m_binPref; }
    void setBinPref(const QString &s) { m_binPref = s; }
    QString romPrefix() const { return m_romPrefix; }
    void setRomPrefix(const QString &s) { m_romPrefix = s; }
    QString freeStylePref() const { return m_freeStylePref; }
    void setFreeStylePref(const QString &s) { m_freeStylePref = s; }
    QString numPrefix() const { return m_numPrefix; }
    void setNumPrefix(const QString &s) { m_numPrefix = s; }

    QString decPostfix() const { return m_decPostfix; }
    void setDecPostfix(const QString &s) { m_decPostfix = s; }
    QString hexPostfix() const { return m_hexPostfix; }
    void setHexPostfix(const QString &s) { m_hexPostfix = s; }
    QString octPostfix() const { return m_octPostfix; }
    void setOctPostfix(const QString &s) { m_octPostfix = s; }
    QString binPostfix() const { return m_binPostfix; }
    void setBinPostfix(const QString &s) { m_binPostfix = s; }
    QString romPostfix() const { return m_romPostfix; }
    void setRomPostfix(const QString &s) { m_romPostfix = s; }
    QString freeStylePostfix() const { return m_freeStylePostfix; }
    void setFreeStylePostfix(const QString &s) { m_freeStylePostfix = s; }
    QString numPostfix() const { return m_numPostfix; }
    void setNumPostfix(const QString &s) { m_numPostfix = s; }

    // The value in words of Language. Writing reads English words only.
    QString numeral() const;
    void setNumeral(const QString &text);

    // Decimal places written in Russian words, 0 to 3.
    int precision() const { return m_precision; }
    void setPrecision(int precision);

Q_SIGNALS:
    void changed();  // OnChange

private:
    struct Base;
    QString digitString(const Base &base, const QString &prefix, const QString &postfix) const;
    void readDigitString(const QString &text, const Base &base, const QString &prefix, const QString &postfix);
    QString finish(const QString &body, const QString &prefix, const QString &postfix, bool negative) const;
    QString russianNumeral() const;
    QString englishNumeral() const;

    double m_value = 0;
    int m_width = 0;
    QChar m_blankChar = QLatin1Char(' ');
    bool m_upperCase = true;
    TLanguage m_language = TLanguage::lEnglish;
    TGender m_gender = TGender::gMale;
    bool m_signBeforePrefix = true;
    bool m_prefixBeforeBlank = false;
    QString m_freeStyleDigits = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString m_decPrefix;
    QString m_hexPrefix = QStringLiteral("$");
    QString m_octPrefix = QStringLiteral("0");
    QString m_binPref;
    QString m_romPrefix;
    QString m_freeStylePref;
    QString m_numPrefix;
    QString m_decPostfix;
    QString m_hexPostfix;
    QString m_octPostfix;
    QString m_binPostfix = QStringLiteral("b");
    QString m_romPostfix;
    QString m_freeStylePostfix;
    QString m_numPostfix;
    int m_precision = 0;
};

} // namespace korvex::documents

Q_DECLARE_METATYPE(korvex::documents::TLanguage)
Q_DECLARE_METATYPE(korvex::documents::TGender)
