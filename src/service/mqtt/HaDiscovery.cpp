#include "service/mqtt/HaDiscovery.h"

#include "base/Version.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>

namespace HaDiscovery {

QString safeId(const QString &text)
{
    QString id;
    bool changed = false;
    for (const QChar c : text) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
        id += plain ? c : u'_';
        changed = changed || !plain;
    }
    if (changed || id.isEmpty())
        id += QLatin1Char('_') + QString::fromLatin1(
                         QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1)
                             .toHex()
                             .left(8));
    return id;
}

std::vector<Config> configs(const Sign &sign)
{
    const QString node = safeId(sign.nodeId);
    const QString object = safeId(sign.name);
    const QString unique = QStringLiteral("brivane_%1_%2").arg(node, object);

    QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{unique}},
        {QStringLiteral("name"), sign.name},
        {QStringLiteral("manufacturer"), QStringLiteral("Brivane")},
        {QStringLiteral("model"),
         sign.model.isEmpty() ? QCoreApplication::translate("HaDiscovery", "LED 显示屏控制卡") : sign.model},
    };
    if (!sign.firmware.isEmpty())
        device[u"sw_version"] = sign.firmware;
    if (sign.port.startsWith(u"tcp://", Qt::CaseInsensitive))
        device[u"via_device"] =
            QStringLiteral("brivane_%1_converter_%2").arg(node, safeId(sign.port.mid(6)));

    const QString state = sign.base + QStringLiteral("/state");
    auto topic = [&](const char *level) { return QString(sign.base + u'/' + QLatin1String(level)); };
    auto entity = [&](const char *key, const QString &name) {
        return QJsonObject{
            {QStringLiteral("name"), name},
            {QStringLiteral("unique_id"), QString(unique + u'_' + QLatin1String(key))},
            {QStringLiteral("object_id"), QString(unique + u'_' + QLatin1String(key))},
            {QStringLiteral("device"), device},
            {QStringLiteral("availability_topic"), topic("status")},
            {QStringLiteral("payload_available"), QStringLiteral("online")},
            {QStringLiteral("payload_not_available"), QStringLiteral("offline")},
            {QStringLiteral("origin"),
             QJsonObject{{QStringLiteral("name"), QStringLiteral("Brivane")},
                         {QStringLiteral("sw_version"), QLatin1String(kBrivaneVersion)}}},
        };
    };
    std::vector<Config> out;
    auto add = [&](const char *component, const char *key, QJsonObject payload) {
        out.push_back({QStringLiteral("%1/%2/%3/%4_%5/config")
                           .arg(QLatin1String(kPrefix), QLatin1String(component), node, object,
                                QLatin1String(key)),
                       std::move(payload)});
    };

    QJsonObject notify = entity("message", QCoreApplication::translate("HaDiscovery", "消息"));
    notify[u"command_topic"] = topic("notify");
    add("notify", "message", notify);

    QJsonObject text = entity("text", QCoreApplication::translate("HaDiscovery", "第一个节目"));
    text[u"command_topic"] = topic("program/1/set");
    text[u"command_template"] = QStringLiteral("{\"content\": {{ value | tojson }}}");
    text[u"state_topic"] = state;
    text[u"value_template"] = QStringLiteral(
        "{{ value_json.programs[0].content if value_json.programs | count > 0 else '' }}");
    text[u"max"] = 255; // Home Assistant's largest; the sign takes 256
    add("text", "text", text);

    QJsonObject brightness = entity("brightness", QCoreApplication::translate("HaDiscovery", "亮度"));
    brightness[u"command_topic"] = topic("brightness/set");
    brightness[u"state_topic"] = state;
    brightness[u"value_template"] = QStringLiteral("{{ value_json.brightness }}");
    brightness[u"min"] = 0;
    brightness[u"max"] = 15;
    brightness[u"step"] = 1;
    brightness[u"mode"] = QStringLiteral("slider");
    add("number", "brightness", brightness);

    QJsonObject power = entity("power", QCoreApplication::translate("HaDiscovery", "电源"));
    power[u"command_topic"] = topic("power/set");
    power[u"state_topic"] = state;
    power[u"value_template"] = QStringLiteral("{{ value_json.power }}");
    power[u"payload_on"] = QStringLiteral("ON");
    power[u"payload_off"] = QStringLiteral("OFF");
    add("switch", "power", power);

    const struct {
        const char *key;
        const char *topic;
        QString name;
    } buttons[] = {{"send", "send", QCoreApplication::translate("HaDiscovery", "发送节目")},
                   {"clock", "clock/set", QCoreApplication::translate("HaDiscovery", "校准时钟")},
                   {"clear", "clear", QCoreApplication::translate("HaDiscovery", "清屏")}};
    for (const auto &b : buttons) {
        QJsonObject button = entity(b.key, b.name);
        button[u"command_topic"] = topic(b.topic);
        button[u"payload_press"] = QStringLiteral("PRESS");
        add("button", b.key, button);
    }

    QJsonObject link = entity("link", QCoreApplication::translate("HaDiscovery", "连接"));
    link[u"state_topic"] = state;
    link[u"value_template"] = QStringLiteral("{{ value_json.link }}");
    link[u"entity_category"] = QStringLiteral("diagnostic");
    add("sensor", "link", link);

    QJsonObject last = entity("last_result", QCoreApplication::translate("HaDiscovery", "上次结果"));
    last[u"state_topic"] = state;
    last[u"value_template"] = QStringLiteral("{{ value_json.lastResult.text }}");
    last[u"entity_category"] = QStringLiteral("diagnostic");
    add("sensor", "last_result", last);

    QJsonObject preview = entity("preview", QCoreApplication::translate("HaDiscovery", "预览"));
    preview[u"image_topic"] = topic("preview");
    preview[u"content_type"] = QStringLiteral("image/png");
    add("image", "preview", preview);
    return out;
}

} // namespace HaDiscovery
