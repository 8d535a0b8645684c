#pragma once

#include <QList>
#include <QString>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

// Administration of the program's users and of the database accounts the
// login hands out. Passwords go to the server, which keeps only their hashes.
class TUserAdmin
{
public:
    explicit TUserAdmin(korvex::db::TxDatabase &db) : m_db(db) {}

    struct User {
        int key = 0;
        QString name;
        QString fullName;
        QString ibName;
        bool disabled = false;
        bool hasPassword = false;
        QList<int> rights;  // in subsystem 230
    };

    static constexpr int LeaseSubSystem = 230;
    static constexpr int DefaultIterations = 1000;

    // Adds a user with the given rights in the lease subsystem; returns the key.
    int addUser(const QString &name, const QString &fullName, const QList<int> &rights);
    void setPassword(const QString &name, const QString &password, int iterations = DefaultIterations);
    QList<User> users();
    // Records the password of a database account (creating the row when new)
    // and grants the account its rights.
    void setDbAccount(const QString &account, const QString &password);

private:
    int userKey(const QString &name);
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::shell
