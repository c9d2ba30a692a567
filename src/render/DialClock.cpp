#include "render/DialClock.h"

#include "render/PageBitmap.h"

int DialClock::dialRadius(int zoneSize)
{
    return zoneSize / 2 - 2;
}

int DialClock::dialSine(int p)
{
    if (p <= 15)
        return kSineTable[p];
    if (p <= 30)
        return kSineTable[30 - p];
    if (p <= 45)
        return -kSineTable[p - 30];
    return -kSineTable[60 - p];
}

int DialClock::dialCosine(int p)
{
    if (p <= 15)
        return kSineTable[15 - p];
    if (p <= 30)
        return -kSineTable[p - 15];
    if (p <= 45)
        return -kSineTable[45 - p];
    return kSineTable[p - 45];
}

void DialClock::plotDialPoint(PageBitmap &target, int originX, int originY, int p, int r, int o,
                              bool big)
{
    if (p < 0 || p > 59 || r < 0)
        return;
    const int64_t s = dialSine(p);
    const int64_t c = dialCosine(p);
    // Both numerators are never negative; note the different rounding terms.
    const int x = originX + o + int((r * (1000 + s) + 500) / 1000);
    const int y = originY + o + int((r * (1000 - c) + 400) / 1000);
    target.setPixel(x, y, LedColor::Red);
    if (big) {
        target.setPixel(x, y + 1, LedColor::Red);
        target.setPixel(x, y - 1, LedColor::Red);
        target.setPixel(x + 1, y, LedColor::Red);
        target.setPixel(x - 1, y, LedColor::Red);
    }
}

void DialClock::drawDialWithRadius(PageBitmap &target, int originX, int originY, int radius,
                                   int hour, int minute, int second)
{
    if (radius < 0)
        return;
    const int l = radius;
    for (int i = 0; i < 12; ++i)
        plotDialPoint(target, originX, originY, 5 * i, l, 1, true);
    const int hourPos = (hour % 12) * 5 + minute / 12;
    for (int r = 0; r < l / 2; ++r)
        plotDialPoint(target, originX, originY, hourPos, r, l + 1 - r, true);
    for (int r = 0; r < (2 * l) / 3; ++r)
        plotDialPoint(target, originX, originY, minute, r, l + 1 - r, false);
    for (int r = 0; r < (4 * l) / 5; ++r)
        plotDialPoint(target, originX, originY, second, r, l + 1 - r, false);
}

void DialClock::drawDial(PageBitmap &target, int originX, int originY, int zoneSize,
                         const QTime &time)
{
    // An invalid time shows the hands at 12 o'clock.
    const QTime t = time.isValid() ? time : QTime(0, 0);
    drawDialWithRadius(target, originX, originY, dialRadius(zoneSize), t.hour(), t.minute(),
                       t.second());
}
