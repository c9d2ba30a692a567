#pragma once
// Helpers the sign service's request handlers share: JSON replies, error
// replies, reading a JSON object body and a 1-based program number.

#include "service/SignService.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace ServiceSupport {

inline SignService::Reply json(int status, const QJsonObject &object)
{
    return {status, QJsonDocument(object).toJson(QJsonDocument::Compact), "application/json"};
}

inline SignService::Reply error(int status, const QString &message)
{
    return json(status, QJsonObject{{QStringLiteral("error"), message}});
}

// The body as a JSON object; an error reply (400) when it is not one.
std::optional<SignService::Reply> readObject(const QByteArray &body, QJsonObject *object);

// A decimal number of at most 9 digits; -1 otherwise.
int smallNumber(const QString &digits);

} // namespace ServiceSupport
