#pragma once

#include "db/xDatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace korvex::test {

// A real Firebird database in a temporary folder, built by the program's own
// schema code. The schema is built once per build into a template file and
// copied for every test database, which keeps the tests quick.
class TestDatabase
{
public:
    enum class Content { Schema, Demo };

    // Creates the database with the whole schema (and the demo data), opened
    // as SYSDBA on the embedded engine under the connection name given.
    explicit TestDatabase(Content content = Content::Schema,
                          const QString &connectionName = korvex::db::TxDatabase::defaultConnectionName());
    // Creates an empty database file (no schema) for tests of the schema code.
    static std::unique_ptr<TestDatabase> empty(const QString &connectionName = korvex::db::TxDatabase::defaultConnectionName());
    ~TestDatabase();

    korvex::db::TxDatabase &db() { return *m_db; }
    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Opens a second connection to the same file.
    std::unique_ptr<korvex::db::TxDatabase> connect(const QString &connectionName, const QString &user = QStringLiteral("SYSDBA"),
                                                    const QString &password = {}) const;

    // The folder for the test databases and templates.
    static QString tempRoot();

private:
    struct EmptyTag {};
    TestDatabase(EmptyTag, const QString &connectionName);
    static QString templateFile(Content content);

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<korvex::db::TxDatabase> m_db;
};

} // namespace korvex::test
