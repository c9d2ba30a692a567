#pragma once
// The dial clock of the clock zone, drawn as LED dots onto a raster at the
// zone's origin. Plain code so that the preview only has to show it.

#include <QTime>

class PageBitmap;

namespace DialClock {
// Draws the dial for `time` into `target` in the square zone of side
// `zoneSize` whose top-left corner is (originX, originY).
void drawDial(PageBitmap &target, int originX, int originY, int zoneSize, const QTime &time);
} // namespace DialClock
