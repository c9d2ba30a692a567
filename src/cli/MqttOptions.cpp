#include "cli/MqttOptions.h"

#include "base/Language.h"

#ifdef BRIVANE_MQTT

#include "service/mqtt/HaDiscovery.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

void addMqttOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("mqtt"),
         trEn("Cli", "Also serve the signs on this MQTT broker: mqtt://HOST[:PORT] or "
                        "mqtts://HOST[:PORT] (TLS)."),
         QStringLiteral("URL")},
        {QStringLiteral("mqtt-ca"),
         trEn("Cli", "CA certificates (PEM) the mqtts:// broker's certificate must chain to "
                        "(default: the system's)."),
         QStringLiteral("FILE")},
        {QStringLiteral("mqtt-user"), trEn("Cli", "User name on the broker."),
         QStringLiteral("NAME")},
        {QStringLiteral("mqtt-password-file"),
         trEn("Cli", "Read the broker password from this file (default: "
                        "BRIVANE_MQTT_PASSWORD)."),
         QStringLiteral("FILE")},
        {QStringLiteral("mqtt-prefix"),
         trEn("Cli", "First level of the signs' topics (default brivane)."),
         QStringLiteral("PREFIX")},
        {QStringLiteral("mqtt-id"),
         trEn("Cli", "This service's id on the broker and in Home Assistant (default: the "
                        "host name)."),
         QStringLiteral("ID")},
        {QStringLiteral("mqtt-forget"),
         trEn("Cli", "serve: remove the signs' Home Assistant devices and retained topics "
                        "from the broker, then exit.")},
    });
}

bool mqttWanted(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("mqtt"));
}

QString readMqttOptions(const QCommandLineParser &parser, MqttOptions *options)
{
    QString error;
    if (!MqttFace::parseUrl(parser.value(QStringLiteral("mqtt")), &options->broker, &error))
        return trEn("Cli", "invalid --mqtt '%1': %2")
            .arg(parser.value(QStringLiteral("mqtt")), error);
    if (parser.isSet(QStringLiteral("mqtt-ca"))) {
        options->broker.caFile = parser.value(QStringLiteral("mqtt-ca"));
        if (!options->broker.tls)
            return trEn("Cli", "--mqtt-ca needs an mqtts:// broker");
        if (!QFileInfo(options->broker.caFile).isReadable())
            return trEn("Cli", "cannot read the CA file %1").arg(options->broker.caFile);
    }
    options->broker.user = parser.value(QStringLiteral("mqtt-user"));
    if (parser.isSet(QStringLiteral("mqtt-password-file"))) {
        QFile file(parser.value(QStringLiteral("mqtt-password-file")));
        if (!file.open(QIODevice::ReadOnly))
            return trEn("Cli", "cannot read the password file %1: %2")
                .arg(file.fileName(), file.errorString());
        options->broker.password = file.readLine(4096).trimmed();
    } else {
        options->broker.password = qgetenv("BRIVANE_MQTT_PASSWORD");
    }
    if (!options->broker.password.isEmpty() && options->broker.user.isEmpty())
        return trEn("Cli", "a broker password needs --mqtt-user");
    options->prefix = parser.isSet(QStringLiteral("mqtt-prefix"))
                          ? parser.value(QStringLiteral("mqtt-prefix"))
                          : QStringLiteral("brivane");
    if (options->prefix.isEmpty() || options->prefix.contains(u'+') ||
        options->prefix.contains(u'#') || options->prefix.startsWith(u'$') ||
        options->prefix.startsWith(u'/') || options->prefix.endsWith(u'/'))
        return trEn("Cli", "invalid --mqtt-prefix '%1': topic levels without + # or a leading $")
            .arg(options->prefix);
    options->id = parser.isSet(QStringLiteral("mqtt-id")) ? parser.value(QStringLiteral("mqtt-id"))
                                                          : QSysInfo::machineHostName();
    if (options->id.trimmed().isEmpty())
        options->id = QStringLiteral("brivane");
    return {};
}

QString mqttClientId(const MqttOptions &options, const QString &sign)
{
    return QStringLiteral("brivane_%1_%2")
        .arg(HaDiscovery::safeId(options.id), HaDiscovery::safeId(sign));
}

#endif
