// brivane-cardsim: a virtual controller card on a pseudo-terminal. Prints
// the device path (with --tcp first the tcp:// name of its converter), then
// answers requests until interrupted.
#include "base/OptionSpellings.h"
#include "base/Language.h"
#include "base/Version.h"
#include "sim/CardPlayback.h"
#include "sim/StopRequest.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualCard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

bool parseInt(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "brivane-cardsim: %s\n", qPrintable(message));
    return 2;
}

// --show needs a display, so it decides the application's kind before the
// parser runs.
bool wantsShow(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show") == 0)
            return true;
    }
    return false;
}

// The command line's options, in the order --help lists them.
struct CardOptions {
    QCommandLineOption show{QStringLiteral("show"),
                            trEn("Cardsim", "Open a window that plays what the card has received, "
                                           "as the sign would.")};
    QCommandLineOption playGif{
        QStringLiteral("play-gif"),
        trEn("Cardsim", "After every upload (and at exit) write what the card plays as an "
                       "animated GIF."),
        QStringLiteral("FILE")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             trEn("Cardsim", "Pixels per LED for --show and --play-gif (1-16)."),
                             QStringLiteral("K"), QStringLiteral("3")};
    QCommandLineOption link{
        QStringLiteral("link"),
        trEn("Cardsim", "Also make the device reachable as a symlink at <path>."),
        QStringLiteral("path")};
    QCommandLineOption series{QStringLiteral("series"),
                              trEn("Cardsim", "Card series answered to 0x35 (default 15)."),
                              QStringLiteral("n"), QStringLiteral("15")};
    QCommandLineOption model{QStringLiteral("model"),
                             trEn("Cardsim", "Model code answered to 0x35 (default 0x23)."),
                             QStringLiteral("code"), QStringLiteral("0x23")};
    QCommandLineOption firmware{
        QStringLiteral("firmware"),
        trEn("Cardsim", "Firmware version major.minor.build (default 2.2.7)."),
        QStringLiteral("version"), QStringLiteral("2.2.7")};
    QCommandLineOption width{
        QStringLiteral("width"),
        trEn("Cardsim", "Screen width in pixels, a multiple of 8 up to 2048 (default 256)."),
        QStringLiteral("pixels"), QStringLiteral("256")};
    QCommandLineOption height{
        QStringLiteral("height"),
        trEn("Cardsim", "Screen height in pixels, a multiple of 8 up to 128 (default 32)."),
        QStringLiteral("pixels"), QStringLiteral("32")};
    QCommandLineOption colour{
        QStringLiteral("color"),
        trEn("Cardsim", "Colour type: 1 single red, 2 red and green (default 1)."),
        QStringLiteral("type"), QStringLiteral("1")};
    QCommandLineOption reverse{
        QStringLiteral("reverse-data"),
        trEn("Cardsim", "Set the reverse-data flag of the screen parameters.")};
    QCommandLineOption brightness{QStringLiteral("brightness"),
                                  trEn("Cardsim", "Initial brightness 0..15 (default 15)."),
                                  QStringLiteral("level"), QStringLiteral("15")};
    QCommandLineOption lineSpeed{
        QStringLiteral("line-speed"),
        trEn("Cardsim", "Emulate the line: answer only after the time <baud> (10 bits a byte) needs "
                       "for request and reply, e.g. 57600."),
        QStringLiteral("baud")};
    QCommandLineOption fault{QStringLiteral("fault"),
                             trEn("Cardsim", "Inject a fault (repeatable; syntax above)."),
                             QStringLiteral("spec")};
    QCommandLineOption dump{
        QStringLiteral("dump-dir"),
        trEn("Cardsim", "Write every received page as <dir>/page-NNN.png once complete, and all "
                       "stored pages again on exit."),
        QStringLiteral("dir")};
    QCommandLineOption quiet{QStringLiteral("quiet"),
                             trEn("Cardsim", "Do not log each request on standard error.")};
    QCommandLineOption tcp{
        QStringLiteral("tcp"),
        trEn("Cardsim", "Also act as a serial-to-network converter: listen on 127.0.0.1:<port> "
                       "(0: any free port), one connection at a time, and print its "
                       "tcp://127.0.0.1:PORT name on the first line."),
        QStringLiteral("port")};
    QCommandLineOption latency{
        QStringLiteral("latency"),
        trEn("Cardsim", "With --tcp: hold every reply back by <ms> milliseconds (a slow network)."),
        QStringLiteral("ms")};
    QCommandLineOption dropAfter{
        QStringLiteral("drop-after"),
        trEn("Cardsim", "Answer <n> requests, then drop the line (and with --tcp the connection) "
                       "instead of answering the next one; the same as --fault drop,after=<n>."),
        QStringLiteral("n")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({show, playGif, scale});
        parser.addOptions({link, series, model, firmware, width, height, colour, reverse,
                           brightness, lineSpeed, fault, dump, quiet, tcp, latency, dropAfter});
    }
};

