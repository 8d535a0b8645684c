// bench_report: fills an invoice register of 10,000 rows (a table with a
// header row, a value group per customer with sums, formats, arithmetic and
// an amount in words) from a Firebird table into an RTF file, and measures in
// the same run the reference: reading that very output document with the RTF
// model and writing it again. The engine must not re-parse or re-lay-out per
// row, so its time should stay within twice the reference.
//
// Also printed: the bare fetch of the rows (part of the engine's time), and
// the same report built in memory (as for the preview) and then written.
//
// Usage: bench_report [ROWS] [RUNS]      (default 10000 and 5)

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xFbCreate.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "documents/xRTF.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace korvex::db;
using namespace korvex::documents;

namespace {

QByteArray field(const QByteArray &expression, const QByteArray &name = "F")
{
    QByteArray data(8, '\0');
    data += char(name.size()) + name + '\0' + char(expression.size()) + expression;
    return "{\\field{\\*\\fldinst {FORMTEXT }{\\*\\datafield " + data.toHex() + "}}{\\fldrslt 0}}";
}

QByteArray row(bool header, const QList<QByteArray> &cells)
{
    static const int rights[] = {900, 2300, 5600, 7100, 8300, 9600};
    QByteArray r = "\\trowd\\trgaph108\\trleft-108";
    for (int i = 0; i < cells.size(); ++i)
        r += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx"
             + QByteArray::number(rights[i]);
    r += "\n";
    for (const QByteArray &c : cells)
        r += QByteArray("\\pard\\intbl") + (header ? "\\qc\\plain\\f1\\fs18\\b " : "\\qr\\plain\\f0\\fs18 ") + c + "\\cell\n";
    r += "\\row\n";
    return r;
}

// Кириллица as RTF escapes.
QByteArray cyr(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        if (c.unicode() < 128)
            out += char(c.unicode());
        else
            out += "\\u" + QByteArray::number(c.unicode()) + "?";
    }
    return out;
}

