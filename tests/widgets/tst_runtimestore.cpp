#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSqlScript.h"
#include "shell/mmOptions.h"
#include "widgets/ui/frmConditionalFormatting.h"
#include "widgets/ui/mmRunTimeStore.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGridConditions.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xRtsColors.h"
#include "widgets/xCondition.h"
#include "widgets/xDisplayFormat.h"
#include "widgets/xQueryModel.h"
#include "widgets/xRtsValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace korvex::db;
using namespace korvex::widgets;
using korvex::shell::TmmOptions;
using korvex::test::TestDatabase;
using korvex::test::TxPromptRecorder;

Q_DECLARE_METATYPE(korvex::widgets::TFieldKind)

// ---------------------------------------------------------------------------
// How layouts and rules are written: shared with the other modules of the
// family, so the forms must be exact.
class RtsEncodingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void colors_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << rts::clBlack << "clBlack";
        QTest::newRow("red") << 0x0000FF << "clRed";
        QTest::newRow("silver, first name") << 0xC0C0C0 << "clSilver";
        QTest::newRow("no name") << 0x00102030 << "$00102030";
        QTest::newRow("system") << rts::clWindow << "clWindow";
        QTest::newRow("button face") << rts::clBtnFace << "clBtnFace";
        QTest::newRow("none") << rts::clNone << "clNone";
    }
    void colors()
    {
        QFETCH(int, color);
        QFETCH(QString, text);
        QCOMPARE(rts::colorText(color), text);
        QCOMPARE(rts::parseColor(text), std::optional<int>(color));
        QCOMPARE(rts::parseColor(text.toUpper()), std::optional<int>(color));
        QCOMPARE(rts::parseColor(rts::colorNumberText(color)), std::optional<int>(color));
    }

    void colorReading()
    {
        QCOMPARE(rts::parseColor(QStringLiteral("255")), std::optional<int>(0xFF));
        QCOMPARE(rts::parseColor(QStringLiteral("$80000005")), std::optional<int>(rts::clWindow));  // the old base
        QCOMPARE(rts::parseColor(QStringLiteral(" $ff ")), std::optional<int>(0xFF));
        for (const char *bad : {"", "  ", "clBogus", "$zz", "12x", "99999999999"})
            QCOMPARE(rts::parseColor(QString::fromLatin1(bad)), std::nullopt);
    }

    void stylesAndAlignment()
    {
        for (int bits = 0; bits < 16; ++bits) {
            const QString s = rts::styleLetters(bits & 1, bits & 2, bits & 4, bits & 8);
            QCOMPARE(rts::hasStyle(s, QLatin1Char('B')), bool(bits & 1));
            QCOMPARE(rts::hasStyle(s, QLatin1Char('I')), bool(bits & 2));
            QCOMPARE(rts::hasStyle(s, QLatin1Char('U')), bool(bits & 4));
            QCOMPARE(rts::hasStyle(s, QLatin1Char('S')), bool(bits & 8));
        }
        QCOMPARE(rts::styleLetters(true, true, true, true), QStringLiteral("BIUS"));
        QVERIFY(rts::hasStyle(QStringLiteral("sb"), QLatin1Char('B')));
        QCOMPARE(rts::parseAlign(QStringLiteral("center")), rts::TAlign::Center);
        QCOMPARE(rts::parseAlign(QStringLiteral("R")), rts::TAlign::Right);
        QCOMPARE(rts::parseAlign(QStringLiteral("x")), rts::TAlign::Left);
        QCOMPARE(rts::parseAlign(QString()), rts::TAlign::Left);
        for (auto a : {rts::TAlign::Left, rts::TAlign::Right, rts::TAlign::Center})
            QCOMPARE(rts::parseAlign(rts::alignText(a)), a);
    }

    void settingsBlock()
    {
        TCondition a;
        a.Field = QStringLiteral("DEBT");
        a.Operation = coBetween;
        a.Value1 = QStringLiteral("PAID * 2");
        a.Value2 = QStringLiteral("Долг");
        a.Formulas = true;
        a.UseColor = true;
        a.Color = rts::clRed;
        a.UseFont = true;
        a.Font = TConditionFont{QStringLiteral("Arial"), 10, QStringLiteral("BI"), rts::clBlack};
        a.Columns = {QStringLiteral("DEBT"), QStringLiteral("NAME")};
        TCondition b;
        b.Field = QStringLiteral("NAME");
        b.Operation = coContains;
        b.Value1 = QStringLiteral("ООО");
        const TGridSettings settings{{a, b}, {QStringLiteral("CUSTOMER")}};
        const QByteArray block = encodeGridSettings(settings);

        const std::optional<TGridSettings> back = decodeGridSettings(block);
        QVERIFY(back);
        QCOMPARE(back->Rules.size(), 2);
        QVERIFY(back->Rules[0] == a);
        QVERIFY(back->Rules[1] == b);
        QCOMPARE(back->LineFields, QStringList{QStringLiteral("CUSTOMER")});

        // Little-endian counts and colours, texts as length and Windows-1251 bytes.
        QCOMPARE(block.left(4), QByteArray::fromHex("02000000"));
        QCOMPARE(block.mid(4, 5), QByteArray::fromHex("FF00000001"));
        QVERIFY(block.contains(QByteArray::fromHex("04000000") + "DEBT" + QByteArray::fromHex("0C000000") + "DEBT\r\nNAME\r\n"));
        QVERIFY(block.contains(QByteArray::fromHex("03000000CECECE")));  // "ООО"
        QCOMPARE(encodeGridSettings({}), QByteArray::fromHex("0000000000000000"));

        // A block cut short or with a wild count is refused, not read past its end.
        QCOMPARE(decodeGridSettings(block.left(block.size() - 20)).has_value(), false);
        QCOMPARE(decodeGridSettings(QByteArray::fromHex("FFFFFF7F")).has_value(), false);
        QCOMPARE(decodeGridSettings(QByteArray()).has_value(), false);
        // One written before line fields existed ends after the rules.
        const std::optional<TGridSettings> old = decodeGridSettings(QByteArray::fromHex("00000000"));
        QVERIFY(old && old->Rules.isEmpty() && old->LineFields.isEmpty());
    }

    void displayFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two decimals") << "0.00" << QVariant(1234.5) << "1234.50";
        QTest::newRow("grouping") << "#,##0.00" << QVariant(1234567.891) << "1,234,567.89";
        QTest::newRow("optional decimals") << "0.##" << QVariant(2.5) << "2.5";
        QTest::newRow("text around") << "#,##0 руб." << QVariant(1500) << "1,500 руб.";
        QTest::newRow("negative section ignored") << "0.0;(0.0)" << QVariant(-3.25) << "-3.3";
        QTest::newRow("date") << "dd.mm.yyyy" << QVariant(QDate(2026, 3, 5)) << "05.03.2026";
        QTest::newRow("minutes after hours") << "hh:mm" << QVariant(QTime(9, 7)) << "09:07";
        QTest::newRow("month name") << "d mmmm yyyy" << QVariant(QDate(2026, 3, 5)) << QLocale::c().toString(QDate(2026, 3, 5), QStringLiteral("d MMMM yyyy"));
    }
    void displayFormats()
    {
        QFETCH(QString, format);
        QFETCH(QVariant, value);
        QFETCH(QString, shown);
        QCOMPARE(formatForDisplay(format, value, QLocale::c()), std::optional<QString>(shown));
    }
};

