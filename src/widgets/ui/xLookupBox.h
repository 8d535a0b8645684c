#pragma once

#include "widgets/xLookupSource.h"

#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QToolButton;

namespace korvex::widgets {

// A field that picks one row of a list: an editable drop-down with a chooser
// button "..." beside it. Its value is a key (null: none).
//
// Fed by a TxLookupSource: a table or query (TxTableLookup) or the view and
// search procedures of the shared schema (TxProcLookup).
//
// Leaving the field (focus out, Enter) resolves the typed text:
// - empty text clears the key;
// - a text naming a row selects it (the source decides what "naming" means);
// - otherwise textNotFound() is emitted. A handler may create the row and
//   setKey() it; when none does, the field shows the text of its key again.
// The chooser button only emits chooserClicked(): callers open their chooser
// and setKey() the answer. Database errors are shown and leave the key as it
// was.
class TxLookupBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant key READ key WRITE setKey NOTIFY keyChanged USER true)
public:
    explicit TxLookupBox(QWidget *parent = nullptr);
    ~TxLookupBox() override;

    void setSource(std::unique_ptr<TxLookupSource> source);
    TxLookupSource *source() const { return m_source.get(); }

    QVariant key() const { return m_key; }
    // A key not in the list is kept with an empty text (the row may be hidden
    // from the list, a disabled customer for one).
    void setKey(const QVariant &key);
    void clear() { setKey(QVariant()); }
    // The key as an integer key of a row; none when the box is empty.
    std::optional<int> intKey() const;
    void setIntKey(const std::optional<int> &key) { setKey(key ? QVariant(*key) : QVariant()); }
    QString text() const;

    // Re-reads the list, keeping the key.
    void reload();
    // What leaving the field does; true when the text named a row or was empty.
    bool resolveText();

    void setChooserVisible(bool on);
    QToolButton *chooserButton() const { return m_chooser; }
    // A further small button at the right ("М", "Т": edit the chosen row).
    QToolButton *addButton(const QString &text, const QString &toolTip = {});
    void setReadOnly(bool on);

    QComboBox *comboBox() const { return m_combo; }
    QLineEdit *lineEdit() const;

Q_SIGNALS:
    void keyChanged(const QVariant &key);
    void textNotFound(const QString &text);
    void chooserClicked();

private:
    void fillList();
    void ensureList();
    void display(const QVariant &key, const QString &text);
    void picked(int index);

    std::unique_ptr<TxLookupSource> m_source;
    QComboBox *m_combo;
    QToolButton *m_chooser;
    QHBoxLayout *m_layout;
    QVariant m_key;
    QString m_text;
    bool m_listFilled = false;
    bool m_resolving = false;
    bool m_filling = false;
};

// The building blocks of the subsystems' lookup factories: a box named name
// with its chooser button hidden, over the rows of a table (key and text
// column) or over a view and a search procedure (TxProcLookup, searching by
// the kind given).
TxLookupBox *newTableBox(db::TxDatabase &db, const QString &table, const QString &keyField, const QString &textField,
                         const QString &name, QWidget *parent);
TxLookupBox *newProcedureBox(db::TxDatabase &db, const QString &viewProcedure, const QString &searchProcedure,
                             const QString &keyField, const QString &textField, const QString &name, QWidget *parent,
                             int searchType = 0);

// A box whose list grows from its dialog: typed text that names no row makes
// a row through makeRow (answering the new key, 0: none made), which is then
// chosen; the button added (text, tip) edits the chosen row through editRow
// (answering whether it was stored). Failures are shown by the guard.
QToolButton *connectRowMaking(TxLookupBox *box, const std::function<int(const QString &)> &makeRow,
                              const std::function<bool(int)> &editRow, const QString &text, const QString &tip);

} // namespace korvex::widgets
