#include "xLookupBox.h"

#include "xGuard.h"

#include "xMessages.h"
#include "widgets/xQueryModel.h"

#include "db/xDbError.h"

#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>
#include <functional>

namespace korvex::widgets {

namespace {

// Reads the list only when it is first shown.
class LookupCombo : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

} // namespace

TxLookupBox::TxLookupBox(QWidget *parent)
    : QWidget(parent)
{
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);

    auto *combo = new LookupCombo(this);
    combo->beforePopup = [this] { ensureList(); };
    m_combo = combo;
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Room for a usual name whatever the list holds (it is read on demand).
    m_combo->setMinimumContentsLength(22);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_combo->completer()->setCompletionMode(QCompleter::InlineCompletion);
    setFocusProxy(m_combo);
    m_layout->addWidget(m_combo);

    m_chooser = addButton(QStringLiteral("..."));
    connect(m_chooser, &QToolButton::clicked, this, &TxLookupBox::chooserClicked);

    connect(m_combo, &QComboBox::activated, this, &TxLookupBox::picked);
    connect(m_combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { resolveText(); });
}

TxLookupBox::~TxLookupBox() = default;

void TxLookupBox::setSource(std::unique_ptr<TxLookupSource> source)
{
    m_source = std::move(source);
    m_listFilled = false;
    const QVariant key = m_key;
    m_key = QVariant();
    {
        const QSignalBlocker quiet(this);
        setKey(key);
    }
    if (!sameKey(m_key, key) && !(key.isNull() && m_key.isNull()))
        Q_EMIT keyChanged(m_key);
}

QString TxLookupBox::text() const
{
    return m_combo->currentText();
}

QLineEdit *TxLookupBox::lineEdit() const
{
    return m_combo->lineEdit();
}

void TxLookupBox::fillList()
{
    const QScopedValueRollback filling(m_filling, true);
    m_combo->clear();
    for (const TxLookupRow &row : m_source->rows())
        m_combo->addItem(row.text, row.key);
    m_listFilled = true;
    display(m_key, m_text);
}

void TxLookupBox::ensureList()
{
    if (!m_source)
        return;
    try {
        const int generation = m_source->generation();
        m_source->rows();
        if (!m_listFilled || m_source->generation() != generation || m_combo->count() != m_source->rows().size())
            fillList();
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
    }
}

void TxLookupBox::reload()
{
    if (!m_source)
        return;
    try {
        m_source->reload();
        fillList();
        setKey(m_key);
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
    }
}

void TxLookupBox::display(const QVariant &key, const QString &text)
{
    m_key = key;
    m_text = text;
    const QScopedValueRollback filling(m_filling, true);
    int index = -1;
    if (!key.isNull()) {
        for (int i = 0; i < m_combo->count(); ++i) {
            if (sameKey(m_combo->itemData(i), key)) {
                index = i;
                break;
            }
        }
    }
    m_combo->setCurrentIndex(index);
    m_combo->setEditText(text);
    // The start of a long name, not its tail.
    if (!m_combo->lineEdit()->hasFocus())
        m_combo->lineEdit()->setCursorPosition(0);
}

std::optional<int> TxLookupBox::intKey() const
{
    return m_key.isNull() || !m_key.isValid() ? std::nullopt : std::optional<int>(m_key.toInt());
}

void TxLookupBox::setKey(const QVariant &key)
{
    const QVariant old = m_key;
    QString text;
    if (!key.isNull() && m_source) {
        try {
            const int generation = m_source->generation();
            const std::optional<TxLookupRow> row = m_source->findKey(key);
            if (row)
                text = row->text;
            if (!m_listFilled || m_source->generation() != generation)
                fillList();
        } catch (const db::EDatabaseError &e) {
            TxMessages::error(this, e.message());
        }
    }
    display(key, text);
    const bool same = (old.isNull() && key.isNull()) || sameKey(old, key);
    if (!same)
        Q_EMIT keyChanged(m_key);
}

void TxLookupBox::picked(int index)
{
    if (m_filling || index < 0)
        return;
    const QVariant key = m_combo->itemData(index);
    const bool same = sameKey(m_key, key);
    display(key, m_combo->itemText(index));
    if (!same)
        Q_EMIT keyChanged(m_key);
}

bool TxLookupBox::resolveText()
{
    if (m_resolving || m_filling || !m_source)
        return true;
    const QScopedValueRollback resolving(m_resolving, true);
    const QString typed = m_combo->currentText().trimmed();
    // Unchanged text resolves to nothing new: passing through a field that
    // shows a key hidden from the list must not clear it.
    if (typed == m_text.trimmed())
        return true;
    if (typed.isEmpty()) {
        setKey(QVariant());
        return true;
    }
    try {
        if (const std::optional<TxLookupRow> row = m_source->findText(typed, m_key)) {
            const QVariant old = m_key;
            ensureList();
            display(row->key, row->text);
            if (!sameKey(old, row->key))
                Q_EMIT keyChanged(m_key);
            return true;
        }
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
        display(m_key, m_text);
        return false;
    }
    const QVariant before = m_key;
    const QString beforeText = m_text;
    Q_EMIT textNotFound(typed);
    if (!(before.isNull() && m_key.isNull()) && !sameKey(before, m_key))
        return true;  // a handler made the row and chose it
    display(m_key, beforeText);
    return false;
}

void TxLookupBox::setChooserVisible(bool on)
{
    m_chooser->setVisible(on);
}

QToolButton *TxLookupBox::addButton(const QString &text, const QString &toolTip)
{
    auto *button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(toolTip);
    // Pressing a button must not count as leaving the field.
    button->setFocusPolicy(Qt::NoFocus);
    m_layout->addWidget(button);
    return button;
}

void TxLookupBox::setReadOnly(bool on)
{
    m_combo->setEnabled(!on);
    for (QToolButton *b : findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
        b->setEnabled(!on);
}

TxLookupBox *newTableBox(db::TxDatabase &db, const QString &table, const QString &keyField, const QString &textField,
                         const QString &name, QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    box->setSource(std::make_unique<TxTableLookup>(db, table, keyField, textField));
    return box;
}

TxLookupBox *newProcedureBox(db::TxDatabase &db, const QString &viewProcedure, const QString &searchProcedure,
                             const QString &keyField, const QString &textField, const QString &name, QWidget *parent,
                             int searchType)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    auto source = std::make_unique<TxProcLookup>(db, viewProcedure, searchProcedure, keyField, textField);
    source->setSearchType(searchType);
    box->setSource(std::move(source));
    return box;
}

QToolButton *connectRowMaking(TxLookupBox *box, const std::function<int(const QString &)> &makeRow,
                              const std::function<bool(int)> &editRow, const QString &text, const QString &tip)
{
    QObject::connect(box, &TxLookupBox::textNotFound, box, [box, makeRow](const QString &typed) {
        guarded(box, [&] {
            if (const int key = makeRow(typed); key > 0) {
                box->reload();
                box->setKey(key);
            }
        });
    });
    QToolButton *button = box->addButton(text, tip);
    QObject::connect(button, &QToolButton::clicked, box, [box, editRow] {
        if (box->key().isNull())
            return;
        guarded(box, [&] {
            if (editRow(box->key().toInt()))
                box->reload();
        });
    });
    return button;
}

} // namespace korvex::widgets
