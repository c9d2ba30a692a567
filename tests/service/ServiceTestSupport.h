#pragma once
// The sign service in-process on 127.0.0.1 (a free port) over a project file
// in a temporary folder and a virtual card, and a QNetworkAccessManager
// client that waits for each answer.

#include "common/TestFiles.h"
#include "link/PortNaming.h"
#include "service/SignService.h"
#include "sim/VirtualCard.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        projectFile = dir.filePath(QStringLiteral("p.brivprj"));
        writeProject({QStringLiteral("one"), QStringLiteral("two")});
    }
    void TearDown() override
    {
        service.reset();
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    void startService(QByteArray token = {})
    {
        ServiceConfig config;
        config.projectPath = projectFile;
        config.port = 1;
        config.signs = signs;
        config.token = std::move(token);
        config.schedulePath = schedulePath;
        config.log = [this](const QString &line) { log << line; };
        service = std::make_unique<SignService>(config);
        QString error;
        port = service->start(QHostAddress::LocalHost, 0, &error);
        ASSERT_NE(port, 0) << error.toStdString();
    }

    HttpAnswer call(const QByteArray &method, const QString &path, const QByteArray &body = {},
                    const QList<QPair<QByteArray, QByteArray>> &headers = {})
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        for (const auto &[name, value] : headers)
            request.setRawHeader(name, value);
        QNetworkReply *reply = client.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        HttpAnswer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        reply->deleteLater();
        return answer;
    }

    // The same request through SignService::call, without HTTP; waits for
    // the answer (a card request answers later).
    HttpAnswer direct(const QByteArray &method, const QString &pathAndQuery,
                      const QByteArray &body = {}, const QString &sign = {})
    {
        const QUrl url(pathAndQuery);
        ApiRequest request;
        request.method = method;
        request.path = url.path();
        request.query = QUrlQuery(url);
        request.body = body;
        request.contentType = "application/json";
        request.sign = sign;
        HttpAnswer answer;
        bool done = false;
        QEventLoop loop;
        service->call(request, [&](const SignService::Reply &reply) {
            answer = {reply.status, reply.body};
            done = true;
            loop.quit();
        });
        if (!done) {
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return answer;
    }

    // Polls the job until it has ended; its last document.
    QJsonObject waitForJob(int id)
    {
        QJsonObject job;
        for (int i = 0; i < 600; ++i) {
            job = call("GET", QStringLiteral("/api/jobs/%1").arg(id)).json();
            if (job.value(u"state").toString() != u"running")
                break;
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return job;
    }

    void writeProject(const QStringList &texts)
    {
        ASSERT_TRUE(writeAll(projectFile, textProjectXml(texts)));
    }

    QByteArray projectBytes() const { return readAll(projectFile); }

    QTemporaryDir dir;
    VirtualCard card;
    QString projectFile;
    QString schedulePath; // a schedule for the service to run, when set
    QList<ServiceSign> signs; // the service's signs, when set
    std::unique_ptr<SignService> service;
    quint16 port = 0;
    QNetworkAccessManager client;
    QStringList log;
};
