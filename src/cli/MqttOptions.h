#pragma once
// The command line's MQTT options (serve, signs remove): the broker's URL,
// CA file, user and password (from BRIVANE_MQTT_PASSWORD or a file, never
// the command line itself), topic prefix and the service's id. Only in
// builds with the MQTT face (BRIVANE_MQTT).

#ifdef BRIVANE_MQTT

#include "service/mqtt/MqttFace.h"

#include <QCommandLineParser>

struct MqttOptions {
    MqttSettings broker;
    QString prefix;
    QString id;
};

void addMqttOptions(QCommandLineParser &parser);
// Whether --mqtt was given.
bool mqttWanted(const QCommandLineParser &parser);
// Reads the options; empty, or what is wrong with them.
QString readMqttOptions(const QCommandLineParser &parser, MqttOptions *options);
// The client id of a sign's connection: one per service and sign.
QString mqttClientId(const MqttOptions &options, const QString &sign);

#endif
