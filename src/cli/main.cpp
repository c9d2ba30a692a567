// brivane-cli: the command-line front end (see CliApp).
#include "cli/CliApp.h"
#include "cli/Console.h"
#include "render/UserFonts.h"

#include <QGuiApplication>

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

} // namespace

int main(int argc, char **argv)
{
    // Rendering text needs a GUI application, never a window: the offscreen
    // platform works with or without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(filterMessages);
    // The application sees the program name only: Qt would take options of
    // its own out of the command line ("--style", "--reverse", "--platform"),
    // and those are ours.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = argc > 0 ? 1 : 0;
    QGuiApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brivane-cli"));
    // The same faces as the GUI: pages come out alike in both programs.
    loadUserFonts();
    StdConsole console;
    CliApp cli(console);
    return cli.run(arguments);
}
