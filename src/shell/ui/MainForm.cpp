#include "MainForm.h"

#include "shell/UserLogin.h"

#include <QLabel>
#include <QVBoxLayout>

namespace korvex::shell {

TAPPMAINFORM::TAPPMAINFORM(TUserLogin &login, korvex::db::TxDatabase &db, QWidget *parent)
    : QMainWindow(parent)
    , m_login(login)
    , m_db(db)
{
    setWindowTitle(tr("Аренда Корвекса"));
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("WorkArea"));
    auto *layout = new QVBoxLayout(central);
    auto *title = new QLabel(tr("Аренда Корвекса"), central);
    QFont f = title->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(tr("Пользователь: %1").arg(m_login.UserName), central), 0, Qt::AlignHCenter);
    layout->addStretch();
    setCentralWidget(central);
    resize(1024, 700);
}

} // namespace korvex::shell
