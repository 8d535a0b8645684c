#include "common/testMain.h"
#include "documentsTestSupport.h"

#include "documents/ui/frmRTFProgress.h"
#include "documents/xRTF.h"
#include "documents/xRTFMessages.h"
#include "documents/xRTFProgress.h"
#include "documents/xRTFReader.h"
#include "documents/xRTFWriter.h"
#include "documents/xSafeFile.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTextStream>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QLocale>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace korvex::documents;

KORVEX_TEST_GUI_PROGRAM()

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(KORVEX_DOCUMENTS_DATA "/") + QLatin1String(name);
}

std::unique_ptr<TxRTFFile> readRtf(const QByteArray &rtf)
{
    auto doc = std::make_unique<TxRTFFile>();
    QBuffer buffer;
    buffer.setData(rtf);
    buffer.open(QIODevice::ReadOnly);
    doc->loadFromDevice(buffer);
    return doc;
}

QByteArray writeRtf(const TxRTFFile &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.writeTo(buffer);
    return buffer.data();
}

// All elements of a kind in document order.
template <class T> QList<const T *> all(const TxRTFBasic &root)
{
    QList<const T *> found;
    std::function<void(const TxRTFBasic &)> walk = [&](const TxRTFBasic &e) {
        if (auto t = dynamic_cast<const T *>(&e))
            found << t;
        e.forEachChild(walk);
    };
    walk(root);
    return found;
}

using korvex::test::RecordingMessages;

QByteArray hexOf(const QByteArray &bytes)
{
    return bytes.toHex();
}

const QByteArray kPng = QByteArray::fromHex(
    "89504e470d0a1a0a0000000d49484452000000020000000208020000"
    "00fdd49a730000001649444154789c63f8cfc0f09f8181e13f0303c3"
    "7f060006f301ff8f3a87ec0000000049454e44ae426082");

} // namespace

