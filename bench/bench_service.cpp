// The sign service over HTTP on 127.0.0.1: the latency of a preview PNG of a
// 256 x 32 page (median of the iterations), and resident memory before and
// after 10,000 requests of every kind, twice (previews, pages, lists, refused
// requests) so that growth shows.

#include "service/SignService.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <vector>

namespace {

struct Running {
    QTemporaryDir dir;
    std::unique_ptr<SignService> service;
    quint16 port = 0;
    QNetworkAccessManager client;

    Running()
    {
        const QString path = dir.filePath(QStringLiteral("p.brivprj"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<project><width>32</width>"
                   "<height>4</height><msg><type>2</type><content>今日特价 2.40</content>"
                   "<action>1</action><speed>14</speed><frame>3</frame><clock>0</clock>"
                   "<delay>0</delay><level>2</level><flash>0</flash><flashdelay>2</flashdelay>"
                   "<size>20</size><font>宋体</font><style>0</style><color>3</color></msg>"
                   "</project>");
        file.close();
        ServiceConfig config;
        config.projectPath = path;
        config.port = 1;
        config.log = [](const QString &) {};
        service = std::make_unique<SignService>(config);
        QString error;
        port = service->start(QHostAddress::LocalHost, 0, &error);
    }

    int get(const QByteArray &method, const QString &path, const QByteArray &body = {})
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        QNetworkReply *reply = client.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->readAll();
        delete reply;
        return status;
    }
};

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_PreviewPng(benchmark::State &state)
{
    Running running;
    running.get("GET", QStringLiteral("/api/programs/1/preview.png")); // renders the pages
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (running.get("GET", QStringLiteral("/api/programs/1/preview.png")) != 200)
            state.SkipWithError("preview failed");
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
}
BENCHMARK(BM_PreviewPng)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MemoryOver10000Requests(benchmark::State &state)
{
    Running running;
    const QString paths[] = {QStringLiteral("/api/programs/1/preview.png"),
                             QStringLiteral("/api/programs/1/pages/1.png?scale=4"),
                             QStringLiteral("/api/programs"), QStringLiteral("/"),
                             QStringLiteral("/api/programs/9/preview.png")};
    auto burst = [&](int n) {
        for (int i = 0; i < n; ++i) {
            if (i % 6 == 5)
                running.get("PATCH", QStringLiteral("/api/programs/1"), "{not json");
            else
                running.get("GET", paths[i % 5]);
        }
    };
    for (auto _ : state) {
        burst(500); // warm-up: caches, pools, first allocations
        const double before = residentMiB();
        burst(10000);
        const double after = residentMiB();
        state.counters["rss_before_MiB"] = before;
        state.counters["rss_after_MiB"] = after;
        state.counters["growth_MiB"] = after - before;
        // A second round: a leak grows again by as much, a warm-up does not.
        burst(10000);
        state.counters["second_growth_MiB"] = residentMiB() - after;
    }
}
BENCHMARK(BM_MemoryOver10000Requests)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text rendering needs fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
