#pragma once

#include "billing/boRentContract.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::billing {

// "Добавление услуг и объектов в договор": pairs of a service and an object
// (or none) gathered from the service tree and the object tree. An object
// in use by another open contract is refused. The pairs are read after "Ок".
class TdlgAddContractService : public QDialog
{
    Q_OBJECT
public:
    // edit: the contract the pairs are for (its own objects are free to it).
    TdlgAddContractService(TboRentContract &bo, const TContractEdit &edit, QWidget *parent = nullptr);
    ~TdlgAddContractService() override;

    const QList<TServiceObjectPair> &pairs() const { return m_pairs; }

    korvex::widgets::TxDBTreeView *serviceTree() const { return m_serviceTree; }
    korvex::widgets::TxDBTreeView *objectTree() const { return m_objectTree; }
    QTableWidget *pairList() const { return m_list; }

    // "Услуга без объекта", "Услуга  и объект", "Все услуги  и объект",
    // "Убрать из списка".
    void addServiceAlone();
    void addServiceWithObject();
    void addAllServicesWithObject();
    void removePair();

private:
    // The current object when it may be added; none (after the message)
    // otherwise.
    std::optional<TServiceObjectPair> currentObject();
    void append(const TServiceObjectPair &pair);

    TboRentContract &m_bo;
    const TContractEdit &m_edit;
    korvex::widgets::TxTreeModel *m_services;
    korvex::widgets::TxTreeModel *m_objects;
    korvex::widgets::TxDBTreeView *m_serviceTree;
    korvex::widgets::TxDBTreeView *m_objectTree;
    QTableWidget *m_list;
    QList<TServiceObjectPair> m_pairs;
};

} // namespace korvex::billing
