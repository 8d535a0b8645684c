#include "testDatabase.h"

#include "db/xDbError.h"
#include "db/xFbCreate.h"
#include "db/xSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QTest>

namespace korvex::test {

using namespace korvex::db;

QString TestDatabase::tempRoot()
{
    QString root = qEnvironmentVariable("KORVEX_TEST_TMP");
    if (root.isEmpty())
        root = QDir::tempPath() + QStringLiteral("/korvex-tests");
    QDir().mkpath(root);
    return root;
}

static QByteArray schemaHash()
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    QStringList files;
    QDirIterator it(QStringLiteral(":/sql"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString &f : files) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly)) {
            h.addData(f.toUtf8());
            h.addData(file.readAll());
        }
    }
    return h.result().toHex().left(16);
}

QString TestDatabase::templateFile(Content content)
{
    const QString name = QStringLiteral("%1/template-%2-%3.fdb")
                             .arg(tempRoot(), QString::fromLatin1(schemaHash()),
                                  content == Content::Demo ? QStringLiteral("demo") : QStringLiteral("schema"));
    if (QFile::exists(name))
        return name;

    QLockFile lock(name + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    lock.lock();
    if (QFile::exists(name))
        return name;

    const QString building = name + QStringLiteral(".building.fdb");
    QFile::remove(building);
    TxConnectionParams::Target target;
    target.path = building;
    createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
    setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);
    {
        TxConnectionParams params;
        params.setServerName(building);
        TxDatabase db(QStringLiteral("template-builder"));
        db.open(params, QStringLiteral("SYSDBA"), QString());
        TxSchema::install(db);
        if (content == Content::Demo)
            TxSchema::loadDemo(db);
    }
    if (!QFile::rename(building, name))
        throw EDatabaseError(QStringLiteral("Cannot store the template database %1").arg(name));
    return name;
}

TestDatabase::TestDatabase(Content content, const QString &connectionName)
    : m_dir(tempRoot() + QStringLiteral("/db-XXXXXX"))
{
    m_path = m_dir.path() + QStringLiteral("/test.fdb");
    const QString source = templateFile(content);
    if (!QFile::copy(source, m_path))
        throw EDatabaseError(QStringLiteral("Cannot copy the template database to %1").arg(m_path));
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_db = connect(connectionName);
}

TestDatabase::TestDatabase(EmptyTag, const QString &connectionName)
    : m_dir(tempRoot() + QStringLiteral("/db-XXXXXX"))
{
    m_path = m_dir.path() + QStringLiteral("/test.fdb");
    TxConnectionParams::Target target;
    target.path = m_path;
    createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
    setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);
    m_db = connect(connectionName);
}

std::unique_ptr<TestDatabase> TestDatabase::empty(const QString &connectionName)
{
    return std::unique_ptr<TestDatabase>(new TestDatabase(EmptyTag{}, connectionName));
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
}

std::unique_ptr<TxDatabase> TestDatabase::connect(const QString &connectionName, const QString &user,
                                                  const QString &password) const
{
    TxConnectionParams params;
    params.setServerName(m_path);
    auto db = std::make_unique<TxDatabase>(connectionName);
    db->open(params, user, password);
    return db;
}

} // namespace korvex::test
