#include "xRunningNumber.h"

#include "xParadox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvex::accounting {

namespace {

// Closes the descriptor however the scope is left (the lock goes with it).
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

TxRunningNumber::TxRunningNumber(const QString &workingDir)
    : m_path(QDir(workingDir).filePath(QStringLiteral("balnomer.inf")))
{
}

QString TxRunningNumber::increment(const QString &number)
{
    if (number.isEmpty())
        return first();
    QString n = number;
    for (qsizetype i = n.size() - 1; i >= 0; --i) {
        const char16_t c = n[i].unicode();
        if (c < u'z') {
            char16_t next = char16_t(c + 1);
            if (next == u'\\')
                ++next;
            n[i] = QChar(next);
            return n;
        }
        n[i] = QLatin1Char('@');
    }
    return n;
}

QString TxRunningNumber::next()
{
    const QByteArray path = QFile::encodeName(m_path);
    auto failed = [&](const QString &what) {
        return std::runtime_error(tr("Файл номеров проводок %1: %2")
                                      .arg(QDir::toNativeSeparators(m_path), what)
                                      .toStdString());
    };
    Fd f;
    f.fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    bool created = f.fd >= 0;
    if (!created) {
        if (errno != EEXIST)
            throw failed(QString::fromLocal8Bit(std::strerror(errno)));
        f.fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        if (f.fd < 0)
            throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!TxFileLock::lockDescriptor(f.fd, TimeoutMs))
        throw ERunningNumberBusy(tr("Файл номеров проводок %1 занят другой программой: экспорт прерван")
                                     .arg(QDir::toNativeSeparators(m_path)));

    char buffer[257] = {};
    const ssize_t got = ::pread(f.fd, buffer, 256, 0);
    if (got < 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    // A file made by another program just now but not yet written counts as new.
    const QString last = QString::fromLatin1(buffer, int(strnlen(buffer, size_t(got))));
    const QString number = (created || got == 0) ? first() : increment(last);

    const QByteArray bytes = number.toLatin1() + '\0';
    if (::pwrite(f.fd, bytes.constData(), size_t(bytes.size()), 0) != ssize_t(bytes.size()) || ::fsync(f.fd) != 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    return number;
}

} // namespace korvex::accounting
