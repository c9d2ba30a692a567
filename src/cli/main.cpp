// brivane-cli: the command-line front end (see CliApp).
#include "cli/CliApp.h"

#include "base/AppServices.h"
#include "base/Language.h"
#include "cli/Console.h"
#include "render/TextFont.h"
#include "render/UserFonts.h"

#include <QGuiApplication>

#ifdef Q_OS_WIN
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#endif

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// Qt's note about a missing XDG_RUNTIME_DIR (headless machines, cron jobs)
// says nothing to a user of this tool; everything else passes.
void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    g_defaultHandler(type, context, message);
}

// The command line as the user typed it. Windows hands argv over in the
// ANSI code page, which may not hold the Chinese names of animations and
// fonts: the wide command line is split as the C runtime splits it.
QStringList commandLine(int argc, char **argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
        return arguments;
    }
#endif
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    // Rendering text needs a GUI application, never a window: the offscreen
    // platform works with or without a display. Windows always has its own
    // platform (and its fonts), and a deployed program carries only that one.
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TextFont::chooseFontEngine();
    g_defaultHandler = qInstallMessageHandler(filterMessages);
    // The application sees the program name only: Qt would take options of
    // its own out of the command line ("--style", "--reverse", "--platform"),
    // and those are ours.
    const QStringList arguments = commandLine(argc, argv);
    int qtArgc = argc > 0 ? 1 : 0;
    QGuiApplication app(qtArgc, argv);
    // The same name as the GUI, so both find the same user data folder.
    setApplicationIdentity();
    // The tool's texts and Qt's own (the parser's errors) in one language:
    // BRIVANE_LANG, else the locale's (Chinese when it says nothing).
    installTranslations(chooseLanguage());
    // The same faces as the GUI: pages come out alike in both programs.
    loadUserFonts();
    StdConsole console;
    CliApp cli(console);
    return cli.run(arguments);
}
