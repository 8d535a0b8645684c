#pragma once

#include "calc/ui/calcWindows.h"
#include "reference/boCurrency.h"
#include "reference/boRentObject.h"
#include "reference/boRentService.h"
#include "reference/boRentServiceCost.h"
#include "widgets/ui/xEditDialog.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvex::calc {
class TboRentReckoningType;
}

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::reference {

// "Услуга (прайс)": one row of the price list. The rate field shows today's
// rate of the chosen currency; a rate the user typed is recorded as today's
// rate only when the row is stored. A type name that is no reckoning type
// makes a new type of that name.
class TdlgRentServiceCost : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentServiceCost(TboRentServiceCost &bo, const TServiceCostRecord &record, bool isNew,
                        QWidget *parent = nullptr);
    ~TdlgRentServiceCost() override;

    korvex::widgets::TxLookupBox *objectBox() const { return m_object; }
    korvex::widgets::TxLookupBox *serviceBox() const { return m_service; }
    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    korvex::widgets::TxLookupBox *typeBox() const { return m_type; }
    QLineEdit *rateField() const { return m_rate; }
    korvex::widgets::TxCheckedEdit *ncuField() const { return m_costNcu; }
    korvex::widgets::TxCheckedEdit *currField() const { return m_costCurr; }
    QPushButton *toNcuButton() const { return m_toNcu; }
    QPushButton *toCurrButton() const { return m_toCurr; }
    QRadioButton *currPriceButton() const { return m_reckonCurr; }
    QRadioButton *ncuPriceButton() const { return m_reckonNcu; }

    // The conversion buttons: a price from the other one at the rate field.
    void convertToNcu();
    void convertToCurr();
    // Shows today's rate of the chosen currency (empty when it has none).
    void showRate();

protected:
    bool event(QEvent *event) override;
    bool validate() override;
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    void display(const TServiceCostRecord &record);
    // The rate the user typed over the one shown (none when unchanged or
    // emptied).
    bool rateTyped() const;
    void convert(korvex::widgets::TxCheckedEdit *from, korvex::widgets::TxCheckedEdit *to, bool toNcu);

    TboRentServiceCost &m_bo;
    TServiceCostRecord m_record;
    korvex::calc::TCalcWindows m_calcWindows;
    TboRentObject *m_objects;
    TboRentService *m_services;
    TboCurrency *m_currencies;
    korvex::calc::TboRentReckoningType *m_reckoning;
    korvex::widgets::TxLookupBox *m_object;
    korvex::widgets::TxLookupBox *m_service;
    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    QString m_shownRate;
    korvex::widgets::TxCheckedEdit *m_costNcu;
    korvex::widgets::TxCheckedEdit *m_costCurr;
    QPushButton *m_toNcu;
    QPushButton *m_toCurr;
    korvex::widgets::TxLookupBox *m_type;
    QRadioButton *m_reckonCurr;
    QRadioButton *m_reckonNcu;
};

} // namespace korvex::reference
