// The card verbs: find, info, send, clear, clock, power, brightness, params,
// factory-reset. One code path for one sign and for many: each verb is a job
// for one sign on its own CardSession, run on the calling thread for one
// sign (the search when no port is named, as the GUI does when it opens)
// and on a worker thread per sign for several (MultiSign). Every argument
// is checked before the first byte goes to a card.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/LocalClock.h"
#include "cli/Console.h"
#include "cli/InterruptWatch.h"
#include "cli/MultiSign.h"
#include "cli/SendResult.h"
#include "cli/TerminalProgressHost.h"
#include "link/PortNaming.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/ProgramWarnings.h"
#include "model/ProjectJson.h"
#include "model/ScreenParamsText.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <optional>

namespace {

constexpr int kDefaultRetries = 3;

// The exit code of a card that cannot be used.
int attachExitCode(const Outcome &outcome)
{
    return outcome.code() == OutcomeCode::Unsupported ? ExitUnsupported : ExitNoCard;
}

// A fault of one sign: its exit code, outcome and text.
void failed(SignResult &r, int code, const QString &error)
{
    r.code = code;
    r.error = error;
    r.outcome = code == ExitNoCard        ? QStringLiteral("no-card")
                : code == ExitUnsupported ? QStringLiteral("unsupported")
                                          : QStringLiteral("failed");
}

void succeeded(SignResult &r, const QString &summary)
{
    r.code = ExitOk;
    r.outcome = QStringLiteral("ok");
    r.summary = summary;
}

// The card's JSON with the device's stable name, where it has one.
QJsonObject withStableName(QJsonObject o)
{
    const QString stable = PortNaming::stableName(o.value(u"device").toString());
    if (!stable.isEmpty())
        o[u"stableName"] = stable;
    return o;
}

// Opens the sign's port and identifies its card, or searches for it when the
// sign names no port. False with r filled in when the verb cannot go on; a
// card of another model is reported but refused unless `report` is set.
// announce (one sign only) tells which card the search found.
bool attach(CardSession &card, const SignTarget &t, ProgressHost &host, SignResult &r,
            bool report, const std::function<void(const QString &)> &announce = {})
{
    const Outcome attached = t.number > 0 ? card.attach(t.number) : card.search(host);
    r.port = card.port();
    if (attached || attached.code() == OutcomeCode::Unsupported) {
        r.cardSeen = true;
        r.card = card.info();
        r.details = withStableName(ProjectJson::card(card.port(), card.info()));
    }
    if (attached) {
        if (t.number == 0 && announce)
            announce(trEn("Cli", "Using %1: %2\n")
                         .arg(CardSession::portText(card.port()), card.info().formatModel()));
        return true;
    }
    failed(r, attachExitCode(attached), attached.userText());
    return attached.code() == OutcomeCode::Unsupported && report;
}

// One command after attaching; `changed` is what it changed, for --json.
MultiSign::Job commandJob(const std::function<Outcome(CardSession &)> &command,
                          const QJsonObject &changed,
                          const std::function<void(const QString &)> &announce)
{
    return [command, changed, announce](const SignTarget &t, ProgressHost &host, SignResult &r) {
        CardSession card;
        if (!attach(card, t, host, r, false, announce))
            return;
        const Outcome done = command(card);
        if (!done) {
            failed(r, ExitPartial, done.userText());
            return;
        }
        succeeded(r, done.userText());
        for (auto it = changed.begin(); it != changed.end(); ++it)
            r.details[it.key()] = it.value();
    };
}

void findJob(const SignTarget &t, ProgressHost &host, SignResult &r)
{
    CardSession card;
    if (attach(card, t, host, r, true) && r.outcome.isEmpty())
        succeeded(r, card.info().formatModel());
}

// info: the card, its screen parameters and brightness.
void infoJob(const SignTarget &t, ProgressHost &host, SignResult &r)
{
    CardSession card;
    if (!attach(card, t, host, r, true) || !r.outcome.isEmpty())
        return;
    Outcome read = card.readScreenParams();
    if (read)
        r.params = card.screenParams();
    if (const Outcome level = card.readBrightness(&r.brightness); !level) {
        r.brightness = -1;
        read = level;
    }
    r.details[u"screenParams"] =
        r.params ? QJsonValue(ScreenParamsText::toJson(*r.params)) : QJsonValue();
    r.details[u"brightness"] = r.brightness >= 0 ? QJsonValue(r.brightness) : QJsonValue();
    if (!read) {
        failed(r, ExitPartial, read.userText());
        return;
    }
    succeeded(r, trEn("Cli", "%1, firmware %2, brightness %3")
                     .arg(card.info().formatModel(), ProjectJson::firmwareText(card.info()))
                     .arg(r.brightness));
}

// brightness without a level: reads it.
void readBrightnessJob(const SignTarget &t, ProgressHost &host, SignResult &r)
{
    CardSession card;
    if (!attach(card, t, host, r, false))
        return;
    if (const Outcome read = card.readBrightness(&r.brightness); !read) {
        r.brightness = -1;
        failed(r, ExitPartial, read.userText());
        return;
    }
    r.details[u"brightness"] = r.brightness;
    succeeded(r, trEn("Cli", "brightness %1").arg(r.brightness));
}

// send: the project file read for this sign's own screen, then the whole
// play list after the check before sending.
void sendJob(const QString &path, const SignTarget &t, ProgressHost &host, SignResult &r,
             const std::function<void(const QString &)> &announce)
{
    PlayList list;
    list.setProjectFilePath(path);
    if (const Outcome loaded = list.load(); !loaded) {
        failed(r, ExitUsage, trEn("Cli", "cannot read the project file %1").arg(path));
        return;
    }
    CardSession card;
    if (t.number == 0) {
        if (!attach(card, t, host, r, false, announce))
            return;
    } else {
        card.setPort(t.number);
    }
    const Outcome sent = card.send(list, host);
    if (card.lastSendReport().end == SendReport::End::NotRun) { // the check refused
        r.cardSeen = sent.code() == OutcomeCode::Unsupported;
        r.card = card.info();
        failed(r, attachExitCode(sent), sent.userText());
        return;
    }
    const SendReport &report = card.lastSendReport();
    r.report = report;
    r.details = SendResult::toJson(report);
    // The list is now drawn for this card: what it will not show as the
    // file says.
    r.warnings = playListWarningsJson(list);
    r.details[u"warnings"] = r.warnings;
    QString message;
    const int code = SendResult::exitCode(report, &message);
    if (code == ExitOk) {
        succeeded(r, QCoreApplication::translate("CardSessionSend", "已成功发送了 %n 条信息。", nullptr, report.sentCount));
        return;
    }
    failed(r, code, message);
    // A program that failed (and stopped the send by --on-error) is the
    // reason to report, not the stop it led to.
    for (const SendItemResult &item : report.items) {
        if (item.outcome == SendItemResult::Outcome::Failed) {
            r.error = trEn("Cli", "program %1 failed: %2; %3 of %4 programs sent")
                          .arg(item.index + 1)
                          .arg(item.errorText)
                          .arg(report.sentCount)
                          .arg(report.itemCount);
            return;
        }
    }
    if (report.end == SendReport::End::Cancelled)
        r.outcome = QStringLiteral("cancelled");
    else if (code == ExitPartial && report.sentCount > 0)
        r.outcome = QStringLiteral("partial");
}

} // namespace

