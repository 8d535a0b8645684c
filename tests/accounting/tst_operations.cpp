#include "accountingFixture.h"
#include "common/testDatabase.h"
#include "common/testMain.h"

#include "accounting/boRentOperation.h"
#include "accounting/xOperation.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <QTest>

using namespace korvex::db;
using namespace korvex::accounting;
using namespace korvex::test;

// Invoices and pay bills over the bookkeeping fixture: invoice 40 of
// customer 1 has line 400 (service 5, object 30 at location 20, type 21)
// and line 401 (service 6, no object); customer 2's invoice 41 has line 410.
// Service 5 produces types 500 and 501 for enterprises, service 6 type 500;
// nothing is set up for private persons. Pay bill 50 pays line 400.
static void documentFixture(TxDatabase &db)
{
    execAll(db, {
        "INSERT INTO rent_payment (id, name, shortname) VALUES (7, 'Безналичный', 'б/н')",
        "INSERT INTO rent_invoicetype (id, name) VALUES (8, 'Арендная плата')",
        "INSERT INTO rent_location (id, name) VALUES (20, 'Корпус 1')",
        "INSERT INTO rent_objecttype (id, name) VALUES (21, 'Офис')",
        "INSERT INTO rent_object (id, name, locationkey, objecttypekey) VALUES (30, 'Офис 101', 20, 21)",
        "INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey) VALUES (5, 0, 1, 500)",
        "INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey) VALUES (5, 0, 1, 501)",
        "INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey) VALUES (6, 0, 1, 500)",
        "INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey) VALUES (5, 1, 1, 500)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (10, 1, 1, '10')",
        "INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (11, 2, 1, '11')",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey) VALUES (100, 10, 5, 30)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (101, 10, 6)",
        "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (110, 11, 5)",
        "INSERT INTO rent_invoice (id, number, invoicedate, operationdate, customerkey, contractkey, paymentkey, "
        "invoicetypekey, currkey) VALUES (40, '17', '2026-03-01', '2026-03-05', 1, 10, 7, 8, 1)",
        "INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (400, 40, 100, 300, 100)",
        "INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (401, 40, 101, 45.5, 0)",
        "INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, paymentkey, invoicetypekey, currkey) "
        "VALUES (41, '18', '2026-03-02', 2, 11, 7, 8, 1)",
        "INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (410, 41, 110, 10, 0)",
        "INSERT INTO rent_paybill (id, number, paybilldate, customerkey, paymentkey, currkey, sumncu) "
        "VALUES (50, '3', '2026-03-20', 1, 7, 1, 300)",
        "INSERT INTO rent_paybillrelat (id, paybillkey, contractservicekey, costncu, costcurr) VALUES (500, 50, 100, 300, 100)",
    });
}

class OperationTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    void prepare(TxOperation &op)
    {
        op.Reset();
        op.OpType = 500;
        op.DocumentKey = 77;
        op.DateDoc = QDate(2026, 3, 5).startOfDay();
        op.SumNCU = 100;
        op.SumCurr = 40;
        op.Comment = QStringLiteral("Счет 17");
        op.Variables = {QStringLiteral("RATE=20")};
        op.Analyzes = {QStringLiteral("10=1"), QStringLiteral("610=5"), QStringLiteral("620=9"),
                       QStringLiteral("650="), QStringLiteral("x=3"), QStringLiteral("nothing")};
    }
    int operations() { return count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation")); }
    void clearOperations() { TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE fin_p_deleteoperation(500, NULL, NULL, 1)")); }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        bookkeepingFixture(db());
        documentFixture(db());
    }
    void cleanupTestCase() { m_t.reset(); }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        for (int t : {500, 501})
            TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE fin_p_deleteoperation(?, NULL, NULL, 1)"), {t});
        QCOMPARE(operations(), 0);
    }

    // The operation stores only the analyses its type lists; each entry gets
    // its formula amounts (unknown names count 0) and the analyses of its
    // accounts' levels, a level without a value taking the account's fixed one.
    void postWritesOperationAnalysesAndEntries()
    {
        TxOperation op(db());
        prepare(op);
        op.Post();
        QVERIFY(!op.Error);
        QVERIFY(op.OperationKey > 0);
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT type, commitdate, sumncu, sumcurr, curr, subsystem FROM fin_operation WHERE operationkey = ?"),
               {op.OperationKey});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 500);
        QCOMPARE(q.value(1).toDate(), QDate(2026, 3, 5));
        QCOMPARE(q.value(2).toDouble(), 100.0);
        QVERIFY(q.value(4).isNull());
        QCOMPARE(q.value(5).toInt(), 230);

        q.exec(QStringLiteral("SELECT LIST(analyzekey || '=' || analyzevalue, ' ') FROM "
                              "(SELECT * FROM fin_opanalyzeval WHERE operationkey = ? ORDER BY analyzekey)"),
               {op.OperationKey});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("10=1 610=5"));

        q.exec(QStringLiteral("SELECT e.debit, e.credit, e.sumncu, e.sumcurr, e.comment, "
                              "(SELECT LIST(a.debitcredit || ':' || a.analyzekey || '=' || a.analyzevalue, ' ') FROM "
                              "  (SELECT * FROM fin_entryanalyze WHERE entrykey = e.id ORDER BY debitcredit DESC, analyzekey) a) "
                              "FROM fin_entrylist e WHERE e.operationkey = ? ORDER BY e.id"),
               {op.OperationKey});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(2).toDouble(), 100.0);
        QCOMPARE(q.value(3).toDouble(), 40.0);
        QCOMPARE(q.value(4).toString(), QStringLiteral("Счет 17"));
        QCOMPARE(q.value(5).toString(), QStringLiteral("1:10=1 1:660=3 0:610=5"));
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toDouble(), 20.0);
        QCOMPARE(q.value(3).toDouble(), 1.0);
        QCOMPARE(q.value(5).toString(), QStringLiteral("0:10=1 0:660=3"));
        QVERIFY(!q.next());
    }

    // An operation type without templates stores the operation alone; with
    // no analyses at all nothing is stored on the entry sides either.
    void postWithoutTemplatesOrAnalyses()
    {
        TxOperation op(db());
        prepare(op);
        op.OpType = 501;
        op.Analyzes.clear();
        op.Post();
        QVERIFY(!op.Error);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entrylist WHERE operationkey = ?"), {op.OperationKey}), 1);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entryanalyze")), 0);
        TxQuery::execute(db(), QStringLiteral("DELETE FROM fin_entrytype WHERE optypekey = 501"));
        op.Reset();
        op.DocumentKey = 78;
        op.Post();
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entrylist WHERE operationkey = ?"), {op.OperationKey}), 0);
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, "
                                              "expressioncurr) VALUES (3, 501, 1, 2, 'SumNCU', 'SumCurr')"));
    }

    // A refused operation is skipped without an exception and leaves nothing;
    // a failure after the operation was written takes all of it back, also
    // inside a caller's transaction, whose own work stays.
    void refusedAndFailedPosts()
    {
        TxOperation op(db());
        prepare(op);
        op.OpType = 999;
        op.Post();
        QVERIFY(op.Error);
        QCOMPARE(op.OperationKey, -1);
        QVERIFY(op.ErrorText.contains(QStringLiteral("999")));
        QCOMPARE(operations(), 0);

        prepare(op);
        op.Comment = QString(300, QLatin1Char('x'));  // too long for an entry
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, op.Post());
        QVERIFY(!db().inTransaction());
        QCOMPARE(operations(), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_opanalyzeval")), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_opdocvalue")), 0);

        {
            TxTransaction caller(db());
            prepare(op);
            op.DocumentKey = 1;
            op.Post();
            const int kept = op.OperationKey;
            prepare(op);
            op.DocumentKey = 2;
            op.Comment = QString(300, QLatin1Char('x'));
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, op.Post());
            caller.commit();
            QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_operation WHERE operationkey = ?"), {kept}), 1);
        }
        QCOMPARE(operations(), 1);
    }

    // Nothing found leaves no stale key behind, so nothing unrelated is deleted.
    void findAndDeleteWithoutMatch()
    {
        TxOperation op(db());
        prepare(op);
        op.Post();
        const int unrelated = op.OperationKey;
        op.DocumentKey = 12345;
        QVERIFY(!op.FindByDocument());
        QCOMPARE(op.OperationKey, -1);
        op.OperationKey = unrelated;
        QCOMPARE(op.DeleteByDocument(), 0);
        QCOMPARE(operations(), 1);

        op.DocumentKey = 77;
        QVERIFY(op.FindByDocument());
        QCOMPARE(op.OperationKey, unrelated);
        QCOMPARE(op.DeleteByDocument(), 1);
        QCOMPARE(operations(), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entrylist")), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entryanalyze")), 0);
    }

    // Posting the same document line again replaces its operation.
    void repostReplaces()
    {
        TxOperation op(db());
        prepare(op);
        op.Post();
        const int first = op.OperationKey;
        prepare(op);
        op.SumNCU = 250;
        op.Post();
        QCOMPARE(op.OperationKey, first);
        QCOMPARE(operations(), 1);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM fin_entrylist")), 2);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT MAX(sumncu) FROM fin_entrylist")).toDouble(), 250.0);
    }

    // Every line and type of the document becomes an operation with the
    // document's analyses; a line without an object has no object analyses,
    // a customer kind without set-up produces nothing.
    void postInvoiceAndPayBill()
    {
        TboRentOperation posting(db());
        QCOMPARE(posting.OperationTypesFor(5, 1, TboRentOperation::InvoiceLine), (QList<int>{500, 501}));
        QCOMPARE(posting.OperationTypesFor(5, 2, TboRentOperation::InvoiceLine), QList<int>{});
        QCOMPARE(posting.OperationTypesFor(5, 1, 4711), (QList<int>{500, 501}));
        QCOMPARE(posting.invoiceOperationDate(40), QDate(2026, 3, 5));
        QCOMPARE(posting.invoiceOperationDate(41), QDate(2026, 3, 2));

        const QList<TPostedOperation> posted = posting.PostInvoice(40, QDate(2026, 3, 5));
        QCOMPARE(posted.size(), 3);
        QCOMPARE(posted[0].LineKey, 400);
        QCOMPARE(posted[0].OpType, 500);
        QCOMPARE(posted[1].OpType, 501);
        QCOMPARE(posted[2].LineKey, 401);
        for (const TPostedOperation &p : posted)
            QVERIFY(!p.Refused && p.OperationKey > 0);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT comment FROM fin_entrylist WHERE operationkey = ?"),
                                 {posted[1].OperationKey}).toString(), QStringLiteral("17"));
        // Type 500 lists customer and service only; the entry side of 62
        // takes the invoice type from the line over the account's fixed one.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT LIST(analyzevalue, ',') FROM (SELECT * FROM fin_entryanalyze "
                                                      "WHERE debitcredit = 1 AND entrykey = (SELECT MIN(id) FROM fin_entrylist "
                                                      "WHERE operationkey = ?) ORDER BY analyzekey)"),
                                 {posted[0].OperationKey}).toString(),
                 QStringLiteral("1,8"));

        QCOMPARE(posting.PostInvoice(41, QDate(2026, 3, 2)).size(), 0);
        // Posting again replaces; the pay bill's line posts its own type.
        QCOMPARE(posting.PostInvoice(40, QDate(2026, 3, 6)).size(), 3);
        QCOMPARE(operations(), 3);
        const QList<TPostedOperation> paid = posting.PostPayBill(50, posting.payBillOperationDate(50));
        QCOMPARE(paid.size(), 1);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT commitdate FROM fin_operation WHERE operationkey = ?"),
                                 {paid[0].OperationKey}).toDate(), QDate(2026, 3, 20));
        QCOMPARE(operations(), 4);
        QCOMPARE(posting.DeletePayBillOperations(50), 1);
        QCOMPARE(operations(), 3);
    }

    void analysisLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "10=25" << 10 << 25;
        QTest::newRow("empty value") << "650=" << 650 << -1;
        QTest::newRow("no =") << "620" << -1 << -1;
        QTest::newRow("bad key") << "a=3" << -1 << 3;
        QTest::newRow("second =") << "10=2=3" << 10 << -1;
    }
    void analysisLines()
    {
        QFETCH(QString, line);
        QFETCH(int, key);
        QFETCH(int, value);
        const TxOperation::Analysis a = TxOperation::parseAnalysis(line);
        QCOMPARE(a.key, key);
        QCOMPARE(a.value, value);
    }

    // The command line prints one line per operation; a refused one is named
    // on standard error and turns the exit status to 2.
    void postCommand()
    {
        CliRun r = runCli(*m_t, {QStringLiteral("post"), QStringLiteral("invoice"), QStringLiteral("40")});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("400 500 ")));
        QVERIFY(lines[2].startsWith(QStringLiteral("401 500 ")));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT MIN(commitdate) FROM fin_operation")).toDate(), QDate(2026, 3, 5));

        // An operation type the bookkeeping does not know (set up before the
        // reference to it could be checked) is refused by the server.
        const QString fk = TxQuery::scalar(db(), QStringLiteral(
            "SELECT TRIM(rc.RDB$CONSTRAINT_NAME) FROM RDB$RELATION_CONSTRAINTS rc "
            "JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = rc.RDB$INDEX_NAME "
            "WHERE rc.RDB$RELATION_NAME = 'RENT_SERVICEOPERATION' AND rc.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' "
            "AND s.RDB$FIELD_NAME = 'OPERATIONKEY'")).toString();
        QVERIFY(!fk.isEmpty());
        TxQuery::execute(db(), QStringLiteral("ALTER TABLE rent_serviceoperation DROP CONSTRAINT ") + fk);
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey) "
                                              "VALUES (6, 0, 1, 4242)"));
        r = runCli(*m_t, {QStringLiteral("post"), QStringLiteral("invoice"), QStringLiteral("40"), QStringLiteral("--date"),
                          QStringLiteral("2026-03-31")});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 3);
        QVERIFY2(r.err.contains(QStringLiteral("Line 401")), qPrintable(r.err));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT MAX(commitdate) FROM fin_operation")).toDate(), QDate(2026, 3, 31));

        for (const QStringList &bad : {QStringList{"post", "letter", "40"}, QStringList{"post", "paybill", "999", "--date", "2026-03-01"},
                                       QStringList{"post", "invoice", "40", "--date", "1.3.2026"}}) {
            r = runCli(*m_t, bad);
            QCOMPARE(r.code, 1);
            QVERIFY(!r.err.isEmpty());
            QVERIFY(r.out.isEmpty());
        }
    }
};

#include "tst_operations.moc"

KORVEX_TEST_CLASS(OperationTest)
