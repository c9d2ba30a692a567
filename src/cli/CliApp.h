#pragma once
// brivane-cli: the command-line front end. Parses the arguments (a verb and
// its options, QCommandLineParser), runs the verb through the same Project,
// items, renderers, link and jobs as the GUI, and turns the outcome into
// terminal output and an exit code. One CliApp runs one command line; main()
// owns it, tests run it in-process with a recording Console.

#include "cli/TerminalUserInterface.h"
#include "link/ScreenParams.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Console;
class ProgramItem;
class Project;
class QJsonObject;

// The process's exit status, as documented in --help and the README.
enum ExitCode : int {
    ExitOk = 0,          // success
    ExitPartial = 1,     // ran, but not everything succeeded (skipped, failed,
                         // cancelled, refused by the card)
    ExitUsage = 2,       // usage errors, files that cannot be read or written
    ExitNoCard = 3,      // no card found, or the port cannot be opened
    ExitUnsupported = 4, // the card is not supported
};

class CliApp {
public:
    explicit CliApp(Console &console);
    ~CliApp();
    CliApp(const CliApp &) = delete;
    CliApp &operator=(const CliApp &) = delete;

    // Runs one command line (arguments[0] is the program) and returns the
    // exit code.
    int run(const QStringList &arguments);

    struct Verb;

private:
    // ---- dispatch and shared steps (CliApp.cpp)
    static const std::vector<Verb> &verbs();
    static const Verb *findVerb(const QString &name);
    void addGlobalOptions(QCommandLineParser &parser) const;
    QString globalHelp() const;
    QString verbHelp(const Verb &verb, QCommandLineParser &parser) const;
    int usageError(const QString &message, const QString &verb = {});
    // A screen size given with --width/--height, as the code to store.
    struct ScreenSizeChange {
        void (ScreenParams::*store)(int);
        uint8_t code;
    };
    // Reads --width and --height by the screen parameter dialogs' rules.
    // ExitOk, or the exit code of a usage error.
    int screenSizeOptions(const QString &verb, std::vector<ScreenSizeChange> &changes);
    // Every failure goes through here: the message on standard error, and
    // with --json the failure document's "error" (the first one counts).
    int fail(int code, const QString &message);
    // A result line on standard output; with --json on standard error, so
    // that standard output holds the JSON document alone.
    void print(const QString &line);
    // The verb's JSON result. Not printed at once: run() prints one
    // document at the end, this object with "ok" (and, for an exit code
    // other than 0, "error" and "code") added.
    void printJson(const QJsonObject &object);
    void printJsonDocument(int code);
    bool json() const { return m_json; }
    QString option(const QString &name) const { return m_parser->value(name); }
    bool isSet(const QString &name) const { return m_parser->isSet(name); }

    // The project file: --project FILE, else the default beside the program.
    QString projectPath() const;
    // Loads the project file a verb works on; an exit code on failure. A
    // verb that will change the file passes toChange: the file's lock is then
    // held from before the read until the project is gone.
    int openProject(Project &project, bool toChange = false);
    int saveProject(Project &project);
    // A 1-based program number of the play list; 0 when not valid.
    int itemNumber(const Project &project, const QString &text, QString *error) const;

    // ---- the card (CardVerbs.cpp)
    enum class Attach { Command, Send, Report };
    // Resolves --port (number 1..20 or device path) into a port number; 0
    // when --port is not given; -1 with an error printed when not valid.
    int portOption();
    // Finds (without --port) or opens the card, identifies it and checks its
    // support; an exit code when the verb cannot go on.
    int attachCard(Project &project, Attach purpose, int port);
    int runFind(Project &project, int port);
    int reportCommand(Project &project, bool ok, const QString &error = {});
    int verbFind(const QStringList &args);
    int verbInfo(const QStringList &args);
    int verbSend(const QStringList &args);
    int verbClear(const QStringList &args);
    int verbClock(const QStringList &args);
    int verbPower(const QStringList &args);
    int verbBrightness(const QStringList &args);
    int verbParams(const QStringList &args);
    int verbFactoryReset(const QStringList &args);
    int simpleCardCommand(bool (Project::*command)());

    // ---- the play list (ProjectVerbs.cpp)
    int verbNew(const QStringList &args);
    int verbList(const QStringList &args);
    int verbAddText(const QStringList &args);
    int verbAddPicture(const QStringList &args);
    int verbRemove(const QStringList &args);
    int verbMove(const QStringList &args);
    int verbSet(const QStringList &args);
    int addItem(std::unique_ptr<ProgramItem> item, const QString &content);
    // Applies --card, or with --port the connected card's identification
    // and screen parameters, before pages are rendered.
    int prepareRendering(Project &project);

    // ---- pictures (RenderVerb.cpp)
    int verbRender(const QStringList &args);

    // ---- the HTTP service (ServeVerb.cpp)
    int verbServe(const QStringList &args);

    Console &m_console;
    std::unique_ptr<TerminalUserInterface> m_ui;
    int runCommandLine(const QStringList &arguments);

    QCommandLineParser *m_parser = nullptr;
    bool m_json = false;
    bool m_helpShown = false;
    std::unique_ptr<QJsonObject> m_jsonResult; // what printJson() was given
    QString m_failure;                         // the first fail() or usageError() message
};
