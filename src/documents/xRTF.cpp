#include "xRTF.h"

#include <QBuffer>
#include <QImage>

namespace korvex::documents {

size_t qHash(const TxFontRec &f, size_t seed)
{
    return qHashMulti(seed, f.height, f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline,
                      f.strikeOut, f.charSet, f.pitchAndFamily, f.faceName);
}

// ---------------------------------------------------------------------------
// TxRTFBasic

TxRTFBasic::~TxRTFBasic() = default;

TxRTFFile *TxRTFBasic::document() const
{
    const TxRTFBasic *e = this;
    while (e->m_parent)
        e = e->m_parent;
    return dynamic_cast<TxRTFFile *>(const_cast<TxRTFBasic *>(e));
}

void TxRTFBasic::assign(const TxRTFBasic &source)
{
    m_font = source.m_font;
    invalidate();
}

std::unique_ptr<TxRTFBasic> TxRTFBasic::clone() const
{
    auto copy = createRTFElement(className());
    copy->assign(*this);
    return copy;
}

void TxRTFBasic::setFont(const TxFontRec &font)
{
    m_font = font;
    invalidate();
}

void TxRTFBasic::invalidate()
{
    if (m_parent)
        m_parent->invalidate();
}

qint64 TxRTFBasic::memorySize() const
{
    return qint64(sizeof(TxRTFBasic)) + m_font.faceName.size() * 2;
}

int TxRTFBasic::objectCount() const
{
    int n = 1;
    forEachChild([&n](const TxRTFBasic &c) { n += c.objectCount(); });
    return n;
}

void TxRTFBasic::dumpHead(QString &out, int depth) const
{
    out += QString(depth * 2, QLatin1Char(' '));
    out += className();
    const TxFontRec &f = m_font;
    out += QStringLiteral(" font(%1,%2,%3%4%5%6,%7)")
               .arg(f.height)
               .arg(f.weight)
               .arg(f.italic ? QStringLiteral("i") : QString())
               .arg(f.underline ? QStringLiteral("u") : QString())
               .arg(f.strikeOut ? QStringLiteral("s") : QString())
               .arg(f.charSet)
               .arg(f.faceName);
}

void TxRTFBasic::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QLatin1Char('\n');
}

// ---------------------------------------------------------------------------
// Runs and pictures

void TxRTFChars::assign(const TxRTFBasic &source)
{
    if (auto s = dynamic_cast<const TxRTFChars *>(&source))
        m_text = s->m_text;
    TxRTFBasic::assign(source);
}

void TxRTFChars::setChars(const QString &text)
{
    m_text = text;
    invalidate();
}

void TxRTFChars::appendChars(const QString &text)
{
    m_text += text;
    invalidate();
}

qint64 TxRTFChars::memorySize() const
{
    return TxRTFBasic::memorySize() + qint64(sizeof(QString)) + m_text.size() * 2;
}

void TxRTFChars::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QStringLiteral(" \"%1\"\n").arg(m_text);
}

void TxRTFPicture::assign(const TxRTFBasic &source)
{
    if (auto s = dynamic_cast<const TxRTFPicture *>(&source)) {
        m_kind = s->m_kind;
        m_data = s->m_data;
        m_mappingMode = s->m_mappingMode;
        picW = s->picW;
        picH = s->picH;
        goalW = s->goalW;
        goalH = s->goalH;
        scaleX = s->scaleX;
        scaleY = s->scaleY;
        cropT = s->cropT;
        cropB = s->cropB;
        cropL = s->cropL;
        cropR = s->cropR;
    }
    TxRTFBasic::assign(source);
}

void TxRTFPicture::setData(Kind kind, const QByteArray &data, int mappingMode)
{
    m_kind = kind;
    m_data = data;
    m_mappingMode = mappingMode;
    invalidate();
}

int TxRTFPicture::naturalWidth() const
{
    if (goalW > 0)
        return goalW;
    if (m_kind == Png || m_kind == Jpeg)
        return int(qMin<qint64>(qint64(picW) * 15, 1 << 24));  // pixels at 96 dpi
    return int(qint64(picW) * 1440 / 2540);  // 0.01 mm
}

int TxRTFPicture::naturalHeight() const
{
    if (goalH > 0)
        return goalH;
    if (m_kind == Png || m_kind == Jpeg)
        return int(qMin<qint64>(qint64(picH) * 15, 1 << 24));
    return int(qint64(picH) * 1440 / 2540);
}

