// Layout, pages and drawing of the document model.

#include "xRTF.h"
#include "xRTFProgress.h"

#include <QCoreApplication>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <deque>

namespace korvex::documents {

namespace {

// A line may end after any run of these.
inline bool isBreakChar(QChar c)
{
    switch (c.unicode()) {
    case ' ': case ',': case '.': case '?': case '!': case '\'': case '"': case ';': case ':': case '*':
    case '`': case '~': case '@': case '#': case '$': case '%': case '^': case '&': case '-': case '=':
    case '+': case '(': case ')': case '[': case ']': case '{': case '}':
        return true;
    default:
        return false;
    }
}

// Windows faces and their metric-compatible Liberation twins, so that line
// breaks and page counts match the documents' own.
QString mappedFamily(const QString &face)
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times new roman cyr"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial cyr"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier new cyr"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
    };
    if (face.isEmpty())
        return QStringLiteral("Liberation Serif");
    return map.value(face.toLower(), face);
}

QString tr(const char *text)
{
    return QCoreApplication::translate("TxRTFFile", text);
}

// Bound for heights and positions summed over a document, far below int's range.
constexpr qint64 kMaxExtent = 1 << 28;

QColor shaded(QRgb rgb, int shading)
{
    const int keep = 10000 - qBound(0, shading, 10000);
    return QColor(qRed(rgb) * keep / 10000, qGreen(rgb) * keep / 10000, qBlue(rgb) * keep / 10000);
}

// The inline content of a paragraph flattened: text of one format, tabs,
// pictures, and word boundaries forced by fields.
struct Atom {
    enum Kind { Text, Tab, Picture, Boundary };
    Kind kind;
    const TxRTFBasic *element;
    const TxFontRec *font;
    QString text;
};

} // namespace

// ---------------------------------------------------------------------------
// Device and units

int TxRTFMeasureDevice::metric(PaintDeviceMetric m) const
{
    switch (m) {
    case PdmWidth: return int(qint64(m_width) * m_dpi / 1440);
    case PdmHeight: return int(qint64(m_height) * m_dpi / 1440);
    case PdmWidthMM: return int(qint64(m_width) * 254 / 14400);
    case PdmHeightMM: return int(qint64(m_height) * 254 / 14400);
    case PdmNumColors: return 0xffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return m_dpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return 0;
    }
}

void TxRTFFile::SetDevice(QPaintDevice *device)
{
    m_device = device;
    const double dx = device ? device->logicalDpiX() : 96;
    const double dy = device ? device->logicalDpiY() : 96;
    m_metrics.clear();
    if (dx != m_dpiX || dy != m_dpiY) {
        m_dpiX = dx;
        m_dpiY = dy;
        invalidateAll();
    }
}

void TxRTFFile::setZoom(double zoom)
{
    if (zoom <= 0 || zoom == m_zoom)
        return;
    m_zoom = zoom;
    m_metrics.clear();
    invalidateAll();
}

void TxRTFFile::invalidateAll()
{
    std::function<void(TxRTFBasic &)> walk = [&](TxRTFBasic &e) {
        if (auto p = dynamic_cast<TxRTFPara *>(&e)) {
            p->m_laidOut = false;
            p->m_layoutWidth = -1;
        }
        if (auto g = dynamic_cast<TxRTFGroup *>(&e))
            for (int i = 0; i < g->count(); ++i)
                walk(*g->at(i));
    };
    walk(*this);
    if (m_header)
        walk(*m_header);
    if (m_footer)
        walk(*m_footer);
    m_pages.clear();
}

int TxRTFFile::toDeviceX(int twips) const
{
    return int(qBound(-1e9, std::round(twips * m_dpiX / 1440.0 * m_zoom), 1e9));
}

int TxRTFFile::toDeviceY(int twips) const
{
    return int(qBound(-1e9, std::round(twips * m_dpiY / 1440.0 * m_zoom), 1e9));
}

