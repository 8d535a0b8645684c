// The schema's contracts with its callers: tables and columns as the client
// names them, refused deletes, keys, and the server procedures, each on a
// small fixture of its own; and the demonstration database.

#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSqlScript.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <functional>

using namespace korvex::db;
using korvex::test::TestDatabase;

namespace {

void runScript(TxDatabase &db, const QString &script)
{
    TxSqlScript::run(db, script, QStringLiteral("fixture"));
}

QList<int> intColumn(TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    TxQuery q(db);
    q.exec(sql, values);
    QList<int> out;
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QStringList textColumn(TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    TxQuery q(db);
    q.exec(sql, values);
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// Executes a procedure with the given inputs; returns every output by its
// upper-case name.
QVariantMap callProc(TxDatabase &db, const QString &name, const QVariantMap &inputs)
{
    TxStoredProc proc(db, name);
    for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
        proc.setParam(it.key(), it.value());
    proc.execute();
    QVariantMap out;
    for (const QString &o : proc.outputNames())
        out.insert(o.toUpper(), proc.output(o));
    return out;
}

// Empty when the action was refused as a delete of a row still in use;
// otherwise what happened instead.
QString refusedAsInUse(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EDatabaseError &e) {
        return e.isInUse() ? QString() : QStringLiteral("refused otherwise: %1 (%2)").arg(e.message()).arg(e.sqlCode());
    }
    return QStringLiteral("not refused");
}

bool fuzzyEqual(double a, double b)
{
    return qAbs(a - b) < 1e-9;
}

} // namespace

// ---------------------------------------------------------------------------
// Tables, columns, keys and deletes as the callers rely on them.
class ReferenceSchemaTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    static QMap<QString, QStringList> expectedColumns()
    {
        // The columns every caller names, with their spelling (misspellings
        // included: the callers use them so).
        const QMap<QString, QString> t{
            {"RENT_CONTRACT", "id customerkey currkey supcontractkey number name signdate expriredate actiondate "
                              "paymentday paymentkey sumncu sumcurr disabled filename"},
            {"RENT_CONTRACTSERVICE", "id contractkey servicekey objectkey costncu costcurr typereckoningkey "
                                     "ncureckoning countobject description description2"},
            {"RENT_CONTRACTSERVICEVALUE", "contractservicekey contractservicedate contractservicevalue"},
            {"RENT_SUPPLEMENT", "contractkey number name supdate description filename"},
            {"RENT_SERVICE", "id parent name priority mainservice startdate enddate currservice printservice "
                             "rejectdebt description1 description2 description3"},
            {"RENT_SERVICEVALUE", "servicekey servicedate servicevalue"},
            {"RENT_SERVICECOST", "id parent servicekey objectkey currkey costncu costcurr typereckoningkey ncureckoning"},
            {"RENT_SERVICEOPERATION", "id servicekey rentoperation typecustomer operationkey"},
            {"RENT_OBJECT", "id parent name locationkey objecttypekey description attribute boolattribute coef1 coef2 "
                            "coef3 complete disabled isgroup useful"},
            {"RENT_LOCATION", "id parent name"},
            {"RENT_OBJECTTYPE", "id parent name"},
            {"RENT_OBJECTGRAPH", "id parent name objectkey x1 y1 x2 y2 graphtype linecolor graphcolor uselinecolor "
                                 "usegraphcolor linewidth objectfontname objectfontsize objectfontcolor objectfontstyle"},
            {"RENT_PAYMENT", "id name shortname"},
            {"RENT_INVOICETYPE", "id name externalkey"},
            {"RENT_INVOICE", "id number invoicedate operationdate expiredate information customerkey contractkey "
                             "paymentkey invoicetypekey currkey sumncu"},
            {"RENT_INVOICESERVICE", "id invoicekey contractservicekey costncu costcurr description"},
            {"RENT_PAYBILL", "id number paybilldate operationdate customerkey paymentkey currkey sumncu sumcurr operationkey"},
            {"RENT_PAYBILLRELAT", "id paybillkey contractservicekey costncu costcurr"},
            {"RENT_DEBT", "contractservicekey debtdate costncu costcurr"},
            {"RENT_VIOTATION", "id number viotationdate customerkey contractkey currkey costncu costcurr info"},
            {"RENT_VARIABLE", "id parent name description lockobject lockservice lockcustomer"},
            {"RENT_VALUEVARIABLE", "id parent variablekey objectkey servicekey customerkey valuevariable"},
            {"RENT_TYPERECKONING", "id parent name description"},
            {"RENT_RECKONING", "id typereckoningkey number name formula rounding"},
            {"RENT_PRINTDOCUMENT", "id parent name path typedocument registername registerpath registertable userkey flag"},
            {"RENT_PRINTREPORT", "id parent name filename typereport icon textsql userkey"},
            {"RENT_DENOMINATION", "id number"},
            {"CST_CUSTOMER", "customerkey id kind name fullname code companykindkey propertykindkey placekey zipcode "
                             "pobox domicile phone fax email url unn okpo okonh soato soou externalkey disabled"},
            {"CST_FACTORY", "customerkey director bookkeeper founddate reception accounting personal mareketing supply "
                            "sales mfo code"},
            {"CST_PERSON", "customerkey lastname name medname psprtseria psprtnumber psprtdate psprtadmin regnumber "
                           "regdate regadmin"},
            {"IR_EXECUTOR", "customerkey name phone fax email"},
            {"CST_BANKACCOUNT", "bankaccountkey customerkey bankkey name account disabled"},
            {"CST_CUSTATTR", "customerkey attrkey"},
            {"PH_ATTR", "id parent name shortname rating tokem icon disabled hotkey"},
            {"FIN_COMPANYKIND", "companykindkey name fullname"},
            {"FIN_PROPERTYKIND", "propertykindkey name"},
            {"FIN_BRANCH", "branchkey name"},
            {"FIN_ACTCATEGORY", "actcategorykey name"},
            {"FIN_PLACE", "placekey parent placekind name comment inaddress usehighlevel"},
            {"FIN_PLACEKIND", "placekindkey grade parent abbr name stand disabled security icon reserved"},
            {"FIN_CURR", "id name shortname code sign place fullcentname shortcentname centbase decdigits disabled isncu"},
            {"FIN_CURRRATE", "fromcurr tocurr fordate coeff"},
            {"FIN_OPTIONS", "userkey subsystemkey name optionsvalue optionstype"},
            {"FIN_RTS", "storekey userkey context tablename fontcolor fontsize fontstyle fontname titlefontcolor "
                        "titlefontsize titlefontstyle titlefontname color titlecolor colorselected striped stripeone "
                        "stripetwo scalecolumns condformat showlines settings"},
            {"FIN_RTSFIELD", "storekey fieldkey fieldname fieldorder visible displaylabel displayformat displaywidth "
                             "alignment editmask titlefontcolor titlefontsize titlefontstyle titlefontname "
                             "titlealignment titlecolor fontcolor fontsize fontstyle fontname color resizeable "
                             "maxwidth minwidth"},
            {"FIN_OPERATION", "operationkey type commitdate enterdate duration sumncu sumcurr curr subsystem session "
                              "operator cost enterprise system process subprocess enterduration obsolete script "
                              "disabled security reserved"},
            {"FIN_OPDOCVALUE", "operationkey optype documentkey"},
            {"FIN_OPANALYZEVAL", "operationkey analyzekey analyzevalue"},
            {"FIN_ENTRYLIST", "id operationkey"},
            {"FIN_ENTRYANALYZE", "entrykey"},
            {"FIN_ENTRYTYPE", "id optypekey debitid creditid expression expressioncurr"},
            {"FIN_OPTYPEANALYZE", "optypekey analyzekey"},
            {"FIN_ANALYZETABLE", "id externalkey tablename"},
            {"FIN_ANTABLEVALUE", "id analyzekey externalkey"},
        };
        QMap<QString, QStringList> out;
        for (auto it = t.cbegin(); it != t.cend(); ++it)
            out.insert(it.key(), it.value().toUpper().split(QLatin1Char(' ')));
        return out;
    }

    QStringList columnsOf(const QString &table)
    {
        return textColumn(db(),
                          QStringLiteral("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS "
                                         "WHERE RDB$RELATION_NAME = ? ORDER BY RDB$FIELD_POSITION"),
                          {table});
    }

private Q_SLOTS:
    void initTestCase() { m_t = std::make_unique<TestDatabase>(); }
    void cleanupTestCase() { m_t.reset(); }

