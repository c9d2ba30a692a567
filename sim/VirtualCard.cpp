#include "sim/VirtualCard.h"

#include "link/Packet.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>

#include <chrono>
#include <climits>
#include <deque>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

// A partial request that stops arriving is dropped after this long.
constexpr qint64 StalledFrameUs = 500'000;
// After a frame with an impossible length the card skips bytes until the
// line has been quiet this long.
constexpr qint64 ResyncQuietUs = 20'000;
// The log keeps this many entries (the newest).
constexpr size_t MaxLogEntries = 4096;

bool validBcd(uint8_t b, int max)
{
    const int hi = b >> 4, lo = b & 0x0F;
    return hi <= 9 && lo <= 9 && hi * 10 + lo <= max;
}

QByteArray makeReply(int length, uint8_t sequence, uint8_t status, const QByteArray &data)
{
    QByteArray reply(length, '\0');
    auto *b = reinterpret_cast<uint8_t *>(reply.data());
    b[0] = Protocol::ResponseStart;
    Packet::writeLe16(b + Protocol::LengthOffset, uint16_t(length));
    Packet::writeLe16(b + Protocol::AddressOffset, Protocol::CardAddress);
    b[Protocol::SequenceOffset] = sequence;
    b[Protocol::CommandOffset] = status;
    const qsizetype room = std::max(0, length - Protocol::TrailerSize - Protocol::PayloadOffset);
    std::copy_n(data.constData(), std::min(data.size(), room),
                reply.data() + Protocol::PayloadOffset);
    if (length >= Protocol::TrailerSize) {
        Packet::writeLe16(b + length - 4, byteSum16(b, length - Protocol::TrailerSize));
        b[length - 2] = 0x00;
        b[length - 1] = Protocol::ResponseEnd;
    }
    return reply;
}

QString hexCode(int code)
{
    return QStringLiteral("0x%1").arg(code, 2, 16, QLatin1Char('0'));
}

} // namespace

int VirtualCard::ReceivedPage::byteAt(int headerOffset) const
{
    return headerOffset >= 0 && headerOffset < header.size() ? uint8_t(header[headerOffset]) : 0;
}

int VirtualCard::ReceivedPage::length() const
{
    using Protocol::PageHeader::BitLength;
    return byteAt(BitLength) | (byteAt(BitLength + 1) << 8);
}

struct VirtualCard::Pending {
    qint64 dueUs = 0;
    QByteArray bytes;
    bool drop = false;
};

struct VirtualCard::State {
    // line
    CardLine line;
    QString device;
    QString link;
    QString error;
    bool running = false;
    bool stopRequested = false;
    bool dropped = false;

    // the card
    ControllerInfo identity{0x23, 15, 2, 2, 7};
    ScreenParams params;
    int brightness = 15;
    bool screenOn = true;
    QByteArray clock;
    int uploadPhase = -1;
    int clears = 0;
    int factoryResets = 0;
    std::map<int, ReceivedPage> pages;

    std::deque<LogEntry> log;
    int requests = 0;
    std::vector<CardFault> faults;
    int lineSpeed = 0;
    std::function<void(const QString &)> logger;
    std::function<void(const ReceivedPage &)> pageListener;

    // card thread only
    QByteArray inbound;
    int inboundLength = 0;
    qint64 frameStartUs = 0;
    qint64 lastByteUs = 0;
    bool resyncing = false;
    std::deque<Pending> outbound;
    qint64 lastDueUs = 0;
    QByteArray lastReply; // what the Repeat fault sends
    bool idle = true;     // shared: no reply waiting to be written
};

VirtualCard::VirtualCard() : m_state(std::make_unique<State>())
{
}

VirtualCard::~VirtualCard()
{
    stop();
}

