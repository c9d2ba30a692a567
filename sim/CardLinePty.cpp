// The card's line on a pseudo-terminal (POSIX systems).
#include "sim/CardLine.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <util.h>
#else
#include <pty.h>
#endif

struct CardLine::Handles {
    int master = -1;
    int keepAlive = -1; // our own slave descriptor: the master never sees a hang-up
    int wakeFd = -1;    // read end of the wake-up pipe
    int wakeWrite = -1; // its write end
    QString device;
};

namespace {

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

QString errnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

CardLine::CardLine() : m(std::make_unique<Handles>())
{
}

CardLine::~CardLine()
{
    close();
}

bool CardLine::open(QString *error)
{
    close();
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = errnoText("openpty");
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
        *error = errnoText("pipe");
        ::close(master);
        ::close(slave);
        return false;
    }
    for (const int fd : wake) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    m->master = master;
    m->keepAlive = slave;
    m->wakeFd = wake[0];
    m->wakeWrite = wake[1];
    m->device = QString::fromLocal8Bit(name);
    return true;
}

void CardLine::closeLine()
{
    closeFd(m->master);
    closeFd(m->keepAlive);
}

void CardLine::close()
{
    closeLine();
    closeFd(m->wakeFd);
    closeFd(m->wakeWrite);
}

bool CardLine::isOpen() const
{
    return m->master >= 0;
}

QString CardLine::device() const
{
    return m->device;
}

int CardLine::wait(qint64 waitUs, bool wantWrite)
{
    pollfd fds[2] = {{m->master, POLLIN, 0}, {m->wakeFd, POLLIN, 0}};
    if (wantWrite)
        fds[0].events |= POLLOUT;
    timespec ts{};
    timespec *timeout = nullptr;
    if (waitUs >= 0 && !wantWrite) {
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
        return -1;
    if (fds[1].revents & POLLIN) {
        char drain[64];
        while (::read(m->wakeFd, drain, sizeof drain) > 0) {
        }
    }
    return ready > 0 && (fds[0].revents & POLLIN) ? 1 : 0;
}

qint64 CardLine::read(char *data, qint64 max)
{
    const auto n = ::read(m->master, data, size_t(max));
    return n > 0 ? n : 0;
}

qint64 CardLine::write(const char *data, qint64 n)
{
    const auto written = ::write(m->master, data, size_t(n));
    if (written < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return written;
}

void CardLine::wake()
{
    if (m->wakeWrite >= 0) {
        const char one = 1;
        [[maybe_unused]] const auto n = ::write(m->wakeWrite, &one, 1);
    }
}
