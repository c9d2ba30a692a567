#include "model/ProgramFields.h"
#include "base/Language.h"

#include "base/OptionSpellings.h"
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "model/ProgramWarnings.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "render/EntryAnimation.h"
#include "render/PageBitmap.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace ProgramFields {

namespace {

// A value typed as a number in [min, max] or as one of the names; a name at
// list position i means nameBase + i.
struct Choice {
    int min;
    int max;
    QStringList names;
    int nameBase = 0;
    std::vector<std::pair<QString, int>> aliases;
};

std::optional<int> parseChoice(const QString &typed, const Choice &choice)
{
    const QString text = typed.trimmed();
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (ok)
        return number >= choice.min && number <= choice.max ? std::optional<int>(number)
                                                            : std::nullopt;
    const int position = int(choice.names.indexOf(text));
    if (position >= 0)
        return choice.nameBase + position;
    for (const auto &[alias, value] : choice.aliases)
        if (text.compare(alias, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

QString describe(const Choice &choice)
{
    QString text = QStringLiteral("%1..%2").arg(choice.min).arg(choice.max);
    QStringList words;
    for (const auto &alias : choice.aliases)
        words << alias.first;
    words << choice.names;
    if (!words.isEmpty())
        text += trEn("Fields", " or one of: ") + words.join(QStringLiteral(", "));
    return text;
}

enum class Kind { Any, Text, Picture };

struct Field {
    const char *name;
    Kind kind;
    // Parses and stores; false with *error set on a bad value.
    std::function<bool(ProgramItem &, const QString &, const Context &, QString *)> assign;
    // For a field whose value is a number or a named choice: its range and
    // the setting a number is stored into.
    std::optional<Choice> choice = std::nullopt;
    ItemSetting setting = ItemSetting::Content;
};

QString invalidValueText(const char *name, const QString &value, const Choice &choice)
{
    return trEn("Fields", "invalid %1 \"%2\": expected %3")
        .arg(QLatin1String(name), value, describe(choice));
}

// A field whose value is a Choice, stored as setting.
Field choiceField(const char *name, Kind kind, Choice choice, ItemSetting setting)
{
    return Field{name, kind,
                 [name, choice, setting](ProgramItem &item, const QString &value, const Context &,
                                         QString *error) {
                     const std::optional<int> parsed = parseChoice(value, choice);
                     if (!parsed) {
                         *error = invalidValueText(name, value, choice);
                         return false;
                     }
                     editItem(item, setting, *parsed);
                     return true;
                 },
                 choice, setting};
}

const std::vector<Field> &fields()
{
    static const std::vector<Field> table = [] {
        std::vector<Field> f;
        f.push_back(
            {"content", Kind::Any,
             [](ProgramItem &item, const QString &value, const Context &context, QString *error) {
                 if (item.isPicture()) {
                     const QString stored = picturePathToStore(value, context.projectDir, error);
                     if (stored.isEmpty())
                         return false;
                     editItem(item, ItemSetting::Content, stored);
                     return true;
                 }
                 if (const int length = TextItem::textLength(value);
                     length > TextItem::kMaxTextChars) {
                     *error = trEn("Fields", "text too long: %1 characters, at most %2")
                                  .arg(length)
                                  .arg(TextItem::kMaxTextChars);
                     return false;
                 }
                 editItem(item, ItemSetting::Content, value);
                 return true;
             }});
        f.push_back(choiceField(
            "action", Kind::Any,
            {EntryAnimation::kFirst, EntryAnimation::kLast, ValueTables::actionNames(), 1, {}},
            ItemSetting::Action));
        f.push_back(choiceField("speed", Kind::Any, {0, 15, ValueTables::speedNames(), 0, {}},
                                ItemSetting::Speed));
        f.push_back(choiceField("frame", Kind::Any, {0, 8, ValueTables::frameNames(), 0, {}},
                                ItemSetting::Frame));
        f.push_back(choiceField("clock", Kind::Any,
                                {0,
                                 2,
                                 ValueTables::clockNames(),
                                 0,
                                 {{QStringLiteral("off"), 0},
                                  {QStringLiteral("dial"), 1},
                                  {QStringLiteral("text"), 2}}},
                                ItemSetting::Clock));
        f.push_back(choiceField("delay", Kind::Any, {0, 255, {}, 0, {}}, ItemSetting::Delay));
        f.push_back(choiceField("level", Kind::Any, {1, 15, ValueTables::levelNames(), 1, {}},
                                ItemSetting::Level));
        f.push_back(choiceField("flash", Kind::Any,
                                {0,
                                 2,
                                 ValueTables::flashNames(),
                                 0,
                                 {{QStringLiteral("none"), 0},
                                  {QStringLiteral("blink"), 1},
                                  {QStringLiteral("inverse"), 2}}},
                                ItemSetting::Flash));
        f.push_back(
            choiceField("flashdelay", Kind::Any, {0, 255, {}, 0, {}}, ItemSetting::FlashDelay));
        f.push_back({"font", Kind::Text,
                     [](ProgramItem &item, const QString &value, const Context &, QString *error) {
                         const QString face = value.trimmed();
                         if (face.isEmpty() || face.size() > TextItem::kMaxFaceNameChars) {
                             *error = trEn("Fields", "invalid font \"%1\": a face name of 1 to %2 "
                                                     "characters")
                                          .arg(value)
                                          .arg(TextItem::kMaxFaceNameChars);
                             return false;
                         }
                         editItem(item, ItemSetting::FaceName, face);
                         return true;
                     }});
        f.push_back(choiceField("size", Kind::Text, {1, 999, {}, 0, {}}, ItemSetting::Size));
        f.push_back(choiceField("style", Kind::Text,
                                {0,
                                 3,
                                 ValueTables::styleNames(),
                                 0,
                                 {{QStringLiteral("regular"), 0},
                                  {QStringLiteral("bold"), 1},
                                  {QStringLiteral("italic"), 2},
                                  {QStringLiteral("bold-italic"), 3}}},
                                ItemSetting::Style));
        f.push_back(choiceField("color", Kind::Text,
                                {1,
                                 3,
                                 ValueTables::colorNames(),
                                 1,
                                 {{QStringLiteral("red"), 1},
                                  {QStringLiteral("green"), 2},
                                  {QStringLiteral("yellow"), 3}}},
                                ItemSetting::Color));
        f.push_back(choiceField("mode", Kind::Picture,
                                {0,
                                 1,
                                 {},
                                 0,
                                 {{QStringLiteral("centre"), 0},
                                  {QStringLiteral("center"), 0},
                                  {QStringLiteral("stretch"), 1}}},
                                ItemSetting::Mode));
        f.push_back(choiceField("reverse", Kind::Picture,
                                {0,
                                 1,
                                 {},
                                 0,
                                 {{QStringLiteral("no"), 0},
                                  {QStringLiteral("off"), 0},
                                  {QStringLiteral("yes"), 1},
                                  {QStringLiteral("on"), 1}}},
                                ItemSetting::Reverse));
        f.push_back(choiceField("limit", Kind::Picture, {0, 255, {}, 0, {}}, ItemSetting::Limit));
        return f;
    }();
    return table;
}

bool fits(Kind kind, bool picture)
{
    return kind == Kind::Any || (kind == Kind::Picture) == picture;
}

} // namespace

QStringList fieldNames(bool picture)
{
    QStringList names;
    for (const Field &field : fields())
        if (fits(field.kind, picture))
            names << QLatin1String(field.name);
    return names;
}

namespace {

// The table's entry for a typed field name; null with *error when the item
// has no such field.
const Field *findField(const ProgramItem &item, const QString &typed, QString *error)
{
    const QString field = OptionSpellings::documented(typed);
    for (const Field &f : fields()) {
        if (field != QLatin1String(f.name))
            continue;
        if (fits(f.kind, item.isPicture()))
            return &f;
        *error = trEn("Fields", "a %1 program has no field \"%2\"")
                     .arg(item.isPicture() ? QStringLiteral("picture") : QStringLiteral("text"),
                          field);
        return nullptr;
    }
    *error = trEn("Fields", "unknown field \"%1\"; fields: %2")
                 .arg(field, fieldNames(item.isPicture()).join(QStringLiteral(", ")));
    return nullptr;
}

} // namespace

QString fieldName(const QString &typed, bool picture)
{
    const QString field = OptionSpellings::documented(typed);
    for (const Field &f : fields())
        if (field == QLatin1String(f.name))
            return fits(f.kind, picture) ? field : QString();
    return {};
}

bool assign(ProgramItem &item, const QString &field, const QString &value, const Context &context,
            QString *error)
{
    const Field *f = findField(item, field, error);
    return f && f->assign(item, value, context, error);
}

bool assign(ProgramItem &item, const QString &field, qint64 value, const Context &context,
            QString *error)
{
    const Field *f = findField(item, field, error);
    if (!f)
        return false;
    if (!f->choice)
        return f->assign(item, QString::number(value), context, error);
    if (value < f->choice->min || value > f->choice->max) {
        *error = invalidValueText(f->name, QString::number(value), *f->choice);
        return false;
    }
    editItem(item, f->setting, int(value));
    return true;
}

QString picturePathToStore(const QString &path, const QString &projectDir, QString *error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        *error = trEn("Fields", "no image file at \"%1\"").arg(path);
        return {};
    }
    // Only pictures a picture program decodes: the raster formats (no SVG),
    // within the decoding limit, not broken.
    if (const QString problem = PageBitmap::pictureProblem(info.absoluteFilePath());
        !problem.isEmpty()) {
        *error = trEn("Fields", "cannot use the image \"%1\": %2").arg(path, problem);
        return {};
    }
    const QString absolute = info.absoluteFilePath();
    if (!projectDir.isEmpty()) {
        const QString relative = QDir(projectDir).relativeFilePath(absolute);
        if (!relative.startsWith(QStringLiteral("../")) && !QDir::isAbsolutePath(relative))
            return relative;
    }
    return absolute;
}

namespace {

QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    line.replace(QLatin1String("\r\n"), QStringLiteral("\\n"));
    line.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    line.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return line;
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

} // namespace

int pageCount(const ProgramItem &item, PageCount source)
{
    return source == PageCount::Layout ? item.layoutPageCount() : item.pageCount();
}

QString listLine(int index, const ProgramItem &item, PageCount pages)
{
    return trEn("Fields", "%1  %2  %3  speed %4  border %5  clock %6  stay %7  pages %8  \"%9\"")
        .arg(index, 2)
        .arg(item.isPicture() ? QStringLiteral("picture") : QStringLiteral("text   "))
        .arg(orDash(ValueTables::actionName(item.action())))
        .arg(item.speedLabel())
        .arg(orDash(ValueTables::frameName(item.frame())))
        .arg(orDash(item.clockLabel()))
        .arg(item.effectiveStayTime())
        .arg(pageCount(item, pages))
        .arg(oneLine(item.content()));
}

QJsonObject toJson(int index, const ProgramItem &item, PageCount pages)
{
    QJsonObject o;
    o[u"index"] = index;
    o[u"type"] = item.type();
    o[u"kind"] = item.isPicture() ? QStringLiteral("picture") : QStringLiteral("text");
    o[u"content"] = item.content();
    o[u"action"] = item.action();
    o[u"actionName"] = ValueTables::actionName(item.action());
    o[u"speed"] = item.speed();
    o[u"frame"] = item.frame();
    o[u"frameName"] = ValueTables::frameName(item.frame());
    o[u"clock"] = item.clockMode();
    o[u"clockLabel"] = item.clockLabel();
    o[u"delay"] = item.delay();
    o[u"level"] = item.level();
    o[u"flash"] = item.flash();
    o[u"flashdelay"] = item.flashDelay();
    o[u"stayTime"] = item.effectiveStayTime();
    o[u"pages"] = pageCount(item, pages);
    if (item.isPicture()) {
        const auto &picture = static_cast<const PictureItem &>(item);
        o[u"mode"] = picture.mode();
        o[u"reverse"] = picture.reverse();
        o[u"limit"] = picture.limit();
        o[u"path"] = picture.resolvedPath();
        // Why the picture gave a black page (held pages only; empty: none).
        o[u"problem"] = picture.pageProblem();
    } else {
        const auto &text = static_cast<const TextItem &>(item);
        o[u"font"] = text.faceName();
        o[u"size"] = text.size();
        o[u"style"] = text.style();
        o[u"color"] = text.color();
        // Characters that show as blank boxes: no face can draw them.
        o[u"missingCharacters"] = text.missingCharacters();
    }
    // What the sign will not show as the file says.
    o[u"warnings"] = programWarningsJson(item);
    return o;
}

} // namespace ProgramFields
