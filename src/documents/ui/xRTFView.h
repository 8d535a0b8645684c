#pragma once

// The document viewer and its zoom box: a document of the model on the
// screen, as one strip of pages or, when several fit, as a grid of pages.
// Scrolling is by laid-out lines, and only what lies below the first
// visible line is drawn.

#include <QAbstractScrollArea>
#include <QComboBox>
#include <memory>

namespace korvex::documents {

class TxRTFFile;

class TxRTFViewer : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum TxRTFPreviewOption {
        poShowSides = 0x1,
        poShowPageBreaks = 0x2,
        poDrawTBMargins = 0x4,
        poDrawLRMargins = 0x8,
    };
    Q_DECLARE_FLAGS(TxRTFPreviewOptions, TxRTFPreviewOption)

    explicit TxRTFViewer(QWidget *parent = nullptr);
    ~TxRTFViewer() override;

    TxRTFFile *document() const { return m_doc.get(); }
    bool isLoaded() const { return m_loaded; }

    // Reads the file; false when the user abandoned it. Read errors are exceptions.
    bool LoadFromFile(const QString &fileName);
    // Writes the document; false when the user abandoned creating the file.
    bool SaveToFile(const QString &fileName) const;
    // Copies the document into the viewer's own (nullptr clears).
    void setData(const TxRTFFile *document);
    // Exchanges documents: the viewer keeps the given one, the variable gets
    // the viewer's former one.
    void TakeDocument(std::unique_ptr<TxRTFFile> &document);
    void clear();
    void beginUpdate();
    void endUpdate();

    QString DataFileName() const { return m_dataFileName; }
    void setDataFileName(const QString &fileName);

    TxRTFPreviewOptions PreviewOptions() const { return m_options; }
    void setPreviewOptions(TxRTFPreviewOptions options);

    int VShift() const { return m_vshift; }
    void setVShift(int line);
    int HShift() const { return m_hshift; }
    void setHShift(int offset);
    double Scale() const;
    void setScale(double scale);

    void pageDown();
    void pageUp();

    // Geometry at the current zoom, in device units of the screen.
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }
    int textLeft() const { return m_textLeft; }
    int lineCount() const;
    // Whether the view shows a grid of whole pages (else the continuous strip).
    bool showsPageGrid() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override {}

private:
    bool pageGrid(int &columns, int &rows) const;
    void prepareDocument();
    void computeGeometry();
    void updateRanges();
    void recentre();
    void afterResize();
    void drawContinuous(QPainter &painter, int offset);
    void drawGrid(QPainter &painter, int columns, int rows);
    int drawPageStart(QPainter &painter, int y);
    int drawPageEnd(QPainter &painter, int y, int pageLeft, bool greyBand);
    void onVerticalAction(int action);
    void onHorizontalAction(int action);

    std::unique_ptr<TxRTFFile> m_doc;
    bool m_loaded = false;
    QString m_dataFileName;
    int m_vshift = 0;
    int m_hshift = 0;
    int m_updateLock = 0;
    bool m_centred = false;
    TxRTFPreviewOptions m_options{poShowPageBreaks | poDrawTBMargins | poDrawLRMargins};
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_textLeft = 0;
};

// The zoom box: "10%" to "500%", or a typed factor, applied to its viewer.
class TxRTFScaleCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit TxRTFScaleCombo(QWidget *parent = nullptr);
    void setRTFViewer(TxRTFViewer *viewer) { m_viewer = viewer; }
    TxRTFViewer *RTFViewer() const { return m_viewer; }
    // Applies a text as the zoom and shows it back as "N%".
    void applyText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TxRTFViewer *m_viewer = nullptr;
};

// Opens a file in the desktop's word processor for RTF; false when the file
// is missing or no program took it.
bool OpenInWord(const QString &fileName);

Q_DECLARE_OPERATORS_FOR_FLAGS(TxRTFViewer::TxRTFPreviewOptions)

} // namespace korvex::documents
