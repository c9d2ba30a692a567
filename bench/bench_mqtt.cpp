// The service's MQTT face against a mosquitto of its own, measured in one
// run (prints numbers, not a Google Benchmark table):
//  1. publish to the card's first request: 100 notifies, one at a time (each
//     shown for 1 s and the list sent back before the next), median and p99;
//  2. resident memory before and after 10,000 commands of every kind (good
//     and bad programs, notifies beyond the queue, brightness), twice, so
//     that growth shows;
//  3. 20 virtual cards behind their TCP converters, 20 signs of one service,
//     one face each, all in group "all": one group command, how long until
//     every sign answered.

#include "../tests/mqtt/MqttTestSupport.h"

#include "common/TestFiles.h"
#include "link/PortNaming.h"
#include "service/SignService.h"
#include "service/mqtt/MqttFace.h"
#include "service/mqtt/ServiceCall.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualCard.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

QByteArray project()
{
    return textProjectXml({QStringLiteral("今日特价"), QStringLiteral("欢迎光临")});
}

struct Sign {
    std::unique_ptr<SignService> service;
    std::unique_ptr<MqttFace> face;
};

Sign startSign(const QString &projectFile, int port, const QString &name,
               const MqttSettings &broker, const QStringList &groups = {})
{
    ServiceConfig config;
    config.projectPath = projectFile;
    config.signs.append({name, QString::number(port), groups});
    config.log = [](const QString &) {};
    Sign sign;
    sign.service = std::make_unique<SignService>(config);
    MqttFaceConfig face;
    face.nodeId = QStringLiteral("bench");
    face.sign = name;
    face.groups = groups;
    MqttSettings settings = broker;
    settings.clientId = QStringLiteral("bench-") + name;
    sign.face = std::make_unique<MqttFace>(face, settings,
                                           MqttService::callInto(*sign.service, name), config.log);
    sign.face->start();
    return sign;
}

