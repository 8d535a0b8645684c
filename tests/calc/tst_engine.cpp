#include "common/testMain.h"
#include "common/testPrompt.h"
#include "common/whenModal.h"
#include "reference/referenceFixture.h"

#include "calc/ui/dlgRentChooseVariable.h"
#include "pricing/boRentReckoning.h"
#include "pricing/ui/dlgRentCSReckoning.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace korvex::calc;
using namespace korvex::db;
using korvex::test::TestDatabase;
using korvex::test::whenModal;
using korvex::widgets::TxMessages;
using korvex::test::TxPromptRecorder;

namespace {

// Object 11 (coefficients 1.5, none, 2) in building 10; the position: service
// 1 (not a currency service), 3 objects, contract 1 of customer 1. Price list
// 50 / 5 for any object; today's USD rate 30 through option rentcurrkey;
// ПЛОЩАДЬ 40 set for the building, ПУСТО with an unset value for the room;
// a debt of 12.5 / 1.25; a service value 7; two readings, 3 and 4.
// steps: "NAME|FORMULA[|ROUNDING]" of type 1 (none: the position has no type).
void buildPosition(ReferenceSession &s, const QStringList &steps, bool ncuFirst, double costNcu, double costCurr)
{
    TxDatabase &db = s.t.db();
    const QStringList fixture = {
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (1, 'Рубль', 'BYN', 1)",
        "INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (2, 'Доллар', 'USD', 0)",
        "INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (2, 1, CURRENT_DATE - 3, 30)",
        "INSERT INTO cst_customer (customerkey, name, kind) VALUES (1, 'ООО Первый', 1)",
        "INSERT INTO rent_object (id, parent, name, coef1, coef2, coef3) VALUES (10, NULL, 'Корпус', 1, 1, 1)",
        "INSERT INTO rent_object (id, parent, name, coef1, coef2, coef3) VALUES (11, 10, 'Комната', 1.5, NULL, 2)",
        "INSERT INTO rent_service (id, name, currservice) VALUES (1, 'Аренда', 0)",
        "INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (1, 1, 2, '1')",
        "INSERT INTO rent_typereckoning (id, name) VALUES (1, 'Тип')",
        "INSERT INTO rent_servicecost (id, servicekey, objectkey, costncu, costcurr) VALUES (1, 1, NULL, 50, 5)",
        "INSERT INTO rent_variable (id, name, lockobject) VALUES (1, 'ПЛОЩАДЬ', 1)",
        "INSERT INTO rent_variable (id, name, lockobject) VALUES (2, 'ПУСТО', 1)",
        "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (1, 1, 10, 40)",
        "INSERT INTO rent_valuevariable (id, variablekey, objectkey, valuevariable) VALUES (2, 2, 11, NULL)",
        "INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (1, 1, CURRENT_DATE - 10, 7)",
    };
    for (const QString &sql : fixture)
        TxQuery::execute(db, sql);
    for (int i = 0; i < steps.size(); ++i) {
        const QStringList parts = steps.at(i).split(QLatin1Char('|'));
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) "
                                        "VALUES (?, 1, ?, ?, ?, ?)"),
                         {i + 1, i + 1, parts.at(0), parts.at(1),
                          parts.size() > 2 ? QVariant(parts.at(2).toDouble()) : QVariant()});
    }
    TxQuery::execute(db,
                     QStringLiteral("INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, "
                                    "costcurr, typereckoningkey, ncureckoning, countobject) VALUES (1, 1, 1, 11, ?, ?, ?, ?, 3)"),
                     {costNcu, costCurr, steps.isEmpty() ? QVariant() : QVariant(1), ncuFirst ? 1 : 0});
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) "
                                        "VALUES (1, 1, CURRENT_DATE - 1, 12.5, 1.25)"));
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_contractservicevalue (id, contractservicekey, "
                                        "contractservicedate, contractservicevalue) VALUES (1, 1, CURRENT_DATE - 5, 3)"));
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_contractservicevalue (id, contractservicekey, "
                                        "contractservicedate, contractservicevalue) VALUES (2, 1, CURRENT_DATE - 4, 4)"));
    s.options.SetIntegerOption(QStringLiteral("rentcurrkey"), false, 2);
}

