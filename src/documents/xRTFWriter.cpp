#include "xRTFWriter.h"

#include "xRTF.h"
#include "xRTFCodePage.h"
#include "xRTFMessages.h"
#include "xSafeFile.h"

#include <QCoreApplication>
#include <cstring>

namespace korvex::documents {

namespace {
const QString kWriteFailed = QStringLiteral("Failed to write data to RTF file.");
}

TxRTFWriter::TxRTFWriter(const QString &fileName)
{
    if (fileName.isEmpty())
        throw ExRTFWriter(QStringLiteral("File '%1' could not be created").arg(fileName));
    for (;;) {
        m_file = std::make_unique<TxSafeFile>(fileName);
        if (m_file->open(QIODevice::WriteOnly))
            break;
        if (m_file->targetRefused())
            throw ExRTFWriter(m_file->errorString());
        m_file.reset();
        if (!TxRTFMessages::shared().retry(
                QCoreApplication::translate("TxRTFFile", "Невозможно создать файл '%1'").arg(fileName)))
            return;
    }
    m_device = m_file.get();
    groupStart();
    word("rtf", 1);
}

TxRTFWriter::TxRTFWriter(QIODevice *device)
    : m_device(device)
{
    groupStart();
    word("rtf", 1);
}

TxRTFWriter::~TxRTFWriter()
{
    // Not finished: an exception is under way; the half-written file is dropped.
    if (m_file && !m_finished)
        m_file->cancelWriting();
}

void TxRTFWriter::flush()
{
    if (m_used == 0 || !m_device)
        return;
    if (m_device->write(m_buffer, m_used) != m_used)
        throw ExRTFWriter(QStringLiteral("%1 %2").arg(kWriteFailed, m_device->errorString()).trimmed());
    m_used = 0;
}

void TxRTFWriter::raw(const char *bytes, int length)
{
    for (int i = 0; i < length; ++i)
        put(bytes[i]);
}

void TxRTFWriter::raw(const char *bytes)
{
    raw(bytes, int(std::strlen(bytes)));
}

void TxRTFWriter::word(const char *w)
{
    put('\\');
    raw(w);
    put(' ');
}

void TxRTFWriter::word(const char *w, int number)
{
    put('\\');
    raw(w);
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%d", number);
    raw(digits, n);
    put(' ');
}

void TxRTFWriter::text(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            put('\\');
            put(char(u));
            continue;
        }
        char b;
        if (encodeCp1251(c, b)) {
            put(b);
        } else {
            // Not in the file's code page: Unicode with "?" for readers without it.
            char buf[24];
            const int n = std::snprintf(buf, sizeof buf, "\\u%d?", int(qint16(u)));
            raw(buf, n);
        }
    }
}

void TxRTFWriter::charFormat(const TxRTFFile *document, const TxFontRec &font)
{
    // An empty face or zero height is the reader's own default: left unwritten
    // so that it reads back the same.
    if (!font.faceName.isEmpty())
        word("f", document ? document->fontNumber(font.faceName) : 0);
    if (font.height != 0)
        word("fs", qAbs(font.height) / 10);
    word("ul", font.underline ? 1 : 0);
    if (font.weight != 400)
        word("b");
    if (font.italic)
        word("i");
    if (font.strikeOut)
        word("strike");
}

void TxRTFWriter::finish()
{
    if (m_finished || !m_device)
        return;
    groupEnd();
    flush();
    m_finished = true;
    if (m_file && !m_file->commit())
        throw ExRTFWriter(QStringLiteral("%1 %2").arg(kWriteFailed, m_file->errorString()));
}

// ---------------------------------------------------------------------------
// Elements

void TxRTFBasic::write(TxRTFWriter &) const
{
}

void TxRTFChars::write(TxRTFWriter &w) const
{
    w.groupStart();
    w.charFormat(document(), m_font);
    w.text(m_text);
    w.groupEnd();
}

