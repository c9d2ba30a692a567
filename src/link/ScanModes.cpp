#include "link/ScanModes.h"

#include <QtGlobal>
#include <array>

namespace ScanModes {
namespace {

struct Entry {
    uint8_t code;
    const char *name;
};

constexpr std::array<Entry, kCount> kEntries{{
    {0x00, QT_TRANSLATE_NOOP("ScanModes", "16.0:16扫,不打折(室内点阵常规)")},
    {0x80, QT_TRANSLATE_NOOP("ScanModes", "8.0: 8扫,不打折")},
    {0x81, QT_TRANSLATE_NOOP("ScanModes", "8.1: 8扫,下折1次,8点打折")},
    {0x82, QT_TRANSLATE_NOOP("ScanModes", "8.2: 8扫,上折1次,8点打折")},
    {0x41, QT_TRANSLATE_NOOP("ScanModes", "4.1: 4扫,下折3次,8点打折(P10常规)")},
    {0x42, QT_TRANSLATE_NOOP("ScanModes", "4.2: 4扫,上折3次,8点打折")},
    {0x43, QT_TRANSLATE_NOOP("ScanModes", "4.3: 4扫,下折1次,8点打折")},
    {0x44, QT_TRANSLATE_NOOP("ScanModes", "4.4: 4扫,下折1次,8点打折")},
    {0x45, QT_TRANSLATE_NOOP("ScanModes", "4.5: 4扫,下折3次,16点打折")},
    {0x46, QT_TRANSLATE_NOOP("ScanModes", "4.6: 4扫,上折3次,16点打折")},
    {0x47, QT_TRANSLATE_NOOP("ScanModes", "4.7: 4扫,下折1次,16点打折")},
    {0x48, QT_TRANSLATE_NOOP("ScanModes", "4.8: 4扫,上折1次,16点打折")},
}};

} // namespace

uint8_t code(int index)
{
    return index >= 0 && index < kCount ? kEntries[index].code : 0x00;
}

QString name(int index)
{
    return index >= 0 && index < kCount ? QString::fromUtf8(kEntries[index].name) : QString();
}

int indexOf(uint8_t value)
{
    for (int i = 0; i < kCount; ++i) {
        if (kEntries[i].code == value)
            return i;
    }
    return 0;
}

} // namespace ScanModes
