#include "testMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QSettings>
#include <QTest>
#include <cstring>
#include <vector>

namespace korvex::test {

namespace {

struct Entry {
    const char *name;
    std::function<std::unique_ptr<QObject>()> make;
};

std::vector<Entry> &registry()
{
    static std::vector<Entry> entries;
    return entries;
}

bool &guiProgram()
{
    static bool gui = false;
    return gui;
}

} // namespace

TestClassRegistrar::TestClassRegistrar(const char *name, std::function<std::unique_ptr<QObject>()> make)
{
    registry().push_back({name, std::move(make)});
}

GuiProgramMarker::GuiProgramMarker()
{
    guiProgram() = true;
}

} // namespace korvex::test

int main(int argc, char **argv)
{
    using namespace korvex::test;
    std::unique_ptr<QCoreApplication> app;
    if (guiProgram()) {
        app = std::make_unique<QApplication>(argc, argv);
        // Windows are tested as the program shows them: with the Russian
        // locale's numbers and dates, whatever the machine's settings.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QCoreApplication::setApplicationName(QStringLiteral("korvex-tests"));
    // Settings and data of tests go to a separate test location, never the
    // user's own.
    QStandardPaths::setTestModeEnabled(true);
    // Each test process remembers window placements of its own: tests run in
    // parallel and must not open a page on a tab another test left it on.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());

    const char *only = nullptr;
    std::vector<char *> rest{argv[0]};
    int first = 1;
    if (argc > 1 && argv[1][0] != '-') {
        only = argv[1];
        first = 2;
    }
    for (int i = first; i < argc; ++i)
        rest.push_back(argv[i]);

    int failures = 0;
    bool ran = false;
    for (const Entry &entry : registry()) {
        if (only && std::strcmp(only, entry.name) != 0)
            continue;
        ran = true;
        std::unique_ptr<QObject> object = entry.make();
        failures += QTest::qExec(object.get(), int(rest.size()), rest.data());
    }
    if (!ran) {
        qWarning("No test class named %s", only ? only : "(none registered)");
        return 1;
    }
    return failures;
}
