#pragma once

#include <QDialog>
#include <QSet>
#include <QSqlTableModel>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::customers {

// The tenants (customers that are not banks) by name, editable, with a check
// box on every name for choosing customers.
class TCheckedCustomerModel : public QSqlTableModel
{
    Q_OBJECT
public:
    TCheckedCustomerModel(korvex::db::TxDatabase &db, QObject *parent = nullptr);

    QList<int> checkedKeys() const;
    void clearChecks();
    int keyAt(int row) const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int m_nameColumn = -1;
    int m_keyColumn = -1;
    QSet<int> m_checked;
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
    // Saves the edits in one transaction; false (with the message shown)
    // when the database refused them.
    bool saveEdits();

private:
    korvex::db::TxDatabase &m_db;
    TCheckedCustomerModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
};

} // namespace korvex::customers
