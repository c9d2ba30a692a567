// The send-all operation: the upload bracket, the clearing of the card and
// the item loop with its questions, and the page upload of one item.

#include "model/CardSession.h"

#include "link/ControllerLink.h"
#include "model/PlayList.h"
#include "model/ProgramItem.h"

#include <QCoreApplication>
#include <QThread>

namespace {

constexpr int kStepWaitMs = 50;
constexpr int kBeforeItemSleepMs = 200;
constexpr int kBeforeItemPumpMs = 20;

} // namespace

UploadPageHeader CardSession::uploadHeaderFor(const ProgramItem &item) const
{
    UploadPageHeader h;
    h.action = item.action();
    h.effectCode = item.effectCode(); // carries its own firmware rule
    // Firmware before 2.2.7 has no speed level: the byte is the speed alone.
    h.speedLevel = m_info->firmwareAtLeast(2, 2, 7) ? item.speed() + item.level() * 16 : item.speed();
    // A stay time of 256 (flash interval 255 with flashing) is sent as 255
    // by the encoder's clamp rather than wrapped to 0.
    h.stayTime = item.effectiveStayTime();
    h.flashDelay = item.flashDelay();
    h.planes = UploadEncoder::planesForColourType(m_params->colourType());
    h.contentKind =
        item.type() == ProgramItem::PictureType ? Protocol::ContentPicture : Protocol::ContentText;
    h.clockCode = item.clockCode();
    return h;
}

bool CardSession::sendItemPages(int firstPageNumber, const ProgramItem &item,
                            const std::function<void(int)> &pause)
{
    const std::function<void(int)> wait =
        pause ? pause : [](int ms) { QThread::msleep(ulong(ms)); };
    const bool wordFormat = m_info->hasClockZoneSupport();
    const bool reverseData = m_params->reverseData();
    UploadPageHeader header = uploadHeaderFor(item);
    const int pages = item.pageCount();
    const int width = item.contentWidth();
    const int height = item.screenHeight();
    const qint64 length = UploadEncoder::bitImageLength(width, height, header.planes);
    if (pages <= 0 || length <= 0) {
        m_link->setError(0, QCoreApplication::translate("CardSessionSend", "信息没有可发送的页面。"));
        return false;
    }
    // Refused before the first packet, so the card never holds half an item
    // with wrapped fields.
    const QString refusal = UploadEncoder::refusalText(length, pages, firstPageNumber);
    if (!refusal.isEmpty()) {
        m_link->setError(0, refusal);
        return false;
    }
    header.lastPageIndex = pages - 1;
    for (int i = 0; i < pages; ++i) {
        const PageBitmap *page = item.pageAt(i);
        const QByteArray bits = UploadEncoder::packPageBits(
            page ? *page : PageBitmap(), width, height, header.planes, reverseData, wordFormat);
        header.pageNumber = firstPageNumber + i;
        header.pageIndex = i;
        if (!UploadEncoder::sendProgramPage(*m_link, header, bits, wait))
            return false;
    }
    return true;
}

Outcome CardSession::send(PlayList &list, ProgressHost &host)
{
    if (const Outcome ready = checkBeforeSend(); !ready)
        return ready;
    return sendAll(list, host);
}

Outcome CardSession::sendAll(PlayList &list, ProgressHost &host)
{
    const int count = list.itemCount();
    host.setRange(list.sendProgressRange());
    SendReport report;
    report.itemCount = count;
    for (int i = 0; i < count; ++i) {
        SendItemResult r;
        r.index = i;
        report.items.push_back(r);
    }

    host.sleep(kStepWaitMs);
    readScreenParams();
    // The pages are drawn for this card and its screen.
    list.screenParams() = *m_params;
    list.controllerInfo() = *m_info;
    if (m_colourTypeKnown)
        list.setColourTypeKnown(true);
    if (!list.rebuildAllPages()) {
        // Half a play list on the card is no better than the old one.
        report.end = SendReport::End::OverBudget;
        report.errorText = list.pageBudgetText();
        host.setStatus(0, report.errorText);
        host.setButtons(true, false);
        m_lastSendReport = std::move(report);
        return outcomeOf(m_lastSendReport);
    }
    for (int i = 0; i < count; ++i)
        if (const ProgramItem *item = list.itemAt(i)) {
            report.items[size_t(i)].name = item->displayName();
            report.items[size_t(i)].pageProblem = item->pageProblem();
        }
    host.sleep(kStepWaitMs);
    m_link->setUploadPhase(Protocol::UploadBegins); // outcome not looked at
    host.sleep(kStepWaitMs);

    upload(list, host, report);
    host.sleep(kStepWaitMs);
    m_link->setUploadPhase(Protocol::UploadEnded);
    m_lastSendReport = std::move(report);
    return outcomeOf(m_lastSendReport);
}

