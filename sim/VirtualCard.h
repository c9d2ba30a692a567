#pragma once
// A controller card on a pseudo-terminal, for tests, benchmarks and users
// without hardware (brivane-cardsim). start() opens a pseudo-terminal whose
// device path (devicePath(), optionally also a symlink) the program opens
// like a serial port; a thread of the card's own then reads requests,
// validates them (start mark, length 52..1024, end mark, checksum), carries
// them out on its state and answers with 52-byte frames: status 1 for a bad
// checksum, 2 for an unknown command, 4 for a value out of range, 5 for a
// malformed frame, 6 for an upload block that does not fit its page.
//
// In-process use (tests): the card answers from its own thread, so the test
// thread may block in the link's synchronous reads. Every public function is
// thread-safe (one mutex); the state a request changes is updated before its
// reply is written, so after a successful exchange the getters already show
// the effect. Requests that get no reply (faults, broadcasts) can be waited
// for with waitForRequests().
//
//     VirtualCard card;
//     ASSERT_TRUE(card.start());
//     PortNaming::setExplicitDevices({card.devicePath()});   // port 1
//     card.addFault({CardFault::Kind::Status, 0x35, 1, 0, 4});
//
// The card answers address 1, carries out broadcasts (address 0) without
// answering, and ignores every other address.

#include "link/ControllerInfo.h"
#include "link/Protocol.h"
#include "link/ScreenParams.h"
#include "sim/CardFault.h"
#include "sim/CardLine.h"
#include "sim/PageDecoder.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QSerialPort;

class VirtualCard {
public:
    // One page as uploaded with 0x03 and its 0x02 continuations.
    struct ReceivedPage {
        int pageNumber = 0;
        QByteArray header;  // packet bytes 16..48 of the 0x03 packet (33 bytes)
        QByteArray bits;    // the bit image received so far
        int length() const; // B, the announced bit-image length
        bool isComplete() const { return bits.size() == length(); }
        int action() const { return byteAt(Protocol::PageHeader::Action); }
        int effectCode() const { return byteAt(Protocol::PageHeader::EffectCode); }
        int speedByte() const { return byteAt(Protocol::PageHeader::SpeedLevel); }
        int stayTime() const { return byteAt(Protocol::PageHeader::StayTime); }
        int flashDelay() const { return byteAt(Protocol::PageHeader::FlashDelay); }
        int planes() const { return byteAt(Protocol::PageHeader::Planes); }
        int contentKind() const { return byteAt(Protocol::PageHeader::ContentKind); }
        int pageIndex() const { return byteAt(Protocol::PageHeader::PageIndex); }
        int lastPageIndex() const { return byteAt(Protocol::PageHeader::LastPageIndex); }
        int clockCode() const { return byteAt(Protocol::PageHeader::ClockCode); }
        int byteAt(int headerOffset) const;
    };

    // One request as it came off the line, with what the card did.
    struct LogEntry {
        QByteArray request; // raw frame (also malformed ones)
        QByteArray reply;   // bytes sent back (empty: none)
        int status = -1;    // status answered; -1 none
    };

    VirtualCard();
    ~VirtualCard();
    VirtualCard(const VirtualCard &) = delete;
    VirtualCard &operator=(const VirtualCard &) = delete;

    // Opens the pseudo-terminal and starts answering; with a link path,
    // also (re)places a symlink there. False with errorString() on failure.
    bool start(const QString &linkPath = {});
    // Stops answering and closes the pseudo-terminal (removes the symlink).
    void stop();
    bool isRunning() const;
    // True once a DropLine fault has closed the line.
    bool hasDropped() const;
    QString devicePath() const;
    QString linkPath() const;
    QString errorString() const;

    // ---- what the card is and keeps
    void setIdentity(const ControllerInfo &info);
    ControllerInfo identity() const;
    void setScreenParams(const ScreenParams &params);
    ScreenParams screenParams() const;
    void setBrightness(int level);
    int brightness() const;
    bool screenOn() const;
    // The 8 bytes of the last 0x21 (empty before one).
    QByteArray clockBytes() const;
    // The last 0x19 value; -1 before one.
    int uploadPhase() const;
    int clearCount() const;
    int factoryResetCount() const;
    // Pages by page number; 0x06 empties them.
    std::vector<ReceivedPage> pages() const;
    bool page(int pageNumber, ReceivedPage *out) const;
    void clearPages();
    // How the bit image of a page is laid out on this card: width from the
    // page's length, height and reverse-data flag from the screen
    // parameters, planes from the header, word format on series 15.
    PageLayout pageLayout(const ReceivedPage &page) const;
    QImage pageImage(int pageNumber) const;
    // Writes page-NNN.png for every stored page; the count written.
    int savePagesAsPng(const QString &directory, QString *error = nullptr) const;

    // ---- observation
    std::vector<LogEntry> log() const;
    QList<QByteArray> requestLog() const;
    int requestCount() const;
    void clearLog();
    // Waits until at least n requests have been handled (true) or ms passed.
    bool waitForRequests(int n, int ms) const;
    // Waits until every scheduled reply has been written (true) or ms passed.
    bool waitForIdle(int ms) const;
    // Called on the card's thread, outside its lock: a one-line account of
    // each request, and each page once complete.
    void setLogger(std::function<void(const QString &)> logger);
    void setPageListener(std::function<void(const ReceivedPage &)> listener);

    // ---- behaviour
    void addFault(const CardFault &fault);
    void clearFaults();
    // Emulates the line: each reply leaves only when the time `baud` needs
    // for request and reply (10 bits a byte) has passed since the request's
    // first byte. 0 turns it off.
    void setLineSpeed(int baud);
    // Opens the device from the card's side too, exclusively, as another
    // program holding the port would (true when held).
    bool holdDevice(bool hold);

private:
    struct Pending;
    struct State;
    struct Request;
    struct ActiveFaults;
    struct Outcome;
    // The card's thread: waits on the line, frames requests, writes replies.
    void run();
    // The steps of run(), on the card's thread. waitForLine: 1 when the
    // line has bytes, 0 on a time-out or wake-up, -1 when polling failed.
    int waitForLine();
    void takeBytes(const char *data, qsizetype n, qint64 t);
    void expireInbound(qint64 now);
    bool writeReplies(qint64 now);
    void noteIdle();
    void wake();
    // One whole request (or a frame with an impossible length): takes the
    // faults that apply, carries it out and schedules the reply. The steps
    // below run with the lock held.
    void handleFrame(const QByteArray &frame, qint64 firstByteUs);
    ActiveFaults takeFaults(int command);
    Outcome carryOut(const Request &request, const ActiveFaults &faults);
    void runCommand(const Request &request, Outcome &outcome);
    int storePageHead(const Request &request, Outcome &outcome);
    int storeDataChunk(const Request &request, Outcome &outcome);
    int storeClock(const Request &request);
    int storeScreenParams(const Request &request);
    LogEntry scheduleReply(const Request &request, const Outcome &outcome,
                           const ActiveFaults &faults, qint64 firstByteUs);
    static QByteArray shapeReply(uint8_t sequence, const Outcome &outcome,
                                 const ActiveFaults &faults);
    QString describe(const Request &request, const LogEntry &entry, bool drop) const;
    void closeLine();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_requestSeen;
    std::unique_ptr<State> m_state;
    std::thread m_thread;
    std::unique_ptr<QSerialPort> m_holder;
};
