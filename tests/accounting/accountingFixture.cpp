#include "accountingFixture.h"

#include "common/testDatabase.h"
#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"

#include <QDir>
#include <QFile>

using namespace korvex::db;
using namespace korvex::accounting;

namespace korvex::test {

void execAll(TxDatabase &db, const QStringList &statements)
{
    for (const QString &s : statements)
        TxQuery::execute(db, s);
}

int count(TxDatabase &db, const QString &sql, const QVariantList &values)
{
    return TxQuery::scalar(db, sql, values).toInt();
}

void bookkeepingFixture(TxDatabase &db)
{
    execAll(db, {
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind, externalkey) VALUES (1, 'ООО Тест', 1, 501)",
        "INSERT INTO cst_customer (customerkey, name, kind, externalkey) VALUES (2, 'Петров П.П.', 3, 502)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (3, 'ЧУП Новое', 1)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (4, 'Банк', 2)",
        "INSERT INTO rent_service (id, name, priority, externalkey) VALUES (5, 'Аренда', 1, 77)",
        "INSERT INTO rent_service (id, name, priority) VALUES (6, 'Электроэнергия', 2)",
        "INSERT INTO fin_account (id, num, name) VALUES (1, '62', 'Расчеты с покупателями')",
        "INSERT INTO fin_account (id, num, name) VALUES (2, '90', 'Выручка')",
        "INSERT INTO fin_account (id, num, name) VALUES (3, '51', 'Расчетный счет')",
        "INSERT INTO fin_optype (optypekey, name) VALUES (500, 'Реализация услуг')",
        "INSERT INTO fin_optype (optypekey, name) VALUES (501, 'Реализация с НДС')",
        "INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (500, 10)",
        "INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (500, 610)",
        // 62 carries the customer and a fixed invoice type 3; 90 the service.
        "INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey, fixedvalue) VALUES (1, 1, 10, NULL)",
        "INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey, fixedvalue) VALUES (1, 2, 660, 3)",
        "INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey, fixedvalue) VALUES (2, 1, 610, 0)",
        "INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr) "
        "VALUES (1, 500, 1, 2, 'SumNCU', 'SumCurr')",
        "INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr) "
        "VALUES (2, 500, 3, 1, 'SumNCU * RATE / 100', 'NOSUCHNAME + 1')",
        "INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr) "
        "VALUES (3, 501, 1, 2, 'SumNCU', 'SumCurr')",
    });
}

void makeTable(const QString &dir, const QString &name, const QStringList &fields, int keyFields,
               const QList<QStringList> &rows)
{
    QList<TxFieldDef> defs;
    for (const QString &f : fields) {
        const QString fieldName = f.section(QLatin1Char(':'), 0, 0);
        const QString type = f.section(QLatin1Char(':'), 1);
        TxFieldDef d;
        d.name = fieldName;
        switch (type.at(0).toLatin1()) {
        case 'A': d.type = TxFieldType::Alpha; d.size = type.mid(1).toInt(); break;
        case 'D': d.type = TxFieldType::Date; d.size = 4; break;
        case 'S': d.type = TxFieldType::Short; d.size = 2; break;
        case 'I': d.type = TxFieldType::Long; d.size = 4; break;
        case '$': d.type = TxFieldType::Currency; d.size = 8; break;
        case 'N': d.type = TxFieldType::Number; d.size = 8; break;
        default: qFatal("unknown field type %s", qPrintable(type));
        }
        defs << d;
    }
    TxTable::Create(dir, name, defs, keyFields);
    TxTable t(dir, name);
    t.Open(true);
    for (const QStringList &row : rows) {
        TxRecord r = t.NewRecord();
        for (int i = 0; i < row.size(); ++i)
            t.SetText(r, i, row[i]);
        t.Append(r);
    }
    t.Save();
}

CliRun runCli(TestDatabase &t, const QStringList &args)
{
    t.db().close();
    QProcess p;
    p.start(QStringLiteral(KORVEX_CLI_PATH), args + QStringList{t.path()});
    CliRun r;
    if (p.waitForFinished(120000)) {
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
    }
    TxConnectionParams params;
    params.setServerName(t.path());
    t.db().open(params, QStringLiteral("SYSDBA"), QString());
    return r;
}

QString tempPattern(const char *name)
{
    return TestDatabase::tempRoot() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral("-XXXXXX");
}

Bookkeeping::Bookkeeping(int systemCode)
    : dir(tempPattern("bookkeeping"))
{
    QDir().mkpath(main());
    QDir().mkpath(work());
    QFile f(ini());
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("; link\r\n[Other]\r\nCodeSystem=99\r\n[QUILLBOOK]\r\n workbookkeepdir = %1\r\n"
                           "MainBookkeepDir=%2\r\nCodeSystem=%3\r\n")
                .arg(work(), main())
                .arg(systemCode)
                .toUtf8());
}

const QStringList kRegisterFields = {
    "NomPP:A7", "Date:D", "Debet:A6", "Kredit:A6", "Summa:$", "KAU debet:A32", "KAU kredit:A32",
    "Name operation:A100", "Number payment:A12", "Summa in currency:$", "Currency:A3", "DateMake:D",
    "CodeSubSystem:S", "CodeDocument:A32", "ChangeCurCost:$"};

const QStringList kNewRegFields = {
    "Date:D", "Nompp:A7", "Debet:A6", "Kredit:A6", "KAU debet:A32", "KAU kredit:A32", "Summa:$",
    "Summa in cur:$", "Name operation:A100", "Number payment:A12", "Codesubsystem:S"};

void exchangeTables(const Bookkeeping &b)
{
    makeTable(b.main(), QStringLiteral("refkau.db"),
              {"NumSchet:A6", "Level1:S", "Level2:S", "Level3:S", "Level4:S"}, 1,
              {{"62", "1", "10", "0", ""}, {"51", "", "", "", ""}, {"90", "10", "", "", ""}, {"99", "15", "", "", ""}});
    makeTable(b.main(), QStringLiteral("klient.db"), {"KodKAU:I", "Name:A60"}, 1,
              {{"501", "ООО Тест"}, {"502", "Петров П.П."}});
    makeTable(b.main(), QStringLiteral("kauoper.db"), {"Code:I", "Name:A60"}, 1, {{"77", "Аренда"}});
    makeTable(b.work(), QStringLiteral("register.db"), kRegisterFields, 0,
              {{"0000001", "2026-03-10", "51", "62", "150.5", "", "501.77", "Оплата по счету 17", "17", "60.2"},
               {"0000002", "2026-03-11", "51", "62", "99", "", "502", "Оплата", "", "0"},
               {"0000003", "2026-03-12", "51", "90", "5", "", "", "Прочее", "", "0"},
               {"0000004", "2026-04-02", "51", "62", "7", "", "501", "Апрель", "", "0"},
               {"0000002", "2026-03-11", "51", "62", "1", "", "501.999", "Оплата", "", "0"}});
}

void exchangeFixture(TxDatabase &db)
{
    bookkeepingFixture(db);
    execAll(db, {
        "UPDATE fin_analyzetable SET externalkey = 10 WHERE id = 610",
        "INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr) "
        "VALUES (10, 1700, 3, 1, 'SumNCU', 'SumCurr')",
        "INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1700, 10)",
        "INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1700, 610)",
        "INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr) "
        "VALUES (20, 1800, 1, 2, 'SumNCU', 'SumCurr')",
    });
}

} // namespace korvex::test
