// Reading templates: command paragraphs, group parameters, field expressions
// and their option words, name-value lists.

#include "xReport.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSet>

namespace korvex::documents {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TxReport", text);
}

inline bool isLatinLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

inline bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

inline bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString latinUpper(const QString &s)
{
    QString r = s;
    for (QChar &c : r)
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(char16_t(c.unicode() - 32));
    return r;
}

QString unquote(const QString &s)
{
    if (s.size() >= 2 && (s.front() == QLatin1Char('\'') || s.front() == QLatin1Char('"')) && s.back() == s.front())
        return s.mid(1, s.size() - 2);
    return s;
}

// The option words, in the order the tokenizer tries them.
const char *const kOptionWords[] = {"S",     "TEXT",        "T",           "USER", "NOZERO",  "NEGATIVE", "POSITIVE",
                                    "Z+",    "Z-",          "NONPOSITIVE", "NONNEGATIVE", "Z!-", "Z!+", "Z",
                                    "RESETON", "FORMFIELD", "F",           "R",    "SUM",     "LENGTHLIMIT", "L"};

// Whether the text at pos (just after a "/") holds the word, letter case
// ignored, not followed by a Latin letter or digit.
bool wordAt(const QString &text, qsizetype pos, QLatin1StringView word, Qt::CaseSensitivity cs = Qt::CaseInsensitive)
{
    if (pos + word.size() > text.size())
        return false;
    if (QStringView(text).mid(pos, word.size()).compare(word, cs) != 0)
        return false;
    const qsizetype after = pos + word.size();
    return after == text.size() || !(isLatinLetter(text[after]) || isDigit(text[after]));
}

// The option word starting after the "/" at pos; empty when none.
QLatin1StringView optionAt(const QString &text, qsizetype slash)
{
    if (slash >= text.size() || text[slash] != QLatin1Char('/'))
        return {};
    for (const char *w : kOptionWords)
        if (wordAt(text, slash + 1, QLatin1StringView(w)))
            return QLatin1StringView(w);
    return {};
}

bool isDecimalSeparator(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',') || QLocale().decimalPoint() == QString(c);
}

// The end of the option word at slash with its extent: F runs over blanks to
// its quoted pattern, R over its number.
qsizetype optionEnd(const QString &text, qsizetype slash, QLatin1StringView word)
{
    qsizetype i = slash + 1 + word.size();
    if (word == QLatin1StringView("F")) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size() || text[i] != QLatin1Char('"'))
            throw ExReport(QStringLiteral("Form file error: incorrect /F field format"));
        const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
        return close < 0 ? text.size() : close + 1;
    }
    if (word == QLatin1StringView("R")) {
        while (i < text.size() && (isBlank(text[i]) || isDigit(text[i]) || isDecimalSeparator(text[i])))
            ++i;
    }
    return i;
}

// Whether "/" + word occurs with a boundary after it.
qsizetype findOption(const QString &text, QLatin1StringView word, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    const QString needle = QLatin1Char('/') + QString(word);
    for (qsizetype at = text.indexOf(needle, 0, cs); at >= 0; at = text.indexOf(needle, at + 1, cs))
        if (wordAt(text, at + 1, word, cs))
            return at;
    return -1;
}

// The number after an option word: blanks, then digits and decimal separators.
double numberAfter(const QString &text, qsizetype pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    QString digits;
    while (pos < text.size() && (isDigit(text[pos]) || isDecimalSeparator(text[pos])))
        digits += text[pos++];
    double v = 0;
    reportText::readNumber(digits, v);
    return v;
}

bool convertsToNumber(const QString &token)
{
    const QString t = trimBlanks(token);
    if (t.isEmpty())
        return false;
    bool ok = false;
    QLocale().toDouble(t, &ok);
    if (!ok)
        QLocale::c().toDouble(t, &ok);
    if (!ok && t.startsWith(QLatin1Char('.')))
        QLocale::c().toDouble(QLatin1Char('0') + t, &ok);
    return ok;
}

} // namespace

// ---------------------------------------------------------------------------
// Name-value lists

QString TxValueList::name(int index) const
{
    const QString line = trimBlanks(m_lines.value(index));
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : trimBlanks(line.left(eq));
}

QString TxValueList::value(int index) const
{
    const QString line = trimBlanks(m_lines.value(index));
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : unquote(trimBlanks(line.mid(eq + 1)));
}