bool VirtualCard::start(const QString &linkPath)
{
    stop();
    std::lock_guard lock(m_mutex);
    State &s = *m_state;
    QString error;
    if (!s.line.open(&error)) {
        s.error = error;
        return false;
    }
    const QString device = s.line.device();
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(device, linkPath)) {
            s.line.close();
            s.error = QStringLiteral("cannot create the link %1").arg(linkPath);
            return false;
        }
    }

    {
        s.device = device;
        s.link = linkPath;
        s.error.clear();
        s.running = true;
        s.stopRequested = false;
        s.dropped = false;
        s.inbound.clear();
        s.resyncing = false;
        s.outbound.clear();
        s.lastDueUs = 0;
        s.idle = true;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void VirtualCard::stop()
{
    holdDevice(false);
    {
        std::lock_guard lock(m_mutex);
        m_state->stopRequested = true;
    }
    wake();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    closeLine();
    m_state->line.close();
}

void VirtualCard::closeLine()
{
    // Called with the lock held.
    State &s = *m_state;
    s.line.closeLine();
    if (!s.link.isEmpty())
        QFile::remove(s.link);
    s.link.clear(); // never remove a link some later card put there
    s.running = false;
}

void VirtualCard::wake()
{
    std::lock_guard lock(m_mutex);
    m_state->line.wake();
}

void VirtualCard::run()
{
    CardLine &line = m_state->line; // opened before the thread started
    QByteArray chunk(4096, '\0');
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_state->stopRequested || m_state->dropped)
                return;
        }
        const int ready = waitForLine();
        if (ready < 0)
            return;
        if (ready > 0) {
            const auto n = line.read(chunk.data(), chunk.size());
            if (n > 0)
                takeBytes(chunk.constData(), n, nowUs());
        }
        const qint64 after = nowUs();
        expireInbound(after);
        if (!writeReplies(after))
            return;
        noteIdle();
    }
}

int VirtualCard::waitForLine()
{
    // Sleeps until a byte arrives, a reply falls due, a partial frame or a
    // resync quiet time runs out, or stop() wakes the thread.
    State &s = *m_state; // the card-thread-only fields need no lock
    const qint64 now = nowUs();
    qint64 waitUs = -1;
    auto consider = [&](qint64 dueUs) {
        const qint64 d = std::max<qint64>(0, dueUs - now);
        waitUs = waitUs < 0 ? d : std::min(waitUs, d);
    };
    if (!s.outbound.empty())
        consider(s.outbound.front().dueUs);
    if (!s.inbound.isEmpty())
        consider(s.lastByteUs + StalledFrameUs);
    if (s.resyncing)
        consider(s.lastByteUs + ResyncQuietUs);

    const bool blocked = !s.outbound.empty() && s.outbound.front().dueUs <= now;
    return s.line.wait(waitUs, blocked);
}

void VirtualCard::takeBytes(const char *data, qsizetype n, qint64 t)
{
    // Frames the bytes: skips to the start mark, reads the length field,
    // and hands every whole frame (or one whose length is impossible, after
    // which the card resyncs on a quiet line) to handleFrame.
    State &s = *m_state;
    for (qsizetype i = 0; i < n; ++i) {
        const auto byte = uint8_t(data[i]);
        if (s.resyncing && t - s.lastByteUs < ResyncQuietUs) {
            s.lastByteUs = t;
            continue;
        }
        s.resyncing = false;
        s.lastByteUs = t;
        if (s.inbound.isEmpty()) {
            if (byte != Protocol::RequestStart)
                continue;
            s.frameStartUs = t;
        }
        s.inbound.append(char(byte));
        if (s.inbound.size() == 3) {
            s.inboundLength = Packet::readLe16(
                reinterpret_cast<const uint8_t *>(s.inbound.constData()) + Protocol::LengthOffset);
            if (s.inboundLength < Protocol::MinFrame || s.inboundLength > Protocol::MaxRequest) {
                handleFrame(s.inbound, s.frameStartUs);
                s.inbound.clear();
                s.resyncing = true;
                continue;
            }
        }
        if (s.inbound.size() > 3 && s.inbound.size() == s.inboundLength) {
            handleFrame(s.inbound, s.frameStartUs);
            s.inbound.clear();
        }
    }
}

void VirtualCard::expireInbound(qint64 now)
{
    State &s = *m_state;
    if (!s.inbound.isEmpty() && now - s.lastByteUs >= StalledFrameUs)
        s.inbound.clear();
    if (s.resyncing && now - s.lastByteUs >= ResyncQuietUs)
        s.resyncing = false;
}

