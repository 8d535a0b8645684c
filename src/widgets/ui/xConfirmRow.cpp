#include "xConfirmRow.h"

#include "xDialogFields.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace korvex::widgets {

TxConfirmRow confirmRow(QDialog *dialog, const QString &okText, const QString &cancelText,
                        const std::function<bool()> &onOk)
{
    TxConfirmRow row;
    row.layout = new QHBoxLayout;
    row.layout->addStretch();
    row.ok = new QPushButton(okText, dialog);
    row.ok->setObjectName(QStringLiteral("ok"));
    row.ok->setDefault(true);
    row.cancel = new QPushButton(cancelText, dialog);
    row.cancel->setObjectName(QStringLiteral("cancel"));
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.cancel);
    QObject::connect(row.ok, &QPushButton::clicked, dialog, [dialog, onOk] {
        if (!onOk || onOk())
            dialog->accept();
    });
    QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    // Built before or after the fields, the dialog opens with the cursor in
    // its first field or list.
    focusFirstFieldOnShow(dialog, {row.ok, row.cancel});
    return row;
}

TxConfirmRow confirmRow(QDialog *dialog, const std::function<bool()> &onOk)
{
    return confirmRow(dialog, QCoreApplication::translate("TxConfirmRow", "Ок"),
                      QCoreApplication::translate("TxConfirmRow", "Отмена"), onOk);
}

} // namespace korvex::widgets
