#include "xReportData.h"

#include "xReport.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace korvex::documents {

TxReportDataSource::~TxReportDataSource() = default;

QString TxReportDataSource::displayText(int, double value) const
{
    return reportText::numberText(value);
}

namespace {

// The kind of a value of this type; blobs are told apart by the caller.
TxReportDataSource::FieldKind kindOfType(int typeId)
{
    switch (typeId) {
    case QMetaType::Double:
    case QMetaType::Float:
        return TxReportDataSource::Float;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return TxReportDataSource::Integer;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return TxReportDataSource::Date;
    case QMetaType::QByteArray:
        return TxReportDataSource::Graphic;
    default:
        return TxReportDataSource::Text;
    }
}

} // namespace

QString reportValueText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (kindOfType(value.typeId())) {
    case TxReportDataSource::Float:
        return reportText::numberText(value.toDouble());
    case TxReportDataSource::Date:
        if (value.typeId() == QMetaType::QTime)
            return QLocale().toString(value.toTime(), QLocale::LongFormat);
        if (value.typeId() == QMetaType::QDateTime && value.toDateTime().time() != QTime(0, 0))
            return QLocale().toString(value.toDate(), QLocale::ShortFormat) + QLatin1Char(' ')
                + QLocale().toString(value.toDateTime().time(), QLocale::LongFormat);
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case TxReportDataSource::Graphic:
        return {};  // pictures and other binary data have no text
    default:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return value.toString();
    }
}

// ---------------------------------------------------------------------------

TxListReportDataSource::TxListReportDataSource(const QStringList &fields, QList<QVariantList> rows)
    : m_fields(fields)
    , m_rows(std::move(rows))
{
    first();
}

void TxListReportDataSource::first()
{
    m_current = 0;
    m_eof = m_rows.isEmpty();
}

void TxListReportDataSource::next()
{
    if (m_current + 1 < m_rows.size())
        ++m_current;
    else
        m_eof = true;
}

int TxListReportDataSource::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TxReportDataSource::FieldKind TxListReportDataSource::fieldKind(int field) const
{
    for (const QVariantList &row : m_rows) {
        const QVariant v = row.value(field);
        if (!v.isNull())
            return kindOfType(v.typeId());
    }
    return Text;
}

QString TxListReportDataSource::fieldText(int field) const
{
    if (m_current >= m_rows.size())
        return {};
    return reportValueText(m_rows.at(m_current).value(field));
}

void TxListReportDataSource::gotoBookmark(const QVariant &bookmark)
{
    m_current = std::clamp(bookmark.toInt(), 0, std::max(0, int(m_rows.size()) - 1));
    m_eof = m_rows.isEmpty();
}

// ---------------------------------------------------------------------------

TxSqlReportDataSource::TxSqlReportDataSource(QSqlQuery query)
    : m_query(std::move(query))
{
    // Rewinding and the record count need the rows kept.
    if (!m_query.isActive())
        m_query.setForwardOnly(false);
}

TxSqlReportDataSource::~TxSqlReportDataSource() = default;

namespace {

// Skips blanks, comments; false at the end.
qsizetype skipSpace(const QString &s, qsizetype i)
{
    for (;;) {
        while (i < s.size() && s[i].isSpace())
            ++i;
        if (s.mid(i, 2) == QLatin1String("--")) {
            const qsizetype nl = s.indexOf(QLatin1Char('\n'), i);
            i = nl < 0 ? s.size() : nl + 1;
        } else if (s.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return -1;  // an unclosed comment hides the rest
            i = end + 2;
        } else {
            return i;
        }
    }
}

} // namespace

bool TxSqlReportDataSource::isSingleSelect(const QString &sql)
{
    qsizetype i = skipSpace(sql, 0);
    if (i < 0 || i >= sql.size())
        return false;
    qsizetype w = i;
    while (w < sql.size() && (sql[w].isLetter() || sql[w] == QLatin1Char('_')))
        ++w;
    const QString first = sql.mid(i, w - i).toUpper();
    if (first != QLatin1String("SELECT") && first != QLatin1String("WITH"))
        return false;
    // Nothing may follow a ";" but blanks and comments.
    for (i = w; i < sql.size();) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = sql.indexOf(c, i + 1);
            if (close < 0)
                return false;
            i = close + 1;
        } else if (sql.mid(i, 2) == QLatin1String("--") || sql.mid(i, 2) == QLatin1String("/*")) {
            i = skipSpace(sql, i);
            if (i < 0)
                return false;
        } else if (c == QLatin1Char(';')) {
            const qsizetype rest = skipSpace(sql, i + 1);
            return rest == sql.size();
        } else {
            ++i;
        }
    }
    return true;
}

