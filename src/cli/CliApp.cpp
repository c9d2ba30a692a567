#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/AppPaths.h"
#include "base/AppServices.h"
#include "base/OptionSpellings.h"
#include "base/Version.h"
#include "cli/Console.h"
#include "cli/MqttOptions.h"
#include "model/PlayList.h"
#include "model/ProgramFields.h"
#include "render/EntryAnimation.h"
#include "render/TextFont.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char kProgram[] = "brivane-cli";

void addItemFieldOptions(QCommandLineParser &p, bool picture)
{
    if (!picture) {
        p.addOptions({
            {QStringLiteral("font"),
             trEn("Cli", "Font face name (default %1).").arg(TextFont::kDefaultFace),
             QStringLiteral("FACE")},
            {QStringLiteral("size"),
             trEn("Cli", "Font size in points, 1..999 (default %1).")
                 .arg(TextFont::kDefaultSize),
             QStringLiteral("PT")},
            {QStringLiteral("color"), trEn("Cli", "red, green or yellow (default red)."),
             QStringLiteral("COLOR")},
            {QStringLiteral("style"),
             trEn("Cli", "regular, bold, italic or bold-italic (default regular)."),
             QStringLiteral("STYLE")},
        });
    } else {
        p.addOptions({
            {QStringLiteral("mode"),
             trEn("Cli", "centre (natural size) or stretch (whole screen); default centre."),
             QStringLiteral("MODE")},
            {QStringLiteral("reverse"), trEn("Cli", "Invert the image's colours.")},
            {QStringLiteral("limit"),
             trEn("Cli", "Brightness threshold 0..255 of the LED conversion (default 100)."),
             QStringLiteral("N")},
        });
    }
    p.addOptions({
        {QStringLiteral("action"),
         trEn("Cli", "Entry animation: %1..%2 or its name, e.g. 左移, 连续左移 (default %3).")
             .arg(EntryAnimation::kFirst)
             .arg(EntryAnimation::kLast)
             .arg(int(EntryAnimation::kDefault)),
         QStringLiteral("ACTION")},
        {QStringLiteral("speed"), trEn("Cli", "Movement speed 0 (slow)..15 (fast); default 14."),
         QStringLiteral("N")},
        {QStringLiteral("frame"),
         trEn("Cli", "Running border: 0..8 or its name, e.g. 无, 单点快走 (default 0)."),
         QStringLiteral("FRAME")},
        {QStringLiteral("clock"),
         trEn("Cli", "Clock zone: off, dial or text (or 0..2, 关闭/表盘/文字); default off."),
         QStringLiteral("CLOCK")},
        {QStringLiteral("delay"), trEn("Cli", "Stay time in seconds, 0..255 (default 0)."),
         QStringLiteral("S")},
        {QStringLiteral("level"), trEn("Cli", "Speed level 1 (fast)..15 (slow); default 2."),
         QStringLiteral("N")},
        {QStringLiteral("flash"),
         trEn("Cli", "Flash while staying: none, blink or inverse (or 0..2, 无/亮灭闪/反白闪)."),
         QStringLiteral("FLASH")},
        {QStringLiteral("flashdelay"),
         trEn("Cli", "Flash interval in seconds, 0..255 (default 2)."), QStringLiteral("S")},
    });
}

// The sign's colours, for the warnings and the previews.
void addColourTypeOption(QCommandLineParser &p)
{
    p.addOption({QStringLiteral("color-type"),
                 trEn("Cli", "The sign's colours: single (red) or dual (red and green). "
                                "Pictures then show what that sign shows, and colours it "
                                "cannot show are warned about."),
                 QStringLiteral("TYPE")});
}

void addTextOptions(QCommandLineParser &p)
{
    addItemFieldOptions(p, false);
    addColourTypeOption(p);
}

void addSetOptions(QCommandLineParser &p)
{
    addColourTypeOption(p);
}
void addPictureOptions(QCommandLineParser &p)
{
    addItemFieldOptions(p, true);
}

