#include "model/ProgramWarnings.h"

#include "model/PlayList.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "render/PageBitmap.h"
#include "render/TextFont.h"
#include "render/TextRenderer.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// "16 行的屏建议使用 9 至 12 磅的宋体。", or empty when no size is sharp.
QString crispAdvice(const QString &face, int style, int height, QJsonObject &details)
{
    const QList<int> sizes = TextRenderer::crispSizes(face, style, height);
    QJsonArray list;
    for (int size : sizes)
        list.append(size);
    details[u"crispSizes"] = list;
    if (sizes.isEmpty())
        return {};
    return QCoreApplication::translate("ProgramWarnings", "%1 行的屏建议使用 %2 磅的%3。")
        .arg(height)
        .arg(pointSizesText(sizes), face);
}

// A face name the table maps or the system has; any other is drawn as the
// face new programs start with.
bool isKnownFace(const QString &face)
{
    return TextFont::isMappedName(face) || TextFont::isInstalled(face);
}

// The size the text is drawn at: the default for a stored 0 or below.
int drawnSize(const TextRenderParams &params)
{
    return params.size > 0 ? params.size : TextFont::kDefaultSize;
}

void addFaceWarning(const TextItem &text, const TextRenderParams &params,
                    std::vector<ProgramWarning> &out)
{
    const QString face = text.faceName().trimmed();
    if (face.isEmpty() || isKnownFace(face))
        return;
    // The family that really draws it at the item's size.
    const int em = TextFont::emHeight(drawnSize(params));
    const QString used = TextFont::resolveFamily(face, em / TextFont::strikeScale(face, em));
    ProgramWarning w;
    w.code = ProgramWarning::Code::Face;
    w.text = QCoreApplication::translate("ProgramWarnings", "没有安装字体“%1”，将使用“%2”代替。").arg(face, used);
    w.details = {{QStringLiteral("font"), face}, {QStringLiteral("usedFont"), used}};
    out.push_back(std::move(w));
}

void addColourWarning(const TextItem &text, std::vector<ProgramWarning> &out)
{
    const int planes = text.context().previewPlanes();
    if (planes != 1)
        return;
    const uint32_t drawn = text.textColor();
    const uint32_t shown = LedColor::shownOn(drawn, planes);
    if (shown == drawn)
        return;
    const QString colour = ValueTables::shown(ValueTables::colorNames().value(text.color() - 1));
    ProgramWarning w;
    w.code = ProgramWarning::Code::Colour;
    w.text = shown == LedColor::Black
                 ? QCoreApplication::translate("ProgramWarnings", "当前显示屏为单色屏，%1色文字将不会显示。").arg(colour)
                 : QCoreApplication::translate("ProgramWarnings", "当前显示屏为单色屏，%1色文字将显示为红色。").arg(colour);
    w.details = {{QStringLiteral("color"), text.color()},
                 {QStringLiteral("colourType"), text.context().screen.colourType()},
                 {QStringLiteral("shown"),
                  shown == LedColor::Black ? QStringLiteral("nothing") : QStringLiteral("red")}};
    out.push_back(std::move(w));
}

void addFitWarning(const TextItem &text, const TextRenderParams &params,
                   std::vector<ProgramWarning> &out)
{
    if (params.height <= 0 || params.text.isEmpty())
        return;
    const TextRenderer::LineFit fit = TextRenderer::lineFit(params);
    if (fit.lines == 0)
        return;
    const QString name = text.faceName().trimmed();
    const QString face = name.isEmpty() || !isKnownFace(name) ? TextFont::kDefaultFace : name;
    ProgramWarning w;
    int lines = 1;
    if (fit.lineHeight > params.height) {
        w.code = ProgramWarning::Code::Fit;
        w.text = QCoreApplication::translate("ProgramWarnings", "%1 磅的文字高 %2 行，超出了 %3 行的显示屏，上下部分将不会显示")
                     .arg(drawnSize(params))
                     .arg(fit.lineHeight)
                     .arg(params.height);
    } else if (fit.lines > 1 && int64_t(fit.lines) * fit.lineHeight > params.height &&
               TextRenderer::chooseLayout(params.action, params.stayTimeZero) !=
                   TextLayout::VerticalBand) {
        // Only moving up shows the lines one after another; every other
        // entry puts the lines of a page on the screen at once.
        lines = fit.lines;
        w.code = ProgramWarning::Code::LineBreak;
        w.text = QCoreApplication::translate("ProgramWarnings", "文字中有换行，%1 行文字共高 %2 行，超出了 %3 行的显示屏，将被截去")
                     .arg(fit.lines)
                     .arg(fit.lines * fit.lineHeight)
                     .arg(params.height);
    } else {
        return;
    }
    const int largest = TextRenderer::largestFittingSize(params, lines);
    if (largest > 0)
        w.text += lines > 1
                      ? QCoreApplication::translate("ProgramWarnings", "；请去掉换行，或使用不大于 %1 磅的字号。").arg(largest)
                      : QCoreApplication::translate("ProgramWarnings", "；能完整显示的最大字号为 %1 磅。").arg(largest);
    else
        w.text += lines > 1 ? QCoreApplication::translate("ProgramWarnings", "；请去掉换行。") : QCoreApplication::translate("ProgramWarnings", "。");
    w.details = {{QStringLiteral("size"), drawnSize(params)},
                 {QStringLiteral("lineHeight"), fit.lineHeight},
                 {QStringLiteral("lines"), fit.lines},
                 {QStringLiteral("screenHeight"), params.height},
                 {QStringLiteral("largestSize"), largest}};
    w.text += crispAdvice(face, params.style, params.height, w.details);
    out.push_back(std::move(w));
}

