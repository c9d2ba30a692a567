#include "model/Outcome.h"

#include "link/LinkError.h"
#include "link/Protocol.h"

#include <QCoreApplication>

Outcome Outcome::failure(OutcomeCode code, const QString &text, int detail)
{
    return Outcome(code, text, detail);
}

Outcome Outcome::fromLink(const LinkError &error)
{
    namespace E = Protocol::ErrorCode;
    if (error.fromCard)
        return Outcome(OutcomeCode::CardRefused, error.text, error.code);
    switch (error.code) {
    case E::DeviceNotFound:
        return Outcome(OutcomeCode::PortNotFound, error.text, error.code);
    case E::AccessDenied:
        return Outcome(OutcomeCode::PortAccessDenied, error.text, error.code);
    case 0: // the link's own: a time-out, a damaged or foreign reply
    case E::ZeroTimeout:
    case E::BroadcastSent:
        return Outcome(OutcomeCode::NoReply, error.text, error.code);
    default:
        return Outcome(OutcomeCode::PortFailed, error.text, error.code);
    }
}

Outcome Outcome::unsupportedCard()
{
    return Outcome(OutcomeCode::Unsupported, QCoreApplication::translate("Outcome", "本软件不支持当前所连接的卡！"), 0);
}

bool Outcome::isCommandFault() const
{
    switch (m_code) {
    case OutcomeCode::PortNotFound:
    case OutcomeCode::PortAccessDenied:
    case OutcomeCode::PortFailed:
    case OutcomeCode::NoReply:
    case OutcomeCode::CardRefused:
    case OutcomeCode::NoPort:
        return true;
    default:
        return false;
    }
}

QString Outcome::userText() const
{
    if (isOk())
        return QCoreApplication::translate("Outcome", "命令执行成功！");
    return isCommandFault() ? QCoreApplication::translate("Outcome", "命令执行失败：") + m_text : m_text;
}

const char *Outcome::codeName(OutcomeCode code)
{
    switch (code) {
    case OutcomeCode::Ok:
        return "ok";
    case OutcomeCode::PortNotFound:
        return "port-not-found";
    case OutcomeCode::PortAccessDenied:
        return "port-access-denied";
    case OutcomeCode::PortFailed:
        return "port-failed";
    case OutcomeCode::NoReply:
        return "no-reply";
    case OutcomeCode::CardRefused:
        return "card-refused";
    case OutcomeCode::NoPort:
        return "no-port";
    case OutcomeCode::NoCardFound:
        return "no-card";
    case OutcomeCode::Unsupported:
        return "unsupported";
    case OutcomeCode::OverBudget:
        return "over-budget";
    case OutcomeCode::NothingToSend:
        return "nothing-to-send";
    case OutcomeCode::ClearFailed:
        return "clear-failed";
    case OutcomeCode::Cancelled:
        return "cancelled";
    case OutcomeCode::Partial:
        return "partial";
    case OutcomeCode::FileMissing:
        return "file-missing";
    case OutcomeCode::FileUnreadable:
        return "file-unreadable";
    case OutcomeCode::FileInvalid:
        return "file-invalid";
    case OutcomeCode::FileLocked:
        return "file-locked";
    case OutcomeCode::FileWriteFailed:
        return "file-write-failed";
    case OutcomeCode::FileRefused:
        return "file-refused";
    case OutcomeCode::FileDiskFull:
        return "disk-full";
    }
    return "unknown";
}
