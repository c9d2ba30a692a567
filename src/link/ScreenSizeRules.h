#pragma once
// How the screen parameter dialogs turn the typed screen size into the width
// and height codes of the ScreenParams record and back. Sizes are stored in
// units of 8 pixels, rounded down to a multiple of 16 pixels; a width of
// 2048 pixels gives code 256, which the byte holds as 0 (the code for 2048).

#include <cstdint>

namespace ScreenSizeRules {

constexpr int kMinWidth = 16;
constexpr int kMaxWidth = 2048;
constexpr int kMinHeight = 16;
constexpr int kMaxHeight = 128;
// Replaces a typed size outside its range.
constexpr int kReplacementSize = 64;
// The arrows of the size fields move in steps of this many pixels.
constexpr int kSizeStep = 16;

// The width that is written: the typed width, or 64 when it is outside
// 16..2048.
int acceptedWidth(int pixels);
// The height that is written: the typed height, or 64 when it is outside
// 16..128.
int acceptedHeight(int pixels);
// (pixels / 16) x 2, truncating, as the record's byte (2048 becomes 0).
uint8_t sizeCode(int pixels);

} // namespace ScreenSizeRules
