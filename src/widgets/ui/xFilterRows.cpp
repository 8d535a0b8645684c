#include "xFilterRows.h"

#include "xCheckedEdit.h"
#include "xLookupBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace korvex::widgets {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TxFilterRows", text);
}

TxCheckedEdit *dateField(const QString &name, const QDate &date, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Date, parent);
    e->setObjectName(name);
    e->setEmptyAllowed(false);
    e->setDateValue(date.isValid() ? date : QDate::currentDate());
    return e;
}

} // namespace

TxPeriodRow addPeriodRow(QWidget *dialog, QBoxLayout *layout, const QString &title, const QString &name,
                         const QDate &start, const QDate &end, bool unlimited)
{
    auto *box = new QGroupBox(title, dialog);
    auto *row = new QHBoxLayout(box);
    TxPeriodRow r{dateField(name + QStringLiteral("From"), start, box), dateField(name + QStringLiteral("To"), end, box),
                  new QCheckBox(tr("Неограниченный период"), box)};
    r.unlimited->setObjectName(name + QStringLiteral("Unlimited"));
    r.unlimited->setChecked(unlimited);
    row->addWidget(new QLabel(tr("с"), box));
    row->addWidget(r.from);
    row->addWidget(new QLabel(tr("по"), box));
    row->addWidget(r.to);
    row->addWidget(r.unlimited);
    layout->addWidget(box);
    return r;
}

QCheckBox *addChoiceRow(QWidget *dialog, QBoxLayout *layout, const QString &title, TxLookupBox *box,
                        const QString &allText, const QString &allName, bool all, int key)
{
    auto *group = new QGroupBox(title, dialog);
    auto *row = new QHBoxLayout(group);
    box->setParent(group);
    if (key > 0)
        box->setKey(key);
    auto *allBox = new QCheckBox(allText, group);
    allBox->setObjectName(allName);
    allBox->setChecked(all);
    row->addWidget(box, 1);
    row->addWidget(allBox);
    layout->addWidget(group);
    return allBox;
}

} // namespace korvex::widgets
