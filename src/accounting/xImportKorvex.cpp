#include "xImportKorvex.h"

#include "xMakeRegister.h"
#include "xParadox.h"
#include "xRunningNumber.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "widgets/xProgress.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace korvex::db;
using korvex::widgets::TxProgress;
using korvex::widgets::TxProgressGuard;

namespace korvex::accounting {

namespace {

int field(const TxTable &t, const QString &name)
{
    const int i = t.FieldIndex(name);
    if (i < 0)
        throw EParadoxError(EParadoxError::Kind::Io,
                            TxImportKorvex::tr("В таблице %1 нет поля \"%2\"").arg(t.filePath(), name));
    return i;
}

} // namespace

QString checkedTableName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]{0,62}$"));
    const QString n = name.trimmed();
    if (!re.match(n).hasMatch())
        throw EDatabaseError(TxImportKorvex::tr("Недопустимое имя таблицы аналитики: \"%1\"").arg(name));
    return n;
}

bool TChooseAllEntries::choose(TxImportKorvex &import, TImportChoice &choice)
{
    choice.DateBegin = m_begin;
    choice.DateEnd = m_end;
    const QList<TEntryTemplateRow> entries = import.entryList(import.OpType);
    for (const TEntryTemplateRow &e : entries)
        choice.EntryIds << e.Id;
    for (const TRegisterRow &r : import.registerRows(m_begin, m_end, entries))
        choice.Keys.insert(r.Key());
    return true;
}

TxImportKorvex::TxImportKorvex(TxDatabase &db, const TxBookkeepIni &ini, const TOperationAuthor &author)
    : m_db(db), m_ini(ini), m_operation(db, author)
{
}

QList<TEntryTemplateRow> TxImportKorvex::entryList(int opType)
{
    TxQuery q(m_db, QStringLiteral("SELECT ID, DEBIT, CREDIT, DEBITKEY, CREDITKEY, OPTYPE "
                                   "FROM fin_p_operation_entrylist(:OpType)"));
    q.bind(QStringLiteral(":OpType"), opType);
    q.exec();
    QList<TEntryTemplateRow> rows;
    while (q.next())
        rows.append({q.value(0).toInt(), q.value(1).toString().trimmed(), q.value(2).toString().trimmed(),
                     q.value(3).toInt(), q.value(4).toInt(), q.value(5).toInt()});
    return rows;
}

QList<TRegisterRow> TxImportKorvex::registerRows(const QDate &begin, const QDate &end,
                                                 const QList<TEntryTemplateRow> &entries)
{
    QList<TRegisterRow> rows;
    if (entries.isEmpty())
        return rows;
    TxTable t(m_ini.WorkingDir(), QStringLiteral("register.db"));
    t.Open();
    const int fNomPP = field(t, QStringLiteral("NomPP")), fDate = field(t, QStringLiteral("Date")),
              fDebet = field(t, QStringLiteral("Debet")), fKredit = field(t, QStringLiteral("Kredit")),
              fSumma = field(t, QStringLiteral("Summa")), fKauD = field(t, QStringLiteral("KAU debet")),
              fKauK = field(t, QStringLiteral("KAU kredit")), fName = field(t, QStringLiteral("Name operation")),
              fNumber = field(t, QStringLiteral("Number payment")),
              fCurr = field(t, QStringLiteral("Summa in currency"));
    const int fCurrency = t.FieldIndex(QStringLiteral("Currency"));
    for (int r = 0; r < t.RecordCount(); ++r) {
        const TxRecord &rec = t.Record(r);
        const QDate date = t.Value(rec, fDate).toDate();
        if (!date.isValid() || date < begin || date > end)
            continue;
        const QString debet = t.Text(rec, fDebet).trimmed(), kredit = t.Text(rec, fKredit).trimmed();
        bool wanted = false;
        for (const TEntryTemplateRow &e : entries)
            wanted = wanted || (e.Debit == debet && e.Credit == kredit);
        if (!wanted)
            continue;
        TRegisterRow row;
        row.NomPP = t.Text(rec, fNomPP).trimmed();
        row.Date = date;
        row.Debet = debet;
        row.Kredit = kredit;
        row.Summa = t.Value(rec, fSumma).toDouble();
        row.SummaInCurrency = t.Value(rec, fCurr).toDouble();
        row.KauDebet = t.Text(rec, fKauD).trimmed();
        row.KauKredit = t.Text(rec, fKauK).trimmed();
        row.NameOperation = t.Text(rec, fName).trimmed();
        row.NumberPayment = t.Text(rec, fNumber).trimmed();
        if (fCurrency >= 0)
            row.Currency = t.Text(rec, fCurrency).trimmed();
        rows << row;
    }
    return rows;
}

