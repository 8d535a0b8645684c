#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "shell/UserLogin.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QSignalSpy>
#include <QTest>

using namespace korvex::db;
using namespace korvex::shell;
using korvex::test::TestDatabase;

namespace {

QByteArray pbkdf2(const QByteArray &password, const QByteArray &salt, int iterations)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    mac.addData(salt + QByteArray::fromHex("00000001"));
    QByteArray u = mac.result();
    QByteArray acc = u;
    for (int i = 1; i < iterations; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (int k = 0; k < acc.size(); ++k)
            acc[k] = char(acc[k] ^ u[k]);
    }
    return acc;
}

// Users for the login tests; passwords with few iterations keep them quick.
void addUser(TxDatabase &db, int key, const QString &name, const QString &password, QList<int> rights,
             int disabled = 0)
{
    TxQuery::execute(db, QStringLiteral("INSERT INTO fin_user (userkey, name, ibname, disabled, peoplekey) "
                                        "VALUES (?, ?, 'KORVEX', ?, ?)"),
                     {key, name, disabled, key * 100});
    if (!password.isEmpty()) {
        TxStoredProc p(db, QStringLiteral("FIN_P_SEC_SETPASSWORD"));
        p.setParam(QStringLiteral("USERKEY"), key);
        p.setParam(QStringLiteral("PASSW"), password);
        p.setParam(QStringLiteral("ITERATIONS"), 3);
        p.execute();
    }
    for (int r : rights)
        TxQuery::execute(db, QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) "
                                            "VALUES (?, 230, ?)"),
                         {key, r});
}

void addFixtureUsers(TxDatabase &db)
{
    addUser(db, 11, QStringLiteral("anna"), QStringLiteral("Секрет-1"), {0, 10});
    addUser(db, 12, QStringLiteral("boris"), QStringLiteral("pw"), {10});        // no right to enter
    addUser(db, 13, QStringLiteral("vera"), QStringLiteral("pw"), {0}, 1);       // disabled
    addUser(db, 14, QStringLiteral("gleb"), QString(), {0});                    // no password yet
    TxQuery::execute(db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = 'work-pw' WHERE ibname = 'KORVEX'"));
}

} // namespace

// ---------------------------------------------------------------------------
// The hash is computed by the server; it must be the standard one, so that a
// stored hash can be checked by any other tool.
class PasswordHashTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase() { m_t = std::make_unique<TestDatabase>(); }
    void cleanupTestCase() { m_t.reset(); }

    void sha256_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("abc") << QByteArray("abc");
        QTest::newRow("55 bytes, one block") << QByteArray(55, 'x');
        QTest::newRow("56 bytes, two blocks") << QByteArray(56, 'x');
        QTest::newRow("64 bytes") << QByteArray(64, 'y');
        QTest::newRow("cyrillic utf-8") << QStringLiteral("Пароль №1").toUtf8();
        QTest::newRow("all byte values") << [] {
            QByteArray b;
            for (int i = 0; i < 256; ++i)
                b.append(char(i));
            return b;
        }();
    }
    void sha256()
    {
        QFETCH(QByteArray, input);
        const QByteArray got = TxQuery::scalar(m_t->db(), QStringLiteral("SELECT fin_f_sec_tohex(fin_f_sec_sha256("
                                                              "fin_f_sec_fromhex(?))) FROM rdb$database"),
                                               {QString::fromLatin1(input.toHex())})
                                   .toByteArray();
        QCOMPARE(got, QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex());
    }

    void pbkdf2_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::newRow("one iteration") << QByteArray("password") << QByteArray("salt") << 1;
        QTest::newRow("several") << QByteArray("password") << QByteArray("salt") << 7;
        QTest::newRow("key longer than a block") << QByteArray(100, 'k') << QByteArray(16, '\x01') << 3;
        QTest::newRow("cyrillic") << QStringLiteral("Секрет").toUtf8() << QByteArray::fromHex("00ff10") << 2;
    }
    void pbkdf2()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        const QByteArray got = TxQuery::scalar(m_t->db(),
                                               QStringLiteral("SELECT fin_f_sec_tohex(fin_f_sec_pbkdf2(fin_f_sec_fromhex(?), "
                                                              "fin_f_sec_fromhex(?), ?)) FROM rdb$database"),
                                               {QString::fromLatin1(password.toHex()), QString::fromLatin1(salt.toHex()), iterations})
                                   .toByteArray();
        QCOMPARE(got, ::pbkdf2(password, salt, iterations).toHex());
    }

    // The table holds salt, hash and count only: never the password, and two
    // users with the same password get different hashes.
    void passwordIsNotStored()
    {
        addUser(m_t->db(), 21, QStringLiteral("u1"), QStringLiteral("same-password"), {0});
        addUser(m_t->db(), 22, QStringLiteral("u2"), QStringLiteral("same-password"), {0});
        TxQuery q(m_t->db(), QStringLiteral("SELECT fin_f_sec_tohex(passwsalt), fin_f_sec_tohex(passwhash), passwiter FROM fin_user "
                                            "WHERE userkey IN (21, 22) ORDER BY userkey"));
        q.exec();
        QVERIFY(q.next());
        const QByteArray salt1 = QByteArray::fromHex(q.value(0).toByteArray());
        const QByteArray hash1 = QByteArray::fromHex(q.value(1).toByteArray());
        QCOMPARE(q.value(2).toInt(), 3);
        QVERIFY(q.next());
        const QByteArray salt2 = QByteArray::fromHex(q.value(0).toByteArray());
        const QByteArray hash2 = QByteArray::fromHex(q.value(1).toByteArray());
        QCOMPARE(salt1.size(), 16);
        QVERIFY(salt1 != salt2);
        QVERIFY(hash1 != hash2);
        QCOMPARE(hash1.toHex(), ::pbkdf2("same-password", salt1, 3).toHex());
        QVERIFY(!hash1.contains("same-password"));
    }

    void emptyPasswordIsRefused()
    {
        addUser(m_t->db(), 23, QStringLiteral("u3"), QString(), {0});
        TxStoredProc p(m_t->db(), QStringLiteral("FIN_P_SEC_SETPASSWORD"));
        p.setParam(QStringLiteral("USERKEY"), 23);
        p.setParam(QStringLiteral("PASSW"), QString());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, p.execute());
    }
};

