#include "common/testMain.h"
#include "common/testPrompt.h"
#include "referenceFixture.h"

#include "db/xQuery.h"
#include "reference/boRentService.h"
#include "reference/boRentServiceCost.h"
#include "reference/ui/dlgRentService.h"
#include "reference/ui/dlgRentServiceCost.h"
#include "reference/ui/ptService.h"
#include "reference/ui/ptServiceCost.h"
#include "reference/ui/referenceWindows.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace korvex::db;
using namespace korvex::reference;
using korvex::test::TestDatabase;
using korvex::widgets::TxMessages;
using korvex::test::TxPromptRecorder;

namespace {

int count(TxDatabase &db, const QString &sql, const QVariantList &values = {})
{
    return TxQuery::scalar(db, sql, values).toInt();
}

QVariant todaysRate(TxDatabase &db, int currency)
{
    return TxQuery::scalar(db,
                           QStringLiteral("SELECT coeff FROM fin_currrate WHERE fromcurr = ? AND tocurr = 1 AND fordate = ?"),
                           {currency, QDate::currentDate()});
}

} // namespace

// Services and the price list on the demo data.
class ServiceTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    FakeDialogs m_dialogs;

    TxDatabase &db() { return m_s->t.db(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_dialogs.prompts.messages.clear();
    }
    void cleanup() { m_s.reset(); }

    // Demo price list: office rent (service 2) for any object 12, for the
    // building 22 11, for office 11 13.5; parking (service 5) for any object
    // 90, for place 39 70 (the NCU price is reckoned by type 4).
    void findServiceCost_data()
    {
        QTest::addColumn<int>("service");
        QTest::addColumn<int>("object");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("ncu");
        QTest::addColumn<double>("curr");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ncuReckoning");
        QTest::newRow("the object's own row") << 2 << 11 << true << 0.0 << 13.5 << 2 << false;
        QTest::newRow("a row of an ancestor") << 2 << 30 << true << 0.0 << 11.0 << 2 << false;
        QTest::newRow("the any-object row") << 2 << 5 << true << 0.0 << 12.0 << 2 << false;
        QTest::newRow("no object") << 2 << 0 << true << 0.0 << 12.0 << 2 << false;
        QTest::newRow("NCU reckoned") << 5 << 39 << true << 70.0 << 0.0 << 4 << true;
        QTest::newRow("no row") << 12 << 5 << false << 0.0 << 0.0 << 0 << false;
    }
    void findServiceCost()
    {
        QFETCH(int, service);
        QFETCH(int, object);
        QFETCH(bool, found);
        QFETCH(double, ncu);
        QFETCH(double, curr);
        QFETCH(int, type);
        QFETCH(bool, ncuReckoning);
        TboRentServiceCost bo(m_s->context);
        // A lookup before, whose values must not survive a lookup that fails.
        QVERIFY(bo.FindServiceCost(4, 0));
        QCOMPARE(bo.CostNCU, 15.0);
        QCOMPARE(bo.FindServiceCost(service, object), found);
        QCOMPARE(bo.CostNCU, ncu);
        QCOMPARE(bo.CostCurr, curr);
        QCOMPARE(bo.TypeReckoningKey, type);
        QCOMPARE(bo.NCUReckoning, ncuReckoning);
    }

    void operationCaption_data()
    {
        QTest::addColumn<QVariant>("operation");
        QTest::addColumn<QVariant>("customer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0 and 2") << QVariant(0) << QVariant(2) << QStringLiteral("Позиция счета | Банк");
        QTest::newRow("4 and 4") << QVariant(4) << QVariant(4)
                                 << QStringLiteral("Курсовая разница (платеж) | Частный предпрениматель");
        QTest::newRow("unknown operation") << QVariant(7) << QVariant(2) << QStringLiteral("Банк");
        QTest::newRow("unknown customer") << QVariant(0) << QVariant(0) << QStringLiteral("Позиция счета | ");
        QTest::newRow("operation only") << QVariant(1) << QVariant() << QStringLiteral("Позиция платежа | ");
        QTest::newRow("nothing") << QVariant() << QVariant() << QString();
    }
    void operationCaption()
    {
        QFETCH(QVariant, operation);
        QFETCH(QVariant, customer);
        QFETCH(QString, caption);
        auto opt = [](const QVariant &v) { return v.isValid() ? std::optional<int>(v.toInt()) : std::nullopt; };
        QCOMPARE(TboRentService::operationCaption(opt(operation), opt(customer)), caption);
    }

    // A service goes with its own dated values and operation rows; one that
    // is priced or named elsewhere stays with all of them.
    void deleteService()
    {
        TboRentService bo(m_s->context, &m_dialogs);
        const int values = count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_servicevalue WHERE servicekey = 7"));
        QVERIFY(values > 0);
        QVERIFY(!bo.DeleteService(7));
        QCOMPARE(m_dialogs.prompts.messages.size(), 2);
        QCOMPARE(m_dialogs.prompts.messages.at(0).text, QStringLiteral("Удалить услугу?"));
        QCOMPARE(m_dialogs.prompts.messages.at(0).caption, QStringLiteral("Внимание!"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).text, QStringLiteral("Данная услуга уже где-то используется"));
        QCOMPARE(m_dialogs.prompts.messages.at(1).caption, QStringLiteral("Внимание!"));
        QVERIFY(bo.readService(7).has_value());
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_servicevalue WHERE servicekey = 7")), values);

        TServiceRecord fresh = bo.newRecord(6, QStringLiteral("Газ"));
        bo.writeService(fresh);
        TServiceValueRecord value{0, fresh.id, QDate::currentDate(), 1.25};
        bo.writeValue(value);
        bo.writeOperations(fresh.id, {{0, 0, 1, 1700}});
        QVERIFY(bo.DeleteService(fresh.id));
        QVERIFY(!bo.readService(fresh.id).has_value());
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_servicevalue WHERE servicekey = ?"), {fresh.id}), 0);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_serviceoperation WHERE servicekey = ?"), {fresh.id}),
                 0);
    }
};

