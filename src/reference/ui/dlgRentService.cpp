#include "dlgRentService.h"

#include "referenceLookups.h"

#include "db/xDbError.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace korvex::reference {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxTreeModel;

// --- TdlgRentService ----------------------------------------------------------------------

TdlgRentService::TdlgRentService(TboRentService &bo, const TServiceRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentService"));
    setRecordKey(record.id);
    setWindowTitle(tr("Услуга"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_priority = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
    m_priority->setObjectName(QStringLiteral("priority"));
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Приоритет"), m_priority);
    for (int i = 0; i < 3; ++i) {
        m_description[i] = new QLineEdit(this);
        m_description[i]->setObjectName(QStringLiteral("description%1").arg(i + 1));
        m_description[i]->setMaxLength(254);
        form->addRow(tr("Описание %1").arg(i + 1), m_description[i]);
    }
    m_mainService = newServiceBox(bo.context().db, QStringLiteral("mainservice"), this);
    form->addRow(tr("Главная услуга"), m_mainService);

    auto *kind = new QWidget(this);
    auto *kindLayout = new QHBoxLayout(kind);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    m_currency = new QRadioButton(tr("Валютная"), kind);
    m_currency->setObjectName(QStringLiteral("currservice"));
    m_ncu = new QRadioButton(tr("Рублевая"), kind);
    m_ncu->setObjectName(QStringLiteral("ncuservice"));
    kindLayout->addWidget(m_currency);
    kindLayout->addWidget(m_ncu);
    kindLayout->addStretch();
    form->addRow(kind);
    // A service's prices, contracts and debts are kept in its kind of money.
    kind->setEnabled(isNew);

    m_printService = new QCheckBox(tr("Печатать услугу в договоре"), this);
    m_printService->setObjectName(QStringLiteral("printservice"));
    m_rejectDebt = new QCheckBox(tr("Списывать данную услугу только по долгу"), this);
    m_rejectDebt->setObjectName(QStringLiteral("rejectdebt"));
    form->addRow(m_printService);
    form->addRow(m_rejectDebt);

    auto *period = new QGroupBox(tr("Период действия"), this);
    auto *periodLayout = new QHBoxLayout(period);
    m_startDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, period);
    m_startDate->setObjectName(QStringLiteral("startdate"));
    m_endDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, period);
    m_endDate->setObjectName(QStringLiteral("enddate"));
    periodLayout->addWidget(new QLabel(tr("с"), period));
    periodLayout->addWidget(m_startDate);
    periodLayout->addWidget(new QLabel(tr("по"), period));
    periodLayout->addWidget(m_endDate);
    contentLayout()->addWidget(period);

    m_operations = new QPushButton(tr("Операции"), this);
    m_operations->setObjectName(QStringLiteral("operations"));
    buttonLayout()->insertWidget(0, m_operations);
    connect(m_operations, &QPushButton::clicked, this, &TdlgRentService::openOperations);

    setNextEnabled(isNew);
    addRequired(m_startDate, tr("Введите дату"), [this] { return m_startDate->dateValue().has_value(); });
    addRequired(m_endDate, tr("Введите дату"), [this] { return m_endDate->dateValue().has_value(); });
    display(m_record);
}

TdlgRentService::~TdlgRentService() = default;

void TdlgRentService::display(const TServiceRecord &r)
{
    m_name->setText(r.name);
    if (r.priority)
        m_priority->setIntValue(*r.priority);
    else
        m_priority->clear();
    m_description[0]->setText(r.description1);
    m_description[1]->setText(r.description2);
    m_description[2]->setText(r.description3);
    m_mainService->setKey(r.mainService ? QVariant(*r.mainService) : QVariant());
    m_currency->setChecked(r.currService);
    m_ncu->setChecked(!r.currService);
    m_printService->setChecked(r.printService);
    m_rejectDebt->setChecked(r.rejectDebt);
    if (r.startDate.isValid())
        m_startDate->setDateValue(r.startDate);
    else
        m_startDate->clear();
    if (r.endDate.isValid())
        m_endDate->setDateValue(r.endDate);
    else
        m_endDate->clear();
    // Operation rows need the service's key.
    m_operations->setEnabled(r.id > 0);
}

int TdlgRentService::writeRecord()
{
    TServiceRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    r.priority = m_priority->intValue();
    r.description1 = m_description[0]->text().trimmed();
    r.description2 = m_description[1]->text().trimmed();
    r.description3 = m_description[2]->text().trimmed();
    r.mainService = m_mainService->intKey();
    r.currService = m_currency->isChecked();
    r.printService = m_printService->isChecked();
    r.rejectDebt = m_rejectDebt->isChecked();
    r.startDate = m_startDate->dateValue().value_or(QDate());
    r.endDate = m_endDate->dateValue().value_or(QDate());
    m_bo.writeService(r);
    return r.id;
}

