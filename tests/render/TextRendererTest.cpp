#include "render/TextRenderer.h"
#include "common/BdfFont.h"
#include "render/RenderTestSupport.h"
#include "render/TextFont.h"
#include "render/TextMeasurer.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>

using namespace RenderTest;

namespace {

// 12 x 14 cells at em 12 (size 9): the font of the fitted-pages example.
BdfFont::Spec cell12()
{
    BdfFont::Spec s;
    s.family = QStringLiteral("BrivCell12x14");
    s.pixelSize = 12;
    s.ascent = 12;
    s.descent = 2;
    s.advance = 12;
    return s;
}

// 27-pixel lines at em 27 (size 20), 20 or 10 pixels wide.
BdfFont::Spec cell27(int advance)
{
    BdfFont::Spec s;
    s.family = QStringLiteral("BrivCell%1x27").arg(advance);
    s.pixelSize = 27;
    s.ascent = 23;
    s.descent = 4;
    s.advance = advance;
    return s;
}

class TextRendererTest : public ::testing::Test {
protected:
    static TextRenderParams params(const BdfFont::Spec &font, int size, const QString &text,
                                   int width, int height, int action = 1)
    {
        const QString family = BdfFont::install(font);
        EXPECT_EQ(family, font.family) << "test font not loaded";
        TextRenderParams p;
        p.text = text;
        p.faceName = family;
        p.size = size;
        p.action = action;
        p.width = width;
        p.height = height;
        return p;
    }

    static void expectPages(const std::vector<PageBitmap> &pages,
                            const std::vector<QImage> &expected)
    {
        ASSERT_EQ(pages.size(), expected.size());
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_EQ(difference(pages[i], expected[i]), QString()) << "page " << i + 1;
    }

