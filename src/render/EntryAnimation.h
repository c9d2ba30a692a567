#pragma once
// The entry animation codes of a program (its `action`, sent to the card as
// it is stored): how the program's pages come onto the screen. The names the
// user picks them by are ValueTables::actionNames(), in code order. Shared by
// the items, the text layout, the player and the command-line tool.

namespace EntryAnimation {

enum Code : int {
    Instant = 1,
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    UnfoldRight,
    UnfoldDown,
    SplitHorizontal,
    BlindsHorizontal,
    BlindsVertical,
    CrossVertical,
    CrossHorizontal,
    ContinuousLeft,
    Diamond,
    SlantDown,
    SlantLeft,
    Mosaic,
    Rain,
};

inline constexpr int kFirst = Instant;
inline constexpr int kLast = Rain;
// The animation a new program starts with.
inline constexpr Code kDefault = ContinuousLeft;

} // namespace EntryAnimation
