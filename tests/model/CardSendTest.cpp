// The send-all operation against the virtual card: what arrives on the card,
// in which packets, and how the operation talks to its host on the way.

#include "SendCardFixture.h"
#include "link/ControllerLink.h"

#include <QPainter>
#include <QTemporaryDir>

namespace {

using Kind = RecordingHost::Kind;
using Outcome = SendItemResult::Outcome;

const QString kLongText = QStringLiteral(
    "一段很长的文本信息，从右向左连续移动，需要好几页才能放得下，LED 显示屏 ABC 123。");

QString writeTestPicture(const QTemporaryDir &dir)
{
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.fillRect(0, 0, 30, 20, Qt::red);
    p.fillRect(30, 0, 30, 20, Qt::green);
    p.fillRect(10, 20, 50, 20, Qt::yellow);
    p.end();
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    image.save(path);
    return path;
}

class CardSendTest : public SendCardFixture {};

struct CardSetup {
    const char *name;
    int model, series, major, minor, build;
    int colourType, reverseData;
    int planes;
    int bytesPerPage;
};

class CardSendEndToEnd : public SendCardFixture,
                            public ::testing::WithParamInterface<CardSetup> {};

TEST_P(CardSendEndToEnd, EveryPageArrivesNumberedAndDecodesBack)
{
    const CardSetup &setup = GetParam();
    useCard(setup.model, setup.series, setup.major, setup.minor, setup.build, 32, 4,
            setup.colourType, setup.reverseData);
    identifyCard();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    addText(kLongText, 13, 0);            // horizontal band over several pages
    addPicture(writeTestPicture(dir));    // one page
    addText(kLongText + kLongText, 1, 3); // fitted pages
    session.sendAll(list, host);

    EXPECT_EQ(host.lastStatus(),
              std::make_pair(3 * 5 + 5, QStringLiteral("已成功发送了 3 条信息。")));
    EXPECT_EQ(list.screenParams().colourType(), setup.colourType);

    // Consecutive page numbers from 1 across the items; each page one 0x03
    // with the first 512 bytes, then 0x02 blocks at 512, 1024, ...
    std::vector<UploadPacket> expected;
    int pageNumber = 1;
    for (int i = 0; i < list.itemCount(); ++i) {
        const ProgramItem *item = list.itemAt(i);
        for (int k = 0; k < item->pageCount(); ++k, ++pageNumber) {
            expected.push_back({0x03, pageNumber, 0, 512});
            for (int offset = 512; offset < setup.bytesPerPage; offset += 512)
                expected.push_back({0x02, pageNumber, offset, 512});
        }
    }
    EXPECT_EQ(uploadPackets(), expected);

    const std::vector<VirtualCard::ReceivedPage> pages = card.pages();
    ASSERT_EQ(int(pages.size()), pageNumber - 1);
    pageNumber = 1;
    for (int i = 0; i < list.itemCount(); ++i) {
        const ProgramItem *item = list.itemAt(i);
        for (int k = 0; k < item->pageCount(); ++k, ++pageNumber) {
            SCOPED_TRACE(testing::Message() << "item " << i << " page " << k);
            VirtualCard::ReceivedPage page;
            ASSERT_TRUE(card.page(pageNumber, &page));
            EXPECT_TRUE(page.isComplete());
            EXPECT_EQ(page.length(), setup.bytesPerPage);
            EXPECT_EQ(page.planes(), setup.planes);
            EXPECT_EQ(page.pageIndex(), k);
            EXPECT_EQ(page.lastPageIndex(), item->pageCount() - 1);
            EXPECT_EQ(page.contentKind(), item->isPicture() ? 2 : 1);
            expectCardShows(pageNumber, *item->pageAt(k), setup.planes);
        }
    }
    EXPECT_EQ(session.lastSendReport().pagesSent, pageNumber - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, CardSendEndToEnd,
    ::testing::Values(CardSetup{"TwoColourSeries15", 0x23, 15, 2, 2, 7, 2, 0, 2, 2048},
                      CardSetup{"TwoColourSeries15Reversed", 0x23, 15, 2, 2, 7, 2, 1, 2, 2048},
                      CardSetup{"SingleRedSeries3", 0x20, 3, 1, 0, 0, 1, 0, 1, 1024}),
    [](const ::testing::TestParamInfo<CardSetup> &info) { return info.param.name; });

TEST_F(CardSendTest, RunsTheUploadBracketWithItsWaits)
{
    useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
    identifyCard();
    addText(QStringLiteral("甲"));
    card.clearLog();
    session.sendAll(list, host);

    EXPECT_EQ(commandSequence(),
              (std::vector<int>{0x24, 0x19, 0x06, 0x03, 0x02, 0x02, 0x02, 0x19}));
    const auto phases = requestsOf(0x19);
    ASSERT_EQ(phases.size(), 2u);
    EXPECT_EQ(phases[0][16], 0);
    EXPECT_EQ(phases[1][16], 1);
    EXPECT_EQ(card.uploadPhase(), 1);
    // 50 ms before each step, 200 ms before the item, 50 ms between blocks.
    EXPECT_EQ(host.waits(Kind::Sleep), (std::vector<int>{50, 50, 50, 200, 50, 50, 50, 50}));
    EXPECT_EQ(host.waits(Kind::WaitPumping), (std::vector<int>{20}));
    EXPECT_EQ(host.statuses(), (std::vector<std::pair<int, QString>>{
                                   {5, QStringLiteral("正在清空原有信息。")},
                                   {5, QStringLiteral("正在发送信息‘甲’...")},
                                   {10, QStringLiteral("已成功发送了 1 条信息。")},
                               }));
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
}

TEST_F(CardSendTest, FailedItemQuestionAnswers)
{
    struct Case {
        const char *name;
        Answer answer;
        int sent;
        std::vector<Outcome> outcomes;
        int firstPageOfSecondItem;
        int barAtEnd;    // of 20
        const char *end; // what the final status adds to the count
    };
    const std::vector<Case> cases = {
        // No: item 1 is skipped and item 2 takes page number 1.
        {"No",
         Answer::No,
         2,
         {Outcome::Skipped, Outcome::Sent, Outcome::Sent},
         1,
         20,
         "另有 1 条信息发送失败，已跳过。"},
        // Yes: item 1 is sent again from its first page.
        {"Yes", Answer::Yes, 3, {Outcome::Sent, Outcome::Sent, Outcome::Sent}, 2, 20, ""},
        // Cancel: nothing more is sent; the count is still reported.
        // The bar stops at the first item.
        {"Cancel",
         Answer::Cancel,
         0,
         {Outcome::Failed, Outcome::NotSent, Outcome::NotSent},
         0,
         5,
         "发送已停止，另有 3 条信息未发送。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PlayList &p = list;
        while (p.itemCount() > 0)
            p.removeItemAt(0);
        useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
        identifyCard();
        addText(QStringLiteral("第一条"), 1);
        addText(QStringLiteral("第二条"), 5);
        addText(QStringLiteral("第三条"), 7);
        card.clearFaults();
        CardFault refuse;
        refuse.kind = CardFault::Kind::Status;
        refuse.command = 0x03;
        refuse.count = 1;
        refuse.value = 6;
        card.addFault(refuse);
        host = RecordingHost();
        host.yesNoCancelAnswers = {c.answer};
        session.sendAll(p, host);

        EXPECT_EQ(host.questions(),
                  QStringList{QStringLiteral(
                      "发送信息‘第一条’时发生错误：命令执行失败。，是否重新发生？")});
        EXPECT_EQ(host.lastStatus(),
                  std::make_pair(c.barAtEnd,
                                 QString(QStringLiteral("已成功发送了 %1 条信息。").arg(c.sent) +
                                         QString::fromUtf8(c.end))));
        const SendReport &report = session.lastSendReport();
        EXPECT_EQ(report.sentCount, c.sent);
        ASSERT_EQ(report.items.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(report.items[i].outcome, c.outcomes[i]) << i;
        EXPECT_EQ(report.items[1].firstPageNumber, c.firstPageOfSecondItem);
        if (c.firstPageOfSecondItem > 0) {
            VirtualCard::ReceivedPage page;
            ASSERT_TRUE(card.page(c.firstPageOfSecondItem, &page));
            EXPECT_EQ(page.action(), 5);
        }
        EXPECT_EQ(int(card.pages().size()), c.sent);
        EXPECT_EQ(card.uploadPhase(), 1);
    }
}

TEST_F(CardSendTest, CancelIsSeenAtTheNextPumpAndActedOnAtTheNextItem)
{
    useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
    identifyCard();
    const QStringList names = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                               QStringLiteral("四"), QStringLiteral("五")};
    for (const QString &name : names)
        addText(name);
    // The user presses cancel while item 2 is being sent, i.e. just after
    // item 2's own pumping wait.
    host.onPump = [](RecordingHost &h) {
        if (h.events.back().kind == Kind::WaitPumping &&
            h.lastStatus().second == QStringLiteral("正在发送信息‘二’..."))
            h.pressCancel();
    };
    session.sendAll(list, host);

    // Not the total alone, and the bar not full: two programs never went.
    EXPECT_EQ(host.lastStatus(),
              std::make_pair(15, QStringLiteral("已成功发送了 3 条信息。发送已停止，另有 2 "
                                                "条信息未发送。")));
    EXPECT_EQ(card.pages().size(), 3u);
    const SendReport &report = session.lastSendReport();
    EXPECT_EQ(report.end, SendReport::End::Cancelled);
    EXPECT_EQ(report.items[2].outcome, Outcome::Sent);
    EXPECT_EQ(report.items[3].outcome, Outcome::NotSent);
    EXPECT_EQ(card.uploadPhase(), 1);
}

TEST_F(CardSendTest, FailedClear)
{
    useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
    identifyCard();
    addText(QStringLiteral("甲"));
    CardFault refuse;
    refuse.kind = CardFault::Kind::Status;
    refuse.command = 0x06;
    refuse.count = 2;
    refuse.value = 6;
    card.addFault(refuse);

    // Yes once, then No: the clear is sent twice, nothing is uploaded.
    host.yesNoAnswers = {true, false};
    card.clearLog();
    session.sendAll(list, host);
    const QString question =
        QStringLiteral("清除显示屏原有信息时出错：命令执行失败。，是否重新发送命令？");
    EXPECT_EQ(host.questions(), (QStringList{question, question}));
    EXPECT_EQ(host.lastStatus(), std::make_pair(0, QStringLiteral("操作已取消。")));
    EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
    EXPECT_EQ(requestsOf(0x06).size(), 2u);
    EXPECT_TRUE(requestsOf(0x03).empty());
    EXPECT_EQ(commandSequence().back(), 0x19);
    EXPECT_EQ(card.uploadPhase(), 1);
    EXPECT_EQ(session.lastSendReport().end, SendReport::End::ClearFailed);
}

TEST_F(CardSendTest, EmptyPlayListClearsTheCard)
{
    useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
    identifyCard();
    session.sendAll(list, host);
    EXPECT_EQ(card.clearCount(), 1);
    EXPECT_EQ(host.lastStatus(), std::make_pair(5, QStringLiteral("已成功发送了 0 条信息。")));
    EXPECT_EQ(session.lastSendReport().end, SendReport::End::Completed);
    EXPECT_EQ(card.uploadPhase(), 1);
}

TEST_F(CardSendTest, NoCardEndsAtOnce)
{
    struct Case {
        const char *name;
        int port;
        QStringList devices;
        QString errorStart;
    };
    const std::vector<Case> cases = {
        {"port 0", 0, {}, QStringLiteral("无法建立连接，请先查找屏。")},
        {"missing device",
         1,
         {QStringLiteral("/nonexistent/brivane-tty")},
         QStringLiteral("打开串口时发生错误，")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.devices.isEmpty())
            PortNaming::setExplicitDevices(c.devices);
        session.setPort(c.port);
        addText(QStringLiteral("甲"));
        host = RecordingHost();
        const ::Outcome sent = session.sendAll(list, host);
        EXPECT_EQ(host.statuses(),
                  (std::vector<std::pair<int, QString>>{{0, QStringLiteral("无法发送信息。")}}));
        EXPECT_EQ(host.lastButtons(), std::make_pair(true, false));
        EXPECT_EQ(host.count(Kind::Buttons), 1);
        EXPECT_EQ(session.lastSendReport().end, SendReport::End::NoConnection);
        EXPECT_TRUE(sent.text().startsWith(c.errorStart)) << sent.text().toStdString();
        EXPECT_TRUE(card.pages().empty());
    }
}

TEST_F(CardSendTest, PageTooLargeForItsLengthFieldIsRefusedBeforeAnyPacket)
{
    // 2048 x 128 with two colours is 65536 bytes a page: one more than the
    // 16-bit length field holds.
    useCard(0x23, 15, 2, 2, 7, 0, 16, 2);
    identifyCard();
    addText(QStringLiteral("甲"));
    host.yesNoCancelAnswers = {Answer::No};
    session.sendAll(list, host);
    ASSERT_EQ(host.questions().size(), 1);
    EXPECT_TRUE(host.questions().front().contains(QStringLiteral("65536")))
        << host.questions().front().toStdString();
    EXPECT_TRUE(requestsOf(0x03).empty());
    EXPECT_TRUE(requestsOf(0x02).empty());
    EXPECT_EQ(host.lastStatus(), std::make_pair(10, QStringLiteral("已成功发送了 0 条信息。另有 1 "
                                                                   "条信息发送失败，已跳过。")));
}

// The port stays open from the clear to the end of the upload: opened per
// packet, the upload would pay an open (and Qt's lock file) per packet, and
// a program that grabs the port between two packets would break it halfway.
TEST_F(CardSendTest, ThePortStaysOpenForTheWholeUpload)
{
    useCard(0x23, 15, 2, 2, 7, 32, 4, 2);
    identifyCard();
    addText(QStringLiteral("甲"));
    addText(QStringLiteral("乙"));
    // The pumps fall between two exchanges: a port closed after every
    // exchange would be closed at each of them.
    int openAtPump = 0;
    host.onPump = [&](RecordingHost &) { openAtPump += session.link().isOpen() ? 1 : 0; };
    session.sendAll(list, host);

    EXPECT_GT(openAtPump, 0);
    EXPECT_EQ(session.lastSendReport().sentCount, 2);
    EXPECT_FALSE(session.link().isOpen()) << "closed once the upload is over";
}

} // namespace
