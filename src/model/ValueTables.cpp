#include "model/ValueTables.h"

#include "render/Playback.h"

namespace ValueTables {

namespace {
QStringList numbered(int first, int last, const QString &firstSuffix, const QString &lastSuffix)
{
    QStringList names;
    for (int i = first; i <= last; ++i) {
        QString name = QString::number(i);
        if (i == first)
            name += firstSuffix;
        if (i == last)
            name += lastSuffix;
        names << name;
    }
    return names;
}

// Names of the running borders; their codes are the player's
// (Playback::borderCodeOfFrame).
struct Frame {
    const char16_t *name;
};
constexpr Frame kFrames[] = {
    {u"无"},       {u"单点快走"}, {u"单点慢走"}, {u"四点快走"}, {u"四点慢走"},
    {u"八点快闪"}, {u"八点慢闪"}, {u"全快闪"},   {u"全慢闪"},
};
} // namespace

const QStringList &actionNames()
{
    static const QStringList names = {
        QStringLiteral("立刻显示"),     QStringLiteral("左移"),
        QStringLiteral("右移"),         QStringLiteral("上移"),
        QStringLiteral("下移"),         QStringLiteral("从左向右展开"),
        QStringLiteral("从上向下展开"), QStringLiteral("水平中展"),
        QStringLiteral("水平百叶窗"),   QStringLiteral("垂直百叶窗"),
        QStringLiteral("上下交叉对进"), QStringLiteral("左右交叉对展"),
        QStringLiteral("连续左移"),     QStringLiteral("菱形扩散"),
        QStringLiteral("斜向下移"),     QStringLiteral("斜向左展"),
        QStringLiteral("马赛克"),       QStringLiteral("下雨"),
    };
    return names;
}

const QStringList &speedNames()
{
    static const QStringList names =
        numbered(0, 15, QStringLiteral("(慢)"), QStringLiteral("(快)"));
    return names;
}

const QStringList &frameNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Frame &f : kFrames)
            list << QString::fromUtf16(f.name);
        return list;
    }();
    return names;
}

int frameBorderCode(int frame)
{
    return Playback::borderCodeOfFrame(frame);
}

const QStringList &clockNames()
{
    static const QStringList names = {QStringLiteral("关闭"), QStringLiteral("表盘"),
                                      QStringLiteral("文字")};
    return names;
}

QString clockLabel(int clock)
{
    switch (clock) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("表盘");
    case 2:
        return QStringLiteral("文字");
    default:
        return QStringLiteral("关闭");
    }
}

const QStringList &levelNames()
{
    static const QStringList names =
        numbered(1, 15, QStringLiteral("(快)"), QStringLiteral("(慢)"));
    return names;
}

const QStringList &flashNames()
{
    static const QStringList names = {QStringLiteral("无"), QStringLiteral("亮灭闪"),
                                      QStringLiteral("反白闪")};
    return names;
}

const QStringList &styleNames()
{
    static const QStringList names = {QStringLiteral("正常"), QStringLiteral("粗体"),
                                      QStringLiteral("斜体"), QStringLiteral("粗斜体")};
    return names;
}

const QStringList &colorNames()
{
    static const QStringList names = {QStringLiteral("红"), QStringLiteral("绿"),
                                      QStringLiteral("黄")};
    return names;
}

QString actionName(int action)
{
    return action >= 1 && action <= actionNames().size() ? actionNames().at(action - 1) : QString();
}

QString frameName(int frame)
{
    return frame >= 0 && frame < frameNames().size() ? frameNames().at(frame) : QString();
}

} // namespace ValueTables
