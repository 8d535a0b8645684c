#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xQuery.h"
#include "db/xSqlScript.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xLookupSource.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace korvex::db;
using namespace korvex::widgets;
using korvex::test::TestDatabase;

namespace {

// A view and a search procedure shaped like those of the shared schema.
const char *const LookupFixture = R"(
CREATE TABLE thing (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), disabled SMALLINT DEFAULT 0);
INSERT INTO thing (id, name) VALUES (1, 'Альфа');
INSERT INTO thing (id, name) VALUES (2, 'Бета');
INSERT INTO thing (id, name) VALUES (3, 'Гамма');
INSERT INTO thing (id, name, disabled) VALUES (4, 'Дзета', 1);
SET TERM ^ ;
CREATE PROCEDURE t_p_thing_view (showdisabled INTEGER)
RETURNS (thingkey INTEGER, name VARCHAR(40))
AS
BEGIN
  FOR SELECT id, name FROM thing WHERE disabled = 0 OR :showdisabled = 1 INTO :thingkey, :name DO
    SUSPEND;
END^
/* Type 1: the text starts the name; otherwise the whole name. */
CREATE PROCEDURE t_p_thing_search (id INTEGER, text VARCHAR(40), type INTEGER)
RETURNS (ok INTEGER, outid INTEGER, outtext VARCHAR(40))
AS
BEGIN
  ok = 0;
  SELECT FIRST 1 t.id, t.name FROM thing t
  WHERE (:type = 1 AND UPPER(t.name) STARTING WITH UPPER(:text)) OR UPPER(t.name) = UPPER(:text)
  ORDER BY t.name
  INTO :outid, :outtext;
  IF (outid IS NOT NULL) THEN
    ok = 1;
END^
SET TERM ; ^
)";

// Types over the field's text and presses Enter. QTest::keyClicks() knows
// Latin letters only, so the keys carry their text.
void typeAndLeave(TxLookupBox &box, const QString &text)
{
    QLineEdit *line = box.lineEdit();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(line, Qt::Key_Return);
}

} // namespace

class LookupTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_db = TestDatabase::empty();
        TxSqlScript::run(db(), QString::fromUtf8(LookupFixture), QStringLiteral("lookup fixture"));
    }
    void cleanupTestCase() { m_db.reset(); }

    void resolvesTypedTextThroughSearchProcedure()
    {
        auto source = std::make_unique<TxProcLookup>(db(), QStringLiteral("t_p_thing_view"),
                                                     QStringLiteral("t_p_thing_search"), QStringLiteral("THINGKEY"),
                                                     QStringLiteral("NAME"));
        source->setSearchType(1);
        TxLookupBox box;
        box.setSource(std::move(source));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy keys(&box, &TxLookupBox::keyChanged);
        QSignalSpy notFound(&box, &TxLookupBox::textNotFound);

        typeAndLeave(box, QStringLiteral("бе"));
        QCOMPARE(box.key().toInt(), 2);
        QCOMPARE(box.text(), QStringLiteral("Бета"));
        QCOMPARE(keys.count(), 1);
        // The list comes from the view procedure, ordered by name, without the
        // disabled row.
        QCOMPARE(box.comboBox()->count(), 3);
        QCOMPARE(box.comboBox()->itemText(0), QStringLiteral("Альфа"));

        // Text that names no row: the hook fires, the key stays, its text returns.
        typeAndLeave(box, QStringLiteral("Омега"));
        QCOMPARE(notFound.count(), 1);
        QCOMPARE(notFound.at(0).at(0).toString(), QStringLiteral("Омега"));
        QCOMPARE(box.key().toInt(), 2);
        QCOMPARE(box.text(), QStringLiteral("Бета"));

        // A handler that creates the row and takes its key.
        connect(&box, &TxLookupBox::textNotFound, this, [&box, this](const QString &text) {
            TxQuery::execute(db(), QStringLiteral("INSERT INTO thing (id, name) VALUES (5, ?)"), {text});
            box.setKey(5);
        });
        typeAndLeave(box, QStringLiteral("Омега"));
        QCOMPARE(box.key().toInt(), 5);
        QCOMPARE(box.text(), QStringLiteral("Омега"));
        QCOMPARE(box.comboBox()->count(), 4);

        // A key hidden from the list is kept; empty text clears the key.
        box.setKey(4);
        QCOMPARE(box.key().toInt(), 4);
        QCOMPARE(box.text(), QString());
        box.setKey(1);
        typeAndLeave(box, QString());
        QVERIFY(box.key().isNull());
        QCOMPARE(keys.count(), 5);
    }

    void tableSourceAndChooserButton()
    {
        TxLookupBox box;
        box.setSource(std::make_unique<TxTableLookup>(db(), QStringLiteral("thing"), QStringLiteral("id"),
                                                      QStringLiteral("name"),
                                                      TxSqlFilter(QStringLiteral("WHERE disabled = ?"), {0})));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setKey(3);
        QCOMPARE(box.text(), QStringLiteral("Гамма"));

        typeAndLeave(box, QStringLiteral("  альфа "));
        QCOMPARE(box.key().toInt(), 1);
        QCOMPARE(box.text(), QStringLiteral("Альфа"));
        // The start of a name is completed from the list.
        typeAndLeave(box, QStringLiteral("гам"));
        QCOMPARE(box.key().toInt(), 3);
        QCOMPARE(box.text(), QStringLiteral("Гамма"));
        QSignalSpy notFound(&box, &TxLookupBox::textNotFound);
        typeAndLeave(box, QStringLiteral("Гамма-2"));
        QCOMPARE(notFound.count(), 1);
        QCOMPARE(box.key().toInt(), 3);
        QCOMPARE(box.text(), QStringLiteral("Гамма"));

        QSignalSpy chooser(&box, &TxLookupBox::chooserClicked);
        QCOMPARE(box.chooserButton()->text(), QStringLiteral("..."));
        QTest::mouseClick(box.chooserButton(), Qt::LeftButton);
        QCOMPARE(chooser.count(), 1);
    }

private:
    TxDatabase &db() { return m_db->db(); }

    std::unique_ptr<TestDatabase> m_db;
};

#include "tst_lookup.moc"

KORVEX_TEST_CLASS(LookupTest)
