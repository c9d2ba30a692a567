// The sign service's card requests: the card's info, the simple commands
// (clear, clock, power, brightness) and the send job. One card operation at
// a time; each runs on a worker thread with its own CardSession, which
// attaches to the card as the command-line tool does.

#include "service/SignService.h"

#include "link/ControllerInfo.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/ProjectJson.h"
#include "service/NotifyQueue.h"
#include "service/ScheduleRunner.h"
#include "service/SendJob.h"
#include "service/ServiceSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QThread>

using namespace ServiceSupport;

namespace {

// The card search's host: no bar to draw, never cancelled.
class SearchHost final : public ProgressHost {
public:
    void setStatus(int, const QString &) override {}
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return false; }
};

// The configured port opened and asked, or the search over ports 1 to 20.
Outcome attach(CardSession &card, int port)
{
    if (port > 0)
        return card.attach(port);
    SearchHost host;
    return card.search(host);
}

SignService::Reply commandResult(const Outcome &outcome)
{
    if (outcome)
        return json(200, QJsonObject{{QStringLiteral("ok"), true},
                                     {QStringLiteral("message"), outcome.userText()}});
    return error(500, outcome.userText());
}

} // namespace

Outcome SignService::onCardThread(const std::function<void(CardSession &)> &work)
{
    m_cardBusy = true;
    Outcome attached;
    ControllerInfo seen;
    bool cardSeen = false;
    int colourType = 0;
    // Waiting here keeps the request handlers out of the link's event
    // pumping; a command takes a fraction of a second.
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        CardSession card;
        attached = attach(card, m_config.port);
        if (attached || attached.code() == OutcomeCode::Unsupported) {
            seen = card.info();
            cardSeen = true;
        }
        if (attached)
            work(card);
        if (card.colourTypeKnown())
            colourType = card.screenParams().colourType();
    }));
    worker->start();
    worker->wait();
    m_cardBusy = false;
    if (cardSeen)
        rememberCard(seen, colourType);
    return attached;
}

SignService::Reply SignService::runOnCard(const std::function<Reply(CardSession &)> &work)
{
    if (m_cardBusy)
        return error(409, QCoreApplication::translate("SignServiceCard", "卡正忙：另一个卡操作正在进行，请稍后再试。"));
    Reply reply;
    const Outcome attached = onCardThread([&](CardSession &card) { reply = work(card); });
    return attached ? reply : error(500, attached.userText());
}

std::optional<Outcome>
SignService::runCardCommand(const std::function<Outcome(CardSession &)> &command)
{
    if (m_cardBusy)
        return std::nullopt;
    Outcome result;
    const Outcome attached = onCardThread([&](CardSession &card) { result = command(card); });
    return attached ? result : attached;
}

namespace {
QString noSchedule()
{
    return QCoreApplication::translate("SignServiceCard", "没有日程：服务启动时未给出 --schedule。");
}
}

SignService::Reply SignService::scheduleStatus(const QHttpServerRequest &,
                                               const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    return json(200, m_schedule->status());
}

SignService::Reply SignService::getSchedule(const QHttpServerRequest &,
                                            const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    return json(200, m_schedule->document());
}

SignService::Reply SignService::putSchedule(const QHttpServerRequest &request,
                                            const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    QJsonObject ignored;
    if (auto bad = readObject(request.body(), &ignored))
        return *bad;
    const QList<ScheduleProblem> problems = m_schedule->replace(request.body());
    if (problems.isEmpty())
        return json(200, m_schedule->document());
    QJsonArray list;
    for (const ScheduleProblem &p : problems)
        list.append(QJsonObject{{QStringLiteral("field"), p.field},
                                {QStringLiteral("error"), p.text}});
    const QString text = QCoreApplication::translate("SignServiceCard", "日程有错误，未保存：") + problems.first().line();
    return json(400, QJsonObject{{QStringLiteral("error"), text},
                                 {QStringLiteral("problems"), list}});
}

SignService::Reply SignService::cardInfo(const QHttpServerRequest &,
                                         const QRegularExpressionMatch &)
{
    return runOnCard([](CardSession &card) {
        const bool paramsRead = card.readScreenParams().isOk();
        int brightness = -1;
        if (!card.readBrightness(&brightness))
            brightness = -1;
        return json(200,
                    ProjectJson::info(card.port(), card.info(),
                                      paramsRead ? &card.screenParams() : nullptr, brightness));
    });
}

