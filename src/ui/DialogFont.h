#pragma once
// The face every window and dialog is laid out in: "宋体" at 12 pixels (9 pt
// at 96 dpi), the face text programs start with. Set once per process by
// the GUI's start-up (and by tools and tests that lay out its dialogs).

// Makes installed Song (Ming) faces, then a Hei face, stand in for "宋体"
// and "SimSun" where they are missing, and sets the application's font.
void setUpDialogFont();
