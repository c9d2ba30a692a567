#pragma once
// Reads a whole number from the start of a text the way the editors read
// their fields: leading blanks skipped, an optional sign, then decimal digits
// up to the first other character. No digits give 0; a number too large for
// an int saturates at INT_MAX or INT_MIN.

#include <QStringView>

int readLeadingInt(QStringView text);
