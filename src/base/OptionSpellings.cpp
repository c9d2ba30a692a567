#include "base/OptionSpellings.h"

namespace {

struct Spelling {
    const char *other;
    const char *documented;
};

// Other spelling -> the one help documents.
constexpr Spelling kSpellings[] = {
    {"colour", "color"},
    {"colour-type", "color-type"},
    {"flash-delay", "flashdelay"},
};

} // namespace

namespace OptionSpellings {

QString documented(const QString &name)
{
    for (const Spelling &s : kSpellings)
        if (name == QLatin1String(s.other))
            return QLatin1String(s.documented);
    return name;
}

QStringList normalized(const QStringList &arguments)
{
    QStringList result = arguments;
    for (qsizetype i = 1; i < result.size(); ++i) {
        QString &argument = result[i];
        if (argument == u"--")
            break;
        if (!argument.startsWith(u"--"))
            continue;
        const qsizetype eq = argument.indexOf(u'=');
        const QString name = argument.mid(2, eq < 0 ? -1 : eq - 2);
        const QString spelled = documented(name);
        if (spelled != name)
            argument = QStringLiteral("--") + spelled + (eq < 0 ? QString() : argument.mid(eq));
    }
    return result;
}

} // namespace OptionSpellings
