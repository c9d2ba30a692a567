#pragma once
// Builds the player's input from the project: each program's play settings
// in the values the card receives (stay time as sent, clock zone as used)
// and its pages. The player itself knows no items.

#include "render/Playback.h"

class ProgramItem;
class PlayList;
struct RenderContext;

Playback::Settings playbackSettings(const ProgramItem &item);
Playback::Program playbackProgram(const ProgramItem &item);
Playback::Screen playbackScreen(const RenderContext &context);
// The whole play list, or only program `only` (0-based) when it is >= 0.
Playback::Player playbackPlayer(const PlayList &project, int only = -1);