bool VirtualCard::writeReplies(qint64 now)
{
    // Writes the replies that are due, as far as the line takes them; false
    // when a fault dropped the line instead.
    State &s = *m_state;
    while (!s.outbound.empty() && s.outbound.front().dueUs <= now) {
        Pending &p = s.outbound.front();
        if (p.drop) {
            std::lock_guard lock(m_mutex);
            closeLine();
            s.dropped = true;
            s.outbound.clear();
            m_requestSeen.notify_all();
            return false;
        }
        const auto n = s.line.write(p.bytes.constData(), p.bytes.size());
        if (n < 0) {
            s.outbound.pop_front(); // nobody can take it
            continue;
        }
        if (n == 0)
            break;
        p.bytes.remove(0, n);
        if (!p.bytes.isEmpty())
            break;
        s.outbound.pop_front();
    }
    return true;
}

void VirtualCard::noteIdle()
{
    if (!m_state->outbound.empty())
        return;
    std::lock_guard lock(m_mutex);
    if (!m_state->idle) {
        m_state->idle = true;
        m_requestSeen.notify_all();
    }
}

// One request as taken off the line; fields a malformed frame lacks keep
// neutral values (command -1, sequence 0, address 1).
struct VirtualCard::Request {
    const QByteArray &frame;
    const uint8_t *bytes = nullptr;
    int length = 0;
    bool framed = false;
    int command = -1;
    uint8_t sequence = 0;
    int address = Protocol::CardAddress;

    explicit Request(const QByteArray &f)
        : frame(f), bytes(reinterpret_cast<const uint8_t *>(f.constData())), length(int(f.size())),
          framed(length >= Protocol::MinFrame)
    {
        if (framed) {
            command = bytes[Protocol::CommandOffset];
            address = Packet::readLe16(bytes + Protocol::AddressOffset);
        }
        if (length > Protocol::SequenceOffset)
            sequence = bytes[Protocol::SequenceOffset];
    }
    const uint8_t *payload() const { return bytes + Protocol::PayloadOffset; }
    // The upload bits of a 0x03 or 0x02 packet.
    int blockLength() const
    {
        return std::max(0, length - Protocol::UploadDataOffset - Protocol::TrailerSize);
    }
    const char *block() const { return frame.constData() + Protocol::UploadDataOffset; }
};

// The faults that apply to one request.
struct VirtualCard::ActiveFaults {
    std::vector<CardFault> list;
    const CardFault *find(CardFault::Kind kind) const
    {
        for (const CardFault &f : list)
            if (f.kind == kind)
                return &f;
        return nullptr;
    }
};

// What carrying out one request gave: the reply's status (-1: no reply, the
// request was for another card) and data, and the page it completed.
struct VirtualCard::Outcome {
    int status = Protocol::StatusOk;
    QByteArray data;
    std::optional<ReceivedPage> completed;
};

void VirtualCard::handleFrame(const QByteArray &frame, qint64 firstByteUs)
{
    const Request request(frame);
    std::function<void(const QString &)> logger;
    std::function<void(const ReceivedPage &)> pageListener;
    std::optional<ReceivedPage> completed;
    QString account;
    {
        std::lock_guard lock(m_mutex);
        State &s = *m_state;
        ++s.requests;
        logger = s.logger;
        pageListener = s.pageListener;
        const ActiveFaults faults = takeFaults(request.command);
        Outcome outcome = carryOut(request, faults);
        const LogEntry entry = scheduleReply(request, outcome, faults, firstByteUs);
        if (logger)
            account = describe(request, entry, faults.find(CardFault::Kind::DropLine));
        s.idle = s.outbound.empty();
        s.log.push_back(entry);
        while (s.log.size() > MaxLogEntries)
            s.log.pop_front();
        completed = std::move(outcome.completed);
    }
    m_requestSeen.notify_all();
    if (logger)
        logger(account);
    if (completed && pageListener)
        pageListener(*completed);
}