void TxRTFTabChar::write(TxRTFWriter &w) const
{
    // In its own format, like a run: the tab's width on the line depends on it.
    w.groupStart();
    w.charFormat(document(), m_font);
    w.word("tab");
    w.groupEnd();
}

void TxRTFPicture::write(TxRTFWriter &w) const
{
    // Written back with its data (a logo is never silently dropped), in a
    // group that carries its character format.
    w.groupStart();
    w.charFormat(document(), m_font);
    w.groupStart();
    w.word("pict");
    switch (m_kind) {
    case WindowsMetafile: w.word("wmetafile", m_mappingMode); break;
    case EnhancedMetafile: w.word("emfblip"); break;
    case Png: w.word("pngblip"); break;
    case Jpeg: w.word("jpegblip"); break;
    }
    w.word("picw", picW);
    w.word("pich", picH);
    w.word("picwgoal", goalW);
    w.word("pichgoal", goalH);
    w.word("picscalex", scaleX);
    w.word("picscaley", scaleY);
    if (cropT)
        w.word("piccropt", cropT);
    if (cropB)
        w.word("piccropb", cropB);
    if (cropL)
        w.word("piccropl", cropL);
    if (cropR)
        w.word("piccropr", cropR);
    static const char hex[] = "0123456789abcdef";
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_data.constData());
    for (qsizetype i = 0; i < m_data.size(); ++i) {
        if (i % 64 == 0)
            w.newLine();
        const char pair[2] = {hex[bytes[i] >> 4], hex[bytes[i] & 15]};
        w.raw(pair, 2);
    }
    w.groupEnd();
    w.groupEnd();
}

void TxRTFGroup::write(TxRTFWriter &w) const
{
    for (const auto &c : m_items)
        c->write(w);
}

void TxRTFField::write(TxRTFWriter &w) const
{
    if (isDataField) {
        TxRTFGroup::write(w);
        return;
    }
    // The result is left to the reading word processor to compute.
    w.groupStart();
    w.word("field");
    w.word("flddirty");
    if (edited)
        w.word("fldedit");
    if (locked)
        w.word("fldlock");
    if (isPrivate)
        w.word("fldpriv");
    w.charFormat(document(), m_font);
    w.groupStart();
    w.raw("\\*");
    w.word("fldinst");
    w.text(instruction);
    w.groupEnd();
    w.groupStart();
    w.raw("\\*");
    w.word("fldrslt");
    w.groupEnd();
    w.groupEnd();
}

void TxRTFTextPara::write(TxRTFWriter &w) const
{
    const TxParaFormat &p = m_pf;
    w.word("pard");
    if (inCell())
        w.word("intbl");
    static const char *const align[] = {"ql", "qr", "qc", "qj"};
    w.word(align[qBound(0, p.alignment, 3)]);
    w.word("fi", p.firstIndent);
    w.word("li", p.leftIndent);
    w.word("ri", p.rightIndent);
    w.word("sa", p.spaceAfter);
    w.word("sb", p.spaceBefore);
    w.word("sl", p.lineSpacing);
    w.word("slmult", p.multiSpacing ? 1 : 0);
    if (p.keep)
        w.word("keep");
    if (p.keepNext)
        w.word("keepn");
    if (p.pageBreakBefore)
        w.word("pagebb");
    if (p.sideBySide)
        w.word("sbys");
    if (p.hyphenate)
        w.word("hyphpar");
    if (p.style)
        w.word("s", p.style);
    if (p.outlineLevel)
        w.word("level", p.outlineLevel);
    if (p.shading)
        w.word("shading", p.shading);
    if (p.patternBackground >= 0)
        w.word("cbpat", p.patternBackground);
    if (p.patternForeground >= 0)
        w.word("cfpat", p.patternForeground);
    for (int t : p.tabStops)
        w.word("tx", t);
    TxRTFGroup::write(w);
    if (isLastInCell())
        return;  // the cell's \cell ends it
    // The paragraph mark carries the paragraph's own character format.
    w.groupStart();
    w.charFormat(document(), m_font);
    w.word(p.pageBreak ? "page" : "par");
    w.groupEnd();
    w.newLine();
}

