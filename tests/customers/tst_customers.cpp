#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "customers/Classifiers.h"
#include "customers/CustomerFilter.h"
#include "customers/FactoryFilter.h"
#include "customers/boCustAttr.h"
#include "customers/boCustomer.h"
#include "customers/dmCustomer.h"
#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "widgets/xPrompt.h"

#include <QTest>
#include <deque>

using namespace korvex::customers;
using namespace korvex::db;
using korvex::shell::TAppContext;
using korvex::shell::TmmOptions;
using korvex::test::TestDatabase;
using korvex::widgets::TxMessage;
using korvex::widgets::TxPrompt;
using korvex::test::TxPromptRecorder;

namespace {

// Answers questions in the order given (then "Да") and keeps every text.
class ScriptedPrompt : public TxPrompt
{
public:
    explicit ScriptedPrompt(std::deque<bool> answers = {})
        : answers(std::move(answers))
    {
    }
    bool show(const TxMessage &m) override
    {
        texts << m.text;
        if (m.kind != korvex::widgets::TxMessageKind::Question)
            return true;
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<bool> answers;
    QStringList texts;
};

QVariant scalar(TestDatabase &t, const QString &sql, const QVariantList &values = {})
{
    return TxQuery::scalar(t.db(), sql, values);
}

QStringList names(TestDatabase &t, const korvex::widgets::TxSqlFilter &select)
{
    QStringList out;
    TxQuery q(t.db());
    q.exec(select.text(), select.values());
    while (q.next())
        out << q.value(QStringLiteral("name")).toString().trimmed();
    return out;
}

// A small place tree: Беларусь > Минск > (Немига, Сурганова), Беларусь > Брест.
void placeFixture(TestDatabase &t)
{
    TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (1, 10, '', 'Страна', 0)"));
    TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (2, 30, 'г.', 'Город', 1)"));
    TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_placekind (placekindkey, grade, abbr, name, stand) VALUES (3, 40, 'ул.', 'Улица', 1)"));
    const QVariantList rows[] = {{1, QVariant(), 1, QStringLiteral("Беларусь")}, {2, 1, 2, QStringLiteral("Минск")},
                                 {3, 2, 3, QStringLiteral("Немига")},         {4, 2, 3, QStringLiteral("Сурганова")},
                                 {5, 1, 2, QStringLiteral("Брест")}};
    for (const QVariantList &r : rows)
        TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (?, ?, ?, ?)"), r);
    TxQuery::execute(t.db(), QStringLiteral("EXECUTE PROCEDURE fin_p_sync_keys"));
}

void customer(TestDatabase &t, int key, int kind, const QString &name, const QVariantMap &more = {})
{
    QStringList columns{QStringLiteral("customerkey"), QStringLiteral("kind"), QStringLiteral("name")};
    QVariantList values{key, kind, name};
    for (auto it = more.cbegin(); it != more.cend(); ++it) {
        columns << it.key();
        values << it.value();
    }
    QStringList marks(columns.size(), QStringLiteral("?"));
    TxQuery::execute(t.db(), QStringLiteral("INSERT INTO cst_customer (%1) VALUES (%2)").arg(columns.join(','), marks.join(',')),
                     values);
}

} // namespace

// ---------------------------------------------------------------------------

class FilterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void setters_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("wantState");
        QTest::addColumn<int>("wantMode");
        QTest::addColumn<int>("wantPlace");
        QTest::newRow("in range") << 1 << 3 << 12 << 5 << 1 << 3 << 12;
        QTest::newRow("lowest") << 0 << 0 << 1 << 0 << 0 << 0 << 1;
        QTest::newRow("above") << 2 << 4 << 0 << -3 << -1 << -1 << -1;
        QTest::newRow("below") << -5 << -2 << -7 << -1 << -1 << -1 << -1;
    }
    void setters()
    {
        QFETCH(int, state);
        QFETCH(int, mode);
        QFETCH(int, place);
        QFETCH(int, kind);
        TFactoryFilter f;
        f.setDisabledValue(state);
        f.setUse(TFactoryFilter::Phone, mode);
        f.setPlaceValue(place);
        f.setCompanyKindValue(kind);
        QTEST(f.disabledValue(), "wantState");
        QTEST(f.use(TFactoryFilter::Phone), "wantMode");
        QTEST(f.placeValue(), "wantPlace");
        QCOMPARE(f.companyKindValue(), kind);

        // Assign goes through the same setters and leaves the prefix.
        TFactoryFilter bank(TFactoryFilter::bankPrefix());
        bank.Assign(f);
        QVERIFY(bank == f);
        QCOMPARE(bank.prefix(), TFactoryFilter::bankPrefix());
    }

    // Defaults for a user with nothing stored; the two lists are stored
    // apart; a stored value out of range reads normalised; a condition
    // switched off reads back as stored, not as the default.
    void optionsRoundTrip()
    {
        TestDatabase t;
        {
            TmmOptions options(t.db(), 7);
            TFactoryFilter enterprises, banks(TFactoryFilter::bankPrefix());
            enterprises.ReadFromOptions(&options);
            banks.ReadFromOptions(&options);
            for (const TFactoryFilter *f : {&enterprises, &banks}) {
                QCOMPARE(f->use(TFactoryFilter::Name), int(TFactoryFilter::Contains));
                QCOMPARE(f->mask(TFactoryFilter::Name), QStringLiteral("TARNWELL SOFTWARE"));
                QCOMPARE(f->disabledValue(), -1);
                QCOMPARE(f->placeValue(), -1);
                QCOMPARE(f->use(TFactoryFilter::Url), -1);
            }
            QVERIFY(enterprises == TFactoryFilter());

            enterprises.setUse(TFactoryFilter::Name, TFactoryFilter::Off);
            enterprises.setMask(TFactoryFilter::Name, QString());
            enterprises.setDisabledValue(1);
            enterprises.setPlaceValue(12);
            enterprises.setUse(TFactoryFilter::Phone, TFactoryFilter::StartsWith);
            enterprises.setMask(TFactoryFilter::Phone, QStringLiteral("+375 29"));
            banks.setPropertyKindValue(4);
            banks.setMask(TFactoryFilter::Name, QStringLiteral("Банк"));
            enterprises.WriteToOptions(&options);
            banks.WriteToOptions(&options);
            options.SetIntegerOption(QStringLiteral("ir_bank_usefax"), true, 9);

            TFactoryFilter e2, b2(TFactoryFilter::bankPrefix());
            e2.ReadFromOptions(&options);
            b2.ReadFromOptions(&options);
            QVERIFY(e2 == enterprises);
            QCOMPARE(e2.use(TFactoryFilter::Name), -1);
            QCOMPARE(e2.mask(TFactoryFilter::Name), QString());
            QVERIFY(b2 == banks);
            QCOMPARE(b2.use(TFactoryFilter::Fax), -1);
            QCOMPARE(b2.propertyKindValue(), 4);
            QCOMPARE(b2.disabledValue(), -1);

            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, e2.ReadFromOptions(nullptr));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, e2.WriteToOptions(nullptr));
        }
        TmmOptions other(t.db(), 8);
        TFactoryFilter mine;
        mine.ReadFromOptions(&other);
        QVERIFY(mine == TFactoryFilter());
    }
};

