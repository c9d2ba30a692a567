#include "ui/AnimatedPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

namespace {
// Resource banners are small; a larger file is not a banner.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
} // namespace

AnimatedPicture::AnimatedPicture(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_clock.start();
}

AnimatedPicture::~AnimatedPicture()
{
    unload();
}

bool AnimatedPicture::loadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
        unload();
        update();
        return false;
    }
    return loadFromData(file.readAll());
}

bool AnimatedPicture::loadFromData(const QByteArray &data)
{
    unload();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.width() > kMaxSide || size.height() > kMaxSide) {
        update();
        return false;
    }
    std::vector<QImage> frames;
    std::vector<int> delays;
    while (int(frames.size()) < kMaxFrames) {
        QImage frame = reader.read();
        if (frame.isNull())
            break;
        frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
        // After a frame has been read, the delay is the one of that frame.
        delays.push_back(std::max(0, reader.nextImageDelay()));
        if (!reader.supportsAnimation())
            break;
    }
    if (frames.empty()) {
        update();
        return false;
    }
    m_frames = std::move(frames);
    m_delays = std::move(delays);
    startAnimation();
    return true;
}

void AnimatedPicture::startAnimation()
{
    update();
    m_current = 0;
    if (m_frames.size() <= 1)
        return; // a still picture
    m_timer.start(kTimerMs, this);
    m_lastStep = nowMs();
}

void AnimatedPicture::unload()
{
    m_timer.stop();
    m_frames.clear();
    m_delays.clear();
    m_current = 0;
}

int AnimatedPicture::frameDelay(int index) const
{
    return index >= 0 && index < int(m_delays.size()) ? m_delays[size_t(index)] : 0;
}

quint32 AnimatedPicture::nowMs() const
{
    return quint32(m_clock.elapsed());
}

void AnimatedPicture::tick(quint32 now)
{
    if (m_frames.size() <= 1)
        return;
    // Unsigned difference: the clock may wrap.
    if (now - m_lastStep < quint32(frameDelay(m_current)))
        return;
    m_lastStep = now;
    m_current = (m_current + 1) % int(m_frames.size());
    update();
}

void AnimatedPicture::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId()) {
        tick(nowMs());
        return;
    }
    QWidget::timerEvent(event);
}

QImage AnimatedPicture::composedFrame() const
{
    if (m_frames.empty() || width() <= 0 || height() <= 0)
        return {};
    QImage canvas(size(), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    const QImage &frame = m_frames[size_t(m_current)];
    QPainter painter(&canvas);
    painter.drawImage(QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2),
                      frame);
    return canvas;
}

void AnimatedPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage canvas = composedFrame();
    if (canvas.isNull()) {
        // Without a picture the control paints as a plain static.
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.drawImage(0, 0, canvas);
}

QSize AnimatedPicture::sizeHint() const
{
    return m_frames.empty() ? QSize(0, 0) : m_frames.front().size();
}
