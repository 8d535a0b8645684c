#pragma once

// Printing a document onto a paged device, a printer or a PDF file, with one
// layout for both: the whole sheet, text at the left margin, zoom 1.0.

#include <QList>
#include <QString>

class QPagedPaintDevice;

namespace korvex::documents {

class TxRTFFile;

// A range of pages, 1-based; -1 leaves that end open.
struct TxPages {
    int first = -1;
    int last = -1;
    bool operator==(const TxPages &) const = default;
};

// Reads a page list such as "1-3, 5; 8-" or "-2". A missing page number
// raises ExRTF "'…' is not a valid integer value".
QList<TxPages> parsePageList(const QString &text);

// Watches a print run: shows the page being printed and may stop it.
class TxPrintMonitor
{
public:
    virtual ~TxPrintMonitor();
    virtual void started(int pageCount) {}
    // Before each page is drawn ("%d из %d.").
    virtual void page(int pageNumber, int pageCount) = 0;
    // Asked after each page: the pages printed so far are kept.
    virtual bool stopped() const { return false; }
    virtual void finished() {}
};

// Prints the ranges (every page when empty) onto the device and restores the
// document's device and zoom afterwards, whatever happens. With
// setPaperSize the device's page becomes the document's paper (PDF); a
// printer keeps its paper and takes only the orientation. Returns false when
// the monitor stopped it. ExRTFFile "Drawing is prohibited - try to call
// printing again." while the document is being drawn.
bool printDocument(TxRTFFile &document, QPagedPaintDevice &device, const QList<TxPages> &ranges,
                   TxPrintMonitor *monitor, bool setPaperSize);

// Writes the document as a PDF laid out as printed. The file is complete or
// absent: it is written aside and renamed into place. ExRTFWriter on failure.
void writePdf(TxRTFFile &document, const QString &fileName, const QString &title = {});

} // namespace korvex::documents
