#include "ui/CommandResult.h"

#include "base/AppServices.h"
#include "model/Outcome.h"

#include <QWidget>

void showCommandResult(QWidget *owner, const Outcome &outcome)
{
    if (outcome)
        showMessage(nullptr, outcome.userText(), QStringLiteral("成功"), MessageIcon::Information);
    else
        showMessage(owner, outcome.userText(), QStringLiteral("错误"), MessageIcon::Warning);
}
