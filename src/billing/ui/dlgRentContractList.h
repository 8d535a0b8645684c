#pragma once

#include "billing/boRentContract.h"

#include <QDialog>
#include <QSet>

namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::billing {

// The open contracts as the quick list edits them in place: number, name
// and the three dates; rows are neither added nor deleted. Fields
// CUSTOMERCAL, NUMBER, NAME, SIGNDATE, EXPRIREDATE, ACTIONDATE.
class TContractListModel : public korvex::widgets::TxRecordTableModel<TContractListRow>
{
    Q_OBJECT
public:
    enum Column { CustomerColumn, NumberColumn, NameColumn, SignColumn, ExpireColumn, ActionColumn };

    explicit TContractListModel(QObject *parent = nullptr);

    // The rows typed into since they were read.
    QList<TContractListRow> changedRows() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void cellRefused(const QString &message);

private:
    QSet<int> m_changed;  // contract keys
};

// "Договора": the open contracts with their customers, edited in place; "Ок"
// writes every edited row in one transaction, "Отмена" forgets the edits.
class TdlgRentContractList : public QDialog
{
    Q_OBJECT
public:
    TdlgRentContractList(TboRentContract &bo, QWidget *parent = nullptr);
    ~TdlgRentContractList() override;

    TContractListModel *model() const { return m_model; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }
    // Writes the edits; false (with the message shown) when they were refused.
    bool saveEdits();
    int savedCount() const { return m_saved; }

private:
    TboRentContract &m_bo;
    TContractListModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
    int m_saved = 0;
};

} // namespace korvex::billing