VirtualCard::ActiveFaults VirtualCard::takeFaults(int command)
{
    // Called with the lock held: counts and skips are used up here.
    std::vector<CardFault> &faults = m_state->faults;
    ActiveFaults active;
    for (auto it = faults.begin(); it != faults.end();) {
        if (it->command >= 0 && it->command != command) {
            ++it;
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            ++it;
            continue;
        }
        active.list.push_back(*it);
        if (it->count > 0 && --it->count == 0)
            it = faults.erase(it);
        else
            ++it;
    }
    return active;
}

VirtualCard::Outcome VirtualCard::carryOut(const Request &request, const ActiveFaults &faults)
{
    // Validate, then carry out (with the lock held).
    using namespace Protocol;
    Outcome outcome;
    const uint8_t *b = request.bytes;
    const int length = request.length;
    if (!request.framed || b[length - 1] != RequestEnd)
        outcome.status = StatusBadStructure;
    else if (byteSum16(b, length - TrailerSize) != Packet::readLe16(b + length - 4))
        outcome.status = StatusBadChecksum;
    else if (request.address != CardAddress && request.address != BroadcastAddress)
        outcome.status = -1; // another card's request
    else if (const CardFault *f = faults.find(CardFault::Kind::Status))
        outcome.status = f->value & 0xFF;
    else if (!faults.find(CardFault::Kind::Silence) && !faults.find(CardFault::Kind::DropLine) &&
             !faults.find(CardFault::Kind::Repeat))
        runCommand(request, outcome);
    return outcome;
}

void VirtualCard::runCommand(const Request &request, Outcome &outcome)
{
    using namespace Protocol;
    State &s = *m_state;
    const uint8_t *p = request.payload();
    int &status = outcome.status;
    switch (request.command) {
    case DataChunk:
        status = storeDataChunk(request, outcome);
        break;
    case PageHead:
        status = storePageHead(request, outcome);
        break;
    case ClearScreen:
        s.pages.clear();
        ++s.clears;
        break;
    case SetBrightness:
        if (p[0] > MaxBrightness)
            status = StatusBadValue;
        else
            s.brightness = p[0];
        break;
    case ReadBrightness:
        outcome.data.append(char(s.brightness));
        break;
    case SetUploadPhase:
        s.uploadPhase = p[0];
        break;
    case SetScreenPower:
        if (p[0] > 1)
            status = StatusBadValue;
        else
            s.screenOn = p[0] == 1;
        break;
    case SetClock:
        status = storeClock(request);
        break;
    case WriteScreenParams:
        status = storeScreenParams(request);
        break;
    case ReadScreenParams:
        outcome.data = QByteArray(reinterpret_cast<const char *>(s.params.bytes.data()),
                                  qsizetype(s.params.bytes.size()));
        break;
    case RestoreFactorySettings:
        s.params = ScreenParams{};
        s.brightness = MaxBrightness;
        s.screenOn = true;
        ++s.factoryResets;
        break;
    case QueryControllerInfo:
        outcome.data.resize(InfoReply::Length);
        outcome.data[InfoReply::ModelCode] = char(s.identity.modelCode);
        outcome.data[InfoReply::FirmwareMajor] = char(s.identity.firmwareMajor);
        outcome.data[InfoReply::FirmwareMinor] = char(s.identity.firmwareMinor);
        outcome.data[InfoReply::FirmwareBuild] = char(s.identity.firmwareBuild);
        outcome.data[InfoReply::Series] = char(s.identity.series);
        break;
    default:
        status = StatusUnknownCommand;
        break;
    }
}

int VirtualCard::storePageHead(const Request &request, Outcome &outcome)
{
    ReceivedPage page;
    page.pageNumber = Packet::readLe16(request.payload() + Protocol::PageHeader::PageNumber);
    page.header = request.frame.mid(Protocol::PayloadOffset, Protocol::UploadHeadLength);
    const int blockLength = request.blockLength();
    if (blockLength > page.length())
        return Protocol::StatusBadValue;
    page.bits = QByteArray(request.block(), blockLength);
    m_state->pages[page.pageNumber] = page;
    if (page.isComplete())
        outcome.completed = page;
    return Protocol::StatusOk;
}

