#pragma once
// The whole screen as it shows one page of an item: black, the page to the
// right of the clock zone, and the dial when the item has a dial clock.
// Once the sign's colour type is known, in the colours that sign shows.
// Shared by the preview panel and the command-line tool's render verb.

#include <QImage>
#include <QTime>

class ProgramItem;

// A null image when the page does not exist or the screen has no area.
QImage screenImage(const ProgramItem &item, int pageIndex, const QTime &time);
// One page of the item alone (content width), as screenImage colours it;
// a null image when the page does not exist.
QImage pageImage(const ProgramItem &item, int pageIndex);
