#include "render/UserFonts.h"
#include "common/BdfFont.h"
#include "ui/TextEditorPage.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(UserFonts, FontFileNames)
{
    const std::pair<const char *, bool> cases[] = {
        {"led8.bdf", true},   {"LED8.BDF", true}, {"fixed.pcf", true},  {"fixed.pcf.gz", true},
        {"a.ttf", true},      {"a.otf", true},    {"a.ttc", true},      {"a.otb", true},
        {"notes.txt", false}, {"bdf", false},     {"a.bdf.bak", false}, {"a.gz", false},
    };
    for (const auto &[name, font] : cases)
        EXPECT_EQ(UserFonts::isFontFileName(name), font) << name;
}

TEST(UserFonts, BitmapFontsOfBothFoldersReachTheFontList)
{
    QTemporaryDir beside, userData;
    ASSERT_TRUE(beside.isValid() && userData.isValid());
    BdfFont::Spec first;
    first.family = QStringLiteral("BrivaneUserFontOne");
    BdfFont::Spec second;
    second.family = QStringLiteral("BrivaneUserFontTwo");
    second.pixelSize = 8;
    second.ascent = 7;
    second.descent = 1;
    second.advance = 6;
    ASSERT_TRUE(writeFile(beside.filePath("one.bdf"), BdfFont::make(first)));
    ASSERT_TRUE(writeFile(userData.filePath("two.BDF"), BdfFont::make(second)));
    // Ignored: not a font file name, and a font file that is not a font.
    ASSERT_TRUE(writeFile(beside.filePath("readme.txt"), "STARTFONT 2.1\n"));
    ASSERT_TRUE(writeFile(beside.filePath("broken.pcf"), QByteArray(64, '\x01')));

    const QStringList added = UserFonts::load(
        {beside.path(), QDir(userData.path()).filePath("missing"), userData.path()});
    EXPECT_EQ(added, (QStringList{"BrivaneUserFontOne", "BrivaneUserFontTwo"}));
    const QStringList offered = TextEditorPage::fontFaceNames();
    EXPECT_TRUE(offered.contains("BrivaneUserFontOne"));
    EXPECT_TRUE(offered.contains("BrivaneUserFontTwo"));
}

} // namespace
