#pragma once
// Tells a reply to the request just sent from a stale one (a reply that
// came after its request's time-out, a frame left on the line by an earlier
// connection, a converter repeating a canned frame). The card protocol does
// not require the card to echo the request's sequence number (offset 5), so
// the link learns it: an identification (0x35) whose reply carries the
// request's number makes the card an echoing one, and from then on a reply
// with another number is stale. Until then, and for a card that does not
// echo, every well-formed reply is taken, as the protocol has it.
//
// One caveat: a card that writes a constant where the number goes cannot be
// told from an echoing one by an identification that happened to go out
// with that very number (the first request of a link goes out with 0). So
// that first match is only a suspicion: the next reply that carries the
// identification's number again is the constant of a card that does not
// echo (it is taken, and the card is taken for one that does not echo),
// unless it is a byte-for-byte copy of the identification's reply (a
// repeated frame, stale); a reply carrying its own request's number
// confirms the echo. A refusal for a request the card could not read (bad
// checksum, bad structure) is always taken. Owned by the ControllerLink;
// plain code over bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

class ReplyMatch {
public:
    enum class Echo { Unknown, Suspected, Confirmed };

    // Forgets what was learnt (another port, another card).
    void forget();
    // A request is about to go out: an identification learns afresh.
    void requestSent(QByteArrayView request);
    // True when the well-formed reply answers the request sent last; false
    // for a stale one, which the link discards before waiting on.
    bool accepts(QByteArrayView request, QByteArrayView reply);
    Echo echo() const { return m_echo; }

private:
    Echo m_echo = Echo::Unknown;
    uint8_t m_identifiedWith = 0; // the identification's number
    QByteArray m_identification;  // and its reply
};
