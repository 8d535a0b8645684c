#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace korvex::widgets {

// THE row of the confirm and cancel buttons of a dialog that is no edit
// dialog (choosers, questions), pushed to the right: further buttons go in
// front of the stretch. The confirm button is the default and is named "ok";
// onOk decides whether the dialog closes (none: it closes). The dialog opens
// with the cursor in its first field or list (xDialogFields.h).
struct TxConfirmRow {
    QHBoxLayout *layout;
    QPushButton *ok;
    QPushButton *cancel;
};

TxConfirmRow confirmRow(QDialog *dialog, const QString &okText, const QString &cancelText,
                        const std::function<bool()> &onOk = {});
// "Ок" and "Отмена".
TxConfirmRow confirmRow(QDialog *dialog, const std::function<bool()> &onOk = {});

} // namespace korvex::widgets