int TxValueList::indexOfName(const QString &n) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines[i];
        if (line.indexOf(QLatin1Char('=')) >= 0 && name(i).compare(n, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TxValueList::value(const QString &n) const
{
    const int i = indexOfName(n);
    return i < 0 ? QString() : value(i);
}

void TxValueList::setValue(const QString &n, const QString &v)
{
    const QString line = n + QLatin1Char('=') + v;
    const int i = indexOfName(n);
    if (i < 0)
        m_lines.append(line);
    else
        m_lines[i] = line;
}

// ---------------------------------------------------------------------------
// Options

TFormatOptions reportText::readOptions(const QString &text)
{
    TFormatOptions o;
    const QString upper = text.toUpper();
    const auto has = [&upper](const char *w) { return findOption(upper, QLatin1StringView(w)) >= 0; };

    // Words: the letter case of the option chooses the case of the words.
    if (findOption(text, QLatin1StringView("T")) >= 0 || findOption(text, QLatin1StringView("TEXT")) >= 0)
        o.words = 3;
    else if (findOption(text, QLatin1StringView("Text")) >= 0)
        o.words = 2;
    else if (findOption(text, QLatin1StringView("t")) >= 0 || findOption(text, QLatin1StringView("text")) >= 0
             || findOption(text.toLower(), QLatin1StringView("text")) >= 0)
        o.words = 1;

    // The last sign filter present in this order wins.
    if (has("NOZERO") || has("Z"))
        o.signFilter = 1;
    if (has("POSITIVE") || has("Z+"))
        o.signFilter = 2;
    if (has("NEGATIVE") || has("Z-"))
        o.signFilter = 3;
    if (has("NONPOSITIVE") || has("Z!+"))
        o.signFilter = 4;
    if (has("NONNEGATIVE") || has("Z!-"))
        o.signFilter = 5;

    const qsizetype f = findOption(upper, QLatin1StringView("F"));
    if (f >= 0) {
        const qsizetype open = text.indexOf(QLatin1Char('"'), f + 2);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0)
            throw ExReport(QStringLiteral("Float format error: ") + text);
        o.format = text.mid(open + 1, close - open - 1);
    }
    const qsizetype r = findOption(upper, QLatin1StringView("R"));
    if (r >= 0)
        o.roundStep = numberAfter(text, r + 2);
    const qsizetype l = findOption(upper, QLatin1StringView("L"));
    if (l >= 0)
        o.lengthLimit = int(numberAfter(text, l + 2));
    if (o.lengthLimit == 0) {
        const qsizetype ll = findOption(upper, QLatin1StringView("LENGTHLIMIT"));
        if (ll >= 0)
            o.lengthLimit = int(numberAfter(text, ll + 12));
    }
    return o;
}

// ---------------------------------------------------------------------------
// Field expressions

TxMathField TxMathField::parse(const QString &expression)
{
    TxMathField m;
    const QString text = trimBlanks(expression);
    const QString skippedFirst = QStringLiteral("-(){}[] ");
    const QString operators = QStringLiteral("-+*(){}[]<>=");
    qsizetype i = 0;
    QString literal;
    while (i < text.size() && skippedFirst.contains(text[i]))
        literal += text[i++];

    while (i < text.size()) {
        const qsizetype start = i;
        const QLatin1StringView option = optionAt(text, i);
        if (!option.isEmpty()) {
            i = optionEnd(text, i, option);
        } else {
            ++i;
            while (i < text.size()) {
                const QChar c = text[i];
                if (isBlank(c) || isDigit(c) || isLatinLetter(c) || c == QLatin1Char('_')) {
                    ++i;
                    continue;
                }
                const QLatin1StringView inner = optionAt(text, i);
                if (inner.isEmpty())
                    break;
                i = optionEnd(text, i, inner);
            }
        }
        const QString token = text.mid(start, i - start);
        const QString trimmed = trimBlanks(token);
        static const QStringList functions = {QStringLiteral("ROUND"), QStringLiteral("ROUND10"),
                                              QStringLiteral("ROUND100"), QStringLiteral("ROUND1000")};
        if (functions.contains(trimmed) || convertsToNumber(trimmed)) {
            literal += token;
        } else {
            TxOperand op;
            op.text = trimmed;
            op.isOptions = trimmed.startsWith(QLatin1Char('/'));
            op.options = reportText::readOptions(trimmed);
            const QString upper = trimmed.toUpper();
            op.isSum = findOption(upper, QLatin1StringView("S")) >= 0 || findOption(upper, QLatin1StringView("SUM")) >= 0;
            const qsizetype reset = findOption(upper, QLatin1StringView("RESETON"));
            if (reset >= 0) {
                op.hasResetOn = true;
                const QString rest = trimmed.mid(reset + 8);
                op.resetOn = trimBlanks(rest.left(rest.indexOf(QLatin1Char('/')) < 0 ? rest.size()
                                                                                       : rest.indexOf(QLatin1Char('/'))));
            }
            const qsizetype slash = trimmed.indexOf(QLatin1Char('/'));
            op.name.name = trimBlanks(slash < 0 ? trimmed : trimmed.left(slash));
            if (findOption(upper, QLatin1StringView("USER")) >= 0)
                op.name.kind = TxOperandKind::UserVariable;
            else if (findOption(upper, QLatin1StringView("FORMFIELD")) >= 0)
                op.name.kind = TxOperandKind::FormField;
            const int k = int(m.operands.size());
            m.operands.append(op);
            if (op.isOptions)
                continue;
            m.m_pieces.append({literal, -1});
            literal.clear();
            m.m_pieces.append({QString(), k});
        }
        // Operators, blanks and a "/" that starts no option stay in the text.
        while (i < text.size()) {
            const QChar c = text[i];
            if (operators.contains(c) || isBlank(c) || (c == QLatin1Char('/') && optionAt(text, i).isEmpty()))
                literal += text[i++];
            else
                break;
        }
    }
    if (!literal.isEmpty())
        m.m_pieces.append({literal, -1});

    QString fieldOptions;
    for (const TxOperand &op : m.operands)
        if (op.isOptions)
            fieldOptions += op.text;
    if (!fieldOptions.isEmpty()) {
        m.hasFieldOptions = true;
        m.fieldOptions = reportText::readOptions(fieldOptions);
    }
    const QString shape = m.placeholderText();
    for (QChar c : QStringLiteral("-+/\\*()"))
        if (shape.contains(c))
            m.arithmetic = true;
    return m;
}

QString TxMathField::placeholderText() const
{
    QString s;
    for (const Piece &p : m_pieces)
        s += p.operand >= 0 ? QLatin1Char('#') + QString::number(p.operand) : p.text;
    return s;
}

QString TxMathField::substitute(const QStringList &values) const
{
    QString s;
    for (const Piece &p : m_pieces)
        s += p.operand >= 0 ? values.value(p.operand) : p.text;
    return s;
}

int TxMathField::singleOperand() const
{
    return operands.size() == 1 && !operands[0].isOptions ? 0 : -1;
}

// ---------------------------------------------------------------------------
// Groups

QString TxGroup::currentLimit() const
{
    const qsizetype comma = key.indexOf(QLatin1Char(','));
    return trimBlanks(comma < 0 ? key : key.left(comma));
}

void TxGroup::advanceLimit()
{
    const qsizetype comma = key.indexOf(QLatin1Char(','));
    if (comma >= 0)
        key = key.mid(comma + 1);  // the last number repeats
}

// ---------------------------------------------------------------------------
// Templates

void TxReportRTF::paragraphRead(TxRTFTextPara *para)
{
    const QString text = latinUpper(trimBlanks(para->text()));
    if (!text.startsWith(QLatin1Char('%')))
        return;
    qsizetype i = 1;
    while (i < text.size() && text[i].unicode() >= 'A' && text[i].unicode() <= 'Z')
        ++i;
    const QString word = text.mid(1, i - 1);
    static const QStringList commands = {QStringLiteral("DATA"),     QStringLiteral("TABLEHEADER"),
                                         QStringLiteral("GROUP"),    QStringLiteral("GROUPEND"),
                                         QStringLiteral("TABLEROW"), QStringLiteral("TABLEEND"),
                                         QStringLiteral("END")};
    if (!commands.contains(word))
        return;
    TxRTFBlock *current = readingBlock();
    current->removeAt(current->indexOf(para));
    command(word, trimBlanks(text.mid(i)));
}

TxDef &TxReportRTF::currentSection()
{
    if (sections.empty()) {
        sections.push_back(std::make_unique<TxDef>());
        sections.back()->name = QStringLiteral("DefaultTable");
    }
    return *sections.back();
}

void TxReportRTF::command(const QString &word, const QString &argument)
{
    TxRTFBlock **slot = nullptr;
    if (word == QLatin1String("DATA")) {
        sections.push_back(std::make_unique<TxDef>());
        sections.back()->name = argument;
        slot = &sections.back()->dataBand;
    } else if (word == QLatin1String("TABLEHEADER")) {
        slot = &currentSection().tableHeader;
    } else if (word == QLatin1String("GROUP")) {
        TxDef &def = currentSection();
        def.groups.push_back(std::make_unique<TxGroup>());
        parseGroup(*def.groups.back(), argument);
        slot = &def.groups.back()->header;
    } else if (word == QLatin1String("GROUPEND")) {
        TxDef &def = currentSection();
        if (def.groups.empty())
            throw ExReport(QStringLiteral("Form File Error: GROUPEND without GROUP!"));
        slot = &def.groups.back()->footer;
    } else if (word == QLatin1String("TABLEROW")) {
        slot = &currentSection().rowBand;
    } else if (word == QLatin1String("TABLEEND")) {
        slot = &currentSection().tableEnd;
    }
    // END: the content that follows belongs to no band.

    // A command right after another takes over the empty block; the earlier
    // command is left without a band.
    TxRTFBlock *current = readingBlock();
    TxRTFBlock *block;
    if (m_anyCommand && current->count() == 0) {
        if (m_slot)
            *m_slot = nullptr;
        block = current;
    } else {
        block = addNew<TxRTFBlock>();
    }
    m_anyCommand = true;
    m_slot = slot;
    if (slot)
        *slot = block;
}

void TxReportRTF::parseGroup(TxGroup &group, const QString &argument)
{
    // Parameters "/Name value"; a value runs to the next "/" outside quotes.
    QHash<QString, QString> params;
    QChar quote;
    qsizetype i = 0;
    QString name, value;
    bool inParam = false;
    const auto flush = [&] {
        if (inParam)
            params.insert(name.toUpper(), unquote(trimBlanks(value)));
        name.clear();
        value.clear();
    };
    while (i < argument.size()) {
        const QChar c = argument[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            value += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            value += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('/')) {
            flush();
            inParam = true;
            ++i;
            while (i < argument.size() && isLatinLetter(argument[i]))
                name += argument[i++];
            continue;
        }
        value += c;
        ++i;
    }
    if (!quote.isNull())
        throw ExReport(tr("xB02: Обнаружена нескомпенсированная кавычка!"));
    flush();

    const auto whole = [](const QString &text) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok)
            throw ExReport(QStringLiteral("'%1' is not a valid integer value").arg(text));
        return n;
    };
    if (!params.contains(QStringLiteral("ROWLIMIT"))) {
        group.key = argument;
    } else {
        group.rowLimit = true;
        group.key = params.value(QStringLiteral("ROWLIMIT"));
        if (params.contains(QStringLiteral("LASTPAGE")))
            group.lastPage = whole(params.value(QStringLiteral("LASTPAGE")));
        if (params.contains(QStringLiteral("TOTALROWS")))
            group.totalRowsLimit = whole(params.value(QStringLiteral("TOTALROWS")));
    }
    group.declaredKey = group.key;
}

