// render: every page of every program as a PNG file, one pixel per LED.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/LocalClock.h"
#include "cli/Console.h"
#include "model/ProgramItem.h"
#include "model/PlayList.h"
#include "model/ScreenImage.h"
#include "render/PageBitmap.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// "NN-PP.png": program and page, 1-based, at least two digits each.
QString pictureName(int program, int page)
{
    return QStringLiteral("%1-%2.png")
        .arg(program, 2, 10, QLatin1Char('0'))
        .arg(page, 2, 10, QLatin1Char('0'));
}

} // namespace

int CliApp::verbRender(const QStringList &)
{
    if (isSet(QStringLiteral("animate")) || isSet(QStringLiteral("frames")))
        return renderAnimation();
    const QString out = option(QStringLiteral("out"));
    if (out.isEmpty())
        return usageError(trEn("Cli", "render needs --out DIR"), QStringLiteral("render"));
    PlayList project;
    if (const int code = openProject(project); code != ExitOk)
        return code;
    if (const int code = prepareRendering(project); code != ExitOk)
        return code;
    const QFileInfo outInfo(out);
    if (outInfo.exists() && !outInfo.isDir())
        return fail(ExitUsage, trEn("Cli", "%1 is not a folder").arg(out));
    if (!QDir().mkpath(out))
        return fail(ExitUsage, trEn("Cli", "cannot create the folder %1").arg(out));
    const QDir dir(out);
    const bool preview = isSet(QStringLiteral("preview"));

    // One item's pages at a time, counted against the page budget as a send
    // counts them: the folder gets the pages the card would get, and a play
    // list the budget refuses stops at the first program it refuses, as a
    // send does, instead of writing pages no send would upload.
    int written = 0;
    QJsonArray files;
    QString failure;
    int failureCode = ExitOk;
    QJsonArray warnings;
    for (int i = 0; i < project.itemCount(); ++i)
        warnProgram(project, i + 1, &warnings);
    project.visitItemPages([&](int i, ProgramItem &item) {
        if (item.pagesRefused()) {
            failure = project.pageBudgetText();
            failureCode = ExitUsage;
            return false;
        }
        if (!item.pageProblem().isEmpty()) {
            m_console.err(trEn("Cli", "brivane-cli: warning: program %1: %2 (a black page)\n")
                              .arg(i + 1)
                              .arg(item.pageProblem()));
            warnings.append(QJsonObject{{QStringLiteral("program"), i + 1},
                                        {QStringLiteral("problem"), item.pageProblem()}});
        }
        for (int p = 0; p < item.pageCount(); ++p) {
            const PageBitmap *page = item.pageAt(p);
            if (!page || page->isNull())
                continue;
            const QImage image =
                preview ? screenImage(item, p, localNow().time()) : pageImage(item, p);
            const QString path = dir.filePath(pictureName(i + 1, p + 1));
            if (image.isNull() || !image.save(path, "PNG")) {
                failure = trEn("Cli", "cannot write %1").arg(path);
                failureCode = ExitUsage;
                return false;
            }
            print(path);
            files.append(path);
            ++written;
        }
        return true;
    });
    if (failureCode != ExitOk)
        return fail(failureCode, failure);
    if (json())
        printJson({{QStringLiteral("out"), dir.absolutePath()},
                   {QStringLiteral("count"), written},
                   {QStringLiteral("files"), files},
                   {QStringLiteral("warnings"), warnings}});
    m_console.err(
        trEn("Cli", "%1 pictures written to %2\n").arg(written).arg(dir.absolutePath()));
    return ExitOk;
}
