#include "model/Project.h"

#include <QThread>

namespace {
// The card needs a moment after clearing before it takes new parameters.
constexpr unsigned long kAfterClearMs = 200;
} // namespace

bool Project::clearAndWriteScreenParams(const std::function<void(ScreenParams &)> &storeFields)
{
    clearScreen();
    QThread::msleep(kAfterClearMs);
    if (storeFields)
        storeFields(m_params);
    return writeScreenParams();
}