QFont TxRTFFile::qfont(const TxFontRec &rec) const
{
    QFont f(mappedFamily(rec.faceName));
    // Height 0 is the device's default: a 12-point character.
    const double points = rec.height == 0 ? 12.0 : qAbs(double(rec.height)) / 20.0;
    f.setPointSizeF(qBound(1.0, points * m_zoom, 2000.0));
    f.setWeight(QFont::Weight(qBound(100, rec.weight, 900)));
    f.setItalic(rec.italic);
    f.setUnderline(rec.underline);
    f.setStrikeOut(rec.strikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

const QFontMetricsF &TxRTFFile::metrics(const TxFontRec &rec) const
{
    auto it = m_metrics.find(rec);
    if (it == m_metrics.end())
        it = m_metrics.insert(rec, m_device ? QFontMetricsF(qfont(rec), m_device) : QFontMetricsF(qfont(rec)));
    return it.value();
}

// ---------------------------------------------------------------------------
// Fields

void TxRTFFile::resetSequences()
{
    m_sequences.clear();
    std::function<void(TxRTFBasic &)> walk = [&](TxRTFBasic &e) {
        if (auto f = dynamic_cast<TxRTFField *>(&e))
            f->seqNumber = -1;
        if (auto g = dynamic_cast<TxRTFGroup *>(&e))
            for (int i = 0; i < g->count(); ++i)
                walk(*g->at(i));
    };
    walk(*this);
}

bool TxRTFFile::isDynamicField(const TxRTFField &field) const
{
    const QString type = field.fieldType();
    return type == QLatin1String("PAGE") || type == QLatin1String("NUMPAGES") || type == QLatin1String("DATE")
        || type == QLatin1String("TIME");
}

QString TxRTFFile::computedFieldText(const TxRTFField &field, TxFontRec *font) const
{
    const QString type = field.fieldType();
    if (font)
        *font = field.font();
    if (type == QLatin1String("DATE"))
        return QLocale().toString(stamp.date(), QLocale::ShortFormat);
    if (type == QLatin1String("TIME"))
        return QLocale().toString(stamp.time(), QLocale::LongFormat);
    if (type == QLatin1String("PAGE"))
        return QString::number(currentPage);
    if (type == QLatin1String("NUMPAGES"))
        return QString::number(qMax(1, PageCount()));
    const QString rest = field.instruction.trimmed().mid(type.size()).trimmed();
    if (type == QLatin1String("SEQ")) {
        if (field.seqNumber < 0) {
            const QString name = rest.section(QLatin1Char(' '), 0, 0).toUpper();
            auto &self = const_cast<TxRTFFile &>(*this);
            const_cast<TxRTFField &>(field).seqNumber = ++self.m_sequences[name];
        }
        return QString::number(field.seqNumber);
    }
    if (type == QLatin1String("SYMBOL")) {
        bool ok = false;
        const int code = rest.section(QLatin1Char(' '), 0, 0).toInt(&ok);
        if (!ok || code <= 0 || code > 0xFFFF)
            return QString();
        if (font) {
            static const QRegularExpression faceRe(QStringLiteral("\\\\[fF]\\s*\"([^\"]*)\""));
            static const QRegularExpression sizeRe(QStringLiteral("\\\\[sS]\\s*(\\d+)"));
            const auto face = faceRe.match(rest);
            font->setFaceName(face.hasMatch() ? face.captured(1) : QStringLiteral("System"));
            const auto size = sizeRe.match(rest);
            if (size.hasMatch())
                font->height = -qMin(size.captured(1).toInt(), 1000) * 20;
        }
        return QString(QChar(char16_t(code)));
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Paragraph-level layout

void TxRTFPara::layout(int left, int width)
{
    if (m_laidOut && m_left == left && m_layoutWidth == width)
        return;
    doLayout(left, width);
    m_left = left;
    m_layoutWidth = width;
    m_laidOut = true;
}

namespace {

void flatten(const TxRTFGroup &group, const TxRTFFile *doc, QList<Atom> &atoms)
{
    for (int i = 0; i < group.count(); ++i) {
        const TxRTFBasic *e = group.at(i);
        if (auto run = dynamic_cast<const TxRTFChars *>(e)) {
            if (!run->chars().isEmpty())
                atoms.append({Atom::Text, run, &run->font(), run->chars()});
        } else if (dynamic_cast<const TxRTFTabChar *>(e)) {
            atoms.append({Atom::Tab, e, &e->font(), {}});
        } else if (dynamic_cast<const TxRTFPicture *>(e)) {
            atoms.append({Atom::Picture, e, &e->font(), {}});
        } else if (auto field = dynamic_cast<const TxRTFField *>(e)) {
            atoms.append({Atom::Boundary, e, nullptr, {}});
            TxFontRec font;
            const QString computed = doc ? doc->computedFieldText(*field, &font) : QString();
            if (!computed.isNull()) {
                // The computed text's font lives in the field's own record
                // unless SYMBOL chose another.
                const TxFontRec *f = &field->font();
                if (!(font == field->font())) {
                    // Kept for the program's life: line items point at them.
                    static thread_local std::deque<TxFontRec> symbolFonts;
                    auto it = std::find(symbolFonts.begin(), symbolFonts.end(), font);
                    if (it == symbolFonts.end())
                        it = symbolFonts.insert(symbolFonts.end(), font);
                    f = &*it;
                }
                atoms.append({Atom::Text, field, f, computed});
            } else {
                flatten(*field, doc, atoms);
            }
            atoms.append({Atom::Boundary, e, nullptr, {}});
        } else if (auto g = dynamic_cast<const TxRTFGroup *>(e)) {
            flatten(*g, doc, atoms);
        }
    }
}

// Line breaking state of one paragraph.
struct LineBuilder {
    const TxRTFFile *doc = nullptr;
    const TxRTFBasic *para = nullptr;
    int width = 1;  // available width
    QList<TxParaLine> lines;
    TxParaLine line;
    int x = 0;
    bool empty = true;
    double height = 0;
    double ascent = 0;

    void addMetrics(double h, double a)
    {
        height = qMax(height, h);
        ascent = qMax(ascent, a);
    }
    void place(const TxLineItem &item, double h, double a)
    {
        line.items.append(item);
        addMetrics(h, a);
        x = item.x + item.width;
        empty = false;
    }
    void finish()
    {
        if (line.items.isEmpty() && height == 0) {
            const QFontMetricsF &m = doc->metrics(para->font());
            addMetrics(m.height(), m.ascent());
        }
        line.height = int(std::ceil(height));
        line.baseline = int(std::ceil(ascent));
        line.shift = width - x;  // free width; turned into a shift by alignment
        lines.append(line);
        line = TxParaLine();
        x = 0;
        empty = true;
        height = ascent = 0;
    }
};

} // namespace

void TxRTFTextPara::doLayout(int left, int width)
{
    m_lines.clear();
    const TxRTFFile *doc = document();
    if (!doc)
        return;
    const int li = doc->toDeviceX(m_pf.leftIndent);
    const int ri = doc->toDeviceX(m_pf.rightIndent);
    const int fi = doc->toDeviceX(m_pf.firstIndent);
    LineBuilder lb;
    lb.doc = doc;
    lb.para = this;
    lb.width = qMax(1, width - li - ri);
    const int W = lb.width;
    lb.x = fi;

    QList<Atom> atoms;
    flatten(*this, doc, atoms);

    // Words: text up to and including the run of break characters after it,
    // across runs; tabs, pictures and fields end a word.
    struct Frag {
        const Atom *atom;
        int from;
        int len;
        double w;
    };
    QList<Frag> word;
    auto measure = [doc](const Atom &a, int from, int len) {
        return doc->metrics(*a.font).horizontalAdvance(a.text.mid(from, len));
    };
    auto placeFrag = [&](const Frag &f) {
        const QFontMetricsF &m = doc->metrics(*f.atom->font);
        TxLineItem item{f.atom->element, f.atom->font, f.atom->text.mid(f.from, f.len), lb.x,
                        int(std::ceil(f.w))};
        lb.place(item, m.height(), m.ascent());
        lb.x = item.x + int(std::round(f.w));
    };
    auto flushWord = [&]() {
        if (word.isEmpty())
            return;
        double ww = 0;
        for (const Frag &f : word)
            ww += f.w;
        if (lb.x + ww > W && !lb.empty && ww <= W)
            lb.finish();
        if (lb.x + ww <= W) {
            for (const Frag &f : word)
                placeFrag(f);
            word.clear();
            return;
        }
        // Longer than the rest of the line and than a whole line: cut after
        // the longest prefix that fits, at least one character.
        QList<Frag> rest = word;
        word.clear();
        while (!rest.isEmpty()) {
            double total = 0;
            for (const Frag &f : rest)
                total += f.w;
            if (lb.x + total <= W) {
                for (const Frag &f : rest)
                    placeFrag(f);
                break;
            }
            double avail = W - lb.x;
            QList<Frag> prefix;
            int placedChars = 0;
            while (!rest.isEmpty()) {
                Frag f = rest.first();
                if (f.w <= avail) {
                    prefix.append(f);
                    avail -= f.w;
                    placedChars += f.len;
                    rest.removeFirst();
                    continue;
                }
                int lo = 0, hi = f.len;  // longest fitting prefix of this fragment
                while (lo < hi) {
                    const int mid = (lo + hi + 1) / 2;
                    if (measure(*f.atom, f.from, mid) <= avail)
                        lo = mid;
                    else
                        hi = mid - 1;
                }
                if (lo == 0 && placedChars == 0) {
                    if (!lb.empty)
                        break;  // try again on a fresh line
                    lo = 1;
                }
                if (lo > 0) {
                    prefix.append({f.atom, f.from, lo, measure(*f.atom, f.from, lo)});
                    placedChars += lo;
                    rest.first() = {f.atom, f.from + lo, f.len - lo, measure(*f.atom, f.from + lo, f.len - lo)};
                }
                break;
            }
            for (const Frag &f : prefix)
                placeFrag(f);
            lb.finish();
        }
    };

    for (int ai = 0; ai < atoms.size(); ++ai) {
        const Atom &a = atoms[ai];
        switch (a.kind) {
        case Atom::Boundary:
            flushWord();
            break;
        case Atom::Tab: {
            flushWord();
            auto target = [&](int from) {
                for (int stop : m_pf.tabStops) {
                    const int t = doc->toDeviceX(stop);
                    if (t > from)
                        return t;
                }
                const int half = qMax(1, doc->toDeviceX(720));
                return (from / half + 1) * half;
            };
            int to = target(lb.x);
            if (to > W) {
                lb.finish();
                to = target(0);
                if (to > W)
                    break;
            }
            const QFontMetricsF &m = doc->metrics(*a.font);
            lb.place(TxLineItem{a.element, a.font, {}, lb.x, to - lb.x}, m.height(), m.ascent());
            break;
        }
        case Atom::Picture: {
            flushWord();
            auto pic = static_cast<const TxRTFPicture *>(a.element);
            const int pw = qBound(0, doc->toDeviceX(pic->widthTwips()), W);
            const int ph = qMax(0, doc->toDeviceY(pic->heightTwips()));
            if (lb.x + pw > W && !lb.empty)
                lb.finish();
            lb.place(TxLineItem{a.element, a.font, {}, lb.x, pw}, ph, ph);
            break;
        }
        case Atom::Text: {
            const QString &t = a.text;
            if (dynamic_cast<const TxRTFField *>(a.element)) {
                // A computed result (a page number, a date) is redrawn whole
                // with the values of the moment: one unbreakable piece.
                word.append({&a, 0, int(t.size()), measure(a, 0, int(t.size()))});
                flushWord();
                break;
            }
            int start = 0;
            for (int i = 0; i < t.size(); ++i) {
                if (!isBreakChar(t[i]))
                    continue;
                // The word ends after a run of break characters, unless the
                // run goes on in the next text atom.
                QChar next;
                bool nextKnown = false;
                if (i + 1 < t.size()) {
                    next = t[i + 1];
                    nextKnown = true;
                } else if (ai + 1 < atoms.size() && atoms[ai + 1].kind == Atom::Text
                           && !atoms[ai + 1].text.isEmpty()) {
                    next = atoms[ai + 1].text[0];
                    nextKnown = true;
                }
                if (nextKnown && isBreakChar(next))
                    continue;
                word.append({&a, start, i + 1 - start, measure(a, start, i + 1 - start)});
                flushWord();
                start = i + 1;
            }
            if (start < t.size())
                word.append({&a, start, int(t.size()) - start, measure(a, start, int(t.size()) - start)});
            break;
        }
        }
    }
    flushWord();
    lb.finish();
    m_lines = lb.lines;

    // Line spacing, space before and after, alignment.
    qint64 top = 0;
    for (int i = 0; i < m_lines.size(); ++i) {
        TxParaLine &l = m_lines[i];
        const int sl = m_pf.lineSpacing;
        if (sl != 0 && sl != 1000) {
            if (m_pf.multiSpacing)
                l.height = int(qMin<qint64>(qint64(l.height) * qAbs(sl) / 240, kMaxExtent));
            else if (sl < 0)
                l.height = doc->toDeviceY(-sl);
            else
                l.height = qMax(l.height, doc->toDeviceY(sl));
        }
        if (i == 0) {
            const int sb = qMax(0, doc->toDeviceY(m_pf.spaceBefore));
            l.height += sb;
            l.baseline += sb;
        }
        if (i == m_lines.size() - 1)
            l.height += qMax(0, doc->toDeviceY(m_pf.spaceAfter));
        switch (m_pf.alignment) {
        case TxParaFormat::Right: break;
        case TxParaFormat::Centre: l.shift /= 2; break;
        default: l.shift = 0; break;
        }
        l.top = int(qMin<qint64>(top, kMaxExtent));
        top += l.height;
    }
    m_height = int(qMin<qint64>(top, kMaxExtent));
    m_width = width;
}

bool TxRTFTextPara::linePageBreak(int line) const
{
    return m_pf.pageBreak && line == m_lines.size() - 1;
}

int TxRTFTextPara::drawLine(QPainter &painter, int index, int y) const
{
    const TxRTFFile *doc = document();
    if (!doc || index < 0 || index >= m_lines.size())
        return 0;
    const TxParaLine &l = m_lines[index];
    const int li = doc->toDeviceX(m_pf.leftIndent);
    const int ri = doc->toDeviceX(m_pf.rightIndent);
    const int textLeft = m_left + li;
    if (m_pf.patternBackground >= 0 || m_pf.shading > 0) {
        const QRgb bg = doc->color(m_pf.patternBackground, qRgb(255, 255, 255));
        painter.fillRect(QRect(textLeft, y, qMax(1, m_layoutWidth - li - ri), l.height), shaded(bg, m_pf.shading));
    }
    painter.setPen(Qt::black);
    for (const TxLineItem &item : l.items) {
        const int x = textLeft + l.shift + item.x;
        if (auto pic = dynamic_cast<const TxRTFPicture *>(item.element)) {
            const int ph = doc->toDeviceY(pic->heightTwips());
            pic->draw(painter, QRect(x, y + l.baseline - ph, item.width, ph));
            continue;
        }
        if (item.text.isEmpty() && !dynamic_cast<const TxRTFField *>(item.element))
            continue;  // a tab
        QString text = item.text;
        if (auto field = dynamic_cast<const TxRTFField *>(item.element); field && doc->isDynamicField(*field))
            text = doc->computedFieldText(*field);
        painter.setFont(doc->qfont(*item.font));
        painter.drawText(QPointF(x, y + l.baseline), text);
    }
    return l.height;
}

void TxRTFPicture::draw(QPainter &painter, const QRect &rect) const
{
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void TxRTFBitmap::draw(QPainter &painter, const QRect &rect) const
{
    if (!m_decoded) {
        m_image.loadFromData(m_data);
        m_decoded = true;
    }
    if (m_image.isNull()) {
        TxRTFPicture::draw(painter, rect);
        return;
    }
    painter.drawImage(rect, m_image);
}

// ---------------------------------------------------------------------------
// Tables

void TxRTFTableRow::doLayout(int left, int width)
{
    TxRTFFile *doc = document();
    m_cellLeft.clear();
    m_cellRight.clear();
    if (!doc)
        return;
    const int rowLeft = left + doc->toDeviceX(m_def.left);
    int prev = 0;  // twips; bounded by the reader
    int highest = 0;
    for (int k = 0; k < count(); ++k) {
        const int right = k < m_def.cells.size() ? m_def.cells[k].right : prev + 1440;
        const int cl = rowLeft + doc->toDeviceX(prev + m_def.gap);
        const int cr = rowLeft + doc->toDeviceX(right - m_def.gap);
        m_cellLeft.append(rowLeft + doc->toDeviceX(prev));
        m_cellRight.append(rowLeft + doc->toDeviceX(right));
        if (auto cell = dynamic_cast<TxRTFCell *>(at(k))) {
            cell->layout(cl, qMax(1, cr - cl));
            highest = qMax(highest, cell->totalHeight());
        }
        prev = right;
    }
    const TxCellDef first = m_def.cells.value(0);
    auto border = [doc](int twips) { return twips > 0 ? qMax(1, doc->toDeviceY(twips)) : 0; };
    m_height = highest + border(first.borderTop) + border(first.borderBottom);
    m_width = width;
}

const TxRTFTableRow *TxRTFTableRow::repeatedHeaderRow(int) const
{
    return (!m_def.header && m_headerRow) ? m_headerRow : nullptr;
}

int TxRTFTableRow::drawLine(QPainter &painter, int, int y) const
{
    const TxRTFFile *doc = document();
    if (!doc)
        return 0;
    auto device = [doc](int twips, bool vertical) {
        const int d = vertical ? doc->toDeviceY(twips) : doc->toDeviceX(twips);
        return twips > 0 ? qMax(1, d) : 0;
    };
    const TxCellDef first = m_def.cells.value(0);
    const int top = device(first.borderTop, true);
    for (int k = 0; k < count() && k < m_cellLeft.size(); ++k) {
        const TxCellDef def = m_def.cells.value(k);
        if (def.patternBackground >= 0 || def.shading > 0) {
            const QRgb bg = doc->color(def.patternBackground, qRgb(255, 255, 255));
            painter.fillRect(QRect(m_cellLeft[k], y, m_cellRight[k] - m_cellLeft[k], m_height),
                             shaded(bg, def.shading));
        }
        if (auto cell = dynamic_cast<const TxRTFCell *>(at(k)))
            cell->drawAll(painter, y + top);
    }
    // Borders in black: w one-pixel lines centred on the edge.
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    auto vline = [&](int x, int w) {
        for (int i = 0; i < qMax(1, w); ++i)
            painter.drawLine(x - w / 2 + i, y, x - w / 2 + i, y + m_height - 1);
    };
    auto hline = [&](int x1, int x2, int yy, int w) {
        for (int i = 0; i < qMax(1, w); ++i)
            painter.drawLine(x1, yy - w / 2 + i, x2, yy - w / 2 + i);
    };
    for (int k = 0; k < m_cellLeft.size(); ++k) {
        const TxCellDef def = m_def.cells.value(k);
        if (k == 0 && def.borderLeft > 0)
            vline(m_cellLeft[0], device(def.borderLeft, false));
        if (def.borderRight > 0)
            vline(m_cellRight[k], device(def.borderRight, false));
        if (def.borderTop > 0)
            hline(m_cellLeft[k], m_cellRight[k], y, device(def.borderTop, true));
        if (def.borderBottom > 0)
            hline(m_cellLeft[k], m_cellRight[k], y + m_height - 1, device(def.borderBottom, true));
    }
    painter.restore();
    return m_height;
}

// ---------------------------------------------------------------------------
// Blocks

void TxRTFBlock::doLayout(int left, int width)
{
    TxRTFFile *doc = document();
    m_lineStarts.clear();
    m_lines = 0;
    qint64 height = 0;
    TxRTFTableRow *previousRow = nullptr;
    for (int i = 0; i < count(); ++i) {
        m_lineStarts.append(m_lines);
        auto para = dynamic_cast<TxRTFPara *>(at(i));
        if (!para) {
            previousRow = nullptr;
            continue;
        }
        if (doc && doc->layoutTick())
            break;
        para->layout(left, width);
        if (auto row = dynamic_cast<TxRTFTableRow *>(para)) {
            // Rows that follow each other make one table; its header row is
            // the nearest one marked above.
            if (previousRow)
                row->setTableLinks(true, previousRow->isHeader() ? previousRow : previousRow->headerRow());
            else
                row->setTableLinks(false, nullptr);
            previousRow = row;
        } else {
            previousRow = nullptr;
        }
        m_lines += para->lineCount();
        height += para->totalHeight();
    }
    m_height = int(qMin<qint64>(height, kMaxExtent));
    m_width = width;
}

int TxRTFBlock::lineCount() const
{
    return m_lines;
}

const TxRTFPara *TxRTFBlock::paraOfLine(int line, int &localLine) const
{
    if (line < 0 || line >= m_lines)
        return nullptr;
    // The last child whose first line is at or before the line.
    auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), line);
    int index = int(it - m_lineStarts.begin()) - 1;
    while (index >= 0) {
        auto para = dynamic_cast<const TxRTFPara *>(at(index));
        if (para && line - m_lineStarts[index] < para->lineCount()) {
            localLine = line - m_lineStarts[index];
            return para;
        }
        --index;
    }
    return nullptr;
}

int TxRTFBlock::lineHeight(int line) const
{
    int local = 0;
    const TxRTFPara *p = paraOfLine(line, local);
    return p ? p->lineHeight(local) : 0;
}

bool TxRTFBlock::linePageBreak(int line) const
{
    int local = 0;
    const TxRTFPara *p = paraOfLine(line, local);
    return p && p->linePageBreak(local);
}

bool TxRTFBlock::lineStartsPage(int line) const
{
    int local = 0;
    const TxRTFPara *p = paraOfLine(line, local);
    return p && p->lineStartsPage(local);
}

const TxRTFTableRow *TxRTFBlock::repeatedHeaderRow(int line) const
{
    int local = 0;
    const TxRTFPara *p = paraOfLine(line, local);
    return p ? p->repeatedHeaderRow(local) : nullptr;
}

int TxRTFBlock::drawLine(QPainter &painter, int line, int y) const
{
    int local = 0;
    const TxRTFPara *p = paraOfLine(line, local);
    return p ? p->drawLine(painter, local, y) : 0;
}

int TxRTFBlock::drawAll(QPainter &painter, int y) const
{
    int h = 0;
    for (int i = 0; i < m_lines; ++i)
        h += drawLine(painter, i, y + h);
    return h;
}

// ---------------------------------------------------------------------------
// Pages

bool TxRTFFile::layoutTick()
{
    if (!m_paginating)
        return false;
    if ((++m_layoutTicks & 63) == 0) {
        TRTFProgress &progress = TRTFProgress::shared();
        progress.setPosition(m_layoutTicks);
        if (progress.cancelled())
            m_layoutCancelled = true;
    }
    return m_layoutCancelled;
}

bool TxRTFFile::Paginate()
{
    if (!m_device) {
        if (!m_defaultDevice)
            m_defaultDevice = std::make_unique<TxRTFMeasureDevice>(96);
        SetDevice(m_defaultDevice.get());
    }
    if (!stamp.isValid())
        stamp = QDateTime::currentDateTime();
    m_pages.clear();
    TRTFProgressScope scope(tr("Идет форматирование текста и разбивка на страницы.\nПодождите немного, пожалуйста..."),
                            QString(), documentObjectCount(), QString());
    m_paginating = true;
    m_layoutTicks = 0;
    m_layoutCancelled = false;
    const int width = qMax(1, toDeviceX(page.textWidth()));
    layout(0, width);
    if (m_header)
        m_header->layout(0, width);
    if (m_footer)
        m_footer->layout(0, width);
    m_paginating = false;
    if (m_layoutCancelled) {
        invalidateAll();
        return false;
    }
    return paginateLines();
}

bool TxRTFFile::paginateLines()
{
    TRTFProgress &progress = TRTFProgress::shared();
    const int n = lineCount();
    const int body = toDeviceY(page.bodyHeight());
    progress.setMaximum(n);
    int i = 0;
    while (i < n) {
        qint64 total = qint64(repeatedHeaderHeight(i)) + lineHeight(i);
        int k = i;
        while (!linePageBreak(k) && k + 1 < n && !lineStartsPage(k + 1)) {
            total += lineHeight(k + 1);
            ++k;
            if (total > body)
                break;
        }
        if (total > body && k > i)
            --k;  // the line that overflowed starts the next page
        m_pages.append(TxRTFPage{page.pageStart + int(m_pages.size()), i, k});
        i = k + 1;
        progress.setPosition(i, tr("Найдено %1 страниц.").arg(m_pages.size()));
        if (progress.cancelled())
            return false;
    }
    return true;
}

int TxRTFFile::pageOfLine(int line) const
{
    for (int p = 0; p < m_pages.size(); ++p)
        if (line <= m_pages[p].lastLine)
            return p;
    return int(m_pages.size()) - 1;
}

int TxRTFFile::repeatedHeaderHeight(int line) const
{
    const TxRTFTableRow *row = repeatedHeaderRow(line);
    return row ? row->lineHeight(0) : 0;
}

int TxRTFFile::drawBodyLine(QPainter &painter, int line, int y) const
{
    return drawLine(painter, line, y);
}

int TxRTFFile::drawRepeatedHeader(QPainter &painter, int line, int y) const
{
    const TxRTFTableRow *row = repeatedHeaderRow(line);
    return row ? row->drawLine(painter, 0, y) : 0;
}

void TxRTFFile::drawPage(QPainter &painter, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= m_pages.size())
        return;
    const TxRTFPage &pg = m_pages[pageIndex];
    currentPage = pg.number;
    painter.save();
    painter.translate(toDeviceX(page.marginLeft), 0);
    if (m_header)
        m_header->drawAll(painter, toDeviceY(page.headerY));
    int y = toDeviceY(page.marginTop);
    y += drawRepeatedHeader(painter, pg.firstLine, y);
    for (int line = pg.firstLine; line <= pg.lastLine; ++line)
        y += drawBodyLine(painter, line, y);
    if (m_footer)
        m_footer->drawAll(painter, toDeviceY(page.paperHeight - page.footerY));
    painter.restore();
}

} // namespace korvex::documents
