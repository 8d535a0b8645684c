#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QCheckBox;
class QPushButton;
class QUrl;

namespace korvex::shell {

class TUserLogin;

// "Вход в систему": asks for subsystem, user and password and runs the login
// procedure on "Ok" until it accepts or the user cancels.
class TUserLoginDialog : public QDialog
{
    Q_OBJECT
public:
    TUserLoginDialog(TUserLogin &login, QWidget *parent = nullptr);

    QLineEdit *subSystemEdit() const { return m_subSystem; }
    QLineEdit *userEdit() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *paramsButton() const { return m_params; }
    bool showParams() const;

    // How "&Параметры" opens the parameters file (the system's editor by
    // default; tests record the call instead).
    void setFileOpener(std::function<bool(const QUrl &)> opener) { m_openFile = std::move(opener); }

    // The message for a login procedure result; empty for success and for
    // codes without a message.
    static QString resultMessage(int result);

private Q_SLOTS:
    void updateOk();
    void tryAccept();
    void editParams();

private:
    TUserLogin &m_login;
    QLineEdit *m_subSystem;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_showParams;
    QPushButton *m_ok;
    QPushButton *m_params;
    std::function<bool(const QUrl &)> m_openFile;
};

} // namespace korvex::shell
