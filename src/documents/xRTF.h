#pragma once

// The in-memory document model of every printed document: a tree of
// elements owned by one TxRTFFile, read from and written to RTF, laid out into
// pages on any paint device.

#include "documents/xRTFErrors.h"

#include <QByteArray>
#include <QDateTime>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QRgb>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class QPaintDevice;
class QFont;

namespace korvex::documents {

class TxRTFWriter;
class TxRTFReader;
class TxRTFGroup;
class TxRTFFile;
class TxRTFField;
class TxRTFTableRow;
class TxRTFLoader;

// Character format: the fields of the platform's logical font record.
struct TxFontRec {
    int height = 0;       // negative twips: -10 x the RTF size in half points; 0 = device default
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;     // 400 normal, 700 bold
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = 204;  // Cyrillic
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    QString faceName;      // at most 31 characters

    static constexpr int FaceNameSize = 32;
    void setFaceName(const QString &name) { faceName = name.left(FaceNameSize - 1); }
    bool operator==(const TxFontRec &) const = default;
};
size_t qHash(const TxFontRec &f, size_t seed = 0);

// Paragraph format of text paragraphs; sizes in twips as in RTF.
struct TxParaFormat {
    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool multiSpacing = false;
    int style = 0;
    bool hyphenate = false;
    bool keep = false;
    bool keepNext = false;
    int outlineLevel = 0;
    bool pageBreakBefore = false;
    bool sideBySide = false;
    int alignment = 0;  // 0 left, 1 right, 2 centre, 3 justified
    int shading = 0;    // in hundredths of a per cent
    int patternForeground = -1;  // colour table indexes; -1 = the default
    int patternBackground = -1;
    QList<int> tabStops;
    bool pageBreak = false;  // the paragraph ended with \page

    enum Alignment { Left = 0, Right = 1, Centre = 2, Justified = 3 };
    bool operator==(const TxParaFormat &) const = default;
};

struct TxCellDef {
    int right = 0;  // \cellx, from the row's left edge
    int shading = 0;
    int borderLeft = 0;
    int borderTop = 0;
    int borderRight = 0;
    int borderBottom = 0;
    int patternBackground = -1;
    int patternForeground = -1;
    bool operator==(const TxCellDef &) const = default;
};

struct TxRowDef {
    int gap = 0;    // \trgaph
    int left = 0;   // \trleft
    bool header = false;
    QList<TxCellDef> cells;
    bool operator==(const TxRowDef &) const = default;
};

// The form-field data block of a data field (\datafield).
struct TxDataFieldRec {
    QByteArray header;  // 8 bytes
    QString name;
    quint8 flag = 0;
    QString defaultText;
    bool operator==(const TxDataFieldRec &) const = default;
};

struct TxRTFFont {
    int number = 0;
    QString name;
    int charset = -1;  // \fcharset, -1 when not given
    bool operator==(const TxRTFFont &) const = default;
};

struct TxPageSettings {
    int paperWidth = 12240;
    int paperHeight = 15840;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    int headerY = 720;
    int footerY = 720;
    int pageStart = 1;
    bool landscape = false;

    int bodyHeight() const { return paperHeight - marginTop - marginBottom; }
    int textWidth() const { return paperWidth - marginLeft - marginRight; }
    bool operator==(const TxPageSettings &) const = default;
};

struct TxRTFPage {
    int number = 0;
    int firstLine = 0;
    int lastLine = 0;
};

// One placed piece of a laid-out line: text of one format, a tab or a picture.
struct TxLineItem {
    const class TxRTFBasic *element = nullptr;  // run, tab, picture, or the field of a computed result
    const TxFontRec *font = nullptr;
    QString text;
    int x = 0;
    int width = 0;
};

// One line of a laid-out paragraph, positions in device units from the
// paragraph's left edge and top.
struct TxParaLine {
    QList<TxLineItem> items;
    int top = 0;
    int height = 0;
    int baseline = 0;  // from the line's top
    int shift = 0;     // alignment shift
};

// ---------------------------------------------------------------------------
// Elements

class TxRTFBasic
{
public:
    TxRTFBasic() = default;
    virtual ~TxRTFBasic();
    TxRTFBasic(const TxRTFBasic &) = delete;
    TxRTFBasic &operator=(const TxRTFBasic &) = delete;

