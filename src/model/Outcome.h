#pragma once
// The result of every card operation and of loading or saving the play list:
// a code from one named set and the user's text. The set keeps apart what
// the port's system reported, what the card answered with its status byte
// and what this program itself decided, so the port's "not found" (2) is
// never the card's status 2. Each text is composed here or where the fault
// is found, once; the front ends show outcomes, they do not word them.
// A plain value, copied freely.

#include <QString>

struct LinkError;

enum class OutcomeCode {
    Ok,
    // ---- the port (system codes; detail() holds the raw one)
    PortNotFound,     // the device does not exist (system code 2)
    PortAccessDenied, // the device is held or not permitted (system code 5)
    PortFailed,       // any other failure to open, set up, write or read the port
    // ---- the line: no valid reply (a time-out, a damaged or foreign frame)
    NoReply,
    // ---- the card: it answered, refusing the request (detail(): status byte)
    CardRefused,
    // ---- ours
    NoPort,          // no port is known: search for the card first
    NoCardFound,     // the search over the ports found no card
    Unsupported,     // a card this program does not drive
    OverBudget,      // the pages of the play list pass the page budget
    NothingToSend,   // a program without pages, or fields that would wrap
    ClearFailed,     // clearing the card failed and the user gave up
    Cancelled,       // the user stopped the operation
    Partial,         // the operation ended, but not every program was sent
    FileMissing,     // the project file is not there
    FileUnreadable,  // it cannot be read (or is too large)
    FileInvalid,     // it is not a project file
    FileLocked,      // another program holds its lock
    FileWriteFailed, // it could not be written; the old file is untouched
    FileRefused,     // the list would make a file the loader refuses (too
                     // large, too many elements); nothing was written
    FileDiskFull,    // its disk has no room for it; the old file is untouched
};

class Outcome {
public:
    Outcome() = default; // success

    static Outcome success() { return {}; }
    static Outcome failure(OutcomeCode code, const QString &text, int detail = 0);
    // The link's error record: a card status, a system code or the link's own.
    static Outcome fromLink(const LinkError &error);
    // "本软件不支持当前所连接的卡！"
    static Outcome unsupportedCard();

    bool isOk() const { return m_code == OutcomeCode::Ok; }
    explicit operator bool() const { return isOk(); }
    OutcomeCode code() const { return m_code; }
    // The system code of a port fault, the status byte of a card refusal.
    int detail() const { return m_detail; }
    // Why it failed; empty on success.
    const QString &text() const { return m_text; }
    // What every front end shows for it: "命令执行成功！" on success;
    // "命令执行失败：" followed by the text for a fault of the port, the line
    // or the card (and for no port known); the text alone for the rest.
    QString userText() const;
    // Whether the port, the line or the card failed (the codes userText
    // words as a failed command).
    bool isCommandFault() const;
    // The code's stable name ("port-not-found", "card-refused", ...), for
    // logs, JSON and tests.
    static const char *codeName(OutcomeCode code);
    const char *codeName() const { return codeName(m_code); }

    bool operator==(const Outcome &) const = default;

private:
    Outcome(OutcomeCode code, const QString &text, int detail)
        : m_code(code), m_detail(detail), m_text(text)
    {
    }

    OutcomeCode m_code = OutcomeCode::Ok;
    int m_detail = 0;
    QString m_text;
};
