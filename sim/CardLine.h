#pragma once
// The virtual card's end of its line, as VirtualCard's thread uses it. On
// POSIX systems a pseudo-terminal: device() is the path the program opens
// like a serial port. On Windows, which has no pseudo-terminals, a TCP
// listener on 127.0.0.1: device() is "tcp://127.0.0.1:PORT" and one
// connection at a time is the line (a converter in front of the card).
// Owned by VirtualCard: open() and close() from its owner's thread, wait(),
// read() and write() from the card's thread, wake() from any thread, each
// under VirtualCard's lock except wait(), read() and write().

#include <QString>
#include <QtGlobal>
#include <memory>

class CardLine {
public:
    CardLine();
    ~CardLine();
    CardLine(const CardLine &) = delete;
    CardLine &operator=(const CardLine &) = delete;

    // Opens the line and the wake-up channel; false with *error.
    bool open(QString *error);
    // Closes the line (the program sees it hang up); the wake-up channel
    // stays until close().
    void closeLine();
    void close();
    bool isOpen() const;
    QString device() const;

    // Sleeps until bytes arrive, the line takes bytes again (wantWrite),
    // wake() is called, or waitUs (-1: no limit) passed. 1 when bytes are
    // there to read, 0 otherwise, -1 when waiting failed.
    int wait(qint64 waitUs, bool wantWrite);
    // Bytes read (0: none now).
    qint64 read(char *data, qint64 max);
    // Bytes the line took (0: none now, try again later); -1 when nobody
    // can take them.
    qint64 write(const char *data, qint64 n);
    void wake();

private:
    struct Handles;
    std::unique_ptr<Handles> m;
};