// ---------------------------------------------------------------------------

class ClientListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = std::make_unique<TestDatabase>();
        TestDatabase &t = *m_t;
        placeFixture(t);
        TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_propertykind (propertykindkey, name) VALUES (1, 'Частная')"));
        customer(t, 1, 1, QStringLiteral("ООО «Альфа-Трейд»"),
                 {{"zipcode", "220030"}, {"placekey", 3}, {"phone", "+375 17 200-11-22"}, {"propertykindkey", 1}});
        customer(t, 2, 1, QStringLiteral("  альфа  "), {{"zipcode", "220072"}, {"placekey", 4}, {"disabled", 1}});
        customer(t, 3, 1, QStringLiteral("Бета 50%"), {{"placekey", 5}, {"email", "o'brien@beta.by"}});
        customer(t, 4, 2, QStringLiteral("ОАО «Альфа-Банк»"), {{"placekey", 3}});
        customer(t, 5, 4, QStringLiteral("ИП Петров"), {});
    }
    void cleanupTestCase() { m_t.reset(); }

    void modes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("expected");
        const auto N = int(TFactoryFilter::Name);
        const QStringList notBanks{QStringLiteral("альфа"), QStringLiteral("Бета 50%"), QStringLiteral("ИП Петров"),
                                   QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("off") << 1 << N << -1 << QStringLiteral("nothing") << notBanks;
        QTest::newRow("equals, case and blanks ignored") << 1 << N << 0 << QStringLiteral("АЛЬФА ") << QStringList{QStringLiteral("альфа")};
        QTest::newRow("contains") << 1 << N << 1 << QStringLiteral("альфа")
                                  << QStringList{QStringLiteral("альфа"), QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("starts with") << 1 << N << 2 << QStringLiteral("ооо") << QStringList{QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("ends with") << 1 << N << 3 << QStringLiteral("трейд»") << QStringList{QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("percent is text") << 1 << N << 1 << QStringLiteral("%") << QStringList{QStringLiteral("Бета 50%")};
        QTest::newRow("underscore is text") << 1 << N << 1 << QStringLiteral("_") << QStringList{};
        QTest::newRow("quote is text") << 1 << int(TFactoryFilter::Email) << 2 << QStringLiteral("o'brien")
                                       << QStringList{QStringLiteral("Бета 50%")};
        QTest::newRow("zip starts") << 1 << int(TFactoryFilter::ZipCode) << 2 << QStringLiteral("22003")
                                    << QStringList{QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("phone contains") << 1 << int(TFactoryFilter::Phone) << 1 << QStringLiteral("200-11")
                                        << QStringList{QStringLiteral("ООО «Альфа-Трейд»")};
        QTest::newRow("banks") << 2 << N << 1 << QStringLiteral("альфа") << QStringList{QStringLiteral("ОАО «Альфа-Банк»")};
    }
    void modes()
    {
        QFETCH(int, kind);
        QFETCH(int, field);
        QFETCH(int, mode);
        QFETCH(QString, mask);
        TFactoryFilter f;
        f.setUse(TFactoryFilter::Name, TFactoryFilter::Off);
        f.setUse(TFactoryFilter::Field(field), mode);
        f.setMask(TFactoryFilter::Field(field), mask);
        QFETCH(QStringList, expected);
        QStringList got = names(*m_t, f.listStatement(kind));
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        // The list's own statement answers as the directory procedure does,
        // with a condition for the field in use alone.
        QStringList byProcedure = names(*m_t, f.procedureStatement(kind));
        byProcedure.sort();
        QCOMPARE(byProcedure, expected);
        const QString text = f.listStatement(kind).text();
        for (int other = 0; other < TFactoryFilter::FieldCount; ++other) {
            const QString column = QStringLiteral("COALESCE(c.%1,").arg(TFactoryFilter::fieldName(TFactoryFilter::Field(other)));
            QCOMPARE(text.contains(column), other == field && mode != -1);
        }
        QVERIFY(!text.contains(QStringLiteral("fin_f_")));
    }

    // State, form of ownership and place (a town finds its streets), alone
    // and together, and every kind of list: as the procedure answers.
    void otherConditions()
    {
        TFactoryFilter f;
        f.setUse(TFactoryFilter::Name, TFactoryFilter::Off);
        const auto check = [&](int kind, QStringList expected) {
            QStringList got = names(*m_t, f.listStatement(kind));
            QStringList byProcedure = names(*m_t, f.procedureStatement(kind));
            got.sort();
            byProcedure.sort();
            expected.sort();
            QCOMPARE(got, expected);
            QCOMPARE(byProcedure, expected);
        };
        f.setPlaceValue(2);
        check(1, {QStringLiteral("ООО «Альфа-Трейд»"), QStringLiteral("альфа")});
        f.setDisabledValue(0);
        check(1, {QStringLiteral("ООО «Альфа-Трейд»")});
        f.setDisabledValue(1);
        check(1, {QStringLiteral("альфа")});
        f.setDisabledValue(-1);
        f.setPlaceValue(-1);
        f.setPropertyKindValue(1);
        check(1, {QStringLiteral("ООО «Альфа-Трейд»")});
        f.setPropertyKindValue(-1);
        f.setCompanyKindValue(0);  // a key no form has
        check(1, {});
        f.setCompanyKindValue(-1);
        check(0, {QStringLiteral("ООО «Альфа-Трейд»"), QStringLiteral("альфа"), QStringLiteral("Бета 50%"),
                  QStringLiteral("ОАО «Альфа-Банк»"), QStringLiteral("ИП Петров")});
        check(4, {QStringLiteral("ИП Петров")});
        f.setUse(TFactoryFilter::Name, TFactoryFilter::Equals);
        f.setMask(TFactoryFilter::Name, QStringLiteral("   "));
        check(1, {});
        f.setUse(TFactoryFilter::Name, TFactoryFilter::EndsWith);
        check(1, {QStringLiteral("ООО «Альфа-Трейд»"), QStringLiteral("альфа"), QStringLiteral("Бета 50%"),
                  QStringLiteral("ИП Петров")});
        // Nothing in use: the statement carries no condition but the kind.
        f.setUse(TFactoryFilter::Name, TFactoryFilter::Off);
        QVERIFY(f.listStatement(1).text().endsWith(QStringLiteral("WHERE 1 = 1 AND c.kind <> 2")));
        QVERIFY(f.listStatement(1).values().isEmpty());
    }
};

// ---------------------------------------------------------------------------

class CardTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    int count(const QString &table, int key)
    {
        return scalar(*m_t, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE customerkey = ?").arg(table), {key}).toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        customer(*m_t, 1, 2, QStringLiteral("Банк"));
        TxQuery::execute(m_t->db(), QStringLiteral("EXECUTE PROCEDURE fin_p_sync_keys"));
    }
    void cleanup() { m_t.reset(); }

    void enterpriseWithAccountAndContact()
    {
        TboCustomer card(m_t->db());
        card.open(-1, QStringLiteral("ООО «Новое»"), 1);
        const int key = card.key();
        QVERIFY(key > 1);
        card.customer().unn = QStringLiteral("190000001");
        card.factory().director = QStringLiteral("Иванов И.И.");
        card.factory().foundDate = QDate(2020, 1, 15);
        card.executor().name = QStringLiteral("Петрова А.");
        TBankAccount account;
        account.key = m_t->db().newKey(QStringLiteral("cst_p_bankaccount_accountkey"), QStringLiteral("bankaccountkey"));
        account.bankKey = 1;
        account.name = QStringLiteral("Расчетный");
        account.account = QStringLiteral("BY00TEST");
        card.addAccount(account);
        QCOMPARE(card.save(), key);

        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT kind FROM cst_customer WHERE customerkey = ?"), {key}).toInt(), 1);
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT id FROM cst_customer WHERE customerkey = ?"), {key}).toInt(), key);
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT director FROM cst_factory WHERE customerkey = ?"), {key}).toString(),
                 QStringLiteral("Иванов И.И."));
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT name FROM ir_executor WHERE customerkey = ?"), {key}).toString(),
                 QStringLiteral("Петрова А."));
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT account FROM cst_bankaccount WHERE customerkey = ? AND bankkey = 1"), {key})
                     .toString(),
                 QStringLiteral("BY00TEST"));
        QCOMPARE(count(QStringLiteral("cst_person"), key), 0);

        // Opened again: the details are there; an edit and a removal go too.
        TboCustomer again(m_t->db());
        again.open(key);
        QCOMPARE(again.factory().foundDate, QDate(2020, 1, 15));
        QCOMPARE(again.accounts().size(), 1);
        QCOMPARE(again.accounts().first().bankName, QStringLiteral("Банк"));
        again.executor().phone = QStringLiteral("123");
        again.removeAccount(0);
        again.save();
        QCOMPARE(count(QStringLiteral("cst_bankaccount"), key), 0);
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT phone FROM ir_executor WHERE customerkey = ?"), {key}).toString(),
                 QStringLiteral("123"));
    }

    // A card whose customer another workstation deleted meanwhile is not
    // "saved" into nothing: the save is refused and writes no details.
    void deletedMeanwhileIsRefused()
    {
        TboCustomer card(m_t->db());
        card.open(1);
        card.executor().name = QStringLiteral("Контакт");
        TxQuery::execute(m_t->db(), QStringLiteral("DELETE FROM cst_customer WHERE customerkey = 1"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, card.save());
        QCOMPARE(count(QStringLiteral("ir_executor"), 1), 0);
        QVERIFY(!m_t->db().inTransaction());
    }

    void entrepreneurWithRegistration()
    {
        TboCustomer card(m_t->db());
        card.open(-1, QStringLiteral("ИП Сидоров"), 4);
        card.person().lastName = QStringLiteral("Сидоров");
        card.person().regNumber = QStringLiteral("191234567");
        card.person().regDate = QDate(2019, 5, 6);
        const int key = card.save();
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT regnumber FROM cst_person WHERE customerkey = ?"), {key}).toString(),
                 QStringLiteral("191234567"));
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT regdate FROM cst_person WHERE customerkey = ?"), {key}).toDate(),
                 QDate(2019, 5, 6));
        QCOMPARE(count(QStringLiteral("cst_factory"), key), 0);
        QCOMPARE(count(QStringLiteral("ir_executor"), key), 0);
    }

    // An account naming a bank that does not exist is refused: nothing of
    // the card stays, in its own transaction or inside the caller's, and the
    // card can be sent again whole once it is put right.
    void refusedWriteRollsBack_data()
    {
        QTest::addColumn<bool>("callerTransaction");
        QTest::newRow("own") << false;
        QTest::newRow("caller's") << true;
    }
    void refusedWriteRollsBack()
    {
        QFETCH(bool, callerTransaction);
        std::optional<TxTransaction> caller;
        if (callerTransaction) {
            caller.emplace(m_t->db());
            TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_propertykind (propertykindkey, name) VALUES (77, 'X')"));
        }
        TboCustomer card(m_t->db());
        card.open(-1, QStringLiteral("Отказ"), 1);
        const int key = card.key();
        card.executor().name = QStringLiteral("Контакт");
        TBankAccount bad;
        bad.key = 9001;
        bad.bankKey = 999;
        card.addAccount(bad);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, card.save());
        QCOMPARE(count(QStringLiteral("cst_customer"), key), 0);
        QCOMPARE(count(QStringLiteral("ir_executor"), key), 0);

        card.removeAccount(0);
        QCOMPARE(card.save(), key);
        if (caller)
            caller->commit();
        QCOMPARE(count(QStringLiteral("cst_customer"), key), 1);
        QCOMPARE(count(QStringLiteral("ir_executor"), key), 1);
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT COUNT(*) FROM fin_propertykind WHERE propertykindkey = 77")).toInt(),
                 callerTransaction ? 1 : 0);
    }
};

