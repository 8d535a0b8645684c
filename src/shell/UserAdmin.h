#pragma once

#include <QList>
#include <QString>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

// Administration of the program's users and of the database accounts the
// login hands out. Users, rights and passwords go through the server's
// user-administration procedures (the administrators' working account or
// the server's administrator may run them); a password reaches the server
// only as the key derived from it. The accounts are recorded directly, which
// only the server's administrator (or the database owner) may do.
class TUserAdmin
{
public:
    explicit TUserAdmin(korvex::db::TxDatabase &db) : m_db(db) {}

    struct User {
        int key = 0;
        QString name;
        QString fullName;
        bool disabled = false;
        bool hasPassword = false;
        QList<int> rights;  // in subsystem 230
    };

    static constexpr int LeaseSubSystem = 230;

    // Adds a user with the given rights in the lease subsystem; returns the key.
    int addUser(const QString &name, const QString &fullName, const QList<int> &rights);
    // Gives or takes one right of a user in the lease subsystem.
    void setRight(const QString &name, int right, bool holds);
    // A new password; the count is bounded by TPasswordKey's Min/MaxIterations.
    void setPassword(const QString &name, const QString &password, int iterations);
    void setPassword(const QString &name, const QString &password);
    QList<User> users();
    // Records the password of a database account (creating the row when new)
    // as the account for everyone or for user administrators, and grants the
    // accounts their rights; the account that held that role before is no
    // longer handed out and loses its rights. The server's administrator and
    // the start-up account are refused.
    void setDbAccount(const QString &account, const QString &password, bool forAdministrators = false);

private:
    int userKey(const QString &name);
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::shell
