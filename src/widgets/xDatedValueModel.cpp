#include "xDatedValueModel.h"

#include "amount/xAmount.h"
#include "db/xDbError.h"

#include <QMetaObject>

namespace korvex::widgets {

using korvex::db::EDatabaseError;

namespace {

// Every digit, decimal comma: a number as it is typed.
QString numberText(double v)
{
    return QString::number(v, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

TxDatedValueModel::TxDatedValueModel(const QString &dateField, const QString &valueField, QObject *parent)
    : TxRecordTableModel({dateField, valueField}, parent)
{
}

void TxDatedValueModel::load(int ownerKey)
{
    QList<TxDatedValue> rows;
    if (ownerKey > 0)
        rows = readRows(ownerKey);
    m_ownerKey = ownerKey;
    setRecords(rows);
}

int TxDatedValueModel::appendRow()
{
    if (m_ownerKey <= 0)
        return -1;
    return appendRecord({0, m_ownerKey, newRowDate(), std::nullopt});
}

std::optional<int> TxDatedValueModel::idAt(int row) const
{
    if (row < 0 || row >= m_records.size() || m_records.at(row).id == 0)
        return std::nullopt;
    return m_records.at(row).id;
}

int TxDatedValueModel::rowOf(int id) const
{
    for (int row = 0; row < m_records.size(); ++row)
        if (m_records.at(row).id == id)
            return row;
    return -1;
}

double TxDatedValueModel::total() const
{
    double sum = 0;
    for (const TxDatedValue &r : m_records)
        sum += r.value.value_or(0);
    return sum;
}

QVariant TxDatedValueModel::data(const QModelIndex &index, int role) const
{
    const TxDatedValue *record = recordAt(index);
    if (!record)
        return {};
    const TxDatedValue &r = *record;
    if (index.column() == DateColumn) {
        if (role == Qt::DisplayRole)
            return r.date.toString(QStringLiteral("dd.MM.yyyy"));
        if (role == Qt::EditRole)
            return r.date;  // edited with a date editor
        return {};
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return r.value ? QVariant(numberText(*r.value)) : QVariant(QString());
    return {};
}

bool TxDatedValueModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index))
        return false;
    TxDatedValue r = m_records.at(index.row());
    if (index.column() == DateColumn) {
        const QDate date = value.toDate();
        if (!date.isValid()) {
            Q_EMIT cellRefused(tr("Введите дату"));
            return false;
        }
        if (date == r.date)
            return true;
        r.date = date;
    } else {
        const std::optional<double> number = korvex::amount::parseNumber(value.toString());
        if (!number) {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
        if (r.value && *r.value == *number)
            return true;  // passing through the cell stores nothing
        r.value = number;
    }
    if (r.id != 0 || r.value) {
        try {
            writeRow(r);
        } catch (const EDatabaseError &e) {
            Q_EMIT cellRefused(e.message());
            return false;
        }
        m_lastWritten = r.date;
    }
    m_records[index.row()] = r;
    Q_EMIT dataChanged(index, index);
    if (r.id != 0) {
        const int id = r.id;
        // Read again once the editor has closed, in date order.
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                try {
                    reload();
                    Q_EMIT rowStored(id);
                } catch (const EDatabaseError &e) {
                    Q_EMIT cellRefused(e.message());
                }
            },
            Qt::QueuedConnection);
    }
    return true;
}

} // namespace korvex::widgets
