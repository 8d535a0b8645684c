#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testProcess.h"
#include "common/testPrompt.h"

#include "amount/xAmount.h"
#include "billing/boRentPayBill.h"
#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "documents/ui/xRTFView.h"
#include "documents/xRTF.h"
#include "documents/xRTFMessages.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "pricing/boRentReckoning.h"
#include "printing/boRentPrintDocument.h"
#include "printing/boRentReport.h"
#include "printing/ui/dlgPrintDocument.h"
#include "printing/ui/dlgRentReport.h"
#include "printing/ui/frmPrintReport.h"
#include "printing/ui/printMenu.h"
#include "printing/ui/ptReport.h"
#include "customers/CustomerFilter.h"
#include "customers/ui/dlgChooseCustomer.h"
#include "widgets/xTreeModel.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xSqlFilter.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xProgress.h"
#include "widgets/xQueryModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::documents;
using korvex::db::EBusinessError;
using korvex::db::TxQuery;
using korvex::test::TestDatabase;
using korvex::test::TxPromptRecorder;

KORVEX_TEST_GUI_PROGRAM()

namespace {

// The print forms' port of a test: answers the report questions as set and
// keeps the jobs it was asked to show.
class FakePrintDialogs : public TPrintDialogs
{
public:
    korvex::widgets::TxPrompt &prompt() override { return recorder; }
    bool showReport(TPrintJob &job) override
    {
        shown << job;
        return saveAs.has_value() ? (job.fileName = *saveAs, true) : false;
    }
    bool chooseObjects(TReportObjectChoice &choice) override
    {
        choice = objects;
        return answer;
    }
    bool chooseCustomers(TReportCustomerChoice &choice, bool) override
    {
        choice = customers;
        return answer;
    }
    bool chooseServices(QList<int> &keys) override
    {
        keys = services;
        return answer;
    }
    bool sqlParams(const QStringList &names, const std::function<QString(const QStringList &)> &apply) override
    {
        askedNames = names;
        for (const QStringList &values : paramTries) {
            const QString error = apply(values);
            paramErrors << error;
            if (error.isEmpty())
                return true;
        }
        return false;
    }

    korvex::widgets::TxProgress *progress() override { return progressShown; }

    TxPromptRecorder recorder;
    korvex::widgets::TxProgress *progressShown = nullptr;
    QList<TPrintJob> shown;
    std::optional<QString> saveAs;
    bool answer = true;
    TReportObjectChoice objects{{}, true, false};
    TReportCustomerChoice customers{{}, {}, true};
    QList<int> services;
    QList<QStringList> paramTries;
    QStringList askedNames, paramErrors;
};

QString textOf(const TPrintJob &job, const QString &file)
{
    writeJob(job, file);
    TxRTFFile back;
    if (!back.LoadFromFile(file))
        return QStringLiteral("<not written>");
    return back.text();
}

struct DemoFixture {
    DemoFixture()
        : db(TestDatabase::Content::Demo)
        , options(db.db(), korvex::shell::TmmOptions::DefaultUserKey)
        , context{db.db(), options, nullptr}
    {
    }
    TestDatabase db;
    korvex::shell::TmmOptions options;
    korvex::shell::TAppContext context;
};

int insertForm(korvex::db::TxDatabase &db, int type, const QString &name, const QString &table = {},
               const QString &path = QStringLiteral("%templates/invoice.rtf"), bool group = false)
{
    const int id = TxQuery::scalar(db, QStringLiteral("SELECT COALESCE(MAX(id), 0) + 1 FROM rent_printdocument")).toInt();
    TxQuery::execute(db,
                     QStringLiteral("INSERT INTO rent_printdocument (id, name, path, typedocument, registername, "
                                    "registerpath, registertable, flag) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                     {id, name, path, type, name + QStringLiteral(" (реестр)"), path,
                      table.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(table),
                      group ? QVariant(1) : QVariant(QMetaType(QMetaType::Int))});
    return id;
}

} // namespace

// ---------------------------------------------------------------------------

class PrintMenuTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DemoFixture> m_f;

