#pragma once
// Helpers the sign service's request handlers share: JSON replies, error
// replies, reading a JSON object body and a 1-based program number.

#include "link/ControllerInfo.h"
#include "service/SignService.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <optional>

// One sign of the service: its card queue and what the service last saw of
// its card.
struct SignService::Sign {
    ServiceSign config;
    CardQueue *queue = nullptr;          // child of the service
    std::unique_ptr<ControllerInfo> card; // the last card seen
    int colourType = 0;                   // its colour type, once read (0: not known)
    std::optional<bool> power;            // as last set
    std::optional<int> brightness;        // as last read or set
    QString link = QStringLiteral("unknown");
    QJsonObject last; // the last operation: what, ok, message, at
};

namespace ServiceSupport {

// The text of a card request refused because the card is taken.
inline QString cardBusyText()
{
    return QStringLiteral("卡正忙：另一个卡操作正在进行，请稍后再试。");
}

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
