#pragma once
// Turns one page raster into the bit image the card stores and lays out the
// page header of the 0x03 packet; sendProgramPage sends one page as that
// packet with the first block of bits and 0x02 packets for the rest. Used
// by the card session's send, which fills the header from an item.

#include "link/Protocol.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

class ControllerLink;
class PageBitmap;

// The values of one page header (packet offsets 16 to 48 of a 0x03 packet)
// as the sender computed them; UploadEncoder clamps the one-byte fields.
struct UploadPageHeader {
    int pageNumber = 1;    // on the card, 16 bits
    int action = 0;        // offset 18
    int effectCode = 0;    // offset 19
    int speedLevel = 0;    // offset 20: speed, plus level x 16 on new firmware
    int stayTime = 0;      // offset 21
    int flashDelay = 0;    // offset 22
    int planes = 1;        // offset 41
    int contentKind = 1;   // offset 42: 2 picture, 1 anything else
    int pageIndex = 0;     // offset 43
    int lastPageIndex = 0; // offset 44: N - 1
    int bitLength = 0;     // offsets 45..46: B
    int clockCode = 0;     // offset 47
};

class UploadEncoder {
public:
    // Colour planes for a card's colour type: 1 for single red, 2 otherwise.
    // A card reporting a type other than 1 or 2 gets the red-green packing:
    // two planes carry everything one plane can and the card's own type
    // byte decides what it shows.
    static int planesForColourType(int colourType) { return colourType == 1 ? 1 : 2; }

    // B = (W x H x P) div 8, computed without overflow; 0 for a non-positive
    // size. May exceed Protocol::MaxBitLength: callers refuse such pages.
    static qint64 bitImageLength(int width, int height, int planes);

    // Word format (16-bit words, first flag in bit 15, inverted unless
    // reverseData) is the packing of series-15 cards; byte format, first flag
    // in the most significant bit, that of all others. Pixels outside the
    // page raster count as dark. Writes nothing and returns false unless
    // outLength equals bitImageLength(width, height, planes).
    static bool packPageBits(const PageBitmap &page, int width, int height, int planes,
                             bool reverseData, bool wordFormat, uint8_t *out, qint64 outLength);
    // Convenience: the whole bit image, empty when it cannot be built.
    static QByteArray packPageBits(const PageBitmap &page, int width, int height, int planes,
                                   bool reverseData, bool wordFormat);

    // Packet bytes 16 to 48 of the 0x03 packet: the page header. Fields that
    // do not fit their byte are clamped, never wrapped.
    static QByteArray headerBytes(const UploadPageHeader &header);

    // Why an item cannot be sent without wrapping a field; empty when it
    // can. Checked once per item, before its first packet.
    static QString refusalText(qint64 bitLength, int pageCount, int firstPageNumber);

    // Sends one page of an item refusalText accepted: the 0x03 packet with
    // the first chunk, then a 0x02 packet per further chunk, pausing
    // Protocol::BlockPauseMs before each. Stops at the first failed exchange
    // (the link keeps the reason). header.bitLength is taken from bits.
    // pause(ms) is called for the pauses.
    static bool sendProgramPage(ControllerLink &link, UploadPageHeader header,
                                const QByteArray &bits, const std::function<void(int)> &pause);

    static uint8_t clampByte(int value)
    {
        return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
    }
};
