#pragma once
// One fault the virtual card can inject into its replies, chosen per command
// or for any command, for the next N requests or until cleared. Owned by
// the VirtualCard that applies it; parsed from text by brivane-cardsim.

#include <QByteArray>
#include <QString>

struct CardFault {
    enum class Kind {
        Silence,        // no reply at all
        Noise,          // `noise` bytes ahead of the reply
        BadChecksum,    // reply checksum off by one
        BadEndMark,     // last byte not 0x5F (checksum still right)
        LengthTooShort, // a 51-byte frame saying 51
        LengthTooLong,  // a 513-byte frame saying 513
        Status,         // refuse with status `value` (1..6, 0x7F, ...)
        LongReply,      // a well-formed status-0 reply of 60 bytes
        Delay,          // reply `value` ms late
        Trickle,        // reply one byte at a time, `value` ms apart
        DropLine,       // close the pseudo-terminal instead of answering
        Repeat,         // answer with a copy of the last reply sent before (a
                        // converter repeating a canned frame), doing nothing
        NoEcho,         // write `value` where the request's sequence number goes
    };

    Kind kind = Kind::Silence;
    int command = -1; // command code it applies to; -1 any
    int count = -1;   // requests it applies to; -1 until cleared
    int skip = 0;     // matching requests to let pass first
    int value = 0;
    QByteArray noise; // Noise: empty means a default mix with stray 0xAF/0x5F

    static QByteArray defaultNoise();
    // Answers n requests, then drops the line instead of answering the next
    // (behind a converter: the connection goes away mid-exchange).
    static CardFault dropAfter(int n) { return {Kind::DropLine, -1, 1, n, 0, {}}; }

    // "kind[=value][,cmd=0xNN][,count=N][,after=N]", kinds: silence, noise,
    // checksum, endmark, short, long, status, long-reply, delay, trickle,
    // drop, repeat, no-echo. Noise takes hex bytes as value ("noise=00af5f"). False with
    // *error set on bad text.
    static bool parse(const QString &text, CardFault *fault, QString *error);
    // The lines of --help describing the syntax.
    static QString syntaxHelp();
};