void addCardOption(QCommandLineParser &p)
{
    p.addOption({QStringLiteral("card"),
                 trEn("Cli", "Render for a card of this kind without asking one, e.g. "
                                "15,0x23,2.2.7 (series, model code, firmware): clock zones are "
                                "shown only for the cards that have them."),
                 QStringLiteral("SERIES,MODEL,FIRMWARE")});
    addColourTypeOption(p);
}

void addNewOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("width"), trEn("Cli", "Screen width in pixels (default 256)."),
         QStringLiteral("PX")},
        {QStringLiteral("height"), trEn("Cli", "Screen height in pixels (default 32)."),
         QStringLiteral("PX")},
        {QStringLiteral("force"), trEn("Cli", "Replace an existing project file.")},
    });
}

void addRenderOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("out"), trEn("Cli", "Folder for the pictures (created when missing)."),
         QStringLiteral("DIR")},
        {QStringLiteral("preview"),
         trEn("Cli", "Whole screen as the preview shows it, clock zone and dial included.")},
        {QStringLiteral("animate"),
         trEn("Cli", "Write the play list as the sign plays it to an animated GIF instead."),
         QStringLiteral("FILE.gif")},
        {QStringLiteral("frames"),
         trEn("Cli", "Write the animation's frames (50 a second) as DIR/frame-NNNNN.png."),
         QStringLiteral("DIR")},
        {QStringLiteral("program"),
         trEn("Cli", "Animate only program N (1-based)."), QStringLiteral("N")},
        {QStringLiteral("scale"), trEn("Cli", "GIF pixels per LED, 1 to 16 (default 1)."),
         QStringLiteral("K")},
        {QStringLiteral("dots"), trEn("Cli", "Draw each LED as a round dot (from --scale 3).")},
    });
    addCardOption(p);
}

void addSendOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("on-error"),
         trEn("Cli", "When clearing or a program fails: ask, retry, skip or stop (default: "
                        "ask on a terminal, stop otherwise)."),
         QStringLiteral("WHAT")},
        {QStringLiteral("retries"),
         trEn("Cli", "Resends for --on-error retry before the send stops (default 3)."),
         QStringLiteral("N")},
    });
}

void addParamsOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("width"),
         trEn("Cli", "Screen width 16..2048 pixels, rounded down to a multiple of 16 (a width "
                        "outside the range is replaced by 64)."),
         QStringLiteral("PX")},
        {QStringLiteral("height"),
         trEn("Cli", "Screen height 16..128 pixels, rounded down to a multiple of 16 (a height "
                        "outside the range is replaced by 64)."),
         QStringLiteral("PX")},
        {QStringLiteral("color"), trEn("Cli", "single (red) or dual (red and green)."),
         QStringLiteral("TYPE")},
        {QStringLiteral("scan"),
         trEn("Cli", "Scan mode: a code (0x00, 0x80..0x82, 0x41..0x48) or its short name "
                        "(16.0, 8.0, 8.1, 8.2, 4.1 .. 4.8)."),
         QStringLiteral("CODE")},
        {QStringLiteral("reverse-data"), trEn("Cli", "Reverse data on.")},
        {QStringLiteral("no-reverse-data"), trEn("Cli", "Reverse data off.")},
        {QStringLiteral("reverse-oe"), trEn("Cli", "Reverse OE on.")},
        {QStringLiteral("no-reverse-oe"), trEn("Cli", "Reverse OE off.")},
        {QStringLiteral("row-order"), trEn("Cli", "Row order -15..15."), QStringLiteral("N")},
        {QStringLiteral("frequency"),
         trEn("Cli", "Scan frequency in MHz: 1.0, 1.25, 1.5, 1.75 or 2.0."),
         QStringLiteral("MHZ")},
        {QStringLiteral("no-138"), trEn("Cli", "No 138 decoder.")},
        {QStringLiteral("with-138"), trEn("Cli", "With a 138 decoder.")},
    });
}

void addFontsOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("size"),
         trEn("Cli", "Size in points for the faces and samples (default 12, 16 pixels)."),
         QStringLiteral("PT")},
        {QStringLiteral("out"),
         trEn("Cli", "Folder for one sample line per face as a PNG (created when missing)."),
         QStringLiteral("DIR")},
    });
}

void noOptions(QCommandLineParser &)
{
}

