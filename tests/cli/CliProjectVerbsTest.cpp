// The play list verbs against real project files: what each option and
// FIELD=VALUE becomes in the items, and the pictures render writes.
#include "CliTestSupport.h"
#include "common/TestFiles.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class CliProject : public CliFixture {
protected:
    QJsonArray listItems()
    {
        const CliRun r = run({QStringLiteral("--json"), QStringLiteral("list")});
        EXPECT_EQ(r.code, ExitOk) << r.err.toStdString();
        return r.json().value(u"items").toArray();
    }
    QString picture(const QString &name, int width = 16, int height = 8)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

TEST_F(CliProject, NewCreatesAnEmptyPlayListWithTheDialogsSizeRules)
{
    const struct {
        QStringList options;
        int width, height;
        bool warned;
    } cases[] = {
        {{}, 256, 32, false},
        {{"--width", "100", "--height", "40"}, 96, 32, false}, // rounded down to 16
        {{"--width", "2048", "--height", "128"}, 2048, 128, false},
        {{"--width", "10", "--height", "200"}, 64, 64, true}, // out of range: 64
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const CliRun made =
            run(QStringList{QStringLiteral("new"), QStringLiteral("--force")} + c.options);
        ASSERT_EQ(made.code, ExitOk) << made.err.toStdString();
        EXPECT_EQ(made.err.contains(QStringLiteral("64 is used")), c.warned);
        const CliRun listed = run({QStringLiteral("--json"), QStringLiteral("list")});
        ASSERT_EQ(listed.code, ExitOk);
        EXPECT_EQ(listed.json().value(u"width").toInt(), c.width);
        EXPECT_EQ(listed.json().value(u"height").toInt(), c.height);
        EXPECT_TRUE(listed.json().value(u"items").toArray().isEmpty());
    }
}

TEST_F(CliProject, AddTextMapsEveryOption)
{
    ASSERT_EQ(run({QStringLiteral("new")}).code, ExitOk);
    const CliRun added = run({QStringLiteral("add-text"),     QStringLiteral("价格 Price"),
                              QStringLiteral("--action"),     QStringLiteral("左移"),
                              QStringLiteral("--speed"),      QStringLiteral("3"),
                              QStringLiteral("--frame"),      QStringLiteral("单点快走"),
                              QStringLiteral("--clock"),      QStringLiteral("dial"),
                              QStringLiteral("--delay"),      QStringLiteral("4"),
                              QStringLiteral("--level"),      QStringLiteral("15(慢)"),
                              QStringLiteral("--flash"),      QStringLiteral("blink"),
                              QStringLiteral("--flashdelay"), QStringLiteral("6"),
                              QStringLiteral("--font"),       QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("--size"),       QStringLiteral("24"),
                              QStringLiteral("--style"),      QStringLiteral("bold-italic"),
                              QStringLiteral("--color"),      QStringLiteral("yellow")});
    ASSERT_EQ(added.code, ExitOk) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains(QStringLiteral("program 1")));

    const QJsonArray items = listItems();
    ASSERT_EQ(items.size(), 1);
    const QJsonObject item = items.at(0).toObject();
    const struct {
        const char *key;
        QJsonValue value;
    } expected[] = {
        {"type", 2},
        {"content", QStringLiteral("价格 Price")},
        {"action", 2},
        {"speed", 3},
        {"frame", 1},
        {"clock", 1},
        {"delay", 4},
        {"level", 15},
        {"flash", 1},
        {"flashdelay", 6},
        {"font", QStringLiteral("WenQuanYi Zen Hei")},
        {"size", 24},
        {"style", 3},
        {"color", 3},
        {"stayTime", 7}, // flashing: the flash interval + 1
    };
    for (const auto &e : expected)
        EXPECT_EQ(item.value(QLatin1String(e.key)), e.value) << e.key;
}

