#include "link/PortChannel.h"

#include "link/LinkError.h"
#include "link/PortNaming.h"
#include "link/Protocol.h"
#include "link/SerialPort.h"

#include <QCoreApplication>

namespace {
// Windows code of a missing device, and of a line that is not open.
constexpr int ErrorFileNotFound = Protocol::ErrorCode::DeviceNotFound;
constexpr int ErrorDeviceNotConnected = 1167;
} // namespace

PortChannel::PortChannel(LinkError &error) : m_error(error)
{
}

PortChannel::~PortChannel()
{
    close();
}

void PortChannel::setPortNumber(int port)
{
    close();
    m_portNumber = port;
    m_resolved = false;
    m_channel.reset();
}

bool PortChannel::open()
{
    if (isOpen())
        return false;
    if (m_portNumber == 0) {
        m_error.set(0, QCoreApplication::translate("PortChannel", "尚未初始化环境。"));
        return false;
    }
    if (!m_resolved) {
        m_name = PortNaming::deviceForPort(m_portNumber);
        m_resolved = true;
        m_channel.reset();
    }
    if (m_name.isEmpty()) {
        m_error.set(ErrorFileNotFound, SerialPort::openFailureText(ErrorFileNotFound));
        return false;
    }
    // A new channel for every open: the baud rate may have changed, and a
    // channel never carries state from one connection into the next.
    m_channel = ByteChannel::forName(m_name, m_baudRate, m_error);
    return m_channel->open();
}

void PortChannel::close()
{
    if (m_channel)
        m_channel->close();
}

void PortChannel::purgeReceive()
{
    if (m_channel)
        m_channel->purgeReceive();
}

int PortChannel::write(const uint8_t *data, int n)
{
    if (!m_channel) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return -1;
    }
    return m_channel->write(data, n);
}

PortChannel::ReadResult PortChannel::readByte(uint8_t &byte, int maxWaitMs)
{
    if (!m_channel) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return ReadResult::Failed;
    }
    return m_channel->readByte(byte, maxWaitMs);
}

int PortChannel::lastSystemError() const
{
    return m_channel ? m_channel->lastSystemError() : m_lastSystemError;
}

QString PortChannel::readFailureText() const
{
    return m_channel ? m_channel->readFailureText() : SerialPort::readErrorText();
}

QString PortChannel::writeFailureText() const
{
    return m_channel ? m_channel->writeFailureText() : SerialPort::writeErrorText();
}