void TxRTFCell::write(TxRTFWriter &w) const
{
    w.groupStart();
    TxRTFGroup::write(w);
    if (auto lastPara = dynamic_cast<const TxRTFTextPara *>(last()))
        w.charFormat(document(), lastPara->font());
    w.word("cell");
    w.groupEnd();
}

void TxRTFTableRow::write(TxRTFWriter &w) const
{
    w.groupStart();
    w.word("trowd");
    w.word("trgaph", m_def.gap);
    w.word("trleft", m_def.left);
    if (m_def.header)
        w.word("trhdr");
    for (const TxCellDef &c : m_def.cells) {
        const std::pair<const char *, int> borders[] = {
            {"clbrdrl", c.borderLeft}, {"clbrdrr", c.borderRight}, {"clbrdrt", c.borderTop}, {"clbrdrb", c.borderBottom}};
        for (const auto &[name, width] : borders) {
            if (width) {
                w.word(name);
                w.word("brdrs");
                w.word("brdrw", width);
            }
        }
        if (c.patternBackground >= 0)
            w.word("clcbpat", c.patternBackground);
        if (c.patternForeground >= 0)
            w.word("clcfpat", c.patternForeground);
        if (c.shading)
            w.word("clshdng", c.shading);
        w.word("cellx", c.right);
    }
    w.newLine();
    TxRTFGroup::write(w);
    w.word("row");
    w.groupEnd();
    w.newLine();
}

void TxRTFFile::WritePrologue(TxRTFWriter &w) const
{
    w.word("ansi");
    // The text is written in Windows-1251: said so for every reader, with
    // the fonts' character set too (symbol fonts keep theirs).
    w.word("ansicpg", 1251);
    w.word("deff", defaultFont);
    w.groupStart();
    w.word("fonttbl");
    for (const TxRTFFont &f : fonts) {
        w.groupStart();
        w.word("f", f.number);
        w.word("fnil");
        w.word("fcharset", f.charset == 2 ? 2 : 204);
        w.text(f.name);
        w.raw(";");
        w.groupEnd();
    }
    w.groupEnd();
    w.newLine();
    w.groupStart();
    w.word("colortbl");
    for (QRgb c : colors) {
        w.word("red", qRed(c));
        w.word("green", qGreen(c));
        w.word("blue", qBlue(c));
        w.raw(";");
    }
    w.groupEnd();
    w.newLine();
    w.word("paperw", page.paperWidth);
    w.word("paperh", page.paperHeight);
    w.word("margl", page.marginLeft);
    w.word("margr", page.marginRight);
    w.word("margt", page.marginTop);
    w.word("margb", page.marginBottom);
    if (page.landscape)
        w.word("landscape");
    w.word("sectd");
    if (page.pageStart != 1)
        w.word("pgnstart", page.pageStart);
    w.word("headery", page.headerY);
    w.word("footery", page.footerY);
    w.newLine();
    if (m_header) {
        w.groupStart();
        w.word("header");
        m_header->write(w);
        w.groupEnd();
        w.newLine();
    }
    if (m_footer) {
        w.groupStart();
        w.word("footer");
        m_footer->write(w);
        w.groupEnd();
        w.newLine();
    }
}

void TxRTFFile::writeTo(QIODevice &device) const
{
    TxRTFWriter writer(&device);
    WritePrologue(writer);
    write(writer);
    writer.finish();
}

bool TxRTFFile::SaveToFile(const QString &fileName) const
{
    TxRTFWriter writer(fileName);
    if (!writer.isOpen())
        return false;
    WritePrologue(writer);
    write(writer);
    writer.finish();
    return true;
}

} // namespace korvex::documents
