#include "common/RecordingUserInterface.h"
#include "common/TestFiles.h"
#include "model/PictureItem.h"
#include "common/OutcomePrinting.h"
#include "model/PlayList.h"
#include "model/ProjectFileLock.h"
#include "model/TextItem.h"
#include "model/XmlDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Every field the file stores, as "name=value" texts.
QStringList storedFields(const ProgramItem &item)
{
    QStringList f = {
        QStringLiteral("type=%1").arg(item.type()),
        QStringLiteral("content=") + item.content(),
        QStringLiteral("action=%1").arg(item.action()),
        QStringLiteral("speed=%1").arg(item.speed()),
        QStringLiteral("frame=%1").arg(item.frame()),
        QStringLiteral("clock=%1").arg(item.clockMode()),
        QStringLiteral("delay=%1").arg(item.delay()),
        QStringLiteral("level=%1").arg(item.level()),
        QStringLiteral("flash=%1").arg(item.flash()),
        QStringLiteral("flashdelay=%1").arg(item.flashDelay()),
    };
    if (const auto *text = dynamic_cast<const TextItem *>(&item))
        f << QStringLiteral("size=%1").arg(text->size())
          << QStringLiteral("font=") + text->faceName()
          << QStringLiteral("style=%1").arg(text->style())
          << QStringLiteral("color=%1").arg(text->color());
    if (const auto *picture = dynamic_cast<const PictureItem *>(&item))
        f << QStringLiteral("mode=%1").arg(picture->mode())
          << QStringLiteral("reverse=%1").arg(picture->reverse())
          << QStringLiteral("limit=%1").arg(picture->limit());
    return f;
}

// "type|content|action" of every item, long contents by their length.
QStringList summary(const PlayList &project)
{
    QStringList rows;
    for (int i = 0; i < project.itemCount(); ++i) {
        const ProgramItem *item = project.itemAt(i);
        const QString content = item->content().size() > 40
                                    ? QStringLiteral("<%1 chars>").arg(item->content().size())
                                    : item->content();
        rows << QStringLiteral("%1|%2|%3").arg(item->type()).arg(content).arg(item->action());
    }
    return rows;
}

QByteArray msg(const QByteArray &inside)
{
    return "<msg>" + inside + "</msg>";
}
QByteArray text(const QByteArray &content, const QByteArray &rest = QByteArray())
{
    return msg("<type>2</type><content>" + content + "</content>" + rest);
}
QByteArray project(const QByteArray &inside)
{
    return "<project>" + inside + "</project>";
}

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const QString kDefaultText = QStringLiteral("示例文本信息，双击编辑。");

#ifndef Q_OS_WIN
// Makes writes past limit bytes fail (EFBIG) for the lifetime of the object:
// the one way to make a save fail midway when the tests run as root.
class FileSizeLimit {
public:
    static constexpr bool kAvailable = true;
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = limit;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};
#else
// Windows has no per-process file size limit: the case that needs one is left out.
class FileSizeLimit {
public:
    static constexpr bool kAvailable = false;
    explicit FileSizeLimit(qint64) {}
    bool active() const { return false; }
};
#endif