SignService::Reply SignService::cardCommand(const QHttpServerRequest &request,
                                            const QRegularExpressionMatch &m)
{
    const QString command = m.captured(1);
    // Everything is checked before the card is touched.
    QJsonObject body;
    if (command == u"power" || command == u"brightness") {
        if (auto bad = readObject(request.body(), &body))
            return *bad;
        const QString field = command == u"power" ? QStringLiteral("on") : QStringLiteral("level");
        for (auto it = body.begin(); it != body.end(); ++it)
            if (it.key() != field)
                return error(400,
                             QCoreApplication::translate("SignServiceCard", "未知字段“%1”；只接受“%2”。").arg(it.key(), field));
        const QJsonValue value = body.value(field);
        if (command == u"power" && !value.isBool())
            return error(400, QCoreApplication::translate("SignServiceCard", "需要 {\"on\": true} 或 {\"on\": false}。"));
        if (command == u"brightness") {
            const double level = value.toDouble(-1);
            if (!value.isDouble() || level != int(level) || level < 0 || level > 15)
                return error(400,
                             QCoreApplication::translate("SignServiceCard", "亮度必须是 0 到 15 的整数：{\"level\": 0..15}。"));
        }
    } else if (!request.body().trimmed().isEmpty()) {
        QJsonObject ignored;
        if (auto bad = readObject(request.body(), &ignored))
            return *bad;
        if (!ignored.isEmpty())
            return error(400, QCoreApplication::translate("SignServiceCard", "此命令不接受任何字段。"));
    }
    return runOnCard([command, body](CardSession &card) {
        if (command == u"clear")
            return commandResult(card.clearScreen());
        if (command == u"clock")
            return commandResult(card.setClock());
        if (command == u"power")
            return commandResult(card.setScreenPower(body.value(u"on").toBool()));
        return commandResult(card.setBrightness(body.value(u"level").toInt()));
    });
}

SignService::Reply SignService::startSend(const QHttpServerRequest &request,
                                          const QRegularExpressionMatch &)
{
    if (!request.body().trimmed().isEmpty()) {
        QJsonObject ignored;
        if (auto bad = readObject(request.body(), &ignored))
            return *bad;
        if (!ignored.isEmpty())
            return error(400, QCoreApplication::translate("SignServiceCard", "发送不接受任何字段。"));
    }
    // A file that cannot be read now is never sent: the card is not touched.
    {
        PlayList list;
        list.setProjectFilePath(m_config.projectPath);
        if (const Outcome loaded = list.load(); !loaded)
            return projectFileError(loaded);
    }
    const int id = startSendJob(m_config.projectPath);
    if (id == 0)
        return error(409, QCoreApplication::translate("SignServiceCard", "卡正忙：另一个卡操作正在进行，请稍后再试。"));
    return json(202, QJsonObject{{QStringLiteral("job"), id}});
}

