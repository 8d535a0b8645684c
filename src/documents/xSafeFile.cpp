#include "xSafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex::documents {

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Past a file-size limit the system kills the writing process with SIGXFSZ
// unless it is ignored; ignored, the write fails with EFBIG and the program
// reports it like a full disk.
void ignoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

} // namespace

TxSafeFile::TxSafeFile(const QString &fileName, QObject *parent)
    : QIODevice(parent), m_fileName(fileName)
{
}

TxSafeFile::~TxSafeFile()
{
    discard();
}

void TxSafeFile::fail(const QString &what, int error)
{
    m_failed = true;
    setErrorString(error ? QStringLiteral("%1: %2").arg(what, reason(error)) : what);
}

void TxSafeFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
}

bool TxSafeFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ReadOnly) || !(mode & WriteOnly) || (mode & Append)) {
        setErrorString(QStringLiteral("A safe file is only opened for writing anew."));
        return false;
    }
    ignoreFileSizeSignal();
    m_failed = false;
    m_refused = false;
    if (m_fileName.isEmpty()) {
        setErrorString(QStringLiteral("No file name given."));
        return false;
    }

    // The file written is the one a symbolic link points at.
    const QFileInfo given(m_fileName);
    m_target = given.absoluteFilePath();
    if (given.isSymLink()) {
        const QString canonical = given.canonicalFilePath();
        m_target = canonical.isEmpty() ? given.symLinkTarget() : canonical;
    }
    struct stat st{};
    const bool exists = ::stat(QFile::encodeName(m_target).constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        m_refused = true;
        setErrorString(QStringLiteral("'%1' is not a regular file.").arg(m_fileName));
        return false;
    }

    const QFileInfo target(m_target);
    const QString prefix = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".tmp-");
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary = prefix + QString::number(QRandomGenerator::system()->generate64(), 36);
        m_fd = ::open(QFile::encodeName(m_temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      exists ? (st.st_mode & 0777) : 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int e = errno;
        m_temporary.clear();
        setErrorString(QStringLiteral("Cannot create a file in %1: %2").arg(target.absolutePath(), reason(e)));
        return false;
    }
    // A replaced file keeps its permissions (the creation mode went through umask).
    if (exists)
        ::fchmod(m_fd, st.st_mode & 07777);
    return QIODevice::open(mode | Unbuffered);
}

qint64 TxSafeFile::writeData(const char *data, qint64 length)
{
    if (m_failed || m_fd < 0)
        return -1;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, size_t(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(QStringLiteral("Cannot write %1").arg(m_fileName), n < 0 ? errno : ENOSPC);
            return -1;
        }
        done += n;
    }
    return done;
}

bool TxSafeFile::commit()
{
    if (!isOpen() || m_fd < 0) {
        setErrorString(QStringLiteral("The file %1 is not open.").arg(m_fileName));
        return false;
    }
    QIODevice::close();
    if (!m_failed && ::fsync(m_fd) != 0)
        fail(QStringLiteral("Cannot write %1").arg(m_fileName), errno);
    if (!m_failed) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(QStringLiteral("Cannot write %1").arg(m_fileName), errno);
    }
    if (!m_failed
        && ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QStringLiteral("Cannot replace %1").arg(m_fileName), errno);
    if (m_failed) {
        discard();
        return false;
    }
    m_temporary.clear();
    // The new name is durable with its folder.
    const int dir = ::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void TxSafeFile::cancelWriting()
{
    QIODevice::close();
    discard();
}

void TxSafeFile::close()
{
    // Closing without commit() is abandoning: nothing half-written remains.
    cancelWriting();
}

} // namespace korvex::documents
