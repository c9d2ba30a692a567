#pragma once
// The value tables the user picks item settings from, defined once and
// shared by the program list, the editors and the command-line tool. The
// stored value of an entry follows from its list position as each table's
// comment says.

#include <QString>
#include <QStringList>

namespace ValueTables {

// Entry animation: action = position + 1 (1..18).
const QStringList &actionNames();
// Speed: speed = position (0..15): "0(慢)", "1", ..., "15(快)".
const QStringList &speedNames();
// Running border: frame = position (0..8).
const QStringList &frameNames();
// Border code of a frame value; 0 outside 1..8.
int frameBorderCode(int frame);
// Clock zone: clock = position (0..2): "关闭", "表盘", "文字".
const QStringList &clockNames();
// The program list's clock label of a stored clock value.
QString clockLabel(int clock);
// Speed level: level = position + 1 (1..15): "1(快)", "2", ..., "15(慢)".
const QStringList &levelNames();
// Flash mode: flash = position (0..2).
const QStringList &flashNames();
// Text style: style = position (0..3): "正常", "粗体", "斜体", "粗斜体".
const QStringList &styleNames();
// Text colour: color = position + 1 (1..3): "红", "绿", "黄".
const QStringList &colorNames();

// Name of a stored value in a table, or an empty string when out of range.
QString actionName(int action);
QString frameName(int frame);

// The names as the user reads them, in the language chosen (the tables
// themselves stay Chinese: the command line and the service accept them).
QStringList shown(const QStringList &names);
QString shown(const QString &name);

} // namespace ValueTables
