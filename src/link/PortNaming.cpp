#include "link/PortNaming.h"

#include "link/ByteChannel.h"
#include "link/SignList.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSerialPortInfo>
#include <algorithm>

namespace {
QMutex g_mutex;
QStringList g_explicit; // guarded by g_mutex

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

QStringList signPorts()
{
    SignList signs;
    signs.load();
    QStringList list;
    for (const SignList::Sign &sign : signs.signs())
        list << sign.port;
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

QString canonicalName(const QString &name)
{
    if (ByteChannel::isNetworkName(name))
        return name.trimmed().toLower();
    const QString canonical = QFileInfo(name).canonicalFilePath();
    return canonical.isEmpty() ? name : canonical;
}

void appendNew(QStringList &list, const QStringList &more)
{
    for (const QString &name : more) {
        const bool known = std::any_of(list.cbegin(), list.cend(), [&](const QString &listed) {
            return PortNaming::samePort(listed, name);
        });
        if (!known)
            list << name;
    }
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
    {
        const QMutexLocker lock(&g_mutex);
#ifdef Q_OS_WIN
        return g_explicit;
#else
        if (!g_explicit.isEmpty())
            return g_explicit;
#endif
    }
    const bool environmentSet = qEnvironmentVariableIsSet("BRIVANE_PORTS");
    QStringList list = environmentDevices();
    appendNew(list, signPorts());
    if (!environmentSet)
        appendNew(list, enumeratedDevices());
    return list;
}

QString PortNaming::deviceForPort(int n)
{
    if (n < 1)
        return {};
#ifdef Q_OS_WIN
    // Port n is "COMn", unless the program named its ports itself (a
    // tcp:// converter given on the command line, a test's virtual card).
    {
        const QMutexLocker lock(&g_mutex);
        if (n <= g_explicit.size())
            return g_explicit.at(n - 1);
    }
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
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i) == path || samePort(list.at(i), path))
            return int(i) + 1;
    // Keep the numbers the other devices already have.
    list << path;
    const QMutexLocker lock(&g_mutex);
    g_explicit = list;
    return int(list.size());
}

void PortNaming::setExplicitDevices(const QStringList &paths)
{
    const QMutexLocker lock(&g_mutex);
    g_explicit = paths;
}

QStringList PortNaming::explicitDevices()
{
    const QMutexLocker lock(&g_mutex);
    return g_explicit;
}

QString PortNaming::stableName(const QString &device)
{
#ifdef Q_OS_LINUX
    if (device.isEmpty() || ByteChannel::isNetworkName(device))
        return {};
    const QString target = canonicalName(device);
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name))
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
#else
    Q_UNUSED(device);
#endif
    return {};
}

bool PortNaming::samePort(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    if (ByteChannel::isNetworkName(a) != ByteChannel::isNetworkName(b))
        return false;
    return canonicalName(a) == canonicalName(b);
}
