#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// Runs the test classes of one test program. With a class name as the first
// argument only that class runs (CTest runs each class as its own test); the
// remaining arguments go to QTest as usual.
namespace korvex::test {

struct TestClassEntry {
    const char *name;
    std::function<std::unique_ptr<QObject>()> make;
};

int runTestClasses(int argc, char **argv, const std::vector<TestClassEntry> &classes, bool gui);

} // namespace korvex::test

#define KORVEX_TEST_CLASS(Cls) korvex::test::TestClassEntry{#Cls, [] { return std::unique_ptr<QObject>(new Cls); }}

// KORVEX_TEST_MAIN(false, KORVEX_TEST_CLASS(A), KORVEX_TEST_CLASS(B))
#define KORVEX_TEST_MAIN(gui, ...)                                                   \
    int main(int argc, char **argv)                                                  \
    {                                                                                \
        return korvex::test::runTestClasses(argc, argv, {__VA_ARGS__}, gui);         \
    }
