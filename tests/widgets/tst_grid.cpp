#include "common/keyedList.h"
#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xQuery.h"
#include "db/xSqlScript.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/xQueryModel.h"

#include <QHeaderView>
#include <QTest>

using namespace korvex::db;
using namespace korvex::widgets;
using korvex::test::TestDatabase;
using korvex::test::wholeList;

namespace {

const char *const GridFixture = R"(
CREATE TABLE big_list (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), amount DOUBLE PRECISION);
CREATE TABLE person (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), amount DOUBLE PRECISION);
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE i INTEGER = 1;
BEGIN
  WHILE (i <= 100000) DO
  BEGIN
    INSERT INTO big_list (id, name, amount) VALUES (:i, 'Строка ' || :i, :i * 1.5);
    i = i + 1;
  END
  i = 1;
  /* Names in an order unrelated to the keys. */
  WHILE (i <= 300) DO
  BEGIN
    INSERT INTO person (id, name, amount) VALUES (:i, 'Клиент ' || LPAD(CAST(MOD(:i * 7919, 1000) AS VARCHAR(4)), 4, '0'), :i);
    i = i + 1;
  END
END^
SET TERM ; ^
)";

void clickTitle(TxDBGrid &grid, int column)
{
    QHeaderView *titles = grid.horizontalHeader();
    const QPoint at(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class GridTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_db = TestDatabase::empty();
        TxSqlScript::run(m_db->db(), QString::fromUtf8(GridFixture), QStringLiteral("grid fixture"));
    }
    void cleanupTestCase() { m_db.reset(); }

    void opensLargeResultInChunks()
    {
        TxQueryModel model(m_db->db());
        model.setStatement(QStringLiteral("SELECT id, name, amount FROM big_list"), {}, QStringLiteral("id"));
        model.open();
        TxDBGrid grid;
        grid.setModel(&model);
        grid.setFieldDecimals(QStringLiteral("amount"), 2);
        grid.resize(600, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        // Shown, the grid holds one chunk of the 100,000 rows.
        const int chunk = model.rowCount();
        QVERIFY(chunk > 0);
        QVERIFY2(chunk < 1000, qPrintable(QString::number(chunk)));
        QVERIFY(model.canFetchMore());
        QCOMPARE(model.value(0, QStringLiteral("NAME")).toString(), QStringLiteral("Строка 1"));

        // Scrolling to the end asks for the next chunk only.
        grid.scrollToBottom();
        QVERIFY(model.rowCount() > chunk);
        QVERIFY(model.rowCount() <= 2 * chunk + 1);
        QVERIFY(model.canFetchMore());
    }

    void titleClickSortsKeepingCurrentRow()
    {
        TxSqlFilter select(QStringLiteral("SELECT id, name, amount FROM person WHERE 1 = 1"));
        select.add(QStringLiteral("AND id <= ?"), 300);
        TxQueryModel model(m_db->db());
        model.setStatement(select, QStringLiteral("id"));
        model.open();

        TxDBGrid grid;
        grid.setModel(&model);
        grid.setKeyField(QStringLiteral("ID"));
        grid.setFieldVisible(QStringLiteral("id"), false);
        grid.setFieldTitle(QStringLiteral("name"), QStringLiteral("Наименование"));
        grid.setFieldWidth(QStringLiteral("amount"), 77);
        grid.resize(500, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QVERIFY(grid.locateKey(42));
        QCOMPARE(grid.currentIndex().row(), 41);

        // Where row 42 stands once ordered by name, as the server orders.
        const QString name42 = TxQuery::scalar(m_db->db(), QStringLiteral("SELECT name FROM person WHERE id = 42")).toString();
        const int before = TxQuery::scalar(m_db->db(), QStringLiteral("SELECT COUNT(*) FROM person WHERE name < ?"),
                                           {name42}).toInt();
        const QString first = TxQuery::scalar(m_db->db(), QStringLiteral("SELECT MIN(name) FROM person")).toString();

        const int nameColumn = grid.fieldColumn(QStringLiteral("NAME"));
        clickTitle(grid, nameColumn);
        QCOMPARE(model.sortColumn(), nameColumn);
        QCOMPARE(model.sortOrder(), Qt::AscendingOrder);
        QVERIFY(model.lastStatement().endsWith(QStringLiteral("ORDER BY 2, id")));
        QCOMPARE(model.value(0, QStringLiteral("name")).toString(), first);
        QCOMPARE(grid.currentKey().toInt(), 42);
        QCOMPARE(grid.currentIndex().row(), before);

        clickTitle(grid, nameColumn);
        QCOMPARE(model.sortOrder(), Qt::DescendingOrder);
        QCOMPARE(grid.currentKey().toInt(), 42);
        QCOMPARE(grid.currentIndex().row(), 299 - before);

        // Column settings survive the re-queries.
        QVERIFY(!grid.isFieldVisible(QStringLiteral("id")));
        QCOMPARE(grid.fieldWidth(QStringLiteral("amount")), 77);
        QCOMPARE(model.headerData(nameColumn, Qt::Horizontal).toString(), QStringLiteral("Наименование"));

        // Stripes: the first row in the first colour.
        QStyleOptionViewItem option;
        grid.styleCell(model.index(0, nameColumn), option);
        QCOMPARE(option.backgroundBrush.color(), grid.stripeOne());
        option = QStyleOptionViewItem();
        grid.styleCell(model.index(1, nameColumn), option);
        QCOMPARE(option.backgroundBrush.color(), grid.stripeTwo());

        // A re-query with a new value keeps the row by its key; the new row
        // sorts first in descending order and pushes it one down.
        TxQuery::execute(m_db->db(), QStringLiteral("INSERT INTO person (id, name, amount) VALUES (301, 'Я последний', 0)"));
        model.setValues({301});
        grid.requery();
        QCOMPARE(model.value(0, QStringLiteral("id")).toInt(), 301);
        QCOMPARE(grid.currentKey().toInt(), 42);
        QCOMPARE(grid.currentIndex().row(), 300 - before);
    }

    // One display rule: money (a column of an amount pair) with two
    // decimals and grouped thousands, other numbers with the digits they
    // have, keys as they are; all right-aligned, with the Russian separators.
    void numbersFollowTheDisplayRule_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("kind");  // TNumberKind set on the field; Auto: by its name
        QTest::addColumn<QString>("shown");
        QTest::newRow("money by its name") << "costncu" << int(TNumberKind::Auto) << QStringLiteral("1\u00A0234,50");
        QTest::newRow("currency amount by its name") << "sumcurr" << int(TNumberKind::Auto) << QStringLiteral("0,10");
        QTest::newRow("a rate: its digits") << "coef" << int(TNumberKind::Auto) << QStringLiteral("0,142857142857143");
        QTest::newRow("a derived figure") << "coef" << int(TNumberKind::Significant) << QStringLiteral("0,142857");
        QTest::newRow("a key as it is") << "id" << int(TNumberKind::Auto) << QStringLiteral("1");
    }
    void numbersFollowTheDisplayRule()
    {
        QFETCH(QString, field);
        QFETCH(int, kind);
        QFETCH(QString, shown);
        TxQueryModel model(m_db->db());
        model.setStatement(QStringLiteral("SELECT id, CAST(amount * 1234.5 AS DOUBLE PRECISION) AS costncu, "
                                          "CAST(amount / 10 AS DOUBLE PRECISION) AS sumcurr, "
                                          "CAST(amount AS DOUBLE PRECISION) / 7 AS coef FROM person WHERE id = 1"),
                           {}, QStringLiteral("id"));
        model.open();
        TxDBGrid grid;
        grid.setModel(&model);
        if (kind != int(TNumberKind::Auto))
            grid.setFieldNumberKind(field, TNumberKind(kind));
        QStyleOptionViewItem option;
        grid.styleCell(model.index(0, grid.fieldColumn(field)), option);
        QCOMPARE(option.text, shown);
        QCOMPARE(option.displayAlignment, Qt::AlignRight | Qt::AlignVCenter);
    }

    // A column nobody gave a width is as wide as its title and its rows when
    // it first shows them; a width the page asks for never cuts the title;
    // a width the user chose stays through re-queries.
    void columnsFitTheirTitlesAndRows()
    {
        TxQueryModel model(m_db->db());
        model.setStatement(QStringLiteral("SELECT id, name, amount FROM person WHERE id <= ?"), {20}, QStringLiteral("id"));
        model.open();
        TxDBGrid grid;
        grid.setModel(&model);
        grid.setFieldTitle(QStringLiteral("id"), QStringLiteral("Код клиента в бухгалтерии"));
        grid.setFieldTitle(QStringLiteral("amount"), QStringLiteral("Сумма"));
        grid.setFieldWidth(QStringLiteral("amount"), 5);
        grid.resize(900, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QHeaderView *titles = grid.horizontalHeader();
        for (const QString &field : {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")}) {
            const int column = grid.fieldColumn(field);
            QVERIFY2(grid.columnWidth(column) >= titles->sectionSizeHint(column), qPrintable(field));
            QVERIFY2(grid.columnWidth(column) >= static_cast<QAbstractItemView &>(grid).sizeHintForColumn(column), qPrintable(field));
        }
        const int nameColumn = grid.fieldColumn(QStringLiteral("name"));
        titles->resizeSection(nameColumn, 333);  // as the user drags it
        model.setValues({300});
        grid.requery();
        QCOMPARE(grid.columnWidth(nameColumn), 333);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

namespace {

// 1,500 rows full of ties (a few dozen names, in two letter cases, and
// groups) and NULLs in every column but the key; indexes for some orders
// only, so both the indexed and the sorted ways are taken.
const char *const TieFixture = R"(
CREATE TABLE tie_list (id INTEGER NOT NULL PRIMARY KEY,
                       name VARCHAR(20) CHARACTER SET WIN1251 COLLATE PXW_CYRL,
                       grp INTEGER, amount DOUBLE PRECISION, opened DATE);
CREATE INDEX tie_list_name ON tie_list (name, id);
CREATE DESCENDING INDEX tie_list_name_d ON tie_list (name, id);
CREATE INDEX tie_list_grp ON tie_list (grp, id);
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE i INTEGER = 1;
BEGIN
  WHILE (i <= 1500) DO
  BEGIN
    INSERT INTO tie_list (id, name, grp, amount, opened) VALUES (
      :i,
      IIF(MOD(:i, 11) = 0, NULL, IIF(MOD(:i, 2) = 0, 'Клиент ', 'КЛИЕНТ ') || MOD(:i * 7, 37)),
      IIF(MOD(:i, 13) = 0, NULL, MOD(:i, 5)),
      IIF(MOD(:i, 17) = 0, NULL, MOD(:i * 31, 200) * 0.5),
      IIF(MOD(:i, 19) = 0, NULL, DATEADD(MOD(:i, 40) DAY TO DATE '2020-01-01')));
    i = i + 1;
  END
END^
SET TERM ; ^
)";

} // namespace

// A keyed list finds a row by its place in the order without reading the
// rows before it; what it then holds and reads, up and down, is the list as
// the server orders it, whatever ties and NULLs the order meets.
class KeyedListTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_db = TestDatabase::empty();
        TxSqlScript::run(m_db->db(), QString::fromUtf8(TieFixture), QStringLiteral("tie fixture"));
    }
    void cleanupTestCase() { m_db.reset(); }

    void locatesAsTheWalkedListDoes_data()
    {
        QTest::addColumn<QString>("defaultOrder");
        QTest::addColumn<QString>("sortField");  // empty: the default order
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("serverOrder");  // the same order, as the server is asked for it
        QTest::addColumn<bool>("named");           // the statement binds by name

        QTest::newRow("default: name") << "name" << "" << false << "name, id" << false;
        QTest::newRow("default: group descending, name") << "grp DESC, name" << "" << false << "grp DESC, name, id" << false;
        QTest::newRow("default by positions: amount, id") << "4, 1" << "" << false << "amount, id" << true;
        QTest::newRow("default: opened descending, then key") << "opened DESC, id DESC" << "" << false << "opened DESC, id DESC" << false;
        for (const char *field : {"name", "grp", "amount", "opened"}) {
            for (const bool descending : {false, true}) {
                const QString dir = descending ? QStringLiteral(" DESC") : QString();
                QTest::addRow("sorted by %s%s", field, descending ? " descending" : "")
                    << "name" << field << descending << QString::fromLatin1(field) + dir + QStringLiteral(", id") + dir
                    << descending;
            }
        }
    }
    void locatesAsTheWalkedListDoes()
    {
        QFETCH(QString, defaultOrder);
        QFETCH(QString, sortField);
        QFETCH(bool, descending);
        QFETCH(QString, serverOrder);
        QFETCH(bool, named);

        // The truth: the server's own order, read whole.
        QList<int> expected;
        TxQuery all(m_db->db());
        all.exec(QStringLiteral("SELECT id FROM tie_list WHERE id <= 1490 ORDER BY ") + serverOrder);
        while (all.next())
            expected << all.value(0).toInt();
        QCOMPARE(expected.size(), 1490);

        TxQueryModel model(m_db->db());
        if (named) {
            model.setStatement(QStringLiteral("SELECT id, name, grp, amount, opened FROM tie_list WHERE id <= :last"), {},
                               defaultOrder);
            model.setParam(QStringLiteral("last"), 1490);
        } else {
            model.setStatement(QStringLiteral("SELECT id, name, grp, amount, opened FROM tie_list WHERE id <= ?"), {1490},
                               defaultOrder);
        }
        model.setKeyField(QStringLiteral("ID"));
        model.open();
        if (!sortField.isEmpty())
            model.sort(model.fieldIndex(sortField), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        QVERIFY(model.rowCount() < 300);

        // Ends, chunk borders, the middle, and rows with NULLs and ties.
        QList<int> targets{expected.first(), expected.last(), expected.at(254), expected.at(255), expected.at(745)};
        for (const int key : {11, 13, 17, 19, 22, 1001, 1430})
            targets << key;
        for (const int key : std::as_const(targets)) {
            model.requery();
            const int at = model.locate(QStringLiteral("id"), key);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("key %1").arg(key)));
            QCOMPARE(model.value(at, QStringLiteral("id")).toInt(), key);
            int row = -1;
            QCOMPARE(wholeList(model, &row, key), expected);
            QCOMPARE(row, expected.indexOf(key));
        }

        // The last rows, read backwards from the end.
        model.openAtEnd();
        QCOMPARE(model.value(model.rowCount() - 1, QStringLiteral("id")).toInt(), expected.last());
        QVERIFY(!model.canFetchMore());
        QCOMPARE(wholeList(model), expected);

        // A key the list does not hold is not found and changes nothing.
        model.requery();
        const int held = model.rowCount();
        QCOMPARE(model.locate(QStringLiteral("id"), 1495), -1);
        QCOMPARE(model.locate(QStringLiteral("id"), 99999), -1);
        QCOMPARE(model.rowCount(), held);
    }

    // In the grid: the row far down comes at once, the rows above it arrive
    // as the view reaches its top, Ctrl+End and Ctrl+Home go to the ends of
    // the list.
    void gridLocatesFarRows()
    {
        QList<int> expected;
        TxQuery all(m_db->db());
        all.exec(QStringLiteral("SELECT id FROM tie_list ORDER BY name, id"));
        while (all.next())
            expected << all.value(0).toInt();

        TxQueryModel model(m_db->db());
        model.setStatement(QStringLiteral("SELECT id, name, grp FROM tie_list"), {}, QStringLiteral("name"));
        model.setKeyField(QStringLiteral("id"));
        model.open();
        TxDBGrid grid;
        grid.setModel(&model);
        grid.setKeyField(QStringLiteral("id"));
        grid.resize(500, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        const int far = expected.at(1200);
        QVERIFY(grid.locateKey(far));
        QCOMPARE(grid.currentKey().toInt(), far);
        // The rows just above it are there to be seen.
        const int row = grid.currentIndex().row();
        QVERIFY2(row > 0, qPrintable(QString::number(row)));
        QCOMPARE(model.value(row - 1, QStringLiteral("id")).toInt(), expected.at(1199));
        QVERIFY(model.rowCount() < 1000);

        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.currentKey().toInt(), expected.last());
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid.currentKey().toInt(), expected.first());
        QVERIFY(!model.canFetchBefore());

        // Found again from far down the rows held, where the view's scroll
        // position changes as the rows change under it.
        grid.scrollToBottom();
        QVERIFY(grid.locateKey(expected.at(300)));
        QCOMPARE(grid.currentKey().toInt(), expected.at(300));
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(grid.locateKey(far));
        QCOMPARE(grid.currentKey().toInt(), far);

        // Sorting keeps the row, found by its place in the new order.
        QVERIFY(grid.locateKey(far));
        grid.sortByField(QStringLiteral("grp"), Qt::DescendingOrder);
        QCOMPARE(grid.currentKey().toInt(), far);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

#include "tst_grid.moc"

KORVEX_TEST_CLASS(GridTest)
KORVEX_TEST_CLASS(KeyedListTest)