void latency(MqttBroker &broker, const QString &projectFile)
{
    VirtualCard card;
    if (!card.start())
        return;
    PortNaming::setExplicitDevices({card.devicePath()});
    Sign sign = startSign(projectFile, 1, QStringLiteral("front"), broker.settings({}));
    MqttClient sender(broker.settings(QStringLiteral("sender")));
    sender.start();
    waitUntil([&] { return sender.isConnected() && sign.face->client().isConnected(); });
    auto idle = [&] {
        waitUntil([&] { return !sign.service->sendRunning() && !sign.service->messageActive(); },
                  120000);
        card.waitForIdle(10000);
        QThread::msleep(50);
        QCoreApplication::processEvents();
    };
    idle();
    std::vector<double> ms;
    for (int i = 0; i < 100; ++i) {
        const int before = card.requestCount();
        QElapsedTimer timer;
        timer.start();
        sender.publish(QStringLiteral("brivane/front/notify"),
                       QStringLiteral(R"({"text":"快讯 %1","duration":1})").arg(i).toUtf8(), false);
        while (card.requestCount() == before && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        idle();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("publish to first card request over %zu notifies: median %.1f ms, p99 %.1f ms, "
                "max %.1f ms\n",
                ms.size(), ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
    sign.face->stop();
    PortNaming::setExplicitDevices({});
}

void memory(MqttBroker &broker, const QString &projectFile)
{
    VirtualCard card;
    if (!card.start())
        return;
    PortNaming::setExplicitDevices({card.devicePath()});
    Sign sign = startSign(projectFile, 1, QStringLiteral("front"), broker.settings({}));
    MqttObserver results(broker.settings(QStringLiteral("results")));
    results.connect(QStringLiteral("brivane/front/result"));
    waitUntil([&] { return sign.face->client().isConnected(); });
    const struct {
        const char *suffix;
        QByteArray payload;
    } commands[] = {
        {"program/1/set", R"({"content":"今日特价 2.40"})"},
        {"program/1/set", "{not json"},
        {"program/1/set", R"({"bogus":1})"},
        {"notify", R"({"text":"快讯","duration":3600})"},
        {"notify", "\xff\xfe"},
        {"brightness/set", "7"},
        {"power/set", "maybe"},
        {"programs/set", R"([{"kind":"text","content":"早"},{"kind":"text","content":"晚"}])"},
    };
    auto burst = [&](int n) {
        // In windows of 100, each answered before the next.
        for (int done = 0; done < n; done += 100) {
            const size_t expected = results.messages.size() + 100;
            for (int i = done; i < done + 100; ++i) {
                const auto &c = commands[size_t(i) % std::size(commands)];
                waitUntil([&] {
                    return results.client.isConnected() &&
                           sign.face->client().isConnected() &&
                           results.publish(QStringLiteral("brivane/front/") + QLatin1String(c.suffix),
                                           c.payload);
                });
            }
            waitUntil([&] { return results.messages.size() >= expected; }, 120000);
        }
    };
    burst(500);
    const double before = residentMiB();
    QElapsedTimer timer;
    timer.start();
    burst(10000);
    const double after = residentMiB();
    const double seconds = double(timer.elapsed()) / 1000;
    burst(10000);
    const double second = residentMiB();
    results.messages.clear();
    std::printf("10,000 commands in %.1f s (%.0f a second); RSS %.1f MiB before, %.1f after "
                "(+%.1f), +%.1f over the next 10,000\n",
                seconds, 10000 / seconds, before, after, after - before, second - after);
    sign.face->stop();
    PortNaming::setExplicitDevices({});
}

void group(MqttBroker &broker, const QString &projectFile)
{
    constexpr int kSigns = 20;
    std::vector<std::unique_ptr<VirtualCard>> cards;
    std::vector<std::unique_ptr<TcpBridge>> bridges;
    QStringList names;
    for (int i = 0; i < kSigns; ++i) {
        cards.push_back(std::make_unique<VirtualCard>());
        bridges.push_back(std::make_unique<TcpBridge>());
        if (!cards.back()->start() || !bridges.back()->start(cards.back()->devicePath()))
            return;
        names << bridges.back()->address();
    }
    PortNaming::setExplicitDevices(names);
    // One service drives all twenty, one face (and connection) per sign.
    ServiceConfig config;
    config.projectPath = projectFile;
    for (int i = 0; i < kSigns; ++i)
        config.signs.append(
            {QStringLiteral("s%1").arg(i + 1), QString::number(i + 1), {QStringLiteral("all")}});
    config.log = [](const QString &) {};
    SignService service(config);
    std::vector<std::unique_ptr<MqttFace>> faces;
    for (const ServiceSign &sign : config.signs) {
        MqttFaceConfig face;
        face.nodeId = QStringLiteral("bench");
        face.sign = sign.name;
        face.groups = sign.groups;
        MqttSettings settings = broker.settings(QStringLiteral("bench-") + sign.name);
        faces.push_back(std::make_unique<MqttFace>(
            face, settings, MqttService::callInto(service, sign.name), config.log));
        faces.back()->start();
    }
    MqttObserver results(broker.settings(QStringLiteral("results")));
    results.connect(QStringLiteral("brivane/+/result"));
    waitUntil([&] {
        return std::all_of(faces.begin(), faces.end(),
                           [](const auto &face) { return face->client().isConnected(); });
    });
    // Let every face read its card first.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    results.messages.clear();
    QElapsedTimer timer;
    timer.start();
    results.publish(QStringLiteral("brivane/group/all/brightness/set"), "6");
    waitUntil([&] { return results.messages.size() >= size_t(kSigns); }, 120000);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    int ok = 0;
    for (const auto &m : results.messages)
        ok += QJsonDocument::fromJson(m.payload).object().value(u"ok").toBool();
    int set = 0;
    for (const auto &card : cards)
        set += card->brightness() == 6;
    std::printf("group command to %d signs over TCP: %d results (%d ok) in %.0f ms; %d cards at "
                "the new brightness\n",
                kSigns, int(results.messages.size()), ok, ms, set);
    for (const auto &face : faces)
        face->stop();
    PortNaming::setExplicitDevices({});
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text rendering needs fonts
    if (MqttBroker::program().isEmpty()) {
        std::fprintf(stderr, "mosquitto is not installed\n");
        return 1;
    }
    MqttBroker broker;
    QString error;
    if (!broker.start(MqttBroker::Kind::Anonymous, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString projectFile = dir.filePath(QStringLiteral("p.brivprj"));
    writeAll(projectFile, project());
    const QStringList which = app.arguments().mid(1);
    if (which.isEmpty() || which.contains(u"latency"))
        latency(broker, projectFile);
    if (which.isEmpty() || which.contains(u"memory"))
        memory(broker, projectFile);
    if (which.isEmpty() || which.contains(u"group"))
        group(broker, projectFile);
    return 0;
}
