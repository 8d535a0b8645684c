#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace korvex::shell {

class TmmOptions;

// The settings common to all users ("Общие настройки"): read as a whole when
// the page opens and written as a whole, as common options, when it closes.
// A value that is absent stays absent (none) where the page shows nothing
// for it, so nothing is written for a pick list over an empty table or a
// choice nobody made.
struct TCommonSettings {
    // "&Общие"
    std::optional<int> CurrKey;                // rentcurrkey (fin_curr.id)
    std::optional<int> PaymentKey;             // rentpaymentkey (rent_payment.id)
    std::optional<int> NCUReckoning;           // rentNCUReckoning: 0 currency price, 1 rouble price
    std::optional<int> BreakPayBillService;    // rentBreakPayBillService: 0 in turn, 1 in proportion
    std::optional<int> BreakPayBillObject;     // rentBreakPayBillObject
    // "&Договора"
    int ContractNumber = 1;                    // rentContractNumber
    int ContractPaymentDay = 1;                // rentContractPaymentDay
    QDate ContractExpireDate;                  // rentcontractEXPRIREDATE (today when absent)
    int CountContractDay = 1;                  // rentCountContractDay
    bool AutoReplaceReckoning = false;         // rentautoreplacereckoning
    // "&Счета"
    int InvoiceNumber = 1;                     // invoicenumber
    int PayBillNumber = 1;                     // PayBillnumber, the counter of pay bills
    std::optional<int> InvoiceTypeKey;         // rentinvoicetypekey (rent_invoicetype.id)
    // "&Графические объекты": colours as colour texts ("clBlack")
    QString ObjectLineColor = QStringLiteral("clBlack");       // rentobjectlinecolor
    QString ObjectGraphColor = QStringLiteral("clWhite");      // rentobjectgraphcolor
    QString ObjectUseLineColor = QStringLiteral("clBlack");    // rentobjectuselinecolor
    QString ObjectUseGraphColor = QStringLiteral("clRed");     // rentobjectusegraphcolor
    // The object font; absent: the page's sample font.
    std::optional<QString> ObjectFontName;     // rentobjectfontname
    std::optional<int> ObjectFontSize;         // rentobjectfontsize
    std::optional<QString> ObjectFontStyle;    // rentobjectfontstyle, letters "BIUS"
    std::optional<QString> ObjectFontColor;    // rentobjectfontcolor

    static TCommonSettings read(const TmmOptions &options);
    void write(TmmOptions &options) const;
};

// The settings of the current user ("Настройки пользователя").
struct TUserSettings {
    std::optional<int> LocationKey;    // rentlocationkey: default location of new objects
    std::optional<int> ObjectTypeKey;  // rentObjectTypekey: default type of new objects
    QString ContractPath;              // contractpath: where contract documents are saved

    static TUserSettings read(const TmmOptions &options);
    void write(TmmOptions &options) const;
};

// The period of "Удаление операций за период", remembered per user.
struct TPeriodSettings {
    QDate Begin;         // rent_periodbegindate (today when absent)
    QDate End;           // rent_periodenddate
    bool All = false;    // rent_operationall

    static TPeriodSettings read(const TmmOptions &options);
    void write(TmmOptions &options) const;
};

} // namespace korvex::shell
