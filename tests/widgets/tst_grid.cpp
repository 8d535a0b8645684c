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

#include "tst_grid.moc"

KORVEX_TEST_CLASS(GridTest)