// ---------------------------------------------------------------------------
class RTFReaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runFormat_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("flags");  // i u s
        QTest::addColumn<QString>("text");
        QTest::newRow("Arial at size 24") << QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24 Hello\\par}")
                                          << "Arial" << -240 << 400 << "" << "Hello";
        QTest::newRow("before plain or f: device default")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}abc\\par}") << "" << 0 << 400 << "" << "abc";
        QTest::newRow("plain takes deff") << QByteArray("{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\b\\plain x\\par}")
                                          << "Courier New" << 0 << 400 << "" << "x";
        QTest::newRow("bold italic strike underline")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b\\i\\strike\\ul y\\par}") << "" << 0 << 700 << "ius" << "y";
        QTest::newRow("switched off") << QByteArray("{\\rtf1\\b\\i\\ul\\strike\\b0\\i0\\ul0\\strike0 z\\par}")
                                      << "" << 0 << 400 << "" << "z";
        QTest::newRow("ulnone after uldb") << QByteArray("{\\rtf1\\uldb\\ulnone z\\par}") << "" << 0 << 400 << "" << "z";
        QTest::newRow("long face name cut to 31")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij;}}\\f0 t\\par}")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde" << 0 << 400 << "" << "t";
    }
    void runFormat()
    {
        QFETCH(QByteArray, rtf);
        auto doc = readRtf(rtf);
        const auto runs = all<TxRTFChars>(*doc);
        QCOMPARE(all<TxRTFTextPara>(*doc).size(), 1);
        QCOMPARE(runs.size(), 1);
        const TxFontRec &f = runs.first()->font();
        QTEST(f.faceName, "face");
        QTEST(f.height, "height");
        QTEST(f.weight, "weight");
        QString flags;
        if (f.italic)
            flags += QLatin1Char('i');
        if (f.underline)
            flags += QLatin1Char('u');
        if (f.strikeOut)
            flags += QLatin1Char('s');
        QTEST(flags, "flags");
        QCOMPARE(f.charSet, quint8(204));
        QTEST(runs.first()->chars(), "text");
    }

    void text_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("Windows-1251 by default") << QByteArray("\\'c0\\'e1\\'e2") << QStringLiteral("Абв");
        QTest::newRow("raw 8-bit bytes") << QByteArray("\xc4\xee\xec") << QStringLiteral("Дом");
        QTest::newRow("ansicpg 1252") << QByteArray("\\ansicpg1252 \\'e9") << QStringLiteral("é");
        QTest::newRow("font charset back after a group")
            << QByteArray("\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset238 B;}}\\f0 {\\f1 \\'a3}\\'c0")
            << QStringLiteral("ŁА");
        QTest::newRow("unicode with fallback skipped") << QByteArray("\\u1044\\'3f\\u1086?x") << QStringLiteral("Доx");
        QTest::newRow("uc2 skips two") << QByteArray("\\uc2\\u1044??y") << QStringLiteral("Дy");
        QTest::newRow("negative unicode") << QByteArray("\\u-3913 ?") << QString(QChar(0xF0B7));
        QTest::newRow("escaped braces and backslash") << QByteArray("a\\{b\\}c\\\\d") << QStringLiteral("a{b}c\\d");
        QTest::newRow("typographic words")
            << QByteArray("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet")
            << QStringLiteral("—–‘’“”•");
        QTest::newRow("line ends skipped in text") << QByteArray("ab\r\ncd\n") << QStringLiteral("abcd");
        QTest::newRow("line end delimits a word") << QByteArray("{\\loch\r\n 1}{\\loch\n2}") << QStringLiteral(" 12");
        QTest::newRow("blank after a word consumed") << QByteArray("\\b x") << QStringLiteral("x");
        QTest::newRow("characters below blank dropped") << QByteArray("a\x01\tb") << QStringLiteral("ab");
        QTest::newRow("non-breaking space") << QByteArray("a\\~b") << QStringLiteral("a\u00a0b");
        QTest::newRow("unknown words and symbols ignored") << QByteArray("\\foo12 a\\-b\\|c") << QStringLiteral("abc");
        QTest::newRow("skipped destinations and tables")
            << QByteArray("{\\*\\generator LibreOffice;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}x")
            << QStringLiteral("x");
        QTest::newRow("unknown group word keeps text") << QByteArray("{\\loch abc}") << QStringLiteral("abc");
        QTest::newRow("bin data skipped") << QByteArray("{\\*\\foo \\bin3 {}}a}b") << QStringLiteral("b");
        QTest::newRow("tab") << QByteArray("a\\tab b") << QStringLiteral("a\tb");
    }
    void text()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        auto doc = readRtf("{\\rtf1\\ansi " + body + "\\par}");
        QCOMPARE(doc->text(), text + QLatin1Char('\n'));
    }

    void runsHoldAtMost101Characters()
    {
        auto doc = readRtf("{\\rtf1 " + QByteArray(250, 'a') + "{\\b b}c\\par}");
        const auto runs = all<TxRTFChars>(*doc);
        QList<int> sizes;
        for (auto r : runs)
            sizes << int(r->chars().size());
        QCOMPARE(sizes, (QList<int>{101, 101, 48, 1, 1}));
        QCOMPARE(runs[3]->font().weight, 700);
        QCOMPARE(runs[4]->font().weight, 400);
    }

    void colourTableKeepsFirstHundred()
    {
        QByteArray table = "{\\colortbl;";
        for (int i = 1; i < 120; ++i)
            table += "\\red" + QByteArray::number(i) + "\\green2\\blue3;";
        auto doc = readRtf("{\\rtf1" + table + "}x\\par}");
        QCOMPARE(doc->colors.size(), 100);
        QCOMPARE(doc->colors.first(), qRgb(0, 0, 0));
        QCOMPARE(doc->colors.last(), qRgb(99, 2, 3));
    }

    void paragraphFormat()
    {
        auto doc = readRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240"
                           "\\sl-300\\slmult0\\keep\\keepn\\tx1440\\tx2880\\cbpat1\\cfpat7\\shading2000 one\\page"
                           "\\pard\\qj two\\par}");
        const auto paras = all<TxRTFTextPara>(*doc);
        QCOMPARE(paras.size(), 2);
        TxParaFormat expected;
        expected.alignment = TxParaFormat::Centre;
        expected.leftIndent = 720;
        expected.rightIndent = 360;
        expected.firstIndent = -360;
        expected.spaceBefore = 120;
        expected.spaceAfter = 240;
        expected.lineSpacing = -300;
        expected.keep = expected.keepNext = true;
        expected.tabStops = {1440, 2880};
        expected.patternBackground = 1;
        expected.patternForeground = 0;  // outside the colour table
        expected.shading = 2000;
        expected.pageBreak = true;
        QVERIFY(paras[0]->paraFormat() == expected);
        TxParaFormat second;
        second.alignment = TxParaFormat::Justified;
        QVERIFY(paras[1]->paraFormat() == second);
    }

    void pageSettings()
    {
        auto doc = readRtf("{\\rtf1\\paperw11906\\paperh16838\\margl1701\\margr850\\margt1134\\margb1134"
                           "\\headery567\\footery600\\pgnstart3\\landscape x\\par}");
        QCOMPARE(doc->page.paperWidth, 11906);
        QCOMPARE(doc->page.bodyHeight(), 16838 - 2268);
        QCOMPARE(doc->page.textWidth(), 11906 - 2551);
        QCOMPARE(doc->page.headerY, 567);
        QCOMPARE(doc->page.pageStart, 3);
        QVERIFY(doc->page.landscape);
        QVERIFY(TxRTFFile().page == TxPageSettings());
    }

    void tables()
    {
        auto doc = readRtf("{\\rtf1{\\colortbl;\\red0\\green0\\blue0;\\red200\\green200\\blue200;}"
                           "\\trowd\\trgaph108\\trleft-108\\trhdr\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrw15"
                           "\\trbrdrb\\brdrw30\\clcbpat2\\clshdng5000\\cellx2000\\cellx4000"
                           "\\pard\\intbl A\\cell B\\par B2\\cell\\row"
                           "\\pard\\intbl C\\cell D\\cell\\row\\pard after\\par}");
        const auto rows = all<TxRTFTableRow>(*doc);
        QCOMPARE(rows.size(), 2);
        const TxRowDef &def = rows[0]->rowDef();
        QCOMPARE(def.gap, 108);
        QCOMPARE(def.left, -108);
        QVERIFY(def.header);
        QCOMPARE(def.cells.size(), 2);
        QCOMPARE(def.cells[0].right, 2000);
        QCOMPARE(def.cells[0].borderTop, 10);
        QCOMPARE(def.cells[0].borderLeft, 15);
        QCOMPARE(def.cells[0].borderBottom, 0);  // the row border's width is not the cell's
        QCOMPARE(def.cells[0].patternBackground, 2);
        QCOMPARE(def.cells[0].shading, 5000);
        QCOMPARE(def.cells[1].right, 4000);
        QCOMPARE(def.cells[1].borderTop, 0);
        // The second row repeats the definition of the first.
        QVERIFY(rows[1]->rowDef() == def);
        QCOMPARE(rows[0]->cell(1)->count(), 2);
        QCOMPARE(doc->text(), QStringLiteral("A\tB B2\nC\tD\nafter\n"));
    }

    void fields()
    {
        auto doc = readRtf("{\\rtf1 Page {\\field\\fldlock{\\*\\fldinst PAGE }{\\fldrslt {\\b 1}}} end\\par}");
        const auto fields = all<TxRTFField>(*doc);
        QCOMPARE(fields.size(), 1);
        const TxRTFField *f = fields.first();
        QCOMPARE(f->instruction, QStringLiteral("PAGE "));
        QCOMPARE(f->fieldType(), QStringLiteral("PAGE"));
        QCOMPARE(f->result, QStringLiteral("1"));
        QVERIFY(f->locked);
        QVERIFY(!f->dirty);
        QCOMPARE(f->seqNumber, -1);
        QCOMPARE(doc->text(), QStringLiteral("Page 1 end\n"));
        QCOMPARE(all<TxRTFChars>(*f).first()->font().weight, 700);
    }

    void dataAndFormFields()
    {
        QByteArray data = "0102030405060708";
        data += hexOf(QByteArray("\x05Summa", 6));
        data += "00";
        data += hexOf(QByteArray("\x09Price*Qty", 10));
        data += "ffff";  // the rest of the block is skipped
        auto doc = readRtf("{\\rtf1 {\\field{\\*\\fldinst {FORMTEXT }{\\*\\datafield " + data
                           + "}{\\*\\formfield{\\fftype0\\fftypetxt1{\\*\\ffname Summa}{\\*\\ffdeftext 0}}}}"
                             "{\\fldrslt 123}}\\par}");
        const auto fields = all<TxRTFField>(*doc);
        QCOMPARE(fields.size(), 1);
        const TxRTFField *f = fields.first();
        QVERIFY(f->isDataField);
        QCOMPARE(f->dataRec.header, QByteArray::fromHex("0102030405060708"));
        QCOMPARE(f->dataRec.name, QStringLiteral("Summa"));
        QCOMPARE(f->dataRec.defaultText, QStringLiteral("Price*Qty"));
        QVERIFY(f->isFormField);
        QCOMPARE(f->formFieldTypeText, 1);
        QCOMPARE(f->ffName, QStringLiteral("Summa"));
        QCOMPARE(f->ffDefText, QStringLiteral("0"));
        QCOMPARE(f->instruction, QStringLiteral("FORMTEXT "));
        QCOMPARE(doc->dataFields(), QList<TxRTFField *>{const_cast<TxRTFField *>(f)});

        // Copying under the report engine's flag turns the data field into plain text.
        TxRTFBlock copy;
        {
            TxRTFFile::DataFieldsAsText guard;
            copy.assign(*doc);
        }
        QCOMPARE(all<TxRTFField>(copy).size(), 0);
        QCOMPARE(copy.text(), doc->text());
        TxRTFBlock plainCopy;
        plainCopy.assign(*doc);
        QCOMPARE(all<TxRTFField>(plainCopy).size(), 1);
    }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("messages");
        QTest::newRow("png") << QByteArray("{\\rtf1 {\\pict\\pngblip\\picw2\\pich2\\picwgoal30\\pichgoal30 " + kPng.toHex()
                                           + "}\\par}")
                             << "TxRTFBitmap" << int(TxRTFPicture::Png) << kPng << 0;
        QTest::newRow("jpeg") << QByteArray("{\\rtf1 {\\pict\\jpegblip ffd8ffe0}\\par}") << "TxRTFBitmap"
                              << int(TxRTFPicture::Jpeg) << QByteArray::fromHex("ffd8ffe0") << 0;
        QTest::newRow("windows metafile") << QByteArray("{\\rtf1 {\\pict\\wmetafile8\\picw100\\pich50 0100 0900}\\par}")
                                          << "TxRTFMetafile" << int(TxRTFPicture::WindowsMetafile)
                                          << QByteArray::fromHex("01000900") << 0;
        QTest::newRow("binary data") << QByteArray("{\\rtf1 {\\pict\\pngblip\\bin4 {}\r\n}\\par}") << "TxRTFBitmap"
                                     << int(TxRTFPicture::Png) << QByteArray("{}\r\n") << 0;
        QTest::newRow("shppict preferred over its metafile twin")
            << QByteArray("{\\rtf1 {\\*\\shppict{\\pict\\pngblip " + kPng.toHex()
                          + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}\\par}")
            << "TxRTFBitmap" << int(TxRTFPicture::Png) << kPng << 0;
        QTest::newRow("device-independent bitmap dropped")
            << QByteArray("{\\rtf1 {\\pict\\dibitmap0 0102}{\\pict\\wbitmap0 01}\\par}") << "" << -1 << QByteArray()
            << 2;
    }
    void pictures()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, className);
        QFETCH(QByteArray, data);
        QFETCH(int, messages);
        RecordingMessages log;
        auto doc = readRtf(rtf);
        const auto pics = all<TxRTFPicture>(*doc);
        QCOMPARE(log.infos.size(), messages);
        if (messages) {
            QCOMPARE(log.infos.first(), QStringLiteral("Non-metafile picture in RTF file will be ignored."));
            QCOMPARE(pics.size(), 0);
            return;
        }
        QCOMPARE(pics.size(), 1);
        QCOMPARE(pics.first()->className(), className);
        QTEST(int(pics.first()->kind()), "kind");
        QCOMPARE(pics.first()->data(), data);
    }

    void headerAndFooter()
    {
        RecordingMessages log;
        auto doc = readRtf("{\\rtf1 {\\header \\pard Head\\par}{\\footer Foot {\\field{\\*\\fldinst PAGE}}\\par}"
                           "Body\\par{\\headerf First page head\\par}More\\par}");
        QVERIFY(doc->header());
        QVERIFY(doc->footer());
        QCOMPARE(doc->header()->text(), QStringLiteral("Head\n"));
        QCOMPARE(all<TxRTFField>(*doc->footer()).size(), 1);
        QCOMPARE(log.errors.size(), 1);
        QVERIFY(log.errors.first().startsWith(QStringLiteral("Your RTF file has more than one header")));
        // The other header is ignored, as the message says, not poured into the body.
        QCOMPARE(doc->text(), QStringLiteral("Body\nMore\n"));
    }

    void loadsLibreOfficeFiles()
    {
        TxRTFFile doc;
        QVERIFY(doc.LoadFromFile(dataFile("letter.rtf")));
        QCOMPARE(doc.text(), QStringLiteral("Уважаемый арендатор!\n\nНапоминаем о задолженности по договору.\tТаб.\n"
                                            "English line with \"quotes\" and — dash.\n"));

        QVERIFY(doc.LoadFromFile(dataFile("contract.rtf")));
        const QStringList lines = doc.text().split(QLatin1Char('\n'));
        QCOMPARE(lines.at(0), QStringLiteral("Договор аренды № 17"));
        QCOMPARE(lines.at(2), QStringLiteral("Арендодатель: ООО «Корвекс», в лице генерального директора Иванова "
                                             "И.И., и зачёркнутый подчёркнутый текст {фигурные скобки} и обратная "
                                             "\\ косая."));
        QVERIFY(lines.contains(QStringLiteral("3\tАренда помещения 3, этаж 3\t3000.00")));
        QCOMPARE(all<TxRTFTableRow>(doc).size(), 16);
        // The logo is the PNG itself, not its metafile twin.
        const auto pics = all<TxRTFPicture>(doc);
        QCOMPARE(pics.size(), 1);
        QFile png(dataFile("logo.png"));
        QVERIFY(png.open(QIODevice::ReadOnly));
        QCOMPARE(pics.first()->data(), png.readAll());
        const auto runs = all<TxRTFChars>(doc);
        auto italic = std::find_if(runs.begin(), runs.end(), [](auto r) { return r->font().italic; });
        QVERIFY(italic != runs.end());
        QCOMPARE((*italic)->chars(), QStringLiteral("генерального директора"));

        QVERIFY(doc.LoadFromFile(dataFile("template.rtf")));
        QVERIFY(doc.header());
        QCOMPARE(doc.header()->text(), QStringLiteral("ООО «Корвекс» — счёт на оплату\n"));
        const auto footerFields = all<TxRTFField>(*doc.footer());
        QCOMPARE(footerFields.size(), 2);
        QCOMPARE(footerFields[0]->fieldType(), QStringLiteral("PAGE"));
        QCOMPARE(footerFields[1]->fieldType(), QStringLiteral("NUMPAGES"));
        QCOMPARE(doc.page.paperWidth, 11906);
        QCOMPARE(doc.page.marginLeft, 1701);
        QCOMPARE(doc.page.marginTop, 1417);  // the section's margin, below the header
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const QString notRtf = QStringLiteral("Not a Rich Text Format (RTF) file or file is corrupted.");
        QTest::newRow("empty") << QByteArray() << "ExRTFFile" << notRtf;
        QTest::newRow("plain text") << QByteArray("hello") << "ExRTFFile" << notRtf;
        QTest::newRow("group without word") << QByteArray("{hello}") << "ExRTFFile" << notRtf;
        QTest::newRow("wrong first word") << QByteArray("{\\ansi x}") << "ExRTFFile" << "File is corrupt.";
        QTest::newRow("unclosed group") << QByteArray("{\\rtf1 {\\b text}") << "ExRTFReader"
                                        << "Failed to read data from RTF file.";
        QTest::newRow("cut in a control word") << QByteArray("{\\rtf1 \\pa") << "ExRTFReader"
                                               << "Failed to read data from RTF file.";
        QTest::newRow("group end after the end") << QByteArray("{\\rtf1 a}b}") << "ExRTFReader"
                                                 << "File is corrupted.";
        QTest::newRow("bad hex byte") << QByteArray("{\\rtf1 \\'zz}") << "ExRTFReader"
                                      << "Can not convert non hex to byte.";
        QTest::newRow("short data field") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst{\\*\\datafield 0102}}}}")
                                          << "ExRTFReader" << "Can not convert non hex to byte.";
        QTest::newRow("undeclared font") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f5 x}") << "ExRTFFile"
                                         << QStringLiteral("В RTF файле использован необьявленный щрифт.");
        QTest::newRow("binary past the end") << QByteArray("{\\rtf1 {\\pict\\bin99 ab}}") << "ExRTFReader"
                                             << "Failed to read data from RTF file.";
        const int inner = TxRTFFile::MaxGroupDepth;  // one more than fits inside the document's group
        QTest::newRow("nested too deep")
            << QByteArray("{\\rtf1 ") + QByteArray(inner, '{') + "x" + QByteArray(inner, '}') + "}" << "ExRTFReader"
            << "File is corrupted.";
        QTest::newRow("nested too deep in a skipped group")
            << QByteArray("{\\rtf1 {\\*\\unknown ") + QByteArray(inner, '{') + QByteArray(inner + 1, '}') + "}"
            << "ExRTFReader" << "File is corrupted.";
    }

    // Nesting up to the limit is read.
    void deepestNestingReads()
    {
        const int inner = TxRTFFile::MaxGroupDepth - 1;
        auto doc = readRtf(QByteArray("{\\rtf1 ") + QByteArray(inner, '{') + "x" + QByteArray(inner, '}') + "\\par}");
        QCOMPARE(doc->text(), QStringLiteral("x\n"));
    }

    // Hostile files are refused or read with memory in proportion to their
    // size: nesting, rows padded to a long cell definition, tiny pictures,
    // a long font table.
    void memoryPerInputByte_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<bool>("refused");
        auto repeat = [](const QByteArray &piece, int bytes) {
            QByteArray out;
            out.reserve(bytes + piece.size());
            while (out.size() < bytes)
                out += piece;
            return out;
        };
        QTest::newRow("10 MB of group starts") << QByteArray("{\\rtf1 ") + QByteArray(10 << 20, '{') << true;
        QTest::newRow("short rows, long definition")
            << "{\\rtf1 \\trowd" + repeat("\\cellx1", 10000) + repeat("\\intbl\\cell\\row ", 20000) + "}" << true;
        QTest::newRow("tiny pictures") << "{\\rtf1 " + repeat("{\\pict\\pngblip 00}", 400000) + "}" << false;
        QTest::newRow("paragraphs") << "{\\rtf1 " + repeat("a\\par ", 400000) + "}" << false;
    }
    void memoryPerInputByte()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(bool, refused);
        auto peakKb = [] {
            rusage u{};
            getrusage(RUSAGE_SELF, &u);
            return qint64(u.ru_maxrss);
        };
        const qint64 before = peakKb();
        {
            TxRTFFile doc;
            QBuffer buffer(&rtf);
            buffer.open(QIODevice::ReadOnly);
            bool threw = false;
            try {
                doc.loadFromDevice(buffer);
            } catch (const ExRTFReader &e) {
                QCOMPARE(e.message(), QStringLiteral("File is corrupted."));
                threw = true;
            }
            QCOMPARE(threw, refused);
        }
        // At most 128 bytes of memory per byte read, and some room for the heap.
        const qint64 grownKb = peakKb() - before;
        QVERIFY2(grownKb * 1024 <= 128 * qint64(rtf.size()) + (16 << 20),
                 qPrintable(QStringLiteral("grew by %1 KB for %2 bytes").arg(grownKb).arg(rtf.size())));
    }
    void errors()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TxRTFFile doc;
        QBuffer buffer;
        buffer.setData(rtf);
        buffer.open(QIODevice::ReadOnly);
        try {
            doc.loadFromDevice(buffer);
            QFAIL("no error");
        } catch (const ExRTFFile &e) {
            QCOMPARE(QStringLiteral("ExRTFFile"), kind);
            QCOMPARE(e.message(), message);
        } catch (const ExRTFReader &e) {
            QCOMPARE(QStringLiteral("ExRTFReader"), kind);
            QCOMPARE(e.message(), message);
        }
        // Nothing half-read is left behind.
        QCOMPARE(doc.text(), QString());
        QVERIFY(!doc.isLoading());
    }

    void missingAndUnopenableFiles()
    {
        TxRTFFile doc;
        const QString missing = dataFile("no-such-file.rtf");
        try {
            doc.LoadFromFile(missing);
            QFAIL("no error");
        } catch (const ExRTFReader &e) {
            QCOMPARE(e.message(), QStringLiteral("File '%1' could not be opened").arg(missing));
        }
        // A name that exists but cannot be opened asks retry or abort; abort is a failed load.
        RecordingMessages log;
        QTemporaryDir dir;
        QVERIFY(!doc.LoadFromFile(dir.path()));
        QCOMPARE(log.retries, QStringList{QStringLiteral("Невозможно открыть файл '%1'").arg(dir.path())});
    }

    void cancelledLoadReturnsFalse()
    {
        class Cancelling : public TRTFProgress
        {
        protected:
            void processEvents() override { cancel(); }  // the user pressed stop at once
        } progress;
        TRTFProgress::setShared(&progress);
        TxRTFFile doc;
        const bool loaded = doc.LoadFromFile(dataFile("contract.rtf"));
        TRTFProgress::setShared(nullptr);
        QVERIFY(!loaded);
        QCOMPARE(doc.text(), QString());
        QCOMPARE(progress.depth(), 0);
        QVERIFY(doc.LoadFromFile(dataFile("contract.rtf")));
    }

    void commandParagraphHook()
    {
        // A report template cuts itself into bands at command paragraphs.
        class Template : public TxRTFFile
        {
        public:
            QStringList seen;
            bool reenter = false;

        protected:
            void paragraphRead(TxRTFTextPara *para) override
            {
                seen << para->text();
                if (reenter)
                    LoadFromFile(QStringLiteral("x.rtf"));
                if (para->text().startsWith(QLatin1Char('%'))) {
                    readingBlock()->removeAt(readingBlock()->indexOf(para));
                    addNew<TxRTFBlock>();
                }
            }
        } doc;
        QBuffer buffer;
        buffer.setData("{\\rtf1 {\\header H\\par}Intro\\par %DATA\\par \\trowd\\cellx100\\intbl c\\cell\\row"
                       " Row\\page %TABLEROW\\par Tail\\par}");
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(doc.loadFromDevice(buffer));
        QCOMPARE(doc.seen, (QStringList{"Intro", "%DATA", "Row", "%TABLEROW", "Tail"}));
        QCOMPARE(doc.count(), 3);
        QCOMPARE(static_cast<TxRTFBlock *>(doc.at(1))->text(), QStringLiteral("c\nRow\n"));
        QCOMPARE(static_cast<TxRTFBlock *>(doc.at(2))->text(), QStringLiteral("Tail\n"));

        doc.reenter = true;
        buffer.seek(0);
        try {
            doc.loadFromDevice(buffer);
            QFAIL("no error");
        } catch (const ExRTFFile &e) {
            QCOMPARE(e.message(), QStringLiteral("Loading of RTF file is already in progress..."));
        }
    }

    void factory()
    {
        for (const char *name : {"txrtfbasic", "TxRTFChars", "TXRTFGROUP", "txrtfpicture", "txrtfmetafile",
                                 "txrtfbitmap", "txrtfpara", "txrtftext", "txrtftextpara", "txrtfcell",
                                 "txrtftablerow", "txrtfblock", "txrtftabchar", "txrtffield"}) {
            auto e = createRTFElement(QLatin1String(name));
            QCOMPARE(e->className().toLower(), QString::fromLatin1(name).toLower());
        }
        try {
            createRTFElement(QStringLiteral("TxRTFFile"));
            QFAIL("no error");
        } catch (const ExRTF &e) {
            QCOMPARE(e.message(), QStringLiteral("Unknown class request. Class name: TxRTFFile"));
        }
    }
};

