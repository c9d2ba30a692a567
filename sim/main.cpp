// brivane-cardsim: a virtual controller card on a pseudo-terminal. Prints
// the device path, then answers requests until interrupted.
#include "base/OptionSpellings.h"
#include "sim/VirtualCard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <pthread.h>

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

} // namespace

int main(int argc, char **argv)
{
    // Signals are taken by sigtimedwait below, never by a handler; block them
    // before the card's thread starts so it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brivane-cardsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.5"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual LED controller card on a pseudo-terminal. It prints the "
                       "device path on the first line of its output, then answers the "
                       "program's requests until interrupted (Ctrl+C).\n\n") +
        CardFault::syntaxHelp());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption linkOption(
        QStringLiteral("link"),
        QStringLiteral("Also make the device reachable as a symlink at <path>."),
        QStringLiteral("path"));
    const QCommandLineOption seriesOption(
        QStringLiteral("series"), QStringLiteral("Card series answered to 0x35 (default 15)."),
        QStringLiteral("n"), QStringLiteral("15"));
    const QCommandLineOption modelOption(
        QStringLiteral("model"), QStringLiteral("Model code answered to 0x35 (default 0x23)."),
        QStringLiteral("code"), QStringLiteral("0x23"));
    const QCommandLineOption firmwareOption(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version major.minor.build (default 2.2.7)."),
        QStringLiteral("version"), QStringLiteral("2.2.7"));
    const QCommandLineOption widthOption(
        QStringLiteral("width"),
        QStringLiteral("Screen width in pixels, a multiple of 8 up to 2048 (default 256)."),
        QStringLiteral("pixels"), QStringLiteral("256"));
    const QCommandLineOption heightOption(
        QStringLiteral("height"),
        QStringLiteral("Screen height in pixels, a multiple of 8 up to 128 (default 32)."),
        QStringLiteral("pixels"), QStringLiteral("32"));
    const QCommandLineOption colourOption(
        QStringLiteral("color"),
        QStringLiteral("Colour type: 1 single red, 2 red and green (default 1)."),
        QStringLiteral("type"), QStringLiteral("1"));
    const QCommandLineOption reverseOption(
        QStringLiteral("reverse-data"),
        QStringLiteral("Set the reverse-data flag of the screen parameters."));
    const QCommandLineOption brightnessOption(
        QStringLiteral("brightness"), QStringLiteral("Initial brightness 0..15 (default 15)."),
        QStringLiteral("level"), QStringLiteral("15"));
    const QCommandLineOption lineSpeedOption(
        QStringLiteral("line-speed"),
        QStringLiteral("Emulate the line: answer only after the time <baud> (10 bits a byte) needs "
                       "for request and reply, e.g. 57600."),
        QStringLiteral("baud"));
    const QCommandLineOption faultOption(
        QStringLiteral("fault"), QStringLiteral("Inject a fault (repeatable; syntax above)."),
        QStringLiteral("spec"));
    const QCommandLineOption dumpOption(
        QStringLiteral("dump-dir"),
        QStringLiteral("Write every received page as <dir>/page-NNN.png once complete, and all "
                       "stored pages again on exit."),
        QStringLiteral("dir"));
    const QCommandLineOption quietOption(
        QStringLiteral("quiet"), QStringLiteral("Do not log each request on standard error."));
    parser.addOptions({linkOption, seriesOption, modelOption, firmwareOption, widthOption,
                       heightOption, colourOption, reverseOption, brightnessOption, lineSpeedOption,
                       faultOption, dumpOption, quietOption});
    // "--colour" is accepted as "--color".
    parser.process(OptionSpellings::normalized(app.arguments()));
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    ControllerInfo info;
    if (!parseInt(parser.value(seriesOption), 0, 255, &info.series))
        return fail(QStringLiteral("bad --series"));
    if (!parseInt(parser.value(modelOption), 0, 255, &info.modelCode))
        return fail(QStringLiteral("bad --model"));
    const auto version = QRegularExpression(QStringLiteral("^(\\d+)\\.(\\d+)\\.(\\d+)$"))
                             .match(parser.value(firmwareOption));
    if (!version.hasMatch() || !parseInt(version.captured(1), 0, 255, &info.firmwareMajor) ||
        !parseInt(version.captured(2), 0, 255, &info.firmwareMinor) ||
        !parseInt(version.captured(3), 0, 255, &info.firmwareBuild))
        return fail(QStringLiteral("bad --firmware (want major.minor.build)"));

    ScreenParams params;
    int width = 0, height = 0, colour = 0, brightness = 0;
    if (!parseInt(parser.value(widthOption), 8, 2048, &width) || width % 8)
        return fail(QStringLiteral("bad --width"));
    if (!parseInt(parser.value(heightOption), 8, 128, &height) || height % 8)
        return fail(QStringLiteral("bad --height"));
    if (!parseInt(parser.value(colourOption), 1, 2, &colour))
        return fail(QStringLiteral("bad --color"));
    if (!parseInt(parser.value(brightnessOption), 0, 15, &brightness))
        return fail(QStringLiteral("bad --brightness"));
    params.setWidthCode(width == 2048 ? 0 : width / 8);
    params.setHeightCode(height / 8);
    params.bytes[ScreenParams::ColourType] = uint8_t(colour);
    params.bytes[ScreenParams::ReverseData] = parser.isSet(reverseOption) ? 1 : 0;

    VirtualCard card;
    card.setIdentity(info);
    card.setScreenParams(params);
    card.setBrightness(brightness);
    if (parser.isSet(lineSpeedOption)) {
        int baud = 0;
        if (!parseInt(parser.value(lineSpeedOption), 1, 4'000'000, &baud))
            return fail(QStringLiteral("bad --line-speed"));
        card.setLineSpeed(baud);
    }
    for (const QString &spec : parser.values(faultOption)) {
        CardFault fault;
        QString error;
        if (!CardFault::parse(spec, &fault, &error))
            return fail(QStringLiteral("bad --fault '%1': %2").arg(spec, error));
        card.addFault(fault);
    }
    if (!parser.isSet(quietOption))
        card.setLogger([](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    const QString dumpDir = parser.value(dumpOption);
    if (!dumpDir.isEmpty()) {
        if (!QDir().mkpath(dumpDir))
            return fail(QStringLiteral("cannot create %1").arg(dumpDir));
        card.setPageListener([&card, dumpDir](const VirtualCard::ReceivedPage &page) {
            const QImage image = decodePageBits(page.bits, card.pageLayout(page));
            const QString path = QDir(dumpDir).filePath(
                QStringLiteral("page-%1.png").arg(page.pageNumber, 3, 10, QLatin1Char('0')));
            if (image.isNull() || !image.save(path, "PNG"))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            else
                std::fprintf(stderr, "page %d -> %s\n", page.pageNumber, qPrintable(path));
        });
    }

    if (!card.start(parser.value(linkOption)))
        return fail(card.errorString());
    std::printf("%s\n", qPrintable(card.devicePath()));
    if (!card.linkPath().isEmpty())
        std::printf("%s\n", qPrintable(card.linkPath()));
    std::fflush(stdout);

    int exitCode = 0;
    for (;;) {
        timespec tick{0, 200'000'000};
        const int signal = sigtimedwait(&signals, nullptr, &tick);
        if (signal > 0)
            break;
        if (card.hasDropped()) {
            std::fprintf(stderr, "brivane-cardsim: the line was dropped\n");
            exitCode = 3;
            break;
        }
    }
    card.stop();
    if (!dumpDir.isEmpty()) {
        QString error;
        card.savePagesAsPng(dumpDir, &error);
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    return exitCode;
}
