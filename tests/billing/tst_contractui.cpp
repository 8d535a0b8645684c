#include "billingFixture.h"
#include "common/testMain.h"
#include "common/whenModal.h"

#include "billing/ui/billingWindows.h"
#include "accounting/xBookkeepingLink.h"
#include "billing/ui/dlgAddContractService.h"
#include "customers/ui/dlgCustomer.h"
#include "billing/ui/dlgChooseContractService.h"
#include "pricing/ui/dlgRentCSReckoning.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "billing/ui/dlgRentContract.h"
#include "billing/ui/dlgRentContractFilter.h"
#include "billing/ui/dlgRentContractList.h"
#include "billing/ui/ptContract.h"
#include "pricing/boRentReckoning.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xQueryModel.h"
#include "amount/xAmount.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace korvex::billing;
using namespace korvex::db;
using korvex::test::TxPromptRecorder;
using korvex::test::whenModal;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxMessages;

KORVEX_TEST_GUI_PROGRAM()

namespace {

template<class T = QLineEdit>
T *field(QWidget *dialog, const char *name)
{
    T *f = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!f)
        qFatal("no field %s", name);
    return f;
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return field<QPushButton>(dialog, name);
}

// Pictures of the windows when KORVEX_SCREENSHOTS names a folder.
void screenshot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("KORVEX_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// For the handlers of modal dialogs: a check that fails returns early, and
// the dialog must still close.
void closeIfOpen(QDialog *d)
{
    if (d->isVisible())
        d->reject();
}

// The customer synchronisation of the bookkeeping link, counting its calls.
struct CountingSync : korvex::accounting::TCustomerSyncLink {
    int queues = 0;
    int transfers = 0;
    void ProcessChangeQueue(korvex::widgets::TxProgress *) override { ++queues; }
    void TransferNewCustomers(korvex::widgets::TxProgress *) override { ++transfers; }
};

// Receives the files the program hands to the desktop.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    QStringList files;
public Q_SLOTS:
    void open(const QUrl &url) { files << url.toLocalFile(); }
};

} // namespace

