#include "render/TextMeasurer.h"

#include "render/TextFont.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace {

// Widths and heights saturate here: a text long enough to exceed it is far
// beyond the pages an item can hold, and int arithmetic on it stays safe.
constexpr int64_t kMaxExtent = int64_t(1) << 28;

int clampExtent(int64_t v)
{
    return int(std::min(v, kMaxExtent));
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

char32_t codePointAt(QStringView text, int index, int length)
{
    return length == 2 ? QChar::surrogateToUcs4(text[index], text[index + 1])
                       : char32_t(text[index].unicode());
}

// The code point of the character that ends just before `index`.
char32_t codePointBefore(QStringView text, int index)
{
    if (index >= 2 && text[index - 1].isLowSurrogate() && text[index - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[index - 2], text[index - 1]);
    return text[index - 1].unicode();
}

// The font as the engine draws it: without the styles drawn by hand.
QFont withoutStrikeStyle(QFont font, TextFont::StrikeStyle style)
{
    if (style.bold)
        font.setWeight(QFont::Normal);
    if (style.italic)
        font.setItalic(false);
    return font;
}

// Italic drawn by hand: a glyph's rows move one pixel to the right for every
// kSlantRows rows above the line's bottom row (about the 14 degrees of an
// italic face), so a line is that many pixels wider than its advances.
constexpr int kSlantRows = 4;

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// `glyph` with each row y shifted by the slant of its distance from the
// line's bottom row, `bottomRow`, which stays in place.
QImage slanted(const QImage &glyph, int bottomRow)
{
    QImage out(glyph.size(), glyph.format());
    out.fill(Qt::transparent);
    const int width = glyph.width();
    for (int y = 0; y < glyph.height(); ++y) {
        const int shift = floorDiv(bottomRow - y, kSlantRows);
        const auto *from = reinterpret_cast<const QRgb *>(glyph.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = std::max(0, -shift); x < std::min(width, width - shift); ++x)
            to[x + shift] = from[x];
    }
    return out;
}

} // namespace

TextMeasurer::TextMeasurer(const QFont &font, int scale)
    : m_strikeStyle(TextFont::strikeStyle(font)), m_font(withoutStrikeStyle(font, m_strikeStyle)),
      m_metrics(m_font), m_scale(qBound(1, scale, 64))
{
    const TextFont::LineBox box = TextFont::lineBox(m_font);
    m_fontAscent = box.ascent;
    m_fontLineHeight = qMax(1, box.ascent + box.descent);
    m_ascent = box.ascent * m_scale;
    m_lineHeight = m_fontLineHeight * m_scale;
    const int bold = m_strikeStyle.bold ? 1 : 0;
    m_spaceAdvance = (m_metrics.horizontalAdvance(QChar(u' ')) + bold) * m_scale;
    m_slant = m_strikeStyle.italic ? (m_fontLineHeight - 1) / kSlantRows * m_scale : 0;
    m_overhang = 2 * qMax(m_lineHeight, m_font.pixelSize() * m_scale) + 2;
}

int TextMeasurer::charLength(QStringView text, int index)
{
    if (index + 1 < text.size() && text[index].isHighSurrogate() &&
        text[index + 1].isLowSurrogate())
        return 2;
    return 1;
}

bool TextMeasurer::isChinese(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF)       // radicals, punctuation, kana, ideographs
           || (c >= 0xF900 && c <= 0xFAFF)    // compatibility ideographs
           || (c >= 0xFE30 && c <= 0xFE4F)    // compatibility forms
           || (c >= 0xFF00 && c <= 0xFFEF)    // full-width forms
           || (c >= 0x20000 && c <= 0x3FFFF); // supplementary ideographs
}

int TextMeasurer::advanceOf(char32_t codePoint, QStringView chars)
{
    auto it = m_advances.constFind(codePoint);
    if (it != m_advances.constEnd())
        return it.value();
    const int advance = chars.size() == 1 ? m_metrics.horizontalAdvance(chars[0])
                                          : m_metrics.horizontalAdvance(chars.toString());
    // An emboldened glyph is one pixel wider, and so is its advance.
    const int bold = m_strikeStyle.bold && advance > 0 ? 1 : 0;
    const int scaled = (qMax(0, advance) + bold) * m_scale;
    m_advances.insert(codePoint, scaled);
    return scaled;
}

int TextMeasurer::advanceAt(QStringView text, int index)
{
    if (isControl(text[index]))
        return m_spaceAdvance;
    const int length = charLength(text, index);
    return advanceOf(codePointAt(text, index, length), text.mid(index, length));
}

void TextMeasurer::finishBlock(TextBlock &block) const
{
    block.width = 0;
    for (TextLine &line : block.lines) {
        if (line.width > 0)
            line.width = clampExtent(int64_t(line.width) + m_slant);
        block.width = qMax(block.width, line.width);
    }
    block.height = clampExtent(int64_t(block.lines.size()) * m_lineHeight);
}

