#pragma once
// What the virtual card plays: the pages it received, grouped into programs
// (a program starts at page index 0) with the settings of their headers,
// played by the same player as the preview. The show window (--show) and
// the GIF writer (--play-gif) of brivane-cardsim use it; no widgets.

#include "render/Playback.h"
#include "sim/StopRequest.h"
#include "sim/VirtualCard.h"

#include <QString>

// Settings of one received page's header on a screen of that height.
Playback::Settings cardPageSettings(const VirtualCard::ReceivedPage &page, int screenHeight);
// The card's whole play list, from its complete pages in page order.
Playback::Player cardPlayer(const VirtualCard &card);
// Writes the card's play list as an animated GIF; false with error text.
bool writeCardGif(const VirtualCard &card, const QString &path, int scale, QString *error);

// Opens a window (QRasterWindow) that plays what the card holds, scaled,
// and runs the event loop until the window is closed, a stop request
// arrives or the line drops. Needs a QGuiApplication. The exit code.
int runCardShow(VirtualCard &card, StopRequest &stop, int scale);
