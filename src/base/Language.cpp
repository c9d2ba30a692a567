#include "base/Language.h"

#include "base/QtTranslations.h"

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

Language g_current = Language::Chinese;

} // namespace

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh_CN");
}

bool languageFromCode(const QString &code, Language *language)
{
    const QString c = code.trimmed();
    if (c.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) {
        *language = Language::English;
        return true;
    }
    if (c.compare(QLatin1String("zh_CN"), Qt::CaseInsensitive) == 0 ||
        c.compare(QLatin1String("zh-CN"), Qt::CaseInsensitive) == 0 ||
        c.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0) {
        *language = Language::Chinese;
        return true;
    }
    return false;
}

Language localeLanguage()
{
    const QStringList languages = QLocale::system().uiLanguages();
    const QString first = languages.isEmpty() ? QString() : languages.first();
    // The C and POSIX locales say nothing: the program's own language.
    if (first.isEmpty() || first == QLatin1String("C") || first == QLatin1String("POSIX") ||
        first.startsWith(QLatin1String("zh"), Qt::CaseInsensitive))
        return Language::Chinese;
    return Language::English;
}

Language chooseLanguage(const QString &storedChoice)
{
    Language language = Language::Chinese;
    if (languageFromCode(qEnvironmentVariable("BRIVANE_LANG"), &language))
        return language;
    if (languageFromCode(storedChoice, &language))
        return language;
    return localeLanguage();
}

Language currentLanguage()
{
    return g_current;
}

void installTranslations(Language language)
{
    g_current = language;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    // Chinese: the English-source texts become Chinese; English: the
    // Chinese-source texts become English. The other family is its source.
    auto ours = std::make_unique<QTranslator>(app);
    const QString catalogue = QStringLiteral(":/i18n/brivane_") + languageCode(language);
    if (ours->load(catalogue))
        QCoreApplication::installTranslator(ours.release());
    // Qt's texts are English in Qt itself; its Chinese comes from Qt's
    // catalogue. The default locale words what Qt takes from the system in
    // the same language: the file dialog's "文件夹" and file types, dates.
    if (language == Language::Chinese) {
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        QLocale::setDefault(chinese);
        loadQtTranslations(chinese);
    }
}
