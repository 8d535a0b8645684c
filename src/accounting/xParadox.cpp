#include "xParadox.h"

#include "documents/xRTFCodePage.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTime>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

extern "C" {
#include <paradox.h>
}

namespace korvex::accounting {

namespace {

// Paradox counts days from 1 January of the year 1 (day 1).
constexpr qint64 kJulianDayOfDayZero = 1721425;
constexpr qint64 kMsPerDay = 86400000;

using ReverseTable = std::array<unsigned char, 0x10000>;

ReverseTable makeReverse(int codePage)
{
    ReverseTable r{};
    const char16_t *t = korvex::documents::codePageTable(codePage);
    for (int b = 0xFF; b >= 0x80; --b)
        r[t[b - 0x80]] = static_cast<unsigned char>(b);
    return r;
}

QString decode(const QByteArray &bytes, int codePage)
{
    const korvex::documents::TxCodePage cp(codePage);
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes)
        s.append(cp.decode(static_cast<unsigned char>(c)));
    return s;
}

// The nearest plain character for the typographic ones a code page lacks
// (the OEM page has no guillemets or dashes), "?" for anything else.
char fallback(char16_t u)
{
    switch (u) {
    case u'\u00AB': case u'\u00BB': case u'\u201C': case u'\u201D': case u'\u201E': return '"';
    case u'\u2018': case u'\u2019': case u'\u201A': return '\'';
    case u'\u2013': case u'\u2014': case u'\u2212': return '-';
    case u'\u2026': return '.';
    default: return '?';
    }
}

QByteArray encode(const QString &text, const ReverseTable &reverse)
{
    QByteArray b;
    b.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            b.append(char(u));
        else if (reverse[u])
            b.append(char(reverse[u]));
        else
            b.append(fallback(u));
    }
    return b;
}

TxFieldType typeOf(int paradoxType)
{
    switch (paradoxType) {
    case pxfAlpha: return TxFieldType::Alpha;
    case pxfDate: return TxFieldType::Date;
    case pxfShort: return TxFieldType::Short;
    case pxfLong: return TxFieldType::Long;
    case pxfCurrency: return TxFieldType::Currency;
    case pxfNumber: return TxFieldType::Number;
    case pxfLogical: return TxFieldType::Logical;
    case pxfAutoInc: return TxFieldType::AutoInc;
    case pxfTime: return TxFieldType::Time;
    case pxfTimestamp: return TxFieldType::Timestamp;
    default: return TxFieldType::Raw;
    }
}

int paradoxTypeOf(const TxFieldDef &f)
{
    switch (f.type) {
    case TxFieldType::Alpha: return pxfAlpha;
    case TxFieldType::Date: return pxfDate;
    case TxFieldType::Short: return pxfShort;
    case TxFieldType::Long: return pxfLong;
    case TxFieldType::Currency: return pxfCurrency;
    case TxFieldType::Number: return pxfNumber;
    case TxFieldType::Logical: return pxfLogical;
    case TxFieldType::AutoInc: return pxfAutoInc;
    case TxFieldType::Time: return pxfTime;
    case TxFieldType::Timestamp: return pxfTimestamp;
    case TxFieldType::Raw: return f.paradoxType;
    }
    return f.paradoxType;
}

int sizeOf(const TxFieldDef &f)
{
    switch (f.type) {
    case TxFieldType::Short: return 2;
    case TxFieldType::Long: case TxFieldType::Date: case TxFieldType::AutoInc: case TxFieldType::Time: return 4;
    case TxFieldType::Currency: case TxFieldType::Number: case TxFieldType::Timestamp: return 8;
    case TxFieldType::Logical: return 1;
    default: return f.size;
    }
}

bool allZero(const unsigned char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

quint64 readBig(const unsigned char *p, int n)
{
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

void writeBig(unsigned char *p, int n, quint64 v)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(v & 0xFF);
        v >>= 8;
    }
}

