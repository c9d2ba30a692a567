// gtest main for the suites without widgets: a QGuiApplication on the
// offscreen platform (text rendering needs fonts), nothing shown.
#include <QGuiApplication>
#include "common/TestExit.h"

#include <gmock/gmock.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test (nor a program it starts) sees the user's own sign list.
    if (!qEnvironmentVariableIsSet("BRIVANE_SIGNS"))
        qputenv("BRIVANE_SIGNS", "");
    int code = 0;
    {
        QGuiApplication app(argc, argv);
        ::testing::InitGoogleMock(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    return endTests(code);
}
