#pragma once
// The write sequence both screen parameter dialogs share: clear the card's
// display, wait 200 ms, let the dialog store its fields into the card's
// ScreenParams (the list's, shared), write the record to the card, report
// the outcome, and re-render every item of list whatever the outcome (the
// size may have changed).

#include <functional>

class CardSession;
class PlayList;
class QWidget;
struct ScreenParams;

// Returns whether the card took the record.
bool writeScreenParamsToCard(QWidget *owner, CardSession &card, PlayList &list,
                             const std::function<void(ScreenParams &)> &storeFields);