qint64 TxRTFPicture::memorySize() const
{
    return TxRTFBasic::memorySize() + m_data.size();
}

void TxRTFPicture::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QStringLiteral(" kind=%1 mm=%2 pic=%3x%4 goal=%5x%6 scale=%7x%8 crop=%9,%10,%11,%12 bytes=%13 sum=%14\n")
               .arg(int(m_kind))
               .arg(m_mappingMode)
               .arg(picW)
               .arg(picH)
               .arg(goalW)
               .arg(goalH)
               .arg(scaleX)
               .arg(scaleY)
               .arg(cropT)
               .arg(cropB)
               .arg(cropL)
               .arg(cropR)
               .arg(m_data.size())
               .arg(qChecksum(m_data));
}

void TxRTFBitmap::setImage(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    m_kind = Png;
    m_data = png;
    picW = image.width();
    picH = image.height();
    goalW = picW * 15;
    goalH = picH * 15;
    scaleX = scaleY = 100;
    invalidate();
}

// ---------------------------------------------------------------------------
// Groups

TxRTFGroup::~TxRTFGroup() = default;

void TxRTFGroup::assign(const TxRTFBasic &source)
{
    clear();
    if (auto s = dynamic_cast<const TxRTFGroup *>(&source)) {
        const bool unwrap = TxRTFFile::copyDataFieldsAsText();
        for (const auto &child : s->m_items) {
            auto field = dynamic_cast<const TxRTFField *>(child.get());
            std::unique_ptr<TxRTFBasic> copy;
            if (unwrap && field && field->isDataField) {
                auto text = std::make_unique<TxRTFText>();
                text->TxRTFGroup::assign(*child);  // the runs and format, without the field
                copy = std::move(text);
            } else {
                copy = createRTFElement(child->className());
                copy->assign(*child);
            }
            append(std::move(copy));
        }
    }
    TxRTFBasic::assign(source);
}

void TxRTFGroup::forEachChild(const std::function<void(const TxRTFBasic &)> &f) const
{
    for (const auto &c : m_items)
        f(*c);
}

QString TxRTFGroup::text() const
{
    QString t;
    for (const auto &c : m_items)
        t += c->text();
    return t;
}

int TxRTFGroup::indexOf(const TxRTFBasic *element) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == element)
            return int(i);
    return -1;
}

TxRTFBasic *TxRTFGroup::append(std::unique_ptr<TxRTFBasic> element)
{
    return insert(count(), std::move(element));
}

TxRTFBasic *TxRTFGroup::insert(int index, std::unique_ptr<TxRTFBasic> element)
{
    TxRTFBasic *e = element.get();
    e->m_parent = this;
    m_items.insert(m_items.begin() + index, std::move(element));
    invalidate();
    return e;
}

std::unique_ptr<TxRTFBasic> TxRTFGroup::take(int index)
{
    std::unique_ptr<TxRTFBasic> e = std::move(m_items[size_t(index)]);
    m_items.erase(m_items.begin() + index);
    e->m_parent = nullptr;
    invalidate();
    return e;
}

void TxRTFGroup::clear()
{
    m_items.clear();
    invalidate();
}

TxRTFBasic *TxRTFGroup::add(const QString &className)
{
    return append(createRTFElement(className));
}

qint64 TxRTFGroup::memorySize() const
{
    qint64 n = TxRTFBasic::memorySize() + qint64(m_items.capacity() * sizeof(void *));
    for (const auto &c : m_items)
        n += c->memorySize();
    return n;
}

void TxRTFGroup::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QLatin1Char('\n');
    for (const auto &c : m_items)
        c->dump(out, depth + 1);
}

// ---------------------------------------------------------------------------
// Fields

void TxRTFField::assign(const TxRTFBasic &source)
{
    if (auto s = dynamic_cast<const TxRTFField *>(&source)) {
        instruction = s->instruction;
        result = s->result;
        dirty = s->dirty;
        edited = s->edited;
        locked = s->locked;
        isPrivate = s->isPrivate;
        alternate = s->alternate;
        isDataField = s->isDataField;
        dataRec = s->dataRec;
        isFormField = s->isFormField;
        formFieldType = s->formFieldType;
        formFieldTypeText = s->formFieldTypeText;
        ffName = s->ffName;
        ffDefText = s->ffDefText;
        seqNumber = s->seqNumber;
    }
    TxRTFText::assign(source);
}