// ---------------------------------------------------------------------------
class RTFWriterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        auto file = [](const char *name) {
            QFile f(dataFile(name));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        };
        QTest::newRow("letter") << file("letter.rtf");
        QTest::newRow("contract") << file("contract.rtf");
        QTest::newRow("every element")
            << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1 Times New Roman;}"
                          "{\\f2\\fcharset2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                          "\\paperw11906\\paperh16838\\margl1134\\margr850\\landscape\\pgnstart2"
                          "{\\header \\pard\\qc\\f0\\fs20 Head \\{1\\}\\par}{\\footer {\\field\\flddirty{\\*\\fldinst PAGE}"
                          "{\\fldrslt }}\\par}"
                          "\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl-300\\keep\\keepn\\pagebb\\tx1440"
                          "\\cbpat1\\cfpat2\\shading2000\\s3 \\plain\\f0\\fs24 plain \\b bold \\i italic\\strike strike"
                          "\\ul under\\plain\\tab \\'c0\\u8364? \\u1044\\'c4 {\\f2 \\'b7}\\page"
                          "\\pard\\qr\\sl360\\slmult1 {\\field\\flddirty\\fldlock{\\*\\fldinst SEQ Table}{\\fldrslt }}"
                          "{\\pict\\pngblip\\picw2\\pich2\\picwgoal600\\pichgoal600\\picscalex50 "
                          + kPng.toHex()
                          + "}{\\pict\\wmetafile8\\picw10\\pich20 0100}\\par"
                            "\\trowd\\trgaph108\\trleft-108\\trhdr\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrw20"
                            "\\clcbpat1\\clcfpat2\\clshdng1000\\cellx2000\\clbrdrr\\brdrw5\\cellx5000"
                            "\\pard\\intbl\\f0 A1\\cell B1\\par\\fs32 B2\\cell\\row"
                            "\\pard\\intbl A2\\cell\\cell\\row"
                            "\\pard\\plain tail\\par}");
    }
    void roundTrip()
    {
        // read -> write -> read gives the same tree.
        QFETCH(QByteArray, rtf);
        auto first = readRtf(rtf);
        const QByteArray written = writeRtf(*first);
        auto second = readRtf(written);
        QCOMPARE(second->dumpTree(), first->dumpTree());
        QCOMPARE(writeRtf(*second), written);
        // Copying makes the same tree too.
        TxRTFFile copy;
        copy.assign(*first);
        QCOMPARE(copy.dumpTree(), first->dumpTree());
    }

    void fieldResultsLeftToTheReader()
    {
        auto first = readRtf("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} p\\par}");
        const QByteArray written = writeRtf(*first);
        QVERIFY(written.contains("{\\field \\flddirty "));
        QVERIFY(written.contains("{\\*\\fldinst PAGE}{\\*\\fldrslt }}"));
        auto second = readRtf(written);
        const auto fields = all<TxRTFField>(*second);
        QCOMPARE(fields.size(), 1);
        QCOMPARE(fields.first()->instruction, QStringLiteral("PAGE"));
        QCOMPARE(fields.first()->result, QString());
        QVERIFY(fields.first()->dirty);
    }

    void writtenForm_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("brace escaped") << QByteArray("{\\rtf1 a\\{b\\}\\\\\\par}") << QByteArray("a\\{b\\}\\\\}");
        QTest::newRow("italic and strike kept") << QByteArray("{\\rtf1 {\\i\\strike x}\\par}")
                                                << QByteArray("{\\ul0 \\i \\strike x}");
        QTest::newRow("run with font and size")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}{\\f7 Arial;}}\\f7\\fs24\\b x\\par}")
            << QByteArray("{\\f7 \\fs24 \\ul0 \\b x}");
        QTest::newRow("cyrillic bytes") << QByteArray("{\\rtf1 \\u1044?\\'e0\\par}") << QByteArray("\xc4\xe0");
        QTest::newRow("outside the code page") << QByteArray("{\\rtf1 \\u8364?\\u20013?\\par}")
                                               << QByteArray("\x88\\u20013?");
        QTest::newRow("data field as its text")
            << QByteArray("{\\rtf1 {\\field{\\*\\fldinst {\\*\\datafield 0000000000000000014100014200}}{\\fldrslt R}}\\par}")
            << QByteArray("{\\ul0 R}");
        QTest::newRow("header row") << QByteArray("{\\rtf1\\trowd\\trhdr\\cellx100\\intbl a\\cell\\row}")
                                    << QByteArray("{\\trowd \\trgaph0 \\trleft0 \\trhdr \\cellx100");
        QTest::newRow("prologue") << QByteArray("{\\rtf1 x\\par}")
                                  << QByteArray("{\\rtf1 \\ansi \\ansicpg1251 \\deff0 {\\fonttbl {\\f0 \\fnil "
                                                "\\fcharset204 Times New Roman;}}");
    }
    void writtenForm()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QByteArray, expected);
        const QByteArray written = writeRtf(*readRtf(rtf));
        QVERIFY2(written.contains(expected), written.constData());
    }

    void saveToFile()
    {
        QTemporaryDir dir;
        auto doc = readRtf("{\\rtf1 text\\par}");
        const QString name = dir.filePath(QStringLiteral("out.rtf"));
        QVERIFY(doc->SaveToFile(name));
        TxRTFFile back;
        QVERIFY(back.LoadFromFile(name));
        QCOMPARE(back.text(), QStringLiteral("text\n"));

        // A file that cannot be created: the user is asked; Abort fails the save.
        RecordingMessages log;
        const QString bad = dir.filePath(QStringLiteral("missing/out.rtf"));
        QVERIFY(!doc->SaveToFile(bad));
        QCOMPARE(log.retries, QStringList{QStringLiteral("Невозможно создать файл '%1'").arg(bad)});
        try {
            doc->SaveToFile(QString());
            QFAIL("no error");
        } catch (const ExRTFWriter &e) {
            QCOMPARE(e.message(), QStringLiteral("File '' could not be created"));
        }
    }

    // A full disk or a file-size limit is an error, and no file, not even a
    // truncated one, is left under the name or beside it; a file being
    // replaced keeps its old content.
    void failedWritesLeaveNoFile()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("fresh.rtf"));
        const QString kept = dir.filePath(QStringLiteral("kept.rtf"));
        QFile old(kept);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("{\\rtf1 old}");
        old.close();
        auto doc = readRtf("{\\rtf1 " + QByteArray(20000, 'x') + "\\par}");

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QStringList errors;
        for (const QString &name : {fresh, kept}) {
            try {
                doc->SaveToFile(name);
                errors << QStringLiteral("no error");
            } catch (const ExRTFWriter &e) {
                errors << e.message();
            }
        }
        // The helper on its own, written the way a text stream writes: a
        // failed write it never looked at still stops the commit.
        TxSafeFile stream(fresh);
        QVERIFY(stream.open(QIODevice::WriteOnly));
        QTextStream(&stream) << QString(20000, QLatin1Char('y'));
        const bool committed = stream.commit();
        setrlimit(RLIMIT_FSIZE, &saved);

        for (const QString &e : errors)
            QVERIFY2(e.startsWith(QStringLiteral("Failed to write data to RTF file.")) && e.contains(QStringLiteral("too large")),
                     qPrintable(e));
        QVERIFY(!committed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.rtf")});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("{\\rtf1 old}"));
    }

    // Only a regular file is written over: a FIFO, a device (through a link)
    // or a folder of that name is refused and stays what it was.
    void onlyRegularFilesAreReplaced()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.rtf"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString device = dir.filePath(QStringLiteral("null.rtf"));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), device));
        const QString folder = dir.filePath(QStringLiteral("folder.rtf"));
        QVERIFY(QDir().mkdir(folder));
        auto doc = readRtf("{\\rtf1 text\\par}");
        for (const QString &name : {fifo, device, folder}) {
            try {
                doc->SaveToFile(name);
                QFAIL(qPrintable(QStringLiteral("written: %1").arg(name)));
            } catch (const ExRTFWriter &e) {
                QCOMPARE(e.message(), QStringLiteral("'%1' is not a regular file.").arg(name));
            }
        }
        struct stat st{};
        QCOMPARE(stat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QVERIFY(QFileInfo(device).isSymLink());
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(), 3);
    }

    // The command-line tool under a file-size limit: exit 1 with the reason,
    // nothing written.
    void cliWriteFailureExitsWithOne()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in.rtf"));
        const QString out = dir.filePath(QStringLiteral("out.rtf"));
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 " + QByteArray(50000, 'x') + "\\par}");
        f.close();
        QProcess p;
        p.setChildProcessModifier([] {
            rlimit small{};
            getrlimit(RLIMIT_FSIZE, &small);
            small.rlim_cur = 16384;
            setrlimit(RLIMIT_FSIZE, &small);
        });
        p.start(QStringLiteral(KORVEX_CLI), {QStringLiteral("rtf"), QStringLiteral("copy"), in, out});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(p.readAllStandardError().contains("too large"), "no reason given");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("in.rtf")});
    }

    void failedWriteKeepsTheOldFile()
    {
        class Failing : public TxRTFBasic
        {
        public:
            void write(TxRTFWriter &w) const override
            {
                w.text(QString(5000, QLatin1Char('x')));
                throw ExRTFWriter(QStringLiteral("Failed to write data to RTF file."));
            }
        };
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("old.rtf"));
        QFile old(name);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("{\\rtf1 old}");
        old.close();
        auto doc = readRtf("{\\rtf1 new\\par}");
        doc->readingBlock()->append(std::make_unique<Failing>());
        QVERIFY_THROWS_EXCEPTION(ExRTFWriter, doc->SaveToFile(name));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("{\\rtf1 old}"));
    }
};