void CardSession::upload(PlayList &list, ProgressHost &host, SendReport &report)
{
    const int count = report.itemCount;
    if (const Outcome opened = open(m_port); !opened) {
        report.end = SendReport::End::NoConnection;
        report.errorText = opened.text();
        report.errorCode = opened.code();
        host.setStatus(0, QCoreApplication::translate("CardSessionSend", "无法发送信息。"));
        host.setButtons(true, false);
        return;
    }
    // The card sees the same bytes either way: keeping the port open for the
    // whole upload saves an open and close (with Qt's lock file) per packet,
    // which is most of a send's cost beyond the line time.
    struct CloseAfterUpload {
        ControllerLink &link;
        ~CloseAfterUpload()
        {
            link.setKeepOpen(false);
            link.close();
        }
    } closeAfterUpload{*m_link};
    m_link->setKeepOpen(true);
    host.setButtons(false, true);
    host.setStatus(5, QCoreApplication::translate("CardSessionSend", "正在清空原有信息。"));
    host.pumpMessages();
    while (!m_link->clearScreen()) {
        report.errorText = m_link->errorText();
        if (!host.askYesNo(QCoreApplication::translate("CardSessionSend", "清除显示屏原有信息时出错：%1，是否重新发送命令？")
                               .arg(m_link->errorText()))) {
            report.end = SendReport::End::ClearFailed;
            host.setStatus(0, QCoreApplication::translate("CardSessionSend", "操作已取消。"));
            host.setButtons(true, false);
            return;
        }
    }
    report.errorText.clear();

    int sent = 0;
    int pageNumber = 1;
    int position = 5;
    report.end = SendReport::End::Completed;
    for (int i = 0; i < count; ++i) {
        if (host.isCancelled()) {
            report.end = SendReport::End::Cancelled;
            break;
        }
        host.sleep(kBeforeItemSleepMs);
        const ProgramItem *item = list.itemAt(i);
        SendItemResult &result = report.items[size_t(i)];
        if (!item) { // the list changed under the job; nothing to send
            position += 5;
            continue;
        }
        const QString name = item->displayName();
        host.setStatus(position, QCoreApplication::translate("CardSessionSend", "正在发送信息‘%1’...").arg(name));
        host.waitPumping(kBeforeItemPumpMs);
        bool stop = false;
        for (;;) {
            ++result.attempts;
            if (sendItemPages(pageNumber, *item, [&host](int ms) { host.sleep(ms); })) {
                result.outcome = SendItemResult::Outcome::Sent;
                result.firstPageNumber = pageNumber;
                result.pageCount = item->pageCount();
                pageNumber += item->pageCount();
                report.pagesSent += item->pageCount();
                ++sent;
                break;
            }
            result.errorText = m_link->errorText();
            const Answer answer =
                host.askYesNoCancel(QCoreApplication::translate("CardSessionSend", "发送信息‘%1’时发生错误：%2，是否重新发生？")
                                        .arg(name, m_link->errorText()));
            if (answer == Answer::Yes)
                continue;
            if (answer == Answer::No) {
                result.outcome = SendItemResult::Outcome::Skipped;
            } else {
                result.outcome = SendItemResult::Outcome::Failed;
                report.end = SendReport::End::Cancelled;
                stop = true;
            }
            break;
        }
        if (stop)
            break;
        position += 5;
    }
    report.sentCount = sent;
    host.setStatus(finalPosition(report, list.sendProgressRange()), finalStatus(report));
    host.setButtons(true, false);
}

Outcome CardSession::outcomeOf(const SendReport &report)
{
    switch (report.end) {
    case SendReport::End::NoConnection:
        return Outcome::failure(report.errorCode, report.errorText);
    case SendReport::End::ClearFailed:
        return Outcome::failure(OutcomeCode::ClearFailed, report.errorText);
    case SendReport::End::OverBudget:
        return Outcome::failure(OutcomeCode::OverBudget, report.errorText);
    case SendReport::End::Cancelled:
        return Outcome::failure(OutcomeCode::Cancelled, QCoreApplication::translate("CardSessionSend", "操作已取消。"));
    case SendReport::End::NotRun:
        return Outcome::failure(OutcomeCode::Partial, {});
    case SendReport::End::Completed:
        break;
    }
    if (report.sentCount < report.itemCount)
        return Outcome::failure(OutcomeCode::Partial, finalStatus(report));
    return {};
}

QString CardSession::finalStatus(const SendReport &report)
{
    const QString total = QCoreApplication::translate("CardSessionSend", "已成功发送了 %n 条信息。", nullptr, report.sentCount);
    const int notSent = report.itemCount - report.sentCount;
    // The total alone would read as a whole send.
    if (report.end == SendReport::End::Cancelled)
        return total + QCoreApplication::translate("CardSessionSend", "发送已停止，另有 %n 条信息未发送。", nullptr, notSent);
    if (notSent > 0)
        return total + QCoreApplication::translate("CardSessionSend", "另有 %n 条信息发送失败，已跳过。", nullptr, notSent);
    return total;
}

int CardSession::finalPosition(const SendReport &report, int range)
{
    if (report.end != SendReport::End::Cancelled || report.itemCount == 0)
        return range;
    int reached = 0;
    for (const SendItemResult &r : report.items)
        if (r.outcome != SendItemResult::Outcome::NotSent)
            reached = r.index + 1;
    return int(qint64(range) * reached / (report.itemCount + 1));
}
