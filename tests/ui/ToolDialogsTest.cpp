#include "UiTestSupport.h"

#include "ui/BrightnessDialog.h"
#include "ui/CommandResult.h"
#include "ui/ScreenSwitchDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

const QString kSuccess = QStringLiteral("命令执行成功！");

class ToolDialogsTest : public CardDialogTest {};

TEST(CommandResult, NamesTheOutcomesReason)
{
    RecordingUserInterface ui;
    QWidget owner;
    showCommandResult(&owner, Outcome());
    showCommandResult(&owner, Outcome::failure(OutcomeCode::NoReply, QStringLiteral("通讯超时。")));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("命令执行成功！"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("成功"));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[0].owner, nullptr);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("命令执行失败：通讯超时。"));
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("错误"));
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[1].owner, &owner);
}

TEST_F(ToolDialogsTest, BrightnessOpensWithTheCardsValue)
{
    card.setBrightness(7);
    BrightnessDialog dialog(session);
    EXPECT_EQ(dialog.slider()->value(), 7);
    EXPECT_EQ(dialog.valueLabel()->text(), "7");
    EXPECT_EQ(dialog.slider()->minimum(), 0);
    EXPECT_EQ(dialog.slider()->maximum(), 15);
}

TEST_F(ToolDialogsTest, BrightnessShowsNoMadeUpValueWithoutAnswer)
{
    CardFault silence;
    silence.kind = CardFault::Kind::Silence;
    silence.command = 0x13;
    card.addFault(silence);
    BrightnessDialog dialog(session);
    EXPECT_EQ(dialog.valueLabel()->text(), BrightnessDialog::unknownText());
    EXPECT_TRUE(ui.messages.empty()); // the failed read is not reported
    dialog.slider()->setValue(4);
    EXPECT_EQ(dialog.valueLabel()->text(), "4");
}

TEST_F(ToolDialogsTest, SliderShowsItsValueAndSetSendsIt)
{
    card.setBrightness(9);
    BrightnessDialog dialog(session);
    dialog.show();
    const int requests = card.requestCount();
    dialog.slider()->setFocus();
    QTest::keyClick(dialog.slider(), Qt::Key_Home);
    EXPECT_EQ(dialog.valueLabel()->text(), "0");
    QTest::keyClick(dialog.slider(), Qt::Key_Right);
    QTest::keyClick(dialog.slider(), Qt::Key_Right);
    EXPECT_EQ(dialog.valueLabel()->text(), "2");
    EXPECT_EQ(card.requestCount(), requests); // moving tells the card nothing
    EXPECT_EQ(card.brightness(), 9);

    QTest::mouseClick(dialog.findChild<QPushButton *>("set"), Qt::LeftButton);
    EXPECT_EQ(card.brightness(), 2);
    EXPECT_TRUE(lastMessageIs(kSuccess, "成功"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ToolDialogsTest, ScreenSwitchButtonsAndKeys)
{
    ScreenSwitchDialog dialog(session);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.findChild<QPushButton *>("on"), Qt::LeftButton);
    EXPECT_TRUE(card.screenOn());
    QTest::mouseClick(dialog.findChild<QPushButton *>("off"), Qt::LeftButton);
    EXPECT_FALSE(card.screenOn());
    QTest::mouseClick(dialog.findChild<QPushButton *>("on"), Qt::LeftButton);
    ASSERT_TRUE(card.screenOn());

    // Escape is the off button's key: the screen goes off, the dialog stays.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(card.screenOn());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ui.messages.size(), 4u);

    // The close box sends nothing.
    const int requests = card.requestCount();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(card.requestCount(), requests);
}

TEST_F(ToolDialogsTest, ScreenSwitchReportsFailure)
{
    CardFault refuse;
    refuse.kind = CardFault::Kind::Status;
    refuse.command = 0x20;
    refuse.value = 4;
    card.addFault(refuse);
    ScreenSwitchDialog dialog(session);
    EXPECT_FALSE(dialog.switchScreen(true));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "错误");
    EXPECT_TRUE(ui.messages.back().text.startsWith("命令执行失败："));
}

} // namespace
