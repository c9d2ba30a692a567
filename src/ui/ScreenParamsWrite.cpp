#include "ui/ScreenParamsWrite.h"

#include "model/Project.h"

bool writeScreenParamsToCard(QObject *owner, Project &project,
                             const std::function<void(ScreenParams &)> &storeFields)
{
    const bool ok = project.clearAndWriteScreenParams(storeFields);
    showCommandResult(owner, ok);
    project.rebuildAllPages();
    return ok;
}