// ---------------------------------------------------------------------------
class LoginProcedureTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    int login(const QString &subsystem, const QString &user, const QString &password, int *session = nullptr,
              TxDatabase *db = nullptr)
    {
        TxStoredProc p(db ? *db : m_t->db(), QStringLiteral("FIN_P_SEC_LOGINUSER"));
        p.setParam(QStringLiteral("SUBSYSTEM"), subsystem);
        p.setParam(QStringLiteral("USERNAME"), user);
        p.setParam(QStringLiteral("PASSW"), password);
        p.execute();
        if (session)
            *session = p.output(QStringLiteral("SESSION")).toInt();
        return p.output(QStringLiteral("RESULT")).toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        addFixtureUsers(m_t->db());
    }
    void cleanupTestCase() { m_t.reset(); }

    void resultCodes_data()
    {
        QTest::addColumn<QString>("subsystem");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        QTest::newRow("accepted by number") << "230" << "anna" << "Секрет-1" << 0;
        QTest::newRow("accepted by name, any case") << "АРЕНДА" << "ANNA" << "Секрет-1" << 0;
        QTest::newRow("unknown subsystem") << "999" << "anna" << "Секрет-1" << -4;
        QTest::newRow("empty subsystem") << "" << "anna" << "Секрет-1" << -4;
        QTest::newRow("unknown user") << "230" << "nobody" << "x" << -1;
        QTest::newRow("disabled user") << "230" << "vera" << "pw" << -1;
        QTest::newRow("wrong password") << "230" << "anna" << "секрет-1" << -2;
        QTest::newRow("empty password") << "230" << "anna" << "" << -2;
        QTest::newRow("user without password") << "230" << "gleb" << "" << -2;
        QTest::newRow("no right to enter") << "230" << "boris" << "pw" << -3;
    }
    void resultCodes()
    {
        QFETCH(QString, subsystem);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, result);
        QCOMPARE(login(subsystem, user, password), result);
    }

    void acceptedLoginReturnsAccountAndNewSession()
    {
        TxStoredProc p(m_t->db(), QStringLiteral("FIN_P_SEC_LOGINUSER"));
        p.setParam(QStringLiteral("SUBSYSTEM"), QStringLiteral("230"));
        p.setParam(QStringLiteral("USERNAME"), QStringLiteral("anna"));
        p.setParam(QStringLiteral("PASSW"), QStringLiteral("Секрет-1"));
        p.execute();
        QCOMPARE(p.output(QStringLiteral("RESULT")).toInt(), 0);
        QCOMPARE(p.output(QStringLiteral("USERKEY")).toInt(), 11);
        QCOMPARE(p.output(QStringLiteral("IBNAME")).toString(), QStringLiteral("KORVEX"));
        QCOMPARE(p.output(QStringLiteral("IBPASSW")).toString(), QStringLiteral("work-pw"));
        QCOMPARE(p.output(QStringLiteral("SUBSYSTEMKEY")).toInt(), 230);
        const int first = p.output(QStringLiteral("SESSION")).toInt();
        int second = 0;
        QCOMPARE(login(QStringLiteral("230"), QStringLiteral("anna"), QStringLiteral("Секрет-1"), &second), 0);
        QVERIFY(second > first);
    }

    void rightsAreListed()
    {
        TxQuery q(m_t->db(), QStringLiteral("SELECT userright FROM fin_p_sec_getrightsforuser(:UK, :SS)"));
        q.bind(QStringLiteral(":UK"), 11);
        q.bind(QStringLiteral(":SS"), 230);
        q.exec();
        QList<int> rights;
        while (q.next())
            rights << q.value(0).toInt();
        QCOMPARE(rights, (QList<int>{0, 10}));
    }

    // The start-up account may run the login procedure and nothing else; the
    // working account may do everything but read the account passwords.
    void accountsHaveTheirRightsOnly()
    {
        auto opener = m_t->connect(QStringLiteral("opener"), QStringLiteral("OPENERUSR"), QStringLiteral("kemplorix"));
        QCOMPARE(login(QStringLiteral("230"), QStringLiteral("anna"), QStringLiteral("Секрет-1"), nullptr, opener.get()),
                 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxQuery::scalar(*opener, QStringLiteral("SELECT COUNT(*) FROM fin_user")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 TxQuery::scalar(*opener, QStringLiteral("SELECT ibpassw FROM fin_dbaccount")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 TxQuery::scalar(*opener, QStringLiteral("SELECT COUNT(*) FROM fin_p_sec_getrightsforuser(11, 230)")));
        opener.reset();

        auto worker = m_t->connect(QStringLiteral("worker"), QStringLiteral("KORVEX"), QStringLiteral("work-pw"));
        QVERIFY(TxQuery::scalar(*worker, QStringLiteral("SELECT COUNT(*) FROM fin_user")).toInt() > 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 TxQuery::scalar(*worker, QStringLiteral("SELECT ibpassw FROM fin_dbaccount")));
    }
};

// ---------------------------------------------------------------------------
class UserLoginTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>(TestDatabase::Content::Schema, QStringLiteral("fixture"));
        addFixtureUsers(m_t->db());
    }
    void cleanupTestCase() { m_t.reset(); }

    void twoStageLogin()
    {
        TUserLogin login;
        login.Params.setServerName(m_t->path());
        QVERIFY(login.connectStartup());
        QCOMPARE(login.tryLogin(QStringLiteral("230"), QStringLiteral("anna"), QStringLiteral("wrong")),
                 int(TUserLogin::WrongPassword));
        QCOMPARE(login.UserKey, -1);
        QCOMPARE(login.tryLogin(QStringLiteral("Аренда"), QStringLiteral("anna"), QStringLiteral("Секрет-1")),
                 int(TUserLogin::Accepted));
        QCOMPARE(login.UserKey, 11);
        QCOMPARE(login.UserName, QStringLiteral("anna"));
        QCOMPARE(login.SubSystemName, QStringLiteral("Аренда"));
        QCOMPARE(login.SubSystemKey, 230);
        QVERIFY(login.SessionKey > 0);
        QVERIFY(login.StartTime.isValid());

        QSignalSpy after(&login, &TUserLogin::afterLogon);
        TxDatabase working;
        login.connectWorking(working);
        QCOMPARE(working.userName(), QStringLiteral("KORVEX"));
        QCOMPARE(after.count(), 1);
        QCOMPARE(login.UserRights, int(urLoginSubSystem | urAdmin));
        QCOMPARE(TUserLogin::rightsText(login.UserRights), QStringLiteral("Вход в подсистему, Администрирование"));
        QVERIFY(login.PeopleFound);
        QCOMPARE(login.PeopleKey, 1100);
        QVERIFY(!login.CancelLogOn);
    }

    void refusedStartupConnection()
    {
        TUserLogin login;
        login.Params.setServerName(m_t->dir() + QStringLiteral("/missing.fdb"));
        QVERIFY(!login.connectStartup());
        QVERIFY(login.CancelLogOn);
        QVERIFY(!login.lastError().isEmpty());
    }

    void rightsText_data()
    {
        QTest::addColumn<int>("rights");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("all in table order") << 31
            << "Вход в подсистему, Администрирование, Сохранение данных, Восстановление данных, Настройка интерфейса";
        QTest::newRow("backup and interface") << int(urBackupData | urChangeInterface)
                                              << "Сохранение данных, Настройка интерфейса";
    }
    void rightsText()
    {
        QFETCH(int, rights);
        QFETCH(QString, text);
        QCOMPARE(TUserLogin::rightsText(rights), text);
    }

    void rightCodes()
    {
        QCOMPARE(TUserLogin::rightFromCode(0), int(urLoginSubSystem));
        QCOMPARE(TUserLogin::rightFromCode(40), int(urChangeInterface));
        QCOMPARE(TUserLogin::rightFromCode(15), 0);
    }
};

#include "tst_login.moc"

KORVEX_TEST_CLASS(PasswordHashTest)
KORVEX_TEST_CLASS(LoginProcedureTest)
KORVEX_TEST_CLASS(UserLoginTest)
