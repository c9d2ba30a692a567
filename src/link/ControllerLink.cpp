#include "link/ControllerLink.h"

#include "link/ResponseReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstring>

ControllerLink::ControllerLink() = default;
ControllerLink::~ControllerLink() = default;

bool ControllerLink::configure(int port, int timeoutMs, int baud, int chunkSize)
{
    m_error.clear();
    // A port left open by an earlier configure (keep-open) is closed first:
    // opening it again would fail, and a new port number must not keep
    // talking to the old device.
    m_serial.close();
    if (port != m_serial.portNumber())
        m_match.forget();
    m_serial.setPortNumber(port);
    if (port == 0)
        return false;
    m_timeoutMs = timeoutMs;
    m_serial.setBaudRate(baud);
    m_chunkSize = chunkSize;
    const bool opened = m_serial.open();
    if (!m_keepOpen)
        m_serial.close();
    return opened;
}

int ControllerLink::beginRequest(uint16_t address, uint8_t command)
{
    m_send.fill(0);
    m_send[0] = Protocol::RequestStart;
    Packet::writeLe16(&m_send[Protocol::AddressOffset], address);
    m_send[Protocol::SequenceOffset] = m_sequence++;
    m_send[Protocol::CommandOffset] = command;
    m_requestLength = 0;
    return Protocol::PayloadOffset;
}

int ControllerLink::finishRequest(int length)
{
    length = std::max(length, Protocol::MinPayloadEnd);
    if (length > Protocol::MaxRequest - Protocol::TrailerSize) {
        m_requestLength = 0;
        return 0;
    }
    const int total = length + Protocol::TrailerSize;
    Packet::writeLe16(&m_send[Protocol::LengthOffset], uint16_t(total));
    Packet::writeLe16(&m_send[size_t(length)], byteSum16(m_send.data(), length));
    m_send[size_t(length) + 2] = 0x00;
    m_send[size_t(length) + 3] = Protocol::RequestEnd;
    m_requestLength = total;
    return total;
}

QByteArrayView ControllerLink::request() const
{
    return {reinterpret_cast<const char *>(m_send.data()), m_requestLength};
}

uint8_t ControllerLink::responseByte(int offset) const
{
    return offset >= 0 && offset < m_response.size() ? uint8_t(m_response[offset]) : 0;
}

bool ControllerLink::ensureOpen()
{
    if (m_serial.isOpen())
        return true;
    if (m_serial.portNumber() >= 1)
        return m_serial.open();
    m_error.set(0, QCoreApplication::translate("ControllerLink", "无法建立通讯，请先查找屏。"));
    return false;
}

bool ControllerLink::exchange(uint8_t command, QByteArrayView payload)
{
    if (payload.size() > Protocol::MaxPayload) {
        // Never sent: it would overrun the card's 1024-byte buffer.
        m_error.set(0, QCoreApplication::translate("ControllerLink", "发送的数据包太长！"));
        return false;
    }
    const int offset = beginRequest(Protocol::CardAddress, command);
    if (!payload.isEmpty())
        std::memcpy(&m_send[size_t(offset)], payload.data(), size_t(payload.size()));
    const int length = finishRequest(offset + int(payload.size()));
    return exchangeFrame(length) == Success;
}

uint16_t ControllerLink::exchangeFrame(int length)
{
    m_response.clear();
    if (length < Protocol::MinFrame || length > Protocol::MaxRequest) {
        m_error.set(0, QCoreApplication::translate("ControllerLink", "发送的数据包太长！"));
        return Failure;
    }
    waitOutGrace();
    const bool ok = ensureOpen() && send(length) && receiveResponse() && judgeStatus();
    if (!m_keepOpen)
        m_serial.close();
    return ok ? Success : Failure;
}

void ControllerLink::waitOutGrace()
{
    if (!m_sinceTimeout.isValid())
        return;
    const qint64 left = GraceAfterTimeoutMs - m_sinceTimeout.elapsed();
    m_sinceTimeout.invalidate();
    if (left > 0)
        QThread::msleep(uint64_t(left));
}

