// The warnings every front end shows for a program: which texts cause
// which, and what they name.
#include "model/ProgramWarnings.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "render/EntryAnimation.h"
#include "render/TextFont.h"

#include <QFontDatabase>
#include <gtest/gtest.h>
#include <iostream>

namespace {

TEST(ProgramWarnings, EachTextProblemIsToldOnceWithWhatTheSignShows)
{
    struct Case {
        const char *name;
        QString text;
        QString face;
        int size;
        int colour;
        int colourType; // 0: not known
        int delay;
        ProgramWarning::Code code;
        QString told; // empty: no warning at all
    };
    using Code = ProgramWarning::Code;
    const QString song = TextFont::kDefaultFace;
    const Case cases[] = {
        {"yellow on one colour", QStringLiteral("黄"), song, 12, 3, 1, 0, Code::Colour,
         QStringLiteral("当前显示屏为单色屏，黄色文字将显示为红色。")},
        {"green, colours not known", QStringLiteral("绿"), song, 12, 2, 0, 0, Code::Colour, {}},
        {"red on one colour", QStringLiteral("红"), song, 12, 1, 1, 0, Code::Colour, {}},
        {"line break, one line per page", QStringLiteral("第一行\r\n第二行"), song, 12, 1, 0, 2,
         Code::LineBreak, QStringLiteral("文字中有换行，2 行文字共高 32 行")},
        {"line break, moving up",
         QStringLiteral("第一行\r\n第二行"),
         song,
         12,
         1,
         0,
         0,
         Code::LineBreak,
         {}},
        {"a face without Chinese", QStringLiteral("欢迎"), QStringLiteral("Standard Symbols PS"),
         12, 1, 0, 0, Code::MissingCharacters, QStringLiteral("欢 (U+6B22)、迎 (U+8FCE)")},
        {"a face nobody has", QStringLiteral("欢迎"), QStringLiteral("楷体"), 12, 1, 0, 0,
         Code::Face, QStringLiteral("没有安装字体“楷体”，将使用“")},
        {"generic families are served", QStringLiteral("欢迎 Mono"), QStringLiteral("Monospace"),
         12, 1, 0, 0, Code::Face, {}},
        {"sans serif", QStringLiteral("欢迎"), QStringLiteral("Sans Serif"), 12, 1, 0, 0,
         Code::Face, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.code != Code::Face && !QFontDatabase::hasFamily(c.face) &&
            !TextFont::isMappedName(c.face)) {
            std::cout << "skipped: " << c.name << " (face not installed)\n";
            continue;
        }
        PlayList list;
        list.screenParams().setWidthCode(8); // 64 x 16
        list.screenParams().setHeightCode(2);
        if (c.colourType) {
            list.screenParams().bytes[ScreenParams::ColourType] = uint8_t(c.colourType);
            list.setColourTypeKnown(true);
        }
        TextItem item(&list);
        item.setContent(c.text);
        item.setFaceName(c.face);
        item.setSize(c.size);
        item.setColor(c.colour);
        // Moving up without a stay: a vertical band, lines one after another.
        item.setAction(c.delay ? EntryAnimation::Instant : EntryAnimation::MoveUp);
        item.setDelay(c.delay);
        const std::vector<ProgramWarning> warnings = programWarnings(item);
        if (c.told.isEmpty()) {
            EXPECT_TRUE(warnings.empty()) << warnings.front().text.toStdString();
            continue;
        }
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings.front().code, c.code);
        EXPECT_TRUE(warnings.front().text.contains(c.told)) << warnings.front().text.toStdString();
    }
}

} // namespace
