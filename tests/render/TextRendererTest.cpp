#include "render/TextRenderer.h"
#include "common/BdfFont.h"
#include "render/RenderTestSupport.h"
#include "render/TextFont.h"
#include "render/TextMeasurer.h"

#include <QFontDatabase>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>
#include <random>

using namespace RenderTest;

namespace {

// Cells of advance x (ascent + descent) at em `pixels`: 12 x 14 at em 12
// (size 9) is the font of the fitted-pages example; 27-pixel lines at em 27
// (size 20) serve the band examples.
BdfFont::Spec cellFont(int advance, int pixels, int ascent, int descent)
{
    BdfFont::Spec s;
    s.family = QStringLiteral("BrivCell%1x%2").arg(advance).arg(ascent + descent);
    s.pixelSize = pixels;
    s.ascent = ascent;
    s.descent = descent;
    s.advance = advance;
    return s;
}
const BdfFont::Spec kCell12 = cellFont(12, 12, 12, 2);
const BdfFont::Spec kCell20 = cellFont(20, 27, 23, 4);
const BdfFont::Spec kCell10 = cellFont(10, 27, 23, 4);

TextRenderParams params(const BdfFont::Spec &font, const QString &text, int width, int height,
                        int action = 1)
{
    TextRenderParams p;
    p.faceName = BdfFont::install(font);
    EXPECT_EQ(p.faceName, font.family) << "test font not loaded";
    p.size = font.pixelSize == 12 ? 9 : 20;
    p.text = text;
    p.action = action;
    p.width = width;
    p.height = height;
    return p;
}

// One line of cells with its top-left corner at (x, y), clipped to `clip`.
QImage line(const BdfFont::Spec &font, int width, int height, const QString &text, int x, int y,
            QRect clip = QRect(-10000, -10000, 20000, 20000))
{
    return drawCells(font, width, height, {{text, x, y}}, LedColor::Red, clip);
}

void expectPages(const std::vector<PageBitmap> &pages, const std::vector<QImage> &expected)
{
    ASSERT_EQ(pages.size(), expected.size());
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(difference(pages[i], expected[i]), QString()) << "page " << i + 1;
}

// The pages cut from a band of `lines` as the horizontal band layout cuts it.
std::vector<QImage> bandPages(const BdfFont::Spec &font, const QStringList &lines, int width,
                              int height)
{
    int tw = 0;
    std::vector<PlacedLine> placed;
    const int lineHeight = font.ascent + font.descent;
    for (int k = 0; k < lines.size(); ++k) {
        tw = qMax(tw, int(lines[k].size()) * font.advance);
        placed.push_back({lines[k], 0, k * lineHeight});
    }
    const int th = int(lines.size()) * lineHeight;
    const int n = (width + tw - 1) / width;
    const QImage band =
        drawCells(font, n * width, th, placed, LedColor::Red, QRect(0, 0, n * width, th));
    std::vector<QImage> pages;
    for (int i = 0; i < n; ++i)
        pages.push_back(cut(band, width, height, tw < width ? (width - tw) / 2 : 0,
                            (height - th) / 2, i * width, 0));
    return pages;
}

TEST(TextLayout, FittedPagesHoldOneLineEach)
{
    // 60 <= 64 < 72: five characters a page, from x 0 at y (16 - 14) / 2 = 1.
    expectPages(TextRenderer::render(params(kCell12, QStringLiteral("ABCDEFGHIJKL"), 64, 16)),
                {line(kCell12, 64, 16, QStringLiteral("ABCDE"), 0, 1),
                 line(kCell12, 64, 16, QStringLiteral("FGHIJ"), 0, 1),
                 line(kCell12, 64, 16, QStringLiteral("KL"), 0, 1)});
    // A text that fits on one page is centred: x = (64 - 60) / 2.
    expectPages(TextRenderer::render(params(kCell12, QStringLiteral("一二三四五"), 64, 16)),
                {line(kCell12, 64, 16, QStringLiteral("一二三四五"), 2, 1)});
    // Characters wider than the page stand alone, left-aligned and cut on
    // the right; a single one is centred and cut on both sides.
    expectPages(TextRenderer::render(params(kCell20, QStringLiteral("AB"), 16, 32)),
                {line(kCell20, 16, 32, QStringLiteral("A"), 0, 2),
                 line(kCell20, 16, 32, QStringLiteral("B"), 0, 2)});
    expectPages(TextRenderer::render(params(kCell20, QStringLiteral("A"), 16, 32)),
                {line(kCell20, 16, 32, QStringLiteral("A"), -2, 2)});
}

TEST(TextLayout, HorizontalBandRunsAcrossPages)
{
    // One line of 200 x 27 on 96 x 32: band columns 0-95, 96-191 and 192-287
    // at y 2.
    const QString ten = QStringLiteral("ABCDEFGHIJ");
    const auto pages = TextRenderer::render(params(kCell20, ten, 96, 32, 13));
    ASSERT_EQ(pages.size(), 3u);
    expectPages(pages, bandPages(kCell20, {ten}, 96, 32));
    // A 60 x 27 line: one page at x0 = 18.
    expectPages(TextRenderer::render(params(kCell20, QStringLiteral("ABC"), 96, 32, 2)),
                {line(kCell20, 96, 32, QStringLiteral("ABC"), 18, 2)});
    // Lines stack inside the band; a block taller than the page (54 rows on
    // 16: y0 = -19) is centred and clipped above and below.
    const QString twoLines = QStringLiteral("ABCDEFG\r\nHI");
    expectPages(TextRenderer::render(params(kCell20, twoLines, 64, 16, 13)),
                bandPages(kCell20, {QStringLiteral("ABCDEFG"), QStringLiteral("HI")}, 64, 16));
}

TEST(TextLayout, VerticalBandRunsDownThroughPages)
{
    // Three wrapped lines 90 wide: th 81, three pages, x = 3; the third line
    // (rows 54-80) is split between pages 2 and 3.
    const auto pages = TextRenderer::render(
        params(kCell10, QStringLiteral("AAAAAAAAA BBBBBBBBB CCCCCCCCC"), 96, 32, 4));
    const QImage band = drawCells(kCell10, 90, 96,
                                  {{QStringLiteral("AAAAAAAAA"), 0, 0},
                                   {QStringLiteral("BBBBBBBBB"), 0, 27},
                                   {QStringLiteral("CCCCCCCCC"), 0, 54}},
                                  LedColor::Red, QRect(0, 0, 90, 96));
    expectPages(pages, {cut(band, 96, 32, 3, 0, 0, 0), cut(band, 96, 32, 3, 0, 0, 32),
                        cut(band, 96, 32, 3, 0, 0, 64)});
}

TEST(TextLayout, ActionAndStayTimeChooseTheLayout)
{
    using L = TextLayout;
    const struct {
        int action;
        bool stayZero;
        TextLayout layout;
    } cases[] = {{13, true, L::HorizontalBand}, {2, true, L::HorizontalBand},
                 {4, true, L::VerticalBand},    {1, true, L::FittedPages},
                 {3, true, L::FittedPages},     {13, false, L::FittedPages},
                 {4, false, L::FittedPages}};
    for (const auto &c : cases)
        EXPECT_EQ(TextRenderer::chooseLayout(c.action, c.stayZero), c.layout) << c.action;
}

TEST(TextLayout, BlankAndOverlongTexts)
{
    for (int action : {1, 4, 13}) {
        SCOPED_TRACE(action);
        // Nothing but line breaks: one blank page, as for an empty text.
        for (const QString &text :
             {QString(), QStringLiteral("\r\n"), QStringLiteral("\n\r\n\r")}) {
            const auto pages = TextRenderer::render(params(kCell12, text, 64, 16, action));
            ASSERT_EQ(pages.size(), 1u);
            EXPECT_EQ(litPixels(pages[0]), 0);
        }
        // The card takes 256 pages of an item; the last one still has text.
        const auto pages =
            TextRenderer::render(params(kCell12, QString(400, u'A'), 12, 14, action));
        ASSERT_EQ(pages.size(), size_t(TextRenderer::kMaxPages));
        EXPECT_GT(litPixels(pages.back()), 0);
    }
    EXPECT_TRUE(TextRenderer::render(params(kCell12, QStringLiteral("A"), 0, 16)).empty());
}

// The layout-only count of the layout examples above and of the edges where
// a count is easy to get wrong: the page cap, a caller's cap, no content
// area, long texts on the largest screen in the real faces.
TEST(TextLayout, PageCountWithoutDrawingIsTheRenderedCount)
{
    const QString ten = QStringLiteral("ABCDEFGHIJ");
    QString long1500;
    for (int i = 0; i < 100; ++i)
        long1500 += QStringLiteral("示例文字，Brivane LED 屏");
    const struct {
        TextRenderParams params;
        int maxPages;
        bool stayZero;
    } cases[] = {
        {params(kCell12, QStringLiteral("ABCDEFGHIJKL"), 64, 16), 0, true},
        {params(kCell12, QStringLiteral("一二三四五"), 64, 16), 0, true},
        {params(kCell20, QStringLiteral("AB"), 16, 32), 0, true},
        {params(kCell20, ten, 96, 32, 13), 0, true},
        {params(kCell20, QStringLiteral("ABCDEFG\r\nHI"), 64, 16, 13), 0, true},
        {params(kCell10, QStringLiteral("AAAAAAAAA BBBBBBBBB CCCCCCCCC"), 96, 32, 4), 0, true},
        {params(kCell20, ten, 96, 32, 13), 0, false},               // a stay time cuts fitted pages
        {params(kCell12, QString(400, u'A'), 12, 14, 1), 0, true},  // the card's 256
        {params(kCell12, QString(400, u'A'), 12, 14, 13), 0, true}, // the card's 256
        {params(kCell12, QString(400, u'A'), 12, 14, 4), 0, true},  // the card's 256
        {params(kCell12, QString(400, u'A'), 12, 14, 1), 7, true},  // the budget's cap
        {params(kCell12, QString(400, u'A'), 12, 14, 13), 7, true},
        {params(kCell12, QStringLiteral("\n\r\n\r"), 64, 16, 13), 0, true},
        {params(kCell12, QStringLiteral("A"), 0, 16), 0, true},
        {params(kCell12, QStringLiteral("A"), 64, 0), 0, true},
    };
    for (const auto &c : cases) {
        TextRenderParams p = c.params;
        p.maxPages = c.maxPages;
        p.stayTimeZero = c.stayZero;
        SCOPED_TRACE(testing::Message() << p.text.left(12).toStdString() << " " << p.width << "x"
                                        << p.height << " action " << p.action);
        EXPECT_EQ(TextRenderer::pageCount(p), int(TextRenderer::render(p).size()));
    }
    for (const QString &face : {QStringLiteral("宋体"), QStringLiteral("黑体")}) {
        for (int action : {1, 4, 13}) {
            TextRenderParams p;
            p.text = long1500;
            p.faceName = face;
            p.size = 72;
            p.action = action;
            p.width = 2048;
            p.height = 128;
            SCOPED_TRACE(testing::Message() << face.toStdString() << " action " << action);
            EXPECT_EQ(TextRenderer::pageCount(p), int(TextRenderer::render(p).size()));
        }
    }
}

TEST(TextMeasurer, WrapBreaksAtSpacesAndBetweenChineseCharacters)
{
    TextMeasurer measurer(TextFont::make(BdfFont::install(kCell12), 12, 0));
    const struct {
        const char16_t *text;
        int width;
        const char16_t *lines; // separated by '|'
    } cases[] = {
        {u"AB CD EF", 60, u"AB CD|EF"}, // a line exactly as wide still fits
        {u"AB CD EF", 59, u"AB|CD|EF"},
        {u"AB    CD", 36, u"AB|CD"},    // spaces at a break are dropped
        {u"ABCDEFG", 36, u"ABC|DEF|G"}, // a word too long breaks where it must
        {u"一二三四五", 36, u"一二三|四五"},
        {u"AB一二", 36, u"AB一|二"},
        {u"ABC一", 24, u"AB|C一"}, // no boundary between C and 一
        {u"A\r\nB\rC\nD", 100, u"A|B|C|D"},
        {u"A\r\n\r\nB", 100, u"A||B"},
        {u"ABC", 5, u"A|B|C"}, // one character wider than the line
        {u"  AB", 100, u"  AB"},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const TextBlock block = measurer.wrapped(text, c.width);
        QStringList lines;
        int widest = 0;
        for (const TextLine &l : block.lines) {
            lines << text.mid(l.start, l.length);
            EXPECT_EQ(l.width, l.length * 12);
            widest = qMax(widest, l.width);
        }
        EXPECT_EQ(lines.join(u'|'), QString::fromUtf16(c.lines)) << text.toStdString();
        EXPECT_EQ(block.width, widest);
        EXPECT_EQ(block.height, int(block.lines.size()) * 14);
    }
}

TEST(TextMeasurer, FittingCountsNeverSplitACharacterOrALineBreak)
{
    TextMeasurer measurer(TextFont::make(BdfFont::install(kCell12), 12, 0));
    const QString pair = QString::fromUcs4(U"\U00020000");
    const struct {
        QString text;
        int pos;
        int width;
        int count;
    } cases[] = {
        {QStringLiteral("ABCDEF"), 0, 36, 3},  {QStringLiteral("ABCDEF"), 4, 36, 2},
        {QStringLiteral("ABCDEF"), 0, 5, 1},   {QStringLiteral("A\r\nB"), 0, 24, 1},
        {QStringLiteral("\r\nB"), 0, 12, 2},   {QStringLiteral("AB") + pair, 0, 5, 1},
        {pair + QStringLiteral("A"), 0, 5, 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(measurer.fittingCount(c.text, c.pos, c.width), c.count) << c.text.toStdString();
    // Line breaks count as characters in one line, and split an unwrapped block.
    EXPECT_EQ(measurer.singleLineWidth(u"A\r\nB"), 48);
    const TextBlock block = measurer.unwrapped(u"A\r\nBB\rCCC\nD");
    EXPECT_EQ(block.lines.size(), 4u);
    EXPECT_EQ(block.width, 36);
}

TEST(TextFont, EmHeightsAndFaces)
{
    const int sizes[] = {8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 40, 48, 56, 64, 72, 80, 96};
    const int pixels[] = {11, 13, 16, 19, 21, 24, 27, 32, 37, 43, 48, 53, 64, 75, 85, 96, 107, 128};
    for (size_t i = 0; i < std::size(sizes); ++i)
        EXPECT_EQ(TextFont::emHeight(sizes[i]), pixels[i]) << sizes[i];
    EXPECT_EQ(TextFont::mulDiv(-3, 1, 2), -2); // halves away from zero
    EXPECT_EQ(TextFont::mulDiv(INT_MAX, 96, 72), INT_MAX);
    EXPECT_EQ(TextFont::renderEmHeight(0, 1000), 27); // the default size
    EXPECT_EQ(TextFont::renderEmHeight(INT_MAX, 512), 512);

    const QString family = BdfFont::install(kCell12);
    EXPECT_EQ(TextFont::resolveFamily(family), family);
    const QString song = TextFont::songFamily();
    if (song.isEmpty())
        GTEST_SKIP() << "no Song face installed";
    for (const QString &face : {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                QStringLiteral("No Such Face 42"), QString()})
        EXPECT_EQ(TextFont::resolveFamily(face), song) << face.toStdString();
}

TEST(TextRendererSong, DefaultTextProgramIsTwoPagesFromTheLeftEdge)
{
    if (TextFont::songFamily().isEmpty())
        GTEST_SKIP() << "no Song face installed";
    TextRenderParams p;
    p.text = QStringLiteral("示例文本信息，双击编辑。");
    p.width = 256;
    p.height = 32;
    const auto pages = TextRenderer::render(p);
    ASSERT_EQ(pages.size(), 2u);
    int leftmost = 256;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (pages[0].pixel(x, y) != 0)
                leftmost = qMin(leftmost, x);
        }
    }
    EXPECT_LT(leftmost, 27) << "the band starts at x 0";
}

// Whatever the text, font, size, style, colour, layout and screen: pages of
// the content size, only black and the text colour, at most 256 of them.
TEST(TextRendererProperty, PagesHoldOnlyTheTextColour)
{
    const QStringList faces{BdfFont::install(kCell12),      QStringLiteral("宋体"),
                            QStringLiteral("No Such Face"), QStringLiteral("WenQuanYi Zen Hei"),
                            QStringLiteral("DejaVu Sans"),  QString()};
    const QStringList pieces{QStringLiteral("A"),
                             QStringLiteral(" "),
                             QStringLiteral("\r\n"),
                             QStringLiteral("\r"),
                             QStringLiteral("\n"),
                             QStringLiteral("\t"),
                             QStringLiteral("示例"),
                             QStringLiteral("，"),
                             QStringLiteral("Wg"),
                             QString::fromUcs4(U"\U0001F600"),
                             QString::fromUcs4(U"\U00020001"),
                             QStringLiteral("é\u0301"),
                             QStringLiteral("&&")};
    const int sizes[] = {-5, 0, 1, 8, 9, 20, 36, 96, 400, INT_MAX};
    const QSize screens[] = {{1, 1}, {8, 8}, {16, 16}, {64, 16}, {96, 32}, {256, 32}, {200, 64}};
    const uint32_t colours[] = {LedColor::Red, LedColor::Green, LedColor::Yellow};
    std::mt19937 rng(20240601);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    for (int round = 0; round < 120; ++round) {
        TextRenderParams p;
        for (int i = pick(40); i > 0; --i)
            p.text += pieces[pick(int(pieces.size()))];
        p.faceName = faces[pick(int(faces.size()))];
        p.size = sizes[pick(int(std::size(sizes)))];
        p.style = pick(4);
        p.color = colours[pick(3)];
        p.action = 1 + pick(18);
        p.stayTimeZero = pick(3) != 0;
        const QSize screen = screens[pick(int(std::size(screens)))];
        p.width = screen.width();
        p.height = screen.height();
        SCOPED_TRACE(testing::Message() << "round " << round);
        const auto pages = TextRenderer::render(p);
        ASSERT_GE(pages.size(), 1u);
        ASSERT_LE(pages.size(), size_t(TextRenderer::kMaxPages));
        // `list` counts pages without drawing them: the count must be the
        // renderer's for every input.
        ASSERT_EQ(TextRenderer::pageCount(p), int(pages.size()));
        for (const PageBitmap &page : pages) {
            ASSERT_EQ(page.bounds(), QRect(0, 0, p.width, p.height));
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x)
                    ASSERT_TRUE(page.pixel(x, y) == 0 || page.pixel(x, y) == p.color);
            }
        }
    }
}

} // namespace

