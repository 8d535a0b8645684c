#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "db/xQuery.h"
#include "db/xSqlScript.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace korvex::db;
using namespace korvex::widgets;
using korvex::test::TxPromptRecorder;
using korvex::test::TestDatabase;

namespace {

// No foreign key on parent: the tree must cope with rows whose parent is gone.
const char *const TreeFixture = R"(
CREATE TABLE tree_obj (
  id INTEGER NOT NULL PRIMARY KEY,
  parent INTEGER,
  name VARCHAR(40),
  coef DOUBLE PRECISION CHECK (coef IS NULL OR coef >= 0),
  locked SMALLINT DEFAULT 0
);
SET TERM ^ ;
/* Allows every move but that of a locked row. */
CREATE PROCEDURE t_p_testreplace (id INTEGER, groupobject INTEGER)
RETURNS (replace INTEGER)
AS
BEGIN
  replace = 1;
  IF (EXISTS (SELECT 1 FROM tree_obj WHERE id = :id AND locked = 1)) THEN
    replace = 0;
END^
SET TERM ; ^
)";

//  1 Корень А          5 Корень Б         6 Сирота (parent 99, missing)
//    2 Ветвь А1                           7 Сам себе (parent 7)
//      3 Лист А1а                         8 Круг Х (parent 9) <-> 9 Круг У (parent 8)
//    4 Ветвь А2
//    10 Закрепленный (locked)
const char *const TreeRows = R"(
DELETE FROM tree_obj;
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (1, NULL, 'Корень А', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (2, 1, 'Ветвь А1', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (3, 2, 'Лист А1а', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (4, 1, 'Ветвь А2', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (5, NULL, 'Корень Б', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (6, 99, 'Сирота', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (7, 7, 'Сам себе', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (8, 9, 'Круг Х', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (9, 8, 'Круг У', 1, 0);
INSERT INTO tree_obj (id, parent, name, coef, locked) VALUES (10, 1, 'Закрепленный', 1, 1);
)";

QSet<qint64> toSet(const QList<qint64> &ids)
{
    return QSet<qint64>(ids.cbegin(), ids.cend());
}

QVariant parentInDb(TxDatabase &db, qint64 id)
{
    return TxQuery::scalar(db, QStringLiteral("SELECT parent FROM tree_obj WHERE id = ?"), {id});
}

} // namespace

class TreeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_db = TestDatabase::empty();
        TxSqlScript::run(db(), QString::fromUtf8(TreeFixture), QStringLiteral("tree fixture"));
    }
    void init()
    {
        TxSqlScript::run(db(), QString::fromUtf8(TreeRows), QStringLiteral("tree rows"));
        m_model = std::make_unique<TxTreeModel>(db());
        m_model->setTable(QStringLiteral("tree_obj"));
        m_model->setMarkable(true);
        m_model->setMoveTest({QStringLiteral("t_p_testreplace"), QStringLiteral("id"), QStringLiteral("groupobject"),
                              QStringLiteral("replace")});
        m_model->load();
    }
    void cleanup() { m_model.reset(); }
    void cleanupTestCase() { m_db.reset(); }

    void buildsTreeKeepingEveryRow()
    {
        TxTreeModel &m = *m_model;
        QCOMPARE(m.count(), 10);
        for (qint64 id = 1; id <= 10; ++id)
            QVERIFY2(m.indexOf(id).isValid(), qPrintable(QString::number(id)));
        // Orphan, self-parent and the first row of the cycle (by name) stand
        // at the top.
        QCOMPARE(toSet(m.childrenOf(std::nullopt)), (QSet<qint64>{1, 5, 6, 7, 9}));
        QCOMPARE(m.parentOf(8), std::optional<qint64>(9));
        QCOMPARE(m.childrenOf(1), (QList<qint64>{2, 4, 10}));  // ordered by name
        QCOMPARE(m.parentOf(3), std::optional<qint64>(2));

        // Columns: the text, then the other fields; the row count of the view
        // agrees with the tree.
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(m.headerData(1, Qt::Horizontal).toString().toLower(), QStringLiteral("coef"));
        QCOMPARE(m.index(0, 0).data().toString(), QStringLiteral("Корень А"));
        int total = 0;
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int r = 0; r < m.rowCount(parent); ++r) {
                ++total;
                const QModelIndex child = m.index(r, 0, parent);
                QCOMPARE(m.parent(child), parent);
                walk(child);
            }
        };
        walk({});
        QCOMPARE(total, 10);
    }

    void reloadKeepsCurrentRowAndOpenBranches()
    {
        TxDBTreeView view;
        view.setTreeModel(m_model.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.setCurrentId(3));
        QVERIFY(view.isExpanded(m_model->indexOf(2)));

        TxQuery::execute(db(), QStringLiteral("INSERT INTO tree_obj (id, parent, name) VALUES (11, 2, 'Новый')"));
        TxQuery::execute(db(), QStringLiteral("UPDATE tree_obj SET name = 'Лист переименован' WHERE id = 3"));
        QVERIFY(view.reload());
        QCOMPARE(view.currentId(), std::optional<qint64>(3));
        QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("Лист переименован"));
        QVERIFY(view.isExpanded(m_model->indexOf(1)));
        QVERIFY(view.isExpanded(m_model->indexOf(2)));
        QVERIFY(m_model->indexOf(11).isValid());

        // A current row deleted elsewhere: its former parent becomes current.
        TxQuery::execute(db(), QStringLiteral("DELETE FROM tree_obj WHERE id = 3"));
        QVERIFY(view.reload());
        QCOMPARE(view.currentId(), std::optional<qint64>(2));
    }

    void marksWithChildrenSurviveReload()
    {
        TxTreeModel &m = *m_model;
        QSignalSpy changed(&m, &TxTreeModel::marksChanged);
        m.setMarked(1, true, true);
        QCOMPARE(m.markedIds(), (QList<qint64>{1, 2, 3, 4, 10}));
        QCOMPARE(m.data(m.indexOf(3), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        m.setMarked(2, false, true);
        QCOMPARE(m.markedIds(), (QList<qint64>{1, 4, 10}));
        QVERIFY(changed.count() >= 2);

        // A ticked box cascades when the model is asked to.
        m.setMarkCascades(true);
        QVERIFY(m.setData(m.indexOf(9), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(m.isMarked(9) && m.isMarked(8));

        // Marks are kept by id across a reload; rows gone lose theirs.
        TxQuery::execute(db(), QStringLiteral("DELETE FROM tree_obj WHERE id = 4"));
        m.load();
        QCOMPARE(m.markedIds(), (QList<qint64>{1, 10, 9, 8}));

        m.clearMarks();
        QCOMPARE(m.markedCount(), 0);
        m.markTopLevel();
        QCOMPARE(toSet(m.markedIds()), (QSet<qint64>{1, 5, 6, 7, 9}));
    }

    void movesMarkedRowsThroughTestProcedure_data()
    {
        QTest::addColumn<QList<qint64>>("marked");
        QTest::addColumn<qint64>("target");  // 0: the top level
        QTest::addColumn<QVariantList>("parents");  // of the marked rows afterwards
        QTest::addColumn<QList<qint64>>("stillMarked");
        QTest::addColumn<QString>("message");
        QTest::newRow("one refused by the procedure")
            << QList<qint64>{2, 4, 10} << qint64(5) << QVariantList{5, 5, 1} << QList<qint64>{10}
            << "Количество перенесенных объектов: 2\nКоличество не перенесенных объектов: 1";
        QTest::newRow("onto itself counts as moved")
            << QList<qint64>{5, 2} << qint64(5) << QVariantList{QVariant(), 5} << QList<qint64>{}
            << "Количество перенесенных объектов: 2";
        QTest::newRow("to the top without a test")
            << QList<qint64>{2, 10} << qint64(0) << QVariantList{QVariant(), QVariant()} << QList<qint64>{}
            << "Количество перенесенных объектов: 2";
        QTest::newRow("below itself is refused")
            << QList<qint64>{1} << qint64(3) << QVariantList{QVariant()} << QList<qint64>{1}
            << "Количество перенесенных объектов: 0\nКоличество не перенесенных объектов: 1";
    }
    void movesMarkedRowsThroughTestProcedure()
    {
        QFETCH(QList<qint64>, marked);
        QFETCH(qint64, target);
        QFETCH(QVariantList, parents);
        QFETCH(QList<qint64>, stillMarked);
        QFETCH(QString, message);

        TxDBTreeView view;
        view.setTreeModel(m_model.get());
        m_model->setMarked(marked, true);
        TxPromptRecorder shown;
        TxMessages::Intercept intercept(shown);
        view.moveMarked(target ? std::optional<qint64>(target) : std::nullopt);

        for (int i = 0; i < marked.size(); ++i) {
            const QVariant parent = parentInDb(db(), marked.at(i));
            QCOMPARE(parent.isNull(), parents.at(i).isNull());
            if (!parent.isNull())
                QCOMPARE(parent.toLongLong(), parents.at(i).toLongLong());
            // The reloaded tree shows the rows where the database has them.
            QCOMPARE(m_model->parentOf(marked.at(i)).has_value(), !parents.at(i).isNull());
        }
        QCOMPARE(m_model->markedIds(), stillMarked);
        QCOMPARE(shown.messages.size(), 1);
        QCOMPARE(shown.messages.at(0).caption, QStringLiteral("Внимание!"));
        QCOMPARE(shown.messages.at(0).text, message);
    }

    void numberCellWritesBackOrRefuses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("refusal");  // empty: accepted
        QTest::newRow("decimal comma") << "12,5" << 12.5 << "";
        QTest::newRow("decimal point") << "7.25" << 7.25 << "";
        QTest::newRow("not a number") << "12a" << 1.0 << "Введите число";
        QTest::newRow("empty") << "" << 1.0 << "Введите число";
        QTest::newRow("refused by the server") << "-3" << 1.0 << "*";
    }
    void numberCellWritesBackOrRefuses()
    {
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(QString, refusal);

        m_model->setNumberField(QStringLiteral("coef"));
        TxDBTreeView view;
        view.setTreeModel(m_model.get());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        TxPromptRecorder shown;
        TxMessages::Intercept intercept(shown);

        const QModelIndex cell = m_model->indexOf(3, m_model->columnOf(QStringLiteral("coef")));
        QVERIFY(!(m_model->flags(m_model->indexOf(3)) & Qt::ItemIsEditable));
        QVERIFY(m_model->flags(cell) & Qt::ItemIsEditable);
        view.setCurrentId(3);
        view.setCurrentIndex(cell);
        view.edit(cell);
        auto *editor = qobject_cast<QLineEdit *>(view.indexWidget(cell));
        QVERIFY(editor);
        editor->clear();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on its next turn of the event loop.
        QTRY_VERIFY(!view.indexWidget(cell));

        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT coef FROM tree_obj WHERE id = 3")).toDouble(), stored);
        QCOMPARE(m_model->value(3, QStringLiteral("coef")).toDouble(), stored);
        if (refusal.isEmpty()) {
            QVERIFY(shown.messages.isEmpty());
        } else {
            QCOMPARE(shown.messages.size(), 1);
            QCOMPARE(shown.messages.at(0).caption, QStringLiteral("Внимание!"));
            if (refusal != QLatin1String("*"))
                QCOMPARE(shown.messages.at(0).text, refusal);
            else
                QVERIFY(!shown.messages.at(0).text.isEmpty());
        }
    }

private:
    TxDatabase &db() { return m_db->db(); }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TxTreeModel> m_model;
};

#include "tst_tree.moc"

KORVEX_TEST_CLASS(TreeTest)
