#include "app/MessageBoxUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
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

// A question wider than the box breaks after punctuation only: the box's
// own wrapping breaks between any two Chinese characters ("重新发 / 生").
TEST_F(MessageBoxTest, LongQuestionsBreakAfterPunctuationOnly)
{
    const QString text = QStringLiteral("发送信息‘今日特价：苹果每斤三元，香蕉每斤两元，欢迎"
                                        "光临本店选购’时发生错误：从串口读取数据时发生错误！，"
                                        "是否重新发生？");
    QStringList lines;
    bool labelWraps = true;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        lines = box->text().split(QLatin1Char('\n'));
        if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            labelWraps = label->wordWrap();
        box->button(QMessageBox::No)->click();
    });
    askYesNoCancel(&owner, text);

    ASSERT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), text);
    EXPECT_FALSE(labelWraps);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(QStringLiteral("，。；：？！、）,.;:?!)").contains(lines[i].back()))
            << lines[i].toStdString();
    EXPECT_TRUE(lines.back().endsWith(QStringLiteral("是否重新发生？")));

    // Without punctuation a line breaks where it fills the width.
    const QFontMetrics metrics(QApplication::font());
    const QString plain(60, QChar(0x53D1)); // 发
    const QStringList wrapped =
        MessageBoxUserInterface::wrapAtPunctuation(plain, metrics, 200).split(QLatin1Char('\n'));
    EXPECT_GT(wrapped.size(), 1);
    EXPECT_EQ(wrapped.join(QString()), plain);
    for (const QString &line : wrapped)
        EXPECT_LE(metrics.horizontalAdvance(line), 200);
}

} // namespace