private Q_SLOTS:
    void init() { m_f = std::make_unique<DemoFixture>(); }
    void cleanup() { m_f.reset(); }

    void documentItems_data()
    {
        QTest::addColumn<int>("forms");
        QTest::addColumn<QStringList>("expected");  // top-level captions, "> sub" for a sub-menu's items
        QTest::newRow("none") << 0 << QStringList{};
        QTest::newRow("one") << 1 << QStringList{"Печать: Форма 1"};
        QTest::newRow("two") << 2 << QStringList{"Печать", "> Форма 1", "> Форма 2"};
    }
    void documentItems()
    {
        QFETCH(int, forms);
        QFETCH(QStringList, expected);
        // The test's own rows are all there are of the type.
        TxQuery::execute(m_f->db.db(), QStringLiteral("DELETE FROM rent_printdocument WHERE typedocument = 2"));
        QList<int> ids;
        for (int i = 1; i <= forms; ++i)
            ids << insertForm(m_f->db.db(), TboRentPrintDocument::ContractPriced, QStringLiteral("Форма %1").arg(i));
        TboRentPrintDocument bo(m_f->context);
        QMenu menu;
        QList<int> called;
        BuildPrintMenu(&menu, bo, TboRentPrintDocument::ContractPriced, QString(), {},
                       [&called](int id) { called << id; });
        QStringList captions;
        QList<QAction *> items;
        for (QAction *a : menu.actions()) {
            captions << a->text();
            if (a->menu()) {
                for (QAction *sub : a->menu()->actions()) {
                    captions << QStringLiteral("> ") + sub->text();
                    items << sub;
                }
            } else {
                items << a;
            }
        }
        QCOMPARE(captions, expected);
        for (QAction *a : items)
            a->trigger();
        QCOMPARE(called, ids);
    }

    void registerItemsIgnoreCase()
    {
        // Stored in small letters, asked for as the page names it.
        const int id = insertForm(m_f->db.db(), TboRentPrintDocument::Group, QStringLiteral("Долги"),
                                  QStringLiteral("qrydebt"));
        TboRentPrintDocument bo(m_f->context);
        const QList<TPrintMenuEntry> entries = bo.printMenu(-1, QStringLiteral("qryDebt"));
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries.first().isRegister);
        QCOMPARE(entries.first().caption, QStringLiteral("Печать реестра: Долги (реестр)"));
        QCOMPARE(entries.first().items.first().formId, id);
        QVERIFY(bo.printMenu(-1, QString()).isEmpty());
    }

    void pageMenus()
    {
        // The demo forms: a contract with its register and its price appendix, an
        // invoice, a pay-bill register.
        const auto captions = [this](korvex::documents::TPrintPage page) {
            QMenu menu;
            menu.addAction(QStringLiteral("Своя команда"));
            addPagePrintMenu(&menu, m_f->context, page, [] { return TPrintSelection{}; });
            QStringList c;
            for (QAction *a : menu.actions())
                c << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return c;
        };
        QCOMPARE(captions(TPrintPage::Contracts),
                 (QStringList{"Своя команда", "-", "Печать: Договор аренды", "Печать реестра: Реестр договоров",
                              "Печать: Расчет арендной платы"}));
        QCOMPARE(captions(TPrintPage::Invoices), (QStringList{"Своя команда", "-", "Печать: Счет-фактура"}));
        QCOMPARE(captions(TPrintPage::PayBills), (QStringList{"Своя команда", "-", "Печать реестра: Реестр платежей"}));
        QCOMPARE(captions(TPrintPage::Debts), QStringList{"Своя команда"});
    }
};

// ---------------------------------------------------------------------------

class PrintDocumentTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DemoFixture> m_f;
    QTemporaryDir m_dir;

    static constexpr int DemoInvoiceForm = 4;
    static constexpr int DemoContractForm = 2;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { m_f = std::make_unique<DemoFixture>(); }
    void cleanup() { m_f.reset(); }

    void invoiceDocument()
    {
        TboRentPrintDocument bo(m_f->context);
        auto job = bo.documentJob(DemoInvoiceForm, 1);
        QVERIFY(job);
        TxMemoryReportDataSource &data = *job->data;
        const int lines = TxQuery::scalar(m_f->db.db(), QStringLiteral("SELECT COUNT(*) FROM rent_invoiceservice "
                                                                        "WHERE invoicekey = 1")).toInt();
        QCOMPARE(data.recordCount(), lines);
        // The second NUMBER is the contract's, the customer's values on every row.
        QCOMPARE(data.value(0, QStringLiteral("NUMBER_1")).toString(), QStringLiteral("1"));
        QCOMPARE(data.value(lines - 1, QStringLiteral("spUNN")).toString(), QStringLiteral("190456781"));
        const QDate date = data.value(0, QStringLiteral("INVOICEDATE")).toDate();
        QCOMPARE(data.value(0, QStringLiteral("month")).toString(), TboRentPrintDocument::monthName(date.month()));
        // Currency lines show no NCU price of their own.
        for (int r = 0; r < lines; ++r) {
            const bool currency = data.value(r, QStringLiteral("COSTCURR")).toDouble() != 0;
            QCOMPARE(data.value(r, QStringLiteral("costncucur")).toDouble() == 0,
                     currency || data.value(r, QStringLiteral("COSTNCU")).toDouble() == 0);
        }

        const QString text = textOf(*job, m_dir.filePath(QStringLiteral("invoice.rtf")));
        QVERIFY2(text.contains(QStringLiteral("СЧЕТ-ФАКТУРА № 1 от")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Итого к оплате\t4,521.67")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Сумма прописью: Четыре тысячи пятьсот двадцать один руб. 67 коп.")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Плательщик: Общество с ограниченной ответственностью «Альфа-Трейд»")));
    }

    void markedInvoices()
    {
        // A December invoice of another customer, printed with the demo one.
        korvex::db::TxDatabase &db = m_f->db.db();
        TxQuery::execute(db, QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, customerkey, contractkey, "
                                            "paymentkey, invoicetypekey, currkey, sumncu) "
                                            "VALUES (901, '77', DATE '2026-12-05', 3, 2, 1, 1, 2, 1000.5)"));
        TxQuery::execute(db, QStringLiteral("INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, "
                                            "costcurr) VALUES (9901, 901, 7, 1000.5, 0)"));
        TboRentPrintDocument bo(m_f->context);
        QVERIFY(!bo.documentJob(DemoInvoiceForm, -1, {}));  // nothing marked, no record
        auto job = bo.documentJob(DemoInvoiceForm, -1, {1, 901});
        QVERIFY(job);
        const TxMemoryReportDataSource &data = *job->data;
        const int last = job->data->recordCount() - 1;
        QCOMPARE(data.value(last, QStringLiteral("INVOICEKEY")).toInt(), 901);
        QCOMPARE(data.value(last, QStringLiteral("month")).toString(), QStringLiteral("декабрь"));
        QCOMPARE(data.value(last, QStringLiteral("spUNN")).toString(), QStringLiteral("191234567"));

        const QString text = textOf(*job, m_dir.filePath(QStringLiteral("two.rtf")));
        QCOMPARE(text.count(QStringLiteral("СЧЕТ-ФАКТУРА №")), 2);
        QVERIFY2(text.contains(QStringLiteral("Сумма прописью: Одна тысяча руб. 50 коп.")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Итого к оплате\t4,521.67")), qPrintable(text));  // sums restart per invoice

        // Grouped by parent service: one row per invoice and service.
        const int grouped = insertForm(db, TboRentPrintDocument::Invoice, QStringLiteral("Сводный"), {},
                                       QStringLiteral("%templates/invoice.rtf"), true);
        auto byService = bo.documentJob(grouped, 1);
        QVERIFY(byService);
        QVERIFY(byService->data->fieldIndex(QStringLiteral("month")) < 0);
        double total = 0;
        for (int r = 0; r < byService->data->recordCount(); ++r)
            total += byService->data->value(r, QStringLiteral("COSTNCU")).toDouble();
        QCOMPARE(qRound64(total * 100), 452167);
    }

    void amountInWords_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        QTest::newRow("whole roubles") << 1357.0 << "Одна тысяча триста пятьдесят семь руб. 00 коп.";
        QTest::newRow("99 kopecks") << 1357.99 << "Одна тысяча триста пятьдесят семь руб. 99 коп.";
        QTest::newRow("a kopeck") << 2.01 << "Два руб. 01 коп.";
        QTest::newRow("a million") << 1000000.1 << "Один миллион руб. 10 коп.";
    }
    void amountInWords()
    {
        QFETCH(double, amount);
        QFETCH(QString, words);
        // The shipped invoice over lines made here: the words come from the sum.
        auto data = std::make_shared<TxMemoryReportDataSource>();
        data->addField(QStringLiteral("INVOICEKEY"), TxReportDataSource::Integer);
        data->addField(QStringLiteral("COSTNCU"), TxReportDataSource::Float);
        for (double part : {amount - 1, 1.0}) {
            data->appendRow();
            data->setValue(0, 1);
            data->setValue(1, part);
        }
        data->first();
        TPrintJob job;
        job.templateFile = QStringLiteral("%templates/invoice.rtf");
        job.data = data;
        const QString text = textOf(job, m_dir.filePath(QStringLiteral("words.rtf")));
        QVERIFY2(text.contains(QStringLiteral("Сумма прописью: ") + words), qPrintable(text));
    }

    void contractDocument()
    {
        m_f->options.SetStringOption(QStringLiteral("contractpath"), false, QStringLiteral("/archive/"));
        FakePrintDialogs dialogs;
        dialogs.saveAs = QStringLiteral("/archive/dogovor-1.rtf");
        TboRentPrintDocument bo(m_f->context, &dialogs);
        bo.PrintDocument(DemoContractForm, 1);
        QCOMPARE(dialogs.shown.size(), 1);
        const TPrintJob &job = dialogs.shown.first();
        QVERIFY(job.fileNameBox);
        QCOMPARE(job.fileName, QStringLiteral("/archive/1.rtf"));
        const TxValueList vars(job.vars);
        QCOMPARE(vars.value(QStringLiteral("contractNUMBER")), QStringLiteral("1"));
        QCOMPARE(vars.value(QStringLiteral("custUNN")), QStringLiteral("190456781"));
        QCOMPARE(vars.value(QStringLiteral("factoryDIRECTOR")), QStringLiteral("Сидоренко Виктор Алексеевич"));
        // The saved file is remembered with the contract.
        QCOMPARE(TxQuery::scalar(m_f->db.db(), QStringLiteral("SELECT filename FROM rent_contract WHERE id = 1")).toString(),
                 QStringLiteral("/archive/dogovor-1.rtf"));

        double monthly = 0;
        for (int r = 0; r < job.data->recordCount(); ++r)
            monthly += job.data->value(r, QStringLiteral("COSTNCU")).toDouble();
        QCOMPARE(qRound64(monthly * 100), 475691);
        const QString text = textOf(job, m_dir.filePath(QStringLiteral("contract.rtf")));
        QVERIFY2(text.contains(QStringLiteral("ДОГОВОР АРЕНДЫ № 1")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Итого в месяц\t4,756.91")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Арендная плата составляет 4,756.91 руб. (Четыре тысячи семьсот "
                                              "пятьдесят шесть руб. 91 коп.) в месяц.")),
                 qPrintable(text));
    }

    void contractWithReckonedPrices()
    {
        // Prices stored out of date: the document shows them reckoned anew, to the kopeck.
        TxQuery::execute(m_f->db.db(), QStringLiteral("UPDATE rent_contractservice SET costncu = 1, costcurr = 1 "
                                                      "WHERE contractkey = 1"));
        TboRentPrintDocument bo(m_f->context);
        auto job = bo.documentJob(6, 1);  // the demo price appendix
        QVERIFY(job);
        QVERIFY(!job->fileNameBox);
        QCOMPARE(TxValueList(job->vars).value(QStringLiteral("contractname")), QStringLiteral("Аренда офиса 201 и 204"));
        korvex::calc::TboRentReckoning engine(m_f->context);
        int reckoned = 0;
        double total = 0;
        for (int r = 0; r < job->data->recordCount(); ++r) {
            const double price = job->data->value(r, QStringLiteral("COSTNCU")).toDouble();
            total += price;
            QVERIFY(engine.LoadContractService(job->data->value(r, QStringLiteral("ID")).toInt()));
            if (!engine.Reckon() || engine.CostNCU == 0)
                continue;
            QCOMPARE(price, korvex::amount::roundToStep(engine.CostNCU, 0.01));
            ++reckoned;
        }
        QVERIFY(reckoned > 0);
        // The printed total is the sum of the printed lines.
        const QString text = textOf(*job, m_dir.filePath(QStringLiteral("priced.rtf")));
        QVERIFY2(text.contains(QStringLiteral("Итого в месяц\t") + reportText::formatFloat(QStringLiteral("#,##0.00"), total)),
                 qPrintable(text));
    }

    void customerValues()
    {
        korvex::db::TxDatabase &db = m_f->db.db();
        TxQuery::execute(db, QStringLiteral("DELETE FROM cst_factory WHERE customerkey = 2"));
        const QStringList lines = customerValueLines(db, 2);
        QVERIFY(lines.first().startsWith(QStringLiteral("cust")));
        QVERIFY(lines.contains(QStringLiteral("customerUNN = 190456781")));
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(QStringLiteral("cust")), qPrintable(line));  // "cust..." and "customer..." only
    }

    void registerOfMarkedRows()
    {
        korvex::widgets::TxCheckedQueryModel list(m_f->db.db());
        list.setKeyField(QStringLiteral("id"));
        list.setStatement(QStringLiteral("SELECT c.id, c.number, c.sumncu FROM rent_contract c"), {},
                          QStringLiteral("number"));
        list.open();
        QSqlQuery all = list.printQuery();
        QCOMPARE(readAll(all)->recordCount(),
                 TxQuery::scalar(m_f->db.db(), QStringLiteral("SELECT COUNT(*) FROM rent_contract")).toInt());
        QSqlQuery marked = list.printQuery({3, 1});
        auto rows = readAll(marked);
        QCOMPARE(rows->recordCount(), 2);
        QCOMPARE(rows->value(0, QStringLiteral("ID")).toInt(), 1);  // the list's order, not the marks'

        TboRentPrintDocument bo(m_f->context);
        auto job = bo.registerJob(DemoContractForm, rows);
        QVERIFY(job);
        QCOMPARE(job->title, QStringLiteral("Реестр договоров"));
    }

    void payBillRegister()
    {
        // The pay-bill page's own list, printed through the demo register.
        korvex::billing::TPayBillFilter filter;
        korvex::widgets::TxQueryModel list(m_f->db.db());
        list.setKeyField(korvex::billing::TboRentPayBill::listKey());
        list.setStatement(korvex::billing::TboRentPayBill::listStatement(filter),
                          korvex::billing::TboRentPayBill::listOrder(filter.sortOrder));
        list.open();
        QSqlQuery query = list.printQuery();
        TboRentPrintDocument bo(m_f->context);
        auto job = bo.registerJob(5, readAll(query));
        QVERIFY(job);
        QVERIFY(job->data->recordCount() > 0);
        double total = 0;
        for (int r = 0; r < job->data->recordCount(); ++r)
            total += job->data->value(r, QStringLiteral("SUMNCU")).toDouble();
        const QString text = textOf(*job, m_dir.filePath(QStringLiteral("paybills.rtf")));
        QVERIFY2(text.contains(QStringLiteral("Итого поступило\t")
                               + reportText::formatFloat(QStringLiteral("#,##0.00"), total)),
                 qPrintable(text));
        QVERIFY2(text.contains(job->data->value(0, QStringLiteral("CUSTOMERCAL")).toString()), qPrintable(text));
    }

    void formRows()
    {
        FakePrintDialogs dialogs;
        TboRentPrintDocument bo(m_f->context, &dialogs);
        TPrintFormRecord r = bo.newRecord(1);
        r.name = QStringLiteral("Акт");
        r.typeDocument = TboRentPrintDocument::Contract;
        r.registerTable = QStringLiteral("qryContract");
        bo.writeForm(r);
        const auto back = bo.readForm(r.id);
        QVERIFY(back);
        QCOMPARE(back->registerTable, QStringLiteral("QRYCONTRACT"));
        QCOMPARE(back->parent, 1);

        dialogs.recorder.answer = false;
        QVERIFY(!bo.DeletePrintForm(r.id));
        QCOMPARE(dialogs.recorder.messages.last().text, QStringLiteral("Удалить печатную форму?"));
        QCOMPARE(dialogs.recorder.messages.last().caption, QStringLiteral("Внимание!"));
        dialogs.recorder.answer = true;
        QVERIFY(bo.DeletePrintForm(r.id));
        QVERIFY(!bo.readForm(r.id));
        bo.PrintDocument(r.id, 1);  // gone: nothing happens
        QVERIFY(dialogs.shown.isEmpty());
    }
};

