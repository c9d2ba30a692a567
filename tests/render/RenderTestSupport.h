#pragma once
// Helpers shared by the render tests: reference images built straight from
// the layout rules and a pixel-exact comparison that names the first
// difference.

#include "common/BdfFont.h"
#include "render/PageBitmap.h"

#include <QImage>
#include <QString>
#include <ostream>
#include <vector>

// Lets test failures print strings readably.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace RenderTest {

// A line of text whose cell tops start at (x, y).
struct PlacedLine {
    QString text;
    int x = 0;
    int y = 0;
};

// A black image of width x height with the lines drawn from the test font's
// glyph cells in `bgr` (one advance per code unit), limited to `clip`.
QImage drawCells(const BdfFont::Spec &font, int width, int height,
                 const std::vector<PlacedLine> &lines, uint32_t bgr, const QRect &clip);

// Part of `band` placed with its (sx, sy) corner at (dx, dy) on a black
// width x height image.
QImage cut(const QImage &band, int width, int height, int dx, int dy, int sx, int sy);

// Empty when equal, else where and how they differ.
QString difference(const PageBitmap &page, const QImage &expected);

// Number of pixels that are not black.
int litPixels(const PageBitmap &page);

} // namespace RenderTest
