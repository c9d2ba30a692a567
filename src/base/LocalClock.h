#pragma once
// The one seam through which the program reads the local time (clock
// command, dial clock), so tests can fix it.

#include <QDateTime>
#include <functional>

QDateTime localNow();
// Installs a replacement clock; an empty function restores the real one.
void setLocalNowSource(std::function<QDateTime()> source);
