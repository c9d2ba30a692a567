#include "model/ValueTables.h"

#include "render/Playback.h"

#include <QCoreApplication>

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
    const char *name;
};
constexpr Frame kFrames[] = {
    {QT_TRANSLATE_NOOP("ValueTables", "无")},       {QT_TRANSLATE_NOOP("ValueTables", "单点快走")}, {QT_TRANSLATE_NOOP("ValueTables", "单点慢走")}, {QT_TRANSLATE_NOOP("ValueTables", "四点快走")}, {QT_TRANSLATE_NOOP("ValueTables", "四点慢走")},
    {QT_TRANSLATE_NOOP("ValueTables", "八点快闪")}, {QT_TRANSLATE_NOOP("ValueTables", "八点慢闪")}, {QT_TRANSLATE_NOOP("ValueTables", "全快闪")},   {QT_TRANSLATE_NOOP("ValueTables", "全慢闪")},
};
} // namespace

const QStringList &actionNames()
{
    static const QStringList names = {
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "立刻显示")),     QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "左移")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "右移")),         QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "上移")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "下移")),         QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "从左向右展开")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "从上向下展开")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "水平中展")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "水平百叶窗")),   QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "垂直百叶窗")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "上下交叉对进")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "左右交叉对展")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "连续左移")),     QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "菱形扩散")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "斜向下移")),     QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "斜向左展")),
        QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "马赛克")),       QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "下雨")),
    };
    return names;
}

const QStringList &speedNames()
{
    static const QStringList names =
        numbered(0, 15, QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "(慢)")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "(快)")));
    return names;
}

const QStringList &frameNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Frame &f : kFrames)
            list << QString::fromUtf8(f.name);
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
    static const QStringList names = {QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "关闭")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "表盘")),
                                      QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "文字"))};
    return names;
}

QString clockLabel(int clock)
{
    switch (clock) {
    case 0:
        return {};
    case 1:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "表盘"));
    case 2:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "文字"));
    default:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "关闭"));
    }
}

const QStringList &levelNames()
{
    static const QStringList names =
        numbered(1, 15, QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "(快)")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "(慢)")));
    return names;
}

const QStringList &flashNames()
{
    static const QStringList names = {QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "无")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "亮灭闪")),
                                      QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "反白闪"))};
    return names;
}

const QStringList &styleNames()
{
    static const QStringList names = {QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "正常")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "粗体")),
                                      QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "斜体")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "粗斜体"))};
    return names;
}

const QStringList &colorNames()
{
    static const QStringList names = {QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "红")), QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "绿")),
                                      QString::fromUtf8(QT_TRANSLATE_NOOP("ValueTables", "黄"))};
    return names;
}

QString actionName(int action)
{
    return action >= 1 && action <= actionNames().size() ? actionNames().at(action - 1) : QString();
}

QStringList shown(const QStringList &names)
{
    // The speed tables' numbers carry a word at both ends: "0(慢)".
    static const char *const kSuffixes[] = {QT_TRANSLATE_NOOP("ValueTables", "(慢)"),
                                            QT_TRANSLATE_NOOP("ValueTables", "(快)")};
    QStringList texts;
    for (const QString &name : names) {
        QString text = QCoreApplication::translate("ValueTables", name.toUtf8().constData());
        for (const char *suffix : kSuffixes)
            if (text.endsWith(QString::fromUtf8(suffix)))
                text = text.chopped(QString::fromUtf8(suffix).size()) +
                       QCoreApplication::translate("ValueTables", suffix);
        texts << text;
    }
    return texts;
}

QString shown(const QString &name)
{
    return shown(QStringList{name}).constFirst();
}

QString frameName(int frame)
{
    return frame >= 0 && frame < frameNames().size() ? frameNames().at(frame) : QString();
}

} // namespace ValueTables
