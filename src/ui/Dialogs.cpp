#include "ui/Dialogs.h"

#include "ui/AboutDialog.h"
#include "ui/BrightnessDialog.h"
#include "ui/HardwareSettingsDialog.h"
#include "ui/ItemEditorDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/QuickParamsDialog.h"
#include "ui/ScreenSwitchDialog.h"

namespace Dialogs {

void editItem(QWidget *parent, ProgramItem *item)
{
    if (!item)
        return;
    ItemEditorDialog dialog(item, parent);
    dialog.run();
}

bool editScreenParams(QWidget *parent, CardSession &card, PlayList &list)
{
    {
        QuickParamsDialog quick(card, list, parent);
        if (quick.run() != QuickParamsDialog::kAdvancedResult)
            return true;
    }
    {
        PasswordDialog password(parent);
        if (password.exec() != QDialog::Accepted)
            return false;
    }
    HardwareSettingsDialog hardware(card, list, parent);
    hardware.run();
    return true;
}

void brightness(QWidget *parent, CardSession &card)
{
    BrightnessDialog dialog(card, parent);
    dialog.exec();
}

void screenSwitch(QWidget *parent, CardSession &card)
{
    ScreenSwitchDialog dialog(card, parent);
    dialog.exec();
}

void about(QWidget *parent, const QString &projectFile)
{
    AboutDialog dialog(parent, projectFile);
    dialog.exec();
}

} // namespace Dialogs
