#include "UiTestSupport.h"

#include "link/ScreenParams.h"
#include "model/TextItem.h"
#include "ui/Dialogs.h"
#include "ui/HardwareSettingsDialog.h"
#include "ui/NumberSpinEdit.h"
#include "ui/PasswordDialog.h"
#include "ui/QuickParamsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>

using UiTest::choose;
using UiTest::fieldText;
using UiTest::retype;

namespace {

const QString kSuccess = QStringLiteral("命令执行成功！");

class QuickParamsTest : public CardDialogTest {
protected:
    void SetUp() override
    {
        CardDialogTest::SetUp();
        ScreenParams params;
        params.bytes[ScreenParams::ScanMode] = 0x45;
        params.bytes[ScreenParams::ColourType] = 2;
        card.setScreenParams(params);
    }
};

TEST_F(QuickParamsTest, OpensWithTheCardsParameters)
{
    QuickParamsDialog dialog(session, list);
    dialog.loadFromCard();
    EXPECT_EQ(list.screenParams(), card.screenParams());
    EXPECT_EQ(fieldText(dialog.widthField()), "256");
    EXPECT_EQ(fieldText(dialog.heightField()), "32");
    EXPECT_EQ(dialog.findChild<QComboBox *>("colourType")->currentText(), "红绿双色");
    EXPECT_EQ(dialog.findChild<QComboBox *>("scanMode")->currentText(), "不改扫描方式");
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(QuickParamsTest, SizesReachTheCardByTheRangeAndRoundingRules)
{
    struct Case {
        const char *width, *height;
        int widthCode, heightCode;
        const char *widthShown, *heightShown;
    };
    const Case cases[] = {
        {"100", "32", 12, 4, "100", "32"}, // 96 pixels: rounded down to 16
        {"2048", "128", 0, 16, "2048", "128"},
        {"10", "200", 8, 8, "64", "64"}, // out of range: 64 in the field too
        {"2064", "15", 8, 8, "64", "64"},
        {"16", "16", 2, 2, "16", "16"},
    };
    QuickParamsDialog dialog(session, list);
    dialog.loadFromCard();
    for (const Case &c : cases) {
        retype(dialog.widthField(), c.width);
        retype(dialog.heightField(), c.height);
        EXPECT_TRUE(dialog.apply());
        const ScreenParams onCard = card.screenParams();
        EXPECT_EQ(onCard.widthCode(), c.widthCode) << c.width;
        EXPECT_EQ(onCard.heightCode(), c.heightCode) << c.height;
        EXPECT_EQ(fieldText(dialog.widthField()), c.widthShown);
        EXPECT_EQ(fieldText(dialog.heightField()), c.heightShown);
        EXPECT_TRUE(lastMessageIs(kSuccess, "成功"));
    }
}

TEST_F(QuickParamsTest, ScanChoicesAndColourType)
{
    struct Case {
        int scanChoice, colourChoice;
        int scanCode, colourType;
    };
    // The card starts with scan code 0x45, which "不改扫描方式" keeps.
    const Case cases[] = {{2, 0, 0x41, 1}, {1, 1, 0x00, 2}, {0, 0, 0x00, 1}};
    for (const Case &c : cases) {
        ScreenParams start = card.screenParams();
        start.bytes[ScreenParams::ScanMode] = 0x45;
        card.setScreenParams(start);
        QuickParamsDialog dialog(session, list);
        dialog.loadFromCard();
        choose(dialog.findChild<QComboBox *>("scanMode"), c.scanChoice);
        choose(dialog.findChild<QComboBox *>("colourType"), c.colourChoice);
        ASSERT_TRUE(dialog.apply());
        const int expectedScan = c.scanChoice == 0 ? 0x45 : c.scanCode;
        EXPECT_EQ(card.screenParams().scanMode(), expectedScan) << c.scanChoice;
        EXPECT_EQ(card.screenParams().colourType(), c.colourType);
    }
}

TEST_F(QuickParamsTest, ClearsBeforeWritingAndReRendersAfter)
{
    auto item = std::make_unique<TextItem>(&list);
    TextItem *text = item.get();
    list.appendItem(std::move(item));
    QuickParamsDialog dialog(session, list);
    dialog.loadFromCard();
    card.clearLog();
    retype(dialog.widthField(), "128");
    retype(dialog.heightField(), "16");
    ASSERT_TRUE(dialog.apply());
    EXPECT_EQ(commands(), (std::vector<int>{0x06, 0x23}));
    ASSERT_GE(text->pageCount(), 1);
    EXPECT_EQ(text->pageAt(0)->width(), 128);
    EXPECT_EQ(text->pageAt(0)->height(), 16);
}

TEST_F(QuickParamsTest, WithoutACardReportsFailureYetReRenders)
{
    auto item = std::make_unique<TextItem>(&list);
    TextItem *text = item.get();
    list.appendItem(std::move(item));
    QuickParamsDialog dialog(session, list);
    card.stop();
    session.setPort(0);
    retype(dialog.widthField(), "64");
    EXPECT_FALSE(dialog.apply());
    EXPECT_TRUE(lastMessageIs("命令执行失败：无法建立连接，请先查找屏。", "错误"));
    EXPECT_EQ(list.screenWidth(), 64);
    EXPECT_EQ(text->pageAt(0)->width(), 64);
}

class HardwareSettingsTest : public CardDialogTest {};

TEST_F(HardwareSettingsTest, ShowsAndWritesEveryField)
{
    ScreenParams params;
    params.bytes = {40, 2, 2, 1, 0, uint8_t(-3), 0x47, 9, 8, 7, 6, 4, 2, 5, 4, 3};
    list.screenParams() = params;
    HardwareSettingsDialog dialog(session, list);
    EXPECT_EQ(fieldText(dialog.widthField()), "320");
    EXPECT_EQ(fieldText(dialog.heightField()), "16");
    EXPECT_TRUE(dialog.findChild<QCheckBox *>("reverseData")->isChecked());
    EXPECT_FALSE(dialog.findChild<QCheckBox *>("reverseOe")->isChecked());
    EXPECT_EQ(fieldText(dialog.findChild<NumberSpinEdit *>("rowOrder")), "-3");
    EXPECT_EQ(dialog.findChild<QComboBox *>("colourType")->currentText(), "红绿双色");
    EXPECT_EQ(dialog.findChild<QComboBox *>("frequency")->currentText(), "1.75M");
    EXPECT_TRUE(dialog.findChild<QCheckBox *>("no138")->isChecked());
    EXPECT_EQ(dialog.findChild<QComboBox *>("scanMode")->currentIndex(), 10);

    // Written back unchanged: the reserved bytes travel as they were.
    ASSERT_TRUE(dialog.apply());
    EXPECT_EQ(card.screenParams(), params);

    // Every field changed by the user.
    retype(dialog.findChild<NumberSpinEdit *>("rowOrder"), "-15");
    QTest::mouseClick(dialog.findChild<QCheckBox *>("reverseData"), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QCheckBox *>("reverseOe"), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QCheckBox *>("no138"), Qt::LeftButton);
    choose(dialog.findChild<QComboBox *>("colourType"), 0);
    choose(dialog.findChild<QComboBox *>("frequency"), 0);
    choose(dialog.findChild<QComboBox *>("scanMode"), 1);
    retype(dialog.widthField(), "300");
    ASSERT_TRUE(dialog.apply());
    const ScreenParams onCard = card.screenParams();
    EXPECT_EQ(onCard.widthCode(), 36);
    EXPECT_EQ(onCard.bytes[ScreenParams::RowOrder], 0xF1);
    EXPECT_EQ(onCard.rowOrder(), -15);
    EXPECT_EQ(onCard.bytes[ScreenParams::ReverseData], 0);
    EXPECT_EQ(onCard.bytes[ScreenParams::ReverseOe], 1);
    EXPECT_EQ(onCard.bytes[ScreenParams::No138], 0);
    EXPECT_EQ(onCard.colourType(), 1);
    EXPECT_EQ(onCard.frequency(), 1);
    EXPECT_EQ(onCard.scanMode(), 0x80);
}

TEST_F(HardwareSettingsTest, UnknownCodesFromTheCard)
{
    ScreenParams params;
    params.bytes[ScreenParams::ScanMode] = 0x99;
    params.bytes[ScreenParams::Frequency] = 9;
    params.bytes[ScreenParams::ColourType] = 7;
    list.screenParams() = params;
    HardwareSettingsDialog dialog(session, list);
    EXPECT_EQ(dialog.findChild<QComboBox *>("scanMode")->currentIndex(), 0);
    EXPECT_EQ(dialog.findChild<QComboBox *>("frequency")->currentIndex(), -1);
    // The card refuses the record (its colour type and frequency are out of
    // range), but what was sent shows how the fields were stored: an
    // unknown scan code goes out as the first entry's, a colour type or
    // frequency without a list entry as it was.
    EXPECT_FALSE(dialog.apply());
    QByteArray sent;
    for (const VirtualCard::LogEntry &e : card.log())
        if (e.request.size() > 31 && uint8_t(e.request[13]) == 0x23)
            sent = e.request.mid(16, 16);
    ASSERT_EQ(sent.size(), 16);
    EXPECT_EQ(uint8_t(sent[ScreenParams::ScanMode]), 0x00);
    EXPECT_EQ(uint8_t(sent[ScreenParams::ColourType]), 7);
    EXPECT_EQ(uint8_t(sent[ScreenParams::Frequency]), 9);
    EXPECT_EQ(ui.messages.back().caption, "错误");
}

TEST_F(HardwareSettingsTest, FactoryResetWithoutQuestion)
{
    HardwareSettingsDialog dialog(session, list);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("factoryReset"), Qt::LeftButton);
    EXPECT_EQ(card.factoryResetCount(), 1);
    EXPECT_TRUE(ui.questions.isEmpty());
    EXPECT_TRUE(lastMessageIs(kSuccess, "成功"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(PasswordDialog, AccessCodes)
{
    const std::pair<const char *, bool> cases[] = {
        {"739", true},   {"KX-417", true}, {"kx-417", true}, {"kX-417", true},  {"", false},
        {"7390", false}, {" 739", false},  {"KX417", false}, {"KX-4170", false}};
    RecordingUserInterface ui;
    for (const auto &[text, accepted] : cases) {
        PasswordDialog dialog;
        dialog.show();
        retype(dialog.edit(), QString::fromUtf8(text));
        ui.messages.clear();
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        EXPECT_EQ(dialog.isVisible(), !accepted) << text;
        EXPECT_EQ(dialog.result(), accepted ? QDialog::Accepted : QDialog::Rejected) << text;
        if (accepted) {
            EXPECT_TRUE(ui.messages.empty()) << text;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << text;
            EXPECT_EQ(ui.messages[0].text, "您的输入不正确！");
            EXPECT_EQ(ui.messages[0].caption, "错误");
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
            EXPECT_EQ(dialog.edit()->text(), QString::fromUtf8(text)); // text stays
        }
    }
}

} // namespace

namespace {

// Runs act on the next modal dialog of type D once it is up (polling from
// the dialog's own event loop; after a few seconds it fails the test and
// closes the open dialogs).
template <typename D> void onNextModal(std::function<void(D *)> act, int triesLeft = 300)
{
    QTimer::singleShot(10, [act, triesLeft] {
        // Ready once its opening (disabled while it reads) is over.
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        const auto buttons =
            dialog ? dialog->template findChildren<QPushButton *>() : QList<QPushButton *>();
        if (dialog && dialog->isEnabled() &&
            std::all_of(buttons.begin(), buttons.end(),
                        [](const QPushButton *b) { return b->isEnabled(); })) {
            act(dialog);
            return;
        }
        if (triesLeft > 0) {
            onNextModal<D>(act, triesLeft - 1);
            return;
        }
        // Never came: close whatever is open so that the test ends.
        ADD_FAILURE() << "the expected dialog did not come up modal";
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *open = qobject_cast<QDialog *>(w); open && open->isVisible())
                open->reject();
    });
}

void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
}

class ScreenParamsFlowTest : public CardDialogTest {};

TEST_F(ScreenParamsFlowTest, QuickDialogClosedAsksNoPassword)
{
    bool quickSeen = false;
    onNextModal<QuickParamsDialog>([&](QuickParamsDialog *quick) {
        quickSeen = true;
        click(quick, "close");
    });
    EXPECT_TRUE(Dialogs::editScreenParams(nullptr, session, list));
    EXPECT_TRUE(quickSeen);
}

TEST_F(ScreenParamsFlowTest, CancelledPasswordShowsNoHardwareSettings)
{
    bool passwordSeen = false;
    onNextModal<QuickParamsDialog>([&](QuickParamsDialog *quick) {
        onNextModal<PasswordDialog>([&](PasswordDialog *password) {
            passwordSeen = true;
            click(password, "cancel");
        });
        click(quick, "advanced");
    });
    EXPECT_FALSE(Dialogs::editScreenParams(nullptr, session, list));
    EXPECT_TRUE(passwordSeen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ScreenParamsFlowTest, AccessCodeLeadsToHardwareSettings)
{
    bool hardwareSeen = false;
    onNextModal<QuickParamsDialog>([&](QuickParamsDialog *quick) {
        onNextModal<PasswordDialog>([&](PasswordDialog *password) {
            onNextModal<HardwareSettingsDialog>([&](HardwareSettingsDialog *hardware) {
                hardwareSeen = true;
                click(hardware, "close");
            });
            password->edit()->setText(QStringLiteral("Kx-417"));
            click(password, "ok");
        });
        click(quick, "advanced");
    });
    EXPECT_TRUE(Dialogs::editScreenParams(nullptr, session, list));
    EXPECT_TRUE(hardwareSeen);
}

} // namespace