class ProjectFile : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("default.brivprj")); }
    QString dirPath() const { return m_dir.path(); }
    void point(PlayList &p) const { p.setProjectFilePath(path()); }
    QStringList dirEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }

    RecordingUserInterface ui;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ProjectFile, WorkedExampleIsWrittenByteForByte)
{
    PlayList p;
    point(p);
    p.appendItem(std::make_unique<TextItem>(&p));
    auto picture = std::make_unique<PictureItem>(&p);
    picture->setContent(QStringLiteral("C:\\logo.bmp"));
    picture->setMode(1);
    picture->setClockMode(1);
    p.appendItem(std::move(picture));
    ASSERT_EQ(p.save(), kOk);
    EXPECT_TRUE(ui.messages.empty());

    const QByteArray bytes = readAll(path());
    const QByteArray expected =
        kDeclaration +
        "<project><width>32</width><height>4</height>"
        "<msg><type>2</type><content>" +
        kDefaultText.toUtf8() +
        "</content><action>13</action><speed>14</speed><frame>0</frame>"
        "<clock>0</clock><delay>0</delay><level>2</level><flash>0</flash>"
        "<flashdelay>2</flashdelay><size>20</size><font>" +
        QStringLiteral("宋体").toUtf8() +
        "</font><style>0</style><color>1</color></msg>"
        "<msg><type>3</type><content>C:\\logo.bmp</content><action>13</action>"
        "<speed>14</speed><frame>0</frame><clock>1</clock><delay>0</delay><level>2</level>"
        "<flash>0</flash><flashdelay>2</flashdelay><mode>1</mode><reverse>0</reverse>"
        "<limit>100</limit></msg></project>";
    EXPECT_EQ(bytes, expected);

    // An independent reader finds the element sequence of the format.
    const char *table[][2] = {
        {"project", ""},
        {"project/width", "32"},
        {"project/height", "4"},
        {"project/msg", ""},
        {"project/msg/type", "2"},
        {"project/msg/content", nullptr},
        {"project/msg/action", "13"},
        {"project/msg/speed", "14"},
        {"project/msg/frame", "0"},
        {"project/msg/clock", "0"},
        {"project/msg/delay", "0"},
        {"project/msg/level", "2"},
        {"project/msg/flash", "0"},
        {"project/msg/flashdelay", "2"},
        {"project/msg/size", "20"},
        {"project/msg/font", "宋体"},
        {"project/msg/style", "0"},
        {"project/msg/color", "1"},
        {"project/msg", ""},
        {"project/msg/type", "3"},
        {"project/msg/content", "C:\\logo.bmp"},
        {"project/msg/action", "13"},
        {"project/msg/speed", "14"},
        {"project/msg/frame", "0"},
        {"project/msg/clock", "1"},
        {"project/msg/delay", "0"},
        {"project/msg/level", "2"},
        {"project/msg/flash", "0"},
        {"project/msg/flashdelay", "2"},
        {"project/msg/mode", "1"},
        {"project/msg/reverse", "0"},
        {"project/msg/limit", "100"},
    };
    QStringList expectedSequence;
    for (const auto &row : table)
        expectedSequence << QString::fromUtf8(row[0]) + QLatin1Char('=') +
                                (row[1] ? QString::fromUtf8(row[1]) : kDefaultText);

    QXmlStreamReader reader(bytes);
    QStringList stack, sequence;
    QList<qsizetype> open;
    bool whitespaceBetweenElements = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartDocument()) {
            EXPECT_EQ(reader.documentVersion(), QStringLiteral("1.0"));
            EXPECT_EQ(reader.documentEncoding(), QStringLiteral("UTF-8"));
        } else if (reader.isStartElement()) {
            stack << reader.name().toString();
            open << sequence.size();
            sequence << stack.join(QLatin1Char('/')) + QLatin1Char('=');
        } else if (reader.isCharacters()) {
            if (reader.isWhitespace())
                whitespaceBetweenElements = true;
            sequence[open.last()] += reader.text();
        } else if (reader.isEndElement()) {
            stack.removeLast();
            open.removeLast();
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_FALSE(whitespaceBetweenElements);
    EXPECT_EQ(sequence, expectedSequence);
}

