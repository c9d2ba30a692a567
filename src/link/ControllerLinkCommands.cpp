// The card's command set on top of ControllerLink::exchange: payload layouts
// and reply offsets of every command the program sends.
#include "link/ControllerInfo.h"
#include "link/ControllerLink.h"
#include "link/ScreenParams.h"

#include <QDateTime>

namespace {
enum Command : uint8_t {
    DataChunk = 0x02,
    PageHead = 0x03,
    Clear = 0x06,
    SetBrightness = 0x10,
    ReadBrightness = 0x13,
    UploadPhase = 0x19,
    ScreenPower = 0x20,
    SetClock = 0x21,
    WriteParams = 0x23,
    ReadParams = 0x24,
    FactorySettings = 0x33,
    QueryInfo = 0x35,
};

QByteArray oneByte(int value)
{
    return QByteArray(1, char(uint8_t(value)));
}
} // namespace

bool ControllerLink::sendDataChunk(int pageNumber, int offset, QByteArrayView data)
{
    // Page number, block offset, zero fill to 48, the block from 49.
    QByteArray payload(33, '\0');
    auto *bytes = reinterpret_cast<uint8_t *>(payload.data());
    Packet::writeLe16(bytes, uint16_t(pageNumber));
    Packet::writeLe16(bytes + 2, uint16_t(offset));
    payload.append(data.data(), data.size());
    return exchange(DataChunk, payload);
}

bool ControllerLink::sendPageHead(QByteArrayView header33, QByteArrayView firstBlock)
{
    QByteArray payload = header33.first(std::min<qsizetype>(header33.size(), 33)).toByteArray();
    payload.resize(33, '\0');
    payload.append(firstBlock.data(), firstBlock.size());
    return exchange(PageHead, payload);
}

bool ControllerLink::clearScreen()
{
    return exchange(Clear);
}

bool ControllerLink::setBrightness(int level)
{
    return exchange(SetBrightness, oneByte(level));
}

bool ControllerLink::readBrightness(int &level)
{
    if (!exchange(ReadBrightness))
        return false;
    level = responseByte(Packet::PayloadOffset);
    return true;
}

bool ControllerLink::setUploadPhase(int phase)
{
    return exchange(UploadPhase, oneByte(phase));
}

bool ControllerLink::setScreenPower(bool on)
{
    return exchange(ScreenPower, oneByte(on ? 1 : 0));
}

QByteArray ControllerLink::clockPayload(const QDateTime &localTime)
{
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    int year = date.year();
    if (year < 2000 || year > 2099)
        year = 2008;
    QByteArray payload(8, '\0');
    payload[0] = char(toBcd(year - 2000));
    payload[1] = char(toBcd(date.month()));
    payload[2] = char(toBcd(date.day()));
    payload[3] = char(toBcd(time.hour()));
    payload[4] = char(toBcd(time.minute()));
    payload[5] = char(toBcd(time.second()));
    payload[6] = char(toBcd(date.dayOfWeek() % 7)); // Qt: Monday 1 .. Sunday 7
    payload[7] = 1;                                 // mode byte, not packed decimal
    return payload;
}

bool ControllerLink::setClock(const QDateTime &localTime)
{
    return exchange(SetClock, clockPayload(localTime));
}

bool ControllerLink::writeScreenParams(const ScreenParams &params)
{
    return exchange(WriteParams,
                    QByteArrayView(params.bytes.data(), qsizetype(params.bytes.size())));
}

bool ControllerLink::readScreenParams(ScreenParams &params)
{
    if (!exchange(ReadParams))
        return false;
    for (size_t i = 0; i < params.bytes.size(); ++i)
        params.bytes[i] = responseByte(Packet::PayloadOffset + int(i));
    return true;
}

bool ControllerLink::restoreFactorySettings()
{
    return exchange(FactorySettings);
}

bool ControllerLink::queryControllerInfo(ControllerInfo &info)
{
    if (!exchange(QueryInfo))
        return false;
    info.modelCode = responseByte(16);
    info.firmwareMajor = responseByte(17);
    info.firmwareMinor = responseByte(18);
    info.firmwareBuild = responseByte(19);
    info.series = responseByte(20);
    return true;
}