// Exact: a cached run must give the very same double.
QString exact(double v)
{
    return shortestDecimalText(v);
}

const QString CurrencyService = QStringLiteral("UPDATE rent_service SET currservice = 1");
const QString NoCurrencyOption = QStringLiteral("DELETE FROM fin_options WHERE name = 'RENTCURRKEY'");

} // namespace

// Pricing one position: the formulas, the built-in names, rounding, rates
// and the two prices made consistent. Every case runs once on its own and
// once inside a pricing run, which must not change any answer.
class ReckonEngineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reckon_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("ncuFirst");
        QTest::addColumn<double>("givenRate");
        QTest::addColumn<QStringList>("changes");  // statements run on the fixture
        QTest::addColumn<bool>("separate");        // the test button: the type into a value of its own
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("ncu");  // or the separate value
        QTest::addColumn<double>("curr");
        QTest::addColumn<QString>("reason");  // a part of the failure's reason

        const QStringList none;
        const QStringList plusOne{"А|ЦЕНАРУБ+1", "Б|ЦЕНАРУБ+1"};
        QTest::newRow("step result named in the next") << QStringList{"БАЗА|ЦЕНАРУБ*2", "ИТОГ|БАЗА+1"} << true << 0.0
                                                     << none << false << true << 201.0 << 7.0 << QString();
        QTest::newRow("ЦЕНАРУБ is the running price") << plusOne << true << 0.0 << none << false << true << 102.0 << 7.0
                                                     << QString();
        QTest::newRow("test button keeps the row's price") << plusOne << true << 0.0 << none << true << true << 101.0
                                                          << 0.0 << QString();
        QTest::newRow("rounding 10 of 1234.5") << QStringList{"ИТОГ|1234.5|10"} << true << 0.0 << none << false << true
                                               << 1230.0 << 7.0 << QString();
        QTest::newRow("rounding 10 of 125") << QStringList{"ИТОГ|125|10"} << true << 0.0 << none << false << true << 130.0
                                            << 7.0 << QString();
        QTest::newRow("rounding 10 of -125") << QStringList{"ИТОГ|-125|10"} << true << 0.0 << none << false << true
                                             << -120.0 << 7.0 << QString();
        QTest::newRow("rounding 0.4 is no step") << QStringList{"ИТОГ|1234.5|0.4"} << true << 0.0 << none << false << true
                                                 << 1234.5 << 7.0 << QString();
        QTest::newRow("rounding 10.4 is a step of 10") << QStringList{"ИТОГ|1234.5|10.4"} << true << 0.0 << none << false
                                                       << true << 1230.0 << 7.0 << QString();
        QTest::newRow("beyond the rounding guard") << QStringList{"ИТОГ|30000000005|10"} << true << 0.0 << none << false
                                                   << true << 30000000005.0 << 7.0 << QString();
        QTest::newRow("КУРС of option rentcurrkey") << QStringList{"ИТОГ|ЦЕНАРУБ*КУРС"} << true << 0.0 << none << false
                                                    << true << 3000.0 << 7.0 << QString();
        QTest::newRow("КУРС given") << QStringList{"ИТОГ|ЦЕНАРУБ*КУРС"} << true << 2.5 << none << false << true << 250.0
                                    << 7.0 << QString();
        QTest::newRow("КУРС without option") << QStringList{"ИТОГ|ЦЕНАРУБ*КУРС"} << true << 0.0
                                             << QStringList{NoCurrencyOption} << false << false << 0.0 << 0.0
                                             << QStringLiteral("rentcurrkey");
        QTest::newRow("КУРС without a rate") << QStringList{"ИТОГ|ЦЕНАРУБ*КУРС"} << true << 0.0
                                             << QStringList{"DELETE FROM fin_currrate"} << false << false << 0.0 << 0.0
                                             << QStringLiteral("нет курса валюты USD");
        QTest::newRow("курс in lower case") << QStringList{"ИТОГ|ЦЕНАРУБ*курс"} << true << 0.0 << none << false << false
                                            << 0.0 << 0.0 << QStringLiteral("Unknown identifier: курс");
        QTest::newRow("currency service, currency first") << QStringList{"ИТОГ|10"} << false << 0.0
                                                         << QStringList{CurrencyService} << false << true << 300.0
                                                         << 10.0 << QString();
        QTest::newRow("currency service without a rate") << QStringList{"ИТОГ|10"} << false << 0.0
                                                        << QStringList{CurrencyService, NoCurrencyOption} << false
                                                        << false << 0.0 << 0.0 << QStringLiteral("rentcurrkey");
        QTest::newRow("currency first without a rate") << QStringList{"ИТОГ|10"} << false << 0.0
                                                      << QStringList{NoCurrencyOption} << false << false << 0.0 << 0.0
                                                      << QStringLiteral("рублевую цену нельзя получить");
        QTest::newRow("currency first at today's rate") << QStringList{"ИТОГ|10"} << false << 0.0 << none << false << true
                                                       << 300.0 << 10.0 << QString();
        QTest::newRow("no type on a currency service") << none << true << 30.0 << QStringList{CurrencyService} << false
                                                      << true << 100.0 << 100.0 / 30 << QString();
        QTest::newRow("no type, no rate") << none << true << 0.0 << QStringList{CurrencyService, NoCurrencyOption}
                                          << false << true << 100.0 << 7.0 << QString();
        QTest::newRow("user variable over a step") << QStringList{"ПЛОЩАДЬ|5", "ИТОГ|ПЛОЩАДЬ*2"} << true << 0.0 << none
                                                   << false << true << 80.0 << 7.0 << QString();
        QTest::newRow("step named КУРС") << QStringList{"КУРС|7", "ИТОГ|КУРС*2"} << true << 30.0 << none << false << true
                                         << 60.0 << 7.0 << QString();
        QTest::newRow("variable without a value") << QStringList{"ИТОГ|ПУСТО*2"} << true << 0.0 << none << false << false
                                                  << 0.0 << 0.0 << QStringLiteral("нет значения переменной ПУСТО");
        QTest::newRow("unknown name") << QStringList{"ИТОГ|1E+2*НЕТТАКОЙ"} << true << 0.0 << none << false << false << 0.0
                                      << 0.0 << QStringLiteral("Позиция 1 (ИТОГ): Unknown identifier: НЕТТАКОЙ");
        QTest::newRow("price list") << QStringList{"ИТОГ|ЦЕНАПРАЙСРУБ*КОЛОБЪЕКТ+ЦЕНАПРАЙСВАЛ"} << true << 0.0 << none
                                    << false << true << 155.0 << 7.0 << QString();
        QTest::newRow("no price row") << QStringList{"ИТОГ|ЦЕНАПРАЙСРУБ"} << true << 0.0
                                      << QStringList{"DELETE FROM rent_servicecost"} << false << false << 0.0 << 0.0
                                      << QStringLiteral("нет цены в прайсе");
        QTest::newRow("coefficients") << QStringList{"ИТОГ|КОЭФI*КОЭФIII"} << true << 0.0 << none << false << true << 3.0
                                      << 7.0 << QString();
        QTest::newRow("coefficient not set") << QStringList{"ИТОГ|КОЭФII"} << true << 0.0 << none << false << false << 0.0
                                             << 0.0 << QStringLiteral("не задан коэффициент 2");
        QTest::newRow("debts") << QStringList{"ИТОГ|ДОЛГРУБ+ДОЛГВАЛ+ДОЛГКОНТРАКТРУБ+ДОЛГКЛИЕНТВАЛ"} << true << 0.0 << none
                               << false << true << 27.5 << 7.0 << QString();
        QTest::newRow("service procedures") << QStringList{"ИТОГ|СТОИМУСЛУГИ*100+КОЛУСЛУГ*10+СУММАУСЛУГ"} << true << 0.0
                                            << none << false << true << 727.0 << 7.0 << QString();
        QTest::newRow("type without steps")
            << none << true << 0.0
            << QStringList{"INSERT INTO rent_typereckoning (id, name) VALUES (2, 'Пустой')",
                           "UPDATE rent_contractservice SET typereckoningkey = 2"}
            << false << false << 0.0 << 0.0 << QStringLiteral("нет позиций");
        QTest::newRow("a failing step keeps the prices") << QStringList{"А|ЦЕНАРУБ*2", "ИТОГ|А/0"} << true << 0.0 << none
                                                        << false << false << 0.0 << 0.0
                                                        << QStringLiteral("Позиция 2 (ИТОГ): Division by zero");
    }

    void reckon()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, ncuFirst);
        QFETCH(double, givenRate);
        QFETCH(QStringList, changes);
        QFETCH(bool, separate);
        QFETCH(bool, ok);
        QFETCH(double, ncu);
        QFETCH(double, curr);
        QFETCH(QString, reason);

        ReferenceSession s(TestDatabase::Content::Schema);
        buildPosition(s, steps, ncuFirst, 100, 7);
        for (const QString &sql : changes)
            TxQuery::execute(s.t.db(), sql);

        for (const bool inRun : {false, true}) {
            TboRentReckoning engine(s.context);
            std::optional<TReckoningRun> run;
            if (inRun)
                run.emplace(engine);
            QVERIFY(engine.LoadContractService(1));
            engine.ReckoningRate = givenRate;
            double value = 0;
            const bool result = separate ? engine.RunReckoningType(engine.TypeReckoningKey, value) : engine.Reckon();
            QVERIFY2(result == ok, qPrintable(engine.failureReason()));
            if (!ok) {
                QVERIFY2(engine.failureReason().contains(reason), qPrintable(engine.failureReason()));
                // The caller keeps the prices it had.
                QCOMPARE(engine.CostNCU, 100.0);
                QCOMPARE(engine.CostCurr, 7.0);
            } else if (separate) {
                QCOMPARE(value, ncu);
                QCOMPARE(engine.CostNCU, 100.0);
            } else {
                QCOMPARE(engine.CostNCU, ncu);
                QCOMPARE(engine.CostCurr, curr);
            }
        }
    }

    // A key that names no position must not leave the last one to be priced.
    void missingPosition()
    {
        ReferenceSession s(TestDatabase::Content::Schema);
        buildPosition(s, {QStringLiteral("ИТОГ|ЦЕНАРУБ+1")}, true, 100, 7);
        TboRentReckoning engine(s.context);
        QVERIFY(engine.LoadContractService(1));
        engine.ReckoningRate = 30;
        QVERIFY(engine.Reckon());
        QCOMPARE(engine.CostNCU, 101.0);

        QVERIFY(!engine.LoadContractService(999));
        QCOMPARE(engine.ContractServiceKey, 999);
        QCOMPARE(engine.ServiceKey, 0);
        QCOMPARE(engine.TypeReckoningKey, 0);
        QCOMPARE(engine.CostNCU, 0.0);
        QCOMPARE(engine.ReckoningRate, 30.0);  // the caller's, for the next positions
        QVERIFY(!engine.Reckon());
        QCOMPARE(engine.failureReason(), QStringLiteral("Позиция договора 999 не найдена"));

        QVERIFY(engine.LoadContractService(1));
        QVERIFY(engine.Reckon());
        QCOMPARE(engine.CostNCU, 101.0);
    }

    // Every position of the demonstration database prices, and a pricing
    // run gives every price to the last bit while reading less.
    void demoPositions()
    {
        ReferenceSession s(TestDatabase::Content::Demo);
        QList<int> keys;
        TxQuery q(s.t.db());
        q.exec(QStringLiteral("SELECT id FROM rent_contractservice ORDER BY id"));
        while (q.next())
            keys << q.value(0).toInt();
        QVERIFY(keys.size() > 40);

        TboRentReckoning plain(s.context);
        QStringList failures;
        QStringList prices;
        const quint64 before = TxQuery::executions();
        for (const int key : std::as_const(keys)) {
            QVERIFY(plain.LoadContractService(key));
            if (!plain.Reckon())
                failures << QString::number(key) + QStringLiteral(": ") + plain.failureReason();
            prices << exact(plain.CostNCU) + QLatin1Char(' ') + exact(plain.CostCurr);
        }
        const quint64 plainStatements = TxQuery::executions() - before;
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));

        TboRentReckoning cached(s.context);
        const quint64 start = TxQuery::executions();
        {
            TReckoningRun run(cached);
            for (int i = 0; i < keys.size(); ++i) {
                QVERIFY(cached.LoadContractService(keys.at(i)));
                QVERIFY2(cached.Reckon(), qPrintable(cached.failureReason()));
                QCOMPARE(exact(cached.CostNCU) + QLatin1Char(' ') + exact(cached.CostCurr), prices.at(i));
            }
        }
        QVERIFY2((TxQuery::executions() - start) * 2 < plainStatements,
                 qPrintable(QStringLiteral("%1 statements in a run, %2 without")
                                .arg(TxQuery::executions() - start)
                                .arg(plainStatements)));
    }
};

