#include "model/XmlDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>
#include <QXmlStreamReader>
#include <string_view>

namespace {

using Refusal = XmlDocument::Refusal;

// Counts the attributes of every start tag straight from the text, before
// any XML reader sees it (the readers' own time is the problem): '=' outside
// quotes between '<' and '>', with comments, CDATA sections, declarations
// and processing instructions passed over whole. A '=' that is no attribute
// only errs on the safe side. Linear in the text.
template <typename Unit> Refusal attributeRefusal(const Unit *text, qsizetype n)
{
    const auto at = [&](qsizetype i, std::string_view s) {
        if (n - i < qsizetype(s.size()))
            return false;
        for (size_t k = 0; k < s.size(); ++k)
            if (text[i + qsizetype(k)] != Unit(s[k]))
                return false;
        return true;
    };
    const auto past = [&](qsizetype i, std::string_view end) {
        while (i < n && !at(i, end))
            ++i;
        return i + qsizetype(end.size());
    };
    qsizetype total = 0;
    for (qsizetype i = 0; i < n;) {
        if (text[i] != Unit('<'))
            ++i;
        else if (at(i, "<!--"))
            i = past(i + 4, "-->");
        else if (at(i, "<![CDATA["))
            i = past(i + 9, "]]>");
        else if (at(i, "<?"))
            i = past(i + 2, "?>");
        else if (at(i, "<!"))
            i = past(i + 2, ">");
        else {
            int here = 0;
            Unit quote = 0;
            for (++i; i < n; ++i) {
                const Unit c = text[i];
                if (quote) {
                    quote = c == quote ? Unit(0) : quote;
                } else if (c == Unit('"') || c == Unit('\'')) {
                    quote = c;
                } else if (c == Unit('=')) {
                    if (++here > XmlDocument::kMaxAttributesPerElement ||
                        ++total > XmlDocument::kMaxAttributes)
                        return Refusal::TooManyAttributes;
                } else if (c == Unit('>')) {
                    break;
                }
            }
        }
    }
    return Refusal::None;
}

Refusal attributeRefusal(const QString &text)
{
    return attributeRefusal(text.utf16(), text.size());
}

Refusal attributeRefusal(const QByteArray &data)
{
    // In UTF-8 and the other ASCII-based encodings every byte of '<', '=',
    // the quotes and '>' is that character; UTF-16 and UTF-32 are looked at
    // as characters.
    const auto encoding = QStringConverter::encodingForData(data, u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1)
        return attributeRefusal(QStringDecoder(*encoding).decode(data).operator QString());
    return attributeRefusal(data.constData(), data.size());
}

// Walks the whole text once with the stream reader (after the attribute
// count, which guards the reader itself) and refuses what the DOM builder
// would turn into unbounded time or memory: entity declarations (each
// expansion is capped by the reader, but not their number), deep nesting
// (the DOM builder slows down quadratically with depth and its recursive
// teardown overflows the stack) and huge node counts (16 MiB of comments
// took 16 s and 700 MB to build).
template <typename Source> Refusal refusalOfText(const Source &source)
{
    if (const Refusal r = attributeRefusal(source); r != Refusal::None)
        return r;
    QXmlStreamReader reader(source);
    int depth = 0;
    int nodes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (reader.text().contains(u'[') || !reader.entityDeclarations().isEmpty())
                return Refusal::Declarations;
            break;
        case QXmlStreamReader::StartElement:
            if (++depth > XmlDocument::kMaxDepth)
                return Refusal::TooDeep;
            if (++nodes > XmlDocument::kMaxElements)
                return Refusal::TooManyElements;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA() && ++nodes > XmlDocument::kMaxElements)
                return Refusal::TooManyElements;
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            if (++nodes > XmlDocument::kMaxElements)
                return Refusal::TooManyElements;
            break;
        default:
            break;
        }
    }
    return reader.hasError() ? Refusal::NotWellFormed : Refusal::None;
}

