// The sign service's card requests: the card's info, the simple commands
// (clear, clock, power, brightness) and the send job. One card operation at
// a time; each runs on a worker thread with its own Project and link, which
// find or open the card as the command-line tool does.

#include "service/SignService.h"

#include "link/ControllerInfo.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "model/Project.h"
#include "model/ProjectJson.h"
#include "service/SendJob.h"
#include "service/ServiceSupport.h"

#include <QFileInfo>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QThread>

using namespace ServiceSupport;

namespace {

// The card search's host: no bar to draw, never cancelled.
class SearchHost final : public ProgressHost {
public:
    void setStatus(int, const QString &text) override { status = text; }
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return false; }
    QString status;
};

enum class Attached { Ok, NoCard, Unsupported };

// As the command-line tool: the given port opened and asked, or the search
// over ports 1 to 20. A card that answers with model code 0 is taken as it is.
Attached attachCard(Project &project, int port, QString *error)
{
    if (port > 0) {
        project.setRememberedPort(port);
        if (!project.connect(port, true)) {
            *error = project.lastErrorText();
            return Attached::NoCard;
        }
        if (!project.identify(port)) {
            *error = QStringLiteral("端口 %1（%2）上没有卡应答：%3")
                         .arg(port)
                         .arg(PortNaming::deviceForPort(port), project.link().errorText());
            return Attached::NoCard;
        }
        const ControllerInfo &info = project.controllerInfo();
        return info.modelCode == 0 || info.isSupportedModel() ? Attached::Ok
                                                              : Attached::Unsupported;
    }
    SearchHost host;
    project.findController(host);
    if (project.rememberedPort() == 0) {
        *error = host.status;
        return Attached::NoCard;
    }
    const int found = project.rememberedPort();
    if (!project.acceptFoundController()) {
        project.setRememberedPort(found);
        return Attached::Unsupported;
    }
    return Attached::Ok;
}

SignService::Reply commandResult(Project &project, bool ok, const QString &detail = {})
{
    if (ok)
        return json(200,
                    QJsonObject{{QStringLiteral("ok"), true},
                                {QStringLiteral("message"), QStringLiteral("命令执行成功！")}});
    return error(500, QStringLiteral("命令执行失败：") +
                          (detail.isEmpty() ? project.lastErrorText() : detail));
}

} // namespace

SignService::Reply SignService::runOnCard(const std::function<Reply(Project &)> &work)
{
    if (m_cardBusy)
        return error(409, QStringLiteral("卡正忙：另一个卡操作正在进行，请稍后再试。"));
    m_cardBusy = true;
    Reply reply;
    ControllerInfo seen;
    bool cardSeen = false;
    // Waiting here keeps the request handlers out of the link's event
    // pumping; a command takes a fraction of a second.
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        Project project;
        project.setProjectFilePath(m_config.projectPath);
        QString failure;
        switch (attachCard(project, m_config.port, &failure)) {
        case Attached::NoCard:
            reply = error(500, failure.isEmpty() ? QStringLiteral("没有找到卡。") : failure);
            return;
        case Attached::Unsupported:
            seen = project.controllerInfo();
            cardSeen = true;
            reply = error(500, Project::unsupportedCardText() + QStringLiteral("（") +
                                   project.controllerInfo().formatModel() + QStringLiteral("）"));
            return;
        case Attached::Ok:
            break;
        }
        seen = project.controllerInfo();
        cardSeen = true;
        reply = work(project);
    }));
    worker->start();
    worker->wait();
    m_cardBusy = false;
    if (cardSeen)
        rememberCard(seen);
    return reply;
}

