#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "customers/PlaceTreeModel.h"
#include "customers/boCustAttr.h"
#include "customers/ui/PlaceTree.h"
#include "customers/ui/dlgBankAccount.h"
#include "customers/ui/dlgCustAttributes.h"
#include "customers/ui/dlgCustomerList.h"
#include "customers/ui/dlgCustomer.h"
#include "customers/ui/dlgFactoryFilter.h"
#include "customers/ui/ptCustomer.h"
#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xQueryModel.h"
#include "widgets/xTreeModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <functional>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace korvex::customers;
using namespace korvex::db;
using namespace korvex::widgets;
using korvex::test::TxPromptRecorder;
using korvex::shell::TAppContext;
using korvex::shell::TmmOptions;
using korvex::test::TestDatabase;

KORVEX_TEST_GUI_PROGRAM()

namespace {

// Runs the handler on the next modal dialog of type D once it is shown.
template <typename D>
void whenShown(const std::function<void(D &)> &handler)
{
    QTimer::singleShot(0, [handler] {
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "the expected dialog is not open");
        handler(*dialog);
    });
}

} // namespace

class CustomerWindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The page opens on the tab the same user used last ("Банки" the first
    // time), opening only that tab's list; the place tree opens when shown.
    void pageRemembersTab()
    {
        TestDatabase t(TestDatabase::Content::Demo);
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        QWidget window;
        {
            TmmOptions options(t.db(), 7);
            TAppContext context{t.db(), options, nullptr};
            {
                TptCustomer page(context, &window);
                QCOMPARE(page.currentTab(), int(TptCustomer::Banks));
                QCOMPARE(page.chapter(), QStringLiteral("Банки"));
                QVERIFY(page.isOpened(TptCustomer::Banks));
                QVERIFY(!page.isOpened(TptCustomer::Enterprises));
                QVERIFY(page.listModel(TptCustomer::Banks)->rowCount() > 0);
                page.setCurrentTab(TptCustomer::Places);
                QVERIFY(page.placeTree()->isLoaded());
                QVERIFY(page.placeTree()->placeModel()->rowCount() > 0);
            }
            TptCustomer again(context, &window);
            QCOMPARE(again.currentTab(), int(TptCustomer::Places));
        }
        TmmOptions other(t.db(), 8);
        TAppContext context{t.db(), other, nullptr};
        TptCustomer page(context, &window);
        QCOMPARE(page.currentTab(), int(TptCustomer::Banks));
        QVERIFY(prompts.messages.isEmpty());
    }

    // Unticking "Наименование" gives an empty condition; a stored form of
    // ownership that is gone leaves the look-up on the last row, and
    // confirming with the box ticked takes that row.
    void filterDialog()
    {
        TestDatabase t(TestDatabase::Content::Demo);
        TFactoryFilter stored;
        stored.setPropertyKindValue(999);
        TdlgFactoryFilter dialog(t.db(), stored);
        QVERIFY(dialog.fieldCheck(TFactoryFilter::Name)->isChecked());
        QCOMPARE(dialog.fieldMode(TFactoryFilter::Name)->currentText(), QStringLiteral("содержит"));
        QCOMPARE(dialog.fieldMask(TFactoryFilter::Name)->text(), QStringLiteral("TARNWELL SOFTWARE"));
        QVERIFY(!dialog.fieldMode(TFactoryFilter::Phone)->isEnabled());
        QVERIFY(dialog.propertyCheck()->isChecked());
        const QVariant last = TxQuery::scalar(t.db(), QStringLiteral("SELECT FIRST 1 propertykindkey FROM fin_propertykind "
                                                                     "ORDER BY name DESC"));
        QCOMPARE(dialog.propertyBox()->key().toInt(), last.toInt());

        dialog.fieldCheck(TFactoryFilter::Name)->setChecked(false);
        dialog.fieldCheck(TFactoryFilter::Phone)->setChecked(true);
        QCOMPARE(dialog.fieldMode(TFactoryFilter::Phone)->currentText(), QStringLiteral("содержит"));
        dialog.fieldMask(TFactoryFilter::Phone)->setText(QStringLiteral("29"));
        dialog.confirm();
        QCOMPARE(dialog.filter().use(TFactoryFilter::Name), -1);
        QCOMPARE(dialog.filter().mask(TFactoryFilter::Name), QString());
        QCOMPARE(dialog.filter().use(TFactoryFilter::Phone), int(TFactoryFilter::Contains));
        QCOMPARE(dialog.filter().mask(TFactoryFilter::Phone), QStringLiteral("29"));
        QCOMPARE(dialog.filter().propertyKindValue(), last.toInt());
    }

    // The card's pages follow the kind: an entrepreneur goes on to the person
    // page with the registration; a private person's card hides it.
    void cardPages()
    {
        TestDatabase t;
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TmmOptions options(t.db(), 7);
        TAppContext context{t.db(), options, nullptr};
        TdlgCustomer card(context, QString(), -1, 1);
        QVERIFY(!card.nextButton()->isHidden());
        card.kindBox()->setCurrentIndex(3);
        card.goForward();
        card.goForward();
        QCOMPARE(card.currentPage(), 3);
        QVERIFY(!card.registrationGroup()->isHidden());
        card.goBack();
        QCOMPARE(card.currentPage(), 1);
        card.kindBox()->setCurrentIndex(2);
        QVERIFY(card.registrationGroup()->isHidden());
        card.kindBox()->setCurrentIndex(0);
        card.goForward();
        QCOMPARE(card.currentPage(), 2);

        card.show();
        card.nameEdit()->setFocus();
        QTest::keyClicks(card.nameEdit(), QStringLiteral("Test LLC"));
        QTest::mouseClick(card.okButton(), Qt::LeftButton);
        QVERIFY(card.savedKey() > 0);
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT name FROM cst_customer WHERE customerkey = ?"), {card.savedKey()})
                     .toString(),
                 QStringLiteral("Test LLC"));
        QVERIFY(prompts.messages.isEmpty());
    }

    // A customer needs a name, as every directory row does: the card says
    // so, goes back to the page of the name and puts the cursor there; the
    // business object refuses a nameless customer from anywhere else too.
    void cardRequiresAName()
    {
        TestDatabase t;
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TmmOptions options(t.db(), 7);
        TAppContext context{t.db(), options, nullptr};
        const auto customers = [&] { return TxQuery::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM cst_customer")).toInt(); };
        const int before = customers();
        TdlgCustomer card(context, QString(), -1, 1);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        card.goForward();
        QCOMPARE(card.currentPage(), 1);
        QTest::mouseClick(card.okButton(), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, QStringLiteral("Введите наименование"));
        QCOMPARE(prompts.messages.first().caption, QStringLiteral("Внимание!"));
        QCOMPARE(card.currentPage(), 0);
        QTRY_VERIFY(card.nameEdit()->hasFocus());
        QVERIFY(card.isVisible());
        QCOMPARE(customers(), before);

        TboCustomer nameless(t.db());
        nameless.open(-1, QStringLiteral("  "), 1);
        QVERIFY_THROWS_EXCEPTION(korvex::db::EBusinessError, nameless.save());
        QCOMPARE(customers(), before);
    }

    // A user adds an enterprise with a bank account and an address, finds it
    // with the filter, and gives three customers the same attributes.
    void enterpriseToAttributes()
    {
        TestDatabase t(TestDatabase::Content::Demo);
        TxPromptRecorder prompts(true);
        TxMessages::Intercept intercept(prompts);
        TmmOptions options(t.db(), 7);
        TAppContext context{t.db(), options, nullptr};

        TdlgCustomer card(context, QString(), -1, 1);
        card.nameEdit()->setText(QStringLiteral("ООО «Проверка»"));
        whenShown<TdlgBankAccount>([](TdlgBankAccount &d) {
            d.bankBox()->setKey(1);
            d.findChild<QLineEdit *>(QStringLiteral("account"))->setText(QStringLiteral("BY99TEST"));
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        card.addAccount();
        QCOMPARE(card.customer().accounts().size(), 1);
        whenShown<TdlgPlaceTree>([](TdlgPlaceTree &d) {
            QVERIFY(d.tree()->setCurrentKey(3));
            d.accept();
        });
        card.chooseAddress();
        QCOMPARE(card.addressEdit()->text(), QStringLiteral("Беларусь, г. Минск, ул. Немига"));
        QVERIFY(card.save());
        const int key = card.savedKey();
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM cst_bankaccount WHERE customerkey = ? AND bankkey = 1"),
                                 {key})
                     .toInt(),
                 1);

        TFactoryFilter filter;
        filter.setMask(TFactoryFilter::Name, QStringLiteral("провер"));
        filter.setPlaceValue(2);
        TxQuery q(t.db());
        const auto list = filter.listStatement(1);
        q.exec(list.text(), list.values());
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("customerkey")).toInt(), key);
        QVERIFY(!q.next());
        q.finish();

        TdlgCustomerList customers(t.db());
        TCheckedCustomerModel *model = customers.model();
        QList<int> chosen;
        for (int row = 0; row < 3; ++row) {
            model->setData(model->index(row, model->fieldIndex(QStringLiteral("name"))), Qt::Checked, Qt::CheckStateRole);
            chosen << model->keyAt(row);
        }
        whenShown<TdlgCustAttributes>([](TdlgCustAttributes &d) {
            QCOMPARE(d.model()->markedCount(), 0);
            d.model()->setMarked(QList<qint64>{2, 4}, true);
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
        });
        customers.editAttributes();
        QVERIFY(model->checkedKeys().isEmpty());
        for (int c : chosen)
            QCOMPARE(TCustAttributes(t.db()).attributesOf(c), (QList<int>{2, 4}));

        // A name typed into the list is stored on "Ок", the other rows untouched.
        const int first = model->keyAt(0);
        QVERIFY(model->setData(model->index(0, model->fieldIndex(QStringLiteral("phone"))), QStringLiteral("+375 17 000")));
        QVERIFY(!model->setData(model->index(0, model->fieldIndex(QStringLiteral("disabled"))), QStringLiteral("7")));
        QCOMPARE(model->changedRecords().size(), 1);
        QVERIFY(customers.saveEdits());
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT phone FROM cst_customer WHERE customerkey = ?"), {first})
                     .toString()
                     .trimmed(),
                 QStringLiteral("+375 17 000"));
        QVERIFY(model->changedRecords().isEmpty());
    }
};

KORVEX_TEST_CLASS(CustomerWindowsTest)

#include "tst_customerwindows.moc"