TEST_F(CliProject, NumbersAndChineseNamesAreTheSameValues)
{
    ASSERT_EQ(run({QStringLiteral("new")}).code, ExitOk);
    const struct {
        const char *option, *byName, *byNumber;
    } pairs[] = {
        {"--action", "下雨", "18"},  {"--frame", "全慢闪", "8"}, {"--clock", "文字", "2"},
        {"--flash", "反白闪", "2"},  {"--style", "粗体", "1"},   {"--color", "绿", "2"},
        {"--speed", "15(快)", "15"},
    };
    for (const auto &p : pairs) {
        ASSERT_EQ(run({QStringLiteral("add-text"), QStringLiteral("a"), QLatin1String(p.option),
                       QString::fromUtf8(p.byName)})
                      .code,
                  ExitOk)
            << p.option;
        ASSERT_EQ(run({QStringLiteral("add-text"), QStringLiteral("a"), QLatin1String(p.option),
                       QLatin1String(p.byNumber)})
                      .code,
                  ExitOk)
            << p.option;
    }
    const QJsonArray items = listItems();
    ASSERT_EQ(items.size(), 2 * int(std::size(pairs)));
    for (int i = 0; i + 1 < items.size(); i += 2) {
        QJsonObject a = items.at(i).toObject(), b = items.at(i + 1).toObject();
        a.remove(u"index");
        b.remove(u"index");
        EXPECT_EQ(a, b) << pairs[i / 2].option;
    }
}

TEST_F(CliProject, PicturePathsAreStoredRelativeInsideTheProjectFolder)
{
    ASSERT_EQ(run({QStringLiteral("new")}).code, ExitOk);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("art")));
    const QString inside = picture(QStringLiteral("art/logo.png"));
    QTemporaryDir elsewhere;
    QImage(4, 4, QImage::Format_RGB32).save(elsewhere.filePath(QStringLiteral("far.png")));

    ASSERT_EQ(run({QStringLiteral("add-picture"), inside, QStringLiteral("--mode"),
                   QStringLiteral("stretch"), QStringLiteral("--reverse"),
                   QStringLiteral("--limit"), QStringLiteral("0")})
                  .code,
              ExitOk);
    ASSERT_EQ(
        run({QStringLiteral("add-picture"), elsewhere.filePath(QStringLiteral("far.png"))}).code,
        ExitOk);

    const QJsonArray items = listItems();
    ASSERT_EQ(items.size(), 2);
    const QJsonObject first = items.at(0).toObject();
    EXPECT_EQ(first.value(u"content").toString(), QStringLiteral("art/logo.png"));
    EXPECT_EQ(first.value(u"path").toString(), inside);
    EXPECT_EQ(first.value(u"mode").toInt(), 1);
    EXPECT_EQ(first.value(u"reverse").toInt(), 1);
    EXPECT_EQ(first.value(u"limit").toInt(), 0);
    EXPECT_EQ(items.at(1).toObject().value(u"content").toString(),
              QFileInfo(elsewhere.filePath(QStringLiteral("far.png"))).absoluteFilePath());
}

TEST_F(CliProject, SetMoveAndRemoveEditThePlayList)
{
    writeProject({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});

    EXPECT_EQ(run({QStringLiteral("set"), QStringLiteral("2"), QStringLiteral("action=马赛克"),
                   QStringLiteral("color=green"), QStringLiteral("content=zwei=2")})
                  .code,
              ExitOk);
    EXPECT_EQ(run({QStringLiteral("move"), QStringLiteral("2"), QStringLiteral("up")}).code,
              ExitOk);
    EXPECT_EQ(run({QStringLiteral("move"), QStringLiteral("2"), QStringLiteral("down")}).code,
              ExitOk);
    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("3")}).code, ExitOk);

    const QJsonArray items = listItems();
    ASSERT_EQ(items.size(), 2);
    const QJsonObject first = items.at(0).toObject();
    EXPECT_EQ(first.value(u"content").toString(), QStringLiteral("zwei=2"));
    EXPECT_EQ(first.value(u"action").toInt(), 17);
    EXPECT_EQ(first.value(u"color").toInt(), 2);
    EXPECT_EQ(items.at(1).toObject().value(u"content").toString(), QStringLiteral("three"));
}

