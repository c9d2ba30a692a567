#pragma once
// Home Assistant's MQTT discovery for one sign: one device (the sign, via
// its network converter when it is reached over TCP) and its entities, each
// a retained config document on homeassistant/<component>/<node>/<object>/config
// pointing at the sign's topics. A pure function of the sign's names and
// card; the MQTT face publishes (and removes) what it returns.

#include <QJsonObject>
#include <QString>
#include <vector>

namespace HaDiscovery {

inline constexpr char kPrefix[] = "homeassistant";
// Home Assistant says "online" here when it starts: configs are published again.
inline constexpr char kStatusTopic[] = "homeassistant/status";

struct Sign {
    QString base;   // the sign's topics: PREFIX/SIGN
    QString nodeId; // the service's id (--mqtt-id)
    QString name;   // the sign's name as the user gave it
    QString port;   // its port name; tcp://HOST:PORT names a converter
    QString model;  // the card's, when one answered
    QString firmware;
};

struct Config {
    QString topic;
    QJsonObject payload;
};

// Letters, digits, '_' and '-' only, as Home Assistant's ids take them; a
// name with other characters keeps its readable part and gets a short hash,
// so two names never meet.
QString safeId(const QString &text);

std::vector<Config> configs(const Sign &sign);

} // namespace HaDiscovery
