#include "base/LocalClock.h"

namespace {
std::function<QDateTime()> g_source;
}

QDateTime localNow()
{
    return g_source ? g_source() : QDateTime::currentDateTime();
}

void setLocalNowSource(std::function<QDateTime()> source)
{
    g_source = std::move(source);
}
