#include "ui/ProgressDialog.h"
#include "common/RecordingUserInterface.h"
#include "ui/GradientBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A job made of a function, counting its runs.
class FunctionJob final : public ProgressJob {
public:
    explicit FunctionJob(std::function<void(ProgressHost &)> body = {}) : m_body(std::move(body)) {}
    void run(ProgressHost &host) override
    {
        ++runs;
        if (m_body)
            m_body(host);
    }
    int runs = 0;

private:
    std::function<void(ProgressHost &)> m_body;
};

TEST(ProgressDialog, ShowsTitleButtonsAndAnEmptyBar)
{
    ProgressDialog dialog(200, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("进度"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("确定"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("取消操作"));
    EXPECT_EQ(dialog.barPosition(), 0);
    EXPECT_EQ(dialog.bar()->maximum(), 200);
    EXPECT_EQ(dialog.bar()->width(), 330);
    EXPECT_FALSE(dialog.isCancelled());
}

TEST(ProgressDialog, RunsTheJobOnceAfterItsTimer)
{
    QElapsedTimer shown;
    qint64 startedAfter = -1;
    FunctionJob job([&](ProgressHost &) { startedAfter = shown.elapsed(); });
    ProgressDialog dialog(200, &job);
    shown.start();
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return job.runs == 1; }, 10000));
    // Qt's coarse timers may fire up to 5 % early, and both clocks count
    // whole milliseconds (189 has been seen on a loaded machine).
    EXPECT_GE(startedAfter, 185) << "the job starts 200 ms after opening";
    dialog.hide();
    dialog.show();
    QTest::qWait(300);
    EXPECT_EQ(job.runs, 1);
}

// An Enter pressed as the dialog opens must not close it before the job
// (the card search, the send) ever runs; a job that ends without enabling
// "确定" must not leave a dialog nobody can close.
TEST(ProgressDialog, OkIsDisabledFromTheOpeningUntilTheJobHasEnded)
{
    ProgressDialog *shown = nullptr;
    bool okDuringJob = true;
    FunctionJob job([&](ProgressHost &) { okDuringJob = shown->okButton()->isEnabled(); });
    ProgressDialog dialog(200, &job);
    shown = &dialog;
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    if (job.runs == 0) {
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Space);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.isCancelled());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return job.runs == 1; }, 10000));
    EXPECT_FALSE(okDuringJob);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.cancelButton()->isEnabled());
}

TEST(ProgressDialog, StatusMovesTheBarAfterTheText)
{
    ProgressDialog dialog(200, nullptr);
    dialog.setStatus(10, QStringLiteral("正在查找..."));
    EXPECT_EQ(dialog.statusText(), QStringLiteral("正在查找..."));
    EXPECT_EQ(dialog.barPosition(), 10);
    // A position outside the range leaves the bar but still shows the text.
    dialog.setStatus(201, QStringLiteral("x"));
    EXPECT_EQ(dialog.statusText(), QStringLiteral("x"));
    EXPECT_EQ(dialog.barPosition(), 10);
    dialog.setStatus(0, QStringLiteral("无法发送信息。"));
    EXPECT_EQ(dialog.barPosition(), 0);
}

TEST(ProgressDialog, ButtonsAndFocus)
{
    ProgressDialog dialog(200, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    struct Case {
        bool ok, cancel;
        QWidget *focus;
    };
    const Case cases[] = {{true, true, dialog.cancelButton()},
                          {true, false, dialog.okButton()},
                          {false, true, dialog.cancelButton()}};
    for (const Case &c : cases) {
        dialog.setButtons(c.ok, c.cancel);
        EXPECT_EQ(dialog.okButton()->isEnabled(), c.ok);
        EXPECT_EQ(dialog.cancelButton()->isEnabled(), c.cancel);
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
    }
    dialog.setButtons(false, false);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.cancelButton()->isEnabled());
}

TEST(ProgressDialog, CancelEscapeAndCloseOnlySetTheFlag)
{
    const std::function<void(ProgressDialog &)> ways[] = {
        [](ProgressDialog &d) { QTest::mouseClick(d.cancelButton(), Qt::LeftButton); },
        [](ProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](ProgressDialog &d) { d.close(); },
    };
    for (const auto &way : ways) {
        ProgressDialog dialog(200, nullptr);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.setButtons(false, true); // as a running job does
        way(dialog);
        EXPECT_TRUE(dialog.isCancelled());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

TEST(ProgressDialog, CancelIsSeenByTheJobOnlyWhenItPumps)
{
    // The job presses cancel itself through a queued click, then looks at
    // the flag before and after pumping.
    bool before = true;
    bool after = false;
    ProgressDialog *dialogPtr = nullptr;
    FunctionJob job([&](ProgressHost &host) {
        host.setButtons(false, true);
        QTimer::singleShot(0, dialogPtr->cancelButton(), &QPushButton::click);
        before = host.isCancelled();
        host.waitPumping(20);
        after = host.isCancelled();
        host.setButtons(true, false);
    });
    ProgressDialog dialog(200, &job);
    dialogPtr = &dialog;
    // Never hang the suite, whatever the job did.
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(QDialog::Rejected); });
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &dialog, [&] {
        if (job.runs == 1 && dialog.okButton()->isEnabled())
            dialog.okButton()->click();
    });
    closer.start(10);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(job.runs, 1);
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
}

TEST(ProgressDialog, QuestionsGoThroughTheInstalledInterface)
{
    RecordingUserInterface ui;
    ui.yesNoAnswers = {true};
    ui.yesNoCancelAnswers = {Answer::No};
    ProgressDialog dialog(25, nullptr);
    EXPECT_TRUE(dialog.askYesNo(QStringLiteral("清除显示屏原有信息时出错：%1").arg(1)));
    EXPECT_EQ(dialog.askYesNoCancel(QStringLiteral("q2")), Answer::No);
    ASSERT_EQ(ui.questions.size(), 2);
    EXPECT_EQ(ui.questions[0], QStringLiteral("清除显示屏原有信息时出错：1"));
}

} // namespace
