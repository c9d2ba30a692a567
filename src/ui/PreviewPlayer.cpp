#include "ui/PreviewPlayer.h"

#include "base/LocalClock.h"
#include "model/PlaybackInput.h"
#include "model/ProgramItem.h"
#include "model/PlayList.h"

#include <QCoreApplication>

PreviewPlayer::PreviewPlayer(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(Playback::frameIntervalMs());
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PreviewPlayer::tick);
}

void PreviewPlayer::play(const ProgramItem *item, Mode mode)
{
    const PlayList *project =
        item && item->renderContext() ? item->renderContext()->playList : nullptr;
    if (!item || mode == Mode::Stopped || (mode == Mode::List && !project)) {
        stop();
        return;
    }
    if (mode == Mode::List)
        m_player = playbackPlayer(*project);
    else
        m_player = Playback::Player(playbackScreen(item->context()), {playbackProgram(*item)});
    if (m_player.totalDuration() <= 0) {
        stop();
        return;
    }
    m_mode = mode;
    m_clock.start();
    m_at = 0;
    m_timer.start();
    tick();
    Q_EMIT stateChanged();
}

void PreviewPlayer::restart(const ProgramItem *item)
{
    if (isPlaying())
        play(item, m_mode);
}

void PreviewPlayer::stop()
{
    m_timer.stop();
    const bool was = isPlaying();
    m_mode = Mode::Stopped;
    m_player = Playback::Player();
    m_frame = PageBitmap();
    if (was)
        Q_EMIT stateChanged();
}

void PreviewPlayer::tick()
{
    if (!isPlaying())
        return;
    m_at = m_clock.elapsed();
    m_player.frameAt(m_at, localNow(), m_frame);
    Q_EMIT frameChanged();
}

QString PreviewPlayer::statusText() const
{
    if (!isPlaying())
        return {};
    const int program = m_player.programAt(m_at);
    const int page = m_player.pageAt(m_at);
    if (m_mode == Mode::List)
        return QCoreApplication::translate("PreviewPlayer", "正在播放第 %1 条信息（共 %2 条）的第 %3 页。")
            .arg(program + 1)
            .arg(m_player.programCount())
            .arg(page + 1);
    return QCoreApplication::translate("PreviewPlayer", "正在播放第 %1 页，共 %2 页。").arg(page + 1).arg(m_player.pageCount(0));
}
