#pragma once
// The dial clock of the clock zone, drawn as red LED dots onto a raster at
// the zone's origin: twelve hour marks and three hands from a given time.
// Plain code so that the preview only has to show it. Points are addressed
// by a minute position p (0 at the top, clockwise) and a radius r.

#include <QTime>

class PageBitmap;

namespace DialClock {

// 1000 x sin(6k degrees), rounded, for k = 0..15.
inline constexpr int kSineTable[16] = {0,   105, 208, 309, 407, 500, 588, 669,
                                       743, 809, 866, 914, 951, 978, 995, 1000};

// Radius L of the dial in a square zone of side `zoneSize`: zoneSize / 2 - 2.
// The dial's centre is (L + 1, L + 1) from the zone's origin.
int dialRadius(int zoneSize);

// 1000 x sine and 1000 x cosine of p x 6 degrees from the table; p in 0..59.
int dialSine(int p);
int dialCosine(int p);

// Sets the point at position p and radius r, offset o, to red: x = o +
// (r (1000 + S) + 500) / 1000, y = o + (r (1000 - C) + 400) / 1000 from the
// origin; a big point also lights the four neighbours (a plus of five
// pixels). Positions outside 0..59 draw nothing; pixels outside the raster
// are skipped.
void plotDialPoint(PageBitmap &target, int originX, int originY, int p, int r, int o, bool big);

// Hour marks, then hour, minute and second hands of `time` for a dial of
// radius L (nothing when L is negative). Radii are not limited to 8 bits,
// so zones higher than 515 pixels get a dial of their own size.
void drawDialWithRadius(PageBitmap &target, int originX, int originY, int radius, int hour,
                        int minute, int second);

// The dial for `time` in the square zone of side `zoneSize` whose top-left
// corner is (originX, originY).
void drawDial(PageBitmap &target, int originX, int originY, int zoneSize, const QTime &time);

} // namespace DialClock
