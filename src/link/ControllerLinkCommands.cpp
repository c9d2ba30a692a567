// The card's command set on top of ControllerLink::exchange: payload layouts
// and reply offsets of every command the program sends.
#include "link/ControllerInfo.h"
#include "link/ControllerLink.h"
#include "link/ScreenParams.h"

#include <QDateTime>

namespace {
using namespace Protocol;

QByteArray oneByte(int value)
{
    return QByteArray(1, char(uint8_t(value)));
}
} // namespace

bool ControllerLink::sendDataChunk(int pageNumber, int offset, QByteArrayView data)
{
    uint8_t head[ChunkHeader::FieldsLength] = {};
    Packet::writeLe16(head + ChunkHeader::PageNumber, uint16_t(pageNumber));
    Packet::writeLe16(head + ChunkHeader::BlockOffset, uint16_t(offset));
    return exchange(DataChunk,
                    Packet::uploadPayload(QByteArrayView(head, qsizetype(sizeof head)), data));
}

bool ControllerLink::sendPageHead(QByteArrayView header33, QByteArrayView firstBlock)
{
    return exchange(PageHead, Packet::uploadPayload(header33, firstBlock));
}

bool ControllerLink::clearScreen()
{
    return exchange(ClearScreen);
}

bool ControllerLink::setBrightness(int level)
{
    return exchange(SetBrightness, oneByte(level));
}

bool ControllerLink::readBrightness(int &level)
{
    if (!exchange(ReadBrightness))
        return false;
    level = responseByte(PayloadOffset);
    return true;
}

bool ControllerLink::setUploadPhase(int phase)
{
    return exchange(SetUploadPhase, oneByte(phase));
}

bool ControllerLink::setScreenPower(bool on)
{
    return exchange(SetScreenPower, oneByte(on ? 1 : 0));
}

QByteArray ControllerLink::clockPayload(const QDateTime &localTime)
{
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    int year = date.year();
    if (year < 2000 || year > 2099)
        year = ClockPayload::FallbackYear;
    QByteArray payload(ClockPayload::Length, '\0');
    payload[ClockPayload::Year] = char(toBcd(year - 2000));
    payload[ClockPayload::Month] = char(toBcd(date.month()));
    payload[ClockPayload::Day] = char(toBcd(date.day()));
    payload[ClockPayload::Hour] = char(toBcd(time.hour()));
    payload[ClockPayload::Minute] = char(toBcd(time.minute()));
    payload[ClockPayload::Second] = char(toBcd(time.second()));
    payload[ClockPayload::Weekday] = char(toBcd(date.dayOfWeek() % 7)); // Qt: Monday 1 .. Sunday 7
    payload[ClockPayload::Mode] = char(ClockPayload::ModeValue);
    return payload;
}

bool ControllerLink::setClock(const QDateTime &localTime)
{
    return exchange(SetClock, clockPayload(localTime));
}

bool ControllerLink::writeScreenParams(const ScreenParams &params)
{
    return exchange(WriteScreenParams,
                    QByteArrayView(params.bytes.data(), qsizetype(params.bytes.size())));
}

bool ControllerLink::readScreenParams(ScreenParams &params)
{
    if (!exchange(ReadScreenParams))
        return false;
    for (size_t i = 0; i < params.bytes.size(); ++i)
        params.bytes[i] = responseByte(PayloadOffset + int(i));
    return true;
}

bool ControllerLink::restoreFactorySettings()
{
    return exchange(RestoreFactorySettings);
}

bool ControllerLink::queryControllerInfo(ControllerInfo &info)
{
    if (!exchange(QueryControllerInfo))
        return false;
    info.modelCode = responseByte(PayloadOffset + InfoReply::ModelCode);
    info.firmwareMajor = responseByte(PayloadOffset + InfoReply::FirmwareMajor);
    info.firmwareMinor = responseByte(PayloadOffset + InfoReply::FirmwareMinor);
    info.firmwareBuild = responseByte(PayloadOffset + InfoReply::FirmwareBuild);
    info.series = responseByte(PayloadOffset + InfoReply::Series);
    return true;
}
