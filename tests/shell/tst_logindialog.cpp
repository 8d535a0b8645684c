#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "shell/OptionFilter.h"
#include "shell/UserLogin.h"
#include "shell/mmOptions.h"
#include "app/desktop/LoginPropDialog.h"
#include "app/desktop/UserLoginDialog.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace korvex::db;
using namespace korvex::shell;
using namespace korvex::widgets;
using korvex::test::TxPromptRecorder;
using korvex::test::TestDatabase;

// ---------------------------------------------------------------------------
class LoginDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>(TestDatabase::Content::Schema, QStringLiteral("fixture"));
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_user (userkey, name, ibname) VALUES (31, 'olga', 'KORVEX')"));
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_user (userkey, name, ibname) VALUES (32, 'petr', 'KORVEX')"));
        for (int key : {31, 32}) {
            TxStoredProc p(m_t->db(), QStringLiteral("FIN_P_SEC_SETPASSWORD"));
            p.setParam(QStringLiteral("USERKEY"), key);
            p.setParam(QStringLiteral("PASSW"), QStringLiteral("pw"));
            p.setParam(QStringLiteral("ITERATIONS"), 2);
            p.execute();
        }
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (31, 230, 0)"));
        QSettings().remove(QStringLiteral("Login"));
    }
    void cleanupTestCase() { m_t.reset(); }

    void okNeedsUserAndSubsystem()
    {
        TUserLogin login;
        TUserLoginDialog d(login);
        QVERIFY(!d.okButton()->isEnabled());
        d.subSystemEdit()->setText(QStringLiteral("230"));
        QVERIFY(!d.okButton()->isEnabled());
        d.userEdit()->setText(QStringLiteral("olga"));
        QVERIFY(d.okButton()->isEnabled());
        d.subSystemEdit()->clear();
        QVERIFY(!d.okButton()->isEnabled());
        QCOMPARE(d.focusWidget(), d.passwordEdit());
    }

    // Each refusal names its reason and puts the cursor where the mistake is.
    void resultMessagesAndFocus_data()
    {
        QTest::addColumn<QString>("subsystem");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("subsystem") << "999" << "olga" << "pw" << "Неверно введена подсистема." << "subsystem";
        QTest::newRow("user") << "230" << "nobody" << "pw" << "Неверно введен пользователь." << "user";
        QTest::newRow("password") << "230" << "olga" << "bad" << "Неверно введен пароль." << "password";
        QTest::newRow("no right") << "230" << "petr" << "pw"
                                  << "У указанного пользователя нет права на вход в подсистему." << "subsystem";
        QTest::newRow("accepted") << "230" << "olga" << "pw" << "" << "";
    }
    void resultMessagesAndFocus()
    {
        QFETCH(QString, subsystem);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TUserLogin login;
        login.Params.setServerName(m_t->path());
        QVERIFY(login.connectStartup());
        TUserLoginDialog d(login);
        d.subSystemEdit()->setText(subsystem);
        d.userEdit()->setText(user);
        d.passwordEdit()->setText(password);
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        if (message.isEmpty()) {
            QCOMPARE(prompts.messages.size(), 0);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(login.UserKey, 31);
            return;
        }
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, message);
        QCOMPARE(prompts.messages.first().caption, QStringLiteral("Вход в систему"));
        QWidget *expected = focus == QLatin1String("user")       ? d.userEdit()
                            : focus == QLatin1String("password") ? d.passwordEdit()
                                                                 : d.subSystemEdit();
        QCOMPARE(d.focusWidget(), expected);
        QVERIFY(d.result() != QDialog::Accepted);
    }

    void subsystemAndUserAreRemembered()
    {
        TUserLogin login;
        {
            TUserLoginDialog d(login);
            d.subSystemEdit()->setText(QStringLiteral("Аренда"));
            d.userEdit()->setText(QStringLiteral("olga"));
            d.reject();
        }
        TUserLoginDialog again(login);
        QCOMPARE(again.subSystemEdit()->text(), QStringLiteral("Аренда"));
        QCOMPARE(again.userEdit()->text(), QStringLiteral("olga"));
        QVERIFY(again.passwordEdit()->text().isEmpty());
    }

    // "&Параметры" on a new installation first writes the parameters in
    // effect as the file in the working directory, then opens it; a file that
    // exists is opened as it is.
    void paramsButtonMakesTheFile()
    {
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });
        const QString path = QDir(dir.path()).filePath(QStringLiteral("domira.dat"));

        TUserLogin login;
        TUserLoginDialog d(login);
        QStringList opened;
        d.setFileOpener([&](const QUrl &url) {
            opened << QFileInfo(url.toLocalFile()).canonicalFilePath();
            return true;
        });
        QTest::mouseClick(d.paramsButton(), Qt::LeftButton);
        QCOMPARE(opened, QStringList{QFileInfo(path).canonicalFilePath()});
        TxConnectionParams written;
        QVERIFY(written.loadFromFile(path));
        QCOMPARE(written.lines(), TxConnectionParams::defaultLines());

        QFile edited(path);
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write("SERVER NAME=dbserver:/data/rent.fdb\n");
        edited.close();
        QTest::mouseClick(d.paramsButton(), Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
        QVERIFY(written.loadFromFile(path));
        QCOMPARE(written.lines(), QStringList{QStringLiteral("SERVER NAME=dbserver:/data/rent.fdb")});
    }

    void paramsFileThatCannotBeMade()
    {
        QTemporaryDir dir;
        TUserLogin login;
        login.ParamsFile = dir.filePath(QStringLiteral("missing/domira.dat"));
        TUserLoginDialog d(login);
        int opened = 0;
        d.setFileOpener([&](const QUrl &) { return ++opened > 0; });
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QTest::mouseClick(d.paramsButton(), Qt::LeftButton);
        QCOMPARE(opened, 0);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().text.contains(login.ParamsFile));
        QVERIFY(!QFileInfo::exists(login.ParamsFile));
    }

    void connectionInformation()
    {
        TUserLogin login;
        login.SubSystemKey = 230;
        login.SubSystemName = QStringLiteral("Аренда");
        login.UserKey = 31;
        login.UserName = QStringLiteral("olga");
        login.UserRights = urLoginSubSystem | urAdmin;
        login.SessionKey = 77;
        login.StartTime = QDateTime(QDate(2026, 12, 1), QTime(9, 30));
        const QStringList lines = TLoginPropDialog::lines(login, QStringLiteral("3"));
        QCOMPARE(lines.at(0), QStringLiteral("Подсистема: (230) Аренда"));
        QCOMPARE(lines.at(1), QStringLiteral("Пользователь: (31) olga"));
        QCOMPARE(lines.at(2), QStringLiteral("Права: Вход в подсистему, Администрирование"));
        QCOMPARE(lines.at(3), QStringLiteral("Сессия: 77"));
        QVERIFY(lines.at(4).startsWith(QStringLiteral("Начало работы: 01.12.2026 09:30:00, продолжительность: ")));
        QCOMPARE(lines.at(5), QStringLiteral("Версия базы данных: 3"));
    }
};