// ---------------------------------------------------------------------------

class ReportTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DemoFixture> m_f;
    QTemporaryDir m_dir;

    int addReport(int type, const QString &sql = {})
    {
        TboRentReport bo(m_f->context);
        TRentReportRecord r = bo.newRecord(0);
        r.name = QStringLiteral("Отчет %1").arg(type);
        r.typeReport = type;
        r.textSql = sql;
        r.fileName = QStringLiteral("%templates/free-objects.rtf");
        bo.writeReport(r);
        return r.id;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { m_f = std::make_unique<DemoFixture>(); }
    void cleanup() { m_f.reset(); }

    void eachType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("rows");
        QTest::newRow("debts by objects") << int(TboRentReport::DebtsByObjects) << true;
        QTest::newRow("free objects") << int(TboRentReport::FreeObjects) << true;
        QTest::newRow("used objects") << int(TboRentReport::UsedObjects) << true;
        QTest::newRow("tenants") << int(TboRentReport::Tenants) << true;
        QTest::newRow("debtor tenants") << int(TboRentReport::DebtorTenants) << true;
        QTest::newRow("violations") << int(TboRentReport::Violations) << false;
        QTest::newRow("debts by services") << int(TboRentReport::DebtsByServices) << true;
    }
    void eachType()
    {
        QFETCH(int, type);
        QFETCH(bool, rows);
        FakePrintDialogs dialogs;
        TboRentReport bo(m_f->context, &dialogs);
        const int id = addReport(type);
        bo.RunReport(id);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown.first().data->recordCount() > 0, rows);
        QVERIFY(dialogs.recorder.messages.isEmpty());

        dialogs.shown.clear();
        dialogs.answer = false;  // a chooser cancelled: no window
        bo.RunReport(id);
        QVERIFY(dialogs.shown.isEmpty());
    }

    void debtReportForPeriodAndCustomer()
    {
        FakePrintDialogs dialogs;
        dialogs.customers.allCustomers = false;
        dialogs.customers.customers = {2};
        dialogs.customers.unlimited = false;
        dialogs.customers.startDate = QDate::currentDate().addYears(-5);
        dialogs.customers.endDate = QDate::currentDate().addDays(1);
        TboRentReport bo(m_f->context, &dialogs);
        auto job = bo.reportJob(1);  // the demo debt report
        QVERIFY(job);
        const QString period = QLocale().toString(dialogs.customers.startDate, QLocale::ShortFormat) + QStringLiteral(" - ")
            + QLocale().toString(dialogs.customers.endDate, QLocale::ShortFormat);
        QCOMPARE(TxValueList(job->vars).value(QStringLiteral("datereport")), period);
        double charged = 0, paid = 0;
        for (int r = 0; r < job->data->recordCount(); ++r) {
            QCOMPARE(job->data->value(r, QStringLiteral("ID")).toInt(), 2);
            charged += job->data->value(r, QStringLiteral("CCOSTNCU")).toDouble();
            paid += job->data->value(r, QStringLiteral("DCOSTNCU")).toDouble();
        }
        QCOMPARE(qRound64(charged * 100), 452167);
        QCOMPARE(qRound64(paid * 100), 150879);
        const QString text = textOf(*job, m_dir.filePath(QStringLiteral("debts.rtf")));
        QVERIFY2(text.contains(QStringLiteral("Итого по арендатору\t\t4,521.67\t1,508.79")), qPrintable(text));

        dialogs.customers.customers.clear();  // none marked
        QVERIFY(!bo.reportJob(1));
        QCOMPARE(dialogs.recorder.messages.last().text, QStringLiteral("Необходио выбрать хотя бы одного клиента"));
        dialogs.customers.customers = {999};  // no debts: nothing to show
        QVERIFY(!bo.reportJob(1));

        // Stopped while it gathers the history: no report.
        struct Stopped : korvex::widgets::TxProgress {
            void begin(const QString &text, qint64) override { this->text = text; }
            void setText(const QString &) override {}
            void setPosition(qint64) override {}
            bool wasStopped() const override { return true; }
            void end() override {}
            QString text;
        } stopped;
        dialogs.progressShown = &stopped;
        dialogs.customers.customers = {2};
        QVERIFY(!bo.reportJob(1));
        QCOMPARE(stopped.text, QStringLiteral("Создание отчета"));
    }

    void sqlReport()
    {
        FakePrintDialogs dialogs;
        TboRentReport bo(m_f->context, &dialogs);
        // A typed value is bound, never pasted into the statement.
        const int bound = addReport(TboRentReport::SqlReport,
                                    QStringLiteral("SELECT name FROM rent_object WHERE name = :n OR id = 8 / CAST(:k AS INTEGER) "
                                                   "OR name = :N ORDER BY id"));
        // Dividing by zero fails when the statement runs: the dialog stays with the error.
        dialogs.paramTries = {{QStringLiteral("x' OR '1'='1"), QStringLiteral("0")},
                              {QStringLiteral("x' OR '1'='1"), QStringLiteral("1")}};
        auto job = bo.reportJob(bound);
        QVERIFY(job);
        QCOMPARE(dialogs.askedNames, (QStringList{"n", "k"}));
        QCOMPARE(dialogs.paramErrors.size(), 2);
        QVERIFY(!dialogs.paramErrors.first().isEmpty());  // the dialog stays with the error
        QCOMPARE(job->data->recordCount(), 1);
        QCOMPARE(job->data->value(0, QStringLiteral("NAME")).toString(), QStringLiteral("Немига, оф. 201"));

        dialogs.paramTries.clear();  // "Отменить"
        QVERIFY(!bo.reportJob(bound));

        for (const QString &sql : {QStringLiteral("DELETE FROM rent_object"),
                                   QStringLiteral("SELECT 1 FROM rdb$database; DELETE FROM rent_object"),
                                   QStringLiteral("SELECT nothing FROM rent_object")}) {
            dialogs.recorder.messages.clear();
            QVERIFY(!bo.reportJob(addReport(TboRentReport::SqlReport, sql)));
            QCOMPARE(dialogs.recorder.messages.size(), 1);
            QCOMPARE(dialogs.recorder.messages.first().text, QStringLiteral("Ошибка в SQL"));
        }
        QVERIFY(TxQuery::scalar(m_f->db.db(), QStringLiteral("SELECT COUNT(*) FROM rent_object")).toInt() > 0);
    }

    void reportRows()
    {
        TboRentReport bo(m_f->context);
        TRentReportRecord r = bo.newRecord(0);
        QVERIFY_THROWS_EXCEPTION(EBusinessError, bo.writeReport(r));
        r.name = QStringLiteral("Без типа");
        r.icon = 119;
        bo.writeReport(r);
        QCOMPARE(bo.readReport(r.id)->icon, 119);
        QVERIFY(!bo.hasChildren(r.id));
        TRentReportRecord child = bo.newRecord(r.id);
        child.name = QStringLiteral("Вложенный");
        bo.writeReport(child);
        QVERIFY(bo.hasChildren(r.id));
    }

    void registeredType()
    {
        int calls = 0;
        TboRentReport::registerReportType(100, QStringLiteral("Просроченная задолженность"),
                                          [&calls](TboRentReport &bo, const TRentReportRecord &report) {
                                              ++calls;
                                              return std::optional<TPrintJob>(bo.jobFor(
                                                  report, korvex::widgets::TxSqlFilter(
                                                              QStringLiteral("SELECT id FROM rent_contract WHERE id = ?"), {1})));
                                          });
        QCOMPARE(TboRentReport::typeName(100), QStringLiteral("Просроченная задолженность"));
        QCOMPARE(TboRentReport::reportTypes().last().first, 100);
        FakePrintDialogs dialogs;
        TboRentReport bo(m_f->context, &dialogs);
        bo.RunReport(addReport(100));
        QCOMPARE(calls, 1);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown.first().data->recordCount(), 1);
        TboRentReport::registerReportType(100, QStringLiteral("Просроченная задолженность"), {});
    }
};