int SignService::startSendJob(const QString &listPath)
{
    if (m_cardBusy)
        return 0;
    m_cardBusy = true;
    auto job = std::make_shared<SendJob>();
    job->listPath = listPath;
    job->id = m_nextJob++;
    job->setStatus(0, QCoreApplication::translate("SignServiceCard", "正在连接控制卡..."));
    ServiceConfig config;
    config.projectPath = listPath;
    config.port = m_config.port;
    config.onError = m_config.onError;
    config.retries = m_config.retries;
    config.log = m_config.log;
    const QString fileName = QFileInfo(listPath).fileName();
    // The worker reads the project file as it is now: the list cannot change
    // while the send runs.
    job->thread.reset(QThread::create([job, config, fileName] {
        PlayList list;
        list.setProjectFilePath(config.projectPath);
        if (const Outcome loaded = list.load(); !loaded) {
            job->finish(SendJob::State::Failed, {},
                        loaded.code() == OutcomeCode::FileMissing
                            ? QCoreApplication::translate("SignServiceCard", "没有项目文件 %1").arg(fileName)
                            : QCoreApplication::translate("SignServiceCard", "无法读取项目文件 %1（%2）").arg(fileName, loaded.text()));
            return;
        }
        CardSession card;
        if (config.port == 0) {
            const Outcome attached = attach(card, 0);
            if (attached || attached.code() == OutcomeCode::Unsupported) {
                job->card = card.info();
                job->cardSeen = true;
            }
            if (!attached) {
                job->finish(SendJob::State::Failed, {}, attached.userText());
                return;
            }
        } else {
            card.setPort(config.port);
        }
        JobProgressHost host(*job, config.onError, config.retries, config.log);
        const Outcome sent = card.send(list, host);
        if (card.lastSendReport().end == SendReport::End::NotRun) { // the check refused
            if (sent.code() == OutcomeCode::Unsupported) {
                job->card = card.info();
                job->cardSeen = true;
            }
            job->finish(SendJob::State::Failed, {}, sent.userText());
            return;
        }
        job->card = card.info();
        job->cardSeen = true;
        if (card.colourTypeKnown())
            job->colourType = card.screenParams().colourType();
        job->finish(SendJob::State::Done, ProjectJson::sendReport(card.lastSendReport()), {});
    }));
    const int id = job->id;
    connect(job->thread.get(), &QThread::finished, this, [this, id] { sendFinished(id); });
    m_jobs[id] = job;
    m_runningJob = id;
    while (int(m_jobs.size()) > kKeptJobs && m_jobs.begin()->first != m_runningJob)
        m_jobs.erase(m_jobs.begin());
    job->thread->start();
    log(QStringLiteral("send job %1 started").arg(id));
    return id;
}

void SignService::sendFinished(int id)
{
    if (m_runningJob != id)
        return;
    const auto it = m_jobs.find(id);
    m_runningJob = 0;
    m_cardBusy = false;
    if (it == m_jobs.end())
        return;
    SendJob &job = *it->second;
    job.thread->wait();
    if (job.cardSeen)
        rememberCard(job.card, job.colourType);
    const QJsonObject state = job.toJson();
    const QJsonObject result = state.value(u"result").toObject();
    log(QStringLiteral("send job %1 %2: %3")
            .arg(id)
            .arg(state.value(u"state").toString(), state.contains(u"error")
                                                       ? state.value(u"error").toString()
                                                       : result.value(u"end").toString()));
    const bool complete = result.value(u"end").toString() == u"completed" &&
                          result.value(u"sentCount") == result.value(u"itemCount");
    QString why = state.value(u"error").toString();
    if (why.isEmpty())
        why = result.value(u"error").toString();
    if (why.isEmpty())
        why = result.value(u"end").toString();
    if (m_notify->sendEnded(id, complete, why))
        return;
    if (m_schedule)
        m_schedule->sendEnded(id, job.listPath, complete, why);
}

bool SignService::messageActive() const
{
    return m_notify->active();
}

bool SignService::sendRunning() const
{
    return m_runningJob != 0;
}

void SignService::stop()
{
    if (m_runningJob == 0)
        return;
    const auto it = m_jobs.find(m_runningJob);
    if (it != m_jobs.end()) {
        log(QStringLiteral("stopping: cancelling send job %1 after the current program")
                .arg(m_runningJob));
        it->second->cancelRequested = true;
        it->second->thread->wait();
    }
    sendFinished(m_runningJob);
}

SignService::Reply SignService::jobState(const QHttpServerRequest &,
                                         const QRegularExpressionMatch &m)
{
    const auto it = m_jobs.find(smallNumber(m.captured(1)));
    if (it == m_jobs.end())
        return error(404, QCoreApplication::translate("SignServiceCard", "没有发送任务 %1。").arg(m.captured(1)));
    return json(200, it->second->toJson());
}

SignService::Reply SignService::cancelJob(const QHttpServerRequest &,
                                          const QRegularExpressionMatch &m)
{
    const auto it = m_jobs.find(smallNumber(m.captured(1)));
    if (it == m_jobs.end())
        return error(404, QCoreApplication::translate("SignServiceCard", "没有发送任务 %1。").arg(m.captured(1)));
    // As the cancel button: the current program finishes, the upload is closed.
    if (it->second->running())
        it->second->cancelRequested = true;
    return json(200, it->second->toJson());
}