void addSignsOptions(QCommandLineParser &p)
{
    p.addOption({QStringLiteral("group"),
                 trEn("Cli", "add: the sign belongs to this group (repeatable; replaces its "
                                "groups); list: only the signs of this group."),
                 QStringLiteral("G")});
#ifdef BRIVANE_MQTT
    // remove: also from the broker (its Home Assistant device, retained topics).
    addMqttOptions(p);
#endif
}

void addScheduleOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("at"),
         trEn("Cli", "show: the local time to start from, e.g. 2026-12-10T10:30 (default: now)."),
         QStringLiteral("TIME")},
        {QStringLiteral("days"),
         trEn("Cli", "show: how many days of changes to list (1 to 31, default 7)."),
         QStringLiteral("N")},
    });
}

void addServeOptions(QCommandLineParser &p)
{
    addSendOptions(p);
    p.addOptions({
        {QStringLiteral("listen"),
         trEn("Cli", "Address and port to listen on (default 127.0.0.1:8080; port 0: any "
                        "free port; none: MQTT only). Any address but loopback needs a token."),
         QStringLiteral("ADDR:PORT")},
        {QStringLiteral("token"),
         trEn("Cli", "Every request must carry 'Authorization: Bearer TOKEN' or log in on "
                        "the page with it (default: BRIVANE_TOKEN)."),
         QStringLiteral("TOKEN")},
        {QStringLiteral("allow-host"),
         trEn("Cli", "A host name the service answers to besides loopback and the listen "
                        "address (repeatable)."),
         QStringLiteral("NAME")},
        {QStringLiteral("tls"),
         trEn("Cli", "Serve HTTPS only, with this PEM certificate; the PEM key follows as "
                        "the next argument: --tls CERT KEY."),
         QStringLiteral("CERT")},
        {QStringLiteral("schedule"),
         trEn("Cli", "Run this schedule file: the play list, brightness and power it gives "
                        "for each time, sent when they change; GET /api/schedule/status."),
         QStringLiteral("FILE")},
    });
#ifdef BRIVANE_MQTT
    addMqttOptions(p);
#endif
}

} // namespace

struct CliApp::Verb {
    const char *name;
    const char *arguments;
    const char *summary;
    int minArgs;
    int maxArgs;
    void (*addOptions)(QCommandLineParser &);
    int (CliApp::*run)(const QStringList &);
};

