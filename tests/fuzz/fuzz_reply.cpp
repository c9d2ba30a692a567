// The card's replies: bytes off the line into the frame reader, and every
// complete frame through the stale-reply check, against a fixed request.
#include "link/Packet.h"
#include "link/ReplyMatch.h"
#include "link/ResponseReader.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray request(Protocol::MinFrame, '\0');
    request[Protocol::CommandOffset] = char(Protocol::QueryControllerInfo);
    ReplyMatch match;
    ResponseReader reader;
    for (size_t i = 0; i < size; ++i) {
        if (reader.feed(data[i]) == ResponseReader::Result::Complete) {
            match.accepts(request, reader.frame());
            request[Protocol::SequenceOffset] = char(request[Protocol::SequenceOffset] + 1);
            request[Protocol::CommandOffset] = char(data[i]);
            reader.reset();
        }
    }
    return 0;
}
