#include "render/PictureConverter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// How one axis of length srcLen maps onto dstLen: destination index d covers
// the source interval [d * srcLen, (d + 1) * srcLen) measured in units of
// 1/dstLen source pixel, so each source index it touches gets the overlap as
// its weight and the weights of one destination index add up to srcLen.
struct AxisTaps {
    std::vector<int> first; // per destination index, into source/weight; one extra at the end
    std::vector<int> source;
    std::vector<uint32_t> weight;

    AxisTaps(int srcLen, int dstLen)
    {
        first.reserve(size_t(dstLen) + 1);
        for (int d = 0; d < dstLen; ++d) {
            first.push_back(int(source.size()));
            const int64_t a = int64_t(d) * srcLen;
            const int64_t b = a + srcLen;
            for (int64_t s = a / dstLen; s <= (b - 1) / dstLen; ++s) {
                const int64_t w = std::min(b, (s + 1) * dstLen) - std::max(a, s * dstLen);
                if (w > 0) {
                    source.push_back(int(s));
                    weight.push_back(uint32_t(w));
                }
            }
        }
        first.push_back(int(source.size()));
    }
};

} // namespace

uint32_t PictureConverter::thresholdPixel(int r, int g, int b, int limit, bool reverse,
                                          int colourType)
{
    limit = std::clamp(limit, 0, 255);
    if (reverse) {
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
    if (colourType == 1) {
        // BT.601 luma, rounded to the nearest integer.
        const int luma = (299 * r + 587 * g + 114 * b + 500) / 1000;
        return luma > limit ? LedColor::Red : LedColor::Black;
    }
    return (r > limit ? LedColor::Red : 0) | (g > limit ? LedColor::Green : 0);
}

void PictureConverter::threshold(PageBitmap &page, int limit, bool reverse, int colourType)
{
    QImage &image = page.image();
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = row[x];
            row[x] = PageBitmap::toRgb(
                thresholdPixel(qRed(p), qGreen(p), qBlue(p), limit, reverse, colourType));
        }
    }
}

void PictureConverter::stretchAveraged(const QImage &src, QImage &dst)
{
    const int sw = src.width();
    const int sh = src.height();
    const int dw = dst.width();
    const int dh = dst.height();
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    const AxisTaps columns(sw, dw);
    const AxisTaps rows(sh, dh);
    const uint64_t total = uint64_t(sw) * uint64_t(sh);
    // One destination row at a time: first the covered source rows summed
    // column by column, then the covered columns of that sum.
    std::vector<uint64_t> sums(size_t(sw) * 3);
    for (int dy = 0; dy < dh; ++dy) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int t = rows.first[size_t(dy)]; t < rows.first[size_t(dy) + 1]; ++t) {
            const auto *in =
                reinterpret_cast<const QRgb *>(src.constScanLine(rows.source[size_t(t)]));
            const uint64_t w = rows.weight[size_t(t)];
            uint64_t *sum = sums.data();
            for (int x = 0; x < sw; ++x, sum += 3) {
                const QRgb p = in[x];
                sum[0] += w * uint32_t(qRed(p));
                sum[1] += w * uint32_t(qGreen(p));
                sum[2] += w * uint32_t(qBlue(p));
            }
        }
        auto *out = reinterpret_cast<QRgb *>(dst.scanLine(dy));
        for (int dx = 0; dx < dw; ++dx) {
            uint64_t r = 0;
            uint64_t g = 0;
            uint64_t b = 0;
            for (int t = columns.first[size_t(dx)]; t < columns.first[size_t(dx) + 1]; ++t) {
                const uint64_t w = columns.weight[size_t(t)];
                const uint64_t *sum = sums.data() + size_t(columns.source[size_t(t)]) * 3;
                r += w * sum[0];
                g += w * sum[1];
                b += w * sum[2];
            }
            out[dx] = qRgb(int((r + total / 2) / total), int((g + total / 2) / total),
                           int((b + total / 2) / total));
        }
    }
}

bool PictureConverter::convert(const PictureRenderParams &params, PageBitmap &page)
{
    page = PageBitmap();
    if (!page.create(params.width, params.height))
        return false;
    // Stretched, a huge picture is read at the page's size: its whole raster
    // is never held. Centred, it is shown 1:1, so it is read whole.
    PageBitmap image;
    if (!image.loadFromFile(params.path,
                            params.mode == 1 ? QSize(params.width, params.height) : QSize()))
        return false;
    const int w = image.width();
    const int h = image.height();
    if (params.mode == 0)
        page.copyFrom(image, (params.width - w) / 2, (params.height - h) / 2, 0, 0, w, h);
    else if (params.mode == 1)
        stretchAveraged(image.image(), page.image());
    image.release();
    // Every pixel, margins included: inverted margins light up.
    threshold(page, params.limit, params.reverse != 0, params.colourType);
    return true;
}
