// gtest main for the widget suites: a QApplication on the offscreen platform.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include "common/TestExit.h"

#include <gmock/gmock.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test (nor a program it starts) sees the user's own sign list.
    if (!qEnvironmentVariableIsSet("BRIVANE_SIGNS"))
        qputenv("BRIVANE_SIGNS", "");
    // Nor the GUI's own settings (the preview's zoom).
    if (!qEnvironmentVariableIsSet("BRIVANE_SETTINGS"))
        qputenv("BRIVANE_SETTINGS", "");
    int code = 0;
    {
        // Nor the user's own configuration: what Qt's dialogs keep (their
        // column widths) goes to a folder of this run.
        QTemporaryDir config;
        if (config.isValid())
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QApplication app(argc, argv);
        ::testing::InitGoogleMock(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    return endTests(code);
}