int VirtualCard::storeDataChunk(const Request &request, Outcome &outcome)
{
    const uint8_t *p = request.payload();
    const int pageNumber = Packet::readLe16(p + Protocol::ChunkHeader::PageNumber);
    const int offset = Packet::readLe16(p + Protocol::ChunkHeader::BlockOffset);
    const int blockLength = request.blockLength();
    const auto it = m_state->pages.find(pageNumber);
    if (it == m_state->pages.end())
        return Protocol::StatusFailed;
    ReceivedPage &page = it->second;
    if (offset > page.bits.size() || offset + blockLength > page.length())
        return Protocol::StatusBadValue;
    page.bits.truncate(offset);
    page.bits.append(request.block(), blockLength);
    if (page.isComplete())
        outcome.completed = page;
    return Protocol::StatusOk;
}

int VirtualCard::storeClock(const Request &request)
{
    namespace C = Protocol::ClockPayload;
    const uint8_t *p = request.payload();
    if (!validBcd(p[C::Year], 99) || !validBcd(p[C::Month], 12) || p[C::Month] == 0 ||
        !validBcd(p[C::Day], 31) || p[C::Day] == 0 || !validBcd(p[C::Hour], 23) ||
        !validBcd(p[C::Minute], 59) || !validBcd(p[C::Second], 59) || !validBcd(p[C::Weekday], 6))
        return Protocol::StatusBadValue;
    m_state->clock = request.frame.mid(Protocol::PayloadOffset, C::Length);
    return Protocol::StatusOk;
}

int VirtualCard::storeScreenParams(const Request &request)
{
    ScreenParams params;
    std::copy_n(request.payload(), params.bytes.size(), params.bytes.begin());
    if (params.heightCode() == 0 || params.colourType() < 1 || params.colourType() > 2 ||
        params.rowOrder() < -15 || params.rowOrder() > 15 || params.frequency() < 1 ||
        params.frequency() > 5)
        return Protocol::StatusBadValue;
    m_state->params = params;
    return Protocol::StatusOk;
}

VirtualCard::LogEntry VirtualCard::scheduleReply(const Request &request, const Outcome &outcome,
                                                 const ActiveFaults &faults, qint64 firstByteUs)
{
    // The reply, as the faults shape it, queued behind the replies before it.
    State &s = *m_state;
    LogEntry entry;
    entry.request = request.frame;
    const bool answers = outcome.status >= 0 && request.address == Protocol::CardAddress &&
                         !faults.find(CardFault::Kind::Silence);
    const bool drop = faults.find(CardFault::Kind::DropLine) != nullptr;
    qint64 due = nowUs();
    if (drop) {
        s.outbound.push_back({std::max(due, s.lastDueUs), {}, true});
        return entry;
    }
    if (!answers)
        return entry;
    const CardFault *noEcho = faults.find(CardFault::Kind::NoEcho);
    const uint8_t sequence = noEcho ? uint8_t(noEcho->value) : request.sequence;
    const bool repeat = faults.find(CardFault::Kind::Repeat) && !s.lastReply.isEmpty();
    const QByteArray reply = repeat ? s.lastReply : shapeReply(sequence, outcome, faults);
    s.lastReply = reply;
    entry.reply = reply;
    entry.status = outcome.status;

    if (s.lineSpeed > 0)
        due = std::max(due, firstByteUs + qint64(request.length + reply.size()) * 10 * 1'000'000 /
                                              s.lineSpeed);
    if (const CardFault *f = faults.find(CardFault::Kind::Delay))
        due += qint64(f->value) * 1000;
    due = std::max(due, s.lastDueUs);
    if (const CardFault *f = faults.find(CardFault::Kind::Trickle)) {
        for (qsizetype i = 0; i < reply.size(); ++i)
            s.outbound.push_back({due + i * qint64(f->value) * 1000, reply.mid(i, 1)});
        due += (reply.size() - 1) * qint64(f->value) * 1000;
    } else {
        s.outbound.push_back({due, reply});
    }
    s.lastDueUs = due;
    return entry;
}

