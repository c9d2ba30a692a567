#include "model/ProjectJson.h"

#include "link/PortNaming.h"
#include "link/ScreenParams.h"
#include "model/ProgramFields.h"
#include "model/PlayList.h"
#include "model/ScreenParamsText.h"

#include <QJsonArray>

namespace ProjectJson {

namespace {

const char *endName(SendReport::End end)
{
    switch (end) {
    case SendReport::End::Completed:
        return "completed";
    case SendReport::End::Cancelled:
        return "cancelled";
    case SendReport::End::NoConnection:
        return "no-connection";
    case SendReport::End::ClearFailed:
        return "clear-failed";
    case SendReport::End::OverBudget:
        return "over-budget";
    case SendReport::End::NotRun:
        break;
    }
    return "not-run";
}

} // namespace

QString firmwareText(const ControllerInfo &info)
{
    return QStringLiteral("%1.%2.%3")
        .arg(info.firmwareMajor)
        .arg(info.firmwareMinor)
        .arg(info.firmwareBuild);
}

QJsonObject programList(const PlayList &project, ProgramFields::PageCount pages)
{
    QJsonArray items;
    for (int i = 0; i < project.itemCount(); ++i)
        items.append(ProgramFields::toJson(i + 1, *project.itemAt(i), pages));
    QJsonObject doc;
    doc[u"project"] = project.projectFilePath();
    doc[u"width"] = project.screenWidth();
    doc[u"height"] = project.screenHeight();
    doc[u"items"] = items;
    return doc;
}

QJsonObject card(int port, const ControllerInfo &info)
{
    QJsonObject o;
    o[u"port"] = port;
    o[u"device"] = PortNaming::deviceForPort(port);
    o[u"model"] = info.formatModel();
    o[u"modelCode"] = info.modelCode;
    o[u"series"] = info.series;
    o[u"firmware"] = firmwareText(info);
    o[u"supported"] = info.isSupportedModel();
    return o;
}

QJsonObject info(int port, const ControllerInfo &controller, const ScreenParams *params,
                 int brightness)
{
    QJsonObject o = card(port, controller);
    o[u"screenParams"] = params ? QJsonValue(ScreenParamsText::toJson(*params)) : QJsonValue();
    o[u"brightness"] = brightness >= 0 ? QJsonValue(brightness) : QJsonValue();
    return o;
}

const char *outcomeName(SendItemResult::Outcome outcome)
{
    switch (outcome) {
    case SendItemResult::Outcome::Sent:
        return "sent";
    case SendItemResult::Outcome::Skipped:
        return "skipped";
    case SendItemResult::Outcome::Failed:
        return "failed";
    case SendItemResult::Outcome::NotSent:
        break;
    }
    return "not-sent";
}

QJsonObject sendReport(const SendReport &report)
{
    QJsonArray items;
    for (const SendItemResult &r : report.items) {
        QJsonObject o;
        o[u"index"] = r.index + 1;
        o[u"name"] = r.name;
        o[u"outcome"] = QLatin1String(outcomeName(r.outcome));
        o[u"firstPage"] = r.firstPageNumber;
        o[u"pages"] = r.pageCount;
        o[u"attempts"] = r.attempts;
        o[u"error"] = r.errorText;
        o[u"problem"] = r.pageProblem;
        items.append(o);
    }
    QJsonObject o;
    o[u"end"] = QLatin1String(endName(report.end));
    o[u"itemCount"] = report.itemCount;
    o[u"sentCount"] = report.sentCount;
    o[u"pagesSent"] = report.pagesSent;
    o[u"error"] = report.errorText;
    o[u"items"] = items;
    return o;
}

} // namespace ProjectJson
