#pragma once
// Plays the preview: the shown program in a loop, or the whole play list in
// order, frame by frame from the player at the player's frame rate on a
// QTimer, so the window never blocks. It copies the pages it plays (they
// are shared rasters), so an item rebuilt or destroyed meanwhile cannot
// leave it dangling; the host restarts it after an edit. Owned by the
// preview panel.

#include "render/Playback.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

class ProgramItem;

class PreviewPlayer : public QObject {
    Q_OBJECT
public:
    enum class Mode { Stopped, Program, List };

    explicit PreviewPlayer(QObject *parent = nullptr);

    // Starts from the beginning: the item's program, or the list of the
    // item's project. Without an item (or an empty list) it stops.
    void play(const ProgramItem *item, Mode mode);
    // Plays the same mode again from the start with the item's new pages.
    void restart(const ProgramItem *item);
    void stop();
    Mode mode() const { return m_mode; }
    bool isPlaying() const { return m_mode != Mode::Stopped; }

    // The frame shown now (null while stopped).
    QImage frame() const { return m_frame.image(); }
    // "正在播放第 1 页，共 3 页。" and the like; empty while stopped.
    QString statusText() const;
    // Advances to the frame for the time since play started (the timer
    // calls it; tests may too).
    void tick();

Q_SIGNALS:
    void frameChanged();
    void stateChanged();

private:
    Mode m_mode = Mode::Stopped;
    Playback::Player m_player;
    QTimer m_timer;
    QElapsedTimer m_clock;
    PageBitmap m_frame;
    qint64 m_at = 0;
};
