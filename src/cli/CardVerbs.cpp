// The card verbs: find, info, send, clear, clock, power, brightness, params,
// factory-reset. Without --port they first run the card search, as the GUI
// does when it opens; with --port they open that port and identify the card
// there. Every argument is checked before the first byte goes to the card.

#include "cli/CliApp.h"

#include "cli/Console.h"
#include "cli/InterruptWatch.h"
#include "cli/MultiSign.h"
#include "cli/SendResult.h"
#include "cli/TerminalProgressHost.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "link/ScreenSizeRules.h"
#include "model/Project.h"
#include "model/ProjectJson.h"
#include "model/ScreenParamsText.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <functional>
#include <optional>

namespace {

constexpr int kSearchBarRange = 200;
constexpr int kLastPort = 20;
constexpr int kDefaultRetries = 3;

QString portText(int port)
{
    const QString device = PortNaming::deviceForPort(port);
    if (device.isEmpty())
        return QStringLiteral("port %1").arg(port);
    // The stable name survives replugging; shown when the device has one.
    const QString stable = PortNaming::stableName(device);
    return stable.isEmpty() || stable == device
               ? QStringLiteral("port %1 (%2)").arg(port).arg(device)
               : QStringLiteral("port %1 (%2, %3)").arg(port).arg(device, stable);
}

// The card's JSON with the device's stable name, where it has one.
QJsonObject withStableName(QJsonObject o)
{
    const QString stable = PortNaming::stableName(o.value(u"device").toString());
    if (!stable.isEmpty())
        o[u"stableName"] = stable;
    return o;
}

// The discovery rule: a card that answered with a model code of 0 is taken
// as it is; any other code must be in the acceptance table.
bool acceptedAfterSearch(const ControllerInfo &info)
{
    return info.modelCode == 0 || info.isSupportedModel();
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
        usageError(QStringLiteral("this verb serves one sign at a time"));
        return -1;
    }
    return port;
}

int CliApp::runFind(Project &project, int port)
{
    if (port > 0) {
        project.setRememberedPort(port);
        if (!project.connect(port, true))
            return ExitNoCard;
        if (!project.identify(port)) {
            project.setLastErrorText(QStringLiteral("no card answers on %1: %2")
                                         .arg(portText(port), project.link().errorText()));
            return ExitNoCard;
        }
        return acceptedAfterSearch(project.controllerInfo()) ? ExitOk : ExitUnsupported;
    }
    TerminalProgressHost host(m_console, *m_ui, kSearchBarRange);
    project.findController(host);
    host.finish();
    if (project.rememberedPort() == 0) {
        // Why some ports could not be searched, once, with the link's text
        // for the first (it carries the dialout hint).
        QString text = host.statusText();
        const Project::DeniedPorts &denied = project.deniedPorts();
        if (!denied.ports.isEmpty()) {
            QStringList names;
            for (int p : denied.ports)
                names << portText(p);
            text += QStringLiteral("\n无法打开 %1：").arg(names.join(QStringLiteral(", "))) +
                    denied.text;
        }
        project.setLastErrorText(text);
        return ExitNoCard;
    }
    const int found = project.rememberedPort();
    if (!project.acceptFoundController()) {
        // The search forgets an unsupported card's port; the report still
        // names it.
        project.setRememberedPort(found);
        return ExitUnsupported;
    }
    return ExitOk;
}

int CliApp::attachCard(Project &project, Attach purpose, int port)
{
    const int code = runFind(project, port);
    if (code == ExitNoCard)
        return fail(code, project.lastErrorText());
    if (code == ExitUnsupported && purpose != Attach::Report)
        return fail(code, Project::unsupportedCardText() + QStringLiteral(" (") +
                              project.controllerInfo().formatModel() + QLatin1Char(')'));
    if (code == ExitOk && port == 0 && purpose != Attach::Report)
        m_console.err(
            QStringLiteral("Using %1: %2\n")
                .arg(portText(project.rememberedPort()), project.controllerInfo().formatModel()));
    return code;
}