const std::vector<CliApp::Verb> &CliApp::verbs()
{
    static const std::vector<Verb> table = {
        {"find", "", TR_EN_NOOP("Cli", "Search ports 1 to 20 for the card; print its port, device and model."), 0, 0,
         noOptions, &CliApp::verbFind},
        {"info", "", TR_EN_NOOP("Cli", "Model, series, firmware, screen parameters and brightness of the card."), 0, 0,
         noOptions, &CliApp::verbInfo},
        {"send", "", TR_EN_NOOP("Cli", "Send the whole play list to the card."), 0, 0, addSendOptions,
         &CliApp::verbSend},
        {"clear", "", TR_EN_NOOP("Cli", "Clear the card's display."), 0, 0, noOptions, &CliApp::verbClear},
        {"clock", "", TR_EN_NOOP("Cli", "Set the card's clock to this computer's local time."), 0, 0, noOptions,
         &CliApp::verbClock},
        {"power", "on|off", TR_EN_NOOP("Cli", "Switch the screen on or off."), 1, 1, noOptions, &CliApp::verbPower},
        {"brightness", "[0-15]", TR_EN_NOOP("Cli", "Read the brightness, or set it."), 0, 1, noOptions,
         &CliApp::verbBrightness},
        {"params", "", TR_EN_NOOP("Cli", "Read the screen parameters, or write those given as options."), 0, 0,
         addParamsOptions, &CliApp::verbParams},
        {"factory-reset", "", TR_EN_NOOP("Cli", "Restore the card's factory settings."), 0, 0, noOptions,
         &CliApp::verbFactoryReset},
        {"new", "", TR_EN_NOOP("Cli", "Create a project file with an empty play list."), 0, 0, addNewOptions,
         &CliApp::verbNew},
        {"list", "", TR_EN_NOOP("Cli", "One line per program of the play list."), 0, 0, addCardOption,
         &CliApp::verbList},
        {"add-text", "TEXT", TR_EN_NOOP("Cli", "Append a text program."), 1, 1, addTextOptions, &CliApp::verbAddText},
        {"add-picture", "PATH", TR_EN_NOOP("Cli", "Append a picture program."), 1, 1, addPictureOptions,
         &CliApp::verbAddPicture},
        {"remove", "N", TR_EN_NOOP("Cli", "Remove program N."), 1, 1, noOptions, &CliApp::verbRemove},
        {"move", "N up|down", TR_EN_NOOP("Cli", "Move program N one place up or down."), 2, 2, noOptions,
         &CliApp::verbMove},
        {"set", "N FIELD=VALUE...", TR_EN_NOOP("Cli", "Change fields of program N."), 2, 64, addSetOptions,
         &CliApp::verbSet},
        {"render", "", TR_EN_NOOP("Cli", "Write every page of every program as DIR/NN-PP.png, or the animation."), 0,
         0, addRenderOptions, &CliApp::verbRender},
        {"fonts", "", TR_EN_NOOP("Cli", "The faces to choose from, their pixel strikes, and sample lines."), 0, 0,
         addFontsOptions, &CliApp::verbFonts},
        {"signs", "add NAME PORT [--group G]...|list [--group G]|remove NAME",
         TR_EN_NOOP("Cli", "Keep named signs (a device path or tcp://HOST:PORT each), in groups."), 1, 3,
         addSignsOptions,
         &CliApp::verbSigns},
        {"schedule", "check|show FILE",
         TR_EN_NOOP("Cli", "Check a schedule file, or show which play list, brightness and power it gives when."), 2,
         2, addScheduleOptions, &CliApp::verbSchedule},
        {"serve", "", TR_EN_NOOP("Cli", "Run the HTTP service and web page for this project and card."), 0, 1,
         addServeOptions, &CliApp::verbServe},
    };
    return table;
}

const CliApp::Verb *CliApp::findVerb(const QString &name)
{
    for (const Verb &verb : verbs())
        if (name == QLatin1String(verb.name))
            return &verb;
    return nullptr;
}

CliApp::CliApp(Console &console) : m_console(console)
{
}

CliApp::~CliApp() = default;

void CliApp::addGlobalOptions(QCommandLineParser &parser) const
{
    parser.addOptions({
        {QStringLiteral("project"),
         trEn("Cli", "Project file (default: %1).")
             .arg(QDir::toNativeSeparators(defaultProjectFilePath())),
         QStringLiteral("FILE")},
        {QStringLiteral("port"),
         trEn("Cli", "Port number 1..20, a device path, tcp://HOST:PORT or a sign's name "
                        "(default: search for the card); repeatable."),
         QStringLiteral("PORT")},
        {QStringLiteral("sign"), trEn("Cli", "A sign of the sign list; repeatable."),
         QStringLiteral("NAME")},
        {QStringLiteral("all-signs"), trEn("Cli", "Every sign of the sign list.")},
        {QStringLiteral("json"),
         trEn("Cli", "One JSON document on standard output, for every verb: \"ok\" and the "
                        "result, or \"ok\": false with \"error\" and \"code\".")},
        {{QStringLiteral("h"), QStringLiteral("help")}, trEn("Cli", "Show this help.")},
        {QStringLiteral("version"), trEn("Cli", "Show the version.")},
    });
}