bool ControllerLink::send(int length)
{
    // Whatever arrived before this request (a reply that came after its
    // time-out, line noise) must not be taken for its answer.
    m_serial.purgeReceive();
    int sent = 0;
    while (sent < length) {
        const int block = std::min(length - sent, Protocol::WriteBlockSize);
        const int written = m_serial.write(&m_send[size_t(sent)], block);
        if (written < 0) {
            m_error.set(m_serial.lastSystemError() + Protocol::ErrorCode::WriteFailedBase,
                        m_serial.writeFailureText());
            m_serial.close();
            return false;
        }
        sent += written;
    }
    m_match.requestSent(QByteArrayView(m_send.data(), length));
    if (m_timeoutMs == 0) {
        QThread::msleep(50);
        m_error.set(Protocol::ErrorCode::ZeroTimeout,
                    QCoreApplication::translate("ControllerLink", "超时时间为0时无法接收终端返回。"));
        return false;
    }
    if (Packet::readLe16(&m_send[Protocol::AddressOffset]) == Protocol::BroadcastAddress) {
        m_error.set(Protocol::ErrorCode::BroadcastSent,
                    QCoreApplication::translate("ControllerLink", "信息已发出，广播信息无法接收终端回应。"));
        return false;
    }
    return true;
}

bool ControllerLink::receiveResponse()
{
    ResponseReader reader;
    QElapsedTimer clock;
    clock.start();
    m_response.clear();

    auto reject = [this](ResponseReader::Rejection rejection) {
        const int systemError = m_serial.lastSystemError();
        switch (rejection) {
        case ResponseReader::Rejection::TooLong:
            m_error.set(systemError, QCoreApplication::translate("ControllerLink", "终端返回包太长！"));
            break;
        case ResponseReader::Rejection::TooShort:
            m_error.set(systemError, QCoreApplication::translate("ControllerLink", "终端返回包太短！"));
            break;
        case ResponseReader::Rejection::BadEndMark:
            m_error.set(systemError, QCoreApplication::translate("ControllerLink", "终端返回包标记错误。"));
            break;
        case ResponseReader::Rejection::BadChecksum:
            m_error.set(0, QCoreApplication::translate("ControllerLink", "终端返回的结果校验码错误。"));
            break;
        case ResponseReader::Rejection::None:
            m_error.set(0, QCoreApplication::translate("ControllerLink", "通讯超时。"));
            break;
        }
        return false;
    };

    for (;;) {
        const qint64 elapsed = clock.elapsed();
        if (elapsed > m_timeoutMs) {
            m_sinceTimeout.start();
            return reject(reader.rejection());
        }
        // Never wait past the time-out by more than a millisecond.
        const int wait =
            int(std::min<qint64>(PortChannel::ReadIntervalMs, m_timeoutMs - elapsed + 1));
        uint8_t byte = 0;
        switch (m_serial.readByte(byte, wait)) {
        case PortChannel::ReadResult::Failed:
            m_error.set(m_serial.lastSystemError(), m_serial.readFailureText());
            return false;
        case PortChannel::ReadResult::NoByte:
            // A card sends its reply in one go: once the line is quiet after
            // a rejected frame, no good one is coming.
            if (reader.rejection() != ResponseReader::Rejection::None && !reader.inFrame())
                return reject(reader.rejection());
            continue;
        case PortChannel::ReadResult::Byte:
            break;
        }
        if (reader.feed(byte) == ResponseReader::Result::Complete) {
            if (!m_match.accepts(request(), reader.frame())) {
                reader.reset(); // stale: the answer may still come
                continue;
            }
            m_response = reader.frame();
            return true;
        }
    }
}

bool ControllerLink::judgeStatus()
{
    const int status = responseByte(Protocol::CommandOffset);
    if (status != Protocol::StatusOk) {
        m_error.setCardStatus(status, Packet::statusText(status));
        return false;
    }
    if (m_response.size() != Protocol::MinFrame) {
        m_error.set(0, QCoreApplication::translate("ControllerLink", "终端返回包长度错误。"));
        return false;
    }
    return true;
}
