#include "common/testMain.h"
#include "referenceFixture.h"

#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "reference/boCurrency.h"
#include "reference/boRentObject.h"

#include <QProcess>
#include <QTest>

using namespace korvex::db;
using namespace korvex::reference;
using korvex::test::TestDatabase;

namespace {

enum Curr { NCU = 1, USD = 2, EUR = 3, GBP = 4 };

QDate march(int day)
{
    return QDate(2024, 3, day);
}

void addRate(TxDatabase &db, int from, int to, const QDate &date, double coeff)
{
    TxQuery::execute(db, QStringLiteral("INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (?, ?, ?, ?)"),
                     {from, to, date, coeff});
}

QVariant rateOf(TxDatabase &db, int from, int to, const QDate &date)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT coeff FROM fin_currrate WHERE fromcurr = ? AND tocurr = ? AND fordate = ?"),
                           {from, to, date});
}

} // namespace

// Rates as every dialog with a rate field and the reckoning find them.
class CurrencyTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    FakeDialogs m_dialogs;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Schema);
        const QString insert = QStringLiteral("INSERT INTO fin_curr (id, name, shortname, isncu, disabled) VALUES (?, ?, ?, ?, 0)");
        TxQuery::execute(db(), insert, {NCU, QStringLiteral("Рубль"), QStringLiteral("BYN"), 1});
        TxQuery::execute(db(), insert, {USD, QStringLiteral("Доллар"), QStringLiteral("USD"), 0});
        TxQuery::execute(db(), insert, {EUR, QStringLiteral("Евро"), QStringLiteral("EUR"), 0});
        TxQuery::execute(db(), insert, {GBP, QStringLiteral("Фунт"), QStringLiteral("GBP"), 0});
        addRate(db(), USD, NCU, march(1), 30);
        addRate(db(), USD, NCU, march(5), 31);
        addRate(db(), NCU, EUR, march(5), 0.25);
        addRate(db(), GBP, NCU, march(20), 40);   // another pair, later than every USD row
        addRate(db(), USD, EUR, march(20), 0.9);
        addRate(db(), EUR, USD, march(20), 1.2);  // both directions on one day
        addRate(db(), GBP, EUR, march(21), 0);
    }
    void cleanup() { m_s.reset(); }

    void findRate_data()
    {
        QTest::addColumn<int>("currency");
        QTest::addColumn<int>("target");  // 0: the national currency
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("rate");
        QTest::addColumn<bool>("current");
        QTest::addColumn<QDate>("fordate");

        QTest::newRow("direct on the day") << int(USD) << 0 << march(5) << true << 31.0 << true << march(5);
        QTest::newRow("earlier rate") << int(USD) << 0 << march(4) << true << 30.0 << false << march(1);
        QTest::newRow("other pair later") << int(USD) << 0 << march(25) << true << 31.0 << false << march(5);
        QTest::newRow("before the first rate") << int(USD) << 0 << march(1).addDays(-1) << false << 0.0 << false << QDate();
        QTest::newRow("reverse as stored") << int(EUR) << 0 << march(5) << true << 0.25 << true << march(5);
        QTest::newRow("reverse has no fall-back") << int(EUR) << 0 << march(6) << false << 0.0 << false << QDate();
        QTest::newRow("direct before reverse") << int(USD) << int(EUR) << march(20) << true << 0.9 << true << march(20);
        QTest::newRow("the other direction") << int(EUR) << int(USD) << march(20) << true << 1.2 << true << march(20);
    }
    void findRate()
    {
        QFETCH(int, currency);
        QFETCH(int, target);
        QFETCH(QDate, date);
        QFETCH(bool, found);
        QFETCH(double, rate);
        QFETCH(bool, current);
        QFETCH(QDate, fordate);

        TboCurrency bo(m_s->context);
        QCOMPARE(bo.NCUKey, int(NCU));
        // What a failed search must leave alone.
        bo.Rate = -7;
        bo.CurrentRate = true;
        bo.fordate = QDate(1999, 1, 1);
        const std::optional<int> to = target ? std::optional<int>(target) : std::nullopt;
        QCOMPARE(bo.FindRate(currency, to, date), found);
        if (!found) {
            QCOMPARE(bo.Rate, -7.0);
            QCOMPARE(bo.CurrentRate, true);
            QCOMPARE(bo.fordate, QDate(1999, 1, 1));
            return;
        }
        QCOMPARE(bo.Rate, rate);
        QCOMPARE(bo.CurrentRate, current);
        QCOMPARE(bo.fordate, fordate);
    }

    void noNationalCurrency()
    {
        TxQuery::execute(db(), QStringLiteral("UPDATE fin_curr SET isncu = 0"));
        TboCurrency bo(m_s->context);
        QCOMPARE(bo.NCUKey, 0);
        QVERIFY(!bo.FindRate(USD, std::nullopt, march(5)));
        QVERIFY(bo.FindRate(USD, NCU, march(5)));
    }

    // A typed rate replaces the row of its triple or adds one; a rate that
    // cannot be stored is reported, never dropped in silence.
    void setRate()
    {
        TboCurrency bo(m_s->context);
        bo.SetRate(USD, std::nullopt, 31.5, march(5));
        QCOMPARE(rateOf(db(), USD, NCU, march(5)).toDouble(), 31.5);
        bo.SetRate(USD, EUR, 0.95, march(6));
        QCOMPARE(rateOf(db(), USD, EUR, march(6)).toDouble(), 0.95);

        const int rows = TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_currrate")).toInt();
        QVERIFY_THROWS_EXCEPTION(EBusinessError, bo.SetRate(0, std::nullopt, 2.0, march(7)));
        QVERIFY_THROWS_EXCEPTION(EBusinessError, bo.SetRate(USD, std::nullopt, 0.0, march(7)));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, bo.SetRate(99, std::nullopt, 2.0, march(7)));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_currrate")).toInt(), rows);
        QVERIFY(!db().inTransaction());
    }

    void matrixCell_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("direct");

        QTest::newRow("direct") << int(USD) << march(5) << int(NCU) << true << 31.0 << true;
        QTest::newRow("reverse 1/x") << int(NCU) << march(5) << int(USD) << true << 1.0 / 31 << false;
        QTest::newRow("reverse 0") << int(EUR) << march(21) << int(GBP) << true << 0.0 << false;
        QTest::newRow("direct wins") << int(EUR) << march(20) << int(USD) << true << 1.2 << true;
        QTest::newRow("nothing") << int(USD) << march(21) << int(GBP) << false << 0.0 << false;
    }
    void matrixCell()
    {
        QFETCH(int, base);
        QFETCH(QDate, date);
        QFETCH(int, column);
        QFETCH(bool, shown);
        QFETCH(double, value);
        QFETCH(bool, direct);

        TboCurrency bo(m_s->context);
        TRateMatrix m(bo);
        m.setBaseCurrency(base);
        m.load();
        // Rows: every date of any rate; columns: every other active currency.
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(m.columnCount(), 4);
        const std::optional<TRateMatrix::Cell> cell = m.cell(date, column);
        QCOMPARE(cell.has_value(), shown);
        if (shown) {
            QCOMPARE(cell->value, value);
            QCOMPARE(cell->direct, direct);
        }
    }

    // Typing into a cell stores base -> column on the row's date, also where
    // the cell showed the reverse rate; a refused value is reported.
    void matrixTyping()
    {
        TboCurrency bo(m_s->context);
        TRateMatrix m(bo);
        m.setBaseCurrency(NCU);
        m.load();
        int row = -1, column = -1;
        for (int r = 0; r < m.rowCount(); ++r)
            if (m.dateAt(r) == march(5))
                row = r;
        for (int c = 1; c < m.columnCount(); ++c)
            if (m.currencyAt(c) == USD)
                column = c;
        QVERIFY(row >= 0 && column > 0);

        // Passing through the cell that shows the reverse rate stores nothing.
        QVERIFY(m.setData(m.index(row, column), m.data(m.index(row, column), Qt::EditRole)));
        QVERIFY(!rateOf(db(), NCU, USD, march(5)).isValid());

        QStringList refused;
        connect(&m, &TRateMatrix::cellRefused, this, [&](const QString &text) { refused << text; });
        QVERIFY(m.setData(m.index(row, column), QStringLiteral("0,0323")));
        QCOMPARE(rateOf(db(), NCU, USD, march(5)).toDouble(), 0.0323);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m.cell(row, column)->direct, true);

        QVERIFY(!m.setData(m.index(row, column), QStringLiteral("abc")));
        QVERIFY(!m.setData(m.index(row, column), QStringLiteral("0")));
        QCOMPARE(refused, (QStringList{QStringLiteral("Введите число"), QStringLiteral("Курс должен быть больше нуля")}));
        QCOMPARE(rateOf(db(), NCU, USD, march(5)).toDouble(), 0.0323);
    }

    void deleteCurrency()
    {
        TboCurrency bo(m_s->context, &m_dialogs);
        QVERIFY(!bo.DeleteCurrency(USD));
        QCOMPARE(m_dialogs.prompts.messages.size(), 2);
        QCOMPARE(m_dialogs.prompts.messages.at(0).text, QStringLiteral("Удалить валюту?"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).text, QStringLiteral("Валюта уже где-то используется!"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).caption, QStringLiteral("Внимание!"));
        QVERIFY(bo.currencyExists(USD));

        TxQuery::execute(db(), QStringLiteral("DELETE FROM fin_currrate"));
        QVERIFY(bo.DeleteCurrency(NCU));
        QVERIFY(!bo.currencyExists(NCU));
        QCOMPARE(bo.NCUKey, 0);
    }
};

