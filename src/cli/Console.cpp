#include "cli/Console.h"

#include <QByteArray>
#include <cerrno>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // a closed pipe: nothing more can be said
        }
        data += n;
        left -= n;
    }
}

} // namespace

StdConsole::StdConsole()
    : m_errTty(::isatty(STDERR_FILENO) == 1), m_inTty(::isatty(STDIN_FILENO) == 1)
{
}

void StdConsole::out(const QString &text)
{
    writeAll(STDOUT_FILENO, text.toUtf8());
}

void StdConsole::err(const QString &text)
{
    writeAll(STDERR_FILENO, text.toUtf8());
}

int StdConsole::terminalColumns() const
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

std::optional<QString> StdConsole::readLine()
{
    // Byte by byte with read(2), so that an interrupting Ctrl-C ends the wait
    // (the handler is installed without SA_RESTART) and nothing beyond the
    // line is consumed. Lines are bounded; the rest of an overlong line is
    // dropped.
    constexpr qsizetype kMaxLine = 1024;
    QByteArray line;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n == 0)
            return line.isEmpty() ? std::nullopt : std::optional<QString>(QString::fromUtf8(line));
        if (n < 0)
            return std::nullopt; // EINTR (Ctrl-C) or a broken input
        if (c == '\n')
            break;
        if (line.size() < kMaxLine)
            line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
