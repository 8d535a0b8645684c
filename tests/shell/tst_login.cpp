#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xSqlScript.h"
#include "db/xStoredProc.h"
#include "shell/PasswordKey.h"
#include "shell/UserAdmin.h"
#include "shell/UserLogin.h"
#include "securityProbes.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
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

// Users for the login tests, made through the administration procedures.
void addUser(TxDatabase &db, int key, const QString &name, const QString &password, QList<int> rights,
             int disabled = 0)
{
    TxQuery::execute(db, QStringLiteral("INSERT INTO fin_user (userkey, name, disabled, peoplekey) VALUES (?, ?, ?, ?)"),
                     {key, name, disabled, key * 100});
    if (!password.isEmpty())
        TUserAdmin(db).setPassword(name, password);
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
    addUser(db, 15, QStringLiteral("dina"), QStringLiteral("pw"), {0, 40});     // no administrator
    TxQuery::execute(db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = 'work-pw' WHERE ibname = 'KORVEX'"));
    TxQuery::execute(db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = 'admin-pw' WHERE ibname = 'KORVEXADM'"));
}

struct Salt {
    QByteArray salt;
    int iterations = 0;
    int legacy = 0;
};

Salt loginSalt(TxDatabase &db, const QString &user)
{
    TxStoredProc p(db, QStringLiteral("FIN_P_SEC_LOGINSALT"));
    p.setParam(QStringLiteral("USERNAME"), user);
    p.execute();
    return {QByteArray::fromHex(p.output(QStringLiteral("SALT")).toByteArray()), p.output(QStringLiteral("ITERATIONS")).toInt(),
            p.output(QStringLiteral("LEGACY")).toInt()};
}

} // namespace

// ---------------------------------------------------------------------------
// The client's key derivation must be the standard PBKDF2-HMAC-SHA-256, so
// that a stored key can be checked by any other tool.
class PasswordKeyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void derive_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("expected");  // hex; empty: the reference computes it
        QTest::newRow("RFC 7914, 1") << QByteArray("password") << QByteArray("salt") << 1
                                     << QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
        QTest::newRow("4096") << QByteArray("password") << QByteArray("salt") << 4096
                              << QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
        QTest::newRow("key longer than a block") << QByteArray(100, 'k') << QByteArray(16, '\x01') << 3 << QByteArray();
        QTest::newRow("key of exactly a block") << QByteArray(64, 'k') << QByteArray(16, '\x02') << 5 << QByteArray();
        QTest::newRow("cyrillic, long salt") << QStringLiteral("Секрет").toUtf8() << QByteArray(70, '\xfe') << 2
                                             << QByteArray();
        QTest::newRow("empty password") << QByteArray() << QByteArray("s") << 2 << QByteArray();
    }
    void derive()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QFETCH(QByteArray, expected);
        if (expected.isEmpty())
            expected = pbkdf2(password, salt, iterations).toHex();
        QCOMPARE(TPasswordKey::derive(password, salt, iterations).toHex(), expected);
    }

    void saltsDiffer()
    {
        const QByteArray a = TPasswordKey::newSalt();
        QCOMPARE(a.size(), TPasswordKey::SaltSize);
        QVERIFY(a != TPasswordKey::newSalt());
    }
};

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

    // The table holds salt, count and SHA-256 of the derived key only: never
    // the password, and two users with the same password get different keys.
    void onlyTheKeysHashIsStored()
    {
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_user (userkey, name) VALUES (21, 'u1')"));
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_user (userkey, name) VALUES (22, 'u2')"));
        TUserAdmin(m_t->db()).setPassword(QStringLiteral("u1"), QStringLiteral("same-password"));
        TUserAdmin(m_t->db()).setPassword(QStringLiteral("u2"), QStringLiteral("same-password"), 150000);
        TxQuery q(m_t->db(), QStringLiteral("SELECT fin_f_sec_tohex(salt), fin_f_sec_tohex(keyhash), iterations FROM fin_userpassw "
                                            "WHERE userkey IN (21, 22) ORDER BY userkey"));
        q.exec();
        QByteArray salts[2], hashes[2];
        const int counts[2] = {TPasswordKey::DefaultIterations, 150000};
        for (int i = 0; i < 2; ++i) {
            QVERIFY(q.next());
            salts[i] = QByteArray::fromHex(q.value(0).toByteArray());
            hashes[i] = QByteArray::fromHex(q.value(1).toByteArray());
            QCOMPARE(q.value(2).toInt(), counts[i]);
            QCOMPARE(salts[i].size(), 16);
            QCOMPARE(hashes[i].toHex(),
                     QCryptographicHash::hash(::pbkdf2("same-password", salts[i], counts[i]), QCryptographicHash::Sha256).toHex());
        }
        QVERIFY(salts[0] != salts[1]);
        QVERIFY(hashes[0] != hashes[1]);
    }

    // A weak count, a malformed key or salt, an empty password: refused by
    // the client and, for what reaches it, by the server.
    void weakOrMalformedIsRefused_data()
    {
        QTest::addColumn<QString>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QString>("key");
        const QString salt = QStringLiteral("00112233445566778899aabbccddeeff");
        const QString key = QString(64, QLatin1Char('a'));
        QTest::newRow("1000 iterations") << salt << 1000 << key;
        QTest::newRow("too many iterations") << salt << TPasswordKey::MaxIterations + 1 << key;
        QTest::newRow("short salt") << salt.left(30) << 100000 << key;
        QTest::newRow("key not hex") << salt << 100000 << QString(64, QLatin1Char('x'));
        QTest::newRow("plain password as key") << salt << 100000 << QStringLiteral("password");
    }
    void weakOrMalformedIsRefused()
    {
        QFETCH(QString, salt);
        QFETCH(int, iterations);
        QFETCH(QString, key);
        TxQuery::execute(m_t->db(), QStringLiteral("UPDATE OR INSERT INTO fin_user (userkey, name) VALUES (23, 'u3') MATCHING (userkey)"));
        TxStoredProc p(m_t->db(), QStringLiteral("FIN_P_SEC_SETPASSWORD"));
        p.setParam(QStringLiteral("USERKEY"), 23);
        p.setParam(QStringLiteral("SALT"), salt);
        p.setParam(QStringLiteral("ITERATIONS"), iterations);
        p.setParam(QStringLiteral("PASSWKEY"), key);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, p.execute());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TUserAdmin(m_t->db()).setPassword(QStringLiteral("u3"), QString()));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TUserAdmin(m_t->db()).setPassword(QStringLiteral("u3"), QStringLiteral("x"), 99999));
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT COUNT(*) FROM fin_userpassw WHERE userkey = 23")).toInt(), 0);
    }
};

