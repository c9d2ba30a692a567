#include "service/mqtt/MqttFace.h"

#include "service/mqtt/HaDiscovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <QUrl>

namespace {

// The commands a sign takes, as topic levels under its base; "+" is a
// program's number.
const QStringList &commandNames()
{
    static const QStringList names = {
        QStringLiteral("notify"),         QStringLiteral("programs/set"),
        QStringLiteral("program/+/set"),  QStringLiteral("send"),
        QStringLiteral("brightness/set"), QStringLiteral("power/set"),
        QStringLiteral("clock/set"),      QStringLiteral("clear"),
    };
    return names;
}

MqttFace::Answer refusal(int status, const QString &text)
{
    return {status, QJsonDocument(QJsonObject{{QStringLiteral("error"), text}})
                        .toJson(QJsonDocument::Compact)};
}

QString errorOf(const MqttFace::Answer &answer)
{
    const QString text =
        QJsonDocument::fromJson(answer.body).object().value(u"error").toString();
    if (!text.isEmpty() || answer.status < 300)
        return text;
    return QCoreApplication::translate("MqttFace", "服务没有回答（%1）").arg(answer.status);
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

MqttFace::MqttFace(MqttFaceConfig config, MqttSettings broker, Call call,
                   std::function<void(const QString &)> log, QObject *parent)
    : QObject(parent), m_config(std::move(config)),
      m_base(m_config.prefix + u'/' + topicLevel(m_config.sign)),
      m_client(
          [&] {
              broker.willTopic = m_base + QStringLiteral("/status");
              broker.willPayload = "offline";
              return broker;
          }(),
          this),
      m_call(std::move(call)), m_log(std::move(log))
{
    connect(&m_client, &MqttClient::connectedChanged, this, &MqttFace::connected);
    connect(&m_client, &MqttClient::messageReceived, this, &MqttFace::message);
    connect(&m_client, &MqttClient::logLine, this,
            [this](const QString &line) { m_log(line + QStringLiteral(" [") + m_base + u']'); });
    m_cardRefresh.setInterval(kCardRefreshMs);
    connect(&m_cardRefresh, &QTimer::timeout, this, [this] { refresh(true); });
    m_stateDelay.setSingleShot(true);
    m_stateDelay.setInterval(kStateDelayMs);
    connect(&m_stateDelay, &QTimer::timeout, this, [this] { publishState(true); });
    m_forgetWait.setInterval(100);
    connect(&m_forgetWait, &QTimer::timeout, this, [this] {
        if (m_client.unacknowledged() > 0)
            return;
        m_forgetWait.stop();
        m_client.stop();
        Q_EMIT forgotten();
    });
}

MqttFace::~MqttFace()
{
    stop();
}

QString MqttFace::topicLevel(const QString &name)
{
    QString level = name;
    for (QChar &c : level)
        if (c == u'+' || c == u'#' || c == u'/')
            c = u'_';
    if (level.startsWith(u'$'))
        level[0] = u'_';
    return level;
}

bool MqttFace::usableName(const QString &name)
{
    return topicLevel(name) != u"group" && !name.isEmpty();
}

bool MqttFace::parseUrl(const QString &text, MqttSettings *settings, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"mqtt" && scheme != u"mqtts") || url.host().isEmpty() ||
        (!url.path().isEmpty() && url.path() != u"/") || !url.userInfo().isEmpty()) {
        *error = QStringLiteral("expected mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (user and "
                                "password go in --mqtt-user and BRIVANE_MQTT_PASSWORD)");
        return false;
    }
    settings->tls = scheme == u"mqtts";
    settings->host = url.host();
    settings->port = url.port(settings->tls ? 8883 : 1883);
    return true;
}

void MqttFace::start()
{
    for (const QString &command : commandNames()) {
        m_client.subscribe(m_base + u'/' + command, false);
        for (const QString &group : m_config.groups)
            m_client.subscribe(m_config.prefix + QStringLiteral("/group/") + topicLevel(group) +
                                   u'/' + command,
                               false);
    }
    m_client.subscribe(QLatin1String(HaDiscovery::kStatusTopic), true);
    m_client.start();
    m_cardRefresh.start();
    refresh(true);
}

