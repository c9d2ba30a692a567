#pragma once
// A small control that plays an animated picture (the about box's GIF
// banner): every frame is decoded once, a 20 ms timer steps to the next
// frame when the current one has been shown for its delay from the file,
// and each frame is composed off-screen (black, the frame centred at its
// natural size) and shown in one copy. A picture of one frame is shown
// still, without a timer. Owned by the dialog that hosts it.

#include <QBasicTimer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <vector>

class AnimatedPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 20;
    // Bounds for the decoder: larger pictures are refused.
    static constexpr int kMaxFrames = 1000;
    static constexpr int kMaxSide = 4096;

    explicit AnimatedPicture(QWidget *parent = nullptr);
    ~AnimatedPicture() override;

    // Decodes the picture (a file or a resource path such as
    // ":/banner.gif"), replacing any previous one, and starts playing it.
    // False, and no picture, when it cannot be read or decoded.
    bool loadFromFile(const QString &path);
    bool loadFromData(const QByteArray &data);
    // Stops the timer and frees the frames.
    void unload();

    bool isLoaded() const { return !m_frames.empty(); }
    bool isAnimating() const { return m_timer.isActive(); }
    int frameCount() const { return int(m_frames.size()); }
    int currentFrame() const { return m_current; }
    // How long frame index stays up, in milliseconds (0 steps on every tick).
    int frameDelay(int index) const;

    // One timer step at time nowMs of a millisecond clock that may wrap:
    // moves to the next frame (after the last, the first) once the current
    // one has been up for its delay.
    void tick(quint32 nowMs);
    // The picture as painted: the widget's size in black with the current
    // frame centred. Null without a picture.
    QImage composedFrame() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void startAnimation();
    quint32 nowMs() const;

    std::vector<QImage> m_frames;
    std::vector<int> m_delays;
    int m_current = 0;
    quint32 m_lastStep = 0;
    QBasicTimer m_timer;
    QElapsedTimer m_clock;
};
