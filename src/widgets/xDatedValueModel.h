#pragma once

#include "xFieldTableModel.h"

#include <QDate>
#include <optional>

namespace korvex::widgets {

// One dated value of an owner row (a service's prices, a contract
// position's meter readings).
struct TxDatedValue {
    int id = 0;  // 0: not stored yet
    int ownerKey = 0;
    QDate date;
    std::optional<double> value;
};

// The dated values of one owner, typed in place: a stored row is written as
// soon as a cell of it changes; a new row is written once it has a value (a
// dated row without one would read as no value from that day on). After
// every write the rows are read again, in date order, once the editor has
// closed. Two fields: the date and the value, named by the subclass.
class TxDatedValueModel : public TxRecordTableModel<TxDatedValue>
{
    Q_OBJECT
public:
    enum Column { DateColumn, ValueColumn };

    TxDatedValueModel(const QString &dateField, const QString &valueField, QObject *parent = nullptr);

    // Reads the rows of the owner (0: none); pending rows are dropped.
    // Throws EDatabaseError and then keeps what it had.
    void load(int ownerKey);
    void reload() { load(m_ownerKey); }
    int ownerKey() const { return m_ownerKey; }
    // A new row without a value, dated by newRowDate(); -1 when no owner
    // is shown.
    int appendRow();
    std::optional<int> idAt(int row) const;
    // Row of a stored value, -1 when absent.
    int rowOf(int id) const;
    // The listed values added up.
    double total() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // A typed value was not stored; the cell keeps its value.
    void cellRefused(const QString &message);
    // A row was stored (id: its key).
    void rowStored(int id);

protected:
    virtual QList<TxDatedValue> readRows(int ownerKey) = 0;
    // Inserts (id 0, which then receives the key) or updates the row.
    virtual void writeRow(TxDatedValue &row) = 0;
    // The date of a new row: today unless the owner says otherwise.
    virtual QDate newRowDate() const { return QDate::currentDate(); }
    // The date of the last row written since the model was made (invalid
    // before any).
    QDate lastWrittenDate() const { return m_lastWritten; }

private:
    int m_ownerKey = 0;
    QDate m_lastWritten;
};

} // namespace korvex::widgets
