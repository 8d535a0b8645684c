#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"

#include <QTest>

using namespace korvex::db;
using namespace korvex::shell;
using korvex::test::TestDatabase;

class OptionsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void init() { m_t = std::make_unique<TestDatabase>(); }
    void cleanup() { m_t.reset(); }

    // The user's own value wins over the default user's, which wins over the
    // common one; a user without a value of his own sees the next in line.
    void precedence()
    {
        {
            TmmOptions common(m_t->db(), 7);
            common.SetIntegerOption(QStringLiteral("rentcurrkey"), false, 1);
            QCOMPARE(common.GetIntegerOption(QStringLiteral("rentcurrkey")), std::optional<int>(1));
        }
        {
            TmmOptions defaults(m_t->db(), TmmOptions::DefaultUserKey);
            defaults.SetIntegerOption(QStringLiteral("rentcurrkey"), true, 2);
        }
        {
            TmmOptions own(m_t->db(), 7);
            QCOMPARE(own.GetIntegerOption(QStringLiteral("rentcurrkey")), std::optional<int>(2));
            own.SetIntegerOption(QStringLiteral("rentcurrkey"), true, 3);
            QCOMPARE(own.GetIntegerOption(QStringLiteral("rentcurrkey")), std::optional<int>(3));
        }
        {
            TmmOptions other(m_t->db(), 8);
            QCOMPARE(other.GetIntegerOption(QStringLiteral("rentcurrkey")), std::optional<int>(2));
        }
        TxQuery::execute(m_t->db(), QStringLiteral("DELETE FROM fin_options WHERE userkey = -1"));
        {
            TmmOptions other(m_t->db(), 8);
            QCOMPARE(other.GetIntegerOption(QStringLiteral("rentcurrkey")), std::optional<int>(1));
            QCOMPARE(other.integerOption(QStringLiteral("absent"), 42), 42);
        }
    }

    void namesIgnoreLetterCase()
    {
        TmmOptions o(m_t->db(), 7);
        o.SetStringOption(QStringLiteral("contractPath"), true, QStringLiteral("/srv/договоры"));
        QCOMPARE(o.GetStringOption(QStringLiteral("CONTRACTPATH")), std::optional<QString>(QStringLiteral("/srv/договоры")));
        o.SetStringOption(QStringLiteral("contractpath"), true, QStringLiteral("/x"));
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT COUNT(*) FROM fin_options WHERE name = 'CONTRACTPATH'")).toInt(),
                 1);
    }

    void typedReaders()
    {
        TmmOptions o(m_t->db(), 7);
        o.SetStringOption(QStringLiteral("a"), true, QStringLiteral("12"));
        QCOMPARE(o.GetIntegerOption(QStringLiteral("a")), std::nullopt);
        o.SetIntegerOption(QStringLiteral("b"), true, -5);
        QCOMPARE(o.GetStringOption(QStringLiteral("b")), std::optional<QString>(QStringLiteral("-5")));
        QCOMPARE(o.GetFloatOption(QStringLiteral("b")), std::nullopt);
        o.SetFloatOption(QStringLiteral("c"), true, 0.1 + 0.2);
        QCOMPARE(o.GetFloatOption(QStringLiteral("c")), std::optional<double>(0.1 + 0.2));
        o.SetDateOption(QStringLiteral("d"), false, QDate(2026, 3, 5));
        QCOMPARE(o.GetDateOption(QStringLiteral("d")), std::optional<QDate>(QDate(2026, 3, 5)));
        QCOMPARE(o.GetStringOption(QStringLiteral("d")), std::optional<QString>(QStringLiteral("05.03.2026")));
    }

    // Values another workstation wrote in its own notation still read.
    void foreignTextForms_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("decimal comma") << "F" << "12,5" << QVariant(12.5);
        QTest::newRow("decimal point") << "F" << "0.25" << QVariant(0.25);
        QTest::newRow("not a number") << "F" << "abc" << QVariant();
        QTest::newRow("iso date") << "D" << "2026-01-31" << QVariant(QDate(2026, 1, 31));
        QTest::newRow("short year") << "D" << "31.01.26" << QVariant(QDate(2026, 1, 31));
        QTest::newRow("bad date") << "D" << "31.02.2026" << QVariant();
        QTest::newRow("lower-case type") << "i" << "17" << QVariant(17);
    }
    void foreignTextForms()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        TxQuery::execute(m_t->db(),
                         QStringLiteral("INSERT INTO fin_options (userkey, subsystemkey, name, optionsvalue, optionstype) "
                                        "VALUES (NULL, 230, 'X', ?, ?)"),
                         {text, type});
        TmmOptions o(m_t->db(), 7);
        QVariant got;
        if (type == QLatin1String("F")) {
            if (auto v = o.GetFloatOption(QStringLiteral("x")))
                got = *v;
        } else if (type == QLatin1String("D")) {
            if (auto v = o.GetDateOption(QStringLiteral("x")))
                got = *v;
        } else if (auto v = o.GetIntegerOption(QStringLiteral("x"))) {
            got = *v;
        }
        QCOMPARE(got, value);
    }

    void oneInstanceOnly()
    {
        TmmOptions first(m_t->db(), 7);
        QCOMPARE(TmmOptions::instance(), &first);
        try {
            TmmOptions second(m_t->db(), 7);
            QFAIL("a second options object was created");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), QStringLiteral("Only one instance of TmmOptions allowed"));
        }
        QCOMPARE(TmmOptions::instance(), &first);
    }

    // A counter written while a document is being saved goes with it.
    void writeJoinsCallersTransaction()
    {
        TmmOptions o(m_t->db(), 7);
        o.SetIntegerOption(QStringLiteral("invoicenumber"), false, 10);
        {
            TxTransaction tr(m_t->db());
            o.SetIntegerOption(QStringLiteral("invoicenumber"), false, 11);
            QVERIFY(m_t->db().inTransaction());
        }
        QCOMPARE(o.GetIntegerOption(QStringLiteral("invoicenumber")), std::optional<int>(10));
    }
};

#include "tst_options.moc"

KORVEX_TEST_CLASS(OptionsTest)
