// Loading a document: the reader's tokens turned into the element tree.

#include "xRTF.h"
#include "xRTFCodePage.h"
#include "xRTFMessages.h"
#include "xRTFProgress.h"
#include "xRTFReader.h"

#include <QCoreApplication>
#include <QHash>
#include <QFile>
#include <string_view>
#include <unordered_map>

namespace korvex::documents {

namespace {

enum class W {
    Unknown,
    // group words
    rtf, fonttbl, colortbl, stylesheet, filetbl, revtbl, info, pict, field, fldinst, fldrslt, datafield,
    formfield, ffname, ffdeftext, header, footer, shppict, nonshppict,
    // document
    ansicpg, deff, fcharset, red, green, blue,
    // body text
    pard, tab, emdash, endash, lquote, rquote, ldblquote, rdblquote, bullet, plain, b, i, strike, ul, uld, uldb,
    ulw, ulnone, f, fs, par, page, fi, li, ri, sb, sa, sl, slmult, s, level, shading, hyphpar, keep, keepn,
    pagebb, sbys, ql, qr, qc, qj, tx, cfpat, cbpat, paperw, paperh, margl, margr, margt, margb, headery,
    footery, pgnstart, landscape, trowd, intbl, trgaph, trleft, trhdr, cellx, clbrdrl, clbrdrt, clbrdrr,
    clbrdrb, brdrw, otherBorder, clshdng, clcbpat, clcfpat, cell, row, u, uc, bin,
    // pictures
    wmetafile, emfblip, pngblip, jpegblip, otherPicture, picw, pich, picwgoal, pichgoal, picscalex, picscaley,
    piccropt, piccropb, piccropl, piccropr,
    // fields
    flddirty, fldedit, fldlock, fldpriv, fldalt, fftype, fftypetxt,
};

const std::unordered_map<std::string_view, W> &wordTable()
{
    static const std::unordered_map<std::string_view, W> table = {
        {"rtf", W::rtf}, {"fonttbl", W::fonttbl}, {"colortbl", W::colortbl}, {"stylesheet", W::stylesheet},
        {"filetbl", W::filetbl}, {"revtbl", W::revtbl}, {"info", W::info}, {"pict", W::pict},
        {"field", W::field}, {"fldinst", W::fldinst}, {"fldrslt", W::fldrslt}, {"datafield", W::datafield},
        {"formfield", W::formfield}, {"ffname", W::ffname}, {"ffdeftext", W::ffdeftext},
        {"header", W::header}, {"headerl", W::header}, {"headerr", W::header}, {"headerf", W::header},
        {"footer", W::footer}, {"footerl", W::footer}, {"footerr", W::footer}, {"footerf", W::footer},
        {"shppict", W::shppict}, {"nonshppict", W::nonshppict},
        {"ansicpg", W::ansicpg}, {"deff", W::deff}, {"fcharset", W::fcharset},
        {"red", W::red}, {"green", W::green}, {"blue", W::blue},
        {"pard", W::pard}, {"tab", W::tab}, {"emdash", W::emdash}, {"endash", W::endash},
        {"lquote", W::lquote}, {"rquote", W::rquote}, {"ldblquote", W::ldblquote}, {"rdblquote", W::rdblquote},
        {"bullet", W::bullet}, {"plain", W::plain}, {"b", W::b}, {"i", W::i}, {"strike", W::strike},
        {"ul", W::ul}, {"uld", W::uld}, {"uldb", W::uldb}, {"ulw", W::ulw}, {"ulnone", W::ulnone},
        {"f", W::f}, {"fs", W::fs}, {"par", W::par}, {"page", W::page}, {"fi", W::fi}, {"li", W::li},
        {"ri", W::ri}, {"sb", W::sb}, {"sa", W::sa}, {"sl", W::sl}, {"slmult", W::slmult}, {"s", W::s},
        {"level", W::level}, {"shading", W::shading}, {"hyphpar", W::hyphpar}, {"keep", W::keep},
        {"keepn", W::keepn}, {"pagebb", W::pagebb}, {"sbys", W::sbys}, {"ql", W::ql}, {"qr", W::qr},
        {"qc", W::qc}, {"qj", W::qj}, {"tx", W::tx}, {"cfpat", W::cfpat}, {"cbpat", W::cbpat},
        {"paperw", W::paperw}, {"paperh", W::paperh}, {"margl", W::margl}, {"margr", W::margr},
        {"margt", W::margt}, {"margb", W::margb}, {"headery", W::headery}, {"footery", W::footery},
        // The section's own page (current word processors put the real body
        // margins there, below the header); one section serves the whole document.
        {"pgwsxn", W::paperw}, {"pghsxn", W::paperh}, {"marglsxn", W::margl}, {"margrsxn", W::margr},
        {"margtsxn", W::margt}, {"margbsxn", W::margb},
        {"pgnstart", W::pgnstart}, {"landscape", W::landscape}, {"lndscpsxn", W::landscape},
        {"trowd", W::trowd}, {"intbl", W::intbl}, {"trgaph", W::trgaph}, {"trleft", W::trleft},
        {"trhdr", W::trhdr}, {"cellx", W::cellx}, {"clbrdrl", W::clbrdrl}, {"clbrdrt", W::clbrdrt},
        {"clbrdrr", W::clbrdrr}, {"clbrdrb", W::clbrdrb}, {"brdrw", W::brdrw},
        // Border words of rows and paragraphs: their widths are not a cell's.
        {"trbrdrt", W::otherBorder}, {"trbrdrl", W::otherBorder}, {"trbrdrb", W::otherBorder},
        {"trbrdrr", W::otherBorder}, {"trbrdrh", W::otherBorder}, {"trbrdrv", W::otherBorder},
        {"brdrt", W::otherBorder}, {"brdrb", W::otherBorder}, {"brdrl", W::otherBorder},
        {"brdrr", W::otherBorder}, {"box", W::otherBorder},
        {"clshdng", W::clshdng}, {"clcbpat", W::clcbpat}, {"clcfpat", W::clcfpat}, {"cell", W::cell},
        {"row", W::row}, {"u", W::u}, {"uc", W::uc}, {"bin", W::bin},
        {"wmetafile", W::wmetafile}, {"emfblip", W::emfblip}, {"pngblip", W::pngblip},
        {"jpegblip", W::jpegblip}, {"macpict", W::otherPicture}, {"pmmetafile", W::otherPicture},
        {"dibitmap", W::otherPicture}, {"wbitmap", W::otherPicture}, {"picw", W::picw}, {"pich", W::pich},
        {"picwgoal", W::picwgoal}, {"pichgoal", W::pichgoal}, {"picscalex", W::picscalex},
        {"picscaley", W::picscaley}, {"piccropt", W::piccropt}, {"piccropb", W::piccropb},
        {"piccropl", W::piccropl}, {"piccropr", W::piccropr},
        {"flddirty", W::flddirty}, {"fldedit", W::fldedit}, {"fldlock", W::fldlock}, {"fldpriv", W::fldpriv},
        {"fldalt", W::fldalt}, {"fftype", W::fftype}, {"fftypetxt", W::fftypetxt},
    };
    return table;
}

W lookup(const TxRTFReader::Token &t)
{
    const auto &table = wordTable();
    const auto it = table.find(std::string_view(t.word, size_t(t.wordLength)));
    return it == table.end() ? W::Unknown : it->second;
}

bool isCharFormatWord(W w)
{
    switch (w) {
    case W::plain: case W::b: case W::i: case W::strike: case W::ul: case W::uld: case W::uldb: case W::ulw:
    case W::ulnone: case W::f: case W::fs:
        return true;
    default:
        return false;
    }
}

enum class State { Body, FontTable, ColorTable, Info, Pict, Field, FldInst, FldRslt, DataField, FormField, FFName, FFDefText };

enum class Border { None, Left, Top, Right, Bottom };

QString tr(const char *text)
{
    return QCoreApplication::translate("TxRTFFile", text);
}

} // namespace

// Reads one document; friend of TxRTFFile for the reading hook.
class TxRTFLoader
{
public:
    TxRTFLoader(TxRTFFile &doc, TxRTFReader &reader)
        : m_doc(doc), m_reader(reader), m_docCp(1251), m_progress(TRTFProgress::shared())
    {
    }

