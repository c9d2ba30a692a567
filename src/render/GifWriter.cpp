#include "render/GifWriter.h"
#include "base/Language.h"

#include "render/PageBitmap.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace {

// Palette: the four LED colours, the dim grey of an unlit LED in the dot
// look, padded to a power of two.
constexpr int kPaletteSize = 8;
constexpr GifColorType kPalette[kPaletteSize] = {
    {0, 0, 0},    {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {40, 40, 40}, {0, 0, 0},   {0, 0, 0},   {0, 0, 0},
};
constexpr GifPixelType kUnlit = 4;
// GIF sizes are 16-bit.
constexpr int kMaxSide = 65535;

int writeToDevice(GifFileType *gif, const GifByteType *data, int length)
{
    auto *device = static_cast<QIODevice *>(gif->UserData);
    return int(device->write(reinterpret_cast<const char *>(data), length));
}

// Palette index of an LED colour (anything not lit counts as black).
char ledIndex(QRgb c)
{
    return char((qRed(c) >= 128 ? 1 : 0) | (qGreen(c) >= 128 ? 2 : 0));
}

} // namespace

struct GifWriter::Gif {
    GifFileType *file = nullptr;
    ~Gif()
    {
        if (file)
            EGifCloseFile(file, nullptr);
    }
};

GifWriter::GifWriter() = default;

GifWriter::~GifWriter() = default;

bool GifWriter::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool GifWriter::open(QIODevice *device, int width, int height, const Options &options)
{
    m_gif.reset();
    m_pending.clear();
    m_shown.clear();
    m_pendingMs = m_totalMs = m_writtenCs = 0;
    m_written = 0;
    if (!device || !device->isWritable())
        return fail(trEn("Playback", "the output is not open for writing"));
    if (options.scale < 1 || options.scale > kMaxScale)
        return fail(trEn("Playback", "scale must be 1 to %1").arg(kMaxScale));
    if (width <= 0 || height <= 0 || qint64(width) * options.scale > kMaxSide ||
        qint64(height) * options.scale > kMaxSide)
        return fail(trEn("Playback", "a GIF cannot hold %1 x %2 at scale %3")
                        .arg(width)
                        .arg(height)
                        .arg(options.scale));
    m_options = options;
    m_width = width;
    m_height = height;
    int error = 0;
    auto gif = std::make_unique<Gif>();
    gif->file = EGifOpen(device, writeToDevice, &error);
    if (!gif->file)
        return fail(QString::fromUtf8(GifErrorString(error)));
    ColorMapObject *map = GifMakeMapObject(kPaletteSize, kPalette);
    EGifSetGifVersion(gif->file, true);
    const int put =
        EGifPutScreenDesc(gif->file, width * options.scale, height * options.scale, 3, 0, map);
    GifFreeMapObject(map);
    if (put != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(gif->file->Error)));
    // Loop for ever.
    static const unsigned char kLoop[3] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif->file, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif->file, 11, "NETSCAPE2.0") != GIF_OK ||
        EGifPutExtensionBlock(gif->file, 3, kLoop) != GIF_OK ||
        EGifPutExtensionTrailer(gif->file) != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(gif->file->Error)));
    m_gif = std::move(gif);
    m_error.clear();
    return true;
}

bool GifWriter::addFrame(const PageBitmap &frame, int delayMs)
{
    if (!m_gif)
        return fail(trEn("Playback", "the GIF is not open"));
    if (frame.width() != m_width || frame.height() != m_height || frame.isNull())
        return fail(trEn("Playback", "a frame of another size"));
    QByteArray indices(qsizetype(m_width) * m_height, Qt::Uninitialized);
    const QImage &image = frame.image();
    for (int y = 0; y < m_height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        char *out = indices.data() + qsizetype(y) * m_width;
        for (int x = 0; x < m_width; ++x)
            out[x] = ledIndex(row[x]);
    }
    if (!m_pending.isEmpty() && indices == m_pending) {
        m_pendingMs += std::max(delayMs, 0);
        return true;
    }
    if (!flushPending())
        return false;
    m_pending = std::move(indices);
    m_pendingMs = std::max(delayMs, 0);
    return true;
}