int CliApp::cardTargets(std::vector<SignTarget> &targets, int &port)
{
    if (const int code = signTargets(targets); code != ExitOk)
        return code;
    port = targets.empty() ? 0 : targets.size() == 1 ? targets.front().number : -1;
    return ExitOk;
}

int CliApp::portOption()
{
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return -1;
    if (port < 0) {
        usageError(trEn("Cli", "this verb serves one sign at a time"));
        return -1;
    }
    return port;
}

int CliApp::runCardVerb(const QString &verb, const QStringList &args,
                        TerminalUserInterface::Policy policy, int retries)
{
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    const bool one = targets.size() <= 1;
    if (targets.empty())
        targets.push_back({}); // the search
    // Only one sign's run may write to the terminal while it works.
    std::function<void(const QString &)> announce;
    if (one)
        announce = [this](const QString &text) { m_console.err(text); };

    MultiSign::Job job;
    if (verb == u"find") {
        job = findJob;
    } else if (verb == u"info") {
        job = infoJob;
    } else if (verb == u"send") {
        PlayList checked;
        if (const int code = openProject(checked); code != ExitOk)
            return code;
        const QString path = checked.projectFilePath();
        job = [path, announce](const SignTarget &t, ProgressHost &host, SignResult &r) {
            sendJob(path, t, host, r, announce);
        };
    } else if (verb == u"brightness" && args.isEmpty()) {
        job = readBrightnessJob;
    } else {
        std::function<Outcome(CardSession &)> command;
        if (verb == u"clear")
            command = [](CardSession &c) { return c.clearScreen(); };
        else if (verb == u"clock")
            command = [](CardSession &c) { return c.setClock(); };
        else if (verb == u"factory-reset")
            command = [](CardSession &c) { return c.restoreFactorySettings(); };
        else if (verb == u"power")
            command = [on = args.at(0) == u"on"](CardSession &c) { return c.setScreenPower(on); };
        else if (verb == u"brightness")
            command = [level = args.at(0).toInt()](CardSession &c) {
                return c.setBrightness(level);
            };
        else
            return usageError(trEn("Cli", "%1 serves one sign at a time").arg(verb), verb);
        job = commandJob(command, cardChangeJson(verb, args), announce);
    }

    if (one) {
        // A fleet of one, on the calling thread, with the terminal's bar and
        // questions.
        m_ui->setPolicy(policy, retries);
        SignResult result;
        {
            // Ctrl-C stops a send after the current program.
            std::optional<InterruptWatch> watch;
            if (verb == u"send")
                watch.emplace();
            TerminalProgressHost host(m_console, *m_ui, 1);
            job(targets.front(), host, result);
            // The total alone would read as a whole send.
            if (result.report.end == SendReport::End::Cancelled)
                host.setStatus(SendResult::finalPosition(result.report, host.range()),
                               SendResult::finalStatus(result.report));
            host.finish();
        }
        return reportOneSign(verb, args, result);
    }
    MultiSign multi(m_console, json(), policy, retries);
    const std::vector<SignResult> results = multi.run(targets, job);
    if (json()) {
        // One array, one entry per sign, instead of the verb's document.
        m_console.out(QString::fromUtf8(
            QJsonDocument(MultiSign::toJson(targets, results)).toJson(QJsonDocument::Indented)));
        m_jsonWritten = true;
    }
    return MultiSign::exitCode(results);
}

