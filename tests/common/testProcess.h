#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace korvex::test {

// What a program run left: exit code, standard output and standard error.
struct ProgramRun {
    int code = -1;
    QString out;
    QString err;
};

// Runs a program to its end (two minutes at most), without the Firebird
// account variables of the environment.
inline ProgramRun runProgram(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        return {-1, {}, QStringLiteral("timeout")};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// What is wrong with a failed run of a command that writes a file: it must
// exit 1 with one line on standard error that holds the message, and leave
// no output file. Empty when all is so.
inline QString badFailure(const ProgramRun &r, const QString &message, const QString &outputFile)
{
    if (r.code != 1)
        return QStringLiteral("exit code %1: %2").arg(r.code).arg(r.err);
    if (!r.err.contains(message))
        return QStringLiteral("no \"%1\" in: %2").arg(message, r.err);
    if (!r.err.endsWith(QLatin1Char('\n')) || r.err.count(QLatin1Char('\n')) != 1)
        return QStringLiteral("not one line: ") + r.err;
    if (QFile::exists(outputFile))
        return QStringLiteral("output left: ") + outputFile;
    return {};
}

} // namespace korvex::test
