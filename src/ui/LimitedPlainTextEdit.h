#pragma once
// A multi-line text field that stops typing, pasting and input-method text
// at a maximum length, counted as a text program's text is
// (TextItem::textLength: each line break as the two characters CR LF). A
// longer text put in with setPlainText is shown whole; it can then only
// shrink. Owned by the page that hosts it.

#include <QPlainTextEdit>

class LimitedPlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedPlainTextEdit(int maxLength, QWidget *parent = nullptr);

    void setMaxLength(int chars) { m_maxLength = chars; }
    int maxLength() const { return m_maxLength; }

    // The text with CR LF line breaks, and setting it from such a text.
    QString storedText() const;
    void setStoredText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // The part of insert that fits in place of the current selection.
    QString fitting(const QString &insert) const;

    int m_maxLength;
};
