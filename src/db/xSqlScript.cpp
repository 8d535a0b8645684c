#include "xSqlScript.h"

#include "xDatabase.h"
#include "xDbError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace korvex::db {

namespace {

bool isDroppedCommand(const QString &stmt)
{
    static const QRegularExpression re(
        QStringLiteral("^(SET\\s+SQL\\s+DIALECT\\b|SET\\s+NAMES\\b|COMMIT(\\s+WORK)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(stmt).hasMatch();
}

} // namespace

QList<TxSqlScript::Statement> TxSqlScript::split(const QString &script)
{
    QList<Statement> out;
    QString term = QStringLiteral(";");
    QString current;
    int line = 1;
    int startLine = 0;
    const qsizetype n = script.size();
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);

    auto flush = [&]() {
        const QString stmt = current.trimmed();
        current.clear();
        const int at = startLine;
        startLine = 0;
        if (stmt.isEmpty())
            return;
        const QRegularExpressionMatch m = setTerm.match(stmt);
        if (m.hasMatch()) {
            term = m.captured(1);
            return;
        }
        if (isDroppedCommand(stmt))
            return;
        out.append({stmt, at});
    };

    qsizetype i = 0;
    while (i < n) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\n'))
            ++line;
        // Line comment.
        if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            qsizetype e = script.indexOf(QLatin1Char('\n'), i);
            if (e < 0)
                e = n;
            if (!current.trimmed().isEmpty())
                current += script.mid(i, e - i);
            i = e;
            continue;
        }
        // Block comment.
        if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
            qsizetype e = script.indexOf(QStringLiteral("*/"), i + 2);
            e = e < 0 ? n : e + 2;
            const QString chunk = script.mid(i, e - i);
            line += int(chunk.count(QLatin1Char('\n')));
            if (!current.trimmed().isEmpty())
                current += chunk;
            i = e;
            continue;
        }
        // Quoted text or identifier: copied whole, terminators inside ignored.
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            if (startLine == 0)
                startLine = line;
            qsizetype e = i + 1;
            while (e < n) {
                if (script.at(e) == c) {
                    if (e + 1 < n && script.at(e + 1) == c) {
                        e += 2;
                        continue;
                    }
                    break;
                }
                ++e;
            }
            e = qMin(e + 1, n);
            const QString chunk = script.mid(i, e - i);
            line += int(chunk.count(QLatin1Char('\n')));
            current += chunk;
            i = e;
            continue;
        }
        if (script.mid(i, term.size()) == term) {
            flush();
            i += term.size();
            continue;
        }
        if (startLine == 0 && !c.isSpace())
            startLine = line;
        current += c;
        ++i;
    }
    flush();
    return out;
}

void TxSqlScript::run(TxDatabase &db, const QString &script, const QString &scriptName)
{
    const QList<Statement> statements = split(script);
    for (const Statement &s : statements) {
        QSqlQuery q(db.sql());
        if (!q.exec(s.text)) {
            const EDatabaseError e = EDatabaseError::fromSqlError(q.lastError(), s.text);
            throw EDatabaseError(QStringLiteral("%1, line %2: %3").arg(scriptName).arg(s.line).arg(e.message()),
                                 e.sqlCode(), s.text);
        }
    }
}

} // namespace korvex::db