    void tablesHaveTheCallersColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        const auto all = expectedColumns();
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
    }
    void tablesHaveTheCallersColumns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        const QStringList have = columnsOf(table);
        QVERIFY2(!have.isEmpty(), qPrintable(table + QStringLiteral(" is missing")));
        for (const QString &c : columns)
            QVERIFY2(have.contains(c), qPrintable(QStringLiteral("%1.%2 is missing").arg(table, c)));
    }

    // The client inserts attributes by position: customer key first.
    void customerAttributesTakeCustomerFirst()
    {
        QCOMPARE(columnsOf(QStringLiteral("CST_CUSTATTR")), (QStringList{"CUSTOMERKEY", "ATTRKEY"}));
    }

    // Every text column is WIN1251 with PXW_CYRL, whatever the database default.
    void textColumnsArePxwCyrl()
    {
        TxQuery q(db());
        q.exec(QStringLiteral(
                   "SELECT TRIM(rf.RDB$RELATION_NAME) || '.' || TRIM(rf.RDB$FIELD_NAME) "
                   "FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                   "JOIN RDB$COLLATIONS c ON c.RDB$COLLATION_NAME = 'PXW_CYRL' "
                   "WHERE f.RDB$FIELD_TYPE IN (14, 37) "
                   "AND (f.RDB$CHARACTER_SET_ID <> c.RDB$CHARACTER_SET_ID "
                   "     OR COALESCE(rf.RDB$COLLATION_ID, f.RDB$COLLATION_ID) <> c.RDB$COLLATION_ID)"));
        QStringList wrong;
        const auto tables = expectedColumns().keys();
        while (q.next()) {
            const QString col = q.value(0).toString();
            if (tables.contains(col.section(QLatin1Char('.'), 0, 0)))
                wrong << col;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }

    // PXW_CYRL orders Russian text as a dictionary does: letter case aside,
    // Ё next to Е.
    void russianTextSortsByPxwCyrl()
    {
        TxTransaction tr(db());
        for (const char *n : {"Яблоко", "ёж", "Апельсин", "абрикос", "Ель"})
            TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_location (name) VALUES (?)"), {QString::fromUtf8(n)});
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name FROM rent_location ORDER BY name")),
                 (QStringList{"абрикос", "Апельсин", "Ель", "ёж", "Яблоко"}));
    }

    // Analysis kinds name tables whose rows are the values: each such table
    // has the id and externalkey the bookkeeping exchange reads.
    void analysisTablesHaveExternalKeys()
    {
        const QStringList tables = textColumn(
            db(), QStringLiteral("SELECT UPPER(TRIM(tablename)) FROM fin_analyzetable WHERE tablename <> ''"));
        QVERIFY(tables.contains(QStringLiteral("CST_CUSTOMER")));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT id FROM fin_analyzetable ORDER BY id")),
                 (QList<int>{10, 610, 620, 630, 640, 650, 660}));
        for (const QString &t : tables) {
            const QStringList cols = columnsOf(t);
            QVERIFY2(cols.contains(QStringLiteral("ID")) && cols.contains(QStringLiteral("EXTERNALKEY")), qPrintable(t));
        }
    }

    void customerIdFollowsItsKey()
    {
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO cst_customer (customerkey, name) VALUES (501, 'А')"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT id FROM cst_customer WHERE customerkey = 501")).toInt(), 501);
        TxQuery::execute(db(), QStringLiteral("UPDATE cst_customer SET id = 7 WHERE customerkey = 501"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT id FROM cst_customer WHERE customerkey = 501")).toInt(), 501);
        // An import that brings only id keeps it as the key.
        TxQuery::execute(db(), QStringLiteral("INSERT INTO cst_customer (id, name) VALUES (502, 'Б')"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT customerkey FROM cst_customer WHERE id = 502")).toInt(), 502);
    }

    // Rows appended without a key get one from the server.
    void serverAssignsMissingKeys_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("key");
        QTest::newRow("object") << "INSERT INTO rent_object (name) VALUES ('x')" << "SELECT MAX(id) FROM rent_object";
        QTest::newRow("grid column") << "INSERT INTO fin_rtsfield (storekey, fieldname) VALUES (1, 'x')"
                                     << "SELECT MAX(fieldkey) FROM fin_rtsfield";
        QTest::newRow("operation") << "INSERT INTO fin_operation (sumncu) VALUES (1)"
                                   << "SELECT MAX(operationkey) FROM fin_operation";
        QTest::newRow("currency") << "INSERT INTO fin_curr (name) VALUES ('x')" << "SELECT MAX(id) FROM fin_curr";
    }
    void serverAssignsMissingKeys()
    {
        QFETCH(QString, insert);
        QFETCH(QString, key);
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_rts (storekey, userkey, context, tablename) "
                                              "VALUES (1, 1, -1, 'q')"));
        TxQuery::execute(db(), insert);
        QVERIFY(TxQuery::scalar(db(), key).toInt() > 0);
    }

    // Variable names are kept upper case, so a formula's upper-cased word
    // finds a name typed in any case, and case variants cannot coexist.
    void variableNamesIgnoreLetterCase()
    {
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_variable (name) VALUES (?)"), {QStringLiteral("Площадь")});
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_variable WHERE name = ?"),
                                 {QStringLiteral("ПЛОЩАДЬ")})
                     .toInt(),
                 1);
        try {
            TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_variable (name) VALUES (?)"), {QStringLiteral("площадь")});
            QFAIL("a second variable differing only in case was accepted");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.isDuplicate(), qPrintable(e.message()));
        }
    }

    // One value per variable and combination of bindings, NULL included.
    void valueBindingsAreUnique()
    {
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (900, 'ИНДЕКС')"));
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_valuevariable (variablekey, valuevariable) VALUES (900, 1)"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_valuevariable (variablekey) VALUES (900)")));
    }

    // Options keep one row per owner and name, whatever case a caller writes.
    void optionNamesAreUpperCaseAndUnique()
    {
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) "
                                              "VALUES (NULL, 230, 'rentCurrKey', '2', 'i')"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT name || optionstype FROM fin_options")).toString(),
                 QStringLiteral("RENTCURRKEYI"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name) "
                                                                       "VALUES (NULL, 230, 'RENTCURRKEY')")));
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name) VALUES (5, 230, 'RENTCURRKEY')"));
    }

    // A row still referenced cannot be deleted, and the error says so.
    void referencedDeleteIsRefused_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("deletion");
        const QString base = QStringLiteral(
            "INSERT INTO fin_curr (id, name) VALUES (1, 'BYN');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (1, 2, 'Банк');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (2, 1, 'Арендатор');\n"
            "INSERT INTO rent_location (id, name) VALUES (1, 'Минск');\n"
            "INSERT INTO rent_objecttype (id, name) VALUES (1, 'Офис');\n"
            "INSERT INTO rent_object (id, name, locationkey, objecttypekey) VALUES (1, 'Корпус', 1, 1);\n"
            "INSERT INTO rent_object (id, parent, name) VALUES (2, 1, 'Комната');\n"
            "INSERT INTO rent_service (id, name) VALUES (1, 'Аренда');\n"
            "INSERT INTO rent_typereckoning (id, name) VALUES (1, 'Формула');\n"
            "INSERT INTO rent_reckoning (typereckoningkey, number, name, formula) VALUES (1, 1, 'ИТОГ', 'ЦЕНАРУБ');\n"
            "INSERT INTO rent_payment (id, name) VALUES (1, 'Безнал');\n"
            "INSERT INTO rent_invoicetype (id, name) VALUES (1, 'Аренда');\n"
            "INSERT INTO rent_contract (id, customerkey, currkey, paymentkey) VALUES (1, 2, 1, 1);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, typereckoningkey) VALUES (1, 1, 1, 2, 1);\n"
            "INSERT INTO rent_invoice (id, customerkey, contractkey, paymentkey, invoicetypekey, currkey) VALUES (1, 2, 1, 1, 1, 1);\n"
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu) VALUES (1, 1, 10);\n"
            "INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, account) VALUES (1, 2, 1, 'BY01');\n"
            "INSERT INTO rent_variable (id, name, lockobject) VALUES (1, 'ПЛОЩАДЬ', 1);\n"
            "INSERT INTO rent_valuevariable (variablekey, objectkey, valuevariable) VALUES (1, 2, 20);\n"
            "INSERT INTO fin_place (placekey, name) VALUES (1, 'Беларусь');\n"
            "INSERT INTO fin_place (placekey, parent, name) VALUES (2, 1, 'Минск');\n");
        QTest::newRow("currency of a contract") << base << "DELETE FROM fin_curr WHERE id = 1";
        QTest::newRow("object with a child") << base << "DELETE FROM rent_object WHERE id = 1";
        QTest::newRow("object of a position") << base << "DELETE FROM rent_object WHERE id = 2";
        QTest::newRow("location of an object") << base << "DELETE FROM rent_location WHERE id = 1";
        QTest::newRow("object type") << base << "DELETE FROM rent_objecttype WHERE id = 1";
        QTest::newRow("service of a position") << base << "DELETE FROM rent_service WHERE id = 1";
        QTest::newRow("reckoning type of a position")
            << base << "DELETE FROM rent_reckoning WHERE typereckoningkey = 1; DELETE FROM rent_typereckoning WHERE id = 1";
        QTest::newRow("invoiced contract") << base << "DELETE FROM rent_contract WHERE id = 1";
        QTest::newRow("payment form") << base << "DELETE FROM rent_payment WHERE id = 1";
        QTest::newRow("invoice type") << base << "DELETE FROM rent_invoicetype WHERE id = 1";
        QTest::newRow("bank of an account") << base << "DELETE FROM cst_customer WHERE customerkey = 1";
        QTest::newRow("variable with values") << base << "DELETE FROM rent_variable WHERE id = 1";
        QTest::newRow("place with a child") << base << "DELETE FROM fin_place WHERE placekey = 1";
    }
    void referencedDeleteIsRefused()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, deletion);
        TxTransaction tr(db());
        runScript(db(), fixture);
        const QString outcome = refusedAsInUse([&] { runScript(db(), deletion); });
        QVERIFY2(outcome.isEmpty(), qPrintable(outcome));
    }

    // A contract nobody billed yet goes with its positions, their values and
    // its supplements.
    void unbilledContractDeletesWithItsPositions()
    {
        TxTransaction tr(db());
        runScript(db(), QStringLiteral(
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (1, 1, 'Арендатор');\n"
            "INSERT INTO rent_service (id, name) VALUES (1, 'Аренда');\n"
            "INSERT INTO rent_contract (id, customerkey) VALUES (1, 1);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey) VALUES (1, 1, 1);\n"
            "INSERT INTO rent_contractservicevalue (contractservicekey, contractservicevalue) VALUES (1, 5);\n"
            "INSERT INTO rent_supplement (contractkey, name) VALUES (1, 'Акт');\n"
            "DELETE FROM rent_contract WHERE id = 1;\n"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT (SELECT COUNT(*) FROM rent_contractservice) + "
                                                      "(SELECT COUNT(*) FROM rent_contractservicevalue) + "
                                                      "(SELECT COUNT(*) FROM rent_supplement) FROM RDB$DATABASE"))
                     .toInt(),
                 0);
    }
};

