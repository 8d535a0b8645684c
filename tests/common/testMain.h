#pragma once

#include <QObject>
#include <functional>
#include <memory>

// Test classes register themselves with KORVEX_TEST_CLASS(Cls) after their
// definition; the test program's main() (in this library) runs them. With a
// class name as the first argument only that class runs (CTest runs each
// class as its own test); the remaining arguments go to QTest as usual.
// A program whose classes need a QApplication defines KORVEX_TEST_GUI in one
// of its sources: KORVEX_TEST_GUI_PROGRAM().
namespace korvex::test {

struct TestClassRegistrar {
    TestClassRegistrar(const char *name, std::function<std::unique_ptr<QObject>()> make);
};

struct GuiProgramMarker {
    GuiProgramMarker();
};

} // namespace korvex::test

#define KORVEX_TEST_CLASS(Cls)                                                                  \
    static const korvex::test::TestClassRegistrar korvexTestRegistrar_##Cls{                    \
        #Cls, [] { return std::unique_ptr<QObject>(new Cls); }};

#define KORVEX_TEST_GUI_PROGRAM() static const korvex::test::GuiProgramMarker korvexGuiProgramMarker;
