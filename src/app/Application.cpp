#include "app/Application.h"

#include "app/LanguageMenu.h"
#include "app/MainWindow.h"
#include "base/AppPaths.h"
#include "base/AppServices.h"
#include "base/Language.h"
#include "render/UserFonts.h"
#include "ui/DialogFont.h"

#include <QApplication>
#include <QByteArrayView>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>

Application::Application()
{
    setUserInterface(&m_userInterface);
}

Application::~Application()
{
    setUserInterface(nullptr);
}

void Application::setUpToolkit()
{
    setUpDialogFont();
    setApplicationIdentity();
    // The language chosen in the 语言/Language menu, else BRIVANE_LANG or the
    // locale's (Chinese when it says nothing); Qt's standard buttons and
    // file dialog follow it.
    installTranslations(chooseLanguage(storedLanguageChoice()));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    // Bitmap fonts the user placed in a "fonts" folder join the font list.
    loadUserFonts();
}

void Application::describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("LED sign play lists: edit, preview and send them to the controller card."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("project-file"),
        QStringLiteral("The project file to open (default: %1).")
            .arg(QDir::toNativeSeparators(defaultProjectFilePath())),
        QStringLiteral("[project-file]"));
}

bool Application::onlyDescribes(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all" ||
            arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

int Application::run(const QStringList &arguments)
{
    setUpToolkit();

    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(arguments);
    const QStringList positional = parser.positionalArguments();
    const QString projectFile = positional.isEmpty() ? QString() : positional.first();

    int result = 0;
    {
        MainWindow window(projectFile);
        window.start();
        result = QApplication::exec();
        // A last 200 ms of event handling before the window and its project
        // (items and pages) go, so events still queued for them find them.
        waitPumping(200);
    }
    return result;
}
