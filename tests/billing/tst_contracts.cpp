#include "billingFixture.h"
#include "common/testMain.h"
#include "common/keyedList.h"
#include "common/testServer.h"

#include "billing/boContractService.h"
#include "billing/boRentContract.h"
#include "amount/xAmount.h"
#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xTransaction.h"
#include "shell/DocumentCounter.h"
#include "db/xSqlScript.h"
#include "widgets/xQueryModel.h"
#include "widgets/xSqlFilter.h"

#include <QTest>
#include <QThread>

using namespace korvex::billing;
using namespace korvex::db;
using korvex::shell::TxDocumentCounter;
using korvex::test::TestDatabase;

Q_DECLARE_METATYPE(TContractFilter)

namespace {

QString counter(BillingSession &s)
{
    return s.scalar(QStringLiteral("SELECT optionsvalue FROM fin_options WHERE userkey IS NULL AND name = 'RENTCONTRACTNUMBER'"))
        .toString();
}

// The numbers of the contracts a filter lists, in the list's order.
QStringList listed(TxDatabase &db, const TContractFilter &filter)
{
    const korvex::widgets::TxSqlFilter select = TboRentContract::listStatement(filter);
    const QString order = TboRentContract::listOrder(filter.sortOrder);
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT * FROM (") + select.text() + QStringLiteral(") q")
               + (order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + order),
           select.values());
    QStringList numbers;
    while (q.next())
        numbers << q.value(QStringLiteral("number")).toString().trimmed();
    return numbers;
}

// A position of the contract dialog on an object.
TContractServiceRecord position(int service, std::optional<int> object, const QString &objectName = {})
{
    TContractServiceRecord r;
    r.serviceKey = service;
    r.objectKey = object;
    r.objectName = objectName;
    return r;
}

} // namespace

// The list statement of the contracts page is built from the filter: a
// condition only for each field in use, every value bound, and the order
// apart. Demo contracts: 9 and 12 closed, 12 renewed by 16 (customer 16).
class ContractListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;

private Q_SLOTS:
    void initTestCase() { m_s = std::make_unique<BillingSession>(); }
    void cleanupTestCase() { m_s.reset(); }

    void filter_data()
    {
        QTest::addColumn<TContractFilter>("filter");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("conditions");  // "?" values in the statement
        const QDate today = QDate::currentDate();
        TContractFilter all;
        TContractFilter open = all;
        open.activity = TContractFilter::OpenOnly;
        TContractFilter closed = all;
        closed.activity = TContractFilter::ClosedOnly;
        TContractFilter customer = all;
        customer.allCustomers = false;
        customer.customerKey = 16;
        TContractFilter customerOpen = customer;
        customerOpen.activity = TContractFilter::OpenOnly;
        TContractFilter payment = all;
        payment.allPayments = false;
        payment.paymentKey = 3;
        TContractFilter signed_ = all;
        signed_.signDateUnlimited = false;
        signed_.startSignDate = today.addDays(-130);
        signed_.endSignDate = today.addDays(-90);
        TContractFilter expired = all;
        expired.expireDateUnlimited = false;
        expired.startExpireDate = today.addDays(-200);
        expired.endExpireDate = today;
        TContractFilter bySign = all;
        bySign.allPayments = false;
        bySign.paymentKey = 2;
        bySign.sortOrder = TContractFilter::BySignDate;
        TContractFilter byName = customer;
        byName.sortOrder = TContractFilter::ByName;

        QTest::newRow("closed, by number") << closed << QStringList{"12", "9"} << 1;
        QTest::newRow("one customer") << customer << QStringList{"12", "16"} << 1;
        QTest::newRow("one customer, open") << customerOpen << QStringList{"16"} << 2;
        QTest::newRow("one payment form") << payment << QStringList{"18"} << 1;
        QTest::newRow("signed in a period") << signed_ << QStringList{"14", "15"} << 2;
        QTest::newRow("expired in a period, by number") << expired << QStringList{"12", "9"} << 2;
        QTest::newRow("one payment form, by sign date") << bySign << QStringList{"12", "8", "16", "14", "15", "17"} << 1;
        QTest::newRow("by name") << byName << QStringList{"16", "12"} << 1;
        QTest::newRow("every contract") << all << QStringList{} << 0;
        QTest::newRow("open ones") << open << QStringList{} << 1;
    }
    void filter()
    {
        QFETCH(TContractFilter, filter);
        QFETCH(QStringList, numbers);
        QFETCH(int, conditions);
        const korvex::widgets::TxSqlFilter select = TboRentContract::listStatement(filter);
        QCOMPARE(int(select.values().size()), conditions);
        QCOMPARE(select.text().count(QStringLiteral("WHERE")), conditions > 0 ? 1 : 0);
        const QStringList got = listed(m_s->db(), filter);
        if (!numbers.isEmpty()) {
            QCOMPARE(got, numbers);
            return;
        }
        // The whole list, or its open part: 18 contracts, two of them closed.
        QCOMPARE(got.size(), filter.activity == TContractFilter::OpenOnly ? 16 : 18);
        QVERIFY(filter.activity != TContractFilter::OpenOnly || (!got.contains("9") && !got.contains("12")));
    }

    // The filter is remembered per user under rent_contract_; a flag holds
    // only when stored as 1.
    void filterRemembered()
    {
        {
            TboRentContract bo(m_s->context);
            TContractFilter f = bo.filter();
            QVERIFY(f.signDateUnlimited && f.allCustomers);
            QCOMPARE(f.startSignDate, QDate::currentDate());
            f.allCustomers = false;
            f.customerKey = 7;
            f.sortOrder = TContractFilter::ByCustomer;
            f.activity = TContractFilter::ClosedOnly;
            bo.setFilter(f);
        }
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rent_contract_Customer")), std::optional<int>(0));
        m_s->options.SetIntegerOption(QStringLiteral("rent_contract_signdate"), true, 2);
        TboRentContract again(m_s->context);
        QVERIFY(!again.filter().allCustomers);
        QCOMPARE(again.filter().customerKey, 7);
        QCOMPARE(again.filter().sortOrder, int(TContractFilter::ByCustomer));
        QCOMPARE(again.filter().activity, int(TContractFilter::ClosedOnly));
        QVERIFY(!again.filter().signDateUnlimited);
        QCOMPARE(TboRentContract::listOrder(TContractFilter::Unsorted), QString());
        // An object that only read the filter leaves another one's change.
        {
            TboRentContract reader(m_s->context);
            again.SetSortOrder(TContractFilter::ByName);
        }
        QCOMPARE(TboRentContract(m_s->context).filter().sortOrder, int(TContractFilter::ByName));
    }
};

