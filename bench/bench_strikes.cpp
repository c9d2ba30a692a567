// Legibility check of a face at LED sizes: renders every character of a
// list alone through the text renderer and reports, per pixel size, the
// characters no face of the fallback chain can draw and, where the serving
// face has a bitmap strike of that size, whether the rendered glyph equals
// the strike bit for bit. The strike is read with FreeType straight from the
// font file that fontconfig names, not through Qt. Driven by
// gb2312_legibility.py, which supplies the characters.
//
//   bench_strikes [--face FACE] [--sizes 12,16,24,32] [--show N] FILE

#include "render/TextFont.h"
#include "render/TextRenderer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRawFont>
#include <QRect>
#include <QStringList>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <functional>
#include FT_FREETYPE_H
#include <map>
#include <memory>
#include <vector>

namespace {

// Lit pixels of a glyph, cropped to their bounding box.
struct Glyph {
    int width = 0;
    int height = 0;
    std::vector<bool> bits;
    bool operator==(const Glyph &) const = default;
};

Glyph crop(int width, int height, const std::function<bool(int, int)> &lit)
{
    QRect box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (lit(x, y))
                box |= QRect(x, y, 1, 1);
    Glyph g;
    if (box.isEmpty())
        return g;
    g.width = box.width();
    g.height = box.height();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            g.bits.push_back(lit(x, y));
    return g;
}

// One FreeType face at one strike, opened from the file fontconfig gives
// for a family and pixel size.
class StrikeFace {
public:
    StrikeFace(FT_Library library, const QString &family, int px)
    {
        // Every file of the family, then the first with a strike of px:
        // fontconfig's best match for a pixel size is not always the strike.
        FcPattern *pattern = FcPatternCreate();
        const QByteArray name = family.toUtf8();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.data()));
        FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, nullptr);
        FcFontSet *set = FcFontList(nullptr, pattern, objects);
        for (int n = 0; set && n < set->nfont && !m_ok; ++n) {
            FcChar8 *file = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[n], FC_FILE, 0, &file) != FcResultMatch)
                continue;
            FcPatternGetInteger(set->fonts[n], FC_INDEX, 0, &index);
            if (FT_New_Face(library, reinterpret_cast<char *>(file), index, &m_face) != 0) {
                m_face = nullptr;
                continue;
            }
            for (int i = 0; i < m_face->num_fixed_sizes && !m_ok; ++i) {
                if ((m_face->available_sizes[i].y_ppem + 32) / 64 == px) {
                    m_ok = FT_Select_Size(m_face, i) == 0;
                    m_file = QString::fromUtf8(reinterpret_cast<char *>(file));
                }
            }
            if (!m_ok) {
                FT_Done_Face(m_face);
                m_face = nullptr;
            }
        }
        if (set)
            FcFontSetDestroy(set);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }
    ~StrikeFace()
    {
        if (m_face)
            FT_Done_Face(m_face);
    }
    bool isValid() const { return m_ok; }
    const QString &file() const { return m_file; }

    bool glyph(char32_t cp, Glyph &out) const
    {
        const FT_UInt index = FT_Get_Char_Index(m_face, cp);
        // Loaded without rendering first: a glyph the strike lacks comes as
        // an outline, and is not a strike glyph.
        if (index == 0 || FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT) != 0 ||
            m_face->glyph->format != FT_GLYPH_FORMAT_BITMAP)
            return false;
        const FT_Bitmap &bm = m_face->glyph->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO)
            return false;
        out = crop(int(bm.width), int(bm.rows), [&](int x, int y) {
            return (bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1;
        });
        return true;
    }

