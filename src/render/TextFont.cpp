#include "render/TextFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <climits>
#include <cstdint>

namespace {

// Names under which programs store the Windows Song face.
bool isSongAlias(const QString &face)
{
    static const QStringList aliases{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                     QStringLiteral("新宋体"), QStringLiteral("NSimSun")};
    return aliases.contains(face, Qt::CaseInsensitive);
}

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
    static QMutex mutex;
    static QHash<QString, bool> listed;
    const QMutexLocker lock(&mutex);
    const QString key = family.toCaseFolded();
    auto it = listed.constFind(key);
    if (it == listed.constEnd())
        it = listed.insert(key, QFontDatabase::hasFamily(family));
    return it.value();
}

QString TextFont::songFamily()
{
    static const QStringList candidates{QStringLiteral("AR PL UMing CN"),
                                        QStringLiteral("AR PL UMing TW"),
                                        QStringLiteral("AR PL UMing HK"),
                                        QStringLiteral("AR PL SungtiL GB"),
                                        QStringLiteral("Noto Serif CJK SC"),
                                        QStringLiteral("Source Han Serif SC"),
                                        QStringLiteral("Source Han Serif CN"),
                                        QStringLiteral("SimSun"),
                                        QStringLiteral("NSimSun"),
                                        QStringLiteral("Songti SC"),
                                        QStringLiteral("STSong")};
    for (const QString &candidate : candidates) {
        if (isInstalled(candidate))
            return candidate;
    }
    return {};
}

QString TextFont::resolveFamily(const QString &face)
{
    const QString name = face.trimmed();
    if (!isSongAlias(name) && isInstalled(name))
        return name;
    // An empty or unknown face falls back to Song (what the items start
    // with), then to any Chinese face, so Chinese text still shows.
    const QString song = songFamily();
    if (!song.isEmpty())
        return song;
    const QString chinese = anyChineseFamily();
    if (!chinese.isEmpty())
        return chinese;
    return name;
}

QFont TextFont::make(const QString &face, int emPixels, int style)
{
    QStringList families{resolveFamily(face)};
    for (const QString &fallback : {songFamily(), anyChineseFamily()}) {
        if (!fallback.isEmpty() && !families.contains(fallback, Qt::CaseInsensitive))
            families.append(fallback);
    }
    QFont font;
    font.setFamilies(families);
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
