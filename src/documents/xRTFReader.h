#pragma once

#include "documents/xRTFErrors.h"

#include <QString>
#include <memory>

class QIODevice;
class QFile;

namespace korvex::documents {

// Serves the tokens of an RTF file, read through a 1000-byte buffer. Carriage
// returns and line feeds are skipped everywhere.
class TxRTFReader
{
public:
    enum Kind { GroupStart, DestinationStart, GroupEnd, ControlWord, Text };

    struct Token {
        Kind kind = Text;
        char word[11] = {};  // control word, at most 10 letters
        int wordLength = 0;
        bool hasParam = false;
        int param = 0;
        unsigned char ch = 0;  // text byte
        bool isWord(const char *w) const;
    };

    static constexpr int BufferSize = 1000;

    // Opens the file; ExRTFReader "File '...' could not be opened" when it is missing.
    // isOpen() tells whether an existing file could be opened.
    explicit TxRTFReader(const QString &fileName);
    // Reads from a device opened by the caller.
    explicit TxRTFReader(QIODevice *device);
    ~TxRTFReader();

    bool isOpen() const { return m_device != nullptr; }
    qint64 size() const { return m_size; }
    qint64 position() const { return m_consumed - (m_end - m_pos) - m_backCount; }

    // The next token; ExRTFReader "Failed to read data from RTF file." past the end.
    void next(Token &token);
    // One byte given by two hexadecimal digits (form-field data, pictures).
    unsigned char readHexByte();
    // The next byte that is not CR or LF, without consuming it; -1 at the end.
    int peek();
    // Skips n raw bytes (\bin); returns them when keep is set.
    QByteArray readBinary(qint64 n, bool keep);

    // Reads what follows the document's last brace: true when a group end is
    // among it (the file has more group ends than starts).
    bool restHasGroupEnd();

    static int hexValue(int c);  // -1 for a non-hex character

private:
    int get();  // next byte that is not CR or LF, -1 at the end
    int getRequired();
    int getRawRequired();  // line ends included
    void unget(int c) { m_back[m_backCount++] = c; }
    bool fill();

    std::unique_ptr<QFile> m_file;
    QIODevice *m_device = nullptr;
    qint64 m_size = 0;
    qint64 m_consumed = 0;
    unsigned char m_buffer[BufferSize];
    int m_pos = 0;
    int m_end = 0;
    int m_back[2] = {};
    int m_backCount = 0;
};

} // namespace korvex::documents
