#include "model/XmlDocument.h"
#include "common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What save() writes after the declaration line.
QByteArray savedBody(const XmlDocument &doc)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    if (!doc.save(path))
        return "<save failed>";
    const QByteArray bytes = readAll(path);
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    return bytes.startsWith(declaration) ? bytes.mid(declaration.size()) : "<no declaration>";
}

QByteArray entityBomb()
{
    QByteArray dtd = "<!DOCTYPE p [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            dtd += "&l" + QByteArray::number(i - 1) + ";";
        dtd += "\">";
    }
    return "<?xml version=\"1.0\"?>" + dtd + "]><p><c>&l9;</c></p>";
}

// One entity of 4000 characters referenced 50000 times: every expansion is
// small, their sum is 200 million characters.
QByteArray quadraticBlowUp()
{
    return "<!DOCTYPE p [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]><p><c>" +
           QByteArray("&e;").repeated(50000) + "</c></p>";
}

// One element with n attributes a0="" a1="" ...
QByteArray attributes(int n)
{
    QByteArray tag = "<a";
    for (int i = 0; i < n; ++i)
        tag += " a" + QByteArray::number(i) + "=\"\"";
    return tag + "/>";
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth);
}

} // namespace

TEST(XmlDocument, FindElemSearchesForwardAmongElementsOnly)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.setDocText(
        QStringLiteral("<r><!--note-->text<a>1</a><?pi x?><b>2</b><a>3</a><A>4</A></r>")));
    EXPECT_TRUE(doc.findElem());
    EXPECT_FALSE(doc.findElem()) << "only one element at the document level";
    ASSERT_TRUE(doc.intoElem());
    EXPECT_TRUE(doc.findElem(QStringLiteral("b")));
    EXPECT_EQ(doc.getData(), QStringLiteral("2"));
    // The first "a" stands before "b", so the next one is found.
    EXPECT_TRUE(doc.findElem(QStringLiteral("a")));
    EXPECT_EQ(doc.getData(), QStringLiteral("3"));
    // No match leaves the cursor where it was.
    EXPECT_FALSE(doc.findElem(QStringLiteral("b")));
    EXPECT_FALSE(doc.findElem(QStringLiteral("a")));
    EXPECT_EQ(doc.getData(), QStringLiteral("3"));
    EXPECT_TRUE(doc.findElem(QStringLiteral("A"))) << "names are case-sensitive";
    EXPECT_EQ(doc.getData(), QStringLiteral("4"));
}

TEST(XmlDocument, IntoAndOutOfElemMoveTheThreePositions)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.setDocText(
        QStringLiteral("<r><m><t>1</t><u>2</u></m><m><t>3</t></m><x>a<y>b</y>c</x></r>")));
    EXPECT_FALSE(doc.intoElem()) << "no current element yet";
    EXPECT_FALSE(doc.outOfElem()) << "already at the document level";
    ASSERT_TRUE(doc.findElem());
    ASSERT_TRUE(doc.intoElem());
    ASSERT_TRUE(doc.findElem(QStringLiteral("m")));
    ASSERT_TRUE(doc.intoElem());
    ASSERT_TRUE(doc.findElem(QStringLiteral("u")));
    ASSERT_TRUE(doc.outOfElem());
    // Back on the first "m": the search goes on after it.
    ASSERT_TRUE(doc.findElem(QStringLiteral("m")));
    ASSERT_TRUE(doc.intoElem());
    EXPECT_FALSE(doc.findElem(QStringLiteral("u")));
    ASSERT_TRUE(doc.findElem(QStringLiteral("t")));
    EXPECT_EQ(doc.getData(), QStringLiteral("3"));
    ASSERT_TRUE(doc.outOfElem());
    ASSERT_TRUE(doc.findElem(QStringLiteral("x")));
    EXPECT_EQ(doc.getData(), QStringLiteral("abc")) << "text of all descendants";
    ASSERT_TRUE(doc.outOfElem());
    EXPECT_FALSE(doc.outOfElem());
}

