#include "model/TextItem.h"

#include "render/TextFont.h"

#include <QCoreApplication>

TextItem::TextItem(const RenderContext *context) : ProgramItem(TextType, context)
{
    m_size = TextFont::kDefaultSize;
    m_style = 0;
    m_faceName = TextFont::kDefaultFace;
    m_color = 1;
    setContent(QStringLiteral("示例文本信息，双击编辑。"));
    setKindLabel(QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "文本")));
}

int TextItem::textLength(const QString &text)
{
    // A CR LF pair is already two; a lone LF or CR becomes CR LF when stored.
    const qsizetype pairs = text.count(QLatin1String("\r\n"));
    return int(text.size() + text.count(u'\n') + text.count(u'\r') - 2 * pairs);
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
