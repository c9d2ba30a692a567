#pragma once
// The whole screen as it shows one page of an item: black, the page to the
// right of the clock zone, and the dial when the item has a dial clock.
// Shared by the preview panel and the command-line tool's render verb.

#include <QImage>
#include <QTime>

class ProgramItem;

// A null image when the page does not exist or the screen has no area.
QImage screenImage(const ProgramItem &item, int pageIndex, const QTime &time);
