#include "service/mqtt/ServiceCall.h"

#include "service/SignService.h"

#include <QUrlQuery>

namespace MqttService {

MqttFace::Call callInto(SignService &service, const QString &sign)
{
    return [&service, sign](const QByteArray &method, const QString &pathAndQuery,
                            const QByteArray &body, MqttFace::Done done) {
        ApiRequest request;
        request.method = method;
        const qsizetype question = pathAndQuery.indexOf(u'?');
        request.path = pathAndQuery.left(question);
        if (question >= 0)
            request.query = QUrlQuery(pathAndQuery.mid(question + 1));
        request.body = body;
        request.contentType = "application/json";
        request.sign = sign;
        service.call(request, [done = std::move(done)](const SignService::Reply &reply) {
            done({reply.status, reply.body});
        });
    };
}

} // namespace MqttService
