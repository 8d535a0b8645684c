#pragma once

#include "shell/Maintenance.h"
#include "widgets/ui/xLauncherPart.h"

#include <QDialog>

class QCheckBox;

namespace korvex::widgets {
class TxCheckedEdit;
}

namespace korvex::shell {

// "Настройки" (100): large icons for the settings pages, the variables, the
// formulas and the SQL console, and the maintenance actions.
class TptOptions : public korvex::widgets::TLauncherPart
{
    Q_OBJECT
public:
    TptOptions(TAppContext &context, QWidget *parent);

private:
    void rebuildDebts();
    void deleteOperations();
};

// "Период": the period whose lease operations are deleted, or all of them.
class TdlgRentPeriod : public QDialog
{
    Q_OBJECT
public:
    TdlgRentPeriod(const TboMaintenance::TPeriod &period, QWidget *parent = nullptr);

    TboMaintenance::TPeriod period() const;

private:
    bool check();

    korvex::widgets::TxCheckedEdit *m_begin;
    korvex::widgets::TxCheckedEdit *m_end;
    QCheckBox *m_all;
};

} // namespace korvex::shell
