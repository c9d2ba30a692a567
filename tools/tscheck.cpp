// brivane-tscheck: checks Qt Linguist catalogues (.ts) before they are
// released. A catalogue passes when every message has a finished, non-empty
// translation (every plural form filled), none is obsolete or vanished, and
// each translation uses the same %1..%99 arguments as its source.
//   brivane-tscheck FILE.ts...     exit 0: all pass; 1: problems on stderr
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

QSet<QString> arguments(const QString &text)
{
    static const QRegularExpression argument(QStringLiteral("%(\\d{1,2})"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &m : argument.globalMatch(text))
        found.insert(m.captured(1));
    return found;
}

struct Message {
    QString context;
    QString source;
    QString type;           // the translation's type attribute
    QStringList translations; // one, or one per plural form
};

QStringList problemsOf(const Message &m)
{
    QStringList problems;
    if (m.type == QLatin1String("unfinished"))
        problems << QStringLiteral("unfinished");
    else if (m.type == QLatin1String("obsolete") || m.type == QLatin1String("vanished"))
        problems << QStringLiteral("obsolete (no longer in the sources)");
    if (m.translations.isEmpty() || m.translations.contains(QString()))
        problems << QStringLiteral("no translation");
    const QSet<QString> wanted = arguments(m.source);
    for (const QString &t : m.translations) {
        if (!t.isEmpty() && arguments(t) != wanted) {
            problems << QStringLiteral("its arguments differ from the source's: \"%1\"").arg(t);
            break;
        }
    }
    return problems;
}

// The text of a translation, or of each of its plural forms.
void readTranslation(QXmlStreamReader &xml, QStringList *forms)
{
    QString text;
    bool numerus = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("numerusform")) {
            numerus = true;
            *forms << xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("translation")) {
            break;
        }
    }
    if (!numerus)
        *forms << text;
}

// Problems of one file, one line each; a file that cannot be read is one.
QStringList checkFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("%1: cannot read: %2").arg(path, file.errorString())};
    QXmlStreamReader xml(&file);
    QStringList problems;
    QString context;
    Message message;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("context")) {
                context.clear();
            } else if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                message = Message{context, {}, {}, {}};
            } else if (name == QLatin1String("source")) {
                message.source = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                message.type = xml.attributes().value(QLatin1String("type")).toString();
                readTranslation(xml, &message.translations);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            ++messages;
            for (const QString &p : problemsOf(message))
                problems << QStringLiteral("%1: [%2] \"%3\": %4")
                                .arg(path, message.context, message.source, p);
        }
    }
    if (xml.hasError())
        problems << QStringLiteral("%1: not a catalogue: %2").arg(path, xml.errorString());
    else if (messages == 0)
        problems << QStringLiteral("%1: no messages").arg(path);
    return problems;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: brivane-tscheck FILE.ts...\n");
        return 2;
    }
    QStringList problems;
    for (const QString &f : files)
        problems << checkFile(f);
    for (const QString &p : problems)
        std::fprintf(stderr, "%s\n", qUtf8Printable(p));
    return problems.isEmpty() ? 0 : 1;
}