// ---------------------------------------------------------------------------
class KeyProceduresTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    int nextKey(const QString &procedure, const QString &output, bool selectable)
    {
        if (selectable)
            return TxQuery::scalar(db(), QStringLiteral("SELECT %1 FROM %2").arg(output, procedure)).toInt();
        return callProc(db(), procedure, {}).value(output.toUpper()).toInt();
    }

private Q_SLOTS:
    void initTestCase() { m_t = std::make_unique<TestDatabase>(); }
    void cleanupTestCase() { m_t.reset(); }

    void keysNeverRepeat_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("selectable");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("keyColumn");
        QTest::newRow("contract") << "rent_p_getcontractkey" << "contractkey" << true << "rent_contract" << "id";
        QTest::newRow("invoice") << "rent_p_getinvoicekey" << "Invoicekey" << false << "rent_invoice" << "id";
        QTest::newRow("invoice as id") << "rent_p_getinvoicekey" << "id" << false << "rent_invoice" << "id";
        QTest::newRow("pay bill") << "rent_p_getpaybillkey" << "PayBillkey" << false << "rent_paybill" << "id";
        QTest::newRow("reckoning type") << "rent_p_gettypereckoningkey" << "TYPERECKONINGKEY" << false
                                        << "rent_typereckoning" << "id";
        QTest::newRow("customer") << "cst_p_customer_customerkey" << "customerkey" << false << "cst_customer"
                                  << "customerkey";
        QTest::newRow("bank account") << "cst_p_bankaccount_accountkey" << "bankaccountkey" << false
                                      << "cst_bankaccount" << "bankaccountkey";
        QTest::newRow("company form") << "cst_p_companykind_kindkey" << "companykindkey" << false << "fin_companykind"
                                      << "companykindkey";
        QTest::newRow("ownership") << "cst_p_propertykind_kindkey" << "propertykindkey" << false << "fin_propertykind"
                                   << "propertykindkey";
        QTest::newRow("branch") << "cst_p_branchkey" << "Branchkey" << false << "fin_branch" << "branchkey";
        QTest::newRow("activity") << "cst_p_actcategorykey" << "ActCategorykey" << false << "fin_actcategory"
                                  << "actcategorykey";
        QTest::newRow("place") << "cst_p_placekey" << "placekey" << false << "fin_place" << "placekey";
        QTest::newRow("place kind") << "cst_p_placekindkey" << "placekindkey" << false << "fin_placekind"
                                    << "placekindkey";
        QTest::newRow("grid layout") << "FIN_P_RTS_STOREKEY" << "STOREKEY" << false << "fin_rts" << "storekey";
    }
    void keysNeverRepeat()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, output);
        QFETCH(bool, selectable);
        QFETCH(QString, table);
        QFETCH(QString, keyColumn);
        QSet<int> seen;
        for (int i = 0; i < 3; ++i) {
            const int k = nextKey(procedure, output, selectable);
            QVERIFY(k > 0);
            QVERIFY2(!seen.contains(k), qPrintable(QStringLiteral("key %1 handed out twice").arg(k)));
            seen.insert(k);
        }
        // A key taken in a transaction that is rolled back is not handed out again.
        {
            TxTransaction tr(db());
            seen.insert(nextKey(procedure, output, selectable));
        }
        QVERIFY(!seen.contains(nextKey(procedure, output, selectable)));

        // Rows brought with keys of their own (an import) push the sequence on.
        const int high = *std::max_element(seen.cbegin(), seen.cend()) + 1000;
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO cst_customer (customerkey, name) VALUES (-1, 'Владелец')"));
        if (table == QLatin1String("cst_bankaccount"))
            TxQuery::execute(db(), QStringLiteral("INSERT INTO cst_bankaccount (bankaccountkey, customerkey) VALUES (?, -1)"), {high});
        else
            TxQuery::execute(db(), QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, keyColumn), {high});
        TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE fin_p_sync_keys"));
        QVERIFY(nextKey(procedure, output, selectable) > high);
    }

    void gridLayoutIsFound()
    {
        TxTransaction tr(db());
        auto find = [&](const QVariant &user, const QVariant &context, const QString &table) {
            return callProc(db(), QStringLiteral("fin_p_rts_findstore"),
                            {{"AnUserKey", user}, {"AContext", context}, {"ATableName", table}});
        };
        QVariantMap r = find(3, -1, QStringLiteral("qryContract"));
        QCOMPARE(r.value("EXIST").toInt(), 0);
        QVERIFY(r.value("THESTOREKEY").isNull());
        runScript(db(), QStringLiteral("INSERT INTO fin_rts (storekey, userkey, context, tablename) VALUES (41, 3, -1, 'qryContract');\n"
                                       "INSERT INTO fin_rts (storekey, userkey, context, tablename) VALUES (42, 3, 10, 'qryContract');\n"
                                       "INSERT INTO fin_rts (storekey, userkey, context, tablename) VALUES (43, 4, -1, 'qryContract');\n"));
        r = find(3, 10, QStringLiteral("qryContract"));
        QCOMPARE(r.value("EXIST").toInt(), 1);
        QCOMPARE(r.value("THESTOREKEY").toInt(), 42);
        QCOMPARE(find(4, -1, QStringLiteral("qryContract")).value("THESTOREKEY").toInt(), 43);
        QCOMPARE(find(3, -1, QStringLiteral("qryInvoice")).value("EXIST").toInt(), 0);
    }
};

