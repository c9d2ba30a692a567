// Sending a 20-program play list to the virtual card with the line speed
// emulated (57600 baud), against the floor the protocol itself sets: the
// line time of every request and reply plus the pauses the operation
// prescribes. Also the cost of packing one page into its bit image.

#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "link/ProgressHost.h"
#include "link/UploadEncoder.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "sim/VirtualCard.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int kBaud = 57600;
constexpr int kPrograms = 20;

// Waits for real, like the progress dialog, and adds up what it waited.
class TimingHost final : public ProgressHost {
public:
    void setStatus(int, const QString &) override {}
    void setButtons(bool, bool) override {}
    bool isCancelled() const override { return false; }
    bool askYesNo(const QString &) override { return false; }
    Answer askYesNoCancel(const QString &) override { return Answer::Cancel; }
    void pumpMessages() override {}
    void waitPumping(int ms) override
    {
        pausedMs += ms;
        ProgressHost::waitPumping(ms);
    }
    void sleep(int ms) override
    {
        pausedMs += ms;
        ProgressHost::sleep(ms);
    }
    double pausedMs = 0;
};

void fillPlayList(PlayList &project)
{
    for (int i = 0; i < kPrograms; ++i) {
        auto item = std::make_unique<TextItem>(&project);
        if (i % 2 == 0) {
            item->setContent(QStringLiteral("第%1条节目：欢迎光临，本店今日特价。").arg(i + 1));
            item->setAction(13); // a band over several pages
        } else {
            item->setContent(QStringLiteral("节目%1").arg(i + 1));
            item->setAction(1);
            item->setDelay(3);
        }
        project.appendItem(std::move(item));
    }
}

void BM_SendPlayList(benchmark::State &state)
{
    VirtualCard card;
    if (!card.start()) {
        state.SkipWithError(card.errorString().toStdString().c_str());
        return;
    }
    ControllerInfo info;
    info.modelCode = 0x23;
    info.series = 15;
    info.firmwareMajor = 2;
    info.firmwareMinor = 2;
    info.firmwareBuild = 7;
    card.setIdentity(info);
    ScreenParams params;
    params.bytes[ScreenParams::ColourType] = 2; // 256 x 32, two colours
    card.setScreenParams(params);
    card.setLineSpeed(int(state.range(0)));
    PortNaming::setExplicitDevices({card.devicePath()});

    PlayList project;
    CardSession session;
    session.shareRecordsWith(project);
    session.setPort(1);
    fillPlayList(project);
    if (!session.checkBeforeSend()) {
        state.SkipWithError("the virtual card did not answer");
        return;
    }
    // What one open and close of the port costs here: the link opens the
    // port for every exchange, which the line floor does not count.
    QElapsedTimer portTimer;
    portTimer.start();
    constexpr int kPortCycles = 20;
    for (int i = 0; i < kPortCycles; ++i)
        session.open(1);
    const double portCycleMs = double(portTimer.nsecsElapsed()) / 1e6 / kPortCycles;

    double wallMs = 0, floorMs = 0, lineMs = 0, pausesMs = 0;
    int exchanges = 0, pages = 0;
    for (auto _ : state) {
        card.clearLog();
        TimingHost host;
        QElapsedTimer timer;
        timer.start();
        session.sendAll(project, host);
        const double wall = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(wall / 1000.0);

        qint64 lineBytes = 0;
        const auto log = card.log();
        for (const VirtualCard::LogEntry &e : log)
            lineBytes += e.request.size() + e.reply.size();
        const double line =
            state.range(0) > 0 ? double(lineBytes) * 10.0 * 1000.0 / double(state.range(0)) : 0;
        wallMs += wall;
        lineMs += line;
        pausesMs += host.pausedMs;
        floorMs += line + host.pausedMs;
        exchanges = int(log.size());
        pages = session.lastSendReport().pagesSent;
        if (session.lastSendReport().sentCount != kPrograms)
            state.SkipWithError("not every program was sent");
    }
    const double n = double(state.iterations());
    state.counters["wall_ms"] = wallMs / n;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["line_ms"] = lineMs / n;
    state.counters["pauses_ms"] = pausesMs / n;
    state.counters["ratio"] = floorMs > 0 ? wallMs / floorMs : 0;
    state.counters["exchanges"] = exchanges;
    state.counters["port_cycle_ms"] = portCycleMs;
    // The floor with one port open and close per exchange added.
    state.counters["ratio_with_ports"] =
        floorMs > 0 ? wallMs / (floorMs + n * (exchanges + 1) * portCycleMs) : 0;
    state.counters["pages"] = pages;
    PortNaming::setExplicitDevices({});
    card.stop();
}
BENCHMARK(BM_SendPlayList)
    ->Arg(kBaud)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_PackPage(benchmark::State &state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    PageBitmap page;
    page.create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * 7 + y * 3) % 5 < 2)
                page.setPixel(x, y, (x + y) % 3 == 0 ? LedColor::Yellow : LedColor::Red);
    for (auto _ : state) {
        QByteArray bits = UploadEncoder::packPageBits(page, width, height, 2, false, true);
        benchmark::DoNotOptimize(bits.data());
    }
    state.SetBytesProcessed(state.iterations() * width * height * 2 / 8);
}
BENCHMARK(BM_PackPage)->Args({256, 32})->Args({2048, 64});

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
