// The program brivane: the LED sign play list editor with its main window.
#include "app/Application.h"

#include "base/AppServices.h"
#include "render/TextFont.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char **argv)
{
    // --help and --version print and exit; they need no display (a package
    // check or a terminal without X).
    if (Application::onlyDescribes(argc, argv)) {
        QCoreApplication core(argc, argv);
        setApplicationIdentity();
        QCommandLineParser parser;
        Application::describeCommandLine(parser);
        parser.process(core);
        return 0;
    }
    // Pages look as in the command-line tool and on other platforms.
    TextFont::chooseFontEngine();
    QApplication app(argc, argv);
    Application application;
    return application.run(QApplication::arguments());
}
