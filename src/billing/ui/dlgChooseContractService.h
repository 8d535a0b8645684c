#pragma once

#include "billing/boRentContract.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace korvex::widgets {
class TxCheckedQueryModel;
class TxDBGrid;
class TxLookupBox;
}

namespace korvex::billing {

// "Выбор услуг": the positions of a customer's contracts (of one contract,
// or of all), up to a service priority, ticked for a document. "Активные
// договора" keeps to open contracts while ticked. On "Ок" the ticked
// positions go into the choice in the order they were ticked.
class TdlgChooseContractService : public QDialog
{
    Q_OBJECT
public:
    TdlgChooseContractService(TboRentContract &bo, TContractServiceChoice &choice, QWidget *parent = nullptr);
    ~TdlgChooseContractService() override;

    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }
    QCheckBox *allContractsBox() const { return m_allContracts; }
    QCheckBox *openOnlyBox() const { return m_openOnly; }
    QLineEdit *priorityEdit() const { return m_priority; }
    korvex::widgets::TxCheckedQueryModel *model() const { return m_model; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }

    // "Выделить все" and "Снять выделение".
    void checkAll();
    void clearChecks();

private:
    void reloadContracts();
    void reloadPositions();
    korvex::widgets::TxSqlFilter statement() const;

    TboRentContract &m_bo;
    TContractServiceChoice &m_choice;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxLookupBox *m_contract;
    QCheckBox *m_allContracts;
    QCheckBox *m_openOnly;
    QLineEdit *m_priority;
    korvex::widgets::TxCheckedQueryModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
};

} // namespace korvex::billing
