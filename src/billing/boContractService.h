#pragma once

#include "widgets/xDatedValueModel.h"
#include "widgets/xFieldTableModel.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace korvex::billing {

class TboRentContract;
struct TPriceListEntry;

// One contract service ("позиция договора", rent_contractservice) as the
// contract dialog holds it: a service, optionally on a leased object, with
// its prices and the reckoning type that prices it.
struct TContractServiceRecord {
    int id = 0;  // 0: not stored yet
    int serviceKey = 0;
    std::optional<int> objectKey;  // none: "Услуга без объекта"
    double costNcu = 0;
    double costCurr = 0;
    std::optional<int> typeReckoningKey;
    std::optional<int> ncuReckoning;  // 1: the formula gives the NCU price
    std::optional<double> countObject;
    QString description;
    QString description2;
    // Shown, not stored: the names and the service's currency flag.
    QString serviceName;
    QString objectName;
    bool currService = false;
};

// The guard g that keeps a converted price from converting back. Every
// change of a position's price, typed or written by a price action, converts
// the other price at the rate, and that conversion is itself a change of a
// price that goes through the guard again. g starts at -1 and is one for all
// positions of a dialog.
//   NCU price changed: g = 1 -> g = -1, stop; else g = 0 and, for a currency
//     service, the currency price becomes NCU / rate (0 when the rate is 0).
//   Currency price changed: g = 0 -> g = -1, stop; else g = 1; for a service
//     that is no currency service g = 0 and the currency price becomes 0;
//     for a currency service the NCU price becomes currency x rate (0 when
//     the rate is 0).
class TPriceConversion
{
public:
    int guard() const { return m_guard; }
    // The rate last shown or typed in "Курс".
    double rate() const { return m_rate; }
    void setRate(double rate) { m_rate = rate; }

    void setNcu(TContractServiceRecord &row, double value);
    void setCurr(TContractServiceRecord &row, double value);

private:
    int m_guard = -1;
    double m_rate = 0;
};

// The positions of the contract dialog as pending rows, with the dialog's
// price actions. Prices typed into the grid and prices an action writes go
// through the dialog's one guard (TPriceConversion). Fields SERVICECAL,
// OBJECTCAL, COSTNCU, COSTCURR, COUNTOBJECT, TYPERECKONINGCAL, NCURECKONING,
// DESCRIPTION, DESCRIPTION2; the prices, the quantity and the texts are
// typed in place.
class TContractServiceModel : public korvex::widgets::TxRecordTableModel<TContractServiceRecord>
{
    Q_OBJECT
public:
    enum Column {
        ServiceColumn, ObjectColumn, NcuColumn, CurrColumn, CountColumn, TypeColumn, NcuFirstColumn, DescriptionColumn,
        Description2Column
    };

    explicit TContractServiceModel(QObject *parent = nullptr);

    TPriceConversion &conversion() { return m_conversion; }
    // Names of the reckoning types, for the type column.
    void setTypeNames(const QHash<int, QString> &names);

    // The price changes, through the guard.
    void setNcu(int row, double value);
    void setCurr(int row, double value);
    // Every field of a row at once, without the guard (a reckoning type
    // chosen for it, the keys a save gave).
    void replaceRecord(int row, const TContractServiceRecord &record);

    // --- The price actions; each does nothing on a row out of range ------------
    // "Пересчет рублевой цены по курсу": currency services only; the rate
    // text that is no number or 0 gives 0.
    void ncuFromRate(int row, const QString &rateText);
    // "Пересчет валютной цены по курсу": the same the other way.
    void currFromRate(int row, const QString &rateText);
    // "Цена на услугу из прайса": each price of the price-list row that is
    // not 0 (at kopeck precision), the NCU price first.
    void takePriceListPrices(int row, const TPriceListEntry &entry);
    // "Формула для расчета из прайса": a reckoning type that is not 0, and
    // the NCU switch.
    void takePriceListFormula(int row, const TPriceListEntry &entry);
    // "Рассчет цены на услугу по формуле": each computed price that is not 0.
    void takeReckonedPrices(int row, double costNcu, double costCurr);
    // "Рассчет по формуле": both prices as the price dialog answered them.
    void takeBothPrices(int row, double costNcu, double costCurr);

    // The rate of a rate text: the number typed, 0 for anything else.
    static double rateOf(const QString &text);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // A typed value was refused; the cell keeps its value.
    void cellRefused(const QString &message);

private:
    void rowChanged(int row);

    TPriceConversion m_conversion;
    QHash<int, QString> m_typeNames;
};

// The values of one contract service on the contracts page, typed in place
// (TxDatedValueModel): only those dated within the period of the
// position's service are listed, and a new row is dated one day after the
// last row written since the model was made (today before any). Fields
// CONTRACTSERVICEDATE, CONTRACTSERVICEVALUE.
class TContractServiceValueModel : public korvex::widgets::TxDatedValueModel
{
    Q_OBJECT
public:
    explicit TContractServiceValueModel(TboRentContract &bo, QObject *parent = nullptr);

    int contractServiceKey() const { return ownerKey(); }

protected:
    QList<korvex::widgets::TxDatedValue> readRows(int contractServiceKey) override;
    void writeRow(korvex::widgets::TxDatedValue &row) override;
    QDate newRowDate() const override;

private:
    TboRentContract &m_bo;
};

} // namespace korvex::billing