// ---------------------------------------------------------------------------
class RTFLayoutTest : public QObject
{
    Q_OBJECT

    // Rows exactly 720 twips high on a body of 18 such lines.
    static QByteArray table(int rows, bool header)
    {
        QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\paperw12240\\paperh15840\\margt1440\\margb1440 Before\\par";
        for (int i = 0; i <= rows; ++i) {
            rtf += "\\trowd\\trgaph50";
            if (i == 0 && header)
                rtf += "\\trhdr";
            rtf += "\\cellx3000\\cellx6000\\pard\\intbl\\sl-720 ";
            rtf += i == 0 ? QByteArray("Name\\cell Sum") : "Row " + QByteArray::number(i) + "\\cell 100";
            rtf += "\\cell\\row";
        }
        return rtf + "}";
    }

private Q_SLOTS:
    // Dates of fields follow the locale; these cases are written for the C
    // locale's ("1 Mar 2024", with blanks), whatever the program's default.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void twoPageTableRepeatsHeaderRow_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<int>("secondPageFirstLine");
        QTest::addColumn<int>("repeated");
        QTest::newRow("header row") << true << 18 << 720;
        QTest::newRow("no header row") << false << 18 << 0;
    }
    void twoPageTableRepeatsHeaderRow()
    {
        QFETCH(bool, header);
        auto doc = readRtf(table(30, header));
        TxRTFMeasureDevice device(1440);  // one pixel per twip
        doc->SetDevice(&device);
        QVERIFY(doc->Paginate());
        QCOMPARE(doc->lineCount(), 32);  // "Before", the header row, 30 rows
        QCOMPARE(doc->lineHeight(5), 720);
        QCOMPARE(doc->PageCount(), 2);
        // Page 1: the paragraph and 17 rows fill 18 x 720 only with a shorter first line.
        const TxRTFPage first = doc->pages()[0];
        const TxRTFPage second = doc->pages()[1];
        QCOMPARE(first.firstLine, 0);
        QVERIFY(first.lastLine >= 17);
        QCOMPARE(second.firstLine, first.lastLine + 1);
        QCOMPARE(second.lastLine, 31);
        QCOMPARE(second.number, 2);
        QFETCH(int, repeated);
        QCOMPARE(doc->repeatedHeaderHeight(second.firstLine), repeated);
        QCOMPARE(doc->repeatedHeaderHeight(1), 0);  // the header row itself
        int total = doc->repeatedHeaderHeight(second.firstLine);
        for (int l = second.firstLine; l <= second.lastLine; ++l)
            total += doc->lineHeight(l);
        QVERIFY(total <= doc->toDeviceY(doc->page.bodyHeight()));
    }

    void headerRowIsDrawnOnTheNextPage()
    {
        auto doc = readRtf(table(40, true));
        QImage image(850, 1100, QImage::Format_RGB32);  // a letter page at 100 dpi
        image.setDotsPerMeterX(3937);
        image.setDotsPerMeterY(3937);
        doc->SetDevice(&image);
        QVERIFY(doc->Paginate());
        QVERIFY(doc->PageCount() >= 2);
        const int firstLine = doc->pages()[1].firstLine;
        QVERIFY(doc->repeatedHeaderHeight(firstLine) > 0);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            doc->drawPage(painter, 1);
        }
        // Something is drawn in the band where the repeated header row stands.
        const int top = doc->toDeviceY(doc->page.marginTop);
        bool ink = false;
        for (int y = top; y < top + doc->repeatedHeaderHeight(firstLine) && !ink; ++y)
            for (int x = 0; x < image.width() && !ink; ++x)
                ink = qGray(image.pixel(x, y)) < 128;
        QVERIFY(ink);
    }

    void lineBreaking_data()
    {
        // Courier New is drawn with its metric twin, 144 twips a character at
        // 12 points; the text width holds 10 characters.
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("words") << QByteArray("aaaa bbbb cccc") << QStringList{"aaaa bbbb ", "cccc"};
        QTest::newRow("word to next line") << QByteArray("aaaaaa bbbbbb") << QStringList{"aaaaaa ", "bbbbbb"};
        QTest::newRow("break after punctuation") << QByteArray("aaaaaaa,bbb-cc") << QStringList{"aaaaaaa,", "bbb-cc"};
        QTest::newRow("long word cut") << QByteArray("abcdefghijklmnopqrstuvwxy")
                                       << QStringList{"abcdefghij", "klmnopqrst", "uvwxy"};
        QTest::newRow("long word after text") << QByteArray("ab abcdefghijklmn")
                                              << QStringList{"ab abcdefg", "hijklmn"};
        QTest::newRow("word across runs") << QByteArray("aaaaaa bb{\\b bbbb}") << QStringList{"aaaaaa ", "bbbbbb"};
        QTest::newRow("empty paragraph") << QByteArray("") << QStringList{""};
        QTest::newRow("tab ends the line past the width") << QByteArray("aaaaaaaaa\\tab b")
                                                          << QStringList{"aaaaaaaaa", "b"};
    }
    void lineBreaking()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, lines);
        auto doc = readRtf("{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\paperw1460\\margl0\\margr0\\f0\\fs24 " + body
                           + "\\par}");
        TxRTFMeasureDevice device(1440);
        doc->SetDevice(&device);
        QVERIFY(doc->Paginate());
        const auto para = all<TxRTFTextPara>(*doc).first();
        QStringList got;
        for (const TxParaLine &l : para->lines()) {
            QString t;
            for (const TxLineItem &item : l.items)
                t += item.text;
            got << t;
        }
        QCOMPARE(got, lines);
    }

    void alignmentAndIndents_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("firstX");  // of the first item, from the container's left
        QTest::newRow("left") << QByteArray("\\ql") << 0;
        QTest::newRow("right") << QByteArray("\\qr") << 1460 - 4 * 144;
        QTest::newRow("centre") << QByteArray("\\qc") << (1460 - 4 * 144) / 2;
        QTest::newRow("justified as left") << QByteArray("\\qj") << 0;
        QTest::newRow("left indent") << QByteArray("\\li300") << 300;
        QTest::newRow("first line indent") << QByteArray("\\li300\\fi-200") << 100;
    }
    void alignmentAndIndents()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, firstX);
        auto doc = readRtf("{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\paperw1460\\margl0\\margr0\\pard" + format
                           + "\\f0\\fs24 abcd\\par}");
        TxRTFMeasureDevice device(1440);
        doc->SetDevice(&device);
        QVERIFY(doc->Paginate());
        const auto para = all<TxRTFTextPara>(*doc).first();
        const TxParaLine &l = para->lines().first();
        const int li = doc->toDeviceX(para->paraFormat().leftIndent);
        QVERIFY(qAbs(li + l.shift + l.items.first().x - firstX) <= 1);
    }

    void lineSpacing_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("height");  // -1: the font's own height
        QTest::newRow("single") << QByteArray("") << -1;
        QTest::newRow("exactly") << QByteArray("\\sl-500") << 500;
        QTest::newRow("at least, more") << QByteArray("\\sl900") << 900;
        QTest::newRow("auto 1000") << QByteArray("\\sl1000") << -1;
        QTest::newRow("space before and after") << QByteArray("\\sl-500\\sb100\\sa200") << 800;
    }
    void lineSpacing()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, height);
        auto doc = readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard" + format + "\\f0\\fs24 abc\\par}");
        TxRTFMeasureDevice device(1440);
        doc->SetDevice(&device);
        QVERIFY(doc->Paginate());
        const int natural = int(std::ceil(doc->metrics(all<TxRTFChars>(*doc).first()->font()).height()));
        QCOMPARE(doc->lineHeight(0), height < 0 ? natural : height);
    }

    void pagesAndBreaks()
    {
        auto doc = readRtf("{\\rtf1 one\\page two\\par\\pard\\pagebb three\\par\\pard four\\par}");
        QVERIFY(doc->Paginate());
        QCOMPARE(doc->PageCount(), 3);
        QCOMPARE(doc->pages()[1].firstLine, 1);
        QCOMPARE(doc->pages()[2].firstLine, 2);
        QCOMPARE(doc->pages()[2].lastLine, 3);
        // A line taller than the page keeps a page of its own.
        auto tall = readRtf("{\\rtf1 a\\par\\pard\\sl-20000 b\\par\\pard c\\par}");
        QVERIFY(tall->Paginate());
        QCOMPARE(tall->PageCount(), 3);
    }

    void fieldsAtLayout()
    {
        auto doc = readRtf("{\\rtf1 {\\field{\\*\\fldinst SEQ Table}{\\fldrslt 9}} {\\field{\\*\\fldinst SEQ Figure}}"
                           " {\\field{\\*\\fldinst seq table \\* ARABIC}} {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}"
                           " {\\field{\\*\\fldinst NUMPAGES}} {\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}}"
                           " {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}"
                           " {\\field{\\*\\fldinst DATE \\\\@ \"d MMMM yyyy\"}{\\fldrslt old date}}\\page b\\par}");
        QVERIFY(doc->Paginate());
        const auto fields = all<TxRTFField>(*doc);
        QCOMPARE(fields[0]->seqNumber, 1);
        QCOMPARE(fields[1]->seqNumber, 1);
        QCOMPARE(fields[2]->seqNumber, 2);
        doc->currentPage = 2;
        QCOMPARE(doc->computedFieldText(*fields[3]), QStringLiteral("2"));
        QCOMPARE(doc->computedFieldText(*fields[4]), QStringLiteral("2"));
        TxFontRec symbolFont;
        QCOMPARE(doc->computedFieldText(*fields[5], &symbolFont), QString(QChar(183)));
        QCOMPARE(symbolFont.faceName, QStringLiteral("Symbol"));
        QCOMPARE(symbolFont.height, -200);
        QVERIFY(doc->computedFieldText(*fields[6]).isNull());
        // A computed result is one piece on its line, redrawn whole: a date
        // with blanks in it is not split into words drawn over each other.
        doc->stamp = QDateTime(QDate(2024, 3, 1), QTime(9, 30));
        QVERIFY(doc->computedFieldText(*fields[7]).contains(QLatin1Char(' ')));
        int datePieces = 0;
        for (const TxParaLine &l : all<TxRTFTextPara>(*doc).first()->lines())
            for (const TxLineItem &item : l.items)
                datePieces += item.element == fields[7];
        QCOMPARE(datePieces, 1);
        // Numbers stay with their fields when the layout is redone.
        doc->setZoom(2.0);
        QVERIFY(doc->Paginate());
        QCOMPARE(fields[2]->seqNumber, 2);
    }

    void changesInvalidateUpwards()
    {
        auto doc = readRtf(table(2, false));
        TxRTFMeasureDevice device(1440);
        doc->SetDevice(&device);
        QVERIFY(doc->Paginate());
        const auto rows = all<TxRTFTableRow>(*doc);
        auto row = const_cast<TxRTFTableRow *>(rows[1]);
        const int before = row->lineHeight(0);
        QVERIFY(row->isLaidOut());
        auto run = const_cast<TxRTFChars *>(all<TxRTFChars>(*row).first());
        run->setChars(QString(300, QLatin1Char('x')));
        QVERIFY(!row->isLaidOut());
        QVERIFY(!doc->isLaidOut());
        QVERIFY(rows[0]->isLaidOut());  // a sibling keeps its cached layout
        QVERIFY(doc->Paginate());
        QVERIFY(row->lineHeight(0) > before);
        // A new device resolution lays everything out again.
        TxRTFMeasureDevice coarse(72);
        doc->SetDevice(&coarse);
        QVERIFY(!rows[0]->isLaidOut());
    }

    void libreOfficePagesMatch()
    {
        // Page counts as LibreOffice itself lays these files out.
        TxRTFMeasureDevice device(600);
        for (const char *name : {"contract.rtf", "template.rtf", "letter.rtf"}) {
            TxRTFFile doc;
            QVERIFY(doc.LoadFromFile(dataFile(name)));
            doc.SetDevice(&device);
            QVERIFY(doc.Paginate());
            QCOMPARE(doc.PageCount(), 1);
        }
    }
};

