#include "model/TextItem.h"

#include "render/TextFont.h"

TextItem::TextItem(const RenderContext *context) : ProgramItem(TextType, context)
{
    m_size = TextFont::kDefaultSize;
    m_style = 0;
    m_faceName = TextFont::kDefaultFace;
    m_color = 1;
    setContent(QStringLiteral("示例文本信息，双击编辑。"));
    setKindLabel(QStringLiteral("文本"));
}

uint32_t TextItem::textColor() const
{
    switch (m_color) {
    case 2:
        return 0x00FF00;
    case 3:
        return 0x00FFFF;
    default:
        return 0x0000FF;
    }
}
