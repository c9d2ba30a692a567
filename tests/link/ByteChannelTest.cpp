// The transport seam: the same link over a serial device and over a TCP
// converter reaches the same card with the same bytes; the TCP channel's
// names and failures.
#include "link/ControllerInfo.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "link/Protocol.h"
#include "link/TcpChannel.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualCard.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        ASSERT_TRUE(bridge.start(card.devicePath())) << bridge.errorString().toStdString();
    }
    void TearDown() override
    {
        link.close();
        bridge.stop();
        card.stop();
        PortNaming::setExplicitDevices({});
    }
    bool configure(const QString &name, int timeoutMs = 900)
    {
        PortNaming::setExplicitDevices({name});
        link.setKeepOpen(true);
        return link.configure(1, timeoutMs, 57600, 512);
    }
    // A few requests of the command set, as the program sends them.
    void exchangeSome()
    {
        ControllerInfo info;
        EXPECT_TRUE(link.queryControllerInfo(info)) << link.errorText().toStdString();
        EXPECT_TRUE(link.setBrightness(9)) << link.errorText().toStdString();
        EXPECT_TRUE(link.clearScreen()) << link.errorText().toStdString();
    }

    VirtualCard card;
    TcpBridge bridge;
    ControllerLink link;
};

} // namespace

TEST_F(TransportTest, SerialAndTcpCarryTheSameRequests)
{
    // The serial device is held by the converter, as a real one would hold
    // the card's line: the serial run goes to a second card.
    VirtualCard direct;
    ASSERT_TRUE(direct.start());
    PortNaming::setExplicitDevices({direct.devicePath()});
    link.setKeepOpen(true);
    ASSERT_TRUE(link.configure(1, 900, 57600, 512));
    link.setSequenceNumber(7);
    exchangeSome();
    link.close();

    ASSERT_TRUE(configure(bridge.address())) << link.errorText().toStdString();
    EXPECT_EQ(link.portName(), bridge.address());
    link.setSequenceNumber(7);
    exchangeSome();
    ASSERT_TRUE(card.waitForRequests(3, 2000));
    EXPECT_EQ(card.requestLog(), direct.requestLog());
    EXPECT_EQ(card.brightness(), 9);
    EXPECT_EQ(bridge.connectionCount(), 1);
}

TEST_F(TransportTest, KeepOpenOffConnectsPerExchange)
{
    ASSERT_TRUE(configure(bridge.address()));
    link.setKeepOpen(false);
    link.close();
    exchangeSome();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(card.requestCount(), 3);
}

TEST_F(TransportTest, PurgeDiscardsALateReply)
{
    // The first reply arrives after the time-out; the next request must not
    // take it for its own answer.
    card.addFault({CardFault::Kind::Delay, 0x13, 1, 0, 400, {}});
    ASSERT_TRUE(configure(bridge.address(), 200));
    int level = -1;
    EXPECT_FALSE(link.readBrightness(level));
    QThread::msleep(400);
    ControllerInfo info;
    ASSERT_TRUE(link.queryControllerInfo(info)) << link.errorText().toStdString();
    EXPECT_EQ(link.responseByte(Protocol::SequenceOffset),
              uint8_t(link.request()[Protocol::SequenceOffset]))
        << "reply of the latest request";
    EXPECT_EQ(info.modelCode, 0x23);
}

TEST_F(TransportTest, DroppedConnectionFailsAtOnceWithItsCode)
{
    card.addFault(CardFault::dropAfter(1));
    ASSERT_TRUE(configure(bridge.address()));
    ControllerInfo info;
    ASSERT_TRUE(link.queryControllerInfo(info));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(link.clearScreen());
    EXPECT_EQ(link.errorCode(), TcpChannel::ErrorConnectionReset);
    EXPECT_EQ(link.errorText(), QStringLiteral("与网络转换器的连接已断开。"));
    // Well inside the 900 ms reply time-out plus margin for a loaded machine.
    EXPECT_LT(clock.elapsed(), 5000);
    // Nobody listens any more: the next open is refused.
    link.close();
    EXPECT_FALSE(link.ensureOpen());
    EXPECT_EQ(link.errorCode(), TcpChannel::ErrorConnectionRefused);
}

TEST(TcpChannel, RefusedPortGivesItsCodeAndText)
{
    // A port that was free a moment ago: nothing listens there.
    quint16 port = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        port = server.serverPort();
    }
    PortNaming::setExplicitDevices({QStringLiteral("tcp://127.0.0.1:%1").arg(port)});
    ControllerLink link;
    EXPECT_FALSE(link.configure(1, 900, 57600, 512));
    EXPECT_EQ(link.errorCode(), TcpChannel::ErrorConnectionRefused);
    EXPECT_FALSE(link.errorText().isEmpty());
    PortNaming::setExplicitDevices({QStringLiteral("tcp://127.0.0.1")});
    EXPECT_FALSE(link.configure(1, 900, 57600, 512));
    EXPECT_EQ(link.errorCode(), TcpChannel::ErrorInvalidName);
    PortNaming::setExplicitDevices({});
}

TEST(TcpChannel, Names)
{
    struct Case {
        const char *name;
        const char *host; // nullptr: not a valid name
        int port;
    };
    const Case cases[] = {
        {"tcp://127.0.0.1:4001", "127.0.0.1", 4001},
        {"TCP://localhost:1", "localhost", 1},
        {"tcp://[::1]:65535", "::1", 65535},
        {"tcp://127.0.0.1:4001/", "127.0.0.1", 4001},
        {"tcp://127.0.0.1", nullptr, 0},
        {"tcp://127.0.0.1:0", nullptr, 0},
        {"tcp://127.0.0.1:65536", nullptr, 0},
        {"tcp://:4001", nullptr, 0},
        {"tcp://user@host:4001", nullptr, 0},
        {"tcp://host:4001/path", nullptr, 0},
        {"/dev/ttyUSB0", nullptr, 0},
    };
    for (const Case &c : cases) {
        const auto address = TcpChannel::parseName(QString::fromUtf8(c.name));
        EXPECT_EQ(address.has_value(), c.host != nullptr) << c.name;
        if (address && c.host) {
            EXPECT_EQ(address->host, QString::fromUtf8(c.host)) << c.name;
            EXPECT_EQ(address->port, c.port) << c.name;
        }
    }
}

TEST(TcpChannel, FailureTable)
{
    // Each failure the user can meet has its own code and a text of its own.
    const QAbstractSocket::SocketError errors[] = {
        QAbstractSocket::ConnectionRefusedError, QAbstractSocket::HostNotFoundError,
        QAbstractSocket::SocketTimeoutError, QAbstractSocket::NetworkError,
        QAbstractSocket::RemoteHostClosedError};
    const int codes[] = {TcpChannel::ErrorConnectionRefused, TcpChannel::ErrorHostNotFound,
                         TcpChannel::ErrorTimedOut, TcpChannel::ErrorHostUnreachable,
                         TcpChannel::ErrorConnectionReset};
    QStringList texts;
    for (size_t i = 0; i < std::size(errors); ++i) {
        const TcpChannel::Failure f = TcpChannel::failureFor(errors[i]);
        EXPECT_EQ(f.code, codes[i]);
        EXPECT_FALSE(texts.contains(f.text)) << f.text.toStdString();
        texts << f.text;
    }
}
