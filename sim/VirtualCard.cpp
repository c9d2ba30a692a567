#include "sim/VirtualCard.h"

#include "link/Packet.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>

#include <cerrno>
#include <chrono>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <util.h>
#else
#include <pty.h>
#endif

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

enum Status : uint8_t {
    Ok = 0,
    BadChecksum = 1,
    UnknownCommand = 2,
    BadValue = 4,
    BadStructure = 5,
    Failed = 6,
};

bool validBcd(uint8_t b, int max)
{
    const int hi = b >> 4, lo = b & 0x0F;
    return hi <= 9 && lo <= 9 && hi * 10 + lo <= max;
}

QByteArray makeReply(int length, uint8_t sequence, uint8_t status, const QByteArray &data)
{
    QByteArray reply(length, '\0');
    auto *b = reinterpret_cast<uint8_t *>(reply.data());
    b[0] = Packet::ResponseStart;
    Packet::writeLe16(b + Packet::LengthOffset, uint16_t(length));
    Packet::writeLe16(b + Packet::AddressOffset, Packet::CardAddress);
    b[Packet::SequenceOffset] = sequence;
    b[Packet::CommandOffset] = status;
    const qsizetype room = std::max(0, length - Packet::TrailerSize - Packet::PayloadOffset);
    std::copy_n(data.constData(), std::min(data.size(), room),
                reply.data() + Packet::PayloadOffset);
    if (length >= Packet::TrailerSize) {
        Packet::writeLe16(b + length - 4, byteSum16(b, length - Packet::TrailerSize));
        b[length - 2] = 0x00;
        b[length - 1] = Packet::ResponseEnd;
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
    return byteAt(29) | (byteAt(30) << 8);
}

struct VirtualCard::Pending {
    qint64 dueUs = 0;
    QByteArray bytes;
    bool drop = false;
};

struct VirtualCard::State {
    // line
    int master = -1;
    int keepAlive = -1; // our own slave descriptor: the master never sees a hang-up
    int wakeFd = -1;    // read end of the wake-up pipe
    int wakeWrite = -1; // its write end
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
    bool idle = true; // shared: no reply waiting to be written
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
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::lock_guard lock(m_mutex);
        m_state->error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B57600);
    ::cfsetospeed(&raw, B57600);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    int wake[2] = {-1, -1};
    if (::pipe(wake) != 0) {
        ::close(master);
        ::close(slave);
        std::lock_guard lock(m_mutex);
        m_state->error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    for (const int fd : wake) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }

    const QString device = QString::fromLocal8Bit(name);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(device, linkPath)) {
            ::close(master);
            ::close(slave);
            ::close(wake[0]);
            ::close(wake[1]);
            std::lock_guard lock(m_mutex);
            m_state->error = QStringLiteral("cannot create the link %1").arg(linkPath);
            return false;
        }
    }

    {
        std::lock_guard lock(m_mutex);
        State &s = *m_state;
        s.master = master;
        s.keepAlive = slave;
        s.wakeFd = wake[0];
        s.wakeWrite = wake[1];
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
    for (int *fd : {&m_state->wakeFd, &m_state->wakeWrite}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void VirtualCard::closeLine()
{
    // Called with the lock held.
    State &s = *m_state;
    if (s.master >= 0)
        ::close(s.master);
    if (s.keepAlive >= 0)
        ::close(s.keepAlive);
    s.master = s.keepAlive = -1;
    if (!s.link.isEmpty())
        QFile::remove(s.link);
    s.link.clear(); // never remove a link some later card put there
    s.running = false;
}

void VirtualCard::wake()
{
    int fd = -1;
    {
        std::lock_guard lock(m_mutex);
        fd = m_state->wakeWrite;
    }
    if (fd >= 0) {
        const char one = 1;
        [[maybe_unused]] const auto n = ::write(fd, &one, 1);
    }
}

void VirtualCard::run()
{
    int master = -1, wakeFd = -1;
    {
        std::lock_guard lock(m_mutex);
        master = m_state->master;
        wakeFd = m_state->wakeFd;
    }
    State &s = *m_state; // the card-thread-only fields need no lock
    QByteArray chunk(4096, '\0');
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (s.stopRequested || s.dropped)
                return;
        }
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

        pollfd fds[2] = {{master, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const bool blocked = !s.outbound.empty() && s.outbound.front().dueUs <= now;
        if (blocked)
            fds[0].events |= POLLOUT;
        timespec ts{};
        timespec *timeout = nullptr;
        if (waitUs >= 0 && !blocked) {
            ts.tv_sec = time_t(waitUs / 1'000'000);
            ts.tv_nsec = long((waitUs % 1'000'000) * 1000);
            timeout = &ts;
        }
#if defined(__linux__)
        const int ready = ::ppoll(fds, 2, timeout, nullptr);
#else
        // Millisecond resolution, rounded up: replies leave at most 1 ms late.
        const int ready = ::poll(fds, 2, timeout ? int((waitUs + 999) / 1000) : -1);
#endif
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (::read(wakeFd, drain, sizeof drain) > 0) {
            }
        }

        if (fds[0].revents & POLLIN) {
            const auto n = ::read(master, chunk.data(), size_t(chunk.size()));
            const qint64 t = nowUs();
            for (qsizetype i = 0; i < n; ++i) {
                const auto byte = uint8_t(chunk[i]);
                if (s.resyncing && t - s.lastByteUs < ResyncQuietUs) {
                    s.lastByteUs = t;
                    continue;
                }
                s.resyncing = false;
                s.lastByteUs = t;
                if (s.inbound.isEmpty()) {
                    if (byte != Packet::RequestStart)
                        continue;
                    s.frameStartUs = t;
                }
                s.inbound.append(char(byte));
                if (s.inbound.size() == 3) {
                    s.inboundLength = Packet::readLe16(
                        reinterpret_cast<const uint8_t *>(s.inbound.constData()) + 1);
                    if (s.inboundLength < Packet::MinFrame ||
                        s.inboundLength > Packet::MaxRequest) {
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

        const qint64 after = nowUs();
        if (!s.inbound.isEmpty() && after - s.lastByteUs >= StalledFrameUs)
            s.inbound.clear();
        if (s.resyncing && after - s.lastByteUs >= ResyncQuietUs)
            s.resyncing = false;

        while (!s.outbound.empty() && s.outbound.front().dueUs <= after) {
            Pending &p = s.outbound.front();
            if (p.drop) {
                std::lock_guard lock(m_mutex);
                closeLine();
                s.dropped = true;
                s.outbound.clear();
                m_requestSeen.notify_all();
                return;
            }
            const auto n = ::write(master, p.bytes.constData(), size_t(p.bytes.size()));
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    break;
                s.outbound.pop_front(); // nobody can take it
                continue;
            }
            p.bytes.remove(0, n);
            if (!p.bytes.isEmpty())
                break;
            s.outbound.pop_front();
        }
        if (s.outbound.empty()) {
            std::lock_guard lock(m_mutex);
            if (!s.idle) {
                s.idle = true;
                m_requestSeen.notify_all();
            }
        }
    }
}

void VirtualCard::handleFrame(const QByteArray &frame, qint64 firstByteUs)
{
    const auto *b = reinterpret_cast<const uint8_t *>(frame.constData());
    const int length = int(frame.size());
    const bool framed = length >= Packet::MinFrame;
    const int command = framed ? b[Packet::CommandOffset] : -1;
    const uint8_t sequence = length > Packet::SequenceOffset ? b[Packet::SequenceOffset] : 0;
    const int address = framed ? Packet::readLe16(b + Packet::AddressOffset) : 1;

    std::function<void(const QString &)> logger;
    std::function<void(const ReceivedPage &)> pageListener;
    ReceivedPage completed;
    bool pageCompleted = false;
    QString account;

    {
        std::lock_guard lock(m_mutex);
        State &s = *m_state;
        ++s.requests;
        logger = s.logger;
        pageListener = s.pageListener;

        // The faults that apply to this request.
        std::vector<CardFault> active;
        for (auto it = s.faults.begin(); it != s.faults.end();) {
            if (it->command >= 0 && it->command != command) {
                ++it;
                continue;
            }
            if (it->skip > 0) {
                --it->skip;
                ++it;
                continue;
            }
            active.push_back(*it);
            if (it->count > 0 && --it->count == 0)
                it = s.faults.erase(it);
            else
                ++it;
        }
        auto has = [&](CardFault::Kind kind) -> const CardFault * {
            for (const CardFault &f : active)
                if (f.kind == kind)
                    return &f;
            return nullptr;
        };

        // Validate, then carry out.
        int status = Ok;
        QByteArray data;
        if (!framed || b[length - 1] != Packet::RequestEnd)
            status = BadStructure;
        else if (byteSum16(b, length - Packet::TrailerSize) != Packet::readLe16(b + length - 4))
            status = BadChecksum;
        else if (address != Packet::CardAddress && address != Packet::BroadcastAddress)
            status = -1; // another card's request
        else if (const CardFault *f = has(CardFault::Kind::Status))
            status = f->value & 0xFF;
        else if (!has(CardFault::Kind::Silence) && !has(CardFault::Kind::DropLine)) {
            const uint8_t *p = b + Packet::PayloadOffset;
            const int blockLength = std::max(0, length - 53); // upload data from offset 49
            switch (command) {
            case 0x02: {
                const int pageNumber = Packet::readLe16(p);
                const int offset = Packet::readLe16(p + 2);
                auto it = s.pages.find(pageNumber);
                if (it == s.pages.end()) {
                    status = Failed;
                } else if (offset > it->second.bits.size() ||
                           offset + blockLength > it->second.length()) {
                    status = BadValue;
                } else {
                    ReceivedPage &page = it->second;
                    page.bits.truncate(offset);
                    page.bits.append(reinterpret_cast<const char *>(b + 49), blockLength);
                    if (page.isComplete()) {
                        completed = page;
                        pageCompleted = true;
                    }
                }
                break;
            }
            case 0x03: {
                ReceivedPage page;
                page.pageNumber = Packet::readLe16(p);
                page.header = frame.mid(Packet::PayloadOffset, 33);
                if (blockLength > page.length()) {
                    status = BadValue;
                    break;
                }
                page.bits = frame.mid(49, blockLength);
                s.pages[page.pageNumber] = page;
                if (page.isComplete()) {
                    completed = page;
                    pageCompleted = true;
                }
                break;
            }
            case 0x06:
                s.pages.clear();
                ++s.clears;
                break;
            case 0x10:
                if (p[0] > 15)
                    status = BadValue;
                else
                    s.brightness = p[0];
                break;
            case 0x13:
                data.append(char(s.brightness));
                break;
            case 0x19:
                s.uploadPhase = p[0];
                break;
            case 0x20:
                if (p[0] > 1)
                    status = BadValue;
                else
                    s.screenOn = p[0] == 1;
                break;
            case 0x21:
                if (!validBcd(p[0], 99) || !validBcd(p[1], 12) || p[1] == 0 ||
                    !validBcd(p[2], 31) || p[2] == 0 || !validBcd(p[3], 23) ||
                    !validBcd(p[4], 59) || !validBcd(p[5], 59) || !validBcd(p[6], 6))
                    status = BadValue;
                else
                    s.clock = frame.mid(Packet::PayloadOffset, 8);
                break;
            case 0x23: {
                ScreenParams params;
                std::copy_n(p, params.bytes.size(), params.bytes.begin());
                if (params.heightCode() == 0 || params.colourType() < 1 ||
                    params.colourType() > 2 || params.rowOrder() < -15 || params.rowOrder() > 15 ||
                    params.frequency() < 1 || params.frequency() > 5)
                    status = BadValue;
                else
                    s.params = params;
                break;
            }
            case 0x24:
                data = QByteArray(reinterpret_cast<const char *>(s.params.bytes.data()),
                                  qsizetype(s.params.bytes.size()));
                break;
            case 0x33:
                s.params = ScreenParams{};
                s.brightness = 15;
                s.screenOn = true;
                ++s.factoryResets;
                break;
            case 0x35:
                data.append(char(s.identity.modelCode));
                data.append(char(s.identity.firmwareMajor));
                data.append(char(s.identity.firmwareMinor));
                data.append(char(s.identity.firmwareBuild));
                data.append(char(s.identity.series));
                break;
            default:
                status = UnknownCommand;
                break;
            }
        }

        // The reply, as the faults shape it.
        LogEntry entry;
        entry.request = frame;
        const bool answers =
            status >= 0 && address == Packet::CardAddress && !has(CardFault::Kind::Silence);
        const CardFault *drop = has(CardFault::Kind::DropLine);
        qint64 due = nowUs();
        if (answers && !drop) {
            int replyLength = Packet::MinFrame;
            if (has(CardFault::Kind::LongReply))
                replyLength = 60;
            if (has(CardFault::Kind::LengthTooShort))
                replyLength = Packet::MinFrame - 1;
            if (has(CardFault::Kind::LengthTooLong))
                replyLength = Packet::MaxResponse + 1;
            QByteArray reply = makeReply(replyLength, sequence, uint8_t(status),
                                         has(CardFault::Kind::LongReply) ? QByteArray() : data);
            auto *r = reinterpret_cast<uint8_t *>(reply.data());
            if (has(CardFault::Kind::BadChecksum))
                Packet::writeLe16(r + replyLength - 4,
                                  uint16_t(Packet::readLe16(r + replyLength - 4) + 1));
            if (has(CardFault::Kind::BadEndMark))
                r[replyLength - 1] = 0x5E;
            if (const CardFault *f = has(CardFault::Kind::Noise))
                reply.prepend(f->noise.isEmpty() ? CardFault::defaultNoise() : f->noise);
            entry.reply = reply;
            entry.status = status;

            if (s.lineSpeed > 0)
                due = std::max(due, firstByteUs + qint64(length + reply.size()) * 10 * 1'000'000 /
                                                      s.lineSpeed);
            if (const CardFault *f = has(CardFault::Kind::Delay))
                due += qint64(f->value) * 1000;
            due = std::max(due, s.lastDueUs);
            if (const CardFault *f = has(CardFault::Kind::Trickle)) {
                for (qsizetype i = 0; i < reply.size(); ++i)
                    s.outbound.push_back({due + i * qint64(f->value) * 1000, reply.mid(i, 1)});
                due += (reply.size() - 1) * qint64(f->value) * 1000;
            } else {
                s.outbound.push_back({due, reply});
            }
            s.lastDueUs = due;
        } else if (drop) {
            s.outbound.push_back({std::max(due, s.lastDueUs), {}, true});
        }

        if (logger) {
            account = QStringLiteral("#%1 seq %2 cmd %3 len %4 -> %5")
                          .arg(s.requests)
                          .arg(sequence)
                          .arg(command < 0 ? QStringLiteral("?") : hexCode(command))
                          .arg(length)
                          .arg(drop                    ? QStringLiteral("line dropped")
                               : entry.reply.isEmpty() ? QStringLiteral("no reply")
                                                       : QStringLiteral("status %1").arg(status));
        }
        s.idle = s.outbound.empty();
        s.log.push_back(entry);
        while (s.log.size() > MaxLogEntries)
            s.log.pop_front();
    }
    m_requestSeen.notify_all();
    if (logger)
        logger(account);
    if (pageCompleted && pageListener)
        pageListener(completed);
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
