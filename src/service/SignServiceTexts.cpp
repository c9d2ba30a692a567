// The web page's catalogue: every Chinese text of the page (web/*.html) and
// of its scripts (web/*.js, through t()) with the text to show in the
// service's language, and the names of the value tables the editors offer.
// The texts themselves are translated in brivane_en.ts (context "WebPage").
#include "service/SignService.h"

#include "base/Language.h"
#include "model/ValueTables.h"
#include "service/ServiceSupport.h"

#include <QCoreApplication>
#include <QJsonObject>

namespace {

const char *const kPageTexts[] = {
    // index.html and login.html
    QT_TRANSLATE_NOOP("WebPage", "Brivane 显示屏"),
    QT_TRANSLATE_NOOP("WebPage", "Brivane 显示屏 - 登录"),
    QT_TRANSLATE_NOOP("WebPage", "卡信息："),
    QT_TRANSLATE_NOOP("WebPage", "未读取"),
    QT_TRANSLATE_NOOP("WebPage", "读取"),
    QT_TRANSLATE_NOOP("WebPage", "发送..."),
    QT_TRANSLATE_NOOP("WebPage", "取消"),
    QT_TRANSLATE_NOOP("WebPage", "节目单"),
    QT_TRANSLATE_NOOP("WebPage", "节目单是空的。"),
    QT_TRANSLATE_NOOP("WebPage", "添加文字节目"),
    QT_TRANSLATE_NOOP("WebPage", "输入要显示的文字"),
    QT_TRANSLATE_NOOP("WebPage", "添加"),
    QT_TRANSLATE_NOOP("WebPage", "添加图片节目"),
    QT_TRANSLATE_NOOP("WebPage", "上传并添加"),
    QT_TRANSLATE_NOOP("WebPage", "日程"),
    QT_TRANSLATE_NOOP("WebPage", "每天校时"),
    QT_TRANSLATE_NOOP("WebPage", "添加播放表"),
    QT_TRANSLATE_NOOP("WebPage", "添加亮度时段"),
    QT_TRANSLATE_NOOP("WebPage", "添加关屏时段"),
    QT_TRANSLATE_NOOP("WebPage", "保存日程"),
    QT_TRANSLATE_NOOP("WebPage", "文字"),
    QT_TRANSLATE_NOOP("WebPage", "动画"),
    QT_TRANSLATE_NOOP("WebPage", "速度"),
    QT_TRANSLATE_NOOP("WebPage", "边框"),
    QT_TRANSLATE_NOOP("WebPage", "时钟区"),
    QT_TRANSLATE_NOOP("WebPage", "停留时间(秒)"),
    QT_TRANSLATE_NOOP("WebPage", "走字级别"),
    QT_TRANSLATE_NOOP("WebPage", "停留闪烁"),
    QT_TRANSLATE_NOOP("WebPage", "闪烁间隔(秒)"),
    QT_TRANSLATE_NOOP("WebPage", "字体"),
    QT_TRANSLATE_NOOP("WebPage", "字号"),
    QT_TRANSLATE_NOOP("WebPage", "字型"),
    QT_TRANSLATE_NOOP("WebPage", "颜色"),
    QT_TRANSLATE_NOOP("WebPage", "保存修改"),
    QT_TRANSLATE_NOOP("WebPage", "上移"),
    QT_TRANSLATE_NOOP("WebPage", "下移"),
    QT_TRANSLATE_NOOP("WebPage", "删除"),
    QT_TRANSLATE_NOOP("WebPage", "请输入令牌"),
    QT_TRANSLATE_NOOP("WebPage", "令牌"),
    QT_TRANSLATE_NOOP("WebPage", "登录"),
    // app.js
    QT_TRANSLATE_NOOP("WebPage", "图片"),
    QT_TRANSLATE_NOOP("WebPage", " · 停留 %1 秒 · %2 页"),
    QT_TRANSLATE_NOOP("WebPage", "第 %1 页"),
    QT_TRANSLATE_NOOP("WebPage", "播放"),
    QT_TRANSLATE_NOOP("WebPage", "停止"),
    QT_TRANSLATE_NOOP("WebPage", "已保存节目 %1。"),
    QT_TRANSLATE_NOOP("WebPage", "删除节目 %1？"),
    QT_TRANSLATE_NOOP("WebPage", "已删除。"),
    QT_TRANSLATE_NOOP("WebPage", "正在读取..."),
    QT_TRANSLATE_NOOP("WebPage", "，"),
    QT_TRANSLATE_NOOP("WebPage", "，亮度 %1"),
    QT_TRANSLATE_NOOP("WebPage", "发送失败。"),
    QT_TRANSLATE_NOOP("WebPage", "请输入文字。"),
    QT_TRANSLATE_NOOP("WebPage", "已添加。"),
    QT_TRANSLATE_NOOP("WebPage", "请选择图片文件。"),
    QT_TRANSLATE_NOOP("WebPage", "已添加图片。"),
    // schedule.js
    QT_TRANSLATE_NOOP("WebPage", "一"),
    QT_TRANSLATE_NOOP("WebPage", "二"),
    QT_TRANSLATE_NOOP("WebPage", "三"),
    QT_TRANSLATE_NOOP("WebPage", "四"),
    QT_TRANSLATE_NOOP("WebPage", "五"),
    QT_TRANSLATE_NOOP("WebPage", "六"),
    QT_TRANSLATE_NOOP("WebPage", "日"),
    QT_TRANSLATE_NOOP("WebPage", "没有按日程运行。"),
    QT_TRANSLATE_NOOP("WebPage", "现在：%1 · 亮度 %2"),
    QT_TRANSLATE_NOOP("WebPage", "不变"),
    QT_TRANSLATE_NOOP("WebPage", " · 屏幕开"),
    QT_TRANSLATE_NOOP("WebPage", " · 屏幕关"),
    QT_TRANSLATE_NOOP("WebPage", " · 下次变化 %1"),
    QT_TRANSLATE_NOOP("WebPage", " · 正在发送"),
    QT_TRANSLATE_NOOP("WebPage", " · %1 秒后重试"),
    QT_TRANSLATE_NOOP("WebPage", " · 上次失败：%1"),
    QT_TRANSLATE_NOOP("WebPage", " (%1 至 %2)"),
    QT_TRANSLATE_NOOP("WebPage", "开始"),
    QT_TRANSLATE_NOOP("WebPage", "结束"),
    QT_TRANSLATE_NOOP("WebPage", "播放表"),
    QT_TRANSLATE_NOOP("WebPage", "开始日期"),
    QT_TRANSLATE_NOOP("WebPage", "结束日期"),
    QT_TRANSLATE_NOOP("WebPage", "优先级"),
    QT_TRANSLATE_NOOP("WebPage", "启用"),
    QT_TRANSLATE_NOOP("WebPage", "亮度"),
    QT_TRANSLATE_NOOP("WebPage", "亮度级别"),
    QT_TRANSLATE_NOOP("WebPage", "关屏"),
    QT_TRANSLATE_NOOP("WebPage", "开屏"),
    QT_TRANSLATE_NOOP("WebPage", "开关屏"),
    QT_TRANSLATE_NOOP("WebPage", "状态"),
    QT_TRANSLATE_NOOP("WebPage", "日程已保存。"),
};

} // namespace

SignService::Reply SignService::pageTexts(const ApiRequest &,
                                          const QRegularExpressionMatch &)
{
    QJsonObject texts;
    for (const char *text : kPageTexts)
        texts.insert(QString::fromUtf8(text), QCoreApplication::translate("WebPage", text));
    for (const QStringList *names :
         {&ValueTables::actionNames(), &ValueTables::speedNames(), &ValueTables::frameNames(),
          &ValueTables::clockNames(), &ValueTables::levelNames(), &ValueTables::flashNames(),
          &ValueTables::styleNames(), &ValueTables::colorNames()})
        for (const QString &name : *names)
            texts.insert(name, ValueTables::shown(name));
    return ServiceSupport::json(200, QJsonObject{{QStringLiteral("lang"), languageCode(currentLanguage())},
                                                 {QStringLiteral("texts"), texts}});
}
