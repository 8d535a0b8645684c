#include "testMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <cstring>

namespace korvex::test {

int runTestClasses(int argc, char **argv, const std::vector<TestClassEntry> &classes, bool gui)
{
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QCoreApplication::setApplicationName(QStringLiteral("korvex-tests"));

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
    for (const TestClassEntry &entry : classes) {
        if (only && std::strcmp(only, entry.name) != 0)
            continue;
        ran = true;
        std::unique_ptr<QObject> object = entry.make();
        failures += QTest::qExec(object.get(), int(rest.size()), rest.data());
    }
    if (!ran) {
        qWarning("No test class named %s", only);
        return 1;
    }
    return failures;
}

} // namespace korvex::test
