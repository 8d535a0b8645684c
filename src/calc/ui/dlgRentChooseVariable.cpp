#include "dlgRentChooseVariable.h"

#include "calc/boRentReckoning.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvex::calc {

TdlgRentChooseVariable::TdlgRentChooseVariable(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRentChooseVariable"));
    setWindowTitle(tr("Выбор переменной"));
    auto *layout = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    m_standard = new QListWidget(this);
    m_standard->setObjectName(QStringLiteral("StandardList"));
    for (const TBuiltInVariable &v : TboRentReckoning::builtInVariables()) {
        auto *item = new QListWidgetItem(v.name + QStringLiteral(": ") + v.description, m_standard);
        item->setData(Qt::UserRole, v.name);
    }
    m_standard->setCurrentRow(0);
    tabs->addTab(m_standard, tr("Стандартные переменные"));
    layout->addWidget(tabs, 1);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Ок"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_standard, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(460, 420);
}

void TdlgRentChooseVariable::accept()
{
    const QListWidgetItem *item = m_standard->currentItem();
    if (!item)
        return;
    m_chosen = item->data(Qt::UserRole).toString();
    QDialog::accept();
}

} // namespace korvex::calc
