#pragma once

#include "xGuard.h"

#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;
class QVBoxLayout;
class QHBoxLayout;

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

class TFormPlaceSaver;

// The base of every edit dialog. The dialog shows and collects values; the
// business object checks and writes them. On "Ок" (and "&Следующий" where it
// has one) the base checks the required fields in order - the first empty
// one is named in a message, gets the cursor, and the dialog stays open -
// then validate(), then runs writeRecord() in one write scope: its own
// transaction, or a savepoint in its caller's (so that a failed write undoes
// only this dialog's part and the caller decides about the rest). A refused
// business rule (EBusinessError) or a database error shows its text and keeps
// the dialog open with nothing written.
//
// The base keeps the record's key: recordKey() is 0 while the record is new
// and the stored key once a save committed; "&Следующий" stores the record,
// sets recordKey() back to 0 and calls startNextRecord(). savedKey() is the
// key of the last record stored, savedCount() how many were stored.
class TxEditDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TxEditDialog(korvex::db::TxDatabase &db, QWidget *parent = nullptr);
    ~TxEditDialog() override;

    // A required field: 'filled' decides whether it has a value; by default a
    // line edit, combo box, spin box or lookup box needs non-blank text.
    void addRequired(QWidget *field, const QString &message, std::function<bool()> filled = {});
    void setMessageCaption(const QString &caption) { m_caption = caption; }
    QString messageCaption() const { return m_caption; }

    // "&Следующий": saves and starts the next record without closing.
    void setNextEnabled(bool enabled);

    QPushButton *okButton() const { return m_ok; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Checks and writes; true when the record was stored.
    bool save();

    // How many records were stored while the dialog was open.
    int savedCount() const { return m_savedCount; }
    // The key of the last record stored; 0 when none was.
    int savedKey() const { return m_savedKey; }
    // The key of the record being edited: 0 while it is new.
    int recordKey() const { return m_recordKey; }

    // The message box the dialog shows for a failed check or write.
    static void showMessage(QWidget *parent, const QString &caption, const QString &text);

    // Shows the dialog modally: true when it stored at least one record;
    // savedKey receives the key of the last one. What a port's window
    // class answers for an edit dialog.
    bool execEdit(int &savedKey);
    bool execEdit();

Q_SIGNALS:
    void saved();

protected:
    korvex::db::TxDatabase &db() const { return m_db; }
    // Where subclasses put their fields; the buttons stay below.
    QVBoxLayout *contentLayout() const { return m_content; }
    QHBoxLayout *buttonLayout() const { return m_buttonRow; }

    // Checks after the required fields; a failing check calls fail() and
    // returns false.
    virtual bool validate() { return true; }
    // Writes the record through the business object; runs inside the write
    // scope and throws on failure. Returns the record's key (0 when it has
    // none), which becomes recordKey() and savedKey() once the scope commits.
    virtual int writeRecord() = 0;
    // After the write committed (or the caller's savepoint was kept).
    virtual void afterSave() {}
    // After "&Следующий" stored a record and recordKey() went back to 0:
    // show a new record.
    virtual void startNextRecord() {}

    // The key of the record the dialog opened with (0: a new record).
    void setRecordKey(int key) { m_recordKey = key; }

    // Shows the message with the dialog's caption and puts the cursor on the
    // field; for use in validate().
    void fail(QWidget *focus, const QString &message);

    static bool hasText(QWidget *field);

    // The dialog opens with the cursor in its first field: the buttons,
    // made first, go to the end of the Tab order. Enter in a field moves to
    // the next one; on a button it presses the button.
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Required {
        QWidget *field;
        QString message;
        std::function<bool()> filled;
    };

    korvex::db::TxDatabase &m_db;
    QList<Required> m_required;
    QString m_caption;
    QVBoxLayout *m_content;
    QHBoxLayout *m_buttonRow;
    QPushButton *m_ok;
    QPushButton *m_next;
    QPushButton *m_cancel;
    TFormPlaceSaver *m_saver;
    int m_savedCount = 0;
    int m_savedKey = 0;
    int m_recordKey = 0;
    bool m_shown = false;
};

} // namespace korvex::widgets
