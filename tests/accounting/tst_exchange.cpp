#include "accountingFixture.h"
#include "common/testDatabase.h"
#include "common/testMain.h"

#include "accounting/xBookkeepIni.h"
#include "accounting/xImportKorvex.h"
#include "accounting/xMakeRegister.h"
#include "accounting/xOperation.h"
#include "accounting/xParadox.h"
#include "accounting/xRunningNumber.h"
#include "accounting/xSyncCustomer.h"
#include "db/xDbError.h"
#include "db/xQuery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::db;
using namespace korvex::accounting;
using namespace korvex::test;

namespace {

QString analyses(TxDatabase &db, int operationKey)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT LIST(analyzekey || '=' || analyzevalue, ' ') FROM "
                                              "(SELECT * FROM fin_opanalyzeval WHERE operationkey = ? ORDER BY analyzekey)"),
                           {operationKey})
        .toString();
}

} // namespace

// The bookkeeping files themselves: code pages, the table layer and locks.
class ParadoxTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oemRoundTrip()
    {
        const QString text = QStringLiteral("Счёт №5: ЁЖИК ёжик – «ok»");
        const QByteArray oem = encodeOem(QStringLiteral("АПЯапяЁё"));
        QCOMPARE(oem, QByteArray("\x80\x8F\x9F\xA0\xAF\xEF\xF0\xF1"));
        QCOMPARE(decodeOem(encodeOem(QStringLiteral("Привет, мир! Ёё"))), QStringLiteral("Привет, мир! Ёё"));
        QCOMPARE(decodeAnsi(encodeAnsi(text)), text);
        QCOMPARE(encodeAnsi(QStringLiteral("Я")), QByteArray("\xDF"));
        // What the OEM page lacks becomes the nearest plain character.
        QCOMPARE(decodeOem(encodeOem(QStringLiteral("«Ромашка» – №1 ☺"))), QStringLiteral("\"Ромашка\" - №1 ?"));

        // Texts reach the file in OEM; reading the value itself skips the conversion.
        QTemporaryDir dir(tempPattern("paradox"));
        makeTable(dir.path(), QStringLiteral("names.db"), {"Key:I", "Name:A40", "Day:D", "Sum:$", "Count:S"}, 1,
                  {{"2", "Привет, мир! Ёё", "2026-02-28", "-12.75", "-3"}, {"1", "", "", "", ""}});
        TxTable t(dir.path(), QStringLiteral("NAMES"));
        t.Open();
        QCOMPARE(t.RecordCount(), 2);
        QCOMPARE(t.KeyFieldCount(), 1);
        QCOMPARE(t.Text(0, 0), QStringLiteral("1"));  // written in key order
        QCOMPARE(t.Text(1, 1), QStringLiteral("Привет, мир! Ёё"));
        QCOMPARE(t.Record(1).values[1].toByteArray(), encodeOem(QStringLiteral("Привет, мир! Ёё")));
        QCOMPARE(t.Value(t.Record(1), 1).toString(), decodeAnsi(encodeOem(QStringLiteral("Привет, мир! Ёё"))));
        QCOMPARE(t.Value(t.Record(1), 2).toDate(), QDate(2026, 2, 28));
        QCOMPARE(t.Value(t.Record(1), 3).toDouble(), -12.75);
        QCOMPARE(t.Value(t.Record(1), 4).toInt(), -3);
        QVERIFY(t.Value(t.Record(0), 2).isNull());
        QCOMPARE(t.Text(0, 1), QString());
    }

    void writingRules()
    {
        QTemporaryDir dir(tempPattern("paradox"));
        makeTable(dir.path(), QStringLiteral("t.db"), {"Key:I", "Name:A10"}, 1, {{"1", "a"}});
        TxTable t(dir.path(), QStringLiteral("t.db"));
        t.Open();
        TxRecord r = t.NewRecord();
        QVERIFY_THROWS_EXCEPTION(EParadoxError, t.Save());  // opened for reading
        t.Open(true);
        try {
            t.SetText(r, 1, QString(256, QLatin1Char('x')));
            QFAIL("a text of 256 characters was taken");
        } catch (const EParadoxError &e) {
            QCOMPARE(e.message(), QStringLiteral("Field value too long"));
        }
        t.SetText(r, 1, QStringLiteral("длинное имя клиента"));
        QCOMPARE(t.Text(r, 1), QStringLiteral("длинное им"));  // cut to the field
        t.SetValue(r, 0, 1);
        try {
            t.Append(r);
            QFAIL("a taken key was taken again");
        } catch (const EParadoxError &e) {
            QCOMPARE(e.kind(), EParadoxError::Kind::KeyViolation);
        }
        // Unsaved changes never reach the file; a second writer waits for the lock.
        t.SetValue(r, 0, 2);
        t.Append(r);
        TxTable other(dir.path(), QStringLiteral("t.db"));
        other.LockTimeoutMs = 200;
        QElapsedTimer timer;
        timer.start();
        try {
            other.Open(true);
            QFAIL("two writers at once");
        } catch (const EParadoxError &e) {
            QCOMPARE(e.kind(), EParadoxError::Kind::Locked);
        }
        QVERIFY(timer.elapsed() >= 200);
        other.Open();
        QCOMPARE(other.RecordCount(), 1);
        t.Save();
        t.Close();
        other.Open(true);
        QCOMPARE(other.RecordCount(), 2);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.new*")}, QDir::Files), QStringList{});
    }
};

class ExchangeTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        exchangeFixture(db());
    }
    void cleanupTestCase() { m_t.reset(); }
    void cleanup() { QVERIFY(!db().inTransaction()); }

    void iniName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("ini");
        QTest::newRow("extension") << "C:/Korvex/rent.exe" << "C:/Korvex/rent.ini";
        QTest::newRow("dotted folder") << "/opt/korvex-2.1/korvex-rent" << "/opt/korvex-2.1/korvex-rent.ini";
        QTest::newRow("dotted name") << "/opt/v1.2/korvex.rent.exe" << "/opt/v1.2/korvex.rent.ini";
    }
    void iniName()
    {
        QFETCH(QString, program);
        QFETCH(QString, ini);
        QCOMPARE(TxBookkeepIni::iniPathFor(program), ini);
    }

    void iniSettings()
    {
        Bookkeeping b(12);
        TxBookkeepIni ini(b.ini());
        QCOMPARE(ini.WorkingDir(), b.work());
        QCOMPARE(ini.MainDir(), b.main());
        QCOMPARE(ini.SystemCode(), 12);
        ini.SetTypeReferency(2);
        QCOMPARE(ini.ReferencyDir(), b.work());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, ini.SetTypeReferency(15));
        QCOMPARE(ini.TypeReferency(), 2);
        TxBookkeepIni missing(b.dir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(missing.SystemCode(), -1);
        QCOMPARE(missing.MainDir(), QString());
    }

    void runningNumber_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("first") << "@@@@@@@" << "@@@@@@A";
        QTest::newRow("Z") << "@@@@@@Z" << "@@@@@@[";
        QTest::newRow("skips backslash") << "@@@@@@[" << "@@@@@@]";
        QTest::newRow("carry") << "@@@@@@z" << "@@@@@A@";
        QTest::newRow("wraps") << "zzzzzzz" << "@@@@@@@";
        QTest::newRow("long") << "@@@@@@@@z" << "@@@@@@@A@";
        QTest::newRow("empty") << "" << "@@@@@@@";
    }
    void runningNumber()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QCOMPARE(TxRunningNumber::increment(from), to);
    }

    // The file starts at "@@@@@@@"; a file held too long by the bookkeeping
    // system issues no number.
    void runningNumberFile()
    {
        QTemporaryDir dir(tempPattern("numbers"));
        TxRunningNumber numbers(dir.path());
        QCOMPARE(numbers.next(), QStringLiteral("@@@@@@@"));
        QFile f(numbers.fileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("@@@@@@@\0", 8));
        f.close();
        QCOMPARE(numbers.next(), QStringLiteral("@@@@@@A"));
        QCOMPARE(numbers.next(), QStringLiteral("@@@@@@B"));

        TxFileLock held;
        QVERIFY(held.lock(numbers.fileName(), 0));
        numbers.TimeoutMs = 150;
        QVERIFY_THROWS_EXCEPTION(ERunningNumberBusy, numbers.next());
        held.unlock();
        QCOMPARE(numbers.next(), QStringLiteral("@@@@@@C"));
    }

    // The register's rows of the period on the chosen entries become
    // operations with the analyses of the accounts' levels; importing them
    // again replaces those operations.
    void importRegister()
    {
        Bookkeeping b;
        exchangeTables(b);
        TxBookkeepIni ini(b.ini());
        TxImportKorvex import(db(), ini);
        import.OpType = 1700;
        TChooseAllEntries all(QDate(2026, 3, 1), QDate(2026, 3, 31));
        QVERIFY(import.ImportOperations(all));
        QCOMPARE(import.OperationKeys.size(), 3);
        QCOMPARE(import.RefusedCount, 0);
        QCOMPARE(analyses(db(), import.OperationKeys[0]), QStringLiteral("10=1 610=5"));
        QCOMPARE(analyses(db(), import.OperationKeys[1]), QStringLiteral("10=2"));
        QCOMPARE(analyses(db(), import.OperationKeys[2]), QStringLiteral("10=1"));  // unknown service code
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT commitdate, sumncu, sumcurr, externalkey FROM fin_operation WHERE operationkey = ?"),
               {import.OperationKeys[0]});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDate(), QDate(2026, 3, 10));
        QCOMPARE(q.value(1).toDouble(), 150.5);
        QCOMPARE(q.value(2).toDouble(), 60.2);
        QCOMPARE(q.value(3).toString(), QStringLiteral("0000001"));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entrylist WHERE externalkey = '0000001'")), 1);

        const QList<int> first = import.OperationKeys;
        QVERIFY(import.ImportOperations(all));
        QCOMPARE(import.OperationKeys, first);
        QCOMPARE(import.ReplacedCount, 3);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1700")), 3);

        // The chooser's texts: the names of the values of the account's levels.
        TxMakeRegister names(ini);
        QCOMPARE(names.AnalyzeText(QStringLiteral("62"), QStringLiteral("501.77")), QStringLiteral("ООО Тест; Аренда"));
        QCOMPARE(names.AnalyzeText(QStringLiteral("51"), QStringLiteral("501")), QString());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, names.AnalyzeText(QStringLiteral("99"), QStringLiteral("1")));
        TxBookkeepIni unlinked(b.dir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(TxMakeRegister(unlinked).AnalyzeText(QStringLiteral("62"), QStringLiteral("501.77")), QString());
    }

    // A failure in the middle of an import leaves none of its operations.
    void importRollsBack()
    {
        Bookkeeping b;
        exchangeTables(b);
        makeTable(b.work(), QStringLiteral("register.db"), kRegisterFields, 0,
                  {{"0000101", "2026-05-10", "51", "62", "10", "", "", "Без аналитики", "", "0"},
                   {"0000102", "2026-05-11", "51", "62", "20", "", "501.77", "Со счетом", "", "0"}});
        TxBookkeepIni ini(b.ini());
        const int before = count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation"));
        execAll(db(), {"UPDATE fin_analyzetable SET tablename = 'rent_service; DROP' WHERE id = 610"});
        TxImportKorvex import(db(), ini);
        import.OpType = 1700;
        TChooseAllEntries all(QDate(2026, 5, 1), QDate(2026, 5, 31));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, import.ImportOperations(all));
        execAll(db(), {"UPDATE fin_analyzetable SET tablename = 'rent_service' WHERE id = 610"});
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation")), before);
        QVERIFY(import.OperationKeys.isEmpty());
        QVERIFY(import.ImportOperations(all));
        QCOMPARE(import.OperationKeys.size(), 2);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation")), before + 2);
        TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE fin_p_deleteoperation(1700, '2026-05-01', '2026-05-31', 0)"));
    }

    // The export appends to what the bookkeeping system has not read yet,
    // with running numbers and the analyses in its codes.
    void exportAppends()
    {
        Bookkeeping b;
        exchangeTables(b);
        makeTable(b.work(), QStringLiteral("newreg.db"), kNewRegFields, 0,
                  {{"2026-01-01", "waiting", "62", "90", "", "", "1", "1", "Не прочитано", "", "7"}});
        TxBookkeepIni ini(b.ini());
        execAll(db(), {"INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey) VALUES (2, 2, 10)"});
        TxOperation op(db());
        op.Reset();
        op.OpType = 1800;
        op.DateDoc = QDate(2026, 3, 15).startOfDay();
        op.SumNCU = 300;
        op.SumCurr = 100;
        op.Comment = QStringLiteral("17");
        op.Analyzes = {QStringLiteral("10=1"), QStringLiteral("610=5")};
        op.Post();
        op.Reset();
        op.DateDoc = QDate(2026, 4, 15).startOfDay();
        op.Post();

        TxImportKorvex engine(db(), ini);
        engine.OpType = 1800;
        QCOMPARE(engine.translateKau(QStringLiteral("999_1.10_1.610_5.")), QStringLiteral("501.77"));
        QCOMPARE(engine.ExportOperations(QDate(2026, 3, 1), QDate(2026, 3, 31)), 1);
        TxTable t(b.work(), QStringLiteral("newreg.db"));
        t.Open();
        QCOMPARE(t.RecordCount(), 2);
        QCOMPARE(t.Text(0, 1), QStringLiteral("waiting"));
        QCOMPARE(t.Value(t.Record(1), 0).toDate(), QDate(2026, 3, 15));
        QCOMPARE(t.Text(1, 1), QStringLiteral("@@@@@@@"));
        QCOMPARE(t.Text(1, 2), QStringLiteral("62"));
        QCOMPARE(t.Text(1, 4), QStringLiteral("501"));     // 62: customer (the fixed invoice type has no code)
        QCOMPARE(t.Text(1, 5), QStringLiteral("77.501"));  // 90: service, customer
        QCOMPARE(t.Value(t.Record(1), 6).toDouble(), 300.0);
        QCOMPARE(t.Text(1, 8), QStringLiteral("Операции для экспорта в бухгалтерию"));
        QCOMPARE(t.Record(1).values[8].toByteArray(), encodeOem(QStringLiteral("Операции для экспорта в бухгалтерию")));
        QCOMPARE(t.Text(1, 9), QStringLiteral("17"));
        QCOMPARE(t.Value(t.Record(1), 10).toInt(), 7);
        t.Close();

        // Held number file: the export stops with a message and adds nothing.
        TxFileLock held;
        QVERIFY(held.lock(TxRunningNumber(b.work()).fileName(), 0));
        engine.FileTimeoutMs = 150;
        try {
            engine.ExportOperations(QDate(2026, 3, 1), QDate(2026, 4, 30));
            QFAIL("exported without a running number");
        } catch (const ERunningNumberBusy &e) {
            QVERIFY(e.message().contains(QStringLiteral("экспорт прерван")));
        }
        held.unlock();
        t.Open();
        QCOMPARE(t.RecordCount(), 2);
        t.Close();
        QCOMPARE(engine.ExportOperations(QDate(2026, 3, 1), QDate(2026, 4, 30)), 2);
        t.Open();
        QCOMPARE(t.RecordCount(), 4);
        QCOMPARE(t.Text(3, 1), QStringLiteral("@@@@@@B"));
        t.Close();
        TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE fin_p_deleteoperation(1800, '2026-03-01', '2026-03-31', 0)"));
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE type = 1800")), 1);
    }

    // The same engines from the command line.
    void commandLine()
    {
        Bookkeeping b;
        exchangeTables(b);
        makeTable(b.work(), QStringLiteral("newreg.db"), kNewRegFields, 0, {});
        CliRun r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("import"), QStringLiteral("--type"),
                                 QStringLiteral("1700"), QStringLiteral("--from"), QStringLiteral("2026-03-01"),
                                 QStringLiteral("--to"), QStringLiteral("2026-03-31"), QStringLiteral("--ini"), b.ini()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 3);
        QVERIFY2(r.err.contains(QStringLiteral("Imported 3 operations")), qPrintable(r.err));
        r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("export"), QStringLiteral("--type"),
                          QStringLiteral("1700"), QStringLiteral("--from"), QStringLiteral("2026-03-01"),
                          QStringLiteral("--to"), QStringLiteral("2026-03-31"), QStringLiteral("--ini"), b.ini()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Exported 3 entries")), qPrintable(r.err));
        r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("export"), QStringLiteral("--type"),
                          QStringLiteral("1700"), QStringLiteral("--from"), QStringLiteral("31.03.2026"),
                          QStringLiteral("--to"), QStringLiteral("2026-03-31"), QStringLiteral("--ini"), b.ini()});
        QCOMPARE(r.code, 1);
    }
};

class CustomerSyncTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    // klient.db of the program's layout: 501 an enterprise known to the
    // directory, 600 a private person it does not know yet.
    static void clientTable(const Bookkeeping &b)
    {
        QList<TxRecord> rows;
        TxTable::Create(b.main(), QStringLiteral("klient.db"), TxSyncCustomer::clientTableFields(), 1);
        TxTable t(b.main(), QStringLiteral("klient.db"));
        t.Open(true);
        auto add = [&](const QStringList &values) {
            TxRecord r = t.NewRecord();
            for (int i = 0; i < values.size(); ++i)
                t.SetText(r, t.FieldIndex(values[i].section(QLatin1Char('='), 0, 0)), values[i].section(QLatin1Char('='), 1));
            t.Append(r);
        };
        add({"KodKAU=501", "name=ООО \"Ромашка\"", "kind=1", "director=Иванов И.И.", "unn=190000001"});
        add({"KodKAU=600", "name=Сидоров С.С.", "kind=3", "lastname=Сидоров", "firstname=Семен", "psprtdate=2001-02-03"});
        t.Save();
    }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        bookkeepingFixture(db());
    }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        m_t.reset();
    }

    // Clients become customers by their code: a known one is updated, an
    // unknown one added; taking over again adds nobody.
    void takeOver()
    {
        Bookkeeping b;
        clientTable(b);
        TxBookkeepIni ini(b.ini());
        {
            TxSyncCustomer sync(db(), ini);
            sync.TakeOverCustomers();
            QVERIFY(sync.LastSummary().Opened);
            QCOMPARE(sync.LastSummary().Done, 2);
            QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT name FROM cst_customer WHERE customerkey = 1")).toString(),
                     QStringLiteral("ООО \"Ромашка\""));
            QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT director FROM cst_factory WHERE customerkey = 1")).toString(),
                     QStringLiteral("Иванов И.И."));
            TxQuery q(db());
            q.exec(QStringLiteral("SELECT c.kind, p.lastname, p.psprtdate FROM cst_customer c JOIN cst_person p "
                                  "ON p.customerkey = c.customerkey WHERE c.externalkey = 600"));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 3);
            QCOMPARE(q.value(1).toString(), QStringLiteral("Сидоров"));
            QCOMPARE(q.value(2).toDate(), QDate(2001, 2, 3));
            q.finish();
            const int customers = count(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer"));
            sync.TakeOverCustomers();
            QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer")), customers);
        }  // one synchronisation per program at a time

        // Without the link nothing is opened or changed.
        TxBookkeepIni unlinked(b.dir.filePath(QStringLiteral("none.ini")));
        TxSyncCustomer idle(db(), unlinked);
        idle.TakeOverCustomers();
        QVERIFY(!idle.LastSummary().Opened);
    }

    // A customer without a code takes the next one; when the bookkeeping
    // system took that code meanwhile, the next free one. A customer whose
    // code is missing from the table is appended under it, a known one
    // edited in place; banks are never sent.
    void transferWithCodeClash()
    {
        Bookkeeping b;
        clientTable(b);
        execAll(db(), {"UPDATE cst_customer SET externalkey = 700 WHERE customerkey = 2"});
        TxBookkeepIni ini(b.ini());
        TxSyncCustomer sync(db(), ini);
        bool clashed = false;
        sync.BeforeClientAppend = [&](TxTable &clients, int code) {
            if (clashed)
                return;
            clashed = true;
            QCOMPARE(code, 701);
            TxRecord r = clients.NewRecord();
            clients.SetValue(r, 0, code);
            clients.SetText(r, 1, QStringLiteral("Чужой клиент"));
            clients.Append(r);
        };
        sync.TransferCustomers(false);
        QVERIFY(clashed);
        QCOMPARE(sync.LastSummary().Done, 3);
        QCOMPARE(sync.LastSummary().Recoded, 1);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT externalkey FROM cst_customer WHERE customerkey = 3")).toInt(), 702);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT externalkey FROM cst_customer WHERE customerkey = 2")).toInt(), 700);
        QVERIFY(TxQuery::scalar(db(), QStringLiteral("SELECT externalkey FROM cst_customer WHERE customerkey = 4")).isNull());

        TxTable t(b.main(), QStringLiteral("klient.db"));
        t.Open();
        QStringList codes;
        for (int r = 0; r < t.RecordCount(); ++r)
            codes << t.Text(r, 0) + QLatin1Char(' ') + t.Text(r, 1);
        QCOMPARE(codes, (QStringList{"501 ООО Тест", "600 Сидоров С.С.", "700 Петров П.П.", "701 Чужой клиент",
                                     "702 ЧУП Новое"}));
        QCOMPARE(t.Record(0).values[1].toByteArray(), encodeOem(QStringLiteral("ООО Тест")));
        t.Close();

        // Only customers without a code: nobody is left. One customer alone
        // is edited in place; an unknown one writes nothing.
        sync.TransferCustomers(true);
        QCOMPARE(sync.LastSummary().Done, 0);
        execAll(db(), {"UPDATE cst_customer SET name = 'ЧУП Новое имя' WHERE customerkey = 3"});
        QVERIFY(sync.TransferCustomer(3));
        QVERIFY(!sync.TransferCustomer(9999));
        t.Open();
        QCOMPARE(t.RecordCount(), 5);
        QCOMPARE(t.Text(t.FindKey({702}), 1), QStringLiteral("ЧУП Новое имя"));
        t.Close();
    }

    // The queue held by the bookkeeping system is given up after the
    // waiting time, quietly, and left as it was; once free its clients are
    // taken over and the queue emptied.
    void changeQueue()
    {
        Bookkeeping b;
        clientTable(b);
        makeTable(b.dir.path(), QStringLiteral("changecl.db"), {"KodKAU:I"}, 0, {{"501"}, {"999"}});
        TxBookkeepIni ini(b.ini());
        TxSyncCustomer sync(db(), ini);
        QCOMPARE(sync.QueueDir, b.dir.path());
        sync.QueueTimeoutMs = 300;
        TxTable holder(b.dir.path(), QStringLiteral("changecl.db"));
        holder.Open(true);
        QElapsedTimer timer;
        timer.start();
        sync.ProcessChangeQueue();
        QVERIFY(timer.elapsed() >= 300);
        QVERIFY(!sync.LastSummary().Opened);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT name FROM cst_customer WHERE customerkey = 1")).toString(),
                 QStringLiteral("ООО Тест"));
        holder.Close();

        sync.ProcessChangeQueue();
        QVERIFY(sync.LastSummary().Opened);
        QCOMPARE(sync.LastSummary().Done, 1);
        QCOMPARE(sync.LastSummary().Skipped, 1);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT name FROM cst_customer WHERE customerkey = 1")).toString(),
                 QStringLiteral("ООО \"Ромашка\""));
        holder.Open();
        QCOMPARE(holder.RecordCount(), 0);
    }

    void commandLine()
    {
        Bookkeeping b;
        clientTable(b);
        CliRun r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("customers"), QStringLiteral("take-over"),
                                 QStringLiteral("--ini"), b.ini()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Took over 2 clients")), qPrintable(r.err));
        r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("customers"), QStringLiteral("transfer"),
                          QStringLiteral("--new"), QStringLiteral("--ini"), b.ini()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Transferred 1 customers")), qPrintable(r.err));
        r = runCli(*m_t, {QStringLiteral("bookkeeping"), QStringLiteral("customers"), QStringLiteral("queue"),
                          QStringLiteral("--ini"), b.dir.filePath(QStringLiteral("none.ini"))});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("not set up")));
    }
};


