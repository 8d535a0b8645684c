#include "documentFiles.h"

#include "documents/ui/xRTFView.h"
#include "widgets/ui/xMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace korvex::billing {

using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("documentFiles", text);
}

} // namespace

bool openDocumentFile(QWidget *parent, const QString &fileName)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty()) {
        TxMessages::warning(parent, tr("Файл документа не указан"), TxPrompt::attentionBang());
        return false;
    }
    if (!QFileInfo(name).isFile()) {
        TxMessages::warning(parent, tr("Файл документа не найден: %1").arg(QDir::toNativeSeparators(name)),
                            TxPrompt::attentionBang());
        return false;
    }
    if (!korvex::documents::OpenInWord(name)) {
        TxMessages::warning(parent, tr("Нет программы, которая открыла бы файл %1").arg(QDir::toNativeSeparators(name)),
                            TxPrompt::attentionBang());
        return false;
    }
    return true;
}

void chooseDocumentFile(QWidget *parent, QLineEdit *field)
{
    const QString current = field->text().trimmed();
    const QString chosen = QFileDialog::getOpenFileName(parent, tr("Файл"), current, QStringLiteral("*.rtf"));
    if (!chosen.isEmpty())
        field->setText(QDir::toNativeSeparators(chosen));
}

} // namespace korvex::billing