int CliApp::reportOneSign(const QString &verb, const QStringList &args, const SignResult &r)
{
    if (verb == u"find")
        return reportFind(r);
    if (verb == u"info")
        return reportInfo(r);
    if (verb == u"send" && r.report.end != SendReport::End::NotRun) {
        for (const QString &line : SendResult::warnings(r.report))
            m_console.err(line + QLatin1Char('\n'));
        for (const QJsonValue &warning : r.warnings)
            printWarning(warning.toObject());
        if (json()) {
            QJsonObject doc = SendResult::toJson(r.report);
            doc[u"warnings"] = r.warnings;
            printJson(doc);
        } else
            for (const QString &line : SendResult::lines(r.report))
                print(line);
        QString message;
        const int code = SendResult::exitCode(r.report, &message);
        return code == ExitOk ? code : fail(code, message);
    }
    if (r.code != ExitOk)
        return fail(r.code, r.error);
    if (verb == u"brightness" && args.isEmpty()) {
        if (json())
            printJson(QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("brightness"), r.brightness}});
        else
            print(QString::number(r.brightness));
        return ExitOk;
    }
    if (json()) {
        QJsonObject o = cardChangeJson(verb, args);
        o[u"ok"] = true;
        printJson(o);
    } else {
        print(r.summary);
    }
    return ExitOk;
}

