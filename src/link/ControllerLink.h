#pragma once
// The one request/response link to the card over a SerialPort: frames each
// request with sequence number and checksum, reads and validates the reply,
// and keeps the reason of the last failure (code and text). Owned by the
// Project.
//
// NOTE: interface skeleton; the protocol work fills it in.

#include <QByteArray>
#include <QString>
#include <cstdint>

class ControllerLink {
public:
    ControllerLink();
    ~ControllerLink();
    ControllerLink(const ControllerLink &) = delete;
    ControllerLink &operator=(const ControllerLink &) = delete;

    // Closes the port and opens port number `port` (0: clears the error
    // record, sets port 0, opens nothing, returns false).
    bool configure(int port, int timeoutMs, int baud, int chunkSize);
    void setKeepOpen(bool keepOpen);

    // One exchange: command code and payload (from packet offset 16) out,
    // a validated 52-byte reply in. False with the error record set otherwise.
    bool exchange(uint8_t command, const QByteArray &payload = {});
    // The last reply frame (valid after a successful exchange).
    const QByteArray &response() const { return m_response; }

    int port() const { return m_port; }
    int chunkSize() const { return m_chunkSize; }
    int errorCode() const { return m_errorCode; }
    QString errorText() const { return m_errorText; }
    void setError(int code, const QString &text);

private:
    QByteArray m_response;
    int m_port = 0;
    int m_chunkSize = 256;
    int m_errorCode = 0;
    QString m_errorText;
};
