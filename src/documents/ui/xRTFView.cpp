#include "xRTFView.h"

#include "documents/xRTF.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

namespace korvex::documents {

namespace {

const QColor kGrey(128, 128, 128);
const QColor kTeal(0, 128, 128);

// One paint at a time for all viewers: a paint that starts while another
// runs (a progress window pumping events during layout) draws nothing.
bool g_painting = false;

} // namespace

TxRTFViewer::TxRTFViewer(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_doc(std::make_unique<TxRTFFile>())
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    resize(100, 100);
    verticalScrollBar()->setTracking(false);
    horizontalScrollBar()->setTracking(false);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TxRTFViewer::onVerticalAction);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &TxRTFViewer::onHorizontalAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TxRTFViewer::setVShift);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &TxRTFViewer::setHShift);
}

TxRTFViewer::~TxRTFViewer() = default;

// ---------------------------------------------------------------------------
// Documents

bool TxRTFViewer::LoadFromFile(const QString &fileName)
{
    m_dataFileName.clear();
    beginUpdate();
    struct Unlock {
        TxRTFViewer *v;
        ~Unlock() { v->endUpdate(); }
    } unlock{this};
    m_doc->clearDocument();
    m_loaded = false;
    m_loaded = m_doc->LoadFromFile(fileName);
    m_dataFileName = fileName;
    m_doc->SetDevice(viewport());
    m_centred = false;
    return m_loaded;
}

bool TxRTFViewer::SaveToFile(const QString &fileName) const
{
    return m_doc->SaveToFile(fileName);
}

void TxRTFViewer::setData(const TxRTFFile *document)
{
    m_doc->clearDocument();
    m_dataFileName.clear();
    m_loaded = document != nullptr;
    if (document) {
        m_doc->assign(*document);
        m_doc->SetDevice(viewport());
        computeGeometry();
        m_vshift = 0;
        recentre();
    }
    viewport()->update();
}

void TxRTFViewer::TakeDocument(std::unique_ptr<TxRTFFile> &document)
{
    if (!document)
        document = std::make_unique<TxRTFFile>();
    std::swap(m_doc, document);
    m_loaded = true;
    m_doc->SetDevice(document->device() ? document->device() : viewport());
    m_dataFileName.clear();
    m_vshift = 0;
    m_hshift = 0;
    m_centred = false;
    viewport()->update();
}

void TxRTFViewer::clear()
{
    m_doc->clearDocument();
    m_loaded = false;
    m_dataFileName.clear();
    m_vshift = 0;
    recentre();
    viewport()->update();
}

void TxRTFViewer::beginUpdate()
{
    ++m_updateLock;
}

void TxRTFViewer::endUpdate()
{
    if (m_updateLock > 0 && --m_updateLock == 0)
        viewport()->update();
}

void TxRTFViewer::setDataFileName(const QString &fileName)
{
    if (fileName.isEmpty()) {
        m_dataFileName.clear();
        clear();
        return;
    }
    if (fileName != m_dataFileName)
        LoadFromFile(fileName);
}

void TxRTFViewer::setPreviewOptions(TxRTFPreviewOptions options)
{
    m_options = options;
    computeGeometry();
    recentre();
    setVShift(m_vshift);
    viewport()->update();
}

// ---------------------------------------------------------------------------
// Geometry and scrolling

void TxRTFViewer::prepareDocument()
{
    if (m_doc->device() != viewport())
        m_doc->SetDevice(viewport());
    if (!m_doc->isLaidOut() || (m_doc->PageCount() == 0 && m_doc->count() > 0 && m_doc->lineCount() > 0))
        m_doc->Paginate();
    computeGeometry();
}

void TxRTFViewer::computeGeometry()
{
    const TxPageSettings &p = m_doc->page;
    if (m_options.testFlag(poDrawLRMargins)) {
        m_pageWidth = m_doc->toDeviceX(p.paperWidth);
        m_pageHeight = m_doc->toDeviceY(p.paperHeight);
        m_textLeft = m_doc->toDeviceX(p.marginLeft);
    } else {
        m_pageWidth = m_doc->toDeviceX(p.textWidth());
        m_pageHeight = m_doc->toDeviceY(p.bodyHeight());
        m_textLeft = 0;
    }
}

