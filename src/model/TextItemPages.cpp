#include "model/TextItem.h"

// Placeholder until the text renderer lands: one blank page.
void TextItem::buildPages()
{
    clearPages();
    addBlankPage();
}