// ---------------------------------------------------------------------------
// Objects, services, prices, contracts and debts on one small landlord.
class LeaseProceduresTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    // Books the fixture's documents: invoice 1 on 10 Jan, pay bill 1 on
    // 20 Jan, invoice 2 on 10 Feb, invoice 3 of the other customer on 15 Jan.
    void bookAll()
    {
        callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 1}});
        callProc(db(), QStringLiteral("rent_p_deletepaybilldebt"), {{"paybillkey", 1}});
        callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 2}});
        callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 3}});
    }

    // The debt of a position as the client reads it: the latest row on or
    // before the date.
    QVariant debtOn(int contractService, const QDate &date)
    {
        return TxQuery::scalar(db(),
                               QStringLiteral("SELECT costncu FROM rent_debt WHERE contractservicekey = ? AND debtdate = "
                                              "(SELECT MAX(debtdate) FROM rent_debt WHERE debtdate <= ? AND contractservicekey = ?)"),
                               {contractService, date, contractService});
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        runScript(db(), QStringLiteral(
            "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1);\n"
            "INSERT INTO fin_curr (id, name, shortname) VALUES (2, 'Доллар США', 'USD');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (1, 1, 'Арендатор');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (2, 1, 'Другой');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (3, 3, 'Без договоров');\n"
            // Building 10 > floor 11 > rooms 12, 14; floor 13; garage 20.
            "INSERT INTO rent_object (id, parent, name, isgroup) VALUES (10, NULL, 'Корпус', 1);\n"
            "INSERT INTO rent_object (id, parent, name, isgroup) VALUES (11, 10, 'Этаж', 1);\n"
            "INSERT INTO rent_object (id, parent, name, useful) VALUES (12, 11, 'Комната', 1);\n"
            "INSERT INTO rent_object (id, parent, name) VALUES (13, 10, 'Другой этаж');\n"
            "INSERT INTO rent_object (id, parent, name, useful) VALUES (14, 11, 'Комната 2', NULL);\n"
            "INSERT INTO rent_object (id, parent, name) VALUES (20, NULL, 'Гараж');\n"
            "INSERT INTO rent_service (id, name, startdate, enddate) VALUES (1, 'Аренда', DATE '2024-01-01', DATE '2024-12-31');\n"
            "INSERT INTO rent_service (id, parent, name) VALUES (2, 1, 'Уборка');\n"
            "INSERT INTO rent_service (id, name) VALUES (3, 'Охрана');\n"
            "INSERT INTO rent_service (id, parent, name) VALUES (4, 2, 'Мойка окон');\n"
            "INSERT INTO rent_servicevalue (servicekey, servicedate, servicevalue) VALUES (2, DATE '2024-01-01', 1.5);\n"
            "INSERT INTO rent_servicevalue (servicekey, servicedate, servicevalue) VALUES (2, DATE '2024-06-01', 2.0);\n"
            "INSERT INTO rent_typereckoning (id, name) VALUES (7, 'Формула');\n"
            // Price list: any object 5, building 7, floor 9 (and a later 99), room 12 itself 11.
            "INSERT INTO rent_servicecost (id, servicekey, objectkey, costcurr, typereckoningkey, ncureckoning) VALUES (1, 1, NULL, 5, 7, 0);\n"
            "INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, costcurr) VALUES (2, 1, 1, 10, 7);\n"
            "INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, costcurr) VALUES (3, 1, 1, 11, 9);\n"
            "INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, costcurr) VALUES (4, 1, 1, 11, 99);\n"
            "INSERT INTO rent_servicecost (id, parent, servicekey, objectkey, costcurr) VALUES (6, 1, 1, 12, 11);\n"
            "INSERT INTO rent_servicecost (id, servicekey, objectkey, costncu, ncureckoning) VALUES (5, 2, 12, 3, 1);\n"
            "INSERT INTO rent_payment (id, name) VALUES (1, 'Безнал');\n"
            "INSERT INTO rent_payment (id, name) VALUES (2, 'Нал');\n"
            "INSERT INTO rent_invoicetype (id, name) VALUES (1, 'Аренда');\n"
            "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (1, 1, 2, '1', 1, 0);\n"
            "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (2, 1, 2, '2', 2, 1);\n"
            "INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (3, 2, 1, '3', 1, 0);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr) VALUES (1, 1, 1, 12, 300, 100);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr) VALUES (2, 1, 2, NULL, 50, 0);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr) VALUES (3, 2, 1, 14, 30, 10);\n"
            "INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr) VALUES (4, 3, 1, 20, 20, 0);\n"
            // Readings of position 1: one before the service's period, two in it.
            "INSERT INTO rent_contractservicevalue (contractservicekey, contractservicedate, contractservicevalue) VALUES (1, DATE '2023-12-31', 1000);\n"
            "INSERT INTO rent_contractservicevalue (contractservicekey, contractservicedate, contractservicevalue) VALUES (1, DATE '2024-02-01', 10);\n"
            "INSERT INTO rent_contractservicevalue (contractservicekey, contractservicedate, contractservicevalue) VALUES (1, DATE '2024-03-01', 20.5);\n"
            "INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, paymentkey, invoicetypekey, currkey) VALUES (1, '1', DATE '2024-01-10', 1, 1, 1, 1, 2);\n"
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr) VALUES (1, 1, 100, 33.33);\n"
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr) VALUES (1, 2, 50, 0);\n"
            "INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, paymentkey, invoicetypekey, currkey) VALUES (2, '2', DATE '2024-02-10', 1, 1, 1, 1, 2);\n"
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr) VALUES (2, 1, 100, 33.33);\n"
            "INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, paymentkey, invoicetypekey, currkey) VALUES (3, '3', DATE '2024-01-15', 2, 3, 1, 1, 1);\n"
            "INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr) VALUES (3, 4, 20, 0);\n"
            "INSERT INTO rent_paybill (id, number, paybilldate, customerkey, paymentkey, currkey) VALUES (1, '1', DATE '2024-01-20', 1, 1, 2);\n"
            "INSERT INTO rent_paybillrelat (paybillkey, contractservicekey, costncu, costcurr) VALUES (1, 1, 60, 20);\n"
            // Value rows 1 > 2 > 3 and 4; figures 1 > 2 > 3 and 4.
            "INSERT INTO rent_variable (id, name, lockobject) VALUES (1, 'ПЛОЩАДЬ', 1);\n"
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (1, NULL, 1, 10);\n"
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (2, 1, 1, 11);\n"
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (3, 2, 1, 12);\n"
            "INSERT INTO rent_valuevariable (id, parent, variablekey, objectkey) VALUES (4, NULL, 1, 20);\n"
            "INSERT INTO rent_objectgraph (id, parent, name) VALUES (1, NULL, 'План');\n"
            "INSERT INTO rent_objectgraph (id, parent, name) VALUES (2, 1, 'Этаж');\n"
            "INSERT INTO rent_objectgraph (id, parent, name, objectkey) VALUES (3, 2, 'Комната', 12);\n"
            "INSERT INTO rent_objectgraph (id, parent, name) VALUES (4, NULL, 'Гараж');\n"));
    }
    void cleanupTestCase() { m_t.reset(); }

    // The row for the object wins over one for a parent object (the nearest
    // first), which wins over one for any object.
    void serviceCostPrefersTheNearestRow_data()
    {
        QTest::addColumn<int>("service");
        QTest::addColumn<QVariant>("object");
        QTest::addColumn<QVariant>("costcurr");  // invalid: no row
        QTest::newRow("own row") << 1 << QVariant(12) << QVariant(11.0);
        QTest::newRow("parent floor") << 1 << QVariant(14) << QVariant(9.0);
        QTest::newRow("the floor itself, oldest row") << 1 << QVariant(11) << QVariant(9.0);
        QTest::newRow("grandparent building") << 1 << QVariant(13) << QVariant(7.0);
        QTest::newRow("any object") << 1 << QVariant(20) << QVariant(5.0);
        QTest::newRow("no object") << 1 << QVariant(0) << QVariant(5.0);
        QTest::newRow("null object") << 1 << QVariant(QMetaType::fromType<int>()) << QVariant(5.0);
        QTest::newRow("only for one room") << 2 << QVariant(12) << QVariant(0.0);
        QTest::newRow("not for its parent") << 2 << QVariant(11) << QVariant();
        QTest::newRow("no price at all") << 3 << QVariant(12) << QVariant();
    }
    void serviceCostPrefersTheNearestRow()
    {
        QFETCH(int, service);
        QFETCH(QVariant, object);
        QFETCH(QVariant, costcurr);
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT costncu, costcurr, TypeReckoningKey, ncureckoning FROM rent_p_getservicecost(?, ?)"),
               {service, object});
        if (!costcurr.isValid()) {
            QVERIFY(!q.next());
            return;
        }
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toDouble(), costcurr.toDouble());
        QVERIFY(!q.next());
    }

    void serviceCostCarriesTheReckoning()
    {
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT * FROM rent_p_getservicecost(1, 20)"));
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("TYPERECKONINGKEY")).toInt(), 7);
        QCOMPARE(q.value(QStringLiteral("NCURECKONING")).toInt(), 0);
    }

    // A move under the row itself or under one of its descendants is refused.
    void testReplaceRefusesTheOwnBranch_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("idName");
        QTest::addColumn<QString>("groupName");
        QTest::addColumn<int>("id");
        QTest::addColumn<QVariant>("group");
        QTest::addColumn<int>("replace");
        const struct {
            const char *proc, *idName, *groupName;
            int root, child, grandchild, other;
        } trees[] = {
            {"rent_p_testreplaceobject", "id", "groupobject", 10, 11, 12, 20},
            {"rent_p_testreplaceValueVariable", "id", "groupValueVariable", 1, 2, 3, 4},
            {"rent_p_testreplaceobjectgraph", "objectgraphkey", "groupobjectgraph", 1, 2, 3, 4},
        };
        for (const auto &t : trees) {
            auto row = [&](const char *what, int id, const QVariant &group, int replace) {
                QTest::addRow("%s: %s", t.proc, what)
                    << QString::fromLatin1(t.proc) << QString::fromLatin1(t.idName) << QString::fromLatin1(t.groupName)
                    << id << group << replace;
            };
            row("under itself", t.root, t.root, 0);
            row("under its child", t.root, t.child, 0);
            row("under its grandchild", t.root, t.grandchild, 0);
            row("up the tree", t.grandchild, t.root, 1);
            row("to another branch", t.root, t.other, 1);
            row("to the top", t.child, 0, 1);
            row("to the top (null)", t.child, QVariant(QMetaType::fromType<int>()), 1);
            row("missing row", 999, t.other, 0);
            row("missing target", t.child, 999, 0);
        }
    }
    void testReplaceRefusesTheOwnBranch()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, idName);
        QFETCH(QString, groupName);
        QFETCH(int, id);
        QFETCH(QVariant, group);
        QFETCH(int, replace);
        const QVariantMap out = callProc(db(), procedure, {{idName, id}, {groupName, group}});
        QCOMPARE(out.value(QStringLiteral("REPLACE")).toInt(), replace);
    }

    void deleteObjectGraphTakesTheFiguresInside()
    {
        TxTransaction tr(db());
        callProc(db(), QStringLiteral("RENT_P_DELETEOBJECTGRAPH"), {{"OBJECTGRAPHKEY", 1}});
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT id FROM rent_objectgraph ORDER BY id")), QList<int>{4});
    }

    void objectUse()
    {
        auto useful = [&](const QVariant &object) {
            return callProc(db(), QStringLiteral("RENT_P_USEOBJECT"), {{"OBJECTKEY", object}}).value("USEFUL").toInt();
        };
        QCOMPARE(useful(12), 1);
        QCOMPARE(useful(14), 0);   // NULL flag
        QCOMPARE(useful(999), 0);
        // Where an object is used: open and closed contracts alike.
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT contractkey FROM rent_p_getcontract(12)")), QList<int>{1});
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT contractkey FROM rent_p_getcontract(14)")), QList<int>{2});
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT contractkey FROM rent_p_getcontract(13)")), QList<int>{});
        // Objects of open contracts only; positions without object left out.
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT objectkey * 100 + contractkey FROM rent_p_getuseobject "
                                                "ORDER BY 1")),
                 (QList<int>{1201, 2003}));
    }

    void reportObjects_data()
    {
        QTest::addColumn<QString>("objects");
        QTest::addColumn<int>("all");
        QTest::addColumn<int>("groups");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("chosen branches") << "11\r\n20" << 0 << 0 << QList<int>{12, 14, 20};
        QTest::newRow("with the groups") << "11\r\n20" << 0 << 1 << QList<int>{11, 12, 14, 20};
        QTest::newRow("overlapping choice") << "10\r\n12\r\n" << 0 << 0 << QList<int>{12, 13, 14};
        QTest::newRow("all objects") << "" << 1 << 0 << QList<int>{12, 13, 14, 20};
        QTest::newRow("nothing chosen") << "" << 0 << 1 << QList<int>{};
    }
    void reportObjects()
    {
        QFETCH(QString, objects);
        QFETCH(int, all);
        QFETCH(int, groups);
        QFETCH(QList<int>, expected);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT objectkey FROM rent_p_getobjects(?, ?, ?) ORDER BY 1"),
                           {objects, all, groups}),
                 expected);
    }

    void serviceValueOnADate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("before the first") << QDate(2023, 12, 31) << QVariant();
        QTest::newRow("on the first") << QDate(2024, 1, 1) << QVariant(1.5);
        QTest::newRow("between") << QDate(2024, 5, 31) << QVariant(1.5);
        QTest::newRow("on the second") << QDate(2024, 6, 1) << QVariant(2.0);
        QTest::newRow("later") << QDate(2030, 1, 1) << QVariant(2.0);
    }
    void serviceValueOnADate()
    {
        QFETCH(QDate, date);
        QFETCH(QVariant, value);
        const QVariant got = callProc(db(), QStringLiteral("rent_p_getservicevalue"), {{"servicekey", 2}, {"D", date}})
                                 .value(QStringLiteral("SERVICEVALUE"));
        if (!value.isValid())
            QVERIFY(got.isNull());
        else
            QCOMPARE(got.toDouble(), value.toDouble());
    }

    // The values of a position count within the period of its service only.
    void countAndSumOfAPosition()
    {
        auto count = [&](int cs) {
            return callProc(db(), QStringLiteral("rent_p_getcountservice"), {{"contractservicekey", cs}})
                .value("SERVICECOUNT").toInt();
        };
        auto sum = [&](int cs) {
            return callProc(db(), QStringLiteral("rent_p_getsumservice"), {{"id", cs}}).value("SERVICESUM").toDouble();
        };
        QCOMPARE(count(1), 2);
        QCOMPARE(sum(1), 30.5);
        QCOMPARE(count(4), 0);
        QCOMPARE(sum(4), 0.0);
    }

    void parentService_data()
    {
        QTest::addColumn<int>("service");
        QTest::addColumn<QList<int>>("top");
        QTest::newRow("grandchild") << 4 << QList<int>{1};
        QTest::newRow("top itself") << 3 << QList<int>{3};
        QTest::newRow("unknown") << 999 << QList<int>{};
    }
    void parentService()
    {
        QFETCH(int, service);
        QFETCH(QList<int>, top);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT servicekey FROM rent_p_get_parentservice(?)"), {service}), top);
    }

    void contractTotalsAndDeletablePositions()
    {
        TxTransaction tr(db());
        callProc(db(), QStringLiteral("RENT_P_SUMCONTRACT"), {{"CONTRACTKEY", 1}});
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT sumncu, sumcurr FROM rent_contract WHERE id = 1"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 350.0);
        QCOMPARE(q.value(1).toDouble(), 100.0);
        auto ok = [&](int cs) {
            return callProc(db(), QStringLiteral("RENT_P_TESTCONTRACTSERVICE"), {{"CONTRACTSERVICEKEY", cs}}).value("OK").toInt();
        };
        QCOMPARE(ok(1), 0);  // invoiced
        QCOMPARE(ok(3), 1);
    }

    // The debt of a position is the latest balance on or before a date;
    // later rows do not count.
    void debtOfAPositionOnADate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QVariant>("debt");
        QTest::newRow("before any invoice") << QDate(2024, 1, 9) << QVariant();
        QTest::newRow("invoice day") << QDate(2024, 1, 10) << QVariant(100.0);
        QTest::newRow("before the payment") << QDate(2024, 1, 19) << QVariant(100.0);
        QTest::newRow("payment day") << QDate(2024, 1, 20) << QVariant(40.0);
        QTest::newRow("before the second invoice") << QDate(2024, 2, 9) << QVariant(40.0);
        QTest::newRow("second invoice") << QDate(2024, 2, 10) << QVariant(140.0);
        QTest::newRow("long after") << QDate(2025, 1, 1) << QVariant(140.0);
    }
    void debtOfAPositionOnADate()
    {
        QFETCH(QDate, date);
        QFETCH(QVariant, debt);
        TxTransaction tr(db());
        bookAll();
        const QVariant got = debtOn(1, date);
        if (!debt.isValid())
            QVERIFY(got.isNull());
        else
            QCOMPARE(got.toDouble(), debt.toDouble());
        // The procedure shows the same balance.
        const QVariant viaProc = TxQuery::scalar(
            db(), QStringLiteral("SELECT costncu FROM rent_p_getdebt(?) WHERE contractservicekey = 1"), {date});
        QCOMPARE(viaProc.isNull(), got.isNull());
        if (!got.isNull())
            QCOMPARE(viaProc.toDouble(), got.toDouble());
    }

    void debtSums()
    {
        TxTransaction tr(db());
        bookAll();
        const QDate d(2024, 1, 25);
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT contractservicekey, currkey, debtdate, costncu, costcurr, debtkey FROM rent_p_getdebt(?) "
                              "ORDER BY contractservicekey"),
               {d});
        QList<QVariantList> rows;
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2), q.value(3)};
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QVariantList{1, 2, QDate(2024, 1, 20), 40.0}));
        QCOMPARE(rows[1], (QVariantList{2, 2, QDate(2024, 1, 10), 50.0}));
        QCOMPARE(rows[2], (QVariantList{4, 1, QDate(2024, 1, 15), 20.0}));

        auto sums = [&](const QString &proc, int key) {
            return TxQuery::scalar(db(), QStringLiteral("SELECT SUM(costncu) FROM %1(?, ?)").arg(proc), {d, key});
        };
        QCOMPARE(sums(QStringLiteral("rent_p_getdebtcontract"), 1).toDouble(), 90.0);
        QCOMPARE(sums(QStringLiteral("rent_p_getdebtcontract"), 3).toDouble(), 20.0);
        QCOMPARE(sums(QStringLiteral("rent_p_getdebtcustomer"), 1).toDouble(), 90.0);
        QCOMPARE(sums(QStringLiteral("rent_p_getdebtcustomer"), 2).toDouble(), 20.0);
        QVERIFY(sums(QStringLiteral("rent_p_getdebtcustomer"), 3).isNull());

        // Per tenant and object, positions without object under NULL.
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT customerkey || '/' || COALESCE(objectkey, 0) || '=' || CAST(costncu AS INTEGER) "
                                                 "FROM rent_p_getcustomer(?) ORDER BY 1"),
                            {d}),
                 (QStringList{"1/0=50", "1/12=40", "2/20=20"}));
        // The invoice learnt its total.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT sumncu FROM rent_invoice WHERE id = 1")).toDouble(), 150.0);
    }

    // Withdrawing a document removes exactly what it booked; booking again
    // never counts it twice; a rebuild gives the same balances.
    void bookingAndWithdrawal()
    {
        TxTransaction tr(db());
        bookAll();
        auto balances = [&] {
            return textColumn(db(), QStringLiteral("SELECT contractservicekey || '@' || debtdate || '=' || costncu || '/' || costcurr "
                                                   "FROM rent_debt ORDER BY contractservicekey, debtdate"));
        };
        const QStringList booked = balances();

        callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 1}});
        QCOMPARE(balances(), booked);

        callProc(db(), QStringLiteral("rent_p_deleteinvoicedebt"), {{"invoicekey", 2}});
        QCOMPARE(debtOn(1, QDate(2025, 1, 1)).toDouble(), 40.0);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_debt WHERE contractservicekey = 1")), QList<int>{2});

        callProc(db(), QStringLiteral("rent_p_addPayBilldebt"), {{"paybillkey", 1}});
        QCOMPARE(debtOn(1, QDate(2025, 1, 1)).toDouble(), 100.0);
        callProc(db(), QStringLiteral("rent_p_deletepaybilldebt"), {{"paybillkey", 1}});
        callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 2}});
        QCOMPARE(balances(), booked);

        TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE rent_p_newdebt"));
        QCOMPARE(balances(), booked);
    }

    // A booked invoice cannot be deleted behind the debt's back; withdrawn, it can.
    void bookedInvoiceIsNotDeleted()
    {
        TxTransaction tr(db());
        bookAll();
        TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_invoiceservice WHERE invoicekey = 3"));
        const QString outcome = refusedAsInUse([&] { TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_invoice WHERE id = 3")); });
        QVERIFY2(outcome.isEmpty(), qPrintable(outcome));
        TxQuery::execute(db(), QStringLiteral("EXECUTE PROCEDURE rent_p_deleteinvoicedebt(3)"));
        QCOMPARE(TxQuery::execute(db(), QStringLiteral("DELETE FROM rent_invoice WHERE id = 3")), 1);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT COUNT(*) FROM rent_debt WHERE contractservicekey = 4")), QList<int>{0});
    }

    void bookingAnUnknownInvoiceFails()
    {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, callProc(db(), QStringLiteral("rent_p_addinvoicedebt"), {{"invoicekey", 999}}));
    }

    void debtHistory_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("rows");  // date: start > end, charged, paid
        const QStringList position{"2024-01-10: 0>100 +100 -0", "2024-01-20: 100>40 +0 -60", "2024-02-10: 40>140 +100 -0"};
        QTest::newRow("position") << "SELECT * FROM rent_p_gethistoryCS(1)" << position;
        QTest::newRow("customer") << "SELECT * FROM rent_p_gethistoryCustomer(1)"
                                  << QStringList{"2024-01-10: 0>150 +150 -0", "2024-01-20: 150>90 +0 -60",
                                                 "2024-02-10: 90>190 +100 -0"};
        QTest::newRow("service, all forms") << "SELECT * FROM rent_p_gethistoryservice(1, 1, 1, 0)" << position;
        QTest::newRow("service, its form") << "SELECT * FROM rent_p_gethistoryservice(1, 1, 0, 1)" << position;
        QTest::newRow("service, other form") << "SELECT * FROM rent_p_gethistoryservice(1, 1, 0, 2)" << QStringList{};
        QTest::newRow("other customer's service") << "SELECT * FROM rent_p_gethistoryservice(2, 2, 1, 0)" << QStringList{};
    }
    void debtHistory()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, rows);
        TxTransaction tr(db());
        bookAll();
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT gh.*, (gh.enddebtcostncu - gh.startdebtcostncu - gh.ccostncu + gh.dcostncu) "
                              "AS adddebtcostncu FROM (%1) gh ORDER BY historydate")
                   .arg(query));
        QStringList got;
        while (q.next()) {
            QVERIFY(fuzzyEqual(q.value(QStringLiteral("adddebtcostncu")).toDouble(), 0));
            QVERIFY(fuzzyEqual(q.value(QStringLiteral("costncu")).toDouble(),
                               q.value(QStringLiteral("ccostncu")).toDouble() - q.value(QStringLiteral("dcostncu")).toDouble()));
            got << QStringLiteral("%1: %2>%3 +%4 -%5")
                       .arg(q.value(QStringLiteral("historydate")).toDate().toString(Qt::ISODate))
                       .arg(q.value(QStringLiteral("startdebtcostncu")).toDouble())
                       .arg(q.value(QStringLiteral("enddebtcostncu")).toDouble())
                       .arg(q.value(QStringLiteral("ccostncu")).toDouble())
                       .arg(q.value(QStringLiteral("dcostncu")).toDouble());
        }
        QCOMPARE(got, rows);
    }
};