int TxRTFViewer::lineCount() const
{
    if (!m_loaded)
        return 0;
    auto self = const_cast<TxRTFViewer *>(this);
    if (!m_doc->isLaidOut() && !g_painting)
        self->prepareDocument();
    return m_doc->lineCount();
}

bool TxRTFViewer::pageGrid(int &columns, int &rows) const
{
    // Each page with a tenth of spacing; more than one across or down makes a grid.
    const int cellW = m_pageWidth * 11 / 10;
    const int cellH = m_pageHeight * 11 / 10;
    columns = cellW > 0 ? viewport()->width() / cellW : 0;
    rows = cellH > 0 ? viewport()->height() / cellH : 0;
    return !((columns <= 1 && rows <= 1) || columns == 0 || rows == 0);
}

bool TxRTFViewer::showsPageGrid() const
{
    int columns = 0, rows = 0;
    return pageGrid(columns, rows);
}

void TxRTFViewer::updateRanges()
{
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    const QSignalBlocker bv(v), bh(h);
    v->setRange(0, qMax(0, lineCount() - 1));
    v->setSingleStep(1);
    v->setPageStep(qMax(1, qMin(lineCount(), 10)));
    v->setValue(m_vshift);
    const int cw = viewport()->width();
    h->setRange(0, qMax(0, m_pageWidth - cw));
    h->setSingleStep(qMax(1, cw / 30));
    h->setPageStep(qMax(1, cw * 20 / 30));
    h->setValue(m_hshift);
}

void TxRTFViewer::setVShift(int line)
{
    const int n = lineCount();
    const int v = qBound(0, line, qMax(0, n - 1));
    if (v == m_vshift)
        return;
    m_vshift = v;
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setValue(v);
    viewport()->update();
}

void TxRTFViewer::setHShift(int offset)
{
    int h = offset;
    if (m_loaded)
        h = qBound(0, offset, qMax(0, m_pageWidth - viewport()->width()));
    if (h == m_hshift)
        return;
    m_hshift = h;
    const QSignalBlocker block(horizontalScrollBar());
    horizontalScrollBar()->setValue(h);
    viewport()->update();
}

void TxRTFViewer::recentre()
{
    int h = qMax(m_pageWidth - viewport()->width(), 0) / 2;
    h = qMin(h, m_textLeft);  // the text's left edge stays in view
    m_hshift = qMax(h, 0);
    updateRanges();
}

double TxRTFViewer::Scale() const
{
    return m_doc->zoom();
}

void TxRTFViewer::setScale(double scale)
{
    if (scale <= 0)
        return;
    m_doc->setZoom(scale);
    viewport()->update();
    afterResize();
}

void TxRTFViewer::afterResize()
{
    computeGeometry();
    if (m_pageWidth < viewport()->width()) {
        recentre();
    } else {
        updateRanges();
        setHShift(m_hshift);
    }
    setVShift(m_vshift);
}

void TxRTFViewer::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    afterResize();
}

void TxRTFViewer::pageDown()
{
    const int n = lineCount();
    const int ch = viewport()->height();
    qint64 sum = 0;
    int k = m_vshift;
    for (int i = m_vshift; i < n && sum <= ch; ++i) {
        sum += m_doc->lineHeight(i);
        k = i;
    }
    // The last fully visible line stays in view; at least one line onward.
    setVShift(k - 1 > m_vshift ? k - 1 : m_vshift + 1);
}

void TxRTFViewer::pageUp()
{
    const int ch = viewport()->height();
    qint64 sum = 0;
    int k = -1;
    for (int i = m_vshift - 1; i >= 0 && sum <= ch; --i) {
        sum += m_doc->lineHeight(i);
        k = i;
    }
    int line = k <= 0 ? 0 : k + 1;
    setVShift(qMin(line, m_vshift - 1));
}

