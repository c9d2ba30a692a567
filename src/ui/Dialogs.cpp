#include "ui/Dialogs.h"

#include "model/Project.h"
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

bool editScreenParams(QWidget *parent)
{
    Project *project = currentProject();
    if (!project)
        return false;
    {
        QuickParamsDialog quick(project, parent);
        if (quick.run() != QuickParamsDialog::kAdvancedResult)
            return true;
    }
    {
        PasswordDialog password(parent);
        if (password.exec() != QDialog::Accepted)
            return false;
    }
    HardwareSettingsDialog hardware(project, parent);
    hardware.run();
    return true;
}

void brightness(QWidget *parent)
{
    if (Project *project = currentProject()) {
        BrightnessDialog dialog(project, parent);
        dialog.exec();
    }
}

void screenSwitch(QWidget *parent)
{
    if (Project *project = currentProject()) {
        ScreenSwitchDialog dialog(project, parent);
        dialog.exec();
    }
}

void about(QWidget *parent)
{
    AboutDialog dialog(parent);
    dialog.exec();
}

} // namespace Dialogs
