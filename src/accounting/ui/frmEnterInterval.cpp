#include "frmEnterInterval.h"

#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QVBoxLayout>

namespace korvex::accounting {

TfrmEnterInterval::TfrmEnterInterval(korvex::shell::TmmOptions &options, QWidget *parent)
    : QDialog(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmEnterInterval"));
    setWindowTitle(tr("Установка периода"));
    const QDate today = QDate::currentDate();
    m_begin = korvex::widgets::newDateEdit(options.dateOption(QStringLiteral("enterintervaldatebegin"), today), QStringLiteral("DateBegin"), this);
    m_end = korvex::widgets::newDateEdit(options.dateOption(QStringLiteral("enterintervaldateend"), today), QStringLiteral("DateEnd"), this);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Дата начала"), m_begin);
    form->addRow(tr("Дата окончания"), m_end);
    layout->addLayout(form);
    layout->addLayout(korvex::widgets::confirmRow(this).layout);
}

QDate TfrmEnterInterval::DateBegin() const
{
    return m_begin->date();
}

QDate TfrmEnterInterval::DateEnd() const
{
    return m_end->date();
}

void TfrmEnterInterval::done(int result)
{
    korvex::widgets::guarded(this, [this] {
        m_options.SetDateOption(QStringLiteral("enterintervaldatebegin"), false, DateBegin());
        m_options.SetDateOption(QStringLiteral("enterintervaldateend"), false, DateEnd());
    });
    QDialog::done(result);
}

} // namespace korvex::accounting
