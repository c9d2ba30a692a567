// The sign service's card requests: the card's info, the simple commands
// (clear, clock, power, brightness) and the send job. One card operation at
// a time; each runs on a worker thread with its own CardSession, which
// attaches to the card as the command-line tool does.

#include "service/SignService.h"

#include "link/ControllerInfo.h"
#include "model/CardSession.h"
#include "service/CardQueue.h"
#include "model/PlayList.h"
#include "model/ProjectJson.h"
#include "service/NotifyQueue.h"
#include "service/ScheduleRunner.h"
#include "service/SendJob.h"
#include "service/ServiceSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QDateTime>
#include <QJsonDocument>
#include <algorithm>

using namespace ServiceSupport;

namespace {

SignService::Reply commandResult(const Outcome &outcome)
{
    if (outcome)
        return json(200, QJsonObject{{QStringLiteral("ok"), true},
                                     {QStringLiteral("message"), outcome.userText()}});
    return error(500, outcome.userText());
}

} // namespace

SignService::Sign *SignService::signFor(const QString &name, Reply *refusal) const
{
    if (name.isEmpty())
        return m_signs.front().get();
    for (const auto &sign : m_signs)
        if (sign->config.name == name)
            return sign.get();
    if (refusal)
        *refusal = error(404, QCoreApplication::translate("SignServiceCard", "没有名为“%1”的屏。").arg(name.left(100)));
    return nullptr;
}

CardQueue *SignService::cardQueue(const QString &sign) const
{
    const Sign *found = signFor(sign);
    return found ? found->queue : nullptr;
}

QStringList SignService::signNames() const
{
    QStringList names;
    for (const auto &sign : m_signs)
        names << sign->config.name;
    return names;
}

QStringList SignService::signsInGroup(const QString &group) const
{
    QStringList names;
    for (const auto &sign : m_signs)
        if (sign->config.groups.contains(group))
            names << sign->config.name;
    return names;
}

QJsonObject SignService::signStatus(const QString &name) const
{
    const Sign *sign = signFor(name);
    if (!sign)
        return {};
    QJsonObject o{{QStringLiteral("sign"), sign->config.name},
                  {QStringLiteral("groups"), QJsonArray::fromStringList(sign->config.groups)},
                  {QStringLiteral("link"), sign->link},
                  {QStringLiteral("busy"), sign->queue->busy()},
                  {QStringLiteral("waiting"), sign->queue->waiting()}};
    if (sign->card) {
        o[u"model"] = sign->card->formatModel();
        o[u"firmware"] = ProjectJson::firmwareText(*sign->card);
    }
    if (sign->colourType > 0)
        o[u"colourType"] = sign->colourType;
    if (sign->power)
        o[u"power"] = *sign->power;
    if (sign->brightness)
        o[u"brightness"] = *sign->brightness;
    if (!sign->last.isEmpty())
        o[u"last"] = sign->last;
    return o;
}

void SignService::cardOperationEnded(Sign &sign, const QString &what, bool ok,
                                     const QString &message)
{
    sign.last = QJsonObject{{QStringLiteral("what"), what},
                            {QStringLiteral("ok"), ok},
                            {QStringLiteral("message"), message},
                            {QStringLiteral("at"),
                             QDateTime::currentDateTime().toString(Qt::ISODate)}};
    Q_EMIT signStatusChanged(sign.config.name);
}

void SignService::runOnCard(Sign &sign, const QString &what,
                            std::function<Reply(CardSession &)> work, Done done)
{
    if (m_stopping)
        return done(error(409, cardBusyText()));
    auto reply = std::make_shared<Reply>();
    const CardQueue::Refusal refused = sign.queue->enqueue(
        [work = std::move(work), reply](CardSession &card) { *reply = work(card); },
        [this, &sign, what, reply, done](const CardQueue::Ended &ended) {
            rememberCard(sign, ended);
            if (!ended.attached) {
                cardOperationEnded(sign, what, false, ended.attached.userText());
                return done(error(500, ended.attached.userText()));
            }
            const QJsonObject answer = QJsonDocument::fromJson(reply->body).object();
            cardOperationEnded(sign, what, reply->status < 300,
                               answer.value(answer.contains(u"error") ? u"error" : u"message")
                                   .toString());
            done(*reply);
        });
    if (refused != CardQueue::Refusal::None)
        done(error(409, cardBusyText()));
}