int CliApp::reportCommand(Project &project, bool ok, const QString &error,
                          const QJsonObject &changed)
{
    if (ok) {
        if (json()) {
            QJsonObject o = changed;
            o[u"ok"] = true;
            printJson(o);
        } else {
            print(QStringLiteral("命令执行成功！"));
        }
        return ExitOk;
    }
    return fail(ExitPartial, QStringLiteral("命令执行失败：") +
                                 (error.isEmpty() ? project.lastErrorText() : error));
}

int CliApp::verbFind(const QStringList &args)
{
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(QStringLiteral("find"), targets, args);
    Project project;
    const int code = runFind(project, port);
    const ControllerInfo &info = project.controllerInfo();
    if (json()) {
        QJsonObject o = code == ExitNoCard
                            ? QJsonObject()
                            : withStableName(ProjectJson::card(project.rememberedPort(), info));
        o[u"found"] = code != ExitNoCard;
        o[u"accepted"] = code == ExitOk;
        if (code == ExitNoCard)
            o[u"message"] = project.lastErrorText();
        printJson(o);
        return code;
    }
    if (code == ExitNoCard) {
        print(withCliVerb(project.lastErrorText()));
        return code;
    }
    print(QStringLiteral("%1: %2").arg(portText(project.rememberedPort()), info.formatModel()));
    if (code == ExitUnsupported)
        m_console.err(Project::unsupportedCardText() + QLatin1Char('\n'));
    return code;
}

int CliApp::verbInfo(const QStringList &args)
{
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(QStringLiteral("info"), targets, args);
    Project project;
    const int code = attachCard(project, Attach::Report, port);
    if (code == ExitNoCard)
        return code;
    const ControllerInfo &info = project.controllerInfo();
    const int cardPort = project.rememberedPort();
    bool paramsRead = false;
    int brightness = -1;
    if (code == ExitOk) {
        paramsRead = project.readScreenParams();
        brightness = project.readBrightness();
    }
    if (json()) {
        printJson(withStableName(ProjectJson::info(
            cardPort, info, paramsRead ? &project.screenParams() : nullptr, brightness)));
    } else {
        print(QStringLiteral("port:          %1").arg(portText(cardPort)));
        print(QStringLiteral("model:         %1").arg(info.formatModel()));
        print(QStringLiteral("model code:    0x%1").arg(info.modelCode, 2, 16, QLatin1Char('0')));
        print(QStringLiteral("series:        %1").arg(info.series));
        print(QStringLiteral("firmware:      %1").arg(ProjectJson::firmwareText(info)));
        print(QStringLiteral("supported:     %1").arg(info.isSupportedModel() ? "yes" : "no"));
        if (paramsRead)
            for (const QString &line : ScreenParamsText::describe(project.screenParams()))
                print(line);
        if (brightness >= 0)
            print(QStringLiteral("brightness:    %1").arg(brightness));
    }
    // Where the play list the other verbs use is kept.
    if (json())
        printJson(QJsonObject{{QStringLiteral("projectFile"), projectPath()}});
    else
        print(QStringLiteral("project file:  %1").arg(QDir::toNativeSeparators(projectPath())));
    if (code == ExitUnsupported) {
        m_console.err(Project::unsupportedCardText() + QLatin1Char('\n'));
        return code;
    }
    if (!paramsRead || brightness < 0)
        return fail(ExitPartial, QStringLiteral("命令执行失败：") + project.link().errorText());
    return ExitOk;
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
                QStringLiteral("invalid --on-error '%1': ask, retry, skip or stop").arg(what),
                QStringLiteral("send"));
    }
    retries = kDefaultRetries;
    if (isSet(QStringLiteral("retries"))) {
        bool ok = false;
        retries = option(QStringLiteral("retries")).toInt(&ok);
        if (!ok || retries < 0 || retries > 100)
            return usageError(QStringLiteral("invalid --retries '%1': 0..100")
                                  .arg(option(QStringLiteral("retries"))),
                              QStringLiteral("send"));
    }
    return ExitOk;
}

