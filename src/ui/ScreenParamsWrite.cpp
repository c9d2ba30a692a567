#include "ui/ScreenParamsWrite.h"

#include "model/CardSession.h"
#include "model/PlayList.h"
#include "ui/CommandResult.h"

bool writeScreenParamsToCard(QWidget *owner, CardSession &card, PlayList &list,
                             const std::function<void(ScreenParams &)> &storeFields)
{
    const Outcome written = card.clearAndWriteScreenParams(storeFields);
    showCommandResult(owner, written);
    list.rebuildAllPages();
    return written.isOk();
}
