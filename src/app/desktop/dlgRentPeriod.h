#pragma once

#include "shell/OptionSettings.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;

namespace korvex::shell {

class TmmOptions;

// "Период": the period of "Удаление операций за период", or every operation
// ("Удалить все операции"). Its values are the user's, remembered on "Ок".
class TdlgRentPeriod : public QDialog
{
    Q_OBJECT
public:
    explicit TdlgRentPeriod(TmmOptions &options, QWidget *parent = nullptr);

    TPeriodSettings period() const;
    QDateEdit *beginEdit() const { return m_begin; }
    QDateEdit *endEdit() const { return m_end; }
    QCheckBox *allBox() const { return m_all; }

private:
    TmmOptions &m_options;
    QDateEdit *m_begin;
    QDateEdit *m_end;
    QCheckBox *m_all;
};

} // namespace korvex::shell
