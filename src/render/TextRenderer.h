#pragma once
// Turns the text of a text program into screen-sized pages: a horizontal
// band for texts that move left without a stay, a vertical band for texts
// that move up without a stay, and fitted pages (one line per page) for
// everything else. Plain parameters in, pages out; TextItem::buildPages
// fills the parameters from the item and keeps the pages.

#include "render/EntryAnimation.h"
#include "render/PageBitmap.h"
#include "render/TextFont.h"

#include <QString>
#include <vector>

struct TextRenderParams {
    QString text;
    QString faceName = TextFont::kDefaultFace;
    int size = TextFont::kDefaultSize;     // points
    int style = 0;                         // bit 0 bold, bit 1 italic
    uint32_t color = LedColor::Red;        // 0x00BBGGRR, one of the page colours
    int action = EntryAnimation::kDefault; // entry animation code
    bool stayTimeZero = true;              // the item's effective stay time is 0
    int width = 0;                         // content width of a page
    int height = 0;                        // screen height of a page
    int maxPages = 0;                      // fewer pages than maxPages() (0: no cap)
};

enum class TextLayout { HorizontalBand, VerticalBand, FittedPages };

class TextRenderer {
public:
    // The card addresses at most this many pages of one item; a text that
    // would need more is cut off after them.
    static constexpr int kMaxPages = 256;
    // Nor does an item hold more page pixels than 256 pages of the largest
    // usual screen (2048 x 128): on taller screens fewer pages are kept.
    static constexpr int64_t kMaxItemPixels = int64_t(kMaxPages) * 2048 * 128;
    // Em heights are capped at this many times the smaller page side, but
    // never below kMinEmCap, which is above every size the editor offers: a
    // glyph that big already covers the page many times over, and drawing
    // larger ones only costs time.
    static constexpr int kMaxEmPerPageSide = 4;
    static constexpr int kMinEmCap = 256;

    static TextLayout chooseLayout(int action, bool stayTimeZero);
    // Most pages an item of width x height pages may hold (at least 1).
    static int maxPages(int width, int height);
    // The largest em height rendered on width x height pages.
    static int maxEmHeight(int width, int height);

    // The pages, each width x height and holding only black and `color`.
    // At least one page when width and height are positive (an empty text,
    // or one that measures 0 pixels wide, gives one black page); none
    // otherwise.
    static std::vector<PageBitmap> render(const TextRenderParams &params);
    // How many pages render() gives, by measuring alone: no page is drawn,
    // so counting the pages of a long play list costs no page memory.
    static int pageCount(const TextRenderParams &params);

    // The characters of the text that no face of the font render() uses
    // can draw (each once; see TextFont::missingCharacters). They are drawn
    // as the face's blank box; rendering goes on regardless.
    static QString missingCharacters(const TextRenderParams &params);
    // The same characters in the style drawn, each with what the sign shows.
    static std::vector<TextFont::MissingCharacter> missingGlyphs(const TextRenderParams &params);

    // How the text's lines sit on its pages: the rows one line takes and
    // the lines between its line breaks (0 for an empty text).
    struct LineFit {
        int lineHeight = 0;
        int lines = 0;
    };
    static LineFit lineFit(const TextRenderParams &params);
    // The largest size in points below the one drawn at which `lines` lines
    // of the text fit the page height; 0 when none does.
    static int largestFittingSize(const TextRenderParams &params, int lines);
    // The point sizes (up to kLargestCrispSize) at which `face` in `style`
    // is drawn from a bitmap strike, as it is or scaled, and one line fits
    // `height` rows: the sizes that look sharp on a sign that high.
    static constexpr int kLargestCrispSize = 96;
    static QList<int> crispSizes(const QString &face, int style, int height);

private:
    // The one layout pass behind render and pageCount: draws into *pages
    // when given, and returns the page count either way.
    static int layOut(const TextRenderParams &params, std::vector<PageBitmap> *pages);
};
