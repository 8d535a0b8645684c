#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

// A tree over rows of (id, parent, text): the objects, locations, services,
// price lists, variables and figures of the program.
//
// load() reads the whole result and builds the tree: a row whose parent is
// NULL, itself, or not among the rows read stands at the top level, and a row
// caught in a cycle of parents is lifted to the top, so no row is ever lost.
// Children keep the order of the result.
//
// Column 0 shows the text field (with a check box when rows can be marked);
// further columns show the display fields. Marks are kept by id across
// reloads. Named numeric columns can be edited in place; moving marked rows
// under another row asks the server's test procedure for each row.
// Every write runs in a transaction of its own, or in the caller's.
class TxTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1 };

    // Executable procedure that allows or refuses a move, such as
    // rent_p_testreplaceobject (id, groupobject) returning replace = 1.
    struct MoveTest {
        QString procedure;
        QString idParam = QStringLiteral("id");
        QString targetParam;
        QString resultParam = QStringLiteral("replace");
    };
    struct MoveResult {
        int moved = 0;
        int refused = 0;
    };
    // Writes one edited number; throws EDatabaseError to refuse it.
    using CellWriter = std::function<void(qint64 id, const QString &field, const QVariant &value)>;
    // Moves one row under target (nullopt: the top level) as a business
    // object decides; false when the move is refused.
    using Mover = std::function<bool(qint64 id, std::optional<qint64> target)>;

    explicit TxTreeModel(db::TxDatabase &db, QObject *parent = nullptr);
    ~TxTreeModel() override;

    // --- Source -------------------------------------------------------------
    // The table written by moves and cell edits; without setQuery() also the
    // rows read ("SELECT * FROM table ORDER BY <text field>").
    void setTable(const QString &table);
    QString table() const { return m_table; }
    // A SELECT returning the id, parent and text columns and any display
    // columns, with its positional values.
    void setQuery(const QString &select, const QVariantList &values = {});
    void setKeyFields(const QString &id, const QString &parent, const QString &text);
    // Columns shown after the text, in this order; by default every other
    // column of the result.
    void setDisplayFields(const QStringList &fields);
    void setFieldTitle(const QString &field, const QString &title);
    // The picture of a row, shown before its text (Qt::DecorationRole of
    // the first column).
    using Decoration = std::function<QVariant(const QModelIndex &index)>;
    void setDecoration(Decoration decoration) { m_decoration = std::move(decoration); }

    // Reads the rows and rebuilds the tree (one model reset). Throws
    // EDatabaseError and then keeps the tree it had.
    void load();
    int count() const { return int(m_nodes.size()); }

    // --- Rows ---------------------------------------------------------------
    QModelIndex indexOf(qint64 id, int column = 0) const;
    std::optional<qint64> idOf(const QModelIndex &index) const;
    bool contains(qint64 id) const { return m_byId.contains(id); }
    // The parent shown in the tree (none for top-level rows).
    std::optional<qint64> parentOf(qint64 id) const;
    QList<qint64> childrenOf(std::optional<qint64> id) const;  // nullopt: top level
    QVariant value(qint64 id, const QString &field) const;
    QStringList fieldNames() const { return m_fields; }
    // Column that shows a field (0 for the text field); -1 when none does.
    int columnOf(const QString &field) const;

    // --- Marks --------------------------------------------------------------
    void setMarkable(bool on);
    bool isMarkable() const { return m_markable; }
    // When set, ticking a row's box ticks or unticks the rows below it too.
    void setMarkCascades(bool on) { m_cascade = on; }
    bool isMarked(qint64 id) const { return m_marked.contains(id); }
    void setMarked(qint64 id, bool on, bool withChildren = false);
    void setMarked(const QList<qint64> &ids, bool on);
    // Marks the rows directly below id, or below them all when recursive.
    void markChildren(qint64 id, bool recursive = false);
    void markTopLevel();
    void clearMarks();
    // Marked rows in tree order (parents before their children).
    QList<qint64> markedIds() const;
    // The same as the integer keys business objects take.
    QList<int> markedKeys() const;
    int markedCount() const { return int(m_marked.size()); }

    // --- Numbers edited in place ---------------------------------------------
    // With a statement it is run with ":value" and ":id"; with neither
    // statement nor writer: UPDATE <table> SET <field> = :value WHERE <id> = :id.
    void setNumberField(const QString &field, const QString &updateSql = {}, bool allowEmpty = false);
    void setNumberField(const QString &field, CellWriter writer, bool allowEmpty = false);
    bool isNumberColumn(int column) const;
    // Reload the tree after a stored edit (queued, so the editor closes first).
    void setReloadAfterEdit(bool on) { m_reloadAfterEdit = on; }
    // --- Moves ----------------------------------------------------------------
    void setMoveTest(const MoveTest &test) { m_moveTest = test; }
    // Statement with ":parent" and ":id"; by default
    // UPDATE <table> SET <parent> = :parent WHERE <id> = :id.
    void setMoveStatement(const QString &sql) { m_moveSql = sql; }
    // Moves through the business object instead of the test and statement
    // above; it runs inside the row's transaction.
    void setMover(Mover mover) { m_mover = std::move(mover); }
    // Moves every marked row under target (nullopt: to the top level, where
    // no test is asked). A row moved onto itself counts as moved and stays;
    // a row that would land below itself is refused without asking; other
    // rows go when the mover (or else the test procedure) says yes. Moved
    // rows lose their mark, refused ones keep it; the tree is reloaded. Each
    // row is tested and written in a transaction of its own (or the caller's).
    MoveResult moveMarked(std::optional<qint64> target);
    // "Количество перенесенных объектов: n" and, when rows were refused, a
    // second line "Количество не перенесенных объектов: m".
    static QString moveMessage(const MoveResult &result);

    // --- QAbstractItemModel ---------------------------------------------------
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void marksChanged();
    // An edited cell was refused (not a number, or the database said no);
    // the cell keeps its value. The text is ready to be shown.
    void cellRefused(const QModelIndex &index, const QString &message);
    void cellWritten(qint64 id, const QString &field);
    // A reload queued after an edit failed.
    void loadFailed(const QString &message);

