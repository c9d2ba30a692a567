#pragma once
// Entry points through which the main window opens the editors and tool
// dialogs, handing each the card session and the play list it works on.
// Each runs its dialog modally and returns when it has closed.

class CardSession;
class PlayList;
class QString;
class QWidget;
class ProgramItem;
class PreviewPanel;

namespace Dialogs {

// The item property editor "信息编辑器" on item (text or picture page by
// the item's type). Changes go straight into the item.
void editItem(QWidget *parent, ProgramItem *item);

// The screen parameter flow: the quick dialog, or the hardware settings
// behind the access password. Returns false when the password was refused
// or cancelled (the caller then does not refresh its preview).
bool editScreenParams(QWidget *parent, CardSession &card, PlayList &list);

// "亮度设置".
void brightness(QWidget *parent, CardSession &card);
// "屏幕开关".
void screenSwitch(QWidget *parent, CardSession &card);
// "关于 Brivane".
// projectFile: the play list's file.
void about(QWidget *parent, const QString &projectFile);

} // namespace Dialogs
