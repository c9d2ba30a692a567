#pragma once
// How the command-line tool reports one send: the JSON document, the lines
// of text (one per program, then the total) and the exit code with its
// message. Used by send on one sign and for each sign of a send to several.

#include "model/SendReport.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace SendResult {

QJsonObject toJson(const SendReport &report);
QStringList lines(const SendReport &report);
// ExitOk, or the exit code with *message set to why.
int exitCode(const SendReport &report, QString *message);
// The last progress line of a send: the card's total, and for a send that
// was stopped, that it stopped (the total alone reads as a whole send).
QString finalStatus(const SendReport &report);
// The programs sent, or stopped at: how far the bar of `range` got.
int finalPosition(const SendReport &report, int range);
// One warning line per program whose picture went as a black page.
QStringList warnings(const SendReport &report);

} // namespace SendResult
