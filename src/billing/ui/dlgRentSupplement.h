#pragma once

#include "billing/boRentContract.h"
#include "widgets/ui/xEditDialog.h"

#include <functional>

class QLineEdit;

namespace korvex::widgets {
class TxCheckedEdit;
}

namespace korvex::billing {

// The supplementary documents of the contract being edited, as its dialog
// lists them. Fields NUMBER, SUPDATE, NAME, DESCRIPTION, FILENAME.
class TSupplementModel : public korvex::widgets::TxRecordTableModel<TSupplementRecord>
{
    Q_OBJECT
public:
    explicit TSupplementModel(QObject *parent = nullptr);

    void replaceRecord(int row, const TSupplementRecord &record);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
};

// "Сопутсвующий документ": one supplementary document of the contract being
// edited. "Ок" and "&Следующий" hand it to the contract dialog's list
// (store), which the contract's save writes.
class TdlgRentSupplement : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    using Store = std::function<void(const TSupplementRecord &)>;

    TdlgRentSupplement(korvex::db::TxDatabase &db, const TSupplementRecord &record, bool isNew, Store store,
                       QWidget *parent = nullptr);
    ~TdlgRentSupplement() override;

    QLineEdit *fileEdit() const { return m_file; }

protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    void display(const TSupplementRecord &record);

    TSupplementRecord m_record;
    Store m_store;
    QLineEdit *m_name;
    QLineEdit *m_file;
    QLineEdit *m_description;
    QLineEdit *m_number;
    korvex::widgets::TxCheckedEdit *m_date;
};

} // namespace korvex::billing
