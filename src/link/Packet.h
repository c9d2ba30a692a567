#pragma once
// Byte helpers of the card protocol (its numbers are in Protocol.h): the
// 16-bit additive checksum, packed-decimal bytes, little-endian fields, the
// upload packets' payload and the texts of the card's status codes. Plain
// functions over bytes, shared by the link, the upload and the virtual card.

#include "link/Protocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace Packet {
uint16_t readLe16(const uint8_t *bytes);
void writeLe16(uint8_t *bytes, uint16_t value);

// The text the link records for a status byte (empty for 0, success).
QString statusText(int status);

// The payload of an upload packet (0x03 or 0x02): its head cut or
// zero-filled to UploadHeadLength, then the block of bits.
QByteArray uploadPayload(QByteArrayView head, QByteArrayView block);
} // namespace Packet

// The sum of the bytes, each taken as 0..255, modulo 65536.
uint16_t byteSum16(const uint8_t *bytes, int n);
uint16_t byteSum16(QByteArrayView bytes);

// One packed-decimal byte from the low byte b of v: (b / 10) * 16 + b % 10,
// kept to 8 bits (59 -> 0x59; values above 99 overflow the high nibble).
uint8_t toBcd(int v);
