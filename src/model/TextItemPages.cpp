#include "model/TextItem.h"

#include "render/TextRenderer.h"

#include <algorithm>

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

int TextItem::layoutPageCount() const
{
    // No content area still leaves the one empty page buildPages adds.
    return std::max(1, TextRenderer::pageCount(renderParams()));
}

void TextItem::buildPages()
{
    clearPages();
    TextRenderParams params = renderParams();
    // One page more than the budget grants tells a text that needs more
    // from one that fits exactly.
    const int allowed = pageAllowance(params.width, params.height);
    const bool budgetBinds = allowed < TextRenderer::maxPages(params.width, params.height);
    if (budgetBinds)
        params.maxPages = allowed + 1;
    std::vector<PageBitmap> pages =
        budgetBinds && allowed == 0 ? std::vector<PageBitmap>() : TextRenderer::render(params);
    if (budgetBinds && (allowed == 0 || int(pages.size()) > allowed)) {
        pages.clear();
        addBlankPage();
        setPagesRefused(true);
        return;
    }
    if (pages.empty()) {
        // No content area (no screen height yet): the usual empty page.
        addBlankPage();
        return;
    }
    std::vector<PageBitmap> &list = mutablePages();
    for (PageBitmap &page : pages)
        list.push_back(std::move(page));
}