// The contract dialog: the required fields in their order, "&Следующий"
// with the counter, cancelling, the occupancy check, positions the server
// keeps, the rate field and the document files.
class ContractDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TBillingWindows> m_windows;
    std::unique_ptr<TboRentContract> m_bo;
    TxPromptRecorder m_prompts{true};

    void expectRefused(TdlgRentContract &d, QPushButton *press, const QString &message, QWidget *focus)
    {
        const qsizetype before = m_prompts.messages.size();
        QTest::mouseClick(press, Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), before + 1);
        QCOMPARE(m_prompts.messages.last().text, message);
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY2(focus->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == focus,
                 qPrintable(message));
        QVERIFY(d.isVisible());
    }
    int contractsNumbered(const QString &number)
    {
        return m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contract WHERE number = ?"), {number}).toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<BillingSession>();
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TBillingWindows>(m_window.get());
        m_bo = std::make_unique<TboRentContract>(m_s->context, m_windows.get());
        m_prompts.messages.clear();
        m_prompts.answer = true;
    }
    void cleanup()
    {
        m_bo.reset();
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    // "Ок" asks for the payment day before the action date,
    // "&Следующий" the other way round.
    void requiredOrder()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentContract d(*m_bo, m_bo->newContract());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        expectRefused(d, d.okButton(), QStringLiteral("Выберите клиента"), d.customerBox());
        d.customerBox()->setKey(11);
        auto *sign = field<TxCheckedEdit>(&d, "signdate");
        auto *expire = field<TxCheckedEdit>(&d, "expriredate");
        auto *day = field<TxCheckedEdit>(&d, "paymentday");
        auto *action = field<TxCheckedEdit>(&d, "actiondate");
        sign->clear();
        expectRefused(d, d.okButton(), QStringLiteral("Введиете дату начала"), sign);
        sign->setDateValue(QDate::currentDate());
        expire->clear();
        expectRefused(d, d.okButton(), QStringLiteral("Введиете дату окончания"), expire);
        expire->setDateValue(QDate::currentDate().addYears(1));
        day->clear();
        action->clear();
        expectRefused(d, d.okButton(), QStringLiteral("Введите день месяца"), day);
        expectRefused(d, d.nextButton(), QStringLiteral("Введите дату действия"), action);
        QCOMPARE(contractsNumbered(QStringLiteral("19")), 0);
    }

    // "&Следующий" stores the contract, advances the counter and shows a
    // new one with a fresh key and the next number; cancelling then
    // stores nothing more. Editing an old contract keeps the counter.
    void nextAndCancel()
    {
        TxMessages::Intercept intercept(m_prompts);
        const TContractEdit first = m_bo->newContract();
        TdlgRentContract d(*m_bo, first);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(field(&d, "number")->text(), QStringLiteral("19"));
        d.customerBox()->setKey(11);
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.value(0).text));
        QCOMPARE(d.savedKey(), first.contract.id);
        QCOMPARE(contractsNumbered(QStringLiteral("19")), 1);
        QCOMPARE(field(&d, "number")->text(), QStringLiteral("20"));
        QVERIFY(d.currentEdit().contract.id != first.contract.id);
        QVERIFY(!d.customerBox()->intKey());
        d.customerBox()->setKey(12);
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(d.savedCount(), 1);
        QCOMPARE(contractsNumbered(QStringLiteral("20")), 0);

        std::optional<TContractEdit> old = m_bo->readContract(5);
        TdlgRentContract edit(*m_bo, *old);
        QVERIFY(!edit.nextButton()->isVisible());
        field(&edit, "name")->setText(QStringLiteral("Склад С-1, новый срок"));
        QVERIFY(edit.save());
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentcontractnumber")), std::optional<int>(20));
    }

    // Cancelling the edit of an open contract leaves its objects rented;
    // an object another open contract rents refuses the save.
    void occupancyInDialog()
    {
        TxMessages::Intercept intercept(m_prompts);
        whenModal<TdlgRentContract>(this, [](TdlgRentContract *d) { d->cancelButton()->click(); });
        QVERIFY(!m_bo->EditContract(7));
        QCOMPARE(m_s->useful(32), 1);
        QCOMPARE(m_s->useful(42), 1);

        TdlgRentContract d(*m_bo, *m_bo->readContract(13));
        TContractServiceRecord taken;
        taken.serviceKey = 11;
        taken.objectKey = 8;
        taken.objectName = QStringLiteral("Немига, оф. 201");
        d.positions()->appendRecord(taken);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Договор не может быть открытым, т.к. объекты: Немига, "
                                                               "оф. 201  уже используются в других договорах"));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contractservice WHERE contractkey = 13")).toInt(), 2);
        // Closed, the contract is saved without the check.
        d.closedBox()->setChecked(true);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_s->useful(10), 0);
        QCOMPARE(m_s->useful(8), 1);
    }

    // A billed position stays without a question; another goes after
    // "Удалить позицию в договоре?", and only when the contract is saved.
    void deletePositions()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentContract d(*m_bo, *m_bo->readContract(1));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.positions()->rowCount(), 6);
        d.positionGrid()->setCurrentIndex(d.positions()->index(0, 0));  // position 1, invoiced
        QTest::mouseClick(button(&d, "deletePosition"), Qt::LeftButton);
        QCOMPARE(d.positions()->rowCount(), 6);
        QVERIFY(m_prompts.messages.isEmpty());
        d.positionGrid()->setCurrentIndex(d.positions()->index(3, 0));  // position 4, never billed
        QTest::mouseClick(button(&d, "deletePosition"), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Удалить позицию в договоре?"));
        QCOMPARE(d.positions()->rowCount(), 5);
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contractservice WHERE contractkey = 1")).toInt(), 6);
    }

    // "Курс": text that is no number says "Ошибка!"; a rate typed is the
    // guard's rate and is recorded for the sign date with the contract.
    void rateField()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentContract d(*m_bo, *m_bo->readContract(18));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const QDate signDate = d.currentEdit().contract.signDate;
        QVERIFY(!d.rateEdit()->text().isEmpty());  // the demo's rate on the sign date
        d.rateEdit()->setFocus();
        d.rateEdit()->selectAll();
        QTest::keyClicks(d.rateEdit(), QStringLiteral("abc"));
        d.positionGrid()->setFocus();  // leaving the field
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Ошибка!"));
        QTRY_COMPARE(QApplication::focusWidget(), d.rateEdit());
        d.rateEdit()->selectAll();
        QTest::keyClicks(d.rateEdit(), QStringLiteral("3,5"));
        d.positionGrid()->setFocus();
        QCOMPARE(d.positions()->conversion().rate(), 3.5);
        d.positionGrid()->setCurrentIndex(d.positions()->index(0, 0));  // office 301, 318.06 in currency
        d.priceAction(TdlgRentContract::PriceAction::NcuFromRate, false)->trigger();
        QVERIFY(korvex::amount::sameAmount(d.positions()->records().at(0).costNcu, 1113.21));
        QVERIFY(d.save());
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT coeff FROM fin_currrate WHERE fromcurr = 2 AND tocurr = 1 AND fordate = ?"),
                             {signDate})
                     .toDouble(),
                 3.5);
        QVERIFY(korvex::amount::sameAmount(
            m_s->scalar(QStringLiteral("SELECT costncu FROM rent_contractservice WHERE id = 45")).toDouble(), 1113.21));
    }

    // A name that is no tenant opens the customer card with it; the customer
    // saved becomes the contract's, and once the contract is saved the new
    // customers go to the bookkeeping system. The queue of its changes is
    // worked off as the dialog opens.
    void newCustomerFromDialog()
    {
        TxMessages::Intercept intercept(m_prompts);
        CountingSync sync;
        TboRentContract bo(m_s->context, m_windows.get(), &sync);
        int cardKey = 0;
        whenModal<TdlgRentContract>(this, [&](TdlgRentContract *d) {
            const auto closing = qScopeGuard([d] { closeIfOpen(d); });
            whenModal<korvex::customers::TdlgCustomer>(this, [&](korvex::customers::TdlgCustomer *card) {
                const auto closingCard = qScopeGuard([card] { closeIfOpen(card); });
                QCOMPARE(card->nameEdit()->text(), QStringLiteral("ООО «Новый арендатор»"));
                card->okButton()->click();
                cardKey = card->savedKey();
            });
            d->customerBox()->lineEdit()->setText(QStringLiteral("ООО «Новый арендатор»"));
            d->customerBox()->resolveText();
            QCOMPARE(d->customerBox()->intKey(), std::optional<int>(cardKey));
            QCOMPARE(sync.transfers, 0);
            d->okButton()->click();
        });
        int saved = 0;
        QVERIFY(bo.NewContract(&saved));
        QVERIFY(cardKey > 0);
        QCOMPARE(sync.queues, 1);
        QCOMPARE(sync.transfers, 1);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT customerkey FROM rent_contract WHERE id = ?"), {saved}).toInt(), cardKey);

        // Without a card saved nothing is sent.
        whenModal<TdlgRentContract>(this, [](TdlgRentContract *d) {
            d->customerBox()->setKey(11);
            d->okButton()->click();
        });
        QVERIFY(bo.NewContract());
        QCOMPARE(sync.queues, 2);
        QCOMPARE(sync.transfers, 1);
    }

    // The contract's and a supplement's files open with the desktop's
    // program; a file that is not there is said.
    void documentFiles()
    {
        TxMessages::Intercept intercept(m_prompts);
        OpenedFiles opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("contract.rtf"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 Договор}");
        f.close();

        TdlgRentContract d(*m_bo, *m_bo->readContract(1));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        field(&d, "filename")->setText(dir.filePath(QStringLiteral("missing.rtf")));
        QTest::mouseClick(button(&d, "view"), Qt::LeftButton);
        QVERIFY(m_prompts.messages.last().text.startsWith(QStringLiteral("Файл документа не найден")));
        field(&d, "filename")->setText(file);
        QTest::mouseClick(button(&d, "view"), Qt::LeftButton);
        QCOMPARE(opened.files, QStringList{file});

        d.tabs()->setCurrentIndex(1);
        QCOMPARE(d.supplementGrid()->model()->rowCount(), 1);
        d.supplementGrid()->setCurrentIndex(d.supplementGrid()->model()->index(0, 0));
        whenModal<QDialog>(this, [file](QDialog *s) {
            s->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(file);
            s->findChild<QPushButton *>(QStringLiteral("view"))->click();
            qobject_cast<korvex::widgets::TxEditDialog *>(s)->okButton()->click();
        });
        QTest::mouseClick(button(&d, "editSupplement"), Qt::LeftButton);
        QCOMPARE(opened.files.size(), 2);
        QTest::mouseClick(button(&d, "viewSupplement"), Qt::LeftButton);
        QCOMPARE(opened.files.size(), 3);
        QVERIFY(d.save());
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT filename FROM rent_supplement WHERE id = 1")).toString(), file);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }
};