    // False when the user cancelled.
    bool run();

private:
    struct Frame {
        TxFontRec font;
        TxParaFormat pf;
        State state;
        int uc;
        int fontCodePage;  // 0: the document's
        TxRTFField *field;
        // Set for the groups that change where content goes.
        bool restoresBlock = false;
        TxRTFBlock *block = nullptr;
        TxRTFTextPara *para = nullptr;
        TxRTFTableRow *row = nullptr;
        TxRTFCell *cell = nullptr;
        TxRTFBlock *rowParent = nullptr;
        bool pictGroup = false;
        bool fieldGroup = false;
        bool fontEntryGroup = false;
    };

    struct Picture {
        int kind = -1;  // TxRTFPicture::Kind, -1 none, -2 a kind that is not kept
        int mappingMode = 8;
        int picW = 0, picH = 0, goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
        int cropT = 0, cropB = 0, cropL = 0, cropR = 0;
        QByteArray data;
        int nibble = -1;
    };

    void readBody();
    void handle(const TxRTFReader::Token &t);
    void pushGroup();
    void popGroup();
    void restore(const Frame &f);
    void setFontCodePage(int codePage)
    {
        if (codePage && codePage != m_fontCp.codePage())
            m_fontCp = TxCodePage(codePage);
        m_fontCodePage = codePage;
    }
    bool groupWord(const TxRTFReader::Token &t, W w);
    void destination();
    void skipGroup();
    void controlWord(const TxRTFReader::Token &t, W w);
    void textByte(unsigned char b);
    void textChar(QChar c);
    bool bodyLike() const { return m_state == State::Body || m_state == State::FldRslt; }

    TxRTFGroup *inlineTarget();
    TxRTFTextPara *ensurePara();
    TxRTFBlock *paraBlock();
    void flushRun();
    void endParagraph(bool page);
    void endCell();
    void openRow();
    void endRow();
    void finishPicture();
    void commitFont();
    void commitColor();
    void startHeaderFooter(bool header);
    void finishHeaderFooterGroup(const Frame &f);
    void checkProgress();

