#pragma once
// The byte channel over a TCP connection to a serial-to-network converter
// (a box that passes bytes through to the card's serial line), named
// "tcp://HOST:PORT" ("tcp://[::1]:PORT" for IPv6). QTcpSocket used
// synchronously, without an event loop, on the thread that owns the link;
// Nagle's algorithm off, so a request leaves as soon as it is written.
// Connecting (host lookup included) gives up after ConnectTimeoutMs.
//
// Error codes are the Windows socket codes of the failure (WSAECONNREFUSED
// and so on), in line with the serial port's Windows codes.

#include "link/ByteChannel.h"

#include <QAbstractSocket>
#include <QString>
#include <memory>
#include <optional>

class QTcpSocket;

class TcpChannel : public ByteChannel {
public:
    static constexpr int ConnectTimeoutMs = 3000;
    // Windows codes of the failures.
    static constexpr int ErrorInvalidName = 123;
    static constexpr int ErrorGenFailure = 31;
    static constexpr int ErrorConnectionReset = 10054;
    static constexpr int ErrorTimedOut = 10060;
    static constexpr int ErrorConnectionRefused = 10061;
    static constexpr int ErrorHostUnreachable = 10065;
    static constexpr int ErrorHostNotFound = 11001;

    struct Address {
        QString host;
        quint16 port = 0;
    };
    // The host and port of a "tcp://HOST:PORT" name; nothing when the name
    // is not one (no host, a port outside 1..65535, a path or user part).
    static std::optional<Address> parseName(const QString &name);

    struct Failure {
        int code = 0;
        QString text;
    };
    // The code and text for a socket error, the same table for connecting,
    // writing and reading.
    static Failure failureFor(QAbstractSocket::SocketError error);

    TcpChannel(LinkError &error, const QString &name);
    ~TcpChannel() override;
    TcpChannel(const TcpChannel &) = delete;
    TcpChannel &operator=(const TcpChannel &) = delete;

    bool isOpen() const override;
    bool open() override;
    void close() override;
    void purgeReceive() override;
    int write(const uint8_t *data, int n) override;
    ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs) override;
    int lastSystemError() const override { return m_lastFailure.code; }
    QString readFailureText() const override;
    QString writeFailureText() const override;

private:
    void noteFailure(QAbstractSocket::SocketError error);

    LinkError &m_error;
    QString m_name;
    std::unique_ptr<QTcpSocket> m_socket;
    Failure m_lastFailure;
};