void MqttFace::stop()
{
    m_cardRefresh.stop();
    if (m_client.isConnected())
        m_client.publish(m_base + QStringLiteral("/status"), "offline", true);
    m_client.stop();
}

void MqttFace::forget()
{
    m_forgetting = true;
    m_client.start();
}

QStringList MqttFace::discoveryTopics() const
{
    QStringList topics;
    for (const HaDiscovery::Config &config :
         HaDiscovery::configs({m_base, m_config.nodeId, m_config.sign, m_config.port, {}, {}}))
        topics << config.topic;
    return topics;
}

void MqttFace::connected(bool up)
{
    if (!up)
        return;
    if (m_forgetting) {
        // Empty retained messages delete what the broker keeps.
        for (const QString &topic : discoveryTopics())
            m_client.publish(topic, {}, true);
        for (const char *topic : {"/state", "/preview", "/status"})
            m_client.publish(m_base + QLatin1String(topic), {}, true);
        m_log(QStringLiteral("mqtt: removed the Home Assistant configs and retained topics of %1")
                  .arg(m_base));
        m_forgetWait.start();
        return;
    }
    publish(m_base + QStringLiteral("/status"), "online", true);
    m_statePublished.clear();
    m_previewPublished.clear();
    m_discoveryPublished.clear();
    m_previewKnown = false;
    publishDiscovery(true);
    publishState(true);
    publishPreview();
}

bool MqttFace::publish(const QString &topic, const QByteArray &payload, bool retain)
{
    if (m_client.publish(topic, payload, retain))
        return true;
    m_log(QStringLiteral("mqtt: %1 not published (%2)")
              .arg(topic, m_client.isConnected()
                              ? QStringLiteral("%1 publishes wait for the broker")
                                    .arg(m_client.unacknowledged())
                              : QStringLiteral("no connection")));
    return false;
}

void MqttFace::message(const QString &topic, const QByteArray &payload, bool retained)
{
    if (m_forgetting)
        return;
    if (topic == QLatin1String(HaDiscovery::kStatusTopic)) {
        if (payload.trimmed() == "online")
            publishDiscovery(true);
        return;
    }
    if (retained) {
        // A command runs once, when it is sent, not at every connect.
        m_log(QStringLiteral("mqtt: retained message on %1 ignored").arg(topic));
        return;
    }
    QString suffix;
    if (topic.startsWith(m_base + u'/')) {
        suffix = topic.mid(m_base.size() + 1);
    } else {
        for (const QString &group : m_config.groups) {
            const QString groupBase =
                m_config.prefix + QStringLiteral("/group/") + topicLevel(group) + u'/';
            if (topic.startsWith(groupBase))
                suffix = topic.mid(groupBase.size());
        }
    }
    if (suffix.isEmpty())
        return;
    Command command = parse(suffix, payload);
    if (!command.refused && int(m_waiting.size()) >= kMaxWaiting)
        command.refused = refusal(
            429, QCoreApplication::translate("MqttFace", "等待执行的命令太多（最多 %1 条）：此命令未执行，请稍后再试。")
                     .arg(kMaxWaiting));
    if (command.refused) {
        finish(command, *command.refused);
        return;
    }
    m_waiting.push_back(std::move(command));
    runNext();
}

