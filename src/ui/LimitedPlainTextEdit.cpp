#include "ui/LimitedPlainTextEdit.h"

#include "model/TextItem.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

LimitedPlainTextEdit::LimitedPlainTextEdit(int maxLength, QWidget *parent)
    : QPlainTextEdit(parent), m_maxLength(maxLength)
{
    // In a dialog Tab moves on to the next control.
    setTabChangesFocus(true);
}

QString LimitedPlainTextEdit::storedText() const
{
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void LimitedPlainTextEdit::setStoredText(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    setPlainText(plain);
}

QString LimitedPlainTextEdit::fitting(const QString &insert) const
{
    const QTextCursor cursor = textCursor();
    const int current = TextItem::textLength(toPlainText());
    const int selected = TextItem::textLength(cursor.selection().toPlainText());
    int room = m_maxLength - (current - selected);
    if (room <= 0)
        return {};
    qsizetype take = 0;
    while (take < insert.size()) {
        // A surrogate pair goes in whole or not at all.
        const bool pair = insert[take].isHighSurrogate() && take + 1 < insert.size();
        const int need = TextItem::textLength(insert.mid(take, pair ? 2 : 1));
        if (need > room)
            break;
        room -= need;
        take += pair ? 2 : 1;
    }
    return insert.left(take);
}

void LimitedPlainTextEdit::keyPressEvent(QKeyEvent *event)
{
    QString typed = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        typed = QStringLiteral("\n");
    const bool inserts = !typed.isEmpty() && (typed == QLatin1String("\n") || typed[0].isPrint());
    if (inserts && !(event->modifiers() & Qt::ControlModifier) && fitting(typed) != typed) {
        event->accept();
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedPlainTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const QString fit = fitting(commit);
    if (fit == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(fit, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    QApplication::beep();
}

void LimitedPlainTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    const QString fit = fitting(text);
    if (fit.size() < text.size())
        QApplication::beep();
    if (!fit.isEmpty())
        insertPlainText(fit);
}
