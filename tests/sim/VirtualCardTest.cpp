// The virtual card as the program sees it through the link: request
// validation, state, page assembly, fault scoping and the line speed.
#include "sim/VirtualCard.h"
#include "link/ControllerInfo.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using Kind = CardFault::Kind;

class VirtualCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        ASSERT_TRUE(link.configure(1, 300, 57600, 512));
    }
    void TearDown() override
    {
        link.close();
        card.stop();
        PortNaming::setExplicitDevices({});
    }

    // Sends a request built by `build` (which may spoil the finished frame)
    // and returns the status the card answered, or -1 with no good answer.
    int send(uint16_t address, uint8_t command, QByteArray payload,
             const std::function<void(uint8_t *frame, int length)> &spoil = {})
    {
        const int offset = link.beginRequest(address, command);
        std::copy(payload.begin(), payload.end(), link.requestData() + offset);
        const int length = link.finishRequest(offset + int(payload.size()));
        if (spoil)
            spoil(link.requestData(), length);
        if (link.exchangeFrame(length) == ControllerLink::Success)
            return 0;
        const int status = link.errorCode();
        return status >= 1 && status <= 0xFF && link.response().size() >= 52 ? status : -1;
    }

    // An upload page: 33 header bytes announcing B bits bytes.
    static QByteArray header(int pageNumber, int planes, int length)
    {
        QByteArray h(33, '\0');
        h[0] = char(pageNumber & 0xFF);
        h[1] = char(pageNumber >> 8);
        h[2] = 5; // action
        h[25] = char(planes);
        h[26] = 1; // content kind
        h[29] = char(length & 0xFF);
        h[30] = char(length >> 8);
        h[31] = 0x20;
        return h;
    }

    VirtualCard card;
    ControllerLink link;
};