// ---------------------------------------------------------------------------
// The customer directory, places and the lookup procedures.
class CustomerProceduresTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

    static QStringList listexParams()
    {
        return {"disabledvalue", "companykindvalue", "propertykindvalue", "usename",  "namemask",  "usezipcode",
                "zipcodemask",   "placevalue",       "usepobox",          "poboxmask", "useunn",    "unnmask",
                "useokpo",       "okpomask",         "usephone",          "phonemask", "usefax",    "faxmask",
                "useemail",      "emailmask",        "useurl",            "urlmask",   "cstkind"};
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        runScript(db(), QStringLiteral(
            "INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (1, 10, '', 'Страна', 0);\n"
            "INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (2, 30, 'г.', 'Город', 1);\n"
            "INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (3, 40, 'ул.', 'Улица', 1);\n"
            "INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (4, 20, 'обл.', 'Область', 2);\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (1, NULL, 1, 'Беларусь');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (2, 1, 2, 'Минск');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (3, 2, 3, 'Немига');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (4, 1, 4, 'Брестская');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (5, 4, 2, 'Брест');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (6, 5, 3, 'Советская');\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name, usehighlevel) VALUES (7, 2, 3, 'Тайная', 0);\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name, inaddress) VALUES (8, 2, NULL, 'Микрорайон', 0);\n"
            "INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (9, 8, 3, 'Лесная');\n"
            "INSERT INTO fin_companykind (companykindkey, name) VALUES (1, 'ООО');\n"
            "INSERT INTO fin_propertykind (propertykindkey, name) VALUES (1, 'Частная');\n"
            "INSERT INTO cst_customer (customerkey, kind, name) VALUES (1, 2, 'Немига-Банк');\n"
            "INSERT INTO cst_factory (customerkey, mfo) VALUES (1, '153001964');\n"
            "INSERT INTO cst_customer (customerkey, kind, name, phone, email, unn, zipcode, placekey, companykindkey, propertykindkey) "
            "  VALUES (2, 1, 'ООО «Альфа»', '+375 17 111-22-33', 'alfa@tut.by', '190000001', '220030', 3, 1, 1);\n"
            "INSERT INTO cst_factory (customerkey, director) VALUES (2, 'Сидоренко В.А.');\n"
            "INSERT INTO ir_executor (customerkey, name, phone) VALUES (2, 'Морозова Ирина', '+375 29 1');\n"
            "INSERT INTO cst_customer (customerkey, kind, name, unn, placekey, disabled) VALUES (3, 1, 'ОАО «Бета»', '190000002', 6, 1);\n"
            "INSERT INTO cst_customer (customerkey, kind, name, placekey) VALUES (4, 3, 'Иванов Иван Иванович', 3);\n"
            "INSERT INTO cst_person (customerkey, lastname, name, medname) VALUES (4, 'Иванов', 'Иван', 'Иванович');\n"
            "INSERT INTO cst_customer (customerkey, kind, name, placekey) VALUES (5, 4, 'ИП Петров', 9);\n"
            "INSERT INTO cst_customer (customerkey, kind, name, email) VALUES (6, 1, 'альфа-сервис', 'office@alfa.by');\n"
            "INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, account, disabled) VALUES (1, 2, 1, 'Расчетный', 'BY01', 0);\n"
            "INSERT INTO cst_bankaccount (bankaccountkey, customerkey, bankkey, name, account, disabled) VALUES (2, 2, 1, 'Валютный', 'BY02', 1);\n"
            "INSERT INTO ph_attr (id, name, shortname) VALUES (1, 'Надежный плательщик', 'Надежный');\n"
            "INSERT INTO cst_custattr VALUES (2, 1);\n"
            "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Белорусский рубль', 'BYN', 1);\n"
            "INSERT INTO fin_curr (id, name, shortname) VALUES (2, 'Доллар США', 'USD');\n"
            "INSERT INTO fin_curr (id, name, shortname, disabled) VALUES (3, 'Евро', 'EUR', 1);\n"
            "INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATE '2024-03-01', 3.2);\n"
            "INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, DATE '2024-03-05', 3.3);\n"
            "INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (1, 3, DATE '2024-03-02', 0.28);\n"
            "INSERT INTO rent_typereckoning (id, name) VALUES (1, 'Аренда склада');\n"
            "INSERT INTO rent_typereckoning (id, name) VALUES (2, 'Аренда по площади');\n"));
    }
    void cleanupTestCase() { m_t.reset(); }

    void clientListex_data()
    {
        QTest::addColumn<QVariantMap>("set");  // the parameters that differ from "everything off"
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("all but banks") << QVariantMap{} << QList<int>{6, 4, 5, 3, 2};
        QTest::newRow("banks") << QVariantMap{{"cstkind", 2}} << QList<int>{1};
        QTest::newRow("private persons") << QVariantMap{{"cstkind", 3}} << QList<int>{4};
        QTest::newRow("every kind") << QVariantMap{{"cstkind", 0}} << QList<int>{6, 4, 5, 1, 3, 2};
        QTest::newRow("name equals") << QVariantMap{{"usename", 0}, {"namemask", "ооо «альфа» "}} << QList<int>{2};
        QTest::newRow("name contains") << QVariantMap{{"usename", 1}, {"namemask", "АЛЬФА"}} << QList<int>{6, 2};
        QTest::newRow("name starts with") << QVariantMap{{"usename", 2}, {"namemask", "оао"}} << QList<int>{3};
        QTest::newRow("name ends with") << QVariantMap{{"usename", 3}, {"namemask", "иванович"}} << QList<int>{4};
        QTest::newRow("mask is not a pattern") << QVariantMap{{"usename", 1}, {"namemask", "%а%"}} << QList<int>{};
        QTest::newRow("e-mail contains") << QVariantMap{{"useemail", 1}, {"emailmask", "alfa"}} << QList<int>{6, 2};
        QTest::newRow("УНН ends with") << QVariantMap{{"useunn", 3}, {"unnmask", "02"}} << QList<int>{3};
        QTest::newRow("phone starts with") << QVariantMap{{"usephone", 2}, {"phonemask", "+375 17"}} << QList<int>{2};
        QTest::newRow("zip code equals") << QVariantMap{{"usezipcode", 0}, {"zipcodemask", "220030"}} << QList<int>{2};
        QTest::newRow("active only") << QVariantMap{{"disabledvalue", 0}} << QList<int>{6, 4, 5, 2};
        QTest::newRow("inactive only") << QVariantMap{{"disabledvalue", 1}} << QList<int>{3};
        QTest::newRow("company form") << QVariantMap{{"companykindvalue", 1}} << QList<int>{2};
        QTest::newRow("ownership") << QVariantMap{{"propertykindvalue", 1}} << QList<int>{2};
        QTest::newRow("town and the streets in it") << QVariantMap{{"placevalue", 2}} << QList<int>{4, 5, 2};
        QTest::newRow("region") << QVariantMap{{"placevalue", 4}} << QList<int>{3};
        QTest::newRow("two conditions") << QVariantMap{{"usename", 1}, {"namemask", "альфа"}, {"useemail", 3}, {"emailmask", ".by"}}
                                        << QList<int>{6, 2};
    }
    void clientListex()
    {
        QFETCH(QVariantMap, set);
        QFETCH(QList<int>, expected);
        QVariantList values;
        QStringList marks;
        for (const QString &p : listexParams()) {
            QVariant v = p.startsWith(QLatin1String("use")) || p.endsWith(QLatin1String("value")) ? QVariant(-1)
                                                                                                   : QVariant(QString());
            if (p == QLatin1String("cstkind"))
                v = 1;
            values << set.value(p, v);
            marks << QStringLiteral("?");
        }
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT customerkey FROM cst_p_client_listex(%1)").arg(marks.join(',')),
                           values),
                 expected);
    }

    void lookupSearch_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QVariant>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("found");  // invalid: not found
        QTest::addColumn<QString>("foundText");
        const QVariant noId(QMetaType::fromType<int>());
        QTest::newRow("by key, inactive too") << "cst_p_customer_search" << QVariant(3) << "" << 0 << QVariant(3) << "ОАО «Бета»";
        QTest::newRow("unknown key") << "cst_p_customer_search" << QVariant(99) << "" << 0 << QVariant() << "";
        QTest::newRow("equals") << "cst_p_customer_search" << noId << "ооо «АЛЬФА»" << 1 << QVariant(2) << "ООО «Альфа»";
        QTest::newRow("starts with") << "cst_p_customer_search" << noId << "ивано" << 2 << QVariant(4) << "Иванов Иван Иванович";
        QTest::newRow("contains") << "cst_p_customer_search" << noId << "сервис" << 3 << QVariant(6) << "альфа-сервис";
        QTest::newRow("inactive not offered") << "cst_p_customer_search" << noId << "оао" << 2 << QVariant() << "";
        QTest::newRow("empty text") << "cst_p_customer_search" << noId << " " << 2 << QVariant() << "";
        QTest::newRow("bank among customers") << "cst_p_customer_search" << noId << "немига-банк" << 1 << QVariant(1) << "Немига-Банк";
        QTest::newRow("bank is no tenant") << "rent_p_customer_search" << noId << "немига-банк" << 1 << QVariant() << "";
        QTest::newRow("tenant, exact first") << "rent_p_customer_search" << noId << "ип петров" << 9 << QVariant(5) << "ИП Петров";
        QTest::newRow("tenant, then beginning") << "rent_p_customer_search" << noId << "альф" << 9 << QVariant(6) << "альфа-сервис";
        QTest::newRow("currency") << "fin_p_curr_search" << noId << "дол" << 2 << QVariant(2) << "Доллар США";
        QTest::newRow("inactive currency") << "fin_p_curr_search" << noId << "евро" << 1 << QVariant() << "";
        QTest::newRow("inactive currency by key") << "fin_p_curr_search" << QVariant(3) << "" << 0 << QVariant(3) << "Евро";
        QTest::newRow("place") << "cst_p_place_search" << noId << "минск" << 1 << QVariant(2) << "Минск";
        QTest::newRow("reckoning type, first by name") << "rent_p_typereckoning_search" << noId << "аренда" << 2 << QVariant(2)
                                                       << "Аренда по площади";
        QTest::newRow("new reckoning type name") << "rent_p_typereckoning_search" << noId << "Аренда офиса" << 1 << QVariant() << "";
    }
    void lookupSearch()
    {
        QFETCH(QString, procedure);
        QFETCH(QVariant, id);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(QVariant, found);
        QFETCH(QString, foundText);
        const QVariantMap out = callProc(db(), procedure, {{"ID", id}, {"Text", text}, {"Type", type}});
        QCOMPARE(out.value("OK").toInt(), found.isValid() ? 1 : 0);
        if (found.isValid()) {
            QCOMPARE(out.value("OUTID").toInt(), found.toInt());
            QCOMPARE(out.value("OUTTEXT").toString(), foundText);
        }
    }

    // The lists read the views as the lookup boxes do.
    void lookupViews_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("customers") << "SELECT name FROM cst_p_customer_view ORDER BY name COLLATE PXW_CYRL"
                                   << QStringList{"альфа-сервис", "Иванов Иван Иванович", "ИП Петров", "Немига-Банк", "ООО «Альфа»"};
        QTest::newRow("tenants") << "SELECT name FROM rent_p_customer_view ORDER BY name COLLATE PXW_CYRL"
                                 << QStringList{"альфа-сервис", "Иванов Иван Иванович", "ИП Петров", "ООО «Альфа»"};
        QTest::newRow("currencies") << "SELECT currkey || name FROM fin_p_curr_view ORDER BY name COLLATE PXW_CYRL"
                                    << QStringList{"1Белорусский рубль", "2Доллар США"};
        QTest::newRow("reckoning types") << "SELECT id || name FROM rent_p_typereckoning_view ORDER BY name COLLATE PXW_CYRL"
                                         << QStringList{"2Аренда по площади", "1Аренда склада"};
        QTest::newRow("places") << "SELECT placekey || name FROM cst_p_place_view WHERE parent = 2 ORDER BY name COLLATE PXW_CYRL"
                                << QStringList{"8Микрорайон", "3Немига", "7Тайная"};
    }
    void lookupViews()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        QCOMPARE(textColumn(db(), query), names);
    }

    void incrementalSearch_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("anywhere");
        QTest::addColumn<int>("disabledToo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("current");
        QTest::addColumn<QVariant>("found");
        const QVariant none(QMetaType::fromType<int>());
        QTest::newRow("first") << 1 << 0 << 0 << "и" << none << QVariant(4);
        QTest::newRow("next") << 2 << 0 << 0 << "и" << QVariant(4) << QVariant(5);
        QTest::newRow("past the last") << 2 << 0 << 0 << "и" << QVariant(5) << QVariant();
        QTest::newRow("previous") << 3 << 0 << 0 << "и" << QVariant(5) << QVariant(4);
        QTest::newRow("before the first") << 3 << 0 << 0 << "и" << QVariant(4) << QVariant();
        QTest::newRow("anywhere") << 1 << 1 << 0 << "альфа" << none << QVariant(6);
        QTest::newRow("anywhere, next") << 2 << 1 << 0 << "альфа" << QVariant(6) << QVariant(2);
        QTest::newRow("no banks") << 1 << 0 << 0 << "немига" << none << QVariant();
        QTest::newRow("inactive skipped") << 1 << 0 << 0 << "оао" << none << QVariant();
        QTest::newRow("inactive asked for") << 1 << 0 << 1 << "оао" << none << QVariant(3);
    }
    void incrementalSearch()
    {
        QFETCH(int, mode);
        QFETCH(int, anywhere);
        QFETCH(int, disabledToo);
        QFETCH(QString, text);
        QFETCH(QVariant, current);
        QFETCH(QVariant, found);
        // Positional, as the incremental search box calls it.
        TxQuery q(db());
        q.exec(QStringLiteral("EXECUTE PROCEDURE rent_p_searchcustomer(?, ?, ?, ?, ?)"),
               {mode, anywhere, disabledToo, text, current});
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toInt(), found.isValid() ? 1 : 0);
        if (found.isValid())
            QCOMPARE(q.value(0).toInt(), found.toInt());
    }

    void fullAddress_data()
    {
        QTest::addColumn<QVariant>("place");
        QTest::addColumn<QString>("address");
        QTest::newRow("street") << QVariant(3) << "Беларусь, г. Минск, ул. Немига";
        QTest::newRow("abbreviation after") << QVariant(6) << "Беларусь, Брестская обл., г. Брест, ул. Советская";
        QTest::newRow("without upper levels") << QVariant(7) << "ул. Тайная";
        QTest::newRow("level left out") << QVariant(9) << "Беларусь, г. Минск, ул. Лесная";
        QTest::newRow("no place") << QVariant(QMetaType::fromType<int>()) << "";
    }
    void fullAddress()
    {
        QFETCH(QVariant, place);
        QFETCH(QString, address);
        QCOMPARE(callProc(db(), QStringLiteral("FIN_P_PLC_PLACE2STR"), {{"placekey", place}}).value("FULLADDRESS").toString(),
                 address);
    }

    void placeTree()
    {
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT placelevel || ':' || placekey FROM cst_p_parentplace(3)")),
                 (QStringList{"1:2", "2:1"}));
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT childcount FROM cst_p_childplacecount(2)")), QList<int>{3});
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT childcount FROM cst_p_childplacecount(NULL)")), QList<int>{1});
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT placekey || name || childcount FROM cst_p_childplacelist(2)")),
                 (QStringList{"8Микрорайон1", "3Немига0", "7Тайная0"}));
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT abbr || name FROM cst_p_placekind_list ORDER BY grade, abbr COLLATE PXW_CYRL")),
                 (QStringList{"Страна", "обл.Область", "г.Город", "ул.Улица"}));
    }

    void movingAndReplacingPlaces()
    {
        TxTransaction tr(db());
        auto send = [&](int source, const QVariant &target) {
            callProc(db(), QStringLiteral("cst_p_sendplace"), {{"Source", source}, {"Target", target}});
        };
        auto parentOf = [&](int place) {
            return TxQuery::scalar(db(), QStringLiteral("SELECT parent FROM fin_place WHERE placekey = ?"), {place});
        };
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, send(2, 3));  // under its own street
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, send(2, 2));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, send(2, 999));
        QCOMPARE(parentOf(2).toInt(), 1);
        send(7, 5);
        QCOMPARE(parentOf(7).toInt(), 5);
        send(7, 0);
        QVERIFY(parentOf(7).isNull());

        auto replace = [&](int source, int target) {
            callProc(db(), QStringLiteral("cst_p_replace_place"), {{"Source", source}, {"Target", target}});
        };
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, replace(2, 9));  // 9 lies below 2
        // Brest's street merged into Nemiga: its customer moves, the place goes.
        replace(6, 3);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT placekey FROM cst_customer WHERE customerkey = 3")).toInt(), 3);
        QVERIFY(!TxQuery::scalar(db(), QStringLiteral("SELECT placekey FROM fin_place WHERE placekey = 6")).isValid());
        // A region merged into a town brings its children along.
        replace(4, 2);
        QCOMPARE(parentOf(5).toInt(), 2);
    }

    void deletingCustomers()
    {
        auto del = [&](int customer) {
            callProc(db(), QStringLiteral("CST_P_DELETECUSTOMER"), {{"customerkey", customer}});
        };
        {
            TxTransaction tr(db());
            const QString outcome = refusedAsInUse([&] { del(1); });  // the bank of accounts
            QVERIFY2(outcome.isEmpty(), qPrintable(outcome));
        }
        {
            TxTransaction tr(db());
            runScript(db(), QStringLiteral("INSERT INTO rent_contract (id, customerkey) VALUES (1, 4)"));
            const QString outcome = refusedAsInUse([&] { del(4); });
            QVERIFY2(outcome.isEmpty(), qPrintable(outcome));
            QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM cst_person WHERE customerkey = 4")).toInt(), 1);
        }
        TxTransaction tr(db());
        del(2);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral(
                                           "SELECT (SELECT COUNT(*) FROM cst_customer WHERE customerkey = 2) + "
                                           "(SELECT COUNT(*) FROM cst_factory WHERE customerkey = 2) + "
                                           "(SELECT COUNT(*) FROM ir_executor WHERE customerkey = 2) + "
                                           "(SELECT COUNT(*) FROM cst_bankaccount WHERE customerkey = 2) + "
                                           "(SELECT COUNT(*) FROM cst_custattr WHERE customerkey = 2) FROM RDB$DATABASE"))
                     .toInt(),
                 0);
    }

    void banksAndAccounts()
    {
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT account || ' ' || bankname FROM cst_p_bankaccountlist(2, NULL)")),
                 (QStringList{"BY02 Немига-Банк", "BY01 Немига-Банк"}));
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT account FROM cst_p_bankaccountlist(2, 0)")), QStringList{"BY01"});
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name || '|' || displayname FROM cst_p_bank_list(NULL, 2)")),
                 QStringList{"Немига-Банк|Немига-Банк 153001964"});
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT displayname FROM cst_p_bank_list(-1, 1)")),
                 QStringList{"153001964 Немига-Банк"});
        QCOMPARE(textColumn(db(), QStringLiteral("SELECT name FROM cst_p_bank_list(1, 0)")), QStringList{});
    }

    void printableValuesOfACustomer()
    {
        QVariantMap v = callProc(db(), QStringLiteral("fin_p_customer_getvalue"), {{"customerkey", 2}});
        QVERIFY(v.value("KODKAU").isNull());
        QCOMPARE(v.value("NAME").toString(), QStringLiteral("ООО «Альфа»"));
        QCOMPARE(v.value("ADDRESS").toString(), QStringLiteral("Беларусь, г. Минск, ул. Немига"));
        QCOMPARE(v.value("ACCOUNT").toString(), QStringLiteral("BY01"));
        QCOMPARE(v.value("BANKMFO").toString(), QStringLiteral("153001964"));
        QCOMPARE(v.value("DIRECTOR").toString(), QStringLiteral("Сидоренко В.А."));
        QCOMPARE(v.value("CONTACTNAME").toString(), QStringLiteral("Морозова Ирина"));
        QCOMPARE(v.value("KINDNAME").toString(), QStringLiteral("Предприятие"));

        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("UPDATE cst_customer SET externalkey = 77 WHERE customerkey = 4"));
        v = callProc(db(), QStringLiteral("fin_p_customer_getvalue"), {{"customerkey", 4}});
        QCOMPARE(v.value("KODKAU").toInt(), 77);
        QCOMPARE(v.value("LASTNAME").toString(), QStringLiteral("Иванов"));
        QVERIFY(callProc(db(), QStringLiteral("fin_p_customer_getvalue"), {{"customerkey", 99}}).value("NAME").isNull());
    }

    void currenciesOfTheRateMatrix()
    {
        // Base USD, active currencies: only BYN, with the USD rate valid on the last day.
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT id, coeff, ratecount FROM fin_p_curr_getcurr(2, DATE '2024-03-01', DATE '2024-03-04', 1)"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toDouble(), 3.2);
        QCOMPARE(q.value(2).toInt(), 1);
        QVERIFY(!q.next());
        // Base BYN, every currency by short name: EUR has a rate from BYN, USD only the reverse one.
        q.exec(QStringLiteral("SELECT id, coeff, ratecount FROM fin_p_curr_getcurr(1, DATE '2024-03-01', DATE '2024-03-04', 0)"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 3);
        QCOMPARE(q.value(1).toDouble(), 0.28);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        QVERIFY(q.value(1).isNull());
        QCOMPARE(q.value(2).toInt(), 1);
    }
};

