#include "xRTFReader.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace korvex::documents {

namespace {
const QString kReadFailed = QStringLiteral("Failed to read data from RTF file.");
}

bool TxRTFReader::Token::isWord(const char *w) const
{
    return kind == ControlWord && std::strcmp(word, w) == 0;
}

TxRTFReader::TxRTFReader(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        throw ExRTFReader(QStringLiteral("File '%1' could not be opened").arg(fileName));
    m_file = std::make_unique<QFile>(fileName);
    if (m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_device = m_file.get();
        m_size = m_file->size();
    }
}

TxRTFReader::TxRTFReader(QIODevice *device)
    : m_device(device), m_size(device->size())
{
}

TxRTFReader::~TxRTFReader() = default;

int TxRTFReader::hexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool TxRTFReader::fill()
{
    if (!m_device)
        return false;
    const qint64 n = m_device->read(reinterpret_cast<char *>(m_buffer), BufferSize);
    if (n <= 0)
        return false;
    m_pos = 0;
    m_end = int(n);
    m_consumed += n;
    return true;
}

inline int TxRTFReader::get()
{
    if (m_backCount > 0)
        return m_back[--m_backCount];
    for (;;) {
        if (m_pos >= m_end && !fill())
            return -1;
        const unsigned char c = m_buffer[m_pos++];
        if (c != '\r' && c != '\n')
            return c;
    }
}

int TxRTFReader::getRawRequired()
{
    if (m_backCount > 0)
        return m_back[--m_backCount];
    if (m_pos >= m_end && !fill())
        throw ExRTFReader(kReadFailed);
    return m_buffer[m_pos++];
}

int TxRTFReader::getRequired()
{
    const int c = get();
    if (c < 0)
        throw ExRTFReader(kReadFailed);
    return c;
}

int TxRTFReader::peek()
{
    const int c = get();
    if (c >= 0)
        unget(c);
    return c;
}

unsigned char TxRTFReader::readHexByte()
{
    const int h = hexValue(getRequired());
    const int l = h < 0 ? -1 : hexValue(getRequired());
    if (h < 0 || l < 0)
        throw ExRTFReader(QStringLiteral("Can not convert non hex to byte."));
    return static_cast<unsigned char>(h * 16 + l);
}

QByteArray TxRTFReader::readBinary(qint64 n, bool keep)
{
    // Raw bytes: line ends count here, unlike everywhere else.
    QByteArray out;
    while (m_backCount > 0 && n > 0) {
        const char c = char(m_back[--m_backCount]);
        if (keep)
            out.append(c);
        --n;
    }
    if (keep)
        out.reserve(int(qMin<qint64>(n, m_size)));
    while (n > 0) {
        if (m_pos >= m_end && !fill())
            throw ExRTFReader(kReadFailed);
        const int take = int(qMin<qint64>(n, m_end - m_pos));
        if (keep)
            out.append(reinterpret_cast<const char *>(m_buffer + m_pos), take);
        m_pos += take;
        n -= take;
    }
    return out;
}

bool TxRTFReader::restHasGroupEnd()
{
    for (int c = get(); c >= 0; c = get())
        if (c == '}')
            return true;
    return false;
}

static inline bool isWordLetter(int c)
{
    return (c >= 'a' && c <= 'z') || c == 'W';
}

void TxRTFReader::next(Token &t)
{
    int c = getRequired();
    switch (c) {
    case '{': {
        const int c2 = get();
        if (c2 == '\\') {
            const int c3 = get();
            if (c3 == '*') {
                t.kind = DestinationStart;
                return;
            }
            if (c3 >= 0)
                unget(c3);
        }
        if (c2 >= 0)
            unget(c2);
        t.kind = GroupStart;
        return;
    }
    case '}':
        t.kind = GroupEnd;
        return;
    case '\\':
        break;
    default:
        t.kind = Text;
        t.ch = static_cast<unsigned char>(c);
        return;
    }

    c = getRequired();
    if (isWordLetter(c)) {
        // A line end right after a word is its delimiter (writers wrap lines
        // there); a blank after it is then text.
        int n = 0;
        while (isWordLetter(c)) {
            if (n < 10)
                t.word[n++] = char(c);
            c = getRawRequired();
        }
        t.word[n] = 0;
        t.wordLength = n;
        t.kind = ControlWord;
        t.hasParam = false;
        t.param = 0;
        if (c == '-' || (c >= '0' && c <= '9')) {
            char digits[11];
            int d = 0;
            do {
                if (d < 10)
                    digits[d++] = char(c);
                c = getRawRequired();
            } while (c >= '0' && c <= '9');
            digits[d] = 0;
            qint64 v = 0;
            const bool negative = digits[0] == '-';
            for (int i = negative ? 1 : 0; i < d; ++i)
                v = v * 10 + (digits[i] - '0');
            if (negative)
                v = -v;
            t.hasParam = true;
            t.param = int(qBound(qint64(INT_MIN), v, qint64(INT_MAX)));
        }
        if (c != ' ' && c != '\r' && c != '\n')
            unget(c);
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        t.kind = Text;
        t.ch = static_cast<unsigned char>(c);
        return;
    }
    if (c == '\'') {
        t.kind = Text;
        t.ch = readHexByte();
        return;
    }
    // A control symbol: reported as a one-letter word without letters' meaning.
    t.kind = ControlWord;
    t.word[0] = char(c);
    t.word[1] = 0;
    t.wordLength = 1;
    t.hasParam = false;
    t.param = 0;
}

} // namespace korvex::documents
