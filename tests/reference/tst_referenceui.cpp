#include "common/testMain.h"
#include "common/testPrompt.h"
#include "referenceFixture.h"

#include "db/xQuery.h"
#include "reference/ui/dlgCurr.h"
#include "reference/ui/dlgRentObject.h"
#include "reference/ui/ptCurrency.h"
#include "reference/ui/ptObject.h"
#include "reference/ui/referenceWindows.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace korvex::db;
using namespace korvex::reference;
using korvex::test::TestDatabase;
using korvex::widgets::TxMessages;
using korvex::test::TxPromptRecorder;

KORVEX_TEST_GUI_PROGRAM()

namespace {

QLineEdit *lineEdit(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

QVariant scalar(TxDatabase &db, const char *sql, const QVariantList &values = {})
{
    return TxQuery::scalar(db, QString::fromUtf8(sql), values);
}

} // namespace

// The dialogs check their required fields in a fixed order: the first empty
// one is named, gets the cursor, and nothing is stored.
class DialogTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TReferenceWindows> m_windows;
    TxPromptRecorder m_prompts;

    // Clicks "Ок" and checks the message and the field that got the cursor.
    void expectRefused(korvex::widgets::TxEditDialog &d, const QString &message, QWidget *field)
    {
        const qsizetype before = m_prompts.messages.size();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(m_prompts.messages.size(), before + 1);
        QCOMPARE(m_prompts.messages.last().text, message);
        QCOMPARE(m_prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QVERIFY2(field->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == field,
                 qPrintable(message));
        QVERIFY(d.isVisible());
    }

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_window = std::make_unique<QWidget>();
        m_windows = std::make_unique<TReferenceWindows>(m_window.get());
        m_prompts.messages.clear();
    }
    void cleanup()
    {
        m_windows.reset();
        m_window.reset();
        m_s.reset();
    }

    // "Активность валюты" ticked means active (disabled = 0).
    void currencyRequiredOrder()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboCurrency bo(m_s->context, m_windows.get());
        TdlgCurr d(bo, TCurrencyRecord{});
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        struct Field {
            const char *name;
            const char *message;
            const char *typed;
        };
        const Field fields[] = {
            {"name", "Введите полное наименование валюты", "Pound"},
            {"shortname", "Введите краткое наименование валюты", "GBP"},
            {"code", "Введите код валюты", "826"},
            {"sign", "Введите знак валюты", "L"},
            {"fullcentname", "Введите полное наименование центов", "penny"},
            {"shortcentname", "Введите краткое наименование центов", "p"},
            {"centbase", "Введите дробную единицу", "100"},
            {"decdigits", "Введите количество десятичных знаков", "2"},
        };
        for (const Field &f : fields) {
            QLineEdit *field = lineEdit(&d, f.name);
            QVERIFY(field);
            expectRefused(d, QString::fromUtf8(f.message), field);
            QTest::keyClicks(field, QString::fromLatin1(f.typed));
        }
        QVERIFY(d.findChild<QCheckBox *>(QStringLiteral("active"))->isChecked());
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const int id = d.record().id;
        QVERIFY(id > 0);
        QCOMPARE(scalar(m_s->t.db(), "SELECT disabled FROM fin_curr WHERE id = ?", {id}).toInt(), 0);
        QCOMPARE(scalar(m_s->t.db(), "SELECT centbase FROM fin_curr WHERE id = ?", {id}).toInt(), 100);

