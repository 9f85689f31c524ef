#pragma once

#include <QtTest>

/// Like QTEST_MAIN, but on Qt's offscreen platform unless the test is told otherwise
/// (the tests that need a real X server set QT_QPA_PLATFORM=xcb).
#define ORVELLE_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv)                                                                            \
    {                                                                                                          \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                                                     \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                           \
        QApplication app(argc, argv);                                                                          \
        TestClass test;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                             \
        return QTest::qExec(&test, argc, argv);                                                                \
    }
