#pragma once
// Wire-level constants and helpers of the card protocol: frame marks and
// length limits, the 16-bit additive checksum, packed-decimal bytes,
// little-endian fields and the texts of the card's status codes. Plain
// functions over bytes, shared by the link, the upload and the virtual card.

#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace Packet {
inline constexpr uint8_t RequestStart = 0xA0;
inline constexpr uint8_t RequestEnd = 0x50;
inline constexpr uint8_t ResponseStart = 0xAF;
inline constexpr uint8_t ResponseEnd = 0x5F;

inline constexpr int MinFrame = 52;     // every frame, both directions
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

inline constexpr uint16_t CardAddress = 1;
inline constexpr uint16_t BroadcastAddress = 0;

uint16_t readLe16(const uint8_t *bytes);
void writeLe16(uint8_t *bytes, uint16_t value);

// The text the link records for a status byte (empty for 0, success).
QString statusText(int status);
} // namespace Packet

// The sum of the bytes, each taken as 0..255, modulo 65536.
uint16_t byteSum16(const uint8_t *bytes, int n);
uint16_t byteSum16(QByteArrayView bytes);

// One packed-decimal byte from the low byte b of v: (b / 10) * 16 + b % 10,
// kept to 8 bits (59 -> 0x59; values above 99 overflow the high nibble).
uint8_t toBcd(int v);
