#include "boPayBillLine.h"

#include "amount/xAmount.h"

namespace korvex::billing {

namespace {

// Sets the flag for as long as it lives.
class TBusy
{
public:
    explicit TBusy(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~TBusy() { m_flag = m_was; }

private:
    bool &m_flag;
    bool m_was;
};

} // namespace

TPayBillLineModel::TPayBillLineModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("SERVICECAL"), QStringLiteral("OBJECTCAL"), QStringLiteral("COSTNCU"),
                          QStringLiteral("COSTCURR")},
                         parent)
{
}

void TPayBillLineModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TPayBillLineModel::setNcu(int row, double value)
{
    if (row < 0 || row >= m_records.size())
        return;
    TPayBillLine &line = m_records[row];
    line.ncu = value;
    if (!m_busy && line.currService) {
        TBusy busy(m_busy);
        line.curr = overRate(value);
    }
    rowChanged(row);
}

void TPayBillLineModel::setCurr(int row, double value)
{
    if (row < 0 || row >= m_records.size())
        return;
    TPayBillLine &line = m_records[row];
    line.curr = value;
    if (!m_busy) {
        TBusy busy(m_busy);
        if (line.currService)
            line.ncu = timesRate(value);
        else
            line.curr = 0;
    }
    rowChanged(row);
}

void TPayBillLineModel::writeUnconverted(int row, double ncu, double curr)
{
    TBusy busy(m_busy);
    setNcu(row, ncu);
    setCurr(row, curr);
}

void TPayBillLineModel::addContractLines(const QList<TPayBillLine> &debts)
{
    for (const TPayBillLine &debt : debts) {
        TPayBillLine line = debt;
        line.id = 0;
        line.ncu = 0;
        line.curr = 0;
        const int row = appendRecord(line);
        if (debt.curr != 0)
            writeUnconverted(row, timesRate(debt.curr), debt.curr);
        else
            setNcu(row, debt.ncu);
    }
}

void TPayBillLineModel::addUnconverted(const QList<TPayBillLine> &lines)
{
    for (const TPayBillLine &l : lines) {
        TPayBillLine line = l;
        line.id = 0;
        const int row = appendRecord(line);
        writeUnconverted(row, l.ncu, l.curr);
    }
}

void TPayBillLineModel::removeAll()
{
    setRecords({});
}

void TPayBillLineModel::ncuFromRateAll()
{
    for (int row = 0; row < m_records.size(); ++row)
        if (m_records.at(row).currService)
            setNcu(row, timesRate(m_records.at(row).curr));
}

void TPayBillLineModel::currFromRateAll()
{
    for (int row = 0; row < m_records.size(); ++row)
        setCurr(row, overRate(m_records.at(row).ncu));
}

double TPayBillLineModel::sumNcu() const
{
    double sum = 0;
    for (const TPayBillLine &line : m_records)
        sum += line.ncu;
    return sum;
}

double TPayBillLineModel::sumCurr() const
{
    double sum = 0;
    for (const TPayBillLine &line : m_records)
        sum += line.curr;
    return sum;
}

QVariant TPayBillLineModel::data(const QModelIndex &index, int role) const
{
    const TPayBillLine *line = recordAt(index);
    if (!line)
        return {};
    const int column = index.column();
    const bool number = column == NcuColumn || column == CurrColumn;
    if (role == Qt::TextAlignmentRole)
        return number ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    auto amount = [role](double v) { return role == Qt::EditRole ? QVariant(korvex::amount::typedText(v)) : QVariant(v); };
    switch (column) {
    case ServiceColumn: return line->serviceName;
    case ObjectColumn: return line->objectName;
    case NcuColumn: return amount(line->ncu);
    case CurrColumn: return amount(line->curr);
    default: return {};
    }
}

bool TPayBillLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString typed = value.toString();
    // Passing through a cell changes nothing: an untouched amount must not
    // convert the other one.
    if (typed == data(index, Qt::EditRole).toString())
        return true;
    std::optional<double> number = 0.0;
    if (!typed.trimmed().isEmpty()) {
        number = korvex::amount::parseNumber(typed);
        if (!number) {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
    }
    if (index.column() == NcuColumn)
        setNcu(index.row(), *number);
    else
        setCurr(index.row(), *number);
    return true;
}

Qt::ItemFlags TPayBillLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxFieldTableModel::flags(index);
    if (index.column() != NcuColumn && index.column() != CurrColumn)
        f &= ~Qt::ItemIsEditable;
    return f;
}

} // namespace korvex::billing
