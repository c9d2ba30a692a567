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

void PageBitmap::release() { m_image = QImage(); }

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
    // Clip the source rectangle to the source raster, moving the destination along.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    w = qMin(w, src.m_image.width() - sx);
    h = qMin(h, src.m_image.height() - sy);
    // Clip the destination rectangle, moving the source along.
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = qMin(w, m_image.width() - dx);
    h = qMin(h, m_image.height() - dy);
    if (w <= 0 || h <= 0)
        return;
    for (int row = 0; row < h; ++row) {
        const auto *from = reinterpret_cast<const QRgb *>(src.m_image.constScanLine(sy + row)) + sx;
        auto *to = reinterpret_cast<QRgb *>(m_image.scanLine(dy + row)) + dx;
        std::copy(from, from + w, to);
    }
}

void PageBitmap::stretchFrom(const PageBitmap &src, int dx, int dy, int dw, int dh, int sx,
                             int sy, int sw, int sh)
{
    if (m_image.isNull() || src.m_image.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    QPainter painter(&m_image);
    painter.drawImage(QRect(dx, dy, dw, dh), src.m_image, QRect(sx, sy, sw, sh));
}
