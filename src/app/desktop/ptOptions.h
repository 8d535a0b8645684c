#pragma once

#include "widgets/ui/xLauncherPart.h"

namespace korvex::shell {

// "Настройки" (100): large icons for the settings pages, the variables, the
// formulas and the SQL console, the exchange with the bookkeeping system and
// the maintenance actions.
class TptOptions : public korvex::widgets::TLauncherPart
{
    Q_OBJECT
public:
    TptOptions(TAppContext &context, QWidget *parent);
};

} // namespace korvex::shell
