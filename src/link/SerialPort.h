#pragma once
// The byte channel to the card: one serial device chosen by port number
// (see PortNaming), opened exclusively at the configured rate, 8 data bits,
// no parity, one stop bit, no flow control; written in blocks and read one
// byte at a time. Used synchronously on the user-interface thread. Owned by
// the ControllerLink, whose error record it writes into.
//
// Error codes are the Windows codes the program has always shown, whatever
// the platform: 2 for a missing device, 5 for access denied, and for other
// failures the nearest Windows code of the failed operation (see
// systemErrorCode in the .cpp).

#include <QString>
#include <cstdint>
#include <memory>

class QSerialPort;
struct LinkError;

class SerialPort {
public:
    enum class ReadResult { Byte, NoByte, Failed };

    // Longest wait of one single-byte read for a byte to arrive.
    static constexpr int ReadIntervalMs = 50;

    explicit SerialPort(LinkError &error);
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    // The device behind the number is looked up once, at the next open, and
    // kept until the number is set again (so port n stays the same device
    // while adapters come and go).
    void setPortNumber(int port)
    {
        m_portNumber = port;
        m_resolved = false;
    }
    int portNumber() const { return m_portNumber; }
    void setBaudRate(int baud) { m_baudRate = baud; }
    int baudRate() const { return m_baudRate; }
    // The device path of the open port (empty when closed).
    QString devicePath() const { return m_devicePath; }

    bool isOpen() const;
    // Opens and configures the device of the stored port number. False when
    // already open (nothing recorded) or on failure (error recorded).
    bool open();
    void close();

    // Discards whatever has been received and not read yet.
    void purgeReceive();
    // Writes one block; the count written, or -1 with lastSystemError set.
    int write(const uint8_t *data, int n);
    // Waits at most min(maxWaitMs, ReadIntervalMs) for one byte.
    ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs);

    // The code of the last failed system operation since the port was
    // opened (0 when none failed; read time-outs do not count).
    int lastSystemError() const { return m_lastSystemError; }

private:
    void noteFailure();

    LinkError &m_error;
    std::unique_ptr<QSerialPort> m_port;
    int m_portNumber = 0;
    int m_baudRate = 0;
    int m_lastSystemError = 0;
    bool m_resolved = false;
    QString m_device;     // what the port number names
    QString m_devicePath; // the device while open
};
