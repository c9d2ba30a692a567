#pragma once
// Maps the 1-based port numbers the program works with to serial devices.
// On Windows port n is "COMn". Elsewhere an explicit list set by the program
// (the command-line tool's device paths) comes first, then the environment
// variable BRIVANE_PORTS (comma-separated device paths, port n is the n-th
// entry), and otherwise the devices the system enumerates: USB adapters
// first, then by name. Used from the user-interface thread only.

#include <QString>
#include <QStringList>

class PortNaming {
public:
    // The device behind port n; empty when there is none.
    static QString deviceForPort(int n);
    // The devices in port order (port 1 first). Empty on Windows.
    static QStringList devices();
    // The port number that names device `path`; a path not named yet is
    // added to the explicit list. Windows "COMn" gives n.
    static int portForDevice(const QString &path);
    // Replaces the explicit list (an empty list falls back to
    // BRIVANE_PORTS and the enumeration).
    static void setExplicitDevices(const QStringList &paths);
    static QStringList explicitDevices();

    // "COM3" style names (any case): n, else 0.
    static int comNumber(const QString &name);
};
