#include "render/TextFont.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QRawFont>
#include <QSet>
#include <QStringList>
#include <QTextLayout>
#include <QtEndian>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// ---- The face table -------------------------------------------------------
//
// Which real faces serve the face names that programs store. A group's faces
// are tried in order; a face marked AtStrikes serves only at the pixel sizes
// of its bitmap strikes (drawn as they are), one marked AtScaledStrikes at
// whole multiples of them (a 32 px "宋体" is the 16 px strike doubled: two
// lamps for every pixel of the strike read better on a sign than a thin
// outline), the others at any size. The
// entry kPickedName stands for the stored name itself when a family of that
// name is installed (the real SimSun on Windows). Folder and file pattern
// name where Debian installs a face, for loadHiddenFaces.

// AtScaledStrikes: at whole multiples (2x and up) of a strike's size, drawn
// as that strike with every pixel a k x k block. AtGrid: an outline face
// drawn on a pixel grid (Unifont's 16 px), at whole multiples of the grid.
enum class Serves { AtStrikes, AtScaledStrikes, AtGrid, AtAnySize };

struct MappedFace {
    const char16_t *family;
    Serves serves;
    const char16_t *folder = nullptr;
    const char16_t *files = nullptr;
    int grid = 0; // AtGrid: the grid's size in pixels
};

// `names` are offered in the face list, ahead of every other face;
// `generic` names (the generic families other programs store) are served
// the same way without being offered.
struct FaceGroup {
    std::vector<const char16_t *> names;
    std::vector<const char16_t *> generic;
    std::vector<MappedFace> faces;
};

constexpr int kUnifontGrid = 16;

constexpr char16_t kPickedName[] = u"*";

const std::vector<FaceGroup> &faceGroups()
{
    static const std::vector<FaceGroup> groups{
        // Song (Ming): "宋体" is the face every new text program starts with.
        {{u"宋体", u"SimSun", u"新宋体", u"NSimSun"},
         {u"Serif"},
         {
#ifdef Q_OS_WIN
             // Windows' own Song face: its embedded strikes (12 to 16 px)
             // serve at their sizes, drawn as they are, its outlines at
             // the others. Where it is missing (Wine has none) the rows
             // below serve.
             {u"SimSun", Serves::AtStrikes},
             {u"SimSun", Serves::AtAnySize},
#endif
             {u"WenQuanYi Bitmap Song", Serves::AtStrikes, u"/usr/share/fonts/X11/misc",
              u"wenquanyi_*.pcf"},
             {u"WenQuanYi Bitmap Song", Serves::AtScaledStrikes},
             {kPickedName, Serves::AtAnySize},
             {u"AR PL UMing CN", Serves::AtAnySize},
             {u"AR PL UMing TW", Serves::AtAnySize},
             {u"AR PL UMing HK", Serves::AtAnySize},
             {u"AR PL SungtiL GB", Serves::AtAnySize},
             {u"Noto Serif CJK SC", Serves::AtAnySize},
             {u"Source Han Serif SC", Serves::AtAnySize},
             {u"Source Han Serif CN", Serves::AtAnySize},
             {u"SimSun", Serves::AtAnySize},
             {u"NSimSun", Serves::AtAnySize},
             {u"Songti SC", Serves::AtAnySize},
             {u"STSong", Serves::AtAnySize}}},
        // Hei (sans-serif).
        {{u"黑体", u"SimHei", u"微软雅黑", u"Microsoft YaHei"},
         {u"Sans Serif", u"Sans", u"SansSerif"},
         {
#ifdef Q_OS_WIN
             // Windows' own Hei face, as SimSun above.
             {u"SimHei", Serves::AtStrikes},
             {u"SimHei", Serves::AtAnySize},
#endif
             {u"WenQuanYi Zen Hei Sharp", Serves::AtStrikes, u"/usr/share/fonts/truetype/wqy",
              u"wqy-zenhei.ttc"},
             {kPickedName, Serves::AtAnySize},
             {u"SimHei", Serves::AtAnySize},
             {u"WenQuanYi Zen Hei", Serves::AtAnySize, u"/usr/share/fonts/truetype/wqy",
              u"wqy-zenhei.ttc"},
             {u"Noto Sans CJK SC", Serves::AtAnySize},
             {u"Source Han Sans SC", Serves::AtAnySize},
             {u"Microsoft YaHei", Serves::AtAnySize},
             {u"PingFang SC", Serves::AtAnySize}}},
        // Fixed width: every character half or full width, Chinese included.
        {{},
         {u"Monospace", u"Mono"},
         {
#ifdef Q_OS_WIN
             // Windows' fixed-width Song face, as SimSun above.
             {u"NSimSun", Serves::AtStrikes},
             {u"NSimSun", Serves::AtAnySize},
#endif
             {u"Unifont", Serves::AtGrid, nullptr, nullptr, kUnifontGrid},
             {u"WenQuanYi Zen Hei Mono", Serves::AtAnySize},
             {u"Noto Sans Mono CJK SC", Serves::AtAnySize},
             {u"NSimSun", Serves::AtAnySize}}},
    };
    return groups;
}