namespace {

// 700 contracts more, full of ties and NULLs in every column the contracts
// page orders by (names in two letter cases), over the demo customers and
// three more: two of one name and one of none.
const char *const ContractTies = R"(
INSERT INTO cst_customer (customerkey, kind, name) VALUES (9001, 1, 'ООО «Двойник»');
INSERT INTO cst_customer (customerkey, kind, name) VALUES (9002, 1, 'ООО «Двойник»');
INSERT INTO cst_customer (customerkey, kind, name) VALUES (9003, 1, NULL);
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE i INTEGER = 1;
BEGIN
  WHILE (i <= 700) DO
  BEGIN
    INSERT INTO rent_contract (id, customerkey, number, name, signdate, expriredate, actiondate, paymentday,
                               sumncu, sumcurr, disabled, filename)
    VALUES (1000 + :i,
      IIF(MOD(:i, 7) = 0, 9001 + MOD(:i, 3), 1 + MOD(:i, 10)),
      IIF(MOD(:i, 11) = 0, NULL, 'Д-' || MOD(:i * 7, 37)),
      IIF(MOD(:i, 13) = 0, NULL, IIF(MOD(:i, 2) = 0, 'Офис ', 'ОФИС ') || MOD(:i * 5, 29)),
      IIF(MOD(:i, 17) = 0, NULL, DATEADD(MOD(:i * 3, 41) DAY TO DATE '2021-01-01')),
      IIF(MOD(:i, 19) = 0, NULL, DATEADD(MOD(:i, 43) DAY TO DATE '2022-01-01')),
      IIF(MOD(:i, 3) = 0, NULL, DATEADD(MOD(:i, 5) DAY TO DATE '2022-06-01')),
      IIF(MOD(:i, 23) = 0, NULL, MOD(:i, 28) + 1),
      IIF(MOD(:i, 29) = 0, NULL, MOD(:i * 31, 200) * 0.5),
      IIF(MOD(:i, 31) = 0, NULL, MOD(:i, 9) * 10.25),
      IIF(MOD(:i, 37) = 0, NULL, IIF(MOD(:i, 5) = 0, 1, 0)),
      IIF(MOD(:i, 4) = 0, 'C:\Договоры\' || MOD(:i, 6) || '.rtf', NULL));
    i = i + 1;
  END
END^
SET TERM ; ^
)";

// The fields whose titles the contracts page shows, each of which sorts the list.
const char *const TitledFields[] = {"number", "customercal", "name", "signdate", "expriredate", "actiondate",
                                    "paymentday", "sumncu", "sumcurr", "disabled", "filename"};

} // namespace

// Keyed by the contract, the contracts page's list reads, from any row on and
// from its end, the rows its statement gives in the order the server gives
// them: for every order of the sort menu and every title in both directions,
// through ties and NULLs, with the filter's values bound or not.
class ContractKeyedListTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;

private Q_SLOTS:
    void initTestCase()
    {
        m_s = std::make_unique<BillingSession>();
        TxSqlScript::run(m_s->db(), QString::fromUtf8(ContractTies), QStringLiteral("contract ties"));
    }
    void cleanupTestCase() { m_s.reset(); }

