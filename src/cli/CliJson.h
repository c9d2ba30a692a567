#pragma once
// The command-line tool's JSON result shapes shared by every verb: the
// failure document {"ok": false, "error": "...", "code": N}, used alone and
// for each failed sign of a command on several signs.

#include <QJsonObject>
#include <QString>

namespace CliJson {

inline QJsonObject failure(const QString &error, int code)
{
    QJsonObject o;
    o[u"ok"] = false;
    o[u"error"] = error;
    o[u"code"] = code;
    return o;
}

} // namespace CliJson
