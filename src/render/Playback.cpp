#include "render/Playback.h"

#include "render/DialClock.h"
#include "render/EntryAnimation.h"

#include <QFont>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace Playback {
namespace {

// How the card plays, as we assume it: no document of the card gives these
// numbers; they are chosen so that each effect reads as its name says on a
// 256 x 32 sign and can be tuned here against a real one. Everything the
// player times comes from this table.
struct Timing {
    // Frames per second of every animation we draw: 50.
    int frameIntervalMs;
    // One step of an entry animation for speed 0 (slowest) .. 15 (fastest).
    // A step moves a text one pixel, opens one more column or row of a
    // wipe, or advances a blind, mosaic or rain pattern by one stage.
    int stepMs[16];
    // A stay of 0 after a moving entry ("左移", "右移", "上移", "下移",
    // "连续左移"): the next page follows at once, so a text cut into a band
    // of pages runs through without a stop.
    int zeroStayMovingMs;
    // A stay of 0 after any other entry: the page is held this long so that
    // it can be read before the next one comes in.
    int zeroStayOtherMs;
    // Flashing: on and off (or normal and inverse) phases of this length
    // during the first flashInterval seconds of a stay; the rest of the
    // stay is steady.
    int flashPhaseMs;
    // Running borders: one step of a walking pattern ("单点", "四点") and
    // one phase of a flashing one ("八点", "全"), fast and slow.
    int borderWalkFastMs;
    int borderWalkSlowMs;
    int borderBlinkFastMs;
    int borderBlinkSlowMs;
    // Length of the repeating pattern along the border: one dot, four dots
    // or eight dots of it are lit.
    int borderPeriod;
    // Blinds: slat size in pixels, and steps to open a slat.
    int blindSlat;
    int blindSteps;
    // Mosaic: block size in pixels, and steps until every block is shown.
    int mosaicBlock;
    int mosaicSteps;
    // "连续左移" holds only its last page for the stay; the pages before
    // it follow each other at once, as one continuous run.
    bool continuousHoldsLastOnly;
};

constexpr Timing kPlaybackTiming{
    20,   {60, 50, 42, 36, 31, 27, 24, 21, 18, 16, 14, 12, 10, 9, 8, 6},
    0,    1000,
    250,  40,
    120,  200,
    500,  8,
    8,    32,
    4,    40,
    true,
};

using namespace EntryAnimation;

int normalAction(int action)
{
    return action >= kFirst && action <= kLast ? action : Instant;
}

bool isMovingEntry(int action)
{
    return (action >= MoveLeft && action <= MoveDown) || action == ContinuousLeft;
}

// Steps of an entry on a content area of w x h.
int entrySteps(int action, int w, int h)
{
    switch (action) {
    case MoveLeft:
    case MoveRight:
    case ContinuousLeft:
    case UnfoldRight:
    case CrossHorizontal:
        return w;
    case MoveUp:
    case MoveDown:
    case UnfoldDown:
    case CrossVertical:
        return h;
    case SplitHorizontal:
        return (w + 1) / 2;
    case BlindsHorizontal:
    case BlindsVertical:
        return kPlaybackTiming.blindSteps;
    case Diamond:
        return std::max(w / 2, w - 1 - w / 2) + std::max(h / 2, h - 1 - h / 2) + 1;
    case SlantDown:
    case SlantLeft:
    case Rain:
        return 2 * h;
    case Mosaic:
        return kPlaybackTiming.mosaicSteps;
    default:
        return 0;
    }
}

uint32_t mix(uint32_t a)
{
    a ^= a >> 16;
    a *= 0x7feb352dU;
    a ^= a >> 15;
    a *= 0x846ca68bU;
    a ^= a >> 16;
    return a;
}

uint32_t patternHash(uint32_t seed, int page, int x, int y)
{
    return mix(mix(mix(seed) ^ uint32_t(page)) ^ uint32_t(x) * 0x9E3779B9U ^ uint32_t(y));
}

// A seeded scatter of 0..n-1 over itself: i -> (a i + c) mod n, a near the
// golden section of n and coprime to it, so neighbours land far apart and
// every rank is taken exactly once.
struct Scatter {
    qint64 n = 1, a = 1, c = 0;
    Scatter(uint32_t seed, int page, int count) : n(std::max(count, 1))
    {
        const uint32_t h = patternHash(seed, page, count, 0);
        a = std::max<qint64>(1, qint64(double(n) * 0.6180339887)) + qint64(h % 7);
        while (std::gcd(a, n) != 1)
            ++a;
        c = qint64(h % uint32_t(n));
    }
    int rank(int i) const { return int((a * i + c) % n); }
};

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kYellow = 0xFFFFFF00;

// Nearest LED colour: a channel is lit from half its range; blue is dark.
// A single-colour sign shows what its one plane lights, in red.
QRgb snapToLed(QRgb c, int planes)
{
    if (planes == 1)
        return kBlack | PageBitmap::toRgb(LedColor::shownOn(PageBitmap::toBgr(c), 1));
    return kBlack | (qRed(c) >= 128 ? 0xFF0000U : 0U) | (qGreen(c) >= 128 ? 0x00FF00U : 0U);
}

// A raster as rows of 32-bit pixels.
struct Raster {
    uint32_t *bits = nullptr;
    qsizetype stride = 0; // pixels
    int width = 0;
    int height = 0;
    uint32_t *row(int y) const { return bits + y * stride; }
};

Raster rasterOf(QImage &image)
{
    return {reinterpret_cast<uint32_t *>(image.bits()), image.bytesPerLine() / 4, image.width(),
            image.height()};
}

Raster rasterOf(const QImage &image)
{
    // Read-only use: constBits never detaches.
    return {const_cast<uint32_t *>(reinterpret_cast<const uint32_t *>(image.constBits())),
            image.bytesPerLine() / 4, image.width(), image.height()};
}

// Copies src's rectangle (sx, sy, w, h) to (dx, dy) of dst, clipped.
void blit(const Raster &dst, int dx, int dy, const Raster &src, int sx, int sy, int w, int h)
{
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min({w, src.width - sx, dst.width - dx});
    h = std::min({h, src.height - sy, dst.height - dy});
    if (w <= 0 || h <= 0)
        return;
    for (int y = 0; y < h; ++y)
        std::memcpy(dst.row(dy + y) + dx, src.row(sy + y) + sx, size_t(w) * 4);
}

// Whole raster src placed at (dx, dy).
void place(const Raster &dst, const Raster &src, int dx, int dy)
{
    blit(dst, dx, dy, src, 0, 0, src.width, src.height);
}

// Columns [x0, x1) of row y from src (same coordinates).
void span(const Raster &dst, const Raster &src, int y, int x0, int x1)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, dst.width);
    if (x1 > x0)
        std::memcpy(dst.row(y) + x0, src.row(y) + x0, size_t(x1 - x0) * 4);
}

