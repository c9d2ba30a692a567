#include "base/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

bool loadQtTranslations(const QLocale &locale)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    // "qt" is Qt's catalogue of catalogues (qtbase, qtserialport, ...). Qt's
    // own folder first; a Windows or macOS copy deployed beside the program
    // keeps them in "translations" there.
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder))
            continue;
        translator->setParent(app);
        return QCoreApplication::installTranslator(translator.release());
    }
    return false;
}
