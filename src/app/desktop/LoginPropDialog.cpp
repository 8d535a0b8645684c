#include "LoginPropDialog.h"

#include "shell/UserLogin.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace korvex::shell {

QStringList TLoginPropDialog::lines(const TUserLogin &login, const QString &versionString)
{
    return {
        tr("Подсистема: (%1) %2").arg(login.SubSystemKey).arg(login.SubSystemName),
        tr("Пользователь: (%1) %2").arg(login.UserKey).arg(login.UserName),
        tr("Права: %1").arg(TUserLogin::rightsText(login.UserRights)),
        tr("Сессия: %1").arg(login.SessionKey),
        tr("Начало работы: %1, продолжительность: %2")
            .arg(login.StartTime.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), login.SessionDuration()),
        tr("Версия базы данных: %1").arg(versionString),
    };
}

TLoginPropDialog::TLoginPropDialog(const TUserLogin &login, const QString &versionString, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Параметры подключения к базе данных"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(tr(" Параметры падключэння да базы дадзеных"), this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    layout->addWidget(heading);
    for (const QString &line : lines(login, versionString))
        layout->addWidget(new QLabel(line, this));
    layout->addWidget(new QLabel(tr("Параметры подключения к базе данных:"), this));
    auto *params = new QListWidget(this);
    params->addItems(login.Params.lines());
    layout->addWidget(params, 1);
    auto *done = new QPushButton(tr("Готово"), this);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(done, 0, Qt::AlignRight);
    resize(520, 420);
}

void showSplash()
{
    QPixmap picture(480, 260);
    {
        QPainter p(&picture);
        QLinearGradient g(0, 0, 0, 260);
        g.setColorAt(0, QColor(0x2f, 0x4f, 0x7f));
        g.setColorAt(1, QColor(0x10, 0x20, 0x40));
        p.fillRect(picture.rect(), g);
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setPointSize(26);
        f.setBold(true);
        p.setFont(f);
        p.drawText(picture.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QObject::tr("Аренда Корвекса"));
        f.setPointSize(11);
        f.setBold(false);
        p.setFont(f);
        p.drawText(picture.rect().adjusted(0, 120, 0, 0), Qt::AlignCenter, QStringLiteral("Tarnwell Software"));
    }
    auto *splash = new QSplashScreen(picture, Qt::WindowStaysOnTopHint);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QTimer::singleShot(3000, splash, &QWidget::close);
}

} // namespace korvex::shell