// The face table: which installed family serves a name at a pixel size.
// Rows whose faces are not installed are skipped.
TEST(TextFont, TableNamesGoToStrikesAtTheirSizesAndOutlinesOtherwise)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows' font database takes no BDF bitmap fonts, so the test strike is not there";
#else
    const QString song = TextFont::songFamily();
    struct Row {
        const char *face;
        int px;
        QString family;
    };
    const Row rows[] = {
        {"宋体", 16, "WenQuanYi Bitmap Song"},
        {"SimSun", 12, "WenQuanYi Bitmap Song"},
        {"nsimsun", 14, "WenQuanYi Bitmap Song"},
        {"新宋体", 32, "WenQuanYi Bitmap Song"}, // the 16 px strike doubled
        {"宋体", 27, song},
        {"宋体", 20, song},
        {"No Such Face 42", 16, "WenQuanYi Bitmap Song"},
        {"黑体", 16, "WenQuanYi Zen Hei Sharp"},
        {"SimHei", 32, "WenQuanYi Zen Hei"},
        {"微软雅黑", 12, "WenQuanYi Zen Hei Sharp"},
        // Generic families: to the Song, Hei and fixed-width faces.
        {"Serif", 16, "WenQuanYi Bitmap Song"},
        {"serif", 27, song},
        {"Sans Serif", 16, "WenQuanYi Zen Hei Sharp"},
        {"sans", 27, "WenQuanYi Zen Hei"},
        {"Monospace", 16, "Unifont"}, // its pixel grid
        {"Monospace", 32, "Unifont"},
        {"Monospace", 27, "WenQuanYi Zen Hei Mono"},
    };
    for (const Row &row : rows) {
        if (row.family.isEmpty() || !QFontDatabase::families().contains(row.family))
            continue;
        EXPECT_EQ(TextFont::resolveFamily(QString::fromUtf8(row.face), row.px), row.family)
            << row.face << " at " << row.px;
    }
    for (const char *generic : {"Serif", "Sans Serif", "Monospace"}) {
        EXPECT_TRUE(TextFont::isMappedName(QString::fromUtf8(generic))) << generic;
        EXPECT_FALSE(TextFont::mappedNames().contains(QString::fromUtf8(generic))) << generic;
    }
    // A bitmap face serves only at its own sizes.
    const QList<int> strikes = TextFont::strikeSizes(QStringLiteral("WenQuanYi Bitmap Song"));
    for (int px : {11, 17, 24, 32})
        EXPECT_FALSE(strikes.contains(px)) << px;
    EXPECT_FALSE(TextFont::families(QStringLiteral("宋体"), 27)
                     .contains(QStringLiteral("WenQuanYi Bitmap Song")));
    // A face outside the table serves itself at every size, strikes or not.
    const QString cell = BdfFont::install(kCell12);
    EXPECT_EQ(TextFont::strikeSizes(cell), QList<int>{12});
    for (int px : {12, 27})
        EXPECT_EQ(TextFont::resolveFamily(cell, px), cell);
    // The table's names lead the list; the test face (no Chinese) is behind
    // every face that draws Chinese.
    const QStringList names = TextFont::faceNames(31);
    EXPECT_EQ(names.mid(0, 2), (QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun")}));
    EXPECT_GT(names.indexOf(cell), names.indexOf(QStringLiteral("AR PL UMing CN")));
    EXPECT_EQ(names.filter(QStringLiteral("[")), QStringList());
#endif
}

// The lit pixels of an image, cropped to their bounding box (white on black).
[[maybe_unused]] static QImage inkOf(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    QImage ink(box.size(), QImage::Format_Mono);
    for (int y = 0; y < box.height(); ++y) {
        for (int x = 0; x < box.width(); ++x)
            ink.setPixel(x, y, (image.pixel(box.x() + x, box.y() + y) & 0xFFFFFF) != 0);
    }
    return ink;
}

TEST(TextFont, StrikeGlyphsDrawnAboveTheirAscentComeOutWhole)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows' font database takes no BDF bitmap fonts, so the test strike is not there";
#else
    // Cells raised two rows above a stated ascent of 10: the line keeps its
    // 14 rows and the baseline moves down to hold the cells.
    BdfFont::Spec raised = cellFont(12, 12, 10, 4);
    raised.family = QStringLiteral("BrivRaised12x14");
    raised.rise = 2;
    const TextRenderParams p = params(raised, QStringLiteral("一A"), 48, 14);
    TextMeasurer measurer(TextFont::make(p.faceName, 12, 0));
    EXPECT_EQ(measurer.lineHeight(), 14);
    EXPECT_EQ(measurer.ascent(), 12);
    expectPages(TextRenderer::render(p), {line(raised, 48, 14, QStringLiteral("一A"), 12, 0)});
    TextMeasurer plain(TextFont::make(BdfFont::install(kCell12), 12, 0));
    EXPECT_EQ(plain.ascent(), 12);
    EXPECT_EQ(plain.lineHeight(), 14);

    // The installed Chinese strikes: each glyph on a page equals the glyph
    // the strike draws on an unbounded raster.
    for (const char *face : {"宋体", "黑体"}) {
        for (const int size : {9, 10, 11, 12}) {
            const int px = TextFont::emHeight(size);
            const QString family = TextFont::resolveFamily(QString::fromUtf8(face), px);
            if (!TextFont::strikeSizes(family).contains(px))
                continue;
            for (const QChar c : QStringLiteral("埃啊？“【")) {
                SCOPED_TRACE(testing::Message()
                             << face << ' ' << px << " px " << QString(c).toStdString());
                TextRenderParams q;
                q.faceName = QString::fromUtf8(face);
                q.size = size;
                q.text = c;
                q.action = 1;
                q.width = 3 * px;
                q.height = px;
                const auto pages = TextRenderer::render(q);
                ASSERT_EQ(pages.size(), 1u);
                QFont font(family);
                font.setPixelSize(px);
                font.setStyleStrategy(QFont::NoAntialias);
                QImage free(4 * px, 4 * px, QImage::Format_RGB32);
                free.fill(Qt::black);
                {
                    QPainter painter(&free);
                    painter.setFont(font);
                    painter.setPen(Qt::white);
                    painter.drawText(QPoint(px, 2 * px), QString(c));
                }
                EXPECT_EQ(inkOf(pages.front().image()), inkOf(free));
            }
        }
    }
#endif
}

