#pragma once

#include <QDialog>

class QLineEdit;
class QCheckBox;
class QPushButton;

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
    bool showParams() const;

    // The message for a login procedure result; empty for success and for
    // codes without a message.
    static QString resultMessage(int result);

private Q_SLOTS:
    void updateOk();
    void tryAccept();

private:
    TUserLogin &m_login;
    QLineEdit *m_subSystem;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_showParams;
    QPushButton *m_ok;
};

} // namespace korvex::shell