void TxRTFViewer::keyPressEvent(QKeyEvent *event)
{
    const int tenth = qMax(1, viewport()->width() / 10);
    switch (event->key()) {
    case Qt::Key_PageDown: pageDown(); break;
    case Qt::Key_PageUp: pageUp(); break;
    case Qt::Key_Home: setVShift(0); break;
    case Qt::Key_End: setVShift(lineCount() - 1); break;
    case Qt::Key_Up: setVShift(m_vshift - 1); break;
    case Qt::Key_Down: setVShift(m_vshift + 1); break;
    case Qt::Key_Left: setHShift(m_hshift - tenth); break;
    case Qt::Key_Right: setHShift(m_hshift + tenth); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TxRTFViewer::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    QAbstractScrollArea::mousePressEvent(event);
}

void TxRTFViewer::onVerticalAction(int action)
{
    QScrollBar *bar = verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: setVShift(m_vshift + 1); break;
    case QAbstractSlider::SliderSingleStepSub: setVShift(m_vshift - 1); break;
    case QAbstractSlider::SliderPageStepAdd: pageDown(); break;
    case QAbstractSlider::SliderPageStepSub: pageUp(); break;
    default: return;  // the box sets the line when it is released
    }
    bar->setSliderPosition(m_vshift);
}

void TxRTFViewer::onHorizontalAction(int action)
{
    QScrollBar *bar = horizontalScrollBar();
    const int cw = viewport()->width();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: setHShift(m_hshift + qMax(1, cw / 30)); break;
    case QAbstractSlider::SliderSingleStepSub: setHShift(m_hshift - qMax(1, cw / 30)); break;
    case QAbstractSlider::SliderPageStepAdd: setHShift(m_hshift + cw * 20 / 30); break;
    case QAbstractSlider::SliderPageStepSub: setHShift(m_hshift - cw * 20 / 30); break;
    default: return;
    }
    bar->setSliderPosition(m_hshift);
}

// ---------------------------------------------------------------------------
// Painting

namespace {
int g_drawLeft = 0;  // the text's left edge while one page is drawn
}

void TxRTFViewer::paintEvent(QPaintEvent *)
{
    if (g_painting || m_updateLock > 0 || m_doc->isDrawing())
        return;
    g_painting = true;
    struct Done {
        ~Done() { g_painting = false; }
    } done;

    prepareDocument();
    if (!m_centred) {
        m_vshift = 0;
        recentre();
        m_centred = true;
    }
    QPainter painter(viewport());
    int columns = 0, rows = 0;
    if (pageGrid(columns, rows))
        drawGrid(painter, columns, rows);
    else
        drawContinuous(painter, m_hshift + qMin(m_pageWidth - viewport()->width(), 0) / 2);
}

int TxRTFViewer::drawPageStart(QPainter &painter, int y)
{
    const int start = y;
    if (TxRTFHeaderFooter *header = m_doc->header()) {
        if (m_options.testFlag(poDrawTBMargins))
            y += m_doc->toDeviceY(m_doc->page.headerY);
        painter.save();
        painter.translate(g_drawLeft, 0);
        y += header->drawAll(painter, y);
        painter.restore();
        y += 5;
    }
    if (m_options.testFlag(poShowPageBreaks)) {
        if (m_options.testFlag(poDrawTBMargins))
            y = start + m_doc->toDeviceY(m_doc->page.marginTop);
        else
            y += 2;
    }
    return y;
}

int TxRTFViewer::drawPageEnd(QPainter &painter, int y, int pageLeft, bool greyBand)
{
    if (TxRTFHeaderFooter *footer = m_doc->footer()) {
        y += 5;
        painter.save();
        painter.translate(g_drawLeft, 0);
        y += footer->drawAll(painter, y);
        painter.restore();
    }
    if (m_options.testFlag(poShowPageBreaks)) {
        y += m_options.testFlag(poDrawTBMargins) ? m_doc->toDeviceY(m_doc->page.marginBottom) : 1;
        if (greyBand) {
            painter.fillRect(QRect(pageLeft - 1, y, m_pageWidth + 1, 30), kGrey);
            y += 30;
        }
    }
    return y;
}

