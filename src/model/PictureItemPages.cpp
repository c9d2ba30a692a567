#include "model/PictureItem.h"

// Placeholder until the picture converter lands: one blank page.
void PictureItem::buildPages()
{
    clearPages();
    addBlankPage();
}
