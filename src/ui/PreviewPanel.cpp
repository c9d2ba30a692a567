#include "ui/PreviewPanel.h"

#include "base/AppPaths.h"
#include "base/LocalClock.h"
#include "model/ProgramItem.h"
#include "model/ScreenImage.h"
#include "ui/PreviewPlayer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <algorithm>

namespace {

// Control places in pixels (dialog units x 1.5).
constexpr QRect kStatusRect(8, 9, 254, 12);
constexpr QRect kPrevRect(269, 6, 45, 21);
constexpr QRect kNextRect(320, 6, 45, 21);
constexpr QRect kPlayRect(371, 6, 45, 21);
constexpr QRect kPlayListRect(422, 6, 70, 21);
constexpr QSize kZoomSize(56, 21); // after the last button shown
constexpr QRect kInitialLedRect(28, 55, 212, 35);
constexpr int kLineStepX = 16;
constexpr int kLineStepY = 8;

const QString kZoomKey = QStringLiteral("preview/zoom");

// The zoom kept in the GUI's settings, 1 when none is.
int storedZoom()
{
    const QString path = guiSettingsPath();
    if (path.isEmpty())
        return 1;
    const QSettings settings(path, QSettings::IniFormat);
    return std::clamp(settings.value(kZoomKey, 1).toInt(), 1, PreviewPanel::kMaxZoom);
}

void storeZoom(int zoom)
{
    const QString path = guiSettingsPath();
    if (path.isEmpty())
        return;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(kZoomKey, zoom);
}

} // namespace

// The LED area: a one-pixel frame around the screen image.
class PreviewLedArea final : public QFrame {
public:
    explicit PreviewLedArea(PreviewPanel *panel, QWidget *parent) : QFrame(parent), m_panel(panel)
    {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        setObjectName(QStringLiteral("ledArea"));
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        const QImage image = m_panel->screenImage();
        if (image.isNull())
            return;
        QPainter painter(this);
        const QRect inner = contentsRect();
        painter.fillRect(inner, Qt::black);
        // Each LED a block of zoom x zoom pixels, never smoothed.
        painter.drawImage(QRect(inner.topLeft(), image.size() * m_panel->zoom()), image);
    }

private:
    PreviewPanel *m_panel;
};

PreviewPanel::PreviewPanel(QWidget *parent) : QWidget(parent)
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setWidgetResizable(false);

    m_contents = new QWidget;
    m_contents->setObjectName(QStringLiteral("previewContents"));
    m_status = new QLabel(m_contents);
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_status->setGeometry(kStatusRect);
    m_prev = new QPushButton(QCoreApplication::translate("PreviewPanel", "上页"), m_contents);
    m_prev->setObjectName(QStringLiteral("previousPage"));
    m_prev->setGeometry(kPrevRect);
    m_prev->setAutoDefault(false);
    m_next = new QPushButton(QCoreApplication::translate("PreviewPanel", "下页"), m_contents);
    m_next->setObjectName(QStringLiteral("nextPage"));
    m_next->setGeometry(kNextRect);
    m_next->setAutoDefault(false);
    m_play = new QPushButton(QCoreApplication::translate("PreviewPanel", "播放"), m_contents);
    m_play->setObjectName(QStringLiteral("play"));
    m_play->setGeometry(kPlayRect);
    m_play->setAutoDefault(false);
    m_playList = new QPushButton(QCoreApplication::translate("PreviewPanel", "全部播放"), m_contents);
    m_playList->setObjectName(QStringLiteral("playList"));
    m_playList->setGeometry(kPlayListRect);
    m_playList->setAutoDefault(false);
    m_playList->hide();
    m_zoomBox = new QComboBox(m_contents);
    m_zoomBox->setObjectName(QStringLiteral("zoom"));
    m_zoomBox->setToolTip(QCoreApplication::translate("PreviewPanel", "预览放大倍数"));
    for (int k = 1; k <= kMaxZoom; ++k)
        m_zoomBox->addItem(QStringLiteral("×%1").arg(k), k);
    m_zoom = storedZoom();
    m_zoomBox->setCurrentIndex(m_zoom - 1);
    placeZoomBox();
    m_player = new PreviewPlayer(this);
    m_led = new PreviewLedArea(this, m_contents);
    m_led->setGeometry(kInitialLedRect);
    m_scroll->setWidget(m_contents);

    connect(m_prev, &QPushButton::clicked, this, &PreviewPanel::previousPage);
    connect(m_next, &QPushButton::clicked, this, &PreviewPanel::nextPage);
    connect(m_play, &QPushButton::clicked, this, &PreviewPanel::togglePlay);
    connect(m_playList, &QPushButton::clicked, this, &PreviewPanel::togglePlayList);
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) {
        setZoom(index + 1);
        storeZoom(m_zoom);
    });
    connect(m_player, &PreviewPlayer::frameChanged, this, [this] {
        m_status->setText(m_player->statusText());
        m_led->update();
    });
    connect(m_player, &PreviewPlayer::stateChanged, this, &PreviewPanel::updateStatus);

    resize(sizeHint());
    layOut();
    updateStatus();
}

PreviewPanel::~PreviewPanel() = default;

QSize PreviewPanel::sizeHint() const
{
    return {388, 141};
}

int PreviewPanel::ledAreaBorder()
{
    return 2;
}

QRect PreviewPanel::ledAreaGeometry() const
{
    return m_led->geometry();
}

QString PreviewPanel::statusText() const
{
    return m_status->text();
}

