#pragma once
// Tiny bitmap fonts for tests: every glyph is a cell of `advance` x
// (ascent + descent) pixels with a border and a pattern that differs from
// character to character, so layout tests can predict every pixel without
// depending on the fonts a machine has installed.

#include <QByteArray>
#include <QString>
#include <vector>

namespace BdfFont {

struct Spec {
    QString family = QStringLiteral("BrivaneTestCell");
    int pixelSize = 12; // the em height the font answers to
    int ascent = 12;
    int descent = 2;
    int advance = 12; // advance and cell width of every glyph
    // Rows the cells are raised above FONT_ASCENT, as some strikes draw
    // higher than their stated ascent.
    int rise = 0;
    // Characters the font has; empty: printable ASCII and some Chinese.
    std::vector<char32_t> codePoints;
};

// Printable ASCII, the Chinese characters of the default text program,
// 一二三四五 and
// U+4E00..U+4E3F.
std::vector<char32_t> defaultCodePoints();

// The font file.
QByteArray make(const Spec &spec);

// Whether the glyph of `cp` lights pixel (x, y) of its cell, (0, 0) being
// the cell's top-left corner (ascent + rise above the baseline). A space is
// blank.
bool glyphPixel(const Spec &spec, char32_t cp, int x, int y);

// Registers the font with the running Qt application (once per family) and
// returns its family name, or an empty string on failure.
QString install(const Spec &spec);

} // namespace BdfFont