TEST_F(VirtualCardTest, ValidatesEveryRequest)
{
    const struct {
        const char *name;
        uint16_t address;
        uint8_t command;
        std::function<void(uint8_t *, int)> spoil;
        int status;
    } cases[] = {
        {"good", 1, 0x06, {}, 0},
        {"checksum", 1, 0x06, [](uint8_t *f, int n) { f[n - 4] ^= 1; }, 1},
        {"checksum covers the length", 1, 0x06, [](uint8_t *f, int) { f[14] = 1; }, 1},
        {"unknown command", 1, 0x07, {}, 2},
        {"another unknown command", 1, 0x36, {}, 2},
        {"end mark", 1, 0x06, [](uint8_t *f, int n) { f[n - 1] = 0x51; }, 5},
        {"length below 52", 1, 0x06, [](uint8_t *f, int) { f[1] = 51; }, 5},
        {"length above 1024", 1, 0x06,
         [](uint8_t *f, int) {
             f[1] = 0x01;
             f[2] = 0x04;
         },
         5},
        {"another card's address", 2, 0x06, {}, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(send(c.address, c.command, {}, c.spoil), c.status)
            << link.errorText().toStdString();
        // The card is in step again for the next request.
        ASSERT_TRUE(card.waitForIdle(1000));
        QThread::msleep(30); // past the card's resynchronisation pause
        EXPECT_EQ(send(1, 0x35, {}), 0) << link.errorText().toStdString();
    }
    // Only the good ones were carried out.
    EXPECT_EQ(card.clearCount(), 1);
}

TEST_F(VirtualCardTest, RefusesValuesOutOfRangeAndKeepsItsState)
{
    const struct {
        const char *name;
        uint8_t command;
        QByteArray payload;
        int status;
    } cases[] = {
        {"brightness 15", 0x10, QByteArray(1, 15), 0},
        {"brightness 16", 0x10, QByteArray(1, 16), 4},
        {"power 2", 0x20, QByteArray(1, 2), 4},
        {"clock", 0x21, QByteArray::fromHex("2402291230590401"), 0},
        {"clock month 13", 0x21, QByteArray::fromHex("2413011230590401"), 4},
        {"clock not decimal", 0x21, QByteArray::fromHex("2a01011230590401"), 4},
        {"colour type 3", 0x23, QByteArray::fromHex("2004030001000000000000020000000000"), 4},
        {"height 0", 0x23, QByteArray::fromHex("2000010001000000000000020000000000"), 4},
        {"block of a page never started", 0x02, QByteArray(40, '\0'), 6},
    };
    for (const auto &c : cases)
        EXPECT_EQ(send(1, c.command, c.payload), c.status) << c.name;
    EXPECT_EQ(card.brightness(), 15);
    EXPECT_TRUE(card.screenOn());
    EXPECT_EQ(card.clockBytes().toHex(), QByteArray("2402291230590401"));
    EXPECT_EQ(card.screenParams(), ScreenParams{});
}

TEST_F(VirtualCardTest, AssemblesUploadedPagesBlockByBlock)
{
    // A 256 x 32 two-colour page: 2048 bytes, one 0x03 block and three 0x02.
    QByteArray bits(2048, '\0');
    for (int i = 0; i < bits.size(); ++i)
        bits[i] = char(i * 13 + 1);
    ASSERT_TRUE(link.sendPageHead(header(1, 2, 2048), bits.left(512)));
    ASSERT_TRUE(link.sendDataChunk(1, 512, bits.mid(512, 512)));
    VirtualCard::ReceivedPage page;
    ASSERT_TRUE(card.page(1, &page));
    EXPECT_FALSE(page.isComplete());
    ASSERT_TRUE(link.sendDataChunk(1, 1024, bits.mid(1024, 512)));
    // A block sent again (after a lost reply) replaces itself.
    ASSERT_TRUE(link.sendDataChunk(1, 1024, bits.mid(1024, 512)));
    ASSERT_TRUE(link.sendDataChunk(1, 1536, bits.mid(1536, 512)));
    ASSERT_TRUE(card.page(1, &page));
    EXPECT_TRUE(page.isComplete());
    EXPECT_EQ(page.bits, bits);
    EXPECT_EQ(page.length(), 2048);
    EXPECT_EQ(page.planes(), 2);
    EXPECT_EQ(page.action(), 5);
    EXPECT_EQ(page.clockCode(), 0x20);

    // Blocks that do not fit are refused.
    EXPECT_FALSE(link.sendDataChunk(1, 2000, bits.left(100))); // past B
    EXPECT_EQ(link.errorCode(), 4);
    ASSERT_TRUE(link.sendPageHead(header(2, 1, 100), bits.left(10)));
    EXPECT_FALSE(link.sendDataChunk(2, 50, bits.left(10))); // leaves a gap
    EXPECT_EQ(link.errorCode(), 4);
    EXPECT_FALSE(link.sendPageHead(header(3, 1, 10), bits.left(11))); // more than B
    EXPECT_EQ(link.errorCode(), 4);

    EXPECT_EQ(card.pages().size(), 2u);
    ASSERT_TRUE(link.clearScreen());
    EXPECT_TRUE(card.pages().empty());
}

TEST_F(VirtualCardTest, DecodesPagesInTheCardsBitFormat)
{
    // 16 x 1, pixel 0 and every other pixel lit.
    ScreenParams params;
    params.setHeightCode(1); // 8 rows: a 16 x 8 single-colour page has 16 bytes
    const struct {
        const char *name;
        int series;
        bool reverse;
        QByteArray firstRow;
    } cases[] = {
        {"byte format", 3, false, QByteArray::fromHex("aaaa")},
        {"word format, reverse data", 15, true, QByteArray::fromHex("aaaa")},
        {"word format", 15, false, QByteArray::fromHex("5555")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        card.setIdentity({0x23, c.series, 2, 2, 7});
        params.bytes[ScreenParams::ReverseData] = c.reverse ? 1 : 0;
        card.setScreenParams(params);
        QByteArray bits = c.firstRow;
        // The other rows dark.
        bits += c.series == 15 && !c.reverse ? QByteArray(14, char(0xFF)) : QByteArray(14, '\0');
        ASSERT_TRUE(link.sendPageHead(header(1, 1, 16), bits));
        const QImage image = card.pageImage(1);
        ASSERT_EQ(image.size(), QSize(16, 8));
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(image.pixel(x, 0), x % 2 ? qRgb(0, 0, 0) : qRgb(255, 0, 0)) << x;
        EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 0));
    }

    // Word format: pixels 0..7 travel in the second byte.
    const PageLayout word{16, 1, 1, true, true};
    const QImage first = decodePageBits(QByteArray::fromHex("0080"), word);
    EXPECT_EQ(first.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(first.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(first.pixel(8, 0), qRgb(0, 0, 0));

    // Two planes: red first, then green; both make yellow.
    const PageLayout twoPlanes{8, 1, 2, false, false};
    const QImage colours = decodePageBits(QByteArray::fromHex("c0a0"), twoPlanes);
    EXPECT_EQ(colours.pixel(0, 0), qRgb(255, 255, 0));
    EXPECT_EQ(colours.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(colours.pixel(2, 0), qRgb(0, 255, 0));
    EXPECT_EQ(colours.pixel(3, 0), qRgb(0, 0, 0));

    // Short or absurd input never reads past the bytes it has.
    EXPECT_EQ(
        decodePageBits(QByteArray(1, char(0xFF)), PageLayout{64, 64, 2, true, false}).pixel(63, 63),
        qRgb(0, 0, 0)); // pixels without bits stay dark, whatever the polarity
    EXPECT_TRUE(decodePageBits({}, PageLayout{0, 8, 1, false, false}).isNull());
    EXPECT_TRUE(decodePageBits({}, PageLayout{9000, 8, 1, false, false}).isNull());
}

TEST_F(VirtualCardTest, WritesPagesAsPng)
{
    card.setIdentity({0x20, 3, 1, 0, 0});
    ScreenParams params;
    params.setHeightCode(1);
    card.setScreenParams(params);
    ASSERT_TRUE(link.sendPageHead(header(7, 1, 16), QByteArray(16, char(0x81))));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(card.savePagesAsPng(dir.path()), 1);
    const QImage image(QDir(dir.path()).filePath(QStringLiteral("page-007.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), card.pageImage(7));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
}

TEST_F(VirtualCardTest, FaultsApplyToTheirCommandForTheirCount)
{
    CardFault f;
    f.kind = Kind::Status;
    f.value = 6;
    f.command = 0x06;
    f.count = 2;
    f.skip = 1;
    card.addFault(f);
    const struct {
        uint8_t command;
        int status;
    } steps[] = {{0x35, 0}, {0x06, 0}, {0x35, 0}, {0x06, 6}, {0x06, 6}, {0x06, 0}};
    for (const auto &s : steps)
        EXPECT_EQ(send(1, s.command, {}), s.status);

    // Until cleared.
    f.command = -1;
    f.count = -1;
    f.skip = 0;
    card.addFault(f);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(send(1, uint8_t(0x30 + i), {}), 6);
    card.clearFaults();
    EXPECT_EQ(send(1, 0x35, {}), 0);
}

TEST_F(VirtualCardTest, ParsesFaultsFromText)
{
    const struct {
        const char *text;
        bool ok;
        Kind kind;
        int value, command, count, skip;
    } cases[] = {
        {"silence", true, Kind::Silence, 0, -1, -1, 0},
        {"status=0x7f,cmd=0x35,count=2", true, Kind::Status, 0x7F, 0x35, 2, 0},
        {"drop,after=3", true, Kind::DropLine, 0, -1, -1, 3},
        {"delay=1500", true, Kind::Delay, 1500, -1, -1, 0},
        {"trickle=5,count=1", true, Kind::Trickle, 5, -1, 1, 0},
        {"repeat,after=1", true, Kind::Repeat, 0, -1, -1, 1},
        {"no-echo=7", true, Kind::NoEcho, 7, -1, -1, 0},
        {"status", false, Kind::Silence, 0, 0, 0, 0},
        {"bogus", false, Kind::Silence, 0, 0, 0, 0},
        {"delay=-1", false, Kind::Silence, 0, 0, 0, 0},
        {"silence,cmd=0x100", false, Kind::Silence, 0, 0, 0, 0},
        {"silence,count=0", false, Kind::Silence, 0, 0, 0, 0},
        {"silence,when=1", false, Kind::Silence, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        CardFault f;
        QString error;
        ASSERT_EQ(CardFault::parse(QString::fromLatin1(c.text), &f, &error), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_FALSE(error.isEmpty()) << c.text;
            continue;
        }
        EXPECT_EQ(f.kind, c.kind) << c.text;
        EXPECT_EQ(f.value, c.value) << c.text;
        EXPECT_EQ(f.command, c.command) << c.text;
        EXPECT_EQ(f.count, c.count) << c.text;
        EXPECT_EQ(f.skip, c.skip) << c.text;
    }
    CardFault noise;
    QString error;
    ASSERT_TRUE(CardFault::parse(QStringLiteral("noise=00af5f"), &noise, &error));
    EXPECT_EQ(noise.noise, QByteArray::fromHex("00af5f"));
}

TEST_F(VirtualCardTest, LineSpeedHoldsRepliesForTheLineTime)
{
    card.setLineSpeed(9600); // 104 bytes take 108 ms
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(send(1, 0x35, {}), 0);
    EXPECT_GE(timer.elapsed(), 108);
    card.setLineSpeed(0);
}

TEST_F(VirtualCardTest, SymlinkNamesTheDevice)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the card's line is a TCP port there, which no symlink can name";
#else
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("card"));
    link.close();
    ASSERT_TRUE(card.start(path));
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), card.devicePath());
    PortNaming::setExplicitDevices({path});
    ASSERT_TRUE(link.configure(1, 300, 57600, 512));
    EXPECT_TRUE(link.clearScreen()) << link.errorText().toStdString();
    link.close();
    card.stop();
    EXPECT_FALSE(QFileInfo::exists(path));
#endif
}

// A stopped card forgets its link path: stopping it again (or destroying
// it) must not remove the link a later card placed at the same path.
TEST_F(VirtualCardTest, AStoppedCardLeavesALaterCardsLinkAlone)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the card's line is a TCP port there, which no symlink can name";
#else
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("card"));
    link.close();
    ASSERT_TRUE(card.start(path));
    card.stop();
    VirtualCard later;
    ASSERT_TRUE(later.start(path));
    card.stop();
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), later.devicePath());
    later.stop();
