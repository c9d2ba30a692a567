#include "UiTestSupport.h"

#include "common/BdfFont.h"
#include "common/RecordingUserInterface.h"
#include "common/TestFiles.h"
#include "model/PictureItem.h"
#include "model/TextItem.h"
#include "ui/DialogFont.h"
#include "ui/NumberSpinEdit.h"
#include "ui/PictureEditorPage.h"
#include "ui/TextEditorPage.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using UiTest::choose;
using UiTest::fieldText;
using UiTest::retype;

namespace {

class TextPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        family = BdfFont::install({});
        ASSERT_FALSE(family.isEmpty());
        item.setFaceName(family);
    }
    QComboBox *combo(TextEditorPage &p, const char *name) { return p.findChild<QComboBox *>(name); }
    QPlainTextEdit *text(TextEditorPage &p) { return p.findChild<QPlainTextEdit *>("text"); }

    PlayList project;
    TextItem item{&project};
    QString family;
};

TEST_F(TextPageTest, OpensWithTheItemsSettingsAndWritesNothing)
{
    item.setSize(36);
    item.setColor(3);
    item.setStyle(2);
    item.setContent(QStringLiteral("第一行\r\n第二行"));
    item.clearPages();
    TextEditorPage page(&item);
    EXPECT_EQ(combo(page, "font")->currentText(), family);
    EXPECT_EQ(combo(page, "size")->currentText(), "36");
    EXPECT_EQ(combo(page, "size")->count(), 18);
    EXPECT_EQ(combo(page, "colour")->currentText(), "黄");
    EXPECT_EQ(combo(page, "style")->currentText(), "斜体");
    EXPECT_EQ(text(page)->toPlainText(), "第一行\n第二行");
    EXPECT_EQ(item.pageCount(), 0);
    EXPECT_EQ(item.content(), "第一行\r\n第二行");
}

TEST_F(TextPageTest, FontIsFoundByPrefixIgnoringCase)
{
    const struct {
        QString face;
        QString selected;
    } cases[] = {
        {family.left(8).toLower(), family},
        {family.toUpper(), family},
        {QStringLiteral("NoSuchFaceAnywhere"), QString()},
    };
    for (const auto &c : cases) {
        item.setFaceName(c.face);
        TextEditorPage page(&item);
        EXPECT_EQ(combo(page, "font")->currentText(), c.selected) << c.face.toStdString();
        EXPECT_EQ(item.faceName(), c.face); // kept until a font is chosen
    }
}

TEST_F(TextPageTest, TypedSizeIsReadFromItsFirstSixCharacters)
{
    const std::pair<const char *, int> cases[] = {
        {"36pt", 36},          {"abc", 0}, {"1234567", 123456}, {"-12", -12},
        {"123456789", 123456}, {"0", 0},   {"72", 72},
    };
    TextEditorPage page(&item);
    QSignalSpy changed(&page, &TextEditorPage::contentChanged);
    for (const auto &[typed, size] : cases) {
        retype(combo(page, "size"), typed);
        EXPECT_EQ(item.size(), size) << typed;
    }
    // At most 8 characters go into the field.
    EXPECT_EQ(combo(page, "size")->currentText(), "72");
    retype(combo(page, "size"), "123456789");
    EXPECT_EQ(combo(page, "size")->currentText(), "12345678");
    EXPECT_GT(changed.count(), 0);
}

TEST_F(TextPageTest, ListChoicesAreStored)
{
    TextEditorPage page(&item);
    QSignalSpy changed(&page, &TextEditorPage::contentChanged);
    choose(combo(page, "colour"), 1);
    EXPECT_EQ(item.color(), 2);
    choose(combo(page, "style"), 3);
    EXPECT_EQ(item.style(), 3);
    choose(combo(page, "size"), 17);
    EXPECT_EQ(item.size(), 96);
    QComboBox *font = combo(page, "font");
    const int other = font->currentIndex() == 0 ? 1 : 0;
    choose(font, other);
    EXPECT_EQ(item.faceName(), font->itemText(other));
    EXPECT_GE(changed.count(), 4);
}

