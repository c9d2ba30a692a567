#include "model/ProgramItem.h"

#include "link/Protocol.h"
#include "model/ValueTables.h"
#include "render/EntryAnimation.h"

#include <QThreadStorage>
#include <climits>

ProgramItem::ProgramItem(int type, const RenderContext *context)
    : m_context(context), m_type(type)
{
    setAction(EntryAnimation::kDefault);
    setSpeed(14);
    setFrame(0);
    setClockMode(0);
    setDelay(0);
    setLevel(2);
    setFlash(0);
    setFlashDelay(2);
    addBlankPage();
}

ProgramItem::~ProgramItem() = default;

void ProgramItem::clearPages()
{
    m_pages.clear();
    m_pagesRefused = false;
    m_pageProblem.clear();
}

namespace {

// Every blank page of one size shares a single black raster (the image is
// copied on its first write), so a long play list, or a hostile file with
// thousands of items on the largest screen, costs no page memory until
// something is drawn.
// One per thread: the command-line tool renders a copy of the play list for
// each sign on that sign's worker thread. QThreadStorage rather than
// thread_local: the main thread's copy is freed with the application, while
// Qt still runs; a thread_local one was freed by the C++ runtime after Qt's
// DLLs had shut down, and on Windows the process then never ended.
PageBitmap &sharedBlank()
{
    static QThreadStorage<PageBitmap> shared;
    return shared.localData();
}

} // namespace

void ProgramItem::releasePages()
{
    clearPages();
    addBlankPage();
}

qint64 ProgramItem::pageBytes() const
{
    const qint64 blankKey = sharedBlank().isNull() ? 0 : sharedBlank().image().cacheKey();
    qint64 bytes = 0;
    for (const PageBitmap &page : m_pages)
        if (!page.isNull() && page.image().cacheKey() != blankKey)
            bytes += page.image().sizeInBytes();
    return bytes;
}

const RenderContext &ProgramItem::context() const
{
    static const RenderContext alone;
    return m_context ? *m_context : alone;
}

int ProgramItem::pageAllowance(int width, int height) const
{
    const RenderContext &c = context();
    return c.pageAllowance ? c.pageAllowance(*this, width, height) : INT_MAX;
}

void ProgramItem::addBlankPage()
{
    PageBitmap &shared = sharedBlank();
    const int width = contentWidth();
    const int height = screenHeight();
    if (shared.isNull() || shared.width() != width || shared.height() != height) {
        PageBitmap fresh;
        // A zero-sized content area (no screen height) still gets a page
        // object so that pageCount() is never 0; it stays empty.
        if (!fresh.create(width, height)) {
            m_pages.push_back(std::move(fresh));
            return;
        }
        shared = std::move(fresh);
    }
    m_pages.push_back(shared);
}

const PageBitmap *ProgramItem::pageAt(int index) const
{
    if (index < 0 || index >= pageCount())
        return nullptr;
    return &m_pages[size_t(index)];
}

void ProgramItem::setSpeed(int v)
{
    m_speed = v;
    m_speedLabel = QString::number(v);
}

void ProgramItem::setClockMode(int v)
{
    m_clock = v;
    m_clockLabel = ValueTables::clockLabel(v);
}

int ProgramItem::screenWidth() const
{
    return context().screenWidth();
}
int ProgramItem::screenHeight() const
{
    return context().screenHeight();
}

int ProgramItem::effectiveClockMode() const
{
    if (m_clock == 0)
        return 0;
    const ControllerInfo &info = context().card;
    if (info.isLevelLocked() || !info.hasClockZoneSupport())
        return 0;
    if (m_clock == 2)
        return screenWidth() >= 80 ? 2 : 0;
    return screenWidth() >= 2 * screenHeight() ? m_clock : 0;
}

int ProgramItem::clockZoneWidth() const
{
    switch (effectiveClockMode()) {
    case 1:
        return screenHeight();
    case 2:
        return 64;
    default:
        return 0;
    }
}

int ProgramItem::contentWidth() const
{
    return screenWidth() - clockZoneWidth();
}

int ProgramItem::clockCode() const
{
    switch (effectiveClockMode()) {
    case 1:
        return Protocol::ClockDial;
    case 2:
        return Protocol::ClockText;
    default:
        return Protocol::ClockNone;
    }
}

int ProgramItem::effectCode() const
{
    const int border = ValueTables::frameBorderCode(m_frame);
    if (context().card.firmwareAtLeast(2, 2, 7))
        return m_flash | border;
    // Older firmware only knows whether a border is shown at all.
    return border != 0 ? (m_flash | 0x10) : m_flash;
}

int ProgramItem::effectiveStayTime() const
{
    if (m_flash == 0)
        return m_delay;
    if (m_delay > m_flashDelay)
        return m_delay;
    // Saturates instead of overflowing for a flash interval of INT_MAX.
    return m_flashDelay == INT_MAX ? INT_MAX : m_flashDelay + 1;
}

QString ProgramItem::displayName() const
{
    if (m_content.size() <= 16)
        return m_content;
    // A character whose low byte has its top bit set is counted as two and
    // taken with the one after it (a double-byte character on the original
    // code page), so the cut lands after 15 or 16 characters.
    qsizetype n = 0;
    while (n < 15)
        n += (m_content.at(n).unicode() & 0x80) ? 2 : 1;
    // Never split a surrogate pair: a cut between its halves drops the
    // high half as well.
    if (m_content.at(n - 1).isHighSurrogate() && m_content.at(n).isLowSurrogate())
        --n;
    return m_content.left(n) + QStringLiteral("...");
}