int CliApp::reportFind(const SignResult &r)
{
    const bool found = r.code != ExitNoCard;
    if (json()) {
        QJsonObject o = found ? r.details : QJsonObject();
        o[u"found"] = found;
        o[u"accepted"] = r.code == ExitOk;
        if (!found)
            o[u"message"] = r.error;
        printJson(o);
        return r.code;
    }
    if (!found) {
        print(withCliVerb(r.error));
        return r.code;
    }
    print(QStringLiteral("%1: %2").arg(CardSession::portText(r.port), r.card.formatModel()));
    if (r.code == ExitUnsupported)
        m_console.err(r.error + QLatin1Char('\n'));
    return r.code;
}

int CliApp::reportInfo(const SignResult &r)
{
    if (!r.cardSeen)
        return fail(r.code, r.error);
    const ControllerInfo &info = r.card;
    if (json()) {
        printJson(withStableName(ProjectJson::info(r.port, info, r.params ? &*r.params : nullptr,
                                                   r.brightness)));
    } else {
        print(trEn("Cli", "port:          %1").arg(CardSession::portText(r.port)));
        print(trEn("Cli", "model:         %1").arg(info.formatModel()));
        print(trEn("Cli", "model code:    0x%1").arg(info.modelCode, 2, 16, QLatin1Char('0')));
        print(trEn("Cli", "series:        %1").arg(info.series));
        print(trEn("Cli", "firmware:      %1").arg(ProjectJson::firmwareText(info)));
        print(trEn("Cli", "supported:     %1").arg(info.isSupportedModel() ? "yes" : "no"));
        if (r.params)
            for (const QString &line : ScreenParamsText::describe(*r.params))
                print(line);
        if (r.brightness >= 0)
            print(trEn("Cli", "brightness:    %1").arg(r.brightness));
    }
    // Where the play list the other verbs use is kept.
    if (json())
        printJson(QJsonObject{{QStringLiteral("projectFile"), projectPath()}});
    else
        print(trEn("Cli", "project file:  %1").arg(QDir::toNativeSeparators(projectPath())));
    if (r.code == ExitUnsupported) {
        m_console.err(r.error + QLatin1Char('\n'));
        return r.code;
    }
    return r.code == ExitOk ? ExitOk : fail(r.code, r.error);
}

int CliApp::verbFind(const QStringList &args)
{
    return runCardVerb(QStringLiteral("find"), args);
}

int CliApp::verbInfo(const QStringList &args)
{
    return runCardVerb(QStringLiteral("info"), args);
}

int CliApp::sendPolicyOptions(TerminalUserInterface::Policy &policy, int &retries)
{
    // Asking needs a user who sees the question and can answer it.
    policy = m_console.inIsTerminal() && m_console.errIsTerminal()
                 ? TerminalUserInterface::Policy::Ask
                 : TerminalUserInterface::Policy::Stop;
    if (isSet(QStringLiteral("on-error"))) {
        const QString what = option(QStringLiteral("on-error"));
        if (what == u"ask")
            policy = TerminalUserInterface::Policy::Ask;
        else if (what == u"retry")
            policy = TerminalUserInterface::Policy::Retry;
        else if (what == u"skip")
            policy = TerminalUserInterface::Policy::Skip;
        else if (what == u"stop")
            policy = TerminalUserInterface::Policy::Stop;
        else
            return usageError(
                trEn("Cli", "invalid --on-error '%1': ask, retry, skip or stop").arg(what),
                QStringLiteral("send"));
    }
    retries = kDefaultRetries;
    if (isSet(QStringLiteral("retries"))) {
        bool ok = false;
        retries = option(QStringLiteral("retries")).toInt(&ok);
        if (!ok || retries < 0 || retries > 100)
            return usageError(trEn("Cli", "invalid --retries '%1': 0..100")
                                  .arg(option(QStringLiteral("retries"))),
                              QStringLiteral("send"));
    }
    return ExitOk;
}

