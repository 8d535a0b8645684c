// korvex-rent-cli words: amounts in words, digit strings and Roman numerals.

#include "cliCommon.h"

#include "documents/NumConv.h"

#include <functional>
#include <stdexcept>

namespace korvex::cli {

using namespace korvex::documents;

namespace {

[[noreturn]] void usageError(const QString &message)
{
    throw std::invalid_argument(message.toStdString());
}

int intOption(const Args &a, const QString &name)
{
    bool ok = false;
    const int n = a.value(name).toInt(&ok);
    if (!ok)
        usageError(QStringLiteral("Option --%1 needs a whole number, not '%2'.").arg(name, a.value(name)));
    return n;
}

// Reads back a value that is always whole.
QString wholeText(double value)
{
    return QString::number(value, 'f', 0);
}

// Applies an option that takes one of a few words.
template <typename T>
void applyChoice(const Args &a, const QString &name, const QList<std::pair<QString, T>> &choices,
                 const std::function<void(T)> &apply)
{
    if (!a.has(name))
        return;
    const QString given = a.value(name);
    QStringList words;
    for (const auto &[word, value] : choices) {
        if (word == given)
            return apply(value);
        words << word;
    }
    usageError(QStringLiteral("Option --%1 takes %2, not '%3'.").arg(name, words.join(QStringLiteral(", ")), given));
}

void configure(TNumberConvert &c, const Args &a)
{
    applyChoice<TLanguage>(a, QStringLiteral("lang"),
                           {{QStringLiteral("ru"), TLanguage::lRussian}, {QStringLiteral("en"), TLanguage::lEnglish}},
                           [&](TLanguage l) { c.setLanguage(l); });
    applyChoice<TGender>(a, QStringLiteral("gender"),
                         {{QStringLiteral("m"), TGender::gMale},
                          {QStringLiteral("f"), TGender::gFemale},
                          {QStringLiteral("n"), TGender::gNeuter}},
                         [&](TGender g) { c.setGender(g); });
    if (a.has(QStringLiteral("precision")))
        c.setPrecision(intOption(a, QStringLiteral("precision")));
    if (a.has(QStringLiteral("lower")))
        c.setUpperCase(false);
    if (a.has(QStringLiteral("width")))
        c.setWidth(intOption(a, QStringLiteral("width")));
    if (a.has(QStringLiteral("blank"))) {
        const QString blank = a.value(QStringLiteral("blank"));
        if (blank.size() != 1)
            usageError(QStringLiteral("Option --blank takes one character, not '%1'.").arg(blank));
        c.setBlankChar(blank.at(0));
    }
}

struct Conversion {
    const char *name;
    QString (TNumberConvert::*read)() const;
    void (TNumberConvert::*setPrefix)(const QString &);
    void (TNumberConvert::*setPostfix)(const QString &);
};

const Conversion kConversions[] = {
    {"words", &TNumberConvert::numeral, &TNumberConvert::setNumPrefix, &TNumberConvert::setNumPostfix},
    {"dec", &TNumberConvert::dec, &TNumberConvert::setDecPrefix, &TNumberConvert::setDecPostfix},
    {"hex", &TNumberConvert::hex, &TNumberConvert::setHexPrefix, &TNumberConvert::setHexPostfix},
    {"oct", &TNumberConvert::oct, &TNumberConvert::setOctPrefix, &TNumberConvert::setOctPostfix},
    {"bin", &TNumberConvert::bin, &TNumberConvert::setBinPref, &TNumberConvert::setBinPostfix},
    {"roman", &TNumberConvert::roman, &TNumberConvert::setRomPrefix, &TNumberConvert::setRomPostfix},
    {"freestyle", &TNumberConvert::freeStyle, &TNumberConvert::setFreeStylePref,
     &TNumberConvert::setFreeStylePostfix},
};

const Conversion &conversion(const QString &name)
{
    for (const Conversion &c : kConversions)
        if (name == QLatin1String(c.name))
            return c;
    usageError(QStringLiteral("Option --as takes dec, hex, oct, bin, roman or freestyle, not '%1'.").arg(name));
}

int run(const QStringList &args)
{
    const Args a = parseArgs(args,
                             {QStringLiteral("lang"), QStringLiteral("gender"), QStringLiteral("precision"),
                              QStringLiteral("width"), QStringLiteral("blank"), QStringLiteral("prefix"),
                              QStringLiteral("postfix"), QStringLiteral("as"), QStringLiteral("parse-en"),
                              QStringLiteral("parse-roman")},
                             {QStringLiteral("lower")});
    TNumberConvert c;
    configure(c, a);

    const bool parsing = a.has(QStringLiteral("parse-en")) || a.has(QStringLiteral("parse-roman"));
    if (parsing) {
        if (!a.positional.isEmpty() || (a.has(QStringLiteral("parse-en")) && a.has(QStringLiteral("parse-roman"))))
            usageError(QStringLiteral("--parse-en and --parse-roman take their TEXT alone, without a VALUE."));
        if (a.has(QStringLiteral("parse-en")))
            c.setNumeral(a.value(QStringLiteral("parse-en")));
        else
            c.setRoman(a.value(QStringLiteral("parse-roman")));
        outLine(wholeText(c.value()));
        return 0;
    }

    if (a.positional.size() != 1)
        usageError(QStringLiteral("Usage: korvex-rent-cli words [OPTIONS] VALUE (see --help)"));
    bool ok = false;
    const double value = a.positional.first().trimmed().toDouble(&ok);
    if (!ok)
        usageError(QStringLiteral("'%1' is not a number.").arg(a.positional.first()));
    c.setValue(value);

    const Conversion &conv = conversion(a.value(QStringLiteral("as"), QStringLiteral("words")));
    if (a.has(QStringLiteral("prefix")))
        (c.*conv.setPrefix)(a.value(QStringLiteral("prefix")));
    if (a.has(QStringLiteral("postfix")))
        (c.*conv.setPostfix)(a.value(QStringLiteral("postfix")));
    outLine((c.*conv.read)());
    return 0;
}

} // namespace

Command wordsCommand()
{
    return {QStringLiteral("words"),
            QStringLiteral(
                "  words [--lang ru|en] [--gender m|f|n] [--precision N] [--lower] [--width N]\n"
                "        [--blank C] [--prefix TEXT] [--postfix TEXT] [--as dec|hex|oct|bin|roman|freestyle]\n"
                "        [--] VALUE\n"
                "                            write a number in words (or in the --as form);\n"
                "                            put -- before a negative VALUE\n"
                "  words [--lang en] --parse-en TEXT\n"
                "  words --parse-roman TEXT  read English words or Roman numerals back"),
            run};
}

} // namespace korvex::cli
