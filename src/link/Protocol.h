#pragma once
// The card's wire protocol in one place: frame marks, frame layout and
// length limits, command codes, status codes, the payload layouts of the
// commands (the 33-byte upload head included), upload limits and the codes
// of the link's error record. Constants only; the link, the upload encoder
// and the virtual card all take their numbers from here.
//
// Offsets named `...Offset` are packet offsets; the payload layouts below
// count from the payload start (packet offset 16).

#include <cstdint>

namespace Protocol {

// ---- frame
inline constexpr uint8_t RequestStart = 0xA0;
inline constexpr uint8_t RequestEnd = 0x50;
inline constexpr uint8_t ResponseStart = 0xAF;
inline constexpr uint8_t ResponseEnd = 0x5F;

inline constexpr int MinFrame = 52; // every frame, both directions; a success reply is this long
inline constexpr int MaxRequest = 1024; // the send buffer
inline constexpr int MaxResponse = 512; // the receive buffer
inline constexpr int LengthOffset = 1;
inline constexpr int AddressOffset = 3;
inline constexpr int SequenceOffset = 5;
inline constexpr int CommandOffset = 13; // status byte in a response
inline constexpr int PayloadOffset = 16;
inline constexpr int MinPayloadEnd = 48; // shorter payloads are zero-filled to here
// Checksum (2), zero byte and end mark follow the payload.
inline constexpr int TrailerSize = 4;
inline constexpr int MaxPayload = MaxRequest - TrailerSize - PayloadOffset;
inline constexpr int MaxReplyData = 32; // offsets 16..47 of a 52-byte reply
// Requests go to the line in blocks of at most this many bytes.
inline constexpr int WriteBlockSize = 256;

inline constexpr uint16_t CardAddress = 1;
inline constexpr uint16_t BroadcastAddress = 0;

// ---- commands (request byte 13)
enum Command : uint8_t {
    DataChunk = 0x02,         // further bits of a page
    PageHead = 0x03,          // page head and first bits of a page
    ClearScreen = 0x06,       // no payload
    SetBrightness = 0x10,     // 1 byte: 0..15
    ReadBrightness = 0x13,    // reply: 1 byte
    SetUploadPhase = 0x19,    // 1 byte: UploadBegins / UploadEnded
    SetScreenPower = 0x20,    // 1 byte: 1 on, 0 off
    SetClock = 0x21,          // ClockPayload
    WriteScreenParams = 0x23, // the 16-byte ScreenParams
    ReadScreenParams = 0x24,  // reply: the 16-byte ScreenParams
    RestoreFactorySettings = 0x33,
    QueryControllerInfo = 0x35, // reply: InfoReply
};

inline constexpr uint8_t UploadBegins = 0;
inline constexpr uint8_t UploadEnded = 1;
inline constexpr int MaxBrightness = 15;

// ---- status codes (response byte 13)
enum Status : uint8_t {
    StatusOk = 0,
    StatusBadChecksum = 1,
    StatusUnknownCommand = 2,
    StatusUnsupportedCommand = 3,
    StatusBadValue = 4,
    StatusBadStructure = 5,
    StatusFailed = 6,
};

// ---- payload of 0x21: packed-decimal date and time, then the mode byte
namespace ClockPayload {
inline constexpr int Year = 0; // year - 2000
inline constexpr int Month = 1;
inline constexpr int Day = 2;
inline constexpr int Hour = 3;
inline constexpr int Minute = 4;
inline constexpr int Second = 5;
inline constexpr int Weekday = 6; // 0 Sunday .. 6 Saturday
inline constexpr int Mode = 7;    // not packed decimal
inline constexpr int Length = 8;
inline constexpr uint8_t ModeValue = 1;   // the only mode the program sends
inline constexpr int FallbackYear = 2008; // sent for years outside 2000..2099
} // namespace ClockPayload

// ---- reply data of 0x35
namespace InfoReply {
inline constexpr int ModelCode = 0;
inline constexpr int FirmwareMajor = 1;
inline constexpr int FirmwareMinor = 2;
inline constexpr int FirmwareBuild = 3;
inline constexpr int Series = 4;
inline constexpr int Length = 5;
} // namespace InfoReply

inline constexpr int ScreenParamsLength = 16; // payload of 0x23, reply of 0x24

// ---- upload packets: a 33-byte head (packet offsets 16..48), the bits
// from packet offset 49 on
inline constexpr int UploadHeadLength = 33;
inline constexpr int UploadDataOffset = PayloadOffset + UploadHeadLength; // 49
// The largest block of bits one packet can carry.
inline constexpr int MaxUploadBlock = MaxRequest - UploadDataOffset - TrailerSize; // 971

// Head of 0x03: the page header.
namespace PageHeader {
inline constexpr int PageNumber = 0; // 16 bits
inline constexpr int Action = 2;
inline constexpr int EffectCode = 3;
inline constexpr int SpeedLevel = 4; // speed, plus level x 16 on new firmware
inline constexpr int StayTime = 5;
inline constexpr int FlashDelay = 6;
// 7..8 zero; 9..24 two dates and two times (day, month, year - 2000 and
// second, minute, hour, each packed decimal, then a zero byte), always sent
// as zeros.
inline constexpr int FirstDate = 9;
inline constexpr int DateTimeLength = 16;
inline constexpr int Planes = 25;
inline constexpr int ContentKind = 26;
inline constexpr int PageIndex = 27;
inline constexpr int LastPageIndex = 28; // N - 1
inline constexpr int BitLength = 29;     // 16 bits: B
inline constexpr int ClockCode = 31;     // 32 stays zero
} // namespace PageHeader

inline constexpr uint8_t ClockNone = 0x00; // values of the ClockCode byte
inline constexpr uint8_t ClockDial = 0x20;
inline constexpr uint8_t ClockText = 0x30;
inline constexpr uint8_t ContentText = 1; // values of the ContentKind byte
inline constexpr uint8_t ContentPicture = 2;

// Head of 0x02: page number and block offset, zero to the data.
namespace ChunkHeader {
inline constexpr int PageNumber = 0;  // 16 bits
inline constexpr int BlockOffset = 2; // 16 bits
inline constexpr int FieldsLength = 4;
} // namespace ChunkHeader

// ---- upload limits
inline constexpr int MaxBitLength = 0xFFFF; // the 16-bit length and offset fields
inline constexpr int MaxPagesPerItem = 256; // one-byte page index
inline constexpr int MaxPageNumber = 0xFFFF;
inline constexpr int BlockPauseMs = 50; // between the packets of one page

// ---- how the program configures the link
inline constexpr int LinkTimeoutMs = 900;
inline constexpr int LinkBaudRate = 57600;
inline constexpr int LinkChunkSize = 512;

// ---- codes of the link's error record beyond the status codes
namespace ErrorCode {
inline constexpr int DeviceNotFound = 2;    // the port does not exist
inline constexpr int AccessDenied = 5;      // the port is held or not permitted
inline constexpr int ZeroTimeout = 100;     // a time-out of 0 cannot wait for the reply
inline constexpr int BroadcastSent = 101;   // a broadcast gets no reply
inline constexpr int WriteFailedBase = 200; // write failures: system code + this
} // namespace ErrorCode

} // namespace Protocol
