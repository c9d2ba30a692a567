// The play list verbs: new, list, add-text, add-picture, remove, move, set.
// Each loads the project file, changes it through the PlayList and its items,
// and saves it with the project file writer; nothing is written when the
// command line has an error.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/OptionSpellings.h"
#include "cli/Console.h"
#include "link/ScreenSizeRules.h"
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "model/ProgramFields.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/ProjectJson.h"
#include "model/TextItem.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <optional>

namespace {

// "15,0x23,2.2.7": series, model code (decimal or 0x hex), firmware.
std::optional<ControllerInfo> parseCardKind(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    auto byteValue = [](const QString &s) -> std::optional<int> {
        const QString t = s.trimmed();
        bool ok = false;
        const int v = t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                          ? t.mid(2).toInt(&ok, 16)
                          : t.toInt(&ok, 10);
        return ok && v >= 0 && v <= 255 ? std::optional<int>(v) : std::nullopt;
    };
    const auto series = byteValue(parts[0]);
    const auto model = byteValue(parts[1]);
    const QStringList version = parts[2].trimmed().split(QLatin1Char('.'));
    if (!series || !model || version.size() != 3)
        return std::nullopt;
    ControllerInfo info;
    info.series = *series;
    info.modelCode = *model;
    int *fields[] = {&info.firmwareMajor, &info.firmwareMinor, &info.firmwareBuild};
    for (int i = 0; i < 3; ++i) {
        const auto v = byteValue(version[i]);
        if (!v || version[i].trimmed().startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
            return std::nullopt;
        *fields[i] = *v;
    }
    return info;
}

// The item field options of add-text and add-picture, in project file order.
const char *const kFieldOptions[] = {"action", "speed", "frame",      "clock", "delay",
                                     "level",  "flash", "flashdelay", "font",  "size",
                                     "style",  "color", "mode",       "limit"};

// Program n of the play list as `list --json` shows it, for the JSON
// result of a verb that changed it.
QJsonObject programJson(const PlayList &project, int n)
{
    return ProgramFields::toJson(n, *project.itemAt(n - 1), ProgramFields::PageCount::Layout);
}

} // namespace

int CliApp::verbNew(const QStringList &)
{
    PlayList project;
    const QString path = projectPath();
    project.setProjectFilePath(path);
    if (QFileInfo::exists(path) && !isSet(QStringLiteral("force")))
        return fail(ExitUsage, trEn("Cli", "%1 already exists (--force replaces it)").arg(path));

    std::vector<ScreenSizeChange> sizes;
    if (const int code = screenSizeOptions(QStringLiteral("new"), sizes); code != ExitOk)
        return code;
    for (const ScreenSizeChange &size : sizes)
        (project.screenParams().*size.store)(size.code);
    if (const int code = saveProject(project); code != ExitOk)
        return code;
    if (json())
        printJson({{QStringLiteral("project"), path},
                   {QStringLiteral("width"), project.screenWidth()},
                   {QStringLiteral("height"), project.screenHeight()},
                   {QStringLiteral("itemCount"), 0}});
    print(trEn("Cli", "Created %1: empty play list, screen %2 x %3.")
              .arg(path)
              .arg(project.screenWidth())
              .arg(project.screenHeight()));
    return ExitOk;
}

int CliApp::colourTypeOption(PlayList &project)
{
    if (!m_parser->optionNames().contains(QStringLiteral("color-type")))
        return ExitOk;
    const QString type = option(QStringLiteral("color-type"));
    int code = 0;
    if (type == u"single" || type == u"1")
        code = 1;
    else if (type == u"dual" || type == u"2")
        code = 2;
    else
        return usageError(trEn("Cli", "invalid --color-type '%1': single or dual").arg(type));
    project.screenParams().bytes[ScreenParams::ColourType] = uint8_t(code);
    project.setColourTypeKnown(true);
    return ExitOk;
}

int CliApp::prepareRendering(PlayList &project)
{
    if (const int code = colourTypeOption(project); code != ExitOk)
        return code;
    if (isSet(QStringLiteral("card"))) {
        const auto info = parseCardKind(option(QStringLiteral("card")));
        if (!info)
            return usageError(trEn("Cli", "invalid --card '%1': expected "
                                             "SERIES,MODEL,FIRMWARE such as 15,0x23,2.2.7")
                                  .arg(option(QStringLiteral("card"))));
        project.controllerInfo() = *info;
        return ExitOk;
    }
    if (isSet(QStringLiteral("port"))) {
        // As the GUI after its search: the card's identification and screen
        // size decide the pages.
        CardSession card;
        if (const int code = attachOne(card); code != ExitOk)
            return code;
        card.readScreenParams();
        project.screenParams() = card.screenParams();
        project.controllerInfo() = card.info();
        project.setColourTypeKnown(card.colourTypeKnown());
        // A type named on the command line still wins.
        if (const int code = colourTypeOption(project); code != ExitOk)
            return code;
    }
    return ExitOk;
}

int CliApp::verbList(const QStringList &)
{
    PlayList project;
    if (const int code = openProject(project); code != ExitOk)
        return code;
    if (const int code = prepareRendering(project); code != ExitOk)
        return code;
    // Page counts come from each item's layout: a list of any length needs
    // no page memory.
    constexpr auto pages = ProgramFields::PageCount::Layout;
    if (json()) {
        printJson(ProjectJson::programList(project, pages));
        return ExitOk;
    }
    for (int i = 0; i < project.itemCount(); ++i)
        print(ProgramFields::listLine(i + 1, *project.itemAt(i), pages));
    // What each program will not show, as add-text, set and send tell it.
    for (int i = 0; i < project.itemCount(); ++i)
        warnProgram(project, i + 1, nullptr);
    return ExitOk;
}

int CliApp::addItem(PlayList &project, std::unique_ptr<ProgramItem> item, const QString &content)
{
    const ProgramFields::Context context{QFileInfo(project.projectFilePath()).absolutePath()};
    QString error;
    if (!ProgramFields::assign(*item, QStringLiteral("content"), content, context, &error))
        return usageError(error, QLatin1String(item->isPicture() ? "add-picture" : "add-text"));
    for (const char *field : kFieldOptions) {
        const QString name = QLatin1String(field);
        if (!m_parser->optionNames().contains(name)) // not given (or not a field of this kind)
            continue;
        if (!ProgramFields::assign(*item, name, option(name), context, &error))
            return usageError(error, QLatin1String(item->isPicture() ? "add-picture" : "add-text"));
    }
    if (item->isPicture() && isSet(QStringLiteral("reverse")))
        editItem(*item, ItemSetting::Reverse, 1);
    project.appendItem(std::move(item));
    if (const int code = saveProject(project); code != ExitOk)
        return code;
    QJsonArray warnings;
    warnProgram(project, project.itemCount(), &warnings);
    if (json())
        printJson({{QStringLiteral("project"), project.projectFilePath()},
                   {QStringLiteral("added"), project.itemCount()},
                   {QStringLiteral("itemCount"), project.itemCount()},
                   {QStringLiteral("program"), programJson(project, project.itemCount())},
                   {QStringLiteral("warnings"), warnings}});
    print(trEn("Cli", "Added program %1.").arg(project.itemCount()));
    return ExitOk;
}

int CliApp::verbAddText(const QStringList &args)
{
    PlayList project;
    if (const int code = openProject(project, true); code != ExitOk)
        return code;
    if (const int code = colourTypeOption(project); code != ExitOk)
        return code;
    return addItem(project, std::make_unique<TextItem>(&project), args.at(0));
}

int CliApp::verbAddPicture(const QStringList &args)
{
    PlayList project;
    if (const int code = openProject(project, true); code != ExitOk)
        return code;
    return addItem(project, std::make_unique<PictureItem>(&project), args.at(0));
}

int CliApp::verbRemove(const QStringList &args)
{
    PlayList project;
    if (const int code = openProject(project, true); code != ExitOk)
        return code;
    QString error;
    const int n = itemNumber(project, args.at(0), &error);
    if (n == 0)
        return usageError(error, QStringLiteral("remove"));
    project.removeItemAt(n - 1); // destroyed here
    if (const int code = saveProject(project); code != ExitOk)
        return code;
    if (json())
        printJson({{QStringLiteral("project"), project.projectFilePath()},
                   {QStringLiteral("removed"), n},
                   {QStringLiteral("itemCount"), project.itemCount()}});
    print(trEn("Cli", "Removed program %1; %2 left.").arg(n).arg(project.itemCount()));
    return ExitOk;
}

int CliApp::verbMove(const QStringList &args)
{
    PlayList project;
    if (const int code = openProject(project, true); code != ExitOk)
        return code;
    QString error;
    const int n = itemNumber(project, args.at(0), &error);
    if (n == 0)
        return usageError(error, QStringLiteral("move"));
    const QString direction = args.at(1);
    bool moved = false;
    if (direction == u"up")
        moved = project.moveItemUp(n - 1);
    else if (direction == u"down")
        moved = project.moveItemDown(n - 1);
    else
        return usageError(trEn("Cli", "move: expected up or down, not '%1'").arg(direction),
                          QStringLiteral("move"));
    if (!moved)
        return usageError(
            trEn("Cli", "program %1 is already the %2 one")
                .arg(n)
                .arg(direction == u"up" ? QStringLiteral("first") : QStringLiteral("last")),
            QStringLiteral("move"));
    if (const int code = saveProject(project); code != ExitOk)
        return code;
    const int to = direction == u"up" ? n - 1 : n + 1;
    if (json())
        printJson({{QStringLiteral("project"), project.projectFilePath()},
                   {QStringLiteral("moved"), n},
                   {QStringLiteral("to"), to}});
    print(trEn("Cli", "Moved program %1 to %2.").arg(n).arg(to));
    return ExitOk;
}

int CliApp::verbSet(const QStringList &args)
{
    PlayList project;
    if (const int code = openProject(project, true); code != ExitOk)
        return code;
    QString error;
    const int n = itemNumber(project, args.at(0), &error);
    if (n == 0)
        return usageError(error, QStringLiteral("set"));
    if (const int code = colourTypeOption(project); code != ExitOk)
        return code;
    ProgramItem &item = *project.itemAt(n - 1);
    const ProgramFields::Context context{QFileInfo(project.projectFilePath()).absolutePath()};
    // A bad assignment leaves the file untouched, so partly applied changes
    // in memory do not matter.
    QJsonArray changed;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const qsizetype eq = args[i].indexOf(QLatin1Char('='));
        if (eq <= 0)
            return usageError(trEn("Cli", "expected FIELD=VALUE, not '%1'").arg(args[i]),
                              QStringLiteral("set"));
        // "colour=" and "flash-delay=" as the options accept them.
        const QString field = OptionSpellings::documented(args[i].left(eq));
        if (!ProgramFields::assign(item, field, args[i].mid(eq + 1), context, &error))
            return usageError(error, QStringLiteral("set"));
        if (!changed.contains(field))
            changed.append(field);
    }
    if (const int code = saveProject(project); code != ExitOk)
        return code;
    QJsonArray warnings;
    warnProgram(project, n, &warnings);
    if (json())
        printJson({{QStringLiteral("project"), project.projectFilePath()},
                   {QStringLiteral("changed"), changed},
                   {QStringLiteral("program"), programJson(project, n)},
                   {QStringLiteral("warnings"), warnings}});
    print(trEn("Cli", "Changed program %1.").arg(n));
    return ExitOk;
}