// ---------------------------------------------------------------------------

class PlacesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    std::unique_ptr<TmmOptions> m_options;
    std::unique_ptr<TAppContext> m_context;

    int parentOf(int place)
    {
        return scalar(*m_t, QStringLiteral("SELECT COALESCE(parent, 0) FROM fin_place WHERE placekey = ?"), {place}).toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        placeFixture(*m_t);
        m_options = std::make_unique<TmmOptions>(m_t->db(), 7);
        m_context.reset(new TAppContext{m_t->db(), *m_options, nullptr});
    }
    void cleanup()
    {
        m_context.reset();
        m_options.reset();
        m_t.reset();
    }

    // Немига, Сурганова and Брест go under Сурганова: Сурганова itself is
    // refused. Going on moves the first and the third; stopping only the first.
    void pasteWithRefusedMiddle_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("brestParent");
        QTest::newRow("continue") << false << 4;
        QTest::newRow("stop") << true << 1;
    }
    void pasteWithRefusedMiddle()
    {
        QFETCH(bool, stop);
        TdmCustomer dm(*m_context);
        for (int place : {5, 3, 4, 3})
            dm.cutPlace(place);
        QCOMPARE(dm.clipboard(), (QList<int>{3, 4, 5}));

        ScriptedPrompt prompt({true, stop});
        const auto run = dm.pastePlaces(4, prompt);
        QVERIFY(run.has_value());
        QCOMPARE(prompt.texts, (QStringList{QStringLiteral("Вставить в Улица Сурганова"),
                                            QStringLiteral("Нарушена иерархия в населенных пунктах\r\nПрервать?")}));
        QCOMPARE(run->refused, 1);
        QCOMPARE(run->stopped, stop);
        QCOMPARE(parentOf(3), 4);
        QCOMPARE(parentOf(4), 2);
        QTEST(parentOf(5), "brestParent");
        QVERIFY(!dm.hasClipboard());

        // "Нет" to the first question changes nothing and keeps the clipboard.
        dm.cutPlace(5);
        ScriptedPrompt no({false});
        QVERIFY(!dm.pastePlaces(1, no).has_value());
        QVERIFY(dm.hasClipboard());
    }

    // Replacing merges: the customers and the places below move over to the
    // target and the replaced place is gone.
    void replace()
    {
        customer(*m_t, 1, 1, QStringLiteral("На Немиге"), {{"placekey", 3}});
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO fin_place (placekey, parent, placekind, name) VALUES (6, 3, 3, 'Двор')"));
        TdmCustomer dm(*m_context);
        dm.cutPlace(3);
        ScriptedPrompt prompt;
        QCOMPARE(dm.replacePlaces(4, prompt)->done, 1);
        QCOMPARE(prompt.texts.first(), QStringLiteral("Заменить на Улица Сурганова"));
        QCOMPARE(scalar(*m_t, QStringLiteral("SELECT placekey FROM cst_customer WHERE customerkey = 1")).toInt(), 4);
        QCOMPARE(parentOf(6), 4);
        QVERIFY(!scalar(*m_t, QStringLiteral("SELECT 1 FROM fin_place WHERE placekey = 3")).isValid());
    }

    // A place edited to lie below itself would cut its branch off the tree.
    void placeBelowItselfIsRefused()
    {
        TboClassifier place(m_t->db(), TClassifier::Place);
        place.open(2);
        place.record().parent = 3;
        QVERIFY_THROWS_EXCEPTION(EBusinessError, place.save());
        QCOMPARE(parentOf(2), 1);
        place.record().parent = 5;
        place.save();
        QCOMPARE(parentOf(2), 5);
    }

    void deleteInUse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("kind in use") << int(TClassifier::PlaceKind) << 2 << false
                                     << QStringList{QStringLiteral("Удалить тип места?"),
                                                    QStringLiteral("Невозможно удалить тип, т.к. он уже используется")};
        QTest::newRow("place in use, no question") << int(TClassifier::Place) << 2 << false
                                                   << QStringList{QStringLiteral("Невозможно удалить уровень, т.к. он уже используется!")};
        QTest::newRow("free place") << int(TClassifier::Place) << 5 << true << QStringList{};
    }
    void deleteInUse()
    {
        QFETCH(int, kind);
        QFETCH(int, key);
        TdmCustomer dm(*m_context);
        ScriptedPrompt prompt;
        QTEST(dm.deleteClassifier(TClassifier(kind), key, prompt), "deleted");
        QTEST(prompt.texts, "texts");
    }
};

