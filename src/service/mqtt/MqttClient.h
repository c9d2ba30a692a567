#pragma once
// One connection to an MQTT broker (MQTT 5, libmosquitto): QoS 1 publishes
// (retained or not), subscriptions renewed at every connect, a last will,
// user name and password, TLS with a CA file. libmosquitto runs on a thread
// of this class's own (name look-up, connect and TLS handshake block there,
// never the event loop); its callbacks are posted to the thread that owns the
// client, so everything it signals arrives on the event loop. A lost or
// refused connection is tried again after 1 s, 2 s, 4 s ... at most 60 s; the
// wait starts again at 1 s after a connection the broker accepted. Publishes
// not yet acknowledged are bounded (count and bytes); beyond that, and while
// not connected, publish() refuses. Owned by the MQTT face of one sign.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

struct mosquitto;
struct mosquitto_message;
typedef struct mqtt5__property mosquitto_property;

struct MqttSettings {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile; // with tls: the CA certificates the broker's must chain to
    QString user;   // empty: no user name
    QByteArray password;
    QString clientId;
    int keepAliveSeconds = 30;
    // The last will: published by the broker when the connection drops
    // without a goodbye (retained, QoS 1). Empty topic: none.
    QString willTopic;
    QByteArray willPayload;
};

class MqttClient final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxUnacknowledged = 10'000;
    static constexpr qint64 kMaxUnacknowledgedBytes = qint64(16) << 20;
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kMaxRetryMs = 60'000;

    explicit MqttClient(MqttSettings settings, QObject *parent = nullptr);
    ~MqttClient() override;

    // Starts connecting (and reconnecting) on the client's thread.
    void start();
    // Sends what is queued, says goodbye (no last will then) and ends the
    // thread; waits at most a few seconds for the queue to go out.
    void stop();

    bool isConnected() const { return m_connected; }
    // QoS 1. False, and nothing sent, while not connected or when the
    // unacknowledged publishes are at their bound.
    bool publish(const QString &topic, const QByteArray &payload, bool retain);
    // A subscription (QoS 1) made now when connected and again at every
    // connect. retained: whether the broker sends the retained messages it
    // holds for the filter; without, none is sent and a message published
    // as retained arrives marked so (command topics ignore them).
    void subscribe(const QString &filter, bool retained);
    int unacknowledged() const { return int(m_unacknowledged.size()); }
    // Publishes refused because of the bound since the start.
    int refused() const { return m_refused; }

Q_SIGNALS:
    void connectedChanged(bool connected);
    void messageReceived(const QString &topic, const QByteArray &payload, bool retained);
    // A line for the service's log (connection lost, refused, retry wait).
    void logLine(const QString &line);

private:
    void run();
    // Waits ms or until stop() asks; false when stopping.
    bool pause(int ms);
    void subscribeAll();
    static void onConnect(mosquitto *, void *self, int rc, int flags, const mosquitto_property *);
    static void onDisconnect(mosquitto *, void *self, int rc, const mosquitto_property *);
    static void onPublish(mosquitto *, void *self, int mid, int rc, const mosquitto_property *);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message,
                          const mosquitto_property *);

    MqttSettings m_settings;
    mosquitto *m_mosq = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_accepted{false}; // the broker accepted since the last wait
    std::mutex m_waitMutex;
    std::condition_variable m_wake;

    // Event loop side.
    bool m_connected = false;
    std::map<int, qint64> m_unacknowledged; // message id -> payload bytes
    qint64 m_unacknowledgedBytes = 0;
    int m_refused = 0;
    // Filters and whether retained messages are wanted; read by the
    // client's thread at connect.
    std::mutex m_filtersMutex;
    std::map<QString, bool> m_filters;
};
