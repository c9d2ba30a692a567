#pragma once
// The one request/response link to the card over a PortChannel (a serial
// device or a TCP converter, see ByteChannel): frames each
// request (start mark, length, address, sequence number, command, payload,
// checksum, end mark), sends it, reads and validates the one reply, and
// turns its status byte into success or an error record (code and text).
// Owned by a card session; used from one thread at a time (the user-interface
// thread, or a command-line worker serving one sign).
//
// A command is: beginRequest(address, code), payload into requestData()
// from offset 16, finishRequest(end of payload), exchangeFrame(L); or, for
// address 1, simply exchange(code, payload). After a success the reply frame
// is in response(), its data from offset 16.
//
// Stale replies: what is waiting on the line is purged before each request;
// after a time-out the next request waits out a short grace period first
// (a reply that was only a little late arrives in it and is purged); and a
// card that echoes the sequence number (learnt at identification, see
// ReplyMatch) has replies with another number discarded while the wait goes
// on. The bytes sent are the same either way.

#include "link/LinkError.h"
#include "link/Packet.h"
#include "link/PortChannel.h"
#include "link/ReplyMatch.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QString>
#include <array>
#include <cstdint>

class QDateTime;
struct ControllerInfo;
struct ScreenParams;

class ControllerLink {
public:
    // How long the request after a time-out waits before it goes out.
    static constexpr int GraceAfterTimeoutMs = 250;
    // The result of exchangeFrame.
    static constexpr uint16_t Success = 0xFFFF;
    static constexpr uint16_t Failure = 0;

    ControllerLink();
    ~ControllerLink();
    ControllerLink(const ControllerLink &) = delete;
    ControllerLink &operator=(const ControllerLink &) = delete;

    // Clears the error record and closes any open port, then stores the
    // port number; unless it is 0, stores the other values and opens the
    // port (closing it again at once when keep-open is off). Port 0 returns
    // false without an error text.
    bool configure(int port, int timeoutMs, int baud, int chunkSize);
    void setKeepOpen(bool keepOpen) { m_keepOpen = keepOpen; }
    bool keepOpen() const { return m_keepOpen; }

    // ---- framing
    // Clears the send buffer, writes offsets 0..15 (the length comes later),
    // takes the sequence number and returns 16, where the payload starts.
    int beginRequest(uint16_t address, uint8_t command);
    // The send buffer (MaxRequest bytes) for the payload.
    uint8_t *requestData() { return m_send.data(); }
    // `length` is the offset just past the payload (raised to 48): writes
    // the length field, checksum, 0x00 and 0x50; returns the frame length
    // L = length + 4, or 0 when the payload does not fit the buffer.
    int finishRequest(int length);
    // The request frame built last (L bytes).
    QByteArrayView request() const;

    // ---- exchanges
    // Sends the L-byte request in the send buffer and waits for the reply:
    // Success (0xFFFF) or Failure (0) with the error record set. Closes the
    // port afterwards unless keep-open is on, whatever the outcome.
    uint16_t exchangeFrame(int length);
    // Command to address 1 with a payload of up to MaxPayload bytes from
    // offset 16 (upload packets included).
    bool exchange(uint8_t command, QByteArrayView payload = {});
    bool ensureOpen();
    bool receiveResponse();
    // The last reply frame (its data from offset 16 after a success).
    const QByteArray &response() const { return m_response; }
    // Reply byte at `offset` of the last response, 0 beyond its end.
    uint8_t responseByte(int offset) const;

    // ---- the command set (address 1); reply data only on success
    bool sendDataChunk(int pageNumber, int offset, QByteArrayView data);   // 0x02
    bool sendPageHead(QByteArrayView header33, QByteArrayView firstBlock); // 0x03
    bool clearScreen();                                                    // 0x06
    bool setBrightness(int level);                                         // 0x10
    bool readBrightness(int &level);                                       // 0x13
    bool setUploadPhase(int phase);                                        // 0x19
    bool setScreenPower(bool on);                                          // 0x20
    bool setClock(const QDateTime &localTime);                             // 0x21
    bool writeScreenParams(const ScreenParams &params);                    // 0x23
    bool readScreenParams(ScreenParams &params);                           // 0x24
    bool restoreFactorySettings();                                         // 0x33
    bool queryControllerInfo(ControllerInfo &info);                        // 0x35
    // The 8 bytes of 0x21 for a local time.
    static QByteArray clockPayload(const QDateTime &localTime);

    // ---- state
    bool isOpen() const { return m_serial.isOpen(); }
    void close() { m_serial.close(); }
    int port() const { return m_serial.portNumber(); }
    // The name of the open port ("/dev/ttyUSB0", "tcp://host:port"); empty
    // when closed.
    QString portName() const { return m_serial.devicePath(); }
    int timeoutMs() const { return m_timeoutMs; }
    int baudRate() const { return m_serial.baudRate(); }
    int chunkSize() const { return m_chunkSize; }
    uint8_t sequenceNumber() const { return m_sequence; }
    // Whether this card echoes the sequence number, as far as learnt.
    ReplyMatch::Echo sequenceEcho() const { return m_match.echo(); }
    void setSequenceNumber(uint8_t sequence) { m_sequence = sequence; }

    int errorCode() const { return m_error.code; }
    QString errorText() const { return m_error.text; }
    int lastErrorCode() const { return m_error.code; }
    QString lastErrorText() const { return m_error.text; }
    void setError(int code, const QString &text) { m_error.set(code, text); }
    const LinkError &error() const { return m_error; }

private:
    bool send(int length);
    bool judgeStatus();
    void waitOutGrace();

    LinkError m_error;
    PortChannel m_serial{m_error};
    std::array<uint8_t, Protocol::MaxRequest> m_send{};
    int m_requestLength = 0;
    QByteArray m_response;
    ReplyMatch m_match;
    QElapsedTimer m_sinceTimeout; // valid from a time-out to the next request
    uint8_t m_sequence = 0;
    int m_timeoutMs = 5000;
    bool m_keepOpen = true;
    int m_chunkSize = 256;
};