// Column x shows the bottom fall[x] rows of `now` at its top (row by row,
// for the cache).
void dropColumns(const Raster &dst, const Raster &now, const std::vector<int> &fall)
{
    const int h = dst.height;
    for (int y = 0; y < h; ++y) {
        uint32_t *out = dst.row(y);
        for (int x = 0; x < dst.width; ++x) {
            const int f = fall[size_t(x)];
            if (y < f)
                out[x] = now.row(y + h - f)[x];
        }
    }
}

// The content area during step k of s of an entry from `was` to `now`,
// all three w x h.
void composeEntry(int action, int k, int s, const Raster &dst, const Raster &was, const Raster &now,
                  uint32_t seed, int page)
{
    const int w = dst.width;
    const int h = dst.height;
    if (k >= s || action == Instant) {
        place(dst, now, 0, 0);
        return;
    }
    place(dst, was, 0, 0);
    switch (action) {
    case MoveLeft:
    case ContinuousLeft:
        place(dst, was, -k, 0);
        place(dst, now, w - k, 0);
        break;
    case MoveRight:
        place(dst, was, k, 0);
        place(dst, now, k - w, 0);
        break;
    case MoveUp:
        place(dst, was, 0, -k);
        place(dst, now, 0, h - k);
        break;
    case MoveDown:
        place(dst, was, 0, k);
        place(dst, now, 0, k - h);
        break;
    case UnfoldRight:
        blit(dst, 0, 0, now, 0, 0, k, h);
        break;
    case UnfoldDown:
        blit(dst, 0, 0, now, 0, 0, w, k);
        break;
    case SplitHorizontal:
        blit(dst, w / 2 - k, 0, now, w / 2 - k, 0, 2 * k, h);
        break;
    case BlindsHorizontal: {
        const int open = (k * kPlaybackTiming.blindSlat + s - 1) / s;
        for (int y = 0; y < h; ++y) {
            if (y % kPlaybackTiming.blindSlat < open)
                span(dst, now, y, 0, w);
        }
        break;
    }
    case BlindsVertical: {
        const int slat = kPlaybackTiming.blindSlat;
        const int open = (k * slat + s - 1) / s;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; x += slat)
                span(dst, now, y, x, x + open);
        }
        break;
    }
    case CrossVertical:
        // Even columns come down from the top, odd ones up from the bottom.
        for (int y = 0; y < h; ++y) {
            uint32_t *out = dst.row(y);
            const uint32_t *fromTop = y < k ? now.row(y + h - k) : nullptr;
            const uint32_t *fromBottom = y >= h - k ? now.row(y - (h - k)) : nullptr;
            for (int x = 0; x < w; ++x) {
                const uint32_t *src = (x % 2 == 0) ? fromTop : fromBottom;
                if (src)
                    out[x] = src[x];
            }
        }
        break;
    case CrossHorizontal:
        // Even rows open from the left, odd ones from the right.
        for (int y = 0; y < h; ++y) {
            if (y % 2 == 0)
                span(dst, now, y, 0, k);
            else
                span(dst, now, y, w - k, w);
        }
        break;
    case Diamond: {
        const int cx = w / 2;
        const int cy = h / 2;
        for (int y = 0; y < h; ++y) {
            const int r = k - std::abs(y - cy);
            if (r > 0)
                span(dst, now, y, cx - r + 1, cx + r);
        }
        break;
    }
    case SlantDown: {
        // Each column slides down; the columns start one after the other
        // from the left, so the front is slanted.
        std::vector<int> fall(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x)
            fall[size_t(x)] = std::clamp(k - int(qint64(x) * h / w), 0, h);
        dropColumns(dst, now, fall);
        break;
    }
    case SlantLeft:
        // A slanted front sweeps from the top right corner to the left.
        for (int y = 0; y < h; ++y) {
            const qint64 reach = qint64(k - y) * w; // (w - 1 - x) * h < reach
            if (reach <= 0)
                continue;
            const qint64 first = qint64(w - 1) - (reach - 1) / h;
            span(dst, now, y, int(std::max<qint64>(first, 0)), w);
        }
        break;
    case Mosaic: {
        // Blocks come in in a seeded order, an equal share each step.
        const int b = kPlaybackTiming.mosaicBlock;
        const int across = (w + b - 1) / b;
        const int blocks = across * ((h + b - 1) / b);
        const Scatter order(seed, page, blocks);
        const int shown = int((qint64(k) * blocks + s - 1) / s);
        for (int i = 0; i < blocks; ++i) {
            if (order.rank(i) < shown)
                blit(dst, (i % across) * b, (i / across) * b, now, (i % across) * b,
                     (i / across) * b, b, b);
        }
        break;
    }
    case Rain: {
        // Columns run down like drops, each starting after its own delay.
        const Scatter order(seed, page, w);
        std::vector<int> fall(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x)
            fall[size_t(x)] = std::clamp(k - order.rank(x) % h, 0, h);
        dropColumns(dst, now, fall);
        break;
    }
    default:
        place(dst, now, 0, 0);
        break;
    }
}