SignService::Reply SignService::cardInfo(const QHttpServerRequest &,
                                         const QRegularExpressionMatch &)
{
    return runOnCard([](Project &project) {
        const bool paramsRead = project.readScreenParams();
        const int brightness = project.readBrightness();
        return json(200,
                    ProjectJson::info(project.rememberedPort(), project.controllerInfo(),
                                      paramsRead ? &project.screenParams() : nullptr, brightness));
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
                             QStringLiteral("未知字段“%1”；只接受“%2”。").arg(it.key(), field));
        const QJsonValue value = body.value(field);
        if (command == u"power" && !value.isBool())
            return error(400, QStringLiteral("需要 {\"on\": true} 或 {\"on\": false}。"));
        if (command == u"brightness") {
            const double level = value.toDouble(-1);
            if (!value.isDouble() || level != int(level) || level < 0 || level > 15)
                return error(400,
                             QStringLiteral("亮度必须是 0 到 15 的整数：{\"level\": 0..15}。"));
        }
    } else if (!request.body().trimmed().isEmpty()) {
        QJsonObject ignored;
        if (auto bad = readObject(request.body(), &ignored))
            return *bad;
        if (!ignored.isEmpty())
            return error(400, QStringLiteral("此命令不接受任何字段。"));
    }
    return runOnCard([command, body](Project &project) {
        if (command == u"clear")
            return commandResult(project, project.clearScreen());
        if (command == u"clock")
            return commandResult(project, project.setClock());
        if (command == u"power")
            return commandResult(project, project.setScreenPower(body.value(u"on").toBool()));
        const bool ok = project.setBrightness(body.value(u"level").toInt());
        return commandResult(project, ok, ok ? QString() : project.link().errorText());
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
            return error(400, QStringLiteral("发送不接受任何字段。"));
    }
    if (m_cardBusy)
        return error(409, QStringLiteral("卡正忙：另一个卡操作正在进行，请稍后再试。"));
    m_cardBusy = true;
    auto job = std::make_shared<SendJob>();
    job->id = m_nextJob++;
    job->setStatus(0, QStringLiteral("正在连接控制卡..."));
    const ServiceConfig config{
        m_config.projectPath, m_config.port, m_config.onError, m_config.retries, {}, m_config.log};
    // The worker reads the project file as it is now: the list cannot change
    // while the send runs.
    job->thread.reset(QThread::create([job, config] {
        Project project;
        project.setProjectFilePath(config.projectPath);
        if (const QString missing = missingProjectFileText(config.projectPath);
            !missing.isEmpty()) {
            job->finish(SendJob::State::Failed, {}, missing);
            return;
        }
        project.loadProject();
        if (config.port == 0) {
            QString failure;
            const Attached attached = attachCard(project, 0, &failure);
            if (attached != Attached::NoCard) {
                job->card = project.controllerInfo();
                job->cardSeen = true;
            }
            if (attached == Attached::NoCard) {
                job->finish(SendJob::State::Failed, {}, failure);
                return;
            }
            if (attached == Attached::Unsupported) {
                job->finish(SendJob::State::Failed, {}, Project::unsupportedCardText());
                return;
            }
        } else {
            project.setRememberedPort(config.port);
        }
        switch (project.checkBeforeSend()) {
        case Project::CardCheck::NoAnswer:
            job->finish(SendJob::State::Failed, {},
                        QStringLiteral("命令执行失败：") + project.lastErrorText());
            return;
        case Project::CardCheck::Unsupported:
            job->card = project.controllerInfo();
            job->cardSeen = true;
            job->finish(SendJob::State::Failed, {},
                        Project::unsupportedCardText() + QStringLiteral("（") +
                            project.controllerInfo().formatModel() + QStringLiteral("）"));
            return;
        case Project::CardCheck::Ready:
            break;
        }
        job->card = project.controllerInfo();
        job->cardSeen = true;
        job->setRange(project.itemCount() * 5 + 5);
        JobProgressHost host(*job, config.onError, config.retries, config.log);
        project.sendAll(host);
        job->finish(SendJob::State::Done, ProjectJson::sendReport(project.lastSendReport()), {});
    }));
    const int id = job->id;
    connect(job->thread.get(), &QThread::finished, this, [this, id] { sendFinished(id); });
    m_jobs[id] = job;
    m_runningJob = id;
    while (int(m_jobs.size()) > kKeptJobs && m_jobs.begin()->first != m_runningJob)
        m_jobs.erase(m_jobs.begin());
    job->thread->start();
    log(QStringLiteral("send job %1 started").arg(id));
    return json(202, QJsonObject{{QStringLiteral("job"), id}});
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
        rememberCard(job.card);
    const QJsonObject state = job.toJson();
    log(QStringLiteral("send job %1 %2: %3")
            .arg(id)
            .arg(state.value(u"state").toString(),
                 state.contains(u"error")
                     ? state.value(u"error").toString()
                     : state.value(u"result").toObject().value(u"end").toString()));
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
        return error(404, QStringLiteral("没有发送任务 %1。").arg(m.captured(1)));
    return json(200, it->second->toJson());
}

SignService::Reply SignService::cancelJob(const QHttpServerRequest &,
                                          const QRegularExpressionMatch &m)
{
    const auto it = m_jobs.find(smallNumber(m.captured(1)));
    if (it == m_jobs.end())
        return error(404, QStringLiteral("没有发送任务 %1。").arg(m.captured(1)));
    // As the cancel button: the current program finishes, the upload is closed.
    if (it->second->running())
        it->second->cancelRequested = true;
    return json(200, it->second->toJson());
}
