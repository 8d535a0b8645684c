#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testProcess.h"
#include "documentsTestSupport.h"

#include "db/xQuery.h"
#include "documents/ui/xReportPreview.h"
#include "documents/ui/xRTFPrintDialogs.h"
#include "documents/ui/xRTFView.h"
#include "documents/xRTF.h"
#include "documents/xRTFMessages.h"
#include "documents/xRTFPrint.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::documents;
using korvex::db::TxQuery;
using korvex::test::TestDatabase;

namespace {

// A document of the given number of one-line paragraphs (about 45 a page).
std::unique_ptr<TxRTFFile> linesDoc(int lines, bool landscape = false)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}";
    if (landscape)
        rtf += "\\paperw15840\\paperh12240\\landscape";
    for (int i = 0; i < lines; ++i)
        rtf += "\\pard\\plain\\f0\\fs24 line " + QByteArray::number(i) + "\\par\n";
    rtf += "}";
    auto doc = std::make_unique<TxRTFFile>();
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    doc->loadFromDevice(buffer);
    return doc;
}

int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(pdf).count(page));
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Records the pages printed; stops after a given page.
class Recorder : public TxPrintMonitor
{
public:
    explicit Recorder(int stopAfter = -1) : m_stopAfter(stopAfter) {}
    void page(int number, int count) override { labels << QStringLiteral("%1 из %2.").arg(number).arg(count); }
    bool stopped() const override { return m_stopAfter > 0 && labels.size() >= m_stopAfter; }
    QStringList labels;

private:
    int m_stopAfter;
};

} // namespace

class RTFViewerTest : public QObject
{
    Q_OBJECT

    // A viewer of that client size showing the document at the zoom.
    std::unique_ptr<TxRTFViewer> viewer(std::unique_ptr<TxRTFFile> doc, int width, int height, double zoom)
    {
        auto v = std::make_unique<TxRTFViewer>();
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->resize(width + 2 * v->frameWidth(), height + 2 * v->frameWidth());
        v->show();
        v->TakeDocument(doc);
        v->setScale(zoom);
        v->viewport()->grab();  // a first paint lays the document out and centres it
        return v;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void horizontalGeometry_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("centred");
        QTest::newRow("narrower page is centred") << 0.25 << true;
        QTest::newRow("wider page shows the text's left edge") << 1.0 << false;
        QTest::newRow("much wider page") << 2.0 << false;
    }
    void horizontalGeometry()
    {
        QFETCH(double, zoom);
        QFETCH(bool, centred);
        auto v = viewer(linesDoc(3), 300, 200, zoom);
        const int cw = v->viewport()->width();
        const int pw = v->pageWidth();
        if (centred) {
            QVERIFY(pw < cw);
            QCOMPARE(v->HShift(), 0);
            QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
            const QImage image = v->viewport()->grab().toImage();
            const int left = (cw - pw) / 2;
            QCOMPARE(QColor(image.pixel(left / 2, 5)), QColor(128, 128, 128));
            QCOMPARE(QColor(image.pixel(left + 2, 5)), QColor(Qt::white));
            QCOMPARE(QColor(image.pixel(left + pw + 2, 5)), QColor(128, 128, 128));
        } else {
            QVERIFY(pw > cw);
            QCOMPARE(v->HShift(), qMin((pw - cw) / 2, v->textLeft()));
            QCOMPARE(v->horizontalScrollBar()->maximum(), pw - cw);
            v->setHShift(1 << 20);
            QCOMPARE(v->HShift(), pw - cw);
        }
    }

    void scrollingByLines()
    {
        auto v = viewer(linesDoc(120), 400, 300, 1.0);
        const int n = v->lineCount();
        QCOMPARE(n, 120);
        QTest::keyClick(v.get(), Qt::Key_End);
        QCOMPARE(v->VShift(), n - 1);
        QTest::keyClick(v.get(), Qt::Key_Home);
        QCOMPARE(v->VShift(), 0);
        int steps = 0;
        for (int last = 0; v->VShift() < n - 1; ++steps) {
            QTest::keyClick(v.get(), Qt::Key_PageDown);
            QVERIFY(v->VShift() > last);
            // The last fully visible line stays in view: a page is less than a screen.
            QVERIFY(v->VShift() - last < 300 / 10);
            last = v->VShift();
        }
        QVERIFY(steps > 1);
        for (int last = v->VShift(); v->VShift() > 0;) {
            QTest::keyClick(v.get(), Qt::Key_PageUp);
            QVERIFY(v->VShift() < last);
            last = v->VShift();
        }
        QTest::keyClick(v.get(), Qt::Key_Down);
        QCOMPARE(v->VShift(), 1);
        v->setVShift(-5);
        QCOMPARE(v->VShift(), 0);
    }