double readDouble(const unsigned char *p)
{
    unsigned char b[8];
    std::memcpy(b, p, 8);
    if (b[0] & 0x80)
        b[0] &= 0x7F;
    else
        for (unsigned char &c : b)
            c = static_cast<unsigned char>(~c);
    const quint64 bits = readBig(b, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void writeDouble(unsigned char *p, double d)
{
    if (d == 0)
        d = 0;  // no negative zero
    quint64 bits;
    std::memcpy(&bits, &d, 8);
    writeBig(p, 8, bits);
    if (p[0] & 0x80)
        for (int i = 0; i < 8; ++i)
            p[i] = static_cast<unsigned char>(~p[i]);
    else
        p[0] |= 0x80;
}

QVariant decodeField(const TxFieldDef &f, const unsigned char *p)
{
    const int n = sizeOf(f);
    if (f.type == TxFieldType::Raw)
        return allZero(p, n) ? QVariant() : QVariant(QByteArray(reinterpret_cast<const char *>(p), n));
    if (allZero(p, n))
        return {};
    switch (f.type) {
    case TxFieldType::Alpha: {
        const char *c = reinterpret_cast<const char *>(p);
        return QByteArray(c, int(strnlen(c, size_t(n))));
    }
    case TxFieldType::Short:
        return int(qint16(quint16(readBig(p, 2) ^ 0x8000)));
    case TxFieldType::Long:
    case TxFieldType::AutoInc:
        return int(qint32(quint32(readBig(p, 4) ^ 0x80000000u)));
    case TxFieldType::Date:
        return QDate::fromJulianDay(qint32(quint32(readBig(p, 4) ^ 0x80000000u)) + kJulianDayOfDayZero);
    case TxFieldType::Time:
        return QTime::fromMSecsSinceStartOfDay(qint32(quint32(readBig(p, 4) ^ 0x80000000u)));
    case TxFieldType::Currency:
    case TxFieldType::Number:
        return readDouble(p);
    case TxFieldType::Timestamp: {
        const qint64 ms = qint64(readDouble(p));
        return QDateTime(QDate::fromJulianDay(ms / kMsPerDay + kJulianDayOfDayZero),
                         QTime::fromMSecsSinceStartOfDay(int(ms % kMsPerDay)));
    }
    case TxFieldType::Logical:
        return bool(p[0] & 0x7F);
    case TxFieldType::Raw:
        break;
    }
    return {};
}

void encodeField(const TxFieldDef &f, const QVariant &v, unsigned char *p)
{
    const int n = sizeOf(f);
    std::memset(p, 0, size_t(n));
    if (!v.isValid() || v.isNull())
        return;
    switch (f.type) {
    case TxFieldType::Alpha:
    case TxFieldType::Raw: {
        const QByteArray b = v.toByteArray();
        std::memcpy(p, b.constData(), size_t(std::min<qsizetype>(b.size(), n)));
        return;
    }
    case TxFieldType::Short:
        writeBig(p, 2, quint16(qint16(v.toInt())) ^ 0x8000);
        return;
    case TxFieldType::Long:
    case TxFieldType::AutoInc:
        writeBig(p, 4, quint32(qint32(v.toInt())) ^ 0x80000000u);
        return;
    case TxFieldType::Date:
        writeBig(p, 4, quint32(qint32(v.toDate().toJulianDay() - kJulianDayOfDayZero)) ^ 0x80000000u);
        return;
    case TxFieldType::Time:
        writeBig(p, 4, quint32(qint32(v.toTime().msecsSinceStartOfDay())) ^ 0x80000000u);
        return;
    case TxFieldType::Currency:
    case TxFieldType::Number:
        writeDouble(p, v.toDouble());
        return;
    case TxFieldType::Timestamp: {
        const QDateTime dt = v.toDateTime();
        writeDouble(p, double((dt.date().toJulianDay() - kJulianDayOfDayZero) * kMsPerDay
                              + dt.time().msecsSinceStartOfDay()));
        return;
    }
    case TxFieldType::Logical:
        p[0] = v.toBool() ? 0x81 : 0x80;
        return;
    }
}

struct PxErrors {
    QString text;
};

void pxError(pxdoc_t *, int type, const char *msg, void *data)
{
    if (type == PX_Warning)
        return;
    auto *e = static_cast<PxErrors *>(data);
    if (!e->text.isEmpty())
        e->text += QLatin1String("; ");
    e->text += QString::fromLocal8Bit(msg);
}

// One pxlib document, freed however the scope is left.
struct PxDoc {
    PxErrors errors;
    pxdoc_t *doc = nullptr;
    PxDoc() { doc = PX_new3(pxError, nullptr, nullptr, nullptr, &errors); }
    ~PxDoc()
    {
        if (doc) {
            PX_close(doc);
            PX_delete(doc);
        }
    }
};

int compareValues(const TxFieldDef &f, const QVariant &a, const QVariant &b)
{
    const bool na = !a.isValid() || a.isNull(), nb = !b.isValid() || b.isNull();
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (f.type) {
    case TxFieldType::Alpha:
    case TxFieldType::Raw: {
        const int c = a.toByteArray().compare(b.toByteArray());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case TxFieldType::Date: return a.toDate() < b.toDate() ? -1 : (b.toDate() < a.toDate() ? 1 : 0);
    case TxFieldType::Time: return a.toTime() < b.toTime() ? -1 : (b.toTime() < a.toTime() ? 1 : 0);
    case TxFieldType::Timestamp:
        return a.toDateTime() < b.toDateTime() ? -1 : (b.toDateTime() < a.toDateTime() ? 1 : 0);
    default: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    }
}

} // namespace

EParadoxError::EParadoxError(Kind kind, const QString &message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message)
{
}

QString decodeOem(const QByteArray &bytes)
{
    return decode(bytes, 866);
}

QByteArray encodeOem(const QString &text)
{
    static const ReverseTable reverse = makeReverse(866);
    return encode(text, reverse);
}

QString decodeAnsi(const QByteArray &bytes)
{
    return decode(bytes, 1251);
}

QByteArray encodeAnsi(const QString &text)
{
    static const ReverseTable reverse = makeReverse(1251);
    return encode(text, reverse);
}

// ------------------------------------------------------------------ lock

TxFileLock::~TxFileLock()
{
    unlock();
}

bool TxFileLock::lockDescriptor(int fd, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (timer.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(std::min<qint64>(50, std::max<qint64>(1, timeoutMs - timer.elapsed())));
    }
}

bool TxFileLock::lock(const QString &path, int timeoutMs)
{
    unlock();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!lockDescriptor(fd, timeoutMs)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void TxFileLock::unlock()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

// ----------------------------------------------------------------- table

TxTable::TxTable(const QString &directory, const QString &tableName, bool useOemFormat)
    : DatabaseName(directory), TableName(tableName), UseOEMFormat(useOemFormat)
{
}

TxTable::~TxTable() = default;

QString TxTable::filePath() const
{
    QString name = TableName;
    if (!name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name += QLatin1String(".db");
    const QDir dir(DatabaseName);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    // The bookkeeping system's names are case-blind.
    const QStringList entries = dir.entryList(QDir::Files);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    return exact;
}

bool TxTable::exists() const
{
    return QFileInfo::exists(filePath());
}

void TxTable::Open(bool forWriting)
{
    Close();
    m_path = filePath();
    if (forWriting) {
        const QString lockPath = m_path.left(m_path.size() - 3) + QLatin1String(".lck");
        if (!m_lock.lock(lockPath, LockTimeoutMs))
            throw EParadoxError(EParadoxError::Kind::Locked,
                                tr("Таблица %1 занята другой программой").arg(QDir::toNativeSeparators(m_path)));
    }
    if (!QFileInfo::exists(m_path)) {
        m_lock.unlock();
        throw EParadoxError(EParadoxError::Kind::Io, tr("Таблица %1 не найдена").arg(QDir::toNativeSeparators(m_path)));
    }

    PxDoc px;
    if (!px.doc || PX_open_file(px.doc, QFile::encodeName(m_path).constData()) < 0) {
        m_lock.unlock();
        throw EParadoxError(EParadoxError::Kind::Io, tr("Таблица %1 не открывается: %2")
                                                         .arg(QDir::toNativeSeparators(m_path), px.errors.text));
    }
    const int nf = PX_get_num_fields(px.doc);
    const pxfield_t *pf = PX_get_fields(px.doc);
    QList<TxFieldDef> fields;
    QList<int> offsets;
    int offset = 0;
    for (int i = 0; i < nf; ++i) {
        TxFieldDef f;
        f.name = QString::fromLatin1(pf[i].px_fname);
        f.paradoxType = pf[i].px_ftype;
        f.type = typeOf(pf[i].px_ftype);
        f.size = pf[i].px_flen;
        f.decimals = pf[i].px_fdc;
        fields << f;
        offsets << offset;
        offset += pf[i].px_flen;
    }
    const int recordSize = PX_get_recordsize(px.doc);
    QByteArray buffer(std::max(recordSize, offset), '\0');
    QList<TxRecord> records;
    const int n = PX_get_num_records(px.doc);
    for (int r = 0; r < n; ++r) {
        if (!PX_get_record(px.doc, r, buffer.data())) {
            m_lock.unlock();
            throw EParadoxError(EParadoxError::Kind::Io, tr("Таблица %1 повреждена: %2")
                                                             .arg(QDir::toNativeSeparators(m_path), px.errors.text));
        }
        TxRecord rec;
        for (int i = 0; i < nf; ++i)
            rec.values << decodeField(fields[i], reinterpret_cast<const unsigned char *>(buffer.constData()) + offsets[i]);
        records << rec;
    }
    m_fields = fields;
    m_records = records;
    m_keyFields = std::clamp(px.doc->px_head->px_primarykeyfields, 0, int(nf));
    m_codePage = px.doc->px_head->px_doscodepage;
    m_modified = false;
    m_active = true;
}

void TxTable::Close()
{
    m_active = false;
    m_fields.clear();
    m_records.clear();
    m_modified = false;
    m_lock.unlock();
}

int TxTable::FieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TxRecord TxTable::NewRecord() const
{
    TxRecord r;
    for (int i = 0; i < m_fields.size(); ++i)
        r.values << QVariant();
    return r;
}

void TxTable::checkField(int field) const
{
    if (field < 0 || field >= m_fields.size())
        throw EParadoxError(EParadoxError::Kind::Value, tr("В таблице %1 нет поля %2").arg(TableName).arg(field));
}

QString TxTable::Text(const TxRecord &record, int field) const
{
    checkField(field);
    const QVariant v = record.values.value(field);
    if (!v.isValid() || v.isNull())
        return {};
    const TxFieldDef &f = m_fields[field];
    switch (f.type) {
    case TxFieldType::Alpha:
        return UseOEMFormat ? decodeOem(v.toByteArray()) : decodeAnsi(v.toByteArray());
    case TxFieldType::Date:
        return v.toDate().toString(Qt::ISODate);
    case TxFieldType::Currency:
    case TxFieldType::Number:
        return QString::number(v.toDouble(), 'g', 15);
    case TxFieldType::Logical:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TxFieldType::Raw:
        return {};
    default:
        return v.toString();
    }
}

void TxTable::SetText(TxRecord &record, int field, const QString &text) const
{
    checkField(field);
    if (text.size() >= 256)
        throw EParadoxError(EParadoxError::Kind::Value, QStringLiteral("Field value too long"));
    const TxFieldDef &f = m_fields[field];
    QVariant v;
    const QString t = text.trimmed();
    if (f.type == TxFieldType::Alpha) {
        const QByteArray b = UseOEMFormat ? encodeOem(text) : encodeAnsi(text);
        if (!b.isEmpty())
            v = b.left(f.size);
    } else if (!t.isEmpty()) {
        bool ok = true;
        switch (f.type) {
        case TxFieldType::Date: {
            QDate d = QDate::fromString(t, Qt::ISODate);
            if (!d.isValid())
                d = QDate::fromString(t, QStringLiteral("dd.MM.yyyy"));
            ok = d.isValid();
            v = d;
            break;
        }
        case TxFieldType::Short:
        case TxFieldType::Long:
        case TxFieldType::AutoInc:
            v = t.toInt(&ok);
            break;
        case TxFieldType::Currency:
        case TxFieldType::Number:
            v = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            break;
        case TxFieldType::Logical:
            v = t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1");
            break;
        default:
            ok = false;
            break;
        }
        if (!ok)
            throw EParadoxError(EParadoxError::Kind::Value,
                                tr("Значение \"%1\" не подходит для поля %2").arg(text, f.name));
    }
    record.values[field] = v;
}

QVariant TxTable::Value(const TxRecord &record, int field) const
{
    checkField(field);
    const QVariant v = record.values.value(field);
    if (m_fields[field].type == TxFieldType::Alpha && v.isValid())
        return decodeAnsi(v.toByteArray());
    return v;
}

void TxTable::SetValue(TxRecord &record, int field, const QVariant &value) const
{
    checkField(field);
    if (m_fields[field].type == TxFieldType::Alpha && value.isValid() && !value.isNull()) {
        const QByteArray b = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : encodeAnsi(value.toString());
        record.values[field] = b.isEmpty() ? QVariant() : QVariant(b.left(m_fields[field].size));
    } else {
        record.values[field] = value;
    }
}

int TxTable::compareKeys(const TxRecord &a, const TxRecord &b) const
{
    for (int i = 0; i < m_keyFields; ++i) {
        const int c = compareValues(m_fields[i], a.values.value(i), b.values.value(i));
        if (c)
            return c;
    }
    return 0;
}

int TxTable::FindKey(const QVariantList &key) const
{
    TxRecord probe = NewRecord();
    const int n = std::min<int>(int(key.size()), std::max(m_keyFields, 1));
    for (int i = 0; i < n; ++i)
        SetValue(probe, i, key[i]);
    for (int r = 0; r < m_records.size(); ++r) {
        bool same = true;
        for (int i = 0; i < n && same; ++i)
            same = compareValues(m_fields[i], m_records[r].values.value(i), probe.values.value(i)) == 0;
        if (same)
            return r;
    }
    return -1;
}

QList<int> TxTable::KeyOrder() const
{
    QList<int> order;
    for (int r = 0; r < m_records.size(); ++r)
        order << r;
    if (m_keyFields > 0)
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return compareKeys(m_records[a], m_records[b]) < 0; });
    return order;
}

void TxTable::checkKey(const TxRecord &record, int exceptRow) const
{
    if (m_keyFields <= 0)
        return;
    for (int r = 0; r < m_records.size(); ++r)
        if (r != exceptRow && compareKeys(m_records[r], record) == 0)
            throw EParadoxError(EParadoxError::Kind::KeyViolation, QStringLiteral("Key violation"));
}

void TxTable::Append(const TxRecord &record)
{
    checkKey(record, -1);
    TxRecord r = record;
    while (r.values.size() < m_fields.size())
        r.values << QVariant();
    m_records << r;
    m_modified = true;
}

void TxTable::Update(int row, const TxRecord &record)
{
    checkKey(record, row);
    m_records[row] = record;
    m_modified = true;
}

void TxTable::Delete(int row)
{
    m_records.removeAt(row);
    m_modified = true;
}

void TxTable::Empty()
{
    if (!m_records.isEmpty())
        m_modified = true;
    m_records.clear();
}

void TxTable::Save()
{
    if (!m_active || !Writable())
        throw EParadoxError(EParadoxError::Kind::Io, tr("Таблица %1 открыта только для чтения").arg(TableName));
    if (!m_modified)
        return;
    QList<TxRecord> ordered;
    for (int r : KeyOrder())
        ordered << m_records[r];
    writeFile(m_path, QFileInfo(m_path).completeBaseName(), m_fields, m_keyFields, ordered, m_codePage);
    m_records = ordered;
    m_modified = false;
}

void TxTable::Create(const QString &directory, const QString &tableName, const QList<TxFieldDef> &fields,
                     int keyFields, const QList<TxRecord> &records, int codePage)
{
    TxTable t(directory, tableName);
    const QString path = t.filePath();
    writeFile(path, QFileInfo(path).completeBaseName(), fields, keyFields, records, codePage);
}

void TxTable::writeFile(const QString &path, const QString &tableName, const QList<TxFieldDef> &fields,
                        int keyFields, const QList<TxRecord> &records, int codePage)
{
    const QString temp = path + QStringLiteral(".new%1").arg(QCoreApplication::applicationPid());
    QFile::remove(temp);
    auto fail = [&](const QString &why) {
        QFile::remove(temp);
        throw EParadoxError(EParadoxError::Kind::Io,
                            tr("Таблица %1 не записана: %2").arg(QDir::toNativeSeparators(path), why));
    };
    {
        PxDoc px;
        if (!px.doc)
            fail(QStringLiteral("out of memory"));
        const int nf = int(fields.size());
        auto *pf = static_cast<pxfield_t *>(px.doc->malloc(px.doc, sizeof(pxfield_t) * size_t(nf), "fields"));
        QList<int> offsets;
        int recordSize = 0;
        for (int i = 0; i < nf; ++i) {
            const QByteArray name = fields[i].name.toLatin1();
            pf[i].px_fname = static_cast<char *>(px.doc->malloc(px.doc, size_t(name.size() + 1), "name"));
            std::memcpy(pf[i].px_fname, name.constData(), size_t(name.size() + 1));
            pf[i].px_ftype = char(paradoxTypeOf(fields[i]));
            pf[i].px_flen = sizeOf(fields[i]);
            pf[i].px_fdc = fields[i].decimals;
            offsets << recordSize;
            recordSize += pf[i].px_flen;
        }
        if (PX_create_file(px.doc, pf, nf, QFile::encodeName(temp).constData(),
                           keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB)
            < 0)
            fail(px.errors.text);
        PX_set_parameter(px.doc, "tablename", tableName.toLatin1().constData());
        if (keyFields > 0)
            PX_set_value(px.doc, "numprimkeys", float(keyFields));
        if (codePage > 0)
            PX_set_value(px.doc, "codepage", float(codePage));
        QByteArray buffer(recordSize, '\0');
        for (const TxRecord &rec : records) {
            buffer.fill('\0');
            for (int i = 0; i < nf; ++i)
                encodeField(fields[i], rec.values.value(i), reinterpret_cast<unsigned char *>(buffer.data()) + offsets[i]);
            if (PX_put_record(px.doc, buffer.data()) < 0)
                fail(px.errors.text);
        }
        if (!px.errors.text.isEmpty())
            fail(px.errors.text);
    }  // closed: pxlib writes its header here
    {
        const int fd = ::open(QFile::encodeName(temp).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            if (fd >= 0)
                ::close(fd);
            fail(QString::fromLocal8Bit(std::strerror(errno)));
        }
        ::close(fd);
    }
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace korvex::accounting