// The dialogs around the positions: the reckoning type of a row
// ("Формула расчета цены"), the price dialog on a row not stored yet
// ("Рассчет по формуле"), and the choice of positions for a document.
class PositionDialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TBillingWindows> m_windows;
    std::unique_ptr<TboRentContract> m_bo;
    TxPromptRecorder m_prompts{true};

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<BillingSession>();
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TBillingWindows>(m_window.get());
        m_bo = std::make_unique<TboRentContract>(m_s->context, m_windows.get());
    }
    void cleanup()
    {
        m_bo.reset();
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    void formulaOfRow()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentContract d(*m_bo, *m_bo->readContract(18));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.positionGrid()->setCurrentIndex(d.positions()->index(0, 0));
        std::optional<int> preset;
        whenModal<korvex::calc::TdlgRentCSReckoning>(this, [&](korvex::calc::TdlgRentCSReckoning *f) {
            preset = f->typeBox()->intKey();
            f->typeBox()->setKey(9);
            f->ncuFirstButton()->setChecked(true);
            f->okButton()->click();
        });
        QTest::mouseClick(button(&d, "chooseFormula"), Qt::LeftButton);
        QCOMPARE(preset, std::optional<int>(2));
        QCOMPARE(d.positions()->records().at(0).typeReckoningKey, std::optional<int>(9));
        QCOMPARE(d.positions()->records().at(0).ncuReckoning, std::optional<int>(1));
        QCOMPARE(d.positions()->data(d.positions()->index(0, TContractServiceModel::TypeColumn)).toString(),
                 QStringLiteral("Аренда в валюте с пересчетом в рубли"));
    }

    // A position added in the dialog is priced with its own area before it
    // is stored; "Ок" takes both prices through the guard.
    void priceDialogOnNewRow()
    {
        TxMessages::Intercept intercept(m_prompts);
        TdlgRentContract d(*m_bo, m_bo->newContract());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.customerBox()->setKey(11);
        m_bo->addPositions(*d.positions(), {TServiceObjectPair{2, 14, QStringLiteral("Аренда офисных помещений"),
                                                               QStringLiteral("Немига, оф. 303")}});
        d.positions()->setData(d.positions()->index(0, TContractServiceModel::CountColumn), QStringLiteral("10"));
        d.positionGrid()->setCurrentIndex(d.positions()->index(0, 0));
        std::optional<int> preset;
        bool reckoned = false;
        whenModal<korvex::calc::TdlgRentMakeReckoning>(this, [&](korvex::calc::TdlgRentMakeReckoning *p) {
            preset = p->typeBox()->intKey();
            reckoned = p->reckonByType();  // 12 x 10 m2 x 0.95 x 0.9 into the currency price
            p->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        d.priceMenuAction()->trigger();
        QCOMPARE(preset, std::optional<int>(2));
        QVERIFY(reckoned);
        QVERIFY(korvex::amount::sameAmount(d.positions()->records().at(0).costCurr, 102.6));
        QVERIFY(d.positions()->records().at(0).costNcu > 300);
        QVERIFY(m_prompts.messages.isEmpty());
    }

    // "Активные договора" keeps to open contracts (customer 16: contract 12
    // closed, 16 open); the ticks come back in the order given.
    void choosePositions()
    {
        TxMessages::Intercept intercept(m_prompts);
        TContractServiceChoice choice{16, false, 0, {}};
        TdlgChooseContractService d(*m_bo, choice);
        QVERIFY(!d.customerBox()->isEnabled());
        QVERIFY(d.allContractsBox()->isChecked());
        QCOMPARE(d.model()->rowCount(), 2);
        d.openOnlyBox()->setChecked(false);
        QCOMPARE(d.model()->rowCount(), 3);
        d.model()->setChecked(43, true);
        d.model()->setChecked(37, true);
        d.findChild<QPushButton *>(QStringLiteral("ok"))->click();
        QCOMPARE(choice.keys, (QList<int>{43, 37}));

        QStringList keys;
        bool allTicked = true;
        int listed = 0;
        int limited = 0;
        whenModal<TdlgChooseContractService>(this, [&](TdlgChooseContractService *c) {
            allTicked = c->allContractsBox()->isChecked();
            listed = c->model()->rowCount();  // contract 16
            c->findChild<QPushButton *>(QStringLiteral("markAll"))->click();
            c->priorityEdit()->setText(QStringLiteral("1"));
            limited = c->model()->rowCount();
            c->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        });
        QVERIFY(m_bo->ChooseContractServices(16, true, keys, 16));
        QVERIFY(!allTicked);
        QCOMPARE(listed, 2);
        QCOMPARE(limited, 1);
        QCOMPARE(keys, (QStringList{QStringLiteral("42"), QStringLiteral("43")}));
    }
};

// The contracts page on the demo database, as a new user meets it: a
// contract made for a demo customer from the service and object trees,
// priced from the price list and by formula, saved, renewed and closed;
// then every tab of a contract of the demo.
class ContractPageTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<BillingSession> m_s;
    std::unique_ptr<QWidget> m_window;
    TxPromptRecorder m_prompts{true};

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<BillingSession>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(1200, 760);
        m_prompts.messages.clear();
    }
    void cleanup()
    {
        m_window.reset();
        m_s.reset();
    }

    void newUserRound()
    {
        TxMessages::Intercept intercept(m_prompts);
        auto *page = new TptContract(m_s->context, m_window.get());
        page->resize(m_window->size());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(page->contractModel()->rowCount(), 18);

        int made = 0;
        whenModal<TdlgRentContract>(this, [&](TdlgRentContract *d) {
            const auto closing = qScopeGuard([d] { closeIfOpen(d); });  // a failed check must not hang the test
            d->customerBox()->lineEdit()->setText(QStringLiteral("УП «Минсктеплосеть»"));
            QVERIFY(d->customerBox()->resolveText());
            QCOMPARE(d->customerBox()->intKey(), std::optional<int>(11));
            field(d, "name")->setText(QStringLiteral("Офис 303 для теплосети"));
            // The office on the third floor and the waste removal.
            whenModal<TdlgAddContractService>(this, [](TdlgAddContractService *a) {
                const auto closing = qScopeGuard([a] { closeIfOpen(a); });
                QVERIFY(a->serviceTree()->setCurrentId(2));
                QVERIFY(a->objectTree()->setCurrentId(8));  // rented by contract 1
                a->findChild<QPushButton *>(QStringLiteral("serviceWithObject"))->click();
                QVERIFY(a->pairs().isEmpty());
                QVERIFY(a->objectTree()->setCurrentId(14));
                a->findChild<QPushButton *>(QStringLiteral("serviceWithObject"))->click();
                QVERIFY(a->serviceTree()->setCurrentId(10));
                a->findChild<QPushButton *>(QStringLiteral("serviceAlone"))->click();
                QCOMPARE(a->pairs().size(), 2);
                screenshot(a, QStringLiteral("add-positions"));
                a->findChild<QPushButton *>(QStringLiteral("ok"))->click();
            });
            QTest::mouseClick(button(d, "addPosition"), Qt::LeftButton);
            TContractServiceModel *positions = d->positions();
            QCOMPARE(positions->rowCount(), 2);
            // From the price list: 12 a square metre in currency, the area
            // formula (option rentautoreplacereckoning), 35 for the waste.
            QCOMPARE(positions->records().at(0).costCurr, 12.0);
            QCOMPARE(positions->records().at(0).typeReckoningKey, std::optional<int>(2));
            QCOMPARE(positions->records().at(1).costNcu, 35.0);
            positions->setData(positions->index(0, TContractServiceModel::CountColumn), QStringLiteral("30"));
            d->positionGrid()->setCurrentIndex(positions->index(0, 0));
            d->priceAction(TdlgRentContract::PriceAction::Reckon, false)->trigger();
            // 12 x 30 m2 x 0.95 x 0.9 x index 1, and the rouble price at the rate.
            QVERIFY(korvex::amount::sameAmount(positions->records().at(0).costCurr, 307.8));
            QVERIFY(positions->records().at(0).costNcu > 900);
            d->priceAction(TdlgRentContract::PriceAction::PriceList, true)->trigger();
            QVERIFY(korvex::amount::sameAmount(positions->records().at(0).costCurr, 12.0));
            d->priceAction(TdlgRentContract::PriceAction::Reckon, true)->trigger();
            QVERIFY(korvex::amount::sameAmount(positions->records().at(0).costCurr, 307.8));
            screenshot(d, QStringLiteral("contract-dialog"));
            d->okButton()->click();
            made = d->savedKey();
        });
        page->trigger(korvex::widgets::TPart::Action::Add);
        QVERIFY2(made > 0, qPrintable(m_prompts.messages.value(0).text));
        QCOMPARE(page->currentContract(), std::optional<int>(made));
        QCOMPARE(m_s->useful(14), 1);
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT COUNT(*) FROM rent_contractservice WHERE contractkey = ?"), {made}).toInt(), 2);
        // What was stored is what the engine computes for the stored position.
        const int office = m_s->scalar(QStringLiteral("SELECT id FROM rent_contractservice WHERE contractkey = ? AND objectkey = 14"),
                                       {made})
                               .toInt();
        korvex::calc::TboRentReckoning engine(m_s->context);
        QVERIFY(engine.LoadContractService(office));
        const double stored = engine.CostCurr;
        QVERIFY(engine.Reckon());
        QVERIFY(korvex::amount::sameAmount(engine.CostCurr, stored));
        QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentcontractnumber")), std::optional<int>(20));

        // Renewal: a new open contract, the old one closed.
        int renewed = 0;
        whenModal<TdlgRentContract>(this, [&](TdlgRentContract *d) {
            QVERIFY(!d->nextButton()->isVisible());
            field<TxCheckedEdit>(d, "expriredate")->setDateValue(QDate::currentDate().addYears(2));
            d->okButton()->click();
            renewed = d->savedKey();
        });
        page->renewCurrent();
        QVERIFY(renewed > made);
        QCOMPARE(page->currentContract(), std::optional<int>(renewed));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = ?"), {made}).toInt(), 1);
        QCOMPARE(m_s->useful(14), 1);

        // Closing: asked, then the objects are free again.
        page->closeCurrent();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Закрыть договор?"));
        QCOMPARE(m_s->scalar(QStringLiteral("SELECT disabled FROM rent_contract WHERE id = ?"), {renewed}).toInt(), 1);
        QCOMPARE(m_s->useful(14), 0);

        // Every tab of contract 1 of the demo.
        QVERIFY(page->contractGrid()->locateKey(1));
        screenshot(page, QStringLiteral("page-contracts"));
        page->setCurrentTab(TptContract::PositionsTab);
        QCOMPARE(page->positionGrid()->model()->rowCount(), 6);
        screenshot(page, QStringLiteral("page-positions"));
        QVERIFY(page->positionGrid()->locateKey(5));  // the electricity meter
        page->setCurrentTab(TptContract::ValuesTab);
        QCOMPARE(page->valueModel()->rowCount(), 4);
        QVERIFY(page->totalLabel()->text().startsWith(QStringLiteral("Итого:")));
        QVERIFY(korvex::amount::sameAmount(page->valueModel()->total(), 1955));
        screenshot(page, QStringLiteral("page-values"));
        page->setCurrentTab(TptContract::SupplementsTab);
        QCOMPARE(page->supplementGrid()->model()->rowCount(), 1);
        screenshot(page, QStringLiteral("page-supplements"));
        page->setCurrentTab(TptContract::InfoTab);
        QVERIFY(!page->debtLabel(0)->text().isEmpty());
        QVERIFY(page->requisites()->rowCount() > 10);
        QCOMPARE(page->requisites()->item(0, 1)->text(), QStringLiteral("ООО «Альфа-Трейд»"));
        QCOMPARE(page->bankGrid()->model()->rowCount(), 2);
        QCOMPARE(page->objectGrid()->model()->rowCount(), 2);
        QVERIFY(page->historyGrid()->model()->rowCount() >= 2);
        screenshot(page, QStringLiteral("page-info"));
        page->infoTabs()->setCurrentIndex(3);
        screenshot(page, QStringLiteral("page-info-history"));
    }

    // The list menu: sorting (kept at once), the filter, ticking the open
    // contracts, the quick list and the values typed on the page.
    void listMenu()
    {
        TxMessages::Intercept intercept(m_prompts);
        {
            auto *page = new TptContract(m_s->context, m_window.get());
            page->setSortOrder(TContractFilter::BySignDate);
            QCOMPARE(page->sortButton()->text(), QStringLiteral("Сортировать: По дате заключения"));
            korvex::widgets::TxCheckedQueryModel *list = page->contractModel();
            QCOMPARE(list->value(0, QStringLiteral("number")).toString().trimmed(), QStringLiteral("12"));
            page->markOpenContracts();
            QCOMPARE(page->contractModel()->checkedCount(), 16);
            QVERIFY(!page->contractModel()->isChecked(9));

            whenModal<TdlgRentContractFilter>(this, [](TdlgRentContractFilter *f) {
                f->findChild<QRadioButton *>(QStringLiteral("activity2"))->setChecked(true);
                f->findChild<QPushButton *>(QStringLiteral("ok"))->click();
            });
            page->editFilter();
            QCOMPARE(page->contractModel()->rowCount(), 2);

            whenModal<TdlgRentContractList>(this, [](TdlgRentContractList *l) {
                const auto closing = qScopeGuard([l] { closeIfOpen(l); });
                TContractListModel *m = l->model();
                QVERIFY(m->setData(m->index(0, TContractListModel::NumberColumn), QStringLiteral("44")));
                l->findChild<QPushButton *>(QStringLiteral("ok"))->click();
            });
            page->showOpenContracts();
            QCOMPARE(m_s->options.GetIntegerOption(QStringLiteral("rentcontractnumber")), std::optional<int>(45));
            delete page;
        }
        // The order and filter come back with the page.
        auto *page = new TptContract(m_s->context, m_window.get());
        QCOMPARE(page->contract().filter().sortOrder, int(TContractFilter::BySignDate));
        QCOMPARE(page->contractModel()->rowCount(), 2);

        // Values typed on the page: a new row a day after the last one typed.
        TContractFilter all;
        page->contract().setFilter(all);
        page->loadContracts(2);
        page->setCurrentTab(TptContract::PositionsTab);
        QVERIFY(page->positionGrid()->locateKey(10));
        page->setCurrentTab(TptContract::ValuesTab);
        QCOMPARE(page->valueModel()->rowCount(), 4);
        const int row = page->valueModel()->appendRow();
        QVERIFY(page->valueModel()->setData(page->valueModel()->index(row, TContractServiceValueModel::ValueColumn),
                                            QStringLiteral("600")));
        QTRY_COMPARE(page->valueModel()->rowCount(), 5);
        const int next = page->valueModel()->appendRow();
        QCOMPARE(page->valueModel()->records().at(next).date, QDate::currentDate().addDays(1));
        QTRY_VERIFY(page->totalLabel()->text().contains(QStringLiteral("2")));
        page->showValueSum();
        QCOMPARE(m_prompts.messages.last().text, QStringLiteral("Сумма: 2815.0000"));
        delete page;
    }
};

KORVEX_TEST_CLASS(ContractDialogTest)
KORVEX_TEST_CLASS(PositionDialogTest)
KORVEX_TEST_CLASS(ContractPageTest)

#include "tst_contractui.moc"
