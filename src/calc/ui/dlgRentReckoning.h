#pragma once

#include "calc/boRentReckoningType.h"
#include "widgets/ui/xEditDialog.h"

class QLineEdit;
class QPushButton;

namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::calc {

// "Формула": a reckoning type and its steps. Both are pending changes of the
// dialog until "Ок" or "&Следующий" stores them together; the formula cell
// has a button that appends a chosen variable to the formula.
class TdlgRentReckoning : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentReckoning(TboRentReckoningType &bo, const TReckoningType &type, bool isNew, QWidget *parent = nullptr);
    ~TdlgRentReckoning() override;

    // The type being edited (its key is taken before anything is stored).
    int typeKey() const { return m_type.id; }

    TReckoningStepModel *steps() const { return m_steps; }
    korvex::widgets::TxDBGrid *stepGrid() const { return m_grid; }

    // Asks the variable chooser and appends " NAME " to the step's formula.
    void chooseVariableFor(int row);
    // A new step after the last one, its name cell ready for typing.
    void addStep();
    void removeCurrentStep();

protected:
    bool validate() override;
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    void display(const TReckoningType &type);

    TboRentReckoningType &m_bo;
    TReckoningType m_type;
    TReckoningType m_written;
    QLineEdit *m_name;
    QLineEdit *m_description;
    TReckoningStepModel *m_steps;
    korvex::widgets::TxDBGrid *m_grid;
};

} // namespace korvex::calc