    void sameRowsAsTheStatement_data()
    {
        QTest::addColumn<TContractFilter>("filter");
        QTest::addColumn<QString>("sortField");  // a title clicked; empty: the menu's order
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("serverOrder");  // the same order, as the server is asked for it

        const TContractFilter all;
        for (int order = TContractFilter::ByNumber; order <= TContractFilter::Unsorted; ++order) {
            TContractFilter f = all;
            f.sortOrder = order;
            const QString field = TboRentContract::listOrder(order);
            QTest::addRow("menu: %s", field.isEmpty() ? "unsorted" : qPrintable(field))
                << f << QString() << false << (field.isEmpty() ? QStringLiteral("id") : field + QStringLiteral(", id"));
        }
        for (const char *field : TitledFields) {
            for (const bool descending : {false, true}) {
                const QString dir = descending ? QStringLiteral(" DESC") : QString();
                QTest::addRow("title: %s%s", field, descending ? " descending" : "")
                    << all << QString::fromLatin1(field) << descending
                    << QString::fromLatin1(field) + dir + QStringLiteral(", id") + dir;
            }
        }
        TContractFilter open = all;
        open.activity = TContractFilter::OpenOnly;
        QTest::newRow("open ones, title: signdate descending")
            << open << QStringLiteral("signdate") << true << QStringLiteral("signdate DESC, id DESC");
        TContractFilter signed_ = all;
        signed_.signDateUnlimited = false;
        signed_.startSignDate = QDate(2021, 1, 5);
        signed_.endSignDate = QDate(2021, 2, 1);
        signed_.sortOrder = TContractFilter::ByCustomer;
        QTest::newRow("signed in a period, menu: customer")
            << signed_ << QString() << false << QStringLiteral("customercal, id");
        TContractFilter customer = all;
        customer.allCustomers = false;
        customer.customerKey = 9001;
        customer.sortOrder = TContractFilter::ByName;
        QTest::newRow("one customer, title: sumncu") << customer << QStringLiteral("sumncu") << false
                                                     << QStringLiteral("sumncu, id");
    }
    void sameRowsAsTheStatement()
    {
        QFETCH(TContractFilter, filter);
        QFETCH(QString, sortField);
        QFETCH(bool, descending);
        QFETCH(QString, serverOrder);

        // The truth: the statement run whole in the server's order, with the
        // value of the order's first field.
        const korvex::widgets::TxSqlFilter statement = TboRentContract::listStatement(filter);
        const QString firstField = serverOrder.section(QLatin1Char(','), 0, 0).section(QLatin1Char(' '), 0, 0);
        QList<int> expected;
        QList<QVariant> firstValues;
        TxQuery all(m_s->db());
        all.exec(QStringLiteral("SELECT q.id, q.%1 AS firstvalue FROM (%2) q ORDER BY %3").arg(firstField, statement.text(), serverOrder),
                 statement.values());
        while (all.next()) {
            expected << all.value(0).toInt();
            firstValues << all.value(1);
        }
        QVERIFY2(expected.size() > 30, qPrintable(QString::number(expected.size())));

        // The list as the page sets it.
        korvex::widgets::TxQueryModel model(m_s->db());
        model.setStatement(statement, TboRentContract::listOrder(filter.sortOrder));
        model.setKeyField(TboRentContract::listKey());
        model.open();
        if (!sortField.isEmpty())
            model.sort(model.fieldIndex(sortField), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        QCOMPARE(korvex::test::wholeList(model), expected);

        // Ends, chunk borders, the middle, the first and last rows of NULLs
        // and of the longest run of one value.
        QList<int> at{0, 1, int(expected.size()) / 2, int(expected.size()) - 2, int(expected.size()) - 1};
        if (expected.size() > 256)
            at << 254 << 255 << 256;
        const auto nulls = std::count_if(firstValues.cbegin(), firstValues.cend(), [](const QVariant &v) { return v.isNull(); });
        if (nulls > 0) {
            const int first = int(std::find_if(firstValues.cbegin(), firstValues.cend(), [](const QVariant &v) { return v.isNull(); })
                                  - firstValues.cbegin());
            at << first << first + int(nulls) - 1;  // NULLs come together, first or last
        }
        int runStart = 0, bestStart = 0, bestLength = 1;
        for (int i = 1; i <= firstValues.size(); ++i) {
            if (i < firstValues.size() && !firstValues.at(i).isNull() && firstValues.at(i) == firstValues.at(runStart))
                continue;
            if (i - runStart > bestLength) {
                bestStart = runStart;
                bestLength = i - runStart;
            }
            runStart = i;
        }
        at << bestStart << bestStart + bestLength - 1;
        for (const int index : std::as_const(at)) {
            const int key = expected.at(index);
            model.requery();
            const int found = model.locate(TboRentContract::listKey(), key);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("contract %1").arg(key)));
            int row = -1;
            QCOMPARE(korvex::test::wholeList(model, &row, key), expected);
            QCOMPARE(row, index);
        }