QByteArray VirtualCard::shapeReply(uint8_t sequence, const Outcome &outcome,
                                   const ActiveFaults &faults)
{
    int replyLength = Protocol::MinFrame;
    const bool longReply = faults.find(CardFault::Kind::LongReply) != nullptr;
    if (longReply)
        replyLength = 60;
    if (faults.find(CardFault::Kind::LengthTooShort))
        replyLength = Protocol::MinFrame - 1;
    if (faults.find(CardFault::Kind::LengthTooLong))
        replyLength = Protocol::MaxResponse + 1;
    QByteArray reply = makeReply(replyLength, sequence, uint8_t(outcome.status),
                                 longReply ? QByteArray() : outcome.data);
    auto *r = reinterpret_cast<uint8_t *>(reply.data());
    if (faults.find(CardFault::Kind::BadChecksum))
        Packet::writeLe16(r + replyLength - 4, uint16_t(Packet::readLe16(r + replyLength - 4) + 1));
    if (faults.find(CardFault::Kind::BadEndMark))
        r[replyLength - 1] = 0x5E;
    if (const CardFault *f = faults.find(CardFault::Kind::Noise))
        reply.prepend(f->noise.isEmpty() ? CardFault::defaultNoise() : f->noise);
    return reply;
}

QString VirtualCard::describe(const Request &request, const LogEntry &entry, bool drop) const
{
    // 0x19 also names the phase, so that the log shows whether an upload
    // was left open.
    QString phase;
    if (request.command == Protocol::SetUploadPhase && request.length > Protocol::PayloadOffset)
        phase = request.payload()[0] == Protocol::UploadEnded ? QStringLiteral(" (upload ended)")
                                                              : QStringLiteral(" (upload begins)");
    return QStringLiteral("#%1 seq %2 cmd %3%4 len %5 -> %6")
        .arg(m_state->requests)
        .arg(request.sequence)
        .arg(request.command < 0 ? QStringLiteral("?") : hexCode(request.command), phase)
        .arg(request.length)
        .arg(drop                    ? QStringLiteral("line dropped")
             : entry.reply.isEmpty() ? QStringLiteral("no reply")
                                     : QStringLiteral("status %1").arg(entry.status));
}

bool VirtualCard::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_state->running;
}

bool VirtualCard::hasDropped() const
{
    std::lock_guard lock(m_mutex);
    return m_state->dropped;
}

QString VirtualCard::devicePath() const
{
    std::lock_guard lock(m_mutex);
    return m_state->device;
}

QString VirtualCard::linkPath() const
{
    std::lock_guard lock(m_mutex);
    return m_state->link;
}

QString VirtualCard::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_state->error;
}

void VirtualCard::setIdentity(const ControllerInfo &info)
{
    std::lock_guard lock(m_mutex);
    m_state->identity = info;
}

ControllerInfo VirtualCard::identity() const
{
    std::lock_guard lock(m_mutex);
    return m_state->identity;
}

void VirtualCard::setScreenParams(const ScreenParams &params)
{
    std::lock_guard lock(m_mutex);
    m_state->params = params;
}

ScreenParams VirtualCard::screenParams() const
{
    std::lock_guard lock(m_mutex);
    return m_state->params;
}

void VirtualCard::setBrightness(int level)
{
    std::lock_guard lock(m_mutex);
    m_state->brightness = level;
}

int VirtualCard::brightness() const
{
    std::lock_guard lock(m_mutex);
    return m_state->brightness;
}

bool VirtualCard::screenOn() const
{
    std::lock_guard lock(m_mutex);
    return m_state->screenOn;
}

QByteArray VirtualCard::clockBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_state->clock;
}

int VirtualCard::uploadPhase() const
{
    std::lock_guard lock(m_mutex);
    return m_state->uploadPhase;
}

int VirtualCard::clearCount() const
{
    std::lock_guard lock(m_mutex);
    return m_state->clears;
}

int VirtualCard::factoryResetCount() const
{
    std::lock_guard lock(m_mutex);
    return m_state->factoryResets;
}