void addMissingWarning(const TextRenderParams &params, std::vector<ProgramWarning> &out)
{
    const std::vector<TextFont::MissingCharacter> missing = TextRenderer::missingGlyphs(params);
    if (missing.empty())
        return;
    QStringList boxes, nothing;
    QJsonArray list;
    for (const TextFont::MissingCharacter &m : missing) {
        (m.shownAsBox ? boxes : nothing) << codePointText(m.codePoint);
        list.append(
            QJsonObject{{QStringLiteral("character"), QString::fromUcs4(&m.codePoint, 1)},
                        {QStringLiteral("codePoint"), codePointName(m.codePoint)},
                        {QStringLiteral("shown"),
                         m.shownAsBox ? QStringLiteral("box") : QStringLiteral("nothing")}});
    }
    ProgramWarning w;
    w.code = ProgramWarning::Code::MissingCharacters;
    if (!boxes.isEmpty())
        w.text += QCoreApplication::translate("ProgramWarnings", "以下字符无法显示，显示屏上将显示为方框：%1。")
                      .arg(boxes.join(QStringLiteral("、")));
    if (!nothing.isEmpty())
        w.text += QCoreApplication::translate("ProgramWarnings", "以下字符无法显示，显示屏上将不显示：%1。")
                      .arg(nothing.join(QStringLiteral("、")));
    w.details = {{QStringLiteral("characters"), list}};
    out.push_back(std::move(w));
}

} // namespace

QString ProgramWarning::codeName(Code code)
{
    switch (code) {
    case Code::Colour:
        return QStringLiteral("colour");
    case Code::Fit:
        return QStringLiteral("fit");
    case Code::LineBreak:
        return QStringLiteral("lineBreak");
    case Code::MissingCharacters:
        return QStringLiteral("missingCharacters");
    case Code::Face:
        return QStringLiteral("font");
    }
    return {};
}

QJsonObject ProgramWarning::toJson() const
{
    QJsonObject o = details;
    o[u"code"] = codeName(code);
    o[u"text"] = text;
    return o;
}

std::vector<ProgramWarning> programWarnings(const ProgramItem &item)
{
    std::vector<ProgramWarning> out;
    if (item.isPicture())
        return out;
    const auto &text = static_cast<const TextItem &>(item);
    const TextRenderParams params = text.renderParams();
    addFaceWarning(text, params, out);
    addColourWarning(text, out);
    addFitWarning(text, params, out);
    addMissingWarning(params, out);
    return out;
}

QJsonArray programWarningsJson(const ProgramItem &item)
{
    QJsonArray list;
    for (const ProgramWarning &w : programWarnings(item))
        list.append(w.toJson());
    return list;
}

QJsonArray playListWarningsJson(const PlayList &list)
{
    QJsonArray all;
    for (int i = 0; i < list.itemCount(); ++i) {
        if (const ProgramItem *item = list.itemAt(i)) {
            for (const ProgramWarning &w : programWarnings(*item)) {
                QJsonObject o = w.toJson();
                o[u"program"] = i + 1;
                all.append(o);
            }
        }
    }
    return all;
}

QString pointSizesText(const QList<int> &sizes)
{
    // Runs of three or more consecutive sizes as "a 至 b".
    QStringList parts;
    for (qsizetype i = 0; i < sizes.size();) {
        qsizetype j = i;
        while (j + 1 < sizes.size() && sizes[j + 1] == sizes[j] + 1)
            ++j;
        if (j - i >= 2) {
            parts << QCoreApplication::translate("ProgramWarnings", "%1 至 %2").arg(sizes[i]).arg(sizes[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                parts << QString::number(sizes[k]);
        }
        i = j + 1;
    }
    return parts.join(QStringLiteral("、"));
}

QString codePointName(char32_t codePoint)
{
    return QStringLiteral("U+") +
           QStringLiteral("%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

QString codePointText(char32_t codePoint)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromUcs4(&codePoint, 1),
                                         codePointName(codePoint));
}
