#pragma once
// The MQTT face of the service for one sign: its own broker connection
// (MqttClient, with the sign's "offline" as last will), the sign's topics
// under PREFIX/SIGN/ and its groups' under PREFIX/group/G/, and Home
// Assistant discovery. Commands become requests to the service's API (the
// same routes, checks and card queue as HTTP), one at a time per sign, at
// most kMaxWaiting waiting; each is answered on PREFIX/SIGN/result with the
// command's id. The retained state (play list, card, brightness, power,
// link, last result) and preview are published again whenever they change.
// Owned by the serve verb, one per sign; knows the service only through the
// request function it is given.

#include "service/mqtt/MqttClient.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

struct MqttFaceConfig {
    QString prefix = QStringLiteral("brivane");
    QString nodeId; // the service's id (--mqtt-id)
    QString sign;   // the sign's name: its topics' level
    QString port;   // its port name (a converter at tcp:// is its via_device)
    QStringList groups;
};

class MqttFace final : public QObject {
    Q_OBJECT
public:
    // A request to the service's API and its answer.
    struct Answer {
        int status = 0;
        QByteArray body;
    };
    using Done = std::function<void(const Answer &)>;
    // method, path (with ?query), body; done is called exactly once, on
    // this thread.
    using Call = std::function<void(const QByteArray &, const QString &, const QByteArray &, Done)>;

    static constexpr int kMaxWaiting = 64;
    // As an HTTP request body.
    static constexpr qint64 kMaxPayloadBytes = qint64(64) << 10;
    static constexpr int kJobPollMs = 500;
    static constexpr int kCardRefreshMs = 5 * 60 * 1000;
    static constexpr int kPreviewScale = 4;
    // The state is published at most this often (the latest wins).
    static constexpr int kStateDelayMs = 200;

    MqttFace(MqttFaceConfig config, MqttSettings broker, Call call,
             std::function<void(const QString &)> log, QObject *parent = nullptr);
    ~MqttFace() override;

    // The sign's level in topics: its name, with the characters topics
    // cannot carry ('+', '#', '/', a leading '$') replaced by '_'.
    static QString topicLevel(const QString &name);
    // Whether a sign of this name can have topics ("group" is the groups').
    static bool usableName(const QString &name);
    // "mqtt://HOST[:PORT]" or "mqtts://HOST[:PORT]" into settings; false
    // with *error otherwise.
    static bool parseUrl(const QString &url, MqttSettings *settings, QString *error);

    void start();
    // "offline", a goodbye, and the connection closed.
    void stop();
    // Instead of start(): connects, removes the sign's discovery configs and
    // its retained topics (empty retained messages), then emits forgotten().
    void forget();

    QString base() const { return m_base; }
    MqttClient &client() { return m_client; }

Q_SIGNALS:
    void forgotten();

private:
    struct Command {
        QString name;   // "notify", "brightness/set", ...
        QJsonValue id;  // copied from the payload
        QByteArray method;
        QString path;
        QByteArray body;
        std::optional<Answer> refused; // refused before the API
        bool touchesCard = false;
        bool changesList = false;
    };

    void connected(bool up);
    void message(const QString &topic, const QByteArray &payload, bool retained);
    // The command a payload on topic suffix asks for.
    Command parse(const QString &suffix, const QByteArray &payload) const;
    void runNext();
    void waitForJob(const Command &command, int job);
    void finish(const Command &command, const Answer &answer);
    void publishResult(const Command &command, const Answer &answer);
    // Reads the list (and the card when card is true) from the service,
    // then publishes state, preview and discovery where they changed.
    void refresh(bool card);
    // Publishes the state soon (or at once) when it changed.
    void publishState(bool now = false);
    void publishPreview();
    void publishDiscovery(bool force);
    bool publish(const QString &topic, const QByteArray &payload, bool retain);
    QStringList discoveryTopics() const;

    MqttFaceConfig m_config;
    QString m_base;
    MqttClient m_client;
    Call m_call;
    std::function<void(const QString &)> m_log;
    std::deque<Command> m_waiting;
    bool m_running = false;
    bool m_forgetting = false;
    QTimer m_cardRefresh;
    QTimer m_forgetWait;
    QTimer m_stateDelay;

    // What the state says.
    QJsonObject m_list;
    QJsonObject m_card;
    QString m_link = QStringLiteral("unknown");
    QString m_linkError;
    QJsonValue m_brightness;
    QJsonValue m_power;
    QJsonObject m_lastResult;
    QJsonObject m_schedule;
    QByteArray m_statePublished;
    QByteArray m_previewPublished;
    QByteArray m_discoveryPublished; // the device part, to publish again on change
    bool m_previewKnown = false;
};
