#include "dlgRentChooseVariable.h"

#include "calc/boRentReckoningType.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/xTreeModel.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxTreeModel;

TdlgRentChooseVariable::TdlgRentChooseVariable(korvex::db::TxDatabase &db, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRentChooseVariable"));
    setWindowTitle(tr("Выбор переменной"));
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_standard = new QListWidget(this);
    m_standard->setObjectName(QStringLiteral("StandardList"));
    for (const TBuiltInVariable &v : TboRentReckoningType::builtInVariables()) {
        auto *item = new QListWidgetItem(v.name + QStringLiteral(": ") + v.description, m_standard);
        item->setData(Qt::UserRole, v.name);
    }
    m_standard->setCurrentRow(0);
    m_tabs->addTab(m_standard, tr("Стандартные переменные"));
    connect(m_standard, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    m_userModel = new TxTreeModel(db, this);
    m_userModel->setQuery(QStringLiteral("SELECT id, parent, name, description FROM rent_variable ORDER BY name, id"));
    m_userModel->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_userModel->setFieldTitle(QStringLiteral("description"), tr("Описание"));
    m_userTree = new TxDBTreeView(this);
    m_userTree->setObjectName(QStringLiteral("UserTree"));
    m_userTree->setTreeModel(m_userModel);
    m_tabs->addTab(m_userTree, tr("Пользовательские переменные"));
    connect(m_userTree, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    if (m_userTree->reload()) {
        m_userTree->expandAll();
        m_userTree->setFieldWidth(QStringLiteral("name"), 180);
        m_userTree->setFieldWidth(QStringLiteral("description"), 240);
        if (const QList<qint64> top = m_userModel->childrenOf(std::nullopt); !top.isEmpty())
            m_userTree->setCurrentId(top.first());
    }
    // Showing a tab puts the focus on its list, so that "Ок" takes from it.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (QWidget *page = m_tabs->widget(index))
            page->setFocus(Qt::TabFocusReason);
    });
    layout->addWidget(m_tabs, 1);

    layout->addLayout(korvex::widgets::confirmRow(this).layout);
    resize(460, 420);
}

// "Ок" takes from the list shown: the focus may still be on its way to it
// when the window has only just been activated.
void TdlgRentChooseVariable::accept()
{
    if (m_userTree && m_tabs->currentIndex() == UserTab) {
        const std::optional<qint64> id = m_userTree->currentId();
        m_chosen = id ? m_userModel->value(*id, QStringLiteral("name")).toString().trimmed() : QString();
    } else {
        const QListWidgetItem *item = m_standard->currentItem();
        if (!item)
            return;
        m_chosen = item->data(Qt::UserRole).toString();
    }
    QDialog::accept();
}

} // namespace korvex::calc
