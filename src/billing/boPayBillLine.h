#pragma once

#include "boRentPayBill.h"
#include "widgets/xFieldTableModel.h"

namespace korvex::billing {

// The lines of the pay-bill dialog as pending rows. A change of either
// amount converts the other one at the dialog's rate: after an NCU change a
// currency-service line gets currency = NCU / rate; after a currency change
// a line that is no currency service gets currency 0 and a currency-service
// line NCU = currency x rate (0 wherever the rate is 0). One busy flag is
// set while a conversion writes, so a converted amount never converts back;
// amounts taken as they are (debts, the allocation, a formula) are written
// with the flag set and stay unconverted. Fields SERVICECAL, OBJECTCAL,
// COSTNCU, COSTCURR; the amounts are typed in place.
class TPayBillLineModel : public korvex::widgets::TxRecordTableModel<TPayBillLine>
{
    Q_OBJECT
public:
    enum Column { ServiceColumn, ObjectColumn, NcuColumn, CurrColumn };

    explicit TPayBillLineModel(QObject *parent = nullptr);

    double rate() const { return m_rate; }
    void setRate(double rate) { m_rate = rate; }
    bool busy() const { return m_busy; }

    // The amount changes, converting the other one.
    void setNcu(int row, double value);
    void setCurr(int row, double value);
    // Both amounts as given, unconverted.
    void writeUnconverted(int row, double ncu, double curr);

    // --- The adding actions: lines are only ever appended -----------------------
    // "Выбор услуг из договора": lines carrying their debts; a currency debt
    // is taken in currency with NCU = currency x rate, unconverted; otherwise
    // the NCU debt is written with conversion.
    void addContractLines(const QList<TPayBillLine> &debts);
    // "Выбор услуг из задолженностей", "Автоматический выбор услуг по рублевой
    // сумме": the amounts as they are.
    void addUnconverted(const QList<TPayBillLine> &lines);
    void removeAll();

    // "Пересчет рублевой цены по курсу для всех позиций": currency-service
    // lines get NCU = currency x rate (the others keep their NCU, which has
    // no currency amount to come from).
    void ncuFromRateAll();
    // "Пересчет валютной цены по курсу для всех позиций": currency = NCU / rate.
    void currFromRateAll();

    double sumNcu() const;
    double sumCurr() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // A typed value was refused; the cell keeps its value.
    void cellRefused(const QString &message);

private:
    void rowChanged(int row);
    double overRate(double ncu) const { return m_rate != 0 ? ncu / m_rate : 0.0; }
    double timesRate(double curr) const { return m_rate != 0 ? curr * m_rate : 0.0; }

    double m_rate = 0;
    bool m_busy = false;
};

} // namespace korvex::billing
