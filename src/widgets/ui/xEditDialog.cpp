#include "xEditDialog.h"

#include "xAppRegistry.h"
#include "xCheckedEdit.h"
#include "xDialogFields.h"
#include "xGuard.h"
#include "xMessages.h"
#include "db/xDatabase.h"
#include "db/xTransaction.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <optional>

namespace korvex::widgets {

using namespace korvex::db;

TxEditDialog::TxEditDialog(TxDatabase &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_caption(tr("Внимание!"))
{
    auto *outer = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    outer->addLayout(m_content, 1);
    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addStretch();
    m_ok = new QPushButton(tr("Ок"), this);
    // No default button: Enter in a field moves on to the next field
    // (keyPressEvent), so that a hurried Enter never stores half a record.
    m_next = new QPushButton(tr("&Следующий"), this);
    m_next->hide();
    m_cancel = new QPushButton(tr("Отмена"), this);
    m_buttonRow->addWidget(m_ok);
    m_buttonRow->addWidget(m_next);
    m_buttonRow->addWidget(m_cancel);
    outer->addLayout(m_buttonRow);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(m_next, &QPushButton::clicked, this, [this] {
        if (!save())
            return;
        m_recordKey = 0;
        guarded(this, [this] { startNextRecord(); });
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_saver = new TFormPlaceSaver(this, true);
}

TxEditDialog::~TxEditDialog() = default;

void TxEditDialog::setNextEnabled(bool enabled)
{
    m_next->setVisible(enabled);
}

void TxEditDialog::addRequired(QWidget *field, const QString &message, std::function<bool()> filled)
{
    m_required.append({field, message, std::move(filled)});
}

bool TxEditDialog::hasText(QWidget *field)
{
    if (auto e = qobject_cast<QLineEdit *>(field))
        return !e->text().trimmed().isEmpty();
    if (auto c = qobject_cast<QComboBox *>(field))
        return !c->currentText().trimmed().isEmpty();
    if (auto d = qobject_cast<QDateEdit *>(field))
        return d->date().isValid();
    if (auto s = qobject_cast<QAbstractSpinBox *>(field))
        return !s->text().trimmed().isEmpty();
    if (auto t = qobject_cast<QPlainTextEdit *>(field))
        return !t->toPlainText().trimmed().isEmpty();
    if (auto t = qobject_cast<QTextEdit *>(field))
        return !t->toPlainText().trimmed().isEmpty();
    const QVariant text = field->property("text");
    return text.isValid() && !text.toString().trimmed().isEmpty();
}

void TxEditDialog::showMessage(QWidget *parent, const QString &caption, const QString &text)
{
    TxMessages::warning(parent, text, caption);
}

bool TxEditDialog::execEdit(int &savedKey)
{
    exec();
    savedKey = m_savedKey;
    return m_savedCount > 0;
}

bool TxEditDialog::execEdit()
{
    exec();
    return m_savedCount > 0;
}

void TxEditDialog::fail(QWidget *focus, const QString &message)
{
    showMessage(this, m_caption, message);
    if (focus) {
        bringIntoView(focus);
        focus->setFocus(Qt::OtherFocusReason);
        if (auto e = qobject_cast<QLineEdit *>(focus))
            e->selectAll();
    }
}

void TxEditDialog::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        // No button is pressed by Enter from a field, so none is drawn as
        // the default one either.
        for (QPushButton *b : findChildren<QPushButton *>())
            b->setAutoDefault(false);
        fitFieldsToContent(this);
        focusFirstField(this, {m_ok, m_next, m_cancel});
    }
    QDialog::showEvent(event);
}

void TxEditDialog::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget()))
            button->click();
        else
            focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TxEditDialog::save()
{
    // A number or date field still holding text it cannot read: the user
    // corrects it; nothing is stored in its place.
    for (TxCheckedEdit *edit : findChildren<TxCheckedEdit *>()) {
        if (edit->isEnabled() && !edit->isValidText(edit->text())) {
            bringIntoView(edit);
            edit->complain();
            return false;
        }
    }
    for (const Required &r : std::as_const(m_required)) {
        const bool filled = r.filled ? r.filled() : hasText(r.field);
        if (!filled) {
            fail(r.field, r.message);
            return false;
        }
    }
    if (!validate())
        return false;

    int key = 0;
    const std::optional<QString> failure = failureOf([&] {
        TxWriteScope scope(m_db);
        key = writeRecord();
        scope.commit();
    });
    if (failure) {
        showMessage(this, m_caption, *failure);
        return false;
    }
    ++m_savedCount;
    m_savedKey = key;
    m_recordKey = key;
    guarded(this, [this] { afterSave(); });
    Q_EMIT saved();
    return true;
}

} // namespace korvex::widgets
