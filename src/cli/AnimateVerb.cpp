// render --animate FILE.gif / --frames DIR: the play list as the sign plays
// it, through the same player as the GUI's preview.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "base/LocalClock.h"
#include "cli/Console.h"
#include "model/PlaybackInput.h"
#include "model/PlayList.h"
#include "render/PlaybackExport.h"

#include <QDir>
#include <QFileInfo>

int CliApp::renderAnimation()
{
    const QString gifPath = option(QStringLiteral("animate"));
    const QString framesDir = option(QStringLiteral("frames"));
    if (isSet(QStringLiteral("animate")) && isSet(QStringLiteral("frames")))
        return usageError(trEn("Cli", "give --animate or --frames, not both"),
                          QStringLiteral("render"));
    GifWriter::Options options;
    if (isSet(QStringLiteral("scale"))) {
        bool ok = false;
        options.scale = option(QStringLiteral("scale")).toInt(&ok);
        if (!ok || options.scale < 1 || options.scale > GifWriter::kMaxScale)
            return usageError(trEn("Cli", "--scale must be 1 to %1").arg(GifWriter::kMaxScale),
                              QStringLiteral("render"));
    }
    options.dots = isSet(QStringLiteral("dots"));

    PlayList project;
    if (const int code = openProject(project); code != ExitOk)
        return code;
    if (const int code = prepareRendering(project); code != ExitOk)
        return code;
    int only = -1;
    if (isSet(QStringLiteral("program"))) {
        bool ok = false;
        only = option(QStringLiteral("program")).toInt(&ok) - 1;
        if (!ok || only < 0 || only >= project.itemCount())
            return usageError(trEn("Cli", "--program must be 1 to %1").arg(project.itemCount()),
                              QStringLiteral("render"));
    }
    project.rebuildAllPages();
    const Playback::Player player = playbackPlayer(project, only);

    PlaybackExport::Result result;
    if (!framesDir.isEmpty()) {
        const QFileInfo info(framesDir);
        if (info.exists() && !info.isDir())
            return fail(ExitUsage, trEn("Cli", "%1 is not a folder").arg(framesDir));
        if (!QDir().mkpath(framesDir))
            return fail(ExitUsage, trEn("Cli", "cannot create the folder %1").arg(framesDir));
        result = PlaybackExport::writeFrames(player, framesDir, localNow());
    } else {
        if (gifPath.isEmpty())
            return usageError(trEn("Cli", "--animate needs a file name"),
                              QStringLiteral("render"));
        result = PlaybackExport::writeGifFile(player, gifPath, options, localNow());
    }
    if (!result.ok)
        return fail(ExitUsage, result.error);
    print(framesDir.isEmpty() ? gifPath : QDir(framesDir).absolutePath());
    m_console.err(trEn("Cli", "%1 frames, %2 s%3\n")
                      .arg(result.frames)
                      .arg(double(result.durationMs) / 1000.0, 0, 'f', 2)
                      .arg(result.truncated ? trEn("Cli", " (the list is longer; cut at %1 s)")
                                                  .arg(PlaybackExport::kMaxDurationMs / 1000)
                                            : QString()));
    return ExitOk;
}