// ---------------------------------------------------------------------------

class AttributesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    QList<int> attrs(int customer) { return TCustAttributes(m_t->db()).attributesOf(customer); }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        for (int c = 1; c <= 3; ++c)
            customer(*m_t, c, 1, QStringLiteral("К%1").arg(c));
        for (int a = 1; a <= 4; ++a)
            TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO ph_attr (id, name, shortname) VALUES (?, ?, ?)"),
                             {a, QStringLiteral("А%1").arg(a), QStringLiteral("а%1").arg(a)});
        for (const auto &[c, a] : {std::pair{1, 1}, {1, 2}, {2, 3}})
            TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO cst_custattr VALUES (?, ?)"), {c, a});
    }
    void cleanup() { m_t.reset(); }

    void severalCustomers()
    {
        TCustAttributes attributes(m_t->db());
        ScriptedPrompt no({false});
        QVERIFY(!attributes.replace({1, 2, 3}, {4}, no));
        QCOMPARE(no.texts.size(), 1);
        QCOMPARE(attrs(1), (QList<int>{1, 2}));

        ScriptedPrompt yes;
        QVERIFY(attributes.replace({1, 2, 3}, {4, 2}, yes));
        QCOMPARE(attrs(1), (QList<int>{2, 4}));
        QCOMPARE(attrs(2), (QList<int>{2, 4}));
        QCOMPARE(attrs(3), (QList<int>{2, 4}));

        // One customer: no question.
        ScriptedPrompt quiet;
        QVERIFY(attributes.replace({2}, {}, quiet));
        QVERIFY(quiet.texts.isEmpty());
        QVERIFY(attrs(2).isEmpty());
    }

    // A customer that cannot take the attributes refuses the whole run.
    void allOrNothing()
    {
        TCustAttributes attributes(m_t->db());
        ScriptedPrompt yes;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, attributes.replace({1, 2, 999}, {3}, yes));
        QCOMPARE(attrs(1), (QList<int>{1, 2}));
        QCOMPARE(attrs(2), (QList<int>{3}));
    }

    // Stored key lists are read as integers only.
    void keyList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("commas") << QStringLiteral("2,4,7") << QList<int>{2, 4, 7};
        QTest::newRow("mixed") << QStringLiteral(" 2; 4 x 2 ") << QList<int>{2, 4};
        QTest::newRow("injection") << QStringLiteral("1) OR (1 = 1") << QList<int>{1};
        QTest::newRow("empty") << QString() << QList<int>{};
    }
    void keyList()
    {
        QFETCH(QString, text);
        QTEST(TCustomerFilter::parseKeys(text), "keys");
    }
};

