#pragma once
// Qt's own texts (standard buttons, the file dialog, the command-line
// parser's errors) in a language, from the translations Qt ships (Debian:
// qt6-translations-l10n), installed by installTranslations (Language.h).

class QLocale;

// Installs Qt's translations for locale into the running application; the
// translator is owned by the application object. False when none is
// installed for that language (Qt's English texts stay).
bool loadQtTranslations(const QLocale &locale);
