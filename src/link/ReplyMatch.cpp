#include "link/ReplyMatch.h"

#include "link/Protocol.h"

namespace {
uint8_t byteAt(QByteArrayView frame, int offset)
{
    return offset < frame.size() ? uint8_t(frame[offset]) : 0;
}

bool isIdentification(QByteArrayView request)
{
    return byteAt(request, Protocol::CommandOffset) == Protocol::QueryControllerInfo;
}
} // namespace

void ReplyMatch::forget()
{
    m_echo = Echo::Unknown;
    m_identification.clear();
}

void ReplyMatch::requestSent(QByteArrayView request)
{
    if (isIdentification(request))
        forget();
}

bool ReplyMatch::accepts(QByteArrayView request, QByteArrayView reply)
{
    const uint8_t sent = byteAt(request, Protocol::SequenceOffset);
    const uint8_t got = byteAt(reply, Protocol::SequenceOffset);
    // A card that could not read the request cannot echo its number: such a
    // refusal is taken (at worst a failure is reported, never a success).
    const uint8_t status = byteAt(reply, Protocol::CommandOffset);
    if (m_echo != Echo::Unknown &&
        (status == Protocol::StatusBadChecksum || status == Protocol::StatusBadStructure))
        return true;
    switch (m_echo) {
    case Echo::Unknown:
        if (isIdentification(request) && got == sent) {
            m_echo = Echo::Suspected;
            m_identifiedWith = sent;
            m_identification = reply.toByteArray();
        }
        return true;
    case Echo::Suspected:
        if (got == sent && sent != m_identifiedWith) {
            m_echo = Echo::Confirmed;
            return true;
        }
        if (got == m_identifiedWith) {
            if (reply == m_identification)
                return false;
            forget(); // a constant, not an echo
            return true;
        }
        return got == sent;
    case Echo::Confirmed:
        return got == sent;
    }
    return true;
}