// ---------------------------------------------------------------------------

// The tenant list of the report choice, on the demonstration data.
class ChoiceTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tenantList()
    {
        TestDatabase t(TestDatabase::Content::Demo);
        const int tenants = scalar(t, QStringLiteral("SELECT COUNT(DISTINCT customerkey) FROM rent_contract")).toInt();
        TCustomerFilter f;
        QCOMPARE(names(t, f.tenantStatement()).size(), tenants);

        f.allAttributes = false;
        f.attributes = {2};
        const int withAttr = scalar(t, QStringLiteral("SELECT COUNT(DISTINCT c.customerkey) FROM rent_contract c "
                                                      "JOIN cst_custattr a ON a.customerkey = c.customerkey WHERE a.attrkey = 2"))
                                 .toInt();
        QVERIFY(withAttr > 0);
        QCOMPARE(names(t, f.tenantStatement()).size(), withAttr);

        f.allAttributes = true;
        f.allKinds = false;
        f.kindIndex = 3;
        const int entrepreneurs = scalar(t, QStringLiteral("SELECT COUNT(DISTINCT c.customerkey) FROM rent_contract c "
                                                           "JOIN cst_customer u ON u.customerkey = c.customerkey WHERE u.kind = 4"))
                                      .toInt();
        QCOMPARE(names(t, f.tenantStatement()).size(), entrepreneurs);

        // A contract whose disabled flag is NULL is open.
        TxQuery q(t.db());
        q.exec(QStringLiteral("SELECT FIRST 1 c.id, c.customerkey, s.servicekey FROM rent_contract c "
                              "JOIN rent_contractservice s ON s.contractkey = c.id"));
        QVERIFY(q.next());
        const int contract = q.value(0).toInt(), tenant = q.value(1).toInt(), service = q.value(2).toInt();
        q.finish();
        auto hasTenant = [&] {
            TxQuery r(t.db());
            const auto s = customersWithService(service);
            r.exec(s.text(), s.values());
            while (r.next()) {
                if (r.value(0).toInt() == tenant)
                    return true;
            }
            return false;
        };
        TxQuery::execute(t.db(), QStringLiteral("UPDATE rent_contract SET disabled = NULL WHERE id = ?"), {contract});
        QVERIFY(hasTenant());
        TxQuery::execute(t.db(), QStringLiteral("UPDATE rent_contract SET disabled = 1 WHERE customerkey = ?"), {tenant});
        QVERIFY(!hasTenant());
    }
};

#include "tst_customers.moc"

KORVEX_TEST_CLASS(FilterTest)
KORVEX_TEST_CLASS(ClientListTest)
KORVEX_TEST_CLASS(CardTest)
KORVEX_TEST_CLASS(PlacesTest)
KORVEX_TEST_CLASS(AttributesTest)
KORVEX_TEST_CLASS(ChoiceTest)