QPoint PreviewPanel::ledAreaOrigin(int cw, int ch, int w, int h)
{
    const int x = std::max(1, (cw - w) / 2);
    const int y = std::max(1, (ch - h - 20) / 2) + 30;
    return {x, y};
}

QSize PreviewPanel::contentsSize(int cw, int ch, int w, int h)
{
    // The LED area keeps a margin of 2 pixels at the right and 4 below
    // when it does not fit the client area.
    return {std::max(cw, w + 3), std::max(ch, h + 35)};
}

void PreviewPanel::setItem(ProgramItem *item)
{
    m_player->stop();
    m_item = item;
    m_page = 0;
    layOut();
    updateStatus();
    m_contents->update();
    m_led->update();
}

void PreviewPanel::refresh()
{
    if (!m_item)
        return;
    if (m_page < 0 || m_page >= m_item->pageCount())
        m_page = 0;
    // A rebuild after new screen parameters may have changed the size.
    if (QSize(m_item->screenWidth(), m_item->screenHeight()) != m_laidOutScreen)
        layOut();
    m_player->restart(m_item);
    updateStatus();
    m_led->update();
}

void PreviewPanel::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, 1, kMaxZoom);
    m_zoomBox->setCurrentIndex(m_zoom - 1);
    layOut();
    m_led->update();
}

void PreviewPanel::placeZoomBox()
{
    const QRect last = m_playList->isVisibleTo(this) ? kPlayListRect : kPlayRect;
    m_zoomBox->setGeometry(QRect(QPoint(last.right() + 7, last.top()), kZoomSize));
}

void PreviewPanel::setListPlaybackEnabled(bool enabled)
{
    m_playList->setVisible(enabled);
    placeZoomBox();
    if (!enabled && m_player->mode() == PreviewPlayer::Mode::List)
        m_player->stop();
}

void PreviewPanel::togglePlay()
{
    if (m_player->mode() == PreviewPlayer::Mode::Program)
        m_player->stop();
    else
        m_player->play(m_item, PreviewPlayer::Mode::Program);
    m_led->update();
}

void PreviewPanel::togglePlayList()
{
    if (m_player->mode() == PreviewPlayer::Mode::List)
        m_player->stop();
    else
        m_player->play(m_item, PreviewPlayer::Mode::List);
    m_led->update();
}

void PreviewPanel::previousPage()
{
    if (!m_item)
        return;
    m_player->stop();
    m_page = std::max(0, m_page - 1);
    updateStatus();
    refresh();
}

void PreviewPanel::nextPage()
{
    if (!m_item)
        return;
    m_player->stop();
    ++m_page;
    if (m_page >= m_item->pageCount())
        m_page = m_item->pageCount() - 1;
    updateStatus();
    refresh();
}

void PreviewPanel::updateStatus()
{
    if (m_item) {
        m_prev->setEnabled(m_page > 0);
        m_next->setEnabled(m_page < m_item->pageCount() - 1);
        m_status->setText(QCoreApplication::translate("PreviewPanel", "当前信息共有 %1 页，当前预览的是第 %2 页。")
                              .arg(m_item->pageCount())
                              .arg(m_page + 1));
        m_play->setEnabled(true);
        m_playList->setEnabled(true);
    } else {
        m_prev->setEnabled(false);
        m_next->setEnabled(false);
        m_play->setEnabled(false);
        m_playList->setEnabled(false);
        m_status->setText(QCoreApplication::translate("PreviewPanel", "提示：选中信息后预览。"));
    }
    const PreviewPlayer::Mode mode = m_player->mode();
    m_play->setText(mode == PreviewPlayer::Mode::Program ? QCoreApplication::translate("PreviewPanel", "停止")
                                                         : QCoreApplication::translate("PreviewPanel", "播放"));
    m_playList->setText(mode == PreviewPlayer::Mode::List ? QCoreApplication::translate("PreviewPanel", "停止")
                                                          : QCoreApplication::translate("PreviewPanel", "全部播放"));
    if (m_player->isPlaying())
        m_status->setText(m_player->statusText());
}

void PreviewPanel::layOut()
{
    // The scroll area fills the panel; its scroll bars always take their
    // room, so the client area is what they leave.
    if (m_scroll->geometry() != rect())
        m_scroll->setGeometry(rect());
    const QSize client = m_scroll->maximumViewportSize();
    const int cw = client.width();
    const int ch = client.height();
    if (!m_item) {
        m_contents->resize(std::max(cw, 1), std::max(ch, 1));
        m_scroll->horizontalScrollBar()->setEnabled(false);
        m_scroll->verticalScrollBar()->setEnabled(false);
        return;
    }
    m_laidOutScreen = QSize(m_item->screenWidth(), m_item->screenHeight());
    const int border = ledAreaBorder();
    const int w = std::max(0, m_item->screenWidth()) * m_zoom + border;
    const int h = std::max(0, m_item->screenHeight()) * m_zoom + border;
    m_led->setGeometry(QRect(ledAreaOrigin(cw, ch, w, h), QSize(w, h)));
    m_contents->resize(contentsSize(cw, ch, w, h));
    m_scroll->horizontalScrollBar()->setSingleStep(kLineStepX);
    m_scroll->verticalScrollBar()->setSingleStep(kLineStepY);
    m_scroll->horizontalScrollBar()->setEnabled(m_contents->width() > cw);
    m_scroll->verticalScrollBar()->setEnabled(m_contents->height() > ch);
}

void PreviewPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

QImage PreviewPanel::screenImage() const
{
    if (!m_item)
        return {};
    if (m_player->isPlaying())
        return m_player->frame();
    return ::screenImage(*m_item, m_page, localNow().time());
}