QString CliApp::globalHelp() const
{
    QString text =
        trEn("Cli", "Usage: %1 [--project FILE] [--port PORT] [--json] VERB [ARGS]\n\n"
                       "Drives an LED sign's controller card and edits the play list "
                       "of a project file.\n\nVerbs:\n")
            .arg(QLatin1String(kProgram));
    for (const Verb &verb : verbs()) {
        const QString head = QStringLiteral("%1 %2")
                                 .arg(QLatin1String(verb.name), QLatin1String(verb.arguments))
                                 .trimmed();
        text += QStringLiteral("  %1 %2\n").arg(head, -22).arg(trEn("Cli", verb.summary));
    }
    text += trEn("Cli", 
        "\nOptions:\n"
        "  --project FILE   Project file; default: default.brivprj beside the program when\n"
        "                   that folder is writable, else in the user's data folder.\n"
        "                   This copy uses %1\n"
        "  --port PORT      Port number 1..20, a device path, tcp://HOST:PORT or a sign's\n"
        "                   name; without it the card verbs first search ports 1 to 20.\n"
        "  --sign NAME      A sign of the sign list ('signs add NAME PORT').\n"
        "  --all-signs      Every sign of the sign list.\n"
        "                   --port and --sign may be repeated: find, info, send, clear,\n"
        "                   clock, power, brightness and factory-reset then serve all the\n"
        "                   signs at once, one line (or, with --json, one array entry) each;\n"
        "                   exit code 0 when all succeeded, 3 when none was reached, else 1.\n"
        "  --json           One JSON document on standard output, for every verb: \"ok\"\n"
        "                   and the result, or \"ok\": false with \"error\" and \"code\"\n"
        "                   (the exit code); other lines go to standard error.\n"
        "  -h, --help       This help; VERB --help shows the options of a verb.\n"
        "  --version        The version of the program.\n"
        "\nResults go to standard output, progress and messages to standard error.\n"
        "--colour is accepted for --color, --flash-delay for --flashdelay (also as set fields).\n"
        "Ctrl-C during a send stops after the current program; a second Ctrl-C stops at once.\n"
        "SIGTERM and SIGHUP (timeout, systemctl stop, a closed SSH session) act as Ctrl-C.\n"
        "\nExit codes:\n"
        "  0  success\n"
        "  1  the operation ran but not everything succeeded (programs skipped or failed,\n"
        "     cancelled, the card refused a command)\n"
        "  2  usage error, or a file that cannot be read or written\n"
        "  3  no card found, or the port cannot be opened\n"
        "  4  the card is not supported\n")
                .arg(QDir::toNativeSeparators(defaultProjectFilePath()));
    return text;
}

QString CliApp::verbHelp(const Verb &verb, QCommandLineParser &parser) const
{
    QString text = parser.helpText();
    // Qt's usage line names the executable as invoked; ours names the verb.
    const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
    const QString usage =
        trEn("Cli", "Usage: %1 [global options] %2 %3")
            .arg(QLatin1String(kProgram), QLatin1String(verb.name), QLatin1String(verb.arguments))
            .trimmed() +
        QStringLiteral(" [options]");
    text = usage + (firstBreak >= 0 ? text.mid(firstBreak) : QString());
    return trEn("Cli", verb.summary) + QStringLiteral("\n\n") + text;
}

int CliApp::showVersion()
{
    m_helpShown = true;
    m_console.out(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram),
                                                 QLatin1String(kBrivaneVersion)));
    return ExitOk;
}

int CliApp::usageError(const QString &message, const QString &verb)
{
    if (m_failure.isEmpty())
        m_failure = message;
    m_console.err(QStringLiteral("%1: %2\n").arg(QLatin1String(kProgram), message));
    m_console.err(verb.isEmpty()
                      ? trEn("Cli", "Try '%1 --help'.\n").arg(QLatin1String(kProgram))
                      : trEn("Cli", "Try '%1 %2 --help'.\n").arg(QLatin1String(kProgram), verb));
    return ExitUsage;
}

QString CliApp::withCliVerb(const QString &text)
{
    // The card's and the program's texts stay as they are; after the
    // sentence that names the GUI's search button, the verb that does the
    // same follows.
    qsizetype at = text.indexOf(QStringLiteral("查找屏"));
    if (at < 0)
        at = text.indexOf(QStringLiteral("‘查屏’"));
    // The same sentences in English, as brivane_en.ts words them.
    if (at < 0)
        at = text.indexOf(QLatin1String("'Find Sign'"));
    if (at < 0)
        at = text.indexOf(QLatin1String("find the sign"));
    if (at < 0)
        return text;
    const QString verb = QStringLiteral(" (%1 find)").arg(QLatin1String(kProgram));
    qsizetype stop = text.indexOf(QStringLiteral("。"), at);
    if (stop < 0)
        stop = text.indexOf(QLatin1Char('.'), at);
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), at);
    if (stop >= 0 && (lineEnd < 0 || stop < lineEnd)) {
        const bool more = stop + 1 < text.size() && text.at(stop + 1) != QLatin1Char('\n');
        return text.left(stop + 1) + verb + (more ? QStringLiteral(" ") : QString()) +
               text.mid(stop + 1);
    }
    if (lineEnd < 0)
        return text + verb;
    return text.left(lineEnd) + verb + text.mid(lineEnd);
}

