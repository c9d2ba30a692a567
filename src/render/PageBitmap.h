#pragma once
// One page raster: the currency of rendering. Items own their pages; the
// preview and the upload borrow them. Pixels travel as 0x00BBGGRR values
// (red in the low byte); a page's pixels are exactly black, red, green or
// yellow once a renderer has finished with it.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <cstdint>
#include <functional>

class QPainter;

namespace LedColor {
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Yellow = 0x00FFFF;

// The lamps a page pixel lights, as the card's bit image packs it: on a
// single-colour sign (one plane) the red lamp where blue + 2 x red > 50, green
// not counting; on a red-and-green sign (two planes) the red lamp from red 50
// and the green lamp from green 50.
constexpr bool litRed(int r, int b, int planes)
{
    return planes == 1 ? b + 2 * r > 50 : r >= 50;
}
constexpr bool litGreen(int g, int planes)
{
    return planes != 1 && g >= 50;
}
// The colour a sign of `planes` colour planes shows for the pixel bgr.
constexpr uint32_t shownOn(uint32_t bgr, int planes)
{
    const int r = int(bgr & 0xFF), g = int((bgr >> 8) & 0xFF), b = int((bgr >> 16) & 0xFF);
    return (litRed(r, b, planes) ? Red : Black) | (litGreen(g, planes) ? Green : Black);
}
// Every pixel of an RGB32 image (a page, a preview) as that sign shows it.
void showOnSign(QImage &image, int planes);
} // namespace LedColor

class PageBitmap {
public:
    PageBitmap() = default;
    PageBitmap(const PageBitmap &) = default;
    PageBitmap &operator=(const PageBitmap &) = default;
    PageBitmap(PageBitmap &&) noexcept = default;
    PageBitmap &operator=(PageBitmap &&) noexcept = default;
    ~PageBitmap() = default;

    // Fails without changing anything when width or height is not positive;
    // otherwise replaces the raster by a black one of that size.
    bool create(int width, int height);
    // Frees the raster; bounds stay as they were.
    void release();

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_bounds.width(); }
    int height() const { return m_bounds.height(); }
    QRect bounds() const { return m_bounds; }

    // 0x00BBGGRR; 0 outside the raster.
    uint32_t pixel(int x, int y) const;
    // Ignored outside the raster.
    void setPixel(int x, int y, uint32_t bgr);

    void fillBlack();
    // Copies src's rectangle (sx, sy, w, h) 1:1 to (dx, dy), clipped at both
    // rasters' edges; negative offsets are allowed.
    void copyFrom(const PageBitmap &src, int dx, int dy, int sx, int sy, int w, int h);
    // Stretches src's rectangle onto the rectangle (dx, dy, dw, dh).
    void stretchFrom(const PageBitmap &src, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                     int sh);

    // Decodes the first frame of an image file into a raster of the image's
    // size, transparent parts blended over black. False (nothing changed)
    // when the path is not a regular file or the image cannot be decoded
    // within the allocation limit. With fitInto given, an image whose whole
    // raster would take more than kScaleWhileReadingBytes is decoded at
    // fitInto instead, scaled while it is read where the format's reader
    // can (PNG, JPEG), so the whole raster is never held. Defined in
    // PageBitmapLoad.cpp.
    // wholeLimit replaces that threshold (tests lower it).
    static constexpr qint64 kScaleWhileReadingBytes = qint64(64) << 20;
    bool loadFromFile(const QString &path, QSize fitInto = QSize(),
                      qint64 wholeLimit = kScaleWhileReadingBytes);
    // For an image used 1:1 where only part of it can show: decodes like
    // loadFromFile, except that an image whose whole raster would take more
    // than wholeLimit is decoded only within region(image size), clipped to
    // the image, where the format allows (PNG rows cropped as they are read,
    // readers with clip support). The result is the pixels the whole decode
    // gives there. imageSize is set to the whole image's size and held to
    // the rectangle of it the raster holds (the whole image otherwise).
    bool loadRegionFromFile(const QString &path, const std::function<QRect(QSize)> &region,
                            QSize &imageSize, QRect &held,
                            qint64 wholeLimit = kScaleWhileReadingBytes);
    // The formats (QImageReader's names) accepted as pictures: the six the
    // picture dialog offers and the other raster formats Qt decodes from a
    // header-sized image in bounded time. Vector formats (SVG) are not: a
    // small file can take minutes to draw.
    static const QList<QByteArray> &pictureFormats();
    // Empty when the file is a picture loadFromFile decodes; otherwise why
    // not, for the user (the detected format, or that none was found).
    static QString pictureFormatProblem(const QString &path);
    // Empty when the file is a picture that decodes (it is decoded once,
    // scaled down where that saves memory); otherwise why not, for the user:
    // the format problem, a size over the decoding limit, or a broken file.
    static QString pictureProblem(const QString &path);

    // The raster (Format_RGB32) for painting with QPainter and for display.
    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

    static uint32_t toBgr(QRgb rgb)
    {
        return uint32_t(qRed(rgb)) | (uint32_t(qGreen(rgb)) << 8) | (uint32_t(qBlue(rgb)) << 16);
    }
    static QRgb toRgb(uint32_t bgr)
    {
        return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    }

private:
    // Takes a decoded raster as RGB32, transparent parts blended over black.
    bool adoptDecoded(QImage raster);

    QRect m_bounds;
    QImage m_image;
};
