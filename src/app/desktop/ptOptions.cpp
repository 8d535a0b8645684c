#include "ptOptions.h"

#include "PageTable.h"

#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace korvex::shell {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxMessages;

TptOptions::TptOptions(TAppContext &context, QWidget *parent)
    : TLauncherPart(context, 100, parent)
{
    setTitles(QStringLiteral("ptOptions"), tr("Настройки"), tr("Настройки"));
    setSection(tr("Настройки"), tr("Настройки системы"));
    items()->setObjectName(QStringLiteral("OptionItems"));
    addPageItem(tr("Общие настройки"), QStyle::SP_ComputerIcon, 110, pageBuilt(110));
    addPageItem(tr("Настройки пользователя"), QStyle::SP_DirHomeIcon, 111, pageBuilt(111));
    addPageItem(tr("Переменные"), QStyle::SP_FileDialogListView, 120, pageBuilt(120));
    addPageItem(tr("Формулы"), QStyle::SP_FileDialogContentsView, 196, pageBuilt(196));
    addPageItem(tr("Визуальные настройки таблиц"), QStyle::SP_FileDialogDetailedView, 999, pageBuilt(999));
    // The exchange with the bookkeeping system has no windows yet.
    addItem(tr("Синхронизация клиентов из Бугалтерии"), QStyle::SP_ArrowDown, {});
    addItem(tr("Перенос клиентов в бухгалтерию"), QStyle::SP_ArrowUp, {});
    addPageItem(tr("SQL - запросы"), QStyle::SP_FileDialogInfoView, 123, pageBuilt(123));
    addItem(tr("Экспорт данных в бухгалтерию"), QStyle::SP_DialogSaveButton, {});
    addItem(tr("Перерасчет задолженностей"), QStyle::SP_BrowserReload, [this] { rebuildDebts(); });
    addItem(tr("Удаление операций за период"), QStyle::SP_TrashIcon, [this] { deleteOperations(); });
    finishItems(tr("Настройки"));
}

void TptOptions::rebuildDebts()
{
    if (!TxMessages::confirm(this, tr("Пересчитать задолженности всех клиентов по счетам и платежам?")))
        return;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        TboMaintenance(context().db).rebuildDebts();
    }
    TxMessages::information(this, tr("Задолженности пересчитаны."));
}

void TptOptions::deleteOperations()
{
    TdlgRentPeriod dialog(TboMaintenance::storedPeriod(context().options), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TboMaintenance::TPeriod period = dialog.period();
    TboMaintenance::storePeriod(context().options, period);
    TboMaintenance(context().db).deleteOperations(period);
    TxMessages::information(this, tr("Операции удалены."));
}

// ---------------------------------------------------------------------------

TdlgRentPeriod::TdlgRentPeriod(const TboMaintenance::TPeriod &period, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRentPeriod"));
    setWindowTitle(tr("Период"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(tr("Удалить все операции по аренде за указанный период. Если хотите удалить все операции "
                               "укажите это."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *form = new QFormLayout;
    m_begin = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_begin->setObjectName(QStringLiteral("begin"));
    m_end = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_end->setObjectName(QStringLiteral("end"));
    m_begin->setDateValue(period.begin);
    m_end->setDateValue(period.end);
    form->addRow(tr("с"), m_begin);
    form->addRow(tr("по"), m_end);
    layout->addLayout(form);
    m_all = new QCheckBox(tr("Удалить все операции"), this);
    m_all->setObjectName(QStringLiteral("all"));
    m_all->setChecked(period.all);
    layout->addWidget(m_all);
    layout->addLayout(korvex::widgets::confirmRow(this, [this] { return check(); }).layout);
    setMinimumWidth(360);
}

TboMaintenance::TPeriod TdlgRentPeriod::period() const
{
    TboMaintenance::TPeriod p;
    p.begin = m_begin->dateValue().value_or(QDate());
    p.end = m_end->dateValue().value_or(QDate());
    p.all = m_all->isChecked();
    return p;
}

bool TdlgRentPeriod::check()
{
    if (m_all->isChecked())
        return true;
    for (TxCheckedEdit *field : {m_begin, m_end}) {
        if (!field->dateValue()) {
            field->complain();
            return false;
        }
    }
    return true;
}

} // namespace korvex::shell
