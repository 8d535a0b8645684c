#pragma once

#include "reference/boRentService.h"
#include "widgets/ui/xEditDialog.h"
#include "widgets/ui/xTreeChooser.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvex::widgets {
class TxCheckedEdit;
class TxDBGrid;
class TxDBTreeView;
class TxLookupBox;
class TxTreeModel;
}

namespace korvex::reference {

// "Услуга": one service. Its NCU/currency switch is fixed once the service
// exists; "Операции" edits the service's operation rows.
class TdlgRentService : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentService(TboRentService &bo, const TServiceRecord &record, bool isNew, QWidget *parent = nullptr);
    ~TdlgRentService() override;

    QRadioButton *currencyButton() const { return m_currency; }
    QRadioButton *ncuButton() const { return m_ncu; }
    QPushButton *operationsButton() const { return m_operations; }

protected:
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    void display(const TServiceRecord &record);
    void openOperations();

    TboRentService &m_bo;
    TServiceRecord m_record;
    QLineEdit *m_name;
    korvex::widgets::TxCheckedEdit *m_priority;
    QLineEdit *m_description[3];
    korvex::widgets::TxLookupBox *m_mainService;
    QRadioButton *m_currency;
    QRadioButton *m_ncu;
    QCheckBox *m_printService;
    QCheckBox *m_rejectDebt;
    korvex::widgets::TxCheckedEdit *m_startDate;
    korvex::widgets::TxCheckedEdit *m_endDate;
    QPushButton *m_operations;
};

// "Операции": the operation rows of one service, pending until "Ок" stores
// them together.
class TdlgServiceOperation : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgServiceOperation(TboRentService &bo, int serviceKey, QWidget *parent = nullptr);
    ~TdlgServiceOperation() override;

    TServiceOperationModel *rows() const { return m_rows; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }

protected:
    int writeRecord() override;

private:
    TboRentService &m_bo;
    int m_serviceKey;
    TServiceOperationModel *m_rows;
    korvex::widgets::TxDBGrid *m_grid;
};

// "Выбор услуг": every service with a mark.
class TdlgRentChooseService : public korvex::widgets::TdlgTreeChooser
{
    Q_OBJECT
public:
    TdlgRentChooseService(TboRentService &bo, QList<int> &keys, QWidget *parent = nullptr);
    ~TdlgRentChooseService() override;

    void accept() override;

private:
    QList<int> &m_keys;
};

} // namespace korvex::reference
