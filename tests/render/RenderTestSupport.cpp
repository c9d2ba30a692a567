#include "render/RenderTestSupport.h"

QImage RenderTest::drawCells(const BdfFont::Spec &font, int width, int height,
                             const std::vector<PlacedLine> &lines, uint32_t bgr, const QRect &clip)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRect visible = clip.intersected(image.rect());
    const int cellHeight = font.ascent + font.descent;
    for (const PlacedLine &line : lines) {
        for (int i = 0; i < line.text.size(); ++i) {
            const int left = line.x + i * font.advance;
            for (int y = 0; y < cellHeight; ++y) {
                for (int x = 0; x < font.advance; ++x) {
                    const QPoint p(left + x, line.y + y);
                    if (visible.contains(p) &&
                        BdfFont::glyphPixel(font, line.text[i].unicode(), x, y))
                        image.setPixel(p, PageBitmap::toRgb(bgr));
                }
            }
        }
    }
    return image;
}

QImage RenderTest::cut(const QImage &band, int width, int height, int dx, int dy, int sx, int sy)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QPoint from(x - dx + sx, y - dy + sy);
            if (band.rect().contains(from))
                image.setPixel(x, y, band.pixel(from));
        }
    }
    return image;
}

QString RenderTest::difference(const PageBitmap &page, const QImage &expected)
{
    if (page.width() != expected.width() || page.height() != expected.height())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(page.width())
            .arg(page.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const uint32_t want = PageBitmap::toBgr(expected.pixel(x, y));
            if (page.pixel(x, y) != want)
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(page.pixel(x, y), 6, 16, QChar(u'0'))
                    .arg(want, 6, 16, QChar(u'0'));
        }
    }
    return {};
}

int RenderTest::litPixels(const PageBitmap &page)
{
    int lit = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            lit += page.pixel(x, y) != 0;
    }
    return lit;
}
