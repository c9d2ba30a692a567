#pragma once
// The scan mode codes of the ScreenParams record (byte 6) with the names the
// hardware settings list shows, in list order, and the two ready-made codes
// of the quick screen parameter dialog.

#include <QString>
#include <cstdint>

namespace ScanModes {

constexpr int kCount = 12;
// Indoor dot matrix, 1/16 scan (list index 0).
constexpr uint8_t kIndoor16 = 0x00;
// P10 single red semi-outdoor, 1/4 scan (list index 4).
constexpr uint8_t kP10Quarter = 0x41;

// The code of list index 0..11; 0x00 for any other index.
uint8_t code(int index);
// The name of list index 0..11; empty for any other index.
QString name(int index);
// The list index of a code; 0 for a code not in the list.
int indexOf(uint8_t code);

} // namespace ScanModes
