// fonts: the faces a text program can use, which real face serves each at a
// size, their pixel strikes, and a sample line per face.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "cli/Console.h"
#include "model/PlayList.h"
#include "model/ProgramWarnings.h"
#include "model/TextItem.h"
#include "render/EntryAnimation.h"
#include "render/TextFont.h"
#include "render/TextMeasurer.h"
#include "render/TextRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

constexpr int kDefaultSampleSize = 12; // 16 pixels
// The sign heights whose sharp sizes are listed per face.
constexpr int kCrispHeights[] = {16, 32};
const QString kSample = QStringLiteral("欢迎光临 今日特价 0123456789 ABCabc ℃￥");

QString sizesText(const QList<int> &sizes)
{
    QStringList parts;
    for (int px : sizes)
        parts << QString::number(px);
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(QLatin1Char(','));
}

// "03-WenQuanYi_Zen_Hei.png": safe on every file system.
QString sampleName(int number, const QString &face)
{
    QString safe;
    for (const QChar c : face)
        safe += (c.isLetterOrNumber() || c == u'-') ? c : QChar(u'_');
    return QStringLiteral("%1-%2.png").arg(number, 2, 10, QLatin1Char('0')).arg(safe);
}

} // namespace

void CliApp::warnProgram(const PlayList &project, int number, QJsonArray *collected)
{
    const ProgramItem *item = project.itemAt(number - 1);
    if (!item)
        return;
    for (const ProgramWarning &w : programWarnings(*item)) {
        QJsonObject o = w.toJson();
        o[u"program"] = number;
        printWarning(o);
        if (collected)
            collected->append(o);
    }
}

void CliApp::printWarning(const QJsonObject &warning)
{
    m_console.err(trEn("Cli", "brivane-cli: warning: program %1: %2\n")
                      .arg(warning.value(u"program").toInt())
                      .arg(warning.value(u"text").toString()));
}

int CliApp::verbFonts(const QStringList &)
{
    int size = kDefaultSampleSize;
    if (isSet(QStringLiteral("size"))) {
        bool ok = false;
        size = option(QStringLiteral("size")).toInt(&ok);
        if (!ok || size < 1 || size > 999)
            return usageError(trEn("Cli", "invalid --size '%1': expected 1..999")
                                  .arg(option(QStringLiteral("size"))),
                              QStringLiteral("fonts"));
    }
    const int px = TextFont::emHeight(size);
    const QString out = option(QStringLiteral("out"));
    QDir dir;
    if (!out.isEmpty()) {
        const QFileInfo outInfo(out);
        if (outInfo.exists() && !outInfo.isDir())
            return fail(ExitUsage, trEn("Cli", "%1 is not a folder").arg(out));
        if (!QDir().mkpath(out))
            return fail(ExitUsage, trEn("Cli", "cannot create the folder %1").arg(out));
        dir = QDir(out);
    }

    QJsonArray list;
    const QStringList faces = TextFont::faceNames(TextItem::kMaxFaceNameChars);
    if (!json())
        print(trEn("Cli", "%1 pt = %2 px: face, the face that serves it, strike sizes (px), "
                             "sharp sizes (pt) per sign height")
                  .arg(size)
                  .arg(px));
    for (qsizetype i = 0; i < faces.size(); ++i) {
        const QString &face = faces[i];
        const QString family = TextFont::resolveFamily(face, px);
        // A strike scaled k times serves at k times its size.
        const int scale = TextFont::strikeScale(face, px);
        const bool strike = TextFont::strikeSizes(family).contains(px / scale);
        const QList<int> strikes = TextFont::servingStrikes(face);
        // Sharp sizes come only from strikes: a face without any has none.
        QJsonObject crispJson;
        QStringList crispText;
        for (int height : kCrispHeights) {
            const QList<int> crisp =
                strikes.isEmpty() ? QList<int>() : TextRenderer::crispSizes(face, 0, height);
            QJsonArray sizes;
            for (int s : crisp)
                sizes.append(s);
            crispJson[QString::number(height)] = sizes;
            if (!crisp.isEmpty())
                crispText << QStringLiteral("%1 行 %2 磅").arg(height).arg(pointSizesText(crisp));
        }
        QString sample;
        if (!out.isEmpty()) {
            TextRenderParams p;
            p.text = kSample;
            p.faceName = face;
            p.size = size;
            TextMeasurer measurer(TextFont::make(face, px / scale, 0), scale);
            p.width = measurer.singleLineWidth(kSample) + 4;
            p.height = measurer.lineHeight() + 4;
            p.action = EntryAnimation::Instant;
            p.stayTimeZero = false;
            const std::vector<PageBitmap> pages = TextRenderer::render(p);
            sample = dir.filePath(sampleName(int(i + 1), face));
            if (pages.empty() || !pages.front().image().save(sample, "PNG"))
                return fail(ExitUsage, trEn("Cli", "cannot write %1").arg(sample));
        }
        if (json()) {
            QJsonArray sizes;
            for (int s : strikes)
                sizes.append(s);
            QJsonObject o;
            o[u"face"] = face;
            o[u"family"] = family;
            o[u"strike"] = strike;
            o[u"strikeScale"] = scale;
            o[u"strikeSizes"] = sizes;
            o[u"crispSizes"] = crispJson;
            if (!sample.isEmpty())
                o[u"sample"] = sample;
            list.append(o);
        } else {
            print(QStringLiteral("%1\t%2%3\t%4\t%5%6")
                      .arg(face, family,
                           !strike     ? QString()
                           : scale > 1 ? trEn("Cli", " (strike x%1)").arg(scale)
                                       : QStringLiteral(" (strike)"),
                           sizesText(strikes),
                           crispText.isEmpty() ? QStringLiteral("-")
                                               : crispText.join(QStringLiteral("; ")),
                           sample.isEmpty() ? QString() : QStringLiteral("\t") + sample));
        }
    }
    if (json()) {
        QJsonObject doc;
        doc[u"size"] = size;
        doc[u"pixels"] = px;
        doc[u"faces"] = list;
        printJson(doc);
    }
    return ExitOk;
}
