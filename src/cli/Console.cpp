#include "cli/Console.h"

#include <QByteArray>
#include <QtGlobal>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN

constexpr int kStdIn = 0;
constexpr int kStdOut = 1;
constexpr int kStdErr = 2;

HANDLE handleOf(int fd)
{
    return GetStdHandle(fd == kStdIn ? STD_INPUT_HANDLE
                                     : (fd == kStdOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
}

// A console, not merely a character device: _isatty() also says yes for
// NUL, where no one would see a question or a live bar.
bool isTerminal(int fd)
{
    DWORD mode = 0;
    return ::_isatty(fd) != 0 && GetConsoleMode(handleOf(fd), &mode) != 0;
}

// A console takes UTF-16 whatever its code page; pipes and files get the
// UTF-8 bytes, as on every other platform.
void writeText(int fd, const QString &text)
{
    const HANDLE handle = handleOf(fd);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        const wchar_t *data = reinterpret_cast<const wchar_t *>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            DWORD written = 0;
            DWORD chunk = DWORD(qMin<qsizetype>(left, 16384));
            // A character outside the BMP is never split between two writes.
            if (chunk < left && QChar::isHighSurrogate(data[chunk - 1]))
                --chunk;
            if (!WriteConsoleW(handle, data, chunk, &written, nullptr) || written == 0)
                return;
            data += written;
            left -= written;
        }
        return;
    }
    const QByteArray bytes = text.toUtf8();
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const int n = ::_write(fd, data, unsigned(qMin<qsizetype>(left, 1 << 20)));
        if (n <= 0)
            return;
        data += n;
        left -= n;
    }
}

int readByte(char *c)
{
    return ::_read(kStdIn, c, 1);
}

#else

constexpr int kStdIn = STDIN_FILENO;
constexpr int kStdOut = STDOUT_FILENO;
constexpr int kStdErr = STDERR_FILENO;

bool isTerminal(int fd)
{
    return ::isatty(fd) == 1;
}

void writeText(int fd, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
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

// Read with read(2), so that an interrupting Ctrl-C ends the wait (the
// handler is installed without SA_RESTART): -1 then.
int readByte(char *c)
{
    return int(::read(kStdIn, c, 1));
}

#endif

} // namespace

StdConsole::StdConsole() : m_errTty(isTerminal(kStdErr)), m_inTty(isTerminal(kStdIn))
{
}

void StdConsole::out(const QString &text)
{
    writeText(kStdOut, text);
}

void StdConsole::err(const QString &text)
{
    writeText(kStdErr, text);
}

int StdConsole::terminalColumns() const
{
#ifdef Q_OS_WIN
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        const int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns > 0)
            return columns;
    }
#else
    winsize size{};
    if (::ioctl(kStdErr, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
#endif
    return 80;
}

std::optional<QString> StdConsole::readLine()
{
    // Byte by byte, so that nothing beyond the line is consumed and an
    // interrupting Ctrl-C ends the wait. Lines are bounded; the rest of an
    // overlong line is dropped.
    constexpr qsizetype kMaxLine = 1024;
    QByteArray line;
    for (;;) {
        char c = 0;
        const int n = readByte(&c);
        if (n == 0)
            return line.isEmpty() ? std::nullopt : std::optional<QString>(QString::fromUtf8(line));
        if (n < 0)
            return std::nullopt; // interrupted (Ctrl-C) or a broken input
        if (c == '\n')
            break;
        if (line.size() < kMaxLine)
            line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
