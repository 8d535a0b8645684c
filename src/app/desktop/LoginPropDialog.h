#pragma once

#include <QDialog>

namespace korvex::shell {

class TUserLogin;

// "Параметры подключения к базе данных": who is logged in, with which rights,
// since when, and the connection's parameters.
class TLoginPropDialog : public QDialog
{
    Q_OBJECT
public:
    TLoginPropDialog(const TUserLogin &login, const QString &versionString, QWidget *parent = nullptr);

    // The filled label templates, in the order shown.
    static QStringList lines(const TUserLogin &login, const QString &versionString);
};

// The start-up picture: borderless, centred, on top, gone after 3 seconds.
void showSplash();

} // namespace korvex::shell
