#pragma once
// The page of the item property editor on which a text program's text, font
// face, size, colour and style are edited. Every change goes straight into
// the item, rebuilds its pages and announces contentChanged, so the editor's
// preview follows every keystroke. Created and owned by ItemEditorDialog;
// the item is borrowed.

#include <QWidget>

class LimitedPlainTextEdit;
class QComboBox;
class QLabel;
class TextItem;

class TextEditorPage : public QWidget {
    Q_OBJECT
public:
    // At most this many characters can be typed into the size field...
    static constexpr int kMaxSizeChars = 8;
    // ...of which the size is read from the first ones.
    static constexpr int kSizeDigitsRead = 6;

    TextEditorPage(TextItem *item, QWidget *parent = nullptr);

    // The face names the font list offers: the installed families under
    // their installed names and the names mapped onto them (such as "宋体"),
    // each once, of at most 31 characters, sorted alphabetically without
    // regard to case.
    static QStringList fontFaceNames();
    // The lines below the text: what the sign will not show as written
    // (colour, fit, characters no face draws, named with their code
    // points); empty when there is nothing to warn of.
    static QString warningsText(const TextItem &item);

Q_SIGNALS:
    // The item's content or look has changed and its pages were rebuilt.
    void contentChanged();

private:
    void fillFromItem();
    void showWarnings();

    TextItem *m_item;
    QComboBox *m_font;
    QComboBox *m_size;
    QComboBox *m_colour;
    QComboBox *m_style;
    LimitedPlainTextEdit *m_text;
    QLabel *m_warnings;
    bool m_filling = false;
};
