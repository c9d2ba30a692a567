#include "sim/CardPlayback.h"

#include "base/LocalClock.h"
#include "render/PlaybackExport.h"
#include "sim/PageDecoder.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Clock zone widths as the program lays them out: the dial a square of the
// screen height, the text clock 64 pixels.
constexpr int kTextClockWidth = 64;

} // namespace

Playback::Settings cardPageSettings(const VirtualCard::ReceivedPage &page, int screenHeight)
{
    Playback::Settings s;
    s.action = page.action();
    s.speed = page.speedByte() & 0x0F;
    s.stayTime = page.stayTime();
    s.flash = page.effectCode() & 0x0F;
    s.frame = Playback::frameOfBorderCode(page.effectCode() & 0xF0);
    s.flashInterval = page.flashDelay();
    if (page.clockCode() == 0x20) {
        s.clock = Playback::ClockZone::Dial;
        s.clockZoneWidth = screenHeight;
    } else if (page.clockCode() == 0x30) {
        s.clock = Playback::ClockZone::Text;
        s.clockZoneWidth = kTextClockWidth;
    }
    return s;
}

Playback::Player cardPlayer(const VirtualCard &card)
{
    std::vector<VirtualCard::ReceivedPage> pages = card.pages();
    std::sort(pages.begin(), pages.end(),
              [](const auto &a, const auto &b) { return a.pageNumber < b.pageNumber; });
    const ScreenParams params = card.screenParams();
    std::vector<Playback::Program> programs;
    for (const VirtualCard::ReceivedPage &page : pages) {
        if (!page.isComplete())
            continue;
        const QImage image = decodePageBits(page.bits, card.pageLayout(page));
        if (image.isNull())
            continue;
        if (page.pageIndex() == 0 || programs.empty()) {
            programs.emplace_back();
            programs.back().settings = cardPageSettings(page, params.screenHeight());
        }
        PageBitmap bitmap;
        if (!bitmap.create(image.width(), image.height()))
            continue;
        bitmap.image() = image.convertToFormat(QImage::Format_RGB32);
        programs.back().pages.push_back(bitmap);
    }
    Playback::Screen screen;
    screen.width = params.screenWidth();
    screen.height = params.screenHeight();
    screen.planes = params.colourType() == 1 ? 1 : 2;
    return Playback::Player(screen, std::move(programs));
}

bool writeCardGif(const VirtualCard &card, const QString &path, int scale, QString *error)
{
    GifWriter::Options options;
    options.scale = std::clamp(scale, 1, GifWriter::kMaxScale);
    options.dots = options.scale >= 3;
    const PlaybackExport::Result result =
        PlaybackExport::writeGifFile(cardPlayer(card), path, options, localNow());
    if (!result.ok && error)
        *error = result.error;
    return result.ok;
}

namespace {

// The sign: plays the card's list, rebuilt whenever the card was talked to.
class CardShowWindow final : public QRasterWindow {
public:
    CardShowWindow(VirtualCard &card, int scale) : m_card(card), m_scale(scale)
    {
        setTitle(QStringLiteral("brivane-cardsim"));
        rebuild();
        m_frameTimer.setInterval(Playback::frameIntervalMs());
        QObject::connect(&m_frameTimer, &QTimer::timeout, this, [this] { update(); });
        m_frameTimer.start();
        m_pollTimer.setInterval(500);
        QObject::connect(&m_pollTimer, &QTimer::timeout, this, [this] {
            if (m_card.requestCount() != m_seenRequests)
                rebuild();
        });
        m_pollTimer.start();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), size()), Qt::black);
        if (m_player.frameAt(m_clock.elapsed(), localNow(), m_frame))
            painter.drawImage(QRect(0, 0, m_frame.width() * m_scale, m_frame.height() * m_scale),
                              m_frame.image());
    }

private:
    void rebuild()
    {
        m_seenRequests = m_card.requestCount();
        m_player = cardPlayer(m_card);
        m_clock.start();
        const ScreenParams params = m_card.screenParams();
        const QSize size(std::max(params.screenWidth(), 16) * m_scale,
                         std::max(params.screenHeight(), 16) * m_scale);
        if (this->size() != size)
            resize(size);
    }

    VirtualCard &m_card;
    int m_scale;
    int m_seenRequests = -1;
    Playback::Player m_player;
    PageBitmap m_frame;
    QElapsedTimer m_clock;
    QTimer m_frameTimer;
    QTimer m_pollTimer;
};

} // namespace

int runCardShow(VirtualCard &card, StopRequest &stop, int scale)
{
    CardShowWindow window(card, std::clamp(scale, 1, 16));
    window.show();
    int exitCode = 0;
    QTimer watch;
    watch.setInterval(200);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (stop.wait(0)) {
            QGuiApplication::quit();
        } else if (card.hasDropped()) {
            std::fprintf(stderr, "brivane-cardsim: the line was dropped\n");
            exitCode = 3;
            QGuiApplication::quit();
        }
    });
    watch.start();
    QGuiApplication::exec();
    return exitCode;
}
