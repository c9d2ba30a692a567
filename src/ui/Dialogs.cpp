#include "ui/Dialogs.h"

// Placeholders until the editors and tool dialogs land.
namespace Dialogs {
void editItem(QWidget *, ProgramItem *) {}
bool editScreenParams(QWidget *) { return false; }
void brightness(QWidget *) {}
void screenSwitch(QWidget *) {}
void about(QWidget *) {}
} // namespace Dialogs
