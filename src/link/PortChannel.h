#pragma once
// The port the ControllerLink talks through: a port number, resolved to a
// port name (see PortNaming) once at the next open and kept until the number
// is set again, so port n stays the same line while adapters come and go;
// and the ByteChannel that name gives (serial device or TCP converter),
// which it forwards every operation to. Owned by the ControllerLink.

#include "link/ByteChannel.h"

#include <QString>
#include <memory>

struct LinkError;

class PortChannel {
public:
    using ReadResult = ByteChannel::ReadResult;
    static constexpr int ReadIntervalMs = ByteChannel::ReadIntervalMs;

    explicit PortChannel(LinkError &error);
    ~PortChannel();
    PortChannel(const PortChannel &) = delete;
    PortChannel &operator=(const PortChannel &) = delete;

    void setPortNumber(int port);
    int portNumber() const { return m_portNumber; }
    void setBaudRate(int baud) { m_baudRate = baud; }
    int baudRate() const { return m_baudRate; }
    // The name of the open port (empty when closed).
    QString devicePath() const { return isOpen() ? m_name : QString(); }

    bool isOpen() const { return m_channel && m_channel->isOpen(); }
    // Opens the line of the stored port number. False when already open
    // (nothing recorded) or on failure (error recorded).
    bool open();
    void close();

    void purgeReceive();
    int write(const uint8_t *data, int n);
    ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs);
    int lastSystemError() const;
    QString readFailureText() const;
    QString writeFailureText() const;

private:
    LinkError &m_error;
    std::unique_ptr<ByteChannel> m_channel;
    int m_portNumber = 0;
    int m_baudRate = 0;
    int m_lastSystemError = 0; // while no channel exists
    bool m_resolved = false;
    QString m_name; // what the port number names
};
