#include "common/testDatabase.h"
#include "common/testMain.h"

#include "calc/boRentSQL.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <QTest>

using namespace korvex::db;
using korvex::calc::TSqlResult;
using korvex::calc::TboRentSQL;
using korvex::test::TestDatabase;

// The console shares the program's one connection: it works only in a
// transaction it started itself and leaves none behind.
class SqlConsoleTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    int variables(TxDatabase &db, const QString &name)
    {
        return TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM rent_variable WHERE name = ?"), {name}).toInt();
    }

private Q_SLOTS:
    void init() { m_t = std::make_unique<TestDatabase>(); }
    void cleanup() { m_t.reset(); }

    // Another window's pending work is neither joined, committed nor
    // rolled back: the console refuses to run.
    void refusedInsideAnotherTransaction()
    {
        TboRentSQL console(m_t->db());
        TxTransaction pending(m_t->db());
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'ДИАЛОГ')"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (2, 'КОНСОЛЬ')")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.open(QStringLiteral("SELECT * FROM rent_variable")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.openTable(QStringLiteral("rent_variable")));
        QVERIFY(m_t->db().inTransaction());
        pending.rollback();
        QCOMPARE(variables(m_t->db(), QStringLiteral("ДИАЛОГ")), 0);
        QCOMPARE(variables(m_t->db(), QStringLiteral("КОНСОЛЬ")), 0);
    }

    // "Execute" commits what succeeded and rolls back what failed.
    void executeCommitsOrRollsBack()
    {
        TboRentSQL console(m_t->db());
        QCOMPARE(console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'ИКС')")), 1);
        QVERIFY(!m_t->db().inTransaction());
        std::unique_ptr<TxDatabase> other = m_t->connect(QStringLiteral("other"));
        QCOMPARE(variables(*other, QStringLiteral("ИКС")), 1);

        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 console.execute(QStringLiteral("EXECUTE BLOCK AS DECLARE x INTEGER; BEGIN "
                                                                "INSERT INTO rent_variable (id, name) VALUES (2, 'ИГРЕК'); "
                                                                "x = 1 / 0; END")));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(variables(*other, QStringLiteral("ИГРЕК")), 0);
        QCOMPARE(variables(m_t->db(), QStringLiteral("ИГРЕК")), 0);
        // The connection is fit for the next statement.
        QCOMPARE(console.execute(QStringLiteral("UPDATE rent_variable SET description = 'x'")), 1);
    }

    // "Open" and the table tab read every row and close their transaction.
    void openReadsAndCloses()
    {
        TboRentSQL console(m_t->db());
        console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'АЛЬФА')"));
        console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (2, 'БЕТА')"));
        const TSqlResult rows = console.open(QStringLiteral("SELECT id, name FROM rent_variable ORDER BY id"));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(rows.columns, (QStringList{QStringLiteral("ID"), QStringLiteral("NAME")}));
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows.at(1).at(1).toString().trimmed(), QStringLiteral("БЕТА"));

        const TSqlResult table = console.openTable(QStringLiteral(" rent_variable "));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(table.rows.size(), 2);
        QVERIFY(table.columns.contains(QStringLiteral("LOCKCUSTOMER")));
        // A typed name is looked up, never pasted into the statement.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.openTable(QStringLiteral("rent_variable; DELETE FROM rent_variable")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.open(QStringLiteral("SELECT * FROM no_such_table")));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(console.open(QStringLiteral("SELECT COUNT(*) FROM rent_variable")).rows.at(0).at(0).toInt(), 2);
    }
};

KORVEX_TEST_CLASS(SqlConsoleTest)

#include "tst_sqlconsole.moc"
