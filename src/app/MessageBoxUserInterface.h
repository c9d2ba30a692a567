#pragma once
// The GUI's way of asking and telling the user: modal message boxes with
// Chinese button texts. Installed by the Application for its whole run.

#include "base/AppServices.h"

class QFontMetrics;
class QWidget;

class MessageBoxUserInterface final : public UserInterface {
public:
    bool askYesNo(QObject *owner, const QString &text) override;
    Answer askYesNoCancel(QObject *owner, const QString &text) override;
    void showMessage(QObject *owner, const QString &text, const QString &caption,
                     MessageIcon icon) override;

    // The window a box is owned by: the top-level window of owner, if owner
    // is a widget.
    static QWidget *ownerWindow(QObject *owner);
    // text in lines no wider than maxWidth, broken after punctuation (where
    // a line has none that fits, where it fills the width); for questions.
    static QString wrapAtPunctuation(const QString &text, const QFontMetrics &metrics,
                                     int maxWidth);
};
