#pragma once

#include "widgets/xNumberDisplay.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringList>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <functional>
#include <optional>

class QMenu;

namespace korvex::widgets {

class TxGridConditions;

// The look of one column as the stored layout keeps it: fonts and colours of
// the cells and the title (an invalid colour or no font: the grid's own),
// alignments (none: as the value comes), the display format of numbers and
// dates (empty: the grid's decimals) and the edit mask.
struct TxColumnLook {
    std::optional<QFont> font;
    QColor fontColor;
    QColor color;
    std::optional<QFont> titleFont;
    QColor titleFontColor;
    QColor titleColor;
    std::optional<Qt::Alignment> alignment;
    std::optional<Qt::Alignment> titleAlignment;
    QString displayFormat;
    QString editMask;
};

// The data grid of every list: a read-only table over a Qt SQL model
// (TxQueryModel, QSqlQueryModel, QSqlTableModel).
//
// - A click on a column title sorts by that column (a second click reverses
//   the order): TxQueryModel and QSqlTableModel ask the server again with
//   ORDER BY; the current row stays current, found again by its key field.
// - Rows are drawn in two alternating stripe colours (the first row in the
//   first colour) and the selected row in the selection colour; a cell
//   formatter hook may then change colours and fonts per cell (the place of
//   conditional formatting).
// - Nothing here reads the whole result: rows arrive as the user scrolls.
// - Numbers follow the program's display rule (xGridDisplay.h): money with
//   two decimals, other numbers with the digits they have, right-aligned.
// - A column whose width nobody chose (the page, the user, a stored layout)
//   is as wide as its title and the rows read when it first shows rows.
// - Titles, widths, visibility, positions, decimals and number kinds are set
//   by field name and survive a re-query.
class TxDBGrid : public QTableView
{
    Q_OBJECT
public:
    using CellFormatter = std::function<void(const QModelIndex &, QStyleOptionViewItem &)>;