    // Pages cut from a band the way the horizontal band layout cuts them.
    static std::vector<QImage> horizontalPages(const BdfFont::Spec &font, const QStringList &lines,
                                               int width, int height)
    {
        int tw = 0;
        for (const QString &line : lines)
            tw = qMax(tw, int(line.size()) * font.advance);
        const int lineHeight = font.ascent + font.descent;
        const int th = int(lines.size()) * lineHeight;
        const int n = (width + tw - 1) / width;
        std::vector<PlacedLine> placed;
        for (int k = 0; k < lines.size(); ++k)
            placed.push_back({lines[k], 0, k * lineHeight});
        const QImage band =
            drawCells(font, n * width, th, placed, LedColor::Red, QRect(0, 0, n * width, th));
        const int x0 = tw < width ? (width - tw) / 2 : 0;
        std::vector<QImage> pages;
        for (int i = 0; i < n; ++i)
            pages.push_back(cut(band, width, height, x0, (height - th) / 2, i * width, 0));
        return pages;
    }
};

TEST_F(TextRendererTest, FittedPagesPutAsManyCharactersAsFitOnEachLine)
{
    const BdfFont::Spec font = cell12();
    const QRect all(0, 0, 64, 16);
    // 60 <= 64 < 72: five characters a page, from x 0 at y (16 - 14) / 2 = 1.
    const auto pages =
        TextRenderer::render(params(font, 9, QStringLiteral("ABCDEFGHIJKL"), 64, 16));
    expectPages(pages,
                {drawCells(font, 64, 16, {{QStringLiteral("ABCDE"), 0, 1}}, LedColor::Red, all),
                 drawCells(font, 64, 16, {{QStringLiteral("FGHIJ"), 0, 1}}, LedColor::Red, all),
                 drawCells(font, 64, 16, {{QStringLiteral("KL"), 0, 1}}, LedColor::Red, all)});
    // A text that fits on one page is centred: x = (64 - 60) / 2.
    const auto single = TextRenderer::render(params(font, 9, QStringLiteral("一二三四五"), 64, 16));
    expectPages(single, {drawCells(font, 64, 16, {{QStringLiteral("一二三四五"), 2, 1}},
                                   LedColor::Red, all)});
}

TEST_F(TextRendererTest, HorizontalBandRunsAcrossPages)
{
    const BdfFont::Spec font = cell27(20);
    // One line of 200 x 27 on 96 x 32: three pages of band columns 0-95,
    // 96-191 and 192-287 at y 2.
    const QString ten = QStringLiteral("ABCDEFGHIJ");
    const auto pages = TextRenderer::render(params(font, 20, ten, 96, 32, 13));
    ASSERT_EQ(pages.size(), 3u);
    expectPages(pages, horizontalPages(font, {ten}, 96, 32));
    EXPECT_EQ(litPixels(pages[2]) > 0, true);
    // A 60 x 27 line: one page at x0 = 18.
    const auto one = TextRenderer::render(params(font, 20, QStringLiteral("ABC"), 96, 32, 2));
    expectPages(one, {drawCells(font, 96, 32, {{QStringLiteral("ABC"), 18, 2}}, LedColor::Red,
                                QRect(18, 2, 96, 27))});
}

TEST_F(TextRendererTest, HorizontalBandStacksLinesAndClipsATallBlock)
{
    const BdfFont::Spec font = cell27(20);
    // Two lines of 54 rows on 16-row pages: y0 = (16 - 54) / 2 = -19.
    const auto pages =
        TextRenderer::render(params(font, 20, QStringLiteral("ABCDEFG\r\nHI"), 64, 16, 13));
    expectPages(pages,
                horizontalPages(font, {QStringLiteral("ABCDEFG"), QStringLiteral("HI")}, 64, 16));
}

TEST_F(TextRendererTest, VerticalBandRunsDownThroughPages)
{
    const BdfFont::Spec font = cell27(10);
    // Three wrapped lines 90 wide: th 81, three pages, x = 3; the third line
    // (rows 54-80) is split between pages 2 and 3.
    const auto pages = TextRenderer::render(
        params(font, 20, QStringLiteral("AAAAAAAAA BBBBBBBBB CCCCCCCCC"), 96, 32, 4));
    const QImage band = drawCells(font, 90, 96,
                                  {{QStringLiteral("AAAAAAAAA"), 0, 0},
                                   {QStringLiteral("BBBBBBBBB"), 0, 27},
                                   {QStringLiteral("CCCCCCCCC"), 0, 54}},
                                  LedColor::Red, QRect(0, 0, 90, 96));
    expectPages(pages, {cut(band, 96, 32, 3, 0, 0, 0), cut(band, 96, 32, 3, 0, 0, 32),
                        cut(band, 96, 32, 3, 0, 0, 64)});
}

TEST_F(TextRendererTest, ActionAndStayTimeChooseTheLayout)
{
    const BdfFont::Spec font = cell12();
    const QString text = QStringLiteral("ABCDEFGHIJKL");
    const QRect all(0, 0, 64, 16);
    const std::vector<QImage> fitted{
        drawCells(font, 64, 16, {{QStringLiteral("ABCDE"), 0, 1}}, LedColor::Red, all),
        drawCells(font, 64, 16, {{QStringLiteral("FGHIJ"), 0, 1}}, LedColor::Red, all),
        drawCells(font, 64, 16, {{QStringLiteral("KL"), 0, 1}}, LedColor::Red, all)};
    const std::vector<QImage> horizontal = horizontalPages(font, {text}, 64, 16);
    // Wrapped at 64: lines of five, 42 rows, x = (64 - 60) / 2.
    const QImage band = drawCells(font, 60, 48,
                                  {{QStringLiteral("ABCDE"), 0, 0},
                                   {QStringLiteral("FGHIJ"), 0, 14},
                                   {QStringLiteral("KL"), 0, 28}},
                                  LedColor::Red, QRect(0, 0, 60, 48));
    const std::vector<QImage> vertical{cut(band, 64, 16, 2, 0, 0, 0),
                                       cut(band, 64, 16, 2, 0, 0, 16),
                                       cut(band, 64, 16, 2, 0, 0, 32)};
    struct Case {
        int action;
        bool stayZero;
        TextLayout layout;
    };
    const Case cases[] = {
        {13, true, TextLayout::HorizontalBand}, {2, true, TextLayout::HorizontalBand},
        {4, true, TextLayout::VerticalBand},    {1, true, TextLayout::FittedPages},
        {3, true, TextLayout::FittedPages},     {18, true, TextLayout::FittedPages},
        {0, true, TextLayout::FittedPages},     {13, false, TextLayout::FittedPages},
        {4, false, TextLayout::FittedPages},    {2, false, TextLayout::FittedPages},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << c.action << " stay zero " << c.stayZero);
        EXPECT_EQ(TextRenderer::chooseLayout(c.action, c.stayZero), c.layout);
        TextRenderParams p = params(font, 9, text, 64, 16, c.action);
        p.stayTimeZero = c.stayZero;
        expectPages(TextRenderer::render(p), c.layout == TextLayout::HorizontalBand ? horizontal
                                             : c.layout == TextLayout::VerticalBand ? vertical
                                                                                    : fitted);
    }
}