    TxRTFFile &m_doc;
    TxRTFReader &m_reader;
    TxCodePage m_docCp;
    TxCodePage m_fontCp{1251};
    TRTFProgress &m_progress;
    qint64 m_nextProgress = 0;
    bool m_cancelled = false;

    std::vector<Frame> m_stack;
    bool m_groupStart = false;

    // Current group state (saved in frames)
    TxFontRec m_font;
    TxParaFormat m_pf;
    State m_state = State::Body;
    int m_uc = 1;
    int m_fontCodePage = 0;  // of the current font's \\fcharset; 0: the document's
    TxRTFField *m_field = nullptr;

    // Where content goes
    TxRTFBlock *m_block = nullptr;
    TxRTFTextPara *m_para = nullptr;
    TxRTFTableRow *m_row = nullptr;
    TxRTFCell *m_cell = nullptr;
    TxRTFBlock *m_rowParent = nullptr;
    int m_headerFooterDepth = 0;

    // Current run
    QString m_run;
    TxFontRec m_runFont;
    TxRTFGroup *m_runTarget = nullptr;

    int m_skipUnicode = 0;

    // Tables
    TxRowDef m_rowDef;
    TxCellDef m_cellDef;
    qint64 m_madeCells = 0;  // cells added to rows for definitions without content
    Border m_border = Border::None;

    // Font and colour tables
    int m_fontNumber = -1;
    QHash<int, qsizetype> m_fontIndex;  // font number -> index in the document's fonts
    int m_fontCharset = -1;
    QString m_fontName;
    int m_red = 0, m_green = 0, m_blue = 0;

