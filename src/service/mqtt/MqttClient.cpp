#include "service/mqtt/MqttClient.h"

#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mosquitto.h>
#include <mqtt_protocol.h>

namespace {

// Without retained messages: none is sent at subscribe, and a live one
// keeps its retain flag (so that it can be told apart and ignored).
int subscribeOptions(bool retained)
{
    return retained ? MQTT_SUB_OPT_SEND_RETAIN_ALWAYS
                    : MQTT_SUB_OPT_SEND_RETAIN_NEVER | MQTT_SUB_OPT_RETAIN_AS_PUBLISHED;
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString errorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

MqttClient::MqttClient(MqttSettings settings, QObject *parent)
    : QObject(parent), m_settings(std::move(settings))
{
    initialiseLibrary();
    m_mosq = mosquitto_new(m_settings.clientId.toUtf8().constData(), true, this);
    if (!m_mosq)
        return;
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_threaded_set(m_mosq, true);
    mosquitto_connect_v5_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_v5_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_publish_v5_callback_set(m_mosq, &MqttClient::onPublish);
    mosquitto_message_v5_callback_set(m_mosq, &MqttClient::onMessage);
    if (!m_settings.user.isEmpty())
        mosquitto_username_pw_set(m_mosq, m_settings.user.toUtf8().constData(),
                                  m_settings.password.isEmpty() ? nullptr
                                                                : m_settings.password.constData());
    if (m_settings.tls)
        mosquitto_tls_set(m_mosq,
                          m_settings.caFile.isEmpty() ? nullptr
                                                      : m_settings.caFile.toLocal8Bit().constData(),
                          m_settings.caFile.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr,
                          nullptr, nullptr);
    if (!m_settings.willTopic.isEmpty()) {
        const QByteArray topic = m_settings.willTopic.toUtf8();
        mosquitto_will_set(m_mosq, topic.constData(), int(m_settings.willPayload.size()),
                           m_settings.willPayload.constData(), 1, true);
    }
}

MqttClient::~MqttClient()
{
    stop();
    if (m_mosq)
        mosquitto_destroy(m_mosq);
}

void MqttClient::start()
{
    if (!m_mosq) {
        Q_EMIT logLine(QStringLiteral("mqtt: libmosquitto could not make a client"));
        return;
    }
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void MqttClient::stop()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_waitMutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_connected = false;
}

bool MqttClient::pause(int ms)
{
    std::unique_lock lock(m_waitMutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping.load(); });
}

void MqttClient::run()
{
    int waitMs = kFirstRetryMs;
    bool first = true;
    const QByteArray host = m_settings.host.toUtf8();
    while (!m_stopping) {
        int rc = first ? mosquitto_connect_bind_async(m_mosq, host.constData(), m_settings.port,
                                                      m_settings.keepAliveSeconds, nullptr)
                       : mosquitto_reconnect_async(m_mosq);
        first = false;
        if (rc == MOSQ_ERR_SUCCESS) {
            while (!m_stopping && (rc = mosquitto_loop(m_mosq, 1000, 1)) == MOSQ_ERR_SUCCESS) {
            }
        }
        if (m_stopping)
            break;
        if (m_accepted.exchange(false))
            waitMs = kFirstRetryMs;
        const QString why = errorText(rc);
        QMetaObject::invokeMethod(
            this,
            [this, why, waitMs] {
                Q_EMIT logLine(QStringLiteral("mqtt: no connection to %1:%2 (%3); trying again "
                                              "in %4 s")
                                   .arg(m_settings.host)
                                   .arg(m_settings.port)
                                   .arg(why)
                                   .arg(waitMs / 1000));
            },
            Qt::QueuedConnection);
        if (!pause(waitMs))
            break;
        waitMs = std::min(waitMs * 2, kMaxRetryMs);
    }
    // A goodbye: the broker drops the last will; what was queued before goes
    // out first.
    if (mosquitto_disconnect(m_mosq) == MOSQ_ERR_SUCCESS) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < until &&
               mosquitto_loop(m_mosq, 100, 1) == MOSQ_ERR_SUCCESS) {
        }
    }
}

