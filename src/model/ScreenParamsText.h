#pragma once
// The screen parameter record as the command-line tool and the service show
// and take it: the scan mode texts, the frequency and colour names, the
// decoded record as text lines and as JSON, and the parsing of typed scan
// modes and frequencies.

#include "link/ScreenParams.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace ScreenParamsText {

// The text of a scan code; a code not in the table shows as list entry 0.
QString scanModeText(int code);
// "0x41", "41" read as hexadecimal only with its 0x, "65" decimal, or the
// short name "4.1" (the number before the colon of the list text). Only
// codes of the table are accepted.
std::optional<int> parseScanMode(const QString &text);

// "1.0M", "1.25M", "1.5M", "1.75M", "2.0M" for bytes 1..5; "?" otherwise.
QString frequencyText(int value);
// A frequency in MHz, "1.25" or "1.25M"; the record's byte 1..5.
std::optional<int> parseFrequency(const QString &text);

// "单红" for 1, "红绿双色" for 2.
QString colourText(int value);

// Human-readable lines, one field a line.
QStringList describe(const ScreenParams &params);
QJsonObject toJson(const ScreenParams &params);

} // namespace ScreenParamsText