// ---------------------------------------------------------------------------

class PrintWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DemoFixture> m_f;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { m_f = std::make_unique<DemoFixture>(); }
    void cleanup() { m_f.reset(); }

    void reportWindow()
    {
        TboRentPrintDocument bo(m_f->context);
        auto job = bo.documentJob(2, 1);
        QVERIFY(job);
        TfrmPrintReport window(*job);
        QVERIFY(window.build());
        QVERIFY(window.viewer()->document());
        QVERIFY(window.viewer()->document()->text().contains(QStringLiteral("ДОГОВОР АРЕНДЫ № 1")));
        QVERIFY(window.fileNameBox()->isVisibleTo(&window));
        QCOMPARE(window.heading()->text(), QStringLiteral("Договор аренды"));

        // Saving where nothing can be written says so and saves nothing.
        window.setFileChooser([](auto &&...) { return QStringLiteral("/nonexistent/dir/x.rtf"); });
        TxPromptRecorder recorder;
        korvex::widgets::TxMessages::Intercept intercept(recorder);
        window.save();
        QVERIFY(!window.saved());
        const QString file = m_dir.filePath(QStringLiteral("saved.rtf"));
        window.setFileChooser([file](auto &&...) { return file; });
        window.save();
        QVERIFY(window.saved());
        QCOMPARE(job->fileName, file);
        QVERIFY(QFile::exists(file));

        // A template that is not there: the message, and the window opens all the same.
        job->templateFile = QStringLiteral("/nonexistent/form.rtf");
        recorder.messages.clear();
        QVERIFY(!window.build());
        QCOMPARE(recorder.messages.last().text, QStringLiteral("Ненайден шаблон или обнаружена ошибка"));
    }

    void printFormDialog()
    {
        TboRentPrintDocument bo(m_f->context);
        TdlgPrintDocument dlg(bo, bo.newRecord(1), true);
        QCOMPARE(dlg.typeBox()->currentText(), QStringLiteral("Группа"));
        dlg.show();
        dlg.typeBox()->setCurrentIndex(TboRentPrintDocument::Invoice);
        dlg.tableBox()->setFocus();
        QApplication::processEvents();
        QCOMPARE(dlg.nameBox()->text(), QStringLiteral("Формирование задолженности"));  // named after its type
        dlg.tableBox()->setText(QStringLiteral("qryInvoice"));
        dlg.groupBox()->setChecked(true);
        QVERIFY(dlg.save());
        const auto stored = bo.readForm(dlg.savedKey());
        QVERIFY(stored);
        QCOMPARE(stored->parent, 1);
        QCOMPARE(stored->typeDocument, int(TboRentPrintDocument::Invoice));
        QCOMPARE(stored->registerTable, QStringLiteral("QRYINVOICE"));
        QVERIFY(stored->group);
    }

    void reportDialog()
    {
        TboRentReport bo(m_f->context);
        TdlgRentReport dlg(bo, bo.newRecord(0));
        QCOMPARE(dlg.typeBox()->currentText(), QStringLiteral("SQL-отчет"));
        QCOMPARE(dlg.pictureBox()->count(), 120);
        QCOMPARE(dlg.pictureBox()->itemText(119), QStringLiteral("Рисунок 119"));
        TxPromptRecorder recorder;
        korvex::widgets::TxMessages::Intercept intercept(recorder);
        QVERIFY(!dlg.save());
        QCOMPARE(recorder.messages.last().text, QStringLiteral("Введите наименование"));
        dlg.typeBox()->setCurrentIndex(dlg.typeBox()->findData(int(TboRentReport::FreeObjects)));
        dlg.nameBox()->setText(QStringLiteral("Свободно"));
        dlg.pictureBox()->setCurrentIndex(7);
        QVERIFY(dlg.save());
        const auto stored = bo.readReport(dlg.savedKey());
        QCOMPARE(stored->typeReport, int(TboRentReport::FreeObjects));
        QCOMPARE(stored->icon, 7);
    }

    // Reports that ask no form of payment ("Арендаторы должники") hide its
    // controls; the choice covers every form and the remembered one stays.
    void customerChoiceWithoutPaymentForms()
    {
        korvex::customers::TChooseCustomerOptions stored;
        stored.read(m_f->options, QDate::currentDate());
        stored.allPayments = false;
        stored.paymentKey = TxQuery::scalar(m_f->db.db(), QStringLiteral("SELECT MIN(id) FROM rent_payment")).toInt();
        stored.write(m_f->options);
        QVERIFY(stored.paymentKey > 0);

        korvex::customers::TdlgChooseCustomer shown(m_f->context);
        QVERIFY(!shown.allPayments());
        QCOMPARE(shown.paymentKey(), stored.paymentKey);

        korvex::customers::TdlgChooseCustomer hidden(m_f->context);
        hidden.setPaymentsVisible(false);
        hidden.show();
        QVERIFY(!hidden.paymentsVisible());
        QVERIFY(hidden.allPayments());
        QPushButton *ok = nullptr;
        for (QPushButton *b : hidden.findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("Ок"))
                ok = b;
        QVERIFY(ok);
        ok->click();
        QCOMPARE(hidden.result(), int(QDialog::Accepted));
        korvex::customers::TChooseCustomerOptions after;
        after.read(m_f->options, QDate::currentDate());
        QVERIFY(!after.allPayments);
        QCOMPARE(after.paymentKey, stored.paymentKey);
    }

    void reportsPage()
    {
        QWidget host;
        TptReport page(m_f->context, &host);
        QCOMPARE(page.reports()->count(), 4);
        QCOMPARE(page.reports()->item(0)->text(), QStringLiteral("Возрастная структура задолженности"));  // by name
        QVERIFY(!page.reports()->item(0)->icon().isNull());
        QVERIFY(page.printForms()->model()->rowCount() > 0);
        // Each print form shows its picture: a group its folder, open when
        // expanded; a document form its sheet.
        auto *forms = qobject_cast<korvex::widgets::TxTreeModel *>(page.printForms()->model());
        QVERIFY(forms);
        auto pictureOf = [&](qint64 id) {
            return forms->data(forms->indexOf(id), Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
        };
        auto picture = [](TPrintFormPicture p) { return printFormPicture(p).pixmap(16).toImage(); };
        page.printForms()->collapse(forms->indexOf(1));
        QCOMPARE(pictureOf(1), picture(TPrintFormPicture::Folder));
        page.printForms()->expand(forms->indexOf(1));
        QCOMPARE(pictureOf(1), picture(TPrintFormPicture::OpenFolder));
        QCOMPARE(pictureOf(2), picture(TPrintFormPicture::Item));
        QVERIFY(pictureOf(1) != pictureOf(2));
        // The print-form tree offers the register of its own list.
        QStringList captions;
        for (QAction *a : page.printForms()->actions())
            captions << a->text();
        QVERIFY(!captions.isEmpty());
    }
};

