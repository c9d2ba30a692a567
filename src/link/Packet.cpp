#include "link/Packet.h"

#include <QCoreApplication>
#include <algorithm>

namespace Packet {

uint16_t readLe16(const uint8_t *bytes)
{
    return uint16_t(bytes[0] | (bytes[1] << 8));
}

void writeLe16(uint8_t *bytes, uint16_t value)
{
    bytes[0] = uint8_t(value & 0xFF);
    bytes[1] = uint8_t(value >> 8);
}

QString statusText(int status)
{
    using namespace Protocol;
    switch (status) {
    case StatusOk:
        return {};
    case StatusBadChecksum:
        return QCoreApplication::translate("Packet", "数据包校验错误。");
    case StatusUnknownCommand:
        return QCoreApplication::translate("Packet", "命令无法识别。");
    case StatusUnsupportedCommand:
        return QCoreApplication::translate("Packet", "不支持的命令。");
    case StatusBadValue:
        return QCoreApplication::translate("Packet", "参数错误，请勿超出最大范围。");
    case StatusBadStructure:
        return QCoreApplication::translate("Packet", "数据包结构错误。");
    case StatusFailed:
        return QCoreApplication::translate("Packet", "命令执行失败。");
    default:
        return QCoreApplication::translate("Packet", "终端返回未知错误。");
    }
}

QByteArray uploadPayload(QByteArrayView head, QByteArrayView block)
{
    QByteArray payload =
        head.first(std::min<qsizetype>(head.size(), Protocol::UploadHeadLength)).toByteArray();
    payload.resize(Protocol::UploadHeadLength, '\0');
    payload.append(block.data(), block.size());
    return payload;
}

} // namespace Packet

uint16_t byteSum16(const uint8_t *bytes, int n)
{
    uint32_t sum = 0;
    for (int i = 0; i < n; ++i)
        sum += bytes[i];
    return uint16_t(sum & 0xFFFF);
}

uint16_t byteSum16(QByteArrayView bytes)
{
    return byteSum16(reinterpret_cast<const uint8_t *>(bytes.data()), int(bytes.size()));
}

uint8_t toBcd(int v)
{
    const int b = v & 0xFF;
    return uint8_t(((b / 10) * 16 + b % 10) & 0xFF);
}