bool GifWriter::flushPending()
{
    if (m_pending.isEmpty())
        return true;
    // The changed rectangle, in LEDs; the first frame is stored whole.
    int x0 = 0, y0 = 0, x1 = m_width, y1 = m_height;
    if (m_shown.size() == m_pending.size()) {
        x0 = m_width;
        y0 = m_height;
        x1 = y1 = 0;
        for (int y = 0; y < m_height; ++y) {
            const char *a = m_pending.constData() + qsizetype(y) * m_width;
            const char *b = m_shown.constData() + qsizetype(y) * m_width;
            if (std::memcmp(a, b, size_t(m_width)) == 0)
                continue;
            y0 = std::min(y0, y);
            y1 = y + 1;
            int l = 0;
            while (a[l] == b[l])
                ++l;
            int r = m_width - 1;
            while (a[r] == b[r])
                --r;
            x0 = std::min(x0, l);
            x1 = std::max(x1, r + 1);
        }
        if (x1 <= x0) { // only the delay changed: a 1 x 1 frame of the same pixel
            x0 = y0 = 0;
            x1 = y1 = 1;
        }
    }
    m_totalMs += m_pendingMs;
    const qint64 untilCs = (m_totalMs + 5) / 10;
    const int delayCs = int(std::clamp<qint64>(untilCs - m_writtenCs, 0, 65535));
    m_writtenCs += delayCs;

    GifFileType *gif = m_gif->file;
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = delayCs;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&gcb, extension);
    const int k = m_options.scale;
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) != GIF_OK ||
        EGifPutImageDesc(gif, x0 * k, y0 * k, (x1 - x0) * k, (y1 - y0) * k, false, nullptr) !=
            GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(gif->Error)));

    // The dot of an LED in its k x k cell: a disc leaving a dark gap.
    const bool dots = m_options.dots && k >= 3;
    std::vector<bool> inDot(size_t(k) * k, true);
    if (dots) {
        const double radius = (k - 1) / 2.0;
        for (int cy = 0; cy < k; ++cy) {
            for (int cx = 0; cx < k; ++cx) {
                const double dx = cx + 0.5 - k / 2.0;
                const double dy = cy + 0.5 - k / 2.0;
                inDot[size_t(cy * k + cx)] = dx * dx + dy * dy <= radius * radius;
            }
        }
    }
    std::vector<GifPixelType> line(size_t((x1 - x0) * k));
    for (int y = y0; y < y1; ++y) {
        const char *leds = m_pending.constData() + qsizetype(y) * m_width;
        for (int cy = 0; cy < k; ++cy) {
            for (int x = x0; x < x1; ++x) {
                const auto led = GifPixelType(leds[x]);
                for (int cx = 0; cx < k; ++cx) {
                    GifPixelType v = led;
                    if (dots)
                        v = inDot[size_t(cy * k + cx)] ? (led ? led : kUnlit) : 0;
                    line[size_t((x - x0) * k + cx)] = v;
                }
            }
            if (EGifPutLine(gif, line.data(), int(line.size())) != GIF_OK)
                return fail(QString::fromUtf8(GifErrorString(gif->Error)));
        }
    }
    m_shown = m_pending;
    m_pending.clear();
    m_pendingMs = 0;
    ++m_written;
    return true;
}

bool GifWriter::close()
{
    if (!m_gif)
        return fail(trEn("Playback", "the GIF is not open"));
    const bool flushed = flushPending();
    int error = 0;
    const int closed = EGifCloseFile(m_gif->file, &error);
    m_gif->file = nullptr;
    m_gif.reset();
    if (!flushed)
        return false;
    if (closed != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(error)));
    return true;
}