// A strike without bold or italic of its own: bold is the strike drawn
// again one pixel to the right, each advance one pixel wider; italic shifts
// rows right, one pixel per four rows above the line's bottom, the line as
// much wider.
TEST(TextFont, BoldAndItalicStrikesAreDrawnByHand)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows' font database takes no BDF bitmap fonts, so the test strike is not there";
#else
    TextRenderParams p = params(kCell12, QStringLiteral("一A"), 48, 14);
    const QImage regular = line(kCell12, 48, 14, QStringLiteral("一A"), 12, 0);
    expectPages(TextRenderer::render(p), {regular});

    p.style = 1; // bold: 26 pixels wide, centred at 11
    TextMeasurer bold(TextFont::make(p.faceName, 12, 1));
    EXPECT_EQ(bold.singleLineWidth(u"一A"), 26);
    expectPages(TextRenderer::render(p),
                {drawCells(kCell12, 48, 14,
                           {{QStringLiteral("一"), 11, 0}, {QStringLiteral("一"), 12, 0},
                            {QStringLiteral("A"), 24, 0}, {QStringLiteral("A"), 25, 0}},
                           LedColor::Red, QRect(0, 0, 48, 14))});

    p.style = 2; // italic: 24 + 3 pixels wide, centred at 10
    const QImage upright = line(kCell12, 48, 14, QStringLiteral("一A"), 10, 0);
    QImage italic(48, 14, QImage::Format_RGB32);
    italic.fill(Qt::black);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x + (13 - y) / 4 < 48; ++x)
            italic.setPixel(x + (13 - y) / 4, y, upright.pixel(x, y));
    }
    expectPages(TextRenderer::render(p), {italic});

    // The installed Song strike gets the same; its outline is left to the
    // font engine.
    const QString song = QStringLiteral("宋体");
    if (TextFont::resolveFamily(song, 16) != QStringLiteral("WenQuanYi Bitmap Song"))
        GTEST_SKIP() << "WenQuanYi Bitmap Song not installed";
    for (int style : {1, 2, 3}) {
        const TextFont::StrikeStyle s = TextFont::strikeStyle(TextFont::make(song, 16, style));
        EXPECT_EQ(s.bold, (style & 1) != 0) << style;
        EXPECT_EQ(s.italic, (style & 2) != 0) << style;
        const TextFont::StrikeStyle outline =
            TextFont::strikeStyle(TextFont::make(song, 27, style));
        EXPECT_FALSE(outline.bold || outline.italic) << style;
    }
    TextMeasurer songRegular(TextFont::make(song, 16, 0));
    TextMeasurer songBold(TextFont::make(song, 16, 1));
    EXPECT_EQ(songBold.singleLineWidth(u"欢迎"), songRegular.singleLineWidth(u"欢迎") + 2);
    TextRenderParams q;
    q.faceName = song;
    q.size = 12;
    q.text = QStringLiteral("欢迎");
    q.width = 64;
    q.height = 16;
    const auto plainPages = TextRenderer::render(q);
    q.style = 1;
    const auto boldPages = TextRenderer::render(q);
    ASSERT_EQ(boldPages.size(), 1u);
    EXPECT_GT(litPixels(boldPages.front()), litPixels(plainPages.front()));