// Whether a flashing stay shows its "off" phase at `intoStay`.
bool flashOff(const Settings &settings, qint64 intoStay)
{
    if (settings.flash != 1 && settings.flash != 2)
        return false;
    if (intoStay >= qint64(std::max(settings.flashInterval, 0)) * 1000)
        return false;
    return (intoStay / kPlaybackTiming.flashPhaseMs) % 2 == 1;
}

void applyFlash(const Raster &area, int flash, int planes)
{
    for (int y = 0; y < area.height; ++y) {
        uint32_t *row = area.row(y);
        for (int x = 0; x < area.width; ++x) {
            if (flash == 1)
                row[x] = kBlack;
            else if (planes == 1)
                row[x] = row[x] == kBlack ? kRed : kBlack;
            else
                row[x] ^= 0x00FFFF00U; // black <-> yellow, red <-> green
        }
    }
}

// The running border on the outermost ring of the content area, lit dots
// drawn over the page, at `local` ms since the program started.
void drawBorder(const Raster &area, int frame, qint64 local, int planes)
{
    if (frame < 1 || frame > 8 || area.width < 2 || area.height < 2)
        return;
    const Timing &t = kPlaybackTiming;
    const int period = t.borderPeriod;
    const bool walking = frame <= 4;
    const bool fast = frame == 1 || frame == 3 || frame == 5 || frame == 7;
    const qint64 stepMs = walking ? (fast ? t.borderWalkFastMs : t.borderWalkSlowMs)
                                  : (fast ? t.borderBlinkFastMs : t.borderBlinkSlowMs);
    const qint64 phase = local / stepMs;
    const int w = area.width;
    const int h = area.height;
    const int perimeter = 2 * w + 2 * h - 4;
    const uint32_t colour = planes == 1 ? kRed : kYellow;
    const int offset = int(phase % period);
    auto lit = [&](int p) {
        switch (frame) {
        case 1:
        case 2:
            return (p - offset + period) % period == 0;
        case 3:
        case 4:
            return (p - offset + period) % period < period / 2;
        case 5:
        case 6:
            return ((p / period) + phase) % 2 == 0;
        default:
            return phase % 2 == 0;
        }
    };
    // Clockwise from the top left corner.
    for (int p = 0; p < perimeter; ++p) {
        if (!lit(p))
            continue;
        int x, y;
        if (p < w) {
            x = p;
            y = 0;
        } else if (p < w + h - 1) {
            x = w - 1;
            y = p - w + 1;
        } else if (p < 2 * w + h - 2) {
            x = w - 1 - (p - (w + h - 2));
            y = h - 1;
        } else {
            x = 0;
            y = h - 1 - (p - (2 * w + h - 3));
        }
        area.row(y)[x] = colour;
    }
}

