#include "common/testMain.h"
#include "common/testPrompt.h"

#include "widgets/ui/frmRunningBoy.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xLanguage.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xProgressDialog.h"
#include "widgets/xSqlFilter.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace korvex::widgets;
using korvex::test::TxPromptRecorder;

KORVEX_TEST_GUI_PROGRAM()

// ---------------------------------------------------------------------------
class SqlFilterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void countsPlaceholdersOutsideQuotesAndComments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("plain") << "a = ? AND b = ?" << 2;
        QTest::newRow("string") << "a = '?' AND b = ?" << 1;
        QTest::newRow("doubled quote") << "a = 'it''s ?' AND b = ?" << 1;
        QTest::newRow("quoted name") << "\"WHY?\" = ?" << 1;
        QTest::newRow("line comment") << "a = ? -- or ?\nAND b = ?" << 2;
        QTest::newRow("block comment") << "a = /* ? */ ?" << 1;
    }
    void countsPlaceholdersOutsideQuotesAndComments()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QCOMPARE(TxSqlFilter::countPlaceholders(text), count);
    }

    void appendsConditionsWithTheirValues()
    {
        TxSqlFilter q(QStringLiteral("SELECT c.id FROM rent_contract c WHERE c.disabled = ?"), {0});
        q.addIf(false, QStringLiteral("AND c.customerkey = ?"), 5);
        q.addIf(true, QStringLiteral("AND c.name STARTING WITH ?"), QStringLiteral("O'Neil"));
        q.add(QStringLiteral("AND c.startdate BETWEEN ? AND ?"), QDate(2024, 1, 1), QDate(2024, 1, 31));
        q.addIn(QStringLiteral("AND"), QStringLiteral("c.id"), {3, 4});
        QCOMPARE(q.text(), QStringLiteral("SELECT c.id FROM rent_contract c WHERE c.disabled = ? "
                                          "AND c.name STARTING WITH ? AND c.startdate BETWEEN ? AND ? "
                                          "AND c.id IN (?, ?)"));
        QCOMPARE(q.values(), (QVariantList{0, QStringLiteral("O'Neil"), QDate(2024, 1, 1), QDate(2024, 1, 31), 3, 4}));

        TxSqlFilter none;
        none.addIn(QStringLiteral("WHERE"), QStringLiteral("id"), {});
        QCOMPARE(none.text(), QStringLiteral("WHERE 1 = 0"));

        QVariantList many;
        for (int i = 0; i < 1500; ++i)
            many << i;
        TxSqlFilter split;
        split.addIn(QStringLiteral("AND"), QStringLiteral("id"), many);
        QVERIFY(split.text().startsWith(QStringLiteral("AND (id IN (?")));
        QVERIFY(split.text().contains(QStringLiteral(") OR id IN (?")));
        QCOMPARE(split.values().size(), 1500);
        QCOMPARE(TxSqlFilter::countPlaceholders(split.text()), 1500);
    }

    void refusesMismatchAndNonIdentifiers()
    {
        TxSqlFilter q;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, q.add(QStringLiteral("AND a = ? AND b = ?"), 1));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, q.add(QStringLiteral("AND a = 1"), 1));
        QVERIFY(q.isEmpty());
        QCOMPARE(TxSqlFilter::identifier(QStringLiteral("rent_p_testreplaceobject")),
                 QStringLiteral("rent_p_testreplaceobject"));
        for (const char *bad : {"", "1abc", "name; DROP TABLE x", "a b", "x'y", "тест"})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, TxSqlFilter::identifier(QString::fromUtf8(bad)));
    }
};

