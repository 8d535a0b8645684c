#include "xOperation.h"

#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "shell/UserLogin.h"

#include <cmath>

using namespace korvex::db;

namespace korvex::accounting {

namespace {

QVariant keyOrNull(int key)
{
    return key == -1 ? QVariant(QMetaType::fromType<int>()) : QVariant(key);
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

} // namespace

TOperationAuthor TOperationAuthor::from(const korvex::shell::TUserLogin *login)
{
    TOperationAuthor a;
    if (login) {
        a.SubSystemKey = login->SubSystemKey > 0 ? login->SubSystemKey : 230;
        a.SessionKey = login->SessionKey > 0 ? login->SessionKey : -1;
        a.UserKey = login->UserKey;
    }
    return a;
}

TxOperation::TxOperation(TxDatabase &db, const TOperationAuthor &author)
    : m_db(db), m_author(author)
{
}

void TxOperation::Reset()
{
    StartTime = QDateTime::currentDateTime();
    Error = false;
    ErrorText.clear();
    OperationKey = -1;
}

TxOperation::Analysis TxOperation::parseAnalysis(const QString &line)
{
    Analysis a;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return a;
    bool ok = false;
    const int key = line.left(eq).trimmed().toInt(&ok);
    a.key = ok ? key : -1;
    const int value = line.mid(eq + 1, 255).trimmed().toInt(&ok);
    a.value = ok ? value : -1;
    return a;
}

void TxOperation::Post()
{
    FinishTime = QDateTime::currentDateTime();
    const qint64 duration = StartTime.isValid() ? StartTime.msecsTo(FinishTime) : 0;

    QList<Analysis> analyses;
    for (const QString &line : Analyzes) {
        const Analysis a = parseAnalysis(line);
        if (a.value != -1)
            analyses << a;
    }

    TxWriteScope scope(m_db);
    TxStoredProc add(m_db, QStringLiteral("fin_p_addoperation"));
    add.setParam(QStringLiteral("CommitDate"), DateDoc.isValid() ? QVariant(DateDoc.date()) : QVariant(QMetaType::fromType<QDate>()));
    add.setParam(QStringLiteral("EnterDate"), QDate::currentDate());
    add.setParam(QStringLiteral("Duration"), int(duration));
    add.setParam(QStringLiteral("SubSystemKey"), m_author.SubSystemKey);
    add.setParam(QStringLiteral("SessionKey"), keyOrNull(m_author.SessionKey));
    add.setParam(QStringLiteral("UserKey"), keyOrNull(m_author.UserKey));
    add.setParam(QStringLiteral("SumNCU"), SumNCU);
    add.setParam(QStringLiteral("SumCurr"), SumCurr);
    add.setParam(QStringLiteral("Curr"), keyOrNull(Curr));
    add.setParam(QStringLiteral("OperationKey"), OperationKey);
    add.setParam(QStringLiteral("OpTypeKey"), OpType);
    add.setParam(QStringLiteral("DocumentKey"), DocumentKey);
    add.setParam(QStringLiteral("EntryExtKey"), textOrNull(EntryExtKey));
    try {
        add.execute();
    } catch (const EDatabaseError &e) {
        // Refused: nothing of this operation is written; the caller counts it.
        Error = true;
        ErrorText = e.message();
        return;
    }
    Error = false;
    OperationKey = add.output(QStringLiteral("OutOperationKey")).toInt();

    writeAnalyses(analyses);
    writeEntries(analyses);
    scope.commit();
}

void TxOperation::writeAnalyses(const QList<Analysis> &analyses)
{
    if (Analyzes.isEmpty())
        return;
    TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_opanalyzeval WHERE operationkey = ?"), {OperationKey});
    TxQuery types(m_db, QStringLiteral("SELECT analyzekey FROM fin_optypeanalyze WHERE optypekey = :t ORDER BY analyzekey"));
    types.bind(QStringLiteral(":t"), OpType);
    types.exec();
    QList<int> listed;
    while (types.next())
        listed << types.value(0).toInt();
    types.finish();
    TxStoredProc insert(m_db, QStringLiteral("fin_p_opanalyzeval_insert"));
    for (int key : listed) {
        for (const Analysis &a : analyses) {
            if (a.key != key)
                continue;
            insert.setParam(QStringLiteral("operationkey"), OperationKey);
            insert.setParam(QStringLiteral("analyzetable"), a.key);
            insert.setParam(QStringLiteral("analyzevalue"), a.value);
            insert.execute();
        }
    }
}

void TxOperation::writeEntries(const QList<Analysis> &analyses)
{
    struct Template {
        int id;
        QVariant debit, credit;
        QString expression, expressionCurr;
    };
    QList<Template> templates;
    {
        TxQuery q(m_db, QStringLiteral("SELECT id, debitid, creditid, expression, expressioncurr "
                                       "FROM fin_entrytype WHERE optypekey = :t ORDER BY id"));
        q.bind(QStringLiteral(":t"), OpType);
        q.exec();
        while (q.next())
            templates.append({q.value(0).toInt(), q.value(1), q.value(2), q.value(3).toString(), q.value(4).toString()});
    }
    if (templates.isEmpty())
        return;

    korvex::calc::TxFoCal calc;
    TxStoredProc append(m_db, QStringLiteral("fin_p_entrylist_append"));
    for (const Template &t : templates) {
        calc.SetVariables(Variables);
        calc.SetVariable(QStringLiteral("SumNCU"), SumNCU);
        calc.SetVariable(QStringLiteral("SumCurr"), SumCurr);
        calc.SetStrictVars(false);
        calc.SetExpression(t.expression);
        const double ncu = calc.Value();
        calc.SetExpression(t.expressionCurr);
        const double curr = calc.Value();

        append.clearParams();
        append.setParam(QStringLiteral("operation"), OperationKey);
        append.setParam(QStringLiteral("debit"), t.debit);
        append.setParam(QStringLiteral("credit"), t.credit);
        append.setParam(QStringLiteral("sumncu"), ncu);
        append.setParam(QStringLiteral("sumcurr"), curr);
        append.setParam(QStringLiteral("curr"), keyOrNull(Curr));
        append.setParam(QStringLiteral("comment"), Comment);
        append.setParam(QStringLiteral("externalkey"), textOrNull(EntryExtKey));
        append.execute();
        const int entryId = append.output(QStringLiteral("EntryId")).toInt();

        if (!Analyzes.isEmpty()) {
            if (!t.debit.isNull())
                writeEntrySide(analyses, entryId, t.debit.toInt(), t.id, 1);
            if (!t.credit.isNull())
                writeEntrySide(analyses, entryId, t.credit.toInt(), t.id, 0);
        }
    }
}

void TxOperation::writeEntrySide(const QList<Analysis> &analyses, int entryId, int account, int entryType, int side)
{
    struct Level {
        int analyzeId, valueId;
    };
    QList<Level> levels;
    {
        TxQuery q(m_db, QStringLiteral("SELECT analyzeid, valueid FROM fin_p_getantypevalue(:a, :t, :s)"));
        q.bind(QStringLiteral(":a"), account).bind(QStringLiteral(":t"), entryType).bind(QStringLiteral(":s"), side);
        q.exec();
        while (q.next())
            levels.append({q.value(0).toInt(), q.value(1).toInt()});
    }
    TxStoredProc insert(m_db, QStringLiteral("fin_p_entryanalyze_insert"));
    auto store = [&](int analysis, int value) {
        insert.setParam(QStringLiteral("entrykey"), entryId);
        insert.setParam(QStringLiteral("analyzetable"), analysis);
        insert.setParam(QStringLiteral("analyzevalue"), value);
        insert.setParam(QStringLiteral("DebitCredit"), side);
        insert.execute();
    };
    for (const Level &l : levels) {
        bool matched = false;
        for (const Analysis &a : analyses) {
            if (a.key != l.analyzeId)
                continue;
            store(a.key, a.value);
            matched = true;
        }
        if (!matched && l.valueId > 0)
            store(l.analyzeId, l.valueId);
    }
}

bool TxOperation::FindByDocument()
{
    const QVariant key = TxQuery::scalar(m_db,
                                         QStringLiteral("SELECT FIRST 1 d.operationkey FROM fin_opdocvalue d "
                                                        "JOIN fin_operation o ON o.operationkey = d.operationkey "
                                                        "WHERE d.optype = ? AND d.documentkey = ? ORDER BY d.operationkey"),
                                         {OpType, DocumentKey});
    OperationKey = key.isValid() && !key.isNull() ? key.toInt() : -1;
    return OperationKey != -1;
}

int TxOperation::DeleteByDocument()
{
    int deleted = 0;
    runInTransaction(m_db, [&] {
        while (FindByDocument()) {
            const QVariantList k{OperationKey};
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_opdocvalue WHERE operationkey = ?"), k);
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_opanalyzeval WHERE operationkey = ?"), k);
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_entryanalyze WHERE entrykey IN "
                                                  "(SELECT id FROM fin_entrylist WHERE operationkey = ?)"), k);
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_entrylist WHERE operationkey = ?"), k);
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_operation WHERE operationkey = ?"), k);
            ++deleted;
        }
    });
    OperationKey = -1;
    return deleted;
}

} // namespace korvex::accounting