TEST_F(TextRendererTest, CharactersWiderThanThePageStandAloneAndAreClipped)
{
    const BdfFont::Spec font = cell27(20);
    const QRect all(0, 0, 16, 32);
    // Fitted pages: one character a page, left-aligned, cut on the right.
    const auto pages = TextRenderer::render(params(font, 20, QStringLiteral("AB"), 16, 32));
    expectPages(pages,
                {drawCells(font, 16, 32, {{QStringLiteral("A"), 0, 2}}, LedColor::Red, all),
                 drawCells(font, 16, 32, {{QStringLiteral("B"), 0, 2}}, LedColor::Red, all)});
    // A single such character is centred: x = (16 - 20) / 2 = -2.
    const auto one = TextRenderer::render(params(font, 20, QStringLiteral("A"), 16, 32));
    expectPages(one, {drawCells(font, 16, 32, {{QStringLiteral("A"), -2, 2}}, LedColor::Red, all)});
}

TEST_F(TextRendererTest, TextOfOnlyLineBreaksGivesOneBlankPage)
{
    for (int action : {1, 2, 4, 13}) {
        for (const QString &text :
             {QString(), QStringLiteral("\r\n"), QStringLiteral("\n\r\n\r")}) {
            const auto pages = TextRenderer::render(params(cell12(), 9, text, 64, 16, action));
            ASSERT_EQ(pages.size(), 1u) << "action " << action;
            EXPECT_EQ(pages[0].width(), 64);
            EXPECT_EQ(litPixels(pages[0]), 0);
        }
    }
    EXPECT_TRUE(TextRenderer::render(params(cell12(), 9, QStringLiteral("A"), 0, 16)).empty());
}

TEST_F(TextRendererTest, ColourValuesMapToPageColours)
{
    const struct {
        uint32_t color;
        uint32_t drawn;
    } cases[] = {{LedColor::Red, LedColor::Red},
                 {LedColor::Green, LedColor::Green},
                 {LedColor::Yellow, LedColor::Yellow},
                 {0x000000, LedColor::Red},
                 {0xFF0000, LedColor::Red},
                 {0x10FF7F, LedColor::Green},
                 {0x0080FF, LedColor::Yellow}};
    for (const auto &c : cases) {
        TextRenderParams p = params(cell12(), 9, QStringLiteral("AB"), 64, 16);
        p.color = c.color;
        const auto pages = TextRenderer::render(p);
        ASSERT_EQ(pages.size(), 1u);
        expectPages(pages, {drawCells(cell12(), 64, 16, {{QStringLiteral("AB"), 20, 1}}, c.drawn,
                                      QRect(0, 0, 64, 16))});
    }
}

TEST_F(TextRendererTest, AnItemNeverGetsMoreThan256Pages)
{
    const QString longText(400, QChar(u'A'));
    for (int action : {1, 4, 13}) {
        const auto pages = TextRenderer::render(params(cell12(), 9, longText, 12, 14, action));
        EXPECT_EQ(pages.size(), size_t(TextRenderer::kMaxPages)) << "action " << action;
    }
    // The last allowed page of the band still shows its part of the text.
    const auto band = TextRenderer::render(params(cell12(), 9, longText, 12, 14, 13));
    EXPECT_GT(litPixels(band.back()), 0);
}

