#pragma once

#include "reference/boCurrency.h"
#include "widgets/ui/xEditDialog.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::reference {

// "Валюта": one row of fin_curr.
class TdlgCurr : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgCurr(TboCurrency &bo, const TCurrencyRecord &record, QWidget *parent = nullptr);

    const TCurrencyRecord &record() const { return m_record; }

protected:
    int writeRecord() override;
    void afterSave() override;

private:
    QLineEdit *addText(const QString &label, const QString &name, int maxLength);

    TboCurrency &m_bo;
    TCurrencyRecord m_record;
    QFormLayout *m_form;
    QLineEdit *m_name;
    QLineEdit *m_shortname;
    QLineEdit *m_code;
    QLineEdit *m_sign;
    QLineEdit *m_fullcentname;
    QLineEdit *m_shortcentname;
    korvex::widgets::TxCheckedEdit *m_decdigits;
    korvex::widgets::TxCheckedEdit *m_centbase;
    QComboBox *m_place;
    QCheckBox *m_active;
    QCheckBox *m_isNcu;
};

// "Курс валюты": one row of fin_currrate.
class TdlgCurrRate : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgCurrRate(TboCurrency &bo, const TRateRecord &record, bool isNew, QWidget *parent = nullptr);

protected:
    bool validate() override;
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    void display(const TRateRecord &record);
    TRateRecord collect() const;

    TboCurrency &m_bo;
    TRateRecord m_first;                     // how a new row starts
    std::optional<TRateRecord> m_original;  // the stored triple being edited
    korvex::widgets::TxLookupBox *m_from;
    korvex::widgets::TxLookupBox *m_to;
    korvex::widgets::TxCheckedEdit *m_date;
    korvex::widgets::TxCheckedEdit *m_coeff;
};

// A number as a checked field shows it: every digit kept, decimal comma.
QString numberFieldText(double value);

} // namespace korvex::reference
