#include "render/DialClock.h"

#include "render/PageBitmap.h"

// Placeholder until the dial drawing lands.
void DialClock::drawDial(PageBitmap &, int, int, int, const QTime &) {}
