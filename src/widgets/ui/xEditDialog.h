#pragma once

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

// The base of every edit dialog. The dialog shows and collects values in
// cached copies of its rows; on "Ок" (and "&Следующий" where it has one) it
// checks the required fields in order - the first empty one is named in a
// message, gets the cursor, and the dialog stays open - then runs further
// checks, and writes its rows in one transaction: its own, or its caller's
// when one is active (then within a savepoint, so that a failed write undoes
// only this dialog's part and the caller decides about the rest). A database
// error shows the server's text and keeps the dialog open with nothing
// written.
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

    // The message box the dialog shows for a failed check or write.
    static void showMessage(QWidget *parent, const QString &caption, const QString &text);

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
    // Writes the record; runs inside the transaction and throws on failure.
    virtual void writeRecord() = 0;
    // After the transaction committed (or the caller's savepoint was kept).
    virtual void afterSave() {}
    // After "&Следующий" stored a record: start the next one.
    virtual void startNextRecord() {}

    // Shows the message with the dialog's caption and puts the cursor on the
    // field; for use in validate().
    void fail(QWidget *focus, const QString &message);

    static bool hasText(QWidget *field);

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
};

} // namespace korvex::widgets
