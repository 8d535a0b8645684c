#include "dlgAddContractService.h"

#include "reference/boRentObject.h"
#include "reference/boRentService.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::guarded;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxMessages;
using korvex::widgets::TxTreeModel;

namespace {

// Every row of the tree, parents before their children.
void collect(const TxTreeModel &model, std::optional<qint64> parent, QList<qint64> &ids)
{
    for (qint64 id : model.childrenOf(parent)) {
        ids << id;
        collect(model, id, ids);
    }
}

QWidget *titled(const QString &title, QWidget *content, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(content, 1);
    return box;
}

} // namespace

TdlgAddContractService::TdlgAddContractService(TboRentContract &bo, const TContractEdit &edit, QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
    , m_edit(edit)
{
    setObjectName(QStringLiteral("dlgAddContractService"));
    setWindowTitle(tr("Добавление услуг и объектов в договор"));
    auto *layout = new QVBoxLayout(this);

    m_services = new TxTreeModel(bo.context().db, this);
    korvex::reference::TboRentService(bo.context()).setUpTree(*m_services, false);
    m_objects = new TxTreeModel(bo.context().db, this);
    korvex::reference::TboRentObject(bo.context()).setUpTree(*m_objects, true);
    m_objects->setMarkable(false);
    m_serviceTree = new TxDBTreeView(this);
    m_serviceTree->setObjectName(QStringLiteral("ServiceTree"));
    m_serviceTree->setTreeModel(m_services);
    m_objectTree = new TxDBTreeView(this);
    m_objectTree->setObjectName(QStringLiteral("ObjectTree"));
    m_objectTree->setTreeModel(m_objects);

    auto *trees = new QSplitter(Qt::Horizontal, this);
    trees->addWidget(titled(tr("Услуги"), m_serviceTree, trees));
    trees->addWidget(titled(tr("Объекты"), m_objectTree, trees));
    layout->addWidget(trees, 2);

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &text, const QString &name, void (TdlgAddContractService::*slot)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, slot] { guarded(this, [&] { (this->*slot)(); }); });
    };
    button(tr("Услуга без объекта"), QStringLiteral("serviceAlone"), &TdlgAddContractService::addServiceAlone);
    button(tr("Услуга  и объект"), QStringLiteral("serviceWithObject"), &TdlgAddContractService::addServiceWithObject);
    button(tr("Все услуги  и объект"), QStringLiteral("allServicesWithObject"),
           &TdlgAddContractService::addAllServicesWithObject);
    button(tr("Убрать из списка"), QStringLiteral("removePair"), &TdlgAddContractService::removePair);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_list = new QTableWidget(0, 2, this);
    m_list->setObjectName(QStringLiteral("PairList"));
    m_list->setHorizontalHeaderLabels({tr("Услуга"), tr("Объект")});
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 280);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    layout->addWidget(m_list, 1);

    layout->addLayout(korvex::widgets::confirmRow(this).layout);

    guarded(this, [&] {
        m_serviceTree->reload();
        m_objectTree->reload();
        m_serviceTree->setCurrentIndex(m_services->index(0, 0));
        m_objectTree->setCurrentIndex(m_objects->index(0, 0));
    });
    m_serviceTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_objectTree->setFieldWidth(QStringLiteral("name"), 200);
    m_objectTree->setFieldWidth(QStringLiteral("locationname"), 110);
    resize(760, 560);
}

TdlgAddContractService::~TdlgAddContractService() = default;

void TdlgAddContractService::append(const TServiceObjectPair &pair)
{
    m_pairs << pair;
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    m_list->setItem(row, 0, new QTableWidgetItem(pair.serviceName));
    m_list->setItem(row, 1, new QTableWidgetItem(pair.objectName));
    m_list->setCurrentCell(row, 0);
}

void TdlgAddContractService::addServiceAlone()
{
    const std::optional<qint64> service = m_serviceTree->currentId();
    if (!service)
        return;
    append({int(*service), std::nullopt, m_services->value(*service, QStringLiteral("name")).toString().trimmed(), {}});
}

std::optional<TServiceObjectPair> TdlgAddContractService::currentObject()
{
    const std::optional<qint64> object = m_objectTree->currentId();
    if (!object)
        return std::nullopt;
    if (!m_bo.objectAvailable(int(*object), m_edit)) {
        TxMessages::warning(this, tr("Данный объект выбрать нельзя, т.к. он уже где-то используется"),
                            korvex::widgets::TxPrompt::attentionBang());
        return std::nullopt;
    }
    TServiceObjectPair pair;
    pair.objectKey = int(*object);
    pair.objectName = m_objects->value(*object, QStringLiteral("name")).toString().trimmed();
    return pair;
}

void TdlgAddContractService::addServiceWithObject()
{
    const std::optional<qint64> service = m_serviceTree->currentId();
    if (!service)
        return;
    std::optional<TServiceObjectPair> pair = currentObject();
    if (!pair)
        return;
    pair->serviceKey = int(*service);
    pair->serviceName = m_services->value(*service, QStringLiteral("name")).toString().trimmed();
    append(*pair);
}

void TdlgAddContractService::addAllServicesWithObject()
{
    const std::optional<TServiceObjectPair> object = currentObject();
    if (!object)
        return;
    QList<qint64> services;
    collect(*m_services, std::nullopt, services);
    for (qint64 service : std::as_const(services)) {
        TServiceObjectPair pair = *object;
        pair.serviceKey = int(service);
        pair.serviceName = m_services->value(service, QStringLiteral("name")).toString().trimmed();
        append(pair);
    }
}

void TdlgAddContractService::removePair()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_pairs.size())
        return;
    m_pairs.removeAt(row);
    m_list->removeRow(row);
}

} // namespace korvex::billing
