#pragma once
// The one seam through which the program reads the local time (clock
// command, dial clock, schedules), so tests can fix it.
//
// For tests of whole programs only: BRIVANE_TEST_CLOCK=START[,SPEED] makes
// the clock start at START (a local ISO time such as 2026-12-10T10:29:57)
// when first read and run SPEED times faster than real time (default 1).

#include <QDateTime>
#include <functional>

QDateTime localNow();
// Installs a replacement clock; an empty function restores the real one.
void setLocalNowSource(std::function<QDateTime()> source);

// A BRIVANE_TEST_CLOCK value: the start and the speed; false when the text
// is not one (the real clock is then used).
bool parseTestClock(const QString &text, QDateTime *start, double *speed);
