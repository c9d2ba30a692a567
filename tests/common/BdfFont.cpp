#include "common/BdfFont.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

std::vector<char32_t> BdfFont::defaultCodePoints()
{
    std::vector<char32_t> cps;
    for (char32_t c = 0x20; c < 0x7F; ++c)
        cps.push_back(c);
    for (char32_t c = 0x4E00; c < 0x4E40; ++c)
        cps.push_back(c);
    for (QChar c : QStringLiteral("示例文本信息，双击编辑。一二三四五")) {
        if (c.unicode() < 0x4E00 || c.unicode() >= 0x4E40)
            cps.push_back(c.unicode());
    }
    return cps;
}

bool BdfFont::glyphPixel(const Spec &spec, char32_t cp, int x, int y)
{
    const int w = spec.advance;
    const int h = spec.ascent + spec.descent;
    if (cp == U' ' || x < 0 || y < 0 || x >= w || y >= h)
        return false;
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
        return true;
    const uint32_t hash = uint32_t(cp) * 2654435761u;
    return ((hash >> ((x * 7 + y * 3) % 29)) & 1) != 0;
}

QByteArray BdfFont::make(const Spec &spec)
{
    const std::vector<char32_t> cps =
        spec.codePoints.empty() ? defaultCodePoints() : spec.codePoints;
    const int w = spec.advance;
    const int h = spec.ascent + spec.descent;
    const QByteArray family = spec.family.toLatin1();
    const QByteArray px = QByteArray::number(spec.pixelSize);
    const QByteArray bbx = QByteArray::number(w) + ' ' + QByteArray::number(h) + " 0 " +
                           QByteArray::number(spec.rise - spec.descent);
    QByteArray out;
    out += "STARTFONT 2.1\n";
    out += "FONT -brivane-" + family + "-medium-r-normal--" + px + '-' +
           QByteArray::number(spec.pixelSize * 10) + "-75-75-c-" + QByteArray::number(w * 10) +
           "-iso10646-1\n";
    out += "SIZE " + px + " 75 75\n";
    out += "FONTBOUNDINGBOX " + bbx + '\n';
    // fontconfig only accepts a bitmap font with its charset properties.
    const QList<QByteArray> props{
        "FOUNDRY \"brivane\"",
        "FAMILY_NAME \"" + family + '"',
        "WEIGHT_NAME \"Medium\"",
        "SLANT \"R\"",
        "SETWIDTH_NAME \"Normal\"",
        "ADD_STYLE_NAME \"\"",
        "PIXEL_SIZE " + px,
        "POINT_SIZE " + QByteArray::number(spec.pixelSize * 10),
        "RESOLUTION_X 75",
        "RESOLUTION_Y 75",
        "SPACING \"C\"",
        "AVERAGE_WIDTH " + QByteArray::number(w * 10),
        "CHARSET_REGISTRY \"ISO10646\"",
        "CHARSET_ENCODING \"1\"",
        "DEFAULT_CHAR 32",
        "FONT_ASCENT " + QByteArray::number(spec.ascent),
        "FONT_DESCENT " + QByteArray::number(spec.descent),
    };
    out += "STARTPROPERTIES " + QByteArray::number(props.size()) + '\n';
    for (const QByteArray &p : props)
        out += p + '\n';
    out += "ENDPROPERTIES\n";
    out += "CHARS " + QByteArray::number(qsizetype(cps.size())) + '\n';
    const int rowBytes = (w + 7) / 8;
    for (char32_t cp : cps) {
        out += "STARTCHAR U" + QByteArray::number(uint(cp), 16) + '\n';
        out += "ENCODING " + QByteArray::number(uint(cp)) + '\n';
        out += "SWIDTH " + QByteArray::number(w * 1000 / spec.pixelSize) + " 0\n";
        out += "DWIDTH " + QByteArray::number(w) + " 0\n";
        out += "BBX " + bbx + '\n';
        out += "BITMAP\n";
        for (int y = 0; y < h; ++y) {
            QByteArray row(rowBytes, '\0');
            for (int x = 0; x < w; ++x) {
                if (glyphPixel(spec, cp, x, y))
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            }
            out += row.toHex().toUpper() + '\n';
        }
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    return out;
}

QString BdfFont::install(const Spec &spec)
{
    static QHash<QString, QString> installed;
    auto it = installed.constFind(spec.family);
    if (it != installed.constEnd())
        return it.value();
    const int id = QFontDatabase::addApplicationFontFromData(make(spec));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    const QString family = id < 0 || families.isEmpty() ? QString() : families.first();
    installed.insert(spec.family, family);
    return family;
}