// The text clock: the time, and the date and weekday when there is room,
// one 16-pixel line each, centred in the zone.
void drawTextClock(PageBitmap &out, int zoneWidth, const QDateTime &clock)
{
    const int h = out.height();
    if (zoneWidth <= 0 || h <= 0)
        return;
    static const QString kWeekdays[7] = {QStringLiteral("星期一"), QStringLiteral("星期二"),
                                         QStringLiteral("星期三"), QStringLiteral("星期四"),
                                         QStringLiteral("星期五"), QStringLiteral("星期六"),
                                         QStringLiteral("星期日")};
    const int lineHeight = 16;
    const QDate date = clock.date();
    QStringList lines;
    if (h >= 3 * lineHeight && date.isValid())
        lines << kWeekdays[std::clamp(date.dayOfWeek(), 1, 7) - 1];
    if (h >= 2 * lineHeight && date.isValid())
        lines << QStringLiteral("%1月%2日")
                     .arg(date.month(), 2, 10, QLatin1Char('0'))
                     .arg(date.day(), 2, 10, QLatin1Char('0'));
    lines << clock.time().toString(QStringLiteral("HH:mm:ss"));

    QImage zone(zoneWidth, h, QImage::Format_RGB32);
    zone.fill(Qt::black);
    {
        QPainter painter(&zone);
        QFont font(QStringLiteral("Unifont"));
        font.setPixelSize(lineHeight);
        font.setStyleStrategy(QFont::NoAntialias);
        font.setHintingPreference(QFont::PreferFullHinting);
        painter.setFont(font);
        painter.setPen(QColor(255, 0, 0));
        int y = (h - int(lines.size()) * lineHeight) / 2;
        for (const QString &line : lines) {
            painter.drawText(QRect(0, y, zoneWidth, lineHeight), Qt::AlignCenter, line);
            y += lineHeight;
        }
    }
    Raster dst = rasterOf(out.image());
    const Raster src = rasterOf(std::as_const(zone));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < std::min(zoneWidth, dst.width); ++x)
            dst.row(y)[x] = snapToLed(src.row(y)[x], 2);
    }
}