        model.openAtEnd();
        QCOMPARE(model.value(model.rowCount() - 1, TboRentContract::listKey()).toInt(), expected.last());
        QCOMPARE(korvex::test::wholeList(model), expected);
    }
};

// The document counter only moves forward: a document numbered n makes it
// max(counter, n + 1), in the writer's transaction.
class DocumentCounterTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;

private Q_SLOTS:
    void init() { m_s = std::make_unique<BillingSession>(TestDatabase::Content::Schema); }
    void cleanup() { m_s.reset(); }

    void integerNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("value");  // -1000: none
        QTest::newRow("digits") << "15" << 15;
        QTest::newRow("blanks and zeros") << " 015 " << 15;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("letters") << "15a" << -1000;
        QTest::newRow("empty") << "" << -1000;
        QTest::newRow("no next number") << "2147483647" << -1000;
    }
    void integerNumber()
    {
        QFETCH(QString, number);
        QFETCH(int, value);
        const std::optional<int> n = TxDocumentCounter::integerNumber(number);
        QCOMPARE(n.value_or(-1000), value);
    }

    void onlyForward()
    {
        const TxDocumentCounter c(m_s->options, QStringLiteral("rentcontractnumber"));
        QCOMPARE(c.proposal(), QStringLiteral("1"));
        QVERIFY(c.advancePast(QStringLiteral("15")));
        QCOMPARE(c.proposal(), QStringLiteral("16"));
        QVERIFY(c.advancePast(QStringLiteral("5")));  // an old document edited
        QCOMPARE(c.proposal(), QStringLiteral("16"));
        QVERIFY(!c.advancePast(QStringLiteral("Д-5")));
        QCOMPARE(c.proposal(), QStringLiteral("16"));
        // A value that is no integer option counts as absent.
        m_s->options.SetStringOption(QStringLiteral("rentcontractnumber"), false, QStringLiteral("40"));
        QVERIFY(c.advancePast(QStringLiteral("3")));
        QCOMPARE(c.proposal(), QStringLiteral("4"));
        TxQuery::execute(m_s->db(), QStringLiteral("UPDATE fin_options SET optionsvalue = 'x' WHERE name = 'RENTCONTRACTNUMBER'"));
        QVERIFY(c.advancePast(QStringLiteral("8")));
        QCOMPARE(c.proposal(), QStringLiteral("9"));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM fin_options WHERE name = 'RENTCONTRACTNUMBER'")).toInt(), 1);
    }

    // The counter is part of the document's write: undone with it.
    void inCallersTransaction()
    {
        const TxDocumentCounter c(m_s->options, QStringLiteral("invoicenumber"));
        {
            TxWriteScope scope(m_s->db());
            c.advancePast(QStringLiteral("41"));
        }
        QVERIFY(!m_s->db().inTransaction());
        QCOMPARE(c.proposal(), QStringLiteral("1"));
    }

    // Two workstations save at once on the server: the second waits for the
    // first and then either raises the counter past both numbers or fails
    // with a lock conflict, leaving the first's; it never moves the counter
    // back nor leaves both at the same next number.
    void concurrentSaves_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("second higher") << 25 << 30;
        QTest::newRow("second lower") << 30 << 25;
    }
    void concurrentSaves()
    {
        if (korvex::test::TestServerDatabase::host().isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        QFETCH(int, first);
        QFETCH(int, second);
        korvex::test::TestServerDatabase server;
        const QString name = QStringLiteral("rentcontractnumber");
        TxDatabase &a = server.admin();
        a.startTransaction();
        TxDocumentCounter::advancePast(a, name, QString::number(first));

        // The second workstation: its own connection on its own thread, so
        // that it can wait for the first.
        QString failure;
        bool conflict = false;
        bool committed = false;
        QThread *other = QThread::create([&] {
            TxDatabase b(QStringLiteral("counter-b"));
            try {
                b.open(server.params(), server.adminAccount(), server.adminPassword());
                b.startTransaction();
                TxDocumentCounter::advancePast(b, name, QString::number(second));
                b.commit();
                committed = true;
            } catch (const EDatabaseError &e) {
                failure = e.message();
                conflict = e.isLockConflict();
            }
        });
        other->start();
        QVERIFY(!other->wait(500));  // waits on the first one's row
        a.commit();
        QVERIFY(other->wait(30000));
        delete other;

        const int stored = TxQuery::scalar(a, QStringLiteral("SELECT optionsvalue FROM fin_options WHERE name = 'RENTCONTRACTNUMBER'"))
                               .toInt();
        QVERIFY2(committed || conflict, qPrintable(failure));
        QCOMPARE(stored, committed ? qMax(first, second) + 1 : first + 1);
    }
};