// ---------------------------------------------------------------------------
// The rule test: the nine comparisons on numbers (with formulas) and texts,
// formulas over the record's fields, and what a failing formula does.
class ConditionTest : public QObject
{
    Q_OBJECT

    static QList<TRecordValue> record(double debt, double paid, const QString &name = QStringLiteral("ООО Ромашка"))
    {
        return {{QStringLiteral("DEBT"), debt, TFieldKind::Number},
                {QStringLiteral("PAID"), paid, TFieldKind::Number},
                {QStringLiteral("NAME"), name, TFieldKind::Text},
                {QStringLiteral("DUEDATE"), QDate(2026, 3, 20), TFieldKind::Date}};
    }

private Q_SLOTS:
    void comparisons_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("formulas");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("value1");
        QTest::addColumn<QString>("value2");
        QTest::addColumn<bool>("holds");
        // DEBT is 150.5 (numeric test with formulas).
        QTest::newRow("= number") << "DEBT" << true << int(coEqual) << "150.5" << "" << true;
        QTest::newRow("= within a kopeck") << "DEBT" << true << int(coEqual) << "150.1 + 0.4" << "" << true;
        QTest::newRow("<> number") << "DEBT" << true << int(coNotEqual) << "150.5" << "" << false;
        QTest::newRow("between") << "DEBT" << true << int(coBetween) << "100" << "150.5" << true;
        QTest::newRow("between, below") << "DEBT" << true << int(coBetween) << "151" << "200" << false;
        QTest::newRow("outside") << "DEBT" << true << int(coOutside) << "100" << "200" << false;
        QTest::newRow("outside, above") << "DEBT" << true << int(coOutside) << "0" << "100" << true;
        QTest::newRow(">") << "DEBT" << true << int(coGreater) << "0" << "" << true;
        QTest::newRow("<") << "DEBT" << true << int(coLess) << "0" << "" << false;
        QTest::newRow(">= equal") << "DEBT" << true << int(coGreaterEqual) << "150.5" << "" << true;
        QTest::newRow("<= equal") << "DEBT" << true << int(coLessEqual) << "150.5" << "" << true;
        QTest::newRow("<= below") << "DEBT" << true << int(coLessEqual) << "100" << "" << false;
        QTest::newRow("contains digits") << "DEBT" << true << int(coContains) << "50.5" << "" << true;
        QTest::newRow("contains, case significant") << "DEBT" << true << int(coContains) << "E" << "" << false;
        // NAME is "ООО Ромашка" (text test).
        QTest::newRow("text =, case ignored") << "NAME" << false << int(coEqual) << "ооо ромашка" << "" << true;
        QTest::newRow("text <>, case significant") << "NAME" << false << int(coNotEqual) << "ооо ромашка" << "" << true;
        QTest::newRow("text <> same") << "NAME" << false << int(coNotEqual) << "ООО Ромашка" << "" << false;
        QTest::newRow("text between") << "NAME" << false << int(coBetween) << "А" << "Я" << true;
        QTest::newRow("text outside") << "NAME" << false << int(coOutside) << "А" << "Н" << true;
        QTest::newRow("text >") << "NAME" << false << int(coGreater) << "ООО" << "" << true;
        QTest::newRow("text <") << "NAME" << false << int(coLess) << "ООО" << "" << false;
        QTest::newRow("text >=") << "NAME" << false << int(coGreaterEqual) << "ООО Ромашка" << "" << true;
        QTest::newRow("text <=") << "NAME" << false << int(coLessEqual) << "ООО Ромашка" << "" << true;
        QTest::newRow("text contains, case ignored") << "NAME" << false << int(coContains) << "РОМАШ" << "" << true;
        QTest::newRow("formulas on a text field test the text") << "NAME" << true << int(coContains) << "ромаш" << "" << true;
        // Literal numbers against a number field compare as numbers ("9" < "10").
        QTest::newRow("literal number") << "DEBT" << false << int(coGreater) << "1000" << "" << false;
        QTest::newRow("literal range") << "DEBT" << false << int(coBetween) << "99" << "1000" << true;
        QTest::newRow("literal date") << "DUEDATE" << false << int(coLess) << "01.04.2026" << "" << true;
        QTest::newRow("missing field") << "NOSUCH" << false << int(coEqual) << "" << "" << false;
    }
    void comparisons()
    {
        QFETCH(QString, field);
        QFETCH(bool, formulas);
        QFETCH(int, op);
        QFETCH(QString, value1);
        QFETCH(QString, value2);
        QFETCH(bool, holds);
        TCondition rule;
        rule.Field = field;
        rule.Formulas = formulas;
        rule.Operation = quint8(op);
        rule.Value1 = value1;
        rule.Value2 = value2;
        TConditionTester tester;
        QCOMPARE(tester.holds(rule, record(150.5, 20)), holds);
    }

    // Formulas see the record's numbers and dates, and today's date.
    void formulasOverFields()
    {
        TConditionTester tester;
        tester.setToday(QDate(2026, 3, 15));
        TCondition rule;
        rule.Field = QStringLiteral("DEBT");
        rule.Formulas = true;
        rule.Operation = coGreater;
        rule.Value1 = QStringLiteral("paid * 2");
        QVERIFY(tester.holds(rule, record(10, 4)));
        QVERIFY(!tester.holds(rule, record(10, 6)));

        // A date tested against "dd" compares its day number with the day of the month.
        rule.Field = QStringLiteral("DUEDATE");
        rule.Value1 = QStringLiteral("dd");
        QVERIFY(tester.holds(rule, record(0, 0)));
        rule.Operation = coEqual;
        rule.Value1 = QStringLiteral("46101");  // 20.03.2026 as a day number
        QVERIFY(tester.holds(rule, record(0, 0)));
        rule.Value1 = QStringLiteral("yyyy * 0 + mm");
        QVERIFY(!tester.holds(rule, record(0, 0)));
    }

    // A formula that fails gives nothing to compare with: the rule does not
    // apply, whatever an earlier record calculated.
    void failingFormulaDoesNotApply()
    {
        TConditionTester tester;
        TCondition rule;
        rule.Field = QStringLiteral("DEBT");
        rule.Formulas = true;
        rule.Operation = coGreater;
        rule.Value1 = QStringLiteral("10 / PAID");
        QVERIFY(tester.holds(rule, record(20, 1)));   // 20 > 10
        QVERIFY(!tester.holds(rule, record(20, 0)));  // division by zero: not 20 > 10 again
        rule.Operation = coLessEqual;
        QVERIFY(!tester.holds(rule, record(20, 0)));
        rule.Value1 = QStringLiteral("NOSUCHFIELD + 1");
        QVERIFY(!tester.holds(rule, record(20, 1)));
        QString error;
        QVERIFY(!tester.calculate(rule, record(20, 1), &error));
        QVERIFY(!error.isEmpty());
    }

    void labelsAndNames()
    {
        const QList<TFieldLabel> fields{{QStringLiteral("DEBT"), QStringLiteral("Сумма долга")},
                                        {QStringLiteral("SUMMA"), QStringLiteral("Сумма")},
                                        {QStringLiteral("PAID"), QStringLiteral("Оплата")},
                                        {QStringLiteral("ID"), QStringLiteral("id")}};
        QCOMPARE(labelsToNames(QStringLiteral("Сумма долга - сумма * 2"), fields), QStringLiteral("DEBT - SUMMA * 2"));
        // A label inside a longer word is left alone.
        QCOMPARE(labelsToNames(QStringLiteral("Суммарно + Оплата1 + Оплата"), fields), QStringLiteral("Суммарно + Оплата1 + PAID"));
        QCOMPARE(namesToLabels(QStringLiteral("DEBT-PAID+DEBTOR+ID"), fields), QStringLiteral("Сумма долга-Оплата+DEBTOR+ID"));
        QCOMPARE(labelsToNames(namesToLabels(QStringLiteral("(DEBT+PAID)/SUMMA"), fields), fields),
                 QStringLiteral("(DEBT+PAID)/SUMMA"));
    }
};

