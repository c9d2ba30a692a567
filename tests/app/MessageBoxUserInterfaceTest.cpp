#include "app/MessageBoxUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

// What a message box showed, read while it is open.
struct Seen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QWidget *parent = nullptr;
};

// Shows a box through the installed interface, records it and presses the
// button with role `press`.
Seen showAndPress(const std::function<void()> &show, QMessageBox::StandardButton press)
{
    Seen seen;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.parent = box->parentWidget();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        seen.buttons.sort();
        box->button(press)->click();
    });
    show();
    return seen;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { setUserInterface(&boxes); }
    void TearDown() override { setUserInterface(nullptr); }
    MessageBoxUserInterface boxes;
    QWidget owner;
};

TEST_F(MessageBoxTest, YesNoQuestion)
{
    for (const auto &[press, expected] :
         {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
        bool answer = !expected;
        const Seen seen =
            showAndPress([&] { answer = askYesNo(&owner, QStringLiteral("确定吗？")); }, press);
        EXPECT_EQ(answer, expected);
        EXPECT_EQ(seen.caption, QStringLiteral("提示"));
        EXPECT_EQ(seen.text, QStringLiteral("确定吗？"));
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
        EXPECT_EQ(seen.parent, &owner);
    }
}

TEST_F(MessageBoxTest, YesNoCancelQuestion)
{
    const std::pair<QMessageBox::StandardButton, Answer> cases[] = {
        {QMessageBox::Yes, Answer::Yes},
        {QMessageBox::No, Answer::No},
        {QMessageBox::Cancel, Answer::Cancel}};
    for (const auto &[press, expected] : cases) {
        Answer answer = Answer::Yes;
        const Seen seen = showAndPress(
            [&] {
                answer = askYesNoCancel(&owner, QStringLiteral("关闭前是否保存对节目的修改？"));
            },
            press);
        EXPECT_EQ(answer, expected);
        EXPECT_EQ(seen.caption, QStringLiteral("提示"));
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("取消"), QStringLiteral("否(&N)"),
                                             QStringLiteral("是(&Y)")}));
    }
}

TEST_F(MessageBoxTest, MessagesKeepCaptionIconAndTheCut)
{
    const struct {
        MessageIcon icon;
        QMessageBox::Icon expected;
    } cases[] = {{MessageIcon::Information, QMessageBox::Information},
                 {MessageIcon::Warning, QMessageBox::Warning},
                 {MessageIcon::Error, QMessageBox::Critical},
                 {MessageIcon::None, QMessageBox::NoIcon}};
    for (const auto &c : cases) {
        const Seen seen = showAndPress(
            [&] {
                showMessage(nullptr, QStringLiteral("命令执行成功！"), QStringLiteral("成功"),
                            c.icon);
            },
            QMessageBox::Ok);
        EXPECT_EQ(seen.caption, QStringLiteral("成功"));
        EXPECT_EQ(seen.icon, c.expected);
        EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
        EXPECT_EQ(seen.parent, nullptr);
    }
    const Seen seen = showAndPress(
        [&] {
            showMessage(&owner, QString(2000, QLatin1Char('x')), QStringLiteral("错误"),
                        MessageIcon::Warning);
        },
        QMessageBox::Ok);
    EXPECT_EQ(seen.text.size(), 1023);
    EXPECT_EQ(seen.parent, &owner);
}

} // namespace