    virtual QString className() const { return QStringLiteral("TxRTFBasic"); }
    // Copies the formats and, for groups, the children.
    virtual void assign(const TxRTFBasic &source);
    std::unique_ptr<TxRTFBasic> clone() const;

    TxRTFGroup *parent() const { return m_parent; }
    TxRTFFile *document() const;

    const TxFontRec &font() const { return m_font; }
    void setFont(const TxFontRec &font);

    // Marks the layout of this element and of everything that contains it stale.
    virtual void invalidate();

    virtual void write(TxRTFWriter &writer) const;
    // Visible text: runs, tabs as "\t"; for the command line and the report engine.
    virtual QString text() const { return {}; }

    // Size after layout, in device units.
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Approximate memory the element holds, for the preview's information box.
    virtual qint64 memorySize() const;
    int objectCount() const;
    virtual void dump(QString &out, int depth) const;
    virtual void forEachChild(const std::function<void(const TxRTFBasic &)> &) const {}

protected:
    friend class TxRTFGroup;
    friend class TxRTFFile;
    void dumpHead(QString &out, int depth) const;

    TxRTFGroup *m_parent = nullptr;
    TxFontRec m_font;
    int m_width = 0;
    int m_height = 0;
};

class TxRTFChars : public TxRTFBasic
{
public:
    QString className() const override { return QStringLiteral("TxRTFChars"); }
    void assign(const TxRTFBasic &source) override;
    void write(TxRTFWriter &writer) const override;
    QString text() const override { return m_text; }
    qint64 memorySize() const override;
    void dump(QString &out, int depth) const override;

    const QString &chars() const { return m_text; }
    void setChars(const QString &text);
    void appendChars(const QString &text);

private:
    QString m_text;
};

class TxRTFTabChar : public TxRTFBasic
{
public:
    QString className() const override { return QStringLiteral("TxRTFTabChar"); }
    void write(TxRTFWriter &writer) const override;
    QString text() const override { return QStringLiteral("\t"); }
};

class TxRTFPicture : public TxRTFBasic
{
public:
    enum Kind { WindowsMetafile, EnhancedMetafile, Png, Jpeg };

    QString className() const override { return QStringLiteral("TxRTFPicture"); }
    void assign(const TxRTFBasic &source) override;
    void write(TxRTFWriter &writer) const override;
    qint64 memorySize() const override;
    void dump(QString &out, int depth) const override;

    Kind kind() const { return m_kind; }
    const QByteArray &data() const { return m_data; }
    void setData(Kind kind, const QByteArray &data, int mappingMode = 8);
    int mappingMode() const { return m_mappingMode; }

    int picW = 0, picH = 0;          // \picw, \pich: pixels, or 0.01 mm for metafiles
    int goalW = 0, goalH = 0;        // \picwgoal, \pichgoal: twips
    int scaleX = 100, scaleY = 100;  // per cent
    int cropT = 0, cropB = 0, cropL = 0, cropR = 0;

    // The picture's size in twips at 100 %, from the goal size or, without
    // one, from its own size.
    int naturalWidth() const;
    int naturalHeight() const;
    int widthTwips() const { return int(qint64(naturalWidth()) * scaleX / 100); }
    int heightTwips() const { return int(qint64(naturalHeight()) * scaleY / 100); }

    virtual void draw(QPainter &painter, const class QRect &rect) const;

protected:
    Kind m_kind = WindowsMetafile;
    QByteArray m_data;
    int m_mappingMode = 8;
};

// A Windows metafile read from RTF: kept and written back; drawn as a frame of
// its size, since no drawing engine here plays metafiles.
class TxRTFMetafile : public TxRTFPicture
{
public:
    QString className() const override { return QStringLiteral("TxRTFMetafile"); }
};

// A PNG or JPEG picture: read from RTF, or made by the report engine from an image.
class TxRTFBitmap : public TxRTFPicture
{
public:
    TxRTFBitmap() { m_kind = Png; }
    QString className() const override { return QStringLiteral("TxRTFBitmap"); }
    // Stores the image as PNG at its own pixel size, 100 % scale.
    void setImage(const QImage &image);
    void draw(QPainter &painter, const QRect &rect) const override;

private:
    mutable QImage m_image;  // decoded on first drawing
    mutable bool m_decoded = false;
};

class TxRTFGroup : public TxRTFBasic
{
public:
    ~TxRTFGroup() override;
    QString className() const override { return QStringLiteral("TxRTFGroup"); }
    void assign(const TxRTFBasic &source) override;
    void write(TxRTFWriter &writer) const override;
    QString text() const override;

