#include "common/testDatabase.h"
#include "common/testMain.h"

#include "calc/boRentVariable.h"
#include "db/xQuery.h"

#include <QTest>

using namespace korvex::db;
using korvex::calc::TboRentValueVariable;
using korvex::test::TestDatabase;

// Objects: building 10 > floor 11 > room 12; floor 13 under 10; object 20
// alone at the top. Variables: ПЛОЩАДЬ bound to the object; ТАРИФ bound to
// object and customer; НАЛОГ bound to nothing; ПУСТО bound to the object,
// with a row for room 12 whose value is not set and one for building 10.
class FindValueTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        const QStringList fixture = {
            "INSERT INTO cst_customer (customerkey, name, kind) VALUES (5, 'ООО Пятый', 1)",
            "INSERT INTO cst_customer (customerkey, name, kind) VALUES (6, 'ООО Шестой', 1)",
            "INSERT INTO rent_service (id, name) VALUES (1, 'Аренда')",
            "INSERT INTO rent_object (id, parent, name) VALUES (10, NULL, 'Корпус А')",
            "INSERT INTO rent_object (id, parent, name) VALUES (11, 10, 'Этаж 1')",
            "INSERT INTO rent_object (id, parent, name) VALUES (12, 11, 'Комната 101')",
            "INSERT INTO rent_object (id, parent, name) VALUES (13, 10, 'Этаж 2')",
            "INSERT INTO rent_object (id, parent, name) VALUES (20, NULL, 'Стоянка')",
            "INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (1, 'ПЛОЩАДЬ', 1, 0, 0)",
            "INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (2, 'ТАРИФ', 1, 0, 1)",
            "INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (3, 'НАЛОГ', 0, 0, 0)",
            "INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (4, 'ПУСТО', 1, 0, 0)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (1, 1, 10, 500)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (2, 1, 12, 35.5)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, customerkey, valuevariable) VALUES (3, 2, 10, 5, 1)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, customerkey, valuevariable) VALUES (4, 2, 11, 5, 2)",
            "INSERT INTO rent_valuevariable (id, variablekey, valuevariable) VALUES (5, 3, 0.2)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (6, 4, 12, NULL)",
            "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (7, 4, 10, 7)",
        };
        for (const QString &s : fixture)
            TxQuery::execute(m_t->db(), s);
    }
    void cleanupTestCase() { m_t.reset(); }

    void findValue_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("object");
        QTest::addColumn<int>("service");
        QTest::addColumn<int>("customer");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("value");
        QTest::newRow("own row") << "ПЛОЩАДЬ" << 12 << 0 << 0 << true << 35.5;
        QTest::newRow("from the building, two levels up") << "ПЛОЩАДЬ" << 13 << 0 << 0 << true << 500.0;
        QTest::newRow("service and customer ignored when not bound") << "ПЛОЩАДЬ" << 12 << 1 << 6 << true << 35.5;
        QTest::newRow("nothing up to the top") << "ПЛОЩАДЬ" << 20 << 0 << 0 << false << 0.0;
        QTest::newRow("nearer ancestor wins") << "ТАРИФ" << 12 << 0 << 5 << true << 2.0;
        QTest::newRow("other customer has no row") << "ТАРИФ" << 12 << 0 << 6 << false << 0.0;
        QTest::newRow("unbound variable serves everything") << "НАЛОГ" << 20 << 1 << 6 << true << 0.2;
        QTest::newRow("name in lower case") << "площадь" << 12 << 0 << 0 << true << 35.5;
        QTest::newRow("unset value is no value") << "ПУСТО" << 12 << 0 << 0 << true << 7.0;
        QTest::newRow("unknown name") << "ШИРИНА" << 12 << 0 << 0 << false << 0.0;
        QTest::newRow("unknown object") << "ПЛОЩАДЬ" << 999 << 0 << 0 << false << 0.0;
    }
    void findValue()
    {
        QFETCH(QString, name);
        QFETCH(int, object);
        QFETCH(int, service);
        QFETCH(int, customer);
        QFETCH(bool, found);
        QFETCH(double, value);
        TboRentValueVariable values(m_t->db());
        QVERIFY(values.FindValue(QStringLiteral("ПЛОЩАДЬ"), 10, 0, 0));  // a previous answer must not leak
        QCOMPARE(values.FindValue(name, object, service, customer), found);
        QCOMPARE(values.Value(), value);
    }
};

#include "tst_variables.moc"

KORVEX_TEST_CLASS(FindValueTest)
