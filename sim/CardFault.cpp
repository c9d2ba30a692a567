#include "sim/CardFault.h"
#include "base/Language.h"

#include <QStringList>
#include <array>

namespace {
struct KindName {
    const char *name;
    CardFault::Kind kind;
    bool needsValue;
};

constexpr std::array<KindName, 13> kKinds{{
    {"silence", CardFault::Kind::Silence, false},
    {"noise", CardFault::Kind::Noise, false},
    {"checksum", CardFault::Kind::BadChecksum, false},
    {"endmark", CardFault::Kind::BadEndMark, false},
    {"short", CardFault::Kind::LengthTooShort, false},
    {"long", CardFault::Kind::LengthTooLong, false},
    {"status", CardFault::Kind::Status, true},
    {"long-reply", CardFault::Kind::LongReply, false},
    {"delay", CardFault::Kind::Delay, true},
    {"trickle", CardFault::Kind::Trickle, true},
    {"drop", CardFault::Kind::DropLine, false},
    {"repeat", CardFault::Kind::Repeat, false},
    {"no-echo", CardFault::Kind::NoEcho, false},
}};

bool toInt(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0); // 0x.. accepted
    if (ok)
        *value = v;
    return ok && v >= 0;
}
} // namespace

QByteArray CardFault::defaultNoise()
{
    // Stray marks of both directions, including a start mark whose length
    // field is out of range, ahead of the real reply.
    return QByteArray::fromHex("00ff5fa050af5fff13af0102035f");
}

bool CardFault::parse(const QString &text, CardFault *fault, QString *error)
{
    CardFault f;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        *error = trEn("Cardsim", "empty fault");
        return false;
    }
    const QString head = parts.first().trimmed();
    const auto eq = head.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? head : head.left(eq);
    const QString value = eq < 0 ? QString() : head.mid(eq + 1);
    const KindName *kind = nullptr;
    for (const KindName &k : kKinds)
        if (name == QLatin1String(k.name))
            kind = &k;
    if (!kind) {
        *error = trEn("Cardsim", "unknown fault kind '%1'").arg(name);
        return false;
    }
    f.kind = kind->kind;
    if (kind->needsValue && value.isEmpty()) {
        *error = trEn("Cardsim", "fault '%1' needs a value (%1=N)").arg(name);
        return false;
    }
    if (!value.isEmpty()) {
        if (f.kind == Kind::Noise) {
            f.noise = QByteArray::fromHex(value.toLatin1());
            if (f.noise.isEmpty()) {
                *error = trEn("Cardsim", "noise needs hex bytes");
                return false;
            }
        } else if (!toInt(value, &f.value)) {
            *error = trEn("Cardsim", "bad value '%1'").arg(value);
            return false;
        }
    }
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        const auto peq = part.indexOf(QLatin1Char('='));
        const QString key = part.left(peq);
        int v = 0;
        if (peq < 0 || !toInt(part.mid(peq + 1), &v)) {
            *error = trEn("Cardsim", "bad option '%1'").arg(part);
            return false;
        }
        if (key == QLatin1String("cmd") && v <= 0xFF)
            f.command = v;
        else if (key == QLatin1String("count") && v > 0)
            f.count = v;
        else if (key == QLatin1String("after"))
            f.skip = v;
        else {
            *error = trEn("Cardsim", "bad option '%1'").arg(part);
            return false;
        }
    }
    *fault = f;
    return true;
}

QString CardFault::syntaxHelp()
{
    return trEn("Cardsim", 
        "Fault syntax: KIND[=VALUE][,cmd=CODE][,count=N][,after=N]\n"
        "  silence          no reply\n"
        "  noise[=HEX]      noise bytes before the reply (default mixes stray AF/5F)\n"
        "  checksum         wrong reply checksum\n"
        "  endmark          wrong reply end mark\n"
        "  short | long     reply length field 51 | 513\n"
        "  status=S         refuse with status byte S (1..6, 0x7F, ...)\n"
        "  long-reply       well-formed status-0 reply of 60 bytes\n"
        "  delay=MS         reply MS milliseconds late\n"
        "  trickle=MS       reply one byte at a time, MS apart\n"
        "  drop             close the line instead of answering\n"
        "  repeat           answer with a copy of the last reply, doing nothing\n"
        "  no-echo[=N]      sequence number N (default 0) instead of the request's\n"
        "  cmd=CODE applies it to one command only (e.g. cmd=0x35); count=N to the\n"
        "  next N matching requests (default: until the card stops); after=N lets N\n"
        "  matching requests pass first (drop,after=3 drops on the 4th request).");
}
