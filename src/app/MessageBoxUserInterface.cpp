#include "app/MessageBoxUserInterface.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QWidget>

namespace {

const QString kQuestionCaption = QStringLiteral("提示");

void setButtonTexts(QMessageBox &box)
{
    const struct {
        QMessageBox::StandardButton button;
        const char16_t *text;
    } texts[] = {
        {QMessageBox::Yes, u"是(&Y)"},
        {QMessageBox::No, u"否(&N)"},
        {QMessageBox::Cancel, u"取消"},
        {QMessageBox::Ok, u"确定"},
    };
    for (const auto &entry : texts)
        if (QAbstractButton *button = box.button(entry.button))
            button->setText(QString::fromUtf16(entry.text));
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

} // namespace

QWidget *MessageBoxUserInterface::ownerWindow(QObject *owner)
{
    auto *widget = qobject_cast<QWidget *>(owner);
    return widget ? widget->window() : nullptr;
}

bool MessageBoxUserInterface::askYesNo(QObject *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Question, kQuestionCaption, text,
                    QMessageBox::Yes | QMessageBox::No, ownerWindow(owner));
    setButtonTexts(box);
    return box.exec() == QMessageBox::Yes;
}

Answer MessageBoxUserInterface::askYesNoCancel(QObject *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, kQuestionCaption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, ownerWindow(owner));
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
