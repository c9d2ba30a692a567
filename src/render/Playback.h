#pragma once
// The player: what the sign shows at any moment of its play list, as a pure
// function of the pages, each program's play settings, the time since the
// list started and the local time for the clock zone. It knows no items; an
// adapter in model/ builds its input from the project. The GUI's preview,
// the command-line tool's GIF export and the virtual card's window all draw
// their frames from here. One pixel per LED; a frame holds only black, red,
// green and yellow.
//
// The card's own timing is not known to us: how long a step of each entry
// animation takes, what a stay of 0 means, how fast borders run and flashes
// blink are our assumption, kept in one table (kPlaybackTiming in
// Playback.cpp) so they can be tuned against a real sign.

#include "render/EntryAnimation.h"
#include "render/PageBitmap.h"

#include <QDateTime>
#include <cstdint>
#include <vector>

namespace Playback {

// The clock zone at the left end of the screen.
enum class ClockZone { None, Dial, Text };

// One program's play settings, in the values the card receives.
struct Settings {
    int action = EntryAnimation::Instant; // entry animation code; others act as Instant
    int speed = 14;   // 0 slowest .. 15 fastest; clamped
    int stayTime = 0; // seconds each page stays once it has come in (as sent)
    int flash = 0;    // 0 none, 1 on/off, 2 inverse
    int flashInterval = 2; // seconds of flashing at the start of a stay
    int frame = 0;         // running border 0..8 ("无" ... "全慢闪"); others act as 0
    ClockZone clock = ClockZone::None;
    int clockZoneWidth = 0; // pixels at the left of the screen
    uint32_t seed = 1;      // pattern of the mosaic and the rain
};

// One program: its settings and its pages (contentWidth x screen height).
struct Program {
    Settings settings;
    std::vector<PageBitmap> pages;
};

// The screen the list plays on.
struct Screen {
    int width = 0;
    int height = 0;
    int planes = 2; // 1 single colour (red), 2 red and green
};

// The running border's code on the wire (the high nibble of the effect
// code) for a frame value 0..8, and back; 0 outside the table.
int borderCodeOfFrame(int frame);
int frameOfBorderCode(int code);

// The interval between two frames of an animation (GUI timer, GIF frames).
int frameIntervalMs();

// The whole play list, played in order and then from the start again.
// Construction does the bookkeeping; frames are then pure functions of
// their arguments. Pages are shared with the caller (implicitly shared
// rasters), so building a player is cheap.
class Player {
public:
    Player() = default;
    Player(const Screen &screen, std::vector<Program> programs);

    const Screen &screen() const { return m_screen; }
    int programCount() const { return int(m_programs.size()); }
    // Milliseconds from a program's start to the start of the next one.
    qint64 programDuration(int program) const;
    // When a program starts within the list.
    qint64 programStart(int program) const;
    qint64 totalDuration() const { return m_total; }
    // The program playing at list time t (wrapped into the list's duration);
    // -1 for an empty list.
    int programAt(qint64 t) const;

    // When each page of a program comes in (from the program's start), how
    // long its entry takes and how long it then stays.
    struct PageTime {
        qint64 start = 0;
        qint64 entryMs = 0;
        qint64 stayMs = 0;
    };
    int pageCount(int program) const;
    PageTime pageTime(int program, int page) const;
    // The page playing at list time t (wrapped), -1 for an empty list.
    int pageAt(qint64 t) const;

    // The frame at list time t (wrapped), the clock zone drawn for `clock`.
    // out becomes a raster of the screen's size; false (out black or null)
    // when there is nothing to play.
    bool frameAt(qint64 t, const QDateTime &clock, PageBitmap &out) const;
    PageBitmap frameAt(qint64 t, const QDateTime &clock) const;

private:
    struct Page : PageTime {
        int steps = 0;
        int stepMs = 1;
    };
    struct Entry {
        Program program;
        PageBitmap before; // the screen's content area before the first page
        std::vector<Page> timeline;
        int contentX = 0;
        int contentWidth = 0;
        qint64 start = 0;
        qint64 duration = 0;
    };

    void composeContent(const Entry &entry, qint64 local, PageBitmap &out) const;
    // Program and time since its start for list time t; false when empty.
    bool locate(qint64 t, int *program, qint64 *local) const;
    static int pageIndex(const Entry &entry, qint64 local);

    Screen m_screen;
    std::vector<Entry> m_programs;
    qint64 m_total = 0;
};

} // namespace Playback