// After the Chinese faces of every group: Unifont, which has a glyph for
// every assigned character of the Basic Multilingual Plane (drawn on a
// 16-pixel grid), and its companion for the planes above.
const std::vector<MappedFace> &lastResortFaces()
{
    static const std::vector<MappedFace> faces{
        {u"Unifont", Serves::AtAnySize, u"/usr/share/fonts/opentype/unifont", u"unifont.otf"},
        {u"Unifont", Serves::AtStrikes, u"/usr/share/fonts/X11/misc", u"unifont.pcf.gz"},
        {u"Unifont Upper", Serves::AtAnySize, u"/usr/share/fonts/opentype/unifont",
         u"unifont_upper.otf"},
    };
    return faces;
}

// The characters whose ink a strike's line box is placed to hold: the
// ideographs of the original block (sampled: a strike draws them all on the
// same few rows) and the punctuation of Chinese text set the baseline; the
// digits and signs of sign texts besides them keep the line from shrinking
// below their ink.
constexpr char32_t kInkIdeographFirst = 0x4E00;
constexpr char32_t kInkIdeographLast = 0x9FA5;
constexpr char32_t kInkIdeographStep = 13;
constexpr char16_t kInkPunctuation[] = u"，。、；：？！“”‘’（）《》【】「」…—";
constexpr char16_t kInkSigns[] = u"０１２３４５６７８９％＋－＝×÷℃￥€①②③→←↑↓★☆●○■□▲△※√";

QString str(const char16_t *s)
{
    return QString::fromUtf16(s);
}

// ---- Lookups ----------------------------------------------------------------

QMutex g_cacheMutex;

// Any installed face that covers Simplified Chinese. Looked up once per run:
// the font database is slow to list and fonts rarely appear while we run.
QString anyChineseFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

const FaceGroup *groupOf(const QString &name)
{
    for (const FaceGroup &group : faceGroups()) {
        for (const auto *names : {&group.names, &group.generic}) {
            for (const char16_t *n : *names) {
                if (name.compare(str(n), Qt::CaseInsensitive) == 0)
                    return &group;
            }
        }
    }
    return nullptr;
}

