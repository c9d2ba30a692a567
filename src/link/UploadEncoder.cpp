#include "link/UploadEncoder.h"

#include "link/ControllerLink.h"
#include "link/Packet.h"
#include "render/PageBitmap.h"

#include <QCoreApplication>
#include <algorithm>
#include <vector>

namespace {

using namespace Protocol;

// Lit flags in upload order: plane by plane (red, then green), row by row,
// left to right.
std::vector<uint8_t> litFlags(const PageBitmap &page, int width, int height, int planes)
{
    std::vector<uint8_t> flags(size_t(width) * size_t(height) * size_t(planes), 0);
    const QImage &image = page.image();
    const bool direct = !image.isNull() && image.format() == QImage::Format_RGB32;
    const int rows = std::min(height, page.height());
    const int cols = std::min(width, page.width());
    for (int plane = 0; plane < planes; ++plane) {
        uint8_t *dst = flags.data() + size_t(plane) * size_t(width) * size_t(height);
        for (int y = 0; y < rows; ++y) {
            const QRgb *line =
                direct ? reinterpret_cast<const QRgb *>(image.constScanLine(y)) : nullptr;
            for (int x = 0; x < cols; ++x) {
                const QRgb rgb = line ? line[x] : PageBitmap::toRgb(page.pixel(x, y));
                const bool lit = plane == 0 ? LedColor::litRed(qRed(rgb), qBlue(rgb), planes)
                                            : LedColor::litGreen(qGreen(rgb), planes);
                dst[size_t(y) * size_t(width) + size_t(x)] = lit ? 1 : 0;
            }
        }
    }
    return flags;
}

uint8_t msbFirstByte(const uint8_t *flags)
{
    uint8_t byte = 0;
    for (int i = 0; i < 8; ++i)
        byte = uint8_t((byte << 1) | flags[i]);
    return byte;
}

} // namespace

qint64 UploadEncoder::bitImageLength(int width, int height, int planes)
{
    if (width <= 0 || height <= 0 || planes <= 0)
        return 0;
    return qint64(width) * qint64(height) * qint64(planes) / 8;
}

bool UploadEncoder::packPageBits(const PageBitmap &page, int width, int height, int planes,
                                 bool reverseData, bool wordFormat, uint8_t *out, qint64 outLength)
{
    const qint64 length = bitImageLength(width, height, planes);
    if (!out || length <= 0 || outLength != length)
        return false;
    const std::vector<uint8_t> flags = litFlags(page, width, height, planes);
    if (!wordFormat) {
        for (qint64 j = 0; j < length; ++j)
            out[j] = msbFirstByte(flags.data() + 8 * j);
        return true;
    }
    const qint64 words = length * 8 / 16;
    for (qint64 k = 0; k < words; ++k) {
        const uint8_t *f = flags.data() + 16 * k;
        uint16_t word = uint16_t((msbFirstByte(f) << 8) | msbFirstByte(f + 8));
        if (!reverseData)
            word = uint16_t(~word);
        out[2 * k] = uint8_t(word & 0xFF);   // flags 8..15
        out[2 * k + 1] = uint8_t(word >> 8); // flags 0..7
    }
    if (length % 2 != 0) {
        // An odd length leaves half a word; screen sizes come in multiples of
        // 8 pixels, so this only happens with a page the card cannot have.
        // Its flags go in byte order with the word polarity.
        const uint8_t byte = msbFirstByte(flags.data() + 8 * (length - 1));
        out[length - 1] = reverseData ? byte : uint8_t(~byte);
    }
    return true;
}

QByteArray UploadEncoder::packPageBits(const PageBitmap &page, int width, int height, int planes,
                                       bool reverseData, bool wordFormat)
{
    const qint64 length = bitImageLength(width, height, planes);
    if (length <= 0 || length > MaxBitLength)
        return {};
    QByteArray bits(qsizetype(length), '\0');
    if (!packPageBits(page, width, height, planes, reverseData, wordFormat,
                      reinterpret_cast<uint8_t *>(bits.data()), length))
        return {};
    return bits;
}

QByteArray UploadEncoder::headerBytes(const UploadPageHeader &header)
{
    QByteArray bytes(UploadHeadLength, '\0'); // packet offset 16 is index 0
    auto *b = reinterpret_cast<uint8_t *>(bytes.data());
    Packet::writeLe16(b + PageHeader::PageNumber,
                      uint16_t(std::clamp(header.pageNumber, 0, MaxPageNumber)));
    b[PageHeader::Action] = clampByte(header.action);
    b[PageHeader::EffectCode] = clampByte(header.effectCode);
    b[PageHeader::SpeedLevel] = clampByte(header.speedLevel);
    b[PageHeader::StayTime] = clampByte(header.stayTime);
    b[PageHeader::FlashDelay] = clampByte(header.flashDelay);
    // The reserved word, the two dates and the two times stay zero.
    b[PageHeader::Planes] = clampByte(header.planes);
    b[PageHeader::ContentKind] = clampByte(header.contentKind);
    b[PageHeader::PageIndex] = clampByte(header.pageIndex);
    b[PageHeader::LastPageIndex] = clampByte(header.lastPageIndex);
    Packet::writeLe16(b + PageHeader::BitLength,
                      uint16_t(std::clamp(header.bitLength, 0, MaxBitLength)));
    b[PageHeader::ClockCode] = clampByte(header.clockCode);
    return bytes;
}

QString UploadEncoder::refusalText(qint64 bitLength, int pageCount, int firstPageNumber)
{
    if (bitLength > MaxBitLength)
        return QCoreApplication::translate("UploadEncoder", "每页点阵数据为%1字节，超出了单页最多%2字节的限制。")
            .arg(bitLength)
            .arg(MaxBitLength);
    if (pageCount > MaxPagesPerItem)
        return QCoreApplication::translate("UploadEncoder", "信息共有%1页，超出了每条信息最多%2页的限制。")
            .arg(pageCount)
            .arg(MaxPagesPerItem);
    if (qint64(firstPageNumber) + pageCount - 1 > MaxPageNumber)
        return QCoreApplication::translate("UploadEncoder", "页码超出了控制卡最多%1页的限制。").arg(MaxPageNumber);
    return {};
}

bool UploadEncoder::sendProgramPage(ControllerLink &link, UploadPageHeader header,
                                    const QByteArray &bits, const std::function<void(int)> &pause)
{
    // The item's pages were checked against the limits before its first
    // packet; packPageBits gives no bits for a page above them.
    if (bits.isEmpty() || bits.size() > MaxBitLength) {
        link.setError(0, QCoreApplication::translate("UploadEncoder", "页面没有点阵数据。"));
        return false;
    }
    const int chunk = std::clamp(link.chunkSize(), 1, MaxUploadBlock);
    const int total = int(bits.size());
    header.bitLength = total;
    int sent = std::min(total, chunk);
    if (!link.sendPageHead(headerBytes(header), QByteArrayView(bits).first(sent)))
        return false;
    while (sent < total) {
        if (pause)
            pause(BlockPauseMs);
        const int n = std::min(total - sent, chunk);
        if (!link.sendDataChunk(header.pageNumber, sent, QByteArrayView(bits).sliced(sent, n)))
            return false;
        sent += n;
    }
    return true;
}
