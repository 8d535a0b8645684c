#include "xSqlFilter.h"

#include "db/xRowWriter.h"

#include <stdexcept>

namespace korvex::widgets {

namespace {

// Firebird accepts at most 1500 values in one IN list.
constexpr int MaxInList = 1000;

} // namespace

TxSqlFilter::TxSqlFilter(const QString &text, const QVariantList &values)
{
    addList(text, values);
}

TxSqlFilter &TxSqlFilter::addList(const QString &text, const QVariantList &values)
{
    const int marks = countPlaceholders(text);
    if (marks != values.size())
        throw std::invalid_argument(QStringLiteral("SQL piece \"%1\" has %2 placeholders but %3 values")
                                        .arg(text)
                                        .arg(marks)
                                        .arg(values.size())
                                        .toStdString());
    const QString piece = text.trimmed();
    if (piece.isEmpty())
        return *this;
    if (!m_text.isEmpty())
        m_text += QLatin1Char(' ');
    m_text += piece;
    m_values += values;
    return *this;
}

TxSqlFilter &TxSqlFilter::addIn(const QString &conjunction, const QString &column, const QVariantList &keys)
{
    if (keys.isEmpty())
        return addList(conjunction + QStringLiteral(" 1 = 0"), {});
    QStringList groups;
    for (qsizetype start = 0; start < keys.size(); start += MaxInList) {
        const qsizetype n = qMin<qsizetype>(MaxInList, keys.size() - start);
        QStringList marks(n, QStringLiteral("?"));
        groups << column + QStringLiteral(" IN (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    QString condition = groups.join(QStringLiteral(" OR "));
    if (groups.size() > 1)
        condition = QLatin1Char('(') + condition + QLatin1Char(')');
    return addList(conjunction + QLatin1Char(' ') + condition, keys);
}

TxSqlFilter &TxSqlFilter::append(const TxSqlFilter &other)
{
    return addList(other.m_text, other.m_values);
}

int TxSqlFilter::countPlaceholders(const QString &text)
{
    int count = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside is part of the text; scanning on to the
            // next quote handles it as two adjacent quoted pieces.
            const qsizetype end = text.indexOf(c, i + 1);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-')) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('?')) {
            ++count;
        }
    }
    return count;
}

QString TxSqlFilter::identifier(const QString &name)
{
    return korvex::db::sqlIdentifier(name);
}

} // namespace korvex::widgets
