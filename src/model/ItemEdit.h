#pragma once
// The one way a stored setting of a program item is changed: editItem
// stores the value and rebuilds the item's pages exactly when they depend on
// the change, by the table pageRule gives. The editor pages, the item
// editor, the program list and the command-line tool's set all go through
// it, so every front end re-renders at the same moments.

#include <QString>

class ProgramItem;

enum class ItemSetting {
    // every item
    Content,
    Action,
    Speed,
    Frame,
    Clock,
    Delay,
    Level,
    Flash,
    FlashDelay,
    // text programs
    FaceName,
    Size,
    Style,
    Color,
    // picture programs
    Mode,
    Reverse,
    Limit,
};

// How an item's pages depend on one setting.
enum class PageRule {
    Stored,       // not drawn: only the card or the list sees it
    Rendered,     // drawn into the pages: every change re-renders
    TextLayout,   // chooses a text program's layout: re-renders text programs
    StayTimeZero, // re-renders a text program when its effective stay time
                  // is 0 before or after the change (the layout differs)
    NextRebuild,  // drawn, but shown only at the next rebuild (the picture
                  // page's brightness limit waits for "预览")
};

PageRule pageRule(ItemSetting setting);

// Stores value into the setting; a setting of the other kind of item is
// ignored. The pages are rebuilt when the rule says the change shows in them
// and the item's list builds pages (PlayList::buildsPages). True when the
// pages changed: rebuilt, or out of date in a list that builds none.
bool editItem(ProgramItem &item, ItemSetting setting, int value);
// For Content and FaceName.
bool editItem(ProgramItem &item, ItemSetting setting, const QString &value);