#endif
}

// At whole multiples of a Song strike's size "宋体" is that strike with
// every pixel k x k: the page equals the strike's page blown up.
TEST(TextFont, SongAtMultiplesOfAStrikeIsTheStrikeScaledUp)
{
    struct Row {
        int strikeSize; // points
        int size;       // points
        int scale;
    };
    const Row rows[] = {{12, 24, 2}, {9, 18, 2}, {12, 36, 3}};
    const QString text = QStringLiteral("欢迎光临？");
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.size << " pt");
        const int px = TextFont::emHeight(row.strikeSize);
        if (TextFont::resolveFamily(TextFont::kDefaultFace, px) !=
            QStringLiteral("WenQuanYi Bitmap Song"))
            GTEST_SKIP() << "WenQuanYi Bitmap Song not installed";
        const int em = TextFont::emHeight(row.size);
        EXPECT_EQ(TextFont::strikeScale(TextFont::kDefaultFace, em), row.scale);
        TextRenderParams small;
        small.text = text;
        small.size = row.strikeSize;
        small.stayTimeZero = false;
        small.width = 6 * px + 2;
        small.height = px;
        TextRenderParams big = small;
        big.size = row.size;
        big.width = small.width * row.scale;
        big.height = small.height * row.scale;
        const auto smallPages = TextRenderer::render(small);
        const auto bigPages = TextRenderer::render(big);
        ASSERT_EQ(smallPages.size(), 1u);
        ASSERT_EQ(bigPages.size(), 1u);
        const QImage expected = smallPages.front().image().scaled(big.width, big.height);
        EXPECT_EQ(difference(bigPages.front(), expected), QString());
        EXPECT_EQ(TextRenderer::missingCharacters(big), QString());
    }
    // Other names and sizes are drawn at their own size, and behind another
    // face the strike is no fallback at a multiple of its size.
    EXPECT_EQ(TextFont::strikeScale(QStringLiteral("黑体"), 32), 1);
    EXPECT_FALSE(TextFont::families(QStringLiteral("黑体"), 32)
                     .contains(QStringLiteral("WenQuanYi Bitmap Song")));
    EXPECT_EQ(TextFont::strikeScale(TextFont::kDefaultFace, 27), 1);
    EXPECT_EQ(TextFont::strikeScale(TextFont::kDefaultFace, 16), 1);
}