// Leased objects: moves, deletes, the chooser's answer.
class ObjectTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    FakeDialogs m_dialogs;

    QVariant parentOf(int id)
    {
        return TxQuery::scalar(m_s->t.db(), QStringLiteral("SELECT parent FROM rent_object WHERE id = ?"), {id});
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_dialogs.prompts.messages.clear();
    }
    void cleanup() { m_s.reset(); }

    // Demo tree: 1 building > 2, 3 floors > 5 (room on floor 2), 8 (room on floor 3).
    void moveObject_data()
    {
        QTest::addColumn<int>("object");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QVariant>("parent");
        QTest::newRow("onto itself") << 5 << 5 << true << QVariant(2);
        QTest::newRow("to the top") << 5 << 0 << true << QVariant();
        QTest::newRow("under another floor") << 5 << 3 << true << QVariant(3);
        QTest::newRow("under its own room") << 1 << 5 << false << QVariant();
        QTest::newRow("under a missing object") << 5 << 9999 << false << QVariant(2);
    }
    void moveObject()
    {
        QFETCH(int, object);
        QFETCH(int, target);
        QFETCH(bool, moved);
        QFETCH(QVariant, parent);
        TboRentObject bo(m_s->context);
        QCOMPARE(bo.MoveObject(object, target), moved);
        const QVariant now = parentOf(object);
        QCOMPARE(now.isNull(), parent.isNull());
        if (!parent.isNull())
            QCOMPARE(now.toInt(), parent.toInt());
    }

    void deleteObject()
    {
        TboRentObject bo(m_s->context, &m_dialogs);
        // Room 8 is rented by a contract.
        QVERIFY(!bo.DeleteObject(8));
        QCOMPARE(m_dialogs.prompts.messages.size(), 2);
        QCOMPARE(m_dialogs.prompts.messages.at(0).text, QStringLiteral("Удалить запись?"));
        QCOMPARE(m_dialogs.prompts.messages.at(0).caption, QStringLiteral("Внимание"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).text, QStringLiteral("Данная запись уже где-то используется!"));
        QVERIFY(bo.readObject(8).has_value());

        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO rent_object (id, parent, name) VALUES (100, 14, 'Niche')"));
        m_dialogs.prompts.answer = false;
        QVERIFY(!bo.DeleteObject(100));
        QVERIFY(bo.readObject(100).has_value());
        m_dialogs.prompts.answer = true;
        QVERIFY(bo.DeleteObject(100));
        QVERIFY(!bo.readObject(100).has_value());
    }

    // A new object starts with the default location and type of the options.
    void newObjectDefaults()
    {
        m_s->options.SetIntegerOption(QStringLiteral("rentlocationkey"), true, 3);
        TboRentObject bo(m_s->context, &m_dialogs);
        QVERIFY(!bo.NewObject(2));
        QVERIFY(m_dialogs.objectAsked.has_value());
        QCOMPARE(m_dialogs.objectAsked->parent, std::optional<int>(2));
        QCOMPARE(m_dialogs.objectAsked->locationKey, std::optional<int>(3));
        QCOMPARE(m_dialogs.objectAsked->objectTypeKey, std::optional<int>());
    }

    void chooseObject_data()
    {
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<bool>("switches");
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("flags");
        QTest::newRow("nothing marked") << QList<int>{} << true << QStringLiteral("7") << true;
        QTest::newRow("marked rows") << QList<int>{5, 6} << true << QStringLiteral("5\n6") << true;
        QTest::newRow("switches not shown") << QList<int>{5} << false << QStringLiteral("5") << false;
    }
    void chooseObject()
    {
        QFETCH(QList<int>, marked);
        QFETCH(bool, switches);
        QFETCH(QString, list);
        QFETCH(bool, flags);
        m_dialogs.onChoose = [&](TObjectChoice &c) {
            c.objectKey = 7;
            c.marked = marked;
            c.allObjects = c.includeGroup = true;  // ticked, whether shown or not
            return true;
        };
        TboRentObject bo(m_s->context, &m_dialogs);
        int key = 5;
        QString answer;
        bool all = false, group = false;
        QVERIFY(bo.ChooseObject(key, &answer, switches, &all, &group));
        QCOMPARE(key, 7);
        QCOMPARE(answer, list);
        QCOMPARE(all, flags);
        QCOMPARE(group, flags);
    }
};

