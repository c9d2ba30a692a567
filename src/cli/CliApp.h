#pragma once
// brivane-cli: the command-line front end. Parses the arguments (a verb and
// its options, QCommandLineParser), runs the verb through the same PlayList, CardSession,
// items, renderers, link and jobs as the GUI, and turns the outcome into
// terminal output and an exit code. One CliApp runs one command line; main()
// owns it, tests run it in-process with a recording Console.

#include "cli/TerminalUserInterface.h"
#include "link/ScreenParams.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class Console;
class ProgramItem;
struct SignTarget;
class SignList;
class PlayList;
class CardSession;
struct SignResult;
class QJsonObject;
class QJsonArray;
struct SendReport;

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
    // --version: "brivane-cli VERSION" on standard output.
    int showVersion();
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
    // text, with "(brivane-cli find)" after the sentence that names the
    // GUI's card search.
    static QString withCliVerb(const QString &text);
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
    QStringList options(const QString &name) const { return m_parser->values(name); }
    bool isSet(const QString &name) const { return m_parser->isSet(name); }

    // The project file: --project FILE, else the default beside the program.
    QString projectPath() const;
    // Loads the project file a verb works on; an exit code on failure. A
    // verb that will change the file passes toChange: the file's lock is then
    // held from before the read until the project is gone.
    int openProject(PlayList &project, bool toChange = false);
    int saveProject(PlayList &project);
    // A 1-based program number of the play list; 0 when not valid.
    int itemNumber(const PlayList &project, const QString &text, QString *error) const;

    // ---- the card (CardVerbs.cpp)
    // Resolves --port/--sign/--all-signs for a verb that serves one sign:
    // its port number; 0 when none is named; -1 with an error printed when
    // not valid or more than one is named.
    int portOption();
    // The same for a verb that serves several: the signs named, and the
    // port number (0 none, -1 several). ExitOk or a usage error's code.
    int cardTargets(std::vector<SignTarget> &targets, int &port);
    // Runs a card verb on the signs named: on the calling thread for one
    // (the search when none is named), one worker thread per sign for
    // several; the exit code.
    int runCardVerb(const QString &verb, const QStringList &args,
                    TerminalUserInterface::Policy policy = TerminalUserInterface::Policy::Stop,
                    int retries = 0);
    // One sign's result as the verb's own output (lines or its document).
    int reportOneSign(const QString &verb, const QStringList &args, const SignResult &result);
    int reportFind(const SignResult &result);
    int reportInfo(const SignResult &result);
    // Finds (port 0) or opens the card for a verb of one sign and checks its
    // support; an exit code when the verb cannot go on.
    int attachOne(CardSession &card, int port);
    int verbFind(const QStringList &args);
    int verbInfo(const QStringList &args);
    int verbSend(const QStringList &args);
    // send's questions' policy from --on-error and --retries.
    int sendPolicyOptions(TerminalUserInterface::Policy &policy, int &retries);
    int verbClear(const QStringList &args);
    int verbClock(const QStringList &args);
    int verbPower(const QStringList &args);
    int verbBrightness(const QStringList &args);
    int verbParams(const QStringList &args);
    // The changes the options of params ask for; an exit code on a bad one.
    int screenParamsOptions(std::vector<std::function<void(ScreenParams &)>> &changes);
    int verbFactoryReset(const QStringList &args);
    // What a card verb changes, for its --json document.
    static QJsonObject cardChangeJson(const QString &verb, const QStringList &args);

    // ---- signs (SignsVerb.cpp)
    int verbSigns(const QStringList &args);
    int signsList(const SignList &list, bool readable, const QStringList &args);
    int signsAdd(SignList &list, bool readable, const QStringList &args);
    int signsRemove(SignList &list, bool readable, const QStringList &args);
    // Refuses an unreadable list, applies edit (an exit code), saves, reports done.
    int signsEdit(SignList &list, bool readable, const std::function<int()> &edit,
                  QJsonObject done, const QString &doneText);
    // The signs --port (repeatable), --sign (repeatable) and --all-signs
    // name, each once, in that order. ExitOk or a usage error's code.
    int signTargets(std::vector<SignTarget> &targets);

    // ---- the play list (ProjectVerbs.cpp)
    int verbNew(const QStringList &args);
    int verbList(const QStringList &args);
    int verbAddText(const QStringList &args);
    int verbAddPicture(const QStringList &args);
    int verbRemove(const QStringList &args);
    int verbMove(const QStringList &args);
    int verbSet(const QStringList &args);
    int addItem(PlayList &project, std::unique_ptr<ProgramItem> item, const QString &content);
    // Applies --card, or with --port the connected card's identification
    // and screen parameters, before pages are rendered.
    int prepareRendering(PlayList &project);
    // Applies --color-type: the sign's colour type, known from now on.
    int colourTypeOption(PlayList &project);

    // ---- pictures (RenderVerb.cpp)
    int verbRender(const QStringList &args);
    // render --animate / --frames (AnimateVerb.cpp)
    int renderAnimation();

    // ---- faces (FontsVerb.cpp)
    int verbFonts(const QStringList &args);
    // Prints the warnings of program `number` (1-based) on standard error
    // and, given collected, appends them there with "program" added.
    void warnProgram(const PlayList &project, int number, QJsonArray *collected = nullptr);
    // One warning of playListWarningsJson as a line on standard error.
    void printWarning(const QJsonObject &warning);
    // ---- the HTTP service (ServeVerb.cpp)
    int verbServe(const QStringList &args);

    Console &m_console;
    std::unique_ptr<TerminalUserInterface> m_ui;
    int runCommandLine(const QStringList &arguments);
    // The verb's argument count and the options that need a value: ExitOk,
    // or a usage error (with the parser let go).
    int checkVerbLine(const Verb &verb, const QString &verbName, const QStringList &args);

    QCommandLineParser *m_parser = nullptr;
    bool m_json = false;
    // A verb printed its own JSON (an array for several signs).
    bool m_jsonWritten = false;
    bool m_helpShown = false;
    std::unique_ptr<QJsonObject> m_jsonResult; // what printJson() was given
    QString m_failure;                         // the first fail() or usageError() message
};