int CliApp::verbSend(const QStringList &args)
{
    // The questions' policy comes first: nothing is sent on a command line
    // with errors.
    TerminalUserInterface::Policy policy = TerminalUserInterface::Policy::Stop;
    int retries = 0;
    if (const int code = sendPolicyOptions(policy, retries); code != ExitOk)
        return code;
    return runCardVerb(QStringLiteral("send"), args, policy, retries);
}

int CliApp::verbClear(const QStringList &args)
{
    return runCardVerb(QStringLiteral("clear"), args);
}

int CliApp::verbClock(const QStringList &args)
{
    return runCardVerb(QStringLiteral("clock"), args);
}

int CliApp::verbFactoryReset(const QStringList &args)
{
    return runCardVerb(QStringLiteral("factory-reset"), args);
}

int CliApp::verbPower(const QStringList &args)
{
    const QString state = args.at(0);
    if (state != u"on" && state != u"off")
        return usageError(trEn("Cli", "power: expected on or off, not '%1'").arg(state),
                          QStringLiteral("power"));
    return runCardVerb(QStringLiteral("power"), args);
}

int CliApp::verbBrightness(const QStringList &args)
{
    if (!args.isEmpty()) {
        bool ok = false;
        const int value = args.at(0).toInt(&ok);
        if (!ok || value < 0 || value > 15)
            return usageError(
                trEn("Cli", "brightness: expected 0..15, not '%1'").arg(args.at(0)),
                QStringLiteral("brightness"));
    }
    return runCardVerb(QStringLiteral("brightness"), args);
}

int CliApp::attachOne(CardSession &card)
{
    const int port = portOption();
    if (port < 0)
        return ExitUsage;
    TerminalProgressHost host(m_console, *m_ui, 1);
    SignResult r;
    const bool usable =
        attach(card, SignTarget{{}, {}, port}, host, r, false,
               [this](const QString &text) { m_console.err(text); });
    host.finish();
    return usable ? ExitOk : fail(r.code, r.error);
}

