#include "base/OptionSpellings.h"

namespace {

struct Spelling {
    const char *other;
    const char *documented;
};

// Other spelling -> the one help documents.
constexpr Spelling kSpellings[] = {
    {"colour", "color"},
    {"flash-delay", "flashdelay"},
};

} // namespace

namespace OptionSpellings {

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
        const QStringView name = QStringView(argument).mid(2, eq < 0 ? -1 : eq - 2);
        for (const Spelling &s : kSpellings) {
            if (name == QLatin1String(s.other)) {
                argument = QStringLiteral("--") + QLatin1String(s.documented) +
                           (eq < 0 ? QString() : argument.mid(eq));
                break;
            }
        }
    }
    return result;
}

} // namespace OptionSpellings