// What the command line asks for, checked.
struct CardSetup {
    ControllerInfo info;
    ScreenParams params;
    int brightness = 15;
    int lineSpeed = 0; // 0: no line emulation
    std::vector<CardFault> faults;
    int tcpPort = -1; // -1: no converter
    int latency = 0;
    bool quiet = false;
    bool show = false;
    int scale = 3;
    QString link;
    QString dumpDir;
    QString gifPath;
};

// Fills setup from the parsed command line; false with the message for a
// bad value.
bool readSetup(const QCommandLineParser &parser, const CardOptions &o, CardSetup &setup,
               QString *error)
{
    auto bad = [error](const QString &message) {
        *error = message;
        return false;
    };
    ControllerInfo &info = setup.info;
    if (!parseInt(parser.value(o.series), 0, 255, &info.series))
        return bad(trEn("Cardsim", "bad --series"));
    if (!parseInt(parser.value(o.model), 0, 255, &info.modelCode))
        return bad(trEn("Cardsim", "bad --model"));
    const auto version = QRegularExpression(QStringLiteral("^(\\d+)\\.(\\d+)\\.(\\d+)$"))
                             .match(parser.value(o.firmware));
    if (!version.hasMatch() || !parseInt(version.captured(1), 0, 255, &info.firmwareMajor) ||
        !parseInt(version.captured(2), 0, 255, &info.firmwareMinor) ||
        !parseInt(version.captured(3), 0, 255, &info.firmwareBuild))
        return bad(trEn("Cardsim", "bad --firmware (want major.minor.build)"));

    int width = 0, height = 0, colour = 0;
    if (!parseInt(parser.value(o.width), 8, 2048, &width) || width % 8)
        return bad(trEn("Cardsim", "bad --width"));
    if (!parseInt(parser.value(o.height), 8, 128, &height) || height % 8)
        return bad(trEn("Cardsim", "bad --height"));
    if (!parseInt(parser.value(o.colour), 1, 2, &colour))
        return bad(trEn("Cardsim", "bad --color"));
    if (!parseInt(parser.value(o.brightness), 0, 15, &setup.brightness))
        return bad(trEn("Cardsim", "bad --brightness"));
    setup.params.setWidthCode(width == 2048 ? 0 : width / 8);
    setup.params.setHeightCode(height / 8);
    setup.params.bytes[ScreenParams::ColourType] = uint8_t(colour);
    setup.params.bytes[ScreenParams::ReverseData] = parser.isSet(o.reverse) ? 1 : 0;

    if (parser.isSet(o.lineSpeed) &&
        !parseInt(parser.value(o.lineSpeed), 1, 4'000'000, &setup.lineSpeed))
        return bad(trEn("Cardsim", "bad --line-speed"));
    for (const QString &spec : parser.values(o.fault)) {
        CardFault fault;
        QString why;
        if (!CardFault::parse(spec, &fault, &why))
            return bad(trEn("Cardsim", "bad --fault '%1': %2").arg(spec, why));
        setup.faults.push_back(fault);
    }
    if (parser.isSet(o.dropAfter)) {
        int after = 0;
        if (!parseInt(parser.value(o.dropAfter), 0, 1'000'000'000, &after))
            return bad(trEn("Cardsim", "bad --drop-after"));
        setup.faults.push_back(CardFault::dropAfter(after));
    }
    if (parser.isSet(o.tcp) && !parseInt(parser.value(o.tcp), 0, 65535, &setup.tcpPort))
        return bad(trEn("Cardsim", "bad --tcp (want a port 0..65535)"));
    if (parser.isSet(o.latency) &&
        (setup.tcpPort < 0 || !parseInt(parser.value(o.latency), 0, 60'000, &setup.latency)))
        return bad(trEn("Cardsim", "bad --latency (want 0..60000 ms, with --tcp)"));
    if (!parseInt(parser.value(o.scale), 1, 16, &setup.scale))
        return bad(trEn("Cardsim", "bad --scale"));
    setup.quiet = parser.isSet(o.quiet);
    setup.show = parser.isSet(o.show);
    setup.link = parser.value(o.link);
    setup.dumpDir = parser.value(o.dump);
    setup.gifPath = parser.value(o.playGif);
    return true;
}

// Gives the card its identity, screen, faults, log and page dump.
bool setUpCard(VirtualCard &card, const CardSetup &setup, QString *error)
{
    card.setIdentity(setup.info);
    card.setScreenParams(setup.params);
    card.setBrightness(setup.brightness);
    if (setup.lineSpeed > 0)
        card.setLineSpeed(setup.lineSpeed);
    for (const CardFault &fault : setup.faults)
        card.addFault(fault);
    if (!setup.quiet)
        card.setLogger([](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    if (setup.dumpDir.isEmpty())
        return true;
    if (!QDir().mkpath(setup.dumpDir)) {
        *error = trEn("Cardsim", "cannot create %1").arg(setup.dumpDir);
        return false;
    }
    card.setPageListener([&card, dumpDir = setup.dumpDir](const VirtualCard::ReceivedPage &page) {
        const QImage image = decodePageBits(page.bits, card.pageLayout(page));
        const QString path = QDir(dumpDir).filePath(
            QStringLiteral("page-%1.png").arg(page.pageNumber, 3, 10, QLatin1Char('0')));
        if (image.isNull() || !image.save(path, "PNG"))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        else
            std::fprintf(stderr, "page %d -> %s\n", page.pageNumber, qPrintable(path));
    });
    return true;
}

void writeGif(const VirtualCard &card, const CardSetup &setup)
{
    QString error;
    if (writeCardGif(card, setup.gifPath, setup.scale, &error))
        std::fprintf(stderr, "playing -> %s\n", qPrintable(setup.gifPath));
    else
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(setup.gifPath), qPrintable(error));
}

// Answers until a signal arrives or a fault drops the line (exit code 3),
// writing what the card plays after every upload with --play-gif.
int serveUntilSignal(const VirtualCard &card, const CardSetup &setup, StopRequest &stop)
{
    int gifPhase = card.uploadPhase();
    for (;;) {
        // An upload has ended (0x19 with 1): write what the card now plays.
        if (!setup.gifPath.isEmpty() && card.uploadPhase() != gifPhase) {
            gifPhase = card.uploadPhase();
            if (gifPhase == 1)
                writeGif(card, setup);
        }
        if (stop.wait(200))
            return 0;
        if (card.hasDropped()) {
            std::fprintf(stderr, "brivane-cardsim: the line was dropped\n");
            return 3;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Before the card's thread starts, so that it inherits the signal mask.
    StopRequest stop;

    const std::unique_ptr<QCoreApplication> app =
        wantsShow(argc, argv) ? std::make_unique<QGuiApplication>(argc, argv)
                              : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brivane-cardsim"));
    QCoreApplication::setApplicationVersion(QLatin1String(kBrivaneVersion));
    // Its help and messages in the language of the other programs.
    installTranslations(chooseLanguage());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        trEn("Cardsim", "A virtual LED controller card on a pseudo-terminal. It prints the "
                       "device path on the first line of its output, then answers the "
                       "program's requests until interrupted (Ctrl+C).\n\n") +
        CardFault::syntaxHelp());
    parser.addHelpOption();
    parser.addVersionOption();
    const CardOptions options;
    options.addTo(parser);
    // "--colour" is accepted as "--color".
    parser.process(OptionSpellings::normalized(app->arguments()));
    if (!parser.positionalArguments().isEmpty())
        return fail(
            trEn("Cardsim", "unexpected argument '%1'").arg(parser.positionalArguments().first()));

    CardSetup setup;
    QString error;
    if (!readSetup(parser, options, setup, &error))
        return fail(error);
    VirtualCard card;
    if (!setUpCard(card, setup, &error))
        return fail(error);
    if (!card.start(setup.link))
        return fail(card.errorString());
    TcpBridge bridge;
    if (setup.tcpPort >= 0) {
        bridge.setLatency(setup.latency);
        if (!bridge.start(card.devicePath(), quint16(setup.tcpPort)))
            return fail(bridge.errorString());
        std::printf("%s\n", qPrintable(bridge.address()));
    }
    std::printf("%s\n", qPrintable(card.devicePath()));
    if (!card.linkPath().isEmpty())
        std::printf("%s\n", qPrintable(card.linkPath()));
    std::fflush(stdout);

    const int exitCode = setup.show ? runCardShow(card, stop, setup.scale)
                                    : serveUntilSignal(card, setup, stop);
    bridge.stop();
    card.stop();
    if (!setup.gifPath.isEmpty())
        writeGif(card, setup);
    if (!setup.dumpDir.isEmpty()) {
        card.savePagesAsPng(setup.dumpDir, &error);
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    return exitCode;
}
