#include "render/PlaybackExport.h"
#include "base/Language.h"

#include <QDir>
#include <QSaveFile>

namespace PlaybackExport {
namespace {

qint64 coveredMs(const Playback::Player &player, bool *truncated)
{
    *truncated = player.totalDuration() > kMaxDurationMs;
    return std::min(player.totalDuration(), kMaxDurationMs);
}

} // namespace

Result writeGif(const Playback::Player &player, QIODevice *device,
                const GifWriter::Options &options, const QDateTime &start)
{
    Result result;
    if (player.totalDuration() <= 0) {
        result.error = trEn("Playback", "the play list has nothing to play");
        return result;
    }
    GifWriter gif;
    if (!gif.open(device, player.screen().width, player.screen().height, options)) {
        result.error = gif.errorString();
        return result;
    }
    const int step = Playback::frameIntervalMs();
    result.durationMs = coveredMs(player, &result.truncated);
    PageBitmap frame;
    for (qint64 t = 0; t < result.durationMs; t += step) {
        player.frameAt(t, start.addMSecs(t), frame);
        const int delay = int(std::min<qint64>(step, result.durationMs - t));
        if (!gif.addFrame(frame, delay)) {
            result.error = gif.errorString();
            return result;
        }
        ++result.frames;
    }
    if (!gif.close()) {
        result.error = gif.errorString();
        return result;
    }
    result.stored = gif.framesWritten();
    result.ok = true;
    return result;
}

Result writeGifFile(const Playback::Player &player, const QString &path,
                    const GifWriter::Options &options, const QDateTime &start)
{
    // Written beside the target and renamed over it at the end, so a failed
    // export leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Result result;
        result.error = trEn("Playback", "cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    Result result = writeGif(player, &file, options, start);
    if (!result.ok) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.ok = false;
        result.error = trEn("Playback", "cannot write %1: %2").arg(path, file.errorString());
    }
    return result;
}

Result writeFrames(const Playback::Player &player, const QString &directory, const QDateTime &start)
{
    Result result;
    if (player.totalDuration() <= 0) {
        result.error = trEn("Playback", "the play list has nothing to play");
        return result;
    }
    const QDir dir(directory);
    const int step = Playback::frameIntervalMs();
    result.durationMs = coveredMs(player, &result.truncated);
    PageBitmap frame;
    for (qint64 t = 0; t < result.durationMs; t += step) {
        player.frameAt(t, start.addMSecs(t), frame);
        const QString path = dir.filePath(
            QStringLiteral("frame-%1.png").arg(result.frames, 5, 10, QLatin1Char('0')));
        if (!frame.image().save(path, "PNG")) {
            result.error = trEn("Playback", "cannot write %1").arg(path);
            return result;
        }
        ++result.frames;
    }
    result.stored = result.frames;
    result.ok = true;
    return result;
}

} // namespace PlaybackExport