int CliApp::fail(int code, const QString &message)
{
    const QString text = withCliVerb(message);
    if (m_failure.isEmpty())
        m_failure = text;
    m_console.err(QStringLiteral("%1: %2\n").arg(QLatin1String(kProgram), text));
    return code;
}

void CliApp::print(const QString &line)
{
    if (m_json)
        m_console.err(line + QLatin1Char('\n'));
    else
        m_console.out(line + QLatin1Char('\n'));
}

void CliApp::printJson(const QJsonObject &object)
{
    if (!m_jsonResult) {
        m_jsonResult = std::make_unique<QJsonObject>(object);
        return;
    }
    for (auto it = object.begin(); it != object.end(); ++it)
        m_jsonResult->insert(it.key(), it.value());
}

void CliApp::printJsonDocument(int code)
{
    QJsonObject doc = m_jsonResult ? *m_jsonResult : QJsonObject();
    doc[u"ok"] = code == ExitOk;
    if (code != ExitOk) {
        // A failure that printed no message of its own (a verb's result
        // already tells it) is named by its exit code.
        QString error = m_failure;
        if (error.isEmpty())
            error = doc.value(u"message").toString();
        if (error.isEmpty()) {
            switch (code) {
            case ExitPartial:
                error = trEn("Cli", "not everything succeeded");
                break;
            case ExitUsage:
                error = trEn("Cli", "usage error");
                break;
            case ExitNoCard:
                error = trEn("Cli", "no card found, or the port cannot be opened");
                break;
            case ExitUnsupported:
                error = Outcome::unsupportedCard().text();
                break;
            default:
                error = QStringLiteral("failed");
                break;
            }
        }
        doc[u"error"] = error;
        doc[u"code"] = code;
    }
    m_console.out(QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented)));
}

int CliApp::run(const QStringList &arguments)
{
    m_jsonResult.reset();
    m_failure.clear();
    m_helpShown = false;
    m_jsonWritten = false;
    // Before the command line is parsed (a usage error in it), --json
    // anywhere before "--" asks for the failure document too.
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    m_json = arguments.mid(1, end < 0 ? -1 : end - 1).contains(QStringLiteral("--json"));
    const int code = runCommandLine(arguments);
    if (m_json && !m_helpShown && !m_jsonWritten)
        printJsonDocument(code);
    m_json = false;
    return code;
}

int CliApp::runCommandLine(const QStringList &typed)
{
    // "--colour" and the other spellings become the documented option.
    const QStringList arguments = OptionSpellings::normalized(typed);
    // First pass: the global options before the verb, and the verb.
    QCommandLineParser global;
    addGlobalOptions(global);
    global.addPositionalArgument(QStringLiteral("verb"), trEn("Cli", "What to do."));
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!global.parse(arguments))
        return usageError(global.errorText());
    const QStringList firstPositional = global.positionalArguments();
    if (global.isSet(QStringLiteral("version")))
        return showVersion();
    if (firstPositional.isEmpty()) {
        if (global.isSet(QStringLiteral("help"))) {
            m_helpShown = true;
            m_console.out(globalHelp());
            return ExitOk;
        }
        return usageError(trEn("Cli", "no verb given"));
    }
    const QString verbName = firstPositional.first();
    const Verb *verb = findVerb(verbName);
    if (!verb)
        return usageError(trEn("Cli", "unknown verb '%1'").arg(verbName));

    // Second pass: the whole line with the verb's options; global options
    // may stand before or after the verb.
    QCommandLineParser parser;
    addGlobalOptions(parser);
    verb->addOptions(parser);
    if (!parser.parse(arguments))
        return usageError(parser.errorText(), verbName);
    if (parser.isSet(QStringLiteral("version")))
        return showVersion();
    m_parser = &parser;
    if (parser.isSet(QStringLiteral("help"))) {
        m_helpShown = true;
        m_console.out(verbHelp(*verb, parser));
        m_parser = nullptr;
        return ExitOk;
    }
    QStringList args = parser.positionalArguments();
    args.removeFirst(); // the verb
    if (const int code = checkVerbLine(*verb, verbName, args); code != ExitOk)
        return code;
    m_json = parser.isSet(QStringLiteral("json"));
    m_ui =
        std::make_unique<TerminalUserInterface>(m_console, TerminalUserInterface::Policy::Stop, 0);
    const int code = (this->*(verb->run))(args);
    m_ui.reset();
    m_parser = nullptr;
    return code;
}