    int count() const { return int(m_items.size()); }
    TxRTFBasic *at(int index) const { return m_items[size_t(index)].get(); }
    TxRTFBasic *last() const { return m_items.empty() ? nullptr : m_items.back().get(); }
    int indexOf(const TxRTFBasic *element) const;

    TxRTFBasic *append(std::unique_ptr<TxRTFBasic> element);
    TxRTFBasic *insert(int index, std::unique_ptr<TxRTFBasic> element);
    std::unique_ptr<TxRTFBasic> take(int index);
    void removeAt(int index) { take(index); }
    void clear();
    // Creates an element by class name and appends it.
    TxRTFBasic *add(const QString &className);
    template <class T> T *addNew() { return static_cast<T *>(append(std::make_unique<T>())); }

    qint64 memorySize() const override;
    void dump(QString &out, int depth) const override;
    void forEachChild(const std::function<void(const TxRTFBasic &)> &f) const override;

protected:
    std::vector<std::unique_ptr<TxRTFBasic>> m_items;
};

// Inline text: runs, tabs and pictures.
class TxRTFText : public TxRTFGroup
{
public:
    QString className() const override { return QStringLiteral("TxRTFText"); }
};

class TxRTFField : public TxRTFText
{
public:
    QString className() const override { return QStringLiteral("TxRTFField"); }
    void assign(const TxRTFBasic &source) override;
    void write(TxRTFWriter &writer) const override;
    void dump(QString &out, int depth) const override;

    // Replaces the visible result by one run of the field's own format.
    void setResultText(const QString &text);

    QString instruction;   // \fldinst
    QString result;        // \fldrslt as read
    bool dirty = false, edited = false, locked = false, isPrivate = false, alternate = false;
    bool isDataField = false;
    TxDataFieldRec dataRec;
    bool isFormField = false;
    int formFieldType = 0;
    int formFieldTypeText = 0;
    QString ffName;        // \ffname
    QString ffDefText;     // \ffdeftext
    int seqNumber = -1;    // SEQ value once computed

    // The first word of the instruction, upper-cased.
    QString fieldType() const;
};

class TxRTFPara : public TxRTFGroup
{
public:
    QString className() const override { return QStringLiteral("TxRTFPara"); }
    void assign(const TxRTFBasic &source) override;
    void invalidate() override;

    const TxParaFormat &paraFormat() const { return m_pf; }
    void setParaFormat(const TxParaFormat &pf);

    // Layout: left edge and width of the container in device units.
    void layout(int left, int width);
    bool isLaidOut() const { return m_laidOut; }
    int left() const { return m_left; }

    virtual int lineCount() const { return 0; }
    virtual int lineHeight(int line) const { return 0; }
    virtual bool linePageBreak(int line) const { return false; }  // a page ends after this line
    virtual bool lineStartsPage(int line) const { return false; } // a page starts at this line
    // The header row to repeat above this line when a page starts with it.
    virtual const TxRTFTableRow *repeatedHeaderRow(int line) const { return nullptr; }
    // Draws one line with its top at y; returns its height.
    virtual int drawLine(QPainter &painter, int line, int y) const { return 0; }
    int totalHeight() const;

protected:
    friend class TxRTFFile;
    virtual void doLayout(int left, int width) {}

    TxParaFormat m_pf;
    bool m_laidOut = false;
    int m_left = 0;
    int m_layoutWidth = -1;
};

class TxRTFTextPara : public TxRTFPara
{
public:
    QString className() const override { return QStringLiteral("TxRTFTextPara"); }
    void write(TxRTFWriter &writer) const override;
    void dump(QString &out, int depth) const override;

    int lineCount() const override { return int(m_lines.size()); }
    int lineHeight(int line) const override { return m_lines[line].height; }
    bool linePageBreak(int line) const override;
    bool lineStartsPage(int line) const override { return line == 0 && m_pf.pageBreakBefore; }
    int drawLine(QPainter &painter, int line, int y) const override;
    const QList<TxParaLine> &lines() const { return m_lines; }

