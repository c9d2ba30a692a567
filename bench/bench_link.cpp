// Exchanges against the virtual card over a pseudo-terminal: how many per
// second the link manages when the card answers at once, and how close a
// command comes to the line-speed floor (10 bits a byte at 57600 baud for
// request and reply) when the card emulates the line.
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "sim/VirtualCard.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr int Baud = 57600;

// The card and a link on it for one benchmark run.
struct Bench {
    explicit Bench(bool keepOpen, int lineSpeed = 0)
    {
        ok = card.start();
        card.setLineSpeed(lineSpeed);
        PortNaming::setExplicitDevices({card.devicePath()});
        link.setKeepOpen(true);
        ok = ok && link.configure(1, 900, Baud, 512);
        link.setKeepOpen(keepOpen);
    }
    ~Bench()
    {
        link.close();
        card.stop();
        PortNaming::setExplicitDevices({});
    }
    VirtualCard card;
    ControllerLink link;
    bool ok = false;
};

// The floor for one exchange of `requestBytes` and a 52-byte reply.
double floorSeconds(int requestBytes)
{
    return (requestBytes + 52) * 10.0 / Baud;
}

void BM_ExchangeInstant(benchmark::State &state)
{
    Bench bench(state.range(0) != 0);
    if (!bench.ok) {
        state.SkipWithError("no virtual card");
        return;
    }
    for (auto _ : state)
        if (!bench.link.clearScreen()) {
            state.SkipWithError(qPrintable(bench.link.errorText()));
            break;
        }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) ? "port kept open" : "port opened per exchange");
}
BENCHMARK(BM_ExchangeInstant)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A 52-byte command, and a 565-byte upload packet (33 header bytes and a
// 512-byte block), with the line emulated; the port kept open (the link's
// own overhead) or opened per exchange as the program does (adds the
// device's open and close, with QSerialPort's lock file).
void BM_ExchangeAtLineSpeed(benchmark::State &state)
{
    const int block = int(state.range(0));
    const bool keepOpen = state.range(1) != 0;
    Bench bench(keepOpen, Baud);
    if (!bench.ok) {
        state.SkipWithError("no virtual card");
        return;
    }
    QByteArray header(33, '\0');
    header[29] = char(block & 0xFF);
    header[30] = char(block >> 8);
    const QByteArray bits(block, char(0x5A));
    const int requestBytes = block ? 53 + block : 52;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = block ? bench.link.sendPageHead(header, bits) : bench.link.clearScreen();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok) {
            state.SkipWithError(qPrintable(bench.link.errorText()));
            break;
        }
    }
    const double perExchange = seconds / double(std::max<int64_t>(1, state.iterations()));
    state.counters["floor_ms"] = floorSeconds(requestBytes) * 1000.0;
    state.counters["ratio"] = perExchange / floorSeconds(requestBytes);
    state.counters["overhead_ms"] = (perExchange - floorSeconds(requestBytes)) * 1000.0;
    state.SetLabel(std::string(block ? "565-byte upload packet" : "52-byte command") +
                   (keepOpen ? ", port kept open" : ", port opened per exchange"));
}
BENCHMARK(BM_ExchangeAtLineSpeed)
    ->Args({0, 1})
    ->Args({512, 1})
    ->Args({0, 0})
    ->Args({512, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
