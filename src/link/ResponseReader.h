#pragma once
// Assembles one response frame from the bytes the card sends, one at a time:
// skips everything ahead of the start mark 0xAF, takes the length at offsets
// 1..2 (52..512), and checks the end mark 0x5F and the checksum once the
// frame is complete. Used by the ControllerLink for every exchange; plain
// code over bytes so it can be tested without a port.
//
// A candidate frame that fails a check is not the end of the story: line
// noise can contain a stray 0xAF, so the reader goes on hunting from the
// byte after the rejected start mark (the rejected bytes included), and
// remembers the rejection that got furthest. The link reports that rejection
// once the line falls quiet without a good frame.

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

class ResponseReader {
public:
    enum class Result { NeedMore, Complete };
    enum class Rejection { None, TooShort, TooLong, BadEndMark, BadChecksum };

    void reset();
    // Takes the next byte from the line. After Complete further bytes are
    // ignored.
    Result feed(uint8_t byte);
    // Feeds bytes until the frame is complete (test and tool convenience).
    Result feed(QByteArrayView bytes);

    bool isComplete() const { return m_complete; }
    // The complete frame, or the candidate being assembled.
    const QByteArray &frame() const { return m_frame; }
    // True while a candidate (a start mark and more) is being assembled.
    bool inFrame() const { return !m_frame.isEmpty() && !m_complete; }
    // The most telling rejection so far: the candidate that got furthest
    // (the earlier one on a tie); None when nothing was rejected.
    Rejection rejection() const { return m_rejection; }

private:
    Rejection check();

    QByteArray m_frame;
    int m_expected = 0;
    bool m_complete = false;
    Rejection m_rejection = Rejection::None;
    int m_rejectionDepth = 0;
};
