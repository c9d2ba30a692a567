#pragma once
// The byte channel over one serial device (a path, or "COMn" on Windows),
// opened exclusively at the given rate, 8 data bits, no parity, one stop
// bit, no flow control; written in blocks and read one byte at a time. Used
// synchronously on the thread that owns the link. Owned by the link's
// PortChannel; writes into the link's error record.
//
// Error codes are the Windows codes the program has always shown, whatever
// the platform: 2 for a missing device, 5 for access denied, and for other
// failures the nearest Windows code of the failed operation (see
// systemErrorCode in the .cpp).

#include "link/ByteChannel.h"

#include <QString>
#include <cstdint>
#include <memory>

class QSerialPort;
struct LinkError;

class SerialPort : public ByteChannel {
public:
    SerialPort(LinkError &error, const QString &device, int baud);
    ~SerialPort() override;
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    QString device() const { return m_device; }
    int baudRate() const { return m_baudRate; }

    bool isOpen() const override;
    bool open() override;
    void close() override;
    void purgeReceive() override;
    int write(const uint8_t *data, int n) override;
    ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs) override;
    int lastSystemError() const override { return m_lastSystemError; }
    QString readFailureText() const override { return readErrorText(); }
    QString writeFailureText() const override { return writeErrorText(); }

    static QString readErrorText() { return QStringLiteral("从串口读取数据时发生错误！"); }
    static QString writeErrorText() { return QStringLiteral("向串口写入数据时发生错误！"); }
    // The texts of a failed open, shared with the Windows channel: by the
    // Windows code (2 missing, 5 access denied, any other), and the two of
    // a port that would not take its line settings (the first is recorded
    // with the code + 200, then replaced by the second with code 0).
    static QString openFailureText(int code);
    static QString lineSettingsFailureText()
    {
        return QStringLiteral("初始化串口失败，如果是USB串口，请拔出USB重新插！");
    }
    static QString configureFailureText() { return QStringLiteral("初始化串口时发生错误。"); }

private:
    void noteFailure();

    LinkError &m_error;
    std::unique_ptr<QSerialPort> m_port;
    QString m_device;
    int m_baudRate = 0;
    int m_lastSystemError = 0;
};
