#pragma once

#include "pricing/boRentReckoning.h"
#include "calc/ui/calcWindows.h"

#include <QDialog>

class QPushButton;
class QRadioButton;
class QToolButton;

namespace korvex::widgets {
class TxLookupBox;
}

namespace korvex::calc {

// "Формулы для расчета цен": chooses and tries the reckoning type of one
// contract service row while a contract dialog edits it. The engine prices
// with the row as edited (its position loaded, then the row's own keys and
// prices, the contract's customer and the dialog's rate). Only "Ок" closes
// it: it writes the switch and the type into the row; the opener stores it.
class TdlgRentCSReckoning : public QDialog
{
    Q_OBJECT
public:
    TdlgRentCSReckoning(korvex::shell::TAppContext &context, TContractServiceEdit &row, double rate,
                        QWidget *parent = nullptr);
    ~TdlgRentCSReckoning() override;

    // The test button: runs the chosen type into a value of its own, so that
    // ЦЕНАРУБ and ЦЕНАВАЛ keep the row's prices in every step, and shows
    // the answer or "Ошибка в формуле.".
    void runTest();

    TboRentReckoning &engine() { return m_engine; }
    QRadioButton *currFirstButton() const { return m_currFirst; }
    QRadioButton *ncuFirstButton() const { return m_ncuFirst; }
    korvex::widgets::TxLookupBox *typeBox() const { return m_type; }
    QPushButton *testButton() const { return m_test; }
    QPushButton *okButton() const { return m_ok; }

    // Every way of closing but "Ок" is refused.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void confirm();

    TContractServiceEdit &m_row;
    TCalcWindows m_windows;
    TboRentReckoningType m_types;
    TboRentReckoning m_engine;
    QRadioButton *m_currFirst;
    QRadioButton *m_ncuFirst;
    korvex::widgets::TxLookupBox *m_type;
    QPushButton *m_test;
    QPushButton *m_ok;
    bool m_closing = false;
};

// Opens "Формулы для расчета цен" on the row; returns when "Ок" was pressed.
void ShowCSReckoning(QWidget *owner, korvex::shell::TAppContext &context, TContractServiceEdit &row, double rate);

} // namespace korvex::calc
