#pragma once
// The life of the GUI process around the main window: toolkit set-up (the
// dialog font and its substitution, the window icon, the message boxes),
// the command line, the main window's run, and the orderly shutdown.
// One instance, on main()'s stack, after the QApplication.

#include "app/MessageBoxUserInterface.h"

#include <QStringList>

class QCommandLineParser;

class Application {
public:
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Parses arguments ([project-file]), runs the main window until it has
    // been closed, and returns the process exit code.
    int run(const QStringList &arguments);

    // The options and argument of the command line ([project-file],
    // --help, --version).
    static void describeCommandLine(QCommandLineParser &parser);
    // Whether the command line only asks for --help or --version, which
    // main() answers without a display.
    static bool onlyDescribes(int argc, char **argv);

    // The toolkit settings every window of the program relies on; also used
    // by the widget tests. Needs a QApplication.
    static void setUpToolkit();

private:
    MessageBoxUserInterface m_userInterface;
};