// The nightly run of the command line: the register's payments become
// operations and then pay bills; run again, the pay bills are replaced.
class PayBillImportCliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importTwice()
    {
        TestDatabase t;
        exchangeFixture(t.db());
        // Customer 1 owes 500 on a position of service 5; customer 2 has no contract.
        execAll(t.db(), {
            "INSERT INTO rent_payment (id, name, shortname) VALUES (1, 'Безналичный расчет', 'б/н')",
            "INSERT INTO rent_contract (id, customerkey, number, paymentkey, disabled) VALUES (1, 1, '1', 1, 0)",
            "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (1, 1, 5)",
            "INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, paymentkey) "
            "VALUES (1, '1', '2026-03-01', 1, 1, 1)",
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr) VALUES (1, 1, 500, 0)",
            "EXECUTE PROCEDURE rent_p_addinvoicedebt(1)",
        });
        Bookkeeping b;
        exchangeTables(b);
        const QStringList args = {QStringLiteral("paybill"), QStringLiteral("import"), QStringLiteral("--type"),
                                  QStringLiteral("1700"), QStringLiteral("--from"), QStringLiteral("2026-03-01"),
                                  QStringLiteral("--to"), QStringLiteral("2026-03-31"), QStringLiteral("--payment"),
                                  QStringLiteral("1"), QStringLiteral("--ini"), b.ini()};
        CliRun r = runCli(t, args);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 3);
        QCOMPARE(r.err.trimmed(), QStringLiteral("Made 2, replaced 0, not made 1."));
        QCOMPARE(count(t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 2);
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT FIRST 1 costncu FROM rent_debt ORDER BY debtdate DESC")).toDouble(), 500 - 150.5 - 1);

        r = runCli(t, args);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err.trimmed(), QStringLiteral("Made 0, replaced 2, not made 1."));
        QCOMPARE(count(t.db(), QStringLiteral("SELECT COUNT(*) FROM rent_paybill")), 2);
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT FIRST 1 costncu FROM rent_debt ORDER BY debtdate DESC")).toDouble(), 500 - 150.5 - 1);
    }
};

#include "tst_exchange.moc"

KORVEX_TEST_CLASS(ParadoxTest)
KORVEX_TEST_CLASS(ExchangeTest)
KORVEX_TEST_CLASS(CustomerSyncTest)
KORVEX_TEST_CLASS(PayBillImportCliTest)
