#pragma once

#include <QtTest>
#include <cstdio>

/// Like QTEST_MAIN, but on Qt's offscreen platform unless the test is told otherwise
/// (the tests that need a real X server set QT_QPA_PLATFORM=xcb, and are skipped without one).
#define ORVELLE_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                                                   \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qgetenv("DISPLAY").isEmpty()) {                           \
            std::puts("SKIP: needs an X server (./test.sh starts one)");                                     \
            return 77;                                                                                       \
        }                                                                                                    \
        QApplication app(argc, argv);                                                                        \
        TestClass test;                                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
