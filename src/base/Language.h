#pragma once
// The one language every program speaks at a time, and the catalogues that
// make it so. The system's Chinese texts are the source strings of the
// Chinese-source family (tr(), QT_TR_NOOP, QCoreApplication::translate;
// English in brivane_en.ts); the command-line tool's lines and the other
// texts written in English are the English-source family (trEn(),
// TR_EN_NOOP; Chinese in brivane_zh_CN.ts). Only the catalogue of the other
// language is installed, so each text shows as its source or its translation.

#include <QCoreApplication>
#include <QString>

enum class Language { Chinese, English };

// An English-source text, translated into Chinese when Chinese is chosen.
// lupdate reads these (and only these) into brivane_zh_CN.ts.
inline QString trEn(const char *context, const char *source, const char *disambiguation = nullptr,
                    int n = -1)
{
    return QCoreApplication::translate(context, source, disambiguation, n);
}
// Marks an English-source text in a table; translate it with trEn later.
#define TR_EN_NOOP(context, text) text

// "zh_CN" or "en" (BRIVANE_LANG's values, the GUI's stored choice).
QString languageCode(Language language);
// The language a code names; false for anything else ("", "fr").
bool languageFromCode(const QString &code, Language *language);

// The language of the locale's first user-interface language (LANG and
// LC_MESSAGES on Linux, the user's display language on Windows): English
// unless it is Chinese; Chinese when the locale says nothing (C, POSIX).
Language localeLanguage();

// The language to speak: BRIVANE_LANG (zh_CN or en) when set, else the
// stored choice (the GUI's 语言 menu; empty: none), else the locale's.
Language chooseLanguage(const QString &storedChoice = QString());

// The language installed last by installTranslations (Chinese before).
Language currentLanguage();

// Installs the program's catalogue for language and Qt's own (standard
// buttons, the file dialog, the command-line parser) into the running
// application. Call once, after the application object exists.
void installTranslations(Language language);
