#pragma once

#include "pricing/boRentReckoning.h"
#include "calc/ui/calcWindows.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::calc {

// "Рассчет цен": prices one contract service by a chosen reckoning type or a
// free formula, starting from the two prices given. Each "Рассчитать" first
// takes the two price fields as the position's prices, computes into a value
// of its own and, on success, puts it into the field the switch chooses.
class TdlgRentMakeReckoning : public QDialog
{
    Q_OBJECT
public:
    TdlgRentMakeReckoning(korvex::shell::TAppContext &context, int contractServiceKey, double costNcu, double costCurr,
                          QWidget *parent = nullptr);
    // For a position as a dialog edits it (perhaps not stored yet): the
    // engine takes the row's keys, quantity and type, and its two prices.
    TdlgRentMakeReckoning(korvex::shell::TAppContext &context, const TContractServiceEdit &row, QWidget *parent = nullptr);
    ~TdlgRentMakeReckoning() override;

    // The prices as the fields show them.
    double costNcu() const;
    double costCurr() const;

    // The two "Рассчитать" buttons and "Выбо переменной".
    bool reckonByType();
    bool reckonByFormula();
    void chooseVariable();

    TboRentReckoning &engine() { return m_engine; }
    korvex::widgets::TxCheckedEdit *ncuField() const { return m_ncu; }
    korvex::widgets::TxCheckedEdit *currField() const { return m_curr; }
    QRadioButton *currButton() const { return m_toCurr; }
    QRadioButton *ncuButton() const { return m_toNcu; }
    korvex::widgets::TxLookupBox *typeBox() const { return m_type; }
    QToolButton *reckonTypeButton() const { return m_reckonType; }
    QLineEdit *formulaField() const { return m_formula; }
    QToolButton *reckonFormulaButton() const { return m_reckonFormula; }
    QToolButton *chooseVariableButton() const { return m_choose; }

private:
    void build(double costNcu, double costCurr);
    void takePrices();
    void showResult(bool ok, double value);

    korvex::shell::TAppContext &m_context;
    TCalcWindows m_windows;
    TboRentReckoningType m_types;
    TboRentReckoning m_engine;
    korvex::widgets::TxCheckedEdit *m_ncu;
    korvex::widgets::TxCheckedEdit *m_curr;
    QRadioButton *m_toCurr;
    QRadioButton *m_toNcu;
    korvex::widgets::TxLookupBox *m_type;
    QToolButton *m_reckonType;
    QLineEdit *m_formula;
    QToolButton *m_choose;
    QToolButton *m_reckonFormula;
};

// Shows "Рассчет цен" for the contract service with the two prices; on "Ок"
// returns true with the prices as the fields show them, else false and the
// prices unchanged.
bool ShowPriceReckoning(QWidget *owner, korvex::shell::TAppContext &context, int contractServiceKey, double &costNcu,
                        double &costCurr);
// The same for a position as a dialog edits it, starting from its prices.
bool ShowPriceReckoning(QWidget *owner, korvex::shell::TAppContext &context, const TContractServiceEdit &row,
                        double &costNcu, double &costCurr);

} // namespace korvex::calc