// ---------------------------------------------------------------------------
class RTFProgressTest : public QObject
{
    Q_OBJECT

    class Counting : public TRTFProgress
    {
    public:
        int shown = 0, hidden = 0, positions = 0;

    protected:
        void showWindow(const QString &, bool) override { ++shown; }
        void hideWindow() override { ++hidden; }
        void showPosition(qint64, qint64, const QString &) override { ++positions; }
    };

private Q_SLOTS:
    void nestingAndCancel()
    {
        Counting p;
        p.begin(QStringLiteral("a"), QString(), 100, QStringLiteral("Stop?"));
        p.begin(QStringLiteral("b"), QString(), 10, QString());
        QCOMPARE(p.shown, 1);
        QVERIFY(p.canCancel());  // nested begins only count
        p.cancel();
        p.end();
        // The inner end keeps the user's stop for the outer loop.
        QVERIFY(p.cancelled());
        QCOMPARE(p.hidden, 0);
        p.end();
        QVERIFY(!p.cancelled());
        QCOMPARE(p.hidden, 1);
        try {
            p.end();
            QFAIL("no error");
        } catch (const ExRTF &e) {
            QCOMPARE(e.message(), QStringLiteral("wrong command"));
        }
    }

    void positionAppliedEveryTwentieth()
    {
        Counting p;
        p.begin(QString(), QString(), 100, QString());
        for (int i = 1; i <= 100; ++i)
            p.setPosition(i);
        p.end();
        QCOMPARE(p.positions, 1 + 20);  // begin's own, then 1, 6, 11, ... 96
    }

    void windowStopButton()
    {
        TRTFProgressWindow window;
        window.begin(QStringLiteral("Идет чтение RTF файла."), QStringLiteral("Подождите немного..."), 10,
                     QStringLiteral("Прервать чтение файла?"));
        QVERIFY(window.isVisible());
        QVERIFY(window.stopButton()->isEnabled());
        QCOMPARE(window.progressText(), QStringLiteral("Подождите немного..."));
        // Answer the question with Yes as soon as it shows.
        QTimer::singleShot(0, [] {
            auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box)
                box->button(QMessageBox::Yes)->click();
        });
        window.stopButton()->click();
        QVERIFY(window.cancelled());
        window.end();
        QVERIFY(!window.isVisible());
        QVERIFY(!window.cancelled());

        window.begin(QStringLiteral("x"), QString(), 10, QStringLiteral("  "));
        QVERIFY(!window.stopButton()->isEnabled());
        window.end();
    }
};

#include "tst_documents.moc"

KORVEX_TEST_CLASS(RTFReaderTest)
KORVEX_TEST_CLASS(RTFWriterTest)
KORVEX_TEST_CLASS(RTFLayoutTest)
KORVEX_TEST_CLASS(RTFProgressTest)
