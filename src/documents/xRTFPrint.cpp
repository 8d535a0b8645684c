#include "xRTFPrint.h"

#include "xRTF.h"
#include "xSafeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace korvex::documents {

TxPrintMonitor::~TxPrintMonitor() = default;

namespace {

bool isBlankChar(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmedBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlankChar(s[b]))
        ++b;
    while (e > b && isBlankChar(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

} // namespace

QList<TxPages> parsePageList(const QString &list)
{
    QList<TxPages> ranges;
    QString text = trimmedBlanks(list);
    const auto takeNumber = [&text]() {
        qsizetype n = 0;
        while (n < text.size() && text[n].unicode() >= '0' && text[n].unicode() <= '9')
            ++n;
        const QString digits = text.left(n);
        text = trimmedBlanks(QStringView(text).mid(n));
        return digits;
    };
    const auto toInt = [&text](const QString &digits) {
        bool ok = false;
        const int v = digits.toInt(&ok);
        if (!ok)
            throw ExRTF(QStringLiteral("'%1' is not a valid integer value").arg(digits.isEmpty() ? text : digits));
        return v;
    };
    while (!text.isEmpty()) {
        const QString first = takeNumber();
        if (text.startsWith(QLatin1Char('-'))) {
            text = trimmedBlanks(QStringView(text).mid(1));
            const QString second = takeNumber();
            ranges.append({first.isEmpty() ? -1 : toInt(first), second.isEmpty() ? -1 : toInt(second)});
        } else {
            const int page = toInt(first);
            ranges.append({page, page});
        }
        if (text.startsWith(QLatin1Char(',')) || text.startsWith(QLatin1Char(';')))
            text = trimmedBlanks(QStringView(text).mid(1));
    }
    return ranges;
}

namespace {

QPageLayout documentLayout(const TxRTFFile &doc)
{
    // Twips to points; the size as a portrait sheet, the orientation apart.
    const double w = doc.page.paperWidth / 20.0;
    const double h = doc.page.paperHeight / 20.0;
    const QPageSize size(QSizeF(qMin(w, h), qMax(w, h)), QPageSize::Point, QString(), QPageSize::ExactMatch);
    const bool landscape = doc.page.landscape || w > h;
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

} // namespace

bool printDocument(TxRTFFile &doc, QPagedPaintDevice &device, const QList<TxPages> &ranges,
                   TxPrintMonitor *monitor, bool setPaperSize)
{
    if (doc.isDrawing())
        throw ExRTFFile(QStringLiteral("Drawing is prohibited - try to call printing again."));
    doc.setDrawing(true);
    QPaintDevice *screen = doc.device();
    const double zoom = doc.zoom();
    struct Restore {
        TxRTFFile &doc;
        QPaintDevice *screen;
        double zoom;
        TxPrintMonitor *monitor;
        bool started = false;
        ~Restore()
        {
            if (started && monitor)
                monitor->finished();
            doc.setZoom(zoom);
            doc.SetDevice(screen);
            doc.setDrawing(false);
        }
    } restore{doc, screen, zoom, monitor};

    if (setPaperSize) {
        device.setPageLayout(documentLayout(doc));
    } else {
        device.setPageOrientation(doc.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    doc.setZoom(1.0);
    doc.stamp = QDateTime::currentDateTime();

    QPainter painter;
    if (!painter.begin(&device))
        throw ExRTFFile(QStringLiteral("Printing could not be started."));
    doc.SetDevice(&device);
    bool completed = doc.Paginate();
    const int count = doc.PageCount();
    if (monitor) {
        monitor->started(count);
        restore.started = true;
    }
    const QList<TxPages> all = ranges.isEmpty() ? QList<TxPages>{TxPages{1, -1}} : ranges;
    bool firstPage = true;
    for (const TxPages &r : all) {
        if (!completed)
            break;
        const int from = qMax(0, r.first == -1 ? 0 : r.first - 1);
        const int to = qMin(count - 1, r.last == -1 ? count - 1 : r.last - 1);
        for (int i = from; i <= to; ++i) {
            if (monitor)
                monitor->page(doc.pages()[i].number, count);
            if (!firstPage)
                device.newPage();
            firstPage = false;
            doc.drawPage(painter, i);
            if (monitor && monitor->stopped()) {
                completed = false;
                break;
            }
        }
    }
    // The pages drawn so far are printed also after a stop.
    painter.end();
    return completed;
}

void writePdf(TxRTFFile &doc, const QString &fileName, const QString &title)
{
    TxSafeFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ExRTFWriter(file.targetRefused()
                              ? file.errorString()
                              : QCoreApplication::translate("TxRTFFile", "Невозможно создать файл '%1'").arg(fileName));
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QCoreApplication::applicationName());
        if (!title.isEmpty())
            pdf.setTitle(title);
        printDocument(doc, pdf, {}, nullptr, true);
    }
    if (!file.commit())
        throw ExRTFWriter(QStringLiteral("Failed to write data to PDF file. %1").arg(file.errorString()).trimmed());
}

} // namespace korvex::documents