// Scripts read --json output with a parser: every play list verb prints one
// document, "ok" and what it changed, and nothing else on standard output.
TEST_F(CliProject, EveryEditingVerbPrintsOneJsonDocumentOfWhatChanged)
{
    const QString pages = dir.filePath(QStringLiteral("pages"));
    const struct {
        QStringList args;
        const char *key;
        QJsonValue value;
    } steps[] = {
        {{"new", "--width", "128"}, "width", 128},
        {{"add-text", "one"}, "added", 1},
        {{"add-text", "two", "--colour", "green"}, "itemCount", 2},
        {{"set", "2", "speed=3", "content=zwei"}, "changed", QJsonArray{"speed", "content"}},
        // The fields take the options' other spellings too.
        {{"set", "2", "colour=green", "flash-delay=3"},
         "changed",
         QJsonArray{"color", "flashdelay"}},
        {{"move", "2", "up"}, "to", 1},
        {{"remove", "2"}, "removed", 2},
        {{"render", "--out", pages}, "count", 1},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.args.join(u' ').toStdString());
        const CliRun r = run(QStringList{QStringLiteral("--json")} + step.args);
        EXPECT_EQ(r.code, ExitOk) << r.err.toStdString();
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        EXPECT_TRUE(doc.value(u"ok").toBool());
        EXPECT_EQ(doc.value(QLatin1String(step.key)), step.value);
    }
    const QJsonArray items = listItems();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.at(0).toObject().value(u"content").toString(), QStringLiteral("zwei"));
    EXPECT_EQ(items.at(0).toObject().value(u"color").toInt(), 2);
}

TEST_F(CliProject, ListShowsOneLinePerProgram)
{
    writeProject({QStringLiteral("one"), QStringLiteral("line\nbreak")});
    const CliRun r = run({QStringLiteral("list")});
    ASSERT_EQ(r.code, ExitOk);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("立刻显示")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("line\\nbreak")));
}

TEST_F(CliProject, RenderWritesEveryPageAtOnePixelPerLed)
{
    writeProject({QStringLiteral("A"), QStringLiteral("B")}, 32, 4);
    // A dial clock on a card that shows clock zones: the page is the content
    // beside the 32-pixel zone; the preview is the whole screen.
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("2"), QStringLiteral("clock=dial")}).code,
              ExitOk);
    const QString card = QStringLiteral("15,0x23,2.2.7");
    const QString pages = dir.filePath(QStringLiteral("pages"));
    const QString previews = dir.filePath(QStringLiteral("previews"));

    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--out"), pages,
                   QStringLiteral("--card"), card})
                  .code,
              ExitOk);
    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--out"), previews,
                   QStringLiteral("--preview"), QStringLiteral("--card"), card})
                  .code,
              ExitOk);

    EXPECT_EQ(QDir(pages).entryList(QDir::Files),
              (QStringList{QStringLiteral("01-01.png"), QStringLiteral("02-01.png")}));
    EXPECT_EQ(QImage(QDir(pages).filePath(QStringLiteral("01-01.png"))).size(), QSize(256, 32));
    EXPECT_EQ(QImage(QDir(pages).filePath(QStringLiteral("02-01.png"))).size(), QSize(224, 32));
    const QImage preview(QDir(previews).filePath(QStringLiteral("02-01.png")));
    ASSERT_EQ(preview.size(), QSize(256, 32));
    // The 12 o'clock mark of the dial is lit; without --card no zone exists.
    EXPECT_EQ(preview.pixel(15, 1), qRgb(255, 0, 0));
    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--out"), pages}).code, ExitOk);
    EXPECT_EQ(QImage(QDir(pages).filePath(QStringLiteral("02-01.png"))).size(), QSize(256, 32));
}

TEST_F(CliProject, RenderIntoAFileIsCode2)
{
    writeProject({QStringLiteral("A")});
    const CliRun r = run({QStringLiteral("render"), QStringLiteral("--out"), projectFile});
    EXPECT_EQ(r.code, ExitUsage);
}

} // namespace

