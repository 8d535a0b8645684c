#pragma once

#include <QMainWindow>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

class TUserLogin;

// The main window "Аренда Корвекса".
class TAPPMAINFORM : public QMainWindow
{
    Q_OBJECT
public:
    TAPPMAINFORM(TUserLogin &login, korvex::db::TxDatabase &db, QWidget *parent = nullptr);

private:
    TUserLogin &m_login;
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::shell