// The two dialogs that price one position.
class ReckonDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    TxPromptRecorder m_prompts;

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Schema);
        buildPosition(*m_s, {QStringLiteral("А|ЦЕНАРУБ+1"), QStringLiteral("Б|ЦЕНАРУБ+1")}, true, 100, 7);
        m_prompts.messages.clear();
    }
    void cleanup() { m_s.reset(); }

    // The test button prices with the row's prices in every step; only "Ок"
    // closes the dialog, and it writes the switch and the type into the row.
    void contractServiceDialog()
    {
        TContractServiceEdit row;
        row.id = 1;
        row.contractKey = 1;
        row.customerKey = 1;
        row.objectKey = 11;
        row.serviceKey = 1;
        row.costNcu = 100;
        row.costCurr = 7;
        row.typeReckoningKey = 1;
        TdlgRentCSReckoning dlg(m_s->context, row, 0);
        QVERIFY(dlg.ncuFirstButton()->isChecked());  // no ncureckoning, no option: NCU first
        QCOMPARE(dlg.typeBox()->key().toInt(), 1);

        TxMessages::Intercept intercept(m_prompts);
        QTest::mouseClick(dlg.testButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Ответ: 101"));
        QCOMPARE(m_prompts.messages.at(0).caption, QStringLiteral("Внимание!"));

        dlg.typeBox()->clear();
        QTest::mouseClick(dlg.testButton(), Qt::LeftButton);
        QVERIFY(m_prompts.messages.last().text.startsWith(QStringLiteral("Ошибка в формуле.")));
        dlg.typeBox()->setKey(1);

        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        dlg.close();
        QVERIFY(dlg.isVisible());
        QTest::mouseClick(dlg.currFirstButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(row.ncuReckoning.value_or(-1), 0);
        QCOMPARE(row.typeReckoningKey.value_or(-1), 1);
    }

    // The price fields show the full amount and are read back as shown; a
    // result goes into the field the switch chooses, a failure changes none.
    void priceDialog()
    {
        TdlgRentMakeReckoning dlg(m_s->context, 1, 1234.5, 0.3012);
        QCOMPARE(dlg.ncuField()->text(), QStringLiteral("1234,50"));
        QCOMPARE(dlg.currField()->text(), QStringLiteral("0,3012"));
        QCOMPARE(dlg.costNcu(), 1234.5);
        QCOMPARE(dlg.costCurr(), 0.3012);
        QVERIFY(dlg.currButton()->isChecked());
        QCOMPARE(dlg.typeBox()->key().toInt(), 1);  // the position's own type

        QTest::mouseClick(dlg.ncuButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.reckonTypeButton(), Qt::LeftButton);
        QCOMPARE(dlg.ncuField()->text(), QStringLiteral("1235,50"));
        QCOMPARE(dlg.currField()->text(), QStringLiteral("0,3012"));

        // The free formula sees the steps of the last run.
        QTest::mouseClick(dlg.currButton(), Qt::LeftButton);
        dlg.formulaField()->setText(QStringLiteral("Б/4"));
        QTest::mouseClick(dlg.reckonFormulaButton(), Qt::LeftButton);
        QCOMPARE(dlg.currField()->text(), QStringLiteral("308,875"));

        TxMessages::Intercept intercept(m_prompts);
        dlg.formulaField()->setText(QStringLiteral("1/0"));
        QTest::mouseClick(dlg.reckonFormulaButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY(m_prompts.messages.at(0).text.startsWith(QStringLiteral("Ошибка в формуле.")));
        QCOMPARE(dlg.currField()->text(), QStringLiteral("308,875"));
        QCOMPARE(dlg.costNcu(), 1235.5);
    }

    // "Выбор переменной" of the price dialog offers the user variables beside
    // the built-in ones, and the one chosen there goes into the formula.
    void priceDialogChoosesUserVariables()
    {
        TdlgRentMakeReckoning dlg(m_s->context, 1, 100, 7);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        int tabs = 0;
        whenModal<TdlgRentChooseVariable>(this, [&](TdlgRentChooseVariable *chooser) {
            tabs = chooser->tabs()->count();
            chooser->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(chooser));
            chooser->tabs()->setCurrentIndex(TdlgRentChooseVariable::UserTab);
            chooser->userTree()->setFocus();
            chooser->userTree()->setCurrentId(1);
            chooser->accept();
        });
        QTest::mouseClick(dlg.chooseVariableButton(), Qt::LeftButton);
        QCOMPARE(tabs, 2);
        QCOMPARE(dlg.formulaField()->text().trimmed(), QStringLiteral("ПЛОЩАДЬ"));
    }
};

// korvex-rent-cli reckon: scripts read its output and exit code.
class ReckonCliTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Result {
        int code;
        QString out;
        QString err;
    };
    Result cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(KORVEX_CLI), args);
        if (!p.waitForFinished(120000))
            return {-1, {}, QStringLiteral("timeout")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void reckon()
    {
        const QString path = m_dir.filePath(QStringLiteral("demo.fdb"));
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("init"), QStringLiteral("--demo"), path}).code, 0);
        const Result position = cli({QStringLiteral("reckon"), QStringLiteral("7"), path});
        QVERIFY2(position.code == 0, qPrintable(position.err));
        const Result atRate = cli({QStringLiteral("reckon"), QStringLiteral("7"), QStringLiteral("--rate"),
                                   QStringLiteral("3,5"), path});
        QVERIFY2(atRate.code == 0, qPrintable(atRate.err));
        const Result missing = cli({QStringLiteral("reckon"), QStringLiteral("999"), path});
        QCOMPARE(missing.code, 1);
        QCOMPARE(missing.out, QString());
        QCOMPARE(missing.err.trimmed(), QStringLiteral("Позиция договора 999 не найдена"));
        QCOMPARE(cli({QStringLiteral("reckon"), QStringLiteral("7"), QStringLiteral("--rate"), QStringLiteral("x"), path}).code,
                 1);

        // The same prices as the engine in this process.
        TxConnectionParams params;
        params.setServerName(path);
        TxDatabase db(QStringLiteral("reckoncli"));
        db.open(params, QStringLiteral("SYSDBA"), QString());
        korvex::shell::TmmOptions options(db, korvex::shell::TmmOptions::DefaultUserKey);
        korvex::shell::TAppContext context{db, options, nullptr};
        TboRentReckoning engine(context);
        for (const auto &[rate, result] : {std::pair{0.0, position}, std::pair{3.5, atRate}}) {
            QVERIFY(engine.LoadContractService(7));
            engine.ReckoningRate = rate;
            QVERIFY(engine.Reckon());
            QCOMPARE(result.out, exact(engine.CostNCU) + QLatin1Char(' ') + exact(engine.CostCurr) + QLatin1Char('\n'));
        }
    }
};

KORVEX_TEST_CLASS(ReckonEngineTest)
KORVEX_TEST_CLASS(ReckonDialogTest)
KORVEX_TEST_CLASS(ReckonCliTest)

#include "tst_engine.moc"