int CliApp::screenSizeOptions(const QString &verb, std::vector<ScreenSizeChange> &changes)
{
    // The same size rules as the screen parameter dialogs.
    struct Size {
        const char *option;
        int (*accept)(int);
        int min, max;
        void (ScreenParams::*store)(int);
    };
    const Size sizes[] = {
        {"width", ScreenSizeRules::acceptedWidth, ScreenSizeRules::kMinWidth,
         ScreenSizeRules::kMaxWidth, &ScreenParams::setWidthCode},
        {"height", ScreenSizeRules::acceptedHeight, ScreenSizeRules::kMinHeight,
         ScreenSizeRules::kMaxHeight, &ScreenParams::setHeightCode},
    };
    for (const Size &size : sizes) {
        const QString name = QLatin1String(size.option);
        if (!isSet(name))
            continue;
        bool ok = false;
        const int typed = option(name).toInt(&ok);
        if (!ok)
            return usageError(trEn("Cli", "invalid --%1 '%2'").arg(name, option(name)), verb);
        // A size out of range becomes 64, as in the dialogs.
        const int accepted = size.accept(typed);
        if (accepted != typed)
            m_console.err(trEn("Cli", "%1 %2 is outside %3..%4: %5 is used\n")
                              .arg(name)
                              .arg(typed)
                              .arg(size.min)
                              .arg(size.max)
                              .arg(accepted));
        changes.push_back({size.store, ScreenSizeRules::sizeCode(accepted)});
    }
    return ExitOk;
}
