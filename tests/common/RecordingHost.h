#pragma once
// A ProgressHost for tests: records every status line, button change,
// pumping point, wait and question in order, answers questions from queues
// (default No / Cancel), and models the cancel button: a press is only
// registered at the next pumping point, as a real dialog registers it when
// the job dispatches events. Waits do not really wait unless realTime is set.

#include "link/ProgressHost.h"

#include <QString>
#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

class RecordingHost final : public ProgressHost {
public:
    enum class Kind { Status, Buttons, Pump, WaitPumping, Sleep, YesNo, YesNoCancel };
    struct Event {
        Kind kind = Kind::Status;
        int position = 0; // Status
        QString text;     // Status, questions
        bool ok = false;  // Buttons
        bool cancel = false;
        int ms = 0; // waits
    };

    void setStatus(int position, const QString &text) override
    {
        Event &e = record(Kind::Status);
        e.position = position;
        e.text = text;
    }
    void setButtons(bool okEnabled, bool cancelEnabled) override
    {
        Event &e = record(Kind::Buttons);
        e.ok = okEnabled;
        e.cancel = cancelEnabled;
    }
    bool isCancelled() const override { return m_cancelled; }
    bool askYesNo(const QString &text) override
    {
        record(Kind::YesNo).text = text;
        pumped();
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    Answer askYesNoCancel(const QString &text) override
    {
        record(Kind::YesNoCancel).text = text;
        pumped();
        if (yesNoCancelAnswers.empty())
            return Answer::Cancel;
        const Answer answer = yesNoCancelAnswers.front();
        yesNoCancelAnswers.pop_front();
        return answer;
    }
    void pumpMessages() override
    {
        record(Kind::Pump);
        pumped();
    }
    void waitPumping(int ms) override
    {
        record(Kind::WaitPumping).ms = ms;
        if (realTime)
            ProgressHost::waitPumping(ms);
        pumped();
    }
    void sleep(int ms) override
    {
        record(Kind::Sleep).ms = ms;
        if (realTime)
            ProgressHost::sleep(ms);
    }

    // The user presses cancel now; the dialog sees it at the next pumping point.
    void pressCancel() { m_pressPending = true; }

    // ---- queries
    std::vector<std::pair<int, QString>> statuses() const
    {
        std::vector<std::pair<int, QString>> out;
        for (const Event &e : events)
            if (e.kind == Kind::Status)
                out.emplace_back(e.position, e.text);
        return out;
    }
    std::pair<int, QString> lastStatus() const
    {
        const auto all = statuses();
        return all.empty() ? std::pair<int, QString>{-1, QString()} : all.back();
    }
    // {ok, cancel} of the last setButtons; {false, false} when never called.
    std::pair<bool, bool> lastButtons() const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == Kind::Buttons)
                return {it->ok, it->cancel};
        return {false, false};
    }
    QStringList questions() const
    {
        QStringList out;
        for (const Event &e : events)
            if (e.kind == Kind::YesNo || e.kind == Kind::YesNoCancel)
                out << e.text;
        return out;
    }
    int count(Kind kind) const
    {
        int n = 0;
        for (const Event &e : events)
            n += e.kind == kind ? 1 : 0;
        return n;
    }
    // The durations of every wait of this kind, in order.
    std::vector<int> waits(Kind kind) const
    {
        std::vector<int> out;
        for (const Event &e : events)
            if (e.kind == kind)
                out.push_back(e.ms);
        return out;
    }

    std::vector<Event> events;
    std::deque<bool> yesNoAnswers;
    std::deque<Answer> yesNoCancelAnswers;
    bool realTime = false;
    // Runs at the end of every pumping point (after a pending press has been
    // registered); a press made here is seen at the following one.
    std::function<void(RecordingHost &)> onPump;

private:
    Event &record(Kind kind)
    {
        events.emplace_back();
        events.back().kind = kind;
        return events.back();
    }
    void pumped()
    {
        if (m_pressPending) {
            m_pressPending = false;
            m_cancelled = true;
        }
        if (onPump)
            onPump(*this);
    }

    bool m_cancelled = false;
    bool m_pressPending = false;
};
