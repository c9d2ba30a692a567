#pragma once
// Turns the bit image of an uploaded page back into a picture, the way a
// card would light its LEDs: planes one after the other (red, then green),
// rows from the top, pixels from the left. Byte format: the first pixel in
// the most significant bit, lit = 1. Word format (series-15 cards): 16-bit
// little-endian words with the first pixel in bit 15, lit = 1 when the
// reverse-data flag is set and lit = 0 when it is not.

#include <QByteArrayView>
#include <QImage>

struct PageLayout {
    int width = 0;
    int height = 0;
    int planes = 1;
    bool wordFormat = false;
    bool reverseData = false;
};

// Red, green, yellow or black pixels; pixels without bits stay black. A
// null image when the layout is empty or absurd (over 2048 x 2048).
QImage decodePageBits(QByteArrayView bits, const PageLayout &layout);

// Whether pixel `flag` (in plane-row-column order) is lit.
bool pageBitLit(QByteArrayView bits, qsizetype flag, const PageLayout &layout);
