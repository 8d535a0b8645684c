#include "xCondition.h"

#include "amount/xAmount.h"
#include "calc/xCalc.h"
#include "documents/xRTFCodePage.h"

#include <QDateTime>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace korvex::widgets {

namespace {

// --- the SETTINGS block -----------------------------------------------------------

// Texts of the block are Windows-1251, as every module of the family reads them.
QByteArray encodeText(const QString &s)
{
    QByteArray out;
    out.reserve(s.size());
    for (QChar c : s) {
        char b = '?';
        documents::encodeCp1251(c, b);
        out.append(b);
    }
    return out;
}

QString decodeText(const QByteArray &bytes)
{
    static const documents::TxCodePage cp1251(1251);
    QString s;
    s.reserve(bytes.size());
    for (char b : bytes)
        s.append(cp1251.decode(static_cast<unsigned char>(b)));
    return s;
}

class Writer
{
public:
    void int32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_out.append(b, 4);
    }
    void byte(quint8 v) { m_out.append(char(v)); }
    void text(const QString &s)
    {
        const QByteArray bytes = encodeText(s);
        int32(qint32(bytes.size()));
        m_out.append(bytes);
    }
    void lines(const QStringList &l)
    {
        QString s;
        for (const QString &line : l)
            s += line + QStringLiteral("\r\n");
        text(s);
    }
    QByteArray result() const { return m_out; }

private:
    QByteArray m_out;
};

class Reader
{
public:
    explicit Reader(const QByteArray &in) : m_in(in) {}
    bool ok() const { return m_ok; }
    qint32 int32()
    {
        if (!need(4))
            return 0;
        const qint32 v = qFromLittleEndian<qint32>(m_in.constData() + m_pos);
        m_pos += 4;
        return v;
    }
    quint8 byte()
    {
        if (!need(1))
            return 0;
        return quint8(m_in.at(m_pos++));
    }
    QString text()
    {
        const qint32 n = int32();
        if (n < 0 || !need(n)) {
            m_ok = false;
            return {};
        }
        const QString s = decodeText(m_in.mid(m_pos, n));
        m_pos += n;
        return s;
    }
    QStringList lines()
    {
        QStringList out;
        for (QString line : text().split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (!line.isEmpty())
                out << line;
        }
        return out;
    }
    qsizetype remaining() const { return m_in.size() - m_pos; }

private:
    bool need(qsizetype n)
    {
        if (!m_ok || m_in.size() - m_pos < n)
            m_ok = false;
        return m_ok;
    }
    const QByteArray &m_in;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

// --- the rule test ------------------------------------------------------------------

QString valueText(const QVariant &v)
{
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case QMetaType::Double: return korvex::calc::shortestDecimalText(v.toDouble());
    default: return v.toString();
    }
}

// -1, 0, 1: numbers within a kopeck are equal.
int compareNumbers(double x, double a)
{
    if (korvex::amount::sameAmount(x, a))
        return 0;
    return x < a ? -1 : 1;
}

bool numericHolds(int op, double x, double a, double b)
{
    switch (op) {
    case coEqual: return compareNumbers(x, a) == 0;
    case coNotEqual: return compareNumbers(x, a) != 0;
    case coBetween: return compareNumbers(x, a) >= 0 && compareNumbers(x, b) <= 0;
    case coOutside: return compareNumbers(x, a) < 0 || compareNumbers(x, b) > 0;
    case coGreater: return compareNumbers(x, a) > 0;
    case coLess: return compareNumbers(x, a) < 0;
    case coGreaterEqual: return compareNumbers(x, a) >= 0;
    case coLessEqual: return compareNumbers(x, a) <= 0;
    default: return false;
    }
}

bool textHolds(int op, const QString &t, const QString &s, const QString &s2)
{
    switch (op) {
    case coEqual: return t.compare(s, Qt::CaseInsensitive) == 0;
    case coNotEqual: return t != s;
    case coBetween: return s <= t && t <= s2;
    case coOutside: return t < s || t > s2;
    case coGreater: return t > s;
    case coLess: return t < s;
    case coGreaterEqual: return t >= s;
    case coLessEqual: return t <= s;
    case coContains: return t.contains(s, Qt::CaseInsensitive);
    default: return false;
    }
}

std::optional<double> literalDay(const QString &text)
{
    const QString t = text.trimmed();
    for (const QString &format : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("d.M.yyyy"), QStringLiteral("yyyy-MM-dd")}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return dayNumber(d);
    }
    return std::nullopt;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// One pass from left to right: at each word start the longest source that