void TdlgRentService::afterSave()
{
    m_operations->setEnabled(true);
    m_mainService->reload();
}

void TdlgRentService::startNextRecord()
{
    m_record = m_bo.newRecord(m_record.parent, QString());
    display(m_record);
    m_name->setFocus();
}

void TdlgRentService::openOperations()
{
    if (recordKey() <= 0)
        return;
    guarded(this, [this] {
        TdlgServiceOperation dlg(m_bo, recordKey(), this);
        dlg.exec();
    });
}

// --- TdlgServiceOperation ---------------------------------------------------------------------

TdlgServiceOperation::TdlgServiceOperation(TboRentService &bo, int serviceKey, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_serviceKey(serviceKey)
{
    setObjectName(QStringLiteral("dlgServiceOperation"));
    setWindowTitle(tr("Операции"));
    m_rows = new TServiceOperationModel(this);
    m_rows->setRecords(bo.readOperations(serviceKey));
    m_grid = new TxDBGrid(this);
    m_grid->setObjectName(QStringLiteral("OperationGrid"));
    m_grid->setSortingByTitle(false);
    m_grid->setModel(m_rows);
    m_grid->setReadOnly(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setFieldTitle(QStringLiteral("RENTOPERATION"), tr("Операция в аренде"));
    m_grid->setFieldTitle(QStringLiteral("TYPECUSTOMER"), tr("Тип клиента"));
    m_grid->setFieldTitle(QStringLiteral("OPERATIONNAME"), tr("Операция / Тип клиента"));
    m_grid->setFieldTitle(QStringLiteral("OPERATIONKEY"), tr("Код операции"));
    m_grid->setFieldWidth(QStringLiteral("RENTOPERATION"), 140);
    m_grid->setFieldWidth(QStringLiteral("TYPECUSTOMER"), 90);
    m_grid->setFieldWidth(QStringLiteral("OPERATIONNAME"), 380);
    m_grid->setFieldWidth(QStringLiteral("OPERATIONKEY"), 100);
    contentLayout()->addWidget(m_grid, 1);
    connect(m_rows, &TServiceOperationModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    auto *rowButtons = new QHBoxLayout;
    auto *add = new QPushButton(tr("Добавить"), this);
    add->setObjectName(QStringLiteral("addRow"));
    auto *remove = new QPushButton(tr("Удалить"), this);
    remove->setObjectName(QStringLiteral("removeRow"));
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch();
    contentLayout()->addLayout(rowButtons);
    auto addRow = [this] {
        const QModelIndex cell = m_rows->index(m_rows->appendRecord({}), TServiceOperationModel::RentOperationColumn);
        m_grid->setCurrentIndex(cell);
        m_grid->setFocus();
        m_grid->edit(cell);
    };
    auto removeRow = [this] {
        if (m_grid->currentIndex().isValid())
            m_rows->removeRecord(m_grid->currentIndex().row());
    };
    connect(add, &QPushButton::clicked, this, addRow);
    connect(remove, &QPushButton::clicked, this, removeRow);
    auto *insertKey = new QShortcut(QKeySequence(Qt::Key_Insert), m_grid);
    insertKey->setContext(Qt::WidgetShortcut);
    connect(insertKey, &QShortcut::activated, this, addRow);
    auto *deleteKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete), m_grid);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, removeRow);
    resize(760, 360);
}

TdlgServiceOperation::~TdlgServiceOperation() = default;

int TdlgServiceOperation::writeRecord()
{
    m_bo.writeOperations(m_serviceKey, m_rows->records());
    return m_serviceKey;
}

// --- TdlgRentChooseService ---------------------------------------------------------------------

TdlgRentChooseService::TdlgRentChooseService(TboRentService &bo, QList<int> &keys, QWidget *parent)
    : TdlgTreeChooser(bo.context().db, [&bo](TxTreeModel &model) { bo.setUpTree(model, true); }, parent)
    , m_keys(keys)
{
    setObjectName(QStringLiteral("dlgRentChooseService"));
    setWindowTitle(tr("Выбор услуг"));
    tree()->setObjectName(QStringLiteral("ServiceList"));
    tree()->setRootIsDecorated(false);
    addMarkButtons();
    setCurrentRequired(false);
    load(std::nullopt, keys);
}

TdlgRentChooseService::~TdlgRentChooseService() = default;

void TdlgRentChooseService::accept()
{
    m_keys = markedKeys();
    TdlgTreeChooser::accept();
}

} // namespace korvex::reference