template <typename Source> bool parseInto(QDomDocument &doc, const Source &source)
{
    if (refusalOfText(source) != Refusal::None)
        return false;
    QDomDocument parsed;
    if (!parsed.setContent(source) || parsed.isNull())
        return false;
    doc = parsed;
    return true;
}

// Characters that XML 1.0 cannot carry would make the saved file
// unreadable, losing the whole play list: control characters other than
// tab, line feed and carriage return are dropped, and a surrogate without
// its partner becomes U+FFFD.
QString xmlSafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE ||
                   u == 0xFFFF) {
            continue;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

namespace {
// A default-constructed QDomDocument is a null node until first used, and a
// cursor copied from it would stay null; this one is a real empty document.
QDomDocument emptyDocument()
{
    return QDomDocument(QDomDocumentType());
}
} // namespace

XmlDocument::Refusal XmlDocument::refusalOf(const QByteArray &data)
{
    return data.size() > kMaxFileBytes ? Refusal::TooLarge : refusalOfText(data);
}

QString XmlDocument::saveRefusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::TooLarge:
        return QCoreApplication::translate("XmlDocument", "节目单太大，保存后的项目文件将超过%1 MB，以后无法再打开，未保存。"
                              "请删除一些节目后再试。")
            .arg(kMaxFileBytes / (1024 * 1024));
    case Refusal::TooManyElements:
        return QCoreApplication::translate("XmlDocument", "节目太多，保存后的项目文件将超过%1个元素，以后无法再打开，未保存。"
                              "请删除一些节目后再试。")
            .arg(kMaxElements);
    default:
        return QCoreApplication::translate("XmlDocument", "保存后的项目文件将无法再打开，未保存。");
    }
}

XmlDocument::XmlDocument() : m_doc(emptyDocument())
{
    resetCursor();
}

void XmlDocument::resetCursor()
{
    m_parent = m_doc;
    m_current = QDomElement();
    m_child = QDomElement();
}

bool XmlDocument::setDocText(const QString &text)
{
    m_doc = emptyDocument();
    const bool ok = text.isEmpty() || parseInto(m_doc, text);
    resetCursor();
    return ok;
}

bool XmlDocument::load(const QString &path, QByteArray *bytes)
{
    m_doc = emptyDocument();
    resetCursor();
    // Only regular files: a FIFO or a device would block or never end.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.read(kMaxFileBytes + 1);
    if (data.size() > kMaxFileBytes || file.error() != QFileDevice::NoError)
        return false;
    const bool ok = parseInto(m_doc, data);
    resetCursor();
    if (bytes)
        *bytes = data;
    return ok;
}

namespace {

// Where the system cannot make an unnamed temporary file, QSaveFile writes
// "<file>.XXXXXX" beside the file and renames it at commit; a save killed
// before that leaves the copy behind. Its name is noted in "<file>.saving"
// while it is written, and the next save removes what the note names (only
// names of that form: a user's "<file>.backup" is never touched).
class SaveNote {
public:
    explicit SaveNote(const QString &path)
        : m_dir(QFileInfo(path).absoluteDir()), m_base(QFileInfo(path).fileName()),
          m_note(path + QStringLiteral(".saving"))
    {
    }

    // Removes copies an interrupted save left, then the note.
    void removeLeftovers() const
    {
        QFile note(m_note);
        if (!note.open(QIODevice::ReadOnly))
            return;
        const QList<QByteArray> names = note.read(4096).split('\n');
        note.close();
        for (const QByteArray &raw : names) {
            const QString name = QString::fromUtf8(raw.trimmed());
            if (isTemporaryName(name))
                QFile::remove(m_dir.filePath(name));
        }
        QFile::remove(m_note);
    }
    QStringList temporaries() const
    {
        return m_dir.entryList({m_base + QStringLiteral(".??????")},
                               QDir::Files | QDir::Hidden | QDir::System);
    }
    // Notes the copies that appeared since before.
    void note(const QStringList &before) const
    {
        QByteArray text;
        for (const QString &name : temporaries())
            if (!before.contains(name))
                text += name.toUtf8() + '\n';
        if (text.isEmpty())
            return;
        QFile note(m_note);
        if (note.open(QIODevice::WriteOnly | QIODevice::Truncate))
            note.write(text);
    }
    void done() const { QFile::remove(m_note); }

private:
    bool isTemporaryName(const QString &name) const
    {
        if (name.size() != m_base.size() + 7 || !name.startsWith(m_base + QLatin1Char('.')))
            return false;
        for (QChar c : QStringView(name).right(6))
            if (!(c.isLetterOrNumber() && c.unicode() < 128))
                return false;
        return true;
    }