    bool inCell() const;
    bool isLastInCell() const;

protected:
    void doLayout(int left, int width) override;

private:
    QList<TxParaLine> m_lines;
};

class TxRTFCell;

class TxRTFTableRow : public TxRTFPara
{
public:
    QString className() const override { return QStringLiteral("TxRTFTableRow"); }
    void assign(const TxRTFBasic &source) override;
    void write(TxRTFWriter &writer) const override;
    QString text() const override;
    void dump(QString &out, int depth) const override;

    const TxRowDef &rowDef() const { return m_def; }
    void setRowDef(const TxRowDef &def);
    bool isHeader() const { return m_def.header; }
    void setHeader(bool header);
    TxRTFCell *cell(int index) const;

    int lineCount() const override { return 1; }
    int lineHeight(int) const override { return m_height; }
    const TxRTFTableRow *repeatedHeaderRow(int line) const override;
    int drawLine(QPainter &painter, int line, int y) const override;

    // Set by the enclosing block's layout.
    bool continuesTable() const { return m_continues; }
    const TxRTFTableRow *headerRow() const { return m_headerRow; }
    void setTableLinks(bool continues, const TxRTFTableRow *header)
    {
        m_continues = continues;
        m_headerRow = header;
    }

protected:
    void doLayout(int left, int width) override;

private:
    TxRowDef m_def;
    bool m_continues = false;
    const TxRTFTableRow *m_headerRow = nullptr;
    QList<int> m_cellLeft;   // device units, absolute
    QList<int> m_cellRight;
};

class TxRTFBlock : public TxRTFPara
{
public:
    QString className() const override { return QStringLiteral("TxRTFBlock"); }
    QString text() const override;

    int lineCount() const override;
    int lineHeight(int line) const override;
    bool linePageBreak(int line) const override;
    bool lineStartsPage(int line) const override;
    const TxRTFTableRow *repeatedHeaderRow(int line) const override;
    int drawLine(QPainter &painter, int line, int y) const override;

    // Finds the paragraph-level child holding a line of this block.
    const TxRTFPara *paraOfLine(int line, int &localLine) const;
    // Draws all lines of the block from its top at y; returns the height.
    int drawAll(QPainter &painter, int y) const;

    // The data fields inside this block, in document order.
    QList<TxRTFField *> dataFields() const;

protected:
    void doLayout(int left, int width) override;

private:
    QList<int> m_lineStarts;  // first line of each child after layout
    int m_lines = 0;
};

class TxRTFCell : public TxRTFBlock
{
public:
    QString className() const override { return QStringLiteral("TxRTFCell"); }
    void write(TxRTFWriter &writer) const override;
};

class TxRTFHeaderFooter : public TxRTFBlock
{
public:
    QString className() const override { return QStringLiteral("TxRTFHeaderFooter"); }
};

// A paint device that only measures: for laying a document out at a given
// resolution without drawing it (page counts on the command line, tests).
class TxRTFMeasureDevice : public QPaintDevice
{
public:
    explicit TxRTFMeasureDevice(int dpi = 600, int widthTwips = 12240, int heightTwips = 15840)
        : m_dpi(dpi), m_width(widthTwips), m_height(heightTwips) {}
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int m_dpi;
    int m_width;
    int m_height;
};

// Creates an element by class name, letter case ignored; ExRTF for any other name.
std::unique_ptr<TxRTFBasic> createRTFElement(const QString &className);

// ---------------------------------------------------------------------------

class TxRTFFile : public TxRTFBlock
{
public:
    TxRTFFile();
    ~TxRTFFile() override;
    QString className() const override { return QStringLiteral("TxRTFFile"); }
    // A whole copy: settings, header and footer, body.
    void assign(const TxRTFBasic &source) override;

    // Groups nested deeper than this make the reader call the file corrupted:
    // word processors nest a few dozen at most, and each level costs memory
    // and stack in every walk of the tree.
    static constexpr int MaxGroupDepth = 1000;

    // Clears the document and reads the file; false when the user cancelled or
    // abandoned opening the file. Read errors are exceptions.
    bool LoadFromFile(const QString &fileName);
    // The same over an open device (the file's bytes); used by tests and fuzzing.
    bool loadFromDevice(QIODevice &device);

    void WritePrologue(TxRTFWriter &writer) const;
    // Writes prologue and body; false when the user abandoned creating the file.
    bool SaveToFile(const QString &fileName) const;
    // The same into an open device.
    void writeTo(QIODevice &device) const;

