#pragma once
// The message box every controller command of the GUI ends with: the
// outcome's user text, caption "成功" (no owner) or "错误" (warning icon,
// owned by owner). Used by the main window and the tool dialogs.

class Outcome;
class QWidget;

void showCommandResult(QWidget *owner, const Outcome &outcome);