        TdlgCurr edit(bo, *bo.readCurrency(id));
        edit.findChild<QCheckBox *>(QStringLiteral("active"))->setChecked(false);
        QVERIFY(edit.save());
        QCOMPARE(scalar(m_s->t.db(), "SELECT disabled FROM fin_curr WHERE id = ?", {id}).toInt(), 1);
    }

    void rateRequiredOrder()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboCurrency bo(m_s->context, m_windows.get());
        TRateRecord record;
        TdlgCurrRate d(bo, record, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto *from = d.findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("fromcurr"));
        auto *to = d.findChild<korvex::widgets::TxLookupBox *>(QStringLiteral("tocurr"));
        expectRefused(d, QStringLiteral("Введите дата"), lineEdit(&d, "fordate"));
        lineEdit(&d, "fordate")->setText(QStringLiteral("02.01.2030"));
        expectRefused(d, QStringLiteral("Выберите валюту"), from);
        from->setKey(2);
        expectRefused(d, QStringLiteral("Выберите валюту"), to);
        to->setKey(1);
        expectRefused(d, QStringLiteral("Введите курс"), lineEdit(&d, "coeff"));
        QTest::keyClicks(lineEdit(&d, "coeff"), QStringLiteral("3,2787"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QCOMPARE(scalar(m_s->t.db(), "SELECT coeff FROM fin_currrate WHERE fromcurr = 2 AND tocurr = 1 AND fordate = ?",
                        {QDate(2030, 1, 2)})
                     .toDouble(),
                 3.2787);
        // The next row starts today, with nothing stored twice.
        QCOMPARE(lineEdit(&d, "fordate")->text(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
        QVERIFY(lineEdit(&d, "coeff")->text().isEmpty());
    }

    // Typing a name that is no location makes one (through its own dialog)
    // and chooses it.
    void objectRequiredOrder()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentObject bo(m_s->context, m_windows.get());
        TdlgRentObject d(bo, bo.newRecord(2), true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        expectRefused(d, QStringLiteral("Введите место расположения объекта"), d.locationBox());

        QTimer::singleShot(0, this, [] {
            auto *dlg = qobject_cast<TdlgRentOTLocation *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Место расположения"));
            QCOMPARE(dlg->findChild<QLineEdit *>(QStringLiteral("name"))->text(), QStringLiteral("Pavilion"));
            dlg->okButton()->click();
        });
        QTest::keyClicks(d.locationBox()->lineEdit(), QStringLiteral("Pavilion"));
        QVERIFY(d.locationBox()->resolveText());
        const QVariant location = scalar(m_s->t.db(), "SELECT id FROM rent_location WHERE name = 'Pavilion'");
        QVERIFY(location.isValid());
        QCOMPARE(d.locationBox()->key().toInt(), location.toInt());
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));

        expectRefused(d, QStringLiteral("Введите тип объекта"), d.typeBox());
        d.typeBox()->setKey(5);
        expectRefused(d, QStringLiteral("Введите наименование объекта"), lineEdit(&d, "name"));
        QTest::keyClicks(lineEdit(&d, "name"), QStringLiteral("Room 104"));
        d.findChild<QCheckBox *>(QStringLiteral("isgroup"))->setChecked(true);
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const std::optional<TRentObjectRecord> stored = bo.readObject(d.savedKey());
        QVERIFY(stored.has_value());
        QCOMPARE(stored->name, QStringLiteral("Room 104"));
        QCOMPARE(stored->parent, std::optional<int>(2));
        QCOMPARE(stored->locationKey, std::optional<int>(location.toInt()));
        QVERIFY(stored->isGroup);
        QVERIFY(!stored->disabled);
    }

    void locationRequiresName()
    {
        TxMessages::Intercept intercept(m_prompts);
        TboRentLocation bo(m_s->context, m_windows.get());
        TRentTreeRecord record;
        TdlgRentOTLocation d(bo, record, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        expectRefused(d, QStringLiteral("Введите наименование"), lineEdit(&d, "name"));
        QTest::keyClicks(lineEdit(&d, "name"), QStringLiteral("Hall"));
        QTest::mouseClick(d.nextButton(), Qt::LeftButton);
        QVERIFY(d.savedKey() > 0);
        QVERIFY(lineEdit(&d, "name")->text().isEmpty());
        QCOMPARE(scalar(m_s->t.db(), "SELECT name FROM rent_location WHERE id = ?", {d.savedKey()}).toString(),
                 QStringLiteral("Hall"));
    }
};

// The pages on the demo data.
class PageTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReferenceSession> m_s;
    std::unique_ptr<QWidget> m_area;

private Q_SLOTS:
    void init()
    {
        m_s = std::make_unique<ReferenceSession>(TestDatabase::Content::Demo);
        m_area = std::make_unique<QWidget>();
    }
    void cleanup()
    {
        m_area.reset();
        m_s.reset();
    }

    // Three marked rooms under room 5: floor 2 holds room 5 and is refused,
    // keeping its mark; the other two move and lose theirs.
    void moveThreeOneRefused()
    {
        TxPromptRecorder prompts;
        TxMessages::Intercept intercept(prompts);
        TptObject page(m_s->context, m_area.get());
        korvex::widgets::TxTreeModel *model = page.objectModel();
        QVERIFY(!page.moveAction()->isEnabled());
        model->setMarked(QList<qint64>{8, 9, 2}, true);
        QVERIFY(page.moveAction()->isEnabled());
        QVERIFY(page.objectTree()->setCurrentId(5));
        page.moveAction()->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.last().text,
                 QStringLiteral("Количество перенесенных объектов: 2\nКоличество не перенесенных объектов: 1"));
        QCOMPARE(prompts.messages.last().caption, QStringLiteral("Внимание!"));
        QCOMPARE(model->parentOf(8), std::optional<qint64>(5));
        QCOMPARE(model->parentOf(9), std::optional<qint64>(5));
        QCOMPARE(model->parentOf(2), std::optional<qint64>(1));
        QCOMPARE(model->markedIds(), QList<qint64>{2});

        page.moveToTopAction()->trigger();
        QCOMPARE(model->parentOf(2), std::optional<qint64>());
        QVERIFY(!page.moveAction()->isEnabled());
    }

    // Every object is on the page, also one without a location or type, so
    // that it can be found and mended; the chooser offers only complete ones.
    void objectWithoutLocation()
    {
        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO rent_object (id, parent, name) VALUES (100, 2, 'Bare')"));
        TptObject page(m_s->context, m_area.get());
        QVERIFY(page.objectModel()->contains(100));
        QVERIFY(page.objectModel()->contains(5));
        QCOMPARE(page.locationModel()->count(), 5);
        QCOMPARE(page.typeModel()->count(), 10);

        TboRentObject bo(m_s->context);
        korvex::widgets::TxTreeModel chooser(m_s->t.db());
        bo.setUpTree(chooser, true);
        chooser.load();
        QVERIFY(!chooser.contains(100));
        QCOMPARE(chooser.count(), page.objectModel()->count() - 1);
    }

    // "Где используется" lists the contracts of the current object, and the
    // header says which object that is.
    void usedIn()
    {
        TptObject page(m_s->context, m_area.get());
        QVERIFY(page.objectTree()->setCurrentId(5));
        page.setCurrentTab(TptObject::UsedTab);
        const QString name = page.objectModel()->value(5, QStringLiteral("name")).toString().trimmed();
        QCOMPARE(page.subject(), QStringLiteral("Объект: ") + name);
        QVERIFY(page.usedGrid()->model()->rowCount() >= 1);
        const QVariant contracts = scalar(m_s->t.db(),
                                          "SELECT COUNT(DISTINCT contractkey) FROM rent_contractservice WHERE objectkey = 5");
        QCOMPARE(page.usedGrid()->model()->rowCount(), contracts.toInt());
        page.setCurrentTab(TptObject::HistoryTab);
        QCOMPARE(page.historyGrid()->model()->rowCount(), contracts.toInt());
    }

    // A location made from the object dialog is on its tab at once.
    void locationMadeElsewhereShowsAtOnce()
    {
        TptObject page(m_s->context, m_area.get());
        const int before = page.locationModel()->count();
        TxQuery::execute(m_s->t.db(), QStringLiteral("INSERT INTO rent_location (id, parent, name) VALUES (500, NULL, 'Новый корпус')"));
        page.setCurrentTab(TptObject::LocationsTab);
        QCOMPARE(page.locationModel()->count(), before + 1);
        QVERIFY(page.locationModel()->contains(500));
    }

    // The rate page starts on the national currency with today's rates.
    void currencyPage()
    {
        TptCurrency page(m_s->context, m_area.get());
        TRateMatrix *m = page.matrix();
        QCOMPARE(m->baseCurrency(), 1);
        QVERIFY(m->rowCount() > 0);
        const std::optional<TRateMatrix::Cell> usd = m->cell(QDate::currentDate(), 2);
        QVERIFY(usd.has_value());
        QCOMPARE(usd->value, 1 / 3.265);
        QCOMPARE(page.filter(), TptCurrency::Filter::Active);
        QCOMPARE(page.currencyGrid()->model()->rowCount(), 3);
        page.setFilter(TptCurrency::Filter::Inactive);
        QCOMPARE(page.currencyGrid()->model()->rowCount(), 1);
    }
};

KORVEX_TEST_CLASS(DialogTest)
KORVEX_TEST_CLASS(PageTest)

#include "tst_referenceui.moc"