// The family kPickedName stands for: the stored name when it is one of the
// group's offered names. A generic family never serves as itself (Qt answers
// "Serif" with whatever the system's configuration picks).
QString pickedFamily(const FaceGroup *group, const QString &name)
{
    if (!group)
        return {};
    for (const char16_t *n : group->names) {
        if (name.compare(str(n), Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// A family of exactly this name is in the database (no substitution, no
// platform alias).
bool isListed(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The pixel sizes of the embedded strikes in an EBLC (or CBLC) table: a
// header of 8 bytes, then 48-byte records with ppemY at offset 45.
QList<int> embeddedStrikes(const QByteArray &table)
{
    QList<int> sizes;
    if (table.size() < 8)
        return sizes;
    const auto *d = reinterpret_cast<const uchar *>(table.constData());
    const quint32 count = qFromBigEndian<quint32>(d + 4);
    const qsizetype fit = (table.size() - 8) / 48;
    for (qsizetype i = 0; i < std::min<qsizetype>(qsizetype(count), fit); ++i) {
        const int ppem = d[8 + i * 48 + 45];
        if (ppem > 0 && !sizes.contains(ppem))
            sizes << ppem;
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

// The sizes a bitmap-only family answers to exactly: asked for one size,
// Qt loads the nearest strike, so the sizes that come back as asked are
// the strikes.
QList<int> bitmapFamilySizes(const QString &family)
{
    constexpr int kSmallest = 5;
    constexpr int kLargest = 72;
    QList<int> sizes;
    for (int px = kSmallest; px <= kLargest; ++px) {
        QFont font(family);
        font.setPixelSize(px);
        font.setStyleStrategy(QFont::NoAntialias);
        const QRawFont raw = QRawFont::fromFont(font);
        if (raw.isValid() && qRound(raw.pixelSize()) == px &&
            raw.familyName().compare(family, Qt::CaseInsensitive) == 0)
            sizes << px;
    }
    return sizes;
}

// The largest k >= 2 for which emPixels / k is a strike size of `family`
// (so the largest strike is scaled), or 1 when there is none.
int scaledStrikeFactor(const QString &family, int emPixels)
{
    const QList<int> sizes = TextFont::strikeSizes(family);
    for (auto it = sizes.crbegin(); it != sizes.crend(); ++it) {
        if (*it > 0 && emPixels % *it == 0 && emPixels / *it >= 2)
            return emPixels / *it;
    }
    return 1;
}

// Whether a mapped face can serve at emPixels; emPixels 0 asks for faces
// that serve at any size.
bool serves(const QString &family, Serves how, int emPixels, int grid = 0)
{
    if (!isListed(family))
        return false;
    const bool scalable = QFontDatabase::isScalable(family);
    if (how == Serves::AtAnySize && scalable)
        return true;
    if (emPixels <= 0)
        return false;
    if (how == Serves::AtGrid)
        return scalable && grid > 0 && emPixels % grid == 0;
    if (how == Serves::AtScaledStrikes)
        return scaledStrikeFactor(family, emPixels) > 1;
    return TextFont::strikeSizes(family).contains(emPixels);
}

void appendFaces(QStringList &out, const std::vector<MappedFace> &faces, const QString &picked,
                 int emPixels)
{
    for (const MappedFace &face : faces) {
        const bool isPicked = str(face.family) == str(kPickedName);
        if (isPicked && picked.isEmpty())
            continue;
        // A scaled strike only serves as the face the text is laid out in;
        // behind another face it would be drawn at its own size.
        if (face.serves == Serves::AtScaledStrikes && !out.isEmpty())
            continue;
        const QString family = isPicked ? picked : str(face.family);
        if (!out.contains(family, Qt::CaseInsensitive) &&
            serves(family, face.serves, emPixels, face.grid))
            out << family;
    }
}

bool neverDrawn(char32_t cp)
{
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
        return true;
    // Variation selectors choose a form of the character before them.
    if ((cp >= 0xFE00 && cp <= 0xFE0F) || (cp >= 0xE0100 && cp <= 0xE01EF))
        return true;
    const QChar::Category category = QChar::category(cp);
    return category == QChar::Separator_Space || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph || category == QChar::Other_Format;
}

} // namespace

int TextFont::mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t num = product < 0 ? uint64_t(-product) : uint64_t(product);
    const uint64_t den = c < 0 ? uint64_t(-int64_t(c)) : uint64_t(c);
    const uint64_t q = (2 * num + den) / (2 * den);
    if (negative)
        return q > uint64_t(INT_MAX) + 1 ? INT_MIN : int(-int64_t(q));
    return q > uint64_t(INT_MAX) ? INT_MAX : int(q);
}

int TextFont::emHeight(int size)
{
    return mulDiv(size, 96, 72);
}

int TextFont::renderEmHeight(int size, int maxEm)
{
    // A size of 0 or below would ask the platform for "some default"; we
    // make that the default size of a new text program.
    const int em = emHeight(size > 0 ? size : kDefaultSize);
    return qBound(1, em, qMax(1, maxEm));
}

bool TextFont::isInstalled(const QString &family)
{
    if (family.trimmed().isEmpty())
        return false;
    const QString matched = QFontInfo(QFont(family)).family();
    if (matched.compare(family, Qt::CaseInsensitive) == 0)
        return true;
    for (const QString &substitute : QFont::substitutes(family)) {
        if (matched.compare(substitute, Qt::CaseInsensitive) == 0)
            return true;
    }
    // Localised family names only show up in the database's own list, which
    // is slow to build: ask it once per name.
    // Guarded: several signs' copies may render at once.
    static QHash<QString, bool> listed;
    const QString key = family.toCaseFolded();
    QMutexLocker lock(&g_cacheMutex);
    auto it = listed.constFind(key);
    if (it == listed.constEnd())
        it = listed.insert(key, QFontDatabase::hasFamily(family));
    return it.value();
}

QList<int> TextFont::strikeSizes(const QString &family)
{
    static QHash<QString, QList<int>> cache;
    const QString key = family.toCaseFolded();
    {
        QMutexLocker lock(&g_cacheMutex);
        const auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return it.value();
    }
    // Families not (yet) installed are not remembered: a user font of
    // that name may still be loaded.
    if (!isListed(family))
        return {};
    QList<int> sizes;
    {
        if (QFontDatabase::isScalable(family)) {
            QFont font(family);
            font.setPixelSize(16);
            const QRawFont raw = QRawFont::fromFont(font);
            if (raw.isValid() && raw.familyName().compare(family, Qt::CaseInsensitive) == 0) {
                QByteArray table = raw.fontTable("EBLC");
                if (table.isEmpty())
                    table = raw.fontTable("CBLC");
                sizes = embeddedStrikes(table);
            }
        } else {
            sizes = bitmapFamilySizes(family);
        }
    }
    QMutexLocker lock(&g_cacheMutex);
    cache.insert(key, sizes);
    return sizes;
}

QString TextFont::songFamily()
{
    QStringList outline;
    appendFaces(outline, faceGroups().front().faces, QString(), 0);
    return outline.isEmpty() ? QString() : outline.first();
}

QStringList TextFont::families(const QString &face, int emPixels)
{
    const QString name = face.trimmed();
    QStringList result;
    const FaceGroup *group = groupOf(name);
    if (group) {
        appendFaces(result, group->faces, pickedFamily(group, name), emPixels);
    } else if (isInstalled(name)) {
        result << name;
    } else {
        // An empty or unknown face is served like the face the items start
        // with, so Chinese text still shows.
        appendFaces(result, faceGroups().front().faces, QString(), emPixels);
    }
    for (const FaceGroup &g : faceGroups())
        appendFaces(result, g.faces, QString(), emPixels);
    appendFaces(result, lastResortFaces(), QString(), emPixels);
    const QString chinese = anyChineseFamily();
    if (!chinese.isEmpty() && !result.contains(chinese, Qt::CaseInsensitive))
        result << chinese;
    if (result.isEmpty() && !name.isEmpty())
        result << name; // nothing known is installed: Qt's own matching
    return result;
}

int TextFont::strikeScale(const QString &face, int emPixels)
{
    const QString name = face.trimmed();
    const FaceGroup *group = groupOf(name);
    // An unknown face is served like "宋体", without a face of its own name.
    const QString picked = pickedFamily(group, name);
    if (!group && !isInstalled(name))
        group = &faceGroups().front();
    if (!group || emPixels <= 0)
        return 1;
    // The first face of the group that serves decides, as in families().
    for (const MappedFace &mapped : group->faces) {
        const bool isPicked = str(mapped.family) == str(kPickedName);
        if (isPicked && picked.isEmpty())
            continue;
        const QString family = isPicked ? picked : str(mapped.family);
        if (family.isEmpty() || !serves(family, mapped.serves, emPixels, mapped.grid))
            continue;
        return mapped.serves == Serves::AtScaledStrikes ? scaledStrikeFactor(family, emPixels) : 1;
    }
    return 1;
}

QString TextFont::resolveFamily(const QString &face, int emPixels)
{
    const QStringList list = families(face, emPixels);
    return list.isEmpty() ? face.trimmed() : list.first();
}

QList<int> TextFont::servingStrikes(const QString &face)
{
    const QString name = face.trimmed();
    const FaceGroup *group = groupOf(name);
    if (!group)
        return isInstalled(name) ? strikeSizes(name) : QList<int>();
    QList<int> sizes;
    for (const MappedFace &mapped : group->faces) {
        const QString family =
            str(mapped.family) == str(kPickedName) ? pickedFamily(group, name) : str(mapped.family);
        if (family.isEmpty() || (mapped.serves != Serves::AtStrikes && family != name))
            continue;
        for (int px : strikeSizes(family)) {
            if (!sizes.contains(px))
                sizes << px;
        }
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

bool TextFont::isMappedName(const QString &name)
{
    return groupOf(name.trimmed()) != nullptr;
}

QStringList TextFont::mappedNames()
{
    QStringList names;
    for (const FaceGroup &group : faceGroups()) {
        for (const char16_t *n : group.names)
            names << str(n);
    }
    return names;
}

QStringList TextFont::faceNames(int maxChars)
{
    QStringList names;
    auto add = [&](const QString &name) {
        if (!name.isEmpty() && name.size() <= maxChars &&
            !names.contains(name, Qt::CaseInsensitive))
            names << name;
    };
    const QStringList installed = QFontDatabase::families();
    for (QString family : installed) {
        // Qt tells the foundries of a family apart as "Family [Foundry]";
        // the face is stored, and found again, by its family name alone.
        const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
        if (bracket > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(bracket);
        add(family);
    }
    for (const QString &name : mappedNames())
        add(name);
    // Names the application maps onto an installed face with a Qt
    // substitution; Qt keeps substitutes in lower case.
    for (const QString &alias : QFont::substitutions()) {
        const QStringList targets = QFont::substitutes(alias);
        if (std::any_of(targets.begin(), targets.end(), [&](const QString &t) {
                return installed.contains(t, Qt::CaseInsensitive);
            }))
            add(alias);
    }
    // The table's names first, in table order, then the other faces that
    // draw Chinese, then the rest; each group sorted without regard to case.
    const QStringList mapped = mappedNames();
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    auto rank = [&](const QString &name) {
        const qsizetype inTable = mapped.indexOf(name);
        if (inTable >= 0)
            return int(inTable);
        return int(mapped.size()) + (chinese.contains(name, Qt::CaseInsensitive) ? 0 : 1);
    };
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const int ra = rank(a), rb = rank(b);
        if (ra != rb)
            return ra < rb;
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

std::vector<TextFont::MissingCharacter> TextFont::missingGlyphs(const QString &face, int emPixels,
                                                                int style, QStringView text)
{
    // The font the text is drawn with: a scaled strike draws at its own size.
    const int em = qMax(1, emPixels);
    const QFont font = make(face, qMax(1, em / strikeScale(face, em)), style);
    QSet<char32_t> seen;
    std::vector<MissingCharacter> missing;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (neverDrawn(cp) || seen.contains(cp))
            continue;
        seen.insert(cp);
        const QString character = QString::fromUcs4(&cp, 1);
        // Unifont has a placeholder glyph even for unassigned code points;
        // those, and a lone surrogate, are never the character itself.
        const QChar::Category category = QChar::category(cp);
        bool found = category != QChar::Other_NotAssigned && category != QChar::Other_Surrogate;
        if (found) {
            // As the painter lays the character out: glyph 0 is the face's
            // "no glyph".
            QTextLayout layout(character, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            found = !runs.isEmpty();
            for (const QGlyphRun &run : runs) {
                const QList<quint32> glyphs = run.glyphIndexes();
                if (glyphs.isEmpty() || glyphs.contains(0u))
                    found = false;
            }
        }
        if (found)
            continue;
        // What the sign shows in its place: any ink is the face's box.
        const int side = 3 * em + 8;
        QImage scratch(side, side, QImage::Format_RGB32);
        scratch.fill(Qt::black);
        {
            QPainter painter(&scratch);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QPoint(em, 2 * em), character);
        }
        bool ink = false;
        for (int y = 0; y < side && !ink; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
            ink = std::any_of(row, row + side, [](QRgb p) { return (p & 0xFFFFFF) != 0; });
        }
        missing.push_back({cp, ink});
    }
    return missing;
}

QString TextFont::missingCharacters(const QString &face, int emPixels, QStringView text)
{
    QString missing;
    for (const MissingCharacter &m : missingGlyphs(face, emPixels, 0, text))
        missing += QString::fromUcs4(&m.codePoint, 1);
    return missing;
}

void TextFont::chooseFontEngine()
{
#ifdef Q_OS_WIN
    // Windows' own engine (GDI) rounds advances and line metrics its own way
    // (AR PL UMing at 27 px: 28 pixels a character against FreeType's 27),
    // and under Wine it differs again from Windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
}

QStringList TextFont::loadHiddenFaces()
{
    QStringList added;
    auto load = [&](const std::vector<MappedFace> &faces) {
        for (const MappedFace &face : faces) {
            if (!face.folder || isListed(str(face.family)))
                continue;
            const QDir dir(str(face.folder));
            for (const QString &file : dir.entryList({str(face.files)}, QDir::Files, QDir::Name)) {
                const int id = QFontDatabase::addApplicationFont(dir.filePath(file));
                if (id < 0)
                    continue;
                for (const QString &family : QFontDatabase::applicationFontFamilies(id)) {
                    if (!added.contains(family))
                        added << family;
                }
            }
        }
    };
    for (const FaceGroup &group : faceGroups())
        load(group.faces);
    load(lastResortFaces());
    return added;
}

TextFont::LineBox TextFont::lineBox(const QFont &font)
{
    const QFontMetrics metrics(font);
    LineBox box{metrics.ascent(), metrics.descent()};
    const QString family = font.families().value(0, font.family());
    const int px = font.pixelSize();
    if (px <= 0 || !strikeSizes(family).contains(px))
        return box;

    struct Rows {
        int above = 0; // rows above the baseline
        int below = 0; // rows from the baseline down
    };
    struct Ink {
        Rows text; // ideographs and punctuation
        Rows all;  // those and the signs
    };
    static QHash<QString, Ink> cache;
    const QString key = QStringLiteral("%1/%2/%3/%4")
                            .arg(family.toCaseFolded())
                            .arg(px)
                            .arg(font.weight())
                            .arg(font.italic());
    Ink ink;
    bool known = false;
    {
        QMutexLocker lock(&g_cacheMutex);
        const auto it = cache.constFind(key);
        if (it != cache.constEnd()) {
            ink = it.value();
            known = true;
        }
    }
    if (!known) {
        // Every sample character the strike has, drawn on one baseline of
        // one scratch raster: the rows lit are the strike's ink.
        QFont strike = font;
        strike.setFamilies({family});
        const QFontMetrics strikeMetrics(strike);
        const int side = 4 * px + 8;
        const int baseline = 2 * px + 4;
        QImage scratch(side, side, QImage::Format_RGB32);
        scratch.fill(Qt::black);
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(strike);
        painter.setPen(Qt::white);
        auto draw = [&](char32_t cp) {
            if (strikeMetrics.inFontUcs4(uint(cp)))
                painter.drawText(QPoint(px, baseline), QString::fromUcs4(&cp, 1));
        };
        auto drawAll = [&](const char16_t *chars) {
            for (; *chars; ++chars)
                draw(*chars);
        };
        auto rowsLit = [&] {
            Rows rows;
            for (int y = 0; y < side; ++y) {
                const auto *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
                if (std::none_of(row, row + side, [](QRgb p) { return qRed(p) >= 128; }))
                    continue;
                rows.above = std::max(rows.above, baseline - y);
                rows.below = std::max(rows.below, y - baseline + 1);
            }
            return rows;
        };
        for (char32_t cp = kInkIdeographFirst; cp <= kInkIdeographLast; cp += kInkIdeographStep)
            draw(cp);
        drawAll(kInkPunctuation);
        ink.text = rowsLit();
        drawAll(kInkSigns);
        ink.all = rowsLit();
        painter.end();
        QMutexLocker lock(&g_cacheMutex);
        cache.insert(key, ink);
    }
    // The line never grows; it shrinks to the ink where the stated line is
    // taller (never below the pixel size, as a 16 px strike of a Song face
    // is 16 rows high), so a 16 px text fills a 16-row sign. The baseline
    // moves down as far as the ink above needs and the ink below allows, and
    // up at most by the rows the line lost.
    const int lineHeight = box.ascent + box.descent;
    const int fitted = std::min(lineHeight, std::max(ink.all.above + ink.all.below, px));
    const int ascent = std::max(box.ascent - (lineHeight - fitted),
                                std::min(ink.text.above, fitted - ink.text.below));
    box.ascent = std::clamp(ascent, 0, fitted);
    box.descent = fitted - box.ascent;
    return box;
}

TextFont::StrikeStyle TextFont::strikeStyle(const QFont &font)
{
    StrikeStyle style;
    const bool bold = font.weight() >= QFont::DemiBold;
    if (!bold && !font.italic())
        return style;
    const QString family = font.families().value(0, font.family());
    const int px = font.pixelSize();
    if (px <= 0 || !strikeSizes(family).contains(px))
        return style;
    bool ownBold = false, ownItalic = false;
    for (const QString &s : QFontDatabase::styles(family)) {
        ownBold = ownBold || QFontDatabase::weight(family, s) >= QFont::DemiBold;
        ownItalic = ownItalic || QFontDatabase::italic(family, s);
    }
    style.bold = bold && !ownBold;
    style.italic = font.italic() && !ownItalic;
    return style;
}

QFont TextFont::make(const QString &face, int emPixels, int style)
{
    QFont font;
    font.setFamilies(families(face, emPixels));
    font.setPixelSize(qMax(1, emPixels));
    font.setWeight((style & 1) ? QFont::Bold : QFont::Normal);
    font.setItalic((style & 2) != 0);
    // Glyph pixels are either fully the text colour or untouched; full
    // hinting keeps advances on whole pixels, and kerning stays off because
    // a run is as wide as the sum of its characters' advances.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}
