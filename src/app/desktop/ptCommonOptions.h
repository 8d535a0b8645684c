#pragma once

#include "shell/OptionSettings.h"
#include "widgets/ui/Part.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::shell {

// "Общие настройки" (110): the settings common to all users on four tabs.
// Every value is read as the page opens and written, as a common option,
// as it closes (also when the user switches to another page).
class TptCommonOptions : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptCommonOptions(TAppContext &context, QWidget *parent);
    ~TptCommonOptions() override;

    // What the page shows now.
    TCommonSettings settings() const;
    // Writes what the page shows (the page does it as it closes).
    void save();

    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    korvex::widgets::TxLookupBox *paymentBox() const { return m_payment; }
    korvex::widgets::TxLookupBox *invoiceTypeBox() const { return m_invoiceType; }
    korvex::widgets::TxCheckedEdit *contractNumberEdit() const { return m_contractNumber; }
    korvex::widgets::TxCheckedEdit *invoiceNumberEdit() const { return m_invoiceNumber; }
    QButtonGroup *reckoningGroup() const { return m_reckoning; }

private:
    QWidget *buildGeneral();
    QWidget *buildContracts();
    QWidget *buildInvoices();
    QWidget *buildObjects();
    void showFont();

    TCommonSettings m_loaded;
    korvex::widgets::TxLookupBox *m_currency = nullptr;
    korvex::widgets::TxLookupBox *m_payment = nullptr;
    QButtonGroup *m_reckoning = nullptr;
    QButtonGroup *m_breakService = nullptr;
    QButtonGroup *m_breakObject = nullptr;
    korvex::widgets::TxCheckedEdit *m_contractNumber = nullptr;
    korvex::widgets::TxCheckedEdit *m_paymentDay = nullptr;
    korvex::widgets::TxCheckedEdit *m_expireDate = nullptr;
    korvex::widgets::TxCheckedEdit *m_countDays = nullptr;
    QCheckBox *m_autoReplace = nullptr;
    korvex::widgets::TxCheckedEdit *m_invoiceNumber = nullptr;
    korvex::widgets::TxCheckedEdit *m_payBillNumber = nullptr;
    korvex::widgets::TxLookupBox *m_invoiceType = nullptr;
    QComboBox *m_lineColor = nullptr;
    QComboBox *m_graphColor = nullptr;
    QComboBox *m_useLineColor = nullptr;
    QComboBox *m_useGraphColor = nullptr;
    QComboBox *m_fontColor = nullptr;
    QLabel *m_fontSample = nullptr;
    QFont m_font;
    bool m_fontChosen = false;
};

} // namespace korvex::shell