// A page of exactly w x h in LED colours: cropped or padded with black.
PageBitmap normalPage(const PageBitmap &page, int w, int h, int planes)
{
    if (page.width() == w && page.height() == h && !page.isNull()) {
        const QImage &image = page.image();
        bool clean = image.format() == QImage::Format_RGB32;
        const Raster r = rasterOf(image);
        for (int y = 0; clean && y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (snapToLed(r.row(y)[x], planes) != r.row(y)[x]) {
                    clean = false;
                    break;
                }
            }
        }
        if (clean)
            return page;
    }
    PageBitmap out;
    out.create(w, h);
    if (!page.isNull()) {
        out.copyFrom(page, 0, 0, 0, 0, w, h);
        Raster r = rasterOf(out.image());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                r.row(y)[x] = snapToLed(r.row(y)[x], planes);
        }
    }
    return out;
}

} // namespace

namespace {
// Border code of each frame value "无", "单点快走", ... "全慢闪".
constexpr int kBorderCodes[9] = {0x00, 0x10, 0x50, 0x30, 0x70, 0x20, 0x40, 0x60, 0x80};
} // namespace

int borderCodeOfFrame(int frame)
{
    return frame >= 1 && frame <= 8 ? kBorderCodes[frame] : 0;
}

int frameOfBorderCode(int code)
{
    for (int frame = 1; frame <= 8; ++frame) {
        if (kBorderCodes[frame] == code)
            return frame;
    }
    return 0;
}

int frameIntervalMs()
{
    return kPlaybackTiming.frameIntervalMs;
}

Player::Player(const Screen &screen, std::vector<Program> programs) : m_screen(screen)
{
    const int sw = std::max(screen.width, 0);
    const int h = std::max(screen.height, 0);
    for (Program &program : programs) {
        Entry entry;
        Settings &s = program.settings;
        s.action = normalAction(s.action);
        s.speed = std::clamp(s.speed, 0, 15);
        entry.contentX = std::clamp(s.clockZoneWidth, 0, sw);
        s.clockZoneWidth = entry.contentX;
        entry.contentWidth = sw - entry.contentX;
        if (entry.contentWidth > 0 && h > 0) {
            for (const PageBitmap &page : program.pages)
                entry.program.pages.push_back(
                    normalPage(page, entry.contentWidth, h, m_screen.planes));
        }
        entry.program.settings = s;
        const int steps = entrySteps(s.action, entry.contentWidth, h);
        const int stepMs = kPlaybackTiming.stepMs[s.speed];
        const qint64 stay = s.stayTime > 0            ? qint64(s.stayTime) * 1000
                            : isMovingEntry(s.action) ? kPlaybackTiming.zeroStayMovingMs
                                                      : kPlaybackTiming.zeroStayOtherMs;
        qint64 at = 0;
        const int count = int(entry.program.pages.size());
        for (int i = 0; i < count; ++i) {
            Page page;
            page.start = at;
            page.steps = steps;
            page.stepMs = stepMs;
            page.entryMs = qint64(steps) * stepMs;
            const bool heldOnlyAtEnd =
                kPlaybackTiming.continuousHoldsLastOnly && s.action == ContinuousLeft;
            page.stayMs = (heldOnlyAtEnd && i + 1 < count) ? 0 : stay;
            at += page.entryMs + page.stayMs;
            entry.timeline.push_back(page);
        }
        entry.duration = at;
        entry.start = m_total;
        m_total += at;
        m_programs.push_back(std::move(entry));
    }
    // What each program comes in over: the content area of the screen as
    // the program before it (cyclically) left it.
    const int n = int(m_programs.size());
    for (int i = 0; i < n; ++i) {
        Entry &entry = m_programs[size_t(i)];
        if (entry.contentWidth <= 0 || h <= 0)
            continue;
        entry.before.create(entry.contentWidth, h);
        // A program alone in the list comes in over a dark screen, so that
        // its effect shows; a moving one runs on over its own end, as a
        // ticker does.
        if (n == 1 && !isMovingEntry(entry.program.settings.action))
            continue;
        for (int back = 1; back <= n; ++back) {
            const Entry &prev = m_programs[size_t((i - back + n) % n)];
            if (prev.program.pages.empty())
                continue;
            entry.before.copyFrom(prev.program.pages.back(), prev.contentX - entry.contentX, 0, 0,
                                  0, prev.contentWidth, h);
            break;
        }
    }
}

