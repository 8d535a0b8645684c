#pragma once

#include "customers/boCustomer.h"
#include "widgets/xFieldTableModel.h"

#include <QDialog>
#include <QSet>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::customers {

// The tenants (customers that are not banks) by name as pending rows, their
// texts typed in place, with a check box on every name for choosing
// customers. Fields as stored: name, fullname, code, phone, ..., disabled.
class TCheckedCustomerModel : public korvex::widgets::TxRecordTableModel<TCustomerRecord>
{
    Q_OBJECT
public:
    explicit TCheckedCustomerModel(QObject *parent = nullptr);

    // The column of a field; -1 when there is none.
    int fieldIndex(const QString &field) const { return int(fields().indexOf(field)); }
    QList<int> checkedKeys() const;
    void clearChecks();
    int keyAt(int row) const;
    // The rows typed into since they were read.
    QList<TCustomerRecord> changedRecords() const;
    void setRecordsUnchanged(const QList<TCustomerRecord> &records);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void cellRefused(const QString &message);

private:
    QSet<int> m_checked;
    QSet<int> m_changed;  // keys
};

// "Клиенты": the customer list with attributes, opened from the contracts
// page. "Аттрибуты" gives the checked customers (or the current one) their
// attributes; "Ок" saves the edits of the list.
class TdlgCustomerList : public QDialog
{
    Q_OBJECT
public:
    TdlgCustomerList(korvex::db::TxDatabase &db, QWidget *parent = nullptr);

    TCheckedCustomerModel *model() const { return m_model; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }
    void editAttributes();
    // Saves the edits in one write scope; false (with the message shown)
    // when the database refused them.
    bool saveEdits();

private:
    korvex::db::TxDatabase &m_db;
    TCheckedCustomerModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
};

} // namespace korvex::customers
