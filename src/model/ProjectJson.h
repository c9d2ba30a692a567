#pragma once
// The JSON documents the command-line tool prints and the HTTP service
// answers with, built in one place so both give the same fields: the play
// list (`list --json`), the card (`find --json`, `info --json`) and the
// outcome of a send (`send --json`).

#include "link/ControllerInfo.h"
#include "model/ProgramFields.h"
#include "model/SendReport.h"

#include <QJsonObject>
#include <QString>

class PlayList;
struct ScreenParams;

namespace ProjectJson {

// "2.2.7".
QString firmwareText(const ControllerInfo &info);

// The play list with the derived values of every item; page counts from the
// pages the items hold (render them before) or from their layout alone.
QJsonObject programList(const PlayList &project,
                        ProgramFields::PageCount pages = ProgramFields::PageCount::Held);

// Port, device, model text and code, series, firmware, support.
QJsonObject card(int port, const ControllerInfo &info);
// card() with the screen parameters and brightness; null where they could
// not be read (params == nullptr, brightness < 0).
QJsonObject info(int port, const ControllerInfo &info, const ScreenParams *params, int brightness);

// "sent", "skipped", "failed", "not-sent".
const char *outcomeName(SendItemResult::Outcome outcome);
// End, counts and every program's outcome.
QJsonObject sendReport(const SendReport &report);

} // namespace ProjectJson