    explicit TxDBGrid(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    // --- Rows -----------------------------------------------------------------
    // The field that identifies a row (by default the first column).
    void setKeyField(const QString &field) { m_keyField = field; }
    QString keyField() const { return m_keyField; }
    QVariant currentKey() const;
    QVariant currentValue(const QString &field) const;
    // Makes the row with the key current. A TxQueryModel with this key field
    // finds it by its place in the order and reads no row before it; other
    // models read on to it (a key absent from the result reads to its end).
    bool locateKey(const QVariant &key);
    // Runs the model's statement again (TxQueryModel::requery,
    // QSqlTableModel::select) keeping the current row. Throws EDatabaseError.
    void requery();
    void setReadOnly(bool on);

    // --- Sorting --------------------------------------------------------------
    void setSortingByTitle(bool on) { m_sortByTitle = on; }
    // Sorts keeping the current row; throws EDatabaseError when the
    // re-query fails (a title click shows the error instead).
    void sortByField(const QString &field, Qt::SortOrder order = Qt::AscendingOrder);
    void sortByColumnKeepingRow(int column, Qt::SortOrder order);

    // --- Columns by field name --------------------------------------------------
    int fieldColumn(const QString &field) const;  // -1 when the model has none
    QString columnField(int column) const;
    void setFieldTitle(const QString &field, const QString &title);
    // A page's width is the least the column gets while it fits its
    // contents; a stored (user's) width is kept as it is.
    void setFieldWidth(const QString &field, int width);
    void setStoredFieldWidth(const QString &field, int width);
    int fieldWidth(const QString &field) const;
    void setFieldVisible(const QString &field, bool visible);
    bool isFieldVisible(const QString &field) const;
    // Position among the columns shown, from 0.
    void setFieldPosition(const QString &field, int position);
    int fieldPosition(const QString &field) const;
    // Numbers of the field shown with this many decimals, right-aligned.
    void setFieldDecimals(const QString &field, int decimals);
    int fieldDecimals(const QString &field) const;  // -1: as the value comes
    // How the field's numbers are shown (Auto: what the model says, else by
    // the field's name).
    void setFieldNumberKind(const QString &field, TNumberKind kind);
    TNumberKind columnNumberKind(int column) const;

    // --- Look -------------------------------------------------------------------
    void setStriped(bool on);
    bool isStriped() const { return m_striped; }
    void setStripeColors(const QColor &one, const QColor &two);
    QColor stripeOne() const { return m_stripeOne; }
    QColor stripeTwo() const { return m_stripeTwo; }
    void setSelectionColor(const QColor &color);
    QColor selectionColor() const;
    void setCellFormatter(CellFormatter formatter) { m_formatter = std::move(formatter); }

    // Used by the grid's delegate: striping, decimals and the formatter.
    void styleCell(const QModelIndex &index, QStyleOptionViewItem &option) const;

    // --- Stored layout ------------------------------------------------------------
    // What the run-time store keeps besides titles, widths, positions and
    // visibility; like them, kept by field name across re-queries.
    void setFieldLook(const QString &field, const TxColumnLook &look);
    TxColumnLook fieldLook(const QString &field) const;
    // Fields the grid keeps settings for, whether the model shows them now or not.
    QStringList knownFields() const;
    // Columns share the grid's width in proportion to their own widths.
    void setScaleColumns(bool on);
    bool scaleColumns() const { return m_scaleColumns; }
    // A line is drawn above each row where a line field's value changes.
    void setShowLines(bool on);
    bool showLines() const { return m_showLines; }
    void setLineFields(const QStringList &fields);
    QStringList lineFields() const { return m_lineFields; }
    bool lineAbove(const QModelIndex &index) const;

    // --- Conditional formatting ---------------------------------------------------
    TxGridConditions *conditions() const { return m_conditions; }
    // The submenu "Условное форматирование" of the grid's pop-up menu.
    QMenu *conditionsMenu() const { return m_conditionsMenu; }
    // Opens the rule dialog on a copy of the rules; true when confirmed.
    bool editConditions();

Q_SIGNALS:
    void currentKeyChanged(const QVariant &key);
    // A title click could not sort (the server refused the query).
    void sortFailed(const QString &message);
    // Another model was set (the run-time store follows it).
    void modelChanged();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    struct FieldSettings {
        QString title;
        int width = -1;
        int position = -1;
        int decimals = -1;
        TNumberKind kind = TNumberKind::Auto;
        bool hidden = false;
        bool hiddenSet = false;
        // The width was chosen (by the user or a stored layout), or fitted
        // to rows: it is no longer fitted to the contents.
        bool widthFixed = false;
        TxColumnLook look;
    };

    void titleClicked(int column, Qt::SortOrder order);
    void ensureCurrentRow();
    // Reads the rows before those a keyed list holds when the view shows its top.
    void fetchAbove();
    void applyFieldSettings();
    void applyScaling();
    FieldSettings &settings(const QString &field) { return m_fields[field.toUpper()]; }

    QString m_keyField;
    bool m_sortByTitle = true;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_striped = true;
    QColor m_stripeOne;
    QColor m_stripeTwo;
    CellFormatter m_formatter;
    QHash<QString, FieldSettings> m_fields;  // upper-case field name
    QList<int> m_columnDecimals;             // per column, rebuilt on every reset
    QList<TNumberKind> m_columnKinds;        // per column, rebuilt on every reset
    QList<QMetaObject::Connection> m_modelConnections;
    bool m_applying = false;
    bool m_fetchingAbove = false;
    bool m_fetchAboveQueued = false;

    QList<TxColumnLook> m_columnLooks;  // per column, rebuilt on every reset
    bool m_scaleColumns = false;
    bool m_showLines = false;
    QStringList m_lineFields;
    bool m_shownOnce = false;
    TxGridConditions *m_conditions = nullptr;
    QMenu *m_conditionsMenu = nullptr;
};

} // namespace korvex::widgets
