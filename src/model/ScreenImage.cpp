#include "model/ScreenImage.h"

#include "model/ProgramItem.h"
#include "render/DialClock.h"
#include "render/PageBitmap.h"

QImage screenImage(const ProgramItem &item, int pageIndex, const QTime &time)
{
    const PageBitmap *page = item.pageAt(pageIndex);
    if (!page)
        return {};
    const int height = item.screenHeight();
    PageBitmap screen;
    if (!screen.create(item.screenWidth(), height))
        return {};
    screen.copyFrom(*page, item.clockZoneWidth(), 0, 0, 0, item.contentWidth(), height);
    if (item.effectiveClockMode() == 1)
        DialClock::drawDial(screen, 0, 0, item.clockZoneWidth(), time);
    QImage image = screen.image();
    if (const int planes = item.context().previewPlanes(); planes > 0)
        LedColor::showOnSign(image, planes);
    return image;
}

QImage pageImage(const ProgramItem &item, int pageIndex)
{
    const PageBitmap *page = item.pageAt(pageIndex);
    if (!page || page->isNull())
        return {};
    QImage image = page->image();
    if (const int planes = item.context().previewPlanes(); planes > 0)
        LedColor::showOnSign(image, planes);
    return image;
}
