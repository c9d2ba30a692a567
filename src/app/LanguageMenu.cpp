#include "app/LanguageMenu.h"

#include "base/AppServices.h"
#include "base/Language.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("language");

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("brivane"),
                     QStringLiteral("brivane"));
}

} // namespace

QString storedLanguageChoice()
{
    return settings().value(kKey).toString();
}

void storeLanguageChoice(const QString &code)
{
    settings().setValue(kKey, code);
}

void addLanguageMenu(QMenuBar *bar)
{
    // Each language is named in itself, and the menu in both: whoever
    // cannot read the one finds the other.
    QMenu *menu = bar->addMenu(QStringLiteral("语言/Language"));
    auto *group = new QActionGroup(menu);
    const struct {
        Language language;
        const char16_t *name;
    } entries[] = {{Language::Chinese, u"中文"}, {Language::English, u"English"}};
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(QString::fromUtf16(entry.name));
        action->setCheckable(true);
        action->setChecked(entry.language == currentLanguage());
        group->addAction(action);
        const QString code = languageCode(entry.language);
        QObject::connect(action, &QAction::triggered, menu, [code, bar] {
            if (code == storedLanguageChoice())
                return;
            storeLanguageChoice(code);
            showMessage(bar->window(),
                        QStringLiteral("重新启动 Brivane 后使用新的语言。\n"
                                       "The new language applies when Brivane starts again."),
                        applicationTitle(), MessageIcon::Information);
        });
    }
}