// ---------------------------------------------------------------------------
namespace {

const char *const DebtFixture = R"(
CREATE TABLE t_debt (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), debt DOUBLE PRECISION, duedate DATE);
INSERT INTO t_debt VALUES (1, 'Альфа', 120.5, '2026-01-10');
INSERT INTO t_debt VALUES (2, 'Бета', -30, '2026-02-10');
INSERT INTO t_debt VALUES (3, 'Гамма', 0, '2026-03-10');
INSERT INTO t_debt VALUES (4, 'Дельта', 75, NULL);
)";

// A form with one grid over t_debt, as a page or dialog would build it.
struct DebtForm {
    QWidget form;
    TxQueryModel *model;
    TxDBGrid *grid;

    explicit DebtForm(TxDatabase &db, const QString &formName = QStringLiteral("frmDebts"), int context = -1)
    {
        form.setObjectName(formName);
        if (context != -1)
            form.setProperty(TmmRunTimeStore::ContextProperty, context);
        model = new TxQueryModel(db, &form);
        model->setStatement(QStringLiteral("SELECT id, name, debt, duedate FROM t_debt"), {}, QStringLiteral("id"));
        model->open();
        grid = new TxDBGrid(&form);
        grid->setObjectName(QStringLiteral("DebtGrid"));
        grid->setModel(model);
        form.resize(700, 300);
    }
    void show()
    {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    TRunTimeStore *store() const
    {
        TmmRunTimeStore *s = TmmRunTimeStore::of(const_cast<QWidget *>(&form), false);
        return s ? s->storeOf(grid) : nullptr;
    }
};

TCondition positiveDebtRule()
{
    TCondition rule;
    rule.Field = QStringLiteral("DEBT");
    rule.Operation = coGreater;
    rule.Value1 = QStringLiteral("0");
    rule.Formulas = true;
    rule.UseColor = true;
    rule.Color = rts::clRed;
    rule.Columns = {QStringLiteral("DEBT"), QStringLiteral("NAME")};
    return rule;
}

} // namespace