void TxRTFField::setResultText(const QString &text)
{
    clear();
    result = text;
    if (!text.isEmpty()) {
        auto run = addNew<TxRTFChars>();
        run->setFont(m_font);
        run->setChars(text);
    }
}

QString TxRTFField::fieldType() const
{
    QString word;
    const QString s = instruction.trimmed();
    for (QChar c : s) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_')))
            break;
        word += c;
    }
    return word.toUpper();
}

void TxRTFField::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QStringLiteral(" inst=\"%1\" flags=%2%3%4%5%6 data=%7(%8|%9|%10|%11) form=%12(%13,%14,\"%15\",\"%16\")\n")
               .arg(instruction)
               .arg(dirty)
               .arg(edited)
               .arg(locked)
               .arg(isPrivate)
               .arg(alternate)
               .arg(isDataField)
               .arg(QString::fromLatin1(dataRec.header.toHex()), dataRec.name)
               .arg(dataRec.flag)
               .arg(dataRec.defaultText)
               .arg(isFormField)
               .arg(formFieldType)
               .arg(formFieldTypeText)
               .arg(ffName, ffDefText);
    for (const auto &c : m_items)
        c->dump(out, depth + 1);
}

// ---------------------------------------------------------------------------
// Paragraph-level elements

void TxRTFPara::assign(const TxRTFBasic &source)
{
    if (auto s = dynamic_cast<const TxRTFPara *>(&source))
        m_pf = s->m_pf;
    TxRTFGroup::assign(source);
}

void TxRTFPara::invalidate()
{
    if (!m_laidOut && m_layoutWidth < 0) {
        // Already stale: the parents were told when it became so.
        return;
    }
    m_laidOut = false;
    m_layoutWidth = -1;
    TxRTFGroup::invalidate();
}

void TxRTFPara::setParaFormat(const TxParaFormat &pf)
{
    m_pf = pf;
    invalidate();
}

int TxRTFPara::totalHeight() const
{
    qint64 h = 0;
    for (int i = 0, n = lineCount(); i < n; ++i)
        h += lineHeight(i);
    return int(qMin<qint64>(h, INT_MAX / 4));
}

void TxRTFTextPara::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    const TxParaFormat &p = m_pf;
    QStringList tabs;
    for (int t : p.tabStops)
        tabs << QString::number(t);
    out += QStringLiteral(" pf(%1,%2,%3,%4,%5,%6,%7,s%8,%9%10%11,lvl%12,%13%14,q%15,sh%16,cf%17,cb%18,tabs[%19],pg%20)\n")
               .arg(p.firstIndent)
               .arg(p.leftIndent)
               .arg(p.rightIndent)
               .arg(p.spaceBefore)
               .arg(p.spaceAfter)
               .arg(p.lineSpacing)
               .arg(p.multiSpacing)
               .arg(p.style)
               .arg(p.hyphenate)
               .arg(p.keep)
               .arg(p.keepNext)
               .arg(p.outlineLevel)
               .arg(p.pageBreakBefore)
               .arg(p.sideBySide)
               .arg(p.alignment)
               .arg(p.shading)
               .arg(p.patternForeground)
               .arg(p.patternBackground)
               .arg(tabs.join(QLatin1Char(',')))
               .arg(p.pageBreak);
    for (const auto &c : m_items)
        c->dump(out, depth + 1);
}

bool TxRTFTextPara::inCell() const
{
    return dynamic_cast<const TxRTFCell *>(m_parent) != nullptr;
}

bool TxRTFTextPara::isLastInCell() const
{
    return inCell() && m_parent->last() == this;
}

void TxRTFTableRow::assign(const TxRTFBasic &source)
{
    if (auto s = dynamic_cast<const TxRTFTableRow *>(&source))
        m_def = s->m_def;
    TxRTFPara::assign(source);
}

void TxRTFTableRow::setRowDef(const TxRowDef &def)
{
    m_def = def;
    invalidate();
}

void TxRTFTableRow::setHeader(bool header)
{
    m_def.header = header;
    invalidate();
}

TxRTFCell *TxRTFTableRow::cell(int index) const
{
    return index < count() ? dynamic_cast<TxRTFCell *>(at(index)) : nullptr;
}