    void CopySettingsFrom(const TxRTFFile &other);
    void CopyHeaderFooterFrom(const TxRTFFile &other);

    void clearDocument();
    bool isLoading() const { return m_loading; }
    bool isDrawing() const { return m_drawing; }
    void setDrawing(bool drawing) { m_drawing = drawing; }

    // Settings
    QList<TxRTFFont> fonts;
    QList<QRgb> colors;           // at most MaxColors
    static constexpr int MaxColors = 100;
    int defaultFont = 0;          // \deff
    int version = 1;
    QString charsetKeyword;       // "ansi", ...
    int codePage = 1251;          // \ansicpg
    TxPageSettings page;

    TxRTFHeaderFooter *header() const { return m_header.get(); }
    TxRTFHeaderFooter *footer() const { return m_footer.get(); }
    TxRTFHeaderFooter *createHeader();
    TxRTFHeaderFooter *createFooter();

    QString fontName(int number, bool *found = nullptr) const;
    int fontCharset(int number) const;
    int fontNumber(const QString &faceName) const;  // first font with the name, 0 when none
    QRgb color(int index, QRgb fallback) const;

    // The block new body content is read into (the last child block).
    TxRTFBlock *readingBlock();

    // Layout
    void SetDevice(QPaintDevice *device);
    QPaintDevice *device() const { return m_device; }
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    // Lays the document out and builds the pages; false when the user stopped it.
    bool Paginate();
    int PageCount() const { return int(m_pages.size()); }
    const QList<TxRTFPage> &pages() const { return m_pages; }
    int pageOfLine(int line) const;

    int toDeviceX(int twips) const;
    int toDeviceY(int twips) const;
    QFont qfont(const TxFontRec &font) const;
    const QFontMetricsF &metrics(const TxFontRec &font) const;

    // Draws one body line with its top at y (the painter's origin at the
    // text's left edge); returns its height.
    int drawBodyLine(QPainter &painter, int line, int y) const;
    // Draws the header row a page starting at this line repeats; returns its height.
    int drawRepeatedHeader(QPainter &painter, int line, int y) const;
    int repeatedHeaderHeight(int line) const;
    // Draws a whole page as printed: the painter's origin at the paper's corner.
    void drawPage(QPainter &painter, int pageIndex);

    // Fields
    QDateTime stamp;              // DATE and TIME fields
    int currentPage = 1;          // PAGE fields while drawing
    // The text a field shows, computed for DATE, TIME, PAGE, NUMPAGES, SEQ and
    // SYMBOL; null for other fields, which show their stored result.
    QString computedFieldText(const TxRTFField &field, TxFontRec *font = nullptr) const;
    bool isDynamicField(const TxRTFField &field) const;
    void resetSequences();

    // Called by the layout of every block child: advances the progress window
    // and tells whether the user stopped the layout.
    bool layoutTick();

    // While set, copying a data field makes a plain TxRTFText with its runs
    // (the report engine sets it while it appends a band to its output).
    static bool copyDataFieldsAsText();
    class DataFieldsAsText
    {
    public:
        DataFieldsAsText();
        ~DataFieldsAsText();

    private:
        bool m_previous;
    };

    qint64 documentMemorySize() const;
    int documentObjectCount() const;
    QString dumpTree() const;

protected:
    // Runs after every body paragraph is read (not in tables, header or
    // footer). The paragraph is the last child of readingBlock(); an override
    // may remove it and may append new blocks, reading goes on in the last one.
    virtual void paragraphRead(TxRTFTextPara *para) {}

private:
    friend class TxRTFLoader;
    bool readWith(TxRTFReader &reader);
    void invalidateAll();
    bool paginateLines();

    std::unique_ptr<TxRTFHeaderFooter> m_header;
    std::unique_ptr<TxRTFHeaderFooter> m_footer;
    QList<TxRTFPage> m_pages;
    QHash<QString, int> m_sequences;
    QPaintDevice *m_device = nullptr;
    double m_dpiX = 96;
    double m_dpiY = 96;
    double m_zoom = 1.0;
    bool m_loading = false;
    bool m_drawing = false;
    mutable QHash<TxFontRec, QFontMetricsF> m_metrics;
    std::unique_ptr<TxRTFMeasureDevice> m_defaultDevice;
    qint64 m_layoutTicks = 0;
    bool m_layoutCancelled = false;
    bool m_paginating = false;
};

} // namespace korvex::documents
