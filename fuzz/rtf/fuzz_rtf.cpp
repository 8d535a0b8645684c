// Fuzz target over the RTF reader. Beyond "no crash, no undefined behaviour":
// whatever the reader accepts, the writer's output of it must read back; from
// then on reading and writing must keep the same tree (the first write may
// normalise: field results are left out, data fields become their text and
// runs of one format merge); and a small document must lay out.

#include "documents/xRTF.h"
#include "documents/xRTFErrors.h"
#include "documents/xRTFMessages.h"
#include "documents/xRTFWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace korvex::documents;

namespace {

class SilentMessages : public TxRTFMessages
{
public:
    bool retry(const QString &) override { return false; }
    void error(const QString &) override {}
    void information(const QString &) override {}
};

QByteArray writeRtf(const TxRTFFile &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.writeTo(buffer);
    return buffer.data();
}

bool readRtf(TxRTFFile &doc, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        return doc.loadFromDevice(buffer);
    } catch (const ExRTF &) {
        return false;
    }
}

[[noreturn]] void fail(const char *what, const QByteArray &written)
{
    std::fprintf(stderr, "%s\n--- written ---\n%s\n", what, written.constData());
    std::abort();
}

void readBack(TxRTFFile &doc, const QByteArray &written)
{
    QBuffer buffer;
    buffer.setData(written);
    buffer.open(QIODevice::ReadOnly);
    try {
        doc.loadFromDevice(buffer);
    } catch (const ExRTF &e) {
        fail(qPrintable(QStringLiteral("written document does not read back: ") + e.message()), written);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static SilentMessages messages;
    TxRTFMessages::setShared(&messages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TxRTFFile doc;
    if (!readRtf(doc, input))
        return 0;
    const QByteArray written = writeRtf(doc);
    TxRTFFile again;
    readBack(again, written);
    const QByteArray rewritten = writeRtf(again);
    TxRTFFile third;
    readBack(third, rewritten);
    if (third.dumpTree() != again.dumpTree())
        fail("read -> write -> read changed the tree", rewritten);
    if (size < 4096) {
        TxRTFMeasureDevice device(96);
        doc.SetDevice(&device);
        doc.Paginate();
    }
    return 0;
}