    void pageGridWhenPagesFit()
    {
        auto v = viewer(linesDoc(200), 600, 400, 0.1);
        QVERIFY(v->showsPageGrid());
        v->setScale(1.0);
        QVERIFY(!v->showsPageGrid());
        // A page in the middle stays the first shown when the grid comes back.
        v->setVShift(100);
        v->setScale(0.1);
        QCOMPARE(v->VShift(), 100);
        QVERIFY(!v->viewport()->grab().isNull());
    }

    void takeDocumentExchanges()
    {
        auto first = linesDoc(5);
        const TxRTFFile *given = first.get();
        TxRTFViewer v;
        v.TakeDocument(first);
        QCOMPARE(v.document(), given);
        QVERIFY(first);  // the viewer's former document, for the caller to free
        QVERIFY(first.get() != given);
        QVERIFY(v.isLoaded());
        v.clear();
        QVERIFY(!v.isLoaded());
        QCOMPARE(v.lineCount(), 0);
    }

    void zoomBox_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("list entry") << "C" << "50%" << 0.5 << "50%";
        QTest::newRow("typed") << "C" << "  75 %" << 0.75 << "75%";
        QTest::newRow("nothing kept: unchanged") << "C" << "abc" << 1.0 << "0%";
        QTest::newRow("no number: 100") << "C" << "1-2" << 1.0 << "100%";
        QTest::newRow("decimal comma") << "ru_RU" << "12,5" << 0.125 << "12,5%";
    }
    void zoomBox()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, scale);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        struct Back {
            ~Back() { QLocale::setDefault(QLocale::c()); }
        } back;
        TxRTFViewer v;
        TxRTFScaleCombo zoom;
        zoom.setRTFViewer(&v);
        zoom.applyText(text);
        QCOMPARE(v.Scale(), scale);
        QCOMPARE(zoom.currentText(), shown);
    }
};

class RTFPrintTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void pageLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<TxPages>>("ranges");
        QTest::newRow("mixed") << "1-3, 5; 8-" << QList<TxPages>{{1, 3}, {5, 5}, {8, -1}};
        QTest::newRow("open start") << "-2" << QList<TxPages>{{-1, 2}};
        QTest::newRow("blanks and tabs") << " \t7 - 3 " << QList<TxPages>{{7, 3}};
        QTest::newRow("empty") << "" << QList<TxPages>{};
    }
    void pageLists()
    {
        QFETCH(QString, text);
        QFETCH(QList<TxPages>, ranges);
        QCOMPARE(parsePageList(text), ranges);
    }

    void pageListErrors()
    {
        try {
            parsePageList(QStringLiteral("1, x"));
            QFAIL("accepted");
        } catch (const ExRTF &e) {
            QCOMPARE(e.message(), QStringLiteral("'x' is not a valid integer value"));
        }
    }

    void printedRanges_data()
    {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<bool>("completed");
        QTest::newRow("all") << "" << -1 << QStringList{"1 из 3.", "2 из 3.", "3 из 3."} << true;
        QTest::newRow("backwards range prints nothing") << "3-1" << -1 << QStringList{} << true;
        QTest::newRow("beyond the end") << "2-99" << -1 << QStringList{"2 из 3.", "3 из 3."} << true;
        QTest::newRow("open start") << "-2" << -1 << QStringList{"1 из 3.", "2 из 3."} << true;
        QTest::newRow("stopped after page 2") << "" << 2 << QStringList{"1 из 3.", "2 из 3."} << false;
    }
    void printedRanges()
    {
        QFETCH(QString, pages);
        QFETCH(int, stopAfter);
        QFETCH(QStringList, labels);
        QFETCH(bool, completed);
        auto doc = linesDoc(110);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        Recorder recorder(stopAfter);
        {
            QPdfWriter pdf(&out);
            QCOMPARE(printDocument(*doc, pdf, parsePageList(pages), &recorder, true), completed);
        }
        QCOMPARE(recorder.labels, labels);
        QCOMPARE(pdfPages(out.data()), qMax(1, int(labels.size())));
        // The document is back at its own zoom and free for the screen.
        QCOMPARE(doc->zoom(), 1.0);
        QVERIFY(!doc->isDrawing());
    }

    void printDialogPageList()
    {
        QPrinter printer;
        TxPrintDialog dialog(printer);
        QVERIFY(dialog.allPages());
        QCOMPARE(dialog.copies(), 1);
        QTest::keyClicks(dialog.pagesEdit(), QStringLiteral("2-3"));
        QVERIFY(dialog.pageList());
        QCOMPARE(parsePageList(dialog.pageText()), (QList<TxPages>{{2, 3}}));
        dialog.copiesBox()->setValue(500);
        QCOMPARE(dialog.copies(), 100);
    }

    void pdfFiles()
    {
        // A document without pages still makes a file.
        TxRTFFile empty;
        const QString emptyFile = m_dir.filePath(QStringLiteral("empty.pdf"));
        writePdf(empty, emptyFile);
        QVERIFY(readAll(emptyFile).startsWith("%PDF"));
        QFile::remove(emptyFile);

        auto doc = linesDoc(110);
        const QString file = m_dir.filePath(QStringLiteral("doc.pdf"));
        writePdf(*doc, file, QStringLiteral("Отчет"));
        const QByteArray pdf = readAll(file);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdfPages(pdf), 3);
        QCOMPARE(m_dir.path() + QStringLiteral("/doc.pdf"), file);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.pdf")});

        // Landscape paper is laid out so.
        auto wide = linesDoc(2, true);
        const QString wideFile = m_dir.filePath(QStringLiteral("wide.pdf"));
        writePdf(*wide, wideFile);
        const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                                                .match(QString::fromLatin1(readAll(wideFile)));
        QVERIFY(box.hasMatch());
        QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());

        // A file that cannot be written: an error, and nothing left behind.
        try {
            writePdf(*doc, m_dir.filePath(QStringLiteral("missing/dir/x.pdf")));
            QFAIL("no error");
        } catch (const ExRTFWriter &) {
        }
        // A folder of that name is refused, never replaced.
        const QString folder = m_dir.filePath(QStringLiteral("folder.pdf"));
        QVERIFY(QDir().mkdir(folder));
        try {
            writePdf(*doc, folder);
            QFAIL("no error");
        } catch (const ExRTFWriter &) {
        }
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QDir().rmdir(folder));
        // A document being drawn is not printed again.
        doc->setDrawing(true);
        try {
            writePdf(*doc, m_dir.filePath(QStringLiteral("busy.pdf")));
            QFAIL("no error");
        } catch (const ExRTFFile &e) {
            QCOMPARE(e.message(), QStringLiteral("Drawing is prohibited - try to call printing again."));
        }
        doc->setDrawing(false);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("busy.pdf"))));
    }

    void previewSavesAndSaysSo()
    {
        TxReportPreviewForm form(QStringLiteral("Отчет"), QStringLiteral("/forms/t.rtf"));
        auto doc = linesDoc(3);
        form.viewer()->TakeDocument(doc);
        QString chosen;
        QStringList notes;
        form.setFileChooser([&](const QString &, const QString &, const QString &) { return chosen; });
        form.setNotifier([&](const QString &title, const QString &text) { notes << title + QLatin1Char('|') + text; });

        chosen = m_dir.filePath(QStringLiteral("saved.rtf"));
        form.save();
        QVERIFY(notes.isEmpty());
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(chosen));
        QCOMPARE(back.text(), QStringLiteral("line 0\nline 1\nline 2\n"));

        chosen = m_dir.filePath(QStringLiteral("missing/dir/saved.rtf"));
        {
            korvex::test::RecordingMessages messages;
            form.save();
        }
        QCOMPARE(notes, QStringList{QStringLiteral("Внимание|Отчет не записан в файл %1.").arg(chosen)});

        chosen = m_dir.filePath(QStringLiteral("saved.pdf"));
        form.savePdf();
        QVERIFY(readAll(chosen).startsWith("%PDF"));

        notes.clear();
        form.information();
        QCOMPARE(notes.size(), 1);
        QVERIFY(notes.first().startsWith(
            QStringLiteral("Информация|Информация об отчете:\n  Исходный файл отчета: /forms/t.rtf\n"
                           "  Занимаемая структурой память: ")));
    }
};

// The report command, end to end on a database of its own.
class ReportCliTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_dir;
    QString m_template;

    using Run = korvex::test::ProgramRun;
    static Run cli(const QStringList &args)
    {
        return korvex::test::runProgram(QStringLiteral(KORVEX_CLI), QStringList{QStringLiteral("report")} + args);
    }
    static QByteArray fld(const QByteArray &expression) { return korvex::test::formField(expression); }

