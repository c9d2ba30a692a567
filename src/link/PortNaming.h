#pragma once
// Maps the 1-based port numbers the program works with to port names: a
// serial device, or tcp://HOST:PORT for a serial-to-network converter.
// On Windows port n is "COMn" unless the program set an explicit list
// (tcp:// converters, a test's virtual card). Elsewhere an explicit list set by the program
// (the command-line tool's ports) stands alone when set; otherwise the
// environment variable BRIVANE_PORTS (comma-separated names, port n is the
// n-th entry) comes first, then the ports of the user's sign list
// (SignList), then, when BRIVANE_PORTS is not set, the devices the system
// enumerates: USB adapters first, then by name. A name listed twice keeps
// its first number. Thread-safe; the command-line tool sets the explicit
// list before its workers start.

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

    // The stable name of a serial device (/dev/serial/by-id/... on Linux,
    // the link whose target is that device); empty when it has none.
    static QString stableName(const QString &device);
    // Whether two port names reach the same port (a stable name and its
    // device, a path and a symlink to it, tcp:// names in any case).
    static bool samePort(const QString &a, const QString &b);

    // "COM3" style names (any case): n, else 0.
    static int comNumber(const QString &name);
};
