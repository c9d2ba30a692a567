#pragma once
// The play list as a file: an animated GIF (through GifWriter) or one PNG
// per frame, sampled at the player's frame interval from list time 0 to
// the end of the list, the clock zone following the clock from `start`.
// Used by the command-line tool, the virtual card and the service.

#include "render/GifWriter.h"
#include "render/Playback.h"

#include <QDateTime>
#include <QString>

class QIODevice;

namespace PlaybackExport {

// Longest stretch of a list written (a list of long stays is cut here).
inline constexpr qint64 kMaxDurationMs = 10 * 60 * 1000;

struct Result {
    bool ok = false;
    QString error;
    int frames = 0;         // frames sampled
    int stored = 0;         // GIF frames after merging equal ones / PNG files
    qint64 durationMs = 0;  // time covered
    bool truncated = false; // the list was longer than kMaxDurationMs
};

Result writeGif(const Playback::Player &player, QIODevice *device,
                const GifWriter::Options &options, const QDateTime &start);
Result writeGifFile(const Playback::Player &player, const QString &path,
                    const GifWriter::Options &options, const QDateTime &start);
// frame-00000.png, frame-00001.png, ... in an existing folder, one pixel
// per LED.
Result writeFrames(const Playback::Player &player, const QString &directory,
                   const QDateTime &start);

} // namespace PlaybackExport
