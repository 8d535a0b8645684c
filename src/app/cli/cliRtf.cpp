// korvex-rent-cli rtf: reading, copying and inspecting RTF documents with the
// program's own document model.

#include "cliCommon.h"

#include "documents/xRTF.h"

#include <stdexcept>

namespace korvex::cli {

using namespace korvex::documents;

namespace {

void load(TxRTFFile &doc, const QString &fileName)
{
    // Messages go to standard error; an abandoned open is a failure here.
    if (!doc.LoadFromFile(fileName))
        throw std::runtime_error(QStringLiteral("File '%1' could not be opened").arg(fileName).toStdString());
}

struct Counts {
    int paragraphs = 0;
    int rows = 0;
    int fields = 0;
    int pictures = 0;
};

void count(const TxRTFBasic &e, Counts &c)
{
    if (dynamic_cast<const TxRTFTextPara *>(&e))
        ++c.paragraphs;
    else if (dynamic_cast<const TxRTFTableRow *>(&e))
        ++c.rows;
    else if (dynamic_cast<const TxRTFField *>(&e))
        ++c.fields;
    else if (dynamic_cast<const TxRTFPicture *>(&e))
        ++c.pictures;
    e.forEachChild([&c](const TxRTFBasic &child) { count(child, c); });
}

int rtfText(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli rtf text FILE");
    TxRTFFile doc;
    load(doc, a.positional.first());
    out(doc.text());
    return 0;
}

int rtfCopy(const Args &a)
{
    if (a.positional.size() != 2)
        throw std::invalid_argument("Usage: korvex-rent-cli rtf copy IN OUT");
    TxRTFFile doc;
    load(doc, a.positional.at(0));
    if (!doc.SaveToFile(a.positional.at(1)))
        throw std::runtime_error(
            QStringLiteral("File '%1' could not be created").arg(a.positional.at(1)).toStdString());
    return 0;
}

int rtfInfo(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli rtf info FILE");
    TxRTFFile doc;
    load(doc, a.positional.first());
    Counts c;
    count(doc, c);
    TxRTFMeasureDevice device(600, doc.page.paperWidth, doc.page.paperHeight);
    doc.SetDevice(&device);
    doc.Paginate();
    outLine(QStringLiteral("paragraphs: %1").arg(c.paragraphs));
    outLine(QStringLiteral("table rows: %1").arg(c.rows));
    outLine(QStringLiteral("fields: %1").arg(c.fields));
    outLine(QStringLiteral("pictures: %1").arg(c.pictures));
    outLine(QStringLiteral("pages: %1").arg(doc.PageCount()));
    return 0;
}

} // namespace

Command rtfCommand()
{
    return {QStringLiteral("rtf"),
            QStringLiteral("  rtf text FILE             print the document's text: paragraphs on their own\n"
                           "                            lines, cells separated by a tab, a row per line\n"
                           "  rtf copy IN OUT           read a document and write it again\n"
                           "  rtf info FILE             count paragraphs, table rows, fields and pictures,\n"
                           "                            and the pages laid out on a 600-dpi printer"),
            [](const QStringList &args) -> int {
                if (args.isEmpty())
                    throw std::invalid_argument("Usage: korvex-rent-cli rtf text|copy|info ...");
                const QString sub = args.first();
                const Args a = parseArgs(args.mid(1), {}, {});
                if (sub == QLatin1String("text"))
                    return rtfText(a);
                if (sub == QLatin1String("copy"))
                    return rtfCopy(a);
                if (sub == QLatin1String("info"))
                    return rtfInfo(a);
                throw std::invalid_argument(QStringLiteral("Unknown rtf command '%1'.").arg(sub).toStdString());
            },
            true};
}

} // namespace korvex::cli
