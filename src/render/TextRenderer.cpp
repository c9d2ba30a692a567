#include "render/TextRenderer.h"

#include "render/EntryAnimation.h"
#include "render/TextFont.h"
#include "render/TextMeasurer.h"

#include <QPainter>
#include <algorithm>

namespace {

// The text colour as one of the page colours: a channel is lit when it is
// at least half on; a colour that lights neither draws red.
uint32_t pageColour(uint32_t bgr)
{
    const bool red = (bgr & 0xFF) >= 0x80;
    const bool green = ((bgr >> 8) & 0xFF) >= 0x80;
    if (!red && !green)
        return LedColor::Red;
    return (red ? LedColor::Red : 0) | (green ? LedColor::Green : 0);
}

// Glyph pixels are drawn without anti-aliasing, so they are already either
// the text colour or black; this makes sure of it whatever the font engine
// did (hinting, embedded bitmaps, outlines drawn as paths).
void snapToColour(QImage &image, uint32_t bgr)
{
    const QRgb on = PageBitmap::toRgb(bgr);
    const QRgb off = qRgb(0, 0, 0);
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = row[x];
            if ((p & 0xFFFFFF) == 0 || p == on)
                continue;
            row[x] = (qRed(p) >= 128 || qGreen(p) >= 128 || qBlue(p) >= 128) ? on : off;
        }
    }
}

// One page being drawn: black, painted through a clip rectangle, snapped to
// the two colours when finished.
class PageCanvas {
public:
    PageCanvas(int width, int height, const QFont &font, uint32_t colour, const QRect &clip)
        : m_colour(colour)
    {
        if (!m_page.create(width, height))
            return;
        m_painter.begin(&m_page.image());
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setFont(font);
        m_painter.setPen(QColor(PageBitmap::toRgb(colour)));
        m_painter.setClipRect(clip.intersected(QRect(0, 0, width, height)));
    }

    bool isValid() const { return !m_page.isNull(); }
    QPainter &painter() { return m_painter; }

    PageBitmap finish()
    {
        if (m_painter.isActive())
            m_painter.end();
        if (!m_page.isNull())
            snapToColour(m_page.image(), m_colour);
        return std::move(m_page);
    }

private:
    PageBitmap m_page;
    QPainter m_painter;
    uint32_t m_colour;
};

// The three layouts. The bands are never made as scratch rasters: each page
// draws the part of the text that its slice of the band holds, through a
// clip rectangle that stands for the band's edges, so no scratch surface is
// larger than one page whatever the text.
// Without a page list it only counts: the same measuring, the same page
// breaks, no rasters, so a page count never needs the pages.
struct Layout {
    QStringView text;
    TextMeasurer &measurer;
    uint32_t colour;
    int width;
    int height;
    int maxPages;
    std::vector<PageBitmap> *pages;
    int count = 0;

    void horizontalBand(const TextBlock &block);
    void verticalBand(const TextBlock &block);
    void fittedPages();
};

// The em height text of `size` points is drawn with on width x height pages.
int emPixels(int size, int width, int height)
{
    return TextFont::renderEmHeight(size, TextRenderer::maxEmHeight(width, height));
}

// Page count for `extent` pixels cut into pieces of `piece`, rounded up.
int64_t pageCountFor(int extent, int piece)
{
    return (int64_t(piece) + extent - 1) / piece;
}