TEST_F(TextPageTest, EveryKeystrokeIsStoredWithCrLfAndRebuilds)
{
    item.setContent(QString());
    TextEditorPage page(&item);
    QSignalSpy changed(&page, &TextEditorPage::contentChanged);
    text(page)->setFocus();
    QTest::keyClicks(text(page), "ab");
    QTest::keyClick(text(page), Qt::Key_Return);
    QTest::keyClicks(text(page), "c");
    EXPECT_EQ(item.content(), "ab\r\nc");
    EXPECT_EQ(changed.count(), 4);
    item.clearPages();
    QTest::keyClick(text(page), Qt::Key_Backspace);
    EXPECT_EQ(item.pageCount(), 1);
}

TEST_F(TextPageTest, TypingStopsAt256StoredCharacters)
{
    item.setContent(QString(254, u'x'));
    TextEditorPage page(&item);
    text(page)->setFocus();
    text(page)->moveCursor(QTextCursor::End);
    // A line break counts two (CR LF): it no longer fits after 255.
    QTest::keyClicks(text(page), "y");
    QTest::keyClick(text(page), Qt::Key_Return);
    QTest::keyClicks(text(page), "zw");
    EXPECT_EQ(item.content(), QString(254, u'x') + "yz");
    // Over the limit, replacing a selection still works.
    QTest::keyClick(text(page), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClicks(text(page), "Q");
    EXPECT_EQ(item.content(), QString(254, u'x') + "yQ");

    // Pasting is cut to what fits.
    QTest::keyClick(text(page), Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("12345"));
    QTest::keyClick(text(page), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(item.content(), QString(254, u'x') + "y1");
}

TEST_F(TextPageTest, LongerTextFromTheFileIsShownWhole)
{
    const QString longText = QString(300, u'x');
    item.setContent(longText);
    TextEditorPage page(&item);
    EXPECT_EQ(text(page)->toPlainText(), longText);
    text(page)->setFocus();
    text(page)->moveCursor(QTextCursor::End);
    QTest::keyClicks(text(page), "y");
    EXPECT_EQ(item.content(), longText);
    QTest::keyClick(text(page), Qt::Key_Backspace);
    EXPECT_EQ(item.content(), QString(299, u'x'));
}

class PicturePageTest : public ::testing::Test {
protected:
    void TearDown() override { PictureEditorPage::setFileChooser({}); }
    template <typename T> T *child(PictureEditorPage &p, const char *name)
    {
        return p.findChild<T *>(name);
    }

    PlayList project;
    PictureItem item{&project};
};

TEST_F(PicturePageTest, OpensWithTheItemsSettingsAndWritesNothing)
{
    {
        PictureEditorPage page(&item);
        EXPECT_EQ(child<QLineEdit>(page, "path")->text(), "");
        EXPECT_TRUE(child<QRadioButton>(page, "centre")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(page, "invert")->isChecked());
        EXPECT_EQ(fieldText(child<NumberSpinEdit>(page, "limit")), "100");
    }
    item.setContent("/some/picture.png");
    item.setMode(1);
    item.setReverse(1);
    item.setLimit(0); // only a project file gives 0: the arrows start at 1
    item.clearPages();
    PictureEditorPage page(&item);
    EXPECT_EQ(child<QLineEdit>(page, "path")->text(), "/some/picture.png");
    EXPECT_TRUE(child<QRadioButton>(page, "stretch")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "invert")->isChecked());
    EXPECT_EQ(fieldText(child<NumberSpinEdit>(page, "limit")), "0");
    EXPECT_EQ(item.limit(), 0);
    EXPECT_EQ(item.pageCount(), 0);
}

TEST_F(PicturePageTest, LimitIsStoredAtOnceButShownAfterPreview)
{
    PictureEditorPage page(&item);
    page.show();
    auto *limit = child<NumberSpinEdit>(page, "limit");
    item.clearPages();
    limit->setFocus();
    QTest::keyClick(limit, Qt::Key_Up);
    EXPECT_EQ(item.limit(), 101);
    EXPECT_EQ(item.pageCount(), 0);
    QTest::keyClicks(limit, "7"); // the field takes no typing
    EXPECT_EQ(fieldText(limit), "101");
    QTest::mouseClick(child<QPushButton>(page, "preview"), Qt::LeftButton);
    EXPECT_EQ(item.pageCount(), 1);

    // The arrows keep to 1..255.
    for (int i = 0; i < 200; ++i)
        QTest::keyClick(limit, Qt::Key_Up);
    EXPECT_EQ(item.limit(), 255);
}

TEST_F(PicturePageTest, FittingAndInversionRebuildAtOnce)
{
    PictureEditorPage page(&item);
    page.show();
    QSignalSpy changed(&page, &PictureEditorPage::contentChanged);
    const struct {
        const char *button;
        int mode, reverse;
    } steps[] = {{"stretch", 1, 0}, {"invert", 1, 1}, {"centre", 0, 1}, {"invert", 0, 0}};
    for (const auto &s : steps) {
        item.clearPages();
        QTest::mouseClick(page.findChild<QAbstractButton *>(s.button), Qt::LeftButton);
        EXPECT_EQ(item.mode(), s.mode) << s.button;
        EXPECT_EQ(item.reverse(), s.reverse) << s.button;
        EXPECT_EQ(item.pageCount(), 1) << s.button;
    }
    EXPECT_EQ(changed.count(), 4);
}

TEST_F(PicturePageTest, BrowseStoresADecodablePictureRefusesOthersAndCancelLeavesAll)
{
    RecordingUserInterface ui;
    QTemporaryDir dir;
    const QString good = dir.filePath("good.png");
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(good));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray png = goodFile.readAll();
    const QString notPicture = dir.filePath("not-a-picture.png");
    const QString truncated = dir.filePath("truncated.png");
    ASSERT_TRUE(writeAll(notPicture, "plain text, not an image"));
    ASSERT_TRUE(writeAll(truncated, png.left(png.size() / 2)));

    QString filterSeen;
    QString startSeen;
    QString answer;
    PictureEditorPage::setFileChooser(
        [&](QWidget *, const QString &start, const QString &filter) {
            startSeen = start;
            filterSeen = filter;
            return answer;
        });
    // With no picture yet, the chooser starts in the project's folder; then
    // in the picture's.
    QTemporaryDir projectDir;
    project.setProjectFilePath(QDir(projectDir.path()).filePath("p.brivprj"));
    PictureEditorPage page(&item);
    page.show();
    QSignalSpy changed(&page, &PictureEditorPage::contentChanged);
    const struct {
        const char *name;
        QString chosen;
        bool taken;
    } cases[] = {
        {"a picture", good, true},
        {"not a picture", notPicture, false},
        {"a truncated picture", truncated, false},
        {"cancelled", QString(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        answer = c.chosen;
        ui.messages.clear();
        const int changesBefore = int(changed.count());
        const QString expectedStart =
            QFileInfo(item.content().isEmpty() ? projectDir.path() : dir.path()).absoluteFilePath();
        QTest::mouseClick(child<QPushButton>(page, "browse"), Qt::LeftButton);
        EXPECT_EQ(QFileInfo(startSeen).absoluteFilePath(), expectedStart);
        EXPECT_TRUE(filterSeen.startsWith("图片文件("));
        EXPECT_TRUE(filterSeen.contains("*.png"));
        EXPECT_TRUE(filterSeen.contains(";;所有文件("));
        // The program keeps the last picture taken, in the system's own
        // separators (a Windows user reads "C:\pics\a.png").
        EXPECT_EQ(item.content(), QDir::toNativeSeparators(good));
        EXPECT_EQ(child<QLineEdit>(page, "path")->text(), QDir::toNativeSeparators(good));
        EXPECT_EQ(changed.count(), changesBefore + (c.taken ? 1 : 0));
        const bool refused = !c.taken && !c.chosen.isEmpty();
        ASSERT_EQ(ui.messages.size(), refused ? 1u : 0u);
        if (refused) {
            EXPECT_TRUE(ui.messages[0].text.contains(QDir::toNativeSeparators(c.chosen)))
                << ui.messages[0].text.toStdString();
        }
    }
}

// The chooser where the system has no dialog of its own is Qt's: in the
// project's folder, its size, type and date columns whole.
TEST_F(PicturePageTest, FileDialogShowsItsColumnsWhole)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows opens its own dialog";
#else
    // In the window's font, as the application sets it.
    const QFont oldFont = QApplication::font();
    setUpDialogFont();
    QTemporaryDir dir;
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(dir.filePath("a-picture.png")));
    project.setProjectFilePath(QDir(dir.path()).filePath("p.brivprj"));
    {
        // Columns a user once made narrow, as the dialog keeps them.
        QFileDialog narrow;
        auto *details = narrow.findChild<QTreeView *>("treeView");
        ASSERT_NE(details, nullptr);
        for (int c = 1; c < details->header()->count(); ++c)
            details->header()->resizeSection(c, 12);
    }
    PictureEditorPage page(&item);
    page.show();
    int ticks = 0;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && ++ticks < 200)
            return;
        poll.stop();
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *details = dialog ? dialog->findChild<QTreeView *>("treeView") : nullptr;
        EXPECT_NE(details, nullptr);
        if (details) {
            EXPECT_EQ(QFileInfo(dialog->directory().path()), QFileInfo(dir.path()));
            // The size and type come in after the names.
            const QAbstractItemModel *model = details->model();
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return model->rowCount(details->rootIndex()) > 0 &&
                       !model->index(0, 2, details->rootIndex()).data().toString().isEmpty();
            }));
            QApplication::processEvents();
            const QAbstractItemView *view = details;
            for (int c = 1; c < details->header()->count(); ++c)
                EXPECT_GE(details->header()->sectionSize(c), view->sizeHintForColumn(c)) << c;
        }
        if (modal)
            modal->close();
    });
    poll.start();
    QTest::mouseClick(child<QPushButton>(page, "browse"), Qt::LeftButton);
    QApplication::setFont(oldFont);