std::unique_ptr<TxSqlReportDataSource> TxSqlReportDataSource::fromSelect(korvex::db::TxDatabase &db,
                                                                          const QString &sql,
                                                                          const QVariantList &values)
{
    if (!isSingleSelect(sql))
        throw ExReport(QCoreApplication::translate("TxReport", "Only a single SELECT statement can fill a report: %1")
                           .arg(sql.simplified()));
    QString text = sql.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    QSqlQuery query(db.sql());
    query.setForwardOnly(false);
    if (!query.prepare(text))
        throw korvex::db::EDatabaseError::fromSqlError(query.lastError(), text);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    return std::make_unique<TxSqlReportDataSource>(query);
}

void TxSqlReportDataSource::setDisplayFormat(const QString &field, const QString &pattern)
{
    m_pendingFormats.insert(field.toLower(), pattern);
    if (m_fieldsRead)
        readFields();
}

void TxSqlReportDataSource::open()
{
    if (!m_query.isActive()) {
        if (!m_query.exec())
            throw korvex::db::EDatabaseError::fromSqlError(m_query.lastError(), m_query.lastQuery());
        m_count = -1;
    }
    readFields();
    if (!m_query.isValid())
        first();
}

void TxSqlReportDataSource::readFields()
{
    const QSqlRecord rec = m_query.record();
    m_index.clear();
    m_kinds.clear();
    m_displayFormats.clear();
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        m_index.insert(f.name().toLower(), i);
        FieldKind kind = kindOfType(f.metaType().id());
        // The driver gives every blob as bytes; a text blob carries the
        // connection character set's bytes per character.
        if (kind == Graphic && f.precision() > 0)
            kind = Memo;
        m_kinds.append(kind);
        const auto format = m_pendingFormats.constFind(f.name().toLower());
        if (format != m_pendingFormats.constEnd())
            m_displayFormats.insert(i, format.value());
    }
    m_fieldsRead = true;
}

bool TxSqlReportDataSource::isEmpty()
{
    return recordCount() == 0;
}

int TxSqlReportDataSource::recordCount()
{
    if (!m_query.isActive())
        return 0;
    if (m_count < 0) {
        const int at = m_query.at();
        if (m_query.isForwardOnly()) {
            // Counting would use the rows up: the count is unknown, the set not empty.
            return m_query.isValid() ? 1 : 0;
        }
        m_count = m_query.last() ? m_query.at() + 1 : 0;
        if (at >= 0)
            m_query.seek(at);
        else
            m_query.first();
    }
    return m_count;
}

void TxSqlReportDataSource::first()
{
    m_eof = !m_query.first();
}

void TxSqlReportDataSource::next()
{
    if (m_eof)
        return;
    if (!m_query.next()) {
        m_eof = true;
        // The last record stays current, as footers after the rows read it.
        if (!m_query.isForwardOnly())
            m_query.last();
    }
}

int TxSqlReportDataSource::fieldIndex(const QString &name) const
{
    if (!m_fieldsRead)
        const_cast<TxSqlReportDataSource *>(this)->readFields();
    return m_index.value(name.toLower(), -1);
}

TxReportDataSource::FieldKind TxSqlReportDataSource::fieldKind(int field) const
{
    return m_kinds.value(field, Text);
}

QString TxSqlReportDataSource::fieldText(int field) const
{
    if (!m_query.isValid())
        return {};
    const QVariant v = m_query.value(field);
    if (m_kinds.value(field) == Memo) {
        // A memo prints as one line. Text blobs arrive as UTF-8 bytes (the
        // connection's character set).
        const QString text = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
        return text.split(lineEnd).join(QLatin1Char(' '));
    }
    return reportValueText(v);
}

QString TxSqlReportDataSource::displayText(int field, double value) const
{
    const QString pattern = m_displayFormats.value(field);
    if (!pattern.isEmpty())
        return reportText::formatFloat(pattern, value);
    if (m_kinds.value(field) == Integer && value == std::trunc(value) && std::fabs(value) < 9e15)
        return QString::number(qint64(value));
    return reportText::numberText(value);
}

QImage TxSqlReportDataSource::picture(int field) const
{
    if (!m_query.isValid())
        return {};
    QImage image;
    image.loadFromData(m_query.value(field).toByteArray());
    return image;
}

QVariant TxSqlReportDataSource::bookmark() const
{
    return m_query.at();
}

void TxSqlReportDataSource::gotoBookmark(const QVariant &bookmark)
{
    const int at = bookmark.toInt();
    if (at >= 0 && !m_query.isForwardOnly()) {
        m_query.seek(at);
        m_eof = false;
    }
}

} // namespace korvex::documents
