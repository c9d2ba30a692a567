#pragma once
// The segments of the progress dialog's colour bar: which rectangles are
// filled for a position, and in which colour. Plain code so the widget only
// paints what this gives.

#include <QColor>
#include <QRect>
#include <vector>

namespace GradientBarGeometry {

struct Segment {
    QRect rect;
    QColor color;
};

// Width of one segment: ceil(width / max) pixels (0 when max <= 0).
int segmentWidth(int width, int max);

// Colour of segment i: every channel start + (end - start) * i / max,
// truncated toward zero.
QColor segmentColor(int index, int max, const QColor &start, const QColor &end);

// Segments 0 to position - 1 of a bar of width x height with range 0..max,
// from left to right over the full height, clipped to the bar; none while
// the position is 0.
std::vector<Segment> segments(int width, int height, int max, int position, const QColor &start,
                              const QColor &end);

} // namespace GradientBarGeometry
