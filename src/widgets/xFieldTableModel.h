#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace korvex::widgets {

// The base of the in-memory tables a dialog edits as pending rows. Its
// columns are named fields, as in a query: the header's edit role gives the
// field name, so that TxDBGrid finds the columns by field, and the display
// role the title a grid gives it (the field name until then).
class TxFieldTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    TxFieldTableModel(const QStringList &fields, QObject *parent = nullptr);

    const QStringList &fields() const { return m_fields; }

    int columnCount(const QModelIndex &parent = {}) const override;
    // Every cell is typed into unless a model says otherwise.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;

private:
    QStringList m_fields;
    QStringList m_titles;
};

// A field table over a list of records, one row each.
template<class Record>
class TxRecordTableModel : public TxFieldTableModel
{
public:
    using TxFieldTableModel::TxFieldTableModel;

    const QList<Record> &records() const { return m_records; }
    void setRecords(const QList<Record> &records)
    {
        beginResetModel();
        m_records = records;
        endResetModel();
    }
    // Returns the new row.
    int appendRecord(const Record &record)
    {
        const int row = int(m_records.size());
        beginInsertRows({}, row, row);
        m_records.append(record);
        endInsertRows();
        return row;
    }
    void removeRecord(int row)
    {
        if (row < 0 || row >= m_records.size())
            return;
        beginRemoveRows({}, row, row);
        m_records.removeAt(row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_records.size()); }

protected:
    // The record of a valid index of this model; null otherwise.
    const Record *recordAt(const QModelIndex &index) const
    {
        return index.isValid() && index.row() < m_records.size() ? &m_records.at(index.row()) : nullptr;
    }

    QList<Record> m_records;
};

} // namespace korvex::widgets
