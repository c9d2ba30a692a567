#pragma once
// A mosquitto broker of the test's own on a free loopback port, with a
// config the test writes (anonymous, a password file, or TLS with a CA made
// at run time by openssl), and an observer client that records every
// message it sees and waits for conditions on the event loop.

#include "service/mqtt/MqttClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <pwd.h>
#include <unistd.h>
#include <vector>

// Runs the event loop until done() holds or ms have passed; done()'s value.
inline bool waitUntil(const std::function<bool()> &done, int ms = 60000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

inline bool runTool(const QString &program, const QStringList &args, QString *error = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    if (!ok && error)
        *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll());
    return ok;
}

class MqttBroker {
public:
    enum class Kind { Anonymous, Password, Tls };
    static inline const QString kUser = QStringLiteral("site1");
    static inline const QByteArray kPassword = "s3cret-Pass";

    static QString program()
    {
        return QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                              {QStringLiteral("/usr/sbin"),
                                               QStringLiteral("/usr/local/sbin"),
                                               QStringLiteral("/usr/bin")});
    }

    ~MqttBroker() { stop(); }

    // Writes the config (and the password file or certificates) and starts
    // the broker; waits until it takes connections.
    bool start(Kind kind, QString *error)
    {
        if (!m_dir.isValid()) {
            *error = QStringLiteral("no temporary folder");
            return false;
        }
        m_kind = kind;
        QTcpServer probe; // a free port, given back at once
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        QString config = QStringLiteral("listener %1 127.0.0.1\npersistence false\n"
                                        "log_dest stderr\nlog_type error\nlog_type warning\n")
                             .arg(m_port);
        if (const passwd *me = getpwuid(getuid()))
            config += QStringLiteral("user %1\n").arg(QString::fromLocal8Bit(me->pw_name));
        if (kind == Kind::Password) {
            const QString file = m_dir.filePath(QStringLiteral("passwords"));
            if (!runTool(QStringLiteral("mosquitto_passwd"),
                         {QStringLiteral("-b"), QStringLiteral("-c"), file, kUser,
                          QString::fromLatin1(kPassword)},
                         error))
                return false;
            config += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(file);
        } else {
            config += QStringLiteral("allow_anonymous true\n");
        }
        if (kind == Kind::Tls) {
            if (!makeCertificates(error))
                return false;
            config += QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3\n")
                          .arg(caFile(), m_dir.filePath(QStringLiteral("server.crt")),
                               m_dir.filePath(QStringLiteral("server.key")));
        }
        QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0) {
            *error = QStringLiteral("cannot write the broker's config");
            return false;
        }
        file.close();
        return launch(error);
    }

    // Starts the broker again on the same port and config.
    bool launch(QString *error)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program(), {QStringLiteral("-c"),
                                    m_dir.filePath(QStringLiteral("mosquitto.conf"))});
        if (!m_process.waitForStarted(30000)) {
            *error = QStringLiteral("mosquitto did not start: ") + m_process.errorString();
            return false;
        }
        const bool up = waitUntil(
            [&] {
                if (m_process.state() != QProcess::Running)
                    return true;
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                return socket.waitForConnected(500);
            },
            60000);
        if (!up || m_process.state() != QProcess::Running) {
            *error = QStringLiteral("mosquitto is not listening: ") +
                     QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        return true;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(30000)) {
            m_process.kill();
            m_process.waitForFinished(30000);
        }
    }

    quint16 port() const { return m_port; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }
    QString url() const
    {
        return QStringLiteral("%1://%2:%3")
            .arg(m_kind == Kind::Tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"),
                 m_kind == Kind::Tls ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1"))
            .arg(m_port);
    }
    MqttSettings settings(const QString &clientId) const
    {
        MqttSettings s;
        s.host = m_kind == Kind::Tls ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1");
        s.port = m_port;
        s.tls = m_kind == Kind::Tls;
        s.caFile = s.tls ? caFile() : QString();
        if (m_kind == Kind::Password) {
            s.user = kUser;
            s.password = kPassword;
        }
        s.clientId = clientId;
        return s;
    }

private:
    bool makeCertificates(QString *error)
    {
        const QString openssl = QStringLiteral("openssl");
        auto path = [&](const char *name) { return m_dir.filePath(QLatin1String(name)); };
        QFile ext(path("server.ext"));
        if (!ext.open(QIODevice::WriteOnly) ||
            ext.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n") < 0)
            return false;
        ext.close();
        return runTool(openssl,
                       {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                        QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                        QStringLiteral("/CN=Brivane test CA"), QStringLiteral("-keyout"),
                        path("ca.key"), QStringLiteral("-out"), path("ca.crt")},
                       error) &&
               runTool(openssl,
                       {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                        QStringLiteral("-nodes"), QStringLiteral("-subj"),
                        QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"),
                        path("server.key"), QStringLiteral("-out"), path("server.csr")},
                       error) &&
               runTool(openssl,
                       {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        path("server.csr"), QStringLiteral("-CA"), path("ca.crt"),
                        QStringLiteral("-CAkey"), path("ca.key"), QStringLiteral("-CAcreateserial"),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                        path("server.ext"), QStringLiteral("-out"), path("server.crt")},
                       error);
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    Kind m_kind = Kind::Anonymous;
    quint16 m_port = 0;
};

// An observer on the broker: subscribes to everything (retained included)
// and keeps the last message of each topic and every message in order.
class MqttObserver {
public:
    struct Message {
        QString topic;
        QByteArray payload;
        bool retained = false;
    };

    explicit MqttObserver(const MqttSettings &settings) : client(settings)
    {
        QObject::connect(&client, &MqttClient::messageReceived,
                         [this](const QString &topic, const QByteArray &payload, bool retained) {
                             messages.push_back({topic, payload, retained});
                         });
    }
    bool connect(const QString &filter = QStringLiteral("#"))
    {
        client.subscribe(filter, true);
        client.start();
        return waitUntil([&] { return client.isConnected(); });
    }
    // The last payload seen on topic (empty when none).
    QByteArray last(const QString &topic) const
    {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it)
            if (it->topic == topic)
                return it->payload;
        return {};
    }
    bool seen(const QString &topic) const
    {
        for (const Message &m : messages)
            if (m.topic == topic)
                return true;
        return false;
    }
    // Waits for a message on topic, after the first `from` messages, that
    // matches.
    bool waitFor(const QString &topic, const std::function<bool(const QByteArray &)> &matches,
                 size_t from = 0, int ms = 60000)
    {
        return waitUntil(
            [&] {
                for (size_t i = from; i < messages.size(); ++i)
                    if (messages[i].topic == topic && matches(messages[i].payload))
                        return true;
                return false;
            },
            ms);
    }
    bool publish(const QString &topic, const QByteArray &payload, bool retain = false)
    {
        return client.publish(topic, payload, retain);
    }

    MqttClient client;
    std::vector<Message> messages;
};
