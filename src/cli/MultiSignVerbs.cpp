// The card verbs on several signs at once (--port/--sign given more than
// once, --all-signs): what each sign's worker does, on its own Project, and
// the report of all signs.

#include "cli/CliApp.h"

#include "base/LocalClock.h"
#include "cli/CliJson.h"
#include "cli/Console.h"
#include "cli/MultiSign.h"
#include "cli/SendResult.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "model/Project.h"
#include "model/ProjectJson.h"
#include "model/ScreenParamsText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

namespace {

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

QJsonObject cardFields(const SignTarget &target, const ControllerInfo &info)
{
    QJsonObject o = ProjectJson::card(target.number, info);
    const QString stable = PortNaming::stableName(target.port);
    if (!stable.isEmpty())
        o[u"stableName"] = stable;
    return o;
}

// Opens the sign's port and identifies its card, as a card verb with --port
// does. False with the result filled in when the verb cannot go on; a card
// of an unknown model is reported but refused unless `report` is set.
bool attach(Project &project, const SignTarget &target, SignResult &r, bool report)
{
    project.setRememberedPort(target.number);
    if (!project.connect(target.number, true)) {
        failed(r, ExitNoCard, project.lastErrorText());
        return false;
    }
    if (!project.identify(target.number)) {
        failed(r, ExitNoCard,
               QStringLiteral("no card answers on %1: %2")
                   .arg(target.port, project.link().errorText()));
        return false;
    }
    const ControllerInfo &info = project.controllerInfo();
    r.details = cardFields(target, info);
    if (info.modelCode != 0 && !info.isSupportedModel()) {
        failed(r, ExitUnsupported,
               Project::unsupportedCardText() + QStringLiteral(" (") + info.formatModel() +
                   QLatin1Char(')'));
        return report;
    }
    return true;
}

// One command of clear, clock, power, brightness, factory-reset; `changed`
// is what it changed, for --json.
void command(Project &project, const SignTarget &target, SignResult &r,
             const std::function<bool(Project &)> &run, const QJsonObject &changed)
{
    if (!attach(project, target, r, false))
        return;
    if (!run(project)) {
        failed(r, ExitPartial, QStringLiteral("命令执行失败：") + project.lastErrorText());
        return;
    }
    succeeded(r, QStringLiteral("命令执行成功！"));
    for (auto it = changed.begin(); it != changed.end(); ++it)
        r.details[it.key()] = it.value();
}

// info on one sign: its card, screen parameters and brightness.
void infoOfSign(const SignTarget &t, SignHost &, SignResult &r)
{
    Project project;
    if (!attach(project, t, r, true) || !r.outcome.isEmpty())
        return;
    const bool paramsRead = project.readScreenParams();
    const int brightness = project.readBrightness();
    r.details[u"screenParams"] =
        paramsRead ? QJsonValue(ScreenParamsText::toJson(project.screenParams())) : QJsonValue();
    r.details[u"brightness"] = brightness >= 0 ? QJsonValue(brightness) : QJsonValue();
    if (!paramsRead || brightness < 0) {
        failed(r, ExitPartial, QStringLiteral("命令执行失败：") + project.link().errorText());
        return;
    }
    succeeded(r, QStringLiteral("%1, firmware %2, brightness %3")
                     .arg(project.controllerInfo().formatModel(),
                          ProjectJson::firmwareText(project.controllerInfo()))
                     .arg(brightness));
}

// send on one sign: the project file read again for its own screen, then
// the whole play list.
void sendToSign(const QString &path, int items, const SignTarget &t, SignHost &host, SignResult &r)
{
    // Each sign renders its own copy for its own screen.
    Project project;
    project.setProjectFilePath(path);
    project.loadProject();
    if (project.itemCount() != items) {
        failed(r, ExitUsage, QStringLiteral("cannot read the project file %1").arg(path));
        return;
    }
    project.setRememberedPort(t.number);
    switch (project.checkBeforeSend()) {
    case Project::CardCheck::NoAnswer:
        failed(r, ExitNoCard, QStringLiteral("命令执行失败：") + project.lastErrorText());
        return;
    case Project::CardCheck::Unsupported:
        failed(r, ExitUnsupported,
               Project::unsupportedCardText() + QStringLiteral(" (") +
                   project.controllerInfo().formatModel() + QLatin1Char(')'));
        return;
    case Project::CardCheck::Ready:
        break;
    }
    host.setRange(project.itemCount() * 5 + 5);
    project.sendAll(host);
    const SendReport &report = project.lastSendReport();
    r.details = SendResult::toJson(report);
    QString message;
    const int code = SendResult::exitCode(report, &message);
    if (code != ExitOk) {
        failed(r, code, message);
        // A program that failed (and stopped the send by --on-error)
        // is the reason to report, not the stop it led to.
        for (const SendItemResult &item : report.items) {
            if (item.outcome == SendItemResult::Outcome::Failed) {
                r.error = QStringLiteral("program %1 failed: %2; %3 of %4 programs sent")
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
        return;
    }
    succeeded(r, QStringLiteral("已成功发送了 %1 条信息。").arg(report.sentCount));
}

// brightness without a level on one sign: reads it.
void readBrightnessOfSign(const SignTarget &t, SignHost &, SignResult &r)
{
    Project project;
    if (!attach(project, t, r, false))
        return;
    const int level = project.readBrightness();
    if (level < 0) {
        failed(r, ExitPartial, QStringLiteral("命令执行失败：") + project.link().errorText());
        return;
    }
    r.details[u"brightness"] = level;
    succeeded(r, QStringLiteral("brightness %1").arg(level));
}

} // namespace

int CliApp::runOnSigns(const QString &verb, const std::vector<SignTarget> &targets,
                       const QStringList &args, TerminalUserInterface::Policy policy, int retries)
{
    MultiSign::Job job;
    if (verb == u"find") {
        job = [](const SignTarget &t, SignHost &, SignResult &r) {
            Project project;
            if (attach(project, t, r, true) && r.outcome.isEmpty())
                succeeded(r, project.controllerInfo().formatModel());
        };
    } else if (verb == u"info") {
        job = infoOfSign;
    } else if (verb == u"send") {
        Project loaded;
        if (const int code = openProject(loaded); code != ExitOk)
            return code;
        const QString path = loaded.projectFilePath();
        const int items = loaded.itemCount();
        job = [path, items](const SignTarget &t, SignHost &host, SignResult &r) {
            sendToSign(path, items, t, host, r);
        };
    } else if (verb == u"clear" || verb == u"clock" || verb == u"factory-reset") {
        bool (Project::*member)() = verb == u"clear"   ? &Project::clearScreen
                                    : verb == u"clock" ? &Project::setClock
                                                       : &Project::restoreFactorySettings;
        const QJsonObject changed = cardChangeJson(verb, args);
        job = [member, changed](const SignTarget &t, SignHost &, SignResult &r) {
            Project project;
            command(
                project, t, r, [member](Project &p) { return (p.*member)(); }, changed);
        };
    } else if (verb == u"power") {
        const bool on = args.at(0) == u"on";
        const QJsonObject changed = cardChangeJson(verb, args);
        job = [on, changed](const SignTarget &t, SignHost &, SignResult &r) {
            Project project;
            command(
                project, t, r, [on](Project &p) { return p.setScreenPower(on); }, changed);
        };
    } else if (verb == u"brightness" && !args.isEmpty()) {
        const int level = args.at(0).toInt();
        const QJsonObject changed = cardChangeJson(verb, args);
        job = [level, changed](const SignTarget &t, SignHost &, SignResult &r) {
            Project project;
            command(
                project, t, r,
                [level](Project &p) {
                    if (p.setBrightness(level))
                        return true;
                    p.setLastErrorText(p.link().errorText());
                    return false;
                },
                changed);
        };
    } else if (verb == u"brightness") {
        job = readBrightnessOfSign;
    } else {
        return usageError(QStringLiteral("%1 serves one sign at a time").arg(verb), verb);
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
