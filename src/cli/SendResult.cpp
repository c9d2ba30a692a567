#include "cli/SendResult.h"

#include "cli/CliApp.h"

#include <QJsonArray>

namespace {

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
    case SendReport::End::NotRun:
        break;
    }
    return "not-run";
}

} // namespace

QJsonObject SendResult::toJson(const SendReport &report)
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

QStringList SendResult::lines(const SendReport &report)
{
    QStringList lines;
    for (const SendItemResult &r : report.items) {
        QString line = QStringLiteral("%1  %2")
                           .arg(r.index + 1, 2)
                           .arg(QLatin1String(outcomeName(r.outcome)), -8);
        if (r.outcome == SendItemResult::Outcome::Sent)
            line += QStringLiteral("  pages %1-%2")
                        .arg(r.firstPageNumber)
                        .arg(r.firstPageNumber + r.pageCount - 1);
        line += QStringLiteral("  ") + r.name;
        if (r.outcome != SendItemResult::Outcome::Sent && !r.errorText.isEmpty())
            line += QStringLiteral("  (") + r.errorText + QLatin1Char(')');
        lines << line;
    }
    if (report.end == SendReport::End::Completed || report.end == SendReport::End::Cancelled)
        lines << QStringLiteral("已成功发送了 %1 条信息。").arg(report.sentCount);
    return lines;
}

int SendResult::exitCode(const SendReport &report, QString *message)
{
    switch (report.end) {
    case SendReport::End::NoConnection:
        *message = QStringLiteral("无法发送信息。") + report.errorText;
        return ExitNoCard;
    case SendReport::End::ClearFailed:
        *message = QStringLiteral("操作已取消。") + report.errorText;
        return ExitPartial;
    case SendReport::End::Cancelled:
        *message = QStringLiteral("the send was cancelled: %1 of %2 programs sent")
                       .arg(report.sentCount)
                       .arg(report.itemCount);
        return ExitPartial;
    case SendReport::End::NotRun:
        *message = QStringLiteral("nothing was sent");
        return ExitPartial;
    case SendReport::End::Completed:
        break;
    }
    if (report.sentCount < report.itemCount) {
        *message =
            QStringLiteral("%1 of %2 programs sent").arg(report.sentCount).arg(report.itemCount);
        return ExitPartial;
    }
    return ExitOk;
}