// ---------------------------------------------------------------------------

class PrintCliTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_dir;

    using Run = korvex::test::ProgramRun;
    static Run cli(const QStringList &args)
    {
        return korvex::test::runProgram(QStringLiteral(KORVEX_CLI), QStringList{QStringLiteral("print")} + args);
    }
    static QString text(const QString &file)
    {
        TxRTFFile back;
        return back.LoadFromFile(file) ? back.text() : QStringLiteral("<not written>");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        m_db = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
        m_db->db().close();  // the command opens the file itself
    }

    void printsDocumentsAndReports()
    {
        const QString invoice = m_dir.filePath(QStringLiteral("invoice.rtf"));
        Run r = cli({QStringLiteral("invoice"), QStringLiteral("1"), QStringLiteral("--form"), QStringLiteral("Счет-фактура"),
                     QStringLiteral("--out"), invoice, m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        const QString t = text(invoice);
        QVERIFY2(t.contains(QString::fromUtf16(u"Итого к оплате\t4\u00a0521,67")), qPrintable(t));
        QVERIFY2(t.contains(QStringLiteral("Четыре тысячи пятьсот двадцать один руб. 67 коп.")), qPrintable(t));

        const QString pdf = m_dir.filePath(QStringLiteral("contract.pdf"));
        r = cli({QStringLiteral("contract"), QStringLiteral("1"), QStringLiteral("--form"), QStringLiteral("2"),
                 QStringLiteral("--out"), pdf, m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(4) == "%PDF");

        const QString priced = m_dir.filePath(QStringLiteral("priced.rtf"));
        r = cli({QStringLiteral("contract-priced"), QStringLiteral("1"), QStringLiteral("--form"),
                 QStringLiteral("Расчет арендной платы"), QStringLiteral("--out"), priced, m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString p = text(priced);
        QVERIFY2(p.contains(QString::fromUtf16(u"Итого в месяц\t4\u00a0756,91")), qPrintable(p));
        QVERIFY2(p.contains(QStringLiteral("Четыре тысячи семьсот пятьдесят шесть руб. 91 коп.")), qPrintable(p));

        const QString debts = m_dir.filePath(QStringLiteral("debts.rtf"));
        r = korvex::test::runProgram(QStringLiteral(KORVEX_CLI),
                                     {QStringLiteral("print"), QStringLiteral("report"),
                                      QStringLiteral("Задолженность по клиентам и услугам"), QStringLiteral("--out"), debts,
                                      QStringLiteral("--param"), QStringLiteral("customers=2"), m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString d = text(debts);
        QVERIFY2(d.contains(QString::fromUtf16(u"Итого по арендатору\t\t4\u00a0521,67\t1\u00a0508,79")), qPrintable(d));
        QVERIFY(!d.contains(QStringLiteral("Витязь")));

        // A report type another part of the program adds: the aged debts.
        const QString aged = m_dir.filePath(QStringLiteral("aged.rtf"));
        r = korvex::test::runProgram(QStringLiteral(KORVEX_CLI),
                                     {QStringLiteral("print"), QStringLiteral("report"),
                                      QStringLiteral("Возрастная структура задолженности"), QStringLiteral("--out"), aged,
                                      QStringLiteral("--param"), QStringLiteral("customers=2"), m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString a = text(aged);
        QVERIFY2(a.contains(QStringLiteral("ООО «Альфа-Трейд»")), qPrintable(a));
        QVERIFY(!a.contains(QStringLiteral("Витязь")));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown form") << QStringList{"invoice", "1", "--form", "Нет такой", "--out", "$OUT", "$DB"}
                                      << "Print form not found: Нет такой";
        QTest::newRow("form of another type") << QStringList{"invoice", "1", "--form", "2", "--out", "$OUT", "$DB"}
                                              << "Print form 2 does not print a invoice.";
        QTest::newRow("missing invoice") << QStringList{"invoice", "1,999", "--form", "4", "--out", "$OUT", "$DB"}
                                         << "Invoice 999 does not exist.";
        QTest::newRow("bad key") << QStringList{"contract", "x", "--form", "2", "--out", "$OUT", "$DB"}
                                 << "KEY must be a number: x";
        QTest::newRow("no form") << QStringList{"contract", "1", "--out", "$OUT", "$DB"} << "Usage: korvex-rent-cli print";
        QTest::newRow("unknown report") << QStringList{"report", "99", "--out", "$OUT", "$DB"} << "Report not found: 99";
        QTest::newRow("bad date") << QStringList{"report", "1", "--out", "$OUT", "--param", "from=yesterday", "$DB"}
                                  << "--param from takes a date YYYY-MM-DD: yesterday";
        QTest::newRow("no rows") << QStringList{"report", "1", "--out", "$OUT", "--param", "customers=999", "$DB"}
                                 << "Nothing to print";
        QTest::newRow("output cannot be written")
            << QStringList{"invoice", "1", "--form", "4", "--out", "/nonexistent/dir/x.rtf", "$DB"}
            << "/nonexistent/dir/x.rtf";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString out = m_dir.filePath(QStringLiteral("failed.rtf"));
        for (QString &a : args) {
            a.replace(QStringLiteral("$DB"), m_db->path());
            a.replace(QStringLiteral("$OUT"), out);
        }
        const QString problem = korvex::test::badFailure(cli(args), message, out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

#include "tst_printing.moc"

KORVEX_TEST_CLASS(PrintMenuTest)
KORVEX_TEST_CLASS(PrintDocumentTest)
KORVEX_TEST_CLASS(ReportTest)
KORVEX_TEST_CLASS(PrintWindowTest)
KORVEX_TEST_CLASS(PrintCliTest)
