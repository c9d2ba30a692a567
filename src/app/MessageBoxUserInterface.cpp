#include "app/MessageBoxUserInterface.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

QString questionCaption()
{
    return QCoreApplication::translate("MessageBoxUserInterface", "提示");
}

void setButtonTexts(QMessageBox &box)
{
    const struct {
        QMessageBox::StandardButton button;
        const char *text;
    } texts[] = {
        {QMessageBox::Yes, QT_TRANSLATE_NOOP("MessageBoxUserInterface", "是(&Y)")},
        {QMessageBox::No, QT_TRANSLATE_NOOP("MessageBoxUserInterface", "否(&N)")},
        {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MessageBoxUserInterface", "取消")},
        {QMessageBox::Ok, QT_TRANSLATE_NOOP("MessageBoxUserInterface", "确定")},
    };
    for (const auto &entry : texts)
        if (QAbstractButton *button = box.button(entry.button))
            button->setText(QCoreApplication::translate("MessageBoxUserInterface", entry.text));
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A question's lines: a message box wraps a text wider than about half the
// screen anywhere between two Chinese characters, even inside a word
// ("发 / 生"). Lines are broken here instead, after punctuation, and kept
// narrow enough that the box never wraps them again.
void setQuestionText(QMessageBox &box, const QString &text)
{
    const QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    // The box's own limit is min(screen / 2, 500) for text and icon.
    const int maxWidth = std::max(160, std::min(400, screenWidth / 2 - 100));
    box.setText(MessageBoxUserInterface::wrapAtPunctuation(text, box.fontMetrics(), maxWidth));
}

} // namespace

QString MessageBoxUserInterface::wrapAtPunctuation(const QString &text, const QFontMetrics &metrics,
                                                   int maxWidth)
{
    static const QString breakAfter = QStringLiteral("，。；：？！、）,.;:?!)");
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QString rest = paragraph;
        while (metrics.horizontalAdvance(rest) > maxWidth) {
            qsizetype cut = 0;  // after the last punctuation that fits
            qsizetype fill = 0; // the most characters that fit
            for (qsizetype i = 1; i < rest.size(); ++i) {
                if (metrics.horizontalAdvance(rest.left(i)) > maxWidth)
                    break;
                if (rest.at(i - 1).isHighSurrogate())
                    continue;
                fill = i;
                if (breakAfter.contains(rest.at(i - 1)))
                    cut = i;
            }
            if (cut == 0)
                cut = std::max<qsizetype>(fill, 1);
            lines << rest.left(cut);
            rest = rest.mid(cut);
        }
        lines << rest;
    }
    return lines.join(QLatin1Char('\n'));
}

QWidget *MessageBoxUserInterface::ownerWindow(QObject *owner)
{
    auto *widget = qobject_cast<QWidget *>(owner);
    return widget ? widget->window() : nullptr;
}

bool MessageBoxUserInterface::askYesNo(QObject *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Question, questionCaption(), QString(),
                    QMessageBox::Yes | QMessageBox::No, ownerWindow(owner));
    setQuestionText(box, text);
    setButtonTexts(box);
    return box.exec() == QMessageBox::Yes;
}

Answer MessageBoxUserInterface::askYesNoCancel(QObject *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, questionCaption(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, ownerWindow(owner));
    setQuestionText(box, text);
    setButtonTexts(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void MessageBoxUserInterface::showMessage(QObject *owner, const QString &text,
                                          const QString &caption, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, ownerWindow(owner));
    setButtonTexts(box);
    box.exec();
}
