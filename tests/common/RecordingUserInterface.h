#pragma once
// A UserInterface for tests: answers questions from a queue (default No /
// Cancel) and records every question and message it was shown. Installs
// itself for its lifetime.

#include "base/AppServices.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class RecordingUserInterface final : public UserInterface {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
        QObject *owner = nullptr;
    };

    RecordingUserInterface() { setUserInterface(this); }
    ~RecordingUserInterface() override { setUserInterface(nullptr); }

    bool askYesNo(QObject *, const QString &text) override
    {
        questions << text;
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    Answer askYesNoCancel(QObject *, const QString &text) override
    {
        questions << text;
        if (yesNoCancelAnswers.empty())
            return Answer::Cancel;
        const Answer answer = yesNoCancelAnswers.front();
        yesNoCancelAnswers.pop_front();
        return answer;
    }
    void showMessage(QObject *owner, const QString &text, const QString &caption,
                     MessageIcon icon) override
    {
        messages.push_back({text, caption, icon, owner});
    }

    std::deque<bool> yesNoAnswers;
    std::deque<Answer> yesNoCancelAnswers;
    QStringList questions;
    std::vector<Message> messages;
};