void MqttClient::subscribeAll()
{
    const std::lock_guard lock(m_filtersMutex);
    for (const auto &[filter, retained] : m_filters)
        mosquitto_subscribe_v5(m_mosq, nullptr, filter.toUtf8().constData(), 1,
                               subscribeOptions(retained),
                               nullptr);
}

void MqttClient::subscribe(const QString &filter, bool retained)
{
    {
        const std::lock_guard lock(m_filtersMutex);
        m_filters[filter] = retained;
    }
    if (m_connected && m_mosq)
        mosquitto_subscribe_v5(m_mosq, nullptr, filter.toUtf8().constData(), 1,
                               subscribeOptions(retained),
                               nullptr);
}

bool MqttClient::publish(const QString &topic, const QByteArray &payload, bool retain)
{
    if (!m_connected || !m_mosq)
        return false;
    if (int(m_unacknowledged.size()) >= kMaxUnacknowledged ||
        m_unacknowledgedBytes + payload.size() > kMaxUnacknowledgedBytes) {
        ++m_refused;
        return false;
    }
    int mid = 0;
    const int rc = mosquitto_publish_v5(m_mosq, &mid, topic.toUtf8().constData(),
                                        int(payload.size()), payload.constData(), 1, retain, nullptr);
    if (rc != MOSQ_ERR_SUCCESS)
        return false;
    m_unacknowledged[mid] = payload.size();
    m_unacknowledgedBytes += payload.size();
    return true;
}

void MqttClient::onConnect(mosquitto *, void *self, int rc, int, const mosquitto_property *)
{
    auto *client = static_cast<MqttClient *>(self);
    if (rc == 0) {
        client->m_accepted = true;
        client->subscribeAll();
    }
    const QString reason = QString::fromUtf8(mosquitto_reason_string(rc));
    QMetaObject::invokeMethod(
        client,
        [client, rc, reason] {
            if (rc != 0) {
                Q_EMIT client->logLine(QStringLiteral("mqtt: the broker refused the connection: %1")
                                           .arg(reason));
                return;
            }
            // A new session: what was unacknowledged before is the library's
            // to send again or drop.
            client->m_unacknowledged.clear();
            client->m_unacknowledgedBytes = 0;
            client->m_connected = true;
            Q_EMIT client->logLine(QStringLiteral("mqtt: connected to %1:%2")
                                       .arg(client->m_settings.host)
                                       .arg(client->m_settings.port));
            Q_EMIT client->connectedChanged(true);
        },
        Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto *, void *self, int, const mosquitto_property *)
{
    auto *client = static_cast<MqttClient *>(self);
    QMetaObject::invokeMethod(
        client,
        [client] {
            if (!client->m_connected)
                return;
            client->m_connected = false;
            Q_EMIT client->connectedChanged(false);
        },
        Qt::QueuedConnection);
}

void MqttClient::onPublish(mosquitto *, void *self, int mid, int, const mosquitto_property *)
{
    auto *client = static_cast<MqttClient *>(self);
    QMetaObject::invokeMethod(
        client,
        [client, mid] {
            const auto it = client->m_unacknowledged.find(mid);
            if (it == client->m_unacknowledged.end())
                return;
            client->m_unacknowledgedBytes -= it->second;
            client->m_unacknowledged.erase(it);
        },
        Qt::QueuedConnection);
}

void MqttClient::onMessage(mosquitto *, void *self, const mosquitto_message *message,
                           const mosquitto_property *)
{
    auto *client = static_cast<MqttClient *>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    QMetaObject::invokeMethod(
        client, [client, topic, payload, retained] {
            Q_EMIT client->messageReceived(topic, payload, retained);
        },
        Qt::QueuedConnection);
}