// korvex-rent-cli rate: scripts read its one line and its exit code.
class CliRateTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    struct Run {
        int code;
        QString out;
        QString err;
    };
    Run cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI_PATH), QStringList{QStringLiteral("rate")} + args + QStringList{m_t->path()});
        if (!p.waitForFinished(120000))
            return {-1, {}, QStringLiteral("timeout")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
        m_t->db().close();  // the embedded engine lets one process at a time in
    }
    void cleanupTestCase() { m_t.reset(); }

    void rate_data()
    {
        const QDate today = QDate::currentDate();
        const QString iso = today.toString(Qt::ISODate);
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("today") << QStringList{"USD"} << 0 << QStringLiteral("3.265 %1 current\n").arg(iso);
        QTest::newRow("by key, lower case target")
            << QStringList{"2", "--to", "byn"} << 0 << QStringLiteral("3.265 %1 current\n").arg(iso);
        QTest::newRow("earlier") << QStringList{"USD", "--date", today.addDays(-1).toString(Qt::ISODate)} << 0
                                 << QStringLiteral("3.2944 %1 earlier\n").arg(today.addDays(-7).toString(Qt::ISODate));
        QTest::newRow("reverse row") << QStringList{"USD", "--to", "EUR"} << 0
                                     << QStringLiteral("1.0867 %1 current\n").arg(iso);
        QTest::newRow("no rate") << QStringList{"EUR", "--to", "RUB"} << 1 << QString();
        QTest::newRow("unknown currency") << QStringList{"XYZ"} << 1 << QString();
        QTest::newRow("bad date") << QStringList{"USD", "--date", "31.12.2024"} << 1 << QString();
    }
    void rate()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        if (code != 0)
            QVERIFY(!r.err.trimmed().isEmpty());
        if (QTest::currentDataTag() == QLatin1String("no rate"))
            QCOMPARE(r.err, QStringLiteral("no rate\n"));
    }
};

KORVEX_TEST_CLASS(CurrencyTest)
KORVEX_TEST_CLASS(ObjectTest)
KORVEX_TEST_CLASS(CliRateTest)

#include "tst_reference.moc"
