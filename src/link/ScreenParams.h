#pragma once
// The card's 16-byte screen parameter record, sent with 0x23 and read with
// 0x24 as packet bytes 16 to 31. Kept by the play list.

#include <array>
#include <cstdint>

struct ScreenParams {
    enum Offset : int {
        WidthCode = 0,   // units of 8 pixels; 0 means 2048
        HeightCode = 1,  // units of 8 pixels
        ColourType = 2,  // 1 single red, 2 red and green
        ReverseData = 3, // 0 or 1
        ReverseOe = 4,   // 0 or 1
        RowOrder = 5,    // signed, -15..15
        ScanMode = 6,    // scan mode code
        Frequency = 11,  // 1..5 = 1.0M..2.0M
        No138 = 12,      // 2 when set, 0 when not
    };

    std::array<uint8_t, 16> bytes{32, 4, 1, 0, 1, 0, 0x00, 0, 0, 0, 0, 2, 0, 0, 0, 0};

    int widthCode() const { return bytes[WidthCode]; }
    int heightCode() const { return bytes[HeightCode]; }
    void setWidthCode(int code) { bytes[WidthCode] = uint8_t(code); }
    void setHeightCode(int code) { bytes[HeightCode] = uint8_t(code); }
    int screenWidth() const { return bytes[WidthCode] == 0 ? 2048 : bytes[WidthCode] * 8; }
    int screenHeight() const { return bytes[HeightCode] * 8; }
    int colourType() const { return bytes[ColourType]; }
    bool reverseData() const { return bytes[ReverseData] != 0; }
    bool reverseOe() const { return bytes[ReverseOe] != 0; }
    int rowOrder() const { return int8_t(bytes[RowOrder]); }
    int scanMode() const { return bytes[ScanMode]; }
    int frequency() const { return bytes[Frequency]; }
    bool no138() const { return bytes[No138] != 0; }

    bool operator==(const ScreenParams &) const = default;
};