namespace {

TEST_F(CliProject, RenderAnimateWritesTheListOrOneProgramAsAGif)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the MinGW Qt's GIF reader counts one image in the animated GIF (not yet looked into)";
#else
    writeProject({QStringLiteral("A"), QStringLiteral("B")}, 32, 4);
    ASSERT_EQ(run({QStringLiteral("set"), QStringLiteral("1"), QStringLiteral("delay=1")}).code,
              ExitOk);
    const QString all = dir.filePath(QStringLiteral("all.gif"));
    const QString one = dir.filePath(QStringLiteral("one.gif"));
    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--animate"), all,
                   QStringLiteral("--scale"), QStringLiteral("3"), QStringLiteral("--dots")})
                  .code,
              ExitOk);
    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--animate"), one,
                   QStringLiteral("--program"), QStringLiteral("1")})
                  .code,
              ExitOk);
    QImageReader reader(all);
    EXPECT_EQ(reader.size(), QSize(256 * 3, 32 * 3));
    EXPECT_GT(reader.imageCount(), 1);
    EXPECT_LT(QFileInfo(one).size(), QFileInfo(all).size());

    const QString frames = dir.filePath(QStringLiteral("frames"));
    ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--frames"), frames,
                   QStringLiteral("--program"), QStringLiteral("1")})
                  .code,
              ExitOk);
    const QStringList files = QDir(frames).entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(files.first(), QStringLiteral("frame-00000.png"));
    EXPECT_EQ(QImage(QDir(frames).filePath(files.last())).size(), QSize(256, 32));

    for (const QStringList &bad :
         {QStringList{QStringLiteral("--animate"), all, QStringLiteral("--program"),
                      QStringLiteral("3")},
          QStringList{QStringLiteral("--animate"), all, QStringLiteral("--scale"),
                      QStringLiteral("17")},
          QStringList{QStringLiteral("--animate"), all, QStringLiteral("--frames"), frames}})
        EXPECT_EQ(run(QStringList{QStringLiteral("render")} + bad).code, ExitUsage)
            << bad.join(' ').toStdString();
#endif
}