#endif
}

} // namespace

#include "sim/CardPlayback.h"

namespace {

// The header the card received, back to the player's settings.
TEST(CardPlayback, HeaderBytesBecomeThePlaySettings)
{
    struct Case {
        int effect, speedByte, clockCode;
        int flash, frame, speed;
        Playback::ClockZone zone;
        int zoneWidth;
    };
    for (const Case c : {Case{0x31, 0x2E, 0x20, 1, 3, 14, Playback::ClockZone::Dial, 32},
                         Case{0x82, 0x05, 0x30, 2, 8, 5, Playback::ClockZone::Text, 64},
                         Case{0x11, 0x0F, 0x00, 1, 1, 15, Playback::ClockZone::None, 0}}) {
        VirtualCard::ReceivedPage page;
        page.header = QByteArray(33, 0);
        page.header[2] = char(17);
        page.header[3] = char(c.effect);
        page.header[4] = char(c.speedByte);
        page.header[5] = char(4);
        page.header[6] = char(3);
        page.header[31] = char(c.clockCode);
        const Playback::Settings s = cardPageSettings(page, 32);
        EXPECT_EQ(s.action, 17);
        EXPECT_EQ(s.flash, c.flash);
        EXPECT_EQ(s.frame, c.frame);
        EXPECT_EQ(s.speed, c.speed);
        EXPECT_EQ(s.stayTime, 4);
        EXPECT_EQ(s.flashInterval, 3);
        EXPECT_EQ(s.clock, c.zone);
        EXPECT_EQ(s.clockZoneWidth, c.zoneWidth);
    }
}

} // namespace
