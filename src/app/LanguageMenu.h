#pragma once
// The 语言/Language menu of the main window: the user's choice of language,
// kept in the user's settings and applied at the next start (the texts of
// a running window are not redrawn). Owned by the menu bar it is added to.

#include <QString>

class QMenuBar;

// The stored choice ("zh_CN", "en"), empty when the user has not chosen.
QString storedLanguageChoice();
void storeLanguageChoice(const QString &code);

// Adds the menu to bar, its entry for the language in use checked.
void addLanguageMenu(QMenuBar *bar);
