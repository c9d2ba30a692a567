#include "cli/SendResult.h"
#include "base/Language.h"

#include "cli/CliApp.h"
#include "model/CardSession.h"
#include "model/ProjectJson.h"

#include <QCoreApplication>

QJsonObject SendResult::toJson(const SendReport &report)
{
    return ProjectJson::sendReport(report);
}

QStringList SendResult::lines(const SendReport &report)
{
    QStringList lines;
    for (const SendItemResult &r : report.items) {
        QString line = QStringLiteral("%1  %2")
                           .arg(r.index + 1, 2)
                           .arg(QLatin1String(ProjectJson::outcomeName(r.outcome)), -8);
        if (r.outcome == SendItemResult::Outcome::Sent)
            line += trEn("Cli", "  pages %1-%2")
                        .arg(r.firstPageNumber)
                        .arg(r.firstPageNumber + r.pageCount - 1);
        line += QStringLiteral("  ") + r.name;
        if (r.outcome != SendItemResult::Outcome::Sent && !r.errorText.isEmpty())
            line += QStringLiteral("  (") + r.errorText + QLatin1Char(')');
        lines << line;
    }
    if (report.end == SendReport::End::Completed || report.end == SendReport::End::Cancelled)
        lines << finalStatus(report);
    return lines;
}

QString SendResult::finalStatus(const SendReport &report)
{
    return CardSession::finalStatus(report);
}

int SendResult::finalPosition(const SendReport &report, int range)
{
    return CardSession::finalPosition(report, range);
}

QStringList SendResult::warnings(const SendReport &report)
{
    QStringList lines;
    for (const SendItemResult &r : report.items)
        if (!r.pageProblem.isEmpty())
            lines << trEn("Cli", "brivane-cli: warning: program %1: %2 (sent as a black page)")
                         .arg(r.index + 1)
                         .arg(r.pageProblem);
    return lines;
}

int SendResult::exitCode(const SendReport &report, QString *message)
{
    switch (report.end) {
    case SendReport::End::NoConnection:
        *message = QCoreApplication::translate("SendResult", "无法发送信息。") + report.errorText;
        return ExitNoCard;
    case SendReport::End::ClearFailed:
        *message = QCoreApplication::translate("SendResult", "操作已取消。") + report.errorText;
        return ExitPartial;
    case SendReport::End::Cancelled:
        *message = trEn("Cli", "the send was cancelled: %1 of %2 programs sent")
                       .arg(report.sentCount)
                       .arg(report.itemCount);
        return ExitPartial;
    case SendReport::End::OverBudget:
        *message = report.errorText;
        return ExitUsage;
    case SendReport::End::NotRun:
        *message = trEn("Cli", "nothing was sent");
        return ExitPartial;
    case SendReport::End::Completed:
        break;
    }
    if (report.sentCount < report.itemCount) {
        *message =
            trEn("Cli", "%1 of %2 programs sent").arg(report.sentCount).arg(report.itemCount);
        return ExitPartial;
    }
    return ExitOk;
}
