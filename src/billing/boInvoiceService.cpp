#include "boInvoiceService.h"

#include "amount/xAmount.h"

namespace korvex::billing {

using korvex::amount::parseNumber;
using korvex::amount::sameAmount;

namespace {

// Every digit, decimal comma: a number as it is typed.
QString numberText(double v)
{
    return QString::number(v, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

constexpr int DescriptionLength = 20;

} // namespace

TInvoiceLineModel::TInvoiceLineModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("SERVICECAL"), QStringLiteral("OBJECTCAL"), QStringLiteral("COSTNCU"),
                          QStringLiteral("COSTCURR"), QStringLiteral("DESCRIPTION")},
                         parent)
{
}

void TInvoiceLineModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TInvoiceLineModel::setNcu(int row, double value)
{
    if (!inRange(row))
        return;
    m_conversion.setNcu(m_records[row], value);
    rowChanged(row);
}

void TInvoiceLineModel::setCurr(int row, double value)
{
    if (!inRange(row))
        return;
    m_conversion.setCurr(m_records[row], value);
    rowChanged(row);
}

void TInvoiceLineModel::ncuFromRate(int row)
{
    if (inRange(row))
        setNcu(row, m_records.at(row).costCurr * m_conversion.rate());
}

void TInvoiceLineModel::currFromRate(int row)
{
    if (!inRange(row))
        return;
    const double rate = m_conversion.rate();
    setCurr(row, rate == 0 ? 0 : m_records.at(row).costNcu / rate);
}

void TInvoiceLineModel::takeNonZero(int row, double costNcu, double costCurr)
{
    if (!sameAmount(costNcu, 0))
        setNcu(row, costNcu);
    if (!sameAmount(costCurr, 0))
        setCurr(row, costCurr);
}

void TInvoiceLineModel::takeBoth(int row, double costNcu, double costCurr)
{
    setNcu(row, costNcu);
    setCurr(row, costCurr);
}

bool TInvoiceLineModel::hasCurrencyAmounts() const
{
    return std::any_of(m_records.cbegin(), m_records.cend(),
                       [](const TInvoiceLineRecord &r) { return r.currService && !sameAmount(r.costCurr, 0); });
}

QVariant TInvoiceLineModel::data(const QModelIndex &index, int role) const
{
    const TInvoiceLineRecord *record = recordAt(index);
    if (!record)
        return {};
    const int column = index.column();
    const bool number = column == NcuColumn || column == CurrColumn;
    if (role == Qt::TextAlignmentRole)
        return number ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    auto amount = [role](double v) { return role == Qt::EditRole ? QVariant(numberText(v)) : QVariant(v); };
    switch (column) {
    case ServiceColumn: return record->serviceName;
    case ObjectColumn: return record->objectName;
    case NcuColumn: return amount(record->costNcu);
    case CurrColumn: return amount(record->costCurr);
    case DescriptionColumn: return record->description;
    default: return {};
    }
}

Qt::ItemFlags TInvoiceLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxFieldTableModel::flags(index) & ~Qt::ItemIsEditable;
    const int column = index.column();
    return column == NcuColumn || column == CurrColumn || column == DescriptionColumn ? f | Qt::ItemIsEditable : f;
}

bool TInvoiceLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    const QString typed = value.toString();
    // Passing through a cell changes nothing: an untouched amount must not
    // convert the other one.
    if (typed == data(index, Qt::EditRole).toString())
        return true;
    if (index.column() == DescriptionColumn) {
        if (typed.size() > DescriptionLength) {
            Q_EMIT cellRefused(tr("Текст длиннее %1 знаков").arg(DescriptionLength));
            return false;
        }
        m_records[row].description = typed;
        rowChanged(row);
        return true;
    }
    double number = 0;
    if (!typed.trimmed().isEmpty()) {
        const std::optional<double> parsed = parseNumber(typed);
        if (!parsed) {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
        number = *parsed;
    }
    if (index.column() == NcuColumn)
        setNcu(row, number);
    else
        setCurr(row, number);
    return true;
}

} // namespace korvex::billing