TEST_F(ProjectFile, EmptyListWritesTheSizeOnlyAndLoadsAsNoItems)
{
    {
        PlayList p;
        point(p);
        ASSERT_EQ(p.save(), kOk);
    }
    EXPECT_EQ(readAll(path()),
              kDeclaration + "<project><width>32</width><height>4</height></project>");
    PlayList p;
    point(p);
    EXPECT_EQ(p.load(), kOk);
    EXPECT_EQ(p.itemCount(), 0) << "no default item when the file exists";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectFile, EveryStoredFieldSurvivesSaveAndLoad)
{
    using Edit = std::function<void(ProgramItem &)>;
    auto asText = [](std::function<void(TextItem &)> f) -> Edit {
        return [f](ProgramItem &i) { f(static_cast<TextItem &>(i)); };
    };
    auto asPicture = [](std::function<void(PictureItem &)> f) -> Edit {
        return [f](ProgramItem &i) { f(static_cast<PictureItem &>(i)); };
    };
    const struct {
        const char *name;
        int type;
        Edit edit;
    } cases[] = {
        {"text defaults", 2, [](ProgramItem &) {}},
        {"picture defaults", 3, [](ProgramItem &) {}},
        {"common fields", 2,
         [](ProgramItem &i) {
             i.setContent(QStringLiteral("两行\r\n<b> & \"q\" 'a' ]]>"));
             i.setAction(18);
             i.setSpeed(0);
             i.setFrame(8);
             i.setClockMode(2);
             i.setDelay(3600);
             i.setLevel(15);
             i.setFlash(2);
             i.setFlashDelay(9);
         }},
        {"out-of-range values as they come", 3,
         [](ProgramItem &i) {
             i.setAction(-7);
             i.setSpeed(99);
             i.setFrame(42);
             i.setClockMode(7);
             i.setDelay(INT_MIN);
             i.setLevel(INT_MAX);
             i.setFlash(-1);
             i.setFlashDelay(0);
         }},
        {"empty content", 2, [](ProgramItem &i) { i.setContent(QString()); }},
        {"blanks at the ends and astral characters", 2,
         [](ProgramItem &i) { i.setContent(QStringLiteral("  \U0001F600 x\t ")); }},
        {"long content", 3, [](ProgramItem &i) { i.setContent(QString(100000, QChar(u'长'))); }},
        {"text fields", 2, asText([](TextItem &t) {
             t.setFaceName(QStringLiteral("Noto Sans CJK SC"));
             t.setSize(72);
             t.setStyle(3);
             t.setColor(3);
         })},
        {"text odd values", 2, asText([](TextItem &t) {
             t.setFaceName(QString(31, QLatin1Char('F')));
             t.setSize(-1);
             t.setStyle(255);
             t.setColor(0);
         })},
        {"empty face name", 2, asText([](TextItem &t) { t.setFaceName(QString()); })},
        {"picture fields", 3, asPicture([](PictureItem &p) {
             p.setContent(QStringLiteral("/srv/图片/logo.png"));
             p.setMode(1);
             p.setReverse(1);
             p.setLimit(0);
         })},
        {"picture odd values", 3, asPicture([](PictureItem &p) {
             p.setMode(7);
             p.setReverse(-1);
             p.setLimit(255);
         })},
    };

    std::vector<QStringList> written;
    {
        PlayList p;
        point(p);
        p.screenParams().setWidthCode(0);
        p.screenParams().setHeightCode(255);
        for (const auto &c : cases) {
            std::unique_ptr<ProgramItem> item;
            if (c.type == 2)
                item = std::make_unique<TextItem>(&p);
            else
                item = std::make_unique<PictureItem>(&p);
            c.edit(*item);
            written.push_back(storedFields(*item));
            p.appendItem(std::move(item));
        }
        ASSERT_EQ(p.save(), kOk);
    }

    PlayList p;
    point(p);
    ASSERT_EQ(p.load(), kOk);
    EXPECT_EQ(p.screenParams().widthCode(), 0);
    EXPECT_EQ(p.screenWidth(), 2048);
    EXPECT_EQ(p.screenParams().heightCode(), 255);
    ASSERT_EQ(p.itemCount(), int(std::size(cases)));
    for (int i = 0; i < p.itemCount(); ++i)
        EXPECT_EQ(storedFields(*p.itemAt(i)), written[size_t(i)]) << cases[i].name;
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectFile, LoadFollowsTheForwardOnlyReadingRules)
{
    const QByteArray bomb = []() -> QByteArray {
        QByteArray dtd = "<!DOCTYPE project [<!ENTITY a0 \"ha\">";
        for (int i = 1; i < 10; ++i)
            dtd += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                   QByteArray("&a" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
        return dtd + "]>";
    }();
    const char *loadError = "Error on load playlist file.";
    const QString big(1000000, QLatin1Char('x'));
    const struct {
        const char *name;
        QByteArray data;
        const char *message;
        QStringList items;
        int width;
        int height;
    } cases[] = {
        {"malformed", "<project><width>8</project>", loadError, {}, 32, 4},
        {"empty file", "", loadError, {}, 32, 4},
        {"invalid UTF-8", project(text("\xC3\x28")), loadError, {}, 32, 4},
        {"billion laughs",
         bomb + project("<width>8</width>" + text("&a9;")),
         loadError,
         {},
         32,
         4},
        {"too deep",
         project(text("x", QByteArray("<a>").repeated(40) + QByteArray("</a>").repeated(40))),
         loadError,
         {},
         32,
         4},
        {"no declaration, other root name",
         "<list><width>16</width>" + text("a") + "</list>",
         nullptr,
         {"2|a|13"},
         16,
         4},
        {"size codes keep their low 8 bits",
         project("<width>256</width><height>-1</height>"),
         nullptr,
         {},
         0,
         255},
        {"size codes far out of range",
         project("<width>99999999999</width><height>x</height>"),
         nullptr,
         {},
         255,
         0},
        {"atoi-style numbers",
         project(text("a", "<action>  -12abc</action>") +
                 text("b", "<action>99999999999</action>") + text("c", "<action>+7</action>") +
                 text("d", "<action></action>")),
         nullptr,
         {"2|a|-12", "2|b|2147483647", "2|c|7", "2|d|0"},
         32,
         4},
        {"type 4 and missing type are skipped",
         project(msg("<type>4</type><content>no</content>") + msg("<content>none</content>") +
                 msg("<type> 3x</type><content>p</content>")),
         nullptr,
         {"3|p|13"},
         32,
         4},
        {"missing content drops the item",
         project(msg("<type>2</type><action>5</action>") + text("kept")),
         nullptr,
         {"2|kept|13"},
         32,
         4},
        {"content before type drops the item",
         project(msg("<content>x</content><type>2</type>") + text("kept")),
         nullptr,
         {"2|kept|13"},
         32,
         4},
        {"a setting before content keeps its default",
         project(msg("<type>2</type><action>5</action><content>x</content>")),
         nullptr,
         {"2|x|13"},
         32,
         4},
        {"duplicates: the first one counts",
         project("<width>8</width><width>9</width>" +
                 msg("<type>2</type><type>3</type><content>one</content><content>two</content>"
                     "<action>3</action><action>4</action>")),
         nullptr,
         {"2|one|3"},
         8,
         4},
        {"unknown elements, comments and CDATA are passed over",
         project("<!-- c --><extra>1</extra>" +
                 msg("<type>2</type><note/><content><![CDATA[<a&b>]]></content><x/>"
                     "<action>6</action>")),
         nullptr,
         {"2|<a&b>|6"},
         32,
         4},
        {"width after the items hides them",
         project(text("lost") + "<width>8</width>"),
         nullptr,
         {},
         8,
         4},
        {"msg nested deeper is not an item",
         project("<group>" + text("inner") + "</group>"),
         nullptr,
         {},
         32,
         4},
        {"one megabyte of content",
         project(text(big.toUtf8())),
         nullptr,
         {"2|<1000000 chars>|13"},
         32,
         4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        ASSERT_TRUE(writeAll(path(), c.data));
        PlayList p;
        point(p);
        const Outcome loaded = p.load();
        EXPECT_EQ(loaded.text(), QString::fromUtf8(c.message ? c.message : ""));
        EXPECT_EQ(loaded.isOk(), c.message == nullptr);
        EXPECT_EQ(summary(p), c.items);
        EXPECT_EQ(p.screenParams().widthCode(), c.width);
        EXPECT_EQ(p.screenParams().heightCode(), c.height);
        EXPECT_TRUE(ui.messages.empty()) << "loading shows nothing; the front end does";
    }
}

TEST_F(ProjectFile, FaceNamesOf32CharactersOrMoreAreDropped)
{
    const struct {
        QString font;
        QString expected;
    } cases[] = {
        {QString(31, QLatin1Char('a')), QString(31, QLatin1Char('a'))},
        {QString(32, QLatin1Char('a')), QString()},
        {QString(200, QLatin1Char('a')), QString()},
        // Counted in UTF-16 units: 16 astral characters are 32 units.
        {QStringLiteral("\U0001F600").repeated(16), QString()},
        {QStringLiteral("\U0001F600").repeated(15), QStringLiteral("\U0001F600").repeated(15)},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(writeAll(path(), project(text("t", "<font>" + c.font.toUtf8() + "</font>"))));
        PlayList p;
        point(p);
        ASSERT_EQ(p.load(), kOk);
        EXPECT_EQ(static_cast<TextItem *>(p.itemAt(0))->faceName(), c.expected) << c.font.size();
    }
}

TEST_F(ProjectFile, NoRegularFileGivesOneDefaultTextItemSilently)
{
    for (bool makeDirectory : {false, true}) {
        if (makeDirectory) {
            ASSERT_TRUE(QDir(dirPath()).mkdir(QStringLiteral("default.brivprj")));
        }
        PlayList p;
        point(p);
        EXPECT_EQ(p.load().code(), OutcomeCode::FileMissing);
        ASSERT_EQ(p.itemCount(), 1);
        EXPECT_EQ(p.itemAt(0)->type(), 2);
        EXPECT_EQ(p.itemAt(0)->content(), kDefaultText);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(ProjectFile, FailedLoadLeavesTheProjectAsItWas)
{
    ASSERT_TRUE(writeAll(path(), project("<width>8</width>" + text("x")) + "<trailing"));
    PlayList p;
    point(p);
    p.screenParams().setWidthCode(10);
    p.appendItem(std::make_unique<PictureItem>(&p));
    EXPECT_EQ(p.load().code(), OutcomeCode::FileUnreadable);
    EXPECT_EQ(summary(p), QStringList{QStringLiteral("3||13")});
    EXPECT_EQ(p.screenParams().widthCode(), 10);
}

TEST_F(ProjectFile, FailedSaveKeepsThePreviousFileAndSaysSo)
{
    const QByteArray old = kDeclaration + "<project><width>1</width></project>";
    const struct {
        const char *name;
        std::function<QString(const QString &dir)> prepare; // returns the target path
        bool needsLimit;
    } cases[] = {
        {"target is a directory",
         [](const QString &dir) -> QString {
             QDir(dir).mkdir(QStringLiteral("default.brivprj"));
             writeAll(dir + QStringLiteral("/default.brivprj/keep"), "keep");
             return dir + QStringLiteral("/default.brivprj");
         },
         false},
        {"folder is missing",
         [](const QString &dir) -> QString {
             return dir + QStringLiteral("/missing/default.brivprj");
         },
         false},
        {"write fails midway",
         [&old](const QString &dir) -> QString {
             const QString target = dir + QStringLiteral("/default.brivprj");
             writeAll(target, old);
             return target;
         },
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsLimit && !FileSizeLimit::kAvailable)
            continue;
        QTemporaryDir dir;
        const QString target = c.prepare(dir.path());
        const QStringList before =
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        PlayList p;
        p.setProjectFilePath(target);
        p.appendItem(std::make_unique<TextItem>(&p));
        Outcome saved;
        if (c.needsLimit) {
            FileSizeLimit limit(old.size() + 16);
            ASSERT_TRUE(limit.active());
            saved = p.save();
        } else {
            saved = p.save();
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.text(), QStringLiteral("Error on save project!"));
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            before)
            << "nothing is added or removed beside the target";
        if (c.needsLimit) {
            EXPECT_EQ(readAll(target), old);
        } else if (QFileInfo(target).isDir()) {
            EXPECT_EQ(readAll(target + QStringLiteral("/keep")), QByteArray("keep"));
        }
    }
}

TEST_F(ProjectFile, SaveReplacesTheWholePreviousFile)
{
    ASSERT_TRUE(writeAll(path(), QByteArray(5000, 'z')));
    PlayList p;
    point(p);
    ASSERT_EQ(p.save(), kOk);
    EXPECT_EQ(readAll(path()),
              kDeclaration + "<project><width>32</width><height>4</height></project>");
    EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("default.brivprj")});
}

// A list at the loader's element limit: one program more is refused with
// the reason and leaves the file as it was; one fewer is saved, and either
// way the file loads again, so the user can still remove programs.
TEST_F(ProjectFile, SaveRefusesAListTheLoaderWouldRefuse)
{
    // project, width, height, then 15 elements a text program.
    constexpr int kPerProgram = 15;
    const int atLimit = (XmlDocument::kMaxElements - 3) / kPerProgram;
    PlayList p;
    point(p);
    p.setBuildsPages(false);
    for (int i = 0; i < atLimit; ++i)
        p.appendItem(std::make_unique<TextItem>(&p));
    ASSERT_TRUE(p.save());
    const QByteArray atLimitFile = readAll(path());

    const struct {
        const char *name;
        int change; // programs added (+) or removed (-)
        bool saves;
    } cases[] = {{"one program more", +1, false}, {"one program fewer", -1, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeAll(path(), atLimitFile));
        PlayList q;
        point(q);
        q.setBuildsPages(false);
        ASSERT_TRUE(q.load());
        ASSERT_EQ(q.itemCount(), atLimit);
        if (c.change > 0)
            q.appendItem(std::make_unique<TextItem>(&q));
        else
            q.removeItemAt(0);
        const Outcome saved = q.save();
        EXPECT_EQ(saved.isOk(), c.saves);
        if (!c.saves) {
            EXPECT_EQ(saved.code(), OutcomeCode::FileRefused);
            EXPECT_TRUE(saved.text().contains(QString::number(XmlDocument::kMaxElements)))
                << saved.text().toStdString();
            EXPECT_EQ(readAll(path()), atLimitFile);
        }
        PlayList again;
        point(again);
        again.setBuildsPages(false);
        EXPECT_TRUE(again.load());
        EXPECT_EQ(again.itemCount(), atLimit + (c.saves ? c.change : 0));
    }
}

TEST(DiskFullText, NamesTheFolderAndDiskOnlyWhenTooLittleIsFree)
{
    const QString file = QStringLiteral("/data/signs/default.brivprj");
    const struct {
        qint64 needed, available;
        bool full;
    } cases[] = {{4096, 0, true}, {4096, 4095, true}, {4096, 4096, false}, {4096, -1, false}};
    for (const auto &c : cases) {
        const QString text = diskFullText(file, c.needed, c.available, QStringLiteral("/data"));
        EXPECT_EQ(!text.isEmpty(), c.full) << c.available;
        if (c.full) {
            EXPECT_TRUE(text.contains(QStringLiteral("/data/signs"))) << text.toStdString();
            EXPECT_FALSE(text.contains(QStringLiteral(".lock"))) << text.toStdString();
        }
    }
}
