#pragma once
// Measures and draws text the way the pages need it: every character
// advances by its own width (a run is as wide as the sum of its characters),
// lines break at CR LF, a lone CR or a lone LF, and a wrapped block breaks
// long lines at spaces and between two Chinese characters. With a scale k
// above 1 (a bitmap strike scaled up), everything is measured k times the
// font's own pixels and every glyph is drawn as the font draws it, each
// pixel a k x k block. Bold and italic that a bitmap strike lacks
// (TextFont::strikeStyle) are drawn here: each glyph drawn again one pixel to
// the right, its advance one pixel wider; and slanted by shifting its rows,
// every line as much wider as its top row moves.
// Owned by one text rendering; it caches the advances (and scaled or styled
// glyphs) of the characters it has seen.

#include "render/TextFont.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QStringView>
#include <vector>

class QPainter;

// Code units [start, start + length) of the text, `width` pixels wide.
struct TextLine {
    int start = 0;
    int length = 0;
    int width = 0;
};

// Where drawing a long line left off: the first character that was not
// skipped and its offset from the line's left edge. Lets a caller that draws
// the same line onto consecutive pages, left to right, skip each character
// only once.
struct LineCursor {
    int index = -1;
    int offset = 0;
};

// Lines top to bottom; width is the widest line, height lines x line height.
struct TextBlock {
    std::vector<TextLine> lines;
    int width = 0;
    int height = 0;
};

class TextMeasurer {
public:
    explicit TextMeasurer(const QFont &font, int scale = 1);

    const QFont &font() const { return m_font; }
    int ascent() const { return m_ascent; }
    // Ascent plus descent, at least 1.
    int lineHeight() const { return m_lineHeight; }

    // Code units of the character that starts at `index` (2 for a complete
    // surrogate pair, else 1).
    static int charLength(QStringView text, int index);
    // Chinese characters (ideographs, Chinese punctuation and full-width
    // forms): the places between two of them are word boundaries.
    static bool isChinese(char32_t codePoint);
    static bool isLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }

    // Advance of the character at `index`. Line breaks, tabs and the other
    // control characters are measured as a space and are never drawn.
    int advanceAt(QStringView text, int index);

    // The text split only at its line breaks.
    TextBlock unwrapped(QStringView text);
    // As unwrapped, with lines wider than `width` broken at the last word
    // boundary that fits (a space at a break is dropped), or after the last
    // character that fits when a word alone is too wide. A line keeps at
    // least one character.
    TextBlock wrapped(QStringView text, int width);
    // Width of the text as one line, line breaks counted as characters.
    int singleLineWidth(QStringView text);
    // The largest number of code units from `pos` whose single-line width is
    // at most `width`; at least one character, never splitting a surrogate
    // pair or a CR LF pair.
    int fittingCount(QStringView text, int pos, int width);

    // Draws one line with its left edge at x and its top at y. Characters
    // that lie wholly outside the columns [visibleLeft, visibleRight) are
    // skipped (the caller clips exactly). With a cursor, drawing resumes where
    // the previous call on the same line left off; visibleLeft - x must then not
    // decrease between calls.
    void drawLine(QPainter &painter, QStringView text, const TextLine &line, int x, int y,
                  int visibleLeft, int visibleRight, LineCursor *cursor = nullptr);

private:
    int advanceOf(char32_t codePoint, QStringView chars);
    void drawGlyph(QPainter &painter, const QString &chars, int left, int baseline);
    void appendWrapped(QStringView text, int start, int end, int width, TextBlock &block);
    void finishBlock(TextBlock &block) const;

    TextFont::StrikeStyle m_strikeStyle; // before m_font: it is drawn without them
    QFont m_font;
    QFontMetrics m_metrics;
    int m_scale = 1;
    int m_fontAscent = 0; // in the font's own pixels
    int m_fontLineHeight = 1;
    int m_ascent = 0;
    int m_lineHeight = 1;
    int m_spaceAdvance = 0;
    int m_slant = 0; // pixels a hand-slanted line reaches beyond its advances
    // Glyphs may reach beyond their advance (italics, bold); characters this
    // far outside the visible columns are still drawn.
    int m_overhang = 0;
    QHash<char32_t, int> m_advances;
    QHash<QString, QImage> m_glyphs; // scaled or styled; key: colour and character
};
