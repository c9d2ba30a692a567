#include "model/PlaybackInput.h"

#include "model/ProgramItem.h"
#include "model/PlayList.h"

Playback::Settings playbackSettings(const ProgramItem &item)
{
    Playback::Settings s;
    s.action = item.action();
    s.speed = item.speed();
    s.stayTime = item.effectiveStayTime();
    s.flash = item.flash();
    s.flashInterval = item.flashDelay();
    s.frame = item.frame();
    switch (item.effectiveClockMode()) {
    case 1:
        s.clock = Playback::ClockZone::Dial;
        break;
    case 2:
        s.clock = Playback::ClockZone::Text;
        break;
    default:
        s.clock = Playback::ClockZone::None;
        break;
    }
    s.clockZoneWidth = item.clockZoneWidth();
    return s;
}

Playback::Program playbackProgram(const ProgramItem &item)
{
    Playback::Program program;
    program.settings = playbackSettings(item);
    for (int i = 0; i < item.pageCount(); ++i) {
        if (const PageBitmap *page = item.pageAt(i))
            program.pages.push_back(*page);
    }
    return program;
}

Playback::Screen playbackScreen(const RenderContext &context)
{
    Playback::Screen screen;
    screen.width = context.screenWidth();
    screen.height = context.screenHeight();
    // Border and flash as the sign shows them, with the pages; while the
    // sign's colours are not known, everything as drawn.
    const int planes = context.previewPlanes();
    screen.planes = planes > 0 ? planes : 2;
    return screen;
}

Playback::Player playbackPlayer(const PlayList &project, int only)
{
    std::vector<Playback::Program> programs;
    for (int i = 0; i < project.itemCount(); ++i) {
        if (only >= 0 && i != only)
            continue;
        if (const ProgramItem *item = project.itemAt(i))
            programs.push_back(playbackProgram(*item));
    }
    return Playback::Player(playbackScreen(project.renderContext()), std::move(programs));
}