int CliApp::verbSend(const QStringList &args)
{
    // The questions' policy and the port come first: nothing is sent on a
    // command line with errors.
    TerminalUserInterface::Policy policy = TerminalUserInterface::Policy::Stop;
    int retries = 0;
    if (const int code = sendPolicyOptions(policy, retries); code != ExitOk)
        return code;
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(QStringLiteral("send"), targets, args, policy, retries);
    Project project;
    if (const int code = openProject(project); code != ExitOk)
        return code;

    if (port == 0) {
        if (const int code = attachCard(project, Attach::Send, 0); code != ExitOk)
            return code;
    } else {
        project.setRememberedPort(port);
    }
    switch (project.checkBeforeSend()) {
    case Project::CardCheck::NoAnswer:
        return fail(ExitNoCard, QStringLiteral("命令执行失败：") + project.lastErrorText());
    case Project::CardCheck::Unsupported:
        return fail(ExitUnsupported, Project::unsupportedCardText() + QStringLiteral(" (") +
                                         project.controllerInfo().formatModel() + QLatin1Char(')'));
    case Project::CardCheck::Ready:
        break;
    }

    m_ui->setPolicy(policy, retries);
    {
        const InterruptWatch watch;
        const int range = project.itemCount() * 5 + 5;
        TerminalProgressHost host(m_console, *m_ui, range);
        project.sendAll(host);
        const SendReport &report = project.lastSendReport();
        if (report.end == SendReport::End::Cancelled)
            host.setStatus(SendResult::finalPosition(report, range),
                           SendResult::finalStatus(report));
        host.finish();
    }
    const SendReport &report = project.lastSendReport();
    for (const QString &line : SendResult::warnings(report))
        m_console.err(line + QLatin1Char('\n'));
    if (json())
        printJson(SendResult::toJson(report));
    else
        for (const QString &line : SendResult::lines(report))
            print(line);
    QString message;
    const int code = SendResult::exitCode(report, &message);
    return code == ExitOk ? code : fail(code, message);
}

int CliApp::simpleCardCommand(const QString &verb, bool (Project::*command)())
{
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(verb, targets, {});
    Project project;
    if (const int code = attachCard(project, Attach::Command, port); code != ExitOk)
        return code;
    const QJsonObject changed = cardChangeJson(verb, {});
    return reportCommand(project, (project.*command)(), {}, changed);
}

int CliApp::verbClear(const QStringList &)
{
    return simpleCardCommand(QStringLiteral("clear"), &Project::clearScreen);
}

int CliApp::verbClock(const QStringList &)
{
    return simpleCardCommand(QStringLiteral("clock"), &Project::setClock);
}

int CliApp::verbFactoryReset(const QStringList &)
{
    return simpleCardCommand(QStringLiteral("factory-reset"), &Project::restoreFactorySettings);
}

int CliApp::verbPower(const QStringList &args)
{
    const QString state = args.at(0);
    if (state != u"on" && state != u"off")
        return usageError(QStringLiteral("power: expected on or off, not '%1'").arg(state),
                          QStringLiteral("power"));
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(QStringLiteral("power"), targets, args);
    Project project;
    if (const int code = attachCard(project, Attach::Command, port); code != ExitOk)
        return code;
    return reportCommand(project, project.setScreenPower(state == u"on"), {},
                         cardChangeJson(QStringLiteral("power"), args));
}