// Saving a contract writes the contract with its positions and supplements
// in one transaction, keeps the objects' occupancy and sums the contract.
class ContractSaveTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;
    std::unique_ptr<FakeBillingDialogs> m_dialogs;
    std::unique_ptr<TboRentContract> m_bo;

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<BillingSession>();
        m_dialogs = std::make_unique<FakeBillingDialogs>();
        m_bo = std::make_unique<TboRentContract>(m_s->context, m_dialogs.get());
    }
    void cleanup()
    {
        m_bo.reset();
        m_dialogs.reset();
        m_s.reset();
    }

    void newContract()
    {
        TContractEdit edit = m_bo->newContract();
        QCOMPARE(edit.contract.number, QStringLiteral("19"));  // the demo's counter
        QCOMPARE(edit.contract.paymentDay, std::optional<int>(10));
        QCOMPARE(edit.contract.currKey, std::optional<int>(2));
        QCOMPARE(edit.contract.signDate, QDate::currentDate());
        QVERIFY(edit.contract.id > 18);
        edit.contract.customerKey = 11;
        TContractServiceRecord office = position(2, 14, QStringLiteral("Немига, оф. 303"));
        office.costNcu = 100;
        office.costCurr = 30;
        TContractServiceRecord waste = position(10, std::nullopt);
        waste.costNcu = 35;
        edit.services = {office, waste};
        edit.supplements = {TSupplementRecord{0, QStringLiteral("1"), QDate::currentDate(), QStringLiteral("Акт"), {}, {}}};
        edit.typedRates = {{2, QDate::currentDate(), 3.31}};
        const int key = m_bo->writeContract(edit);
        QCOMPARE(key, edit.contract.id);
        QVERIFY(edit.services.at(0).id > 0 && edit.services.at(1).id > 0);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contractservice WHERE contractkey = ?"), {key}).toInt(), 2);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_supplement WHERE contractkey = ?"), {key}).toInt(), 1);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT sumncu FROM rent_contract WHERE id = ?"), {key}).toDouble(), 135.0);
        QCOMPARE(m_s->useful(14), 1);
        QCOMPARE(counter(*m_s), QStringLiteral("20"));
        QCOMPARE(m_bo->rateOn(2, QDate::currentDate()), 3.31);
        QVERIFY(!m_s->db().inTransaction());

        // Editing an old contract numbered 5 never brings number 6 back.
        std::optional<TContractEdit> old = m_bo->readContract(5);
        QVERIFY(old);
        old->contract.name = QStringLiteral("Склад С-1 (новый срок)");
        m_bo->writeContract(*old);
        QCOMPARE(counter(*m_s), QStringLiteral("20"));
        // A number that is no integer leaves the counter alone.
        old->contract.number = QStringLiteral("5/А");
        m_bo->writeContract(*old);
        QCOMPARE(counter(*m_s), QStringLiteral("20"));
    }

    // An object another open contract rents refuses the save with its name;
    // nothing is written. A closed contract is not checked and leaves its
    // objects unmarked.
    void occupancy()
    {
        TContractEdit edit = m_bo->newContract();
        edit.contract.customerKey = 11;
        edit.services = {position(2, 8, QStringLiteral("Немига, оф. 201")), position(11, 38, QStringLiteral("Склад С-2"))};
        try {
            m_bo->writeContract(edit);
            QFAIL("the save was not refused");
        } catch (const EBusinessError &e) {
            QCOMPARE(e.message(), QStringLiteral("Договор не может быть открытым, т.к. объекты: Немига, оф. 201  уже "
                                                 "используются в других договорах"));
        }
        QVERIFY(!m_s->scalar(QStringLiteral("SELECT 1 FROM rent_contract WHERE id = ?"), {edit.contract.id}).isValid());
        QCOMPARE(m_s->useful(38), 0);
        QCOMPARE(edit.services.at(0).id, 0);
        QVERIFY(!m_s->db().inTransaction());

        edit.contract.disabled = true;
        m_bo->writeContract(edit);
        QCOMPARE(m_s->useful(38), 0);
        QCOMPARE(m_s->useful(8), 1);
        // Opening it again is refused while office 201 is rented.
        edit.kind = TContractEdit::Kind::Edit;
        edit.contract.disabled = false;
        QVERIFY_THROWS_EXCEPTION(EBusinessError, m_bo->writeContract(edit));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = ?"), {edit.contract.id}).toInt(), 1);
    }

    // The contract's own objects do not count as used elsewhere; objects an
    // edit takes away are freed, those it keeps stay marked.
    void editOwnObjects()
    {
        std::optional<TContractEdit> edit = m_bo->readContract(7);  // offices 32 and parking place 42
        QVERIFY(edit);
        QVERIFY(m_bo->objectAvailable(32, *edit));
        QVERIFY(!m_bo->objectAvailable(8, *edit));
        QVERIFY(m_bo->objectAvailable(38, *edit));
        edit->services.removeIf([](const TContractServiceRecord &r) { return r.objectKey == 42; });
        m_bo->writeContract(*edit);
        QCOMPARE(m_s->useful(32), 1);
        QCOMPARE(m_s->useful(42), 0);
    }

    // Releasing a contract's objects frees only those no other open contract
    // rents; deleting an open contract frees its objects.
    void releaseShared()
    {
        TxQuery::execute(m_s->db(), QStringLiteral("INSERT INTO rent_contractservice (contractkey, servicekey, objectkey) "
                                                   "VALUES (3, 11, 8)"));  // contract 3 shares office 201 with contract 1
        QVERIFY(m_bo->CloseContract(1, false));
        QCOMPARE(m_s->useful(8), 1);   // still rented by contract 3
        QCOMPARE(m_s->useful(11), 0);  // office 204: contract 1 only
        QVERIFY(!m_bo->CloseContract(1, false));  // already closed

        QCOMPARE(m_s->useful(37), 1);
        QVERIFY(m_bo->DeleteContract(5));  // the warehouse contract, never billed
        QCOMPARE(m_s->useful(37), 0);
        QVERIFY(!m_bo->DeleteContract(2));  // billed: kept, objects kept
        QCOMPARE(m_dialogs->prompts.messages.last().text, QStringLiteral("Договор уже где-то используется"));
        QCOMPARE(m_s->useful(5), 1);
    }

    // "Закрыть договор?" first; a closed contract cannot be closed again.
    void closeAsks()
    {
        m_dialogs->prompts.answer = false;
        QVERIFY(!m_bo->CloseContract(4, true));
        QCOMPARE(m_dialogs->prompts.messages.last().text, QStringLiteral("Закрыть договор?"));
        QCOMPARE(m_dialogs->prompts.messages.last().caption, QStringLiteral("Внимание!"));
        m_dialogs->prompts.answer = true;
        QVERIFY(m_bo->CloseContract(4, true));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = 4")).toInt(), 1);
        QCOMPARE(m_s->useful(30), 0);
        QCOMPARE(m_s->useful(40), 0);
    }

    // Renewal: the new contract is the old one, open, with its end date and
    // positions; saving closes the old one with the shortened end date and
    // marks the objects for the new one. A cancelled renewal changes
    // nothing; a closed contract is not renewed.
    void renewal()
    {
        m_s->options.SetIntegerOption(QStringLiteral("rentCountContractDay"), false, 3);
        const QDate oldEnd = m_s->scalar(QStringLiteral("SELECT expriredate FROM rent_contract WHERE id = 4")).toDate();
        QVERIFY(!m_bo->RenewContract(4));  // cancelled
        QCOMPARE(m_dialogs->contractDialogs, 1);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = 4")).toInt(), 0);
        QCOMPARE(m_s->useful(30), 1);

        std::optional<TContractEdit> asked;
        m_dialogs->onContract = [&](TboRentContract &bo, TContractEdit &edit, int &saved) {
            asked = edit;
            return saveAsGiven(bo, edit, saved);
        };
        int renewed = 0;
        QVERIFY(m_bo->RenewContract(4, &renewed));
        QVERIFY(asked);
        QCOMPARE(asked->kind, TContractEdit::Kind::Renewal);
        QVERIFY(!asked->contract.disabled);
        QCOMPARE(asked->contract.expireDate, oldEnd);
        QCOMPARE(asked->contract.signDate, QDate::currentDate());
        QCOMPARE(asked->services.size(), 6);
        QCOMPARE(renewed, asked->contract.id);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = 4")).toInt(), 1);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT expriredate FROM rent_contract WHERE id = 4")).toDate(),
                 QDate::currentDate().addDays(-3));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = ?"), {renewed}).toInt(), 0);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contractservice WHERE contractkey = ?"), {renewed}).toInt(), 6);
        QCOMPARE(m_s->useful(30), 1);
        QCOMPARE(m_s->useful(40), 1);

        QVERIFY(!m_bo->RenewContract(9));  // closed
        QCOMPARE(m_dialogs->contractDialogs, 2);
    }

    // A position the server keeps (billed) may not go; one never billed may.
    void positionDeletable()
    {
        QVERIFY(!m_bo->mayDeletePosition(1));
        QVERIFY(m_bo->mayDeletePosition(4));
        QVERIFY(m_bo->mayDeletePosition(0));
    }

    // The quick list writes its edits in one transaction, and the counter
    // follows the numbers.
    void quickList()
    {
        QList<TContractListRow> rows = m_bo->readOpenContracts();
        QCOMPARE(rows.size(), 16);
        rows[0].number = QStringLiteral("40");
        rows[1].number = QStringLiteral("123456789");  // longer than the column
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_bo->writeContractList({rows.at(0), rows.at(1)}));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT number FROM rent_contract WHERE id = ?"), {rows.at(0).id}).toString(),
                 QStringLiteral("1"));
        QCOMPARE(counter(*m_s), QStringLiteral("19"));
        rows[1].number = QStringLiteral("3");
        m_bo->writeContractList({rows.at(0), rows.at(1)});
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT number FROM rent_contract WHERE id = ?"), {rows.at(0).id}).toString(),
                 QStringLiteral("40"));
        QCOMPARE(counter(*m_s), QStringLiteral("41"));
    }

    // "Выбор услуг": ticked "Активные договора" keeps to open contracts; the
    // priority limits the services (20 for a text that is no number).
    void choosePositions_data()
    {
        QTest::addColumn<int>("contract");
        QTest::addColumn<bool>("openOnly");
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("all contracts") << -1 << false << "10" << QList<int>{37, 42, 43};
        QTest::newRow("open contracts") << -1 << true << "10" << QList<int>{42, 43};
        QTest::newRow("one contract") << 12 << false << "10" << QList<int>{37};
        QTest::newRow("closed contract, open only") << 12 << true << "10" << QList<int>{};
        QTest::newRow("no contract") << 0 << false << "10" << QList<int>{};
        QTest::newRow("priority 1") << -1 << false << "1" << QList<int>{37, 42};
        QTest::newRow("priority no number") << -1 << false << "x" << QList<int>{37, 42, 43};
    }
    void choosePositions()
    {
        QFETCH(int, contract);
        QFETCH(bool, openOnly);
        QFETCH(QString, priority);
        QFETCH(QList<int>, positions);
        const korvex::widgets::TxSqlFilter select = TboRentContract::choiceStatement(16, contract, openOnly, priority);
        TxQuery q(m_s->db());
        q.exec(select.text() + QStringLiteral(" ORDER BY cs.id"), select.values());
        QList<int> got;
        while (q.next())
            got << q.value(0).toInt();
        QCOMPARE(got, positions);
    }

    void chooseThroughPort()
    {
        QStringList keys{QStringLiteral("old")};
        QVERIFY(!m_bo->ChooseContractServices(0, true, keys));
        QCOMPARE(keys, QStringList{QStringLiteral("old")});
    }
};

