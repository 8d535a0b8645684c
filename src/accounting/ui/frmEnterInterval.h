#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

namespace korvex::shell {
class TmmOptions;
}

namespace korvex::accounting {

// "Установка периода": the period of the export. Its dates come from the
// common options enterintervaldatebegin and enterintervaldateend (today when
// absent) and go back there however the dialog is closed.
class TfrmEnterInterval : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEnterInterval(korvex::shell::TmmOptions &options, QWidget *parent = nullptr);

    QDate DateBegin() const;
    QDate DateEnd() const;
    QDateEdit *beginEdit() const { return m_begin; }
    QDateEdit *endEdit() const { return m_end; }

    void done(int result) override;

private:
    korvex::shell::TmmOptions &m_options;
    QDateEdit *m_begin;
    QDateEdit *m_end;
};

} // namespace korvex::accounting