QString TxRTFTableRow::text() const
{
    QStringList cells;
    for (const auto &c : m_items)
        cells << c->text();
    return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

void TxRTFTableRow::dump(QString &out, int depth) const
{
    dumpHead(out, depth);
    out += QStringLiteral(" row(gap%1,left%2,hdr%3)").arg(m_def.gap).arg(m_def.left).arg(m_def.header);
    for (const TxCellDef &c : m_def.cells)
        out += QStringLiteral(" [%1 sh%2 b%3,%4,%5,%6 cb%7 cf%8]")
                   .arg(c.right)
                   .arg(c.shading)
                   .arg(c.borderLeft)
                   .arg(c.borderTop)
                   .arg(c.borderRight)
                   .arg(c.borderBottom)
                   .arg(c.patternBackground)
                   .arg(c.patternForeground);
    out += QLatin1Char('\n');
    for (const auto &c : m_items)
        c->dump(out, depth + 1);
}

QString TxRTFBlock::text() const
{
    // Paragraphs on their own lines; a row's text ends with its own newline and
    // a cell's paragraphs are joined with a blank so the row stays one line.
    const bool cell = dynamic_cast<const TxRTFCell *>(this) != nullptr;
    QString t;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const TxRTFBasic *c = m_items[i].get();
        t += c->text();
        if (dynamic_cast<const TxRTFTextPara *>(c)) {
            if (cell) {
                if (i + 1 < m_items.size())
                    t += QLatin1Char(' ');
            } else {
                t += QLatin1Char('\n');
            }
        }
    }
    return t;
}

QList<TxRTFField *> TxRTFBlock::dataFields() const
{
    QList<TxRTFField *> fields;
    std::function<void(const TxRTFBasic &)> walk = [&](const TxRTFBasic &e) {
        if (auto f = dynamic_cast<const TxRTFField *>(&e); f && f->isDataField)
            fields << const_cast<TxRTFField *>(f);
        e.forEachChild(walk);
    };
    forEachChild(walk);
    return fields;
}

// ---------------------------------------------------------------------------
// Factory

std::unique_ptr<TxRTFBasic> createRTFElement(const QString &className)
{
    // Without a lower-cased copy: every element of a copied band passes here.
    const auto is = [&className](const char *name) {
        return className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("txrtfchars"))
        return std::make_unique<TxRTFChars>();
    if (is("txrtftextpara"))
        return std::make_unique<TxRTFTextPara>();
    if (is("txrtftablerow"))
        return std::make_unique<TxRTFTableRow>();
    if (is("txrtfcell"))
        return std::make_unique<TxRTFCell>();
    if (is("txrtftabchar"))
        return std::make_unique<TxRTFTabChar>();
    if (is("txrtffield"))
        return std::make_unique<TxRTFField>();
    if (is("txrtftext"))
        return std::make_unique<TxRTFText>();
    if (is("txrtfblock"))
        return std::make_unique<TxRTFBlock>();
    if (is("txrtfpara"))
        return std::make_unique<TxRTFPara>();
    if (is("txrtfgroup"))
        return std::make_unique<TxRTFGroup>();
    if (is("txrtfpicture"))
        return std::make_unique<TxRTFPicture>();
    if (is("txrtfmetafile"))
        return std::make_unique<TxRTFMetafile>();
    if (is("txrtfbitmap"))
        return std::make_unique<TxRTFBitmap>();
    if (is("txrtfbasic"))
        return std::make_unique<TxRTFBasic>();
    throw ExRTF(QStringLiteral("Unknown class request. Class name: ") + className);
}

// ---------------------------------------------------------------------------
// The document

namespace {
bool g_dataFieldsAsText = false;
}

bool TxRTFFile::copyDataFieldsAsText()
{
    return g_dataFieldsAsText;
}

TxRTFFile::DataFieldsAsText::DataFieldsAsText()
    : m_previous(g_dataFieldsAsText)
{
    g_dataFieldsAsText = true;
}

TxRTFFile::DataFieldsAsText::~DataFieldsAsText()
{
    g_dataFieldsAsText = m_previous;
}

TxRTFFile::TxRTFFile()
{
    clearDocument();
}

TxRTFFile::~TxRTFFile() = default;