// The guard g of the contract dialog: every change of a price converts the
// other one at the rate, and a converted value does not convert back.
class PriceGuardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void guard_data()
    {
        // Rows: 0 a currency service, 1 a service in roubles, both starting
        // with NCU 0 and currency 0; ops: "ncu|curr row value", "list row
        // ncu curr" (price list), "ncurate|currrate row text", "rate value".
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QList<double>>("prices");  // row 0 NCU, currency, row 1 NCU, currency
        QTest::addColumn<int>("guard");
        QTest::newRow("NCU typed, currency service") << QStringList{"rate 30", "ncu 0 300"} << QList<double>{300, 10, 0, 0} << -1;
        QTest::newRow("currency typed, currency service") << QStringList{"rate 30", "curr 0 10"}
                                                          << QList<double>{300, 10, 0, 0} << -1;
        QTest::newRow("price list, both prices") << QStringList{"rate 30", "list 0 250 10"}
                                                 << QList<double>{300, 10, 0, 0} << -1;
        QTest::newRow("price list, NCU price only") << QStringList{"rate 30", "list 0 300 0"}
                                                    << QList<double>{300, 10, 0, 0} << -1;
        QTest::newRow("NCU on a rouble service, then currency elsewhere stays")
            << QStringList{"rate 30", "ncu 1 100", "curr 0 10"} << QList<double>{0, 10, 100, 0} << -1;
        QTest::newRow("NCU on a rouble service keeps g 0") << QStringList{"rate 30", "ncu 1 100"}
                                                           << QList<double>{0, 0, 100, 0} << 0;
        QTest::newRow("currency on a rouble service is cleared") << QStringList{"rate 30", "curr 1 10"}
                                                                 << QList<double>{0, 0, 0, 0} << -1;
        QTest::newRow("no rate") << QStringList{"ncu 0 300"} << QList<double>{300, 0, 0, 0} << -1;
        QTest::newRow("NCU by the rate") << QStringList{"rate 30", "curr 0 10", "rate 31", "ncurate 0 31"}
                                         << QList<double>{310, 10, 0, 0} << -1;
        QTest::newRow("NCU by a rate that is no number") << QStringList{"rate 30", "curr 0 10", "ncurate 0 abc"}
                                                         << QList<double>{0, 0, 0, 0} << -1;
        QTest::newRow("currency by the rate, rouble service untouched")
            << QStringList{"rate 20", "ncu 0 300", "ncu 1 50", "currrate 0 30", "currrate 1 30"}
            << QList<double>{300, 10, 50, 0} << -1;
    }
    void guard()
    {
        QFETCH(QStringList, ops);
        QFETCH(QList<double>, prices);
        QFETCH(int, guard);
        TContractServiceModel model;
        TContractServiceRecord curr;
        curr.currService = true;
        model.appendRecord(curr);
        model.appendRecord(TContractServiceRecord{});
        for (const QString &op : ops) {
            const QStringList w = op.split(QLatin1Char(' '));
            const int row = w.size() > 1 ? w.at(1).toInt() : 0;
            if (w.at(0) == QLatin1String("rate"))
                model.conversion().setRate(w.at(1).toDouble());
            else if (w.at(0) == QLatin1String("ncu"))
                model.setNcu(row, w.at(2).toDouble());
            else if (w.at(0) == QLatin1String("curr"))
                model.setCurr(row, w.at(2).toDouble());
            else if (w.at(0) == QLatin1String("list"))
                model.takePriceListPrices(row, TPriceListEntry{w.at(2).toDouble(), w.at(3).toDouble(), 0, false});
            else if (w.at(0) == QLatin1String("ncurate"))
                model.ncuFromRate(row, w.at(2));
            else if (w.at(0) == QLatin1String("currrate"))
                model.currFromRate(row, w.at(2));
        }
        const QList<double> got{model.records().at(0).costNcu, model.records().at(0).costCurr,
                                model.records().at(1).costNcu, model.records().at(1).costCurr};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(korvex::amount::sameAmount(got.at(i), prices.at(i)),
                     qPrintable(QStringLiteral("price %1: %2, expected %3").arg(i).arg(got.at(i)).arg(prices.at(i))));
        QCOMPARE(model.conversion().guard(), guard);
    }

    // A price typed into the grid goes through the guard; passing through a
    // cell converts nothing.
    void typedInGrid()
    {
        TContractServiceModel model;
        TContractServiceRecord r;
        r.currService = true;
        r.costCurr = 10;
        model.appendRecord(r);
        model.conversion().setRate(30);
        const QModelIndex ncu = model.index(0, TContractServiceModel::NcuColumn);
        QVERIFY(model.setData(ncu, model.data(ncu, Qt::EditRole)));
        QCOMPARE(model.records().at(0).costCurr, 10.0);
        QVERIFY(model.setData(ncu, QStringLiteral("1 500,5")));
        QCOMPARE(model.records().at(0).costNcu, 1500.5);
        QVERIFY(korvex::amount::sameAmount(model.records().at(0).costCurr, 50.02));
        QVERIFY(!model.setData(ncu, QStringLiteral("много")));
    }
};

KORVEX_TEST_CLASS(ContractListTest)
KORVEX_TEST_CLASS(ContractKeyedListTest)
KORVEX_TEST_CLASS(DocumentCounterTest)
KORVEX_TEST_CLASS(ContractSaveTest)
KORVEX_TEST_CLASS(PriceGuardTest)

#include "tst_contracts.moc"