TEST(XmlDocument, AddOperationsInsertAfterTheCursor)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.setDocText(QStringLiteral("<r><a/><c/></r>")));
    EXPECT_FALSE(doc.addChildElem(QStringLiteral("z"))) << "no current element";
    ASSERT_TRUE(doc.findElem());
    ASSERT_TRUE(doc.intoElem());
    ASSERT_TRUE(doc.findElem(QStringLiteral("a")));
    // Under parent, directly after current.
    ASSERT_TRUE(doc.addElem(QStringLiteral("b"), 2));
    ASSERT_TRUE(doc.addElem(QStringLiteral("b2")));
    // Out again, the element just added is child: the next child goes after it.
    ASSERT_TRUE(doc.outOfElem());
    ASSERT_TRUE(doc.addChildElem(QStringLiteral("y"), -5));
    ASSERT_TRUE(doc.addChildElem(QStringLiteral("z"), QStringLiteral("t")));
    EXPECT_EQ(savedBody(doc), QByteArray("<r><a/><b>2</b><b2/><y>-5</y><z>t</z><c/></r>"));

    // On a fresh document: the root goes to the end, children in order.
    XmlDocument fresh;
    ASSERT_TRUE(fresh.addElem(QStringLiteral("p")));
    ASSERT_TRUE(fresh.addChildElem(QStringLiteral("w"), 0));
    ASSERT_TRUE(fresh.addChildElem(QStringLiteral("m")));
    ASSERT_TRUE(fresh.intoElem());
    ASSERT_TRUE(fresh.addChildElem(QStringLiteral("t"), 3));
    ASSERT_TRUE(fresh.outOfElem());
    ASSERT_TRUE(fresh.addChildElem(QStringLiteral("m")));
    EXPECT_EQ(savedBody(fresh), QByteArray("<p><w>0</w><m><t>3</t></m><m/></p>"));
}

TEST(XmlDocument, SetDocTextResetsOrReplacesTheDocument)
{
    XmlDocument doc;
    EXPECT_TRUE(doc.setDocText(QStringLiteral("<r/>")));
    EXPECT_TRUE(doc.setDocText(QString()));
    EXPECT_FALSE(doc.findElem());
    EXPECT_FALSE(doc.setDocText(QStringLiteral("<?xml version=\"1.0\"?>\r\n")))
        << "a declaration alone is no document";
    EXPECT_FALSE(doc.setDocText(QStringLiteral("<r><a></r>")));
    EXPECT_FALSE(doc.findElem()) << "a failed parse leaves an empty document";
    ASSERT_TRUE(doc.addElem(QStringLiteral("p")));
    EXPECT_EQ(savedBody(doc), QByteArray("<p/>"));
}

TEST(XmlDocument, CharactersXmlCannotCarryAreNotWritten)
{
    QString text = QStringLiteral("a");
    text += QChar(0x01);
    text += QChar(0x1F);
    text += QChar(0xD800); // a high surrogate without its partner
    text += QStringLiteral("b");
    text += QChar(0xDC00); // a lone low surrogate
    text += QChar(0xFFFF);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.xml"));
    XmlDocument out;
    out.addElem(QStringLiteral("r"), text);
    ASSERT_TRUE(out.save(path));
    XmlDocument in;
    ASSERT_TRUE(in.load(path)) << readAll(path).toStdString();
    ASSERT_TRUE(in.findElem());
    EXPECT_EQ(in.getData(), QStringLiteral("a\uFFFDb\uFFFD"));
}

TEST(XmlDocument, LoadRefusesWhatItCannotReadSafely)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.xml"));
    const struct {
        const char *name;
        QByteArray data;
        bool loads;
    } cases[] = {
        {"plain", "<p><c>x</c></p>", true},
        {"byte order mark", "\xEF\xBB\xBF<p/>", true},
        {"declared Latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><p>\xE9</p>", true},
        {"doctype without subset", "<!DOCTYPE p><p/>", true},
        {"empty", "", false},
        {"blanks only", "  \r\n", false},
        {"declaration only", "<?xml version=\"1.0\"?>", false},
        {"unclosed", "<p><c>x</p>", false},
        {"two roots", "<p/><q/>", false},
        {"invalid UTF-8", "<p>\xFF\xFE</p>", false},
        {"control character reference", "<p>&#1;</p>", false},
        {"undeclared entity", "<p>&x;</p>", false},
        {"entity declaration", "<!DOCTYPE p [<!ENTITY e \"v\">]><p>&e;</p>", false},
        {"billion laughs", entityBomb(), false},
        {"quadratic blow-up", quadraticBlowUp(), false},
        {"external entity", "<!DOCTYPE p [<!ENTITY e SYSTEM \"/etc/passwd\">]><p>&e;</p>", false},
        {"deepest allowed", nested(XmlDocument::kMaxDepth), true},
        {"too deep", nested(XmlDocument::kMaxDepth + 1), false},
        {"very deep", nested(100000), false},
        {"too many elements",
         "<p>" + QByteArray("<a/>").repeated(XmlDocument::kMaxElements) + "</p>", false},
        {"too many comments",
         "<p>" + QByteArray("<!---->").repeated(XmlDocument::kMaxElements) + "</p>", false},
        {"too many processing instructions",
         "<p>" + QByteArray("<?a?>").repeated(XmlDocument::kMaxElements) + "</p>", false},
        {"most attributes on one element",
         "<p>" + attributes(XmlDocument::kMaxAttributesPerElement) + "</p>", true},
        {"one attribute too many on one element",
         "<p>" + attributes(XmlDocument::kMaxAttributesPerElement + 1) + "</p>", false},
        {"an attribute bomb", "<p>" + attributes(100000) + "</p>", false},
        {"an attribute bomb in UTF-16",
         QByteArray("\xFF\xFE") +
             QByteArray(reinterpret_cast<const char *>(
                            QString::fromLatin1("<p>" + attributes(1000) + "</p>").utf16()),
                        qsizetype(2 * ("<p>" + attributes(1000) + "</p>").size())),
         false},
        {"'=' in comments, text, values and CDATA is no attribute",
         "<p x=\"a=b\"><!-- = = --><![CDATA[= =]]>" +
             QByteArray("=").repeated(XmlDocument::kMaxAttributesPerElement + 1) +
             "<?pi = = ?></p>",
         true},
        {"most attributes in all",
         "<p>" +
             attributes(XmlDocument::kMaxAttributesPerElement)
                 .repeated(XmlDocument::kMaxAttributes / XmlDocument::kMaxAttributesPerElement) +
             "</p>",
         true},
        {"one attribute too many in all",
         "<p>" +
             attributes(XmlDocument::kMaxAttributesPerElement)
                 .repeated(XmlDocument::kMaxAttributes / XmlDocument::kMaxAttributesPerElement) +
             attributes(XmlDocument::kMaxAttributes % XmlDocument::kMaxAttributesPerElement + 1) +
             "</p>",
         false},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(writeAll(path, c.data));
        XmlDocument doc;
        EXPECT_EQ(doc.load(path), c.loads) << c.name;
        if (!c.loads) {
            EXPECT_FALSE(doc.findElem()) << c.name << ": no half-parsed document is kept";
        }
    }
}