QByteArray registerTemplate()
{
    QByteArray t = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
                   "{\\f1\\fswiss\\fcharset204 Arial;}}\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1134"
                   "\\margb1134\\sectd\n{\\header \\pard\\qc\\plain\\f1\\fs16 "
                   + cyr(QStringLiteral("Страница ")) + "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\n";
    const auto para = [&t](const QByteArray &text) { t += "\\pard\\plain\\f0\\fs20 " + text + "\\par\n"; };
    para(cyr(QStringLiteral("Шаблон реестра счетов")));
    para("%DATA REG");
    t += "\\pard\\qc\\plain\\f1\\fs28\\b " + cyr(QStringLiteral("Реестр счетов за ")) + field("PERIOD/USER") + "\\par\n";
    para("%TABLEHEADER");
    t += row(true, {cyr(QStringLiteral("№")), cyr(QStringLiteral("Дата")), cyr(QStringLiteral("Клиент")),
                    cyr(QStringLiteral("Сумма")), cyr(QStringLiteral("НДС")), cyr(QStringLiteral("Итого"))});
    para("%GROUP CUSTOMER");
    t += "\\pard\\plain\\f1\\fs20\\b " + cyr(QStringLiteral("Клиент: ")) + field("CUSTOMER") + "\\par\n";
    para("%GROUPEND");
    t += row(false, {"", "", cyr(QStringLiteral("Итого по клиенту")), field("AMOUNT/S/F\"#,##0.00\""), "",
                     field("AMOUNT/S/F\"#,##0.00\"")});
    para("%TABLEROW");
    t += row(false, {field("NUM"), field("DOCDATE"), field("CUSTOMER/L 30"), field("AMOUNT/F\"#,##0.00\""),
                     field("(AMOUNT*0.2)/R 0.01/F\"#,##0.00\""), field("(AMOUNT*1.2)/F\"#,##0.00\"")});
    para("%TABLEEND");
    para(cyr(QStringLiteral("Всего: ")) + field("AMOUNT/S/F\"#,##0.00\"") + " (" + field("AMOUNT/S/Text") + ")");
    t += "}";
    return t;
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

void fill(TxDatabase &db, int rows)
{
    TxQuery::execute(db, QStringLiteral("CREATE TABLE INVOICES (NUM INTEGER, DOCDATE DATE, CUSTOMER VARCHAR(60), "
                                        "AMOUNT DOUBLE PRECISION)"));
    runInTransaction(db, [&] {
        TxQuery insert(db, QStringLiteral("INSERT INTO INVOICES VALUES (?, ?, ?, ?)"));
        const QDate start(2024, 1, 1);
        for (int i = 0; i < rows; ++i) {
            insert.bind(0, i + 1)
                .bind(1, start.addDays(i % 360))
                .bind(2, QStringLiteral("ООО \"Арендатор %1\"").arg(i / 20 + 1, 4, 10, QLatin1Char('0')))
                .bind(3, 1000.0 + (i * 7919 % 100000) / 100.0);
            insert.exec();
        }
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? qMax(1, atoi(argv[1])) : 10000;
    const int runs = argc > 2 ? qMax(1, atoi(argv[2])) : 5;

    QTemporaryDir dir;
    TxConnectionParams::Target target;
    target.path = dir.filePath(QStringLiteral("bench.fdb"));
    createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
    setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);
    TxConnectionParams params;
    params.setServerName(target.path);
    TxDatabase db;
    db.open(params, QStringLiteral("SYSDBA"), QString());
    fill(db, rows);

    const QString templateFile = dir.filePath(QStringLiteral("register.rtf"));
    {
        QFile f(templateFile);
        const QByteArray t = registerTemplate();
        if (!f.open(QIODevice::WriteOnly) || f.write(t) != t.size())
            return 1;
    }
    const QString output = dir.filePath(QStringLiteral("register-out.rtf"));
    const QString copy = dir.filePath(QStringLiteral("register-copy.rtf"));
    const QString select = QStringLiteral("SELECT NUM, DOCDATE, CUSTOMER, AMOUNT FROM INVOICES ORDER BY CUSTOMER, NUM");

    const auto run = [&](TxReport::TDestinations destination, const TxReport::TReportReadyEvent &ready) {
        TxReadScope scope(db);
        TxReport report;
        report.SetOptions(TxReport::frAlwaysOpenDataSet);
        report.SetFormFile(templateFile);
        report.SetDestination(destination);
        report.SetOutputFile(output);
        report.SetOnReportReady(ready);
        report.Vars().append(QStringLiteral("PERIOD=январь 2024"));
        auto source = TxSqlReportDataSource::fromSelect(db, select);
        report.SetSectionData(QStringLiteral("REG"), source.get());
        return report.Execute();
    };

    double engineBest = 1e9, memoryBest = 1e9, referenceBest = 1e9, fetchBest = 1e9;
    int outputRows = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        if (!run(TxReport::dsFile, {}))
            return 1;
        engineBest = qMin(engineBest, seconds(t));

        // The destinations that keep the document (preview, printer): built in
        // memory, then written.
        t.restart();
        bool saved = false;
        if (!run(TxReport::dsUserEvent, [&](TxReport &, std::unique_ptr<TxRTFFile> &doc) { saved = doc->SaveToFile(copy); })
            || !saved)
            return 1;
        memoryBest = qMin(memoryBest, seconds(t));

        {
            TxReadScope scope(db);
            t.restart();
            QSqlQuery q(db.sql());
            q.setForwardOnly(true);
            q.exec(select);
            qint64 sink = 0;
            while (q.next())
                for (int c = 0; c < 4; ++c)
                    sink += q.value(c).toString().size();
            fetchBest = qMin(fetchBest, seconds(t));
            if (sink < 0)
                return 1;
        }
        t.restart();
        TxRTFFile doc;
        if (!doc.LoadFromFile(output) || !doc.SaveToFile(copy))
            return 1;
        referenceBest = qMin(referenceBest, seconds(t));
        outputRows = 0;
        for (int i = 0; i < doc.count(); ++i)
            if (auto b = dynamic_cast<TxRTFBlock *>(doc.at(i)))
                for (int k = 0; k < b->count(); ++k)
                    outputRows += dynamic_cast<TxRTFTableRow *>(b->at(k)) != nullptr;
    }

    const double mb = double(QFileInfo(output).size()) / (1024 * 1024);
    std::printf("invoice register: %d invoices, %d table rows, %.1f MB of RTF\n", rows, outputRows, mb);
    std::printf("engine (fill and write):          %.3f s\n", engineBest);
    std::printf("  of which the bare fetch:        %.3f s\n", fetchBest);
    std::printf("in memory, then written:          %.3f s\n", memoryBest);
    std::printf("reference (model read + write):   %.3f s\n", referenceBest);
    std::printf("engine / reference: %.2f (goal: at most 2); in memory: %.2f\n", engineBest / referenceBest,
                memoryBest / referenceBest);
    return 0;
}
