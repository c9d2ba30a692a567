#pragma once
// The MQTT face's requests into a SignService: the same routes and checks
// as HTTP, for one sign of the service.

#include "service/mqtt/MqttFace.h"

class SignService;

namespace MqttService {
MqttFace::Call callInto(SignService &service, const QString &sign);
}
