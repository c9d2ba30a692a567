#pragma once
// What an item needs to draw its pages and derive its upload codes: the
// screen (size and colour type), the card's features (clock zones, level
// lock, firmware), the page budget, the folder of relative picture paths and
// whether edits rebuild pages. The play list owns one and hands it to its
// items; an item made without one draws for the default screen of 256 x 32
// with no card. Items only read it.

#include "link/ControllerInfo.h"
#include "link/ScreenParams.h"

#include <QString>
#include <functional>

class PlayList;
class ProgramItem;

struct RenderContext {
    // The size codes and colour type the pages are drawn for.
    ScreenParams screen;
    // Whether screen's colour type is the sign's: a card's record was read,
    // or the user named the type. Until then previews show pages as drawn.
    bool colourTypeKnown = false;
    // The card the pages are drawn for (all zero: none has answered).
    ControllerInfo card;
    // Relative picture paths are taken from this file's folder.
    QString projectFilePath;
    // Whether edits rebuild pages at once (ItemEdit).
    bool buildsPages = true;
    // Pages of width x height the budget still grants item; empty: no budget.
    std::function<int(const ProgramItem &item, int width, int height)> pageAllowance;
    // The list the items play in (the preview plays it from any of them).
    const PlayList *playList = nullptr;

    // The stored size, but no larger than a card can have.
    int screenWidth() const;
    int screenHeight() const;
    // The colour planes of the sign the previews show: 1 (single red) or 2
    // once the colour type is known, 0 while it is not.
    int previewPlanes() const;
};
