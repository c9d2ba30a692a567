// Built on Windows only; see WinSerialPort.h for why it exists.
#ifdef _WIN32

#include "link/WinSerialPort.h"

#include "link/LinkError.h"
#include "link/PortNaming.h"
#include "link/Protocol.h"
#include "link/SerialPort.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int ErrorTimeout = 1460;            // ERROR_TIMEOUT: a block did not leave in time
constexpr int ErrorDeviceNotConnected = 1167; // ERROR_DEVICE_NOT_CONNECTED: not open

// Line time-outs in milliseconds. A one-byte read waits for its byte at
// most ReadTotalTimeoutConstant + 1 x ReadTotalTimeoutMultiplier; a write
// of n bytes gets 3 ms per byte plus 100 ms.
constexpr DWORD ReadIntervalTimeoutMs = 50;
constexpr DWORD ReadTotalMultiplierMs = 1;
constexpr DWORD ReadTotalConstantMs = 50;
constexpr DWORD WriteTotalMultiplierMs = 3;
constexpr DWORD WriteTotalConstantMs = 100;

// Transmit queue empty and line errors.
constexpr DWORD EventMask = EV_TXEMPTY | EV_ERR;

HANDLE handleOf(void *h)
{
    return static_cast<HANDLE>(h);
}

int lastError()
{
    return int(GetLastError());
}

} // namespace

WinSerialPort::WinSerialPort(LinkError &error, const QString &device, int baud)
    : m_error(error), m_device(device), m_baudRate(baud)
{
}

WinSerialPort::~WinSerialPort()
{
    close();
}

QString WinSerialPort::devicePath(const QString &device)
{
    if (PortNaming::comNumber(device) > 0)
        return QStringLiteral("\\\\.\\") + device;
    return device;
}

bool WinSerialPort::isOpen() const
{
    return m_handle != nullptr;
}

bool WinSerialPort::open()
{
    if (isOpen())
        return false;
    if (m_device.isEmpty()) {
        m_error.set(Protocol::ErrorCode::DeviceNotFound,
                    SerialPort::openFailureText(Protocol::ErrorCode::DeviceNotFound));
        return false;
    }

    // Read and write, no sharing (the port is ours alone), an existing
    // device only, synchronous I/O.
    const std::wstring path = devicePath(m_device).toStdWString();
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const int code = lastError();
        m_error.set(code, SerialPort::openFailureText(code));
        return false;
    }

    // 8 data bits, no parity, one stop bit; every other setting zero, so
    // neither XON/XOFF nor hardware handshake.
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    const std::wstring settings =
        QStringLiteral("baud=%1 parity=N data=8 stop=1").arg(m_baudRate).toStdWString();
    if (!BuildCommDCBW(settings.c_str(), &dcb) || !SetCommState(h, &dcb)) {
        m_error.set(lastError() + Protocol::ErrorCode::WriteFailedBase,
                    SerialPort::lineSettingsFailureText());
        m_error.set(0, SerialPort::configureFailureText());
        CloseHandle(h);
        return false;
    }

    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = ReadIntervalTimeoutMs;
    timeouts.ReadTotalTimeoutMultiplier = ReadTotalMultiplierMs;
    timeouts.ReadTotalTimeoutConstant = ReadTotalConstantMs;
    timeouts.WriteTotalTimeoutMultiplier = WriteTotalMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = WriteTotalConstantMs;
    if (!SetCommTimeouts(h, &timeouts)) {
        m_error.set(lastError() + Protocol::ErrorCode::WriteFailedBase,
                    SerialPort::configureFailureText());
        CloseHandle(h);
        return false;
    }
    // The event mask and the queue sizes are requests a driver may round
    // or ignore; the line works without them.
    SetCommMask(h, EventMask);
    SetupComm(h, InputQueueBytes, OutputQueueBytes);

    m_handle = h;
    m_readWaitMs = ReadIntervalMs;
    m_lastSystemError = 0;
    return true;
}

void WinSerialPort::close()
{
    if (m_handle) {
        CloseHandle(handleOf(m_handle));
        m_handle = nullptr;
    }
}

void WinSerialPort::purgeReceive()
{
    // Received bytes only; whatever is still going out is left alone.
    if (m_handle)
        PurgeComm(handleOf(m_handle), PURGE_RXCLEAR);
}

int WinSerialPort::write(const uint8_t *data, int n)
{
    if (!m_handle) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return -1;
    }
    DWORD written = 0;
    if (!WriteFile(handleOf(m_handle), data, DWORD(std::max(n, 0)), &written, nullptr)) {
        m_lastSystemError = lastError();
        return -1;
    }
    // The write time-out ended the block early: resending it would repeat
    // the bytes that did leave.
    if (int(written) != n) {
        m_lastSystemError = ErrorTimeout;
        return -1;
    }
    return n;
}

// The read time-out of the next ReadFile: the line's own (open) for a full
// wait, the constant alone for a shorter one near the reply's deadline, and
// "return at once" for no wait (all-zero time-outs would wait for ever).
bool WinSerialPort::setReadWait(int waitMs)
{
    if (waitMs == m_readWaitMs)
        return true;
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutMultiplier = WriteTotalMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = WriteTotalConstantMs;
    if (waitMs == 0) {
        timeouts.ReadIntervalTimeout = MAXDWORD;
    } else if (waitMs >= ReadIntervalMs) {
        timeouts.ReadIntervalTimeout = ReadIntervalTimeoutMs;
        timeouts.ReadTotalTimeoutMultiplier = ReadTotalMultiplierMs;
        timeouts.ReadTotalTimeoutConstant = ReadTotalConstantMs;
    } else {
        timeouts.ReadIntervalTimeout = ReadIntervalTimeoutMs;
        timeouts.ReadTotalTimeoutConstant = DWORD(waitMs);
    }
    if (!SetCommTimeouts(handleOf(m_handle), &timeouts)) {
        m_lastSystemError = lastError();
        m_readWaitMs = -1;
        return false;
    }
    m_readWaitMs = waitMs;
    return true;
}

WinSerialPort::ReadResult WinSerialPort::readByte(uint8_t &byte, int maxWaitMs)
{
    if (!m_handle) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return ReadResult::Failed;
    }
    if (!setReadWait(std::clamp(maxWaitMs, 0, int(ReadIntervalMs))))
        return ReadResult::Failed;
    // One byte per call: a reply is bounded by the reader, never by a
    // buffer here.
    unsigned char c = 0;
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), &c, 1, &got, nullptr)) {
        m_lastSystemError = lastError();
        return ReadResult::Failed;
    }
    if (got == 0)
        return ReadResult::NoByte;
    byte = c;
    return ReadResult::Byte;
}

QString WinSerialPort::readFailureText() const
{
    return SerialPort::readErrorText();
}

QString WinSerialPort::writeFailureText() const
{
    return SerialPort::writeErrorText();
}

#endif // _WIN32
