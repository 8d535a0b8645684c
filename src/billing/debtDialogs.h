#pragma once

#include <QList>

namespace korvex::billing {

class TboRentDebtFilter;
struct TDebtFilter;

// What "Выбор услуг по задолженностям" starts with and answers: the
// customer (fixed unless changeable), the contract preselected (0: every
// contract), and on "Ок" the contract-service keys of the ticked rows.
struct TDebtChoice {
    int customerKey = 0;
    bool customerChangeable = false;
    int contractKey = 0;
    QList<int> keys;
};

// The windows the debt operations open, supplied by the window layer
// (TDebtWindows), so that the business objects decide without knowing how a
// dialog is shown. The defaults answer "cancelled".
class TDebtDialogs
{
public:
    virtual ~TDebtDialogs();

    // "Фильтрация задолженностей": true on "Ок" with the filter as edited.
    virtual bool debtFilterDialog(TboRentDebtFilter &bo, TDebtFilter &filter);
    // "Выбор услуг по задолженностям": true on "Ок" with choice.keys set.
    virtual bool chooseDebts(TboRentDebtFilter &bo, TDebtChoice &choice);
};

} // namespace korvex::billing