void Layout::horizontalBand(const TextBlock &block)
{
    const int tw = block.width;
    const int th = block.height;
    const int lineHeight = measurer.lineHeight();
    const int x0 = tw < width ? (width - tw) / 2 : 0;
    const int y0 = (height - th) / 2;
    const int n = int(std::min<int64_t>(pageCountFor(tw, width), maxPages));
    count = n;
    if (!pages)
        return;
    // Only the band rows that land on a page are drawn.
    const int firstLine = std::max(0, -y0 / lineHeight - 2);
    const int lastLine = std::min(int(block.lines.size()) - 1, (height - y0) / lineHeight + 2);
    std::vector<LineCursor> cursors(size_t(std::max(0, lastLine - firstLine + 1)));
    for (int i = 0; i < n; ++i) {
        PageCanvas canvas(width, height, measurer.font(), colour, QRect(x0, y0, width, th));
        if (canvas.isValid()) {
            for (int k = firstLine; k <= lastLine; ++k) {
                measurer.drawLine(canvas.painter(), text, block.lines[size_t(k)], x0 - i * width,
                                  y0 + k * lineHeight, 0, width, &cursors[size_t(k - firstLine)]);
            }
        }
        pages->push_back(canvas.finish());
    }
}

void Layout::verticalBand(const TextBlock &block)
{
    const int tw = block.width;
    const int lineHeight = measurer.lineHeight();
    const int n = int(std::min<int64_t>(pageCountFor(block.height, height), maxPages));
    count = n;
    if (!pages)
        return;
    const int x = (width - tw) / 2;
    for (int i = 0; i < n; ++i) {
        PageCanvas canvas(width, height, measurer.font(), colour, QRect(x, 0, tw, height));
        if (canvas.isValid()) {
            const int64_t bandTop = int64_t(i) * height;
            const int first = int(std::max<int64_t>(0, bandTop / lineHeight - 2));
            const int last = int(std::min<int64_t>(int64_t(block.lines.size()) - 1,
                                                   (bandTop + height) / lineHeight + 2));
            for (int k = first; k <= last; ++k) {
                measurer.drawLine(canvas.painter(), text, block.lines[size_t(k)], x,
                                  int(int64_t(k) * lineHeight - bandTop), 0, width);
            }
        }
        pages->push_back(canvas.finish());
    }
}

void Layout::fittedPages()
{
    const int length = int(text.size());
    const int lineHeight = measurer.lineHeight();
    int pos = 0;
    while (pos < length && count < maxPages) {
        const int n = measurer.fittingCount(text, pos, width);
        ++count;
        if (!pages) {
            pos += n;
            continue;
        }
        const QStringView chunk = text.mid(pos, n);
        const TextBlock block = measurer.unwrapped(chunk);
        // Only a text that fits on this one page is centred horizontally.
        const int x = (pos == 0 && n == length) ? (width - block.width) / 2 : 0;
        const int y = (height - block.height) / 2;
        PageCanvas canvas(width, height, measurer.font(), colour,
                          QRect(x, y, width - 2 * x, height - 2 * y));
        if (canvas.isValid()) {
            const int first = std::max(0, -y / lineHeight - 2);
            const int last = std::min(int(block.lines.size()) - 1, (height - y) / lineHeight + 2);
            for (int k = first; k <= last; ++k) {
                measurer.drawLine(canvas.painter(), chunk, block.lines[size_t(k)], x,
                                  y + k * lineHeight, 0, width);
            }
        }
        pages->push_back(canvas.finish());
        pos += n;
    }
}

} // namespace

TextLayout TextRenderer::chooseLayout(int action, bool stayTimeZero)
{
    if (!stayTimeZero)
        return TextLayout::FittedPages;
    if (action == EntryAnimation::MoveUp)
        return TextLayout::VerticalBand;
    if (action == EntryAnimation::MoveLeft || action == EntryAnimation::ContinuousLeft)
        return TextLayout::HorizontalBand;
    return TextLayout::FittedPages;
}

int TextRenderer::maxPages(int width, int height)
{
    const int64_t area = int64_t(std::max(width, 1)) * std::max(height, 1);
    return int(std::clamp<int64_t>(kMaxItemPixels / area, 1, kMaxPages));
}

int TextRenderer::maxEmHeight(int width, int height)
{
    const int64_t side = std::max(std::min(width, height), 1);
    return int(std::clamp<int64_t>(kMaxEmPerPageSide * side, kMinEmCap, 1 << 16));
}

