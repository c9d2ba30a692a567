#include "cli/MultiSign.h"

#include "cli/CliApp.h"
#include "cli/CliJson.h"
#include "cli/Console.h"
#include "cli/InterruptWatch.h"

#include <QJsonValue>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>

namespace {
// How often the calling thread looks at Ctrl-C and redraws the progress.
constexpr auto kTick = std::chrono::milliseconds(200);
} // namespace

SignHost::SignHost(const std::atomic<bool> &cancel, TerminalUserInterface::Policy policy,
                   int retries)
    : m_cancel(cancel), m_policy(policy), m_retries(retries)
{
}

void SignHost::setRange(int range)
{
    const std::lock_guard lock(m_mutex);
    m_range = range;
}

void SignHost::setStatus(int position, const QString &text)
{
    const std::lock_guard lock(m_mutex);
    m_position = position;
    if (text != m_text) {
        m_text = text;
        ++m_changes;
    }
}

SignHost::Snapshot SignHost::snapshot() const
{
    const std::lock_guard lock(m_mutex);
    Snapshot s;
    if (m_range > 0)
        s.percent = std::clamp(m_position * 100 / m_range, 0, 100);
    s.text = m_text;
    s.changes = m_changes;
    return s;
}

bool SignHost::takeRetry()
{
    if (m_policy != TerminalUserInterface::Policy::Retry || m_retriesUsed >= m_retries)
        return false;
    ++m_retriesUsed;
    return true;
}

bool SignHost::askYesNo(const QString &)
{
    return takeRetry();
}

Answer SignHost::askYesNoCancel(const QString &)
{
    if (takeRetry())
        return Answer::Yes;
    return m_policy == TerminalUserInterface::Policy::Skip ? Answer::No : Answer::Cancel;
}

MultiSign::MultiSign(Console &console, bool json, TerminalUserInterface::Policy policy, int retries)
    : m_console(console), m_json(json),
      m_policy(policy == TerminalUserInterface::Policy::Ask ? TerminalUserInterface::Policy::Stop
                                                            : policy),
      m_retries(retries)
{
}

std::vector<SignResult> MultiSign::run(const std::vector<SignTarget> &targets, const Job &job)
{
    const size_t n = targets.size();
    std::vector<SignResult> results(n);
    std::atomic<bool> cancel{false};
    std::vector<std::unique_ptr<SignHost>> hosts;
    for (size_t i = 0; i < n; ++i)
        hosts.push_back(std::make_unique<SignHost>(cancel, m_policy, m_retries));

    std::mutex mutex;
    std::condition_variable ended;
    std::deque<size_t> finishedQueue;
    // QThreads, not plain threads: the serial and TCP channels use socket
    // notifiers, which need a thread Qt knows.
    std::vector<std::unique_ptr<QThread>> workers;
    workers.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        workers.emplace_back(QThread::create([&, i] {
            job(targets[i], *hosts[i], results[i]);
            {
                const std::lock_guard lock(mutex);
                finishedQueue.push_back(i);
            }
            ended.notify_one();
        }));
        workers.back()->start();
    }

    const InterruptWatch watch;
    std::vector<bool> finished(n, false);
    std::vector<int> seenChanges(n, 0);
    size_t done = 0;
    while (done < n) {
        std::deque<size_t> now;
        {
            std::unique_lock lock(mutex);
            ended.wait_for(lock, kTick, [&] { return !finishedQueue.empty(); });
            now.swap(finishedQueue);
        }
        if (InterruptWatch::interrupted())
            cancel = true;
        for (const size_t i : now) {
            finished[i] = true;
            ++done;
            if (m_barShown) {
                m_console.err(QStringLiteral("\n"));
                m_barShown = false;
            }
            if (!m_json)
                m_console.out(line(targets[i], results[i]) + QLatin1Char('\n'));
        }
        if (done < n)
            drawProgress(targets, hosts, finished, seenChanges);
    }
    for (const auto &worker : workers)
        worker->wait();
    if (m_barShown)
        m_console.err(QStringLiteral("\n"));
    m_barShown = false;
    return results;
}

void MultiSign::drawProgress(const std::vector<SignTarget> &targets,
                             const std::vector<std::unique_ptr<SignHost>> &hosts,
                             const std::vector<bool> &finished, std::vector<int> &seenChanges)
{
    if (m_console.errIsTerminal()) {
        // One live line: every sign still working with its share done.
        QString bar;
        for (size_t i = 0; i < targets.size(); ++i) {
            if (finished[i])
                continue;
            const SignHost::Snapshot s = hosts[i]->snapshot();
            if (!bar.isEmpty())
                bar += QStringLiteral(" | ");
            bar += s.percent >= 0 ? QStringLiteral("%1 %2%").arg(targets[i].name).arg(s.percent)
                                  : targets[i].name + QStringLiteral(" …");
        }
        const int columns = std::max(20, m_console.terminalColumns() - 1);
        if (bar.size() > columns)
            bar = bar.left(columns - 1) + QChar(0x2026);
        m_console.err(QStringLiteral("\r\x1b[K") + bar);
        m_barShown = true;
        return;
    }
    // Not a terminal: one line per status change of a sign.
    for (size_t i = 0; i < targets.size(); ++i) {
        const SignHost::Snapshot s = hosts[i]->snapshot();
        if (s.changes == seenChanges[i] || s.text.isEmpty())
            continue;
        seenChanges[i] = s.changes;
        m_console.err(QStringLiteral("%1: %2\n").arg(targets[i].name, s.text));
    }
}

int MultiSign::exitCode(const std::vector<SignResult> &results)
{
    bool allOk = true;
    bool noneReached = !results.empty();
    for (const SignResult &r : results) {
        allOk = allOk && r.code == ExitOk;
        noneReached = noneReached && r.code == ExitNoCard;
    }
    return allOk ? ExitOk : noneReached ? ExitNoCard : ExitPartial;
}

QJsonArray MultiSign::toJson(const std::vector<SignTarget> &targets,
                             const std::vector<SignResult> &results)
{
    QJsonArray array;
    for (size_t i = 0; i < targets.size() && i < results.size(); ++i) {
        const SignResult &r = results[i];
        QJsonObject o = r.code == ExitOk ? QJsonObject{{QStringLiteral("ok"), true}}
                                         : CliJson::failure(r.error, r.code);
        o[u"name"] = targets[i].name;
        o[u"port"] = targets[i].port;
        o[u"outcome"] = r.outcome;
        for (auto it = r.details.begin(); it != r.details.end(); ++it)
            if (!o.contains(it.key()))
                o[it.key()] = it.value();
        array.append(o);
    }
    return array;
}

QString MultiSign::line(const SignTarget &target, const SignResult &result)
{
    QString text = QStringLiteral("%1  %2  %3").arg(target.name, target.port, result.outcome);
    if (!result.summary.isEmpty())
        text += QStringLiteral("  ") + result.summary;
    if (result.code != ExitOk && !result.error.isEmpty())
        text += QStringLiteral("  (") + result.error + QLatin1Char(')');
    return text;
}
