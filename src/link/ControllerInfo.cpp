#include "link/ControllerInfo.h"

#include <QCoreApplication>
#include <algorithm>
#include <initializer_list>

bool ControllerInfo::isSupportedModel() const
{
    auto in = [this](std::initializer_list<int> codes) {
        return std::find(codes.begin(), codes.end(), modelCode) != codes.end();
    };
    switch (series) {
    case 3:
        return in({0x20, 0x25, 0x30, 0x40, 0x42});
    case 13:
        return in({0x20, 0x25});
    case 14:
        return in({0x30, 0x32, 0x34, 0x40, 0x42});
    case 15:
        return in({0x23, 0x33, 0x43});
    default:
        return false;
    }
}

QString ControllerInfo::formatModel() const
{
    const QString firmware = QCoreApplication::translate("ControllerInfo", "， 固件版本：%1.%2.%3")
                                 .arg(firmwareMajor)
                                 .arg(firmwareMinor)
                                 .arg(firmwareBuild);
    if (series == 15) {
        QChar letter = QLatin1Char('X');
        if (modelCode == 0x23)
            letter = QLatin1Char('A');
        else if (modelCode == 0x33)
            letter = QLatin1Char('B');
        else if (modelCode == 0x43)
            letter = QLatin1Char('C');
        return QStringLiteral("QM-") + letter + firmware;
    }
    // "%.2X" and "%.2d": at least two digits, more when the value needs them.
    return QStringLiteral("QM") + QString::asprintf("%.2X", unsigned(modelCode)) +
           QLatin1Char('-') + QString::asprintf("%.2d", series) + firmware;
}