void TxRTFViewer::drawContinuous(QPainter &painter, int offset)
{
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    m_doc->stamp = QDateTime::currentDateTime();
    painter.fillRect(QRect(0, 0, cw, ch), kGrey);
    painter.fillRect(QRect(-offset, 0, m_pageWidth, ch), Qt::white);
    const int textRight = m_textLeft + m_doc->toDeviceX(m_doc->page.textWidth());
    if (m_options.testFlag(poShowSides)) {
        painter.setPen(kTeal);
        painter.drawLine(m_textLeft - 1 - offset, 0, m_textLeft - 1 - offset, ch);
        painter.drawLine(textRight + 1 - offset, 0, textRight + 1 - offset, ch);
    }
    painter.setPen(Qt::black);
    g_drawLeft = m_textLeft - offset;
    int y = 0;
    for (const TxRTFPage &page : m_doc->pages()) {
        if (page.lastLine < m_vshift)
            continue;
        m_doc->currentPage = page.number;
        if (page.firstLine > m_vshift)
            y = drawPageEnd(painter, y, -offset, true);
        if (y > ch)
            break;
        const bool fromStart = page.firstLine >= m_vshift;
        if (fromStart)
            y = drawPageStart(painter, y);
        painter.save();
        painter.translate(g_drawLeft, 0);
        const int from = qMax(m_vshift, page.firstLine);
        if (fromStart)
            y += m_doc->drawRepeatedHeader(painter, from, y);
        for (int line = from; line <= page.lastLine && y <= ch; ++line)
            y += m_doc->drawBodyLine(painter, line, y);
        painter.restore();
        if (y > ch)
            break;
    }
}

void TxRTFViewer::drawGrid(QPainter &painter, int columns, int rows)
{
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    painter.fillRect(QRect(0, 0, cw, ch), kGrey);
    const int cellW = cw / columns;
    const int cellH = ch / rows;
    const QList<TxRTFPage> &pages = m_doc->pages();
    int index = pages.isEmpty() ? 0 : m_doc->pageOfLine(m_vshift);
    const int textWidth = m_doc->toDeviceX(m_doc->page.textWidth());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (index >= pages.size())
                return;
            const TxRTFPage &page = pages[index++];
            m_doc->stamp = QDateTime::currentDateTime();
            const QRect cell(c * cellW, r * cellH, cellW, cellH);
            const int x = cell.left() + (cellW - m_pageWidth) / 2;
            const int top = cell.top() + (cellH - m_pageHeight) / 2;
            painter.save();
            painter.setClipRect(cell);
            painter.fillRect(QRect(x, top, m_pageWidth, m_pageHeight), Qt::white);
            if (m_options.testFlag(poShowSides)) {
                painter.setPen(kTeal);
                painter.drawLine(x + m_textLeft - 1, top, x + m_textLeft - 1, top + m_pageHeight);
                painter.drawLine(x + m_textLeft + textWidth + 1, top, x + m_textLeft + textWidth + 1,
                                 top + m_pageHeight);
            }
            painter.setPen(Qt::black);
            m_doc->currentPage = page.number;
            g_drawLeft = x + m_textLeft;
            int y = drawPageStart(painter, top);
            painter.save();
            painter.translate(g_drawLeft, 0);
            y += m_doc->drawRepeatedHeader(painter, page.firstLine, y);
            for (int line = page.firstLine; line <= page.lastLine; ++line)
                y += m_doc->drawBodyLine(painter, line, y);
            painter.restore();
            drawPageEnd(painter, y, x, false);
            painter.restore();
        }
    }
}

// ---------------------------------------------------------------------------
// Zoom box

TxRTFScaleCombo::TxRTFScaleCombo(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems({QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
              QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%"), QStringLiteral("500%")});
    setCurrentIndex(4);
    connect(this, &QComboBox::activated, this, [this](int index) { applyText(itemText(index)); });
}

void TxRTFScaleCombo::applyText(const QString &text)
{
    const QLocale locale;
    const QString point = locale.decimalPoint();
    QString kept;
    for (QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') || c == QLatin1Char('-')
            || c == QLatin1Char('E') || c == QLatin1Char('e') || QString(c) == point)
            kept += c;
    }
    double value = 0;
    if (!kept.isEmpty()) {
        bool ok = false;
        value = locale.toDouble(kept, &ok);
        if (!ok)
            value = 100;
    }
    if (m_viewer && value > 0)
        m_viewer->setScale(value / 100);
    QLocale shown = locale;
    shown.setNumberOptions(QLocale::OmitGroupSeparator);
    setEditText(shown.toString(value, 'g', 15) + QLatin1Char('%'));
}

void TxRTFScaleCombo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applyText(currentText());
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

bool OpenInWord(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
}

} // namespace korvex::documents