std::vector<VirtualCard::ReceivedPage> VirtualCard::pages() const
{
    std::lock_guard lock(m_mutex);
    std::vector<ReceivedPage> list;
    for (const auto &[number, page] : m_state->pages)
        list.push_back(page);
    return list;
}

bool VirtualCard::page(int pageNumber, ReceivedPage *out) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_state->pages.find(pageNumber);
    if (it == m_state->pages.end())
        return false;
    if (out)
        *out = it->second;
    return true;
}

void VirtualCard::clearPages()
{
    std::lock_guard lock(m_mutex);
    m_state->pages.clear();
}

PageLayout VirtualCard::pageLayout(const ReceivedPage &page) const
{
    std::lock_guard lock(m_mutex);
    PageLayout layout;
    layout.height = m_state->params.screenHeight();
    layout.planes = std::clamp(page.planes(), 1, 2);
    layout.wordFormat = m_state->identity.hasClockZoneSupport();
    layout.reverseData = m_state->params.reverseData();
    if (layout.height > 0)
        layout.width = int(qint64(page.length()) * 8 / (qint64(layout.height) * layout.planes));
    return layout;
}

QImage VirtualCard::pageImage(int pageNumber) const
{
    ReceivedPage p;
    if (!page(pageNumber, &p))
        return {};
    return decodePageBits(p.bits, pageLayout(p));
}

int VirtualCard::savePagesAsPng(const QString &directory, QString *error) const
{
    if (!QDir().mkpath(directory)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(directory);
        return 0;
    }
    int written = 0;
    for (const ReceivedPage &p : pages()) {
        const QImage image = decodePageBits(p.bits, pageLayout(p));
        const QString path = QDir(directory).filePath(
            QStringLiteral("page-%1.png").arg(p.pageNumber, 3, 10, QLatin1Char('0')));
        if (image.isNull() || !image.save(path, "PNG")) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(path);
            continue;
        }
        ++written;
    }
    return written;
}

std::vector<VirtualCard::LogEntry> VirtualCard::log() const
{
    std::lock_guard lock(m_mutex);
    return {m_state->log.begin(), m_state->log.end()};
}

QList<QByteArray> VirtualCard::requestLog() const
{
    std::lock_guard lock(m_mutex);
    QList<QByteArray> list;
    for (const LogEntry &e : m_state->log)
        list << e.request;
    return list;
}

int VirtualCard::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return m_state->requests;
}

void VirtualCard::clearLog()
{
    std::lock_guard lock(m_mutex);
    m_state->log.clear();
    m_state->requests = 0;
}

bool VirtualCard::waitForRequests(int n, int ms) const
{
    std::unique_lock lock(m_mutex);
    return m_requestSeen.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return m_state->requests >= n || m_state->dropped;
    }) && m_state->requests >= n;
}

bool VirtualCard::waitForIdle(int ms) const
{
    std::unique_lock lock(m_mutex);
    return m_requestSeen.wait_for(lock, std::chrono::milliseconds(ms),
                                  [&] { return m_state->idle || m_state->dropped; });
}

void VirtualCard::setLogger(std::function<void(const QString &)> logger)
{
    std::lock_guard lock(m_mutex);
    m_state->logger = std::move(logger);
}

void VirtualCard::setPageListener(std::function<void(const ReceivedPage &)> listener)
{
    std::lock_guard lock(m_mutex);
    m_state->pageListener = std::move(listener);
}

void VirtualCard::addFault(const CardFault &fault)
{
    std::lock_guard lock(m_mutex);
    m_state->faults.push_back(fault);
}

void VirtualCard::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_state->faults.clear();
}

void VirtualCard::setLineSpeed(int baud)
{
    std::lock_guard lock(m_mutex);
    m_state->lineSpeed = std::max(0, baud);
}

bool VirtualCard::holdDevice(bool hold)
{
    if (!hold) {
        m_holder.reset();
        return false;
    }
    if (m_holder)
        return true;
    auto holder = std::make_unique<QSerialPort>();
    holder->setPortName(devicePath());
    if (!holder->open(QIODevice::ReadWrite))
        return false;
    m_holder = std::move(holder);
    return true;
}
