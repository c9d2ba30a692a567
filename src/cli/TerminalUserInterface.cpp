#include "cli/TerminalUserInterface.h"
#include "base/Language.h"

#include "cli/Console.h"

TerminalUserInterface::TerminalUserInterface(Console &console, Policy policy, int retries)
    : m_console(console), m_policy(policy), m_retries(retries)
{
    setUserInterface(this);
}

TerminalUserInterface::~TerminalUserInterface()
{
    setUserInterface(nullptr);
}

void TerminalUserInterface::setPolicy(Policy policy, int retries)
{
    m_policy = policy;
    m_retries = retries;
    m_retriesUsed = 0;
}

bool TerminalUserInterface::takeRetry()
{
    if (m_retriesUsed >= m_retries)
        return false;
    ++m_retriesUsed;
    return true;
}

bool TerminalUserInterface::askYesNo(QObject *, const QString &text)
{
    switch (m_policy) {
    case Policy::Ask:
        for (;;) {
            m_console.err(text + QStringLiteral(" [y/n] "));
            const std::optional<QString> line = m_console.readLine();
            if (!line) {
                m_console.err(trEn("Cli", "\n-> no\n"));
                return false;
            }
            const QString answer = line->trimmed().toLower();
            if (answer == u"y" || answer == u"yes")
                return true;
            if (answer == u"n" || answer == u"no")
                return false;
        }
    case Policy::Retry:
        if (takeRetry()) {
            m_console.err(
                text +
                trEn("Cli", "\n-> yes (retry %1 of %2)\n").arg(m_retriesUsed).arg(m_retries));
            return true;
        }
        break;
    case Policy::Skip:
    case Policy::Stop:
        break;
    }
    m_console.err(text + trEn("Cli", "\n-> no\n"));
    return false;
}

Answer TerminalUserInterface::askYesNoCancel(QObject *, const QString &text)
{
    switch (m_policy) {
    case Policy::Ask:
        for (;;) {
            m_console.err(text + trEn("Cli", " [y]es resend / [n]o skip / [c]ancel stop: "));
            const std::optional<QString> line = m_console.readLine();
            if (!line) {
                m_console.err(trEn("Cli", "\n-> cancel\n"));
                return Answer::Cancel;
            }
            const QString answer = line->trimmed().toLower();
            if (answer == u"y" || answer == u"yes")
                return Answer::Yes;
            if (answer == u"n" || answer == u"no")
                return Answer::No;
            if (answer == u"c" || answer == u"cancel")
                return Answer::Cancel;
        }
    case Policy::Retry:
        if (takeRetry()) {
            m_console.err(
                text +
                trEn("Cli", "\n-> yes (retry %1 of %2)\n").arg(m_retriesUsed).arg(m_retries));
            return Answer::Yes;
        }
        m_console.err(text + trEn("Cli", "\n-> cancel (no retries left)\n"));
        return Answer::Cancel;
    case Policy::Skip:
        m_console.err(text + trEn("Cli", "\n-> no (skip)\n"));
        return Answer::No;
    case Policy::Stop:
        break;
    }
    m_console.err(text + trEn("Cli", "\n-> cancel\n"));
    return Answer::Cancel;
}

void TerminalUserInterface::showMessage(QObject *, const QString &text, const QString &caption,
                                        MessageIcon icon)
{
    if (icon == MessageIcon::Error || icon == MessageIcon::Warning)
        ++m_errorMessages;
    m_console.err(caption + QStringLiteral(": ") + text + QLatin1Char('\n'));
}