private:
    struct Node;
    struct NumberField {
        QString updateSql;
        CellWriter writer;
        bool allowEmpty = false;
    };

    Node *nodeOf(const QModelIndex &index) const;
    int fieldIndex(const QString &field) const;
    int columnField(int column) const;  // field index shown in a column
    void markNode(Node *node, bool on);
    void setMarkedRecursive(Node *node, bool on);
    bool isBelow(qint64 id, qint64 ancestor) const;
    bool writeNumber(const QModelIndex &index, const QVariant &value);
    void moveOne(qint64 id, std::optional<qint64> target, MoveResult &result);

    db::TxDatabase &m_db;
    QString m_table;
    QString m_select;
    QVariantList m_values;
    QString m_idField = QStringLiteral("id");
    QString m_parentField = QStringLiteral("parent");
    QString m_textField = QStringLiteral("name");
    QStringList m_displayFields;
    QHash<QString, QString> m_titles;  // upper-case field -> title

    QStringList m_fields;            // fields of the result, as returned
    QList<int> m_columns;            // field index per column
    Decoration m_decoration;
    int m_idIndex = -1;
    int m_parentIndex = -1;
    std::vector<std::unique_ptr<Node>> m_nodes;
    std::vector<Node *> m_roots;
    QHash<qint64, Node *> m_byId;

    bool m_markable = false;
    bool m_cascade = false;
    QSet<qint64> m_marked;

    QHash<QString, NumberField> m_numberFields;  // upper-case field
    bool m_reloadAfterEdit = true;

    MoveTest m_moveTest;
    QString m_moveSql;
    Mover m_mover;
};

} // namespace korvex::widgets
