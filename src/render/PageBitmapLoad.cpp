// PageBitmap::loadFromFile: image decoding for picture programs.
#include "render/PageBitmap.h"

#include <QFileInfo>
#include <QImageReader>
#include <cstdint>

namespace {

// Decoding stops for images whose raster would need more than this: image
// files come from anywhere, and a few bytes can claim enormous dimensions.
constexpr int kAllocationLimitMb = 256;

} // namespace

bool PageBitmap::loadFromFile(const QString &path)
{
    // Only regular files are decoded: reading a FIFO or a device such as
    // /dev/zero could block or never end. Long paths are fine (no 260
    // character limit here).
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize claimed = reader.size();
    if (claimed.isValid() &&
        int64_t(claimed.width()) * claimed.height() * 4 > (int64_t(kAllocationLimitMb) << 20))
        return false;
    // The first frame of a multi-frame file.
    const QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() <= 0 || decoded.height() <= 0)
        return false;
    QImage raster;
    if (decoded.hasAlphaChannel()) {
        // Drawn over black: premultiplied colour is the blended colour.
        raster = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (raster.isNull())
            return false;
        const int width = raster.width();
        const int height = raster.height();
        for (int y = 0; y < height; ++y) {
            auto *row = reinterpret_cast<QRgb *>(raster.scanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] |= 0xFF000000u;
        }
        raster.reinterpretAsFormat(QImage::Format_RGB32);
    } else {
        raster = decoded.convertToFormat(QImage::Format_RGB32);
    }
    if (raster.isNull())
        return false;
    m_image = std::move(raster);
    m_bounds = QRect(0, 0, m_image.width(), m_image.height());
    return true;
}
