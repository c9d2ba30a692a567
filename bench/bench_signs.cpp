// Signs beyond one serial port, measured in one run (prints ratios, not a
// Google Benchmark table):
//  1. a 20-program send over TCP (the virtual card behind its converter)
//     against the same send over a pseudo-terminal, line speed emulated;
//  2. a send to 8 cards at once against a send to one of them;
//  3. a card whose converter drops the connection mid-upload: how long
//     after the drop its sign fails, while two others finish.
// Every send runs through brivane-cli's own code (CliApp).

#include "cli/CliApp.h"
#include "cli/Console.h"
#include "link/PortNaming.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualCard.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kBaud = 57600;
constexpr int kPrograms = 20;
constexpr int kCards = 8;

class QuietConsole final : public Console {
public:
    void out(const QString &text) override
    {
        const std::lock_guard lock(mutex);
        lines.push_back({clock.elapsed(), text});
    }
    void err(const QString &) override {}
    bool errIsTerminal() const override { return false; }
    bool inIsTerminal() const override { return false; }
    std::optional<QString> readLine() override { return std::nullopt; }

    std::mutex mutex;
    QElapsedTimer clock;
    std::vector<std::pair<qint64, QString>> lines;
};

std::unique_ptr<VirtualCard> startCard()
{
    auto card = std::make_unique<VirtualCard>();
    if (!card->start())
        return nullptr;
    ScreenParams params;
    params.bytes[ScreenParams::ColourType] = 2;
    card->setScreenParams(params);
    card->setLineSpeed(kBaud);
    return card;
}

QString writeProject(const QTemporaryDir &dir)
{
    PlayList project;
    project.screenParams().bytes[ScreenParams::ColourType] = 2;
    for (int i = 0; i < kPrograms; ++i) {
        auto item = std::make_unique<TextItem>(&project);
        if (i % 2 == 0) {
            item->setContent(QStringLiteral("第%1条节目：欢迎光临，本店今日特价。").arg(i + 1));
            item->setAction(13);
        } else {
            item->setContent(QStringLiteral("节目%1").arg(i + 1));
            item->setAction(1);
            item->setDelay(3);
        }
        project.appendItem(std::move(item));
    }
    const QString path = dir.filePath(QStringLiteral("bench.brivprj"));
    project.setProjectFilePath(path);
    project.save();
    return path;
}

// brivane-cli --project FILE [--port P]... send; the exit code and seconds.
std::pair<int, double> send(const QString &project, const QStringList &ports,
                            QuietConsole *console = nullptr)
{
    QuietConsole own;
    QuietConsole &c = console ? *console : own;
    c.clock.start();
    QStringList args{QStringLiteral("brivane-cli"), QStringLiteral("--project"), project};
    for (const QString &port : ports)
        args << QStringLiteral("--port") << port;
    args << QStringLiteral("send") << QStringLiteral("--on-error") << QStringLiteral("stop");
    PortNaming::setExplicitDevices({});
    CliApp app(c);
    QElapsedTimer timer;
    timer.start();
    const int code = app.run(args);
    return {code, timer.elapsed() / 1000.0};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("BRIVANE_SIGNS", "");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString project = writeProject(dir);

    // 1. TCP against the pseudo-terminal.
    {
        auto pty = startCard();
        auto behind = startCard();
        TcpBridge bridge;
        if (!pty || !behind || !bridge.start(behind->devicePath())) {
            std::fprintf(stderr, "cannot start the virtual cards\n");
            return 1;
        }
        const auto [ptyCode, ptySeconds] = send(project, {pty->devicePath()});
        const auto [tcpCode, tcpSeconds] = send(project, {bridge.address()});
        const bool same = pty->requestLog() == behind->requestLog();
        std::printf("send %d programs at %d baud: pty %.2f s (exit %d), tcp %.2f s (exit %d), "
                    "ratio tcp/pty %.3f (limit 1.02); same requests: %s\n",
                    kPrograms, kBaud, ptySeconds, ptyCode, tcpSeconds, tcpCode,
                    tcpSeconds / ptySeconds, same ? "yes" : "no");
    }

    // 2. Eight cards at once against one.
    {
        std::vector<std::unique_ptr<VirtualCard>> cards;
        QStringList ports;
        for (int i = 0; i < kCards; ++i) {
            cards.push_back(startCard());
            if (!cards.back())
                return 1;
            ports << cards.back()->devicePath();
        }
        const auto [oneCode, oneSeconds] = send(project, {ports.first()});
        const auto [allCode, allSeconds] = send(project, ports);
        std::printf("send to %d cards at once: %.2f s (exit %d), to one %.2f s (exit %d), "
                    "ratio %.3f (limit 1.10)\n",
                    kCards, allSeconds, allCode, oneSeconds, oneCode, allSeconds / oneSeconds);
    }

    // 3. A converter that drops the connection mid-upload.
    {
        auto a = startCard();
        auto b = startCard();
        auto dropping = startCard();
        dropping->addFault(CardFault::dropAfter(60));
        TcpBridge bridge;
        if (!a || !b || !dropping || !bridge.start(dropping->devicePath()))
            return 1;
        std::atomic<qint64> droppedAt{-1};
        std::atomic<bool> watching{true};
        QuietConsole console;
        std::thread watch([&] {
            while (watching && !bridge.hasDropped())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (bridge.hasDropped())
                droppedAt = console.clock.elapsed();
        });
        const auto [code, seconds] =
            send(project, {a->devicePath(), bridge.address(), b->devicePath()}, &console);
        watching = false;
        watch.join();
        qint64 failedAt = -1;
        int finishedOthers = 0;
        for (const auto &[ms, line] : console.lines) {
            if (line.startsWith(bridge.address()))
                failedAt = ms;
            else if (line.contains(QStringLiteral("  ok  ")))
                ++finishedOthers;
        }
        std::printf("drop mid-upload: the sign failed %.3f s after the drop (limit 2 s); "
                    "%d of 2 other signs finished; exit %d after %.2f s\n",
                    (failedAt - droppedAt) / 1000.0, finishedOthers, code, seconds);
    }
    return 0;
}
