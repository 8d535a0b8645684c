#pragma once

#include "boContractService.h"
#include "boRentInvoice.h"

namespace korvex::billing {

// The lines of the invoice dialog as pending rows, with the dialog's line
// actions. Unlike the contract dialog's, the actions work on lines of any
// service; every change of an amount, typed or written by an action, goes
// through the dialog's one conversion guard (TPriceConversion) at the rate
// of "Курс". Fields SERVICECAL, OBJECTCAL, COSTNCU, COSTCURR, DESCRIPTION;
// the amounts and the description are typed in place.
class TInvoiceLineModel : public korvex::widgets::TxRecordTableModel<TInvoiceLineRecord>
{
    Q_OBJECT
public:
    enum Column { ServiceColumn, ObjectColumn, NcuColumn, CurrColumn, DescriptionColumn };

    explicit TInvoiceLineModel(QObject *parent = nullptr);

    TPriceConversion &conversion() { return m_conversion; }

    // The amount changes, through the guard.
    void setNcu(int row, double value);
    void setCurr(int row, double value);

    // --- The line actions; each does nothing on a row out of range -------------
    // "Пересчет рублевой цены по курсу": NCU = currency x rate (0 when the
    // rate is 0).
    void ncuFromRate(int row);
    // "Пересчет валютной цены по курсу": currency = NCU / rate (0 when the
    // rate is 0).
    void currFromRate(int row);
    // Prices of the engine or the price list: each that is not 0 (at kopeck
    // precision), the NCU amount first.
    void takeNonZero(int row, double costNcu, double costCurr);
    // "Рассчет по формуле": both amounts as the price dialog answered them.
    void takeBoth(int row, double costNcu, double costCurr);
    // The currency lines whose currency amount is not 0: what a
    // recalculation at rate 0 would wipe.
    bool hasCurrencyAmounts() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // A typed value was refused; the cell keeps its value.
    void cellRefused(const QString &message);

private:
    void rowChanged(int row);
    bool inRange(int row) const { return row >= 0 && row < m_records.size(); }

    TPriceConversion m_conversion;
};

} // namespace korvex::billing
