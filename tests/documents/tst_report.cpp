#include "common/testDatabase.h"
#include "common/testMain.h"
#include "documentsTestSupport.h"

#include "db/xQuery.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "documents/xRTF.h"
#include "documents/xRTFMessages.h"
#include "documents/xRTFProgress.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::documents;
using korvex::db::TxQuery;
using korvex::test::TestDatabase;

namespace {

QByteArray fld(const QByteArray &expression, const QByteArray &name = "F")
{
    return korvex::test::formField(expression, name);
}

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Times New Roman;}}\n" + body + "}";
}

// The lines of a template: each one a paragraph.
QByteArray paras(const QList<QByteArray> &lines)
{
    QByteArray body;
    for (const QByteArray &l : lines)
        body += l + "\\par\n";
    return rtf(body);
}

struct Row {
    QString grp, sub, name;
    double amount;
    int qty;
};

class RecordingDisplay : public TxReportDisplay
{
public:
    void preview(TxReport &report, std::unique_ptr<TxRTFFile> &document) override
    {
        previews << report.PreviewCaption() + QLatin1Char('|') + document->text();
    }
    bool print(TxRTFFile &document, bool showDialog) override
    {
        prints << QString::number(showDialog) + QLatin1Char('|') + document.text();
        return true;
    }
    QString askRescueFile() override
    {
        ++asked;
        return rescueFile;
    }
    QStringList previews, prints;
    int asked = 0;
    QString rescueFile;
};

// The user presses stop once the rows are being read.
class CancellingProgress : public TRTFProgress
{
public:
    CancellingProgress() { setShared(this); }
    ~CancellingProgress() override { setShared(nullptr); }

protected:
    void showComment(const QString &comment) override
    {
        m_rows = comment.startsWith(QStringLiteral("Идет обработка"));
    }
    void processEvents() override
    {
        if (m_rows && ++m_calls >= 2)
            cancel();
    }

private:
    bool m_rows = false;
    int m_calls = 0;
};

} // namespace