// is a whole word there is replaced, and the scan goes on after it.
QString replaceWords(const QString &text, QList<std::pair<QString, QString>> pairs)
{
    pairs.erase(std::remove_if(pairs.begin(), pairs.end(),
                               [](const auto &p) {
                                   return p.first.trimmed().isEmpty()
                                       || p.first.compare(p.second, Qt::CaseInsensitive) == 0;
                               }),
                pairs.end());
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool wordStart = i == 0 || !isWordChar(text.at(i - 1));
        bool replaced = false;
        for (const auto &[from, to] : std::as_const(pairs)) {
            const qsizetype end = i + from.size();
            if (end > text.size() || QStringView(text).mid(i, from.size()).compare(from, Qt::CaseInsensitive) != 0)
                continue;
            if (isWordChar(from.front()) && !wordStart)
                continue;
            if (isWordChar(from.back()) && end < text.size() && isWordChar(text.at(end)))
                continue;
            out += to;
            i = end;
            replaced = true;
            break;
        }
        if (!replaced)
            out += text.at(i++);
    }
    return out;
}

} // namespace

QStringList conditionOpNames()
{
    return {QCoreApplication::translate("TCondition", "равно"),
            QCoreApplication::translate("TCondition", "не равно"),
            QCoreApplication::translate("TCondition", "между"),
            QCoreApplication::translate("TCondition", "вне"),
            QCoreApplication::translate("TCondition", "больше"),
            QCoreApplication::translate("TCondition", "меньше"),
            QCoreApplication::translate("TCondition", "больше или равно"),
            QCoreApplication::translate("TCondition", "меньше или равно"),
            QCoreApplication::translate("TCondition", "содержит")};
}

bool TCondition::appliesToColumn(const QString &field) const
{
    return Columns.contains(field, Qt::CaseInsensitive);
}

TFieldKind fieldKindOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Float: case QMetaType::Double: case QMetaType::Bool:
        return TFieldKind::Number;
    case QMetaType::QDate: return TFieldKind::Date;
    case QMetaType::QTime: return TFieldKind::Time;
    case QMetaType::QDateTime: return TFieldKind::DateTime;
    case QMetaType::QString: case QMetaType::QChar: return TFieldKind::Text;
    default: return TFieldKind::Other;
    }
}

double dayNumber(const QVariant &value)
{
    static const QDate base(1899, 12, 30);
    switch (value.metaType().id()) {
    case QMetaType::QDate: return double(base.daysTo(value.toDate()));
    case QMetaType::QTime: return value.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return double(base.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
    }
    default: return value.toDouble();
    }
}

TConditionTester::TConditionTester()
    : m_calc(std::make_unique<korvex::calc::TxFoCal>())
{
    // A misspelt name is a failing formula, never a silent 0.
    m_calc->SetStrictVars(true);
}

TConditionTester::~TConditionTester() = default;

void TConditionTester::setVariables(const QList<TRecordValue> &record)
{
    const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
    m_calc->ClearVariables();
    m_calc->SetVariable(QStringLiteral("dd"), today.day());
    m_calc->SetVariable(QStringLiteral("mm"), today.month());
    m_calc->SetVariable(QStringLiteral("yy"), today.year());
    m_calc->SetVariable(QStringLiteral("yyyy"), today.year());
    for (const TRecordValue &f : record) {
        if (f.kind == TFieldKind::Number || f.kind == TFieldKind::Date || f.kind == TFieldKind::Time
            || f.kind == TFieldKind::DateTime)
            m_calc->SetVariable(f.name, f.value.isNull() ? 0.0 : dayNumber(f.value));
    }
}

std::optional<double> TConditionTester::evaluate(const QString &formula, QString *error)
{
    ++m_evaluations;
    try {
        return m_calc->Evaluate(formula);
    } catch (const korvex::calc::EFoCalError &e) {
        if (error)
            *error = e.message();
        return std::nullopt;
    }
}