// Layouts kept per user and form context: saved as the form goes, back for
// the same user and context, not for another.
class RunTimeStoreTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }
    int layouts() { return TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_rts")).toInt(); }

private Q_SLOTS:
    void init()
    {
        m_t = std::make_unique<TestDatabase>();
        TxSqlScript::run(db(), QString::fromUtf8(DebtFixture), QStringLiteral("debt fixture"));
    }
    void cleanup()
    {
        QVERIFY(!db().inTransaction());
        m_t.reset();
    }

    void layoutComesBackForItsUserOnly()
    {
        int nameWidth = 0;
        {
            TmmOptions options(db(), 7);
            DebtForm f(db());
            f.show();
            QVERIFY(f.store() && f.store()->isLoaded());
            QCOMPARE(f.store()->storeKey(), -1);  // nothing stored yet: the grid as designed
            f.grid->setFieldWidth(QStringLiteral("NAME"), 260);
            f.grid->setFieldPosition(QStringLiteral("DEBT"), 0);
            f.grid->setFieldVisible(QStringLiteral("ID"), false);
            f.grid->setFieldTitle(QStringLiteral("DUEDATE"), QStringLiteral("Срок"));
            TxColumnLook look;
            look.fontColor = QColor(Qt::red);
            look.displayFormat = QStringLiteral("#,##0.00");
            f.grid->setFieldLook(QStringLiteral("DEBT"), look);
            f.grid->setStriped(false);
            f.grid->conditions()->setRules({positiveDebtRule()});
            f.grid->conditions()->setEnabled(true);
            nameWidth = f.grid->fieldWidth(QStringLiteral("NAME"));
            f.form.hide();  // a window saves as it is hidden
            QCOMPARE(layouts(), 1);
        }
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT userkey || '/' || context || '/' || tablename FROM fin_rts")).toString(),
                 QStringLiteral("7/-1/frmDebts.DebtGrid"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_rtsfield")).toInt(), 4);
        {
            TmmOptions options(db(), 7);
            DebtForm f(db());
            f.show();
            QVERIFY(f.store()->storeKey() > 0);
            const int charWidth = f.grid->fontMetrics().averageCharWidth();
            QVERIFY2(qAbs(f.grid->fieldWidth(QStringLiteral("NAME")) - nameWidth) <= charWidth,
                     qPrintable(QString::number(f.grid->fieldWidth(QStringLiteral("NAME")))));
            QCOMPARE(f.grid->fieldPosition(QStringLiteral("DEBT")), 0);
            QVERIFY(!f.grid->isFieldVisible(QStringLiteral("ID")));
            QCOMPARE(f.model->headerData(f.grid->fieldColumn(QStringLiteral("DUEDATE")), Qt::Horizontal).toString(),
                     QStringLiteral("Срок"));
            QCOMPARE(f.grid->fieldLook(QStringLiteral("DEBT")).fontColor, QColor(Qt::red));
            QCOMPARE(f.grid->fieldLook(QStringLiteral("DEBT")).displayFormat, QStringLiteral("#,##0.00"));
            QVERIFY(!f.grid->isStriped());
            QVERIFY(f.grid->conditions()->isEnabled());
            QCOMPARE(f.grid->conditions()->rules().size(), 1);
            QVERIFY(f.grid->conditions()->rules().first() == positiveDebtRule());
            QVERIFY(!f.grid->conditions()->rulesChanged());
        }
        {
            // Another user, and the same user in another context, see the design.
            TmmOptions options(db(), 8);
            DebtForm f(db());
            f.show();
            QCOMPARE(f.store()->storeKey(), -1);
            QVERIFY(f.grid->isFieldVisible(QStringLiteral("ID")));
            QVERIFY(f.grid->conditions()->rules().isEmpty());
        }
        {
            TmmOptions options(db(), 7);
            DebtForm f(db(), QStringLiteral("frmDebts"), 10);
            f.show();
            QCOMPARE(f.store()->storeKey(), -1);
            QVERIFY(f.grid->isFieldVisible(QStringLiteral("ID")));
        }
        QCOMPARE(layouts(), 3);
    }

    // Saving again writes only what the user changed: a value edited on the
    // table-settings page meanwhile stays unless the grid changed it too.
    void onlyChangesAreWritten()
    {
        TmmOptions options(db(), 7);
        {
            DebtForm f(db());
            f.show();
            f.form.hide();
        }
        TxQuery::execute(db(), QStringLiteral("UPDATE fin_rtsfield SET editmask = 'edited' WHERE fieldname = 'NAME'"));
        TxQuery::execute(db(), QStringLiteral("UPDATE fin_rts SET stripeone = 'clYellow'"));
        {
            DebtForm f(db());
            f.show();
            QCOMPARE(f.grid->stripeOne(), toQColor(0x00FFFF));
            TxQuery::execute(db(), QStringLiteral("UPDATE fin_rtsfield SET displaylabel = 'Чужое' WHERE fieldname = 'ID'"));
            f.grid->setFieldWidth(QStringLiteral("NAME"), 300);
            f.form.hide();
        }
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT displaylabel FROM fin_rtsfield WHERE fieldname = 'ID'")).toString(),
                 QStringLiteral("Чужое"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT editmask FROM fin_rtsfield WHERE fieldname = 'NAME'")).toString(),
                 QStringLiteral("edited"));
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT stripeone FROM fin_rts")).toString(), QStringLiteral("clYellow"));
        const int chars = TxQuery::scalar(db(), QStringLiteral("SELECT displaywidth FROM fin_rtsfield WHERE fieldname = 'NAME'")).toInt();
        DebtForm probe(db());
        QVERIFY(qAbs(chars * probe.grid->fontMetrics().averageCharWidth() + 6 - 300) <= probe.grid->fontMetrics().averageCharWidth());
    }

    // Stored columns of fields the data set lost are ignored; a NULL block
    // leaves the designed rules; empty and unreadable values keep the grid's.
    void storedValuesThatDoNotFit()
    {
        TmmOptions options(db(), 7);
        {
            DebtForm f(db());
            f.show();
            f.form.hide();
        }
        TxQuery::execute(db(), QStringLiteral("INSERT INTO fin_rtsfield (storekey, fieldname, fieldorder, visible) "
                                              "SELECT storekey, 'GONE', 0, 0 FROM fin_rts"));
        TxQuery::execute(db(), QStringLiteral("UPDATE fin_rts SET settings = NULL, fontsize = 0, titlefontsize = NULL, "
                                              "color = 'clRubbish', striped = NULL"));
        TxQuery::execute(db(), QStringLiteral("UPDATE fin_rtsfield SET titlefontsize = 0, fontname = NULL WHERE fieldname = 'NAME'"));
        DebtForm f(db());
        TCondition designed = positiveDebtRule();
        f.grid->conditions()->setRules({designed});
        const QFont font = f.grid->font();
        const QFont titleFont = f.grid->horizontalHeader()->font();
        const QColor base = f.grid->palette().color(QPalette::Base);
        f.show();
        QCOMPARE(f.grid->conditions()->rules().size(), 1);
        QCOMPARE(f.grid->font().pointSize(), font.pointSize());
        QCOMPARE(f.grid->horizontalHeader()->font().pointSize(), titleFont.pointSize());
        QCOMPARE(f.grid->palette().color(QPalette::Base), base);
        QVERIFY(f.grid->isStriped());
        QVERIFY(!f.grid->fieldLook(QStringLiteral("NAME")).titleFont.has_value());
        QCOMPARE(f.grid->fieldPosition(QStringLiteral("ID")), 0);
    }

    // Re-querying keeps the arrangement; a layout deleted meanwhile is reported.
    void requeryAndLostLayout()
    {
        TmmOptions options(db(), 7);
        {
            DebtForm f(db());
            f.show();
            f.grid->setFieldVisible(QStringLiteral("NAME"), false);
            f.model->setStatement(QStringLiteral("SELECT id, name, debt, duedate, debt * 2 AS twice FROM t_debt"), {},
                                  QStringLiteral("id"));
            f.model->open();
            QVERIFY(!f.grid->isFieldVisible(QStringLiteral("NAME")));
            f.form.hide();
            QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM fin_rtsfield")).toInt(), 5);
        }
        DebtForm f(db());
        f.show();
        QVERIFY(!f.grid->isFieldVisible(QStringLiteral("NAME")));
        TxQuery::execute(db(), QStringLiteral("DELETE FROM fin_rts"));
        f.grid->setFieldWidth(QStringLiteral("ID"), 90);
        TmmRunTimeStore *store = TmmRunTimeStore::of(&f.form, false);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, store->save());
        QVERIFY(!db().inTransaction());
        store->Enabled = false;
    }

    // A disabled store keeps nothing.
    void disabledStore()
    {
        TmmOptions options(db(), 7);
        DebtForm f(db());
        f.form.setProperty(TmmRunTimeStore::EnabledProperty, false);
        f.show();
        QCOMPARE(f.store(), nullptr);
        f.form.hide();
        QCOMPARE(layouts(), 0);
    }
};

