#include "model/PictureItem.h"

#include "render/PictureConverter.h"

void PictureItem::buildPages()
{
    clearPages();
    PictureRenderParams params;
    params.path = resolvedPath();
    params.mode = mode();
    params.reverse = reverse();
    params.limit = limit();
    params.colourType = context().screen.colourType();
    params.width = contentWidth();
    params.height = screenHeight();
    if (params.width > 0 && params.height > 0 && pageAllowance(params.width, params.height) < 1) {
        addBlankPage();
        setPagesRefused(true);
        return;
    }
    PageBitmap page;
    if (!PictureConverter::convert(params, page)) {
        // Missing, unreadable or undecodable file: one black page, as the
        // card has always received, and the reason for the user.
        addBlankPage();
        if (!params.path.isEmpty())
            setPageProblem(PageBitmap::pictureProblem(params.path));
        return;
    }
    mutablePages().push_back(std::move(page));
}
