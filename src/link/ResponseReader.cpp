#include "link/ResponseReader.h"

#include "link/Packet.h"

void ResponseReader::reset()
{
    m_frame.clear();
    m_expected = 0;
    m_complete = false;
    m_rejection = Rejection::None;
    m_rejectionDepth = 0;
}

ResponseReader::Result ResponseReader::feed(uint8_t byte)
{
    if (m_complete)
        return Result::Complete;
    // Bytes still to look at: the new one, plus whatever a rejected
    // candidate gives back. Each rejection drops at least its start mark,
    // and a candidate never grows past 512 bytes, so this ends quickly.
    QByteArray pending(1, char(byte));
    qsizetype next = 0;
    while (next < pending.size()) {
        const auto c = uint8_t(pending[next++]);
        if (m_frame.isEmpty() && c != Protocol::ResponseStart)
            continue;
        m_frame.append(char(c));
        const Rejection r = check();
        if (m_complete)
            return Result::Complete;
        if (r == Rejection::None)
            continue;
        if (m_frame.size() > m_rejectionDepth) {
            m_rejection = r;
            m_rejectionDepth = int(m_frame.size());
        }
        pending = m_frame.mid(1) + pending.mid(next);
        next = 0;
        m_frame.clear();
        m_expected = 0;
    }
    return Result::NeedMore;
}

ResponseReader::Result ResponseReader::feed(QByteArrayView bytes)
{
    for (const char c : bytes)
        if (feed(uint8_t(c)) == Result::Complete)
            return Result::Complete;
    return m_complete ? Result::Complete : Result::NeedMore;
}

ResponseReader::Rejection ResponseReader::check()
{
    const auto n = int(m_frame.size());
    const auto *bytes = reinterpret_cast<const uint8_t *>(m_frame.constData());
    if (n == 3) {
        m_expected = Packet::readLe16(bytes + Protocol::LengthOffset);
        if (m_expected > Protocol::MaxResponse)
            return Rejection::TooLong;
        if (m_expected < Protocol::MinFrame)
            return Rejection::TooShort;
    }
    if (n > 3 && n == m_expected) {
        if (bytes[n - 1] != Protocol::ResponseEnd)
            return Rejection::BadEndMark;
        if (byteSum16(bytes, n - Protocol::TrailerSize) != Packet::readLe16(bytes + n - 4))
            return Rejection::BadChecksum;
        m_complete = true;
    }
    return Rejection::None;
}
