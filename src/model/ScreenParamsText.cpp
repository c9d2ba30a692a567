#include "model/ScreenParamsText.h"

#include "link/ScanModes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <cmath>
#include <iterator>

namespace ScreenParamsText {

namespace {

constexpr double kFrequenciesMHz[] = {1.0, 1.25, 1.5, 1.75, 2.0};

QString hexByte(int value)
{
    return QStringLiteral("0x%1").arg(value & 0xFF, 2, 16, QLatin1Char('0'));
}

} // namespace

QString scanModeText(int code)
{
    return ScanModes::name(ScanModes::indexOf(uint8_t(code)));
}

std::optional<int> parseScanMode(const QString &typed)
{
    const QString text = typed.trimmed();
    bool ok = false;
    int code = -1;
    if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        code = text.mid(2).toInt(&ok, 16);
    else
        code = text.toInt(&ok, 10);
    for (int i = 0; i < ScanModes::kCount; ++i) {
        if (ok && ScanModes::code(i) == code)
            return code;
        if (!ok && ScanModes::name(i).section(QLatin1Char(':'), 0, 0) == text)
            return ScanModes::code(i);
    }
    return std::nullopt;
}

QString frequencyText(int value)
{
    static const char *const names[] = {"1.0M", "1.25M", "1.5M", "1.75M", "2.0M"};
    return value >= 1 && value <= 5 ? QLatin1String(names[value - 1]) : QStringLiteral("?");
}

std::optional<int> parseFrequency(const QString &typed)
{
    QString text = typed.trimmed();
    if (text.endsWith(QLatin1Char('M'), Qt::CaseInsensitive))
        text.chop(1);
    bool ok = false;
    const double mhz = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    for (int i = 0; i < int(std::size(kFrequenciesMHz)); ++i)
        if (std::abs(mhz - kFrequenciesMHz[i]) < 1e-6)
            return i + 1;
    return std::nullopt;
}

QString colourText(int value)
{
    switch (value) {
    case 1:
        return QCoreApplication::translate("ScreenParamsText", "单红");
    case 2:
        return QCoreApplication::translate("ScreenParamsText", "红绿双色");
    default:
        return QStringLiteral("?");
    }
}

QStringList describe(const ScreenParams &p)
{
    return {
        QStringLiteral("width:         %1").arg(p.screenWidth()),
        QStringLiteral("height:        %1").arg(p.screenHeight()),
        QStringLiteral("colour:        %1 (%2)")
            .arg(p.colourType())
            .arg(colourText(p.colourType())),
        QStringLiteral("scan mode:     %1 (%2)")
            .arg(hexByte(p.scanMode()), scanModeText(p.scanMode())),
        QStringLiteral("reverse data:  %1").arg(p.reverseData() ? "yes" : "no"),
        QStringLiteral("reverse OE:    %1").arg(p.reverseOe() ? "yes" : "no"),
        QStringLiteral("row order:     %1").arg(p.rowOrder()),
        QStringLiteral("frequency:     %1").arg(frequencyText(p.frequency())),
        QStringLiteral("no 138:        %1").arg(p.no138() ? "yes" : "no"),
    };
}

QJsonObject toJson(const ScreenParams &p)
{
    QJsonObject o;
    o[u"width"] = p.screenWidth();
    o[u"height"] = p.screenHeight();
    o[u"widthCode"] = p.widthCode();
    o[u"heightCode"] = p.heightCode();
    o[u"colourType"] = p.colourType();
    o[u"colour"] = colourText(p.colourType());
    o[u"scanMode"] = p.scanMode();
    o[u"scanModeText"] = scanModeText(p.scanMode());
    o[u"reverseData"] = p.reverseData();
    o[u"reverseOe"] = p.reverseOe();
    o[u"rowOrder"] = p.rowOrder();
    o[u"frequency"] = p.frequency();
    o[u"frequencyText"] = frequencyText(p.frequency());
    o[u"no138"] = p.no138();
    QJsonArray bytes;
    for (const uint8_t b : p.bytes)
        bytes.append(int(b));
    o[u"bytes"] = bytes;
    return o;
}

} // namespace ScreenParamsText
