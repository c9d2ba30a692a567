#include "cli/TerminalProgressHost.h"

#include "cli/Console.h"
#include "cli/InterruptWatch.h"
#include "cli/TerminalUserInterface.h"

namespace {

constexpr int kBarCells = 24;

// Terminal columns a character takes: East Asian wide characters take two.
int cellWidth(char32_t c)
{
    if (c < 0x1100)
        return 1;
    const bool wide = (c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// The longest start of text that fits in columns terminal columns.
QString fitColumns(const QString &text, int columns)
{
    QString fitted;
    int used = 0;
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\n' || c == U'\r')
            break;
        const int w = cellWidth(c);
        if (used + w > columns)
            break;
        used += w;
        fitted += QString::fromUcs4(&c, 1);
    }
    return fitted;
}

} // namespace

TerminalProgressHost::TerminalProgressHost(Console &console, TerminalUserInterface &ui, int range)
    : m_console(console), m_ui(ui), m_range(range > 0 ? range : 1), m_live(console.errIsTerminal())
{
}

TerminalProgressHost::~TerminalProgressHost()
{
    finish();
}

void TerminalProgressHost::setStatus(int position, const QString &text)
{
    const bool changed = text != m_text || m_history.isEmpty();
    m_text = text;
    // As the progress bar does: a position outside the range is ignored.
    if (position >= 0 && position <= m_range)
        m_position = position;
    if (changed) {
        m_history << text;
        m_ui.resetRetries();
    }
    if (m_live) {
        drawBar();
    } else if (changed) {
        m_console.err(QStringLiteral("[%1%] %2\n").arg(m_position * 100 / m_range, 3).arg(text));
    }
}

void TerminalProgressHost::drawBar(bool wholeText)
{
    const int filled = m_position * kBarCells / m_range;
    const QString bar =
        QString(filled, QLatin1Char('#')) + QString(kBarCells - filled, QLatin1Char('-'));
    const QString head = QStringLiteral("[%1] %2% ").arg(bar).arg(m_position * 100 / m_range, 3);
    const int room = m_console.terminalColumns() - int(head.size()) - 1;
    // \r and "erase to end of line" redraw the bar in place.
    m_console.err(QStringLiteral("\r\x1b[K") + head +
                  (wholeText ? m_text : fitColumns(m_text, room > 0 ? room : 0)));
    m_barShown = true;
}

void TerminalProgressHost::breakBarLine()
{
    if (m_barShown) {
        m_console.err(QStringLiteral("\n"));
        m_barShown = false;
    }
}

void TerminalProgressHost::finish()
{
    // The last status stays on screen whole, even where the live bar cut it.
    if (m_live && m_barShown)
        drawBar(true);
    breakBarLine();
}

void TerminalProgressHost::setButtons(bool okEnabled, bool cancelEnabled)
{
    m_okEnabled = okEnabled;
    m_cancelEnabled = cancelEnabled;
}

bool TerminalProgressHost::isCancelled() const
{
    return InterruptWatch::interrupted();
}

bool TerminalProgressHost::askYesNo(const QString &text)
{
    breakBarLine();
    const bool yes = ::askYesNo(nullptr, text);
    if (m_live)
        drawBar();
    return yes;
}

Answer TerminalProgressHost::askYesNoCancel(const QString &text)
{
    breakBarLine();
    const Answer answer = ::askYesNoCancel(nullptr, text);
    if (m_live)
        drawBar();
    return answer;
}
