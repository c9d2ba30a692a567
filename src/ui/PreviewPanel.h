#pragma once
// The page-by-page preview of one program item at one to four screen pixels
// per LED (the zoom, kept in the GUI's settings for the next preview): a
// status line, "上页"/"下页", and the LED area showing the current page
// beside the clock zone (with the dial for a dial clock). Hosted by the main
// window and by the item editor, which tell it what to show; it never owns
// the item or its pages.

#include <QImage>
#include <QRect>
#include <QWidget>

class ProgramItem;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class PreviewLedArea;
class PreviewPlayer;

class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget *parent = nullptr);
    ~PreviewPanel() override;

    // Shows item (or nothing) from its first page. A host that destroys the
    // shown item calls this with nullptr (or another item) first.
    void setItem(ProgramItem *item);
    // After the host rebuilt the item's pages: keeps the page shown if it
    // still exists, else goes back to the first one, and repaints.
    void refresh();
    ProgramItem *item() const { return m_item; }
    // 0-based index of the page shown.
    int currentPage() const { return m_page; }

    void previousPage();
    void nextPage();

    // "播放" plays the shown program in a loop, "全部播放" the whole list
    // (shown only when the host allows it); the same button then reads
    // "停止". A refresh() while playing starts again with the new pages;
    // setItem and the page buttons stop.
    void setListPlaybackEnabled(bool enabled);
    void togglePlay();
    void togglePlayList();
    PreviewPlayer *player() const { return m_player; }
    QPushButton *playButton() const { return m_play; }
    QPushButton *playListButton() const { return m_playList; }

    // Screen pixels per LED, 1 to 4: the zoom box beside the buttons. A
    // choice there is remembered in the GUI's settings.
    static constexpr int kMaxZoom = 4;
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    QComboBox *zoomBox() const { return m_zoomBox; }

    QString statusText() const;
    QPushButton *previousButton() const { return m_prev; }
    QPushButton *nextButton() const { return m_next; }
    QScrollArea *scrollArea() const { return m_scroll; }
    // The LED area's frame in the scrolled contents' coordinates (the screen
    // times the zoom, and the border).
    QRect ledAreaGeometry() const;
    // Border of the LED area: its outer size minus its inner size.
    static int ledAreaBorder();

    // What the LED area shows inside its border: the whole screen in black,
    // the current page at the clock-zone offset and the dial for a dial
    // clock, or the playing frame. Null when there is nothing to draw.
    QImage screenImage() const;

    // Where the LED area goes for a client area of cw x ch and an outer LED
    // area of w x h: centred, at least 1 pixel from the left, and below the
    // status line (30 pixels).
    static QPoint ledAreaOrigin(int cw, int ch, int w, int h);
    // Size of the scrolled contents for that LED area: the client area, or
    // the LED area with its margins when it is larger.
    static QSize contentsSize(int cw, int ch, int w, int h);

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();
    void placeZoomBox();
    void updateStatus();

    ProgramItem *m_item = nullptr;
    int m_page = 0;
    // The screen size the LED area was last laid out for.
    QSize m_laidOutScreen;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_contents = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_prev = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_play = nullptr;
    QPushButton *m_playList = nullptr;
    QComboBox *m_zoomBox = nullptr;
    int m_zoom = 1;
    PreviewPlayer *m_player = nullptr;
    PreviewLedArea *m_led = nullptr;
};
