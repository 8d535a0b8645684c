#pragma once

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

} // namespace korvex::test
