#pragma once
// The byte channel over a Windows COM port on the synchronous Win32
// communications calls: CreateFileW on "\\.\COMn" (exclusive, not
// overlapped), BuildCommDCBW/SetCommState for 8N1 without flow control,
// SetCommTimeouts, SetCommMask, SetupComm, PurgeComm, WriteFile, ReadFile.
// ByteChannel::forName gives it for serial names on Windows; SerialPort
// (QSerialPort) serves the other platforms. Used synchronously on the thread
// that owns the link; owned by the link's PortChannel, writes into the
// link's error record. Error codes are GetLastError()'s.
//
// Why not QSerialPort on Windows: its reads wait for WaitCommEvent
// completions on an I/O completion port. Under Wine 8.0 such a
// WaitCommEvent returns at once without an event and posts no completion,
// so a QSerialPort opened COM1 and wrote the request but never saw the
// card's reply. The synchronous calls below carried every request and
// reply there, and a read with nothing coming ended on its time-out
// (909 ms measured for a 900 ms time-out), so this channel is also one we
// can test from Linux.

#include "link/ByteChannel.h"

#include <QString>
#include <cstdint>

struct LinkError;

class WinSerialPort : public ByteChannel {
public:
    // The driver queues asked for at open.
    static constexpr int InputQueueBytes = 128;
    static constexpr int OutputQueueBytes = 512;

    WinSerialPort(LinkError &error, const QString &device, int baud);
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort &) = delete;
    WinSerialPort &operator=(const WinSerialPort &) = delete;

    // "\\.\COMn" for "COMn" (needed from COM10 on); other names unchanged.
    static QString devicePath(const QString &device);

    bool isOpen() const override;
    bool open() override;
    void close() override;
    void purgeReceive() override;
    int write(const uint8_t *data, int n) override;
    ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs) override;
    int lastSystemError() const override { return m_lastSystemError; }
    QString readFailureText() const override;
    QString writeFailureText() const override;

private:
    bool setReadWait(int waitMs);

    LinkError &m_error;
    QString m_device;
    int m_baudRate = 0;
    void *m_handle = nullptr; // HANDLE; null when closed
    int m_readWaitMs = -1;    // the read time-out the driver holds now
    int m_lastSystemError = 0;
};
