#include "sim/PageDecoder.h"

bool pageBitLit(QByteArrayView bits, qsizetype flag, const PageLayout &layout)
{
    if (!layout.wordFormat) {
        const qsizetype byte = flag / 8;
        if (byte >= bits.size())
            return false;
        return (uint8_t(bits[byte]) >> (7 - flag % 8)) & 1;
    }
    const qsizetype word = flag / 16;
    if (2 * word + 1 >= bits.size())
        return false;
    const auto value = uint16_t(uint8_t(bits[2 * word]) | (uint8_t(bits[2 * word + 1]) << 8));
    const bool bit = (value >> (15 - flag % 16)) & 1;
    return layout.reverseData ? bit : !bit;
}

QImage decodePageBits(QByteArrayView bits, const PageLayout &layout)
{
    if (layout.width <= 0 || layout.height <= 0 || layout.width > 2048 || layout.height > 2048 ||
        layout.planes < 1 || layout.planes > 2)
        return {};
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    const qsizetype planeSize = qsizetype(layout.width) * layout.height;
    for (int y = 0; y < layout.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x) {
            const qsizetype flag = qsizetype(y) * layout.width + x;
            const bool red = pageBitLit(bits, flag, layout);
            const bool green = layout.planes == 2 && pageBitLit(bits, planeSize + flag, layout);
            line[x] = qRgb(red ? 255 : 0, green ? 255 : 0, 0);
        }
    }
    return image;
}
