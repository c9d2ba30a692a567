#include "link/SerialPort.h"

#include "link/LinkError.h"
#include "link/Protocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSerialPort>
#include <algorithm>

namespace {

// Windows codes for the failures QSerialPort reports.
constexpr int ErrorFileNotFound = Protocol::ErrorCode::DeviceNotFound;
constexpr int ErrorAccessDenied = Protocol::ErrorCode::AccessDenied;
constexpr int ErrorNotSupported = 50;
constexpr int ErrorGenFailure = 31;
constexpr int ErrorOpenFailed = 110;
constexpr int ErrorIoDevice = 1117;
constexpr int ErrorDeviceNotConnected = 1167;
constexpr int ErrorTimeout = 1460;

int systemErrorCode(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return 0;
    case QSerialPort::DeviceNotFoundError:
        return ErrorFileNotFound;
    case QSerialPort::PermissionError:
        return ErrorAccessDenied;
    case QSerialPort::OpenError:
        return ErrorOpenFailed;
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
        return ErrorIoDevice;
    case QSerialPort::ResourceError:
        return ErrorDeviceNotConnected;
    case QSerialPort::UnsupportedOperationError:
        return ErrorNotSupported;
    case QSerialPort::TimeoutError:
        return ErrorTimeout;
    case QSerialPort::NotOpenError:
    case QSerialPort::UnknownError:
        break;
    }
    return ErrorGenFailure;
}

} // namespace

QString SerialPort::openFailureText(int code)
{
    if (code == ErrorFileNotFound)
        return QCoreApplication::translate("SerialPort", "指定的串口不存在。");
    if (code == ErrorAccessDenied) {
        QString text = QCoreApplication::translate("SerialPort", "对指定串口的访问被拒绝，可能已经被别的程序打开。");
#ifdef Q_OS_LINUX
        text += QCoreApplication::translate("SerialPort", "（Linux 上还需当前用户属于 dialout 组：sudo usermod -aG dialout "
                               "$USER，然后重新登录。）");
#endif
        return text;
    }
    return QCoreApplication::translate("SerialPort", "打开串口时发生未知错误。");
}

SerialPort::SerialPort(LinkError &error, const QString &device, int baud)
    : m_error(error), m_device(device), m_baudRate(baud)
{
}

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::isOpen() const
{
    return m_port && m_port->isOpen();
}

void SerialPort::noteFailure()
{
    m_lastSystemError = systemErrorCode(m_port->error());
}

bool SerialPort::open()
{
    if (isOpen())
        return false;
    const QString device = m_device;
    if (device.isEmpty()) {
        m_error.set(ErrorFileNotFound, openFailureText(ErrorFileNotFound));
        return false;
    }

    // QSerialPort opens exclusively (lock file and TIOCEXCL on Unix, no
    // sharing on Windows).
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(device);
    if (!port->open(QIODevice::ReadWrite)) {
        const int code = systemErrorCode(port->error());
        m_error.set(code, openFailureText(code));
        return false;
    }

    const bool configured =
        port->setBaudRate(m_baudRate) && port->setDataBits(QSerialPort::Data8) &&
        port->setParity(QSerialPort::NoParity) && port->setStopBits(QSerialPort::OneStop) &&
        port->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        // The line-setting failure is recorded first, then replaced by the
        // text callers rely on; the half-configured port is closed again.
        m_error.set(systemErrorCode(port->error()) + Protocol::ErrorCode::WriteFailedBase,
                    lineSettingsFailureText());
        m_error.set(0, configureFailureText());
        port->close();
        return false;
    }

    m_port = std::move(port);
    m_lastSystemError = 0;
    return true;
}

void SerialPort::close()
{
    if (m_port) {
        m_port->close();
        m_port.reset();
    }
}

void SerialPort::purgeReceive()
{
    if (!isOpen())
        return;
    // Bytes already in the kernel but not yet in QSerialPort's buffer are
    // flushed by the driver; the buffer itself is emptied by clear().
    m_port->clear(QSerialPort::Input);
    m_port->clearError();
}

int SerialPort::write(const uint8_t *data, int n)
{
    if (!isOpen()) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return -1;
    }
    if (m_port->write(reinterpret_cast<const char *>(data), n) != n) {
        noteFailure();
        return -1;
    }
    // Write time-out: 3 ms per byte plus 100 ms. A block that cannot leave
    // in that time counts as failed: resending it would duplicate bytes
    // still waiting in the queue.
    QDeadlineTimer deadline(3 * n + 100);
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(int(deadline.remainingTime()))) {
            if (m_port->error() == QSerialPort::TimeoutError || deadline.hasExpired())
                m_lastSystemError = ErrorTimeout;
            else
                noteFailure();
            m_port->clear(QSerialPort::Output);
            return -1;
        }
    }
    return n;
}

SerialPort::ReadResult SerialPort::readByte(uint8_t &byte, int maxWaitMs)
{
    if (!isOpen()) {
        m_lastSystemError = ErrorDeviceNotConnected;
        return ReadResult::Failed;
    }
    if (m_port->bytesAvailable() == 0) {
        const int wait = std::clamp(maxWaitMs, 0, ReadIntervalMs);
        if (!m_port->waitForReadyRead(wait)) {
            if (m_port->error() == QSerialPort::TimeoutError ||
                m_port->error() == QSerialPort::NoError) {
                m_port->clearError();
                return ReadResult::NoByte;
            }
            // A device that went away (a dropped line, an unplugged
            // adapter) ends up here at once instead of timing out.
            noteFailure();
            return ReadResult::Failed;
        }
        if (m_port->bytesAvailable() == 0)
            return ReadResult::NoByte;
    }
    char c = 0;
    if (m_port->read(&c, 1) != 1) {
        noteFailure();
        return ReadResult::Failed;
    }
    byte = uint8_t(c);
    return ReadResult::Byte;
}