int CliApp::checkVerbLine(const Verb &verb, const QString &verbName, const QStringList &args)
{
    if (args.size() < verb.minArgs || args.size() > verb.maxArgs) {
        m_parser = nullptr;
        return usageError(args.size() < verb.minArgs
                              ? trEn("Cli", "%1: missing arguments").arg(verbName)
                              : trEn("Cli", "%1: too many arguments").arg(verbName),
                          verbName);
    }
    for (const char *name : {"project", "port", "sign"}) {
        if (isSet(QLatin1String(name)) && option(QLatin1String(name)).trimmed().isEmpty()) {
            m_parser = nullptr;
            return usageError(trEn("Cli", "--%1 needs a value").arg(QLatin1String(name)));
        }
    }
    return ExitOk;
}

QString CliApp::projectPath() const
{
    const QString given = option(QStringLiteral("project"));
    if (!given.isEmpty())
        return QFileInfo(given).absoluteFilePath();
    return PlayList().projectFilePath();
}

int CliApp::openProject(PlayList &project, bool toChange)
{
    const QString path = projectPath();
    project.setProjectFilePath(path);
    // Pages are built where a verb needs them (render, send), not by edits.
    project.setBuildsPages(false);
    const QFileInfo info(path);
    if (!info.isFile())
        return fail(ExitUsage, info.exists()
                                   ? trEn("Cli", "%1 is not a project file").arg(path)
                                   : trEn("Cli", "no project file %1 (create one with '%2 new')")
                                         .arg(path, QLatin1String(kProgram)));
    // An empty list alone is a valid project.
    if (toChange) {
        if (const Outcome locked = project.lockProjectFile(); !locked)
            return fail(ExitUsage, locked.text());
    }
    if (const Outcome loaded = project.load(); !loaded) {
        // The load's own message first, as the GUI shows it.
        m_console.err(trEn("Cli", "Error: ") + loaded.text() + QLatin1Char('\n'));
        return fail(ExitUsage, trEn("Cli", "cannot read the project file %1").arg(path));
    }
    return ExitOk;
}

int CliApp::saveProject(PlayList &project)
{
    // Under the lock nobody who takes it can have written; a program that
    // does not take it still must not lose its change to ours.
    if (project.holdsProjectFileLock() && project.projectFileChangedOnDisk())
        return fail(ExitUsage,
                    trEn("Cli", "the project file %1 was changed by another program while this "
                                   "command ran; nothing was written")
                        .arg(project.projectFilePath()));
    if (const Outcome saved = project.save(); !saved) {
        m_console.err(applicationTitle() + QStringLiteral(": ") + saved.text() + QLatin1Char('\n'));
        return fail(
            ExitUsage,
            trEn("Cli", "cannot write the project file %1").arg(project.projectFilePath()));
    }
    return ExitOk;
}

int CliApp::itemNumber(const PlayList &project, const QString &text, QString *error) const
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > project.itemCount()) {
        *error =
            project.itemCount() == 0
                ? trEn("Cli", "invalid program number '%1': the play list is empty").arg(text)
                : trEn("Cli", "invalid program number '%1': expected 1..%2")
                      .arg(text)
                      .arg(project.itemCount());
        return 0;
    }
    return n;
}