// ---------------------------------------------------------------------------
class DemoDataTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

private Q_SLOTS:
    void initTestCase() { m_t = std::make_unique<TestDatabase>(TestDatabase::Content::Demo); }
    void cleanupTestCase() { m_t.reset(); }

    void aSmallLandlord()
    {
        // 25 customers of which one bank, and the second bank of the customer directory's demo.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer")).toInt(), 26);
        QCOMPARE(intColumn(db(), QStringLiteral("SELECT kind FROM cst_customer WHERE kind = 2")), (QList<int>{2, 2}));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_curr WHERE isncu = 1")).toInt(), 1);
        // Every enterprise has its details, every person a passport.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer c WHERE c.kind IN (1, 2) AND NOT EXISTS "
                                                      "(SELECT 1 FROM cst_factory f WHERE f.customerkey = c.customerkey)"))
                     .toInt(),
                 0);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer c WHERE c.kind IN (3, 4) AND NOT EXISTS "
                                                      "(SELECT 1 FROM cst_person p WHERE p.customerkey = c.customerkey)"))
                     .toInt(),
                 0);
        QVERIFY(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM rent_contractservice")).toInt() > 30);
        // Rates are current: one dated today.
        QVERIFY(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_currrate WHERE fordate = CURRENT_DATE")).toInt() > 0);
        // Objects of open contracts are in use, the others free.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral(
                                           "SELECT COUNT(*) FROM rent_object o WHERE COALESCE(o.useful, 0) <> "
                                           "IIF(EXISTS (SELECT 1 FROM rent_contractservice cs JOIN rent_contract c ON c.id = cs.contractkey "
                                           "WHERE cs.objectkey = o.id AND c.disabled = 0), 1, 0)"))
                     .toInt(),
                 0);
        // Contract totals are the sums of their positions.
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral(
                                           "SELECT COUNT(*) FROM rent_contract c WHERE ABS(c.sumncu - "
                                           "(SELECT COALESCE(SUM(costncu), 0) FROM rent_contractservice WHERE contractkey = c.id)) > 0.001"))
                     .toInt(),
                 0);
    }

    // New rows and keys continue after the demo's own keys.
    void keysContinueAfterTheDemo()
    {
        const int maxContract = TxQuery::scalar(db(), QStringLiteral("SELECT MAX(id) FROM rent_contract")).toInt();
        QVERIFY(TxQuery::scalar(db(), QStringLiteral("SELECT contractkey FROM rent_p_getcontractkey")).toInt() > maxContract);
        const int maxCustomer = TxQuery::scalar(db(), QStringLiteral("SELECT MAX(customerkey) FROM cst_customer")).toInt();
        QVERIFY(callProc(db(), QStringLiteral("cst_p_customer_customerkey"), {}).value("CUSTOMERKEY").toInt() > maxCustomer);
        TxTransaction tr(db());
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_contractservice (contractkey, servicekey) VALUES (1, 2)"));
        TxQuery::execute(db(), QStringLiteral("INSERT INTO rent_object (name) VALUES ('Новая комната')"));
    }

    // The demo's formulas name only what the reckoning engine can give them:
    // built-in names, earlier steps of the same type and user variables.
    void formulasUseKnownNames()
    {
        const QSet<QString> builtIn{"ЦЕНАРУБ", "ЦЕНАВАЛ", "ЦЕНАПРАЙСРУБ", "ЦЕНАПРАЙСВАЛ", "КУРС", "ДОЛГРУБ",
                                    "ДОЛГВАЛ", "ДОЛГКЛИЕНТРУБ", "ДОЛГКЛИЕНТВАЛ", "ДОЛГКОНТРАКТРУБ", "ДОЛГКОНТРАКТВАЛ",
                                    "КОЛОБЪЕКТ", "СТОИМУСЛУГИ", "КОЛУСЛУГ", "СУММАУСЛУГ", "КОЭФI", "КОЭФII", "КОЭФIII"};
        const QStringList vars = textColumn(db(), QStringLiteral("SELECT name FROM rent_variable"));
        const QSet<QString> userVars(vars.cbegin(), vars.cend());
        TxQuery q(db());
        q.exec(QStringLiteral("SELECT typereckoningkey, name, formula FROM rent_reckoning ORDER BY typereckoningkey, number"));
        static const QRegularExpression word(QStringLiteral("[A-Za-zА-Яа-яЁё]+"));
        int type = -1;
        QSet<QString> steps;
        int checked = 0;
        while (q.next()) {
            if (q.value(0).toInt() != type) {
                type = q.value(0).toInt();
                steps.clear();
            }
            auto it = word.globalMatch(q.value(2).toString());
            while (it.hasNext()) {
                const QString w = it.next().captured();
                QVERIFY2(builtIn.contains(w) || steps.contains(w) || userVars.contains(w),
                         qPrintable(QStringLiteral("type %1 uses the unknown name %2").arg(type).arg(w)));
            }
            steps.insert(q.value(1).toString());
            ++checked;
        }
        QVERIFY(checked > 5);
    }

    void pricesOfTheDemo()
    {
        auto price = [&](const QString &object) {
            return TxQuery::scalar(db(), QStringLiteral("SELECT costcurr FROM rent_p_getservicecost(2, "
                                                        "(SELECT id FROM rent_object WHERE name = ?))"),
                                   {object})
                .toDouble();
        };
        QCOMPARE(price(QStringLiteral("Немига, оф. 204")), 13.5);          // its own row
        QCOMPARE(price(QStringLiteral("Независимости, оф. 201")), 11.0);   // the building's
        QCOMPARE(price(QStringLiteral("Немига, оф. 201")), 12.0);          // any object
    }
};

#include "tst_procedures.moc"

KORVEX_TEST_CLASS(ReferenceSchemaTest)
KORVEX_TEST_CLASS(KeyProceduresTest)
KORVEX_TEST_CLASS(LeaseProceduresTest)
KORVEX_TEST_CLASS(CustomerProceduresTest)
KORVEX_TEST_CLASS(DemoDataTest)
