// Port numbers to device paths.
#include "link/PortNaming.h"

#include <gtest/gtest.h>

namespace {
// Sets BRIVANE_PORTS for one test and restores it.
class PortsEnvironment {
public:
    explicit PortsEnvironment(const QByteArray &value)
        : m_had(qEnvironmentVariableIsSet("BRIVANE_PORTS")), m_old(qgetenv("BRIVANE_PORTS"))
    {
        qputenv("BRIVANE_PORTS", value);
    }
    ~PortsEnvironment()
    {
        if (m_had)
            qputenv("BRIVANE_PORTS", m_old);
        else
            qunsetenv("BRIVANE_PORTS");
        PortNaming::setExplicitDevices({});
    }

private:
    bool m_had;
    QByteArray m_old;
};
} // namespace

#ifndef Q_OS_WIN
TEST(PortNaming, EnvironmentListNamesPortsFromOne)
{
    PortsEnvironment env(" /dev/ttyUSB0, /tmp/card ,,/dev/ttyS1");
    EXPECT_EQ(PortNaming::devices(), (QStringList{"/dev/ttyUSB0", "/tmp/card", "/dev/ttyS1"}));
    EXPECT_EQ(PortNaming::deviceForPort(1), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(PortNaming::deviceForPort(2), QStringLiteral("/tmp/card"));
    EXPECT_EQ(PortNaming::deviceForPort(3), QStringLiteral("/dev/ttyS1"));
    EXPECT_TRUE(PortNaming::deviceForPort(4).isEmpty());
    EXPECT_TRUE(PortNaming::deviceForPort(0).isEmpty());
    EXPECT_TRUE(PortNaming::deviceForPort(-1).isEmpty());
}

TEST(PortNaming, ExplicitDevicesComeFirstAndKeepNumbers)
{
    PortsEnvironment env("/dev/a,/dev/b");
    // A path already named keeps its number.
    EXPECT_EQ(PortNaming::portForDevice(QStringLiteral("/dev/b")), 2);
    // A new one is added after the others, which keep theirs.
    EXPECT_EQ(PortNaming::portForDevice(QStringLiteral("/tmp/card")), 3);
    EXPECT_EQ(PortNaming::deviceForPort(1), QStringLiteral("/dev/a"));
    EXPECT_EQ(PortNaming::deviceForPort(3), QStringLiteral("/tmp/card"));
    PortNaming::setExplicitDevices({QStringLiteral("/dev/x")});
    EXPECT_EQ(PortNaming::deviceForPort(1), QStringLiteral("/dev/x"));
    PortNaming::setExplicitDevices({});
    EXPECT_EQ(PortNaming::deviceForPort(1), QStringLiteral("/dev/a"));
}
#endif

TEST(PortNaming, ComNames)
{
    const struct {
        const char *name;
        int number;
    } cases[] = {{"COM1", 1}, {"com12", 12},     {"COM0", 0}, {"COM", 0},
                 {"COMx", 0}, {"/dev/ttyS0", 0}, {"COM-3", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(PortNaming::comNumber(QString::fromLatin1(c.name)), c.number) << c.name;
}