QList<TxImportKorvex::Level> TxImportKorvex::accountLevels(TxAccountLayouts &layouts, const QString &account)
{
    auto it = m_levels.constFind(account);
    if (it != m_levels.constEnd())
        return it.value();
    QList<Level> levels;
    for (int type : layouts.levels(account)) {
        // A reference type without an analysis kind gives the level key 0,
        // whose values are never stored.
        Level level;
        TxQuery q(m_db);
        q.exec(QStringLiteral("SELECT FIRST 1 id, tablename FROM fin_analyzetable WHERE externalkey = ? ORDER BY id"),
               {type});
        if (q.next()) {
            level.analysisKey = q.value(0).toInt();
            level.tableName = q.value(1).toString().trimmed().left(79);
        }
        levels << level;
    }
    m_levels.insert(account, levels);
    return levels;
}

int TxImportKorvex::valueKey(const Level &level, int code)
{
    if (level.analysisKey == 0)
        return -1;
    QVariant v;
    if (!level.tableName.isEmpty())
        v = TxQuery::scalar(m_db,
                            QStringLiteral("SELECT FIRST 1 id FROM %1 WHERE externalkey = ? ORDER BY id")
                                .arg(checkedTableName(level.tableName)),
                            {code});
    else
        v = TxQuery::scalar(m_db,
                            QStringLiteral("SELECT FIRST 1 id FROM fin_antablevalue WHERE externalkey = ? "
                                           "AND analyzekey = ? ORDER BY id"),
                            {code, level.analysisKey});
    return v.isValid() && !v.isNull() ? v.toInt() : -1;
}

void TxImportKorvex::addAnalyses(TxAccountLayouts &layouts, const QString &account, const QString &codes)
{
    if (codes.trimmed().isEmpty())
        return;
    const QList<Level> levels = accountLevels(layouts, account);
    const QList<int> values = TxAccountLayouts::splitCodes(codes, int(levels.size()));
    for (int i = 0; i < levels.size(); ++i) {
        if (values[i] <= 0)
            continue;
        m_operation.Analyzes << QStringLiteral("%1=%2").arg(levels[i].analysisKey).arg(valueKey(levels[i], values[i]));
    }
}

bool TxImportKorvex::ImportOperations(TEntryChooser &chooser, TxProgress *progress)
{
    OperationKeys.clear();
    RefusedCount = 0;
    ReplacedCount = 0;
    m_levels.clear();

    TImportChoice choice;
    if (!chooser.choose(*this, choice))
        return false;

    QList<TEntryTemplateRow> entries;
    for (const TEntryTemplateRow &e : entryList(OpType))
        if (choice.EntryIds.contains(e.Id))
            entries << e;
    const QList<TRegisterRow> rows = registerRows(choice.DateBegin, choice.DateEnd, entries);

    TxAccountLayouts layouts(m_ini);
    QList<int> keys;
    QSet<int> used;
    int refused = 0, replaced = 0;
    TxWriteScope scope(m_db);
    {
        TxProgressGuard guard(progress, tr("Импорт операций"), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            if (guard.stopped())
                return false;
            guard.advance(i + 1);
            const TRegisterRow &row = rows[i];
            if (!choice.Keys.contains(row.Key()))
                continue;
            m_operation.Analyzes.clear();
            addAnalyses(layouts, row.Debet, row.KauDebet);
            addAnalyses(layouts, row.Kredit, row.KauKredit);

            // The operation made from this register entry by an earlier
            // import (entries sharing a number and date pair off in order).
            int earlier = -1;
            {
                TxQuery q(m_db);
                q.exec(QStringLiteral("SELECT operationkey FROM fin_operation WHERE type = ? AND externalkey = ? "
                                      "AND commitdate = ? ORDER BY operationkey"),
                       {OpType, row.NomPP, row.Date});
                while (q.next() && earlier == -1)
                    if (!used.contains(q.value(0).toInt()))
                        earlier = q.value(0).toInt();
            }

            m_operation.Reset();
            m_operation.DateDoc = row.Date.startOfDay();
            m_operation.OperationKey = earlier;
            m_operation.SumNCU = row.Summa;
            m_operation.SumCurr = row.SummaInCurrency;
            m_operation.OpType = OpType;
            m_operation.EntryExtKey = row.NomPP;
            m_operation.Post();
            if (m_operation.Error) {
                ++refused;
                keys << -1;
                continue;
            }
            if (earlier != -1)
                ++replaced;
            used.insert(m_operation.OperationKey);
            keys << m_operation.OperationKey;
        }
    }
    scope.commit();
    OperationKeys = keys;
    RefusedCount = refused;
    ReplacedCount = replaced;
    return true;
}

std::optional<QList<int>> TxImportKorvex::ImportPaymentOperations(int opType, TxProgress *progress)
{
    if (!Chooser)
        return std::nullopt;
    OpType = opType;
    if (!ImportOperations(*Chooser, progress))
        return std::nullopt;
    return OperationKeys;
}

