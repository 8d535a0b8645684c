#pragma once

#include "documents/xRTFErrors.h"

#include <QString>
#include <memory>

class QIODevice;

namespace korvex::documents {

struct TxFontRec;
class TxRTFFile;
class TxSafeFile;

// Writes an RTF file through a 1000-byte buffer. The file only replaces an
// existing one when finish() succeeds, so a failed or abandoned write never
// leaves a truncated document behind; a failed write (full disk, file-size
// limit) is ExRTFWriter.
class TxRTFWriter
{
public:
    // Creates the file and writes "{\rtf1". When it cannot be created the user
    // may retry; after Abort isOpen() is false. ExRTFWriter for an empty name
    // and for a name that is not a regular file (a device, a FIFO, a folder).
    explicit TxRTFWriter(const QString &fileName);
    // Writes to an open device (tests, benchmarks, the report engine's streams).
    explicit TxRTFWriter(QIODevice *device);
    ~TxRTFWriter();
    TxRTFWriter(const TxRTFWriter &) = delete;
    TxRTFWriter &operator=(const TxRTFWriter &) = delete;

    bool isOpen() const { return m_device != nullptr; }

    void groupStart() { put('{'); }
    void groupEnd() { put('}'); }
    void word(const char *w);
    void word(const char *w, int number);
    void text(const QString &text);
    void raw(const char *bytes, int length);
    void raw(const char *bytes);
    void newLine() { raw("\r\n", 2); }

    // The character format of a run or paragraph mark, as words.
    void charFormat(const TxRTFFile *document, const TxFontRec &font);

    // Writes the final "}" and closes (commits) the file.
    void finish();

private:
    void put(char c)
    {
        if (m_used == BufferSize)
            flush();
        m_buffer[m_used++] = c;
    }
    void flush();

    static constexpr int BufferSize = 1000;
    std::unique_ptr<TxSafeFile> m_file;
    QIODevice *m_device = nullptr;
    char m_buffer[BufferSize];
    int m_used = 0;
    bool m_finished = false;
};

} // namespace korvex::documents