void TxReportRTF::finishTemplate()
{
    // Reading drops an empty block at the end of the document: a command
    // with nothing after it then has no band (its pointer is only compared).
    QSet<const TxRTFBasic *> blocks;
    for (int i = 0; i < count(); ++i)
        blocks.insert(at(i));
    const auto keep = [&blocks](TxRTFBlock *&band) {
        if (band && !blocks.contains(band))
            band = nullptr;
    };
    for (const auto &def : sections) {
        keep(def->dataBand);
        keep(def->tableHeader);
        keep(def->rowBand);
        keep(def->tableEnd);
        for (const auto &g : def->groups) {
            keep(g->header);
            keep(g->footer);
        }
    }
    for (const auto &def : sections) {
        if (!def->tableHeader)
            continue;
        for (int i = 0; i < def->tableHeader->count(); ++i)
            if (auto row = dynamic_cast<TxRTFTableRow *>(def->tableHeader->at(i)))
                row->setHeader(true);
    }
    // Word processors that write only the newer form-field block: its name
    // and default text make the field a report field all the same.
    std::function<void(TxRTFBasic &)> walk = [&](TxRTFBasic &e) {
        if (auto f = dynamic_cast<TxRTFField *>(&e); f && !f->isDataField && f->isFormField
                                                       && f->fieldType() == QLatin1String("FORMTEXT")) {
            f->isDataField = true;
            f->dataRec.name = f->ffName;
            f->dataRec.defaultText = f->ffDefText;
        }
        if (auto g = dynamic_cast<TxRTFGroup *>(&e))
            for (int i = 0; i < g->count(); ++i)
                walk(*g->at(i));
    };
    walk(*this);
}

QList<TxRTFField *> TxReportRTF::reportFields(const TxRTFBlock *band)
{
    return band ? band->dataFields() : QList<TxRTFField *>();
}

QString TxReportRTF::fieldExpression(const TxRTFField &field)
{
    return field.dataRec.defaultText.isEmpty() ? field.ffDefText : field.dataRec.defaultText;
}

QString TxReportRTF::fieldName(const TxRTFField &field)
{
    return field.dataRec.name.isEmpty() ? field.ffName : field.dataRec.name;
}

} // namespace korvex::documents