// ---------------------------------------------------------------------------
class LoginProcedureTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    // The client's two steps: the salt, then the key.
    int login(const QString &subsystem, const QString &user, const QString &password, int *session = nullptr,
              TxDatabase *db = nullptr)
    {
        TxDatabase &on = db ? *db : m_t->db();
        const Salt s = loginSalt(on, user);
        TxStoredProc p(on, QStringLiteral("FIN_P_SEC_LOGINUSER"));
        p.setParam(QStringLiteral("SUBSYSTEM"), subsystem);
        p.setParam(QStringLiteral("USERNAME"), user);
        p.setParam(QStringLiteral("PASSW"), QString::fromLatin1(TPasswordKey::derive(password, s.salt, s.iterations).toHex()));
        p.execute();
        if (session)
            *session = p.output(QStringLiteral("SESSION")).toInt();
        return p.output(QStringLiteral("RESULT")).toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>(TestDatabase::Content::Schema, QStringLiteral("fixture"));
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

    // The account follows the user's rights: administrators get theirs.
    void acceptedLoginReturnsAccountAndNewSession_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("userKey");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("accountPassword");
        QTest::newRow("administrator") << "anna" << "Секрет-1" << 11 << "KORVEXADM" << "admin-pw";
        QTest::newRow("everyone else") << "dina" << "pw" << 15 << "KORVEX" << "work-pw";
    }
    void acceptedLoginReturnsAccountAndNewSession()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, userKey);
        QFETCH(QString, account);
        QFETCH(QString, accountPassword);
        const Salt s = loginSalt(m_t->db(), user);
        TxStoredProc p(m_t->db(), QStringLiteral("FIN_P_SEC_LOGINUSER"));
        p.setParam(QStringLiteral("SUBSYSTEM"), QStringLiteral("230"));
        p.setParam(QStringLiteral("USERNAME"), user);
        p.setParam(QStringLiteral("PASSW"), QString::fromLatin1(TPasswordKey::derive(password, s.salt, s.iterations).toHex()));
        p.execute();
        QCOMPARE(p.output(QStringLiteral("RESULT")).toInt(), 0);
        QCOMPARE(p.output(QStringLiteral("USERKEY")).toInt(), userKey);
        QCOMPARE(p.output(QStringLiteral("IBNAME")).toString(), account);
        QCOMPARE(p.output(QStringLiteral("IBPASSW")).toString(), accountPassword);
        QCOMPARE(p.output(QStringLiteral("SUBSYSTEMKEY")).toInt(), 230);
        const int first = p.output(QStringLiteral("SESSION")).toInt();
        int second = 0;
        QCOMPARE(login(QStringLiteral("230"), user, password, &second), 0);
        QVERIFY(second > first);
        // The password itself in place of the key is a wrong password.
        p.setParam(QStringLiteral("PASSW"), password);
        p.execute();
        QCOMPARE(p.output(QStringLiteral("RESULT")).toInt(), -2);
    }

    // Asking for the salt tells nothing about a name: an unknown one gets a
    // salt of the same form, the same each time, and the default count.
    void unknownNamesGetStandInSalts()
    {
        const Salt real = loginSalt(m_t->db(), QStringLiteral("anna"));
        const Salt unknown = loginSalt(m_t->db(), QStringLiteral("nobody"));
        QCOMPARE(real.salt.size(), 16);
        QCOMPARE(unknown.salt.size(), 16);
        QCOMPARE(unknown.iterations, real.iterations);
        QCOMPARE(unknown.legacy, 0);
        QCOMPARE(loginSalt(m_t->db(), QStringLiteral("NOBODY ")).salt, unknown.salt);
        QVERIFY(loginSalt(m_t->db(), QStringLiteral("somebody")).salt != unknown.salt);
        QVERIFY(real.salt != unknown.salt);
        // Disabled users and users without a password look unknown too.
        QCOMPARE(loginSalt(m_t->db(), QStringLiteral("vera")).iterations, TPasswordKey::DefaultIterations);
        QCOMPARE(loginSalt(m_t->db(), QStringLiteral("gleb")).iterations, TPasswordKey::DefaultIterations);
    }

    // An unknown user and a wrong password cost the same: the client derives
    // a key at the full count either way, and the server hashes it before it
    // looks the user up.
    void unknownUserAndWrongPasswordTakeTheSameTime()
    {
        TUserLogin login;
        login.Params.setServerName(m_t->path());
        QVERIFY(login.connectStartup());
        // Interleaved, and the quickest of several: other work on the machine
        // slows single runs, never both kinds alike.
        auto once = [&](const QString &user) {
            QElapsedTimer t;
            t.start();
            login.tryLogin(QStringLiteral("230"), user, QStringLiteral("wrong"));
            return double(t.nsecsElapsed());
        };
        double unknown = 1e18, wrong = 1e18;
        for (int i = 0; i < 7; ++i) {
            unknown = qMin(unknown, once(QStringLiteral("nobody")));
            wrong = qMin(wrong, once(QStringLiteral("anna")));
        }
        qInfo("login at %d iterations: unknown user %.1f ms, wrong password %.1f ms", TPasswordKey::DefaultIterations,
              unknown / 1e6, wrong / 1e6);
        QVERIFY2(qMax(unknown, wrong) < 2 * qMin(unknown, wrong), "the two refusals take different times");
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

    // The start-up account may run the login procedures and nothing else.
    // The working accounts read users and rights but never write them, read
    // no password key or account password and change no schema; only the
    // administrators' account runs the user-administration procedures. The
    // embedded engine takes no passwords but keeps these rights.
    void accountsHaveTheirRightsOnly()
    {
        auto opener = m_t->connect(QStringLiteral("opener"), QStringLiteral("OPENERUSR"), QStringLiteral("kemplorix"));
        QCOMPARE(login(QStringLiteral("230"), QStringLiteral("anna"), QStringLiteral("Секрет-1"), nullptr, opener.get()),
                 0);
        for (const QString &sql : {QStringLiteral("SELECT COUNT(*) FROM fin_user"), QStringLiteral("SELECT ibpassw FROM fin_dbaccount"),
                                   QStringLiteral("SELECT COUNT(*) FROM fin_p_sec_getrightsforuser(11, 230)"),
                                   QStringLiteral("SELECT COUNT(*) FROM rent_contract")})
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxQuery::scalar(*opener, sql));
        opener.reset();

        auto everyone = m_t->connect(QStringLiteral("everyone"), QStringLiteral("KORVEX"), QStringLiteral("work-pw"));
        auto admins = m_t->connect(QStringLiteral("admins"), QStringLiteral("KORVEXADM"), QStringLiteral("admin-pw"));
        for (TxDatabase *db : {everyone.get(), admins.get()}) {
            QVERIFY(TxQuery::scalar(*db, QStringLiteral("SELECT COUNT(*) FROM fin_user")).toInt() > 0);
            QVERIFY(TxQuery::scalar(*db, QStringLiteral("SELECT COUNT(*) FROM fin_p_sec_getrightsforuser(11, 230)")).toInt() > 0);
            TxQuery::execute(*db, QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (NEXT VALUE FOR gen_rent_variable, ?)"),
                             {db->userName()});
            for (const QString &sql : forbiddenForWorkingAccounts())
                QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxQuery::execute(*db, sql));
        }
        for (const QString &sql : administratorsOnly())
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxQuery::execute(*everyone, sql));
        TUserAdmin admin(*admins);
        admin.setRight(QStringLiteral("dina"), 20, true);
        QCOMPARE(admin.users().size(), 5);
        QCOMPARE(TxQuery::scalar(m_t->db(), QStringLiteral("SELECT COUNT(*) FROM fin_userright WHERE userkey = 15 AND userright = 20"))
                     .toInt(),
                 1);
        admin.setRight(QStringLiteral("dina"), 20, false);
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
        QCOMPARE(working.userName(), QStringLiteral("KORVEXADM"));  // anna administers users
        QCOMPARE(after.count(), 1);
        QCOMPARE(login.UserRights, int(urLoginSubSystem | urAdmin));
        QCOMPARE(TUserLogin::rightsText(login.UserRights), QStringLiteral("Вход в подсистему, Администрирование"));
        QVERIFY(login.PeopleFound);
        QCOMPARE(login.PeopleKey, 1100);
        QVERIFY(!login.CancelLogOn);

        TUserLogin other;
        other.Params.setServerName(m_t->path());
        QVERIFY(other.connectStartup());
        QCOMPARE(other.tryLogin(QStringLiteral("230"), QStringLiteral("dina"), QStringLiteral("pw")), int(TUserLogin::Accepted));
        TxDatabase second(QStringLiteral("second"));
        other.connectWorking(second);
        QCOMPARE(second.userName(), QStringLiteral("KORVEX"));
        QCOMPARE(other.UserRights, int(urLoginSubSystem | urChangeInterface));
    }

    // A database from before the keys: its passwords were PBKDF2 hashes made
    // by the server. After the upgrade each user still logs in with the old
    // password, which is then replaced by a key; a wrong password replaces
    // nothing.
    void passwordStoredTheOldWayIsReplacedAtLogin()
    {
        auto t = TestDatabase::empty(QStringLiteral("old-form"));
        TxSchema::install(t->db(), 3);
        // The procedures of that time read the password columns.
        TxSqlScript::run(t->db(), QStringLiteral(
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE FIN_P_SEC_LOGINUSER (USERNAME VARCHAR(60)) RETURNS (RESULT INTEGER) AS\n"
            "BEGIN SELECT COUNT(*) FROM fin_user WHERE name = :USERNAME AND passwhash IS NOT NULL INTO :RESULT; END^\n"
            "CREATE PROCEDURE FIN_P_SEC_SETPASSWORD (USERKEY INTEGER) AS\n"
            "BEGIN UPDATE fin_user SET passwsalt = NULL, passwiter = NULL WHERE userkey = :USERKEY; END^\n"
            "SET TERM ; ^\n"), QStringLiteral("old procedures"));
        const QByteArray oldSalt = QByteArray::fromHex("0123456789abcdef0123456789abcdef");
        // The driver passes bytes as text, so the test's constants go in as literals.
        TxQuery::execute(t->db(), QStringLiteral("INSERT INTO fin_user (userkey, name, ibname, passwsalt, passwhash, passwiter) "
                                                 "VALUES (5, 'olga', 'KORVEX', x'%1', x'%2', 3)")
                                      .arg(QString::fromLatin1(oldSalt.toHex()),
                                           QString::fromLatin1(pbkdf2(QStringLiteral("Старый").toUtf8(), oldSalt, 3).toHex())));
        TxQuery::execute(t->db(), QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (5, 230, 0)"));
        TxSchema::upgrade(t->db());
        QCOMPARE(loginSalt(t->db(), QStringLiteral("olga")).legacy, 1);
        t->db().close();

        TUserLogin login;
        login.Params.setServerName(t->path());
        QVERIFY(login.connectStartup());
        QCOMPARE(login.tryLogin(QStringLiteral("230"), QStringLiteral("olga"), QStringLiteral("Новый")), int(TUserLogin::WrongPassword));
        QCOMPARE(login.tryLogin(QStringLiteral("230"), QStringLiteral("olga"), QStringLiteral("Старый")), int(TUserLogin::Accepted));
        login.cancelLogin();

        auto check = t->connect(QStringLiteral("check"));
        const Salt now = loginSalt(*check, QStringLiteral("olga"));
        QCOMPARE(now.legacy, 0);
        QCOMPARE(now.iterations, TPasswordKey::DefaultIterations);
        QCOMPARE(TxQuery::scalar(*check, QStringLiteral("SELECT COUNT(*) FROM fin_userpassw WHERE userkey = 5 "
                                                        "AND legacyhash IS NULL AND keyhash IS NOT NULL")).toInt(),
                 1);
        TUserLogin again;
        again.Params.setServerName(t->path());
        check.reset();
        QVERIFY(again.connectStartup());
        QCOMPARE(again.tryLogin(QStringLiteral("230"), QStringLiteral("olga"), QStringLiteral("Старый")), int(TUserLogin::Accepted));
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

KORVEX_TEST_CLASS(PasswordKeyTest)
KORVEX_TEST_CLASS(PasswordHashTest)
KORVEX_TEST_CLASS(LoginProcedureTest)
KORVEX_TEST_CLASS(UserLoginTest)