QString TxImportKorvex::translateKau(const QString &items)
{
    QString result;
    QString rest = items;
    qsizetype dot;
    while ((dot = rest.indexOf(QLatin1Char('.'))) >= 0) {
        const QString item = rest.left(dot);
        rest = rest.mid(dot + 1);
        const qsizetype us = item.indexOf(QLatin1Char('_'));
        if (us < 0)
            continue;
        bool okKey = false, okValue = false;
        const int analysisKey = item.left(us).toInt(&okKey);
        const int value = item.mid(us + 1).toInt(&okValue);
        if (!okKey || !okValue)
            continue;
        TxQuery kind(m_db);
        kind.exec(QStringLiteral("SELECT tablename FROM fin_analyzetable WHERE id = ?"), {analysisKey});
        if (!kind.next())
            continue;
        const QString table = kind.value(0).toString().trimmed();
        kind.finish();
        QVariant code;
        if (!table.isEmpty())
            code = TxQuery::scalar(m_db, QStringLiteral("SELECT externalkey FROM %1 WHERE id = ?").arg(checkedTableName(table)),
                                   {value});
        else
            code = TxQuery::scalar(m_db, QStringLiteral("SELECT externalkey FROM fin_antablevalue WHERE id = ? AND analyzekey = ?"),
                                   {value, analysisKey});
        if (!code.isValid())
            continue;
        if (!result.isEmpty())
            result += QLatin1Char('.');
        result += code.toString();
    }
    return result;
}

int TxImportKorvex::ExportOperations(const QDate &begin, const QDate &end, TxProgress *progress)
{
    ExportedCount = 0;
    TxTable newreg(m_ini.WorkingDir(), QStringLiteral("newreg.db"));
    newreg.LockTimeoutMs = FileTimeoutMs;
    newreg.Open(true);
    const int fDate = field(newreg, QStringLiteral("Date")), fNompp = field(newreg, QStringLiteral("Nompp")),
              fDebet = field(newreg, QStringLiteral("Debet")), fKredit = field(newreg, QStringLiteral("Kredit")),
              fKauD = field(newreg, QStringLiteral("KAU debet")), fKauK = field(newreg, QStringLiteral("KAU kredit")),
              fSumma = field(newreg, QStringLiteral("Summa")), fCurr = field(newreg, QStringLiteral("Summa in cur")),
              fName = field(newreg, QStringLiteral("Name operation")),
              fNumber = field(newreg, QStringLiteral("Number payment")),
              fSystem = field(newreg, QStringLiteral("Codesubsystem"));
    const int systemCode = m_ini.SystemCode();

    struct Entry {
        QDate date;
        QString debit, credit, debitKau, creditKau, name;
        double ncu, curr;
        QVariant comment;
    };
    QList<Entry> entries;
    {
        TxQuery q(m_db, QStringLiteral("SELECT * FROM fin_p_entrylist_export(:OpType, :DateBegin, :DateEnd)"));
        q.bind(QStringLiteral(":OpType"), OpType).bind(QStringLiteral(":DateBegin"), begin)
            .bind(QStringLiteral(":DateEnd"), end);
        q.exec();
        const bool hasComment = q.record().indexOf(QStringLiteral("COMMENT")) >= 0;
        while (q.next())
            entries.append({q.value(QStringLiteral("DateEntry")).toDate(), q.value(QStringLiteral("Debit")).toString(),
                            q.value(QStringLiteral("Credit")).toString(), q.value(QStringLiteral("DebitKAU")).toString(),
                            q.value(QStringLiteral("CreditKAU")).toString(), q.value(QStringLiteral("NameOper")).toString(),
                            q.value(QStringLiteral("SumNCU")).toDouble(), q.value(QStringLiteral("SumCurr")).toDouble(),
                            hasComment ? q.value(QStringLiteral("COMMENT")) : QVariant()});
    }

    TxRunningNumber numbers(m_ini.WorkingDir());
    numbers.TimeoutMs = FileTimeoutMs;
    TxProgressGuard guard(progress, tr("Экспорт операций"), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        if (guard.stopped())
            return 0;  // nothing is written
        guard.advance(i + 1);
        const Entry &e = entries[i];
        TxRecord rec = newreg.NewRecord();
        newreg.SetValue(rec, fDate, e.date);
        newreg.SetValue(rec, fNompp, numbers.next());
        newreg.SetText(rec, fDebet, e.debit.trimmed());
        newreg.SetText(rec, fKredit, e.credit.trimmed());
        newreg.SetText(rec, fKauD, translateKau(e.debitKau));
        newreg.SetText(rec, fKauK, translateKau(e.creditKau));
        newreg.SetValue(rec, fSumma, e.ncu);
        newreg.SetValue(rec, fCurr, e.curr);
        newreg.SetText(rec, fName, e.name.trimmed());
        if (e.comment.isValid() && !e.comment.isNull())
            newreg.SetValue(rec, fNumber, e.comment.toString());
        newreg.SetValue(rec, fSystem, systemCode);
        newreg.Append(rec);
    }
    newreg.Save();
    ExportedCount = int(entries.size());
    return ExportedCount;
}

} // namespace korvex::accounting
