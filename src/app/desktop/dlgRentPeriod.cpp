#include "dlgRentPeriod.h"

#include "db/xBusinessError.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex::shell {

TdlgRentPeriod::TdlgRentPeriod(TmmOptions &options, QWidget *parent)
    : QDialog(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("dlgRentPeriod"));
    setWindowTitle(tr("Период"));
    const TPeriodSettings stored = TPeriodSettings::read(options);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(tr("Удалить все операции по аренде за указанный период. Если хотите удалить все операции "
                               "укажите это."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_begin = korvex::widgets::newDateEdit(stored.Begin, QStringLiteral("BeginDate"), this);
    m_end = korvex::widgets::newDateEdit(stored.End, QStringLiteral("EndDate"), this);
    m_all = new QCheckBox(tr("Удалить все операции"), this);
    m_all->setObjectName(QStringLiteral("AllOperations"));
    m_all->setChecked(stored.All);
    auto *form = new QFormLayout;
    form->addRow(tr("с"), m_begin);
    form->addRow(tr("по"), m_end);
    form->addRow(QString(), m_all);
    layout->addLayout(form);
    // The dates do not matter when every operation goes.
    auto follow = [this] {
        m_begin->setEnabled(!m_all->isChecked());
        m_end->setEnabled(!m_all->isChecked());
    };
    connect(m_all, &QCheckBox::toggled, this, follow);
    follow();
    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
        return korvex::widgets::guarded(this, [this] {
            const TPeriodSettings p = period();
            if (!p.All && p.Begin > p.End)
                throw korvex::db::EBusinessError(tr("Начало периода позже его окончания."));
            p.write(m_options);
        });
    }).layout);
}

TPeriodSettings TdlgRentPeriod::period() const
{
    TPeriodSettings p;
    p.Begin = m_begin->date();
    p.End = m_end->date();
    p.All = m_all->isChecked();
    return p;
}

} // namespace korvex::shell
