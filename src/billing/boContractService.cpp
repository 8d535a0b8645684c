#include "boContractService.h"

#include "boRentContract.h"
#include "PositionPricing.h"

#include "amount/xAmount.h"

namespace korvex::billing {

using korvex::amount::parseNumber;
using korvex::amount::sameAmount;

namespace {

bool isZero(double amount)
{
    return sameAmount(amount, 0);
}

constexpr int DescriptionLength = 180;

} // namespace

// --- TPriceConversion --------------------------------------------------------------------

void TPriceConversion::setNcu(TContractServiceRecord &row, double value)
{
    row.costNcu = value;
    if (m_guard == 1) {
        m_guard = -1;
        return;
    }
    m_guard = 0;
    if (row.currService)
        setCurr(row, m_rate == 0 ? 0 : value / m_rate);
}

void TPriceConversion::setCurr(TContractServiceRecord &row, double value)
{
    row.costCurr = value;
    if (m_guard == 0) {
        m_guard = -1;
        return;
    }
    m_guard = 1;
    if (!row.currService) {
        m_guard = 0;
        setCurr(row, 0);
        return;
    }
    setNcu(row, value * m_rate);
}

// --- TContractServiceModel -------------------------------------------------------------------

TContractServiceModel::TContractServiceModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("SERVICECAL"), QStringLiteral("OBJECTCAL"), QStringLiteral("COSTNCU"),
                          QStringLiteral("COSTCURR"), QStringLiteral("COUNTOBJECT"), QStringLiteral("TYPERECKONINGCAL"),
                          QStringLiteral("NCURECKONING"), QStringLiteral("DESCRIPTION"), QStringLiteral("DESCRIPTION2")},
                         parent)
{
}

void TContractServiceModel::setTypeNames(const QHash<int, QString> &names)
{
    m_typeNames = names;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, TypeColumn), index(rowCount() - 1, TypeColumn));
}

void TContractServiceModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TContractServiceModel::setNcu(int row, double value)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_conversion.setNcu(m_records[row], value);
    rowChanged(row);
}

void TContractServiceModel::setCurr(int row, double value)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_conversion.setCurr(m_records[row], value);
    rowChanged(row);
}

void TContractServiceModel::replaceRecord(int row, const TContractServiceRecord &record)
{
    if (row < 0 || row >= m_records.size())
        return;
    m_records[row] = record;
    rowChanged(row);
}

double TContractServiceModel::rateOf(const QString &text)
{
    return parseNumber(text).value_or(0);
}

void TContractServiceModel::ncuFromRate(int row, const QString &rateText)
{
    if (row < 0 || row >= m_records.size() || !m_records.at(row).currService)
        return;
    setNcu(row, m_records.at(row).costCurr * rateOf(rateText));
}

void TContractServiceModel::currFromRate(int row, const QString &rateText)
{
    if (row < 0 || row >= m_records.size() || !m_records.at(row).currService)
        return;
    const double rate = rateOf(rateText);
    setCurr(row, rate == 0 ? 0 : m_records.at(row).costNcu / rate);
}

void TContractServiceModel::takePriceListPrices(int row, const TPriceListEntry &entry)
{
    takeReckonedPrices(row, entry.costNcu, entry.costCurr);
}

void TContractServiceModel::takePriceListFormula(int row, const TPriceListEntry &entry)
{
    if (row < 0 || row >= m_records.size())
        return;
    TContractServiceRecord &r = m_records[row];
    if (entry.typeReckoningKey != 0)
        r.typeReckoningKey = entry.typeReckoningKey;
    r.ncuReckoning = entry.ncuReckoning ? 1 : 0;
    rowChanged(row);
}

void TContractServiceModel::takeReckonedPrices(int row, double costNcu, double costCurr)
{
    if (!isZero(costNcu))
        setNcu(row, costNcu);
    if (!isZero(costCurr))
        setCurr(row, costCurr);
}

void TContractServiceModel::takeBothPrices(int row, double costNcu, double costCurr)
{
    setNcu(row, costNcu);
    setCurr(row, costCurr);
}

QVariant TContractServiceModel::data(const QModelIndex &index, int role) const
{
    const TContractServiceRecord *record = recordAt(index);
    if (!record)
        return {};
    const TContractServiceRecord &r = *record;
    const int column = index.column();
    const bool number = column == NcuColumn || column == CurrColumn || column == CountColumn;
    if (role == Qt::TextAlignmentRole)
        return number ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    // Numbers are shown by the grid's decimals and typed as text.
    auto amount = [role](double v) { return role == Qt::EditRole ? QVariant(korvex::amount::typedText(v)) : QVariant(v); };
    switch (column) {
    case ServiceColumn: return r.serviceName;
    case ObjectColumn: return r.objectName;
    case NcuColumn: return amount(r.costNcu);
    case CurrColumn: return amount(r.costCurr);
    case CountColumn: return r.countObject ? amount(*r.countObject) : QVariant(QString());
    case TypeColumn: return r.typeReckoningKey ? m_typeNames.value(*r.typeReckoningKey) : QString();
    case NcuFirstColumn:
        if (!r.ncuReckoning)
            return QString();
        return *r.ncuReckoning == 1 ? tr("Рублевая") : tr("Валютная");
    case DescriptionColumn: return r.description;
    case Description2Column: return r.description2;
    default: return {};
    }
}

Qt::ItemFlags TContractServiceModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxFieldTableModel::flags(index) & ~Qt::ItemIsEditable;
    switch (index.column()) {
    case NcuColumn:
    case CurrColumn:
    case CountColumn:
    case DescriptionColumn:
    case Description2Column:
        return f | Qt::ItemIsEditable;
    default:
        return f;
    }
}

bool TContractServiceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    const QString typed = value.toString();
    // Passing through a cell changes nothing: an untouched price must not
    // convert the other one.
    if (typed == data(index, Qt::EditRole).toString())
        return true;
    const int column = index.column();
    if (column == DescriptionColumn || column == Description2Column) {
        if (typed.size() > DescriptionLength) {
            Q_EMIT cellRefused(tr("Текст длиннее %1 знаков").arg(DescriptionLength));
            return false;
        }
        (column == DescriptionColumn ? m_records[row].description : m_records[row].description2) = typed;
        rowChanged(row);
        return true;
    }
    std::optional<double> number;
    if (!typed.trimmed().isEmpty()) {
        number = parseNumber(typed);
        if (!number) {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
    }
    if (column == CountColumn) {
        m_records[row].countObject = number;
        rowChanged(row);
    } else if (column == NcuColumn) {
        setNcu(row, number.value_or(0));
    } else {
        setCurr(row, number.value_or(0));
    }
    return true;
}

// --- TContractServiceValueModel --------------------------------------------------------------

TContractServiceValueModel::TContractServiceValueModel(TboRentContract &bo, QObject *parent)
    : TxDatedValueModel(QStringLiteral("CONTRACTSERVICEDATE"), QStringLiteral("CONTRACTSERVICEVALUE"), parent)
    , m_bo(bo)
{
}

QList<korvex::widgets::TxDatedValue> TContractServiceValueModel::readRows(int contractServiceKey)
{
    return m_bo.readValues(contractServiceKey);
}

void TContractServiceValueModel::writeRow(korvex::widgets::TxDatedValue &row)
{
    m_bo.writeValue(row);
}

QDate TContractServiceValueModel::newRowDate() const
{
    const QDate last = lastWrittenDate();
    return last.isValid() ? last.addDays(1) : QDate::currentDate();
}

} // namespace korvex::billing
