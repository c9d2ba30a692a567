// PageBitmap::loadFromFile: image decoding for picture programs.
#include "render/PageBitmap.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <csetjmp>
#include <cstdint>
#include <png.h>
#include <vector>

namespace {

// Decoding stops for images whose raster would need more than this: image
// files come from anywhere, and a few bytes can claim enormous dimensions.
constexpr int kAllocationLimitMb = 256;
// A cropped PNG read holds one decoded row of the whole width; wider images
// are read by Qt as a whole.
constexpr qint64 kMaxCroppedRowBytes = qint64(16) << 20;

bool overLimit(QSize size, qint64 bytes)
{
    return size.isValid() && int64_t(size.width()) * size.height() * 4 > bytes;
}

// Opens `path` for decoding: false when it is not a regular file in one of
// the picture formats, or when its header claims more than the allocation
// limit.
bool openReader(const QString &path, QImageReader &reader)
{
    // Only regular files are decoded: reading a FIFO or a device such as
    // /dev/zero could block or never end. Long paths are fine (no 260
    // character limit here).
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    reader.setFileName(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    if (!PageBitmap::pictureFormats().contains(reader.format()))
        return false;
    return !overLimit(reader.size(), qint64(kAllocationLimitMb) << 20);
}

// Reads a rectangle of a non-interlaced PNG row by row with libpng, keeping
// only that rectangle: the pixels and format Qt's PNG reader gives for the
// whole image (8-bit RGB32 or ARGB32, 16-bit RGBX64 or RGBA64), cropped.
// One exception: Qt packs the pixels of a 16-bit RGB file with a tRNS
// colour into the wrong channels; here that colour is transparent.
// libpng reports errors by longjmp, so the functions that set the jump
// point hold no C++ object that needs destroying; everything lives here.
class PngRegionReader {
public:
    enum class Result { Done, NotHandled, Failed };

    explicit PngRegionReader(const QString &path) : m_file(path) {}
    ~PngRegionReader()
    {
        if (m_png)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    PngRegionReader(const PngRegionReader &) = delete;
    PngRegionReader &operator=(const PngRegionReader &) = delete;

    Result read(QSize claimed, QRect region, QImage &out)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            return Result::Failed;
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, &PngRegionReader::onError,
                                       &PngRegionReader::onWarning);
        if (!m_png)
            return Result::Failed;
        m_info = png_create_info_struct(m_png);
        if (!m_info)
            return Result::Failed;
        png_set_read_fn(m_png, this, &PngRegionReader::onRead);
        // The header decides: a file whose header Qt read differently, or
        // an interlaced one (whose rows come in passes), is left to Qt.
        if (!readHeader())
            return Result::Failed;
        if (m_width != claimed.width() || m_height != claimed.height() || m_interlaced ||
            qint64(m_width) * (m_sixteen ? 8 : 4) > kMaxCroppedRowBytes)
            return Result::NotHandled;
        const QImage::Format format =
            m_sixteen ? (m_alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
                      : (m_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        out = QImage(region.size(), format);
        if (out.isNull())
            return Result::Failed;
        m_row.resize(size_t(m_width) * (m_sixteen ? 8 : 4));
        return readRows(region, out) ? Result::Done : Result::Failed;
    }

private:
    static void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    static void onWarning(png_structp, png_const_charp) {}
    static void onRead(png_structp png, png_bytep data, size_t length)
    {
        auto *self = static_cast<PngRegionReader *>(png_get_io_ptr(png));
        if (self->m_file.read(reinterpret_cast<char *>(data), qint64(length)) != qint64(length))
            png_error(png, "short read");
    }

    bool readHeader()
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_read_info(m_png, m_info);
        const png_uint_32 width = png_get_image_width(m_png, m_info);
        const png_uint_32 height = png_get_image_height(m_png, m_info);
        const int colourType = png_get_color_type(m_png, m_info);
        const int depth = png_get_bit_depth(m_png, m_info);
        m_width = width > 0x7FFFFFFFu ? -1 : int(width);
        m_height = height > 0x7FFFFFFFu ? -1 : int(height);
        m_interlaced = png_get_interlace_type(m_png, m_info) != PNG_INTERLACE_NONE;
        m_alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 ||
                  png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0;
        m_sixteen = depth == 16;
        // Every colour type becomes RGBA of its depth: palette, low-depth
        // gray and tRNS expanded, gray copied to three channels.
        png_set_expand(m_png);
        png_set_gray_to_rgb(m_png);
        png_set_add_alpha(m_png, m_sixteen ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
        png_read_update_info(m_png, m_info);
        return png_get_rowbytes(m_png, m_info) == size_t(m_width) * (m_sixteen ? 8 : 4);
    }

    bool readRows(QRect region, QImage &out)
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        const int top = region.top();
        const int bottom = region.bottom();
        const int left = region.left();
        const int columns = region.width();
        png_bytep row = m_row.data();
        // Every row is decoded, as Qt does, so a damaged file fails the same.
        for (int y = 0; y < m_height; ++y) {
            png_read_row(m_png, row, nullptr);
            if (y < top || y > bottom)
                continue;
            uchar *line = out.scanLine(y - top);
            if (m_sixteen) {
                auto *dst = reinterpret_cast<QRgba64 *>(line);
                const png_byte *src = row + size_t(left) * 8;
                for (int x = 0; x < columns; ++x, src += 8)
                    dst[x] = QRgba64::fromRgba64(
                        quint16((src[0] << 8) | src[1]), quint16((src[2] << 8) | src[3]),
                        quint16((src[4] << 8) | src[5]), quint16((src[6] << 8) | src[7]));
            } else {
                auto *dst = reinterpret_cast<QRgb *>(line);
                const png_byte *src = row + size_t(left) * 4;
                for (int x = 0; x < columns; ++x, src += 4)
                    dst[x] = qRgba(src[0], src[1], src[2], src[3]);
            }
        }
        png_read_end(m_png, nullptr);
        return true;
    }

    QFile m_file;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    std::vector<png_byte> m_row;
    int m_width = 0;
    int m_height = 0;
    bool m_interlaced = false;
    bool m_alpha = false;
    bool m_sixteen = false;
};

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
        return QCoreApplication::translate("PageBitmapLoad", "找不到图片文件“%1”。").arg(path);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return QCoreApplication::translate("PageBitmapLoad", "无法识别图片文件“%1”的格式。").arg(path);
    if (!pictureFormats().contains(format))
        return QCoreApplication::translate("PageBitmapLoad", 
                   "不支持 %1 格式的图片，请使用 BMP、JPEG、PNG、GIF、ICO 或 TIFF 图片。")
            .arg(QString::fromLatin1(format.toUpper()));
    return {};
}

QString PageBitmap::pictureProblem(const QString &path)
{
    if (QString problem = pictureFormatProblem(path); !problem.isEmpty())
        return problem;
    QImageReader reader;
    reader.setFileName(path);
    reader.setDecideFormatFromContent(true);
    if (const QSize size = reader.size(); overLimit(size, qint64(kAllocationLimitMb) << 20))
        return QCoreApplication::translate("PageBitmapLoad", "图片“%1”太大（%2×%3像素），超过了%4 MB的解码上限。")
            .arg(path)
            .arg(size.width())
            .arg(size.height())
            .arg(kAllocationLimitMb);
    // Decoded the way a picture program decodes it: a broken file gives a
    // black page there.
    PageBitmap probe;
    if (!probe.loadFromFile(path, QSize(1, 1)))
        return QCoreApplication::translate("PageBitmapLoad", "图片文件“%1”已损坏或不完整，无法解码。").arg(path);
    return {};
}

bool PageBitmap::adoptDecoded(QImage raster)
{
    if (raster.isNull() || raster.width() <= 0 || raster.height() <= 0)
        return false;
    // Every conversion below works in the decoded raster where the pixel
    // size allows, so a picture near the limit is never held twice.
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

bool PageBitmap::loadFromFile(const QString &path, QSize fitInto, qint64 wholeLimit)
{
    QImageReader reader;
    if (!openReader(path, reader))
        return false;
    // A reader that cannot scale while reading would decode the whole
    // raster and scale a copy: it reads whole, as for smaller images.
    if (fitInto.isValid() && overLimit(reader.size(), wholeLimit) &&
        reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(fitInto);
    // The first frame of a multi-frame file.
    return adoptDecoded(reader.read());
}

bool PageBitmap::loadRegionFromFile(const QString &path, const std::function<QRect(QSize)> &region,
                                    QSize &imageSize, QRect &held, qint64 wholeLimit)
{
    QImageReader reader;
    if (!openReader(path, reader))
        return false;
    const QSize claimed = reader.size();
    const QRect wanted =
        overLimit(claimed, wholeLimit) ? region(claimed) & QRect(QPoint(), claimed) : QRect();
    if (!wanted.isEmpty() && reader.format() == "png") {
        QImage cropped;
        switch (PngRegionReader(path).read(claimed, wanted, cropped)) {
        case PngRegionReader::Result::Done:
            if (!adoptDecoded(std::move(cropped)))
                return false;
            imageSize = claimed;
            held = wanted;
            return true;
        case PngRegionReader::Result::Failed:
            return false;
        case PngRegionReader::Result::NotHandled:
            break;
        }
    } else if (!wanted.isEmpty() && reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(wanted);
        QImage clipped = reader.read();
        if (clipped.size() != wanted.size() || !adoptDecoded(std::move(clipped)))
            return false;
        imageSize = claimed;
        held = wanted;
        return true;
    }
    if (!adoptDecoded(reader.read()))
        return false;
    imageSize = m_image.size();
    held = m_bounds;
    return true;
}
