#include "link/ScreenSizeRules.h"

namespace ScreenSizeRules {

int acceptedWidth(int pixels)
{
    return pixels < kMinWidth || pixels > kMaxWidth ? kReplacementSize : pixels;
}

int acceptedHeight(int pixels)
{
    return pixels < kMinHeight || pixels > kMaxHeight ? kReplacementSize : pixels;
}

uint8_t sizeCode(int pixels)
{
    // The byte keeps the low 8 bits: 2048 / 16 * 2 = 256 is stored as 0.
    return uint8_t((pixels / 16) * 2);
}

} // namespace ScreenSizeRules
