#include "render/PageBitmap.h"

#include <QPainter>

bool PageBitmap::create(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::black);
    m_image = std::move(image);
    m_bounds = QRect(0, 0, width, height);
    return true;
}

void PageBitmap::release()
{
    m_image = QImage();
}

uint32_t PageBitmap::pixel(int x, int y) const
{
    if (m_image.isNull() || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return 0;
    return toBgr(reinterpret_cast<const QRgb *>(m_image.constScanLine(y))[x]);
}

void PageBitmap::setPixel(int x, int y, uint32_t bgr)
{
    if (m_image.isNull() || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return;
    reinterpret_cast<QRgb *>(m_image.scanLine(y))[x] = toRgb(bgr);
}

void PageBitmap::fillBlack()
{
    if (!m_image.isNull())
        m_image.fill(Qt::black);
}

void PageBitmap::copyFrom(const PageBitmap &src, int dx, int dy, int sx, int sy, int w, int h)
{
    if (m_image.isNull() || src.m_image.isNull() || w <= 0 || h <= 0)
        return;
    // Clipping runs in 64 bits so that extreme offsets cannot overflow.
    qint64 x0 = dx, y0 = dy, u0 = sx, v0 = sy, cw = w, ch = h;
    // Clip the source rectangle to the source raster, moving the destination along.
    if (u0 < 0) {
        x0 -= u0;
        cw += u0;
        u0 = 0;
    }
    if (v0 < 0) {
        y0 -= v0;
        ch += v0;
        v0 = 0;
    }
    cw = qMin<qint64>(cw, src.m_image.width() - u0);
    ch = qMin<qint64>(ch, src.m_image.height() - v0);
    // Clip the destination rectangle, moving the source along.
    if (x0 < 0) {
        u0 -= x0;
        cw += x0;
        x0 = 0;
    }
    if (y0 < 0) {
        v0 -= y0;
        ch += y0;
        y0 = 0;
    }
    cw = qMin<qint64>(cw, m_image.width() - x0);
    ch = qMin<qint64>(ch, m_image.height() - y0);
    if (cw <= 0 || ch <= 0)
        return;
    // Copy through a detached source when both are the same raster.
    const QImage from = src.m_image;
    for (qint64 row = 0; row < ch; ++row) {
        const auto *in = reinterpret_cast<const QRgb *>(from.constScanLine(int(v0 + row))) + u0;
        auto *out = reinterpret_cast<QRgb *>(m_image.scanLine(int(y0 + row))) + x0;
        std::copy(in, in + cw, out);
    }
}

void PageBitmap::stretchFrom(const PageBitmap &src, int dx, int dy, int dw, int dh, int sx, int sy,
                             int sw, int sh)
{
    if (m_image.isNull() || src.m_image.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    const QImage from = src.m_image;
    QPainter painter(&m_image);
    painter.drawImage(QRect(dx, dy, dw, dh), from, QRect(sx, sy, sw, sh));
}

void LedColor::showOnSign(QImage &image, int planes)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = PageBitmap::toRgb(shownOn(PageBitmap::toBgr(row[x]), planes));
    }
}