bool TConditionTester::holds(const TCondition &rule, const QList<TRecordValue> &record)
{
    const auto field = std::find_if(record.cbegin(), record.cend(), [&](const TRecordValue &f) {
        return f.name.compare(rule.Field, Qt::CaseInsensitive) == 0;
    });
    if (field == record.cend() || rule.Operation >= ConditionOpCount)
        return false;
    const bool twoValues = usesTwoValues(rule.Operation);
    const QVariant &v = field->value;

    if (rule.Formulas && field->kind != TFieldKind::Text) {
        if (rule.Operation == coContains)
            return valueText(v).contains(rule.Value1, Qt::CaseSensitive);
        setVariables(record);
        const std::optional<double> a = evaluate(rule.Value1);
        const std::optional<double> b = twoValues ? evaluate(rule.Value2) : std::optional<double>(0.0);
        // A failing formula gives no number to compare with: the rule does not apply.
        if (!a || !b)
            return false;
        return numericHolds(rule.Operation, v.isNull() ? 0.0 : dayNumber(v), *a, *b);
    }

    // Literal numbers and dates against a field of numbers or dates compare
    // as numbers and dates, not as texts ("9" is less than "10").
    if (rule.Operation != coContains && !v.isNull()) {
        std::optional<double> a, b;
        if (field->kind == TFieldKind::Number) {
            a = korvex::amount::parseNumber(rule.Value1);
            b = twoValues ? korvex::amount::parseNumber(rule.Value2) : std::optional<double>(0.0);
        } else if (field->kind == TFieldKind::Date || field->kind == TFieldKind::DateTime) {
            a = literalDay(rule.Value1);
            b = twoValues ? literalDay(rule.Value2) : std::optional<double>(0.0);
        }
        if (a && b) {
            double x = dayNumber(v);
            if (field->kind == TFieldKind::DateTime)
                x = std::floor(x);
            return numericHolds(rule.Operation, x, *a, *b);
        }
    }
    return textHolds(rule.Operation, valueText(v), rule.Value1, rule.Value2);
}

bool TConditionTester::calculate(TCondition &rule, const QList<TRecordValue> &record, QString *error)
{
    if (!rule.Formulas)
        return true;
    setVariables(record);
    const std::optional<double> a = evaluate(rule.Value1, error);
    if (!a)
        return false;
    rule.Value1Num = *a;
    if (usesTwoValues(rule.Operation)) {
        const std::optional<double> b = evaluate(rule.Value2, error);
        if (!b)
            return false;
        rule.Value2Num = *b;
    }
    return true;
}

QByteArray encodeGridSettings(const TGridSettings &settings)
{
    Writer w;
    w.int32(qint32(settings.Rules.size()));
    for (const TCondition &r : settings.Rules) {
        w.int32(r.Color);
        w.byte(r.UseColor ? 1 : 0);
        w.int32(r.Font.color);
        w.int32(r.Font.size);
        w.text(r.Font.style);
        w.text(r.Font.name);
        w.byte(r.UseFont ? 1 : 0);
        w.text(r.Value1);
        w.text(r.Value2);
        w.byte(r.Operation);
        w.byte(r.Formulas ? 1 : 0);
        w.text(r.Field);
        w.lines(r.Columns);
    }
    w.lines(settings.LineFields);
    return w.result();
}

std::optional<TGridSettings> decodeGridSettings(const QByteArray &block)
{
    Reader r(block);
    TGridSettings s;
    const qint32 count = r.int32();
    // Each rule takes at least 39 bytes: a count beyond that is no block of ours.
    if (!r.ok() || count < 0 || count > r.remaining() / 39 + 1)
        return std::nullopt;
    for (qint32 i = 0; i < count && r.ok(); ++i) {
        TCondition c;
        c.Color = r.int32();
        c.UseColor = r.byte() != 0;
        c.Font.color = r.int32();
        c.Font.size = r.int32();
        c.Font.style = r.text();
        c.Font.name = r.text();
        c.UseFont = r.byte() != 0;
        c.Value1 = r.text();
        c.Value2 = r.text();
        c.Operation = r.byte();
        c.Formulas = r.byte() != 0;
        c.Field = r.text();
        c.Columns = r.lines();
        if (c.Operation >= ConditionOpCount)
            return std::nullopt;
        s.Rules << c;
    }
    // Blocks written before line fields existed end after the rules.
    if (r.ok() && r.remaining() > 0)
        s.LineFields = r.lines();
    if (!r.ok())
        return std::nullopt;
    return s;
}

QString labelsToNames(const QString &text, const QList<TFieldLabel> &fields)
{
    QList<std::pair<QString, QString>> pairs;
    for (const TFieldLabel &f : fields)
        pairs.append({f.label, f.name});
    return replaceWords(text, pairs);
}

QString namesToLabels(const QString &text, const QList<TFieldLabel> &fields)
{
    QList<std::pair<QString, QString>> pairs;
    for (const TFieldLabel &f : fields)
        pairs.append({f.name, f.label});
    return replaceWords(text, pairs);
}

} // namespace korvex::widgets
