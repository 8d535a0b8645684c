#include "accountingFixture.h"

#include "common/testDatabase.h"
#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"

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

} // namespace korvex::test