int TextRenderer::layOut(const TextRenderParams &params, std::vector<PageBitmap> *pages)
{
    const int width = params.width;
    const int height = params.height;
    if (width <= 0 || height <= 0)
        return 0;
    auto blank = [&] {
        if (pages) {
            PageBitmap page;
            page.create(width, height);
            pages->push_back(std::move(page));
        }
        return 1;
    };
    if (params.text.isEmpty())
        return blank();

    // A strike scaled k times is laid out and drawn at its own size, k times.
    const int em = emPixels(params.size, width, height);
    const int scale = TextFont::strikeScale(params.faceName, em);
    TextMeasurer measurer(TextFont::make(params.faceName, em / scale, params.style), scale);
    const QStringView text(params.text);
    const TextBlock whole = measurer.unwrapped(text);
    // A text of nothing but line breaks shows as one blank page, like an
    // empty text, whatever the layout.
    if (whole.width == 0)
        return blank();

    const int pageCap = params.maxPages > 0 ? std::min(params.maxPages, maxPages(width, height))
                                            : maxPages(width, height);
    Layout layout{text, measurer, pageColour(params.color), width, height, pageCap, pages};
    switch (chooseLayout(params.action, params.stayTimeZero)) {
    case TextLayout::HorizontalBand:
        layout.horizontalBand(whole);
        break;
    case TextLayout::VerticalBand:
        layout.verticalBand(measurer.wrapped(text, width));
        break;
    case TextLayout::FittedPages:
        layout.fittedPages();
        break;
    }
    return layout.count > 0 ? layout.count : blank();
}

std::vector<PageBitmap> TextRenderer::render(const TextRenderParams &params)
{
    std::vector<PageBitmap> pages;
    layOut(params, &pages);
    return pages;
}

int TextRenderer::pageCount(const TextRenderParams &params)
{
    return layOut(params, nullptr);
}

QString TextRenderer::missingCharacters(const TextRenderParams &params)
{
    return TextFont::missingCharacters(
        params.faceName, emPixels(params.size, params.width, params.height), params.text);
}

std::vector<TextFont::MissingCharacter> TextRenderer::missingGlyphs(const TextRenderParams &params)
{
    return TextFont::missingGlyphs(params.faceName,
                                   emPixels(params.size, params.width, params.height), params.style,
                                   params.text);
}

TextRenderer::LineFit TextRenderer::lineFit(const TextRenderParams &params)
{
    const int width = std::max(params.width, 1);
    const int height = std::max(params.height, 1);
    const int em = emPixels(params.size, width, height);
    const int scale = TextFont::strikeScale(params.faceName, em);
    TextMeasurer measurer(TextFont::make(params.faceName, em / scale, params.style), scale);
    LineFit fit;
    fit.lineHeight = measurer.lineHeight();
    if (!params.text.isEmpty())
        fit.lines = int(measurer.unwrapped(params.text).lines.size());
    return fit;
}

int TextRenderer::largestFittingSize(const TextRenderParams &params, int lines)
{
    TextRenderParams p = params;
    const int drawn = params.size > 0 ? params.size : TextFont::kDefaultSize;
    for (p.size = drawn - 1; p.size >= 1; --p.size) {
        if (int64_t(lineFit(p).lineHeight) * std::max(lines, 1) <= params.height)
            return p.size;
    }
    return 0;
}

QList<int> TextRenderer::crispSizes(const QString &face, int style, int height)
{
    QList<int> sizes;
    TextRenderParams p;
    p.faceName = face;
    p.style = style;
    p.width = std::max(height, 1);
    p.height = height;
    for (int size = 1; size <= kLargestCrispSize; ++size) {
        const int em = TextFont::emHeight(size);
        if (em > height)
            break;
        const int scale = TextFont::strikeScale(face, em);
        const QString family = TextFont::resolveFamily(face, em / scale);
        if (em % scale != 0 || !TextFont::strikeSizes(family).contains(em / scale))
            continue;
        p.size = size;
        if (lineFit(p).lineHeight <= height)
            sizes << size;
    }
    return sizes;
}
