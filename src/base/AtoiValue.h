#pragma once
// Reads an integer text the way the C library's atoi does: leading blanks
// (space, tab, line feed, vertical tab, form feed, carriage return), an
// optional sign, then ASCII digits up to the first other character. A text
// without digits reads as 0. Used for every number of the project file.

#include <QStringView>

// A value outside the int range saturates at INT_MAX or INT_MIN (atoi's
// behaviour is undefined there; saturation is deterministic and matches
// what strtol reports).
int atoiValue(QStringView text);