// ---------------------------------------------------------------------------
// Rules drawn by the grid, and the rule dialog.
class GridConditionsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

private Q_SLOTS:
    void initTestCase()
    {
        m_t = TestDatabase::empty();
        TxSqlScript::run(m_t->db(), QString::fromUtf8(DebtFixture), QStringLiteral("debt fixture"));
    }
    void cleanupTestCase() { m_t.reset(); }

    // "больше" 0 colours the chosen columns of the rows with a positive debt;
    // each row is tested once however often it is drawn.
    void rulesColourMatchingCells()
    {
        DebtForm f(m_t->db());
        f.show();
        TCondition bold;
        bold.Field = QStringLiteral("NAME");
        bold.Operation = coContains;
        bold.Value1 = QStringLiteral("а");
        bold.UseFont = true;
        bold.UseColor = true;
        bold.Color = 0x00FF00;
        bold.Font.style = QStringLiteral("B");
        bold.Columns = {QStringLiteral("NAME")};
        TCondition red = positiveDebtRule();
        f.grid->conditions()->setRules({bold, red});
        f.grid->conditions()->setEnabled(true);
        const quint64 before = f.grid->conditions()->tester().evaluations();

        auto cell = [&](int row, const QString &field) {
            QStyleOptionViewItem option;
            option.initFrom(f.grid);
            option.state &= ~QStyle::State_Selected;
            f.grid->styleCell(f.model->index(row, f.grid->fieldColumn(field)), option);
            return option;
        };
        for (int pass = 0; pass < 3; ++pass) {
            for (int row = 0; row < f.model->rowCount(); ++row) {
                const bool positive = f.model->value(row, QStringLiteral("DEBT")).toDouble() > 0;
                QCOMPARE(cell(row, QStringLiteral("DEBT")).backgroundBrush.color() == toQColor(rts::clRed), positive);
                QCOMPARE(cell(row, QStringLiteral("ID")).backgroundBrush.color() == toQColor(rts::clRed), false);
                // The later rule's colour wins, the earlier rule's font stays.
                const QStyleOptionViewItem name = cell(row, QStringLiteral("NAME"));
                QCOMPARE(name.font.bold(), true);  // every name holds an "а"
                QCOMPARE(name.backgroundBrush.color(), positive ? toQColor(rts::clRed) : toQColor(0x00FF00));
            }
        }
        QCOMPARE(f.grid->conditions()->tester().evaluations() - before, quint64(f.model->rowCount()));

        // A highlighted cell keeps the selection colour but takes the font.
        QStyleOptionViewItem selected;
        selected.initFrom(f.grid);
        selected.state |= QStyle::State_Selected;
        selected.backgroundBrush = QBrush();
        f.grid->styleCell(f.model->index(0, f.grid->fieldColumn(QStringLiteral("NAME"))), selected);
        QVERIFY(selected.font.bold());
        QVERIFY(selected.backgroundBrush.color() != toQColor(rts::clRed));

        // Switched off from the grid's menu, the rules colour nothing.
        QAction *use = f.grid->conditionsMenu()->findChild<QAction *>(QStringLiteral("UseConditions"));
        QVERIFY(use);
        use->trigger();
        QVERIFY(!f.grid->conditions()->isEnabled());
        QVERIFY(cell(0, QStringLiteral("DEBT")).backgroundBrush.color() != toQColor(rts::clRed));

        // New rows are tested again.
        f.grid->conditions()->setEnabled(true);
        f.model->requery();
        cell(0, QStringLiteral("DEBT"));
        QCOMPARE(f.grid->conditions()->tester().evaluations() - before, quint64(f.model->rowCount()) + 1);
    }

    // The dialog shows labels, stores names, gives a rule without columns its
    // field, and refuses a hidden field or a failing formula without taking
    // any rule.
    void ruleDialog()
    {
        DebtForm f(m_t->db());
        f.grid->setFieldTitle(QStringLiteral("DEBT"), QStringLiteral("Долг"));
        f.grid->setFieldTitle(QStringLiteral("NAME"), QStringLiteral("Клиент"));
        f.grid->setFieldVisible(QStringLiteral("ID"), false);
        f.show();
        TxPromptRecorder prompt(true);
        TxMessages::Intercept intercept(prompt);
        TxGridConditions *c = f.grid->conditions();

        TCondition stored = positiveDebtRule();
        stored.Value1 = QStringLiteral("DEBT / 2");
        stored.Columns.clear();
        TfrmConditionalFormatting dlg(c->fields(), {stored}, c->tester(), c->record(0));
        auto *value1 = dlg.findChild<QLineEdit *>(QStringLiteral("Value1"));
        auto *value2 = dlg.findChild<QLineEdit *>(QStringLiteral("Value2"));
        auto *operation = dlg.findChild<QComboBox *>(QStringLiteral("Operation"));
        auto *field = dlg.findChild<QComboBox *>(QStringLiteral("Field"));
        QCOMPARE(value1->text(), QStringLiteral("Долг / 2"));
        QCOMPARE(field->currentText(), QStringLiteral("Долг"));
        QVERIFY(value2->isHidden());
        operation->setCurrentIndex(coBetween);
        QVERIFY(!value2->isHidden());
        operation->setCurrentIndex(coGreater);

        dlg.addRule();
        QCOMPARE(dlg.currentRule(), 1);
        field->setCurrentIndex(field->findData(QStringLiteral("ID")));
        QVERIFY(!dlg.done());  // ID is hidden and the rule names no column
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY(prompt.messages.last().text.contains(QStringLiteral("\"ID\" условия не является видимой в таблице!")));
        QCOMPARE(dlg.currentRule(), 1);
        field->setCurrentIndex(field->findData(QStringLiteral("NAME")));
        auto *formulas = dlg.findChild<QCheckBox *>(QStringLiteral("Formulas"));
        field->setCurrentIndex(field->findData(QStringLiteral("DEBT")));
        formulas->setChecked(true);
        value1->setText(QStringLiteral("Клиент1 +"));
        QVERIFY(!dlg.done());
        QCOMPARE(prompt.messages.last().text, QStringLiteral("Ошибка в формуле!"));
        value1->setText(QStringLiteral("Долг - 1"));
        QVERIFY(dlg.done());
        const QList<TCondition> rules = dlg.rules();
        QCOMPARE(rules.size(), 2);
        QCOMPARE(rules[0].Value1, QStringLiteral("DEBT / 2"));
        QCOMPARE(rules[0].Columns, QStringList{QStringLiteral("DEBT")});
        QCOMPARE(rules[1].Value1, QStringLiteral("DEBT - 1"));
        QCOMPARE(rules[1].Value1Num, 119.5);

        dlg.showRule(0);
        dlg.deleteRule();
        QCOMPARE(dlg.rules().size(), 1);
        dlg.deleteRule();
        QCOMPARE(dlg.currentRule(), -1);
        QVERIFY(!value1->isEnabled());

        // A rule naming a field the data set lacks is shown on the first field, with a warning.
        TCondition lost;
        lost.Field = QStringLiteral("GONE");
        prompt.messages.clear();
        TfrmConditionalFormatting other(c->fields(), {lost}, c->tester(), c->record(0));
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY(prompt.messages.first().text.startsWith(QStringLiteral("Не найдено поле GONE. ")));

        // The column chooser replaces the rule's columns by those ticked.
        TfrmConditionColumns columns(c->fields(), {QStringLiteral("NAME")});
        QCOMPARE(columns.columns(), QStringList{QStringLiteral("NAME")});
        columns.list()->item(2)->setCheckState(Qt::Checked);
        QCOMPARE(columns.columns(), (QStringList{QStringLiteral("NAME"), QStringLiteral("DEBT")}));
    }
};

KORVEX_TEST_CLASS(RtsEncodingTest)
KORVEX_TEST_CLASS(ConditionTest)
KORVEX_TEST_CLASS(RunTimeStoreTest)
KORVEX_TEST_CLASS(GridConditionsTest)

#include "tst_runtimestore.moc"