void TxRTFFile::clearDocument()
{
    clear();
    m_header.reset();
    m_footer.reset();
    fonts = {TxRTFFont{0, QStringLiteral("Times New Roman"), -1}};
    colors.clear();
    defaultFont = 0;
    version = 1;
    charsetKeyword = QStringLiteral("ansi");
    codePage = 1251;
    page = TxPageSettings();
    m_pages.clear();
    m_sequences.clear();
    addNew<TxRTFBlock>();
    invalidateAll();
}

TxRTFHeaderFooter *TxRTFFile::createHeader()
{
    m_header = std::make_unique<TxRTFHeaderFooter>();
    m_header->m_parent = this;
    return m_header.get();
}

TxRTFHeaderFooter *TxRTFFile::createFooter()
{
    m_footer = std::make_unique<TxRTFHeaderFooter>();
    m_footer->m_parent = this;
    return m_footer.get();
}

TxRTFBlock *TxRTFFile::readingBlock()
{
    if (auto b = dynamic_cast<TxRTFBlock *>(last()))
        return b;
    return addNew<TxRTFBlock>();
}

QString TxRTFFile::fontName(int number, bool *found) const
{
    for (const TxRTFFont &f : fonts) {
        if (f.number == number) {
            if (found)
                *found = true;
            return f.name;
        }
    }
    if (found)
        *found = false;
    return {};
}

int TxRTFFile::fontCharset(int number) const
{
    for (const TxRTFFont &f : fonts)
        if (f.number == number)
            return f.charset;
    return -1;
}

int TxRTFFile::fontNumber(const QString &faceName) const
{
    for (const TxRTFFont &f : fonts)
        if (f.name == faceName)
            return f.number;
    return 0;
}

QRgb TxRTFFile::color(int index, QRgb fallback) const
{
    return index >= 0 && index < colors.size() ? colors[index] : fallback;
}

void TxRTFFile::CopySettingsFrom(const TxRTFFile &other)
{
    version = other.version;
    charsetKeyword = other.charsetKeyword;
    codePage = other.codePage;
    page = other.page;
    fonts = other.fonts;
    colors = other.colors;
    defaultFont = other.defaultFont;
    invalidateAll();
}

void TxRTFFile::assign(const TxRTFBasic &source)
{
    TxRTFBlock::assign(source);
    if (auto other = dynamic_cast<const TxRTFFile *>(&source)) {
        CopySettingsFrom(*other);
        CopyHeaderFooterFrom(*other);
    }
}

void TxRTFFile::CopyHeaderFooterFrom(const TxRTFFile &other)
{
    m_header.reset();
    m_footer.reset();
    if (other.m_header)
        createHeader()->assign(*other.m_header);
    if (other.m_footer)
        createFooter()->assign(*other.m_footer);
    invalidate();
}

qint64 TxRTFFile::documentMemorySize() const
{
    qint64 n = memorySize();
    if (m_header)
        n += m_header->memorySize();
    if (m_footer)
        n += m_footer->memorySize();
    return n;
}

int TxRTFFile::documentObjectCount() const
{
    return objectCount() + (m_header ? m_header->objectCount() : 0) + (m_footer ? m_footer->objectCount() : 0);
}

QString TxRTFFile::dumpTree() const
{
    QString out;
    out += QStringLiteral("fonts:");
    for (const TxRTFFont &f : fonts)
        out += QStringLiteral(" %1=%2").arg(f.number).arg(f.name);
    out += QStringLiteral("\ncolors:");
    for (QRgb c : colors)
        out += QStringLiteral(" %1").arg(c & 0xffffff, 6, 16, QLatin1Char('0'));
    out += QStringLiteral("\npage: %1x%2 %3,%4,%5,%6 %7,%8 %9\n")
               .arg(page.paperWidth)
               .arg(page.paperHeight)
               .arg(page.marginLeft)
               .arg(page.marginRight)
               .arg(page.marginTop)
               .arg(page.marginBottom)
               .arg(page.headerY)
               .arg(page.footerY)
               .arg(page.landscape);
    if (m_header) {
        out += QStringLiteral("header:\n");
        m_header->dump(out, 1);
    }
    if (m_footer) {
        out += QStringLiteral("footer:\n");
        m_footer->dump(out, 1);
    }
    out += QStringLiteral("body:\n");
    for (const auto &c : m_items)
        c->dump(out, 1);
    return out;
}

} // namespace korvex::documents
