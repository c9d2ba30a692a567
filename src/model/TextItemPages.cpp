#include "model/TextItem.h"

#include "render/TextRenderer.h"

TextRenderParams TextItem::renderParams() const
{
    TextRenderParams params;
    params.text = content();
    params.faceName = faceName();
    params.size = size();
    params.style = style();
    params.color = textColor();
    params.action = action();
    params.stayTimeZero = effectiveStayTime() == 0;
    params.width = contentWidth();
    params.height = screenHeight();
    return params;
}

QString TextItem::missingCharacters() const
{
    return TextRenderer::missingCharacters(renderParams());
}

void TextItem::buildPages()
{
    clearPages();
    std::vector<PageBitmap> pages = TextRenderer::render(renderParams());
    if (pages.empty()) {
        // No content area (no screen height yet): the usual empty page.
        addBlankPage();
        return;
    }
    std::vector<PageBitmap> &list = mutablePages();
    for (PageBitmap &page : pages)
        list.push_back(std::move(page));
}
