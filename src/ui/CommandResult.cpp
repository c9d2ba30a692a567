#include "ui/CommandResult.h"

#include "base/AppServices.h"
#include "model/Outcome.h"

#include <QCoreApplication>
#include <QWidget>

void showCommandResult(QWidget *owner, const Outcome &outcome)
{
    if (outcome)
        showMessage(nullptr, outcome.userText(), QCoreApplication::translate("CommandResult", "成功"), MessageIcon::Information);
    else
        showMessage(owner, outcome.userText(), QCoreApplication::translate("CommandResult", "错误"), MessageIcon::Warning);
}