TEST(TextFont, CharactersNoFaceDrawsAreReportedOnce)
{
    const QString face = BdfFont::install(kCell12);
    // U+0378 is unassigned: no face has it. Line breaks and spaces are never
    // drawn and so never missing.
    const QString missing = TextFont::missingCharacters(
        face, 12,
        QString(QStringLiteral("A \u0378\r\n\t\u0378") + QString::fromUcs4(U"\U0003FFFD")));
    EXPECT_EQ(missing, QStringLiteral("\u0378") + QString::fromUcs4(U"\U0003FFFD"));
    EXPECT_EQ(TextFont::missingCharacters(face, 12, u"AB"), QString());
    if (!QFontDatabase::families().contains(QStringLiteral("Unifont")))
        GTEST_SKIP() << "Unifont not installed";
    // Unifont draws what the Chinese faces lack (Hangul, Arabic, symbols).
    EXPECT_EQ(TextFont::missingCharacters(QStringLiteral("宋体"), 16, u"示例한글مرحبا℃￥€①→★"),
              QString());
    // Rendering goes on: the page is made.
    TextRenderParams p = params(kCell12, QStringLiteral("A\u0378"), 64, 16);
    EXPECT_EQ(TextRenderer::render(p).size(), 1u);
    EXPECT_EQ(TextRenderer::missingCharacters(p), QStringLiteral("\u0378"));
}
