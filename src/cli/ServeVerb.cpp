// serve: the HTTP service and web page (SignService) on this project and
// card, and its MQTT face when a broker is named, until SIGINT or SIGTERM.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "cli/Console.h"
#include "cli/MqttOptions.h"
#include "service/mqtt/ServiceCall.h"
#include "cli/MultiSign.h"
#include "link/SignList.h"
#include "service/SignService.h"
#include "service/StopSignals.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

// ADDR:PORT, [IPv6]:PORT or localhost:PORT; false when it is none of them.
bool parseListen(const QString &listen, QHostAddress *address, int *port)
{
    const qsizetype colon = listen.lastIndexOf(QLatin1Char(':'));
    QString host = colon > 0 ? listen.left(colon) : QString();
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    if (host == u"localhost")
        host = QStringLiteral("127.0.0.1");
    bool portOk = false;
    *port = colon > 0 ? listen.mid(colon + 1).toInt(&portOk) : -1;
    *address = QHostAddress(host);
    return !address->isNull() && portOk && *port >= 0 && *port <= 65535;
}


} // namespace

int CliApp::verbServe(const QStringList &args)
{
    ServiceConfig config;
    // --tls CERT KEY: the key is the one argument serve takes.
    if (isSet(QStringLiteral("tls")) != (args.size() == 1))
        return usageError(isSet(QStringLiteral("tls"))
                              ? trEn("Cli", "--tls needs two files: --tls CERT KEY")
                              : trEn("Cli", "serve: too many arguments"),
                          QStringLiteral("serve"));
    if (isSet(QStringLiteral("tls"))) {
        config.tlsCertificate = option(QStringLiteral("tls"));
        config.tlsKey = args.value(0);
    }
    for (const QString &host : options(QStringLiteral("allow-host"))) {
        if (host.trimmed().isEmpty() || host.contains(u':') || host.contains(u'/'))
            return usageError(trEn("Cli", "invalid --allow-host '%1': a host name such as "
                                             "sign.local")
                                  .arg(host),
                              QStringLiteral("serve"));
        config.allowedHosts << host.trimmed().toLower();
    }
    const QString onError = isSet(QStringLiteral("on-error")) ? option(QStringLiteral("on-error"))
                                                              : QStringLiteral("skip");
    if (onError == u"skip")
        config.onError = ServiceConfig::OnError::Skip;
    else if (onError == u"stop")
        config.onError = ServiceConfig::OnError::Stop;
    else if (onError == u"retry")
        config.onError = ServiceConfig::OnError::Retry;
    else
        return usageError(
            trEn("Cli", "invalid --on-error '%1': retry, skip or stop (nobody answers "
                           "questions of the service)")
                .arg(onError),
            QStringLiteral("serve"));
    if (isSet(QStringLiteral("retries"))) {
        bool ok = false;
        config.retries = option(QStringLiteral("retries")).toInt(&ok);
        if (!ok || config.retries < 0 || config.retries > 100)
            return usageError(trEn("Cli", "invalid --retries '%1': 0..100")
                                  .arg(option(QStringLiteral("retries"))),
                              QStringLiteral("serve"));
    }

    const QString listen = isSet(QStringLiteral("listen")) ? option(QStringLiteral("listen"))
                                                           : QStringLiteral("127.0.0.1:8080");
    QHostAddress address;
    int listenPort = -1;
    const bool listening = listen != u"none";
#ifdef BRIVANE_MQTT
    const bool mqtt = mqttWanted(*m_parser);
    MqttOptions mqttOptions;
    if (mqtt) {
        if (const QString problem = readMqttOptions(*m_parser, &mqttOptions); !problem.isEmpty())
            return usageError(problem, QStringLiteral("serve"));
    } else if (isSet(QStringLiteral("mqtt-forget"))) {
        return usageError(trEn("Cli", "--mqtt-forget needs --mqtt URL"), QStringLiteral("serve"));
    }
#else
    const bool mqtt = false;
#endif
    if (!listening && !mqtt)
        return usageError(trEn("Cli", "--listen none leaves nothing to serve without --mqtt"),
                          QStringLiteral("serve"));
    if (listening && !parseListen(listen, &address, &listenPort))
        return usageError(
            trEn("Cli", "invalid --listen '%1': expected ADDR:PORT such as 127.0.0.1:8080")
                .arg(listen),
            QStringLiteral("serve"));
    config.token = isSet(QStringLiteral("token")) ? option(QStringLiteral("token")).toUtf8()
                                                  : qgetenv("BRIVANE_TOKEN");
    if (listening && !address.isLoopback() && config.token.isEmpty())
        return usageError(trEn("Cli", "listening on %1 needs --token TOKEN (or BRIVANE_TOKEN): "
                                         "only loopback is served without one")
                              .arg(address.toString()),
                          QStringLiteral("serve"));

    // One port (or the search) is one sign named "sign"; signs of the sign
    // list (--sign, --all-signs, several --port) keep their names and groups.
    std::vector<SignTarget> targets;
    int port = 0;
    if (cardTargets(targets, port) != ExitOk)
        return ExitUsage;
    SignList list;
    const bool listRead = list.load();
    const SignList::Sign *listed =
        targets.size() == 1 && listRead ? list.find(targets.front().name) : nullptr;
    if (port >= 0 && !listed) {
        config.port = port;
    } else {
        for (const SignTarget &target : targets) {
            const SignList::Sign *sign = listRead ? list.find(target.name) : nullptr;
            config.signs.append({target.name,
                                 target.number > 0 ? QString::number(target.number) : target.port,
                                 sign ? sign->groups : QStringList()});
        }
    }
    config.projectPath = QFileInfo(projectPath()).absoluteFilePath();
    if (!QFileInfo(config.projectPath).isFile())
        return fail(ExitUsage, trEn("Cli", "no project file %1 (create one with 'brivane-cli "
                                              "new')")
                                   .arg(config.projectPath));
    if (isSet(QStringLiteral("schedule"))) {
        config.schedulePath = QFileInfo(option(QStringLiteral("schedule"))).absoluteFilePath();
        // A schedule with problems is reported and waited for (the file is
        // watched); one that is not there at all is a typing error.
        if (!QFileInfo(config.schedulePath).isFile())
            return fail(
                ExitUsage,
                trEn("Cli", "no schedule file %1").arg(option(QStringLiteral("schedule"))));
    }
    config.log = [this](const QString &line) { m_console.err(line + QLatin1Char('\n')); };

    SignService service(config);
#ifdef BRIVANE_MQTT
    // One face (and broker connection, with its own last will) per sign.
    std::vector<std::unique_ptr<MqttFace>> faces;
    if (mqtt) {
        for (const QString &name : service.signNames()) {
            if (!MqttFace::usableName(name))
                return fail(ExitUsage, trEn("Cli", "the sign name '%1' cannot have MQTT topics "
                                                      "('group' is the groups' level)")
                                           .arg(name));
            MqttFaceConfig face;
            face.prefix = mqttOptions.prefix;
            face.nodeId = mqttOptions.id;
            face.sign = name;
            for (const QJsonValue group : service.signStatus(name).value(u"groups").toArray())
                face.groups << group.toString();
            // Its port as given (tcp://HOST:PORT names a converter).
            for (const SignTarget &target : targets)
                if (target.name == name || (name == u"sign" && targets.size() == 1))
                    face.port = target.port;
            MqttSettings broker = mqttOptions.broker;
            broker.clientId = mqttClientId(mqttOptions, name);
            faces.push_back(std::make_unique<MqttFace>(
                face, broker, MqttService::callInto(service, name), config.log));
        }
    }
    if (isSet(QStringLiteral("mqtt-forget"))) {
        int left = int(faces.size());
        for (const auto &face : faces) {
            QObject::connect(face.get(), &MqttFace::forgotten, [&left] {
                if (--left == 0)
                    QCoreApplication::quit();
            });
            face->forget();
        }
        QTimer::singleShot(60'000, [] { QCoreApplication::exit(1); });
        const int code = QCoreApplication::exec();
        if (code != 0 || left > 0)
            return fail(ExitUsage, trEn("Cli", "could not reach the broker %1:%2 to remove "
                                                  "the signs")
                                       .arg(mqttOptions.broker.host)
                                       .arg(mqttOptions.broker.port));
        m_console.err(trEn("Cli", "Removed the signs' Home Assistant devices and retained "
                                     "topics from %1:%2.\n")
                          .arg(mqttOptions.broker.host)
                          .arg(mqttOptions.broker.port));
        return ExitOk;
    }
#endif
    if (listening) {
        QString error;
        const quint16 bound = service.start(address, quint16(listenPort), &error);
        if (bound == 0)
            return fail(ExitUsage, trEn("Cli", "cannot listen on %1: %2").arg(listen, error));
        const QString shown = address.protocol() == QAbstractSocket::IPv6Protocol
                                  ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                                  : address.toString();
        m_console.err(trEn("Cli", "Serving %1 on %2://%3:%4/ (Ctrl-C stops)\n")
                          .arg(config.projectPath,
                               config.tlsCertificate.isEmpty() ? QStringLiteral("http")
                                                               : QStringLiteral("https"),
                               shown)
                          .arg(bound));
    } else {
        service.startSchedule();
        m_console.err(trEn("Cli", "Serving %1 on MQTT only (Ctrl-C stops)\n")
                          .arg(config.projectPath));
    }
#ifdef BRIVANE_MQTT
    for (const auto &face : faces) {
        face->start();
        m_console.err(trEn("Cli", "MQTT: %1/ on %2:%3\n")
                          .arg(face->base(), mqttOptions.broker.host)
                          .arg(mqttOptions.broker.port));
    }
#endif
    const StopSignals signals([&](int) {
        m_console.err(trEn("Cli", "Stopping...\n"));
#ifdef BRIVANE_MQTT
        for (const auto &face : faces)
            face->stop();
#endif
        service.stop();
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    m_console.err(trEn("Cli", "Stopped.\n"));
    return ExitOk;
}