TEST(TextRendererLimitsTest, PageCountAndGlyphSizeStayBounded)
{
    const struct {
        int width;
        int height;
        int maxPages;
        int maxEm;
    } cases[] = {
        {256, 32, 256, 256},    // every size the editor offers renders as it is
        {2048, 128, 256, 512},  // the largest usual screen keeps all 256 pages
        {2048, 2040, 16, 8160}, // 16 MB pages: sixteen of them at most
        {64, 16, 256, 256},     {1, 1, 256, 256},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TextRenderer::maxPages(c.width, c.height), c.maxPages)
            << c.width << "x" << c.height;
        EXPECT_EQ(TextRenderer::maxEmHeight(c.width, c.height), c.maxEm)
            << c.width << "x" << c.height;
    }
}

TEST(TextMeasurerTest, WrappedBlocksBreakAtSpacesAndBetweenChineseCharacters)
{
    const QString family = BdfFont::install(cell12());
    TextMeasurer measurer(TextFont::make(family, 12, 0));
    const struct {
        const char16_t *text;
        int width;
        QStringList lines;
    } cases[] = {
        {u"AB CD EF", 60, {QStringLiteral("AB CD"), QStringLiteral("EF")}}, // exactly 60 still fits
        {u"AB CD EF", 59, {QStringLiteral("AB"), QStringLiteral("CD"), QStringLiteral("EF")}},
        {u"AB    CD",
         36,
         {QStringLiteral("AB"), QStringLiteral("CD")}}, // spaces at a break are dropped
        {u"ABCDEFG",
         36,
         {QStringLiteral("ABC"), QStringLiteral("DEF"),
          QStringLiteral("G")}}, // a long word breaks where it must
        {u"一二三四五", 36, {QStringLiteral("一二三"), QStringLiteral("四五")}},
        {u"AB一二", 36, {QStringLiteral("AB一"), QStringLiteral("二")}},
        {u"ABC一",
         24,
         {QStringLiteral("AB"), QStringLiteral("C一")}}, // no boundary between C and 一
        {u"A\r\nB\rC\nD",
         100,
         {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}},
        {u"A\r\n\r\nB", 100, {QStringLiteral("A"), QStringLiteral(""), QStringLiteral("B")}},
        {u"ABC",
         5,
         {QStringLiteral("A"), QStringLiteral("B"),
          QStringLiteral("C")}},                  // one character wider than the line
        {u"  AB", 100, {QStringLiteral("  AB")}}, // leading spaces of a paragraph stay
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString() + " at " + std::to_string(c.width));
        const TextBlock block = measurer.wrapped(text, c.width);
        QStringList lines;
        int widest = 0;
        for (const TextLine &line : block.lines) {
            lines << text.mid(line.start, line.length);
            EXPECT_EQ(line.width, line.length * 12);
            widest = qMax(widest, line.width);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(block.width, widest);
        EXPECT_EQ(block.height, int(block.lines.size()) * 14);
    }
}

TEST(TextMeasurerTest, UnwrappedBlocksAndFittingCounts)
{
    const QString family = BdfFont::install(cell12());
    TextMeasurer measurer(TextFont::make(family, 12, 0));
    const TextBlock block = measurer.unwrapped(u"A\r\nBB\rCCC\nD");
    ASSERT_EQ(block.lines.size(), 4u);
    EXPECT_EQ(block.width, 36);
    EXPECT_EQ(block.height, 56);

    const QString pair = QString::fromUcs4(U"\U00020000");
    const struct {
        QString text;
        int pos;
        int width;
        int count;
    } cases[] = {
        {QStringLiteral("ABCDEF"), 0, 36, 3}, // a line exactly as wide as the page fits
        {QStringLiteral("ABCDEF"), 4, 36, 2},
        {QStringLiteral("ABCDEF"), 0, 5, 1},  // at least one character
        {QStringLiteral("A\r\nB"), 0, 24, 1}, // CR LF counts as two characters but stays whole
        {QStringLiteral("\r\nB"), 0, 12, 2},
        {QStringLiteral("AB") + pair, 0, 5, 1},
        {pair + QStringLiteral("A"), 0, 5, 2}, // a surrogate pair is never split
    };
    for (const auto &c : cases) {
        EXPECT_EQ(measurer.fittingCount(c.text, c.pos, c.width), c.count)
            << c.text.toStdString() << " from " << c.pos;
    }
    EXPECT_EQ(measurer.singleLineWidth(u"A\r\nB"), 48);
}

