#include "link/TcpChannel.h"

#include "link/LinkError.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>

namespace {

// What a converter may send unasked before the link reads it is bounded:
// Qt reads at most this much ahead into its own buffer.
constexpr qint64 ReadBufferBytes = 64 * 1024;
// purgeReceive reads the kernel's buffer at most this many times over.
constexpr int PurgeRounds = 16;

QString droppedText()
{
    return QCoreApplication::translate("TcpChannel", "与网络转换器的连接已断开。");
}

} // namespace

std::optional<TcpChannel::Address> TcpChannel::parseName(const QString &name)
{
    if (!ByteChannel::isNetworkName(name))
        return std::nullopt;
    const QUrl url(name.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() < 1 || url.port() > 65535 ||
        !url.userInfo().isEmpty() || !(url.path().isEmpty() || url.path() == u"/") ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return Address{url.host(), quint16(url.port())};
}

TcpChannel::Failure TcpChannel::failureFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return {ErrorConnectionRefused,
                QCoreApplication::translate("TcpChannel", "网络转换器拒绝连接，请检查地址和端口是否正确。")};
    case QAbstractSocket::HostNotFoundError:
        return {ErrorHostNotFound, QCoreApplication::translate("TcpChannel", "找不到网络转换器的主机名。")};
    case QAbstractSocket::SocketTimeoutError:
        return {ErrorTimedOut, QCoreApplication::translate("TcpChannel", "连接网络转换器超时，请检查网络连接。")};
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::SocketAccessError:
        return {ErrorHostUnreachable, QCoreApplication::translate("TcpChannel", "无法连接到网络转换器，请检查网络连接。")};
    case QAbstractSocket::RemoteHostClosedError:
        return {ErrorConnectionReset, droppedText()};
    default:
        break;
    }
    return {ErrorGenFailure, QCoreApplication::translate("TcpChannel", "网络通讯时发生未知错误。")};
}

TcpChannel::TcpChannel(LinkError &error, const QString &name) : m_error(error), m_name(name)
{
}

TcpChannel::~TcpChannel()
{
    close();
}

bool TcpChannel::isOpen() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void TcpChannel::noteFailure(QAbstractSocket::SocketError error)
{
    m_lastFailure = failureFor(error);
}

bool TcpChannel::open()
{
    if (isOpen())
        return false;
    close();
    const auto address = parseName(m_name);
    if (!address) {
        m_error.set(ErrorInvalidName, QCoreApplication::translate("TcpChannel", "网络端口名称无效，应为 tcp://主机:端口。"));
        return false;
    }
    auto socket = std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(ReadBufferBytes);
    // The host lookup is part of the wait: a name that does not resolve in
    // time counts as a time-out.
    socket->connectToHost(address->host, address->port);
    if (!socket->waitForConnected(ConnectTimeoutMs)) {
        const Failure failure = failureFor(socket->error());
        m_error.set(failure.code, failure.text);
        socket->abort();
        return false;
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket = std::move(socket);
    m_lastFailure = {};
    return true;
}

void TcpChannel::close()
{
    if (m_socket) {
        m_socket->abort();
        m_socket.reset();
    }
}

void TcpChannel::purgeReceive()
{
    if (!isOpen())
        return;
    // Bytes still in the kernel are fetched with a zero wait and thrown
    // away with those Qt has buffered already.
    m_socket->readAll();
    for (int round = 0; round < PurgeRounds && m_socket->waitForReadyRead(0); ++round)
        m_socket->readAll();
}

int TcpChannel::write(const uint8_t *data, int n)
{
    if (!isOpen()) {
        noteFailure(QAbstractSocket::RemoteHostClosedError);
        return -1;
    }
    if (m_socket->write(reinterpret_cast<const char *>(data), n) != n) {
        noteFailure(m_socket->error());
        return -1;
    }
    // The serial port's write time-out: 3 ms per byte plus 100 ms.
    QDeadlineTimer deadline(3 * n + 100);
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            noteFailure(deadline.hasExpired() ? QAbstractSocket::SocketTimeoutError
                                              : m_socket->error());
            return -1;
        }
    }
    return n;
}

TcpChannel::ReadResult TcpChannel::readByte(uint8_t &byte, int maxWaitMs)
{
    if (!m_socket) {
        noteFailure(QAbstractSocket::RemoteHostClosedError);
        return ReadResult::Failed;
    }
    if (m_socket->bytesAvailable() == 0) {
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            noteFailure(QAbstractSocket::RemoteHostClosedError);
            return ReadResult::Failed;
        }
        const int wait = std::clamp(maxWaitMs, 0, ReadIntervalMs);
        if (!m_socket->waitForReadyRead(wait)) {
            if (m_socket->state() == QAbstractSocket::ConnectedState &&
                (m_socket->error() == QAbstractSocket::SocketTimeoutError ||
                 m_socket->error() == QAbstractSocket::UnknownSocketError))
                return ReadResult::NoByte;
            // The converter closed the connection, or the network went away.
            const auto error = m_socket->error();
            noteFailure(error == QAbstractSocket::SocketTimeoutError ||
                                error == QAbstractSocket::UnknownSocketError
                            ? QAbstractSocket::RemoteHostClosedError
                            : error);
            return ReadResult::Failed;
        }
        if (m_socket->bytesAvailable() == 0)
            return ReadResult::NoByte;
    }
    char c = 0;
    if (m_socket->read(&c, 1) != 1) {
        noteFailure(m_socket->error());
        return ReadResult::Failed;
    }
    byte = uint8_t(c);
    return ReadResult::Byte;
}

QString TcpChannel::readFailureText() const
{
    return m_lastFailure.code == ErrorConnectionReset
               ? m_lastFailure.text
               : QCoreApplication::translate("TcpChannel", "从网络转换器读取数据时发生错误！");
}

QString TcpChannel::writeFailureText() const
{
    return m_lastFailure.code == ErrorConnectionReset
               ? m_lastFailure.text
               : QCoreApplication::translate("TcpChannel", "向网络转换器发送数据时发生错误！");
}
