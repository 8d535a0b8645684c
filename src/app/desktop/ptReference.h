#pragma once

#include "reference/boRentDenomination.h"
#include "widgets/ui/xEditDialog.h"
#include "widgets/ui/xLauncherPart.h"

namespace korvex::shell {

// "Справочники" (916): large icons that open the directory pages and tools.
class TptReference : public korvex::widgets::TLauncherPart
{
    Q_OBJECT
public:
    TptReference(TAppContext &context, QWidget *parent);
};

// "Деноминация": all rows of rent_denomination in an editable grid, stored
// together on "Закрыть".
class TptDenominasion : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TptDenominasion(TAppContext &context, QWidget *parent = nullptr);
    ~TptDenominasion() override;

    korvex::reference::TDenominationModel *rows() const { return m_rows; }

protected:
    int writeRecord() override;

private:
    korvex::reference::TboRentDenomination m_bo;
    korvex::reference::TDenominationModel *m_rows;
};

} // namespace korvex::shell
