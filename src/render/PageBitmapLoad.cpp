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

const QList<QByteArray> &PageBitmap::pictureFormats()
{
    static const QList<QByteArray> formats = {
        "bmp", "jpeg", "tiff", "gif", "ico", "png", // the picture dialog's six
        "cur", "webp", "pbm",  "pgm", "ppm", "tga", "wbmp",
    };
    return formats;
}

QString PageBitmap::pictureFormatProblem(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QStringLiteral("找不到图片文件“%1”。").arg(path);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return QStringLiteral("无法识别图片文件“%1”的格式。").arg(path);
    if (!pictureFormats().contains(format))
        return QStringLiteral(
                   "不支持 %1 格式的图片，请使用 BMP、JPEG、PNG、GIF、ICO 或 TIFF 图片。")
            .arg(QString::fromLatin1(format.toUpper()));
    return {};
}

bool PageBitmap::loadFromFile(const QString &path, QSize fitInto)
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
    if (!pictureFormats().contains(reader.format()))
        return false;
    const QSize claimed = reader.size();
    if (claimed.isValid() &&
        int64_t(claimed.width()) * claimed.height() * 4 > (int64_t(kAllocationLimitMb) << 20))
        return false;
    // A reader that cannot scale while reading would decode the whole
    // raster and scale a copy: it reads whole, as for smaller images.
    if (fitInto.isValid() && claimed.isValid() &&
        int64_t(claimed.width()) * claimed.height() * 4 > kScaleWhileReadingBytes &&
        reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(fitInto);
    // The first frame of a multi-frame file. Every conversion below works in
    // the decoded raster where the pixel size allows, so a picture near the
    // limit is never held twice.
    QImage raster = reader.read();
    if (raster.isNull() || raster.width() <= 0 || raster.height() <= 0)
        return false;
    if (raster.hasAlphaChannel()) {
        // Drawn over black: premultiplied colour is the blended colour.
        raster.convertTo(QImage::Format_ARGB32_Premultiplied);
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
        raster.convertTo(QImage::Format_RGB32);
    }
    if (raster.isNull())
        return false;
    m_image = std::move(raster);
    m_bounds = QRect(0, 0, m_image.width(), m_image.height());
    return true;
}
