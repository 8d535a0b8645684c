#include "common/testDatabase.h"
#include "common/testMain.h"

#include "customers/PlaceTreeModel.h"
#include "customers/ui/PlaceTree.h"
#include "customers/ui/dlgCustomer.h"
#include "customers/ui/dlgFactoryFilter.h"
#include "customers/ui/ptCustomer.h"
#include "db/xQuery.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xQueryModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace korvex::customers;
using namespace korvex::db;
using namespace korvex::widgets;
using korvex::shell::TAppContext;
using korvex::shell::TmmOptions;
using korvex::test::TestDatabase;

KORVEX_TEST_GUI_PROGRAM()

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
};

KORVEX_TEST_CLASS(CustomerWindowsTest)

#include "tst_customerwindows.moc"