// The service and price row dialogs and the two pages, driven as the user
// drives them.
class ServiceUiTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowedSession<TReferenceWindows>> m_s;
    TxPromptRecorder m_prompts;

    TxDatabase &db() { return m_s->t.db(); }
    TReferenceWindows *windows() { return &m_s->windows; }
    QWidget *window() { return m_s->window.get(); }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<WindowedSession<TReferenceWindows>>(TestDatabase::Content::Demo);
        m_prompts.messages.clear();
    }
    void cleanup() { m_s.reset(); }

    // A converted price is shown as money (two decimals at least). Without a
    // usable rate the buttons leave the price alone and say so.
    void conversion_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("ncu");
        QTest::addColumn<QString>("curr");
        QTest::addColumn<bool>("toNcu");
        QTest::addColumn<QString>("result");  // the converted field afterwards
        QTest::addColumn<bool>("refused");
        QTest::newRow("currency to NCU") << "30" << "" << "10" << true << "300,00" << false;
        QTest::newRow("NCU to currency") << "30" << "300" << "" << false << "10,00" << false;
        QTest::newRow("decimal comma") << "3,265" << "" << "100" << true << "326,50" << false;
        QTest::newRow("rate 0") << "0" << "55" << "10" << true << "55" << true;
        QTest::newRow("rate text") << "abc" << "300" << "7" << false << "7" << true;
        QTest::newRow("no rate") << "" << "300" << "7" << false << "7" << true;
    }
    void conversion()
    {
        QFETCH(QString, rate);
        QFETCH(QString, ncu);
        QFETCH(QString, curr);
        QFETCH(bool, toNcu);
        QFETCH(QString, result);
        QFETCH(bool, refused);
        TxMessages::Intercept intercept(m_prompts);
        TboRentServiceCost bo(m_s->context, windows());
        TdlgRentServiceCost d(bo, bo.newRecord({}), true);
        d.rateField()->setText(rate);
        d.ncuField()->setText(ncu);
        d.currField()->setText(curr);
        QTest::mouseClick(toNcu ? d.toNcuButton() : d.toCurrButton(), Qt::LeftButton);
        QCOMPARE((toNcu ? d.ncuField() : d.currField())->text(), result);
        QCOMPARE(m_prompts.messages.size(), refused ? 1 : 0);
        if (refused)
            QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Не указан курс валюты"));
    }

    // The rate field shows today's rate; what the user types over it is
    // recorded only when the row is stored.
    void rateRecordedOnConfirm()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentServiceCost bo(m_s->context, windows());
        {
            TdlgRentServiceCost d(bo, bo.newRecord({}), true);
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.currencyBox()->setKey(2);
            QCOMPARE(d.rateField()->text(), QStringLiteral("3,265"));
            d.rateField()->setFocus();
            d.rateField()->setText(QStringLiteral("3,3"));
            d.ncuField()->setFocus();
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&d, &activate);
            QCOMPARE(d.rateField()->text(), QStringLiteral("3,3"));  // kept, not shown anew
            QCOMPARE(todaysRate(db(), 2).toDouble(), 3.265);
            d.cancelButton()->click();
        }
        QCOMPARE(todaysRate(db(), 2).toDouble(), 3.265);

        TdlgRentServiceCost d(bo, bo.newRecord({}), true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.currencyBox()->setKey(2);
        d.serviceBox()->setKey(4);
        d.objectBox()->setKey(5);
        d.rateField()->setText(QStringLiteral("-1"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Курс должен быть больше нуля"));
        QVERIFY(d.isVisible());
        d.rateField()->setText(QStringLiteral("3,3"));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(todaysRate(db(), 2).toDouble(), 3.3);
        const std::optional<TServiceCostRecord> row = bo.readServiceCost(d.savedKey());
        QVERIFY(row.has_value());
        QCOMPARE(row->objectKey, std::optional<int>(5));
        QCOMPARE(row->currKey, std::optional<int>(2));
    }

    // "Выберите услугу" has its caption per button; the switch "Рассчитывать"
    // starts from the option and survives "&Следующий".
    void priceRowNext()
    {
        TxMessages::Intercept intercept(m_prompts);
        m_s->options.SetIntegerOption(QStringLiteral("rentNCUReckoning"), true, 1);
        TboRentServiceCost bo(m_s->context, windows());
        TdlgRentServiceCost d(bo, bo.newRecord(7), true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(d.ncuPriceButton()->isChecked());
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 2);
        QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Выберите услугу"));
        QCOMPARE(m_prompts.messages.at(0).caption, QStringLiteral("Внимание!"));
        QCOMPARE(m_prompts.messages.at(1).caption, QStringLiteral("Внимание!!!"));

        d.serviceBox()->setKey(5);
        d.objectBox()->setKey(40);
        d.ncuField()->setText(QStringLiteral("65"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        const int first = d.savedKey();
        QVERIFY(first > 0);
        QVERIFY(d.serviceBox()->key().isNull());
        QVERIFY(d.ncuPriceButton()->isChecked());
        d.serviceBox()->setKey(5);
        d.objectBox()->setKey(41);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY(d.savedKey() != first);
        for (int key : {first, d.savedKey()}) {
            const std::optional<TServiceCostRecord> row = bo.readServiceCost(key);
            QCOMPARE(row->ncuReckoning, 1);
            QCOMPARE(row->parent, std::optional<int>(7));
        }
        QVERIFY(bo.FindServiceCost(5, 40));
        QCOMPARE(bo.CostNCU, 65.0);
    }

    // Editing shows the kind of money but does not let it change; both dates
    // are required.
    void serviceDialog()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentService bo(m_s->context, windows());
        TdlgRentService edit(bo, *bo.readService(2), false);
        QVERIFY(edit.currencyButton()->isChecked());
        QVERIFY(!edit.currencyButton()->isEnabled());
        QVERIFY(!edit.nextButton()->isVisibleTo(&edit));

        TdlgRentService d(bo, bo.newRecord(1, QStringLiteral("Охрана")), true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(d.ncuButton()->isChecked());
        QVERIFY(d.currencyButton()->isEnabled());
        QVERIFY(!d.operationsButton()->isEnabled());
        auto *end = d.findChild<QLineEdit *>(QStringLiteral("enddate"));
        end->clear();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Введите дату"));
        QCOMPARE(QApplication::focusWidget(), end);
        end->setText(QStringLiteral("31.12.2030"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        const std::optional<TServiceRecord> stored = bo.readService(d.savedKey());
        QCOMPARE(stored->name, QStringLiteral("Охрана"));
        QCOMPARE(stored->parent, std::optional<int>(1));
        QCOMPARE(stored->endDate, QDate(2030, 12, 31));
        QVERIFY(stored->printService && stored->rejectDebt && !stored->currService);
        QVERIFY(d.findChild<QLineEdit *>(QStringLiteral("name"))->text().isEmpty());
    }

    // Operation rows are kept by the dialog and stored together on "Ок".
    void operations()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentService bo(m_s->context, windows());
        {
            TdlgServiceOperation d(bo, 3);
            TServiceOperationModel *rows = d.rows();
            const int row = rows->appendRecord({});
            rows->setData(rows->index(row, TServiceOperationModel::RentOperationColumn), QStringLiteral("0"));
            rows->setData(rows->index(row, TServiceOperationModel::TypeCustomerColumn), QStringLiteral("2"));
            rows->setData(rows->index(row, TServiceOperationModel::OperationKeyColumn), QStringLiteral("1700"));
            QCOMPARE(rows->index(row, TServiceOperationModel::CaptionColumn).data().toString(),
                     QStringLiteral("Позиция счета | Банк"));
            QVERIFY(!rows->setData(rows->index(row, TServiceOperationModel::TypeCustomerColumn), QStringLiteral("x")));
            QCOMPARE(m_prompts.messages.size(), 1);
            QCOMPARE(m_prompts.messages.at(0).text, QStringLiteral("Введите целое число"));
            d.cancelButton()->click();
        }
        QVERIFY(bo.readOperations(3).isEmpty());
        TdlgServiceOperation d(bo, 3);
        const int row = d.rows()->appendRecord({});
        d.rows()->setData(d.rows()->index(row, TServiceOperationModel::TypeCustomerColumn), QStringLiteral("3"));
        QVERIFY(d.save());
        const QList<TServiceOperationRecord> stored = bo.readOperations(3);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).typeCustomer, std::optional<int>(3));
    }

    // A price typed into the list is stored and the list shows it again on
    // the same row; a dated value typed on the second tab is stored for today.
    void pagesTypeInPlace()
    {
        TxMessages::Intercept intercept(m_prompts);
        TptServiceCost prices(m_s->context, window());
        korvex::widgets::TxTreeModel *model = prices.costModel();
        QCOMPARE(model->count(), count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_servicecost")));
        QVERIFY(prices.costTree()->setCurrentId(6));
        const QModelIndex cell = model->indexOf(6, model->columnOf(QStringLiteral("costncu")));
        QVERIFY(model->setData(cell, QStringLiteral("16,5")));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT costncu FROM rent_servicecost WHERE id = 6")).toDouble(), 16.5);
        QTRY_COMPARE(model->value(6, QStringLiteral("costncu")).toDouble(), 16.5);
        QCOMPARE(prices.costTree()->currentId(), std::optional<qint64>(6));

        TptService services(m_s->context, window());
        QVERIFY(services.serviceTree()->setCurrentId(9));
        services.setCurrentTab(TptService::ValuesTab);
        TServiceValueModel *values = services.valueModel();
        QCOMPARE(values->rowCount(), 1);
        const int row = values->appendRow();
        QVERIFY(values->setData(values->index(row, TServiceValueModel::ValueColumn), QStringLiteral("1,57")));
        QTRY_COMPARE(values->rowCount(), 2);
        QCOMPARE(count(db(), QStringLiteral("SELECT COUNT(*) FROM rent_servicevalue WHERE servicekey = 9 AND "
                                            "servicedate = CURRENT_DATE AND servicevalue = 1.57")),
                 1);
        QVERIFY(m_prompts.messages.isEmpty());
    }
};

KORVEX_TEST_CLASS(ServiceTest)
KORVEX_TEST_CLASS(ServiceUiTest)

#include "tst_services.moc"