private:
    FT_Face m_face = nullptr;
    QString m_file;
    bool m_ok = false;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TextFont::loadHiddenFaces();
    QString face = TextFont::kDefaultFace;
    QList<int> sizes{12, 16, 24, 32};
    int show = 10;
    QString path;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--face") && i + 1 < args.size()) {
            face = args[++i];
        } else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                sizes << s.toInt();
        } else if (args[i] == QLatin1String("--show") && i + 1 < args.size()) {
            show = args[++i].toInt();
        } else {
            path = args[i];
        }
    }
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: bench_strikes [--face FACE] [--sizes 12,16] FILE\n");
        return 2;
    }
    const QString text = QString::fromUtf8(file.readAll()).simplified().remove(QLatin1Char(' '));
    const QList<uint> chars = text.toUcs4();

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return 2;
    int failures = 0;
    std::printf("face %s, %lld characters\n", qPrintable(face), (long long)chars.size());
    for (const int px : sizes) {
        // Sizes are stored in whole points at 96 dpi, so some pixel heights
        // (14, 18, 22, ...) are never asked for: 10 pt is 13 px, 11 pt 15 px.
        int points = 1;
        while (TextFont::emHeight(points) < px)
            ++points;
        if (TextFont::emHeight(points) != px) {
            std::printf("\n%d px: no point size renders at this height (%d pt is %d px)\n", px,
                        points, TextFont::emHeight(points));
            continue;
        }
        // A strike scaled k times is compared with the strike of px / k,
        // every pixel k x k.
        const int scale = TextFont::strikeScale(face, px);
        const int strikePx = px / scale;
        const QStringList chain = TextFont::families(face, strikePx);
        const QString missing = TextFont::missingCharacters(face, px, text);
        std::map<QString, std::unique_ptr<StrikeFace>> strikes;
        std::map<QString, int> servedBy;
        int compared = 0, equal = 0;
        QString differing;
        QElapsedTimer timer;
        timer.start();
        std::vector<QRawFont> raws;
        for (const QString &family : chain) {
            QFont f(family);
            f.setPixelSize(strikePx);
            f.setStyleStrategy(QFont::NoAntialias);
            raws.push_back(QRawFont::fromFont(f));
        }
        for (const uint cp : chars) {
            // The face that serves the character: the first of the chain
            // that has it, as Qt's font merging picks it.
            qsizetype k = 0;
            while (k < chain.size() && !raws[size_t(k)].supportsCharacter(cp))
                ++k;
            if (k == chain.size())
                continue;
            const QString &family = chain[k];
            ++servedBy[family];
            TextRenderParams p;
            p.text = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1);
            p.faceName = face;
            p.size = points;
            p.action = 1;
            p.stayTimeZero = false;
            p.width = 2 * px + 8;
            p.height = px + 8;
            const std::vector<PageBitmap> pages = TextRenderer::render(p);
            if (!TextFont::strikeSizes(family).contains(strikePx) || pages.empty())
                continue;
            auto &strike = strikes[family];
            if (!strike)
                strike = std::make_unique<StrikeFace>(library, family, strikePx);
            Glyph own;
            if (!strike->isValid() || !strike->glyph(char32_t(cp), own))
                continue;
            const Glyph expected = crop(own.width * scale, own.height * scale, [&](int x, int y) {
                return bool(own.bits[size_t((y / scale) * own.width + x / scale)]);
            });
            const PageBitmap &page = pages.front();
            const Glyph rendered = crop(page.width(), page.height(),
                                        [&](int x, int y) { return page.pixel(x, y) != 0; });
            ++compared;
            if (rendered == expected)
                ++equal;
            else if (differing.size() < show)
                differing += p.text;
            if (!(rendered == expected) && qEnvironmentVariableIsSet("BENCH_STRIKES_DUMP")) {
                for (const Glyph *g : {&rendered, static_cast<const Glyph *>(&expected)}) {
                    std::printf("%s %dx%d\n", qPrintable(p.text), g->width, g->height);
                    for (int y = 0; y < g->height; ++y) {
                        for (int x = 0; x < g->width; ++x)
                            std::putchar(g->bits[size_t(y * g->width + x)] ? '#' : '.');
                        std::putchar('\n');
                    }
                }
            }
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("\n%d px (%d pt): chain %s\n", px, points,
                    qPrintable(chain.join(QStringLiteral(", "))));
        std::printf("  characters without a glyph: %lld%s%s\n", (long long)missing.size(),
                    missing.isEmpty() ? "" : "  ", qPrintable(missing.left(show)));
        for (const auto &[family, count] : servedBy)
            std::printf("  served by %s: %d%s\n", qPrintable(family), count,
                        !TextFont::strikeSizes(family).contains(strikePx) ? ""
                        : scale > 1 ? " (bitmap strike, scaled)"
                                    : " (bitmap strike)");
        if (compared > 0)
            std::printf("  equal to the strike bit for bit: %d of %d%s%s\n", equal, compared,
                        differing.isEmpty() ? "" : "; differing: ", qPrintable(differing));
        std::printf("  rendering: %.0f ms, %.3f ms per character\n", ms,
                    chars.isEmpty() ? 0.0 : ms / double(chars.size()));
        failures += int(missing.size()) + (compared - equal);
    }
    FT_Done_FreeType(library);
    return failures == 0 ? 0 : 1;
}