qint64 Player::programDuration(int program) const
{
    return program >= 0 && program < programCount() ? m_programs[size_t(program)].duration : 0;
}

qint64 Player::programStart(int program) const
{
    return program >= 0 && program < programCount() ? m_programs[size_t(program)].start : 0;
}

bool Player::locate(qint64 t, int *program, qint64 *local) const
{
    if (m_total <= 0)
        return false;
    t %= m_total;
    if (t < 0)
        t += m_total;
    for (int i = 0; i < programCount(); ++i) {
        const Entry &entry = m_programs[size_t(i)];
        if (entry.duration > 0 && t < entry.start + entry.duration) {
            *program = i;
            *local = t - entry.start;
            return true;
        }
    }
    return false;
}

int Player::programAt(qint64 t) const
{
    int program = -1;
    qint64 local = 0;
    return locate(t, &program, &local) ? program : -1;
}

int Player::pageIndex(const Entry &entry, qint64 local)
{
    const auto &timeline = entry.timeline;
    auto it = std::upper_bound(timeline.begin(), timeline.end(), local,
                               [](qint64 v, const Page &p) { return v < p.start; });
    return int(std::max<std::ptrdiff_t>(it - timeline.begin() - 1, 0));
}

int Player::pageAt(qint64 t) const
{
    int program = -1;
    qint64 local = 0;
    if (!locate(t, &program, &local))
        return -1;
    return pageIndex(m_programs[size_t(program)], local);
}

int Player::pageCount(int program) const
{
    return program >= 0 && program < programCount()
               ? int(m_programs[size_t(program)].timeline.size())
               : 0;
}

Player::PageTime Player::pageTime(int program, int page) const
{
    if (page < 0 || page >= pageCount(program))
        return {};
    return m_programs[size_t(program)].timeline[size_t(page)];
}

void Player::composeContent(const Entry &entry, qint64 local, PageBitmap &out) const
{
    const int index = pageIndex(entry, local);
    const Page &page = entry.timeline[size_t(index)];
    const Settings &s = entry.program.settings;
    const Raster now = rasterOf(entry.program.pages[size_t(index)].image());
    const Raster was =
        rasterOf(index > 0 ? entry.program.pages[size_t(index - 1)].image() : entry.before.image());
    Raster full = rasterOf(out.image());
    Raster area{full.bits + entry.contentX, full.stride, entry.contentWidth, full.height};
    const qint64 into = local - page.start;
    if (into < page.entryMs) {
        const int k = int(std::min<qint64>(into / page.stepMs + 1, page.steps));
        composeEntry(s.action, k, page.steps, area, was, now, s.seed, index);
    } else {
        place(area, now, 0, 0);
        if (flashOff(s, into - page.entryMs))
            applyFlash(area, s.flash, m_screen.planes);
    }
    drawBorder(area, s.frame, local, m_screen.planes);
}

bool Player::frameAt(qint64 t, const QDateTime &clock, PageBitmap &out) const
{
    if (m_screen.width <= 0 || m_screen.height <= 0) {
        out = PageBitmap();
        return false;
    }
    if (out.width() != m_screen.width || out.height() != m_screen.height || out.isNull())
        out.create(m_screen.width, m_screen.height);
    int program = -1;
    qint64 local = 0;
    if (!locate(t, &program, &local)) {
        out.fillBlack();
        return false;
    }
    const Entry &entry = m_programs[size_t(program)];
    if (entry.contentX > 0) {
        Raster full = rasterOf(out.image());
        for (int y = 0; y < full.height; ++y)
            std::fill_n(full.row(y), entry.contentX, kBlack);
    }
    composeContent(entry, local, out);
    const Settings &s = entry.program.settings;
    if (s.clock == ClockZone::Dial && entry.contentX > 0)
        DialClock::drawDial(out, 0, 0, entry.contentX, clock.time());
    else if (s.clock == ClockZone::Text && entry.contentX > 0)
        drawTextClock(out, entry.contentX, clock);
    return true;
}

PageBitmap Player::frameAt(qint64 t, const QDateTime &clock) const
{
    PageBitmap out;
    frameAt(t, clock, out);
    return out;
}

} // namespace Playback