    Picture m_pict;
};

// ---------------------------------------------------------------------------

bool TxRTFLoader::run()
{
    m_block = m_doc.readingBlock();
    if (m_reader.peek() < 0)
        throw ExRTFFile(QStringLiteral("Not a Rich Text Format (RTF) file or file is corrupted."));
    TxRTFReader::Token t;
    m_reader.next(t);
    if (t.kind != TxRTFReader::GroupStart)
        throw ExRTFFile(QStringLiteral("Not a Rich Text Format (RTF) file or file is corrupted."));
    m_reader.next(t);
    if (t.kind != TxRTFReader::ControlWord)
        throw ExRTFFile(QStringLiteral("Not a Rich Text Format (RTF) file or file is corrupted."));
    if (!t.isWord("rtf"))
        throw ExRTFFile(QStringLiteral("File is corrupt."));
    m_doc.version = t.param;
    m_stack.push_back(Frame{m_font, m_pf, m_state, m_uc, m_fontCodePage, m_field});

    m_reader.next(t);
    if (t.kind == TxRTFReader::ControlWord)
        m_doc.charsetKeyword = QString::fromLatin1(t.word);
    handle(t);
    readBody();
    if (m_cancelled)
        return false;
    if (m_reader.restHasGroupEnd())
        throw ExRTFReader(QStringLiteral("File is corrupted."));

    flushRun();
    if (m_row)
        endRow();
    m_para = nullptr;
    if (auto b = dynamic_cast<TxRTFBlock *>(m_doc.last()); b && b->count() == 0)
        m_doc.removeAt(m_doc.count() - 1);
    return true;
}

void TxRTFLoader::checkProgress()
{
    const qint64 pos = m_reader.position();
    if (pos < m_nextProgress)
        return;
    m_nextProgress = pos + qMax<qint64>(1, m_reader.size() / 20);
    m_progress.setPosition(pos);
    if (m_progress.cancelled())
        m_cancelled = true;
}

void TxRTFLoader::readBody()
{
    TxRTFReader::Token t;
    while (!m_stack.empty()) {
        checkProgress();
        if (m_cancelled)
            return;
        m_reader.next(t);
        handle(t);
    }
}

void TxRTFLoader::handle(const TxRTFReader::Token &t)
{
        switch (t.kind) {
        case TxRTFReader::GroupStart:
            m_skipUnicode = 0;
            pushGroup();
            m_groupStart = true;
            break;
        case TxRTFReader::DestinationStart:
            m_skipUnicode = 0;
            pushGroup();
            destination();
            break;
        case TxRTFReader::GroupEnd:
            m_skipUnicode = 0;
            m_groupStart = false;
            popGroup();
            break;
        case TxRTFReader::ControlWord: {
            const W w = lookup(t);
            if (m_skipUnicode > 0 && w != W::bin) {
                --m_skipUnicode;
                break;
            }
            if (m_groupStart) {
                m_groupStart = false;
                if (groupWord(t, w))
                    break;
            }
            controlWord(t, w);
            break;
        }
        case TxRTFReader::Text:
            m_groupStart = false;
            textByte(t.ch);
            break;
        }
}

void TxRTFLoader::pushGroup()
{
    if (m_stack.size() >= size_t(TxRTFFile::MaxGroupDepth))
        throw ExRTFReader(QStringLiteral("File is corrupted."));
    m_stack.push_back(Frame{m_font, m_pf, m_state, m_uc, m_fontCodePage, m_field});
}

void TxRTFLoader::popGroup()
{
    if (m_stack.empty())
        throw ExRTFReader(QStringLiteral("File is corrupted."));
    const Frame f = m_stack.back();
    m_stack.pop_back();

    if (f.pictGroup)
        finishPicture();
    if (f.fontEntryGroup || m_state == State::FontTable)
        commitFont();
    if (f.restoresBlock)
        finishHeaderFooterGroup(f);
    if (m_state != f.state || m_field != f.field)
        flushRun();
    restore(f);
}

void TxRTFLoader::restore(const Frame &f)
{
    m_font = f.font;
    m_pf = f.pf;
    m_state = f.state;
    m_uc = f.uc;
    setFontCodePage(f.fontCodePage);
    m_field = f.field;
}

void TxRTFLoader::skipGroup()
{
    // The group's frame is already pushed; read to its end without effect.
    int depth = 1;
    TxRTFReader::Token t;
    while (depth > 0) {
        checkProgress();
        if (m_cancelled)
            return;
        m_reader.next(t);
        if (t.kind == TxRTFReader::GroupStart || t.kind == TxRTFReader::DestinationStart) {
            if (m_stack.size() + size_t(depth) >= size_t(TxRTFFile::MaxGroupDepth))
                throw ExRTFReader(QStringLiteral("File is corrupted."));
            ++depth;
        } else if (t.kind == TxRTFReader::GroupEnd)
            --depth;
        else if (t.kind == TxRTFReader::ControlWord && t.isWord("bin") && t.param > 0)
            m_reader.readBinary(t.param, false);
    }
    restore(m_stack.back());
    m_stack.pop_back();
}

void TxRTFLoader::destination()
{
    TxRTFReader::Token t;
    m_reader.next(t);
    if (t.kind != TxRTFReader::ControlWord) {
        // Not a word: nothing to read here; the token itself may close the group.
        if (t.kind == TxRTFReader::GroupEnd) {
            popGroup();
            return;
        }
        if (t.kind == TxRTFReader::GroupStart || t.kind == TxRTFReader::DestinationStart)
            pushGroup();
        skipGroup();
        if (t.kind == TxRTFReader::GroupStart || t.kind == TxRTFReader::DestinationStart)
            skipGroup();
        return;
    }
    const W w = lookup(t);
    switch (w) {
    case W::fldinst:
    case W::fldrslt:
    case W::datafield:
    case W::formfield:
    case W::ffname:
    case W::ffdeftext:
    case W::header:
    case W::footer:
        if (!groupWord(t, w))
            skipGroup();
        return;
    case W::shppict:
        // The picture in current word processors' own form (PNG, JPEG, EMF);
        // its metafile twin in \nonshppict is skipped.
        return;
    default:
        skipGroup();
        return;
    }
}

bool TxRTFLoader::groupWord(const TxRTFReader::Token &t, W w)
{
    switch (w) {
    case W::fonttbl:
        m_state = State::FontTable;
        m_fontNumber = -1;
        m_fontCharset = -1;
        m_fontName.clear();
        return true;
    case W::colortbl:
        m_state = State::ColorTable;
        m_red = m_green = m_blue = 0;
        return true;
    case W::stylesheet:
    case W::filetbl:
    case W::revtbl:
    case W::nonshppict:
        skipGroup();
        return true;
    case W::info:
        m_state = State::Info;
        return true;
    case W::pict:
        if (!bodyLike()) {
            skipGroup();
            return true;
        }
        flushRun();
        m_state = State::Pict;
        m_stack.back().pictGroup = true;
        m_pict = Picture();
        return true;
    case W::field:
        if (!bodyLike())
            return false;
        flushRun();
        m_field = static_cast<TxRTFField *>(inlineTarget()->append(std::make_unique<TxRTFField>()));
        m_field->setFont(m_font);
        m_state = State::Field;
        m_stack.back().fieldGroup = true;
        return true;
    case W::fldinst:
        if (!m_field)
            return false;
        m_state = State::FldInst;
        return true;
    case W::fldrslt:
        if (!m_field)
            return false;
        flushRun();
        m_field->setFont(m_font);
        m_state = State::FldRslt;
        return true;
    case W::datafield: {
        if (!m_field)
            return false;
        m_field->isDataField = true;
        TxDataFieldRec rec;
        for (int k = 0; k < 8; ++k)
            rec.header.append(char(m_reader.readHexByte()));
        auto readText = [this] {
            const int len = m_reader.readHexByte();
            QString s;
            for (int k = 0; k < len; ++k) {
                const unsigned char b = m_reader.readHexByte();
                if (b)
                    s += m_docCp.decode(b);
            }
            return s;
        };
        rec.name = readText();
        rec.flag = m_reader.readHexByte();
        rec.defaultText = readText();
        m_field->dataRec = rec;
        skipGroup();
        return true;
    }
    case W::formfield:
        if (!m_field)
            return false;
        m_field->isFormField = true;
        m_state = State::FormField;
        return true;
    case W::ffname:
        if (!m_field)
            return false;
        m_state = State::FFName;
        return true;
    case W::ffdeftext:
        if (!m_field)
            return false;
        m_state = State::FFDefText;
        return true;
    case W::header:
    case W::footer:
        if (m_state != State::Body || m_headerFooterDepth > 0)
            return false;
        startHeaderFooter(w == W::header);
        return true;
    default:
        if (m_state == State::FontTable && w == W::f)
            m_stack.back().fontEntryGroup = true;
        return false;
    }
}

void TxRTFLoader::startHeaderFooter(bool header)
{
    if (header ? m_doc.header() != nullptr : m_doc.footer() != nullptr) {
        TxRTFMessages::shared().error(
            header ? tr("Your RTF file has more than one header (probably it has different types of headers for "
                        "different pages).\nThis program supports only one header for all document - all other "
                        "headers will be ignored.")
                   : tr("Your RTF file has more than one footer (probably it has different footers for different "
                        "pages).\nThis program supports only one footer for all document - all other footers "
                        "will be ignored."));
        // As the message says: the other header is left out, not poured into the body.
        skipGroup();
        return;
    }
    flushRun();
    Frame &f = m_stack.back();
    f.restoresBlock = true;
    f.block = m_block;
    f.para = m_para;
    f.row = m_row;
    f.cell = m_cell;
    f.rowParent = m_rowParent;
    m_block = header ? m_doc.createHeader() : m_doc.createFooter();
    m_para = nullptr;
    m_row = nullptr;
    m_cell = nullptr;
    m_rowParent = nullptr;
    ++m_headerFooterDepth;
}

void TxRTFLoader::finishHeaderFooterGroup(const Frame &f)
{
    flushRun();
    if (m_row)
        endRow();
    m_block = f.block;
    m_para = f.para;
    m_row = f.row;
    m_cell = f.cell;
    m_rowParent = f.rowParent;
    --m_headerFooterDepth;
}

// ---------------------------------------------------------------------------
// Content

TxRTFBlock *TxRTFLoader::paraBlock()
{
    if (m_row) {
        if (!m_cell)
            m_cell = m_row->addNew<TxRTFCell>();
        return m_cell;
    }
    return m_block;
}

TxRTFTextPara *TxRTFLoader::ensurePara()
{
    if (!m_para) {
        m_para = paraBlock()->addNew<TxRTFTextPara>();
        m_para->setParaFormat(m_pf);
        m_para->setFont(m_font);
    }
    return m_para;
}

TxRTFGroup *TxRTFLoader::inlineTarget()
{
    if (m_field && (m_state == State::FldRslt || m_state == State::Field))
        return m_field;
    return ensurePara();
}

void TxRTFLoader::flushRun()
{
    if (m_run.isEmpty())
        return;
    auto run = std::make_unique<TxRTFChars>();
    run->setFont(m_runFont);
    run->setChars(m_run);
    m_runTarget->append(std::move(run));
    m_run.clear();
    m_runTarget = nullptr;
}

void TxRTFLoader::textByte(unsigned char b)
{
    if (m_skipUnicode > 0) {
        --m_skipUnicode;
        return;
    }
    switch (m_state) {
    case State::Pict: {
        const int v = TxRTFReader::hexValue(b);
        if (v < 0)
            return;
        if (m_pict.nibble < 0) {
            m_pict.nibble = v;
        } else {
            if (m_pict.data.size() == m_pict.data.capacity())
                m_pict.data.reserve(m_pict.data.size() + 50000);
            m_pict.data.append(char(m_pict.nibble * 16 + v));
            m_pict.nibble = -1;
        }
        return;
    }
    case State::ColorTable:
        if (b == ';')
            commitColor();
        return;
    case State::FontTable:
        if (b == ';') {
            commitFont();
            return;
        }
        break;
    default:
        break;
    }
    textChar(m_fontCodePage ? m_fontCp.decode(b) : m_docCp.decode(b));
}

void TxRTFLoader::textChar(QChar c)
{
    if (c.unicode() < 0x20)
        return;
    switch (m_state) {
    case State::Body:
    case State::FldRslt: {
        TxRTFGroup *target = (m_state == State::FldRslt && m_field) ? static_cast<TxRTFGroup *>(m_field)
                                                                    : ensurePara();
        if (!m_run.isEmpty() && (target != m_runTarget || !(m_font == m_runFont)))
            flushRun();
        if (m_run.isEmpty()) {
            m_runTarget = target;
            m_runFont = m_font;
        }
        m_run += c;
        if (m_state == State::FldRslt && m_field)
            m_field->result += c;
        if (m_run.size() > 100)
            flushRun();
        return;
    }
    case State::FontTable:
        m_fontName += c;
        return;
    case State::FldInst:
        m_field->instruction += c;
        return;
    case State::FFName:
        m_field->ffName += c;
        return;
    case State::FFDefText:
        m_field->ffDefText += c;
        return;
    default:
        return;
    }
}

void TxRTFLoader::commitFont()
{
    if (m_fontNumber < 0)
        return;
    TxRTFFont font{m_fontNumber, m_fontName.trimmed(), m_fontCharset};
    // By number through an index: a table of many fonts stays linear.
    if (m_fontIndex.size() != m_doc.fonts.size()) {
        m_fontIndex.clear();
        for (qsizetype i = 0; i < m_doc.fonts.size(); ++i)
            m_fontIndex.insert(m_doc.fonts.at(i).number, i);
    }
    const auto it = m_fontIndex.constFind(font.number);
    if (it != m_fontIndex.constEnd()) {
        m_doc.fonts[it.value()] = font;
    } else {
        m_fontIndex.insert(font.number, m_doc.fonts.size());
        m_doc.fonts.append(font);
    }
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontName.clear();
}

void TxRTFLoader::commitColor()
{
    if (m_doc.colors.size() < TxRTFFile::MaxColors)
        m_doc.colors.append(qRgb(m_red, m_green, m_blue));
    m_red = m_green = m_blue = 0;
}

void TxRTFLoader::endParagraph(bool page)
{
    if (m_state != State::Body)
        return;  // a paragraph mark inside a field result stays inside the field's paragraph
    flushRun();
    TxRTFTextPara *para = ensurePara();
    TxParaFormat pf = m_pf;
    pf.pageBreak = page;
    para->setParaFormat(pf);
    para->setFont(m_font);
    m_para = nullptr;
    if (!m_row && m_headerFooterDepth == 0) {
        m_doc.paragraphRead(para);
        m_block = m_doc.readingBlock();
    }
}

void TxRTFLoader::openRow()
{
    flushRun();
    m_rowParent = m_block;
    std::unique_ptr<TxRTFBasic> pending;
    if (m_para)  // text before \intbl belongs to the row's first cell
        pending = m_block->take(m_block->indexOf(m_para));
    m_row = m_block->addNew<TxRTFTableRow>();
    m_cell = m_row->addNew<TxRTFCell>();
    if (pending)
        m_cell->append(std::move(pending));
}

void TxRTFLoader::endCell()
{
    if (m_state != State::Body)
        return;
    if (!m_row)
        openRow();
    flushRun();
    TxRTFTextPara *para = ensurePara();
    para->setParaFormat(m_pf);
    para->setFont(m_font);
    m_para = nullptr;
    m_cell = nullptr;
}

void TxRTFLoader::endRow()
{
    flushRun();
    if (m_para) {
        m_para->setParaFormat(m_pf);
        m_para = nullptr;
    }
    TxRowDef def = m_rowDef;
    const int cells = m_row->count();
    while (def.cells.size() < cells) {
        TxCellDef c;
        c.right = (def.cells.isEmpty() ? 0 : def.cells.last().right) + 1440;
        def.cells.append(c);
    }
    // Cells defined but not written are made here, not read: their number is
    // paid for by the bytes read, or one short row repeated under a long
    // definition would take memory out of all proportion to the file.
    m_madeCells += def.cells.size() - cells;
    if (m_madeCells > m_reader.position() / 8 + 1000)
        throw ExRTFReader(QStringLiteral("File is corrupted."));
    while (m_row->count() < def.cells.size()) {
        auto cell = m_row->addNew<TxRTFCell>();
        cell->addNew<TxRTFTextPara>();
    }
    m_row->setRowDef(def);
    m_block = m_rowParent;
    m_row = nullptr;
    m_cell = nullptr;
    m_rowParent = nullptr;
}

void TxRTFLoader::finishPicture()
{
    Picture &p = m_pict;
    if (p.kind < 0) {
        TxRTFMessages::shared().information(tr("Non-metafile picture in RTF file will be ignored."));
        return;
    }
    std::unique_ptr<TxRTFPicture> pic;
    if (p.kind == TxRTFPicture::Png || p.kind == TxRTFPicture::Jpeg)
        pic = std::make_unique<TxRTFBitmap>();
    else
        pic = std::make_unique<TxRTFMetafile>();
    p.data.squeeze();  // read in large steps; kept at its size
    pic->setData(TxRTFPicture::Kind(p.kind), p.data, p.mappingMode);
    pic->picW = p.picW;
    pic->picH = p.picH;
    pic->goalW = p.goalW;
    pic->goalH = p.goalH;
    pic->scaleX = p.scaleX;
    pic->scaleY = p.scaleY;
    pic->cropT = p.cropT;
    pic->cropB = p.cropB;
    pic->cropL = p.cropL;
    pic->cropR = p.cropR;
    pic->setFont(m_font);
    p.data.clear();
    // The picture lands where the group stood: in a field result or a paragraph.
    const Frame &outer = m_stack.back();
    TxRTFGroup *target = (outer.state == State::FldRslt && outer.field) ? static_cast<TxRTFGroup *>(outer.field)
                                                                         : ensurePara();
    target->append(std::move(pic));
}

// ---------------------------------------------------------------------------

void TxRTFLoader::controlWord(const TxRTFReader::Token &t, W w)
{
    // Sizes beyond 73 metres are damage, not layout; bounding them keeps all
    // later arithmetic far from overflow.
    constexpr int kMaxParam = 1 << 22;
    const int p = w == W::bin ? t.param : qBound(-kMaxParam, t.param, kMaxParam);
    const bool on = !t.hasParam || p != 0;

    // Words that mean the same in every state.
    switch (w) {
    case W::u: {
        int code = p < 0 ? p + 65536 : p;
        if (code < 0 || code > 0xFFFF)
            code = '?';
        textChar(QChar(char16_t(code)));
        m_skipUnicode = m_uc;
        return;
    }
    case W::uc:
        m_uc = qBound(0, p, 10);
        return;
    case W::bin:
        if (p > 0) {
            const QByteArray raw = m_reader.readBinary(p, m_state == State::Pict);
            if (m_state == State::Pict)
                m_pict.data.append(raw);
        }
        return;
    case W::ansicpg:
        m_doc.codePage = p;
        m_docCp = TxCodePage(p);
        return;
    case W::deff:
        m_doc.defaultFont = p;
        return;
    default:
        break;
    }

    switch (m_state) {
    case State::FontTable:
        if (w == W::f) {
            commitFont();
            m_fontNumber = p;
        } else if (w == W::fcharset) {
            m_fontCharset = p;
        }
        return;
    case State::ColorTable:
        if (w == W::red)
            m_red = qBound(0, p, 255);
        else if (w == W::green)
            m_green = qBound(0, p, 255);
        else if (w == W::blue)
            m_blue = qBound(0, p, 255);
        return;
    case State::Pict:
        switch (w) {
        case W::wmetafile:
            m_pict.kind = TxRTFPicture::WindowsMetafile;
            m_pict.mappingMode = t.hasParam ? p : 8;
            break;
        case W::emfblip: m_pict.kind = TxRTFPicture::EnhancedMetafile; break;
        case W::pngblip: m_pict.kind = TxRTFPicture::Png; break;
        case W::jpegblip: m_pict.kind = TxRTFPicture::Jpeg; break;
        case W::otherPicture: m_pict.kind = -2; break;
        case W::picw: m_pict.picW = p; break;
        case W::pich: m_pict.picH = p; break;
        case W::picwgoal: m_pict.goalW = p; break;
        case W::pichgoal: m_pict.goalH = p; break;
        case W::picscalex: m_pict.scaleX = p; break;
        case W::picscaley: m_pict.scaleY = p; break;
        case W::piccropt: m_pict.cropT = p; break;
        case W::piccropb: m_pict.cropB = p; break;
        case W::piccropl: m_pict.cropL = p; break;
        case W::piccropr: m_pict.cropR = p; break;
        default: break;
        }
        return;
    case State::Field:
    case State::FldInst:
    case State::FormField:
        if (!m_field)
            return;
        switch (w) {
        case W::flddirty: m_field->dirty = on; break;
        case W::fldedit: m_field->edited = on; break;
        case W::fldlock: m_field->locked = on; break;
        case W::fldpriv: m_field->isPrivate = on; break;
        case W::fldalt: m_field->alternate = on; break;
        case W::fftype: m_field->formFieldType = p; break;
        case W::fftypetxt: m_field->formFieldTypeText = p; break;
        default: break;
        }
        // The field's own character format may be given before its result.
        if (m_state == State::Field && isCharFormatWord(w))
            break;
        return;
    case State::Body:
    case State::FldRslt:
        break;
    default:
        return;
    }

    // Body text: the body, a cell, the page header or footer, a field result.
    auto setHeight = [this](int halfPoints) {
        m_font.height = int(qBound(qint64(-INT_MAX), -10LL * halfPoints, qint64(INT_MAX)));
    };
    switch (w) {
    case W::pard: m_pf = TxParaFormat(); break;
    case W::tab: {
        flushRun();
        auto tab = std::make_unique<TxRTFTabChar>();
        tab->setFont(m_font);
        inlineTarget()->append(std::move(tab));
        break;
    }
    case W::emdash: textChar(QChar(0x2014)); break;
    case W::endash: textChar(QChar(0x2013)); break;
    case W::lquote: textChar(QChar(0x2018)); break;
    case W::rquote: textChar(QChar(0x2019)); break;
    case W::ldblquote: textChar(QChar(0x201C)); break;
    case W::rdblquote: textChar(QChar(0x201D)); break;
    case W::bullet: textChar(QChar(0x2022)); break;
    case W::plain: {
        m_font = TxFontRec();
        m_font.setFaceName(m_doc.fontName(m_doc.defaultFont));
        const int cp = codePageForCharset(m_doc.fontCharset(m_doc.defaultFont));
        setFontCodePage(cp);
        break;
    }
    case W::b: m_font.weight = on ? 700 : 400; break;
    case W::i: m_font.italic = on; break;
    case W::strike: m_font.strikeOut = on; break;
    case W::ul: m_font.underline = on; break;
    case W::uld:
    case W::uldb:
    case W::ulw: m_font.underline = 1; break;
    case W::ulnone: m_font.underline = 0; break;
    case W::f: {
        bool found = false;
        const QString name = m_doc.fontName(p, &found);
        if (!found)
            throw ExRTFFile(QStringLiteral("В RTF файле использован необьявленный щрифт."));
        m_font.setFaceName(name);
        const int cp = codePageForCharset(m_doc.fontCharset(p));
        setFontCodePage(cp);
        break;
    }
    case W::fs: setHeight(p); break;
    case W::par: endParagraph(false); break;
    case W::page: endParagraph(true); break;
    case W::fi: m_pf.firstIndent = p; break;
    case W::li: m_pf.leftIndent = p; break;
    case W::ri: m_pf.rightIndent = p; break;
    case W::sb: m_pf.spaceBefore = p; break;
    case W::sa: m_pf.spaceAfter = p; break;
    case W::sl: m_pf.lineSpacing = p; break;
    case W::slmult: m_pf.multiSpacing = on; break;
    case W::s: m_pf.style = p; break;
    case W::level: m_pf.outlineLevel = p; break;
    case W::shading: m_pf.shading = p; break;
    case W::hyphpar: m_pf.hyphenate = on; break;
    case W::keep: m_pf.keep = on; break;
    case W::keepn: m_pf.keepNext = on; break;
    case W::pagebb: m_pf.pageBreakBefore = on; break;
    case W::sbys: m_pf.sideBySide = on; break;
    case W::ql: m_pf.alignment = TxParaFormat::Left; break;
    case W::qr: m_pf.alignment = TxParaFormat::Right; break;
    case W::qc: m_pf.alignment = TxParaFormat::Centre; break;
    case W::qj: m_pf.alignment = TxParaFormat::Justified; break;
    case W::tx: m_pf.tabStops.append(p); break;
    case W::cfpat: m_pf.patternForeground = (p >= 0 && p < m_doc.colors.size()) ? p : 0; break;
    case W::cbpat: m_pf.patternBackground = (p >= 0 && p < m_doc.colors.size()) ? p : 0; break;
    case W::paperw: m_doc.page.paperWidth = p; break;
    case W::paperh: m_doc.page.paperHeight = p; break;
    case W::margl: m_doc.page.marginLeft = p; break;
    case W::margr: m_doc.page.marginRight = p; break;
    case W::margt: m_doc.page.marginTop = p; break;
    case W::margb: m_doc.page.marginBottom = p; break;
    case W::headery: m_doc.page.headerY = p; break;
    case W::footery: m_doc.page.footerY = p; break;
    case W::pgnstart: m_doc.page.pageStart = p; break;
    case W::landscape: m_doc.page.landscape = true; break;
    case W::trowd:
        m_rowDef = TxRowDef();
        m_cellDef = TxCellDef();
        m_border = Border::None;
        break;
    case W::intbl:
        if (!m_row && m_state == State::Body)
            openRow();
        break;
    case W::trgaph: m_rowDef.gap = p; break;
    case W::trleft: m_rowDef.left = p; break;
    case W::trhdr: m_rowDef.header = on; break;
    case W::cellx:
        m_cellDef.right = p;
        m_rowDef.cells.append(m_cellDef);
        m_cellDef = TxCellDef();
        m_border = Border::None;
        break;
    case W::clbrdrl: m_border = Border::Left; break;
    case W::clbrdrt: m_border = Border::Top; break;
    case W::clbrdrr: m_border = Border::Right; break;
    case W::clbrdrb: m_border = Border::Bottom; break;
    case W::otherBorder: m_border = Border::None; break;
    case W::brdrw:
        switch (m_border) {
        case Border::Left: m_cellDef.borderLeft = p; break;
        case Border::Top: m_cellDef.borderTop = p; break;
        case Border::Right: m_cellDef.borderRight = p; break;
        case Border::Bottom: m_cellDef.borderBottom = p; break;
        case Border::None: break;
        }
        break;
    case W::clshdng: m_cellDef.shading = p; break;
    case W::clcbpat: m_cellDef.patternBackground = p; break;
    case W::clcfpat: m_cellDef.patternForeground = p; break;
    case W::cell: endCell(); break;
    case W::row:
        if (m_row && m_state == State::Body)
            endRow();
        break;
    case W::Unknown:
        if (t.wordLength == 1 && t.word[0] == '~')
            textChar(QChar(0x00A0));  // non-breaking space
        else if (t.wordLength == 1 && t.word[0] == '_')
            textChar(QLatin1Char('-'));  // non-breaking hyphen
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------

bool TxRTFFile::readWith(TxRTFReader &reader)
{
    m_loading = true;
    try {
        TxRTFLoader loader(*this, reader);
        const bool ok = loader.run();
        if (!ok)
            clearDocument();
        invalidateAll();
        m_loading = false;
        return ok;
    } catch (...) {
        // A half-read document is never left behind for the caller to print.
        clearDocument();
        m_loading = false;
        throw;
    }
}

bool TxRTFFile::loadFromDevice(QIODevice &device)
{
    if (m_loading)
        throw ExRTFFile(QStringLiteral("Loading of RTF file is already in progress..."));
    clearDocument();
    TxRTFReader reader(&device);
    return readWith(reader);
}

bool TxRTFFile::LoadFromFile(const QString &fileName)
{
    if (m_loading)
        throw ExRTFFile(QStringLiteral("Loading of RTF file is already in progress..."));
    clearDocument();
    TRTFProgressScope scope(tr("Идет чтение RTF файла.\nПодождите немного..."), tr("Подождите немного..."), 0,
                            tr("Прервать чтение файла?"));
    std::unique_ptr<TxRTFReader> reader = std::make_unique<TxRTFReader>(fileName);
    while (!reader->isOpen()) {
        if (!TxRTFMessages::shared().retry(tr("Невозможно открыть файл '%1'").arg(fileName)))
            return false;
        reader = std::make_unique<TxRTFReader>(fileName);
    }
    scope.progress().setMaximum(reader->size());
    return readWith(*reader);
}

} // namespace korvex::documents
