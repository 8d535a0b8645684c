#include "uiCommon.h"

#include "db/xDbError.h"
#include "widgets/ui/xMessages.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace korvex::customers {

QLabel *addHeading(QBoxLayout *layout, const QString &text)
{
    auto *heading = new QLabel(text);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    layout->addWidget(heading);
    return heading;
}

QHBoxLayout *confirmRow(QDialog *dialog, const QString &okText, const QString &cancelText,
                        const std::function<bool()> &onOk)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *ok = new QPushButton(okText, dialog);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(cancelText, dialog);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, onOk] {
        if (!onOk || onOk())
            dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

} // namespace korvex::customers