MqttFace::Command MqttFace::parse(const QString &suffix, const QByteArray &payload) const
{
    Command command;
    command.name = suffix;
    if (payload.size() > kMaxPayloadBytes) {
        command.refused = refusal(413, QCoreApplication::translate("MqttFace", "消息太长：%1 字节，最多 %2 字节。")
                                           .arg(payload.size())
                                           .arg(kMaxPayloadBytes));
        return command;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(payload);
    if (decoder.hasError()) {
        command.refused = refusal(400, QCoreApplication::translate("MqttFace", "消息不是有效的 UTF-8 文字。"));
        return command;
    }
    const QString trimmed = text.trimmed();
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(payload, &parseError);
    const bool isJson = parseError.error == QJsonParseError::NoError;
    // A JSON object carries the command's id; the rest is the request's body.
    QJsonObject object;
    if (isJson && document.isObject()) {
        object = document.object();
        command.id = object.take(QStringLiteral("id"));
        if (!command.id.isUndefined() && !command.id.isString() && !command.id.isDouble() &&
            !command.id.isNull()) {
            command.id = QJsonValue();
            command.refused = refusal(400, QCoreApplication::translate("MqttFace", "\"id\" 必须是字符串或数字。"));
            return command;
        }
        if (command.id.isUndefined())
            command.id = QJsonValue();
    }
    const bool looksLikeJson = trimmed.startsWith(u'{') || trimmed.startsWith(u'[');
    // Not JSON where an object was meant: the API's reading of the payload
    // names the fault.
    const QByteArray body = isJson && document.isObject() ? compact(object) : payload;
    auto card = [&](const char *path, const QByteArray &requestBody) {
        command.method = "POST";
        command.path = QLatin1String(path);
        command.body = requestBody;
        command.touchesCard = true;
    };

    if (suffix == u"notify") {
        command.method = "POST";
        command.path = QStringLiteral("/api/notify");
        if (isJson && document.isObject())
            command.body = body;
        else if (looksLikeJson)
            command.body = payload;
        else if (trimmed.isEmpty())
            command.refused = refusal(400, QCoreApplication::translate("MqttFace", "消息需要要显示的文字。"));
        else // plain text is the message
            command.body = compact(QJsonObject{{QStringLiteral("text"), text}});
        return command;
    }
    if (suffix == u"programs/set") {
        command.method = "PUT";
        command.path = QStringLiteral("/api/programs");
        command.changesList = true;
        if (isJson && document.isArray())
            command.body = compact(QJsonObject{{QStringLiteral("programs"), document.array()}});
        else if (isJson && document.isObject() && object.value(u"programs").isArray())
            command.body = body;
        else if (!isJson)
            command.body = payload;
        else
            command.refused = refusal(
                400, QCoreApplication::translate("MqttFace", "需要节目的 JSON 数组，或 {\"programs\": [...]}。"));
        return command;
    }
    if (suffix.startsWith(u"program/") && suffix.endsWith(u"/set")) {
        const QString number = suffix.mid(8, suffix.size() - 12);
        bool ok = false;
        const int n = number.toInt(&ok);
        if (!ok || n < 1 || number.size() > 9 || number != QString::number(n)) {
            command.refused = refusal(404, QCoreApplication::translate("MqttFace", "没有节目 %1。").arg(number.left(12)));
            return command;
        }
        command.method = "PATCH";
        command.path = QStringLiteral("/api/programs/%1").arg(n);
        command.body = body;
        command.changesList = true;
        return command;
    }
    // The buttons' commands take nothing, Home Assistant's "PRESS" or an
    // object with the id.
    const bool empty = trimmed.isEmpty() || trimmed == u"PRESS";
    if (suffix == u"send" || suffix == u"clock/set" || suffix == u"clear") {
        if (!empty && !looksLikeJson) {
            command.refused =
                refusal(400, QCoreApplication::translate("MqttFace", "此命令不接受任何内容（可以为空、PRESS 或带 id 的 JSON 对象）。"));
            return command;
        }
        const QByteArray requestBody = empty ? QByteArray() : body;
        if (suffix == u"send") {
            card("/api/send", requestBody);
            command.changesList = true; // the preview is of what was sent
        } else {
            card(suffix == u"clear" ? "/api/card/clear" : "/api/card/clock", requestBody);
        }
        return command;
    }
    if (suffix == u"brightness/set") {
        bool number = false;
        const double level = trimmed.toDouble(&number);
        if (isJson && document.isObject())
            card("/api/card/brightness", body);
        else if (number) // Home Assistant's number sends "5" or "5.0"
            card("/api/card/brightness", compact(QJsonObject{{QStringLiteral("level"), level}}));
        else if (looksLikeJson)
            card("/api/card/brightness", payload);
        else // the API's own words for a level that is not one
            card("/api/card/brightness", compact(QJsonObject{{QStringLiteral("level"), trimmed}}));
        return command;
    }
    if (suffix == u"power/set") {
        const QString word = trimmed.toLower();
        if (isJson && document.isObject())
            card("/api/card/power", body);
        else if (word == u"on" || word == u"true" || word == u"1")
            card("/api/card/power", R"({"on":true})");
        else if (word == u"off" || word == u"false" || word == u"0")
            card("/api/card/power", R"({"on":false})");
        else if (looksLikeJson)
            card("/api/card/power", payload);
        else
            command.refused = refusal(400, QCoreApplication::translate("MqttFace", "电源命令需要 ON 或 OFF。"));
        return command;
    }
    command.refused = refusal(404, QCoreApplication::translate("MqttFace", "没有这个命令：%1").arg(suffix.left(40)));
    return command;
}

void MqttFace::runNext()
{
    if (m_running || m_waiting.empty())
        return;
    m_running = true;
    Command command = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_call(command.method, command.path, command.body, [this, command](const Answer &answer) {
        const int job = command.path == u"/api/send" && answer.status == 202
                            ? QJsonDocument::fromJson(answer.body).object().value(u"job").toInt()
                            : 0;
        if (job > 0)
            waitForJob(command, job);
        else
            finish(command, answer);
    });
}

void MqttFace::waitForJob(const Command &command, int job)
{
    QTimer::singleShot(kJobPollMs, this, [this, command, job] {
        m_call("GET", QStringLiteral("/api/jobs/%1").arg(job), {},
               [this, command, job](const Answer &answer) {
                   const QJsonObject state = QJsonDocument::fromJson(answer.body).object();
                   if (answer.status == 200 && state.value(u"state").toString() == u"running") {
                       waitForJob(command, job);
                       return;
                   }
                   // The job's end as an answer: its error, or a send that did
                   // not send everything.
                   const QJsonObject result = state.value(u"result").toObject();
                   QString error = state.value(u"error").toString();
                   if (error.isEmpty())
                       error = result.value(u"error").toString();
                   const bool complete =
                       answer.status == 200 && state.value(u"state").toString() == u"done" &&
                       result.value(u"end").toString() == u"completed" &&
                       result.value(u"sentCount") == result.value(u"itemCount");
                   if (!complete && error.isEmpty())
                       error = QCoreApplication::translate("MqttFace", "发送未完成：%1")
                                   .arg(result.value(u"end").toString());
                   finish(command, complete ? Answer{200, compact(result)}
                                            : refusal(answer.status == 200 ? 500 : answer.status,
                                                      error));
               });
    });
}

void MqttFace::finish(const Command &command, const Answer &answer)
{
    publishResult(command, answer);
    const bool ok = answer.status >= 200 && answer.status < 300;
    const QString error = ok ? QString() : errorOf(answer);
    m_lastResult = QJsonObject{
        {QStringLiteral("command"), command.name},
        {QStringLiteral("ok"), ok},
        {QStringLiteral("code"), answer.status},
        {QStringLiteral("text"), ok ? QCoreApplication::translate("MqttFace", "成功") : error},
        {QStringLiteral("at"), QDateTime::currentDateTime().toString(Qt::ISODate)},
    };
    m_log(QStringLiteral("mqtt %1 %2 %3").arg(m_base, command.name).arg(answer.status));
    if (command.refused) {
        publishState();
        return; // nothing reached the service
    }
    if (command.touchesCard && answer.status != 409) {
        // The card answered (or not): that is the link's state now.
        m_link = ok || answer.status == 400 ? QStringLiteral("ok") : QStringLiteral("error");
        m_linkError = ok || answer.status == 400 ? QString() : error;
        if (ok) {
            const QJsonObject body = QJsonDocument::fromJson(command.body).object();
            if (command.path == u"/api/card/brightness")
                m_brightness = body.value(u"level");
            else if (command.path == u"/api/card/power")
                m_power = body.value(u"on").toBool() ? QStringLiteral("ON") : QStringLiteral("OFF");
        }
    }
    m_running = false;
    if (command.changesList && ok)
        refresh(false);
    else
        publishState();
    // The next command from the event loop, not from inside this answer.
    QMetaObject::invokeMethod(this, &MqttFace::runNext, Qt::QueuedConnection);
}

void MqttFace::publishResult(const Command &command, const Answer &answer)
{
    const bool ok = answer.status >= 200 && answer.status < 300;
    QJsonObject result{
        {QStringLiteral("id"), command.id.isUndefined() ? QJsonValue() : command.id},
        {QStringLiteral("ok"), ok},
        {QStringLiteral("code"), answer.status},
        {QStringLiteral("error"), ok ? QJsonValue() : QJsonValue(errorOf(answer))},
        {QStringLiteral("command"), command.name},
    };
    publish(m_base + QStringLiteral("/result"), compact(result), false);
}

void MqttFace::refresh(bool card)
{
    m_call("GET", QStringLiteral("/api/programs"), {}, [this, card](const Answer &answer) {
        if (answer.status == 200)
            m_list = QJsonDocument::fromJson(answer.body).object();
        m_call("GET", QStringLiteral("/api/schedule/status"), {}, [this](const Answer &status) {
            m_schedule = status.status == 200 ? QJsonDocument::fromJson(status.body).object()
                                              : QJsonObject();
            if (m_power.isUndefined() || m_power.isNull()) {
                const QString power = m_schedule.value(u"power").toString();
                if (!power.isEmpty())
                    m_power = power.toUpper();
            }
        });
        publishPreview();
        if (!card) {
            publishState();
            return;
        }
        m_call("GET", QStringLiteral("/api/card"), {}, [this](const Answer &info) {
            if (info.status == 200) {
                m_card = QJsonDocument::fromJson(info.body).object();
                m_link = QStringLiteral("ok");
                m_linkError.clear();
                if (m_card.value(u"brightness").isDouble())
                    m_brightness = m_card.value(u"brightness");
                publishDiscovery(false);
            } else if (info.status != 409) { // 409: busy, not a fault
                m_link = QStringLiteral("error");
                m_linkError = errorOf(info);
            }
            publishState();
        });
    });
}

void MqttFace::publishState(bool now)
{
    if (m_forgetting)
        return;
    if (!now) {
        if (!m_stateDelay.isActive())
            m_stateDelay.start();
        return;
    }
    QJsonObject card = m_card;
    card.remove(QStringLiteral("screenParams"));
    card.remove(QStringLiteral("brightness")); // as read then; the state's own is the latest
    const QJsonObject state{
        {QStringLiteral("power"), m_power.isUndefined() ? QJsonValue() : m_power},
        {QStringLiteral("brightness"), m_brightness.isUndefined() ? QJsonValue() : m_brightness},
        {QStringLiteral("project"), m_list.value(u"project")},
        {QStringLiteral("programs"), m_list.value(u"items").toArray()},
        {QStringLiteral("card"), card},
        {QStringLiteral("link"), m_link},
        {QStringLiteral("linkError"), m_linkError.isEmpty() ? QJsonValue() : m_linkError},
        {QStringLiteral("lastResult"), m_lastResult.isEmpty() ? QJsonValue() : m_lastResult},
        {QStringLiteral("schedule"), m_schedule.isEmpty() ? QJsonValue() : m_schedule},
    };
    const QByteArray bytes = compact(state);
    if (bytes == m_statePublished || !m_client.isConnected())
        return;
    if (publish(m_base + QStringLiteral("/state"), bytes, true))
        m_statePublished = bytes;
}

void MqttFace::publishPreview()
{
    if (m_forgetting || !m_client.isConnected())
        return;
    m_call("GET", QStringLiteral("/api/programs/1/pages/1.png?scale=%1").arg(kPreviewScale), {},
           [this](const Answer &answer) {
               // No first program: an empty retained message removes the last.
               const QByteArray png = answer.status == 200 ? answer.body : QByteArray();
               if (answer.status != 200 && answer.status != 404)
                   return;
               if (m_previewKnown && png == m_previewPublished)
                   return;
               if (publish(m_base + QStringLiteral("/preview"), png, true)) {
                   m_previewPublished = png;
                   m_previewKnown = true;
               }
           });
}

void MqttFace::publishDiscovery(bool force)
{
    if (m_forgetting || !m_client.isConnected())
        return;
    const HaDiscovery::Sign sign{m_base,
                                 m_config.nodeId,
                                 m_config.sign,
                                 m_config.port,
                                 // the card's model line names its firmware too
                                 m_card.value(u"model").toString().section(u'，', 0, 0),
                                 m_card.value(u"firmware").toString()};
    const QByteArray device = (sign.model + u'\n' + sign.firmware).toUtf8();
    if (!force && device == m_discoveryPublished)
        return;
    bool all = true;
    for (const HaDiscovery::Config &config : HaDiscovery::configs(sign))
        all = publish(config.topic, compact(config.payload), true) && all;
    if (all)
        m_discoveryPublished = device;
}
