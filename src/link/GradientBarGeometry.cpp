#include "link/GradientBarGeometry.h"

#include <algorithm>

namespace GradientBarGeometry {

int segmentWidth(int width, int max)
{
    if (max <= 0 || width <= 0)
        return 0;
    return (width + max - 1) / max;
}

QColor segmentColor(int index, int max, const QColor &start, const QColor &end)
{
    if (max <= 0)
        return start;
    const auto channel = [&](int s, int e) {
        return std::clamp(s + (e - s) * index / max, 0, 255);
    };
    return QColor(channel(start.red(), end.red()), channel(start.green(), end.green()),
                  channel(start.blue(), end.blue()));
}

std::vector<Segment> segments(int width, int height, int max, int position, const QColor &start,
                              const QColor &end)
{
    std::vector<Segment> result;
    const int step = segmentWidth(width, max);
    if (step <= 0 || height <= 0 || position <= 0)
        return result;
    const QRect client(0, 0, width, height);
    const int count = std::min(position, max);
    for (int i = 0; i < count; ++i) {
        // 64-bit: a very wide bar with a small range must not overflow.
        const long long left = static_cast<long long>(i) * step;
        if (left >= width)
            break;
        const QRect rect = QRect(int(left), 0, step, height).intersected(client);
        result.push_back({rect, segmentColor(i, max, start, end)});
    }
    return result;
}

} // namespace GradientBarGeometry