#endif
}

} // namespace

namespace {

// Characters no face can draw are named below the text with their code
// points, not as boxes.
TEST_F(TextPageTest, CharactersNoFaceDrawsAreNamedBelowTheText)
{
    item.setContent(QStringLiteral("AB"));
    TextEditorPage page(&item);
    QLabel *warnings = page.findChild<QLabel *>("warnings");
    ASSERT_NE(warnings, nullptr);
    const bool warnedBefore = !warnings->isHidden();
    const QString before = warnings->text();
    text(page)->setPlainText(QStringLiteral("A\u0378B\u0378"));
    EXPECT_FALSE(warnings->isHidden());
    EXPECT_TRUE(warnings->text().contains(QStringLiteral("\u0378 (U+0378)")))
        << warnings->text().toStdString();
    text(page)->setPlainText(QStringLiteral("AB"));
    EXPECT_EQ(warnings->isHidden(), !warnedBefore);
    EXPECT_EQ(warnings->text(), before);
    EXPECT_EQ(combo(page, "font")->maxVisibleItems(), 12);
    // The face list opens wide enough for every name.
    QComboBox *font = combo(page, "font");
    for (int i = 0; i < font->count(); ++i)
        EXPECT_GT(font->view()->minimumWidth(),
                  font->view()->fontMetrics().horizontalAdvance(font->itemText(i)))
            << font->itemText(i).toStdString();
}

} // namespace