int CliApp::verbBrightness(const QStringList &args)
{
    std::optional<int> level;
    if (!args.isEmpty()) {
        bool ok = false;
        const int value = args.at(0).toInt(&ok);
        if (!ok || value < 0 || value > 15)
            return usageError(
                QStringLiteral("brightness: expected 0..15, not '%1'").arg(args.at(0)),
                QStringLiteral("brightness"));
        level = value;
    }
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    if (port < 0)
        return runOnSigns(QStringLiteral("brightness"), targets, args);
    Project project;
    if (const int code = attachCard(project, Attach::Command, port); code != ExitOk)
        return code;
    if (level) {
        const bool ok = project.setBrightness(*level);
        return reportCommand(project, ok, ok ? QString() : project.link().errorText(),
                             cardChangeJson(QStringLiteral("brightness"), args));
    }
    const int read = project.readBrightness();
    if (read < 0)
        return reportCommand(project, false, project.link().errorText());
    if (json()) {
        QJsonObject o;
        o[u"ok"] = true;
        o[u"brightness"] = read;
        printJson(o);
    } else {
        print(QString::number(read));
    }
    return ExitOk;
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
            return usageError(QStringLiteral("--%1 and --%2 contradict each other")
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
            return usageError(QStringLiteral("invalid --row-order '%1': -15..15")
                                  .arg(option(QStringLiteral("row-order"))),
                              QStringLiteral("params"));
        changes.push_back(
            [row](ScreenParams &p) { p.bytes[ScreenParams::RowOrder] = uint8_t(row); });
    }
    if (isSet(QStringLiteral("color"))) {
        const QString colour = option(QStringLiteral("color"));
        if (colour != u"single" && colour != u"dual")
            return usageError(QStringLiteral("invalid --color '%1': single or dual").arg(colour),
                              QStringLiteral("params"));
        const uint8_t type = colour == u"single" ? 1 : 2;
        changes.push_back([type](ScreenParams &p) { p.bytes[ScreenParams::ColourType] = type; });
    }
    if (isSet(QStringLiteral("frequency"))) {
        const auto frequency =
            ScreenParamsText::parseFrequency(option(QStringLiteral("frequency")));
        if (!frequency)
            return usageError(
                QStringLiteral("invalid --frequency '%1': 1.0, 1.25, 1.5, 1.75 or 2.0")
                    .arg(option(QStringLiteral("frequency"))),
                QStringLiteral("params"));
        const uint8_t value = uint8_t(*frequency);
        changes.push_back([value](ScreenParams &p) { p.bytes[ScreenParams::Frequency] = value; });
    }
    flag("no-138", "with-138", ScreenParams::No138, 2);
    if (isSet(QStringLiteral("scan"))) {
        const auto scan = ScreenParamsText::parseScanMode(option(QStringLiteral("scan")));
        if (!scan)
            return usageError(QStringLiteral("invalid --scan '%1': a code 0x00, 0x80..0x82, "
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
    const int port = portOption();
    if (port < 0)
        return ExitUsage;
    Project project;
    if (const int code = attachCard(project, Attach::Command, port); code != ExitOk)
        return code;
    // The fields not given keep the card's values, so the record must be
    // read first; without it nothing is written.
    if (!project.readScreenParams())
        return fail(ExitPartial,
                    QStringLiteral("命令执行失败：") + project.link().errorText() +
                        (changes.empty() ? QString()
                                         : QStringLiteral(" (the screen parameters could not be "
                                                          "read; nothing was written)")));
    bool written = false;
    if (!changes.empty()) {
        written = project.clearAndWriteScreenParams([&changes](ScreenParams &params) {
            for (const auto &change : changes)
                change(params);
        });
    }
    if (json()) {
        QJsonObject o = ScreenParamsText::toJson(project.screenParams());
        if (!changes.empty())
            o[u"written"] = written;
        printJson(o);
    } else {
        for (const QString &line : ScreenParamsText::describe(project.screenParams()))
            print(line);
    }
    if (!changes.empty() && !written)
        return fail(ExitPartial, QStringLiteral("命令执行失败：") + project.lastErrorText());
    if (!changes.empty() && !json())
        print(QStringLiteral("命令执行成功！"));
    return ExitOk;
}