bool SignService::runCardCommand(const std::function<Outcome(CardSession &)> &command,
                                 std::function<void(const Outcome &)> done, const QString &name)
{
    Sign *sign = signFor(name);
    if (!sign || m_stopping)
        return false;
    auto result = std::make_shared<Outcome>();
    return sign->queue->enqueue([command, result](CardSession &card) { *result = command(card); },
                                [this, sign, result, done](const CardQueue::Ended &ended) {
                                    rememberCard(*sign, ended);
                                    const Outcome outcome = ended.attached ? *result : ended.attached;
                                    cardOperationEnded(*sign, QStringLiteral("schedule"),
                                                       outcome.isOk(), outcome.userText());
                                    done(outcome);
                                }) == CardQueue::Refusal::None;
}

namespace {
QString noSchedule()
{
    return QCoreApplication::translate("SignServiceCard", "没有日程：服务启动时未给出 --schedule。");
}
}

SignService::Reply SignService::scheduleStatus(const ApiRequest &,
                                               const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    return json(200, m_schedule->status());
}

SignService::Reply SignService::getSchedule(const ApiRequest &,
                                            const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    return json(200, m_schedule->document());
}

SignService::Reply SignService::putSchedule(const ApiRequest &request,
                                            const QRegularExpressionMatch &)
{
    if (!m_schedule)
        return error(404, noSchedule());
    QJsonObject ignored;
    if (auto bad = readObject(request.body, &ignored))
        return *bad;
    const QList<ScheduleProblem> problems = m_schedule->replace(request.body);
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

void SignService::cardInfo(const ApiRequest &request, const QRegularExpressionMatch &, Done done)
{
    Reply refusal;
    Sign *sign = signFor(request.sign, &refusal);
    if (!sign)
        return done(refusal);
    auto brightness = std::make_shared<int>(-1);
    runOnCard(
        *sign, QStringLiteral("info"),
        [brightness](CardSession &card) {
            const bool paramsRead = card.readScreenParams().isOk();
            if (!card.readBrightness(brightness.get()))
                *brightness = -1;
            return json(200, ProjectJson::info(card.port(), card.info(),
                                               paramsRead ? &card.screenParams() : nullptr,
                                               *brightness));
        },
        [this, sign, brightness, done](const Reply &reply) {
            if (*brightness >= 0) {
                sign->brightness = *brightness;
                Q_EMIT signStatusChanged(sign->config.name);
            }
            done(reply);
        });
}

void SignService::cardCommand(const ApiRequest &request, const QRegularExpressionMatch &m,
                              Done done)
{
    const QString command = m.captured(1);
    // Everything is checked before the card is touched.
    QJsonObject body;
    if (command == u"power" || command == u"brightness") {
        if (auto bad = readObject(request.body, &body))
            return done(*bad);
        const QString field = command == u"power" ? QStringLiteral("on") : QStringLiteral("level");
        for (auto it = body.begin(); it != body.end(); ++it)
            if (it.key() != field)
                return done(error(
                    400, QCoreApplication::translate("SignServiceCard", "未知字段“%1”；只接受“%2”。").arg(it.key(), field)));
        const QJsonValue value = body.value(field);
        if (command == u"power" && !value.isBool())
            return done(error(400, QCoreApplication::translate("SignServiceCard", "需要 {\"on\": true} 或 {\"on\": false}。")));
        if (command == u"brightness") {
            const double level = value.toDouble(-1);
            if (!value.isDouble() || level != int(level) || level < 0 || level > 15)
                return done(error(
                    400, QCoreApplication::translate("SignServiceCard", "亮度必须是 0 到 15 的整数：{\"level\": 0..15}。")));
        }
    } else if (!request.body.trimmed().isEmpty()) {
        QJsonObject ignored;
        if (auto bad = readObject(request.body, &ignored))
            return done(*bad);
        if (!ignored.isEmpty())
            return done(error(400, QCoreApplication::translate("SignServiceCard", "此命令不接受任何字段。")));
    }
    Reply refusal;
    Sign *sign = signFor(request.sign, &refusal);
    if (!sign)
        return done(refusal);
    runOnCard(
        *sign, command,
        [command, body](CardSession &card) {
            if (command == u"clear")
                return commandResult(card.clearScreen());
            if (command == u"clock")
                return commandResult(card.setClock());
            if (command == u"power")
                return commandResult(card.setScreenPower(body.value(u"on").toBool()));
            return commandResult(card.setBrightness(body.value(u"level").toInt()));
        },
        [this, sign, command, body, done](const Reply &reply) {
            // What the card holds now, as far as the service knows.
            if (reply.status == 200 && command == u"power")
                sign->power = body.value(u"on").toBool();
            if (reply.status == 200 && command == u"brightness")
                sign->brightness = body.value(u"level").toInt();
            if (reply.status == 200 && (command == u"power" || command == u"brightness"))
                Q_EMIT signStatusChanged(sign->config.name);
            done(reply);
        });
}

SignService::Reply SignService::startSend(const ApiRequest &request,
                                          const QRegularExpressionMatch &)
{
    if (!request.body.trimmed().isEmpty()) {
        QJsonObject ignored;
        if (auto bad = readObject(request.body, &ignored))
            return *bad;
        if (!ignored.isEmpty())
            return error(400, QCoreApplication::translate("SignServiceCard", "发送不接受任何字段。"));
    }
    Reply refusal;
    if (!signFor(request.sign, &refusal))
        return refusal;
    // A file that cannot be read now is never sent: the card is not touched.
    {
        PlayList list;
        list.setProjectFilePath(m_config.projectPath);
        if (const Outcome loaded = list.load(); !loaded)
            return projectFileError(loaded);
    }
    const int id = startSendJob(m_config.projectPath, request.sign);
    if (id == 0)
        return error(409, cardBusyText());
    return json(202, QJsonObject{{QStringLiteral("job"), id}});
}

int SignService::startSendJob(const QString &listPath, const QString &signName)
{
    Sign *sign = signFor(signName);
    if (!sign || sign->queue->sendTaken() || m_stopping)
        return 0;
    auto job = std::make_shared<SendJob>();
    job->listPath = listPath;
    job->sign = sign->config.name;
    job->id = m_nextJob++;
    job->setStatus(0, QCoreApplication::translate("SignServiceCard", "正在连接控制卡..."));
    const ServiceConfig::OnError onError = m_config.onError;
    const int retries = m_config.retries;
    const auto logLine = m_config.log;
    const QString port = sign->config.port;
    const QString fileName = QFileInfo(listPath).fileName();
    // The worker reads the project file as it is when the send begins: the
    // list cannot change while the send runs.
    auto send = [job, port, onError, retries, logLine, fileName](CardSession &card,
                                                                CardQueue::Ended &ended) {
        PlayList list;
        list.setProjectFilePath(job->listPath);
        if (const Outcome loaded = list.load(); !loaded) {
            job->finish(SendJob::State::Failed, {},
                        loaded.code() == OutcomeCode::FileMissing
                            ? QCoreApplication::translate("SignServiceCard", "没有项目文件 %1").arg(fileName)
                            : QCoreApplication::translate("SignServiceCard", "无法读取项目文件 %1（%2）").arg(fileName, loaded.text()));
            return;
        }
        // A port by number is opened by the send's own check; a name or the
        // search attaches first.
        bool numbered = false;
        const int number = port.toInt(&numbered);
        if (numbered && number > 0) {
            card.setPort(number);
        } else {
            ended.attached = CardQueue::attach(card, port);
            if (ended.attached || ended.attached.code() == OutcomeCode::Unsupported) {
                ended.card = card.info();
                ended.cardSeen = true;
            }
            if (!ended.attached) {
                job->finish(SendJob::State::Failed, {}, ended.attached.userText());
                return;
            }
        }
        JobProgressHost host(*job, onError, retries, logLine);
        const Outcome sent = card.send(list, host);
        job->report = card.lastSendReport();
        if (card.lastSendReport().end == SendReport::End::NotRun) { // the check refused
            if (sent.code() == OutcomeCode::Unsupported) {
                ended.card = card.info();
                ended.cardSeen = true;
            }
            ended.attached = sent;
            job->finish(SendJob::State::Failed, {}, sent.userText());
            return;
        }
        ended.card = card.info();
        ended.cardSeen = true;
        if (card.colourTypeKnown())
            ended.colourType = card.screenParams().colourType();
        job->finish(SendJob::State::Done, ProjectJson::sendReport(card.lastSendReport()), {});
    };
    const int id = job->id;
    if (!sign->queue->enqueueSend(std::move(send), [this, sign, id](const CardQueue::Ended &ended) {
            rememberCard(*sign, ended);
            sendFinished(id);
        }))
        return 0;
    m_jobs[id] = job;
    for (auto it = m_jobs.begin(); int(m_jobs.size()) > kKeptJobs && it != m_jobs.end();)
        it = it->second->running() ? std::next(it) : m_jobs.erase(it);
    log(QStringLiteral("send job %1 started").arg(id));
    return id;
}

void SignService::sendFinished(int id)
{
    const auto it = m_jobs.find(id);
    if (it == m_jobs.end())
        return;
    const std::shared_ptr<SendJob> job = it->second;
    const QJsonObject state = job->toJson();
    const QJsonObject result = state.value(u"result").toObject();
    log(QStringLiteral("send job %1 %2: %3")
            .arg(id)
            .arg(state.value(u"state").toString(), state.contains(u"error")
                                                       ? state.value(u"error").toString()
                                                       : result.value(u"end").toString()));
    const SendReport &report = job->report;
    const bool complete = state.value(u"state").toString() == u"done" &&
                          report.end == SendReport::End::Completed &&
                          report.sentCount == report.itemCount;
    QString why = state.value(u"error").toString();
    if (why.isEmpty())
        why = report.errorText;
    if (why.isEmpty())
        why = result.value(u"end").toString();
    if (Sign *sign = signFor(job->sign)) {
        sign->last = QJsonObject{{QStringLiteral("what"), QStringLiteral("send")},
                                 {QStringLiteral("ok"), complete},
                                 {QStringLiteral("message"),
                                  complete ? job->toJson().value(u"status").toString() : why},
                                 {QStringLiteral("at"),
                                  QDateTime::currentDateTime().toString(Qt::ISODate)}};
        Q_EMIT signStatusChanged(sign->config.name);
    }
    // The message queue and the schedule drive the first sign.
    if (job->sign != m_signs.front()->config.name)
        return;
    if (m_notify->sendEnded(id, complete, why))
        return;
    if (m_schedule)
        m_schedule->sendEnded(id, job->listPath, complete, why);
}

bool SignService::messageActive() const
{
    return m_notify->active();
}

bool SignService::sendRunning() const
{
    return std::any_of(m_signs.begin(), m_signs.end(),
                       [](const auto &sign) { return sign->queue->sendTaken(); });
}

void SignService::stop()
{
    m_stopping = true;
    for (const auto &[id, job] : m_jobs) {
        if (!job->running())
            continue;
        log(QStringLiteral("stopping: cancelling send job %1 after the current program").arg(id));
        job->cancelRequested = true;
    }
    for (const auto &sign : m_signs)
        sign->queue->finishNow();
}

SignService::Reply SignService::jobState(const ApiRequest &,
                                         const QRegularExpressionMatch &m)
{
    const auto it = m_jobs.find(smallNumber(m.captured(1)));
    if (it == m_jobs.end())
        return error(404, QCoreApplication::translate("SignServiceCard", "没有发送任务 %1。").arg(m.captured(1)));
    return json(200, it->second->toJson());
}

SignService::Reply SignService::cancelJob(const ApiRequest &,
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