TEST(XmlDocument, LoadNeedsARegularFileOfBoundedSize)
{
    QTemporaryDir dir;
    XmlDocument doc;
    EXPECT_FALSE(doc.load(dir.filePath(QStringLiteral("missing.xml"))));
    EXPECT_FALSE(doc.load(dir.path()));
    EXPECT_FALSE(doc.load(QStringLiteral("/dev/zero")));

    // A well-formed file one byte above the limit.
    const QString big = dir.filePath(QStringLiteral("big.xml"));
    const QByteArray open = "<p>", close = "</p>";
    ASSERT_TRUE(writeAll(
        big, open + QByteArray(XmlDocument::kMaxFileBytes + 1 - open.size() - close.size(), 'x') +
                 close));
    EXPECT_FALSE(doc.load(big));
}

// A save never writes what load refuses: at each limit the document is
// written and loads again, one past it the save is refused and the file
// stays as it was.
TEST(XmlDocument, SaveWritesOnlyWhatLoadsAgain)
{
    using Refusal = XmlDocument::Refusal;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    // What save() writes around the filler: the declaration and <p></p>.
    const qsizetype frame = 38 + 2 + 7;
    const struct {
        const char *name;
        int elements;   // <a/> under the root
        qsizetype text; // characters of text in the root
        Refusal refusal;
    } cases[] = {
        {"elements at the limit", XmlDocument::kMaxElements - 1, 0, Refusal::None},
        {"one element too many", XmlDocument::kMaxElements, 0, Refusal::TooManyElements},
        {"bytes at the limit", 0, XmlDocument::kMaxFileBytes - frame, Refusal::None},
        {"one byte too many", 0, XmlDocument::kMaxFileBytes - frame + 1, Refusal::TooLarge},
    };
    const QByteArray before = "before";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeAll(path, before));
        XmlDocument doc;
        ASSERT_TRUE(doc.addElem(QStringLiteral("p"), QString(c.text, u'x')));
        for (int i = 0; i < c.elements; ++i)
            doc.addChildElem(QStringLiteral("a"));
        QByteArray written;
        Refusal refused = Refusal::NotWellFormed;
        EXPECT_EQ(doc.save(path, &written, &refused), c.refusal == Refusal::None);
        EXPECT_EQ(refused, c.refusal);
        if (c.refusal == Refusal::None) {
            if (c.text > 0) {
                EXPECT_EQ(written.size(), XmlDocument::kMaxFileBytes);
            }
            XmlDocument again;
            EXPECT_TRUE(again.load(path));
        } else {
            EXPECT_EQ(readAll(path), before);
        }
    }
}

TEST(XmlDocument, SaveThatCannotCompleteLeavesTheTargetAlone)
{
    QTemporaryDir dir;
    XmlDocument doc;
    doc.addElem(QStringLiteral("p"));
    EXPECT_FALSE(doc.save(dir.filePath(QStringLiteral("missing/out.xml"))));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());

    const QString target = dir.filePath(QStringLiteral("out.xml"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out.xml")));
    ASSERT_TRUE(writeAll(target + QStringLiteral("/inside"), "keep"));
    EXPECT_FALSE(doc.save(target));
    EXPECT_EQ(readAll(target + QStringLiteral("/inside")), QByteArray("keep"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("out.xml")})
        << "no temporary file is left behind";
}
