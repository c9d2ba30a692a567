#include "link/PortNaming.h"

#include <QCollator>
#include <QSerialPortInfo>
#include <algorithm>

namespace {
QStringList g_explicit;

QStringList environmentDevices()
{
    const QString value = qEnvironmentVariable("BRIVANE_PORTS");
    QStringList list;
    for (const QString &entry : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString path = entry.trimmed();
        if (!path.isEmpty())
            list << path;
    }
    return list;
}

QStringList enumeratedDevices()
{
    struct Device {
        QString path;
        bool usb;
    };
    std::vector<Device> found;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        const bool usb = info.hasVendorIdentifier() || name.contains(QLatin1String("USB")) ||
                         name.contains(QLatin1String("ACM"));
        found.push_back({info.systemLocation(), usb});
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::stable_sort(found.begin(), found.end(), [&](const Device &a, const Device &b) {
        if (a.usb != b.usb)
            return a.usb;
        return collator.compare(a.path, b.path) < 0;
    });
    QStringList list;
    for (const Device &d : found)
        list << d.path;
    return list;
}
} // namespace

int PortNaming::comNumber(const QString &name)
{
    if (!name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return 0;
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

QStringList PortNaming::devices()
{
#ifdef Q_OS_WIN
    return g_explicit;
#else
    if (!g_explicit.isEmpty())
        return g_explicit;
    const QStringList fromEnvironment = environmentDevices();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return enumeratedDevices();
#endif
}

QString PortNaming::deviceForPort(int n)
{
    if (n < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    const QStringList list = devices();
    return n <= list.size() ? list.at(n - 1) : QString();
#endif
}

int PortNaming::portForDevice(const QString &path)
{
#ifdef Q_OS_WIN
    if (const int n = comNumber(path))
        return n;
#endif
    QStringList list = devices();
    const auto index = list.indexOf(path);
    if (index >= 0)
        return int(index) + 1;
    // Keep the numbers the other devices already have.
    list << path;
    g_explicit = list;
    return int(list.size());
}

void PortNaming::setExplicitDevices(const QStringList &paths)
{
    g_explicit = paths;
}

QStringList PortNaming::explicitDevices()
{
    return g_explicit;
}
