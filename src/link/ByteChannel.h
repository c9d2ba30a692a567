#pragma once
// The byte channel under the ControllerLink: what the link needs of a line
// to the card (open, close, purge what was received, write a block, read one
// byte with a wait). A serial device (SerialPort; WinSerialPort on Windows)
// and a TCP connection to a serial-to-network converter (TcpChannel)
// implement it; forName() picks one by the port name. A channel writes the
// reason of a failed open into the link's error record; failed reads and
// writes leave a code in lastSystemError() and their text in
// readFailureText()/writeFailureText().
// Owned by the link's PortChannel, used from one thread at a time.

#include <QString>
#include <cstdint>
#include <memory>

struct LinkError;

class ByteChannel {
public:
    enum class ReadResult { Byte, NoByte, Failed };

    // Longest wait of one single-byte read for a byte to arrive.
    static constexpr int ReadIntervalMs = 50;

    virtual ~ByteChannel() = default;

    virtual bool isOpen() const = 0;
    // False when already open (nothing recorded) or on failure (error
    // recorded).
    virtual bool open() = 0;
    virtual void close() = 0;
    // Discards whatever has been received and not read yet.
    virtual void purgeReceive() = 0;
    // Writes one block; the count written, or -1 with lastSystemError set.
    virtual int write(const uint8_t *data, int n) = 0;
    // Waits at most min(maxWaitMs, ReadIntervalMs) for one byte.
    virtual ReadResult readByte(uint8_t &byte, int maxWaitMs = ReadIntervalMs) = 0;
    // The code of the last failed system operation since the channel was
    // opened (0 when none failed; read time-outs do not count).
    virtual int lastSystemError() const = 0;
    // What the link reports for a failed read or write.
    virtual QString readFailureText() const = 0;
    virtual QString writeFailureText() const = 0;

    // "tcp://HOST:PORT" gives a TcpChannel, anything else a SerialPort on
    // that device at `baud` (a WinSerialPort on Windows).
    static std::unique_ptr<ByteChannel> forName(const QString &name, int baud, LinkError &error);
    static bool isNetworkName(const QString &name);
};
