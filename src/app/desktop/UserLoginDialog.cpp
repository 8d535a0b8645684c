#include "UserLoginDialog.h"

#include "shell/UserLogin.h"
#include "db/xDbError.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include "widgets/ui/xMessages.h"
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

namespace korvex::shell {

TUserLoginDialog::TUserLoginDialog(TUserLogin &login, QWidget *parent)
    : QDialog(parent)
    , m_login(login)
{
    setWindowTitle(tr("Вход в систему"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr(" Введите пользователя и пароль"), this));

    auto *form = new QFormLayout;
    m_subSystem = new QLineEdit(this);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Подсистема:"), m_subSystem);
    form->addRow(tr("Пользователь:"), m_user);
    form->addRow(tr("Пароль:"), m_password);
    layout->addLayout(form);

    m_showParams = new QCheckBox(tr("Показать параметры входа"), this);
    layout->addWidget(m_showParams);

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(tr("&Отмена"), this);
    m_params = new QPushButton(tr("&Параметры"), this);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_params);
    layout->addLayout(buttons);

    QSettings settings;
    settings.beginGroup(QStringLiteral("Login"));
    m_subSystem->setText(settings.value(QStringLiteral("SubSystem")).toString());
    m_user->setText(settings.value(QStringLiteral("User")).toString());
    settings.endGroup();

    connect(m_subSystem, &QLineEdit::textChanged, this, &TUserLoginDialog::updateOk);
    connect(m_user, &QLineEdit::textChanged, this, &TUserLoginDialog::updateOk);
    connect(m_ok, &QPushButton::clicked, this, &TUserLoginDialog::tryAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_openFile = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    connect(m_params, &QPushButton::clicked, this, &TUserLoginDialog::editParams);
    connect(this, &QDialog::finished, this, [this] {
        QSettings s;
        s.beginGroup(QStringLiteral("Login"));
        s.setValue(QStringLiteral("SubSystem"), m_subSystem->text());
        s.setValue(QStringLiteral("User"), m_user->text());
    });

    updateOk();
    m_password->setFocus();
}

bool TUserLoginDialog::showParams() const
{
    return m_showParams->isChecked();
}

QString TUserLoginDialog::resultMessage(int result)
{
    switch (result) {
    case TUserLogin::UnknownSubSystem: return tr("Неверно введена подсистема.");
    case TUserLogin::UnknownUser: return tr("Неверно введен пользователь.");
    case TUserLogin::WrongPassword: return tr("Неверно введен пароль.");
    case TUserLogin::NoRight: return tr("У указанного пользователя нет права на вход в подсистему.");
    default: return QString();
    }
}

void TUserLoginDialog::editParams()
{
    // On a new installation there is no file yet: it starts as the defaults.
    QString path;
    try {
        path = m_login.ensureParamsFile();
    } catch (const korvex::db::EDatabaseError &e) {
        korvex::widgets::TxMessages::error(this, e.message(), windowTitle());
        return;
    }
    m_openFile(QUrl::fromLocalFile(path));
}

void TUserLoginDialog::updateOk()
{
    m_ok->setEnabled(!m_user->text().isEmpty() && !m_subSystem->text().isEmpty());
}

void TUserLoginDialog::tryAccept()
{
    if (!m_ok->isEnabled())
        return;
    int result = 0;
    try {
        result = m_login.tryLogin(m_subSystem->text(), m_user->text(), m_password->text());
    } catch (const korvex::db::EDatabaseError &e) {
        korvex::widgets::TxMessages::error(this, e.message(), windowTitle());
        return;
    }
    if (result == TUserLogin::Accepted) {
        accept();
        return;
    }
    const QString message = resultMessage(result);
    if (message.isEmpty())
        return;
    korvex::widgets::TxMessages::warning(this, message, windowTitle());
    switch (result) {
    case TUserLogin::UnknownSubSystem:
    case TUserLogin::NoRight:
        m_subSystem->setFocus();
        m_subSystem->selectAll();
        break;
    case TUserLogin::UnknownUser:
        m_user->setFocus();
        m_user->selectAll();
        break;
    case TUserLogin::WrongPassword:
        m_password->setFocus();
        m_password->selectAll();
        break;
    }
}

} // namespace korvex::shell