// ---------------------------------------------------------------------------
class OptionFieldsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A field left with bad text gets its remembered value back, says
    // "Ошибка" and keeps the focus.
    void badTextReverts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::newRow("integer ok") << int(TxCheckedEdit::Kind::Integer) << "15" << "16" << true;
        QTest::newRow("integer letters") << int(TxCheckedEdit::Kind::Integer) << "15" << "1a" << false;
        QTest::newRow("integer fraction") << int(TxCheckedEdit::Kind::Integer) << "15" << "1.5" << false;
        QTest::newRow("date ok") << int(TxCheckedEdit::Kind::Date) << "01.01.2026" << "28.02.2026" << true;
        QTest::newRow("date impossible") << int(TxCheckedEdit::Kind::Date) << "01.01.2026" << "30.02.2026" << false;
        QTest::newRow("float comma") << int(TxCheckedEdit::Kind::Float) << "1,00" << "2,5" << true;
        QTest::newRow("float groups") << int(TxCheckedEdit::Kind::Float) << "1,00" << "1 234,5" << true;
        QTest::newRow("float infinity") << int(TxCheckedEdit::Kind::Float) << "1,00" << "inf" << false;
    }
    void badTextReverts()
    {
        QFETCH(int, kind);
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QWidget form;
        auto *field = new TxCheckedEdit(TxCheckedEdit::Kind(kind), &form);
        auto *other = new QLineEdit(&form);
        field->setText(start);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->setText(typed);
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        other->setFocus();
        if (valid) {
            QCOMPARE(field->text(), typed);
            QCOMPARE(prompts.messages.size(), 0);
        } else {
            QCOMPARE(field->text(), start);
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.messages.first().text, QStringLiteral("Ошибка"));
            QCOMPARE(prompts.messages.first().caption, QStringLiteral("Внимание!"));
            QTRY_VERIFY(field->hasFocus());
        }
    }

    void filterRoundTrip()
    {
        TestDatabase t;
        int customer = 0;
        QDate from;
        QString list;
        {
            TmmOptions options(t.db(), 9);
            TxOptionFilter filter(options, QStringLiteral("rent_Debt_"));
            filter.bindInt(QStringLiteral("CustomerKey"), &customer, -1);
            filter.bindDate(QStringLiteral("startDebtdate"), &from, QDate(2026, 1, 1));
            filter.bindString(QStringLiteral("Servicelist"), &list);
            filter.load();
            QCOMPARE(customer, -1);
            QCOMPARE(from, QDate(2026, 1, 1));
            customer = 17;
            from = QDate(2026, 6, 30);
            list = QStringLiteral("3,5,8");
            filter.save();
            QCOMPARE(options.GetIntegerOption(QStringLiteral("RENT_DEBT_CUSTOMERKEY")), std::optional<int>(17));
            filter.reset();
            QCOMPARE(customer, -1);
            filter.load();
            QCOMPARE(customer, 17);
            QCOMPARE(from, QDate(2026, 6, 30));
            QCOMPARE(list, QStringLiteral("3,5,8"));
        }
        TmmOptions other(t.db(), 10);  // another user keeps the defaults
        TxOptionFilter filter(other, QStringLiteral("rent_Debt_"));
        filter.bindInt(QStringLiteral("CustomerKey"), &customer, -1);
        filter.load();
        QCOMPARE(customer, -1);
    }
};

#include "tst_logindialog.moc"

KORVEX_TEST_CLASS(LoginDialogTest)
KORVEX_TEST_CLASS(OptionFieldsTest)