TextBlock TextMeasurer::unwrapped(QStringView text)
{
    TextBlock block;
    const int size = int(text.size());
    int start = 0;
    int64_t width = 0;
    for (int i = 0; i < size;) {
        if (isLineBreak(text[i])) {
            block.lines.push_back({start, i - start, clampExtent(width)});
            i += (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
            start = i;
            width = 0;
            continue;
        }
        width += advanceAt(text, i);
        i += charLength(text, i);
    }
    block.lines.push_back({start, size - start, clampExtent(width)});
    finishBlock(block);
    return block;
}

TextBlock TextMeasurer::wrapped(QStringView text, int width)
{
    TextBlock block;
    const int size = int(text.size());
    int start = 0;
    for (int i = 0; i < size;) {
        if (isLineBreak(text[i])) {
            appendWrapped(text, start, i, width - m_slant, block);
            i += (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
            start = i;
            continue;
        }
        ++i;
    }
    appendWrapped(text, start, size, width - m_slant, block);
    finishBlock(block);
    return block;
}

void TextMeasurer::appendWrapped(QStringView text, int start, int end, int width, TextBlock &block)
{
    if (start == end) {
        block.lines.push_back({start, 0, 0});
        return;
    }
    auto widthOf = [&](int from, int to) {
        int64_t w = 0;
        for (int i = from; i < to; i += charLength(text, i))
            w += advanceAt(text, i);
        return clampExtent(w);
    };
    int s = start;
    while (s < end) {
        int64_t w = 0;
        int j = s;
        while (j < end) {
            const int a = advanceAt(text, j);
            if (w + a > width)
                break;
            w += a;
            j += charLength(text, j);
        }
        if (j >= end) {
            block.lines.push_back({s, end - s, clampExtent(w)});
            return;
        }
        int lineEnd = j;
        if (j == s) {
            // One character alone is wider than the line: it stands alone.
            lineEnd = s + charLength(text, s);
        } else if (text[j] != u' ') {
            // Back to the last word boundary, if the line has one.
            for (int k = j; k > s; --k) {
                if (text[k].isLowSurrogate() && text[k - 1].isHighSurrogate())
                    continue;
                if (text[k - 1] == u' ' || (isChinese(codePointBefore(text, k)) &&
                                            isChinese(codePointAt(text, k, charLength(text, k))))) {
                    lineEnd = k;
                    break;
                }
            }
        }
        const int next = lineEnd;
        while (lineEnd > s && text[lineEnd - 1] == u' ')
            --lineEnd;
        if (lineEnd > s)
            block.lines.push_back({s, lineEnd - s, widthOf(s, lineEnd)});
        // Spaces at a break are not carried to the next line.
        s = next;
        while (s < end && text[s] == u' ')
            ++s;
    }
}

int TextMeasurer::singleLineWidth(QStringView text)
{
    int64_t width = 0;
    for (int i = 0; i < text.size(); i += charLength(text, i))
        width += advanceAt(text, i);
    return width > 0 ? clampExtent(width + m_slant) : 0;
}

int TextMeasurer::fittingCount(QStringView text, int pos, int width)
{
    const int size = int(text.size());
    if (pos >= size)
        return 0;
    int n = 0;
    int64_t w = m_slant;
    while (pos + n < size) {
        const int a = advanceAt(text, pos + n);
        if (w + a > width)
            break;
        w += a;
        n += charLength(text, pos + n);
    }
    if (n == 0)
        n = charLength(text, pos);
    // A CR LF pair is one line break: it is not cut in two.
    const int cut = pos + n;
    if (cut < size && text[cut - 1] == u'\r' && text[cut] == u'\n')
        n = n > 1 ? n - 1 : n + 1;
    return n;
}

void TextMeasurer::drawLine(QPainter &painter, QStringView text, const TextLine &line, int x, int y,
                            int visibleLeft, int visibleRight, LineCursor *cursor)
{
    const int end = line.start + line.length;
    int i = line.start;
    int offset = 0;
    if (cursor && cursor->index >= line.start && cursor->index <= end) {
        i = cursor->index;
        offset = cursor->offset;
    }
    const int baseline = y + m_ascent;
    bool skipping = true;
    while (i < end) {
        const int length = charLength(text, i);
        const int advance = advanceAt(text, i);
        const int left = x + offset;
        if (left - m_overhang >= visibleRight)
            break;
        if (left + advance + m_overhang <= visibleLeft) {
            if (skipping && cursor) {
                cursor->index = i + length;
                cursor->offset = offset + advance;
            }
        } else {
            skipping = false;
            // Drawn as typed: an '&' is an ordinary character here.
            if (!isControl(text[i]) && text[i] != u' ') {
                if (m_scale == 1 && !m_strikeStyle.bold && !m_strikeStyle.italic)
                    painter.drawText(QPoint(left, baseline), text.mid(i, length).toString());
                else
                    drawGlyph(painter, text.mid(i, length).toString(), left, baseline);
            }
        }
        offset += advance;
        i += length;
    }
}

void TextMeasurer::drawGlyph(QPainter &painter, const QString &chars, int left, int baseline)
{
    // The glyph as the font draws it, on a transparent raster with room for
    // what reaches beyond its advance and line, emboldened and slanted when
    // the strike lacks the style, then blown up pixel by pixel.
    const int pad = qMax(1, m_font.pixelSize());
    const QColor colour = painter.pen().color();
    const QString key = QString::number(colour.rgba(), 16) + QLatin1Char('/') + chars;
    auto it = m_glyphs.constFind(key);
    if (it == m_glyphs.constEnd()) {
        const int bold = m_strikeStyle.bold ? 1 : 0;
        const int width = m_metrics.horizontalAdvance(chars) + 2 * pad + bold;
        const int height = m_fontLineHeight + 2 * pad;
        const int baselineRow = pad + m_fontAscent;
        QImage glyph(qMax(1, width), height, QImage::Format_ARGB32_Premultiplied);
        glyph.fill(Qt::transparent);
        QPainter p(&glyph);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(m_font);
        p.setPen(colour);
        for (int dx = 0; dx <= bold; ++dx)
            p.drawText(QPoint(pad + dx, baselineRow), chars);
        p.end();
        if (m_strikeStyle.italic)
            glyph = slanted(glyph, pad + m_fontLineHeight - 1);
        it = m_glyphs.insert(key, glyph);
    }
    const QImage &glyph = it.value();
    const QRect target(left - pad * m_scale, baseline - (pad + m_fontAscent) * m_scale,
                       glyph.width() * m_scale, glyph.height() * m_scale);
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, glyph);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