    QDir m_dir;
    QString m_base;
    QString m_note;
};

} // namespace

bool XmlDocument::save(const QString &path, QByteArray *written, Refusal *refused) const
{
    if (refused)
        *refused = Refusal::None;
    QString body;
    {
        QTextStream stream(&body);
        for (QDomNode node = m_doc.firstChild(); !node.isNull(); node = node.nextSibling()) {
            // The declaration is always written by hand below.
            if (node.isProcessingInstruction() && node.nodeName() == QLatin1String("xml"))
                continue;
            node.save(stream, -1);
        }
    }
    QByteArray bytes = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    bytes += body.toUtf8();
    // A file that no later command could read is not written: the user
    // could not even remove the program that made it too big.
    if (const Refusal r = refusalOf(bytes); r != Refusal::None) {
        if (refused)
            *refused = r;
        return false;
    }

    const SaveNote note(path);
    note.removeLeftovers();
    const QStringList before = note.temporaries();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    note.note(before);
    // QSaveFile only notices failures of its own writes; a failure while its
    // buffer is flushed on commit would still replace the old file with a
    // cut one. Flushing here first makes every write error count.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        note.done();
        return false;
    }
    const bool ok = file.commit();
    note.done();
    if (ok && written)
        *written = std::move(bytes);
    return ok;
}

bool XmlDocument::findElem(const QString &name)
{
    QDomNode node = m_current.isNull() ? m_parent.firstChild() : m_current.nextSibling();
    for (; !node.isNull(); node = node.nextSibling()) {
        if (node.isElement() && (name.isEmpty() || node.nodeName() == name)) {
            m_current = node.toElement();
            m_child = QDomElement();
            return true;
        }
    }
    return false;
}

bool XmlDocument::intoElem()
{
    if (m_current.isNull())
        return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = QDomElement();
    return true;
}

bool XmlDocument::outOfElem()
{
    if (m_parent.isNull() || m_parent.isDocument())
        return false;
    m_child = m_current;
    m_current = m_parent.toElement();
    m_parent = m_parent.parentNode();
    return true;
}

QString XmlDocument::getData() const
{
    return m_current.isNull() ? QString() : m_current.text();
}

QDomElement XmlDocument::createElement(const QString &name, const QString &text)
{
    if (name.isEmpty())
        return {};
    QDomElement element = m_doc.createElement(name);
    if (!text.isEmpty())
        element.appendChild(m_doc.createTextNode(xmlSafe(text)));
    return element;
}

bool XmlDocument::addElem(const QString &name, const QString &text)
{
    QDomElement element = createElement(name, text);
    if (element.isNull())
        return false;
    if (m_current.isNull())
        m_parent.appendChild(element);
    else
        m_parent.insertAfter(element, m_current);
    m_current = element;
    m_child = QDomElement();
    return true;
}

bool XmlDocument::addElem(const QString &name, int value)
{
    return addElem(name, QString::number(value));
}

bool XmlDocument::addChildElem(const QString &name, const QString &text)
{
    if (m_current.isNull())
        return false;
    QDomElement element = createElement(name, text);
    if (element.isNull())
        return false;
    if (m_child.isNull())
        m_current.appendChild(element);
    else
        m_current.insertAfter(element, m_child);
    m_child = element;
    return true;
}

bool XmlDocument::addChildElem(const QString &name, int value)
{
    return addChildElem(name, QString::number(value));
}
