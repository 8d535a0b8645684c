#include "xConnectionParams.h"

#include "xDbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace korvex::db {

TxConnectionParams::TxConnectionParams()
    : m_lines(defaultLines())
{
}

QString TxConnectionParams::defaultDatabasePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share");
    return dir + QStringLiteral("/Tarnwell Software/korvex-rent/korvex.fdb");
}

QStringList TxConnectionParams::defaultLines()
{
    return {
        QStringLiteral("SERVER NAME=") + defaultDatabasePath(),
        QStringLiteral("OPEN MODE=READ/WRITE"),
        QStringLiteral("SCHEMA CACHE SIZE=32"),
        QStringLiteral("LANGDRIVER=ancyrr"),
        QStringLiteral("SQLQRYMODE="),
        QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"),
    };
}

QString TxConnectionParams::expandFileName(const QString &fileName)
{
    if (fileName.size() < 2 || fileName.at(0) != QLatin1Char('%'))
        return fileName;
    QString dir;
    switch (fileName.at(1).toUpper().unicode()) {
    case 'D':
        dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                           : QDir::currentPath();
        break;
    case 'S':
    case 'W':
        // The system and Windows directories have one counterpart here: the
        // machine-wide configuration folder.
        dir = QStringLiteral("/etc");
        break;
    case 'T':
        dir = QDir::tempPath();
        break;
    default:
        return fileName;
    }
    QString rest = fileName.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return QDir(dir).filePath(rest);
}

bool TxConnectionParams::loadFromFile(const QString &fileName)
{
    const QString path = expandFileName(fileName);
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EDatabaseError(EDatabaseError::Kind::BadParameters, path,
                             QCoreApplication::translate("TxConnectionParams",
                                                         "Не удается прочитать файл параметров подключения «%1»: %2")
                                 .arg(path, file.errorString()));
    QStringList lines;
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++number;
        if (line.isEmpty())
            continue;
        // Every line is NAME=VALUE; anything else (a stray line, a file that
        // is no parameters file at all) would leave the database unnamed or
        // wrong without a word.
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.left(eq).trimmed().isEmpty())
            throw EDatabaseError(EDatabaseError::Kind::BadParameters, path,
                                 QCoreApplication::translate("TxConnectionParams",
                                                             "Не удается прочитать файл параметров подключения «%1»: "
                                                             "строка %2 «%3» не имеет вида ИМЯ=ЗНАЧЕНИЕ.")
                                     .arg(path)
                                     .arg(number)
                                     .arg(line.left(60)));
        lines << line;
    }
    TxConnectionParams loaded;
    loaded.m_lines = lines;
    if (loaded.serverName().isEmpty())
        throw EDatabaseError(EDatabaseError::Kind::BadParameters, path,
                             QCoreApplication::translate("TxConnectionParams",
                                                         "В файле параметров подключения «%1» нет строки "
                                                         "SERVER NAME=путь к базе данных.")
                                 .arg(path));
    m_lines = lines;
    return true;
}

void TxConnectionParams::saveToFile(const QString &fileName) const
{
    const QString path = expandFileName(fileName);
    QSaveFile file(path);
    QByteArray text;
    for (const QString &line : m_lines)
        text += line.toUtf8() + '\n';  // read back as UTF-8 by loadFromFile
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() || !file.commit())
        throw EDatabaseError(QStringLiteral("Cannot write the connection parameters file %1: %2")
                                 .arg(path, file.errorString()));
}

static qsizetype findLine(const QStringList &lines, const QString &name)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines.at(i).indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? lines.at(i) : lines.at(i).left(eq);
        if (key.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TxConnectionParams::value(const QString &name) const
{
    const qsizetype i = findLine(m_lines, name);
    if (i < 0)
        return {};
    const QString &line = m_lines.at(i);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1).trimmed();
}

void TxConnectionParams::setValue(const QString &name, const QString &value)
{
    const QString line = name + QLatin1Char('=') + value;
    const qsizetype i = findLine(m_lines, name);
    if (i < 0)
        m_lines << line;
    else
        m_lines[i] = line;
}

void TxConnectionParams::remove(const QString &name)
{
    const qsizetype i = findLine(m_lines, name);
    if (i >= 0)
        m_lines.removeAt(i);
}

TxConnectionParams::Target TxConnectionParams::parseServerName(const QString &serverName)
{
    Target t;
    const QString s = serverName.trimmed();
    // host:/path or host/port:/path; a single letter before the colon is a
    // Windows drive, not a host.
    static const QRegularExpression re(QStringLiteral("^([^:/\\\\]{2,})(?:/(\\d+))?:(.+)$"));
    const QRegularExpressionMatch m = re.match(s);
    if (m.hasMatch()) {
        t.host = m.captured(1);
        t.port = m.captured(2).toInt();
        t.path = m.captured(3);
    } else {
        t.path = s;
    }
    return t;
}

} // namespace korvex::db
