#pragma once
// Model code, series and firmware of the connected card, as answered to the
// model query 0x35, with the feature tests that follow from them. Kept by
// the play list the pages are drawn for; all zero until a card has answered.

#include <QString>

struct ControllerInfo {
    int modelCode = 0;
    int series = 0;
    int firmwareMajor = 0;
    int firmwareMinor = 0;
    int firmwareBuild = 0;

    bool isSupportedModel() const;
    // "QM-A， 固件版本：2.2.7" for series 15, "QM20-03， 固件版本：1.0.0" otherwise.
    QString formatModel() const;
    bool hasClockZoneSupport() const { return series == 15; }
    bool isLevelLocked() const { return modelCode == 0x42 || modelCode == 0x32; }
    // Versions weigh as major * 256 + minor * 16 + build.
    bool firmwareAtLeast(int major, int minor, int build) const
    {
        return firmwareMajor * 256 + firmwareMinor * 16 + firmwareBuild >=
               major * 256 + minor * 16 + build;
    }

    bool operator==(const ControllerInfo &) const = default;
};
