#pragma once
// The write sequence both screen parameter dialogs share: clear the card's
// display, wait 200 ms, let the dialog store its fields into the project's
// ScreenParams, write the record to the card, report the outcome, and
// re-render every item whatever the outcome (the size may have changed).

#include <functional>

class Project;
class QObject;
struct ScreenParams;

// Returns whether the card took the record.
bool writeScreenParamsToCard(QObject *owner, Project &project,
                             const std::function<void(ScreenParams &)> &storeFields);
