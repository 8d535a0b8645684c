#pragma once

#include <QIODevice>
#include <QString>

namespace korvex::documents {

// A file that is written whole or not at all, for every document the program
// writes (RTF, reports, exports, PDF): the bytes go to a temporary file in the
// target's folder, every write is checked, and commit() makes the file
// durable and renames it into place. Without a successful commit (a full
// disk, a file-size limit, an exception on the way) the temporary file is
// removed and an existing file of that name is left as it was.
//
// The target must be a regular file or not exist: a device, a FIFO or a
// folder of that name is refused, never replaced. Once a write has failed,
// every later write and commit() fail too, so a writer that ignores one
// result (QTextStream, QPdfWriter) still cannot commit a truncated file.
class TxSafeFile : public QIODevice
{
    Q_OBJECT
public:
    explicit TxSafeFile(const QString &fileName, QObject *parent = nullptr);
    ~TxSafeFile() override;

    QString fileName() const { return m_fileName; }

    // WriteOnly (Text allowed). False, with errorString(), when the target is
    // not a regular file or the temporary file cannot be created.
    bool open(OpenMode mode) override;
    // False, with errorString(), when the target was refused (not a regular
    // file) rather than merely not creatable; callers need not offer a retry.
    bool targetRefused() const { return m_refused; }

    // Writes the rest, syncs, and renames over the target. False, with
    // errorString(), when any of it failed; the target is then untouched.
    bool commit();
    // Drops what was written; the target is untouched.
    void cancelWriting();

    bool isSequential() const override { return true; }
    void close() override;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    void fail(const QString &what, int error);
    void discard();

    QString m_fileName;   // as given
    QString m_target;     // symbolic links resolved
    QString m_temporary;
    int m_fd = -1;
    bool m_failed = false;
    bool m_refused = false;
};

} // namespace korvex::documents
