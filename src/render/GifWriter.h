#pragma once
// Writes frames of LED colours as an animated, endlessly looping GIF through
// giflib, to any QIODevice (a file, an HTTP reply buffer). Each frame is
// scaled by a whole factor, optionally with the look of LED dots (round dots
// on black, unlit LEDs dim). Consecutive equal frames are merged into one
// with their delays added, and only the changed rectangle of a frame is
// stored. Used by the command-line tool, the virtual card and the service;
// one writer per file, owned by its caller.

#include <QByteArray>
#include <QString>
#include <memory>

class PageBitmap;
class QIODevice;

class GifWriter {
public:
    struct Options {
        int scale = 1;     // 1..kMaxScale
        bool dots = false; // LED dot look (from scale 3)
    };
    static constexpr int kMaxScale = 16;

    GifWriter();
    ~GifWriter();
    GifWriter(const GifWriter &) = delete;
    GifWriter &operator=(const GifWriter &) = delete;

    // Starts a GIF of frames of width x height LEDs on an open device. False
    // (with errorString) for sizes a GIF cannot hold or a bad scale.
    bool open(QIODevice *device, int width, int height, const Options &options);
    // Adds a frame shown for delayMs (rounded to the GIF's 10 ms units
    // without drift over the whole animation). Frames of another size fail.
    bool addFrame(const PageBitmap &frame, int delayMs);
    // Writes what is pending and the trailer; the device stays open.
    bool close();
    QString errorString() const { return m_error; }
    // Frames stored in the file so far (after merging).
    int framesWritten() const { return m_written; }

private:
    bool flushPending();
    bool fail(const QString &text);

    struct Gif;
    std::unique_ptr<Gif> m_gif;
    Options m_options;
    int m_width = 0;      // LEDs
    int m_height = 0;     // LEDs
    QByteArray m_pending; // palette indices of the held frame, one per LED
    QByteArray m_shown;   // the frame last stored
    qint64 m_pendingMs = 0;
    qint64 m_totalMs = 0;   // ms of all frames stored or pending
    qint64 m_writtenCs = 0; // centiseconds stored
    int m_written = 0;
    QString m_error;
};
