// bench_rtf: reads and writes a generated 10 MB document (a long table with
// Cyrillic text and fields) and times `unrtf --text` on the same file in the
// same run, so the figure is a ratio on this machine.
//
// Usage: bench_rtf [--size MB] [--runs N] [--keep FILE]

#include "documents/xRTF.h"
#include "documents/xRTFWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvex::documents;

namespace {

const char *const kWords[] = {
    "\\'c0\\'f0\\'e5\\'ed\\'e4\\'e0",                    // Аренда
    "\\'ef\\'ee\\'ec\\'e5\\'f9\\'e5\\'ed\\'e8\\'ff",       // помещения
    "\\'ea\\'ee\\'ec\\'ec\\'f3\\'ed\\'e0\\'eb\\'fc\\'ed\\'fb\\'e5", // коммунальные
    "\\'f3\\'f1\\'eb\\'f3\\'e3\\'e8",                    // услуги
    "\\u1079?\\u1072?",                                  // за (as current word processors write it)
    "\\u1084?\\u1072?\\u1088?\\u1090?",                   // март
    "\\'fd\\'f2\\'e0\\'e6",                              // этаж
    "\\'ea\\'e0\\'e1\\'e8\\'ed\\'e5\\'f2",                // кабинет
};

QByteArray generate(qint64 targetBytes)
{
    QByteArray rtf;
    rtf.reserve(targetBytes + 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
           "{\\f1\\fswiss\\fcharset204 Arial;}}{\\colortbl;\\red0\\green0\\blue0;\\red230\\green230\\blue230;}"
           "\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1134\\margb1134\\sectd\r\n"
           "{\\header \\pard\\qc\\plain\\f1\\fs16 \\'d1\\'f7\\'e5\\'f2 \\'b9 {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\r\n"
           "\\pard\\plain\\f1\\fs28\\b \\'d0\\'e5\\'e5\\'f1\\'f2\\'f0 \\'ed\\'e0\\'f7\\'e8\\'f1\\'eb\\'e5\\'ed\\'e8\\'e9\\par\r\n";
    const QByteArray rowDef = "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                              "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx800\\clbrdrt\\brdrs\\brdrw10"
                              "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx6500\\clbrdrt\\brdrs\\brdrw10"
                              "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\clcbpat2\\cellx9000\r\n";
    rtf += rowDef;
    rtf.replace("\\trowd", "\\trowd\\trhdr");
    rtf += "\\pard\\intbl\\qc\\plain\\f1\\fs20\\b \\'b9\\cell \\'d3\\'f1\\'eb\\'f3\\'e3\\'e0\\cell "
           "\\'d1\\'f3\\'ec\\'ec\\'e0\\cell\\row\r\n";
    int row = 0;
    while (rtf.size() < targetBytes) {
        ++row;
        rtf += rowDef;
        rtf += "\\pard\\intbl\\qr\\plain\\f0\\fs20 " + QByteArray::number(row) + "\\cell\\pard\\intbl\\ql\\plain\\f0\\fs20 ";
        for (int w = 0; w < 9; ++w) {
            rtf += kWords[(row + w) % 8];
            rtf += w == 4 ? ", " : " ";
        }
        rtf += "{\\i " + QByteArray(kWords[row % 8]) + "} \\'b9" + QByteArray::number(row % 400);
        rtf += "\\cell\\pard\\intbl\\qr\\plain\\f0\\fs20 {\\field{\\*\\fldinst {FORMTEXT }{\\*\\datafield "
               "80010000000000000553756d6d61000000}}{\\fldrslt "
               + QByteArray::number(row * 17 % 100000) + ",00}}\\cell\\row\r\n";
    }
    rtf += "\\pard\\plain\\f0\\fs24 \\'c8\\'f2\\'ee\\'e3\\'ee {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}";
    return rtf;
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/korvex-runtime-" + QByteArray::number(getuid());
        if (::mkdir(runtime.constData(), 0700) == 0 || QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
            qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QGuiApplication app(argc, argv);
    double sizeMb = 10;
    int runs = 3;
    QString keep;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--size"))
            sizeMb = args[++i].toDouble();
        else if (args[i] == QLatin1String("--runs"))
            runs = qMax(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--keep"))
            keep = args[++i];
    }

    QTemporaryDir dir;
    const QString input = keep.isEmpty() ? dir.filePath(QStringLiteral("bench.rtf")) : keep;
    const QString output = dir.filePath(QStringLiteral("out.rtf"));
    const QByteArray data = generate(qint64(sizeMb * 1024 * 1024));
    {
        QFile f(input);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(input));
            return 1;
        }
    }
    const double mb = double(data.size()) / (1024 * 1024);

    double readBest = 1e9, writeBest = 1e9, unrtfBest = 1e9, layoutBest = 1e9;
    qint64 written = 0;
    int pages = 0;
    int rows = 0;
    for (int r = 0; r < runs; ++r) {
        TxRTFFile doc;
        QElapsedTimer t;
        t.start();
        if (!doc.LoadFromFile(input))
            return 1;
        readBest = qMin(readBest, seconds(t));
        rows = 0;
        for (int i = 0; i < doc.count(); ++i)
            if (auto b = dynamic_cast<TxRTFBlock *>(doc.at(i)))
                for (int k = 0; k < b->count(); ++k)
                    rows += dynamic_cast<TxRTFTableRow *>(b->at(k)) != nullptr;

        t.restart();
        if (!doc.SaveToFile(output))
            return 1;
        writeBest = qMin(writeBest, seconds(t));
        written = QFile(output).size();

        if (r == 0) {
            TxRTFMeasureDevice device(600);
            doc.SetDevice(&device);
            t.restart();
            doc.Paginate();
            layoutBest = seconds(t);
            pages = doc.PageCount();
        }

        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (!unrtf.isEmpty()) {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.setStandardErrorFile(QProcess::nullDevice());
            t.restart();
            p.start(unrtf, {QStringLiteral("--text"), input});
            p.waitForFinished(-1);
            unrtfBest = qMin(unrtfBest, seconds(t));
        }
    }

    std::printf("document: %.1f MB, %d table rows, %d pages at 600 dpi\n", mb, rows, pages);
    std::printf("read:   %.3f s  %.1f MB/s\n", readBest, mb / readBest);
    std::printf("write:  %.3f s  %.1f MB/s (%.1f MB written)\n", writeBest, double(written) / (1024 * 1024) / writeBest,
                double(written) / (1024 * 1024));
    std::printf("layout: %.3f s (all pages at 600 dpi)\n", layoutBest);
    if (unrtfBest < 1e9) {
        std::printf("unrtf --text: %.3f s  %.1f MB/s\n", unrtfBest, mb / unrtfBest);
        std::printf("read speed / unrtf speed: %.2f\n", unrtfBest / readBest);
    } else {
        std::printf("unrtf not found: no reference figure\n");
    }
    return 0;
}