int CliApp::screenParamsOptions(std::vector<std::function<void(ScreenParams &)>> &changes)
{
    // Applied in the order of the hardware settings dialog.
    auto conflicting = [this](const char *a, const char *b) {
        return isSet(QLatin1String(a)) && isSet(QLatin1String(b));
    };
    for (const auto &[on, off] :
         {std::pair{"reverse-data", "no-reverse-data"}, std::pair{"reverse-oe", "no-reverse-oe"},
          std::pair{"no-138", "with-138"}})
        if (conflicting(on, off))
            return usageError(trEn("Cli", "--%1 and --%2 contradict each other")
                                  .arg(QLatin1String(on), QLatin1String(off)),
                              QStringLiteral("params"));

    std::vector<ScreenSizeChange> sizes;
    if (const int code = screenSizeOptions(QStringLiteral("params"), sizes); code != ExitOk)
        return code;
    for (const ScreenSizeChange &size : sizes)
        changes.push_back([size](ScreenParams &p) { (p.*size.store)(size.code); });
    auto flag = [&](const char *on, const char *off, int offset, uint8_t onValue) {
        if (isSet(QLatin1String(on)))
            changes.push_back(
                [offset, onValue](ScreenParams &p) { p.bytes[size_t(offset)] = onValue; });
        else if (isSet(QLatin1String(off)))
            changes.push_back([offset](ScreenParams &p) { p.bytes[size_t(offset)] = 0; });
    };
    flag("reverse-data", "no-reverse-data", ScreenParams::ReverseData, 1);
    flag("reverse-oe", "no-reverse-oe", ScreenParams::ReverseOe, 1);
    if (isSet(QStringLiteral("row-order"))) {
        bool ok = false;
        const int row = option(QStringLiteral("row-order")).toInt(&ok);
        if (!ok || row < -15 || row > 15)
            return usageError(trEn("Cli", "invalid --row-order '%1': -15..15")
                                  .arg(option(QStringLiteral("row-order"))),
                              QStringLiteral("params"));
        changes.push_back(
            [row](ScreenParams &p) { p.bytes[ScreenParams::RowOrder] = uint8_t(row); });
    }
    if (isSet(QStringLiteral("color"))) {
        const QString colour = option(QStringLiteral("color"));
        if (colour != u"single" && colour != u"dual")
            return usageError(trEn("Cli", "invalid --color '%1': single or dual").arg(colour),
                              QStringLiteral("params"));
        const uint8_t type = colour == u"single" ? 1 : 2;
        changes.push_back([type](ScreenParams &p) { p.bytes[ScreenParams::ColourType] = type; });
    }
    if (isSet(QStringLiteral("frequency"))) {
        const auto frequency =
            ScreenParamsText::parseFrequency(option(QStringLiteral("frequency")));
        if (!frequency)
            return usageError(
                trEn("Cli", "invalid --frequency '%1': 1.0, 1.25, 1.5, 1.75 or 2.0")
                    .arg(option(QStringLiteral("frequency"))),
                QStringLiteral("params"));
        const uint8_t value = uint8_t(*frequency);
        changes.push_back([value](ScreenParams &p) { p.bytes[ScreenParams::Frequency] = value; });
    }
    flag("no-138", "with-138", ScreenParams::No138, 2);
    if (isSet(QStringLiteral("scan"))) {
        const auto scan = ScreenParamsText::parseScanMode(option(QStringLiteral("scan")));
        if (!scan)
            return usageError(trEn("Cli", "invalid --scan '%1': a code 0x00, 0x80..0x82, "
                                             "0x41..0x48 or a name 16.0, 8.0 .. 4.8")
                                  .arg(option(QStringLiteral("scan"))),
                              QStringLiteral("params"));
        const uint8_t code = uint8_t(*scan);
        changes.push_back([code](ScreenParams &p) { p.bytes[ScreenParams::ScanMode] = code; });
    }
    return ExitOk;
}

int CliApp::verbParams(const QStringList &)
{
    // Every change is checked before the card is touched.
    std::vector<std::function<void(ScreenParams &)>> changes;
    if (const int code = screenParamsOptions(changes); code != ExitOk)
        return code;
    CardSession card;
    if (const int code = attachOne(card); code != ExitOk)
        return code;
    // The fields not given keep the card's values, so the record must be
    // read first; without it nothing is written.
    if (const Outcome read = card.readScreenParams(); !read)
        return fail(ExitPartial,
                    read.userText() +
                        (changes.empty() ? QString()
                                         : trEn("Cli", " (the screen parameters could not be "
                                                          "read; nothing was written)")));
    Outcome written;
    if (!changes.empty()) {
        written = card.clearAndWriteScreenParams([&changes](ScreenParams &params) {
            for (const auto &change : changes)
                change(params);
        });
    }
    if (json()) {
        QJsonObject o = ScreenParamsText::toJson(card.screenParams());
        if (!changes.empty())
            o[u"written"] = written.isOk();
        printJson(o);
    } else {
        for (const QString &line : ScreenParamsText::describe(card.screenParams()))
            print(line);
    }
    if (!changes.empty() && !written)
        return fail(ExitPartial, written.userText());
    if (!changes.empty() && !json())
        print(written.userText());
    return ExitOk;
}

QJsonObject CliApp::cardChangeJson(const QString &verb, const QStringList &args)
{
    QJsonObject o;
    if (verb == u"clear")
        o[u"cleared"] = true;
    else if (verb == u"clock")
        o[u"clock"] = localNow().toString(Qt::ISODate);
    else if (verb == u"factory-reset")
        o[u"factoryReset"] = true;
    else if (verb == u"power")
        o[u"power"] = args.value(0);
    else if (verb == u"brightness" && !args.isEmpty())
        o[u"brightness"] = args.at(0).toInt();
    return o;
}
