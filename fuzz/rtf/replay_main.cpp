// Replays a fuzzing corpus through the fuzz target without libFuzzer, so the
// normal build and CI run every committed input.

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        QDir dir(QString::fromLocal8Bit(argv[i]));
        const QStringList names = dir.exists() ? dir.entryList(QDir::Files, QDir::Name) : QStringList{QString()};
        for (const QString &name : names) {
            QFile f(name.isEmpty() ? QString::fromLocal8Bit(argv[i]) : dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
                return 1;
            }
            const QByteArray data = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