private Q_SLOTS:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>();
        TxQuery::execute(m_db->db(), QStringLiteral("CREATE TABLE T_INV (ID INTEGER, NAME VARCHAR(40), AMOUNT DOUBLE PRECISION)"));
        TxQuery::execute(m_db->db(), QStringLiteral("CREATE PROCEDURE P_SIDE RETURNS (N INTEGER) AS BEGIN "
                                                    "INSERT INTO T_INV (ID, NAME, AMOUNT) VALUES (999, 'side', 0); "
                                                    "N = 1; SUSPEND; END"));
        const QList<QVariantList> rows = {{1, QStringLiteral("Аренда"), 1500.5}, {2, QStringLiteral("Свет"), 99.5}};
        for (const QVariantList &r : rows)
            TxQuery::execute(m_db->db(), QStringLiteral("INSERT INTO T_INV (ID, NAME, AMOUNT) VALUES (?, ?, ?)"), r);
        m_db->db().close();  // the command opens the file itself

        m_template = m_dir.filePath(QStringLiteral("register.rtf"));
        QFile f(m_template);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Times New Roman;}}\n"
                "%DATA Inv\\par\n" + fld("TITLE/USER") + "\\par\n%TABLEROW\\par\n" + fld("NAME") + " "
                + fld("AMOUNT/F\"0.00\"") + "\\par\n%TABLEEND\\par\n" + fld("AMOUNT/S/T") + "\\par\n}");
    }

    void fillsRtfAndPdf()
    {
        const QString out = m_dir.filePath(QStringLiteral("out.rtf"));
        const QString select = QStringLiteral("inv=SELECT NAME, AMOUNT FROM T_INV WHERE ID < 999 ORDER BY ID");
        Run r = cli({m_template, QStringLiteral("--out"), out, QStringLiteral("--data"), select, QStringLiteral("--var"),
                     QStringLiteral("TITLE=Реестр"), m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(out));
        QCOMPARE(back.text(), QStringLiteral("Реестр\nАренда 1500,50\nСвет 99,50\nОДНА ТЫСЯЧА ШЕСТЬСОТ\n"));

        const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
        r = cli({m_template, QStringLiteral("--out"), pdf, QStringLiteral("--data"), select, m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(readAll(pdf).startsWith("%PDF"));
    }

    void runsReadOnly()
    {
        const QString out = m_dir.filePath(QStringLiteral("side.rtf"));
        const Run r = cli({m_template, QStringLiteral("--out"), out, QStringLiteral("--data"),
                           QStringLiteral("INV=SELECT N AS NAME FROM P_SIDE"), m_db->path()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(out));
        QVERIFY2(back.text().contains(QStringLiteral("\n1 ")), qPrintable(back.text()));  // the procedure ran
        auto check = m_db->connect(QStringLiteral("check"));
        QCOMPARE(TxQuery::scalar(*check, QStringLiteral("SELECT COUNT(*) FROM T_INV WHERE ID = 999")).toInt(), 0);
        check->close();
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString db = QStringLiteral("$DB");
        const QString tpl = QStringLiteral("$TPL");
        const QString out = QStringLiteral("--out=$OUT");
        QTest::newRow("missing template") << QStringList{"/nonexistent/t.rtf", out, db}
                                          << "Файл формы /nonexistent/t.rtf не найден...";
        QTest::newRow("not a select") << QStringList{tpl, out, "--data", "INV=DELETE FROM T_INV", db}
                                      << "Only a single SELECT statement can fill a report: DELETE FROM T_INV";
        QTest::newRow("two statements") << QStringList{tpl, out, "--data", "INV=SELECT 1 FROM RDB$DATABASE; DELETE FROM T_INV", db}
                                        << "Only a single SELECT statement";
        QTest::newRow("bad sql") << QStringList{tpl, out, "--data", "INV=SELECT NOPE FROM T_INV", db} << "NOPE";
        QTest::newRow("data without a section") << QStringList{tpl, out, "--data", "SELECT 1", db}
                                                << "--data takes SECTION=SELECT-STATEMENT";
        QTest::newRow("no output") << QStringList{tpl, db} << "Usage: korvex-rent-cli report";
        QTest::newRow("output cannot be written") << QStringList{tpl, "--out", "/nonexistent/dir/x.rtf", db}
                                                  << "Невозможно создать файл '/nonexistent/dir/x.rtf'";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString out = m_dir.filePath(QStringLiteral("failed.rtf"));
        for (QString &a : args) {
            a.replace(QStringLiteral("$DB"), m_db->path());
            a.replace(QStringLiteral("$TPL"), m_template);
            a.replace(QStringLiteral("$OUT"), out);
        }
        const QString problem = korvex::test::badFailure(cli(args), message, out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

#include "tst_viewer.moc"

KORVEX_TEST_CLASS(RTFViewerTest)
KORVEX_TEST_CLASS(RTFPrintTest)
KORVEX_TEST_CLASS(ReportCliTest)
