// The card's line on Windows: a TCP listener on 127.0.0.1, one connection at
// a time; a UDP socket talking to itself wakes the card's thread.
#include "sim/CardLine.h"

#include <winsock2.h>
#include <ws2tcpip.h>

struct CardLine::Handles {
    SOCKET listener = INVALID_SOCKET;
    SOCKET client = INVALID_SOCKET; // the connection that is the line now
    SOCKET wake = INVALID_SOCKET;   // bound and connected to itself
    QString device;
    bool started = false; // WSAStartup done
};

namespace {

void closeSocket(SOCKET &s)
{
    if (s != INVALID_SOCKET)
        ::closesocket(s);
    s = INVALID_SOCKET;
}

bool setNonBlocking(SOCKET s)
{
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}

QString socketError(const char *what)
{
    return QStringLiteral("%1: Winsock error %2").arg(QLatin1String(what)).arg(::WSAGetLastError());
}

// A socket bound to 127.0.0.1 on a free port; its address in *address.
SOCKET boundLoopback(int type, sockaddr_in *address)
{
    const SOCKET s = ::socket(AF_INET, type, 0);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    int size = sizeof a;
    if (::bind(s, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &size) != 0 || !setNonBlocking(s)) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    *address = a;
    return s;
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
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        *error = QStringLiteral("WSAStartup failed");
        return false;
    }
    m->started = true;
    sockaddr_in address{};
    m->listener = boundLoopback(SOCK_STREAM, &address);
    if (m->listener == INVALID_SOCKET || ::listen(m->listener, 4) != 0) {
        *error = socketError("listen");
        close();
        return false;
    }
    const quint16 port = ntohs(address.sin_port);
    sockaddr_in self{};
    m->wake = boundLoopback(SOCK_DGRAM, &self);
    if (m->wake == INVALID_SOCKET ||
        ::connect(m->wake, reinterpret_cast<const sockaddr *>(&self), sizeof self) != 0) {
        *error = socketError("wake-up socket");
        close();
        return false;
    }
    m->device = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
    return true;
}

void CardLine::closeLine()
{
    closeSocket(m->client);
    closeSocket(m->listener);
}

void CardLine::close()
{
    closeLine();
    closeSocket(m->wake);
    if (m->started)
        ::WSACleanup();
    m->started = false;
}

bool CardLine::isOpen() const
{
    return m->listener != INVALID_SOCKET;
}

QString CardLine::device() const
{
    return m->device;
}

int CardLine::wait(qint64 waitUs, bool wantWrite)
{
    const bool connected = m->client != INVALID_SOCKET;
    WSAPOLLFD fds[2] = {};
    fds[0].fd = connected ? m->client : m->listener;
    fds[0].events = POLLRDNORM | (connected && wantWrite ? POLLWRNORM : 0);
    fds[1].fd = m->wake;
    fds[1].events = POLLRDNORM;
    // Millisecond resolution, rounded up: replies leave at most 1 ms late.
    const int timeout = waitUs < 0 || wantWrite ? -1 : int((waitUs + 999) / 1000);
    const int ready = ::WSAPoll(fds, 2, timeout);
    if (ready == SOCKET_ERROR)
        return -1;
    if (fds[1].revents & POLLRDNORM) {
        char drain[64];
        while (::recv(m->wake, drain, sizeof drain, 0) > 0) {
        }
    }
    if (!connected) {
        if (fds[0].revents & POLLRDNORM) {
            const SOCKET s = ::accept(m->listener, nullptr, nullptr);
            if (s != INVALID_SOCKET) {
                setNonBlocking(s);
                BOOL noDelay = TRUE;
                ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&noDelay),
                             sizeof noDelay);
                m->client = s;
            }
        }
        return 0;
    }
    // A hang-up or an error is read as the end of the connection.
    return (fds[0].revents & (POLLRDNORM | POLLHUP | POLLERR)) ? 1 : 0;
}

qint64 CardLine::read(char *data, qint64 max)
{
    if (m->client == INVALID_SOCKET)
        return 0;
    const int n = ::recv(m->client, data, int(max), 0);
    if (n > 0)
        return n;
    if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK)
        closeSocket(m->client); // the program went away: wait for the next one
    return 0;
}

qint64 CardLine::write(const char *data, qint64 n)
{
    if (m->client == INVALID_SOCKET)
        return -1;
    const int sent = ::send(m->client, data, int(n), 0);
    if (sent == SOCKET_ERROR)
        return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    return sent;
}

void CardLine::wake()
{
    if (m->wake != INVALID_SOCKET) {
        const char one = 1;
        ::send(m->wake, &one, 1, 0);
    }
}