// ---------------------------------------------------------------------------
class WindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runningBoyFillsTwentySteps_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("processed");
        QTest::addColumn<int>("figure");
        QTest::newRow("100: first record") << 100 << 1 << 1;
        QTest::newRow("100: 5th still 1") << 100 << 5 << 1;
        QTest::newRow("100: 6th") << 100 << 6 << 2;
        QTest::newRow("100: half") << 100 << 50 << 10;
        QTest::newRow("100: all") << 100 << 100 << 20;
        QTest::newRow("7: first record") << 7 << 1 << 3;
        QTest::newRow("7: all") << 7 << 7 << 20;
        QTest::newRow("1: all") << 1 << 1 << 20;
    }
    void runningBoyFillsTwentySteps()
    {
        QFETCH(int, total);
        QFETCH(int, processed);
        QFETCH(int, figure);
        TfrmRunningBoy boy;
        QCOMPARE(boy.windowTitle(), QStringLiteral("Подождите пожалуйста"));
        TxProgress &progress = boy;
        progress.begin(QStringLiteral("Формирование операций"), total);
        QVERIFY(boy.isVisible());
        QCOMPARE(boy.text(), QStringLiteral("Формирование операций"));
        QCOMPARE(boy.figure(), 0);
        int last = 0;
        for (int i = 1; i <= processed; ++i) {
            progress.setPosition(i);
            QVERIFY(boy.figure() - last <= 20);
            QVERIFY(boy.figure() >= last);
            last = boy.figure();
        }
        QCOMPARE(boy.figure(), figure);
        progress.end();
        QVERIFY(!boy.isVisible());
    }

    void progressDialogStopsFromItsButton()
    {
        TxProgressDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Удаление переменных"));
        dialog.begin(QStringLiteral("Удаление..."), 10);
        QCOMPARE(dialog.stopButton()->text(), QStringLiteral("Прервать"));
        QVERIFY(!dialog.wasStopped());
        // The click waits in the event queue: only setPosition() lets it through.
        QMetaObject::invokeMethod(dialog.stopButton(), &QPushButton::click, Qt::QueuedConnection);
        QVERIFY(!dialog.wasStopped());
        dialog.setPosition(1);
        QVERIFY(dialog.wasStopped());
        dialog.end();
        QVERIFY(!dialog.isVisible());

        // With a cancel question, "Нет" goes on and "Да" stops.
        TxPromptRecorder answers(false);
        TxMessages::Intercept intercept(answers);
        dialog.setCancelQuestion(QStringLiteral("Прервать создание отчета?"));
        dialog.begin(QStringLiteral("Отчет"), 10);
        QVERIFY(!dialog.wasStopped());
        dialog.stop();
        QVERIFY(!dialog.wasStopped());
        QCOMPARE(answers.messages.size(), 1);
        QCOMPARE(answers.messages.at(0).text, QStringLiteral("Прервать создание отчета?"));
        answers.answer = true;
        dialog.stop();
        QVERIFY(dialog.wasStopped());
        dialog.end();
    }

    void confirmationButtonsAndDefault_data()
    {
        QTest::addColumn<bool>("defaultYes");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<bool>("answer");
        QTest::newRow("destructive: Enter says No") << false << "Нет" << false;
        QTest::newRow("default Yes") << true << "Да" << true;
    }
    void confirmationButtonsAndDefault()
    {
        QFETCH(bool, defaultYes);
        QFETCH(QString, defaultText);
        QFETCH(bool, answer);
        QString caption, text, shownDefault;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const bool result =
            TxMessages::confirm(nullptr, QStringLiteral("Удалить запись?"), TxPrompt::attention(), defaultYes);
        QCOMPARE(caption, QStringLiteral("Внимание"));
        QCOMPARE(text, QStringLiteral("Удалить запись?"));
        QCOMPARE(shownDefault, defaultText);
        QCOMPARE(result, answer);
    }

    // A chooser opens with the keyboard in its list, not on the tabs above
    // it: the arrow keys move in the list at once.
    void chooserTakesArrowsAtOnce()
    {
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *tabs = new QTabWidget(&dialog);
        auto *list = new QListWidget(&dialog);
        list->addItems({QStringLiteral("ЦЕНАРУБ"), QStringLiteral("ЦЕНАВАЛ"), QStringLiteral("КУРС")});
        list->setCurrentRow(0);
        tabs->addTab(list, QStringLiteral("Стандартные переменные"));
        tabs->addTab(new QListWidget(&dialog), QStringLiteral("Пользовательские переменные"));
        layout->addWidget(tabs);
        layout->addLayout(confirmRow(&dialog).layout);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 1);
    }

    // Qt's own texts are Russian: the standard buttons of every message box
    // and dialog say "ОК", "Отмена", "Да", "Нет" (in Cyrillic letters).
    void standardButtonsAreRussian()
    {
        QVERIFY2(setUpRussian(*QCoreApplication::instance()), "qtbase_ru is not installed (qt6-translations-l10n)");
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
        QStringList texts;
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No})
            texts << box.button(b)->text().remove(QLatin1Char('&'));
        QCOMPARE(texts, (QStringList{QStringLiteral("\u041E\u041A"), QStringLiteral("Отмена"), QStringLiteral("Да"),
                                     QStringLiteral("Нет")}));
    }

    // A short message leaves room for its caption: the title bar does not
    // cut "Внимание!".
    void shortMessageKeepsItsTitleWhole()
    {
        const QString caption = QStringLiteral("Внимание! Проверьте введенные данные");
        int width = 0, needed = 0;
        QTimer::singleShot(0, this, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            width = box->width();
            needed = box->fontMetrics().horizontalAdvance(caption);
            box->close();
        });
        TxMessages::warning(nullptr, QStringLiteral("Ошибка"), caption);
        QVERIFY2(width > needed, qPrintable(QStringLiteral("%1 <= %2").arg(width).arg(needed)));
    }
};

#include "tst_widgets.moc"

KORVEX_TEST_CLASS(SqlFilterTest)
KORVEX_TEST_CLASS(WindowsTest)