// What a 16-row single-colour sign will not show as the file says is told
// on standard error and in --json when a program is added, and again by
// render; a sign of two colours shows green.
TEST_F(CliProject, AddedTextsAreWarnedAboutWhatTheSignWillNotShow)
{
    writeProject({}, 8, 2); // 64 x 16
    const struct {
        QStringList args;
        const char *code; // empty: no warning
        QString told;
    } cases[] = {
        {{QStringLiteral("欢迎光临")}, "fit", QStringLiteral("16 行的屏建议使用 ")},
        {{QStringLiteral("A\U00020BB7"), QStringLiteral("--size"), QStringLiteral("12")},
         "missingCharacters",
         QStringLiteral("\U00020BB7 (U+20BB7)")},
        {{QStringLiteral("绿"), QStringLiteral("--size"), QStringLiteral("12"),
          QStringLiteral("--color"), QStringLiteral("2"), QStringLiteral("--colour-type"),
          QStringLiteral("single")},
         "colour",
         QStringLiteral("当前显示屏为单色屏，绿色文字将不会显示。")},
        {{QStringLiteral("绿"), QStringLiteral("--size"), QStringLiteral("12"),
          QStringLiteral("--color"), QStringLiteral("2"), QStringLiteral("--color-type"),
          QStringLiteral("dual")},
         "",
         {}},
        {{QStringLiteral("NoSuchFace"), QStringLiteral("--size"), QStringLiteral("12"),
          QStringLiteral("--font"), QStringLiteral("NoSuchFace")},
         "font",
         QStringLiteral("没有安装字体“NoSuchFace”，将使用“")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r =
            run(QStringList{QStringLiteral("--json"), QStringLiteral("add-text")} + c.args);
        ASSERT_EQ(r.code, ExitOk) << r.err.toStdString();
#ifdef Q_OS_WIN
        // The faces Wine serves are not Debian's: no pixel strikes to advise
        // and a face that draws U+20BB7.
        if (qstrcmp(c.code, "fit") == 0 || qstrcmp(c.code, "missingCharacters") == 0)
            continue;
#endif
        QStringList codes;
        for (const QJsonValue &w : r.json().value(u"warnings").toArray())
            codes << w.toObject().value(u"code").toString();
        EXPECT_EQ(codes, *c.code ? QStringList{QLatin1String(c.code)} : QStringList())
            << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QStringLiteral("warning: program")), *c.code != 0);
        EXPECT_TRUE(r.err.contains(c.told)) << r.err.toStdString();
    }
    // render tells them again, and on a single-colour sign the green program
    // (3) shows nothing, in its page, its preview and its animation.
    const QString out = dir.filePath(QStringLiteral("pages"));
    const CliRun rendered = run({QStringLiteral("render"), QStringLiteral("--out"), out,
                                 QStringLiteral("--color-type"), QStringLiteral("single")});
    ASSERT_EQ(rendered.code, ExitOk);
    EXPECT_TRUE(rendered.err.contains(QStringLiteral("program 3: 当前显示屏为单色屏")));
    // list tells each program's warnings too.
    const CliRun listed = run({QStringLiteral("list")});
    ASSERT_EQ(listed.code, ExitOk);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("program 5: 没有安装字体“NoSuchFace”")))
        << listed.err.toStdString();
    const QString gif = dir.filePath(QStringLiteral("green.gif"));
    auto greenPixels = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGreen(image.pixel(x, y)) >= 50;
        return n;
    };
    for (const char *type : {"single", "dual"}) {
        SCOPED_TRACE(type);
        const bool single = QLatin1String(type) == u"single";
        ASSERT_EQ(run({QStringLiteral("render"), QStringLiteral("--animate"), gif,
                       QStringLiteral("--program"), QStringLiteral("3"),
                       QStringLiteral("--color-type"), QLatin1String(type)})
                      .code,
                  ExitOk);
        QImageReader reader(gif);
        int green = 0;
        for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
            green += greenPixels(frame);
        for (const char *preview : {"", "--preview"}) {
            QStringList args{QStringLiteral("render"), QStringLiteral("--out"), out,
                             QStringLiteral("--color-type"), QLatin1String(type)};
            if (*preview)
                args << QLatin1String(preview);
            ASSERT_EQ(run(args).code, ExitOk);
            green += greenPixels(QImage(QDir(out).filePath(QStringLiteral("03-01.png"))));
        }
        EXPECT_EQ(green == 0, single) << green;
    }
}

} // namespace

// A picture the program cannot decode is refused when added; one that
// breaks after it was added is named by render, on standard error and in
// --json, and still gives its black page.
TEST_F(CliProject, BrokenPicturesAreRefusedWhenAddedAndNamedWhenRendered)
{
    ASSERT_EQ(run({QStringLiteral("new")}).code, ExitOk);
    const QString path = picture(QStringLiteral("logo.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    file.close();
    const QString truncated = dir.filePath(QStringLiteral("truncated.png"));
    ASSERT_TRUE(writeAll(truncated, png.left(png.size() / 2)));

    const auto refused = run({QStringLiteral("add-picture"), truncated});
    EXPECT_EQ(refused.code, ExitUsage);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("无法解码"))) << refused.err.toStdString();
    EXPECT_EQ(listItems().size(), 0);

    ASSERT_EQ(run({QStringLiteral("add-picture"), path}).code, ExitOk);
    ASSERT_TRUE(writeAll(path, png.left(png.size() / 2))); // broken since
    const QString out = dir.filePath(QStringLiteral("out"));
    const auto rendered =
        run({QStringLiteral("render"), QStringLiteral("--out"), out, QStringLiteral("--json")});
    EXPECT_EQ(rendered.code, ExitOk);
    EXPECT_TRUE(rendered.err.contains(QStringLiteral("program 1: "))) << rendered.err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(rendered.out.toUtf8()).object();
    EXPECT_EQ(doc.value(u"count").toInt(), 1);
    const QJsonArray warnings = doc.value(u"warnings").toArray();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings.at(0).toObject().value(u"program").toInt(), 1);
    EXPECT_TRUE(warnings.at(0).toObject().value(u"problem").toString().contains(path));
}
