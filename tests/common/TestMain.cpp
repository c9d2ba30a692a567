// gtest main for the suites without widgets: a QGuiApplication (text
// rendering needs fonts), nothing shown. On the offscreen platform, except on
// Windows: there offscreen knows none of the system's faces, so the suites
// use the Windows platform with the FreeType engine the programs draw pages
// with (TextFont::chooseFontEngine), and the pages' tests run there too.
#include <QGuiApplication>
#include <gmock/gmock.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
#ifdef Q_OS_WIN
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#else
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    }
    // No test (nor a program it starts) sees the user's own sign list.
    if (!qEnvironmentVariableIsSet("BRIVANE_SIGNS"))
        qputenv("BRIVANE_SIGNS", "");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