TEST(TextFontTest, EmHeightsAtNinetySixDpi)
{
    const int sizes[] = {8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 40, 48, 56, 64, 72, 80, 96};
    const int pixels[] = {11, 13, 16, 19, 21, 24, 27, 32, 37, 43, 48, 53, 64, 75, 85, 96, 107, 128};
    for (size_t i = 0; i < std::size(sizes); ++i)
        EXPECT_EQ(TextFont::emHeight(sizes[i]), pixels[i]) << sizes[i];
    EXPECT_EQ(TextFont::mulDiv(3, 1, 2), 2); // halves away from zero
    EXPECT_EQ(TextFont::mulDiv(-3, 1, 2), -2);
    EXPECT_EQ(TextFont::mulDiv(5, 1, -2), -3);
    EXPECT_EQ(TextFont::mulDiv(INT_MAX, 96, 72), INT_MAX);
    EXPECT_EQ(TextFont::mulDiv(INT_MIN, 96, 72), INT_MIN);
    EXPECT_EQ(TextFont::mulDiv(7, 1, 0), 0);
    EXPECT_EQ(TextFont::renderEmHeight(0, 1000), 27);
    EXPECT_EQ(TextFont::renderEmHeight(-12, 1000), 27);
    EXPECT_EQ(TextFont::renderEmHeight(INT_MAX, 128), 128);
    EXPECT_EQ(TextFont::renderEmHeight(1, 128), 1);
}

TEST(TextFontTest, FacesResolveToInstalledFamilies)
{
    const QString family = BdfFont::install(cell12());
    EXPECT_EQ(TextFont::resolveFamily(family), family);
    const QString song = TextFont::songFamily();
    if (song.isEmpty())
        GTEST_SKIP() << "no Song face installed";
    EXPECT_EQ(TextFont::resolveFamily(QStringLiteral("宋体")), song);
    EXPECT_EQ(TextFont::resolveFamily(QStringLiteral("SimSun")), song);
    EXPECT_EQ(TextFont::resolveFamily(QStringLiteral("No Such Face 42")), song);
    EXPECT_EQ(TextFont::resolveFamily(QString()), song);
    const QFont font = TextFont::make(QStringLiteral("宋体"), 27, 3);
    EXPECT_EQ(font.pixelSize(), 27);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.styleStrategy() & QFont::NoAntialias);
}

TEST(TextRendererSongTest, DefaultTextProgramIsTwoPagesFromTheLeftEdge)
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
TEST(TextRendererPropertyTest, PagesAlwaysHoldOnlyTheTextColour)
{
    const QString testFamily = BdfFont::install(cell12());
    const QStringList faces{testFamily,
                            QStringLiteral("宋体"),
                            QStringLiteral("No Such Face"),
                            QStringLiteral("WenQuanYi Zen Hei"),
                            QStringLiteral("DejaVu Sans"),
                            QString()};
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
                             QStringLiteral("é"),
                             QStringLiteral("\u0301"),
                             QStringLiteral("&&")};
    const int sizes[] = {-5, 0, 1, 8, 9, 20, 36, 96, 400, INT_MAX};
    const QSize screens[] = {{1, 1}, {8, 8}, {16, 16}, {64, 16}, {96, 32}, {256, 32}, {200, 64}};
    const uint32_t colours[] = {LedColor::Red, LedColor::Green, LedColor::Yellow};
    std::mt19937 rng(20240601);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    for (int round = 0; round < 120; ++round) {
        TextRenderParams p;
        const int count = pick(40);
        for (int i = 0; i < count; ++i)
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
        SCOPED_TRACE(testing::Message() << "round " << round << " size " << p.size << " face "
                                        << p.faceName.toStdString() << " action " << p.action);
        const auto pages = TextRenderer::render(p);
        ASSERT_GE(pages.size(), 1u);
        ASSERT_LE(pages.size(), size_t(TextRenderer::kMaxPages));
        for (const PageBitmap &page : pages) {
            ASSERT_EQ(page.width(), p.width);
            ASSERT_EQ(page.height(), p.height);
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x) {
                    const uint32_t px = page.pixel(x, y);
                    ASSERT_TRUE(px == 0 || px == p.color) << "pixel " << x << "," << y;
                }
            }
        }
    }
}

} // namespace
