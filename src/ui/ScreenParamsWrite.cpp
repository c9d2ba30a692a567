#include "ui/ScreenParamsWrite.h"

#include "model/Project.h"

#include <QThread>

namespace {
// The card needs a moment after clearing before it takes new parameters.
constexpr unsigned long kAfterClearMs = 200;
} // namespace

bool writeScreenParamsToCard(QObject *owner, Project &project,
                             const std::function<void(ScreenParams &)> &storeFields)
{
    // The clear's outcome does not matter: the write reports for both.
    project.clearScreen();
    QThread::msleep(kAfterClearMs);
    storeFields(project.screenParams());
    const bool ok = project.writeScreenParams();
    showCommandResult(owner, ok);
    project.rebuildAllPages();
    return ok;
}