// The engine over templates written here and rows of a real database.
class ReportEngineTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_dir;

    void setRows(const QList<Row> &rows)
    {
        TxQuery::execute(m_db->db(), QStringLiteral("DELETE FROM T_REP"));
        int id = 0;
        for (const Row &r : rows)
            TxQuery::execute(m_db->db(),
                             QStringLiteral("INSERT INTO T_REP (ID, GRP, SUB, NAME, AMOUNT, QTY) VALUES (?, ?, ?, ?, ?, ?)"),
                             {++id, r.grp, r.sub, r.name, r.amount, r.qty});
    }

    static QList<Row> numberedRows(int count)
    {
        QList<Row> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({"A", "x", QStringLiteral("r%1").arg(i), double(i), 1});
        return rows;
    }

    QString templateFile(const QByteArray &content)
    {
        static int n = 0;
        const QString file = m_dir.filePath(QStringLiteral("t%1.rtf").arg(++n));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("cannot write the template");
        return file;
    }

    // Builds the template over the rows of T_REP for the section named; the
    // output document's text.
    QString build(const QByteArray &content, const QString &section = QStringLiteral("DefaultTable"),
                  const QStringList &vars = {}, TxReport::TxRepOptions options = TxReport::frAlwaysOpenDataSet)
    {
        TxReport report;
        report.SetFormFile(templateFile(content));
        report.SetOptions(options);
        report.SetDestination(TxReport::dsUserEvent);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP ORDER BY ID"));
        if (!section.isEmpty())
            report.SetSectionData(section, source.get());
        report.Vars().setLines(vars);
        QString text;
        bool ready = false;
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &doc) {
            text = doc->text();
            ready = true;
        });
        if (!report.Execute())
            return QStringLiteral("<cancelled>");
        return ready ? text : QStringLiteral("<not ready>");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        m_db = std::make_unique<TestDatabase>();
        TxQuery::execute(m_db->db(), QStringLiteral("CREATE TABLE T_REP (ID INTEGER, GRP VARCHAR(10), SUB VARCHAR(10), "
                                                    "NAME VARCHAR(40), AMOUNT DOUBLE PRECISION, QTY INTEGER, "
                                                    "NOTE BLOB SUB_TYPE TEXT, PIC BLOB)"));
    }

    void bands_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("expected");
        const QByteArray row = fld("NAME") + " " + fld("AMOUNT");
        QTest::newRow("no command: nothing printed") << paras({"Hello"}) << "DefaultTable" << "";
        QTest::newRow("rows of the default table") << paras({"before", "%TABLEROW", row}) << "DefaultTable"
                                                   << "a 10\nb 20\nc 5\n";
        QTest::newRow("all bands") << paras({"before", "%DATA Main", "Title", "%TABLEHEADER", "Head", "%TABLEROW", row,
                                             "%TABLEEND", "Total " + fld("AMOUNT/S"), "%END", "dropped"})
                                   << "MAIN" << "Title\nHead\na 10\nb 20\nc 5\nTotal 35\n";
        QTest::newRow("command right after command") << paras({"%TABLEHEADER", "%TABLEROW", fld("NAME")})
                                                     << "DefaultTable" << "a\nb\nc\n";
        QTest::newRow("last command with nothing after it") << paras({"%TABLEROW", fld("NAME"), "%TABLEEND"})
                                                           << "DefaultTable" << "a\nb\nc\n";
        QTest::newRow("commands ignore letter case") << paras({"%tablerow", fld("NAME"), "%TableEnd", "end"})
                                                     << "DefaultTable" << "a\nb\nc\nend\n";
        QTest::newRow("section without data source") << paras({"%DATA Other", "X" + fld("NAME") + "X", "%TABLEROW",
                                                                "r" + fld("NAME")})
                                                      << "MAIN" << "X X\nr \n";
        QTest::newRow("value group, footer sees the next record")
            << paras({"%GROUP GRP", "G " + fld("GRP"), "%GROUPEND", "S " + fld("GRP") + " " + fld("AMOUNT/S"),
                      "%TABLEROW", fld("NAME")})
            << "DefaultTable" << "G A\na\nb\nS B 30\nG B\nc\nS B 5\n";
        QTest::newRow("table header again after a break")
            << paras({"%GROUP GRP", "G", "%TABLEHEADER", "H", "%TABLEROW", fld("NAME")})
            << "DefaultTable" << "G\nH\na\nb\nG\nH\nc\n";
    }
    void bands()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, expected);
        setRows({{"A", "x", "a", 10, 1}, {"A", "x", "b", 20, 1}, {"B", "y", "c", 5, 1}});
        QCOMPARE(build(content, section), expected);
    }

    void nestedGroupsWithResetOn()
    {
        setRows({{"A", "x", "a", 1, 1}, {"A", "x", "b", 2, 1}, {"A", "y", "c", 4, 1}, {"B", "y", "d", 8, 1}});
        const QByteArray t = paras({"%GROUP GRP", "G " + fld("GRP"), "%GROUPEND", "EG " + fld("AMOUNT/S"),
                                    "%GROUP SUB", "S " + fld("SUB"), "%GROUPEND",
                                    "ES " + fld("QTY/S") + " " + fld("AMOUNT/S/RESETON grp"), "%TABLEROW",
                                    fld("AMOUNT"), "%TABLEEND", "T " + fld("AMOUNT/S")});
        QCOMPARE(build(t), QStringLiteral("G A\nS x\n1\n2\nES 2 3\nS y\n4\nES 1 7\nEG 7\nG B\nS y\n8\nES 1 8\nEG 8\nT 15\n"));
    }

    void rowLimitGroups_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("20 then 30: the last number repeats")
            << paras({"%GROUP /RowLimit 2, 3", "P", "%GROUPEND", "E " + fld("QTY/S"), "%TABLEHEADER", "H",
                      "%TABLEROW", fld("NAME")})
            << 6 << "P\nH\nr1\nr2\nE 2\nP\nH\nr3\nr4\nr5\nE 3\nP\nH\nr6\nE 1\n";
        QTest::newRow("last page filled with blank rows")
            << paras({"%GROUP /RowLimit 3 /LastPage 3", "P", "%GROUPEND", "E " + fld("QTY/S"), "%TABLEROW",
                      fld("NAME")})
            << 4 << "P\nr1\nr2\nr3\nE 3\nP\nr4\n\n\nE 1\n";
        QTest::newRow("last page beyond the page limit fills the page")
            << paras({"%GROUP /RowLimit 2 /LastPage 5", "P", "%GROUPEND", "E", "%TABLEROW", fld("NAME")})
            << 1 << "P\nr1\n\nE\n";
        QTest::newRow("total rows across pages")
            << paras({"%GROUP /RowLimit 2 /TotalRows 5", "P", "%GROUPEND", "E", "%TABLEROW", fld("NAME")})
            << 1 << "P\nr1\n\nE\nP\n\n\nE\nP\n\nE\n";
    }
    void rowLimitGroups()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, rows);
        QFETCH(QString, expected);
        setRows(numberedRows(rows));
        QCOMPARE(build(content), expected);
    }

    void rowLimitInsideValueGroup()
    {
        setRows({{"A", "x", "a", 1, 1}, {"A", "x", "b", 1, 1}, {"A", "x", "c", 1, 1}, {"B", "x", "d", 1, 1}});
        const QByteArray t = paras({"%GROUP GRP", "G " + fld("GRP"), "%GROUPEND", "EG", "%GROUP /RowLimit 2 /LastPage 2",
                                    "P", "%GROUPEND", "E", "%TABLEROW", fld("NAME")});
        QCOMPARE(build(t), QStringLiteral("G A\nP\na\nb\nE\nP\nc\n\nE\nEG\nG B\nP\nd\nE\nEG\n"));
    }

    void fields_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArray &e, const QString &x) { QTest::newRow(name) << e << x; };
        row("plain", "NAME", "abcdef");
        row("field names ignore case", "name", "abcdef");
        row("length 3", "NAME/L 3", "...");
        row("length 5", "NAME/L 5", "ab...");
        row("length limit", "NAME/LENGTHLIMIT 5", "ab...");
        row("round 100", "AMOUNT/R 100", "300");
        row("round 100 negative", "NEG/R 100", "-300");
        row("round a kopeck", "KOP/R 0.01", "0.29");
        row("format", "AMOUNT/F\"0.00\"", "250.00");
        row("format grouped", "BIG/F\"#,##0.00\"", "1,234,567.89");
        row("format rounds half up", "HALF/F\"0.00\"", "2.68");
        row("nozero", "ZERO/Z", " ");
        row("nozero word", "ZERO/NOZERO", " ");
        row("nozero keeps formatted zero", "ZERO/F\"0.00\"/Z", "0.00");
        row("positive on zero", "ZERO/Z+", " ");
        row("positive", "AMOUNT/POSITIVE", "250");
        row("positive on negative", "NEG/Z+", " ");
        row("negative", "NEG/Z-", "-250");
        row("nonpositive", "AMOUNT/Z!+", " ");
        row("nonnegative", "NEG/NONNEGATIVE", " ");
        row("words in capitals", "QTY/T", "ТРИ");
        row("words capital first", "QTY/Text", "Три");
        row("words as generated", "QTY/t", "три");
        row("words any case", "QTY/tExT", "три");
        row("words of text: error mark", "NAME/TEXT", ">>Ошибка<<");
        row("rounding text: error mark", "NAME/R 1", ">>Ошибка<<");
        row("format of text: error mark", "NAME/F\"0\"", ">>Ошибка<<");
        row("arithmetic", "AMOUNT*QTY", "750");
        row("arithmetic with options", "(AMOUNT*QTY)/R 100/TEXT", "ВОСЕМЬСОТ");
        row("arithmetic with a format", "(AMOUNT/QTY)/F\"0.00\"", "83.33");
        row("format of one operand only", "AMOUNT/QTY/F\"0.00\"", "83.3333333333333");
        row("leading minus", "-AMOUNT", "-250");
        row("calculator functions", "ROUND(AMOUNT/7)", "36");
        row("eleven operands", "QTY+QTY+QTY+QTY+QTY+QTY+QTY+QTY+QTY+QTY+QTY", "33");
        row("missing field", "NOPE", "?NOPE?");
        row("missing field in arithmetic", "AMOUNT*NOPE", "0");
        row("empty value in arithmetic", "AMOUNT+EMPTY", "250");
        row("user variable", "RATE/USER", "2.5");
        row("user variable in arithmetic", "AMOUNT*RATE/USER", "625");
        row("missing user variable", "OTHER/USER", "?OTHER?");
        row("sum option outside a footer", "AMOUNT/S", "250");
        row("text expression", "NAME QTY", "?NAME QTY?");
        row("memo on one line", "NOTE", "one two");
    }
    void fields()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QString, expected);
        TxQuery::execute(m_db->db(), QStringLiteral("DELETE FROM T_REP"));
        TxQuery::execute(m_db->db(), QStringLiteral("INSERT INTO T_REP (ID, NAME, AMOUNT, QTY, NOTE) VALUES "
                                                    "(1, 'abcdef', 250, 3, ?)"),
                         {QStringLiteral("one\ntwo")});
        TxReport report;
        const QString file = templateFile(paras({"%TABLEROW", fld(expression)}));
        report.SetFormFile(file);
        report.SetDestination(TxReport::dsUserEvent);
        auto source = TxSqlReportDataSource::fromSelect(
            m_db->db(), QStringLiteral("SELECT NAME, AMOUNT, -AMOUNT AS NEG, 0E0 AS ZERO, QTY, NOTE, "
                                       "1234567.891E0 AS BIG, 2.675E0 AS HALF, 0.285E0 AS KOP, "
                                       "CAST(NULL AS VARCHAR(5)) AS EMPTY FROM T_REP"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        report.Vars().setLines({QStringLiteral("rate = '2.5'")});
        QString text;
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &doc) { text = doc->text(); });
        QVERIFY(report.Execute());
        QCOMPARE(text, expected + QLatin1Char('\n'));
    }

    void russianNumbers()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        struct Back {
            ~Back() { QLocale::setDefault(QLocale::c()); }
        } back;
        setRows({{"A", "x", "a", 1234.5, 21}});
        const QString text = build(paras({"%TABLEROW", fld("AMOUNT") + "|" + fld("AMOUNT/F\"#,##0.00\"") + "|"
                                                          + fld("QTY/Text") + "|" + fld("AMOUNT+0.5")}));
        const QString group = QLocale().groupSeparator();
        QCOMPARE(text, QStringLiteral("1234,5|1%11234,50|Двадцать один|1235\n").arg(group));
        // A number typed with a point reads the same under a comma locale.
        double v = 0;
        QVERIFY(reportText::readNumber(QStringLiteral("1234.5"), v));
        QCOMPARE(v, 1234.5);
    }

    void formFieldSums()
    {
        setRows({{"A", "x", "a", 10, 2}, {"A", "x", "b", 20, 3}});
        const QByteArray t = paras({"%TABLEROW", fld("AMOUNT*QTY", "Cost"), "%TABLEEND",
                                    "T " + fld("cost/FORMFIELD/S/F\"0.00\"")});
        QCOMPARE(build(t), QStringLiteral("20\n60\nT 80.00\n"));
    }

    void pictureField()
    {
        QImage image(2, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        TxQuery::execute(m_db->db(), QStringLiteral("DELETE FROM T_REP"));
        TxQuery::execute(m_db->db(), QStringLiteral("INSERT INTO T_REP (ID, NAME, PIC) VALUES (1, 'logo', ?)"), {png});
        TxReport report;
        report.SetFormFile(templateFile(paras({"%TABLEROW", fld("NAME") + ":" + fld("PIC")})));
        report.SetDestination(TxReport::dsUserEvent);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT NAME, PIC FROM T_REP"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        std::unique_ptr<TxRTFFile> out;
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &doc) { out = std::move(doc); });
        QVERIFY(report.Execute());
        QVERIFY(out);
        QCOMPARE(out->text(), QStringLiteral("logo:\n"));
        QList<const TxRTFBitmap *> pictures;
        std::function<void(const TxRTFBasic &)> walk = [&](const TxRTFBasic &e) {
            if (auto b = dynamic_cast<const TxRTFBitmap *>(&e))
                pictures << b;
            e.forEachChild(walk);
        };
        walk(*out);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first()->picW, 2);
        QCOMPARE(pictures.first()->picH, 3);
        QCOMPARE(pictures.first()->scaleX, 100);
    }

    void cancelledReadingIsTold()
    {
        class CancelAtOnce : public TRTFProgress
        {
        public:
            CancelAtOnce() { setShared(this); }
            ~CancelAtOnce() override { setShared(nullptr); }

        protected:
            void processEvents() override { cancel(); }
        } progress;
        korvex::test::RecordingMessages messages;
        TxReport report;
        report.SetFormFile(templateFile(paras({"%TABLEROW", "row"})));
        report.SetDestination(TxReport::dsUserEvent);
        QVERIFY(!report.Execute());
        QCOMPARE(messages.infos,
                 QStringList{QStringLiteral("Отчет не был создан вероятно из-за прерывания пользователем.")});
        QVERIFY(!report.isBusy());
    }

    void emptyDataSet()
    {
        setRows({});
        const QByteArray t = paras({"%DATA Main", "Title", "%TABLEHEADER", "H", "%TABLEROW", fld("NAME"), "%TABLEEND",
                                    "T " + fld("AMOUNT/S/F\"0.00\"")});
        QCOMPARE(build(t, QStringLiteral("MAIN")), QStringLiteral("Title\nT 0.00\n"));
    }

    void singleRecordAndUserFields()
    {
        setRows({{"A", "x", "a", 10, 1}, {"A", "x", "b", 20, 1}});
        const QByteArray t = paras({"%TABLEROW", fld("NAME") + " " + fld("WHO/USER")});
        TxReport report;
        report.SetFormFile(templateFile(t));
        report.SetOptions(TxReport::frAlwaysOpenDataSet | TxReport::frSingleRecord);
        report.SetDestination(TxReport::dsUserEvent);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP ORDER BY ID"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        QStringList asked;
        report.SetOnUserField([&](TxReport &, const QString &name, QString &result) {
            asked << name + QLatin1Char('=') + result;
            result = QStringLiteral("me");
        });
        QString text;
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &doc) { text = doc->text(); });
        QVERIFY(report.Execute());
        QCOMPARE(text, QStringLiteral("a me\n"));
        QCOMPARE(asked, QStringList{QStringLiteral("WHO=?WHO?")});
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dataSources");
        QTest::addColumn<QString>("message");
        QTest::newRow("format without its quote")
            << paras({"%TABLEROW", fld("AMOUNT/F 0.00")}) << "" << "Form file error: incorrect /F field format";
        QTest::newRow("format without its closing quote")
            << paras({"%TABLEROW", fld("AMOUNT/F\"0.00")}) << "" << "Float format error: AMOUNT/F\"0.00";
        QTest::newRow("reset on an undeclared group")
            << paras({"%GROUP GRP", "%GROUPEND", fld("AMOUNT/S/RESETON SUB"), "%TABLEROW", fld("NAME")}) << ""
            << "Form File Error: Reference to undeclared group!";
        QTest::newRow("data source not found") << paras({"%TABLEROW", fld("NAME")}) << "DefaultTable = 'nowhere'"
                                               << "Could not locate datasource nowhere";
        QTest::newRow("unbalanced quote") << paras({"%GROUP /RowLimit \"2", "%TABLEROW", fld("NAME")}) << ""
                                          << "xB02: Обнаружена нескомпенсированная кавычка!";
        QTest::newRow("last page not a number") << paras({"%GROUP /RowLimit 2 /LastPage x", "%TABLEROW"}) << ""
                                                << "'X' is not a valid integer value";
        QTest::newRow("footer without a group") << paras({"%GROUPEND", "x"}) << ""
                                                << "Form File Error: GROUPEND without GROUP!";
        QTest::newRow("not a template") << QByteArray("plain text") << ""
                                        << "Not a Rich Text Format (RTF) file or file is corrupted.";
    }
    void errors()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, dataSources);
        QFETCH(QString, message);
        setRows({{"A", "x", "a", 10, 1}});
        TxReport report;
        report.SetFormFile(templateFile(content));
        report.SetDestination(TxReport::dsFile);
        const QString out = m_dir.filePath(QStringLiteral("error-out.rtf"));
        report.SetOutputFile(out);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        if (!dataSources.isEmpty())
            report.DataSources().setLines({dataSources});
        try {
            report.Execute();
            QFAIL("no error");
        } catch (const ExReport &e) {
            QCOMPARE(e.message(), message);
        } catch (const ExRTF &e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(!report.isBusy());
        QVERIFY2(!QFile::exists(out), "a failed report leaves no file");
    }

    void missingTemplateAndSecondBuild()
    {
        TxReport report;
        report.SetFormFile(m_dir.filePath(QStringLiteral("none.rtf")));
        try {
            report.Execute();
            QFAIL("no error");
        } catch (const ExReport &e) {
            QCOMPARE(e.message(), QStringLiteral("Файл формы %1 не найден...").arg(m_dir.filePath(QStringLiteral("none.rtf"))));
        }
        report.SetFormFile(templateFile(paras({"%TABLEROW", "r"})));
        report.SetDestination(TxReport::dsUserEvent);
        bool refused = false;
        report.SetOnReportReady([&](TxReport &r, std::unique_ptr<TxRTFFile> &) {
            try {
                r.Execute();
            } catch (const ExReport &) {
                refused = true;
            }
        });
        QVERIFY(report.Execute());
        QVERIFY(refused);
    }

    void pathMacros_data()
    {
        QTest::addColumn<QString>("runTimePath");
        QTest::addColumn<QString>("formFile");
        QTest::addColumn<QString>("expected");
        const QString temp = QDir::tempPath();
        QTest::newRow("temp") << "" << "%T/a.rtf" << temp + "/a.rtf";
        QTest::newRow("either case, backslashes") << "" << "%t\\forms\\a.rtf" << temp + "/forms/a.rtf";
        QTest::newRow("macro alone") << "" << "%T" << temp + "/";
        QTest::newRow("program folder") << "" << "%D/a.rtf" << QCoreApplication::applicationDirPath() + "/a.rtf";
        QTest::newRow("dropped") << "" << "%Xforms/a.rtf" << "forms/a.rtf";
        QTest::newRow("run-time folder") << "%T" << "a.rtf" << temp + "/a.rtf";
        QTest::newRow("run-time folder with delimiter") << "/srv/forms/" << "a.rtf" << "/srv/forms/a.rtf";
    }
    void pathMacros()
    {
        QFETCH(QString, runTimePath);
        QFETCH(QString, formFile);
        QFETCH(QString, expected);
        TxReport report;
        report.SetRunTimePath(runTimePath);
        report.SetFormFile(formFile);
        QCOMPARE(report.FormFilePath(), expected);
    }

    void valueLists()
    {
        TxValueList list({QStringLiteral("  Name = 'quoted value' "), QStringLiteral("noequals"),
                          QStringLiteral("NAME=second"), QStringLiteral("x=\"dq\""), QStringLiteral("half='open")});
        QCOMPARE(list.value(QStringLiteral("name")), QStringLiteral("quoted value"));
        QCOMPARE(list.indexOfName(QStringLiteral("NAME")), 0);
        QCOMPARE(list.indexOfName(QStringLiteral("noequals")), -1);
        QCOMPARE(list.value(QStringLiteral("X")), QStringLiteral("dq"));
        QCOMPARE(list.value(QStringLiteral("half")), QStringLiteral("'open"));
        QCOMPARE(list.value(QStringLiteral("missing")), QString());
    }

    void expressionsParseOnce()
    {
        const TxMathField m = TxMathField::parse(QStringLiteral("(Price*Quantity)/R 1/TEXT"));
        QCOMPARE(m.placeholderText(), QStringLiteral("(#0*#1)"));
        QCOMPARE(m.operands.size(), 4);
        QVERIFY(m.arithmetic);
        QVERIFY(m.hasFieldOptions);
        QCOMPARE(m.fieldOptions.roundStep, 1.0);
        QCOMPARE(int(m.fieldOptions.words), 3);
        const TxMathField sum = TxMathField::parse(QStringLiteral("Debt/S/RESETON Customer/F\"0.00\""));
        QCOMPARE(sum.operands.size(), 1);
        QVERIFY(sum.operands[0].isSum);
        QCOMPARE(sum.operands[0].resetOn, QStringLiteral("Customer"));
        QCOMPARE(sum.operands[0].name.name, QStringLiteral("Debt"));
        QCOMPARE(sum.operands[0].options.format, QStringLiteral("0.00"));
        QVERIFY(!sum.arithmetic);
        // One pass over the pieces: a value never lands inside another placeholder.
        QStringList values;
        for (int i = 0; i < 11; ++i)
            values << QString::number(i + 100);
        const TxMathField many = TxMathField::parse(QStringLiteral("A+B+C+D+E+F+G+H+I+J+K"));
        QCOMPARE(many.substitute(values), QStringLiteral("100+101+102+103+104+105+106+107+108+109+110"));
    }

    void floatFormats_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimals") << "0.00" << 3.14159 << "3.14";
        QTest::newRow("optional decimals") << "0.##" << 3.1 << "3.1";
        QTest::newRow("optional everything") << "#.##" << 0.0 << "";
        QTest::newRow("leading zeros") << "000" << 7.0 << "007";
        QTest::newRow("grouping") << "#,##0" << 1234567.0 << "1,234,567";
        QTest::newRow("negative") << "0.00" << -1.005 << "-1.01";
        QTest::newRow("negative rounds to zero") << "0.00" << -0.001 << "0.00";
        QTest::newRow("sections") << "0.00;(0.00);zero" << -5.0 << "(5.00)";
        QTest::newRow("zero section") << "0.00;(0.00);'zero'" << 0.0 << "zero";
        QTest::newRow("literals") << "0.00' руб.'" << 12.5 << "12.50 руб.";
        QTest::newRow("literals among digits") << "00-00" << 1234.0 << "12-34";
        QTest::newRow("exponent") << "0.00E+00" << 12345.0 << "1.23E+04";
        QTest::newRow("carry") << "0.0" << 9.96 << "10.0";
    }
    void floatFormats()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(reportText::formatFloat(pattern, value), expected);
    }

    void singleSelectOnly_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("select") << "SELECT * FROM T_REP" << true;
        QTest::newRow("closing semicolon and comment") << " /* list */ select 1 from rdb$database; -- end" << true;
        QTest::newRow("common table expression") << "WITH X AS (SELECT 1 A FROM RDB$DATABASE) SELECT A FROM X" << true;
        QTest::newRow("semicolon inside a text") << "SELECT ';' FROM RDB$DATABASE" << true;
        QTest::newRow("delete") << "DELETE FROM T_REP" << false;
        QTest::newRow("two statements") << "SELECT 1 FROM RDB$DATABASE; DELETE FROM T_REP" << false;
        QTest::newRow("procedure") << "EXECUTE PROCEDURE P" << false;
        QTest::newRow("block") << "EXECUTE BLOCK AS BEGIN END" << false;
        QTest::newRow("comment hides a statement") << "-- SELECT\nUPDATE T_REP SET QTY = 0" << false;
        QTest::newRow("empty") << "  " << false;
    }
    void singleSelectOnly()
    {
        QFETCH(QString, sql);
        QFETCH(bool, accepted);
        QCOMPARE(TxSqlReportDataSource::isSingleSelect(sql), accepted);
        if (!accepted) {
            try {
                TxSqlReportDataSource::fromSelect(m_db->db(), sql);
                QFAIL("accepted");
            } catch (const ExReport &e) {
                QVERIFY(e.message().startsWith(QStringLiteral("Only a single SELECT")));
            }
        }
    }

    void valuesAreBound()
    {
        setRows({{"A", "x", "O'Brien; DROP", 1, 1}, {"A", "x", "b", 2, 1}});
        auto source = TxSqlReportDataSource::fromSelect(
            m_db->db(), QStringLiteral("SELECT NAME, AMOUNT FROM T_REP WHERE NAME = ? AND AMOUNT > ?"),
            {QStringLiteral("O'Brien; DROP"), 0});
        source->open();
        QCOMPARE(source->recordCount(), 1);
        QCOMPARE(source->fieldText(source->fieldIndex(QStringLiteral("amount"))), QStringLiteral("1"));
    }

    void destinations()
    {
        setRows({{"A", "x", "a", 10, 1}, {"A", "x", "b", 20, 1}});
        const QString file = templateFile(rtf("%TABLEHEADER\\par\n\\trowd\\cellx1000\\intbl H\\cell\\row\n"
                                              "\\pard %TABLEROW\\par\n" + fld("NAME") + "\\par\n"));
        RecordingDisplay display;
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP ORDER BY ID"));
        const auto makeReport = [&](TxReport &r, TxReport::TDestinations d) {
            r.SetFormFile(file);
            r.SetDisplay(&display);
            r.SetDestination(d);
            r.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        };
        TxReport screen;
        makeReport(screen, TxReport::dsScreen);
        screen.SetCaption(QStringLiteral("Отчет %s"));
        QVERIFY(screen.Execute());
        QCOMPARE(display.previews, QStringList{QStringLiteral("Отчет %1|H\na\nb\n").arg(file)});

        TxReport printer;
        makeReport(printer, TxReport::dsPrinter);
        printer.SetShowPrintDialog(false);
        QVERIFY(printer.Execute());
        QCOMPARE(display.prints, QStringList{QStringLiteral("0|H\na\nb\n")});

        // Streamed into a file: the same document, the header row marked.
        TxReport toFile;
        makeReport(toFile, TxReport::dsFile);
        const QString out = m_dir.filePath(QStringLiteral("streamed.rtf"));
        toFile.SetOutputFile(out);
        QVERIFY(toFile.Execute());
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(out));
        QCOMPARE(back.text(), QStringLiteral("H\na\nb\n"));
        QFile raw(out);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("\\trhdr"));

        // An output file that cannot be created says so and leaves nothing.
        korvex::test::RecordingMessages messages;
        TxReport blocked;
        makeReport(blocked, TxReport::dsFile);
        blocked.SetOutputFile(m_dir.filePath(QStringLiteral("no/such/dir/out.rtf")));
        try {
            blocked.Execute();
            QFAIL("no error");
        } catch (const ExReport &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Невозможно создать файл")));
        }
    }

    void cancelLeavesNoFile()
    {
        setRows(numberedRows(40));
        CancellingProgress progress;
        TxReport report;
        report.SetFormFile(templateFile(paras({"%TABLEROW", fld("NAME")})));
        report.SetDestination(TxReport::dsFile);
        const QString out = m_dir.filePath(QStringLiteral("cancelled.rtf"));
        report.SetOutputFile(out);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP ORDER BY ID"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        bool ready = false;
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &) { ready = true; });
        QVERIFY(!report.Execute());
        QVERIFY(!ready);
        QVERIFY(!QFile::exists(out));
    }

    void slowDownRescueRebuildsIntoAFile()
    {
        setRows(numberedRows(200));
        RecordingDisplay display;
        display.rescueFile = m_dir.filePath(QStringLiteral("rescued.rtf"));
        TxReport report;
        report.SetFormFile(templateFile(paras({"%TABLEROW", fld("NAME"), "%TABLEEND", "n=" + fld("QTY/S")})));
        report.SetDisplay(&display);
        report.SetDestination(TxReport::dsScreen);
        auto source = TxSqlReportDataSource::fromSelect(m_db->db(), QStringLiteral("SELECT * FROM T_REP ORDER BY ID"));
        report.SetSectionData(QStringLiteral("DefaultTable"), source.get());
        // Every 5 records take 1 ms at first and 100 ms after 150 records.
        qint64 now = 0;
        int calls = 0;
        report.SetClock([&] { return now += (++calls > 32 ? 100 : 1); });
        QVERIFY(report.Execute());
        QCOMPARE(display.asked, 1);
        QVERIFY(display.previews.isEmpty());
        QCOMPARE(report.Destination(), TxReport::dsFile);
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(display.rescueFile));
        QVERIFY(back.text().endsWith(QStringLiteral("r200\nn=200\n")));
    }
};

#include "tst_report.moc"

KORVEX_TEST_CLASS(ReportEngineTest)
